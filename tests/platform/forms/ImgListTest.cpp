// Image lists: adding with masks and mask colours, drawing transparent, on a background, greyed, blended
// and as masks, editing by index, change links, free notification and form resources.
#include <gtest/gtest.h>

#include "GraphicsTesting.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/classes/FormText.h"
#include "platform/forms/ImgList.h"

namespace forms_test {

namespace {

using forms_test::At;
using forms_test::GraphicsTest;
using forms_test::MakeBitmap;

const std::map<TColor, char> kLegend{{clWhite, '.'}, {clBlack, '#'}, {clRed, 'R'},    {clBlue, 'B'},
                                     {clLime, 'G'},  {clYellow, 'Y'}, {clFuchsia, 'F'}};

// Three 4 x 4 images side by side: a 2 x 2 square of red, blue and lime at (1, 1) on fuchsia, and the mask
// that shows only the squares.
struct Strip {
  TObjectPtr<TBitmap> image = MakeBitmap(12, 4, clFuchsia);
  TObjectPtr<TBitmap> mask = MakeBitmap(12, 4, clWhite);
  Strip() {
    const TColor colors[3] = {clRed, clBlue, clLime};
    for (int i = 0; i < 3; ++i) {
      image->Canvas()->Brush()->SetColor(colors[i]);
      image->Canvas()->FillRect(Rect(i * 4 + 1, 1, i * 4 + 3, 3));
      mask->Canvas()->Brush()->SetColor(clBlack);
      mask->Canvas()->FillRect(Rect(i * 4 + 1, 1, i * 4 + 3, 3));
    }
    mask->SetMonochrome(true);
  }
};

class ImageListTest : public GraphicsTest {
 protected:
  TImageList list{4, 4};
  Strip strip;

  std::vector<std::string> Drawn(int index, TColor background = clWhite, bool enabled = true) {
    TObjectPtr<TBitmap> target = MakeBitmap(5, 5, background);
    list.Draw(target->Canvas(), 1, 1, index, enabled);
    return forms_test::Picture(target.get(), kLegend);
  }
};

TEST_F(ImageListTest, AddSplitsTheBitmapIntoImagesOfTheListsSize) {
  EXPECT_EQ(list.Add(strip.image.get(), strip.mask.get()), 0);
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Add(strip.image.get(), nullptr), 3);
  EXPECT_EQ(list.Count(), 6);
  EXPECT_EQ(list.Add(nullptr, nullptr), -1);
  TObjectPtr<TBitmap> small = MakeBitmap(3, 4);
  try {
    list.Add(small.get(), nullptr);
    FAIL() << "added";
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), "Invalid image size");
  }
  EXPECT_EQ(list.Count(), 6);

  // Through the mask; without one the whole image.
  EXPECT_EQ(forms_test::Join(Drawn(1)), forms_test::Join({".....", ".....", "..BB.", "..BB.", "....."}));
  EXPECT_EQ(forms_test::Join(Drawn(4)), forms_test::Join({".....", ".FFFF", ".FBBF", ".FBBF", ".FFFF"}));
  // An index outside the list draws nothing.
  EXPECT_EQ(forms_test::Join(Drawn(6)), forms_test::Join({".....", ".....", ".....", ".....", "....."}));
}

TEST_F(ImageListTest, AMaskColourMakesTheMask) {
  EXPECT_EQ(list.AddMasked(strip.image.get(), clFuchsia), 0);
  EXPECT_EQ(forms_test::Join(Drawn(2)), forms_test::Join({".....", ".....", "..GG.", "..GG.", "....."}));
  // clDefault: the colour of the bottom-left pixel; clNone: no mask.
  list.Clear();
  list.AddMasked(strip.image.get(), clDefault);
  EXPECT_EQ(forms_test::Join(Drawn(0)), forms_test::Join({".....", ".....", "..RR.", "..RR.", "....."}));
  list.Clear();
  list.AddMasked(strip.image.get(), clNone);
  EXPECT_EQ(forms_test::Join(Drawn(0)), forms_test::Join({".....", ".FFFF", ".FRRF", ".FRRF", ".FFFF"}));
  // A list that is not masked ignores masks.
  list.Clear();
  list.SetMasked(false);
  list.AddMasked(strip.image.get(), clFuchsia);
  EXPECT_EQ(forms_test::Join(Drawn(0)), forms_test::Join({".....", ".FFFF", ".FRRF", ".FRRF", ".FFFF"}));
}

TEST_F(ImageListTest, DrawingStylesAndImageTypes) {
  list.Add(strip.image.get(), strip.mask.get());
  // A background colour fills the transparent part, unless the style is transparent.
  list.SetBkColor(clYellow);
  EXPECT_EQ(forms_test::Join(Drawn(0)), forms_test::Join({".....", ".YYYY", ".YRRY", ".YRRY", ".YYYY"}));
  list.SetDrawingStyle(dsTransparent);
  EXPECT_EQ(forms_test::Join(Drawn(0)), forms_test::Join({".....", ".....", "..RR.", "..RR.", "....."}));

  // Selected: blended half with the highlight colour, on the background colour.
  TObjectPtr<TBitmap> target = MakeBitmap(5, 5);
  list.Draw(target->Canvas(), 0, 0, 0, dsSelected, itImage);
  const COLORREF highlight = ColorToRGB(clHighlight);
  const COLORREF expected = RGB((255 + GetRValue(highlight) + 1) / 2, (GetGValue(highlight) + 1) / 2,
                                (GetBValue(highlight) + 1) / 2);
  EXPECT_EQ(At(target.get(), 1, 1), static_cast<TColor>(expected));
  EXPECT_EQ(At(target.get(), 0, 0), clYellow);

  // The mask itself, in black and white.
  target = MakeBitmap(5, 5, clLime);
  list.Draw(target->Canvas(), 1, 1, 0, dsNormal, itMask);
  EXPECT_EQ(forms_test::Join(forms_test::Picture(target.get(), kLegend)),
            forms_test::Join({"GGGGG", "G....", "G.##.", "G.##.", "G...."}));
}

TEST_F(ImageListTest, DisabledImagesAreEmbossedInTheButtonColours) {
  // One black pixel on white, no mask.
  TObjectPtr<TBitmap> dot = MakeBitmap(4, 4);
  dot->Canvas()->SetPixels(1, 1, clBlack);
  list.Add(dot.get(), nullptr);
  TObjectPtr<TBitmap> target = MakeBitmap(6, 6, clLime);
  list.Draw(target->Canvas(), 1, 1, 0, false);
  const std::map<TColor, char> legend{{clLime, '.'},
                                      {static_cast<TColor>(ColorToRGB(clBtnHighlight)), 'H'},
                                      {static_cast<TColor>(ColorToRGB(clBtnShadow)), 'S'}};
  EXPECT_EQ(forms_test::Join(forms_test::Picture(target.get(), legend)),
            forms_test::Join({"......", "......", "..S...", "...H..", "......", "......"}));
}

TEST_F(ImageListTest, ImagesAreEditedByIndex) {
  list.Add(strip.image.get(), strip.mask.get());
  list.Move(0, 2);  // blue, lime, red
  EXPECT_EQ(Drawn(2)[2], "..RR.");
  list.Delete(0);  // lime, red
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(Drawn(0)[2], "..GG.");
  TObjectPtr<TBitmap> yellow = MakeBitmap(4, 4, clYellow);
  list.Replace(1, yellow.get(), nullptr);
  EXPECT_EQ(Drawn(1)[2], ".YYYY");
  list.InsertMasked(0, strip.image.get(), clFuchsia);  // red, blue, lime, lime, yellow
  EXPECT_EQ(list.Count(), 5);
  EXPECT_EQ(Drawn(4)[2], ".YYYY");
  list.ReplaceMasked(4, strip.image.get(), clFuchsia);
  EXPECT_EQ(Drawn(4)[2], "..RR.");

  struct Case {
    const char* name;
    std::function<void()> call;
  };
  for (const Case& c : {Case{"delete", [&] { list.Delete(5); }}, Case{"delete below", [&] { list.Delete(-1); }},
                        Case{"replace", [&] { list.Replace(5, yellow.get(), nullptr); }},
                        Case{"insert", [&] { list.Insert(6, yellow.get(), nullptr); }},
                        Case{"move", [&] { list.Move(0, 5); }}}) {
    SCOPED_TRACE(c.name);
    try {
      c.call();
      ADD_FAILURE() << "done";
    } catch (const EInvalidOperation& e) {
      EXPECT_EQ(e.Message(), "Invalid ImageList Index");
    }
    EXPECT_EQ(list.Count(), 5);
  }

  TBitmap copy;
  copy.SetSize(4, 4);
  copy.Canvas()->Brush()->SetColor(clBlack);
  copy.Canvas()->FillRect(Rect(0, 0, 4, 4));
  list.GetBitmap(1, &copy);
  EXPECT_EQ(forms_test::Join(forms_test::Picture(&copy, kLegend)), forms_test::Join({"####", "#BB#", "#BB#", "####"}));

  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  // A new size empties the list.
  list.Add(strip.image.get(), nullptr);
  list.SetWidth(2);
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(ImageListTest, ChangeLinksHearOfChangesOnce) {
  int linked = 0;
  int events = 0;
  TChangeLink link;
  link.SetOnChange(TNotifyEvent([&](TObject* sender) {
    EXPECT_EQ(sender, &list);
    ++linked;
  }));
  list.RegisterChanges(&link);
  list.SetOnChange(TNotifyEvent([&](TObject*) { ++events; }));
  EXPECT_EQ(link.Sender(), &list);
  list.Add(strip.image.get(), nullptr);
  EXPECT_EQ(linked, 1);
  EXPECT_EQ(events, 1);
  list.BeginUpdate();
  list.Add(strip.image.get(), nullptr);
  list.Delete(0);
  list.SetBkColor(clRed);
  EXPECT_EQ(linked, 1);
  list.EndUpdate();
  EXPECT_EQ(linked, 2);
  EXPECT_EQ(events, 2);

  // A link that is freed leaves the list.
  {
    TChangeLink shortLived;
    list.RegisterChanges(&shortLived);
  }
  list.Clear();
  EXPECT_EQ(linked, 3);
  list.UnRegisterChanges(&link);
  EXPECT_EQ(link.Sender(), nullptr);
  list.Clear();
  EXPECT_EQ(linked, 3);

  // A list that is freed leaves its links without a sender.
  TChangeLink orphan;
  {
    TImageList doomed(nullptr);
    doomed.RegisterChanges(&orphan);
  }
  EXPECT_EQ(orphan.Sender(), nullptr);
}

// A control that shows images: it follows the list by a change link and forgets it when the list is freed.
class TImageUser : public TComponent {
  K58_CLASS(TImageUser, TComponent)
  explicit TImageUser(TComponent* AOwner) : TComponent(AOwner) {
    link_.SetOnChange(TNotifyEvent([this](TObject*) { ++changes; }));
  }
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* Value) {
    if (images_) images_->UnRegisterChanges(&link_);
    images_ = Value;
    if (images_) {
      images_->RegisterChanges(&link_);
      images_->FreeNotification(this);
    }
  }
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == images_) images_ = nullptr;
  }
  int changes = 0;

 private:
  TCustomImageList* images_ = nullptr;
  TChangeLink link_;
};
K58_IMPLEMENT_CLASS(TImageUser) {}

TEST_F(ImageListTest, ControlsForgetAListThatIsFreed) {
  TImageUser user(nullptr);
  auto* images = new TImageList(nullptr);
  user.SetImages(images);
  images->Add(MakeBitmap(16, 16).get(), nullptr);
  EXPECT_EQ(user.changes, 1);
  FreeObject(images);
  EXPECT_EQ(user.Images(), nullptr);
}

TEST_F(ImageListTest, ImagesTravelInFormResources) {
  list.SetName("Images");
  list.SetBkColor(clYellow);
  list.Add(strip.image.get(), strip.mask.get());
  list.AddMasked(MakeBitmap(4, 4, clBlue).get(), clNone);
  const String text = WriteComponentToText(&list);
  EXPECT_EQ(text.rfind("object Images: TImageList\n  BkColor = clYellow\n  Height = 4\n  Width = 4\n  Bitmap = {", 0),
            0u)
      << text;

  TObjectPtr<TComponent> read(ReadComponentFromText(text, nullptr, "IMAGES"));
  auto* copy = dynamic_cast<TImageList*>(read.get());
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->Count(), 4);
  EXPECT_EQ(copy->Width(), 4);
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    TObjectPtr<TBitmap> a = MakeBitmap(4, 4, clWhite);
    TObjectPtr<TBitmap> b = MakeBitmap(4, 4, clWhite);
    list.Draw(a->Canvas(), 0, 0, i, dsTransparent, itImage);
    copy->Draw(b->Canvas(), 0, 0, i, dsTransparent, itImage);
    EXPECT_EQ(forms_test::Join(forms_test::Picture(a.get(), kLegend)),
              forms_test::Join(forms_test::Picture(b.get(), kLegend)));
  }
  EXPECT_EQ(WriteComponentToText(copy), text);
}

}  // namespace

}  // namespace forms_test
