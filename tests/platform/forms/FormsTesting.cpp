#include "FormsTesting.h"

#include "platform/classes/Streams.h"
#include "platform/win/ui/UiInternal.h"

namespace forms_test {

FormsTest::FormsTest() {
  TApplication::MessageBoxProc() = [this](HWND, const String& Text, const String& Caption, UINT) -> Integer {
    messageBoxes.push_back(Caption + "|" + Text);
    return 1;
  };
}

FormsTest::~FormsTest() {
  // Forms a test left behind go before the display does.
  while (Screen->FormCount() > 0) FreeObject(Screen->Forms(Screen->FormCount() - 1));
  // The application and the screen outlive the test: handlers capturing the test's locals go with it.
  Application->SetMainForm(nullptr);
  Application->SetOnException(nullptr);
  Application->SetOnIdle(nullptr);
  Application->SetOnHint(nullptr);
  Application->SetOnShowHint(nullptr);
  Application->SetOnMessage(nullptr);
  Application->SetOnActivate(nullptr);
  Application->SetOnDeactivate(nullptr);
  Application->SetOnMinimize(nullptr);
  Application->SetOnRestore(nullptr);
  Application->SetOnModalBegin(nullptr);
  Application->SetOnModalEnd(nullptr);
  Application->SetOnShortCut(nullptr);
  Application->CancelHint();
  Screen->SetOnActiveFormChange(nullptr);
  Screen->SetOnActiveControlChange(nullptr);
  Screen->SetCursor(crDefault);
  TApplication::MessageBoxProc() = nullptr;
}

void FormsTest::Pump() {
  for (int round = 0; round < 1000; ++round) {
    Application->ProcessMessages();
    if (!k58::winui::RawPending()) {
      MSG m;
      if (!PeekMessage(&m, nullptr, 0, 0, PM_NOREMOVE)) break;
    }
  }
}

POINT FormsTest::At(TControl* Control, int X, int Y) {
  TPoint p = Control->ClientToScreen(TPoint{X, Y});
  return POINT{p.x, p.y};
}

void FormsTest::Click(TControl* Control, int X, int Y) {
  // A click of its own: never the second half of a double click with the one before.
  display.Advance(GetDoubleClickTime() + 1);
  display.Click(At(Control, X, Y));
  Pump();
}

void FormsTest::Key(WORD Vk) {
  display.Key(Vk);
  Pump();
}

void FormsTest::Chord(std::initializer_list<WORD> Modifiers, WORD Vk) {
  display.Chord(Modifiers, Vk);
  Pump();
}

TForm* NewForm(TComponent* Owner) { return NewObject<TForm>(Owner, 0); }

void RegisterFormResource(const char* Name, const char* Text) {
  RegisterResource(ResTypeRCData, Name, reinterpret_cast<const Byte*>(Text), std::char_traits<char>::length(Text));
}

ControlSpy::ControlSpy(TControl* Control) : control_(Control), saved_(Control->WindowProc()) {
  Control->SetWindowProc(TWndMethod(this, &ControlSpy::Hook));
}

ControlSpy::~ControlSpy() { control_->SetWindowProc(saved_); }

void ControlSpy::Hook(TMessage& Message) {
  Log.Add(k58test::Message(nullptr, Message.Msg, Message.WParam, Message.LParam));
  saved_(Message);
}

}  // namespace forms_test
