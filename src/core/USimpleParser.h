#pragma once
// The shared line splitter of text reading: after a parse it holds the fields of the line.
#include <string>
#include <string_view>
#include <vector>

class TSimpleParser {
public:
  // Splits at blanks; runs of blanks are one separator, characters of code <= 32 at the ends
  // are dropped. A tab inside a line is not a separator.
  void ParseBlank(std::string_view Line);
  int Count() const { return static_cast<int>(pFields.size()); }
  const std::string &Strings(int I) const { return pFields.at(static_cast<size_t>(I)); }
  const std::vector<std::string> &Fields() const { return pFields; }
  void Clear() { pFields.clear(); }

private:
  std::vector<std::string> pFields;
};
