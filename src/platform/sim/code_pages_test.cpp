#include "platform/sim/code_pages.h"

#include <gtest/gtest.h>

#include <vector>

namespace dorvane::sim {
namespace {

std::u16string ToWide(std::uint32_t code_page, const std::string& bytes) {
  std::uint32_t error = 0;
  std::vector<std::uint16_t> out(64);
  int n =
      MultiByteToWide(code_page, 0, bytes.data(),
                      static_cast<int>(bytes.size()), out.data(), 64, &error);
  EXPECT_GT(n, 0) << "error " << error;
  return std::u16string(out.begin(), out.begin() + n);
}

std::string ToBytes(std::uint32_t code_page, const std::u16string& wide) {
  std::uint32_t error = 0;
  char out[64];
  int n = WideToMultiByte(code_page, 0,
                          reinterpret_cast<const std::uint16_t*>(wide.data()),
                          static_cast<int>(wide.size()), out, 64, &error);
  EXPECT_GT(n, 0) << "error " << error;
  return std::string(out, static_cast<std::size_t>(n));
}

TEST(CodePagesTest, Cp1252Bytes) {
  struct Case {
    unsigned char byte;
    char16_t unit;
  };
  const Case cases[] = {
      {'A', u'A'},    {0x80, 0x20AC}, {0x81, 0x0081}, {0x8D, 0x008D},
      {0x8F, 0x008F}, {0x90, 0x0090}, {0x9D, 0x009D}, {0x8A, 0x0160},
      {0x9F, 0x0178}, {0xA0, 0x00A0}, {0xE9, 0x00E9}, {0xFF, 0x00FF},
  };
  for (const Case& c : cases) {
    std::string byte(1, static_cast<char>(c.byte));
    EXPECT_EQ(ToWide(kCodePage1252, byte), std::u16string(1, c.unit))
        << std::hex << int{c.byte};
    EXPECT_EQ(ToBytes(kCodePage1252, std::u16string(1, c.unit)), byte);
  }
}

TEST(CodePagesTest, Cp1252WithoutTheCharacterWritesQuestionMarks) {
  EXPECT_EQ(ToBytes(kCodePage1252, u"a\u0100\u4E2D"), "a??");
}

TEST(CodePagesTest, Utf8Decoding) {
  struct Case {
    const char* bytes;
    std::u16string wide;
  };
  const Case cases[] = {
      {"plain", u"plain"},
      {"\xC3\xA9", u"\u00E9"},
      {"\xE2\x82\xAC", u"\u20AC"},
      {"\xF0\x9F\x98\x80", u"\U0001F600"},
      {"\xC3\x28", u"\uFFFD("},
      {"\xE2\x82", u"\uFFFD"},
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
      {"\xC0\xAF", u"\uFFFD\uFFFD"},
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"\xE2\x82\xAC\x80", u"\u20AC\uFFFD"},
      {"a\xFF"
       "b",
       u"a\uFFFDb"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToWide(kCodePageUtf8, c.bytes), c.wide) << c.bytes;
  }
}

TEST(CodePagesTest, Utf8Encoding) {
  EXPECT_EQ(ToBytes(kCodePageUtf8, u"\u00E9\u20AC"), "\xC3\xA9\xE2\x82\xAC");
  EXPECT_EQ(ToBytes(kCodePageUtf8, u"\U0001F600"), "\xF0\x9F\x98\x80");
  EXPECT_EQ(ToBytes(kCodePageUtf8, std::u16string(1, char16_t{0xD800})),
            "\xEF\xBF\xBD");
}

TEST(CodePagesTest, StrictFlagsRefuseInvalidText) {
  std::uint32_t error = 0;
  std::uint16_t wide[8];
  EXPECT_EQ(MultiByteToWide(kCodePageUtf8, 8, "\xFF", 1, wide, 8, &error), 0);
  EXPECT_EQ(error, 1113u);
}

TEST(CodePagesTest, SizesAndErrors) {
  std::uint32_t error = 0;
  std::uint16_t wide[4];
  char bytes[4];
  // Length -1 counts the NUL; output size 0 asks for the size.
  EXPECT_EQ(MultiByteToWide(kCodePage1252, 0, "abc", -1, nullptr, 0, &error),
            4);
  EXPECT_EQ(MultiByteToWide(kCodePage1252, 0, "abc", -1, wide, 4, &error), 4);
  EXPECT_EQ(wide[3], 0);
  EXPECT_EQ(MultiByteToWide(kCodePage1252, 0, "abc", 3, wide, 2, &error), 0);
  EXPECT_EQ(error, 122u);
  const std::uint16_t text[] = {'a', 0x20AC, 0};
  EXPECT_EQ(WideToMultiByte(kCodePageUtf8, 0, text, -1, nullptr, 0, &error), 5);
  EXPECT_EQ(WideToMultiByte(kCodePageUtf8, 0, text, -1, bytes, 3, &error), 0);
  EXPECT_EQ(error, 122u);

  struct Bad {
    std::uint32_t code_page;
    std::uint32_t flags;
    int length;
    std::uint32_t error;
  };
  const Bad bad[] = {{932, 0, 3, 87},
                     {kCodePage1252, 0, 0, 87},
                     {kCodePage1252, 0, -2, 87},
                     {kCodePage1252, 1, 3, 1004}};
  for (const Bad& b : bad) {
    error = 0;
    EXPECT_EQ(
        MultiByteToWide(b.code_page, b.flags, "abc", b.length, wide, 4, &error),
        0);
    EXPECT_EQ(error, b.error) << b.code_page << " " << b.length;
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
  char utf8[] = "caf\xC3\xA9";
  AnsiToOem(kCodePageUtf8, utf8, utf8);
  EXPECT_STREQ(utf8, "caf\xC3\xA9");
}

}  // namespace
}  // namespace dorvane::sim
