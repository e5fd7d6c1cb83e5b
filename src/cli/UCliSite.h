#pragma once
// What the commands that need the observer share: the program's folder (settings, ephemeris),
// the --utc reader and the site from the settings file.
#include <string>

#include "astro/UBaryCorr.h"

// The folder of this executable, where the program keeps its settings and its ephemeris.
std::string ProgramDir();
// "YYYY-MM-DDTHH:MM:SS" (or with a blank for the "T"); anything else is a usage error.
TDateTimeInt ParseUtc(const std::string &Text);
// The observer's site as the settings file beside the program has it (the defaults when there
// is none). Reading the settings makes their remembered folder the current one, which a command
// line must not do to its relative file names: the current folder is kept.
void SiteFromSettings(double &TAImUTC, double &Lon, double &Lat, double &Height);
