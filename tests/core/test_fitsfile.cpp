// FITS spectrum files. cfitsio is the independent oracle: files it writes (every BITPIX,
// BSCALE/BZERO, nm and Angstrom) must read as the physical values it reads itself, and
// files we write must read back in cfitsio and pass fitsverify.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fitsio.h>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <unistd.h>

#include "common/TestUtil.h"
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
         C[7] = "CUNIT1  = 'Angstroms'";
         return HandFile(C, Data);
       },
       "ANGSTROMS: wavelength units unknown"},
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

} // namespace
