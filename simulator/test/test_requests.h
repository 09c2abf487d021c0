// Test helpers: the driver's requests as the tool sends them.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "runtime/bytes.h"
#include "simulator/driver_model.h"

namespace dorvane::sim::testing {

using Bytes = std::vector<std::uint8_t>;

// Header and a zero payload of payload_size bytes; number, when given,
// is the payload's first field.
inline Bytes Request(std::uint32_t control, std::uint32_t payload_size,
                     std::uint32_t number = 0) {
  Bytes b(DM_HEADER_SIZE + payload_size);
  PutU32(b.data(), DM_HEADER_SIZE);
  const char signature[] = "PhDskMnt";
  std::copy(signature, signature + 8, b.begin() + 4);
  PutU32(b.data() + 16, control);
  PutU32(b.data() + 24, payload_size);
  if (payload_size >= 4) PutU32(b.data() + 28, number);
  return b;
}

inline Bytes CreateRequest(std::int64_t size, std::uint32_t flags,
                           const std::u16string& name,
                           std::uint32_t number = DM_ALL_DEVICES) {
  Bytes b = Request(DM_CTL_CREATE_DEVICE, DM_DEVICE_CONFIG_SIZE, number);
  PutU64(b.data() + 32, static_cast<std::uint64_t>(size));
  PutU32(b.data() + 56, flags);
  PutU16(b.data() + 60, static_cast<std::uint16_t>(name.size() * 2));
  for (std::size_t i = 0; i < name.size() && i < DM_NAME_UNITS; ++i) {
    PutU16(b.data() + 62 + 2 * i, name[i]);
  }
  return b;
}

// A signed 64-bit field of an answer.
inline std::int64_t I64(const Bytes& b, std::size_t at) {
  return static_cast<std::int64_t>(GetU64(b.data() + at));
}

// The name of a DeviceConfig answer, up to FileNameLength bytes.
inline std::u16string AnswerName(const Bytes& b) {
  std::u16string name;
  for (std::size_t i = 0; i < GetU16(b.data() + 60) / 2u; ++i) {
    name += static_cast<char16_t>(GetU16(b.data() + 62 + 2 * i));
  }
  return name;
}

}  // namespace dorvane::sim::testing
