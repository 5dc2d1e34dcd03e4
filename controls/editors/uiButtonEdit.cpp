// The button edit: its Properties with the default ellipsis button, the published editor and its
// registration.
#include "controls/editors/uiButtonEdit.h"

#include "controls/foundation/uiClasses.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/forms/ControlsPublish.h"

namespace {
Integer buttonEditUnitCount = 0;
}  // namespace

K58_IMPLEMENT_CLASS(TuiCustomButtonEditProperties) {}

K58_IMPLEMENT_CLASS(TuiButtonEditProperties) {
  using S = TuiButtonEditProperties;
  b.Prop("Alignment", &S::Alignment, &S::SetAlignment);
  b.Prop("AssignedValues", &S::AssignedValues, &S::SetAssignedValues);
  b.Prop("AutoSelect", &S::AutoSelect, &S::SetAutoSelect).Default(true);
  b.Prop("BeepOnError", &S::BeepOnError, &S::SetBeepOnError).Default(false);
  b.Prop("Buttons", &S::Buttons, &S::SetButtons);
  b.Prop("CaseInsensitive", &S::CaseInsensitive, &S::SetCaseInsensitive).Default(true);
  b.Prop("CharCase", &S::CharCase, &S::SetCharCase).Default(ecNormal);
  b.Prop("ClickKey", &S::ClickKey, &S::SetClickKey).Default(DefaultClickKey);
  b.Prop("EchoMode", &S::EchoMode, &S::SetEchoMode).Default(eemNormal);
  // The kind goes before the mask: a mask is read in the syntax of its kind.
  b.Prop("MaskKind", &S::MaskKind, &S::SetMaskKind).Default(emkStandard);
  b.Prop("EditMask", &S::EditMask, &S::SetEditMask).Default(String());
  b.Prop("HideCursor", &S::HideCursor, &S::SetHideCursor).Default(false);
  b.Prop("HideSelection", &S::HideSelection, &S::SetHideSelection).Default(true);
  b.Prop("IgnoreMaskBlank", &S::IgnoreMaskBlank, &S::SetIgnoreMaskBlank).Default(false);
  b.Prop("ImeMode", &S::ImeMode, &S::SetImeMode).Default(imDontCare);
  b.Prop("ImeName", &S::ImeName, &S::SetImeName).Type("TImeName");
  b.Prop("IncrementalSearch", &S::IncrementalSearch, &S::SetIncrementalSearch).Default(true);
  b.Prop("LookupItems", &S::LookupItems, &S::SetLookupItems);
  b.Prop("LookupItemsSorted", &S::LookupItemsSorted, &S::SetLookupItemsSorted).Default(false);
  b.Prop("MaxLength", &S::MaxLength, &S::SetMaxLength).Stored(&S::IsMaxLengthStored);
  b.Prop("OEMConvert", &S::OEMConvert, &S::SetOEMConvert).Default(false);
  b.Prop("PasswordChar", &S::PasswordChar, &S::SetPasswordChar).Default('\0');
  b.Prop("ReadOnly", &S::ReadOnly, &S::SetReadOnly).Stored(&S::IsReadOnlyStored);
  b.Prop("UseLeftAlignmentOnEditing", &S::UseLeftAlignmentOnEditing, &S::SetUseLeftAlignmentOnEditing)
      .Stored(&S::IsUseLeftAlignmentStored);
  b.Prop("ValidateOnEnter", &S::ValidateOnEnter, &S::SetValidateOnEnter).Default(true);
  b.Prop("ViewStyle", &S::ViewStyle, &S::SetViewStyle).Default(TuiTextEditViewStyle::vsNormal);
  b.Prop("OnButtonClick", &S::OnButtonClick, &S::SetOnButtonClick);
  b.Prop("OnChange", &S::OnChange, &S::SetOnChange);
  b.Prop("OnEditValueChanged", &S::OnEditValueChanged, &S::SetOnEditValueChanged);
  b.Prop("OnNewLookupDisplayText", &S::OnNewLookupDisplayText, &S::SetOnNewLookupDisplayText);
  b.Prop("OnValidate", &S::OnValidate, &S::SetOnValidate);
}

TuiCustomButtonEditProperties::TuiCustomButtonEditProperties() { Buttons()->Add()->SetKind(bkEllipsis); }

TClass TuiCustomButtonEditProperties::GetEditClass() const { return TuiButtonEdit::StaticClass(); }

K58_IMPLEMENT_CLASS(TuiCustomButtonEdit) {}

TClass TuiCustomButtonEdit::GetPropertiesClass() const { return TuiCustomButtonEditProperties::StaticClass(); }

K58_IMPLEMENT_CLASS(TuiButtonEdit) {
  using S = TuiButtonEdit;
  PublishControl(b, {"Anchors",      "Constraints",  "DragCursor",     "DragKind",  "DragMode",    "Enabled",
                     "ParentColor",  "ParentFont", "ParentShowHint", "PopupMenu", "ShowHint",    "TabOrder",
                     "TabStop",      "Text",         "Visible",        "OnClick",   "OnContextPopup",
                     "OnDblClick",   "OnDragDrop",   "OnDragOver",     "OnEndDock", "OnEndDrag",   "OnEnter",
                     "OnExit",       "OnKeyDown",    "OnKeyPress",     "OnKeyUp",   "OnMouseDown", "OnMouseEnter",
                     "OnMouseLeave", "OnMouseMove",  "OnMouseUp",      "OnStartDock", "OnStartDrag"});
  b.Prop("ImeMode", &S::ImeMode, &S::SetImeMode).Default(imDontCare);
  b.Prop("ImeName", &S::ImeNameValue, &S::SetImeName);
  b.Prop("Properties", &S::Properties, &S::SetProperties);
}

TClass TuiButtonEdit::GetPropertiesClass() const { return TuiButtonEditProperties::StaticClass(); }

void TuiButtonEdit::ReadState(TReader* Reader) {
  if (!buttonsCleared_) {
    Properties()->Buttons()->Clear();
    ActiveProperties()->Buttons()->Clear();
    buttonsCleared_ = true;
  }
  TuiCustomButtonEdit::ReadState(Reader);
}

namespace k58::editors {
void StartButtonEditUnit() {
  if (buttonEditUnitCount++ > 0) return;
  GetEditPropertiesRegistry()->Register(TuiButtonEditProperties::StaticClass(),
                                        LocalizeText(uibuttoneditconsts::SButtonEditDescription));
}

void StopButtonEditUnit() {
  if (buttonEditUnitCount == 0 || --buttonEditUnitCount > 0) return;
  GetEditPropertiesRegistry()->Unregister(TuiButtonEditProperties::StaticClass());
}
}  // namespace k58::editors
