// The timer component on a manual clock: firing only inside message loops (nested ones too), re-arming,
// a timer freed by its own handler, exceptions escaping the handler, and timers in form resources.
#include <gtest/gtest.h>

#include <memory>

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/FormText.h"
#include "platform/forms/Timers.h"
#include "platform/win/core/UtilWindow.h"
#include "platform/win/core/Clock.h"

namespace forms_test {

namespace {

// Dispatches everything the thread's queue holds now.
void Pump() {
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
}

class TimerTest : public ::testing::Test {
 protected:
  void SetUp() override { Pump(); }
  void TearDown() override {
    ApplicationHandleException = nullptr;
    Pump();
  }
  // Advances the clock and runs the message loop once.
  void Tick(DWORD milliseconds) {
    clock->Advance(milliseconds);
    Pump();
  }

  k58::wincore::ScopedManualClock clock{1000};
};

struct Counter {
  int count = 0;
  TNotifyEvent Handler() {
    return TNotifyEvent([this](TObject*) { ++count; });
  }
};

TEST_F(TimerTest, FiresOnlyWhenAMessageLoopRunsAndOncePerLoopPass) {
  TTimer timer(nullptr);
  Counter fired;
  timer.SetInterval(100);
  timer.SetOnTimer(fired.Handler());
  Tick(99);
  EXPECT_EQ(fired.count, 0);
  // Time passing without a loop fires nothing...
  clock->Advance(1);
  EXPECT_EQ(fired.count, 0);
  // ...and a late loop sees one tick, however many intervals passed.
  clock->Advance(350);
  Pump();
  EXPECT_EQ(fired.count, 1);
  Tick(50);
  EXPECT_EQ(fired.count, 2);
}

TEST_F(TimerTest, TurningItOffAndOnStartsTheIntervalAnew) {
  TTimer timer(nullptr);
  Counter fired;
  timer.SetOnTimer(fired.Handler());
  EXPECT_TRUE(timer.Enabled());
  EXPECT_EQ(timer.Interval(), 1000u);
  Tick(600);
  timer.SetEnabled(false);
  timer.SetEnabled(true);
  Tick(600);
  EXPECT_EQ(fired.count, 0);
  Tick(400);
  EXPECT_EQ(fired.count, 1);

  // A new interval starts anew too; 0, disabled or no handler: no ticks.
  Tick(500);
  timer.SetInterval(300);
  Tick(299);
  EXPECT_EQ(fired.count, 1);
  Tick(1);
  EXPECT_EQ(fired.count, 2);
  timer.SetInterval(0);
  Tick(5000);
  timer.SetInterval(300);
  timer.SetEnabled(false);
  Tick(5000);
  timer.SetEnabled(true);
  timer.SetOnTimer(nullptr);
  Tick(5000);
  EXPECT_EQ(fired.count, 2);
}

TEST_F(TimerTest, FiresInsideANestedModalLoop) {
  TTimer outer(nullptr);
  TTimer inner(nullptr);
  Counter innerFired;
  std::vector<int> seenInside;
  inner.SetInterval(100);
  inner.SetOnTimer(innerFired.Handler());
  outer.SetInterval(1000);
  int atStart = -1;
  outer.SetOnTimer(TNotifyEvent([&](TObject*) {
    // A modal loop run from the handler: the other timer keeps firing in it, once per pass.
    outer.SetEnabled(false);
    atStart = innerFired.count;
    for (int i = 0; i < 5; ++i) {
      Tick(100);
      seenInside.push_back(innerFired.count - atStart);
    }
  }));
  Tick(950);
  Tick(50);
  EXPECT_GE(atStart, 1);
  EXPECT_EQ(seenInside, (std::vector<int>{1, 2, 3, 4, 5}));
  // Back in the outer loop, it goes on as before.
  const int after = innerFired.count;
  Tick(100);
  EXPECT_EQ(innerFired.count, after + 1);
}

TEST_F(TimerTest, AHandlerMayFreeItsTimer) {
  Counter fired;
  auto* timer = new TTimer(nullptr);
  timer->SetInterval(50);
  timer->SetOnTimer(TNotifyEvent([&](TObject* sender) {
    ++fired.count;
    FreeObject(sender);
  }));
  Tick(50);
  Tick(50);
  EXPECT_EQ(fired.count, 1);
}

TEST_F(TimerTest, AnExceptionFromTheHandlerGoesToTheApplicationAndTheLoopGoesOn) {
  std::vector<String> shown;
  ApplicationHandleException = [&](TObject*) {
    try {
      throw;
    } catch (const Exception& e) {
      shown.push_back(e.Message());
    }
  };
  TTimer timer(nullptr);
  timer.SetInterval(10);
  timer.SetOnTimer(TNotifyEvent([](TObject*) { throw EConvertError("bad value"); }));
  Tick(10);
  Tick(10);
  EXPECT_EQ(shown, (std::vector<String>{"bad value", "bad value"}));
}

class TTimerHost : public TComponent {
  K58_CLASS(TTimerHost, TComponent)
  explicit TTimerHost(TComponent* AOwner) : TComponent(AOwner) {}
  void Tick(TObject*) { ++ticks; }
  int ticks = 0;
};
K58_IMPLEMENT_CLASS(TTimerHost) { b.Method("Tick", &TTimerHost::Tick); }

TEST_F(TimerTest, TimersInFormResourcesRunWithTheirHandler) {
  const String text = R"(object Host: TTimerHost
  object Timer1: TTimer
    Interval = 250
    OnTimer = Tick
  end
  object Timer2: TTimer
    Enabled = False
    OnTimer = Tick
  end
end
)";
  TTimerHost host(nullptr);
  ReadComponentFromText(text, &host, "HOST");
  auto* timer = dynamic_cast<TTimer*>(host.FindComponent("Timer1"));
  ASSERT_NE(timer, nullptr);
  EXPECT_EQ(timer->Interval(), 250u);
  Tick(250);
  EXPECT_EQ(host.ticks, 1);
  Tick(1000);
  EXPECT_EQ(host.ticks, 2);
}

}  // namespace

}  // namespace forms_test
