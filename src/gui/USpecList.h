#pragma once
// What the dialogs and tools need of the list of open spectra: new spectra for their results
// (NewFile), refreshing a row (UpdateSpec) and a snapshot of the selection (LockAndUpdate ...
// Unlock). The file list window implements it; the dialogs below it see only this.
#include <cstdint>
#include <string>
#include <vector>

class TSpec32;

class TSpecList {
public:
  virtual ~TSpecList() = default;

  // A new listed spectrum of Nx points (x = index, y = Val) named after FName with History,
  // or the next "Untitled-N". The caller fills x and y, then calls UpdateSpec.
  virtual TSpec32 &NewFile(const std::string &FName, const std::string &History, int32_t Nx, double Val,
                           const TSpec32 *HeaderSource) = 0;
  // Min/max of the spectrum and its row's "Equ", "Min" and "Max".
  virtual void UpdateSpec(TSpec32 &Spec32) = 0;
  virtual void LockAndUpdate() = 0;
  virtual void Unlock() = 0;

  virtual int NSelected() const = 0;
  virtual const std::vector<TSpec32 *> &IListed() const = 0;
  virtual const std::vector<TSpec32 *> &ISelected() const = 0;
};

// Holds the selection snapshot for a scope: Unlock runs on every path.
class TListLock {
public:
  explicit TListLock(TSpecList &L) : pList(L) { pList.LockAndUpdate(); }
  ~TListLock() { pList.Unlock(); }
  TListLock(const TListLock &) = delete;
  TListLock &operator=(const TListLock &) = delete;

private:
  TSpecList &pList;
};
