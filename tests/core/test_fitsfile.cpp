// FITS spectrum files. cfitsio is the independent oracle: files it writes (every BITPIX,
// BSCALE/BZERO, nm and Angstrom) must read as the physical values it reads itself, and
// files we write must read back in cfitsio and pass fitsverify.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fitsio.h>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <unistd.h>

#include "common/TestUtil.h"
#include "core/UDatFile.h"
#include "core/UErrors.h"
#include "core/USpec32.h"
#include "core/USpecFiles.h"

namespace {

using testutil::TTempDir;

std::string Card(const std::string &S) {
  std::string R = S;
  R.resize(80, ' ');
  return R;
}

// A FITS file made by hand from cards and raw data bytes (no padding of the data part).
std::string HandFile(const std::vector<std::string> &Cards, const std::string &Data, bool End = true) {
  std::string H;
  for (const std::string &C : Cards)
    H += Card(C);
  if (End) H += Card("END");
  H.resize((H.size() + 2879) / 2880 * 2880, ' ');
  return H + Data;
}

std::vector<std::string> BasicCards(int Bitpix, long N) {
  return {"SIMPLE  =                    T", "BITPIX  = " + std::to_string(Bitpix),
          "NAXIS   =                    1", "NAXIS1  = " + std::to_string(N),
          "CRVAL1  =               6500.0", "CDELT1  =                  0.5",
          "CRPIX1  =                  1.0", "CUNIT1  = 'Angstrom'"};
}

std::string BigEndianFloats(const std::vector<float> &V) {
  std::string D;
  for (float F : V) {
    uint32_t U;
    std::memcpy(&U, &F, 4);
    for (int s = 24; s >= 0; s -= 8)
      D += static_cast<char>((U >> s) & 0xff);
  }
  return D;
}

struct TCfitsioCase {
  int Bitpix;
  double Bscale, Bzero;
  const char *Unit;
};

void PrintTo(const TCfitsioCase &C, std::ostream *Os) {
  *Os << "BITPIX " << C.Bitpix << " BSCALE " << C.Bscale << " BZERO " << C.Bzero << " " << C.Unit;
}

class CfitsioWrites : public ::testing::TestWithParam<TCfitsioCase> {};

// cfitsio writes the raw values with scaling switched off, then the scaling cards; its own
// reading of the file (TDOUBLE, scaling on) is the truth.
TEST_P(CfitsioWrites, ReadFitsGivesCfitsiosPhysicalValues) {
  const TCfitsioCase P = GetParam();
  TTempDir Dir;
  std::string F = Dir.File("c.fits");
  const long N = 257;
  std::mt19937_64 Rng(P.Bitpix + 1000);
  int Status = 0;
  fitsfile *Fp = nullptr;
  fits_create_file(&Fp, ("!" + F).c_str(), &Status);
  long Naxes[1] = {N};
  fits_create_img(Fp, P.Bitpix, 1, Naxes, &Status);
  double Crval = 400.0, Cdelt = 0.1, Crpix = 3.0;
  fits_write_key(Fp, TDOUBLE, "CRVAL1", &Crval, nullptr, &Status);
  fits_write_key(Fp, TDOUBLE, "CDELT1", &Cdelt, nullptr, &Status);
  fits_write_key(Fp, TDOUBLE, "CRPIX1", &Crpix, nullptr, &Status);
  fits_write_key(Fp, TSTRING, "CUNIT1", const_cast<char *>(P.Unit), nullptr, &Status);
  if (P.Bscale != 1.0 || P.Bzero != 0.0) {
    double S = P.Bscale, Z = P.Bzero;
    fits_write_key(Fp, TDOUBLE, "BSCALE", &S, nullptr, &Status);
    fits_write_key(Fp, TDOUBLE, "BZERO", &Z, nullptr, &Status);
  }
  fits_set_bscale(Fp, 1.0, 0.0, &Status);
  std::vector<double> Raw(N);
  for (long i = 0; i < N; ++i) {
    switch (P.Bitpix) {
    case 8:
      Raw[i] = static_cast<double>(Rng() % 256);
      break;
    case 16:
      Raw[i] = static_cast<double>(static_cast<int16_t>(Rng()));
      break;
    case 32:
      Raw[i] = static_cast<double>(static_cast<int32_t>(Rng()));
      break;
    case 64:
      Raw[i] = static_cast<double>(static_cast<int32_t>(Rng())) * 4096.0;
      break;
    default:
      Raw[i] = std::ldexp(static_cast<double>(Rng() % 2000001) - 1000000.0, -7);
      break;
    }
  }
  Raw[0] = P.Bitpix == 16 ? -32768 : Raw[0];
  fits_write_img(Fp, TDOUBLE, 1, N, Raw.data(), &Status);
  fits_close_file(Fp, &Status);
  ASSERT_EQ(Status, 0);

  std::vector<double> Truth(N);
  fits_open_file(&Fp, F.c_str(), READONLY, &Status);
  int AnyNull = 0;
  fits_read_img(Fp, TDOUBLE, 1, N, nullptr, Truth.data(), &AnyNull, &Status);
  fits_close_file(Fp, &Status);
  ASSERT_EQ(Status, 0);

  TSpec32 S;
  S.ReadFits(F);
  ASSERT_EQ(S.Size(), N);
  double Factor = std::string(P.Unit) == "nm" ? 10 : 1;
  for (long i = 0; i < N; ++i) {
    // We scale in extended precision, cfitsio in double: they may differ in the last bits,
    // relative to the size of the terms added.
    if (P.Bscale == 1.0 && P.Bzero == 0.0)
      ASSERT_EQ(S.DataY[i], Truth[i]) << "index " << i;
    else
      ASSERT_NEAR(S.DataY[i], Truth[i], 4e-16 * (std::fabs(Raw[i] * P.Bscale) + std::fabs(P.Bzero)))
          << "index " << i;
    ASSERT_NEAR(S.DataX[i], ((i + 1 - Crpix) * Cdelt + Crval) * Factor, 1e-9) << "index " << i;
  }
  EXPECT_FALSE(S.FitsBess().StreamOpen());
}

INSTANTIATE_TEST_SUITE_P(
    AllBitpix, CfitsioWrites,
    ::testing::Values(TCfitsioCase{8, 1, 0, "Angstrom"}, TCfitsioCase{8, 0.5, -10, "nm"},
                      TCfitsioCase{16, 1, 0, "nm"}, TCfitsioCase{16, 2, 32768, "Angstrom"},
                      TCfitsioCase{32, 1, 0, "Angstrom"}, TCfitsioCase{32, 1e-3, 5, "nm"},
                      TCfitsioCase{64, 1, 0, "Angstrom"}, TCfitsioCase{64, 0.25, 1, "nm"},
                      TCfitsioCase{-32, 1, 0, "Angstrom"}, TCfitsioCase{-32, 3, 1, "nm"},
                      TCfitsioCase{-64, 1, 0, "nm"}, TCfitsioCase{-64, 0.1, 100, "Angstrom"}));

TEST(FitsFile, HandWorkedScaling) {
  // BITPIX 16, BSCALE 2, BZERO 32768: raw 1000 -> 34768, raw -32768 -> -32768.
  TTempDir Dir;
  auto Cards = BasicCards(16, 2);
  Cards.push_back("BSCALE  =                  2.0");
  Cards.push_back("BZERO   =              32768.0");
  std::string Data = {char(0x03), char(0xE8), char(0x80), char(0x00)};
  testutil::WriteFile(Dir.File("s.fits"), HandFile(Cards, Data));
  TSpec32 S;
  S.ReadFits(Dir.File("s.fits"));
  EXPECT_EQ(S.DataY, (TDblArr1D{34768, -32768}));
  EXPECT_EQ(S.DataX, (TDblArr1D{6500, 6500.5}));
}

TEST(FitsFile, HeaderRules) {
  TTempDir Dir;
  std::string F = Dir.File("h.fits");
  std::string Data = BigEndianFloats({1, 2, 3});

  // Without END in the first block the header goes on in the next one; blank cards vanish.
  std::vector<std::string> Long = BasicCards(-32, 3);
  for (int i = 0; i < 30; ++i)
    Long.push_back(i % 2 ? "" : "HISTORY filler " + std::to_string(i));
  testutil::WriteFile(F, HandFile(Long, Data));
  TSpec32 S;
  S.ReadFits(F);
  EXPECT_EQ(S.FitsBess().HeaderBytes(), 5760);
  EXPECT_EQ(S.FitsBess().Count(), 8 + 15 + 1); // + CTYPE1 added
  EXPECT_EQ(S.DataY, (TDblArr1D{1, 2, 3}));

  // NAXIS = 2 with NAXIS2 = 1 is a spectrum; the header then says NAXIS = 1, no NAXIS2.
  auto Two = BasicCards(-32, 3);
  Two[2] = "NAXIS   =                    2";
  Two.insert(Two.begin() + 4, "NAXIS2  =                    1");
  testutil::WriteFile(F, HandFile(Two, Data));
  TSpec32 T;
  T.ReadFits(F);
  EXPECT_EQ(T.FitsBess().NAXIS(), 1);
  EXPECT_EQ(T.FitsBess().IndexOfKey("NAXIS2  "), -1);

  // A quoted CRPIX1 reads; no CUNIT1 gets 'Angstrom' with our comment.
  auto Q = BasicCards(-32, 3);
  Q[6] = "CRPIX1  = '1.0'";
  Q.pop_back();
  testutil::WriteFile(F, HandFile(Q, Data));
  TSpec32 U;
  U.ReadFits(F);
  int I = U.FitsBess().IndexOfKey("CUNIT1  ");
  ASSERT_GE(I, 0);
  EXPECT_EQ(U.FitsBess().Strings(I), Card("CUNIT1  = 'Angstrom' / added by Orvalumetrix"));
  EXPECT_EQ(U.DataX[0], 6500);
}

TEST(FitsFile, Messages) {
  TTempDir Dir;
  std::string F = Dir.File("m.fits");
  std::string Data = BigEndianFloats({1, 2, 3});
  struct Row {
    std::function<std::string()> Make;
    std::string Msg;
  } Rows[] = {
      {[&] { return std::string(); }, F + ": not a valid FITS file"},
      {[&] { return HandFile(BasicCards(-32, 3), Data).substr(0, 2000); }, F + ": not a valid FITS file"},
      {[&] {
         auto C = BasicCards(-32, 3);
         C[0] = "SIMPLE  =                    F";
         return HandFile(C, Data);
       },
       F + ": not a valid FITS file"},
      {[&] {
         auto C = BasicCards(-32, 3);
         C[2] = "NAXIS   =                    2";
         C.insert(C.begin() + 4, "NAXIS2  =                    3");
         return HandFile(C, Data);
       },
       F + ": only NAXIS = 1 is supported"},
      {[&] {
         auto C = BasicCards(-32, 3);
         C.erase(C.begin() + 4);
         return HandFile(C, Data);
       },
       F + ": CRVAL1 is missing"},
      {[&] {
         auto C = BasicCards(-32, 3);
         C.erase(C.begin() + 5);
         return HandFile(C, Data);
       },
       F + ": CDELT1 is missing"},
      {[&] {
         auto C = BasicCards(-32, 3);
         C.erase(C.begin() + 6);
         return HandFile(C, Data);
       },
       F + ": CRPIX1 is missing"},
      {[&] {
         auto C = BasicCards(-32, 3);
         C[7] = "CUNIT1  = 'furlong'";
         return HandFile(C, Data);
       },
       "FURLONG: wavelength units unknown"},
      {[&] { return HandFile(BasicCards(-16, 3), Data); }, "Unknown BITPIX value: -16"},
      // Truncated data, absurd and negative NAXIS1: refused before any allocation.
      {[&] { return HandFile(BasicCards(-32, 3), Data.substr(0, 8)); }, F + ": not a FITS file"},
      {[&] { return HandFile(BasicCards(-32, 2147483647), Data); }, F + ": not a FITS file"},
      {[&] { return HandFile(BasicCards(-32, -5), Data); }, F + ": not a FITS file"},
      {[&] { return HandFile(BasicCards(-32, 0), Data); }, F + ": not a FITS file"},
      // 36001 cards and no END.
      {[&] {
         std::vector<std::string> C(36001, "HISTORY x");
         return HandFile(C, "", false);
       },
       F + ": not a valid FITS file"},
  };
  for (size_t r = 0; r < std::size(Rows); ++r) {
    testutil::WriteFile(F, Rows[r].Make());
    TSpec32 S;
    try {
      S.ReadFits(F);
      ADD_FAILURE() << "row " << r << ": no error";
    } catch (const EOrvaError &E) {
      EXPECT_EQ(E.what(), Rows[r].Msg) << "row " << r;
    }
    EXPECT_FALSE(S.FitsBess().StreamOpen()) << "row " << r;
  }
}

TEST(FitsFile, ReadSpectrumChecksLength) {
  TTempDir Dir;
  std::string F = Dir.File("r.fits");
  testutil::WriteFile(F, HandFile(BasicCards(-32, 3), BigEndianFloats({1, 2, 3})));
  TFitsBess H;
  H.ReadHeader(F, true);
  TDblArr1D Wrong(2);
  try {
    H.ReadSpectrum(Wrong);
    FAIL();
  } catch (const EOrvaError &E) {
    EXPECT_STREQ(E.what(), "TFitsBess.ReadSpectrum: Incorrect image size");
  }
  EXPECT_FALSE(H.StreamOpen());
  TDblArr1D Untouched(3, 7.0);
  H.ReadSpectrum(Untouched); // no file open: nothing happens
  EXPECT_EQ(Untouched, TDblArr1D(3, 7.0));
}

TEST(FitsFile, WrittenLayoutAndCfitsioReadsIt) {
  TTempDir Dir;
  std::string F = Dir.File("w.fit");
  TSpec32 S;
  S.NewSpec("w", 100, 0, nullptr);
  for (int i = 0; i < 100; ++i) {
    S.DataX[i] = 6500 + 0.25 * i;
    S.DataY[i] = std::sin(i * 0.1) * 1000 + 1.0 / 3.0;
  }
  S.FinishFromArrays();
  S.FitsBess().SetOBJNAME("synthetic");
  SaveSpecAsFits(S, F);
  std::string Bytes = testutil::ReadFile(F);
  // 12 cards + END fit one 2880-byte block; 400 data bytes are padded to 2880.
  ASSERT_EQ(Bytes.size(), 5760u);
  EXPECT_EQ(Bytes.substr(12 * 80, 80), Card("END"));
  EXPECT_EQ(Bytes.substr(13 * 80, 2880 - 13 * 80), std::string(2880 - 13 * 80, ' '));
  EXPECT_EQ(Bytes.substr(2880 + 400), std::string(2480, '\0'));

  int Status = 0;
  fitsfile *Fp = nullptr;
  fits_open_file(&Fp, F.c_str(), READONLY, &Status);
  std::vector<double> Got(100);
  int AnyNull = 0;
  fits_read_img(Fp, TDOUBLE, 1, 100, nullptr, Got.data(), &AnyNull, &Status);
  double Crval = 0, Cdelt = 0;
  fits_read_key(Fp, TDOUBLE, "CRVAL1", &Crval, nullptr, &Status);
  fits_read_key(Fp, TDOUBLE, "CDELT1", &Cdelt, nullptr, &Status);
  fits_close_file(Fp, &Status);
  ASSERT_EQ(Status, 0);
  for (int i = 0; i < 100; ++i)
    EXPECT_EQ(Got[i], static_cast<double>(static_cast<float>(S.DataY[i])));
  EXPECT_EQ(Crval, 6500);
  EXPECT_EQ(Cdelt, 0.25);

  std::string Cmd = "fitsverify -q -e '" + F + "' > '" + Dir.File("verify.txt") + "' 2>&1";
  int Rc = std::system(Cmd.c_str());
  EXPECT_EQ(Rc, 0) << testutil::ReadFile(Dir.File("verify.txt"));
  EXPECT_NE(testutil::ReadFile(Dir.File("verify.txt")).find("verification OK"), std::string::npos)
      << testutil::ReadFile(Dir.File("verify.txt"));

  // And back through our own reader.
  TSpec32 R;
  R.ReadFits(F);
  EXPECT_EQ(R.FitsBess().OBJNAME(), "synthetic");
  for (int i = 0; i < 100; ++i)
    EXPECT_NEAR(R.DataX[i], S.DataX[i], 1e-9);
}

TEST(FitsFile, SaveRefusesUnevenAndResetsScaling) {
  TTempDir Dir;
  TSpec32 S;
  S.NewSpec("u", 3, 1, nullptr);
  S.DataX = {1, 2, 4};
  S.FinishFromArrays();
  try {
    SaveSpecAsFits(S, Dir.File("u.fit"));
    FAIL();
  } catch (const EOrvaError &E) {
    EXPECT_STREQ(E.what(), "x-values not equidistant; resample spectrum");
  }
  EXPECT_FALSE(std::filesystem::exists(Dir.File("u.fit")));

  // Read from an integer file with scaling, in nm: the written file holds physical values
  // in Angstrom, so it must not carry the scaling or the unit again.
  auto Cards = BasicCards(16, 2);
  Cards[7] = "CUNIT1  = 'nm'";
  Cards.push_back("BSCALE  =                  2.0");
  Cards.push_back("BZERO   =                 10.0");
  testutil::WriteFile(Dir.File("i.fits"), HandFile(Cards, std::string{0, 5, 0, 6}));
  TSpec32 I;
  I.ReadFits(Dir.File("i.fits"));
  EXPECT_EQ(I.DataY, (TDblArr1D{20, 22}));
  SaveSpecAsFits(I, Dir.File("o.fits"));
  TSpec32 O;
  O.ReadFits(Dir.File("o.fits"));
  EXPECT_EQ(O.DataY, I.DataY);
  EXPECT_EQ(O.DataX, I.DataX);
}

TEST(FitsFile, FailedRenameLeavesTargetAndNoTemporary) {
  // Root may write anywhere, so the failure is made by a folder standing where the file goes.
  TTempDir Dir;
  std::string F = Dir.File("busy.fit");
  std::filesystem::create_directory(F);
  testutil::WriteFile(F + "/inside", "precious");
  TSpec32 S;
  S.NewSpec("k", 3, 1, nullptr);
  try {
    SaveSpecAsFits(S, F);
    FAIL();
  } catch (const EOrvaError &E) {
    EXPECT_EQ(std::string(E.what()).rfind("Cannot create file \"" + F + "\". ", 0), 0u) << E.what();
  }
  EXPECT_EQ(testutil::ReadFile(F + "/inside"), "precious");
  int Files = 0;
  for (const auto &E : std::filesystem::directory_iterator(Dir.Path()))
    Files += E.is_regular_file();
  EXPECT_EQ(Files, 0) << "a temporary file was left behind";
  EXPECT_THROW(SaveSpecAsFits(S, Dir.File("no/such/folder/x.fit")), EOrvaError);
}

TEST(FitsFile, FailedSaveLeavesExistingFile) {
  TTempDir Dir;
  std::string F = Dir.File("keep.fit");
  testutil::WriteFile(F, "precious");
  std::filesystem::permissions(Dir.Path(),
                               std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  if (::access(Dir.Path().c_str(), W_OK) == 0) GTEST_SKIP() << "running as a user who can write anywhere";
  TSpec32 S;
  S.NewSpec("k", 3, 1, nullptr);
  EXPECT_THROW(SaveSpecAsFits(S, F), EOrvaError);
  EXPECT_EQ(testutil::ReadFile(F), "precious");
}

// Runs fitsverify on F; empty when the file verifies, its report otherwise.
std::string FitsverifyProblems(const TTempDir &Dir, const std::string &F) {
  std::string Out = Dir.File("verify.txt");
  std::string Cmd = "fitsverify -q -e '" + F + "' > '" + Out + "' 2>&1";
  int Rc = std::system(Cmd.c_str());
  std::string Report = testutil::ReadFile(Out);
  return Rc == 0 && Report.find("verification OK") != std::string::npos ? std::string() : Report;
}

// Cards whose keyword only begins with END (ENDTIME, ENDDATE) are ordinary cards; cfitsio
// writes them and reads the data that follow the real END.
TEST(FitsFile, KeywordsBeginningWithEnd) {
  TTempDir Dir;
  std::string F = Dir.File("e.fits");
  int Status = 0;
  fitsfile *Fp = nullptr;
  fits_create_file(&Fp, ("!" + F).c_str(), &Status);
  long Naxes[1] = {5};
  fits_create_img(Fp, FLOAT_IMG, 1, Naxes, &Status);
  fits_write_key(Fp, TSTRING, "ENDTIME", const_cast<char *>("23:59:59"), nullptr, &Status);
  fits_write_key(Fp, TSTRING, "ENDDATE", const_cast<char *>("2026-12-09"), nullptr, &Status);
  fits_write_key(Fp, TSTRING, "ENDX", const_cast<char *>("x"), nullptr, &Status);
  double Crval = 6000, Cdelt = 2, Crpix = 1;
  fits_write_key(Fp, TDOUBLE, "CRVAL1", &Crval, nullptr, &Status);
  fits_write_key(Fp, TDOUBLE, "CDELT1", &Cdelt, nullptr, &Status);
  fits_write_key(Fp, TDOUBLE, "CRPIX1", &Crpix, nullptr, &Status);
  fits_write_key(Fp, TSTRING, "OBJNAME", const_cast<char *>("after the END-like cards"), nullptr, &Status);
  float Y[5] = {1, 2, 3, 4, 5};
  fits_write_img(Fp, TFLOAT, 1, 5, Y, &Status);
  fits_close_file(Fp, &Status);
  ASSERT_EQ(Status, 0);

  TSpec32 S;
  S.ReadFits(F);
  std::string V, C;
  ASSERT_TRUE(S.FitsBess().ReadStr("ENDTIME ", V, C));
  EXPECT_EQ(V, "23:59:59");
  ASSERT_TRUE(S.FitsBess().ReadStr("ENDDATE ", V, C));
  EXPECT_EQ(S.FitsBess().OBJNAME(), "after the END-like cards");
  EXPECT_EQ(S.DataY, (TDblArr1D{1, 2, 3, 4, 5}));
  EXPECT_EQ(S.DataX, (TDblArr1D{6000, 6002, 6004, 6006, 6008}));

  // Rewritten by us: every card is still there and the file verifies.
  std::string W = Dir.File("w.fits");
  SaveSpecAsFits(S, W);
  TSpec32 R;
  R.ReadFits(W);
  EXPECT_GE(R.FitsBess().IndexOfKey("ENDX    "), 0);
  EXPECT_EQ(FitsverifyProblems(Dir, W), "");
}

struct TBlankCase {
  int Bitpix;
  double Bscale, Bzero;
  long long Blank;
};

void PrintTo(const TBlankCase &C, std::ostream *Os) {
  *Os << "BITPIX " << C.Bitpix << " BSCALE " << C.Bscale << " BZERO " << C.Bzero << " BLANK " << C.Blank;
}

class BlankPixels : public ::testing::TestWithParam<TBlankCase> {};

// Integer data with BLANK: the pixels whose stored integer equals BLANK are undefined (NaN),
// decided before scaling; cfitsio's own null flags are the truth. Written back, the file has
// no BLANK card (fitsverify rejects one with BITPIX -32) and the undefined pixels are NaN.
TEST_P(BlankPixels, AreNaNAndWrittenWithoutBlank) {
  const TBlankCase P = GetParam();
  TTempDir Dir;
  std::string F = Dir.File("b.fits");
  int Status = 0;
  fitsfile *Fp = nullptr;
  fits_create_file(&Fp, ("!" + F).c_str(), &Status);
  const long N = 40;
  long Naxes[1] = {N};
  fits_create_img(Fp, P.Bitpix, 1, Naxes, &Status);
  double Crval = 5000, Cdelt = 0.5, Crpix = 1;
  fits_write_key(Fp, TDOUBLE, "CRVAL1", &Crval, nullptr, &Status);
  fits_write_key(Fp, TDOUBLE, "CDELT1", &Cdelt, nullptr, &Status);
  fits_write_key(Fp, TDOUBLE, "CRPIX1", &Crpix, nullptr, &Status);
  double S = P.Bscale, Z = P.Bzero;
  fits_write_key(Fp, TDOUBLE, "BSCALE", &S, nullptr, &Status);
  fits_write_key(Fp, TDOUBLE, "BZERO", &Z, nullptr, &Status);
  long long Blank = P.Blank;
  fits_write_key(Fp, TLONGLONG, "BLANK", &Blank, nullptr, &Status);
  fits_set_bscale(Fp, 1.0, 0.0, &Status);
  std::vector<double> Raw(N);
  for (long i = 0; i < N; ++i)
    Raw[i] = static_cast<double>(i % 7 == 3 ? P.Blank : (i * 5) % 50 + 1);
  // A stored value whose physical value equals BLANK is an ordinary pixel.
  long Trap = -1;
  double PhysBlank = static_cast<double>(P.Blank);
  double RawTrap = (PhysBlank - P.Bzero) / P.Bscale;
  if (RawTrap == std::floor(RawTrap) && RawTrap >= 0 && RawTrap < 100 && RawTrap != PhysBlank) {
    Trap = 5;
    Raw[Trap] = RawTrap;
  }
  fits_write_img(Fp, TDOUBLE, 1, N, Raw.data(), &Status);
  fits_close_file(Fp, &Status);
  ASSERT_EQ(Status, 0);

  std::vector<double> Truth(N);
  std::vector<char> Null(N);
  int AnyNull = 0;
  fits_open_file(&Fp, F.c_str(), READONLY, &Status);
  fits_read_imgnull(Fp, TDOUBLE, 1, N, Truth.data(), Null.data(), &AnyNull, &Status);
  fits_close_file(Fp, &Status);
  ASSERT_EQ(Status, 0);
  ASSERT_TRUE(AnyNull);

  TSpec32 Sp;
  Sp.ReadFits(F);
  ASSERT_EQ(Sp.Size(), N);
  double Lo = INFINITY, Hi = -INFINITY;
  for (long i = 0; i < N; ++i) {
    if (Null[i]) {
      EXPECT_TRUE(std::isnan(Sp.DataY[i])) << "index " << i;
    } else {
      EXPECT_DOUBLE_EQ(Sp.DataY[i], Truth[i]) << "index " << i;
      Lo = std::min(Lo, Truth[i]);
      Hi = std::max(Hi, Truth[i]);
    }
  }
  if (Trap >= 0) {
    EXPECT_FALSE(Null[Trap]);
    EXPECT_EQ(Sp.DataY[Trap], static_cast<double>(P.Blank)) << "a physical value equal to BLANK is data";
  }
  EXPECT_EQ(Sp.MinVal(), Lo);
  EXPECT_EQ(Sp.MaxVal(), Hi);

  std::string W = Dir.File("w.fits");
  SaveSpecAsFits(Sp, W);
  EXPECT_EQ(Sp.FitsBess().IndexOfKey("BLANK   "), -1);
  EXPECT_EQ(testutil::ReadFile(W).substr(0, 2880).find("BLANK   "), std::string::npos);
  EXPECT_EQ(FitsverifyProblems(Dir, W), "");
  std::vector<double> Back(N);
  fits_open_file(&Fp, W.c_str(), READONLY, &Status);
  double NaN = std::numeric_limits<double>::quiet_NaN();
  fits_read_img(Fp, TDOUBLE, 1, N, &NaN, Back.data(), &AnyNull, &Status);
  fits_close_file(Fp, &Status);
  ASSERT_EQ(Status, 0);
  for (long i = 0; i < N; ++i) {
    if (Null[i]) {
      EXPECT_TRUE(std::isnan(Back[i])) << "index " << i;
    } else {
      EXPECT_EQ(Back[i], static_cast<double>(static_cast<float>(Truth[i]))) << "index " << i;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(IntegerTypes, BlankPixels,
                         ::testing::Values(TBlankCase{8, 1, 0, 255}, TBlankCase{16, 1, 0, -32768},
                                           TBlankCase{16, 2, -5, -3}, // raw -3 blank; raw 1 gives -3
                                           TBlankCase{32, 0.5, 10, -2147483647 - 1},
                                           TBlankCase{64, 1, 0, -9000000000LL}));

// NaN pixels of floating-point data are kept; the extremes are those of the finite values
// (NaN when there is none). The file is longer than one piece of the reader's buffer.
TEST(FitsFile, NaNPixelsAndLongData) {
  TTempDir Dir;
  const long N = 300007;
  std::vector<float> Y(N);
  for (long i = 0; i < N; ++i)
    Y[i] = static_cast<float>(std::sin(i * 0.01) * 100);
  Y[0] = std::numeric_limits<float>::quiet_NaN();
  Y[65536] = std::numeric_limits<float>::infinity();
  Y[N - 1] = -std::numeric_limits<float>::infinity();
  Y[200000] = 150; // the maximum, in the fourth piece
  std::string F = Dir.File("n.fits");
  testutil::WriteFile(F, HandFile(BasicCards(-32, N), BigEndianFloats(Y)));
  TSpec32 S;
  S.ReadFits(F);
  ASSERT_EQ(S.Size(), N);
  double Lo = INFINITY, Hi = -INFINITY;
  long Bad = 0;
  for (long i = 0; i < N; ++i) {
    const double T = Y[i];
    if (!(S.DataY[i] == T || (std::isnan(T) && std::isnan(S.DataY[i])))) ++Bad;
    if (std::isfinite(T)) Lo = std::min(Lo, T), Hi = std::max(Hi, T);
    if (S.DataX[i] != 6500.0 + 0.5 * i) ++Bad;
  }
  EXPECT_EQ(Bad, 0);
  EXPECT_EQ(S.MinVal(), Lo);
  EXPECT_EQ(S.MaxVal(), 150);
  EXPECT_TRUE(S.Equidistant());

  testutil::WriteFile(F, HandFile(BasicCards(-32, 3), BigEndianFloats({NAN, NAN, INFINITY})));
  TSpec32 E;
  E.ReadFits(F);
  EXPECT_TRUE(std::isnan(E.MinVal()));
  EXPECT_TRUE(std::isnan(E.MaxVal()));
}

// Quotes in string values are doubled in the file, so cfitsio and fitsverify read them; a
// string card without its closing quote never reaches a file.
TEST(FitsFile, StringCardsInWrittenFiles) {
  TTempDir Dir;
  TSpec32 S;
  S.NewSpec("q", 4, 1, nullptr);
  S.FitsBess().SetOBJNAME("O'Brien's star");
  S.FitsBess().SetBSS_INST(std::string(68, 'i'));
  std::string F = Dir.File("q.fits");
  SaveSpecAsFits(S, F);
  EXPECT_EQ(FitsverifyProblems(Dir, F), "");
  int Status = 0;
  fitsfile *Fp = nullptr;
  char Value[FLEN_VALUE] = {}, Inst[FLEN_VALUE] = {};
  fits_open_file(&Fp, F.c_str(), READONLY, &Status);
  fits_read_key(Fp, TSTRING, "OBJNAME", Value, nullptr, &Status);
  fits_read_key(Fp, TSTRING, "BSS_INST", Inst, nullptr, &Status);
  fits_close_file(Fp, &Status);
  ASSERT_EQ(Status, 0);
  EXPECT_STREQ(Value, "O'Brien's star");
  EXPECT_EQ(std::string(Inst), std::string(68, 'i'));

  std::string G = Dir.File("bad.fits");
  S.FitsBess().Add(Card("BSS_SITE= 'cut off at the end of the card"));
  try {
    SaveSpecAsFits(S, G);
    FAIL() << "a card without its closing quote was written";
  } catch (const EOrvaError &E) {
    EXPECT_NE(std::string(E.what()).find("BSS_SITE"), std::string::npos) << E.what();
  }
  EXPECT_FALSE(std::filesystem::exists(G));
}

// Opening through ReadSpecFile (the file list and the CLI): every message names the file.
TEST(FitsFile, MessagesNameTheFile) {
  TTempDir Dir;
  std::string F = Dir.File("u.fits");
  auto C = BasicCards(-32, 3);
  C[7] = "CUNIT1  = 'furlong'";
  testutil::WriteFile(F, HandFile(C, BigEndianFloats({1, 2, 3})));
  struct Row {
    std::string Text, Msg;
  } Rows[] = {{HandFile(C, BigEndianFloats({1, 2, 3})), F + ": FURLONG: wavelength units unknown"},
              {HandFile(BasicCards(-16, 3), BigEndianFloats({1, 2, 3})), F + ": Unknown BITPIX value: -16"},
              {"", F + ": not a valid FITS file"}};
  for (const Row &R : Rows) {
    testutil::WriteFile(F, R.Text);
    try {
      ReadSpecFile(F, 1, 2, 0);
      ADD_FAILURE() << R.Msg;
    } catch (const EOrvaError &E) {
      EXPECT_EQ(std::string(E.what()), R.Msg);
    }
  }
  std::vector<std::string> Shown;
  SetDatMessageSink([&Shown](const std::string &M) { Shown.push_back(M); });
  EXPECT_EQ(ReadSpecFile(Dir.File("x.fts"), 1, 2, 0), nullptr);
  SetDatMessageSink(nullptr);
  EXPECT_EQ(Shown, std::vector<std::string>{"File type .fts is not supported: " + Dir.File("x.fts")});
}

} // namespace
