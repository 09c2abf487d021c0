#include "adapter/control_messages.h"

#include <cstring>

namespace dorvane {
namespace {

constexpr char kSignature[8] = {'P', 'h', 'D', 's', 'k', 'M', 'n', 't'};
constexpr std::uint32_t kTimeoutSeconds = 2;

// Payload offsets of DeviceConfig, from the start of the request buffer.
constexpr std::size_t kDeviceNumberAt = 28;
constexpr std::size_t kDiskSizeAt = 32;
constexpr std::size_t kBytesPerSectorAt = 40;
constexpr std::size_t kImageOffsetAt = 48;
constexpr std::size_t kFlagsAt = 56;
constexpr std::size_t kFileNameLengthAt = 60;
constexpr std::size_t kFileNameAt = 62;

}  // namespace

void StartRequest(std::uint8_t* buffer, std::size_t size,
                  std::uint32_t control_code) {
  std::memset(buffer, 0, size);
  PutU32(buffer, static_cast<std::uint32_t>(kHeaderSize));
  std::memcpy(buffer + 4, kSignature, sizeof kSignature);
  PutU32(buffer + 12, kTimeoutSeconds);
  PutU32(buffer + 16, control_code);
  PutU32(buffer + 20, 0);  // ReturnCode
  PutU32(buffer + 24, static_cast<std::uint32_t>(size - kHeaderSize));
}

void EncodeDeviceConfig(const DeviceConfig& config, std::uint8_t* buffer) {
  PutU32(buffer + kDeviceNumberAt, config.DeviceNumber);
  PutU64(buffer + kDiskSizeAt, static_cast<std::uint64_t>(config.DiskSize));
  PutU32(buffer + kBytesPerSectorAt, config.BytesPerSector);
  PutU32(buffer + kBytesPerSectorAt + 4, config.Reserved);
  PutU64(buffer + kImageOffsetAt,
         static_cast<std::uint64_t>(config.ImageOffset));
  PutU32(buffer + kFlagsAt, config.Flags);
  PutU16(buffer + kFileNameLengthAt, config.FileNameLength);
  for (std::size_t i = 0; i < kFileNameUnits; ++i) {
    PutU16(buffer + kFileNameAt + 2 * i, config.FileName[i]);
  }
}

void DecodeDeviceConfig(const std::uint8_t* buffer, DeviceConfig* config) {
  config->DeviceNumber = GetU32(buffer + kDeviceNumberAt);
  config->DiskSize = static_cast<std::int64_t>(GetU64(buffer + kDiskSizeAt));
  config->BytesPerSector = GetU32(buffer + kBytesPerSectorAt);
  config->ImageOffset =
      static_cast<std::int64_t>(GetU64(buffer + kImageOffsetAt));
  config->Flags = GetU32(buffer + kFlagsAt);
  config->FileNameLength = GetU16(buffer + kFileNameLengthAt);
  for (std::size_t i = 0; i < kFileNameUnits; ++i) {
    config->FileName[i] = GetU16(buffer + kFileNameAt + 2 * i);
  }
}

void DecodeAdapterDeviceList(const std::uint8_t* buffer,
                             AdapterDeviceList* list) {
  list->DeviceCount = GetU32(buffer + kHeaderSize);
  for (std::size_t i = 0; i < kAdapterSlots; ++i) {
    list->DeviceNumbers[i] = GetU32(buffer + kHeaderSize + 4 + 4 * i);
  }
}

UniqueHandle OpenAdapter(Platform& platform, const std::string& adapter_path) {
  return UniqueHandle(
      platform,
      platform.CreateFileA(adapter_path.c_str(), kGenericRead | kGenericWrite,
                           kFileShareRead | kFileShareWrite, kOpenExisting, 0));
}

bool SendRequest(Platform& platform, Handle adapter, std::uint8_t* buffer,
                 std::size_t size, std::uint32_t* bytes_returned) {
  std::uint32_t size32 = static_cast<std::uint32_t>(size);
  return platform.DeviceIoControl(adapter, kIoctlScsiMiniport, buffer, size32,
                                  buffer, size32, bytes_returned);
}

ExchangeResult Exchange(Platform& platform, const std::string& adapter_path,
                        std::uint8_t* buffer, std::size_t size) {
  ExchangeResult result;
  UniqueHandle adapter = OpenAdapter(platform, adapter_path);
  if (!adapter) {
    result.status = ExchangeStatus::kOpenFailed;
    result.error = platform.GetLastError();
    return result;
  }
  if (!SendRequest(platform, adapter.get(), buffer, size,
                   &result.bytes_returned)) {
    result.status = ExchangeStatus::kRequestFailed;
    result.error = platform.GetLastError();
  }
  return result;
}

}  // namespace dorvane
