#include "console/utf16.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>

namespace tuition::console {
namespace {

// Text in both forms. `fromUtf8` and `fromUtf16` say which way the row is
// checked: both for text that is well formed in both, one way for what is
// not, with the replacements it should come out with.
struct Conversion {
  const char* name;
  std::string utf8;
  std::u16string utf16;
  bool fromUtf8;
  bool fromUtf16;
};

// Converts `text` handed over in two pieces, the first `split` long.
template <typename Converter, typename Out, typename In>
Out converted(In text, std::size_t split) {
  Converter converter;
  Out out;
  converter.convert(text.substr(0, split), out);
  converter.convert(text.substr(split), out);
  converter.finish(out);
  return out;
}

std::string nameOf(const testing::TestParamInfo<Conversion>& test) { return test.param.name; }

void PrintTo(const Conversion& c, std::ostream* os) { *os << c.name; }

class Utf16Test : public testing::TestWithParam<Conversion> {};

// Handed over in two pieces, split at every place a console or a buffer
// might split it, the text converts as it does whole.
TEST_P(Utf16Test, ConvertsHoweverSplit) {
  const Conversion& c = GetParam();
  for (std::size_t split = 0; c.fromUtf8 && split <= c.utf8.size(); ++split) {
    const auto got = converted<Utf16FromUtf8, std::u16string>(std::string_view(c.utf8), split);
    EXPECT_EQ(got, c.utf16) << "split after byte " << split;
  }
  for (std::size_t split = 0; c.fromUtf16 && split <= c.utf16.size(); ++split) {
    const auto got = converted<Utf8FromUtf16, std::string>(std::u16string_view(c.utf16), split);
    EXPECT_EQ(got, c.utf8) << "split after unit " << split;
  }
}

INSTANTIATE_TEST_SUITE_P(
    WellFormed, Utf16Test,
    testing::Values(Conversion{"Ascii", "north", u"north", true, true},
                    Conversion{"Zoe", "Zo\xC3\xAB", u"Zo\u00EB", true, true},
                    Conversion{"Lukasz", "\xC5\x81ukasz", u"\u0141ukasz", true, true},
                    Conversion{"Li", "\xE6\x9D\x8E", u"\u674E", true, true},
                    // Outside the Basic Multilingual Plane: a surrogate pair.
                    Conversion{"GClef", "\xF0\x9D\x84\x9E", u"\U0001D11E", true, true},
                    // The first and last code point of each length of UTF-8.
                    Conversion{"LastOfOneByte", "\x7F", u"\u007F", true, true},
                    Conversion{"FirstOfTwoBytes", "\xC2\x80", u"\u0080", true, true},
                    Conversion{"LastOfTwoBytes", "\xDF\xBF", u"\u07FF", true, true},
                    Conversion{"FirstOfThreeBytes", "\xE0\xA0\x80", u"\u0800", true, true},
                    Conversion{"LastOfThreeBytes", "\xEF\xBF\xBF", u"\uFFFF", true, true},
                    Conversion{"FirstOfFourBytes", "\xF0\x90\x80\x80", u"\U00010000", true, true},
                    // Lead bytes that set no bound of their own.
                    Conversion{"PlanesOneToFifteen",
                               "\xF1\x80\x80\x80\xF2\xA0\x80\x80\xF3\xBF\xBF\xBF",
                               u"\U00040000\U000A0000\U000FFFFF", true, true},
                    Conversion{"LastOfUnicode", "\xF4\x8F\xBF\xBF", u"\U0010FFFF", true, true}),
    nameOf);

INSTANTIATE_TEST_SUITE_P(
    IllFormed, Utf16Test,
    testing::Values(
        Conversion{"NotALeadByte",
                   "a\xFF"
                   "b",
                   u"a\uFFFD"
                   "b",
                   true, false},
        Conversion{"CutShortAtTheEnd", "a\xE6\x9D", u"a\uFFFD", true, false},
        Conversion{"CutShortBeforeAnother", "\xE6\x9D\xC5\x81", u"\uFFFD\u0141", true, false},
        Conversion{"Overlong", "\xC0\xAF", u"\uFFFD\uFFFD", true, false},
        Conversion{"OverlongThreeBytes", "\xE0\x80\x80", u"\uFFFD\uFFFD\uFFFD", true, false},
        Conversion{"OverlongFourBytes", "\xF0\x8F\xBF\xBF", u"\uFFFD\uFFFD\uFFFD\uFFFD", true,
                   false},
        Conversion{"LeadBeyondUnicode", "\xF5\x80", u"\uFFFD\uFFFD", true, false},
        // A continuation byte out of range ends the sequence, and is read afresh.
        Conversion{"ContinuationTooLow", "\xC3\x41", u"\uFFFDA", true, false},
        // Once fresh and once after a reset.
        Conversion{"ContinuationJustTooLow", "\xC3\x7F\xC3\x7F", u"\uFFFD\u007F\uFFFD\u007F", true,
                   false},
        Conversion{"ContinuationTooHigh", "\xC3\xC0", u"\uFFFD\uFFFD", true, false},
        Conversion{"GoodAfterIllFormed", "\xE0\x80\xC2\x80", u"\uFFFD\uFFFD\u0080", true, false},
        Conversion{"EncodedSurrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD", true, false},
        Conversion{"BeyondUnicode", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD", true, false},
        Conversion{"LoneHighSurrogateAtTheEnd", "a\xEF\xBF\xBD", std::u16string(u"a") + u'\xD834',
                   false, true},
        Conversion{"HighSurrogateThenLetter", "\xEF\xBF\xBDx", std::u16string{u'\xD834', u'x'},
                   false, true},
        Conversion{"LoneLowSurrogate", "\xEF\xBF\xBDx", std::u16string{u'\xDD1E', u'x'}, false,
                   true}),
    nameOf);

}  // namespace
}  // namespace tuition::console
