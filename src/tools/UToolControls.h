#pragma once
// Pieces the selection tool panels share: the choice between a mouse selection and typed limits
// with its "From" and "To" edits, a push button that runs a command and follows its enabling,
// the update of a panel's commands when the application goes idle, and handing a new spectrum
// (or the reason there is none) to the user.
#include <QString>
#include <functional>
#include <initializer_list>

#include "tools/UToolRangeCore.h"

class QAction;
class QLineEdit;
class QObject;
class QPushButton;
class QVBoxLayout;
class QWidget;
class TRadioGroup;
class TSpec32;
class TToolTemplate;

// The items of the method group, in their order.
enum TRangeMethod { rmMouse = 0, rmWavelength = 1, rmIndex = 2 };

struct TRangeControls {
  TRadioGroup *RgMethod = nullptr;
  QLineEdit *EdFrom = nullptr;
  QLineEdit *EdTo = nullptr;
};

// Adds the group Title with "Select with Mouse" (chosen), "From - To (Wavelength)" and
// "From - To (Index)", and the edits "From" and "To" below it, to Layout.
TRangeControls AddRangeControls(QWidget *Panel, QVBoxLayout *Layout, const QString &Title);

// The method chosen in the group.
TRangeMethod RangeMethod(const TRangeControls &C);

// The typed limits of the edits for Spec under Rule; the method must be one of the typed ones
// (a text that is no number raises the general conversion error).
TTypedLimits ReadTypedLimits(const TRangeControls &C, TLimitRule Rule, const TSpec32 &Spec);

// A push button on Panel that triggers Action and is enabled with it. Return in one of the
// edits triggers it as well: the panel's default button.
QPushButton *CommandButton(QWidget *Panel, QAction *Action, std::initializer_list<QLineEdit *> Edits = {});

// Runs Update (its exceptions reported) each time the application's event loop has handled
// something and is about to wait again; stops when Context goes.
void WhenIdle(QObject *Context, std::function<void()> Update);

// A normalize or crop outcome: its message in an error box, or the new spectrum made from
// Source listed and shown in a plot window of its own.
void ShowOutcome(TToolTemplate &Tool, const TSpec32 &Source, TToolOutcome Outcome);
