#pragma once
// Text column spectrum files (.dat, .txt, .ascii): reading in the fast form (x in column 1,
// y in column 2) and the general form, and the ".dat" writer ("%15.10g %15.10g" CR LF).
// After the header lines, a line whose first character other than blanks and tabs is "#" is
// a comment (no point). Messages about a line name the file and the line number.
#include <functional>
#include <string>

#include "core/USimpleParser.h"

class TSpec32;

// Where ReadDat reports the conditions it shows in a plain message box ("Too few columns in
// ...", "Illegal numbers in ..."). The window layer installs one that shows a box; the
// default collects nothing and the CLI installs one that prints.
using TMessageSink = std::function<void(const std::string &)>;
void SetDatMessageSink(TMessageSink Sink);
void ShowDatMessage(const std::string &Msg);

// The shared parser the general form uses (the main window's pSimpleParser).
TSimpleParser &SharedSimpleParser();

// The text of a ".dat" file for the spectrum: one "%15.10g %15.10g\r\n" line per point.
std::string DatText(const TSpec32 &Spec);
// Writes the ".dat" file through a temporary file renamed over FName when complete.
void WriteDat(const TSpec32 &Spec, const std::string &FName);
