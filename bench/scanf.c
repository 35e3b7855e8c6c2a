/* The same dialogue in plain C, as a C programmer would first write it:
 * reading with scanf and writing through fully buffered stdio, with no checks
 * beyond stopping when input ends. Names are capped at 255 bytes, which is fine
 * for the benchmark's inputs. */
#include <stdio.h>

int main(void) {
  static char out_buffer[BUFSIZ];
  char first[256];
  char last[256];
  float balance = 1200.0f;
  float amount;

  setvbuf(stdout, out_buffer, _IOFBF, sizeof out_buffer);
  fputs("Please enter your first name: ", stdout);
  if (scanf("%255s", first) != 1) return 1;
  fputs("Please enter your last name: ", stdout);
  if (scanf("%255s", last) != 1) return 1;
  while (balance > 0.0f) {
    fputs("Enter an amount of tuition to be paid: ", stdout);
    if (scanf("%f", &amount) != 1) return 1;
    balance -= amount;
  }
  printf("%s %s has paid all of his/her tuition.", first, last);
  return fflush(stdout) == 0 ? 0 : 1;
}
