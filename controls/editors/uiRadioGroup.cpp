// The radio group: items with values, the value and index mapping, the item buttons that defer to the
// group, and the windowless drawing of an item.
#include "controls/editors/uiRadioGroup.h"

#include <algorithm>

#include "controls/editors/uiCheckBox.h"
#include "controls/foundation/uiEditUtils.h"
#include "controls/foundation/uxThemeManager.h"
#include "controls/foundation/uxUxTheme.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/forms/ControlsMessages.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Menus.h"
#include "platform/forms/StdCtrlsPublish.h"
#include "platform/rtl/CodePages.h"
#include "platform/win/builtin/CommCtrl.h"

namespace {
Integer radioGroupUnitCount = 0;

bool SameValue(const Variant& A, const Variant& B) {
  return TuiCustomEdit::VarEqualsSameType(A, B) || (VarIsNull(A) && VarIsNull(B));
}
}  // namespace

// ---- Items ----------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiRadioGroupItem) {
  using S = TuiRadioGroupItem;
  b.Prop("Value", &S::Value, &S::SetValue).Stored(&S::IsValueStored);
}

void TuiRadioGroupItem::SetValue(Variant AValue) {
  if (SameValue(value_, AValue)) return;
  value_ = AValue;
  Notify(bgnChanged);
}

void TuiRadioGroupItem::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TuiRadioGroupItem*>(Source)) SetValue(source->value_);
  TuiButtonGroupItem::Assign(Source);
}

K58_IMPLEMENT_CLASS(TuiRadioGroupItems) {}

// ---- Properties -----------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomRadioGroupProperties) {}

K58_IMPLEMENT_CLASS(TuiRadioGroupProperties) {
  using S = TuiRadioGroupProperties;
  b.Prop("AssignedValues", &S::AssignedValues, &S::SetAssignedValues);
  b.Prop("Columns", &S::Columns, &S::SetColumns).Default(1);
  b.Prop("DefaultCaption", &S::DefaultCaption, &S::SetDefaultCaption).Stored(&S::IsDefaultCaptionStored);
  b.Prop("DefaultValue", &S::DefaultValue, &S::SetDefaultValue).Stored(&S::IsDefaultValueStored);
  b.Prop("ImmediatePost", &S::ImmediatePost, &S::SetImmediatePost).Default(false);
  b.Prop("Items", &S::Items, &S::SetItems);
  b.Prop("ReadOnly", &S::ReadOnly, &S::SetReadOnly).Stored(&S::IsReadOnlyStored);
  b.Prop("WordWrap", &S::WordWrap, &S::SetWordWrap).Default(false);
  b.Prop("OnChange", &S::OnChange, &S::SetOnChange);
  b.Prop("OnEditValueChanged", &S::OnEditValueChanged, &S::SetOnEditValueChanged);
}

TuiCustomRadioGroupProperties::TuiCustomRadioGroupProperties() : defaultCaption_(LocalizeText("")) { RecreateItems(); }

bool TuiCustomRadioGroupProperties::IsDefaultCaptionStored() const { return defaultCaption_ != LocalizeText(""); }

void TuiCustomRadioGroupProperties::SetDefaultValue(Variant Value) {
  if (SameValue(defaultValue_, Value)) return;
  defaultValue_ = Value;
  Changed();
}

void TuiCustomRadioGroupProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TuiCustomRadioGroupProperties*>(Source);
  if (source == nullptr) return TuiCustomButtonGroupProperties::Assign(Source);
  BeginUpdate();
  try {
    TuiCustomButtonGroupProperties::Assign(Source);
    defaultCaption_ = source->defaultCaption_;
    SetDefaultValue(source->defaultValue_);
    SetWordWrap(source->WordWrap());
  } catch (...) {
    EndUpdate(true);
    throw;
  }
  EndUpdate(true);
}

TuiButtonGroupItems* TuiCustomRadioGroupProperties::CreateItems() {
  return new TuiRadioGroupItems(this, TuiRadioGroupItem::StaticClass());
}

Integer TuiCustomRadioGroupProperties::GetColumnCount() {
  // A last column may stay empty here (4 items in 3 columns: 2, 2 and 0).
  return std::max<Integer>(1, std::min(Columns(), Items()->Count()));
}

Integer TuiCustomRadioGroupProperties::GetItemIndexByValue(const Variant& AEditValue) {
  for (Integer i = 0; i < Items()->Count(); ++i) {
    TuiRadioGroupItem* item = Items()->Items(i);
    if (VarIsNull(item->Value())) {
      if (!VarIsNull(AEditValue) && !AEditValue.IsEmpty() && item->Caption() == VarToStr(AEditValue)) return i;
    } else if (AreVariantsSame(item->Value(), AEditValue)) {
      return i;
    }
  }
  return -1;
}

Variant TuiCustomRadioGroupProperties::GetValueOfIndex(Integer AIndex) {
  if (AIndex < 0 || AIndex >= Items()->Count()) return defaultValue_;
  TuiRadioGroupItem* item = Items()->Items(AIndex);
  return VarIsNull(item->Value()) ? Variant(item->Caption()) : item->Value();
}

TClass TuiCustomRadioGroupProperties::GetViewDataClass() const { return TuiCustomRadioGroupViewData::StaticClass(); }
TClass TuiCustomRadioGroupProperties::GetEditClass() const { return TuiRadioGroup::StaticClass(); }
TClass TuiCustomRadioGroupProperties::GetViewInfoClass() const { return TuiCustomRadioGroupViewInfo::StaticClass(); }

TuiCustomEditViewData* TuiCustomRadioGroupProperties::CreateViewData(TuiEditStyle* AStyle, bool AIsInplace,
                                                                      bool ALockedState) {
  auto* viewData = new TuiCustomRadioGroupViewData(this, AStyle, AIsInplace);
  viewData->ApplyProperties();
  viewData->EmptyDrawValue = ALockedState;
  return viewData;
}

bool TuiCustomRadioGroupProperties::CompareDisplayValues(const Variant& AEditValue1, const Variant& AEditValue2) {
  return GetItemIndexByValue(AEditValue1) == GetItemIndexByValue(AEditValue2);
}

WideString TuiCustomRadioGroupProperties::GetDisplayText(const Variant& AEditValue, bool) {
  const Integer index = GetItemIndexByValue(AEditValue);
  return Utf8ToWide(index < 0 ? defaultCaption_ : Items()->Items(index)->Caption());
}

void TuiCustomRadioGroupProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool) {
  ADisplayValue = Variant(GetItemIndexByValue(AEditValue));
}

// ---- View data and view info ----------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomRadioGroupViewData) {}

void TuiCustomRadioGroupViewData::GetButtonMetrics(TuiCanvas* ACanvas, TuiButtonGroupButtonMetrics& AMetrics) {
  AMetrics.LeftOffset = IsInplace ? 1 : 6;
  AMetrics.ExtraWidth = IsInplace ? -2 : -6;
  AMetrics.ColumnSpacing = 0;
  if (ACanvas == nullptr) return;
  const bool native = IsButtonNativeStyle();
  if (native) {
    const TSize size = GetButtonThemePartSize(BP_RADIOBUTTON, 1);
    AMetrics.ImageWidth = size.cx;
    AMetrics.ImageHeight = size.cy;
  } else {
    AMetrics.ImageWidth = RadioImageWidth;
    AMetrics.ImageHeight = RadioImageHeight;
  }
  AMetrics.ImageAllowance = native ? 5 : 7;
  AMetrics.WrapGap = native ? 1 : 3;
  AMetrics.LeftMargin = IsInplace ? 1 : 6;
  AMetrics.WrapWidthCorrection = IsInplace ? -5 : -6;
}

void TuiCustomRadioGroupViewData::SetupButtonViewInfo(TuiCustomEditViewInfo* AViewInfo, Integer AIndex) {
  TuiEditButtonViewInfo* button = AViewInfo->Buttons[static_cast<size_t>(AIndex)];
  if (!button->Data.NativeStyle) return;
  auto* vi = static_cast<TuiCustomRadioGroupViewInfo*>(AViewInfo);
  const bool checked = vi->CheckedIndex == AIndex;
  static const Integer states[2][4] = {{4, 1, 3, 2}, {8, 5, 7, 6}};
  const Integer state = states[checked ? 1 : 0][std::min<Integer>(button->Data.State, 3)];
  button->Data.NativePart = BP_RADIOBUTTON;
  button->Data.NativeState = state;
  if (HTHEME theme = OpenThemeObject(totButton))
    button->Data.BackgroundPartiallyTransparent = IsThemeBackgroundPartiallyTransparent(theme, BP_RADIOBUTTON, state) != FALSE;
}

void TuiCustomRadioGroupViewData::Calculate(TuiCanvas* ACanvas, const TRect& ABounds, const TPoint& P, Byte AButton,
                                            TShiftState AShift, TuiCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  auto* vi = static_cast<TuiCustomRadioGroupViewInfo*>(AViewInfo);
  if (auto* group = dynamic_cast<TuiCustomRadioGroup*>(Edit)) vi->CheckedIndex = group->ItemIndex();
  TuiButtonGroupViewData::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  vi->SetBackgroundColor(style_->Color());
  TuiButtonGroupButtonMetrics metrics;
  GetButtonMetrics(ACanvas, metrics);
  vi->ImageSize = TSize{metrics.ImageWidth, metrics.ImageHeight};
}

void TuiCustomRadioGroupViewData::EditValueToDrawValue(TuiCanvas*, const Variant& AEditValue,
                                                       TuiCustomEditViewInfo* AViewInfo) {
  auto* vi = static_cast<TuiCustomRadioGroupViewInfo*>(AViewInfo);
  vi->CheckedIndex = RadioProperties()->GetItemIndexByValue(AEditValue);
  if (MeasuredWithLimit) vi->CaptionTextFlags = GetDrawTextFlags();
}

K58_IMPLEMENT_CLASS(TuiCustomRadioGroupViewInfo) {}

TuiCustomRadioGroupViewInfo::TuiCustomRadioGroupViewInfo() { SharedRadioButtonImages(); }

void TuiCustomRadioGroupViewInfo::Paint(TuiCanvas* ACanvas) {
  TuiButtonGroupViewInfo::Paint(ACanvas);
  // Item images are windows of their own, except when painted into a cell.
  if (EditControl == nullptr)
    for (Integer i = 0; i < ButtonCount(); ++i) DrawButton(ACanvas, i);
}

void TuiCustomRadioGroupViewInfo::DrawButton(TuiCanvas* ACanvas, Integer AIndex) {
  TuiEditButtonViewInfo* button = Buttons[static_cast<size_t>(AIndex)];
  const TRect b = button->Bounds;
  TRect image{b.left, b.top + (b.bottom - b.top - ImageSize.cy) / 2, b.left + ImageSize.cx, 0};
  image.bottom = image.top + ImageSize.cy;
  if (IsBoundPaintCopy && !button->Data.NativeStyle) OffsetRect(&image, 1, 0);
  const Integer saved = ACanvas->SaveState();
  if (ImageSize.cy > b.bottom - b.top) ACanvas->IntersectClipRect(b);
  const bool checked = AIndex == CheckedIndex;
  TuiButtonState state = ButtonStateToPainterState(button->Data.State);
  if (button->Data.NativeStyle) {
    HTHEME theme = OpenThemeObject(totButton);
    if (button->Data.BackgroundPartiallyTransparent && !Transparent) ACanvas->FillRectWithColor(b, BackgroundColor);
    if (theme != nullptr) DrawThemeBackground(theme, ACanvas->GetDCHandle(), BP_RADIOBUTTON, button->Data.NativeState, image);
  } else {
    TuiLookAndFeelKind kind = lfStandard;
    switch (button->Data.Style) {
      case btsFlat: kind = lfFlat; break;
      case btsUltraFlat: kind = lfUltraFlat; break;
      case btsOffice11: kind = lfOffice11; break;
      default: break;
    }
    ChoosePainterClass(false, kind)->PaintRadioButton(ACanvas, image.left, image.top, state, checked, false,
                                                      Transparent ? clDefault : BackgroundColor, IsDesigning);
  }
  ACanvas->ExcludeClipRect(image);
  if (!Transparent && !button->Data.BackgroundPartiallyTransparent) ACanvas->FillRectWithColor(b, BackgroundColor);
  ACanvas->RestoreState(saved);
  TRect text{image.right, b.top, b.right, b.bottom};
  const TRect margins = button->Data.NativeStyle ? TRect{3, -1, 0, -1} : TRect{5, 0, 1, 0};
  text = TRect{text.left + margins.left, text.top + margins.top, text.right - margins.right, text.bottom - margins.bottom};
  if (IsBoundPaintCopy) OffsetRect(&text, 0, -1);
  ACanvas->SetCanvasFont(Font);
  ACanvas->GetCanvasFont()->SetColor(TextColor);
  ACanvas->GetCanvasBrush()->SetStyle(bsClear);
  ACanvas->DrawCaptionText(button->Data.Caption, text, CaptionTextFlags, true);
  if (!IsInplace && Focused && checked) {
    TRect f = text;
    ACanvas->CalculateTextRect(button->Data.Caption, f, CaptionTextFlags);
    InflateRect(&f, 1, 1);
    f.bottom += 1;
    ACanvas->GetCanvasBrush()->SetStyle(bsSolid);
    ACanvas->GetCanvasBrush()->SetColor(BackgroundColor);
    ACanvas->DrawFocusRectangle(f);
  }
}

// ---- Item button ----------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomRadioGroupButton) {}

TuiCustomRadioGroupButton::TuiCustomRadioGroupButton(TuiCustomRadioGroup* AGroup)
    : TuiRadioButton(AGroup), group_(AGroup) {
  group_->ButtonAdded(this);
  LookAndFeel()->SetMaster(group_->Style()->LookAndFeel());
}

TuiCustomRadioGroupButton::~TuiCustomRadioGroupButton() {
  if (group_ != nullptr) group_->ButtonRemoved(this);
}

TuiContainer* TuiCustomRadioGroupButton::GetControlContainer() { return group_; }

bool TuiCustomRadioGroupButton::IsNativeBackground() { return group_->IsInplace(); }
bool TuiCustomRadioGroupButton::NeedsParentBackground() { return group_->NeedsParentBackground(); }
bool TuiCustomRadioGroupButton::IsNativeStyle() { return CanUseNativeButtonTheme(group_->Style()->LookAndFeel()); }
bool TuiCustomRadioGroupButton::IsTransparentDrawn() { return group_->Transparent() && !group_->IsInplace(); }
bool TuiCustomRadioGroupButton::CanFocus() { return group_->CanFocus() && TuiRadioButton::CanFocus(); }

void TuiCustomRadioGroupButton::Click() {
  TuiRadioButton::Click();
  if (!group_->ComponentState().Contains(csLoading)) group_->Click();
}

void TuiCustomRadioGroupButton::DoEnter() {
  // The group's own handling replaces the plain button's check on entry.
  TButtonControl::DoEnter();
  group_->UpdateAtCursorPos();
  if (Checked()) return;
  group_->LockChangeEvents(true);
  try {
    if (!Focused() || group_->DoEditing()) {
      const bool saved = group_->IsUserAction();
      group_->SetUserAction(Focused());
      try {
        group_->SetItemIndex(group_->IndexOfButton(this));
      } catch (...) {
        group_->SetUserAction(saved);
        throw;
      }
      group_->SetUserAction(saved);
      if (Focused() && group_->ActiveProperties()->ImmediatePost() && group_->CanPostEditValue() &&
          group_->ValidateEdit(true))
        group_->PostEditValue(false);
    }
  } catch (...) {
    group_->LockChangeEvents(false);
    throw;
  }
  group_->LockChangeEvents(false);
}

void TuiCustomRadioGroupButton::DoExit() {
  TuiRadioButton::DoExit();
  group_->UpdateAtCursorPos();
}

void TuiCustomRadioGroupButton::KeyPress(char& Key) {
  TuiRadioButton::KeyPress(Key);
  if ((Key == '\b' || Key == ' ') && group_->ActiveProperties()->ReadOnly()) Key = 0;
}

void TuiCustomRadioGroupButton::WndProc(TMessage& Message) {
  if ((Message.Msg == CN_KEYDOWN || Message.Msg == CN_SYSKEYDOWN) && group_->ProcessInnerKeyMessage(Message)) return;
  if ((Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) && group_->DragMode() == dmAutomatic &&
      !group_->IsDesigning()) {
    group_->BeginDrag(false);
    return;
  }
  TuiRadioButton::WndProc(Message);
}

void TuiCustomRadioGroupButton::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETDLGCODE:
      TuiRadioButton::Dispatch(Message);
      if (group_->IsInplace()) Message.Result |= DLGC_WANTARROWS | DLGC_WANTTAB;
      return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      TuiRadioButton::Dispatch(Message);
      const HWND other = reinterpret_cast<HWND>(Message.WParam);
      if (!Destroying() && group_->HandleAllocated() && other != group_->Handle()) group_->FocusStateChanged();
      return;
    }
    case CN_COMMAND: {
      if (inCommand_) return;
      k58::editors::TScopedFlag running(inCommand_, true);
      const Word code = static_cast<Word>(HIWORD(Message.WParam));
      if (code != BN_CLICKED && code != BN_DOUBLECLICKED) break;
      try {
        // A click checks the button only when the group may be edited.
        if (Checked() || (group_->CanModify() && group_->DoEditing())) TuiRadioButton::Dispatch(Message);
      } catch (Exception& e) {
        Application->ShowException(&e);
      }
      return;
    }
    default: break;
  }
  TuiRadioButton::Dispatch(Message);
}

// ---- Radio group ----------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomRadioGroup) {}

K58_IMPLEMENT_CLASS(TuiRadioGroup) {
  using S = TuiRadioGroup;
  PublishControl(b, {"Align", "Anchors", "Constraints", "Ctl3D", "DragCursor", "DragKind", "DragMode",
                     "Enabled", "ParentBackground", "ParentColor", "ParentCtl3D", "ParentFont",
                     "ParentShowHint", "PopupMenu", "ShowHint", "TabOrder", "TabStop", "Visible", "OnClick",
                     "OnContextPopup"});
  k58::forms::PublishWindowedEvents(b, false);
  b.Prop("Alignment", &S::Alignment, &S::SetAlignment).Default(alTopLeft);
  b.Prop("Caption", &S::Caption, &S::SetCaption);
  b.Prop("Properties", &S::Properties, &S::SetProperties);
  b.Prop("ItemIndex", &S::ItemIndex, &S::SetItemIndex).Stored(&S::IsItemIndexStored);
}

TuiCustomRadioGroup::TuiCustomRadioGroup(TComponent* AOwner) : TuiCustomButtonGroup(AOwner) {}

TClass TuiCustomRadioGroup::GetPropertiesClass() const { return TuiCustomRadioGroupProperties::StaticClass(); }
TClass TuiRadioGroup::GetPropertiesClass() const { return TuiRadioGroupProperties::StaticClass(); }

void TuiCustomRadioGroup::Initialize() {
  TuiCustomButtonGroup::Initialize();
  // No child controls of its own: only the item buttons.
  const bool parentBackground = ControlStyle().Contains(csParentBackground);
  TControlStyle style{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks, csReplicatable};
  if (parentBackground) style.Include(csParentBackground);
  SetControlStyle(style);
  loadedItemIndex_ = -1;
  SetAutoSize(false);
  SetWidth(185);
  SetHeight(105);
}

TWinControl* TuiCustomRadioGroup::CreateButton() { return new TuiCustomRadioGroupButton(this); }

Integer TuiCustomRadioGroup::ItemIndex() {
  if (ComponentState().Contains(csReading) || ComponentState().Contains(csLoading)) return loadedItemIndex_;
  for (Integer i = 0; i < ButtonCount(); ++i)
    if (RadioButtons(i)->Checked()) return i;
  return -1;
}

void TuiCustomRadioGroup::SetItemIndex(Integer Value) {
  if (ComponentState().Contains(csReading)) {
    loadedItemIndex_ = Value;
    return;
  }
  Value = std::max<Integer>(-1, std::min(Value, ButtonCount() - 1));
  Variant value;
  DisplayValueToEditValue(Variant(Value), value, IsEditFocused());
  InternalSetItemIndex(Value, value);
}

void TuiCustomRadioGroup::CheckButton(Integer AIndex) {
  const Integer checked = ItemIndex();
  if (checked == AIndex) return;
  if (AIndex < 0) {
    if (checked >= 0) RadioButtons(checked)->SetChecked(false);
  } else {
    TuiCustomRadioGroupButton* button = RadioButtons(AIndex);
    button->SetClicksDisabled(false);
    button->SetChecked(true);
  }
}

void TuiCustomRadioGroup::InternalSetItemIndex(Integer AIndex, const Variant& AValue) {
  if (IsUserAction() && !DoEditing()) return;
  TuiCustomEdit::StoreEditValue(AValue, false);
  const Integer checked = ItemIndex();
  if (checked != AIndex) {
    CheckButton(AIndex);
    if (ComponentState().Contains(csLoading)) loadedItemIndex_ = AIndex;
    NotifyChange();
  } else if (!IsUserAction()) {
    SetModifiedAfterEnter(false);
  }
  UpdateAtCursorPos();
}

void TuiCustomRadioGroup::StoreEditValue(const Variant& AValue, bool) {
  InternalSetItemIndex(ActiveRadioProperties()->GetItemIndexByValue(AValue), AValue);
}

void TuiCustomRadioGroup::DisplayValueToEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool) {
  AEditValue = ActiveRadioProperties()->GetValueOfIndex(ADisplayValue.AsInteger());
}

void TuiCustomRadioGroup::ReadState(TReader* Reader) {
  loadedItemIndex_ = -1;
  TuiCustomButtonGroup::ReadState(Reader);
}

void TuiCustomRadioGroup::Loaded() {
  const Integer remembered = loadedItemIndex_;
  TuiCustomButtonGroup::Loaded();
  if (!IsDataBound()) SetEditValue(ActiveRadioProperties()->DefaultValue());
  LockChangeEvents(true);
  LockClick(true);
  try {
    SetItemIndex(remembered);
  } catch (...) {
    LockClick(false);
    LockChangeEvents(false, false);
    throw;
  }
  LockClick(false);
  LockChangeEvents(false, false);
}

void TuiCustomRadioGroup::UpdateButtons() {
  if (IsLoadingOrDestroying() && !ComponentState().Contains(csLoading)) return;
  const Integer index = ItemIndex();
  TuiCustomButtonGroup::UpdateButtons();
  if (ComponentState().Contains(csReading)) return;
  TuiRadioGroupItems* items = ActiveRadioProperties()->Items();
  for (Integer i = 0; i < ButtonCount() && i < items->Count(); ++i) {
    RadioButtons(i)->SetCaption(items->Items(i)->Caption());
    RadioButtons(i)->SetWordWrap(ActiveRadioProperties()->WordWrap());
  }
  if (index >= 0 && index < ButtonCount() && ItemIndex() != index) {
    LockChangeEvents(true);
    LockClick(true);
    CheckButton(index);
    LockClick(false);
    LockChangeEvents(false, false);
  }
}

void TuiCustomRadioGroup::UpdateButtonsStyle() {
  TuiCustomButtonGroup::UpdateButtonsStyle();
  TuiCustomEditViewInfo* vi = EditViewInfo();
  if (vi->ButtonCount() == 0) return;
  TuiLookAndFeelKind kind = lfStandard;
  switch (vi->Buttons[0]->Data.Style) {
    case btsFlat: kind = lfFlat; break;
    case btsUltraFlat: kind = lfUltraFlat; break;
    case btsOffice11: kind = lfOffice11; break;
    default: break;
  }
  for (Integer i = 0; i < ButtonCount(); ++i) {
    TuiCustomRadioGroupButton* button = RadioButtons(i);
    if (button->LookAndFeel()->Kind() != kind) button->LookAndFeel()->SetKind(kind);
    if (!button->Enabled()) button->Font()->SetColor(StyleDisabled()->TextColor());
    button->SetTransparent(Transparent());
  }
}

bool TuiCustomRadioGroup::IsButtonCanvasHandle(HDC) { return false; }

bool TuiCustomRadioGroup::HasFocus() {
  for (Integer i = 0; i < ButtonCount(); ++i)
    if (RadioButtons(i)->HandleAllocated() && RadioButtons(i)->Focused()) return false;
  return TuiCustomButtonGroup::HasFocus();
}

void TuiCustomRadioGroup::GetTabOrderList(std::vector<TWinControl*>& List) {
  TuiCustomButtonGroup::GetTabOrderList(List);
  if (!TabStop()) List.erase(std::remove(List.begin(), List.end(), static_cast<TWinControl*>(this)), List.end());
  // Tab reaches the checked button.
  const Integer checked = ItemIndex();
  if (checked >= 0) List.push_back(RadioButtons(checked));
}

void TuiCustomRadioGroup::Activate(TuiCustomEditData*& AEditData) {
  TuiCustomButtonGroup::Activate(AEditData);
  if (ButtonCount() == 0) return;
  const Integer checked = ItemIndex();
  TuiCustomRadioGroupButton* button = RadioButtons(checked >= 0 ? checked : 0);
  if (button->CanFocus()) button->SetFocus();
}

void TuiCustomRadioGroup::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case UM_RADIOGROUP_FOCUSBUTTON: {
      const Integer index = static_cast<Integer>(Message.WParam);
      if (index >= 0 && index < ButtonCount() && RadioButtons(index)->CanFocus()) RadioButtons(index)->SetFocus();
      return;
    }
    case CM_DIALOGCHAR: {
      auto& m = reinterpret_cast<TCMDialogChar&>(Message);
      if (IsAccel(m.CharCode(), Caption()) && CanFocus()) {
        SelectFirst();
        Message.Result = 1;
        return;
      }
      break;
    }
    default: break;
  }
  TuiCustomButtonGroup::WndProc(Message);
}

namespace k58::editors {
void StartRadioGroupUnit() {
  if (radioGroupUnitCount++ > 0) return;
  GetEditPropertiesRegistry()->Register(TuiRadioGroupProperties::StaticClass(),
                                        "RadioGroup|Represents a group of radio buttons");
}

void StopRadioGroupUnit() {
  if (radioGroupUnitCount == 0 || --radioGroupUnitCount > 0) return;
  GetEditPropertiesRegistry()->Unregister(TuiRadioGroupProperties::StaticClass());
}
}  // namespace k58::editors
