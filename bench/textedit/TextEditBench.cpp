// Typing 1,000 characters into a text editor on a form of the headless display: each key goes as
// WM_KEYDOWN, WM_CHAR and WM_KEYUP through the editor's key handling into its inner edit, fires the
// change events and refreshes the view, and the form is painted after every key. Beside it the class
// library's plain edit typed the same way, as the reference for what the editor adds. Prints the time
// per key (target: under 200 us).
#include <chrono>
#include <cstdio>

#include "controls/editors/uiTextEdit.h"

namespace {

constexpr int kKeys = 1000;

// Types kKeys characters into AWindow (the focused edit window); answers microseconds per key.
double MicrosecondsPerKey(TForm* AForm, HWND AWindow, const TNotifyEvent& AClear) {
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kKeys; ++i) {
    // Lines of 50 characters, so the text stays of a typical length.
    if (i % 50 == 0) AClear(nullptr);
    const char c = static_cast<char>('a' + i % 26);
    const WPARAM vk = static_cast<WPARAM>('A' + i % 26);
    SendMessage(AWindow, WM_KEYDOWN, vk, 1);
    SendMessage(AWindow, WM_CHAR, static_cast<WPARAM>(c), 1);
    SendMessage(AWindow, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001));
    AForm->Update();
  }
  const auto elapsed = std::chrono::steady_clock::now() - start;
  return std::chrono::duration<double, std::micro>(elapsed).count() / kKeys;
}

}  // namespace

int main() {
  k58::editors::StartUnits();
  auto* form = NewObject<TForm>(nullptr, 0);
  form->SetBounds(0, 0, 400, 200);
  auto* edit = NewObject<TuiTextEdit>(form);
  edit->SetParent(form);
  edit->SetBounds(10, 10, 300, 21);
  int changes = 0;
  edit->Properties()->SetOnChange([&changes](TObject*) { ++changes; });
  auto* plain = NewObject<TEdit>(form);
  plain->SetParent(form);
  plain->SetBounds(10, 50, 300, 21);
  form->Show();
  form->Update();

  edit->SetFocus();
  HWND inner = edit->InnerControl()->Handle();
  MicrosecondsPerKey(form, inner, [edit](TObject*) { edit->SetText(""); });  // warm-up
  changes = 0;
  const double editor = MicrosecondsPerKey(form, inner, [edit](TObject*) { edit->SetText(""); });
  plain->SetFocus();
  const double reference = MicrosecondsPerKey(form, plain->Handle(), [plain](TObject*) { plain->SetText(""); });
  std::printf("text editor: %.1f us per key (target under 200 us), %d change events; plain edit reference: %.1f us "
              "per key\n", editor, changes, reference);
  FreeObject(form);
  k58::editors::StopUnits();
  return changes >= kKeys ? 0 : 1;
}
