// Runs the whole dialogue on the fuzzer's bytes, as if typed at the console,
// and checks what must hold whatever the input.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "dialogue/dialogue.h"

namespace {

constexpr std::string_view kFirstPrompt = "Please enter your first name: ";
constexpr std::string_view kLastPrompt = "Please enter your last name: ";
constexpr std::string_view kPaymentPrompt = "Enter an amount of tuition to be paid: ";
constexpr std::string_view kClosingText = " has paid all of his/her tuition.";
constexpr std::string_view kDiagnosticPrefix = "tuition: ";
constexpr std::array<std::string_view, 3> kEndings = {
    "tuition: input ended before a first name was given",
    "tuition: input ended before a last name was given",
    "tuition: input ended with tuition still owed",
};

// A broken rule stops the run, which libFuzzer keeps as a crash together with
// the input that broke it.
void check(bool holds, const char* rule) {
  if (holds) return;
  static_cast<void>(std::fprintf(stderr, "tuition_fuzzer: broken: %s\n", rule));
  std::abort();
}

// Whitespace as the classic locale has it, which is where a name ends.
bool isSpace(char ch) {
  return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' || ch == '\r';
}

// The first `count` words of `text`, fewer if it has fewer.
std::vector<std::string_view> firstWords(std::string_view text, std::size_t count) {
  std::vector<std::string_view> words;
  std::size_t at = 0;
  while (words.size() < count) {
    while (at < text.size() && isSpace(text[at])) ++at;
    if (at == text.size()) break;
    const std::size_t start = at;
    while (at < text.size() && !isSpace(text[at])) ++at;
    words.push_back(text.substr(start, at - start));
  }
  return words;
}

// Removes `prefix` from the front of `text`, if it is there.
bool consume(std::string_view& text, std::string_view prefix) {
  if (text.substr(0, prefix.size()) != prefix) return false;
  text.remove_prefix(prefix.size());
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(data, data + size);
  std::istringstream in(input);
  std::ostringstream out;
  std::ostringstream err;
  const int status = tuition::runDialogue(in, out, err);
  check(status == tuition::kExitSuccess || status == tuition::kExitFailure, "status is 0 or 1");

  // Standard output: the name prompts, payment prompts, and on success the
  // closing sentence naming the first two words; nothing else.
  const std::string written = out.str();
  std::string_view rest = written;
  check(consume(rest, kFirstPrompt), "output starts with the first-name prompt");
  const bool askedLastName = consume(rest, kLastPrompt);
  std::size_t paymentPrompts = 0;
  while (consume(rest, kPaymentPrompt)) ++paymentPrompts;
  check(askedLastName || paymentPrompts == 0, "payments are asked for after both names");
  // Every answer, taken or rejected, uses up at least one byte.
  check(paymentPrompts <= size + 1, "no more payment prompts than input bytes, plus one");
  if (status == tuition::kExitSuccess) {
    const std::vector<std::string_view> names = firstWords(input, 2);
    check(names.size() == 2 && paymentPrompts >= 1, "success follows two names and a payment");
    std::string sentence(names[0]);
    sentence.append(" ").append(names[1]).append(kClosingText);
    check(rest == sentence, "success ends with the closing sentence and nothing else");
  } else {
    check(rest.empty(), "a failed run writes nothing but prompts");
  }

  // Standard error: whole lines, each a diagnostic; at most one for each
  // payment prompt and one for the end; a failed run ends with its reason.
  const std::string complaints = err.str();
  check(complaints.empty() || complaints.back() == '\n', "diagnostics are whole lines");
  std::string_view lines = complaints;
  std::string_view lastLine;
  std::size_t lineCount = 0;
  while (!lines.empty()) {
    const std::size_t end = lines.find('\n');
    lastLine = lines.substr(0, end);
    lines.remove_prefix(end + 1);
    ++lineCount;
    check(lastLine.substr(0, kDiagnosticPrefix.size()) == kDiagnosticPrefix,
          "every diagnostic starts with the program's name");
  }
  check(lineCount <= paymentPrompts + 1, "at most one diagnostic per prompt");
  if (status == tuition::kExitFailure) {
    bool ending = false;
    for (const std::string_view known : kEndings) ending = ending || lastLine == known;
    check(ending, "a failed run ends by saying where the input ended");
  }
  return 0;
}
