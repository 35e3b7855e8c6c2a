#include "console/flushing_input.h"

#include <system_error>

#include "console/system.h"

namespace tuition {

FlushingInput::int_type FlushingInput::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  if (ended_) return traits_type::eof();

  prompts_.flush();
  const console::ReadResult got = console::readSome(fd_, buffer_.data(), buffer_.size());
  // The end of input is final, and so is an error.
  ended_ = got.ended;
  if (got.error != 0) throw std::system_error(got.error, std::generic_category());
  setg(buffer_.data(), buffer_.data(), buffer_.data() + got.bytes);
  if (got.bytes == 0) return traits_type::eof();
  return traits_type::to_int_type(*gptr());
}

}  // namespace tuition
