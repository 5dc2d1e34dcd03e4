#include "app/AppUi.h"

#include "app/AllClass.h"
#include "controls/editors/uiCheckBox.h"
#include "controls/editors/uiComboBox.h"
#include "grid/CellGrid.h"
#include "platform/classes/IniFiles.h"
#include "platform/classes/StringList.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Menus.h"
#include "platform/forms/StdCtrls.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win/Windows.h"

namespace {

// Rewrites the items of List from the keys Name.0, Name.1 ... (only Name.0 when FirstOnly).
void TranslateItems(TCustomIniFile& Ini, const String& Section, const String& Name, TStrings* List,
                    bool FirstOnly) {
  const Integer Count = FirstOnly ? std::min<Integer>(1, List->Count()) : List->Count();
  for (Integer I = 0; I < Count; ++I) {
    const String Text = Ini.ReadString(Section, Name + "." + IntToStr(I), List->Strings(I));
    if (Text != List->Strings(I)) List->Put(I, Text);
  }
}

// Whether C is of the class named Name or of a class derived from it. Tool buttons and tab sheets are
// known by name, so this unit needs neither the tool bar nor the page control.
bool IsOfClass(const TComponent* C, const char* Name) {
  for (TClass Class = C->ClassType(); Class != nullptr; Class = Class->Parent())
    if (Class->Name() == Name) return true;
  return false;
}

void TranslateComponent(TCustomIniFile& Ini, const String& Section, TComponent* C, bool TranslateLists) {
  const String& Name = C->Name();
  if (Name.empty()) return;
  const String CaptionKey = Name + ".Caption";
  auto TranslateCaption = [&](TControl* Control) {
    Control->SetCaption(Ini.ReadString(Section, CaptionKey, Control->Caption()));
  };

  if (auto* Label = dynamic_cast<TLabel*>(C)) {
    TranslateCaption(Label);
  } else if (auto* Item = dynamic_cast<TMenuItem*>(C)) {
    Item->SetCaption(Ini.ReadString(Section, CaptionKey, Item->Caption()));
  } else if (auto* Button = dynamic_cast<TButton*>(C)) {
    TranslateCaption(Button);
  } else if (IsOfClass(C, "TToolButton")) {
    auto* ToolButton = static_cast<TControl*>(C);
    TranslateCaption(ToolButton);
    ToolButton->SetHint(Ini.ReadString(Section, Name + ".Hint", ToolButton->Hint()));
  } else if (auto* Grid = dynamic_cast<TCellGrid*>(C)) {
    if (Grid->Tag() == -2) return;
    for (Integer Col = 1; Col < Grid->ColCount(); ++Col) {
      TCellInfo* Cell = Grid->GetCellInfo(Col, 1);
      Cell->ForeText = Ini.ReadString(Section, Name + "." + IntToStr(Col), Cell->ForeText);
    }
    Grid->InvalidateIfAutoUpdate();
  } else if (auto* Combo = dynamic_cast<TComboBox*>(C)) {
    if (!TranslateLists || Combo->Tag() == -2) return;
    const Integer Index = Combo->ItemIndex();
    TranslateItems(Ini, Section, Name, Combo->Items(), Combo->Tag() == -3);
    Combo->SetItemIndex(Index);
  } else if (auto* Box = dynamic_cast<TuiComboBox*>(C)) {
    if (!TranslateLists || Box->Tag() == -2) return;
    const Integer Index = Box->ItemIndex();
    TranslateItems(Ini, Section, Name, Box->Properties()->Items(), Box->Tag() == -3);
    // The text follows the rewritten item; a box whose text is no item keeps it.
    if (Index >= 0) Box->SetItemIndex(Index);
  } else if (auto* Check = dynamic_cast<TuiCheckBox*>(C)) {
    Check->SetCaption(Ini.ReadString(Section, CaptionKey, Check->Caption()));
  } else if (dynamic_cast<TCheckBox*>(C) || dynamic_cast<TRadioButton*>(C) || dynamic_cast<TGroupBox*>(C) ||
             IsOfClass(C, "TTabSheet") || IsOfClass(C, "TuiTabSheet")) {
    TranslateCaption(static_cast<TControl*>(C));
  } else if (auto* List = dynamic_cast<TListBox*>(C)) {
    if (List->Tag() == -2) return;
    TranslateItems(Ini, Section, Name, List->Items(), false);
  }
}

}  // namespace

Integer ShowMessageBox(const String& Caption, const String& Text, Integer Kind) {
  UINT Flags = 0;
  switch (Kind) {
    case mbkInformation: Flags = MB_ICONINFORMATION | MB_OK; break;
    case mbkQuestion: Flags = MB_ICONQUESTION | MB_YESNO; break;
    case mbkRetryCancel: Flags = MB_ICONQUESTION | MB_RETRYCANCEL; break;
    case mbkQuestionDefaultNo: Flags = MB_ICONQUESTION | MB_YESNO | MB_DEFBUTTON2; break;
    default: return 1;
  }
  return Application->MessageBox(Text, Caption, Flags);
}

void TranslateForm(TComponent* Form, const String& Name, bool TranslateLists) {
  TIniFile Ini(ALL->AppDir + Name + ".Ini");
  TranslateForm(Form, Ini, TranslateLists);
}

void TranslateForm(TComponent* Form, TCustomIniFile& Ini, bool TranslateLists) {
  const String Section = Form->Name();
  if (auto* Control = dynamic_cast<TControl*>(Form))
    Control->SetCaption(Ini.ReadString(Section, Section + ".Caption", Control->Caption()));
  for (Integer I = 0; I < Form->ComponentCount(); ++I)
    TranslateComponent(Ini, Section, Form->Components(I), TranslateLists);
}

TComponent* NeedComponent(TComponent* Owner, const String& Name) {
  TComponent* Found = Owner->FindComponent(Name);
  if (Found == nullptr) throw EComponentError("Component " + Name + " not found in " + Owner->Name());
  return Found;
}
