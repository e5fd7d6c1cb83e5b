#pragma once
// What the file list and the main window need from the plot windows: show one for a spectrum,
// close it before the spectrum is freed, follow a rename, and tell which one is active.
// The main window owns one host (the plot windows, or the stand-ins of shell/UProfileHost.h).
#include <string>

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
