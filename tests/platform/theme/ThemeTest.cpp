// The theme calls: nothing without a provider, forwarding to an installed one, and the theme-switch
// broadcast when a provider comes or goes.
#include <gtest/gtest.h>

#include "platform/win/core/WinMessages.h"
#include "platform/win/core/WinStyles.h"
#include "platform/win/core/WinUser.h"
#include "platform/win/gdi/WinGdi.h"
#include "platform/win/testing/TestDisplay.h"
#include "tests/platform/theme/RecordingThemeProvider.h"

namespace theme_test {

namespace {

int themeChanges = 0;

LRESULT CALLBACK CountingProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Msg == WM_THEMECHANGED) ++themeChanges;
  return DefWindowProc(Wnd, Msg, WParam, LParam);
}

class ThemeTest : public ::testing::Test {
 protected:
  k58::winui::TestDisplay Display;
  HWND Window = nullptr;

  ThemeTest() {
    WNDCLASS cls{};
    cls.lpfnWndProc = CountingProc;
    cls.lpszClassName = "ThemeTestWindow";
    RegisterClass(&cls);
    Window = CreateWindowEx(0, "ThemeTestWindow", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    themeChanges = 0;
  }
  ~ThemeTest() override { DestroyWindow(Window); }
};

}  // namespace

TEST_F(ThemeTest, WithoutProviderEveryCallFailsAndDrawsNothing) {
  ASSERT_EQ(nullptr, CurrentThemeProvider());
  EXPECT_EQ(nullptr, OpenThemeData(nullptr, u"Button"));
  EXPECT_FALSE(IsThemeActive());
  RECT r{0, 0, 10, 10};
  EXPECT_EQ(E_FAIL, DrawThemeBackground(nullptr, nullptr, 1, 1, &r, nullptr));
  SIZE size{};
  EXPECT_EQ(E_FAIL, GetThemePartSize(nullptr, nullptr, 1, 1, nullptr, TS_TRUE, &size));
  WCHAR file[8] = {u'x'};
  EXPECT_EQ(E_FAIL, GetCurrentThemeName(file, 8, nullptr, 0, nullptr, 0));
  EXPECT_EQ(u'x', file[0]);
}

TEST_F(ThemeTest, InstallingOrRemovingAProviderIsAThemeSwitch) {
  k58test::RecordingThemeProvider provider({"Button"});
  InstallThemeProvider(&provider);
  EXPECT_EQ(1, themeChanges);
  InstallThemeProvider(&provider);  // already installed: no switch
  EXPECT_EQ(1, themeChanges);
  InstallThemeProvider(nullptr);
  EXPECT_EQ(2, themeChanges);
}

TEST_F(ThemeTest, CallsReachTheProvider) {
  k58test::RecordingThemeProvider provider({"Button"});
  k58test::ScopedThemeProvider scope(provider);
  EXPECT_EQ(nullptr, OpenThemeData(nullptr, u"Edit"));
  HTHEME theme = OpenThemeData(nullptr, u"Edit;BUTTON");
  ASSERT_NE(nullptr, theme);
  RECT r{1, 2, 30, 40};
  EXPECT_EQ(S_OK, DrawThemeText(theme, nullptr, 1, 2, u"Abc", 2, 0x25, 0, &r));
  ASSERT_EQ(1u, provider.Calls.size());
  EXPECT_EQ("Ab", provider.Calls[0].Text);
  EXPECT_EQ("BUTTON", provider.Calls[0].Class);
  EXPECT_EQ(0x25u, provider.Calls[0].Flags);
  // Names are cut to their buffers.
  WCHAR file[6], color[64], sizeName[64];
  EXPECT_EQ(S_OK, GetCurrentThemeName(file, 6, color, 64, sizeName, 64));
  EXPECT_EQ(std::u16string(u"C:\\Th"), std::u16string(file));
  EXPECT_EQ(std::u16string(u"NormalColor"), std::u16string(color));
  EXPECT_EQ(S_OK, CloseThemeData(theme));
  EXPECT_EQ(1, provider.Closes);
}

TEST_F(ThemeTest, ParentBackgroundKeepsTheFontOfTheContext) {
  k58test::RecordingThemeProvider provider;
  k58test::ScopedThemeProvider scope(provider);
  HDC dc = CreateCompatibleDC(nullptr);
  LOGFONT lf{};
  lf.lfHeight = -11;
  HFONT font = CreateFontIndirect(&lf);
  SelectObject(dc, font);
  RECT r{0, 0, 5, 5};
  EXPECT_EQ(S_OK, DrawThemeParentBackground(nullptr, dc, &r));
  EXPECT_EQ(font, GetCurrentObject(dc, OBJ_FONT));
  DeleteDC(dc);
  DeleteObject(font);
}

}  // namespace theme_test
