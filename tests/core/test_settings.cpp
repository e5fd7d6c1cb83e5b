// The settings file: our INI form, defaults on a first run, the round trip, and the folder
// the file goes to.
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

#include "common/TestUtil.h"
#include "core/UFitsBess.h"
#include "core/UGlobalData.h"
#include "core/UIniFile.h"

namespace {

using testutil::TTempDir;
namespace fs = std::filesystem;

// Restores the process's current folder, which ReadIniFile changes.
class Settings : public ::testing::Test {
protected:
  void SetUp() override { pCwd = fs::current_path(); }
  void TearDown() override { fs::current_path(pCwd); }
  fs::path pCwd;
  TTempDir pDir;
};

TEST(IniFile, PlainForm) {
  TIniFile I;
  I.LoadFromText("; a comment\r\n[Observer]\r\nTAI-UTC=37\r\nHeight(m) = 600.5\r\n\r\n[FITS Keywords]\r\n"
                 "BSS_INST=C11 + LHIRES + ATIK=314\r\n[observer]\r\nLatitude=1\r\n");
  EXPECT_EQ(I.ReadString("Observer", "TAI-UTC", ""), "37");
  EXPECT_EQ(I.ReadString("OBSERVER", "tai-utc", ""), "37"); // the platform ignores case
  EXPECT_DOUBLE_EQ(I.ReadFloat("Observer", "Height(m)", 0), 600.5);
  EXPECT_EQ(I.ReadString("FITS Keywords", "BSS_INST", ""), "C11 + LHIRES + ATIK=314");
  EXPECT_DOUBLE_EQ(I.ReadFloat("Observer", "Latitude", 0), 1); // a repeated section joins the first
  EXPECT_EQ(I.ReadString("None", "x", "dflt"), "dflt");
  EXPECT_DOUBLE_EQ(I.ReadFloat("FITS Keywords", "BSS_INST", -1), -1);

  TIniFile W;
  W.WriteString("Locations", "LastDir", "/home/u/spectra");
  W.WriteFloat("Observer", "TAI-UTC", 37);
  W.WriteFloat("Observer", "Longitude", -5.7122);
  W.WriteString("FITS Keywords", "OBSERVER", "a\nb");
  EXPECT_EQ(W.SaveToText(),
            "[Locations]\nLastDir=/home/u/spectra\n\n[Observer]\nTAI-UTC=37\nLongitude=-5.7122\n\n"
            "[FITS Keywords]\nOBSERVER=a b\n");
  EXPECT_EQ(IniFloatText(0.1), "0.1");
  EXPECT_EQ(IniFloatText(1.0 / 3.0), "0.333333333333333");
}

TEST_F(Settings, FirstRunDefaultsAndFileWritten) {
  TGlobalData G(pDir.File("orvalumetrix"));
  EXPECT_EQ(G.IniFileName(), pDir.File("orvalumetrix.ini"));
  EXPECT_EQ(G.ExeDir(), pDir.Path());
  EXPECT_EQ(G.LBLRTMDir(), pDir.Path() + "/LBLRTM_Models");
  EXPECT_EQ(G.TAImUTC(), 37); // before reading, too
  G.ReadIniFile();
  EXPECT_EQ(G.TAImUTC(), 37); // TAI - UTC since 2017
  EXPECT_EQ(G.ObsHeight(), 600);
  EXPECT_EQ(G.ObsLong(), TGlobalData::DefaultLongitude);
  EXPECT_EQ(G.OBSERVER(), "k-ternwald");
  EXPECT_EQ(G.BSS_SITE(), "Almsted QX");
  EXPECT_EQ(G.BSS_INST(), TGlobalData::DefaultBSS_INST);
  // The default instrument must fit a FITS card: the writer refuses longer values.
  TFitsBess H;
  EXPECT_NO_THROW(H.SetBSS_INST(G.BSS_INST()));
  EXPECT_EQ(H.BSS_INST(), G.BSS_INST());
  EXPECT_EQ(fs::current_path(), fs::path(pDir.Path()));
  G.SetTAImUTC(36.5);
  G.WriteIniFile();
  std::string Text = testutil::ReadFile(pDir.File("orvalumetrix.ini"));
  EXPECT_NE(Text.find("[Observer]\nTAI-UTC=36.5\n"), std::string::npos) << Text;
  EXPECT_NE(Text.find("Height(m)=600\n"), std::string::npos) << Text;
  EXPECT_NE(Text.find("[FITS Keywords]\n"), std::string::npos) << Text;
  TIniFile Back(pDir.File("orvalumetrix.ini"));
  int Entries = 0;
  for (const auto &S : Back.Sections())
    Entries += static_cast<int>(S.Entries.size());
  EXPECT_EQ(Back.Sections().size(), 3u);
  EXPECT_EQ(Entries, 10);
  EXPECT_NE(Text.find("SimbadScheme=https\nSimbadHost=simbad.cds.unistra.fr\n"), std::string::npos) << Text;
}

TEST_F(Settings, RoundTripAndLastDir) {
  std::string Work = pDir.File("night1");
  fs::create_directory(Work);
  {
    TGlobalData G(pDir.File("orvalumetrix"));
    G.ReadIniFile();
    G.SetObsLat(-24.627);
    G.SetObsHeight(2635.43210987654);
    G.SetBSS_INST("T1 + S2 + C3");
    G.SetSimbadScheme("http");
    G.SetSimbadHost("127.0.0.1:8080");
    fs::current_path(Work); // where files were last opened from
    G.WriteIniFile();
  }
  fs::current_path(pCwd);
  TGlobalData G(pDir.File("orvalumetrix"));
  G.ReadIniFile();
  EXPECT_EQ(fs::current_path(), fs::path(Work));
  EXPECT_EQ(G.LastDir(), Work);
  EXPECT_EQ(G.ObsLat(), -24.627);
  EXPECT_EQ(G.ObsHeight(), 2635.43210987654);
  EXPECT_EQ(G.SimbadScheme(), "http");
  EXPECT_EQ(G.SimbadHost(), "127.0.0.1:8080");
  EXPECT_EQ(G.BSS_INST(), "T1 + S2 + C3");

  // A file that holds TAI-UTC keeps its value, whatever the default.
  testutil::WriteFile(pDir.File("orvalumetrix.ini"), "[Observer]\nTAI-UTC=35\n");
  TGlobalData Old(pDir.File("orvalumetrix"));
  Old.ReadIniFile();
  EXPECT_EQ(Old.TAImUTC(), 35);
}

TEST_F(Settings, UnreadableValuesAndMissingFolder) {
  testutil::WriteFile(pDir.File("orvalumetrix.ini"),
                      "[Locations]\nLastDir=/no/such/folder\n[Observer]\nTAI-UTC=3,5\nLatitude=abc\n");
  fs::current_path(pDir.Path());
  TGlobalData G(pDir.File("orvalumetrix"));
  G.ReadIniFile();
  EXPECT_EQ(G.TAImUTC(), 37);
  EXPECT_EQ(G.ObsLat(), TGlobalData::DefaultLatitude);
  EXPECT_EQ(fs::current_path(), fs::path(pDir.Path())); // unchanged
}

TEST_F(Settings, OtherSectionsSurvive) {
  testutil::WriteFile(pDir.File("orvalumetrix.ini"), "[H2O]\nFWHMCenter=0.35\n");
  TGlobalData G(pDir.File("orvalumetrix"));
  G.ReadIniFile();
  EXPECT_DOUBLE_EQ(G.Ini().ReadFloat("H2O", "FWHMCenter", 0), 0.35);
  G.WriteIniFile();
  TIniFile Back(pDir.File("orvalumetrix.ini"));
  EXPECT_DOUBLE_EQ(Back.ReadFloat("H2O", "FWHMCenter", 0), 0.35);
}

TEST_F(Settings, NotWritableFolderUsesConfigFolder) {
  if (::geteuid() == 0) GTEST_SKIP() << "root can write into any folder";
  std::string Ro = pDir.File("ro");
  fs::create_directory(Ro);
  fs::permissions(Ro, fs::perms::owner_read | fs::perms::owner_exec);
  setenv("XDG_CONFIG_HOME", pDir.File("cfg").c_str(), 1);
  TGlobalData G(Ro + "/orvalumetrix");
  EXPECT_EQ(G.IniFileName(), pDir.File("cfg") + "/orvalumetrix/orvalumetrix.ini");
  G.WriteIniFile();
  EXPECT_TRUE(fs::exists(G.IniFileName()));
  unsetenv("XDG_CONFIG_HOME");
}

} // namespace
