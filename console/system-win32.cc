#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

#include "console/system.h"

namespace tuition::console {
namespace {

// The C runtime counts bytes in an int; larger requests go in pieces.
constexpr std::size_t kMostPerCall = INT_MAX;

// What a user types to end input on a Windows console.
constexpr char kEndOfInputKey = '\x1a';  // Ctrl-Z

unsigned int countFor(std::size_t size) {
  return static_cast<unsigned int>(std::min(size, kMostPerCall));
}

}  // namespace

// In text mode the C runtime would write each line feed as a carriage return
// and a line feed, and stop reading a pipe at a Ctrl-Z: standard input and
// output carry bytes unchanged, as they do on POSIX. Standard error keeps text
// mode, so that its diagnostic lines end as Windows lines do.
void setUpStandardStreams() {
  _setmode(kStandardInput, _O_BINARY);
  _setmode(kStandardOutput, _O_BINARY);
}

ReadResult readSome(int fd, char* buffer, std::size_t size) {
  const int got = _read(fd, buffer, countFor(size));
  if (got < 0) return {0, true, errno};
  if (got == 0) return {0, true, 0};
  const auto bytes = static_cast<std::size_t>(got);
  // A console hands over a line at a time. A Ctrl-Z ends the input, and the
  // rest of its line (the Enter that sent it) is dropped, as Windows console
  // programs do; in a pipe or a file it is just another byte.
  if (_isatty(fd) != 0) {
    const void* key = std::memchr(buffer, kEndOfInputKey, bytes);
    if (key != nullptr) {
      return {static_cast<std::size_t>(static_cast<const char*>(key) - buffer), true, 0};
    }
  }
  return {bytes, false, 0};
}

int writeAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const int done = _write(fd, data, countFor(size));
    if (done < 0) return errno;
    data += done;
    size -= static_cast<std::size_t>(done);
  }
  return 0;
}

}  // namespace tuition::console
