#include "dialogue/float_chars.h"

namespace tuition {

std::from_chars_result floatFromChars(const char* first, const char* last, float& value) {
  return std::from_chars(first, last, value);
}

}  // namespace tuition
