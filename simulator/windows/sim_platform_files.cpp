// Host files and their times: FindFirstFileA, FindClose,
// FileTimeToLocalFileTime, FileTimeToDosDateTime. The tool looks up one
// plain name in its current directory and reads only the attributes and the
// last-write time of what it finds.
#include <cstring>

#include "simulator/windows/host_files.h"
#include "simulator/windows/not_simulated.h"
#include "simulator/windows/sim_platform.h"
#include "simulator/windows/windows_values.h"

namespace dorvane::sim {
namespace {

// The FILETIMEs of 1980-01-01 and 2108-01-01, 00:00 UTC: a DOS date holds
// the times from the one up to the other.
constexpr std::uint64_t kFirstDosTime = 119600064000000000;
constexpr std::uint64_t kEndOfDosTimes = 159992928000000000;

}  // namespace

Handle SimPlatform::FindFirstFileA(const char* file_name, FindData* data) {
  const char* name = file_name != nullptr ? file_name : "";
  if (data == nullptr || *name == '\0' ||
      std::strpbrk(name, "*?\\/:") != nullptr) {
    NotSimulated("FindFirstFileA of \"%s\", not a plain name", name);
  }
  if (Begin(Record("FindFirstFileA"))) return kInvalidHandle;
  HostFileInfo info;
  const std::uint32_t error = StatHostFile(
      current_directory_.empty() ? name : current_directory_ + "/" + name,
      &info);
  if (error != 0) {
    Failed(error);
    return kInvalidHandle;
  }
  *data = FindData{};
  data->dwFileAttributes =
      info.directory ? kFileAttributeDirectory : kFileAttributeArchive;
  data->ftLastWriteTime.dwLowDateTime =
      static_cast<std::uint32_t>(info.write_time);
  data->ftLastWriteTime.dwHighDateTime =
      static_cast<std::uint32_t>(info.write_time >> 32);
  Succeed();
  return AddHandle(OpenObject{true, "", 0});
}

bool SimPlatform::FindClose(Handle find) {
  auto it = OpenHandle("FindClose", find, true);
  if (Begin(Record("FindClose"))) return false;
  handles_.erase(it);
  Succeed();
  return true;
}

bool SimPlatform::FileTimeToLocalFileTime(const FileTime* file_time,
                                          FileTime* local_file_time) {
  if (file_time == nullptr || local_file_time == nullptr) {
    NotSimulated("FileTimeToLocalFileTime without both times");
  }
  if (Begin(Record("FileTimeToLocalFileTime"))) return false;
  // The simulated machine's clock runs on UTC.
  *local_file_time = *file_time;
  Succeed();
  return true;
}

bool SimPlatform::FileTimeToDosDateTime(const FileTime* file_time,
                                        std::uint16_t* fat_date,
                                        std::uint16_t* fat_time) {
  if (file_time == nullptr || fat_date == nullptr || fat_time == nullptr) {
    NotSimulated("FileTimeToDosDateTime without the time, date and clock");
  }
  if (Begin(Record("FileTimeToDosDateTime"))) return false;
  // The tool reads only whether the conversion succeeds, so the date and
  // the time of day are not worked out.
  const std::uint64_t time = (std::uint64_t{file_time->dwHighDateTime} << 32) |
                             file_time->dwLowDateTime;
  if (time < kFirstDosTime || time >= kEndOfDosTimes) {
    Failed(kErrorInvalidParameter);
    return false;
  }
  Succeed();
  return true;
}

}  // namespace dorvane::sim
