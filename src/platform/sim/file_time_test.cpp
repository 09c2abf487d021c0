#include "platform/sim/file_time.h"

#include <gtest/gtest.h>

namespace dorvane::sim {
namespace {

constexpr std::uint64_t kTicksPerSecond = 10000000;

TEST(FileTimeTest, FromUnix) {
  EXPECT_EQ(FileTimeFromUnix(0, 0), 116444736000000000u);
  EXPECT_EQ(FileTimeFromUnix(1, 500),
            116444736000000000u + kTicksPerSecond + 5);
  EXPECT_EQ(FileTimeFromUnix(-11644473600, 0), 0u);
  EXPECT_EQ(FileTimeFromUnix(-11644473601, 0), 0u);
}

TEST(FileTimeTest, ToDosDateAndTime) {
  struct Case {
    std::int64_t unix_seconds;
    bool ok;
    std::uint16_t date, time;
  };
  const Case cases[] = {
      // 1980-01-01 00:00:00, the first DOS time.
      {315532800, true, (0 << 9) | (1 << 5) | 1, 0},
      // 1979-12-31 23:59:59.
      {315532799, false, 0, 0},
      // 2024-02-29 13:45:59: seconds in 2-second steps.
      {1709214359, true, (44 << 9) | (2 << 5) | 29,
       (13 << 11) | (45 << 5) | 29},
      // 2107-12-31 23:59:59, the last.
      {4354819199, true, (127 << 9) | (12 << 5) | 31,
       (23 << 11) | (59 << 5) | 29},
      // 2108-01-01 00:00:00.
      {4354819200, false, 0, 0},
  };
  for (const Case& c : cases) {
    std::uint16_t date = 0xFFFF, time = 0xFFFF;
    EXPECT_EQ(FileTimeToDos(FileTimeFromUnix(c.unix_seconds, 0), &date, &time),
              c.ok)
        << c.unix_seconds;
    if (c.ok) {
      EXPECT_EQ(date, c.date) << c.unix_seconds;
      EXPECT_EQ(time, c.time) << c.unix_seconds;
    }
  }
  std::uint16_t date = 0, time = 0;
  EXPECT_FALSE(FileTimeToDos(0, &date, &time));  // 1601
  EXPECT_FALSE(FileTimeToDos(~std::uint64_t{0}, &date, &time));
}

}  // namespace
}  // namespace dorvane::sim
