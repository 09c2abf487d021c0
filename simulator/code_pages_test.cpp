#include "simulator/code_pages.h"

#include <gtest/gtest.h>

namespace dorvane::sim {
namespace {

enum Way { kBoth, kToWide, kToBytes };

// UTF-8 turns each maximal invalid part into one U+FFFD; 1252 writes '?'
// for what it lacks.
TEST(CodePagesTest, Conversions) {
  struct Case {
    std::uint32_t code_page;
    Way way;
    std::string bytes;
    std::u16string wide;
  };
  const Case cases[] = {
      {kCodePage1252, kBoth, "A\x80\x81\x8D\x8F\x90\x9D\x8A\x9F\xA0\xE9\xFF",
       u"A\u20AC\u0081\u008D\u008F\u0090\u009D\u0160\u0178\u00A0\u00E9\u00FF"},
      {kCodePage1252, kToBytes, "a??", u"a\u0100\u4E2D"},
      {kCodePageUtf8, kBoth, "plain \xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80",
       u"plain \u00E9\u20AC\U0001F600"},
      {kCodePageUtf8, kToBytes, "\xEF\xBF\xBD", std::u16string(1, 0xD800)},
      {kCodePageUtf8, kToWide, "\xC3\x28", u"\uFFFD("},
      {kCodePageUtf8, kToWide, "\xE2\x82", u"\uFFFD"},
      {kCodePageUtf8, kToWide, "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
      {kCodePageUtf8, kToWide, "\xC0\xAF", u"\uFFFD\uFFFD"},
      {kCodePageUtf8, kToWide, "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {kCodePageUtf8, kToWide, "\xE2\x82\xAC\x80", u"\u20AC\uFFFD"},
      {kCodePageUtf8, kToWide, "a\xFFz", u"a\uFFFDz"},
  };
  for (const Case& c : cases) {
    if (c.way != kToBytes) {
      EXPECT_EQ(DecodeAnsi(c.code_page, c.bytes.data(), c.bytes.size()), c.wide)
          << c.bytes;
    }
    if (c.way != kToWide) {
      EXPECT_EQ(
          EncodeAnsi(c.code_page,
                     reinterpret_cast<const std::uint16_t*>(c.wide.data()),
                     c.wide.size()),
          c.bytes);
    }
  }
}

TEST(CodePagesTest, NextCharacterStepsOverWhatFollowsTheLead) {
  struct Case {
    std::uint32_t code_page;
    const char* text;
    long step;
  };
  const Case cases[] = {
      {kCodePageUtf8, "\xC3\xA9x", 2},
      {kCodePageUtf8, "\xE2\x82\xAC", 3},
      {kCodePageUtf8, "\xF0\x9F\x98\x80\x80", 4},  // no more than announced
      {kCodePageUtf8, "\xE2\x82 x", 2},            // cut short by a blank
      {kCodePageUtf8, "\xE2\x82", 2},              // cut short by the NUL
      {kCodePageUtf8, "\xF0\x9F\xC3\xA9", 2},      // by the next lead
      {kCodePageUtf8, "\xC3 \xA9", 1},
      {kCodePageUtf8, "\x80\x80", 1},  // a stray continuation byte
      {kCodePageUtf8, "\xFF\x80", 1},  // no lead byte
      {kCodePage1252, "\xC3\xA9", 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NextChar(c.code_page, c.text) - c.text, c.step)
        << c.code_page << " " << ::testing::PrintToString(c.text);
  }
}

TEST(CodePagesTest, AnsiToOemInPlace) {
  char text[] = "caf\xE9 \x80\xA3";
  AnsiToOem(kCodePage1252, text, text);
  EXPECT_STREQ(text, "caf\x82 ?\x9C");
}

}  // namespace
}  // namespace dorvane::sim
