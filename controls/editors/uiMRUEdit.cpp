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
  b.Prop("ButtonGlyph", &S::ButtonGlyph, &S::SetButtonGlyph).Stored(&S::IsButtonGlyphStored);
  b.Prop("CaseInsensitive", &S::CaseInsensitive, &S::SetCaseInsensitive).Default(true);
  b.Prop("CharCase", &S::CharCase, &S::SetCharCase).Default(ecNormal);
  b.Prop("ClickKey", &S::ClickKey, &S::SetClickKey).Default(DefaultClickKey);
  b.Prop("DropDownAutoWidth", &S::DropDownAutoWidth, &S::SetDropDownAutoWidth).Default(true);
  b.Prop("DropDownListStyle", &S::DropDownListStyle, &S::SetDropDownListStyle).Default(lsEditList);
  b.Prop("DropDownRows", &S::DropDownRows, &S::SetDropDownRows).Default(8);
  b.Prop("DropDownSizeable", &S::DropDownSizeable, &S::SetDropDownSizeable).Default(false);
  b.Prop("DropDownWidth", &S::DropDownWidth, &S::SetDropDownWidth).Default(0);
  // The kind goes before the mask: a mask is read in the syntax of its kind.
  b.Prop("MaskKind", &S::MaskKind, &S::SetMaskKind).Default(emkStandard);
  b.Prop("EditMask", &S::EditMask, &S::SetEditMask).Default(String());
  b.Prop("HideSelection", &S::HideSelection, &S::SetHideSelection).Default(true);
  b.Prop("IgnoreMaskBlank", &S::IgnoreMaskBlank, &S::SetIgnoreMaskBlank).Default(false);
  b.Prop("ImeMode", &S::ImeMode, &S::SetImeMode).Default(imDontCare);
  b.Prop("ImeName", &S::ImeName, &S::SetImeName).Type("TImeName");
  b.Prop("ImmediateDropDown", &S::ImmediateDropDown, &S::SetImmediateDropDown).Default(true);
  b.Prop("ImmediatePost", &S::ImmediatePost, &S::SetImmediatePost).Default(false);
  b.Prop("ItemHeight", &S::ItemHeight, &S::SetItemHeight).Default(0);
  b.Prop("LookupItems", &S::LookupItems, &S::SetLookupItems);
  b.Prop("MaxItemCount", &S::MaxItemCount, &S::SetMaxItemCount).Default(0);
  b.Prop("MaxLength", &S::MaxLength, &S::SetMaxLength).Stored(&S::IsMaxLengthStored);
  b.Prop("OEMConvert", &S::OEMConvert, &S::SetOEMConvert).Default(false);
  b.Prop("PopupAlignment", &S::PopupAlignment, &S::SetPopupAlignment).Default(taLeftJustify);
  b.Prop("PostPopupValueOnTab", &S::PostPopupValueOnTab, &S::SetPostPopupValueOnTab).Default(false);
  b.Prop("ReadOnly", &S::ReadOnly, &S::SetReadOnly).Stored(&S::IsReadOnlyStored);
  b.Prop("Revertable", &S::Revertable, &S::SetRevertable).Default(false);
  b.Prop("ShowEllipsis", &S::ShowEllipsis, &S::SetShowEllipsis).Default(true);
  b.Prop("UseLeftAlignmentOnEditing", &S::UseLeftAlignmentOnEditing, &S::SetUseLeftAlignmentOnEditing)
      .Stored(&S::IsUseLeftAlignmentStored);
  b.Prop("ValidateOnEnter", &S::ValidateOnEnter, &S::SetValidateOnEnter).Default(true);
  b.Prop("OnButtonClick", &S::OnButtonClick, &S::SetOnButtonClick);
  b.Prop("OnChange", &S::OnChange, &S::SetOnChange);
  b.Prop("OnCloseUp", &S::OnCloseUp, &S::SetOnCloseUp);
  b.Prop("OnDrawItem", &S::OnDrawItem, &S::SetOnDrawItem);
  b.Prop("OnEditValueChanged", &S::OnEditValueChanged, &S::SetOnEditValueChanged);
  b.Prop("OnInitPopup", &S::OnInitPopup, &S::SetOnInitPopup);
  b.Prop("OnMeasureItem", &S::OnMeasureItem, &S::SetOnMeasureItem).Type("TMeasureItemEvent");
  b.Prop("OnPopup", &S::OnPopup, &S::SetOnPopup);
  b.Prop("OnValidate", &S::OnValidate, &S::SetOnValidate);
}

TuiCustomMRUEditProperties::TuiCustomMRUEditProperties() {
  // The combo box leaves the drop-down button (0); the ellipsis (1) takes the glyph.
  Buttons()->Add();
  SetDropDownButtonIndex(EllipsisButton);
  TuiEditButton* ellipsis = Buttons()->Items(EllipsisButton);
  ellipsis->SetKind(bkEllipsis);
  ellipsis->SetDefault(true);
  SetDropDownListStyle(lsEditList);
  SetMRUListMode(true);
}

void TuiCustomMRUEditProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TuiCustomMRUEditProperties*>(Source);
  if (source == nullptr) return TuiCustomComboBoxProperties::Assign(Source);
  BeginUpdate();
  try {
    TuiCustomComboBoxProperties::Assign(Source);
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
    SetDropDownButtonIndex(Value ? EllipsisButton : DropDownButton);
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

void TuiCustomMRUEdit::DoButtonDown(Integer AButtonIndex) {
  TuiCustomMaskEdit::DoButtonDown(AButtonIndex);
  if (AButtonIndex == DropDownButton) SetDroppedDown(true);
}

void TuiCustomMRUEdit::DoEditKeyDown(Word& Key, TShiftState Shift) {
  // A highlighted item of the open list is taken instead of the typed text.
  const bool listItemChosen = HasPopupWindow() && LookupData() != nullptr && LookupData()->ItemIndex() >= 0;
  if (Key == VK_RETURN && !Shift.Contains(ssAlt) && !listItemChosen) AddItem(Text());
  TuiCustomComboBox::DoEditKeyDown(Key, Shift);
}

void TuiCustomMRUEdit::InternalSetDisplayValue(const Variant& AValue) {
  TuiCustomComboBox::InternalSetDisplayValue(AValue);
  AddItem(Text());
}

void TuiCustomMRUEdit::ApplySelectedLookupItem(TObject* Sender) {
  TuiCustomComboBox::ApplySelectedLookupItem(Sender);
  // Items passed by turning the wheel over the editor do not count as entered.
  if (!wheelNavigation_) AddItem(Text());
}

bool TuiCustomMRUEdit::DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) {
  k58::editors::TScopedFlag wheel(wheelNavigation_, true);
  return TuiCustomComboBox::DoMouseWheel(Shift, WheelDelta, MousePos);
}

void TuiCustomMRUEdit::PropertiesChanged(TObject* Sender) {
  if (Properties() != nullptr) {
    TuiEditButtons* buttons = ActiveProperties()->Buttons();
    const Integer index = ActiveProperties()->ShowEllipsis() ? EllipsisButton : DropDownButton;
    if (index < buttons->Count()) {
      TuiEditButton* button = buttons->Items(index);
      button->SetKind(button->IsGlyphStored() ? bkGlyph : index == EllipsisButton ? bkEllipsis : bkDown);
    }
  }
  TuiCustomComboBox::PropertiesChanged(Sender);
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
