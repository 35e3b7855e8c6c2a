// Reads the fuzzer's bytes as a run of amounts twice, once with the standard
// facet and once with FloatReader, and stops at the first difference in the
// value's bits, the stream's state or the characters taken.
#include <cfenv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ios>
#include <istream>
#include <locale>
#include <sstream>
#include <string>

#include "dialogue/float_reader.h"

namespace {

// A broken rule stops the run, which libFuzzer keeps as a crash together with
// the input that broke it.
void check(bool holds, const char* rule) {
  if (holds) return;
  static_cast<void>(std::fprintf(stderr, "float_reader_fuzzer: broken: %s\n", rule));
  std::abort();
}

std::uint32_t bitsOf(float value) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

// How many characters the stream has taken, whatever its state.
std::streamoff taken(std::istream& in) {
  return in.rdbuf()->pubseekoff(0, std::ios_base::cur, std::ios_base::in);
}

// An input that starts with one of these bytes is read in that rounding mode,
// where FloatReader must leave the work to the standard facet; any other is
// read whole, rounding to nearest.
int roundingModeFor(char first) {
  switch (first) {
    case '\x01':
      return FE_UPWARD;
    case '\x02':
      return FE_DOWNWARD;
    case '\x03':
      return FE_TOWARDZERO;
    default:
      return FE_TONEAREST;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(data, data + size);
  const int mode = text.empty() ? FE_TONEAREST : roundingModeFor(text.front());
  std::istringstream standard(mode == FE_TONEAREST ? text : text.substr(1));
  standard.imbue(std::locale::classic());
  std::istringstream ours(standard.str());
  ours.imbue(std::locale(std::locale::classic(), new tuition::FloatReader));

  check(std::fesetround(mode) == 0, "the rounding mode is set");
  for (;;) {
    float expected = 1.0F;
    float got = 1.0F;
    standard >> expected;
    ours >> got;
    check(bitsOf(got) == bitsOf(expected), "the same value");
    check(ours.rdstate() == standard.rdstate(), "the same stream state");
    check(taken(ours) == taken(standard), "the same characters taken");
    if (standard.eof()) break;
    if (standard.fail()) {
      // Step over what was refused, as the dialogue does, and go on.
      standard.clear();
      ours.clear();
      standard.ignore();
      ours.ignore();
    }
  }
  std::fesetround(FE_TONEAREST);
  return 0;
}
