#include "platform/clock_native.h"

#include <gtest/gtest.h>

TEST(Clock, StopsAtTheGivenMomentAndRunsAgain) {
  ClockTime local{1999, 3, 0, 7, 9, 5, 30, 250};
  ClockTime utc{1999, 3, 0, 7, 0, 5, 30, 250};
  ClockStop(local, utc);
  ClockTime got;
  ClockLocalTime(&got);
  EXPECT_EQ(got.year, 1999);
  EXPECT_EQ(got.hour, 9);
  ClockUtcTime(&got);
  EXPECT_EQ(got.hour, 0);
  ClockRun();
  ClockUtcTime(&got);
  EXPECT_GE(got.year, 2024);
  EXPECT_GE(got.month, 1);
  EXPECT_LE(got.month, 12);
}
