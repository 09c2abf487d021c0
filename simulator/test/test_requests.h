// Test helper: a driver request as the tool sends it.
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

}  // namespace dorvane::sim::testing
