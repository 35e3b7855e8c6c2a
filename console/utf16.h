#ifndef TUITION_CONSOLE_UTF16_H_
#define TUITION_CONSOLE_UTF16_H_

#include <string>
#include <string_view>

// A Windows console holds text as UTF-16, which keeps every character
// whatever the code page; the program reads and writes UTF-8. These convert
// between the two a piece at a time, as the console hands text over and the
// program writes it out, so that a character split between two pieces comes
// through whole.
namespace tuition::console {

// UTF-16 in, UTF-8 out. A surrogate pair split between two pieces is joined;
// a unit that belongs to no pair becomes U+FFFD, the replacement character.
class Utf8FromUtf16 {
 public:
  // Appends the UTF-8 of `units` to `out`. A high surrogate at the end waits
  // for its partner at the start of the next piece.
  void convert(std::u16string_view units, std::string& out);
  // Ends the text: a high surrogate still waiting becomes U+FFFD.
  void finish(std::string& out);

 private:
  char16_t waiting_ = 0;
};

// UTF-8 in, UTF-16 out. A sequence split between two pieces is joined; what
// is not UTF-8 becomes U+FFFD, one for each maximal ill-formed part, as
// Unicode recommends and browsers do.
class Utf16FromUtf8 {
 public:
  // Appends the UTF-16 of `bytes` to `out`. An unfinished sequence at the
  // end waits for the rest at the start of the next piece.
  void convert(std::string_view bytes, std::u16string& out);
  // Ends the text: an unfinished sequence becomes U+FFFD.
  void finish(std::u16string& out);

 private:
  void reset();

  char32_t codePoint_ = 0;
  int needed_ = 0;  // continuation bytes still to come
  int seen_ = 0;    // continuation bytes come so far
  unsigned char lower_ = 0x80;
  unsigned char upper_ = 0xBF;
};

}  // namespace tuition::console

#endif  // TUITION_CONSOLE_UTF16_H_
