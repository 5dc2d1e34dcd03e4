// The base control's scroll bars with scripted scroll data (which bars show and how the recalculation
// settles), their places and the size grip; drag detection; the class library's drag started by a control;
// and middle-button scrolling driven through its modal loop on the manual clock. A picture of a control
// with both bars, the grip and the scrolling anchor is left in the gallery folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/controls/foundation/ControlTesting.h"

using namespace foundation_test;

namespace {

class ControlScrollBars : public ControlTest {
 protected:
  ControlScrollBars() {
    k58::gdi::SetSystemMetric(SM_CXVSCROLL, 16);
    k58::gdi::SetSystemMetric(SM_CYHSCROLL, 16);
  }
  static bool Shown(TuiControlScrollBar* ABar) { return ABar->IsControlVisible(); }
};

TEST_F(ControlScrollBars, WhichBarsShow) {
  struct Case {
    const char* Name;
    TScrollStyle ScrollBars;
    bool PixelScrolling;
    std::function<void(TTestControl*)> Describe;
    bool HShown, HEnabled, VShown, VEnabled;
    bool Settled = true;  // a second recalculation keeps the bars
  };
  const Case cases[] = {
      {"both needed", ssBoth, false,
       [](TTestControl* C) {
         C->SetScrollBarInfo(sbHorizontal, 0, 399, 1, 184, 0, true, true);
         C->SetScrollBarInfo(sbVertical, 0, 299, 1, 134, 0, true, true);
       },
       true, true, true, true},
      {"only vertical bars allowed", ssVertical, false,
       [](TTestControl* C) {
         C->SetScrollBarInfo(sbHorizontal, 0, 399, 1, 184, 0, true, true);
         C->SetScrollBarInfo(sbVertical, 0, 299, 1, 134, 0, true, true);
       },
       false, false, true, true},
      {"everything fits", ssBoth, false,
       [](TTestControl* C) {
         C->SetScrollBarInfo(sbHorizontal, 0, 99, 1, 200, 0, true, true);
         C->SetScrollBarInfo(sbVertical, 0, 99, 1, 150, 0, true, true);
       },
       false, false, false, false},
      {"fits, but may not hide: shown disabled", ssBoth, false,
       [](TTestControl* C) {
         C->SetScrollBarInfo(sbHorizontal, 0, 99, 1, 200, 0, true, false);
         C->SetScrollBarInfo(sbVertical, 0, 99, 1, 150, 0, true, true);
       },
       true, false, false, false},
      {"pages that fit once the other bar is gone, pixel scrolling: both hide", ssBoth, true,
       [](TTestControl* C) {
         C->SetScrollBarInfo(sbHorizontal, 0, 199, 1, 190, 0, true, true);
         C->SetScrollBarInfo(sbVertical, 0, 149, 1, 140, 0, true, true);
       },
       false, false, false, false},
      {"the same without pixel scrolling: both stay", ssBoth, false,
       [](TTestControl* C) {
         C->SetScrollBarInfo(sbHorizontal, 0, 199, 1, 190, 0, true, true);
         C->SetScrollBarInfo(sbVertical, 0, 149, 1, 140, 0, true, true);
       },
       true, true, true, true},
      {"a bar needed exactly while it is hidden: shown disabled", ssBoth, false,
       [](TTestControl* C) {
         C->SetScrollBarInfo(sbVertical, 0, 99, 1, C->VScrollBar()->IsControlVisible() ? 100 : 10, 0, true, true);
       },
       false, false, true, false, false},
      {"a vertical bar needed only while the horizontal one shows, a horizontal one only while the vertical "
       "one does not",
       ssBoth, false,
       [](TTestControl* C) {
         const bool h = C->HScrollBar()->IsControlVisible(), v = C->VScrollBar()->IsControlVisible();
         C->SetScrollBarInfo(sbVertical, 0, 99, 1, h ? 10 : 100, 0, true, true);
         C->SetScrollBarInfo(sbHorizontal, 0, 99, 1, v ? 100 : 10, 0, true, true);
       },
       false, false, true, false, false},
  };
  for (const Case& c : cases) {
    TTestControl* control = NewControl(10, 10, 200, 150);
    control->SetScrollBars(c.ScrollBars);
    control->PixelScrolling = c.PixelScrolling;
    control->Describe = c.Describe;
    control->RecalculateScrollBars();
    Pump();
    EXPECT_EQ(c.HShown, Shown(control->HScrollBar())) << c.Name;
    EXPECT_EQ(c.VShown, Shown(control->VScrollBar())) << c.Name;
    if (c.HShown) { EXPECT_EQ(c.HEnabled, control->HScrollBar()->Enabled()) << c.Name; }
    if (c.VShown) { EXPECT_EQ(c.VEnabled, control->VScrollBar()->Enabled()) << c.Name; }
    EXPECT_EQ(c.HShown && c.VShown, control->SizeGrip()->Visible()) << c.Name;
    if (c.Settled) {
      control->RecalculateScrollBars();
      EXPECT_EQ(c.HShown, Shown(control->HScrollBar())) << c.Name << " again";
      EXPECT_EQ(c.VShown, Shown(control->VScrollBar())) << c.Name << " again";
    }
    FreeObject(control);
  }
}

TEST_F(ControlScrollBars, BarsAndGripSitAtTheEdgesOfTheClientBounds) {
  TTestControl* control = NewControl(10, 10, 200, 150);
  control->Describe = [](TTestControl* C) {
    C->SetScrollBarInfo(sbHorizontal, 0, 399, 4, 184, 30, true, true);
    C->SetScrollBarInfo(sbVertical, 0, 299, 2, 134, 0, true, true);
  };
  control->RecalculateScrollBars();
  Pump();
  EXPECT_EQ((TRect{0, 0, 184, 134}), control->ClientBounds());
  EXPECT_EQ((TRect{0, 134, 184, 150}), control->HScrollBar()->BoundsRect());
  EXPECT_EQ((TRect{184, 0, 200, 134}), control->VScrollBar()->BoundsRect());
  EXPECT_EQ((TRect{184, 134, 200, 150}), control->SizeGrip()->BoundsRect());
  EXPECT_EQ(control, control->HScrollBar()->Parent());
  EXPECT_TRUE(control->IsOwnScrollBarPart(control->SizeGrip()));
  EXPECT_EQ(30, control->HScrollBar()->Position());
  EXPECT_EQ(4, control->HScrollBar()->SmallChange());
  EXPECT_EQ(184, control->HScrollBar()->LargeChange());
  // A new size moves them.
  control->SetBounds(10, 10, 260, 180);
  Pump();
  EXPECT_EQ((TRect{0, 164, 244, 180}), control->HScrollBar()->BoundsRect());
  EXPECT_EQ((TRect{244, 164, 260, 180}), control->SizeGrip()->BoundsRect());
  control->SetBounds(10, 10, 200, 150);
  Pump();
  // A click on a bar focuses the control and ends in ScrollContent.
  Display.Click(At(control->HScrollBar(), 176, 8));
  Pump();
  EXPECT_TRUE(control->Focused());
  ASSERT_FALSE(control->Scrolls.empty());
  EXPECT_EQ(sbHorizontal, control->Scrolls[0].Kind);
  EXPECT_EQ(scLineDown, control->Scrolls[0].Code);
  EXPECT_EQ(34, control->Scrolls[0].Pos);
  // While locked, a recalculation waits for the last unlock.
  control->Describe = [](TTestControl*) {};
  control->LockScrollBars();
  control->RecalculateScrollBars();
  EXPECT_TRUE(Shown(control->HScrollBar()));
  control->UnlockScrollBars();
  EXPECT_FALSE(Shown(control->HScrollBar()));
  EXPECT_FALSE(control->SizeGrip()->Visible());
}

TEST_F(ControlScrollBars, DetectDragAnswers) {
  TTestControl* control = NewControl(10, 10, 200, 150);
  const Integer threshold = Mouse->DragThreshold();
  const POINT p = At(control, 50, 50);
  struct Case {
    const char* Name;
    std::function<void()> Input;
    TuiDragDetect Answer;
  };
  const Case cases[] = {
      {"released within the square", [&] {
         Display.MoveTo(POINT{p.x + threshold - 1, p.y - threshold + 1});
         Display.Release(POINT{p.x + threshold - 1, p.y - threshold + 1});
       },
       ddNone},
      {"left the square", [&] { Display.MoveTo(POINT{p.x, p.y + threshold}); }, ddDrag},
      {"Esc", [&] { Display.KeyDown(VK_ESCAPE); }, ddCancel},
      {"the capture taken away", [&] {
         Display.Later([] { ReleaseCapture(); });
         Display.MoveTo(POINT{p.x + 1, p.y});
       },
       ddCancel},
  };
  for (const Case& c : cases) {
    Display.MoveTo(p);
    Pump();
    c.Input();
    EXPECT_EQ(c.Answer, DetectDrag(control->Handle())) << c.Name;
    EXPECT_EQ(nullptr, GetCapture()) << c.Name;
    Display.KeyUp(VK_ESCAPE);
    Pump();
  }
  // WM_QUIT ends the wait and is posted again for the outer loop.
  PostQuitMessage(7);
  EXPECT_EQ(ddCancel, DetectDrag(control->Handle()));
  MSG quit{};
  ASSERT_TRUE(PeekMessage(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(7u, quit.wParam);
}

TEST_F(ControlScrollBars, AnAutomaticDragStartsOnceTheMouseLeavesTheThreshold) {
  TTestControl* control = NewControl(10, 10, 200, 150);
  control->SetDragMode(dmAutomatic);
  TDragObject* seen = nullptr;
  TClass seenClass = nullptr;
  TCursor plain = crNone, copy = crNone;
  Display.Press(At(control, 50, 50));
  Display.MoveTo(At(control, 80, 50));
  Display.Later([&] {
    seen = DragObject();
    if (seen == nullptr) return;
    seenClass = seen->ClassType();
    plain = seen->GetDragCursor(true, 0, 0);
    Display.KeyDown(VK_CONTROL);  // the key state changes when the key is queued
    copy = seen->GetDragCursor(true, 0, 0);
    Display.KeyUp(VK_CONTROL);
  });
  Display.Release(At(control, 80, 50));
  Pump();
  ASSERT_NE(nullptr, seen);
  EXPECT_EQ(TuiDragControlObject::StaticClass(), seenClass);
  EXPECT_EQ(crDrag, plain);
  EXPECT_EQ(crUiDragCopy, copy);
  EXPECT_EQ(nullptr, DragObject());  // over, and the object freed with it

  // A control with drag images makes them for the drag and frees them after it.
  class TImaging : public TTestControl {
   public:
    explicit TImaging(TComponent* AOwner) : TTestControl(AOwner) {}
    bool HasDragImages() override { return true; }
    TPoint GetDragImageSize() override { return TPoint{12, 10}; }
    void DrawDragImage(TuiCanvas* ACanvas, const TRect& R) override { ACanvas->FillRectWithColor(R, clRed); }
  };
  auto* imaging = NewObject<TImaging>(Form);
  imaging->SetBounds(400, 200, 100, 100);
  imaging->SetParent(Form);
  imaging->SetDragMode(dmAutomatic);
  Pump();
  EXPECT_TRUE(imaging->ControlStyle().Contains(csDisplayDragImage));
  Integer images = 0, imageWidth = 0;
  Display.Advance(1000);
  Display.Press(At(imaging, 20, 20));
  Display.MoveTo(At(imaging, 60, 20));
  Display.Later([&] {
    if (TDragObject* drag = DragObject()) {
      if (TDragImageList* list = drag->GetDragImages()) {
        images = list->Count();
        imageWidth = list->Width();
      }
    }
  });
  Display.Release(At(imaging, 60, 20));
  Pump();
  EXPECT_EQ(1, images);
  EXPECT_EQ(12, imageWidth);
  EXPECT_EQ(nullptr, imaging->DragImages());

  // A control that refuses the drag object starts none.
  class TRefusing : public TTestControl {
   public:
    explicit TRefusing(TComponent* AOwner) : TTestControl(AOwner) {}
    bool AllowsDragStart(TDragObject*) override { return false; }
  };
  auto* refusing = new TRefusing(Form);
  refusing->SetBounds(250, 10, 100, 100);
  refusing->SetParent(Form);
  refusing->SetDragMode(dmAutomatic);
  Pump();
  bool dragging = true;
  Display.Advance(1000);
  Display.Press(At(refusing, 20, 20));
  Display.MoveTo(At(refusing, 60, 20));
  Display.Later([&] { dragging = DragObject() != nullptr; });
  Display.Release(At(refusing, 60, 20));
  Pump();
  EXPECT_FALSE(dragging);
}

class MiddleButtonScrolling : public ControlScrollBars {
 protected:
  // A control 300 x 300 at (100, 100) of the form with both bars; the anchor at its client (100, 60).
  TTestControl* NewScrolledControl(bool AHorizontal = true, bool AVertical = true) {
    TTestControl* control = NewControl(100, 100, 300, 300);
    control->Describe = [=](TTestControl* C) {
      if (AHorizontal) C->SetScrollBarInfo(sbHorizontal, 0, 999, 1, 200, 0, true, true);
      if (AVertical) C->SetScrollBarInfo(sbVertical, 0, 999, 1, 200, 0, true, true);
    };
    control->RecalculateScrollBars();
    control->SetOnMouseDown([this](TObject*, TMouseButton Button, TShiftState, Integer, Integer) {
      Downs.push_back(Button);
    });
    Pump();
    Anchor = At(control, 100, 60);
    return control;
  }
  void Ticks(Integer ACount) {
    for (Integer i = 0; i < ACount; ++i) Display.AdvanceLater(20);
  }
  // Records, in turn with the input, the scrolls so far.
  void Note(TTestControl* AControl) {
    Display.Later([this, AControl] { Noted.push_back(AControl->Scrolls.size()); });
  }
  POINT Anchor{};
  std::vector<TMouseButton> Downs;
  std::vector<size_t> Noted;
};

TEST_F(MiddleButtonScrolling, SpeedGrowsWithTheDistanceFromTheAnchor) {
  TTestControl* control = NewScrolledControl();
  HWND anchorWindow = nullptr;
  HCURSOR cursor = nullptr;
  Display.Press(Anchor, k58::winui::MouseButton::Middle);
  Display.Release(Anchor, k58::winui::MouseButton::Middle);  // a click without moving: the mode goes on
  Ticks(14);                                            // in the neutral zone: nothing scrolls
  Note(control);
  RECT anchorRect{};
  Display.Later([&] {
    anchorWindow = FindWindowEx(nullptr, nullptr, "Static", nullptr);
    if (anchorWindow != nullptr) GetWindowRect(anchorWindow, &anchorRect);
    const std::string gallery = K58_GALLERY_DIR;
    std::filesystem::create_directories(gallery);
    Display.SavePng(gallery + "/MiddleButtonScrolling.png");
  });
  Display.MoveTo(POINT{Anchor.x, Anchor.y + 40});  // speed 6: a line every 7 ticks
  Display.Later([&] { cursor = GetCursor(); });
  Ticks(14);
  Note(control);
  Display.MoveTo(POINT{Anchor.x, Anchor.y + 69});  // speed 12: a line every tick
  Ticks(14);
  Note(control);
  Display.MoveTo(POINT{Anchor.x - 100, Anchor.y + 10});  // farther sideways: horizontal, left
  Ticks(2);
  Note(control);
  Display.Click(POINT{Anchor.x - 100, Anchor.y + 10});  // a left click ends it and goes nowhere
  Pump();

  EXPECT_EQ((std::vector<size_t>{0, 2, 16, 18}), Noted);
  for (size_t i = 0; i < 16; ++i) {
    EXPECT_EQ(sbVertical, control->Scrolls[i].Kind);
    EXPECT_EQ(scLineDown, control->Scrolls[i].Code);
  }
  EXPECT_EQ(sbHorizontal, control->Scrolls[16].Kind);
  EXPECT_EQ(scLineUp, control->Scrolls[16].Code);
  EXPECT_EQ(Screen->Cursors(crUiDownScroll), cursor);
  ASSERT_NE(nullptr, anchorWindow);
  EXPECT_EQ((RECT{Anchor.x - 14, Anchor.y - 14, Anchor.x + 15, Anchor.y + 15}), anchorRect);  // 29 x 29, centred
  EXPECT_FALSE(IsWindow(anchorWindow));
  EXPECT_FALSE(control->IsMiddleButtonScrolling());
  EXPECT_EQ(std::vector<TMouseButton>{mbMiddle}, Downs);
  EXPECT_EQ(nullptr, GetCapture());
}

TEST_F(MiddleButtonScrolling, AMiddleReleaseAfterMovingOrEscEndsIt) {
  TTestControl* control = NewScrolledControl();
  bool runningAfterClick = false;
  Display.Press(Anchor, k58::winui::MouseButton::Middle);
  Display.MoveTo(POINT{Anchor.x + 60, Anchor.y});
  Display.Release(POINT{Anchor.x + 60, Anchor.y}, k58::winui::MouseButton::Middle);
  Pump();
  EXPECT_FALSE(control->IsMiddleButtonScrolling());
  Display.Advance(1000);
  Display.Press(Anchor, k58::winui::MouseButton::Middle);
  Display.Release(Anchor, k58::winui::MouseButton::Middle);
  Display.Later([&] { runningAfterClick = control->IsMiddleButtonScrolling(); });
  Display.KeyDown(VK_ESCAPE);
  Pump();
  Display.KeyUp(VK_ESCAPE);
  Pump();
  EXPECT_TRUE(runningAfterClick);
  EXPECT_FALSE(control->IsMiddleButtonScrolling());
  EXPECT_EQ(nullptr, GetCapture());
}

TEST_F(MiddleButtonScrolling, OnlyTheShownBarsDirectionsScroll) {
  // Only the horizontal bar: the neutral zone spans the screen's height, so moving down does nothing.
  TTestControl* control = NewScrolledControl(true, false);
  HCURSOR cursor = nullptr;
  Display.Press(Anchor, k58::winui::MouseButton::Middle);
  Display.Later([&] { cursor = GetCursor(); });
  Display.MoveTo(POINT{Anchor.x + 5, Anchor.y + 100});
  Ticks(13);
  Note(control);
  Display.MoveTo(POINT{Anchor.x + 80, Anchor.y + 100});
  Ticks(1);
  Note(control);
  Display.KeyDown(VK_ESCAPE);
  Pump();
  Display.KeyUp(VK_ESCAPE);
  Pump();
  EXPECT_EQ(Screen->Cursors(crUiHorScroll), cursor);
  EXPECT_EQ((std::vector<size_t>{0, 1}), Noted);
  ASSERT_EQ(1u, control->Scrolls.size());
  EXPECT_EQ(sbHorizontal, control->Scrolls[0].Kind);
  EXPECT_EQ(scLineDown, control->Scrolls[0].Code);
  // Without bars the middle button does nothing.
  TTestControl* bare = NewControl(450, 10, 100, 100);
  Display.Click(At(bare, 50, 50), k58::winui::MouseButton::Middle);
  Pump();
  EXPECT_FALSE(bare->IsMiddleButtonScrolling());
  EXPECT_TRUE(bare->Scrolls.empty());
}

}  // namespace
