// The scripted stand-in of the HTTP access.
#include "astro/UHttpGet.h"

#include <utility>

#include "core/UErrors.h"

#define ORVA_UNIT "UHttpGet"

void TFakeHttpGet::Start(const THttpRequest &Request, TDone Done) {
  Cancel();
  Requests.push_back(Request);
  pDone = std::move(Done);
}

void TFakeHttpGet::Cancel() {
  if (!pDone) return;
  pDone = nullptr;
  ++Cancelled;
}

void TFakeHttpGet::Reply(const std::string &Body) { Finish(THttpResult{true, Body, ""}); }

void TFakeHttpGet::Fail(const std::string &Error) { Finish(THttpResult{false, "", Error}); }

void TFakeHttpGet::Finish(const THttpResult &R) {
  ORVA_ASSERT(pDone != nullptr);
  // The callback may start the next request.
  TDone Done = std::move(pDone);
  pDone = nullptr;
  Done(R);
}
