// Names as the driver opens them, after "\??\": a drive path leads to a
// file. Drive Z: holds the host's files (host_files.h says how); every
// other drive letter is an empty disk. A driver has no current directory:
// a name without a drive is looked up in the DOS device directory, where
// only NUL is found. On the host build a name that starts with a slash is
// the host's own absolute path.
#pragma once

#include <cstdint>
#include <string>

namespace dorvane::sim {

// 0 and the host path of the file (of the root folder for Z: alone; ending
// in "/" when a trailing backslash asks for a folder; for NUL the host's
// null device), or the Windows error the kernel gives the name: 123 for an
// empty part ("\\", a leading backslash) or a "." or ".." part; 2 for a
// name without a drive, an empty drive or a file on it; 3 for a name with
// folders but without a drive, or a folder on an empty drive.
std::uint32_t KernelNameToHostPath(const std::string& name, std::string* path);

}  // namespace dorvane::sim
