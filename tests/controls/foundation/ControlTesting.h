// Test helpers of the base control: a form on the pinned test display with the units running, a pump
// that also runs the application's message handling (so keys reach controls as CN_ messages first),
// screen points of a control's client area, and a control whose scroll data, scrolling and drag-and-drop
// answers are scripted by the test.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "controls/foundation/uiControls.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/win/ui/UiInternal.h"
#include "tests/common/Display.h"
#include "tests/common/Messages.h"
#include "tests/controls/foundation/FoundationTesting.h"

namespace foundation_test {

// A TuiControl whose scroll data come from Describe and whose scroll requests are recorded.
class TTestControl : public TuiControl {
  K58_CLASS(TTestControl, TuiControl)

  explicit TTestControl(TComponent* AOwner) : TuiControl(AOwner) {}

  struct ScrollCall {
    TScrollBarKind Kind;
    TScrollCode Code;
    Integer Pos;
  };
  std::vector<ScrollCall> Scrolls;
  // Describes the bars (SetScrollBarInfo) in every pass of the calculation.
  std::function<void(TTestControl*)> Describe;
  bool PixelScrolling = false;
  TuiWheelScrollKind Wheel = wskNone;
  bool UseDefaultWheel = true;
  bool FocusOnClickAt = true;
  std::function<bool(const TPoint&)> StartAt;
  // Called at the start of MouseDown, before the base handling.
  std::function<void()> OnBeforeMouseDownHandling;
  std::vector<std::string> Events;
  std::vector<TPoint> PressedPoints;

  void CalculateScrollData() override {
    if (Describe) Describe(this);
  }
  bool IsPixelScrolling(TScrollBarKind) override { return PixelScrolling; }
  void ScrollContent(TScrollBarKind AKind, TScrollCode ACode, Integer& APos) override {
    Scrolls.push_back(ScrollCall{AKind, ACode, APos});
  }
  TuiWheelScrollKind WheelScrollKind() override { return UseDefaultWheel ? TuiControl::WheelScrollKind() : Wheel; }
  bool TakesFocusOnClickAt(Integer X, Integer Y) override {
    return FocusOnClickAt && TuiControl::TakesFocusOnClickAt(X, Y);
  }
  bool StartDragAndDropAt(const TPoint& P) override { return StartAt ? StartAt(P) : false; }
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override {
    if (OnBeforeMouseDownHandling) OnBeforeMouseDownHandling();
    TuiControl::MouseDown(Button, Shift, X, Y);
  }
  void MouseButtonPressed(TMouseButton AButton, Integer X, Integer Y) override {
    PressedPoints.push_back(TPoint{X, Y});
    TuiControl::MouseButtonPressed(AButton, X, Y);
  }
  void FocusStateChanged() override {
    Events.push_back(IsFocused() ? "focus in" : "focus out");
    TuiControl::FocusStateChanged();
  }
  Integer CountScrolls(TScrollCode ACode) const {
    Integer n = 0;
    for (const ScrollCall& s : Scrolls) n += s.Code == ACode ? 1 : 0;
    return n;
  }
};

// The units, a shown form at (40, 40) with its client area 600 x 400, and a pump.
class ControlTest : public FoundationTest {
 protected:
  ControlTest() {
    Form = NewObject<TForm>(nullptr, 0);
    Form->SetBounds(40, 40, 640, 460);
    Form->Show();
    Pump();
  }
  ~ControlTest() override {
    FreeObject(Form);
    k58::winui::ResetWindowSystemState();
  }

  // A test control on the form at (ALeft, ATop) of the given size, its window made.
  TTestControl* NewControl(Integer ALeft = 10, Integer ATop = 10, Integer AWidth = 200, Integer AHeight = 150) {
    auto* control = NewObject<TTestControl>(Form);
    control->SetBounds(ALeft, ATop, AWidth, AHeight);
    control->SetParent(Form);
    control->HandleNeeded();
    Pump();
    return control;
  }

  void Pump() {
    for (int round = 0; round < 1000; ++round) {
      Application->ProcessMessages();
      if (!k58::winui::RawPending()) {
        MSG m;
        if (!PeekMessage(&m, nullptr, 0, 0, PM_NOREMOVE)) break;
      }
    }
  }
  // Moves the clock and handles what became due.
  void Wait(DWORD Milliseconds) {
    Display.Advance(Milliseconds);
    Pump();
  }
  // A point of a control's client area on the screen.
  static POINT At(TControl* AControl, Integer X, Integer Y) {
    const TPoint p = AControl->ClientToScreen(TPoint{X, Y});
    return POINT{p.x, p.y};
  }

  TForm* Form = nullptr;
};

}  // namespace foundation_test
