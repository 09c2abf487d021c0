#include "runtime/ansi_characters.h"

namespace dorvane {

const char* NextCharacter(Platform& platform, const char* p) {
  // No code page has a lead byte below 0x80: an ASCII byte is one
  // character, and the code page need not be asked.
  if (static_cast<unsigned char>(*p) < 0x80) return *p != '\0' ? p + 1 : p;
  const char* next = platform.CharNextA(p);
  if (next == nullptr) return nullptr;
  if (next <= p) next = p + 1;
  for (const char* q = p + 1; q < next; ++q) {
    if (*q == '\0') return q;
  }
  return next;
}

}  // namespace dorvane
