// Device input: the queue of device events, routing mouse events to windows (hit-testing, capture,
// double clicks, WM_MOUSEACTIVATE, WM_SETCURSOR), mouse tracking, capture and the pointer position.
#include <functional>

#include "platform/classes/Thread.h"
#include "platform/win/ui/UiInternal.h"

namespace k58::winui {

namespace {

UINT ButtonMessage(MouseButton B, bool Down) {
  switch (B) {
    case MouseButton::Left: return Down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    case MouseButton::Right: return Down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    case MouseButton::Middle: return Down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
    default: return Down ? WM_XBUTTONDOWN : WM_XBUTTONUP;
  }
}

BYTE ButtonKey(MouseButton B) {
  switch (B) {
    case MouseButton::Left: return VK_LBUTTON;
    case MouseButton::Right: return VK_RBUTTON;
    case MouseButton::Middle: return VK_MBUTTON;
    case MouseButton::X1: return VK_XBUTTON1;
    default: return VK_XBUTTON2;
  }
}

bool IsDownMessage(UINT M) {
  return M == WM_LBUTTONDOWN || M == WM_RBUTTONDOWN || M == WM_MBUTTONDOWN || M == WM_XBUTTONDOWN;
}

UINT ToNonClient(UINT M) { return M - WM_MOUSEFIRST + WM_NCMOUSEMOVE; }

void PostLeave(HWND Hwnd, bool NonClient) {
  MSG M;
  M.hwnd = Hwnd;
  M.message = NonClient ? WM_NCMOUSELEAVE : WM_MOUSELEAVE;
  M.pt = Ui().Cursor;
  M.time = GetTickCount();
  PostMessage(Hwnd, M.message, 0, 0);
}

void StopHover() {
  UiState& S = Ui();
  if (S.HoverTimer) {
    KillTimer(nullptr, S.HoverTimer);
    S.HoverTimer = 0;
  }
}

void HoverDue(HWND, UINT, UINT_PTR, DWORD) {
  UiState& S = Ui();
  StopHover();
  if (!S.TrackHwnd || !(S.TrackFlags & TME_HOVER) || !IsWindow(S.TrackHwnd)) return;
  bool NonClient = (S.TrackFlags & TME_NONCLIENT) != 0;
  int Hit = HTNOWHERE;
  HWND Under = S.Capture ? S.Capture : HitTestPoint(S.Cursor, &Hit);
  if (Under != S.TrackHwnd) return;
  if (!S.Capture && (Hit == HTCLIENT) == NonClient) return;
  S.TrackFlags &= ~TME_HOVER;
  if (NonClient) {
    PostMessage(S.TrackHwnd, WM_NCMOUSEHOVER, static_cast<WPARAM>(Hit), PointParam(S.Cursor.x, S.Cursor.y));
  } else {
    POINT P = S.Cursor;
    ScreenToClient(S.TrackHwnd, &P);
    PostMessage(S.TrackHwnd, WM_MOUSEHOVER, MouseKeyFlags(), PointParam(P.x, P.y));
  }
}

void StartHover() {
  UiState& S = Ui();
  StopHover();
  S.HoverOrigin = S.Cursor;
  S.HoverTimer = SetTimer(nullptr, 0, S.HoverTime, HoverDue);
}

// The pointer is now over Under (client area or not); a tracked window it left hears of it.
void CheckLeave(HWND Under, bool InClient) {
  UiState& S = Ui();
  S.MouseHwnd = Under;
  S.MouseInClient = InClient;
  if (!S.TrackHwnd || !(S.TrackFlags & (TME_LEAVE | TME_HOVER))) return;
  bool NonClient = (S.TrackFlags & TME_NONCLIENT) != 0;
  bool StillIn = Under == S.TrackHwnd && (NonClient ? !InClient : InClient);
  if (StillIn) {
    if (S.TrackFlags & TME_HOVER) {
      int Dx = std::abs(S.Cursor.x - S.HoverOrigin.x), Dy = std::abs(S.Cursor.y - S.HoverOrigin.y);
      if (Dx > 2 || Dy > 2) StartHover();
    }
    return;
  }
  if (S.TrackFlags & TME_LEAVE) PostLeave(S.TrackHwnd, NonClient);
  S.TrackFlags = 0;
  S.TrackHwnd = nullptr;
  StopHover();
}

// A press on a window disabled by a modal loop brings the enabled popup forward instead.
void ClickOnDisabled(HWND Hwnd, UINT Msg) {
  HWND Root = RootOf(Hwnd);
  SendMessage(Hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(Hwnd), MAKELPARAM(static_cast<WORD>(HTERROR), Msg));
  if (!IsDownMessage(Msg)) return;
  HWND Popup = GetLastActivePopup(Root);
  if (Popup && Popup != Root && IsWindowEnabled(Popup) && CanActivate(Popup)) ActivateWindow(Popup, false);
}

// A press in a child window tells its ancestors (WM_PARENTNOTIFY), up to the first that asked not to
// hear of its children or to the top-level window.
void NotifyParentsOfPress(HWND Hwnd, UINT Msg, POINT Screen) {
  for (HWND W = Hwnd; W && !IsTopLevel(W);) {
    if (!(StyleOf(W) & WS_CHILD) || (ExStyleOf(W) & WS_EX_NOPARENTNOTIFY)) return;
    HWND P = ParentOf(W);
    if (!P || IsDesktop(P)) return;
    POINT At = Screen;
    ScreenToClient(P, &At);
    SendMessage(P, WM_PARENTNOTIFY, MAKEWPARAM(static_cast<WORD>(Msg), 0), PointParam(At.x, At.y));
    W = P;
  }
}

bool RouteMouse(const RawEvent& E) {
  UiState& S = Ui();
  S.Cursor = E.Pt;
  UINT Msg = WM_MOUSEMOVE;
  if (E.Kind == RawKind::Button) {
    Msg = ButtonMessage(E.Button, E.Down);
    BYTE Vk = ButtonKey(E.Button);
    S.KeyState[Vk] = E.Down ? static_cast<BYTE>(S.KeyState[Vk] | 0x80) : static_cast<BYTE>(S.KeyState[Vk] & ~0x80);
  }
  if (E.Kind == RawKind::Wheel) {
    HWND Target = S.Focus && IsWindow(S.Focus) ? S.Focus : S.Active;
    if (!Target || !IsWindow(Target)) return false;
    MSG M;
    M.hwnd = Target;
    M.message = E.Horizontal ? WM_MOUSEHWHEEL : WM_MOUSEWHEEL;
    M.wParam = MAKEWPARAM(static_cast<WORD>(MouseKeyFlags()), static_cast<WORD>(static_cast<SHORT>(E.Delta)));
    M.lParam = PointParam(E.Pt.x, E.Pt.y);
    M.time = E.Time;
    M.pt = E.Pt;
    return wincore::PostInputMessage(M, HTCLIENT) != FALSE;
  }

  int Hit = HTCLIENT;
  HWND Target;
  if (S.Capture && IsWindow(S.Capture)) {
    Target = S.Capture;
    CheckLeave(Target, InRect(ScreenClientRect(Target), E.Pt));
  } else {
    Target = HitTestPoint(E.Pt, &Hit);
    CheckLeave(Target, Hit == HTCLIENT);
  }
  if (!Target) return false;
  if (Hit == HTERROR || (StyleOf(Target) & WS_DISABLED)) {
    ClickOnDisabled(Target, Msg);
    return false;
  }
  bool Client = Hit == HTCLIENT;

  // Double clicks: a second press of the same button on the same window, soon and near enough.
  if (IsDownMessage(Msg)) {
    bool Allowed = !Client || (GetClassLongPtr(Target, GCL_STYLE) & CS_DBLCLKS);
    int Dx = std::abs(E.Pt.x - S.ClickPt.x), Dy = std::abs(E.Pt.y - S.ClickPt.y);
    if (Allowed && S.ClickValid && S.ClickHwnd == Target && S.ClickMsg == Msg &&
        E.Time - S.ClickTime <= S.DoubleClickTime && Dx <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
        Dy <= GetSystemMetrics(SM_CYDOUBLECLK) / 2) {
      S.ClickValid = false;
      Msg += WM_LBUTTONDBLCLK - WM_LBUTTONDOWN;
    } else {
      S.ClickValid = true;
      S.ClickHwnd = Target;
      S.ClickMsg = Msg;
      S.ClickPt = E.Pt;
      S.ClickTime = E.Time;
    }
  }

  bool Eat = false;
  bool Captured = S.Capture && IsWindow(S.Capture);
  if (!Captured && (IsDownMessage(Msg) || Msg == WM_LBUTTONDBLCLK || Msg == WM_RBUTTONDBLCLK || Msg == WM_MBUTTONDBLCLK)) {
    HWND Root = RootOf(Target);
    if (IsTopLevel(Root) && Root != S.Active) {
      UINT Down = IsDownMessage(Msg) ? Msg : Msg - (WM_LBUTTONDBLCLK - WM_LBUTTONDOWN);
      LRESULT R = SendMessage(Target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(Root),
                              MAKELPARAM(static_cast<WORD>(Hit), static_cast<WORD>(Down)));
      Eat = R == MA_ACTIVATEANDEAT || R == MA_NOACTIVATEANDEAT;
      if ((R == MA_ACTIVATE || R == MA_ACTIVATEANDEAT || R == 0) && CanActivate(Root) && IsWindow(Root))
        ActivateWindow(Root, true);
      if (!IsWindow(Target)) return false;
    }
  }
  if (!Captured)
    SendMessage(Target, WM_SETCURSOR, reinterpret_cast<WPARAM>(Target),
                MAKELPARAM(static_cast<WORD>(Hit), static_cast<WORD>(Msg)));
  if (Eat || !IsWindow(Target)) return false;

  if (IsDownMessage(Msg) && Client) NotifyParentsOfPress(Target, Msg, E.Pt);
  if (!IsWindow(Target)) return false;

  MSG M;
  M.hwnd = Target;
  M.time = E.Time;
  M.pt = E.Pt;
  if (Client) {
    POINT P = E.Pt;
    ScreenToClient(Target, &P);
    M.message = Msg;
    M.wParam = MouseKeyFlags();
    if (Msg >= WM_XBUTTONDOWN && Msg <= WM_XBUTTONDBLCLK)
      M.wParam |= static_cast<WPARAM>(E.Button == MouseButton::X1 ? 1 : 2) << 16;
    M.lParam = PointParam(P.x, P.y);
  } else {
    M.message = ToNonClient(Msg);
    M.wParam = static_cast<WPARAM>(Hit);
    M.lParam = PointParam(E.Pt.x, E.Pt.y);
  }
  return wincore::PostInputMessage(M, Hit) != FALSE;
}

void RouteHost(const RawEvent& E) {
  switch (E.Kind) {
    case RawKind::HostMove:
      if (IsWindow(E.Hwnd))
        SetWindowPos(E.Hwnd, nullptr, E.Rect.left, E.Rect.top, Width(E.Rect), Height(E.Rect),
                     SWP_NOZORDER | SWP_NOACTIVATE);
      break;
    case RawKind::HostClose:
      if (IsWindow(E.Hwnd)) SendMessage(E.Hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
    case RawKind::HostActivate:
      if (!E.Hwnd) {
        ActivateWindow(nullptr, false);
      } else if (IsWindow(E.Hwnd)) {
        // A window disabled by a modal loop passes the activation on to its popup.
        HWND Target = IsWindowEnabled(E.Hwnd) ? E.Hwnd : GetLastActivePopup(E.Hwnd);
        if (CanActivate(Target)) ActivateWindow(Target, false);
      }
      break;
    case RawKind::HostScreen: {
      UiState& S = Ui();
      S.Monitors = Backend().Monitors();
      ApplyMonitorMetrics();
      SendMessage(HWND_BROADCAST, WM_DISPLAYCHANGE, 32,
                  MAKELPARAM(static_cast<WORD>(GetSystemMetrics(SM_CXSCREEN)),
                             static_cast<WORD>(GetSystemMetrics(SM_CYSCREEN))));
      break;
    }
    default: break;
  }
}

}  // namespace

WPARAM MouseKeyFlags() {
  const BYTE* K = Ui().KeyState;
  WPARAM F = 0;
  if (K[VK_LBUTTON] & 0x80) F |= MK_LBUTTON;
  if (K[VK_RBUTTON] & 0x80) F |= MK_RBUTTON;
  if (K[VK_MBUTTON] & 0x80) F |= MK_MBUTTON;
  if (K[VK_SHIFT] & 0x80) F |= MK_SHIFT;
  if (K[VK_CONTROL] & 0x80) F |= MK_CONTROL;
  if (K[VK_XBUTTON1] & 0x80) F |= MK_XBUTTON1;
  if (K[VK_XBUTTON2] & 0x80) F |= MK_XBUTTON2;
  return F;
}

namespace {

// lParam of the thread message that wakes a loop waiting for a message after what ends it happened
// inside the wait (routing input, a sent message or a queued step can end it there).
constexpr LPARAM kLoopWake = 0x4B43574B;

}  // namespace

void WakeWaitingLoops() {
  UiState& S = Ui();
  // The loops run on the GUI thread; a window of another thread going away wakes none of them.
  DWORD Me = GetCurrentThreadId();
  if (S.InputThread != Me) return;
  if (S.CaptureWaits > 0 || S.ModalWaits > 0) PostThreadMessage(Me, WM_NULL, 0, kLoopWake);
}

bool IsLoopWake(const MSG& M) { return !M.hwnd && M.message == WM_NULL && M.lParam == kLoopWake; }

bool NextCaptureMessage(HWND Hwnd, MSG& M) {
  UiState& S = Ui();
  for (;;) {
    if (!IsWindow(Hwnd) || S.Capture != Hwnd) return false;
    ++S.CaptureWaits;
    BOOL R = GetMessage(&M, nullptr, 0, 0);
    --S.CaptureWaits;
    if (R == 0) {
      PostQuitMessage(static_cast<int>(M.wParam));
      return false;
    }
    if (R < 0) return false;
    if (IsLoopWake(M)) continue;
    if (!IsWindow(Hwnd) || S.Capture != Hwnd) {
      TranslateMessage(&M);
      DispatchMessage(&M);
      return false;
    }
    return true;
  }
}

void QueueRaw(RawEvent Event) {
  EnsureInit();
  UiState& S = Ui();
  if (Event.Time == 0) Event.Time = GetTickCount();
  UINT Bits = QS_KEY;
  {
    std::lock_guard<std::mutex> G(S.RawLock);
    if (Event.Kind == RawKind::Move) {
      Bits = QS_MOUSEMOVE;
    } else if (Event.Kind == RawKind::Button || Event.Kind == RawKind::Wheel) {
      Bits = QS_MOUSEBUTTON;
    }
    if (Event.Kind == RawKind::Button) {
      BYTE Vk = ButtonKey(Event.Button);
      S.AsyncState[Vk] = Event.Down ? 0x80 : 0;
    } else if (Event.Kind == RawKind::Key) {
      S.AsyncState[Event.Vk & 0xFF] = Event.Down ? 0x80 : 0;
    }
    S.Raw.push_back(std::move(Event));
    if (!S.InputThread) S.InputThread = MainThreadID;
  }
  wincore::WakeQueue(S.InputThread, Bits);
}

void QueueCall(std::function<void()> Call) {
  RawEvent E;
  E.Kind = RawKind::Call;
  E.Fn = std::move(Call);
  QueueRaw(std::move(E));
}

void ProcessRaw() {
  UiState& S = Ui();
  if (S.InputThread && S.InputThread != GetCurrentThreadId()) return;
  // Only the events waiting now: a display that keeps reporting (another client changing the screen's
  // work area all the time) must not keep the loop from its posted messages, the quit message included.
  size_t Budget;
  {
    std::lock_guard<std::mutex> G(S.RawLock);
    Budget = S.Raw.size();
  }
  for (;; --Budget) {
    RawEvent E;
    {
      std::lock_guard<std::mutex> G(S.RawLock);
      if (S.Raw.empty()) return;
      if (Budget == 0) {
        wincore::WakeQueue(GetCurrentThreadId(), 0);
        return;
      }
      E = std::move(S.Raw.front());
      S.Raw.pop_front();
      // The screen is read afresh for the last of a run of screen changes only.
      if (E.Kind == RawKind::HostScreen) {
        while (!S.Raw.empty() && S.Raw.front().Kind == RawKind::HostScreen) {
          S.Raw.pop_front();
          if (Budget > 1) --Budget;
        }
      }
    }
    bool Posted = false;
    switch (E.Kind) {
      case RawKind::Move:
      case RawKind::Button:
      case RawKind::Wheel: Posted = RouteMouse(E); break;
      case RawKind::Key: Posted = RouteKey(E); break;
      case RawKind::Text: Posted = RouteText(E); break;
      case RawKind::Left:
        CheckLeave(nullptr, false);
        break;
      case RawKind::Call: {
        if (E.Fn) E.Fn();
        // A step gives the queue a look (timers it made due) before the next event; a waiting
        // loop is woken to come back for the rest.
        bool More;
        {
          std::lock_guard<std::mutex> G(S.RawLock);
          More = !S.Raw.empty();
        }
        if (More) wincore::WakeQueue(GetCurrentThreadId(), 0);
        return;
      }
      default: RouteHost(E); break;
    }
    if (Posted) return;
  }
}

bool RawPending() {
  std::lock_guard<std::mutex> G(Ui().RawLock);
  return !Ui().Raw.empty();
}

void SendSetCursorAt(POINT Screen) {
  UiState& S = Ui();
  if (S.Capture) return;
  int Hit = HTNOWHERE;
  HWND W = HitTestPoint(Screen, &Hit);
  if (W) SendMessage(W, WM_SETCURSOR, reinterpret_cast<WPARAM>(W), MAKELPARAM(static_cast<WORD>(Hit), WM_MOUSEMOVE));
}

void WindowGoingAway(HWND Hwnd) {
  UiState& S = Ui();
  if (S.Capture == Hwnd) S.Capture = nullptr;
  if (S.Focus == Hwnd) S.Focus = nullptr;
  if (S.Active == Hwnd) S.Active = nullptr;
  if (S.MouseHwnd == Hwnd) S.MouseHwnd = nullptr;
  if (S.ClickHwnd == Hwnd) S.ClickValid = false;
  if (S.SwallowNcDeactivate == Hwnd) S.SwallowNcDeactivate = nullptr;
  if (S.TrackHwnd == Hwnd) {
    S.TrackHwnd = nullptr;
    S.TrackFlags = 0;
    StopHover();
  }
  CaretWindowGone(Hwnd);
}

void InjectMouseMove(POINT Screen, DWORD Time) {
  RawEvent E;
  E.Kind = RawKind::Move;
  E.Pt = Screen;
  E.Time = Time;
  QueueRaw(std::move(E));
}

void InjectMouseButton(POINT Screen, MouseButton Button, bool Down, DWORD Time) {
  RawEvent E;
  E.Kind = RawKind::Button;
  E.Pt = Screen;
  E.Button = Button;
  E.Down = Down;
  E.Time = Time;
  QueueRaw(std::move(E));
}

void InjectMouseWheel(POINT Screen, int Delta, bool Horizontal, DWORD Time) {
  RawEvent E;
  E.Kind = RawKind::Wheel;
  E.Pt = Screen;
  E.Delta = Delta;
  E.Horizontal = Horizontal;
  E.Time = Time;
  QueueRaw(std::move(E));
}

void InjectPointerLeft() {
  RawEvent E;
  E.Kind = RawKind::Left;
  QueueRaw(std::move(E));
}

void HostMovedWindow(HWND Window, const RECT& Rect) {
  RawEvent E;
  E.Kind = RawKind::HostMove;
  E.Hwnd = Window;
  E.Rect = Rect;
  QueueRaw(std::move(E));
}

void HostCloseRequested(HWND Window) {
  RawEvent E;
  E.Kind = RawKind::HostClose;
  E.Hwnd = Window;
  QueueRaw(std::move(E));
}

void HostActivated(HWND Window) {
  RawEvent E;
  E.Kind = RawKind::HostActivate;
  E.Hwnd = Window;
  QueueRaw(std::move(E));
}

void HostScreenChanged() {
  RawEvent E;
  E.Kind = RawKind::HostScreen;
  QueueRaw(std::move(E));
}

}  // namespace k58::winui

using namespace k58::winui;

BOOL TrackMouseEvent(LPTRACKMOUSEEVENT lpEventTrack) {
  EnsureInit();
  if (!lpEventTrack || lpEventTrack->cbSize < sizeof(TRACKMOUSEEVENT)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  UiState& S = Ui();
  TRACKMOUSEEVENT& T = *lpEventTrack;
  if (T.dwFlags & TME_QUERY) {
    T.dwFlags = S.TrackHwnd ? S.TrackFlags : 0;
    T.hwndTrack = S.TrackHwnd;
    T.dwHoverTime = S.HoverTime;
    return TRUE;
  }
  if (!IsWindow(T.hwndTrack)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  DWORD Kinds = T.dwFlags & (TME_HOVER | TME_LEAVE);
  if (T.dwFlags & TME_CANCEL) {
    if (S.TrackHwnd == T.hwndTrack) {
      S.TrackFlags &= ~Kinds;
      if (!(S.TrackFlags & TME_HOVER)) StopHover();
      if (!(S.TrackFlags & (TME_HOVER | TME_LEAVE))) S.TrackHwnd = nullptr;
    }
    return TRUE;
  }
  bool NonClient = (T.dwFlags & TME_NONCLIENT) != 0;
  // A window the pointer is not over hears at once that the pointer left it.
  int Hit = HTNOWHERE;
  HWND Under = S.Capture ? S.Capture : HitTestPoint(S.Cursor, &Hit);
  bool InClient = S.Capture ? InRect(ScreenClientRect(S.Capture), S.Cursor) : Hit == HTCLIENT;
  if (Under != T.hwndTrack || (NonClient ? InClient : !InClient)) {
    if (T.dwFlags & TME_LEAVE) PostLeave(T.hwndTrack, NonClient);
    return TRUE;
  }
  if (S.TrackHwnd != T.hwndTrack) S.TrackFlags = 0;
  S.TrackHwnd = T.hwndTrack;
  S.TrackFlags = (S.TrackFlags & ~TME_NONCLIENT) | Kinds | (NonClient ? TME_NONCLIENT : 0);
  if (T.dwFlags & TME_HOVER) {
    S.HoverTime = T.dwHoverTime == HOVER_DEFAULT || T.dwHoverTime == 0 ? 400 : T.dwHoverTime;
    StartHover();
  }
  return TRUE;
}

HWND SetCapture(HWND hWnd) {
  EnsureInit();
  UiState& S = Ui();
  HWND Old = S.Capture;
  if (hWnd && !IsWindow(hWnd)) return Old;
  if (Old == hWnd) return Old;
  S.Capture = hWnd;
  if (Old) WakeWaitingLoops();
  if (Old && IsWindow(Old)) SendMessage(Old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hWnd));
  return Old;
}

BOOL ReleaseCapture() {
  UiState& S = Ui();
  HWND Old = S.Capture;
  S.Capture = nullptr;
  if (Old) WakeWaitingLoops();
  if (Old && IsWindow(Old)) SendMessage(Old, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

HWND GetCapture() { return Ui().Capture; }

BOOL GetCursorPos(LPPOINT lpPoint) {
  if (!lpPoint) return FALSE;
  *lpPoint = Ui().Cursor;
  return TRUE;
}

BOOL SetCursorPos(int X, int Y) {
  EnsureInit();
  Backend().WarpPointer(POINT{X, Y});
  InjectMouseMove(POINT{X, Y});
  Ui().Cursor = POINT{X, Y};
  return TRUE;
}

UINT GetDoubleClickTime() { return Ui().DoubleClickTime; }

BOOL SetDoubleClickTime(UINT uInterval) {
  Ui().DoubleClickTime = uInterval ? uInterval : 500;
  return TRUE;
}
