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
class TFileList;
class TGlobalData;
class TNewProfileAtmospherePage;
class TNewProfileGaussPage;
class TNewProfilePlanckPage;
class TNewProfileRVPage;
class TNewProfileSinPage;

class TNewProfile : public QDialog {
  Q_OBJECT
public:
  // GlobalData gives the observer's site for the radial-velocity page and the program's folder,
  // where the ephemeris file lies.
  TNewProfile(TFileList &FileList, TGlobalData &GlobalData, QWidget *Parent = nullptr);
  ~TNewProfile() override;

  // Shows the dialog modally (the "&New..." command).
  void Execute();
  // The buttons. OK makes the active page's spectrum; a failure is reported and leaves the
  // dialog open with nothing made.
  void BuOKClick();
  void BuCancelClick();

  // The barycentric correction of the radial-velocity page, opened on the ephemeris beside the
  // program when that page is first used.
  TBaryCorr &BaryCorr();
  std::string EphemerisFileName() const;

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

  TFileList &pFileList;
  TGlobalData &pGlobalData;
  std::unique_ptr<TBaryCorr> pBaryCorr;
};
