#pragma once
// What the file list and the main window need from the plot windows: show one for a spectrum,
// close it before the spectrum is freed, follow a rename, and tell which one is active.
// The main window owns one host; until the plot window exists it shows empty stand-in windows.
#include <QPointer>
#include <map>
#include <string>

class QMdiArea;
class QMdiSubWindow;
class TSpec32;

class TProfileHost {
public:
  virtual ~TProfileHost() = default;
  // Creates the spectrum's window (Width x Height) when it has none, then shows it and brings
  // it to the front.
  virtual void ShowProfile(TSpec32 &Spec, int Width, int Height) = 0;
  // Closes the spectrum's window if it has one; the spectrum is freed right after.
  virtual void CloseProfile(TSpec32 &Spec) = 0;
  virtual bool HasProfile(const TSpec32 &Spec) const = 0;
  virtual void SetProfileCaption(TSpec32 &Spec, const std::string &Caption) = 0;
  // The spectrum of the active child window when that is a plot window, else nullptr.
  virtual TSpec32 *ActiveSpec() const = 0;
};

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
