// The host build's `dorvane`: the tool on the simulated machine kept in the
// state file, with the host's own standard output and error.
#include <algorithm>
#include <string>

#include "simulator/host/host_run.h"

namespace {

// The arguments, the program's name first, joined back into a Windows
// command line with single blanks. An argument that is empty or holds a
// byte from 1 to 32 (a blank, a tab, a line end), where the tool's splitter
// ends an argument, goes in double quotes; all others stay exactly as they
// are. The tool drops every double quote, so an argument cannot carry one.
std::string CommandLine(int argc, char** argv) {
  std::string line;
  for (int i = 0; i < argc; ++i) {
    const std::string arg = argv[i];
    if (!line.empty()) line += ' ';
    const bool split = std::any_of(arg.begin(), arg.end(), [](char c) {
      return static_cast<unsigned char>(c) <= 32;
    });
    line += arg.empty() || split ? '"' + arg + '"' : arg;
  }
  return line;
}

}  // namespace

int main(int argc, char** argv) {
  dorvane::sim::HostRun run;
  if (!run.Start("dorvane")) return dorvane::sim::kHostFailure;
  return run.RunTool(CommandLine(argc, argv));
}
