// The standard scroll bars of a window (WS_HSCROLL, WS_VSCROLL): their state, geometry, drawing and
// mouse tracking with WM_HSCROLL/WM_VSCROLL. Calls for SB_CTL go to the scroll-bar control itself.
#include "platform/win/ui/UiInternal.h"

namespace k58::winui {

namespace {

constexpr int MinThumb = 6;
constexpr UINT_PTR RepeatTimer = 0xFFF1;
constexpr UINT FirstDelay = 200;
constexpr UINT RepeatDelay = 50;

// Wide arithmetic: ranges may span the whole of int (INT_MIN..INT_MAX), pixels are few.
long long MulDivRound(long long A, long long B, long long C) {
  if (C == 0) return 0;
  long long P = A * B;
  return (P + (P >= 0 ? C / 2 : -C / 2)) / C;
}

DWORD BarStyle(int Bar) { return Bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL; }

// Geometry along the bar: arrow size, thumb start and size (0: no thumb), in pixels from the bar's
// top or left.
struct BarGeometry {
  RECT Rect{};  // window coordinates
  bool Vertical = true;
  int Length = 0;
  int Arrow = 0;
  int ThumbPos = 0;
  int ThumbSize = 0;
};

bool Disabled(HWND Hwnd, const ScrollBarState& S) {
  return (S.Arrows & ESB_DISABLE_BOTH) == ESB_DISABLE_BOTH || (StyleOf(Hwnd) & WS_DISABLED);
}

// The highest position: Max less the page (never below Min, since the page is at most the range).
int MaxPos(const ScrollBarState& S) {
  long long Top = static_cast<long long>(S.Max) - std::max<long long>(static_cast<long long>(S.Page) - 1, 0);
  return static_cast<int>(std::max<long long>(Top, S.Min));
}

BarGeometry GeometryOf(HWND Hwnd, int Bar) {
  BarGeometry G;
  ScrollBarRect(Hwnd, Bar, G.Rect);
  G.Vertical = Bar == SB_VERT;
  G.Length = G.Vertical ? Height(G.Rect) : Width(G.Rect);
  G.Arrow = G.Vertical ? GetSystemMetrics(SM_CYVSCROLL) : GetSystemMetrics(SM_CXHSCROLL);
  if (G.Length < 2 * G.Arrow) {
    G.Arrow = G.Length / 2;
    return G;
  }
  const ScrollBarState& S = Data(Hwnd)->Bars[Bar];
  int Pixels = G.Length - 2 * G.Arrow;
  int Thumb;
  if (S.Page) {
    Thumb = static_cast<int>(MulDivRound(Pixels, S.Page, static_cast<long long>(S.Max) - S.Min + 1));
    if (Thumb < MinThumb) Thumb = MinThumb;
  } else {
    Thumb = G.Vertical ? GetSystemMetrics(SM_CYVTHUMB) : GetSystemMetrics(SM_CXHTHUMB);
  }
  Pixels -= Thumb;
  if (Pixels < 0 || Disabled(Hwnd, S)) return G;
  int Top = MaxPos(S);
  int Pos = S.Tracking ? S.TrackPos : S.Pos;
  G.ThumbSize = Thumb;
  G.ThumbPos = S.Min >= Top ? G.Arrow
                            : G.Arrow + static_cast<int>(MulDivRound(Pixels, static_cast<long long>(Pos) - S.Min,
                                                                     static_cast<long long>(Top) - S.Min));
  return G;
}

// Which part a point (window coordinates) is on: the rgstate index 1..5, 0 when off the bar.
int PartAt(const BarGeometry& G, POINT P) {
  if (!InRect(G.Rect, P)) return 0;
  int At = G.Vertical ? P.y - G.Rect.top : P.x - G.Rect.left;
  if (At < G.Arrow) return 1;
  if (At >= G.Length - G.Arrow) return 5;
  if (!G.ThumbSize) return At < G.Length / 2 ? 2 : 4;
  if (At < G.ThumbPos) return 2;
  if (At < G.ThumbPos + G.ThumbSize) return 3;
  return 4;
}

RECT PartRect(const BarGeometry& G, int From, int To) {
  RECT R = G.Rect;
  if (G.Vertical) {
    R.top = G.Rect.top + From;
    R.bottom = G.Rect.top + To;
  } else {
    R.left = G.Rect.left + From;
    R.right = G.Rect.left + To;
  }
  return R;
}

void RepaintBar(HWND Hwnd, int Bar) {
  if (!IsShown(Hwnd)) return;
  RECT R;
  if (!ScrollBarRect(Hwnd, Bar, R)) return;
  HDC Dc = GetWindowDC(Hwnd);
  PaintScrollBar(Hwnd, Bar, Dc);
  ReleaseDC(Hwnd, Dc);
}

// Shows or hides the standard bars of Bars (SB_HORZ, SB_VERT or SB_BOTH); true when a style changed.
bool SetBarsShown(HWND Hwnd, int Bars, bool Show) {
  DWORD Style = StyleOf(Hwnd);
  DWORD Bits = Bars == SB_BOTH ? (WS_HSCROLL | WS_VSCROLL) : BarStyle(Bars);
  DWORD New = Show ? (Style | Bits) : (Style & ~Bits);
  if (New == Style) return false;
  wincore::SetWindowStyleBits(Hwnd, New, ExStyleOf(Hwnd));
  SetWindowPos(Hwnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  return true;
}

bool ValidBar(int Bar) { return Bar == SB_HORZ || Bar == SB_VERT; }

}  // namespace

bool ScrollBarRect(HWND Hwnd, int Bar, RECT& Rect) {
  if (!ValidBar(Bar)) return false;
  DWORD Style = StyleOf(Hwnd);
  if (!(Style & BarStyle(Bar))) return false;
  WinDataPtr D = Data(Hwnd);
  RECT C = Offset(D->Client, -D->Window.left, -D->Window.top);
  RECT W{0, 0, Width(D->Window), Height(D->Window)};
  if (Bar == SB_VERT) {
    int Cx = GetSystemMetrics(SM_CXVSCROLL);
    Rect = (ExStyleOf(Hwnd) & WS_EX_LEFTSCROLLBAR) ? RECT{C.left - Cx, C.top, C.left, C.bottom}
                                                    : RECT{C.right, C.top, C.right + Cx, C.bottom};
  } else {
    Rect = RECT{C.left, C.bottom, C.right, C.bottom + GetSystemMetrics(SM_CYHSCROLL)};
  }
  return Rect.left >= W.left && Rect.right <= W.right && Rect.top >= W.top && Rect.bottom <= W.bottom &&
         !RectEmpty(Rect);
}

bool SizeBoxRect(HWND Hwnd, RECT& Rect) {
  RECT V, H;
  if (!ScrollBarRect(Hwnd, SB_VERT, V) || !ScrollBarRect(Hwnd, SB_HORZ, H)) return false;
  Rect = RECT{V.left, H.top, V.right, H.bottom};
  return true;
}

void PaintScrollBar(HWND Hwnd, int Bar, HDC Dc) {
  RECT R;
  if (!ScrollBarRect(Hwnd, Bar, R)) return;
  BarGeometry G = GeometryOf(Hwnd, Bar);
  const ScrollBarState& S = Data(Hwnd)->Bars[Bar];
  bool Off = Disabled(Hwnd, S);
  auto ArrowState = [&](int Part, UINT Disable) {
    UINT State = 0;
    if (Off || (S.Arrows & Disable)) State |= DFCS_INACTIVE;
    if (S.Pressed == Part) State |= DFCS_PUSHED | DFCS_FLAT;
    return State;
  };
  RECT A1 = PartRect(G, 0, G.Arrow), A2 = PartRect(G, G.Length - G.Arrow, G.Length);
  DrawFrameControl(Dc, &A1, DFC_SCROLL, (G.Vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT) | ArrowState(1, ESB_DISABLE_LTUP));
  DrawFrameControl(Dc, &A2, DFC_SCROLL,
                   (G.Vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT) | ArrowState(5, ESB_DISABLE_RTDN));
  if (G.Length <= 2 * G.Arrow) return;
  auto Track = [&](int From, int To, int Part) {
    RECT T = PartRect(G, From, To);
    if (!RectEmpty(T)) FillRect(Dc, &T, GetSysColorBrush(S.Pressed == Part ? COLOR_3DDKSHADOW : COLOR_SCROLLBAR));
  };
  if (!G.ThumbSize) {
    Track(G.Arrow, G.Length - G.Arrow, 0);
    return;
  }
  Track(G.Arrow, G.ThumbPos, 2);
  Track(G.ThumbPos + G.ThumbSize, G.Length - G.Arrow, 4);
  RECT Th = PartRect(G, G.ThumbPos, G.ThumbPos + G.ThumbSize);
  FillRect(Dc, &Th, GetSysColorBrush(COLOR_BTNFACE));
  DrawEdge(Dc, &Th, EDGE_RAISED, BF_RECT);
}

void TrackScrollBar(HWND Hwnd, int Bar, POINT Screen) {
  if (!ValidBar(Bar)) return;
  WinDataPtr D = Data(Hwnd);
  ScrollBarState& S = D->Bars[Bar];
  if (Disabled(Hwnd, S)) return;
  RECT W = ScreenWindowRect(Hwnd);
  POINT P{Screen.x - W.left, Screen.y - W.top};
  BarGeometry G = GeometryOf(Hwnd, Bar);
  int Part = PartAt(G, P);
  if (!Part) return;
  if ((Part == 1 && (S.Arrows & ESB_DISABLE_LTUP)) || (Part == 5 && (S.Arrows & ESB_DISABLE_RTDN))) return;
  UINT Msg = Bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL;
  auto Notify = [&](WORD Code, int Pos) {
    SendMessage(Hwnd, Msg, MAKEWPARAM(Code, static_cast<WORD>(Pos)), 0);
  };
  SetCapture(Hwnd);
  int Grab = (G.Vertical ? P.y - G.Rect.top : P.x - G.Rect.left) - G.ThumbPos;
  WORD Code = Part == 1 ? SB_LINEUP : Part == 2 ? SB_PAGEUP : Part == 4 ? SB_PAGEDOWN : SB_LINEDOWN;
  if (Part == 3) {
    S.Tracking = true;
    S.TrackPos = S.Pos;
  } else {
    S.Pressed = Part;
    RepaintBar(Hwnd, Bar);
    Notify(Code, 0);
    SetTimer(Hwnd, RepeatTimer, FirstDelay, nullptr);
  }
  MSG M;
  for (;;) {
    if (!NextCaptureMessage(Hwnd, M)) break;
    POINT Now{M.pt.x - W.left, M.pt.y - W.top};
    if (M.message == WM_TIMER && M.hwnd == Hwnd && M.wParam == RepeatTimer) {
      SetTimer(Hwnd, RepeatTimer, RepeatDelay, nullptr);
      POINT Cur;
      GetCursorPos(&Cur);
      BarGeometry G2 = GeometryOf(Hwnd, Bar);
      if (PartAt(G2, POINT{Cur.x - W.left, Cur.y - W.top}) == Part) Notify(Code, 0);
      continue;
    }
    if (M.message == WM_MOUSEMOVE && Part == 3) {
      BarGeometry G2 = GeometryOf(Hwnd, Bar);
      int Pixels = G2.Length - 2 * G2.Arrow - G.ThumbSize;
      int At = (G.Vertical ? Now.y - G.Rect.top : Now.x - G.Rect.left) - Grab - G.Arrow;
      int Top = MaxPos(S);
      int Pos = Pixels > 0 ? static_cast<int>(S.Min + MulDivRound(std::max(0, std::min(At, Pixels)),
                                                                   static_cast<long long>(Top) - S.Min, Pixels))
                           : S.Min;
      if (Pos != S.TrackPos) {
        S.TrackPos = Pos;
        RepaintBar(Hwnd, Bar);
        Notify(SB_THUMBTRACK, Pos);
      }
      continue;
    }
    if (M.message == WM_MOUSEMOVE) continue;
    if (M.message == WM_LBUTTONUP) {
      if (Part == 3) Notify(SB_THUMBPOSITION, S.TrackPos);
      break;
    }
    TranslateMessage(&M);
    DispatchMessage(&M);
  }
  if (IsWindow(Hwnd)) {
    KillTimer(Hwnd, RepeatTimer);
    S.Tracking = false;
    S.Pressed = -1;
    if (GetCapture() == Hwnd) ReleaseCapture();
    Notify(SB_ENDSCROLL, 0);
    RepaintBar(Hwnd, Bar);
  }
}

}  // namespace k58::winui

using namespace k58::winui;

int SetScrollInfo(HWND hwnd, int nBar, LPCSCROLLINFO lpsi, BOOL redraw) {
  EnsureInit();
  if (!IsWindow(hwnd) || !lpsi) return 0;
  if (nBar == SB_CTL)
    return static_cast<int>(SendMessage(hwnd, SBM_SETSCROLLINFO, redraw, reinterpret_cast<LPARAM>(lpsi)));
  if (!ValidBar(nBar)) return 0;
  ScrollBarState& S = Data(hwnd)->Bars[nBar];
  UINT Mask = lpsi->fMask;
  if (Mask & SIF_RANGE) {
    S.Min = lpsi->nMin;
    S.Max = std::max(lpsi->nMin, lpsi->nMax);
  }
  if (Mask & SIF_PAGE) S.Page = lpsi->nPage;
  long long Span = static_cast<long long>(S.Max) - S.Min + 1;
  if (static_cast<long long>(S.Page) > Span) S.Page = static_cast<UINT>(Span);
  if (Mask & SIF_POS) S.Pos = lpsi->nPos;
  S.Pos = std::max(S.Min, std::min(S.Pos, std::max(S.Min, MaxPos(S))));
  if (Mask & (SIF_RANGE | SIF_PAGE)) {
    bool Needed = S.Page ? static_cast<long long>(S.Page) < Span : S.Max > S.Min;
    if (Mask & SIF_DISABLENOSCROLL) {
      UINT Arrows = Needed ? ESB_ENABLE_BOTH : ESB_DISABLE_BOTH;
      bool Changed = S.Arrows != Arrows;
      S.Arrows = Arrows;
      if (!SetBarsShown(hwnd, nBar, true) && Changed && redraw) RepaintBar(hwnd, nBar);
    } else if (!Needed) {
      SetBarsShown(hwnd, nBar, false);
    } else {
      SetBarsShown(hwnd, nBar, true);
    }
  }
  if (redraw) RepaintBar(hwnd, nBar);
  return S.Pos;
}

BOOL GetScrollInfo(HWND hwnd, int nBar, LPSCROLLINFO lpsi) {
  if (!IsWindow(hwnd) || !lpsi) return FALSE;
  if (nBar == SB_CTL) return SendMessage(hwnd, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(lpsi)) ? TRUE : FALSE;
  if (!ValidBar(nBar)) return FALSE;
  const ScrollBarState& S = Data(hwnd)->Bars[nBar];
  if (lpsi->fMask & SIF_RANGE) {
    lpsi->nMin = S.Min;
    lpsi->nMax = S.Max;
  }
  if (lpsi->fMask & SIF_PAGE) lpsi->nPage = S.Page;
  if (lpsi->fMask & SIF_POS) lpsi->nPos = S.Pos;
  if (lpsi->fMask & SIF_TRACKPOS) lpsi->nTrackPos = S.Tracking ? S.TrackPos : S.Pos;
  return (lpsi->fMask & SIF_ALL) ? TRUE : FALSE;
}

int SetScrollPos(HWND hWnd, int nBar, int nPos, BOOL bRedraw) {
  if (nBar == SB_CTL) return static_cast<int>(SendMessage(hWnd, SBM_SETPOS, static_cast<WPARAM>(nPos), bRedraw));
  int Old = GetScrollPos(hWnd, nBar);
  SCROLLINFO Si;
  Si.fMask = SIF_POS;
  Si.nPos = nPos;
  SetScrollInfo(hWnd, nBar, &Si, bRedraw);
  return Old;
}

int GetScrollPos(HWND hWnd, int nBar) {
  if (nBar == SB_CTL) return static_cast<int>(SendMessage(hWnd, SBM_GETPOS, 0, 0));
  SCROLLINFO Si;
  Si.fMask = SIF_POS;
  return GetScrollInfo(hWnd, nBar, &Si) ? Si.nPos : 0;
}

BOOL SetScrollRange(HWND hWnd, int nBar, int nMinPos, int nMaxPos, BOOL bRedraw) {
  if (nBar == SB_CTL)
    return SendMessage(hWnd, bRedraw ? SBM_SETRANGEREDRAW : SBM_SETRANGE, static_cast<WPARAM>(nMinPos), nMaxPos) ? TRUE
                                                                                                               : FALSE;
  SCROLLINFO Si;
  Si.fMask = SIF_RANGE;
  Si.nMin = nMinPos;
  Si.nMax = nMaxPos;
  SetScrollInfo(hWnd, nBar, &Si, bRedraw);
  return IsWindow(hWnd);
}

BOOL GetScrollRange(HWND hWnd, int nBar, LPINT lpMinPos, LPINT lpMaxPos) {
  SCROLLINFO Si;
  Si.fMask = SIF_RANGE;
  if (!GetScrollInfo(hWnd, nBar, &Si)) return FALSE;
  if (lpMinPos) *lpMinPos = Si.nMin;
  if (lpMaxPos) *lpMaxPos = Si.nMax;
  return TRUE;
}

BOOL ShowScrollBar(HWND hWnd, int wBar, BOOL bShow) {
  EnsureInit();
  if (!IsWindow(hWnd)) return FALSE;
  if (wBar == SB_CTL) {
    ShowWindow(hWnd, bShow ? SW_SHOW : SW_HIDE);
    return TRUE;
  }
  if (!ValidBar(wBar) && wBar != SB_BOTH) return FALSE;
  SetBarsShown(hWnd, wBar, bShow != FALSE);
  return TRUE;
}

BOOL EnableScrollBar(HWND hWnd, UINT wSBflags, UINT wArrows) {
  if (!IsWindow(hWnd)) return FALSE;
  if (wSBflags == SB_CTL) return SendMessage(hWnd, SBM_ENABLE_ARROWS, wArrows, 0) ? TRUE : FALSE;
  bool Changed = false;
  for (int Bar : {SB_HORZ, SB_VERT}) {
    if (wSBflags != SB_BOTH && static_cast<int>(wSBflags) != Bar) continue;
    ScrollBarState& S = Data(hWnd)->Bars[Bar];
    if (S.Arrows != (wArrows & ESB_DISABLE_BOTH)) {
      S.Arrows = wArrows & ESB_DISABLE_BOTH;
      Changed = true;
      RepaintBar(hWnd, Bar);
    }
  }
  return Changed ? TRUE : FALSE;
}

BOOL GetScrollBarInfo(HWND hwnd, LONG idObject, PSCROLLBARINFO psbi) {
  if (!IsWindow(hwnd) || !psbi) return FALSE;
  if (idObject == OBJID_CLIENT)
    return SendMessage(hwnd, SBM_GETSCROLLBARINFO, 0, reinterpret_cast<LPARAM>(psbi)) ? TRUE : FALSE;
  int Bar = idObject == OBJID_VSCROLL ? SB_VERT : idObject == OBJID_HSCROLL ? SB_HORZ : -1;
  if (Bar < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *psbi = SCROLLBARINFO{};
  RECT R;
  bool Shown = ScrollBarRect(hwnd, Bar, R);
  RECT W = ScreenWindowRect(hwnd);
  const ScrollBarState& S = Data(hwnd)->Bars[Bar];
  if (!Shown) {
    // Where the bar would be: along the client area's edge.
    WinDataPtr D = Data(hwnd);
    RECT C = Offset(D->Client, -D->Window.left, -D->Window.top);
    R = Bar == SB_VERT ? RECT{C.right, C.top, C.right + GetSystemMetrics(SM_CXVSCROLL), C.bottom}
                       : RECT{C.left, C.bottom, C.right, C.bottom + GetSystemMetrics(SM_CYHSCROLL)};
    psbi->rgstate[0] = STATE_SYSTEM_INVISIBLE;
  }
  psbi->rcScrollBar = Offset(R, W.left, W.top);
  if (Shown) {
    BarGeometry G = GeometryOf(hwnd, Bar);
    psbi->dxyLineButton = G.Arrow;
    psbi->xyThumbTop = G.ThumbPos;
    psbi->xyThumbBottom = G.ThumbPos + G.ThumbSize;
    if (Disabled(hwnd, S)) psbi->rgstate[0] |= STATE_SYSTEM_UNAVAILABLE;
    if (!G.ThumbSize) psbi->rgstate[3] = STATE_SYSTEM_INVISIBLE;
    if (S.Arrows & ESB_DISABLE_LTUP) psbi->rgstate[1] |= STATE_SYSTEM_UNAVAILABLE;
    if (S.Arrows & ESB_DISABLE_RTDN) psbi->rgstate[5] |= STATE_SYSTEM_UNAVAILABLE;
    if (S.Pressed >= 1 && S.Pressed <= 5) psbi->rgstate[S.Pressed] |= STATE_SYSTEM_PRESSED;
    if (S.Tracking) psbi->rgstate[3] |= STATE_SYSTEM_PRESSED;
  }
  if (!IsWindowVisible(hwnd)) psbi->rgstate[0] |= STATE_SYSTEM_OFFSCREEN;
  return TRUE;
}
