// The theme manager over the recording provider: handles kept per type and class list, masks, theme
// switches and their notification; the Office11 colour schemes it drives.
#include <gtest/gtest.h>

#include "platform/rtl/CodePages.h"
#include "tests/controls/foundation/FoundationTesting.h"
#include "tests/platform/theme/RecordingThemeProvider.h"

using namespace foundation_test;
using k58test::RecordingThemeProvider;
using k58test::ScopedThemeProvider;

namespace {

using ThemeManagerTest = FoundationTest;

}  // namespace

TEST_F(ThemeManagerTest, WithoutProviderNothingIsThemed) {
  EXPECT_FALSE(IsVisualStyleLibraryLoaded());
  EXPECT_FALSE(AreThemesUsableFor(0));
  EXPECT_FALSE(IsThemedObjectUsable(totButton));
  EXPECT_EQ(nullptr, OpenThemeObject(totButton));
  EXPECT_EQ(1, CloseThemeObject(totButton));
  EXPECT_TRUE(IsWinXPOrNewer());
}

TEST_F(ThemeManagerTest, OneHandlePerTypeReusedForTheSameClassList) {
  RecordingThemeProvider provider({"Button", "Edit"});
  ScopedThemeProvider scope(provider);
  ASSERT_TRUE(AreThemesUsableFor(0));
  HTHEME edit = OpenThemeObject(totEdit);
  ASSERT_NE(nullptr, edit);
  EXPECT_EQ(edit, OpenThemeObject(totEdit));
  EXPECT_EQ(edit, OpenThemeObject(totEdit, u"edit"));  // class lists compare ignoring case
  EXPECT_EQ(1, provider.Opens);
  // Another class list closes the handle and opens the new one, which later requests keep.
  HTHEME button = OpenThemeObject(totEdit, u"Button");
  EXPECT_NE(nullptr, button);
  EXPECT_EQ(2, provider.Opens);
  EXPECT_EQ(1, provider.Closes);
  EXPECT_EQ(button, OpenThemeObject(totEdit));
  // A class list the theme does not know gives no handle and is forgotten: the default name is next.
  EXPECT_EQ(nullptr, OpenThemeObject(totEdit, u"Unknown"));
  EXPECT_NE(nullptr, OpenThemeObject(totEdit));
  EXPECT_EQ(S_OK, CloseThemeObject(totEdit));
  EXPECT_EQ(0, CloseThemeObject(totEdit));
  EXPECT_EQ(0, provider.OpenHandles());
}

TEST_F(ThemeManagerTest, AMaskNeedsEveryClassInIt) {
  const TThemedObjectMask comboAndScroll = ThemedObjectMask(totComboBox) | ThemedObjectMask(totScrollBar);
  struct Case {
    std::initializer_list<const char*> Classes;
    bool Usable;
  };
  for (const Case& c : {Case{{"ComboBox", "ScrollBar"}, true}, Case{{"ComboBox"}, false}, Case{{"ScrollBar"}, false}}) {
    RecordingThemeProvider provider(c.Classes);
    ScopedThemeProvider scope(provider);
    EXPECT_EQ(c.Usable, AreThemesUsableFor(comboAndScroll));
    EXPECT_TRUE(AreThemesUsableFor(0));
  }
}

TEST_F(ThemeManagerTest, ASwitchClosesEveryHandleAndTellsTheNotificatorsInOrder) {
  RecordingThemeProvider provider({"Button", "Edit", "Header"});
  ScopedThemeProvider scope(provider);
  OpenThemeObject(totButton);
  OpenThemeObject(totEdit, u"Header");
  OpenThemeObject(totHeader);
  std::vector<std::string> heard;
  TuxThemeChangedNotificator first, second;
  auto* doomed = new TuxThemeChangedNotificator;
  first.SetOnThemeChanged([&](TObject*) {
    heard.push_back("first");
    FreeAndNil(doomed);  // a notificator freed by another one's handler is not told
  });
  second.SetOnThemeChanged([&](TObject*) { heard.push_back("second"); });
  doomed->SetOnThemeChanged([&](TObject*) { heard.push_back("doomed"); });

  provider.Switch();
  EXPECT_EQ((std::vector<std::string>{"first", "second"}), heard);
  EXPECT_EQ(3, provider.Closes);
  EXPECT_EQ(0, provider.OpenHandles());
  // Handles come back lazily, with the class list they had.
  EXPECT_NE(nullptr, OpenThemeObject(totEdit));
  EXPECT_EQ(4, provider.Opens);
  OpenThemeObject(totHeader);
  EXPECT_EQ(5, provider.Opens);

  // A switch to the classic look: themes are unusable and every request answers nothing.
  provider.Active = false;
  provider.Switch();
  EXPECT_FALSE(AreThemesUsableFor(0));
  EXPECT_EQ(nullptr, OpenThemeObject(totEdit));
  EXPECT_EQ(0, provider.OpenHandles());
}

TEST_F(ThemeManagerTest, SchemesGiveTheirColours) {
  const TColor face = Rgb(clBtnFace);
  struct Case {
    std::u16string File, Variant;
    bool NameFails;
    Byte Scheme;
    TColor Background, SelectionFrame;
  };
  const Case cases[] = {
      {u"C:\\Themes\\Luna\\Luna.msstyles", u"NormalColor", false, 1, RGB(158, 190, 245), RGB(0, 0, 128)},
      {u"D:/x/LUNA.MSSTYLES", u"homestead", false, 2, RGB(217, 217, 167), RGB(63, 93, 56)},
      {u"luna.msstyles", u"Metallic", false, 3, RGB(215, 215, 229), RGB(75, 75, 111)},
      {u"C:\\Themes\\Royale.msstyles", u"NormalColor", false, 0, face, Rgb(clHighlight)},
      {u"Luna.msstyles", u"Sunset", false, 0, face, Rgb(clHighlight)},
      {u"Luna.msstyles", u"NormalColor", true, 0, face, Rgb(clHighlight)},
  };
  RecordingThemeProvider provider({"Button"});
  ScopedThemeProvider scope(provider);
  for (const Case& c : cases) {
    provider.FileName = c.File;
    provider.ColorName = c.Variant;
    provider.NameFails = c.NameFails;
    UpdateOffice11Colors();
    const std::string name = WideToUtf8(c.File + u" " + c.Variant);
    EXPECT_EQ(c.Scheme, CurrentOffice11ColorScheme()) << name;
    EXPECT_EQ(c.Scheme != 0, IsOffice11SchemeInUse()) << name;
    EXPECT_EQ(c.Background, Office11Color(o11Background)) << name;
    EXPECT_EQ(c.SelectionFrame, Office11Color(o11SelectionFrame)) << name;
  }
  // Visual styles off: no scheme even for the right theme name.
  provider.FileName = u"Luna.msstyles";
  provider.ColorName = u"Metallic";
  provider.NameFails = false;
  provider.Active = false;
  provider.Switch();
  UpdateOffice11Colors();
  EXPECT_EQ(0, CurrentOffice11ColorScheme());
  EXPECT_EQ(face, Office11Color(o11Background));
}

TEST_F(ThemeManagerTest, TheColourSetFollowsSystemColourChanges) {
  // Without a scheme the set derives from the system colours, and a colour change recomputes it before
  // anything is painted again.
  EXPECT_EQ(Rgb(clBtnFace), Office11Color(o11Background));
  EXPECT_EQ(Rgb(clGrayText), Office11Color(o11DisabledText));
  EXPECT_EQ(MixColors(clBtnFace, clWindow, 22), Office11Color(o11BarLight));
  EXPECT_EQ(GetUltraFlatHotButtonColor(), Office11Color(o11HotLight));
  EXPECT_EQ(Office11Color(o11HotLight), Office11Color(o11HotDark));
  const INT face = COLOR_BTNFACE;
  const COLORREF white = RGB(255, 255, 255);
  SetSysColors(1, &face, &white);
  EXPECT_EQ(static_cast<TColor>(white), Office11Color(o11Background));
  // A white face: the hot and pressed colours are the highlight colour.
  EXPECT_EQ(Rgb(clHighlight), Office11Color(o11HotLight));
  EXPECT_EQ(Rgb(clHighlight), Office11Color(o11PressedLight));
  ASSERT_NE(nullptr, Office11ExpandButtonBitmap(true));
  EXPECT_EQ(11, Office11ExpandButtonBitmap(false)->Width());
}

TEST(Office11Colours, MixingAndScaling) {
  EXPECT_EQ(static_cast<TColor>(RGB(235, 235, 235)), MixColors(clWhite, clBlack, 92));
  EXPECT_EQ(static_cast<TColor>(RGB(255, 0, 0)), MixColors(clRed, clBlue, 100));
  // Scaling caps each component instead of spilling into the next one.
  EXPECT_EQ(static_cast<TColor>(RGB(255, 200, 100)), ScaleColorPercent(RGB(200, 100, 50), 200));
  EXPECT_EQ(static_cast<TColor>(RGB(100, 50, 25)), ScaleColorPercent(RGB(200, 100, 50), 50));
}

TEST(Office11Colours, GradientBands) {
  k58::winui::TestDisplay display;
  struct Case {
    Integer Extent;
    bool Horizontal;
    Integer Colours;
  };
  for (const Case& c : {Case{1000, true, 256}, Case{10, true, 10}, Case{10, false, 10}, Case{1, true, 1}}) {
    const Integer w = c.Horizontal ? c.Extent : 3, h = c.Horizontal ? 3 : c.Extent;
    TestCanvas canvas(w, h);
    FillGradientRect(canvas->GetDCHandle(), TRect{0, 0, w, h}, RGB(0, 10, 200), RGB(255, 10, 0), c.Horizontal);
    std::map<COLORREF, int> colours = k58test::Colours(canvas.Pixels(), TRect{0, 0, w, h});
    EXPECT_EQ(c.Colours, static_cast<Integer>(colours.size())) << c.Extent;
    EXPECT_EQ(static_cast<TColor>(RGB(0, 10, 200)), canvas.At(0, 0)) << c.Extent;
    if (c.Extent > 1) {
      EXPECT_EQ(static_cast<TColor>(RGB(255, 10, 0)), canvas.At(w - 1, h - 1)) << c.Extent;
    }
  }
  // Equal colours: one fill; an empty rectangle: nothing.
  TestCanvas canvas(5, 5);
  FillGradientRect(canvas->GetDCHandle(), TRect{0, 0, 5, 5}, clRed, clRed, true);
  EXPECT_EQ(25, k58test::CountColour(canvas.Pixels(), TRect{0, 0, 5, 5}, clRed));
  FillGradientRect(canvas->GetDCHandle(), TRect{2, 2, 2, 5}, clBlue, clLime, true);
  EXPECT_EQ(25, k58test::CountColour(canvas.Pixels(), TRect{0, 0, 5, 5}, clRed));
}
