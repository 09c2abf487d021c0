// Host files and their times: FindFirstFileA, FindClose,
// FileTimeToLocalFileTime, FileTimeToDosDateTime.
#include <algorithm>
#include <cstring>

#include "simulator/call_records.h"
#include "simulator/file_time.h"
#include "simulator/host_files.h"
#include "simulator/sim_platform.h"

namespace dorvane::sim {
namespace {

constexpr std::uint32_t kFileAttributeArchive = 0x20;

FileTime ToFileTime(std::uint64_t value) {
  FileTime time;
  time.dwLowDateTime = static_cast<std::uint32_t>(value);
  time.dwHighDateTime = static_cast<std::uint32_t>(value >> 32);
  return time;
}

std::uint64_t FromFileTime(const FileTime& time) {
  return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

}  // namespace

Handle SimPlatform::FindFirstFileA(const char* file_name, FindData* data) {
  CallRecord record = Record("FindFirstFileA");
  record.text = TextOf(file_name);
  if (Begin(std::move(record))) return kInvalidHandle;
  std::string name = TextOf(file_name);
  if (data == nullptr) {
    Failed(kErrorInvalidParameter);
    return kInvalidHandle;
  }
  // Plain names only: the simulated machine matches no wildcards.
  HostFileInfo info;
  std::uint32_t error =
      name.empty() || name.find_first_of("*?") != std::string::npos
          ? kErrorFileNotFound
          : StatHostFile(ResolveHostPath(current_directory_, name), &info);
  if (error != 0) {
    Failed(error);
    return kInvalidHandle;
  }
  *data = FindData{};
  data->dwFileAttributes =
      info.directory ? kFileAttributeDirectory : kFileAttributeArchive;
  data->ftCreationTime = ToFileTime(info.write_time);
  data->ftLastAccessTime = ToFileTime(info.access_time);
  data->ftLastWriteTime = ToFileTime(info.write_time);
  data->nFileSizeHigh = static_cast<std::uint32_t>(info.size >> 32);
  data->nFileSizeLow = static_cast<std::uint32_t>(info.size);
  std::size_t slash = name.find_last_of("\\/");
  std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
  base.resize(std::min(base.size(), sizeof data->cFileName - 1));
  std::memcpy(data->cFileName, base.c_str(), base.size() + 1);
  OpenObject object;
  object.find = true;
  object.path = name;
  Succeed();
  return AddHandle(std::move(object));
}

bool SimPlatform::FindClose(Handle find) {
  if (Begin(Record("FindClose", static_cast<std::uint32_t>(find)))) {
    return false;
  }
  auto it = handles_.find(find);
  if (it == handles_.end() || !it->second.find) {
    Failed(kErrorInvalidHandle);
    return false;
  }
  handles_.erase(it);
  Succeed();
  return true;
}

bool SimPlatform::FileTimeToLocalFileTime(const FileTime* file_time,
                                          FileTime* local_file_time) {
  CallRecord record = Record("FileTimeToLocalFileTime");
  if (file_time != nullptr) {
    record.a = file_time->dwLowDateTime;
    record.b = file_time->dwHighDateTime;
  }
  if (Begin(std::move(record))) return false;
  if (file_time == nullptr || local_file_time == nullptr) {
    Failed(kErrorInvalidParameter);
    return false;
  }
  // The simulated machine's clock runs on UTC.
  *local_file_time = *file_time;
  Succeed();
  return true;
}

bool SimPlatform::FileTimeToDosDateTime(const FileTime* file_time,
                                        std::uint16_t* fat_date,
                                        std::uint16_t* fat_time) {
  CallRecord record = Record("FileTimeToDosDateTime");
  if (file_time != nullptr) {
    record.a = file_time->dwLowDateTime;
    record.b = file_time->dwHighDateTime;
  }
  if (Begin(std::move(record))) return false;
  if (file_time == nullptr || fat_date == nullptr || fat_time == nullptr ||
      !FileTimeToDos(FromFileTime(*file_time), fat_date, fat_time)) {
    Failed(kErrorInvalidParameter);
    return false;
  }
  Succeed();
  return true;
}

}  // namespace dorvane::sim
