#pragma once
// "orvalumetrix-cli measure KIND ...": the measuring tools on files. Each kind registers itself
// with a static TCliMeasureRegistrar in its own unit.
#include <string>
#include <vector>

struct TCliMeasure {
  const char *Name;                                 // the KIND word
  const char *Summary;                              // one line for the list of kinds
  const char *Usage;                                // the kind's own help text
  int (*Run)(const std::vector<std::string> &Args); // the arguments after KIND
};

std::vector<const TCliMeasure *> &CliMeasures();
struct TCliMeasureRegistrar {
  explicit TCliMeasureRegistrar(const TCliMeasure &M) { CliMeasures().push_back(&M); }
};
