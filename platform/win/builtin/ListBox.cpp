// The list box: items with text and data, single, multiple and extended selection, sorting,
// owner-drawn fixed and variable rows, type-ahead, scrolling with the standard scroll bars. The same
// procedure serves the drop-down list of a combo box ("ComboLBox"), which reports to its combo box.
#include "platform/win/builtin/ListBox.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/rtl/Utf.h"
#include "platform/win/builtin/CommCtrlInternal.h"

namespace k58::builtin {

namespace {

constexpr UINT_PTR kScrollTimer = 1;
constexpr UINT kScrollInterval = 100;  // auto-scroll while dragging above or below the rows
constexpr DWORD kSearchDelay = 1000;   // type-ahead: keys further apart than this start a new search

struct Item {
  std::string Text;
  ULONG_PTR Data = 0;
  int Height = 0;  // owner-drawn variable rows
  bool Selected = false;
};

struct ListBox : ControlState {
  // A "ComboLBox" window is made with its combo box as the creation parameter.
  ListBox(HWND Window, const CREATESTRUCT& Create) : ControlState(Window) {
    char Class[16] = {};
    GetClassName(Hwnd, Class, sizeof Class);
    if (k58::rtl::CompareNoCase(Class, WC_COMBOLBOX) == 0) Combo = static_cast<HWND>(Create.lpCreateParams);
  }

  HWND Combo = nullptr;  // the combo box of a drop-down list
  bool Dropped = false;
  std::vector<Item> Items;
  HFONT Font = nullptr;
  int ItemHeight = 16;
  int Top = 0;
  int Sel = -1;  // single selection
  int Caret = 0;
  int Anchor = -1;
  int HExtent = 0;
  int HOffset = 0;
  bool Focused = false;
  bool Tracking = false;
  int TrackRow = -1;       // the row the mouse was last over while tracking
  bool TrackValue = true;  // extended selection: what dragging sets the rows to
  // Whether the list has each scroll bar: WS_VSCROLL and WS_HSCROLL as created (the style bits
  // come and go with the bars' visibility afterwards).
  bool WantV = false;
  bool WantH = false;
  bool InScrollUpdate = false;
  bool NoRedraw = false;
  std::string Search;
  DWORD SearchTime = 0;
  WCHAR PendingHigh = 0;
  int WheelRest = 0;
  POINT Mouse{};

  DWORD Style() const { return static_cast<DWORD>(GetWindowLong(Hwnd, GWL_STYLE)); }
  bool Has(DWORD Bits) const { return (Style() & Bits) != 0; }
  int Count() const { return static_cast<int>(Items.size()); }
  bool Valid(int I) const { return I >= 0 && I < Count(); }
  bool Multi() const { return Has(LBS_MULTIPLESEL | LBS_EXTENDEDSEL); }
  bool Extended() const { return Has(LBS_EXTENDEDSEL); }
  bool OwnerDraw() const { return Has(LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE); }
  bool Variable() const { return Has(LBS_OWNERDRAWVARIABLE); }
  bool NoData() const { return Has(LBS_NODATA) && !Has(LBS_HASSTRINGS | LBS_SORT) && Has(LBS_OWNERDRAWFIXED); }
  bool HasStrings() const { return !NoData() && (!OwnerDraw() || Has(LBS_HASSTRINGS)); }
  bool Sorted() const { return Has(LBS_SORT) && !NoData(); }
  int HeightOf(int I) const { return Variable() && Valid(I) ? Items[I].Height : ItemHeight; }

  RECT Client() const {
    RECT R{};
    GetClientRect(Hwnd, &R);
    return R;
  }

  // Where owner-draw requests, colours and notifications go: the parent, or the combo box's parent
  // for a drop-down list.
  HWND OwnerWindow() const { return Combo ? GetParent(Combo) : GetParent(Hwnd); }
  HWND Reporter() const { return Combo ? Combo : Hwnd; }
  UINT CtlId() const { return static_cast<UINT>(GetWindowLongPtr(Reporter(), GWLP_ID)); }
  UINT CtlType() const { return Combo ? ODT_COMBOBOX : ODT_LISTBOX; }

  void Notify(WORD Code) {
    bool Always = Code == LBN_SETFOCUS || Code == LBN_KILLFOCUS || Code == LBN_ERRSPACE;
    if (!Combo && !Always && !Has(LBS_NOTIFY)) return;
    HWND Target = Combo ? Combo : GetParent(Hwnd);
    if (!Target) return;
    UINT Id = static_cast<UINT>(GetWindowLongPtr(Hwnd, GWLP_ID));
    SendMessage(Target, WM_COMMAND, MAKEWPARAM(Id, Code), reinterpret_cast<LPARAM>(Hwnd));
  }

  // ---- geometry -----------------------------------------------------------------------------------
  // Rows fully visible from row From (at least one).
  int PageFrom(int From) const {
    int H = Client().bottom;
    if (!Variable()) return std::max(1, H / std::max(1, ItemHeight));
    int N = 0, Y = 0;
    for (int I = std::max(0, From); I < Count(); ++I) {
      Y += Items[I].Height;
      if (Y > H) break;
      ++N;
    }
    if (From + N >= Count()) N += std::max(0, (H - Y) / std::max(1, ItemHeight));
    return std::max(1, N);
  }
  int Page() const { return PageFrom(Top); }

  // The highest top row that still fills the client area.
  int MaxTop() const {
    if (!Variable()) return std::max(0, Count() - std::max(1, Client().bottom / std::max(1, ItemHeight)));
    int H = Client().bottom, Y = 0, T = Count();
    while (T > 0 && Y + Items[T - 1].Height <= H) Y += Items[--T].Height;
    return std::min(T, std::max(0, Count() - 1));
  }

  int RowTop(int I) const {
    if (!Variable()) return (I - Top) * ItemHeight;
    int Y = 0;
    if (I >= Top)
      for (int K = Top; K < I; ++K) Y += HeightOf(K);
    else
      for (int K = I; K < Top; ++K) Y -= HeightOf(K);
    return Y;
  }

  RECT ItemRect(int I) const {
    RECT C = Client();
    int Y = RowTop(I);
    return RECT{-HOffset, Y, std::max<int>(C.right, HExtent) - HOffset, Y + HeightOf(I)};
  }

  // The row at client height Y, -1 when no row is there.
  int HitRow(int Y) const {
    if (Y < 0 || Count() == 0) return -1;
    if (!Variable()) {
      int I = Top + Y / std::max(1, ItemHeight);
      return I < Count() ? I : -1;
    }
    int Yt = 0;
    for (int I = Top; I < Count(); ++I) {
      Yt += Items[I].Height;
      if (Y < Yt) return I;
    }
    return -1;
  }

  // The visible row nearest to client height Y (for dragging past the edges).
  int NearestRow(int Y) const {
    if (Count() == 0) return -1;
    int I = HitRow(std::clamp<int>(Y, 0, std::max<int>(0, Client().bottom - 1)));
    return I >= 0 ? I : Count() - 1;
  }

  void Invalidate(const RECT* R = nullptr) {
    if (!NoRedraw) InvalidateRect(Hwnd, R, TRUE);
  }
  void InvalidateItem(int I) {
    if (!Valid(I)) return;
    RECT R = ItemRect(I);
    Invalidate(&R);
  }

  void UpdateScrollBars() {
    if (InScrollUpdate || NoRedraw) return;
    InScrollUpdate = true;
    DWORD St = Style();
    for (int Pass = 0; Pass < 2; ++Pass) {
      RECT Before = Client();
      if (WantV) {
        SCROLLINFO Si;
        Si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | ((St & LBS_DISABLENOSCROLL) ? SIF_DISABLENOSCROLL : 0);
        Si.nMin = 0;
        Si.nMax = std::max(Count() - 1, 0);
        Si.nPage = static_cast<UINT>(Count() == 0 ? 1 : Page());
        Si.nPos = Top;
        SetScrollInfo(Hwnd, SB_VERT, &Si, TRUE);
      }
      if (WantH) {
        SCROLLINFO Si;
        Si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | ((St & LBS_DISABLENOSCROLL) ? SIF_DISABLENOSCROLL : 0);
        Si.nMin = 0;
        Si.nMax = std::max(HExtent - 1, 0);
        Si.nPage = static_cast<UINT>(std::max<LONG>(Client().right, 1));
        Si.nPos = HOffset;
        SetScrollInfo(Hwnd, SB_HORZ, &Si, TRUE);
      }
      RECT After = Client();
      if (After.right == Before.right && After.bottom == Before.bottom) break;
      // The bars took or gave room: keep the rows and offset within the new size.
      Top = std::clamp(Top, 0, MaxTop());
      HOffset = std::clamp(HOffset, 0, std::max(0, HExtent - static_cast<int>(After.right)));
    }
    InScrollUpdate = false;
  }

  void SetTop(int T) {
    T = std::clamp(T, 0, MaxTop());
    if (T == Top) return;
    Top = T;
    Invalidate();
    UpdateScrollBars();
  }

  void SetHOffset(int X) {
    X = std::clamp(X, 0, std::max(0, HExtent - static_cast<int>(Client().right)));
    if (X == HOffset) return;
    HOffset = X;
    Invalidate();
    UpdateScrollBars();
  }

  // Scrolls so that row I is fully visible (or, with Partial, at least partly visible).
  void EnsureVisible(int I, bool Partial = false) {
    if (!Valid(I)) return;
    if (I < Top) {
      SetTop(I);
      return;
    }
    int H = Client().bottom;
    RECT R = ItemRect(I);
    if (Partial ? R.top < H : R.bottom <= H) return;
    if (!Variable()) {
      SetTop(I - std::max(1, H / std::max(1, ItemHeight)) + 1);
      return;
    }
    int T = Top;
    while (T < I) {
      int Y = 0;
      for (int K = T; K <= I; ++K) Y += Items[K].Height;
      if (Y <= H) break;
      ++T;
    }
    SetTop(T);
  }

  // ---- selection ----------------------------------------------------------------------------------
  bool IsSelected(int I) const { return Multi() ? (Valid(I) && Items[I].Selected) : (I == Sel && I >= 0); }

  // Single selection; answers whether it changed.
  bool SetSingle(int I) {
    if (I == Sel) return false;
    InvalidateItem(Sel);
    Sel = I;
    InvalidateItem(Sel);
    return true;
  }
  bool SetItemSel(int I, bool On) {
    if (!Valid(I) || Items[I].Selected == On) return false;
    Items[I].Selected = On;
    InvalidateItem(I);
    return true;
  }
  // Selects the rows From..To (either order); with Only, every other row loses its selection.
  bool SelectRange(int From, int To, bool On, bool Only) {
    if (From > To) std::swap(From, To);
    bool Changed = false;
    for (int I = 0; I < Count(); ++I) {
      bool Inside = I >= From && I <= To;
      if (Inside)
        Changed |= SetItemSel(I, On);
      else if (Only)
        Changed |= SetItemSel(I, false);
    }
    return Changed;
  }
  void SetCaret(int I) {
    if (I == Caret) return;
    InvalidateItem(Caret);
    Caret = I;
    InvalidateItem(Caret);
  }

  // ---- items --------------------------------------------------------------------------------------
  void Measure(int I) {
    MEASUREITEMSTRUCT M;
    M.CtlType = CtlType();
    M.CtlID = CtlId();
    M.itemID = static_cast<UINT>(I);
    M.itemWidth = static_cast<UINT>(Client().right);
    M.itemHeight = static_cast<UINT>(ItemHeight);
    M.itemData = HasStrings() ? reinterpret_cast<ULONG_PTR>(Items[I].Text.c_str()) : Items[I].Data;
    if (HWND Owner = OwnerWindow()) SendMessage(Owner, WM_MEASUREITEM, M.CtlID, reinterpret_cast<LPARAM>(&M));
    Items[I].Height = std::max<int>(1, static_cast<int>(M.itemHeight));
  }

  // Owner's order of two rows of a sorted list without strings.
  int CompareData(const Item& A, int IndexB) {
    COMPAREITEMSTRUCT C;
    C.CtlType = CtlType();
    C.CtlID = CtlId();
    C.hwndItem = Reporter();
    C.itemID1 = static_cast<UINT>(-1);
    C.itemData1 = A.Data;
    C.itemID2 = static_cast<UINT>(IndexB);
    C.itemData2 = Items[IndexB].Data;
    HWND Owner = OwnerWindow();
    return Owner ? static_cast<int>(SendMessage(Owner, WM_COMPAREITEM, C.CtlID, reinterpret_cast<LPARAM>(&C))) : 1;
  }

  // Sorted insertion point: after the rows that compare equal.
  int SortedPosition(const Item& It) {
    int Lo = 0, Hi = Count();
    while (Lo < Hi) {
      int Mid = (Lo + Hi) / 2;
      int C = HasStrings() ? k58::rtl::CompareNoCase(It.Text, Items[Mid].Text) : CompareData(It, Mid);
      if (C < 0)
        Hi = Mid;
      else
        Lo = Mid + 1;
    }
    return Lo;
  }

  int Insert(int At, Item It) {
    Items.insert(Items.begin() + At, std::move(It));
    if (Variable()) Measure(At);
    if (Sel >= At) ++Sel;
    if (Count() > 1 && Caret >= At) ++Caret;
    if (Anchor >= At) ++Anchor;
    Invalidate();
    UpdateScrollBars();
    return At;
  }

  Item NewItem(LPARAM LParam) const {
    Item It;
    if (HasStrings())
      It.Text = LParam ? reinterpret_cast<const char*>(LParam) : "";
    else
      It.Data = static_cast<ULONG_PTR>(LParam);
    return It;
  }

  void AfterRemoval() {
    Caret = std::clamp(Caret, 0, std::max(0, Count() - 1));
    if (Anchor >= Count()) Anchor = -1;
    Top = std::clamp(Top, 0, MaxTop());
    Invalidate();
    UpdateScrollBars();
  }

  LRESULT Delete(int I) {
    if (!Valid(I)) return LB_ERR;
    Items.erase(Items.begin() + I);
    if (Sel == I)
      Sel = -1;
    else if (Sel > I)
      --Sel;
    if (Caret > I) --Caret;
    if (Anchor == I)
      Anchor = -1;
    else if (Anchor > I)
      --Anchor;
    AfterRemoval();
    return Count();
  }

  void Reset() {
    Items.clear();
    Sel = -1;
    Caret = 0;
    Anchor = -1;
    Top = 0;
    AfterRemoval();
  }

  // First row after Start (wrapping round) that matches; -1 when none.
  int Find(int Start, LPARAM What, bool Exact) const {
    if (Count() == 0 || NoData()) return -1;
    if (Start < -1 || Start >= Count()) Start = -1;
    std::string Text = HasStrings() && What ? reinterpret_cast<const char*>(What) : "";
    for (int K = 1; K <= Count(); ++K) {
      int I = (Start + K) % Count();
      if (!HasStrings()) {
        if (Items[I].Data == static_cast<ULONG_PTR>(What)) return I;
      } else if (Exact ? k58::rtl::CompareNoCase(Items[I].Text, Text) == 0 : k58::rtl::StartsWithNoCase(Items[I].Text, Text)) {
        return I;
      }
    }
    return -1;
  }

  // ---- painting -----------------------------------------------------------------------------------
  HBRUSH Colours(HDC Dc) {
    HWND Owner = OwnerWindow();
    LRESULT R = Owner ? SendMessage(Owner, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(Dc),
                                    reinterpret_cast<LPARAM>(Hwnd))
                      : 0;
    if (!R)
      R = DefWindowProc(Hwnd, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(Dc), reinterpret_cast<LPARAM>(Hwnd));
    return reinterpret_cast<HBRUSH>(R);
  }

  void DrawFocus(HDC Dc, const RECT& R) {
    COLORREF OldText = SetTextColor(Dc, RGB(0, 0, 0));
    COLORREF OldBk = SetBkColor(Dc, RGB(255, 255, 255));
    DrawFocusRect(Dc, &R);
    SetTextColor(Dc, OldText);
    SetBkColor(Dc, OldBk);
  }

  bool ShowsFocus(int I) const { return Focused && !Combo && I == Caret; }

  void DrawOwner(HDC Dc, int I, const RECT& R, UINT Action, UINT State) {
    DRAWITEMSTRUCT D;
    D.CtlType = CtlType();
    D.CtlID = CtlId();
    D.itemID = static_cast<UINT>(I);
    D.itemAction = Action;
    D.itemState = State;
    D.hwndItem = Reporter();
    D.hDC = Dc;
    D.rcItem = R;
    D.itemData = Valid(I) ? Items[I].Data : 0;
    HWND Owner = OwnerWindow();
    if (!Owner) return;
    int Saved = SaveDC(Dc);
    IntersectClipRect(Dc, R.left, R.top, R.right, R.bottom);
    SendMessage(Owner, WM_DRAWITEM, D.CtlID, reinterpret_cast<LPARAM>(&D));
    RestoreDC(Dc, Saved);
  }

  void DrawRow(HDC Dc, int I, const RECT& R, HBRUSH Back, COLORREF Text) {
    bool Selected = IsSelected(I);
    bool Enabled = IsWindowEnabled(Hwnd) != FALSE;
    if (OwnerDraw()) {
      UINT State = (Selected ? ODS_SELECTED : 0) | (ShowsFocus(I) ? ODS_FOCUS : 0) | (Enabled ? 0 : ODS_DISABLED);
      DrawOwner(Dc, I, R, ODA_DRAWENTIRE, State);
      return;
    }
    FillRect(Dc, &R, Selected ? GetSysColorBrush(COLOR_HIGHLIGHT) : Back);
    SetBkMode(Dc, TRANSPARENT);
    SetTextColor(Dc, !Enabled ? GetSysColor(COLOR_GRAYTEXT) : Selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : Text);
    RECT T = R;
    T.left += 2;
    UINT Format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | (Has(LBS_USETABSTOPS) ? DT_EXPANDTABS : 0);
    DrawText(Dc, Items[I].Text.c_str(), -1, &T, Format);
    if (ShowsFocus(I)) DrawFocus(Dc, R);
  }

  void Paint(HDC Dc) {
    RECT C = Client();
    HGDIOBJ OldFont = SelectObject(Dc, Font ? Font : DefaultControlFont());
    HBRUSH Back = Colours(Dc);
    COLORREF Text = GetTextColor(Dc);
    int Y = 0;
    for (int I = Top; I < Count() && Y < C.bottom; ++I) {
      RECT R = ItemRect(I);
      DrawRow(Dc, I, R, Back, Text);
      Y = R.bottom;
    }
    RECT Rest{0, Y, C.right, C.bottom};
    if (Rest.top < Rest.bottom) FillRect(Dc, &Rest, Back);
    if (Count() == 0 && Focused && !Combo) {
      RECT R{0, 0, C.right, ItemHeight};
      if (OwnerDraw())
        DrawOwner(Dc, -1, R, ODA_FOCUS, ODS_FOCUS);
      else
        DrawFocus(Dc, R);
    }
    SelectObject(Dc, OldFont);
  }

  // ---- user input ---------------------------------------------------------------------------------
  bool CanSelect() const { return !Has(LBS_NOSEL); }

  // Moves the caret to I the way a key press does, selecting as the style says.
  void KeyMoveTo(int I, bool Shift, bool Ctrl) {
    if (Count() == 0) return;
    I = std::clamp(I, 0, Count() - 1);
    bool Changed = false;
    if (!CanSelect()) {
      SetCaret(I);
    } else if (!Multi()) {
      Changed = SetSingle(I);
      SetCaret(I);
    } else if (!Extended()) {
      SetCaret(I);  // multiple selection: the space bar selects
    } else if (Shift) {
      if (Anchor < 0) Anchor = Caret;
      Changed = SelectRange(Anchor, I, true, !Ctrl);
      SetCaret(I);
    } else if (Ctrl) {
      SetCaret(I);
    } else {
      Changed = SelectRange(I, I, true, true);
      Anchor = I;
      SetCaret(I);
    }
    EnsureVisible(I);
    if (Changed) Notify(LBN_SELCHANGE);
  }

  void KeyDown(WPARAM Vk) {
    if (Has(LBS_WANTKEYBOARDINPUT) && !Combo) {
      LRESULT R = SendMessage(GetParent(Hwnd), WM_VKEYTOITEM, MAKEWPARAM(Vk, Caret), reinterpret_cast<LPARAM>(Hwnd));
      if (R == -2) return;
      if (R >= 0 && Valid(static_cast<int>(R))) SetCaret(static_cast<int>(R));
    }
    bool Shift = GetKeyState(VK_SHIFT) < 0;
    bool Ctrl = GetKeyState(VK_CONTROL) < 0;
    // With no selection yet, the first arrow key selects the caret row itself.
    int From = Caret;
    int Step = (!Multi() && Sel < 0) ? 0 : 1;
    int PageStep = std::max(1, Page() - 1);
    switch (Vk) {
      case VK_UP:
      case VK_LEFT: KeyMoveTo(From - Step, Shift, Ctrl); break;
      case VK_DOWN:
      case VK_RIGHT: KeyMoveTo(From + Step, Shift, Ctrl); break;
      case VK_PRIOR: KeyMoveTo(From - PageStep, Shift, Ctrl); break;
      case VK_NEXT: KeyMoveTo(From + PageStep, Shift, Ctrl); break;
      case VK_HOME: KeyMoveTo(0, Shift, Ctrl); break;
      case VK_END: KeyMoveTo(Count() - 1, Shift, Ctrl); break;
      case VK_SPACE:
        if (Multi() && Valid(Caret) && CanSelect()) {
          bool Changed;
          if (!Extended() || Ctrl) {
            Changed = SetItemSel(Caret, !Items[Caret].Selected);
            Anchor = Caret;
          } else if (Shift) {
            if (Anchor < 0) Anchor = Caret;
            Changed = SelectRange(Anchor, Caret, true, true);
          } else {
            Changed = SelectRange(Caret, Caret, true, true);
            Anchor = Caret;
          }
          if (Changed) Notify(LBN_SELCHANGE);
        }
        break;
      default: break;
    }
  }

  void Char(WPARAM Ch) {
    if (Has(LBS_WANTKEYBOARDINPUT) && !HasStrings() && !Combo) {
      LRESULT R = SendMessage(GetParent(Hwnd), WM_CHARTOITEM, MAKEWPARAM(Ch, Caret), reinterpret_cast<LPARAM>(Hwnd));
      if (R >= 0 && Valid(static_cast<int>(R))) KeyMoveTo(static_cast<int>(R), false, false);
      return;
    }
    if (!HasStrings() || Count() == 0) return;
    char32_t Cp;
    if (!k58::rtl::JoinTypedUnit(PendingHigh, static_cast<char16_t>(Ch), Cp)) return;
    if (Cp < 0x20 || (Cp == ' ' && Multi())) return;
    std::string Piece;
    k58::rtl::AppendUtf8(Piece, Cp);
    DWORD Now = GetTickCount();
    if (Now - SearchTime > kSearchDelay) Search.clear();
    SearchTime = Now;
    // Pressing one letter again and again steps through the rows that start with it.
    bool Repeat = !Search.empty() && Search.size() % Piece.size() == 0 && [&] {
      for (size_t K = 0; K < Search.size(); K += Piece.size())
        if (Search.compare(K, Piece.size(), Piece) != 0) return false;
      return true;
    }();
    Search += Piece;
    int Found;
    if (Repeat || Search == Piece) {
      Found = Find(Caret, reinterpret_cast<LPARAM>(Piece.c_str()), false);
    } else {
      Found = Find(Caret - 1, reinterpret_cast<LPARAM>(Search.c_str()), false);
    }
    if (Found >= 0) KeyMoveTo(Found, false, false);
  }

  void ButtonDown(POINT P, WPARAM Keys, bool Double) {
    if (Combo && Dropped) {
      RECT C = Client();
      if (!InRect(C, P)) {
        POINT S = P;
        ClientToScreen(Hwnd, &S);
        SendMessage(Combo, CBX_LISTCLOSE, FALSE, MAKELPARAM(S.x, S.y));
        return;
      }
    }
    // A list box takes the focus; the list of a simple combo box gives it to the combo box.
    HWND Focus = GetFocus();
    if (!Combo && Focus != Hwnd)
      SetFocus(Hwnd);
    else if (Combo && Focus != Combo && !IsChild(Combo, Focus))
      SetFocus(Combo);
    if (!StillAlive()) return;
    int I = HitRow(P.y);
    if (I < 0) return;
    bool Shift = (Keys & MK_SHIFT) != 0;
    bool Ctrl = (Keys & MK_CONTROL) != 0;
    bool Changed = false;
    TrackValue = true;
    if (CanSelect()) {
      if (!Multi()) {
        Changed = SetSingle(I);
      } else if (!Extended()) {
        Changed = SetItemSel(I, !Items[I].Selected);
        Anchor = I;
      } else if (Shift) {
        if (Anchor < 0) Anchor = Caret;
        Changed = SelectRange(Anchor, I, true, !Ctrl);
      } else if (Ctrl) {
        TrackValue = !Items[I].Selected;
        Changed = SetItemSel(I, TrackValue);
        Anchor = I;
      } else {
        Changed = SelectRange(I, I, true, true);
        Anchor = I;
      }
    }
    SetCaret(I);
    TrackRow = I;
    Tracking = Multi() ? Extended() : true;
    Mouse = P;
    if (Tracking) {
      SetCapture(Hwnd);
      SetTimer(Hwnd, kScrollTimer, kScrollInterval, nullptr);
    }
    if (Changed) Notify(LBN_SELCHANGE);
    if (Double && StillAlive()) Notify(LBN_DBLCLK);
  }

  // Selection follows the mouse while a button is down (single and extended selection), and in a
  // dropped combo list without one.
  void TrackTo(POINT P) {
    Mouse = P;
    if (Count() == 0) return;
    RECT C = Client();
    if (Combo && Dropped && !Tracking) {
      if (!InRect(C, P)) return;
      int I = HitRow(P.y);
      if (I >= 0) {
        SetSingle(I);
        SetCaret(I);
      }
      return;
    }
    if (!Tracking || !CanSelect()) return;
    int I = NearestRow(P.y);
    if (I < 0 || I == TrackRow) return;
    if (Combo && Dropped && !InRect(C, P) && (P.y >= 0 && P.y < C.bottom)) return;
    TrackRow = I;
    bool Changed;
    if (!Multi())
      Changed = SetSingle(I);
    else
      Changed = SelectRange(Anchor < 0 ? I : Anchor, I, TrackValue, !(GetKeyState(VK_CONTROL) < 0));
    SetCaret(I);
    EnsureVisible(I);
    if (Changed && !Combo) Notify(LBN_SELCHANGE);
  }

  void AutoScroll() {
    if (!Tracking) return;
    RECT C = Client();
    POINT Keep = Mouse;
    if (Mouse.y < 0 && Top > 0) {
      SetTop(Top - 1);
      TrackTo(POINT{Mouse.x, 0});
    } else if (Mouse.y >= C.bottom && Top < MaxTop()) {
      SetTop(Top + 1);
      TrackTo(POINT{Mouse.x, C.bottom - 1});
    }
    Mouse = Keep;
  }

  void EndTracking() {
    if (!Tracking) return;
    Tracking = false;
    KillTimer(Hwnd, kScrollTimer);
    if (GetCapture() == Hwnd && !(Combo && Dropped)) ReleaseCapture();
  }

  void ButtonUp(POINT P) {
    EndTracking();
    if (Combo && Dropped) {
      RECT C = Client();
      int I = InRect(C, P) ? HitRow(P.y) : -1;
      if (I >= 0) {
        SetSingle(I);
        SendMessage(Combo, CBX_LISTCLOSE, TRUE, 0);
      }
    }
  }

  void Scroll(bool Vertical, WORD Code) {
    SCROLLINFO Si;
    Si.fMask = SIF_ALL;
    GetScrollInfo(Hwnd, Vertical ? SB_VERT : SB_HORZ, &Si);
    if (Vertical) {
      int PageStep = std::max(1, Page() - 1);
      switch (Code) {
        case SB_LINEUP: SetTop(Top - 1); break;
        case SB_LINEDOWN: SetTop(Top + 1); break;
        case SB_PAGEUP: SetTop(Top - PageStep); break;
        case SB_PAGEDOWN: SetTop(Top + PageStep); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: SetTop(Si.nTrackPos); break;
        case SB_TOP: SetTop(0); break;
        case SB_BOTTOM: SetTop(MaxTop()); break;
        default: break;
      }
    } else {
      int Line = 8;
      int Width = std::max<int>(1, Client().right);
      switch (Code) {
        case SB_LINELEFT: SetHOffset(HOffset - Line); break;
        case SB_LINERIGHT: SetHOffset(HOffset + Line); break;
        case SB_PAGELEFT: SetHOffset(HOffset - Width); break;
        case SB_PAGERIGHT: SetHOffset(HOffset + Width); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: SetHOffset(Si.nTrackPos); break;
        case SB_LEFT: SetHOffset(0); break;
        case SB_RIGHT: SetHOffset(HExtent); break;
        default: break;
      }
    }
  }

  void Wheel(int Delta) {
    UINT Lines = 3;
    SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &Lines, 0);
    WheelRest += Delta;
    int Notches = WheelRest / WHEEL_DELTA;
    WheelRest -= Notches * WHEEL_DELTA;
    if (Notches) SetTop(Top - Notches * static_cast<int>(std::min<UINT>(Lines, static_cast<UINT>(Page()))));
  }

  // Keeps the height a whole number of rows unless the style says otherwise; answers the height to
  // use for a window height Cy.
  int IntegralHeight(int Cy) const {
    if (Has(LBS_NOINTEGRALHEIGHT) || Variable() || Combo || ItemHeight <= 0) return Cy;
    RECT W{}, C{};
    GetWindowRect(Hwnd, &W);
    GetClientRect(Hwnd, &C);
    int Frame = (W.bottom - W.top) - C.bottom;
    int Inside = Cy - Frame;
    if (Inside <= ItemHeight) return Cy;
    return Frame + Inside / ItemHeight * ItemHeight;
  }

  void FontChanged(HFONT F) {
    Font = F;
    if (!OwnerDraw()) {
      int H = 0, W = 0;
      FontMetrics(Font, H, W);
      ItemHeight = std::max(1, H);
    }
  }
  void FontSet(bool Redraw) {
    FontChanged(Font);
    Top = std::clamp(Top, 0, MaxTop());
    UpdateScrollBars();
    if (Redraw) Invalidate();
  }

  LRESULT Handle(UINT Msg, WPARAM WParam, LPARAM LParam);
};

LRESULT ListBox::Handle(UINT Msg, WPARAM WParam, LPARAM LParam) {
  const int Index = static_cast<int>(static_cast<INT_PTR>(WParam));
  switch (Msg) {
    case WM_CREATE: {
      FontChanged(nullptr);
      if (Has(LBS_OWNERDRAWFIXED) && !Combo) {
        MEASUREITEMSTRUCT M;
        M.CtlType = ODT_LISTBOX;
        M.CtlID = CtlId();
        M.itemWidth = static_cast<UINT>(Client().right);
        M.itemHeight = static_cast<UINT>(ItemHeight);
        if (HWND Owner = OwnerWindow()) SendMessage(Owner, WM_MEASUREITEM, M.CtlID, reinterpret_cast<LPARAM>(&M));
        ItemHeight = std::max<int>(1, static_cast<int>(M.itemHeight));
      }
      NoRedraw = Has(LBS_NOREDRAW);
      WantV = Has(WS_VSCROLL);
      WantH = Has(WS_HSCROLL);
      RECT W{};
      GetWindowRect(Hwnd, &W);
      if (int Cy = IntegralHeight(W.bottom - W.top); Cy != W.bottom - W.top)
        SetWindowPos(Hwnd, nullptr, 0, 0, W.right - W.left, Cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      UpdateScrollBars();
      return 0;
    }
    case WM_NCDESTROY:
      KillTimer(Hwnd, kScrollTimer);
      return DefWindowProc(Hwnd, Msg, WParam, LParam);
    case WM_SIZE:
      Top = std::clamp(Top, 0, MaxTop());
      HOffset = std::clamp(HOffset, 0, std::max(0, HExtent - static_cast<int>(Client().right)));
      UpdateScrollBars();
      Invalidate();
      return 0;
    case WM_WINDOWPOSCHANGING:
      if (auto* Pos = reinterpret_cast<WINDOWPOS*>(LParam); Pos && !(Pos->flags & SWP_NOSIZE))
        Pos->cy = IntegralHeight(Pos->cy);
      return DefWindowProc(Hwnd, Msg, WParam, LParam);
    case WM_SETREDRAW:
      DefWindowProc(Hwnd, Msg, WParam, LParam);
      NoRedraw = WParam == 0;
      if (!NoRedraw) {
        UpdateScrollBars();
        Invalidate();
      }
      return 0;
    case WM_ENABLE:
    case WM_STYLECHANGED:
      Invalidate();
      return 0;
    case WM_SETFOCUS:
      Focused = true;
      InvalidateItem(Caret);
      if (Count() == 0) Invalidate();
      Notify(LBN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      Focused = false;
      EndTracking();
      InvalidateItem(Caret);
      if (Count() == 0) Invalidate();
      Notify(LBN_KILLFOCUS);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_KEYDOWN:
      KeyDown(WParam);
      return 0;
    case WM_CHAR:
      Char(WParam);
      return 0;
    case WM_MOUSEACTIVATE:
      if (Combo) return MA_NOACTIVATE;
      return DefWindowProc(Hwnd, Msg, WParam, LParam);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      ButtonDown(POINT{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)}, WParam, Msg == WM_LBUTTONDBLCLK);
      return 0;
    case WM_MOUSEMOVE:
      TrackTo(POINT{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)});
      return 0;
    case WM_LBUTTONUP:
      ButtonUp(POINT{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)});
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(LParam) != Hwnd) {
        Tracking = false;
        KillTimer(Hwnd, kScrollTimer);
        // Something else took the mouse while the list was dropped: the drop-down ends.
        if (Combo && Dropped) SendMessage(Combo, CBX_LISTCLOSE, FALSE, -1);
      }
      return 0;
    case WM_CANCELMODE:
      EndTracking();
      if (Combo && Dropped) SendMessage(Combo, CBX_LISTCLOSE, FALSE, -1);
      return 0;
    case WM_TIMER:
      if (WParam == kScrollTimer) AutoScroll();
      return 0;
    case WM_MOUSEWHEEL:
      if (Count() > 0) Wheel(GET_WHEEL_DELTA_WPARAM(WParam));
      return 0;
    case WM_VSCROLL:
    case WM_HSCROLL:
      Scroll(Msg == WM_VSCROLL, LOWORD(WParam));
      return 0;

    case LBX_SETDROPPED:
      Dropped = WParam != 0;
      if (!Dropped) EndTracking();
      return 0;

    case LB_ADDSTRING: {
      if (NoData()) return LB_ERR;
      Item It = NewItem(LParam);
      int At = Sorted() ? SortedPosition(It) : Count();
      return Insert(At, std::move(It));
    }
    case LB_INSERTSTRING: {
      if (NoData()) return LB_ERR;
      int At = Index == -1 ? Count() : Index;
      if (At < 0 || At > Count()) return LB_ERR;
      return Insert(At, NewItem(LParam));
    }
    case LB_DELETESTRING:
      return Delete(Index);
    case LB_RESETCONTENT:
      Reset();
      return LB_OKAY;
    case LB_SETCOUNT: {
      if (!NoData() || Index < 0) return LB_ERR;
      Items.resize(static_cast<size_t>(Index));
      if (Sel >= Count()) Sel = -1;
      AfterRemoval();
      return LB_OKAY;
    }
    case LB_GETCOUNT:
      return Count();
    case LB_GETTEXT: {
      if (!Valid(Index) || !LParam) return LB_ERR;
      if (!HasStrings()) {
        std::memcpy(reinterpret_cast<void*>(LParam), &Items[Index].Data, sizeof(ULONG_PTR));
        return sizeof(ULONG_PTR);
      }
      const std::string& T = Items[Index].Text;
      std::memcpy(reinterpret_cast<char*>(LParam), T.c_str(), T.size() + 1);
      return static_cast<LRESULT>(T.size());
    }
    case LB_GETTEXTLEN:
      if (!Valid(Index)) return LB_ERR;
      return HasStrings() ? static_cast<LRESULT>(Items[Index].Text.size()) : static_cast<LRESULT>(sizeof(ULONG_PTR));
    case LB_SETCURSEL:
      if (Multi()) return LB_ERR;
      if (Index == -1) {
        SetSingle(-1);
        return LB_ERR;
      }
      if (!Valid(Index)) return LB_ERR;
      SetSingle(Index);
      SetCaret(Index);
      EnsureVisible(Index);
      return Index;
    case LB_GETCURSEL:
      if (Multi()) return Count() ? Caret : LB_ERR;
      return Sel >= 0 ? Sel : LB_ERR;
    case LB_SETSEL: {
      if (!Multi()) return LB_ERR;
      int I = static_cast<int>(static_cast<INT_PTR>(LParam));
      if (I == -1) {
        SelectRange(0, Count() - 1, WParam != 0, false);
        return LB_OKAY;
      }
      if (!Valid(I)) return LB_ERR;
      SetItemSel(I, WParam != 0);
      return LB_OKAY;
    }
    case LB_GETSEL:
      if (!Valid(Index)) return LB_ERR;
      return IsSelected(Index) ? 1 : 0;
    case LB_GETSELCOUNT:
      if (!Multi()) return LB_ERR;
      return std::count_if(Items.begin(), Items.end(), [](const Item& It) { return It.Selected; });
    case LB_GETSELITEMS: {
      if (!Multi()) return LB_ERR;
      auto* Out = reinterpret_cast<INT*>(LParam);
      int N = 0;
      for (int I = 0; I < Count() && N < Index && Out; ++I)
        if (Items[I].Selected) Out[N++] = I;
      return N;
    }
    case LB_SELITEMRANGE: {
      if (!Multi()) return LB_ERR;
      int First = LOWORD(LParam), Last = HIWORD(LParam);
      if (Count() == 0) return LB_OKAY;
      First = std::min(First, Count() - 1);
      Last = std::min(Last, Count() - 1);
      SelectRange(First, Last, WParam != 0, false);
      return LB_OKAY;
    }
    case LB_SETTOPINDEX:
      if (!Valid(Index) && !(Index == 0 && Count() == 0)) return LB_ERR;
      SetTop(Index);
      return LB_OKAY;
    case LB_GETTOPINDEX:
      return Top;
    case LB_SETITEMDATA:
      if (!Valid(Index) || NoData()) return LB_ERR;
      Items[Index].Data = static_cast<ULONG_PTR>(LParam);
      return TRUE;
    case LB_GETITEMDATA:
      if (!Valid(Index)) return LB_ERR;
      return static_cast<LRESULT>(Items[Index].Data);
    case LB_SETITEMHEIGHT: {
      int H = LOWORD(LParam);
      if (H <= 0 || H > 255) return LB_ERR;
      if (Variable()) {
        if (!Valid(Index)) return LB_ERR;
        Items[Index].Height = H;
      } else {
        ItemHeight = H;
      }
      Top = std::clamp(Top, 0, MaxTop());
      Invalidate();
      UpdateScrollBars();
      return LB_OKAY;
    }
    case LB_GETITEMHEIGHT:
      if (Variable() && Count() > 0) return Valid(Index) ? Items[Index].Height : LB_ERR;
      return ItemHeight;
    case LB_GETITEMRECT: {
      if (!Valid(Index) || !LParam) return LB_ERR;
      *reinterpret_cast<RECT*>(LParam) = ItemRect(Index);
      return LB_OKAY;
    }
    case LB_ITEMFROMPOINT: {
      // The nearest row; the high word is 1 when the point is on no row of the client area.
      POINT P{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
      RECT C = Client();
      bool Outside = !InRect(C, P) || HitRow(P.y) < 0;
      int I = Count() == 0 ? 0 : NearestRow(P.y);
      return MAKELONG(static_cast<WORD>(I), Outside ? 1 : 0);
    }
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT: {
      int I = Find(Index, LParam, Msg == LB_FINDSTRINGEXACT);
      return I >= 0 ? I : LB_ERR;
    }
    case LB_SELECTSTRING: {
      if (Multi()) return LB_ERR;
      int I = Find(Index, LParam, false);
      if (I < 0) return LB_ERR;
      SetSingle(I);
      SetCaret(I);
      EnsureVisible(I);
      return I;
    }
    case LB_SETHORIZONTALEXTENT:
      HExtent = std::max(0, Index);
      HOffset = std::clamp(HOffset, 0, std::max(0, HExtent - static_cast<int>(Client().right)));
      UpdateScrollBars();
      Invalidate();
      return 0;
    case LB_GETHORIZONTALEXTENT:
      return HExtent;
    case LB_SETCARETINDEX:
      if (!Valid(Index)) return LB_ERR;
      SetCaret(Index);
      EnsureVisible(Index, LParam != 0);
      return LB_OKAY;
    case LB_GETCARETINDEX:
      return Caret;
    case LB_SETANCHORINDEX:
      if (!Valid(Index)) return LB_ERR;
      Anchor = Index;
      return LB_OKAY;
    case LB_GETANCHORINDEX:
      return Anchor;
    default:
      return DefWindowProc(Hwnd, Msg, WParam, LParam);
  }
}

}  // namespace

void RegisterListBoxClass() { RegisterControl<ListBox>(WC_LISTBOX, CS_DBLCLKS, IDC_ARROW); }

void RegisterComboLBoxClass() {
  RegisterControl<ListBox>(WC_COMBOLBOX, CS_DBLCLKS | CS_SAVEBITS, IDC_ARROW);
}

}  // namespace k58::builtin
