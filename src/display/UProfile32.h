#pragma once
// The plot window of one spectrum: the curve y(i) against the sample index, an x scale below
// and a y scale to the left, a cursor read-out, zooms, a rubber band and a selection of an
// index range that the tools consume. The picture is rendered into two images by FillBitmap;
// painting only copies them and adds the cursor line, the band and the selection frame.
#include <QImage>
#include <QMdiSubWindow>
#include <QPen>
#include <QPoint>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "core/USpecTypes.h"
#include "display/UOverlay.h"
#include "display/UPlotGeometry.h"
#include "display/UProfileContext.h"

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QRadioButton;
class QScrollBar;
class QStatusBar;
class QTimer;
class QToolButton;
class TProfile32;
class TSetMinMax;
class TSpec32;

// What a plot window needs from the main window and the file list. The owner of the windows
// fills it once; every member may be left empty.
struct TProfileHooks {
  // True while activation must be ignored: the file list is empty or is closing rows.
  std::function<bool()> IgnoreActivation;
  // The main window's active plot window.
  std::function<TProfile32 *()> ActiveProfile;
  std::function<void(TProfile32 *)> SetActiveProfile;
  // The shown tool, if any, connects to or disconnects from a window.
  std::function<void(TProfile32 &)> ConnectTool;
  std::function<void(TProfile32 &)> DisconnectTool;
  // The file list selects this spectrum's row and no other.
  std::function<void(const TSpec32 &)> SelectInList;
  // The tool letters C, D, F, H, N, P, R, S, T (show that tool) and X (hide the active tool),
  // always upper case.
  std::function<void(char)> ToolLetter;
  // The dispersion tool's "Save Position" and "Save Wavelength", when it is the active tool.
  std::function<void()> SavePos;
  std::function<void()> SaveWL;
  // The main window's commands in the context menu: save as FITS, save as DAT, FITS editor.
  QAction *SaveFits = nullptr;
  QAction *SaveDat = nullptr;
  QAction *FitsEditor = nullptr;
  // The program's one Set Y-Min/Y-Max dialog; a window without it makes its own.
  TSetMinMax *SetMinMax = nullptr;
};

// The tool letter of a key as plot and tool windows take it: C D F H N P R S T (show that tool)
// and X (hide the active tool), upper case whatever the Shift state; '\0' for any other key.
char ToolLetterOfKey(int Key);

// Exact sets of pressed buttons and modifier keys, as the mouse handlers compare them.
enum TShiftFlag : unsigned {
  ssShift = 1,
  ssAlt = 2,
  ssCtrl = 4,
  ssLeft = 8,
  ssRight = 16,
  ssMiddle = 32,
};
using TShiftState = unsigned;

class TProfile32 : public QMdiSubWindow {
  Q_OBJECT
public:
  explicit TProfile32(const TProfileHooks *Hooks = nullptr, QWidget *Parent = nullptr);
  ~TProfile32() override;

  TSpec32 *Spec32() const { return pSpec32; }
  void SetSpec32(TSpec32 *S) { pSpec32 = S; }
  // The owner of the hooks is going away: the window stops calling them.
  void DetachHooks() { pHooks = nullptr; }

  // First set-up after the spectrum was set: caption, client size, y range, zoom, picture.
  void Define(int WinWidth, int WinHeight);
  // Lays out and renders both images, then asks for a repaint.
  void FillBitmap();
  // Curves indexed like the spectrum, drawn into the plot image with the window's mapping and
  // line style (used by the overlays).
  // Extremes, when given, are the block extremes of Curve.
  void DrawCurve(int32_t NCurve, const TDblArr1D &Curve, const QPen &Pen,
                 const TBlockExtremes *Extremes = nullptr);
  void DrawCurveB(int32_t NCurve, const TDblArr1D &Curve, const QPen &NPen, const QPen &SPen,
                  const std::vector<bool> &SCurve);

  void SelectAll();
  void SelectRange(int32_t FromInd, int32_t ToInd);
  void ClearSelection();
  void HideSelection();

  int32_t IndToScr(int64_t i) const { return Mapping().IndToScr(i); }
  int32_t ScrToInd(int64_t x) const { return Mapping().ScrToInd(x); }
  int32_t VToScreen(double y) const { return Mapping().VToScreen(y); }
  double ScreenToV(double k) const { return Mapping().ScreenToV(k); }
  TPlotMapping Mapping() const { return {pHZoom, pPlotMax, pSlope, pPlotH}; }

  // Commands; each redraws.
  void HZoomIn();
  void HZoomOut();
  void HZoomFit();
  void EdHZoomEnter();
  void VZoomIn();
  void VZoomOut();
  void MoveUp();
  void MoveDown();
  void VZoomFit();
  void SetMinMax();
  void SetHorLine();
  void MoveHome();
  void MoveEnd();
  void MoveCenter();
  // The zoom change shared by the horizontal commands: the sample at the centre of the visible
  // part stays there.
  void SetHZoomCentred(double Z);
  void SetHZoom(double Z);
  void SetPlotRange(double PlotMin, double PlotMax);

  // The mouse on the plot, in plot-image coordinates.
  void PlotMouseDown(QPoint P, TShiftState Shift);
  void PlotMouseMove(QPoint P, TShiftState Shift);
  void PlotMouseUp(QPoint P, TShiftState Shift);
  // A key reaching the window before its controls; true when it was taken.
  bool FormKeyDown(int Key, Qt::KeyboardModifiers Mods);
  // Activation by the window area.
  void FormActivate();
  // The one-shot redraw after resizing.
  void Timer1Timer();
  // The picture on screen (plot, scales and transient marks), as the user sees it.
  QImage Snapshot();

  // Selection events for the connected tool.
  std::function<void(TProfile32 &)> eOnSelect;
  std::function<void(TProfile32 &)> eOnNoSelection;

  // The window's tool context: selection, overlay list and the tools' per-window data. It dies
  // with the window; closing the window frees the tools' data first, then the overlays.
  TProfileContext &Context() { return *pContext; }
  TOverlay &Overlay() { return pContext->Overlay(); }
  const QImage &Bmp() const { return pBmp; }
  const QImage &BmpY() const { return pBmpY; }
  bool FormDefined() const { return pFormDefined; }
  bool BmpOK() const { return pBmpOK; }
  double HZoom() const { return pHZoom; }
  double PlotMin() const { return pPlotMin; }
  double PlotMax() const { return pPlotMax; }
  int32_t PlotW() const { return pPlotW; }
  int32_t PlotH() const { return pPlotH; }
  int32_t PlotN() const { return pPlotN; }
  int32_t GraphHeight() const { return pGraphHeight; }
  // The plot image's offset on the scrolling surface.
  int32_t BorderL() const { return pBorderL; }
  int32_t BorderT() const { return pBorderT; }
  int32_t SelInd0() const { return pContext->Selection().Ind0; }
  int32_t SelInd1() const { return pContext->Selection().Ind1; }
  bool DrawSelection() const { return pContext->Selection().Shown; }
  bool DrawCursor() const { return pDrawCursor; }
  bool DrawVZoom() const { return pDrawVZoom; }
  double LastYValue() const { return pLastYValue; }
  // Width of the visible part of the plot surface, and the scroll position and range.
  int VisibleWidth() const;
  int ScrollPos() const;
  int ScrollRange() const;
  void SetScrollPos(int V);
  // The usable width for the fit zoom: the scroll area less the margins.
  int ZoomWidth() const { return VisibleWidth() - pBorderL - pBorderR; }
  // The smallest client area that keeps the controls whole and a plot of 200 x 120 pixels.
  QSize MinimumClientSize() const;
  // Below one pixel per sample each pixel column is drawn once; off only for comparisons.
  void SetDecimation(bool On) { pDecimation = On; }

  QLabel *LaIndex;
  QLabel *LaX;
  QLabel *LaY;
  QLineEdit *EdHZoom;
  QToolButton *BuHZoomIn;
  QToolButton *BuHZoomOut;
  QToolButton *BuHZoomFit;
  QGroupBox *GbVZoom;
  QGroupBox *RgLineStyle;
  QRadioButton *RbLines;
  QRadioButton *RbBoxes;
  QCheckBox *CbHorLine;
  QLineEdit *EdHorLine;
  QWidget *Top;
  QStatusBar *StatusBar;
  QLabel *StatusPanel[4];
  QTimer *Timer1;
  QMenu *PopupMenu;
  QWidget *PlotSurface;
  QWidget *YScaleView;
  QScrollBar *ScrollBar;

  QAction *ActionHZoomIn;
  QAction *ActionHZoomOut;
  QAction *ActionHZoomFit;
  QAction *ActionVZoomIn;
  QAction *ActionVZoomOut;
  QAction *ActionMoveUp;
  QAction *ActionMoveDown;
  QAction *ActionVZoomFit;
  QAction *ActionSetMinMax;
  QAction *ActionMoveHome;
  QAction *ActionMoveEnd;
  QAction *ActionMoveCenter;
  QAction *ActionSelectAll;
  QAction *ActionClearSelection;
  QAction *ActionToolsSetHorLine;
  QAction *ActionToolsSavePos;
  QAction *ActionToolsSaveWL;

  // The images as the surface and the y-scale view paint them.
  void PaintPlot(QPainter &P);
  void PaintYScale(QPainter &P);
  void SurfaceResized();

protected:
  void closeEvent(QCloseEvent *E) override;
  void resizeEvent(QResizeEvent *E) override;
  void showEvent(QShowEvent *E) override;
  bool eventFilter(QObject *Obj, QEvent *E) override;

private:
  void CreateControls();
  void CreateActions();
  QAction *Command(const char *Caption, const QKeySequence &Key, const char *Hint,
                   void (TProfile32::*Slot)());
  void FormClose();
  void Layout();
  void DrawPlotArea();
  void DrawXScale();
  void DrawYScale();
  void DrawPolyline(const std::vector<TPixelPoint> &V, size_t From, size_t To, const QPen &Pen);
  // The stretches without NaN of a curve of NCurve values.
  const std::vector<TSampleRun> &CurveRuns(int32_t NCurve, const TDblArr1D &Curve);
  // Fits the y range to the spectrum's finite values; returns what it found.
  TYExtent FitYRange();
  // Takes a y range from a command, unless it is one the window cannot map.
  bool TrySetPlotRange(double PlotMin, double PlotMax);
  void SetStatusPanel(int i, const std::string &Text, bool Fit);
  void UpdateScrollBar();
  void FireSelect();
  void FireNoSelection();
  void ApplyRubberBand();
  bool IsActiveChild() const;
  void InstallKeyPreview(QWidget *W);

  const TProfileHooks *pHooks;
  std::unique_ptr<TSetMinMax> pOwnSetMinMax;
  TSpec32 *pSpec32 = nullptr;
  bool pFormDefined = false;
  bool pClosed = false;
  QImage pBmp;
  QImage pBmpY;
  std::unique_ptr<TProfileContext> pContext;
  bool pBmpOK = false;
  int32_t pGraphHeight = 0;
  double pHZoom = 1;
  int32_t pBorderL = 0;
  int32_t pBorderR = 10;
  int32_t pBorderT = 4;
  int32_t pBorderB = 2;
  int32_t pScaleH = 20;
  int32_t pPlotW = 0;
  int32_t pPlotH = 0;
  QRect pCurveRect;
  QRect pXScaleRect;
  double pPlotMin = 0;
  double pPlotMax = 1;
  double pSlope = -1;
  int32_t pPlotN = 0;
  const TDblArr1D *pDataX = nullptr;
  const TDblArr1D *pDataY = nullptr;
  QColor pBrushBG;
  QColor pBrushScale;
  QPen pPenBG;
  QPen pPenZeroline;
  QPen pPenHorLine;
  QPen pPenCurve;
  QPen pPenCursor;
  QPen pPenSelection;
  QFont pFont;
  QPoint pMouseDown;
  QPoint pMouseMove;
  QPoint pMouseUp;
  bool pDrawCursor = false;
  bool pDrawVZoom = false;
  bool pStartSelection = false;
  double pLastYValue = 0;
  int32_t pVZoomX0 = 0;
  int32_t pVZoomY0 = 0;
  int32_t pVZoomX1 = 0;
  int32_t pVZoomY1 = 0;
  bool pDecimation = true;
  std::vector<TPixelPoint> pVertices;
  // Block extremes of the spectrum's y, rebuilt when its data change (a new array, size or
  // version): at zooms below one pixel per sample a redraw then costs the pixels, not the samples.
  TBlockExtremes pExtremes;
  // The stretches without NaN of the spectrum's y (kept like the extremes), and of other curves.
  TSampleRuns pRuns;
  std::vector<TSampleRun> pCurveRuns;
  std::vector<QPoint> pPoints;
};
