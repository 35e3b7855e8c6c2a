#ifndef TUITION_DIALOGUE_FLOAT_CHARS_H_
#define TUITION_DIALOGUE_FLOAT_CHARS_H_

#include <charconv>

namespace tuition {

// Converts the number in decimal digits at the start of [first, last) (never
// "inf" or "nan") to the nearest float, as std::from_chars does: the same
// characters taken, the same value, and result_out_of_range, with `value`
// untouched, for a number too large for a float. A number too small to be
// told from zero is either out of range in the same way (std::from_chars) or
// a zero of its sign (older fast_float); FloatReader takes both for that zero.
//
// Not every standard library has a float std::from_chars (libc++ long lacked
// one), so CMake chooses the implementation: the standard library's own where
// it has one, fast_float, the algorithm libstdc++'s is built on, otherwise.
std::from_chars_result floatFromChars(const char* first, const char* last, float& value);

}  // namespace tuition

#endif  // TUITION_DIALOGUE_FLOAT_CHARS_H_
