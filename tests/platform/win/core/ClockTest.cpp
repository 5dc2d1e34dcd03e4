// The clocks all read the platform clock; a manual clock moves them without real time passing.
#include <gtest/gtest.h>

#include "platform/win/core/Clock.h"
#include "platform/win/core/MMSystem.h"
#include "platform/win/core/WinBase.h"

namespace wincore_test {

namespace {

TEST(ClockTest, ManualClockDrivesEveryClockReading) {
  k58::wincore::ScopedManualClock Clock(5000);
  LARGE_INTEGER Frequency, Before, After;
  ASSERT_TRUE(QueryPerformanceFrequency(&Frequency));
  ASSERT_TRUE(QueryPerformanceCounter(&Before));
  EXPECT_EQ(GetTickCount(), 5000u);
  EXPECT_EQ(timeGetTime(), 5000u);

  Clock->Advance(1980);
  ASSERT_TRUE(QueryPerformanceCounter(&After));
  EXPECT_EQ(GetTickCount(), 6980u);
  EXPECT_EQ(GetTickCount64(), 6980u);
  EXPECT_EQ(timeGetTime(), 6980u);
  // The counter moved by exactly 1980 ms worth of counts.
  EXPECT_EQ((After.QuadPart - Before.QuadPart) * 1000 / Frequency.QuadPart, 1980);
}

TEST(ClockTest, SleepAdvancesAManualClockInsteadOfBlocking) {
  k58::wincore::ScopedManualClock Clock(0);
  Sleep(3000);
  Sleep(0);
  EXPECT_EQ(GetTickCount(), 3000u);
}

TEST(ClockTest, TickCountWrapsAtThirtyTwoBits) {
  k58::wincore::ScopedManualClock Clock(0xFFFFFFFFull - 10);
  Clock->Advance(20);
  EXPECT_EQ(GetTickCount(), 9u);
  EXPECT_EQ(GetTickCount64(), 0xFFFFFFFFull + 10);
}

TEST(ClockTest, PerformanceFrequencyFitsThirtyTwoBitsAndCountsMilliseconds) {
  // Callers derive counts per millisecond from the frequency's low 32 bits.
  LARGE_INTEGER Frequency;
  ASSERT_TRUE(QueryPerformanceFrequency(&Frequency));
  EXPECT_EQ(Frequency.HighPart, 0);
  EXPECT_EQ(Frequency.u.LowPart, Frequency.LowPart);
  EXPECT_NE(Frequency.u.LowPart, 0u);
  EXPECT_EQ(Frequency.QuadPart % 1000, 0);
  EXPECT_FALSE(QueryPerformanceCounter(nullptr));
}

TEST(ClockTest, InstallingAndRemovingAClockRestoresThePreviousOne) {
  {
    k58::wincore::ScopedManualClock Outer(100);
    {
      k58::wincore::ScopedManualClock Inner(7);
      EXPECT_EQ(GetTickCount(), 7u);
    }
    EXPECT_EQ(GetTickCount(), 100u);
  }
  EXPECT_FALSE(k58::wincore::Clock().IsManual());
}

TEST(ClockTest, TimerPeriodRequestsCheckTheirArgument) {
  EXPECT_EQ(timeBeginPeriod(1), TIMERR_NOERROR);
  EXPECT_EQ(timeEndPeriod(1), TIMERR_NOERROR);
  EXPECT_EQ(timeBeginPeriod(0), TIMERR_NOCANDO);
}

}  // namespace

}  // namespace wincore_test
