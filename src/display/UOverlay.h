#pragma once
// Extra curves that the tools draw over the spectrum of a plot window: a fitted continuum, a
// smoothed curve, a model, or a curve whose samples are coloured by a flag. The window owns
// one list and draws it after the spectrum and before the scales; tools only add objects, set
// their data and pens, and ask the window to redraw.
#include <QBrush>
#include <QPen>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/USpecTypes.h"

class TProfile32;

class TOverlayObject {
public:
  explicit TOverlayObject(TProfile32 *Profile);
  virtual ~TOverlayObject() = default;
  TOverlayObject(const TOverlayObject &) = delete;
  TOverlayObject &operator=(const TOverlayObject &) = delete;

  QPen &Pen() { return pPen; }
  void SetPen(const QPen &P) { pPen = P; }
  QBrush &Brush() { return pBrush; }
  void SetBrush(const QBrush &B) { pBrush = B; }
  bool Enabled() const { return pEnabled; }
  void SetEnabled(bool E) { pEnabled = E; }
  TProfile32 *Profile32() const { return pProfile32; }

  // Draws the object into its window's plot image.
  virtual void DrawObject() = 0;

protected:
  TProfile32 *pProfile32;
  QPen pPen;
  QBrush pBrush;
  bool pEnabled = true;
};

// A curve with one value per sample index of the spectrum. The values stay the tool's: the
// object keeps a reference to the tool's array, so a redraw shows its current contents.
class TOverlayProfile : public TOverlayObject {
public:
  using TOverlayObject::TOverlayObject;
  int32_t NVal() const { return pNVal; }
  void SetNVal(int32_t N) { pNVal = N; }
  const TDblArr1D *YVal() const { return pYVal; }
  void SetYVal(const TDblArr1D *Y) { pYVal = Y; }
  void DrawObject() override;

protected:
  int32_t pNVal = 0;
  const TDblArr1D *pYVal = nullptr;
};

// A curve whose segments take Pen where the sample they start from is flagged, PenClear
// elsewhere.
class TOverlaySelection : public TOverlayObject {
public:
  explicit TOverlaySelection(TProfile32 *Profile);
  int32_t NVal() const { return pNVal; }
  void SetNVal(int32_t N) { pNVal = N; }
  const TDblArr1D *YVal() const { return pYVal; }
  void SetYVal(const TDblArr1D *Y) { pYVal = Y; }
  const std::vector<bool> *YSel() const { return pYSel; }
  void SetYSel(const std::vector<bool> *S) { pYSel = S; }
  QPen &PenClear() { return pPenClear; }
  void SetPenClear(const QPen &P) { pPenClear = P; }
  void DrawObject() override;

private:
  int32_t pNVal = 0;
  const TDblArr1D *pYVal = nullptr;
  const std::vector<bool> *pYSel = nullptr;
  QPen pPenClear;
};

class TOverlay {
public:
  explicit TOverlay(TProfile32 *Owner) : pOwner(Owner) {}
  TOverlay(const TOverlay &) = delete;
  TOverlay &operator=(const TOverlay &) = delete;

  // New objects bound to the owner window, appended; the list keeps ownership.
  TOverlayProfile *AddProfile();
  TOverlaySelection *AddSelection();
  // Removes and frees Obj if it is in the list; anything else is left alone.
  void RemoveObject(const TOverlayObject *Obj);
  void Clear();
  int32_t Count() const { return static_cast<int32_t>(pObjects.size()); }
  TOverlayObject *Object(int32_t i) const;
  // Every enabled object in the order of addition, so later ones lie on top.
  void Draw();
  TProfile32 *Owner() const { return pOwner; }

private:
  TProfile32 *pOwner;
  std::vector<std::unique_ptr<TOverlayObject>> pObjects;
};
