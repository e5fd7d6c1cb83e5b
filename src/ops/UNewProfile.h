#pragma once
// "New Profile" (the File menu's "&New..."): one synthetic spectrum from parameters alone, made
// by the active page: a Gaussian or Voigt line, a Planck curve, an atmospheric transmission
// curve, the barycentric radial-velocity curve of a star, or the sum of two sines. The result
// is listed in the file list and the dialog closes; its fields keep their values for the next
// use.
#include <QDialog>
#include <memory>
#include <string>

class QPushButton;
class QTabWidget;
class TBaryCorr;
class TBaryCorrHolder;
class TSpecList;
class TGlobalData;
class TNewProfileAtmospherePage;
class TNewProfileGaussPage;
class TNewProfilePlanckPage;
class TNewProfileRVPage;
class TNewProfileSinPage;

class TNewProfile : public QDialog {
  Q_OBJECT
public:
  // GlobalData gives the observer's site for the radial-velocity page; BaryCorr is the program's
  // one barycentric correction, shared with the barycentric correction dialog.
  TNewProfile(TSpecList &FileList, TGlobalData &GlobalData, TBaryCorrHolder &BaryCorr, QWidget *Parent = nullptr);
  ~TNewProfile() override;

  // Shows the dialog modally (the "&New..." command).
  void Execute();
  // The buttons. OK makes the active page's spectrum; a failure is reported and leaves the
  // dialog open with nothing made.
  void BuOKClick();
  void BuCancelClick();

  // The barycentric correction of the radial-velocity page; raises the ephemeris reader's
  // message when the file beside the program could not be opened at start.
  TBaryCorr &BaryCorr();

  QTabWidget *PageControl;
  TNewProfileGaussPage *PgGauss;
  TNewProfilePlanckPage *PgPlanck;
  TNewProfileAtmospherePage *PgAtmosphere;
  TNewProfileRVPage *PgRV;
  TNewProfileSinPage *PgSin;
  QPushButton *BuOK;
  QPushButton *BuCancel;

private:
  void Apply();

  TSpecList &pFileList;
  TGlobalData &pGlobalData;
  TBaryCorrHolder &pBaryCorr;
};
