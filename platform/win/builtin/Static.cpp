// The "Static" window class: text (aligned, wrapped or not, with & prefixes unless SS_NOPREFIX, with
// ellipses), images (SS_BITMAP, SS_ICON through STM_SETIMAGE/STM_SETICON), filled rectangles, frames
// and etched lines, owner drawing, and clicks reported with SS_NOTIFY. A static control without
// SS_NOTIFY lets the mouse through to the window below it.
#include <algorithm>

#include "platform/win/builtin/CommCtrlInternal.h"

namespace k58::builtin {

namespace {

struct StaticState : ControlState {
  StaticState(HWND Window, const CREATESTRUCT&) : ControlState(Window) {}
  void Paint(HDC Dc);
  LRESULT Handle(UINT Msg, WPARAM WParam, LPARAM LParam);

  HFONT Font = nullptr;
  HANDLE Image = nullptr;
  UINT ImageType = IMAGE_BITMAP;
};

DWORD StyleOf(HWND Hwnd) { return static_cast<DWORD>(GetWindowLongPtr(Hwnd, GWL_STYLE)); }
DWORD TypeOf(HWND Hwnd) { return StyleOf(Hwnd) & SS_TYPEMASK; }
bool IsImage(DWORD Type) { return Type == SS_BITMAP || Type == SS_ICON; }

UINT TextFormat(DWORD Style) {
  UINT F = DT_EXPANDTABS;
  switch (Style & SS_TYPEMASK) {
    case SS_CENTER: F |= DT_CENTER | DT_WORDBREAK; break;
    case SS_RIGHT: F |= DT_RIGHT | DT_WORDBREAK; break;
    case SS_SIMPLE: F = DT_SINGLELINE | DT_NOCLIP; break;
    case SS_LEFTNOWORDWRAP: break;
    default: F |= DT_WORDBREAK; break;
  }
  if (Style & SS_NOPREFIX) F |= DT_NOPREFIX;
  if (Style & SS_CENTERIMAGE) F = (F & ~DT_WORDBREAK) | DT_SINGLELINE | DT_VCENTER;
  switch (Style & SS_ELLIPSISMASK) {
    case SS_ENDELLIPSIS: F |= DT_END_ELLIPSIS; break;
    case SS_PATHELLIPSIS: F |= DT_PATH_ELLIPSIS; break;
    case SS_WORDELLIPSIS: F |= DT_WORD_ELLIPSIS; break;
    default: break;
  }
  if (Style & SS_EDITCONTROL) F |= DT_EDITCONTROL;
  return F;
}

// Sizes the control to its image unless told to keep its size.
void FitToImage(HWND Hwnd, StaticState& S) {
  DWORD Style = StyleOf(Hwnd);
  if (Style & (SS_CENTERIMAGE | SS_REALSIZECONTROL)) return;
  SIZE Sz;
  if (!ImageSize(S.Image, S.ImageType, Sz)) return;
  SetWindowPos(Hwnd, nullptr, 0, 0, Sz.cx, Sz.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void StaticState::Paint(HDC Dc) {
  StaticState& S = *this;
  RECT R;
  GetClientRect(Hwnd, &R);
  DWORD Style = StyleOf(Hwnd);
  DWORD Type = Style & SS_TYPEMASK;
  if (Type == SS_OWNERDRAW) {
    HWND Parent = NotifyTarget(Hwnd);
    if (!Parent) return;
    DRAWITEMSTRUCT Di;
    Di.CtlType = ODT_STATIC;
    Di.CtlID = static_cast<UINT>(GetWindowLongPtr(Hwnd, GWLP_ID));
    Di.itemAction = ODA_DRAWENTIRE;
    Di.itemState = IsWindowEnabled(Hwnd) ? 0 : ODS_DISABLED;
    Di.hwndItem = Hwnd;
    Di.hDC = Dc;
    Di.rcItem = R;
    SendMessage(Parent, WM_DRAWITEM, Di.CtlID, reinterpret_cast<LPARAM>(&Di));
    return;
  }
  auto Fill = [&](int Color) { FillRect(Dc, &R, GetSysColorBrush(Color)); };
  // Frames and lines stand on the control's background.
  auto Frame = [&](int Color) {
    FillRect(Dc, &R, ControlColors(Hwnd, WM_CTLCOLORSTATIC, Dc));
    FrameRect(Dc, &R, GetSysColorBrush(Color));
  };
  auto Etched = [&](UINT Sides) {
    FillRect(Dc, &R, ControlColors(Hwnd, WM_CTLCOLORSTATIC, Dc));
    DrawEdge(Dc, &R, EDGE_ETCHED, Sides);
  };
  switch (Type) {
    case SS_BLACKRECT: Fill(COLOR_WINDOWFRAME); return;
    case SS_GRAYRECT: Fill(COLOR_BTNSHADOW); return;
    case SS_WHITERECT: Fill(COLOR_BTNHIGHLIGHT); return;
    case SS_BLACKFRAME: Frame(COLOR_WINDOWFRAME); return;
    case SS_GRAYFRAME: Frame(COLOR_BTNSHADOW); return;
    case SS_WHITEFRAME: Frame(COLOR_BTNHIGHLIGHT); return;
    case SS_ETCHEDFRAME: Etched(BF_RECT); return;
    case SS_ETCHEDHORZ: Etched(BF_TOP); return;
    case SS_ETCHEDVERT: Etched(BF_LEFT); return;
    default: break;
  }
  HBRUSH Back = ControlColors(Hwnd, WM_CTLCOLORSTATIC, Dc);
  FillRect(Dc, &R, Back);
  if (Style & SS_SUNKEN) DrawEdge(Dc, &R, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
  if (IsImage(Type)) {
    SIZE Sz;
    if (!ImageSize(S.Image, S.ImageType, Sz)) return;
    int X = R.left, Y = R.top;
    if (Style & SS_CENTERIMAGE) {
      X = (R.left + R.right - Sz.cx) / 2;
      Y = (R.top + R.bottom - Sz.cy) / 2;
    } else if (Style & SS_RIGHTJUST) {
      X = R.right - Sz.cx;
    }
    if (S.ImageType == IMAGE_BITMAP)
      DrawBitmapAt(Dc, X, Y, static_cast<HBITMAP>(S.Image));
    else
      DrawIconAt(Dc, X, Y, static_cast<HICON>(S.Image));
    return;
  }
  std::string Text = WindowTextOf(Hwnd);
  if (Text.empty()) return;
  HGDIOBJ Old = SelectObject(Dc, S.Font ? S.Font : DefaultControlFont());
  SetBkMode(Dc, TRANSPARENT);
  if (!IsWindowEnabled(Hwnd)) SetTextColor(Dc, GetSysColor(COLOR_GRAYTEXT));
  DrawText(Dc, Text.c_str(), -1, &R, TextFormat(Style));
  SelectObject(Dc, Old);
}

HANDLE SetImage(HWND Hwnd, StaticState& S, UINT Type, HANDLE Image) {
  HANDLE Old = S.Image;
  S.Image = Image;
  S.ImageType = Type;
  FitToImage(Hwnd, S);
  InvalidateRect(Hwnd, nullptr, TRUE);
  return Old;
}

LRESULT StaticState::Handle(UINT Msg, WPARAM WParam, LPARAM LParam) {
  StaticState& S = *this;
  switch (Msg) {
    case WM_CREATE:
      if (TypeOf(Hwnd) == SS_ICON) S.ImageType = IMAGE_ICON;
      return 0;
    case WM_NCHITTEST:
      return (StyleOf(Hwnd) & SS_NOTIFY) ? HTCLIENT : HTTRANSPARENT;
    case WM_SETTEXT: {
      LRESULT R = DefWindowProc(Hwnd, Msg, WParam, LParam);
      InvalidateRect(Hwnd, nullptr, TRUE);
      return R;
    }
    case WM_ENABLE:
      if (StyleOf(Hwnd) & SS_NOTIFY) NotifyCommand(Hwnd, WParam ? STN_ENABLE : STN_DISABLE);
      InvalidateRect(Hwnd, nullptr, TRUE);
      return 0;
    case WM_LBUTTONDOWN:
      if (StyleOf(Hwnd) & SS_NOTIFY) NotifyCommand(Hwnd, STN_CLICKED);
      return 0;
    case WM_LBUTTONDBLCLK:
      if (StyleOf(Hwnd) & SS_NOTIFY) NotifyCommand(Hwnd, STN_DBLCLK);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_STATIC;
    case STM_SETIMAGE:
      if (WParam != IMAGE_BITMAP && WParam != IMAGE_ICON && WParam != IMAGE_CURSOR) return 0;
      return reinterpret_cast<LRESULT>(SetImage(Hwnd, S, WParam == IMAGE_BITMAP ? IMAGE_BITMAP : IMAGE_ICON,
                                                reinterpret_cast<HANDLE>(LParam)));
    case STM_GETIMAGE:
      return reinterpret_cast<LRESULT>(S.Image);
    case STM_SETICON:
      return reinterpret_cast<LRESULT>(SetImage(Hwnd, S, IMAGE_ICON, reinterpret_cast<HANDLE>(WParam)));
    case STM_GETICON:
      return S.ImageType == IMAGE_ICON ? reinterpret_cast<LRESULT>(S.Image) : 0;
    default:
      return DefWindowProc(Hwnd, Msg, WParam, LParam);
  }
}

}  // namespace

void RegisterStaticClass() { RegisterControl<StaticState>(WC_STATIC, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, nullptr); }

}  // namespace k58::builtin
