#include "simulator/host/command_line.h"

#include <algorithm>

namespace dorvane::sim {

std::string BuildCommandLine(const std::vector<std::string>& args) {
  std::string line;
  for (const std::string& arg : args) {
    if (!line.empty()) line += ' ';
    // The tool's splitter ends an argument at any byte from 1 to 32.
    const bool split = std::any_of(arg.begin(), arg.end(), [](char c) {
      return static_cast<unsigned char>(c) <= 32;
    });
    if (arg.empty() || split) {
      line += '"' + arg + '"';
    } else {
      line += arg;
    }
  }
  return line;
}

}  // namespace dorvane::sim
