// The operations "concat" and "multiple" of "op": one result from all the files together,
// computed by the same functions as the dialogs "Concatenate" and "Multiple Operations".
#include <memory>
#include <string>
#include <vector>

#include "cli/UCliOpShared.h"
#include "core/USpec32.h"
#include "ops/UOpConcatCore.h"
#include "ops/UOpMultipleCore.h"

namespace {

int RunConcat(const std::vector<std::string> &Rest) {
  TOpContext C;
  TReadOptions O;
  TCliArgs A = OpArgs(Rest, {"size"}, {"simple"}, C, O);
  if (A.Positional().size() < 2) throw ECliUsage{"concat needs at least two files"};
  // The dialog's defaults: weighted blending of 90 % of each overlap.
  const double Size = A.FloatValue("size", 90);
  const TConcatMethod Method = A.Has("simple") ? TConcatMethod::Simple : TConcatMethod::Weighted;
  auto Specs = ReadAll(A.Positional(), O);
  RunWholeCli(C, OpConcatenate(Pointers(Specs), Method, Size), {});
  return C.Rc;
}

int RunMultiple(const std::vector<std::string> &Rest) {
  TOpContext C;
  TReadOptions O;
  const std::vector<std::string> Flags = {"add", "average", "multiply"};
  TCliArgs A = OpArgs(Rest, {}, Flags, C, O);
  const int K = OneOf(A, Flags, "of --add --average --multiply");
  if (A.Positional().size() < 2) throw ECliUsage{"multiple needs at least two files"};
  auto Specs = ReadAll(A.Positional(), O);
  const std::vector<const TSpec32 *> P = Pointers(Specs);
  // As the dialog: every differing axis is told, and then nothing is made.
  const std::vector<std::string> Messages = MultipleCheck(P);
  for (const std::string &M : Messages)
    Refused(C, M);
  if (Messages.empty()) RunWholeCli(C, OpMultiple(P, static_cast<TMultipleOp>(K)), {});
  return C.Rc;
}

const TCliOpRegistrar
    ConcatOp({"concat",
              "  concat [--simple] [--size P] FILE...\n"
              "                                         joins overlapping segments of one x-grid\n"
              "                                         into one spectrum, blending P % of each\n"
              "                                         overlap (default 90), weighted unless\n"
              "                                         --simple (Untitled-N)\n",
              RunConcat});
const TCliOpRegistrar
    MultipleOp({"multiple",
                "  multiple --add|--average|--multiply FILE...\n"
                "                                         sum, average or product of all files,\n"
                "                                         point by point (Untitled-N)\n",
                RunMultiple});

} // namespace
