#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <set>
#include <stdexcept>
#include <thread>

#include "dialogue/test_subprocess.h"

namespace tuition::test {

std::string builtProgram() { return TUITION_EXECUTABLE; }

namespace {

#ifdef TUITION_EMULATOR
constexpr std::string_view kEmulator = TUITION_EMULATOR;
#else
constexpr std::string_view kEmulator;
#endif

// The emulator's command, a word for each '|'-separated part; none without.
std::vector<std::string> emulatorCommand() {
  std::vector<std::string> command;
  for (std::string_view rest = kEmulator; !rest.empty();) {
    const std::size_t bar = std::min(rest.find('|'), rest.size());
    command.emplace_back(rest.substr(0, bar));
    rest.remove_prefix(std::min(bar + 1, rest.size()));
  }
  return command;
}

[[noreturn]] void fail(const char* what) {
  throw std::runtime_error(std::string(what) + " failed");
}

// Moves a descriptor above the standard ones, so that moving it onto 0, 1 or 2
// in the child can never overwrite another the child still needs, even when
// the test itself runs with a standard descriptor closed.
int aboveStandard(int fd) {
  if (fd < 0) fail("open");
  const int moved = fcntl(fd, F_DUPFD_CLOEXEC, 3);
  if (moved < 0) fail("fcntl");
  close(fd);
  return moved;
}

void makePipe(int& readEnd, int& writeEnd) {
  std::array<int, 2> ends{};
  if (pipe2(ends.data(), O_CLOEXEC) != 0) fail("pipe2");
  readEnd = aboveStandard(ends[0]);
  writeEnd = aboveStandard(ends[1]);
}

// Opens a pseudo-terminal. Returns the side the test drives and sets
// `terminal` to the side the child sees as its terminal.
int openTerminal(int& terminal) {
  const int controller = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (controller < 0 || grantpt(controller) != 0 || unlockpt(controller) != 0) {
    fail("posix_openpt");
  }
  terminal = aboveStandard(open(ptsname(controller), O_RDWR | O_NOCTTY | O_CLOEXEC));
  return aboveStandard(controller);
}

// What the child gets as one of its outputs: the write end of a pipe whose
// read end `ours` the test keeps, /dev/full, or -1 for none at all.
int childOutput(OutputTarget target, int& ours) {
  int theirs = -1;
  switch (target) {
    case OutputTarget::kPipe:
      makePipe(ours, theirs);
      break;
    case OutputTarget::kDevFull:
      theirs = aboveStandard(open("/dev/full", O_WRONLY | O_CLOEXEC));
      break;
    case OutputTarget::kClosed:
      break;
  }
  return theirs;
}

void closeFd(int& fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

void setNonBlocking(int fd) {
  if (fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK) != 0) fail("fcntl");
}

}  // namespace

bool runsUnderEmulator() { return !kEmulator.empty(); }

struct Subprocess::Child {
  using Clock = std::chrono::steady_clock;
  bool pumpUntil(const std::function<bool()>& done, Clock::time_point deadline);

  pid_t pid_ = -1;
  int inFd_ = -1;
  int outFd_ = -1;
  int errFd_ = -1;
  std::string pending_;
  std::size_t sent_ = 0;  // how much of pending_ is written: erasing it would cost a copy each time
  bool closeInput_ = false;
  std::string out_;
  std::string err_;
};

Subprocess::Subprocess(const std::string& path, const SubprocessOptions& options)
    : child_(std::make_unique<Child>()) {
  Child& c = *child_;
  // A child that exits early must not kill the test with SIGPIPE; the child
  // gets the default action back before it starts.
  static_cast<void>(std::signal(SIGPIPE, SIG_IGN));

  std::vector<std::string> args = emulatorCommand();
  args.push_back(path);
  args.insert(args.end(), options.args.begin(), options.args.end());
  std::vector<char*> argv;
  argv.reserve(args.size() + 1);
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);

  // What the child gets as its descriptors 0, 1 and 2; -1 leaves one closed.
  std::array<int, 3> childFds{-1, -1, -1};
  if (options.terminal) {
    int terminal = -1;
    c.outFd_ = openTerminal(terminal);
    c.inFd_ = aboveStandard(dup(c.outFd_));
    childFds = {terminal, terminal, terminal};
  } else {
    switch (options.stdinSource) {
      case StdinSource::kPipe:
        makePipe(childFds[0], c.inFd_);
        break;
      case StdinSource::kDirectory:
        childFds[0] = aboveStandard(open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        break;
      case StdinSource::kClosed:
        break;
    }
    childFds[1] = childOutput(options.stdoutTarget, c.outFd_);
    if (options.mergeStderr) {
      childFds[2] = childFds[1];
    } else if (options.sharedStderr >= 0) {
      childFds[2] = aboveStandard(dup(options.sharedStderr));
    } else {
      childFds[2] = childOutput(options.stderrTarget, c.errFd_);
    }
  }

  c.pid_ = fork();
  if (c.pid_ < 0) fail("fork");
  if (c.pid_ == 0) {
    // Only async-signal-safe calls from here to exec.
    if (options.terminal) setsid();
    for (int fd = 0; fd < 3; ++fd) {
      const int source = childFds[static_cast<std::size_t>(fd)];
      if (source < 0) {
        close(fd);
      } else {
        dup2(source, fd);
      }
    }
    const auto cap = [](decltype(RLIMIT_AS) resource, std::size_t bytes) {
      const rlimit limit{bytes, bytes};
      if (bytes != 0 && setrlimit(resource, &limit) != 0) _exit(126);
    };
    cap(RLIMIT_AS, options.addressSpaceLimit);
    cap(RLIMIT_STACK, options.stackLimit);
    static_cast<void>(signal(SIGPIPE, SIG_DFL));
    execv(argv[0], argv.data());
    _exit(127);
  }

  for (const int fd : std::set<int>(childFds.begin(), childFds.end())) {
    if (fd >= 0) close(fd);
  }
  for (int fd : {c.inFd_, c.outFd_, c.errFd_}) {
    if (fd >= 0) setNonBlocking(fd);
  }
}

Subprocess::~Subprocess() {
  Child& c = *child_;
  for (int* fd : {&c.inFd_, &c.outFd_, &c.errFd_}) closeFd(*fd);
  if (c.pid_ > 0) {
    kill(c.pid_, SIGKILL);
    waitpid(c.pid_, nullptr, 0);
  }
}

void Subprocess::send(std::string_view text) { child_->pending_.append(text); }

std::string Subprocess::output() const { return child_->out_; }

bool Subprocess::awaitOutput(std::size_t size, Duration limit) {
  Child& c = *child_;
  return c.pumpUntil([&] { return c.out_.size() >= size; }, Child::Clock::now() + limit);
}

bool Subprocess::Child::pumpUntil(const std::function<bool()>& done, Clock::time_point deadline) {
  while (!done()) {
    if (inFd_ >= 0 && pending_.empty() && closeInput_) closeFd(inFd_);
    std::vector<pollfd> polled;
    if (inFd_ >= 0 && !pending_.empty()) polled.push_back({inFd_, POLLOUT, 0});
    if (outFd_ >= 0) polled.push_back({outFd_, POLLIN, 0});
    if (errFd_ >= 0) polled.push_back({errFd_, POLLIN, 0});
    if (outFd_ < 0 && errFd_ < 0) return done();  // nothing more can arrive

    const auto left = std::chrono::duration_cast<Duration>(deadline - Clock::now());
    if (left.count() <= 0) return false;
    if (poll(polled.data(), polled.size(), static_cast<int>(left.count())) < 0) {
      if (errno == EINTR) continue;
      fail("poll");
    }
    for (const pollfd& p : polled) {
      if (p.revents == 0) continue;
      if (p.fd == inFd_) {
        const ssize_t written = write(inFd_, pending_.data() + sent_, pending_.size() - sent_);
        if (written >= 0) {
          sent_ += static_cast<std::size_t>(written);
          if (sent_ == pending_.size()) {
            pending_.clear();
            sent_ = 0;
          }
        } else if (errno != EAGAIN && errno != EINTR) {
          // The child stopped reading: what it never took is dropped.
          pending_.clear();
          sent_ = 0;
          closeFd(inFd_);
        }
        continue;
      }
      std::array<char, 65536> buffer{};
      const ssize_t got = read(p.fd, buffer.data(), buffer.size());
      if (got > 0) {
        (p.fd == outFd_ ? out_ : err_).append(buffer.data(), static_cast<std::size_t>(got));
      } else if (got == 0 || (errno != EAGAIN && errno != EINTR)) {
        closeFd(p.fd == outFd_ ? outFd_ : errFd_);
      }
    }
  }
  return true;
}

Finished Subprocess::finish(Duration limit) {
  Child& c = *child_;
  const auto deadline = Child::Clock::now() + limit;
  c.closeInput_ = true;
  Finished result;
  result.timedOut = !c.pumpUntil([&] { return c.outFd_ < 0 && c.errFd_ < 0; }, deadline);
  int status = 0;
  rusage usage{};
  while (!result.timedOut) {
    const pid_t done = wait4(c.pid_, &status, WNOHANG, &usage);
    if (done == c.pid_) break;
    if (done < 0 && errno != EINTR) fail("wait4");
    if (Child::Clock::now() >= deadline) result.timedOut = true;
    std::this_thread::sleep_for(Duration(1));
  }
  if (result.timedOut) {
    kill(c.pid_, SIGKILL);
    waitpid(c.pid_, &status, 0);
  }
  c.pid_ = -1;
  if (WIFEXITED(status)) result.exitStatus = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.termSignal = WTERMSIG(status);
  result.peakKiB = static_cast<std::int64_t>(usage.ru_maxrss);  // Linux counts it in KiB
  result.out = c.out_;
  result.err = c.err_;
  return result;
}

Pipe::Pipe() { makePipe(readEnd_, writeEnd_); }

Pipe::~Pipe() {
  closeFd(readEnd_);
  closeFd(writeEnd_);
}

void Pipe::write(std::string_view text) const {
  while (!text.empty()) {
    const ssize_t done = ::write(writeEnd_, text.data(), text.size());
    if (done < 0) fail("write");
    text.remove_prefix(static_cast<std::size_t>(done));
  }
}

void Pipe::closeWriteEnd() { closeFd(writeEnd_); }

std::string Pipe::available() const {
  std::string text;
  pollfd readable{readEnd_, POLLIN, 0};
  std::array<char, 4096> chunk{};
  while (poll(&readable, 1, 0) > 0 && (readable.revents & POLLIN) != 0) {
    const ssize_t got = ::read(readEnd_, chunk.data(), chunk.size());
    if (got <= 0) break;
    text.append(chunk.data(), static_cast<std::size_t>(got));
  }
  return text;
}

std::string Pipe::read(std::size_t size) const {
  std::string text;
  std::array<char, 65536> chunk{};
  while (text.size() < size) {
    const ssize_t got = ::read(readEnd_, chunk.data(), std::min(chunk.size(), size - text.size()));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) fail("read");
    if (got == 0) break;
    text.append(chunk.data(), static_cast<std::size_t>(got));
  }
  return text;
}

}  // namespace tuition::test
