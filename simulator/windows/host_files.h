// What the simulated machine takes from the host: its files and the modules
// of the running process.
#pragma once

#include <cstdint>
#include <string>

namespace dorvane::sim {

struct HostFileInfo {
  bool directory = false;
  std::uint64_t size = 0;
  std::uint64_t write_time = 0;  // FILETIME
};

// 0, or the Windows error number: 2 when the file does not exist, 3 when
// its folder does not, 5 when it may not be looked at. A relative path is
// taken against the process's own current directory.
std::uint32_t StatHostFile(const std::string& path, HostFileInfo* info);

// True when the file begins as a Windows program does: "MZ", and at the
// offset kept at 0x3C the signature "PE\0\0". The shell refuses any other
// file as not a program.
bool HostFileIsProgram(const std::string& path);

// The load address of the host module that holds address.
bool HostModuleBase(const void* address, std::uintptr_t* base);

}  // namespace dorvane::sim
