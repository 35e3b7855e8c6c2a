#ifndef TUITION_DIALOGUE_DIALOGUE_H_
#define TUITION_DIALOGUE_DIALOGUE_H_

#include <iosfwd>

namespace tuition {

// Exit statuses of the program.
constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;

// Runs the whole payment dialogue: asks for a first and a last name, sets the
// tuition owed to 1200, takes payments until nothing is owed and writes the
// closing sentence. Returns the exit status for the process.
//
// Prompts and the closing sentence go to `out` with no line break; diagnostics
// go to `err`, one line each, always after `out` has been flushed so that they
// follow the prompt they concern. A diagnostic that `err` fails to take makes
// the status a failure. `in` is switched to the classic locale (a full
// stop is the decimal point), with amounts read by FloatReader, and made to
// throw on badbit, so that running out of memory while reading, or a
// std::system_error from its buffer when a read fails, is reported as such
// rather than as the end of input.
int runDialogue(std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace tuition

#endif  // TUITION_DIALOGUE_DIALOGUE_H_
