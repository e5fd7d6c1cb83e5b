// The HTTP GET through Qt Network.
#include "astro/UHttpGetQt.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>
#include <utility>

#define ORVA_UNIT "UHttpGetQt"

TQtHttpGet::TQtHttpGet(QObject *Parent) : QObject(Parent), pDeadline(new QTimer(this)) {
  pDeadline->setSingleShot(true);
  pDeadline->setTimerType(Qt::PreciseTimer);
  connect(pDeadline, &QTimer::timeout, this, [this] { Fail("no complete reply within the time allowed"); });
}

TQtHttpGet::~TQtHttpGet() {
  pDone = nullptr;
  Drop();
}

void TQtHttpGet::Start(const THttpRequest &Request, TDone Done) {
  Cancel();
  pDone = std::move(Done);
  pMaxBytes = Request.MaxBytes;
  // The deadline covers everything, a refused URL included, whose failure also arrives later.
  pDeadline->start(Request.TimeoutMs);
  const QUrl Url(QString::fromStdString(Request.Url), QUrl::TolerantMode);
  if (!Url.isValid() || (Url.scheme() != "http" && Url.scheme() != "https") || Url.host().isEmpty()) {
    QTimer::singleShot(0, this, [this, Gen = pGeneration] {
      if (Gen == pGeneration && pDone) Fail("not an http or https address");
    });
    return;
  }
  if (!pManager) pManager = new QNetworkAccessManager(this);
  QNetworkRequest R(Url);
  R.setRawHeader("Accept", QByteArray::fromStdString(Request.Accept));
  R.setMaximumRedirectsAllowed(5);
  pReply = pManager->get(R);
  connect(pReply, &QNetworkReply::readyRead, this, &TQtHttpGet::ReadSome);
  connect(pReply, &QNetworkReply::finished, this, &TQtHttpGet::Finished);
}

void TQtHttpGet::ReadSome() {
  if (!pReply) return;
  // A length announced beyond the cap fails before the body is read.
  const QVariant Len = pReply->header(QNetworkRequest::ContentLengthHeader);
  if (Len.isValid() && Len.toLongLong() > pMaxBytes) {
    Fail("reply larger than allowed");
    return;
  }
  pBody += pReply->readAll();
  if (pBody.size() > pMaxBytes) Fail("reply larger than allowed");
}

void TQtHttpGet::Finished() {
  if (!pReply) return;
  ReadSome();
  if (!pReply) return; // the cap failed it
  if (pReply->error() != QNetworkReply::NoError) {
    Fail(pReply->errorString().toStdString());
    return;
  }
  THttpResult R{true, pBody.toStdString(), ""};
  Drop();
  Deliver(R);
}

void TQtHttpGet::Fail(const std::string &Error) {
  Drop();
  Deliver(THttpResult{false, "", Error});
}

void TQtHttpGet::Deliver(const THttpResult &R) {
  if (!pDone) return;
  // Done may start another request.
  TDone Done = std::move(pDone);
  pDone = nullptr;
  Done(R);
}

void TQtHttpGet::Cancel() {
  pDone = nullptr;
  Drop();
}

void TQtHttpGet::Drop() {
  ++pGeneration;
  pDeadline->stop();
  pBody.clear();
  if (QNetworkReply *Rp = std::exchange(pReply, nullptr)) {
    Rp->disconnect(this);
    Rp->abort();
    Rp->deleteLater();
  }
}
