// The standard, Tabs and Flat painters: style choice and the factory, tab sizes, navigator layout and
// glyphs, captions cut with an ellipsis and embossed when disabled, owner drawing, the clip stack, the
// classic tab pixels per side, and the themed path over the recording theme provider.
#include <gtest/gtest.h>

#include "controls/extra/uiPCPainters.h"
#include "tests/common/Display.h"
#include "tests/common/Geometry.h"
#include "tests/controls/extra/TabControlTesting.h"
#include "tests/platform/theme/RecordingThemeProvider.h"

using namespace extra_test;

namespace {

class TabPaintersTest : public TabControlTest {
 protected:
  TuiCustomTabControl* NewPainted(TuiPCStyleID AStyle, TuiTabPosition APosition, Integer AWidth = 240,
                                  Integer AHeight = 120) {
    TuiCustomTabControl* c = NewTabControl(AWidth, AHeight, {"First", "Second", "Third"}, AStyle);
    c->SetTabPosition(APosition);
    c->Repaint();
    Pump();
    return c;
  }
  k58test::PixelReader Pixels(TuiCustomTabControl* C) { return k58test::ClientPixels(Display, C->Handle()); }

  // The client area with the colours of the classic looks by name ('l' is the Flat style's light border).
  std::string PixelMap(TuiCustomTabControl* C) {
    return extra_test::PixelMap(Display, C,
                                {{'H', clBtnHighlight}, {'D', cl3DDkShadow}, {'S', clBtnShadow}, {'F', clBtnFace},
                                 {'L', cl3DLight}, {'T', clBtnText}, {'l', BrightenColor(clBtnFace, 85)}});
  }
};

// The glyph pixels of a navigator button: how many have the colour.
int CountIn(const k58test::PixelReader& APixels, const TRect& R, TColor AColour) {
  return k58test::CountColour(APixels, RECT{R.left, R.top, R.right, R.bottom}, ColorToRGB(AColour));
}

}  // namespace

TEST_F(TabPaintersTest, TheLookAndFeelChoosesTheStyle) {
  struct Case {
    TuiLookAndFeelKind kind;
    const char* style;
  };
  const Case cases[] = {
      {lfStandard, "Tabs"}, {lfFlat, "Flat"}, {lfUltraFlat, "UltraFlat"}, {lfOffice11, "Office11"}};
  TuiCustomTabControl* c = NewTabControl(200, 100, {"A"}, uiPCDefaultStyle);
  for (const Case& k : cases) {
    c->LookAndFeel()->SetKind(k.kind);
    EXPECT_EQ(c->Painter()->GetStyleName(), k.style) << k.style;
    EXPECT_EQ(c->Style(), uiPCDefaultStyle);
  }
}

TEST_F(TabPaintersTest, TheFactoryGoesWithItsLastClassAndReturnsWithTheFirst) {
  TuiPCPaintersFactory* factory = TuiPCPaintersFactory::Instance();
  ASSERT_NE(factory, nullptr);
  EXPECT_EQ(factory->GetPainterClass(4), nullptr);
  EXPECT_EQ(factory->GetPainterClass(7)->GetStyleName(), "Flat");
  try {
    factory->GetPainterInstance(nullptr, nullptr);
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "TuiPCPaintersFactory.GetPainterInstance: PCPainterClass is nil");
  }
  std::vector<TuiPCPainterClass> all = factory->Classes();
  for (TuiPCPainterClass c : all) TuiPCPaintersFactory::UnregisterPainterClass(c);
  EXPECT_EQ(TuiPCPaintersFactory::Instance(), nullptr);
  for (TuiPCPainterClass c : all) TuiPCPaintersFactory::RegisterPainterClass(c);
  TuiPCPaintersFactory::RegisterPainterClass(all.front());  // no duplicates
  ASSERT_NE(TuiPCPaintersFactory::Instance(), nullptr);
  EXPECT_EQ(TuiPCPaintersFactory::Instance()->Classes(), all);
}

TEST_F(TabPaintersTest, TabSizes) {
  TuiCustomTabControl* c = NewTabControl(300, 100, {"", "Caption"}, 1);
  EXPECT_EQ(c->Tabs()->GetTab(0)->NormalWidth, 42);  // the minimum
  EXPECT_GT(c->Tabs()->GetTab(1)->NormalWidth, 42);
  c->SetTabWidth(10);
  for (Integer i = 0; i < 2; ++i) EXPECT_EQ(c->Tabs()->GetTab(i)->NormalWidth, 10);
  EXPECT_EQ(c->Tabs()->TabNormalHeight, 18);  // the Tabs minimum height
  c->SetTabHeight(30);
  EXPECT_EQ(c->Tabs()->TabNormalHeight, 30);
}

TEST_F(TabPaintersTest, NavigatorOrderAndPlace) {
  struct Case {
    TuiTabPosition side;
    TuiPCNavigatorPosition place;
    std::vector<TuiPCNavigatorButton> order;
    TRect region;
  };
  // A 200 x 150 control whose tabs do not fit, with every button: widths 20, 20, 12 (13 for left and
  // right tabs) and 20, height 20.
  const Case cases[] = {
      {tpTop, npRightTop, {nbGoDialog, nbTopLeft, nbBottomRight, nbClose}, {128, 0, 200, 20}},
      {tpTop, npLeftTop, {nbClose, nbTopLeft, nbBottomRight, nbGoDialog}, {0, 0, 72, 20}},
      {tpBottom, npRightBottom, {nbGoDialog, nbTopLeft, nbBottomRight, nbClose}, {128, 130, 200, 150}},
      {tpLeft, npRightTop, {nbClose, nbTopLeft, nbBottomRight, nbGoDialog}, {0, 0, 20, 73}},
      {tpRight, npLeftBottom, {nbGoDialog, nbTopLeft, nbBottomRight, nbClose}, {180, 77, 200, 150}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message() << "side " << k.side << " place " << k.place);
    TuiCustomTabControl* c = NewTabControl(200, 150, std::vector<String>(8, "Caption"), 1);
    c->SetOptions(TuiPCOptions().Include(pcoGoDialog).Include(pcoCloseButton));
    c->SetTabPosition(k.side);
    c->SetNavigatorPosition(k.place);
    auto* painter = static_cast<TuiPCStandardPainter*>(c->Painter());
    std::vector<TuiPCNavigatorButton> order;
    for (const auto& b : painter->ButtonPositions()) order.push_back(b.Button);
    EXPECT_EQ(order, k.order);
    EXPECT_EQ(painter->NavigatorRegion(), k.region);
    // Each button is found at its centre.
    for (const auto& b : painter->ButtonPositions()) {
      TuiPCNavigatorButton found;
      ASSERT_TRUE(painter->GetButtonAtPoint((b.Bounds.left + b.Bounds.right) / 2, (b.Bounds.top + b.Bounds.bottom) / 2, found));
      EXPECT_EQ(found, b.Button);
    }
    FreeObject(c);
  }
  // Without buttons nothing is reserved or found.
  TuiCustomTabControl* c = NewTabControl(200, 150, {"A"}, 1);
  auto* painter = static_cast<TuiPCStandardPainter*>(c->Painter());
  EXPECT_EQ(painter->GetButtonsRegionLength(TuiPCNavigatorButtons()), 0);
  EXPECT_TRUE(painter->ButtonPositions().empty());
  TuiPCNavigatorButton found;
  EXPECT_FALSE(painter->GetButtonAtPoint(195, 5, found));
  TRect go;
  painter->GetGoDialogButtonBounds(go);
  EXPECT_EQ(go, TRect{});
}

TEST_F(TabPaintersTest, NavigatorGlyphsAndTheirEmbossedDisabledLook) {
  TuiCustomTabControl* c = NewTabControl(200, 100, std::vector<String>(8, "Caption"), 1);
  c->Repaint();
  Pump();
  auto* painter = static_cast<TuiPCStandardPainter*>(c->Painter());
  TRect forward{}, back{};
  for (const auto& b : painter->ButtonPositions()) (b.Button == nbBottomRight ? forward : back) = b.Bounds;
  // The enabled forward arrow: a filled triangle of 25 pixels in the button text colour.
  EXPECT_EQ(CountIn(Pixels(c), forward, clBtnText), 25);
  // The backward arrow is disabled on the first tab: shadow over highlight, no text colour.
  EXPECT_EQ(CountIn(Pixels(c), back, clBtnText), 0);
  EXPECT_EQ(CountIn(Pixels(c), TRect{back.left + 2, back.top + 2, back.right - 2, back.bottom - 2}, clBtnShadow), 25);
  EXPECT_GT(CountIn(Pixels(c), TRect{back.left + 2, back.top + 2, back.right - 2, back.bottom - 2}, clBtnHighlight), 0);
  // A disabled control draws every glyph embossed.
  c->SetEnabled(false);
  c->Repaint();
  Pump();
  EXPECT_EQ(CountIn(Pixels(c), forward, clBtnText), 0);
}

TEST_F(TabPaintersTest, CaptionsAreCutWithAnEllipsisOrLeftOut) {
  TuiCustomTabControl* c = NewTabControl(300, 100, {"A rather long caption", "B"}, 1);
  auto* painter = static_cast<TuiPCStandardPainter*>(c->Painter());
  TRect image, whole, cut;
  painter->CalculateTabImageAndTextRects(0, image, whole);
  c->SetTabWidth(60);
  painter->CalculateTabImageAndTextRects(0, image, cut);
  EXPECT_GT(cut.right - cut.left, 0);
  EXPECT_LT(cut.right - cut.left, whole.right - whole.left);
  EXPECT_LE(cut.right, c->Tabs()->GetTab(0)->Left + 60);
  c->SetTabWidth(14);
  painter->CalculateTabImageAndTextRects(0, image, cut);
  EXPECT_TRUE(IsRectEmpty(&cut));
}

TEST_F(TabPaintersTest, ADisabledCaptionIsEmbossed) {
  TuiCustomTabControl* c = NewTabControl(300, 100, {"Active", "Disabled"}, 1);
  c->Tabs()->GetTab(1)->SetEnabled(false);
  c->Repaint();
  Pump();
  auto* painter = static_cast<TuiPCStandardPainter*>(c->Painter());
  TRect image, text;
  painter->CalculateTabImageAndTextRects(1, image, text);
  ASSERT_FALSE(IsRectEmpty(&text));
  const TRect around{text.left, text.top, text.right + 1, text.bottom + 1};
  EXPECT_EQ(CountIn(Pixels(c), around, clBtnText), 0);
  EXPECT_GT(CountIn(Pixels(c), around, clBtnShadow), 10);
  EXPECT_GT(CountIn(Pixels(c), around, clBtnHighlight), 10);
  painter->CalculateTabImageAndTextRects(0, image, text);
  EXPECT_GT(CountIn(Pixels(c), text, clBtnText), 10);
}

TEST_F(TabPaintersTest, OwnerDrawingReplacesTheDefaultDrawingOnlyWhenAsked) {
  for (bool defaultDraw : {false, true}) {
    SCOPED_TRACE(defaultDraw);
    // Painted once without tabs; the tabs come with the handler.
    TuiCustomTabControl* c = NewTabControl(300, 100, {}, 1);
    c->SetColor(clRed);
    std::vector<Integer> drawn;
    c->SetOnDrawTab([&](TuiCustomTabControl*, TuiTab* ATab, bool& ADefaultDraw) {
      drawn.push_back(ATab->Index());
      ADefaultDraw = defaultDraw;
    });
    c->SetOwnerDraw(true);
    c->Tabs()->Add("Active");
    c->Tabs()->Add("Other");
    auto* painter = static_cast<TuiPCStandardPainter*>(c->Painter());
    TRect image, text;
    painter->CalculateTabImageAndTextRects(1, image, text);
    drawn.clear();
    c->Repaint();
    Pump();
    EXPECT_EQ(drawn, (std::vector<Integer>{0, 1}));  // the active tab first
    // Without the default drawing neither the caption nor the background fill reaches the tab.
    EXPECT_EQ(CountIn(Pixels(c), text, clBtnText) > 10, defaultDraw);
    EXPECT_EQ(CountIn(Pixels(c), text, clRed), 0);
    FreeObject(c);
  }
}

TEST_F(TabPaintersTest, TheClipStackIsBalancedAndAnEmptyRestoreDoesNothing) {
  TuiCustomTabControl* c = NewTabControl(300, 100, {"A"}, 1);
  TuiPCCustomPainter* painter = c->Painter();
  painter->RestoreClipRegion();
  EXPECT_EQ(painter->ClipRegionDepth(), 0);
  EXPECT_FALSE(painter->SetClipRect(TRect{5, 5, 5, 20}));
  EXPECT_EQ(painter->ClipRegionDepth(), 0);
  c->Repaint();
  Pump();
  EXPECT_EQ(painter->ClipRegionDepth(), 0);
}

TEST_F(TabPaintersTest, ClassicTabsPerSideAsReviewed) {
  for (TuiPCStyleID style : {1, 7}) {
    for (TuiTabPosition side : {tpTop, tpBottom, tpLeft, tpRight}) {
      const bool vertical = side == tpLeft || side == tpRight;
      // Two tabs without captions: the active one and an inactive one.
      TuiCustomTabControl* c = NewTabControl(vertical ? 40 : 100, vertical ? 100 : 40, {"", ""}, style);
      c->SetTabPosition(side);
      c->Repaint();
      Pump();
      ExpectGolden(std::string(style == 1 ? "tabs" : "flat") + "-" + "tblr"[side], PixelMap(c));
      FreeObject(c);
    }
  }
}

TEST_F(TabPaintersTest, TheThemedPathAsksForTabSpinAndWindowParts) {
  k58test::RecordingThemeProvider provider{"Tab", "Spin", "Window"};
  k58test::ScopedThemeProvider scope{provider};
  TuiCustomTabControl* c = NewTabControl(200, 100, {"First", "Second", "Third"}, 1);
  c->LookAndFeel()->SetNativeStyle(true);
  ASSERT_TRUE(c->Painter()->IsNativePainting());
  c->SetTabIndex(1);
  provider.ClearCalls();
  c->Repaint();
  Pump();
  std::vector<std::string> backgrounds;
  for (const k58test::ThemeCall& call : provider.CallsOf("Background"))
    backgrounds.push_back(call.Class + " " + std::to_string(call.Part) + "/" + std::to_string(call.State));
  // The pane off screen, the active tab first (middle part, selected), then the left end and the last
  // tab's right end (normal), and the pane on the control.
  EXPECT_EQ(backgrounds, (std::vector<std::string>{"Tab 9/0", "Tab 5/3", "Tab 2/1", "Tab 3/1", "Tab 9/0"}));
  std::vector<std::string> texts;
  for (const k58test::ThemeCall& call : provider.CallsOf("Text", "Tab")) texts.push_back(call.Text);
  EXPECT_EQ(texts, (std::vector<std::string>{"Second", "First", "Third"}));
  // The navigator: arrows and the go button from "Spin", the close button from "Window".
  c->SetOptions(TuiPCOptions().Include(pcoGoDialog).Include(pcoCloseButton));
  c->SetBounds(10, 10, 120, 100);
  provider.ClearCalls();
  c->Repaint();
  Pump();
  std::vector<std::string> buttons;
  for (const k58test::ThemeCall& call : provider.Calls)
    if (call.Op == "Background" && call.Class != "Tab")
      buttons.push_back(call.Class + " " + std::to_string(call.Part) + "/" + std::to_string(call.State));
  EXPECT_EQ(buttons, (std::vector<std::string>{"Spin 2/1", "Spin 4/4", "Spin 3/1", "Window 19/1"}));
  // Without the theme everything is classic again.
  provider.Active = false;
  provider.Switch();
  EXPECT_FALSE(c->Painter()->IsNativePainting());
}

TEST_F(TabPaintersTest, TurnedCaptionsAreCachedUntilWhatTheyShowChanges) {
  TuiCustomTabControl* c = NewPainted(1, tpLeft, 160, 200);
  ASSERT_NE(c->GetPainterTextMode(), 0);
  TuiTabs* tabs = c->Tabs();
  auto cached = [&] {
    std::string marks;
    for (Integer i = 0; i < tabs->Count(); ++i) marks += tabs->GetTab(i)->CaptionBitmap() != nullptr ? 'c' : '-';
    return marks;
  };
  EXPECT_EQ(cached(), "ccc");
  const std::string first = PixelMap(c);
  // Drawn again from the cache: the same picture.
  TBitmap* kept = tabs->GetTab(2)->CaptionBitmap();
  c->Repaint();
  Pump();
  EXPECT_EQ(tabs->GetTab(2)->CaptionBitmap(), kept);
  EXPECT_EQ(PixelMap(c), first);
  // A disabled tab is embossed: its caption is drawn anew, the others are kept.
  tabs->GetTab(2)->SetEnabled(false);
  EXPECT_EQ(cached(), "cc-");
  Pump();
  EXPECT_EQ(cached(), "ccc");
  EXPECT_NE(PixelMap(c), first);
  // A new layout and a new style drop them all.
  c->LayoutChanged();
  EXPECT_EQ(cached(), "---");
  Pump();
  c->SetStyle(7);
  EXPECT_EQ(cached(), "---");
  // Horizontal captions are not cached.
  c->SetTabPosition(tpTop);
  c->Repaint();
  Pump();
  EXPECT_EQ(cached(), "---");
}

TEST_F(TabPaintersTest, ThemedTabSurfacesAreReleasedAfterEachTabAlsoOnAnError) {
  k58test::RecordingThemeProvider provider{"Tab", "Spin", "Window"};
  k58test::ScopedThemeProvider scope{provider};
  for (TuiTabPosition side : {tpTop, tpLeft}) {
    TuiCustomTabControl* c = NewTabControl(200, 160, {"First", "Second", "Third"}, 1);
    c->LookAndFeel()->SetNativeStyle(true);
    c->SetTabPosition(side);
    ASSERT_TRUE(c->Painter()->IsNativePainting());
    auto surfaces = [&] {
      Integer held = 0;
      for (Integer i = 0; i < c->Tabs()->Count(); ++i) held += c->Tabs()->GetTab(i)->Bitmap() != nullptr;
      return held;
    };
    c->Repaint();
    Pump();
    EXPECT_EQ(surfaces(), 0) << side;
    // Themed captions go straight onto the tab surface: nothing is cached for them.
    EXPECT_EQ(c->Tabs()->GetTab(0)->CaptionBitmap(), nullptr);
    std::vector<String> handled;
    Application->SetOnException([&](TObject*, Exception* E) { handled.push_back(E->Message()); });
    c->SetOnDrawTabEx([](TuiCustomTabControl*, TuiTab*, TFont*) { throw Exception("draw failed"); });
    c->Repaint();
    Pump();
    Application->SetOnException(TExceptionEvent());
    EXPECT_FALSE(handled.empty()) << side;
    EXPECT_EQ(surfaces(), 0) << side;
    FreeObject(c);
  }
}
