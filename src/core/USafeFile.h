#pragma once
// Writing a file never damages an existing one when it fails: the content goes to a
// temporary file in the same folder, which is renamed over the target only when complete.
#include <string>
#include <string_view>

// Writes Content to FName that way. Raises EOrvaError with the platform's message
// ("Cannot create file \"...\". Permission denied") when it fails; the target is then untouched.
void SafeWriteFile(const std::string &FName, std::string_view Content);

// Folder part with trailing separator and name part of a full file name.
std::string ExtractFilePath(const std::string &FName);
std::string ExtractFileName(const std::string &FName);
// Extension with its dot ("" when there is none), as written.
std::string ExtractFileExt(const std::string &FName);
// FName with its extension replaced by Ext (Ext starts with "." or is empty).
std::string ChangeFileExt(const std::string &FName, const std::string &Ext);
