#pragma once
// The SIMBAD identifier query: the request URL and the reading of its plain-text (ASCII)
// reply into what the barycentric dialog shows. The HTTP request itself belongs to the
// window layer; the host is configuration.
#include <string>
#include <vector>

// Scheme and host of the SIMBAD service used when nothing else is configured.
extern const char *const SimbadDefaultBase;
extern const char *const SimbadDefaultScheme; // "https"
extern const char *const SimbadDefaultHost;   // "simbad.cds.unistra.fr"

// Where the identifier query goes: the settings' scheme ("http" or "https") and host (a name
// or address, optionally with ":port").
struct TSimbadEndpoint {
  std::string Scheme = SimbadDefaultScheme;
  std::string Host = SimbadDefaultHost;
  // "scheme://host", the Base of SimbadQueryUrl.
  std::string Base() const { return Scheme + "://" + Host; }
};
// The Accept header of the request.
extern const char *const SimbadAccept;

// The URL of the identifier query for ObjectName (trimmed; blanks sent as "%20", characters
// that would change the query's meaning percent-encoded). Base: scheme and host, for example
// "https://simbad.cds.unistra.fr", without trailing "/". An empty name raises EOrvaError
// "No Object Name".
std::string SimbadQueryUrl(const std::string &ObjectName, const std::string &Base = SimbadDefaultBase);

struct TSimbadReply {
  // The reply split at line feeds (a carriage return stays part of its line; text after the
  // last line feed is dropped).
  std::vector<std::string> Lines;
  // What goes into the result box, in order: the object, then the radial velocity and the
  // spectral type lines when present.
  std::vector<std::string> Result;
  // True when a coordinate line was found: Ra and De then replace the dialog's fields.
  bool HasCoordinates = false;
  std::string Ra, De;
  // "" or the message to show: "Object not found", "Coordinates not found". What was found
  // before the failure stays in Result.
  std::string Error;
};

TSimbadReply ParseSimbadReply(const std::string &Reply);

// The first line that begins with Key (exact, case-sensitive), or nullptr.
const std::string *SimbadLine(const std::vector<std::string> &Lines, const std::string &Key);
