// Number formatting for messages: decimal without grouping, upper-case
// hexadecimal zero-padded to a minimum width.
#pragma once

#include <cstdint>
#include <string>

namespace dorvane {

std::string FormatUnsigned(std::uint64_t value);
std::string FormatSigned(std::int64_t value);
// Upper-case hexadecimal, at least min_digits wide, wider when needed.
std::string FormatHex(std::uint64_t value, int min_digits);

}  // namespace dorvane
