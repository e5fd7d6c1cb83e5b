#pragma once
// The base of the tools that work on the index range selected in the current plot window: the
// window's selection event copies the selected samples and runs Calculate; its no-selection
// event (and every connect) runs ResetAll.
#include <cstdint>

#include "core/USpecTypes.h"
#include "tools/UToolTemplate.h"

class TToolSelection : public TToolTemplate {
  Q_OBJECT
public:
  using TToolTemplate::TToolTemplate;

  void Connect(TProfile32 &Window) override;
  void Disconnect(TProfile32 &Window) override;
  void Show() override;
  void Hide() override;

  // The selection event of the current window: copies its selection, then Calculate.
  void DoEvent(TProfile32 &Window);

  int32_t Ind0() const { return pInd0; }
  int32_t Ind1() const { return pInd1; }
  int32_t NArr() const { return pNArr; }
  const TDblArr1D &XArr() const { return pXArr; }
  const TDblArr1D &YArr() const { return pYArr; }

protected:
  // Clears the results shown; also the window's no-selection event.
  virtual void ResetAll(QObject *Sender) = 0;
  // Computes from pXArr, pYArr and shows the results.
  virtual void Calculate() = 0;

  int32_t pInd0 = 0;
  int32_t pInd1 = -1; // last selected sample, included
  TDblArr1D pXArr, pYArr;
  int32_t pNArr = 0;

private:
  void CopySelection(TProfile32 &Window);
  void Unhook(TProfile32 &Window);
  void Forget();
};
