// The tool-tip control ("tooltips_class32"): a list of tools (a rectangle of a window, or a whole
// window with TTF_IDISHWND), each with a text or a text asked for when shown (TTN_GETDISPINFO). The
// control watches the mouse over the tools, from TTM_RELAYEVENT or, for tools added with
// TTF_SUBCLASS, from a mouse hook of the thread (the tools' windows are never subclassed), and after
// the initial delay shows the tip as a topmost popup that never takes the activation, below the
// pointer; it goes away after the auto-pop delay, on a click, or when the pointer leaves the tool.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win/builtin/CommCtrlInternal.h"
#include "platform/win/core/WinCoreExt.h"

namespace k58::builtin {

namespace {

constexpr UINT_PTR ShowTimer = 1;
constexpr UINT_PTR PopTimer = 2;
constexpr UINT_PTR LeaveTimer = 3;
constexpr UINT LeaveCheck = 100;
constexpr int Padding = 3;

struct Tool {
  UINT Flags = 0;
  HWND Hwnd = nullptr;
  UINT_PTR Id = 0;
  RECT Rect{};
  bool Callback = false;
  std::string Text;
  LPARAM Param = 0;
};

struct ToolTipState : ControlState {
  ToolTipState(HWND Window, const CREATESTRUCT&);
  void Paint(HDC Dc);
  void FontSet(bool) {}  // the next tip shown takes the font
  LRESULT Handle(UINT Msg, WPARAM WParam, LPARAM LParam);

  std::vector<Tool> Tools;
  bool Active = true;
  int Initial = -1;  // -1: from the double-click time
  int AutoPop = -1;
  int Reshow = -1;
  int MaxWidth = -1;
  HFONT Font = nullptr;
  COLORREF Back = CLR_DEFAULT;
  COLORREF TextColor = CLR_DEFAULT;
  int Current = -1;      // tool under the pointer
  bool Shown = false;
  bool Suppressed = false;  // clicked: no tip until the pointer leaves the tool
  DWORD HiddenAt = 0;    // when the last tip went away (for the reshow delay)
  std::string ShownText;
};

// Tool-tip windows of the thread and the mouse hook that relays to those with TTF_SUBCLASS tools.
thread_local std::vector<HWND> TipWindows;
thread_local HHOOK MouseHook = nullptr;

int DelayOf(const ToolTipState& S, WPARAM Kind) {
  int Base = static_cast<int>(GetDoubleClickTime());
  switch (Kind) {
    case TTDT_INITIAL: return S.Initial >= 0 ? S.Initial : Base;
    case TTDT_AUTOPOP: return S.AutoPop >= 0 ? S.AutoPop : Base * 10;
    case TTDT_RESHOW: return S.Reshow >= 0 ? S.Reshow : Base / 5;
    default: return 0;
  }
}

int FindTool(const ToolTipState& S, HWND Hwnd, UINT_PTR Id) {
  for (size_t I = 0; I < S.Tools.size(); ++I)
    if (S.Tools[I].Hwnd == Hwnd && S.Tools[I].Id == Id) return static_cast<int>(I);
  return -1;
}

// The tool under a screen point, -1 when none.
int ToolAt(const ToolTipState& S, HWND Window, POINT Screen) {
  for (size_t I = 0; I < S.Tools.size(); ++I) {
    const Tool& T = S.Tools[I];
    if (T.Flags & TTF_IDISHWND) {
      HWND W = reinterpret_cast<HWND>(T.Id);
      if (W == Window || (Window && IsChild(W, Window))) return static_cast<int>(I);
      continue;
    }
    if (T.Hwnd != Window) continue;
    POINT P = Screen;
    ScreenToClient(T.Hwnd, &P);
    if (InRect(T.Rect, P)) return static_cast<int>(I);
  }
  return -1;
}

bool StillOver(const ToolTipState& S, int Index) {
  if (Index < 0 || Index >= static_cast<int>(S.Tools.size())) return false;
  const Tool& T = S.Tools[static_cast<size_t>(Index)];
  POINT Cur;
  GetCursorPos(&Cur);
  if (T.Flags & TTF_IDISHWND) {
    RECT W;
    GetWindowRect(reinterpret_cast<HWND>(T.Id), &W);
    return InRect(W, Cur);
  }
  if (!IsWindow(T.Hwnd)) return false;
  POINT P = Cur;
  ScreenToClient(T.Hwnd, &P);
  return InRect(T.Rect, P);
}

void ToolFromInfo(Tool& T, const TOOLINFOA& Info) {
  T.Flags = Info.uFlags;
  T.Hwnd = Info.hwnd;
  T.Id = Info.uId;
  T.Rect = Info.rect;
  T.Param = Info.lParam;
  T.Callback = Info.lpszText == LPSTR_TEXTCALLBACK;
  T.Text = (!T.Callback && Info.lpszText && !IS_INTRESOURCE(Info.lpszText)) ? Info.lpszText : "";
}

void InfoFromTool(TOOLINFOA& Info, const Tool& T) {
  Info.uFlags = T.Flags;
  Info.hwnd = T.Hwnd;
  Info.uId = T.Id;
  Info.rect = T.Rect;
  Info.lParam = T.Param;
  if (T.Callback) Info.lpszText = LPSTR_TEXTCALLBACK;
}

// The text to show for a tool; asks the tool's window for callback texts.
std::string TextOf(HWND Self, Tool& T) {
  if (!T.Callback) return T.Text;
  NMTTDISPINFOA Di;
  Di.uFlags = T.Flags;
  Di.lParam = T.Param;
  Di.hdr.hwndFrom = Self;
  Di.hdr.idFrom = T.Id;
  Di.hdr.code = TTN_GETDISPINFO;
  if (IsWindow(T.Hwnd)) SendMessage(T.Hwnd, WM_NOTIFY, T.Id, reinterpret_cast<LPARAM>(&Di));
  std::string Text;
  if (Di.lpszText && Di.lpszText != LPSTR_TEXTCALLBACK && !IS_INTRESOURCE(Di.lpszText))
    Text = Di.lpszText;
  else
    Text = std::string(Di.szText, strnlen(Di.szText, sizeof Di.szText));
  if (Di.uFlags & TTF_DI_SETITEM) {
    T.Callback = false;
    T.Text = Text;
  }
  return Text;
}

UINT DrawFormat(HWND Self, const ToolTipState& S) {
  UINT F = DT_EXPANDTABS | (S.MaxWidth >= 0 ? DT_WORDBREAK : DT_SINGLELINE);
  if (GetWindowLongPtr(Self, GWL_STYLE) & TTS_NOPREFIX) F |= DT_NOPREFIX;
  return F;
}

void Hide(ToolTipState& S) {
  KillTimer(S.Hwnd, PopTimer);
  KillTimer(S.Hwnd, LeaveTimer);
  if (!S.Shown) return;
  S.Shown = false;
  S.HiddenAt = GetTickCount();
  ShowWindow(S.Hwnd, SW_HIDE);
  if (S.Current >= 0 && S.Current < static_cast<int>(S.Tools.size())) {
    Tool& T = S.Tools[static_cast<size_t>(S.Current)];
    NMHDR H;
    H.hwndFrom = S.Hwnd;
    H.idFrom = T.Id;
    H.code = TTN_POP;
    if (IsWindow(T.Hwnd)) SendMessage(T.Hwnd, WM_NOTIFY, T.Id, reinterpret_cast<LPARAM>(&H));
  }
}

bool MayShow(const ToolTipState& S, const Tool& T) {
  if (!S.Active) return false;
  if (GetWindowLongPtr(S.Hwnd, GWL_STYLE) & TTS_ALWAYSTIP) return true;
  HWND Root = GetAncestor(T.Hwnd, GA_ROOT);
  return Root && GetActiveWindow() == Root;
}

void Show(ToolTipState& S) {
  KillTimer(S.Hwnd, ShowTimer);
  if (S.Current < 0 || S.Current >= static_cast<int>(S.Tools.size()) || S.Suppressed) return;
  Tool& T = S.Tools[static_cast<size_t>(S.Current)];
  if (!MayShow(S, T)) return;
  UINT_PTR Id = T.Id;
  HWND ToolWindow = T.Hwnd;
  std::string Text = TextOf(S.Hwnd, T);
  if (Text.empty()) return;
  S.ShownText = Text;
  HDC Dc = CreateCompatibleDC(nullptr);
  HGDIOBJ Old = SelectObject(Dc, S.Font ? S.Font : DefaultControlFont());
  RECT Calc{0, 0, S.MaxWidth >= 0 ? S.MaxWidth : 0x7FFF, 0};
  DrawText(Dc, Text.c_str(), -1, &Calc, DrawFormat(S.Hwnd, S) | DT_CALCRECT);
  SelectObject(Dc, Old);
  DeleteDC(Dc);
  int W = Calc.right - Calc.left + 2 * Padding + 2, H = Calc.bottom - Calc.top + 2 * Padding + 2;
  POINT Cur;
  GetCursorPos(&Cur);
  int X = Cur.x, Y = Cur.y + GetSystemMetrics(SM_CYCURSOR) * 3 / 4;
  MONITORINFO Mi;
  if (GetMonitorInfo(MonitorFromPoint(Cur, MONITOR_DEFAULTTONEAREST), &Mi)) {
    X = std::max<int>(Mi.rcWork.left, std::min<int>(X, Mi.rcWork.right - W));
    if (Y + H > Mi.rcWork.bottom) Y = Cur.y - H - 2;
    Y = std::max<int>(Mi.rcWork.top, Y);
  }
  SetWindowPos(S.Hwnd, HWND_TOPMOST, X, Y, W, H, SWP_NOACTIVATE);
  // The tool's window may place the tip itself (a non-zero answer).
  NMHDR Hd;
  Hd.hwndFrom = S.Hwnd;
  Hd.idFrom = Id;
  Hd.code = TTN_SHOW;
  if (IsWindow(ToolWindow)) SendMessage(ToolWindow, WM_NOTIFY, Id, reinterpret_cast<LPARAM>(&Hd));
  if (!S.StillAlive()) return;
  SetWindowPos(S.Hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  S.Shown = true;
  InvalidateRect(S.Hwnd, nullptr, TRUE);
  SetTimer(S.Hwnd, PopTimer, static_cast<UINT>(std::max(1, DelayOf(S, TTDT_AUTOPOP))), nullptr);
  SetTimer(S.Hwnd, LeaveTimer, LeaveCheck, nullptr);
}

// A mouse message of a window (screen point) seen by the control.
void Relay(ToolTipState& S, const MSG& M) {
  if (!S.Active) return;
  switch (M.message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_NCLBUTTONDOWN:
      KillTimer(S.Hwnd, ShowTimer);
      Hide(S);
      S.Suppressed = S.Current >= 0;
      return;
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
      break;
    default:
      return;
  }
  POINT Screen{GET_X_LPARAM(M.lParam), GET_Y_LPARAM(M.lParam)};
  if (M.message == WM_MOUSEMOVE) ClientToScreen(M.hwnd, &Screen);
  int Index = ToolAt(S, M.hwnd, Screen);
  if (Index == S.Current) return;
  bool WasShown = S.Shown;
  Hide(S);
  S.Current = Index;
  S.Suppressed = false;
  KillTimer(S.Hwnd, ShowTimer);
  if (Index < 0) return;
  bool Recent = WasShown || (S.HiddenAt && GetTickCount() - S.HiddenAt < static_cast<DWORD>(DelayOf(S, TTDT_INITIAL)));
  int Delay = Recent ? DelayOf(S, TTDT_RESHOW) : DelayOf(S, TTDT_INITIAL);
  SetTimer(S.Hwnd, ShowTimer, static_cast<UINT>(std::max(1, Delay)), nullptr);
}

LRESULT CALLBACK MouseHookProc(int Code, WPARAM WParam, LPARAM LParam) {
  if (Code == HC_ACTION && LParam) {
    auto* Mh = reinterpret_cast<MOUSEHOOKSTRUCT*>(LParam);
    std::vector<HWND> Tips = TipWindows;
    for (HWND Tip : Tips) {
      auto* S = IsWindow(Tip) ? StateOf<ToolTipState>(Tip) : nullptr;
      if (!S) continue;
      ControlHold Hold(*S);
      bool Watches = false;
      for (const Tool& T : S->Tools)
        if ((T.Flags & TTF_SUBCLASS) &&
            (T.Hwnd == Mh->hwnd || ((T.Flags & TTF_IDISHWND) && reinterpret_cast<HWND>(T.Id) == Mh->hwnd)))
          Watches = true;
      if (!Watches) continue;
      MSG M;
      M.hwnd = Mh->hwnd;
      M.message = static_cast<UINT>(WParam);
      M.pt = Mh->pt;
      POINT P = Mh->pt;
      if (M.message == WM_MOUSEMOVE || (M.message >= WM_MOUSEFIRST && M.message <= WM_MOUSELAST)) {
        ScreenToClient(Mh->hwnd, &P);
      }
      M.lParam = MAKELPARAM(static_cast<WORD>(P.x), static_cast<WORD>(P.y));
      Relay(*S, M);
    }
  }
  return CallNextHookEx(MouseHook, Code, WParam, LParam);
}

void ToolTipState::Paint(HDC Dc) {
  ToolTipState& S = *this;
  RECT R;
  GetClientRect(S.Hwnd, &R);
  HBRUSH Back = S.Back == CLR_DEFAULT ? GetSysColorBrush(COLOR_INFOBK) : CreateSolidBrush(S.Back);
  FillRect(Dc, &R, Back);
  if (S.Back != CLR_DEFAULT) DeleteObject(Back);
  FrameRect(Dc, &R, GetSysColorBrush(COLOR_INFOTEXT));
  HGDIOBJ Old = SelectObject(Dc, S.Font ? S.Font : DefaultControlFont());
  SetBkMode(Dc, TRANSPARENT);
  SetTextColor(Dc, S.TextColor == CLR_DEFAULT ? GetSysColor(COLOR_INFOTEXT) : S.TextColor);
  InflateRect(&R, -(Padding + 1), -(Padding + 1));
  DrawText(Dc, S.ShownText.c_str(), -1, &R, DrawFormat(S.Hwnd, S));
  SelectObject(Dc, Old);
}

ToolTipState::ToolTipState(HWND Window, const CREATESTRUCT&) : ControlState(Window) {
  // Always a topmost popup that is never activated.
  DWORD Style = (static_cast<DWORD>(GetWindowLongPtr(Hwnd, GWL_STYLE)) & ~(WS_CHILD | WS_VISIBLE)) | WS_POPUP;
  DWORD Ex = static_cast<DWORD>(GetWindowLongPtr(Hwnd, GWL_EXSTYLE)) | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
  wincore::SetWindowStyleBits(Hwnd, Style, Ex);
  TipWindows.push_back(Hwnd);
  if (!MouseHook) MouseHook = SetWindowsHookEx(WH_MOUSE, MouseHookProc, nullptr, GetCurrentThreadId());
}

LRESULT ToolTipState::Handle(UINT Msg, WPARAM WParam, LPARAM LParam) {
  ToolTipState& S = *this;
  switch (Msg) {
    case WM_NCDESTROY:
      TipWindows.erase(std::remove(TipWindows.begin(), TipWindows.end(), Hwnd), TipWindows.end());
      if (TipWindows.empty() && MouseHook) {
        UnhookWindowsHookEx(MouseHook);
        MouseHook = nullptr;
      }
      return DefWindowProc(Hwnd, Msg, WParam, LParam);
    case WM_NCHITTEST:
      return HTTRANSPARENT;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_TIMER:
      if (WParam == ShowTimer) {
        Show(S);
      } else if (WParam == PopTimer) {
        Hide(S);
        S.Suppressed = true;
      } else if (WParam == LeaveTimer) {
        if (!StillOver(S, S.Current)) {
          Hide(S);
          S.Current = -1;
          S.Suppressed = false;
        }
      }
      return 0;
    case TTM_ADDTOOL: {
      auto* Info = reinterpret_cast<const TOOLINFOA*>(LParam);
      if (!Info) return FALSE;
      Tool T;
      ToolFromInfo(T, *Info);
      int At = FindTool(S, T.Hwnd, T.Id);
      if (At >= 0)
        S.Tools[static_cast<size_t>(At)] = T;
      else
        S.Tools.push_back(T);
      return TRUE;
    }
    case TTM_DELTOOL: {
      auto* Info = reinterpret_cast<const TOOLINFOA*>(LParam);
      if (!Info) return 0;
      int At = FindTool(S, Info->hwnd, Info->uId);
      if (At < 0) return 0;
      if (At == S.Current) {
        Hide(S);
        KillTimer(Hwnd, ShowTimer);
        S.Current = -1;
      } else if (At < S.Current) {
        --S.Current;
      }
      S.Tools.erase(S.Tools.begin() + At);
      return 0;
    }
    case TTM_UPDATETIPTEXT:
    case TTM_NEWTOOLRECT:
    case TTM_SETTOOLINFO: {
      auto* Info = reinterpret_cast<const TOOLINFOA*>(LParam);
      if (!Info) return 0;
      int At = FindTool(S, Info->hwnd, Info->uId);
      if (At < 0) return 0;
      Tool& T = S.Tools[static_cast<size_t>(At)];
      if (Msg == TTM_NEWTOOLRECT) {
        T.Rect = Info->rect;
      } else if (Msg == TTM_SETTOOLINFO) {
        ToolFromInfo(T, *Info);
      } else {
        T.Callback = Info->lpszText == LPSTR_TEXTCALLBACK;
        T.Text = (!T.Callback && Info->lpszText && !IS_INTRESOURCE(Info->lpszText)) ? Info->lpszText : "";
      }
      if (At == S.Current && S.Shown) {
        S.ShownText = TextOf(Hwnd, T);
        InvalidateRect(Hwnd, nullptr, TRUE);
      }
      return 0;
    }
    case TTM_GETTOOLINFO: {
      auto* Info = reinterpret_cast<TOOLINFOA*>(LParam);
      if (!Info) return FALSE;
      int At = FindTool(S, Info->hwnd, Info->uId);
      if (At < 0) return FALSE;
      InfoFromTool(*Info, S.Tools[static_cast<size_t>(At)]);
      return TRUE;
    }
    case TTM_GETCURRENTTOOL: {
      if (S.Current < 0 || !S.Shown) return FALSE;
      if (auto* Info = reinterpret_cast<TOOLINFOA*>(LParam)) InfoFromTool(*Info, S.Tools[static_cast<size_t>(S.Current)]);
      return TRUE;
    }
    case TTM_GETTEXT: {
      auto* Info = reinterpret_cast<TOOLINFOA*>(LParam);
      if (!Info || !Info->lpszText) return 0;
      int At = FindTool(S, Info->hwnd, Info->uId);
      std::string Text = At >= 0 ? S.Tools[static_cast<size_t>(At)].Text : "";
      size_t Size = WParam ? static_cast<size_t>(WParam) : 80;
      CopyTextOut(Text, Size, reinterpret_cast<LPARAM>(Info->lpszText));
      return 0;
    }
    case TTM_GETTOOLCOUNT:
      return static_cast<LRESULT>(S.Tools.size());
    case TTM_ACTIVATE:
      S.Active = WParam != 0;
      if (!S.Active) {
        KillTimer(Hwnd, ShowTimer);
        Hide(S);
        S.Current = -1;
      }
      return 0;
    case TTM_RELAYEVENT:
      if (LParam) Relay(S, *reinterpret_cast<const MSG*>(LParam));
      return 0;
    case TTM_POP:
      KillTimer(Hwnd, ShowTimer);
      Hide(S);
      S.Suppressed = S.Current >= 0;
      return 0;
    case TTM_SETDELAYTIME: {
      int Value = static_cast<short>(LOWORD(LParam));
      switch (WParam) {
        case TTDT_AUTOMATIC:
          S.Initial = Value;
          S.AutoPop = Value < 0 ? -1 : Value * 10;
          S.Reshow = Value < 0 ? -1 : Value / 5;
          break;
        case TTDT_INITIAL: S.Initial = Value; break;
        case TTDT_AUTOPOP: S.AutoPop = Value; break;
        case TTDT_RESHOW: S.Reshow = Value; break;
        default: break;
      }
      return 0;
    }
    case TTM_GETDELAYTIME:
      return DelayOf(S, WParam);
    case TTM_SETMAXTIPWIDTH: {
      int Old = S.MaxWidth;
      S.MaxWidth = static_cast<int>(LParam);
      return Old;
    }
    case TTM_GETMAXTIPWIDTH:
      return S.MaxWidth;
    case TTM_SETTIPBKCOLOR:
      S.Back = static_cast<COLORREF>(WParam);
      return 0;
    case TTM_SETTIPTEXTCOLOR:
      S.TextColor = static_cast<COLORREF>(WParam);
      return 0;
    default:
      return DefWindowProc(Hwnd, Msg, WParam, LParam);
  }
}

}  // namespace

void RegisterToolTipClass() { RegisterControl<ToolTipState>(TOOLTIPS_CLASS, CS_SAVEBITS, nullptr); }

}  // namespace k58::builtin
