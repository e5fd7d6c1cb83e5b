#pragma once
// The FITS header of one spectrum: an ordered list of 80-character cards (the END card is
// never in the list), typed reads and writes, the keyword accessors the program uses, the
// editor's card composition, and the reading and writing of one-dimensional FITS files.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/USpecTypes.h"

// Where the spectrum of a FITS file was found.
enum class TFitsLayout { PrimaryImage, ExtensionImage, ExtensionTable };

// What an axis unit (CUNIT1, a unit named in CTYPE1, TUNITn) says about x.
enum class TAxisUnitKind { Unknown, Length, Wavenumber };
// Recognises a unit of x in any usual spelling and case: Angstrom ('A', 'Angstroms', 'Å',
// '0.1 nm', ...), nm, um/micron, mm, cm, m (Kind Length, Factor to Angstrom) and wavenumbers in
// cm-1 (Kind Wavenumber, Factor 1, x kept in cm-1). Unknown otherwise.
TAxisUnitKind ParseAxisUnit(std::string_view Unit, double &Factor);
// The unit named in a CTYPE1 value ('nm', 'Wavelength (nm)', 'WAVE [Angstrom]',
// 'lambda in A'), or empty when it names none.
std::string UnitInCtype(const std::string &Ctype);
// Whether CTYPE1 names a logarithmic wavelength axis ('WAVE-LOG', 'AWAV-LOG').
bool IsLogCtype(const std::string &Ctype);
// Cards of a table or extension structure (XTENSION, PCOUNT, GCOUNT, TFIELDS, THEAP,
// TTYPEn, TFORMn, TUNITn, ..., EXTNAME, CHECKSUM/DATASUM of the extension) that mean nothing
// in the header of a one-dimensional image.
bool IsTableStructureKey(const std::string &Key8);

class TFitsBess {
public:
  TFitsBess() = default;
  ~TFitsBess() = default;
  TFitsBess(const TFitsBess &Other);            // card-by-card copy; no open file
  TFitsBess &operator=(const TFitsBess &Other); // likewise

  // ---- the card list
  int Count() const { return static_cast<int>(pCards.size()); }
  const std::string &Strings(int N) const;
  void SetStrings(int N, const std::string &Card);
  void Add(const std::string &Card) { pCards.push_back(Card); }
  void Insert(int N, const std::string &Card);
  void Delete(int N);
  void Clear() { pCards.clear(); }
  const std::vector<std::string> &Cards() const { return pCards; }
  // Index of the first card whose columns 1-8 equal Key (padded to 8), or -1.
  int IndexOfKey(const std::string &Key) const;

  // ---- typed reads (Key padded to 8 characters); false when not found.
  // ReadStr returns the string with its doubled quotes undoubled.
  bool ReadBoo(const std::string &Key, bool &Value, std::string &Strg, std::string &Comment) const;
  bool ReadInt(const std::string &Key, int32_t &Value, std::string &Strg, std::string &Comment) const;
  bool ReadDbl(const std::string &Key, double &Value, std::string &Strg, std::string &Comment) const;
  bool ReadStr(const std::string &Key, std::string &Value, std::string &Comment) const;

  // ---- typed writes: replace the first card of Key in place or append
  void WriteBoo(const std::string &Key, bool Value, const std::string &Comment);
  void WriteInt(const std::string &Key, int64_t Value, const std::string &Comment);
  void WriteDbl(const std::string &Key, double Value, const std::string &Comment);
  // Quotes in Value are doubled; a value longer than MaxStringLength (so counted) raises
  // EOrvaError naming the keyword, and the header is unchanged.
  void WriteStr(const std::string &Key, const std::string &Value, const std::string &Comment);

  // ---- keyword accessors (getter defaults and setter comments as the card model says)
  int32_t BITPIX() const;
  void SetBITPIX(int32_t V);
  int32_t NAXIS() const;
  void SetNAXIS(int32_t V);
  int32_t NAXIS1() const;
  void SetNAXIS1(int32_t V);
  double BSCALE() const;
  void SetBSCALE(double V);
  double BZERO() const;
  void SetBZERO(double V);
  std::string OBJNAME() const;
  void SetOBJNAME(const std::string &V);
  std::string DATE_OBS() const;
  void SetDATE_OBS(const std::string &V);
  double EXPTIME() const;
  void SetEXPTIME(double V);
  std::string BSS_INST() const;
  void SetBSS_INST(const std::string &V);
  std::string BSS_SITE() const;
  void SetBSS_SITE(const std::string &V);
  std::string OBSERVER() const;
  void SetOBSERVER(const std::string &V);
  double CRVAL1() const;
  void SetCRVAL1(double V);
  double CDELT1() const;
  void SetCDELT1(double V);
  double CRPIX1() const;
  void SetCRPIX1(double V);
  std::string CUNIT1() const;
  void SetCUNIT1(const std::string &V);
  std::string CTYPE1() const;
  void SetCTYPE1(const std::string &V);
  double BSS_VHEL() const;
  void SetBSS_VHEL(double V);
  std::string BSS_TELL() const;
  void SetBSS_TELL(const std::string &V);
  std::string BSS_COSM() const;
  void SetBSS_COSM(const std::string &V);
  std::string BSS_NORM() const;
  void SetBSS_NORM(const std::string &V);

  // ---- editor operations
  // Typ: -1 commentary or no value, 0 integer, 1 real, 2 string, 3 logical.
  // A card without "= " in columns 9-10 (CONTINUE, or any other keyword without a value) is
  // read like commentary: Typ -1, Value = columns 9-80 trimmed, the card itself untouched.
  // A string value is returned between quotes with its doubled quotes undoubled.
  void ReadLine(int N, std::string &Key, std::string &Value, std::string &Comment, int &Typ) const;
  // Typ 2: Value is the text as typed, optionally between quotes; quotes inside are doubled.
  // A value for which ValueFits is false is an internal consistency error.
  static std::string ComposeLine(const std::string &Key, const std::string &Value, int Typ,
                                 const std::string &Comment);
  static int IsNumber(const std::string &Value);

  // ---- what a card can hold (the one limit of the writer and the header editor)
  // Characters between the quotes of a string card (columns 12-79), quotes counted doubled.
  static constexpr int MaxStringLength = 68;
  // Characters of a number or logical value (columns 11-30).
  static constexpr int MaxNumberLength = 20;
  // Characters of commentary text (columns 10-80).
  static constexpr int MaxCommentaryLength = 71;
  // The text between the quotes as a card stores it: every quote doubled.
  static std::string QuoteString(const std::string &Value);
  // Whether Value, as ComposeLine takes it for the type Typ, fits one card.
  static bool ValueFits(const std::string &Value, int Typ);

  // Replaces all cards by the default header of a spectrum of nNAXIS1 points.
  void NewHeader(int32_t nNAXIS1);

  // ---- files
  // Reads the header of the spectrum: the primary header, or, when the primary HDU is empty
  // (NAXIS = 0), the primary header merged with that of the first extension (an image: its
  // structure and axis cards replace the primary's; a binary table: its cards that the
  // primary lacks, without the table structure, and the table's own cards are kept apart
  // in ExtensionCards). NAXIS = 2 or 3 with the extra axes 1 long counts as NAXIS = 1.
  // CD1_1 stands in for a missing CDELT1. Without CUNIT1, a unit named in CTYPE1 is taken
  // before the default 'Angstrom'.
  void ReadHeader(const std::string &FName, bool KeepStream);
  TFitsLayout Layout() const { return pLayout; }
  // The cards of the binary table extension read by ReadHeader (empty for images).
  const std::vector<std::string> &ExtensionCards() const { return pExtCards; }
  // The step of a linear axis: CDELT1, or CD1_1 when CDELT1 is missing (0 when both are).
  double AxisStep() const;
  // Makes NAXIS = 1 and NAXIS1 = N with NAXIS1 right after NAXIS; removes NAXIS2, NAXIS3...
  void SetOneAxis(int32_t N);
  // Integer data: a value equal to the BLANK card's integer (compared before BSCALE and
  // BZERO are applied) is an undefined pixel and reads as NaN.
  void ReadSpectrum(TDblArr1D &Spectrum);
  // The same into an array of any size: Spectrum gets NAXIS1 values, each written once (the
  // array is not zeroed first). Lo and Hi receive the smallest and largest finite value
  // (which of 0.0 and -0.0 is not defined); Lo > Hi when there is none.
  void ReadSpectrumFresh(TDblArr1D &Spectrum, double &Lo, double &Hi);
  // The first Bytes bytes of the data part (Bytes no more than DataBytesAvailable, checked by
  // the caller) and closes the file; a short read raises FName + ": not a FITS file".
  std::string ReadRawData(int64_t Bytes);
  // A BLANK card is not written (it has no meaning for floating-point data); a string card
  // without its closing quote raises EOrvaError naming the keyword, and nothing is written.
  void SaveToFile_32(const std::string &FName, const TDblArr1D &Spec) const;
  // The header and data as SaveToFile_32 writes them, in memory.
  std::string Serialize_32(const TDblArr1D &Spec) const;

  int64_t HeaderBytes() const { return pHeaderBytes; }
  const std::string &FName() const { return pFName; }
  bool StreamOpen() const { return static_cast<bool>(pStream); }
  void CloseStream() { pStream.reset(); }
  // Bytes after the header of the file read by ReadHeader (what the data part can hold).
  int64_t DataBytesAvailable() const;

private:
  struct TFileCloser {
    void operator()(std::FILE *F) const {
      if (F) std::fclose(F);
    }
  };
  void ReplaceOrAppend(const std::string &Key, std::string Card);
  void ReadData(TDblArr1D &Spectrum, double &Lo, double &Hi);
  std::string ReadStrOr(const char *Key, const char *Default) const;
  double ReadDblOr(const char *Key, double Default) const;
  int32_t ReadIntOrFail(const char *Key) const;
  void SetIntKey(const char *Key, int32_t V, const char *DefaultComment);
  void SetDblKey(const char *Key, double V);
  void SetStrKey(const char *Key, const std::string &V);

  std::vector<std::string> pCards;
  std::unique_ptr<std::FILE, TFileCloser> pStream;
  std::string pFName;
  int64_t pHeaderBytes = 0;
  int64_t pFileSize = 0; // size of the open file, to check NAXIS1 against what it can hold
  TFitsLayout pLayout = TFitsLayout::PrimaryImage;
  std::vector<std::string> pExtCards;
  void CheckImageHeader(const std::string &FName);
};
