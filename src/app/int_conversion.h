// Conversion of command-line numbers (sizes and ids) to 32-bit integers.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/expected.h"

namespace dorvane {

// Leading blanks, an optional sign, then decimal digits or hexadecimal ones
// behind "$", "x", "X", "0x" or "0X"; nothing may follow the last digit.
// Hexadecimal takes a 32-bit pattern ($FFFFFFFF is -1); decimal must fit in
// a signed 32-bit number. Otherwise EConvertError
// "'TEXT' is not a valid integer value".
Expected<std::int32_t> StrToInt(std::string_view text);

}  // namespace dorvane
