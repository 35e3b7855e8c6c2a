#ifndef TUITION_CONSOLE_DESCRIPTOR_OUTPUT_H_
#define TUITION_CONSOLE_DESCRIPTOR_OUTPUT_H_

#include <array>

#include "console/output_buffer.h"

namespace tuition {

// Writes to a file descriptor through a buffer of whole pages.
//
// A full buffer goes out in one write of exactly its size, which a pipe takes
// page by page; the standard library's own unsynchronised buffer writes
// odd-sized pieces, which cost a pipe reader half again as many wake-ups. A
// write that fails (a full device, a closed descriptor) makes the stream fail,
// and what was in the buffer is dropped; error() keeps the system's reason.
class DescriptorOutput : public OutputBuffer {
 public:
  explicit DescriptorOutput(int fd);
  ~DescriptorOutput() override;
  DescriptorOutput(const DescriptorOutput&) = delete;
  DescriptorOutput& operator=(const DescriptorOutput&) = delete;
  DescriptorOutput(DescriptorOutput&&) = delete;
  DescriptorOutput& operator=(DescriptorOutput&&) = delete;

 protected:
  int_type overflow(int_type ch) override;
  std::streamsize xsputn(const char* text, std::streamsize count) override;
  int sync() override;

 private:
  // Writes out and empties the buffer; false if the descriptor refused it.
  bool drain();

  int fd_;
  // Left unfilled: nothing reads a byte of it before writing it, and filling
  // it would cost every run, however short, 64 KiB of memory it never uses.
  std::array<char, 65536> buffer_;
};

}  // namespace tuition

#endif  // TUITION_CONSOLE_DESCRIPTOR_OUTPUT_H_
