// The millisecond clock, tick timers and the one-message pump.
#include <gtest/gtest.h>

#include "platform/win/core/Clock.h"
#include "platform/win/core/WinUser.h"
#include "serial/SioMisc.h"

TEST(TickTimer, ExpiresAfterItsTicksOfTheClock) {
  k58::wincore::ScopedManualClock clock(100000);
  TTickTimer t;
  NewTimer(t, 36);
  EXPECT_FALSE(TimerExpired(t));
  clock->Advance(36 * 55 - 55);
  EXPECT_FALSE(TimerExpired(t));
  // 36 ticks of 55 ms: expired once the tick count passes the expiry.
  clock->Advance(110);
  EXPECT_TRUE(TimerExpired(t));
}

TEST(TickTimer, LengthIsClampedAndWrapIsExpiry) {
  k58::wincore::ScopedManualClock clock(1000);
  TTickTimer t;
  NewTimer(t, 50000000);
  EXPECT_EQ(t.ExpireTicks - t.StartTicks, TickLimit);
  // The tick count is below the start: the 32-bit clock wrapped, and the time left is counted across it.
  ASSERT_EQ(MsClock() / 55, 18u);
  TTickTimer wrapped{100, 110};
  EXPECT_TRUE(TimerExpired(wrapped));
  TTickTimer longOne{100, 100 + TickLimit};
  EXPECT_FALSE(TimerExpired(longOne));
}

TEST(MsClock, FollowsThePlatformClock) {
  k58::wincore::ScopedManualClock clock(5000);
  const Cardinal before = MsClock();
  clock->Advance(1234);
  EXPECT_EQ(MsClock() - before, 1234u);
}

TEST(PumpMessage, PutsBackAQuitItTakes) {
  MSG m;
  while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
  }
  PostQuitMessage(7);
  PumpMessage();
  ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(m.wParam, 7u);
  PumpMessage();  // nothing waiting: returns at once
}

TEST(FlagHelpers, AnswerAsTheRuntimeLibraryDoes) {
  EXPECT_EQ(FlagSet(0x12, 0x02), -1);
  EXPECT_EQ(FlagSet(0x12, 0x04), 0);
  EXPECT_EQ(FileExistsZ("/"), -1);
  EXPECT_EQ(FileExistsZ("/nonexistent/file"), 0);
}
