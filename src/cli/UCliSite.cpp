#include "cli/UCliSite.h"

#include <filesystem>
#include <system_error>
#include <unistd.h>

#include "cli/UCliCommon.h"
#include "core/UGlobalData.h"

namespace fs = std::filesystem;

std::string ProgramDir() {
  char Buf[4096];
  const ssize_t N = ::readlink("/proc/self/exe", Buf, sizeof Buf - 1);
  if (N > 0) {
    Buf[N] = '\0';
    return fs::path(Buf).parent_path().string();
  }
  std::error_code Ec;
  return fs::current_path(Ec).string();
}

TDateTimeInt ParseUtc(const std::string &Text) {
  const ECliUsage Bad{"--utc: '" + Text + "' is not a date and time YYYY-MM-DDTHH:MM:SS"};
  if (Text.size() != 19 || Text[4] != '-' || Text[7] != '-' || (Text[10] != 'T' && Text[10] != ' ') ||
      Text[13] != ':' || Text[16] != ':')
    throw Bad;
  auto Field = [&](size_t Pos, size_t Len) {
    int V = 0;
    for (size_t i = Pos; i < Pos + Len; ++i) {
      if (Text[i] < '0' || Text[i] > '9') throw Bad;
      V = V * 10 + (Text[i] - '0');
    }
    return V;
  };
  TDateTimeInt D{Field(0, 4), Field(5, 2), Field(8, 2), Field(11, 2), Field(14, 2), Field(17, 2)};
  if (D.Month < 1 || D.Month > 12 || D.Day < 1 || D.Day > 31 || D.Hour > 23 || D.Minute > 59 || D.Second > 60)
    throw Bad;
  return D;
}

void SiteFromSettings(double &TAImUTC, double &Lon, double &Lat, double &Height) {
  TGlobalData G(ProgramDir() + "/orvalumetrix");
  std::error_code Ec;
  const fs::path Cur = fs::current_path(Ec);
  G.ReadIniFile();
  if (!Ec) fs::current_path(Cur, Ec);
  TAImUTC = G.TAImUTC();
  Lon = G.ObsLong();
  Lat = G.ObsLat();
  Height = G.ObsHeight();
}
