#define ORVA_UNIT "UOpListing"
#include "ops/UOpListing.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>
#include <QWidget>
#include <algorithm>
#include <vector>

#include "core/UErrors.h"
#include "core/USpec32.h"
#include "gui/USpecList.h"
#include "gui/UUiServices.h"

TSpec32 &ListResult(TSpecList &List, const std::string &FName, TOpResult Result, const TSpec32 *HeaderSource,
                    std::initializer_list<const TSpec32 *> Sources) {
  const std::string Warning = ResultWarning(std::vector<const TSpec32 *>(Sources), Result);
  TListSink Sink(List);
  Sink.Result(FName, std::move(Result), HeaderSource, Warning);
  return *Sink.Last();
}

void TListSink::Result(const std::string &FName, TOpResult R, const TSpec32 *HeaderSource,
                       const std::string &Warning) {
  ORVA_ASSERT(R.X.size() == R.Y.size());
  TSpec32 &D = pList.NewFile(FName, R.History, static_cast<int32_t>(R.X.size()), 0.0, HeaderSource);
  D.DataX = std::move(R.X);
  D.DataY = std::move(R.Y);
  D.SetEquidistant(R.Equidistant);
  pList.UpdateSpec(D);
  pLast = &D;
  if (!Warning.empty()) Ui().ErrorBox(D.FileName() + Warning);
}

void TListSink::Refused(const std::string &Message) { Ui().ErrorBox(Message); }

void TListSink::Notice(const TSpec32 &, const std::string &Text) { Ui().InfoBox(Text); }

// Watches the application for modal windows being shown and hidden while the busy cursor is
// on, and puts the arrow on top of the cursor stack for as long as each is shown.
class TBusyCursor::TModalWatch : public QObject {
public:
  TModalWatch() { qApp->installEventFilter(this); }
  ~TModalWatch() override {
    qApp->removeEventFilter(this);
    for (size_t i = 0; i < pOpen.size(); ++i)
      QApplication::restoreOverrideCursor();
  }

protected:
  bool eventFilter(QObject *Obj, QEvent *E) override {
    if (E->type() != QEvent::Show && E->type() != QEvent::Hide) return false;
    auto *W = qobject_cast<QWidget *>(Obj);
    if (!W || !W->isWindow()) return false;
    const auto It = std::find(pOpen.begin(), pOpen.end(), W);
    if (E->type() == QEvent::Show && W->isModal() && It == pOpen.end()) {
      pOpen.push_back(W);
      QApplication::setOverrideCursor(Qt::ArrowCursor);
    } else if (E->type() == QEvent::Hide && It != pOpen.end()) {
      pOpen.erase(It);
      QApplication::restoreOverrideCursor();
    }
    return false;
  }

private:
  std::vector<QObject *> pOpen;
};

TBusyCursor::TBusyCursor() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  pWatch = std::make_unique<TModalWatch>();
}

TBusyCursor::~TBusyCursor() {
  pWatch.reset();
  QApplication::restoreOverrideCursor();
}

TRadioGroup::TRadioGroup(const QString &Title, const QStringList &Items, int Default, QWidget *Parent)
    : QGroupBox(Title, Parent), pGroup(new QButtonGroup(this)) {
  auto *V = new QVBoxLayout(this);
  for (int i = 0; i < Items.size(); ++i) {
    auto *R = new QRadioButton(Items[i], this);
    pGroup->addButton(R, i);
    V->addWidget(R);
  }
  SetItemIndex(Default);
}

int TRadioGroup::ItemIndex() const { return pGroup->checkedId(); }

void TRadioGroup::SetItemIndex(int Index) {
  QAbstractButton *B = pGroup->button(Index);
  ORVA_ASSERT(B != nullptr);
  B->setChecked(true);
}

int TRadioGroup::Count() const { return static_cast<int>(pGroup->buttons().size()); }
