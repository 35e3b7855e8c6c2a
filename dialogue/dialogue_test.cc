#include "dialogue/dialogue.h"

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <cfenv>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <istream>
#include <locale>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>
#include <thread>

#include "console/flushing_input.h"
#include "console/input_buffer.h"
#include "console/output_buffer.h"
#include "dialogue/test_allocations.h"
#include "dialogue/test_subprocess.h"

namespace tuition {
namespace {

const std::string kNamePrompts = "Please enter your first name: Please enter your last name: ";
const std::string kPaid = "north south has paid all of his/her tuition.";

std::string paymentPrompts(int count) {
  std::string prompts;
  for (int i = 0; i < count; ++i) {
    prompts += "Enter an amount of tuition to be paid: ";
  }
  return prompts;
}

const std::string kNotANumber = "tuition: amount not accepted: not a number\n";
const std::string kOutOfRange = "tuition: amount not accepted: out of range\n";
const std::string kStillOwed = "tuition: input ended with tuition still owed\n";

struct Outcome {
  std::string out;
  std::string err;
  int status;
};

// Holds the whole input at once, as the program's buffer holds what one read
// from a pipe brought, so that amounts are read where they lie, as there.
struct WholeInput : InputBuffer {
  explicit WholeInput(std::string& text) {
    setg(text.data(), text.data(), text.data() + text.size());
  }
};

Outcome converse(std::string input) {
  WholeInput whole(input);
  std::istream in(&whole);
  std::ostringstream out;
  std::ostringstream err;
  const int status = runDialogue(in, out, err);
  return {out.str(), err.str(), status};
}

struct Transcript {
  const char* name;
  std::string input;
  std::string out;
  std::string err;
  int status;
};

std::string nameOf(const testing::TestParamInfo<Transcript>& test) { return test.param.name; }

void PrintTo(const Transcript& c, std::ostream* os) { *os << c.name; }

class TranscriptTest : public testing::TestWithParam<Transcript> {};

TEST_P(TranscriptTest, WritesExactlyTheseTexts) {
  const Outcome got = converse(GetParam().input);
  EXPECT_EQ(got.out, GetParam().out);
  EXPECT_EQ(got.err, GetParam().err);
  EXPECT_EQ(got.status, GetParam().status);
}

std::string settled(int prompts) { return kNamePrompts + paymentPrompts(prompts) + kPaid; }

// Payments that take the balance from 1200 down to exactly the smallest normal
// float, each leaving a power of two that the next can reach exactly.
std::string downToSmallestNormal() {
  std::string payments;
  float balance = 1200.0F;
  for (const int power : {-13, -37, -61, -85, -109, -126}) {
    const float next = std::ldexp(1.0F, power);
    std::array<char, 32> text{};
    payments += ' ';
    payments.append(text.data(),
                    std::to_chars(text.data(), text.data() + text.size(), balance - next).ptr);
    balance = next;
  }
  return payments;
}

// 1.5 x 2^-149 written out exactly: halfway between the two smallest
// subnormals, so it rounds to the even one, 2 x 2^-149.
const std::string kHalfwaySubnormal =
    "2.101947696487225606385594374934874196920392912814773657635602425834686624028790902229957282"
    "543182373046875e-45";

INSTANTIATE_TEST_SUITE_P(
    Settles, TranscriptTest,
    testing::Values(
        Transcript{"ExactPayment", "north\nsouth\n1200\n", settled(1), "", 0},
        Transcript{"TwoHalves", "north south 600 600", settled(2), "", 0},
        Transcript{"Overpayment", "north south 1300", settled(1), "", 0},
        Transcript{"NegativeRaisesBalance", "north south -100 1300", settled(2), "", 0},
        Transcript{"ZeroChangesNothing", "north south 0 1200", settled(2), "", 0},
        // 1199.99 then 0.01 still leaves about 0.0000098 owed.
        Transcript{"RoundingLeavesARemainder", "north south 1199.99 0.01 1", settled(3), "", 0},
        Transcript{"SeveralAmountsOnALine", "north south\n300 400 500\n", settled(3), "", 0},
        Transcript{"BothNamesOnOneLine", "north south\n1200\n", settled(1), "", 0},
        Transcript{"BlankLinesSkipped", "\n\n  north\n\n\tsouth\n\n\n1200\n", settled(1), "", 0},
        Transcript{"NoFinalLineBreak", "north\nsouth\n1200", settled(1), "", 0},
        Transcript{"ExponentAndSign", "north south +1.2e3", settled(1), "", 0},
        Transcript{"LargestFloat", "north south 3.4028235e38", settled(1), "", 0},
        // With the largest float owed, -1e30 rounds back to the same balance:
        // nothing becomes infinite, so it is taken, whatever precision the CPU
        // computes the difference in.
        Transcript{"LargestBalancePaidFurther", "north south -3.4028235e38 -1e30 3.4028235e38",
                   settled(3), "", 0},
        // Too small to tell from zero: taken as a payment of nothing.
        Transcript{"Underflow", "north south 1e-50 1200", settled(2), "", 0},
        // Amounts some C libraries read wrongly. Rounded to the even
        // subnormal, this payment leaves a little of the smallest normal
        // float owed; the 1 pays it.
        Transcript{"HalfwayBetweenSubnormals",
                   "north south" + downToSmallestNormal() + " " + kHalfwaySubnormal + " 1",
                   settled(8), "", 0},
        // A long mantissa that its exponent brings back to 1.
        Transcript{"LongMantissaScaledBack",
                   "north south 1" + std::string(100000, '0') + "e-100000 1199", settled(2), "", 0},
        // Eight million digits, read in time linear in their number.
        Transcript{"EightMillionDigits", "north south 0." + std::string(8000000, '3') + " 1200",
                   settled(2), "", 0}),
    nameOf);

INSTANTIATE_TEST_SUITE_P(
    RejectsAndAsksAgain, TranscriptTest,
    testing::Values(
        Transcript{"Letters", "north south abc 1200", settled(2), kNotANumber, 0},
        Transcript{"WordThenNumber", "north south abc 300 900", settled(3), kNotANumber, 0},
        // The number ends where the letters start: 12 is paid, abc is not.
        Transcript{"NumberThenLetters", "north south 12abc 1188", settled(3), kNotANumber, 0},
        Transcript{"LoneSign", "north south - 1200", settled(2), kNotANumber, 0},
        Transcript{"SignThenLetters", "north south -x1 1200", settled(2), kNotANumber, 0},
        Transcript{"CutAfterExponent", "north south 1e 1200", settled(2), kNotANumber, 0},
        Transcript{"CutAfterExponentSign", "north south 1e+x 1200", settled(2), kNotANumber, 0},
        Transcript{"Infinity", "north south inf 1200", settled(2), kNotANumber, 0},
        Transcript{"NotANumber", "north south nan 1200", settled(2), kNotANumber, 0},
        // A comma is no decimal point: 1 is paid, then ",5" is refused.
        Transcript{"Comma", "north south 1,5 1199", settled(3), kNotANumber, 0},
        Transcript{"TooLarge", "north south 1e39 1200", settled(2), kOutOfRange, 0},
        Transcript{"TooNegative", "north south -1e39 1200", settled(2), kOutOfRange, 0},
        Transcript{"TwoRejections", "north south x 1e99 1200", settled(3),
                   kNotANumber + kOutOfRange, 0},
        // A rejected amount pays nothing, not even the amount before it.
        Transcript{"RejectedPaysNothing", "north south 600 abc 1e39 600", settled(4),
                   kNotANumber + kOutOfRange, 0},
        // The second -3e38 would make the balance infinite, which nothing
        // could pay off; refused, the balance stays about 3e38 and 3e38 pays it.
        Transcript{"BalanceWouldOverflow", "north south -3e38 -3e38 3e38", settled(3),
                   "tuition: amount not accepted: the balance owed would be out of range\n", 0}),
    nameOf);

INSTANTIATE_TEST_SUITE_P(
    InputEndsEarly, TranscriptTest,
    testing::Values(Transcript{"NoInput", "", "Please enter your first name: ",
                               "tuition: input ended before a first name was given\n", 1},
                    Transcript{"OnlyBlankLines", " \n\n\t\n", "Please enter your first name: ",
                               "tuition: input ended before a first name was given\n", 1},
                    Transcript{"NoLastName", "north\n", kNamePrompts,
                               "tuition: input ended before a last name was given\n", 1},
                    Transcript{"NoAmount", "north south\n", kNamePrompts + paymentPrompts(1),
                               kStillOwed, 1},
                    Transcript{"NotEnoughPaid", "north south 600\n",
                               kNamePrompts + paymentPrompts(2), kStillOwed, 1},
                    Transcript{"LastWordUnreadable", "north south abc",
                               kNamePrompts + paymentPrompts(2), kNotANumber + kStillOwed, 1},
                    Transcript{"LoneSignAtEnd", "north south -", kNamePrompts + paymentPrompts(2),
                               kNotANumber + kStillOwed, 1}),
    nameOf);

int countPrompts(const std::string& out) {
  int count = 0;
  for (auto at = out.find("Enter an amount"); at != std::string::npos;
       at = out.find("Enter an amount", at + 1)) {
    ++count;
  }
  return count;
}

// Single-precision rounding after each payment: 12,000 tenths leave about
// 0.146 owed, and it takes 12,002 of them to settle.
TEST(DialogueTest, TenthsSettleAtTheTwelveThousandAndSecond) {
  std::string payments = "north south";
  for (int i = 0; i < 12001; ++i) payments += " 0.1";
  const Outcome short1 = converse(payments);
  EXPECT_EQ(short1.status, 1);
  EXPECT_EQ(short1.err, kStillOwed);

  const Outcome enough = converse(payments + " 0.1");
  EXPECT_EQ(enough.status, 0);
  EXPECT_EQ(countPrompts(enough.out), 12002);
  EXPECT_EQ(enough.out.substr(enough.out.size() - kPaid.size()), kPaid);
}

TEST(DialogueTest, LongNamesAreKeptWhole) {
  const std::string first(700, 'f');
  const std::string last(300, 'l');
  const Outcome got = converse(first + "\n" + last + "\n1200\n");
  EXPECT_EQ(got.out, kNamePrompts + paymentPrompts(1) + first + " " + last +
                         " has paid all of his/her tuition.");
  EXPECT_EQ(got.status, 0);
}

// An amount takes no memory of its own: a number that lies whole in the input
// buffer is read where it lies, and a run of leading zeros that goes on past
// one read of the buffer is kept as one zero. A dialogue paying either way
// allocates exactly what one paying 1200 does.
TEST(DialogueTest, ReadingAnAmountAllocatesNothing) {
  const auto allocationsPaying = [](const std::string& amount) {
    test::Pipe pipe;
    const std::string input = "north south " + amount + " ";
    std::thread writer([&] {
      pipe.write(input);
      pipe.closeWriteEnd();
    });
    std::ostringstream out;
    std::ostringstream err;
    FlushingInput buffer(pipe.readEnd(), out);
    std::istream in(&buffer);
    const std::size_t before = test::allocations();
    const int status = runDialogue(in, out, err);
    const std::size_t made = test::allocations() - before;
    writer.join();
    EXPECT_EQ(status, 0) << err.str();
    return made;
  };
  const std::size_t least = allocationsPaying("1200");
  EXPECT_EQ(allocationsPaying("1200." + std::string(100, '0')), least);
  EXPECT_EQ(allocationsPaying(std::string(70000, '0') + "1200"), least);
}

// The dialogue holds the default arithmetic, and gives its caller's back.
TEST(DialogueTest, GivesTheCallersRoundingModeBack) {
#ifdef FE_UPWARD
  ASSERT_EQ(std::fesetround(FE_UPWARD), 0);
  const Outcome got = converse("north south 1199.99 0.01 1");
  const int after = std::fegetround();
  std::fesetround(FE_TONEAREST);
  EXPECT_EQ(got.out, settled(3));
  EXPECT_EQ(after, FE_UPWARD);
#else
  GTEST_SKIP() << "no rounding mode but to nearest";
#endif
}

// A locale whose decimal point is a comma, as many users have.
struct CommaDecimal : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
};

TEST(DialogueTest, ReadsAFullStopAsDecimalPointWhateverTheLocale) {
  std::istringstream in("north south 1199.99 0.01 1");
  in.imbue(std::locale(in.getloc(), new CommaDecimal));
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(runDialogue(in, out, err), 0);
  EXPECT_EQ(out.str(), settled(3));
  EXPECT_EQ(err.str(), "");
}

// Text that reaches `screen` only when flushed, as through a buffered standard
// output, or at once, as through standard error.
class Screen : public std::streambuf {
 public:
  Screen(std::string& screen, bool buffered) : screen_(screen), buffered_(buffered) {}

 protected:
  int_type overflow(int_type ch) override {
    if (!traits_type::eq_int_type(ch, traits_type::eof())) {
      const char c = traits_type::to_char_type(ch);
      xsputn(&c, 1);
    }
    return traits_type::not_eof(ch);
  }
  std::streamsize xsputn(const char* text, std::streamsize size) override {
    (buffered_ ? held_ : screen_).append(text, static_cast<std::size_t>(size));
    return size;
  }
  int sync() override {
    screen_ += held_;
    held_.clear();
    return 0;
  }

 private:
  std::string& screen_;
  bool buffered_;
  std::string held_;
};

// Even with all the answers already waiting, so that nothing forces a flush
// before a read, a diagnostic follows the prompt it concerns.
TEST(DialogueTest, DiagnosticsFollowTheirPrompt) {
  std::string screen;
  Screen outBuffer(screen, true);
  Screen errBuffer(screen, false);
  std::ostream out(&outBuffer);
  std::ostream err(&errBuffer);
  std::istringstream in("north south abc 1200");
  EXPECT_EQ(runDialogue(in, out, err), 0);
  EXPECT_EQ(screen, kNamePrompts + paymentPrompts(1) + kNotANumber + paymentPrompts(1) + kPaid);
}

// Stands for a descriptor that refuses every write, as a sealed file does,
// followed by a call that left errno telling of something else: the reason
// said is the write's.
struct RefusingBuffer : OutputBuffer {
  int_type overflow(int_type /*ch*/) override {
    failed(EPERM);
    errno = EAGAIN;
    return traits_type::eof();
  }
};

TEST(DialogueTest, FailedOutputIsReportedAtTheEnd) {
  std::istringstream in("north south abc 1200 rest");
  RefusingBuffer refusing;
  std::ostream out(&refusing);
  std::ostringstream err;
  EXPECT_EQ(runDialogue(in, out, err), 1);
  // The dialogue went on to the end, rejecting as usual, before saying so.
  EXPECT_EQ(err.str(),
            kNotANumber + "tuition: write error on standard output: Operation not permitted\n");
  std::string rest;
  EXPECT_TRUE(in >> rest);
  EXPECT_EQ(rest, "rest");
}

}  // namespace
}  // namespace tuition
