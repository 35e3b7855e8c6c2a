#include "dialogue/test_subprocess.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <stdexcept>
#include <thread>

namespace tuition::test {
namespace {

[[noreturn]] void fail(const char* what) {
  throw std::runtime_error(std::string(what) + " failed");
}

// A pipe whose ends are above the standard descriptors, so that moving them
// onto 0, 1 and 2 in the child can never overwrite one another, even when the
// test runs with a standard descriptor closed.
void makePipe(int& readEnd, int& writeEnd) {
  std::array<int, 2> ends{};
  if (pipe2(ends.data(), O_CLOEXEC) != 0) fail("pipe2");
  for (int& end : ends) {
    const int moved = fcntl(end, F_DUPFD_CLOEXEC, 3);
    if (moved < 0) fail("fcntl");
    close(end);
    end = moved;
  }
  readEnd = ends[0];
  writeEnd = ends[1];
}

void closeFd(int& fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

void setNonBlocking(int fd) {
  if (fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK) != 0) fail("fcntl");
}

}  // namespace

Subprocess::Subprocess(const std::string& path, const SubprocessOptions& options) {
  // A child that exits early must not kill the test with SIGPIPE; the child
  // gets the default action back before it starts.
  static_cast<void>(std::signal(SIGPIPE, SIG_IGN));

  std::vector<std::string> args{path};
  args.insert(args.end(), options.args.begin(), options.args.end());
  std::vector<char*> argv;
  argv.reserve(args.size() + 1);
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);

  int childIn = -1;
  int childOut = -1;
  int childErr = -1;
  makePipe(childIn, inFd_);
  if (options.stdoutTarget == StdoutTarget::kPipe) {
    makePipe(outFd_, childOut);
  }
  if (!options.mergeStderr) makePipe(errFd_, childErr);

  pid_ = fork();
  if (pid_ < 0) fail("fork");
  if (pid_ == 0) {
    // Only async-signal-safe calls from here to exec.
    dup2(childIn, STDIN_FILENO);
    switch (options.stdoutTarget) {
      case StdoutTarget::kPipe:
        dup2(childOut, STDOUT_FILENO);
        break;
      case StdoutTarget::kDevFull: {
        const int full = open("/dev/full", O_WRONLY | O_CLOEXEC);
        if (full < 0) _exit(126);
        dup2(full, STDOUT_FILENO);
        break;
      }
      case StdoutTarget::kClosed:
        close(STDOUT_FILENO);
        break;
    }
    dup2(options.mergeStderr ? STDOUT_FILENO : childErr, STDERR_FILENO);
    if (options.addressSpaceLimit != 0) {
      const rlimit limit{options.addressSpaceLimit, options.addressSpaceLimit};
      if (setrlimit(RLIMIT_AS, &limit) != 0) _exit(126);
    }
    static_cast<void>(signal(SIGPIPE, SIG_DFL));
    execv(argv[0], argv.data());
    _exit(127);
  }

  for (int fd : {childIn, childOut, childErr}) {
    if (fd >= 0) close(fd);
  }
  for (int fd : {inFd_, outFd_, errFd_}) {
    if (fd >= 0) setNonBlocking(fd);
  }
}

Subprocess::~Subprocess() {
  for (int* fd : {&inFd_, &outFd_, &errFd_}) closeFd(*fd);
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

void Subprocess::send(std::string_view text) { pending_.append(text); }

bool Subprocess::awaitOutput(std::size_t size, Duration limit) {
  return pumpUntil([&] { return out_.size() >= size; }, Clock::now() + limit);
}

bool Subprocess::pumpUntil(const std::function<bool()>& done, Clock::time_point deadline) {
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
        const ssize_t written = write(inFd_, pending_.data(), pending_.size());
        if (written >= 0) {
          pending_.erase(0, static_cast<std::size_t>(written));
        } else if (errno != EAGAIN && errno != EINTR) {
          // The child stopped reading: what it never took is dropped.
          pending_.clear();
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
  const auto deadline = Clock::now() + limit;
  closeInput_ = true;
  Finished result;
  result.timedOut = !pumpUntil([&] { return outFd_ < 0 && errFd_ < 0; }, deadline);
  int status = 0;
  while (!result.timedOut) {
    const pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_) break;
    if (done < 0 && errno != EINTR) fail("waitpid");
    if (Clock::now() >= deadline) result.timedOut = true;
    std::this_thread::sleep_for(Duration(1));
  }
  if (result.timedOut) {
    kill(pid_, SIGKILL);
    waitpid(pid_, &status, 0);
  }
  pid_ = -1;
  if (WIFEXITED(status)) result.exitStatus = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.termSignal = WTERMSIG(status);
  result.out = out_;
  result.err = err_;
  return result;
}

Finished runProgram(const std::string& path, std::string_view input,
                    const SubprocessOptions& options) {
  Subprocess child(path, options);
  child.send(input);
  return child.finish();
}

}  // namespace tuition::test
