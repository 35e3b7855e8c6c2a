#ifndef TUITION_CONSOLE_FLUSHING_INPUT_H_
#define TUITION_CONSOLE_FLUSHING_INPUT_H_

#include <array>
#include <ostream>

#include "console/input_buffer.h"

namespace tuition {

// Reads a file descriptor, flushing `prompts` immediately before each read
// from the operating system, and at no other time.
//
// That is exactly when the program may wait for its user, so every prompt is
// visible before it waits; but an answer already in the buffer, as in a file
// of payments fed through a pipe, is taken without a flush. A stream tied to
// its output flushes before every read instead, which costs one write call per
// prompt.
//
// How a read waits is the platform's business (console/system.h). The end of
// input is final. A read that fails throws std::system_error with the
// system's reason, so that it is not taken for the end of input: a stream
// that throws on badbit passes it on, any other just goes bad.
class FlushingInput : public InputBuffer {
 public:
  // NOLINTNEXTLINE(cppcoreguidelines-pro-type-member-init): buffer_ is left unfilled
  FlushingInput(int fd, std::ostream& prompts) : fd_(fd), prompts_(prompts) {}

 protected:
  int_type underflow() override;

 private:
  int fd_;
  std::ostream& prompts_;
  bool ended_ = false;
  // Left unfilled: nothing reads a byte of it before writing it, and filling
  // it would cost every run, however short, 64 KiB of memory it never uses.
  std::array<char, 65536> buffer_;
};

}  // namespace tuition

#endif  // TUITION_CONSOLE_FLUSHING_INPUT_H_
