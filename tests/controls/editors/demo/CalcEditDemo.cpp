// A window with calculator editors in the four looks, one with exponent texts and one with thousand
// separators that closes on "=", for trying the popup calculator on a desktop; values go to the standard
// output as they change.
#include <cstdio>

#include "controls/editors/uiCalcEdit.h"
#include "controls/editors/uiEditorKinds.h"
#include "platform/forms/Forms.h"
#include "platform/forms/StdCtrls.h"
#include "platform/rtl/Numbers.h"

namespace {

void Say(const String& AText) {
  std::printf("%s\n", AText.c_str());
  std::fflush(stdout);
}

}  // namespace

int main() {
  Application->Initialize();
  k58::editors::StartEditorKindUnits();
  TForm* form = nullptr;
  Application->CreateForm(form);
  form->SetBounds(100, 100, 420, 200);
  form->SetCaption("Calculator editors");
  const TuiLookAndFeelKind kinds[] = {lfStandard, lfFlat, lfUltraFlat, lfOffice11};
  const char* kindNames[] = {"standard", "flat", "ultra-flat", "Office11"};
  for (int row = 0; row < 4; ++row) {
    auto* label = NewObject<TLabel>(form);
    label->SetParent(form);
    label->SetCaption(kindNames[row]);
    label->SetBounds(8, 12 + row * 32, 70, 16);
    auto* calc = NewObject<TuiCalcEdit>(form);
    calc->SetName("Calc" + IntToStr(row));
    calc->SetBounds(80, 8 + row * 32, 140, 21);
    calc->Style()->LookAndFeel()->SetKind(kinds[row]);
    calc->Properties()->SetScientificFormat(row == 2);
    calc->Properties()->SetUseThousandSeparator(row == 3);
    calc->Properties()->SetQuickClose(row == 0);
    calc->SetValue(row == 2 ? 123000.0 : 1234.5 * (row + 1));
    calc->SetParent(form);
    calc->Properties()->SetOnEditValueChanged(
        [calc](TObject*) { Say(calc->Name() + ": " + FloatToStr(calc->Value())); });
  }
  form->Show();
  Application->Run();
  k58::editors::StopEditorKindUnits();
  return 0;
}
