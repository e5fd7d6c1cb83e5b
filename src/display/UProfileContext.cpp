#define ORVA_UNIT "UProfileContext"
#include "display/UProfileContext.h"

#include <algorithm>

TToolId NewToolId() {
  static TToolId Next = 0;
  return ++Next;
}

TProfileContext::TProfileContext(TProfile32 *Owner) : pOwner(Owner), pOverlay(Owner) {}

TProfileContext::~TProfileContext() { ClearSlots(); }

TLocalData *TProfileContext::Slot(TToolId Id) const {
  for (const auto &[Key, Data] : pSlots)
    if (Key == Id) return Data.get();
  return nullptr;
}

void TProfileContext::SetSlot(TToolId Id, std::unique_ptr<TLocalData> Data) {
  // The old data is freed only after the slot holds the new one, so that its destructor sees
  // the context in a consistent state.
  std::unique_ptr<TLocalData> Old = TakeSlot(Id);
  if (Data) pSlots.emplace_back(Id, std::move(Data));
}

std::unique_ptr<TLocalData> TProfileContext::TakeSlot(TToolId Id) {
  auto It = std::find_if(pSlots.begin(), pSlots.end(), [Id](const auto &S) { return S.first == Id; });
  if (It == pSlots.end()) return nullptr;
  std::unique_ptr<TLocalData> Data = std::move(It->second);
  pSlots.erase(It);
  return Data;
}

void TProfileContext::ClearSlots() {
  // Moved out first: a destructor that looks at the slots finds them empty.
  auto Old = std::move(pSlots);
  pSlots.clear();
  Old.clear();
}
