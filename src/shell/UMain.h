#pragma once
// The main window: a maximised frame of child windows with the menus, the tool bar and the
// whole command table. It keeps the settings and the shared parser, knows the active plot
// window and tool, enables commands when the application goes idle and asks before quitting
// with unsaved spectra.
#include <QMainWindow>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QActionGroup;
class QMdiArea;
class QMenu;
class QToolBar;
class TAboutOrvalumetrix;
class TBaryCorrForm;
class TBaryCorrHolder;
class TFileList;
class TFitsEditor;
class TGlobalData;
class TDispersionFunction;
class TFilters;
class TIndRefrAir;
class TNToolsEvaluate;
class TNToolsFFT;
class TNewProfile;
class TOpAddZeros;
class TOpBinary0;
class TOpBinary1;
class TOpBinary2;
class TOpCheckSpectrum;
class TOpConcatenate;
class TOpCrop;
class TOpMultiple;
class TOpOperator;
class TOpXAxis;
class TPolRoot;
class TOpResample;
class TOpUnary;
class TOpenSpecial;
class TParamDialog;
class TProfile32;
class TProfileHost;
class TSaveFiles;
class TSaveFits;
class TSimpleParser;
class TSpec32;
class TToolHost;

// The files named on the command line (after the program's name) and "--view" (show them in
// plot windows as well). Names are made full against the current folder at the call: the
// program start calls this before the main window exists, because reading the settings moves
// the current folder to the one remembered from the last run.
struct TStartFiles {
  std::vector<std::string> Names;
  bool View = false;
};
TStartFiles StartFilesFromArguments(const std::vector<std::string> &Args);

struct TMainOptions {
  std::string ExeName;     // the program's full file name
  std::string IniFileName; // overrides where the settings live (tests); empty: beside the program
};

class TMain : public QMainWindow {
  Q_OBJECT
public:
  explicit TMain(const TMainOptions &Options, QWidget *Parent = nullptr);
  ~TMain() override;

  // The one main window of the run (nullptr before it exists and after it is gone).
  static TMain *Instance();

  // When a command is enabled, from n (selected rows) and c (open child windows).
  enum class TEnable {
    Always,
    AnySelected,     // n > 0
    OneSelected,     // n = 1
    TwoSelected,     // n = 2
    SeveralSelected, // n > 1
    ChildWindows,    // c > 0
    RenameRow        // n = 1 and the spectrum is unsaved
  };
  // Puts a command into the table; later windows register theirs the same way.
  void RegisterCommand(QAction *Action, TEnable Rule);
  // The enabling rules; runs when the application goes idle.
  void ActionList1Update();

  // Commands (the table's names).
  QAction *ActionFileOpen;
  QAction *ActionOpenSpecial;
  QAction *ActionFileCloseSelected;
  QAction *ActionFileSave;
  QAction *ActionFileSaveMain;
  QAction *ActionSaveFitsList;
  QAction *ActionSaveFitsMain;
  QAction *ActionFitsEditorList;
  QAction *ActionFitsEditorMain;
  QAction *ActionFileRename;
  QAction *ActionMakeCopy;
  QAction *ActionFileExit;
  QAction *ActionShowFileList;
  QAction *ActionShowProfile;
  QAction *ActionShowText;
  QAction *ActionShowParameters;
  QAction *ActionOpUnary;
  QAction *ActionOpOperator;
  QAction *ActionOpBinary0;
  QAction *ActionOpBinary1;
  QAction *ActionOpBinary2;
  QAction *ActionOpCrop;
  QAction *ActionOpResample;
  QAction *ActionOpAddZeros;
  QAction *ActionOpCheckSpectrum;
  QAction *ActionFileNew;
  QAction *ActionOpMultiple;
  QAction *ActionOpFilters;
  QAction *ActionOpConcat;
  QAction *ActionNToolsFFT;
  QAction *ActionNToolsEvaluate;
  QAction *ActionXCalibration;
  QAction *ActionXBaryCorr;
  QAction *ActionXVacAir;
  QAction *ActionXWlWn;
  QAction *ActionXWlVel;
  QAction *ActionVariaAir;
  QAction *ActionPolRoot;
  QAction *ActionMeasuresXAxis;
  QAction *ActionWindowClose;
  QAction *ActionWindowCloseAll;
  QAction *ActionWindowCascade;
  QAction *ActionWindowTileHorizontal;
  QAction *ActionWindowTileVertical;
  QAction *ActionWindowMinimizeAll;
  QAction *ActionWindowArrange;
  QAction *ActionAbout;

  // Menus of the main window and of the file list; empty ones stay hidden.
  QMenu *MenuFile;
  QMenu *MenuITools;
  QMenu *MenuVaria;
  QMenu *MenuWindow;
  QMenu *FileListMenuProfile;
  QMenu *FileListMenuNTools;
  QMenu *FileListMenuXOperators;
  QMenu *FileListMenuYOperators;
  QToolBar *MainToolBar;
  QMdiArea *MdiArea;

  TFileList &FileList() const { return *pFileList; }
  TGlobalData &GlobalData() const { return *pGlobalData; }
  // The program's one barycentric correction (ephemeris opened at start, its failure kept).
  TBaryCorrHolder &BaryCorrHolder() const { return *pBaryCorr; }
  TSimpleParser &SimpleParser() const;
  TProfileHost &ProfileHost() const { return *pProfileHost; }
  // The plot windows replace the stand-in host with theirs (before any window is open).
  void SetProfileHost(std::unique_ptr<TProfileHost> Host);

  const std::string &ExeName() const { return pExeName; }
  const std::string &ExePath() const { return pExePath; }
  TProfile32 *ActiveProfile() const { return pActiveProfile; }
  void SetActiveProfile(TProfile32 *P) { pActiveProfile = P; }
  // The interactive tools: their commands, buttons and letters, and the one shown.
  TToolHost &ToolHost() const { return *pToolHost; }

  TOpenSpecial &OpenSpecial() const { return *pOpenSpecial; }
  TSaveFiles &SaveFiles() const { return *pSaveFiles; }
  TSaveFits &SaveFits() const { return *pSaveFits; }
  TFitsEditor &FitsEditor() const { return *pFitsEditor; }
  TParamDialog &ParamDialog() const { return *pParamDialog; }
  TOpCheckSpectrum &CheckSpectrum() const { return *pCheckSpectrum; }
  TOpUnary &OpUnary() const { return *pOpUnary; }
  TOpOperator &OpOperator() const { return *pOpOperator; }
  TOpBinary0 &OpBinary0() const { return *pOpBinary0; }
  TOpBinary1 &OpBinary1() const { return *pOpBinary1; }
  TOpBinary2 &OpBinary2() const { return *pOpBinary2; }
  TOpCrop &OpCrop() const { return *pOpCrop; }
  TOpResample &OpResample() const { return *pOpResample; }
  TOpAddZeros &OpAddZeros() const { return *pOpAddZeros; }
  TAboutOrvalumetrix &About() const { return *pAbout; }
  TNewProfile &NewProfile() const { return *pNewProfile; }
  TBaryCorrForm &BaryCorrForm() const { return *pBaryCorrForm; }
  TOpMultiple &OpMultiple() const { return *pOpMultiple; }
  TFilters &Filters() const { return *pFilters; }
  TOpConcatenate &OpConcatenate() const { return *pOpConcatenate; }
  TNToolsFFT &NToolsFFT() const { return *pNToolsFFT; }
  TNToolsEvaluate &NToolsEvaluate() const { return *pNToolsEvaluate; }
  TDispersionFunction &DispersionFunction() const { return *pDispersionFunction; }
  TOpXAxis &OpXAxis() const { return *pOpXAxis; }
  TIndRefrAir &IndRefrAir() const { return *pIndRefrAir; }
  TPolRoot &PolRoot() const { return *pPolRoot; }

  // View Profile: the plot windows of all selected spectra, last first.
  void ViewProfile();
  void ShowProfile(TSpec32 &Spec32);
  // Files named on the command line or dropped on the window, opened as the Open command would.
  void OpenFiles(const std::vector<std::string> &Names);
  int ChildWindowCount() const;
  // The Window menu's list of the open plot windows (run when the menu opens).
  void UpdateWindowMenu();
  // True once the window has closed (spectra closed, settings written).
  bool Closed() const { return pClosed; }

protected:
  void closeEvent(QCloseEvent *E) override;
  void showEvent(QShowEvent *E) override;

  bool eventFilter(QObject *Watched, QEvent *E) override;
  void dragEnterEvent(QDragEnterEvent *E) override;
  void dropEvent(QDropEvent *E) override;

private:
  void FormCreate(const TMainOptions &Options);
  void CreateCommands();
  void CreateMenus();
  void CreateWindows();
  // The plot windows replace the stand-ins once the file list exists.
  void InstallProfileWindows();
  // The tool host and the tools, once the file list and the plot windows exist.
  void InstallTools();
  bool FormCloseQuery();
  void FormClose();
  void PlaceFileList();
  QPoint ToolBarAnchor() const;
  QAction *Command(const char *Caption, TEnable Rule, void (TMain::*Slot)());
  TSpec32 &SingleSelectedSpec();
  TSpec32 &ActiveWindowSpec();
  void TileWindows(bool Horizontal);
  void ArrangeIcons();

  void DoFileOpen();
  void DoFileCloseSelected();
  void DoOpenSpecial();
  void DoFileSave();
  void DoFileSaveMain();
  void DoSaveFitsList();
  void DoSaveFitsMain();
  void DoFitsEditorList();
  void DoFitsEditorMain();
  void DoShowFileList();
  void DoShowText();
  void DoShowParameters();
  void DoCheckSpectrum();
  void DoWindowCloseAll();
  void DoAbout();

  std::string pExeName;
  std::string pExePath;
  std::unique_ptr<TGlobalData> pGlobalData;
  std::unique_ptr<TProfileHost> pProfileHost;
  std::unique_ptr<TBaryCorrHolder> pBaryCorr;
  TProfile32 *pActiveProfile = nullptr;
  std::unique_ptr<TToolHost> pToolHost;
  bool pClosed = false;
  bool pPlaced = false;
  bool pIdleDirty = true;

  TFileList *pFileList = nullptr;
  TOpenSpecial *pOpenSpecial = nullptr;
  TSaveFiles *pSaveFiles = nullptr;
  TSaveFits *pSaveFits = nullptr;
  TFitsEditor *pFitsEditor = nullptr;
  TParamDialog *pParamDialog = nullptr;
  TOpCheckSpectrum *pCheckSpectrum = nullptr;
  TOpUnary *pOpUnary = nullptr;
  TOpOperator *pOpOperator = nullptr;
  TOpBinary0 *pOpBinary0 = nullptr;
  TOpBinary1 *pOpBinary1 = nullptr;
  TOpBinary2 *pOpBinary2 = nullptr;
  TOpCrop *pOpCrop = nullptr;
  TOpResample *pOpResample = nullptr;
  TOpAddZeros *pOpAddZeros = nullptr;
  TAboutOrvalumetrix *pAbout = nullptr;
  TNewProfile *pNewProfile = nullptr;
  TBaryCorrForm *pBaryCorrForm = nullptr;
  TOpMultiple *pOpMultiple = nullptr;
  TFilters *pFilters = nullptr;
  TOpConcatenate *pOpConcatenate = nullptr;
  TNToolsFFT *pNToolsFFT = nullptr;
  TNToolsEvaluate *pNToolsEvaluate = nullptr;
  TDispersionFunction *pDispersionFunction = nullptr;
  TOpXAxis *pOpXAxis = nullptr;
  TIndRefrAir *pIndRefrAir = nullptr;
  TPolRoot *pPolRoot = nullptr;

  struct TCommand {
    QAction *Action;
    TEnable Rule;
  };
  std::vector<TCommand> pCommands;
  // The Window menu's entries for the plot windows, with their separator.
  std::vector<QAction *> pWindowEntries;
};
