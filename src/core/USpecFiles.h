#pragma once
// Opening a spectrum file by its extension, as the file list and the CLI both do.
#include <memory>
#include <string>

class TSpec32;

enum class TSpecFileKind { Text, Fits, Unsupported };

// ".dat", ".txt", ".ascii" (any case) are text column files; ".fit", ".fits" FITS files.
TSpecFileKind SpecFileKind(const std::string &FName);

// Reads one file. Text files report their conditions through the dat message sink and give
// nullptr; FITS failures and unreadable files raise EOrvaError, whose text always names the
// file (FName + ": " is put before a reader's message that does not). An unsupported
// extension is reported through the same sink as "File type .ext is not supported: FName"
// and gives nullptr.
std::unique_ptr<TSpec32> ReadSpecFile(const std::string &FName, int ColX, int ColY, int Header);

// What the Save FITS command does to the header before writing, then the write itself
// (through a temporary file): BITPIX = -32, CRPIX1 = 1, CRVAL1 = x[0], CDELT1 = the mean step,
// all through the setters. A spectrum that is not equidistant is refused with
// "x-values not equidistant; resample spectrum" and nothing is written. The header then
// describes what is held: a length unit of CUNIT1 becomes 'Angstrom', a logarithmic or
// unit-carrying CTYPE1 'Wavelength', and DC-FLAG, CD1_1 and table structure cards go.
void PrepareFitsHeader(TSpec32 &Spec);
void SaveSpecAsFits(TSpec32 &Spec, const std::string &FName);
