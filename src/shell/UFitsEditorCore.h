#pragma once
// The header editor's rules, free of any window: which keywords are protected, how the
// working copy is prepared, how an edited card is checked and composed, and which BeSS
// keywords are added with which defaults.
#include <string>

class TFitsBess;
class TSpec32;

// Card types as the editor's type choice offers them (the header's ReadLine/ComposeLine codes).
enum TCardType : int { ctNone = -1, ctInteger = 0, ctFloating = 1, ctString = 2, ctLogical = 3 };

// SIMPLE, BITPIX, NAXIS, NAXIS1, BZERO, BSCALE, CRVAL1, CDELT1, CRPIX1, ignoring case and blanks.
bool IsForbiddenKeyword(const std::string &Key);

// The working copy as the editor shows it: the spectrum's cards with BITPIX = -32, CRPIX1 = 1,
// CRVAL1 = x[0] and CDELT1 = the mean step (or -1 when the spectrum is not equidistant), and
// without BLANK (the file is written as floating point).
void PrepareEditorHeader(const TSpec32 &Spec, TFitsBess &Work);

// Checks the edit group's fields and composes the card. Raises EOrvaError with the message the
// user sees ("Illegal Keyword: ...", "Not an integer number: ...", "Value too long: ..." when
// TFitsBess::ValueFits refuses it). For COMMENT, HISTORY and the blank keyword a comment is
// dropped and the type forced to none; the flags say so. A string value is taken as typed,
// optionally between quotes; quotes inside it are doubled in the card.
struct TEditedCard {
  std::string Card;
  bool CommentDiscarded = false;
  bool TypeForced = false;
};
TEditedCard ComposeEditedCard(const std::string &Key, const std::string &Value, const std::string &Comment,
                              int Typ);

// Appends the BeSS keywords the header lacks: OBJNAME, DATE-OBS, EXPTIME, OBSERVER, BSS_INST,
// BSS_SITE (from the settings' defaults), BSS_VHEL, BSS_TELL, BSS_COSM, BSS_NORM. A default
// that does not fit a card raises EOrvaError naming the keyword, and Work is unchanged.
void AddBessKeywords(TFitsBess &Work, const std::string &Observer, const std::string &BssInst,
                     const std::string &BssSite);
