// The timer component over SetTimer on a utility window.
#include "platform/forms/Timers.h"

#include "platform/classes/ClassBuilder.h"
#include "platform/win/core/UtilWindow.h"

namespace {
constexpr UINT_PTR kTimerId = 1;
}  // namespace

K58_IMPLEMENT_CLASS(TTimer) {
  b.Prop("Enabled", &TTimer::Enabled, &TTimer::SetEnabled).Default(true);
  b.Prop("Interval", &TTimer::Interval, &TTimer::SetInterval).Default(1000);
  b.Prop("OnTimer", &TTimer::OnTimer, &TTimer::SetOnTimer);
}

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {}

TTimer::~TTimer() {
  if (window_) {
    KillTimer(window_, kTimerId);
    DeallocateHWnd(window_);
  }
}

void TTimer::UpdateTimer() {
  if (running_) {
    KillTimer(window_, kTimerId);
    running_ = false;
  }
  if (interval_ == 0 || !enabled_ || !onTimer_) return;
  if (window_ == nullptr) {
    window_ = AllocateHWnd([this](HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
      return WndProc(Wnd, Msg, WParam, LParam);
    });
    if (window_ == nullptr) throw EOutOfResources(timerconsts::SNoTimers);
  }
  if (SetTimer(window_, kTimerId, interval_, nullptr) == 0) throw EOutOfResources(timerconsts::SNoTimers);
  running_ = true;
}

void TTimer::SetEnabled(bool Value) {
  if (Value == enabled_) return;
  enabled_ = Value;
  UpdateTimer();
}

void TTimer::SetInterval(Cardinal Value) {
  if (Value == interval_) return;
  interval_ = Value;
  UpdateTimer();
}

void TTimer::SetOnTimer(const TNotifyEvent& Value) {
  onTimer_ = Value;
  UpdateTimer();
}

void TTimer::Timer() { onTimer_(this); }

LRESULT TTimer::WndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Msg == WM_TIMER && WParam == kTimerId) {
    // The handler may free the timer: nothing of it is touched afterwards.
    if (running_) Timer();
    return 0;
  }
  return DefWindowProc(Wnd, Msg, WParam, LParam);
}
