#include "app/arguments.h"

#include "runtime/ansi_characters.h"

namespace dorvane {
namespace {

bool IsSeparator(char c) {
  unsigned char byte = static_cast<unsigned char>(c);
  return byte >= 1 && byte <= 32;
}

// Reads one argument from p into *item and returns where the next begins;
// nullptr when a character could not be stepped over. Separators and quotes
// are ASCII, stepped over without the code page.
const char* NextArgument(Platform& platform, const char* p, std::string* item) {
  for (;;) {
    if (IsSeparator(*p)) {
      p = NextCharacter(platform, p);
    } else if (p[0] == '"' && p[1] == '"') {
      p += 2;
    } else {
      break;
    }
  }
  item->clear();
  while (*p != '\0' && !IsSeparator(*p)) {
    if (*p == '"') {
      p = NextCharacter(platform, p);
      while (*p != '\0' && *p != '"') {
        const char* next = NextCharacter(platform, p);
        if (next == nullptr) return nullptr;
        item->append(p, next);
        p = next;
      }
      if (*p == '"') p = NextCharacter(platform, p);
    } else {
      const char* next = NextCharacter(platform, p);
      if (next == nullptr) return nullptr;
      item->append(p, next);
      p = next;
    }
  }
  return p;
}

}  // namespace

Arguments::Arguments(Platform& platform, const char* command_line) {
  const char* p = command_line != nullptr ? command_line : "";
  std::string item;
  p = NextArgument(platform, p, &item);
  items_.push_back(item);  // the program's own name, empty or not
  while (p != nullptr) {
    p = NextArgument(platform, p, &item);
    if (p == nullptr || item.empty()) break;
    items_.push_back(item);
  }
  if (p == nullptr) {
    split_ = false;
    error_ = platform.GetLastError();
  }
}

const std::string& Arguments::Get(std::size_t n) const {
  static const std::string kEmpty;
  return n < items_.size() ? items_[n] : kEmpty;
}

}  // namespace dorvane
