#ifndef TUITION_CONSOLE_INPUT_BUFFER_H_
#define TUITION_CONSOLE_INPUT_BUFFER_H_

#include <cstddef>
#include <streambuf>
#include <string_view>

namespace tuition {

// An input stream buffer that shows a reader the characters it holds unread
// and lets it take some where they lie. A reader that knows its stream's
// buffer is one of these can read a word in place, rather than a character at
// a time through std::istreambuf_iterator, which calls into the buffer two or
// three times for each.
class InputBuffer : public std::streambuf {
 public:
  // What has come from the source and is not yet taken; empty before the
  // first read.
  std::string_view unread() const { return {gptr(), static_cast<std::size_t>(egptr() - gptr())}; }

  // Takes the first `count` characters of unread(), which holds at least so many.
  void consume(std::size_t count) { gbump(static_cast<int>(count)); }
};

}  // namespace tuition

#endif  // TUITION_CONSOLE_INPUT_BUFFER_H_
