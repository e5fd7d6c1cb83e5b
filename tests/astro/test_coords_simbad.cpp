// Typed coordinates and the SIMBAD identifier query: the request URL and the reading of the
// plain-text reply (layouts as SIMBAD's ASCII output writes them).
#include <gtest/gtest.h>

#include "astro/UCoordParse.h"
#include "astro/USimbad.h"
#include "core/UErrors.h"

namespace {

std::string ErrorOf(const std::function<void()> &F) {
  try {
    F();
  } catch (const EOrvaError &E) {
    return E.what();
  }
  return "";
}

} // namespace

TEST(Coordinates, RightAscension) {
  struct {
    const char *Text;
    double Deg;
  } Good[] = {{"14 15", 213.75},
              {"14 15 39.6720", (14 + 15 / 60.0 + 39.672 / 3600) * 15},
              {"  0  0  0 ", 0},
              {"23 59 59.999", (23 + 59 / 60.0 + 59.999 / 3600) * 15},
              {"5", 75},
              {"+5 30", 82.5},
              {"14 15 3.96e1", (14 + 15 / 60.0 + 39.6 / 3600) * 15}};
  for (const auto &G : Good)
    EXPECT_NEAR(GetRa(G.Text), G.Deg, 1e-12) << G.Text;
  const char *Bad[] = {"",         "   ",        "24 0 0",  "-1 0 0",  "14 60",      "14 -1",
                       "14 15 60", "14 15 -0.1", "14.5",    "14 15.5", "14 15 39 1", "14h 15m",
                       "14,15",    "14 15 39,6", "1 2 nan", "1\t2"};
  for (const char *B : Bad)
    EXPECT_EQ(ErrorOf([&] { GetRa(B); }), "Unknown RA format") << "'" << B << "'";
}

TEST(Coordinates, Declination) {
  struct {
    const char *Text;
    double Deg;
  } Good[] = {{"-00 30 00", -0.5},
              {"+19 10 56.677", 19 + 10 / 60.0 + 56.677 / 3600},
              {"-19 10 56.677", -(19 + 10 / 60.0 + 56.677 / 3600)},
              {"90", 90},
              {"-90 0 0", -90},
              {"+90 00 00.0", 90},
              {"0 0 1", 1 / 3600.0},
              {"-0 0 1", -1 / 3600.0},
              {"45", 45}};
  for (const auto &G : Good)
    EXPECT_NEAR(GetDe(G.Text), G.Deg, 1e-12) << G.Text;
  const char *Bad[] = {"",     "+90 0 1", "90 1",    "91",    "-91 0 0", "10 60",  "10 0 60", "10 -5",
                       "10.5", "1 2 3 4", "+19d 10", "a b c", "10 0 -1", "--10 0", "10 5.5"};
  for (const char *B : Bad)
    EXPECT_EQ(ErrorOf([&] { GetDe(B); }), "Unknown Dec format") << "'" << B << "'";
}

TEST(Simbad, QueryUrl) {
  const std::string Opts = "/simbad/sim-id?output.format=ASCII"
                           "&obj.coo4=off&obj.coo3=off&obj.coo2=off&obj.coo1=on&frame1=ICRS"
                           "&epoch1=J2000&equi1=2000&coodisp1=s&obj.mtsel=off&obj.plxsel=off"
                           "&obj.sizesel=off&obj.bibsel=off&obj.messel=off&obj.notesel=off&Ident=";
  EXPECT_EQ(SimbadQueryUrl("Arcturus"), std::string(SimbadDefaultBase) + Opts + "Arcturus");
  EXPECT_EQ(SimbadQueryUrl("  HD 124897 ", "http://127.0.0.1:8080"),
            "http://127.0.0.1:8080" + Opts + "HD%20124897");
  EXPECT_EQ(SimbadQueryUrl("NGC  7000", "h"), "h" + Opts + "NGC%20%207000");
  EXPECT_EQ(SimbadQueryUrl("* alf Boo", "h"), "h" + Opts + "*%20alf%20Boo");
  // A "+" would reach the server as a blank, "&" and "#" would cut the name short.
  EXPECT_EQ(SimbadQueryUrl("BD+19 2789", "h"), "h" + Opts + "BD%2B19%202789");
  EXPECT_EQ(SimbadQueryUrl("A&B#1=2%", "h"), "h" + Opts + "A%26B%231%3D2%25");
  EXPECT_EQ(SimbadQueryUrl("V* V1057 Cyg", "h"), "h" + Opts + "V*%20V1057%20Cyg");
  EXPECT_EQ(ErrorOf([] { SimbadQueryUrl(""); }), "No Object Name");
  EXPECT_EQ(ErrorOf([] { SimbadQueryUrl("  "); }), "No Object Name");
  EXPECT_STREQ(SimbadAccept, "text/html, */*");
}

namespace {

// The reply to an identifier query for Arcturus in the ASCII format.
const char *const ArcturusReply =
    "C.D.S.  -  SIMBAD4 rel 1.8  -  2024.03.12CET10:11:12\r\n"
    "\r\n"
    "Arcturus\r\n"
    "--------\r\n"
    "\r\n"
    "Object alf Boo  ---  RG*  ---  OID=@1345  (@@1345)  ---  coo: 14 15 39.67207 +19 10 56.6730 (Opt) A\r\n"
    "\r\n"
    "Coordinates(ICRS,ep=J2000,eq=2000): 14 15 39.67207  +19 10 56.6730 (Opt ) A [18.51 8.94 90] "
    "2007A&A...474..653V\r\n"
    "hierarchy counts: #parents=0, #children=0, #siblings=0\r\n"
    "Radial Velocity: -5.19 [0.04] / z: -0.000017 [0.000000] A 2018A&A...616A...1G\r\n"
    "Spectral type: K1.5IIIFe-0.5 C 1989ApJS...71..245K\r\n"
    "\r\n"
    "Identifiers (3):\r\n"
    "   NAME Arcturus        * alf Boo       HD 124897\r\n"
    "\r\n"
    "================================================================================\r\n"
    "\r\n";

} // namespace

TEST(Simbad, ReplyWithEverything) {
  const TSimbadReply R = ParseSimbadReply(ArcturusReply);
  EXPECT_EQ(R.Error, "");
  ASSERT_EQ(R.Result.size(), 3u);
  EXPECT_EQ(R.Result[0], "Object alf Boo");
  EXPECT_EQ(R.Result[1], "Radial Velocity: -5.19 [0.04] / z: -0.000017 [0.000000] A 2018A&A...616A...1G\r");
  EXPECT_EQ(R.Result[2], "Spectral type: K1.5IIIFe-0.5 C 1989ApJS...71..245K\r");
  EXPECT_TRUE(R.HasCoordinates);
  EXPECT_EQ(R.Ra, "14 15 39.67207");
  EXPECT_EQ(R.De, "+19 10 56.6730");
  EXPECT_EQ(R.Lines.size(), 17u);
  EXPECT_EQ(R.Lines[0], "C.D.S.  -  SIMBAD4 rel 1.8  -  2024.03.12CET10:11:12\r");
  // What the dialog computes from it.
  EXPECT_NEAR(GetRa(R.Ra), 213.9153003, 1e-6);
  EXPECT_NEAR(GetDe(R.De), 19.1824092, 1e-6);
}

TEST(Simbad, LinesAndLookup) {
  const TSimbadReply R = ParseSimbadReply("a\nObject X --- Y\r\nobject\nlast without line feed");
  ASSERT_EQ(R.Lines.size(), 3u);
  EXPECT_EQ(R.Lines[1], "Object X --- Y\r");
  EXPECT_EQ(SimbadLine(R.Lines, "object"), &R.Lines[2]) << "case matters";
  EXPECT_EQ(SimbadLine(R.Lines, "Object"), &R.Lines[1]);
  EXPECT_EQ(SimbadLine(R.Lines, "last"), nullptr) << "text after the last line feed is dropped";
  EXPECT_EQ(SimbadLine(R.Lines, " Object"), nullptr) << "the line must begin with the key";
}

TEST(Simbad, NotFoundAndPartialReplies) {
  struct {
    const char *Name, *Reply, *Error;
    std::vector<std::string> Result;
    bool Coord;
    const char *Ra, *De;
  } Rows[] = {
      {"identifier not found",
       "C.D.S.  -  SIMBAD4 rel 1.8  -  2024.03.12CET10:11:12\n\n!! Identifier not found in the database : "
       "NOSUCH STAR\n",
       "Object not found",
       {},
       false,
       "",
       ""},
      {"empty reply", "", "Object not found", {}, false, "", ""},
      {"object line without ---",
       "Object alf Boo\nCoordinates(ICRS): 1 2 3 +4 5 6\n",
       "Object not found",
       {},
       false,
       "",
       ""},
      {"no coordinates",
       "Object M 31  ---  G  ---  OID=1\nSpectral type: Sb C ~\n",
       "Coordinates not found",
       {"Object M 31", "Spectral type: Sb C ~"},
       false,
       "",
       ""},
      {"too few fields",
       "Object X  ---  *\nCoordinates(ICRS): 12\n",
       "Coordinates not found",
       {"Object X"},
       false,
       "",
       ""},
      {"first of several keys, text before --- trimmed",
       "Object  A B  --- x --- y\nObject C --- z\nCoordinates: 1 2\n",
       "",
       {"Object  A B"},
       true,
       "1 2",
       ""},
      {"a label, three numbers, three signed, a bracketed note",
       "Object S  ---  *\nCoordinates(FK5,ep=J2000,eq=2000): 05 14 32.27 -08 12 05.9 [ 0.5 0.4 90 ] B\n",
       "",
       {"Object S"},
       true,
       "05 14 32.27",
       "-08 12 05.9"},
      {"degrees in one field each",
       "Object S --- *\nCoordinates(ICRS): 213.9153 +19.1824 (Opt)\n",
       "",
       {"Object S"},
       true,
       "213.9153",
       "+19.1824"},
      {"a signed field ends the right ascension early",
       "Object S --- *\nCoordinates: 10 -20 30 40 x 50\n",
       "",
       {"Object S"},
       true,
       "10",
       "-20 30 40"},
      {"the first word ends the scan",
       "Object S --- *\nCoordinates: 10 20 (x) 30 +40\n",
       "",
       {"Object S"},
       true,
       "10 20",
       ""},
  };
  for (const auto &Row : Rows) {
    SCOPED_TRACE(Row.Name);
    const TSimbadReply R = ParseSimbadReply(Row.Reply);
    EXPECT_EQ(R.Error, Row.Error);
    EXPECT_EQ(R.Result, Row.Result);
    EXPECT_EQ(R.HasCoordinates, Row.Coord);
    EXPECT_EQ(R.Ra, Row.Ra);
    EXPECT_EQ(R.De, Row.De);
  }
}
