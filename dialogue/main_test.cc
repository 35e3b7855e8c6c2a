// Runs the built program as scripts and people do: through pipes and on a
// terminal, with real end of input, real exit statuses and real descriptors.
#include <gtest/gtest.h>

#include <cstddef>
#include <ostream>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "dialogue/test_subprocess.h"

namespace tuition {
namespace {

using test::Finished;
using test::OutputTarget;
using test::runProgram;
using test::StdinSource;
using test::Subprocess;
using test::SubprocessOptions;

const std::string kProgram = test::builtProgram();

const std::string kFirst = "Please enter your first name: ";
const std::string kLast = "Please enter your last name: ";
const std::string kPay = "Enter an amount of tuition to be paid: ";
const std::string kClosingText = " has paid all of his/her tuition.";
const std::string kPaid = "north south" + kClosingText;
const std::string kNorthSouth = "north\nsouth\n1200\n";

struct ProgramCase {
  const char* name;
  std::string input;
  SubprocessOptions options;
  std::string out;
  std::string err;
  int status;
};

std::string nameOf(const testing::TestParamInfo<ProgramCase>& test) { return test.param.name; }

void PrintTo(const ProgramCase& c, std::ostream* os) { *os << c.name; }

class ProgramTest : public testing::TestWithParam<ProgramCase> {};

TEST_P(ProgramTest, Transcript) {
  const ProgramCase& c = GetParam();
  const Finished got = runProgram(kProgram, c.input, c.options);
  ASSERT_FALSE(got.timedOut);
  EXPECT_EQ(got.termSignal, 0);
  EXPECT_EQ(got.out, c.out);
  EXPECT_EQ(got.err, c.err);
  EXPECT_EQ(got.exitStatus, c.status);
}

SubprocessOptions piped() { return {}; }

SubprocessOptions withArgs(std::vector<std::string> args) {
  SubprocessOptions options;
  options.args = std::move(args);
  return options;
}

SubprocessOptions merged() {
  SubprocessOptions options;
  options.mergeStderr = true;
  return options;
}

SubprocessOptions stdoutTo(OutputTarget target) {
  SubprocessOptions options;
  options.stdoutTarget = target;
  return options;
}

SubprocessOptions stderrTo(OutputTarget target) {
  SubprocessOptions options;
  options.stderrTarget = target;
  return options;
}

// Standard error ends its lines as the platform's text files do.
#ifdef _WIN32
const std::string kLineBreak = "\r\n";
#else
const std::string kLineBreak = "\n";
#endif

std::string diagnostic(const std::string& message) { return "tuition: " + message + kLineBreak; }

const std::string kNotANumber = diagnostic("amount not accepted: not a number");
const std::string kStillOwed = diagnostic("input ended with tuition still owed");

INSTANTIATE_TEST_SUITE_P(
    Pipes, ProgramTest,
    testing::Values(
        ProgramCase{"NorthSouth", kNorthSouth, piped(),
                    "Please enter your first name: Please enter your last name: Enter an amount "
                    "of tuition to be paid: north south has paid all of his/her tuition.",
                    "", 0},
        ProgramCase{"ArgumentsIgnored", kNorthSouth, withArgs({"--help", "-", "north"}),
                    kFirst + kLast + kPay + kPaid, "", 0},
        ProgramCase{"EndAtFirstName", "", piped(), kFirst,
                    diagnostic("input ended before a first name was given"), 1},
        ProgramCase{"EndAtLastName", "north\n", piped(), kFirst + kLast,
                    diagnostic("input ended before a last name was given"), 1},
        ProgramCase{"EndWhileOwing", "north\nsouth\n600\n", piped(), kFirst + kLast + kPay + kPay,
                    kStillOwed, 1},
        ProgramCase{"RejectedText", "north\nsouth\nabc 1200\n", piped(),
                    kFirst + kLast + kPay + kPay + kPaid, kNotANumber, 0},
        ProgramCase{"OutOfRange", "north\nsouth\n1e39\n1200\n", piped(),
                    kFirst + kLast + kPay + kPay + kPaid,
                    diagnostic("amount not accepted: out of range"), 0},
        // Each diagnostic comes right after the prompt it concerns.
        ProgramCase{"MergedRejection", "north\nsouth\nabc\n1200\n", merged(),
                    kFirst + kLast + kPay + kNotANumber + kPay + kPaid, "", 0},
        ProgramCase{"MergedEnd", "north\nsouth\n", merged(), kFirst + kLast + kPay + kStillOwed, "",
                    1},
        ProgramCase{"ClosedStdout", kNorthSouth, stdoutTo(OutputTarget::kClosed), "",
                    diagnostic("write error on standard output: Bad file descriptor"), 1},
        ProgramCase{"ClosedStdoutThenEnd", "north south 600", stdoutTo(OutputTarget::kClosed), "",
                    kStillOwed + diagnostic("write error on standard output: Bad file descriptor"),
                    1},
        // A diagnostic that cannot be written fails the run, though nothing
        // is left to say so with; a run with nothing to say succeeds.
        ProgramCase{"ClosedStderr", "north\nsouth\nabc 1200\n", stderrTo(OutputTarget::kClosed),
                    kFirst + kLast + kPay + kPay + kPaid, "", 1},
        ProgramCase{"ClosedStderrNothingSaid", kNorthSouth, stderrTo(OutputTarget::kClosed),
                    kFirst + kLast + kPay + kPaid, "", 0}),
    nameOf);

#ifdef TUITION_LINKED_FAST_MATH_EXECUTABLE
// Flush-to-zero, which linking with -ffast-math turns on before main, would
// take a balance left at a subnormal amount for settled; the dialogue holds
// the default arithmetic, and asks for the seventh payment as any build does.
TEST(ProgramTest, LinkedWithFastMathStillOwesASubnormalAmount) {
  const Finished got = runProgram(TUITION_LINKED_FAST_MATH_EXECUTABLE,
                                  "north south 1199.99988 0.000122070305 7.27595718e-12 "
                                  "4.33680843e-19 2.58493926e-26 1.54074386e-33 1");
  std::string prompts;
  for (int i = 0; i < 7; ++i) prompts += kPay;
  EXPECT_EQ(got.out, kFirst + kLast + prompts + kPaid);
  EXPECT_EQ(got.exitStatus, 0);
}
#endif

#ifndef _WIN32
SubprocessOptions stdinFrom(StdinSource source) {
  SubprocessOptions options;
  options.stdinSource = source;
  return options;
}

// Smaller than the standard streams' three buffers, or than one of them: the
// program keeps them off its stack.
constexpr std::size_t kSmallStack = std::size_t{64} << 10;

SubprocessOptions smallStack() {
  SubprocessOptions options;
  options.stackLimit = kSmallStack;
  return options;
}

INSTANTIATE_TEST_SUITE_P(
    PosixDescriptors, ProgramTest,
    testing::Values(
        ProgramCase{"FullDevice", kNorthSouth, stdoutTo(OutputTarget::kDevFull), "",
                    diagnostic("write error on standard output: No space left on device"), 1},
        // The failed write leaves errno set; the end is still the end, and
        // both are said.
        ProgramCase{"FullDeviceThenEnd", "north\n", stdoutTo(OutputTarget::kDevFull), "",
                    diagnostic("input ended before a last name was given") +
                        diagnostic("write error on standard output: No space left on device"),
                    1},
        // A read that fails is not the end of input: it says why.
        ProgramCase{"DirectoryAsStdin", "", stdinFrom(StdinSource::kDirectory), kFirst,
                    diagnostic("cannot read standard input: Is a directory"), 1},
        ProgramCase{"ClosedStdin", "", stdinFrom(StdinSource::kClosed), kFirst,
                    diagnostic("cannot read standard input: Bad file descriptor"), 1},
        ProgramCase{"SmallStack", kNorthSouth, smallStack(), kFirst + kLast + kPay + kPaid, "", 0}),
    nameOf);

// The small stack is small enough to prove something: a program with one
// such buffer on main's stack does not survive it.
TEST(ProgramTest, TheSmallStackHoldsNoStreamBuffer) {
  if (test::runsUnderEmulator()) GTEST_SKIP() << "qemu-user gives its guest a stack of its own";
  const Finished got = runProgram(TUITION_LARGE_FRAME_EXECUTABLE, kNorthSouth, smallStack());
  ASSERT_FALSE(got.timedOut);
  EXPECT_NE(got.exitStatus, 0);
}

// Runs writing to one standard error, as to one log, must not tear each
// other's lines apart: each line has to leave in a single write.
TEST(ProgramTest, RunsSharingAStandardErrorKeepTheirLinesWhole) {
  constexpr int kRuns = 8;
  constexpr int kRejections = 3000;
  std::string input = "north south";
  for (int i = 0; i < kRejections; ++i) input += " x";
  input += " 1200";

  test::Pipe log;
  std::string logged;
  std::thread reader([&] { logged = log.read(std::string::npos); });
  SubprocessOptions options;
  options.sharedStderr = log.writeEnd();
  std::vector<Finished> results(kRuns);
  std::vector<std::thread> runs;
  runs.reserve(kRuns);
  for (Finished& result : results) {
    runs.emplace_back([&] { result = runProgram(kProgram, input, options); });
  }
  for (std::thread& run : runs) run.join();
  log.closeWriteEnd();
  reader.join();

  for (const Finished& result : results) EXPECT_EQ(result.exitStatus, 0);
  int lines = 0;
  int torn = 0;
  std::istringstream logLines(logged);
  for (std::string line; std::getline(logLines, line);) {
    ++lines;
    if (line + "\n" != kNotANumber) ++torn;
  }
  EXPECT_EQ(lines, kRuns * kRejections);
  EXPECT_EQ(torn, 0);
}
#endif

struct Step {
  std::string shown;  // what appears after the previous answer
  std::string answer;
};

// Answers each prompt only once the whole of it has arrived, as a person does:
// a prompt left in the program's buffer makes this fail on its time limit.
// Returns everything shown, up to the end of the run.
Finished answerStepByStep(const SubprocessOptions& options, const std::vector<Step>& steps) {
  Subprocess child(kProgram, options);
  std::string expected;
  for (const Step& step : steps) {
    expected += step.shown;
    const bool arrived = child.awaitOutput(expected.size());
    EXPECT_TRUE(arrived) << "still waiting for: " << expected;
    EXPECT_EQ(child.output(), expected);
    if (!arrived || child.output() != expected) break;
    child.send(step.answer);
  }
  return child.finish();
}

TEST(ProgramTest, AnswersEachPromptAfterItAppears) {
  const Finished got = answerStepByStep(merged(), {
                                                      {kFirst, "north\n"},
                                                      {kLast, "south\n"},
                                                      {kPay, "abc\n"},
                                                      {kNotANumber + kPay, "600\n"},
                                                      {kPay, "600\n"},
                                                  });
  ASSERT_FALSE(got.timedOut);
  EXPECT_EQ(got.out, kFirst + kLast + kPay + kNotANumber + kPay + kPay + kPaid);
  EXPECT_EQ(got.exitStatus, 0);
}

#ifndef _WIN32
// On a console the user's answers are echoed and each line break is shown as
// a carriage return and a line feed; diagnostics share the screen. The 600
// typed after abc is paid at once, so its prompt and the next arrive together.
TEST(ProgramTest, LooksRightOnATerminal) {
  SubprocessOptions options;
  options.terminal = true;
  const std::string notANumber = "tuition: amount not accepted: not a number\r\n";
  const Finished got =
      answerStepByStep(options, {
                                    {kFirst, "north\n"},
                                    {"north\r\n" + kLast, "south\n"},
                                    {"south\r\n" + kPay, "abc 600\n"},
                                    {"abc 600\r\n" + notANumber + kPay + kPay, "600\n"},
                                });
  ASSERT_FALSE(got.timedOut);
  EXPECT_EQ(got.out, kFirst + "north\r\n" + kLast + "south\r\n" + kPay + "abc 600\r\n" +
                         notANumber + kPay + kPay + "600\r\n" + kPaid);
  EXPECT_EQ(got.exitStatus, 0);
}

constexpr const char* kLimitNotApplied =
    "qemu-user takes an address-space limit without applying it";

TEST(ProgramTest, RunningOutOfMemoryIsReported) {
#ifdef TUITION_SANITIZED
  GTEST_SKIP() << "the sanitizers need more address space than the cap";
#endif
  if (test::runsUnderEmulator()) GTEST_SKIP() << kLimitNotApplied;
  SubprocessOptions options;
  options.addressSpaceLimit = std::size_t{64} << 20;
  // One word larger than all the memory the program may have.
  const Finished got = runProgram(kProgram, std::string(std::size_t{96} << 20, 'n'), options);
  ASSERT_FALSE(got.timedOut);
  EXPECT_EQ(got.termSignal, 0);
  EXPECT_EQ(got.out, kFirst);
  EXPECT_EQ(got.err, diagnostic("out of memory"));
  EXPECT_EQ(got.exitStatus, 1);
}

TEST(ProgramTest, AHugeNameIsHeldAtMostTwice) {
#ifdef TUITION_SANITIZED
  GTEST_SKIP() << "the sanitizers hold memory of their own";
#endif
  if (test::runsUnderEmulator()) GTEST_SKIP() << "the emulator's own memory counts in the peak";
  constexpr std::size_t kSize = std::size_t{32} << 20;
  const Finished got = runProgram(kProgram, std::string(kSize, 'n') + " south 1200");
  ASSERT_FALSE(got.timedOut);
  EXPECT_EQ(got.exitStatus, 0);
  // The account's copy and the one the sentence is written from; a third
  // would be 32 MiB more than this allows.
  EXPECT_LT(got.peakKiB, 2 * (kSize >> 10) + (16 << 10));
}

TEST(ProgramTest, UnderAnyMemoryCapTheClosingSentenceIsWholeOrAbsent) {
#ifdef TUITION_SANITIZED
  GTEST_SKIP() << "the sanitizers need more address space than the caps";
#endif
  if (test::runsUnderEmulator()) GTEST_SKIP() << kLimitNotApplied;
  const std::string last(std::size_t{24} << 20, 's');
  const std::string whole = kFirst + kLast + kPay + "north " + last + kClosingText;
  int wholeRuns = 0;
  int failedRuns = 0;
  for (const std::size_t mib : std::vector<std::size_t>{48, 56, 64, 72, 80, 96}) {
    SCOPED_TRACE(testing::Message() << "address space capped at " << mib << " MiB");
    SubprocessOptions options;
    options.addressSpaceLimit = mib << 20;
    const Finished got = runProgram(kProgram, "north " + last + " 1200", options);
    ASSERT_FALSE(got.timedOut);
    EXPECT_EQ(got.termSignal, 0);
    if (got.exitStatus == 0) {
      ++wholeRuns;
      EXPECT_TRUE(got.out == whole) << "standard output has " << got.out.size() << " bytes";
      EXPECT_EQ(got.err, "");
    } else {
      ++failedRuns;
      EXPECT_EQ(got.exitStatus, 1);
      EXPECT_EQ(got.out.find("north"), std::string::npos) << "part of the sentence was written";
      EXPECT_EQ(got.err, diagnostic("out of memory"));
    }
  }
  // The caps reach from too little memory to enough, so both outcomes occur.
  EXPECT_GT(wholeRuns, 0);
  EXPECT_GT(failedRuns, 0);
}
#endif  // _WIN32

}  // namespace
}  // namespace tuition
