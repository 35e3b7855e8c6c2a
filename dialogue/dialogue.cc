#include "dialogue/dialogue.h"

#include <cfenv>
#include <cfloat>
#include <cmath>
#include <istream>
#include <limits>
#include <locale>
#include <new>
#include <ostream>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

#include "account/single_precision.h"
#include "account/tuition_account.h"
#include "console/output_buffer.h"
#include "dialogue/float_reader.h"

namespace tuition {
namespace {

// Scripts compare the output byte for byte: none of these texts may change.
constexpr std::string_view kFirstNamePrompt = "Please enter your first name: ";
constexpr std::string_view kLastNamePrompt = "Please enter your last name: ";
constexpr std::string_view kPaymentPrompt = "Enter an amount of tuition to be paid: ";
constexpr std::string_view kNameSeparator = " ";
constexpr std::string_view kClosingText = " has paid all of his/her tuition.";

constexpr float kStartingBalance = 1200.0F;
// The loop runs while more than this is owed; an overpayment is never reported.
constexpr float kSettled = 0.0F;

// Holds the floating-point environment at the default that C++ promises at
// start-up, rounding to nearest with subnormal numbers, and gives the caller's
// back at the end. A program linked with fast-math flags has flush-to-zero
// turned on before main (by crtfastmath.o), which would settle a balance left
// at a subnormal amount that every other build still asks to be paid.
class DefaultFloatingPoint {
 public:
  DefaultFloatingPoint() {
    std::fegetenv(&saved_);
    std::fesetenv(FE_DFL_ENV);
#if defined(_WIN32) && defined(_MCW_DN)
    // The Windows C runtimes' default environment is the x87 unit's: the
    // SSE unit, which does the arithmetic, keeps flushing to zero and
    // rounding as its caller left it.
    unsigned int control = 0;
    _controlfp_s(&control, _DN_SAVE | _RC_NEAR, _MCW_DN | _MCW_RC);
#endif
  }
  ~DefaultFloatingPoint() { std::fesetenv(&saved_); }
  DefaultFloatingPoint(const DefaultFloatingPoint&) = delete;
  DefaultFloatingPoint& operator=(const DefaultFloatingPoint&) = delete;
  DefaultFloatingPoint(DefaultFloatingPoint&&) = delete;
  DefaultFloatingPoint& operator=(DefaultFloatingPoint&&) = delete;

 private:
  std::fenv_t saved_{};
};

enum class AmountRead { kTaken, kNotANumber, kOutOfRange, kEnded };

// Skips the rest of the current run of non-whitespace characters, so that a
// rejected amount is dropped whole and whatever follows it on the line is read
// as the next answer.
void discardRestOfWord(std::istream& in) {
  const auto& ctype = std::use_facet<std::ctype<char>>(in.getloc());
  for (auto next = in.peek(); next != std::istream::traits_type::eof(); next = in.peek()) {
    if (ctype.is(std::ctype_base::space, std::istream::traits_type::to_char_type(next))) {
      return;
    }
    in.ignore();
  }
}

// Reads one amount into `amount`, which is left as it was unless the read
// succeeds. Reports the end of input only when nothing but whitespace is left,
// so that an unreadable last word is still rejected as such.
AmountRead readAmount(std::istream& in, float& amount) {
  // The reader stores a value whenever it runs, a number or not; only when
  // the extraction's own sentry finds nothing but whitespace before the end
  // does it not run, and the NaN stays. That tells the end apart from a bad
  // last word without a second sentry, which would cost a tenth of a payment.
  float value = std::numeric_limits<float>::quiet_NaN();
  if (in >> value) {
    amount = value;
    return AmountRead::kTaken;
  }
  if (std::isnan(value)) return AmountRead::kEnded;
  // A field that does not fit in a float yields the largest float of its sign;
  // any other failure yields zero.
  const bool outOfRange = std::abs(value) == std::numeric_limits<float>::max();
  in.clear(in.rdstate() & ~std::ios_base::failbit);
  discardRestOfWord(in);
  return outOfRange ? AmountRead::kOutOfRange : AmountRead::kNotANumber;
}

// Says that standard output could not be written, and why, where its buffer
// kept the system's reason.
std::string writeError(const std::ostream& out) {
  std::string message = "write error on standard output";
  const auto* buffer = dynamic_cast<const OutputBuffer*>(out.rdbuf());
  if (buffer != nullptr && buffer->error() != 0) {
    message += ": " + std::generic_category().message(buffer->error());
  }
  return message;
}

// Writes one diagnostic line. Standard output goes first, so that on a
// terminal and in a merged log alike the line follows the prompt it concerns.
void complain(std::ostream& out, std::ostream& err, std::string_view message) {
  out.flush();
  err << "tuition: " << message << '\n';
  err.flush();
}

int converse(std::istream& in, std::ostream& out, std::ostream& err) {
  TuitionAccount St1;
  std::string uStr;

  out << kFirstNamePrompt;
  if (!(in >> uStr)) {
    complain(out, err, "input ended before a first name was given");
    return kExitFailure;
  }
  // The account's copy is the only one the run needs: the buffer's text is
  // moved into it, so that a huge name is not held twice over.
  St1.setFirstName(std::move(uStr));

  out << kLastNamePrompt;
  if (!(in >> uStr)) {
    complain(out, err, "input ended before a last name was given");
    return kExitFailure;
  }
  St1.setLastName(std::move(uStr));

  St1.setBalance(kStartingBalance);
  float uFloat = 0.0F;
  while (St1.getBalance() > kSettled) {
    // Written as it stands, with no field width to consult: this prompt goes
    // out once a payment, millions of times for a file of them.
    out.write(kPaymentPrompt.data(), kPaymentPrompt.size());
    switch (readAmount(in, uFloat)) {
      case AmountRead::kEnded:
        complain(out, err, "input ended with tuition still owed");
        return kExitFailure;
      case AmountRead::kNotANumber:
        complain(out, err, "amount not accepted: not a number");
        break;
      case AmountRead::kOutOfRange:
        complain(out, err, "amount not accepted: out of range");
        break;
      case AmountRead::kTaken:
        // An infinite balance could never be paid off, so the loop would
        // never end: refuse the payment that would cause it. Whether it
        // would is a question about the balance the account will hold, so
        // about the difference rounded to float.
        if (std::isinf(roundedToFloat(St1.getBalance() - uFloat))) {
          complain(out, err, "amount not accepted: the balance owed would be out of range");
        } else {
          St1.payTuition(uFloat);
        }
        break;
    }
  }

  // Both copies are taken before anything is written: running out of memory
  // for the second must not leave half a sentence on standard output.
  const std::string firstName = St1.getFirstName();
  const std::string lastName = St1.getLastName();
  out << firstName << kNameSeparator << lastName << kClosingText;
  return kExitSuccess;
}

}  // namespace

int runDialogue(std::istream& in, std::ostream& out, std::ostream& err) {
  const DefaultFloatingPoint arithmetic;
  // The arithmetic above rounds to nearest for as long as `in` is read here.
  FloatReader::imbue(in, FloatReader::Rounding::kAlwaysToNearest);
  in.exceptions(std::ios_base::badbit);
  int status = kExitFailure;
  try {
    status = converse(in, out, err);
  } catch (const std::bad_alloc&) {
    complain(out, err, "out of memory");
  } catch (const std::system_error& error) {
    // A read that failed, unlike one that found the end, says why.
    complain(out, err, "cannot read standard input: " + error.code().message());
  }
  // A run whose closing sentence never reached its reader has not succeeded,
  // even though the dialogue itself went on to the end; and a run that failed
  // otherwise as well says both.
  if (!out.flush()) {
    complain(out, err, writeError(out));
    status = kExitFailure;
  }
  // A diagnostic that could not be written fails the run too, though nothing
  // is left to say so with: a script must not take silence for success.
  return err ? status : kExitFailure;
}

}  // namespace tuition
