#ifndef TUITION_CONSOLE_OUTPUT_BUFFER_H_
#define TUITION_CONSOLE_OUTPUT_BUFFER_H_

#include <streambuf>

namespace tuition {

// An output stream buffer that keeps the reason the system gave for the first
// write it refused, so that a diagnostic can say why, as trusted console
// tools do: a stream knows only that it failed.
class OutputBuffer : public std::streambuf {
 public:
  // The errno value of the first write that failed, or 0.
  int error() const { return error_; }

 protected:
  void failed(int error) {
    if (error_ == 0) error_ = error;
  }

 private:
  int error_ = 0;
};

}  // namespace tuition

#endif  // TUITION_CONSOLE_OUTPUT_BUFFER_H_
