// Panels (client area inside the bevels, children disabled with the panel), images (where the picture goes,
// sizing to it, drawing on it), shapes and splitters (dragging resizes the neighbour within its limits).
#include "StdCtlTesting.h"

#include "platform/forms/ComCtrls.h"
#include "platform/forms/ExtCtrls.h"

namespace forms_test {
namespace {

class ExtCtrlsTest : public FormTest {};

TEST_F(ExtCtrlsTest, APanelsChildrenStayInsideItsFrameAndAreDisabledWithIt) {
  TForm* form = NewForm();
  auto* panel = Make<TPanel>(form, 10, 10, 200, 120);
  panel->SetBevelOuter(bvRaised);
  panel->SetBevelInner(bvLowered);
  panel->SetBevelWidth(2);
  panel->SetBorderWidth(3);
  auto* inner = Make<TPanel>(panel, 0, 0);
  inner->SetAlign(alClient);
  auto* button = Make<TButton>(inner, 10, 10);
  Recorder r;
  button->SetOnClick(r.Note("click"));
  ShowForm(form);
  EXPECT_EQ(inner->Left(), 7);
  EXPECT_EQ(inner->Top(), 7);
  EXPECT_EQ(inner->Width(), 200 - 14);
  EXPECT_EQ(inner->Height(), 120 - 14);
  Click(button);
  EXPECT_EQ(r.Count("click"), 1);
  panel->SetEnabled(false);
  Click(button);
  EXPECT_EQ(r.Count("click"), 1);
  EXPECT_TRUE(button->Enabled());  // its own state stays
  panel->SetEnabled(true);
  Click(button);
  EXPECT_EQ(r.Count("click"), 2);
}

TEST_F(ExtCtrlsTest, AnImagePlacesItsPictureByCenterStretchAndProportional) {
  TForm* form = NewForm();
  auto* image = Make<TImage>(form, 10, 10, 100, 100);
  TObjectPtr<TBitmap> small(new TBitmap), large(new TBitmap);
  small->SetWidth(40);
  small->SetHeight(20);
  large->SetWidth(200);
  large->SetHeight(100);
  struct Case {
    const char* Name;
    TBitmap* Picture;
    bool Center, Stretch, Proportional;
    TRect Dest;
  } cases[] = {
      {"as it is", small.get(), false, false, false, {0, 0, 40, 20}},
      {"centred", small.get(), true, false, false, {30, 40, 70, 60}},
      {"stretched", small.get(), false, true, false, {0, 0, 100, 100}},
      {"stretched keeping its shape", small.get(), false, true, true, {0, 0, 100, 50}},
      {"proportional never enlarges", small.get(), false, false, true, {0, 0, 40, 20}},
      {"proportional shrinks", large.get(), false, false, true, {0, 0, 100, 50}},
      {"proportional and centred", large.get(), true, false, true, {0, 25, 100, 75}},
      {"larger, as it is", large.get(), false, false, false, {0, 0, 200, 100}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    image->Picture()->SetBitmap(c.Picture);
    image->SetCenter(c.Center);
    image->SetStretch(c.Stretch);
    image->SetProportional(c.Proportional);
    TRect r = image->DestRect();
    EXPECT_EQ(r.left, c.Dest.left);
    EXPECT_EQ(r.top, c.Dest.top);
    EXPECT_EQ(r.right, c.Dest.right);
    EXPECT_EQ(r.bottom, c.Dest.bottom);
  }
  // AutoSize takes the picture's size.
  image->SetAutoSize(true);
  image->Picture()->SetBitmap(small.get());
  EXPECT_EQ(image->Width(), 40);
  EXPECT_EQ(image->Height(), 20);
}

TEST_F(ExtCtrlsTest, DrawingOnAnEmptyImageMakesABitmapOfItsSizeThatIsShown) {
  TForm* form = NewForm();
  auto* image = Make<TImage>(form, 10, 10, 30, 20);
  auto* shape = Make<TShape>(form, 100, 10, 40, 40);
  shape->Brush()->SetColor(clYellow);
  image->Canvas()->Brush()->SetColor(clBlue);
  image->Canvas()->FillRect(TRect{0, 0, 30, 20});
  EXPECT_EQ(image->Picture()->Width(), 30);
  EXPECT_EQ(image->Picture()->Height(), 20);
  ShowForm(form);
  EXPECT_EQ(Pixel(image, 15, 10), clBlue);
  EXPECT_EQ(Pixel(shape, 20, 20), clYellow);
  // A picture of another kind cannot be drawn on.
  TObjectPtr<TIcon> icon(new TIcon);
  image->Picture()->SetIcon(icon.get());
  EXPECT_THROW(image->Canvas(), EInvalidOperation);
}

TEST_F(ExtCtrlsTest, DraggingASplitterResizesItsNeighbourWithinTheLimits) {
  TForm* form = NewForm(400, 200);
  auto* left = Make<TPanel>(form, 0, 0, 100, 200);
  left->SetAlign(alLeft);
  auto* splitter = Make<TSplitter>(form, 100, 0);
  auto* rest = Make<TPanel>(form, 110, 0);
  rest->SetAlign(alClient);
  Recorder r;
  splitter->SetOnMoved(r.Note("moved"));
  ShowForm(form);
  ASSERT_EQ(splitter->Left(), 100);
  EXPECT_EQ(splitter->FindControl(), left);
  auto drag = [&](int dx) {
    POINT from = At(splitter);
    D->Press(from);
    D->MoveTo(POINT{from.x + dx / 2, from.y});
    D->MoveTo(POINT{from.x + dx, from.y});
    D->Release(POINT{from.x + dx, from.y});
    Pump();
  };
  drag(50);
  EXPECT_EQ(left->Width(), 150);
  EXPECT_EQ(splitter->Left(), 150);
  EXPECT_EQ(r.Count("moved"), 1);
  // The rest of the parent keeps MinSize; the control keeps MinSize unless it snaps shut.
  drag(1000);
  EXPECT_EQ(left->Width(), 400 - splitter->Width() - splitter->MinSize());
  drag(-(left->Width() - 20));
  EXPECT_EQ(left->Width(), splitter->MinSize());
  EXPECT_EQ(r.Count("moved"), 3);
  drag(-25);
  EXPECT_FALSE(left->Visible());
  // A press that does not move changes nothing.
  left->SetVisible(true);
  left->SetWidth(100);
  Pump();
  r.Calls.clear();
  drag(0);
  EXPECT_EQ(r.Count("moved"), 0);
}

}  // namespace
}  // namespace forms_test

namespace forms_test {
namespace {

class ScrollAndUpDownTest : public FormTest {};

TEST_F(ScrollAndUpDownTest, AScrollBoxShowsItsBarsForChildrenBeyondItsClientArea) {
  TForm* form = NewForm();
  auto* box = Make<TScrollBox>(form, 10, 10, 120, 100);
  auto* near = Make<TButton>(box, 5, 5);
  ShowForm(form);
  EXPECT_FALSE(box->VertScrollBar()->IsScrollBarVisible());
  auto* far = Make<TButton>(box, 5, 300);
  Pump();
  EXPECT_TRUE(box->VertScrollBar()->IsScrollBarVisible());
  EXPECT_GE(box->VertScrollBar()->Range(), far->Top() + far->Height());
  // Scrolling moves the children.
  box->VertScrollBar()->SetPosition(100);
  EXPECT_EQ(near->Top(), 5 - 100);
}

TEST_F(ScrollAndUpDownTest, UpDownButtonsStepThePositionShownInTheirAssociate) {
  TForm* form = NewForm();
  auto* edit = Make<TEdit>(form, 10, 10, 60);
  auto* updown = Make<TUpDown>(form, 0, 0);
  updown->SetMin(0);
  updown->SetMax(3);
  updown->SetPosition(2);
  updown->SetAssociate(edit);
  std::vector<TUDBtnType> clicks;
  updown->SetOnClick(TUDClickEvent([&](TObject*, TUDBtnType Button) { clicks.push_back(Button); }));
  ShowForm(form);
  EXPECT_EQ(updown->Left(), edit->Left() + edit->Width());
  EXPECT_EQ(edit->Text(), "2");
  Click(updown, updown->Width() / 2, 3);  // the upper arrow
  EXPECT_EQ(updown->Position(), 3);
  EXPECT_EQ(edit->Text(), "3");
  Click(updown, updown->Width() / 2, 3);  // at the end without Wrap: stays
  EXPECT_EQ(updown->Position(), 3);
  Click(updown, updown->Width() / 2, updown->Height() - 3);
  EXPECT_EQ(updown->Position(), 2);
  EXPECT_EQ(edit->Text(), "2");
  ASSERT_GE(clicks.size(), 2u);
  EXPECT_EQ(clicks.front(), btNext);
  EXPECT_EQ(clicks.back(), btPrev);
  updown->SetPosition(10);  // kept within the range
  EXPECT_EQ(updown->Position(), 3);
}

}  // namespace
}  // namespace forms_test
