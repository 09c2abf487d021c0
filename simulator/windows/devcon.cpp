#include "simulator/windows/devcon.h"

#include <vector>

#include "simulator/windows_names.h"

namespace dorvane::sim {
namespace {

// Words as a Windows program receives them: blanks separate, double quotes
// group and are dropped.
std::vector<std::string> SplitWords(const std::string& text) {
  std::vector<std::string> words;
  std::string word;
  bool in_word = false, quoted = false;
  for (char c : text) {
    if (c == '"') {
      quoted = !quoted;
      in_word = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (in_word) words.push_back(word);
      word.clear();
      in_word = false;
    } else {
      word += c;
      in_word = true;
    }
  }
  if (in_word) words.push_back(word);
  return words;
}

bool IsDriverHardwareId(const std::string& word) {
  return SameWindowsName(word, "ROOT\\PhDskMnt");
}

}  // namespace

std::string RunDevcon(SimMachine& machine, const std::string& parameters) {
  std::vector<std::string> words = SplitWords(parameters);
  if (words.size() == 3 && words[0] == "install" &&
      IsDriverHardwareId(words[2])) {
    return machine.InstallDriver() ? "driver installed"
                                   : "failed: driver already installed";
  }
  if (words.size() == 2 && words[0] == "remove" &&
      IsDriverHardwareId(words[1])) {
    return machine.RemoveDriver() ? "driver removed"
                                  : "failed: no matching device";
  }
  return "failed: command not handled";
}

}  // namespace dorvane::sim
