// Focus and activation: the active top-level window with WM_NCACTIVATE, WM_ACTIVATE and
// WM_ACTIVATEAPP in the platform's order, the focus window with WM_KILLFOCUS/WM_SETFOCUS, and the
// modal loop that disables an owner.
#include "platform/win/ui/UiInternal.h"

namespace k58::winui {

bool CanActivate(HWND Hwnd) {
  if (!Hwnd || !IsWindow(Hwnd) || !IsTopLevel(Hwnd)) return false;
  // A parentless child window (a popup that never takes the activation) and WS_EX_NOACTIVATE
  // windows never become active.
  if (StyleOf(Hwnd) & WS_CHILD) return false;
  if (ExStyleOf(Hwnd) & WS_EX_NOACTIVATE) return false;
  return true;
}

void ActivateWindow(HWND Hwnd, bool Click) {
  UiState& S = Ui();
  HWND Old = S.Active;
  if (Old && !IsWindow(Old)) Old = S.Active = nullptr;
  if (Hwnd == Old) return;
  if (Hwnd && !CanActivate(Hwnd)) return;
  if (Hwnd && !SameZOrder(Hwnd, HWND_TOP)) {
    SetWindowPos(Hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (!IsWindow(Hwnd)) return;
  }
  // A mode held by the window losing activation (capture, tracking) is cancelled.
  if (Old && S.Capture && IsWindow(S.Capture) && RootOf(S.Capture) == Old)
    SendMessage(S.Capture, WM_CANCELMODE, 0, 0);
  if (Old) {
    if (S.SwallowNcDeactivate == Old)
      S.SwallowNcDeactivate = nullptr;
    else
      SendMessage(Old, WM_NCACTIVATE, FALSE, reinterpret_cast<LPARAM>(Hwnd));
    if (IsWindow(Old))
      SendMessage(Old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, IsIconic(Old) ? 1 : 0), reinterpret_cast<LPARAM>(Hwnd));
  }
  // Something activated meanwhile (in a handler above) wins.
  if (S.Active != Old && S.Active != nullptr) return;
  S.Active = Hwnd;
  if (Hwnd) {
    // The owners remember their last active popup.
    for (HWND O = GetWindow(Hwnd, GW_OWNER); O; O = GetWindow(O, GW_OWNER)) Data(O)->LastActivePopup = Hwnd;
  }
  bool NowApp = Hwnd != nullptr;
  if (NowApp != S.AppActive) {
    S.AppActive = NowApp;
    DWORD Me = GetCurrentThreadId();
    for (HWND T : TopLevels())
      if (GetWindowThreadProcessId(T, nullptr) == Me) SendMessage(T, WM_ACTIVATEAPP, NowApp ? TRUE : FALSE, 0);
  }
  if (Hwnd && IsWindow(Hwnd) && S.Active == Hwnd) {
    SendMessage(Hwnd, WM_NCACTIVATE, TRUE, reinterpret_cast<LPARAM>(Old));
    if (IsWindow(Hwnd) && S.Active == Hwnd)
      SendMessage(Hwnd, WM_ACTIVATE, MAKEWPARAM(Click ? WA_CLICKACTIVE : WA_ACTIVE, IsIconic(Hwnd) ? 1 : 0),
                  reinterpret_cast<LPARAM>(Old));
  } else if (!Hwnd && S.Focus) {
    SetFocus(nullptr);
  }
  Backend().TopLevelActivated(S.Active);
}

void ActivateOther(HWND Hwnd) {
  UiState& S = Ui();
  if (S.Active != Hwnd) return;
  auto Usable = [&](HWND W) {
    return W && W != Hwnd && IsWindow(W) && CanActivate(W) && IsWindowVisible(W) && IsWindowEnabled(W) &&
           !IsIconic(W) && GetWindow(W, GW_OWNER) != Hwnd;
  };
  HWND Next = nullptr;
  HWND Owner = GetWindow(Hwnd, GW_OWNER);
  if (Usable(Owner)) Next = Owner;
  if (!Next)
    for (HWND T : TopLevels())
      if (Usable(T)) {
        Next = T;
        break;
      }
  ActivateWindow(Next, false);
}

void FocusLost(HWND Hwnd) {
  HWND Focus = Ui().Focus;
  if (!Focus || (Focus != Hwnd && !IsChild(Hwnd, Focus))) return;
  HWND Parent = ParentOf(Hwnd);
  SetFocus(Parent && !IsDesktop(Parent) && (StyleOf(Hwnd) & WS_CHILD) ? Parent : nullptr);
}

bool RunModalLoop(HWND Window, HWND Owner, const std::function<bool()>& Done) {
  EnsureInit();
  UiState& S = Ui();
  bool Disabled = Owner && IsWindow(Owner) && IsWindowEnabled(Owner);
  if (Disabled) EnableWindow(Owner, FALSE);
  if (IsWindow(Window)) {
    if (!IsWindowVisible(Window))
      ShowWindow(Window, SW_SHOW);
    else if (CanActivate(Window))
      ActivateWindow(Window, false);
  }
  ++S.ModalDepth;
  bool Quit = false;
  MSG M;
  while (IsWindow(Window) && !(Done && Done())) {
    ++S.ModalWaits;
    BOOL R = GetMessage(&M, nullptr, 0, 0);
    --S.ModalWaits;
    if (R == 0) {
      PostQuitMessage(static_cast<int>(M.wParam));
      Quit = true;
      break;
    }
    if (R < 0) break;
    if (IsLoopWake(M)) continue;
    TranslateMessage(&M);
    DispatchMessage(&M);
  }
  --S.ModalDepth;
  if (Disabled && IsWindow(Owner)) {
    EnableWindow(Owner, TRUE);
    if (!IsWindow(Window) || !IsWindowVisible(Window) || S.Active == Window || !S.Active) ActivateWindow(Owner, false);
  }
  return !Quit;
}

int ModalDepth() { return Ui().ModalDepth; }

void SwallowNextNcDeactivate(HWND Window, bool Swallow) {
  UiState& S = Ui();
  if (Swallow)
    S.SwallowNcDeactivate = Window;
  else if (S.SwallowNcDeactivate == Window)
    S.SwallowNcDeactivate = nullptr;
}

}  // namespace k58::winui

using namespace k58::winui;

HWND SetFocus(HWND hWnd) {
  EnsureInit();
  UiState& S = Ui();
  HWND Old = S.Focus;
  if (Old && !IsWindow(Old)) Old = S.Focus = nullptr;
  if (hWnd) {
    if (!IsWindow(hWnd)) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return nullptr;
    }
    if (hWnd == Old) return Old;
    for (HWND W = hWnd; W && !IsDesktop(W); W = ParentOf(W)) {
      if (StyleOf(W) & (WS_DISABLED | WS_MINIMIZE)) return nullptr;
      if (IsTopLevel(W)) break;
    }
    HWND Root = RootOf(hWnd);
    if (Root != S.Active && CanActivate(Root)) {
      ActivateWindow(Root, false);
      if (!IsWindow(hWnd)) return nullptr;
      Old = S.Focus;
      if (hWnd == Old) return Old;
    }
  }
  S.Focus = hWnd;
  if (Old && IsWindow(Old)) SendMessage(Old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hWnd), 0);
  // A handler above may have moved the focus on already; then this change is over.
  if (hWnd && S.Focus == hWnd && IsWindow(hWnd)) SendMessage(hWnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(Old), 0);
  return Old;
}

HWND GetFocus() { return Ui().Focus; }

HWND SetActiveWindow(HWND hWnd) {
  EnsureInit();
  HWND Old = Ui().Active;
  if (hWnd && !IsWindow(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  if (hWnd && !CanActivate(hWnd)) return nullptr;
  ActivateWindow(hWnd, false);
  return Old;
}

HWND GetActiveWindow() { return Ui().Active; }

BOOL SetForegroundWindow(HWND hWnd) {
  EnsureInit();
  if (!IsWindow(hWnd)) return FALSE;
  HWND Root = RootOf(hWnd);
  if (!CanActivate(Root)) return FALSE;
  ActivateWindow(Root, false);
  return Ui().Active == Root;
}

HWND GetForegroundWindow() { return Ui().Active; }
