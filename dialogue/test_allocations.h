#ifndef TUITION_DIALOGUE_TEST_ALLOCATIONS_H_
#define TUITION_DIALOGUE_TEST_ALLOCATIONS_H_

#include <cstddef>

namespace tuition::test {

// How many times the tests have called operator new so far, in any thread, so
// that a test can show where none is made.
std::size_t allocations();

}  // namespace tuition::test

#endif  // TUITION_DIALOGUE_TEST_ALLOCATIONS_H_
