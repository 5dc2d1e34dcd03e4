// The main window's flat look: its menu bar and the File menu drawn by the painter of its resource, and
// its tool bar drawn flat.
#include <gtest/gtest.h>

#include "app/MainFrm.h"
#include "platform/forms/ComCtrls.h"
#include "platform/forms/Menus.h"
#include "platform/win/Windows.h"
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

}  // namespace
