// Window and thread timers on the manual clock.
#include <thread>

#include "WinCoreTestSupport.h"
#include "platform/win/core/WinBase.h"

namespace wincore_test {
namespace {

using TimerTest = WinCoreTest;

// The WM_TIMER messages retrievable now, as (window, id) pairs.
std::vector<std::pair<HWND, WPARAM>> TakeTimers(HWND Filter = nullptr) {
  std::vector<std::pair<HWND, WPARAM>> Out;
  MSG M;
  while (PeekMessage(&M, Filter, WM_TIMER, WM_TIMER, PM_REMOVE)) {
    Out.emplace_back(M.hwnd, M.wParam);
    if (Out.size() > 20) break;
  }
  return Out;
}

using Ticks = std::vector<std::pair<HWND, WPARAM>>;

TEST_F(TimerTest, AManualClockDrivesTimersWithoutSleeping) {
  HWND H = MakeWindow();
  ASSERT_EQ(SetTimer(H, 7, 100, nullptr), 7u);
  Clock->Advance(99);
  EXPECT_EQ(TakeTimers(), Ticks{});
  Clock->Advance(1);
  EXPECT_EQ(TakeTimers(), (Ticks{{H, 7}}));
  EXPECT_EQ(TakeTimers(), Ticks{});
  // Three and a half intervals late: one message, and the timer keeps its rhythm.
  Clock->Advance(350);
  EXPECT_EQ(TakeTimers(), (Ticks{{H, 7}}));
  Clock->Advance(49);
  EXPECT_EQ(TakeTimers(), Ticks{});
  Clock->Advance(1);
  EXPECT_EQ(TakeTimers(), (Ticks{{H, 7}}));
}

TEST_F(TimerTest, APeekWithoutRemovingDoesNotConsumeTheTick) {
  HWND H = MakeWindow();
  SetTimer(H, 1, 50, nullptr);
  Clock->Advance(50);
  MSG M;
  ASSERT_TRUE(PeekMessage(&M, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(M.message, WM_TIMER);
  EXPECT_EQ(TakeTimers(), (Ticks{{H, 1}}));
}

TEST_F(TimerTest, ResettingKillingAndTheShortestInterval) {
  HWND H = MakeWindow();
  SetTimer(H, 1, 100, nullptr);
  Clock->Advance(60);
  // Setting an existing timer again starts its interval anew.
  SetTimer(H, 1, 100, nullptr);
  Clock->Advance(60);
  EXPECT_EQ(TakeTimers(), Ticks{});
  Clock->Advance(40);
  EXPECT_EQ(TakeTimers(), (Ticks{{H, 1}}));

  EXPECT_TRUE(KillTimer(H, 1));
  EXPECT_FALSE(KillTimer(H, 1));
  Clock->Advance(1000);
  EXPECT_EQ(TakeTimers(), Ticks{});

  // An interval of 0 runs at the 10 ms minimum.
  SetTimer(H, 2, 0, nullptr);
  Clock->Advance(9);
  EXPECT_EQ(TakeTimers(), Ticks{});
  Clock->Advance(1);
  EXPECT_EQ(TakeTimers(), (Ticks{{H, 2}}));
}

TEST_F(TimerTest, TimersComeAfterEverythingElseAndFollowTheWindowFilter) {
  HWND A = MakeWindow();
  HWND B = MakeWindow();
  SetTimer(A, 1, 100, nullptr);
  SetTimer(B, 2, 50, nullptr);
  Clock->Advance(100);
  PostMessage(A, WM_APP, 0, 0);
  MSG M;
  ASSERT_TRUE(PeekMessage(&M, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(M.message, WM_APP);
  EXPECT_EQ(TakeTimers(A), (Ticks{{A, 1}}));
  // The longest-waiting timer first.
  SetTimer(A, 1, 100, nullptr);
  Clock->Advance(200);
  EXPECT_EQ(TakeTimers(), (Ticks{{B, 2}, {A, 1}}));
}

int ProcCalls = 0;
HWND ProcWindow = nullptr;
UINT_PTR ProcId = 0;
DWORD ProcTime = 0;
void CALLBACK CountingTimerProc(HWND H, UINT Msg, UINT_PTR Id, DWORD Time) {
  EXPECT_EQ(Msg, WM_TIMER);
  ++ProcCalls;
  ProcWindow = H;
  ProcId = Id;
  ProcTime = Time;
}

TEST_F(TimerTest, TimerProceduresRunInsteadOfTheWindowProcedure) {
  ProcCalls = 0;
  HWND H = MakeWindow();
  SetTimer(H, 3, 20, CountingTimerProc);
  // A timer without a window gets an id of its own.
  UINT_PTR ThreadTimer = SetTimer(nullptr, 0, 30, CountingTimerProc);
  ASSERT_NE(ThreadTimer, 0u);
  EXPECT_NE(SetTimer(nullptr, 0, 30, CountingTimerProc), ThreadTimer);
  Clock->Advance(25);
  Log().Clear();
  MSG M;
  ASSERT_TRUE(PeekMessage(&M, nullptr, 0, 0, PM_REMOVE));
  DispatchMessage(&M);
  EXPECT_EQ(ProcCalls, 1);
  EXPECT_EQ(ProcWindow, H);
  EXPECT_EQ(ProcId, 3u);
  EXPECT_EQ(ProcTime, GetTickCount());
  EXPECT_TRUE(Log().Items().empty());

  Clock->Advance(10);
  std::vector<WPARAM> ThreadTicks;
  while (PeekMessage(&M, reinterpret_cast<HWND>(static_cast<intptr_t>(-1)), 0, 0, PM_REMOVE)) {
    EXPECT_EQ(M.hwnd, nullptr);
    ThreadTicks.push_back(M.wParam);
    DispatchMessage(&M);
  }
  EXPECT_EQ(ThreadTicks.size(), 2u);
  EXPECT_EQ(ProcCalls, 3);
  EXPECT_TRUE(KillTimer(nullptr, ThreadTicks[0]));
  EXPECT_TRUE(KillTimer(nullptr, ThreadTicks[1]));
}

TEST_F(TimerTest, AForeignProcedureInATimerMessageIsNeverCalled) {
  ProcCalls = 0;
  HWND H = MakeWindow();
  // Posted by hand, or left over from a killed timer: the address is not taken for code.
  PostMessage(H, WM_TIMER, 9, reinterpret_cast<LPARAM>(&CountingTimerProc));
  SetTimer(H, 4, 10, CountingTimerProc);
  Clock->Advance(10);
  MSG Stale;
  ASSERT_TRUE(PeekMessage(&Stale, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
  MSG Live;
  ASSERT_TRUE(PeekMessage(&Live, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
  KillTimer(H, 4);
  DispatchMessage(&Stale);
  DispatchMessage(&Live);
  EXPECT_EQ(ProcCalls, 0);
}

TEST_F(TimerTest, TimersFireInANestedLoop) {
  HWND H = MakeWindow();
  int Ticks = 0;
  bool OuterSawTimer = false;
  SetHandler([&](HWND W, UINT Msg, WPARAM Wp, LPARAM L) -> LRESULT {
    if (Msg == WM_TIMER) ++Ticks;
    if (Msg == WM_APP) {
      // A modal loop that lets time pass while nothing is waiting.
      SetTimer(W, 1, 100, nullptr);
      MSG M;
      while (Ticks < 3) {
        if (PeekMessage(&M, nullptr, 0, 0, PM_REMOVE))
          DispatchMessage(&M);
        else
          Sleep(40);
      }
      KillTimer(W, 1);
      PostQuitMessage(0);
    }
    return DefWindowProc(W, Msg, Wp, L);
  });
  PostMessage(H, WM_APP, 0, 0);
  MSG M;
  while (GetMessage(&M, nullptr, 0, 0) > 0) {
    OuterSawTimer |= M.message == WM_TIMER;
    DispatchMessage(&M);
  }
  EXPECT_EQ(Ticks, 3);
  EXPECT_FALSE(OuterSawTimer);
  EXPECT_EQ(GetTickCount(), 1000u + 320u);
}

TEST_F(TimerTest, GetMessageWakesWhenTheClockReachesATimer) {
  HWND H = MakeWindow();
  SetTimer(H, 5, 500, nullptr);
  // Whether the clock moves before or while GetMessage waits, the tick arrives.
  std::thread Mover([this] { Clock->Advance(500); });
  MSG M;
  ASSERT_EQ(GetMessage(&M, nullptr, 0, 0), TRUE);
  Mover.join();
  EXPECT_EQ(M.message, WM_TIMER);
  EXPECT_EQ(M.wParam, 5u);
}

TEST_F(TimerTest, OnlyTheWindowsThreadSetsItsTimers) {
  HWND H = MakeWindow();
  BOOL Set = TRUE, Killed = TRUE;
  DWORD SetError = 0;
  std::thread Other([&] {
    Set = SetTimer(H, 1, 100, nullptr) != 0;
    SetError = GetLastError();
    Killed = KillTimer(H, 1);
  });
  Other.join();
  EXPECT_FALSE(Set);
  EXPECT_EQ(SetError, ERROR_ACCESS_DENIED);
  EXPECT_FALSE(Killed);
}

}  // namespace
}  // namespace wincore_test
