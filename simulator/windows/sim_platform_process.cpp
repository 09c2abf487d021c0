// The process and its system: GetCommandLineA, GetVersionExA, VirtualQuery,
// GetModuleFileNameA.
#include <cstring>

#include "simulator/windows/host_files.h"
#include "simulator/windows/not_simulated.h"
#include "simulator/windows/sim_platform.h"
#include "simulator/windows/windows_values.h"

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

std::size_t SimPlatform::VirtualQuery(const void* address,
                                      MemoryBasicInformation* buffer,
                                      std::size_t length) {
  std::uintptr_t base = 0;
  if (buffer == nullptr || length != sizeof(MemoryBasicInformation) ||
      !HostModuleBase(address, &base)) {
    NotSimulated(
        "VirtualQuery of an address outside the program's code, or "
        "without a whole MEMORY_BASIC_INFORMATION");
  }
  if (Begin(Record("VirtualQuery"))) return 0;
  // The tool reads only which module's image holds the address; everything
  // is linked into the one program, as on Windows.
  *buffer = MemoryBasicInformation();
  buffer->AllocationBase = reinterpret_cast<void*>(base);
  buffer->Type = kMemImage;
  Succeed();
  return sizeof(MemoryBasicInformation);
}

std::uint32_t SimPlatform::GetModuleFileNameA(Handle /*module*/,
                                              char* file_name,
                                              std::uint32_t size) {
  // Every module of the simulated process reports the process's own image:
  // it is a Windows process, whatever host runs it.
  if (file_name == nullptr || size == 0) {
    NotSimulated("GetModuleFileNameA with a buffer of %u bytes", size);
  }
  if (Begin(Record("GetModuleFileNameA"))) return 0;
  const std::string& name = machine_.module_file_name;
  if (name.size() >= size) {
    // As Windows from Vista on: the name cut to fit, NUL-ended, the
    // buffer's size returned and ERROR_INSUFFICIENT_BUFFER set.
    name.copy(file_name, size - 1);
    file_name[size - 1] = '\0';
    Succeed();
    last_error_ = kErrorInsufficientBuffer;
    return size;
  }
  std::memcpy(file_name, name.c_str(), name.size() + 1);
  Succeed();
  return static_cast<std::uint32_t>(name.size());
}

}  // namespace dorvane::sim
