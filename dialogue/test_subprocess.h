#ifndef TUITION_DIALOGUE_TEST_SUBPROCESS_H_
#define TUITION_DIALOGUE_TEST_SUBPROCESS_H_

#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tuition::test {

// Where the child's standard output goes.
enum class StdoutTarget { kPipe, kDevFull, kClosed };

struct SubprocessOptions {
  std::vector<std::string> args;
  StdoutTarget stdoutTarget = StdoutTarget::kPipe;
  // Standard error joins standard output in one pipe, as in `2>&1`, so that
  // their order is what a reader of a merged log would see.
  bool mergeStderr = false;
  // Standard input, output and error are one pseudo-terminal instead, which
  // echoes what is sent, as a console does; the two options above are unused.
  bool terminal = false;
  // Caps the child's address space in bytes; 0 leaves it as it is.
  std::size_t addressSpaceLimit = 0;
};

struct Finished {
  std::string out;
  std::string err;
  int exitStatus = -1;  // -1 when the child did not exit on its own
  int termSignal = 0;
  bool timedOut = false;
};

using Duration = std::chrono::milliseconds;
constexpr Duration kDefaultLimit{10000};

// A child process on pipes. Every wait has a deadline, so a program that hangs
// fails its test instead of stalling the suite; the child is killed then.
class Subprocess {
 public:
  Subprocess(const std::string& path, const SubprocessOptions& options);
  ~Subprocess();
  Subprocess(const Subprocess&) = delete;
  Subprocess& operator=(const Subprocess&) = delete;
  Subprocess(Subprocess&&) = delete;
  Subprocess& operator=(Subprocess&&) = delete;

  // Queues text for the child's standard input; it is written while waiting.
  void send(std::string_view text);

  // Waits until standard output holds at least `size` bytes. False when the
  // limit passes or the output ends first.
  bool awaitOutput(std::size_t size, Duration limit = kDefaultLimit);
  const std::string& output() const { return out_; }

  // Closes standard input once the queued text is written, collects all
  // output and waits for the child to end.
  Finished finish(Duration limit = kDefaultLimit);

 private:
  using Clock = std::chrono::steady_clock;
  bool pumpUntil(const std::function<bool()>& done, Clock::time_point deadline);

  pid_t pid_ = -1;
  int inFd_ = -1;
  int outFd_ = -1;
  int errFd_ = -1;
  std::string pending_;
  bool closeInput_ = false;
  std::string out_;
  std::string err_;
};

// Runs the child on the whole of `input` and waits for it to end.
Finished runProgram(const std::string& path, std::string_view input,
                    const SubprocessOptions& options = {});

}  // namespace tuition::test

#endif  // TUITION_DIALOGUE_TEST_SUBPROCESS_H_
