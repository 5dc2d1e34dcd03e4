// The push button: glyph counts and the glyph cache, glyph and caption layout, the pressed look per
// painter, colours, Default/Cancel on a modal form, and both drop-down kinds with a recording menu.
#include <gtest/gtest.h>

#include "controls/editors/uiButtons.h"
#include "controls/editors/uiGroupBox.h"
#include "controls/editors/uiRadioButton.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/win/builtin/CommCtrl.h"
#include "tests/controls/editors/EditorKindsTesting.h"

using namespace editors_test;

namespace {

// A popup menu that records where it was asked to pop up instead of showing itself.
class TRecordingPopupMenu : public TPopupMenu {
 public:
  explicit TRecordingPopupMenu(TComponent* AOwner) : TPopupMenu(AOwner) {}
  void Popup(Integer X, Integer Y) override {
    Popups.push_back(TPoint{X, Y});
    ComponentAtPopup = PopupComponent();
  }
  std::vector<TPoint> Popups;
  TComponent* ComponentAtPopup = nullptr;
};

// A filled bitmap whose bottom-left pixel (the transparent colour) is olive.
TObjectPtr<TBitmap> SolidBitmap(Integer W, Integer H, TColor AColor = clRed) {
  TObjectPtr<TBitmap> bitmap(new TBitmap);
  bitmap->SetSize(W, H);
  bitmap->Canvas()->Brush()->SetColor(AColor);
  bitmap->Canvas()->FillRect(TRect{0, 0, W, H});
  bitmap->Canvas()->SetPixels(0, H - 1, clOlive);
  return bitmap;
}

class ButtonTest : public EditorKindsTest {
 protected:
  TuiButton* NewButton(const String& ACaption = "OK", Integer W = 75, Integer H = 25) {
    auto* button = NewObject<TuiButton>(Form);
    button->SetCaption(ACaption);
    button->SetBounds(20, 20, W, H);
    button->LookAndFeel()->SetNativeStyle(false);
    button->SetParent(Form);
    button->HandleNeeded();
    button->SetOnClick([this](TObject*) { Log.push_back("Click"); });
    Pump();
    return button;
  }
  void Repaint(TuiButton* AButton) {
    AButton->Repaint();
    Pump();
  }
};

TEST_F(ButtonTest, ClassesKeepTheirLibraryBases) {
  EXPECT_TRUE(TuiButton::StaticClass()->InheritsFrom(TButton::StaticClass()));
  EXPECT_TRUE(TuiRadioButton::StaticClass()->InheritsFrom(TRadioButton::StaticClass()));
  EXPECT_FALSE(TuiGroupBox::StaticClass()->InheritsFrom(TGroupBox::StaticClass()));
}

TEST_F(ButtonTest, NumGlyphsFromTheBitmapAndLimits) {
  TuiButton* button = NewButton();
  struct Case {
    Integer Width;
    Integer Expected;
  };
  for (const Case& c : {Case{64, 4}, Case{80, 1}, Case{32, 2}}) {
    button->SetNumGlyphs(2);
    button->SetGlyph(SolidBitmap(c.Width, 16).get());
    EXPECT_EQ(button->NumGlyphs(), c.Expected) << c.Width;
  }
  button->SetNumGlyphs(3);
  button->SetGlyph(SolidBitmap(50, 16).get());
  EXPECT_EQ(button->NumGlyphs(), 3) << "50 is no multiple of 16";
  button->SetNumGlyphs(7);
  EXPECT_EQ(button->NumGlyphs(), 4);
  button->SetMargin(3);
  button->SetMargin(-2);
  EXPECT_EQ(button->Margin(), 3);
  button->SetMargin(-1);
  EXPECT_EQ(button->Margin(), -1);
}

TEST(ButtonLayout, GlyphAndTextPlacement) {
  struct Case {
    TButtonLayout Layout;
    Integer Margin, Spacing;
    TSize Text;
    TPoint Glyph, TextPos;
  };
  const TSize client{75, 25}, glyph{16, 16};
  const Case cases[] = {
      {blGlyphLeft, -1, 4, {20, 13}, {17, 4}, {37, 5}},
      {blGlyphRight, -1, 4, {20, 13}, {41, 4}, {17, 5}},
      {blGlyphLeft, -1, -1, {20, 13}, {13, 4}, {42, 5}},
      {blGlyphLeft, 5, -1, {20, 13}, {5, 4}, {38, 5}},
      {blGlyphTop, -1, -1, {20, 13}, {29, -1}, {27, 14}},
      {blGlyphBottom, 2, -1, {20, 13}, {29, 12}, {27, 2}},
      {blGlyphLeft, -1, 4, {0, 0}, {29, 4}, {45, 12}},
  };
  for (const Case& c : cases) {
    TPoint g{}, t{};
    PlaceGlyphAndText(client, glyph, c.Text, c.Layout, c.Margin, c.Spacing, g, t);
    EXPECT_EQ(g.x, c.Glyph.x) << c.Layout << " " << c.Margin << "/" << c.Spacing;
    EXPECT_EQ(g.y, c.Glyph.y) << c.Layout << " " << c.Margin << "/" << c.Spacing;
    EXPECT_EQ(t.x, c.TextPos.x) << c.Layout << " " << c.Margin << "/" << c.Spacing;
    EXPECT_EQ(t.y, c.TextPos.y) << c.Layout << " " << c.Margin << "/" << c.Spacing;
  }
}

// On the real 75 x 25 button the glyph and "OK" are centred as one block, 4 pixels apart.
TEST_F(ButtonTest, GlyphAndCaptionCentredAsOneBlock) {
  TuiButton* button = NewButton("OK");
  button->SetGlyph(SolidBitmap(16, 16).get());
  Repaint(button);
  const TPoint g = button->LastGlyphPos();
  const TRect t = button->LastTextBounds();
  EXPECT_EQ(t.left - (g.x + 16), 4);
  const Integer leftGap = g.x, rightGap = 75 - t.right;
  EXPECT_LE(std::abs(leftGap - rightGap), 4) << leftGap << " " << rightGap;
  EXPECT_EQ(Display.ClientPixel(button->Handle(), POINT{g.x + 8, g.y + 8}), ColorToRGB(clRed)) << "the glyph is drawn";
}

TEST_F(ButtonTest, PressedContentMovesUnderStandardAndFlatOnly) {
  struct Case {
    TuiLookAndFeelKind Kind;
    Integer Shift;
  };
  for (const Case& c : {Case{lfStandard, 1}, Case{lfFlat, 1}, Case{lfUltraFlat, 0}}) {
    TuiButton* button = NewButton("Read");
    button->LookAndFeel()->SetKind(c.Kind);
    Display.MoveTo(At(button, 5, 5));
    Pump();
    Repaint(button);
    const TRect normal = button->LastTextBounds();
    Display.Press(At(button, 5, 5));
    Pump();
    Repaint(button);
    EXPECT_EQ(button->LastPaintState(), uibsPressed) << c.Kind;
    const TRect pressed = button->LastTextBounds();
    EXPECT_EQ(pressed.left - normal.left, c.Shift) << c.Kind;
    EXPECT_EQ(pressed.top - normal.top, c.Shift) << c.Kind;
    Display.Release(At(button, 5, 5));
    Pump();
    FreeObject(button);
  }
}

TEST_F(ButtonTest, ColorsResetByNoneAreNotStored) {
  TuiButton* button = NewButton();
  button->SetName("Read");
  button->Colors()->SetHot(clYellow);
  EXPECT_TRUE(button->Colors()->AssignedColors().Contains(bciHot));
  String text = WriteComponentToText(Form);
  EXPECT_NE(text.find("Colors.Hot = clYellow"), String::npos) << text;
  button->Colors()->SetHot(clNone);
  EXPECT_EQ(button->Colors()->Hot(), clDefault);
  EXPECT_TRUE(button->Colors()->AssignedColors().Empty());
  text = WriteComponentToText(Form);
  EXPECT_EQ(text.find("Colors."), String::npos) << text;
}

TEST_F(ButtonTest, GlyphCacheLivesWhileGlyphsDo) {
  // The fixture's form holds no buttons: the cache goes with the last glyph.
  {
    TObjectPtr<TuiButtonGlyph> first(new TuiButtonGlyph);
    TObjectPtr<TuiButtonGlyph> second(new TuiButtonGlyph);
    ASSERT_NE(GlyphCache(), nullptr);
    first->SetGlyph(SolidBitmap(16, 16).get());
    second->SetGlyph(SolidBitmap(32, 16).get());
    const Integer a = first->CreateButtonGlyph(uibsNormal);
    const Integer b = second->CreateButtonGlyph(uibsNormal);
    EXPECT_GE(a, 0);
    EXPECT_GE(b, 0);
    EXPECT_EQ(first->GlyphList(), second->GlyphList()) << "one list per image size";
    EXPECT_EQ(GlyphCache()->ListCount(), 1);
    EXPECT_EQ(first->CreateButtonGlyph(uibsDisabled) >= 0, true);
    first.reset();
    EXPECT_EQ(GlyphCache()->ListCount(), 1) << "the other glyph still uses it";
  }
  EXPECT_EQ(GlyphCache(), nullptr);
}

TEST_F(ButtonTest, EnterAndEscOnAModalFormClickDefaultAndCancel) {
  struct Case {
    WORD Key;
    TModalResult Result;
    const char* Clicked;
  };
  for (const Case& c : {Case{VK_RETURN, mrOk, "OK"}, Case{VK_ESCAPE, mrCancel, "Cancel"}}) {
    TObjectPtr<TForm> dialog(NewObject<TForm>(nullptr, 0));
    dialog->SetBounds(100, 100, 300, 200);
    auto* edit = NewObject<TEdit>(dialog.get());
    edit->SetParent(dialog.get());
    std::vector<std::string> clicks;
    auto* ok = NewObject<TuiButton>(dialog.get());
    ok->SetCaption("OK");
    ok->SetBounds(20, 100, 75, 25);
    ok->SetDefault(true);
    ok->SetModalResult(mrOk);
    ok->SetParent(dialog.get());
    ok->SetOnClick([&](TObject*) { clicks.push_back("OK"); });
    auto* cancel = NewObject<TuiButton>(dialog.get());
    cancel->SetCaption("Cancel");
    cancel->SetBounds(120, 100, 75, 25);
    cancel->SetCancel(true);
    cancel->SetModalResult(mrCancel);
    cancel->SetParent(dialog.get());
    cancel->SetOnClick([&](TObject*) { clicks.push_back("Cancel"); });
    dialog->SetActiveControl(edit);
    dialog->SetOnShow([&](TObject*) { Display.Key(c.Key); });
    EXPECT_EQ(dialog->ShowModal(), c.Result);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], c.Clicked);
  }
}

TEST_F(ButtonTest, DropDownPopsTheMenuAndNeverClicks) {
  TuiButton* button = NewButton("Tools", 90, 25);
  auto* menu = NewObject<TRecordingPopupMenu>(Form);
  button->SetKind(uibkDropDown);
  button->SetDropDownMenu(menu);
  Pump();
  Display.Click(At(button, 10, 10));
  Pump();
  ASSERT_EQ(menu->Popups.size(), 1u);
  const TPoint below = button->ClientToScreen(TPoint{0, 25});
  EXPECT_EQ(menu->Popups[0].x, below.x);
  EXPECT_EQ(menu->Popups[0].y, below.y);
  EXPECT_EQ(menu->ComponentAtPopup, button);
  EXPECT_FALSE(button->IsMenuVisible()) << "closed up after the menu returned";
  EXPECT_FALSE(button->IsDownLocked());
  // The keyboard asks for the menu too, and still no OnClick.
  button->SetFocus();
  Pump();
  Display.Key(VK_SPACE);
  Pump();
  EXPECT_EQ(menu->Popups.size(), 2u);
  EXPECT_TRUE(Log.empty()) << Joined();
}

TEST_F(ButtonTest, DropDownButtonClicksOnItsMainPartAndPopsOnItsArrow) {
  TuiButton* button = NewButton("Write", 100, 25);
  auto* menu = NewObject<TRecordingPopupMenu>(Form);
  button->SetKind(uibkDropDownButton);
  button->SetDropDownMenu(menu);
  button->SetPopupAlignment(paRight);
  Pump();
  Display.Click(At(button, 20, 10));
  Pump();
  EXPECT_EQ(Joined(), "Click");
  EXPECT_TRUE(menu->Popups.empty());
  Display.Press(At(button, 95, 10));
  Pump();
  ASSERT_EQ(menu->Popups.size(), 1u);
  EXPECT_EQ(menu->Popups[0].x, button->ClientToScreen(TPoint{100, 25}).x) << "right-aligned popup point";
  Display.Release(At(button, 95, 10));
  Pump();
  EXPECT_FALSE(button->IsDownLocked());
  // Shift+Down asks for the menu from the keyboard.
  button->SetFocus();
  Pump();
  Display.Chord({VK_SHIFT}, VK_DOWN);
  Pump();
  EXPECT_EQ(menu->Popups.size(), 2u);
}

// A drop-down that pops nothing up (no menu, or handled by the event) leaves the button free.
TEST_F(ButtonTest, DropDownWithoutAMenuDoesNotStayLocked) {
  TuiButton* button = NewButton("Tools", 90, 25);
  button->SetKind(uibkDropDown);
  Pump();
  button->SetFocus();
  Pump();
  Display.Key(VK_SPACE);
  Pump();
  EXPECT_FALSE(button->IsDownLocked());
  auto* menu = NewObject<TRecordingPopupMenu>(Form);
  button->SetDropDownMenu(menu);
  button->SetOnDropDownMenuPopup([](TObject*, TPopupMenu*&, bool& AHandled) { AHandled = true; });
  Display.Key(VK_SPACE);
  Pump();
  EXPECT_TRUE(menu->Popups.empty());
  EXPECT_FALSE(button->IsDownLocked());
  Repaint(button);
  EXPECT_NE(button->LastPaintState(), uibsPressed);
}

TEST_F(ButtonTest, PainterForOffice11WithoutThemesIsStandard) {
  TObjectPtr<TuiLookAndFeel> lookAndFeel(new TuiLookAndFeel(nullptr));
  lookAndFeel->SetNativeStyle(false);
  lookAndFeel->SetKind(lfOffice11);
  EXPECT_EQ(GetButtonPainterClass(lookAndFeel.get()), PainterClass<TuiStandardLookAndFeelPainter>());
  lookAndFeel->SetKind(lfFlat);
  EXPECT_EQ(GetButtonPainterClass(lookAndFeel.get()), lookAndFeel->GetPainterClass());
}

}  // namespace

namespace {

TEST_F(ButtonTest, DropDownWithARealMenu) {
  TuiButton* button = NewButton("Tools", 90, 25);
  auto* menu = NewObject<TPopupMenu>(Form);
  auto* item = NewObject<TMenuItem>(menu);
  item->SetCaption("Read");
  menu->Items()->Add(item);
  button->SetKind(uibkDropDown);
  button->SetDropDownMenu(menu);
  Pump();
  Display.Later([&] { Display.Key(VK_ESCAPE); });
  Display.Click(At(button, 10, 10));
  Pump();
  EXPECT_FALSE(button->IsMenuVisible());
}

}  // namespace
