#ifndef TUITION_DIALOGUE_TEST_SUBPROCESS_H_
#define TUITION_DIALOGUE_TEST_SUBPROCESS_H_

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tuition::test {

// The built program, wherever the build put it.
std::string builtProgram();

// Whether the program runs under an emulator (qemu-user, for a build for
// another CPU), which some tests of its memory cannot see through.
bool runsUnderEmulator();

// Where the child's standard input comes from and its outputs go. A pipe and
// a closed output are supported everywhere; the others are POSIX's.
enum class StdinSource { kPipe, kDirectory, kClosed };
enum class OutputTarget { kPipe, kDevFull, kClosed };

struct SubprocessOptions {
  std::vector<std::string> args;
  StdinSource stdinSource = StdinSource::kPipe;
  OutputTarget stdoutTarget = OutputTarget::kPipe;
  OutputTarget stderrTarget = OutputTarget::kPipe;
  // Standard error joins standard output in one pipe, as in `2>&1`, so that
  // their order is what a reader of a merged log would see.
  bool mergeStderr = false;
  // Standard error is this descriptor of the caller's instead, which several
  // children may share; -1 for a pipe of the child's own. POSIX only.
  int sharedStderr = -1;
  // Standard input, output and error are one pseudo-terminal instead, which
  // echoes what is sent, as a console does; the two options above are unused.
  // POSIX only.
  bool terminal = false;
  // Caps the child's address space and its stack in bytes; 0 leaves it as it
  // is. POSIX only.
  std::size_t addressSpaceLimit = 0;
  std::size_t stackLimit = 0;
};

struct Finished {
  std::string out;
  std::string err;
  int exitStatus = -1;       // -1 when the child did not exit on its own
  int termSignal = 0;        // POSIX only
  std::int64_t peakKiB = 0;  // the child's peak resident memory; POSIX only
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
  // Standard output so far.
  std::string output() const;

  // Closes standard input once the queued text is written, collects all
  // output and waits for the child to end.
  Finished finish(Duration limit = kDefaultLimit);

 private:
  struct Child;  // each platform's own
  std::unique_ptr<Child> child_;
};

// Runs the child on the whole of `input` and waits for it to end.
inline Finished runProgram(const std::string& path, std::string_view input,
                           const SubprocessOptions& options = {}) {
  Subprocess child(path, options);
  child.send(input);
  return child.finish();
}

// Both ends of a blocking pipe, as C runtime descriptors, for the tests of the
// console's own buffers. Closed with the object.
class Pipe {
 public:
  Pipe();
  ~Pipe();
  Pipe(const Pipe&) = delete;
  Pipe& operator=(const Pipe&) = delete;
  Pipe(Pipe&&) = delete;
  Pipe& operator=(Pipe&&) = delete;

  int readEnd() const { return readEnd_; }
  int writeEnd() const { return writeEnd_; }
  void write(std::string_view text) const;
  void closeWriteEnd();
  // What can be read right now, without waiting.
  std::string available() const;
  // Reads until `size` bytes have come or the write end is closed.
  std::string read(std::size_t size) const;

 private:
  int readEnd_ = -1;
  int writeEnd_ = -1;
};

}  // namespace tuition::test

#endif  // TUITION_DIALOGUE_TEST_SUBPROCESS_H_
