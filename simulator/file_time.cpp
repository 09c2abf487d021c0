#include "simulator/file_time.h"

namespace dorvane::sim {
namespace {

constexpr std::int64_t kSecondsFrom1601To1970 = 11644473600;
constexpr std::uint64_t kTicksPerSecond = 10000000;

struct CivilDate {
  std::int64_t year;
  unsigned month, day;
};

// Days since 1970-01-01 to a proleptic Gregorian date.
CivilDate CivilFromDays(std::int64_t days) {
  days += 719468;
  std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  auto day_of_era = static_cast<unsigned>(days - era * 146097);
  unsigned year_of_era = (day_of_era - day_of_era / 1460 + day_of_era / 36524 -
                          day_of_era / 146096) /
                         365;
  unsigned day_of_year =
      day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  unsigned mp = (5 * day_of_year + 2) / 153;
  unsigned day = day_of_year - (153 * mp + 2) / 5 + 1;
  unsigned month = mp < 10 ? mp + 3 : mp - 9;
  std::int64_t year = static_cast<std::int64_t>(year_of_era) + era * 400;
  return {month <= 2 ? year + 1 : year, month, day};
}

}  // namespace

std::uint64_t FileTimeFromUnix(std::int64_t seconds,
                               std::uint32_t nanoseconds) {
  if (seconds < -kSecondsFrom1601To1970) return 0;
  return static_cast<std::uint64_t>(seconds + kSecondsFrom1601To1970) *
             kTicksPerSecond +
         nanoseconds / 100;
}

bool FileTimeToDos(std::uint64_t file_time, std::uint16_t* fat_date,
                   std::uint16_t* fat_time) {
  auto seconds = static_cast<std::int64_t>(file_time / kTicksPerSecond) -
                 kSecondsFrom1601To1970;
  std::int64_t days =
      seconds >= 0 ? seconds / 86400 : (seconds - 86399) / 86400;
  std::int64_t second_of_day = seconds - days * 86400;
  CivilDate date = CivilFromDays(days);
  if (date.year < 1980 || date.year > 2107) return false;
  *fat_date = static_cast<std::uint16_t>(((date.year - 1980) << 9) |
                                         (date.month << 5) | date.day);
  *fat_time = static_cast<std::uint16_t>(((second_of_day / 3600) << 11) |
                                         (((second_of_day / 60) % 60) << 5) |
                                         ((second_of_day % 60) / 2));
  return true;
}

}  // namespace dorvane::sim
