#include <ios>
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
// file of payments does not pay a write call per prompt. Nothing here goes
// through C stdio, so the standard streams need not keep in step with it.
//
// Standard error is buffered too, and the dialogue flushes it at the end of
// each line, so that every diagnostic line leaves in one write: runs that
// share a log cannot tear each other's lines apart.
int main() {
  std::ios_base::sync_with_stdio(false);
  tuition::console::setUpStandardStreams();
  tuition::DescriptorOutput errors(tuition::console::kStandardError);
  std::ostream err(&errors);
  tuition::DescriptorOutput output(tuition::console::kStandardOutput);
  std::ostream out(&output);
  tuition::FlushingInput input(tuition::console::kStandardInput, out);
  std::istream in(&input);
  return tuition::runDialogue(in, out, err);
}
