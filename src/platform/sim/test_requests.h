// Test helpers: the driver's five requests as the tool sends them, and
// readers of the answers' little-endian fields.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/sim/driver_model.h"

namespace dorvane::sim::testing {

inline void PutU32(std::vector<std::uint8_t>& b, std::size_t at,
                   std::uint32_t v) {
  for (int i = 0; i < 4; ++i)
    b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

inline std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | b[at + i];
  return v;
}

inline std::int64_t I64(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::int64_t>(U32(b, at) |
                                   (std::uint64_t{U32(b, at + 4)} << 32));
}

// Header and a zero payload of payload_size bytes.
inline std::vector<std::uint8_t> Request(std::uint32_t control,
                                         std::uint32_t payload_size) {
  std::vector<std::uint8_t> b(DM_HEADER_SIZE + payload_size);
  PutU32(b, 0, DM_HEADER_SIZE);
  std::string signature = "PhDskMnt";
  for (int i = 0; i < 8; ++i)
    b[4 + i] = static_cast<std::uint8_t>(signature[i]);
  PutU32(b, 12, 2);
  PutU32(b, 16, control);
  PutU32(b, 24, payload_size);
  return b;
}

inline std::vector<std::uint8_t> CreateRequest(
    std::int64_t size, std::uint32_t flags, const std::u16string& name,
    std::uint32_t number = DM_ALL_DEVICES) {
  auto b = Request(DM_CTL_CREATE_DEVICE, DM_DEVICE_CONFIG_SIZE);
  PutU32(b, 28, number);
  PutU32(b, 32, static_cast<std::uint32_t>(size));
  PutU32(b, 36,
         static_cast<std::uint32_t>(static_cast<std::uint64_t>(size) >> 32));
  PutU32(b, 56, flags);
  b[60] = static_cast<std::uint8_t>(name.size() * 2);
  b[61] = static_cast<std::uint8_t>((name.size() * 2) >> 8);
  for (std::size_t i = 0; i < name.size() && i < 256; ++i) {
    b[62 + 2 * i] = static_cast<std::uint8_t>(name[i]);
    b[63 + 2 * i] = static_cast<std::uint8_t>(name[i] >> 8);
  }
  return b;
}

inline std::vector<std::uint8_t> QueryDeviceRequest(std::uint32_t number) {
  auto b = Request(DM_CTL_QUERY_DEVICE, DM_DEVICE_CONFIG_SIZE);
  PutU32(b, 28, number);
  return b;
}

inline std::vector<std::uint8_t> RemoveRequest(std::uint32_t number) {
  auto b = Request(DM_CTL_REMOVE_DEVICE, 4);
  PutU32(b, 28, number);
  return b;
}

// The name of a DeviceConfig answer, up to FileNameLength bytes.
inline std::u16string AnswerName(const std::vector<std::uint8_t>& b) {
  std::u16string name;
  std::size_t units = (b[60] | (b[61] << 8)) / 2u;
  for (std::size_t i = 0; i < units; ++i) {
    name += static_cast<char16_t>(b[62 + 2 * i] | (b[63 + 2 * i] << 8));
  }
  return name;
}

}  // namespace dorvane::sim::testing
