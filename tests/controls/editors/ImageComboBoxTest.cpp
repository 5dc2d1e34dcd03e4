// The image combo box: finding items by value and description, what the editor shows for a value, the
// automatic image index of new items, freed image lists, the value chosen by typing and from the list,
// list row heights, and a form that reads and writes back unchanged.
#include <gtest/gtest.h>

#include <string>

#include "controls/editors/uiEditRepositoryItems.h"
#include "controls/editors/uiImageComboBox.h"
#include "platform/classes/Filer.h"
#include "platform/rtl/CodePages.h"
#include "tests/controls/editors/EditorKindsTesting.h"

using namespace editors_test;

namespace {

class ImageComboBoxTest : public EditorKindsTest {
 protected:
  ImageComboBoxTest() {
    Images = NewObject<TImageList>(16, 16);
    TBitmap bitmap;
    bitmap.SetSize(16, 16);
    for (int i = 0; i < 5; ++i) Images->Add(&bitmap, nullptr);
  }
  ~ImageComboBoxTest() override { FreeObject(Images); }

  TuiImageComboBox* NewCombo() {
    auto* edit = NewObject<TuiImageComboBox>(Form);
    edit->SetBounds(10, 10, 200, 21);
    edit->SetParent(Form);
    Pump();
    return edit;
  }
  // Items 1 One, 2 Two, 3 Three with images 0, 1, 2.
  static void AddNumbers(TuiCustomImageComboBoxProperties* AProperties) {
    const char* names[] = {"One", "Two", "Three"};
    for (int i = 0; i < 3; ++i) {
      TuiImageComboBoxItem* item = AProperties->Items()->Add();
      item->SetValue(Variant(Integer(i + 1)));
      item->SetDescription(names[i]);
      item->SetImageIndex(i);
    }
  }

  TImageList* Images = nullptr;
};

TEST_F(ImageComboBoxTest, ValuesFindTheirItemOrTheDefaults) {
  TuiImageComboBox* edit = NewCombo();
  TuiImageComboBoxProperties* p = edit->Properties();
  AddNumbers(p);
  p->SetDefaultDescription("None");
  p->SetDefaultImageIndex(4);
  // The same value twice: the first wins. An item without a value holds Null.
  p->Items()->Add()->SetDescription("Null item");
  TuiImageComboBoxItem* twin = p->Items()->Add();
  twin->SetValue(Variant(Integer(2)));
  twin->SetDescription("Second two");
  TuiImageComboBoxItem* yes = p->Items()->Add();
  yes->SetValue(Variant(String("True")));
  yes->SetDescription("Yes");
  const struct {
    Variant Value;
    std::string Text;
    Integer Image;
  } cases[] = {
      {Variant(Integer(2)), "Two", 1},       {Variant(Integer(7)), "None", 4}, {Null(), "Null item", -1},
      {Variant(true), "Yes", -1},            {Variant(Integer(1)), "One", 0},
  };
  for (const auto& c : cases) {
    String text;
    Integer image = -2;
    p->GetItemDisplay(p->FindItemByValue(c.Value), text, image);
    EXPECT_EQ(text, c.Text) << c.Text;
    EXPECT_EQ(image, c.Image) << c.Text;
    EXPECT_EQ(WideToUtf8(p->GetDisplayText(c.Value)), c.Text);
  }
  EXPECT_EQ(p->FindItemByDescription("tWo"), p->Items()->Items(1));
  EXPECT_TRUE(p->IsLookupText("three"));
  EXPECT_TRUE(p->CompareDisplayValues(Variant(Integer(7)), Variant(Integer(8))));
  EXPECT_FALSE(p->CompareDisplayValues(Variant(Integer(1)), Variant(Integer(2))));

  // Without descriptions the text is empty and typed text finds nothing; the display value keeps them.
  p->SetShowDescriptions(false);
  String text = "x";
  Integer image = -2;
  p->GetItemDisplay(p->FindItemByValue(Variant(Integer(2))), text, image);
  EXPECT_EQ(text, "");
  EXPECT_EQ(image, 1);
  EXPECT_EQ(p->FindItemByDescription("Two"), nullptr);
  EXPECT_EQ(WideToUtf8(p->GetDisplayText(Variant(Integer(2)))), "Two");
}

TEST_F(ImageComboBoxTest, TheEditorShowsTheImageAndDescriptionOfItsValue) {
  TuiImageComboBox* edit = NewCombo();
  TuiImageComboBoxProperties* p = edit->Properties();
  p->SetImages(Images);
  AddNumbers(p);
  edit->SetEditValue(Variant(Integer(2)));
  Pump();
  auto* view = dynamic_cast<TuiImageComboBoxViewInfo*>(edit->EditViewInfo());
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->Text, "Two");
  EXPECT_EQ(view->ImageIndex, 1);
  EXPECT_EQ(edit->ItemIndex(), 1);
  // The image sits left with a 2-pixel margin; the text starts after it.
  EXPECT_EQ(view->ImageRect.right - view->ImageRect.left, 16);
  EXPECT_LT(view->ImageRect.right, view->TextRect.left);
  p->SetImageAlign(iaRight);
  Pump();
  EXPECT_GT(view->ImageRect.left, view->TextRect.right);
  // Without descriptions only the centred image shows.
  p->SetShowDescriptions(false);
  Pump();
  const TRect& c = view->ClientRect;
  EXPECT_EQ(view->Text, "");
  EXPECT_LE(std::abs((view->ImageRect.left - c.left) - (c.right - view->ImageRect.right)), 1);
}

TEST_F(ImageComboBoxTest, ChoosingAnItemMakesItsValueTheEditValue) {
  TuiImageComboBox* edit = NewCombo();
  AddNumbers(edit->Properties());
  edit->SetFocus();
  Pump();
  edit->SetItemIndex(2);
  Pump();
  EXPECT_EQ(edit->EditValue().AsInteger(), 3);
  // Typing looks descriptions up ignoring case.
  Display.Type("tw");
  Pump();
  EXPECT_EQ(edit->ItemIndex(), 1);
  EXPECT_EQ(edit->InnerControl()->Text(), "Two");
  // The typed choice becomes the value when it is accepted.
  TuiImageComboBox* other = NewCombo();
  other->SetFocus();
  Pump();
  EXPECT_EQ(edit->EditValue().AsInteger(), 2);
  edit->SetItemIndex(-1);
  Pump();
  EXPECT_TRUE(VarIsNull(edit->EditValue()));
  FreeObject(other);
}

TEST_F(ImageComboBoxTest, NewItemsTakeTheirIndexAsImageWhileImagesLast) {
  TuiImageComboBox* edit = NewCombo();
  TuiImageComboBoxProperties* p = edit->Properties();
  p->SetImages(Images);
  for (int i = 0; i < 7; ++i) p->Items()->Add();
  for (int i = 0; i < 7; ++i) EXPECT_EQ(p->Items()->Items(i)->ImageIndex(), i < 5 ? i : -1) << i;
}

TEST_F(ImageComboBoxTest, AFreedImageListIsForgotten) {
  TuiImageComboBox* edit = NewCombo();
  edit->Properties()->SetImages(Images);
  edit->Properties()->SetLargeImages(Images);
  auto* repository = NewObject<TuiEditRepository>(Form);
  auto* item = static_cast<TuiEditRepositoryImageComboBoxItem*>(
      repository->CreateItem(TuiEditRepositoryImageComboBoxItem::StaticClass()));
  item->Properties()->SetImages(Images);
  // Freeing the item leaves the list alone.
  auto* other = static_cast<TuiEditRepositoryImageComboBoxItem*>(
      repository->CreateItem(TuiEditRepositoryImageComboBoxItem::StaticClass()));
  other->Properties()->SetLargeImages(Images);
  FreeObject(other);
  EXPECT_EQ(Images->Count(), 5);
  Integer changes = 0;
  edit->Properties()->SetOnChange([&](TObject*) { ++changes; });
  FreeObject(Images);
  Images = nullptr;
  EXPECT_EQ(edit->Properties()->Images(), nullptr);
  EXPECT_EQ(edit->Properties()->LargeImages(), nullptr);
  EXPECT_EQ(item->Properties()->Images(), nullptr);
  edit->SetEditValue(Variant(Integer(1)));
  Pump();
  EXPECT_EQ(dynamic_cast<TuiImageComboBoxViewInfo*>(edit->EditViewInfo())->Images, nullptr);
}

TEST_F(ImageComboBoxTest, ListRowsFitTheImageAndWrappedDescriptions) {
  TuiImageComboBox* edit = NewCombo();
  TuiImageComboBoxProperties* p = edit->Properties();
  AddNumbers(p);
  p->Items()->Items(2)->SetDescription(String(200, 'w').replace(20, 1, " ").replace(60, 1, " ").replace(120, 1, " "));
  edit->SetFocus();
  Pump();
  edit->SetDroppedDown(true);
  Pump();
  auto* list = dynamic_cast<TuiImageComboBoxListBox*>(edit->GetLookupDataObject()->List());
  ASSERT_NE(list, nullptr);
  const Integer textRow = list->GetItemHeight(0);
  EXPECT_GT(textRow, 2);
  p->SetImages(Images);
  p->SetLargeImages(nullptr);
  EXPECT_EQ(list->GetItemHeight(0), std::max(textRow, 18));
  const Integer singleLines = list->GetHeightForRows(3);
  EXPECT_EQ(singleLines, 3 * list->GetItemHeight(0));
  p->SetMultiLineText(true);
  EXPECT_GT(list->GetItemHeight(2), list->GetItemHeight(0)) << "the long description wraps";
  EXPECT_GT(list->GetHeightForRows(3), singleLines);
  p->SetMultiLineText(false);
  EXPECT_GT(list->GetMaxItemWidth(), list->Canvas()->TextWidth(p->Items()->Items(2)->Description()));
  edit->CloseUp(pcrClose);
  Pump();
}

TEST_F(ImageComboBoxTest, AFormWithItemsReadsAndWritesBackUnchanged) {
  TuiImageComboBox* edit = NewCombo();
  edit->SetName("Power");
  Images->SetName("Icons");
  Form->InsertComponent(Images);
  TuiImageComboBoxProperties* p = edit->Properties();
  p->SetImages(Images);
  AddNumbers(p);
  p->Items()->Items(0)->SetTag(5);
  p->SetDefaultDescription("Off");
  p->SetMultiLineText(true);
  edit->SetEditValue(Variant(Integer(3)));
  const String text = WriteComponentToText(Form);
  EXPECT_NE(text.find("Description = 'Three'"), String::npos) << text;
  EXPECT_NE(text.find("Images = Icons"), String::npos) << text;
  Form->RemoveComponent(Images);
  TObjectPtr<TForm> copy(NewObject<TForm>(nullptr, 0));
  ReadComponentFromText(text, copy.get(), "form");
  EXPECT_EQ(WriteComponentToText(copy.get()), text);
  auto* read = dynamic_cast<TuiImageComboBox*>(copy->FindComponent("Power"));
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->Properties()->Items()->Count(), 3);
  EXPECT_EQ(read->Properties()->Items()->Items(0)->Tag(), 5);
  EXPECT_EQ(read->EditValue().AsInteger(), 3);
  EXPECT_NE(read->Properties()->Images(), nullptr);
}

}  // namespace
