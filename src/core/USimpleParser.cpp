#include "core/USimpleParser.h"

#include "core/UFormat.h"

void TSimpleParser::ParseBlank(std::string_view Line) {
  pFields.clear();
  std::string_view S = TrimView(Line);
  while (!S.empty()) {
    size_t P = S.find(' ');
    if (P == std::string_view::npos) {
      pFields.emplace_back(S);
      break;
    }
    pFields.emplace_back(S.substr(0, P));
    S = TrimView(S.substr(P + 1));
  }
}
