// Test helpers of the text editor: a shown form with text editors on the pinned test display, and
// properties whose text mode and numeric grouping a test chooses.
#pragma once

#include <string>

#include "controls/editors/uiTextEdit.h"
#include "tests/controls/editors/EditTesting.h"

// Text properties with a chosen text mode and, for the grouping cases, a range check with thousand
// separators.
class TTestModeTextProperties : public TuiTextEditProperties {
  K58_CLASS(TTestModeTextProperties, TuiTextEditProperties)
 public:
  TTestModeTextProperties() = default;
  Byte GetTextMode() override { return Mode; }
  bool HasRangeCheck() override { return Grouping; }
  bool IsThousandSeparatorUsed(bool AInternalUpdate) override { return Grouping && !AInternalUpdate; }
  Byte Mode = temFree;
  bool Grouping = false;
};

class TTestModeTextEdit : public TuiTextEdit {
  K58_CLASS(TTestModeTextEdit, TuiTextEdit)
 public:
  explicit TTestModeTextEdit(TComponent* AOwner) : TuiTextEdit(AOwner) {}
  TClass GetPropertiesClass() const override { return TTestModeTextProperties::StaticClass(); }
  TTestModeTextProperties* ModeProperties() const { return static_cast<TTestModeTextProperties*>(Properties()); }
};

namespace editors_test {

class TextEditFormTest : public EditUnitsTest {
 protected:
  TextEditFormTest() {
    Form = NewObject<TForm>(nullptr, 0);
    Form->SetBounds(40, 40, 400, 300);
    Form->Show();
    Pump();
  }
  ~TextEditFormTest() override {
    FreeObject(Form);
    k58::winui::ResetWindowSystemState();
  }

  template <class T = TTestModeTextEdit>
  T* NewEdit(Integer ALeft, Integer ATop, Integer AWidth = 150) {
    auto* edit = NewObject<T>(Form);
    edit->SetBounds(ALeft, ATop, AWidth, 21);
    edit->SetParent(Form);
    edit->HandleNeeded();
    Pump();
    return edit;
  }

  void Pump() { Display.Pump(); }
  void Focus(TWinControl* AControl) {
    AControl->SetFocus();
    Pump();
  }
  void Type(const std::string& AText) {
    Display.Type(AText);
    Pump();
  }
  void Key(WORD AKey) {
    Display.Key(AKey);
    Pump();
  }
  void Chord(std::initializer_list<WORD> AModifiers, WORD AKey) {
    Display.Chord(AModifiers, AKey);
    Pump();
  }
  static std::string Sel(TuiCustomTextEdit* AEdit) {
    IuiInnerTextEdit* inner = AEdit->InnerTextEdit();
    return AEdit->InnerControl()->Text() + " [" + std::to_string(inner->GetSelStart()) + "," +
           std::to_string(inner->GetSelLength()) + "]";
  }

  TForm* Form = nullptr;
};

}  // namespace editors_test
