// The SIMBAD identifier query and its reply.
#include "astro/USimbad.h"

#include <cstring>

#include "core/UErrors.h"
#include "core/UFormat.h"
#include "core/USimpleParser.h"

#define ORVA_UNIT "USimbad"

const char *const SimbadDefaultBase = "https://simbad.cds.unistra.fr";
const char *const SimbadDefaultScheme = "https";
const char *const SimbadDefaultHost = "simbad.cds.unistra.fr";
const char *const SimbadAccept = "text/html, */*";

namespace {

const char *const QueryOptions = "output.format=ASCII"
                                 "&obj.coo4=off&obj.coo3=off&obj.coo2=off&obj.coo1=on&frame1=ICRS"
                                 "&epoch1=J2000&equi1=2000&coodisp1=s&obj.mtsel=off&obj.plxsel=off"
                                 "&obj.sizesel=off&obj.bibsel=off&obj.messel=off&obj.notesel=off&Ident=";

// Characters kept as they are in the identifier: letters, digits and the punctuation of
// catalogue names. "+" would arrive as a blank ("BD+19 2789"), "&", "#", "=" and "%" would
// change the query, so they and everything else are percent-encoded.
bool KeepAsIs(unsigned char C) {
  if ((C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || (C >= '0' && C <= '9')) return true;
  return C != 0 && std::strchr("-._~*()'!:/,;@$[]", C) != nullptr;
}

} // namespace

std::string SimbadQueryUrl(const std::string &ObjectName, const std::string &Base) {
  const std::string Name = Trim(ObjectName);
  if (Name.empty()) OrvaRaise("No Object Name");
  std::string Url = Base + "/simbad/sim-id?" + QueryOptions;
  static const char Hex[] = "0123456789ABCDEF";
  for (unsigned char C : Name) {
    if (KeepAsIs(C)) {
      Url += static_cast<char>(C);
    } else {
      Url += '%';
      Url += Hex[C >> 4];
      Url += Hex[C & 15];
    }
  }
  return Url;
}

const std::string *SimbadLine(const std::vector<std::string> &Lines, const std::string &Key) {
  for (const std::string &L : Lines)
    if (L.compare(0, Key.size(), Key) == 0) return &L;
  return nullptr;
}

TSimbadReply ParseSimbadReply(const std::string &Reply) {
  TSimbadReply R;
  size_t Start = 0;
  for (size_t Lf = Reply.find('\n'); Lf != std::string::npos; Lf = Reply.find('\n', Start)) {
    R.Lines.push_back(Reply.substr(Start, Lf - Start));
    Start = Lf + 1;
  }
  // The object: "Object NAME  ---  TYPE  ---  OID=...".
  const std::string *Obj = SimbadLine(R.Lines, "Object");
  const size_t Dash = Obj ? Obj->find("---") : std::string::npos;
  if (Dash == std::string::npos) {
    R.Error = "Object not found";
    return R;
  }
  R.Result.push_back(Trim(std::string_view(*Obj).substr(0, Dash)));
  for (const char *Key : {"Radial Velocity", "Spectral type"})
    if (const std::string *L = SimbadLine(R.Lines, Key)) R.Result.push_back(*L);
  // "Coordinates(ICRS,ep=J2000,eq=2000): 14 15 39.67207  +19 10 56.6730 (Opt ) A [...]":
  // numbers up to the first signed one are the RA, that one and the numbers after it the
  // declination; the first field that is not a number ends the coordinates.
  const std::string *Coo = SimbadLine(R.Lines, "Coordinates");
  TSimpleParser P;
  if (Coo) P.ParseBlank(*Coo);
  if (!Coo || P.Count() < 3) {
    R.Error = "Coordinates not found";
    return R;
  }
  R.HasCoordinates = true;
  bool InDec = false;
  for (int i = 1; i < P.Count(); ++i) {
    const std::string &F = P.Strings(i);
    double V;
    if (!TryStrToFloat(F, V)) break;
    if (F[0] == '+' || F[0] == '-') InDec = true;
    (InDec ? R.De : R.Ra) += " " + F;
  }
  R.Ra = Trim(R.Ra);
  R.De = Trim(R.De);
  return R;
}
