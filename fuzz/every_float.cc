// Proves the float reader as number parsers are proved: every finite float,
// written as %.8e, as a long %.40e, and as the exact midpoint to the next
// float up (where ties go to even), must read back as the bits that a
// correctly rounding strtof gives, through FloatReader where it lies in an
// InputBuffer and from a plain stream alike. So must every number of at most
// seven digits with no exponent, which FloatReader reads a way of its own:
// as from_chars reads it.
//
//   every_float STRIDE FIRST END
//
// reads the bit patterns FIRST, FIRST + STRIDE, ... below END, and the short
// numbers with those indices, and fails at the first that reads wrong:
// `every_float 1 0 0x100000000` is all of them, which takes hours.
// `every_float STRIDE` reads every STRIDE-th and every one near an edge (zero,
// the smallest normal, the largest finite float of either sign; the longest
// short numbers), which a stride of some thousands does in seconds.
#include <array>
#include <charconv>
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <istream>
#include <limits>
#include <locale>
#include <sstream>
#include <string>

#include "console/input_buffer.h"
#include "dialogue/float_chars.h"
#include "dialogue/float_reader.h"

namespace {

std::uint32_t bitsOf(float value) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

// Holds one text whole, as a read from a pipe may.
class Held : public tuition::InputBuffer {
 public:
  void hold(std::string& text) { setg(text.data(), text.data(), text.data() + text.size()); }
};

class Readers {
 public:
  Readers() {
    for (std::istream* in : {&inPlace_, static_cast<std::istream*>(&plain_)}) {
      in->imbue(std::locale(std::locale::classic(), new tuition::FloatReader(*in)));
    }
  }

  // Whether `text` reads as `expected` every way.
  bool readAs(std::string text, float expected) {
    text += ' ';  // the number ends where the text is known to go on
    held_.hold(text);
    inPlace_.clear();
    plain_.str(text);
    plain_.clear();
    for (std::istream* in : {&inPlace_, static_cast<std::istream*>(&plain_)}) {
      float value = 0.0F;
      if (!(*in >> value) || bitsOf(value) != bitsOf(expected)) return false;
    }
    return true;
  }

 private:
  Held held_;
  std::istream inPlace_{&held_};
  std::istringstream plain_;
};

// `value` in scientific notation with `precision` digits after the point.
std::string scientific(double value, int precision) {
  std::array<char, 160> text{};
  const auto end = std::to_chars(text.data(), text.data() + text.size(), value,
                                 std::chars_format::scientific, precision);
  return {text.data(), end.ptr};
}

// The numbers of at most seven digits with no exponent, told apart by their
// value: a sign, a whole number below 10^7, and how many of its digits follow
// the point.
constexpr std::uint64_t kShortNumbers = std::uint64_t{2} * 8 * 10000000;

// Whether short number `index`, written with no more digits than it needs
// (such as -.0012 or 450.5), reads as from_chars reads it.
bool readShortNumber(Readers& readers, std::uint64_t index) {
  const std::size_t afterPoint = index / 2 % 8;
  std::string text = std::to_string(index / 16);
  if (text.size() < afterPoint) text.insert(0, afterPoint - text.size(), '0');
  if (afterPoint > 0) text.insert(text.size() - afterPoint, 1, '.');
  if (index % 2 != 0) text.insert(0, 1, '-');
  float expected = 0.0F;
  tuition::floatFromChars(text.data(), text.data() + text.size(), expected);
  return readers.readAs(text, expected);
}

// Reads the patterns first, first + stride, ... below end, and the short
// numbers of those indices, counting the floats; false at the first that
// reads wrong, which it names.
bool readAll(Readers& readers, std::uint64_t first, std::uint64_t end, std::uint64_t stride,
             std::uint64_t& floats) {
  for (std::uint64_t bits = first; stride > 0 && bits < end; bits += stride) {
    if (bits < kShortNumbers && !readShortNumber(readers, bits)) {
      static_cast<void>(
          std::fprintf(stderr, "every_float: short number %" PRIu64 " reads wrong\n", bits));
      return false;
    }
    const auto pattern = static_cast<std::uint32_t>(bits);
    float x = 0.0F;
    std::memcpy(&x, &pattern, sizeof x);
    if (!std::isfinite(x)) continue;
    ++floats;
    // Nine significant digits tell every float apart; forty-one are nearer.
    bool read = readers.readAs(scientific(x, 8), x) && readers.readAs(scientific(x, 40), x);
    // -0's midpoint is +0's, a positive number.
    const float low = x == 0 ? 0.0F : x;
    const float next = std::nextafter(low, std::numeric_limits<float>::infinity());
    if (read && std::isfinite(next)) {
      // Exact in a double, and in 113 significant digits; the even one of
      // the two floats is the one whose last bit is clear.
      const double midpoint = (static_cast<double>(low) + next) / 2;
      read = readers.readAs(scientific(midpoint, 112), (bitsOf(low) & 1U) == 0 ? low : next);
    }
    if (!read) {
      static_cast<void>(std::fprintf(stderr, "every_float: 0x%08" PRIx32 " (%.9g) reads wrong\n",
                                     pattern, static_cast<double>(x)));
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
  Readers readers;
  std::uint64_t floats = 0;
  bool read = true;
  if (argc == 4) {
    read = readAll(readers, number(2), number(3), number(1), floats);
  } else {
    // The patterns within 1024 of zero, of the smallest normal float and of
    // the largest finite one, for each sign; the longest short numbers.
    constexpr std::array<std::array<std::uint64_t, 2>, 4> kEdges{
        {{0, 0x400},
         {0x7FFC00, 0x800400},
         {0x7F7FFC00, 0x7F800000},
         {kShortNumbers - 0x400, kShortNumbers}}};
    read = readAll(readers, 0, std::uint64_t{1} << 32, number(1), floats);
    for (const std::uint64_t sign : {std::uint64_t{0}, std::uint64_t{1} << 31}) {
      for (const auto& [first, end] : kEdges) {
        read = read && readAll(readers, sign + first, sign + end, 1, floats);
      }
    }
  }
  if (!read) return 1;
  std::printf("every_float: %" PRIu64
              " floats, each written three ways, and the short numbers among them, read right\n",
              floats);
  return floats > 0 ? 0 : 1;
}
