#include "runtime/format.h"

#include "runtime/ascii.h"

namespace dorvane {

std::string FormatUnsigned(std::uint64_t value) {
  char digits[20];
  int n = 0;
  do {
    digits[n++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  std::string text;
  while (n > 0) text += digits[--n];
  return text;
}

std::string FormatSigned(std::int64_t value) {
  // Negate in unsigned arithmetic so that the most negative value survives.
  if (value < 0) {
    return "-" + FormatUnsigned(0 - static_cast<std::uint64_t>(value));
  }
  return FormatUnsigned(static_cast<std::uint64_t>(value));
}

std::string FormatHex(std::uint64_t value, int min_digits) {
  char digits[16];
  int n = 0;
  do {
    digits[n++] = kHexDigits[value & 0xF];
    value >>= 4;
  } while (value != 0);
  std::string text;
  for (int pad = min_digits - n; pad > 0; --pad) text += '0';
  while (n > 0) text += digits[--n];
  return text;
}

}  // namespace dorvane
