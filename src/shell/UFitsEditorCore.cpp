#define ORVA_UNIT "UFitsEditorCore"
#include "shell/UFitsEditorCore.h"

#include <array>

#include "core/UErrors.h"
#include "core/UFitsBess.h"
#include "core/UFormat.h"
#include "core/USpec32.h"

bool IsForbiddenKeyword(const std::string &Key) {
  static const std::array<const char *, 9> Forbidden = {"SIMPLE", "BITPIX", "NAXIS",  "NAXIS1", "BZERO",
                                                        "BSCALE", "CRVAL1", "CDELT1", "CRPIX1"};
  const std::string K = UpperCase(Trim(Key));
  for (const char *F : Forbidden)
    if (K == F) return true;
  return false;
}

void PrepareEditorHeader(const TSpec32 &Spec, TFitsBess &Work) {
  Work = Spec.FitsBess();
  Work.SetBITPIX(-32);
  Work.SetCRPIX1(1);
  const int32_t n = Spec.Size();
  Work.SetCRVAL1(n > 0 ? Spec.DataX[0] : 0.0);
  if (Spec.Equidistant() && n > 1)
    Work.SetCDELT1((Spec.DataX[n - 1] - Spec.DataX[0]) / (n - 1));
  else if (!Spec.Equidistant())
    Work.SetCDELT1(-1);
  // A single point has no step: the header keeps the CDELT1 it has.
  // The data are written as floating point, where BLANK is not allowed.
  for (int I; (I = Work.IndexOfKey("BLANK   ")) >= 0;)
    Work.Delete(I);
}

static bool LegalKeyChars(const std::string &Key) {
  if (Key.size() > 8) return false;
  for (char C : Key) {
    const bool Ok = (C >= 'A' && C <= 'Z') || (C >= '0' && C <= '9') || C == '-' || C == '_' || C == '.';
    if (!Ok) return false;
  }
  return true;
}

TEditedCard ComposeEditedCard(const std::string &KeyIn, const std::string &ValueIn,
                              const std::string &CommentIn, int Typ) {
  TEditedCard R;
  std::string Key = Trim(KeyIn);
  if (!LegalKeyChars(Key)) OrvaRaise("Illegal Keyword: " + Key);
  Key.resize(8, ' ');
  const std::string Value = Trim(ValueIn);
  std::string Comment = Trim(CommentIn);
  if (Key == "COMMENT " || Key == "HISTORY " || Key == "        ") {
    if (!Comment.empty()) {
      Comment.clear();
      R.CommentDiscarded = true;
    }
    if (Typ != ctNone) R.TypeForced = true;
    Typ = ctNone;
  } else {
    switch (Typ) {
    case ctInteger: {
      int64_t I;
      if (!TryStrToInt64(Value, I)) OrvaRaise("Not an integer number: " + Value);
      break;
    }
    case ctFloating: {
      double D;
      if (!TryStrToFloat(Value, D)) OrvaRaise("Not a floating point number: " + Value);
      break;
    }
    case ctString:
      break;
    case ctLogical:
      if (Value != "T" && Value != "F") OrvaRaise("Not a boolean (must be T or F): " + Value);
      break;
    default:
      OrvaRaise("Type is \"None\": allowed keywords are COMMENT, HISTORY and 8 blanks");
    }
  }
  // A value the card cannot hold is the user's input, not an internal fault; the limit is the
  // one the card composition itself checks.
  if (!TFitsBess::ValueFits(Value, Typ)) OrvaRaise("Value too long: " + Value);
  R.Card = TFitsBess::ComposeLine(Key, Value, Typ, Comment);
  return R;
}

void AddBessKeywords(TFitsBess &WorkIn, const std::string &Observer, const std::string &BssInst,
                     const std::string &BssSite) {
  // Made on a copy: a default too long for a card (from an old settings file) is refused
  // without leaving half of the keywords added.
  TFitsBess Work(WorkIn);
  std::string S, C;
  double D;
  auto HasStr = [&](const char *K) { return Work.ReadStr(K, S, C); };
  auto HasDbl = [&](const char *K) { return Work.ReadDbl(K, D, S, C); };
  if (!HasStr("OBJNAME")) Work.SetOBJNAME(" ");
  if (!HasStr("DATE-OBS")) Work.SetDATE_OBS(" ");
  if (!HasDbl("EXPTIME")) Work.SetEXPTIME(0.0);
  if (!HasStr("OBSERVER")) Work.SetOBSERVER(Observer);
  if (!HasStr("BSS_INST")) Work.SetBSS_INST(BssInst);
  if (!HasStr("BSS_SITE")) Work.SetBSS_SITE(BssSite);
  if (!HasDbl("BSS_VHEL")) Work.SetBSS_VHEL(0.0);
  if (!HasStr("BSS_TELL")) Work.SetBSS_TELL(" ");
  if (!HasStr("BSS_COSM")) Work.SetBSS_COSM(" ");
  if (!HasStr("BSS_NORM")) Work.SetBSS_NORM(" ");
  WorkIn = Work;
}
