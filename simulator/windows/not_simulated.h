// The simulated machine models exactly the argument patterns the tool uses.
// Any other pattern ends the process here, loudly, so that a tool that
// starts using a new one meets a failing test instead of untested emulation.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace dorvane::sim {

// MinGW's GCC checks printf formats against Microsoft's, which has no %z;
// the C99 stdio that MinGW's libstdc++ switches on has it.
#if defined(__MINGW32__)
#define DORVANE_PRINTF_FORMAT(f, a) __attribute__((format(gnu_printf, f, a)))
#elif defined(__GNUC__)
#define DORVANE_PRINTF_FORMAT(f, a) __attribute__((format(printf, f, a)))
#else
#define DORVANE_PRINTF_FORMAT(f, a)
#endif

// Writes "not simulated: " and the formatted text to standard error, then
// aborts.
[[noreturn]] inline void NotSimulated(const char* format, ...)
    DORVANE_PRINTF_FORMAT(1, 2);

inline void NotSimulated(const char* format, ...) {
  std::fputs("not simulated: ", stderr);
  va_list arguments;
  va_start(arguments, format);
  std::vfprintf(stderr, format, arguments);
  va_end(arguments);
  std::fputs("\n", stderr);
  std::abort();
}

}  // namespace dorvane::sim
