// The menu loop: popup menu windows (class "#32768"), tracking the bar, popups and submenus with the mouse
// and the keyboard, the notifications to the owner, TrackPopupMenu(Ex), and the default handling of the
// keys and clicks that open menus.
#include <map>

#include "platform/win/ui/MenuInternal.h"

namespace k58::winui::menus {

namespace {

constexpr int kFrame = 3;  // popup frame: 1-pixel border and 2-pixel gap

struct Level {
  HMENU Menu = nullptr;
  HWND Wnd = nullptr;  // the popup window; null for the bar
};

struct Tracker {
  HWND Owner = nullptr;
  UINT Flags = 0;
  bool BarMode = false;    // level 0 is the owner's menu bar
  bool PopupCall = false;  // TrackPopupMenu
  bool Notify = true;
  bool ByMouse = false;
  std::vector<Level> Levels;
  bool Done = false;
  bool HaveCommand = false;
  UINT Command = 0;
  HWND SysTarget = nullptr;  // the command goes as WM_SYSCOMMAND to it
  POINT LastMouse{-100000, -100000};
  HWND ActiveAtStart = nullptr;
};

thread_local Tracker* Current = nullptr;

// Wakes the loop waiting for a message after it was ended from outside a message it handles.
constexpr LPARAM kWake = 0x4B35384D;
void Wake(Tracker& T) {
  if (IsWindow(T.Owner)) PostMessage(T.Owner, WM_NULL, 0, kWake);
}
thread_local UINT PaintAction = ODA_DRAWENTIRE;

struct PopupInfo {
  HMENU Menu = nullptr;
  HWND Owner = nullptr;
};
std::map<HWND, PopupInfo>& Popups() {
  static auto* M = new std::map<HWND, PopupInfo>;
  return *M;
}

bool IsBarLevel(const Tracker& T, size_t Lv) { return T.BarMode && Lv == 0; }

int SelOf(HMENU H) {
  Menu* M = Find(H);
  if (!M) return -1;
  for (size_t K = 0; K < M->Items.size(); ++K)
    if (M->Items[K].State & MFS_HILITE) return static_cast<int>(K);
  return -1;
}

MenuItem* ItemOf(HMENU H, int Index) {
  Menu* M = Find(H);
  if (!M || Index < 0 || static_cast<size_t>(Index) >= M->Items.size()) return nullptr;
  return &M->Items[static_cast<size_t>(Index)];
}

// The next item in Dir (+1, -1) from From that can be selected (not a separator), wrapping; -1 none.
int NextSelectable(HMENU H, int From, int Dir) {
  Menu* M = Find(H);
  if (!M || M->Items.empty()) return -1;
  int N = static_cast<int>(M->Items.size());
  int K = From;
  for (int Step = 0; Step < N; ++Step) {
    K = K < 0 ? (Dir > 0 ? 0 : N - 1) : (K + Dir + N) % N;
    if (!IsSeparator(M->Items[static_cast<size_t>(K)])) return K;
  }
  return -1;
}

RECT WorkAreaAt(POINT P) {
  MONITORINFO Info;
  GetMonitorInfo(MonitorFromPoint(P, MONITOR_DEFAULTTONEAREST), &Info);
  return Info.rcWork;
}

void RedrawItem(Tracker& T, size_t Lv, int Index) {
  if (Index < 0 || Lv >= T.Levels.size()) return;
  const Level& L = T.Levels[Lv];
  if (IsBarLevel(T, Lv)) {
    RepaintBarItem(T.Owner, L.Menu, Index);
    return;
  }
  MenuItem* I = ItemOf(L.Menu, Index);
  if (!I || !L.Wnd || !IsWindow(L.Wnd)) return;
  RECT R = I->Rect;
  R.left -= 4;
  InvalidateRect(L.Wnd, &R, TRUE);
  UINT Saved = PaintAction;
  PaintAction = ODA_SELECT;
  UpdateWindow(L.Wnd);
  PaintAction = Saved;
}

void Select(Tracker& T, size_t Lv, int Index, bool ByMouse) {
  if (Lv >= T.Levels.size()) return;
  HMENU H = T.Levels[Lv].Menu;
  int Old = SelOf(H);
  if (Old == Index) return;
  if (MenuItem* I = ItemOf(H, Old)) {
    I->State &= ~MFS_HILITE;
    RedrawItem(T, Lv, Old);
  }
  MenuItem* I = ItemOf(H, Index);
  if (!I) return;
  I->State |= MFS_HILITE;
  RedrawItem(T, Lv, Index);
  if (!T.Notify) return;
  I = ItemOf(H, Index);
  if (!I) return;
  UINT Flags = (I->Type & (MF_BITMAP | MF_OWNERDRAW)) | (I->State & (MF_GRAYED | MF_DISABLED | MF_CHECKED)) | MF_HILITE;
  if (I->Sub) Flags |= MF_POPUP;
  if (ByMouse) Flags |= MF_MOUSESELECT;
  if (IsSystemMenu(H)) Flags |= MF_SYSMENU;
  WORD Item = I->Sub ? static_cast<WORD>(Index) : static_cast<WORD>(I->Id);
  SendMessage(T.Owner, WM_MENUSELECT, MAKEWPARAM(Item, static_cast<WORD>(Flags)), reinterpret_cast<LPARAM>(H));
}

void CloseTop(Tracker& T) {
  Level L = T.Levels.back();
  T.Levels.pop_back();
  if (Menu* M = Find(L.Menu)) {
    for (MenuItem& I : M->Items) I.State &= ~MFS_HILITE;
    if (M->PopupWindow == L.Wnd) M->PopupWindow = nullptr;
  }
  if (L.Wnd && IsWindow(L.Wnd)) {
    ShowWindow(L.Wnd, SW_HIDE);
    DestroyWindow(L.Wnd);
  }
  if (T.Notify && IsWindow(T.Owner))
    SendMessage(T.Owner, WM_UNINITMENUPOPUP, reinterpret_cast<WPARAM>(L.Menu),
                MAKELPARAM(0, IsSystemMenu(L.Menu) ? MF_SYSMENU : 0));
}

void CloseAbove(Tracker& T, size_t Lv) {
  while (T.Levels.size() > Lv + 1) CloseTop(T);
}

// Places a popup of W x H pixels at At as the TPM_ alignment flags say, kept on the work area.
POINT PlaceAt(POINT At, int W, int H, UINT Flags, const RECT* Exclude) {
  POINT P = At;
  if (Flags & TPM_CENTERALIGN)
    P.x -= W / 2;
  else if (Flags & TPM_RIGHTALIGN)
    P.x -= W;
  if (Flags & TPM_VCENTERALIGN)
    P.y -= H / 2;
  else if (Flags & TPM_BOTTOMALIGN)
    P.y -= H;
  RECT Work = WorkAreaAt(At);
  if (P.x + W > Work.right) P.x = At.x - W >= Work.left ? At.x - W : Work.right - W;
  if (P.y + H > Work.bottom) P.y = At.y - H >= Work.top ? At.y - H : Work.bottom - H;
  if (Exclude) {
    RECT Me{P.x, P.y, P.x + W, P.y + H};
    if (!RectEmpty(Intersect(Me, *Exclude))) {
      if (Flags & TPM_VERTICAL)
        P.y = Exclude->bottom + H <= Work.bottom ? Exclude->bottom : Exclude->top - H;
      else
        P.x = Exclude->right + W <= Work.right ? Exclude->right : Exclude->left - W;
    }
  }
  P.x = std::max(P.x, Work.left);
  P.y = std::max(P.y, Work.top);
  return P;
}

// Creates and shows the popup window of H; Place answers its position for its size.
template <typename PlaceFn>
bool ShowPopup(Tracker& T, HMENU H, PlaceFn Place) {
  SIZE C = LayoutPopup(T.Owner, H);
  if (!Find(H) || T.Done) return false;
  int W = C.cx + 2 * kFrame, Ht = C.cy + 2 * kFrame;
  POINT P = Place(W, Ht);
  HWND Wnd = CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, MENU_CLASS, "",
                            WS_POPUP | WS_CLIPSIBLINGS, P.x, P.y, W, Ht, T.Owner, nullptr, nullptr, H);
  if (!Wnd) return false;
  Popups()[Wnd].Owner = T.Owner;
  if (Menu* M = Find(H)) M->PopupWindow = Wnd;
  T.Levels.push_back(Level{H, Wnd});
  ShowWindow(Wnd, SW_SHOWNA);
  if (IsWindow(Wnd)) UpdateWindow(Wnd);
  return true;
}

bool ItemScreenRect(Tracker& T, size_t Lv, int Index, RECT& R) {
  MenuItem* I = ItemOf(T.Levels[Lv].Menu, Index);
  if (!I) return false;
  if (IsBarLevel(T, Lv)) {
    RECT B;
    if (!BarScreenRect(T.Owner, B)) return false;
    R = Offset(I->Rect, B.left, B.top);
    return true;
  }
  POINT O{0, 0};
  ClientToScreen(T.Levels[Lv].Wnd, &O);
  R = Offset(I->Rect, O.x, O.y);
  return true;
}

int FirstSelectable(HMENU H) { return NextSelectable(H, -1, 1); }

// Opens the submenu of the selected item of level Lv.
bool OpenSub(Tracker& T, size_t Lv, bool SelectFirst) {
  if (Lv >= T.Levels.size()) return false;
  HMENU Parent = T.Levels[Lv].Menu;
  int Index = SelOf(Parent);
  MenuItem* I = ItemOf(Parent, Index);
  if (!I || !I->Sub || !IsEnabled(*I)) return false;
  HMENU Sub = I->Sub;
  CloseAbove(T, Lv);
  if (HWND SysW = SystemMenuWindow(Sub)) UpdateSystemMenu(SysW, Sub);
  if (T.Notify)
    SendMessage(T.Owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(Sub),
                MAKELPARAM(static_cast<WORD>(Index), IsSystemMenu(Sub) ? 1 : 0));
  if (T.Done || !IsMenu(Sub) || !IsWindow(T.Owner) || T.Levels.size() != Lv + 1) return false;
  RECT Item;
  if (!ItemScreenRect(T, Lv, Index, Item)) return false;
  bool FromBar = IsBarLevel(T, Lv);
  RECT ParentWnd{};
  if (!FromBar) GetWindowRect(T.Levels[Lv].Wnd, &ParentWnd);
  bool Shown = ShowPopup(T, Sub, [&](int W, int H) {
    RECT Work = WorkAreaAt(POINT{Item.left, Item.top});
    POINT P;
    if (FromBar) {
      P = POINT{Item.left, Item.bottom};
      if (P.y + H > Work.bottom && Item.top - H >= Work.top) P.y = Item.top - H;
      if (P.x + W > Work.right) P.x = Work.right - W;
    } else {
      P = POINT{ParentWnd.right - kFrame, Item.top - kFrame};
      if (P.x + W > Work.right) P.x = ParentWnd.left - W + kFrame;
      if (P.y + H > Work.bottom) P.y = Work.bottom - H;
    }
    P.x = std::max(P.x, Work.left);
    P.y = std::max(P.y, Work.top);
    return P;
  });
  if (Shown && SelectFirst) Select(T, T.Levels.size() - 1, FirstSelectable(Sub), false);
  return Shown;
}

void Execute(Tracker& T, size_t Lv, int Index) {
  MenuItem* I = ItemOf(T.Levels[Lv].Menu, Index);
  if (!I || I->Sub || !IsEnabled(*I)) return;
  T.HaveCommand = true;
  T.Command = I->Id;
  T.SysTarget = I->SysTarget;
  for (size_t K = 0; !T.SysTarget && K <= Lv; ++K) T.SysTarget = SystemMenuWindow(T.Levels[K].Menu);
  T.Done = true;
}

// Enter, or a mnemonic: opens the submenu of the item or chooses its command.
void Activate(Tracker& T, size_t Lv, int Index) {
  Select(T, Lv, Index, false);
  MenuItem* I = ItemOf(T.Levels[Lv].Menu, Index);
  if (!I) return;
  if (I->Sub)
    OpenSub(T, Lv, true);
  else
    Execute(T, Lv, Index);
}

// Moves the bar's selection by Dir and opens the new item's popup.
void MoveBar(Tracker& T, int Dir) {
  HMENU Bar = T.Levels[0].Menu;
  int K = NextSelectable(Bar, SelOf(Bar), Dir);
  CloseAbove(T, 0);
  Select(T, 0, K, false);
  OpenSub(T, 0, true);
}

void Escape(Tracker& T) {
  if (T.Levels.size() >= 2)
    CloseTop(T);
  else
    T.Done = true;
  if (!T.BarMode && T.Levels.empty()) T.Done = true;
}

void OnKeyDown(Tracker& T, const MSG& M) {
  size_t N = T.Levels.size();
  size_t Top = N - 1;
  bool TopIsBar = IsBarLevel(T, Top);
  HMENU H = T.Levels[Top].Menu;
  int Sel = SelOf(H);
  switch (M.wParam) {
    case VK_ESCAPE: Escape(T); return;
    case VK_MENU:
    case VK_F10: T.Done = true; return;
    case VK_UP:
    case VK_DOWN:
      if (TopIsBar)
        OpenSub(T, 0, true);
      else
        Select(T, Top, NextSelectable(H, Sel, M.wParam == VK_DOWN ? 1 : -1), false);
      return;
    case VK_HOME:
    case VK_END:
      if (!TopIsBar) Select(T, Top, NextSelectable(H, -1, M.wParam == VK_HOME ? 1 : -1), false);
      return;
    case VK_LEFT:
      if (TopIsBar)
        Select(T, 0, NextSelectable(H, Sel, -1), false);
      else if (Top >= (T.BarMode ? 2u : 1u))
        CloseTop(T);
      else if (T.BarMode)
        MoveBar(T, -1);
      return;
    case VK_RIGHT:
      if (TopIsBar) {
        Select(T, 0, NextSelectable(H, Sel, 1), false);
      } else if (MenuItem* I = ItemOf(H, Sel); I && I->Sub && IsEnabled(*I)) {
        OpenSub(T, Top, true);
      } else if (T.BarMode) {
        MoveBar(T, 1);
      }
      return;
    case VK_RETURN:
      if (Sel >= 0) Activate(T, Top, Sel);
      return;
    default: TranslateMessage(&M); return;
  }
}

void OnChar(Tracker& T, WPARAM Ch) {
  size_t Top = T.Levels.size() - 1;
  HMENU H = T.Levels[Top].Menu;
  char32_t Want = Ch >= 'A' && Ch <= 'Z' ? static_cast<char32_t>(Ch + 32) : static_cast<char32_t>(Ch);
  std::vector<int> Hits;
  if (Menu* M = Find(H))
    for (size_t K = 0; K < M->Items.size(); ++K)
      if (Mnemonic(M->Items[K]) == Want) Hits.push_back(static_cast<int>(K));
  if (Hits.size() == 1) {
    Activate(T, Top, Hits[0]);
    return;
  }
  if (Hits.size() > 1) {
    int Sel = SelOf(H);
    int Next = Hits[0];
    for (int K : Hits)
      if (K > Sel) {
        Next = K;
        break;
      }
    Select(T, Top, Next, false);
    return;
  }
  LRESULT R = 0;
  if (T.Notify) {
    UINT Kind = (IsBarLevel(T, Top) ? 0 : MF_POPUP) | (IsSystemMenu(H) ? MF_SYSMENU : 0);
    R = SendMessage(T.Owner, WM_MENUCHAR, MAKEWPARAM(static_cast<WORD>(Ch), static_cast<WORD>(Kind)),
                    reinterpret_cast<LPARAM>(H));
    if (T.Done || T.Levels.size() != Top + 1) return;
  }
  switch (HIWORD(static_cast<DWORD_PTR>(R))) {
    case MNC_CLOSE: T.Done = true; break;
    case MNC_EXECUTE: Activate(T, Top, LOWORD(static_cast<DWORD_PTR>(R))); break;
    case MNC_SELECT: Select(T, Top, LOWORD(static_cast<DWORD_PTR>(R)), false); break;
    default: MessageBeep(0); break;
  }
}

// Which level and item a screen point is over: Lv -1 when over no menu; Index -1 when over no item.
void HitAt(Tracker& T, POINT P, int& Lv, int& Index) {
  Lv = Index = -1;
  for (size_t K = T.Levels.size(); K-- > 0;) {
    const Level& L = T.Levels[K];
    RECT Area;
    POINT Origin;
    if (IsBarLevel(T, K)) {
      if (!BarScreenRect(T.Owner, Area)) continue;
      Origin = POINT{Area.left, Area.top};
    } else {
      if (!L.Wnd || !IsWindow(L.Wnd)) continue;
      GetWindowRect(L.Wnd, &Area);
      Origin = POINT{0, 0};
      ClientToScreen(L.Wnd, &Origin);
    }
    if (!InRect(Area, P)) continue;
    Lv = static_cast<int>(K);
    if (Menu* M = Find(L.Menu))
      for (size_t J = 0; J < M->Items.size(); ++J)
        if (InRect(M->Items[J].Rect, POINT{P.x - Origin.x, P.y - Origin.y})) Index = static_cast<int>(J);
    return;
  }
}

void OnMouse(Tracker& T, const MSG& M) {
  POINT P = M.pt;
  UINT Msg = M.message;
  bool Move = Msg == WM_MOUSEMOVE;
  bool Down = Msg == WM_LBUTTONDOWN || Msg == WM_RBUTTONDOWN || Msg == WM_MBUTTONDOWN || Msg == WM_LBUTTONDBLCLK ||
              Msg == WM_RBUTTONDBLCLK;
  bool Up = Msg == WM_LBUTTONUP || (Msg == WM_RBUTTONUP && (!T.PopupCall || (T.Flags & TPM_RIGHTBUTTON)));
  if (Move) {
    if (P.x == T.LastMouse.x && P.y == T.LastMouse.y) return;
    T.LastMouse = P;
  }
  if (!Move && !Down && !Up) return;
  int Lv, Index;
  HitAt(T, P, Lv, Index);
  if (Lv < 0) {
    if (Down) T.Done = true;  // a click outside every menu ends the loop
    return;
  }
  size_t L = static_cast<size_t>(Lv);
  HMENU H = T.Levels[L].Menu;
  MenuItem* I = ItemOf(H, Index);
  if (IsBarLevel(T, L)) {
    bool Open = T.Levels.size() > 1;
    if (Down && Index >= 0 && Index == SelOf(H) && Open) {
      T.Done = true;  // a click on the open item closes it
      return;
    }
    if ((Move && Index >= 0 && Index != SelOf(H) && (Open || T.ByMouse)) || (Down && Index >= 0)) {
      bool WasOpen = Open || Down;
      T.ByMouse = true;
      CloseAbove(T, 0);
      Select(T, 0, Index, true);
      if (WasOpen) OpenSub(T, 0, false);
    } else if (Up && I && !I->Sub) {
      Execute(T, 0, Index);
    }
    return;
  }
  if (Move || Down) {
    if (!I || IsSeparator(*I)) {
      if (Move) {
        CloseAbove(T, L);
        Select(T, L, -1, true);
      }
      return;
    }
    if (Index != SelOf(H)) {
      CloseAbove(T, L);
      Select(T, L, Index, true);
      if (I->Sub) OpenSub(T, L, false);
    } else if (I->Sub && T.Levels.size() == L + 1) {
      OpenSub(T, L, false);
    } else {
      CloseAbove(T, L + 1);
    }
    return;
  }
  if (Up && I && !I->Sub) Execute(T, L, Index);
}

bool IsMouse(UINT Msg) {
  return (Msg >= WM_MOUSEFIRST && Msg <= WM_MOUSELAST) || (Msg >= WM_NCMOUSEMOVE && Msg <= WM_NCXBUTTONDBLCLK);
}

void RunLoop(Tracker& T) {
  MSG M;
  while (!T.Done) {
    if (!IsWindow(T.Owner) || GetCapture() != T.Owner) break;
    if (GetActiveWindow() != T.ActiveAtStart) break;
    // Counted as a capture loop, so that the owner losing the capture (or going away) while the loop
    // waits wakes it.
    ++Ui().CaptureWaits;
    BOOL Got = GetMessage(&M, nullptr, 0, 0);
    --Ui().CaptureWaits;
    if (!Got) {
      PostQuitMessage(static_cast<int>(M.wParam));
      break;
    }
    if (IsLoopWake(M)) continue;
    if (IsMouse(M.message)) {
      if (M.message >= WM_NCMOUSEMOVE && M.message <= WM_NCXBUTTONDBLCLK) {
        // Without the capture (taken away meanwhile) mouse messages may come non-client.
        MSG C = M;
        C.message = M.message - WM_NCMOUSEMOVE + WM_MOUSEMOVE;
        OnMouse(T, C);
      } else {
        OnMouse(T, M);
      }
      continue;
    }
    switch (M.message) {
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN: OnKeyDown(T, M); continue;
      case WM_CHAR:
      case WM_SYSCHAR: OnChar(T, M.wParam); continue;
      case WM_KEYUP:
      case WM_SYSKEYUP:
      case WM_DEADCHAR:
      case WM_SYSDEADCHAR: continue;
      case WM_NULL:
        if (M.lParam == kWake) continue;
        DispatchMessage(&M);
        break;
      default: DispatchMessage(&M); break;
    }
  }
}

// Sends the opening notifications and takes the capture; false when the owner went away meanwhile.
bool Begin(Tracker& T, HMENU InitMenu) {
  HWND Cap = GetCapture();
  if (Cap && Cap != T.Owner) SendMessage(Cap, WM_CANCELMODE, 0, 0);
  if (T.Notify) {
    SendMessage(T.Owner, WM_ENTERMENULOOP, T.PopupCall ? TRUE : FALSE, 0);
    if (IsWindow(T.Owner)) SendMessage(T.Owner, WM_INITMENU, reinterpret_cast<WPARAM>(InitMenu), 0);
  }
  if (!IsWindow(T.Owner) || !IsMenu(InitMenu)) return false;
  SetCapture(T.Owner);
  T.ActiveAtStart = GetActiveWindow();
  return true;
}

void Finish(Tracker& T, Tracker* Outer) {
  size_t Keep = T.BarMode ? 1 : 0;
  while (T.Levels.size() > Keep) CloseTop(T);
  if (T.BarMode && !T.Levels.empty()) {
    HMENU Bar = T.Levels[0].Menu;
    int Sel = SelOf(Bar);
    if (MenuItem* I = ItemOf(Bar, Sel)) {
      I->State &= ~MFS_HILITE;
      RepaintBarItem(T.Owner, Bar, Sel);
    }
  }
  if (GetCapture() == T.Owner) ReleaseCapture();
  Current = Outer;
  if (Outer && IsWindow(Outer->Owner)) SetCapture(Outer->Owner);
  if (!IsWindow(T.Owner)) return;
  if (T.Notify) {
    SendMessage(T.Owner, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    if (IsWindow(T.Owner)) SendMessage(T.Owner, WM_EXITMENULOOP, T.PopupCall ? TRUE : FALSE, 0);
  }
  if (!T.HaveCommand || (T.Flags & TPM_RETURNCMD) || (T.PopupCall && !T.Notify)) return;
  if (T.SysTarget && IsWindow(T.SysTarget))
    PostMessage(T.SysTarget, WM_SYSCOMMAND, T.Command, 0);
  else if (IsWindow(T.Owner))
    PostMessage(T.Owner, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(T.Command), 0), 0);
}

LRESULT CALLBACK PopupProc(HWND Hwnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  switch (Msg) {
    case WM_NCCREATE: {
      auto* C = reinterpret_cast<CREATESTRUCT*>(LParam);
      Popups()[Hwnd] = PopupInfo{C ? static_cast<HMENU>(C->lpCreateParams) : nullptr,
                                 Current ? Current->Owner : nullptr};
      return DefWindowProc(Hwnd, Msg, WParam, LParam);
    }
    case WM_NCCALCSIZE: {
      RECT* R = WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(LParam)->rgrc[0] : reinterpret_cast<RECT*>(LParam);
      if (R) {
        R->left += kFrame;
        R->top += kFrame;
        R->right = std::max(R->left, R->right - kFrame);
        R->bottom = std::max(R->top, R->bottom - kFrame);
      }
      return 0;
    }
    case WM_NCPAINT: {
      HDC Dc = GetWindowDC(Hwnd);
      RECT W;
      GetWindowRect(Hwnd, &W);
      RECT All{0, 0, Width(W), Height(W)};
      FrameRect(Dc, &All, GetSysColorBrush(COLOR_BTNSHADOW));
      for (int K = 1; K < kFrame; ++K) {
        RECT R{K, K, All.right - K, All.bottom - K};
        FrameRect(Dc, &R, GetSysColorBrush(COLOR_MENU));
      }
      ReleaseDC(Hwnd, Dc);
      return 0;
    }
    case WM_ERASEBKGND: {
      RECT R;
      GetClientRect(Hwnd, &R);
      FillRect(reinterpret_cast<HDC>(WParam), &R, GetSysColorBrush(COLOR_MENU));
      return 1;
    }
    case WM_PAINT: {
      PAINTSTRUCT Ps;
      HDC Dc = BeginPaint(Hwnd, &Ps);
      auto It = Popups().find(Hwnd);
      if (It != Popups().end()) PaintPopup(Hwnd, It->second.Owner, It->second.Menu, Dc, Ps.rcPaint, PaintAction);
      EndPaint(Hwnd, &Ps);
      return 0;
    }
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_SETCURSOR: SetCursor(LoadCursor(nullptr, IDC_ARROW)); return TRUE;
    case MN_GETHMENU: {
      auto It = Popups().find(Hwnd);
      return It == Popups().end() ? 0 : reinterpret_cast<LRESULT>(It->second.Menu);
    }
    case WM_CLOSE:
      if (Current)
        for (const Level& L : Current->Levels)
          if (L.Wnd == Hwnd) {
            Current->Done = true;
            Wake(*Current);
          }
      return 0;
    case WM_NCDESTROY: {
      auto It = Popups().find(Hwnd);
      if (It != Popups().end()) {
        if (Menu* M = Find(It->second.Menu); M && M->PopupWindow == Hwnd) M->PopupWindow = nullptr;
        Popups().erase(It);
      }
      return DefWindowProc(Hwnd, Msg, WParam, LParam);
    }
    default: return DefWindowProc(Hwnd, Msg, WParam, LParam);
  }
}

int BarItemAt(HWND Window, POINT Screen) {
  HMENU Bar = GetMenu(Window);
  RECT B;
  Menu* M = Find(Bar);
  if (!M || !BarScreenRect(Window, B)) return -1;
  for (size_t K = 0; K < M->Items.size(); ++K)
    if (InRect(Offset(M->Items[K].Rect, B.left, B.top), Screen)) return static_cast<int>(K);
  return -1;
}

void KeyMenu(HWND Hwnd, LPARAM Ch) {
  if (Current) return;
  if (Ch == ' ' || (Ch == '-' && (ExStyleOf(Hwnd) & WS_EX_MDICHILD))) {
    if (StyleOf(Hwnd) & WS_SYSMENU) TrackSystemMenu(Hwnd, false);
    return;
  }
  HMENU Bar = GetMenu(Hwnd);
  Menu* M = Find(Bar);
  if (!M || M->Items.empty()) return;
  if (Ch == 0) {
    TrackBar(Hwnd, -1, false, false);
    return;
  }
  char32_t Want = Ch >= 'A' && Ch <= 'Z' ? static_cast<char32_t>(Ch + 32) : static_cast<char32_t>(Ch);
  for (size_t K = 0; K < M->Items.size(); ++K)
    if (Mnemonic(M->Items[K]) == Want) {
      TrackBar(Hwnd, static_cast<int>(K), true, false);
      return;
    }
  LRESULT R = SendMessage(Hwnd, WM_MENUCHAR, MAKEWPARAM(static_cast<WORD>(Ch), 0), reinterpret_cast<LPARAM>(Bar));
  WORD Code = HIWORD(static_cast<DWORD_PTR>(R));
  if (Code == MNC_EXECUTE || Code == MNC_SELECT)
    TrackBar(Hwnd, LOWORD(static_cast<DWORD_PTR>(R)), Code == MNC_EXECUTE, false);
  else if (Code != MNC_CLOSE)
    MessageBeep(0);
}

}  // namespace

void RegisterPopupClass() {
  WNDCLASS C;
  C.style = CS_SAVEBITS | CS_DBLCLKS;
  C.lpfnWndProc = PopupProc;
  C.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<intptr_t>(COLOR_MENU + 1));
  C.lpszClassName = MENU_CLASS;
  RegisterClass(&C);
}

bool InMenuLoop() { return Current != nullptr; }
HWND LoopOwner() { return Current ? Current->Owner : nullptr; }

void TrackBar(HWND Window, int Index, bool Open, bool ByMouse) {
  if (Current) return;
  HMENU Bar = GetMenu(Window);
  if (!Bar || GetMenuItemCount(Bar) <= 0) return;
  SetHotBarItem(Window, -1);
  Tracker T;
  T.Owner = Window;
  T.BarMode = true;
  T.ByMouse = ByMouse;
  T.Levels.push_back(Level{Bar, nullptr});
  Tracker* Outer = Current;
  Current = &T;
  if (Begin(T, Bar)) {
    int K = Index >= 0 ? Index : FirstSelectable(Bar);
    Select(T, 0, K, ByMouse);
    if (Open) {
      MenuItem* I = ItemOf(Bar, K);
      if (I && I->Sub)
        OpenSub(T, 0, !ByMouse);
      else if (I && !ByMouse)
        Execute(T, 0, K);
    }
    RunLoop(T);
  }
  Finish(T, Outer);
}

void TrackSystemMenu(HWND Window, bool ByMouse) {
  if (Current || !IsWindow(Window)) return;
  HMENU Sys = GetSystemMenu(Window, FALSE);
  if (!Sys) return;
  Tracker T;
  T.Owner = Window;
  T.ByMouse = ByMouse;
  Tracker* Outer = Current;
  Current = &T;
  if (Begin(T, Sys)) {
    UpdateSystemMenu(Window, Sys);
    if (T.Notify) SendMessage(Window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(Sys), MAKELPARAM(0, 1));
    RECT W, C;
    GetWindowRect(Window, &W);
    GetClientRect(Window, &C);
    POINT Under{0, 0};
    ClientToScreen(Window, &Under);
    int Border = (Width(W) - Width(C)) / 2;
    POINT At{W.left + Border, W.top + Border + ((StyleOf(Window) & WS_CAPTION) == WS_CAPTION
                                                    ? GetSystemMetrics(SM_CYCAPTION)
                                                    : 0)};
    if (IsWindow(Window) && IsMenu(Sys) &&
        ShowPopup(T, Sys, [&](int Wd, int Ht) { return PlaceAt(At, Wd, Ht, 0, nullptr); })) {
      if (!ByMouse) Select(T, 0, FirstSelectable(Sys), false);
      RunLoop(T);
    }
  }
  Finish(T, Outer);
}

bool MenuDefProc(HWND Hwnd, UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT& Result) {
  switch (Msg) {
    case WM_SYSCOMMAND:
      if ((WParam & 0xFFF0) == SC_KEYMENU) {
        KeyMenu(Hwnd, LParam);
        Result = 0;
        return true;
      }
      if ((WParam & 0xFFF0) == SC_MOUSEMENU) {
        int Hit = static_cast<int>(WParam & 0xF);
        POINT P{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
        if (Hit == HTSYSMENU) {
          TrackSystemMenu(Hwnd, true);
        } else if (Hit == HTMENU) {
          int K = BarItemAt(Hwnd, P);
          if (K >= 0) TrackBar(Hwnd, K, true, true);
        }
        Result = 0;
        return true;
      }
      return false;
    case WM_NCLBUTTONDBLCLK:
      // A second click on the bar soon after the first opens the menu as the first did.
      if (WParam != HTMENU || Current) return false;
      SendMessage(Hwnd, WM_SYSCOMMAND, SC_MOUSEMENU + HTMENU, LParam);
      Result = 0;
      return true;
    case WM_NCMOUSEMOVE:
      if (!Current && GetMenu(Hwnd)) {
        int K = WParam == HTMENU ? BarItemAt(Hwnd, POINT{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)}) : -1;
        SetHotBarItem(Hwnd, K);
        if (K >= 0) {
          TRACKMOUSEEVENT Tme;
          Tme.dwFlags = TME_LEAVE | TME_NONCLIENT;
          Tme.hwndTrack = Hwnd;
          TrackMouseEvent(&Tme);
        }
      }
      return false;
    case WM_NCMOUSELEAVE:
      if (HotBarItem(Hwnd) >= 0) SetHotBarItem(Hwnd, -1);
      return false;
    case WM_NCDESTROY:
      ForgetWindow(Hwnd);
      if (HotBarItem(Hwnd) >= 0) SetHotBarItem(Hwnd, -1);
      if (HMENU Bar = GetMenu(Hwnd)) {
        // The menu bar goes with its window.
        if (Menu* M = Find(Bar)) M->BarWindow = nullptr;
        SetWindowLongPtr(Hwnd, GWLP_ID, 0);
        DestroyMenu(Bar);
      }
      return false;
    default: return false;
  }
}

}  // namespace k58::winui::menus

using namespace k58::winui;
using namespace k58::winui::menus;

BOOL TrackPopupMenuEx(HMENU hMenu, UINT uFlags, int x, int y, HWND hwnd, LPTPMPARAMS lptpm) {
  EnsureMenus();
  if (!IsMenu(hMenu)) {
    SetLastError(ERROR_INVALID_MENU_HANDLE);
    return FALSE;
  }
  if (!IsWindow(hwnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (Current && !(uFlags & TPM_RECURSE)) return FALSE;
  Tracker T;
  T.Owner = hwnd;
  T.Flags = uFlags;
  T.PopupCall = true;
  T.Notify = !(uFlags & TPM_NONOTIFY);
  T.ByMouse = true;
  Tracker* Outer = Current;
  Current = &T;
  if (Begin(T, hMenu)) {
    if (T.Notify)
      SendMessage(hwnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hMenu), MAKELPARAM(0, IsSystemMenu(hMenu) ? 1 : 0));
    RECT Exclude{};
    bool HaveExclude = lptpm && lptpm->cbSize >= sizeof(TPMPARAMS);
    if (HaveExclude) Exclude = lptpm->rcExclude;
    if (IsWindow(hwnd) && IsMenu(hMenu) && !T.Done &&
        ShowPopup(T, hMenu, [&](int W, int H) {
          return PlaceAt(POINT{x, y}, W, H, uFlags, HaveExclude ? &Exclude : nullptr);
        }))
      RunLoop(T);
  }
  Finish(T, Outer);
  if (uFlags & TPM_RETURNCMD) return T.HaveCommand ? static_cast<BOOL>(T.Command) : 0;
  return TRUE;
}

BOOL TrackPopupMenu(HMENU hMenu, UINT uFlags, int x, int y, int /*nReserved*/, HWND hWnd, const RECT* /*prcRect*/) {
  return TrackPopupMenuEx(hMenu, uFlags, x, y, hWnd, nullptr);
}

BOOL EndMenu() {
  if (!Current) return FALSE;
  Current->Done = true;
  Wake(*Current);
  return TRUE;
}
