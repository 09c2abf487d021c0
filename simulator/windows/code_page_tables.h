// Tables of the ANSI code page 1252 and its OEM counterpart 850.
#pragma once

#include <cstdint>

namespace dorvane::sim {

// UTF-16 units of the bytes 0x80 to 0xFF in code page 1252 (the bytes below
// 0x80 are ASCII).
extern const std::uint16_t kCp1252High[128];
// CharToOemA on a 1252 machine: each byte's OEM 850 byte.
extern const std::uint8_t kCp1252ToOem850[256];

}  // namespace dorvane::sim
