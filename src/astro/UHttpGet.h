#pragma once
// The one network access of the program, the SIMBAD query, behind a small interface: an HTTP
// GET whose body comes back as text, never blocking the caller. The program uses the Qt
// Network implementation (UHttpGetQt); tests use the scripted stand-in below or a server of
// their own on the loopback address.
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

struct THttpRequest {
  std::string Url;
  std::string Accept;         // the Accept header
  int TimeoutMs = 15000;      // the whole request, connection to last byte
  int64_t MaxBytes = 1 << 20; // a longer body fails the request
};

struct THttpResult {
  bool Ok = false;
  std::string Body;  // the body when Ok
  std::string Error; // why not (for the record; the user sees one fixed text)
};

class THttpGet {
public:
  using TDone = std::function<void(const THttpResult &)>;
  virtual ~THttpGet() = default;
  // Starts the request (a running one is cancelled first). Done runs exactly once, later,
  // from the event loop, never from within Start, unless Cancel comes first.
  virtual void Start(const THttpRequest &Request, TDone Done) = 0;
  // Stops a running request; its Done never runs. Nothing happens when none runs.
  virtual void Cancel() = 0;
  virtual bool Running() const = 0;
};

// The scripted stand-in: it records the requests and finishes one only when the test says so.
class TFakeHttpGet : public THttpGet {
public:
  std::vector<THttpRequest> Requests;
  int Cancelled = 0;

  void Start(const THttpRequest &Request, TDone Done) override;
  void Cancel() override;
  bool Running() const override { return static_cast<bool>(pDone); }
  // Finishes the running request with Body (Ok) or with a failure.
  void Reply(const std::string &Body);
  void Fail(const std::string &Error);

private:
  void Finish(const THttpResult &R);
  TDone pDone;
};
