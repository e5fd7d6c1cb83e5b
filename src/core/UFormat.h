#pragma once
// Numbers as the program writes and reads them: "." is the decimal separator always,
// whatever the process locale.
#include <cstdint>
#include <string>
#include <string_view>

// printf semantics (same conversions, flags, width and precision), "C" numeric locale.
std::string Format(const char *Fmt, ...) __attribute__((format(printf, 1, 2)));

// The text of a number as the user typed it: surrounding blanks allowed, an optional sign,
// "." as separator, an optional exponent. Raises EOrvaError
// "'TEXT' is not a valid floating point value" / "'TEXT' is not a valid integer value".
double StrToFloat(std::string_view Text);
int32_t StrToInt(std::string_view Text);
int64_t StrToInt64(std::string_view Text);

// The same conversions without raising; false when Text is not a number.
bool TryStrToFloat(std::string_view Text, double &Value);
bool TryStrToInt(std::string_view Text, int32_t &Value);
bool TryStrToInt64(std::string_view Text, int64_t &Value);

// Removes characters of code <= 32 from both ends.
std::string_view TrimView(std::string_view S);
std::string Trim(std::string_view S);
std::string TrimRight(std::string_view S);
std::string UpperCase(std::string_view S);

// "%15.10g"-style general formatting into Buf without the locale (to_chars based, identical
// to printf's %g with that precision). Returns the number of characters written.
int FormatG(char *Buf, int Width, int Precision, double Value);
