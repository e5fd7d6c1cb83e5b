// Runs a fuzz target once over every file of the folders (or files) named on the command
// line, without libFuzzer: the seed corpora become ordinary regression tests.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size);

static int RunFile(const std::filesystem::path &P) {
  std::ifstream F(P, std::ios::binary);
  std::vector<char> Buf((std::istreambuf_iterator<char>(F)), std::istreambuf_iterator<char>());
  LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(Buf.data()), Buf.size());
  return 1;
}

int main(int argc, char **argv) {
  int N = 0;
  for (int i = 1; i < argc; ++i) {
    std::filesystem::path P(argv[i]);
    if (std::filesystem::is_directory(P)) {
      for (const auto &E : std::filesystem::recursive_directory_iterator(P))
        if (E.is_regular_file()) N += RunFile(E.path());
    } else {
      N += RunFile(P);
    }
  }
  std::printf("ran %d inputs\n", N);
  return N > 0 ? 0 : 1;
}
