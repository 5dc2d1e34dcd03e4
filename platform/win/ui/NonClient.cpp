// The non-client area: frames, captions with their buttons, the menu bar's place, client edges and
// scroll bars; WM_NCCALCSIZE, WM_NCHITTEST and WM_NCPAINT defaults; moving and sizing by the mouse;
// system commands and the default cursor choice.
#include <cstring>

#include "platform/win/ui/UiInternal.h"

namespace k58::winui {

namespace {

// The parts of the non-client area in window coordinates.
struct Layout {
  int W = 0, H = 0;
  FrameParts F;
  RECT Inner{};    // inside the outer frame
  RECT Caption{};  // whole caption strip (its last row is the separator line)
  RECT Menu{};
  RECT Client{};
  RECT Edge{};  // rectangle the client edge is drawn around (client plus scroll bars)
  RECT Close{}, Max{}, Min{}, SysMenu{};
  bool HasClose = false, HasMax = false, HasMin = false, HasSysMenu = false;
};

Layout LayoutOf(HWND Hwnd) {
  Layout L;
  WinDataPtr D = Data(Hwnd);
  DWORD Style = StyleOf(Hwnd), Ex = ExStyleOf(Hwnd);
  L.W = Width(D->Window);
  L.H = Height(D->Window);
  L.F = FrameOf(Style, Ex, !IsTopLevel(Hwnd) && (Style & WS_CHILD), 0);
  int B = L.F.Border;
  L.Inner = RECT{B, B, L.W - B, L.H - B};
  L.Caption = RECT{L.Inner.left, L.Inner.top, L.Inner.right, L.Inner.top + L.F.Caption};
  int MenuH = MenuHeightOf(Hwnd, Width(L.Inner));
  L.F.Menu = MenuH;
  L.Menu = RECT{L.Inner.left, L.Caption.bottom, L.Inner.right, L.Caption.bottom + MenuH};
  L.Client = Offset(D->Client, -D->Window.left, -D->Window.top);
  L.Edge = RECT{L.Inner.left, L.Menu.bottom, L.Inner.right, L.Inner.bottom};
  if (L.F.Caption) {
    bool Tool = (Ex & WS_EX_TOOLWINDOW) != 0;
    int Bw = (Tool ? GetSystemMetrics(SM_CXSMSIZE) : GetSystemMetrics(SM_CXSIZE)) - 2;
    int Bh = (Tool ? GetSystemMetrics(SM_CYSMSIZE) : GetSystemMetrics(SM_CYSIZE)) - 4;
    int Top = L.Caption.top + (L.F.Caption - 1 - Bh) / 2;
    if (Style & WS_SYSMENU) {
      L.HasClose = true;
      L.Close = RECT{L.Caption.right - 2 - Bw, Top, L.Caption.right - 2, Top + Bh};
      if (!Tool && (Style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX))) {
        L.HasMax = L.HasMin = true;
        L.Max = RECT{L.Close.left - 2 - Bw, Top, L.Close.left - 2, Top + Bh};
        L.Min = RECT{L.Max.left - Bw, Top, L.Max.left, Top + Bh};
      }
      if (!Tool) {
        L.HasSysMenu = true;
        int S = L.F.Caption - 1;
        L.SysMenu = RECT{L.Caption.left, L.Caption.top, L.Caption.left + S, L.Caption.top + S};
      }
    }
  }
  return L;
}

HFONT CaptionFont(bool Small) {
  static HFONT Normal = nullptr, Tool = nullptr;
  HFONT& F = Small ? Tool : Normal;
  if (!F) {
    LOGFONTA Lf{};
    Lf.lfHeight = Small ? -10 : -11;
    Lf.lfWeight = FW_BOLD;
    std::strcpy(Lf.lfFaceName, "Tahoma");
    F = CreateFontIndirect(&Lf);
  }
  return F;
}

// The caption button held down by the mouse (drawn pushed).
HWND PressedHwnd = nullptr;
int PressedHit = 0;

void FillBrush(HDC Dc, const RECT& R, int Color) {
  if (!RectEmpty(R)) FillRect(Dc, &R, GetSysColorBrush(Color));
}

void FillRing(HDC Dc, const RECT& Outer, const RECT& Inner, int Color) {
  FillBrush(Dc, RECT{Outer.left, Outer.top, Outer.right, Inner.top}, Color);
  FillBrush(Dc, RECT{Outer.left, Inner.bottom, Outer.right, Outer.bottom}, Color);
  FillBrush(Dc, RECT{Outer.left, Inner.top, Inner.left, Inner.bottom}, Color);
  FillBrush(Dc, RECT{Inner.right, Inner.top, Outer.right, Inner.bottom}, Color);
}

std::string TitleOf(HWND Hwnd) {
  int N = GetWindowTextLength(Hwnd);
  std::string T(static_cast<size_t>(N) + 1, '\0');
  int Got = GetWindowText(Hwnd, T.data(), N + 1);
  T.resize(static_cast<size_t>(std::max(Got, 0)));
  return T;
}

void DrawCaption(HWND Hwnd, HDC Dc, const Layout& L) {
  bool Active = Data(Hwnd)->NcActive;
  DWORD Style = StyleOf(Hwnd);
  RECT Bar = L.Caption;
  Bar.bottom -= 1;
  FillBrush(Dc, Bar, Active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
  FillBrush(Dc, RECT{L.Caption.left, L.Caption.bottom - 1, L.Caption.right, L.Caption.bottom}, COLOR_BTNFACE);
  RECT Text = Bar;
  Text.left += L.HasSysMenu ? Width(L.SysMenu) + 2 : 3;
  if (L.HasMin)
    Text.right = L.Min.left - 2;
  else if (L.HasClose)
    Text.right = L.Close.left - 2;
  std::string Title = TitleOf(Hwnd);
  if (!Title.empty() && !RectEmpty(Text)) {
    HGDIOBJ Old = SelectObject(Dc, CaptionFont((ExStyleOf(Hwnd) & WS_EX_TOOLWINDOW) != 0));
    SetBkMode(Dc, TRANSPARENT);
    SetTextColor(Dc, GetSysColor(Active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
    DrawText(Dc, Title.c_str(), -1, &Text, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS | DT_NOPREFIX);
    SelectObject(Dc, Old);
  }
  auto Pushed = [&](int Hit) { return PressedHwnd == Hwnd && PressedHit == Hit ? DFCS_PUSHED : 0u; };
  if (L.HasClose) {
    RECT R = L.Close;
    UINT NoClose = (GetClassLongPtr(Hwnd, GCL_STYLE) & CS_NOCLOSE) ? DFCS_INACTIVE : 0u;
    DrawFrameControl(Dc, &R, DFC_CAPTION, DFCS_CAPTIONCLOSE | Pushed(HTCLOSE) | NoClose);
  }
  if (L.HasMax) {
    RECT R = L.Max;
    UINT Kind = (Style & WS_MAXIMIZE) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMAX;
    DrawFrameControl(Dc, &R, DFC_CAPTION, Kind | Pushed(HTMAXBUTTON) | ((Style & WS_MAXIMIZEBOX) ? 0u : DFCS_INACTIVE));
  }
  if (L.HasMin) {
    RECT R = L.Min;
    UINT Kind = (Style & WS_MINIMIZE) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMIN;
    DrawFrameControl(Dc, &R, DFC_CAPTION, Kind | Pushed(HTMINBUTTON) | ((Style & WS_MINIMIZEBOX) ? 0u : DFCS_INACTIVE));
  }
}

// Runs until the button is released; answers whether it was released over the caption button.
bool TrackCaptionButton(HWND Hwnd, int Hit) {
  PressedHwnd = Hwnd;
  PressedHit = Hit;
  DefNcPaint(Hwnd, reinterpret_cast<HRGN>(1));
  SetCapture(Hwnd);
  bool Inside = true;
  MSG M;
  for (;;) {
    if (!NextCaptureMessage(Hwnd, M)) {
      Inside = false;
      break;
    }
    if (M.message == WM_MOUSEMOVE || M.message == WM_LBUTTONUP) {
      bool Now = SendMessage(Hwnd, WM_NCHITTEST, 0, PointParam(M.pt.x, M.pt.y)) == Hit;
      if (Now != Inside) {
        Inside = Now;
        PressedHit = Inside ? Hit : 0;
        DefNcPaint(Hwnd, reinterpret_cast<HRGN>(1));
      }
      if (M.message == WM_LBUTTONUP) break;
      continue;
    }
    TranslateMessage(&M);
    DispatchMessage(&M);
  }
  if (GetCapture() == Hwnd) ReleaseCapture();
  PressedHwnd = nullptr;
  PressedHit = 0;
  if (IsWindow(Hwnd)) DefNcPaint(Hwnd, reinterpret_cast<HRGN>(1));
  return Inside;
}

// Moves (Edge 0) or sizes the window by one of its edges (WMSZ_*) while the left button is down.
void MoveSizeLoop(HWND Hwnd, int Edge, POINT Start) {
  if (IsZoomed(Hwnd) || IsIconic(Hwnd)) {
    if (Edge != 0 || IsZoomed(Hwnd)) return;
  }
  RECT Orig = Data(Hwnd)->Window;
  POINT Origin = ClientOrigin(ParentOf(Hwnd));
  SendMessage(Hwnd, WM_ENTERSIZEMOVE, 0, 0);
  SetCapture(Hwnd);
  POINT Last = Start;
  MSG M;
  for (;;) {
    if (!NextCaptureMessage(Hwnd, M)) break;
    if (M.message == WM_KEYDOWN && M.wParam == VK_ESCAPE) {
      SetWindowPos(Hwnd, nullptr, Orig.left, Orig.top, Width(Orig), Height(Orig), SWP_NOZORDER | SWP_NOACTIVATE);
      break;
    }
    if (M.message != WM_MOUSEMOVE && M.message != WM_LBUTTONUP) {
      if (M.message >= WM_KEYFIRST && M.message <= WM_KEYLAST) continue;
      TranslateMessage(&M);
      DispatchMessage(&M);
      continue;
    }
    if (M.pt.x == Last.x && M.pt.y == Last.y) {
      if (M.message == WM_LBUTTONUP) break;
      continue;
    }
    Last = M.pt;
    int Dx = M.pt.x - Start.x, Dy = M.pt.y - Start.y;
    RECT R = Offset(Orig, Origin.x, Origin.y);  // screen coordinates for WM_MOVING/WM_SIZING
    if (Edge == 0) {
      R = Offset(R, Dx, Dy);
      SendMessage(Hwnd, WM_MOVING, 0, reinterpret_cast<LPARAM>(&R));
    } else {
      if (Edge == WMSZ_LEFT || Edge == WMSZ_TOPLEFT || Edge == WMSZ_BOTTOMLEFT) R.left += Dx;
      if (Edge == WMSZ_RIGHT || Edge == WMSZ_TOPRIGHT || Edge == WMSZ_BOTTOMRIGHT) R.right += Dx;
      if (Edge == WMSZ_TOP || Edge == WMSZ_TOPLEFT || Edge == WMSZ_TOPRIGHT) R.top += Dy;
      if (Edge == WMSZ_BOTTOM || Edge == WMSZ_BOTTOMLEFT || Edge == WMSZ_BOTTOMRIGHT) R.bottom += Dy;
      MINMAXINFO Info{};
      SendMinMaxInfo(Hwnd, Info);
      auto ClampSide = [](LONG& Moving, LONG Fixed, int Min, int Max, int Sign) {
        int Size = Sign * (Moving - Fixed);
        Size = std::max(Min, std::min(Max, Size));
        Moving = Fixed + Sign * Size;
      };
      if (R.left != Orig.left + Origin.x) ClampSide(R.left, R.right, Info.ptMinTrackSize.x, Info.ptMaxTrackSize.x, -1);
      else ClampSide(R.right, R.left, Info.ptMinTrackSize.x, Info.ptMaxTrackSize.x, 1);
      if (R.top != Orig.top + Origin.y) ClampSide(R.top, R.bottom, Info.ptMinTrackSize.y, Info.ptMaxTrackSize.y, -1);
      else ClampSide(R.bottom, R.top, Info.ptMinTrackSize.y, Info.ptMaxTrackSize.y, 1);
      SendMessage(Hwnd, WM_SIZING, static_cast<WPARAM>(Edge), reinterpret_cast<LPARAM>(&R));
    }
    R = Offset(R, -Origin.x, -Origin.y);
    SetWindowPos(Hwnd, nullptr, R.left, R.top, Width(R), Height(R), SWP_NOZORDER | SWP_NOACTIVATE);
    UpdateWindow(Hwnd);
    if (M.message == WM_LBUTTONUP) break;
  }
  if (GetCapture() == Hwnd) ReleaseCapture();
  if (IsWindow(Hwnd)) SendMessage(Hwnd, WM_EXITSIZEMOVE, 0, 0);
}

}  // namespace

FrameParts FrameOf(DWORD Style, DWORD ExStyle, bool IsChild, int MenuHeight) {
  FrameParts F;
  if (Style & WS_THICKFRAME)
    F.Border = GetSystemMetrics(SM_CXFRAME);
  else if ((Style & WS_DLGFRAME) || (ExStyle & WS_EX_DLGMODALFRAME))
    F.Border = GetSystemMetrics(SM_CXDLGFRAME);
  else if (Style & WS_BORDER)
    F.Border = GetSystemMetrics(SM_CXBORDER);
  if (ExStyle & WS_EX_CLIENTEDGE)
    F.Edge = GetSystemMetrics(SM_CXEDGE);
  else if (ExStyle & WS_EX_STATICEDGE)
    F.Edge = GetSystemMetrics(SM_CXBORDER);
  if ((Style & WS_CAPTION) == WS_CAPTION)
    F.Caption = (ExStyle & WS_EX_TOOLWINDOW) ? GetSystemMetrics(SM_CYSMCAPTION) : GetSystemMetrics(SM_CYCAPTION);
  F.Menu = IsChild ? 0 : MenuHeight;
  return F;
}

int MenuHeightOf(HWND Hwnd, int Width) {
  if (!Ui().MenuBar || (StyleOf(Hwnd) & WS_CHILD)) return 0;
  auto Menu = reinterpret_cast<HMENU>(GetWindowLongPtr(Hwnd, GWLP_ID));
  if (!Menu) return 0;
  return Ui().MenuBar->MenuBarHeight(Hwnd, Menu, Width);
}

RECT DefCalcClient(HWND Hwnd, const RECT& W) {
  DWORD Style = StyleOf(Hwnd), Ex = ExStyleOf(Hwnd);
  bool Child = (Style & WS_CHILD) && !IsTopLevel(Hwnd);
  FrameParts F = FrameOf(Style, Ex, Child, 0);
  if (!Child) F.Menu = MenuHeightOf(Hwnd, Width(W) - 2 * F.Border);
  RECT C = W;
  int Side = F.Border + F.Edge;
  C.left += Side;
  C.right -= Side;
  C.top += Side + F.Caption + F.Menu;
  C.bottom -= Side;
  if ((Style & WS_VSCROLL) && C.right - C.left >= GetSystemMetrics(SM_CXVSCROLL)) {
    if (Ex & WS_EX_LEFTSCROLLBAR)
      C.left += GetSystemMetrics(SM_CXVSCROLL);
    else
      C.right -= GetSystemMetrics(SM_CXVSCROLL);
  }
  if ((Style & WS_HSCROLL) && C.bottom - C.top >= GetSystemMetrics(SM_CYHSCROLL))
    C.bottom -= GetSystemMetrics(SM_CYHSCROLL);
  if (C.right < C.left) C.right = C.left;
  if (C.bottom < C.top) C.bottom = C.top;
  return C;
}

LRESULT DefNcHitTest(HWND Hwnd, POINT Screen) {
  RECT W = ScreenWindowRect(Hwnd);
  if (!InRect(W, Screen)) return HTNOWHERE;
  POINT P{Screen.x - W.left, Screen.y - W.top};
  WinDataPtr D = Data(Hwnd);
  if (D->WindowRgn)
    if (const gdi::Region* R = gdi::RegionOf(D->WindowRgn); R && !R->Contains(P.x, P.y)) return HTNOWHERE;
  DWORD Style = StyleOf(Hwnd);
  if (Style & WS_MINIMIZE) return HTCAPTION;
  Layout L = LayoutOf(Hwnd);
  if (InRect(L.Client, P)) return HTCLIENT;
  if (!InRect(L.Inner, P)) {
    if (!(Style & WS_THICKFRAME) || (Style & WS_MAXIMIZE)) return HTBORDER;
    int Corner = GetSystemMetrics(SM_CXSIZE) + L.F.Border;
    bool Left = P.x < L.Inner.left, Right = P.x >= L.Inner.right;
    bool Top = P.y < L.Inner.top, Bottom = P.y >= L.Inner.bottom;
    bool NearLeft = P.x < Corner, NearRight = P.x >= L.W - Corner;
    bool NearTop = P.y < Corner, NearBottom = P.y >= L.H - Corner;
    if (Top) return NearLeft ? HTTOPLEFT : NearRight ? HTTOPRIGHT : HTTOP;
    if (Bottom) return NearLeft ? HTBOTTOMLEFT : NearRight ? HTBOTTOMRIGHT : HTBOTTOM;
    if (Left) return NearTop ? HTTOPLEFT : NearBottom ? HTBOTTOMLEFT : HTLEFT;
    if (Right) return NearTop ? HTTOPRIGHT : NearBottom ? HTBOTTOMRIGHT : HTRIGHT;
  }
  if (L.F.Caption && InRect(L.Caption, P)) {
    if (L.HasClose && InRect(L.Close, P)) return HTCLOSE;
    if (L.HasMax && InRect(L.Max, P)) return HTMAXBUTTON;
    if (L.HasMin && InRect(L.Min, P)) return HTMINBUTTON;
    if (L.HasSysMenu && InRect(L.SysMenu, P)) return HTSYSMENU;
    return HTCAPTION;
  }
  if (L.F.Menu && InRect(L.Menu, P)) return HTMENU;
  RECT R;
  if (ScrollBarRect(Hwnd, SB_VERT, R) && InRect(R, P)) return HTVSCROLL;
  if (ScrollBarRect(Hwnd, SB_HORZ, R) && InRect(R, P)) return HTHSCROLL;
  if (SizeBoxRect(Hwnd, R) && InRect(R, P)) return (Style & WS_THICKFRAME) ? HTGROWBOX : HTNOWHERE;
  return HTBORDER;
}

void DrawNonClient(HWND Hwnd, HDC Dc) {
  Layout L = LayoutOf(Hwnd);
  DWORD Style = StyleOf(Hwnd), Ex = ExStyleOf(Hwnd);
  bool Active = Data(Hwnd)->NcActive;
  RECT All{0, 0, L.W, L.H};
  if (Style & WS_THICKFRAME) {
    RECT R = All;
    DrawEdge(Dc, &R, EDGE_RAISED, BF_RECT | BF_ADJUST);
    FillRing(Dc, R, L.Inner, Active ? COLOR_ACTIVEBORDER : COLOR_INACTIVEBORDER);
  } else if ((Style & WS_DLGFRAME) || (Ex & WS_EX_DLGMODALFRAME)) {
    RECT R = All;
    DrawEdge(Dc, &R, EDGE_RAISED, BF_RECT | BF_ADJUST);
    FillRing(Dc, R, L.Inner, COLOR_BTNFACE);
  } else if (Style & WS_BORDER) {
    FrameRect(Dc, &All, GetSysColorBrush(COLOR_WINDOWFRAME));
  }
  if (L.F.Caption) DrawCaption(Hwnd, Dc, L);
  if (L.F.Menu) {
    auto Menu = reinterpret_cast<HMENU>(GetWindowLongPtr(Hwnd, GWLP_ID));
    if (Ui().MenuBar && Menu)
      Ui().MenuBar->PaintMenuBar(Hwnd, Menu, Dc, L.Menu);
    else
      FillBrush(Dc, L.Menu, COLOR_MENU);
  }
  if (L.F.Edge) {
    RECT R = L.Edge;
    if (Ex & WS_EX_CLIENTEDGE)
      DrawEdge(Dc, &R, EDGE_SUNKEN, BF_RECT);
    else
      DrawEdge(Dc, &R, BDR_SUNKENOUTER, BF_RECT);
  }
  PaintScrollBar(Hwnd, SB_VERT, Dc);
  PaintScrollBar(Hwnd, SB_HORZ, Dc);
  RECT Box;
  if (SizeBoxRect(Hwnd, Box)) FillBrush(Dc, Box, COLOR_BTNFACE);
}

void DefNcPaint(HWND Hwnd, HRGN Area) {
  if (!IsShown(Hwnd)) return;
  WinDataPtr D = Data(Hwnd);
  if (SameRect(D->Window, D->Client)) return;
  bool Real = Area && Area != reinterpret_cast<HRGN>(1) && gdi::RegionOf(Area);
  HDC Dc = GetDCEx(Hwnd, Real ? Area : nullptr, DCX_WINDOW | (Real ? DCX_INTERSECTRGN : 0));
  RECT C = Offset(D->Client, -D->Window.left, -D->Window.top);
  ExcludeClipRect(Dc, C.left, C.top, C.right, C.bottom);
  DrawNonClient(Hwnd, Dc);
  ReleaseDC(Hwnd, Dc);
}

bool DefNcMouse(HWND Hwnd, UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT& Result) {
  Result = 0;
  int Hit = static_cast<int>(static_cast<LONG_PTR>(WParam));
  POINT P{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
  switch (Msg) {
    case WM_NCLBUTTONDOWN:
      switch (Hit) {
        case HTCAPTION: SendMessage(Hwnd, WM_SYSCOMMAND, SC_MOVE + HTCAPTION, LParam); break;
        case HTLEFT:
        case HTRIGHT:
        case HTTOP:
        case HTTOPLEFT:
        case HTTOPRIGHT:
        case HTBOTTOM:
        case HTBOTTOMLEFT:
        case HTBOTTOMRIGHT:
          SendMessage(Hwnd, WM_SYSCOMMAND, SC_SIZE + static_cast<WPARAM>(Hit - HTLEFT + WMSZ_LEFT), LParam);
          break;
        case HTGROWBOX: SendMessage(Hwnd, WM_SYSCOMMAND, SC_SIZE + WMSZ_BOTTOMRIGHT, LParam); break;
        case HTCLOSE:
        case HTMINBUTTON:
        case HTMAXBUTTON:
          if (TrackCaptionButton(Hwnd, Hit) && IsWindow(Hwnd)) {
            WPARAM Cmd = Hit == HTCLOSE ? SC_CLOSE
                         : Hit == HTMINBUTTON ? (IsIconic(Hwnd) ? SC_RESTORE : SC_MINIMIZE)
                                              : (IsZoomed(Hwnd) ? SC_RESTORE : SC_MAXIMIZE);
            SendMessage(Hwnd, WM_SYSCOMMAND, Cmd, LParam);
          }
          break;
        case HTVSCROLL: SendMessage(Hwnd, WM_SYSCOMMAND, SC_VSCROLL + HTVSCROLL, LParam); break;
        case HTHSCROLL: SendMessage(Hwnd, WM_SYSCOMMAND, SC_HSCROLL + HTHSCROLL, LParam); break;
        case HTSYSMENU:
        case HTMENU: SendMessage(Hwnd, WM_SYSCOMMAND, SC_MOUSEMENU + static_cast<WPARAM>(Hit), LParam); break;
        default: break;
      }
      return true;
    case WM_NCLBUTTONDBLCLK:
      if (Hit == HTCAPTION && (StyleOf(Hwnd) & WS_MAXIMIZEBOX))
        SendMessage(Hwnd, WM_SYSCOMMAND, IsZoomed(Hwnd) ? SC_RESTORE : SC_MAXIMIZE, LParam);
      else if (Hit == HTSYSMENU)
        SendMessage(Hwnd, WM_SYSCOMMAND, SC_CLOSE, LParam);
      else if (Hit == HTVSCROLL || Hit == HTHSCROLL)
        return DefNcMouse(Hwnd, WM_NCLBUTTONDOWN, WParam, LParam, Result);
      return true;
    case WM_NCRBUTTONUP:
      if (Hit != HTCAPTION && Hit != HTSYSMENU)
        SendMessage(Hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Hwnd), PointParam(P.x, P.y));
      return true;
    default:
      return true;
  }
}

LRESULT DefSysCommand(HWND Hwnd, WPARAM Cmd, LPARAM LParam) {
  POINT P{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
  switch (Cmd & 0xFFF0) {
    case SC_CLOSE: SendMessage(Hwnd, WM_CLOSE, 0, 0); break;
    case SC_MINIMIZE: ShowWindow(Hwnd, SW_MINIMIZE); break;
    case SC_MAXIMIZE: ShowWindow(Hwnd, SW_MAXIMIZE); break;
    case SC_RESTORE: ShowWindow(Hwnd, SW_RESTORE); break;
    case SC_MOVE: MoveSizeLoop(Hwnd, 0, P); break;
    case SC_SIZE:
      if (Cmd & 0xF) MoveSizeLoop(Hwnd, static_cast<int>(Cmd & 0xF), P);
      break;
    case SC_VSCROLL: TrackScrollBar(Hwnd, SB_VERT, P); break;
    case SC_HSCROLL: TrackScrollBar(Hwnd, SB_HORZ, P); break;
    default: break;
  }
  return 0;
}

bool DefSetCursor(HWND Hwnd, WPARAM WParam, LPARAM LParam) {
  int Hit = static_cast<SHORT>(LOWORD(static_cast<DWORD_PTR>(LParam)));
  UINT Msg = HIWORD(static_cast<DWORD_PTR>(LParam));
  if ((StyleOf(Hwnd) & WS_CHILD) && !IsTopLevel(Hwnd))
    if (SendMessage(ParentOf(Hwnd), WM_SETCURSOR, WParam, LParam)) return true;
  if (Hit == HTERROR) {
    if (Msg == WM_LBUTTONDOWN || Msg == WM_RBUTTONDOWN || Msg == WM_MBUTTONDOWN) MessageBeep(MB_OK);
    return false;
  }
  if (Hit == HTCLIENT) {
    auto Cursor = reinterpret_cast<HCURSOR>(GetClassLongPtr(Hwnd, GCLP_HCURSOR));
    if (!Cursor) return false;
    SetCursor(Cursor);
    return true;
  }
  LPCSTR Id = IDC_ARROW;
  switch (Hit) {
    case HTLEFT:
    case HTRIGHT: Id = IDC_SIZEWE; break;
    case HTTOP:
    case HTBOTTOM: Id = IDC_SIZENS; break;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT:
    case HTGROWBOX: Id = IDC_SIZENWSE; break;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT: Id = IDC_SIZENESW; break;
    default: break;
  }
  SetCursor(LoadCursor(nullptr, Id));
  return true;
}

bool GetMenuBarRect(HWND Window, RECT& Bar) {
  if (!IsWindow(Window)) return false;
  Layout L = LayoutOf(Window);
  if (!L.F.Menu) return false;
  Bar = L.Menu;
  return true;
}

void MenuBarChanged(HWND Window) {
  SetWindowPos(Window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

}  // namespace k58::winui
