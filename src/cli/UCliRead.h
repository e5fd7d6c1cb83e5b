#pragma once
// Reading spectrum files for the commands, with the options every command shares.
#include <memory>
#include <string>

#include "cli/UCliCommon.h"

class TSpec32;

struct TReadOptions {
  int ColX = 1, ColY = 2, Header = 0;
};

// --colx, --coly, --header (defaults 1, 2, 0).
TReadOptions ReadOptions(const TCliArgs &A);
// Reads a file as the file list does; conditions the reader would show in a message box
// become the error the command reports.
std::unique_ptr<TSpec32> ReadForCli(const std::string &FName, const TReadOptions &O);
