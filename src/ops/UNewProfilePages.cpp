#define ORVA_UNIT "UNewProfilePages"
#include "ops/UNewProfilePages.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "core/UFormat.h"
#include "ops/UOpListing.h"

namespace {

// A labelled edit field with its default text and, when given, its unit behind it.
QLineEdit *Field(QWidget *Page, QFormLayout *Form, const QString &Label, const char *Default,
                 const QString &Unit = QString()) {
  auto *Ed = new QLineEdit(QString::fromUtf8(Default), Page);
  if (Unit.isEmpty()) {
    Form->addRow(Label, Ed);
  } else {
    auto *Row = new QHBoxLayout;
    Row->addWidget(Ed);
    Row->addWidget(new QLabel(Unit, Page));
    Form->addRow(Label, Row);
  }
  return Ed;
}

double Num(const QLineEdit *Ed) { return StrToFloat(Ed->text().toStdString()); }
int32_t Int(const QLineEdit *Ed) { return StrToInt(Ed->text().toStdString()); }

} // namespace

TNewProfileGaussPage::TNewProfileGaussPage(QWidget *Parent) : QWidget(Parent) {
  auto *F = new QFormLayout(this);
  EdPoints = Field(this, F, "Number of points", "1536");
  EdFromX = Field(this, F, "From X", "0");
  EdToX = Field(this, F, "To X", "1535");
  EdAmpl = Field(this, F, "Amplitude", "1.0");
  EdPosX = Field(this, F, "Position", "768");
  EdSD = Field(this, F, "Standard Deviation", "5.0");
  EdBias = Field(this, F, "Base Line", "0.0");
  EdSlope = Field(this, F, "Slope", "0.0");
  EdNoise = Field(this, F, "Noise", "0.0");
  EdVoigt = Field(this, F, "Voigt a", "0.0");
}

TGaussParams TNewProfileGaussPage::Params() const {
  TGaussParams P;
  P.Points = Int(EdPoints);
  P.FromX = Num(EdFromX);
  P.ToX = Num(EdToX);
  P.Ampl = Num(EdAmpl);
  P.PosX = Num(EdPosX);
  P.SD = Num(EdSD);
  P.Bias = Num(EdBias);
  P.Slope = Num(EdSlope);
  P.Noise = Num(EdNoise);
  P.VoigtA = Num(EdVoigt);
  return P;
}

TNewProfilePlanckPage::TNewProfilePlanckPage(QWidget *Parent) : QWidget(Parent) {
  auto *V = new QVBoxLayout(this);
  auto *F = new QFormLayout;
  const QString A = QString::fromUtf8("Å");
  EdPlFrom = Field(this, F, "From", "4000", A);
  EdPlTo = Field(this, F, "To", "8000", A);
  EdPlStep = Field(this, F, "Step", "5", A);
  EdPlTemp = Field(this, F, "Temperature", "6000", "K");
  V->addLayout(F);
  RgScaling = new TRadioGroup(
      "Scaling", {"Mean radiance = 1 in wavelength interval", QString::fromUtf8("W m-2 sr-1 Å-1")}, 0, this);
  V->addWidget(RgScaling);
  V->addStretch();
}

TPlanckParams TNewProfilePlanckPage::Params() const {
  TPlanckParams P;
  P.From = Num(EdPlFrom);
  P.To = Num(EdPlTo);
  P.Step = Num(EdPlStep);
  P.Temp = Num(EdPlTemp);
  P.Scaling = RgScaling->ItemIndex() == 1 ? TPlanckScaling::Radiance : TPlanckScaling::MeanOne;
  return P;
}

TNewProfileAtmospherePage::TNewProfileAtmospherePage(QWidget *Parent) : QWidget(Parent) {
  auto *V = new QVBoxLayout(this);
  auto *F = new QFormLayout;
  const QString A = QString::fromUtf8("Å");
  EdAOD = Field(this, F, "AOD", "0.13");
  EdFrom = Field(this, F, "From", "4000", A);
  EdTo = Field(this, F, "To", "8000", A);
  EdStep = Field(this, F, "Step", "5", A);
  EdHeight = Field(this, F, "h", "0.2", "km");
  V->addLayout(F);
  RgMode = new TRadioGroup("Extinction", {"Rayleigh", "Ozone", "Aerosols"}, 0, this);
  V->addWidget(RgMode);
  V->addStretch();
}

TAtmosphereParams TNewProfileAtmospherePage::Params() const {
  TAtmosphereParams P;
  P.AOD = Num(EdAOD);
  P.From = Num(EdFrom);
  P.To = Num(EdTo);
  P.Step = Num(EdStep);
  P.Height = Num(EdHeight);
  switch (RgMode->ItemIndex()) {
  case 1:
    P.Mode = TAtmosphereMode::Ozone;
    break;
  case 2:
    P.Mode = TAtmosphereMode::Aerosols;
    break;
  default:
    P.Mode = TAtmosphereMode::Rayleigh;
  }
  return P;
}

TNewProfileRVPage::TNewProfileRVPage(QWidget *Parent) : QWidget(Parent) {
  auto *V = new QVBoxLayout(this);
  V->addWidget(new QLabel("Start UTC", this));
  auto *G = new QGridLayout;
  QLineEdit **Fields[] = {&EdYear, &EdMonth, &EdDay, &EdHour, &EdMinute, &EdSecond};
  const char *Names[] = {"Year", "Month", "Day", "Hour", "Minute", "Second"};
  for (int i = 0; i < 6; ++i) {
    *Fields[i] = new QLineEdit(this);
    G->addWidget(new QLabel(Names[i], this), 0, i);
    G->addWidget(*Fields[i], 1, i);
  }
  V->addLayout(G);
  auto *F = new QFormLayout;
  EdRa = Field(this, F, "RA [h m s]", "14 15 39.6720");
  EdDe = Field(this, F, "Dec [d m s]", "+19 10 56.677");
  EdInterval = Field(this, F, "Interval [d]", "1.0");
  EdPoints1 = Field(this, F, "Number of points", "1000");
  V->addLayout(F);
  V->addStretch();
}

TRVParams TNewProfileRVPage::Params() const {
  TRVParams P;
  P.Start.Year = Int(EdYear);
  P.Start.Month = Int(EdMonth);
  P.Start.Day = Int(EdDay);
  P.Start.Hour = Int(EdHour);
  P.Start.Minute = Int(EdMinute);
  P.Start.Second = Int(EdSecond);
  P.RaText = EdRa->text().toStdString();
  P.DeText = EdDe->text().toStdString();
  P.Interval = Num(EdInterval);
  P.Points = Int(EdPoints1);
  return P;
}

TNewProfileSinPage::TNewProfileSinPage(QWidget *Parent) : QWidget(Parent) {
  auto *F = new QFormLayout(this);
  EdSinPoints = Field(this, F, "Number of points", "1024");
  EdSinPer1 = Field(this, F, "# Periods 1", "1");
  EdSinAmpl1 = Field(this, F, "Amplitude 1", "1");
  EdSinPhase1 = Field(this, F, "Phase 1 [deg]", "0");
  EdSinPer2 = Field(this, F, "# Periods 2", "2");
  EdSinAmpl2 = Field(this, F, "Amplitude 2", "0");
  EdSinPhase2 = Field(this, F, "Phase 2 [deg]", "0");
  EdSinNoise = Field(this, F, "Noise", "0");
}

TSinParams TNewProfileSinPage::Params() const {
  TSinParams P;
  P.Points = Int(EdSinPoints);
  P.Per1 = Num(EdSinPer1);
  P.Ampl1 = Num(EdSinAmpl1);
  P.Phase1 = Num(EdSinPhase1);
  P.Per2 = Num(EdSinPer2);
  P.Ampl2 = Num(EdSinAmpl2);
  P.Phase2 = Num(EdSinPhase2);
  P.Noise = Num(EdSinNoise);
  return P;
}
