// The application: the message loop, forms made through it, the display of exceptions, message boxes,
// hints, the mouse-over tracking of controls, and the hidden application window.
#include <algorithm>
#include <climits>
#include <cstdio>
#include <unistd.h>

#include "platform/classes/Filer.h"
#include "platform/classes/Streams.h"
#include "platform/forms/ControlsInternal.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Hints.h"
#include "platform/forms/Menus.h"
#include "platform/win/core/UtilWindow.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win/ui/MessageBox.h"

using namespace k58::forms;

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

namespace {

// Timer of the application window that shows and hides hints.
constexpr UINT_PTR kHintTimer = 1;
constexpr const char* kAppWindowClass = "TApplication";

// Form resources name components of other forms and of data modules by "Form.Component": the forms
// and data modules alive are found by their names.
TComponent* FindGlobalForm(const String& Name) {
  if (Screen == nullptr || Name.empty()) return nullptr;
  for (Integer i = 0; i < Screen->FormCount(); ++i) {
    if (SameText(Screen->Forms(i)->Name(), Name)) return Screen->Forms(i);
  }
  for (Integer i = 0; i < Screen->DataModuleCount(); ++i) {
    if (SameText(Screen->DataModules(i)->Name(), Name)) return Screen->DataModules(i);
  }
  return nullptr;
}

// The global objects exist from start-up on (no window is made until one is needed).
struct GlobalObjects {
  GlobalObjects() {
    Application = new TApplication(nullptr);
    Screen = new TScreen(nullptr);
    RegisterFindGlobalComponentProc(FindGlobalForm);
  }
};
const GlobalObjects globalObjects;

LRESULT AppWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Application == nullptr || !Application->HandleAllocated() || Application->Handle() != Wnd ||
      Msg == WM_NCDESTROY) {
    return ::DefWindowProc(Wnd, Msg, WParam, LParam);
  }
  TMessage message;
  message.Msg = Msg;
  message.WParam = WParam;
  message.LParam = LParam;
  try {
    Application->Perform(message);
  } catch (...) {
    Application->HandleException(Application);
  }
  return message.Result;
}

}  // namespace

String GetShortHint(const String& Hint) {
  size_t bar = Hint.find('|');
  return bar == String::npos ? Hint : Hint.substr(0, bar);
}

String GetLongHint(const String& Hint) {
  size_t bar = Hint.find('|');
  return bar == String::npos ? Hint : Hint.substr(bar + 1);
}

std::vector<HWND> DisableTaskWindows(HWND ActiveWindow) {
  struct Context {
    HWND Active;
    std::vector<HWND> List;
  } context{ActiveWindow, {}};
  ::EnumThreadWindows(::GetCurrentThreadId(), [](HWND Wnd, LPARAM Param) -> BOOL {
    auto* ctx = reinterpret_cast<Context*>(Param);
    if (Wnd != ctx->Active && ::IsWindowVisible(Wnd) && ::IsWindowEnabled(Wnd)) {
      ctx->List.push_back(Wnd);
      ::EnableWindow(Wnd, FALSE);
    }
    return TRUE;
  }, reinterpret_cast<LPARAM>(&context));
  return context.List;
}

void EnableTaskWindows(const std::vector<HWND>& WindowList) {
  for (HWND wnd : WindowList) {
    if (::IsWindow(wnd)) ::EnableWindow(wnd, TRUE);
  }
}

// ---- Construction -------------------------------------------------------------------------------------------

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner), icon_(new TIcon()) {
  hintWindowClass_ = THintWindow::StaticClass();
  // Exceptions escaping the procedures of utility windows (timers) are shown like any other.
  ApplicationHandleException = [](TObject* Sender) {
    if (Application != nullptr) Application->HandleException(Sender);
  };
}

TApplication::~TApplication() {
  if (hintWindow_ != nullptr) {
    THintWindow* hint = hintWindow_;
    hintWindow_ = nullptr;
    FreeObject(hint);
  }
  if (handle_ != nullptr) {
    HWND wnd = handle_;
    handle_ = nullptr;
    ::DestroyWindow(wnd);
  }
}

void TApplication::Initialize() {}

HWND TApplication::Handle() {
  if (handle_ != nullptr && !::IsWindow(handle_)) handle_ = nullptr;
  if (handle_ == nullptr && !handleDestroyed_) {
    WNDCLASS cls{};
    if (!::GetClassInfo(HInstance, kAppWindowClass, &cls)) {
      cls = WNDCLASS();
      cls.lpfnWndProc = AppWindowProc;
      cls.hInstance = HInstance;
      cls.lpszClassName = kAppWindowClass;
      ::RegisterClass(&cls);
    }
    // A hidden top-level window: it hears the broadcasts and what the application posts to itself.
    handle_ = ::CreateWindowEx(WS_EX_TOOLWINDOW, kAppWindowClass, title_.c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU,
                               0, 0, 0, 0, nullptr, nullptr, HInstance, nullptr);
  }
  return handle_;
}

void TApplication::SetTitle(const String& Value) {
  title_ = Value;
  if (handle_ != nullptr) ::SetWindowText(handle_, Value.c_str());
}

String TApplication::ExeName() const {
  char buffer[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
  if (n <= 0) return String();
  return String(buffer, static_cast<size_t>(n));
}

void TApplication::CreateForm(TClass InstanceClass, void* Reference) {
  TComponent* instance = InstanceClass->CreateComponent(this);
  if (Reference != nullptr) *static_cast<TComponent**>(Reference) = instance;
  if (mainForm_ == nullptr) {
    if (auto* form = dynamic_cast<TCustomForm*>(instance)) {
      form->HandleNeeded();
      mainForm_ = form;
    }
  }
}

// ---- The message loop -----------------------------------------------------------------------------------------

bool TApplication::IsKeyMsg(MSG& Msg) {
  if (Msg.message < WM_KEYFIRST || Msg.message > WM_KEYLAST) return false;
  HWND wnd = ::GetCapture();
  if (wnd == nullptr) {
    wnd = Msg.hwnd;
    if (mainForm_ != nullptr && mainForm_->ClientHandle() != nullptr && wnd == mainForm_->ClientHandle()) {
      wnd = mainForm_->Handle();
    } else {
      // The nearest control: windows of no control know nothing of CN_ messages.
      HWND w = wnd;
      while (w != nullptr && FindControl(w) == nullptr) w = ::GetParent(w);
      if (w != nullptr) wnd = w;
    }
  }
  if (wnd == nullptr) return false;
  return ::SendMessage(wnd, CN_BASE + Msg.message, Msg.wParam, Msg.lParam) != 0;
}

bool TApplication::IsHintMsg(MSG& Msg) {
  if (hintWindow_ != nullptr && hintShowing_ && hintWindow_->IsHintMsg(Msg)) CancelHint();
  return false;
}

bool TApplication::IsMDIMsg(MSG& Msg) {
  (void)Msg;
  return false;
}

bool TApplication::IsDlgMsg(MSG& Msg) {
  (void)Msg;
  return false;
}

bool TApplication::ProcessMessage(MSG& Msg) {
  if (!::PeekMessage(&Msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (Msg.message == WM_QUIT) {
    terminate_ = true;
    return true;
  }
  bool handled = false;
  onMessage_(Msg, handled);
  if (!handled && !IsHintMsg(Msg) && !IsMDIMsg(Msg) && !IsKeyMsg(Msg) && !IsDlgMsg(Msg)) {
    ::TranslateMessage(&Msg);
    ::DispatchMessage(&Msg);
  }
  return true;
}

void TApplication::HandleMessage() {
  MSG msg;
  if (!ProcessMessage(msg)) Idle(msg);
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (ProcessMessage(msg)) {
  }
}

void TApplication::Run() {
  running_ = true;
  terminate_ = false;
  if (mainForm_ != nullptr && showMainForm_) mainForm_->SetVisible(true);
  if (mainForm_ != nullptr) {
    do {
      try {
        HandleMessage();
      } catch (...) {
        HandleException(this);
      }
    } while (!terminate_);
  }
  running_ = false;
}

void TApplication::Terminate() {
  terminate_ = true;
  ::PostQuitMessage(0);
}

void TApplication::Idle(const MSG& Msg) {
  (void)Msg;
  UpdateMouseControl();
  if (showHint_ && mouseControl_ == nullptr) CancelHint();
  // The long hint of the control under the mouse (or of its nearest parent that has one).
  String hint;
  for (TControl* c = mouseControl_; c != nullptr; c = c->Parent()) {
    if (!c->Hint().empty()) {
      hint = c->Hint();
      break;
    }
  }
  SetHint(GetLongHint(hint));
  bool done = true;
  try {
    onIdle_(this, done);
  } catch (...) {
    HandleException(this);
  }
  if (done) ::WaitMessage();
}

void TApplication::ModalStarted() {
  ++modalLevel_;
  if (modalLevel_ == 1) onModalBegin_(this);
}

void TApplication::ModalFinished() {
  if (modalLevel_ > 0) --modalLevel_;
  if (modalLevel_ == 0) onModalEnd_(this);
}

void TApplication::Minimize() {
  if (mainForm_ != nullptr && mainForm_->HandleAllocated()) ::ShowWindow(mainForm_->Handle(), SW_MINIMIZE);
  onMinimize_(this);
}

void TApplication::Restore() {
  if (mainForm_ != nullptr && mainForm_->HandleAllocated() && ::IsIconic(mainForm_->Handle())) {
    ::ShowWindow(mainForm_->Handle(), SW_RESTORE);
  }
  onRestore_(this);
}

void TApplication::BringToFront() {
  if (mainForm_ == nullptr || !mainForm_->HandleAllocated()) return;
  HWND wnd = ::GetLastActivePopup(mainForm_->Handle());
  if (wnd == nullptr || !::IsWindowVisible(wnd) || !::IsWindowEnabled(wnd)) wnd = mainForm_->Handle();
  ::SetForegroundWindow(wnd);
}

// ---- Exceptions and message boxes -------------------------------------------------------------------------------

void TApplication::HandleException(TObject* Sender) {
  std::exception_ptr current = std::current_exception();
  if (!current) return;
  if (HWND capture = ::GetCapture()) ::SendMessage(capture, WM_CANCELMODE, 0, 0);
  try {
    std::rethrow_exception(current);
  } catch (EAbort&) {
    // An abort is silent.
  } catch (Exception& e) {
    if (onException_) {
      onException_(Sender, &e);
    } else {
      ShowException(&e);
    }
  } catch (std::exception& e) {
    Exception wrapped(e.what());
    if (onException_) {
      onException_(Sender, &wrapped);
    } else {
      ShowException(&wrapped);
    }
  } catch (...) {
    Exception wrapped("Unknown exception");
    if (onException_) {
      onException_(Sender, &wrapped);
    } else {
      ShowException(&wrapped);
    }
  }
}

void TApplication::ShowException(Exception* E) {
  String message = E != nullptr ? E->Message() : String();
  // A message ends in a full stop unless it ends in other punctuation.
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') message += '.';
  String title = title_;
  if (title.empty()) title = ChangeFileExt(ExtractFileName(ExeName()), "");
  MessageBox(message, title, MB_OK | MB_ICONSTOP);
}

TApplication::TMessageBoxProc& TApplication::MessageBoxProc() {
  static TMessageBoxProc proc = [](HWND Owner, const String& Text, const String& Caption, UINT Flags) -> Integer {
    return ::MessageBox(Owner, Text.c_str(), Caption.c_str(), Flags);
  };
  return proc;
}

Integer TApplication::MessageBox(const String& Text, const String& Caption, UINT Flags) {
  HWND active = ::GetActiveWindow();
  std::vector<HWND> windows = DisableTaskWindows(nullptr);
  Integer result = 0;
  try {
    result = MessageBoxProc() ? MessageBoxProc()(active, Text, Caption, Flags) : IDOK;
  } catch (...) {
    EnableTaskWindows(windows);
    if (active != nullptr && ::IsWindow(active)) ::SetActiveWindow(active);
    throw;
  }
  EnableTaskWindows(windows);
  if (active != nullptr && ::IsWindow(active)) ::SetActiveWindow(active);
  return result;
}

// ---- The application window ------------------------------------------------------------------------------------

void TApplication::HookMainWindow(const TWindowHook& Hook) {
  for (const TWindowHook& h : windowHooks_) {
    if (h == Hook) return;
  }
  windowHooks_.push_back(Hook);
}

void TApplication::UnhookMainWindow(const TWindowHook& Hook) {
  for (auto it = windowHooks_.begin(); it != windowHooks_.end(); ++it) {
    if (*it == Hook) {
      windowHooks_.erase(it);
      return;
    }
  }
}

void TApplication::Perform(TMessage& Message) { WndProc(Message); }

void TApplication::WndProc(TMessage& Message) {
  // The hooks see every message first; the first one that handles it ends it.
  std::vector<TWindowHook> hooks = windowHooks_;
  for (const TWindowHook& hook : hooks) {
    if (hook(Message)) return;
  }
  switch (Message.Msg) {
    case WM_TIMER:
      if (Message.WParam == kHintTimer) {
        HintTimerExpired();
        return;
      }
      break;
    case WM_ACTIVATEAPP:
      SetActiveState(Message.WParam != 0);
      break;
    case WM_CLOSE:
      if (mainForm_ != nullptr) mainForm_->Close();
      return;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
      if (Screen != nullptr && Message.Msg == WM_SETTINGCHANGE) Screen->ResetFonts();
      break;
    case CM_APPKEYDOWN: {
      TWMKey key;
      key.Msg = WM_KEYDOWN;
      key.WParam = Message.WParam;
      key.LParam = Message.LParam;
      Message.Result = IsShortCut(key) ? 1 : 0;
      return;
    }
    case CM_APPSYSCOMMAND:
      Message.Result = 0;
      return;
    default:
      break;
  }
  Message.Result = ::DefWindowProc(handle_, Message.Msg, Message.WParam, Message.LParam);
}

void TApplication::SetActiveState(bool Value) {
  if (active_ == Value) return;
  active_ = Value;
  if (Value) {
    onActivate_(this);
  } else {
    CancelHint();
    onDeactivate_(this);
  }
}

bool TApplication::IsShortCut(TWMKey& Message) {
  bool handled = false;
  onShortCut_(Message, handled);
  if (handled) return true;
  if (mainForm_ != nullptr) {
    TCustomForm* active = Screen != nullptr ? Screen->ActiveForm() : nullptr;
    // The main form's menu answers for the other forms too, unless a form with its own menu is active.
    if (active != mainForm_ && mainForm_->Enabled() && mainForm_->HandleAllocated() &&
        ::IsWindowEnabled(mainForm_->Handle())) {
      return mainForm_->IsShortCut(Message);
    }
  }
  return false;
}

// ---- Hints and mouse tracking ------------------------------------------------------------------------------------

void TApplication::ControlDestroyed(TControl* Control) {
  if (mouseControl_ == Control) mouseControl_ = nullptr;
  if (hintControl_ == Control) {
    hintControl_ = nullptr;
    CancelHint();
  }
  if (Screen != nullptr) Screen->ControlDestroyed(Control);
}

void TApplication::UpdateMouseControl() {
  TPoint p{};
  ::GetCursorPos(&p);
  TControl* control = FindDragTarget(p, true);
  bool oldAlive = mouseControl_ != nullptr && !mouseControlAlive_.expired() && *mouseControlAlive_.lock();
  if (!oldAlive) mouseControl_ = nullptr;
  if (control == mouseControl_) return;
  TControl* old = mouseControl_;
  mouseControl_ = control;
  mouseControlAlive_ = control != nullptr ? control->AliveToken() : std::weak_ptr<bool>();
  if (old != nullptr) old->Perform(CM_MOUSELEAVE, 0, 0);
  // A handler may have moved on already; enter only the control still under the mouse.
  if (mouseControl_ == control && control != nullptr && !mouseControlAlive_.expired() && *mouseControlAlive_.lock()) {
    control->Perform(CM_MOUSEENTER, 0, 0);
  }
}

TControl* TApplication::FindHintControl(TControl* Control) {
  TControl* result = Control;
  while (result != nullptr && !result->ShowHint()) result = result->Parent();
  if (result != nullptr && result->ComponentState().Contains(csDesigning)) result = nullptr;
  return result;
}

void TApplication::HintMouseMessage(TControl* Control, TMessage& Message) {
  UpdateMouseControl();
  if (!showHint_) return;
  TPoint pt = LParamToPoint(Message.LParam);
  TPoint screenPt{};
  try {
    screenPt = Control->ClientToScreen(pt);
  } catch (...) {
    return;
  }
  TControl* target = FindDragTarget(screenPt, true);
  TControl* hintControl = FindHintControl(target);
  if (hintControl == nullptr || GetShortHint(hintControl->Hint()).empty()) {
    CancelHint();
    return;
  }
  bool sameControl = hintControl == hintControl_ && !hintControlAlive_.expired() && *hintControlAlive_.lock();
  if (sameControl) {
    TPoint local = hintControl->ScreenToClient(screenPt);
    bool inside = local.x >= hintCursorRect_.left && local.x < hintCursorRect_.right && local.y >= hintCursorRect_.top &&
                  local.y < hintCursorRect_.bottom;
    if (inside || !hintShowing_) return;
  }
  bool wasActive = hintActive_;
  CancelHint();
  hintControl_ = hintControl;
  hintControlAlive_ = hintControl->AliveToken();
  TRect client = hintControl->ClientRect();
  hintCursorRect_ = client;
  hintActive_ = wasActive;
  hintTimerState_ = 1;
  StartHintTimer(wasActive ? hintShortPause_ : hintPause_);
}

void TApplication::StartHintTimer(Integer Value) {
  ::KillTimer(Handle(), kHintTimer);
  if (Value <= 0) {
    HintTimerExpired();
    return;
  }
  ::SetTimer(Handle(), kHintTimer, static_cast<UINT>(Value), nullptr);
}

void TApplication::StopHintTimer() {
  hintTimerState_ = 0;
  if (handle_ != nullptr) ::KillTimer(handle_, kHintTimer);
}

void TApplication::HintTimerExpired() {
  Integer state = hintTimerState_;
  StopHintTimer();
  if (state == 1) {
    TPoint p{};
    ::GetCursorPos(&p);
    ActivateHint(p);
  } else if (state == 2) {
    HideHint();
  }
}

void TApplication::ActivateHint(const TPoint& CursorPos) {
  if (hintControl_ == nullptr || hintControlAlive_.expired() || !*hintControlAlive_.lock()) {
    hintControl_ = nullptr;
    return;
  }
  ShowHintNow(hintControl_, CursorPos);
}

void TApplication::ShowHintNow(TControl* Control, const TPoint& CursorPos) {
  THintInfo info;
  info.HintControl = Control;
  info.HintWindowClass = hintWindowClass_;
  info.HintPos = TPoint{CursorPos.x, CursorPos.y + 20};
  info.HintMaxWidth = Screen != nullptr ? Screen->Width() : 1024;
  info.HintColor = hintColor_;
  info.CursorRect = Control->ClientRect();
  info.CursorPos = Control->ScreenToClient(CursorPos);
  info.HintStr = GetShortHint(Control->Hint());
  info.HideTimeout = hintHidePause_;
  std::weak_ptr<bool> alive = Control->AliveToken();
  bool canShow = Control->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) == 0;
  if (alive.expired() || !*alive.lock()) return;
  if (canShow && onShowHint_) onShowHint_(info.HintStr, canShow, info);
  hintActive_ = canShow && !info.HintStr.empty();
  if (!hintActive_) {
    HideHint();
    return;
  }
  if (hintWindow_ == nullptr || (info.HintWindowClass != nullptr && hintWindow_->ClassType() != info.HintWindowClass)) {
    if (hintWindow_ != nullptr) FreeObject(hintWindow_);
    TClass cls = info.HintWindowClass != nullptr ? info.HintWindowClass : THintWindow::StaticClass();
    hintWindow_ = dynamic_cast<THintWindow*>(cls->CreateComponent(nullptr));
    if (hintWindow_ == nullptr) return;
  }
  hintWindow_->SetColor(info.HintColor);
  TRect r = hintWindow_->CalcHintRect(info.HintMaxWidth, info.HintStr, info.HintData);
  ::OffsetRect(&r, info.HintPos.x, info.HintPos.y);
  hintWindow_->ActivateHintData(r, info.HintStr, info.HintData);
  hintShowing_ = true;
  hintCursorRect_ = info.CursorRect;
  if (info.HideTimeout > 0) {
    hintTimerState_ = 2;
    StartHintTimer(info.HideTimeout);
  }
}

void TApplication::HideHint() {
  if (hintWindow_ != nullptr && hintShowing_) hintWindow_->ReleaseHandle();
  hintShowing_ = false;
}

void TApplication::CancelHint() {
  if (hintControl_ != nullptr) {
    HideHint();
    hintControl_ = nullptr;
    hintActive_ = false;
  }
  StopHintTimer();
}

void TApplication::SetHint(const String& Value) {
  if (hint_ == Value) return;
  hint_ = Value;
  try {
    onHint_(this);
  } catch (...) {
    HandleException(this);
  }
}

void TApplication::SetShowHint(bool Value) {
  if (showHint_ == Value) return;
  showHint_ = Value;
  if (!Value) CancelHint();
}
