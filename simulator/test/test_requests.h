// Test helpers: the driver's requests as the tool sends them, and readers
// of the answers' little-endian fields.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "simulator/driver_model.h"

namespace dorvane::sim::testing {

using Bytes = std::vector<std::uint8_t>;

inline void PutU16(Bytes& b, std::size_t at, std::uint16_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
inline void PutU32(Bytes& b, std::size_t at, std::uint32_t v) {
  PutU16(b, at, static_cast<std::uint16_t>(v));
  PutU16(b, at + 2, static_cast<std::uint16_t>(v >> 16));
}
inline std::uint32_t U32(const Bytes& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
         (std::uint32_t{b[at + 3]} << 24);
}
inline std::int64_t I64(const Bytes& b, std::size_t at) {
  return static_cast<std::int64_t>(U32(b, at) |
                                   (std::uint64_t{U32(b, at + 4)} << 32));
}

// Header and a zero payload of payload_size bytes; number, when given,
// is the payload's first field.
inline Bytes Request(std::uint32_t control, std::uint32_t payload_size,
                     std::uint32_t number = 0) {
  Bytes b(DM_HEADER_SIZE + payload_size);
  PutU32(b, 0, DM_HEADER_SIZE);
  const char signature[] = "PhDskMnt";
  std::copy(signature, signature + 8, b.begin() + 4);
  PutU32(b, 16, control);
  PutU32(b, 24, payload_size);
  if (payload_size >= 4) PutU32(b, 28, number);
  return b;
}

inline Bytes CreateRequest(std::int64_t size, std::uint32_t flags,
                           const std::u16string& name,
                           std::uint32_t number = DM_ALL_DEVICES) {
  Bytes b = Request(DM_CTL_CREATE_DEVICE, DM_DEVICE_CONFIG_SIZE, number);
  PutU32(b, 32, static_cast<std::uint32_t>(size));
  PutU32(b, 36,
         static_cast<std::uint32_t>(static_cast<std::uint64_t>(size) >> 32));
  PutU32(b, 56, flags);
  PutU16(b, 60, static_cast<std::uint16_t>(name.size() * 2));
  for (std::size_t i = 0; i < name.size() && i < DM_NAME_UNITS; ++i) {
    PutU16(b, 62 + 2 * i, name[i]);
  }
  return b;
}

// The name of a DeviceConfig answer, up to FileNameLength bytes.
inline std::u16string AnswerName(const Bytes& b) {
  std::u16string name;
  for (std::size_t i = 0; i < (b[60] | (b[61] << 8)) / 2u; ++i) {
    name += static_cast<char16_t>(b[62 + 2 * i] | (b[63 + 2 * i] << 8));
  }
  return name;
}

}  // namespace dorvane::sim::testing
