#include <unistd.h>

#include <iostream>

#include "dialogue/dialogue.h"
#include "dialogue/flushing_input.h"

// Arguments are accepted and ignored: the dialogue takes everything it needs
// from standard input.
int main() {
  // Standard input is read through a buffer that flushes the prompts only when
  // the program could wait for an answer. Scripts that feed whole files of
  // payments then pay for a write call per buffer of output, not per prompt,
  // and nothing goes through C stdio.
  std::ios_base::sync_with_stdio(false);
  tuition::FlushingInput input(STDIN_FILENO, std::cout);
  std::istream in(&input);
  return tuition::runDialogue(in, std::cout, std::cerr);
}
