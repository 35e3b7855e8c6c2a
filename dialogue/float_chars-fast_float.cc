#include <fast_float/fast_float.h>

#include <cmath>
#include <system_error>

#include "dialogue/float_chars.h"

namespace tuition {

std::from_chars_result floatFromChars(const char* first, const char* last, float& value) {
  float converted = 0.0F;
  const fast_float::from_chars_result got = fast_float::from_chars(first, last, converted);
  if (got.ec != std::errc()) return {got.ptr, got.ec};
  // A number in digits that comes out infinite is too large for a float.
  // Older versions of fast_float (3.9, Debian 12's) return it with no error,
  // where std::from_chars says it is out of range and leaves `value` alone.
  if (std::isinf(converted)) return {got.ptr, std::errc::result_out_of_range};
  value = converted;
  return {got.ptr, std::errc()};
}

}  // namespace tuition
