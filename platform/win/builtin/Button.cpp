// The "Button" window class: push buttons (default ones with a dark frame), check boxes (two and three
// states, automatic or not), radio buttons (automatic ones uncheck the others of their group), group
// boxes and owner-drawn buttons. A click is a press and a release inside the button, with the mouse
// or the space bar (Enter on a push button); automatic types change their check state before
// BN_CLICKED reaches the parent.
#include <algorithm>

#include "platform/win/builtin/CommCtrlInternal.h"

namespace k58::builtin {

namespace {

struct ButtonState : ControlState {
  ButtonState(HWND Window, const CREATESTRUCT&) : ControlState(Window) {}
  void Paint(HDC Dc);
  LRESULT Handle(UINT Msg, WPARAM WParam, LPARAM LParam);

  UINT Check = BST_UNCHECKED;
  bool Pushed = false;    // drawn pressed (BM_SETSTATE, mouse or space held)
  bool Focused = false;
  bool Tracking = false;  // mouse button held after a press on the button
  bool SpaceDown = false;
  HFONT Font = nullptr;
  HANDLE Image = nullptr;
  UINT ImageType = IMAGE_BITMAP;
};

DWORD StyleOf(HWND Hwnd) { return static_cast<DWORD>(GetWindowLongPtr(Hwnd, GWL_STYLE)); }
DWORD TypeOf(HWND Hwnd) { return StyleOf(Hwnd) & BS_TYPEMASK; }

bool IsCheckType(DWORD T) {
  return T == BS_CHECKBOX || T == BS_AUTOCHECKBOX || T == BS_3STATE || T == BS_AUTO3STATE;
}
bool IsRadioType(DWORD T) { return T == BS_RADIOBUTTON || T == BS_AUTORADIOBUTTON; }
bool IsPushType(DWORD T) { return T == BS_PUSHBUTTON || T == BS_DEFPUSHBUTTON || T == BS_PUSHBOX || T == BS_USERBUTTON; }

void Redraw(HWND Hwnd) { InvalidateRect(Hwnd, nullptr, FALSE); }

void SetCheck(HWND Hwnd, ButtonState& S, WPARAM State) {
  DWORD T = TypeOf(Hwnd);
  if (!IsCheckType(T) && !IsRadioType(T)) return;
  UINT New = static_cast<UINT>(State);
  if (New == BST_INDETERMINATE && T != BS_3STATE && T != BS_AUTO3STATE) New = BST_CHECKED;
  if (New > BST_INDETERMINATE) New = BST_CHECKED;
  if (IsRadioType(T)) {
    // A checked radio button is the one Tab reaches in its group.
    DWORD Style = StyleOf(Hwnd);
    DWORD Want = New ? (Style | WS_TABSTOP) : (Style & ~WS_TABSTOP);
    if (Want != Style) SetWindowLongPtr(Hwnd, GWL_STYLE, static_cast<LONG_PTR>(Want));
  }
  if (New != S.Check) {
    S.Check = New;
    Redraw(Hwnd);
  }
}

// The other automatic radio buttons of Hwnd's group (from the last WS_GROUP sibling up to the next).
void UncheckGroup(HWND Hwnd) {
  HWND Parent = GetParent(Hwnd);
  if (!Parent) return;
  HWND First = Hwnd;
  while (!(GetWindowLongPtr(First, GWL_STYLE) & WS_GROUP)) {
    HWND Prev = GetWindow(First, GW_HWNDPREV);
    if (!Prev) break;
    First = Prev;
  }
  for (HWND W = First; W; W = GetWindow(W, GW_HWNDNEXT)) {
    if (W != First && (GetWindowLongPtr(W, GWL_STYLE) & WS_GROUP)) break;
    if (W == Hwnd) continue;
    if (SendMessage(W, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) SendMessage(W, BM_SETCHECK, BST_UNCHECKED, 0);
  }
}

void Click(HWND Hwnd, ButtonState& S) {
  switch (TypeOf(Hwnd)) {
    case BS_AUTOCHECKBOX:
      SetCheck(Hwnd, S, S.Check ? BST_UNCHECKED : BST_CHECKED);
      break;
    case BS_AUTO3STATE:
      SetCheck(Hwnd, S, (S.Check + 1) % 3);
      break;
    case BS_AUTORADIOBUTTON:
      SetCheck(Hwnd, S, BST_CHECKED);
      UncheckGroup(Hwnd);
      break;
    default:
      break;
  }
  NotifyCommand(Hwnd, BN_CLICKED);
}

void SetPushed(HWND Hwnd, ButtonState& S, bool Pushed) {
  if (S.Pushed == Pushed) return;
  S.Pushed = Pushed;
  if (StyleOf(Hwnd) & BS_NOTIFY) NotifyCommand(Hwnd, Pushed ? BN_HILITE : BN_UNHILITE);
  if (S.StillAlive()) Redraw(Hwnd);
}

UINT TextFormat(DWORD Style, bool PushLike) {
  UINT F = (Style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
  switch (Style & BS_CENTER) {
    case BS_LEFT: F |= DT_LEFT; break;
    case BS_RIGHT: F |= DT_RIGHT; break;
    case BS_CENTER: F |= DT_CENTER; break;
    default: F |= PushLike ? DT_CENTER : DT_LEFT; break;
  }
  if (!(Style & BS_MULTILINE)) {
    switch (Style & BS_VCENTER) {
      case BS_TOP: break;
      case BS_BOTTOM: F |= DT_BOTTOM; break;
      default: F |= DT_VCENTER; break;
    }
  }
  return F;
}

// Draws the caption (or the image) inside R; answers where it went, for the focus rectangle.
RECT DrawLabel(HWND Hwnd, ButtonState& S, HDC Dc, RECT R, UINT Format) {
  DWORD Style = StyleOf(Hwnd);
  bool Enabled = IsWindowEnabled(Hwnd) != FALSE;
  SIZE Sz;
  if ((Style & (BS_BITMAP | BS_ICON)) && ImageSize(S.Image, S.ImageType, Sz)) {
    int X = (Format & DT_RIGHT) ? R.right - Sz.cx : (Format & DT_CENTER) ? (R.left + R.right - Sz.cx) / 2 : R.left;
    int Y = (R.top + R.bottom - Sz.cy) / 2;
    if (S.ImageType == IMAGE_BITMAP)
      DrawBitmapAt(Dc, X, Y, static_cast<HBITMAP>(S.Image));
    else
      DrawIconAt(Dc, X, Y, static_cast<HICON>(S.Image));
    return RECT{X, Y, X + Sz.cx, Y + Sz.cy};
  }
  std::string Text = WindowTextOf(Hwnd);
  if (Text.empty()) return RECT{};
  HGDIOBJ Old = SelectObject(Dc, S.Font ? S.Font : DefaultControlFont());
  SetBkMode(Dc, TRANSPARENT);
  if (!Enabled) SetTextColor(Dc, GetSysColor(COLOR_GRAYTEXT));
  // Where the text lands: measured first, then drawn there.
  RECT Calc = R;
  DrawText(Dc, Text.c_str(), -1, &Calc, (Format & ~(DT_VCENTER | DT_BOTTOM | DT_CENTER | DT_RIGHT)) | DT_CALCRECT);
  int W = Calc.right - Calc.left, H = Calc.bottom - Calc.top;
  int X = (Format & DT_RIGHT) ? R.right - W : (Format & DT_CENTER) ? R.left + (R.right - R.left - W) / 2 : R.left;
  int Y = (Format & DT_BOTTOM) ? R.bottom - H : (Format & DT_VCENTER) ? R.top + (R.bottom - R.top - H) / 2 : R.top;
  RECT Out{X, Y, X + W, Y + H};
  DrawText(Dc, Text.c_str(), -1, &Out, (Format & ~(DT_VCENTER | DT_BOTTOM | DT_SINGLELINE)) | DT_NOCLIP |
                                           ((Format & DT_SINGLELINE) ? DT_SINGLELINE : 0));
  SelectObject(Dc, Old);
  return Out;
}

void PaintPush(HWND Hwnd, ButtonState& S, HDC Dc, RECT R, bool Down) {
  DWORD Style = StyleOf(Hwnd);
  bool Default = TypeOf(Hwnd) == BS_DEFPUSHBUTTON;
  if (Default) {
    FrameRect(Dc, &R, GetSysColorBrush(COLOR_WINDOWFRAME));
    InflateRect(&R, -1, -1);
  }
  UINT State = DFCS_BUTTONPUSH;
  if (Down) State |= DFCS_PUSHED;
  if (!IsWindowEnabled(Hwnd)) State |= DFCS_INACTIVE;
  if (Style & BS_FLAT) State |= DFCS_FLAT;
  RECT Face = R;
  DrawFrameControl(Dc, &Face, DFC_BUTTON, State);
  RECT Inner = R;
  InflateRect(&Inner, -4, -3);
  if (Down) OffsetRect(&Inner, 1, 1);
  SetTextColor(Dc, GetSysColor(COLOR_BTNTEXT));
  DrawLabel(Hwnd, S, Dc, Inner, TextFormat(Style, true));
  if (S.Focused) {
    RECT F = R;
    InflateRect(&F, -3, -3);
    SetTextColor(Dc, GetSysColor(COLOR_BTNTEXT));
    SetBkColor(Dc, GetSysColor(COLOR_BTNFACE));
    DrawFocusRect(Dc, &F);
  }
}

void PaintCheck(HWND Hwnd, ButtonState& S, HDC Dc, RECT R) {
  DWORD Style = StyleOf(Hwnd);
  DWORD T = TypeOf(Hwnd);
  bool Radio = IsRadioType(T);
  int Box = 13;
  RECT BoxR;
  RECT TextR = R;
  bool Right = (Style & BS_LEFTTEXT) != 0;
  int Top = (R.top + R.bottom - Box) / 2;
  if ((Style & BS_VCENTER) == BS_TOP) Top = R.top;
  if ((Style & BS_VCENTER) == BS_BOTTOM) Top = R.bottom - Box;
  if (Right) {
    BoxR = RECT{R.right - Box, Top, R.right, Top + Box};
    TextR.right = BoxR.left - 4;
  } else {
    BoxR = RECT{R.left, Top, R.left + Box, Top + Box};
    TextR.left = BoxR.right + 4;
  }
  UINT State = Radio ? DFCS_BUTTONRADIO : (S.Check == BST_INDETERMINATE ? DFCS_BUTTON3STATE : DFCS_BUTTONCHECK);
  if (S.Check) State |= DFCS_CHECKED;
  if (S.Pushed) State |= DFCS_PUSHED;
  if (!IsWindowEnabled(Hwnd)) State |= DFCS_INACTIVE;
  if (Style & BS_FLAT) State |= DFCS_FLAT;
  DrawFrameControl(Dc, &BoxR, DFC_BUTTON, State);
  RECT Where = DrawLabel(Hwnd, S, Dc, TextR, TextFormat(Style, false));
  if (S.Focused && Where.right > Where.left) {
    InflateRect(&Where, 1, 1);
    Where.left = std::max(Where.left, TextR.left - 1);
    DrawFocusRect(Dc, &Where);
  }
}

void PaintGroup(HWND Hwnd, ButtonState& S, HDC Dc, RECT R) {
  HGDIOBJ Old = SelectObject(Dc, S.Font ? S.Font : DefaultControlFont());
  TEXTMETRICA Tm{};
  GetTextMetrics(Dc, &Tm);
  SelectObject(Dc, Old);
  RECT Frame = R;
  Frame.top += Tm.tmHeight / 2;
  DrawEdge(Dc, &Frame, EDGE_ETCHED, BF_RECT);
  std::string Text = WindowTextOf(Hwnd);
  if (Text.empty()) return;
  Old = SelectObject(Dc, S.Font ? S.Font : DefaultControlFont());
  RECT T{R.left + 8, R.top, R.right - 8, R.top + Tm.tmHeight};
  RECT Calc = T;
  DrawText(Dc, Text.c_str(), -1, &Calc, DT_SINGLELINE | DT_CALCRECT);
  Calc.right = std::min(Calc.right + 2, T.right);
  Calc.left -= 2;
  HBRUSH Back = ControlColors(Hwnd, WM_CTLCOLORSTATIC, Dc);
  FillRect(Dc, &Calc, Back);
  SetBkMode(Dc, TRANSPARENT);
  if (!IsWindowEnabled(Hwnd)) SetTextColor(Dc, GetSysColor(COLOR_GRAYTEXT));
  DrawText(Dc, Text.c_str(), -1, &T, DT_SINGLELINE | DT_LEFT);
  SelectObject(Dc, Old);
}

void ButtonState::Paint(HDC Dc) {
  ButtonState& S = *this;
  RECT R;
  GetClientRect(Hwnd, &R);
  DWORD T = TypeOf(Hwnd);
  DWORD Style = StyleOf(Hwnd);
  if (T == BS_OWNERDRAW) {
    HWND Parent = NotifyTarget(Hwnd);
    if (!Parent) return;
    DRAWITEMSTRUCT Di;
    Di.CtlType = ODT_BUTTON;
    Di.CtlID = static_cast<UINT>(GetWindowLongPtr(Hwnd, GWLP_ID));
    Di.itemAction = ODA_DRAWENTIRE;
    Di.itemState = (S.Pushed ? ODS_SELECTED : 0) | (S.Focused ? ODS_FOCUS : 0) | (IsWindowEnabled(Hwnd) ? 0 : ODS_DISABLED);
    Di.hwndItem = Hwnd;
    Di.hDC = Dc;
    Di.rcItem = R;
    SendMessage(Parent, WM_DRAWITEM, Di.CtlID, reinterpret_cast<LPARAM>(&Di));
    return;
  }
  bool Push = IsPushType(T) || ((Style & BS_PUSHLIKE) && (IsCheckType(T) || IsRadioType(T)));
  HBRUSH Back = ControlColors(Hwnd, Push ? WM_CTLCOLORBTN : WM_CTLCOLORSTATIC, Dc);
  FillRect(Dc, &R, Back);
  if (T == BS_GROUPBOX) {
    PaintGroup(Hwnd, S, Dc, R);
  } else if (Push) {
    PaintPush(Hwnd, S, Dc, R, S.Pushed || (!IsPushType(T) && S.Check != BST_UNCHECKED));
  } else {
    PaintCheck(Hwnd, S, Dc, R);
  }
}

void Release(HWND Hwnd, ButtonState& S, bool Clicked) {
  S.Tracking = false;
  S.SpaceDown = false;
  SetPushed(Hwnd, S, false);
  if (Clicked && S.StillAlive()) Click(Hwnd, S);
}

LRESULT ButtonState::Handle(UINT Msg, WPARAM WParam, LPARAM LParam) {
  ButtonState& S = *this;
  DWORD T = TypeOf(Hwnd);
  switch (Msg) {
    case WM_NCHITTEST:
      if (T == BS_GROUPBOX) return HTTRANSPARENT;
      return DefWindowProc(Hwnd, Msg, WParam, LParam);
    case WM_SETTEXT: {
      LRESULT R = DefWindowProc(Hwnd, Msg, WParam, LParam);
      Redraw(Hwnd);
      return R;
    }
    case WM_ENABLE:
      Redraw(Hwnd);
      return 0;
    case WM_GETDLGCODE:
      switch (T) {
        case BS_PUSHBUTTON: return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
        case BS_DEFPUSHBUTTON: return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON: return DLGC_BUTTON | DLGC_RADIOBUTTON;
        case BS_GROUPBOX: return DLGC_STATIC;
        default: return DLGC_BUTTON;
      }
    case WM_SETFOCUS:
      S.Focused = true;
      Redraw(Hwnd);
      if (StyleOf(Hwnd) & BS_NOTIFY) NotifyCommand(Hwnd, BN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      S.Focused = false;
      if (S.SpaceDown) Release(Hwnd, S, false);
      if (S.StillAlive()) Redraw(Hwnd);
      if (S.StillAlive() && (StyleOf(Hwnd) & BS_NOTIFY)) NotifyCommand(Hwnd, BN_KILLFOCUS);
      return 0;
    case WM_LBUTTONDBLCLK:
      if (IsRadioType(T) || T == BS_OWNERDRAW || (StyleOf(Hwnd) & BS_NOTIFY)) {
        NotifyCommand(Hwnd, BN_DOUBLECLICKED);
        return 0;
      }
      [[fallthrough]];
    case WM_LBUTTONDOWN:
      if (T == BS_GROUPBOX) return 0;
      if (GetFocus() != Hwnd) SetFocus(Hwnd);
      if (!StillAlive()) return 0;
      S.Tracking = true;
      SetCapture(Hwnd);
      SetPushed(Hwnd, S, true);
      return 0;
    case WM_MOUSEMOVE:
      if (S.Tracking) {
        RECT R;
        GetClientRect(Hwnd, &R);
        POINT P{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
        SetPushed(Hwnd, S, InRect(R, P));
      }
      return 0;
    case WM_LBUTTONUP:
      if (S.Tracking) {
        RECT R;
        GetClientRect(Hwnd, &R);
        POINT P{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
        bool Inside = InRect(R, P);
        S.Tracking = false;
        if (GetCapture() == Hwnd) ReleaseCapture();
        if (S.StillAlive()) Release(Hwnd, S, Inside);
      }
      return 0;
    case WM_CAPTURECHANGED:
      if (S.Tracking) Release(Hwnd, S, false);
      return 0;
    case WM_KEYDOWN:
      if (WParam == VK_SPACE && T != BS_GROUPBOX) {
        if (!S.SpaceDown && !S.Tracking) {
          S.SpaceDown = true;
          SetPushed(Hwnd, S, true);
        }
        return 0;
      }
      if (WParam == VK_RETURN && IsPushType(T)) {
        Click(Hwnd, S);
        return 0;
      }
      return DefWindowProc(Hwnd, Msg, WParam, LParam);
    case WM_KEYUP:
      if (WParam == VK_SPACE && S.SpaceDown) {
        Release(Hwnd, S, true);
        return 0;
      }
      return DefWindowProc(Hwnd, Msg, WParam, LParam);
    case BM_GETCHECK:
      return (IsCheckType(T) || IsRadioType(T)) ? S.Check : BST_UNCHECKED;
    case BM_SETCHECK:
      SetCheck(Hwnd, S, WParam);
      return 0;
    case BM_GETSTATE:
      return static_cast<LRESULT>(S.Check) | (S.Pushed ? BST_PUSHED : 0) | (S.Focused ? BST_FOCUS : 0);
    case BM_SETSTATE:
      if (S.Pushed != (WParam != 0)) {
        S.Pushed = WParam != 0;
        Redraw(Hwnd);
      }
      return 0;
    case BM_SETSTYLE: {
      DWORD Style = StyleOf(Hwnd);
      DWORD New = (Style & 0xFFFF0000u) | (static_cast<DWORD>(WParam) & 0xFFFFu);
      if (New != Style) SetWindowLongPtr(Hwnd, GWL_STYLE, static_cast<LONG_PTR>(New));
      if (LOWORD(LParam)) Redraw(Hwnd);
      return 0;
    }
    case BM_CLICK:
      if (IsWindowEnabled(Hwnd) && T != BS_GROUPBOX) Click(Hwnd, S);
      return 0;
    case BM_SETIMAGE: {
      if (WParam != IMAGE_BITMAP && WParam != IMAGE_ICON) return 0;
      HANDLE Old = S.Image;
      S.Image = reinterpret_cast<HANDLE>(LParam);
      S.ImageType = static_cast<UINT>(WParam);
      Redraw(Hwnd);
      return reinterpret_cast<LRESULT>(Old);
    }
    case BM_GETIMAGE:
      return reinterpret_cast<LRESULT>(S.Image);
    default:
      return DefWindowProc(Hwnd, Msg, WParam, LParam);
  }
}

}  // namespace

void RegisterButtonClass() { RegisterControl<ButtonState>(WC_BUTTON, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, nullptr); }

}  // namespace k58::builtin
