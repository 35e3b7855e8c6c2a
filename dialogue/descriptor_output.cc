#include "dialogue/descriptor_output.h"

#include <unistd.h>

#include <cerrno>
#include <cstddef>

namespace tuition {

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

int DescriptorOutput::sync() { return drain() ? 0 : -1; }

bool DescriptorOutput::drain() {
  const char* next = pbase();
  bool written = true;
  while (next < pptr()) {
    const ssize_t done = write(fd_, next, static_cast<std::size_t>(pptr() - next));
    if (done < 0 && errno == EINTR) continue;
    if (done < 0) {
      written = false;
      break;
    }
    next += done;
  }
  setp(buffer_.data(), buffer_.data() + buffer_.size());
  return written;
}

}  // namespace tuition
