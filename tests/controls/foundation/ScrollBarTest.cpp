// The look-and-feel scroll bar on the test display with scroll-bar metrics of 16 pixels: geometry of the
// arrows, thumb and page areas, its parameters and their errors, auto-repeat on the manual clock, thumb
// dragging with the snap-back, the kind switch, the painter's part and state for each part (through the
// recording visual-styles provider), and a bar read from a form resource.
#include <gtest/gtest.h>

#include "platform/classes/Streams.h"
#include "tests/controls/foundation/ControlTesting.h"
#include "tests/platform/theme/RecordingThemeProvider.h"

using namespace foundation_test;

namespace {

class TBarForm : public TForm {
  K58_CLASS(TBarForm, TForm)

  explicit TBarForm(TComponent* AOwner) : TForm(AOwner) {}
  void BarChange(TObject*) { ++Changes; }
  TuiScrollBar* Bar = nullptr;
  Integer Changes = 0;
};

}  // namespace

K58_IMPLEMENT_CLASS(TBarForm) {
  b.Field("Bar", &TBarForm::Bar);
  b.Method("BarChange", &TBarForm::BarChange);
}

namespace {

const char* const kBarFormText = R"(object BarForm: TBarForm
  Left = 40
  Top = 40
  Width = 300
  Height = 300
  object Bar: TuiScrollBar
    Left = 10
    Top = 20
    Width = 20
    Height = 216
    Kind = sbVertical
    LargeChange = 10
    LookAndFeel.Kind = lfFlat
    Max = 50
    Min = 5
    PageSize = 10
    Position = 20
    SmallChange = 2
    UnlimitedTracking = True
    OnChange = BarChange
  end
end)";

class ScrollBar : public ControlTest {
 protected:
  ScrollBar() {
    k58::gdi::SetSystemMetric(SM_CXVSCROLL, 16);
    k58::gdi::SetSystemMetric(SM_CYHSCROLL, 16);
    k58::gdi::SetSystemMetric(SM_CYVTHUMB, 16);
    k58::gdi::SetSystemMetric(SM_CXHTHUMB, 16);
  }

  // A bar on the form with its window; vertical bars are 16 wide with a 200-pixel track by default.
  TuiScrollBar* NewBar(TScrollBarKind AKind = sbVertical, Integer ALength = 232) {
    auto* bar = NewObject<TuiScrollBar>(Form);
    bar->SetKind(AKind);
    if (AKind == sbVertical) {
      bar->SetBounds(10, 10, 16, ALength);
    } else {
      bar->SetBounds(10, 10, ALength, 16);
    }
    bar->SetParent(Form);
    bar->SetOnScroll([this](TObject*, TScrollCode Code, Integer& Pos) { Scrolls.push_back({Code, Pos}); });
    Pump();
    return bar;
  }
  POINT AtPart(TuiScrollBar* ABar, TuiScrollBarPart APart) {
    const TRect r = ABar->PartBounds(APart);
    return At(ABar, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }

  struct Scrolled {
    TScrollCode Code;
    Integer Pos;
    bool operator==(const Scrolled& O) const { return Code == O.Code && Pos == O.Pos; }
  };
  std::vector<Scrolled> Scrolls;
};

TEST_F(ScrollBar, Geometry) {
  struct Case {
    const char* Name;
    TScrollBarKind Kind;
    Integer Length;
    Integer Min, Max, Page, Position;
    bool Enabled;
    TRect Arrow1, Arrow2, Thumb, Page1, Page2;
  };
  const TRect none{};
  const Case cases[] = {
      {"a 20-pixel bar: half-size arrows, no thumb", sbHorizontal, 20, 0, 100, 0, 0, true,
       {0, 0, 10, 16}, {10, 0, 20, 16}, none, none, none},
      {"a page of 10 in 0..99 over 200 pixels: a 20-pixel thumb", sbVertical, 232, 0, 99, 10, 0, true,
       {0, 0, 16, 16}, {0, 216, 16, 232}, {0, 16, 16, 36}, {0, 16, 16, 16}, {0, 36, 16, 216}},
      {"half way", sbVertical, 232, 0, 99, 10, 45, true,
       {0, 0, 16, 16}, {0, 216, 16, 232}, {0, 106, 16, 126}, {0, 16, 16, 106}, {0, 126, 16, 216}},
      {"at the end", sbVertical, 232, 0, 99, 10, 90, true,
       {0, 0, 16, 16}, {0, 216, 16, 232}, {0, 196, 16, 216}, {0, 16, 16, 196}, {0, 216, 16, 216}},
      {"horizontal, no page: the system thumb size", sbHorizontal, 232, 0, 100, 0, 50, true,
       {0, 0, 16, 16}, {216, 0, 232, 16}, {108, 0, 124, 16}, {16, 0, 108, 16}, {124, 0, 216, 16}},
      {"a page covering the range: the thumb fills the track", sbVertical, 232, 10, 20, 11, 20, true,
       {0, 0, 16, 16}, {0, 216, 16, 232}, {0, 16, 16, 216}, {0, 16, 16, 16}, {0, 216, 16, 216}},
      {"an empty range without page: the thumb at the start", sbVertical, 232, 0, 0, 0, 0, true,
       {0, 0, 16, 16}, {0, 216, 16, 232}, {0, 16, 16, 32}, {0, 16, 16, 16}, {0, 32, 16, 216}},
      {"an empty range with a page: no thumb", sbVertical, 232, 5, 5, 3, 5, true,
       {0, 0, 16, 16}, {0, 216, 16, 232}, none, none, none},
      {"a track shorter than the least thumb", sbVertical, 38, 0, 99, 10, 0, true,
       {0, 0, 16, 16}, {0, 22, 16, 38}, none, none, none},
      {"disabled", sbVertical, 232, 0, 99, 10, 0, false,
       {0, 0, 16, 16}, {0, 216, 16, 232}, none, none, none},
  };
  for (const Case& c : cases) {
    TuiScrollBar* bar = NewBar(c.Kind, c.Length);
    bar->SetScrollParams(c.Min, c.Max, c.Position, c.Page);
    bar->SetEnabled(c.Enabled);
    EXPECT_EQ(c.Arrow1, bar->PartBounds(sbpLineUp)) << c.Name;
    EXPECT_EQ(c.Arrow2, bar->PartBounds(sbpLineDown)) << c.Name;
    EXPECT_EQ(c.Thumb, bar->PartBounds(sbpThumbnail)) << c.Name;
    if (c.Thumb.right > c.Thumb.left) {
      EXPECT_EQ(c.Page1, bar->PartBounds(sbpPageUp)) << c.Name;
      EXPECT_EQ(c.Page2, bar->PartBounds(sbpPageDown)) << c.Name;
    } else {
      EXPECT_EQ(none, bar->PartBounds(sbpPageUp)) << c.Name;
      EXPECT_EQ(none, bar->PartBounds(sbpPageDown)) << c.Name;
    }
    FreeObject(bar);
  }
}

TEST_F(ScrollBar, ParametersAreCheckedAndAPositionIsClamped) {
  TuiScrollBar* bar = NewBar();
  Integer changes = 0;
  bar->SetOnChange([&](TObject*) { ++changes; });
  EXPECT_EQ(0, bar->Min());
  EXPECT_EQ(100, bar->Max());
  EXPECT_EQ(0, bar->PageSize());
  EXPECT_EQ(1, bar->SmallChange());
  EXPECT_EQ(1, bar->LargeChange());
  bar->SetPosition(250);
  EXPECT_EQ(100, bar->Position());
  bar->SetPosition(-5);
  EXPECT_EQ(0, bar->Position());
  EXPECT_EQ(2, changes);
  bar->SetScrollParams(0, 100, 0, 0);  // nothing new
  bar->SetMax(50);                     // a new range, the same position
  EXPECT_EQ(2, changes);
  bar->SetPageSize(20);
  for (const auto& change : std::vector<std::function<void()>>{[&] { bar->SetMax(10); },
                                                               [&] { bar->SetMin(60); },
                                                               [&] { bar->SetScrollParams(10, 5, 7, 0); }}) {
    try {
      change();
      ADD_FAILURE() << "no error";
    } catch (const EInvalidOperation& e) {
      EXPECT_EQ("Scrollbar property out of range", e.Message());
    }
    EXPECT_EQ(0, bar->Min());
    EXPECT_EQ(50, bar->Max());
    EXPECT_EQ(20, bar->PageSize());
  }
  // A new position enables a disabled bar.
  bar->SetEnabled(false);
  bar->SetPosition(3);
  EXPECT_TRUE(bar->Enabled());
  EXPECT_EQ(3, changes);
}

TEST_F(ScrollBar, HoldingAnArrowRepeatsAfter400ThenEvery60Milliseconds) {
  TuiScrollBar* bar = NewBar();
  const POINT arrow = AtPart(bar, sbpLineDown);
  Display.Press(arrow);
  Pump();
  EXPECT_EQ(1, bar->Position());
  EXPECT_EQ(sbpLineDown, bar->PressedPart());
  Wait(399);
  EXPECT_EQ(1, bar->Position());
  Wait(1);
  EXPECT_EQ(2, bar->Position());
  Wait(60);
  EXPECT_EQ(3, bar->Position());
  // Off the arrow the repeat pauses; back on it, it goes on.
  Display.MoveTo(AtPart(bar, sbpThumbnail));
  Pump();
  Wait(300);
  EXPECT_EQ(3, bar->Position());
  Display.MoveTo(arrow);
  Pump();
  Wait(59);
  EXPECT_EQ(3, bar->Position());
  Wait(1);
  EXPECT_EQ(4, bar->Position());
  Display.Release(arrow);
  Pump();
  Wait(300);
  EXPECT_EQ(4, bar->Position());
  EXPECT_EQ(sbpNone, bar->PressedPart());
  EXPECT_EQ((std::vector<Scrolled>{{scLineDown, 1}, {scLineDown, 2}, {scLineDown, 3}, {scLineDown, 4},
                                   {scEndScroll, 4}}),
            Scrolls);
  // The page areas step by LargeChange.
  bar->SetScrollParams(0, 99, 0, 10);
  bar->SetLargeChange(10);
  Display.Advance(1000);
  Display.Click(AtPart(bar, sbpPageDown));
  Pump();
  EXPECT_EQ(10, bar->Position());
}

TEST_F(ScrollBar, ADraggedThumbSnapsBackFarFromTheBarUnlessTrackingIsUnlimited) {
  for (bool unlimited : {false, true}) {
    TuiScrollBar* bar = NewBar();
    bar->SetScrollParams(0, 99, 0, 10);  // a 20-pixel thumb over 200 pixels: 2 pixels a position
    bar->SetUnlimitedTracking(unlimited);
    std::vector<Integer> changes;
    bar->SetOnChange([&](TObject*) { changes.push_back(bar->Position()); });
    Scrolls.clear();
    const POINT start = AtPart(bar, sbpThumbnail);
    Display.Press(start);
    Display.MoveTo(POINT{start.x, start.y + 90});
    Pump();
    EXPECT_EQ(45, bar->Position()) << unlimited;
    EXPECT_EQ((TRect{0, 106, 16, 126}), bar->PartBounds(sbpThumbnail)) << unlimited;
    // 150 pixels beside the bar: past the 136 pixels the tracking allows.
    Display.MoveTo(POINT{start.x + 150, start.y + 90});
    Pump();
    EXPECT_EQ(unlimited ? 45 : 0, bar->Position()) << unlimited;
    Display.MoveTo(POINT{start.x + 100, start.y + 30});
    Pump();
    EXPECT_EQ(15, bar->Position()) << unlimited;
    // Far below the end: the thumb stops at the last arrow, the position at the last page.
    Display.MoveTo(POINT{start.x, start.y + 500});
    Pump();
    const Integer last = unlimited ? 90 : 0;  // 500 pixels down is outside the tracking area
    EXPECT_EQ(last, bar->Position()) << unlimited;
    Display.Release(POINT{start.x, start.y + 500});
    Pump();
    EXPECT_EQ(last, bar->Position()) << unlimited;
    ASSERT_GE(Scrolls.size(), 2u);
    EXPECT_EQ(scEndScroll, Scrolls.back().Code) << unlimited;
    EXPECT_EQ(scPosition, Scrolls[Scrolls.size() - 2].Code) << unlimited;
    // OnChange hears the snap-back and the position the drag ends on, not the tracking between.
    EXPECT_EQ(unlimited ? std::vector<Integer>({90}) : std::vector<Integer>({0, 0}), changes) << unlimited;
    FreeObject(bar);
  }
}

TEST_F(ScrollBar, AThumbFillingTheTrackDragsNoPositionOutOfRange) {
  // An 8-pixel track holds just the least thumb: it has no room to move, and a drag gives Min, never
  // Min - 1.
  TuiScrollBar* bar = NewBar(sbVertical, 40);
  bar->SetScrollParams(10, 109, 50, 10);
  ASSERT_EQ((TRect{0, 16, 16, 24}), bar->PartBounds(sbpThumbnail));
  const POINT start = AtPart(bar, sbpThumbnail);
  Display.Press(start);
  Display.MoveTo(POINT{start.x, start.y + 30});
  Display.MoveTo(POINT{start.x, start.y - 30});
  Display.Release(POINT{start.x, start.y - 30});
  Pump();
  ASSERT_FALSE(Scrolls.empty());
  for (const Scrolled& s : Scrolls) {
    EXPECT_GE(s.Pos, 10) << s.Code;
    EXPECT_LE(s.Pos, 50) << s.Code;
  }
  EXPECT_EQ(10, bar->Position());
  EXPECT_EQ((TRect{0, 16, 16, 24}), bar->PartBounds(sbpThumbnail));
}

TEST_F(ScrollBar, ChangingTheKindSwapsWidthAndHeight) {
  TuiScrollBar* bar = NewBar(sbHorizontal, 121);
  EXPECT_EQ(121, bar->Width());
  EXPECT_EQ(16, bar->Height());
  bar->SetKind(sbVertical);
  EXPECT_EQ(16, bar->Width());
  EXPECT_EQ(121, bar->Height());
  EXPECT_EQ((TRect{0, 105, 16, 121}), bar->PartBounds(sbpLineDown));
  // A new bar is horizontal, 121 wide and as high as the system's horizontal bars.
  auto* fresh = NewObject<TuiScrollBar>(Form);
  EXPECT_EQ(sbHorizontal, fresh->Kind());
  EXPECT_EQ(121, fresh->Width());
  EXPECT_EQ(16, fresh->Height());
  EXPECT_EQ((TControlStyle{csCaptureMouse, csFramed, csOpaque}), fresh->ControlStyle());
}

TEST_F(ScrollBar, ThePainterDrawsEachPartInItsState) {
  k58test::RecordingThemeProvider provider{"ScrollBar"};
  k58test::ScopedThemeProvider scope{provider};
  TuiScrollBar* bar = NewBar();
  bar->LookAndFeel()->SetNativeStyle(true);
  bar->SetScrollParams(0, 99, 45, 10);
  ASSERT_EQ(PainterClass<TuiWinXPLookAndFeelPainter>(), bar->Painter());
  // (part, state) of every background drawn by one paint: arrows 1 (up 1-4, down 5-8), vertical thumb 3
  // with its gripper 9, the tracks before and after the thumb 6 and 7; states normal 1, hot 2, pressed 3,
  // disabled 4.
  const auto painted = [&] {
    provider.ClearCalls();
    bar->Repaint();
    std::vector<std::pair<int, int>> parts;
    for (const k58test::ThemeCall& call : provider.CallsOf("Background")) parts.emplace_back(call.Part, call.State);
    return parts;
  };
  using Parts = std::vector<std::pair<int, int>>;
  EXPECT_EQ((Parts{{3, 1}, {9, 0}, {1, 1}, {1, 5}, {6, 1}, {7, 1}}), painted());
  Display.MoveTo(AtPart(bar, sbpLineDown));
  Pump();
  EXPECT_EQ((Parts{{3, 1}, {9, 0}, {1, 1}, {1, 6}, {6, 1}, {7, 1}}), painted());
  Display.Press(AtPart(bar, sbpLineDown));
  Pump();
  EXPECT_EQ((Parts{{3, 1}, {9, 0}, {1, 1}, {1, 7}, {6, 1}, {7, 1}}), painted());
  Display.MoveTo(AtPart(bar, sbpPageUp));  // pressed, but no longer over it
  Pump();
  EXPECT_EQ((Parts{{3, 1}, {9, 0}, {1, 1}, {1, 5}, {6, 1}, {7, 1}}), painted());
  Display.Release(AtPart(bar, sbpPageUp));
  Pump();
  EXPECT_EQ((Parts{{3, 1}, {9, 0}, {1, 1}, {1, 5}, {6, 2}, {7, 1}}), painted());
  Display.MoveTo(AtPart(bar, sbpThumbnail));
  Pump();
  EXPECT_EQ((Parts{{3, 2}, {9, 0}, {1, 1}, {1, 5}, {6, 1}, {7, 1}}), painted());
  // Disabled: no thumb, the whole bar as the first track in the normal state, the arrows disabled.
  bar->SetEnabled(false);
  EXPECT_EQ((Parts{{6, 1}, {1, 4}, {1, 8}}), painted());
  const k58test::ThemeCall whole = provider.CallsOf("Background").front();
  EXPECT_EQ((TRect{0, 0, 16, 232}), whole.Rect);
}

TEST_F(ScrollBar, TheLeastThumbLengthComesFromTheGripperWithVisualStyles) {
  k58test::RecordingThemeProvider provider{"ScrollBar"};
  k58test::ScopedThemeProvider scope{provider};
  provider.Sizes[{"SCROLLBAR", 8}] = SIZE{16, 12};  // vertical gripper
  provider.Sizes[{"SCROLLBAR", 9}] = SIZE{3, 16};   // horizontal gripper
  TuiScrollBar* vertical = NewBar(sbVertical);
  TuiScrollBar* horizontal = NewBar(sbHorizontal);
  EXPECT_EQ(8, vertical->MinThumbLength());
  vertical->LookAndFeel()->SetNativeStyle(true);
  horizontal->LookAndFeel()->SetNativeStyle(true);
  EXPECT_EQ(16, vertical->MinThumbLength());    // true size 12 + 4 along the bar
  EXPECT_EQ(8, horizontal->MinThumbLength());   // 3 + 4 is under 8
  // A long range with a small page gets a thumb of that length.
  vertical->SetScrollParams(0, 9999, 0, 1);
  const TRect thumb = vertical->PartBounds(sbpThumbnail);
  EXPECT_EQ(16, thumb.bottom - thumb.top);
}

TEST_F(ScrollBar, ReadFromAFormResource) {
  static const bool registered = [] {
    RegisterResource(ResTypeRCData, "TBARFORM", reinterpret_cast<const Byte*>(kBarFormText),
                     std::char_traits<char>::length(kBarFormText));
    return true;
  }();
  (void)registered;
  auto* form = NewObject<TBarForm>(nullptr);
  TuiScrollBar* bar = form->Bar;
  ASSERT_NE(nullptr, bar);
  EXPECT_EQ(sbVertical, bar->Kind());
  // Loading sets the kind without swapping the stored size.
  EXPECT_EQ(20, bar->Width());
  EXPECT_EQ(216, bar->Height());
  EXPECT_EQ(5, bar->Min());
  EXPECT_EQ(50, bar->Max());
  EXPECT_EQ(10, bar->PageSize());
  EXPECT_EQ(20, bar->Position());
  EXPECT_EQ(2, bar->SmallChange());
  EXPECT_EQ(10, bar->LargeChange());
  EXPECT_TRUE(bar->UnlimitedTracking());
  EXPECT_EQ(lfFlat, bar->LookAndFeel()->Kind());
  EXPECT_EQ((TRect{0, 200, 20, 216}), bar->PartBounds(sbpLineDown));
  const Integer changes = form->Changes;
  bar->SetPosition(30);
  EXPECT_EQ(changes + 1, form->Changes);
  FreeObject(form);
}

}  // namespace
