#include <iostream>

#include "dialogue/dialogue.h"

// Arguments are accepted and ignored: the dialogue takes everything it needs
// from standard input.
int main() { return tuition::runDialogue(std::cin, std::cout, std::cerr); }
