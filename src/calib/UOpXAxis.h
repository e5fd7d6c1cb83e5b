#pragma once
// "X-Axis Operators": converts the x-axis of each selected spectrum into a new spectrum, on
// three pages: vacuum and air wavelengths, wavelength and wavenumber, wavelength to km/s.
#include "ops/UOpTemplate.h"

class QLineEdit;
class QTabWidget;
class TRadioGroup;

class TOpXAxis : public TOpTemplate {
  Q_OBJECT
public:
  explicit TOpXAxis(TSpecList &FileList, QWidget *Parent = nullptr);

  enum TPage { PageVacAir = 0, PageWavenumber = 1, PageVelocity = 2 };
  // The dialog on one of its pages (the commands "Vacuum <-> Air...",
  // "Wavelength <-> Wavenumber...", "Wavelength -> km/s..." open pages 0, 1, 2).
  void ExecutePage(int Page);

  QTabWidget *PcXAxis;
  // "Vacuum Wavelength [Å] --> Air Wavelength [Å]", "Air Wavelength [Å] --> Vacuum Wavelength [Å]".
  TRadioGroup *RgVacAir;
  QLineEdit *EdWLCenter;

protected:
  void Apply() override;
};
