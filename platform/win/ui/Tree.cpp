// Window geometry and the window tree: rectangles and coordinates, visibility, enable state, visible
// regions, window regions and finding the window under a point.
#include <cstring>

#include "platform/win/ui/UiInternal.h"

namespace k58::winui {

WinDataPtr Data(HWND Hwnd) {
  std::shared_ptr<void> Ext = k58::wincore::GetWindowExtData(Hwnd);
  if (Ext) return std::static_pointer_cast<WinData>(Ext);
  auto D = std::make_shared<WinData>();
  if (IsWindow(Hwnd)) k58::wincore::SetWindowExtData(Hwnd, D);
  return D;
}

bool IsDesktop(HWND Hwnd) { return Hwnd && IsWindow(Hwnd) && !GetAncestor(Hwnd, GA_PARENT); }

HWND ParentOf(HWND Hwnd) { return GetAncestor(Hwnd, GA_PARENT); }

HWND RootOf(HWND Hwnd) {
  if (IsDesktop(Hwnd)) return Hwnd;
  return GetAncestor(Hwnd, GA_ROOT);
}

bool IsTopLevel(HWND Hwnd) { return Hwnd && ParentOf(Hwnd) == GetDesktopWindow(); }

DWORD StyleOf(HWND Hwnd) { return static_cast<DWORD>(GetWindowLong(Hwnd, GWL_STYLE)); }
DWORD ExStyleOf(HWND Hwnd) { return static_cast<DWORD>(GetWindowLong(Hwnd, GWL_EXSTYLE)); }
bool HasStyle(HWND Hwnd, DWORD Style) { return (StyleOf(Hwnd) & Style) == Style; }

std::vector<HWND> ChildrenOf(HWND Hwnd) {
  std::vector<HWND> Out;
  for (HWND C = GetWindow(Hwnd, GW_CHILD); C; C = GetWindow(C, GW_HWNDNEXT)) Out.push_back(C);
  return Out;
}

std::vector<HWND> TopLevels() { return ChildrenOf(GetDesktopWindow()); }

POINT ClientOrigin(HWND Hwnd) {
  POINT P{0, 0};
  for (HWND W = Hwnd; W && !IsDesktop(W); W = ParentOf(W)) {
    RECT C = Data(W)->Client;
    P.x += C.left;
    P.y += C.top;
  }
  return P;
}

RECT ScreenWindowRect(HWND Hwnd) {
  if (IsDesktop(Hwnd)) {
    int X = GetSystemMetrics(SM_XVIRTUALSCREEN), Y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return RECT{X, Y, X + GetSystemMetrics(SM_CXVIRTUALSCREEN), Y + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  }
  POINT O = ClientOrigin(ParentOf(Hwnd));
  return Offset(Data(Hwnd)->Window, O.x, O.y);
}

RECT ScreenClientRect(HWND Hwnd) {
  if (IsDesktop(Hwnd)) return ScreenWindowRect(Hwnd);
  POINT O = ClientOrigin(ParentOf(Hwnd));
  return Offset(Data(Hwnd)->Client, O.x, O.y);
}

POINT SurfaceOrigin(HWND Hwnd) {
  RECT W = ScreenWindowRect(Hwnd);
  RECT R = ScreenWindowRect(RootOf(Hwnd));
  return POINT{W.left - R.left, W.top - R.top};
}

bool IsShown(HWND Hwnd) {
  if (!IsWindow(Hwnd)) return false;
  HWND W = Hwnd;
  for (; W && !IsDesktop(W); W = ParentOf(W))
    if (!(StyleOf(W) & WS_VISIBLE)) return false;
  return W == GetDesktopWindow();
}

bool IsEnabledDeep(HWND Hwnd) {
  for (HWND W = Hwnd; W && !IsDesktop(W); W = ParentOf(W)) {
    if (StyleOf(W) & WS_DISABLED) return false;
    if (IsTopLevel(W)) break;
  }
  return true;
}

k58::gdi::Region WindowShape(HWND Hwnd) {
  POINT O = SurfaceOrigin(Hwnd);
  WinDataPtr D = Data(Hwnd);
  RECT W = D->Window;
  k58::gdi::Region R(RECT{O.x, O.y, O.x + Width(W), O.y + Height(W)});
  if (D->WindowRgn) {
    if (const k58::gdi::Region* Shape = k58::gdi::RegionOf(D->WindowRgn)) {
      k58::gdi::Region S = *Shape;
      S.Offset(O.x, O.y);
      R = k58::gdi::Region::Combine(R, S, RGN_AND);
    }
  }
  return R;
}

k58::gdi::Region VisibleRegion(HWND Hwnd, bool ClientOnly, bool ClipChildren) {
  if (!IsShown(Hwnd)) return k58::gdi::Region();
  HWND Root = RootOf(Hwnd);
  RECT RootRect = ScreenWindowRect(Root);
  RECT Own = ClientOnly ? ScreenClientRect(Hwnd) : ScreenWindowRect(Hwnd);
  k58::gdi::Region R(Offset(Own, -RootRect.left, -RootRect.top));
  R = k58::gdi::Region::Combine(R, WindowShape(Hwnd), RGN_AND);
  for (HWND A = Hwnd; A != Root;) {
    HWND P = ParentOf(A);
    R = R.Intersected(Offset(ScreenClientRect(P), -RootRect.left, -RootRect.top));
    R = k58::gdi::Region::Combine(R, WindowShape(P), RGN_AND);
    if (StyleOf(A) & WS_CLIPSIBLINGS) {
      for (HWND S : ChildrenOf(P)) {
        if (S == A) break;
        if (StyleOf(S) & WS_VISIBLE) R = k58::gdi::Region::Combine(R, WindowShape(S), RGN_DIFF);
      }
    }
    A = P;
  }
  if (ClipChildren)
    for (HWND C : ChildrenOf(Hwnd))
      if (StyleOf(C) & WS_VISIBLE) R = k58::gdi::Region::Combine(R, WindowShape(C), RGN_DIFF);
  return R;
}

namespace {

bool ShapeHas(HWND Hwnd, POINT Screen) {
  RECT W = ScreenWindowRect(Hwnd);
  if (!InRect(W, Screen)) return false;
  WinDataPtr D = Data(Hwnd);
  if (!D->WindowRgn) return true;
  const k58::gdi::Region* Shape = k58::gdi::RegionOf(D->WindowRgn);
  return !Shape || Shape->Contains(Screen.x - W.left, Screen.y - W.top);
}

void Collect(HWND Hwnd, POINT Screen, bool SkipDisabled, std::vector<HWND>& Out) {
  if (InRect(ScreenClientRect(Hwnd), Screen)) {
    for (HWND C : ChildrenOf(Hwnd)) {
      DWORD Style = StyleOf(C);
      if (!(Style & WS_VISIBLE) || (SkipDisabled && (Style & WS_DISABLED))) continue;
      if (ShapeHas(C, Screen)) Collect(C, Screen, SkipDisabled, Out);
    }
  }
  Out.push_back(Hwnd);
}

}  // namespace

std::vector<HWND> WindowsAtPoint(POINT Screen, bool SkipDisabled) {
  std::vector<HWND> Out;
  for (HWND T : TopLevels()) {
    DWORD Style = StyleOf(T);
    if (!(Style & WS_VISIBLE) || !ShapeHas(T, Screen)) continue;
    // A disabled top-level window still covers the point, but nothing inside it takes input.
    if (Style & WS_DISABLED)
      Out.push_back(T);
    else
      Collect(T, Screen, SkipDisabled, Out);
  }
  return Out;
}

HWND HitTestPoint(POINT Screen, int* HitTest) {
  for (HWND W : WindowsAtPoint(Screen, true)) {
    if (StyleOf(W) & WS_DISABLED) {
      if (HitTest) *HitTest = HTERROR;
      return W;
    }
    LRESULT Hit = SendMessage(W, WM_NCHITTEST, 0, PointParam(Screen.x, Screen.y));
    if (Hit == HTTRANSPARENT) continue;
    if (HitTest) *HitTest = static_cast<int>(Hit);
    return W;
  }
  if (HitTest) *HitTest = HTNOWHERE;
  return nullptr;
}

TopLevelInfo InfoOf(HWND Hwnd) {
  TopLevelInfo I;
  I.Style = StyleOf(Hwnd);
  I.ExStyle = ExStyleOf(Hwnd);
  I.Owner = GetWindow(Hwnd, GW_OWNER);
  I.Rect = ScreenWindowRect(Hwnd);
  // Read from the record: the window's thread may be busy.
  int N = GetWindowTextLength(Hwnd);
  std::string T(static_cast<size_t>(N) + 1, '\0');
  GetWindowText(Hwnd, T.data(), N + 1);
  T.resize(std::strlen(T.c_str()));
  I.Title = T;
  return I;
}

}  // namespace k58::winui

using namespace k58::winui;

BOOL IsWindowVisible(HWND hWnd) { return IsShown(hWnd) ? TRUE : FALSE; }

BOOL IsWindowEnabled(HWND hWnd) { return IsWindow(hWnd) && !(StyleOf(hWnd) & WS_DISABLED) ? TRUE : FALSE; }

BOOL EnableWindow(HWND hWnd, BOOL bEnable) {
  EnsureInit();
  if (!IsWindow(hWnd)) return FALSE;
  DWORD Style = StyleOf(hWnd);
  BOOL WasDisabled = (Style & WS_DISABLED) ? TRUE : FALSE;
  if (bEnable && WasDisabled) {
    k58::wincore::SetWindowStyleBits(hWnd, Style & ~WS_DISABLED, ExStyleOf(hWnd));
    SendMessage(hWnd, WM_ENABLE, TRUE, 0);
  } else if (!bEnable && !WasDisabled) {
    SendMessage(hWnd, WM_CANCELMODE, 0, 0);
    k58::wincore::SetWindowStyleBits(hWnd, StyleOf(hWnd) | WS_DISABLED, ExStyleOf(hWnd));
    HWND Focus = GetFocus();
    if (Focus && (Focus == hWnd || IsChild(hWnd, Focus))) SetFocus(nullptr);
    HWND Cap = GetCapture();
    if (Cap && (Cap == hWnd || IsChild(hWnd, Cap))) ReleaseCapture();
    SendMessage(hWnd, WM_ENABLE, FALSE, 0);
  }
  return WasDisabled;
}

BOOL IsIconic(HWND hWnd) { return IsWindow(hWnd) && (StyleOf(hWnd) & WS_MINIMIZE) ? TRUE : FALSE; }
BOOL IsZoomed(HWND hWnd) { return IsWindow(hWnd) && (StyleOf(hWnd) & WS_MAXIMIZE) ? TRUE : FALSE; }

HWND GetTopWindow(HWND hWnd) { return GetWindow(hWnd ? hWnd : GetDesktopWindow(), GW_CHILD); }

HWND GetLastActivePopup(HWND hWnd) {
  if (!IsWindow(hWnd)) return nullptr;
  HWND P = Data(hWnd)->LastActivePopup;
  if (P && IsWindow(P) && IsWindowVisible(P) && IsWindowEnabled(P) && GetWindow(P, GW_OWNER) == hWnd) return P;
  return hWnd;
}

BOOL GetWindowRect(HWND hWnd, LPRECT lpRect) {
  if (!lpRect || !IsWindow(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  *lpRect = ScreenWindowRect(hWnd);
  return TRUE;
}

BOOL GetClientRect(HWND hWnd, LPRECT lpRect) {
  if (!lpRect || !IsWindow(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  RECT C = ScreenClientRect(hWnd);
  *lpRect = RECT{0, 0, Width(C), Height(C)};
  return TRUE;
}

BOOL ClientToScreen(HWND hWnd, LPPOINT lpPoint) {
  if (!lpPoint || !IsWindow(hWnd)) return FALSE;
  POINT O = ClientOrigin(hWnd);
  lpPoint->x = AddWrap(lpPoint->x, O.x);
  lpPoint->y = AddWrap(lpPoint->y, O.y);
  return TRUE;
}

BOOL ScreenToClient(HWND hWnd, LPPOINT lpPoint) {
  if (!lpPoint || !IsWindow(hWnd)) return FALSE;
  POINT O = ClientOrigin(hWnd);
  lpPoint->x = AddWrap(lpPoint->x, -O.x);
  lpPoint->y = AddWrap(lpPoint->y, -O.y);
  return TRUE;
}

int MapWindowPoints(HWND hWndFrom, HWND hWndTo, LPPOINT lpPoints, UINT cPoints) {
  if ((hWndFrom && !IsWindow(hWndFrom)) || (hWndTo && !IsWindow(hWndTo))) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  POINT From = hWndFrom ? ClientOrigin(hWndFrom) : POINT{0, 0};
  POINT To = hWndTo ? ClientOrigin(hWndTo) : POINT{0, 0};
  int Dx = From.x - To.x, Dy = From.y - To.y;
  for (UINT I = 0; lpPoints && I < cPoints; ++I) {
    lpPoints[I].x = AddWrap(lpPoints[I].x, Dx);
    lpPoints[I].y = AddWrap(lpPoints[I].y, Dy);
  }
  SetLastError(0);
  return MAKELONG(static_cast<WORD>(Dx), static_cast<WORD>(Dy));
}

BOOL AdjustWindowRectEx(LPRECT lpRect, DWORD dwStyle, BOOL bMenu, DWORD dwExStyle) {
  if (!lpRect) return FALSE;
  FrameParts F = FrameOf(dwStyle, dwExStyle, (dwStyle & WS_CHILD) != 0,
                         bMenu && !(dwStyle & WS_CHILD) ? GetSystemMetrics(SM_CYMENU) : 0);
  int Side = F.Border + F.Edge;
  lpRect->left -= Side;
  lpRect->right += Side;
  lpRect->top -= Side + F.Caption + F.Menu;
  lpRect->bottom += Side;
  return TRUE;
}

HWND WindowFromPoint(POINT Point) {
  EnsureInit();
  return HitTestPoint(Point, nullptr);
}

HWND ChildWindowFromPointEx(HWND hwnd, POINT pt, UINT flags) {
  if (!IsWindow(hwnd)) return nullptr;
  RECT W = ScreenWindowRect(hwnd);
  POINT O = ClientOrigin(hwnd);
  POINT S{pt.x + O.x, pt.y + O.y};
  if (!InRect(W, S)) return nullptr;
  for (HWND C : ChildrenOf(hwnd)) {
    DWORD Style = StyleOf(C);
    if ((flags & CWP_SKIPINVISIBLE) && !(Style & WS_VISIBLE)) continue;
    if ((flags & CWP_SKIPDISABLED) && (Style & WS_DISABLED)) continue;
    if ((flags & CWP_SKIPTRANSPARENT) && (ExStyleOf(C) & WS_EX_TRANSPARENT)) continue;
    RECT CW = ScreenWindowRect(C);
    if (!InRect(CW, S)) continue;
    WinDataPtr D = Data(C);
    if (D->WindowRgn)
      if (const k58::gdi::Region* R = k58::gdi::RegionOf(D->WindowRgn); R && !R->Contains(S.x - CW.left, S.y - CW.top)) continue;
    return C;
  }
  return hwnd;
}

HWND ChildWindowFromPoint(HWND hWndParent, POINT Point) { return ChildWindowFromPointEx(hWndParent, Point, CWP_ALL); }

HWND RealChildWindowFromPoint(HWND hwndParent, POINT pt) {
  if (!IsWindow(hwndParent)) return nullptr;
  POINT O = ClientOrigin(hwndParent);
  POINT S{pt.x + O.x, pt.y + O.y};
  if (!InRect(ScreenWindowRect(hwndParent), S)) return nullptr;
  for (HWND C : ChildrenOf(hwndParent)) {
    if (!(StyleOf(C) & WS_VISIBLE) || !InRect(ScreenWindowRect(C), S)) continue;
    if (SendMessage(C, WM_NCHITTEST, 0, PointParam(S.x, S.y)) == HTTRANSPARENT) continue;
    return C;
  }
  return hwndParent;
}

int SetWindowRgn(HWND hWnd, HRGN hRgn, BOOL bRedraw) {
  EnsureInit();
  if (!IsWindow(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  if (hRgn && !k58::gdi::RegionOf(hRgn)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  WinDataPtr D = Data(hWnd);
  k58::gdi::Region Before = IsShown(hWnd) ? WindowShape(hWnd) : k58::gdi::Region();
  if (D->WindowRgn && D->WindowRgn != hRgn) DeleteObject(D->WindowRgn);
  D->WindowRgn = hRgn;
  if (bRedraw && IsShown(hWnd)) {
    // What the old shape covered and the new one does not belongs to the windows behind again.
    k58::gdi::Region After = WindowShape(hWnd);
    k58::gdi::Region Uncovered = k58::gdi::Region::Combine(Before, After, RGN_DIFF);
    if (!IsTopLevel(hWnd) && !Uncovered.IsEmpty()) {
      HWND P = ParentOf(hWnd);
      POINT PO = SurfaceOrigin(P);
      RECT PW = ScreenWindowRect(P), PC = ScreenClientRect(P);
      Uncovered.Offset(-(PO.x + PC.left - PW.left), -(PO.y + PC.top - PW.top));
      InvalidateParentArea(P, Uncovered);
    }
    InvalidateAll(hWnd);
  }
  return 1;
}

int GetWindowRgn(HWND hWnd, HRGN hRgn) {
  if (!IsWindow(hWnd)) return ERROR;
  WinDataPtr D = Data(hWnd);
  const k58::gdi::Region* R = D->WindowRgn ? k58::gdi::RegionOf(D->WindowRgn) : nullptr;
  if (!R || !hRgn || !k58::gdi::SetRegionOf(hRgn, *R)) return ERROR;
  return R->Complexity();
}

int GetWindowRgnBox(HWND hWnd, LPRECT lprc) {
  if (!IsWindow(hWnd) || !lprc) return ERROR;
  WinDataPtr D = Data(hWnd);
  const k58::gdi::Region* R = D->WindowRgn ? k58::gdi::RegionOf(D->WindowRgn) : nullptr;
  if (!R) return ERROR;
  *lprc = R->Bounds();
  return R->Complexity();
}

HWND SetParent(HWND hWndChild, HWND hWndNewParent) {
  EnsureInit();
  if (!IsWindow(hWndChild) || (hWndNewParent && !IsWindow(hWndNewParent))) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  HWND NewParent = hWndNewParent ? hWndNewParent : GetDesktopWindow();
  HWND Old = ParentOf(hWndChild);
  if (NewParent == Old) return Old;
  for (HWND A = NewParent; A; A = ParentOf(A))
    if (A == hWndChild) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
    }
  bool WasVisible = ShowWindow(hWndChild, SW_HIDE) != FALSE;
  bool WasTop = IsTopLevel(hWndChild);
  RECT Rect = Data(hWndChild)->Window;
  if (!k58::wincore::LinkWindowParent(hWndChild, hWndNewParent)) return nullptr;
  bool NowTop = IsTopLevel(hWndChild);
  if (WasTop && !NowTop) {
    Backend().TopLevelDestroyed(hWndChild);
    Data(hWndChild)->OnDisplay = false;
    Data(hWndChild)->Surface.reset();
  }
  SetWindowPos(hWndChild, HWND_TOP, Rect.left, Rect.top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
  if (!WasTop && NowTop) {
    Data(hWndChild)->OnDisplay = true;
    Backend().TopLevelCreated(hWndChild, InfoOf(hWndChild));
  }
  if (WasVisible) ShowWindow(hWndChild, SW_SHOWNA);
  return (Old && IsDesktop(Old)) ? nullptr : Old;
}
