#ifndef TUITION_DIALOGUE_FLOAT_READER_H_
#define TUITION_DIALOGUE_FLOAT_READER_H_

#include <cstddef>
#include <ios>
#include <istream>
#include <iterator>
#include <locale>

#include "console/input_buffer.h"

namespace tuition {

// Reads a float as the classic locale's standard facet does, taking exactly
// the same characters and giving the same value and stream state, but
// converting them with floatFromChars (std::from_chars where the standard
// library has one).
//
// The standard facet gathers the characters into a heap string and hands them
// to the C library's strtof. That costs several times what the conversion
// needs, and some C libraries (MinGW-w64's among them) round halfway cases
// wrongly, refuse long numbers that an exponent brings back into range, and
// take time quadratic in the number of digits. This one gathers into a small
// buffer, turning to the heap only for a very long number.
//
// A facet is made for one stream. When that stream reads from an InputBuffer
// and a number lies whole in what the buffer holds, the number is read where
// it lies, and from_chars finds where it ends: telling that case apart costs
// two comparisons of pointers, where going through std::istreambuf_iterator
// costs calls into the buffer for every character. A number that runs on into
// input not yet read, or that from_chars alone cannot delimit as the standard
// facet does (a plus sign, an exponent mark with no digits), is read the slow
// way, as from any other stream.
//
// Only the float overload is replaced. Numbers are read as the classic locale
// writes them (a full stop for the decimal point, no digit grouping), so the
// facet belongs in a locale built on the classic one. In any rounding mode
// other than to nearest, which from_chars does not follow, it hands over to
// the standard facet.
class FloatReader : public std::num_get<char> {
 public:
  // Whether the reader asks for the rounding mode at every number, or may
  // take it as to nearest because its caller holds it there for as long as
  // the stream is read (as the dialogue does), which spares the question.
  enum class Rounding { kAsk, kAlwaysToNearest };

  explicit FloatReader(std::istream& stream, Rounding rounding = Rounding::kAsk);

  // Makes `stream` read floats with a FloatReader of its own, in a locale
  // built on the classic one, and returns that reader.
  static const FloatReader& imbue(std::istream& stream, Rounding rounding);

  // How many numbers this reader has read where they lay in the buffer, so
  // that a proof of that way of reading can tell that it took it.
  std::size_t numbersReadInPlace() const { return numbersReadInPlace_; }

 protected:
  using std::num_get<char>::do_get;
  iter_type do_get(iter_type in, iter_type end, std::ios_base& stream,
                   std::ios_base::iostate& state, float& value) const override;

 private:
  // The stream, kept as the std::ios whose std::ios_base do_get is handed (an
  // istream reaches that base only through its vtable), and its buffer if
  // that is an InputBuffer.
  const std::ios* stream_;
  InputBuffer* buffer_;
  bool alwaysToNearest_;
  mutable std::size_t numbersReadInPlace_ = 0;
};

}  // namespace tuition

#endif  // TUITION_DIALOGUE_FLOAT_READER_H_
