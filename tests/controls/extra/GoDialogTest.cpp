// The go dialog's list and choice, the tab image list's errors and drawing, freeing the images the
// control shows, and the tab slants.
#include <gtest/gtest.h>

#include "controls/extra/uiPCPainters.h"
#include "platform/classes/ClassBuilder.h"
#include "tests/common/Display.h"
#include "tests/controls/extra/TabControlTesting.h"

using namespace extra_test;

namespace {

class GoDialogTest : public TabControlTest {
 protected:
  // An image list of AColors.size() images, 8 x 8, each filled with its colour.
  TImageList* NewImages(std::vector<TColor> AColors) {
    auto* images = NewObject<TImageList>(Form);
    images->SetWidth(8);
    images->SetHeight(8);
    for (TColor colour : AColors) {
      TBitmap bitmap;
      bitmap.SetSize(8, 8);
      bitmap.Canvas()->Brush()->SetColor(colour);
      bitmap.Canvas()->FillRect(TRect{0, 0, 8, 8});
      images->Add(&bitmap, nullptr);
    }
    return images;
  }
};

// Counts its layouts.
class TCountingTabControl : public TuiCustomTabControl {
  K58_CLASS(TCountingTabControl, TuiCustomTabControl)
  explicit TCountingTabControl(TComponent* AOwner) : TuiCustomTabControl(AOwner) {}
  void LayoutChanged() override {
    ++Layouts;
    TuiCustomTabControl::LayoutChanged();
  }
  Integer Layouts = 0;
};

std::vector<String> Captions(TPopupMenu* AMenu) {
  std::vector<String> captions;
  for (Integer i = 0; i < AMenu->Items()->Count(); ++i) captions.push_back(AMenu->Items()->Items(i)->Caption());
  return captions;
}

}  // namespace

K58_IMPLEMENT_CLASS(TCountingTabControl) {}

TEST_F(GoDialogTest, TheListLeavesOutHiddenAndDisabledTabsAndSortsWithoutAccelerators) {
  TuiCustomTabControl* c = NewTabControl(300, 100, {"&File", "Edit", "A&&B", "Hidden", "Off"}, 1);
  c->Tabs()->GetTab(3)->SetVisible(false);
  c->Tabs()->GetTab(4)->SetEnabled(false);
  TuiPCGoDialog dialog(c);
  dialog.Fill(false);
  EXPECT_EQ(Captions(&dialog), (std::vector<String>{"&File", "Edit", "A&&B"}));
  dialog.Fill(true);
  EXPECT_EQ(Captions(&dialog), (std::vector<String>{"A&&B", "Edit", "&File"}));
  std::vector<Integer> chosen;
  dialog.OnTabClick = [&](Integer ATabIndex) { chosen.push_back(ATabIndex); };
  dialog.Items()->Items(1)->Click();
  EXPECT_EQ(chosen, std::vector<Integer>{1});
}

TEST_F(GoDialogTest, ChoosingFromTheGoButtonMakesTheTabCurrent) {
  TuiCustomTabControl* c = NewTabControl(150, 100, {"One", "Two", "Three", "Four", "Five"}, 1);
  c->SetOptions(TuiPCOptions().Include(pcoGoDialog));
  TRect go;
  c->Painter()->GetGoDialogButtonBounds(go);
  ASSERT_FALSE(IsRectEmpty(&go));
  // In the menu: down three times to "Four", then Return.
  Display.Later([this] {
    for (int i = 0; i < 4; ++i) Display.Key(VK_DOWN);
    Display.Key(VK_RETURN);
  });
  Display.Click(At(c, (go.left + go.right) / 2, (go.top + go.bottom) / 2));
  Pump();
  EXPECT_FALSE(c->IsGoDialogShown());
  EXPECT_EQ(c->NavigatorButtonState(nbGoDialog), nbsNormal);
  EXPECT_EQ(c->TabIndex(), 3);
}

TEST_F(GoDialogTest, ImageListErrorsAndFreedImages) {
  TuiCustomTabControl* c = NewTabControl(300, 100, {"Caption A", "Caption B"}, 1);
  TBitmap target;
  target.SetSize(20, 20);
  try {
    c->ImageList()->Draw(target.Canvas(), 0, true, clBtnFace, 0, 0);
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "TuiPCImageList.Draw: BaseImages is not assigned");
  }
  TImageList* images = NewImages({clRed, clBlue});
  c->SetImages(images);
  try {
    c->ImageList()->Draw(target.Canvas(), 0, true, clBtnFace, 2, 0);
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "TuiPCImageList.Draw: Index (2) must be between 0 and 1");
  }
  // Tab n shows image n; the tabs grew by the image.
  EXPECT_EQ(c->GetImageIndex(1), 1);
  const Integer width = c->Tabs()->GetTab(0)->NormalWidth;
  FreeObject(images);
  EXPECT_EQ(c->Images(), nullptr);
  EXPECT_EQ(c->ImageList()->BaseImages(), nullptr);
  EXPECT_EQ(c->GetImageIndex(1), -1);
  EXPECT_LT(c->Tabs()->GetTab(0)->NormalWidth, width);
  c->Repaint();
  Pump();
}

TEST_F(GoDialogTest, ImagesAreDrawnOnTheTabsAndTurnedForVerticalCaptions) {
  TuiCustomTabControl* c = NewTabControl(300, 100, {"A", "B"}, 1);
  c->SetImages(NewImages({clRed, clBlue}));
  c->Repaint();
  Pump();
  auto* painter = static_cast<TuiPCStandardPainter*>(c->Painter());
  TRect image, text;
  painter->CalculateTabImageAndTextRects(1, image, text);
  const k58test::PixelReader pixels = k58test::ClientPixels(Display, c->Handle());
  EXPECT_EQ(k58test::CountColour(pixels, RECT{image.left, image.top, image.right, image.bottom}, ColorToRGB(clBlue)), 64);
  c->SetTabPosition(tpLeft);
  EXPECT_EQ(c->ImageList()->Rotation(), 1);
  EXPECT_EQ(c->ImageList()->GetRotatedImageSize().cx, 8);
  c->Repaint();
  Pump();
  painter->CalculateTabImageAndTextRects(1, image, text);
  EXPECT_EQ(k58test::CountColour(k58test::ClientPixels(Display, c->Handle()),
                                 RECT{image.left, image.top, image.right, image.bottom}, ColorToRGB(clBlue)),
            64);
}

TEST_F(GoDialogTest, SlantsLayOutOnlyForAChange) {
  auto* c = NewObject<TCountingTabControl>(Form);
  c->SetParent(Form);
  c->HandleNeeded();
  c->Layouts = 0;
  c->TabSlants()->SetKind(skSlant);
  EXPECT_EQ(c->Layouts, 0);
  c->TabSlants()->SetKind(skCutCorner);
  EXPECT_EQ(c->Layouts, 1);
  TuiTabSlants other;
  other.SetPositions(TuiTabSlantPositions().Include(spRight));
  c->SetTabSlants(&other);
  EXPECT_EQ(c->TabSlants()->Kind(), skSlant);
  EXPECT_EQ(c->TabSlants()->Positions(), TuiTabSlantPositions().Include(spRight));
}
