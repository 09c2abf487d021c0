// The command line split into arguments. The splitter is the only reader of
// the command line: blanks and control characters separate, double quotes
// group and vanish, a bare pair of double quotes never counts, and there is
// no escape character.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace dorvane {

class Arguments {
 public:
  // Steps through the line with CharNextA, so that the second byte of a
  // double-byte character is never taken for a quote or a separator.
  Arguments(Platform& platform, const char* command_line);

  // False when a character of the line could not be stepped over (user32
  // cannot be loaded): the arguments then stop short, and error() is why.
  bool split() const { return split_; }
  std::uint32_t error() const { return error_; }

  // Arguments after the program's own name, up to the first empty one.
  int count() const { return static_cast<int>(items_.size()) - 1; }
  // Argument n (0 is the program's name); empty text when there is none.
  const std::string& Get(std::size_t n) const;

 private:
  std::vector<std::string> items_;
  bool split_ = true;
  std::uint32_t error_ = 0;
};

}  // namespace dorvane
