// The popup edit on the test display: its defaults, a panel moved into the popup and handed back with its
// saved state, a form shown without border, the circular-reference error before anything moves, a freed
// popup control, and an editor freed while its popup shows.
#include <gtest/gtest.h>

#include <string>

#include "controls/editors/uiEditorKinds.h"
#include "controls/editors/uiPopupEdit.h"
#include "platform/forms/ExtCtrls.h"
#include "tests/controls/editors/TextEditTesting.h"

using namespace editors_test;

namespace {

TEST(PopupEditProperties, Defaults) {
  TObjectPtr<TuiPopupEditProperties> owned(static_cast<TuiPopupEditProperties*>(
      TuiCustomEditProperties::CreateOfClass(TuiPopupEditProperties::StaticClass(), nullptr)));
  TuiPopupEditProperties& p = *owned;
  EXPECT_EQ(p.PopupWidth(), 250);
  EXPECT_EQ(p.PopupHeight(), 200);
  EXPECT_EQ(p.PopupMinWidth(), 100);
  EXPECT_EQ(p.PopupMinHeight(), 100);
  EXPECT_TRUE(p.PopupSizeable());
  EXPECT_TRUE(p.PopupAutoSize());
  EXPECT_TRUE(p.ImmediateDropDown());
  EXPECT_TRUE(p.ImmediatePopup());
  EXPECT_TRUE(p.IsPopupFocused());
  EXPECT_EQ(p.PopupControl(), nullptr);
}

class PopupEditTest : public TextEditFormTest {
 protected:
  PopupEditTest() {
    k58::editors::StartEditorKindUnits();
    Host = NewObject<TPanel>(Form);
    Host->SetBounds(10, 10, 360, 80);
    Host->SetParent(Form);
    Edit = NewObject<TuiPopupEdit>(Form);
    Edit->SetBounds(10, 10, 150, 21);
    Edit->SetParent(Host);
    Edit->HandleNeeded();
    // The test drives the popup's messages itself instead of its modal loop.
    Edit->PopupWindow()->SetModalLoop(false);
    Panel = NewObject<TPanel>(Form);
    Panel->SetBounds(20, 120, 300, 150);
    Panel->SetAlign(alNone);
    Panel->SetParent(Form);
    Panel->SetVisible(false);
    Edit->Properties()->SetPopupControl(Panel);
    Edit->Properties()->SetOnCloseUp([this](TObject*) { ParentAtCloseUp = Panel->Parent(); });
    Pump();
  }
  ~PopupEditTest() override { k58::editors::StopEditorKindUnits(); }

  void Open() {
    Focus(Edit);
    Edit->SetDroppedDown(true);
    Pump();
  }

  TPanel* Host = nullptr;
  TuiPopupEdit* Edit = nullptr;
  TPanel* Panel = nullptr;
  TWinControl* ParentAtCloseUp = nullptr;
};

TEST_F(PopupEditTest, ThePanelFillsThePopupAndReturnsWithItsSavedState) {
  Open();
  ASSERT_TRUE(Edit->DroppedDown());
  TuiCustomEditPopupWindow* popup = Edit->PopupWindow();
  EXPECT_EQ(Panel->Parent(), popup);
  EXPECT_EQ(Panel->Align(), alClient);
  EXPECT_TRUE(Panel->Visible());
  const TRect client = popup->ViewInfo()->ClientRect;
  EXPECT_EQ(Panel->Width(), client.right - client.left);
  EXPECT_EQ(Panel->Height(), client.bottom - client.top);
  EXPECT_GE(popup->Width(), 300) << "the popup takes the panel's size";
  Edit->CloseUp(pcrClose);
  Pump();
  EXPECT_FALSE(Edit->DroppedDown());
  EXPECT_EQ(ParentAtCloseUp, Form) << "the panel is back before OnCloseUp";
  EXPECT_EQ(Panel->Parent(), Form);
  EXPECT_EQ(Panel->Align(), alNone);
  EXPECT_EQ(Panel->Left(), 20);
  EXPECT_EQ(Panel->Top(), 120);
  EXPECT_EQ(Panel->Width(), 300);
  EXPECT_EQ(Panel->Height(), 150);
  EXPECT_FALSE(Panel->Visible());
}

TEST_F(PopupEditTest, AFormIsShownWithoutBorderAndGetsItsBorderBack) {
  auto* form = NewObject<TForm>(nullptr, 0);
  form->SetBorderStyle(bsSizeable);
  form->SetBounds(0, 0, 200, 120);
  Edit->Properties()->SetPopupControl(form);
  Open();
  ASSERT_TRUE(Edit->DroppedDown());
  EXPECT_EQ(form->BorderStyle(), bsNone);
  EXPECT_EQ(form->Parent(), Edit->PopupWindow());
  Edit->CloseUp(pcrClose);
  Pump();
  EXPECT_EQ(form->BorderStyle(), bsSizeable);
  EXPECT_EQ(form->Parent(), nullptr);
  FreeObject(form);
}

TEST_F(PopupEditTest, CircularPlacementRaisesBeforeAnythingMoves) {
  for (TControl* control : std::initializer_list<TControl*>{Host, Edit, Edit->PopupWindow()}) {
    Edit->Properties()->SetPopupControl(control);
    const TWinControl* parentBefore = control->Parent();
    Focus(Edit);
    try {
      Edit->SetDroppedDown(true);
      FAIL() << "no error";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), "Circular referencing is not allowed");
    }
    Pump();
    EXPECT_FALSE(Edit->DroppedDown());
    EXPECT_EQ(control->Parent(), parentBefore);
  }
}

TEST_F(PopupEditTest, AFreedPopupControlIsForgottenAndNothingOpens) {
  FreeObject(Panel);
  EXPECT_EQ(Edit->Properties()->PopupControl(), nullptr);
  Open();
  EXPECT_FALSE(Edit->DroppedDown());
}

TEST_F(PopupEditTest, FreeingTheEditorWhileItsPopupShowsHandsThePanelBackFirst) {
  Open();
  ASSERT_TRUE(Edit->DroppedDown());
  FreeObject(Edit);
  Pump();
  EXPECT_EQ(Panel->Parent(), Form);
  EXPECT_FALSE(Panel->Visible());
  EXPECT_TRUE(k58::foundation::ShownPopups().empty());
}

}  // namespace
