// The process and its system: GetCommandLineA, GetVersionExA, VirtualQuery,
// GetModuleFileNameA.
#include <cstring>

#include "simulator/call_records.h"
#include "simulator/host_files.h"
#include "simulator/sim_platform.h"

namespace dorvane::sim {
namespace {

constexpr std::uint32_t kOsVersionInfoExSize = 156;
// How Windows describes a page of a loaded module's code.
constexpr std::uintptr_t kPageSize = 4096;
constexpr std::uint32_t kMemCommit = 0x1000;
constexpr std::uint32_t kPageExecuteRead = 0x20;
constexpr std::uint32_t kPageExecuteWriteCopy = 0x80;

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

std::size_t SimPlatform::VirtualQuery(const void* address,
                                      MemoryBasicInformation* buffer,
                                      std::size_t length) {
  if (Begin(Record("VirtualQuery", static_cast<std::uint32_t>(length)))) {
    return 0;
  }
  // Only what the tool asks is answered: a whole record for an address in
  // one of the process's modules, everything linked in as on Windows. Any
  // other question is refused rather than answered with made-up memory.
  std::uintptr_t base = 0;
  if (buffer == nullptr || length != sizeof(MemoryBasicInformation) ||
      !HostModuleBase(address, &base)) {
    Failed(kErrorInvalidParameter);
    return 0;
  }
  // The page of the address, in the module's committed image.
  *buffer = MemoryBasicInformation();
  buffer->BaseAddress = reinterpret_cast<void*>(
      reinterpret_cast<std::uintptr_t>(address) & ~(kPageSize - 1));
  buffer->AllocationBase = reinterpret_cast<void*>(base);
  buffer->AllocationProtect = kPageExecuteWriteCopy;
  buffer->RegionSize = kPageSize;
  buffer->State = kMemCommit;
  buffer->Protect = kPageExecuteRead;
  buffer->Type = kMemImage;
  Succeed();
  return sizeof(MemoryBasicInformation);
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
