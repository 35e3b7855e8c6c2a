#ifndef TUITION_CONSOLE_SYSTEM_H_
#define TUITION_CONSOLE_SYSTEM_H_

#include <cstddef>

// The few calls through which the program reaches the operating system. Each
// platform has its own implementation file; everything else is portable.
namespace tuition::console {

// The standard descriptors, numbered alike by POSIX and the Windows C runtime.
constexpr int kStandardInput = 0;
constexpr int kStandardOutput = 1;
constexpr int kStandardError = 2;

// Puts the standard descriptors in the state the rest of the program assumes:
// bytes pass through standard input and output unchanged.
void setUpStandardStreams();

struct ReadResult {
  std::size_t bytes = 0;  // how many were read into the buffer
  bool ended = false;     // no more input will come after these bytes
  int error = 0;          // an errno value when the read failed, else 0
};

// Reads what `fd` has into `buffer`, waiting until at least one byte or the
// end of input arrives.
ReadResult readSome(int fd, char* buffer, std::size_t size);

// Writes all of `data` to `fd`, waiting as long as the descriptor needs.
// Returns 0, or the errno value of the write that failed.
int writeAll(int fd, const char* data, std::size_t size);

}  // namespace tuition::console

#endif  // TUITION_CONSOLE_SYSTEM_H_
