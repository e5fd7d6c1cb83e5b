#pragma once
// The HTTP GET of the program through Qt Network: asynchronous on the event loop, with a
// deadline for the whole request and a cap on the size of the reply, so that a hung, slow,
// closing or hostile server ends in a failure and never in a frozen or exhausted program.
#include <QByteArray>
#include <QObject>
#include <memory>

#include "astro/UHttpGet.h"

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

class TQtHttpGet : public QObject, public THttpGet {
  Q_OBJECT
public:
  explicit TQtHttpGet(QObject *Parent = nullptr);
  ~TQtHttpGet() override;

  void Start(const THttpRequest &Request, TDone Done) override;
  void Cancel() override;
  bool Running() const override { return static_cast<bool>(pDone); }

private:
  void ReadSome();
  void Finished();
  // Ends the request with a failure and delivers it (Done runs from here).
  void Fail(const std::string &Error);
  void Deliver(const THttpResult &R);
  void Drop();

  QNetworkAccessManager *pManager = nullptr;
  QNetworkReply *pReply = nullptr;
  QTimer *pDeadline;
  QByteArray pBody;
  int64_t pMaxBytes = 0;
  // Counts requests, so that a failure queued for an earlier one is not delivered to a later.
  uint64_t pGeneration = 0;
  TDone pDone;
};
