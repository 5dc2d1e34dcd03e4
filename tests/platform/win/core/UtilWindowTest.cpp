// Utility windows: hidden top-level windows that broadcasts reach, and whose record goes with the window
// however it is destroyed (its owner, someone else, or its own procedure).
#include "WinCoreTestSupport.h"
#include "platform/win/core/UtilWindow.h"

namespace wincore_test {
namespace {

using UtilWindowTest = WinCoreTest;

TEST_F(UtilWindowTest, AHiddenTopLevelWindowHearsTheBroadcasts) {
  std::vector<UINT> heard;
  HWND wnd = AllocateHWnd([&](HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == WM_SETTINGCHANGE || Msg == WM_SYSCOLORCHANGE || Msg == WM_THEMECHANGED) heard.push_back(Msg);
    return DefWindowProc(Wnd, Msg, WParam, LParam);
  });
  ASSERT_NE(nullptr, wnd);
  EXPECT_EQ(nullptr, GetParent(wnd));
  EXPECT_FALSE(GetWindowLongPtr(wnd, GWL_STYLE) & WS_VISIBLE);
  const auto exStyle = static_cast<DWORD>(GetWindowLongPtr(wnd, GWL_EXSTYLE));
  EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
  EXPECT_TRUE(exStyle & WS_EX_NOACTIVATE);
  SendMessage(HWND_BROADCAST, WM_SETTINGCHANGE, 42, 0);
  SendMessage(HWND_BROADCAST, WM_SYSCOLORCHANGE, 0, 0);
  SendMessage(HWND_BROADCAST, WM_THEMECHANGED, 0, 0);
  EXPECT_EQ((std::vector<UINT>{WM_SETTINGCHANGE, WM_SYSCOLORCHANGE, WM_THEMECHANGED}), heard);
  DeallocateHWnd(wnd);
  EXPECT_FALSE(IsWindow(wnd));
}

// Each leaves no record behind (the leak check of the test build sees one that stays).
TEST_F(UtilWindowTest, ItsRecordGoesWithTheWindowHoweverItIsDestroyed) {
  int calls = 0;
  HWND outside = AllocateHWnd([&](HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    ++calls;
    return DefWindowProc(Wnd, Msg, WParam, LParam);
  });
  ASSERT_NE(nullptr, outside);
  DestroyWindow(outside);  // as a display destroys every window when it goes
  EXPECT_FALSE(IsWindow(outside));
  DeallocateHWnd(outside);  // the owner's deallocation afterwards is harmless
  // Destroyed by its own procedure, or deallocated there: the record lives until the call returns.
  for (bool deallocate : {false, true}) {
    HWND self = nullptr;
    self = AllocateHWnd([&](HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
      if (Msg == WM_USER) {
        if (deallocate) {
          DeallocateHWnd(Wnd);
        } else {
          DestroyWindow(Wnd);
        }
        return LRESULT{7};
      }
      return DefWindowProc(Wnd, Msg, WParam, LParam);
    });
    EXPECT_EQ(7, SendMessage(self, WM_USER, 0, 0)) << deallocate;
    EXPECT_FALSE(IsWindow(self)) << deallocate;
  }
}

}  // namespace
}  // namespace wincore_test
