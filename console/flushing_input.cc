#include "console/flushing_input.h"

#include "console/system.h"

namespace tuition {

FlushingInput::int_type FlushingInput::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  if (ended_) return traits_type::eof();

  prompts_.flush();
  const console::ReadResult got = console::readSome(fd_, buffer_.data(), buffer_.size());
  // An error counts as the end of input, and the end of input is final.
  ended_ = got.ended;
  setg(buffer_.data(), buffer_.data(), buffer_.data() + got.bytes);
  if (got.bytes == 0) return traits_type::eof();
  return traits_type::to_int_type(*gptr());
}

}  // namespace tuition
