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
int main() {
  tuition::console::setUpStandardStreams();
  tuition::DescriptorOutput errors(tuition::console::kStandardError);
  std::ostream err(&errors);
  tuition::DescriptorOutput output(tuition::console::kStandardOutput);
  std::ostream out(&output);
  tuition::FlushingInput input(tuition::console::kStandardInput, out);
  std::istream in(&input);
  return tuition::runDialogue(in, out, err);
}
