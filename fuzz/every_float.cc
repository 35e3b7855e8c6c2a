// Proves the float reader as number parsers are proved. Every finite float,
// written as %.8e, as %.40e and as the exact midpoint to the next float up
// (where ties go to even), must read back as a correctly rounding strtof reads
// it, and so must every number of at most seven digits and no exponent, which
// FloatReader reads a way of its own: each through FloatReader where it lies
// in an InputBuffer, which must read it there, and from a plain stream.
//
//   every_float STRIDE [FIRST END]
//
// reads the bit patterns FIRST, FIRST + STRIDE, ... below END, and the short
// numbers of those indices; with no range, every STRIDE-th of all of them and
// all near an edge. `every_float 1 0 0x100000000` reads them all, in hours.
#include <array>
#include <charconv>
#include <cinttypes>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <istream>
#include <limits>
#include <sstream>
#include <string>

#include "console/input_buffer.h"
#include "dialogue/float_chars.h"
#include "dialogue/float_reader.h"

namespace {

// A sign, a whole number below 10^7, and how many of its digits follow the
// point: the short numbers, told apart by their value.
constexpr std::uint64_t kShortNumbers = std::uint64_t{2} * 8 * 10000000;

std::uint32_t bitsOf(float value) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

// Holds one text whole, as a read from a pipe may.
struct Held : tuition::InputBuffer {
  void hold(std::string& text) { setg(text.data(), text.data(), text.data() + text.size()); }
};

// FloatReader reading where a number lies, and from a plain stream, each as
// the dialogue makes it: rounding to nearest, and told so.
class Readers {
 public:
  Readers()
      : inPlaceReader_(&tuition::FloatReader::imbue(
            inPlace_, tuition::FloatReader::Rounding::kAlwaysToNearest)) {
    tuition::FloatReader::imbue(plain_, tuition::FloatReader::Rounding::kAlwaysToNearest);
  }

  // Whether `text` reads as `expected` both ways, the first where it lies:
  // a proof of reading in place that read otherwise would prove nothing. The
  // reader's count of numbers read in place must be, as a value, how many
  // this has read.
  bool readAs(std::string text, float expected) {
    text += ' ';  // the number ends where the text is known to go on
    held_.hold(text);
    plain_.str(text);
    for (std::istream* in : {&inPlace_, static_cast<std::istream*>(&plain_)}) {
      float value = 0.0F;
      in->clear();
      if (!(*in >> value) || bitsOf(value) != bitsOf(expected)) return false;
    }
    ++numbers_;
    if (inPlaceReader_->numbersReadInPlace() == numbers_) return true;
    static_cast<void>(std::fprintf(stderr,
                                   "every_float: after %s, %zu numbers read in place, not %zu\n",
                                   text.c_str(), inPlaceReader_->numbersReadInPlace(), numbers_));
    return false;
  }

 private:
  Held held_;
  std::istream inPlace_{&held_};
  std::istringstream plain_;
  const tuition::FloatReader* inPlaceReader_;
  std::size_t numbers_ = 0;
};

std::string scientific(double value, int precision) {
  std::array<char, 160> text{};
  const auto end = std::to_chars(text.data(), text.data() + text.size(), value,
                                 std::chars_format::scientific, precision);
  return {text.data(), end.ptr};
}

// Whether bit pattern `bits` reads right, and the short number of that index,
// written with no more digits than it needs (such as -.0012 or 450.5).
bool readsRight(Readers& readers, std::uint64_t bits, std::uint64_t& floats) {
  if (bits < kShortNumbers) {
    const std::size_t afterPoint = bits / 2 % 8;
    std::string text = std::to_string(bits / 16);
    if (text.size() < afterPoint) text.insert(0, afterPoint - text.size(), '0');
    if (afterPoint > 0) text.insert(text.size() - afterPoint, 1, '.');
    if (bits % 2 != 0) text.insert(0, 1, '-');
    float expected = 0.0F;
    tuition::floatFromChars(text.data(), text.data() + text.size(), expected);
    if (!readers.readAs(text, expected)) return false;
  }
  const auto pattern = static_cast<std::uint32_t>(bits);
  float x = 0.0F;
  std::memcpy(&x, &pattern, sizeof x);
  if (!std::isfinite(x)) return true;
  ++floats;
  // Nine significant digits tell every float apart; forty-one are nearer. The
  // midpoint is exact in a double and in 113 digits, and reads as the one of
  // the two floats whose last bit is clear; -0's is +0's.
  const float low = x == 0 ? 0.0F : x;
  const float next = std::nextafter(low, std::numeric_limits<float>::infinity());
  return readers.readAs(scientific(x, 8), x) && readers.readAs(scientific(x, 40), x) &&
         (std::isinf(next) || readers.readAs(scientific((static_cast<double>(low) + next) / 2, 112),
                                             (bitsOf(low) & 1U) == 0 ? low : next));
}

// Reads first, first + stride, ... below end; false at the first that reads
// wrong, which it names.
bool readAll(std::uint64_t first, std::uint64_t end, std::uint64_t stride, std::uint64_t& floats) {
  Readers readers;
  for (std::uint64_t bits = first; stride > 0 && bits < end; bits += stride) {
    if (!readsRight(readers, bits, floats)) {
      static_cast<void>(std::fprintf(stderr, "every_float: 0x%08" PRIx64 " reads wrong\n", bits));
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 4) {
    static_cast<void>(std::fputs("usage: every_float STRIDE [FIRST END]\n", stderr));
    return 2;
  }
  const auto number = [&](int index) { return std::strtoull(argv[index], nullptr, 0); };
  std::uint64_t floats = 0;
  bool read = true;
  if (argc == 4) {
    read = readAll(number(2), number(3), number(1), floats);
  } else {
    // The patterns within 1024 of zero, of the smallest normal float and of
    // the largest finite one, for each sign; the longest short numbers.
    constexpr std::array<std::array<std::uint64_t, 2>, 4> kEdges{
        {{0, 0x400},
         {0x7FFC00, 0x800400},
         {0x7F7FFC00, 0x7F800000},
         {kShortNumbers - 0x400, kShortNumbers}}};
    read = readAll(0, std::uint64_t{1} << 32, number(1), floats);
    for (const std::uint64_t sign : {std::uint64_t{0}, std::uint64_t{1} << 31}) {
      for (const auto& [first, end] : kEdges)
        read = read && readAll(sign + first, sign + end, 1, floats);
    }
  }
  if (read)
    std::printf("every_float: %" PRIu64 " floats and their short numbers read right\n", floats);
  return read && floats > 0 ? 0 : 1;
}
