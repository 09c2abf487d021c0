// The host build hands the simulated tool a Windows command line rebuilt
// from the host's argument vector.
#pragma once

#include <string>
#include <vector>

namespace dorvane::sim {

// Joins the arguments (the program's name first) with single blanks; an
// argument that is empty or holds a byte from 1 to 32 (a blank, a tab, a
// line end) goes in double quotes, all others stay exactly as they are. The
// tool drops every double quote, so an argument cannot carry one.
std::string BuildCommandLine(const std::vector<std::string>& args);

}  // namespace dorvane::sim
