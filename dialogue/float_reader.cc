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
  const std::size_t mark = std::min(number.find_first_of("eE"), number.size());
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

// Takes the characters of one number from `source` exactly as the standard
// facet does: an optional sign, digits with at most one decimal point, and,
// once a digit has been seen, an exponent mark with an optional sign and
// digits. The first character that cannot continue the number stays unread.
//
// A Source shows the character it is at (peek(), '\0' at the end of input),
// and moves past it keeping it in the number (take()) or not (drop()); both
// return the next one.
template <typename Source>
void gather(Source& source) {
  char ch = source.peek();
  if (ch == '-') {
    ch = source.take();
  } else if (ch == '+') {
    ch = source.drop();  // from_chars takes no plus sign, which means nothing anyway
  }
  const auto takeDigits = [&] {
    while (isDigit(ch)) ch = source.take();
  };
  bool digits = isDigit(ch);
  if (ch == '0') ch = source.takeLeadingZeros();
  takeDigits();
  if (ch == '.') {
    ch = source.take();
    digits = digits || isDigit(ch);
    takeDigits();
  }
  if ((ch == 'e' || ch == 'E') && digits) {
    ch = source.take();
    if (ch == '+' || ch == '-') ch = source.take();
    takeDigits();
  }
}

// The characters of a stream, through its iterator, gathered into a Field.
class StreamSource {
 public:
  using Iterator = std::istreambuf_iterator<char>;

  explicit StreamSource(Iterator& in) : in_(in) { look(); }

  char peek() const { return ch_; }
  char take() {
    field_.append(ch_);
    return drop();
  }
  char drop() {
    ++in_;
    return look();
  }
  // A run of leading zeros counts as one, so that no run of them takes room.
  char takeLeadingZeros() {
    take();
    while (ch_ == '0') drop();
    return ch_;
  }

  std::string_view text() const { return field_.text(); }
  bool ended() const { return in_ == Iterator(); }

 private:
  char look() {
    ch_ = ended() ? '\0' : *in_;
    return ch_;
  }

  Iterator& in_;
  char ch_ = '\0';
  Field field_;
};

// The characters that a buffer holds, taken where they lie. Running off the
// end means that the number may go on in input not yet read, and nothing can
// be concluded: ranOut() tells.
class BufferSource {
 public:
  explicit BufferSource(std::string_view held)
      : begin_(held.data()), start_(begin_), at_(begin_), end_(begin_ + held.size()) {}

  char peek() const { return at_ < end_ ? *at_ : '\0'; }
  char take() {
    ++at_;
    return peek();
  }
  // Only ever at the first character, before anything is taken.
  char drop() {
    start_ = ++at_;
    return peek();
  }
  // The number's characters stay together, zeros and all.
  char takeLeadingZeros() { return take(); }

  // Gathering always looks at the character after the last one it takes, so
  // it has run off the end exactly when it stands there.
  bool ranOut() const { return at_ == end_; }
  // How many characters it has moved past, a dropped sign among them.
  std::size_t passed() const { return static_cast<std::size_t>(at_ - begin_); }
  std::string_view text() const { return {start_, static_cast<std::size_t>(at_ - start_)}; }

 private:
  const char* begin_;
  const char* start_;  // where the number's text begins
  const char* at_;
  const char* end_;
};

// Converts the gathered characters as strtof would, with the standard facet's
// answers for what does not fit: a field that is not a number as a whole (a
// lone sign or point, a number cut short after its exponent mark) fails with
// zero; one too large fails with the largest float of its sign; one too small
// for even the smallest subnormal is taken as zero of its sign.
void convert(std::string_view text, std::ios_base::iostate& state, float& value) {
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
}

}  // namespace

FloatReader::FloatReader(std::istream& stream)
    : stream_(&stream), buffer_(dynamic_cast<InputBuffer*>(stream.rdbuf())) {}

FloatReader::iter_type FloatReader::do_get(iter_type in, iter_type end, std::ios_base& stream,
                                           std::ios_base::iostate& state, float& value) const {
  // Every stream hands its facets the end-of-stream iterator as the end, and
  // testing against one known to be that is far cheaper than against `end`.
  if (!roundsToNearest() || !(end == iter_type())) {
    return std::num_get<char>::do_get(in, end, stream, state, value);
  }

  // The stream this facet was made for, still reading from its InputBuffer:
  // a number that lies whole in the buffer is read there, and the buffer
  // moved past it. `in` stands at the buffer's next character, as an
  // iterator that has not yet looked at one always does.
  if (&stream == stream_ && stream_->rdbuf() == buffer_) {
    BufferSource source(buffer_->unread());
    gather(source);
    if (!source.ranOut()) {
      buffer_->consume(source.passed());
      convert(source.text(), state, value);
      return in;
    }
  }

  StreamSource source(in);
  gather(source);
  convert(source.text(), state, value);
  if (source.ended()) state |= std::ios_base::eofbit;
  return in;
}

}  // namespace tuition
