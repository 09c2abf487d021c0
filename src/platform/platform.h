// The platform seam: the Windows calls the tool makes, with their Win32
// arguments, results and last-error behaviour. The Win32 backend passes each
// straight through; the simulated machine implements them for tests and for
// the host build. Nothing here includes <windows.h>.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dorvane {

// HANDLE, HMODULE and find handles, as an integer wide enough for a pointer.
using Handle = std::uintptr_t;
constexpr Handle kInvalidHandle = ~Handle{0};  // INVALID_HANDLE_VALUE

// Access, sharing and disposition for CreateFileA.
constexpr std::uint32_t kGenericRead = 0x80000000u;
constexpr std::uint32_t kGenericWrite = 0x40000000u;
constexpr std::uint32_t kFileShareRead = 1;
constexpr std::uint32_t kFileShareWrite = 2;
constexpr std::uint32_t kOpenExisting = 3;

// I/O control codes.
constexpr std::uint32_t kIoctlScsiMiniport = 0x0004D008u;
constexpr std::uint32_t kIoctlScsiGetAddress = 0x00041018u;
constexpr std::uint32_t kIoctlDiskGetDriveGeometry = 0x00070000u;

// Windows error numbers the tool names.
constexpr std::uint32_t kErrorAccessDenied = 5;
constexpr std::uint32_t kErrorDiskFull = 112;
constexpr std::uint32_t kErrorInsufficientBuffer = 122;

// GetStdHandle, GetFileType.
constexpr std::uint32_t kStdOutputHandle = static_cast<std::uint32_t>(-11);
constexpr std::uint32_t kStdErrorHandle = static_cast<std::uint32_t>(-12);
constexpr std::uint32_t kFileTypeChar = 2;

// Code pages, file attributes, shell, version, module look-up.
constexpr std::uint32_t kCpAcp = 0;
constexpr std::uint32_t kFileAttributeDirectory = 0x10;
constexpr int kSwShow = 5;
constexpr std::uint32_t kVerPlatformWin32Nt = 2;
constexpr std::uint32_t kMemImage = 0x1000000;  // a region of a loaded module

struct FileTime {
  std::uint32_t dwLowDateTime = 0;
  std::uint32_t dwHighDateTime = 0;
};

// WIN32_FIND_DATAA.
struct FindData {
  std::uint32_t dwFileAttributes = 0;
  FileTime ftCreationTime;
  FileTime ftLastAccessTime;
  FileTime ftLastWriteTime;
  std::uint32_t nFileSizeHigh = 0;
  std::uint32_t nFileSizeLow = 0;
  char cFileName[260] = {};
  char cAlternateFileName[14] = {};
};

// OSVERSIONINFOA; its size as Windows counts it is 148.
struct OsVersionInfo {
  std::uint32_t dwOSVersionInfoSize = 0;
  std::uint32_t dwMajorVersion = 0;
  std::uint32_t dwMinorVersion = 0;
  std::uint32_t dwBuildNumber = 0;
  std::uint32_t dwPlatformId = 0;
  char szCSDVersion[128] = {};
};
constexpr std::uint32_t kOsVersionInfoSize = 148;

// MEMORY_BASIC_INFORMATION. For an image region, AllocationBase is the
// module's load address, its HMODULE.
struct MemoryBasicInformation {
  void* BaseAddress = nullptr;
  void* AllocationBase = nullptr;
  std::uint32_t AllocationProtect = 0;
  std::size_t RegionSize = 0;
  std::uint32_t State = 0;
  std::uint32_t Protect = 0;
  std::uint32_t Type = 0;
};

class Platform {
 public:
  virtual ~Platform() = default;

  // kernel32. Every call that fails sets the value GetLastError returns;
  // calls that succeed leave it as Windows does (unspecified).
  // CreateFileA always without security attributes and template.
  virtual Handle CreateFileA(const char* name, std::uint32_t desired_access,
                             std::uint32_t share_mode,
                             std::uint32_t creation_disposition,
                             std::uint32_t flags_and_attributes) = 0;
  // Always synchronous (no OVERLAPPED).
  virtual bool DeviceIoControl(Handle device, std::uint32_t code, void* in,
                               std::uint32_t in_size, void* out,
                               std::uint32_t out_size,
                               std::uint32_t* bytes_returned) = 0;
  virtual bool CloseHandle(Handle handle) = 0;
  virtual std::uint32_t GetLastError() = 0;
  virtual std::uint32_t QueryDosDeviceA(const char* device_name,
                                        char* target_path,
                                        std::uint32_t max_chars) = 0;
  virtual bool GetVersionExA(OsVersionInfo* info) = 0;
  virtual int MultiByteToWideChar(std::uint32_t code_page, std::uint32_t flags,
                                  const char* multi_byte, int multi_byte_len,
                                  std::uint16_t* wide, int wide_len) = 0;
  // Always with the system's default replacement character.
  virtual int WideCharToMultiByte(std::uint32_t code_page, std::uint32_t flags,
                                  const std::uint16_t* wide, int wide_len,
                                  char* multi_byte, int multi_byte_len) = 0;
  virtual const char* GetCommandLineA() = 0;
  virtual Handle FindFirstFileA(const char* file_name, FindData* data) = 0;
  virtual bool FindClose(Handle find) = 0;
  virtual bool FileTimeToLocalFileTime(const FileTime* file_time,
                                       FileTime* local_file_time) = 0;
  virtual bool FileTimeToDosDateTime(const FileTime* file_time,
                                     std::uint16_t* fat_date,
                                     std::uint16_t* fat_time) = 0;
  virtual Handle GetStdHandle(std::uint32_t std_handle) = 0;
  virtual std::uint32_t GetFileType(Handle file) = 0;
  virtual bool WriteFile(Handle file, const void* buffer,
                         std::uint32_t bytes_to_write,
                         std::uint32_t* bytes_written) = 0;
  // The result is the number of bytes written to the buffer, 0 on failure.
  virtual std::size_t VirtualQuery(const void* address,
                                   MemoryBasicInformation* buffer,
                                   std::size_t length) = 0;
  virtual std::uint32_t GetModuleFileNameA(Handle module, char* file_name,
                                           std::uint32_t size) = 0;

  // user32, bound on first use. CharNextA gives nullptr when user32.dll
  // cannot be loaded, GetLastError then telling why; CharToOemA fails.
  virtual const char* CharNextA(const char* current) = 0;
  virtual bool CharToOemA(const char* source, char* destination) = 0;

  // shell32. The result is the HINSTANCE value as an unsigned number.
  virtual std::uintptr_t ShellExecuteA(Handle window, const char* operation,
                                       const char* file, const char* parameters,
                                       const char* directory,
                                       int show_command) = 0;
};

}  // namespace dorvane
