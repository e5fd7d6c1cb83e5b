#pragma once
// What a plot window keeps for the interactive tools: its selection, its overlay list and one
// slot per tool for the data that tool keeps for this window. The window owns the context, so
// everything a tool left here dies with the window (closing frees the slots first, then the
// overlays). A tool's list of connected windows is then only a list of window pointers, and its
// data for window k is List1[k]->Context().Slot(its id): storing, replacing and freeing go
// through SetSlot, TakeSlot and FreeSlot, and hiding a tool frees its slot in every window.
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "display/UOverlay.h"

class TProfile32;

// Base of the per-window data of every tool. Each tool defines its own TLocalData (usually a
// nested class of the tool) deriving from this one; the slot owns it.
class TLocalData {
public:
  TLocalData() = default;
  virtual ~TLocalData() = default;
  TLocalData(const TLocalData &) = delete;
  TLocalData &operator=(const TLocalData &) = delete;
};

// Identifies a tool's slot; every tool takes one from NewToolId when it is created.
using TToolId = int32_t;
TToolId NewToolId();

// The half-open sample range [Ind0, Ind1) selected with the mouse or a command, and whether it
// is shown. Hiding keeps the range.
struct TPlotSelection {
  int32_t Ind0 = 0;
  int32_t Ind1 = 0;
  bool Shown = false;
  bool Exists() const { return Shown && Ind0 < Ind1; }
};

class TProfileContext {
public:
  explicit TProfileContext(TProfile32 *Owner);
  // The slots go before the overlays: a tool's data may still name overlay objects.
  ~TProfileContext();
  TProfileContext(const TProfileContext &) = delete;
  TProfileContext &operator=(const TProfileContext &) = delete;

  TProfile32 *Owner() const { return pOwner; }
  TOverlay &Overlay() { return pOverlay; }
  const TOverlay &Overlay() const { return pOverlay; }
  TPlotSelection &Selection() { return pSelection; }
  const TPlotSelection &Selection() const { return pSelection; }

  // The data of tool Id for this window, none when its slot is empty.
  TLocalData *Slot(TToolId Id) const;
  template <class T> T *SlotAs(TToolId Id) const { return dynamic_cast<T *>(Slot(Id)); }
  // Stores Data in the slot of tool Id; what the slot held before is freed.
  void SetSlot(TToolId Id, std::unique_ptr<TLocalData> Data);
  // Empties the slot of tool Id and hands its data to the caller (none when it was empty).
  std::unique_ptr<TLocalData> TakeSlot(TToolId Id);
  // Frees the data of tool Id; an empty slot stays empty.
  void FreeSlot(TToolId Id) { TakeSlot(Id).reset(); }
  // Frees the data of every tool.
  void ClearSlots();
  // Number of tools that keep data for this window.
  int32_t SlotCount() const { return static_cast<int32_t>(pSlots.size()); }

private:
  TProfile32 *pOwner;
  TOverlay pOverlay;
  TPlotSelection pSelection;
  std::vector<std::pair<TToolId, std::unique_ptr<TLocalData>>> pSlots;
};
