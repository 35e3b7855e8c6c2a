#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <array>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "dialogue/test_subprocess.h"

namespace tuition::test {
namespace {

[[noreturn]] void fail(const char* what) {
  throw std::runtime_error(std::string(what) + " failed");
}

// Quotes one argument as the C runtime's start-up code splits it again:
// backslashes are literal except before a double quote.
std::string quoted(const std::string& arg) {
  std::string text = "\"";
  std::size_t backslashes = 0;
  for (const char ch : arg) {
    if (ch == '\\') {
      ++backslashes;
      continue;
    }
    text.append(ch == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    backslashes = 0;
    text += ch;
  }
  text.append(2 * backslashes, '\\');
  return text + "\"";
}

// A pipe of which only the child's end, the read end if `childReads`, is inherited.
void makePipe(HANDLE& readEnd, HANDLE& writeEnd, bool childReads) {
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  if (CreatePipe(&readEnd, &writeEnd, &inheritable, 0) == 0) fail("CreatePipe");
  if (SetHandleInformation(childReads ? writeEnd : readEnd, HANDLE_FLAG_INHERIT, 0) == 0) {
    fail("SetHandleInformation");
  }
}

}  // namespace

std::string builtProgram() {
  // The program is built beside the tests.
  std::array<char, MAX_PATH> self{};
  const DWORD size = GetModuleFileNameA(nullptr, self.data(), MAX_PATH);
  if (size == 0 || size == MAX_PATH) fail("GetModuleFileName");
  std::string path(self.data(), size);
  return path.substr(0, path.find_last_of("\\/") + 1) + TUITION_EXECUTABLE;
}

// Under Wine the program is started by Wine itself, as any Windows program.
bool runsUnderEmulator() { return false; }

// Windows pipes cannot be polled, so a thread writes the child's input and
// one reads each of its outputs; waits are on a condition with a deadline.
// The threads share what they fill with the test and are never joined: a
// thread stuck on a pipe that something else keeps open must not stall the
// suite, and it keeps what it uses alive.
struct Pumps {
  void writeInput(HANDLE input);
  void readOutput(HANDLE output, std::string Pumps::*into);

  std::mutex mutex;
  std::condition_variable changed;
  std::string pending;
  bool closeInput = false;
  std::string out;
  std::string err;
  int openOutputs = 0;
};

void Pumps::writeInput(HANDLE input) {
  std::unique_lock<std::mutex> lock(mutex);
  for (;;) {
    changed.wait(lock, [&] { return !pending.empty() || closeInput; });
    if (pending.empty()) break;
    const std::string text = std::move(pending);
    pending.clear();
    lock.unlock();
    DWORD written = 0;
    // A child that stopped reading makes this fail: what it never took is dropped.
    const bool ok =
        WriteFile(input, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) != 0;
    lock.lock();
    if (!ok) break;
  }
  CloseHandle(input);
}

void Pumps::readOutput(HANDLE output, std::string Pumps::*into) {
  std::array<char, 65536> buffer{};
  DWORD got = 0;
  while (ReadFile(output, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) != 0 &&
         got > 0) {
    const std::lock_guard<std::mutex> lock(mutex);
    (this->*into).append(buffer.data(), got);
    changed.notify_all();
  }
  CloseHandle(output);
  const std::lock_guard<std::mutex> lock(mutex);
  --openOutputs;
  changed.notify_all();
}

struct Subprocess::Child {
  using Clock = std::chrono::steady_clock;

  // Ends the child if it still runs, which ends its pipes and so the threads.
  void stop() {
    if (process.hProcess == nullptr) return;
    TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    process = {};
    const std::lock_guard<std::mutex> lock(pumps->mutex);
    pumps->closeInput = true;
    pumps->changed.notify_all();
  }

  PROCESS_INFORMATION process{};
  std::shared_ptr<Pumps> pumps = std::make_shared<Pumps>();
};

Subprocess::Subprocess(const std::string& path, const SubprocessOptions& options)
    : child_(std::make_unique<Child>()) {
  if (options.terminal || options.addressSpaceLimit != 0 || options.sharedStderr >= 0 ||
      options.stdinSource != StdinSource::kPipe || options.stdoutTarget == OutputTarget::kDevFull ||
      options.stderrTarget == OutputTarget::kDevFull ||
      (options.mergeStderr && options.stdoutTarget == OutputTarget::kClosed)) {
    fail("an option this platform lacks");
  }
  std::string commandLine = quoted(path);
  for (const std::string& arg : options.args) commandLine += " " + quoted(arg);

  HANDLE childIn = nullptr;
  HANDLE input = nullptr;
  HANDLE output = nullptr;
  HANDLE childOut = nullptr;
  HANDLE error = nullptr;
  HANDLE childErr = nullptr;
  makePipe(childIn, input, true);
  // A closed output is a child started without one.
  if (options.stdoutTarget == OutputTarget::kPipe) makePipe(output, childOut, false);
  if (!options.mergeStderr && options.stderrTarget == OutputTarget::kPipe) {
    makePipe(error, childErr, false);
  }

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = childIn;
  startup.hStdOutput = childOut;
  startup.hStdError = options.mergeStderr ? childOut : childErr;
  const bool started = CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0,
                                      nullptr, nullptr, &startup, &child_->process) != 0;
  // Only the child may hold its ends, or the pipes would never report an end.
  for (HANDLE end : {childIn, childOut, childErr}) {
    if (end != nullptr) CloseHandle(end);
  }
  if (!started) fail("CreateProcess");

  Pumps& pumps = *child_->pumps;
  pumps.openOutputs = (output != nullptr ? 1 : 0) + (error != nullptr ? 1 : 0);
  const std::shared_ptr<Pumps> shared = child_->pumps;
  std::thread([shared, input] { shared->writeInput(input); }).detach();
  if (output != nullptr) {
    std::thread([shared, output] { shared->readOutput(output, &Pumps::out); }).detach();
  }
  if (error != nullptr) {
    std::thread([shared, error] { shared->readOutput(error, &Pumps::err); }).detach();
  }
}

Subprocess::~Subprocess() { child_->stop(); }

void Subprocess::send(std::string_view text) {
  Pumps& pumps = *child_->pumps;
  const std::lock_guard<std::mutex> lock(pumps.mutex);
  pumps.pending.append(text);
  pumps.changed.notify_all();
}

std::string Subprocess::output() const {
  Pumps& pumps = *child_->pumps;
  const std::lock_guard<std::mutex> lock(pumps.mutex);
  return pumps.out;
}

bool Subprocess::awaitOutput(std::size_t size, Duration limit) {
  Pumps& pumps = *child_->pumps;
  std::unique_lock<std::mutex> lock(pumps.mutex);
  pumps.changed.wait_for(lock, limit,
                         [&] { return pumps.out.size() >= size || pumps.openOutputs == 0; });
  return pumps.out.size() >= size;
}

Finished Subprocess::finish(Duration limit) {
  Child& c = *child_;
  Pumps& pumps = *c.pumps;
  const auto deadline = Child::Clock::now() + limit;
  Finished result;
  {
    std::unique_lock<std::mutex> lock(pumps.mutex);
    pumps.closeInput = true;
    pumps.changed.notify_all();
    result.timedOut =
        !pumps.changed.wait_until(lock, deadline, [&] { return pumps.openOutputs == 0; });
  }
  if (!result.timedOut) {
    const auto left = std::chrono::duration_cast<Duration>(deadline - Child::Clock::now());
    const auto wait = static_cast<DWORD>(std::max<Duration::rep>(left.count(), 0));
    result.timedOut = WaitForSingleObject(c.process.hProcess, wait) != WAIT_OBJECT_0;
  }
  DWORD status = 0;
  if (!result.timedOut && GetExitCodeProcess(c.process.hProcess, &status) != 0) {
    result.exitStatus = static_cast<int>(status);
  }
  c.stop();
  const std::lock_guard<std::mutex> lock(pumps.mutex);
  result.out = pumps.out;
  result.err = pumps.err;
  return result;
}

Pipe::Pipe() {
  std::array<int, 2> ends{};
  if (_pipe(ends.data(), 65536, _O_BINARY | _O_NOINHERIT) != 0) fail("_pipe");
  readEnd_ = ends[0];
  writeEnd_ = ends[1];
}

Pipe::~Pipe() {
  closeWriteEnd();
  if (readEnd_ >= 0) _close(readEnd_);
}

void Pipe::write(std::string_view text) const {
  while (!text.empty()) {
    const int done = _write(writeEnd_, text.data(), static_cast<unsigned int>(text.size()));
    if (done < 0) fail("_write");
    text.remove_prefix(static_cast<std::size_t>(done));
  }
}

void Pipe::closeWriteEnd() {
  if (writeEnd_ >= 0) _close(writeEnd_);
  writeEnd_ = -1;
}

std::string Pipe::available() const {
  DWORD waiting = 0;
  // The C runtime hands its handles out as integers.
  auto* const handle =
      reinterpret_cast<HANDLE>(_get_osfhandle(readEnd_));  // NOLINT(performance-no-int-to-ptr)
  if (PeekNamedPipe(handle, nullptr, 0, nullptr, &waiting, nullptr) == 0) return "";
  return read(waiting);
}

std::string Pipe::read(std::size_t size) const {
  std::string text;
  std::array<char, 65536> chunk{};
  while (text.size() < size) {
    const int got = _read(readEnd_, chunk.data(),
                          static_cast<unsigned int>(std::min(chunk.size(), size - text.size())));
    if (got < 0) fail("_read");
    if (got == 0) break;
    text.append(chunk.data(), static_cast<std::size_t>(got));
  }
  return text;
}

}  // namespace tuition::test
