// Little-endian integers in byte buffers: every record the tool exchanges
// with Windows or the driver is encoded field by field with these, never
// cast over a buffer, so the layout is the same on every host.
#pragma once

#include <cstdint>

namespace dorvane {

inline void PutU16(std::uint8_t* at, std::uint16_t value) {
  at[0] = static_cast<std::uint8_t>(value);
  at[1] = static_cast<std::uint8_t>(value >> 8);
}

inline void PutU32(std::uint8_t* at, std::uint32_t value) {
  PutU16(at, static_cast<std::uint16_t>(value));
  PutU16(at + 2, static_cast<std::uint16_t>(value >> 16));
}

inline void PutU64(std::uint8_t* at, std::uint64_t value) {
  PutU32(at, static_cast<std::uint32_t>(value));
  PutU32(at + 4, static_cast<std::uint32_t>(value >> 32));
}

inline std::uint16_t GetU16(const std::uint8_t* at) {
  return static_cast<std::uint16_t>(at[0] | (at[1] << 8));
}

inline std::uint32_t GetU32(const std::uint8_t* at) {
  return GetU16(at) | (static_cast<std::uint32_t>(GetU16(at + 2)) << 16);
}

inline std::uint64_t GetU64(const std::uint8_t* at) {
  return GetU32(at) | (static_cast<std::uint64_t>(GetU32(at + 4)) << 32);
}

}  // namespace dorvane
