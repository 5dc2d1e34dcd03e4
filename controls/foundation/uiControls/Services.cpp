// The control unit's services: message windows, the timers on their shared window, the settings
// controller, mouse-leave tracking, the screen cursors, the small routines and the unit's start and end.
#include <algorithm>

#include "controls/foundation/uiControls.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/classes/ClassErrors.h"
#include "platform/win/core/UtilWindow.h"
#include "platform/classes/Streams.h"
#include "platform/forms/CursorResource.h"
#include "platform/rtl/FormatSettings.h"

namespace {

// The process-wide objects, each made on first use and freed when the unit stops.
TuiMessageWindow* messageWindow = nullptr;
TuiTimerWindow* timerWindow = nullptr;
TuiSettingsController* settingsController = nullptr;
std::vector<TMouseTrackingTimer*>* trackingTimers = nullptr;
// Ids of system timers: counted, so a new timer never receives a stopped one's queued WM_TIMER.
UINT_PTR lastTimerId = 0;

TuiTimerWindow* GetTimerWindow() {
  if (timerWindow == nullptr) timerWindow = new TuiTimerWindow;
  return timerWindow;
}

std::vector<TMouseTrackingTimer*>& TrackingTimers() {
  if (trackingTimers == nullptr) trackingTimers = new std::vector<TMouseTrackingTimer*>;
  return *trackingTimers;
}

TMouseTrackingTimer* FindTrackingTimer(IuiMouseTrackingCaller* ACaller) {
  if (trackingTimers == nullptr || ACaller == nullptr) return nullptr;
  for (TMouseTrackingTimer* timer : *trackingTimers)
    if (timer->Caller == ACaller) return timer;
  return nullptr;
}

bool IsAlive(const std::weak_ptr<bool>& AToken) {
  const std::shared_ptr<bool> alive = AToken.lock();
  return alive != nullptr && *alive;
}

TMessage MakeMessage(UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMessage message;
  message.Msg = Msg;
  message.WParam = WParam;
  message.LParam = LParam;
  message.Result = 0;
  return message;
}

struct TCursorResource {
  TCursor Number;
  const char* Name;
};
constexpr TCursorResource kCursors[] = {
    {crUiDragCopy, "UI_DRAGCOPYCURSOR"},     {crUiFullScroll, "UI_FULLSCROLLCURSOR"},
    {crUiHorScroll, "UI_HORSCROLLCURSOR"},   {crUiVerScroll, "UI_VERSCROLLCURSOR"},
    {crUiUpScroll, "UI_UPSCROLLCURSOR"},     {crUiRightScroll, "UI_RIGHTSCROLLCURSOR"},
    {crUiDownScroll, "UI_DOWNSCROLLCURSOR"}, {crUiLeftScroll, "UI_LEFTSCROLLCURSOR"},
    {crUiRemove, "UI_REMOVECURSOR"},         {crUiVertSize, "UI_VERTSIZECURSOR"},
    {crUiHorzSize, "UI_HORZSIZECURSOR"},     {crUiMultiDrag, "UI_MULTIDRAGCURSOR"},
    {crUiNoDrop, "UI_NODROPCURSOR"},         {crUiDrag, "UI_DRAGCURSOR"},
    {crUiHandPoint, "UI_HANDPOINTCURSOR"},
};

}  // namespace

// ---- Message windows ----------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiMessageWindow) {}

TuiMessageWindow::TuiMessageWindow() {
  handle_ = AllocateHWnd([this](HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    (void)Wnd;
    TMessage message = MakeMessage(Msg, WParam, LParam);
    WndProc(message);
    return message.Result;
  });
}

TuiMessageWindow::~TuiMessageWindow() { DeallocateHWnd(handle_); }

void TuiMessageWindow::WndProc(TMessage& Message) {
  Message.Result = ::DefWindowProc(handle_, Message.Msg, Message.WParam, Message.LParam);
}

K58_IMPLEMENT_CLASS(TuiTimerWindow) {}

TuiTimerWindow::~TuiTimerWindow() {
  // Timers that outlive the window (freed later by their owners) no longer run.
  for (auto& [id, timer] : running_) {
    ::KillTimer(Handle(), id);
    timer->timerOn_ = false;
  }
  running_.clear();
}

void TuiTimerWindow::WndProc(TMessage& Message) {
  if (Message.Msg != WM_TIMER) {
    TuiMessageWindow::WndProc(Message);
    return;
  }
  const auto it = std::find_if(running_.begin(), running_.end(),
                               [&](const auto& entry) { return entry.first == Message.WParam; });
  if (it == running_.end()) return;
  TuiTimer* timer = it->second;
  firing_.push_back(timer);
  try {
    timer->FireTimer();
  } catch (...) {
    firing_.pop_back();
    throw;
  }
  // Cleared when the timer was freed in its tick.
  timer = firing_.back();
  firing_.pop_back();
  if (timer != nullptr && timer->freeAfterTick_ &&
      std::find(firing_.begin(), firing_.end(), timer) == firing_.end()) {
    delete timer;
  }
}

// ---- Timer --------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiTimer) {
  b.Prop("Enabled", &TuiTimer::Enabled, &TuiTimer::SetEnabled).Default(true);
  b.Prop("Interval", &TuiTimer::Interval, &TuiTimer::SetInterval).Default(Cardinal{1000});
  b.Prop("OnTimer", &TuiTimer::OnTimer, &TuiTimer::SetOnTimer);
}

TuiTimer::TuiTimer(TComponent* AOwner) : TComponent(AOwner), eventId_(++lastTimerId) {}

TuiTimer::~TuiTimer() {
  StopSystemTimer();
  if (timerWindow != nullptr)
    for (TuiTimer*& firing : timerWindow->firing_)
      if (firing == this) firing = nullptr;
}

void TuiTimer::SetEnabled(bool Value) {
  if (enabled_ == Value) return;
  enabled_ = Value;
  RestartTimer();
}

void TuiTimer::SetInterval(Cardinal Value) {
  if (Value == 0 || Value == interval_) return;
  interval_ = Value;
  RestartTimer();
}

void TuiTimer::SetOnTimer(const TNotifyEvent& Value) {
  onTimer_ = Value;
  RestartTimer();
}

void TuiTimer::FireTimer() {
  // A copy: the handler may free this timer, and with it the event.
  const TNotifyEvent handler = onTimer_;
  handler(this);
}

void TuiTimer::RestartTimer() {
  StopSystemTimer();
  StartSystemTimer();
}

void TuiTimer::StartSystemTimer() {
  if (!enabled_ || timerOn_ || !onTimer_ || freeAfterTick_) return;
  SetTimerOn(::SetTimer(GetTimerWindow()->Handle(), eventId_, interval_, nullptr) != 0);
}

void TuiTimer::StopSystemTimer() {
  if (!timerOn_) return;
  if (timerWindow != nullptr) ::KillTimer(timerWindow->Handle(), eventId_);
  SetTimerOn(false);
}

void TuiTimer::SetTimerOn(bool Value) {
  if (timerOn_ == Value) return;
  timerOn_ = Value;
  if (timerWindow == nullptr) return;
  auto& running = timerWindow->running_;
  if (Value) {
    running.emplace_back(eventId_, this);
  } else {
    running.erase(std::remove_if(running.begin(), running.end(),
                                 [this](const auto& entry) { return entry.second == this; }),
                  running.end());
  }
}

void FreeTimerAfterTick(TuiTimer* ATimer) {
  if (ATimer == nullptr) return;
  const bool inTick = timerWindow != nullptr &&
                      std::find(timerWindow->firing_.begin(), timerWindow->firing_.end(), ATimer) !=
                          timerWindow->firing_.end();
  if (!inTick) {
    delete ATimer;
    return;
  }
  ATimer->freeAfterTick_ = true;
  ATimer->StopSystemTimer();
}

// ---- Settings controller ------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiSettingsController) {}

TuiSettingsController::~TuiSettingsController() { DeallocateHWnd(handle_); }

void TuiSettingsController::AddControl(TWinControl* AControl) {
  if (AControl == nullptr || std::find(controls_.begin(), controls_.end(), AControl) != controls_.end()) return;
  if (controls_.empty()) {
    handle_ = AllocateHWnd([this](HWND, UINT Msg, WPARAM WParam, LPARAM LParam) {
      TMessage message = MakeMessage(Msg, WParam, LParam);
      WndProc(message);
      return message.Result;
    });
  }
  controls_.push_back(AControl);
}

void TuiSettingsController::RemoveControl(TWinControl* AControl) {
  const auto it = std::find(controls_.begin(), controls_.end(), AControl);
  if (it == controls_.end()) return;
  controls_.erase(it);
  if (controls_.empty()) {
    DeallocateHWnd(handle_);
    handle_ = nullptr;
  }
}

void TuiSettingsController::WndProc(TMessage& Message) {
  if (Message.Msg == WM_SETTINGCHANGE && Message.WParam == SPI_SETNONCLIENTMETRICS) {
    // A copy: a control may leave the list while it is told.
    const std::vector<TWinControl*> controls = controls_;
    for (TWinControl* control : controls)
      if (std::find(controls_.begin(), controls_.end(), control) != controls_.end() && control->HandleAllocated())
        ::SendNotifyMessage(control->Handle(), ScrollBarMetricsChangedMessage, 0, 0);
    Message.Result = 0;
    return;
  }
  Message.Result = ::DefWindowProc(handle_, Message.Msg, Message.WParam, Message.LParam);
}

TuiSettingsController* GetSettingsController() {
  if (settingsController == nullptr) settingsController = new TuiSettingsController;
  return settingsController;
}

// ---- Mouse-leave tracking -----------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TMouseTrackingTimer) {}

// One poll: nothing while the mouse is inside; else the control hears CM_MOUSELEAVE (when the mouse also
// left its client area), the caller MouseLeave, and the tracking ends.
void CheckMouseTracking(TMouseTrackingTimer* ATimer) {
  TPoint cursor{};
  ::GetCursorPos(&cursor);
  TWinControl* control = IsAlive(ATimer->controlAlive_) ? ATimer->Control : nullptr;
  const bool hasWindow = control != nullptr && control->HandleAllocated();
  bool inside;
  if (auto* caller2 = dynamic_cast<IuiMouseTrackingCaller2*>(ATimer->Caller)) {
    inside = hasWindow && caller2->PtInCaller(control->ScreenToClient(cursor));
  } else {
    inside = PtInRect(&ATimer->Bounds, cursor) != FALSE;
  }
  if (inside) return;
  IuiMouseTrackingCaller* caller = ATimer->Caller;
  if (hasWindow) {
    const TRect client = control->ClientRect();
    const TPoint p = control->ScreenToClient(cursor);
    if (!PtInRect(&client, p)) control->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(control));
  }
  // The timer is freed when this tick returns, so the caller stays readable whoever stopped it.
  caller->MouseLeave();
  StopMouseLeaveTracking(caller);
}

void StartMouseLeaveTracking(TWinControl* AControl, const TRect& ABounds, IuiMouseTrackingCaller* ACaller) {
  if (ACaller == nullptr || FindTrackingTimer(ACaller) != nullptr) return;
  auto* timer = new TMouseTrackingTimer(nullptr);
  timer->SetInterval(10);
  timer->Control = AControl;
  if (AControl != nullptr) timer->controlAlive_ = AControl->AliveToken();
  timer->Bounds = ABounds;
  // A control without a window has no place on the screen yet; its tracking ends at the first check.
  if (AControl != nullptr && AControl->HandleAllocated()) {
    const TPoint topLeft = AControl->ClientToScreen(TPoint{ABounds.left, ABounds.top});
    const TPoint bottomRight = AControl->ClientToScreen(TPoint{ABounds.right, ABounds.bottom});
    timer->Bounds = TRect{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
  }
  timer->Caller = ACaller;
  TrackingTimers().push_back(timer);
  timer->SetOnTimer([timer](TObject*) { CheckMouseTracking(timer); });
}

void StopMouseLeaveTracking(IuiMouseTrackingCaller* ACaller) {
  TMouseTrackingTimer* timer = FindTrackingTimer(ACaller);
  if (timer == nullptr) return;
  auto& timers = *trackingTimers;
  timers.erase(std::find(timers.begin(), timers.end(), timer));
  FreeTimerAfterTick(timer);
}

bool IsMouseTracking(IuiMouseTrackingCaller* ACaller) { return FindTrackingTimer(ACaller) != nullptr; }

// ---- Small routines -----------------------------------------------------------------------------------

void GetMonitorWorkArea(const TPoint& P, TRect& R) {
  MONITORINFO info;
  HMONITOR monitor = ::MonitorFromPoint(P, MONITOR_DEFAULTTONEAREST);
  if (monitor != nullptr && ::GetMonitorInfo(monitor, &info)) {
    R = info.rcWork;
    return;
  }
  ::SystemParametersInfo(SPI_GETWORKAREA, 0, &R, 0);
}

Integer GetDoubleClickInterval() { return static_cast<Integer>(::GetDoubleClickTime()); }

void uiGetCursorPos(TPoint& P) { ::GetCursorPos(&P); }

bool IsCtrlPressed() { return ::GetAsyncKeyState(VK_CONTROL) < 0; }

void ConvertWindowPoint(HWND AFrom, HWND ATo, TPoint& P) { ::MapWindowPoints(AFrom, ATo, &P, 1); }

void ConvertWindowRect(HWND AFrom, HWND ATo, TRect& R) {
  TPoint topLeft{R.left, R.top};
  TPoint bottomRight{R.right, R.bottom};
  ConvertWindowPoint(AFrom, ATo, topLeft);
  ConvertWindowPoint(AFrom, ATo, bottomRight);
  R = TRect{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

bool HasParentWithHandle(TControl* AControl) {
  for (TWinControl* parent = AControl != nullptr ? AControl->Parent() : nullptr; parent != nullptr;
       parent = parent->Parent())
    if (parent->HandleAllocated()) return true;
  return false;
}

bool IsNumericChar(char Ch, Integer AKind) {
  if (Ch == '+' || Ch == '-' || (Ch >= '0' && Ch <= '9')) return true;
  if (AKind == 1 || AKind == 2) {
    if (Ch == FormatSettings.DecimalSeparator) return true;
    if (AKind == 2 && (Ch == 'e' || Ch == 'E')) return true;
  }
  return false;
}

bool IsTextChar(char Ch) { return static_cast<unsigned char>(Ch) >= 32; }

char KeyToChar(Word AKey) { return static_cast<char>(AKey & 0xFF); }

TuiMessageWindow* GetMessageWindow() {
  if (messageWindow == nullptr) messageWindow = new TuiMessageWindow;
  return messageWindow;
}

bool IsComponentLoading(TComponent* AComponent) {
  return AComponent != nullptr && AComponent->ComponentState().Contains(csLoading);
}

// ---- The unit -----------------------------------------------------------------------------------------

namespace k58::foundation {

TuiSettingsController* ExistingSettingsController() { return settingsController; }

Integer MouseTrackingTimerCount() {
  return trackingTimers != nullptr ? static_cast<Integer>(trackingTimers->size()) : 0;
}

void StartControlsUnit() {
  if (Screen == nullptr) return;
  for (const TCursorResource& cursor : kCursors)
    if (HCURSOR handle = LoadCursorResource(HInstance, cursor.Name)) Screen->SetCursors(cursor.Number, handle);
}

void StopControlsUnit() {
  // A library control stops its tracking when it goes; what is left is stopped and freed here, so the
  // rest of the unit still ends.
  if (trackingTimers != nullptr) {
    while (!trackingTimers->empty()) StopMouseLeaveTracking(trackingTimers->back()->Caller);
    delete trackingTimers;
    trackingTimers = nullptr;
  }
  FreeAndNil(settingsController);
  FreeAndNil(timerWindow);
  FreeAndNil(messageWindow);
}

bool GetModalLoopMessage(MSG& AMsg) {
  const BOOL got = ::GetMessage(&AMsg, nullptr, 0, 0);
  if (got == 0) ::PostQuitMessage(static_cast<int>(AMsg.wParam));
  return got > 0;
}

}  // namespace k58::foundation
