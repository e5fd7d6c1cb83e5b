#include "numeric/UNrBase.h"

#include <string>

#include "core/UErrors.h"

#define ORVA_UNIT "UNrBase"

namespace {
TNrErrorHandler gNrErrorHandler = nullptr;
}

void NrRangeError(int, int) { OrvaRaise("Range check error"); }

TNrMatrixStore::TNrMatrixStore(int NRows, int NCols) : pNCols(NCols) {
  ORVA_ASSERT(NRows >= 0 && NCols >= 0);
  pData.assign(static_cast<size_t>(NRows) * static_cast<size_t>(NCols), 0.0);
  pRows.reserve(static_cast<size_t>(NRows));
  for (int I = 0; I < NRows; ++I)
    pRows.emplace_back(pData.data() + static_cast<size_t>(I) * NCols, NCols);
}

TNrRowViews::TNrRowViews(std::vector<std::vector<double>> &Rows, int NRows, int NCols) {
  ORVA_ASSERT(NRows >= 0 && NCols >= 0 && static_cast<size_t>(NRows) <= Rows.size());
  pRows.reserve(static_cast<size_t>(NRows));
  for (int I = 0; I < NRows; ++I) {
    ORVA_ASSERT(static_cast<size_t>(NCols) <= Rows[static_cast<size_t>(I)].size());
    pRows.emplace_back(Rows[static_cast<size_t>(I)].data(), NCols);
  }
}

void setnrerror(TNrErrorHandler Handler) { gNrErrorHandler = Handler; }

void nrerror(const char *Text) {
  if (gNrErrorHandler) gNrErrorHandler(Text);
  OrvaRaise(Text ? std::string(Text) : std::string());
}
