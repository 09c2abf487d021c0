// What the simulated machine takes from the host: files of the current
// directory and the modules of the running process.
#pragma once

#include <cstdint>
#include <string>

namespace dorvane::sim {

struct HostFileInfo {
  bool directory = false;
  std::uint64_t size = 0;
  std::uint64_t write_time = 0;   // FILETIME
  std::uint64_t access_time = 0;  // FILETIME
};

// A Windows-style name (backslashes allowed) as a host path: relative names
// are taken against directory, or against the process's own current
// directory when directory is empty.
std::string ResolveHostPath(const std::string& directory,
                            const std::string& name);

// 0, or the Windows error number: 2 when the file does not exist, 3 when
// its folder does not, 5 when it may not be looked at.
std::uint32_t StatHostFile(const std::string& path, HostFileInfo* info);

// The load address of the host module that holds address.
bool HostModuleBase(const void* address, std::uintptr_t* base);

}  // namespace dorvane::sim
