// The standard handles: GetStdHandle, GetFileType, WriteFile.
#include "simulator/call_records.h"
#include "simulator/sim_platform.h"

namespace dorvane::sim {
namespace {

constexpr std::uint32_t kStdInputHandle = static_cast<std::uint32_t>(-10);

}  // namespace

Handle SimPlatform::GetStdHandle(std::uint32_t std_handle) {
  if (Begin(Record("GetStdHandle", std_handle))) return kInvalidHandle;
  Handle handle = kInvalidHandle;
  if (std_handle == kStdInputHandle) handle = kSimStdInput;
  if (std_handle == kStdOutputHandle) handle = kSimStdOutput;
  if (std_handle == kStdErrorHandle) handle = kSimStdError;
  if (handle == kInvalidHandle) {
    Failed(kErrorInvalidHandle);
  } else {
    Succeed();
  }
  return handle;
}

std::uint32_t SimPlatform::GetFileType(Handle file) {
  if (Begin(Record("GetFileType", static_cast<std::uint32_t>(file)))) {
    return kFileTypeUnknown;
  }
  std::uint32_t type = kFileTypeUnknown;
  if (SimStream* stream = StreamOf(file)) {
    type = stream->IsConsole() ? kFileTypeChar : kFileTypePipe;
  } else if (file == kSimStdInput) {
    type = kFileTypeChar;
  } else {
    auto it = handles_.find(file);
    if (it != handles_.end() && !it->second.find) type = kFileTypeDisk;
  }
  if (type == kFileTypeUnknown) {
    Failed(kErrorInvalidHandle);
  } else {
    Succeed();
  }
  return type;
}

bool SimPlatform::WriteFile(Handle file, const void* buffer,
                            std::uint32_t bytes_to_write,
                            std::uint32_t* bytes_written) {
  CallRecord record =
      Record("WriteFile", static_cast<std::uint32_t>(file), bytes_to_write);
  if (buffer != nullptr) {
    record.text.assign(static_cast<const char*>(buffer), bytes_to_write);
  }
  if (bytes_written != nullptr) *bytes_written = 0;
  if (Begin(std::move(record))) return false;
  SimStream* stream = StreamOf(file);
  if (stream == nullptr) {
    Failed(kErrorInvalidHandle);
    return false;
  }
  if (buffer == nullptr && bytes_to_write > 0) {
    Failed(kErrorInvalidParameter);
    return false;
  }
  std::uint32_t written = 0;
  std::uint32_t error = 0;
  bool ok = stream->Write(buffer, bytes_to_write, &written, &error);
  if (bytes_written != nullptr) *bytes_written = written;
  if (!ok) {
    Failed(error);
    return false;
  }
  Succeed();
  return true;
}

}  // namespace dorvane::sim
