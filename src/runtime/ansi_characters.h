// Stepping through text in the ANSI code page one character at a time, so
// that the second byte of a double-byte character (0x5C in code page 932's
// "表", say) is never taken for a quote, a separator or a backslash.
#pragma once

#include "platform/platform.h"

namespace dorvane {

// One character further: ASCII bytes directly, others through CharNextA.
// Never backwards and never past the text's NUL, whatever the code page's
// stepping says. nullptr when the stepping cannot be had (user32 cannot be
// loaded; GetLastError tells why).
const char* NextCharacter(Platform& platform, const char* p);

}  // namespace dorvane
