#include <istream>
#include <ostream>

#include "console/descriptor_output.h"
#include "console/flushing_input.h"
#include "console/system.h"
#include "dialogue/dialogue.h"

// Arguments are accepted and ignored: the dialogue takes everything it needs
// from standard input.
//
// Standard output is written through a buffer that is flushed only when the
// program could wait for input, or when it is full, so that a script feeding a
// file of payments does not pay a write call per prompt. Nothing here uses
// std::cin, std::cout or C stdio, and nothing names them: a run, however
// short, does not even set them up.
//
// Standard error is buffered too, and the dialogue flushes it at the end of
// each line, so that every diagnostic line leaves in one write: runs that
// share a log cannot tear each other's lines apart.
//
// The streams live in static storage, not on the stack: their three buffers
// take 192 KiB, more than a user's stack limit may allow (ulimit -s), and a
// frame that large would be entered in one step past the stack's guard page
// on a CPU whose compiler does not probe it. Static storage costs nothing at
// start-up: the buffers are not filled, and the system hands out their pages
// when they are first written.
int main() {
  tuition::console::setUpStandardStreams();
  static tuition::DescriptorOutput errors(tuition::console::kStandardError);
  static std::ostream err(&errors);
  static tuition::DescriptorOutput output(tuition::console::kStandardOutput);
  static std::ostream out(&output);
  static tuition::FlushingInput input(tuition::console::kStandardInput, out);
  static std::istream in(&input);
  return tuition::runDialogue(in, out, err);
}
