// The status line's texts during and after a run.
#include "explorer/run_status.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace trapezola {
namespace {

TEST(RunStatus, CountsAreGroupedByThousands) {
  EXPECT_EQ(groupedCount(0), "0");
  EXPECT_EQ(groupedCount(999), "999");
  EXPECT_EQ(groupedCount(1000), "1 000");
  EXPECT_EQ(groupedCount(200000000), "200 000 000");
  EXPECT_EQ(groupedCount(-1234567), "-1 234 567");
  EXPECT_EQ(groupedCount(std::numeric_limits<std::int64_t>::min()), "-9 223 372 036 854 775 808");
}

TEST(RunStatus, RateAndTimeLeftFromTheStretchSinceTheLastStart) {
  // Too early to tell a rate.
  EXPECT_EQ(runStatusText(5000, 200000000, 5000, 0.05), "5 000 of 200 000 000 bounces");
  // 11 million in one second, 189 million left: 17.18 s, shown as 18 s.
  EXPECT_EQ(runStatusText(11000000, 200000000, 11000000, 1.0),
            "11 000 000 of 200 000 000 bounces, 11.0 million a second, 18 s left");
  // A continued run: only the stretch's bounces make the rate.
  EXPECT_EQ(runStatusText(150000, 200000, 50000, 0.5),
            "150 000 of 200 000 bounces, 100000 a second, 1 s left");
  EXPECT_EQ(runStatusText(0, 1000000000000, 1000000, 1.0).substr(0, 40),
            "0 of 1 000 000 000 000 bounces, 1.0 mill");
  EXPECT_EQ(runStatusText(0, 3600000000, 1000000, 1.0),
            "0 of 3 600 000 000 bounces, 1.0 million a second, 1 h 00 min left");
  EXPECT_EQ(runStatusText(0, 90000000, 1000000, 1.0),
            "0 of 90 000 000 bounces, 1.0 million a second, 1 min 30 s left");
}

TEST(RunStatus, EndTexts) {
  EXPECT_EQ(runEndText(20000, 20000, true), "ready: 20 000 bounces");
  EXPECT_EQ(runEndText(1234, 20000, false),
            "stopped at 1 234 of 20 000 bounces: continue goes on from there");
}

}  // namespace
}  // namespace trapezola
