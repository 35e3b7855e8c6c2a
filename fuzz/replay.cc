// Runs a fuzz target once on each file named on the command line, without
// libFuzzer, so that its seed corpus is a regression test in every build. A
// broken rule aborts, as under libFuzzer.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
  if (argc < 2) {
    static_cast<void>(std::fprintf(stderr, "replay: no inputs given\n"));
    return 1;
  }
  for (int i = 1; i < argc; ++i) {
    std::ifstream file(argv[i], std::ios_base::binary);
    if (!file) {
      static_cast<void>(std::fprintf(stderr, "replay: cannot read %s\n", argv[i]));
      return 1;
    }
    std::ostringstream contents;
    contents << file.rdbuf();
    const std::string bytes = contents.str();
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  }
  return 0;
}
