// Runs a fuzz target once on every file of the folders named on the command
// line, so that CTest replays the corpora without libFuzzer; a broken
// invariant aborts. A folder that is missing or empty fails, so that a
// mistyped path cannot pass.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size);

int main(int argc, char** argv) {
  for (int n = 1; n < argc; ++n) {
    std::error_code error;
    std::size_t inputs = 0;
    for (const auto& entry :
         std::filesystem::directory_iterator(argv[n], error)) {
      std::ifstream file(entry.path(), std::ios::binary);
      const std::string bytes{std::istreambuf_iterator<char>(file), {}};
      std::fprintf(stderr, "%s%s\n", entry.path().c_str(),
                   file ? "" : ": cannot read");
      if (!file) return 1;
      // An exactly sized copy, so that a read past its end is caught.
      std::unique_ptr<std::uint8_t[]> data(new std::uint8_t[bytes.size()]);
      bytes.copy(reinterpret_cast<char*>(data.get()), bytes.size());
      LLVMFuzzerTestOneInput(data.get(), bytes.size());
      ++inputs;
    }
    if (error || inputs == 0) {
      std::fprintf(stderr, "%s: %s\n", argv[n],
                   error ? error.message().c_str() : "no inputs");
      return 1;
    }
    std::printf("%s: %zu inputs\n", argv[n], inputs);
  }
  return argc < 2 ? 2 : 0;
}
