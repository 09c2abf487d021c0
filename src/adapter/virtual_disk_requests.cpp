#include "adapter/virtual_disk_requests.h"

#include <algorithm>

#include "runtime/format.h"

namespace dorvane {
namespace {

// FileName holds at most 255 units of text before its zero unit.
constexpr int kMaxNameUnits = static_cast<int>(kFileNameUnits) - 1;

// The error for an exchange that failed; none for one that worked.
Error ExchangeFailure(const ExchangeResult& result,
                      const char* request_failed) {
  switch (result.status) {
    case ExchangeStatus::kOpenFailed:
      return MakeException("createfile failed");
    case ExchangeStatus::kRequestFailed:
      return MakeException(request_failed + FormatUnsigned(result.error));
    case ExchangeStatus::kOk:
      break;
  }
  return Error();
}

constexpr char kNtPrefix[] = "\\??\\";
constexpr int kNtPrefixLength = sizeof kNtPrefix - 1;

bool NeedsNtPrefix(const std::string& name) {
  return !name.empty() && name.find("BaseNamedObjects") == std::string::npos;
}

// The prepared name in UTF-16, into config, without building it as 8-bit
// text first: the prefix is plain ASCII. The unit count, not the byte count,
// sets FileNameLength, so that a multi-byte code page never claims more than
// was converted. The name's bytes come from GetCommandLineA, so they are in
// the system's ANSI code page (CP_ACP), whatever the thread's locale says.
Error ConvertFileName(Platform& platform, const std::string& name,
                      DeviceConfig* config) {
  if (name.empty()) return Error();
  int prefix = 0;
  if (NeedsNtPrefix(name)) {
    for (; prefix < kNtPrefixLength; ++prefix) {
      config->FileName[prefix] = static_cast<std::uint8_t>(kNtPrefix[prefix]);
    }
  }
  const int bytes = static_cast<int>(name.size());
  // The whole field is one unit more than the longest name: filling it tells
  // a name that is too long.
  const int room = static_cast<int>(kFileNameUnits) - prefix;
  const int limit = std::min(bytes, room);
  int units = platform.MultiByteToWideChar(kCpAcp, 0, name.data(), bytes,
                                           config->FileName + prefix, limit);
  if (units == 0) {
    // Only a name that may need more units than the room can overflow it;
    // any other failure must not send a cut name to the driver.
    const std::uint32_t error = platform.GetLastError();
    if (error != kErrorInsufficientBuffer || limit < room) {
      return MakeException("MultiByteToWideChar failed:" +
                           FormatUnsigned(error));
    }
    units = room;
  }
  units += prefix;
  if (units > kMaxNameUnits) return MakeException("file name too long");
  // The record came zeroed, so the name already ends in a zero unit.
  config->FileNameLength = static_cast<std::uint16_t>(2 * units);
  return Error();
}

}  // namespace

Expected<std::uint32_t> AddVirtualDisk(Platform& platform,
                                       const std::string& adapter_path,
                                       const std::string& name,
                                       std::uint32_t flags,
                                       std::int64_t disk_size) {
  DeviceConfig config;
  config.DeviceNumber = AllDevices;
  config.DiskSize = disk_size;
  config.Flags = flags;
  if (Error error = ConvertFileName(platform, name, &config)) {
    return error;
  }
  std::uint8_t request[kDeviceRequestSize];
  StartRequest(request, sizeof request, CtlCreateDevice);
  EncodeDeviceConfig(config, request);
  ExchangeResult result =
      Exchange(platform, adapter_path, request, sizeof request);
  if (Error error = ExchangeFailure(result, "DeviceIoControl failed:")) {
    return error;
  }
  return GetU32(request + kHeaderSize);
}

Expected<bool> QueryVirtualDisk(Platform& platform,
                                const std::string& adapter_path,
                                std::uint32_t device_number,
                                DeviceConfig* config) {
  *config = DeviceConfig();
  std::uint8_t request[kDeviceRequestSize];
  StartRequest(request, sizeof request, CtlQueryDevice);
  PutU32(request + kHeaderSize, device_number);
  ExchangeResult result =
      Exchange(platform, adapter_path, request, sizeof request);
  if (Error error = ExchangeFailure(result, "failed:")) return error;
  if (result.bytes_returned <= kHeaderSize) return false;
  DecodeDeviceConfig(request, config);
  return true;
}

Error RemoveVirtualDisk(Platform& platform, const std::string& adapter_path,
                        std::uint32_t device_number) {
  std::uint8_t request[kRemoveRequestSize];
  StartRequest(request, sizeof request, CtlRemoveDevice);
  PutU32(request + kHeaderSize, device_number);
  ExchangeResult result =
      Exchange(platform, adapter_path, request, sizeof request);
  return ExchangeFailure(result, "DeviceIoControl failed:");
}

}  // namespace dorvane
