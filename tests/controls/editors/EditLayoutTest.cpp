// The editor's layout and painting state without an editor: border extents, button rectangles, the
// spare-width split and button states on a fixed canvas; edit style resolution; the invalidations of a
// changed view; button frames read from pixels; the native button data from a recording theme provider.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/controls/editors/EditTesting.h"
#include "platform/forms/ExtCtrls.h"
#include "tests/platform/theme/RecordingThemeProvider.h"

using namespace editors_test;
using foundation_test::TestCanvas;

namespace {

class EditLayoutTest : public EditUnitsTest {
 protected:
  EditLayoutTest()
      : Properties(TuiCustomEditProperties::CreateOfClass(TTestTextProperties::StaticClass(), nullptr)),
        Style(new TuiEditStyle(nullptr, false, nullptr, csNormal)),
        ViewInfo(new TuiCustomEditViewInfo) {}

  TuiEditButton* AddButton(Integer AWidth, bool ALeft = false) {
    TuiEditButton* button = Properties->Buttons()->Add();
    button->SetKind(bkEllipsis);
    button->SetWidth(AWidth);
    button->SetLeftAlignment(ALeft);
    return button;
  }
  // Lays out for ABounds with the mouse at P (AButton: 0 none, 1 left) and the editor's focus.
  void Calculate(const TRect& ABounds, TPoint P = TPoint{-1, -1}, Byte AButton = 0, TShiftState AShift = {},
                 bool AFocused = false) {
    std::unique_ptr<TuiCustomEditViewData, TObjectDeleter> viewData(
        Properties->CreateViewData(Style.get(), false, false));
    viewData->Focused = AFocused;
    viewData->Calculate(Canvas.Canvas(), ABounds, P, AButton, AShift, ViewInfo.get(), AButton != 0);
  }
  std::vector<TRect> ButtonBounds() const {
    std::vector<TRect> result;
    for (TuiEditButtonViewInfo* b : ViewInfo->Buttons) result.push_back(b->Bounds);
    return result;
  }

  TestCanvas Canvas{200, 40};
  std::unique_ptr<TuiCustomEditProperties, TObjectDeleter> Properties;
  std::unique_ptr<TuiEditStyle, TObjectDeleter> Style;
  std::unique_ptr<TuiCustomEditViewInfo, TObjectDeleter> ViewInfo;
};

std::string Str(const TRect& R) {
  return std::to_string(R.left) + "," + std::to_string(R.top) + "," + std::to_string(R.right) + "," +
         std::to_string(R.bottom);
}

TEST_F(EditLayoutTest, SpareWidthGoesToStretchableButtonsInProportion) {
  Properties->SetButtonsViewStyle(1);
  AddButton(20);
  AddButton(40);
  // Transparent border: 2 on every side; 60 for the buttons and 30 spare.
  Calculate(TRect{0, 0, 94, 24});
  ASSERT_EQ(ViewInfo->ButtonCount(), 2);
  EXPECT_EQ(Str(ViewInfo->Buttons[1]->Bounds), "32,2,92,22") << "the later button: 30 * 40 div 60 = 20 more";
  EXPECT_EQ(Str(ViewInfo->Buttons[0]->Bounds), "2,2,32,22") << "the other: the remaining 10";
  EXPECT_TRUE(ViewInfo->Buttons[0]->Data.Leftmost);
  EXPECT_TRUE(ViewInfo->Buttons[1]->Data.Rightmost);

  // Without stretching the spare width is the text area.
  Properties->SetButtonsViewStyle(0);
  Calculate(TRect{0, 0, 94, 24});
  EXPECT_EQ(Str(ViewInfo->Buttons[0]->Bounds), "32,2,52,22");
  EXPECT_EQ(Str(ViewInfo->ClientRect), "2,2,32,22");
}

TEST_F(EditLayoutTest, ButtonsOnBothSidesAndClippedButtons) {
  AddButton(10, true);
  AddButton(12);
  Calculate(TRect{0, 0, 100, 20});
  EXPECT_EQ(ButtonBounds(), (std::vector<TRect>{TRect{2, 2, 12, 18}, TRect{86, 2, 98, 18}}));
  EXPECT_EQ(Str(ViewInfo->ClientRect), "12,2,86,18");
  EXPECT_TRUE(ViewInfo->Buttons[0]->Data.Leftmost && ViewInfo->Buttons[0]->Data.Rightmost);

  // A button wider than the editor keeps its width; only its visible part is inside.
  Properties->Buttons()->Clear();
  AddButton(50);
  Calculate(TRect{0, 0, 30, 20});
  EXPECT_EQ(Str(ViewInfo->Buttons[0]->Bounds), "-22,2,28,18");
  EXPECT_EQ(Str(ViewInfo->Buttons[0]->VisibleBounds), "2,2,28,18");
}

TEST_F(EditLayoutTest, BorderExtentsByStyle) {
  struct Case {
    const char* Name;
    TuiContainerBorderStyle Border;
    bool TransparentBorder, Shadow;
    TuiBorders Edges;
    const char* Client;
  };
  const Case cases[] = {
      {"transparent border ignores the edges", cbsSingle, true, false, TuiBorders{bLeft}, "2,2,98,18"},
      {"single on the named edges", cbsSingle, false, false, TuiBorders{bLeft, bTop}, "1,1,100,20"},
      {"thick", cbsThick, false, false, uiAllBorders, "2,2,98,18"},
      {"shadow adds 3 right and bottom", cbsSingle, false, true, uiAllBorders, "1,1,96,16"},
      {"no border", cbsNone, false, false, uiAllBorders, "0,0,100,20"},
  };
  for (const Case& c : cases) {
    Style->SetBorderStyle(c.Border);
    Style->SetTransparentBorder(c.TransparentBorder);
    Style->SetShadow(c.Shadow);
    Style->SetEdges(c.Edges);
    Calculate(TRect{0, 0, 100, 20});
    EXPECT_EQ(Str(ViewInfo->ClientRect), c.Client) << c.Name;
    EXPECT_EQ(ViewInfo->Shadow, c.Shadow) << c.Name;
  }
}

TEST_F(EditLayoutTest, HiddenButtonsLeaveTheTextAreaToTheBorder) {
  AddButton(15);
  Style->SetButtonTransparency(ebtHideUnselected);
  Calculate(TRect{0, 0, 100, 20});
  EXPECT_EQ(ViewInfo->ButtonCount(), 0);
  EXPECT_EQ(Str(ViewInfo->ClientRect), "2,2,98,18");
  Calculate(TRect{0, 0, 100, 20}, TPoint{-1, -1}, 0, {}, true);
  EXPECT_EQ(ViewInfo->ButtonCount(), 1) << "shown while focused";
  Style->SetButtonTransparency(ebtInactive);
  Calculate(TRect{0, 0, 100, 20});
  EXPECT_TRUE(ViewInfo->Buttons[0]->Data.Transparent);
}

TEST_F(EditLayoutTest, UltraFlatBorderIsSingleAndLightsUpWhenFocused) {
  Style->SetBorderStyle(cbsUltraFlat);
  Style->SetTransparentBorder(false);
  AddButton(15);
  Calculate(TRect{0, 0, 100, 20});
  EXPECT_EQ(ViewInfo->EditBorderStyle, ebsSingle);
  EXPECT_EQ(ViewInfo->BorderColor, clBtnShadow);
  EXPECT_EQ(ViewInfo->Buttons[0]->Data.Style, btsUltraFlat) << "the style's own border chooses the buttons";
  Calculate(TRect{0, 0, 100, 20}, TPoint{-1, -1}, 0, {}, true);
  EXPECT_EQ(ViewInfo->BorderColor, clHighlight);
}

TEST_F(EditLayoutTest, ButtonStatesFromPointShiftAndEnabled) {
  AddButton(16);
  TuiEditButton* second = AddButton(16);
  struct Case {
    const char* Name;
    TPoint P;
    Byte Button;
    TShiftState Shift;
    Byte First, Second;
  };
  // The first button lies at x 66..82, the second at 82..98.
  const Case cases[] = {
      {"away", TPoint{10, 10}, 0, {}, ebsNormalState, ebsNormalState},
      {"over, no button", TPoint{70, 10}, 0, {}, ebsHotState, ebsNormalState},
      {"left press", TPoint{70, 10}, 1, TShiftState{ssLeft}, ebsPressedState, ebsNormalState},
      {"right button held", TPoint{70, 10}, 0, TShiftState{ssRight}, ebsNormalState, ebsNormalState},
  };
  for (const Case& c : cases) {
    ViewInfo->PressedButton = -1;
    Calculate(TRect{0, 0, 100, 20}, c.P, c.Button, c.Shift);
    EXPECT_EQ(ViewInfo->Buttons[0]->Data.State, c.First) << c.Name;
    EXPECT_EQ(ViewInfo->Buttons[1]->Data.State, c.Second) << c.Name;
  }
  second->SetEnabled(false);
  Calculate(TRect{0, 0, 100, 20}, TPoint{90, 10});
  EXPECT_EQ(ViewInfo->Buttons[1]->Data.State, ebsDisabledState);
  EXPECT_EQ(ViewInfo->HotButton, -1);
}

TEST_F(EditLayoutTest, SizeOfAButtonsOnlyEditor) {
  Properties->SetButtonsViewStyle(2);
  AddButton(16);
  AddButton(20);
  std::unique_ptr<TuiCustomEditViewData, TObjectDeleter> viewData(Properties->CreateViewData(Style.get(), false, false));
  TSize size{};
  viewData->GetEditSize(Canvas.Canvas(), Variant(), TSize{-1, 1}, size);
  EXPECT_EQ(size.cx, 2 + 16 + 20 + 2) << "exactly the buttons and the borders";
}

TEST_F(EditLayoutTest, ButtonWidths) {
  TuiEditButtonViewInfo button;
  button.Data.Kind = bkText;
  button.Data.VisibleCaption = "";
  EXPECT_GE(CalculateEditButtonWidth(Canvas.Canvas(), &button), GetSystemMetrics(SM_CYHSCROLL));
  TBitmap glyph;
  glyph.SetSize(16, 16);
  button.Data.Kind = bkGlyph;
  button.Glyph = &glyph;
  EXPECT_EQ(CalculateEditButtonWidth(Canvas.Canvas(), &button), 20);
  button.Width = 2;
  EXPECT_EQ(CalculateEditButtonWidth(Canvas.Canvas(), &button), 4) << "never narrower than the border";
}

// ---- Styles ---------------------------------------------------------------------------------------------

TEST_F(EditLayoutTest, EditStyleValuesResolveThroughStatesAndControllers) {
  TuiContainerStyles styles(nullptr, StyleClassOf<TuiEditStyle>());
  auto* normal = static_cast<TuiEditStyle*>(styles.GetNormalStyle());
  auto* hot = static_cast<TuiEditStyle*>(styles.GetHotStyle());
  auto* focused = static_cast<TuiEditStyle*>(styles.GetFocusedStyle());

  hot->SetButtonTransparency(ebtAlways);
  EXPECT_EQ(normal->ButtonTransparency(), ebtAlways) << "written into the normal style";
  EXPECT_EQ(hot->ButtonTransparency(), ebtAlways);
  EXPECT_FALSE(hot->IsButtonTransparencyStored());

  focused->SetButtonStyle(bts3D);
  EXPECT_EQ(focused->ButtonStyle(), bts3D);
  EXPECT_EQ(normal->ButtonStyle(), btsDefault) << "the focused style keeps its own";

  auto* controller = new TuiEditStyleController(nullptr);
  controller->Style()->SetButtonStyle(btsFlat);
  normal->SetStyleController(controller);
  EXPECT_EQ(normal->ButtonStyle(), btsFlat);
  EXPECT_FALSE(normal->IsButtonStyleStored());
  normal->SetStyleController(nullptr);
  EXPECT_EQ(normal->ButtonStyle(), btsDefault);
  FreeObject(controller);

  String name;
  EXPECT_TRUE(normal->GetValueName(12, name));
  EXPECT_EQ(name, "PopupBorderStyle");
  EXPECT_FALSE(normal->GetValueName(14, name));
  EXPECT_EQ(normal->GetValueCount(), 14);
}

TEST_F(EditLayoutTest, UnlinkedStylesFollowTheDefaultController) {
  EXPECT_EQ(Style->GetDefaultStyleController(), GetDefaultEditStyleController());
  GetDefaultEditStyleController()->Style()->SetButtonStyle(btsHotFlat);
  EXPECT_EQ(Style->ButtonStyle(), btsHotFlat);
  GetDefaultEditStyleController()->Style()->SetButtonStyle(btsDefault);
}

// ---- Repainting -----------------------------------------------------------------------------------------

class EditRepaintTest : public EditLayoutTest {
 protected:
  EditRepaintTest() {
    Form = NewObject<TForm>(nullptr, 0);
    Form->SetBounds(40, 40, 300, 200);
    Form->Show();
    Window = NewObject<TPanel>(Form);
    Window->SetBounds(0, 0, 120, 30);
    Window->SetParent(Form);
    Window->HandleNeeded();
    Display.Pump();
  }
  ~EditRepaintTest() override {
    FreeObject(Form);
    k58::winui::ResetWindowSystemState();
  }
  // The box of what a repaint of the window would cover, after the window was clean.
  std::string Invalidated(TuiCustomEditViewInfo* ANew, TuiCustomEditViewInfo* AOld, bool& AResult) {
    ValidateRect(Window->Handle(), nullptr);
    AResult = ANew->RepaintChanges(Window, ANew->ClientRect, AOld);
    RECT r{};
    if (!GetUpdateRect(Window->Handle(), &r, FALSE)) return "none";
    return Str(TRect{r.left, r.top, r.right, r.bottom});
  }
  TForm* Form = nullptr;
  TPanel* Window = nullptr;
};

TEST_F(EditRepaintTest, OnlyWhatChangedIsInvalidated) {
  AddButton(16);
  AddButton(16);
  // The mouse over the editor, away from the buttons: the editor is hot in both views.
  Calculate(TRect{0, 0, 100, 20}, TPoint{10, 10});
  std::unique_ptr<TuiCustomEditViewInfo, TObjectDeleter> old(new TuiCustomEditViewInfo);
  old->Assign(ViewInfo.get());
  bool result = true;
  EXPECT_EQ(Invalidated(ViewInfo.get(), old.get(), result), "none");
  EXPECT_FALSE(result);

  // One button turns hot: that button's rectangle only.
  Calculate(TRect{0, 0, 100, 20}, TPoint{70, 10});
  EXPECT_EQ(Invalidated(ViewInfo.get(), old.get(), result), "66,2,82,18");
  EXPECT_TRUE(result);

  // The old view had a button more: the frame around the text area, the buttons not compared.
  old->SetButtonCount(3);
  Calculate(TRect{0, 0, 100, 20});
  EXPECT_EQ(Invalidated(ViewInfo.get(), old.get(), result), "0,0,100,20");
  EXPECT_TRUE(result);

  // A new background colour repaints the frame as well.
  old->Assign(ViewInfo.get());
  Style->SetColor(clYellow);
  Calculate(TRect{0, 0, 100, 20});
  EXPECT_EQ(Invalidated(ViewInfo.get(), old.get(), result), "0,0,100,20");
}

TEST_F(EditRepaintTest, ButtonViewInfosAreKeptAcrossCounts) {
  ViewInfo->SetButtonCount(2);
  TuiEditButtonViewInfo* first = ViewInfo->Buttons[0];
  first->Data.State = ebsHotState;
  ViewInfo->SetButtonCount(3);
  EXPECT_EQ(ViewInfo->Buttons[0], first);
  EXPECT_EQ(ViewInfo->Buttons[2]->Data.State, ebsDisabledState);
  ViewInfo->SetButtonCount(0);
  EXPECT_EQ(ViewInfo->ButtonCount(), 0);

  ViewInfo->SetButtonCount(1);
  ViewInfo->Buttons[0]->Bounds = TRect{5, 0, 15, 10};
  ViewInfo->PaintOffset = TPoint{10, 0};
  EXPECT_TRUE(ViewInfo->IsHotTrackPoint(TPoint{15, 5}));
  EXPECT_FALSE(ViewInfo->IsHotTrackPoint(TPoint{5, 5}));
}

// ---- Pixels ---------------------------------------------------------------------------------------------

TEST_F(EditLayoutTest, ButtonFramesByStyleAndState) {
  foundation_test::UseDistinctSystemColours();
  Style->SetTransparentBorder(false);
  AddButton(16);
  struct Case {
    const char* Name;
    TuiEditButtonStyle ButtonStyle;
    TPoint Mouse;
    Byte Button;
    TColor Left, Top, Right, Bottom;
  };
  // The button spans x 83..99 and y 1..19 inside a single border.
  const Case cases[] = {
      {"3D normal", bts3D, TPoint{-1, -1}, 0, cl3DLight, cl3DLight, cl3DDkShadow, cl3DDkShadow},
      {"3D pressed", bts3D, TPoint{90, 10}, 1, clBtnShadow, clBtnShadow, clBtnShadow, clBtnShadow},
      {"flat normal", btsFlat, TPoint{-1, -1}, 0, clBtnFace, clBtnHighlight, clBtnShadow, clBtnShadow},
      {"hot-flat next to the text", btsHotFlat, TPoint{-1, -1}, 0, clBtnShadow, clBtnShadow, clBtnShadow, clBtnShadow},
      {"ultra-flat hot: a line on the inner side only", btsUltraFlat, TPoint{90, 10}, 0, clHighlight,
       GetFlatButtonColor(false, false), GetFlatButtonColor(false, false), GetFlatButtonColor(false, false)},
  };
  for (const Case& c : cases) {
    Style->SetButtonStyle(c.ButtonStyle);
    ViewInfo->PressedButton = -1;
    Calculate(TRect{0, 0, 100, 20}, c.Mouse, c.Button, c.Button != 0 ? TShiftState{ssLeft} : TShiftState{});
    Canvas.Fill(clFuchsia);
    ViewInfo->Paint(Canvas.Canvas());
    const TRect b = ViewInfo->Buttons[0]->Bounds;
    const Integer midX = (b.left + b.right) / 2, midY = (b.top + b.bottom) / 2;
    EXPECT_EQ(Canvas.At(b.left, midY), foundation_test::Rgb(c.Left)) << c.Name << " left";
    EXPECT_EQ(Canvas.At(midX, b.top), foundation_test::Rgb(c.Top)) << c.Name << " top";
    EXPECT_EQ(Canvas.At(b.right - 1, midY), foundation_test::Rgb(c.Right)) << c.Name << " right";
    EXPECT_EQ(Canvas.At(midX, b.bottom - 1), foundation_test::Rgb(c.Bottom)) << c.Name << " bottom";
  }
}

// ---- Native buttons -------------------------------------------------------------------------------------

TEST_F(EditLayoutTest, NativeButtonsTakeTheirPartsAndMarginsFromTheTheme) {
  k58test::RecordingThemeProvider provider{"Button", "ComboBox", "Edit"};
  provider.Margins[{"BUTTON", 1}] = RECT{3, 3, 3, 3};
  k58test::ScopedThemeProvider scope{provider};
  TuiEditButtonViewInfo button;
  button.Data.NativeStyle = true;
  button.Data.Kind = bkEllipsis;
  button.Width = 1;
  EXPECT_EQ(CalculateEditButtonWidth(Canvas.Canvas(), &button), 6) << "the themed left and right margins";
  const Byte states[] = {ebsDisabledState, ebsNormalState, ebsPressedState, ebsHotState};
  const Integer native[] = {4, 1, 3, 2};
  for (size_t i = 0; i < 4; ++i) {
    button.Data.State = states[i];
    CalculateEditButtonNativeInfo(&button);
    EXPECT_EQ(button.Data.NativePart, 1);
    EXPECT_EQ(button.Data.NativeState, native[i]);
  }
  button.Data.NativeStyle = false;
  CalculateEditButtonNativeInfo(&button);
  EXPECT_EQ(button.Data.NativePart, 0);
  EXPECT_EQ(button.Data.NativeState, 0);
}

}  // namespace
