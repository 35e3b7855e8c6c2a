#include "console/descriptor_output.h"

#include <cstddef>
#include <cstring>

#include "console/system.h"

namespace tuition {

// NOLINTNEXTLINE(cppcoreguidelines-pro-type-member-init): buffer_ is left unfilled
DescriptorOutput::DescriptorOutput(int fd) : fd_(fd) {
  setp(buffer_.data(), buffer_.data() + buffer_.size());
}

DescriptorOutput::~DescriptorOutput() { drain(); }

DescriptorOutput::int_type DescriptorOutput::overflow(int_type ch) {
  if (!drain()) return traits_type::eof();
  if (!traits_type::eq_int_type(ch, traits_type::eof())) {
    *pptr() = traits_type::to_char_type(ch);
    pbump(1);
  }
  return traits_type::not_eof(ch);
}

// Text that fits in the buffer is copied in one go: a prompt is written
// thousands of times a second, and the standard way copies in pieces.
// Larger text goes the standard way, filling and writing whole buffers.
std::streamsize DescriptorOutput::xsputn(const char* text, std::streamsize count) {
  if (count > epptr() - pptr()) return std::streambuf::xsputn(text, count);
  std::memcpy(pptr(), text, static_cast<std::size_t>(count));
  pbump(static_cast<int>(count));
  return count;
}

int DescriptorOutput::sync() { return drain() ? 0 : -1; }

bool DescriptorOutput::drain() {
  const int error = console::writeAll(fd_, pbase(), static_cast<std::size_t>(pptr() - pbase()));
  setp(buffer_.data(), buffer_.data() + buffer_.size());
  if (error != 0) failed(error);
  return error == 0;
}

}  // namespace tuition
