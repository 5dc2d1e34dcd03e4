// The timer component: OnTimer every Interval milliseconds while Enabled, through a window timer on a
// hidden window of the thread that made it. It fires only while that thread runs a message loop
// (nested modal loops included); turning Enabled off and on starts the interval anew.
#pragma once

#include "platform/classes/Component.h"
#include "platform/forms/Graphics.h"
#include "platform/win/core/WinUser.h"

namespace timerconsts {
inline constexpr const char* SNoTimers = "Not enough timers available";
}  // namespace timerconsts

class TTimer : public TComponent {
  K58_CLASS(TTimer, TComponent)

  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool Value);
  // Milliseconds; 0 stops the timer.
  Cardinal Interval() const { return interval_; }
  void SetInterval(Cardinal Value);
  // Without a handler the timer does not run.
  const TNotifyEvent& OnTimer() const { return onTimer_; }
  void SetOnTimer(const TNotifyEvent& Value);

 protected:
  // Runs OnTimer.
  virtual void Timer();

 private:
  void UpdateTimer();
  LRESULT WndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

  bool enabled_ = true;
  Cardinal interval_ = 1000;
  TNotifyEvent onTimer_;
  HWND window_ = nullptr;
  bool running_ = false;
};
