#pragma once
// The plot windows as the main window and the file list reach them: one TProfile32 per shown
// spectrum, a child of the main window's window area.
#include <QObject>
#include <QPointer>
#include <map>
#include <memory>

#include "display/UProfile32.h"
#include "display/UProfileHost.h"

class QMdiArea;
class QMdiSubWindow;
class TSetMinMax;

class TProfileWindows : public QObject, public TProfileHost {
  Q_OBJECT
public:
  // Hooks go to every window this host creates; the host keeps a copy. A missing SetMinMax
  // dialog is supplied by the host.
  TProfileWindows(QMdiArea *Area, TProfileHooks Hooks);
  ~TProfileWindows() override;

  void ShowProfile(TSpec32 &Spec, int Width, int Height) override;
  void CloseProfile(TSpec32 &Spec) override;
  bool HasProfile(const TSpec32 &Spec) const override;
  void SetProfileCaption(TSpec32 &Spec, const std::string &Caption) override;
  TSpec32 *ActiveSpec() const override;

  TProfile32 *Profile(const TSpec32 &Spec) const;
  TProfile32 *ActiveProfile32() const;
  TProfileHooks &Hooks() { return pHooks; }
  TSetMinMax &SetMinMaxDialog() { return *pHooks.SetMinMax; }

private:
  void SubWindowActivated(QMdiSubWindow *W);

  QMdiArea *pArea;
  TProfileHooks pHooks;
  std::unique_ptr<TSetMinMax> pOwnSetMinMax;
  // The window and, for telling it apart while it is being destroyed (when it is no longer a
  // TProfile32 to look at), its address as a plain object.
  struct TEntry {
    QPointer<TProfile32> Window;
    const QObject *Object = nullptr;
  };
  std::map<const TSpec32 *, TEntry> pWindows;
};
