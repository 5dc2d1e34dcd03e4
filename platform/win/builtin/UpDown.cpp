// The up-down control ("msctls_updown32"): two arrow buttons that step a position within a range,
// asking the parent first (UDN_DELTAPOS), then telling it (WM_VSCROLL or WM_HSCROLL with
// SB_THUMBPOSITION, SB_ENDSCROLL on release), repeating while a button is held with the acceleration
// table, and showing the position in a buddy window.
//
// "Up" (or right) moves towards the range's maximum, whichever of the two numbers is larger. As on the
// platform a new control has the range maximum 0, minimum 100.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/rtl/FormatSettings.h"
#include "platform/win/builtin/CommCtrlInternal.h"

namespace k58::builtin {

namespace {

constexpr UINT_PTR RepeatTimer = 1;
constexpr UINT FirstDelay = 400;
constexpr UINT RepeatDelay = 100;
constexpr char BuddyProp[] = "K58.UpDown";
constexpr char BuddyProcProp[] = "K58.UpDown.Proc";

struct UpDownState : ControlState {
  UpDownState(HWND Window, const CREATESTRUCT&) : ControlState(Window) {}
  void Paint(HDC Dc);
  LRESULT Handle(UINT Msg, WPARAM WParam, LPARAM LParam);

  int Min = 100;
  int Max = 0;
  int Pos = 0;
  int Base = 10;
  HWND Buddy = nullptr;
  std::vector<UDACCEL> Accel{{0, 1}, {2, 5}, {5, 20}};
  int Pressed = 0;  // +1 up/right button held, -1 down/left, 0 none
  DWORD PressTime = 0;
  bool Stepped = false;
};

bool Horizontal(HWND Hwnd) { return (GetWindowLongPtr(Hwnd, GWL_STYLE) & UDS_HORZ) != 0; }
DWORD StyleOf(HWND Hwnd) { return static_cast<DWORD>(GetWindowLongPtr(Hwnd, GWL_STYLE)); }

// The two buttons: [0] up/right, [1] down/left.
void ButtonRects(HWND Hwnd, RECT Out[2]) {
  RECT R;
  GetClientRect(Hwnd, &R);
  if (Horizontal(Hwnd)) {
    int Mid = (R.left + R.right) / 2;
    Out[0] = RECT{Mid, R.top, R.right, R.bottom};
    Out[1] = RECT{R.left, R.top, Mid, R.bottom};
  } else {
    int Mid = (R.top + R.bottom) / 2;
    Out[0] = RECT{R.left, R.top, R.right, Mid};
    Out[1] = RECT{R.left, Mid, R.right, R.bottom};
  }
}

int ButtonAt(HWND Hwnd, POINT P) {
  RECT B[2];
  ButtonRects(Hwnd, B);
  if (InRect(B[0], P)) return 1;
  if (InRect(B[1], P)) return -1;
  return 0;
}

std::string FormatPos(HWND Hwnd, const UpDownState& S) {
  if (S.Base == 16) {
    char Buf[16];
    std::snprintf(Buf, sizeof Buf, "0x%04X", static_cast<unsigned>(S.Pos) & 0xFFFFu);
    return Buf;
  }
  std::string Digits = std::to_string(std::abs(static_cast<long long>(S.Pos)));
  if (!(StyleOf(Hwnd) & UDS_NOTHOUSANDS) && FormatSettings.ThousandSeparator) {
    std::string Grouped;
    int Count = 0;
    for (auto It = Digits.rbegin(); It != Digits.rend(); ++It) {
      if (Count && Count % 3 == 0) Grouped.insert(Grouped.begin(), FormatSettings.ThousandSeparator);
      Grouped.insert(Grouped.begin(), *It);
      ++Count;
    }
    Digits = Grouped;
  }
  return S.Pos < 0 ? "-" + Digits : Digits;
}

void ShowInBuddy(HWND Hwnd, const UpDownState& S) {
  if (S.Buddy && IsWindow(S.Buddy) && (StyleOf(Hwnd) & UDS_SETBUDDYINT))
    SetWindowText(S.Buddy, FormatPos(Hwnd, S).c_str());
}

// Reads the buddy's number (thousands separators ignored); false when it is not a number.
bool ReadBuddy(HWND Hwnd, UpDownState& S, int& Value) {
  std::string Text = WindowTextOf(S.Buddy);
  std::string Clean;
  for (char C : Text)
    if (C != FormatSettings.ThousandSeparator && C != ' ') Clean += C;
  if (Clean.empty()) return false;
  char* End = nullptr;
  long V = S.Base == 16 ? std::strtol(Clean.c_str(), &End, 16) : std::strtol(Clean.c_str(), &End, 10);
  if (!End || *End) return false;
  (void)Hwnd;
  Value = static_cast<int>(V);
  return true;
}

// Takes the buddy's number as the position when it holds one within the range; false otherwise.
bool SyncFromBuddy(HWND Hwnd, UpDownState& S) {
  if (!S.Buddy || !IsWindow(S.Buddy) || !(StyleOf(Hwnd) & UDS_SETBUDDYINT)) return true;
  int V;
  if (!ReadBuddy(Hwnd, S, V)) return false;
  int Lo = std::min(S.Min, S.Max), Hi = std::max(S.Min, S.Max);
  if (V < Lo || V > Hi) return false;
  S.Pos = V;
  return true;
}

int ClampPos(const UpDownState& S, long long V) {
  long long Lo = std::min(S.Min, S.Max), Hi = std::max(S.Min, S.Max);
  return static_cast<int>(std::max(Lo, std::min(V, Hi)));
}

int Increment(const UpDownState& S) {
  DWORD Elapsed = (GetTickCount() - S.PressTime) / 1000;
  int Inc = 1;
  for (const UDACCEL& A : S.Accel)
    if (Elapsed >= A.nSec) Inc = static_cast<int>(A.nInc);
  return Inc;
}

// One step of Direction (+1 towards the maximum): asks the parent, moves, tells the parent.
void StepBy(HWND Hwnd, UpDownState& S, int Direction) {
  SyncFromBuddy(Hwnd, S);
  int Delta = Direction * Increment(S) * (S.Max >= S.Min ? 1 : -1);
  NMUPDOWN Nm;
  Nm.iPos = S.Pos;
  Nm.iDelta = Delta;
  if (NotifyHeader(Hwnd, Nm.hdr, UDN_DELTAPOS)) return;
  if (!S.StillAlive()) return;
  Delta = Nm.iDelta;
  long long Next = static_cast<long long>(S.Pos) + Delta;
  int Lo = std::min(S.Min, S.Max), Hi = std::max(S.Min, S.Max);
  if (Next < Lo || Next > Hi) {
    if (!(StyleOf(Hwnd) & UDS_WRAP)) Next = ClampPos(S, Next);
    else Next = Next > Hi ? Lo : Hi;
  }
  if (static_cast<int>(Next) == S.Pos && !(StyleOf(Hwnd) & UDS_WRAP)) return;
  S.Pos = static_cast<int>(Next);
  S.Stepped = true;
  ShowInBuddy(Hwnd, S);
  HWND Parent = NotifyTarget(Hwnd);
  if (Parent)
    SendMessage(Parent, Horizontal(Hwnd) ? WM_HSCROLL : WM_VSCROLL,
                MAKEWPARAM(SB_THUMBPOSITION, static_cast<WORD>(S.Pos)), reinterpret_cast<LPARAM>(Hwnd));
}

void EndSteps(HWND Hwnd, UpDownState& S) {
  if (!S.Stepped) return;
  S.Stepped = false;
  HWND Parent = NotifyTarget(Hwnd);
  if (Parent)
    SendMessage(Parent, Horizontal(Hwnd) ? WM_HSCROLL : WM_VSCROLL,
                MAKEWPARAM(SB_ENDSCROLL, static_cast<WORD>(S.Pos)), reinterpret_cast<LPARAM>(Hwnd));
}

void UpDownState::Paint(HDC Dc) {
  UpDownState& S = *this;
  RECT B[2];
  ButtonRects(Hwnd, B);
  bool Off = !IsWindowEnabled(Hwnd);
  bool Horz = Horizontal(Hwnd);
  for (int I = 0; I < 2; ++I) {
    UINT State = I == 0 ? (Horz ? DFCS_SCROLLRIGHT : DFCS_SCROLLUP) : (Horz ? DFCS_SCROLLLEFT : DFCS_SCROLLDOWN);
    if (Off) State |= DFCS_INACTIVE;
    if (S.Pressed == (I == 0 ? 1 : -1)) State |= DFCS_PUSHED;
    DrawFrameControl(Dc, &B[I], DFC_SCROLL, State);
  }
}

// Places the control against its buddy (UDS_ALIGNRIGHT/LEFT), taking its width from the buddy.
void AttachToBuddy(HWND Hwnd, UpDownState& S) {
  DWORD Style = StyleOf(Hwnd);
  if (!S.Buddy || !(Style & (UDS_ALIGNRIGHT | UDS_ALIGNLEFT))) return;
  HWND Parent = GetParent(S.Buddy);
  RECT B;
  GetWindowRect(S.Buddy, &B);
  MapWindowPoints(nullptr, Parent, reinterpret_cast<POINT*>(&B), 2);
  RECT Me;
  GetWindowRect(Hwnd, &Me);
  int W = Me.right - Me.left;
  if (W <= 0 || W >= B.right - B.left) W = GetSystemMetrics(SM_CXVSCROLL);
  if (Style & UDS_ALIGNRIGHT) {
    SetWindowPos(S.Buddy, nullptr, B.left, B.top, B.right - B.left - W, B.bottom - B.top, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(Hwnd, nullptr, B.right - W, B.top, W, B.bottom - B.top, SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    SetWindowPos(S.Buddy, nullptr, B.left + W, B.top, B.right - B.left - W, B.bottom - B.top, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(Hwnd, nullptr, B.left, B.top, W, B.bottom - B.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

// With UDS_ARROWKEYS the buddy's Up and Down keys step the control: the buddy's procedure is
// replaced for as long as it is the buddy.
LRESULT CALLBACK BuddyProc(HWND Hwnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  auto Old = reinterpret_cast<WNDPROC>(GetProp(Hwnd, BuddyProcProp));
  auto UpDown = static_cast<HWND>(GetProp(Hwnd, BuddyProp));
  if (Msg == WM_KEYDOWN && (WParam == VK_UP || WParam == VK_DOWN) && UpDown && IsWindow(UpDown)) {
    if (auto* S = StateOf<UpDownState>(UpDown)) {
      ControlHold Hold(*S);  // stepping notifies the parent, which may destroy the control
      if (!S->Stepped) S->PressTime = GetTickCount();
      StepBy(UpDown, *S, WParam == VK_UP ? 1 : -1);
      return 0;
    }
  }
  if (Msg == WM_KEYUP && (WParam == VK_UP || WParam == VK_DOWN) && UpDown && IsWindow(UpDown)) {
    if (auto* S = StateOf<UpDownState>(UpDown)) {
      ControlHold Hold(*S);
      EndSteps(UpDown, *S);
    }
  }
  if (Msg == WM_NCDESTROY) {
    RemoveProp(Hwnd, BuddyProp);
    RemoveProp(Hwnd, BuddyProcProp);
    if (Old) SetWindowLongPtr(Hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Old));
    if (UpDown && IsWindow(UpDown))
      if (auto* S = StateOf<UpDownState>(UpDown))
        if (S->Buddy == Hwnd) S->Buddy = nullptr;
  }
  return Old ? CallWindowProc(Old, Hwnd, Msg, WParam, LParam) : DefWindowProc(Hwnd, Msg, WParam, LParam);
}

void ReleaseBuddy(UpDownState& S) {
  if (!S.Buddy || !IsWindow(S.Buddy)) return;
  auto Old = reinterpret_cast<WNDPROC>(GetProp(S.Buddy, BuddyProcProp));
  if (Old && reinterpret_cast<WNDPROC>(GetWindowLongPtr(S.Buddy, GWLP_WNDPROC)) == BuddyProc)
    SetWindowLongPtr(S.Buddy, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Old));
  RemoveProp(S.Buddy, BuddyProp);
  RemoveProp(S.Buddy, BuddyProcProp);
}

HWND SetBuddy(HWND Hwnd, UpDownState& S, HWND Buddy) {
  HWND Old = S.Buddy;
  ReleaseBuddy(S);
  S.Buddy = Buddy && IsWindow(Buddy) ? Buddy : nullptr;
  if (!S.Buddy) return Old;
  if (StyleOf(Hwnd) & UDS_ARROWKEYS) {
    SetProp(S.Buddy, BuddyProp, Hwnd);
    SetProp(S.Buddy, BuddyProcProp, reinterpret_cast<HANDLE>(GetWindowLongPtr(S.Buddy, GWLP_WNDPROC)));
    SetWindowLongPtr(S.Buddy, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BuddyProc));
  }
  AttachToBuddy(Hwnd, S);
  ShowInBuddy(Hwnd, S);
  return Old;
}

LRESULT UpDownState::Handle(UINT Msg, WPARAM WParam, LPARAM LParam) {
  UpDownState& S = *this;
  switch (Msg) {
    case WM_CREATE:
      if (StyleOf(Hwnd) & UDS_AUTOBUDDY) SetBuddy(Hwnd, S, GetWindow(Hwnd, GW_HWNDPREV));
      return 0;
    case WM_DESTROY:
      ReleaseBuddy(S);
      return 0;
    case WM_ENABLE:
      InvalidateRect(Hwnd, nullptr, FALSE);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      int Button = ButtonAt(Hwnd, POINT{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)});
      if (!Button) return 0;
      S.Pressed = Button;
      S.PressTime = GetTickCount();
      SetCapture(Hwnd);
      InvalidateRect(Hwnd, nullptr, FALSE);
      if (S.Buddy && IsWindow(S.Buddy) && GetFocus() != S.Buddy && (StyleOf(Hwnd) & UDS_SETBUDDYINT)) SetFocus(S.Buddy);
      StepBy(Hwnd, S, Button);
      if (S.StillAlive()) SetTimer(Hwnd, RepeatTimer, FirstDelay, nullptr);
      return 0;
    }
    case WM_TIMER:
      if (WParam == RepeatTimer && S.Pressed) {
        SetTimer(Hwnd, RepeatTimer, RepeatDelay, nullptr);
        POINT P;
        GetCursorPos(&P);
        ScreenToClient(Hwnd, &P);
        if (ButtonAt(Hwnd, P) == S.Pressed) StepBy(Hwnd, S, S.Pressed);
      }
      return 0;
    case WM_LBUTTONUP:
      if (S.Pressed && GetCapture() == Hwnd) ReleaseCapture();
      return 0;
    case WM_CAPTURECHANGED:
      if (S.Pressed) {
        S.Pressed = 0;
        KillTimer(Hwnd, RepeatTimer);
        InvalidateRect(Hwnd, nullptr, FALSE);
        EndSteps(Hwnd, S);
      }
      return 0;
    case WM_KEYDOWN:
      if ((StyleOf(Hwnd) & UDS_ARROWKEYS) && (WParam == VK_UP || WParam == VK_DOWN || WParam == VK_LEFT || WParam == VK_RIGHT)) {
        if (!S.Stepped) S.PressTime = GetTickCount();
        StepBy(Hwnd, S, WParam == VK_UP || WParam == VK_RIGHT ? 1 : -1);
        return 0;
      }
      return DefWindowProc(Hwnd, Msg, WParam, LParam);
    case WM_KEYUP:
      EndSteps(Hwnd, S);
      return DefWindowProc(Hwnd, Msg, WParam, LParam);
    case UDM_SETRANGE:
      S.Max = static_cast<short>(LOWORD(LParam));
      S.Min = static_cast<short>(HIWORD(LParam));
      S.Pos = ClampPos(S, S.Pos);
      return 0;
    case UDM_GETRANGE:
      return MAKELONG(static_cast<WORD>(S.Max), static_cast<WORD>(S.Min));
    case UDM_SETRANGE32:
      S.Min = static_cast<int>(WParam);
      S.Max = static_cast<int>(LParam);
      S.Pos = ClampPos(S, S.Pos);
      return 0;
    case UDM_GETRANGE32:
      if (WParam) *reinterpret_cast<int*>(WParam) = S.Min;
      if (LParam) *reinterpret_cast<int*>(LParam) = S.Max;
      return 0;
    case UDM_SETPOS:
    case UDM_SETPOS32: {
      int Old = S.Pos;
      S.Pos = ClampPos(S, Msg == UDM_SETPOS ? static_cast<short>(LOWORD(LParam)) : static_cast<int>(LParam));
      ShowInBuddy(Hwnd, S);
      return Msg == UDM_SETPOS ? static_cast<LRESULT>(static_cast<WORD>(Old)) : Old;
    }
    case UDM_GETPOS: {
      bool Ok = SyncFromBuddy(Hwnd, S);
      return MAKELONG(static_cast<WORD>(S.Pos), Ok ? 0 : 1);
    }
    case UDM_GETPOS32: {
      bool Ok = SyncFromBuddy(Hwnd, S);
      if (LParam) *reinterpret_cast<BOOL*>(LParam) = Ok ? FALSE : TRUE;
      return S.Pos;
    }
    case UDM_SETBUDDY:
      return reinterpret_cast<LRESULT>(SetBuddy(Hwnd, S, reinterpret_cast<HWND>(WParam)));
    case UDM_GETBUDDY:
      return reinterpret_cast<LRESULT>(S.Buddy);
    case UDM_SETACCEL: {
      if (!LParam || WParam == 0) return FALSE;
      auto* A = reinterpret_cast<const UDACCEL*>(LParam);
      S.Accel.assign(A, A + WParam);
      return TRUE;
    }
    case UDM_GETACCEL: {
      size_t N = std::min<size_t>(S.Accel.size(), WParam);
      if (LParam) std::copy(S.Accel.begin(), S.Accel.begin() + static_cast<long>(N), reinterpret_cast<UDACCEL*>(LParam));
      return static_cast<LRESULT>(S.Accel.size());
    }
    case UDM_SETBASE: {
      if (WParam != 10 && WParam != 16) return 0;
      int Old = S.Base;
      S.Base = static_cast<int>(WParam);
      ShowInBuddy(Hwnd, S);
      return Old;
    }
    case UDM_GETBASE:
      return S.Base;
    default:
      return DefWindowProc(Hwnd, Msg, WParam, LParam);
  }
}

}  // namespace

void RegisterUpDownClass() { RegisterControl<UpDownState>(UPDOWN_CLASS, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, nullptr); }

}  // namespace k58::builtin
