#include "StdCtlTesting.h"

namespace forms_test {

void FormTest::SetUp() { D = std::make_unique<k58::winui::TestDisplay>(1024, 768); }

void FormTest::TearDown() {
  forms_.clear();
  Pump();
  D.reset();
}

TForm* FormTest::NewForm(int ClientWidth, int ClientHeight) {
  auto* form = new TForm(nullptr, 0);
  form->SetBounds(100, 100, ClientWidth + 16, ClientHeight + 40);
  form->SetFormClientWidth(ClientWidth);
  form->SetFormClientHeight(ClientHeight);
  forms_.emplace_back(form);
  return form;
}

void FormTest::ShowForm(TForm* Form) {
  Form->Show();
  ::SetActiveWindow(Form->Handle());
  Pump();
}

void FormTest::Pump() {
  for (int round = 0; round < 50; ++round) {
    Application->ProcessMessages();
    MSG msg;
    if (!::PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE)) break;
  }
}

POINT FormTest::At(TControl* Control, int X, int Y) {
  TRect client = Control->ClientRect();
  TPoint p{X < 0 ? client.right / 2 : X, Y < 0 ? client.bottom / 2 : Y};
  TPoint s = Control->ClientToScreen(p);
  return POINT{s.x, s.y};
}

void FormTest::Click(TControl* Control, int X, int Y) {
  D->Click(At(Control, X, Y));
  Pump();
}

void FormTest::Key(WORD Vk) {
  D->Key(Vk);
  Pump();
}

void FormTest::Chord(std::initializer_list<WORD> Modifiers, WORD Vk) {
  D->Chord(Modifiers, Vk);
  Pump();
}

void FormTest::Type(const std::string& Text) {
  D->Type(Text);
  Pump();
}

TColor FormTest::Pixel(TControl* Control, int X, int Y) {
  POINT p = At(Control, X, Y);
  return static_cast<TColor>(D->ScreenPixel(p));
}

Integer FormTest::RunModal(TForm* Form, std::function<void()> Step) {
  int idles = 0;
  bool stepped = false;
  TIdleEvent saved = Application->OnIdle();
  Application->SetOnIdle(TIdleEvent([&](TObject*, bool& Done) {
    Done = false;
    if (!stepped && Form->Visible()) {
      stepped = true;
      Step();
      return;
    }
    if (++idles > 500) Form->SetModalResult(mrAbort);
  }));
  Integer result = mrNone;
  try {
    result = Form->ShowModal();
  } catch (...) {
    Application->SetOnIdle(saved);
    throw;
  }
  Application->SetOnIdle(saved);
  return result;
}

int Recorder::Count(const std::string& Name) const {
  int n = 0;
  for (const std::string& call : Calls) n += call == Name;
  return n;
}

std::string Recorder::Joined() const {
  std::string out;
  for (const std::string& call : Calls) {
    if (!out.empty()) out += ",";
    out += call;
  }
  return out;
}

}  // namespace forms_test
