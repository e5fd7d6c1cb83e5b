#pragma once
// The user settings that outlive a run: the last working folder, the observer's site, TAI-UTC,
// the defaults of three BeSS header keywords, and the folder of the model atmospheres.
#include <memory>
#include <string>

#include "core/UIniFile.h"

class TGlobalData {
public:
  // AppName: the program's full file name. Reads nothing.
  explicit TGlobalData(const std::string &AppName);

  // Reads "LastDir" and makes it the current folder (when it exists), then the other entries.
  void ReadIniFile();
  // Writes all entries; "LastDir" is the process's current folder at this moment.
  void WriteIniFile();

  // The settings file: the program's name with its extension replaced by ".ini", beside the
  // program; when that folder is not writable, the same name under the user's
  // configuration folder ($XDG_CONFIG_HOME or ~/.config, subfolder "orvalumetrix").
  std::string IniFileName() const;
  // Overrides the file location (tests, and the rare caller that knows better).
  void SetIniFileName(const std::string &FName) { pIniOverride = FName; }

  // Other sections (for example "H2O") are kept in the file by their owners through these.
  TIniFile &Ini();

  const std::string &ExeName() const { return pExeName; }
  const std::string &ExeDir() const { return pExeDir; }
  const std::string &LastDir() const { return pLastDir; }
  const std::string &LBLRTMDir() const { return pLBLRTMDir; }
  // Where the SIMBAD query goes: scheme ("https" or "http") and host (may carry ":port").
  const std::string &SimbadScheme() const { return pSimbadScheme; }
  void SetSimbadScheme(const std::string &V) { pSimbadScheme = V; }
  const std::string &SimbadHost() const { return pSimbadHost; }
  void SetSimbadHost(const std::string &V) { pSimbadHost = V; }
  double TAImUTC() const { return pTAImUTC; }
  void SetTAImUTC(double V) { pTAImUTC = V; }
  // Degrees, positive west of Greenwich.
  double ObsLong() const { return pObsLon; }
  void SetObsLong(double V) { pObsLon = V; }
  // Degrees, positive north.
  double ObsLat() const { return pObsLat; }
  void SetObsLat(double V) { pObsLat = V; }
  // Metres.
  double ObsHeight() const { return pObsHeight; }
  void SetObsHeight(double V) { pObsHeight = V; }
  const std::string &OBSERVER() const { return pOBSERVER; }
  void SetOBSERVER(const std::string &V) { pOBSERVER = V; }
  const std::string &BSS_SITE() const { return pBSS_SITE; }
  void SetBSS_SITE(const std::string &V) { pBSS_SITE = V; }
  const std::string &BSS_INST() const { return pBSS_INST; }
  void SetBSS_INST(const std::string &V) { pBSS_INST = V; }

  // The default site and texts (see UGlobalData.cpp for which site).
  static const double DefaultLongitude;
  static const double DefaultLatitude;
  static const char *const DefaultBSS_INST;
  static const double DefaultTAImUTC;
  static const char *const DefaultSimbadScheme;
  static const char *const DefaultSimbadHost;

  ~TGlobalData();

private:
  std::string pExeName;
  std::string pExeDir;
  std::string pLastDir;
  std::string pLBLRTMDir;
  std::string pSimbadScheme = DefaultSimbadScheme;
  std::string pSimbadHost = DefaultSimbadHost;
  double pTAImUTC = DefaultTAImUTC;
  double pObsLon;
  double pObsLat;
  double pObsHeight = 600;
  std::string pOBSERVER = "k-ternwald";
  std::string pBSS_SITE = "Almsted QX";
  std::string pBSS_INST;
  std::string pIniOverride;
  std::unique_ptr<TIniFile> pIni;
};
