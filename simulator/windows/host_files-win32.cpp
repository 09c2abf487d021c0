// The host's answers on Windows: its own file system and modules.
#include <windows.h>

#include <cctype>

#include "simulator/windows/host_files.h"

namespace dorvane::sim {

const char kHostNullDevice[] = "NUL";

std::uint32_t HostPathOnDriveZ(const std::vector<std::string>& parts,
                               std::string* path) {
  // Z:\ itself lists the drives; the current drive's root stands for it,
  // as a folder.
  if (parts.empty()) {
    *path = "\\";
    return 0;
  }
  const std::string& drive = parts[0];
  if (drive.size() != 1 ||
      !std::isalpha(static_cast<unsigned char>(drive[0]))) {
    return parts.size() == 1 ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
  }
  *path = drive + ":\\";
  for (std::size_t i = 1; i < parts.size(); ++i) {
    if (i > 1) *path += '\\';
    *path += parts[i];
  }
  return 0;
}

std::string DriveZName(const std::string& host_path) {
  if (host_path.size() < 2 || host_path[1] != ':') return std::string();
  std::string name = "Z:\\" + host_path.substr(0, 1) + host_path.substr(2);
  for (char& c : name) {
    if (c == '/') c = '\\';
  }
  // A drive's root keeps no backslash of its own at the end.
  if (name.size() > 4 && name.back() == '\\') name.pop_back();
  return name;
}

std::uint32_t StatHostFile(const std::string& path, HostFileInfo* info) {
  if (path.empty()) return ERROR_FILE_NOT_FOUND;
  // The null device answers as stat() shows it on POSIX: a file of no bytes.
  if (lstrcmpiA(path.c_str(), kHostNullDevice) == 0) {
    *info = HostFileInfo();
    return 0;
  }
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
    return GetLastError();
  }
  info->directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  info->size = info->directory ? 0
                               : (std::uint64_t{data.nFileSizeHigh} << 32) |
                                     data.nFileSizeLow;
  info->write_time =
      (std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) |
      data.ftLastWriteTime.dwLowDateTime;
  return 0;
}

std::string MakeHostScratchFolder() {
  char temp[MAX_PATH + 1];
  const DWORD length = GetTempPathA(sizeof temp, temp);
  if (length == 0 || length >= sizeof temp) return std::string();
  // A name no other run holds: this process's number and a count.
  for (unsigned count = 0; count < 1000; ++count) {
    const std::string folder = std::string(temp, length) + "dorvane-test-" +
                               std::to_string(GetCurrentProcessId()) + "-" +
                               std::to_string(count);
    if (CreateDirectoryA(folder.c_str(), nullptr)) return folder;
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  return std::string();
}

bool HostModuleBase(const void* address, std::uintptr_t* base) {
  HMODULE module = nullptr;
  if (address == nullptr ||
      !GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                              GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          static_cast<LPCSTR>(address), &module)) {
    return false;
  }
  *base = reinterpret_cast<std::uintptr_t>(module);
  return true;
}

}  // namespace dorvane::sim
