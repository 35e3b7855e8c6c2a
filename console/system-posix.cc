#include <poll.h>
#include <unistd.h>

#include <cerrno>

#include "console/system.h"

namespace tuition::console {
namespace {

// A descriptor left non-blocking by whoever started the program answers
// EAGAIN when it has nothing to read or no room to write, which is neither the
// end nor a failure: wait until it is ready, then try again. False for any
// other error, and when waiting itself fails.
bool waitedUntilReady(int fd, decltype(pollfd::events) events) {
  if (errno != EAGAIN && errno != EWOULDBLOCK) return false;
  pollfd ready{fd, events, 0};
  return poll(&ready, 1, -1) >= 0 || errno == EINTR;
}

}  // namespace

// POSIX descriptors carry bytes as they are: there is nothing to set up.
void setUpStandardStreams() {}

ReadResult readSome(int fd, char* buffer, std::size_t size) {
  for (;;) {
    const ssize_t got = read(fd, buffer, size);
    if (got > 0) return {static_cast<std::size_t>(got), false, 0};
    if (got == 0) return {0, true, 0};
    if (errno == EINTR) continue;
    if (waitedUntilReady(fd, POLLIN)) continue;
    return {0, true, errno};
  }
}

int writeAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t done = write(fd, data, size);
    if (done < 0) {
      if (errno == EINTR) continue;
      if (waitedUntilReady(fd, POLLOUT)) continue;
      return errno;
    }
    data += done;
    size -= static_cast<std::size_t>(done);
  }
  return 0;
}

}  // namespace tuition::console
