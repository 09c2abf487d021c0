#include "app/int_conversion.h"

#include <string>

#include "runtime/ascii.h"

namespace dorvane {
namespace {

// Scans hexadecimal digits from i; false when a digit would push the value
// past 32 bits.
bool ScanHex(std::string_view text, std::size_t* i, std::uint32_t* value) {
  std::uint32_t v = 0;
  for (; *i < text.size() && HexDigitValue(text[*i]) >= 0; ++*i) {
    if (v > 0x0FFFFFFFu) return false;
    v = v * 16 + static_cast<std::uint32_t>(HexDigitValue(text[*i]));
  }
  *value = v;
  return true;
}

// Scans decimal digits from i; false once the magnitude passes 2^31.
bool ScanDecimal(std::string_view text, std::size_t* i, std::uint64_t* value) {
  std::uint64_t v = 0;
  for (; *i < text.size() && text[*i] >= '0' && text[*i] <= '9'; ++*i) {
    v = v * 10 + static_cast<std::uint64_t>(text[*i] - '0');
    if (v > 0x80000000u) return false;
  }
  *value = v;
  return true;
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
  } else if (i + 1 < text.size() && text[i] == '0' &&
             (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  const std::size_t digits_start = i;
  bool in_range;
  std::int64_t result = 0;
  if (hex) {
    std::uint32_t pattern = 0;
    in_range = ScanHex(text, &i, &pattern);
    if (negative) pattern = 0u - pattern;
    result = static_cast<std::int32_t>(pattern);
  } else {
    std::uint64_t magnitude = 0;
    in_range = ScanDecimal(text, &i, &magnitude);
    result = negative ? -static_cast<std::int64_t>(magnitude)
                      : static_cast<std::int64_t>(magnitude);
    in_range = in_range && result <= 0x7FFFFFFF;
  }
  if (!in_range || i == digits_start || i != text.size()) {
    return RaiseConvertError("'" + std::string(text) +
                             "' is not a valid integer value");
  }
  return static_cast<std::int32_t>(result);
}

}  // namespace dorvane
