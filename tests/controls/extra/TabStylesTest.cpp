// The button, flat and slanted tab styles: their registration, pressed buttons and separators, the row
// bands and gradients of the flat styles, the outlines and overlap of slanted tabs, and every style's tabs
// per side against reviewed pictures.
#include <gtest/gtest.h>

#include "controls/extra/uiPCPainters.h"
#include "controls/foundation/uiLookAndFeels.h"
#include "controls/foundation/uxOffice11.h"
#include "tests/common/Geometry.h"
#include "tests/controls/extra/TabControlTesting.h"
#include "tests/platform/theme/RecordingThemeProvider.h"

using namespace extra_test;

namespace {

class TabStylesTest : public TabControlTest {
 protected:
  TuiCustomTabControl* NewStyled(TuiPCStyleID AStyle, std::vector<String> ACaptions, Integer AWidth = 240,
                                 Integer AHeight = 100) {
    TuiCustomTabControl* c = NewTabControl(AWidth, AHeight, std::move(ACaptions), AStyle);
    Repaint(c);
    return c;
  }
  void Repaint(TuiCustomTabControl* C) {
    C->Repaint();
    Pump();
  }
  k58test::PixelReader Pixels(TuiCustomTabControl* C) { return k58test::ClientPixels(Display, C->Handle()); }
  static TRect FullRect(TuiCustomTabControl* C, Integer AVisibleIndex) {
    TRect r;
    C->Tabs()->GetVisibleTab(AVisibleIndex)->GetFullRect(r);
    return r;
  }
  static TPoint Centre(const TRect& R) { return TPoint{(R.left + R.right) / 2, (R.top + R.bottom) / 2}; }
  bool Is(TuiCustomTabControl* C, Integer X, Integer Y, TColor AColour) {
    return Pixels(C)(X, Y) == ColorToRGB(AColour);
  }
};

}  // namespace

TEST_F(TabStylesTest, NineStylesAreRegisteredInOrder) {
  std::vector<std::pair<Integer, String>> styles;
  for (TuiPCPainterClass c : TuiPCPaintersFactory::Instance()->Classes())
    if (c->GetStyleID() < 50) styles.emplace_back(c->GetStyleID(), c->GetStyleName());
  const std::vector<std::pair<Integer, String>> expected{
      {1, "Tabs"},     {2, "Buttons"},   {3, "FlatButtons"}, {5, "ExtraFlat"}, {6, "UltraFlat"},
      {7, "Flat"},     {8, "Office11"},  {9, "Slanted"},     {10, "OneNote"}};
  EXPECT_EQ(styles, expected);
}

// ---- Button styles ----

TEST_F(TabStylesTest, ButtonTabsArePressedByStateAndFocus) {
  struct Case {
    const char* state;
    bool buttons, flatButtons;
  };
  // Tab 1 in each state; tab 0 is active unless the case says otherwise.
  const Case cases[] = {
      {"plain", false, false},   {"active", true, true},           {"pressed", true, true},
      {"selected", true, true},  {"focused", true, false},         {"focused active", true, false},
  };
  for (TuiPCStyleID style : {2, 3}) {
    for (const Case& k : cases) {
      SCOPED_TRACE(testing::Message() << "style " << style << " " << k.state);
      TuiCustomTabControl* c = NewStyled(style, {"One", "Two", "Three"});
      const std::string state = k.state;
      if (state.find("active") != std::string::npos) c->SetTabIndex(1);
      if (state == "pressed") c->Tabs()->SetPressedTab(1);
      if (state == "selected") c->Tabs()->GetTab(1)->SetSelected(true);
      if (state.find("focused") != std::string::npos) c->Tabs()->SetFocusedTab(1);
      EXPECT_EQ(c->Painter()->IsTabPressed(1), style == 2 ? k.buttons : k.flatButtons);
      FreeObject(c);
    }
  }
}

TEST_F(TabStylesTest, AButtonIsDownWhileTheMouseIsAndActivatesOnlyWhenReleasedOnIt) {
  TuiCustomTabControl* c = NewStyled(2, {"One", "Two", "Three"});
  const TPoint second = Centre(FullRect(c, 1)), third = Centre(FullRect(c, 2));
  Display.Press(At(c, second));
  Pump();
  EXPECT_TRUE(c->Painter()->IsTabPressed(1));
  EXPECT_EQ(c->TabIndex(), 0);
  Display.Release(At(c, second));
  Pump();
  EXPECT_EQ(c->TabIndex(), 1);
  // Released away from the tab: nothing happens and the tab comes up again.
  Display.Press(At(c, third));
  Pump();
  EXPECT_TRUE(c->Painter()->IsTabPressed(2));
  Display.MoveTo(At(c, 200, 90));
  Display.Release(At(c, 200, 90));
  Pump();
  EXPECT_EQ(c->TabIndex(), 1);
  EXPECT_FALSE(c->Painter()->IsTabPressed(2));
}

TEST_F(TabStylesTest, FlatButtonSeparatorsStandBetweenNeighboursOfARow) {
  struct Case {
    const char* name;
    bool multiLine, rotate;
    Integer width;
    std::string separators;  // per visible tab: 's' when a separator follows it
  };
  const Case cases[] = {
      {"one row", false, false, 300, "ss-"},
      {"two rows", true, false, 130, "s--"},  // "One" "Two" | "Six"
      {"one row turned", false, true, 300, "---"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    TuiCustomTabControl* c = NewStyled(3, {"One", "Two", "Six"}, k.width, 120);
    c->SetMultiLine(k.multiLine);
    c->SetRotate(k.rotate);
    Repaint(c);
    auto* painter = static_cast<TuiPCFlatButtonsPainter*>(c->Painter());
    std::string marks;
    for (Integer i = 0; i < 3; ++i) marks += painter->HasSeparatorAfter(i) ? 's' : '-';
    EXPECT_EQ(marks, k.separators);
    FreeObject(c);
  }
}

TEST_F(TabStylesTest, ButtonFacesRiseSinkAndLightUp) {
  // Buttons: the active tab is down with the highlight face, the others are up.
  TuiCustomTabControl* c = NewStyled(2, {"One", "Two"});
  TRect active = FullRect(c, 0), other = FullRect(c, 1);
  EXPECT_TRUE(Is(c, active.left, active.top, cl3DDkShadow));
  EXPECT_TRUE(Is(c, active.right - 1, active.bottom - 1, clBtnHighlight));
  EXPECT_TRUE(Is(c, active.left + 2, active.bottom - 3, clBtnHighlight));
  EXPECT_TRUE(Is(c, other.left, other.top, clBtnHighlight));
  EXPECT_TRUE(Is(c, other.right - 1, other.bottom - 1, cl3DDkShadow));
  EXPECT_TRUE(Is(c, other.left + 2, other.bottom - 3, clBtnFace));
  // The buttons keep 2 pixels from the page frame.
  TRect frame;
  c->Painter()->CalculateFrameRect(frame);
  EXPECT_EQ(frame.top, active.bottom + 2);
  FreeObject(c);

  // FlatButtons: a sunken active tab, a flat plain one that rises under the mouse, and an etched separator.
  c = NewStyled(3, {"One", "Two", "Six"});
  c->SetHotTrack(true);
  active = FullRect(c, 0);
  other = FullRect(c, 2);
  EXPECT_TRUE(Is(c, active.left, active.top, clBtnShadow));
  EXPECT_TRUE(Is(c, other.left, other.top, clBtnFace));
  Display.MoveTo(At(c, Centre(other)));
  Pump();
  EXPECT_TRUE(Is(c, other.left, other.top, clBtnHighlight));
  EXPECT_TRUE(Is(c, other.right - 1, other.bottom - 1, clBtnShadow));
  const TRect second = FullRect(c, 1);
  EXPECT_TRUE(Is(c, second.right + 4, second.top + 1, clBtnShadow));
  EXPECT_TRUE(Is(c, second.right + 5, second.top + 1, clBtnHighlight));
  EXPECT_TRUE(Is(c, second.right + 4, second.top, clBtnFace));
  EXPECT_TRUE(Is(c, second.right + 4, second.bottom - 1, clBtnFace));
}

// ---- Flat styles ----

TEST_F(TabStylesTest, FlatStyleSizes) {
  struct Case {
    TuiPCStyleID style;
    Integer buttonHeight, goWidth;
    TPoint distance;
    Integer frameWidth;
  };
  const Case cases[] = {
      {5, 13, 13, {1, 6}, 1},
      {6, 15, 11, {1, 6}, 1},
      {8, 15, 11, {2, 4}, 1},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.style);
    TuiCustomTabControl* c = NewStyled(k.style, {"", "Caption"});
    auto* painter = static_cast<TuiPCExtraFlatPainter*>(c->Painter());
    EXPECT_EQ(painter->GetButtonHeight(), k.buttonHeight);
    EXPECT_EQ(painter->GetButtonWidth(nbGoDialog), k.goWidth);
    EXPECT_EQ(painter->GetTabsNormalDistance(), k.distance);
    c->SetRotate(true);
    EXPECT_EQ(painter->GetTabsNormalDistance(), (TPoint{k.distance.y, k.distance.x}));
    c->SetRotate(false);
    // An empty caption is 12 wide; TabHeight counts 4 pixels more than the tab.
    EXPECT_EQ(c->Tabs()->GetTab(0)->NormalWidth, 12);
    c->SetTabHeight(40);
    EXPECT_EQ(c->Tabs()->TabNormalHeight, 36);
    FreeObject(c);
  }
}

TEST_F(TabStylesTest, TheRowBandRunsAlongTheWholeControlAndSeparatorsAvoidTheActiveTab) {
  TuiCustomTabControl* c = NewStyled(5, {"One", "Two", "Six", "Ten"}, 300, 100);
  c->SetTabIndex(1);
  Repaint(c);
  const TRect last = FullRect(c, 3);
  // Beyond the last tab the band shows its light face and its three lines toward the client: white under
  // the tabs, then twice the button face.
  TRect inactive;
  c->Tabs()->GetVisibleTab(3)->GetNormalRect(inactive);
  const Integer x = 295;
  EXPECT_TRUE(Is(c, x, inactive.top, LightButtonFace()));
  EXPECT_TRUE(Is(c, x, inactive.bottom, clWhite));
  EXPECT_TRUE(Is(c, x, inactive.bottom + 1, clBtnFace));
  EXPECT_TRUE(Is(c, x, inactive.bottom + 2, clBtnFace));
  // Separators: between the two inactive tabs at the end, not next to the active one.
  const TRect first = FullRect(c, 0), third = FullRect(c, 2);
  EXPECT_TRUE(Is(c, third.right, third.top + 5, clBtnShadow));
  EXPECT_FALSE(Is(c, first.right, first.top + 5, clBtnShadow));
  EXPECT_FALSE(Is(c, last.right, last.top + 5, clBtnShadow));
  // The active tab: white and black border lines.
  const TRect active = FullRect(c, 1);
  EXPECT_TRUE(Is(c, active.left, active.top + 3, clWhite));
  EXPECT_TRUE(Is(c, active.right - 1, active.top + 3, clBlack));
}

TEST_F(TabStylesTest, WithoutAnActiveTabTheClientIsTheButtonFace) {
  for (TuiPCStyleID style : {5, 6}) {
    TuiCustomTabControl* c = NewStyled(style, {"One", "Two"});
    c->SetColor(clRed);
    c->SetTabIndex(-1);
    Repaint(c);
    TRect client;
    c->Painter()->CalculateClientRect(client);
    EXPECT_TRUE(Is(c, Centre(client).x, Centre(client).y, clBtnFace)) << style;
    c->SetTabIndex(0);
    Repaint(c);
    EXPECT_TRUE(Is(c, Centre(client).x, Centre(client).y, clRed)) << style;
    FreeObject(c);
  }
}

TEST_F(TabStylesTest, Office11GradientsFollowBothOptions) {
  struct Case {
    bool gradient, clientArea;
    bool bandShaded, clientShaded;
  };
  const Case cases[] = {
      {false, false, false, false}, {false, true, false, false}, {true, false, true, false}, {true, true, true, true}};
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message() << k.gradient << k.clientArea);
    TuiCustomTabControl* c = NewStyled(8, {"One", "Two"}, 240, 120);
    c->SetTabIndex(-1);
    TuiPCOptions options;
    if (k.gradient) options.Include(pcoGradient);
    if (k.clientArea) options.Include(pcoGradientClientArea);
    c->SetOptions(options);
    Repaint(c);
    EXPECT_EQ(c->Painter()->NeedsRedrawOnResize(), k.gradient && k.clientArea);
    const k58test::PixelReader pixels = Pixels(c);
    TRect band;
    c->Tabs()->GetVisibleTab(1)->GetNormalRect(band);
    const Integer x = 230;
    EXPECT_EQ(pixels(x, band.top) != pixels(x, band.bottom - 2), k.bandShaded);
    TRect client;
    c->Painter()->CalculateClientRect(client);
    EXPECT_EQ(pixels(50, client.top + 1) != pixels(50, client.bottom - 2), k.clientShaded);
    if (!k.clientShaded) {
      EXPECT_EQ(pixels(50, client.top + 1),
                ColorToRGB(MixColors(Office11Color(o11BarLight), Office11Color(o11BarDark), 50)));
    }
    // An inactive tab is transparent: the band's colour shows through its body.
    EXPECT_EQ(pixels(band.left + 1, band.top + 1), pixels(x, band.top + 1));
    FreeObject(c);
  }
}

TEST_F(TabStylesTest, Office11RepaintsWithTheNewSchemeAfterASystemColourChange) {
  k58test::RecordingThemeProvider provider({"Button"});
  k58test::ScopedThemeProvider scope(provider);
  provider.FileName = u"Royale.msstyles";
  provider.ColorName = u"NormalColor";
  UpdateOffice11Colors();
  TuiCustomTabControl* c = NewStyled(8, {"One", "Two"});
  c->SetShowFrame(true);
  Repaint(c);
  TRect client;
  c->Painter()->CalculateClientRect(client);
  const TColor before = Office11Color(o11SelectionFrame);
  EXPECT_TRUE(Is(c, client.left - 1, client.top + 5, before));
  provider.FileName = u"Luna.msstyles";
  SendMessage(k58::foundation::SystemPaletteChangedListener()->Handle(), WM_SYSCOLORCHANGE, 0, 0);
  Pump();
  const TColor after = Office11Color(o11SelectionFrame);
  ASSERT_NE(after, before);
  EXPECT_TRUE(Is(c, client.left - 1, client.top + 5, after));
  EXPECT_EQ(OneNoteColor(0), static_cast<TColor>(0x9C613B));
  FreeObject(c);
  provider.FileName = u"Royale.msstyles";
  UpdateOffice11Colors();
  EXPECT_EQ(OneNoteColor(0), clBtnShadow);
}

// ---- Slanted styles ----

TEST_F(TabStylesTest, SlantedOutlinesByKindPositionsAndRotation) {
  struct Case {
    const char* name;
    TuiTabSlantKind kind;
    TuiTabSlantPositions positions;
    bool rotate;
    TPoints points;
    TLinePositions lines;
  };
  const TuiTabSlantPositions none, left = TuiTabSlantPositions().Include(spLeft),
                                   right = TuiTabSlantPositions().Include(spRight),
                                   both = TuiTabSlantPositions().Include(spLeft).Include(spRight);
  // A 60 x 20 tab standing at (10, 30)-(70, 50).
  const Case cases[] = {
      {"slant both", skSlant, both, false, {{10, 49}, {29, 30}, {50, 30}, {69, 49}}, {lpLT, lpT, lpRT}},
      {"slant left", skSlant, left, false, {{10, 49}, {29, 30}, {67, 30}, {69, 32}, {69, 49}},
       {lpLT, lpT, lpRT, lpR}},
      {"slant turned", skSlant, both, true, {{10, 49}, {10, 32}, {12, 30}, {67, 30}, {69, 32}, {69, 49}},
       {lpL, lpLT, lpT, lpRT, lpR}},
      {"slant none", skSlant, none, false, {{10, 49}, {10, 32}, {12, 30}, {67, 30}, {69, 32}, {69, 49}},
       {lpL, lpLT, lpT, lpRT, lpR}},
      {"cut left", skCutCorner, left, false, {{10, 49}, {10, 36}, {16, 30}, {69, 30}, {69, 49}},
       {lpL, lpLT, lpT, lpR}},
      {"cut left turned", skCutCorner, left, true, {{10, 49}, {10, 36}, {16, 30}, {69, 30}, {69, 49}},
       {lpL, lpLT, lpT, lpR}},
      {"slant right", skSlant, right, false, {{10, 49}, {10, 32}, {12, 30}, {50, 30}, {69, 49}},
       {lpL, lpLT, lpT, lpRT}},
      {"cut both", skCutCorner, both, false, {{10, 49}, {10, 36}, {16, 30}, {63, 30}, {69, 36}, {69, 49}},
       {lpL, lpLT, lpT, lpRT, lpR}},
      {"cut none", skCutCorner, none, false, {{10, 49}, {10, 32}, {12, 30}, {67, 30}, {69, 32}, {69, 49}},
       {lpL, lpLT, lpT, lpRT, lpR}},
  };
  TuiCustomTabControl* c = NewStyled(9, {"One"});
  auto* painter = static_cast<TuiPCSlantedPainter*>(c->Painter());
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    c->TabSlants()->SetKind(k.kind);
    c->TabSlants()->SetPositions(k.positions);
    c->SetRotate(k.rotate);
    const TuiPCOutline o = painter->StandingOutline(TRect{10, 30, 70, 50}, tsTop);
    EXPECT_EQ(o.Points, k.points);
    EXPECT_EQ(o.Positions, k.lines);
  }
}

TEST_F(TabStylesTest, SlantedShapesAreTurnedToEachSide) {
  TuiCustomTabControl* c = NewStyled(9, {"One", "Two"}, 200, 200);
  c->TabSlants()->SetKind(skCutCorner);
  auto* painter = static_cast<TuiPCSlantedPainter*>(c->Painter());
  for (TuiTabPosition side : {tpTop, tpBottom, tpLeft, tpRight}) {
    SCOPED_TRACE(side);
    c->SetTabPosition(side);
    c->SetTabIndex(1);
    TuiTab* tab = c->Tabs()->GetVisibleTab(0);
    const TRect r = FullRect(c, 0);
    const bool vertical = side == tpLeft || side == tpRight;
    const Integer h = vertical ? r.right - r.left : r.bottom - r.top;
    // In standing terms: the 6-pixel cut at the outer left corner is outside, the square outer right
    // corner and the middle are inside, and the inner region leaves the outline out.
    const TPoint cut = TuiPCCustomPainter::RotatePoint(r, TPoint{r.left + 1, r.bottom - h + 1}, tab->GetSide());
    const Integer w = vertical ? r.bottom - r.top : r.right - r.left;
    const TPoint square = TuiPCCustomPainter::RotatePoint(r, TPoint{r.left + w - 1, r.bottom - h}, tab->GetSide());
    const TPoint middle = Centre(r);
    HRGN outer = painter->GetTabShapeRegion(0, false), inner = painter->GetTabShapeRegion(0, true);
    EXPECT_FALSE(PtInRegion(outer, cut.x, cut.y));
    EXPECT_TRUE(PtInRegion(outer, square.x, square.y));
    EXPECT_FALSE(PtInRegion(inner, square.x, square.y));
    EXPECT_TRUE(PtInRegion(outer, middle.x, middle.y));
    EXPECT_TRUE(PtInRegion(inner, middle.x, middle.y));
    DeleteObject(outer);
    DeleteObject(inner);
  }
}

TEST_F(TabStylesTest, TheOverlapOfSlantedTabsGoesToTheLaterActiveTab) {
  TuiCustomTabControl* c = NewStyled(9, {"One", "Two", "Six"}, 300, 100);
  c->TabSlants()->SetPositions(TuiTabSlantPositions().Include(spLeft).Include(spRight));
  Repaint(c);
  auto* painter = static_cast<TuiPCSlantedPainter*>(c->Painter());
  const TRect first = FullRect(c, 0), second = FullRect(c, 1);
  // Neighbours overlap by the slants: two halves of a slant each.
  ASSERT_EQ(first.right - second.left, 2 * (painter->GetSlantSize() / 2));
  // A point low in the overlap lies in both shapes.
  const TPoint p{(first.right + second.left) / 2, first.bottom - 2};
  struct Case {
    Integer active;
    bool inFirst, inSecond;
  };
  const Case cases[] = {{1, false, true}, {0, true, true}, {2, true, true}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.active);
    c->SetTabIndex(k.active);
    EXPECT_EQ(painter->PtInTab(0, p.x, p.y), k.inFirst);
    EXPECT_EQ(painter->PtInTab(1, p.x, p.y), k.inSecond);
  }
  // Above the slants only the tab itself is hit.
  EXPECT_TRUE(painter->PtInTab(0, Centre(first).x, first.top + 2));
  EXPECT_FALSE(painter->PtInTab(1, Centre(first).x, first.top + 2));
}

TEST_F(TabStylesTest, SlantedMinimumWidths) {
  struct Case {
    TuiTabSlantKind kind;
    TuiTabSlantPositions positions;
    bool rotate;
    Integer expected;  // with a slant of S pixels
  };
  const TuiTabSlantPositions none, left = TuiTabSlantPositions().Include(spLeft),
                                   both = TuiTabSlantPositions().Include(spLeft).Include(spRight);
  TuiCustomTabControl* c = NewStyled(9, {""});
  auto* painter = static_cast<TuiPCSlantedPainter*>(c->Painter());
  const Integer s = c->Tabs()->TabNormalHeight - 1;
  const Case cases[] = {
      {skSlant, none, false, 8},          {skSlant, left, false, s - 2 + 8}, {skSlant, both, false, 2 * (s - 2) + 8},
      {skCutCorner, left, false, 6 + 1 + 4}, {skCutCorner, both, false, 12 + 4}, {skSlant, both, true, 0},
  };
  for (const Case& k : cases) {
    c->TabSlants()->SetKind(k.kind);
    c->TabSlants()->SetPositions(k.positions);
    c->SetRotate(k.rotate);
    EXPECT_EQ(painter->GetMinTabWidthBySlants(), k.expected) << k.kind << " " << k.rotate;
    // An empty caption leaves the tab at its content width, never below the minimum.
    EXPECT_GE(c->Tabs()->GetTab(0)->NormalWidth, k.expected);
  }
}

TEST_F(TabStylesTest, OneNoteRefusesRotation) {
  TuiCustomTabControl* c = NewStyled(10, {"One"});
  try {
    c->SetRotate(true);
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "TuiCustomTabControl.SetRotate: OneNote style does not support rotation of tabs");
  }
  EXPECT_FALSE(c->Rotate());
}

TEST_F(TabStylesTest, SlantedRowsCloseOnTheClientSide) {
  for (bool rotate : {false, true}) {
    SCOPED_TRACE(rotate);
    TuiCustomTabControl* c = NewStyled(9, {"One", "Two", "Six"}, 300, 160);
    c->SetRotate(rotate);
    c->SetTabIndex(1);
    Repaint(c);
    TRect client;
    c->Painter()->CalculateClientRect(client);
    // The row border runs along the client side over the whole width, interrupted by the active tab only.
    const Integer y = client.top - 1;
    const TRect active = FullRect(c, 1);
    EXPECT_TRUE(Is(c, 1, y, clBtnShadow));
    EXPECT_TRUE(Is(c, 298, y, clBtnShadow));
    EXPECT_TRUE(Is(c, Centre(active).x, y, c->Color()));
    FreeObject(c);
  }
}

// ---- Every style, per side ----

TEST_F(TabStylesTest, EveryStylePerSideAsReviewed) {
  const std::vector<std::pair<char, TColor>> colours{
      {'H', clBtnHighlight}, {'D', cl3DDkShadow},      {'S', clBtnShadow},     {'F', clBtnFace},
      {'L', cl3DLight},      {'W', clWhite},           {'K', clBlack},         {'h', clHighlight},
      {'f', LightButtonFace()}};
  const std::pair<TuiPCStyleID, const char*> styles[] = {{2, "buttons"},   {3, "flatbuttons"}, {5, "extraflat"},
                                                         {6, "ultraflat"}, {8, "office11"},    {9, "slanted"},
                                                         {10, "onenote"}};
  for (const auto& [style, name] : styles) {
    for (TuiTabPosition side : {tpTop, tpBottom, tpLeft, tpRight}) {
      const bool vertical = side == tpLeft || side == tpRight;
      // Two tabs without captions: the active one and an inactive one.
      TuiCustomTabControl* c = NewTabControl(vertical ? 50 : 120, vertical ? 120 : 50, {"", ""}, style);
      c->SetTabPosition(side);
      Repaint(c);
      ExpectGolden(std::string(name) + "-" + "tblr"[side], PixelMap(Display, c, colours));
      FreeObject(c);
    }
  }
}
