// A window with spin and currency editors, enabled and disabled, in the four looks and the three button
// placements, for looking at them on a desktop; their values go to the standard output as they change.
#include <cstdio>

#include "controls/editors/uiCurrencyEdit.h"
#include "controls/editors/uiSpinEdit.h"
#include "platform/classes/Filer.h"
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
  k58::editors::StartUnits();
  TForm* form = nullptr;
  Application->CreateForm(form);
  form->SetBounds(100, 100, 600, 300);
  form->SetCaption("Spin and currency editors");
  const TuiLookAndFeelKind kinds[] = {lfStandard, lfFlat, lfUltraFlat, lfOffice11};
  const char* kindNames[] = {"standard", "flat", "ultra-flat", "Office11"};
  const TuiSpinEditButtonsPosition positions[] = {sbpVert, sbpHorzRight, sbpHorzLeftRight, sbpVert};
  for (int row = 0; row < 4; ++row) {
    auto* label = NewObject<TLabel>(form);
    label->SetParent(form);
    label->SetCaption(kindNames[row]);
    label->SetBounds(8, 12 + row * 32, 70, 16);
    for (int column = 0; column < 2; ++column) {
      const bool enabled = column == 0;
      auto* spin = NewObject<TuiSpinEdit>(form);
      spin->SetBounds(80 + column * 250, 8 + row * 32, 110, 21);
      spin->Style()->LookAndFeel()->SetKind(kinds[row]);
      spin->Properties()->SpinButtons()->SetPosition(positions[row]);
      spin->Properties()->SpinButtons()->SetShowFastButtons(row == 3);
      spin->Properties()->SetMinValue(1);
      spin->Properties()->SetMaxValue(16);
      spin->SetValue(Variant(1 + row));
      spin->SetEnabled(enabled);
      spin->SetParent(form);
      spin->Properties()->SetOnChange([spin](TObject*) { Say("spin: " + VarToStr(spin->Value())); });
      auto* money = NewObject<TuiCurrencyEdit>(form);
      money->SetBounds(195 + column * 250, 8 + row * 32, 100, 21);
      money->Style()->LookAndFeel()->SetKind(kinds[row]);
      money->Properties()->SetDecimalPlaces(5);
      money->Properties()->SetDisplayFormat("0.00000");
      money->SetValue(462.5625 + row);
      money->SetEnabled(enabled);
      money->SetParent(form);
      money->Properties()->SetOnEditValueChanged(
          [money](TObject*) { Say("currency: " + FloatToStr(static_cast<Extended>(money->Value()))); });
    }
  }
  form->Show();
  Application->Run();
  k58::editors::StopUnits();
  return 0;
}
