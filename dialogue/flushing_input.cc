#include "dialogue/flushing_input.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace tuition {

FlushingInput::int_type FlushingInput::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  if (ended_) return traits_type::eof();

  prompts_.flush();
  for (;;) {
    const ssize_t got = read(fd_, buffer_.data(), buffer_.size());
    if (got > 0) {
      setg(buffer_.data(), buffer_.data(), buffer_.data() + got);
      return traits_type::to_int_type(*gptr());
    }
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      pollfd readable{fd_, POLLIN, 0};
      if (poll(&readable, 1, -1) >= 0 || errno == EINTR) continue;
    }
    ended_ = true;
    return traits_type::eof();
  }
}

}  // namespace tuition
