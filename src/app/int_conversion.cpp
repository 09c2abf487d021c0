#include "app/int_conversion.h"

#include <string>

#include "runtime/ascii.h"

namespace dorvane {
namespace {

// Scans hexadecimal digits from i while the value fits 32 bits. A digit
// that would not fit is left unread, so the text then fails as not all digits.
std::uint32_t ScanHex(std::string_view text, std::size_t* i) {
  std::uint32_t v = 0;
  for (; *i < text.size() && HexDigitValue(text[*i]) >= 0 && v <= 0x0FFFFFFFu;
       ++*i) {
    v = v * 16 + static_cast<std::uint32_t>(HexDigitValue(text[*i]));
  }
  return v;
}

// Scans decimal digits from i while the magnitude is at most 2^31; the digit
// after that is read too, so the value is then out of range, not just long.
std::uint64_t ScanDecimal(std::string_view text, std::size_t* i) {
  std::uint64_t v = 0;
  for (; *i < text.size() && text[*i] >= '0' && text[*i] <= '9' &&
         v <= 0x80000000u;
       ++*i) {
    v = v * 10 + static_cast<std::uint64_t>(text[*i] - '0');
  }
  return v;
}

}  // namespace

Expected<std::int32_t> StrToInt(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  bool hex = false;
  if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    hex = true;
    i += 1;
  } else if (text.compare(i, 2, "0x") == 0 || text.compare(i, 2, "0X") == 0) {
    hex = true;
    i += 2;
  }
  const std::size_t digits_start = i;
  bool in_range = true;
  std::int64_t result;
  if (hex) {
    std::uint32_t pattern = ScanHex(text, &i);
    if (negative) pattern = 0u - pattern;
    result = static_cast<std::int32_t>(pattern);
  } else {
    const std::int64_t magnitude =
        static_cast<std::int64_t>(ScanDecimal(text, &i));
    result = negative ? -magnitude : magnitude;
    in_range = result >= -0x80000000LL && result <= 0x7FFFFFFF;
  }
  if (!in_range || i == digits_start || i != text.size()) {
    return MakeConvertError("'" + std::string(text) +
                            "' is not a valid integer value");
  }
  return static_cast<std::int32_t>(result);
}

}  // namespace dorvane
