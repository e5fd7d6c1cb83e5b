#include "core/UGlobalData.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>

#include "core/USafeFile.h"

namespace fs = std::filesystem;

// The default site is the Observatoire de Haute-Provence (France): 43.9317 deg N,
// 5.7122 deg E, i.e. -5.7122 deg counted positive to the west.
const double TGlobalData::DefaultLongitude = -5.7122;
const double TGlobalData::DefaultLatitude = 43.9317;
// At most 68 characters, the longest string a FITS header card holds.
const char *const TGlobalData::DefaultBSS_INST = "Celestron C11 + LHIRES III, 2400 l/mm grating + ATIK 314L+";
// TAI - UTC in seconds, the value since 2017 January 1.
const double TGlobalData::DefaultTAImUTC = 37;
const char *const TGlobalData::DefaultSimbadScheme = "https";
const char *const TGlobalData::DefaultSimbadHost = "simbad.cds.unistra.fr";

namespace {
const char *const SecLocations = "Locations";
const char *const SecObserver = "Observer";
const char *const SecKeywords = "FITS Keywords";
} // namespace

TGlobalData::TGlobalData(const std::string &AppName)
    : pExeName(AppName), pObsLon(DefaultLongitude), pObsLat(DefaultLatitude), pBSS_INST(DefaultBSS_INST) {
  std::string Dir = ExtractFilePath(AppName);
  if (Dir.empty()) {
    std::error_code Ec;
    Dir = fs::current_path(Ec).string() + "/";
  }
  pExeDir = Dir.size() > 1 ? Dir.substr(0, Dir.size() - 1) : Dir;
  pLastDir = pExeDir;
  pLBLRTMDir = pExeDir + "/LBLRTM_Models";
}

TGlobalData::~TGlobalData() = default;

std::string TGlobalData::IniFileName() const {
  if (!pIniOverride.empty()) return pIniOverride;
  std::string Name = ChangeFileExt(ExtractFileName(pExeName), ".ini");
  if (::access(pExeDir.c_str(), W_OK) == 0) return pExeDir + "/" + Name;
  // The program's folder is not writable (an installed program): the user's configuration folder.
  std::string Config;
  if (const char *X = std::getenv("XDG_CONFIG_HOME"); X && *X)
    Config = X;
  else if (const char *H = std::getenv("HOME"); H && *H)
    Config = std::string(H) + "/.config";
  else
    return pExeDir + "/" + Name;
  return Config + "/orvalumetrix/" + Name;
}

TIniFile &TGlobalData::Ini() {
  if (!pIni) pIni = std::make_unique<TIniFile>(IniFileName());
  return *pIni;
}

void TGlobalData::ReadIniFile() {
  pIni = std::make_unique<TIniFile>(IniFileName());
  const TIniFile &I = *pIni;
  pLastDir = I.ReadString(SecLocations, "LastDir", pExeDir);
  std::error_code Ec;
  if (!pLastDir.empty() && fs::is_directory(pLastDir, Ec)) fs::current_path(pLastDir, Ec);
  pSimbadScheme = I.ReadString(SecLocations, "SimbadScheme", DefaultSimbadScheme);
  pSimbadHost = I.ReadString(SecLocations, "SimbadHost", DefaultSimbadHost);
  pTAImUTC = I.ReadFloat(SecObserver, "TAI-UTC", DefaultTAImUTC);
  pObsLon = I.ReadFloat(SecObserver, "Longitude", DefaultLongitude);
  pObsLat = I.ReadFloat(SecObserver, "Latitude", DefaultLatitude);
  pObsHeight = I.ReadFloat(SecObserver, "Height(m)", 600);
  pOBSERVER = I.ReadString(SecKeywords, "OBSERVER", "k-ternwald");
  pBSS_SITE = I.ReadString(SecKeywords, "BSS_SITE", "Almsted QX");
  pBSS_INST = I.ReadString(SecKeywords, "BSS_INST", DefaultBSS_INST);
}

void TGlobalData::WriteIniFile() {
  TIniFile &I = Ini();
  std::error_code Ec;
  fs::path Cur = fs::current_path(Ec);
  I.WriteString(SecLocations, "LastDir", Ec ? pLastDir : Cur.string());
  I.WriteString(SecLocations, "SimbadScheme", pSimbadScheme);
  I.WriteString(SecLocations, "SimbadHost", pSimbadHost);
  I.WriteFloat(SecObserver, "TAI-UTC", pTAImUTC);
  I.WriteFloat(SecObserver, "Longitude", pObsLon);
  I.WriteFloat(SecObserver, "Latitude", pObsLat);
  I.WriteFloat(SecObserver, "Height(m)", pObsHeight);
  I.WriteString(SecKeywords, "OBSERVER", pOBSERVER);
  I.WriteString(SecKeywords, "BSS_SITE", pBSS_SITE);
  I.WriteString(SecKeywords, "BSS_INST", pBSS_INST);
  std::string FName = IniFileName();
  fs::create_directories(fs::path(FName).parent_path(), Ec);
  I.SaveToFile(FName);
}
