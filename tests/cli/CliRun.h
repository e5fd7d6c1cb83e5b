#pragma once
// Runs orvalumetrix-cli as a user would and captures what it prints.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>

#include "common/TestUtil.h"

struct TCliResult {
  int Code = -1;
  std::string Out, Err;
};

inline TCliResult RunCli(const std::string &Args, const testutil::TTempDir &Dir) {
  std::string OutF = Dir.File("cli.out"), ErrF = Dir.File("cli.err");
  std::string Cmd =
      std::string(ORVA_BUILD_DIR) + "/orvalumetrix-cli " + Args + " > '" + OutF + "' 2> '" + ErrF + "'";
  int Rc = std::system(Cmd.c_str());
  TCliResult R;
  R.Code = WIFEXITED(Rc) ? WEXITSTATUS(Rc) : -1;
  R.Out = testutil::ReadFile(OutF);
  R.Err = testutil::ReadFile(ErrF);
  return R;
}
