#define ORVA_UNIT "UToolControls"
#include "tools/UToolControls.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>

#include "core/UErrors.h"
#include "core/USpec32.h"
#include "gui/UUiServices.h"
#include "ops/UOpListing.h"
#include "tools/UToolHost.h"
#include "tools/UToolTemplate.h"

TRangeControls AddRangeControls(QWidget *Panel, QVBoxLayout *Layout, const QString &Title) {
  TRangeControls C;
  C.RgMethod = new TRadioGroup(Title, {"Select with Mouse", "From - To (Wavelength)", "From - To (Index)"},
                               rmMouse, Panel);
  Layout->addWidget(C.RgMethod);
  auto *F = new QFormLayout;
  C.EdFrom = new QLineEdit(Panel);
  C.EdTo = new QLineEdit(Panel);
  F->addRow("From", C.EdFrom);
  F->addRow("To", C.EdTo);
  Layout->addLayout(F);
  return C;
}

TRangeMethod RangeMethod(const TRangeControls &C) {
  const int I = C.RgMethod->ItemIndex();
  ORVA_ASSERT(I >= rmMouse && I <= rmIndex);
  return static_cast<TRangeMethod>(I);
}

TTypedLimits ReadTypedLimits(const TRangeControls &C, TLimitRule Rule, const TSpec32 &Spec) {
  const TRangeMethod M = RangeMethod(C);
  ORVA_ASSERT(M != rmMouse);
  return TypedLimits(Rule, M == rmWavelength ? TLimitMode::Wavelength : TLimitMode::Index, Spec.DataX,
                     Spec.Size(), C.EdFrom->text().toStdString(), C.EdTo->text().toStdString());
}

QPushButton *CommandButton(QWidget *Panel, QAction *Action, std::initializer_list<QLineEdit *> Edits) {
  auto *B = new QPushButton(Action->text(), Panel);
  B->setEnabled(Action->isEnabled());
  QObject::connect(B, &QPushButton::clicked, Action, [Action] { Action->trigger(); });
  QObject::connect(Action, &QAction::changed, B, [B, Action] {
    B->setEnabled(Action->isEnabled());
    B->setText(Action->text());
  });
  for (QLineEdit *E : Edits)
    QObject::connect(E, &QLineEdit::returnPressed, Action, [Action] { Action->trigger(); });
  return B;
}

void WhenIdle(QObject *Context, std::function<void()> Update) {
  // The panels live in the thread of the event loop.
  QAbstractEventDispatcher *D = QAbstractEventDispatcher::instance();
  if (!D) return;
  // Once per wake-up: the loop may announce several waits without anything happening between.
  auto Dirty = std::make_shared<bool>(true);
  QObject::connect(D, &QAbstractEventDispatcher::awake, Context, [Dirty] { *Dirty = true; });
  QObject::connect(D, &QAbstractEventDispatcher::aboutToBlock, Context, [Dirty, Update = std::move(Update)] {
    if (!*Dirty) return;
    *Dirty = false;
    Guarded(Update);
  });
}

void ShowOutcome(TToolTemplate &Tool, const TSpec32 &Source, TToolOutcome Outcome) {
  if (!Outcome.Ok()) {
    Ui().ErrorBox(Outcome.Error);
    return;
  }
  const auto &Show = Tool.Host().Env().ShowResult;
  ORVA_ASSERT(static_cast<bool>(Show));
  Show(Source, std::move(Outcome.Result));
}
