// Windows values that only the simulated machine and the tests name: the
// errors it fails calls with and the values it answers. The seam
// (platform/platform.h) keeps those the tool itself uses.
#pragma once

#include <cstdint>

namespace dorvane::sim {

constexpr std::uint32_t kErrorInvalidFunction = 1;
constexpr std::uint32_t kErrorFileNotFound = 2;
constexpr std::uint32_t kErrorPathNotFound = 3;
constexpr std::uint32_t kErrorInvalidHandle = 6;
constexpr std::uint32_t kErrorNotEnoughMemory = 8;
constexpr std::uint32_t kErrorNotReady = 21;
constexpr std::uint32_t kErrorWriteFault = 29;
constexpr std::uint32_t kErrorNotSupported = 50;
constexpr std::uint32_t kErrorInvalidParameter = 87;
constexpr std::uint32_t kErrorInvalidName = 123;
constexpr std::uint32_t kErrorModuleNotFound = 126;
constexpr std::uint32_t kErrorBadExeFormat = 193;
constexpr std::uint32_t kErrorNoData = 232;  // the pipe is being closed

// ShellExecuteA's answer for a file that is no program (ERROR_BAD_FORMAT).
constexpr std::uintptr_t kShellBadFormat = 11;

constexpr std::uint32_t kFileTypeUnknown = 0;
constexpr std::uint32_t kFileTypeDisk = 1;
constexpr std::uint32_t kFileTypePipe = 3;
constexpr std::uint32_t kFileAttributeArchive = 0x20;
constexpr std::uint32_t kVerPlatformWin32Windows = 1;  // Windows 9x

}  // namespace dorvane::sim
