#define ORVA_UNIT "UBaryCorrForm"
#include "astro/UBaryCorrForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>
#include <exception>

#include "astro/UBaryHeader.h"
#include "astro/UHttpGet.h"
#include "core/UErrors.h"
#include "core/UFormat.h"
#include "core/UGlobalData.h"
#include "core/USpec32.h"
#include "gui/UDialogButtons.h"
#include "gui/USpecList.h"
#include "gui/UUiServices.h"

namespace {

const char *const Caption = "Barycentric Correction";

std::string Text(const QLineEdit *E) { return E->text().toStdString(); }
void SetText(QLineEdit *E, const std::string &S) { E->setText(QString::fromStdString(S)); }

QLineEdit *ReadOnlyField(QWidget *Parent) {
  auto *E = new QLineEdit(Parent);
  E->setReadOnly(true);
  return E;
}

} // namespace

TBaryCorrForm::TBaryCorrForm(TSpecList &FileList, TGlobalData &GlobalData, TBaryCorrHolder &BaryCorr,
                             std::unique_ptr<THttpGet> Http, QWidget *Parent)
    : QDialog(Parent), pFileList(FileList), pGlobalData(GlobalData), pBaryCorr(BaryCorr),
      pHttp(std::move(Http)) {
  ORVA_ASSERT(pHttp != nullptr);
  setWindowTitle(Caption);
  auto *V = new QVBoxLayout(this);

  // The selected spectra beside the instant of the observation.
  auto *Top = new QHBoxLayout;
  auto *FilesBox = new QGroupBox("Selected Files", this);
  auto *FilesLayout = new QVBoxLayout(FilesBox);
  LbFiles = new QListWidget(FilesBox);
  LbFiles->setSelectionMode(QAbstractItemView::NoSelection);
  FilesLayout->addWidget(LbFiles);
  Top->addWidget(FilesBox, 1);

  auto *TimeBox = new QGroupBox("Time (UTC)", this);
  auto *TG = new QGridLayout(TimeBox);
  auto IntField = [&](int Row, int Col, const char *Label) {
    auto *E = new QLineEdit(TimeBox);
    E->setMaximumWidth(70);
    TG->addWidget(new QLabel(Label, TimeBox), Row, Col);
    TG->addWidget(E, Row + 1, Col);
    return E;
  };
  EdYear = IntField(0, 0, "Year");
  EdMonth = IntField(0, 1, "Month");
  EdDay = IntField(0, 2, "Day");
  EdHour = IntField(2, 0, "Hour");
  EdMinute = IntField(2, 1, "Minute");
  EdSecond = IntField(2, 2, "Second");
  CbFromHeader = new QCheckBox("Date and site from FITS headers", TimeBox);
  CbFromHeader->setToolTip("Each spectrum gets its own correction at the middle of its exposure\n"
                           "(DATE-OBS + EXPTIME/2, or JD-OBS / MJD-OBS), at its site (GEO_LONG east\n"
                           "positive, GEO_LAT, GEO_ELEV; else the settings) towards its RA/DEC\n"
                           "(else the coordinates below), with TAI-UTC from the leap-second table.");
  TG->addWidget(CbFromHeader, 4, 0, 1, 3);
  Top->addWidget(TimeBox);
  V->addLayout(Top);

  auto *CooBox = new QGroupBox("Object Coordinates (J2000)", this);
  auto *CG = new QGridLayout(CooBox);
  EdRA = new QLineEdit("14 15 39.6720", CooBox);
  EdDec = new QLineEdit("+19 10 56.677", CooBox);
  EdObject = new QLineEdit(CooBox);
  BuSimbad = new QPushButton("Ask Simbad", CooBox);
  MeSimbad = new QPlainTextEdit(CooBox);
  MeSimbad->setReadOnly(true);
  MeSimbad->setMaximumHeight(MeSimbad->fontMetrics().lineSpacing() * 5);
  CG->addWidget(new QLabel("RA [h m s]", CooBox), 0, 0);
  CG->addWidget(EdRA, 0, 1);
  CG->addWidget(new QLabel("Dec [d m s]", CooBox), 1, 0);
  CG->addWidget(EdDec, 1, 1);
  CG->addWidget(new QLabel("Object Name", CooBox), 2, 0);
  CG->addWidget(EdObject, 2, 1);
  CG->addWidget(BuSimbad, 2, 2);
  CG->addWidget(MeSimbad, 3, 0, 1, 3);
  V->addWidget(CooBox);

  auto *ResBox = new QGroupBox("Correction", this);
  auto *RG = new QGridLayout(ResBox);
  EdTimeCorr = ReadOnlyField(ResBox);
  EdRadVel = ReadOnlyField(ResBox);
  EdJD = ReadOnlyField(ResBox);
  EdMST = ReadOnlyField(ResBox);
  RG->addWidget(new QLabel("Time Correction [s]", ResBox), 0, 0);
  RG->addWidget(EdTimeCorr, 0, 1);
  RG->addWidget(new QLabel("Radial Vel. [km/s]", ResBox), 0, 2);
  RG->addWidget(EdRadVel, 0, 3);
  RG->addWidget(new QLabel("JD", ResBox), 1, 0);
  RG->addWidget(EdJD, 1, 1);
  RG->addWidget(new QLabel("Mean Sid. Time", ResBox), 1, 2);
  RG->addWidget(EdMST, 1, 3);
  MeHeader = new QPlainTextEdit(ResBox);
  MeHeader->setReadOnly(true);
  MeHeader->setLineWrapMode(QPlainTextEdit::NoWrap);
  // Wide enough for a whole line of a usual file name; the dialog widens while it is shown.
  MeHeader->setMinimumWidth(MeHeader->fontMetrics().horizontalAdvance(QString(100, 'm')) * 3 / 4);
  MeHeader->setVisible(false);
  RG->addWidget(MeHeader, 2, 0, 1, 4);
  V->addWidget(ResBox);

  BuCalculate = new QPushButton("Calculate Correction", this);
  BuApply = new QPushButton("Apply Correction to File(s)", this);
  BuCancel = new QPushButton("Cancel", this);
  BuCalculate->setDefault(true);
  BuCalculate->setAutoDefault(true);
  V->addLayout(ButtonRow({BuCalculate, BuApply, BuCancel}));

  StatusBar = new QStatusBar(this);
  StatusBar->setSizeGripEnabled(false);
  V->addWidget(StatusBar);
  StatusBar->showMessage(QString::fromStdString(pBaryCorr.StatusText()));

  connect(BuCalculate, &QPushButton::clicked, this, &TBaryCorrForm::BuCalculateClick);
  connect(BuApply, &QPushButton::clicked, this, &TBaryCorrForm::BuApplyClick);
  connect(BuSimbad, &QPushButton::clicked, this, &TBaryCorrForm::BuSimbadClick);
  connect(BuCancel, &QPushButton::clicked, this, &TBaryCorrForm::BuCancelClick);
  connect(CbFromHeader, &QCheckBox::toggled, this, &TBaryCorrForm::FromHeaderToggled);
}

TBaryCorrForm::~TBaryCorrForm() {
  // The query's callback must not outlive the dialog.
  pHttp->Cancel();
  EndBusy();
}

void TBaryCorrForm::SetSimbadLimits(int TimeoutMs, int64_t MaxBytes) {
  pSimbadTimeoutMs = TimeoutMs;
  pSimbadMaxBytes = MaxBytes;
}

void TBaryCorrForm::Execute() {
  FormShow();
  Ui().ShowModal(*this);
}

void TBaryCorrForm::FormShow() {
  {
    TListLock Lock(pFileList);
    pFiles = pFileList.ISelected();
    pNFiles = static_cast<int>(pFiles.size());
    LbFiles->clear();
    for (const TSpec32 *S : pFiles)
      LbFiles->addItem(QString::fromStdString(S->FileName()));
    if (LbFiles->count() > 0) LbFiles->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    BuApply->setEnabled(pNFiles > 0);
  }
  MeHeader->clear();
  StatusBar->showMessage(QString::fromStdString(pBaryCorr.StatusText()));
  BuCalculate->setFocus();
}

void TBaryCorrForm::FromHeaderToggled(bool On) {
  for (QLineEdit *E : {EdYear, EdMonth, EdDay, EdHour, EdMinute, EdSecond})
    E->setEnabled(!On);
  MeHeader->setVisible(On);
  ClearResults();
  adjustSize();
}

void TBaryCorrForm::ClearResults() {
  for (QLineEdit *E : {EdTimeCorr, EdRadVel, EdJD, EdMST})
    E->clear();
  MeHeader->clear();
}

void TBaryCorrForm::ShowResult(const TBaryResult &R) {
  SetText(EdTimeCorr, R.TimeCorrText);
  SetText(EdRadVel, R.RadVelText);
  SetText(EdJD, R.JDText);
  SetText(EdMST, R.MSTText);
}

void TBaryCorrForm::Calculate() {
  ClearResults();
  pDateTime = TDateTimeInt{StrToInt(Text(EdYear)), StrToInt(Text(EdMonth)),  StrToInt(Text(EdDay)),
                           StrToInt(Text(EdHour)), StrToInt(Text(EdMinute)), StrToInt(Text(EdSecond))};
  TBaryInput In;
  In.DateTime = pDateTime;
  In.RaText = Text(EdRA);
  In.DeText = Text(EdDec);
  In.TAImUTC = pGlobalData.TAImUTC();
  In.Lon = pGlobalData.ObsLong();
  In.Lat = pGlobalData.ObsLat();
  In.Height = pGlobalData.ObsHeight();
  // The ephemeris first: without it nothing else is worth checking.
  TBaryCorr &BC = pBaryCorr.Get();
  const TBaryResult R = CalculateCorrection(BC, In);
  pRVFac = R.RVFac;
  pVelocity = R.distdot;
  pRa = R.Ra;
  pDe = R.De;
  ShowResult(R);
}

std::vector<TBaryCorrForm::THeaderOutcome> TBaryCorrForm::CalculateHeaders() {
  ClearResults();
  if (pFiles.empty()) OrvaRaise("No spectrum selected");
  TBaryCorr &BC = pBaryCorr.Get();
  const TBarySite Settings{pGlobalData.ObsLong(), pGlobalData.ObsLat(), pGlobalData.ObsHeight()};
  std::vector<THeaderOutcome> Out;
  std::string Lines;
  for (TSpec32 *S : pFiles) {
    THeaderOutcome O;
    O.Spec = S;
    try {
      const TBaryHeaderResult R =
          CalculateFromHeader(BC, HeaderObservation(S->FitsBess(), Settings, Text(EdRA), Text(EdDec)));
      O.Ok = true;
      O.RVFac = R.RVFac;
      O.Velocity = R.distdot;
      O.Ra = R.Obs.Ra;
      O.De = R.Obs.De;
      O.UtcText = R.Obs.UtcText;
      Lines += (Lines.empty() ? "" : "\n") + HeaderResultLine(S->FileName(), R);
      if (pFiles.size() == 1) {
        // One spectrum: its numbers in the fields as well.
        TBaryResult T;
        T.JD = R.JD;
        T.MST = R.MST;
        T.dist = R.dist;
        T.distdot = R.distdot;
        T.dtime = R.dtime;
        T.RVFac = R.RVFac;
        SetResultTexts(T);
        ShowResult(T);
      }
    } catch (const EOrvaError &E) {
      Lines += (Lines.empty() ? "" : "\n") + S->FileName() + ": " + E.what();
    }
    Out.push_back(O);
  }
  MeHeader->setPlainText(QString::fromStdString(Lines));
  return Out;
}

void TBaryCorrForm::BuCalculateClick() {
  Guarded([this] {
    if (CbFromHeader->isChecked())
      CalculateHeaders();
    else
      Calculate();
  });
}

void TBaryCorrForm::MakeBary(TSpec32 &Source, double RVFac, double Velocity, const std::string &UtcText,
                             double Ra, double De) {
  const double Applied = AppliedBaryCorr(Source.FitsBess());
  // Correcting twice is a classic way to a wrong result: ask, with No as the default.
  if (Applied != 0 && !Ui().YesNo(Caption, AlreadyCorrectedText(Source.FileName(), Applied), false)) return;
  pSource = &Source;
  TSpec32 &D = pFileList.NewFile(Source.FileName(), "-bary", Source.Size(), 0.0, &Source);
  pDestination = &D;
  ApplyBaryCorr(Source, RVFac, D);
  RecordBaryCorr(D.FitsBess(), Velocity, UtcText, Ra, De);
  pFileList.UpdateSpec(D);
}

void TBaryCorrForm::BuApplyClick() {
  Guarded([this] {
    if (pFiles.empty()) OrvaRaiseUE("TBaryCorrForm.BuApplyClick");
    if (CbFromHeader->isChecked()) {
      std::vector<THeaderOutcome> Out = CalculateHeaders();
      std::string Refused;
      for (const THeaderOutcome &O : Out) {
        if (O.Ok)
          MakeBary(*O.Spec, O.RVFac, O.Velocity, O.UtcText, O.Ra, O.De);
        else
          Refused += (Refused.empty() ? "" : ", ") + O.Spec->FileName();
      }
      pSource = pDestination = nullptr;
      // The others are made; the lines say what each refused header lacks.
      if (!Refused.empty()) Ui().ErrorBox("Not corrected (see the list for why): " + Refused);
      return;
    }
    Calculate();
    const std::string Utc = UtcText(pDateTime);
    for (TSpec32 *S : pFiles)
      MakeBary(*S, pRVFac, pVelocity, Utc, pRa, pDe);
    pSource = pDestination = nullptr;
  });
}

void TBaryCorrForm::BuSimbadClick() {
  Guarded([this] {
    MeSimbad->clear();
    const TSimbadEndpoint E = SimbadEndpoint ? SimbadEndpoint() : TSimbadEndpoint{};
    THttpRequest R;
    R.Url = SimbadQueryUrl(Text(EdObject), E.Base()); // "No Object Name" for an empty one
    R.Accept = SimbadAccept;
    R.TimeoutMs = pSimbadTimeoutMs;
    R.MaxBytes = pSimbadMaxBytes;
    pBusy = true;
    BuSimbad->setEnabled(false);
    QApplication::setOverrideCursor(Qt::BusyCursor);
    StatusBar->showMessage("Asking Simbad ... (Cancel stops the query)");
    pHttp->Start(R, [this](const THttpResult &Res) { SimbadDone(Res.Ok, Res.Body); });
  });
}

void TBaryCorrForm::EndBusy() {
  if (!pBusy) return;
  pBusy = false;
  BuSimbad->setEnabled(true);
  StatusBar->showMessage(QString::fromStdString(pBaryCorr.StatusText()));
  QApplication::restoreOverrideCursor();
}

void TBaryCorrForm::SimbadDone(bool Ok, const std::string &Body) {
  EndBusy();
  Guarded([&] {
    if (!Ok) OrvaRaise("Access to Simbad failed");
    const TSimbadReply R = ParseSimbadReply(Body);
    pSimbad = R.Lines;
    for (const std::string &L : R.Result) {
      // The reply's CR LF line ends: the CR means nothing in a text box.
      const size_t N = !L.empty() && L.back() == '\r' ? L.size() - 1 : L.size();
      MeSimbad->appendPlainText(QString::fromUtf8(L.data(), static_cast<int>(N)));
    }
    if (R.HasCoordinates) {
      SetText(EdRA, R.Ra);
      SetText(EdDec, R.De);
    }
    if (!R.Error.empty()) OrvaRaise(R.Error);
  });
  emit SimbadFinished();
}

bool TBaryCorrForm::SimbadRunning() const { return pBusy; }

void TBaryCorrForm::BuCancelClick() {
  if (pBusy) {
    pHttp->Cancel();
    EndBusy();
    emit SimbadFinished();
    return;
  }
  reject();
}

void TBaryCorrForm::reject() {
  if (pBusy) {
    pHttp->Cancel();
    EndBusy();
    emit SimbadFinished();
  }
  QDialog::reject();
}
