#define ORVA_UNIT "UIndRefrAir"
#include "calib/UIndRefrAir.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <initializer_list>
#include <string>

#include "Units/UCiddor.h"
#include "calib/UIndRefrAirCore.h"
#include "core/UFormat.h"
#include "gui/UDialogButtons.h"
#include "gui/UUiServices.h"

namespace {

double Read(const QLineEdit *Ed) { return StrToFloat(Ed->text().toStdString()); }

} // namespace

TIndRefrAir::TIndRefrAir(QWidget *Parent) : QDialog(Parent) {
  setWindowTitle("Air/Vacuum Wavelength");
  auto *V = new QVBoxLayout(this);

  auto *Upper = new QGroupBox(this);
  auto *G = new QGridLayout(Upper);
  auto Field = [&](int Row, const char *Label, const char *Default) {
    auto *E = new QLineEdit(Default, Upper);
    G->addWidget(new QLabel(QString::fromUtf8(Label), Upper), Row, 0);
    G->addWidget(E, Row, 1);
    return E;
  };
  EdWLVac = Field(0, "Vacuum Wavelength [Å]", "6330.0");
  EdAirTemp = Field(1, "Air Temperature [°C]", "15.0");
  EdAtmPress = Field(2, "Atmospheric Pressure [hPa]", "1013.25");
  EdRelHum = Field(3, "Relative Air Humidity [%]", "50.0");
  EdCO2 = Field(4, "Carbon Dioxide Content [ppm]", "450.0");
  EdIndex = Field(5, "Index of Refraction of Air", "");
  EdIndex->setReadOnly(true);
  EdWLAmb = Field(6, "Air Wavelength [Å]", "");
  auto *UpperButtons = new QHBoxLayout;
  BuCiddorToAir = new QPushButton("-->", Upper);
  BuCiddorToVac = new QPushButton("<--", Upper);
  UpperButtons->addWidget(BuCiddorToAir);
  UpperButtons->addWidget(BuCiddorToVac);
  G->addLayout(UpperButtons, 7, 1);
  G->addWidget(new QLabel("Ciddor, P.E., 1996, Applied Optics, 35, 1566", Upper), 8, 0, 1, 2);
  V->addWidget(Upper);

  auto *Lower = new QGroupBox(this);
  auto *L = new QGridLayout(Lower);
  L->addWidget(new QLabel(QString::fromUtf8("Air Temperature = 15°C"), Lower), 0, 0, 1, 2);
  L->addWidget(new QLabel("Atmospheric Pressure = 1013.25 hPa", Lower), 1, 0, 1, 2);
  EdWLVacEdlen = new QLineEdit(Lower);
  EdWLAirEdlen = new QLineEdit(Lower);
  L->addWidget(new QLabel(QString::fromUtf8("Vacuum Wavelength [Å]"), Lower), 2, 0);
  L->addWidget(EdWLVacEdlen, 2, 1);
  L->addWidget(new QLabel(QString::fromUtf8("Air Wavelength [Å]"), Lower), 3, 0);
  L->addWidget(EdWLAirEdlen, 3, 1);
  auto *LowerButtons = new QHBoxLayout;
  BuEdlenToAir = new QPushButton("-->", Lower);
  BuEdlenToVac = new QPushButton("<--", Lower);
  LowerButtons->addWidget(BuEdlenToAir);
  LowerButtons->addWidget(BuEdlenToVac);
  L->addLayout(LowerButtons, 4, 1);
  L->addWidget(new QLabel(QString::fromUtf8("Edlén, B., 1966, Metrologia, 2, 71"), Lower), 5, 0, 1, 2);
  V->addWidget(Lower);

  BuClose = new QPushButton("Close", this);
  V->addLayout(ButtonRow({BuClose}));

  connect(BuCiddorToAir, &QPushButton::clicked, this, &TIndRefrAir::BuCiddorToAirClick);
  connect(BuCiddorToVac, &QPushButton::clicked, this, &TIndRefrAir::BuCiddorToVacClick);
  connect(BuEdlenToAir, &QPushButton::clicked, this, &TIndRefrAir::BuEdlenToAirClick);
  connect(BuEdlenToVac, &QPushButton::clicked, this, &TIndRefrAir::BuEdlenToVacClick);
  connect(BuClose, &QPushButton::clicked, this, &TIndRefrAir::BuCloseClick);
  connect(EdWLVac, &QLineEdit::textChanged, this, [this] { Cleared({EdWLAmb, EdIndex}); });
  connect(EdWLAmb, &QLineEdit::textChanged, this, [this] { Cleared({EdWLVac, EdIndex}); });
  connect(EdWLVacEdlen, &QLineEdit::textChanged, this, [this] { Cleared({EdWLAirEdlen}); });
  connect(EdWLAirEdlen, &QLineEdit::textChanged, this, [this] { Cleared({EdWLVacEdlen}); });
}

void TIndRefrAir::Execute() { Ui().ShowModal(*this); }

void TIndRefrAir::Cleared(std::initializer_list<QLineEdit *> Fields) {
  if (pNotClear) return;
  pNotClear = true;
  for (QLineEdit *E : Fields)
    E->clear();
  pNotClear = false;
}

void TIndRefrAir::Show(QLineEdit *Field, const std::string &Text) {
  pNotClear = true;
  Field->setText(QString::fromStdString(Text));
  pNotClear = false;
}

void TIndRefrAir::BuCiddorToAirClick() {
  Guarded([this] {
    const double Lambda = Read(EdWLVac);
    const TAirConditions C = AirConditionsHPa(Read(EdAirTemp), Read(EdAtmPress), Read(EdRelHum), Read(EdCO2));
    const TAirResult R = CiddorVacToAir(Lambda, C);
    Show(EdIndex, FormatAirIndex(R.Index));
    Show(EdWLAmb, FormatAirWavelength(R.Wavelength));
  });
}

void TIndRefrAir::BuCiddorToVacClick() {
  Guarded([this] {
    const double Lambda = Read(EdWLAmb);
    const TAirConditions C = AirConditionsHPa(Read(EdAirTemp), Read(EdAtmPress), Read(EdRelHum), Read(EdCO2));
    const TAirResult R = CiddorAirToVac(Lambda, C);
    Show(EdIndex, FormatAirIndex(R.Index));
    Show(EdWLVac, FormatAirWavelength(R.Wavelength));
  });
}

void TIndRefrAir::BuEdlenToAirClick() {
  Guarded([this] { Show(EdWLAirEdlen, FormatAirWavelength(VacToAirEdlen(Read(EdWLVacEdlen)))); });
}

void TIndRefrAir::BuEdlenToVacClick() {
  Guarded([this] { Show(EdWLVacEdlen, FormatAirWavelength(AirToVacEdlen(Read(EdWLAirEdlen)))); });
}

void TIndRefrAir::BuCloseClick() { accept(); }
