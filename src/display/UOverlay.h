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

// The values of a curve. An object either owns them or shares them with the tool that computes
// them; either way they live as long as the object, so a redraw never reads an array that its
// producer has freed, and a tool that changes a shared array in place is seen at the next redraw.
using TOverlayValues = std::shared_ptr<const TDblArr1D>;
using TOverlayFlags = std::shared_ptr<const std::vector<bool>>;

// A curve with one value per sample index of the spectrum.
class TOverlayProfile : public TOverlayObject {
public:
  using TOverlayObject::TOverlayObject;
  int32_t NVal() const { return pNVal; }
  void SetNVal(int32_t N) { pNVal = N; }
  const TDblArr1D *YVal() const { return pYVal.get(); }
  // Shares Y with its producer (who may keep a std::shared_ptr<TDblArr1D> to change it).
  void SetYVal(TOverlayValues Y) { pYVal = std::move(Y); }
  // Takes its own copy of Y.
  void SetYVal(TDblArr1D Y) { pYVal = std::make_shared<const TDblArr1D>(std::move(Y)); }
  void DrawObject() override;

protected:
  int32_t pNVal = 0;
  TOverlayValues pYVal;
};

// A curve whose segments take Pen where the sample they start from is flagged, PenClear
// elsewhere.
class TOverlaySelection : public TOverlayObject {
public:
  explicit TOverlaySelection(TProfile32 *Profile);
  int32_t NVal() const { return pNVal; }
  void SetNVal(int32_t N) { pNVal = N; }
  const TDblArr1D *YVal() const { return pYVal.get(); }
  void SetYVal(TOverlayValues Y) { pYVal = std::move(Y); }
  void SetYVal(TDblArr1D Y) { pYVal = std::make_shared<const TDblArr1D>(std::move(Y)); }
  const std::vector<bool> *YSel() const { return pYSel.get(); }
  void SetYSel(TOverlayFlags S) { pYSel = std::move(S); }
  void SetYSel(std::vector<bool> S) { pYSel = std::make_shared<const std::vector<bool>>(std::move(S)); }
  QPen &PenClear() { return pPenClear; }
  void SetPenClear(const QPen &P) { pPenClear = P; }
  void DrawObject() override;

private:
  int32_t pNVal = 0;
  TOverlayValues pYVal;
  TOverlayFlags pYSel;
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
