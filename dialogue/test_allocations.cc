// Replaces the global operator new of the test program with one that counts.
// The operators are alone in this file so that no caller sees them inline.
#include "dialogue/test_allocations.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<std::size_t> count{0};
}  // namespace

std::size_t tuition::test::allocations() { return count; }

void* operator new(std::size_t size) {
  ++count;
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t /*size*/) noexcept { std::free(memory); }
