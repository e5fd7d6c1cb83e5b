// The barycentric dialog on a real main window with the scripted UI services: its fields and
// defaults, Calculate and Apply against the core's numbers, the question before a second
// correction, the header mode, a missing ephemeris, and "Ask Simbad" through the scripted
// HTTP stand-in and through Qt Network against a small HTTP server of the test's own on
// 127.0.0.1 (recorded replies, a server that never answers, one that closes, one that sends
// too much).
#include <QApplication>
#include <QCheckBox>
#include <QEventLoop>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <memory>

#include "astro/UBaryCorr.h"
#include "astro/UBaryCorrForm.h"
#include "astro/UBaryHeader.h"
#include "astro/UHttpGet.h"
#include "astro/UHttpGetQt.h"
#include "core/UFormat.h"
#include "core/UGlobalData.h"
#include "shell/ShellFixture.h"

using TK = TFakeUiServices;

namespace {

const char *const EphFile = ORVA_BUILD_DIR "/jpl_1950_2050.405";

// Recorded replies of the identifier query (SIMBAD's ASCII output, CR LF line ends).
const char *const Arcturus =
    "C.D.S.  -  SIMBAD4 rel 1.8  -  2024.03.12CET10:11:12\r\n\r\nArcturus\r\n--------\r\n\r\n"
    "Object alf Boo  ---  RG*  ---  OID=@1345  (@@1345)  ---  coo: 14 15 39.67207 +19 10 56.6730 (Opt) "
    "A\r\n\r\n"
    "Coordinates(ICRS,ep=J2000,eq=2000): 14 15 39.67207  +19 10 56.6730 (Opt ) A [18.51 8.94 90] "
    "2007A&A...474..653V\r\n"
    "hierarchy counts: #parents=0, #children=0, #siblings=0\r\n"
    "Radial Velocity: -5.19 [0.04] / z: -0.000017 [0.000000] A 2018A&A...616A...1G\r\n"
    "Spectral type: K1.5IIIFe-0.5 C 1989ApJS...71..245K\r\n\r\n";
const char *const NotFound = "C.D.S.  -  SIMBAD4 rel 1.8  -  2024.03.12CET10:11:12\r\n\r\n"
                             "!! Identifier not found in the database : NOSUCH STAR\r\n";
const char *const NoCoordinates = "Object M 31  ---  G  ---  OID=@1575544\r\nSpectral type: Sb C ~\r\n";

// A one-connection-at-a-time HTTP server on 127.0.0.1 that records each request and answers
// as told.
class TTestServer : public QObject {
public:
  enum TMode { Answer, Close, Hang, Trickle, Flood };
  TMode Mode = Answer;
  QByteArray Response; // for Answer: the whole response, status line included
  std::vector<std::string> Requests;

  TTestServer() {
    pServer.listen(QHostAddress::LocalHost, 0);
    connect(&pServer, &QTcpServer::newConnection, this, [this] {
      while (QTcpSocket *S = pServer.nextPendingConnection()) {
        S->setParent(this);
        connect(S, &QTcpSocket::readyRead, this, [this, S] { Read(S); });
      }
    });
  }
  std::string Host() const { return "127.0.0.1:" + std::to_string(pServer.serverPort()); }
  static QByteArray Ok(const QByteArray &Body) {
    return "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " +
           QByteArray::number(Body.size()) + "\r\nConnection: close\r\n\r\n" + Body;
  }

private:
  void Read(QTcpSocket *S) {
    pBuffer += S->readAll();
    const int End = pBuffer.indexOf("\r\n\r\n");
    if (End < 0) return;
    Requests.push_back(pBuffer.left(End).toStdString());
    pBuffer.clear();
    switch (Mode) {
    case Answer:
      S->write(Response);
      S->disconnectFromHost();
      break;
    case Close:
      S->abort();
      break;
    case Hang:
      break;
    case Trickle: {
      // A status line and headers, then one byte of body now and then, never the end.
      S->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\nObject");
      auto *T = new QTimer(S);
      connect(T, &QTimer::timeout, S, [S] { S->write("."); });
      connect(S, &QTcpSocket::disconnected, T, &QTimer::stop);
      T->start(20);
      break;
    }
    case Flood: {
      // No length announced: the cap must hold while the body streams in.
      S->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nConnection: close\r\n\r\n");
      const QByteArray Chunk(64 * 1024, 'x');
      for (int i = 0; i < 24; ++i) // 1.5 MB
        S->write(Chunk);
      S->disconnectFromHost();
      break;
    }
    }
  }
  QTcpServer pServer;
  QByteArray pBuffer;
};

class BaryFormTest : public ShellTest {
protected:
  void SetUp() override {
    ShellTest::SetUp();
    Main->GlobalData().SetTAImUTC(36);
    Main->GlobalData().SetObsLong(155.4783);
    Main->GlobalData().SetObsLat(19.8283);
    Main->GlobalData().SetObsHeight(4160);
  }
  // The dialog on the scripted HTTP stand-in (FakeHttp), or on Http when given.
  std::unique_ptr<TBaryCorrForm> Form(TBaryCorrHolder &H, std::unique_ptr<THttpGet> Http = nullptr) {
    if (!Http) {
      auto Fk = std::make_unique<TFakeHttpGet>();
      FakeHttp = Fk.get();
      Http = std::move(Fk);
    }
    auto F = std::make_unique<TBaryCorrForm>(List(), Main->GlobalData(), H, std::move(Http), Main.get());
    F->SimbadEndpoint = [this] { return Endpoint; };
    return F;
  }
  // The typed instant and star of the Keck example of the command-line tests.
  void TypeKeck(TBaryCorrForm &F) {
    const char *V[] = {"2016", "6", "4", "0", "0", "0"};
    QLineEdit *E[] = {F.EdYear, F.EdMonth, F.EdDay, F.EdHour, F.EdMinute, F.EdSecond};
    for (int i = 0; i < 6; ++i)
      E[i]->setText(V[i]);
    F.EdRA->setText("0 19 32.1");
    F.EdDec->setText("+35 2 37.1");
  }
  TBaryResult KeckResult() {
    TBaryInput In;
    In.DateTime = {2016, 6, 4, 0, 0, 0};
    In.RaText = "0 19 32.1";
    In.DeText = "+35 2 37.1";
    In.TAImUTC = 36;
    In.Lon = 155.4783;
    In.Lat = 19.8283;
    In.Height = 4160;
    return CalculateCorrection(Holder.Get(), In);
  }
  // Runs the event loop until the query has ended (a failsafe ends a test that would hang).
  void WaitForSimbad(TBaryCorrForm &F) {
    if (!F.SimbadRunning()) return;
    QEventLoop Loop;
    QObject::connect(&F, &TBaryCorrForm::SimbadFinished, &Loop, &QEventLoop::quit);
    QTimer Failsafe;
    Failsafe.setSingleShot(true);
    QObject::connect(&Failsafe, &QTimer::timeout, &Loop, [&] {
      ADD_FAILURE() << "the query did not end";
      F.BuCancelClick();
    });
    Failsafe.start(30000);
    Loop.exec();
  }
  std::vector<std::string> Errors() { return Fake->Texts(TK::kError); }
  std::string T(const QLineEdit *E) { return E->text().toStdString(); }
  std::string T(const QPlainTextEdit *E) { return E->toPlainText().toStdString(); }

  TBaryCorrHolder Holder{EphFile};
  TFakeHttpGet *FakeHttp = nullptr;
  TSimbadEndpoint Endpoint;
};

} // namespace

TEST_F(BaryFormTest, FieldsDefaultsAndTheSelection) {
  ASSERT_TRUE(Holder.Ok()) << Holder.Error();
  auto F = Form(Holder);
  EXPECT_EQ(F->windowTitle().toStdString(), "Barycentric Correction");
  EXPECT_EQ(T(F->EdRA), "14 15 39.6720");
  EXPECT_EQ(T(F->EdDec), "+19 10 56.677");
  for (QLineEdit *E : {F->EdYear, F->EdMonth, F->EdDay, F->EdHour, F->EdMinute, F->EdSecond})
    EXPECT_EQ(T(E), "");
  EXPECT_EQ(F->StatusBar->currentMessage().toStdString(), Holder.StatusText());
  EXPECT_TRUE(F->BuCalculate->isDefault());

  AddRamp("a.fits", 5);
  AddRamp("b.fits", 5);
  AddRamp("c.fits", 5);
  Select({0, 2});
  F->FormShow();
  ASSERT_EQ(F->LbFiles->count(), 2);
  EXPECT_EQ(F->LbFiles->item(0)->text().toStdString(), "a.fits");
  EXPECT_EQ(F->LbFiles->item(1)->text().toStdString(), "c.fits");
  EXPECT_EQ(F->LbFiles->currentRow(), 0);
  EXPECT_TRUE(F->LbFiles->selectedItems().isEmpty());
  EXPECT_TRUE(F->BuApply->isEnabled());
  EXPECT_FALSE(List().Locked());

  // Nothing selected: Apply is disabled, Calculate works.
  Select({});
  F->FormShow();
  EXPECT_EQ(F->LbFiles->count(), 0);
  EXPECT_FALSE(F->BuApply->isEnabled());
  TypeKeck(*F);
  F->BuCalculateClick();
  EXPECT_TRUE(Errors().empty()) << Errors().front();
  const TBaryResult R = KeckResult();
  EXPECT_EQ(T(F->EdRadVel), R.RadVelText);
  EXPECT_EQ(T(F->EdTimeCorr), R.TimeCorrText);
  EXPECT_EQ(T(F->EdJD), "2457543.50000");
  EXPECT_EQ(T(F->EdMST), R.MSTText);
  EXPECT_EQ(F->RVFac(), R.RVFac);
}

TEST_F(BaryFormTest, CalculateReportsBadFields) {
  auto F = Form(Holder);
  struct Row {
    int Field; // index into the six time fields, 6 RA, 7 Dec
    const char *Text, *Error;
  } Rows[] = {
      {0, "", "'' is not a valid integer value"}, {0, "2016.5", "'2016.5' is not a valid integer value"},
      {1, "13", "Invalid date or time"},          {2, "31", "Invalid date or time"}, // 31 June
      {0, "1582", "Illegal Date in UTToJD"},      {0, "2051", "Requested JED not within ephemeris limits"},
      {6, "24 0 0", "Unknown RA format"},         {7, "+90 0 1", "Unknown Dec format"}};
  for (const Row &R : Rows) {
    TypeKeck(*F);
    QLineEdit *E[] = {F->EdYear,   F->EdMonth,  F->EdDay, F->EdHour,
                      F->EdMinute, F->EdSecond, F->EdRA,  F->EdDec};
    E[R.Field]->setText(R.Text);
    if (std::string(R.Error) == "Illegal Date in UTToJD") {
      F->EdMonth->setText("10");
      F->EdDay->setText("10");
    }
    Fake->Clear();
    F->BuCalculateClick();
    EXPECT_EQ(Errors(), std::vector<std::string>{R.Error}) << R.Text;
    EXPECT_EQ(T(F->EdRadVel), "") << R.Text;
  }
}

// Apply makes "-bary" spectra with x' = RVFac x and the record of the correction; the dialog
// stays open; a spectrum that records a correction already is asked about, No by default.
TEST_F(BaryFormTest, ApplyMakesBarySpectraAndAsksBeforeASecondCorrection) {
  auto F = Form(Holder);
  TSpec32 &A = AddSpec("a.fits", {6500, 6501, 6502}, {1, 2, 3});
  TSpec32 &B = AddSpec("b.fits", {6500, 6502, 6504}, {4, 5, 6});
  B.FitsBess().WriteDbl("BSS_VHEL", 12.5, "");
  Select({0, 1});
  Fake->YesNoAnswers = {false};
  Fake->ModalScripts.push_back([&](QDialog &) {
    TypeKeck(*F);
    F->BuApplyClick();
    EXPECT_EQ(F->result(), QDialog::Rejected); // neither accepted nor closed by Apply
  });
  F->Execute();
  const TBaryResult R = KeckResult();
  ASSERT_EQ(List().Count(), 3) << "b.fits declined";
  const TSpec32 &D = List().Spec(2);
  EXPECT_EQ(D.FileName(), "a-bary");
  for (int j = 0; j < 3; ++j) {
    EXPECT_EQ(D.DataX[j], R.RVFac * A.DataX[j]);
    EXPECT_EQ(D.DataY[j], A.DataY[j]);
  }
  EXPECT_NEAR(AppliedBaryCorr(D.FitsBess()), R.distdot, 1e-8);
  EXPECT_NE(D.FitsBess().Strings(D.FitsBess().Count() - 2).find("at 2016-06-04T00:00:00.000 UTC"),
            std::string::npos);
  ASSERT_EQ(Fake->Texts(TK::kYesNo).size(), 1u);
  EXPECT_EQ(Fake->Texts(TK::kYesNo)[0], "Barycentric Correction: " + AlreadyCorrectedText("b.fits", 12.5));
  EXPECT_FALSE(Fake->YesNoDefaults[0]);

  // Yes: corrected again, the total recorded.
  Select({1});
  Fake->Clear();
  Fake->YesNoAnswers = {true};
  F->FormShow();
  F->BuApplyClick();
  ASSERT_EQ(List().Count(), 4);
  const double c = 299792.458;
  EXPECT_EQ(List().Spec(3).FileName(), "b-bary");
  EXPECT_NEAR(AppliedBaryCorr(List().Spec(3).FitsBess()), ((1 + 12.5 / c) * (1 + R.distdot / c) - 1) * c,
              1e-8);
  EXPECT_TRUE(Errors().empty());
}

// Without the ephemeris the dialog still opens: the status bar tells why, Calculate and Apply
// report it.
TEST_F(BaryFormTest, MissingEphemeris) {
  TBaryCorrHolder Missing(Tmp.File("none.405"));
  auto F = Form(Missing);
  EXPECT_EQ(F->StatusBar->currentMessage().toStdString(), Missing.Error());
  EXPECT_NE(Missing.Error().find("none.405"), std::string::npos);
  AddRamp("a.fits", 4);
  Select({0});
  F->FormShow();
  TypeKeck(*F);
  F->BuCalculateClick();
  F->BuApplyClick();
  EXPECT_EQ(Errors(), (std::vector<std::string>{Missing.Error(), Missing.Error()}));
  EXPECT_EQ(List().Count(), 1);
}

// Each spectrum its own correction from its header; one without a date is named and left
// out, the others are made.
TEST_F(BaryFormTest, HeaderMode) {
  auto F = Form(Holder);
  TSpec32 &A = AddSpec("keck.fits", {6500, 6501}, {1, 2});
  TFitsBess &H = A.FitsBess();
  H.WriteStr("DATE-OBS", "2016-06-03T23:55:00", "");
  H.WriteDbl("EXPTIME ", 600, "");
  H.WriteDbl("GEO_LONG", -155.4783, "");
  H.WriteDbl("GEO_LAT ", 19.8283, "");
  H.WriteDbl("GEO_ELEV", 4160, "");
  AddSpec("nodate.fits", {6500, 6501}, {1, 2});
  Select({0, 1});
  F->FormShow();
  F->CbFromHeader->setChecked(true);
  EXPECT_FALSE(F->EdYear->isEnabled());
  F->EdRA->setText("0 19 32.1");
  F->EdDec->setText("+35 2 37.1");
  F->BuCalculateClick();
  const TBaryResult R = KeckResult();
  EXPECT_EQ(T(F->MeHeader),
            "keck.fits  utc: 2016-06-04T00:00:00.000  velocity: " + Format("%.6f", R.distdot) +
                "  site: header  coordinates: given\n"
                "nodate.fits: no DATE-OBS, JD-OBS or MJD-OBS");
  EXPECT_EQ(T(F->EdRadVel), "") << "two spectra: the lines only";
  EXPECT_TRUE(Errors().empty());

  F->BuApplyClick();
  EXPECT_EQ(Errors(), std::vector<std::string>{"Not corrected (see the list for why): nodate.fits"});
  ASSERT_EQ(List().Count(), 3);
  EXPECT_EQ(List().Spec(2).FileName(), "keck-bary");
  EXPECT_EQ(List().Spec(2).DataX[1], R.RVFac * 6501); // the typed correction, bit for bit

  // Back to the typed mode: the time fields again.
  F->CbFromHeader->setChecked(false);
  EXPECT_TRUE(F->EdYear->isEnabled());
  EXPECT_FALSE(F->MeHeader->isVisibleTo(F.get()));
}

TEST_F(BaryFormTest, AskSimbadWithTheScriptedHttp) {
  auto F = Form(Holder);
  // Empty name: no request.
  F->BuSimbadClick();
  EXPECT_EQ(Errors(), std::vector<std::string>{"No Object Name"});
  EXPECT_TRUE(FakeHttp->Requests.empty());

  struct Row {
    const char *Reply;
    bool Ok;
    const char *Error, *Result, *Ra, *Dec;
  } Rows[] = {
      {Arcturus, true, nullptr,
       "Object alf Boo\nRadial Velocity: -5.19 [0.04] / z: -0.000017 [0.000000] A 2018A&A...616A...1G\n"
       "Spectral type: K1.5IIIFe-0.5 C 1989ApJS...71..245K",
       "14 15 39.67207", "+19 10 56.6730"},
      {NotFound, true, "Object not found", "", "1 2 3", "+4 5 6"},
      {NoCoordinates, true, "Coordinates not found", "Object M 31\nSpectral type: Sb C ~", "1 2 3", "+4 5 6"},
      {"", false, "Access to Simbad failed", "", "1 2 3", "+4 5 6"},
  };
  for (const Row &R : Rows) {
    SCOPED_TRACE(R.Reply);
    Fake->Clear();
    F->EdRA->setText("1 2 3");
    F->EdDec->setText("+4 5 6");
    F->EdObject->setText("  HD 124897 ");
    F->BuSimbadClick();
    ASSERT_TRUE(F->SimbadRunning());
    EXPECT_FALSE(F->BuSimbad->isEnabled());
    EXPECT_EQ(F->StatusBar->currentMessage().toStdString(), "Asking Simbad ... (Cancel stops the query)");
    EXPECT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(FakeHttp->Requests.back().Url,
              "https://simbad.cds.unistra.fr/simbad/sim-id?output.format=ASCII"
              "&obj.coo4=off&obj.coo3=off&obj.coo2=off&obj.coo1=on&frame1=ICRS"
              "&epoch1=J2000&equi1=2000&coodisp1=s&obj.mtsel=off&obj.plxsel=off"
              "&obj.sizesel=off&obj.bibsel=off&obj.messel=off&obj.notesel=off&Ident=HD%20124897");
    EXPECT_EQ(FakeHttp->Requests.back().Accept, "text/html, */*");
    EXPECT_EQ(FakeHttp->Requests.back().TimeoutMs, 15000);
    EXPECT_EQ(FakeHttp->Requests.back().MaxBytes, 1 << 20);
    if (R.Ok)
      FakeHttp->Reply(R.Reply);
    else
      FakeHttp->Fail("refused");
    EXPECT_FALSE(F->SimbadRunning());
    EXPECT_TRUE(F->BuSimbad->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(F->StatusBar->currentMessage().toStdString(), Holder.StatusText());
    EXPECT_EQ(Errors(), R.Error ? std::vector<std::string>{R.Error} : std::vector<std::string>{});
    EXPECT_EQ(T(F->MeSimbad), R.Result);
    EXPECT_EQ(T(F->EdRA), R.Ra);
    EXPECT_EQ(T(F->EdDec), R.Dec);
  }

  // Cancel stops a running query without a message; the next Cancel closes the dialog.
  Fake->Clear();
  F->BuSimbadClick();
  ASSERT_TRUE(FakeHttp->Running());
  F->BuCancelClick();
  EXPECT_FALSE(FakeHttp->Running());
  EXPECT_EQ(FakeHttp->Cancelled, 1);
  EXPECT_FALSE(F->SimbadRunning());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_TRUE(Fake->Records.empty());
  // Closing the dialog (Escape, the window's close box) stops a query too.
  F->BuSimbadClick();
  F->reject();
  EXPECT_EQ(FakeHttp->Cancelled, 2);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// Qt Network against a server on the loopback address: the request as it goes out, and every
// way a server can fail ending in "Access to Simbad failed" within the (shortened) timeout.
TEST_F(BaryFormTest, AskSimbadOverHttp) {
  TTestServer Server;
  Endpoint.Scheme = "http";
  Endpoint.Host = Server.Host();
  auto F = Form(Holder, std::make_unique<TQtHttpGet>());
  F->SetSimbadLimits(500, 1 << 20);

  struct Row {
    TTestServer::TMode Mode;
    QByteArray Response;
    const char *Name;
    std::vector<std::string> Errors;
    const char *Ra;
  } Rows[] = {
      {TTestServer::Answer, TTestServer::Ok(Arcturus), "HD 124897", {}, "14 15 39.67207"},
      {TTestServer::Answer, TTestServer::Ok(NotFound), "NOSUCH STAR", {"Object not found"}, "1 2 3"},
      {TTestServer::Answer, TTestServer::Ok(NoCoordinates), "M 31", {"Coordinates not found"}, "1 2 3"},
      {TTestServer::Answer,
       "HTTP/1.1 500 Internal Server Error\r\nContent-Length: 0\r\nConnection: close\r\n\r\n",
       "Vega",
       {"Access to Simbad failed"},
       "1 2 3"},
      {TTestServer::Close, "", "Vega", {"Access to Simbad failed"}, "1 2 3"},
      {TTestServer::Hang, "", "Vega", {"Access to Simbad failed"}, "1 2 3"},
      {TTestServer::Trickle, "", "Vega", {"Access to Simbad failed"}, "1 2 3"},
      {TTestServer::Flood, "", "Vega", {"Access to Simbad failed"}, "1 2 3"},
      // An announced length above the cap.
      {TTestServer::Answer,
       TTestServer::Ok(QByteArray((1 << 20) + 1, 'x')),
       "Vega",
       {"Access to Simbad failed"},
       "1 2 3"},
  };
  for (const Row &R : Rows) {
    SCOPED_TRACE(std::string(R.Name) + " mode " + std::to_string(R.Mode));
    Server.Mode = R.Mode;
    Server.Response = R.Response;
    Fake->Clear();
    F->EdRA->setText("1 2 3");
    F->EdObject->setText(R.Name);
    F->BuSimbadClick();
    WaitForSimbad(*F);
    EXPECT_EQ(Errors(), R.Errors);
    EXPECT_EQ(T(F->EdRA), R.Ra);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  }
  // The request line and the Accept header as they reached the server.
  ASSERT_FALSE(Server.Requests.empty());
  const std::string &First = Server.Requests.front();
  EXPECT_EQ(First.rfind("GET /simbad/sim-id?output.format=ASCII&obj.coo4=off", 0), 0u) << First;
  EXPECT_NE(First.find("&Ident=HD%20124897 HTTP/1.1\r\n"), std::string::npos) << First;
  EXPECT_NE(First.find("\r\nAccept: text/html, */*"), std::string::npos) << First;

  // Nobody listening: refused at once.
  Endpoint.Host = "127.0.0.1:1";
  Fake->Clear();
  F->BuSimbadClick();
  WaitForSimbad(*F);
  EXPECT_EQ(Errors(), std::vector<std::string>{"Access to Simbad failed"});
  // A scheme other than http or https.
  Endpoint.Scheme = "ftp";
  Fake->Clear();
  F->BuSimbadClick();
  WaitForSimbad(*F);
  EXPECT_EQ(Errors(), std::vector<std::string>{"Access to Simbad failed"});
}
