// The standard handles: GetStdHandle, GetFileType, WriteFile. The tool asks
// for standard output and standard error only, and uses what it is given:
// one of those, or INVALID_HANDLE_VALUE when the request failed.
#include "simulator/windows/not_simulated.h"
#include "simulator/windows/sim_platform.h"
#include "simulator/windows/windows_values.h"

namespace dorvane::sim {

Handle SimPlatform::GetStdHandle(std::uint32_t std_handle) {
  if (std_handle != kStdOutputHandle && std_handle != kStdErrorHandle) {
    NotSimulated("GetStdHandle of %d", static_cast<int>(std_handle));
  }
  if (Begin(Record("GetStdHandle", std_handle))) return kInvalidHandle;
  Succeed();
  return std_handle == kStdOutputHandle ? kSimStdOutput : kSimStdError;
}

SimStream* SimPlatform::StandardStream(const char* call, Handle handle) {
  if (handle == kSimStdOutput) return out_;
  if (handle == kSimStdError) return err_;
  if (handle != kInvalidHandle) {
    NotSimulated("%s of handle 0x%zX, not a standard one", call,
                 static_cast<std::size_t>(handle));
  }
  return nullptr;
}

std::uint32_t SimPlatform::GetFileType(Handle file) {
  SimStream* stream = StandardStream("GetFileType", file);
  if (Begin(Record("GetFileType"))) return kFileTypeUnknown;
  if (stream == nullptr) {
    Failed(kErrorInvalidHandle);
    return kFileTypeUnknown;
  }
  Succeed();
  return stream->FileType();
}

bool SimPlatform::WriteFile(Handle file, const void* buffer,
                            std::uint32_t bytes_to_write,
                            std::uint32_t* bytes_written) {
  SimStream* stream = StandardStream("WriteFile", file);
  if (buffer == nullptr || bytes_to_write == 0 || bytes_written == nullptr) {
    NotSimulated("WriteFile of %u bytes from %p, count to %p", bytes_to_write,
                 buffer, static_cast<void*>(bytes_written));
  }
  CallRecord record = Record("WriteFile");
  record.text.assign(static_cast<const char*>(buffer), bytes_to_write);
  *bytes_written = 0;
  if (Begin(std::move(record))) return false;
  if (stream == nullptr) {
    Failed(kErrorInvalidHandle);
    return false;
  }
  std::uint32_t error = 0;
  if (!stream->Write(buffer, bytes_to_write, bytes_written, &error)) {
    Failed(error);
    return false;
  }
  Succeed();
  return true;
}

}  // namespace dorvane::sim
