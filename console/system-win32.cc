#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <map>
#include <string>
#include <string_view>

#include "console/system.h"
#include "console/utf16.h"

namespace tuition::console {
namespace {

// The C runtime counts bytes in an int; larger requests go in pieces.
constexpr std::size_t kMostPerCall = INT_MAX;

// The most UTF-16 units handed to or taken from a console in one call, well
// inside what every version of Windows allows.
constexpr DWORD kConsoleUnitsPerCall = 8192;

// What a user types to end input on a Windows console.
constexpr char16_t kEndOfInputKey = u'\x1a';  // Ctrl-Z

unsigned int countFor(std::size_t size) {
  return static_cast<unsigned int>(std::min(size, kMostPerCall));
}

HANDLE handleOf(int fd) {
  // The C runtime hands its handles out as integers.
  return reinterpret_cast<HANDLE>(_get_osfhandle(fd));  // NOLINT(performance-no-int-to-ptr)
}

// Only a console has a console mode: not a pipe, a file, or NUL.
bool isConsole(HANDLE handle) {
  DWORD mode = 0;
  return GetConsoleMode(handle, &mode) != 0;
}

// A console is read as UTF-16, which holds whatever the user types, and
// handed on as UTF-8. What one read gives may be more than the caller takes
// at once, and may end in half a surrogate pair; both wait here.
struct ConsoleInput {
  Utf8FromUtf16 converter;
  std::string text;
  std::size_t taken = 0;
  bool ended = false;
};

// Reads what the user has sent: a line at a time, or part of a long one. A
// Ctrl-Z ends the input, and the rest of its line (the Enter that sent it) is
// dropped, as Windows console programs do. False when the read failed.
bool readConsoleLine(HANDLE console, ConsoleInput& input) {
  std::array<char16_t, kConsoleUnitsPerCall> units{};
  DWORD got = 0;
  for (;;) {
    SetLastError(0);
    const bool read = ReadConsoleW(console, units.data(), kConsoleUnitsPerCall, &got, nullptr) != 0;
    // Ctrl-C cuts a read short, and its handler, on a thread of its own, is
    // about to end the process: wait for it rather than take this for the end.
    if ((!read || got == 0) && GetLastError() == ERROR_OPERATION_ABORTED) {
      Sleep(100);
      continue;
    }
    if (!read) return false;
    break;
  }
  std::u16string_view line(units.data(), got);
  const std::size_t key = line.find(kEndOfInputKey);
  input.ended = got == 0 || key != std::u16string_view::npos;
  input.converter.convert(line.substr(0, key), input.text);
  if (input.ended) input.converter.finish(input.text);
  return true;
}

ReadResult readConsole(HANDLE console, char* buffer, std::size_t size) {
  static ConsoleInput input;
  while (input.taken == input.text.size() && !input.ended) {
    input.text.clear();
    input.taken = 0;
    if (!readConsoleLine(console, input)) return {0, true, EIO};
  }
  const std::size_t bytes = std::min(size, input.text.size() - input.taken);
  std::copy_n(input.text.data() + input.taken, bytes, buffer);
  input.taken += bytes;
  return {bytes, input.ended && input.taken == input.text.size(), 0};
}

// Writes UTF-8 to a console as UTF-16, so that every character shows whatever
// the code page. A sequence cut off at the end of one write waits for the rest,
// which comes with the next write to the same descriptor.
int writeConsole(int fd, HANDLE console, const char* data, std::size_t size) {
  static std::map<int, Utf16FromUtf8> converters;
  std::u16string units;
  converters[fd].convert(std::string_view(data, size), units);
  for (std::size_t at = 0; at < units.size();) {
    DWORD count =
        static_cast<DWORD>(std::min<std::size_t>(units.size() - at, kConsoleUnitsPerCall));
    // A surrogate pair goes out whole.
    if (at + count < units.size() && units[at + count - 1] >= 0xD800 &&
        units[at + count - 1] <= 0xDBFF) {
      --count;
    }
    DWORD written = 0;
    if (WriteConsoleW(console, units.data() + at, count, &written, nullptr) == 0 || written == 0) {
      return EIO;
    }
    at += written;
  }
  return 0;
}

}  // namespace

// In text mode the C runtime would write each line feed as a carriage return
// and a line feed, and stop reading a pipe at a Ctrl-Z: standard input and
// output carry bytes unchanged, as they do on POSIX. Standard error keeps text
// mode, so that its diagnostic lines end as Windows lines do. A console is
// reached apart from the C runtime, through its own calls.
void setUpStandardStreams() {
  _setmode(kStandardInput, _O_BINARY);
  _setmode(kStandardOutput, _O_BINARY);
}

ReadResult readSome(int fd, char* buffer, std::size_t size) {
  HANDLE handle = handleOf(fd);
  if (isConsole(handle)) return readConsole(handle, buffer, size);
  const int got = _read(fd, buffer, countFor(size));
  if (got < 0) return {0, true, errno};
  if (got == 0) return {0, true, 0};
  return {static_cast<std::size_t>(got), false, 0};
}

int writeAll(int fd, const char* data, std::size_t size) {
  HANDLE handle = handleOf(fd);
  if (isConsole(handle)) return writeConsole(fd, handle, data, size);
  while (size > 0) {
    const int done = _write(fd, data, countFor(size));
    if (done < 0) return errno;
    data += done;
    size -= static_cast<std::size_t>(done);
  }
  return 0;
}

}  // namespace tuition::console
