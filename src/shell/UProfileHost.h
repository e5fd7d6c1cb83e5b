#pragma once
// The stand-in plot-window host the main window starts with, until it installs the real plot
// windows (TProfileWindows).
#include <QPointer>
#include <map>
#include <string>

#include "display/UProfileHost.h"

class QMdiArea;
class QMdiSubWindow;
class TSpec32;

// Empty child windows captioned with the spectrum's name.
class TPlaceholderProfiles : public TProfileHost {
public:
  explicit TPlaceholderProfiles(QMdiArea *Area) : pArea(Area) {}
  void ShowProfile(TSpec32 &Spec, int Width, int Height) override;
  void CloseProfile(TSpec32 &Spec) override;
  bool HasProfile(const TSpec32 &Spec) const override;
  void SetProfileCaption(TSpec32 &Spec, const std::string &Caption) override;
  TSpec32 *ActiveSpec() const override;
  QMdiSubWindow *Window(const TSpec32 &Spec) const;

private:
  QMdiArea *pArea;
  std::map<const TSpec32 *, QPointer<QMdiSubWindow>> pWindows;
};
