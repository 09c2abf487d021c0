// Text conversions between the ANSI code pages the simulated machine knows
// (1252 and UTF-8) and UTF-16, with the Win32 rules for sizes and errors.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace dorvane::sim {

constexpr std::uint32_t kCodePage1252 = 1252;
constexpr std::uint32_t kCodePageUtf8 = 65001;

bool IsSupportedCodePage(std::uint32_t code_page);

// MultiByteToWideChar for a resolved code page: the number of units written
// (or needed, when wide_len is 0), or 0 with *error set.
int MultiByteToWide(std::uint32_t code_page, std::uint32_t flags,
                    const char* multi_byte, int multi_byte_len,
                    std::uint16_t* wide, int wide_len, std::uint32_t* error);

// WideCharToMultiByte for a resolved code page, with the default
// replacement character '?' for what 1252 cannot hold.
int WideToMultiByte(std::uint32_t code_page, std::uint32_t flags,
                    const std::uint16_t* wide, int wide_len, char* multi_byte,
                    int multi_byte_len, std::uint32_t* error);

// CharNextA: the next character, never past the terminating NUL. In UTF-8
// a lead byte takes along the continuation bytes (10xxxxxx) that follow
// it, at most as many as it announces.
const char* NextChar(std::uint32_t code_page, const char* current);

// CharToOemA's conversion; source and destination may be the same.
void AnsiToOem(std::uint32_t code_page, const char* source, char* destination);

// UTF-16 to UTF-8 for host file names; unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(const std::uint16_t* units, std::size_t count);

}  // namespace dorvane::sim
