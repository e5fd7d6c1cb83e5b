#pragma once
// How the operation dialogs hand their results to the file list and tell the user about a
// spectrum they could not use. Shared by all operation dialogs.
#include <QGroupBox>
#include <QStringList>
#include <initializer_list>
#include <memory>
#include <string>

#include "ops/UOpResult.h"
#include "ops/UOpRun.h"

class QButtonGroup;
class TSpecList;
class TSpec32;

// A new listed spectrum for one result: NewFile(FName, History, n, 0.0, HeaderSource), its x
// and y, its equidistance flag, UpdateSpec. An empty FName gives the next "Untitled-" name.
// When the result holds infinite or undefined values where all its sources were finite, the
// user is told once, with the new spectrum's name in front, after it is listed.
TSpec32 &ListResult(TSpecList &List, const std::string &FName, TOpResult Result, const TSpec32 *HeaderSource,
                    std::initializer_list<const TSpec32 *> Sources);

// Where a dialog's run over the selected spectra puts things: each result a new listed spectrum
// (NewFile, x and y, equidistance flag, UpdateSpec), its warning told in an error box after it is
// listed; refusals in error boxes, notices in information boxes (their fixed text alone).
class TListSink : public TOpSink {
public:
  explicit TListSink(TSpecList &List) : pList(List) {}
  void Result(const std::string &FName, TOpResult R, const TSpec32 *HeaderSource,
              const std::string &Warning) override;
  void Refused(const std::string &Message) override;
  void Notice(const TSpec32 &Source, const std::string &Text) override;
  // The spectrum made last (none yet: nullptr).
  TSpec32 *Last() const { return pLast; }

private:
  TSpecList &pList;
  TSpec32 *pLast = nullptr;
};

// The wait cursor for the length of an operation, released on every path. A message box or
// other modal window that opens meanwhile (a spectrum refused, a warning) shows the normal
// arrow while it is open: it waits for the user, not the other way round.
class TBusyCursor {
public:
  TBusyCursor();
  ~TBusyCursor();
  TBusyCursor(const TBusyCursor &) = delete;
  TBusyCursor &operator=(const TBusyCursor &) = delete;

private:
  class TModalWatch;
  std::unique_ptr<TModalWatch> pWatch;
};

// A titled group of exclusive radio buttons whose choice is an item index.
class TRadioGroup : public QGroupBox {
public:
  TRadioGroup(const QString &Title, const QStringList &Items, int Default, QWidget *Parent = nullptr);
  int ItemIndex() const;
  void SetItemIndex(int Index);
  int Count() const;
  QButtonGroup *Group() const { return pGroup; }

private:
  QButtonGroup *pGroup;
};
