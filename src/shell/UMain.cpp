#define ORVA_UNIT "UMain"
#include "shell/UMain.h"

#include <QAbstractEventDispatcher>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QWindow>
#include <filesystem>

#include "astro/UBaryCorr.h"
#include "astro/UBaryCorrForm.h"
#include "astro/UHttpGetQt.h"
#include "astro/USimbad.h"
#include "calib/UDispersionFunction.h"
#include "calib/UIndRefrAir.h"
#include "calib/UOpXAxis.h"
#include "core/UDatFile.h"
#include "core/UErrors.h"
#include "core/UGlobalData.h"
#include "core/USafeFile.h"
#include "core/USpec32.h"
#include "display/UProfileWindows.h"
#include "gui/UCursors.h"
#include "gui/UUiServices.h"
#include "ops/UFilters.h"
#include "ops/UNToolsEvaluate.h"
#include "ops/UNToolsFFT.h"
#include "ops/UNewProfile.h"
#include "ops/UOpAddZeros.h"
#include "ops/UOpBinary0.h"
#include "ops/UOpBinary1.h"
#include "ops/UOpBinary2.h"
#include "ops/UOpConcatenate.h"
#include "ops/UOpCrop.h"
#include "ops/UOpMultiple.h"
#include "ops/UOpOperator.h"
#include "ops/UOpResample.h"
#include "ops/UOpUnary.h"
#include "ops/UPolRoot.h"
#include "shell/UAboutOrvalumetrix.h"
#include "shell/UFileList.h"
#include "shell/UFileListCore.h"
#include "shell/UFitsEditor.h"
#include "shell/UOpCheckSpectrum.h"
#include "shell/UOpenSpecial.h"
#include "shell/UParamDialog.h"
#include "shell/UProfileHost.h"
#include "shell/USaveFITS.h"
#include "shell/USaveFiles.h"
#include "shell/UTextWindow.h"
#include "ops/UOpListing.h"
#include "tools/UToolHost.h"
#include "tools/UToolPanels.h"

namespace {
TMain *TheMain = nullptr;
}

TMain *TMain::Instance() { return TheMain; }

TStartFiles StartFilesFromArguments(const std::vector<std::string> &Args) {
  TStartFiles R;
  for (size_t i = 1; i < Args.size(); ++i) {
    if (Args[i] == "--view")
      R.View = true;
    else if (!Args[i].empty())
      R.Names.push_back(AbsoluteFileName(Args[i]));
  }
  return R;
}

TMain::TMain(const TMainOptions &Options, QWidget *Parent) : QMainWindow(Parent) {
  TheMain = this;
  FormCreate(Options);
  CreateCommands();
  CreateWindows();
  InstallProfileWindows();
  InstallTools();
  CreateMenus();
  ActionList1Update();
  // The enabling rules run when the event loop is about to wait, once per batch of events.
  if (QAbstractEventDispatcher *D = QAbstractEventDispatcher::instance()) {
    connect(D, &QAbstractEventDispatcher::awake, this, [this] { pIdleDirty = true; });
    connect(D, &QAbstractEventDispatcher::aboutToBlock, this, [this] {
      if (!pIdleDirty || pClosed) return;
      pIdleDirty = false;
      Guarded([this] { ActionList1Update(); });
    });
  }
}

TMain::~TMain() {
  // The shown tool lets go of the plot windows while they all still exist.
  if (pToolHost) pToolHost->HideActiveTool();
  // Plot windows and spectra go while the host that shows them still exists.
  delete pFileList;
  pFileList = nullptr;
  SetDatMessageSink([](const std::string &) {});
  if (TheMain == this) TheMain = nullptr;
}

void TMain::FormCreate(const TMainOptions &Options) {
  setWindowTitle("Orvalumetrix");
  QApplication::setApplicationDisplayName("Orvalumetrix");
  pExeName = Options.ExeName;
  pExePath = ExtractFilePath(pExeName);
  // "." is the decimal separator of every number the program formats or parses; the core's
  // helpers never consult the locale, and Qt's own number conversions are not used.
  QLocale::setDefault(QLocale::c());

  MdiArea = new QMdiArea(this);
  MdiArea->setObjectName("MdiArea");
  MdiArea->viewport()->setCursor(Qt::CrossCursor);
  setCentralWidget(MdiArea);
  statusBar()->showMessage(QString());
  setAcceptDrops(true);

  MainToolBar = addToolBar("Main");
  MainToolBar->setObjectName("MainToolBar");
  MainToolBar->setMovable(false);

  pGlobalData = std::make_unique<TGlobalData>(pExeName);
  if (!Options.IniFileName.empty()) pGlobalData->SetIniFileName(Options.IniFileName);
  Guarded([this] { pGlobalData->ReadIniFile(); });

  LoadProgramCursors();
  SharedSimpleParser().Clear();
  SetDatMessageSink([this](const std::string &Msg) {
    // While files are opened, every message names the file it is about.
    const std::string Text = pFileList ? pFileList->NameTheFile(Msg) : Msg;
    // The unsupported file type is an error; the text-file conditions are plain messages.
    if (Msg.rfind("File type ", 0) == 0)
      Ui().ErrorBox(Text);
    else
      Ui().MessageBox(Text);
  });
  pProfileHost = std::make_unique<TPlaceholderProfiles>(MdiArea);
}

TSimpleParser &TMain::SimpleParser() const { return SharedSimpleParser(); }

void TMain::SetProfileHost(std::unique_ptr<TProfileHost> Host) {
  ORVA_ASSERT(Host && ChildWindowCount() == 0);
  pProfileHost = std::move(Host);
  pFileList->SetProfileHost(*pProfileHost);
}

void TMain::InstallProfileWindows() {
  TProfileHooks H;
  H.IgnoreActivation = [this] { return pFileList->Count() == 0 || pFileList->DeletingInProgress(); };
  H.ActiveProfile = [this] { return pActiveProfile; };
  H.SetActiveProfile = [this](TProfile32 *P) { pActiveProfile = P; };
  H.SelectInList = [this](const TSpec32 &S) { pFileList->SelectInList(S); };
  // The active tool follows the plot windows; the host exists before any window opens.
  H.ConnectTool = [this](TProfile32 &W) {
    if (pToolHost) pToolHost->ConnectTool(W);
  };
  H.DisconnectTool = [this](TProfile32 &W) {
    if (pToolHost) pToolHost->DisconnectTool(W);
  };
  H.ToolLetter = [this](char L) {
    if (pToolHost) pToolHost->ToolLetter(L);
  };
  H.SaveFits = ActionSaveFitsMain;
  H.SaveDat = ActionFileSaveMain;
  H.FitsEditor = ActionFitsEditorMain;
  SetProfileHost(std::make_unique<TProfileWindows>(MdiArea, std::move(H)));
}

void TMain::InstallTools() {
  TToolHostEnv E;
  E.Main = this;
  E.Area = MdiArea;
  E.RegisterCommand = [this](QAction *A) { RegisterCommand(A, TEnable::Always); };
  E.ActiveProfile = [this] { return pActiveProfile; };
  E.ShowResult = [this](const TSpec32 &Source, TOpResult R) -> TSpec32 & {
    TSpec32 &D = ListResult(*pFileList, Source.FileName(), std::move(R), &Source, {&Source});
    ShowProfile(D);
    return D;
  };
  E.ListResult = [this](const TSpec32 &Source, TOpResult R) -> TSpec32 & {
    return ListResult(*pFileList, Source.FileName(), std::move(R), &Source, {&Source});
  };
  pToolHost = std::make_unique<TToolHost>(std::move(E));
  InstallToolPanels(*pToolHost, this);
}

QAction *TMain::Command(const char *Caption, TEnable Rule, void (TMain::*Slot)()) {
  auto *A = new QAction(QString::fromUtf8(Caption), this);
  if (Slot)
    connect(A, &QAction::triggered, this, [this, Slot] { Guarded([this, Slot] { (this->*Slot)(); }); });
  RegisterCommand(A, Rule);
  return A;
}

void TMain::RegisterCommand(QAction *Action, TEnable Rule) { pCommands.push_back({Action, Rule}); }

void TMain::CreateCommands() {
  using E = TEnable;
  ActionFileOpen = Command("&Open...", E::Always, &TMain::DoFileOpen);
  ActionFileOpen->setShortcut(QKeySequence("Ctrl+O"));
  ActionFileOpen->setStatusTip("Open File(s)");
  ActionFileOpen->setToolTip("Open File(s)");
  ActionFileOpen->setIcon(GlyphIcon("O", QColor(40, 110, 190)));
  ActionOpenSpecial = Command("Open Special...", E::Always, &TMain::DoOpenSpecial);
  ActionFileCloseSelected = Command("&Close Selected", E::AnySelected, &TMain::DoFileCloseSelected);
  ActionFileCloseSelected->setShortcut(QKeySequence(Qt::Key_Delete));
  ActionFileCloseSelected->setStatusTip("Close selected files");
  ActionFileCloseSelected->setToolTip("Close selected files");
  ActionFileCloseSelected->setIcon(GlyphIcon("X", QColor(180, 60, 50)));
  ActionFileSave = Command("&Save as DAT...", E::AnySelected, &TMain::DoFileSave);
  ActionFileSave->setShortcut(QKeySequence("Ctrl+S"));
  ActionFileSave->setStatusTip("Save Files(s) in DAT format");
  ActionFileSaveMain = Command("Save as DAT...", E::ChildWindows, &TMain::DoFileSaveMain);
  ActionSaveFitsList = Command("Save as FITS...", E::OneSelected, &TMain::DoSaveFitsList);
  ActionSaveFitsMain = Command("Save as FITS...", E::ChildWindows, &TMain::DoSaveFitsMain);
  ActionFitsEditorList = Command("FITS Editor...", E::OneSelected, &TMain::DoFitsEditorList);
  ActionFitsEditorMain = Command("FITS Editor...", E::ChildWindows, &TMain::DoFitsEditorMain);
  ActionFileRename = Command("Rename", E::RenameRow, nullptr);
  ActionFileRename->setShortcut(QKeySequence(Qt::Key_F2));
  ActionMakeCopy = Command("Make Copy", E::AnySelected, nullptr);
  ActionFileExit = Command("Exit", E::Always, nullptr);
  ActionShowFileList = Command("List View...", E::Always, &TMain::DoShowFileList);
  ActionShowFileList->setShortcut(QKeySequence("Ctrl+F"));
  ActionShowFileList->setCheckable(true);
  ActionShowFileList->setStatusTip("File list on/off");
  ActionShowFileList->setToolTip("File list on/off");
  ActionShowFileList->setIcon(GlyphIcon("L", QColor(60, 140, 80)));
  ActionShowProfile = Command("&View Profile...", E::AnySelected, &TMain::ViewProfile);
  ActionShowProfile->setShortcut(QKeySequence("Ctrl+P"));
  ActionShowText = Command("Text Window", E::OneSelected, &TMain::DoShowText);
  ActionShowParameters = Command("Settings", E::Always, &TMain::DoShowParameters);
  ActionOpUnary = Command("Unary S...", E::AnySelected, nullptr);
  ActionOpOperator = Command("Op(S) -> S", E::AnySelected, nullptr);
  ActionOpBinary0 = Command("S x R -> S", E::AnySelected, nullptr);
  ActionOpBinary1 = Command("S x S -> S", E::TwoSelected, nullptr);
  ActionOpBinary2 = Command("nS x S -> S", E::SeveralSelected, nullptr);
  ActionOpCrop = Command("Crop...", E::AnySelected, nullptr);
  ActionOpResample = Command("Re-sample...", E::AnySelected, nullptr);
  ActionOpAddZeros = Command("Add zeros...", E::AnySelected, nullptr);
  ActionOpCheckSpectrum = Command("Check Spectrum...", E::OneSelected, &TMain::DoCheckSpectrum);
  ActionFileNew = Command("&New...", E::Always, nullptr);
  ActionFileNew->setShortcut(QKeySequence("Ctrl+N"));
  ActionOpMultiple = Command("S x S x S... -> S", E::SeveralSelected, nullptr);
  ActionOpFilters = Command("Filters...", E::AnySelected, nullptr);
  ActionOpConcat = Command("Concatenate...", E::SeveralSelected, nullptr);
  ActionNToolsFFT = Command("FFT...", E::AnySelected, nullptr);
  ActionNToolsEvaluate = Command("Evaluate...", E::AnySelected, nullptr);
  ActionXCalibration = Command("Dispersion Function...", E::AnySelected, nullptr);
  ActionXBaryCorr = Command("Barycentric Correction...", E::Always, nullptr);
  ActionXVacAir = Command("Vacuum <-> Air...", E::AnySelected, nullptr);
  ActionXWlWn = Command("Wavelength <-> Wavenumber...", E::AnySelected, nullptr);
  ActionXWlVel = Command("Wavelength -> km/s...", E::AnySelected, nullptr);
  ActionVariaAir = Command("Air/Vacuum Wavelength...", E::Always, nullptr);
  ActionPolRoot = Command("Root of Polynomial...", E::Always, nullptr);
  ActionMeasuresXAxis = Command("Linearity of x-axis", E::AnySelected, nullptr);
  ActionWindowClose = Command("C&lose", E::ChildWindows, nullptr);
  ActionWindowCloseAll = Command("Close All", E::ChildWindows, &TMain::DoWindowCloseAll);
  ActionWindowCascade = Command("&Cascade", E::ChildWindows, nullptr);
  ActionWindowTileHorizontal = Command("Tile &Horizontally", E::ChildWindows, nullptr);
  ActionWindowTileVertical = Command("&Tile Vertically", E::ChildWindows, nullptr);
  ActionWindowMinimizeAll = Command("&Minimize All", E::ChildWindows, nullptr);
  ActionWindowArrange = Command("&Arrange", E::ChildWindows, nullptr);
  ActionAbout = Command("About", E::Always, &TMain::DoAbout);

  // Commands whose body belongs to another window.
  auto On = [this](QAction *A, auto Body) {
    connect(A, &QAction::triggered, this, [Body] { Guarded(Body); });
  };
  On(ActionFileRename, [this] { pFileList->StartRename(); });
  On(ActionMakeCopy, [this] { pFileList->CopySelected(); });
  On(ActionMeasuresXAxis, [this] { pFileList->ShowXAxis(); });
  On(ActionOpUnary, [this] { pOpUnary->Execute(); });
  On(ActionXBaryCorr, [this] { pBaryCorrForm->Execute(); });
  On(ActionOpOperator, [this] { pOpOperator->Execute(); });
  On(ActionOpBinary0, [this] { pOpBinary0->Execute(); });
  On(ActionOpBinary1, [this] { pOpBinary1->Execute(); });
  On(ActionOpBinary2, [this] { pOpBinary2->Execute(); });
  On(ActionOpCrop, [this] { pOpCrop->Execute(); });
  On(ActionOpResample, [this] { pOpResample->Execute(); });
  On(ActionOpAddZeros, [this] { pOpAddZeros->Execute(); });
  On(ActionFileNew, [this] { pNewProfile->Execute(); });
  On(ActionOpMultiple, [this] { pOpMultiple->Execute(); });
  On(ActionOpFilters, [this] { pFilters->Execute(); });
  On(ActionOpConcat, [this] { pOpConcatenate->Execute(); });
  On(ActionNToolsFFT, [this] { pNToolsFFT->Execute(); });
  On(ActionNToolsEvaluate, [this] { pNToolsEvaluate->Execute(); });
  On(ActionXCalibration, [this] { pDispersionFunction->Execute(); });
  On(ActionXVacAir, [this] { pOpXAxis->ExecutePage(0); });
  On(ActionXWlWn, [this] { pOpXAxis->ExecutePage(1); });
  On(ActionXWlVel, [this] { pOpXAxis->ExecutePage(2); });
  On(ActionVariaAir, [this] { pIndRefrAir->Execute(); });
  On(ActionPolRoot, [this] { pPolRoot->Execute(); });
  On(ActionFileExit, [this] { close(); });
  On(ActionWindowClose, [this] { MdiArea->closeActiveSubWindow(); });
  On(ActionWindowCascade, [this] { MdiArea->cascadeSubWindows(); });
  On(ActionWindowTileHorizontal, [this] { TileWindows(true); });
  On(ActionWindowTileVertical, [this] { TileWindows(false); });
  On(ActionWindowMinimizeAll, [this] {
    for (QMdiSubWindow *W : MdiArea->subWindowList())
      W->showMinimized();
  });
  On(ActionWindowArrange, [this] { ArrangeIcons(); });
  // The program's shortcuts work wherever the focus is, the file list window included.
  for (const TCommand &C : pCommands)
    C.Action->setShortcutContext(Qt::ApplicationShortcut);
  // Rename (F2) and Close Selected (Delete) act on the rows of the file list and belong to its
  // window alone: the plot windows have F2 for themselves, and a key that means two things
  // at once does nothing at all.
  for (QAction *A : {ActionFileRename, ActionFileCloseSelected})
    A->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  addActions({ActionFileOpen, ActionFileSave, ActionShowFileList, ActionShowProfile});
}

void TMain::CreateWindows() {
  // The ephemeris first (a missing or bad file is kept as a message for the dialogs that need
  // it), then the file list, then one instance of each dialog, in the order of program start.
  pBaryCorr = std::make_unique<TBaryCorrHolder>(pGlobalData->ExeDir() + "/" + BaryEphemerisName);
  pFileList = new TFileList(*pProfileHost, this);
  pFileList->addActions({ActionFileRename, ActionFileCloseSelected});
  connect(pFileList, &TFileList::ViewProfileRequested, this, [this] { Guarded([this] { ViewProfile(); }); });
  connect(pFileList, &TFileList::FilesDropped, this, [this](const QStringList &L) {
    std::vector<std::string> Names;
    for (const QString &S : L)
      Names.push_back(S.toStdString());
    Guarded([&] { OpenFiles(Names); });
  });
  pOpBinary0 = new TOpBinary0(*pFileList, this);
  pOpXAxis = new TOpXAxis(*pFileList, this);
  pOpBinary2 = new TOpBinary2(*pFileList, this);
  pOpMultiple = new TOpMultiple(*pFileList, this);
  pSaveFiles = new TSaveFiles(*pFileList, this);
  pNewProfile = new TNewProfile(*pFileList, *pGlobalData, *pBaryCorr, this);
  pParamDialog = new TParamDialog(*pGlobalData, this);
  pFilters = new TFilters(*pFileList, this);
  pIndRefrAir = new TIndRefrAir(this);
  pOpUnary = new TOpUnary(*pFileList, this);
  pOpCrop = new TOpCrop(*pFileList, this);
  pOpResample = new TOpResample(*pFileList, this);
  pFitsEditor = new TFitsEditor(*pGlobalData, this);
  pPolRoot = new TPolRoot(this);
  pOpenSpecial = new TOpenSpecial(*pFileList, this);
  pOpAddZeros = new TOpAddZeros(*pFileList, this);
  pSaveFits = new TSaveFits(*pFileList, *pFitsEditor, this);
  pOpConcatenate = new TOpConcatenate(*pFileList, this);
  pAbout = new TAboutOrvalumetrix(this);
  pBaryCorrForm = new TBaryCorrForm(*pFileList, *pGlobalData, *pBaryCorr, std::make_unique<TQtHttpGet>(), this);
  pBaryCorrForm->SimbadEndpoint = [this] {
    return TSimbadEndpoint{pGlobalData->SimbadScheme(), pGlobalData->SimbadHost()};
  };
  pDispersionFunction = new TDispersionFunction(*pFileList, this);
  pNToolsFFT = new TNToolsFFT(*pFileList, this);
  pOpOperator = new TOpOperator(*pFileList, this);
  pOpBinary1 = new TOpBinary1(*pFileList, this);
  pNToolsEvaluate = new TNToolsEvaluate(*pFileList, this);
  pCheckSpectrum = new TOpCheckSpectrum(*pFileList, this);
}

void TMain::CreateMenus() {
  QMenuBar *Bar = menuBar();
  MenuFile = Bar->addMenu("File");
  MenuFile->addActions({ActionFileOpen, ActionOpenSpecial, ActionFileNew});
  MenuFile->addSeparator();
  MenuFile->addActions({ActionSaveFitsMain, ActionFileSaveMain});
  MenuFile->addSeparator();
  MenuFile->addAction(ActionFitsEditorMain);
  MenuFile->addSeparator();
  MenuFile->addAction(ActionFileExit);
  MenuITools = Bar->addMenu("i-Tools");
  MenuVaria = Bar->addMenu("Varia");
  MenuVaria->addActions({ActionVariaAir, ActionPolRoot});
  Bar->addAction(ActionShowParameters);
  MenuWindow = Bar->addMenu("Window");
  MenuWindow->addActions({ActionWindowClose, ActionWindowCloseAll, ActionWindowCascade,
                          ActionWindowTileHorizontal, ActionWindowTileVertical, ActionWindowMinimizeAll,
                          ActionWindowArrange});
  MenuWindow->addSeparator();
  MenuWindow->addAction(ActionShowFileList);
  // The open plot windows follow, listed afresh each time the menu opens.
  connect(MenuWindow, &QMenu::aboutToShow, this, [this] { Guarded([this] { UpdateWindowMenu(); }); });
  Bar->addAction(ActionAbout);

  MainToolBar->addAction(ActionFileOpen);
  MainToolBar->addAction(ActionShowFileList);
  MainToolBar->addSeparator();
  pToolHost->FillMenu(MenuITools);
  pToolHost->FillToolBar(MainToolBar);

  QMenuBar *FlBar = pFileList->menuBar();
  FileListMenuProfile = FlBar->addMenu("Profile");
  FileListMenuProfile->addActions({ActionShowProfile, ActionFileRename, ActionFileCloseSelected,
                                   ActionFileSave, ActionSaveFitsList, ActionMakeCopy, ActionFitsEditorList,
                                   ActionMeasuresXAxis, ActionShowText});
  FileListMenuNTools = FlBar->addMenu("n-Tools");
  FileListMenuNTools->addActions({ActionXCalibration, ActionOpResample, ActionXBaryCorr, ActionOpCrop, ActionOpAddZeros,
                                  ActionOpConcat, ActionNToolsFFT, ActionNToolsEvaluate,
                                  ActionOpCheckSpectrum});
  FileListMenuXOperators = FlBar->addMenu("&X-Operators");
  FileListMenuXOperators->addActions({ActionXVacAir, ActionXWlWn, ActionXWlVel});
  FileListMenuYOperators = FlBar->addMenu("&Y-Operators");
  FileListMenuYOperators->addActions({ActionOpUnary, ActionOpOperator, ActionOpBinary0, ActionOpBinary1,
                                      ActionOpBinary2, ActionOpMultiple, ActionOpFilters});
  QMenu *Ctx = pFileList->ContextMenu;
  Ctx->addActions({ActionShowProfile, ActionFileRename, ActionFileCloseSelected, ActionFileSave,
                   ActionSaveFitsList, ActionMakeCopy, ActionFitsEditorList, ActionMeasuresXAxis,
                   ActionShowText, ActionOpCheckSpectrum});
  Ctx->setDefaultAction(ActionShowProfile);
  pFileList->ToolBar->addAction(ActionFileCloseSelected);
}

int TMain::ChildWindowCount() const { return static_cast<int>(MdiArea->subWindowList().size()); }

void TMain::ActionList1Update() {
  if (!pFileList) return;
  const int c = ChildWindowCount();
  if (pFileList->isHidden() && c == 0 && isVisible()) pFileList->show();
  const int n = pFileList->CurrentlySelected();
  ActionShowFileList->setChecked(pFileList->isVisible());
  for (const TCommand &C : pCommands) {
    bool On = true;
    switch (C.Rule) {
    case TEnable::Always:
      break;
    case TEnable::AnySelected:
      On = n > 0;
      break;
    case TEnable::OneSelected:
      On = n == 1;
      break;
    case TEnable::TwoSelected:
      On = n == 2;
      break;
    case TEnable::SeveralSelected:
      On = n > 1;
      break;
    case TEnable::ChildWindows:
      On = c > 0;
      break;
    case TEnable::RenameRow: {
      const TSpec32 *S = n == 1 ? pFileList->SingleSelected() : nullptr;
      On = S && S->Unsaved();
      break;
    }
    }
    if (C.Action->isEnabled() != On) C.Action->setEnabled(On);
  }
  // A tool button is pressed while its tool window is visible.
  pToolHost->UpdateButtons();
  // Menus that later windows fill stay out of sight while empty.
  for (QMenu *M : {MenuITools, MenuVaria, FileListMenuNTools, FileListMenuXOperators, FileListMenuYOperators})
    if (M->menuAction()->isVisible() == M->isEmpty()) M->menuAction()->setVisible(!M->isEmpty());
}

TSpec32 &TMain::SingleSelectedSpec() {
  TListLock Lock(*pFileList);
  ORVA_ASSERT(pFileList->NSelected() == 1);
  return *pFileList->ISelected()[0];
}

TSpec32 &TMain::ActiveWindowSpec() {
  TSpec32 *S = pProfileHost->ActiveSpec();
  ORVA_ASSERT(S != nullptr);
  return *S;
}

void TMain::DoFileOpen() { pOpenSpecial->OpenPlain(); }

void TMain::DoOpenSpecial() { pOpenSpecial->Execute(); }

void TMain::DoFileSave() {
  int n = 0;
  TSpec32 *Only = nullptr;
  {
    TListLock Lock(*pFileList);
    n = pFileList->NSelected();
    if (n == 1) Only = pFileList->ISelected()[0];
  }
  if (Only)
    pSaveFiles->SaveSingleFile(*Only);
  else
    pSaveFiles->Execute();
}

void TMain::DoFileSaveMain() { pSaveFiles->SaveSingleFile(ActiveWindowSpec()); }
void TMain::DoSaveFitsList() { pSaveFits->Execute(SingleSelectedSpec()); }
void TMain::DoSaveFitsMain() { pSaveFits->Execute(ActiveWindowSpec()); }
void TMain::DoFitsEditorList() { pFitsEditor->Execute(SingleSelectedSpec()); }
void TMain::DoFitsEditorMain() { pFitsEditor->Execute(ActiveWindowSpec()); }

void TMain::DoFileCloseSelected() {
  if (pFileList->Locked()) return;
  // Closing frees the spectra: work that was never saved is asked for first.
  const int N = pFileList->CountSelectedUnsaved();
  if (N > 0) {
    const bool FromList = pFileList->isActiveWindow();
    const bool Close = Ui().YesNo("Close Selected", CloseUnsavedText(N), false);
    // A window manager hands the focus back to the main window when the question goes;
    // the keys the user types next are meant for the list.
    if (FromList && pFileList->isVisible()) pFileList->activateWindow();
    if (!Close) return;
  }
  pFileList->CloseSelected();
}

void TMain::UpdateWindowMenu() {
  ActionShowFileList->setChecked(pFileList->isVisible());
  for (QAction *A : pWindowEntries) {
    MenuWindow->removeAction(A);
    delete A;
  }
  pWindowEntries.clear();
  const QList<QMdiSubWindow *> L = MdiArea->subWindowList(QMdiArea::CreationOrder);
  if (L.isEmpty()) return;
  pWindowEntries.push_back(MenuWindow->addSeparator());
  QMdiSubWindow *Active = MdiArea->activeSubWindow();
  for (int i = 0; i < L.size(); ++i) {
    QString Caption = L[i]->windowTitle();
    // An "&" in a file name is not a mnemonic.
    Caption.replace("&", "&&");
    if (i < 9) Caption = QString("&%1 ").arg(i + 1) + Caption;
    auto *A = MenuWindow->addAction(Caption);
    A->setCheckable(true);
    A->setChecked(L[i] == Active);
    QPointer<QMdiSubWindow> W = L[i];
    connect(A, &QAction::triggered, this, [this, W] {
      if (!W) return;
      if (W->isMinimized()) W->showNormal();
      MdiArea->setActiveSubWindow(W);
    });
    pWindowEntries.push_back(A);
  }
}

void TMain::DoShowFileList() {
  pFileList->setVisible(!pFileList->isVisible());
  // Shown by the keyboard, the list takes the keys that follow (F2, Delete, the arrows).
  if (pFileList->isVisible()) {
    pFileList->raise();
    pFileList->activateWindow();
  }
  ActionShowFileList->setChecked(pFileList->isVisible());
}

void TMain::DoShowText() { TTextWindow::Execute(*pFileList, this); }
void TMain::DoShowParameters() { pParamDialog->Execute(); }
void TMain::DoCheckSpectrum() { pCheckSpectrum->Execute(); }
void TMain::DoAbout() { pAbout->Execute(); }

void TMain::DoWindowCloseAll() {
  const QList<QMdiSubWindow *> L = MdiArea->subWindowList(QMdiArea::CreationOrder);
  for (auto It = L.rbegin(); It != L.rend(); ++It)
    (*It)->close();
}

void TMain::ViewProfile() {
  TListLock Lock(*pFileList);
  pFileList->hide();
  const std::vector<TSpec32 *> Sel = pFileList->ISelected();
  for (auto It = Sel.rbegin(); It != Sel.rend(); ++It)
    ShowProfile(**It);
}

void TMain::ShowProfile(TSpec32 &Spec32) { pProfileHost->ShowProfile(Spec32, ProfileWidth(width()), 500); }

void TMain::OpenFiles(const std::vector<std::string> &Names) {
  if (!Names.empty()) pOpenSpecial->OpenAsPlainOpen(Names);
}

void TMain::TileWindows(bool Horizontal) {
  QList<QMdiSubWindow *> L;
  for (QMdiSubWindow *W : MdiArea->subWindowList())
    if (!W->isMinimized()) L << W;
  if (L.isEmpty()) return;
  const QRect R = MdiArea->viewport()->rect();
  const int N = static_cast<int>(L.size());
  for (int i = 0; i < N; ++i) {
    L[i]->showNormal();
    if (Horizontal)
      L[i]->setGeometry(0, R.height() * i / N, R.width(), R.height() / N);
    else
      L[i]->setGeometry(R.width() * i / N, 0, R.width() / N, R.height());
  }
}

void TMain::ArrangeIcons() {
  int X = 0;
  const int Bottom = MdiArea->viewport()->height();
  for (QMdiSubWindow *W : MdiArea->subWindowList())
    if (W->isMinimized()) {
      W->move(X, Bottom - W->height());
      X += W->width();
    }
}

bool TMain::FormCloseQuery() {
  const int N = pFileList->CountUnsaved();
  if (N == 0) return true;
  return Ui().AskCloseWithUnsaved(UnsavedText(N));
}

void TMain::FormClose() {
  if (pClosed) return;
  pClosed = true;
  pToolHost->HideActiveTool();
  pFileList->CloseAll();
  Guarded([this] { pGlobalData->WriteIniFile(); });
}

void TMain::closeEvent(QCloseEvent *E) {
  bool Quit = false;
  Guarded([&] { Quit = pClosed || FormCloseQuery(); });
  if (!Quit) {
    E->ignore();
    return;
  }
  FormClose();
  pFileList->hide();
  E->accept();
}

QPoint TMain::ToolBarAnchor() const { return MainToolBar->mapToGlobal(QPoint(0, MainToolBar->height())); }

void TMain::PlaceFileList() {
  const QPoint TopLeft = mapToGlobal(QPoint(0, 0));
  const QPoint Anchor = ToolBarAnchor();
  pFileList->move(TopLeft.x() + 10, Anchor.y() + 7);
  // The first tool panel opens just below the tool bar.
  pToolHost->SetLastToolPos(Anchor.y());
}

void TMain::showEvent(QShowEvent *E) {
  QMainWindow::showEvent(E);
  if (!pPlaced && windowHandle()) {
    pPlaced = true;
    // The show event comes before the main window is mapped. A tool window mapped before its
    // main window is not taken for the main window's own by a window manager, which then
    // stacks it below the main window for good; so the list follows the main window's first
    // exposure.
    windowHandle()->installEventFilter(this);
  }
}

bool TMain::eventFilter(QObject *Watched, QEvent *E) {
  if (E->type() == QEvent::Expose && Watched == windowHandle() && windowHandle()->isExposed()) {
    windowHandle()->removeEventFilter(this);
    QTimer::singleShot(0, this, [this] {
      if (pClosed) return;
      PlaceFileList();
      if (ChildWindowCount() == 0) pFileList->show();
      if (QWindow *L = pFileList->windowHandle()) L->installEventFilter(this);
    });
  } else if (E->type() == QEvent::Expose && pFileList && Watched == pFileList->windowHandle() &&
             pFileList->windowHandle()->isExposed()) {
    // Once framed, the list's frame is known and the placement exact (a position asked for
    // before depends on how the window manager reads it).
    Watched->removeEventFilter(this);
    QTimer::singleShot(0, this, [this] {
      if (!pClosed) PlaceFileList();
    });
  }
  return QMainWindow::eventFilter(Watched, E);
}

void TMain::dragEnterEvent(QDragEnterEvent *E) {
  if (E->mimeData()->hasUrls()) E->acceptProposedAction();
}

void TMain::dropEvent(QDropEvent *E) {
  std::vector<std::string> Names;
  for (const QUrl &U : E->mimeData()->urls())
    if (U.isLocalFile()) Names.push_back(U.toLocalFile().toStdString());
  E->acceptProposedAction();
  Guarded([&] { OpenFiles(Names); });
}
