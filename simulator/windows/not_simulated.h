// The simulated machine models exactly the argument patterns the tool uses.
// Any other pattern ends the process here, loudly, so that a tool that
// starts using a new one meets a failing test instead of untested emulation.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace dorvane::sim {

// Writes "not simulated: " and the formatted text to standard error, then
// aborts.
[[noreturn]] inline void NotSimulated(const char* format, ...)
    __attribute__((format(printf, 1, 2)));

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
