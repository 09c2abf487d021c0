// The process and its system: GetCommandLineA, GetVersionExA,
// GetModuleHandleExA, GetModuleFileNameA.
#include <cstring>

#include "simulator/call_records.h"
#include "simulator/host_files.h"
#include "simulator/not_simulated.h"
#include "simulator/sim_platform.h"
#include "simulator/windows_values.h"

namespace dorvane::sim {

const char* SimPlatform::GetCommandLineA() {
  // Cannot fail on Windows, so no rule applies.
  calls_.push_back(Record("GetCommandLineA"));
  Succeed();
  return command_line_.c_str();
}

bool SimPlatform::GetVersionExA(OsVersionInfo* info) {
  if (info == nullptr || info->dwOSVersionInfoSize != kOsVersionInfoSize) {
    NotSimulated("GetVersionExA without an OSVERSIONINFOA");
  }
  if (Begin(Record("GetVersionExA"))) return false;
  // The tool reads only whether the system is an NT.
  info->dwPlatformId =
      machine_.is_nt ? kVerPlatformWin32Nt : kVerPlatformWin32Windows;
  Succeed();
  return true;
}

bool SimPlatform::GetModuleHandleExA(std::uint32_t flags, const void* address,
                                     Handle* module) {
  if (Begin(Record("GetModuleHandleExA", flags))) {
    if (module != nullptr) *module = 0;
    return false;
  }
  if (module == nullptr) {
    Failed(kErrorInvalidParameter);
    return false;
  }
  *module = 0;
  // By name, only the process's own module (a null name) is known; it is
  // the module that holds this code, since everything is linked in.
  static const int kOwnModuleMarker = 0;
  const void* lookup = (flags & kGetModuleHandleExFlagFromAddress) != 0
                           ? address
                       : address == nullptr ? &kOwnModuleMarker
                                            : nullptr;
  std::uintptr_t base = 0;
  if (lookup == nullptr || !HostModuleBase(lookup, &base)) {
    Failed(kErrorModuleNotFound);
    return false;
  }
  *module = base;
  Succeed();
  return true;
}

std::uint32_t SimPlatform::GetModuleFileNameA(Handle /*module*/,
                                              char* file_name,
                                              std::uint32_t size) {
  if (Begin(Record("GetModuleFileNameA", size))) return 0;
  // Every module of the simulated process reports the process's own image:
  // it is a Windows process, whatever host runs it.
  std::size_t length = std::strlen(kSimModuleFileName);
  if (size == 0 || file_name == nullptr) {
    Failed(kErrorInsufficientBuffer);
    return 0;
  }
  if (length >= size) {
    // Truncated and terminated; the result is the size and the last error
    // says so, as on Windows Vista and later.
    std::memcpy(file_name, kSimModuleFileName, size - 1);
    file_name[size - 1] = '\0';
    Succeed();
    calls_.back().error = kErrorInsufficientBuffer;
    last_error_ = kErrorInsufficientBuffer;
    return size;
  }
  std::memcpy(file_name, kSimModuleFileName, length + 1);
  Succeed();
  return static_cast<std::uint32_t>(length);
}

}  // namespace dorvane::sim
