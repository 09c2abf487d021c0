// The Win32 backend: each method hands its arguments to the Windows call of
// the same name and returns its result untouched. Handles travel as integers
// and the records as their portable mirrors; only those conversions live here.
#include "platform/platform-win32.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX  // the C++ library may have defined it already
#define NOMINMAX
#endif
// Each Windows header builds on the ones before it.
// clang-format off
#include <windows.h>
#include <shellapi.h>
#include <winioctl.h>
#include <ntddscsi.h>
// clang-format on

#include <cstdint>
#include <cstring>
#include <string>

#include "platform/platform.h"

namespace dorvane {
namespace {

// The seam's numbers are the Windows ones. Compared as DWORDs, since the
// headers spell some of them as signed constants.
constexpr bool Same(std::uint32_t ours, std::uint32_t windows) {
  return ours == windows;
}
static_assert(sizeof(Handle) == sizeof(HANDLE), "Handle holds a HANDLE");
static_assert(Same(kGenericRead, GENERIC_READ) &&
                  Same(kGenericWrite, GENERIC_WRITE),
              "access rights");
static_assert(Same(kFileShareRead, FILE_SHARE_READ) &&
                  Same(kFileShareWrite, FILE_SHARE_WRITE) &&
                  Same(kOpenExisting, OPEN_EXISTING),
              "sharing and disposition");
static_assert(Same(kIoctlScsiMiniport, IOCTL_SCSI_MINIPORT) &&
                  Same(kIoctlScsiGetAddress, IOCTL_SCSI_GET_ADDRESS) &&
                  Same(kIoctlDiskGetDriveGeometry,
                       IOCTL_DISK_GET_DRIVE_GEOMETRY),
              "I/O control codes");
static_assert(Same(kErrorAccessDenied, ERROR_ACCESS_DENIED) &&
                  Same(kErrorDiskFull, ERROR_DISK_FULL) &&
                  Same(kErrorInsufficientBuffer, ERROR_INSUFFICIENT_BUFFER),
              "error numbers");
static_assert(Same(kStdOutputHandle, STD_OUTPUT_HANDLE) &&
                  Same(kStdErrorHandle, STD_ERROR_HANDLE),
              "standard handles");
static_assert(Same(kFileTypeChar, FILE_TYPE_CHAR), "file types");
static_assert(Same(kCpAcp, CP_ACP), "code pages");
static_assert(Same(kFileAttributeDirectory, FILE_ATTRIBUTE_DIRECTORY),
              "file attributes");
static_assert(kSwShow == SW_SHOW, "show command");
static_assert(Same(kVerPlatformWin32Nt, VER_PLATFORM_WIN32_NT), "platform id");
static_assert(Same(kMemImage, MEM_IMAGE), "module look-up");
static_assert(kOsVersionInfoSize == sizeof(OSVERSIONINFOA),
              "OSVERSIONINFOA size");
static_assert(sizeof(FindData::cFileName) ==
                  sizeof(WIN32_FIND_DATAA::cFileName),
              "cFileName");
static_assert(sizeof(FindData::cAlternateFileName) ==
                  sizeof(WIN32_FIND_DATAA::cAlternateFileName),
              "cAlternateFileName");
static_assert(sizeof(OsVersionInfo::szCSDVersion) ==
                  sizeof(OSVERSIONINFOA::szCSDVersion),
              "szCSDVersion");
static_assert(sizeof(std::uint16_t) == sizeof(WCHAR), "UTF-16 units");
// So the length the tool gives for the mirror is right for the record.
static_assert(sizeof(MemoryBasicInformation) ==
                  sizeof(MEMORY_BASIC_INFORMATION),
              "MEMORY_BASIC_INFORMATION size");

template <typename WinHandle>
WinHandle ToWin(Handle handle) {
  return reinterpret_cast<WinHandle>(handle);
}

template <typename WinHandle>
Handle FromWin(WinHandle handle) {
  return reinterpret_cast<Handle>(handle);
}

FILETIME ToFiletime(const FileTime& time) {
  FILETIME result;
  result.dwLowDateTime = time.dwLowDateTime;
  result.dwHighDateTime = time.dwHighDateTime;
  return result;
}

FileTime FromFiletime(const FILETIME& time) {
  FileTime result;
  result.dwLowDateTime = time.dwLowDateTime;
  result.dwHighDateTime = time.dwHighDateTime;
  return result;
}

class Win32Backend final : public Platform {
 public:
  Handle CreateFileA(const char* name, std::uint32_t desired_access,
                     std::uint32_t share_mode,
                     std::uint32_t creation_disposition,
                     std::uint32_t flags_and_attributes) override {
    return FromWin(::CreateFileA(name, desired_access, share_mode, nullptr,
                                 creation_disposition, flags_and_attributes,
                                 nullptr));
  }

  bool DeviceIoControl(Handle device, std::uint32_t code, void* in,
                       std::uint32_t in_size, void* out, std::uint32_t out_size,
                       std::uint32_t* bytes_returned) override {
    DWORD returned = 0;
    const BOOL ok = ::DeviceIoControl(ToWin<HANDLE>(device), code, in, in_size,
                                      out, out_size, &returned, nullptr);
    if (bytes_returned != nullptr) *bytes_returned = returned;
    return ok != FALSE;
  }

  bool CloseHandle(Handle handle) override {
    return ::CloseHandle(ToWin<HANDLE>(handle)) != FALSE;
  }

  std::uint32_t GetLastError() override { return ::GetLastError(); }

  std::uint32_t QueryDosDeviceA(const char* device_name, char* target_path,
                                std::uint32_t max_chars) override {
    return ::QueryDosDeviceA(device_name, target_path, max_chars);
  }

  bool GetVersionExA(OsVersionInfo* info) override {
    // Copied in and out whole, so a failed call leaves the record as it was.
    OSVERSIONINFOA version;
    version.dwOSVersionInfoSize = info->dwOSVersionInfoSize;
    version.dwMajorVersion = info->dwMajorVersion;
    version.dwMinorVersion = info->dwMinorVersion;
    version.dwBuildNumber = info->dwBuildNumber;
    version.dwPlatformId = info->dwPlatformId;
    std::memcpy(version.szCSDVersion, info->szCSDVersion,
                sizeof(version.szCSDVersion));
// GetVersionExA is declared deprecated in favour of the version helpers; the
// tool needs the platform id, which only this call reports.
#if defined(_MSC_VER)
#pragma warning(push)
#pragma warning(disable : 4996)
#elif defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
    const BOOL ok = ::GetVersionExA(&version);
#if defined(_MSC_VER)
#pragma warning(pop)
#elif defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
    info->dwOSVersionInfoSize = version.dwOSVersionInfoSize;
    info->dwMajorVersion = version.dwMajorVersion;
    info->dwMinorVersion = version.dwMinorVersion;
    info->dwBuildNumber = version.dwBuildNumber;
    info->dwPlatformId = version.dwPlatformId;
    std::memcpy(info->szCSDVersion, version.szCSDVersion,
                sizeof(info->szCSDVersion));
    return ok != FALSE;
  }

  int MultiByteToWideChar(std::uint32_t code_page, std::uint32_t flags,
                          const char* multi_byte, int multi_byte_len,
                          std::uint16_t* wide, int wide_len) override {
    return ::MultiByteToWideChar(code_page, flags, multi_byte, multi_byte_len,
                                 reinterpret_cast<WCHAR*>(wide), wide_len);
  }

  int WideCharToMultiByte(std::uint32_t code_page, std::uint32_t flags,
                          const std::uint16_t* wide, int wide_len,
                          char* multi_byte, int multi_byte_len) override {
    return ::WideCharToMultiByte(code_page, flags,
                                 reinterpret_cast<const WCHAR*>(wide), wide_len,
                                 multi_byte, multi_byte_len, nullptr, nullptr);
  }

  const char* GetCommandLineA() override { return ::GetCommandLineA(); }

  Handle FindFirstFileA(const char* file_name, FindData* data) override {
    WIN32_FIND_DATAA found;
    std::memset(&found, 0, sizeof(found));
    const HANDLE find = ::FindFirstFileA(file_name, &found);
    data->dwFileAttributes = found.dwFileAttributes;
    data->ftCreationTime = FromFiletime(found.ftCreationTime);
    data->ftLastAccessTime = FromFiletime(found.ftLastAccessTime);
    data->ftLastWriteTime = FromFiletime(found.ftLastWriteTime);
    data->nFileSizeHigh = found.nFileSizeHigh;
    data->nFileSizeLow = found.nFileSizeLow;
    std::memcpy(data->cFileName, found.cFileName, sizeof(data->cFileName));
    std::memcpy(data->cAlternateFileName, found.cAlternateFileName,
                sizeof(data->cAlternateFileName));
    return FromWin(find);
  }

  bool FindClose(Handle find) override {
    return ::FindClose(ToWin<HANDLE>(find)) != FALSE;
  }

  bool FileTimeToLocalFileTime(const FileTime* file_time,
                               FileTime* local_file_time) override {
    const FILETIME utc = ToFiletime(*file_time);
    FILETIME local = {0, 0};
    const BOOL ok = ::FileTimeToLocalFileTime(&utc, &local);
    *local_file_time = FromFiletime(local);
    return ok != FALSE;
  }

  bool FileTimeToDosDateTime(const FileTime* file_time, std::uint16_t* fat_date,
                             std::uint16_t* fat_time) override {
    const FILETIME time = ToFiletime(*file_time);
    WORD date = 0;
    WORD clock = 0;
    const BOOL ok = ::FileTimeToDosDateTime(&time, &date, &clock);
    *fat_date = date;
    *fat_time = clock;
    return ok != FALSE;
  }

  Handle GetStdHandle(std::uint32_t std_handle) override {
    return FromWin(::GetStdHandle(std_handle));
  }

  std::uint32_t GetFileType(Handle file) override {
    return ::GetFileType(ToWin<HANDLE>(file));
  }

  bool WriteFile(Handle file, const void* buffer, std::uint32_t bytes_to_write,
                 std::uint32_t* bytes_written) override {
    DWORD written = 0;
    const BOOL ok = ::WriteFile(ToWin<HANDLE>(file), buffer, bytes_to_write,
                                &written, nullptr);
    if (bytes_written != nullptr) *bytes_written = written;
    return ok != FALSE;
  }

  std::size_t VirtualQuery(const void* address, MemoryBasicInformation* buffer,
                           std::size_t length) override {
    MEMORY_BASIC_INFORMATION region;
    std::memset(&region, 0, sizeof(region));
    // Windows writes one record at most; a longer length says no more.
    const SIZE_T written = ::VirtualQuery(
        address, &region, length < sizeof(region) ? length : sizeof(region));
    buffer->BaseAddress = region.BaseAddress;
    buffer->AllocationBase = region.AllocationBase;
    buffer->AllocationProtect = region.AllocationProtect;
    buffer->RegionSize = region.RegionSize;
    buffer->State = region.State;
    buffer->Protect = region.Protect;
    buffer->Type = region.Type;
    return written;
  }

  std::uint32_t GetModuleFileNameA(Handle module, char* file_name,
                                   std::uint32_t size) override {
    return ::GetModuleFileNameA(ToWin<HMODULE>(module), file_name, size);
  }

  // user32 and shell32 are bound on first use: loading them costs a run
  // more than most commands do, and most runs never call them. Each
  // unbound function answers as failing; CharNextA, which cannot fail,
  // answers nullptr, with the binding's error as the last error each time.
  const char* CharNextA(const char* current) override {
    static DWORD bind_error = 0;
    static const auto char_next = [] {
      auto bound = Bind<decltype(&::CharNextA)>("user32.dll", "CharNextA");
      if (bound == nullptr) bind_error = ::GetLastError();
      return bound;
    }();
    if (char_next == nullptr) {
      ::SetLastError(bind_error);
      return nullptr;
    }
    return char_next(current);
  }

  bool CharToOemA(const char* source, char* destination) override {
    static const auto char_to_oem =
        Bind<decltype(&::CharToOemA)>("user32.dll", "CharToOemA");
    return char_to_oem != nullptr && char_to_oem(source, destination) != FALSE;
  }

  std::uintptr_t ShellExecuteA(Handle window, const char* operation,
                               const char* file, const char* parameters,
                               const char* directory,
                               int show_command) override {
    static const auto shell_execute =
        Bind<decltype(&::ShellExecuteA)>("shell32.dll", "ShellExecuteA");
    if (shell_execute == nullptr) return SE_ERR_DLLNOTFOUND;
    return reinterpret_cast<std::uintptr_t>(
        shell_execute(ToWin<HWND>(window), operation, file, parameters,
                      directory, show_command));
  }

 private:
  // A system DLL's function, loaded for the rest of the run.
  template <typename Function>
  static Function Bind(const char* library, const char* name) {
    HMODULE module = ::LoadLibraryA(library);
    if (module == nullptr) return nullptr;
    // Through void (*)(): GetProcAddress's type says nothing of the real one.
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
  }
};

}  // namespace

Platform& Win32Platform() {
  static Win32Backend platform;
  return platform;
}

}  // namespace dorvane
