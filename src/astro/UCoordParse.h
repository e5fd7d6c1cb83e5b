#pragma once
// Star coordinates as the user types them (J2000, fields separated by blanks).
#include <string>

// "h [m [s]]" to degrees: h integer 0 ... 23, m integer 0 ... 59, s number 0 <= s < 60.
// Anything else raises EOrvaError "Unknown RA format".
double GetRa(const std::string &RaStr);
// "[+|-]d [m [s]]" to degrees: |d| integer <= 90, m integer 0 ... 59, s number 0 <= s < 60,
// the whole at most 90; the sign of the first field applies to all (so "-00 30" is -0.5).
// Anything else raises EOrvaError "Unknown Dec format".
double GetDe(const std::string &DeStr);
