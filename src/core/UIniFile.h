#pragma once
// Our own INI reader and writer in the plain Windows form: "[Section]" lines and
// "Key=Value" lines, keys and sections kept exactly as written ("FITS Keywords", "Height(m)").
#include <string>
#include <utility>
#include <vector>

class TIniFile {
public:
  TIniFile() = default;
  // Reads FName; a missing or unreadable file gives an empty set of entries.
  explicit TIniFile(const std::string &FName);

  void LoadFromText(const std::string &Text);
  std::string SaveToText() const;
  // Writes the file through a temporary file; raises EOrvaError when that fails.
  void SaveToFile(const std::string &FName) const;

  bool ValueExists(const std::string &Section, const std::string &Key) const;
  std::string ReadString(const std::string &Section, const std::string &Key,
                         const std::string &Default) const;
  // Numbers in general format with up to 15 significant digits, "." as separator.
  double ReadFloat(const std::string &Section, const std::string &Key, double Default) const;
  int ReadInteger(const std::string &Section, const std::string &Key, int Default) const;
  void WriteString(const std::string &Section, const std::string &Key, const std::string &Value);
  void WriteFloat(const std::string &Section, const std::string &Key, double Value);
  void WriteInteger(const std::string &Section, const std::string &Key, int Value);

  // Sections with their entries, in file order. Section and key lookups ignore letter case,
  // as the platform's INI routines do.
  struct TSection {
    std::string Name;
    std::vector<std::pair<std::string, std::string>> Entries;
  };
  const std::vector<TSection> &Sections() const { return pSections; }

private:
  const TSection *FindSection(const std::string &Name) const;
  std::vector<TSection> pSections;
};

// The number text written into the settings file ("%.15g").
std::string IniFloatText(double Value);
