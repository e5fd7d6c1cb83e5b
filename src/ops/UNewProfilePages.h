#pragma once
// The five pages of the "New Profile" dialog, one small widget each: its edit fields with
// their defaults, and the conversion of the fields into the page's parameters (a field that is
// not a number raises the number reader's error).
#include <QWidget>

#include "ops/UNewProfileCore.h"

class QFormLayout;
class QLineEdit;
class TRadioGroup;

class TNewProfileGaussPage : public QWidget {
public:
  explicit TNewProfileGaussPage(QWidget *Parent = nullptr);
  TGaussParams Params() const;

  QLineEdit *EdPoints;
  QLineEdit *EdFromX;
  QLineEdit *EdToX;
  QLineEdit *EdAmpl;
  QLineEdit *EdPosX;
  QLineEdit *EdSD;
  QLineEdit *EdBias;
  QLineEdit *EdSlope;
  QLineEdit *EdNoise;
  QLineEdit *EdVoigt;
};

class TNewProfilePlanckPage : public QWidget {
public:
  explicit TNewProfilePlanckPage(QWidget *Parent = nullptr);
  TPlanckParams Params() const;

  QLineEdit *EdPlFrom;
  QLineEdit *EdPlTo;
  QLineEdit *EdPlStep;
  QLineEdit *EdPlTemp;
  TRadioGroup *RgScaling; // 0 mean radiance 1, 1 W m-2 sr-1 Å-1
};

class TNewProfileAtmospherePage : public QWidget {
public:
  explicit TNewProfileAtmospherePage(QWidget *Parent = nullptr);
  TAtmosphereParams Params() const;

  QLineEdit *EdAOD;
  QLineEdit *EdFrom;
  QLineEdit *EdTo;
  QLineEdit *EdStep;
  QLineEdit *EdHeight;
  TRadioGroup *RgMode; // 0 Rayleigh, 1 Ozone, 2 Aerosols
};

class TNewProfileRVPage : public QWidget {
public:
  explicit TNewProfileRVPage(QWidget *Parent = nullptr);
  // The star, the instants and the number of points; the observer is the caller's to add.
  TRVParams Params() const;

  QLineEdit *EdYear;
  QLineEdit *EdMonth;
  QLineEdit *EdDay;
  QLineEdit *EdHour;
  QLineEdit *EdMinute;
  QLineEdit *EdSecond;
  QLineEdit *EdRa;
  QLineEdit *EdDe;
  QLineEdit *EdInterval;
  QLineEdit *EdPoints1;
};

class TNewProfileSinPage : public QWidget {
public:
  explicit TNewProfileSinPage(QWidget *Parent = nullptr);
  TSinParams Params() const;

  QLineEdit *EdSinPoints;
  QLineEdit *EdSinPer1;
  QLineEdit *EdSinAmpl1;
  QLineEdit *EdSinPhase1;
  QLineEdit *EdSinPer2;
  QLineEdit *EdSinAmpl2;
  QLineEdit *EdSinPhase2;
  QLineEdit *EdSinNoise;
};
