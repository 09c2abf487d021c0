// The driver's five miniport requests: their byte layouts (a 28-byte
// SRB_IO_CONTROL header and a payload, all little-endian and packed), and
// one exchange with the adapter. Records are encoded byte by byte, never
// cast over a buffer, so that the layout is the same on every host.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/platform.h"
#include "platform/unique_handle.h"
#include "runtime/bytes.h"

namespace dorvane {

constexpr std::uint32_t CtlQueryVersion = 0x83730800u;
constexpr std::uint32_t CtlCreateDevice = 0x83730801u;
constexpr std::uint32_t CtlQueryDevice = 0x83730802u;
constexpr std::uint32_t CtlQueryAdapter = 0x83730803u;
constexpr std::uint32_t CtlRemoveDevice = 0x83730806u;

// The number that asks the driver to choose on create and means every disk
// on remove.
constexpr std::uint32_t AllDevices = 0x00FFFFFFu;

// DiskSize counts bytes; the command line and the list count megabytes.
constexpr std::int64_t kMegabyte = 1048576;

// Flags of a DeviceConfig. Bit 0x200 marks a disk backed by memory; the
// other bits are the driver's own. Each create command sends one value.
constexpr std::uint32_t kMemoryBackedFlag = 0x200;
constexpr std::uint32_t kVirtualMemoryDiskFlags = 0x210;  // vm add, vm new
constexpr std::uint32_t kFileDiskFlags = 0x110;  // file add/new, pm add/new
constexpr std::uint32_t kSharedMemoryDiskFlags = 0x3300;  // file shm
static_assert((kVirtualMemoryDiskFlags & kMemoryBackedFlag) != 0 &&
                  (kSharedMemoryDiskFlags & kMemoryBackedFlag) != 0 &&
                  (kFileDiskFlags & kMemoryBackedFlag) == 0,
              "vm and shm disks are listed as memory, file and pm disks by "
              "their backing name");

constexpr std::size_t kHeaderSize = 28;
constexpr std::size_t kDeviceConfigSize = 546;
constexpr std::size_t kAdapterDeviceListSize = 68;
constexpr std::size_t kFileNameUnits = 256;
constexpr std::size_t kAdapterSlots = 16;

constexpr std::size_t kVersionRequestSize = kHeaderSize;
constexpr std::size_t kDeviceRequestSize = kHeaderSize + kDeviceConfigSize;
constexpr std::size_t kAdapterRequestSize =
    kHeaderSize + kAdapterDeviceListSize;
constexpr std::size_t kRemoveRequestSize = kHeaderSize + 4;

// One virtual disk as the create and query-device requests carry it.
struct DeviceConfig {
  std::uint32_t DeviceNumber = 0;
  std::int64_t DiskSize = 0;
  std::uint32_t BytesPerSector = 0;
  std::uint32_t Reserved = 0;
  std::int64_t ImageOffset = 0;
  std::uint32_t Flags = 0;
  std::uint16_t FileNameLength = 0;  // bytes, the zero unit not counted
  std::uint16_t FileName[kFileNameUnits] = {};  // UTF-16
};

// The query-adapter answer: a count and up to 16 numbers.
struct AdapterDeviceList {
  std::uint32_t DeviceCount = 0;
  std::uint32_t DeviceNumbers[kAdapterSlots] = {};
};

// Zeroes the whole request buffer and writes the header: payload length is
// size minus the header.
void StartRequest(std::uint8_t* buffer, std::size_t size,
                  std::uint32_t control_code);

// DeviceConfig at buffer offset 28.
void EncodeDeviceConfig(const DeviceConfig& config, std::uint8_t* buffer);
// Every field but Reserved, which is never taken from an answer.
void DecodeDeviceConfig(const std::uint8_t* buffer, DeviceConfig* config);
// DeviceCount and all 16 slots; the first DeviceCount of them, at most 16,
// name disks.
void DecodeAdapterDeviceList(const std::uint8_t* buffer,
                             AdapterDeviceList* list);

// Opens the adapter for reading and writing, shared, as every request needs.
UniqueHandle OpenAdapter(Platform& platform, const std::string& adapter_path);

// Sends one request on an open adapter: the buffer goes in and comes back,
// the same size both ways. False when DeviceIoControl fails.
bool SendRequest(Platform& platform, Handle adapter, std::uint8_t* buffer,
                 std::size_t size, std::uint32_t* bytes_returned);

enum class ExchangeStatus { kOk, kOpenFailed, kRequestFailed };

struct ExchangeResult {
  ExchangeStatus status = ExchangeStatus::kOk;
  std::uint32_t error = 0;  // GetLastError right after the call that failed
  std::uint32_t bytes_returned = 0;
};

// Opens the adapter, sends one prepared request and closes the adapter.
ExchangeResult Exchange(Platform& platform, const std::string& adapter_path,
                        std::uint8_t* buffer, std::size_t size);

}  // namespace dorvane
