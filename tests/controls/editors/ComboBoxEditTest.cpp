// The drop-down editor and the combo box on the test display: the popup settings' clamps, the deferred
// opening, the keys that open and close the list with their close reasons, OnClick only on an item change,
// the Revertable double click, clicks into and outside the popup, owner drawing, and an editor freed while
// its popup shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "controls/editors/uiComboBox.h"
#include "controls/editors/uiEditorKinds.h"
#include "controls/editors/uiPopupEdit.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/win/ui/WinClipboard.h"
#include "tests/controls/editors/TextEditTesting.h"

using namespace editors_test;

// A repository item sharing combo box Properties.
class TComboTestItem : public TuiEditRepositoryItem {
  K58_CLASS(TComboTestItem, TuiEditRepositoryItem)
 public:
  explicit TComboTestItem(TComponent* AOwner) : TuiEditRepositoryItem(AOwner) { RecreateProperties(); }
  TClass GetPropertiesClass() const override { return TuiComboBoxProperties::StaticClass(); }
};
K58_IMPLEMENT_CLASS(TComboTestItem) {}

// A combo box that an in-place host has given the rectangle it stands in.
class TPlacedComboBox : public TuiComboBox {
  K58_CLASS(TPlacedComboBox, TuiComboBox)
 public:
  explicit TPlacedComboBox(TComponent* AOwner) : TuiComboBox(AOwner) {}
  TRect Stored{};
  void MakeInplace() { SetInplace(true); }
  TuiCustomEditViewData* CreateViewData() override {
    TuiCustomEditViewData* viewData = TuiComboBox::CreateViewData();
    viewData->State.StoredRect = Stored;
    return viewData;
  }
};
K58_IMPLEMENT_CLASS(TPlacedComboBox) {}

namespace {

// A Properties object made as editors make theirs.
template <class T>
TObjectPtr<T> NewProperties() {
  return TObjectPtr<T>(static_cast<T*>(TuiCustomEditProperties::CreateOfClass(T::StaticClass(), nullptr)));
}

// ---- Settings without a window ----

TEST(DropDownProperties, PopupSizeSettersClampToTheirMinimums) {
  auto owned = NewProperties<TuiCustomDropDownEditProperties>();
  TuiCustomDropDownEditProperties& p = *owned;
  struct {
    Integer MinWidth, Width, ExpectedWidth;
  } widths[] = {{100, 50, 100}, {100, 0, 0}, {100, -7, 0}, {100, 150, 150}, {-5, 30, 30}};
  for (const auto& c : widths) {
    p.SetPopupMinWidth(c.MinWidth);
    p.SetPopupWidth(c.Width);
    EXPECT_EQ(p.PopupWidth(), c.ExpectedWidth) << c.MinWidth << " " << c.Width;
    EXPECT_GE(p.PopupMinWidth(), 0);
  }
  // Raising a minimum re-applies it to the size already stored.
  p.SetPopupMinWidth(0);
  p.SetPopupWidth(40);
  p.SetPopupMinWidth(60);
  EXPECT_EQ(p.PopupWidth(), 60);
  p.SetPopupMinHeight(-3);
  EXPECT_EQ(p.PopupMinHeight(), 0);
  p.SetPopupMinHeight(80);
  p.SetPopupHeight(10);
  EXPECT_EQ(p.PopupHeight(), 80);
}

TEST(DropDownProperties, AlignmentMapsBothWaysAndTheGlyphSwitchesTheButtonKind) {
  auto owned = NewProperties<TuiCustomDropDownEditProperties>();
  TuiCustomDropDownEditProperties& p = *owned;
  for (TAlignment a : {taRightJustify, taCenter, taLeftJustify}) {
    p.SetPopupAlignment(a);
    EXPECT_EQ(p.PopupAlignment(), a);
  }
  p.SetPopupAlignment(taRightJustify);
  EXPECT_EQ(p.PopupHorzAlignment(), palAfter);
  ASSERT_EQ(p.Buttons()->Count(), 1);
  EXPECT_EQ(p.Buttons()->Items(0)->Kind(), bkDown);
  TBitmap glyph;
  glyph.SetSize(8, 8);
  p.SetButtonGlyph(&glyph);
  EXPECT_EQ(p.Buttons()->Items(0)->Kind(), bkGlyph);
  TBitmap empty;
  p.SetButtonGlyph(&empty);
  EXPECT_EQ(p.Buttons()->Items(0)->Kind(), bkDown);
}

TEST(ComboBoxProperties, DefaultsRowsAndTextModes) {
  auto owned = NewProperties<TuiComboBoxProperties>();
  TuiComboBoxProperties& p = *owned;
  EXPECT_EQ(p.DropDownListStyle(), lsEditList);
  EXPECT_EQ(p.DropDownRows(), 8);
  EXPECT_EQ(p.ItemHeight(), 0);
  EXPECT_FALSE(p.Revertable());
  EXPECT_TRUE(p.DropDownAutoWidth());
  EXPECT_FALSE(p.DropDownSizeable());
  EXPECT_EQ(p.DropDownWidth(), 0);
  EXPECT_TRUE(p.ImmediateDropDown());
  for (Integer rows : {0, -3}) {
    p.SetDropDownRows(rows);
    EXPECT_EQ(p.DropDownRows(), 8);
  }
  struct {
    TuiEditDropDownListStyle Style;
    Byte Mode;
    bool OpensOnClick;
  } modes[] = {{lsEditFixedList, temEditFixedList, false}, {lsEditList, temFree, false}, {lsFixedList, temFixedList, true}};
  for (const auto& c : modes) {
    p.SetDropDownListStyle(c.Style);
    EXPECT_EQ(p.GetTextMode(), c.Mode);
    EXPECT_EQ(p.OpensPopupOnClick(), c.OpensOnClick);
  }
  // Assign carries the combo box's own settings.
  p.SetDropDownRows(5);
  p.SetItemHeight(20);
  p.SetRevertable(true);
  p.Items()->Add("A");
  auto copied = NewProperties<TuiComboBoxProperties>();
  TuiComboBoxProperties& copy = *copied;
  copy.Assign(&p);
  EXPECT_EQ(copy.DropDownListStyle(), lsFixedList);
  EXPECT_EQ(copy.DropDownRows(), 5);
  EXPECT_EQ(copy.ItemHeight(), 20);
  EXPECT_TRUE(copy.Revertable());
  EXPECT_EQ(copy.Items()->Count(), 1);
}

// ---- On the test display ----

class ComboBoxTest : public TextEditFormTest {
 protected:
  ComboBoxTest() { k58::editors::StartEditorKindUnits(); }
  ~ComboBoxTest() override {
    // The editors go first: closing their popups still reports to the recorders below.
    FreeObject(Form);
    Form = nullptr;
    k58::editors::StopEditorKindUnits();
  }

  // A combo box with the items A0 .. A(count-1) and the closing reasons recorded.
  TuiComboBox* NewCombo(Integer ACount, TuiEditDropDownListStyle AStyle = lsFixedList, Integer ATop = 20) {
    auto* combo = NewEdit<TuiComboBox>(20, ATop);
    combo->Properties()->SetDropDownListStyle(AStyle);
    for (Integer i = 0; i < ACount; ++i) combo->Properties()->Items()->Add("A" + std::to_string(i));
    combo->Properties()->SetOnClosePopup([this](TObject*, Byte AReason) { Reasons.push_back(AReason); });
    combo->SetOnClick([this](TObject*) { ++Clicks; });
    return combo;
  }
  static POINT At(TControl* AControl, Integer X, Integer Y) {
    const TPoint p = AControl->ClientToScreen(TPoint{X, Y});
    return POINT{p.x, p.y};
  }
  static TWinControl* List(TuiComboBox* ACombo) { return ACombo->LookupListControl(); }
  static POINT OnList(TuiComboBox* ACombo, Integer ARow) {
    TuiCustomEditListBox* list = ACombo->LookupData()->List();
    const Integer h = list->GetItemHeight(ARow);
    const TPoint p = list->ClientToScreen(TPoint{10, ARow * h + h / 2});
    return POINT{p.x, p.y};
  }

  std::vector<Byte> Reasons;
  Integer Clicks = 0;
};

TEST_F(ComboBoxTest, F4OpensAndF4AgainClosesTakingTheListSelection) {
  TuiComboBox* combo = NewCombo(5);
  Focus(combo);
  Key(VK_F4);
  ASSERT_TRUE(combo->DroppedDown());
  ASSERT_NE(List(combo), nullptr);
  EXPECT_TRUE(IsWindowVisible(List(combo)->Handle()));
  Key(VK_DOWN);
  Key(VK_DOWN);
  EXPECT_EQ(combo->ItemIndex(), -1) << "moving in the open list leaves the value alone";
  Key(VK_F4);
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(Reasons, std::vector<Byte>{pcrToggle});
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(VarToStr(combo->EditValue()), "A1");
  EXPECT_EQ(Clicks, 1);
  // Alt+Down opens and Alt+Up closes the same way.
  Chord({VK_MENU}, VK_DOWN);
  EXPECT_TRUE(combo->DroppedDown());
  Key(VK_DOWN);
  Chord({VK_MENU}, VK_UP);
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(combo->ItemIndex(), 2);
}

TEST_F(ComboBoxTest, EscClosesWithoutTakingTheSelectionAndItsCharacterNeverReachesTheEdit) {
  TuiComboBox* combo = NewCombo(5, lsEditList);
  combo->SetEditValue(Variant(String("typed")));
  Focus(combo);
  // What passes the editor on its way to the native control.
  std::vector<char> chars;
  combo->InnerControl()->SetOnKeyPress([&](TObject*, char& AKey) { chars.push_back(AKey); });
  Key(VK_F4);
  ASSERT_TRUE(combo->DroppedDown());
  Key(VK_DOWN);
  Key(VK_ESCAPE);
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(Reasons, std::vector<Byte>{pcrCancel});
  EXPECT_EQ(combo->InnerControl()->Text(), "typed");
  EXPECT_EQ(std::count(chars.begin(), chars.end(), '\x1b'), 0);
  EXPECT_EQ(Clicks, 0);
}

TEST_F(ComboBoxTest, EnterAcceptsButAReadOnlyEditorCancels) {
  TuiComboBox* combo = NewCombo(5);
  Focus(combo);
  Key(VK_F4);
  Key(VK_DOWN);
  Key(VK_RETURN);
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(combo->ItemIndex(), 0);
  combo->Properties()->SetReadOnly(true);
  Key(VK_F4);
  ASSERT_TRUE(combo->DroppedDown());
  Key(VK_DOWN);
  Key(VK_RETURN);
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(Reasons, (std::vector<Byte>{pcrAccept, pcrCancel}));
  EXPECT_EQ(combo->ItemIndex(), 0);
}

TEST_F(ComboBoxTest, TwoRequestsInOneMessageCycleOpenOnce) {
  TuiComboBox* combo = NewCombo(5);
  Integer popups = 0;
  combo->Properties()->SetOnPopup([&](TObject*) { ++popups; });
  Focus(combo);
  combo->SetDroppedDown(true);
  EXPECT_FALSE(combo->DroppedDown()) << "the popup opens when the posted request is handled";
  EXPECT_TRUE(combo->IsPopupShowPending());
  combo->SetDroppedDown(true);
  Pump();
  EXPECT_TRUE(combo->DroppedDown());
  EXPECT_EQ(popups, 1);
  MSG msg;
  EXPECT_FALSE(PeekMessage(&msg, combo->PopupWindow()->Handle(), ShowPopupMessage, ShowPopupMessage, PM_NOREMOVE));
}

TEST_F(ComboBoxTest, NoItemsNoPopup) {
  TuiComboBox* combo = NewCombo(0);
  Focus(combo);
  Key(VK_F4);
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_FALSE(combo->IsPopupShowPending());
}

TEST_F(ComboBoxTest, OnClickFiresOnlyWhenTheItemChanges) {
  TuiComboBox* combo = NewCombo(3, lsEditFixedList);
  Focus(combo);
  Display.Click(At(combo, 10, 8));
  Pump();
  EXPECT_EQ(Clicks, 0) << "a mouse click on the combo box is not an item change";
  struct {
    const char* What;
    std::function<void()> Do;
    Integer Clicks;
  } steps[] = {
      {"ItemIndex 1", [&] { combo->SetItemIndex(1); }, 1},
      {"ItemIndex 1 again", [&] { combo->SetItemIndex(1); }, 1},
      {"Down key", [&] { Key(VK_DOWN); }, 2},
      {"text of the same item", [&] { combo->SetEditValue(Variant(String("A2"))); }, 2},
      {"typing the start of another item", [&] { Type("a"); }, 3},
  };
  for (const auto& s : steps) {
    s.Do();
    Pump();
    EXPECT_EQ(Clicks, s.Clicks) << s.What;
  }
  EXPECT_EQ(combo->ItemIndex(), 0);
}

TEST_F(ComboBoxTest, RevertableDoubleClickStepsToTheNextItemWrapping) {
  for (bool revertable : {true, false}) {
    TuiComboBox* combo = NewCombo(3, lsEditList);
    combo->Properties()->SetRevertable(revertable);
    combo->SetItemIndex(2);
    Focus(combo);
    Clicks = 0;
    Display.DoubleClick(At(combo, 10, 8));
    Pump();
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(combo->ItemIndex(), revertable ? 0 : 2) << revertable;
    EXPECT_EQ(combo->InnerControl()->Text(), revertable ? "A0" : "A2");
    EXPECT_EQ(Clicks, revertable ? 1 : 0);
    FreeObject(combo);
  }
}

TEST_F(ComboBoxTest, FixedListOpensOnATextClickAndAListClickChoosesAndCloses) {
  TuiComboBox* combo = NewCombo(4);
  Focus(combo);
  Display.Click(At(combo, 10, 8));
  Pump();
  ASSERT_TRUE(combo->DroppedDown());
  Display.Click(OnList(combo, 2));
  Pump();
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(combo->ItemIndex(), 2);
  EXPECT_EQ(Reasons, std::vector<Byte>{pcrAccept});
  EXPECT_EQ(Clicks, 1);
  // Opened again, from its button, the list chooses the same way (the popup gains no scroll bars of its
  // own over the list).
  const TRect button = combo->EditViewInfo()->Buttons.at(0)->Bounds;
  Display.Click(At(combo, (button.left + button.right) / 2, (button.top + button.bottom) / 2));
  Pump();
  ASSERT_TRUE(combo->DroppedDown());
  Display.Click(OnList(combo, 3));
  Pump();
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(combo->ItemIndex(), 3);
  // An editable list places the caret instead.
  TuiComboBox* editable = NewCombo(4, lsEditList, 80);
  Focus(editable);
  Display.Click(At(editable, 10, 8));
  Pump();
  EXPECT_FALSE(editable->DroppedDown());
}

TEST_F(ComboBoxTest, AClickElsewhereClosesThePopupAndArrives) {
  TuiComboBox* combo = NewCombo(4);
  auto* other = NewEdit<TTestModeTextEdit>(220, 200);
  Focus(combo);
  Key(VK_F4);
  ASSERT_TRUE(combo->DroppedDown());
  Key(VK_DOWN);
  Display.Click(At(other, 5, 5));
  Pump();
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(Reasons, std::vector<Byte>{pcrClose});
  EXPECT_EQ(combo->ItemIndex(), -1);
  EXPECT_TRUE(other->IsFocused()) << "the click reached the other editor";
}

TEST_F(ComboBoxTest, ListHeightFollowsRowsAndScrollBars) {
  struct {
    Integer Items;
    Integer ItemHeight;
    Integer Rows;
    bool VBar;
  } cases[] = {{20, 0, 8, true}, {5, 0, 5, false}, {20, 20, 8, true}, {3, 20, 3, false}};
  for (const auto& c : cases) {
    TuiComboBox* combo = NewCombo(c.Items);
    combo->Properties()->SetItemHeight(c.ItemHeight);
    Focus(combo);
    Key(VK_F4);
    ASSERT_TRUE(combo->DroppedDown());
    TuiCustomEditListBox* list = combo->LookupData()->List();
    const Integer row = c.ItemHeight > 0 ? c.ItemHeight : list->GetItemHeight(-1);
    EXPECT_EQ(list->GetItemHeight(0), row);
    const TSize size = combo->LookupData()->GetVisualAreaPreferredSize(0, 0);
    EXPECT_EQ(size.cy, c.Rows * row) << c.Items;
    EXPECT_EQ(list->Height(), c.Rows * row) << c.Items;
    Integer widest = 0;
    for (Integer i = 0; i < c.Items; ++i) widest = std::max(widest, list->GetItemWidth(i));
    EXPECT_EQ(size.cx, widest + 4 + (c.VBar ? GetSystemMetrics(SM_CXVSCROLL) : 0)) << c.Items;
    Key(VK_ESCAPE);
    FreeObject(combo);
  }
}

TEST_F(ComboBoxTest, MeasureAndDrawHandlersOfTheOwnAndTheRepositoryPropertiesAreBothCalled) {
  TuiComboBox* combo = NewCombo(3);
  auto* repository = NewObject<TuiEditRepository>(Form);
  auto* item = static_cast<TComboTestItem*>(repository->CreateItem(TComboTestItem::StaticClass()));
  auto* shared = static_cast<TuiComboBoxProperties*>(item->Properties());
  for (const char* text : {"A0", "A1", "A2"}) shared->Items()->Add(text);
  std::vector<std::string> calls;
  shared->SetOnDrawItem([&](TuiCustomComboBox*, TuiCanvas*, Integer AIndex, const TRect&, TOwnerDrawState) {
    calls.push_back("item draw " + std::to_string(AIndex));
  });
  combo->Properties()->SetOnDrawItem([&](TuiCustomComboBox* AControl, TuiCanvas*, Integer AIndex, const TRect&,
                                         TOwnerDrawState) {
    EXPECT_EQ(AControl, combo);
    calls.push_back("own draw " + std::to_string(AIndex));
  });
  combo->Properties()->SetOnMeasureItem([&](TuiCustomComboBox*, Integer AIndex, TuiCanvas*, Integer& AHeight) {
    AHeight = 16 + AIndex;
  });
  combo->SetRepositoryItem(item);
  Focus(combo);
  Key(VK_F4);
  ASSERT_TRUE(combo->DroppedDown());
  TuiCustomEditListBox* list = combo->LookupData()->List();
  EXPECT_EQ(list->Style(), lbOwnerDrawVariable);
  EXPECT_EQ(list->GetItemHeight(2), 18);
  EXPECT_EQ(list->GetHeightForRows(3), 16 + 17 + 18);
  calls.clear();
  list->Repaint();
  Pump();
  for (const char* expected : {"own draw 1", "item draw 1"})
    EXPECT_NE(std::find(calls.begin(), calls.end(), expected), calls.end()) << expected;
  Key(VK_ESCAPE);
  combo->SetRepositoryItem(nullptr);
  FreeObject(repository);
}

TEST_F(ComboBoxTest, RightAlignedPopupEndsWithTheEditorAndTabPostsWhenAsked) {
  TuiComboBox* combo = NewCombo(5, lsFixedList, 20);
  combo->SetLeft(200);
  combo->Properties()->SetPopupAlignment(taRightJustify);
  combo->Properties()->SetDropDownAutoWidth(false);
  combo->Properties()->SetDropDownWidth(260);
  combo->Properties()->SetPostPopupValueOnTab(true);
  auto* next = NewEdit<TTestModeTextEdit>(20, 200);
  Focus(combo);
  Key(VK_F4);
  ASSERT_TRUE(combo->DroppedDown());
  const TuiCustomEditPopupWindow* popup = combo->PopupWindow();
  EXPECT_EQ(popup->Width(), 260);
  // The popup lines up with the editor's hot-track bounds (inside its border).
  TRect owner;
  combo->GetHotTrackBounds(owner);
  EXPECT_EQ(popup->Left() + popup->Width(), Form->ClientToScreen(TPoint{combo->Left() + owner.right, 0}).x);
  Key(VK_DOWN);
  Key(VK_TAB);
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(Reasons, std::vector<Byte>{pcrTab});
  EXPECT_EQ(combo->ItemIndex(), 0);
  EXPECT_TRUE(next->IsFocused());
}

TEST_F(ComboBoxTest, ASizeTheUserGaveIsKeptForTheNextOpening) {
  TuiComboBox* combo = NewCombo(30);
  combo->Properties()->SetDropDownSizeable(true);
  Focus(combo);
  Key(VK_F4);
  ASSERT_TRUE(combo->DroppedDown());
  TuiCustomEditPopupWindow* popup = combo->PopupWindow();
  ASSERT_TRUE(popup->SysPanelStyle()) << "a sizeable list has the panel with the grip";
  const TRect grip = popup->ViewInfo()->SizeGripSizingRect;
  const POINT from{popup->Left() + grip.left + 3, popup->Top() + grip.top + 3};
  const Integer row = combo->LookupData()->List()->GetItemHeight(0);
  const Integer width = popup->Width(), height = popup->Height();
  Display.Drag(from, POINT{from.x + 30, from.y + row + row / 2});
  Pump();
  EXPECT_EQ(popup->Width(), width + 30);
  EXPECT_EQ(popup->Height(), height + row) << "one more whole row";
  Key(VK_ESCAPE);
  EXPECT_EQ(combo->Properties()->DropDownWidth(), width + 30);
  Key(VK_F4);
  ASSERT_TRUE(combo->DroppedDown());
  EXPECT_EQ(popup->Width(), width + 30);
  EXPECT_EQ(popup->Height(), height + row);
}

TEST_F(ComboBoxTest, ResetPopupHeightLetsTheNextOpeningFitTheListAgain) {
  TuiComboBox* combo = NewCombo(30);
  combo->Properties()->SetDropDownSizeable(true);
  Focus(combo);
  Key(VK_F4);
  TuiCustomEditPopupWindow* popup = combo->PopupWindow();
  const Integer fitting = popup->Height();
  const Integer taller = fitting + 3 * combo->LookupData()->List()->GetItemHeight(0);
  Key(VK_ESCAPE);
  combo->Properties()->SetPopupHeight(taller);
  Key(VK_F4);
  ASSERT_EQ(popup->Height(), taller);
  Key(VK_ESCAPE);
  combo->ResetPopupHeight();
  EXPECT_EQ(combo->Properties()->PopupHeight(), 0);
  Key(VK_F4);
  ASSERT_TRUE(combo->DroppedDown());
  EXPECT_EQ(popup->Height(), fitting);
}

TEST_F(ComboBoxTest, TheWheelScrollsAnOpenListAndStepsTheItemOfAClosedOne) {
  TuiComboBox* combo = NewCombo(30);
  Focus(combo);
  Key(VK_F4);
  ASSERT_TRUE(combo->DroppedDown());
  auto* list = static_cast<TCustomListBox*>(List(combo));
  ASSERT_EQ(list->TopIndex(), 0);
  Display.Wheel(At(combo, 10, 8), -1);
  Pump();
  EXPECT_TRUE(combo->DroppedDown()) << "the wheel leaves the list open";
  EXPECT_GT(list->TopIndex(), 0);
  EXPECT_EQ(combo->ItemIndex(), -1) << "scrolling chooses nothing";
  Key(VK_ESCAPE);
  EXPECT_EQ(Clicks, 0);
  // Closed, each notch moves to the next item.
  combo->SetItemIndex(4);
  Clicks = 0;
  Display.Wheel(At(combo, 10, 8), -1);
  Pump();
  EXPECT_EQ(combo->ItemIndex(), 5);
  Display.Wheel(At(combo, 10, 8), 1);
  Pump();
  EXPECT_EQ(combo->ItemIndex(), 4);
  EXPECT_EQ(Clicks, 2);
}

TEST_F(ComboBoxTest, APasteOpensTheListOnThePastedItemOnceThePostedSyncArrives) {
  TuiComboBox* combo = NewCombo(10, lsEditList);
  Focus(combo);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  const char text[] = "A7";
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof text);
  std::copy(text, text + sizeof text, static_cast<char*>(GlobalLock(memory)));
  GlobalUnlock(memory);
  SetClipboardData(CF_TEXT, memory);
  CloseClipboard();
  Display.Chord({VK_SHIFT}, VK_INSERT);
  Pump();
  ASSERT_TRUE(combo->DroppedDown());
  EXPECT_EQ(combo->InnerControl()->Text(), "A7");
  EXPECT_EQ(static_cast<TCustomListBox*>(List(combo))->ItemIndex(), 7);
  Key(VK_RETURN);
  EXPECT_EQ(combo->ItemIndex(), 7);
  // The same paste again changes nothing and opens nothing.
  Display.Chord({VK_CONTROL}, 'A');
  Display.Chord({VK_SHIFT}, VK_INSERT);
  Pump();
  EXPECT_FALSE(combo->DroppedDown());
}

TEST_F(ComboBoxTest, APopupAlignsToTheInplaceRectangleItsHostGave) {
  auto* combo = NewEdit<TPlacedComboBox>(30, 40);
  combo->Properties()->Items()->Add("A0");
  const TRect placed{2, 3, 60, 30};
  struct {
    const char* What;
    bool Inplace;
    TRect Stored;
    bool UsesStored;
  } cases[] = {
      {"standalone: its own bounds", false, placed, false},
      {"in-place without a rectangle", true, TRect{}, false},
      {"in-place with a rectangle", true, placed, true},
  };
  for (const auto& c : cases) {
    if (c.Inplace) combo->MakeInplace();
    combo->Stored = c.Stored;
    TRect owner{}, expected{};
    combo->GetPopupOwnerBounds(owner);
    if (c.UsesStored)
      expected = placed;
    else
      combo->GetHotTrackBounds(expected);
    OffsetRect(&expected, combo->Left(), combo->Top());
    EXPECT_TRUE(EqualRect(&owner, &expected)) << c.What << ": " << owner.left << "," << owner.top << ","
                                              << owner.right << "," << owner.bottom;
  }
}

TEST_F(ComboBoxTest, FreeingTheEditorWhileItsPopupShowsClosesTheListFirst) {
  TuiComboBox* combo = NewCombo(5);
  Focus(combo);
  Key(VK_F4);
  ASSERT_TRUE(combo->DroppedDown());
  HWND popup = combo->PopupWindow()->Handle();
  FreeObject(combo);
  Pump();
  EXPECT_FALSE(IsWindow(popup) && IsWindowVisible(popup));
  EXPECT_TRUE(k58::foundation::ShownPopups().empty());
  EXPECT_EQ(Reasons, std::vector<Byte>{pcrClose});
}

TEST_F(ComboBoxTest, APopupFreedWithEveryFormBeforeItsEditorIsForgotten) {
  TuiComboBox* combo = NewCombo(5);
  Focus(combo);
  Key(VK_F4);
  Key(VK_ESCAPE);
  TuiCustomEditPopupWindow* popup = combo->PopupWindow();
  ASSERT_NE(popup, nullptr);
  FreeObject(popup);
  EXPECT_EQ(combo->PopupWindow(), nullptr);
  Key(VK_F4);
  EXPECT_FALSE(combo->DroppedDown());
  FreeObject(combo);
}

TEST_F(ComboBoxTest, RegisteredForFormTextsWithItsDescription) {
  TuiRegisteredClasses* registry = GetEditPropertiesRegistry();
  const Integer combo = registry->IndexOfClass(TuiComboBoxProperties::StaticClass());
  const Integer popup = registry->IndexOfClass(TuiPopupEditProperties::StaticClass());
  ASSERT_GE(combo, 0);
  ASSERT_GE(popup, 0);
  EXPECT_EQ(registry->GetHintText(combo), "ComboBox|Represents the combo box editor");
  EXPECT_EQ(registry->GetHintText(popup), "PopupEdit|Represents an edit control with a dropdown list");
}

}  // namespace

TEST_F(ComboBoxTest, TabAfterAKeyClosedTheListMovesOn) {
  TuiComboBox* combo = NewCombo(5, lsEditList, 20);
  auto* next = NewEdit<TTestModeTextEdit>(20, 200);
  for (WORD closing : {WORD(VK_RETURN), WORD(VK_ESCAPE)}) {
    SCOPED_TRACE(closing);
    Focus(combo);
    Key(VK_F4);
    ASSERT_TRUE(combo->DroppedDown());
    Key(closing);
    ASSERT_FALSE(combo->DroppedDown());
    Key(VK_TAB);
    EXPECT_TRUE(next->IsFocused());
  }
}
