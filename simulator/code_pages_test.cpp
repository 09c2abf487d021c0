#include "simulator/code_pages.h"

#include <gtest/gtest.h>

#include <algorithm>

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
    std::uint32_t error = 0;
    std::uint16_t wide[64];
    char bytes[64];
    if (c.way != kToBytes) {
      int n =
          MultiByteToWide(c.code_page, 0, c.bytes.data(),
                          static_cast<int>(c.bytes.size()), wide, 64, &error);
      EXPECT_EQ(std::u16string(wide, wide + std::max(n, 0)), c.wide) << c.bytes;
    }
    if (c.way != kToWide) {
      int n = WideToMultiByte(
          c.code_page, 0, reinterpret_cast<const std::uint16_t*>(c.wide.data()),
          static_cast<int>(c.wide.size()), bytes, 64, &error);
      EXPECT_EQ(std::string(bytes, bytes + std::max(n, 0)), c.bytes);
    }
  }
}

// Length -1 counts the NUL; output size 0 asks for the size.
TEST(CodePagesTest, SizesAndRefusals) {
  struct Case {
    bool to_wide;
    std::uint32_t code_page, flags;
    int length, room, result;
    std::uint32_t error;
  };
  const Case cases[] = {
      {true, kCodePage1252, 0, -1, 0, 3, 0},
      {true, kCodePage1252, 0, 3, 2, 0, 122},
      {true, 932, 0, 3, 4, 0, 87},
      {true, kCodePage1252, 1, 3, 4, 0, 1004},
      {true, kCodePageUtf8, 8, 3, 4, 0, 1113},  // MB_ERR_INVALID_CHARS
      {false, kCodePageUtf8, 0, -1, 3, 0, 122},
      {false, kCodePageUtf8, 0x80, 3, 8, 0, 1113},  // WC_ERR_INVALID_CHARS
      {false, kCodePage1252, 0x80, 3, 8, 0, 1004},
  };
  const std::uint16_t wide_text[] = {'a', 0x20AC, 0xD800, 0};
  for (const Case& c : cases) {
    std::uint32_t error = 0;
    std::uint16_t wide[8];
    char bytes[8];
    int result =
        c.to_wide ? MultiByteToWide(c.code_page, c.flags, "a\xFF", c.length,
                                    c.room ? wide : nullptr, c.room, &error)
                  : WideToMultiByte(c.code_page, c.flags, wide_text, c.length,
                                    c.room ? bytes : nullptr, c.room, &error);
    EXPECT_EQ(result, c.result)
        << c.to_wide << " " << c.code_page << " " << c.length << " " << c.room;
    EXPECT_EQ(error, c.error) << c.to_wide << " " << c.code_page;
  }
}

TEST(CodePagesTest, NextCharacterStepsOverWhatFollowsTheLead) {
  struct Case {
    std::uint32_t code_page;
    const char* text;
    long step;
  };
  const Case cases[] = {
      {kCodePageUtf8, "ab", 1},
      {kCodePageUtf8, "\xC3\xA9x", 2},
      {kCodePageUtf8, "\xE2\x82\xAC", 3},
      {kCodePageUtf8, "\xF0\x9F\x98\x80\x80", 4},  // no more than announced
      {kCodePageUtf8, "\xE2\x82 x", 2},            // cut short by a blank
      {kCodePageUtf8, "\xE2\x82", 2},              // cut short by the NUL
      {kCodePageUtf8, "\xF0\x9F\xC3\xA9", 2},      // by the next lead
      {kCodePageUtf8, "\xC3 \xA9", 1},
      {kCodePageUtf8, "\x80\x80", 1},  // a stray continuation byte
      {kCodePageUtf8, "\xFF\x80", 1},  // no lead byte
      {kCodePageUtf8, "", 0},
      {kCodePage1252, "\xC3\xA9", 1},
      {kCodePage1252, "", 0},
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
