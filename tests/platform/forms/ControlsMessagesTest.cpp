// The message path of controls: a replaced WindowProc, the default handling down to the window class's own
// procedure, windows made again with their state, painting into a given DC and double buffering, mouse
// enter and leave, the wheel, the context menu and the mouse capture of graphic controls.
#include <gtest/gtest.h>

#include "FormsTestControls.h"
#include "FormsTesting.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/rtl/SysUtils.h"

namespace forms_test {

namespace {

using forms_test::FormsTest;

// A window class of the system's kind: its procedure answers WM_GETDLGCODE and counts what reaches it.
int classProcCalls = 0;
std::vector<UINT> classProcMessages;
LRESULT CALLBACK NativeProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  ++classProcCalls;
  classProcMessages.push_back(Msg);
  if (Msg == WM_GETDLGCODE) return DLGC_WANTALLKEYS | DLGC_WANTCHARS;
  if (Msg == WM_USER + 7) return 77;
  return DefWindowProc(Wnd, Msg, WParam, LParam);
}

void RegisterNativeClass() {
  WNDCLASS cls;
  if (GetClassInfo(nullptr, "K58NATIVETEST", &cls)) return;
  cls = WNDCLASS();
  cls.lpfnWndProc = NativeProc;
  cls.style = CS_DBLCLKS;
  cls.lpszClassName = "K58NATIVETEST";
  RegisterClass(&cls);
}

}  // namespace

// A control over the system class, as the standard controls are made.
class TNativeOver : public TWinControl {
  K58_CLASS(TNativeOver, TWinControl)
  explicit TNativeOver(TComponent* AOwner) : TWinControl(AOwner) { SetBounds(0, 0, 50, 20); }
  void CreateParams(TCreateParams& Params) override {
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, "K58NATIVETEST");
  }
  std::vector<String> Log;
  void WMLButtonDown(TWMMouse& Message) override {
    Log.push_back("handler");
    TWinControl::WMLButtonDown(Message);
    Log.push_back("after default " + IntToStr(classProcCalls > 0 ? 1 : 0));
  }
};
K58_IMPLEMENT_CLASS(TNativeOver) {}

// A custom control that paints a red square on white.
class TSquare : public TCustomControl {
  K58_CLASS(TSquare, TCustomControl)
  explicit TSquare(TComponent* AOwner) : TCustomControl(AOwner) { SetBounds(0, 0, 40, 40); }
  int Paints = 0;
  void Paint() override {
    ++Paints;
    Canvas()->Brush()->SetColor(clWhite);
    Canvas()->FillRect(ClientRect());
    Canvas()->Brush()->SetColor(clRed);
    Canvas()->FillRect(TRect{10, 10, 20, 20});
  }
};
K58_IMPLEMENT_CLASS(TSquare) {}

namespace {

class MessagesTest : public FormsTest {
 protected:
  MessagesTest() {
    RegisterNativeClass();
    form = forms_test::NewForm();
    form->SetBounds(50, 50, 300, 200);
    form->SetBorderStyle(bsNone);
  }
  ~MessagesTest() override { FreeObject(form); }

  void ShowForm() {
    form->Show();
    Pump();
  }

  TForm* form;
};

TEST_F(MessagesTest, AReplacedWindowProcSeesMessagesFirstAndCanPassThemOnOrKeepThem) {
  auto* edit = new TTestEdit(form);
  edit->SetParent(form);
  ShowForm();
  TWndMethod saved = edit->WindowProc();
  std::vector<UINT> seen;
  bool swallowChars = false;
  edit->SetWindowProc(TWndMethod([&](TMessage& Message) {
    seen.push_back(Message.Msg);
    if (swallowChars && Message.Msg == WM_CHAR) return;
    saved(Message);
  }));
  display.Type("a");
  Pump();
  EXPECT_EQ(edit->Typed, "a");
  EXPECT_NE(std::find(seen.begin(), seen.end(), static_cast<UINT>(WM_CHAR)), seen.end());
  // Perform goes through the replacement too.
  seen.clear();
  edit->Perform(CM_ENABLEDCHANGED, 0, 0);
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.front(), CM_ENABLEDCHANGED);
  swallowChars = true;
  display.Type("b");
  Pump();
  EXPECT_EQ(edit->Typed, "a");
  edit->SetWindowProc(saved);
  display.Type("c");
  Pump();
  EXPECT_EQ(edit->Typed, "ac");
}

TEST_F(MessagesTest, UnhandledMessagesEndInTheProcedureOfTheSubclassedWindowClass) {
  auto* native = new TNativeOver(form);
  native->SetParent(form);
  ShowForm();
  HWND wnd = native->Handle();
  char className[64] = {};
  GetClassName(wnd, className, sizeof className);
  EXPECT_STREQ(className, "TNativeOver");
  EXPECT_EQ(native->DefWndProc(), &NativeProc);
  // The class's answer comes back through the control.
  EXPECT_EQ(SendMessage(wnd, WM_USER + 7, 0, 0), 77);
  EXPECT_EQ(native->Perform(WM_GETDLGCODE, 0, 0), DLGC_WANTALLKEYS | DLGC_WANTCHARS);
  // A handler runs first; its default handling reaches the class, then the handler goes on.
  classProcCalls = 0;
  classProcMessages.clear();
  Click(native, 5, 5);
  ASSERT_GE(native->Log.size(), 2u);
  EXPECT_EQ(native->Log[0], "handler");
  EXPECT_EQ(native->Log[1], "after default 1");
  // The library's own messages never reach the class.
  for (UINT m : classProcMessages) EXPECT_FALSE(m >= CM_BASE && m < CN_BASE + 0x400) << std::hex << m;
}

TEST_F(MessagesTest, RecreatingTheWindowKeepsTextBoundsVisibilityAndFocus) {
  auto* edit = new TTestEdit(form);
  edit->SetParent(form);
  edit->SetBounds(10, 20, 70, 22);
  edit->SetText("kept");
  auto* hidden = new TTestEdit(form);
  hidden->SetParent(form);
  hidden->Hide();
  ShowForm();
  edit->SetFocus();
  Pump();
  HWND before = edit->Handle();
  edit->RecreateWnd();
  Pump();
  ASSERT_TRUE(edit->HandleAllocated());
  EXPECT_NE(edit->Handle(), before);
  EXPECT_FALSE(IsWindow(before));
  EXPECT_EQ(edit->Text(), "kept");
  EXPECT_EQ(edit->Left(), 10);
  EXPECT_EQ(edit->Width(), 70);
  EXPECT_TRUE(edit->Showing());
  EXPECT_TRUE(IsWindowVisible(edit->Handle()));
  EXPECT_TRUE(edit->Focused());
  char text[16] = {};
  GetWindowText(edit->Handle(), text, sizeof text);
  EXPECT_STREQ(text, "kept");
  // A form made again keeps its children and their windows.
  HWND formBefore = form->Handle();
  form->SetBorderStyle(bsSingle);
  Pump();
  EXPECT_NE(form->Handle(), formBefore);
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  EXPECT_TRUE(IsWindowVisible(edit->Handle()));
  EXPECT_EQ(GetParent(edit->Handle()), form->Handle());
  EXPECT_FALSE(hidden->Showing());
}

TEST_F(MessagesTest, PaintsIntoAGivenDeviceContextAndThroughAnOffScreenBitmap) {
  auto* square = new TSquare(form);
  square->SetParent(form);
  square->SetBounds(5, 5, 40, 40);
  ShowForm();
  EXPECT_EQ(display.ClientPixel(square->Handle(), POINT{15, 15}), ColorToRGB(clRed));
  EXPECT_EQ(display.ClientPixel(square->Handle(), POINT{30, 30}), ColorToRGB(clWhite));

  // WM_PAINT with a DC paints there (a bitmap here), not on the window.
  TBitmap bitmap;
  bitmap.SetSize(40, 40);
  bitmap.Canvas()->Brush()->SetColor(clBlue);
  bitmap.Canvas()->FillRect(TRect{0, 0, 40, 40});
  int before = square->Paints;
  square->Perform(WM_PAINT, reinterpret_cast<WPARAM>(bitmap.Canvas()->Handle()), 0);
  EXPECT_EQ(square->Paints, before + 1);
  EXPECT_EQ(bitmap.Canvas()->Pixels(15, 15), clRed);
  EXPECT_EQ(bitmap.Canvas()->Pixels(30, 30), clWhite);

  // Double buffered, the window still shows the same picture.
  square->SetDoubleBuffered(true);
  square->Invalidate();
  square->Update();
  EXPECT_EQ(square->Paints, before + 2);
  EXPECT_EQ(display.ClientPixel(square->Handle(), POINT{15, 15}), ColorToRGB(clRed));
  EXPECT_EQ(display.ClientPixel(square->Handle(), POINT{30, 30}), ColorToRGB(clWhite));
}

TEST_F(MessagesTest, OpaqueControlsAreInvalidatedWithoutErasing) {
  auto* square = new TSquare(form);
  square->SetParent(form);
  ShowForm();
  forms_test::ControlSpy spy(square);
  square->Invalidate();
  square->Update();
  // The background is erased inside the paint (by BeginPaint).
  EXPECT_TRUE(k58test::MatchesSequence(spy.Log, nullptr, {{WM_PAINT}, {WM_ERASEBKGND}}, {WM_ERASEBKGND, WM_PAINT}));
  spy.Log.Clear();
  square->SetControlStyle(square->ControlStyle() + TControlStyle{csOpaque});
  square->Invalidate();
  square->Update();
  EXPECT_TRUE(k58test::MatchesSequence(spy.Log, nullptr, {{WM_PAINT}}, {WM_ERASEBKGND, WM_PAINT}));
}

TEST_F(MessagesTest, MouseEnterAndLeaveGoToTheControlAndUpItsParents) {
  auto* box = new TTestEdit(form);
  box->SetParent(form);
  box->SetBounds(10, 10, 100, 60);
  auto* label = new TTestLabel(form);
  label->SetParent(form);
  label->SetBounds(150, 10, 60, 20);
  ShowForm();
  std::vector<String> log;
  box->SetOnMouseEnter(TNotifyEvent([&](TObject*) { log.push_back("enter box"); }));
  box->SetOnMouseLeave(TNotifyEvent([&](TObject*) { log.push_back("leave box"); }));
  label->SetOnMouseEnter(TNotifyEvent([&](TObject*) { log.push_back("enter label"); }));
  label->SetOnMouseLeave(TNotifyEvent([&](TObject*) { log.push_back("leave label"); }));
  forms_test::ControlSpy formSpy(form);
  display.MoveTo(At(box, 5, 5));
  Pump();
  display.MoveTo(At(label, 5, 5));
  Pump();
  display.MoveTo(POINT{1000, 900});
  Pump();
  Application->UpdateMouseControl();
  EXPECT_EQ(log, (std::vector<String>{"enter box", "leave box", "enter label", "leave label"}));
  // The form (the parent) heard each of them, passed up.
  EXPECT_EQ(formSpy.Log.Messages(nullptr, {CM_MOUSEENTER, CM_MOUSELEAVE}),
            (std::vector<UINT>{CM_MOUSEENTER, CM_MOUSELEAVE, CM_MOUSEENTER, CM_MOUSELEAVE}));
}

TEST_F(MessagesTest, TheWheelGoesToTheFocusedControlThenUpItsParentsUntilHandled) {
  auto* edit = new TTestEdit(form);
  edit->SetParent(form);
  ShowForm();
  edit->SetFocus();
  Pump();
  std::vector<String> log;
  bool editHandles = false;
  edit->SetOnMouseWheel(TMouseWheelEvent([&](TObject*, TShiftState, Integer delta, TPoint, bool& handled) {
    log.push_back("edit " + IntToStr(delta));
    handled = editHandles;
  }));
  form->SetOnMouseWheelDown(TMouseWheelUpDownEvent([&](TObject*, TShiftState, TPoint, bool& handled) {
    log.push_back("form down");
    handled = true;
  }));
  display.Wheel(At(edit, 5, 5), -1);
  Pump();
  editHandles = true;
  display.Wheel(At(edit, 5, 5), -2);
  Pump();
  EXPECT_EQ(log, (std::vector<String>{"edit -120", "form down", "edit -240"}));
}

TEST_F(MessagesTest, ARightClickShowsThePopupMenuUnlessOnContextPopupHandlesIt) {
  auto* edit = new TTestEdit(form);
  edit->SetParent(form);
  edit->SetBounds(10, 10, 80, 20);
  auto* menu = new TPopupMenu(form);
  auto* item = new TMenuItem(form);
  item->SetCaption("Item");
  menu->Items()->Add(item);
  edit->SetPopupMenu(menu);
  ShowForm();
  std::vector<String> log;
  menu->SetOnPopup(TNotifyEvent([&](TObject*) { log.push_back("popup"); }));
  bool handled = false;
  TPoint where{};
  edit->SetOnContextPopup(TContextPopupEvent([&](TObject*, TPoint pos, bool& h) {
    where = pos;
    h = handled;
  }));
  display.Click(At(edit, 7, 8), k58::winui::MouseButton::Right);
  display.Key(VK_ESCAPE);  // closes the menu its loop shows
  Pump();
  EXPECT_EQ(where.x, 7);
  EXPECT_EQ(where.y, 8);
  EXPECT_EQ(log, (std::vector<String>{"popup"}));
  EXPECT_EQ(menu->PopupComponent(), edit);
  EXPECT_EQ(menu->PopupPoint().x, At(edit, 7, 8).x);
  handled = true;
  display.Click(At(edit, 7, 8), k58::winui::MouseButton::Right);
  Pump();
  EXPECT_EQ(log.size(), 1u);
  // A menu freed before the control leaves no dangling reference.
  FreeObject(menu);
  EXPECT_EQ(edit->PopupMenu(), nullptr);
}

TEST_F(MessagesTest, AGraphicControlHoldsTheMouseThroughItsParentWhilePressed) {
  auto* label = new TTestLabel(form);
  label->SetParent(form);
  label->SetBounds(10, 10, 60, 20);
  ShowForm();
  std::vector<String> log;
  label->SetOnMouseMove(TMouseMoveEvent([&](TObject*, TShiftState, Integer x, Integer y) {
    log.push_back("move " + IntToStr(x) + "," + IntToStr(y));
  }));
  label->SetOnMouseUp(TMouseEvent([&](TObject*, TMouseButton, TShiftState, Integer x, Integer) {
    log.push_back("up " + IntToStr(x));
  }));
  display.Press(At(label, 5, 5));
  Pump();
  EXPECT_TRUE(label->MouseCapture());
  EXPECT_EQ(GetCaptureControl(), label);
  EXPECT_EQ(GetCapture(), form->Handle());
  log.clear();
  // Outside the label the moves and the release still reach it, in its coordinates.
  display.MoveTo(At(label, 100, 5));
  Pump();
  display.Release(At(label, 100, 5));
  Pump();
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log.front(), "move 100,5");
  EXPECT_EQ(log.back(), "up 100");
  EXPECT_FALSE(label->MouseCapture());
  EXPECT_EQ(GetCapture(), nullptr);
}

}  // namespace

}  // namespace forms_test
