// The main window's flat look: its menu bar and the File menu drawn by the painter of its resource, and
// its tool bar drawn flat.
#include <gtest/gtest.h>

#include "app/MainFrm.h"
#include "platform/forms/ComCtrls.h"
#include "platform/forms/Menus.h"
#include "platform/win/Windows.h"
#include "skin/SkinMenu.h"
#include "tests/app/ProgramFixture.h"

namespace {

class MainMenuSkin : public app_test::ProgramTest {};

TfMainFrm* MainWindow() {
  for (Integer I = 0; I < Application->ComponentCount(); ++I)
    if (auto* Form = dynamic_cast<TfMainFrm*>(Application->Components(I))) return Form;
  return nullptr;
}

TEST_F(MainMenuSkin, FileMenuOpensFlatWithIconColumnSelectionAndShortcuts) {
  StartProgram();
  TfMainFrm* Form = MainWindow();
  ASSERT_NE(Form, nullptr);
  ASSERT_NE(Form->Xp, nullptr);
  TSkinMenu* Skin = Form->Xp;
  EXPECT_TRUE(Skin->Active());
  EXPECT_TRUE(Form->MainMenu->OwnerDraw());
  EXPECT_TRUE(static_cast<bool>(Form->tbar->OnCustomDrawButton()));
  EXPECT_EQ(Skin->Font()->Height(), -10);

  HWND Frame = Form->Handle();
  RECT FileRect{};
  ASSERT_TRUE(GetMenuItemRect(Frame, GetMenu(Frame), 0, &FileRect));
  POINT FilePoint{(FileRect.left + FileRect.right) / 2, (FileRect.top + FileRect.bottom) / 2};
  // The first item of the File menu, its second with a shortcut.
  TMenuItem* File = Form->MainMenu->Items()->Items(0);
  ASSERT_GT(File->Count(), 1);

  bool Seen = false;
  Display->Click(FilePoint);
  Display->Later([&] {
    Seen = true;
    // The bar item is selected: filled and framed in the selection colours.
    EXPECT_EQ(Display->ScreenPixel(POINT{FileRect.left + 4, FilePoint.y}), ColorToRGB(Skin->DrawSelectColor));
    EXPECT_EQ(Display->ScreenPixel(POINT{FileRect.left, FilePoint.y}), ColorToRGB(Skin->DrawSelectBorderColor));
    // The popup under it: icon column, then the item background.
    HWND Popup = WindowFromPoint(POINT{FileRect.left + 10, FileRect.bottom + 10});
    ASSERT_NE(Popup, nullptr);
    ASSERT_NE(Popup, Frame);
    RECT Item{};
    ASSERT_TRUE(GetMenuItemRect(nullptr, File->Handle(), 0, &Item));
    const Integer Y = Item.top + 1;
    EXPECT_EQ(Display->ScreenPixel(POINT{Item.left + 1, Y}), ColorToRGB(Skin->DrawIconBackColor));
    EXPECT_EQ(Display->ScreenPixel(POINT{Item.left + Skin->IconWidth() + 2, Y}), ColorToRGB(Skin->DrawColor));
  });
  // The first item, under the mouse, is selected.
  Display->MoveTo(POINT{FileRect.left + 40, FileRect.bottom + 10});
  Display->Later([&] {
    RECT Item{};
    ASSERT_TRUE(GetMenuItemRect(nullptr, File->Handle(), 0, &Item));
    EXPECT_EQ(Display->ScreenPixel(POINT{Item.right - 8, (Item.top + Item.bottom) / 2}),
              ColorToRGB(Skin->DrawSelectColor));
    if (const char* Shot = std::getenv("K58_SKIN_SHOT")) Display->SavePng(Shot);
  });
  Display->Key(VK_ESCAPE);
  Display->Key(VK_ESCAPE);
  Display->Pump();
  EXPECT_TRUE(Seen);
}

TEST_F(MainMenuSkin, ToolBarButtonsAreFlatIdleAndHot) {
  StartProgram();
  TfMainFrm* Form = MainWindow();
  ASSERT_NE(Form, nullptr);
  TSkinMenu* Skin = Form->Xp;
  TToolBar* Bar = Form->tbar;
  auto Button = [&](const char* Name) { return dynamic_cast<TToolButton*>(Form->FindComponent(Name)); };
  auto At = [&](TToolButton* B, Integer X, Integer Y) {
    TRect R = B->BoundsRect();
    return POINT{R.left + X, R.top + Y};
  };
  auto Pixel = [&](POINT P) { return Display->ClientPixel(Bar->Handle(), P); };
  TToolButton* Hot = Button("tbOpen");
  TToolButton* Idle = Button("tbNew");
  TToolButton* Separator = Button("ToolButton1");
  ASSERT_TRUE(Hot != nullptr && Idle != nullptr && Separator != nullptr);
  TPoint Over = Bar->ClientToScreen(TPoint{At(Hot, Hot->Width() / 2, 4).x, At(Hot, Hot->Width() / 2, 4).y});
  Display->MoveTo(POINT{Over.x, Over.y});
  Display->Pump();

  const COLORREF Back = ColorToRGB(Lighten(Bar->Color(), 16));
  struct Probe {
    const char* What;
    TToolButton* B;
    Integer X, Y;
    COLORREF Colour;
  } Probes[] = {
      {"idle: bar background", Idle, 3, 4, Back},
      {"idle: no frame", Idle, 0, 10, Back},
      {"hot: selection fill", Hot, 3, 4, ColorToRGB(Skin->DrawSelectColor)},
      {"hot: frame", Hot, 0, 10, ColorToRGB(Skin->DrawSelectBorderColor)},
      {"hot: top row is the bar's", Hot, 3, 0, Back},
      {"separator without a Tag: no line", Separator, Separator->Width() / 2, 10, Back},
  };
  for (const Probe& P : Probes) EXPECT_EQ(Pixel(At(P.B, P.X, P.Y)), P.Colour) << P.What;
  // The hot button's caption is drawn in the menu text colour under its glyph.
  bool Text = false;
  const TRect R = Hot->BoundsRect();
  for (Integer Y = (R.bottom - R.top) / 2; Y < R.bottom - R.top && !Text; ++Y)
    for (Integer X = 4; X < R.right - R.left - 4 && !Text; ++X)
      Text = Pixel(At(Hot, X, Y)) == ColorToRGB(clMenuText);
  EXPECT_TRUE(Text);
}

}  // namespace
