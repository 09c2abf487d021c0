// The records of platform calls that every call family of SimPlatform
// starts with.
#pragma once

#include <cstdint>
#include <string>

#include "simulator/sim_platform.h"

namespace dorvane::sim {

inline CallRecord Record(const char* call, std::uint32_t a = 0,
                         std::uint32_t b = 0, std::uint32_t c = 0) {
  CallRecord record;
  record.call = call;
  record.a = a;
  record.b = b;
  record.c = c;
  return record;
}

}  // namespace dorvane::sim
