// The group box and the button group: caption places, frame and child area, turned captions, the
// accelerator, column counts, button positions, keys between buttons and item buttons following items.
#include <gtest/gtest.h>

#include "controls/editors/uiGroupBox.h"
#include "controls/editors/uiRadioButton.h"
#include "controls/editors/uiRadioGroup.h"
#include "tests/common/Geometry.h"
#include "tests/controls/editors/EditorKindsTesting.h"

using namespace editors_test;

namespace {

class GroupBoxTest : public EditorKindsTest {
 protected:
  TuiGroupBox* NewGroupBox(const String& ACaption, Integer W = 200, Integer H = 120) {
    auto* box = NewObject<TuiGroupBox>(Form);
    box->SetCaption(ACaption);
    box->SetBounds(10, 10, W, H);
    box->SetParent(Form);
    box->HandleNeeded();
    Pump();
    return box;
  }
  TuiRadioGroup* NewRadioGroup(Integer AItems, Integer AColumns, Integer W = 300, Integer H = 150) {
    auto* group = NewObject<TuiRadioGroup>(Form);
    group->SetBounds(10, 10, W, H);
    group->Properties()->SetColumns(AColumns);
    for (Integer i = 0; i < AItems; ++i) group->Properties()->Items()->Add()->SetCaption("Item " + std::to_string(i));
    group->SetParent(Form);
    group->HandleNeeded();
    Pump();
    return group;
  }
};

// W = 200, H = 120, caption 40 x 13 (L x T).
TEST(GroupBoxCaptionRect, ThirteenPlacesWithAndWithoutShadow) {
  struct Case {
    TuiCaptionAlignment Alignment;
    TRect Plain, Shadowed;
  };
  const Case cases[] = {
      {alTopLeft, {8, 0, 48, 13}, {8, 0, 48, 13}},
      {alTopCenter, {80, 0, 120, 13}, {78, 0, 118, 13}},
      {alTopRight, {152, 0, 192, 13}, {149, 0, 189, 13}},
      {alBottomLeft, {8, 105, 48, 118}, {8, 105, 48, 118}},
      {alBottomCenter, {80, 105, 120, 118}, {78, 105, 118, 118}},
      {alBottomRight, {152, 105, 192, 118}, {149, 105, 189, 118}},
      {alLeftTop, {-1, 8, 12, 48}, {-1, 8, 12, 48}},
      {alLeftCenter, {-1, 40, 12, 80}, {-1, 39, 12, 79}},
      {alLeftBottom, {-1, 72, 12, 112}, {-1, 69, 12, 109}},
      {alRightTop, {188, 8, 201, 48}, {188, 8, 201, 48}},
      {alRightCenter, {188, 40, 201, 80}, {188, 40, 201, 80}},
      {alRightBottom, {188, 72, 201, 112}, {188, 72, 201, 112}},
      {alCenterCenter, {80, 53, 120, 66}, {78, 52, 118, 65}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CalculateGroupBoxCaptionRect(c.Alignment, 200, 120, 40, 13, false), c.Plain) << c.Alignment;
    EXPECT_EQ(CalculateGroupBoxCaptionRect(c.Alignment, 200, 120, 40, 13, true), c.Shadowed) << c.Alignment;
  }
  // A caption longer than the box gives negative offsets; nothing is clamped.
  EXPECT_EQ(CalculateGroupBoxCaptionRect(alTopCenter, 100, 60, 140, 13, false), (TRect{-20, 0, 120, 13}));
  EXPECT_EQ(CalculateGroupBoxCaptionRect(alLeftCenter, 100, 60, 140, 13, false), (TRect{-1, -40, 12, 100}));
}

TEST_F(GroupBoxTest, FreshBoxAndEmptyCaption) {
  TuiGroupBox* box = NewObject<TuiGroupBox>(Form);
  EXPECT_EQ(box->Width(), 185);
  EXPECT_EQ(box->Height(), 105);
  EXPECT_FALSE(box->TabStop());
  EXPECT_FALSE(box->AutoSize());
  TuiGroupBox* empty = NewGroupBox("");
  EXPECT_TRUE(IsRectEmpty(&empty->GroupViewInfo()->CaptionRect));
}

TEST_F(GroupBoxTest, ChildAreaLeavesRoomForTheCaptionSide) {
  TuiGroupBox* box = NewGroupBox("Port");
  const Integer h = box->GroupViewInfo()->CaptionHeight;
  ASSERT_GT(h, 0);
  const TRect plain = box->GetChildMargins();
  struct Case {
    TuiCaptionAlignment Alignment;
    Integer Left, Top, Right, Bottom;
  };
  const Integer b = plain.left;
  const Case cases[] = {
      {alTopLeft, b, h + 3, b, b},        {alBottomRight, b, b, b, h + 3},  {alLeftCenter, h + 3, b, b, b},
      {alRightTop, b, b, h + 3, b},       {alCenterCenter, b, b, b, b},
  };
  auto* child = NewObject<TButton>(Form);
  child->SetParent(box);
  child->SetAlign(alClient);
  for (const Case& c : cases) {
    box->SetAlignment(c.Alignment);
    Pump();
    EXPECT_EQ(box->GetChildMargins(), (TRect{c.Left, c.Top, c.Right, c.Bottom})) << c.Alignment;
    EXPECT_EQ(child->BoundsRect(), (TRect{c.Left, c.Top, box->Width() - c.Right, box->Height() - c.Bottom}))
        << c.Alignment;
  }
}

// A caption on the left side is drawn turned: its ink spreads down the caption rectangle, which is
// taller than wide, and the rectangle of the top caption stays background.
TEST_F(GroupBoxTest, SideCaptionIsDrawnTurned) {
  TuiGroupBox* box = NewGroupBox("WWWWWWWW", 200, 160);
  box->SetAlignment(alLeftTop);
  Pump();
  const TRect r = box->GroupViewInfo()->CaptionRect;
  ASSERT_GT(r.bottom - r.top, r.right - r.left);
  EXPECT_EQ(box->CaptionFont()->Orientation(), 900);
  const COLORREF ink = ColorToRGB(clWindowText);
  box->Repaint();
  Pump();
  Integer inkTop = 1 << 30, inkBottom = -1;
  for (Integer y = std::max<Integer>(0, r.top); y < r.bottom; ++y)
    for (Integer x = std::max<Integer>(0, r.left); x < r.right; ++x)
      if (Display.ClientPixel(box->Handle(), POINT{x, y}) == ink) {
        inkTop = std::min(inkTop, y);
        inkBottom = std::max(inkBottom, y);
      }
  ASSERT_GE(inkBottom, 0) << "no caption ink";
  EXPECT_GT(inkBottom - inkTop, (r.bottom - r.top) / 2) << "the text runs along the side";
  box->SetAlignment(alRightBottom);
  Pump();
  EXPECT_EQ(box->CaptionFont()->Orientation(), 2700);
  box->SetAlignment(alTopLeft);
  Pump();
  EXPECT_EQ(box->CaptionFont()->Orientation(), 0);
}

TEST_F(GroupBoxTest, AcceleratorFocusesTheFirstChild) {
  TuiGroupBox* box = NewGroupBox("&Port");
  auto* first = NewObject<TEdit>(Form);
  first->SetBounds(10, 30, 80, 21);
  first->SetParent(box);
  auto* outside = NewObject<TEdit>(Form);
  outside->SetBounds(10, 200, 80, 21);
  outside->SetParent(Form);
  outside->SetFocus();
  Pump();
  Display.Chord({VK_MENU}, 'P');
  Pump();
  EXPECT_TRUE(first->Focused());
}

TEST(ButtonGroupColumns, ColumnCountRules) {
  struct Case {
    Integer Items, Columns, ButtonGroup, RadioGroup;
  };
  const Case cases[] = {
      {0, 3, 0, 1}, {5, 3, 3, 3}, {4, 3, 2, 3}, {3, 5, 3, 3}, {7, 3, 3, 3}, {2, 0, 1, 1}, {6, -2, 1, 1},
  };
  for (const Case& c : cases) {
    TObjectPtr<TuiCustomButtonGroupProperties> plain(new TuiCustomButtonGroupProperties);
    TObjectPtr<TuiRadioGroupProperties> radio(new TuiRadioGroupProperties);
    for (Integer i = 0; i < c.Items; ++i) {
      plain->Items()->Add();
      radio->Items()->Add();
    }
    plain->SetColumns(c.Columns);
    radio->SetColumns(c.Columns);
    EXPECT_GE(plain->Columns(), 1);
    EXPECT_EQ(plain->GetColumnCount(), c.ButtonGroup) << c.Items << "/" << c.Columns;
    EXPECT_EQ(radio->GetColumnCount(), c.RadioGroup) << c.Items << "/" << c.Columns;
  }
}

TEST_F(GroupBoxTest, ButtonPositionsRunDownColumns) {
  TuiRadioGroup* group = NewRadioGroup(5, 2, 300, 150);
  ASSERT_EQ(group->ButtonCount(), 5);
  const TRect m = group->GetChildMargins();
  // Radio group metrics: left offset 6, extra width -6, no spacing.
  const Integer columnWidth = (300 - m.left - m.right - 6) / 2;
  const Integer usable = 150 - m.top - m.bottom;
  const Integer rowHeight = usable / 3;
  const Integer firstTop = m.top + (usable % 3) / 2;
  for (Integer i = 0; i < 5; ++i) {
    const Integer column = i / 3, row = i % 3;
    const TRect expected{m.left + columnWidth * column + 6, firstTop + rowHeight * row,
                         m.left + columnWidth * column + 6 + columnWidth, firstTop + rowHeight * (row + 1)};
    EXPECT_EQ(group->Buttons(i)->BoundsRect(), expected) << i;
  }
}

TEST_F(GroupBoxTest, ArrowKeysMoveOnTheGridOfSevenInThree) {
  TuiRadioGroup* group = NewRadioGroup(7, 3, 360, 150);
  struct Case {
    Integer From;
    WORD Key;
    Integer To;
  };
  const Case cases[] = {
      {0, VK_DOWN, 1}, {2, VK_DOWN, 2}, {1, VK_UP, 0}, {0, VK_UP, 0}, {1, VK_RIGHT, 4}, {4, VK_LEFT, 1},
      {0, VK_LEFT, 0}, {5, VK_RIGHT, 5}, {6, VK_DOWN, 6}, {3, VK_RIGHT, 6}, {6, VK_LEFT, 3},
  };
  for (const Case& c : cases) {
    group->Buttons(c.From)->SetFocus();
    Pump();
    ASSERT_TRUE(group->Buttons(c.From)->Focused()) << c.From;
    Display.Key(c.Key);
    Pump();
    EXPECT_EQ(group->FocusedButtonIndex(), c.To) << c.From << " key " << c.Key;
  }
  // A focused unchecked button becomes checked.
  EXPECT_EQ(group->ItemIndex(), 3);
}

TEST_F(GroupBoxTest, DeletingAnItemFreesExactlyItsButton) {
  TuiRadioGroup* group = NewRadioGroup(5, 1);
  std::vector<TWinControl*> before;
  std::vector<HWND> handles;
  for (Integer i = 0; i < 5; ++i) {
    before.push_back(group->Buttons(i));
    handles.push_back(group->Buttons(i)->Handle());
  }
  group->Properties()->Items()->Delete(2);
  Pump();
  ASSERT_EQ(group->ButtonCount(), 4);
  const std::vector<Integer> kept{0, 1, 3, 4};
  for (Integer i = 0; i < 4; ++i) {
    EXPECT_EQ(group->Buttons(i), before[static_cast<size_t>(kept[static_cast<size_t>(i)])]) << i;
    EXPECT_EQ(group->Buttons(i)->Handle(), handles[static_cast<size_t>(kept[static_cast<size_t>(i)])]) << i;
  }
  EXPECT_EQ(static_cast<TuiCustomRadioGroupButton*>(group->Buttons(2))->Caption(), "Item 3");
}

TEST_F(GroupBoxTest, GroupWithoutItemsLaysOutAndPaints) {
  TuiRadioGroup* group = NewRadioGroup(0, 3);
  EXPECT_EQ(group->ButtonCount(), 0);
  group->SetCaption("Empty");
  group->Repaint();
  Pump();
  group->Properties()->Items()->Add()->SetCaption("Only");
  Pump();
  EXPECT_EQ(group->ButtonCount(), 1);
}

TEST_F(GroupBoxTest, GroupIsOneTabStop) {
  TuiRadioGroup* group = NewRadioGroup(3, 1);
  std::vector<TWinControl*> list;
  group->GetTabOrderList(list);
  EXPECT_EQ(std::count(list.begin(), list.end(), group->Buttons(1)), 0);
  group->SetItemIndex(1);
  list.clear();
  group->GetTabOrderList(list);
  EXPECT_EQ(std::count(list.begin(), list.end(), group->Buttons(1)), 1) << "Tab reaches the checked button";
  EXPECT_EQ(std::count(list.begin(), list.end(), group->Buttons(0)), 0);
}

}  // namespace

namespace {

// A click on the empty part of a group box with radio buttons in it leaves the focus where it was.
TEST_F(GroupBoxTest, ClickOnTheFrameKeepsTheFocus) {
  TuiGroupBox* box = NewGroupBox("Port", 250, 120);
  auto* radio = NewObject<TuiRadioButton>(Form);
  radio->SetCaption("COM1");
  radio->SetBounds(16, 24, 65, 17);
  radio->SetParent(box);
  auto* edit = NewObject<TEdit>(Form);
  edit->SetBounds(10, 200, 80, 21);
  edit->SetParent(Form);
  edit->SetFocus();
  Pump();
  Display.Click(At(box, 120, 90));
  Pump();
  EXPECT_TRUE(edit->Focused());
}

}  // namespace
