// The popup edit: its Properties, the moving of PopupControl into the popup and back, and the registration of
// the combo box and the popup edit.
#include "controls/editors/uiPopupEdit.h"

#include "controls/foundation/uiClasses.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/forms/ControlsPublish.h"

// ---- Properties -----------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomPopupEditProperties) {}

K58_IMPLEMENT_CLASS(TuiPopupEditProperties) {
  using S = TuiPopupEditProperties;
  b.Prop("Alignment", &S::Alignment, &S::SetAlignment);
  b.Prop("AssignedValues", &S::AssignedValues, &S::SetAssignedValues);
  b.Prop("AutoSelect", &S::AutoSelect, &S::SetAutoSelect).Default(true);
  b.Prop("BeepOnError", &S::BeepOnError, &S::SetBeepOnError).Default(false);
  b.Prop("ButtonGlyph", &S::ButtonGlyph, &S::SetButtonGlyph).Stored(&S::IsButtonGlyphStored);
  b.Prop("CaseInsensitive", &S::CaseInsensitive, &S::SetCaseInsensitive).Default(true);
  b.Prop("CharCase", &S::CharCase, &S::SetCharCase).Default(ecNormal);
  b.Prop("EchoMode", &S::EchoMode, &S::SetEchoMode).Default(eemNormal);
  b.Prop("MaskKind", &S::MaskKind, &S::SetMaskKind).Default(emkStandard);
  b.Prop("EditMask", &S::EditMask, &S::SetEditMask).Default(String());
  b.Prop("HideSelection", &S::HideSelection, &S::SetHideSelection).Default(true);
  b.Prop("IgnoreMaskBlank", &S::IgnoreMaskBlank, &S::SetIgnoreMaskBlank).Default(false);
  b.Prop("ImeMode", &S::ImeMode, &S::SetImeMode).Default(imDontCare);
  b.Prop("ImeName", &S::ImeName, &S::SetImeName).Type("TImeName");
  b.Prop("ImmediateDropDown", &S::ImmediateDropDown, &S::SetImmediateDropDown).Default(true);
  b.Prop("ImmediatePopup", &S::ImmediatePopup, &S::SetImmediatePopup).Default(true);
  b.Prop("IncrementalSearch", &S::IncrementalSearch, &S::SetIncrementalSearch).Default(true);
  b.Prop("LookupItems", &S::LookupItems, &S::SetLookupItems);
  b.Prop("LookupItemsSorted", &S::LookupItemsSorted, &S::SetLookupItemsSorted).Default(false);
  b.Prop("MaxLength", &S::MaxLength, &S::SetMaxLength).Stored(&S::IsMaxLengthStored);
  b.Prop("OEMConvert", &S::OEMConvert, &S::SetOEMConvert).Default(false);
  b.Prop("PasswordChar", &S::PasswordChar, &S::SetPasswordChar).Default('\0');
  b.Prop("PopupAlignment", &S::PopupAlignment, &S::SetPopupAlignment).Default(taLeftJustify);
  b.Prop("PopupAutoSize", &S::PopupAutoSize, &S::SetPopupAutoSize).Default(true);
  b.Prop("PopupClientEdge", &S::PopupClientEdge, &S::SetPopupClientEdge).Default(false);
  b.Prop("PopupControl", &S::PopupControl, &S::SetPopupControl);
  // The minimums before the sizes, so reading keeps the sizes as written.
  b.Prop("PopupMinHeight", &S::PopupMinHeight, &S::SetPopupMinHeight).Default(100);
  b.Prop("PopupMinWidth", &S::PopupMinWidth, &S::SetPopupMinWidth).Default(100);
  b.Prop("PopupHeight", &S::PopupHeight, &S::SetPopupHeight).Default(200);
  b.Prop("PopupSizeable", &S::PopupSizeable, &S::SetPopupSizeable).Default(true);
  b.Prop("PopupSysPanelStyle", &S::PopupSysPanelStyle, &S::SetPopupSysPanelStyle).Default(false);
  b.Prop("PopupWidth", &S::PopupWidth, &S::SetPopupWidth).Default(250);
  b.Prop("ReadOnly", &S::ReadOnly, &S::SetReadOnly).Stored(&S::IsReadOnlyStored);
  b.Prop("UseLeftAlignmentOnEditing", &S::UseLeftAlignmentOnEditing, &S::SetUseLeftAlignmentOnEditing)
      .Stored(&S::IsUseLeftAlignmentStored);
  b.Prop("ValidateOnEnter", &S::ValidateOnEnter, &S::SetValidateOnEnter).Default(true);
  b.Prop("OnChange", &S::OnChange, &S::SetOnChange);
  b.Prop("OnCloseQuery", &S::OnCloseQuery, &S::SetOnCloseQuery);
  b.Prop("OnCloseUp", &S::OnCloseUp, &S::SetOnCloseUp);
  b.Prop("OnEditValueChanged", &S::OnEditValueChanged, &S::SetOnEditValueChanged);
  b.Prop("OnInitPopup", &S::OnInitPopup, &S::SetOnInitPopup);
  b.Prop("OnPopup", &S::OnPopup, &S::SetOnPopup);
  b.Prop("OnValidate", &S::OnValidate, &S::SetOnValidate);
}

TuiCustomPopupEditProperties::TuiCustomPopupEditProperties() {
  SetPopupAutoSize(true);
  SetPopupMinHeight(100);
  SetPopupMinWidth(100);
  SetPopupHeight(200);
  SetPopupSizeable(true);
  SetPopupWidth(250);
}

TuiCustomPopupEditProperties::~TuiCustomPopupEditProperties() { SetPopupControl(nullptr); }

TuiPopupEditProperties::TuiPopupEditProperties() {
  SetImmediateDropDown(true);
  SetImmediatePopup(true);
}

void TuiCustomPopupEditProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TuiCustomPopupEditProperties*>(Source);
  if (source == nullptr) return TuiCustomDropDownEditProperties::Assign(Source);
  BeginUpdate();
  try {
    TuiCustomDropDownEditProperties::Assign(Source);
    SetPopupControl(source->popupControl_);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TuiCustomPopupEditProperties::FreeNotification(TComponent* AComponent) {
  TuiCustomDropDownEditProperties::FreeNotification(AComponent);
  if (AComponent != nullptr && AComponent == popupControl_) popupControl_ = nullptr;
}

void TuiCustomPopupEditProperties::SetPopupControl(TControl* Value) {
  if (Value == popupControl_) return;
  if (popupControl_ != nullptr) FreeNotificator()->RemoveSender(popupControl_);
  popupControl_ = Value;
  if (popupControl_ != nullptr) FreeNotificator()->AddSender(popupControl_);
}

TClass TuiCustomPopupEditProperties::GetEditClass() const { return TuiPopupEdit::StaticClass(); }
TClass TuiCustomPopupEditProperties::GetPopupWindowClass() const { return TuiPopupEditPopupWindow::StaticClass(); }

// ---- Popup window ---------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiPopupEditPopupWindowViewInfo) {}
K58_IMPLEMENT_CLASS(TuiPopupEditPopupWindow) {}

TuiContainerViewInfoClass TuiPopupEditPopupWindow::GetViewInfoClass() {
  return []() -> TuiContainerViewInfo* { return new TuiPopupEditPopupWindowViewInfo; };
}

// ---- Editor ---------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomPopupEdit) {}

K58_IMPLEMENT_CLASS(TuiPopupEdit) {
  using S = TuiPopupEdit;
  PublishControl(b, {"Anchors",      "Constraints",  "DragCursor",     "DragKind",  "DragMode",    "Enabled",
                     "ParentColor",  "ParentFont",   "ParentShowHint", "PopupMenu", "ShowHint",    "TabOrder",
                     "TabStop",      "Text",         "Visible",        "OnClick",   "OnContextPopup",
                     "OnDblClick",   "OnDragDrop",   "OnDragOver",     "OnEndDock", "OnEndDrag",   "OnEnter",
                     "OnExit",       "OnKeyDown",    "OnKeyPress",     "OnKeyUp",   "OnMouseDown", "OnMouseEnter",
                     "OnMouseLeave", "OnMouseMove",  "OnMouseUp",      "OnStartDock", "OnStartDrag"});
  b.Prop("ImeMode", &S::ImeMode, &S::SetImeMode).Default(imDontCare);
  b.Prop("ImeName", &S::ImeNameValue, &S::SetImeName);
  b.Prop("Properties", &S::Properties, &S::SetProperties);
}

TClass TuiCustomPopupEdit::GetPropertiesClass() const { return TuiCustomPopupEditProperties::StaticClass(); }
TClass TuiPopupEdit::GetPropertiesClass() const { return TuiPopupEditProperties::StaticClass(); }

void TuiCustomPopupEdit::BeforeDestruction() {
  // The control goes back to its form before the popup closes with the editor.
  if (PopupWindow() != nullptr && PopupWindow()->IsShown()) RestorePopupControl();
  TuiCustomDropDownEdit::BeforeDestruction();
}

void TuiCustomPopupEdit::ClosePopup(TObject*, TuiPopupCloseReason AReason) {
  if (PopupWindow() == nullptr) return;
  SetCloseReason(AReason);
  PopupWindow()->PostCloseMessage();
}

void TuiCustomPopupEdit::DoInitPopup() {
  TControl* control = ActiveProperties()->PopupControl();
  bool circular = control != nullptr && (control == PopupWindow() || control == this);
  for (TWinControl* parent = Parent(); !circular && parent != nullptr; parent = parent->Parent())
    circular = control == parent;
  if (circular) throw Exception(LocalizeText(uipopupeditconsts::scxCircularReference));
  TuiCustomDropDownEdit::DoInitPopup();
}

TControl* TuiCustomPopupEdit::GetPopupFocusedControl() {
  return dynamic_cast<TWinControl*>(ActiveProperties()->PopupControl());
}

void TuiCustomPopupEdit::CalculatePopupContentSize(TSize& ASize) {
  TControl* control = ActiveProperties()->PopupControl();
  ASize = control != nullptr ? TSize{control->Width(), control->Height()} : TSize{0, 0};
}

void TuiCustomPopupEdit::PositionPopupContent(const TRect& AClientRect) {
  if (TControl* control = ActiveProperties()->PopupControl())
    control->SetBounds(AClientRect.left, AClientRect.top, AClientRect.right - AClientRect.left,
                       AClientRect.bottom - AClientRect.top);
}

void TuiCustomPopupEdit::PreparePopup() {
  TControl* control = ActiveProperties()->PopupControl();
  if (control == nullptr || PopupWindow() == nullptr) return TuiCustomDropDownEdit::PreparePopup();
  SavePopupControlState();
  control->SetParent(PopupWindow());
  control->SetVisible(true);
  TuiCustomDropDownEdit::PreparePopup();
  control->SetAlign(alClient);
}

void TuiCustomPopupEdit::SavePopupControlState() {
  TControl* control = ActiveProperties()->PopupControl();
  savedAlign_ = control->Align();
  if (auto* form = dynamic_cast<TCustomForm*>(control)) {
    savedBorderStyle_ = form->BorderStyle();
    form->SetBorderStyle(bsNone);
  }
  savedBounds_ = control->BoundsRect();
  savedParent_ = control->Parent();
  savedVisible_ = control->Visible();
}

void TuiCustomPopupEdit::RestorePopupControl() {
  TControl* control = ActiveProperties()->PopupControl();
  if (control == nullptr || control->Parent() != PopupWindow()) return;
  control->SetVisible(false);
  control->SetParent(savedParent_);
  control->SetAlign(savedAlign_);
  control->SetBoundsRect(savedBounds_);
  if (auto* form = dynamic_cast<TCustomForm*>(control)) form->SetBorderStyle(savedBorderStyle_);
  control->SetVisible(savedVisible_);
}

void TuiCustomPopupEdit::PopupWindowClosed(TObject* Sender) {
  RestorePopupControl();
  TuiCustomDropDownEdit::PopupWindowClosed(Sender);
}

// ---- Registration ---------------------------------------------------------------------------------------

namespace {
Integer popupEditUnitCount = 0;
}  // namespace

namespace k58::editors {

void StartPopupEditUnit() {
  if (popupEditUnitCount++ > 0) return;
  GetEditPropertiesRegistry()->Register(TuiComboBoxProperties::StaticClass(), uicomboboxconsts::scxComboBoxDescription);
  GetEditPropertiesRegistry()->Register(TuiPopupEditProperties::StaticClass(),
                                        uipopupeditconsts::scxPopupEditDescription);
}

void StopPopupEditUnit() {
  if (popupEditUnitCount == 0 || --popupEditUnitCount > 0) return;
  GetEditPropertiesRegistry()->Unregister(TuiPopupEditProperties::StaticClass());
  GetEditPropertiesRegistry()->Unregister(TuiComboBoxProperties::StaticClass());
}

}  // namespace k58::editors
