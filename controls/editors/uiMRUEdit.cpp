// The most-recently-used edit: its Properties (limit, ellipsis button), the editor that moves accepted
// texts to the top of its list, and its registration.
#include "controls/editors/uiMRUEdit.h"

#include "controls/foundation/uiClasses.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/forms/ControlsPublish.h"

namespace {

Integer mruEditUnitCount = 0;
constexpr Integer DropDownButton = 0;
constexpr Integer EllipsisButton = 1;

}  // namespace

K58_IMPLEMENT_CLASS(TuiCustomMRUEditProperties) {}

K58_IMPLEMENT_CLASS(TuiMRUEditProperties) {
  using S = TuiMRUEditProperties;
  b.Prop("Alignment", &S::Alignment, &S::SetAlignment);
  b.Prop("AssignedValues", &S::AssignedValues, &S::SetAssignedValues);
  b.Prop("AutoSelect", &S::AutoSelect, &S::SetAutoSelect).Default(true);
  b.Prop("BeepOnError", &S::BeepOnError, &S::SetBeepOnError).Default(false);
  b.Prop("CaseInsensitive", &S::CaseInsensitive, &S::SetCaseInsensitive).Default(true);
  b.Prop("CharCase", &S::CharCase, &S::SetCharCase).Default(ecNormal);
  b.Prop("ClickKey", &S::ClickKey, &S::SetClickKey).Default(DefaultClickKey);
  // The kind goes before the mask: a mask is read in the syntax of its kind.
  b.Prop("MaskKind", &S::MaskKind, &S::SetMaskKind).Default(emkStandard);
  b.Prop("EditMask", &S::EditMask, &S::SetEditMask).Default(String());
  b.Prop("HideSelection", &S::HideSelection, &S::SetHideSelection).Default(true);
  b.Prop("IgnoreMaskBlank", &S::IgnoreMaskBlank, &S::SetIgnoreMaskBlank).Default(false);
  b.Prop("ImeMode", &S::ImeMode, &S::SetImeMode).Default(imDontCare);
  b.Prop("ImeName", &S::ImeName, &S::SetImeName).Type("TImeName");
  b.Prop("ImmediatePost", &S::ImmediatePost, &S::SetImmediatePost).Default(false);
  b.Prop("LookupItems", &S::LookupItems, &S::SetLookupItems);
  b.Prop("MaxItemCount", &S::MaxItemCount, &S::SetMaxItemCount).Default(0);
  b.Prop("MaxLength", &S::MaxLength, &S::SetMaxLength).Stored(&S::IsMaxLengthStored);
  b.Prop("OEMConvert", &S::OEMConvert, &S::SetOEMConvert).Default(false);
  b.Prop("ReadOnly", &S::ReadOnly, &S::SetReadOnly).Stored(&S::IsReadOnlyStored);
  b.Prop("ShowEllipsis", &S::ShowEllipsis, &S::SetShowEllipsis).Default(true);
  b.Prop("UseLeftAlignmentOnEditing", &S::UseLeftAlignmentOnEditing, &S::SetUseLeftAlignmentOnEditing)
      .Stored(&S::IsUseLeftAlignmentStored);
  b.Prop("ValidateOnEnter", &S::ValidateOnEnter, &S::SetValidateOnEnter).Default(true);
  b.Prop("OnButtonClick", &S::OnButtonClick, &S::SetOnButtonClick);
  b.Prop("OnChange", &S::OnChange, &S::SetOnChange);
  b.Prop("OnEditValueChanged", &S::OnEditValueChanged, &S::SetOnEditValueChanged);
  b.Prop("OnValidate", &S::OnValidate, &S::SetOnValidate);
}

TuiCustomMRUEditProperties::TuiCustomMRUEditProperties() {
  Buttons()->Add()->SetKind(bkDown);
  TuiEditButton* ellipsis = Buttons()->Add();
  ellipsis->SetKind(bkEllipsis);
  ellipsis->SetDefault(true);
  SetMRUListMode(true);
}

void TuiCustomMRUEditProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TuiCustomMRUEditProperties*>(Source);
  if (source == nullptr) return TuiCustomMaskEditProperties::Assign(Source);
  BeginUpdate();
  try {
    TuiCustomMaskEditProperties::Assign(Source);
    SetMaxItemCount(source->MaxItemCount());
    SetShowEllipsis(source->ShowEllipsis());
    onEllipsisClick_ = source->onEllipsisClick_;
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TuiCustomMRUEditProperties::AssignItemsTo(TuiCustomEditProperties* ATarget) {
  if (auto* target = dynamic_cast<TuiCustomMRUEditProperties*>(ATarget)) target->LookupItems()->Assign(LookupItems());
}

TClass TuiCustomMRUEditProperties::GetEditClass() const { return TuiMRUEdit::StaticClass(); }

void TuiCustomMRUEditProperties::SetMaxItemCount(Integer Value) {
  if (Value < 0) Value = 0;
  if (maxItemCount_ == Value) return;
  maxItemCount_ = Value;
  TruncateItems();
  Changed();
}

void TuiCustomMRUEditProperties::SetShowEllipsis(bool Value) {
  if (showEllipsis_ == Value) return;
  BeginUpdate();
  try {
    showEllipsis_ = Value;
    if (Buttons()->Count() > EllipsisButton) Buttons()->Items(EllipsisButton)->SetVisible(Value);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TuiCustomMRUEditProperties::TruncateItems() {
  if (maxItemCount_ <= 0) return;
  TStrings* items = LookupItems();
  while (items->Count() > maxItemCount_) items->Delete(items->Count() - 1);
}

// ---- Editor -----------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomMRUEdit) {}

TClass TuiCustomMRUEdit::GetPropertiesClass() const { return TuiCustomMRUEditProperties::StaticClass(); }

void TuiCustomMRUEdit::AddItem(const String& AText) {
  if (AText.empty()) return;
  TuiCustomMRUEditProperties* properties = ActiveProperties();
  TStrings* items = properties->LookupItems();
  const Integer index = items->IndexOf(AText);
  if (index == 0 || !DoEditing()) return;
  if (index < 0) {
    items->Insert(0, AText);
    properties->TruncateItems();
  } else {
    items->Move(index, 0);
  }
}

void TuiCustomMRUEdit::DoButtonClick(Integer AButtonIndex) {
  if (AButtonIndex != EllipsisButton) return;
  const TNotifyEvent own = Properties()->OnButtonClick();
  const bool fromRepository = RepositoryItem() != nullptr && ActiveProperties()->OnButtonClick().Assigned();
  const TNotifyEvent repository = fromRepository ? ActiveProperties()->OnButtonClick() : TNotifyEvent{};
  if (own.Assigned()) own(this);
  if (fromRepository) repository(this);
}

void TuiCustomMRUEdit::DoEditKeyDown(Word& Key, TShiftState Shift) {
  if (Key == VK_RETURN && !Shift.Contains(ssAlt)) AddItem(Text());
  TuiCustomMaskEdit::DoEditKeyDown(Key, Shift);
}

void TuiCustomMRUEdit::InternalSetDisplayValue(const Variant& AValue) {
  TuiCustomMaskEdit::InternalSetDisplayValue(AValue);
  AddItem(Text());
}

void TuiCustomMRUEdit::ApplySelectedLookupItem(TObject* Sender) {
  TuiCustomMaskEdit::ApplySelectedLookupItem(Sender);
  AddItem(Text());
}

void TuiCustomMRUEdit::PropertiesChanged(TObject* Sender) {
  if (Properties() != nullptr) {
    TuiEditButtons* buttons = ActiveProperties()->Buttons();
    const Integer index = ActiveProperties()->ShowEllipsis() ? EllipsisButton : DropDownButton;
    if (index < buttons->Count()) buttons->Items(index)->SetKind(index == EllipsisButton ? bkEllipsis : bkDown);
  }
  TuiCustomMaskEdit::PropertiesChanged(Sender);
}

K58_IMPLEMENT_CLASS(TuiMRUEdit) {
  using S = TuiMRUEdit;
  PublishControl(b, {"Anchors",      "Constraints",    "DragCursor", "DragKind",    "DragMode",
                     "Enabled",      "ParentColor",  "ParentFont", "ParentShowHint", "PopupMenu",  "ShowHint",    "TabOrder",
                     "TabStop",      "Text",         "Visible",        "OnClick",    "OnContextPopup",
                     "OnDblClick",   "OnDragDrop",   "OnDragOver",     "OnEndDock",  "OnEndDrag",   "OnEnter",
                     "OnExit",       "OnKeyDown",    "OnKeyPress",     "OnKeyUp",    "OnMouseDown", "OnMouseEnter",
                     "OnMouseLeave", "OnMouseMove",  "OnMouseUp",      "OnStartDock", "OnStartDrag"});
  b.Prop("ImeMode", &S::ImeMode, &S::SetImeMode).Default(imDontCare);
  b.Prop("ImeName", &S::ImeNameValue, &S::SetImeName);
  b.Prop("Properties", &S::Properties, &S::SetProperties);
}

TClass TuiMRUEdit::GetPropertiesClass() const { return TuiMRUEditProperties::StaticClass(); }

namespace k58::editors {
void StartMRUEditUnit() {
  if (mruEditUnitCount++ > 0) return;
  GetEditPropertiesRegistry()->Register(TuiMRUEditProperties::StaticClass(),
                                        LocalizeText(uimrueditconsts::SMRUEditDescription));
}

void StopMRUEditUnit() {
  if (mruEditUnitCount == 0 || --mruEditUnitCount > 0) return;
  GetEditPropertiesRegistry()->Unregister(TuiMRUEditProperties::StaticClass());
}
}  // namespace k58::editors
