// Tool tips: shown after the initial delay over a tool, as a topmost popup that takes no activation,
// with callback texts, hidden by clicks, by the auto-pop delay and on leaving the tool; relayed
// messages and tools watched without subclassing.
#include <cstring>

#include "ControlsTestSupport.h"

namespace builtin_test {
namespace {

using ToolTipTest = ControlsTest;

HWND MakeTip(HWND Owner, DWORD Style = 0) {
  return CreateWindowEx(WS_EX_TOPMOST, TOOLTIPS_CLASS, nullptr, WS_POPUP | Style, 0, 0, 0, 0, Owner, nullptr, nullptr,
                        nullptr);
}

TOOLINFOA ToolOf(HWND Hwnd, UINT_PTR Id, RECT R, const char* Text, UINT Flags = 0) {
  TOOLINFOA Ti;
  Ti.uFlags = Flags;
  Ti.hwnd = Hwnd;
  Ti.uId = Id;
  Ti.rect = R;
  Ti.lpszText = const_cast<LPSTR>(Text);
  return Ti;
}

TEST_F(ToolTipTest, ShowsAfterTheInitialDelayWithoutTakingTheActivation) {
  HWND Tip = MakeTip(Parent);
  TOOLINFOA Ti = ToolOf(Parent, 1, RECT{0, 0, 100, 100}, "Channel name", TTF_SUBCLASS);
  ASSERT_TRUE(SendMessage(Tip, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&Ti)));
  EXPECT_EQ(SendMessage(Tip, TTM_GETTOOLCOUNT, 0, 0), 1);
  SendMessage(Tip, TTM_SETDELAYTIME, TTDT_INITIAL, 300);
  HWND Active = GetActiveWindow();
  D->MoveTo(ScreenOf(Parent, 50, 50));
  D->Pump();
  EXPECT_FALSE(IsWindowVisible(Tip));
  D->Advance(299);
  D->Pump();
  EXPECT_FALSE(IsWindowVisible(Tip));
  D->Advance(1);
  D->Pump();
  EXPECT_TRUE(IsWindowVisible(Tip));
  EXPECT_EQ(GetActiveWindow(), Active);
  EXPECT_TRUE(GetWindowLongPtr(Tip, GWL_EXSTYLE) & WS_EX_TOPMOST);
  ASSERT_FALSE(NotesOf(WM_NOTIFY).empty());
  EXPECT_EQ(NotesOf(WM_NOTIFY).back().Code, TTN_SHOW);
  // Below the pointer, sized to the text, painted in the tip colours.
  RECT R;
  GetWindowRect(Tip, &R);
  POINT Cur = ScreenOf(Parent, 50, 50);
  EXPECT_GT(R.top, Cur.y);
  EXPECT_GT(R.right - R.left, 20);
  EXPECT_EQ(D->WindowPixel(Tip, POINT{2, 2}), GetSysColor(COLOR_INFOBK));
  // The tip lets the mouse through to the window below.
  EXPECT_EQ(WindowFromPoint(POINT{R.left + 3, R.top + 3}), Parent);
  // A click hides it, and it stays hidden while the pointer stays on the tool.
  D->Click(ScreenOf(Parent, 50, 50));
  D->Pump();
  EXPECT_FALSE(IsWindowVisible(Tip));
  EXPECT_EQ(NotesOf(WM_NOTIFY).back().Code, TTN_POP);
  D->Advance(1000);
  D->Pump();
  EXPECT_FALSE(IsWindowVisible(Tip));
  DestroyWindow(Tip);
}

TEST_F(ToolTipTest, RelayedMessagesCallbackTextsAndLeavingTheTool) {
  HWND Tip = MakeTip(Parent, TTS_ALWAYSTIP);
  HWND Button = Child(WC_BUTTON, "B", BS_PUSHBUTTON, 200, 200, 60, 24);
  TOOLINFOA Ti = ToolOf(Parent, reinterpret_cast<UINT_PTR>(Button), RECT{}, LPSTR_TEXTCALLBACK, TTF_IDISHWND);
  SendMessage(Tip, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&Ti));
  OnParent = [](UINT Msg, WPARAM, LPARAM L, LRESULT&) {
    if (Msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(L)->code == TTN_GETDISPINFO)
      std::strcpy(reinterpret_cast<NMTTDISPINFOA*>(L)->szText, "Asked");
    return false;
  };
  MSG M;
  M.hwnd = Button;
  M.message = WM_MOUSEMOVE;
  M.lParam = MAKELPARAM(10, 10);
  D->MoveTo(ScreenOf(Button, 10, 10));
  D->Pump();
  SendMessage(Tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&M));
  D->Advance(static_cast<DWORD>(SendMessage(Tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0)));
  D->Pump();
  ASSERT_TRUE(IsWindowVisible(Tip));
  char Buf[80] = {};
  TOOLINFOA Get = ToolOf(Parent, reinterpret_cast<UINT_PTR>(Button), RECT{}, Buf);
  EXPECT_TRUE(SendMessage(Tip, TTM_GETCURRENTTOOL, 0, reinterpret_cast<LPARAM>(&Get)));
  int Asked = 0;
  for (const Message& N : NotesOf(WM_NOTIFY)) Asked += N.Code == TTN_GETDISPINFO;
  EXPECT_EQ(Asked, 1);
  // Leaving the tool takes the tip away.
  D->MoveTo(ScreenOf(Parent, 5, 5));
  D->Advance(200);
  D->Pump();
  EXPECT_FALSE(IsWindowVisible(Tip));
  // Inactive: nothing shows.
  SendMessage(Tip, TTM_ACTIVATE, FALSE, 0);
  D->MoveTo(ScreenOf(Button, 10, 10));
  SendMessage(Tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&M));
  D->Advance(2000);
  D->Pump();
  EXPECT_FALSE(IsWindowVisible(Tip));
  DestroyWindow(Tip);
}

TEST_F(ToolTipTest, AutoPopTextUpdatesAndDeletedTools) {
  HWND Tip = MakeTip(Parent);
  TOOLINFOA Ti = ToolOf(Parent, 7, RECT{0, 0, 50, 50}, "first", TTF_SUBCLASS);
  SendMessage(Tip, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&Ti));
  SendMessage(Tip, TTM_SETDELAYTIME, TTDT_AUTOMATIC, 100);
  EXPECT_EQ(SendMessage(Tip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0), 1000);
  EXPECT_EQ(SendMessage(Tip, TTM_SETMAXTIPWIDTH, 0, 120), -1);
  D->MoveTo(ScreenOf(Parent, 10, 10));
  D->Pump();
  D->Advance(100);
  D->Pump();
  ASSERT_TRUE(IsWindowVisible(Tip));
  Ti.lpszText = const_cast<LPSTR>("second");
  SendMessage(Tip, TTM_UPDATETIPTEXT, 0, reinterpret_cast<LPARAM>(&Ti));
  char Buf[80] = {};
  TOOLINFOA Get = ToolOf(Parent, 7, RECT{}, Buf);
  SendMessage(Tip, TTM_GETTEXT, sizeof Buf, reinterpret_cast<LPARAM>(&Get));
  EXPECT_STREQ(Buf, "second");
  D->Advance(1000);
  D->Pump();
  EXPECT_FALSE(IsWindowVisible(Tip));
  SendMessage(Tip, TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&Ti));
  EXPECT_EQ(SendMessage(Tip, TTM_GETTOOLCOUNT, 0, 0), 0);
  D->MoveTo(ScreenOf(Parent, 300, 300));
  D->MoveTo(ScreenOf(Parent, 10, 10));
  D->Pump();
  D->Advance(500);
  D->Pump();
  EXPECT_FALSE(IsWindowVisible(Tip));
  DestroyWindow(Tip);
}

}  // namespace
}  // namespace builtin_test
