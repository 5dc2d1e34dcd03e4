// The tab control ("SysTabControl32"): a row (or, with TCS_MULTILINE, rows) of tabs or buttons with
// text and images over a display area. The user picks a tab with the mouse or the arrow keys, which
// the parent may refuse (TCN_SELCHANGING) and is told of (TCN_SELCHANGE). A single row too long for
// the control scrolls by two arrow buttons at its right end. With several rows, the row of the
// current tab is the one next to the display area.
#include "platform/win/builtin/TabCtrl.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win/builtin/CommCtrlInternal.h"
#include "platform/win/builtin/ImageList.h"

namespace k58::builtin {

namespace {

constexpr int kMargin = 2;    // left of the first tab
constexpr int kPadX = 6;      // text from the tab's sides
constexpr int kButtonGap = 3;  // between buttons (TCS_BUTTONS)
constexpr int kFrame = 2;     // the display area's edge

struct Tab {
  std::string Text;
  int Image = -1;
  LPARAM Param = 0;
  DWORD State = 0;
  RECT Rect{};  // where it is drawn (before the current tab's enlargement); empty while scrolled away
  int Row = 0;
};

struct TabCtrl : ControlState {
  TabCtrl(HWND Window, const CREATESTRUCT&) : ControlState(Window) {}

  std::vector<Tab> Tabs;
  int Cur = -1;
  int First = 0;  // first tab shown in a scrolled single row
  int Rows = 1;
  HIMAGELIST Images = nullptr;
  HFONT Font = nullptr;
  int FixedW = 0, FixedH = 0;  // TCM_SETITEMSIZE
  int MinWidth = -1;
  bool Focused = false;
  bool Scrolls = false;  // the single row needs the arrows

  DWORD Style() const { return static_cast<DWORD>(GetWindowLong(Hwnd, GWL_STYLE)); }
  bool Has(DWORD Bits) const { return (Style() & Bits) != 0; }
  bool Buttons() const { return Has(TCS_BUTTONS); }
  int Count() const { return static_cast<int>(Tabs.size()); }
  bool Valid(int I) const { return I >= 0 && I < Count(); }
  RECT Client() const {
    RECT R{};
    GetClientRect(Hwnd, &R);
    return R;
  }

  LRESULT Notify(NMHDR& Header, UINT Code) { return StillAlive() ? NotifyHeader(Hwnd, Header, Code) : 0; }

  // ---- geometry -----------------------------------------------------------------------------------
  int ImageW() const {
    int W = 0, H = 0;
    return Images && ImageList_GetIconSize(Images, &W, &H) ? W : 0;
  }
  int ImageH() const {
    int W = 0, H = 0;
    return Images && ImageList_GetIconSize(Images, &W, &H) ? H : 0;
  }
  int TabHeight() const {
    if (FixedH > 0) return FixedH;
    int H = 0, W = 0;
    FontMetrics(Font, H, W);
    return std::max(H, ImageH()) + 7;
  }
  int TextWidth(const std::string& S) const { return builtin::TextWidth(Font, S); }
  int WidthOf(const Tab& T) const {
    if ((Has(TCS_FIXEDWIDTH) || Has(TCS_OWNERDRAWFIXED)) && FixedW > 0) return FixedW;
    int W = 2 * kPadX + TextWidth(T.Text);
    if (Images && T.Image >= 0) W += ImageW() + (T.Text.empty() ? 0 : 3);
    int Min = MinWidth >= 0 ? MinWidth : 2 * kPadX + 12;
    return std::max(W, Min);
  }
  int Gap() const { return Buttons() ? kButtonGap : 0; }
  int ArrowsWidth() const { return 2 * GetSystemMetrics(SM_CXVSCROLL); }
  RECT ArrowRect(bool Right) const {
    RECT C = Client();
    int W = GetSystemMetrics(SM_CXVSCROLL);
    int H = std::min(TabHeight(), W);
    int X = C.right - 2 * W + (Right ? W : 0);
    return RECT{X, TabHeight() - H - 1, X + W, TabHeight() - 1};
  }
  // Height of the tab rows, with the edge the current tab rises over.
  int TabsHeight() const { return Rows * TabHeight() + (Buttons() ? (Rows - 1) * kButtonGap : 0) + (Buttons() ? 0 : 2); }

  void Layout() {
    RECT C = Client();
    int H = TabHeight();
    int Top = Buttons() ? 0 : 2;
    Scrolls = false;
    if (Has(TCS_MULTILINE)) {
      // Fill rows left to right; the row of the current tab goes last, next to the display area.
      std::vector<int> RowOf(Tabs.size());
      int X = kMargin, Row = 0;
      for (int I = 0; I < Count(); ++I) {
        int W = WidthOf(Tabs[I]);
        if (X > kMargin && X + W > C.right - kMargin) {
          ++Row;
          X = kMargin;
        }
        RowOf[I] = Row;
        Tabs[I].Rect = RECT{X, 0, X + W, H};
        X += W + Gap();
      }
      Rows = Count() ? Row + 1 : 1;
      int CurRow = Valid(Cur) ? RowOf[Cur] : Rows - 1;
      for (int I = 0; I < Count(); ++I) {
        // Rows after the current one move up by one so the current row comes last.
        int Shown = RowOf[I] == CurRow ? Rows - 1 : (RowOf[I] > CurRow ? RowOf[I] - 1 : RowOf[I]);
        Tabs[I].Row = Shown;
        int Y = Top + Shown * (H + Gap());
        Tabs[I].Rect.top = Y;
        Tabs[I].Rect.bottom = Y + H;
      }
      First = 0;
      return;
    }
    Rows = 1;
    int Total = kMargin;
    for (const Tab& T : Tabs) Total += WidthOf(T) + Gap();
    Scrolls = Total > C.right && Count() > 1;
    First = Scrolls ? std::clamp(First, 0, Count() - 1) : 0;
    int Limit = Scrolls ? C.right - ArrowsWidth() : C.right;
    int X = kMargin;
    for (int I = 0; I < Count(); ++I) {
      Tabs[I].Row = 0;
      if (I < First) {
        Tabs[I].Rect = RECT{};
        continue;
      }
      int W = WidthOf(Tabs[I]);
      Tabs[I].Rect = X < Limit ? RECT{X, Top, X + W, Top + H} : RECT{};
      X += W + Gap();
    }
  }

  // The display area for a window rectangle (or the window rectangle for a display area).
  RECT Adjust(RECT R, bool Larger) const {
    int TabsH = TabsHeight();
    int Edge = Buttons() ? 0 : kFrame;
    if (Larger) {
      R.left -= Edge + 2;
      R.right += Edge + 2;
      R.top -= TabsH + Edge + 1;
      R.bottom += Edge + 2;
    } else {
      R.left += Edge + 2;
      R.right -= Edge + 2;
      R.top += TabsH + Edge + 1;
      R.bottom -= Edge + 2;
    }
    return R;
  }

  bool Shown(int I) const { return Valid(I) && Tabs[I].Rect.right > Tabs[I].Rect.left; }

  int HitTab(POINT P, UINT* Flags = nullptr) const {
    for (int I = 0; I < Count(); ++I) {
      if (!Shown(I) || !InRect(Tabs[I].Rect, P)) continue;
      if (Flags) {
        RECT R = Tabs[I].Rect;
        bool OnIcon = Images && Tabs[I].Image >= 0 && P.x < R.left + kPadX + ImageW();
        *Flags = OnIcon ? TCHT_ONITEMICON : TCHT_ONITEMLABEL;
      }
      return I;
    }
    if (Flags) *Flags = TCHT_NOWHERE;
    return -1;
  }

  // ---- selection ----------------------------------------------------------------------------------
  // A pick by the user: the parent may refuse it.
  void Pick(int I) {
    if (!Valid(I) || I == Cur) return;
    NMHDR H;
    if (Notify(H, TCN_SELCHANGING)) return;
    if (!StillAlive() || !Valid(I)) return;
    Select(I);
    NMHDR Done;
    Notify(Done, TCN_SELCHANGE);
  }

  void Select(int I) {
    Cur = I;
    if (Valid(I)) Reveal(I);
    Layout();
    InvalidateRect(Hwnd, nullptr, TRUE);
  }

  // Scrolls a single row so that tab I shows whole.
  void Reveal(int I) {
    if (Has(TCS_MULTILINE)) return;
    Layout();
    if (!Scrolls) return;
    if (I < First) {
      First = I;
      return;
    }
    RECT C = Client();
    while (First < I) {
      Layout();
      if (Shown(I) && Tabs[I].Rect.right <= C.right - ArrowsWidth()) break;
      ++First;
    }
  }

  // ---- painting -----------------------------------------------------------------------------------
  void DrawTabShape(HDC Dc, RECT R, bool Current) {
    COLORREF Light = GetSysColor(COLOR_BTNHIGHLIGHT), Dark = GetSysColor(COLOR_3DDKSHADOW),
             Shadow = GetSysColor(COLOR_BTNSHADOW);
    if (Current) {
      // Taller and wider, and open to the display area: its face covers the area's top edge.
      R.left -= 2;
      R.right += 2;
      R.top -= 2;
      R.bottom += 2;
    }
    RECT Face{R.left + 1, R.top + 1, R.right - 1, R.bottom};
    FillRect(Dc, &Face, GetSysColorBrush(COLOR_BTNFACE));
    auto Line = [&](int X0, int Y0, int X1, int Y1, COLORREF C) {
      RECT L{X0, Y0, X1, Y1};
      HBRUSH B = CreateSolidBrush(C);
      FillRect(Dc, &L, B);
      DeleteObject(B);
    };
    Line(R.left, R.top + 2, R.left + 1, R.bottom, Light);         // left side
    SetPixelV(Dc, R.left + 1, R.top + 1, Light);                   // rounded corner
    Line(R.left + 2, R.top, R.right - 2, R.top + 1, Light);        // top
    SetPixelV(Dc, R.right - 2, R.top + 1, Dark);                   // rounded corner
    Line(R.right - 1, R.top + 2, R.right, R.bottom, Dark);         // right side
    Line(R.right - 2, R.top + 2, R.right - 1, R.bottom, Shadow);
  }

  void DrawContent(HDC Dc, int I, RECT R, bool Current) {
    const Tab& T = Tabs[I];
    if (Has(TCS_OWNERDRAWFIXED)) {
      DRAWITEMSTRUCT D;
      D.CtlType = ODT_TAB;
      D.CtlID = static_cast<UINT>(GetWindowLongPtr(Hwnd, GWLP_ID));
      D.itemID = static_cast<UINT>(I);
      D.itemAction = ODA_DRAWENTIRE;
      D.itemState = Current ? ODS_SELECTED : 0;
      D.hwndItem = Hwnd;
      D.hDC = Dc;
      D.rcItem = R;
      D.itemData = static_cast<ULONG_PTR>(T.Param);
      if (HWND Parent = GetParent(Hwnd)) {
        int Saved = SaveDC(Dc);
        SendMessage(Parent, WM_DRAWITEM, D.CtlID, reinterpret_cast<LPARAM>(&D));
        RestoreDC(Dc, Saved);
      }
      return;
    }
    int Off = Buttons() && (Current || (T.State & TCIS_BUTTONPRESSED)) ? 1 : 0;
    int ContentW = TextWidth(T.Text) + (Images && T.Image >= 0 ? ImageW() + (T.Text.empty() ? 0 : 3) : 0);
    int X = R.left + std::max(kPadX, (R.right - R.left - ContentW) / 2) + Off;
    if (Images && T.Image >= 0) {
      ImageList_Draw(Images, T.Image, Dc, X, (R.top + R.bottom - ImageH()) / 2 + Off, ILD_TRANSPARENT);
      X += ImageW() + 3;
    }
    RECT Text{X, R.top + Off, R.right - 2 + Off, R.bottom + Off};
    SetBkMode(Dc, TRANSPARENT);
    SetTextColor(Dc, GetSysColor(IsWindowEnabled(Hwnd) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    DrawText(Dc, T.Text.c_str(), -1, &Text, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    if (Current && Focused) {
      RECT F{R.left + 3, R.top + 3, R.right - 3, R.bottom - 2};
      SetTextColor(Dc, RGB(0, 0, 0));
      SetBkColor(Dc, RGB(255, 255, 255));
      DrawFocusRect(Dc, &F);
    }
  }

  void Paint(HDC Dc) {
    RECT C = Client();
    FillRect(Dc, &C, GetSysColorBrush(COLOR_BTNFACE));
    HGDIOBJ OldFont = SelectObject(Dc, Font ? Font : DefaultControlFont());
    if (!Buttons()) {
      RECT Panel{0, TabsHeight(), C.right, C.bottom};
      DrawEdge(Dc, &Panel, EDGE_RAISED, BF_RECT | BF_SOFT);
    }
    for (int I = 0; I < Count(); ++I) {
      if (!Shown(I) || I == Cur) continue;
      RECT R = Tabs[I].Rect;
      if (Buttons()) {
        RECT E = R;
        bool Down = (Tabs[I].State & TCIS_BUTTONPRESSED) != 0;
        if (!Has(TCS_FLATBUTTONS) || Down) DrawEdge(Dc, &E, Down ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
      } else {
        DrawTabShape(Dc, R, false);
      }
      DrawContent(Dc, I, R, false);
    }
    if (Shown(Cur)) {
      RECT R = Tabs[Cur].Rect;
      if (Buttons()) {
        RECT E = R;
        if (Has(TCS_FLATBUTTONS)) {
          FillRect(Dc, &E, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
          DrawEdge(Dc, &E, BDR_SUNKENOUTER, BF_RECT);
        } else {
          DrawEdge(Dc, &E, EDGE_SUNKEN, BF_RECT);
        }
      } else {
        DrawTabShape(Dc, R, true);
      }
      DrawContent(Dc, Cur, R, true);
    }
    if (Scrolls) {
      RECT L = ArrowRect(false), Rr = ArrowRect(true);
      RECT Cover{L.left, 0, C.right, TabHeight()};
      FillRect(Dc, &Cover, GetSysColorBrush(COLOR_BTNFACE));
      DrawFrameControl(Dc, &L, DFC_SCROLL, DFCS_SCROLLLEFT | (First > 0 ? 0 : DFCS_INACTIVE));
      DrawFrameControl(Dc, &Rr, DFC_SCROLL, DFCS_SCROLLRIGHT | (Shown(Count() - 1) && Tabs.back().Rect.right <= L.left ? DFCS_INACTIVE : 0));
    }
    SelectObject(Dc, OldFont);
  }

  void Changed() {
    Layout();
    InvalidateRect(Hwnd, nullptr, TRUE);
  }
  void FontSet(bool) { Changed(); }

  LRESULT Handle(UINT Msg, WPARAM WParam, LPARAM LParam);
};

LRESULT TabCtrl::Handle(UINT Msg, WPARAM WParam, LPARAM LParam) {
  const int Index = static_cast<int>(static_cast<INT_PTR>(WParam));
  switch (Msg) {
    case WM_CREATE:
      Layout();
      return 0;
    case WM_SIZE:
      Changed();
      return 0;
    case WM_ENABLE:
    case WM_STYLECHANGED:
      Changed();
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      Focused = Msg == WM_SETFOCUS;
      InvalidateRect(Hwnd, nullptr, TRUE);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_KEYDOWN: {
      NMTCKEYDOWN Kd;
      Kd.wVKey = static_cast<WORD>(WParam);
      Notify(Kd.hdr, TCN_KEYDOWN);
      if (!StillAlive() || Count() == 0) return 0;
      int From = Valid(Cur) ? Cur : 0;
      switch (WParam) {
        case VK_LEFT:
        case VK_UP: Pick(std::max(0, From - 1)); break;
        case VK_RIGHT:
        case VK_DOWN: Pick(std::min(Count() - 1, From + 1)); break;
        case VK_HOME: Pick(0); break;
        case VK_END: Pick(Count() - 1); break;
        default: break;
      }
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      POINT P{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
      if (Scrolls && InRect(ArrowRect(false), P)) {
        if (First > 0) --First;
        Changed();
        return 0;
      }
      if (Scrolls && InRect(ArrowRect(true), P)) {
        if (!(Shown(Count() - 1) && Tabs.back().Rect.right <= ArrowRect(false).left)) ++First;
        Changed();
        return 0;
      }
      int I = HitTab(P);
      if (I < 0) return 0;
      bool TakeFocus = !Has(TCS_FOCUSNEVER) && (!Buttons() || Has(TCS_FOCUSONBUTTONDOWN));
      if (TakeFocus && GetFocus() != Hwnd) SetFocus(Hwnd);
      if (StillAlive()) Pick(I);
      return 0;
    }

    case TCM_GETITEMCOUNT:
      return Count();
    case TCM_INSERTITEM: {
      const auto* Item = reinterpret_cast<const TCITEMA*>(LParam);
      if (!Item || Index < 0) return -1;
      int At = std::min(Index, Count());
      Tab T;
      if ((Item->mask & TCIF_TEXT) && Item->pszText) T.Text = Item->pszText;
      if (Item->mask & TCIF_IMAGE) T.Image = Item->iImage;
      if (Item->mask & TCIF_PARAM) T.Param = Item->lParam;
      if (Item->mask & TCIF_STATE) T.State = Item->dwState & Item->dwStateMask;
      Tabs.insert(Tabs.begin() + At, T);
      if (Cur < 0 && Count() == 1)
        Cur = 0;  // the first tab is current
      else if (Cur >= At)
        ++Cur;
      Changed();
      return At;
    }
    case TCM_DELETEITEM:
      if (!Valid(Index)) return FALSE;
      Tabs.erase(Tabs.begin() + Index);
      if (Cur == Index)
        Cur = -1;
      else if (Cur > Index)
        --Cur;
      First = std::min(First, std::max(0, Count() - 1));
      Changed();
      return TRUE;
    case TCM_DELETEALLITEMS:
      Tabs.clear();
      Cur = -1;
      First = 0;
      Changed();
      return TRUE;
    case TCM_GETITEM: {
      auto* Item = reinterpret_cast<TCITEMA*>(LParam);
      if (!Valid(Index) || !Item) return FALSE;
      const Tab& T = Tabs[Index];
      if ((Item->mask & TCIF_TEXT) && Item->pszText && Item->cchTextMax > 0)
        CopyTextOut(T.Text, static_cast<WPARAM>(Item->cchTextMax), reinterpret_cast<LPARAM>(Item->pszText));
      if (Item->mask & TCIF_IMAGE) Item->iImage = T.Image;
      if (Item->mask & TCIF_PARAM) Item->lParam = T.Param;
      if (Item->mask & TCIF_STATE) Item->dwState = T.State & Item->dwStateMask;
      return TRUE;
    }
    case TCM_SETITEM: {
      const auto* Item = reinterpret_cast<const TCITEMA*>(LParam);
      if (!Valid(Index) || !Item) return FALSE;
      Tab& T = Tabs[Index];
      if (Item->mask & TCIF_TEXT) T.Text = Item->pszText ? Item->pszText : "";
      if (Item->mask & TCIF_IMAGE) T.Image = Item->iImage;
      if (Item->mask & TCIF_PARAM) T.Param = Item->lParam;
      if (Item->mask & TCIF_STATE) T.State = (T.State & ~Item->dwStateMask) | (Item->dwState & Item->dwStateMask);
      Changed();
      return TRUE;
    }
    case TCM_GETCURSEL:
      return Cur;
    case TCM_SETCURSEL: {
      if (!Valid(Index)) return -1;
      int Old = Cur;
      Select(Index);
      return Old;
    }
    case TCM_GETITEMRECT: {
      auto* R = reinterpret_cast<RECT*>(LParam);
      if (!Valid(Index) || !R) return FALSE;
      *R = Tabs[Index].Rect;
      return TRUE;
    }
    case TCM_HITTEST: {
      auto* Info = reinterpret_cast<TCHITTESTINFO*>(LParam);
      if (!Info) return -1;
      return HitTab(Info->pt, &Info->flags);
    }
    case TCM_ADJUSTRECT: {
      auto* R = reinterpret_cast<RECT*>(LParam);
      if (R) *R = Adjust(*R, WParam != 0);
      return 0;
    }
    case TCM_SETITEMSIZE: {
      LRESULT Old = MAKELONG(FixedW > 0 ? FixedW : 0, TabHeight());
      FixedW = LOWORD(LParam);
      FixedH = HIWORD(LParam);
      Changed();
      return Old;
    }
    case TCM_SETMINTABWIDTH: {
      int Old = MinWidth >= 0 ? MinWidth : 2 * kPadX + 12;
      MinWidth = static_cast<int>(static_cast<INT_PTR>(LParam));
      Changed();
      return Old;
    }
    case TCM_GETROWCOUNT:
      return Rows;
    case TCM_SETIMAGELIST: {
      HIMAGELIST Old = Images;
      Images = reinterpret_cast<HIMAGELIST>(LParam);
      Changed();
      return reinterpret_cast<LRESULT>(Old);
    }
    case TCM_GETIMAGELIST:
      return reinterpret_cast<LRESULT>(Images);
    default:
      return DefWindowProc(Hwnd, Msg, WParam, LParam);
  }
}

}  // namespace

void RegisterTabCtrlClass() { RegisterControl<TabCtrl>(WC_TABCONTROL, CS_DBLCLKS, IDC_ARROW); }

}  // namespace k58::builtin
