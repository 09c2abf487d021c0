// The shell: ShellExecuteA, and devcon.exe when it is started.
#include <cstring>
#include <string>
#include <vector>

#include "simulator/windows/host_files.h"
#include "simulator/windows/not_simulated.h"
#include "simulator/windows/sim_platform.h"
#include "simulator/windows/windows_values.h"
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

// devcon.exe as the simulated machine runs it after the shell launched it,
// with its parameter text: "install <inf> ROOT\\PhDskMnt" installs the
// driver, "remove ROOT\\PhDskMnt" removes it with its disks. Returns what
// devcon would report; a command that does not apply (the driver already in
// that state, other hardware, other verbs) changes nothing and reports
// "failed: ...". The .inf file is not examined.
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

}  // namespace

std::uintptr_t SimPlatform::ShellExecuteA(Handle window, const char* operation,
                                          const char* file,
                                          const char* parameters,
                                          const char* directory,
                                          int show_command) {
  // The tool opens devcon.exe, shown, in its own current directory.
  if (window != 0 || operation == nullptr ||
      std::strcmp(operation, "open") != 0 || file == nullptr ||
      std::strcmp(file, "devcon.exe") != 0 || parameters == nullptr ||
      directory != nullptr || show_command != kSwShow) {
    NotSimulated("ShellExecuteA %s \"%s\" with show command %d",
                 operation != nullptr ? operation : "(default verb)",
                 file != nullptr ? file : "", show_command);
  }
  if (Begin(Record("ShellExecuteA"))) {
    std::uint32_t error = calls_.back().error;
    return error <= 32 ? error : 0;
  }
  // The shell answers for the start alone. A started devcon.exe then does
  // its work on the machine; whether that works out (the driver may already
  // be in the state asked for) is devcon's own business and only shows in
  // the launch record, as the caller of the shell never learns it either.
  Launch launch{file, parameters, machine_.shell_result, ""};
  const std::string path =
      current_directory_.empty() ? file : current_directory_ + "/" + file;
  if (launch.result > 32 && !HostFileIsProgram(path)) {
    // What the shell answers for a file that is no Windows program.
    launch.result = kShellBadFormat;
    Failed(kErrorBadExeFormat);
  } else if (launch.result <= 32) {
    Failed(launch.result == 0 ? kErrorNotEnoughMemory
                              : static_cast<std::uint32_t>(launch.result));
  } else {
    launch.outcome = RunDevcon(machine_, launch.parameters);
    Succeed();
  }
  machine_.launches.push_back(launch);
  return launch.result;
}

}  // namespace dorvane::sim
