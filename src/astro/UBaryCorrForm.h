#pragma once
// "Barycentric Correction": the UTC instant of an observation and the star's J2000
// coordinates (typed, or fetched by name from SIMBAD) give the barycentric correction, which
// "Apply Correction to File(s)" applies to the x-values of the selected spectra as new
// "-bary" spectra. With "Date and site from FITS headers" each spectrum gets its own
// correction from its header instead. The dialog stays open after Apply; the SIMBAD query
// runs on the event loop, so the window stays responsive and Cancel stops it.
#include <QDialog>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "astro/UBaryCorr.h"
#include "astro/USimbad.h"

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class TBaryCorrHolder;
class TSpecList;
class TGlobalData;
class THttpGet;
class TSpec32;

class TBaryCorrForm : public QDialog {
  Q_OBJECT
public:
  // BaryCorr: the run's one correction (its ephemeris may have failed to open); Http: the
  // network access of the SIMBAD query, owned from here on (a query still running when the
  // dialog goes is cancelled first); GlobalData: the observer's site and TAI - UTC.
  TBaryCorrForm(TSpecList &FileList, TGlobalData &GlobalData, TBaryCorrHolder &BaryCorr,
                std::unique_ptr<THttpGet> Http, QWidget *Parent = nullptr);
  ~TBaryCorrForm() override;

  // Where "Ask Simbad" sends its query; asked at each query, so a changed setting counts at
  // once. Without it, the public SIMBAD server.
  std::function<TSimbadEndpoint()> SimbadEndpoint;
  // The limits of a query: the whole request, and the size of the reply.
  void SetSimbadLimits(int TimeoutMs, int64_t MaxBytes);

  // The show step, then the dialog modally (the "Barycentric Correction..." command).
  void Execute();
  // Lists the spectra selected in the file list (selection order) and enables Apply for them.
  void FormShow();

  // The buttons. Failures are reported in error boxes and leave the dialog open.
  void BuCalculateClick();
  void BuApplyClick();
  void BuSimbadClick();
  // Stops a running SIMBAD query; without one, closes the dialog.
  void BuCancelClick();

  bool SimbadRunning() const;
  double RVFac() const { return pRVFac; }
  const std::vector<std::string> &Simbad() const { return pSimbad; }
  int NFiles() const { return pNFiles; }

  QListWidget *LbFiles;
  QLineEdit *EdYear;
  QLineEdit *EdMonth;
  QLineEdit *EdDay;
  QLineEdit *EdHour;
  QLineEdit *EdMinute;
  QLineEdit *EdSecond;
  QCheckBox *CbFromHeader;
  QLineEdit *EdRA;
  QLineEdit *EdDec;
  QLineEdit *EdObject;
  QPushButton *BuSimbad;
  QPlainTextEdit *MeSimbad;
  QLineEdit *EdTimeCorr;
  QLineEdit *EdRadVel;
  QLineEdit *EdJD;
  QLineEdit *EdMST;
  // One line per spectrum in the header mode: its instant, velocity and where its values came
  // from, or why its header does not do.
  QPlainTextEdit *MeHeader;
  QPushButton *BuCalculate;
  QPushButton *BuApply;
  QPushButton *BuCancel;
  QStatusBar *StatusBar;

signals:
  // A SIMBAD query has ended (answered, failed or cancelled) and its results are shown.
  void SimbadFinished();

public slots:
  void reject() override;

private:
  // One spectrum's outcome in the header mode.
  struct THeaderOutcome {
    TSpec32 *Spec = nullptr;
    bool Ok = false;
    double RVFac = 1, Velocity = 0, Ra = 0, De = 0;
    std::string UtcText;
  };
  void Calculate();
  std::vector<THeaderOutcome> CalculateHeaders();
  void ShowResult(const TBaryResult &R);
  void ClearResults();
  void FromHeaderToggled(bool On);
  // A "-bary" spectrum of Source, unless it records a correction already and the user declines.
  void MakeBary(TSpec32 &Source, double RVFac, double Velocity, const std::string &UtcText, double Ra,
                double De);
  void SimbadDone(bool Ok, const std::string &Body);
  void EndBusy();

  TSpecList &pFileList;
  TGlobalData &pGlobalData;
  TBaryCorrHolder &pBaryCorr;
  std::unique_ptr<THttpGet> pHttp;
  TDateTimeInt pDateTime;
  double pRVFac = 1;
  // Of the last typed calculation: km/s, and the star in degrees.
  double pVelocity = 0, pRa = 0, pDe = 0;
  std::vector<std::string> pSimbad;
  int pNFiles = 0;
  std::vector<TSpec32 *> pFiles;
  TSpec32 *pSource = nullptr;
  TSpec32 *pDestination = nullptr;
  int pSimbadTimeoutMs = 15000;
  int64_t pSimbadMaxBytes = 1 << 20;
  bool pBusy = false;
};
