#include <gtest/gtest.h>

#include "import/ProgressMeter.h"

using import::ProgressMeter;

namespace {

// A meter over 100 rows shown at most every 16 ms, on a clock the test moves.
struct MeterOnTestClock {
    qint64 now = 1000;
    ProgressMeter meter{100, 16, [this] { return now; }};
};

}  // namespace

TEST(ProgressMeter, ShowsTheFirstRowThenAtMostOncePerIntervalAndAlwaysTheLast)
{
    MeterOnTestClock t;
    EXPECT_TRUE(t.meter.advance(1));
    t.now += 5;
    EXPECT_FALSE(t.meter.advance(2));
    t.now += 10;
    EXPECT_FALSE(t.meter.advance(3));  // 15 ms since the last display
    t.now += 1;
    EXPECT_TRUE(t.meter.advance(4));
    t.now += 1;
    EXPECT_TRUE(t.meter.advance(100));  // the last row is always shown
    EXPECT_EQ(t.meter.done(), 100);
}

TEST(ProgressMeter, RateAndTimeLeftFollowTheRowsDoneSoFar)
{
    MeterOnTestClock t;
    EXPECT_EQ(t.meter.rowsPerSecond(), 0.0);
    EXPECT_FALSE(t.meter.secondsLeft().has_value());
    t.meter.advance(0);
    t.now += 2000;
    t.meter.advance(30);  // 15 rows/s, 70 rows to go
    EXPECT_DOUBLE_EQ(t.meter.rowsPerSecond(), 15.0);
    EXPECT_EQ(t.meter.secondsLeft(), 5);  // 4.67 s, rounded up
    t.meter.advance(100);
    EXPECT_EQ(t.meter.secondsLeft(), 0);
}

TEST(ProgressMeter, NoTimePassedGivesNoRateInsteadOfDividingByZero)
{
    MeterOnTestClock t;
    t.meter.advance(50);
    EXPECT_EQ(t.meter.rowsPerSecond(), 0.0);
    EXPECT_FALSE(t.meter.secondsLeft().has_value());
}
