#include <gtest/gtest.h>

#include "platform/DateTimeFormat.h"

namespace korvane {
namespace {

// The tests run in the C locale: short date %m/%d/%y, long time %H:%M:%S.
TEST(DateTimeToStr, DateAndTimeWithTheTimeLeftOutAtMidnight) {
  std::tm time{};
  time.tm_year = 126;
  time.tm_mon = 11;
  time.tm_mday = 8;
  time.tm_hour = 18;
  time.tm_min = 5;
  time.tm_sec = 9;
  EXPECT_EQ(DateTimeToStr(time), "12/08/26 18:05:09");
  time.tm_hour = time.tm_min = time.tm_sec = 0;
  EXPECT_EQ(DateTimeToStr(time), "12/08/26");
  time.tm_sec = 1;
  EXPECT_EQ(DateTimeToStr(time), "12/08/26 00:00:01");
}

}  // namespace
}  // namespace korvane
