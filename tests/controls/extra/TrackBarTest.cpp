// The track bar: settings rules, value conversion, keys, mouse (normal and jump steps, dragging,
// selection), the layout and tick positions, thumb pixels and the refusal of editing.
#include <gtest/gtest.h>

#include <random>

#include "controls/extra/uiTrackBar.h"
#include "platform/rtl/Numbers.h"
#include "platform/rtl/Strings.h"
#include "tests/common/Geometry.h"
#include "tests/controls/extra/ExtraEditorsTesting.h"
#include "tests/platform/theme/RecordingThemeProvider.h"

using namespace extra_test;

namespace {

class TrackBarTest : public ExtraEditorsTest {
 protected:
  TuiTrackBar* NewBar(Integer AWidth = 196, Integer AHeight = 76) {
    auto* bar = NewControl<TuiTrackBar>(10, 10);
    bar->SetBounds(10, 10, AWidth, AHeight);
    Display.Pump();
    return bar;
  }
  void Focus(TuiTrackBar* ABar) {
    ABar->SetFocus();
    Display.Pump();
  }
  // A point of the bar in screen coordinates.
  POINT Screen(TuiTrackBar* ABar, Integer X, Integer Y) {
    TPoint p = ABar->ClientToScreen(TPoint{X, Y});
    return POINT{p.x, p.y};
  }
  void ClickAt(TuiTrackBar* ABar, Integer X, Integer Y) {
    Display.Click(Screen(ABar, X, Y));
    Display.Pump();
  }
  TPoint ThumbCentre(TuiTrackBar* ABar) {
    const TRect& r = ABar->Properties()->ThumbHitRect;
    return TPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
};

TEST_F(TrackBarTest, NewBarDefaults) {
  TuiTrackBar* bar = NewControl<TuiTrackBar>(10, 10);
  EXPECT_EQ(bar->Width(), 196);
  EXPECT_EQ(bar->Height(), 76);
  TuiTrackBarProperties* p = bar->Properties();
  EXPECT_EQ(p->Orientation(), tboHorizontal);
  EXPECT_EQ(p->Min(), 0);
  EXPECT_EQ(p->Max(), 10);
  EXPECT_EQ(p->TickMarks(), uitmBottomRight);
  EXPECT_TRUE(bar->BarViewInfo()->PointedThumb);
  EXPECT_EQ(bar->Style()->BorderStyle(), cbsNone);
  EXPECT_FALSE(bar->Style()->HotTrack());
  EXPECT_EQ(bar->Position(), 0);
}

TEST_F(TrackBarTest, SettingRules) {
  TuiTrackBarProperties p;
  p.SetMin(20);
  EXPECT_EQ(p.Max(), 20);
  p.SetMin(0);
  p.SetMax(-5);
  EXPECT_EQ(p.Min(), -5);
  p.SetBorderWidth(-3);
  p.SetFrequency(-1);
  EXPECT_EQ(p.BorderWidth(), 0);
  EXPECT_EQ(p.Frequency(), 0);
  int changes = 0;
  p.SetOnPropertiesChanged([&](TObject*) { ++changes; });
  p.SetThumbStep(uitsJump);  // no change notification
  p.SetTickSize(3);          // unchanged
  EXPECT_EQ(changes, 0);
  p.SetTickSize(4);
  EXPECT_EQ(changes, 1);
}

TEST_F(TrackBarTest, ValueConversion) {
  TuiTrackBarProperties p;
  p.SetMin(-100);
  p.SetMax(100);
  struct Case {
    Variant Value;
    Integer Position;
  } cases[] = {{Null(), -100},          {Variant(), -100},     {Variant(Integer{7}), 7},
               {Variant(true), -1},     {Variant("$1A"), 26},  {Variant(" 42 "), 42},
               {Variant("12ab"), -100}, {Variant(3.7), -100},  {Variant("500"), 100},
               {Variant(Int64{1} << 40), 100}};
  for (const Case& c : cases) {
    Variant display;
    p.PrepareDisplayValue(c.Value, display, false);
    EXPECT_EQ(display.AsInteger(), c.Position) << VarToStr(c.Value);
  }
}

// Texts built from integer syntax: whatever the integer test accepts reaches the bar as that number.
TEST_F(TrackBarTest, AcceptedTextsReachThePosition) {
  TuiTrackBar* bar = NewBar();
  bar->Properties()->SetMin(INT32_MIN);
  bar->Properties()->SetMax(INT32_MAX);
  const std::string alphabet = " \t-+$0123456789aFx.";
  std::mt19937 rng(58);
  int accepted = 0;
  for (int i = 0; i < 5000; ++i) {
    std::string text;
    const int length = 1 + static_cast<int>(rng() % 7);
    for (int k = 0; k < length; ++k) text += alphabet[rng() % alphabet.size()];
    if (!IsIntegerText(text)) continue;
    ++accepted;
    bar->SetEditValue(Variant(text));
    EXPECT_EQ(bar->Position(), StrToInt(Trim(text))) << '"' << text << '"';
  }
  EXPECT_GT(accepted, 100);
}

TEST_F(TrackBarTest, Keys) {
  TuiTrackBar* bar = NewBar();
  bar->Properties()->SetPageSize(5);
  Focus(bar);
  struct Case {
    Integer From;
    WORD Key;
    Integer To;
  } cases[] = {{9, VK_NEXT, 10}, {9, VK_PRIOR, 4}, {2, VK_PRIOR, 0}, {5, VK_HOME, 0}, {5, VK_END, 10},
               {5, VK_LEFT, 4},  {5, VK_UP, 4},    {5, VK_RIGHT, 6}, {5, VK_DOWN, 6}, {10, VK_RIGHT, 10},
               {5, 'A', 5}};
  for (const Case& c : cases) {
    bar->SetPosition(c.From);
    Display.Key(c.Key);
    Display.Pump();
    EXPECT_EQ(bar->Position(), c.To) << c.From << " key " << c.Key;
  }
  EXPECT_EQ(bar->Properties()->SelectionEnd(), 0);  // no selection without Shift
}

TEST_F(TrackBarTest, ShiftWithArrowsSelects) {
  TuiTrackBar* bar = NewBar();
  bar->SetPosition(3);
  Focus(bar);
  Display.Chord({VK_SHIFT}, VK_RIGHT);
  Display.Pump();
  EXPECT_EQ(bar->Position(), 4);
  EXPECT_EQ(bar->Properties()->SelectionStart(), 3);
  EXPECT_EQ(bar->Properties()->SelectionEnd(), 4);
  EXPECT_FALSE(bar->SelectionMode());
  EXPECT_TRUE(bar->BarViewInfo()->HasSelection);

  // Ctrl+click on the thumb clears it.
  const TPoint thumb = ThumbCentre(bar);
  Display.KeyDown(VK_CONTROL);
  ClickAt(bar, thumb.x, thumb.y);
  Display.KeyUp(VK_CONTROL);
  Display.Pump();
  EXPECT_EQ(bar->Properties()->SelectionStart(), 0);
  EXPECT_EQ(bar->Properties()->SelectionEnd(), 0);
}

TEST_F(TrackBarTest, MouseClicksBesideTheThumb) {
  TuiTrackBar* bar = NewBar();
  const TRect track = bar->Properties()->TrackRect;
  const Integer y = ThumbCentre(bar).y;
  struct Case {
    TuiTrackBarThumbStep Step;
    Integer From;
    double At;  // fraction of the track
    Integer To;
  } cases[] = {{uitsNormal, 5, 0.95, 6}, {uitsNormal, 5, 0.05, 4}, {uitsJump, 5, 0.95, 10},
               {uitsJump, 5, 0.05, 0},   {uitsJump, 0, 0.75, 7},   {uitsJump, 0, 0.5, 5}};
  for (const Case& c : cases) {
    bar->Properties()->SetThumbStep(c.Step);
    bar->SetPosition(c.From);
    Display.Pump();
    ClickAt(bar, track.left + static_cast<Integer>(c.At * RectWidth(track)), y);
    EXPECT_EQ(bar->Position(), c.To) << c.Step << " from " << c.From << " at " << c.At;
  }
}

TEST_F(TrackBarTest, JumpOnATrackShorterThanTheThumbAnswersMin) {
  TuiTrackBar* bar = NewBar(20, 40);
  bar->Properties()->SetMin(3);
  bar->Properties()->SetMax(9);
  bar->Properties()->SetThumbStep(uitsJump);
  bar->SetPosition(6);
  Display.Pump();
  EXPECT_LE(bar->Properties()->PixelsPerUnit, 0);
  // Beside the thumb.
  SendMessage(bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(18, 17));
  SendMessage(bar->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(18, 17));
  EXPECT_EQ(bar->Position(), 3);
}

TEST_F(TrackBarTest, DraggingTheThumbFollowsTheMouse) {
  TuiTrackBar* bar = NewBar();
  const TPoint thumb = ThumbCentre(bar);
  Display.Drag(Screen(bar, thumb.x, thumb.y), Screen(bar, thumb.x + 98, thumb.y), 8);
  Display.Pump();
  // Ten units over the 196 pixels of the control: about half of them.
  EXPECT_GE(bar->Position(), 4);
  EXPECT_LE(bar->Position(), 6);
  EXPECT_EQ(bar->BarViewInfo()->MouseState & tbmsDragging, 0);
}

TEST_F(TrackBarTest, RefusedEditingKeepsTheThumb) {
  TuiTrackBar* bar = NewBar();
  bar->SetPosition(5);
  bar->SetOnEditing([](TObject*, bool& CanEdit) { CanEdit = false; });
  Focus(bar);
  Display.Key(VK_RIGHT);
  Display.Key(VK_END);
  Display.Pump();
  bar->Properties()->SetThumbStep(uitsJump);
  const TRect track = bar->Properties()->TrackRect;
  ClickAt(bar, track.left + 2, ThumbCentre(bar).y);
  EXPECT_EQ(bar->Position(), 5);
  bar->SetPosition(7);  // code may still set it
  EXPECT_EQ(bar->Position(), 7);
}

TEST_F(TrackBarTest, Layout) {
  TuiTrackBar* bar = NewBar();
  const TuiCustomTrackBarViewInfo* vi = bar->BarViewInfo();
  // The content is 72 high; with ticks below (3 + 1 + 1 pixels) S = 67 and the track area is 21 thick,
  // 7 pixels from either end.
  EXPECT_EQ(vi->ContentArea, (TRect{2, 2, 194, 74}));
  EXPECT_EQ(vi->TrackArea, (TRect{9, 25, 187, 46}));
  EXPECT_EQ(vi->TrackSize, 10);
  EXPECT_EQ(vi->TrackRect, (TRect{9, 30, 187, 40}));
  EXPECT_EQ(vi->ThumbAlong, 10);
  EXPECT_EQ(vi->ThumbAcross, 19);
  EXPECT_DOUBLE_EQ(vi->PixelsPerUnit, 16.8);
  bar->SetPosition(5);
  EXPECT_EQ(vi->ThumbRect, (TRect{93, 26, 103, 45}));
  // The hit rectangle is where the thumb is drawn, one pixel wider and higher.
  EXPECT_EQ(bar->Properties()->ThumbHitRect, (TRect{93, 26, 104, 46}));

  bar->Properties()->SetMin(4);
  bar->Properties()->SetMax(4);  // Min = Max: the thumb stands at the start
  EXPECT_EQ(vi->ThumbRect.left, vi->TrackRect.left);
}

TEST_F(TrackBarTest, TickPositions) {
  TuiTrackBar* bar = NewBar();
  bar->Properties()->SetMin(1);
  bar->Properties()->SetMax(12);
  bar->Properties()->SetFrequency(5);
  std::vector<Int64> values;
  for (const auto& [v, x] : bar->BarViewInfo()->TickPositions()) values.push_back(v);
  EXPECT_EQ(values, (std::vector<Int64>{1, 5, 10, 12}));
  bar->Properties()->SetFrequency(0);
  values.clear();
  for (const auto& [v, x] : bar->BarViewInfo()->TickPositions()) values.push_back(v);
  EXPECT_EQ(values, (std::vector<Int64>{1, 12}));

  // The whole 32-bit range with a tick per value: one tick per pixel at most, in order, Min and Max included.
  bar->Properties()->SetMin(INT32_MIN);
  bar->Properties()->SetMax(INT32_MAX);
  bar->Properties()->SetFrequency(1);
  const auto ticks = bar->BarViewInfo()->TickPositions();
  EXPECT_LE(ticks.size(), static_cast<size_t>(RectWidth(bar->BarViewInfo()->TrackRect) + 2));
  EXPECT_EQ(ticks.front().first, INT32_MIN);
  EXPECT_EQ(ticks.back().first, INT32_MAX);
  for (size_t i = 1; i + 1 < ticks.size(); ++i) EXPECT_GT(ticks[i].second, ticks[i - 1].second);
  bar->SetPosition(0);
  EXPECT_GT(bar->BarViewInfo()->ThumbRect.left, bar->BarViewInfo()->TrackRect.left + 80);
  Paint(bar);  // and painting ends
}

TEST_F(TrackBarTest, PointedThumbPixels) {
  TuiTrackBar* bar = NewBar();
  bar->Properties()->SetShowTicks(false);
  bar->Properties()->SetShowTrack(false);
  bar->Properties()->SetThumbColor(clLime);
  bar->SetPosition(5);
  const TRect r = bar->BarViewInfo()->ThumbRect;  // (93, 26, 103, 45), c = 5
  const k58test::PixelReader pixels = Paint(bar);
  EXPECT_EQ(pixels(98, 30), ColorToRGB(clLime));           // body
  EXPECT_EQ(pixels(r.left + 5, r.bottom), ColorToRGB(clWindowText));  // the point, below the body
  EXPECT_EQ(pixels(r.left, r.top), ColorToRGB(clWindowText));         // ultra-flat edges
  EXPECT_NE(pixels(r.left, r.bottom - 1), ColorToRGB(clLime));        // cut corner

  bar->Properties()->SetTickMarks(uitmBoth);  // a rectangle
  const k58test::PixelReader box = Paint(bar);
  const TRect b = bar->BarViewInfo()->ThumbRect;
  EXPECT_EQ(box(b.left, b.bottom), ColorToRGB(clWindowFrame));
  EXPECT_EQ(box(b.left + 3, b.bottom - 3), ColorToRGB(clLime));
}

TEST_F(TrackBarTest, RegisteredWhileTheUnitRuns) {
  const Integer index = GetEditPropertiesRegistry()->IndexOfClass(TuiTrackBarProperties::StaticClass());
  ASSERT_GE(index, 0);
  EXPECT_EQ(GetEditPropertiesRegistry()->GetHintText(index), "TrackBar|Represents a TrackBar");
}

// With a visual style the track and the thumb are the theme's parts, in the thumb's state; the thumb
// stands one pixel further along the track, and its hit rectangle is the theme's thumb size centred on it.
TEST_F(TrackBarTest, ThemedBarDrawsTheThemePartsInTheThumbState) {
  k58test::RecordingThemeProvider provider({"TrackBar"});
  k58test::ScopedThemeProvider scope(provider);
  struct Case {
    TuiTrackBarTickMarks Marks;
    TuiTrackBarOrientation Orientation;
    int Track, Thumb;
  } cases[] = {
      // The visual style's track-bar parts: 1 track, 2 vertical track, 3 thumb, 4 thumb pointing down,
      // 5 up, 6 vertical thumb, 7 pointing left, 8 right.
      {uitmBoth, tboHorizontal, 1, 3},    {uitmBoth, tboVertical, 2, 6},
      {uitmTopLeft, tboHorizontal, 1, 5}, {uitmTopLeft, tboVertical, 2, 7},
      {uitmBottomRight, tboHorizontal, 1, 4}, {uitmBottomRight, tboVertical, 2, 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Marks << " " << c.Orientation);
    provider.Sizes[{"TRACKBAR", c.Thumb}] = SIZE{9, 17};
    const bool horizontal = c.Orientation == tboHorizontal;
    TuiTrackBar* bar = horizontal ? NewBar() : NewBar(76, 196);
    bar->Properties()->SetOrientation(c.Orientation);
    bar->Properties()->SetTickMarks(c.Marks);
    bar->SetPosition(5);
    const TRect plain = bar->BarViewInfo()->ThumbRect;
    bar->Style()->LookAndFeel()->SetNativeStyle(true);
    const TuiCustomTrackBarViewInfo* vi = bar->BarViewInfo();
    ASSERT_TRUE(vi->Themed);
    TRect moved = plain;
    OffsetRect(&moved, horizontal ? 1 : 0, horizontal ? 0 : 1);
    EXPECT_EQ(vi->ThumbRect, moved);
    const TRect t = vi->ThumbRect;
    const TPoint centre{(t.left + t.right) / 2, (t.top + t.bottom) / 2};
    EXPECT_EQ(bar->Properties()->ThumbHitRect, (TRect{centre.x - 4, centre.y - 8, centre.x + 5, centre.y + 9}));

    for (const auto& [state, disable] : {std::pair{tbsNormal, false}, std::pair{tbsDisabled, true}}) {
      bar->SetEnabled(!disable);
      provider.ClearCalls();
      Paint(bar);
      std::vector<std::pair<int, int>> parts;
      for (const k58test::ThemeCall& call : provider.CallsOf("Background", "TrackBar")) {
        parts.emplace_back(call.Part, call.State);
        if (call.Part == c.Track) { EXPECT_EQ(call.Rect, vi->TrackRect); }
        if (call.Part == c.Thumb) { EXPECT_EQ(call.Rect, vi->ThumbRect); }
      }
      EXPECT_EQ(parts, (std::vector<std::pair<int, int>>{{c.Track, state}, {c.Thumb, state}}));
    }
    FreeObject(bar);
  }
}

// Numbers in vertical text are the horizontal ones turned a quarter counter-clockwise: they read upward
// from just below the thumb.
TEST_F(TrackBarTest, VerticalNumbersReadUpward) {
  struct Label {
    k58test::Ink Ink;
    std::vector<int> Profile;  // ink pixels per step along the reading direction
  };
  const auto labelOf = [&](TuiTrackBarTextOrientation AOrientation, TRect& AThumb) {
    TuiTrackBar* bar = NewBar(196, 90);
    bar->Properties()->SetShowTrack(false);
    bar->Properties()->SetThumbType(uittNone);
    bar->Properties()->SetTickType(tbttNumbers);
    bar->Properties()->SetTextOrientation(AOrientation);
    bar->Properties()->SetFrequency(10);
    bar->Style()->Font()->SetSize(12);
    const k58test::PixelReader pixels = Paint(bar);
    AThumb = bar->BarViewInfo()->ThumbRect;
    const Integer tick = bar->BarViewInfo()->TickPositions().back().second;  // "10" at Max
    Label label;
    label.Ink = k58test::InkIn(pixels, RECT{tick - 20, AThumb.bottom, tick + 20, bar->Height()});
    const RECT& box = label.Ink.Box;
    if (AOrientation == tbtoVertical) {
      for (Integer y = box.bottom - 1; y >= box.top; --y)
        label.Profile.push_back(k58test::InkIn(pixels, RECT{box.left, y, box.right, y + 1}).Count);
    } else {
      for (Integer x = box.left; x < box.right; ++x)
        label.Profile.push_back(k58test::InkIn(pixels, RECT{x, box.top, x + 1, box.bottom}).Count);
    }
    FreeObject(bar);
    return label;
  };
  TRect thumbAcross{}, thumbUp{};
  const Label across = labelOf(tbtoHorizontal, thumbAcross), up = labelOf(tbtoVertical, thumbUp);
  ASSERT_GT(across.Ink.Count, 10);
  const RECT a = across.Ink.Box, u = up.Ink.Box;
  EXPECT_NEAR(u.right - u.left, a.bottom - a.top, 1);
  EXPECT_NEAR(u.bottom - u.top, a.right - a.left, 1);
  EXPECT_NEAR(up.Ink.Count, across.Ink.Count, across.Ink.Count / 8);
  EXPECT_GT(u.top, thumbUp.bottom);
  EXPECT_LE(u.bottom, thumbUp.bottom + 2 + (a.right - a.left) + 2);
  // Reading upward: from the bottom the ink runs as the horizontal label's does from the left.
  const size_t n = std::min(across.Profile.size(), up.Profile.size());
  int same = 0, reversed = 0;
  for (size_t i = 0; i < n; ++i) {
    same += std::abs(up.Profile[i] - across.Profile[i]);
    reversed += std::abs(up.Profile[n - 1 - i] - across.Profile[i]);
  }
  EXPECT_LT(same, reversed);
}

}  // namespace
