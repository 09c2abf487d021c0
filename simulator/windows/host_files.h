// What the simulated machine takes from the host: its files, a scratch
// folder, and the modules of the running process. A -posix and a -win32
// variant each give the host's own answers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dorvane::sim {

struct HostFileInfo {
  bool directory = false;
  std::uint64_t size = 0;
  std::uint64_t write_time = 0;  // FILETIME
};

// The host path of the null device, which NUL names.
extern const char kHostNullDevice[];

// 0 and the host path of a file on the simulated drive Z:, from its folders
// and name below Z:\ (none for Z:\ itself). On a POSIX host Z:\ is the root
// directory, as in a Wine prefix; on Windows every drive of the host is a
// folder of Z:\, named by its letter (Z:\C\Users is C:\Users), and any other
// first folder is missing: 2 when the name stops there, else 3.
std::uint32_t HostPathOnDriveZ(const std::vector<std::string>& parts,
                               std::string* path);

// The simulated machine's name of a host file given by its absolute path:
// the other way round.
std::string DriveZName(const std::string& host_path);

// 0, or the Windows error number: 2 when the file does not exist, 3 when
// its folder does not, 5 when it may not be looked at (on Windows, whatever
// error the host gives). A relative path is
// taken against the process's own current directory.
std::uint32_t StatHostFile(const std::string& path, HostFileInfo* info);

// True when the file begins as a Windows program does: "MZ", and at the
// offset kept at 0x3C the signature "PE\0\0". The shell refuses any other
// file as not a program.
bool HostFileIsProgram(const std::string& path);

// A new, empty folder in the host's temporary folder ($TMPDIR or /tmp; on
// Windows the one GetTempPathA names), by its absolute path; empty when
// none could be made.
std::string MakeHostScratchFolder();

// The load address of the host module that holds address.
bool HostModuleBase(const void* address, std::uintptr_t* base);

}  // namespace dorvane::sim
