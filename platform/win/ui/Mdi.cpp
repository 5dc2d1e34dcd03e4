// The multiple-document interface: the "MDICLIENT" window class with its children, activation,
// maximising with the merged menu-bar items, cascading, tiling and icon arrangement, the Window menu list,
// DefFrameProc, DefMDIChildProc and TranslateMDISysAccel.
#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "platform/win/ui/MdiApi.h"
#include "platform/win/ui/MenuInternal.h"

namespace k58::winui {

namespace {

constexpr ULONG_PTR kListTag = 0x4B35384D;  // items of the Window menu's list of children
constexpr int kListMax = 9;

struct ClientState {
  HWND Frame = nullptr;
  HMENU WindowMenu = nullptr;
  UINT FirstId = 0;
  DWORD Style = 0;
  std::vector<HWND> Children;  // creation order; control ids FirstId + position
  HWND Active = nullptr;
  int Cascade = 0;
  HWND Merged = nullptr;  // the maximised child whose items are in the frame's bar
  HMENU MergedBar = nullptr;
  std::string FrameTitle;  // the frame's title without the child's
  DWORD ScrollBars = 0;    // WS_HSCROLL | WS_VSCROLL asked at creation: shown only while children reach out
  bool ScrollPending = false;
  bool Scrolling = false;
};

// Posted to the client to bring its scroll bars up to date once the children have stopped moving.
constexpr UINT kUpdateScroll = WM_USER + 0x3A58;
constexpr int kScrollLine = 16;

std::map<HWND, ClientState>& Clients() {
  static auto* M = new std::map<HWND, ClientState>;
  return *M;
}

ClientState* StateOf(HWND Client) {
  auto It = Clients().find(Client);
  return It == Clients().end() ? nullptr : &It->second;
}

bool IsMdiChild(HWND Client, HWND Child) {
  ClientState* S = StateOf(Client);
  return S && Child && std::find(S->Children.begin(), S->Children.end(), Child) != S->Children.end();
}

std::string TextOf(HWND Hwnd) {
  int N = GetWindowTextLength(Hwnd);
  std::string T(static_cast<size_t>(std::max(N, 0)) + 1, '\0');
  int Got = GetWindowText(Hwnd, T.data(), N + 1);
  T.resize(static_cast<size_t>(std::max(Got, 0)));
  return T;
}

bool FrameIsActive(const ClientState& S) { return S.Frame && GetActiveWindow() == RootOf(S.Frame); }

void Renumber(ClientState& S) {
  for (size_t K = 0; K < S.Children.size(); ++K)
    if (IsWindow(S.Children[K])) SetWindowLongPtr(S.Children[K], GWLP_ID, static_cast<LONG_PTR>(S.FirstId + K));
}

void RemoveList(HMENU Menu) {
  menus::Menu* M = menus::Find(Menu);
  if (!M) return;
  for (size_t K = M->Items.size(); K-- > 0;)
    if (M->Items[K].Data == kListTag) RemoveMenu(Menu, static_cast<UINT>(K), MF_BYPOSITION);
}

void RefreshList(ClientState& S) {
  if (!IsMenu(S.WindowMenu)) return;
  RemoveList(S.WindowMenu);
  std::vector<HWND> Shown;
  for (HWND C : S.Children)
    if (IsWindow(C) && IsWindowVisible(C)) Shown.push_back(C);
  if (Shown.empty()) return;
  auto Add = [&](UINT Type, UINT State, UINT Id, const std::string& Text) {
    MENUITEMINFOA I;
    I.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA | (Type == MFT_STRING ? MIIM_STRING : 0);
    I.fType = Type;
    I.fState = State;
    I.wID = Id;
    I.dwItemData = kListTag;
    I.dwTypeData = const_cast<char*>(Text.c_str());
    InsertMenuItem(S.WindowMenu, static_cast<UINT>(GetMenuItemCount(S.WindowMenu)), TRUE, &I);
  };
  if (GetMenuItemCount(S.WindowMenu) > 0) Add(MFT_SEPARATOR, 0, 0, "");
  for (size_t K = 0; K < Shown.size() && K < static_cast<size_t>(kListMax); ++K) {
    HWND C = Shown[K];
    UINT Id = static_cast<UINT>(GetWindowLongPtr(C, GWLP_ID));
    Add(MFT_STRING, C == S.Active ? MFS_CHECKED : 0u, Id, "&" + std::to_string(K + 1) + " " + TextOf(C));
  }
}

void SetFrameTitle(ClientState& S, HWND Child) {
  if (!S.Frame || !IsWindow(S.Frame)) return;
  std::string T = S.FrameTitle;
  if (Child) T += " - [" + TextOf(Child) + "]";
  SetWindowText(S.Frame, T.c_str());
}

void Unmerge(ClientState& S) {
  if (!S.Merged) return;
  HWND Child = S.Merged;
  S.Merged = nullptr;
  if (menus::Menu* M = menus::Find(S.MergedBar)) {
    for (size_t K = M->Items.size(); K-- > 0;) {
      menus::MenuItem& I = M->Items[K];
      if (I.SysTarget == Child || (I.SysTarget == nullptr && I.Sub && menus::SystemMenuWindow(I.Sub) == Child))
        RemoveMenu(S.MergedBar, static_cast<UINT>(K), MF_BYPOSITION);
    }
  }
  S.MergedBar = nullptr;
  SetFrameTitle(S, nullptr);
  if (S.Frame && GetMenu(S.Frame)) DrawMenuBar(S.Frame);
}

void Merge(ClientState& S, HWND Child) {
  if (S.Merged == Child) return;
  Unmerge(S);
  S.FrameTitle = TextOf(S.Frame);
  S.Merged = Child;
  HMENU Bar = GetMenu(S.Frame);
  S.MergedBar = Bar;
  if (Bar) {
    auto Put = [&](UINT Pos, HBITMAP Bitmap, UINT Id, HMENU Sub, UINT Extra) {
      MENUITEMINFOA I;
      I.fMask = MIIM_FTYPE | MIIM_BITMAP | MIIM_ID | (Sub ? MIIM_SUBMENU : 0);
      I.fType = MFT_BITMAP | Extra;
      I.wID = Id;
      I.hSubMenu = Sub;
      I.hbmpItem = Bitmap;
      InsertMenuItem(Bar, Pos, TRUE, &I);
      if (menus::MenuItem* Item = menus::Locate(Bar, Pos == static_cast<UINT>(-1)
                                                         ? static_cast<UINT>(GetMenuItemCount(Bar) - 1)
                                                         : Pos,
                                                 MF_BYPOSITION)) {
        Item->Bitmap = Bitmap;
        Item->SysTarget = Sub ? nullptr : Child;
      }
    };
    DWORD Style = StyleOf(Child);
    if (Style & WS_SYSMENU) Put(0, HBMMENU_SYSTEM, 0, GetSystemMenu(Child, FALSE), 0);
    if (Style & WS_MINIMIZEBOX) Put(static_cast<UINT>(-1), HBMMENU_MBAR_MINIMIZE, SC_MINIMIZE, nullptr, MFT_RIGHTJUSTIFY);
    Put(static_cast<UINT>(-1), HBMMENU_MBAR_RESTORE, SC_RESTORE, nullptr, (Style & WS_MINIMIZEBOX) ? 0 : MFT_RIGHTJUSTIFY);
    bool NoClose = (GetClassLongPtr(Child, GCL_STYLE) & CS_NOCLOSE) != 0;
    Put(static_cast<UINT>(-1), NoClose ? HBMMENU_MBAR_CLOSE_D : HBMMENU_MBAR_CLOSE, SC_CLOSE, nullptr, 0);
    DrawMenuBar(S.Frame);
  }
  SetFrameTitle(S, Child);
}

void Activate(HWND Client, HWND Child) {
  ClientState* S = StateOf(Client);
  if (!S) return;
  if (Child && !IsMdiChild(Client, Child)) return;
  HWND Old = S->Active;
  if (Old && !IsWindow(Old)) Old = nullptr;
  if (Old == Child) return;
  bool CarryMax = Old && Child && IsZoomed(Old) && !IsZoomed(Child);
  S->Active = Child;
  if (Old) {
    SendMessage(Old, WM_NCACTIVATE, FALSE, 0);
    if (IsWindow(Old)) SendMessage(Old, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(Old), reinterpret_cast<LPARAM>(Child));
  }
  S = StateOf(Client);
  if (!S || S->Active != Child) return;
  if (Child && IsWindow(Child)) {
    if (CarryMax) ShowWindow(Child, SW_SHOWMAXIMIZED);
    SetWindowPos(Child, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessage(Child, WM_NCACTIVATE, FrameIsActive(*S) ? TRUE : FALSE, 0);
    if (IsWindow(Child))
      SendMessage(Child, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(Old), reinterpret_cast<LPARAM>(Child));
    if (IsWindow(Child)) SendMessage(Child, WM_CHILDACTIVATE, 0, 0);
    S = StateOf(Client);
    if (!S || S->Active != Child || !IsWindow(Child)) return;
    if (FrameIsActive(*S)) {
      HWND Focus = GetFocus();
      if (!Focus || (Focus != Child && !IsChild(Child, Focus))) SetFocus(Child);
    }
  }
  if ((S = StateOf(Client))) RefreshList(*S);
}

// The visible, enabled (unless SkipDisabled is off) children in creation order.
std::vector<HWND> Arrangeable(ClientState& S, bool SkipDisabled, bool Minimized) {
  std::vector<HWND> Out;
  for (HWND C : S.Children)
    if (IsWindow(C) && IsWindowVisible(C) && (!SkipDisabled || IsWindowEnabled(C)) && (IsIconic(C) != FALSE) == Minimized)
      Out.push_back(C);
  return Out;
}

// The height of an icon's row: minimised children keep at least the smallest tracking size.
int IconRowHeight(ClientState& S) {
  int H = GetSystemMetrics(SM_CYMINIMIZED);
  for (HWND C : Arrangeable(S, false, true)) {
    RECT R;
    GetWindowRect(C, &R);
    H = std::max<int>(H, Height(R));
  }
  return H;
}

void ArrangeIcons(HWND Client) {
  ClientState* S = StateOf(Client);
  if (!S) return;
  RECT R;
  GetClientRect(Client, &R);
  int W = GetSystemMetrics(SM_CXMINIMIZED), H = IconRowHeight(*S);
  int PerRow = std::max(1, Width(R) / std::max(W, 1));
  int K = 0;
  for (HWND C : Arrangeable(*S, false, true)) {
    int X = (K % PerRow) * W, Y = R.bottom - H * (1 + K / PerRow);
    SetWindowPos(C, nullptr, X, Y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ++K;
  }
}

// The client area less the rows taken by minimised children.
RECT ArrangeArea(HWND Client, ClientState& S) {
  RECT R;
  GetClientRect(Client, &R);
  size_t Icons = Arrangeable(S, false, true).size();
  if (Icons) {
    int PerRow = std::max(1, Width(R) / std::max(GetSystemMetrics(SM_CXMINIMIZED), 1));
    int Rows = static_cast<int>((Icons + static_cast<size_t>(PerRow) - 1) / static_cast<size_t>(PerRow));
    R.bottom = std::max(R.top, R.bottom - Rows * IconRowHeight(S));
  }
  return R;
}

void RestoreMaximized(ClientState& S) {
  if (S.Active && IsWindow(S.Active) && IsZoomed(S.Active)) ShowWindow(S.Active, SW_RESTORE);
}

void Cascade(HWND Client, UINT Flags) {
  ClientState* S = StateOf(Client);
  if (!S) return;
  RestoreMaximized(*S);
  std::vector<HWND> Kids = Arrangeable(*S, (Flags & MDITILE_SKIPDISABLED) != 0, false);
  if (Kids.empty()) return;
  // The active child goes last, in front.
  auto It = std::find(Kids.begin(), Kids.end(), S->Active);
  if (It != Kids.end()) std::rotate(It, It + 1, Kids.end());
  RECT R = ArrangeArea(Client, *S);
  int Step = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
  int N = static_cast<int>(Kids.size());
  int Steps = std::max(1, std::min(N, (Height(R) / 2) / std::max(Step, 1) + 1));
  int W = std::max(Width(R) - Step * (Steps - 1), GetSystemMetrics(SM_CXMINTRACK));
  int H = std::max(Height(R) - Step * (Steps - 1), GetSystemMetrics(SM_CYMINTRACK));
  for (int K = 0; K < N; ++K) {
    int Off = Step * (K % Steps);
    SetWindowPos(Kids[static_cast<size_t>(K)], HWND_TOP, R.left + Off, R.top + Off, W, H, SWP_NOACTIVATE);
  }
}

void Tile(HWND Client, UINT Flags) {
  ClientState* S = StateOf(Client);
  if (!S) return;
  RestoreMaximized(*S);
  std::vector<HWND> Kids = Arrangeable(*S, (Flags & MDITILE_SKIPDISABLED) != 0, false);
  if (Kids.empty()) return;
  RECT R = ArrangeArea(Client, *S);
  int N = static_cast<int>(Kids.size());
  // Strips side by side (vertical tiling: columns; horizontal: rows), the later strips taking one more
  // window when they do not divide evenly.
  int Strips = N <= 3 ? N : static_cast<int>(std::ceil(std::sqrt(static_cast<double>(N))));
  bool Columns = !(Flags & MDITILE_HORIZONTAL);
  int Major = Columns ? Width(R) : Height(R), Minor = Columns ? Height(R) : Width(R);
  int K = 0;
  for (int Sx = 0; Sx < Strips; ++Sx) {
    int InStrip = N / Strips + (Sx >= Strips - N % Strips ? 1 : 0);
    int A0 = Major * Sx / Strips, A1 = Major * (Sx + 1) / Strips;
    for (int J = 0; J < InStrip && K < N; ++J, ++K) {
      int B0 = Minor * J / InStrip, B1 = Minor * (J + 1) / InStrip;
      RECT Cell = Columns ? RECT{R.left + A0, R.top + B0, R.left + A1, R.top + B1}
                          : RECT{R.left + B0, R.top + A0, R.left + B1, R.top + A1};
      SetWindowPos(Kids[static_cast<size_t>(K)], nullptr, Cell.left, Cell.top, Width(Cell), Height(Cell),
                   SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
}

// A child is gone (or going): it leaves the list, the next child becomes active.
void ChildGone(HWND Client, HWND Child) {
  ClientState* S = StateOf(Client);
  if (!S) return;
  auto It = std::find(S->Children.begin(), S->Children.end(), Child);
  if (It == S->Children.end()) return;
  bool WasMax = S->Merged == Child || (IsWindow(Child) && IsZoomed(Child));
  S->Children.erase(It);
  if (S->Merged == Child) Unmerge(*S);
  Renumber(*S);
  if (S->Active == Child) {
    S->Active = nullptr;
    HWND Next = nullptr;
    for (HWND C = GetWindow(Client, GW_CHILD); C; C = GetWindow(C, GW_HWNDNEXT))
      if (C != Child && IsMdiChild(Client, C) && IsWindowVisible(C)) {
        Next = C;
        break;
      }
    if (Next) {
      if (WasMax && !IsZoomed(Next)) ShowWindow(Next, SW_SHOWMAXIMIZED);
      Activate(Client, Next);
    } else {
      HWND Focus = GetFocus();
      if (Focus && (Focus == Child || IsChild(Child, Focus))) SetFocus(Client);
    }
  }
  if ((S = StateOf(Client))) RefreshList(*S);
}

// The area the visible children cover, with the client area itself, in client coordinates.
RECT ChildrenExtent(HWND Client, const ClientState& S) {
  RECT Box;
  GetClientRect(Client, &Box);
  for (HWND C : S.Children) {
    if (!IsWindow(C) || !IsWindowVisible(C)) continue;
    RECT R;
    GetWindowRect(C, &R);
    MapWindowPoints(nullptr, Client, reinterpret_cast<POINT*>(&R), 2);
    Box.left = std::min(Box.left, R.left);
    Box.top = std::min(Box.top, R.top);
    Box.right = std::max(Box.right, R.right);
    Box.bottom = std::max(Box.bottom, R.bottom);
  }
  return Box;
}

bool AnyMaximised(const ClientState& S) {
  return std::any_of(S.Children.begin(), S.Children.end(),
                     [](HWND C) { return IsWindow(C) && IsWindowVisible(C) && IsZoomed(C); });
}

// The bars the client was created with are shown only while a child reaches beyond the client area; the
// position is always 0 with the range starting where the farthest child begins, so scrolling moves the
// children and the bars follow from where they then stand.
void UpdateScrollBars(HWND Client) {
  ClientState* S = StateOf(Client);
  if (!S || !S->ScrollBars || S->Scrolling) return;
  S->ScrollPending = false;
  // Showing one bar narrows the client area, which can make the other one needed: settle in two rounds.
  for (int Round = 0; Round < 2; ++Round) {
    S = StateOf(Client);
    if (!S) return;
    RECT Client0;
    GetClientRect(Client, &Client0);
    RECT Box = ChildrenExtent(Client, *S);
    bool Max = AnyMaximised(*S);
    bool Horz = !Max && (S->ScrollBars & WS_HSCROLL) && (Box.left < 0 || Box.right > Client0.right);
    bool Vert = !Max && (S->ScrollBars & WS_VSCROLL) && (Box.top < 0 || Box.bottom > Client0.bottom);
    for (int Bar : {SB_HORZ, SB_VERT}) {
      bool Show = Bar == SB_HORZ ? Horz : Vert;
      if (Show) {
        SCROLLINFO I{};
        I.cbSize = sizeof I;
        I.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        I.nMin = Bar == SB_HORZ ? Box.left : Box.top;
        I.nMax = (Bar == SB_HORZ ? Box.right : Box.bottom) - 1;
        I.nPage = static_cast<UINT>(Bar == SB_HORZ ? Client0.right : Client0.bottom);
        I.nPos = 0;
        SetScrollInfo(Client, Bar, &I, TRUE);
      }
      ShowScrollBar(Client, Bar, Show ? TRUE : FALSE);
    }
  }
}

void ScheduleScrollUpdate(HWND Client) {
  ClientState* S = StateOf(Client);
  if (!S || !S->ScrollBars || S->ScrollPending || S->Scrolling) return;
  S->ScrollPending = true;
  PostMessage(Client, kUpdateScroll, 0, 0);
}

// Moves every child so the view goes Delta pixels along the bar, kept within the children's extent.
void ScrollBy(HWND Client, int Bar, int Delta) {
  ClientState* S = StateOf(Client);
  if (!S) return;
  RECT View;
  GetClientRect(Client, &View);
  RECT Box = ChildrenExtent(Client, *S);
  if (Bar == SB_HORZ)
    Delta = std::clamp(Delta, static_cast<int>(Box.left), std::max(static_cast<int>(Box.right - View.right), 0));
  else
    Delta = std::clamp(Delta, static_cast<int>(Box.top), std::max(static_cast<int>(Box.bottom - View.bottom), 0));
  if (Delta == 0) return;
  int Dx = Bar == SB_HORZ ? -Delta : 0, Dy = Bar == SB_VERT ? -Delta : 0;
  S->Scrolling = true;
  std::vector<HWND> Kids = S->Children;
  for (HWND C : Kids) {
    if (!IsWindow(C)) continue;
    RECT R;
    GetWindowRect(C, &R);
    MapWindowPoints(nullptr, Client, reinterpret_cast<POINT*>(&R), 2);
    SetWindowPos(C, nullptr, R.left + Dx, R.top + Dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if ((S = StateOf(Client))) S->Scrolling = false;
  InvalidateRect(Client, nullptr, TRUE);
  UpdateScrollBars(Client);
}

void OnScroll(HWND Client, int Bar, WPARAM WParam) {
  SCROLLINFO I{};
  I.cbSize = sizeof I;
  I.fMask = SIF_ALL;
  if (!GetScrollInfo(Client, Bar, &I)) return;
  int Page = std::max(static_cast<int>(I.nPage), 1);
  int Delta = 0;
  switch (LOWORD(WParam)) {
    case SB_LINEUP: Delta = -kScrollLine; break;
    case SB_LINEDOWN: Delta = kScrollLine; break;
    case SB_PAGEUP: Delta = -Page; break;
    case SB_PAGEDOWN: Delta = Page; break;
    case SB_TOP: Delta = I.nMin; break;
    case SB_BOTTOM: Delta = I.nMax; break;
    case SB_THUMBTRACK: Delta = I.nTrackPos; break;
    case SB_THUMBPOSITION: Delta = static_cast<short>(HIWORD(WParam)); break;
    default: return;
  }
  ScrollBy(Client, Bar, Delta);
}

HWND CreateChild(HWND Client, const MDICREATESTRUCTA* Cs) {
  ClientState* S = StateOf(Client);
  if (!S || !Cs) return nullptr;
  DWORD Style;
  if (S->Style & MDIS_ALLCHILDSTYLES)
    Style = Cs->style | WS_CHILD;
  else
    Style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_SYSMENU | WS_CAPTION | WS_THICKFRAME |
            WS_MINIMIZEBOX | WS_MAXIMIZEBOX | (Cs->style & (WS_MINIMIZE | WS_MAXIMIZE | WS_HSCROLL | WS_VSCROLL));
  RECT R;
  GetClientRect(Client, &R);
  int X = Cs->x, Y = Cs->y, W = Cs->cx, H = Cs->cy;
  if (X == CW_USEDEFAULT) {
    int Step = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
    int Steps = std::max(1, (Height(R) / 2) / std::max(Step, 1));
    X = Y = Step * (S->Cascade % Steps);
    ++S->Cascade;
  }
  if (W == CW_USEDEFAULT) {
    W = Width(R) * 3 / 4;
    H = Height(R) * 3 / 4;
  }
  bool WantMax = (Style & WS_MAXIMIZE) || (S->Active && IsWindow(S->Active) && IsZoomed(S->Active));
  bool WantMin = (Style & WS_MINIMIZE) != 0;
  bool Visible = (Style & WS_VISIBLE) != 0;
  UINT Id = S->FirstId + static_cast<UINT>(S->Children.size());
  HWND Child = CreateWindowEx(WS_EX_MDICHILD, Cs->szClass, Cs->szTitle, Style & ~(WS_VISIBLE | WS_MAXIMIZE | WS_MINIMIZE),
                              X, Y, W, H, Client, reinterpret_cast<HMENU>(static_cast<uintptr_t>(Id)),
                              static_cast<HINSTANCE>(Cs->hOwner), const_cast<MDICREATESTRUCTA*>(Cs));
  if (!Child) return nullptr;
  S = StateOf(Client);
  if (!S) return Child;
  S->Children.push_back(Child);
  Renumber(*S);
  if (Visible) {
    if (WantMax)
      ShowWindow(Child, SW_SHOWMAXIMIZED);
    else if (WantMin)
      ShowWindow(Child, SW_SHOWMINNOACTIVE);
    else
      ShowWindow(Child, SW_SHOW);
    if (IsWindow(Child) && !WantMin) Activate(Client, Child);
  }
  if ((S = StateOf(Client))) RefreshList(*S);
  return IsWindow(Child) ? Child : nullptr;
}

HWND NextChild(ClientState& S, HWND From, bool Prev) {
  std::vector<HWND> Kids;
  for (HWND C : S.Children)
    if (IsWindow(C) && IsWindowVisible(C) && IsWindowEnabled(C)) Kids.push_back(C);
  if (Kids.empty()) return nullptr;
  auto It = std::find(Kids.begin(), Kids.end(), From ? From : S.Active);
  int N = static_cast<int>(Kids.size());
  int K = It == Kids.end() ? 0 : static_cast<int>(It - Kids.begin());
  return Kids[static_cast<size_t>((K + (Prev ? N - 1 : 1)) % N)];
}

LRESULT CALLBACK ClientProc(HWND Hwnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  switch (Msg) {
    case WM_NCCREATE: {
      auto* C = reinterpret_cast<CREATESTRUCT*>(LParam);
      ClientState& S = Clients()[Hwnd];
      S.Frame = GetParent(Hwnd);
      S.Style = C ? static_cast<DWORD>(C->style) : 0;
      S.ScrollBars = S.Style & (WS_HSCROLL | WS_VSCROLL);
      if (C && C->lpCreateParams) {
        auto* Ccs = static_cast<CLIENTCREATESTRUCT*>(C->lpCreateParams);
        S.WindowMenu = static_cast<HMENU>(Ccs->hWindowMenu);
        S.FirstId = Ccs->idFirstChild;
      }
      return DefWindowProc(Hwnd, Msg, WParam, LParam);
    }
    case WM_CREATE:
      // The bars asked for appear only when a child reaches beyond the client area.
      if (ClientState* S = StateOf(Hwnd); S && S->ScrollBars) ShowScrollBar(Hwnd, SB_BOTH, FALSE);
      return DefWindowProc(Hwnd, Msg, WParam, LParam);
    case kUpdateScroll: UpdateScrollBars(Hwnd); return 0;
    case WM_HSCROLL: OnScroll(Hwnd, SB_HORZ, WParam); return 0;
    case WM_VSCROLL: OnScroll(Hwnd, SB_VERT, WParam); return 0;
    case WM_MDICREATE: return reinterpret_cast<LRESULT>(CreateChild(Hwnd, reinterpret_cast<MDICREATESTRUCTA*>(LParam)));
    case WM_MDIDESTROY: {
      auto Child = reinterpret_cast<HWND>(WParam);
      if (!IsMdiChild(Hwnd, Child)) return 0;
      ChildGone(Hwnd, Child);
      if (IsWindow(Child)) DestroyWindow(Child);
      return 0;
    }
    case WM_MDIACTIVATE: {
      auto Child = reinterpret_cast<HWND>(WParam);
      if (IsMdiChild(Hwnd, Child)) {
        if (IsIconic(Child)) ShowWindow(Child, SW_RESTORE);
        Activate(Hwnd, Child);
      }
      return 0;
    }
    case WM_MDIGETACTIVE: {
      ClientState* S = StateOf(Hwnd);
      HWND A = S && IsWindow(S->Active) ? S->Active : nullptr;
      if (LParam) *reinterpret_cast<BOOL*>(LParam) = A && IsZoomed(A) ? TRUE : FALSE;
      return reinterpret_cast<LRESULT>(A);
    }
    case WM_MDINEXT: {
      ClientState* S = StateOf(Hwnd);
      if (!S) return 0;
      HWND Next = NextChild(*S, reinterpret_cast<HWND>(WParam), LParam != 0);
      if (Next && Next != S->Active) {
        if (IsIconic(Next)) ShowWindow(Next, SW_RESTORE);
        Activate(Hwnd, Next);
      }
      return 0;
    }
    case WM_MDIMAXIMIZE:
      if (IsMdiChild(Hwnd, reinterpret_cast<HWND>(WParam))) ShowWindow(reinterpret_cast<HWND>(WParam), SW_SHOWMAXIMIZED);
      return 0;
    case WM_MDIRESTORE:
      if (IsMdiChild(Hwnd, reinterpret_cast<HWND>(WParam))) ShowWindow(reinterpret_cast<HWND>(WParam), SW_RESTORE);
      return 0;
    case WM_MDICASCADE: Cascade(Hwnd, static_cast<UINT>(WParam)); return TRUE;
    case WM_MDITILE: Tile(Hwnd, static_cast<UINT>(WParam)); return TRUE;
    case WM_MDIICONARRANGE: ArrangeIcons(Hwnd); return 0;
    case WM_MDISETMENU: {
      ClientState* S = StateOf(Hwnd);
      if (!S) return 0;
      HMENU Old = S->Frame ? GetMenu(S->Frame) : nullptr;
      auto NewFrame = reinterpret_cast<HMENU>(WParam);
      auto NewWindow = reinterpret_cast<HMENU>(LParam);
      HWND Merged = S->Merged;
      if (NewFrame && NewFrame != Old) {
        Unmerge(*S);
        SetMenu(S->Frame, NewFrame);
        if (Merged && IsWindow(Merged) && IsZoomed(Merged)) Merge(*S, Merged);
      }
      if (NewWindow && NewWindow != S->WindowMenu) {
        RemoveList(S->WindowMenu);
        S->WindowMenu = NewWindow;
      }
      RefreshList(*S);
      return reinterpret_cast<LRESULT>(Old);
    }
    case WM_MDIREFRESHMENU: {
      ClientState* S = StateOf(Hwnd);
      if (!S) return 0;
      RefreshList(*S);
      if (S->Frame && GetMenu(S->Frame)) DrawMenuBar(S->Frame);
      return reinterpret_cast<LRESULT>(S->Frame ? GetMenu(S->Frame) : nullptr);
    }
    case WM_PARENTNOTIFY: {
      WORD Event = LOWORD(WParam);
      if (Event == WM_LBUTTONDOWN || Event == WM_RBUTTONDOWN || Event == WM_MBUTTONDOWN) {
        POINT P{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
        HWND Child = ChildWindowFromPointEx(Hwnd, P, CWP_SKIPINVISIBLE);
        if (Child && Child != Hwnd && IsMdiChild(Hwnd, Child)) Activate(Hwnd, Child);
      }
      return 0;
    }
    case WM_SETFOCUS: {
      ClientState* S = StateOf(Hwnd);
      if (S && S->Active && IsWindow(S->Active) && !IsIconic(S->Active)) SetFocus(S->Active);
      return 0;
    }
    case WM_SIZE: {
      ClientState* S = StateOf(Hwnd);
      if (S && S->Merged && IsWindow(S->Merged) && IsZoomed(S->Merged)) ShowWindow(S->Merged, SW_SHOWMAXIMIZED);
      ArrangeIcons(Hwnd);
      ScheduleScrollUpdate(Hwnd);
      return DefWindowProc(Hwnd, Msg, WParam, LParam);
    }
    case WM_SETCURSOR:
      if (LOWORD(LParam) == HTCLIENT && reinterpret_cast<HWND>(WParam) == Hwnd) {
        SetCursor(LoadCursor(nullptr, IDC_ARROW));
        return TRUE;
      }
      return DefWindowProc(Hwnd, Msg, WParam, LParam);
    case WM_NCDESTROY: Clients().erase(Hwnd); return DefWindowProc(Hwnd, Msg, WParam, LParam);
    default: return DefWindowProc(Hwnd, Msg, WParam, LParam);
  }
}

void EnsureMdi() {
  static bool Done = false;
  if (Done) return;
  Done = true;
  menus::EnsureMenus();
  WNDCLASS C;
  C.lpfnWndProc = ClientProc;
  C.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<intptr_t>(COLOR_APPWORKSPACE + 1));
  C.lpszClassName = MDICLIENT_CLASS;
  RegisterClass(&C);
}

[[maybe_unused]] const bool Installed = (EnsureMdi(), true);

HWND ClientOf(HWND Child) {
  HWND P = GetParent(Child);
  return StateOf(P) ? P : nullptr;
}

}  // namespace

}  // namespace k58::winui

using namespace k58::winui;

HWND CreateMDIWindow(LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X, int Y, int nWidth, int nHeight,
                     HWND hWndParent, HINSTANCE hInstance, LPARAM lParam) {
  EnsureMdi();
  MDICREATESTRUCTA Cs;
  Cs.szClass = lpClassName;
  Cs.szTitle = lpWindowName;
  Cs.hOwner = hInstance;
  Cs.x = X;
  Cs.y = Y;
  Cs.cx = nWidth;
  Cs.cy = nHeight;
  Cs.style = dwStyle;
  Cs.lParam = lParam;
  if (!StateOf(hWndParent)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  return reinterpret_cast<HWND>(SendMessage(hWndParent, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&Cs)));
}

LRESULT DefFrameProc(HWND hWnd, HWND hWndMDIClient, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  EnsureMdi();
  ClientState* S = hWndMDIClient ? StateOf(hWndMDIClient) : nullptr;
  switch (uMsg) {
    case WM_COMMAND:
      if (S) {
        UINT Id = LOWORD(wParam);
        if (Id >= S->FirstId && Id < S->FirstId + S->Children.size() && HIWORD(wParam) == 0) {
          HWND Child = S->Children[Id - S->FirstId];
          if (IsWindow(Child)) {
            if (IsIconic(Child)) ShowWindow(Child, SW_RESTORE);
            Activate(hWndMDIClient, Child);
          }
          return 0;
        }
        if (Id >= 0xF000 && S->Active && IsWindow(S->Active)) return SendMessage(S->Active, WM_SYSCOMMAND, Id, lParam);
      }
      break;
    case WM_SIZE:
      if (hWndMDIClient && IsWindow(hWndMDIClient) && wParam != SIZE_MINIMIZED)
        MoveWindow(hWndMDIClient, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
    case WM_SETFOCUS:
      if (hWndMDIClient && IsWindow(hWndMDIClient)) {
        SetFocus(hWndMDIClient);
        return 0;
      }
      break;
    case WM_NCACTIVATE:
      if (S && S->Active && IsWindow(S->Active)) SendMessage(S->Active, WM_NCACTIVATE, wParam, 0);
      break;
    case WM_SYSCOMMAND:
      if (S && (wParam & 0xFFF0) == SC_KEYMENU && lParam == '-' && S->Active && IsWindow(S->Active))
        return SendMessage(S->Active, WM_SYSCOMMAND, wParam, lParam);
      if (S && ((wParam & 0xFFF0) == SC_NEXTWINDOW || (wParam & 0xFFF0) == SC_PREVWINDOW))
        return SendMessage(hWndMDIClient, WM_MDINEXT, 0, (wParam & 0xFFF0) == SC_PREVWINDOW);
      break;
    default: break;
  }
  return DefWindowProc(hWnd, uMsg, wParam, lParam);
}

LRESULT DefMDIChildProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  EnsureMdi();
  HWND Client = ClientOf(hWnd);
  ClientState* S = Client ? StateOf(Client) : nullptr;
  if (!S) return DefWindowProc(hWnd, uMsg, wParam, lParam);
  switch (uMsg) {
    case WM_CHILDACTIVATE: Activate(Client, hWnd); return 0;
    case WM_SETFOCUS:
      if (S->Active != hWnd && IsMdiChild(Client, hWnd)) Activate(Client, hWnd);
      return 0;
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
      if (S->Active != hWnd) Activate(Client, hWnd);
      if (!IsWindow(hWnd)) return 0;
      break;
    case WM_GETMINMAXINFO: {
      LRESULT R = DefWindowProc(hWnd, uMsg, wParam, lParam);
      auto* Info = reinterpret_cast<MINMAXINFO*>(lParam);
      RECT Full;
      GetClientRect(Client, &Full);
      AdjustWindowRectEx(&Full, StyleOf(hWnd), FALSE, ExStyleOf(hWnd));
      Info->ptMaxPosition = POINT{Full.left, Full.top};
      Info->ptMaxSize = POINT{Width(Full), Height(Full)};
      Info->ptMaxTrackSize.x = std::max<LONG>(Info->ptMaxTrackSize.x, Width(Full));
      Info->ptMaxTrackSize.y = std::max<LONG>(Info->ptMaxTrackSize.y, Height(Full));
      return R;
    }
    case WM_SIZE: {
      LRESULT R = DefWindowProc(hWnd, uMsg, wParam, lParam);
      S = StateOf(Client);
      if (!S) return R;
      if (wParam == SIZE_MAXIMIZED) {
        // One maximised child at a time.
        if (S->Merged && S->Merged != hWnd && IsWindow(S->Merged)) {
          HWND Other = S->Merged;
          Unmerge(*S);
          if (IsZoomed(Other)) ShowWindow(Other, SW_RESTORE);
          S = StateOf(Client);
        }
        if (S) Merge(*S, hWnd);
      } else if (S->Merged == hWnd) {
        Unmerge(*S);
      }
      if (wParam == SIZE_MINIMIZED) ArrangeIcons(Client);
      return R;
    }
    case WM_SHOWWINDOW:
      if (wParam && S->Active != hWnd) {
        PostMessage(Client, WM_MDIREFRESHMENU, 0, 0);
      } else if (!wParam && S->Active == hWnd) {
        HWND Next = NextChild(*S, hWnd, false);
        if (Next == hWnd) Next = nullptr;
        if (Next) Activate(Client, Next);
      }
      break;
    case WM_SETTEXT: {
      LRESULT R = DefWindowProc(hWnd, uMsg, wParam, lParam);
      if ((S = StateOf(Client))) {
        if (S->Merged == hWnd) SetFrameTitle(*S, hWnd);
        RefreshList(*S);
      }
      return R;
    }
    case WM_SYSCHAR:
      if (wParam == '-' && (StyleOf(hWnd) & WS_SYSMENU)) {
        menus::TrackSystemMenu(hWnd, false);
        return 0;
      }
      break;
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
        case SC_NEXTWINDOW: SendMessage(Client, WM_MDINEXT, reinterpret_cast<WPARAM>(hWnd), 0); return 0;
        case SC_PREVWINDOW: SendMessage(Client, WM_MDINEXT, reinterpret_cast<WPARAM>(hWnd), 1); return 0;
        case SC_MAXIMIZE:
          ShowWindow(hWnd, SW_SHOWMAXIMIZED);
          Activate(Client, hWnd);
          return 0;
        default: break;
      }
      break;
    case WM_WINDOWPOSCHANGED: {
      LRESULT R = DefWindowProc(hWnd, uMsg, wParam, lParam);
      ScheduleScrollUpdate(Client);
      return R;
    }
    case WM_CLOSE: SendMessage(Client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(hWnd), 0); return 0;
    case WM_DESTROY:
      ChildGone(Client, hWnd);
      ScheduleScrollUpdate(Client);
      break;
    default: break;
  }
  return DefWindowProc(hWnd, uMsg, wParam, lParam);
}

BOOL TranslateMDISysAccel(HWND hWndClient, LPMSG lpMsg) {
  ClientState* S = StateOf(hWndClient);
  if (!S || !lpMsg || (lpMsg->message != WM_KEYDOWN && lpMsg->message != WM_SYSKEYDOWN)) return FALSE;
  if (GetKeyState(VK_CONTROL) >= 0 || GetKeyState(VK_MENU) < 0) return FALSE;
  HWND Active = S->Active;
  if (!Active || !IsWindow(Active)) return FALSE;
  WPARAM Cmd;
  switch (lpMsg->wParam) {
    case VK_F4: Cmd = SC_CLOSE; break;
    case VK_F6:
    case VK_TAB: Cmd = GetKeyState(VK_SHIFT) < 0 ? SC_PREVWINDOW : SC_NEXTWINDOW; break;
    default: return FALSE;
  }
  SendMessage(Active, WM_SYSCOMMAND, Cmd, 0);
  return TRUE;
}
