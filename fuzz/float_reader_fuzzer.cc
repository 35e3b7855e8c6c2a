// Reads the fuzzer's bytes as a run of amounts with the standard facet and with
// FloatReader, and stops at the first difference in the value's bits, the
// stream's state or the characters taken. FloatReader reads them from a buffer
// that it may read in place, handed over whole and then in pieces, so that
// both the in-place reading and the slow way it falls back on are compared.
#include <algorithm>
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
#include <utility>

#include "console/input_buffer.h"
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

// How many characters a string stream has taken, whatever its state.
std::streamoff taken(std::istringstream& in) {
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

// Hands its text over in pieces of a given size, as reads from a pipe do:
// FloatReader reads a number in place when it lies whole in one piece, and
// the slow way when it runs on into the next.
class Pieces : public tuition::InputBuffer {
 public:
  Pieces(std::string text, std::size_t piece) : text_(std::move(text)), piece_(piece) {}

  // How many characters have been taken.
  std::size_t taken() const {
    return gptr() == nullptr ? 0 : static_cast<std::size_t>(gptr() - text_.data());
  }

 protected:
  int_type underflow() override {
    const std::size_t at = taken();
    if (at == text_.size()) return traits_type::eof();
    char* const begin = text_.data() + at;
    setg(begin, begin, begin + std::min(piece_, text_.size() - at));
    return traits_type::to_int_type(*gptr());
  }

 private:
  std::string text_;
  std::size_t piece_;
};

// Reads `text` with both readers side by side, FloatReader's stream handing it
// over in pieces of `piece` characters; returns how many numbers FloatReader
// read in place. Rounding to nearest, it is told so, as the dialogue tells it;
// in another mode it must find that out for itself.
std::size_t compare(const std::string& text, std::size_t piece, int mode) {
  std::istringstream standard(text);
  standard.imbue(std::locale::classic());
  Pieces pieces(text, piece);
  std::istream ours(&pieces);
  const tuition::FloatReader& reader = tuition::FloatReader::imbue(
      ours, mode == FE_TONEAREST ? tuition::FloatReader::Rounding::kAlwaysToNearest
                                 : tuition::FloatReader::Rounding::kAsk);
  for (;;) {
    float expected = 1.0F;
    float got = 1.0F;
    standard >> expected;
    ours >> got;
    check(bitsOf(got) == bitsOf(expected), "the same value");
    check(ours.rdstate() == standard.rdstate(), "the same stream state");
    check(static_cast<std::streamoff>(pieces.taken()) == taken(standard),
          "the same characters taken");
    if (standard.eof()) break;
    if (standard.fail()) {
      // Step over what was refused, as the dialogue does, and go on.
      standard.clear();
      ours.clear();
      standard.ignore();
      ours.ignore();
    }
  }
  return reader.numbersReadInPlace();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(data, data + size);
  const int mode = input.empty() ? FE_TONEAREST : roundingModeFor(input.front());
  const std::string text = mode == FE_TONEAREST ? input : input.substr(1);
  check(std::fesetround(mode) == 0, "the rounding mode is set");
  // Whole, so that every number but the last lies in the buffer; then in
  // pieces of 1 to 8 characters, so that numbers are split at every point.
  // A digit and a space, whole, are a number read in place, unless the
  // rounding mode leaves it to the standard facet: a comparison that never
  // reads in place proves nothing of that way.
  const std::size_t inPlace = compare(text, std::max<std::size_t>(text.size(), 1), mode);
  const bool digitAndSpace = text.size() >= 2 && text[0] >= '0' && text[0] <= '9' && text[1] == ' ';
  check(inPlace > 0 || mode != FE_TONEAREST || !digitAndSpace,
        "a number that lies whole in the buffer is read there");
  for (std::size_t piece = 1; piece <= 8; ++piece) compare(text, piece, mode);
  std::fesetround(FE_TONEAREST);
  return 0;
}
