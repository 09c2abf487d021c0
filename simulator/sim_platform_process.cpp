// The process and its system: GetCommandLineA, GetVersionExA,
// GetModuleHandleExA, GetModuleFileNameA.
#include <cstring>

#include "simulator/call_records.h"
#include "simulator/host_files.h"
#include "simulator/sim_platform.h"

namespace dorvane::sim {
namespace {

constexpr std::uint32_t kErrorModuleNotFound = 126;
constexpr std::uint32_t kOsVersionInfoExSize = 156;

}  // namespace

const char* SimPlatform::GetCommandLineA() {
  // Cannot fail on Windows, so no rule applies.
  calls_.push_back(Record("GetCommandLineA"));
  Succeed();
  return command_line_.c_str();
}

bool SimPlatform::GetVersionExA(OsVersionInfo* info) {
  if (Begin(Record("GetVersionExA",
                   info != nullptr ? info->dwOSVersionInfoSize : 0))) {
    return false;
  }
  if (info == nullptr) {
    Failed(kErrorInvalidParameter);
    return false;
  }
  if (info->dwOSVersionInfoSize != kOsVersionInfoSize &&
      info->dwOSVersionInfoSize != kOsVersionInfoExSize) {
    Failed(kErrorInsufficientBuffer);
    return false;
  }
  std::memset(info->szCSDVersion, 0, sizeof info->szCSDVersion);
  if (machine_.is_nt) {  // Windows XP SP3
    info->dwMajorVersion = 5;
    info->dwMinorVersion = 1;
    info->dwBuildNumber = 2600;
    info->dwPlatformId = kVerPlatformWin32Nt;
    std::strcpy(info->szCSDVersion, "Service Pack 3");
  } else {  // Windows 98 SE
    info->dwMajorVersion = 4;
    info->dwMinorVersion = 10;
    info->dwBuildNumber = 0x040A08AE;
    info->dwPlatformId = 1;  // VER_PLATFORM_WIN32_WINDOWS
    std::strcpy(info->szCSDVersion, " A ");
  }
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
