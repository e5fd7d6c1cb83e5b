#define ORVA_UNIT "UToolSelection"
#include "tools/UToolSelection.h"

#include "core/UErrors.h"
#include "core/USpec32.h"
#include "display/UProfile32.h"

void TToolSelection::Connect(TProfile32 &Window) {
  TToolTemplate::Connect(Window);
  Window.eOnSelect = [this](TProfile32 &W) { DoEvent(W); };
  Window.eOnNoSelection = [this](TProfile32 &) { ResetAll(this); };
  ResetAll(this);
}

void TToolSelection::Unhook(TProfile32 &Window) {
  Window.eOnSelect = nullptr;
  Window.eOnNoSelection = nullptr;
}

void TToolSelection::Forget() {
  TDblArr1D().swap(pXArr);
  TDblArr1D().swap(pYArr);
  pNArr = 0;
}

void TToolSelection::Disconnect(TProfile32 &Window) {
  for (TProfile32 *W : List1())
    if (W == &Window) {
      Unhook(Window);
      break;
    }
  ResetAll(this);
  Forget();
  TToolTemplate::Disconnect(Window);
}

void TToolSelection::Show() {
  TToolTemplate::Show();
  ResetAll(this);
}

void TToolSelection::Hide() {
  for (TProfile32 *W : List1())
    Unhook(*W);
  ResetAll(this);
  Forget();
  TToolTemplate::Hide();
}

void TToolSelection::CopySelection(TProfile32 &Window) {
  const TPlotSelection &Sel = Window.Context().Selection();
  pInd0 = Sel.Ind0;
  pInd1 = Sel.Ind1 - 1;
  pNArr = Sel.Ind1 - Sel.Ind0;
  ORVA_ASSERT(pNArr > 0);
  const TSpec32 &S = *pSpec32;
  ORVA_ASSERT(pInd0 >= 0 && static_cast<size_t>(pInd1) < S.DataX.size() &&
              static_cast<size_t>(pInd1) < S.DataY.size());
  pXArr.assign(S.DataX.begin() + pInd0, S.DataX.begin() + pInd1 + 1);
  pYArr.assign(S.DataY.begin() + pInd0, S.DataY.begin() + pInd1 + 1);
}

void TToolSelection::DoEvent(TProfile32 &Window) {
  ORVA_ASSERT(&Window == pProfile32 && pSpec32 != nullptr);
  ORVA_ASSERT(Window.Context().Selection().Exists());
  CopySelection(Window);
  Calculate();
}
