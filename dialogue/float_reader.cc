#include "dialogue/float_reader.h"

#include <algorithm>
#include <array>
#include <cfenv>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <system_error>

#include "dialogue/float_chars.h"

namespace tuition {
namespace {

// The characters of one number. Amounts as people and scripts write them fit
// in the fixed part; only a longer number moves to the heap.
class Field {
 public:
  void append(char ch) {
    if (size_ < small_.size()) {
      small_[size_++] = ch;
    } else {
      appendLarge(ch);
    }
  }

  std::string_view text() const {
    return large_.empty() ? std::string_view(small_.data(), size_) : std::string_view(large_);
  }

 private:
  void appendLarge(char ch) {
    if (large_.empty()) large_.assign(small_.data(), size_);
    large_ += ch;
  }

  std::array<char, 64> small_{};
  std::size_t size_ = 0;
  std::string large_;
};

// The value of an exponent's digits, held to a bound far beyond any that
// matters, so that no run of digits can overflow it.
std::int64_t boundedExponent(std::string_view digits) {
  constexpr std::int64_t kBound = std::int64_t{1} << 60;
  const bool negative = !digits.empty() && digits.front() == '-';
  if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) digits.remove_prefix(1);
  std::int64_t exponent = 0;
  const auto read = std::from_chars(digits.data(), digits.data() + digits.size(), exponent);
  if (read.ec != std::errc() || exponent > kBound) exponent = kBound;
  return negative ? -exponent : exponent;
}

// For a number that from_chars found beyond a float's range: whether it is
// too large rather than too small, that is, whether its first significant
// digit stands for one or more.
bool tooLarge(std::string_view number) {
  const std::size_t mark = std::min(number.find('e'), number.size());
  const std::string_view mantissa = number.substr(0, mark);
  const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
  const std::size_t first = mantissa.find_first_of("123456789");
  if (first == std::string_view::npos) return false;  // zero is never out of range
  // The power of ten of the first significant digit, before the exponent.
  const std::int64_t power = first < point ? static_cast<std::int64_t>(point - first - 1)
                                           : -static_cast<std::int64_t>(first - point);
  const std::int64_t exponent = mark < number.size() ? boundedExponent(number.substr(mark + 1)) : 0;
  return power + exponent >= 0;
}

bool isDigit(char ch) { return ch >= '0' && ch <= '9'; }

// Whether arithmetic rounds to nearest, the only mode from_chars knows; the
// standard facet follows any other.
bool roundsToNearest() {
#ifdef FE_TONEAREST
  return std::fegetround() == FE_TONEAREST;
#else
  return true;  // no other mode can be set
#endif
}

}  // namespace

FloatReader::iter_type FloatReader::do_get(iter_type in, iter_type end, std::ios_base& stream,
                                           std::ios_base::iostate& state, float& value) const {
  // Every stream hands its facets the end-of-stream iterator as the end, and
  // testing against one known to be that is far cheaper than against `end`.
  const iter_type endOfStream;
  if (!roundsToNearest() || !(end == endOfStream)) {
    return std::num_get<char>::do_get(in, end, stream, state, value);
  }

  // Gather the characters exactly as the standard facet does: an optional
  // sign, digits with at most one decimal point, and, once a digit has been
  // seen, an exponent mark with an optional sign and digits. The first
  // character that cannot continue the number stays unread.
  Field field;
  // The character under the iterator; at the end of input, one that no
  // number contains.
  char ch = '\0';
  const auto look = [&] { ch = in == endOfStream ? '\0' : *in; };
  const auto skip = [&] {
    ++in;
    look();
  };
  const auto take = [&] {
    field.append(ch);
    skip();
  };
  const auto takeDigits = [&] {
    while (isDigit(ch)) take();
  };
  look();
  if (ch == '-') {
    take();
  } else if (ch == '+') {
    skip();  // from_chars takes no plus sign, which means nothing anyway
  }
  bool digits = isDigit(ch);
  // Leading zeros count as one, so that no run of them takes room.
  if (ch == '0') {
    take();
    while (ch == '0') skip();
  }
  takeDigits();
  if (ch == '.') {
    take();
    digits = digits || isDigit(ch);
    takeDigits();
  }
  if ((ch == 'e' || ch == 'E') && digits) {
    field.append('e');
    skip();
    if (ch == '+' || ch == '-') take();
    takeDigits();
  }

  // Then convert them as strtof would, with the standard facet's answers for
  // what does not fit: a field that is not a number as a whole (a lone sign
  // or point, a number cut short after its exponent mark) fails with zero; one
  // too large fails with the largest float of its sign; one too small for
  // even the smallest subnormal is taken as zero of its sign.
  const std::string_view text = field.text();
  const char* const last = text.data() + text.size();
  float parsed = 0.0F;
  const auto [stop, error] = floatFromChars(text.data(), last, parsed);
  if (stop != last || (error != std::errc() && error != std::errc::result_out_of_range)) {
    value = 0.0F;
    state = std::ios_base::failbit;
  } else if (error == std::errc()) {
    value = parsed;
  } else if (tooLarge(text)) {
    value = text.front() == '-' ? std::numeric_limits<float>::lowest()
                                : std::numeric_limits<float>::max();
    state = std::ios_base::failbit;
  } else {
    value = text.front() == '-' ? -0.0F : 0.0F;
  }
  if (in == endOfStream) state |= std::ios_base::eofbit;
  return in;
}

}  // namespace tuition
