// Text conversions between the ANSI code pages the simulated machine knows
// (1252 and UTF-8) and UTF-16, with the Windows rules for what a code page
// cannot hold; and stepping by character in those and in 932.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace dorvane::sim {

// MultiByteToWideChar's conversion of the bytes; in UTF-8 each maximal
// invalid part becomes one U+FFFD.
std::u16string DecodeAnsi(std::uint32_t code_page, const char* bytes,
                          std::size_t count);

// WideCharToMultiByte's conversion of the units: 1252 writes the default
// replacement character '?' for what it lacks, UTF-8 U+FFFD for an unpaired
// surrogate.
std::string EncodeAnsi(std::uint32_t code_page, const std::uint16_t* units,
                       std::size_t count);

// CharNextA for a byte from 0x80 up: the next character. In UTF-8 a lead
// byte takes along the continuation bytes (10xxxxxx) that follow it, at most
// as many as it announces; in 932 a lead byte takes the next byte.
const char* NextChar(std::uint32_t code_page, const char* current);

// CharToOemA's conversion; source and destination may be the same. Only
// 1252 differs from its OEM code page (850); the others are their own.
void AnsiToOem(std::uint32_t code_page, const char* source, char* destination);

}  // namespace dorvane::sim
