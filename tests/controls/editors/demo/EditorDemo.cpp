// A window with the test editors, for trying them by hand on a desktop: a plain one, one with an
// ellipsis button and a default "&Go" button (Ctrl+Enter), one that accepts digits only (validated on
// Enter and on leaving), and one in the ultra-flat look; below them text editors in the ultra-flat look:
// plain, right-aligned, read-only, password and a fixed list of channel names. What the editors report
// is shown at the bottom.
#include <cstdio>

#include "platform/forms/StdCtrls.h"
#include "tests/controls/editors/TextEditTesting.h"

namespace {

TLabel* logLabel = nullptr;

void Report(const String& AText) {
  std::fprintf(stdout, "%s\n", AText.c_str());
  std::fflush(stdout);
  if (logLabel != nullptr) logLabel->SetCaption(AText);
}

TTestEdit* NewEditor(TForm* AForm, Integer ATop, const String& AName) {
  auto* edit = NewObject<TTestEdit>(AForm);
  edit->SetName(AName);
  edit->SetAutoSize(false);
  edit->SetBounds(20, ATop, 220, 24);
  edit->SetParent(AForm);
  edit->Properties()->SetOnEditValueChanged(
      [AName, edit](TObject*) { Report(AName + ": value '" + VarToStr(edit->EditValue()) + "'"); });
  edit->Properties()->SetOnButtonClick(
      [AName](TObject*, Integer AIndex) { Report(AName + ": button " + std::to_string(AIndex) + " clicked"); });
  return edit;
}

TTestModeTextEdit* NewTextEditor(TForm* AForm, Integer ATop, const String& AName, const String& AText) {
  auto* edit = NewObject<TTestModeTextEdit>(AForm);
  edit->SetName(AName);
  edit->SetBounds(20, ATop, 220, 21);
  edit->SetParent(AForm);
  edit->Style()->SetBorderStyle(cbsUltraFlat);
  edit->SetText(AText);
  edit->Properties()->SetOnEditValueChanged(
      [AName, edit](TObject*) { Report(AName + ": value '" + VarToStr(edit->EditValue()) + "'"); });
  return edit;
}

}  // namespace

int main() {
  Application->Initialize();
  k58::editors::StartUnits();
  TForm* form = nullptr;
  Application->CreateForm(form);
  form->SetCaption("Editors");
  form->SetBounds(100, 100, 300, 380);

  NewEditor(form, 16, "Plain");
  TTestEdit* buttons = NewEditor(form, 52, "Buttons");
  buttons->Properties()->Buttons()->Add()->SetKind(bkEllipsis);
  TuiEditButton* go = buttons->Properties()->Buttons()->Add();
  go->SetKind(bkText);
  go->SetCaption("&Go");
  go->SetDefault(true);
  TTestEdit* digits = NewEditor(form, 88, "Digits");
  digits->Properties()->SetValidateOnEnter(true);
  digits->Properties()->SetBeepOnError(true);
  digits->Properties()->SetOnValidate([](TObject*, Variant& AValue, String& AError, bool& AIsError) {
    const String text = VarToStr(AValue);
    AIsError = text.empty() || text.find_first_not_of("0123456789") != String::npos;
    if (AIsError) {
      AError = "";
      Report("Digits: '" + text + "' refused");
    }
  });
  TTestEdit* flat = NewEditor(form, 124, "Flat");
  flat->Style()->SetBorderStyle(cbsUltraFlat);
  flat->Style()->SetTransparentBorder(false);
  flat->Properties()->Buttons()->Add()->SetKind(bkDown);

  NewTextEditor(form, 164, "Text", "Channel 1");
  NewTextEditor(form, 194, "Right", "446.00625")->Properties()->Alignment()->SetHorz(taRightJustify);
  NewTextEditor(form, 224, "ReadOnly", "Read only")->Properties()->SetReadOnly(true);
  NewTextEditor(form, 254, "Password", "secret")->Properties()->SetEchoMode(eemPassword);
  TTestModeTextEdit* list = NewTextEditor(form, 284, "List", "");
  for (const char* item : {"Apple", "Apricot", "Banana", "Cherry"}) list->Properties()->LookupItems()->Add(item);
  list->ModeProperties()->Mode = temFixedList;
  list->Properties()->Changed();

  logLabel = NewObject<TLabel>(form);
  logLabel->SetParent(form);
  logLabel->SetBounds(20, 320, 260, 20);
  logLabel->SetCaption("Ready");
  form->Show();
  Application->Run();
  k58::editors::StopUnits();
  return 0;
}
