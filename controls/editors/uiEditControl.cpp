// The editor control base: construction and lifetime, the value life cycle (storing, validating, posting,
// reverting), change notification, the repository item, view refresh, auto size and form streaming; the
// change-events catcher, the base data binding and the edit data.
#include <algorithm>

#include "controls/editors/uiEdit.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Filer.h"

namespace uieditconsts {
const char* const scxEditRepositoryItemNotAcceptable = "The repository item is not acceptable";
}  // namespace uieditconsts

using k58::editors::TScopedFlag;

// ---- Change-events catcher ------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiEditChangeEventsCatcher) {}

void TuiEditChangeEventsCatcher::Lock(bool ALock, bool AInvokeChangedOnUnlock) {
  if (ALock) {
    if (lockCount_ == 0) OnChangeEvent = OnEditValueChangedEvent = false;
    ++lockCount_;
    return;
  }
  if (lockCount_ <= 0) return;
  if (--lockCount_ > 0 || !AInvokeChangedOnUnlock || edit_ == nullptr || edit_->IsLoadingOrDestroying()) return;
  if (OnChangeEvent) {
    OnChangeEvent = false;
    if (edit_->HasOnChange()) edit_->DoChange();
  }
  if (OnEditValueChangedEvent) {
    OnEditValueChangedEvent = false;
    if (edit_->HasOnEditValueChanged()) edit_->DoEditValueChanged();
  }
}

// ---- Data binding ---------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiEditDataBinding) {}

TuiEditDataBinding::TuiEditDataBinding(TuiCustomEdit* AEdit) : edit_(AEdit) {}

TuiEditDataBinding::~TuiEditDataBinding() = default;

void TuiEditDataBinding::EnsureProvider() {
  if (provider_ == nullptr) provider_.reset(CreateDefaultValuesProvider());
}

TPersistent* TuiEditDataBinding::GetOwner() { return edit_; }

void TuiEditDataBinding::DefaultValuesChanged() {
  TuiCustomEditProperties* properties = edit_->ActiveProperties();
  if (edit_->RepositoryItem() == nullptr) {
    properties->Changed();
    return;
  }
  // The shared properties' other users are not told; this editor refreshes itself.
  properties->BeginUpdate();
  try {
    properties->Changed();
  } catch (...) {
    properties->EndUpdate(false);
    throw;
  }
  properties->EndUpdate(false);
  edit_->PropertiesChanged(properties);
}

void TuiEditDataBinding::GetDisplayValue(Variant& AValue) {
  String text;
  edit_->GetDisplayText(text);
  AValue = Variant(text);
}

bool TuiEditDataBinding::IsModified() { return edit_->Modified(); }
void TuiEditDataBinding::GetStoredValue(Variant& AValue) { AValue = edit_->EditValue(); }
void TuiEditDataBinding::Reset() { edit_->Revert(); }
void TuiEditDataBinding::SetDisplayValue(const Variant& AValue) { edit_->AssignDisplayValue(AValue); }
bool TuiEditDataBinding::IsInDesignMode() { return edit_->ComponentState().Contains(csDesigning); }
void TuiEditDataBinding::UpdateDisplayValue() { edit_->SynchronizeDisplayValue(); }

// ---- Edit data ------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomEditData) {}

TuiCustomEditData::TuiCustomEditData(TuiCustomEdit* AEdit) : edit_(AEdit) {
  notificator_.reset(new TuiFreeNotificator(nullptr));
  notificator_->SetOnComponentFreed([this](TObject*, TComponent* AComponent) {
    if (AComponent == edit_) edit_ = nullptr;
  });
  notificator_->AddSender(AEdit);
  Clear();
}

TuiCustomEditData::~TuiCustomEditData() { notificator_.reset(); }

void TuiCustomEditData::Clear() {
  Cleared = true;
  if (edit_ != nullptr) edit_->ApplyEditData(this);
}

// ---- Editor: construction and lifetime --------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomEdit) {
  using S = TuiCustomEdit;
  b.Prop("AutoSize", &S::AutoSize, &S::SetAutoSize).Default(true);
  // Written through the defined properties of the same names, which leave out auto-sized dimensions.
  b.Prop("Height", &S::Height, &S::SetHeight).Stored(false);
  b.Prop("Width", &S::Width, &S::SetWidth).Stored(false);
  b.Prop("EditValue", &S::EditValueForStreaming, &S::SetEditValueForStreaming).Stored(&S::IsEditValueStored);
  b.Prop("PropertiesEvents", &S::PropertiesEvents, &S::SetPropertiesEvents);
  b.Prop("RepositoryItem", &S::RepositoryItem, &S::SetRepositoryItem);
  b.Prop("Style", &S::Style, &S::SetStyle);
  b.Prop("StyleDisabled", &S::StyleDisabled, &S::SetStyleDisabled);
  b.Prop("StyleFocused", &S::StyleFocused, &S::SetStyleFocused);
  b.Prop("StyleHot", &S::StyleHot, &S::SetStyleHot);
  b.Prop("Transparent", &S::Transparent, &S::SetTransparent).Default(false);
  b.Prop("OnEditing", &S::OnEditing, &S::SetOnEditing);
}

TuiCustomEdit::TuiCustomEdit(TComponent* AOwner) : TuiCustomEdit(AOwner, StyleClassOf<TuiEditStyle>()) {}

TuiCustomEdit::TuiCustomEdit(TComponent* AOwner, TuiContainerStyleClass AStyleClass)
    : TuiContainer(AOwner, AStyleClass, StylesClassOf<TuiContainerStyles>()), styleClass_(AStyleClass) {
  editViewInfo_.reset(new TuiCustomEditViewInfo);
}

void TuiCustomEdit::AfterConstruction() {
  // The own properties come from the final class, so the set-up runs once the object is complete.
  Initialize();
  TuiContainer::AfterConstruction();
}

void TuiCustomEdit::Initialize() {
  catcher_ = std::make_unique<TuiEditChangeEventsCatcher>(this);
  properties_ = TuiCustomEditProperties::CreateOfClass(GetPropertiesClass(), this);
  editViewInfo_.reset(CreateEditViewInfo());
  {
    std::unique_ptr<TuiCustomEditViewData, TObjectDeleter> viewData(CreateViewData());
    viewDataState_ = viewData->State;
    viewDataStateValid_ = true;
  }
  TControlStyle style = ControlStyle();
  style.Include(csCaptureMouse);
  style.Include(csSetCaption);
  style.Include(csReplicatable);
  SetControlStyle(style);
  SetTabStop(true);
  innerEdit_ = CreateInnerEdit();
  if (innerEdit_ != nullptr) {
    InitializeInnerEdit();
    SetInnerControl(innerEdit_->GetControl());
  }
  dataBinding_.reset(CreateDataBinding());
  autoSize_ = !IsInplace();
  capturedButton_ = -1;
  editValue_ = Null();
  transparent_ = false;
  properties_->SetOnPropertiesChanged([this](TObject* Sender) { PropertiesChanged(Sender); });
  dblClickTimer_.reset(new TuiTimer(nullptr));
  dblClickTimer_->SetEnabled(false);
  dblClickTimer_->SetInterval(GetDoubleClickTime());
  dblClickTimer_->SetOnTimer([this](TObject* Sender) { DblClickTimerHandler(Sender); });
  if (!IsInplace()) {
    dataBinding_->SetEdit(this);
    properties_->SetDefaultValuesProvider(dataBinding_->DefaultValuesProvider());
  }
  initialParentPending_ = true;
}

void TuiCustomEdit::BeforeDestruction() {
  destroying_ = true;
  TuiContainer::BeforeDestruction();
}

TuiCustomEdit::~TuiCustomEdit() {
  destroying_ = true;
  dblClickTimer_.reset();
  if (repositoryItem_ != nullptr) repositoryItem_->RemoveListener(this);
  repositoryItem_ = nullptr;
  innerEdit_ = nullptr;
  if (properties_ != nullptr) {
    properties_->SetOnPropertiesChanged(TNotifyEvent{});
    if (!IsInplace()) properties_->SetDefaultValuesProvider(nullptr);
  }
  dataBinding_.reset();
  modifiedStack_.clear();
  FreeAndNil(properties_);
  catcher_.reset();
}

void TuiCustomEdit::SetParent(TWinControl* AParent) {
  if (AParent != nullptr && initialParentPending_) {
    initialParentPending_ = false;
    dataBinding_->Refresh();
    PropertiesChanged(properties_);
    dataBinding_->UpdateDisplayValue();
  }
  TuiContainer::SetParent(AParent);
}

void TuiCustomEdit::ReadState(TReader* Reader) {
  properties_->SetOnPropertiesChanged(TNotifyEvent{});
  TuiContainer::ReadState(Reader);
}

void TuiCustomEdit::Loaded() {
  TuiContainer::Loaded();
  LockChangeEvents(true);
  LockClick(true);
  try {
    dataBinding_->Refresh();
    UpdateAtCursorPos(false);
    if (repositoryItem_ == nullptr)
      properties_->SetOnPropertiesChanged([this](TObject* Sender) { PropertiesChanged(Sender); });
    PropertiesChanged(ActiveProperties());
    editViewInfo_->Shadow = false;
    StyleChanged(Style());
  } catch (...) {
    LockClick(false);
    LockChangeEvents(false, false);
    throw;
  }
  LockClick(false);
  // Events of the loading phase are dropped.
  LockChangeEvents(false, false);
}

void TuiCustomEdit::SetName(const String& NewName) {
  TuiContainer::SetName(NewName);
  if (dataBinding_ != nullptr) dataBinding_->Refresh();
}

void TuiCustomEdit::Notification(TComponent* AComponent, TOperation Operation) {
  TuiContainer::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == repositoryItem_) SetRepositoryItem(nullptr);
}

TClass TuiCustomEdit::GetPropertiesClass() const { return TuiCustomEditProperties::StaticClass(); }

IuiCustomInnerEdit* TuiCustomEdit::CreateInnerEdit() { return nullptr; }

void TuiCustomEdit::InitializeInnerEdit() {
  innerEdit_->SetParent(this);
  innerEdit_->SetOnChange([this](TObject* Sender) { ContentChanged(Sender); });
  innerEdit_->GetControl()->SetParentShowHint(false);
}

// ---- Properties and repository item ---------------------------------------------------------------------

TuiCustomEditProperties* TuiCustomEdit::ActiveProperties() {
  if (repositoryItem_ == nullptr) return properties_;
  // Kept as the editors have always done it: the item's shared properties take this editor's provider.
  TuiCustomEditProperties* shared = repositoryItem_->Properties();
  shared->LockChanged(true);
  shared->SetDefaultValuesProvider(dataBinding_->DefaultValuesProvider());
  shared->LockChanged(false);
  return shared;
}

bool TuiCustomEdit::IsRepositoryItemAcceptable(TuiEditRepositoryItem* AItem) {
  return AItem == nullptr || AItem->Properties()->InheritsFrom(GetPropertiesClass());
}

void TuiCustomEdit::SetRepositoryItem(TuiEditRepositoryItem* Value) {
  if (Value == repositoryItem_) return;
  if (!IsRepositoryItemAcceptable(Value))
    throw Exception(LocalizeText(uieditconsts::scxEditRepositoryItemNotAcceptable));
  DataChanged();
  if (repositoryItem_ != nullptr) {
    repositoryItem_->RemoveListener(this);
    repositoryItem_->RemoveFreeNotification(this);
  }
  repositoryItem_ = Value;
  if (repositoryItem_ != nullptr) {
    repositoryItem_->AddListener(this);
    repositoryItem_->FreeNotification(this);
  }
  const bool busy = IsLoadingOrDestroying();
  if (repositoryItem_ != nullptr) {
    properties_->SetDefaultValuesProvider(nullptr);
    if (!busy) PropertiesChanged(repositoryItem_->Properties());
    properties_->SetOnPropertiesChanged(TNotifyEvent{});
  } else if (!busy) {
    properties_->SetOnPropertiesChanged([this](TObject* Sender) { PropertiesChanged(Sender); });
    properties_->SetDefaultValuesProvider(dataBinding_->DefaultValuesProvider());
  }
  RepositoryItemChanged();
}

void TuiCustomEdit::ItemRemoved(TuiEditRepositoryItem* Sender) {
  if (Sender != repositoryItem_) return;
  // The editor goes back to its own properties in full: their change event, their provider and a refresh.
  repositoryItem_ = nullptr;
  Sender->RemoveFreeNotification(this);
  if (IsLoadingOrDestroying()) return;
  properties_->SetOnPropertiesChanged([this](TObject* S) { PropertiesChanged(S); });
  properties_->SetDefaultValuesProvider(dataBinding_->DefaultValuesProvider());
  PropertiesChanged(properties_);
  RepositoryItemChanged();
}

void TuiCustomEdit::ItemPropertiesChanged(TuiEditRepositoryItem* Sender) {
  if (!IsLoadingOrDestroying()) PropertiesChanged(Sender->Properties());
}

void TuiCustomEdit::PropertiesChanged(TObject*) {
  if (properties_ == nullptr) return;
  validated_ = false;
  const bool readOnly = IsEditReadOnly();
  if (innerEdit_ != nullptr) innerEdit_->SetReadOnly(readOnly);
  if (modified_ && readOnly) SetModified(false);
  if (ActiveProperties()->Transparent()) SetTransparent(true);
  UpdateAtCursorPos(false);
}

bool TuiCustomEdit::IsEditReadOnly() { return ActiveProperties()->ReadOnly() || !IsDataAvailable(); }

void TuiCustomEdit::SetTransparent(bool Value) {
  if (transparent_ == Value) return;
  transparent_ = Value;
  if (HandleAllocated()) Invalidate();
}

TuiContainerStyleClass TuiCustomEdit::GetStyleClass() const { return styleClass_; }

TuiContainerStyleValues TuiCustomEdit::GetUnusedStyleValues() {
  // The four edit values (bits 10 to 13) have no members in the container's set.
  return {};
}

// ---- Value life cycle -----------------------------------------------------------------------------------

bool TuiCustomEdit::CanModify() {
  TuiCustomEditProperties* properties = ActiveProperties();
  if (properties->AssignedValues()->ReadOnly()) return !properties->ReadOnly();
  IuiEditDefaultValuesProvider* provider = dataBinding_->DefaultValuesProvider();
  return (provider == nullptr || provider->DefaultCanModify()) && dataBinding_->CanModify();
}

bool TuiCustomEdit::DoEditing() {
  if (!CanEditValue()) return false;
  if (dataBinding_->IsModified()) return true;
  TScopedFlag editing(editingEvent_, true);
  bool canEdit = CanModify();
  if (canEdit && onEditing_.Assigned()) onEditing_(this, canEdit);
  if (!canEdit) return false;
  LockDataBindingEdit(true);
  bool result;
  try {
    result = dataBinding_->SetEditMode();
  } catch (...) {
    LockDataBindingEdit(false);
    throw;
  }
  LockDataBindingEdit(false);
  return result;
}

void TuiCustomEdit::SetModified(bool Value) {
  modified_ = Value;
  if (Value) {
    validated_ = false;
    modifiedAfterEnter_ = true;
  }
}

void TuiCustomEdit::SetModifiedAfterEnter(bool Value) {
  modifiedAfterEnter_ = Value;
  if (!Value) modified_ = false;
}

void TuiCustomEdit::SaveModified() { modifiedStack_.push_back(TuiEditModifiedState{modifiedAfterEnter_, modified_}); }

void TuiCustomEdit::RestoreModified() {
  if (modifiedStack_.empty()) return;
  const TuiEditModifiedState state = modifiedStack_.back();
  modifiedStack_.pop_back();
  modifiedAfterEnter_ = state.ModifiedAfterEnter;
  modified_ = state.Modified;
}

void TuiCustomEdit::SetModifiedAndClick() {
  SetModified(true);
  if (clickLockCount_ == 0) Click();
}

void TuiCustomEdit::LockChangeEvents(bool ALock, bool AInvokeChangedOnUnlock) {
  catcher_->Lock(ALock, AInvokeChangedOnUnlock);
}

void TuiCustomEdit::LockClick(bool ALock) {
  if (ALock)
    ++clickLockCount_;
  else if (clickLockCount_ > 0)
    --clickLockCount_;
}

TuiCustomEdit* TuiCustomEdit::LockDataBindingEdit(bool ALock) {
  if (ALock)
    ++dataBindingEditLock_;
  else if (dataBindingEditLock_ > 0)
    --dataBindingEditLock_;
  return this;
}

bool TuiCustomEdit::CanPostEditValue() {
  return dataBinding_->IsModified() && !ComponentState().Contains(csDesigning);
}

bool TuiCustomEdit::IsDataAvailable() {
  IuiEditDefaultValuesProvider* provider = dataBinding_->DefaultValuesProvider();
  return provider == nullptr || provider->IsDataAvailable();
}

bool TuiCustomEdit::IsDataBound() {
  IuiEditDefaultValuesProvider* provider = dataBinding_->DefaultValuesProvider();
  return provider != nullptr && provider->IsDataAware();
}

bool TuiCustomEdit::IsBoundPaintCopy() { return IsDataBound() && ControlState().Contains(csPaintCopy); }

bool TuiCustomEdit::VarEqualsSameType(const Variant& V1, const Variant& V2) {
  return V1.Type() == V2.Type() && AreVariantsEqual(V1, V2);
}

void TuiCustomEdit::StoreEditValue(const Variant& AValue, bool) {
  if (userAction_ && !DoEditing()) return;
  bool changed = false;
  if (ActiveProperties()->IsValueChangeTrackedByStore())
    changed = editValue_.Type() != AValue.Type() || !AreVariantsEqual(editValue_, AValue);
  editValue_ = AValue;
  SynchronizeDisplayValue();
  if (userAction_)
    SetModified(true);
  else
    SetModifiedAfterEnter(false);
  if (changed) {
    NotifyEditValueChanged();
    if (!ActiveProperties()->AreChangeEventsSeparate()) NotifyChange();
  }
}

void TuiCustomEdit::SetEditValue(const Variant& Value) {
  if (dataBindingEditLock_ > 0) return;
  LockClick(true);
  try {
    if (!userAction_ || DoEditing()) StoreEditValue(Value, true);
  } catch (...) {
    LockClick(false);
    throw;
  }
  LockClick(false);
}

void TuiCustomEdit::InternalSetEditValue(const Variant& Value, bool AValidateEditValue) {
  if (dataBindingEditLock_ > 0) return;
  if (!userAction_ || DoEditing()) StoreEditValue(Value, AValidateEditValue);
}

void TuiCustomEdit::InternalSetDisplayValue(const Variant& AValue) {
  SaveModified();
  try {
    SetInternalDisplayValue(AValue);
  } catch (...) {
    RestoreModified();
    throw;
  }
  RestoreModified();
}

bool TuiCustomEdit::HasOnChange() {
  return properties_->OnChange().Assigned() || ActiveProperties()->OnChange().Assigned();
}

bool TuiCustomEdit::HasOnEditValueChanged() {
  return properties_->OnEditValueChanged().Assigned() || ActiveProperties()->OnEditValueChanged().Assigned();
}

void TuiCustomEdit::NotifyChange() {
  if (IsLoadingOrDestroying()) return;
  if (HasOnChange()) {
    if (catcher_->IsLocked())
      catcher_->OnChangeEvent = true;
    else
      FireChangeEvent(&TuiCustomEdit::DoChange);
  }
  if (!ActiveProperties()->AreChangeEventsSeparate() && !ActiveProperties()->IsValueChangeTrackedByStore())
    NotifyEditValueChanged();
}

void TuiCustomEdit::NotifyEditValueChanged() {
  if (IsLoadingOrDestroying() || !HasOnEditValueChanged()) return;
  if (catcher_->IsLocked())
    catcher_->OnEditValueChangedEvent = true;
  else
    FireChangeEvent(&TuiCustomEdit::DoEditValueChanged);
}

void TuiCustomEdit::FireChangeEvent(void (TuiCustomEdit::*AEvent)()) {
  if (!IsInplace()) return (this->*AEvent)();
  SaveModified();
  SetModified(true);
  try {
    (this->*AEvent)();
  } catch (...) {
    RestoreModified();
    throw;
  }
  RestoreModified();
}

void TuiCustomEdit::DoChange() {
  if (properties_->OnChange().Assigned()) properties_->OnChange()(this);
  if (repositoryItem_ != nullptr && ActiveProperties()->OnChange().Assigned()) ActiveProperties()->OnChange()(this);
}

void TuiCustomEdit::DoEditValueChanged() {
  if (properties_->OnEditValueChanged().Assigned()) properties_->OnEditValueChanged()(this);
  if (repositoryItem_ != nullptr && ActiveProperties()->OnEditValueChanged().Assigned())
    ActiveProperties()->OnEditValueChanged()(this);
}

void TuiCustomEdit::DoButtonClick(Integer AButtonIndex) {
  if (properties_->OnButtonClick().Assigned()) properties_->OnButtonClick()(this, AButtonIndex);
  if (repositoryItem_ != nullptr && ActiveProperties()->OnButtonClick().Assigned())
    ActiveProperties()->OnButtonClick()(this, AButtonIndex);
}

void TuiCustomEdit::DoClosePopup(Byte AReason) {
  if (properties_->OnClosePopup().Assigned()) properties_->OnClosePopup()(this, AReason);
  if (repositoryItem_ != nullptr && ActiveProperties()->OnClosePopup().Assigned())
    ActiveProperties()->OnClosePopup()(this, AReason);
}

void TuiCustomEdit::ContentChanged(TObject*) {
  if (IsEditFocused()) SetModified(true);
  NotifyChange();
}

void TuiCustomEdit::ClickDefaultButton() {
  const Integer index = GetDefaultButtonIndex();
  if (index >= 0) DoButtonClick(editViewInfo_->Buttons[static_cast<size_t>(index)]->ButtonIndex);
}

bool TuiCustomEdit::ValidateEdit(bool ARaiseOnError) {
  if (!modified_ || validated_) return true;
  String text;
  GetDisplayText(text);
  Variant displayValue(text);
  String errorText;
  bool error = false;
  TuiCustomEditProperties* properties = ActiveProperties();
  if (properties->CanValidate()) properties->ValidateDisplayValue(displayValue, errorText, error, this);
  if (!error) {
    if (!userAction_ || DoEditing()) {
      InternalSetDisplayValue(displayValue);
      if (!IsInplace() && !IsFocused()) SetModified(false);
      validated_ = true;
    }
    return true;
  }
  // The text the handlers left is shown and selected, also while the error is on its way out.
  auto showDisplayValue = [&] {
    String current;
    GetDisplayText(current);
    if (VarToStr(displayValue) != current) AssignDisplayValue(displayValue);
    if (Visible()) {
      SelectAll();
      if (!ShowsInnerEdit()) UpdateDrawValue();
    }
  };
  if (ARaiseOnError) {
    try {
      HandleValidationError(errorText);
      Application->ProcessMessages();
    } catch (...) {
      showDisplayValue();
      throw;
    }
  }
  showDisplayValue();
  return false;
}

void TuiCustomEdit::HandleValidationError(const String& AErrorText) {
  if (!IsFocused() && Visible() && CanFocus()) {
    TScopedFlag internal(internalFocusing_, true);
    if (innerEdit_ != nullptr)
      innerEdit_->SafelySetFocus();
    else
      SetFocus();
  }
  if (Visible()) SelectAll();
  if (ActiveProperties()->BeepOnError()) MessageBeep(0);
  if (!AErrorText.empty()) throw Exception(AErrorText);
}

TuiCustomEdit* TuiCustomEdit::BeginPosting() {
  posting_ = true;
  return this;
}

TuiCustomEdit* TuiCustomEdit::EndPosting() {
  posting_ = false;
  return this;
}

void TuiCustomEdit::PostEditValue(bool AValidateEdit) {
  if (AValidateEdit) {
    bool valid;
    {
      TScopedFlag noUserAction(userAction_, false);
      valid = ValidateEdit(true);
    }
    if (!valid) return;
  }
  try {
    BeginPosting();
    try {
      if (IsInplace()) {
        if (onPostEditValue_.Assigned()) onPostEditValue_(this);
        SetModifiedAfterEnter(false);
      } else {
        dataBinding_->SetStoredValue(EditValue());
      }
    } catch (...) {
      EndPosting();
      throw;
    }
    EndPosting();
  } catch (...) {
    if (IsInplace()) return;
    HandleValidationError(String());
    throw;
  }
}

void TuiCustomEdit::Revert() {
  if (!modified_ || !ActiveProperties()->CanRevertValue()) return;
  LockChangeEvents(true);
  try {
    SetModified(false);
    modified_ = false;
    if (IsDataBound()) {
      Variant stored;
      dataBinding_->GetStoredValue(stored);
      InternalSetEditValue(stored);
    } else {
      InternalSetEditValue(prevEditValue_);
    }
    SetModifiedAfterEnter(true);
    SelectAll();
    if (ActiveProperties()->ImmediatePost() && CanPostEditValue()) PostEditValue(false);
  } catch (...) {
    LockChangeEvents(false, true);
    throw;
  }
  LockChangeEvents(false, true);
}

void TuiCustomEdit::PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool AEditFocused) {
  ActiveProperties()->PrepareDisplayValue(AEditValue, ADisplayValue, AEditFocused);
}

bool TuiCustomEdit::IsValidChar(char AChar) {
  IuiEditDefaultValuesProvider* provider = ActiveProperties()->DefaultValuesProvider();
  return provider == nullptr || provider->IsValidChar(AChar);
}

bool TuiCustomEdit::IsActiveControl() {
  if (IsFocused()) return true;
  TCustomForm* form = GetParentForm(this);
  if (form == nullptr) return false;
  TWinControl* active = form->ActiveControl();
  return active == this || (active != nullptr && active == InnerControlOfEdit());
}

bool TuiCustomEdit::IsClickKey(Word Key, TShiftState Shift) {
  return GetDefaultButtonIndex() >= 0 && ShortCut(Key, Shift) == ActiveProperties()->ClickKey();
}

void TuiCustomEdit::ApplyEditData(TuiCustomEditData* AEditData) {
  editData_ = AEditData;
  if (AEditData != nullptr && AEditData->Cleared) {
    ClearEditData();
    AEditData->Cleared = false;
  }
}

// ---- View -----------------------------------------------------------------------------------------------

TuiCustomEditViewInfo* TuiCustomEdit::CreateEditViewInfo() {
  TObjectPtr<TObject> object = ActiveProperties()->GetViewInfoClass()->Create();
  auto* viewInfo = dynamic_cast<TuiCustomEditViewInfo*>(object.get());
  if (viewInfo == nullptr) RaiseInvalidCast();
  object.release();
  return viewInfo;
}

TuiCustomEditViewData* TuiCustomEdit::CreateViewData() {
  TuiCustomEditViewData* viewData =
      ActiveProperties()->CreateViewData(static_cast<TuiEditStyle*>(GetActiveStyle()), IsInplace(), false);
  if (viewDataStateValid_ && IsInplace()) viewData->State = viewDataState_;
  const bool innerMissing = destroying_ || (HasInnerEditClass() && innerEdit_ == nullptr);
  viewData->Edit = innerMissing ? nullptr : this;
  viewData->WindowHandle = HandleAllocated() ? Handle() : 0;
  return viewData;
}

void TuiCustomEdit::InitializeViewData(TuiCustomEditViewData* AViewData) {
  AViewData->Enabled = Enabled();
  AViewData->Focused = IsFocused();
  AViewData->IsDesigning = IsDesigning();
  AViewData->IsHot = (ViewInfo()->ContainerState & vsHot) != 0;
}

bool TuiCustomEdit::IsNativeStyle() { return TuiCustomEditViewData::IsNativeStyleUsed(Style()->LookAndFeel()); }

void TuiCustomEdit::GetBorderExtent(TRect& R) {
  const TRect& b = editViewInfo_->Bounds;
  const TRect& c = editViewInfo_->ClientRect;
  R = TRect{c.left - b.left, c.top - b.top, b.right - c.right, b.bottom - c.bottom};
}

void TuiCustomEdit::GetShapeRect(TRect& R) {
  R = editViewInfo_->BorderRect;
  const Integer width = editViewInfo_->BorderWidth;
  InflateRect(&R, width, width);
  DeflateRectAtMissingEdges(R, width, editViewInfo_->Edges);
}

void TuiCustomEdit::MirrorViewInfo() {
  TuiContainerViewInfo& view = *ViewInfo();
  const TuiCustomEditViewInfo& edit = *editViewInfo_;
  view.BackgroundColor = edit.BackgroundColor;
  view.BorderColor = edit.BorderColor;
  view.BorderRect = edit.BorderRect;
  view.BorderStyle = edit.BorderStyle;
  view.BorderWidth = edit.BorderWidth;
  view.Bounds = edit.Bounds;
  view.ClientRect = edit.ClientRect;
  view.ContainerState = edit.ContainerState;
  view.Edges = edit.Edges;
  view.HotState = edit.HotState;
  view.NativeStyle = edit.NativeStyle;
  view.Shadow = edit.Shadow;
  view.NativePart = edit.NativePart;
  view.NativeState = edit.NativeState;
}

void TuiCustomEdit::CalculateViewInfo(const TPoint& P, bool AHotTrack) {
  RefreshAtPoint(P, 0, AHotTrack ? TShiftState{} : TShiftState{ssLeft}, false);
}

bool TuiCustomEdit::RefreshAtPoint(const TPoint& P, Byte AButton, TShiftState AShift, bool AIsMouseEvent) {
  if (properties_ == nullptr || !HandleAllocated() || destroying_ || IsContainerDestroying()) return false;
  if (capturedButton_ >= 0 && GetCapture() != Handle()) capturedButton_ = -1;
  std::unique_ptr<TuiCustomEditViewInfo, TObjectDeleter> copy;
  copy.reset(CreateEditViewInfo());
  copy->Assign(editViewInfo_.get());
  {
    std::unique_ptr<TuiCustomEditViewData, TObjectDeleter> viewData(CreateViewData());
    InitializeViewData(viewData.get());
    viewData->Calculate(Canvas(), TRect{0, 0, Width(), Height()}, P, AButton, AShift, editViewInfo_.get(), AIsMouseEvent);
    MirrorViewInfo();
  }
  const TRect innerRect = ShowsInnerEdit() ? editViewInfo_->InnerEditRect : TRect{};
  if (!editViewInfo_->RepaintChanges(this, innerRect, copy.get())) {
    AdjustInnerControlBounds();
    return false;
  }
  AdjustInnerControlBounds();
  updatingRegion_ = true;
  try {
    UpdateWindowRegion();
  } catch (...) {
    updatingRegion_ = false;
    throw;
  }
  updatingRegion_ = false;
  ViewInfoChanged(copy.get());
  return true;
}

bool TuiCustomEdit::UpdateAtCursorPos(bool ARepaintChanges) {
  if (!HandleAllocated() || destroying_ || refreshing_) return false;
  TScopedFlag refreshing(refreshing_, true);
  TPoint p;
  GetCursorPos(&p);
  p = ScreenToClient(p);
  (void)ARepaintChanges;
  return RefreshAtPoint(p, 0, KeyboardStateToShiftState(), false);
}

void TuiCustomEdit::CalculateViewInfoAtCursorPos() { UpdateAtCursorPos(false); }

void TuiCustomEdit::AdjustInnerEditPosition() {
  TWinControl* inner = InnerControlOfEdit();
  if (inner == nullptr) return;
  const TRect& r = editViewInfo_->ClientRect;
  inner->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void TuiCustomEdit::AdjustInnerControlBounds() {
  if (!HandleAllocated() || destroying_) return;
  if (IsAutoSizeActive()) {
    Integer w = Width(), h = Height();
    CalculateAutoSize(w, h);
    if (w != Width() || h != Height()) SetBounds(Left(), Top(), w, h);
  }
  if (innerEdit_ != nullptr) AdjustInnerEditPosition();
}

void TuiCustomEdit::CalculateAutoSize(Integer& AWidth, Integer& AHeight) {
  if (!IsAutoSizeActive() || properties_ == nullptr) return;
  TSize sizeProperties;
  InitEditSizeProperties(sizeProperties);
  TSize measured{};
  std::unique_ptr<TuiCustomEditViewData, TObjectDeleter> viewData(CreateViewData());
  InitializeViewData(viewData.get());
  HDC dc = GetDC(0);
  TCanvas screenCanvas;
  screenCanvas.SetHandle(dc);
  TuiCanvas canvas(&screenCanvas);
  const TSize properties{sizeProperties.cx, sizeProperties.cy};
  viewData->GetEditSize(&canvas, EditValue(), TSize{properties.cx, properties.cy}, measured);
  screenCanvas.SetHandle(0);
  ReleaseDC(0, dc);
  const TAlign align = Align();
  if (AreButtonsAutoWidth() && align != alTop && align != alBottom && align != alClient && align != alCustom)
    AWidth = measured.cx;
  if (align != alLeft && align != alRight && align != alClient && align != alCustom) AHeight = measured.cy;
}

bool TuiCustomEdit::CanResize(Integer& NewWidth, Integer& NewHeight) {
  const bool result = TuiContainer::CanResize(NewWidth, NewHeight);
  if (result && !ComponentState().Contains(csLoading)) CalculateAutoSize(NewWidth, NewHeight);
  return result;
}

void TuiCustomEdit::SetAutoSize(bool Value) {
  if (autoSize_ == Value || IsInplace()) return;
  autoSize_ = Value;
  if (Value) {
    ForceHandle();
    AdjustInnerControlBounds();
    UpdateAtCursorPos(false);
  }
}

void TuiCustomEdit::ForceHandle() {
  if (forcingHandle_ || Parent() == nullptr) return;
  TScopedFlag forcing(forcingHandle_, true);
  HandleNeeded();
}

void TuiCustomEdit::Paint() {
  if (IsBoundPaintCopy()) return PaintCopyDraw();
  editViewInfo_->Paint(Canvas());
}

void TuiCustomEdit::PaintCopyDraw() {
  std::unique_ptr<TuiCustomEditViewInfo, TObjectDeleter> viewInfo(CreateEditViewInfo());
  std::unique_ptr<TuiCustomEditViewData, TObjectDeleter> viewData(CreateViewData());
  Variant stored;
  dataBinding_->GetStoredValue(stored);
  viewData->EditValueToDrawValue(Canvas(), stored, viewInfo.get());
  viewData->Calculate(Canvas(), TRect{0, 0, Width(), Height()}, TPoint{-1, -1}, 0, TShiftState{}, viewInfo.get(), false);
  viewInfo->Paint(Canvas());
  Canvas()->ExcludeClipRect(editViewInfo_->ClientRect);
}

void TuiCustomEdit::DefineProperties(TFiler* Filer) {
  TuiContainer::DefineProperties(Filer);
  Filer->DefineProperty("Height", [this](TReader* R) { ReadHeight(R); }, [this](TWriter* W) { WriteHeight(W); },
                        !IsAutoSizeActive());
  Filer->DefineProperty("Width", [this](TReader* R) { ReadWidth(R); }, [this](TWriter* W) { WriteWidth(W); },
                        !(IsAutoSizeActive() && AreButtonsAutoWidth()));
}

void TuiCustomEdit::ReadHeight(TReader* Reader) { SetHeight(Reader->ReadInteger()); }
void TuiCustomEdit::WriteHeight(TWriter* Writer) { Writer->WriteInteger(Height()); }
void TuiCustomEdit::ReadWidth(TReader* Reader) { SetWidth(Reader->ReadInteger()); }
void TuiCustomEdit::WriteWidth(TWriter* Writer) { Writer->WriteInteger(Width()); }

bool TuiCustomEdit::IsChildWindow(HWND AWnd) {
  for (HWND w = AWnd; w != nullptr; w = GetParent(w))
    if (HandleAllocated() && w == Handle()) return true;
  return false;
}

void TuiCustomEdit::FocusInnerControl() {
  if (innerEdit_ != nullptr) innerEdit_->SafelySetFocus();
}

// ---- Process-wide helpers -------------------------------------------------------------------------------

TuiEditStyle* GetActiveEditStyle(TuiCustomEdit* AEdit) { return AEdit->ActiveEditStyle(); }

void SendKeyDownToEdit(TuiCustomEdit* AEdit, Word AKey) { SendMessage(AEdit->Handle(), WM_KEYDOWN, AKey, 0); }

void SendCharToEdit(TuiCustomEdit* AEdit, char AKey) {
  SendMessage(AEdit->Handle(), WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(AKey)), 0);
}

bool IsSpaceChar(char AChar) {
  return AChar == '\0' || AChar == '\t' || AChar == '\n' || AChar == '\f' || AChar == '\r' || AChar == ' ';
}
