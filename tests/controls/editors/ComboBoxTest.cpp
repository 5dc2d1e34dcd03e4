// The combo box's lookup data: snapping a resized list to whole items, and the list's preferred size for
// the drop-down row count.
#include <gtest/gtest.h>

#include <string>

#include "controls/editors/uiComboBox.h"
#include "platform/classes/ClassBuilder.h"
#include "tests/controls/editors/EditTesting.h"

// Text properties with a settable row count whose lookup data is the combo box's with a popup list.
class TComboTestProperties : public TuiCustomTextEditProperties {
  K58_CLASS(TComboTestProperties, TuiCustomTextEditProperties)
 public:
  TComboTestProperties() = default;
  Integer GetLookupRowCount() override { return RowCount; }
  Integer RowCount = 8;
};

class TComboTestLookupData : public TuiComboBoxLookupData {
  K58_CLASS(TComboTestLookupData, TuiComboBoxLookupData)
 public:
  TComboTestLookupData() = default;
  TClass GetListBoxClass() const override { return TuiCustomEditListBox::StaticClass(); }
};

class TComboTestEdit : public TuiCustomEdit {
  K58_CLASS(TComboTestEdit, TuiCustomEdit)
 public:
  explicit TComboTestEdit(TComponent* AOwner) : TuiCustomEdit(AOwner) {}
  TClass GetPropertiesClass() const override { return TComboTestProperties::StaticClass(); }
  TComboTestProperties* TestProperties() const { return static_cast<TComboTestProperties*>(Properties()); }
};

K58_IMPLEMENT_CLASS(TComboTestProperties) {}
K58_IMPLEMENT_CLASS(TComboTestLookupData) {}
K58_IMPLEMENT_CLASS(TComboTestEdit) {}

namespace {

using k58::editors::SnapListSizeToItems;
using k58::editors::TuiListSnapMetrics;

// 20 rows of 10 pixels in a list of 100 x 80 (eight rows) with 17-pixel scroll bars.
TuiListSnapMetrics TwentyRows(Integer AScrollWidth = 0) {
  TuiListSnapMetrics m;
  m.ItemCount = 20;
  m.ItemHeight = [](Integer) { return 10; };
  m.Width = 100;
  m.Height = 80;
  m.ScrollWidth = AScrollWidth;
  m.VScrollWidth = 17;
  m.HScrollHeight = 17;
  return m;
}

TEST(ComboBoxListSnapping, HeightMovesByWholeRowsOnly) {
  struct {
    TSize Asked;
    Integer MaxHeight;
    Integer ScrollWidth;
    TSize Snapped;
    const char* Why;
  } cases[] = {
      {{100, 80}, 0, 0, {100, 80}, "the list's own size: nothing changes"},
      {{100, 87}, 0, 0, {100, 80}, "less than a row more keeps the height"},
      {{100, 90}, 0, 0, {100, 90}, "one boundary adds one row"},
      {{100, 99}, 0, 0, {100, 90}, "short of the next boundary"},
      {{100, 73}, 0, 0, {100, 80}, "shrinking by less than a row keeps the row"},
      {{100, 70}, 0, 0, {100, 70}, "shrinking to a boundary drops it"},
      {{100, 500}, 0, 0, {100, 200}, "never past the last item"},
      {{100, 90}, 55, 0, {100, 50}, "never past the room"},
      {{100, 80 + 17}, 0, 150, {100, 80 + 17}, "a horizontal bar counts with the rows"},
      {{100, 90}, 0, 150, {100, 70 + 17}, "a row is added only when it fits with the bar"},
      {{5, 90}, 0, 150, {34, 70 + 17}, "the width keeps room for both bars"},
  };
  for (const auto& c : cases) {
    TSize size = c.Asked;
    SnapListSizeToItems(size, c.MaxHeight, TwentyRows(c.ScrollWidth));
    EXPECT_EQ(c.Snapped.cx, size.cx) << c.Why;
    EXPECT_EQ(c.Snapped.cy, size.cy) << c.Why;
  }
}

class ComboBoxLookupDataTest : public editors_test::EditUnitsTest {
 protected:
  ComboBoxLookupDataTest() {
    Form = NewObject<TForm>(nullptr, 0);
    Form->SetBounds(0, 0, 400, 400);
    Edit = NewObject<TComboTestEdit>(Form);
    Lookup = static_cast<TuiComboBoxLookupData*>(
        TuiCustomTextEditLookupData::CreateOfClass(TComboTestLookupData::StaticClass(), Edit));
  }
  ~ComboBoxLookupDataTest() override {
    FreeObject(Lookup);
    FreeObject(Form);
  }
  void Fill(Integer ACount, const String& AWide = String()) {
    TStrings* items = Edit->TestProperties()->LookupItems();
    for (Integer i = 0; i < ACount; ++i) items->Add(i == 0 && !AWide.empty() ? AWide : "Item " + std::to_string(i));
    Lookup->Initialize(Form);
  }

  TForm* Form;
  TComboTestEdit* Edit;
  TuiComboBoxLookupData* Lookup;
};

TEST_F(ComboBoxLookupDataTest, ListShowsUpToTheRowCountWithABarForTheRest) {
  Fill(20);
  TuiCustomEditListBox* list = Lookup->List();
  ASSERT_NE(nullptr, list);
  const Integer row = list->GetItemHeight(0);
  Integer widest = 0;
  for (Integer i = 0; i < 20; ++i) widest = std::max(widest, list->GetItemWidth(i));
  const TSize many = Lookup->GetVisualAreaPreferredSize(0, 0);
  EXPECT_EQ(8 * row, many.cy);
  EXPECT_EQ(widest + 4 + GetSystemMetrics(SM_CXVSCROLL), many.cx);
  const TSize narrow = Lookup->GetVisualAreaPreferredSize(0, 20);
  EXPECT_EQ(8 * row + GetSystemMetrics(SM_CYHSCROLL), narrow.cy) << "narrower than the items: a horizontal bar";
}

TEST_F(ComboBoxLookupDataTest, FewItemsGetTheirRowsAndNoBar) {
  Fill(5);
  TuiCustomEditListBox* list = Lookup->List();
  const TSize size = Lookup->GetVisualAreaPreferredSize(0, 0);
  EXPECT_EQ(5 * list->GetItemHeight(0), size.cy);
  Integer widest = 0;
  for (Integer i = 0; i < 5; ++i) widest = std::max(widest, list->GetItemWidth(i));
  EXPECT_EQ(widest + 4, size.cx);
}

}  // namespace
