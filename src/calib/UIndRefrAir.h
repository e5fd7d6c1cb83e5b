#pragma once
// "Air/Vacuum Wavelength": a calculator of the refractive index of air and of air and vacuum
// wavelengths, in moist air of given conditions (upper part) and in standard air (lower part).
// It works on no spectrum.
#include <QDialog>
#include <initializer_list>
#include <string>

class QLineEdit;
class QPushButton;

class TIndRefrAir : public QDialog {
  Q_OBJECT
public:
  explicit TIndRefrAir(QWidget *Parent = nullptr);

  // Shows the dialog modally; the fields keep their values between showings.
  void Execute();

  // The buttons. A field that does not hold a number is reported and nothing is written.
  void BuCiddorToAirClick(); // "-->": vacuum to air with the conditions
  void BuCiddorToVacClick(); // "<--": air to vacuum with the conditions
  void BuEdlenToAirClick();  // "-->" of standard air
  void BuEdlenToVacClick();  // "<--" of standard air
  void BuCloseClick();

  QLineEdit *EdWLVac;
  QLineEdit *EdAirTemp;
  QLineEdit *EdAtmPress;
  QLineEdit *EdRelHum;
  QLineEdit *EdCO2;
  QLineEdit *EdIndex;
  QLineEdit *EdWLAmb;
  QLineEdit *EdWLVacEdlen;
  QLineEdit *EdWLAirEdlen;
  QPushButton *BuCiddorToAir;
  QPushButton *BuCiddorToVac;
  QPushButton *BuEdlenToAir;
  QPushButton *BuEdlenToVac;
  QPushButton *BuClose;

private:
  // Typing in a wavelength field clears the fields computed from the other one; the dialog's
  // own writes (pNotClear set) clear nothing.
  void Cleared(std::initializer_list<QLineEdit *> Fields);
  void Show(QLineEdit *Field, const std::string &Text);
  bool pNotClear = false;
};
