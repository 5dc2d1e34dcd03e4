// The control unit's services on the manual clock: timers on their shared window (interval rules, stale
// and freed timers), the settings controller reached by the system's broadcast, mouse-leave tracking, the
// screen cursors, the small routines, and the unit's end with tracking still running.
#include <gtest/gtest.h>

#include "platform/forms/CursorResource.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/win/ui/UiExt.h"
#include "tests/controls/foundation/ControlTesting.h"

using namespace foundation_test;

namespace {

using ControlServices = ControlTest;

// A tracking caller that writes what it hears into a shared event list.
class Tracker : public TObject, public IuiMouseTrackingCaller {
 public:
  explicit Tracker(std::vector<std::string>* AEvents = nullptr) : events_(AEvents) {}
  void MouseLeave() override {
    ++Leaves;
    if (events_ != nullptr) events_->push_back("caller leave");
  }
  Integer Leaves = 0;

 private:
  std::vector<std::string>* events_;
};

// A tracking caller that says itself where the mouse is inside.
class AreaTracker : public TObject, public IuiMouseTrackingCaller2 {
 public:
  void MouseLeave() override { ++Leaves; }
  bool PtInCaller(const TPoint& P) override {
    Asked.push_back(P);
    return Inside;
  }
  Integer Leaves = 0;
  bool Inside = true;
  std::vector<TPoint> Asked;
};

TEST_F(ControlServices, ATimerRunsWithAHandlerAtItsIntervalAndIgnoresZero) {
  TuiTimer timer(nullptr);
  EXPECT_TRUE(timer.Enabled());
  EXPECT_EQ(1000u, timer.Interval());
  timer.SetInterval(100);
  EXPECT_FALSE(timer.TimerOn());  // enabled, but no handler: no system timer
  Integer ticks = 0;
  timer.SetOnTimer([&](TObject*) { ++ticks; });
  EXPECT_TRUE(timer.TimerOn());
  Wait(99);
  EXPECT_EQ(0, ticks);
  Wait(1);
  EXPECT_EQ(1, ticks);
  timer.SetInterval(0);  // ignored: still 100 ms
  EXPECT_EQ(100u, timer.Interval());
  Wait(100);
  EXPECT_EQ(2, ticks);
  timer.SetEnabled(false);
  EXPECT_FALSE(timer.TimerOn());
  Wait(500);
  EXPECT_EQ(2, ticks);
  // Enabled again: re-armed with the same interval from now.
  timer.SetEnabled(true);
  Wait(99);
  EXPECT_EQ(2, ticks);
  Wait(1);
  EXPECT_EQ(3, ticks);
  timer.SetOnTimer(TNotifyEvent());
  EXPECT_FALSE(timer.TimerOn());
}

TEST_F(ControlServices, AWmTimerOfAStoppedOrFreedTimerIsIgnored) {
  Integer firstTicks = 0, secondTicks = 0;
  auto* first = new TuiTimer(nullptr);
  first->SetInterval(50);
  first->SetOnTimer([&](TObject*) { ++firstTicks; });
  Display.Advance(50);
  // Taken from the queue before the timer goes: it arrives stale.
  MSG stale{};
  ASSERT_TRUE(PeekMessage(&stale, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
  EXPECT_EQ(first->EventId(), stale.wParam);
  delete first;
  // A new timer never takes a freed one's id, wherever it lives.
  TuiTimer second(nullptr);
  second.SetInterval(50);
  second.SetOnTimer([&](TObject*) { ++secondTicks; });
  EXPECT_NE(stale.wParam, second.EventId());
  DispatchMessage(&stale);
  EXPECT_EQ(0, firstTicks);
  EXPECT_EQ(0, secondTicks);
  // The same for a timer switched off after its message was taken.
  Display.Advance(50);
  ASSERT_TRUE(PeekMessage(&stale, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
  EXPECT_EQ(second.EventId(), stale.wParam);
  second.SetEnabled(false);
  DispatchMessage(&stale);
  EXPECT_EQ(0, secondTicks);
}

TEST_F(ControlServices, ATimerMayBeFreedInItsOwnTick) {
  // Plainly, by its handler.
  Integer ticks = 0;
  auto* timer = new TuiTimer(nullptr);
  timer->SetInterval(10);
  timer->SetOnTimer([&](TObject* Sender) {
    ++ticks;
    delete Sender;
  });
  Wait(10);
  Wait(50);
  EXPECT_EQ(1, ticks);
  // Through FreeTimerAfterTick: stopped at once, freed when the tick has returned.
  bool stoppedInTick = false;
  auto* deferred = new TuiTimer(nullptr);
  deferred->SetInterval(10);
  deferred->SetOnTimer([&](TObject* Sender) {
    auto* self = static_cast<TuiTimer*>(Sender);
    FreeTimerAfterTick(self);
    stoppedInTick = !self->TimerOn();
    self->SetEnabled(true);  // still readable, and stays stopped
    stoppedInTick = stoppedInTick && !self->TimerOn();
  });
  Wait(10);
  EXPECT_TRUE(stoppedInTick);
}

TEST_F(ControlServices, OnlyANonClientMetricsChangeReachesTheRegisteredControls) {
  TuiSettingsController* controller = GetSettingsController();
  EXPECT_EQ(nullptr, controller->Handle());
  TTestControl* control = NewControl();  // registered when its bars were made
  EXPECT_EQ(1, controller->ControlCount());
  EXPECT_NE(nullptr, controller->Handle());
  {
    k58test::MessageSpy spy(control->Handle());
    // Broadcasts reach the controller's hidden window.
    SendMessage(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
    SendMessage(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("intl"));
    EXPECT_EQ(0, spy.Count(ScrollBarMetricsChangedMessage));
    SendMessage(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
    EXPECT_EQ(1, spy.Count(ScrollBarMetricsChangedMessage));
    // A control posts the same to itself whenever its non-client area is calculated (a new size).
    control->SetWidth(control->Width() + 10);
    Pump();
    EXPECT_EQ(2, spy.Count(ScrollBarMetricsChangedMessage));
  }
  // The window goes with the last control.
  FreeObject(control);
  EXPECT_EQ(0, controller->ControlCount());
  EXPECT_EQ(nullptr, controller->Handle());
}

TEST_F(ControlServices, NewScrollBarSizesReachControlsWhenTheSystemAnnouncesThem) {
  TTestControl* control = NewControl();
  k58::gdi::SetSystemMetric(SM_CYHSCROLL, 24);
  k58::gdi::SetSystemMetric(SM_CXVSCROLL, 22);
  SystemParametersInfo(SPI_SETNONCLIENTMETRICS, 0, nullptr, SPIF_SENDCHANGE);
  Pump();
  EXPECT_EQ(24, control->HScrollBar()->Height());
  EXPECT_EQ(22, control->VScrollBar()->Width());
}

TEST_F(ControlServices, TrackingTellsTheCallerOnceTheMouseLeavesItsRectangle) {
  TTestControl* control = NewControl(10, 10, 200, 150);
  std::vector<std::string> events;
  control->SetOnMouseLeave([&](TObject*) { events.push_back("control leave"); });
  Tracker tracker(&events);
  Display.MoveTo(At(control, 20, 20));
  Pump();
  StartMouseLeaveTracking(control, TRect{10, 10, 50, 50}, &tracker);
  StartMouseLeaveTracking(control, TRect{10, 10, 50, 50}, &tracker);
  EXPECT_EQ(1, k58::foundation::MouseTrackingTimerCount());
  EXPECT_TRUE(IsMouseTracking(&tracker));
  Wait(10);
  EXPECT_TRUE(events.empty());
  // Out of the rectangle, still over the control: only the caller hears.
  Display.MoveTo(At(control, 100, 100));
  Wait(10);
  EXPECT_EQ(std::vector<std::string>{"caller leave"}, events);
  EXPECT_FALSE(IsMouseTracking(&tracker));
  EXPECT_EQ(0, k58::foundation::MouseTrackingTimerCount());
  Wait(50);
  EXPECT_EQ(1, tracker.Leaves);

  // A rectangle beside the control: leaving it away from the control tells the control first.
  events.clear();
  Display.MoveTo(At(control, 250, 20));
  Pump();
  events.clear();  // the class library's own notice of the mouse leaving the control
  StartMouseLeaveTracking(control, TRect{240, 10, 280, 50}, &tracker);
  Wait(10);
  EXPECT_TRUE(events.empty());
  Display.MoveTo(At(control, 300, 100));
  Wait(10);
  EXPECT_EQ((std::vector<std::string>{"control leave", "caller leave"}), events);
}

TEST_F(ControlServices, ACallerWithItsOwnTestDecidesAndNeedsTheControlsWindow) {
  TTestControl* control = NewControl(10, 10, 200, 150);
  AreaTracker tracker;
  Display.MoveTo(At(control, 30, 40));
  Pump();
  StartMouseLeaveTracking(control, TRect{0, 0, 1, 1}, &tracker);
  Wait(10);
  EXPECT_EQ(0, tracker.Leaves);  // outside the rectangle, but the caller says inside
  ASSERT_FALSE(tracker.Asked.empty());
  EXPECT_EQ(TPoint(30, 40), tracker.Asked.back());  // client coordinates
  tracker.Inside = false;
  Wait(10);
  EXPECT_EQ(1, tracker.Leaves);

  // A control without a window: the mouse counts as outside at the first check.
  auto* windowless = NewObject<TTestControl>(Form);
  AreaTracker second;
  StartMouseLeaveTracking(windowless, TRect{0, 0, 1000, 1000}, &second);
  Wait(10);
  EXPECT_EQ(1, second.Leaves);
  EXPECT_TRUE(second.Asked.empty());
}

TEST_F(ControlServices, TheUnitEndsWithTrackingLeftRunning) {
  Tracker tracker;
  StartMouseLeaveTracking(nullptr, TRect{0, 0, 10, 10}, &tracker);
  ASSERT_EQ(1, k58::foundation::MouseTrackingTimerCount());
  EXPECT_NO_THROW(k58::foundation::StopUnits());
  EXPECT_FALSE(k58::foundation::UnitsStarted());
  EXPECT_EQ(0, k58::foundation::MouseTrackingTimerCount());
  EXPECT_EQ(0, tracker.Leaves);
  k58::foundation::StartUnits();
}

TEST_F(ControlServices, TheScreenCursorsAreOurOwnShapes) {
  k58::winui::CursorShape arrow;
  ASSERT_TRUE(k58::winui::GetCursorShape(Screen->Cursors(crArrow), arrow));
  std::vector<HCURSOR> seen;
  for (TCursor number = crUiDragCopy; number <= crUiHandPoint; ++number) {
    HCURSOR cursor = Screen->Cursors(number);
    k58::winui::CursorShape shape;
    ASSERT_TRUE(k58::winui::GetCursorShape(cursor, shape)) << number;
    EXPECT_EQ(0, shape.StandardId) << number;
    EXPECT_EQ(32, shape.Width) << number;
    EXPECT_EQ(std::find(seen.begin(), seen.end(), cursor), seen.end()) << number;
    seen.push_back(cursor);
  }
  // Loaded once: a second load answers the same cursor.
  EXPECT_EQ(Screen->Cursors(crUiHandPoint), LoadCursorResource(HInstance, "UI_HANDPOINTCURSOR"));
  EXPECT_EQ(nullptr, LoadCursorResource(HInstance, "NO_SUCH_CURSOR"));
}

TEST_F(ControlServices, NumericAndTextCharacters) {
  struct Case {
    char Ch;
    bool Kind0, Kind1, Kind2;
  };
  ASSERT_EQ('.', FormatSettings.DecimalSeparator);
  for (const Case& c : {Case{'7', true, true, true}, Case{'-', true, true, true}, Case{'+', true, true, true},
                        Case{'.', false, true, true}, Case{'e', false, false, true}, Case{'E', false, false, true},
                        Case{',', false, false, false}, Case{'x', false, false, false}}) {
    EXPECT_EQ(c.Kind0, IsNumericChar(c.Ch, 0)) << c.Ch;
    EXPECT_EQ(c.Kind1, IsNumericChar(c.Ch, 1)) << c.Ch;
    EXPECT_EQ(c.Kind2, IsNumericChar(c.Ch, 2)) << c.Ch;
    EXPECT_EQ(c.Kind0, IsNumericChar(c.Ch, 3)) << c.Ch;
  }
  EXPECT_FALSE(IsTextChar('\t'));
  EXPECT_TRUE(IsTextChar(' '));
  EXPECT_TRUE(IsTextChar('\xE4'));  // a byte of a multi-byte character is text
  EXPECT_EQ('A', KeyToChar(0x0141));
}

TEST_F(ControlServices, WindowCoordinatesConvertBetweenControlsAndTheScreen) {
  TTestControl* control = NewControl(10, 20, 200, 150);
  TRect r{1, 2, 30, 40};
  ConvertWindowRect(control->Handle(), Form->Handle(), r);
  EXPECT_EQ((TRect{11, 22, 40, 60}), r);
  TPoint p{5, 6};
  ConvertWindowPoint(control->Handle(), nullptr, p);
  EXPECT_EQ(control->ClientToScreen(TPoint{5, 6}), p);
  EXPECT_TRUE(HasParentWithHandle(control));
  EXPECT_FALSE(HasParentWithHandle(Form));
  TRect work;
  GetMonitorWorkArea(TPoint{100, 100}, work);
  TRect expected;
  SystemParametersInfo(SPI_GETWORKAREA, 0, &expected, 0);
  EXPECT_EQ(expected, work);
}

}  // namespace
