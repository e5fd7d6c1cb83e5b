// FITS spectra as archives and observers publish them: unit spellings, CD1_1, logarithmic
// axes, image extensions, images with extra axes 1 long, and binary tables. The files are
// written here by cfitsio (hand-made bytes only where cfitsio would refuse them: a non-ASCII
// unit, hostile sizes); cfitsio's own reading of them is the truth for the values.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fitsio.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "common/TestUtil.h"
#include "core/UErrors.h"
#include "core/UFormat.h"
#include "core/USpec32.h"
#include "core/USpecFiles.h"

namespace {

using testutil::TTempDir;

std::string Card(const std::string &S) {
  std::string R = S;
  R.resize(80, ' ');
  return R;
}

std::string Blocked(const std::vector<std::string> &Cards) {
  std::string H;
  for (const std::string &C : Cards)
    H += Card(C);
  H += Card("END");
  H.resize((H.size() + 2879) / 2880 * 2880, ' ');
  return H;
}

// A 1-D image written by cfitsio: float data Y, the given cards (written as records).
void CfitsioImage(const std::string &F, std::vector<long> Naxes, const std::vector<float> &Y,
                  const std::vector<std::string> &Cards, bool InExtension = false,
                  const std::vector<std::string> &PrimaryCards = {}) {
  int Status = 0;
  fitsfile *Fp = nullptr;
  fits_create_file(&Fp, ("!" + F).c_str(), &Status);
  if (InExtension) {
    fits_create_img(Fp, FLOAT_IMG, 0, nullptr, &Status);
    for (const std::string &C : PrimaryCards)
      fits_write_record(Fp, Card(C).c_str(), &Status);
  }
  fits_create_img(Fp, FLOAT_IMG, static_cast<int>(Naxes.size()), Naxes.data(), &Status);
  for (const std::string &C : Cards)
    fits_write_record(Fp, Card(C).c_str(), &Status);
  fits_write_img(Fp, TFLOAT, 1, static_cast<LONGLONG>(Y.size()), const_cast<float *>(Y.data()), &Status);
  fits_close_file(Fp, &Status);
  ASSERT_EQ(Status, 0) << F;
}

std::string FitsverifyProblems(const TTempDir &Dir, const std::string &F) {
  std::string Out = Dir.File("verify.txt");
  std::string Cmd = "fitsverify -q -e '" + F + "' > '" + Out + "' 2>&1";
  int Rc = std::system(Cmd.c_str());
  std::string Report = testutil::ReadFile(Out);
  return Rc == 0 && Report.find("verification OK") != std::string::npos ? std::string() : Report;
}

std::string ErrorOf(const std::string &F) {
  try {
    ReadSpecFile(F, 1, 2, 0);
  } catch (const EOrvaError &E) {
    return E.what();
  }
  return "(no error)";
}

// ---------------------------------------------------------------- units

// CRVAL1 = 400, CDELT1 = 0.1, CRPIX1 = 1 in the unit given: x[0] and x[1] in Angstrom
// (or cm-1) are 400 and 400.1 times the unit's size in Angstrom.
TEST(FitsLayouts, UnitSpellings) {
  struct Row {
    const char *UnitCards; // CUNIT1 and/or CTYPE1 as they stand in the file
    double Factor;
    TAxisUnitKind Kind;
  } Rows[] = {
      {"CUNIT1  = 'Angstrom'", 1, TAxisUnitKind::Length},
      {"CUNIT1  = 'angstroms'", 1, TAxisUnitKind::Length},
      {"CUNIT1  = 'ANGSTROM'", 1, TAxisUnitKind::Length},
      {"CUNIT1  = 'Angstroms'", 1, TAxisUnitKind::Length},
      {"CUNIT1  = 'A       '", 1, TAxisUnitKind::Length},
      {"CUNIT1  = '\xC3\x85'", 1, TAxisUnitKind::Length}, // A with ring, UTF-8
      {"CUNIT1  = '0.1 nm'", 1, TAxisUnitKind::Length},
      {"CUNIT1  = 'nm'", 10, TAxisUnitKind::Length},
      {"CUNIT1  = 'NM'", 10, TAxisUnitKind::Length},
      {"CUNIT1  = 'um'", 1e4, TAxisUnitKind::Length},
      {"CUNIT1  = 'micron'", 1e4, TAxisUnitKind::Length},
      {"CUNIT1  = 'm'", 1e10, TAxisUnitKind::Length},
      {"CUNIT1  = 'cm'", 1e8, TAxisUnitKind::Length},
      {"CUNIT1  = 'cm-1'", 1, TAxisUnitKind::Wavenumber},
      // Without CUNIT1 the unit in CTYPE1 comes before the default Angstrom.
      {"CTYPE1  = 'Wavelength (nm)'", 10, TAxisUnitKind::Length},
      {"CTYPE1  = 'um'", 1e4, TAxisUnitKind::Length},
      {"CTYPE1  = 'WAVE'", 1, TAxisUnitKind::Length},
      // CUNIT1 wins over CTYPE1.
      {"CUNIT1  = 'Angstrom'|CTYPE1  = 'Wavelength (nm)'", 1, TAxisUnitKind::Length},
  };
  TTempDir Dir;
  std::string F = Dir.File("u.fits");
  for (const Row &R : Rows) {
    std::vector<std::string> Cards = {"SIMPLE  =                    T", "BITPIX  =                  -32",
                                      "NAXIS   =                    1", "NAXIS1  =                    2",
                                      "CRVAL1  =                400.0", "CDELT1  =                  0.1",
                                      "CRPIX1  =                  1.0"};
    std::string U = R.UnitCards;
    for (size_t P; (P = U.find('|')) != std::string::npos; U.erase(0, P + 1))
      Cards.push_back(U.substr(0, P));
    Cards.push_back(U);
    const char Data[8] = {0x3f, static_cast<char>(0x80), 0, 0, 0x40, 0, 0, 0}; // 1.0f, 2.0f
    testutil::WriteFile(F, Blocked(Cards) + std::string(Data, 8));
    TSpec32 S;
    S.ReadFits(F);
    ASSERT_EQ(S.Size(), 2) << R.UnitCards;
    EXPECT_NEAR(S.DataX[0], 400 * R.Factor, 1e-9 * 400 * R.Factor) << R.UnitCards;
    EXPECT_NEAR(S.DataX[1], 400.1 * R.Factor, 1e-9 * 400 * R.Factor) << R.UnitCards;
    EXPECT_EQ(S.Origin().Kind, R.Kind) << R.UnitCards;
    EXPECT_EQ(S.Origin().Source, "primary image");
    EXPECT_EQ(S.Origin().Axis, "linear");
  }
  // A unit we do not know names the file and the unit.
  testutil::WriteFile(F, Blocked({"SIMPLE  =                    T", "BITPIX  =                  -32",
                                  "NAXIS   =                    1", "NAXIS1  =                    1",
                                  "CRVAL1  =                400.0", "CDELT1  =                  0.1",
                                  "CRPIX1  =                  1.0", "CUNIT1  = 'furlong'"}) +
                             std::string(4, '\0'));
  EXPECT_EQ(ErrorOf(F), F + ": FURLONG: wavelength units unknown");
}

// A unit named only in CTYPE1 is recorded as CUNIT1 (marked as ours) and, when the file is
// saved, both say what x then is: Angstrom on a linear axis.
TEST(FitsLayouts, UnitInCtypeAndSavedHeader) {
  TTempDir Dir;
  std::string F = Dir.File("c.fits");
  CfitsioImage(F, {3}, {1, 2, 3},
               {"CRVAL1  =                 400.", "CD1_1   =                  0.5",
                "CRPIX1  =                   1.", "CTYPE1  = 'Wavelength (nm)'"});
  TSpec32 S;
  S.ReadFits(F);
  EXPECT_EQ(S.DataX, (TDblArr1D{4000, 4005, 4010}));
  std::string V, C;
  ASSERT_TRUE(S.FitsBess().ReadStr("CUNIT1  ", V, C));
  EXPECT_EQ(V, "nm");
  EXPECT_EQ(C, "added by Orvalumetrix");

  std::string W = Dir.File("w.fits");
  SaveSpecAsFits(S, W);
  EXPECT_EQ(FitsverifyProblems(Dir, W), "");
  int Status = 0;
  fitsfile *Fp = nullptr;
  char Unit[FLEN_VALUE] = {}, Type[FLEN_VALUE] = {};
  double Cdelt = 0;
  fits_open_file(&Fp, W.c_str(), READONLY, &Status);
  fits_read_key(Fp, TSTRING, "CUNIT1", Unit, nullptr, &Status);
  fits_read_key(Fp, TSTRING, "CTYPE1", Type, nullptr, &Status);
  fits_read_key(Fp, TDOUBLE, "CDELT1", &Cdelt, nullptr, &Status);
  int Missing = 0;
  char Dummy[FLEN_VALUE];
  fits_read_key(Fp, TDOUBLE, "CD1_1", Dummy, nullptr, &Missing);
  fits_close_file(Fp, &Status);
  ASSERT_EQ(Status, 0);
  EXPECT_STREQ(Unit, "Angstrom");
  EXPECT_STREQ(Type, "Wavelength");
  EXPECT_EQ(Cdelt, 5);
  EXPECT_EQ(Missing, KEY_NO_EXIST) << "CD1_1 would describe another axis";
  TSpec32 R;
  R.ReadFits(W);
  EXPECT_EQ(R.DataX, S.DataX);
}

// CD1_1 stands in for CDELT1; when both are given CDELT1 wins.
TEST(FitsLayouts, Cd11AndCdelt1) {
  TTempDir Dir;
  std::string F = Dir.File("d.fits");
  struct Row {
    std::vector<std::string> Cards;
    TDblArr1D X;
  } Rows[] = {
      {{"CD1_1   =                  2.0"}, {6000, 6002, 6004}},
      {{"CDELT1  =                  0.5", "CD1_1   =                  2.0"}, {6000, 6000.5, 6001}},
      {{"CD1_1   =                  2.0", "CDELT1  =                  0.5"}, {6000, 6000.5, 6001}},
  };
  for (Row &R : Rows) {
    R.Cards.push_back("CRVAL1  =               6000.0");
    R.Cards.push_back("CRPIX1  =                  1.0");
    CfitsioImage(F, {3}, {1, 2, 3}, R.Cards);
    TSpec32 S;
    S.ReadFits(F);
    EXPECT_EQ(S.DataX, R.X) << R.Cards[0];
    EXPECT_TRUE(S.Equidistant());
  }
  CfitsioImage(F, {3}, {1, 2, 3}, {"CRVAL1  =               6000.0", "CRPIX1  =                  1.0"});
  EXPECT_EQ(ErrorOf(F), F + ": CDELT1 is missing");
}

// ---------------------------------------------------------------- logarithmic axes

// Reference values worked out with 30-digit decimal arithmetic from the two formulas:
// WAVE-LOG (FITS WCS paper III) x = CRVAL1 exp(CDELT1 (p - CRPIX1) / CRVAL1) with 5000, 0.5, 1;
// DC-FLAG = 1 x = 10^(CRVAL1 + CDELT1 (p - CRPIX1)) with 3.6, 1e-4, 1.
TEST(FitsLayouts, LogAxes) {
  TTempDir Dir;
  std::string F = Dir.File("l.fits");
  struct Row {
    std::vector<std::string> Cards;
    double X[5];
  } Rows[] = {
      {{"CTYPE1  = 'WAVE-LOG'", "CRVAL1  =               5000.0", "CDELT1  =                  0.5"},
       {5000, 5000.50002500083335, 5001.00010000666700, 0, 5002.00040005333867}},
      // The same in nm with CRVAL1 = 500: ten times the values in nm.
      {{"CTYPE1  = 'WAVE-LOG'", "CUNIT1  = 'nm'", "CRVAL1  =                500.0",
        "CDELT1  =                 0.05"},
       {5000, 5000.50002500083335, 5001.00010000666700, 0, 5002.00040005333867}},
      {{"DC-FLAG =                    1", "CRVAL1  =                  3.6", "CDELT1  =               0.0001"},
       {3981.07170553497251, 3981.98848671558646, 3982.90547901717369, 0, 3984.74009717775113}},
  };
  for (Row &R : Rows) {
    R.Cards.push_back("CRPIX1  =                  1.0");
    CfitsioImage(F, {5}, {1, 2, 3, 4, 5}, R.Cards);
    TSpec32 S;
    S.ReadFits(F);
    ASSERT_EQ(S.Size(), 5);
    for (int i : {0, 1, 2, 4})
      EXPECT_NEAR(S.DataX[i], R.X[i], 1e-9) << R.Cards[0] << " index " << i;
    EXPECT_EQ(S.Origin().Axis, "log");
    EXPECT_FALSE(S.Equidistant()) << R.Cards[0];
    EXPECT_EQ(S.DataY, (TDblArr1D{1, 2, 3, 4, 5}));
    // Saving asks for a resampled spectrum, as for any uneven one.
    try {
      SaveSpecAsFits(S, Dir.File("o.fits"));
      ADD_FAILURE() << "saved";
    } catch (const EOrvaError &E) {
      EXPECT_STREQ(E.what(), "x-values not equidistant; resample spectrum");
    }
  }
  // Axes that cannot be computed.
  CfitsioImage(F, {2}, {1, 2},
               {"CTYPE1  = 'WAVE-LOG'", "CRVAL1  =                  0.0", "CDELT1  =                  1.0",
                "CRPIX1  =                  1.0"});
  EXPECT_EQ(ErrorOf(F), F + ": CRVAL1 must not be 0 on a WAVE-LOG axis");
  CfitsioImage(F, {2}, {1, 2},
               {"DC-FLAG =                    1", "CRVAL1  =                400.0",
                "CDELT1  =                  1.0", "CRPIX1  =                  1.0"});
  EXPECT_EQ(ErrorOf(F), F + ": the logarithmic x-axis leaves the range of numbers");
  // DC-FLAG = 0 is the linear axis.
  CfitsioImage(F, {2}, {1, 2},
               {"DC-FLAG =                    0", "CRVAL1  =               4000.0",
                "CDELT1  =                  1.0", "CRPIX1  =                  1.0"});
  TSpec32 S;
  S.ReadFits(F);
  EXPECT_EQ(S.DataX, (TDblArr1D{4000, 4001}));
  EXPECT_EQ(S.Origin().Axis, "linear");
}

// ---------------------------------------------------------------- image layouts

TEST(FitsLayouts, EmptyPrimaryAndImageExtension) {
  TTempDir Dir;
  std::string F = Dir.File("x.fits");
  std::vector<float> Y(100);
  for (int i = 0; i < 100; ++i)
    Y[i] = static_cast<float>(std::sin(i * 0.3) * 50 + i);
  CfitsioImage(F, {100}, Y,
               {"EXTNAME = 'SCI'", "CRVAL1  =                 650.", "CDELT1  =                 0.01",
                "CRPIX1  =                  1.0", "CUNIT1  = 'nm'", "OBJECT  = 'in the extension'"},
               true, {"OBJECT  = 'alpha Lyr'", "DATE-OBS= '2026-12-09T01:02:03'"});
  // cfitsio's reading of the extension is the truth.
  std::vector<double> Truth(100);
  int Status = 0, AnyNull = 0;
  fitsfile *Fp = nullptr;
  fits_open_file(&Fp, (F + "[1]").c_str(), READONLY, &Status);
  fits_read_img(Fp, TDOUBLE, 1, 100, nullptr, Truth.data(), &AnyNull, &Status);
  fits_close_file(Fp, &Status);
  ASSERT_EQ(Status, 0);

  TSpec32 S;
  S.ReadFits(F);
  ASSERT_EQ(S.Size(), 100);
  for (int i = 0; i < 100; ++i) {
    ASSERT_EQ(S.DataY[i], Truth[i]) << i;
    ASSERT_NEAR(S.DataX[i], 6500 + 0.1 * i, 1e-9) << i;
  }
  EXPECT_EQ(S.Origin().Source, "extension 1 image");
  const TFitsBess &H = S.FitsBess();
  // The primary's cards come first and win; the extension adds what the primary lacks,
  // without its structure.
  std::string V, C;
  ASSERT_TRUE(H.ReadStr("OBJECT  ", V, C));
  EXPECT_EQ(V, "alpha Lyr");
  EXPECT_EQ(H.DATE_OBS(), "2026-12-09T01:02:03");
  EXPECT_EQ(H.NAXIS(), 1);
  EXPECT_EQ(H.NAXIS1(), 100);
  EXPECT_EQ(H.IndexOfKey("NAXIS1  "), H.IndexOfKey("NAXIS   ") + 1);
  EXPECT_EQ(H.BITPIX(), -32);
  for (const char *K : {"XTENSION", "PCOUNT  ", "GCOUNT  "})
    EXPECT_EQ(H.IndexOfKey(K), -1) << K;

  std::string W = Dir.File("w.fits");
  SaveSpecAsFits(S, W);
  EXPECT_EQ(FitsverifyProblems(Dir, W), "");
  TSpec32 R;
  R.ReadFits(W);
  EXPECT_EQ(R.Origin().Source, "primary image");
  for (int i = 0; i < 100; ++i)
    ASSERT_NEAR(R.DataX[i], S.DataX[i], 1e-9) << i;

  // An empty primary with nothing after it, and an extension of another kind.
  CfitsioImage(W, {3}, {1, 2, 3}, {});
  int St = 0;
  fits_create_file(&Fp, ("!" + W).c_str(), &St);
  fits_create_img(Fp, FLOAT_IMG, 0, nullptr, &St);
  fits_close_file(Fp, &St);
  ASSERT_EQ(St, 0);
  EXPECT_EQ(ErrorOf(W), W + ": the primary HDU is empty and no extension follows");
  testutil::WriteFile(W, Blocked({"SIMPLE  =                    T", "BITPIX  =                    8",
                                  "NAXIS   =                    0"}) +
                             Blocked({"XTENSION= 'TABLE   '", "BITPIX  =                    8",
                                      "NAXIS   =                    2", "NAXIS1  =                    0",
                                      "NAXIS2  =                    0", "PCOUNT  =                    0",
                                      "GCOUNT  =                    1", "TFIELDS =                    0"}));
  EXPECT_EQ(ErrorOf(W), W + ": extension type TABLE is not supported");
}

TEST(FitsLayouts, ExtraAxesOneLong) {
  TTempDir Dir;
  std::string F = Dir.File("a.fits");
  const std::vector<std::string> Axis = {"CRVAL1  =               6500.0", "CDELT1  =                  0.5",
                                         "CRPIX1  =                  1.0"};
  for (std::vector<long> Naxes : {std::vector<long>{4, 1}, std::vector<long>{4, 1, 1}}) {
    CfitsioImage(F, Naxes, {4, 3, 2, 1}, Axis);
    TSpec32 S;
    S.ReadFits(F);
    EXPECT_EQ(S.DataY, (TDblArr1D{4, 3, 2, 1})) << Naxes.size();
    EXPECT_EQ(S.DataX, (TDblArr1D{6500, 6500.5, 6501, 6501.5}));
    EXPECT_EQ(S.FitsBess().NAXIS(), 1);
    EXPECT_EQ(S.FitsBess().IndexOfKey("NAXIS2  "), -1);
    EXPECT_EQ(S.FitsBess().IndexOfKey("NAXIS3  "), -1);
    std::string W = Dir.File("w.fits");
    SaveSpecAsFits(S, W);
    EXPECT_EQ(FitsverifyProblems(Dir, W), "");
  }
  for (std::vector<long> Naxes :
       {std::vector<long>{2, 1, 2}, std::vector<long>{2, 2}, std::vector<long>{2, 1, 1, 1}}) {
    CfitsioImage(F, Naxes, {1, 2, 3, 4}, Axis);
    EXPECT_EQ(ErrorOf(F), F + ": only NAXIS = 1 is supported") << Naxes.size();
  }
}

// ---------------------------------------------------------------- binary tables

struct TTableCase {
  bool Arrays;       // one row of arrays, or one value per row
  int Type;          // cfitsio column type code: TBYTE, TSHORT, TINT32BIT, TLONGLONG, TFLOAT, TDOUBLE
  const char *Tform; // the letter
  const char *Wave;  // column name, or "" for none
  const char *Flux;
  const char *WaveUnit;
  double Factor; // of the wave unit to Angstrom
};

void PrintTo(const TTableCase &C, std::ostream *Os) {
  *Os << (C.Arrays ? "arrays " : "rows ") << C.Tform << " " << C.Wave << "/" << C.Flux << " " << C.WaveUnit;
}

class BinaryTables : public ::testing::TestWithParam<TTableCase> {};

// cfitsio writes the table (the primary is empty and carries OBJECT), reads the columns back
// as doubles, and our spectrum must hold the same values: x from the wave column in Angstrom
// (10^loglam for loglam), or the 0-based index; y from the flux column.
TEST_P(BinaryTables, ReadAsCfitsioReadsThem) {
  const TTableCase P = GetParam();
  TTempDir Dir;
  std::string F = Dir.File("t.fits");
  const long N = 37;
  const bool HasWave = P.Wave[0] != 0;
  std::vector<double> Wv(N), Fl(N);
  const bool LogLam = std::string(P.Wave) == "loglam";
  for (long i = 0; i < N; ++i) {
    Wv[i] = LogLam ? 3.6 + 1e-4 * i : 100 + 3 * i; // whole numbers that fit every column type
    Fl[i] = (i * 7) % 23 + (P.Type == TFLOAT || P.Type == TDOUBLE ? 0.25 : 0);
  }
  int Status = 0;
  fitsfile *Fp = nullptr;
  fits_create_file(&Fp, ("!" + F).c_str(), &Status);
  fits_create_img(Fp, FLOAT_IMG, 0, nullptr, &Status);
  fits_write_record(Fp, Card("OBJECT  = 'HD 1'").c_str(), &Status);
  std::string Rep = P.Arrays ? std::to_string(N) : "1";
  std::string Wform = Rep + (LogLam ? "E" : P.Tform), Fform = Rep + P.Tform;
  std::vector<std::string> Names, Forms, Units;
  Names.push_back("ERR");
  Forms.push_back(Rep + "E");
  Units.push_back("");
  if (HasWave) {
    Names.push_back(P.Wave);
    Forms.push_back(Wform);
    Units.push_back(P.WaveUnit);
  }
  Names.push_back(P.Flux);
  Forms.push_back(Fform);
  Units.push_back("");
  std::vector<char *> Nm, Fm, Un;
  for (size_t k = 0; k < Names.size(); ++k) {
    Nm.push_back(Names[k].data());
    Fm.push_back(Forms[k].data());
    Un.push_back(Units[k].data());
  }
  fits_create_tbl(Fp, BINARY_TBL, P.Arrays ? 1 : N, static_cast<int>(Names.size()), Nm.data(), Fm.data(),
                  Un.data(), "SPECTRUM", &Status);
  fits_write_record(Fp, Card("EXPTIME =                 30.0").c_str(), &Status);
  fits_write_record(Fp, Card("OBJECT  = 'ignored: the primary has it'").c_str(), &Status);
  std::vector<double> Err(N, 0.5);
  const int WaveCol = 2, FluxCol = HasWave ? 3 : 2;
  if (P.Arrays) {
    fits_write_col(Fp, TDOUBLE, 1, 1, 1, N, Err.data(), &Status);
    if (HasWave) fits_write_col(Fp, TDOUBLE, WaveCol, 1, 1, N, Wv.data(), &Status);
    fits_write_col(Fp, TDOUBLE, FluxCol, 1, 1, N, Fl.data(), &Status);
  } else {
    fits_write_col(Fp, TDOUBLE, 1, 1, 1, N, Err.data(), &Status);
    if (HasWave) fits_write_col(Fp, TDOUBLE, WaveCol, 1, 1, N, Wv.data(), &Status);
    fits_write_col(Fp, TDOUBLE, FluxCol, 1, 1, N, Fl.data(), &Status);
  }
  fits_close_file(Fp, &Status);
  ASSERT_EQ(Status, 0);

  std::vector<double> TW(N), TF(N);
  int AnyNull = 0;
  fits_open_file(&Fp, (F + "[1]").c_str(), READONLY, &Status);
  if (HasWave) fits_read_col(Fp, TDOUBLE, WaveCol, 1, 1, N, nullptr, TW.data(), &AnyNull, &Status);
  fits_read_col(Fp, TDOUBLE, FluxCol, 1, 1, N, nullptr, TF.data(), &AnyNull, &Status);
  fits_close_file(Fp, &Status);
  ASSERT_EQ(Status, 0);

  TSpec32 S;
  S.ReadFits(F);
  ASSERT_EQ(S.Size(), N);
  for (long i = 0; i < N; ++i) {
    ASSERT_EQ(S.DataY[i], TF[i]) << i;
    const double X = !HasWave ? static_cast<double>(i) : LogLam ? std::pow(10.0, TW[i]) : TW[i] * P.Factor;
    ASSERT_NEAR(S.DataX[i], X, 1e-9 * std::fabs(X)) << i;
  }
  EXPECT_EQ(S.Origin().Axis, "table");
  EXPECT_EQ(S.Origin().Source,
            "extension 1 table columns " + std::string(HasWave ? P.Wave : "(row index)") + "/" + P.Flux);
  const TFitsBess &H = S.FitsBess();
  std::string V, C;
  ASSERT_TRUE(H.ReadStr("OBJECT  ", V, C));
  EXPECT_EQ(V, "HD 1");
  EXPECT_EQ(H.EXPTIME(), 30.0);
  EXPECT_EQ(H.NAXIS(), 1);
  EXPECT_EQ(H.NAXIS1(), N);
  for (int k = 0; k < H.Count(); ++k)
    EXPECT_FALSE(IsTableStructureKey(H.Strings(k).substr(0, 8))) << H.Strings(k);

  // Equidistant tables save as valid 1-D images with x in Angstrom.
  if (S.Equidistant()) {
    std::string W = Dir.File("w.fits");
    SaveSpecAsFits(S, W);
    EXPECT_EQ(FitsverifyProblems(Dir, W), "");
    TSpec32 R;
    R.ReadFits(W);
    for (long i = 0; i < N; ++i)
      ASSERT_NEAR(R.DataX[i], S.DataX[i], 1e-9 * std::fabs(S.DataX[i]) + 1e-9) << i;
    if (HasWave) EXPECT_EQ(R.FitsBess().CUNIT1(), "Angstrom");
  }
}

INSTANTIATE_TEST_SUITE_P(
    LayoutsTypesNames, BinaryTables,
    ::testing::Values(TTableCase{false, TDOUBLE, "D", "WAVE", "FLUX", "Angstrom", 1},
                      TTableCase{true, TDOUBLE, "D", "WAVE", "FLUX", "Angstrom", 1},
                      TTableCase{false, TFLOAT, "E", "wavelength", "FLUX_REDUCED", "nm", 10},
                      TTableCase{true, TFLOAT, "E", "LAMBDA", "flux", "", 1},
                      TTableCase{false, TBYTE, "B", "WAVE", "counts", "", 1},
                      TTableCase{true, TSHORT, "I", "Wavelength", "DATA", "angstroms", 1},
                      TTableCase{false, TINT32BIT, "J", "WAVE", "FLUX", "um", 1e4},
                      TTableCase{true, TLONGLONG, "K", "WAVE", "FLUX", "Angstrom", 1},
                      TTableCase{false, TFLOAT, "E", "loglam", "flux", "", 1},
                      TTableCase{true, TDOUBLE, "D", "loglam", "FLUX", "", 1},
                      TTableCase{false, TFLOAT, "E", "", "FLUX", "", 1},
                      TTableCase{true, TSHORT, "I", "", "DATA", "", 1}));

// TSCALn/TZEROn apply; an integer equal to TNULLn is undefined (NaN); cfitsio is the truth.
TEST(FitsLayouts, TableScalingAndNulls) {
  TTempDir Dir;
  std::string F = Dir.File("s.fits");
  int Status = 0;
  fitsfile *Fp = nullptr;
  fits_create_file(&Fp, ("!" + F).c_str(), &Status);
  fits_create_img(Fp, SHORT_IMG, 0, nullptr, &Status);
  char W[] = "WAVE", Fl[] = "FLUX", Wf[] = "1J", Ff[] = "1I";
  char *Names[] = {W, Fl}, *Forms[] = {Wf, Ff};
  fits_create_tbl(Fp, BINARY_TBL, 6, 2, Names, Forms, nullptr, nullptr, &Status);
  double Ts = 0.5, Tz = 6000;
  long long Null = -999;
  fits_write_key(Fp, TDOUBLE, "TSCAL1", &Ts, nullptr, &Status);
  fits_write_key(Fp, TDOUBLE, "TZERO1", &Tz, nullptr, &Status);
  double Fs = 2, Fz = -1;
  fits_write_key(Fp, TDOUBLE, "TSCAL2", &Fs, nullptr, &Status);
  fits_write_key(Fp, TDOUBLE, "TZERO2", &Fz, nullptr, &Status);
  fits_write_key(Fp, TLONGLONG, "TNULL2", &Null, nullptr, &Status);
  fits_set_tscale(Fp, 1, 1.0, 0.0, &Status);
  fits_set_tscale(Fp, 2, 1.0, 0.0, &Status);
  long long RawW[6] = {0, 1, 2, 3, 4, 5}, RawF[6] = {10, -999, 30, 40, 50, -60};
  fits_write_col(Fp, TLONGLONG, 1, 1, 1, 6, RawW, &Status);
  fits_write_col(Fp, TLONGLONG, 2, 1, 1, 6, RawF, &Status);
  fits_close_file(Fp, &Status);
  ASSERT_EQ(Status, 0);
  std::vector<double> TW(6), TF(6);
  std::vector<char> Nul(6);
  int AnyNull = 0;
  fits_open_file(&Fp, (F + "[1]").c_str(), READONLY, &Status);
  fits_read_col(Fp, TDOUBLE, 1, 1, 1, 6, nullptr, TW.data(), &AnyNull, &Status);
  fits_read_colnull(Fp, TDOUBLE, 2, 1, 1, 6, TF.data(), Nul.data(), &AnyNull, &Status);
  fits_close_file(Fp, &Status);
  ASSERT_EQ(Status, 0);
  TSpec32 S;
  S.ReadFits(F);
  ASSERT_EQ(S.Size(), 6);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(S.DataX[i], TW[i]) << i;
    if (Nul[i])
      EXPECT_TRUE(std::isnan(S.DataY[i])) << i;
    else
      EXPECT_EQ(S.DataY[i], TF[i]) << i;
  }
  EXPECT_EQ(S.DataX[1], 6000.5); // by hand: 1 x 0.5 + 6000
  EXPECT_EQ(S.DataY[5], -121);   // -60 x 2 - 1
  EXPECT_TRUE(Nul[1]);
  EXPECT_EQ(S.MinVal(), -121);
  EXPECT_EQ(S.MaxVal(), 99);
}

// What the save step leaves of the axis cards: x is held in Angstrom (or in the wavenumbers
// or other unit a conversion left) on a linear axis.
TEST(FitsLayouts, SavedHeaderDescribesWhatIsHeld) {
  struct Row {
    std::vector<std::string> Extra;
    std::string Unit, Type; // CUNIT1 and CTYPE1 afterwards
  } Rows[] = {
      {{"CUNIT1  = 'um'"}, "Angstrom", ""},
      {{"CUNIT1  = 'Angstroms'", "CTYPE1  = 'Wavelength (Angstrom)'"}, "Angstrom", "Wavelength (Angstrom)"},
      {{"CUNIT1  = 'cm-1'", "CTYPE1  = 'Wavenumber'"}, "cm-1", "Wavenumber"},
      {{"CUNIT1  = 'km/s'", "CTYPE1  = 'Velocity'"}, "km/s", "Velocity"},
      {{"CTYPE1  = 'WAVE-LOG'", "CUNIT1  = 'nm'", "DC-FLAG =                    1",
        "CD1_1   =                  0.1"},
       "Angstrom",
       "Wavelength"},
      {{"CTYPE1  = 'Wavelength (nm)'", "CUNIT1  = 'nm'", "TTYPE1  = 'WAVE'", "TFORM1  = '1E'",
        "TFIELDS =                    2"},
       "Angstrom",
       "Wavelength"},
      {{"CTYPE1  = 'WAVE'"}, "", "WAVE"},
  };
  for (const Row &R : Rows) {
    TSpec32 S;
    S.NewSpec("s", 3, 1, nullptr);
    S.DataX = {10, 20, 30};
    S.FinishFromArrays();
    TFitsBess &H = S.FitsBess();
    for (const char *K : {"CUNIT1  ", "CTYPE1  "})
      H.Delete(H.IndexOfKey(K));
    for (const std::string &C : R.Extra)
      H.Add(Card(C));
    PrepareFitsHeader(S);
    EXPECT_EQ(Trim(H.CUNIT1()), R.Unit) << R.Extra[0];
    EXPECT_EQ(Trim(H.CTYPE1()), R.Type) << R.Extra[0];
    for (const char *K : {"DC-FLAG ", "CD1_1   ", "TTYPE1  ", "TFORM1  ", "TFIELDS "})
      EXPECT_EQ(H.IndexOfKey(K), -1) << K;
    EXPECT_EQ(H.CDELT1(), 10);
    EXPECT_EQ(H.CRVAL1(), 10);
  }
}

// A hand-made file: an empty primary and a binary table with the given cards and data.
std::string TableFile(const std::vector<std::string> &ExtCards, const std::string &Data) {
  std::string D = Data;
  D.resize((D.size() + 2879) / 2880 * 2880, '\0');
  return Blocked({"SIMPLE  =                    T", "BITPIX  =                    8",
                  "NAXIS   =                    0", "EXTEND  =                    T"}) +
         Blocked(ExtCards) + D;
}

std::vector<std::string> TableCards(const std::string &Naxis1, const std::string &Naxis2,
                                    const std::string &Tfields, const std::vector<std::string> &Columns) {
  std::vector<std::string> C = {"XTENSION= 'BINTABLE'",
                                "BITPIX  =                    8",
                                "NAXIS   =                    2",
                                "NAXIS1  = " + Naxis1,
                                "NAXIS2  = " + Naxis2,
                                "PCOUNT  =                    0",
                                "GCOUNT  =                    1",
                                "TFIELDS = " + Tfields};
  C.insert(C.end(), Columns.begin(), Columns.end());
  return C;
}

// Tables that cannot be read: named in the message, refused before anything is allocated
// from their sizes (the data part of each file is one 2880-byte block).
TEST(FitsLayouts, UnreadableAndHostileTables) {
  TTempDir Dir;
  std::string F = Dir.File("h.fits");
  const std::string B = F + ": binary table: ";
  const std::vector<std::string> WaveFlux = {"TTYPE1  = 'WAVE'", "TFORM1  = '1E'", "TTYPE2  = 'FLUX'",
                                             "TFORM2  = '1E'"};
  struct Row {
    std::vector<std::string> Cards;
    std::string Msg;
  } Rows[] = {
      {TableCards("8", "1000000000000", "2", WaveFlux),
       B + "1000000000000 rows of 8 bytes are more than the file holds"},
      {TableCards("9223372036854775807", "2", "2", WaveFlux),
       B + "2 rows of 9223372036854775807 bytes are more than the file holds"},
      {TableCards("8", "-1", "2", WaveFlux), B + "NAXIS1 or NAXIS2 missing or negative"},
      {TableCards("8", "10", "2000000000", WaveFlux), B + "TFIELDS missing or out of range (0 to 999)"},
      {TableCards("8", "10", "-3", WaveFlux), B + "TFIELDS missing or out of range (0 to 999)"},
      {TableCards(
           "8", "10", "2",
           {"TTYPE1  = 'WAVE'", "TFORM1  = '100000000000000000E'", "TTYPE2  = 'FLUX'", "TFORM2  = '1E'"}),
       B + "TFORM1 = '100000000000000000E' is wider than a row"},
      {TableCards(
           "8", "10", "2",
           {"TTYPE1  = 'WAVE'", "TFORM1  = '99999999999999999999E'", "TTYPE2  = 'FLUX'", "TFORM2  = '1E'"}),
       B + "TFORM1 = '99999999999999999999E' is not understood"},
      {TableCards("8", "10", "2",
                  {"TTYPE1  = 'WAVE'", "TFORM1  = '1E'", "TTYPE2  = 'FLUX'", "TFORM2  = '2E'"}),
       B + "the columns up to 2 are wider than a row (NAXIS1)"},
      {TableCards("8", "10", "2", {"TTYPE1  = 'WAVE'", "TFORM1  = '1E'", "TTYPE2  = 'FLUX'"}),
       B + "TFORM2 is missing"},
      {TableCards("8", "10", "2",
                  {"TTYPE1  = 'WAVE'", "TFORM1  = '1E'", "TTYPE2  = 'FLUX'", "TFORM2  = '1Z'"}),
       B + "TFORM2 = '1Z' is not understood"},
      {TableCards("8", "10", "2",
                  {"TTYPE1  = 'WAVE'", "TFORM1  = '1E'", "TTYPE2  = 'SPEC'", "TFORM2  = '1E'"}),
       B + "no flux column (FLUX, FLUX_REDUCED, COUNTS or DATA) among its columns: WAVE, SPEC"},
      {TableCards("8", "10", "2",
                  {"TTYPE1  = 'WAVE'", "TFORM1  = '4A'", "TTYPE2  = 'FLUX'", "TFORM2  = '1E'"}),
       B + "column WAVE is not numeric (TFORM '4A')"},
      {TableCards("16", "2", "2",
                  {"TTYPE1  = 'WAVE'", "TFORM1  = '2E'", "TTYPE2  = 'FLUX'", "TFORM2  = '2E'"}),
       B + "2 rows of 2 values in column FLUX: only one value per row or one row of arrays is read"},
      {TableCards("12", "1", "2",
                  {"TTYPE1  = 'WAVE'", "TFORM1  = '1E'", "TTYPE2  = 'FLUX'", "TFORM2  = '2E'"}),
       B + "columns WAVE and FLUX differ in length"},
      {TableCards("8", "0", "2", WaveFlux), B + "column FLUX holds no values"},
      {TableCards("8", "10", "2",
                  {"TTYPE1  = 'WAVE'", "TFORM1  = '1E'", "TUNIT1  = 'parsec'", "TTYPE2  = 'FLUX'",
                   "TFORM2  = '1E'"}),
       F + ": PARSEC: wavelength units unknown"},
  };
  for (const Row &R : Rows) {
    testutil::WriteFile(F, TableFile(R.Cards, std::string(80, '\0')));
    EXPECT_EQ(ErrorOf(F), R.Msg);
    TSpec32 S;
    EXPECT_THROW(S.ReadFits(F), EOrvaError);
    EXPECT_FALSE(S.FitsBess().StreamOpen());
  }
  // The same layout with sizes that fit reads.
  testutil::WriteFile(F, TableFile(TableCards("8", "10", "2", WaveFlux), std::string(80, '\0')));
  TSpec32 S;
  S.ReadFits(F);
  EXPECT_EQ(S.Size(), 10);
}

} // namespace
