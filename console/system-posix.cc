#include <poll.h>
#include <unistd.h>

#include <cerrno>

#include "console/system.h"

namespace tuition::console {

// POSIX descriptors carry bytes as they are: there is nothing to set up.
void setUpStandardStreams() {}

ReadResult readSome(int fd, char* buffer, std::size_t size) {
  for (;;) {
    const ssize_t got = read(fd, buffer, size);
    if (got > 0) return {static_cast<std::size_t>(got), false, 0};
    if (got == 0) return {0, true, 0};
    if (errno == EINTR) continue;
    // A descriptor left non-blocking by whoever started the program has
    // nothing yet, which is not the end: wait until it has.
    if (errno == EAGAIN || errno == EWOULDBLOCK) {
      pollfd readable{fd, POLLIN, 0};
      if (poll(&readable, 1, -1) >= 0 || errno == EINTR) continue;
    }
    return {0, true, errno};
  }
}

int writeAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t done = write(fd, data, size);
    if (done < 0) {
      if (errno == EINTR) continue;
      // A non-blocking descriptor whose reader is slow is full for now, not
      // broken: wait until it takes more.
      if (errno == EAGAIN || errno == EWOULDBLOCK) {
        pollfd writable{fd, POLLOUT, 0};
        if (poll(&writable, 1, -1) >= 0 || errno == EINTR) continue;
      }
      return errno;
    }
    data += done;
    size -= static_cast<std::size_t>(done);
  }
  return 0;
}

}  // namespace tuition::console
