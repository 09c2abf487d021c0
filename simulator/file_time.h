// FILETIME arithmetic: 100-nanosecond intervals since 1601-01-01 UTC.
#pragma once

#include <cstdint>

namespace dorvane::sim {

// A host time (seconds and nanoseconds since 1970) as a FILETIME; times
// before 1601 become 0.
std::uint64_t FileTimeFromUnix(std::int64_t seconds, std::uint32_t nanoseconds);

// FileTimeToDosDateTime: false when the time lies outside the years 1980 to
// 2107 that a DOS date can hold. Seconds are kept in 2-second steps.
bool FileTimeToDos(std::uint64_t file_time, std::uint16_t* fat_date,
                   std::uint16_t* fat_time);

}  // namespace dorvane::sim
