#pragma once
// Small helpers shared by the tests: temporary folders and whole-file reads/writes.
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace testutil {

// A fresh folder under the system's temporary folder, removed with the object.
class TTempDir {
public:
  TTempDir() {
    std::random_device Rd;
    for (;;) {
      pPath = std::filesystem::temp_directory_path() / ("orva-test-" + std::to_string(Rd()));
      if (std::filesystem::create_directory(pPath)) break;
    }
  }
  ~TTempDir() {
    std::error_code Ec;
    std::filesystem::permissions(pPath, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                 Ec);
    std::filesystem::remove_all(pPath, Ec);
  }
  TTempDir(const TTempDir &) = delete;
  TTempDir &operator=(const TTempDir &) = delete;
  std::string Path() const { return pPath.string(); }
  std::string File(const std::string &Name) const { return (pPath / Name).string(); }

private:
  std::filesystem::path pPath;
};

inline void WriteFile(const std::string &Name, const std::string &Content) {
  std::ofstream F(Name, std::ios::binary);
  F << Content;
}

inline std::string ReadFile(const std::string &Name) {
  std::ifstream F(Name, std::ios::binary);
  std::ostringstream S;
  S << F.rdbuf();
  return S.str();
}

} // namespace testutil
