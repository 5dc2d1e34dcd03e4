// Placing and showing windows: default positions at creation, WM_GETMINMAXINFO, ShowWindow with the
// minimised and maximised states, SetWindowPos with its messages, z-order with the top-most band and
// owned windows kept above their owner, and the window placement.
#include <cstring>

#include "platform/win/ui/UiInternal.h"

namespace k58::winui {

namespace {

int DefaultCascade = 0;

bool IsOwnedBy(HWND Hwnd, HWND Owner) { return GetWindow(Hwnd, GW_OWNER) == Owner; }

void LinkAbove(HWND Hwnd, HWND Below) {
  HWND Prev = GetWindow(Below, GW_HWNDPREV);
  if (Prev == Hwnd) return;
  k58::wincore::LinkWindowOrder(Hwnd, Prev ? Prev : HWND_TOP);
}

// Owned windows sit above their owner, keeping their order among themselves.
void RaiseOwned(HWND Owner, int Depth = 0) {
  if (Depth > 32) return;
  std::vector<HWND> Owned;
  for (HWND T : TopLevels())
    if (IsOwnedBy(T, Owner)) Owned.push_back(T);
  for (HWND W : Owned) LinkAbove(W, Owner);
  for (HWND W : Owned) RaiseOwned(W, Depth + 1);
}

// Top-most windows come before all others.
void SortBands() {
  std::vector<HWND> All = TopLevels();
  std::vector<HWND> Sorted;
  for (HWND W : All)
    if (ExStyleOf(W) & WS_EX_TOPMOST) Sorted.push_back(W);
  for (HWND W : All)
    if (!(ExStyleOf(W) & WS_EX_TOPMOST)) Sorted.push_back(W);
  if (Sorted == All) return;
  for (HWND W : Sorted) k58::wincore::LinkWindowOrder(W, HWND_BOTTOM);
}

void SetExBit(HWND Hwnd, DWORD Bit, bool On) {
  DWORD Ex = ExStyleOf(Hwnd);
  k58::wincore::SetWindowStyleBits(Hwnd, StyleOf(Hwnd), On ? (Ex | Bit) : (Ex & ~Bit));
}

void ApplyZOrder(HWND Hwnd, HWND After) {
  if (!IsTopLevel(Hwnd)) {
    if (After == HWND_TOPMOST || After == HWND_NOTOPMOST) After = HWND_TOP;
    k58::wincore::LinkWindowOrder(Hwnd, After);
    return;
  }
  if (After == HWND_TOPMOST) {
    SetExBit(Hwnd, WS_EX_TOPMOST, true);
    k58::wincore::LinkWindowOrder(Hwnd, HWND_TOP);
  } else if (After == HWND_NOTOPMOST) {
    SetExBit(Hwnd, WS_EX_TOPMOST, false);
    k58::wincore::LinkWindowOrder(Hwnd, HWND_TOP);
  } else if (After == HWND_BOTTOM) {
    SetExBit(Hwnd, WS_EX_TOPMOST, false);
    k58::wincore::LinkWindowOrder(Hwnd, HWND_BOTTOM);
  } else {
    k58::wincore::LinkWindowOrder(Hwnd, After);
  }
  // A window placed at the top of the normal band goes below the top-most ones (SortBands), its
  // owned windows above it.
  RaiseOwned(Hwnd);
  SortBands();
}

bool OwnedByDeep(HWND Hwnd, HWND Owner) {
  for (HWND O = GetWindow(Hwnd, GW_OWNER); O; O = GetWindow(O, GW_OWNER))
    if (O == Owner) return true;
  return false;
}

}  // namespace

// Whether placing Hwnd after InsertAfter would leave the order as it is.
bool SameZOrder(HWND Hwnd, HWND After) {
  bool Top = IsTopLevel(Hwnd);
  bool Topmost = Top && (ExStyleOf(Hwnd) & WS_EX_TOPMOST);
  if (!Top && (After == HWND_TOPMOST || After == HWND_NOTOPMOST)) After = HWND_TOP;
  if (After == HWND_BOTTOM) return !GetWindow(Hwnd, GW_HWNDNEXT) && !Topmost;
  if (After == HWND_TOP || After == HWND_TOPMOST || After == HWND_NOTOPMOST) {
    if (After == HWND_TOPMOST && !Topmost) return false;
    if (After == HWND_NOTOPMOST && Topmost) return false;
    // At the top of its band, only its own owned windows above it.
    for (HWND P = GetWindow(Hwnd, GW_HWNDPREV); P; P = GetWindow(P, GW_HWNDPREV)) {
      if (OwnedByDeep(P, Hwnd)) continue;
      if (Top && !Topmost && (ExStyleOf(P) & WS_EX_TOPMOST)) continue;
      return false;
    }
    return true;
  }
  return GetWindow(Hwnd, GW_HWNDPREV) == After;
}

namespace {

k58::gdi::Region ShapeInParentClient(HWND Hwnd) {
  HWND P = ParentOf(Hwnd);
  k58::gdi::Region R = WindowShape(Hwnd);
  POINT PO = SurfaceOrigin(P);
  RECT PW = ScreenWindowRect(P), PC = ScreenClientRect(P);
  R.Offset(-(PO.x + PC.left - PW.left), -(PO.y + PC.top - PW.top));
  return R;
}

// Applies a minimise, maximise or restore to the style bits and answers the new window rectangle.
UINT MinMaximize(HWND Hwnd, int Cmd, RECT& NewRect) {
  WinDataPtr D = Data(Hwnd);
  DWORD Style = StyleOf(Hwnd);
  NewRect = D->Window;
  if (!(Style & (WS_MINIMIZE | WS_MAXIMIZE))) {
    D->Normal = D->Window;
    D->HaveNormal = true;
  }
  switch (Cmd) {
    case SW_MINIMIZE: {
      if (Style & WS_MINIMIZE) return SWP_NOSIZE | SWP_NOMOVE;
      D->RestoreToMaximized = (Style & WS_MAXIMIZE) != 0;
      Style = (Style | WS_MINIMIZE) & ~WS_MAXIMIZE;
      int Cx = GetSystemMetrics(SM_CXMINIMIZED), Cy = GetSystemMetrics(SM_CYMINIMIZED);
      if (IsTopLevel(Hwnd)) {
        NewRect = RECT{-32000, -32000, -32000 + Cx, -32000 + Cy};
      } else {
        RECT PC;
        GetClientRect(ParentOf(Hwnd), &PC);
        NewRect = RECT{0, PC.bottom - Cy, Cx, PC.bottom};
      }
      break;
    }
    case SW_MAXIMIZE: {
      MINMAXINFO Info{};
      SendMinMaxInfo(Hwnd, Info);
      Style = (Style | WS_MAXIMIZE) & ~WS_MINIMIZE;
      NewRect = RECT{Info.ptMaxPosition.x, Info.ptMaxPosition.y, Info.ptMaxPosition.x + Info.ptMaxSize.x,
                     Info.ptMaxPosition.y + Info.ptMaxSize.y};
      break;
    }
    default: {  // restore
      if ((Style & WS_MINIMIZE) && D->RestoreToMaximized) {
        k58::wincore::SetWindowStyleBits(Hwnd, Style & ~WS_MINIMIZE, ExStyleOf(Hwnd));
        return MinMaximize(Hwnd, SW_MAXIMIZE, NewRect);
      }
      Style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
      if (D->HaveNormal) NewRect = D->Normal;
      break;
    }
  }
  k58::wincore::SetWindowStyleBits(Hwnd, Style, ExStyleOf(Hwnd));
  return SWP_FRAMECHANGED;
}

}  // namespace

RECT WorkAreaFor(HWND Hwnd) {
  MONITORINFO Info;
  HMONITOR M = MonitorFromWindow(Hwnd, MONITOR_DEFAULTTONEAREST);
  GetMonitorInfo(M, &Info);
  return Info.rcWork;
}

void SendMinMaxInfo(HWND Hwnd, MINMAXINFO& Info) {
  FrameParts F = FrameOf(StyleOf(Hwnd), ExStyleOf(Hwnd), !IsTopLevel(Hwnd), 0);
  int Border = F.Border;
  RECT Area;
  if (IsTopLevel(Hwnd)) {
    Area = WorkAreaFor(Hwnd);
  } else {
    GetClientRect(ParentOf(Hwnd), &Area);
  }
  Info.ptMaxSize = POINT{Width(Area) + 2 * Border, Height(Area) + 2 * Border};
  Info.ptMaxPosition = POINT{Area.left - Border, Area.top - Border};
  Info.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
  Info.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
  SendMessage(Hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&Info));
}

void PlaceNewWindow(HWND Hwnd, CREATESTRUCT& C) {
  WinDataPtr D = Data(Hwnd);
  DWORD Style = static_cast<DWORD>(C.style);
  bool Overlapped = !(Style & (WS_POPUP | WS_CHILD));
  if (Overlapped && IsTopLevel(Hwnd)) {
    RECT Work = WorkAreaFor(nullptr);
    if (C.x == CW_USEDEFAULT) {
      int Step = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
      C.x = Work.left + Step * DefaultCascade;
      C.y = Work.top + Step * DefaultCascade;
      DefaultCascade = (DefaultCascade + 1) % 10;
    }
    if (C.cx == CW_USEDEFAULT) {
      C.cx = Width(Work) * 3 / 4;
      C.cy = Height(Work) * 3 / 4;
    }
  } else {
    if (C.x == CW_USEDEFAULT) C.x = C.y = 0;
    if (C.cx == CW_USEDEFAULT) C.cx = C.cy = 0;
  }
  C.x = ClampCoord(C.x);
  C.y = ClampCoord(C.y);
  C.cx = ClampSize(C.cx);
  C.cy = ClampSize(C.cy);
  D->Window = RECT{C.x, C.y, C.x + C.cx, C.y + C.cy};
  D->Client = D->Window;
  D->Initialized = true;
  if ((Style & WS_THICKFRAME) || Overlapped) {
    MINMAXINFO Info{};
    SendMinMaxInfo(Hwnd, Info);
    C.cx = ClampSize(std::max<int>(std::min<int>(C.cx, Info.ptMaxTrackSize.x), Info.ptMinTrackSize.x));
    C.cy = ClampSize(std::max<int>(std::min<int>(C.cy, Info.ptMaxTrackSize.y), Info.ptMinTrackSize.y));
    D->Window = RECT{C.x, C.y, C.x + C.cx, C.y + C.cy};
    D->Client = D->Window;
  }
  // The style's visible and minimise/maximise bits are applied when the window is shown.
  k58::wincore::SetWindowStyleBits(Hwnd, StyleOf(Hwnd) & ~(WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE), ExStyleOf(Hwnd));
  if (IsTopLevel(Hwnd)) SortBands();
}

void ShowNewWindow(HWND Hwnd, const CREATESTRUCT& C) {
  WinDataPtr D = Data(Hwnd);
  RECT Cl = D->Client;
  SendMessage(Hwnd, WM_SIZE, SIZE_RESTORED, PointParam(Width(Cl), Height(Cl)));
  if (!IsWindow(Hwnd)) return;
  SendMessage(Hwnd, WM_MOVE, 0, PointParam(Cl.left, Cl.top));
  if (!IsWindow(Hwnd)) return;
  DWORD Style = static_cast<DWORD>(C.style);
  bool Visible = (Style & WS_VISIBLE) != 0;
  if (Style & (WS_MAXIMIZE | WS_MINIMIZE)) {
    if (Visible) {
      ShowWindow(Hwnd, (Style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED : SW_SHOWMINIMIZED);
    } else {
      // Placed in that state, still hidden.
      RECT R;
      UINT Flags = MinMaximize(Hwnd, (Style & WS_MAXIMIZE) ? SW_MAXIMIZE : SW_MINIMIZE, R);
      SetWindowPos(Hwnd, nullptr, R.left, R.top, Width(R), Height(R), Flags | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  } else if (Visible) {
    ShowWindow(Hwnd, SW_SHOW);
  }
}

void NotifyRestack() {
  std::vector<HWND> Order;
  for (HWND T : TopLevels())
    if (StyleOf(T) & WS_VISIBLE) Order.push_back(T);
  Backend().TopLevelRestacked(Order);
}

}  // namespace k58::winui

using namespace k58::winui;

BOOL ShowWindow(HWND hWnd, int nCmdShow) {
  EnsureInit();
  if (!IsWindow(hWnd) || IsDesktop(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  DWORD Style = StyleOf(hWnd);
  bool WasVisible = (Style & WS_VISIBLE) != 0;
  bool Child = (Style & WS_CHILD) && !IsTopLevel(hWnd);
  UINT Swp = 0;
  RECT NewRect = Data(hWnd)->Window;
  bool WasActive = Ui().Active == hWnd;
  switch (nCmdShow) {
    case SW_HIDE:
      if (!WasVisible) return FALSE;
      Swp |= SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER;
      break;
    case SW_SHOWMINNOACTIVE:
    case SW_MINIMIZE:
    case SW_FORCEMINIMIZE:
    case SW_SHOWMINIMIZED:
      Swp |= MinMaximize(hWnd, SW_MINIMIZE, NewRect) | SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOZORDER;
      break;
    case SW_SHOWMAXIMIZED:
      Swp |= MinMaximize(hWnd, SW_MAXIMIZE, NewRect) | SWP_SHOWWINDOW;
      if (Child) Swp |= SWP_NOACTIVATE;
      break;
    case SW_SHOWNA:
      Swp |= SWP_NOACTIVATE;
      [[fallthrough]];
    case SW_SHOW:
      if (WasVisible) return TRUE;
      Swp |= SWP_SHOWWINDOW | SWP_NOSIZE | SWP_NOMOVE;
      if (Child) Swp |= SWP_NOACTIVATE | SWP_NOZORDER;
      break;
    case SW_SHOWNOACTIVATE:
      Swp |= SWP_NOACTIVATE;
      [[fallthrough]];
    case SW_SHOWNORMAL:
    case SW_SHOWDEFAULT:
    case SW_RESTORE:
      if (Style & (WS_MINIMIZE | WS_MAXIMIZE)) {
        Swp |= MinMaximize(hWnd, SW_RESTORE, NewRect);
      } else {
        if (WasVisible) return TRUE;
        Swp |= SWP_NOSIZE | SWP_NOMOVE;
      }
      Swp |= SWP_SHOWWINDOW;
      if (Child) Swp |= SWP_NOACTIVATE | SWP_NOZORDER;
      break;
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return WasVisible;
  }
  bool Show = nCmdShow != SW_HIDE;
  if (Show != WasVisible) {
    SendMessage(hWnd, WM_SHOWWINDOW, Show ? TRUE : FALSE, 0);
    if (!IsWindow(hWnd)) return WasVisible;
  }
  if (ExStyleOf(hWnd) & WS_EX_NOACTIVATE) Swp |= SWP_NOACTIVATE;
  if (Swp & SWP_FRAMECHANGED) Swp &= ~(SWP_NOSIZE | SWP_NOMOVE);
  SetWindowPos(hWnd, HWND_TOP, NewRect.left, NewRect.top, Width(NewRect), Height(NewRect), Swp);
  if (!IsWindow(hWnd)) return WasVisible;
  if (IsTopLevel(hWnd) && (Swp & SWP_FRAMECHANGED)) Backend().TopLevelChanged(hWnd, InfoOf(hWnd));
  bool Minimizing = nCmdShow == SW_MINIMIZE || nCmdShow == SW_SHOWMINIMIZED || nCmdShow == SW_SHOWMINNOACTIVE ||
                    nCmdShow == SW_FORCEMINIMIZE;
  if (!Show || Minimizing) {
    HWND Focus = GetFocus();
    if (Focus && (Focus == hWnd || IsChild(hWnd, Focus))) {
      HWND Parent = ParentOf(hWnd);
      SetFocus(Child && !IsDesktop(Parent) ? Parent : nullptr);
    }
    if (WasActive || Ui().Active == hWnd) ActivateOther(hWnd);
  }
  return WasVisible ? TRUE : FALSE;
}

BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags) {
  EnsureInit();
  if (!IsWindow(hWnd) || IsDesktop(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  WinDataPtr D = Data(hWnd);
  DWORD Style = StyleOf(hWnd);
  bool Visible = (Style & WS_VISIBLE) != 0;
  X = ClampCoord(X);
  Y = ClampCoord(Y);
  cx = ClampSize(cx);
  cy = ClampSize(cy);
  UINT Flags = uFlags & ~(SWP_NOCLIENTSIZE | SWP_NOCLIENTMOVE);
  if (Visible)
    Flags &= ~SWP_SHOWWINDOW;
  else
    Flags &= ~SWP_HIDEWINDOW;
  RECT Old = D->Window, OldClient = D->Client;
  if (!(Flags & SWP_NOMOVE) && X == Old.left && Y == Old.top) Flags |= SWP_NOMOVE;
  if (!(Flags & SWP_NOSIZE) && cx == Width(Old) && cy == Height(Old)) Flags |= SWP_NOSIZE;
  if (!(Flags & SWP_NOZORDER) && (hWndInsertAfter == hWnd || SameZOrder(hWnd, hWndInsertAfter)))
    Flags |= SWP_NOZORDER;
  if (!CanActivate(hWnd)) Flags |= SWP_NOACTIVATE;

  WINDOWPOS Pos;
  Pos.hwnd = hWnd;
  Pos.hwndInsertAfter = hWndInsertAfter;
  Pos.x = (Flags & SWP_NOMOVE) ? Old.left : X;
  Pos.y = (Flags & SWP_NOMOVE) ? Old.top : Y;
  Pos.cx = (Flags & SWP_NOSIZE) ? Width(Old) : std::max(cx, 0);
  Pos.cy = (Flags & SWP_NOSIZE) ? Height(Old) : std::max(cy, 0);
  Pos.flags = Flags;
  if (!(Flags & SWP_NOSENDCHANGING)) {
    SendMessage(hWnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&Pos));
    if (!IsWindow(hWnd)) return FALSE;
    Flags = Pos.flags & ~(SWP_NOCLIENTSIZE | SWP_NOCLIENTMOVE);
  }
  Pos.x = ClampCoord(Pos.x);
  Pos.y = ClampCoord(Pos.y);
  Pos.cx = ClampSize(Pos.cx);
  Pos.cy = ClampSize(Pos.cy);
  RECT NewW{Pos.x, Pos.y, Pos.x + Pos.cx, Pos.y + Pos.cy};
  if (Flags & SWP_NOMOVE) NewW = RECT{Old.left, Old.top, Old.left + Pos.cx, Old.top + Pos.cy};
  if (Flags & SWP_NOSIZE) NewW.right = NewW.left + Width(Old), NewW.bottom = NewW.top + Height(Old);
  bool Moved = NewW.left != Old.left || NewW.top != Old.top;
  bool Sized = Width(NewW) != Width(Old) || Height(NewW) != Height(Old);

  RECT NewC;
  LRESULT CalcResult = 0;
  if (Sized || (Flags & SWP_FRAMECHANGED)) {
    NCCALCSIZE_PARAMS P;
    P.rgrc[0] = NewW;
    P.rgrc[1] = Old;
    P.rgrc[2] = OldClient;
    P.lppos = &Pos;
    CalcResult = SendMessage(hWnd, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&P));
    if (!IsWindow(hWnd)) return FALSE;
    NewC = P.rgrc[0];
  } else {
    NewC = Offset(OldClient, NewW.left - Old.left, NewW.top - Old.top);
  }

  bool WasShown = IsShown(hWnd);
  bool Top = IsTopLevel(hWnd);
  k58::gdi::Region OldShape;
  if (WasShown && !Top) OldShape = ShapeInParentClient(hWnd);

  D->Window = NewW;
  D->Client = NewC;
  bool ClientSized = Width(NewC) != Width(OldClient) || Height(NewC) != Height(OldClient);
  bool ClientMoved = NewC.left != OldClient.left || NewC.top != OldClient.top;
  if (!(Flags & SWP_NOZORDER)) ApplyZOrder(hWnd, Pos.hwndInsertAfter);
  if (Flags & SWP_SHOWWINDOW) k58::wincore::SetWindowStyleBits(hWnd, StyleOf(hWnd) | WS_VISIBLE, ExStyleOf(hWnd));
  if (Flags & SWP_HIDEWINDOW) k58::wincore::SetWindowStyleBits(hWnd, StyleOf(hWnd) & ~WS_VISIBLE, ExStyleOf(hWnd));
  // A surface follows the window's size once it has one; a window never painted gets it when painted.
  if (Top && Sized && D->Surface) EnsureSurface(hWnd);

  bool NowShown = IsShown(hWnd);
  if (!(Flags & SWP_NOREDRAW)) {
    if (NowShown && !WasShown) {
      InvalidateAll(hWnd);
    } else if (!NowShown && WasShown) {
      if (!Top) InvalidateParentArea(ParentOf(hWnd), OldShape);
      DropPaintState(hWnd);
    } else if (NowShown) {
      bool ZChanged = !(Flags & SWP_NOZORDER);
      if (!Top && (Moved || Sized || ZChanged)) {
        k58::gdi::Region Uncovered = k58::gdi::Region::Combine(OldShape, ShapeInParentClient(hWnd), RGN_DIFF);
        if (!Uncovered.IsEmpty()) InvalidateParentArea(ParentOf(hWnd), Uncovered);
      }
      UINT ClassStyle = static_cast<UINT>(GetClassLongPtr(hWnd, GCL_STYLE));
      bool RedrawAll = (CalcResult & WVR_REDRAW) ||
                    ((ClassStyle & CS_HREDRAW) && Width(NewC) != Width(OldClient)) ||
                    ((ClassStyle & CS_VREDRAW) && Height(NewC) != Height(OldClient));
      if ((!Top && (Moved || ZChanged)) || RedrawAll || (ClientMoved && !Moved)) {
        InvalidateAll(hWnd);
      } else {
        if (Sized || (Flags & SWP_FRAMECHANGED)) Redraw(hWnd, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
        if (ClientSized) {
          // Only the newly uncovered part of the client area needs painting.
          RECT Now{0, 0, Width(NewC), Height(NewC)};
          k58::gdi::Region Fresh = k58::gdi::Region::Combine(k58::gdi::Region(Now),
                                                   k58::gdi::Region(RECT{0, 0, Width(OldClient), Height(OldClient)}),
                                                   RGN_DIFF);
          if (!Fresh.IsEmpty()) Redraw(hWnd, &Fresh, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        }
      }
    }
  } else if (!NowShown) {
    DropPaintState(hWnd);
  }

  if (!(Flags & SWP_NOACTIVATE) && Top && NowShown) ActivateWindow(hWnd, false);
  if (!IsWindow(hWnd)) return TRUE;

  if (!ClientSized) Flags |= SWP_NOCLIENTSIZE;
  if (!ClientMoved) Flags |= SWP_NOCLIENTMOVE;
  if (!Moved) Flags |= SWP_NOMOVE;
  if (!Sized) Flags |= SWP_NOSIZE;
  if (Top) {
    if (Moved || Sized) Backend().TopLevelMoved(hWnd, ScreenWindowRect(hWnd));
    if (Flags & SWP_SHOWWINDOW) Backend().TopLevelShown(hWnd, true, !(Flags & SWP_NOACTIVATE));
    if (Flags & SWP_HIDEWINDOW) Backend().TopLevelShown(hWnd, false, false);
    if (!(Flags & SWP_NOZORDER) || (Flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW))) NotifyRestack();
    if (NowShown && !(Flags & SWP_NOREDRAW) && (Flags & SWP_SHOWWINDOW)) PresentAll(hWnd);
  }
  const UINT Nothing = SWP_NOSIZE | SWP_NOMOVE | SWP_NOCLIENTSIZE | SWP_NOCLIENTMOVE | SWP_NOZORDER;
  bool Changed = (Flags & Nothing) != Nothing || (Flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW | SWP_FRAMECHANGED));
  if (Changed) {
    WINDOWPOS Done;
    Done.hwnd = hWnd;
    Done.hwndInsertAfter = Pos.hwndInsertAfter;
    Done.x = NewW.left;
    Done.y = NewW.top;
    Done.cx = Width(NewW);
    Done.cy = Height(NewW);
    Done.flags = Flags;
    SendMessage(hWnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&Done));
  }
  return TRUE;
}

BOOL MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint) {
  return SetWindowPos(hWnd, nullptr, X, Y, nWidth, nHeight,
                      SWP_NOZORDER | SWP_NOACTIVATE | (bRepaint ? 0 : SWP_NOREDRAW));
}

BOOL BringWindowToTop(HWND hWnd) { return SetWindowPos(hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }

BOOL GetWindowPlacement(HWND hWnd, WINDOWPLACEMENT* lpwndpl) {
  if (!IsWindow(hWnd) || !lpwndpl) return FALSE;
  WinDataPtr D = Data(hWnd);
  DWORD Style = StyleOf(hWnd);
  lpwndpl->length = sizeof(WINDOWPLACEMENT);
  lpwndpl->flags = D->RestoreToMaximized ? WPF_RESTORETOMAXIMIZED : 0;
  lpwndpl->showCmd = (Style & WS_MINIMIZE) ? SW_SHOWMINIMIZED : (Style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
  lpwndpl->rcNormalPosition = (Style & (WS_MINIMIZE | WS_MAXIMIZE)) && D->HaveNormal ? D->Normal : D->Window;
  lpwndpl->ptMinPosition = POINT{-1, -1};
  lpwndpl->ptMaxPosition = POINT{-1, -1};
  return TRUE;
}

BOOL SetWindowPlacement(HWND hWnd, const WINDOWPLACEMENT* lpwndpl) {
  if (!IsWindow(hWnd) || !lpwndpl) return FALSE;
  WinDataPtr D = Data(hWnd);
  DWORD Style = StyleOf(hWnd);
  const RECT& N = lpwndpl->rcNormalPosition;
  if (Style & (WS_MINIMIZE | WS_MAXIMIZE)) {
    D->Normal = N;
    D->HaveNormal = true;
  } else {
    SetWindowPos(hWnd, nullptr, N.left, N.top, Width(N), Height(N), SWP_NOZORDER | SWP_NOACTIVATE);
  }
  D->RestoreToMaximized = (lpwndpl->flags & WPF_RESTORETOMAXIMIZED) != 0;
  ShowWindow(hWnd, static_cast<int>(lpwndpl->showCmd));
  return TRUE;
}
