#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "NotifySpy.h"
#include "tests/common/Display.h"
#include "platform/win/builtin/ComboBox.h"

namespace builtin_test {

using builtin_test::At;

namespace {

class ComboBoxTest : public ::testing::Test {
protected:
  k58::winui::TestDisplay D;
  builtin_test::Host H;

  ComboBoxTest() { k58::builtin::RegisterComboBoxClass(); }

  HWND Make(DWORD Style, RECT R = RECT{20, 20, 180, 200}) {
    HWND C = H.Child(WC_COMBOBOX, Style | WS_TABSTOP, R);
    EXPECT_NE(nullptr, C);
    return C;
  }
  static void Add(HWND C, std::initializer_list<const char*> Items) {
    for (const char* S : Items) SendMessage(C, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(S));
  }
  static COMBOBOXINFO Info(HWND C) {
    COMBOBOXINFO I;
    SendMessage(C, CB_GETCOMBOBOXINFO, 0, reinterpret_cast<LPARAM>(&I));
    return I;
  }
  static bool Dropped(HWND C) { return SendMessage(C, CB_GETDROPPEDSTATE, 0, 0) != 0; }
  static int Sel(HWND C) { return static_cast<int>(SendMessage(C, CB_GETCURSEL, 0, 0)); }
  // Screen point in the middle of row I of the (dropped or simple) list.
  static POINT ListRow(HWND C, int I) {
    HWND L = Info(C).hwndList;
    RECT R{};
    SendMessage(L, LB_GETITEMRECT, I, reinterpret_cast<LPARAM>(&R));
    return At(L, 10, (R.top + R.bottom) / 2);
  }
  static POINT ButtonPoint(HWND C) {
    RECT B = Info(C).rcButton;
    return At(C, (B.left + B.right) / 2, (B.top + B.bottom) / 2);
  }
  std::vector<UINT> Commands(HWND C) const { return H.Commands(C); }
};

}  // namespace

TEST_F(ComboBoxTest, DropDownListChosenWithTheMouse) {
  HWND C = Make(CBS_DROPDOWNLIST);
  Add(C, {"red", "green", "blue"});
  EXPECT_EQ(CB_ERR, Sel(C));
  EXPECT_EQ(1, SendMessage(C, CB_SETCURSEL, 1, 0));
  EXPECT_EQ("green", builtin_test::TextOf(C));
  EXPECT_TRUE(Commands(C).empty());  // program changes are silent

  // A click anywhere on the field drops the list below the combo box.
  D.Click(At(C, 10, 5));
  D.Pump();
  EXPECT_TRUE(Dropped(C));
  HWND L = Info(C).hwndList;
  EXPECT_TRUE(IsWindowVisible(L));
  RECT Rc{}, Rl{};
  GetWindowRect(C, &Rc);
  GetWindowRect(L, &Rl);
  EXPECT_EQ(Rc.bottom, Rl.top);
  EXPECT_EQ(Rc.left, Rl.left);
  EXPECT_EQ(Rc.right - Rc.left, Rl.right - Rl.left);
  EXPECT_EQ(STATE_SYSTEM_PRESSED, Info(C).stateButton);
  EXPECT_EQ(GetFocus(), C);
  EXPECT_NE(GetActiveWindow(), L);
  EXPECT_EQ((std::vector<UINT>{CBN_SETFOCUS, CBN_DROPDOWN}), Commands(C));

  // Hovering highlights without choosing; a click on a row chooses it.
  H.Clear();
  D.MoveTo(ListRow(C, 2));
  D.Pump();
  EXPECT_EQ(1, Sel(C));
  EXPECT_TRUE(Commands(C).empty());
  D.Click(ListRow(C, 2));
  D.Pump();
  EXPECT_FALSE(Dropped(C));
  EXPECT_FALSE(IsWindowVisible(L));
  EXPECT_EQ(2, Sel(C));
  EXPECT_EQ("blue", builtin_test::TextOf(C));
  EXPECT_EQ((std::vector<UINT>{CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE}), Commands(C));
  EXPECT_EQ(nullptr, GetCapture());

  // A press outside the list ends the drop-down without a choice.
  D.Click(At(C, 10, 5));
  D.Pump();
  ASSERT_TRUE(Dropped(C));
  H.Clear();
  D.MoveTo(ListRow(C, 0));
  D.Click(At(H.Hwnd, 400, 300));
  D.Pump();
  EXPECT_FALSE(Dropped(C));
  EXPECT_EQ(2, Sel(C));
  EXPECT_EQ((std::vector<UINT>{CBN_SELENDCANCEL, CBN_CLOSEUP}), Commands(C));
  // Choosing the row already selected does not report a change.
  D.Click(At(C, 10, 5));
  D.Pump();
  H.Clear();
  D.Click(ListRow(C, 2));
  D.Pump();
  EXPECT_EQ((std::vector<UINT>{CBN_SELENDOK, CBN_CLOSEUP}), Commands(C));
}

TEST_F(ComboBoxTest, DropDownListByKeyboard) {
  HWND C = Make(CBS_DROPDOWNLIST);
  Add(C, {"alpha", "beta", "gamma", "delta"});
  SendMessage(C, CB_SETCURSEL, 0, 0);
  SetFocus(C);
  D.Pump();
  H.Clear();
  // Closed: arrows change the selection at once.
  D.Key(VK_DOWN);
  D.Pump();
  EXPECT_EQ(1, Sel(C));
  EXPECT_EQ((std::vector<UINT>{CBN_SELCHANGE}), Commands(C));
  // F4 drops; arrows move the highlight only; Enter chooses.
  H.Clear();
  D.Key(VK_F4);
  D.Key(VK_DOWN);
  D.Key(VK_DOWN);
  D.Pump();
  EXPECT_TRUE(Dropped(C));
  EXPECT_EQ(1, Sel(C));
  EXPECT_EQ((std::vector<UINT>{CBN_DROPDOWN}), Commands(C));
  D.Key(VK_RETURN);
  D.Pump();
  EXPECT_FALSE(Dropped(C));
  EXPECT_EQ(3, Sel(C));
  EXPECT_EQ((std::vector<UINT>{CBN_DROPDOWN, CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE}), Commands(C));
  // Alt+Down drops; Esc cancels and the selection stays.
  H.Clear();
  D.Chord({VK_MENU}, VK_DOWN);
  D.Pump();
  EXPECT_TRUE(Dropped(C));
  D.Key(VK_UP);
  D.Key(VK_ESCAPE);
  D.Pump();
  EXPECT_FALSE(Dropped(C));
  EXPECT_EQ(3, Sel(C));
  EXPECT_EQ((std::vector<UINT>{CBN_DROPDOWN, CBN_SELENDCANCEL, CBN_CLOSEUP}), Commands(C));
  // Typing a letter selects the next row starting with it.
  H.Clear();
  D.Type("g");
  D.Pump();
  EXPECT_EQ(2, Sel(C));
  EXPECT_EQ((std::vector<UINT>{CBN_SELCHANGE}), Commands(C));
  // Losing the focus while dropped ends the drop-down without a choice.
  D.Key(VK_F4);
  D.Key(VK_DOWN);
  D.Pump();
  H.Clear();
  SetFocus(H.Hwnd);
  D.Pump();
  EXPECT_FALSE(Dropped(C));
  EXPECT_EQ(2, Sel(C));
  EXPECT_EQ((std::vector<UINT>{CBN_SELENDCANCEL, CBN_CLOSEUP, CBN_KILLFOCUS}), Commands(C));
}

TEST_F(ComboBoxTest, DropDownWithEditPart) {
  HWND C = Make(CBS_DROPDOWN | CBS_AUTOHSCROLL);
  Add(C, {"one", "two", "three"});
  HWND E = Info(C).hwndItem;
  ASSERT_NE(nullptr, E);
  char Class[32] = {};
  GetClassName(E, Class, sizeof Class);
  EXPECT_STREQ("Edit", Class);

  // Selecting a row puts its text in the edit part without an edit notification.
  SendMessage(C, CB_SETCURSEL, 1, 0);
  EXPECT_EQ("two", builtin_test::TextOf(E));
  EXPECT_EQ("two", builtin_test::TextOf(C));
  EXPECT_TRUE(Commands(C).empty());

  // Clicking the edit part focuses the combo box; its text is typed over.
  D.Click(At(E, 5, 5));
  D.Pump();
  EXPECT_EQ(E, GetFocus());
  EXPECT_EQ((std::vector<UINT>{CBN_SETFOCUS}), Commands(C));
  H.Clear();
  SendMessage(C, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
  D.Type("three");
  D.Pump();
  EXPECT_EQ("three", builtin_test::TextOf(C));
  EXPECT_EQ(2, Sel(C));  // the text names a row
  auto Codes = Commands(C);
  EXPECT_EQ(CBN_EDITUPDATE, Codes.front());
  EXPECT_EQ(CBN_EDITCHANGE, Codes.back());
  D.Type("x");
  D.Pump();
  EXPECT_EQ(CB_ERR, Sel(C));  // no row has this text

  // Up and Down step through the rows and show them in the edit part; with no row selected the first
  // key selects the row last shown.
  H.Clear();
  D.Key(VK_UP);
  D.Pump();
  EXPECT_EQ(2, Sel(C));
  D.Key(VK_UP);
  D.Pump();
  EXPECT_EQ(1, Sel(C));
  EXPECT_EQ("two", builtin_test::TextOf(E));
  EXPECT_EQ((std::vector<UINT>{CBN_SELCHANGE, CBN_SELCHANGE}), Commands(C));

  // Dropped: arrows show the highlighted row; Esc brings back the text from before.
  D.Key(VK_F4);
  D.Key(VK_UP);
  D.Pump();
  EXPECT_EQ("one", builtin_test::TextOf(E));
  D.Key(VK_ESCAPE);
  D.Pump();
  EXPECT_EQ("two", builtin_test::TextOf(E));
  EXPECT_EQ(1, Sel(C));
  // Typing while dropped highlights the first row starting with the text; Enter chooses it.
  SendMessage(C, CB_SETCURSEL, 0, 0);
  SendMessage(C, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
  D.Key(VK_F4);
  D.Type("th");
  D.Pump();
  EXPECT_EQ(2, SendMessage(Info(C).hwndList, LB_GETCURSEL, 0, 0));
  H.Clear();
  D.Key(VK_RETURN);
  D.Pump();
  EXPECT_EQ("three", builtin_test::TextOf(C));
  EXPECT_EQ((std::vector<UINT>{CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE}), Commands(C));

  // The edit selection and limit go through the combo box.
  SendMessage(C, CB_SETEDITSEL, 0, MAKELPARAM(1, 3));
  DWORD Start = 0, End = 0;
  SendMessage(C, CB_GETEDITSEL, reinterpret_cast<WPARAM>(&Start), reinterpret_cast<LPARAM>(&End));
  EXPECT_EQ(1u, Start);
  EXPECT_EQ(3u, End);
  SendMessage(C, CB_LIMITTEXT, 2, 0);
  SetWindowText(C, "");
  D.Type("abcd");
  D.Pump();
  EXPECT_EQ("ab", builtin_test::TextOf(C));

  // The button drops the list; focus leaving closes it and reports the loss once.
  D.Click(ButtonPoint(C));
  D.Pump();
  EXPECT_TRUE(Dropped(C));
  H.Clear();
  SetFocus(H.Hwnd);
  D.Pump();
  EXPECT_FALSE(Dropped(C));
  EXPECT_EQ((std::vector<UINT>{CBN_SELENDCANCEL, CBN_CLOSEUP, CBN_KILLFOCUS}), Commands(C));
}

namespace {

WNDPROC ComboProc = nullptr;

// Takes the mouse for the combo box after each press it handled, as a class library does for the control
// that was pressed (release, then capture).
LRESULT CALLBACK CapturingProc(HWND Hwnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  LRESULT R = CallWindowProc(ComboProc, Hwnd, Msg, WParam, LParam);
  if (Msg == WM_LBUTTONDOWN) {
    ReleaseCapture();
    SetCapture(Hwnd);
  } else if (Msg == WM_LBUTTONUP && GetCapture() == Hwnd) {
    ReleaseCapture();
  }
  return R;
}

}  // namespace

TEST_F(ComboBoxTest, ListDroppedByTheButtonStaysWhenThePressedComboBoxTakesTheMouse) {
  for (DWORD Style : {DWORD{CBS_DROPDOWN}, DWORD{CBS_DROPDOWNLIST}}) {
    SCOPED_TRACE(Style);
    HWND C = Make(Style);
    Add(C, {"red", "green", "blue"});
    ComboProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtr(C, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CapturingProc)));
    D.Click(ButtonPoint(C));
    D.Pump();
    ASSERT_TRUE(Dropped(C));
    // The list has the mouse again: a row chooses, and a press elsewhere ends the next drop-down.
    EXPECT_EQ(Info(C).hwndList, GetCapture());
    D.Click(ListRow(C, 1));
    D.Pump();
    EXPECT_FALSE(Dropped(C));
    EXPECT_EQ("green", builtin_test::TextOf(C));
    D.Advance(1000);
    D.Click(ButtonPoint(C));
    D.Pump();
    ASSERT_TRUE(Dropped(C));
    D.Click(At(H.Hwnd, 400, 300));
    D.Pump();
    EXPECT_FALSE(Dropped(C));
    EXPECT_EQ("green", builtin_test::TextOf(C));
    DestroyWindow(C);
  }
}

TEST_F(ComboBoxTest, SimpleComboShowsItsListBelowTheEdit) {
  HWND C = Make(CBS_SIMPLE, RECT{20, 20, 180, 160});
  Add(C, {"north", "south", "east"});
  COMBOBOXINFO I = Info(C);
  EXPECT_EQ(static_cast<DWORD>(STATE_SYSTEM_INVISIBLE), I.stateButton);
  EXPECT_TRUE(IsWindowVisible(I.hwndList));
  EXPECT_EQ(C, GetParent(I.hwndList));
  RECT Rc{};
  GetWindowRect(C, &Rc);
  EXPECT_EQ(140, Rc.bottom - Rc.top);  // the whole height stays the combo box's
  D.Click(ListRow(C, 1));
  D.Pump();
  EXPECT_EQ(1, Sel(C));
  EXPECT_EQ("south", builtin_test::TextOf(C));
  EXPECT_EQ(I.hwndItem, GetFocus());
  EXPECT_EQ((std::vector<UINT>{CBN_SETFOCUS, CBN_SELCHANGE}), Commands(C));
  H.Clear();
  D.Advance(1000);
  D.DoubleClick(ListRow(C, 2));
  D.Pump();
  EXPECT_EQ((std::vector<UINT>{CBN_SELCHANGE, CBN_DBLCLK}), Commands(C));
  // Typing highlights the first row that starts with the text.
  SendMessage(C, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
  D.Type("no");
  D.Pump();
  EXPECT_EQ(0, Sel(C));
  EXPECT_EQ("no", builtin_test::TextOf(C));
  SendMessage(C, CB_SHOWDROPDOWN, TRUE, 0);
  EXPECT_FALSE(Dropped(C));
}

TEST_F(ComboBoxTest, HeightsAndDroppedGeometry) {
  HWND C = Make(CBS_DROPDOWNLIST, RECT{20, 20, 180, 120});
  int Field = static_cast<int>(SendMessage(C, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
  int Row = static_cast<int>(SendMessage(C, CB_GETITEMHEIGHT, 0, 0));
  RECT Rc{};
  GetWindowRect(C, &Rc);
  EXPECT_EQ(Field + 6, Rc.bottom - Rc.top);  // the window is the field; the rest was for the list
  for (int I = 0; I < 20; ++I) Add(C, {("row " + std::to_string(I)).c_str()});
  // The list takes as many whole rows as fit in what was given for it (100 pixels less the field).
  int Rows = (100 - (Field + 6) - 2) / Row;
  SendMessage(C, CB_SHOWDROPDOWN, TRUE, 0);
  HWND L = Info(C).hwndList;
  RECT Rl{};
  GetWindowRect(L, &Rl);
  EXPECT_EQ(Rows * Row + 2, Rl.bottom - Rl.top);
  RECT Both{};
  SendMessage(C, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&Both));
  EXPECT_EQ(Rc.top, Both.top);
  EXPECT_EQ(Rl.bottom, Both.bottom);
  SendMessage(C, CB_SHOWDROPDOWN, FALSE, 0);
  EXPECT_FALSE(IsWindowVisible(L));

  // A few rows make a short list; a wider drop width widens it.
  SendMessage(C, CB_RESETCONTENT, 0, 0);
  Add(C, {"a", "b"});
  EXPECT_EQ(300, SendMessage(C, CB_SETDROPPEDWIDTH, 300, 0));
  SendMessage(C, CB_SHOWDROPDOWN, TRUE, 0);
  GetWindowRect(L, &Rl);
  EXPECT_EQ(2 * Row + 2, Rl.bottom - Rl.top);
  EXPECT_EQ(300, Rl.right - Rl.left);
  SendMessage(C, CB_SHOWDROPDOWN, FALSE, 0);

  // Near the bottom of the screen the list opens above the combo box.
  RECT Hr{};
  GetWindowRect(H.Hwnd, &Hr);
  SetWindowPos(H.Hwnd, nullptr, 40, Hr.top + (1020 - Rc.bottom), 480, 300, SWP_NOZORDER);
  SendMessage(C, CB_SHOWDROPDOWN, TRUE, 0);
  GetWindowRect(C, &Rc);
  GetWindowRect(L, &Rl);
  EXPECT_EQ(Rc.top, Rl.bottom);
  SendMessage(C, CB_SHOWDROPDOWN, FALSE, 0);
  // Giving the window a height sets the list's, the window stays one field high.
  SetWindowPos(C, nullptr, 0, 0, 160, Field + 6 + 2 + 3 * Row, SWP_NOMOVE | SWP_NOZORDER);
  GetWindowRect(C, &Rc);
  EXPECT_EQ(Field + 6, Rc.bottom - Rc.top);

  // WS_VSCROLL asked of a combo box is its list's: the field keeps its whole width.
  for (DWORD Kind : {CBS_DROPDOWNLIST, CBS_DROPDOWN, CBS_SIMPLE}) {
    HWND S = Make(Kind | WS_VSCROLL | WS_HSCROLL, RECT{20, 150, 180, 250});
    RECT Client{}, Window{};
    GetClientRect(S, &Client);
    GetWindowRect(S, &Window);
    EXPECT_EQ(0, GetWindowLong(S, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL)) << Kind;
    EXPECT_EQ(Window.right - Window.left, Client.right - Client.left) << Kind;
    DestroyWindow(S);
  }
}

TEST_F(ComboBoxTest, OwnerDrawnComboMeasuresFieldAndRowsAndDrawsTheField) {
  H.OnMessage = [](UINT Msg, WPARAM, LPARAM LParam) -> std::optional<LRESULT> {
    if (Msg == WM_MEASUREITEM) {
      auto* M = reinterpret_cast<MEASUREITEMSTRUCT*>(LParam);
      M->itemHeight = M->itemID == static_cast<UINT>(-1) ? 30 : 18;
      return TRUE;
    }
    if (Msg == WM_DRAWITEM) return TRUE;
    return std::nullopt;
  };
  HWND C = Make(CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED);
  auto Measures = H.Of(WM_MEASUREITEM);
  ASSERT_EQ(2u, Measures.size());
  EXPECT_EQ(static_cast<UINT>(-1), Measures[0].Measure->itemID);
  EXPECT_EQ(0u, Measures[1].Measure->itemID);
  EXPECT_EQ(ODT_COMBOBOX, Measures[0].Measure->CtlType);
  EXPECT_EQ(30, SendMessage(C, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
  EXPECT_EQ(18, SendMessage(C, CB_GETITEMHEIGHT, 0, 0));
  for (LPARAM V : {11, 22, 33}) SendMessage(C, CB_ADDSTRING, 0, V);
  SendMessage(C, CB_SETCURSEL, 1, 0);
  SetFocus(C);
  H.Clear();
  UpdateWindow(C);
  auto Draws = H.Of(WM_DRAWITEM);
  ASSERT_EQ(1u, Draws.size());
  EXPECT_EQ(ODT_COMBOBOX, Draws[0].Draw->CtlType);
  EXPECT_EQ(1u, Draws[0].Draw->itemID);
  EXPECT_EQ(22u, Draws[0].Draw->itemData);
  EXPECT_EQ(C, Draws[0].Draw->hwndItem);
  EXPECT_EQ(static_cast<UINT>(ODS_COMBOBOXEDIT | ODS_SELECTED | ODS_FOCUS), Draws[0].Draw->itemState);
  // The dropped rows are drawn for the combo box too.
  H.Clear();
  SendMessage(C, CB_SHOWDROPDOWN, TRUE, 0);
  UpdateWindow(Info(C).hwndList);
  Draws = H.Of(WM_DRAWITEM);
  ASSERT_EQ(3u, Draws.size());
  EXPECT_EQ(ODT_COMBOBOX, Draws[2].Draw->CtlType);
  EXPECT_EQ(C, Draws[2].Draw->hwndItem);
  EXPECT_EQ(33u, Draws[2].Draw->itemData);
  EXPECT_EQ(static_cast<UINT>(ODS_SELECTED), Draws[1].Draw->itemState);
}

TEST_F(ComboBoxTest, ItemMessagesMirrorTheListBox) {
  HWND C = Make(CBS_DROPDOWNLIST | CBS_SORT);
  Add(C, {"pear", "Apple", "fig"});
  char B[32] = {};
  EXPECT_EQ(5, SendMessage(C, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(B)));
  EXPECT_STREQ("Apple", B);
  EXPECT_EQ(3, SendMessage(C, CB_GETLBTEXTLEN, 1, 0));
  EXPECT_EQ(CB_ERR, SendMessage(C, CB_GETLBTEXTLEN, 3, 0));
  EXPECT_EQ(2, SendMessage(C, CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("P")));
  EXPECT_EQ(CB_ERR, SendMessage(C, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("pea")));
  EXPECT_EQ(1, SendMessage(C, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("FI")));
  EXPECT_EQ("fig", builtin_test::TextOf(C));
  SendMessage(C, CB_SETITEMDATA, 1, 99);
  EXPECT_EQ(99, SendMessage(C, CB_GETITEMDATA, 1, 0));
  EXPECT_EQ(TRUE, SendMessage(C, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("PEAR")));
  EXPECT_EQ(2, Sel(C));
  EXPECT_EQ(CB_ERR, SendMessage(C, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("plum")));
  EXPECT_EQ(CB_ERR, SendMessage(C, CB_SETEDITSEL, 0, 0));  // no edit part
  EXPECT_EQ(2, SendMessage(C, CB_DELETESTRING, 0, 0));
  EXPECT_EQ(1, Sel(C));
  EXPECT_EQ(CB_ERR, SendMessage(C, CB_SETCURSEL, static_cast<WPARAM>(-1), 0));
  EXPECT_EQ("", builtin_test::TextOf(C));
  EXPECT_EQ(CB_OKAY, SendMessage(C, CB_RESETCONTENT, 0, 0));
  EXPECT_EQ(0, SendMessage(C, CB_GETCOUNT, 0, 0));
  // The list goes with the combo box.
  HWND L = Info(C).hwndList;
  DestroyWindow(C);
  EXPECT_FALSE(IsWindow(L));
}

TEST_F(ComboBoxTest, PaintsFieldButtonAndFocusHighlight) {
  HWND C = Make(CBS_DROPDOWNLIST);
  Add(C, {"text"});
  SendMessage(C, CB_SETCURSEL, 0, 0);
  UpdateWindow(C);
  COMBOBOXINFO I = Info(C);
  POINT Mid{I.rcItem.right - 4, (I.rcItem.top + I.rcItem.bottom) / 2};
  EXPECT_EQ(GetSysColor(COLOR_WINDOW), D.ClientPixel(C, Mid));
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE),
            D.ClientPixel(C, POINT{I.rcButton.left + 2, I.rcButton.top + 2}));
  EXPECT_GT(k58test::CountColour(k58test::ClientPixels(D, C), RECT{I.rcItem.left, Mid.y, I.rcItem.left + 30, Mid.y + 1},
                                GetSysColor(COLOR_WINDOWTEXT)),
            0);
  SetFocus(C);
  UpdateWindow(C);
  EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), D.ClientPixel(C, Mid));
  EXPECT_GT(k58test::CountColour(k58test::ClientPixels(D, C), RECT{I.rcItem.left, Mid.y, I.rcItem.left + 30, Mid.y + 1},
                                GetSysColor(COLOR_HIGHLIGHTTEXT)),
            0);
}

}  // namespace builtin_test
