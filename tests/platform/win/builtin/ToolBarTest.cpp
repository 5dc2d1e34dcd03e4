#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "NotifySpy.h"
#include "tests/common/Display.h"
#include "platform/win/builtin/ImageList.h"
#include "platform/win/builtin/ToolBar.h"
#include "platform/win/gdi/Gdi.h"

namespace builtin_test {

using builtin_test::At;

namespace {

constexpr COLORREF kGreen = RGB(0, 160, 0);
constexpr COLORREF kMagenta = RGB(255, 0, 255);

TBBUTTON Btn(int Image, int Id, BYTE Style = BTNS_BUTTON, BYTE State = TBSTATE_ENABLED, INT_PTR Text = 0) {
  TBBUTTON B;
  B.iBitmap = Image;
  B.idCommand = Id;
  B.fsStyle = Style;
  B.fsState = State;
  B.iString = Text;
  return B;
}

class ToolBarTest : public ::testing::Test {
protected:
  k58::winui::TestDisplay D;
  std::vector<UINT> Notifications;
  LRESULT DropAnswer = TBDDRET_DEFAULT;
  LRESULT HotAnswer = 0;
  builtin_test::Host H;  // last: goes first

  ToolBarTest() {
    k58::builtin::RegisterToolBarClass();
    H.OnMessage = [this](UINT Msg, WPARAM, LPARAM L) -> std::optional<LRESULT> {
      if (Msg != WM_NOTIFY) return std::nullopt;
      UINT Code = reinterpret_cast<NMHDR*>(L)->code;
      if (Code != NM_CUSTOMDRAW) Notifications.push_back(Code);
      if (Code == TBN_DROPDOWN) return DropAnswer;
      if (Code == TBN_HOTITEMCHANGE) return HotAnswer;
      return std::nullopt;
    };
  }

  // A tool bar with four 16x16 images: green squares on a magenta key.
  HWND Make(DWORD Style = TBSTYLE_FLAT, HIMAGELIST* ImagesOut = nullptr) {
    HWND T = H.Child(TOOLBARCLASSNAME, Style, RECT{0, 0, 0, 0}, 300);
    EXPECT_NE(nullptr, T);
    SendMessage(T, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    HIMAGELIST L = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 4, 1);
    HBITMAP B = CreateBitmap(64, 16, 1, 32, nullptr);
    auto S = k58::gdi::SurfaceOfBitmap(B);
    S->Fill(k58::gdi::ColorToPixel(kMagenta));
    for (int Y = 4; Y < 12; ++Y)
      for (int X = 0; X < 64; ++X)
        if (X % 16 >= 4 && X % 16 < 12) S->Set(X, Y, k58::gdi::ColorToPixel(kGreen));
    ImageList_AddMasked(L, B, kMagenta);
    DeleteObject(B);
    SendMessage(T, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(L));
    Lists.push_back(L);
    if (ImagesOut) *ImagesOut = L;
    return T;
  }
  ~ToolBarTest() override {
    if (IsWindow(H.Hwnd)) DestroyWindow(H.Hwnd);
    for (HIMAGELIST L : Lists) ImageList_Destroy(L);
  }
  std::vector<HIMAGELIST> Lists;

  static RECT Rect(HWND T, int Index) {
    RECT R{-1, -1, -1, -1};
    SendMessage(T, TB_GETITEMRECT, Index, reinterpret_cast<LPARAM>(&R));
    return R;
  }
  static POINT Mid(HWND T, int Index, int Dx = 0) {
    RECT R = Rect(T, Index);
    return At(T, (R.left + R.right) / 2 + Dx, (R.top + R.bottom) / 2);
  }
  std::vector<int> Clicks() const {
    std::vector<int> Ids;
    for (const k58test::Message& E : H.Of(WM_COMMAND)) Ids.push_back(LOWORD(E.WParam));
    return Ids;
  }
  static bool Checked(HWND T, int Id) { return SendMessage(T, TB_ISBUTTONCHECKED, Id, 0) > 0; }
};

}  // namespace

TEST_F(ToolBarTest, ButtonsAreAddedLaidOutAndDescribed) {
  HWND T = Make();
  EXPECT_EQ(0, SendMessage(T, TB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Open\0Save\0")));
  TBBUTTON Set[] = {Btn(0, 10, BTNS_BUTTON, TBSTATE_ENABLED, 0), Btn(1, 11, BTNS_BUTTON, TBSTATE_ENABLED, 1),
                    Btn(0, 0, BTNS_SEP), Btn(2, 12, BTNS_CHECK, TBSTATE_ENABLED,
                                             reinterpret_cast<INT_PTR>("Print"))};
  EXPECT_TRUE(SendMessage(T, TB_ADDBUTTONS, 4, reinterpret_cast<LPARAM>(Set)));
  EXPECT_EQ(4, SendMessage(T, TB_BUTTONCOUNT, 0, 0));
  EXPECT_EQ(3, SendMessage(T, TB_COMMANDTOINDEX, 12, 0));
  EXPECT_EQ(-1, SendMessage(T, TB_COMMANDTOINDEX, 99, 0));
  char Text[32] = {};
  EXPECT_EQ(4, SendMessage(T, TB_GETBUTTONTEXT, 11, reinterpret_cast<LPARAM>(Text)));
  EXPECT_STREQ("Save", Text);
  TBBUTTON Got;
  EXPECT_TRUE(SendMessage(T, TB_GETBUTTON, 1, reinterpret_cast<LPARAM>(&Got)));
  EXPECT_EQ(11, Got.idCommand);
  EXPECT_EQ(1, Got.iBitmap);

  // Without captions (no text rows) buttons are image plus padding, side by side; the separator has
  // its own width.
  SendMessage(T, TB_SETMAXTEXTROWS, 0, 0);
  RECT A = Rect(T, 0), B = Rect(T, 1), S = Rect(T, 2), C = Rect(T, 3);
  EXPECT_EQ(23, A.right - A.left);
  EXPECT_EQ(A.right, B.left);
  EXPECT_EQ(B.right, S.left);
  EXPECT_EQ(8, S.right - S.left);
  EXPECT_EQ(S.right, C.left);
  EXPECT_EQ(A.top, C.top);
  SendMessage(T, TB_SETBUTTONSIZE, 0, MAKELONG(30, 28));
  A = Rect(T, 0);
  EXPECT_EQ(30, A.right - A.left);
  EXPECT_EQ(28, A.bottom - A.top);
  // A hidden button takes no room and has no rectangle.
  SendMessage(T, TB_HIDEBUTTON, 11, TRUE);
  EXPECT_FALSE(SendMessage(T, TB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&B)));
  EXPECT_EQ(Rect(T, 0).right, Rect(T, 2).left);
  SendMessage(T, TB_HIDEBUTTON, 11, FALSE);
  RECT ById{};
  EXPECT_TRUE(SendMessage(T, TB_GETRECT, 12, reinterpret_cast<LPARAM>(&ById)));
  EXPECT_EQ(Rect(T, 3).left, ById.left);

  // Insert and delete.
  TBBUTTON One = Btn(3, 13);
  EXPECT_TRUE(SendMessage(T, TB_INSERTBUTTON, 1, reinterpret_cast<LPARAM>(&One)));
  EXPECT_EQ(1, SendMessage(T, TB_COMMANDTOINDEX, 13, 0));
  EXPECT_EQ(2, SendMessage(T, TB_COMMANDTOINDEX, 11, 0));
  EXPECT_TRUE(SendMessage(T, TB_DELETEBUTTON, 1, 0));
  EXPECT_FALSE(SendMessage(T, TB_DELETEBUTTON, 9, 0));
  EXPECT_EQ(4, SendMessage(T, TB_BUTTONCOUNT, 0, 0));

  // Button information by command id or by index.
  TBBUTTONINFO Info;
  Info.dwMask = TBIF_TEXT | TBIF_COMMAND | TBIF_SIZE | TBIF_LPARAM;
  Info.pszText = const_cast<char*>("Print all");
  Info.idCommand = 20;
  Info.cx = 50;
  Info.lParam = 7;
  EXPECT_TRUE(SendMessage(T, TB_SETBUTTONINFO, 12, reinterpret_cast<LPARAM>(&Info)));
  EXPECT_EQ(3, SendMessage(T, TB_COMMANDTOINDEX, 20, 0));
  char Buffer[6] = {};
  TBBUTTONINFO Out;
  Out.dwMask = TBIF_TEXT | TBIF_SIZE | TBIF_LPARAM | TBIF_BYINDEX | TBIF_STYLE;
  Out.pszText = Buffer;
  Out.cchText = sizeof Buffer;
  EXPECT_EQ(3, SendMessage(T, TB_GETBUTTONINFO, 3, reinterpret_cast<LPARAM>(&Out)));
  EXPECT_STREQ("Print", Buffer);
  EXPECT_EQ(50, Out.cx);
  EXPECT_EQ(7u, Out.lParam);
  EXPECT_EQ(BTNS_CHECK, Out.fsStyle);
  EXPECT_EQ(-1, SendMessage(T, TB_GETBUTTONINFO, 99, reinterpret_cast<LPARAM>(&Info)));

  // Hit test: a button's index; elsewhere -1 - the index of the separator or nearest button.
  RECT Sep = Rect(T, 2);
  POINT P{(Rect(T, 0).left + Rect(T, 0).right) / 2, 10};
  EXPECT_EQ(0, SendMessage(T, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&P)));
  P = POINT{(Sep.left + Sep.right) / 2, 10};
  EXPECT_EQ(-3, SendMessage(T, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&P)));
  P = POINT{1000, 10};
  EXPECT_EQ(-4, SendMessage(T, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&P)));
}

TEST_F(ToolBarTest, StatesAndTheirQueries) {
  HWND T = Make();
  TBBUTTON Set[] = {Btn(0, 1), Btn(1, 2, BTNS_CHECK)};
  SendMessage(T, TB_ADDBUTTONS, 2, reinterpret_cast<LPARAM>(Set));
  struct Case {
    UINT Set, Is;
    BYTE Bit;
  } Cases[] = {{TB_CHECKBUTTON, TB_ISBUTTONCHECKED, TBSTATE_CHECKED},
               {TB_PRESSBUTTON, TB_ISBUTTONPRESSED, TBSTATE_PRESSED},
               {TB_HIDEBUTTON, TB_ISBUTTONHIDDEN, TBSTATE_HIDDEN},
               {TB_INDETERMINATE, TB_ISBUTTONINDETERMINATE, TBSTATE_INDETERMINATE}};
  for (const Case& C : Cases) {
    EXPECT_TRUE(SendMessage(T, C.Set, 2, TRUE));
    EXPECT_GT(SendMessage(T, C.Is, 2, 0), 0);
    EXPECT_EQ(TBSTATE_ENABLED | C.Bit, SendMessage(T, TB_GETSTATE, 2, 0));
    EXPECT_TRUE(SendMessage(T, C.Set, 2, FALSE));
    EXPECT_EQ(0, SendMessage(T, C.Is, 2, 0));
  }
  EXPECT_TRUE(SendMessage(T, TB_ENABLEBUTTON, 1, FALSE));
  EXPECT_EQ(0, SendMessage(T, TB_ISBUTTONENABLED, 1, 0));
  EXPECT_TRUE(SendMessage(T, TB_SETSTATE, 1, MAKELONG(TBSTATE_ENABLED | TBSTATE_CHECKED, 0)));
  EXPECT_EQ(TBSTATE_ENABLED | TBSTATE_CHECKED, SendMessage(T, TB_GETSTATE, 1, 0));
  EXPECT_EQ(-1, SendMessage(T, TB_GETSTATE, 77, 0));
  EXPECT_FALSE(SendMessage(T, TB_CHECKBUTTON, 77, TRUE));
}

TEST_F(ToolBarTest, ClicksCheckButtonsAndGroups) {
  HWND T = Make();
  TBBUTTON Set[] = {Btn(0, 1), Btn(1, 2, BTNS_CHECK), Btn(0, 0, BTNS_SEP), Btn(2, 3, BTNS_CHECKGROUP),
                    Btn(3, 4, BTNS_CHECKGROUP), Btn(0, 5, BTNS_BUTTON, 0)};
  SendMessage(T, TB_ADDBUTTONS, 6, reinterpret_cast<LPARAM>(Set));
  D.Click(Mid(T, 0));
  D.Pump();
  EXPECT_EQ((std::vector<int>{1}), Clicks());
  EXPECT_EQ(TBSTATE_ENABLED, SendMessage(T, TB_GETSTATE, 1, 0));  // not left pressed
  // Check buttons toggle.
  D.Advance(1000);
  D.Click(Mid(T, 1));
  D.Pump();
  EXPECT_TRUE(Checked(T, 2));
  D.Advance(1000);
  D.Click(Mid(T, 1));
  D.Pump();
  EXPECT_FALSE(Checked(T, 2));
  // A group keeps one button checked.
  D.Click(Mid(T, 3));
  D.Click(Mid(T, 4));
  D.Pump();
  EXPECT_FALSE(Checked(T, 3));
  EXPECT_TRUE(Checked(T, 4));
  D.Advance(1000);
  D.Click(Mid(T, 4));  // clicking the checked one keeps it
  D.Pump();
  EXPECT_TRUE(Checked(T, 4));
  SendMessage(T, TB_CHECKBUTTON, 3, TRUE);
  EXPECT_FALSE(Checked(T, 4));
  // Disabled buttons do nothing; a press dragged off the button is no click.
  H.Clear();
  D.Click(Mid(T, 5));
  D.Drag(Mid(T, 0), At(T, 2, 200));
  D.Pump();
  EXPECT_TRUE(Clicks().empty());
  EXPECT_EQ(TBSTATE_ENABLED, SendMessage(T, TB_GETSTATE, 1, 0));
  // Pressed while the pointer is over it, released when it leaves.
  RECT R0 = Rect(T, 0);
  D.Press(Mid(T, 0));
  D.Pump();
  EXPECT_GT(SendMessage(T, TB_ISBUTTONPRESSED, 1, 0), 0);
  D.MoveTo(At(T, R0.right + 100, 5));
  D.Pump();
  EXPECT_EQ(0, SendMessage(T, TB_ISBUTTONPRESSED, 1, 0));
  D.MoveTo(Mid(T, 0));
  D.Release(Mid(T, 0));
  D.Pump();
  EXPECT_EQ((std::vector<int>{1}), Clicks());
}

TEST_F(ToolBarTest, DropDownButtons) {
  HWND T = Make();
  SendMessage(T, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
  TBBUTTON Set[] = {Btn(0, 1, BTNS_DROPDOWN), Btn(1, 2, BTNS_DROPDOWN | BTNS_WHOLEDROPDOWN)};
  SendMessage(T, TB_ADDBUTTONS, 2, reinterpret_cast<LPARAM>(Set));
  RECT R = Rect(T, 0);
  EXPECT_EQ(23 + 14, R.right - R.left);  // the arrow part
  // The arrow part drops; the rest is a button.
  auto Drops = [&] { return std::count(Notifications.begin(), Notifications.end(), TBN_DROPDOWN); };
  D.Click(At(T, R.right - 5, (R.top + R.bottom) / 2));
  D.Pump();
  EXPECT_EQ(1, Drops());
  EXPECT_TRUE(Clicks().empty());
  D.Advance(1000);
  D.Click(At(T, R.left + 5, (R.top + R.bottom) / 2));
  D.Pump();
  EXPECT_EQ((std::vector<int>{1}), Clicks());
  // A whole drop-down button drops wherever it is pressed; "treat as pressed" makes it a click too.
  Notifications.clear();
  D.Click(Mid(T, 1));
  D.Pump();
  EXPECT_EQ(1, Drops());
  DropAnswer = TBDDRET_TREATPRESSED;
  D.Advance(1000);
  D.Click(Mid(T, 1));
  D.Pump();
  EXPECT_EQ((std::vector<int>{1, 2}), Clicks());
}

TEST_F(ToolBarTest, HotTrackingOnFlatBars) {
  HWND T = Make(TBSTYLE_FLAT);
  TBBUTTON Set[] = {Btn(0, 1), Btn(1, 2), Btn(2, 3, BTNS_BUTTON, 0)};
  SendMessage(T, TB_ADDBUTTONS, 3, reinterpret_cast<LPARAM>(Set));
  D.MoveTo(Mid(T, 1));
  D.Pump();
  EXPECT_EQ(1, SendMessage(T, TB_GETHOTITEM, 0, 0));
  EXPECT_EQ((std::vector<UINT>{TBN_HOTITEMCHANGE}), Notifications);
  D.MoveTo(Mid(T, 2));  // disabled: not hot
  D.Pump();
  EXPECT_EQ(-1, SendMessage(T, TB_GETHOTITEM, 0, 0));
  HotAnswer = 1;  // the parent keeps the hot item
  D.MoveTo(Mid(T, 0));
  D.Pump();
  EXPECT_EQ(-1, SendMessage(T, TB_GETHOTITEM, 0, 0));
  HotAnswer = 0;
  D.MoveTo(Mid(T, 0));
  D.Pump();
  EXPECT_EQ(0, SendMessage(T, TB_GETHOTITEM, 0, 0));
  // Leaving the bar clears it.
  D.MoveTo(At(H.Hwnd, 300, 250));
  D.Pump();
  EXPECT_EQ(-1, SendMessage(T, TB_GETHOTITEM, 0, 0));
  EXPECT_EQ(-1, SendMessage(T, TB_SETHOTITEM, 1, 0));
  EXPECT_EQ(1, SendMessage(T, TB_GETHOTITEM, 0, 0));
}

TEST_F(ToolBarTest, ToolTipsAskTheParentForTheText) {
  std::vector<UINT_PTR> Asked;
  auto Base = H.OnMessage;
  H.OnMessage = [&, Base](UINT Msg, WPARAM W, LPARAM L) -> std::optional<LRESULT> {
    if (Msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(L)->code == TTN_GETDISPINFO) {
      auto* Di = reinterpret_cast<NMTTDISPINFO*>(L);
      Asked.push_back(Di->hdr.idFrom);
      std::snprintf(Di->szText, sizeof Di->szText, "Command %d", static_cast<int>(Di->hdr.idFrom));
      return 0;
    }
    return Base(Msg, W, L);
  };
  HWND T = Make(TBSTYLE_FLAT | TBSTYLE_TOOLTIPS);
  TBBUTTON Set[] = {Btn(0, 41), Btn(1, 42)};
  SendMessage(T, TB_ADDBUTTONS, 2, reinterpret_cast<LPARAM>(Set));
  auto Tips = reinterpret_cast<HWND>(SendMessage(T, TB_GETTOOLTIPS, 0, 0));
  ASSERT_NE(nullptr, Tips);
  char Class[32] = {};
  GetClassName(Tips, Class, sizeof Class);
  EXPECT_STREQ(TOOLTIPS_CLASS, Class);
  EXPECT_EQ(2, SendMessage(Tips, TTM_GETTOOLCOUNT, 0, 0));
  D.MoveTo(Mid(T, 1));
  D.Pump();
  D.Advance(2000);
  D.Pump();
  ASSERT_FALSE(Asked.empty());
  EXPECT_EQ(42u, Asked.back());
  EXPECT_TRUE(IsWindowVisible(Tips));
  // The bar goes with its own tip control.
  DestroyWindow(T);
  EXPECT_FALSE(IsWindow(Tips));
}

TEST_F(ToolBarTest, CustomDrawPerButton) {
  std::vector<DWORD> Stages;
  std::vector<std::pair<DWORD_PTR, UINT>> Items;
  auto Base = H.OnMessage;
  H.OnMessage = [&, Base](UINT Msg, WPARAM W, LPARAM L) -> std::optional<LRESULT> {
    if (Msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(L)->code == NM_CUSTOMDRAW) {
      auto* Cd = reinterpret_cast<NMTBCUSTOMDRAW*>(L);
      Stages.push_back(Cd->nmcd.dwDrawStage);
      if (Cd->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
      if (Cd->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
        Items.emplace_back(Cd->nmcd.dwItemSpec, Cd->nmcd.uItemState);
        if (Cd->nmcd.dwItemSpec == 2) {
          // The parent draws this one itself.
          HBRUSH B = CreateSolidBrush(RGB(0, 0, 255));
          FillRect(Cd->nmcd.hdc, &Cd->nmcd.rc, B);
          DeleteObject(B);
          return CDRF_SKIPDEFAULT;
        }
        return CDRF_DODEFAULT;
      }
      return CDRF_DODEFAULT;
    }
    return Base(Msg, W, L);
  };
  HWND T = Make(TBSTYLE_FLAT);
  TBBUTTON Set[] = {Btn(0, 1, BTNS_CHECK, TBSTATE_ENABLED | TBSTATE_CHECKED), Btn(0, 0, BTNS_SEP), Btn(1, 2),
                    Btn(2, 3, BTNS_BUTTON, 0), Btn(3, 4, BTNS_BUTTON, TBSTATE_ENABLED | TBSTATE_HIDDEN)};
  SendMessage(T, TB_ADDBUTTONS, 5, reinterpret_cast<LPARAM>(Set));
  SendMessage(T, TB_SETHOTITEM, 2, 0);
  Stages.clear();
  UpdateWindow(T);
  EXPECT_EQ((std::vector<DWORD>{CDDS_PREPAINT, CDDS_ITEMPREPAINT, CDDS_ITEMPREPAINT, CDDS_ITEMPREPAINT, CDDS_POSTPAINT}),
            Stages);
  ASSERT_EQ(3u, Items.size());  // no separator, no hidden button
  EXPECT_EQ(1u, Items[0].first);
  EXPECT_EQ(CDIS_CHECKED, Items[0].second);
  EXPECT_EQ(CDIS_HOT, Items[1].second);
  EXPECT_EQ(CDIS_DISABLED, Items[2].second);
  RECT R = Rect(T, 2);
  EXPECT_EQ(RGB(0, 0, 255), D.ClientPixel(T, POINT{R.left + 2, R.top + 2}));
  // The button drawn by default shows its image.
  RECT R0 = Rect(T, 0);
  const int Y0 = (R0.top + R0.bottom) / 2 + 1;
  EXPECT_GT(k58test::CountColour(k58test::ClientPixels(D, T), RECT{R0.left, Y0, R0.right, Y0 + 1}, kGreen), 0);
}

TEST_F(ToolBarTest, PlacementWrapTextAndPainting) {
  HWND T = Make(TBSTYLE_FLAT | TBSTYLE_WRAPABLE);
  std::vector<TBBUTTON> Set;
  for (int I = 0; I < 30; ++I) Set.push_back(Btn(I % 4, 100 + I));
  SendMessage(T, TB_ADDBUTTONS, Set.size(), reinterpret_cast<LPARAM>(Set.data()));
  SendMessage(T, TB_AUTOSIZE, 0, 0);
  RECT P{}, W{};
  GetClientRect(H.Hwnd, &P);
  GetWindowRect(T, &W);
  MapWindowPoints(nullptr, H.Hwnd, reinterpret_cast<POINT*>(&W), 2);
  EXPECT_EQ(0, W.top);
  EXPECT_EQ(P.right, W.right);
  // Thirty buttons of 23 pixels do not fit a 480-pixel window in one row.
  RECT Last = Rect(T, 29);
  EXPECT_GT(Last.top, Rect(T, 0).top);
  EXPECT_GE(W.bottom - W.top, Last.bottom);
  // Captions below the images make taller buttons; the list style puts them beside.
  HWND C = Make(TBSTYLE_FLAT | CCS_NOPARENTALIGN | CCS_NORESIZE);
  MoveWindow(C, 0, 100, 400, 60, TRUE);
  TBBUTTON Captioned[] = {Btn(0, 1, BTNS_BUTTON, TBSTATE_ENABLED, reinterpret_cast<INT_PTR>("Read")),
                          Btn(1, 2, BTNS_BUTTON, TBSTATE_ENABLED, reinterpret_cast<INT_PTR>("Write radio"))};
  SendMessage(C, TB_ADDBUTTONS, 2, reinterpret_cast<LPARAM>(Captioned));
  RECT A = Rect(C, 0);
  EXPECT_GT(A.bottom - A.top, 16 + 7);
  EXPECT_EQ(A.right - A.left, Rect(C, 1).right - Rect(C, 1).left);  // one width for all
  SetWindowLong(C, GWL_STYLE, GetWindowLong(C, GWL_STYLE) | TBSTYLE_LIST);
  A = Rect(C, 0);
  RECT B = Rect(C, 1);
  EXPECT_EQ(16 + 7, A.bottom - A.top);
  EXPECT_GT(B.right - B.left, A.right - A.left);  // each as wide as its text
  UpdateWindow(C);
  const int Mid = (A.top + A.bottom) / 2;
  EXPECT_GT(k58test::CountColour(k58test::ClientPixels(D, C), RECT{A.left + 16 + 4, Mid, A.right, Mid + 1},
                                 GetSysColor(COLOR_BTNTEXT)),
            0);
  // A disabled image is drawn as an embossed shape, not in its colours.
  SendMessage(C, TB_ENABLEBUTTON, 1, FALSE);
  UpdateWindow(C);
  int Y = (A.top + A.bottom) / 2;
  const RECT Row{A.left, Y, A.left + 24, Y + 1};
  EXPECT_EQ(k58test::CountColour(k58test::ClientPixels(D, C), Row, kGreen), 0);
  EXPECT_GT(k58test::CountColour(k58test::ClientPixels(D, C), Row, GetSysColor(COLOR_BTNSHADOW)), 0);
  // A checked button gets a sunken edge.
  SendMessage(C, TB_CHECKBUTTON, 2, TRUE);
  UpdateWindow(C);
  EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), D.ClientPixel(C, POINT{B.left + 5, B.top}));
}

}  // namespace builtin_test
