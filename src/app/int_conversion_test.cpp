#include "app/int_conversion.h"

#include <gtest/gtest.h>

#include <string>

namespace dorvane {
namespace {

struct Conversion {
  const char* text;
  bool valid;
  std::int32_t value;
};
void PrintTo(const Conversion& c, std::ostream* os) { *os << c.text; }

class StrToIntTest : public ::testing::TestWithParam<Conversion> {};

TEST_P(StrToIntTest, ConvertsOrRaisesConvertError) {
  const Conversion& c = GetParam();
  Expected<std::int32_t> value = StrToInt(c.text);
  const Error& error = value.error();
  if (c.valid) {
    ASSERT_TRUE(value.has_value()) << c.text << ": " << error.message();
    EXPECT_EQ(*value, c.value) << c.text;
  } else {
    ASSERT_FALSE(value.has_value()) << c.text;
    EXPECT_EQ(error.error_class(), ErrorClass::kEConvertError);
    EXPECT_STREQ(error.class_name(), "EConvertError");
    EXPECT_EQ(error.message(),
              "'" + std::string(c.text) + "' is not a valid integer value");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, StrToIntTest,
    ::testing::Values(
        Conversion{"0", true, 0}, Conversion{"64", true, 64},
        Conversion{"19", true, 19}, Conversion{"$9f", true, 159},
        Conversion{"  7", true, 7}, Conversion{"+5", true, 5},
        Conversion{"-1", true, -1}, Conversion{"007", true, 7},
        Conversion{"2147483647", true, 2147483647},
        Conversion{"-2147483648", true, -2147483647 - 1},
        Conversion{"0x10", true, 16}, Conversion{"0X10", true, 16},
        Conversion{"$10", true, 16}, Conversion{"x10", true, 16},
        Conversion{"X1f", true, 31}, Conversion{"$FFFFFFFF", true, -1},
        Conversion{"$80000000", true, -2147483647 - 1},
        Conversion{"$000000000001", true, 1}, Conversion{"-$10", true, -16},
        Conversion{"$1a", true, 26}, Conversion{"$FFFFFF", true, 0xFFFFFF},
        Conversion{"", false, 0}, Conversion{" ", false, 0},
        Conversion{"-", false, 0}, Conversion{"+", false, 0},
        Conversion{"$", false, 0}, Conversion{"0x", false, 0},
        Conversion{"10x", false, 0}, Conversion{"7 ", false, 0},
        Conversion{"\t7", false, 0}, Conversion{"2147483648", false, 0},
        Conversion{"-2147483649", false, 0},
        Conversion{"99999999999999999999", false, 0},
        // Past 32 bits: an accumulator of 32 bits would wrap them to 1.
        Conversion{"4294967297", false, 0}, Conversion{"-4294967297", false, 0},
        Conversion{"$100000001", false, 0}, Conversion{"$100000000", false, 0},
        Conversion{"$-5", false, 0}, Conversion{"$0x10", false, 0},
        Conversion{"$zz", false, 0}, Conversion{"--1", false, 0},
        Conversion{"1e3", false, 0}));

// A text cut from a longer one ends where its view ends.
TEST(StrToIntTest, ReadsNothingPastTheText) {
  for (std::string_view text :
       {std::string_view("0x1", 1), std::string_view("$19", 2),
        std::string_view("12", 1)}) {
    Expected<std::int32_t> value = StrToInt(text);
    ASSERT_TRUE(value.has_value()) << text;
    EXPECT_EQ(*value, text == "0" ? 0 : 1);
  }
}

}  // namespace
}  // namespace dorvane
