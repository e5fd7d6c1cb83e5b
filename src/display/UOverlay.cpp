#define ORVA_UNIT "UOverlay"
#include "display/UOverlay.h"

#include <algorithm>

#include "core/UErrors.h"
#include "display/UProfile32.h"

namespace {
QPen SolidPen(const QColor &C) {
  QPen P(C, 1, Qt::SolidLine);
  P.setCosmetic(true);
  return P;
}
} // namespace

TOverlayObject::TOverlayObject(TProfile32 *Profile)
    : pProfile32(Profile), pPen(SolidPen(QColor(255, 255, 255))), pBrush(QColor(255, 255, 255), Qt::NoBrush) {
}

void TOverlayProfile::DrawObject() {
  if (pNVal == 0 || !pProfile32) return;
  if (!pYVal) OrvaRaise("Range check error");
  pProfile32->DrawCurve(pNVal, *pYVal, pPen);
}

TOverlaySelection::TOverlaySelection(TProfile32 *Profile)
    : TOverlayObject(Profile), pPenClear(SolidPen(QColor(255, 0, 0))) {}

void TOverlaySelection::DrawObject() {
  if (pNVal == 0 || !pProfile32 || !pYSel || pYSel->empty()) return;
  if (!pYVal) OrvaRaise("Range check error");
  pProfile32->DrawCurveB(pNVal, *pYVal, pPenClear, pPen, *pYSel);
}

TOverlayProfile *TOverlay::AddProfile() {
  auto *O = new TOverlayProfile(pOwner);
  pObjects.emplace_back(O);
  return O;
}

TOverlaySelection *TOverlay::AddSelection() {
  auto *O = new TOverlaySelection(pOwner);
  pObjects.emplace_back(O);
  return O;
}

void TOverlay::RemoveObject(const TOverlayObject *Obj) {
  auto It = std::find_if(pObjects.begin(), pObjects.end(), [Obj](const auto &P) { return P.get() == Obj; });
  if (It != pObjects.end()) pObjects.erase(It);
}

void TOverlay::Clear() { pObjects.clear(); }

TOverlayObject *TOverlay::Object(int32_t i) const {
  if (i < 0 || i >= Count()) OrvaRaise("Range check error");
  return pObjects[static_cast<size_t>(i)].get();
}

void TOverlay::Draw() {
  for (const auto &O : pObjects)
    if (O->Enabled()) O->DrawObject();
}
