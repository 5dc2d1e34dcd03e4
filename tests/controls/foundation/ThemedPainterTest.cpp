// The themed painter over the recording provider: which class, part, state and rectangle each element
// asks for, the values it measures from the theme, composite drawing (tabs, borders, pins), and the
// element-by-element fallback to the standard painter's pixels when a class is missing.
#include <gtest/gtest.h>

#include <functional>

#include "platform/rtl/CodePages.h"
#include "tests/controls/foundation/FoundationTesting.h"
#include "tests/platform/theme/RecordingThemeProvider.h"

using namespace foundation_test;
using k58test::RecordingThemeProvider;
using k58test::ScopedThemeProvider;
using k58test::ThemeCall;

namespace {

constexpr std::initializer_list<const char*> kAllClasses = {
    "Button", "ComboBox", "Edit", "ExplorerBar", "Header", "ListView", "ScrollBar", "Tab", "ToolBar", "TrackBar",
    "TreeView", "Window"};

class ThemedPainterTest : public FoundationTest {
 protected:
  RecordingThemeProvider Provider{kAllClasses};
  ScopedThemeProvider Scope{Provider};
  TuiLookAndFeelPainterClass XP = PainterClass<TuiWinXPLookAndFeelPainter>();
  TuiLookAndFeelPainterClass Standard = PainterClass<TuiStandardLookAndFeelPainter>();

  // The backgrounds drawn, as "Class part/state".
  std::vector<std::string> Backgrounds() const {
    std::vector<std::string> result;
    for (const ThemeCall& call : Provider.CallsOf("Background"))
      result.push_back(call.Class + " " + std::to_string(call.Part) + "/" + std::to_string(call.State));
    return result;
  }
  void UseScheme(const char16_t* AColorName) {
    Provider.ColorName = AColorName;
    UpdateOffice11Colors();
  }
};

using Paint = std::function<void(TuiLookAndFeelPainterClass, TuiCanvas*)>;

void Header(TuiLookAndFeelPainterClass P, TuiCanvas* C, TuiButtonState S, bool Last) {
  P->PaintHeader(C, TRect{0, 0, 40, 18}, TRect{2, 2, 38, 16}, TuiBorders{}, uiAllBorders, S, taLeftJustify, vaTop,
                 false, false, "Col", nullptr, clBlack, clRed, TuiDrawBackgroundEvent(), Last);
}

}  // namespace

TEST_F(ThemedPainterTest, ElementsAskForTheirPartsAndStates) {
  const TRect r{0, 0, 16, 16};
  struct Case {
    const char* Name;
    Paint Draw;
    std::vector<std::string> Backgrounds;
  };
  const Case cases[] = {
      {"checked hot check box", [&](auto P, auto C) { P->PaintCheckMark(C, r, uibsHot, true, clBlack); }, {"Button 3/6"}},
      {"unchecked pressed check box", [&](auto P, auto C) { P->PaintCheckMark(C, r, uibsPressed, false, clBlack); },
       {"Button 3/3"}},
      {"checked disabled check box", [&](auto P, auto C) { P->PaintCheckButton(C, r, uibsDisabled, true); },
       {"Button 3/8"}},
      {"pressed right arrow", [&](auto P, auto C) { P->PaintScrollBarPart(C, true, r, sbpLineDown, uibsPressed); },
       {"ScrollBar 1/15"}},
      {"disabled up arrow", [&](auto P, auto C) { P->PaintScrollBarPart(C, false, r, sbpLineUp, uibsDisabled); },
       {"ScrollBar 1/4"}},
      {"hot left arrow", [&](auto P, auto C) { P->PaintArrowButton(C, r, uibsHot, adLeft); }, {"ScrollBar 1/10"}},
      {"vertical thumb and gripper", [&](auto P, auto C) { P->PaintScrollBarPart(C, false, r, sbpThumbnail, uibsHot); },
       {"ScrollBar 3/2", "ScrollBar 9/0"}},
      {"disabled thumb is drawn", [&](auto P, auto C) { P->PaintScrollBarPart(C, true, r, sbpThumbnail, uibsDisabled); },
       {"ScrollBar 2/4", "ScrollBar 8/0"}},
      {"tracks", [&](auto P, auto C) {
         P->PaintScrollBarPart(C, false, r, sbpPageUp, uibsNormal);
         P->PaintScrollBarPart(C, false, r, sbpPageDown, uibsPressed);
         P->PaintScrollBarPart(C, true, r, sbpPageUp, uibsNormal);
         P->PaintScrollBarPart(C, true, r, sbpPageDown, uibsNormal);
       },
       {"ScrollBar 6/1", "ScrollBar 7/3", "ScrollBar 4/1", "ScrollBar 5/1"}},
      {"splitter buttons", [&](auto P, auto C) {
         P->PaintSplitterButton(C, r, uibsNormal);
         P->PaintSplitterButton(C, r, uibsHot);
         P->PaintSplitterButton(C, r, uibsPressed);
       },
       {"ToolBar 1/2", "ToolBar 1/5", "ToolBar 1/3"}},
      {"push buttons", [&](auto P, auto C) {
         P->PaintButton(C, r, "", uibsDefault);
         P->PaintButtonBackground(C, r, uibsDisabled);
       },
       {"Button 1/5", "Button 1/4"}},
      {"close button", [&](auto P, auto C) { P->PaintCloseButton(C, r, uibsHot); }, {"Window 19/2"}},
      {"drop-down button", [&](auto P, auto C) { P->PaintDropDownButton(C, r, uibsPressed, true); }, {"ComboBox 1/3"}},
      {"tree glyphs", [&](auto P, auto C) {
         P->PaintExpandButton(C, r, true);
         P->PaintExpandButton(C, r, false);
         P->PaintSmallExpandButton(C, r, false, clRed);
       },
       {"TreeView 2/2", "TreeView 2/1", "TreeView 2/1"}},
      {"group expand buttons", [&](auto P, auto C) {
         P->PaintGroupExpandButton(C, r, true, uibsNormal);
         P->PaintGroupExpandButton(C, r, false, uibsHot);
         P->PaintGroupExpandButton(C, r, false, uibsDisabled);
       },
       {"ExplorerBar 6/1", "ExplorerBar 7/2", "ExplorerBar 7/1"}},
      {"radio button", [&](auto P, auto C) { P->PaintRadioButton(C, 1, 2, uibsDisabled, true, false, clDefault); },
       {"Button 2/8"}},
      {"footer cell", [&](auto P, auto C) {
         P->PaintFooterCell(C, r, taLeftJustify, vaTop, false, "", nullptr, clBlack, clRed, TuiDrawBackgroundEvent());
       },
       {"TrackBar 1/1"}},
      {"mark button", [&](auto P, auto C) { P->PaintMarkButton(C, r, uibsHot); }, {"Button 1/2"}},
      {"pin", [&](auto P, auto C) { P->PaintImageButton(C, r, uibsPressed, 1, clRed); }, {"ExplorerBar 3/3"}},
      {"list view border", [&](auto P, auto C) { P->PaintBorder(C, r); }, {"ListView 5/0"}},
      {"tabs root", [&](auto P, auto C) { P->PaintTabsRoot(C, r, uiAllBorders, false); }, {"Tab 9/0"}},
      {"tab border draws nothing", [&](auto P, auto C) { P->PaintTabBorder(C, r, bLeft, uiAllBorders, false); }, {}},
      {"check border draws nothing", [&](auto P, auto C) { P->PaintCheckBorder(C, r, uibsNormal); }, {}},
  };
  for (const Case& c : cases) {
    TestCanvas canvas(20, 20);
    Provider.ClearCalls();
    c.Draw(XP, canvas.Canvas());
    EXPECT_EQ(c.Backgrounds, Backgrounds()) << c.Name;
  }
  // The radio button takes the part's size at the given point.
  Provider.ClearCalls();
  TestCanvas canvas(30, 30);
  XP->PaintRadioButton(canvas.Canvas(), 3, 4, uibsNormal, false, false, clDefault);
  EXPECT_EQ((TRect{3, 4, 16, 17}), Provider.Calls.at(0).Rect);
}

TEST_F(ThemedPainterTest, LastHeaderUsesItsOwnPartOnlyWithTheBlueOrOliveScheme) {
  struct Case {
    const char16_t* Scheme;
    TuiButtonState State;
    bool Last;
    std::string Background;
  };
  const Case cases[] = {
      {u"NormalColor", uibsNormal, true, "Header 3/1"},  {u"HomeStead", uibsDisabled, true, "Header 3/1"},
      {u"NormalColor", uibsHot, true, "Header 1/2"},     {u"NormalColor", uibsPressed, true, "Header 1/3"},
      {u"Metallic", uibsNormal, true, "Header 1/1"},     {u"Other", uibsNormal, true, "Header 1/1"},
      {u"NormalColor", uibsNormal, false, "Header 1/1"},
  };
  for (const Case& c : cases) {
    UseScheme(c.Scheme);
    TestCanvas canvas(40, 18);
    Provider.ClearCalls();
    Header(XP, canvas.Canvas(), c.State, c.Last);
    EXPECT_EQ(std::vector<std::string>{c.Background}, Backgrounds()) << WideToUtf8(c.Scheme) << " " << c.State;
  }
}

TEST_F(ThemedPainterTest, HeaderTextMovesWhenPressedAndTheBackgroundIsTheTheme) {
  TestCanvas canvas(40, 18);
  Header(XP, canvas.Canvas(), uibsPressed, false);
  const std::vector<ThemeCall> texts = Provider.CallsOf("Text", "Header");
  ASSERT_EQ(1u, texts.size());
  EXPECT_EQ("Col", texts[0].Text);
  EXPECT_EQ((TRect{3, 3, 39, 17}), texts[0].Rect);
  EXPECT_EQ(DT_EDITCONTROL | DT_SINGLELINE | DT_NOPREFIX, texts[0].Flags);
  EXPECT_EQ(0, k58test::CountColour(canvas.Pixels(), TRect{0, 0, 40, 18}, clRed));  // never the background colour
  EXPECT_EQ(static_cast<TColor>(RecordingThemeProvider::MarkerColor(1, 3)), canvas.At(20, 9));
}

TEST_F(ThemedPainterTest, ThemedTextFlags) {
  struct Case {
    TAlignment HAlign;
    TuiVertAlignment VAlign;
    bool MultiLine, EndEllipsis, ShowPrefix;
    DWORD Flags;
  };
  for (const Case& c : {Case{taLeftJustify, vaTop, false, false, false, 0x2820},
                        Case{taRightJustify, vaBottom, false, true, true, 0xA02A},
                        Case{taCenter, vaCenter, true, false, true, 0x2015}}) {
    TestCanvas canvas(60, 40);
    Provider.ClearCalls();
    static_cast<const TuiWinXPLookAndFeelPainter*>(XP)->PaintThemedHeaderContent(
        canvas.Canvas(), OpenThemeObject(totHeader), 1, 1, TRect{0, 0, 60, 40}, TRect{0, 0, 60, 40}, c.HAlign,
        c.VAlign, c.MultiLine, c.EndEllipsis, c.ShowPrefix, "Text", nullptr, clBlack, clRed);
    ASSERT_EQ(1u, Provider.Calls.size());
    EXPECT_EQ(c.Flags, Provider.Calls[0].Flags) << std::hex << c.Flags;
  }
  // Without a text nothing is drawn and the canvas font stays.
  TestCanvas canvas(60, 40);
  TFont font;
  font.SetColor(clRed);
  canvas->GetCanvasFont()->SetColor(clLime);
  Provider.ClearCalls();
  static_cast<const TuiWinXPLookAndFeelPainter*>(XP)->PaintThemedHeaderContent(
      canvas.Canvas(), OpenThemeObject(totHeader), 1, 1, TRect{}, TRect{}, taLeftJustify, vaTop, false, false, false, "",
      &font, clBlue, clRed);
  EXPECT_TRUE(Provider.Calls.empty());
  EXPECT_EQ(clLime, canvas->GetCanvasFont()->Color());
  // A push button's caption is centred on one line in the theme's text.
  Provider.ClearCalls();
  XP->PaintButton(canvas.Canvas(), TRect{0, 0, 60, 20}, "OK", uibsHot);
  const std::vector<ThemeCall> texts = Provider.CallsOf("Text", "Button");
  ASSERT_EQ(1u, texts.size());
  EXPECT_EQ(0x25u, texts[0].Flags);
  EXPECT_EQ(2, texts[0].State);
}

TEST_F(ThemedPainterTest, ValuesMeasuredFromTheTheme) {
  Provider.Margins[{"BUTTON", 1}] = RECT{3, 4, 5, 6};
  Provider.Margins[{"HEADER", 1}] = RECT{2, 4, 0, 0};
  Provider.Sizes[{"WINDOW", 19}] = SIZE{13, 11};
  Provider.Sizes[{"TREEVIEW", 2}] = SIZE{9, 9};
  Provider.Colors[{"BUTTON", 1, 2, 3803}] = RGB(1, 2, 3);
  Provider.Colors[{"COMBOBOX", 1, 1, 3801}] = RGB(4, 5, 6);
  EXPECT_EQ(3, XP->GetButtonBorderWidth(uibsNormal));
  EXPECT_EQ(3, XP->GetHeaderBorderWidth());
  EXPECT_EQ(3, XP->GetHeaderSectionBorderWidth(uibsPressed));
  EXPECT_EQ((TPoint{17, 15}), XP->GetCloseButtonSize());
  EXPECT_EQ(9, XP->GetExpandButtonSize());
  EXPECT_EQ(9, XP->GetSmallExpandButtonSize());
  EXPECT_EQ((TPoint{15, 15}), XP->GetSmallButtonSize());
  EXPECT_EQ(0, XP->GetCheckBorderWidth());
  EXPECT_EQ(1, XP->GetBorderWidth());
  EXPECT_EQ((TRect{13, 14, 55, 54}), XP->GetButtonFocusBounds(nullptr, TRect{10, 10, 60, 60}));
  // A colour the theme has, and the fallbacks for one it lacks (the fill colour of a push button).
  EXPECT_EQ(static_cast<TColor>(RGB(1, 2, 3)), XP->GetButtonSymbolColor(uibsHot, clRed));
  EXPECT_EQ(clBtnShadow, XP->GetButtonSymbolColor(uibsDisabled, clRed));
  EXPECT_EQ(clBtnFace, XP->GetButtonFaceColor(uibsNormal));
  EXPECT_EQ(static_cast<TColor>(RGB(4, 5, 6)), XP->FrameColor());
  // Group borders from the margins on (0, 0, 100, 100), one wider when the part is partly transparent.
  EXPECT_EQ((TRect{3, 4, 5, 6}), XP->GetButtonGroupBorders(3, 1));
  EXPECT_EQ((TRect{5, 5, 20, 20}), XP->AdjustGroupButtonBounds(TRect{5, 5, 20, 20}, 3, 1));
  Provider.Transparent.insert({"BUTTON", 1});
  EXPECT_EQ((TRect{2, 3, 6, 7}), XP->GetButtonGroupBorders(3, 1));
  EXPECT_EQ((TRect{4, 4, 21, 21}), XP->AdjustGroupButtonBounds(TRect{5, 5, 20, 20}, 3, 1));
  // The expand button's region lies one pixel inside its rectangle here.
  EXPECT_FALSE(XP->IsPointOverExpandButton(TRect{0, 0, 10, 10}, TPoint{0, 0}));
  EXPECT_TRUE(XP->IsPointOverExpandButton(TRect{0, 0, 10, 10}, TPoint{1, 1}));
}

TEST_F(ThemedPainterTest, CompositeElements) {
  const COLORREF pane = RecordingThemeProvider::MarkerColor(9, 0);
  // The list view border: only its outer frame shows, and the clip is whole again afterwards.
  TestCanvas border(10, 10);
  XP->PaintBorder(border.Canvas(), TRect{0, 0, 10, 10});
  EXPECT_EQ(static_cast<TColor>(RecordingThemeProvider::MarkerColor(5, 0)), border.At(0, 5));
  EXPECT_EQ(clFuchsia, border.At(5, 5));
  border->FillRectWithColor(TRect{0, 0, 10, 10}, clRed);
  EXPECT_EQ(clRed, border.At(5, 5));

  // The footer border is a raised inner edge of the edit class on all sides.
  XP->PaintFooterBorder(border.Canvas(), TRect{0, 0, 10, 10});
  const std::vector<ThemeCall> edges = Provider.CallsOf("Edge", "Edit");
  ASSERT_EQ(1u, edges.size());
  EXPECT_EQ(4u, edges[0].Edge);
  EXPECT_EQ(15u, edges[0].Flags);

  // A horizontal tab: drawn wider than it is, clipped to it, one row short unless selected.
  TestCanvas tabs(80, 80);
  Provider.ClearCalls();
  XP->PaintTab(tabs.Canvas(), TRect{10, 5, 60, 25}, TuiBorders{}, "Tab", uibsNormal, false, nullptr, clBlack, clRed);
  ASSERT_EQ(1u, Provider.CallsOf("Background").size());
  EXPECT_EQ((TRect{8, 5, 62, 25}), Provider.Calls[0].Rect);
  EXPECT_EQ((TRect{10, 5, 60, 24}), *Provider.Calls[0].Clip);
  EXPECT_EQ((TRect{8, 5, 62, 25}), Provider.CallsOf("Text").at(0).Rect);
  EXPECT_EQ(clFuchsia, tabs.At(30, 24));
  EXPECT_EQ(clFuchsia, tabs.At(9, 10));
  // A selected vertical tab is drawn on its side and turned into place.
  tabs.Fill(clFuchsia);
  Provider.ClearCalls();
  XP->PaintTab(tabs.Canvas(), TRect{10, 5, 30, 65}, TuiBorders{bTop}, "V", uibsPressed, true, nullptr, clBlack, clRed);
  EXPECT_EQ((TRect{0, 0, 62, 21}), Provider.Calls.at(0).Rect);
  EXPECT_EQ((TRect{0, 0, 60, 20}), *Provider.Calls.at(0).Clip);
  EXPECT_EQ(1200, k58test::CountColour(tabs.Pixels(), TRect{0, 0, 80, 80},
                                       static_cast<COLORREF>(RecordingThemeProvider::MarkerColor(1, 3))));
  EXPECT_EQ(static_cast<TColor>(RecordingThemeProvider::MarkerColor(1, 3)), tabs.At(10, 5));
  EXPECT_EQ(clFuchsia, tabs.At(30, 5));
  // The tab row's pane reaches below the row, clipped to it.
  tabs.Fill(clFuchsia);
  Provider.ClearCalls();
  XP->PaintTabsRoot(tabs.Canvas(), TRect{0, 0, 50, 30}, uiAllBorders, false);
  EXPECT_EQ((TRect{0, 0, 50, 40}), Provider.Calls.at(0).Rect);
  EXPECT_EQ(static_cast<TColor>(pane), tabs.At(49, 29));
  EXPECT_EQ(clFuchsia, tabs.At(49, 30));
  // The pin is drawn into a bitmap of the button's size and placed at its corner.
  tabs.Fill(clFuchsia);
  Provider.ClearCalls();
  XP->PaintImageButton(tabs.Canvas(), TRect{5, 6, 21, 20}, uibsHot, 0, clRed);
  EXPECT_EQ((TRect{0, 0, 16, 14}), Provider.Calls.at(0).Rect);
  EXPECT_EQ(static_cast<TColor>(RecordingThemeProvider::MarkerColor(3, 2)), tabs.At(5, 6));
}

// (A header with arrows keeps its themed layout, without the standard look's frame, also without a theme.)
TEST_F(ThemedPainterTest, AMissingClassGivesTheStandardPainterPixels) {
  RecordingThemeProvider empty;  // visual styles active, but no class themed
  ScopedThemeProvider scope(empty);
  ASSERT_TRUE(AreThemesUsableFor(0));
  const TRect r{1, 1, 21, 17};
  struct Case {
    const char* Name;
    Paint Draw;
  };
  const Case cases[] = {
      {"button", [&](auto P, auto C) { P->PaintButton(C, r, "Ok", uibsDefault); }},
      {"pressed button", [&](auto P, auto C) { P->PaintButton(C, r, "Ok", uibsPressed); }},
      {"button background", [&](auto P, auto C) { P->PaintButtonBackground(C, r, uibsHot); }},
      {"arrow button", [&](auto P, auto C) { P->PaintArrowButton(C, r, uibsNormal, adDown); }},
      {"border", [&](auto P, auto C) { P->PaintBorder(C, r); }},
      {"expand button", [&](auto P, auto C) { P->PaintExpandButton(C, TRect{2, 2, 14, 14}, false, clDefault); }},
      {"small expand button", [&](auto P, auto C) { P->PaintSmallExpandButton(C, TRect{2, 2, 11, 11}, true, clRed, clYellow); }},
      {"group expand button", [&](auto P, auto C) { P->PaintGroupExpandButton(C, r, true, uibsHot); }},
      {"check box", [&](auto P, auto C) { P->PaintCheckButton(C, TRect{2, 2, 15, 15}, uibsNormal, true); }},
      {"radio button", [&](auto P, auto C) { P->PaintRadioButton(C, 3, 3, uibsHot, true, false, clWhite); }},
      {"header", [&](auto P, auto C) { Header(P, C, uibsNormal, true); }},
      {"footer border", [&](auto P, auto C) { P->PaintFooterBorder(C, r); }},
      {"footer cell", [&](auto P, auto C) {
         P->PaintFooterCell(C, r, taRightJustify, vaCenter, false, "7", nullptr, clBlack, clYellow, TuiDrawBackgroundEvent());
       }},
      {"close button", [&](auto P, auto C) { P->PaintCloseButton(C, r, uibsPressed); }},
      {"drop-down button", [&](auto P, auto C) { P->PaintDropDownButton(C, r, uibsNormal, true); }},
      {"mark button", [&](auto P, auto C) { P->PaintMarkButton(C, r, uibsDisabled); }},
      {"image button", [&](auto P, auto C) { P->PaintImageButton(C, r, uibsPressed, 0, clWhite); }},
      {"tab", [&](auto P, auto C) { P->PaintTab(C, r, uiAllBorders, "T", uibsNormal, false, nullptr, clBlack, clRed); }},
      {"tab border", [&](auto P, auto C) { P->PaintTabBorder(C, r, bTop, uiAllBorders, false); }},
      {"tabs root", [&](auto P, auto C) { P->PaintTabsRoot(C, r, uiAllBorders, false); }},
      {"scroll arrow", [&](auto P, auto C) { P->PaintScrollBarPart(C, true, r, sbpLineUp, uibsPressed); }},
      {"scroll thumb", [&](auto P, auto C) { P->PaintScrollBarPart(C, false, r, sbpThumbnail, uibsNormal); }},
      {"scroll track", [&](auto P, auto C) { P->PaintScrollBarPart(C, false, r, sbpPageDown, uibsPressed); }},
      {"splitter button", [&](auto P, auto C) { P->PaintSplitterButton(C, r, uibsHot); }},
      {"splitter border", [&](auto P, auto C) { P->PaintSplitterBorder(C, r, true, TuiBackgroundParams{nullptr, clYellow}); }},
  };
  for (const Case& c : cases) {
    TestCanvas themed(24, 20), standard(24, 20);
    c.Draw(XP, themed.Canvas());
    c.Draw(Standard, standard.Canvas());
    EXPECT_EQ(standard.All(), themed.All()) << c.Name;
  }
  EXPECT_TRUE(empty.Calls.empty());
  EXPECT_EQ(Standard->GetButtonGroupBorders(3, 1), XP->GetButtonGroupBorders(3, 1));
  EXPECT_EQ(2, XP->GetButtonBorderWidth(uibsDefault));
  EXPECT_EQ((TPoint{15, 15}), XP->GetSmallButtonSize());
}

TEST_F(ThemedPainterTest, Office11BorrowsThemedScrollPartsAndSplitterButtons) {
  const TuiLookAndFeelPainterClass office11 = PainterClass<TuiOffice11LookAndFeelPainter>();
  TestCanvas canvas(20, 20);
  office11->PaintScrollBarPart(canvas.Canvas(), false, TRect{0, 0, 16, 16}, sbpLineUp, uibsNormal);
  office11->PaintSplitterButton(canvas.Canvas(), TRect{0, 0, 16, 16}, uibsNormal);
  EXPECT_EQ((std::vector<std::string>{"ScrollBar 1/1", "ToolBar 1/2"}), Backgrounds());
}
