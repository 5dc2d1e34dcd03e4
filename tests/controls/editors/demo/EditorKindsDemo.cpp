// A window with every editor kind read from a form text, for looking at them on a desktop: a group box
// of port radio buttons, check boxes, a radio group, a side-captioned group box and push buttons (one of
// each drop-down kind). The look-and-feel kind is the first argument (flat, standard, ultraflat,
// office11); what the controls report goes to the standard output.
#include <cstdio>
#include <cstring>

#include "controls/editors/uiButtons.h"
#include "controls/editors/uiCheckBox.h"
#include "controls/editors/uiEditorKinds.h"
#include "controls/editors/uiGroupBox.h"
#include "controls/editors/uiRadioGroup.h"
#include "platform/classes/Filer.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Menus.h"

namespace {

const char* const FormText = R"(object Settings: TForm
  Left = 100
  Top = 100
  Width = 560
  Height = 330
  Caption = 'Editor kinds'
  object PortBox: TuiGroupBox
    Left = 8
    Top = 8
    Width = 250
    Height = 120
    Caption = 'Port'
    object Com1: TuiRadioButton
      Left = 16
      Top = 24
      Width = 65
      Height = 17
      Caption = 'COM1'
      Checked = True
    end
    object Com2: TuiRadioButton
      Left = 16
      Top = 48
      Width = 65
      Height = 17
      Caption = 'COM2'
    end
    object Com3: TuiRadioButton
      Left = 16
      Top = 72
      Width = 65
      Height = 17
      Caption = 'COM3'
      Enabled = False
    end
  end
  object Beep: TuiCheckBox
    Left = 270
    Top = 10
    Width = 130
    Caption = '&Beep'
    State = cbsChecked
  end
  object Scan: TuiCheckBox
    Left = 270
    Top = 36
    Width = 130
    Caption = 'Scan (grayed)'
    State = cbsGrayed
    Properties.AllowGrayed = True
  end
  object Lock: TuiCheckBox
    Left = 270
    Top = 62
    Width = 130
    Caption = 'Lock'
  end
  object Power: TuiRadioGroup
    Left = 8
    Top = 136
    Width = 250
    Height = 90
    Caption = 'Power'
    Properties.Columns = 2
    Properties.Items = <
      item
        Caption = 'High'
        Value = 1
      end
      item
        Caption = 'Middle'
        Value = 2
      end
      item
        Caption = 'Low'
        Value = 3
      end>
    ItemIndex = 0
  end
  object Side: TuiGroupBox
    Left = 270
    Top = 96
    Width = 270
    Height = 130
    Alignment = alLeftCenter
    Caption = 'Side caption'
  end
  object Ok: TuiButton
    Left = 8
    Top = 240
    Width = 75
    Height = 25
    Caption = 'OK'
    Default = True
  end
  object Tools: TuiButton
    Left = 96
    Top = 240
    Width = 90
    Height = 25
    Caption = 'Tools'
    Kind = uibkDropDown
  end
  object Write: TuiButton
    Left = 200
    Top = 240
    Width = 110
    Height = 25
    Caption = 'Write'
    Kind = uibkDropDownButton
  end
end
)";

void Say(const String& AText) {
  std::fprintf(stdout, "%s\n", AText.c_str());
  std::fflush(stdout);
}

TuiLookAndFeelKind KindOf(const char* AName) {
  if (std::strcmp(AName, "flat") == 0) return lfFlat;
  if (std::strcmp(AName, "standard") == 0) return lfStandard;
  if (std::strcmp(AName, "office11") == 0) return lfOffice11;
  return lfUltraFlat;
}

}  // namespace

int main(int argc, char** argv) {
  Application->Initialize();
  k58::editors::StartEditorKindUnits();
  const TuiLookAndFeelKind kind = KindOf(argc > 1 ? argv[1] : "ultraflat");
  TForm* form = nullptr;
  Application->CreateForm(form);
  ReadComponentFromText(FormText, form, "demo");
  auto* menu = NewObject<TPopupMenu>(form);
  for (const char* caption : {"Read", "Write", "Clone"}) {
    auto* item = NewObject<TMenuItem>(menu);
    item->SetCaption(caption);
    item->SetOnClick([caption](TObject*) { Say(String("menu: ") + caption); });
    menu->Items()->Add(item);
  }
  for (Integer i = 0; i < form->ComponentCount(); ++i) {
    TComponent* c = form->Components(i);
    if (auto* edit = dynamic_cast<TuiCustomEdit*>(c)) {
      edit->Style()->LookAndFeel()->SetKind(kind);
      edit->Style()->LookAndFeel()->SetNativeStyle(true);
    }
    if (auto* radio = dynamic_cast<TuiRadioButton*>(c)) {
      radio->LookAndFeel()->SetKind(kind);
      radio->SetOnClick([radio](TObject*) { Say("radio: " + radio->Caption()); });
    }
    if (auto* button = dynamic_cast<TuiButton*>(c)) {
      button->LookAndFeel()->SetKind(kind);
      button->LookAndFeel()->SetNativeStyle(true);
      button->SetDropDownMenu(menu);
      button->SetOnClick([button](TObject*) { Say("button: " + button->Caption()); });
    }
    if (auto* check = dynamic_cast<TuiCheckBox*>(c))
      check->SetOnClick([check](TObject*) { Say("check: " + check->Caption() + " " + std::to_string(check->State())); });
    if (auto* group = dynamic_cast<TuiRadioGroup*>(c))
      group->SetOnClick([group](TObject*) { Say("group: " + std::to_string(group->ItemIndex())); });
  }
  form->Show();
  Application->Run();
  k58::editors::StopEditorKindUnits();
  return 0;
}
