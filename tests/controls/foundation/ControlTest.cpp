// The base control on a form of the test display: a control freed by its own handler, the focus rules of
// a click, the dialog codes of the wanted keys, Esc during the own drag-and-drop, the context menu, the
// wheel, the points of very wide controls, the painter border, the per-point cursor, the popup-menu
// property, font listeners and child components.
#include <gtest/gtest.h>

#include "tests/controls/foundation/ControlTesting.h"

using namespace foundation_test;

K58_IMPLEMENT_CLASS(TTestControl) {}

namespace {

// A popup that records where it was asked to show.
class TRecordingPopup : public TComponent, public IuiPopupMenu {
  K58_CLASS(TRecordingPopup, TComponent)

  explicit TRecordingPopup(TComponent* AOwner) : TComponent(AOwner) {}
  bool IsShortCut(TWMKey& Message) override { return Message.CharCode() == ShortCut; }
  void Popup(Integer X, Integer Y) override { Points.push_back(TPoint{X, Y}); }
  std::vector<TPoint> Points;
  Word ShortCut = 0;
};

// Records what the control's own drag-and-drop tells its object.
class TRecordingDragAndDrop : public TuiDragAndDropObject {
  K58_CLASS(TRecordingDragAndDrop, TuiDragAndDropObject)

  TRecordingDragAndDrop() = default;
  static std::vector<std::string>& Log() {
    static std::vector<std::string> log;
    return log;
  }
  static bool Immediate;
  bool GetImmediateStart() override { return Immediate; }
  void BeginDragAndDrop() override {
    Log().push_back("begin");
    TuiDragAndDropObject::BeginDragAndDrop();
  }
  void DragAndDrop(const TPoint& P, bool& AAccepted) override {
    Log().push_back("drag " + std::to_string(P.x) + "," + std::to_string(P.y));
    TuiDragAndDropObject::DragAndDrop(P, AAccepted);
  }
  void EndDragAndDrop(bool AAccepted) override { Log().push_back(AAccepted ? "end accepted" : "end cancelled"); }
};
bool TRecordingDragAndDrop::Immediate = false;

class TDraggingControl : public TTestControl {
  K58_CLASS(TDraggingControl, TTestControl)

  explicit TDraggingControl(TComponent* AOwner) : TTestControl(AOwner) {}
  TClass GetDragAndDropObjectClass() override { return TRecordingDragAndDrop::StaticClass(); }
};

// A control that paints its whole client area in one colour.
class TFilledControl : public TTestControl {
  K58_CLASS(TFilledControl, TTestControl)

  explicit TFilledControl(TComponent* AOwner) : TTestControl(AOwner) {}
  bool HasScrollBars() override { return false; }
  void Paint() override {
    TuiControl::Paint();
    Canvas()->FillRectWithColor(ClientRect(), clRed);
  }
  std::function<TCursor(Integer, Integer)> CursorAt;
  TCursor GetCursorAt(Integer X, Integer Y) override { return CursorAt ? CursorAt(X, Y) : TTestControl::GetCursorAt(X, Y); }
};

class TChild : public TuiControlChildComponent {
  K58_CLASS(TChild, TuiControlChildComponent)

  explicit TChild(TComponent* AOwner) : TuiControlChildComponent(AOwner) {}
  void Initialize() override { ++Initialized; }
  Integer Initialized = 0;
};

}  // namespace

K58_IMPLEMENT_CLASS(TRecordingPopup) {}
K58_IMPLEMENT_CLASS(TRecordingDragAndDrop) {}
K58_IMPLEMENT_CLASS(TDraggingControl) {}
K58_IMPLEMENT_CLASS(TFilledControl) {}
K58_IMPLEMENT_CLASS(TChild) {}

namespace {

using BaseControl = ControlTest;

TEST_F(BaseControl, AControlFreedByItsOwnMouseDownSkipsTheLaterSteps) {
  TTestControl* control = NewControl();
  bool freed = false;
  control->SetOnMouseDown([&](TObject* Sender, TMouseButton, TShiftState, Integer, Integer) {
    freed = true;
    FreeObject(Sender);  // the handler is freed with the control: nothing of it is used after this
  });
  // The press ends in the window procedure's last steps (focus notice, the pressed-button step) of a
  // control that no longer exists; they are skipped and its object link released.
  Display.Click(At(control, 20, 20));
  Pump();
  EXPECT_TRUE(freed);
  EXPECT_EQ(0, Form->ControlCount());
}

TEST_F(BaseControl, ClickFocusRules) {
  TTestControl* other = NewControl(300, 10, 100, 100);
  TTestControl* control = NewControl(10, 10, 200, 150);
  std::vector<std::string> downs;
  control->SetOnMouseDown([&](TObject*, TMouseButton, TShiftState Shift, Integer, Integer) {
    downs.push_back(Shift.Contains(ssDouble) ? "double" : "down");
  });
  struct Case {
    const char* Name;
    std::function<void()> Setup;
    std::function<void()> Act;
    bool ControlFocused;
    std::vector<std::string> Downs;
    bool Captured;
  };
  const Case cases[] = {
      {"click takes the focus", [] {}, [&] { Display.Press(At(control, 20, 20)); }, true, {"down"}, true},
      {"a double click leaves the focus where it is", [] {},
       [&] { SendMessage(control->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, 20)); }, false, {"double"},
       true},
      {"no focus on click at that point", [&] { control->FocusOnClickAt = false; },
       [&] { Display.Press(At(control, 20, 20)); }, false, {"down"}, true},
      {"a control that loses the focus at once does not take the press", [&] {
         control->SetOnEnter([&](TObject*) { other->SetFocus(); });
       },
       [&] { Display.Press(At(control, 20, 20)); }, false, {}, false},
  };
  for (const Case& c : cases) {
    other->SetFocus();
    Pump();
    downs.clear();
    control->FocusOnClickAt = true;
    control->SetOnEnter(TNotifyEvent());
    c.Setup();
    c.Act();
    Pump();
    EXPECT_EQ(c.ControlFocused, control->Focused()) << c.Name;
    EXPECT_EQ(c.Downs, downs) << c.Name;
    EXPECT_EQ(c.Captured, control->IsMousePressed()) << c.Name;
    Display.Release(At(control, 20, 20));
    Pump();
    ReleaseCapture();
    Display.Advance(1000);  // no double clicks between the cases
  }
  // The focus changes reached FocusStateChanged.
  EXPECT_NE(std::find(control->Events.begin(), control->Events.end(), "focus in"), control->Events.end());
  EXPECT_NE(std::find(control->Events.begin(), control->Events.end(), "focus out"), control->Events.end());
}

TEST_F(BaseControl, DialogCodesComeFromTheWantedKeys) {
  TTestControl* control = NewControl();
  struct Case {
    TuiWantedKeys Keys;
    bool Ctrl;
    LRESULT Code;
  };
  for (const Case& c : {Case{{}, false, 0}, Case{{wkTab}, false, DLGC_WANTTAB}, Case{{wkTab}, true, 0},
                        Case{{wkArrows}, false, DLGC_WANTARROWS}, Case{{wkChars}, true, DLGC_WANTCHARS},
                        Case{{wkAllKeys}, false, DLGC_WANTALLKEYS},
                        Case{{wkAllKeys, wkArrows, wkChars, wkTab}, false, 0x87},
                        Case{{wkAllKeys, wkArrows, wkChars, wkTab}, true, 0x85}}) {
    control->SetWantedKeys(c.Keys);
    if (c.Ctrl) Display.KeyDown(VK_CONTROL);
    Pump();
    EXPECT_EQ(c.Code, SendMessage(control->Handle(), WM_GETDLGCODE, 0, 0)) << c.Keys.Bits() << " ctrl " << c.Ctrl;
    if (c.Ctrl) Display.KeyUp(VK_CONTROL);
    Pump();
  }
  // Tab reaches a control that wants it instead of moving the focus.
  TTestControl* next = NewControl(300, 10, 100, 100);
  (void)next;
  Word lastKey = 0;
  control->SetOnKeyDown([&](TObject*, Word& Key, TShiftState) { lastKey = Key; });
  control->SetWantedKeys({wkTab});
  control->SetFocus();
  Pump();
  Display.Key(VK_TAB);
  Pump();
  EXPECT_EQ(VK_TAB, lastKey);
  EXPECT_TRUE(control->Focused());
}

TEST_F(BaseControl, TheOwnDragAndDropEndsByEscOrRelease) {
  auto* control = NewObject<TDraggingControl>(Form);
  control->SetBounds(10, 10, 200, 150);
  control->SetParent(Form);
  control->StartAt = [](const TPoint& P) { return P.x < 100; };
  std::vector<std::string> keys;
  control->SetOnKeyDown([&](TObject*, Word& Key, TShiftState) { keys.push_back(Key == VK_ESCAPE ? "Esc" : "key"); });
  Pump();
  auto& log = TRecordingDragAndDrop::Log();
  const Integer threshold = Mouse->DragThreshold();

  // Esc while pending: handled as a key of the control, nothing began, nothing accepted.
  log.clear();
  Display.Press(At(control, 20, 20));
  Pump();
  EXPECT_EQ(ddsStarting, control->DragAndDropState());
  EXPECT_TRUE(control->HasDragAndDropObject());
  Display.Key(VK_ESCAPE);
  Pump();
  EXPECT_EQ(ddsNone, control->DragAndDropState());
  EXPECT_FALSE(control->HasDragAndDropObject());
  EXPECT_EQ(std::vector<std::string>{"Esc"}, keys);
  EXPECT_TRUE(log.empty());
  Display.Release(At(control, 20, 20));
  Pump();

  // Moving past the threshold begins it; the release (which moves the mouse there first) accepts.
  log.clear();
  Display.Advance(1000);
  Display.Press(At(control, 20, 20));
  Display.MoveTo(At(control, 20 + threshold - 1, 20));
  Pump();
  EXPECT_EQ(ddsStarting, control->DragAndDropState());
  Display.MoveTo(At(control, 20 + threshold, 20));
  Display.MoveTo(At(control, 60, 30));
  Pump();
  EXPECT_EQ(ddsInProcess, control->DragAndDropState());
  Display.Release(At(control, 60, 30));
  Pump();
  EXPECT_EQ((std::vector<std::string>{"begin", "drag " + std::to_string(20 + threshold) + ",20", "drag 60,30",
                                      "drag 60,30", "end accepted"}),
            log);
  EXPECT_EQ(ddsNone, control->DragAndDropState());
  EXPECT_FALSE(control->MouseCapture());

  // Esc while dragging cancels; a press where no drag-and-drop may start starts none.
  log.clear();
  Display.Advance(1000);
  Display.Press(At(control, 20, 20));
  Display.MoveTo(At(control, 50, 50));
  Pump();
  Display.Key(VK_ESCAPE);
  Pump();
  EXPECT_EQ((std::vector<std::string>{"begin", "drag 50,50", "end cancelled"}), log);
  Display.Release(At(control, 50, 50));
  Display.Advance(1000);
  Display.Press(At(control, 150, 20));
  Pump();
  EXPECT_EQ(ddsNone, control->DragAndDropState());
  Display.Release(At(control, 150, 20));
  Pump();

  // An object that asks for an immediate start begins at the press.
  log.clear();
  TRecordingDragAndDrop::Immediate = true;
  Display.Advance(1000);
  Display.Press(At(control, 20, 20));
  Pump();
  EXPECT_EQ(ddsInProcess, control->DragAndDropState());
  Display.Release(At(control, 20, 20));
  Pump();
  TRecordingDragAndDrop::Immediate = false;
  EXPECT_EQ((std::vector<std::string>{"begin", "drag 20,20", "end accepted"}), log);
}

TEST_F(BaseControl, TheContextMenuPopsUpAtTheClickOrTheClientOrigin) {
  TTestControl* control = NewControl(10, 10, 200, 150);
  control->TWinControl::SetBorderWidth(6);  // a non-client border around the client area
  Pump();
  auto* popup = new TRecordingPopup(Form);
  control->SetPopupMenu(popup);
  ASSERT_EQ(popup, control->PopupMenu());
  EXPECT_EQ(nullptr, control->GetPopupMenu());  // the class library sees TPopupMenu only
  // The keyboard (-1, -1): the client area's origin on the screen.
  EXPECT_EQ(1, SendMessage(control->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(control->Handle()),
                           MAKELPARAM(-1, -1)));
  const TPoint origin = control->ClientToScreen(TPoint{0, 0});
  ASSERT_EQ(1u, popup->Points.size());
  EXPECT_EQ(origin, popup->Points[0]);
  // A right click in the client area: where it was.
  Display.Click(At(control, 30, 40), k58::winui::MouseButton::Right);
  Pump();
  ASSERT_EQ(2u, popup->Points.size());
  EXPECT_EQ(control->ClientToScreen(TPoint{30, 40}), popup->Points[1]);
  // On the border, outside the client area: the class library's handling (no menu of ours).
  const TPoint border{origin.x - 3, origin.y + 20};
  SendMessage(control->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(control->Handle()),
              MAKELPARAM(border.x, border.y));
  EXPECT_EQ(2u, popup->Points.size());
  // OnContextPopup may take it first.
  control->SetOnContextPopup([](TObject*, TPoint, bool& Handled) { Handled = true; });
  Display.Click(At(control, 30, 40), k58::winui::MouseButton::Right);
  Pump();
  EXPECT_EQ(2u, popup->Points.size());
}

TEST_F(BaseControl, PopupMenuAcceptsMenusOnlyAndForgetsAFreedOne) {
  TTestControl* control = NewControl();
  auto* plain = new TComponent(Form);
  control->SetPopupMenu(plain);
  EXPECT_EQ(nullptr, control->PopupMenu());
  auto* menu = new TPopupMenu(Form);
  control->SetPopupMenu(menu);
  EXPECT_EQ(menu, control->PopupMenu());
  EXPECT_EQ(menu, control->GetPopupMenu());
  FreeObject(menu);
  EXPECT_EQ(nullptr, control->PopupMenu());
  // A short cut of a parent control's popup is the control's too.
  auto* outer = NewControl(250, 10, 300, 300);
  auto* inner = NewObject<TTestControl>(Form);
  inner->SetBounds(10, 10, 100, 100);
  inner->SetParent(outer);
  auto* popup = new TRecordingPopup(Form);
  popup->ShortCut = VK_F5;
  outer->SetPopupMenu(popup);
  Pump();
  inner->SetFocus();
  Pump();
  Integer keys = 0;
  inner->SetOnKeyDown([&](TObject*, Word&, TShiftState) { ++keys; });
  Display.Key(VK_F5);
  Display.Key(VK_F6);
  Pump();
  EXPECT_EQ(1, keys);  // F5 went to the menu
}

TEST_F(BaseControl, APopupMenusHeightCountsItsVisibleItems) {
  auto* menu = new TPopupMenu(Form);
  const Integer empty = CalculatePopupMenuHeight(menu);
  EXPECT_EQ(4, empty);
  for (const char* caption : {"One", "Two", "Three"}) {
    auto* item = new TMenuItem(menu);
    item->SetCaption(caption);
    menu->Items()->Add(item);
  }
  const Integer three = CalculatePopupMenuHeight(menu);
  const Integer line = (three - 4) / 3;
  EXPECT_GT(line, 4);
  menu->Items()->Items(1)->SetVisible(false);
  EXPECT_EQ(4 + 2 * line, CalculatePopupMenuHeight(menu));
  // Owner-drawn items report their own heights.
  menu->SetOwnerDraw(true);
  for (Integer i = 0; i < 3; ++i)
    menu->Items()->Items(i)->SetOnMeasureItem([](TObject*, TCanvas*, Integer&, Integer& Height) { Height = 25; });
  EXPECT_EQ(4 + 2 * 25, CalculatePopupMenuHeight(menu));
}

TEST_F(BaseControl, TheWheelScrollsLinesWhenTheControlAsksForIt) {
  TTestControl* control = NewControl();
  control->SetFocus();
  Pump();
  struct Case {
    const char* Name;
    TuiWheelScrollKind Kind;
    Integer Notches;
    Integer Lines;
    TScrollBarKind Bar;
    TScrollCode Code;
  };
  Mouse->SetWheelScrollLines(5);
  for (const Case& c : {Case{"no wheel scrolling", wskNone, 1, 0, sbVertical, scLineUp},
                        Case{"vertical, forward", wskVertical, 1, 5, sbVertical, scLineUp},
                        Case{"vertical, backward", wskVertical, -1, 5, sbVertical, scLineDown},
                        Case{"horizontal, forward", wskHorizontal, 1, 5, sbHorizontal, scLineUp},
                        Case{"horizontal, backward", wskHorizontal, -1, 5, sbHorizontal, scLineDown}}) {
    control->UseDefaultWheel = false;
    control->Wheel = c.Kind;
    control->Scrolls.clear();
    Display.Wheel(At(control, 50, 50), c.Notches);
    Pump();
    ASSERT_EQ(static_cast<size_t>(c.Lines), control->Scrolls.size()) << c.Name;
    for (const auto& s : control->Scrolls) {
      EXPECT_EQ(c.Bar, s.Kind) << c.Name;
      EXPECT_EQ(c.Code, s.Code) << c.Name;
    }
  }
  Mouse->SetWheelScrollLines(-1);
  // The base answer: vertical while the vertical bar shows, nothing with only the horizontal one.
  control->UseDefaultWheel = true;
  control->Describe = [](TTestControl* C) { C->SetScrollBarInfo(sbHorizontal, 0, 999, 1, 100, 0, true, true); };
  control->RecalculateScrollBars();
  control->Scrolls.clear();
  Display.Wheel(At(control, 50, 50), 1);
  Pump();
  EXPECT_TRUE(control->Scrolls.empty());
  control->Describe = [](TTestControl* C) { C->SetScrollBarInfo(sbVertical, 0, 999, 1, 100, 0, true, true); };
  control->RecalculateScrollBars();
  Display.Wheel(At(control, 50, 50), 1);
  Pump();
  EXPECT_EQ(static_cast<size_t>(Mouse->WheelScrollLines()), control->Scrolls.size());
}

TEST_F(BaseControl, AVeryWideControlTakesMousePointsFromTheCursor) {
  for (Integer width : {200, 40000}) {
    TTestControl* control = NewControl(10, 10, width, 100);
    Display.MoveTo(At(control, 120, 30));
    Pump();
    control->PressedPoints.clear();
    // The packed coordinates say (5, 6); the cursor is at (120, 30).
    SendMessage(control->Handle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 6));
    ASSERT_EQ(1u, control->PressedPoints.size());
    EXPECT_EQ(width > 32768 ? TPoint(120, 30) : TPoint(5, 6), control->PressedPoints[0]) << width;
    SendMessage(control->Handle(), WM_RBUTTONUP, 0, MAKELPARAM(5, 6));
    FreeObject(control);
  }
}

TEST_F(BaseControl, ThePainterBorderClipsWhatTheControlPaints) {
  auto* control = NewObject<TFilledControl>(Form);
  control->SetBounds(10, 10, 100, 80);
  control->SetParent(Form);
  Pump();
  const auto pixel = [&](Integer X, Integer Y) { return Display.ClientPixel(control->Handle(), POINT{X, Y}); };
  EXPECT_EQ(0, control->BorderWidth());
  EXPECT_EQ(clRed, static_cast<TColor>(pixel(0, 0)));
  control->SetBorderStyle(uicbsDefault);
  control->Invalidate();
  Pump();
  const Integer border = control->BorderWidth();
  ASSERT_GT(border, 0);
  EXPECT_EQ((TRect{border, border, 100 - border, 80 - border}), control->ClientBounds());
  EXPECT_NE(clRed, static_cast<TColor>(pixel(0, 0)));
  EXPECT_NE(clRed, static_cast<TColor>(pixel(99, 79)));
  EXPECT_EQ(clRed, static_cast<TColor>(pixel(border, border)));
  EXPECT_EQ(clRed, static_cast<TColor>(pixel(99 - border, 79 - border)));
  // The background is never erased first.
  HDC dc = GetDC(control->Handle());
  EXPECT_EQ(1, SendMessage(control->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0));
  ReleaseDC(control->Handle(), dc);
}

TEST_F(BaseControl, ThePerPointCursorLeavesTheControlsOwnCursor) {
  auto* control = NewObject<TFilledControl>(Form);
  control->SetBounds(10, 10, 200, 100);
  control->SetParent(Form);
  control->SetCursor(crHandPoint);
  control->CursorAt = [&](Integer X, Integer) { return X < 50 ? crCross : control->TTestControl::GetCursorAt(0, 0); };
  Pump();
  Display.MoveTo(At(control, 20, 20));
  Pump();
  EXPECT_EQ(crCross, control->Cursor());
  Display.MoveTo(At(control, 120, 20));
  Pump();
  EXPECT_EQ(crHandPoint, control->Cursor());
}

TEST_F(BaseControl, FontListenersHearEveryFontChange) {
  TTestControl* control = NewControl();
  std::vector<Integer> sizes;
  TuiControl::TFontListener listener([&](TObject* Sender, TFont* AFont) {
    EXPECT_EQ(control, Sender);
    sizes.push_back(AFont->Size());
  });
  control->AddFontListener(listener);
  control->Font()->SetSize(14);
  control->Font()->SetSize(9);
  control->RemoveFontListener(listener);
  control->Font()->SetSize(11);
  EXPECT_EQ((std::vector<Integer>{14, 9}), sizes);
}

TEST_F(BaseControl, AChildComponentBelongsToItsControl) {
  TTestControl* control = NewControl();
  TuiControlChildComponent* child = TuiControlChildComponent::CreateForControl(TChild::StaticClass(), control, true);
  EXPECT_EQ(Form, child->Owner());
  EXPECT_EQ(control, child->Control());
  EXPECT_EQ(control, child->GetParentComponent());
  EXPECT_TRUE(child->HasParent());
  EXPECT_EQ(1, static_cast<TChild*>(child)->Initialized);
  // Given another control as parent (as a form resource does), that control takes it.
  TTestControl* other = NewControl(300, 10, 50, 50);
  child->SetParentComponent(other);
  EXPECT_EQ(other, child->Control());
  FreeObject(child);
  TuiControlChildComponent* ownerless = TuiControlChildComponent::CreateForControl(TChild::StaticClass(), control, false);
  EXPECT_EQ(nullptr, ownerless->Owner());
  FreeObject(ownerless);
  EXPECT_THROW(TuiControlChildComponent::CreateForControl(TComponent::StaticClass(), control, false), EInvalidCast);
}

}  // namespace
