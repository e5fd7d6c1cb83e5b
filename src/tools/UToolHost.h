#pragma once
// Shows and hides the interactive tools: at most one is active; showing one hides the one shown
// before. The host owns the tool commands, their toggle buttons (one group) and the tool
// letters, places the panels one below the other at the right edge of the main window, and
// connects the active tool to the plot window that is activated, defined or closed. The main
// window creates one host, gives it what it needs below, and keeps the commands in its table.
#include <QObject>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QActionGroup;
class QMainWindow;
class QMdiArea;
class QMenu;
class QToolBar;
class QWidget;
class TProfile32;
class TSpec32;
class TToolTemplate;
struct TOpResult;

// What the tools need from the main window and the file list.
struct TToolHostEnv {
  QMainWindow *Main = nullptr;
  QMdiArea *Area = nullptr;
  // Puts a command into the main window's command table (always enabled).
  std::function<void(QAction *)> RegisterCommand;
  // The active plot window.
  std::function<TProfile32 *()> ActiveProfile;
  // Lists a new spectrum made from Source (named from Source's file name and the result's
  // suffix, header from Source) and shows it in a new plot window.
  std::function<TSpec32 &(const TSpec32 &Source, TOpResult Result)> ShowResult;
  // The same without a window: the new spectrum is only listed.
  std::function<TSpec32 &(const TSpec32 &Source, TOpResult Result)> ListResult;
};

// The tools of the main window, in the order of the "i-Tools" menu and the tool bar.
enum class TToolKind {
  Crop,          // "Crop (C)"
  Dispersion,    // "Dispersion Function (D)"
  Normalize,     // "Normalize (N)"
  RemoveWater,   // "Remove Atm. Water (H)"
  SmoothSpline,  // "Smoothing Spline (P)"
  NCC,           // "Template for Cross Correlation (T)"
  RVMirror,      // "Radial Velocity (R)"
  Maximum,       // "FWHM/Extremum (F)"
  Statistics,    // "Statistics (S)"
  GaussVoigt,    // "Gauss/Voigt Fit"
  Tool2,         // "Tool 2..."
};

class TToolHost : public QObject {
  Q_OBJECT
public:
  explicit TToolHost(TToolHostEnv Env, QObject *Parent = nullptr);
  ~TToolHost() override;

  const TToolHostEnv &Env() const { return pEnv; }

  // Adds a tool (created hidden, owned by the main window as a Qt child) under its command:
  // the command is made with the kind's caption, registered, put into the toggle group and,
  // for the lettered tools, into the menu and the tool bar in their fixed order.
  QAction *AddTool(TToolKind Kind, TToolTemplate *Tool);
  TToolTemplate *Tool(TToolKind Kind) const;
  QAction *Command(TToolKind Kind) const;
  static const char *Caption(TToolKind Kind);
  // The tool letter of a kind ('\0' for the tools without one).
  static char Letter(TToolKind Kind);

  // Hides the active tool (if any), makes Tool active, shows it and gives the focus back to the
  // main window.
  void ShowTool(TToolTemplate *Tool);
  // Hides the active tool, if any.
  void HideActiveTool();
  // The panel hid itself: it is no longer the active tool.
  void ToolHidden(TToolTemplate *Tool);
  TToolTemplate *ActiveTool() const { return pActiveTool; }
  bool IsShown(TToolKind Kind) const;

  // Screen y at which the next panel opens; starts just below the main window's tool bar.
  int LastToolPos() const { return pLastToolPos; }
  void SetLastToolPos(int Y) { pLastToolPos = Y; }

  // The active tool follows the plot windows.
  void ConnectTool(TProfile32 &Window);
  void DisconnectTool(TProfile32 &Window);
  // Every open plot window in the main window's child order (bottom of the stack first, so
  // the active one comes last).
  std::vector<TProfile32 *> ProfileWindows() const;
  // The tool letters of the plot and tool windows, upper case: C D F H N P R S T show that
  // tool (when it exists), X hides the active tool.
  void ToolLetter(char Letter);

  // Fills the "i-Tools" menu and the tool bar with the commands of the tools added so far.
  void FillMenu(QMenu *Menu) const;
  void FillToolBar(QToolBar *Bar) const;
  // Each tool button is pressed while its tool is visible (run when the application is idle).
  void UpdateButtons();
  QActionGroup *ToolButtonGroup() const { return pGroup; }

private:
  TToolHostEnv pEnv;
  QActionGroup *pGroup;
  struct TEntry {
    TToolKind Kind;
    TToolTemplate *Tool;
    QAction *Action;
  };
  std::vector<TEntry> pTools;
  TToolTemplate *pActiveTool = nullptr;
  int pLastToolPos = 0;
};
