#include <unistd.h>

#include <iostream>

#include "dialogue/descriptor_output.h"
#include "dialogue/dialogue.h"
#include "dialogue/flushing_input.h"

// Arguments are accepted and ignored: the dialogue takes everything it needs
// from standard input.
//
// Standard output is written through a buffer that is flushed only when the
// program could wait for input, or when it is full, so that a script feeding a
// file of payments does not pay a write call per prompt. Nothing here goes
// through C stdio, so the standard streams need not keep in step with it.
int main() {
  std::ios_base::sync_with_stdio(false);
  tuition::DescriptorOutput output(STDOUT_FILENO);
  std::ostream out(&output);
  tuition::FlushingInput input(STDIN_FILENO, out);
  std::istream in(&input);
  return tuition::runDialogue(in, out, std::cerr);
}
