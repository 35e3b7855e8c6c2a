#ifndef TUITION_DIALOGUE_FLOAT_READER_H_
#define TUITION_DIALOGUE_FLOAT_READER_H_

#include <ios>
#include <iterator>
#include <locale>

namespace tuition {

// Reads a float as the classic locale's standard facet does, taking exactly
// the same characters and giving the same value and stream state, but
// converting them with std::from_chars (or its stand-in, floatFromChars).
//
// The standard facet gathers the characters into a heap string and hands them
// to the C library's strtof. That costs several times what the conversion
// needs, and some C libraries (MinGW-w64's among them) round halfway cases
// wrongly, refuse long numbers that an exponent brings back into range, and
// take time quadratic in the number of digits. This one gathers into a small
// buffer, turning to the heap only for a very long number.
//
// Only the float overload is replaced. Numbers are read as the classic locale
// writes them (a full stop for the decimal point, no digit grouping), so the
// facet belongs in a locale built on the classic one. In any rounding mode
// other than to nearest, which from_chars does not follow, it hands over to
// the standard facet.
class FloatReader : public std::num_get<char> {
 public:
  using std::num_get<char>::num_get;

 protected:
  using std::num_get<char>::do_get;
  iter_type do_get(iter_type in, iter_type end, std::ios_base& stream,
                   std::ios_base::iostate& state, float& value) const override;
};

}  // namespace tuition

#endif  // TUITION_DIALOGUE_FLOAT_READER_H_
