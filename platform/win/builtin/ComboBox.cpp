// The combo box: a selection field (an edit control, or a drawn field for CBS_DROPDOWNLIST) over a
// list box, the list either always shown below (CBS_SIMPLE) or dropped down as a popup
// ("ComboLBox") by the button, F4 or Alt+Down and closed by a choice, Enter, Esc, a click outside or
// the loss of the focus.
//
// While the list is dropped its highlight moves with the mouse and the keys; the combo box's
// selection changes only when the drop-down ends with a choice (CBN_SELENDOK, CBN_CLOSEUP, then
// CBN_SELCHANGE when the row differs). The edit text follows the selection before CBN_SELCHANGE.
#include <algorithm>
#include <string>

#include "platform/win/builtin/ComboBox.h"

#include "platform/win/builtin/CommCtrlInternal.h"
#include "platform/win/builtin/ListBox.h"

namespace k58::builtin {

namespace {

constexpr int kEdge = 2;         // sunken edge around the field
constexpr int kEditId = 1001;    // the edit part's control id
constexpr int kListId = 1000;    // the list part's control id
constexpr int kDefaultRows = 8;  // drop-down height when none was given

struct Combo : ControlState {
  Combo(HWND Window, const CREATESTRUCT&) : ControlState(Window) {
    // Scroll bars asked of a combo box are its list's (which always has the vertical one), never the
    // field's own.
    if (DWORD St = static_cast<DWORD>(GetWindowLong(Hwnd, GWL_STYLE)); St & (WS_VSCROLL | WS_HSCROLL))
      SetWindowLong(Hwnd, GWL_STYLE, static_cast<LONG>(St & ~(WS_VSCROLL | WS_HSCROLL)));
  }

  HWND Edit = nullptr;
  HWND List = nullptr;
  WNDPROC EditProc = nullptr;
  HFONT Font = nullptr;
  int FieldHeight = 15;  // height of the selection item (CB_GETITEMHEIGHT -1)
  int DropHeight = 0;    // height of the dropped list, from the height the combo box was given
  int DroppedWidth = 0;
  bool Dropped = false;
  int Original = -1;  // the selection when the list dropped
  std::string OriginalText;   // the edit text then
  bool TextFromList = false;  // the edit text shows the highlighted row, not what was typed
  bool Focused = false;
  bool InternalText = false;  // the edit text is being set by the combo box itself
  bool Closing = false;
  bool SwallowChar = false;  // the Enter or Esc that ended a drop-down is not typed into the edit part

  DWORD Style() const { return static_cast<DWORD>(GetWindowLong(Hwnd, GWL_STYLE)); }
  DWORD Kind() const { return Style() & 3; }
  bool Simple() const { return Kind() == CBS_SIMPLE; }
  bool DropList() const { return Kind() == CBS_DROPDOWNLIST; }
  bool OwnerDraw() const { return (Style() & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) != 0; }
  bool HasStrings() const { return !OwnerDraw() || (Style() & CBS_HASSTRINGS); }
  UINT Id() const { return static_cast<UINT>(GetWindowLongPtr(Hwnd, GWLP_ID)); }

  void Notify(WORD Code) {
    if (StillAlive()) NotifyCommand(Hwnd, Code);
  }

  LRESULT ToList(UINT Msg, WPARAM W = 0, LPARAM L = 0) const { return List ? SendMessage(List, Msg, W, L) : CB_ERR; }
  int ListSel() const { return static_cast<int>(ToList(LB_GETCURSEL)); }
  int Count() const { return static_cast<int>(ToList(LB_GETCOUNT)); }
  // The selection of the combo box: the list's, except while dropped.
  int Current() const { return Dropped ? Original : ListSel(); }

  std::string ItemText(int I) const {
    if (I < 0 || !HasStrings()) return {};
    LRESULT N = ToList(LB_GETTEXTLEN, static_cast<WPARAM>(I));
    if (N == LB_ERR) return {};
    std::string S(static_cast<size_t>(N) + 1, '\0');
    ToList(LB_GETTEXT, static_cast<WPARAM>(I), reinterpret_cast<LPARAM>(S.data()));
    S.resize(static_cast<size_t>(N));
    return S;
  }

  // ---- geometry -----------------------------------------------------------------------------------
  int WindowHeight() const { return FieldHeight + 2 * kEdge + 2; }
  RECT Client() const {
    RECT R{};
    GetClientRect(Hwnd, &R);
    return R;
  }
  // The field with its edge (the top part of a simple combo box, the whole of the others).
  RECT FieldBox() const {
    RECT C = Client();
    if (Simple()) C.bottom = std::min<LONG>(C.bottom, WindowHeight());
    return C;
  }
  RECT Button() const {
    if (Simple()) return RECT{};
    RECT F = FieldBox();
    int W = GetSystemMetrics(SM_CXVSCROLL);
    return RECT{std::max<LONG>(F.left + kEdge, F.right - kEdge - W), F.top + kEdge, F.right - kEdge, F.bottom - kEdge};
  }
  RECT ItemBox() const {
    RECT F = FieldBox();
    RECT B = Button();
    LONG Right = Simple() ? F.right - kEdge - 1 : B.left - 1;
    return RECT{F.left + kEdge + 1, F.top + kEdge + 1, std::max<LONG>(F.left + kEdge + 1, Right), F.bottom - kEdge - 1};
  }

  void Layout() {
    RECT I = ItemBox();
    if (Edit) MoveWindow(Edit, I.left, I.top, I.right - I.left, I.bottom - I.top, TRUE);
    if (Simple() && List) {
      RECT C = Client();
      int Top = WindowHeight();
      MoveWindow(List, 0, Top, C.right, std::max<LONG>(0, C.bottom - Top), TRUE);
    }
    InvalidateRect(Hwnd, nullptr, TRUE);
  }

  // ---- text of the selection field ----------------------------------------------------------------
  void SetEditText(const std::string& Text) {
    if (!Edit) return;
    InternalText = true;
    SetWindowText(Edit, Text.c_str());
    InternalText = false;
    if (GetFocus() == Edit) SendMessage(Edit, EM_SETSEL, 0, -1);
  }
  void ShowSelection() {
    if (Edit)
      SetEditText(ItemText(ListSel()));
    else
      InvalidateRect(Hwnd, nullptr, FALSE);
  }

  std::string EditText() const { return Edit ? WindowTextOf(Edit) : ItemText(ListSel()); }

  // Selects a row by a program's request; no notification.
  LRESULT Select(int I) {
    if (I < 0 || I >= Count()) {
      ToList(LB_SETCURSEL, static_cast<WPARAM>(-1));
      if (Dropped) Original = -1;
      if (Edit) SetEditText("");
      InvalidateRect(Hwnd, nullptr, FALSE);
      return CB_ERR;
    }
    ToList(LB_SETCURSEL, static_cast<WPARAM>(I));
    if (Dropped) Original = I;
    ShowSelection();
    return I;
  }

  // ---- drop-down ----------------------------------------------------------------------------------
  int RowsHeight(int MaxHeight) const {
    int N = Count();
    int Fixed = static_cast<int>(ToList(LB_GETITEMHEIGHT, 0));
    if (!(Style() & CBS_OWNERDRAWVARIABLE)) {
      int Rows = std::clamp(N, 1, std::max(1, MaxHeight / std::max(1, Fixed)));
      return Rows * std::max(1, Fixed);
    }
    int H = 0;
    for (int I = 0; I < N; ++I) {
      int Row = static_cast<int>(ToList(LB_GETITEMHEIGHT, static_cast<WPARAM>(I)));
      if (H > 0 && H + Row > MaxHeight) break;
      H += Row;
    }
    return std::max(H, Fixed);
  }

  RECT DropRect() const {
    RECT W{};
    GetWindowRect(Hwnd, &W);
    int Width = std::max<int>(W.right - W.left, DroppedWidth);
    int Fixed = std::max(1, static_cast<int>(ToList(LB_GETITEMHEIGHT, 0)));
    int Max = DropHeight > 2 ? DropHeight - 2 : kDefaultRows * Fixed;
    int Height = RowsHeight(Max) + 2;  // rows and the list's border
    RECT R{W.left, W.bottom, W.left + Width, W.bottom + Height};
    MONITORINFO Mi;
    if (GetMonitorInfo(MonitorFromWindow(Hwnd, MONITOR_DEFAULTTONEAREST), &Mi)) {
      const RECT& A = Mi.rcWork;
      if (R.bottom > A.bottom && W.top - A.top > A.bottom - W.bottom) {
        R.top = W.top - Height;
        R.bottom = W.top;
      }
      if (R.right > A.right) {
        R.left = std::max(A.left, A.right - Width);
        R.right = R.left + Width;
      }
    }
    return R;
  }

  void DropDown() {
    if (Dropped || Simple() || !List || !IsWindowEnabled(Hwnd)) return;
    Notify(CBN_DROPDOWN);  // a handler may still fill the list
    if (!StillAlive() || Dropped) return;
    Original = ListSel();
    OriginalText = Edit ? WindowTextOf(Edit) : std::string();
    TextFromList = false;
    RECT R = DropRect();
    SetWindowPos(List, HWND_TOPMOST, R.left, R.top, R.right - R.left, R.bottom - R.top,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
    if (Original >= 0) ToList(LB_SETTOPINDEX, static_cast<WPARAM>(Original));
    Dropped = true;
    ToList(LBX_SETDROPPED, TRUE);
    SetCapture(List);
    InvalidateRect(Hwnd, nullptr, FALSE);
  }

  void CloseUp(bool Chosen) {
    if (!Dropped || Closing) return;
    Closing = true;
    Dropped = false;
    ToList(LBX_SETDROPPED, FALSE);
    if (GetCapture() == List) ReleaseCapture();
    ShowWindow(List, SW_HIDE);
    int Now = ListSel();
    bool Changed = Chosen && Now != Original;
    if (!Chosen && Now != Original) ToList(LB_SETCURSEL, static_cast<WPARAM>(Original));
    if (Chosen && (Changed || (Edit && Now >= 0)))
      ShowSelection();
    else if (!Chosen && TextFromList)
      SetEditText(OriginalText);
    InvalidateRect(Hwnd, nullptr, FALSE);
    Closing = false;
    Notify(Chosen ? CBN_SELENDOK : CBN_SELENDCANCEL);
    Notify(CBN_CLOSEUP);
    if (Changed) Notify(CBN_SELCHANGE);
  }

  // Ends the drop-down quietly (a program's CB_SHOWDROPDOWN FALSE).
  void HideDropDown() {
    if (!Dropped) return;
    Closing = true;
    Dropped = false;
    ToList(LBX_SETDROPPED, FALSE);
    if (GetCapture() == List) ReleaseCapture();
    ShowWindow(List, SW_HIDE);
    if (ListSel() != Original) ToList(LB_SETCURSEL, static_cast<WPARAM>(Original));
    if (TextFromList) SetEditText(OriginalText);
    Closing = false;
    InvalidateRect(Hwnd, nullptr, FALSE);
    Notify(CBN_CLOSEUP);
  }

  // ---- focus --------------------------------------------------------------------------------------
  void GotFocus() {
    if (Focused) return;
    Focused = true;
    if (Edit) SendMessage(Edit, EM_SETSEL, 0, -1);
    InvalidateRect(Hwnd, nullptr, FALSE);
    Notify(CBN_SETFOCUS);
  }
  void LostFocus(HWND NewFocus) {
    if (!Focused || NewFocus == Hwnd || (NewFocus && (NewFocus == Edit || NewFocus == List))) return;
    if (Dropped) CloseUp(false);
    Focused = false;
    InvalidateRect(Hwnd, nullptr, FALSE);
    Notify(CBN_KILLFOCUS);
  }

  // ---- keys, shared by the combo box and its edit part --------------------------------------------
  // Answers true when the key was the combo box's.
  bool Key(UINT Msg, WPARAM Vk) {
    bool Alt = Msg == WM_SYSKEYDOWN;
    if ((Vk == VK_F4 && !Alt) || (Alt && (Vk == VK_DOWN || Vk == VK_UP))) {
      if (Simple()) return false;
      if (Dropped)
        CloseUp(true);
      else
        DropDown();
      return true;
    }
    if (Alt) return false;
    if (Dropped && (Vk == VK_RETURN || Vk == VK_ESCAPE)) {
      SwallowChar = true;
      CloseUp(Vk == VK_RETURN);
      return true;
    }
    bool Navigation = Vk == VK_UP || Vk == VK_DOWN || Vk == VK_PRIOR || Vk == VK_NEXT;
    if (!Edit) Navigation = Navigation || Vk == VK_HOME || Vk == VK_END || Vk == VK_LEFT || Vk == VK_RIGHT;
    if (!Navigation || !List) return false;
    // The list moves its selection and reports it (LBN_SELCHANGE), handled below.
    SendMessage(List, WM_KEYDOWN, Vk, 0);
    return true;
  }

  // The list's selection moved through the user.
  void ListSelChanged() {
    if (Dropped) {
      if (Edit) {
        SetEditText(ItemText(ListSel()));
        TextFromList = true;
      }
      return;
    }
    ShowSelection();
    Notify(CBN_SELCHANGE);
  }

  void EditChanged(WORD Code) {
    if (InternalText) return;
    if (Code == EN_UPDATE) {
      Notify(CBN_EDITUPDATE);
      return;
    }
    // The typed text picks its row: the first starting with it while the list shows, the one equal to
    // it otherwise.
    std::string Text = WindowTextOf(Edit);
    TextFromList = false;
    if (Dropped || Simple()) {
      LRESULT I = Text.empty() ? LB_ERR : ToList(LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(Text.c_str()));
      if (I != LB_ERR) {
        ToList(LB_SETCURSEL, static_cast<WPARAM>(I));
        ToList(LB_SETTOPINDEX, static_cast<WPARAM>(I));
      }
    } else {
      LRESULT I = ToList(LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(Text.c_str()));
      ToList(LB_SETCURSEL, I == LB_ERR ? static_cast<WPARAM>(-1) : static_cast<WPARAM>(I));
    }
    Notify(CBN_EDITCHANGE);
  }

  // ---- painting -----------------------------------------------------------------------------------
  void Paint(HDC Dc) {
    RECT C = Client();
    RECT F = FieldBox();
    bool Enabled = IsWindowEnabled(Hwnd) != FALSE;
    if (Simple() && C.bottom > F.bottom) {
      RECT Gap{0, F.bottom, C.right, C.bottom};
      FillRect(Dc, &Gap, GetSysColorBrush(COLOR_BTNFACE));
    }
    HBRUSH Back = Enabled ? GetSysColorBrush(COLOR_WINDOW) : GetSysColorBrush(COLOR_BTNFACE);
    RECT Inner = F;
    Inner.left += kEdge;
    Inner.top += kEdge;
    Inner.right -= kEdge;
    Inner.bottom -= kEdge;
    FillRect(Dc, &Inner, Back);
    RECT Edge = F;
    DrawEdge(Dc, &Edge, EDGE_SUNKEN, BF_RECT);
    if (!Simple()) {
      RECT B = Button();
      DrawFrameControl(Dc, &B, DFC_SCROLL,
                       DFCS_SCROLLCOMBOBOX | (Dropped ? DFCS_PUSHED | DFCS_FLAT : 0) | (Enabled ? 0 : DFCS_INACTIVE));
    }
    if (!Edit) PaintField(Dc, Enabled);
  }

  void PaintField(HDC Dc, bool Enabled) {
    RECT I = ItemBox();
    int Sel = Current();
    bool Highlight = Focused && !Dropped && Enabled;
    HGDIOBJ OldFont = SelectObject(Dc, Font ? Font : DefaultControlFont());
    if (OwnerDraw()) {
      DRAWITEMSTRUCT D;
      D.CtlType = ODT_COMBOBOX;
      D.CtlID = Id();
      D.itemID = static_cast<UINT>(Sel);
      D.itemAction = ODA_DRAWENTIRE;
      D.itemState = ODS_COMBOBOXEDIT | (Highlight ? ODS_SELECTED | ODS_FOCUS : 0) | (Enabled ? 0 : ODS_DISABLED);
      D.hwndItem = Hwnd;
      D.hDC = Dc;
      D.rcItem = I;
      D.itemData = Sel >= 0 ? static_cast<ULONG_PTR>(ToList(LB_GETITEMDATA, static_cast<WPARAM>(Sel))) : 0;
      int Saved = SaveDC(Dc);
      IntersectClipRect(Dc, I.left, I.top, I.right, I.bottom);
      if (HWND Parent = GetParent(Hwnd)) SendMessage(Parent, WM_DRAWITEM, D.CtlID, reinterpret_cast<LPARAM>(&D));
      RestoreDC(Dc, Saved);
    } else {
      if (Highlight) FillRect(Dc, &I, GetSysColorBrush(COLOR_HIGHLIGHT));
      SetBkMode(Dc, TRANSPARENT);
      SetTextColor(Dc, GetSysColor(!Enabled ? COLOR_GRAYTEXT : Highlight ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
      RECT T = I;
      T.left += 2;
      std::string Text = ItemText(Sel);
      DrawText(Dc, Text.c_str(), -1, &T, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
      if (Highlight) {
        SetTextColor(Dc, RGB(0, 0, 0));
        SetBkColor(Dc, RGB(255, 255, 255));
        DrawFocusRect(Dc, &I);
      }
    }
    SelectObject(Dc, OldFont);
  }

  // ---- creation and fonts -------------------------------------------------------------------------
  int Measure(int Item, int Default) {
    MEASUREITEMSTRUCT M;
    M.CtlType = ODT_COMBOBOX;
    M.CtlID = Id();
    M.itemID = static_cast<UINT>(Item);
    M.itemWidth = static_cast<UINT>(Client().right);
    M.itemHeight = static_cast<UINT>(Default);
    if (HWND Parent = GetParent(Hwnd)) SendMessage(Parent, WM_MEASUREITEM, M.CtlID, reinterpret_cast<LPARAM>(&M));
    return std::max(1, static_cast<int>(M.itemHeight));
  }

  // Recomputes the heights for the font and resizes the window to the field (all but CBS_SIMPLE).
  void FontChanged(bool Remeasure) {
    int H = 0, W = 0;
    FontMetrics(Font, H, W);
    if (!OwnerDraw()) {
      FieldHeight = H + 2;
      if (List) ToList(LB_SETITEMHEIGHT, 0, MAKELPARAM(H, 0));
    } else if (Remeasure) {
      FieldHeight = Measure(-1, H + 2);
      if (List && (Style() & CBS_OWNERDRAWFIXED)) ToList(LB_SETITEMHEIGHT, 0, MAKELPARAM(Measure(0, H), 0));
    }
    if (!Simple()) {
      RECT R{};
      GetWindowRect(Hwnd, &R);
      if (R.bottom - R.top != WindowHeight())
        SetWindowPos(Hwnd, nullptr, 0, 0, R.right - R.left, WindowHeight(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    Layout();
  }

  // The parts take the combo box's font.
  void FontSet(bool Redraw) {
    if (Edit) SendMessage(Edit, WM_SETFONT, reinterpret_cast<WPARAM>(Font), Redraw);
    if (List) SendMessage(List, WM_SETFONT, reinterpret_cast<WPARAM>(Font), Redraw);
    FontChanged(false);
  }

  bool Create(const CREATESTRUCT& Cs) {
    DWORD St = static_cast<DWORD>(Cs.style);
    DWORD ListStyle = LBS_NOTIFY | LBS_COMBOBOX | WS_VSCROLL | WS_BORDER;
    if (St & CBS_SORT) ListStyle |= LBS_SORT;
    if (St & CBS_HASSTRINGS) ListStyle |= LBS_HASSTRINGS;
    if (St & CBS_OWNERDRAWFIXED) ListStyle |= LBS_OWNERDRAWFIXED;
    if (St & CBS_OWNERDRAWVARIABLE) ListStyle |= LBS_OWNERDRAWVARIABLE;
    if (St & CBS_DISABLENOSCROLL) ListStyle |= LBS_DISABLENOSCROLL;
    if (Simple()) {
      List = CreateWindowEx(0, WC_COMBOLBOX, "", ListStyle | WS_CHILD | WS_VISIBLE | LBS_NOINTEGRALHEIGHT, 0, 0, 0, 0,
                            Hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)), nullptr, Hwnd);
    } else {
      ListStyle |= LBS_NOINTEGRALHEIGHT;
      List = CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, WC_COMBOLBOX, "",
                            ListStyle | WS_POPUP, 0, 0, 10, 10, Hwnd, nullptr, nullptr, Hwnd);
    }
    if (!List) return false;
    if (!DropList()) {
      DWORD EditStyle = WS_CHILD | WS_VISIBLE | ES_LEFT;
      if (St & CBS_AUTOHSCROLL) EditStyle |= ES_AUTOHSCROLL;
      if (St & CBS_UPPERCASE) EditStyle |= ES_UPPERCASE;
      if (St & CBS_LOWERCASE) EditStyle |= ES_LOWERCASE;
      Edit = CreateWindowEx(0, WC_EDIT, "", EditStyle, 0, 0, 0, 0, Hwnd,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)), nullptr, nullptr);
      if (!Edit) return false;
      EditProc = reinterpret_cast<WNDPROC>(GetWindowLongPtr(Edit, GWLP_WNDPROC));
      SetWindowLongPtr(Edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EditSubclass));
    }
    FontChanged(true);
    if (!Simple()) DropHeight = std::max(0, Cs.cy - WindowHeight());
    Layout();
    return true;
  }

  LRESULT Handle(UINT Msg, WPARAM WParam, LPARAM LParam);
  static LRESULT CALLBACK EditSubclass(HWND Hwnd, UINT Msg, WPARAM WParam, LPARAM LParam);
};

LRESULT Combo::Handle(UINT Msg, WPARAM WParam, LPARAM LParam) {
  const int Index = static_cast<int>(static_cast<INT_PTR>(WParam));
  switch (Msg) {
    case WM_CREATE:
      return Create(*reinterpret_cast<CREATESTRUCT*>(LParam)) ? 0 : -1;
    case WM_DESTROY:
      if (List && !Simple() && IsWindow(List)) DestroyWindow(List);
      List = nullptr;
      return 0;
    case WM_NCDESTROY:
      if (Edit && IsWindow(Edit)) SetWindowLongPtr(Edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditProc));
      return DefWindowProc(Hwnd, Msg, WParam, LParam);
    case WM_SIZE:
      Layout();
      return 0;
    case WM_WINDOWPOSCHANGING:
      // The height given to a drop-down combo box is the field and the dropped list together.
      if (auto* Pos = reinterpret_cast<WINDOWPOS*>(LParam); Pos && !Simple() && !(Pos->flags & SWP_NOSIZE)) {
        if (Pos->cy > WindowHeight()) DropHeight = Pos->cy - WindowHeight();
        Pos->cy = WindowHeight();
      }
      return DefWindowProc(Hwnd, Msg, WParam, LParam);
    case WM_ENABLE:
      if (Edit) EnableWindow(Edit, WParam != 0);
      if (Simple() && List) EnableWindow(List, WParam != 0);
      if (!WParam) CloseUp(false);
      InvalidateRect(Hwnd, nullptr, FALSE);
      return 0;
    case WM_SETTEXT: {
      std::string Text = LParam ? reinterpret_cast<const char*>(LParam) : "";
      LRESULT I = ToList(LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(Text.c_str()));
      if (!Edit) {
        if (I == LB_ERR) return CB_ERR;
        Select(static_cast<int>(I));
        return TRUE;
      }
      SetEditText(Text);
      ToList(LB_SETCURSEL, I == LB_ERR ? static_cast<WPARAM>(-1) : static_cast<WPARAM>(I));
      return TRUE;
    }
    case WM_GETTEXT:
      return CopyTextOut(EditText(), WParam, LParam);
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(EditText().size());
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS | (Dropped ? DLGC_WANTALLKEYS : 0);
    case WM_SETFOCUS:
      if (Edit) {
        SetFocus(Edit);
        return 0;
      }
      GotFocus();
      return 0;
    case WM_KILLFOCUS:
      if (!Edit) LostFocus(reinterpret_cast<HWND>(WParam));
      return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (Key(Msg, WParam)) return 0;
      return DefWindowProc(Hwnd, Msg, WParam, LParam);
    case WM_CHAR:
      // Type-ahead through the list (the drawn field only; the edit part takes its own characters).
      if (!Edit && List && WParam >= 0x20) SendMessage(List, WM_CHAR, WParam, LParam);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      POINT P{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
      HWND Target = Edit ? Edit : Hwnd;
      if (GetFocus() != Target) SetFocus(Target);
      if (!StillAlive()) return 0;
      RECT B = Button();
      if (!Dropped && (DropList() || InRect(B, P))) DropDown();
      return 0;
    }
    case WM_LBUTTONUP:
      if (Dropped && GetCapture() != List) SetCapture(List);
      return 0;
    case WM_MOUSEWHEEL:
      if (Dropped)
        SendMessage(List, Msg, WParam, LParam);
      else if (List && Focused)
        Key(WM_KEYDOWN, GET_WHEEL_DELTA_WPARAM(WParam) > 0 ? VK_UP : VK_DOWN);
      return 0;
    case WM_COMMAND: {
      HWND From = reinterpret_cast<HWND>(LParam);
      WORD Code = HIWORD(WParam);
      if (From == List && List) {
        if (Code == LBN_SELCHANGE) ListSelChanged();
        if (Code == LBN_DBLCLK && Simple()) Notify(CBN_DBLCLK);
      } else if (From == Edit && Edit) {
        if (Code == EN_CHANGE || Code == EN_UPDATE) EditChanged(Code);
      }
      return 0;
    }
    case CBX_LISTCLOSE: {
      if (!Dropped) return 0;
      if (WParam) {
        CloseUp(true);
        return 0;
      }
      // The list lost the mouse. While the button that dropped it is still down, the capture may only be
      // moving to the combo box itself (a class library captures the mouse for the control pressed): the
      // list stays, and takes the mouse back on the release.
      if (LParam == -1 && GetKeyState(VK_LBUTTON) < 0) {
        HWND Now = GetCapture();
        if (Now == nullptr || Now == Hwnd || (Edit && Now == Edit)) return 0;
      }
      CloseUp(false);
      return 0;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC: {
      HWND Parent = GetParent(Hwnd);
      LRESULT R = Parent ? SendMessage(Parent, Msg, WParam, LParam) : 0;
      return R ? R : DefWindowProc(Hwnd, Msg, WParam, LParam);
    }
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_COMPAREITEM: {
      HWND Parent = GetParent(Hwnd);
      return Parent ? SendMessage(Parent, Msg, WParam, LParam) : 0;
    }

    case CB_ADDSTRING: {
      LRESULT R = ToList(LB_ADDSTRING, 0, LParam);
      if (R != LB_ERR && Dropped && Original >= R) ++Original;
      return R;
    }
    case CB_INSERTSTRING: {
      LRESULT R = ToList(LB_INSERTSTRING, WParam, LParam);
      if (R != LB_ERR && Dropped && Original >= R) ++Original;
      return R;
    }
    case CB_DELETESTRING: {
      LRESULT R = ToList(LB_DELETESTRING, WParam, 0);
      if (R != LB_ERR && Dropped) Original = Original == Index ? -1 : Original > Index ? Original - 1 : Original;
      if (R != LB_ERR && !Edit) InvalidateRect(Hwnd, nullptr, FALSE);
      return R;
    }
    case CB_RESETCONTENT:
      ToList(LB_RESETCONTENT);
      Original = -1;
      if (Edit) SetEditText("");
      InvalidateRect(Hwnd, nullptr, FALSE);
      return CB_OKAY;
    case CB_GETCOUNT:
      return ToList(LB_GETCOUNT);
    case CB_GETCURSEL: {
      int I = Current();
      return I >= 0 ? I : CB_ERR;
    }
    case CB_SETCURSEL:
      return Select(Index);
    case CB_SELECTSTRING: {
      LRESULT I = ToList(LB_FINDSTRING, WParam, LParam);
      if (I == LB_ERR) return CB_ERR;
      return Select(static_cast<int>(I));
    }
    case CB_FINDSTRING:
      return ToList(LB_FINDSTRING, WParam, LParam);
    case CB_FINDSTRINGEXACT:
      return ToList(LB_FINDSTRINGEXACT, WParam, LParam);
    case CB_GETLBTEXT:
      return ToList(LB_GETTEXT, WParam, LParam);
    case CB_GETLBTEXTLEN:
      return ToList(LB_GETTEXTLEN, WParam, LParam);
    case CB_GETITEMDATA:
      return ToList(LB_GETITEMDATA, WParam, LParam);
    case CB_SETITEMDATA:
      return ToList(LB_SETITEMDATA, WParam, LParam);
    case CB_GETTOPINDEX:
      return ToList(LB_GETTOPINDEX);
    case CB_SETTOPINDEX:
      return ToList(LB_SETTOPINDEX, WParam) == LB_ERR ? CB_ERR : 0;
    case CB_SETHORIZONTALEXTENT:
      ToList(LB_SETHORIZONTALEXTENT, WParam);
      return 0;
    case CB_GETHORIZONTALEXTENT:
      return ToList(LB_GETHORIZONTALEXTENT);
    case CB_SETITEMHEIGHT: {
      int H = LOWORD(LParam);
      if (H <= 0 || H > 255) return CB_ERR;
      if (Index == -1) {
        FieldHeight = H;
        FontChanged(false);
        return 0;
      }
      return ToList(LB_SETITEMHEIGHT, WParam, LParam) == LB_ERR ? CB_ERR : 0;
    }
    case CB_GETITEMHEIGHT:
      if (Index == -1) return FieldHeight;
      return ToList(LB_GETITEMHEIGHT, WParam);
    case CB_SHOWDROPDOWN:
      if (WParam)
        DropDown();
      else
        HideDropDown();
      return TRUE;
    case CB_GETDROPPEDSTATE:
      return Dropped ? TRUE : FALSE;
    case CB_SETDROPPEDWIDTH:
    case CB_GETDROPPEDWIDTH: {
      if (Msg == CB_SETDROPPEDWIDTH) {
        if (Index < 0) return CB_ERR;
        DroppedWidth = Index;
      }
      RECT W{};
      GetWindowRect(Hwnd, &W);
      return std::max<LRESULT>(DroppedWidth, W.right - W.left);
    }
    case CB_GETDROPPEDCONTROLRECT: {
      auto* R = reinterpret_cast<RECT*>(LParam);
      if (!R) return CB_ERR;
      RECT W{};
      GetWindowRect(Hwnd, &W);
      if (Simple()) {
        *R = W;
        return TRUE;
      }
      RECT L = DropRect();
      *R = RECT{W.left, std::min(W.top, L.top), std::max(W.right, L.right), std::max(W.bottom, L.bottom)};
      return TRUE;
    }
    case CB_LIMITTEXT:
      if (Edit) SendMessage(Edit, EM_LIMITTEXT, WParam, 0);
      return TRUE;
    case CB_SETEDITSEL:
      if (!Edit) return CB_ERR;
      SendMessage(Edit, EM_SETSEL, static_cast<WPARAM>(static_cast<SHORT>(LOWORD(LParam))),
                  static_cast<LPARAM>(static_cast<SHORT>(HIWORD(LParam))));
      return TRUE;
    case CB_GETEDITSEL:
      if (!Edit) return CB_ERR;
      return SendMessage(Edit, EM_GETSEL, WParam, LParam);
    case CB_GETCOMBOBOXINFO: {
      auto* Info = reinterpret_cast<COMBOBOXINFO*>(LParam);
      if (!Info || Info->cbSize != sizeof(COMBOBOXINFO)) return FALSE;
      Info->rcItem = ItemBox();
      Info->rcButton = Button();
      Info->stateButton = Simple() ? STATE_SYSTEM_INVISIBLE : Dropped ? STATE_SYSTEM_PRESSED : 0;
      Info->hwndCombo = Hwnd;
      Info->hwndItem = Edit;
      Info->hwndList = List;
      return TRUE;
    }
    default:
      return DefWindowProc(Hwnd, Msg, WParam, LParam);
  }
}

// The edit part: the combo box's keys first, and the focus of the whole.
LRESULT CALLBACK Combo::EditSubclass(HWND Hwnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  HWND Parent = GetParent(Hwnd);
  Combo* C = Parent ? StateOf<Combo>(Parent) : nullptr;
  if (!C || C->Edit != Hwnd) return DefWindowProc(Hwnd, Msg, WParam, LParam);
  ControlHold Hold(*C);
  WNDPROC Original = C->EditProc;
  switch (Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (C->Key(Msg, WParam)) return 0;
      break;
    case WM_CHAR: {
      bool Swallow = C->SwallowChar && (WParam == '\r' || WParam == 0x1B);
      C->SwallowChar = false;
      if (Swallow) return 0;
      break;
    }
    case WM_GETDLGCODE:
      return CallWindowProc(Original, Hwnd, Msg, WParam, LParam) | DLGC_WANTARROWS |
             (C->Dropped ? DLGC_WANTALLKEYS : 0);
    case WM_SETFOCUS: {
      LRESULT R = CallWindowProc(Original, Hwnd, Msg, WParam, LParam);
      if (C->StillAlive()) C->GotFocus();
      return R;
    }
    case WM_KILLFOCUS: {
      LRESULT R = CallWindowProc(Original, Hwnd, Msg, WParam, LParam);
      if (C->StillAlive()) C->LostFocus(reinterpret_cast<HWND>(WParam));
      return R;
    }
    case WM_MOUSEWHEEL:
      return SendMessage(Parent, Msg, WParam, LParam);
    default: break;
  }
  return CallWindowProc(Original, Hwnd, Msg, WParam, LParam);
}

}  // namespace

void RegisterComboBoxClass() {
  RegisterEditClass();
  RegisterListBoxClass();
  RegisterComboLBoxClass();
  RegisterControl<Combo>(WC_COMBOBOX, 0, IDC_ARROW);
}

}  // namespace k58::builtin
