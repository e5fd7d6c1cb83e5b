#pragma once
// The readers take file names: each input goes through one temporary file per process.
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

inline std::string FuzzInputFile(const uint8_t *Data, size_t Size, const char *Ext) {
  static const std::string Name = "/tmp/orva-fuzz-" + std::to_string(::getpid()) + Ext;
  std::FILE *F = std::fopen(Name.c_str(), "wb");
  if (!F) return Name;
  if (Size) std::fwrite(Data, 1, Size, F);
  std::fclose(F);
  return Name;
}
