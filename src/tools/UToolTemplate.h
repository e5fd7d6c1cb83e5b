#pragma once
// The base of every interactive tool: a small panel that stays on top of the main window and
// works on the spectrum of the current plot window. It follows the active plot window and keeps
// separate data for every window it has met. That data lives in the window's context (one slot
// per tool), so List2[k] is List1[k]'s slot for this tool and everything dies with its window.
//
// Hook order as the tools rely on it:
//   Connect(W) of a window met for the first time: StoreLocalData (outgoing window), W becomes
//     current, CreateLocalData;
//   Connect(W) of a known window other than the current: StoreLocalData (outgoing),
//     RetreiveLocalData (incoming);
//   Connect(current window): nothing but the status text.
#include <QWidget>
#include <cstdint>
#include <memory>
#include <vector>

#include "display/UProfileContext.h"

class QStatusBar;
class QLabel;
class QVBoxLayout;
class TOverlay;
class TProfile32;
class TSpec32;
class TToolHost;

class TToolTemplate : public QWidget {
  Q_OBJECT
public:
  // The panel starts hidden, with no window connected.
  TToolTemplate(TToolHost &Host, const QString &Caption, QWidget *Parent = nullptr);
  ~TToolTemplate() override;

  // Called by plot windows (activation, definition, closing) and by the framework.
  virtual void Connect(TProfile32 &Window);
  virtual void Disconnect(TProfile32 &Window);
  // Places the panel at the right edge of the main window's client area below the last one
  // shown, connects every open plot window and shows the panel.
  virtual void Show();
  // Frees the data of every connected window, clears their overlays and hides the panel.
  virtual void Hide();

  int32_t GetCount() const { return static_cast<int32_t>(pList1.size()); }
  // The data of the current window (none when there is no current window).
  TLocalData *GetLocalData() const;
  template <class T> T *LocalDataAs() const { return dynamic_cast<T *>(GetLocalData()); }
  // Stores Obj for the current window; without a current window Obj is freed.
  void SetLocalData(std::unique_ptr<TLocalData> Obj);

  // The connected windows and, parallel to them, this tool's data for each (none when empty).
  const std::vector<TProfile32 *> &List1() const { return pList1; }
  TLocalData *List2(int32_t k) const;

  int32_t ActIndex() const { return pActIndex; }
  TSpec32 *Spec32() const { return pSpec32; }
  TProfile32 *Profile32() const { return pProfile32; }
  TOverlay *Overlay() const { return pOverlay; }
  TToolId ToolId() const { return pToolId; }
  TToolHost &Host() const { return pHost; }
  // The status bar's text (the current spectrum's file name).
  QString StatusText() const;

  QStatusBar *StatusBar;
  QLabel *StatusPanel;

protected:
  // The tool's own per-window data (see the hook order above).
  virtual void CreateLocalData() = 0;
  virtual void StoreLocalData() = 0;
  virtual void RetreiveLocalData() = 0;

  // Where a tool puts its controls (above the status bar).
  QVBoxLayout *Body() const { return pBody; }
  // Clears every connected window's overlay list and redraws those that had any.
  void ClearOverlays();

  void closeEvent(QCloseEvent *E) override;
  void showEvent(QShowEvent *E) override;
  bool eventFilter(QObject *Obj, QEvent *E) override;

  int32_t pActIndex = -1;
  TSpec32 *pSpec32 = nullptr;
  TProfile32 *pProfile32 = nullptr;
  TOverlay *pOverlay = nullptr;

private:
  void InstallKeyPreview();
  // The tool letters C D F H N P R S T (show that tool) and X (hide this one).
  bool FormKeyDown(int Key, Qt::KeyboardModifiers Mods);

  TToolHost &pHost;
  TToolId pToolId;
  std::vector<TProfile32 *> pList1;
  QVBoxLayout *pBody;
  bool pHiding = false;
};
