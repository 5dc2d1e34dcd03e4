// The "ScrollBar" window class. The control is a window whose own standard scroll bar (WS_VSCROLL for
// SBS_VERT, WS_HSCROLL for SBS_HORZ) fills it, so drawing, hit-testing, clicks, thumb dragging and
// auto-repeat are the window manager's; the control turns the SBM_* messages into calls on that bar
// and passes the bar's WM_VSCROLL/WM_HSCROLL on to its parent with its own handle in lParam. The bar
// keeps the system thickness along the control's right (vertical) or bottom (horizontal) edge.
// SBS_SIZEBOX/SBS_SIZEGRIP make a size box instead, which sizes the top-level window it sits in.
#include <algorithm>

#include "platform/win/builtin/CommCtrlInternal.h"
#include "platform/win/core/WinCoreExt.h"

namespace k58::builtin {

namespace {

DWORD StyleOf(HWND Hwnd) { return static_cast<DWORD>(GetWindowLongPtr(Hwnd, GWL_STYLE)); }

struct ScrollBarState : ControlState {
  ScrollBarState(HWND Window, const CREATESTRUCT&) : ControlState(Window) {
    DWORD Style = StyleOf(Hwnd);
    SizeBox = (Style & (SBS_SIZEBOX | SBS_SIZEGRIP)) != 0;
    Bar = (Style & SBS_VERT) ? SB_VERT : SB_HORZ;
    if (!SizeBox) {
      DWORD Ex = static_cast<DWORD>(GetWindowLongPtr(Hwnd, GWL_EXSTYLE));
      wincore::SetWindowStyleBits(Hwnd, Style | (Bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL), Ex);
    }
  }
  void Paint(HDC Dc);
  LRESULT Handle(UINT Msg, WPARAM WParam, LPARAM LParam);

  int Bar = SB_HORZ;  // the window bar that stands for the control
  bool SizeBox = false;
};

UINT ScrollMessage(const ScrollBarState& S) { return S.Bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL; }

void ForwardScroll(HWND Hwnd, const ScrollBarState& S, WPARAM WParam) {
  HWND Parent = NotifyTarget(Hwnd);
  if (Parent) SendMessage(Parent, ScrollMessage(S), WParam, reinterpret_cast<LPARAM>(Hwnd));
}

void PaintSizeBox(HWND Hwnd, HDC Dc) {
  RECT R;
  GetClientRect(Hwnd, &R);
  FillRect(Dc, &R, GetSysColorBrush(COLOR_BTNFACE));
  if (StyleOf(Hwnd) & SBS_SIZEGRIP) {
    int Side = std::min(R.right - R.left, R.bottom - R.top);
    RECT G{R.right - Side, R.bottom - Side, R.right, R.bottom};
    DrawFrameControl(Dc, &G, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
  }
}

void ScrollBarState::Paint(HDC Dc) {
  if (SizeBox) {
    PaintSizeBox(Hwnd, Dc);
  } else {
    RECT R;
    GetClientRect(Hwnd, &R);
    FillRect(Dc, &R, GetSysColorBrush(COLOR_BTNFACE));
  }
}

LRESULT ScrollBarState::Handle(UINT Msg, WPARAM WParam, LPARAM LParam) {
  ScrollBarState& S = *this;
  switch (Msg) {
    case WM_CREATE:
      if (!S.SizeBox) {
        // Present from the start, disabled while its range is empty.
        SCROLLINFO Si;
        Si.fMask = SIF_RANGE | SIF_POS | SIF_DISABLENOSCROLL;
        SetScrollInfo(Hwnd, S.Bar, &Si, FALSE);
        EnableScrollBar(Hwnd, static_cast<UINT>(S.Bar), ESB_ENABLE_BOTH);
      }
      return 0;
    case WM_VSCROLL:
    case WM_HSCROLL:
      // From the control's own bar (lParam 0): the parent is told, with the control as the sender.
      if (LParam == 0) {
        ForwardScroll(Hwnd, S, WParam);
        return 0;
      }
      return DefWindowProc(Hwnd, Msg, WParam, LParam);
    case WM_ENABLE:
      if (!S.SizeBox) EnableScrollBar(Hwnd, static_cast<UINT>(S.Bar), WParam ? ESB_ENABLE_BOTH : ESB_DISABLE_BOTH);
      return 0;
    case WM_KEYDOWN: {
      if (S.SizeBox) return DefWindowProc(Hwnd, Msg, WParam, LParam);
      WORD Code;
      switch (WParam) {
        case VK_UP:
        case VK_LEFT: Code = SB_LINEUP; break;
        case VK_DOWN:
        case VK_RIGHT: Code = SB_LINEDOWN; break;
        case VK_PRIOR: Code = SB_PAGEUP; break;
        case VK_NEXT: Code = SB_PAGEDOWN; break;
        case VK_HOME: Code = SB_TOP; break;
        case VK_END: Code = SB_BOTTOM; break;
        default: return DefWindowProc(Hwnd, Msg, WParam, LParam);
      }
      ForwardScroll(Hwnd, S, MAKEWPARAM(Code, 0));
      ForwardScroll(Hwnd, S, MAKEWPARAM(SB_ENDSCROLL, 0));
      return 0;
    }
    case WM_GETDLGCODE:
      return S.SizeBox ? 0 : DLGC_WANTARROWS;
    case WM_SETCURSOR:
      if (S.SizeBox && (StyleOf(Hwnd) & SBS_SIZEGRIP)) {
        SetCursor(LoadCursor(nullptr, IDC_SIZENWSE));
        return TRUE;
      }
      return DefWindowProc(Hwnd, Msg, WParam, LParam);
    case WM_LBUTTONDOWN:
      if (S.SizeBox) {
        HWND Top = GetAncestor(Hwnd, GA_ROOT);
        if (Top && Top != Hwnd && (GetWindowLongPtr(Top, GWL_STYLE) & WS_THICKFRAME)) {
          POINT P{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
          ClientToScreen(Hwnd, &P);
          SendMessage(Top, WM_SYSCOMMAND, SC_SIZE | WMSZ_BOTTOMRIGHT, MAKELPARAM(static_cast<WORD>(P.x), static_cast<WORD>(P.y)));
        }
      }
      return 0;
    // The control's messages, on its own bar.
    case SBM_SETPOS: {
      if (S.SizeBox) return 0;
      int Old = GetScrollPos(Hwnd, S.Bar);
      SetScrollPos(Hwnd, S.Bar, static_cast<int>(WParam), static_cast<BOOL>(LParam));
      return Old;
    }
    case SBM_GETPOS:
      return S.SizeBox ? 0 : GetScrollPos(Hwnd, S.Bar);
    case SBM_SETRANGE:
    case SBM_SETRANGEREDRAW: {
      if (S.SizeBox) return 0;
      int Old = GetScrollPos(Hwnd, S.Bar);
      SCROLLINFO Si;
      Si.fMask = SIF_RANGE | SIF_DISABLENOSCROLL;
      Si.nMin = static_cast<int>(WParam);
      Si.nMax = static_cast<int>(LParam);
      SetScrollInfo(Hwnd, S.Bar, &Si, Msg == SBM_SETRANGEREDRAW);
      return Old;
    }
    case SBM_GETRANGE: {
      int Min = 0, Max = 0;
      if (!S.SizeBox) GetScrollRange(Hwnd, S.Bar, &Min, &Max);
      if (WParam) *reinterpret_cast<int*>(WParam) = Min;
      if (LParam) *reinterpret_cast<int*>(LParam) = Max;
      return 0;
    }
    case SBM_ENABLE_ARROWS:
      if (S.SizeBox) return FALSE;
      return EnableScrollBar(Hwnd, static_cast<UINT>(S.Bar), static_cast<UINT>(WParam));
    case SBM_SETSCROLLINFO: {
      if (S.SizeBox || !LParam) return 0;
      SCROLLINFO Si = *reinterpret_cast<const SCROLLINFO*>(LParam);
      Si.fMask |= SIF_DISABLENOSCROLL;
      return SetScrollInfo(Hwnd, S.Bar, &Si, static_cast<BOOL>(WParam));
    }
    case SBM_GETSCROLLINFO:
      if (S.SizeBox || !LParam) return FALSE;
      return GetScrollInfo(Hwnd, S.Bar, reinterpret_cast<SCROLLINFO*>(LParam));
    case SBM_GETSCROLLBARINFO:
      if (S.SizeBox || !LParam) return FALSE;
      return GetScrollBarInfo(Hwnd, S.Bar == SB_VERT ? OBJID_VSCROLL : OBJID_HSCROLL,
                              reinterpret_cast<SCROLLBARINFO*>(LParam));
    default:
      return DefWindowProc(Hwnd, Msg, WParam, LParam);
  }
}

}  // namespace

void RegisterScrollBarClass() { RegisterControl<ScrollBarState>(WC_SCROLLBAR, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, nullptr); }

}  // namespace k58::builtin
