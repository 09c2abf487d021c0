// Windows compares the names of DOS devices, device objects and files
// without regard to the case of ASCII letters.
#pragma once

#include <cstddef>
#include <string_view>

#include "runtime/ascii.h"

namespace dorvane::sim {

inline bool SameWindowsName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (ToLowerAscii(a[i]) != ToLowerAscii(b[i])) return false;
  }
  return true;
}

}  // namespace dorvane::sim
