// A program with a buffer as large as one of the standard streams' on main's
// stack, as tuition's were once. The suite runs it under the small stack that
// tuition is proved to run in, where it must crash: a limit it survived would
// prove nothing of where tuition keeps its buffers.
#include <array>
#include <cstddef>
#include <cstdio>

int main() {
  std::array<char, std::size_t{64} << 10> line{};
  return std::fgets(line.data(), static_cast<int>(line.size()), stdin) == nullptr ? 1 : 0;
}
