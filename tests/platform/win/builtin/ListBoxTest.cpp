#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "NotifySpy.h"
#include "tests/common/Display.h"
#include "platform/win/builtin/ListBox.h"

namespace builtin_test {

using builtin_test::At;

namespace {

class ListBoxTest : public ::testing::Test {
protected:
  k58::winui::TestDisplay D;
  builtin_test::Host H;

  ListBoxTest() { k58::builtin::RegisterListBoxClass(); }

  HWND Make(DWORD Style, RECT R = RECT{10, 10, 170, 110}) {
    HWND L = H.Child(WC_LISTBOX, Style, R);
    EXPECT_NE(nullptr, L);
    return L;
  }
  static void Add(HWND L, std::initializer_list<const char*> Items) {
    for (const char* S : Items) SendMessage(L, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(S));
  }
  static std::string Text(HWND L, int I) {
    char B[256] = {};
    LRESULT N = SendMessage(L, LB_GETTEXT, I, reinterpret_cast<LPARAM>(B));
    return N == LB_ERR ? "<err>" : std::string(B);
  }
  static std::vector<std::string> Texts(HWND L) {
    std::vector<std::string> R;
    for (int I = 0; I < SendMessage(L, LB_GETCOUNT, 0, 0); ++I) R.push_back(Text(L, I));
    return R;
  }
  static RECT ItemRect(HWND L, int I) {
    RECT R{};
    SendMessage(L, LB_GETITEMRECT, I, reinterpret_cast<LPARAM>(&R));
    return R;
  }
  // Screen point in the middle of row I.
  static POINT Row(HWND L, int I) {
    RECT R = ItemRect(L, I);
    return At(L, 20, (R.top + R.bottom) / 2);
  }
  static std::vector<int> Selected(HWND L) {
    std::vector<int> R;
    for (int I = 0; I < SendMessage(L, LB_GETCOUNT, 0, 0); ++I)
      if (SendMessage(L, LB_GETSEL, I, 0) > 0) R.push_back(I);
    return R;
  }
  void Focus(HWND L) {
    SetFocus(L);
    D.Pump();
    H.Clear();
  }
  static SCROLLINFO VBar(HWND L) {
    SCROLLINFO Si;
    Si.fMask = SIF_ALL;
    GetScrollInfo(L, SB_VERT, &Si);
    return Si;
  }
};

std::vector<std::string> Strings(std::initializer_list<const char*> L) { return {L.begin(), L.end()}; }

}  // namespace

TEST_F(ListBoxTest, ItemsAreAddedInsertedDeletedAndFound) {
  HWND L = Make(LBS_NOTIFY);
  Add(L, {"pear", "Apple", "fig"});
  EXPECT_EQ(1, SendMessage(L, LB_INSERTSTRING, 1, reinterpret_cast<LPARAM>("kiwi")));
  EXPECT_EQ(4, SendMessage(L, LB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("lime")));
  EXPECT_EQ(LB_ERR, SendMessage(L, LB_INSERTSTRING, 9, reinterpret_cast<LPARAM>("x")));
  EXPECT_EQ(Strings({"pear", "kiwi", "Apple", "fig", "lime"}), Texts(L));
  EXPECT_EQ(5, SendMessage(L, LB_GETTEXTLEN, 2, 0) + 0);
  EXPECT_EQ(LB_ERR, SendMessage(L, LB_GETTEXTLEN, 5, 0));
  EXPECT_EQ("<err>", Text(L, -1));

  EXPECT_EQ(TRUE, SendMessage(L, LB_SETITEMDATA, 3, 77));
  EXPECT_EQ(77, SendMessage(L, LB_GETITEMDATA, 3, 0));
  EXPECT_EQ(LB_ERR, SendMessage(L, LB_SETITEMDATA, 8, 1));

  // Prefix and whole-text searches ignore case, start after the given row and wrap round.
  auto Find = [&](UINT Msg, int From, const char* S) { return SendMessage(L, Msg, From, reinterpret_cast<LPARAM>(S)); };
  EXPECT_EQ(2, Find(LB_FINDSTRING, -1, "ap"));
  EXPECT_EQ(0, Find(LB_FINDSTRING, 3, "P"));
  EXPECT_EQ(LB_ERR, Find(LB_FINDSTRINGEXACT, -1, "app"));
  EXPECT_EQ(2, Find(LB_FINDSTRINGEXACT, 2, "APPLE"));
  EXPECT_EQ(LB_ERR, Find(LB_FINDSTRING, -1, "zz"));

  // Deleting answers the remaining count and keeps the selection on its row.
  SendMessage(L, LB_SETCURSEL, 3, 0);
  EXPECT_EQ(4, SendMessage(L, LB_DELETESTRING, 0, 0));
  EXPECT_EQ(2, SendMessage(L, LB_GETCURSEL, 0, 0));
  EXPECT_EQ(77, SendMessage(L, LB_GETITEMDATA, 2, 0));
  EXPECT_EQ(3, SendMessage(L, LB_DELETESTRING, 2, 0));
  EXPECT_EQ(LB_ERR, SendMessage(L, LB_GETCURSEL, 0, 0));
  EXPECT_EQ(LB_ERR, SendMessage(L, LB_DELETESTRING, 3, 0));
  EXPECT_EQ(LB_OKAY, SendMessage(L, LB_RESETCONTENT, 0, 0));
  EXPECT_EQ(0, SendMessage(L, LB_GETCOUNT, 0, 0));
  // Changes made by messages never notify.
  EXPECT_TRUE(H.Commands(L).empty());
}

TEST_F(ListBoxTest, SortedListKeepsCaseInsensitiveOrder) {
  HWND L = Make(LBS_SORT);
  Add(L, {"delta", "Bravo", "alpha", "Charlie", "bravo", "Émile", "echo"});
  EXPECT_EQ(Strings({"alpha", "Bravo", "bravo", "Charlie", "delta", "echo", "Émile"}), Texts(L));
  // LB_INSERTSTRING puts the text where it is told, even in a sorted list.
  SendMessage(L, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("zulu"));
  EXPECT_EQ("zulu", Text(L, 0));
  EXPECT_EQ(2, SendMessage(L, LB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("BR")));
  EXPECT_EQ(2, SendMessage(L, LB_GETCURSEL, 0, 0));
  EXPECT_EQ(LB_ERR, SendMessage(L, LB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("x")));
  EXPECT_EQ(2, SendMessage(L, LB_GETCURSEL, 0, 0));
}

TEST_F(ListBoxTest, SingleSelectionByMessagesMouseAndKeys) {
  HWND L = Make(LBS_NOTIFY | WS_VSCROLL);
  for (int I = 0; I < 20; ++I) Add(L, {("item " + std::to_string(I)).c_str()});
  // Messages: -1 clears and answers LB_ERR; multiple-selection messages are refused.
  EXPECT_EQ(4, SendMessage(L, LB_SETCURSEL, 4, 0));
  EXPECT_EQ(LB_ERR, SendMessage(L, LB_SETCURSEL, static_cast<WPARAM>(-1), 0));
  EXPECT_EQ(LB_ERR, SendMessage(L, LB_GETCURSEL, 0, 0));
  EXPECT_EQ(LB_ERR, SendMessage(L, LB_SETSEL, TRUE, 2));
  EXPECT_EQ(LB_ERR, SendMessage(L, LB_GETSELCOUNT, 0, 0));
  EXPECT_EQ(LB_ERR, SendMessage(L, LB_SELITEMRANGE, TRUE, MAKELPARAM(0, 2)));

  // A click selects and notifies; clicking the selected row again does not notify.
  D.Click(Row(L, 2));
  D.Pump();
  EXPECT_EQ(2, SendMessage(L, LB_GETCURSEL, 0, 0));
  EXPECT_EQ(L, GetFocus());
  EXPECT_EQ((std::vector<UINT>{LBN_SETFOCUS, LBN_SELCHANGE}), H.Commands(L));
  H.Clear();
  D.Advance(1000);
  D.Click(Row(L, 2));
  D.Pump();
  EXPECT_TRUE(H.Commands(L).empty());
  // Double click: the selection, then LBN_DBLCLK.
  D.Advance(1000);
  D.DoubleClick(Row(L, 3));
  D.Pump();
  EXPECT_EQ((std::vector<UINT>{LBN_SELCHANGE, LBN_DBLCLK}), H.Commands(L));
  EXPECT_EQ(3, SendMessage(L, LB_GETCURSEL, 0, 0));

  // Keys move the selection and scroll the caret into view.
  H.Clear();
  int Page = static_cast<int>(VBar(L).nPage);
  ASSERT_GT(Page, 2);
  D.Key(VK_DOWN);
  D.Key(VK_END);
  D.Pump();
  EXPECT_EQ(19, SendMessage(L, LB_GETCURSEL, 0, 0));
  EXPECT_EQ(20 - Page, SendMessage(L, LB_GETTOPINDEX, 0, 0));
  EXPECT_EQ(20 - Page, VBar(L).nPos);
  D.Key(VK_PRIOR);
  D.Pump();
  EXPECT_EQ(19 - (Page - 1), SendMessage(L, LB_GETCURSEL, 0, 0));
  D.Key(VK_HOME);
  D.Pump();
  EXPECT_EQ(0, SendMessage(L, LB_GETCURSEL, 0, 0));
  EXPECT_EQ(0, SendMessage(L, LB_GETTOPINDEX, 0, 0));
  D.Key(VK_UP);  // at the top: nothing changes
  D.Pump();
  EXPECT_EQ(4u, H.Commands(L).size());

  // Dragging moves the selection with the mouse.
  H.Clear();
  D.Drag(Row(L, 1), Row(L, 3));
  D.Pump();
  EXPECT_EQ(3, SendMessage(L, LB_GETCURSEL, 0, 0));
  EXPECT_EQ(nullptr, GetCapture());
}

TEST_F(ListBoxTest, WithoutNotifyStyleTheUserChangesAreSilent) {
  HWND L = Make(0);
  Add(L, {"a", "b"});
  D.Click(Row(L, 1));
  D.Pump();
  EXPECT_EQ(1, SendMessage(L, LB_GETCURSEL, 0, 0));
  // Focus notifications are sent whatever the style.
  EXPECT_EQ((std::vector<UINT>{LBN_SETFOCUS}), H.Commands(L));
  SetFocus(H.Hwnd);
  D.Pump();
  EXPECT_EQ((std::vector<UINT>{LBN_SETFOCUS, LBN_KILLFOCUS}), H.Commands(L));
}

TEST_F(ListBoxTest, MultipleSelectionTogglesWithClicksAndSpace) {
  HWND L = Make(LBS_NOTIFY | LBS_MULTIPLESEL);
  Add(L, {"a", "b", "c", "d", "e"});
  D.Click(Row(L, 1));
  D.Click(Row(L, 3));
  D.Pump();
  EXPECT_EQ((std::vector<int>{1, 3}), Selected(L));
  D.Click(Row(L, 1));
  D.Pump();
  EXPECT_EQ((std::vector<int>{3}), Selected(L));
  // Arrows move the caret only; Space toggles the caret row.
  D.Key(VK_DOWN);
  D.Pump();
  EXPECT_EQ(2, SendMessage(L, LB_GETCARETINDEX, 0, 0));
  EXPECT_EQ((std::vector<int>{3}), Selected(L));
  D.Key(VK_SPACE);
  D.Pump();
  EXPECT_EQ((std::vector<int>{2, 3}), Selected(L));
  EXPECT_EQ((std::vector<UINT>{LBN_SETFOCUS, LBN_SELCHANGE, LBN_SELCHANGE, LBN_SELCHANGE, LBN_SELCHANGE}),
            H.Commands(L));

  // Messages: ranges, counts and the selected rows.
  EXPECT_EQ(LB_OKAY, SendMessage(L, LB_SELITEMRANGE, TRUE, MAKELPARAM(0, 1)));
  EXPECT_EQ(LB_OKAY, SendMessage(L, LB_SETSEL, FALSE, 3));
  EXPECT_EQ(3, SendMessage(L, LB_GETSELCOUNT, 0, 0));
  INT Rows[8] = {};
  EXPECT_EQ(2, SendMessage(L, LB_GETSELITEMS, 2, reinterpret_cast<LPARAM>(Rows)));
  EXPECT_EQ(0, Rows[0]);
  EXPECT_EQ(1, Rows[1]);
  EXPECT_EQ(LB_OKAY, SendMessage(L, LB_SETSEL, TRUE, static_cast<LPARAM>(-1)));
  EXPECT_EQ(5, SendMessage(L, LB_GETSELCOUNT, 0, 0));
  EXPECT_EQ(LB_ERR, SendMessage(L, LB_SETSEL, TRUE, 9));
  EXPECT_EQ(LB_ERR, SendMessage(L, LB_SETCURSEL, 1, 0));
  EXPECT_EQ(LB_ERR, SendMessage(L, LB_SELECTSTRING, 0, reinterpret_cast<LPARAM>("a")));
  // Deleting a selected row keeps the others selected.
  SendMessage(L, LB_DELETESTRING, 0, 0);
  EXPECT_EQ(4, SendMessage(L, LB_GETSELCOUNT, 0, 0));
}

TEST_F(ListBoxTest, ExtendedSelectionWithShiftAndCtrl) {
  HWND L = Make(LBS_NOTIFY | LBS_EXTENDEDSEL);
  Add(L, {"a", "b", "c", "d", "e", "f"});
  D.Click(Row(L, 1));
  D.Pump();
  EXPECT_EQ((std::vector<int>{1}), Selected(L));
  D.KeyDown(VK_SHIFT);
  D.Click(Row(L, 3));
  D.KeyUp(VK_SHIFT);
  D.Pump();
  EXPECT_EQ((std::vector<int>{1, 2, 3}), Selected(L));
  D.KeyDown(VK_CONTROL);
  D.Click(Row(L, 5));
  D.Click(Row(L, 2));
  D.KeyUp(VK_CONTROL);
  D.Pump();
  EXPECT_EQ((std::vector<int>{1, 3, 5}), Selected(L));
  // A plain click selects one row only; Shift+Down extends from it.
  D.Click(Row(L, 4));
  D.Chord({VK_SHIFT}, VK_DOWN);
  D.Pump();
  EXPECT_EQ((std::vector<int>{4, 5}), Selected(L));
  EXPECT_EQ(4, SendMessage(L, LB_GETANCHORINDEX, 0, 0));
  // Ctrl+arrows move the caret alone.
  D.Chord({VK_CONTROL}, VK_UP);
  D.Chord({VK_CONTROL}, VK_UP);
  D.Pump();
  EXPECT_EQ(3, SendMessage(L, LB_GETCARETINDEX, 0, 0));
  EXPECT_EQ((std::vector<int>{4, 5}), Selected(L));
  // Dragging selects the rows between the press and the pointer.
  D.Drag(Row(L, 0), Row(L, 2));
  D.Pump();
  EXPECT_EQ((std::vector<int>{0, 1, 2}), Selected(L));
}

TEST_F(ListBoxTest, TypeAheadSelectsByPrefix) {
  HWND L = Make(LBS_NOTIFY);
  Add(L, {"apple", "banana", "blueberry", "cherry", "bluebell"});
  Focus(L);
  D.Type("b");
  D.Pump();
  EXPECT_EQ(1, SendMessage(L, LB_GETCURSEL, 0, 0));
  D.Type("l");  // "bl" from the current row
  D.Pump();
  EXPECT_EQ(2, SendMessage(L, LB_GETCURSEL, 0, 0));
  D.Type("ueb");  // "blueb": still the current row
  D.Pump();
  EXPECT_EQ(2, SendMessage(L, LB_GETCURSEL, 0, 0));
  D.Type("el");  // "bluebel": the next row that fits
  D.Pump();
  EXPECT_EQ(4, SendMessage(L, LB_GETCURSEL, 0, 0));
  // After a pause the search starts again; the same letter again and again steps through the rows.
  D.Advance(1500);
  D.Type("b");
  D.Pump();
  EXPECT_EQ(1, SendMessage(L, LB_GETCURSEL, 0, 0));
  D.Type("b");
  D.Pump();
  EXPECT_EQ(2, SendMessage(L, LB_GETCURSEL, 0, 0));
  D.Advance(1500);
  D.Type("z");
  D.Pump();
  EXPECT_EQ(2, SendMessage(L, LB_GETCURSEL, 0, 0));
}

TEST_F(ListBoxTest, ScrollBarFollowsTopRowAndScrollMessages) {
  HWND L = Make(WS_VSCROLL | LBS_NOINTEGRALHEIGHT, RECT{10, 10, 170, 95});
  int Ih = static_cast<int>(SendMessage(L, LB_GETITEMHEIGHT, 0, 0));
  RECT C{};
  GetClientRect(L, &C);
  int Page = C.bottom / Ih;
  for (int I = 0; I < 3; ++I) Add(L, {"x"});
  SCROLLBARINFO Sb;
  GetScrollBarInfo(L, OBJID_VSCROLL, &Sb);
  EXPECT_TRUE(Sb.rgstate[0] & STATE_SYSTEM_INVISIBLE) << "no bar while everything fits";
  for (int I = 0; I < 27; ++I) Add(L, {"x"});
  GetScrollBarInfo(L, OBJID_VSCROLL, &Sb);
  EXPECT_FALSE(Sb.rgstate[0] & STATE_SYSTEM_INVISIBLE);
  SCROLLINFO Si = VBar(L);
  EXPECT_EQ(0, Si.nMin);
  EXPECT_EQ(29, Si.nMax);
  EXPECT_EQ(static_cast<UINT>(Page), Si.nPage);

  SendMessage(L, WM_VSCROLL, SB_LINEDOWN, 0);
  SendMessage(L, WM_VSCROLL, SB_LINEDOWN, 0);
  SendMessage(L, WM_VSCROLL, SB_LINEUP, 0);
  EXPECT_EQ(1, SendMessage(L, LB_GETTOPINDEX, 0, 0));
  EXPECT_EQ(1, VBar(L).nPos);
  SendMessage(L, WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_EQ(30 - Page, SendMessage(L, LB_GETTOPINDEX, 0, 0));
  // The top row never goes past the last full page.
  EXPECT_EQ(LB_OKAY, SendMessage(L, LB_SETTOPINDEX, 29, 0));
  EXPECT_EQ(30 - Page, SendMessage(L, LB_GETTOPINDEX, 0, 0));
  EXPECT_EQ(LB_ERR, SendMessage(L, LB_SETTOPINDEX, 30, 0));
  // Item rectangles move with the top row.
  EXPECT_EQ(-Ih * (30 - Page), ItemRect(L, 0).top);
  // The wheel scrolls three rows a notch.
  SendMessage(L, LB_SETTOPINDEX, 10, 0);
  SetFocus(L);
  D.Wheel(At(L, 10, 10), -1);
  D.Pump();
  EXPECT_EQ(13, SendMessage(L, LB_GETTOPINDEX, 0, 0));
  // LB_SETCARETINDEX brings the row into view.
  SendMessage(L, LB_SETCARETINDEX, 2, FALSE);
  EXPECT_EQ(2, SendMessage(L, LB_GETTOPINDEX, 0, 0));
  // Clicking the bar's down arrow scrolls by a row.
  GetScrollBarInfo(L, OBJID_VSCROLL, &Sb);
  D.Click(POINT{(Sb.rcScrollBar.left + Sb.rcScrollBar.right) / 2, Sb.rcScrollBar.bottom - 3});
  D.Pump();
  EXPECT_EQ(3, SendMessage(L, LB_GETTOPINDEX, 0, 0));
  // Emptying the list hides the bar again.
  SendMessage(L, LB_RESETCONTENT, 0, 0);
  GetScrollBarInfo(L, OBJID_VSCROLL, &Sb);
  EXPECT_TRUE(Sb.rgstate[0] & STATE_SYSTEM_INVISIBLE);
}

TEST_F(ListBoxTest, DisableNoScrollAndHorizontalExtent) {
  HWND L = Make(WS_VSCROLL | WS_HSCROLL | LBS_DISABLENOSCROLL | LBS_NOINTEGRALHEIGHT);
  Add(L, {"short"});
  SCROLLBARINFO Sb;
  GetScrollBarInfo(L, OBJID_VSCROLL, &Sb);
  EXPECT_FALSE(Sb.rgstate[0] & STATE_SYSTEM_INVISIBLE);
  EXPECT_TRUE(Sb.rgstate[0] & STATE_SYSTEM_UNAVAILABLE);

  RECT C{};
  GetClientRect(L, &C);
  SendMessage(L, LB_SETHORIZONTALEXTENT, C.right + 100, 0);
  EXPECT_EQ(C.right + 100, SendMessage(L, LB_GETHORIZONTALEXTENT, 0, 0));
  GetScrollBarInfo(L, OBJID_HSCROLL, &Sb);
  EXPECT_FALSE(Sb.rgstate[0] & STATE_SYSTEM_UNAVAILABLE);
  SendMessage(L, WM_HSCROLL, SB_PAGERIGHT, 0);
  GetClientRect(L, &C);
  // Scrolled by at most the extent beyond the client width; rows move left with it.
  SCROLLINFO Si;
  Si.fMask = SIF_POS;
  GetScrollInfo(L, SB_HORZ, &Si);
  EXPECT_EQ(100, Si.nPos);
  EXPECT_EQ(-100, ItemRect(L, 0).left);
  SendMessage(L, WM_HSCROLL, SB_LEFT, 0);
  EXPECT_EQ(0, ItemRect(L, 0).left);
}

TEST_F(ListBoxTest, IntegralHeightRoundsTheWindowDownToWholeRows) {
  HWND A = Make(WS_BORDER, RECT{10, 10, 170, 107});
  HWND B = Make(WS_BORDER | LBS_NOINTEGRALHEIGHT, RECT{180, 10, 340, 107});
  int Ih = static_cast<int>(SendMessage(A, LB_GETITEMHEIGHT, 0, 0));
  RECT Ca{}, Cb{};
  GetClientRect(A, &Ca);
  GetClientRect(B, &Cb);
  EXPECT_EQ(0, Ca.bottom % Ih);
  EXPECT_LE(Cb.bottom - Ca.bottom, Ih - 1);
  EXPECT_EQ(95, Cb.bottom);
  SetWindowPos(A, nullptr, 0, 0, 160, 2 + 3 * Ih + Ih / 2, SWP_NOMOVE | SWP_NOZORDER);
  GetClientRect(A, &Ca);
  EXPECT_EQ(3 * Ih, Ca.bottom);
}

TEST_F(ListBoxTest, OwnerDrawFixedMeasuresOnceAndDrawsEachRowWithItsState) {
  H.OnMessage = [](UINT Msg, WPARAM, LPARAM LParam) -> std::optional<LRESULT> {
    if (Msg == WM_MEASUREITEM) {
      reinterpret_cast<MEASUREITEMSTRUCT*>(LParam)->itemHeight = 24;
      return TRUE;
    }
    if (Msg == WM_DRAWITEM) return TRUE;
    return std::nullopt;
  };
  HWND L = Make(LBS_OWNERDRAWFIXED | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT);
  auto Measures = H.Of(WM_MEASUREITEM);
  ASSERT_EQ(1u, Measures.size());
  EXPECT_EQ(ODT_LISTBOX, Measures[0].Measure->CtlType);
  EXPECT_EQ(100u, Measures[0].Measure->CtlID);
  EXPECT_EQ(24, SendMessage(L, LB_GETITEMHEIGHT, 0, 0));

  // Without LBS_HASSTRINGS the item is its data.
  SendMessage(L, LB_ADDSTRING, 0, 1001);
  SendMessage(L, LB_ADDSTRING, 0, 1002);
  EXPECT_EQ(1002, SendMessage(L, LB_GETITEMDATA, 1, 0));
  EXPECT_EQ(1, SendMessage(L, LB_FINDSTRING, static_cast<WPARAM>(-1), 1002));
  ULONG_PTR Data = 0;
  EXPECT_EQ(static_cast<LRESULT>(sizeof Data), SendMessage(L, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(&Data)));
  EXPECT_EQ(1001u, Data);
  EXPECT_EQ(24, ItemRect(L, 1).top);

  SendMessage(L, LB_SETCURSEL, 1, 0);
  SetFocus(L);
  H.Clear();
  UpdateWindow(L);
  auto Draws = H.Of(WM_DRAWITEM);
  ASSERT_EQ(2u, Draws.size());
  EXPECT_EQ(0u, Draws[0].Draw->itemID);
  EXPECT_EQ(1001u, Draws[0].Draw->itemData);
  EXPECT_EQ(0u, Draws[0].Draw->itemState);
  EXPECT_EQ(1u, Draws[1].Draw->itemID);
  EXPECT_EQ(static_cast<UINT>(ODS_SELECTED | ODS_FOCUS), Draws[1].Draw->itemState);
  EXPECT_EQ(static_cast<UINT>(ODA_DRAWENTIRE), Draws[1].Draw->itemAction);
  EXPECT_EQ(L, Draws[1].Draw->hwndItem);
  EXPECT_EQ(24, Draws[1].Draw->rcItem.top);
  EXPECT_EQ(48, Draws[1].Draw->rcItem.bottom);

  // An empty list with the focus asks for its focus rectangle with row -1.
  SendMessage(L, LB_RESETCONTENT, 0, 0);
  H.Clear();
  UpdateWindow(L);
  Draws = H.Of(WM_DRAWITEM);
  ASSERT_EQ(1u, Draws.size());
  EXPECT_EQ(static_cast<UINT>(-1), Draws[0].Draw->itemID);
  EXPECT_EQ(static_cast<UINT>(ODA_FOCUS), Draws[0].Draw->itemAction);
}

TEST_F(ListBoxTest, OwnerDrawVariableRowsHaveTheirOwnHeights) {
  std::vector<std::string> Measured;
  H.OnMessage = [&](UINT Msg, WPARAM, LPARAM LParam) -> std::optional<LRESULT> {
    if (Msg == WM_MEASUREITEM) {
      auto* M = reinterpret_cast<MEASUREITEMSTRUCT*>(LParam);
      M->itemHeight = 10 + 10 * M->itemID;
      Measured.push_back(reinterpret_cast<const char*>(M->itemData));
      return TRUE;
    }
    return std::nullopt;
  };
  HWND L = Make(LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS | WS_VSCROLL, RECT{10, 10, 170, 70});
  Add(L, {"a", "b", "c", "d"});
  auto Measures = H.Of(WM_MEASUREITEM);
  ASSERT_EQ(4u, Measures.size());
  EXPECT_EQ(3u, Measures[3].Measure->itemID);
  EXPECT_EQ(Strings({"a", "b", "c", "d"}), Measured);
  EXPECT_EQ(30, SendMessage(L, LB_GETITEMHEIGHT, 2, 0));
  EXPECT_EQ(30, ItemRect(L, 2).top);  // 10 + 20
  EXPECT_EQ(60, ItemRect(L, 2).bottom);
  EXPECT_EQ(LB_OKAY, SendMessage(L, LB_SETITEMHEIGHT, 0, MAKELPARAM(5, 0)));
  EXPECT_EQ(25, ItemRect(L, 2).top);
  EXPECT_EQ(LB_ERR, SendMessage(L, LB_SETITEMHEIGHT, 0, MAKELPARAM(300, 0)));
  // Row from a point, and the bottom row scrolled fully into view.
  EXPECT_EQ(MAKELONG(1, 0), SendMessage(L, LB_ITEMFROMPOINT, 0, MAKELPARAM(5, 12)));
  SendMessage(L, LB_SETCARETINDEX, 3, FALSE);
  RECT R = ItemRect(L, 3);
  RECT C{};
  GetClientRect(L, &C);
  EXPECT_LE(R.bottom, C.bottom);
  EXPECT_GE(R.top, 0);
}

TEST_F(ListBoxTest, SortedOwnerDrawWithoutStringsAsksTheParentToCompare) {
  H.OnMessage = [](UINT Msg, WPARAM, LPARAM LParam) -> std::optional<LRESULT> {
    if (Msg == WM_COMPAREITEM) {
      auto* C = reinterpret_cast<COMPAREITEMSTRUCT*>(LParam);
      // Descending order of the data.
      return C->itemData1 > C->itemData2 ? -1 : C->itemData1 < C->itemData2 ? 1 : 0;
    }
    return std::nullopt;
  };
  HWND L = Make(LBS_OWNERDRAWFIXED | LBS_SORT);
  for (LPARAM V : {5, 9, 1, 7}) SendMessage(L, LB_ADDSTRING, 0, V);
  std::vector<LRESULT> Order;
  for (int I = 0; I < 4; ++I) Order.push_back(SendMessage(L, LB_GETITEMDATA, I, 0));
  EXPECT_EQ((std::vector<LRESULT>{9, 7, 5, 1}), Order);
  EXPECT_FALSE(H.Of(WM_COMPAREITEM).empty());
}

TEST_F(ListBoxTest, KeyboardInputGoesToTheParentFirst) {
  LRESULT Answer = -1;
  H.OnMessage = [&](UINT Msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (Msg == WM_VKEYTOITEM || Msg == WM_CHARTOITEM) return Answer;
    return std::nullopt;
  };
  HWND L = Make(LBS_WANTKEYBOARDINPUT | LBS_NOTIFY);
  Add(L, {"a", "b", "c", "d"});
  SendMessage(L, LB_SETCURSEL, 0, 0);
  Focus(L);
  D.Key(VK_DOWN);  // -1: the list does its usual thing
  D.Pump();
  EXPECT_EQ(1, SendMessage(L, LB_GETCURSEL, 0, 0));
  auto Keys = H.Of(WM_VKEYTOITEM);
  ASSERT_FALSE(Keys.empty());
  EXPECT_EQ(VK_DOWN, LOWORD(Keys[0].WParam));
  EXPECT_EQ(0, HIWORD(Keys[0].WParam));  // the caret row before the key
  EXPECT_EQ(L, Keys[0].From);
  Answer = -2;  // handled: nothing happens
  D.Key(VK_DOWN);
  D.Pump();
  EXPECT_EQ(1, SendMessage(L, LB_GETCURSEL, 0, 0));
  Answer = 3;  // the key acts from row 3
  D.Key(VK_UP);
  D.Pump();
  EXPECT_EQ(2, SendMessage(L, LB_GETCURSEL, 0, 0));

  // An owner-drawn list without strings asks about characters.
  HWND O = Make(LBS_WANTKEYBOARDINPUT | LBS_OWNERDRAWFIXED, RECT{200, 10, 300, 100});
  for (LPARAM V : {1, 2, 3}) SendMessage(O, LB_ADDSTRING, 0, V);
  Focus(O);
  Answer = 2;
  D.Type("x");
  D.Pump();
  EXPECT_EQ(2, SendMessage(O, LB_GETCURSEL, 0, 0));
  auto Chars = H.Of(WM_CHARTOITEM);
  ASSERT_EQ(1u, Chars.size());
  EXPECT_EQ('x', LOWORD(Chars[0].WParam));
}

TEST_F(ListBoxTest, NoDataListHoldsACountOnly) {
  HWND L = Make(LBS_OWNERDRAWFIXED | LBS_NODATA);
  EXPECT_EQ(LB_OKAY, SendMessage(L, LB_SETCOUNT, 500, 0));
  EXPECT_EQ(500, SendMessage(L, LB_GETCOUNT, 0, 0));
  EXPECT_EQ(LB_ERR, SendMessage(L, LB_ADDSTRING, 0, 1));
  EXPECT_EQ(LB_ERR, SendMessage(L, LB_SETITEMDATA, 3, 1));
  SendMessage(L, LB_SETCURSEL, 499, 0);
  EXPECT_EQ(499, SendMessage(L, LB_GETCURSEL, 0, 0));
  SendMessage(L, LB_SETCOUNT, 10, 0);
  EXPECT_EQ(LB_ERR, SendMessage(L, LB_GETCURSEL, 0, 0));
  EXPECT_EQ(LB_ERR, SendMessage(Make(0), LB_SETCOUNT, 3, 0));
}

TEST_F(ListBoxTest, PaintsSelectedRowInHighlightAndFocusRectangle) {
  HWND L = Make(LBS_NOINTEGRALHEIGHT);
  Add(L, {"first", "second"});
  SendMessage(L, LB_SETCURSEL, 1, 0);
  UpdateWindow(L);
  int Ih = static_cast<int>(SendMessage(L, LB_GETITEMHEIGHT, 0, 0));
  COLORREF Highlight = GetSysColor(COLOR_HIGHLIGHT);
  COLORREF Window = GetSysColor(COLOR_WINDOW);
  EXPECT_EQ(Window, D.ClientPixel(L, POINT{150, Ih / 2}));
  EXPECT_EQ(Highlight, D.ClientPixel(L, POINT{150, Ih + Ih / 2}));
  EXPECT_EQ(Window, D.ClientPixel(L, POINT{150, 3 * Ih}));
  EXPECT_GT(k58test::CountColour(k58test::ClientPixels(D, L), RECT{2, Ih + Ih / 2, 60, Ih + Ih / 2 + 1},
                                GetSysColor(COLOR_HIGHLIGHTTEXT)),
            0);
  // Disabled: grey text, the row still highlighted.
  EnableWindow(L, FALSE);
  UpdateWindow(L);
  EXPECT_GT(k58test::CountColour(k58test::ClientPixels(D, L), RECT{2, Ih / 2, 40, Ih / 2 + 1},
                                GetSysColor(COLOR_GRAYTEXT)),
            0);
}

}  // namespace builtin_test
