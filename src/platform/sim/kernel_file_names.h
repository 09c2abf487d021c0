// Names as the driver opens them, after "\??\": a drive path leads to a
// file. Drive Z: is the host's root directory, as in a Wine prefix; every
// other drive letter is an empty disk. A name without a drive is taken
// against the current directory, a convenience of the host build: Windows
// looks such a name up in its DOS device directory and finds nothing.
#pragma once

#include <cstdint>
#include <string>

namespace dorvane::sim {

// 0 and the host path of the file, or the Windows error the kernel gives
// the name: 123 for an empty part ("\\", a leading backslash), 2 for a
// missing file on an empty drive, 3 for a folder there.
std::uint32_t KernelNameToHostPath(const std::string& directory,
                                   const std::string& name, std::string* path);

}  // namespace dorvane::sim
