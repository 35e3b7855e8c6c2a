// Runs a fuzz target once on each file named on the command line, without
// libFuzzer, so that its seed corpus is a regression test in every build. A
// broken rule aborts, as under libFuzzer; no file at all is a failure too.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    std::ifstream file(argv[i], std::ios_base::binary);
    if (!file) return 1;
    std::ostringstream contents;
    contents << file.rdbuf();  // fails, harmlessly, on an empty file
    const std::string bytes = contents.str();
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  }
  return argc > 1 ? 0 : 1;
}
