// Speed buttons (groups, clicks, their plain look) and bit buttons (glyph beside the caption), and the
// placement of glyph and caption they share.
#include "StdCtlTesting.h"

#include "platform/forms/Buttons.h"

namespace forms_test {
namespace {

TEST(ButtonPlacement, GlyphAndCaptionAreCentredAsOneBlock) {
  const TRect client{0, 0, 100, 40};
  struct Case {
    TButtonLayout Layout;
    Integer Spacing;
    TPoint Glyph;
    TRect Text;
  } cases[] = {
      {blGlyphLeft, 4, {31, 12}, {51, 14, 69, 26}},
      {blGlyphRight, 4, {53, 12}, {31, 14, 49, 26}},
      {blGlyphTop, 2, {42, 5}, {41, 23, 59, 35}},
      {blGlyphBottom, 2, {42, 19}, {41, 5, 59, 17}},
  };
  for (const Case& c : cases) {
    auto p = k58::forms::PlaceGlyphAndCaption(client, TSize{16, 16}, TSize{18, 12}, c.Layout, c.Spacing);
    EXPECT_EQ(p.Glyph.x, c.Glyph.x) << c.Layout;
    EXPECT_EQ(p.Glyph.y, c.Glyph.y) << c.Layout;
    EXPECT_EQ(p.Text.left, c.Text.left) << c.Layout;
    EXPECT_EQ(p.Text.top, c.Text.top) << c.Layout;
  }
  // Without a caption the glyph alone is centred: no spacing.
  auto alone = k58::forms::PlaceGlyphAndCaption(client, TSize{16, 16}, TSize{0, 0}, blGlyphLeft, 4);
  EXPECT_EQ(alone.Glyph.x, 42);
}

class GlyphButtonsTest : public FormTest {};

TEST_F(GlyphButtonsTest, SpeedButtonsOfAGroupAreDownOneAtATime) {
  TForm* form = NewForm(200, 100);
  auto* a = Make<TSpeedButton>(form, 10, 10, 30, 25);
  auto* b = Make<TSpeedButton>(form, 50, 10, 30, 25);
  a->SetGroupIndex(1);
  b->SetGroupIndex(1);
  int clicks = 0;
  b->SetOnClick(TNotifyEvent([&](TObject*) { ++clicks; }));
  ShowForm(form);
  Click(a);
  EXPECT_TRUE(a->Down());
  Click(b);
  EXPECT_TRUE(b->Down());
  EXPECT_FALSE(a->Down());
  EXPECT_EQ(clicks, 1);
  Click(b);
  EXPECT_TRUE(b->Down()) << "the last one stays down without AllowAllUp";
  b->SetAllowAllUp(true);
  Click(b);
  EXPECT_FALSE(b->Down());
  // Without a group a button never stays down.
  a->SetGroupIndex(0);
  a->SetDown(true);
  EXPECT_FALSE(a->Down());
}

TEST_F(GlyphButtonsTest, SpeedAndBitButtonsShowTheirGlyph) {
  TForm* form = NewForm(200, 100);
  TBitmap strip;
  strip.SetSize(16, 8);  // two glyphs of 8 x 8: red (up), blue (disabled)
  strip.Canvas()->Brush()->SetColor(clRed);
  strip.Canvas()->FillRect(TRect{0, 0, 8, 8});
  strip.Canvas()->Brush()->SetColor(clBlue);
  strip.Canvas()->FillRect(TRect{8, 0, 16, 8});
  strip.Canvas()->SetPixels(0, 7, clLime);
  strip.Canvas()->SetPixels(8, 7, clLime);
  auto* speed = Make<TSpeedButton>(form, 10, 10, 30, 30);
  speed->SetNumGlyphs(2);
  speed->SetGlyph(&strip);
  auto* bit = Make<TBitBtn>(form, 60, 10, 30, 30);
  bit->SetNumGlyphs(2);
  bit->SetGlyph(&strip);
  ShowForm(form);
  auto count = [&](TControl* c, TColor colour) {
    int n = 0;
    for (int y = c->Top(); y < c->Top() + c->Height(); ++y)
      for (int x = c->Left(); x < c->Left() + c->Width(); ++x)
        n += D->ClientPixel(form->Handle(), POINT{x, y}) == ColorToRGB(colour);
    return n;
  };
  EXPECT_GT(count(speed, clRed), 40);
  EXPECT_GT(count(bit, clRed), 40);
  speed->SetEnabled(false);
  bit->SetEnabled(false);
  Pump();
  EXPECT_EQ(count(speed, clRed), 0);
  EXPECT_GT(count(speed, clBlue), 40) << "the disabled section";
  EXPECT_GT(count(bit, clBlue), 40);
}

}  // namespace
}  // namespace forms_test
