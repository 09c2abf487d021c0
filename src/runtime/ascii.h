// ASCII helpers that do not depend on the C library's locale: only the
// letters A to Z and a to z change case, and bytes from 0x80 up are never
// letters or digits.
#pragma once

namespace dorvane {

// Upper-case hexadecimal digits, as every number the tool prints uses.
inline constexpr char kHexDigits[] = "0123456789ABCDEF";

// The value of a hexadecimal digit of either case; -1 for any other byte.
constexpr int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

constexpr char ToLowerAscii(char c) {
  const unsigned char byte = static_cast<unsigned char>(c);
  return byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte - 'A' + 'a') : c;
}

}  // namespace dorvane
