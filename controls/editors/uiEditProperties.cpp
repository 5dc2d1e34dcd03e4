// The properties base with its alignment, assigned values and default-values provider; the registry of
// properties classes, repositories and their items; the editor framework's unit start and end.
#include <algorithm>

#include "controls/editors/uiEdit.h"
#include "controls/editors/uiMaskEditProperties.h"
#include "controls/editors/uiCurrencyEdit.h"
#include "controls/editors/uiSpinEdit.h"
#include "controls/editors/uiTextEditProperties.h"
#include "platform/classes/ClassBuilder.h"
#include "controls/foundation/uiFilterConsts.h"
#include "platform/classes/Filer.h"
#include "platform/rtl/Format.h"
#include "platform/forms/CursorResource.h"

namespace uieditconsts {
const char* const scxEditInvalidInput = "Invalid input value. Use escape key to abandon changes";
}  // namespace uieditconsts

namespace {

std::vector<TuiCustomEditProperties*>* livePropertiesList = nullptr;
TuiRegisteredClasses* editPropertiesRegistry = nullptr;
TuiEditRepository* defaultEditRepository = nullptr;
TuiEditStyleController* defaultEditStyleController = nullptr;
Integer editUnitCount = 0;

// The first component up the owner chain of a persistent object.
TComponent* OwnerComponent(TPersistent* APersistent) {
  for (TPersistent* p = APersistent; p != nullptr; p = GetPersistentOwner(p))
    if (auto* component = dynamic_cast<TComponent*>(p)) return component;
  return nullptr;
}

}  // namespace

// ---- Alignment ------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiEditAlignment) {
  using S = TuiEditAlignment;
  b.Prop("Horz", &S::Horz, &S::SetHorz).Stored(&S::IsHorzStored);
  b.Prop("Vert", &S::Vert, &S::SetVert).Stored(&S::IsVertStored);
}

void TuiEditAlignment::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TuiEditAlignment*>(Source)) {
    CopyFrom(*source);
    DoChanged();
    return;
  }
  TPersistent::Assign(Source);
}

void TuiEditAlignment::SetHorz(TAlignment Value) {
  if (isHorzAssigned_ && horz_ == Value) return;
  horz_ = Value;
  isHorzAssigned_ = true;
  DoChanged();
}

void TuiEditAlignment::SetVert(TuiEditVertAlignment Value) {
  if (vert_ == Value) return;
  vert_ = Value;
  DoChanged();
}

void TuiEditAlignment::Reset() {
  isHorzAssigned_ = false;
  DoChanged();
}

// ---- Assigned values ------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomEditPropertiesValues) {
  using S = TuiCustomEditPropertiesValues;
  b.Prop("ReadOnly", &S::ReadOnly, &S::SetReadOnly).Default(false);
}

void TuiCustomEditPropertiesValues::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TuiCustomEditPropertiesValues*>(Source)) {
    BeginUpdate();
    try {
      SetReadOnly(source->ReadOnly());
    } catch (...) {
      EndUpdate();
      throw;
    }
    EndUpdate();
    return;
  }
  TPersistent::Assign(Source);
}

void TuiCustomEditPropertiesValues::SetReadOnly(bool Value) {
  if (readOnly_ == Value) return;
  readOnly_ = Value;
  Changed();
}

void TuiCustomEditPropertiesValues::RestoreDefaults() { SetReadOnly(false); }

void TuiCustomEditPropertiesValues::BeginUpdate() {
  if (auto* owner = dynamic_cast<TuiCustomEditProperties*>(owner_)) owner->BeginUpdate();
}

void TuiCustomEditPropertiesValues::EndUpdate() {
  if (auto* owner = dynamic_cast<TuiCustomEditProperties*>(owner_)) owner->EndUpdate(true);
}

void TuiCustomEditPropertiesValues::Changed() {
  if (auto* owner = dynamic_cast<TuiCustomEditProperties*>(owner_)) owner->Changed();
}

bool TuiCustomEditPropertiesValues::IsPropertyPublished(const String& AName) {
  return owner_ != nullptr && owner_->ClassType()->FindProperty(AName) != nullptr;
}

// ---- Default values provider ----------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomEditDefaultValuesProvider) {}

TuiCustomEditDefaultValuesProvider::~TuiCustomEditDefaultValuesProvider() { DetachFromProperties(); }

void TuiCustomEditDefaultValuesProvider::DetachFromProperties() {
  if (livePropertiesList == nullptr) return;
  // A copy: clearing may run code that creates or frees properties objects.
  const std::vector<TuiCustomEditProperties*> live = *livePropertiesList;
  for (TuiCustomEditProperties* properties : live)
    if (properties->DefaultValuesProvider() == this) properties->ClearDefaultValuesProvider();
}

// ---- Properties base ------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomEditProperties) {}

TuiCustomEditProperties::TuiCustomEditProperties() : TuiInterfacedPersistent(nullptr) {
  if (livePropertiesList != nullptr) livePropertiesList->push_back(this);
  freeNotificator_.reset(new TuiFreeNotificator(nullptr));
  freeNotificator_->SetOnComponentFreed([this](TObject*, TComponent* AComponent) { FreeNotification(AComponent); });
  alignment_.reset(new TuiEditAlignment(this));
  alignment_->SetOnChanged([this](TObject* Sender) { AlignmentChanged(Sender); });
  assignedValues_.reset(new TuiCustomEditPropertiesValues(this));
  buttons_.reset(new TuiEditButtons(this));
  buttons_->SetOnChange([this](TObject* Sender) { ButtonsChanged(Sender); });
  innerAlignment_.reset(new TuiEditAlignment(this));
}

TuiCustomEditProperties::~TuiCustomEditProperties() {
  provider_ = nullptr;
  buttons_.reset();
  innerAlignment_.reset();
  assignedValues_.reset();
  alignment_.reset();
  freeNotificator_.reset();
  if (livePropertiesList != nullptr) std::erase(*livePropertiesList, this);
}

TuiCustomEditProperties* TuiCustomEditProperties::CreateOfClass(TClass AClass, TPersistent* AOwner) {
  if (AClass == nullptr || !AClass->InheritsFrom(StaticClass())) AClass = StaticClass();
  TObject* object = AClass->Create().release();
  auto* properties = static_cast<TuiCustomEditProperties*>(object);
  properties->SetOwner(AOwner);
  // A descendant's own assigned-values class replaces the base one now that the object is complete.
  TuiCustomEditPropertiesValues* values = properties->CreateAssignedValues();
  if (values->ClassType() != properties->assignedValues_->ClassType())
    properties->assignedValues_.reset(values);
  else
    FreeObject(values);
  properties->useLeftAlignmentOnEditing_ = properties->GetDefaultUseLeftAlignmentOnEditing();
  return properties;
}

void TuiCustomEditProperties::EndUpdate(bool AInvokeChanged) {
  if (updateCount_ <= 0) return;
  if (--updateCount_ == 0 && AInvokeChanged) Changed();
}

void TuiCustomEditProperties::Changed() {
  if (IsChangeLocked()) return;
  if (auto* component = dynamic_cast<TComponent*>(owner_))
    if (component->ComponentState().Contains(csDestroying)) return;
  if (onPropertiesChanged_.Assigned()) onPropertiesChanged_(this);
}

void TuiCustomEditProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TuiCustomEditProperties*>(Source);
  if (source == nullptr) return TuiInterfacedPersistent::Assign(Source);
  BeginUpdate();
  try {
    SetAutoSelect(source->AutoSelect());
    buttons_->Assign(source->Buttons());
    SetButtonsViewStyle(source->ButtonsViewStyle());
    beepOnError_ = source->beepOnError_;
    clearKey_ = source->clearKey_;
    clickKey_ = source->clickKey_;
    useLeftAlignmentOnEditing_ = source->useLeftAlignmentOnEditing_;
    provider_ = source->provider_;
    SetAlignment(source->Alignment());
    assignedValues_->SetReadOnly(false);
    if (source->assignedValues_->ReadOnly()) SetReadOnly(source->ReadOnly());
    immediatePost_ = source->immediatePost_;
    SetTransparent(source->Transparent());
    useMouseWheel_ = source->useMouseWheel_;
    validateOnEnter_ = source->validateOnEnter_;
    onButtonClick_ = source->onButtonClick_;
    onChange_ = source->onChange_;
    onEditValueChanged_ = source->onEditValueChanged_;
    onValidate_ = source->onValidate_;
  } catch (...) {
    EndUpdate(true);
    throw;
  }
  EndUpdate(true);
}

bool TuiCustomEditProperties::CanModify() {
  if (assignedValues_->ReadOnly() && !readOnly_) return true;
  if (!ReadOnly() && provider_ != nullptr) return provider_->DefaultCanModify();
  return !ReadOnly();
}

void TuiCustomEditProperties::GetEditSize(TuiCanvas* ACanvas, TuiEditStyle* AStyle, bool AIsInplace,
                                          const Variant& AEditValue, const TSize& AEditSizeProperties, TSize& ASize) {
  std::unique_ptr<TuiCustomEditViewData, TObjectDeleter> viewData(CreateViewData(AStyle, AIsInplace, false));
  viewData->GetEditSize(ACanvas, AEditValue, AEditSizeProperties, ASize);
}

void TuiCustomEditProperties::SetDefaultValuesProvider(IuiEditDefaultValuesProvider* AValuesProvider) {
  provider_ = AValuesProvider;
  if (dynamic_cast<TuiCustomEdit*>(owner_) != nullptr) Changed();
}

void TuiCustomEditProperties::ClearDefaultValuesProvider() { provider_ = nullptr; }

bool TuiCustomEditProperties::UsesProviderDisplayFormat() {
  const Byte options = GetDisplayFormatOptions();
  return (options & 1) != 0 && !SupportsValueFormatting(true) && SupportsValueFormatting(false) &&
         provider_ != nullptr && provider_->IsDisplayTextDefined((options & 2) == 0);
}

bool TuiCustomEditProperties::HasDefaultDisplayFormat(bool AEditFocused) {
  const Byte options = GetDisplayFormatOptions();
  if (AEditFocused || (options & 1) == 0 || provider_ == nullptr) return false;
  return provider_->IsDisplayTextDefined((options & 2) == 0);
}

void TuiCustomEditProperties::SetAutoSelect(bool Value) {
  if (autoSelect_ == Value) return;
  autoSelect_ = Value;
  Changed();
}

void TuiCustomEditProperties::SetButtonsViewStyle(Byte Value) {
  if (buttonsViewStyle_ == Value) return;
  buttonsViewStyle_ = Value;
  Changed();
}

bool TuiCustomEditProperties::ReadOnly() {
  if (assignedValues_->ReadOnly()) return readOnly_;
  if (provider_ != nullptr) return provider_->DefaultReadOnly();
  return false;
}

void TuiCustomEditProperties::SetReadOnly(bool Value) {
  if (assignedValues_->ReadOnly() && readOnly_ == Value) return;
  BeginUpdate();
  assignedValues_->SetReadOnly(true);
  readOnly_ = Value;
  EndUpdate(false);
  Changed();
}

void TuiCustomEditProperties::SetTransparent(bool Value) {
  if (transparent_ == Value) return;
  transparent_ = Value;
  Changed();
}

void TuiCustomEditProperties::SetUseLeftAlignmentOnEditing(bool Value) {
  if (useLeftAlignmentOnEditing_ == Value) return;
  useLeftAlignmentOnEditing_ = Value;
  Changed();
}

TuiEditAlignment* TuiCustomEditProperties::Alignment() {
  // The published object mirrors the stored alignment; writes to it come back through AlignmentChanged.
  alignment_->SetOnChanged(TNotifyEvent{});
  alignment_->CopyFrom(*innerAlignment_);
  const bool hasStoredValues = innerAlignment_->IsHorzAssigned() || innerAlignment_->Vert() != taTopJustify;
  TComponent* component = OwnerComponent(this);
  if (hasStoredValues && component != nullptr && component->ComponentState().Contains(csWriting))
    return alignment_.get();
  if (!innerAlignment_->IsHorzAssigned()) alignment_->SetHorzQuietly(GetDefaultHorzAlignment());
  alignment_->SetOnChanged([this](TObject* Sender) { AlignmentChanged(Sender); });
  return alignment_.get();
}

void TuiCustomEditProperties::AlignmentChanged(TObject*) {
  innerAlignment_->CopyFrom(*alignment_);
  Changed();
}

void TuiCustomEditProperties::SetAlignment(TuiEditAlignment* Value) {
  innerAlignment_->CopyFrom(*Value);
  Changed();
}

void TuiCustomEditProperties::ButtonsChanged(TObject*) { Changed(); }

TAlignment TuiCustomEditProperties::GetDefaultHorzAlignment() {
  if (provider_ != nullptr) return provider_->DefaultAlignment();
  return innerAlignment_->Horz();
}

String TuiCustomEditProperties::GetValidateErrorText(Integer) {
  return LocalizeText(uieditconsts::scxEditInvalidInput);
}

TClass TuiCustomEditProperties::GetViewDataClass() const { return TuiCustomEditViewData::StaticClass(); }
TClass TuiCustomEditProperties::GetEditClass() const { return TuiCustomEdit::StaticClass(); }
TClass TuiCustomEditProperties::GetStyleClass() const { return TuiEditStyle::StaticClass(); }
TClass TuiCustomEditProperties::GetViewInfoClass() const { return TuiCustomEditViewInfo::StaticClass(); }

TuiCustomEditViewInfo* TuiCustomEditProperties::CreateViewInfo() const {
  TObjectPtr<TObject> object = GetViewInfoClass()->Create();
  auto* viewInfo = dynamic_cast<TuiCustomEditViewInfo*>(object.get());
  if (viewInfo == nullptr) RaiseInvalidCast();
  object.release();
  return viewInfo;
}

bool TuiCustomEditProperties::CompareDisplayValues(const Variant& AEditValue1, const Variant& AEditValue2) {
  Variant display1, display2;
  PrepareDisplayValue(AEditValue1, display1, false);
  PrepareDisplayValue(AEditValue2, display2, false);
  return AreVariantsEqual(display1, display2);
}

TuiCustomEditViewData* TuiCustomEditProperties::CreateViewData(TuiEditStyle* AStyle, bool AIsInplace,
                                                               bool ALockedState) {
  TuiCustomEditViewData* viewData = TuiCustomEditViewData::CreateOfClass(GetViewDataClass(), this, AStyle, AIsInplace);
  viewData->EmptyDrawValue = ALockedState;
  return viewData;
}

WideString TuiCustomEditProperties::GetDisplayText(const Variant&, bool) { return WideString(); }

Word TuiCustomEditProperties::GetEditCapabilities() { return buttons_->Count() > 0 ? ecsButtons : 0; }

void TuiCustomEditProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool) {
  ADisplayValue = AEditValue;
}

void TuiCustomEditProperties::RestoreDefaults() {
  innerAlignment_->Reset();
  BeginUpdate();
  try {
    assignedValues_->RestoreDefaults();
  } catch (...) {
    EndUpdate(true);
    throw;
  }
  EndUpdate(true);
}

void TuiCustomEditProperties::ValidateDisplayValue(Variant& ADisplayValue, String& AErrorText, bool& AError,
                                                   TuiCustomEdit* AEdit) {
  if (!CanValidate()) return;
  if (AErrorText.empty()) AErrorText = GetValidateErrorText(0);
  bool modified = false;
  DoValidate(ADisplayValue, AErrorText, AError, AEdit, modified);
}

void TuiCustomEditProperties::DoValidate(Variant& ADisplayValue, String& AErrorText, bool& AError,
                                         TuiCustomEdit* AEdit, bool& ADisplayValueModified) {
  ADisplayValueModified = false;
  TuiCustomEditProperties* own = AEdit != nullptr ? AEdit->Properties() : this;
  TuiCustomEditProperties* active = AEdit != nullptr ? AEdit->ActiveProperties() : this;
  const bool usesItem = AEdit != nullptr && AEdit->RepositoryItem() != nullptr;
  if (!own->OnValidate().Assigned() && (!usesItem || !active->OnValidate().Assigned())) return;
  const Variant copy = ADisplayValue;
  TObject* sender = AEdit != nullptr ? static_cast<TObject*>(AEdit) : this;
  if (own->OnValidate().Assigned()) own->OnValidate()(sender, ADisplayValue, AErrorText, AError);
  if (usesItem && active->OnValidate().Assigned()) active->OnValidate()(sender, ADisplayValue, AErrorText, AError);
  if (!AError) return;
  ADisplayValueModified = VarToStr(ADisplayValue) != VarToStr(copy);
  if (!ADisplayValueModified && AEdit != nullptr) {
    String text;
    AEdit->GetDisplayText(text);
    ADisplayValue = Variant(text);
  }
}

// ---- Repository items -----------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiEditRepositoryItem) {
  using S = TuiEditRepositoryItem;
  b.Prop("PropertiesEvents", &S::PropertiesEvents, &S::SetPropertiesEvents);
}

TuiEditRepositoryItem::TuiEditRepositoryItem(TComponent* AOwner) : TComponent(AOwner) { RecreateProperties(); }

void TuiEditRepositoryItem::RecreateProperties() {
  if (properties_ != nullptr) {
    properties_->SetOnPropertiesChanged(TNotifyEvent{});
    FreeAndNil(properties_);
  }
  properties_ = TuiCustomEditProperties::CreateOfClass(GetPropertiesClass(), this);
  properties_->SetOnPropertiesChanged([this](TObject* Sender) { PropertiesChanged(Sender); });
}

void TuiEditRepositoryItem::BeforeDestruction() {
  // Listeners may leave while they are told: walk a copy, last listed first.
  const std::vector<IuiEditRepositoryItemListener*> listeners = listeners_;
  for (auto it = listeners.rbegin(); it != listeners.rend(); ++it) (*it)->ItemRemoved(this);
  listeners_.clear();
  SetRepository(nullptr);
  TComponent::BeforeDestruction();
}

TuiEditRepositoryItem::~TuiEditRepositoryItem() {
  if (repository_ != nullptr) SetRepository(nullptr);
  if (properties_ != nullptr) properties_->SetOnPropertiesChanged(TNotifyEvent{});
  FreeAndNil(properties_);
}

void TuiEditRepositoryItem::SetRepository(TuiEditRepository* ARepository) {
  if (repository_ == ARepository) return;
  if (repository_ != nullptr) repository_->RemoveItem(this);
  repository_ = ARepository;
  if (repository_ != nullptr) repository_->AddItem(this);
}

void TuiEditRepositoryItem::PropertiesChanged(TObject*) {
  const std::vector<IuiEditRepositoryItemListener*> listeners = listeners_;
  for (auto it = listeners.rbegin(); it != listeners.rend(); ++it) (*it)->ItemPropertiesChanged(this);
}

void TuiEditRepositoryItem::AddListener(IuiEditRepositoryItemListener* AListener) {
  if (AListener == nullptr || std::find(listeners_.begin(), listeners_.end(), AListener) != listeners_.end()) return;
  listeners_.push_back(AListener);
}

void TuiEditRepositoryItem::RemoveListener(IuiEditRepositoryItemListener* AListener) {
  std::erase(listeners_, AListener);
}

TClass TuiEditRepositoryItem::GetPropertiesClass() const { return TuiCustomEditProperties::StaticClass(); }

TComponent* TuiEditRepositoryItem::GetParentComponent() const { return repository_; }

void TuiEditRepositoryItem::SetParentComponent(TComponent* Value) {
  if (ComponentState().Contains(csLoading)) return;
  SetRepository(ObjectAs<TuiEditRepository>(Value));
}

void TuiEditRepositoryItem::ReadState(TReader* Reader) {
  TComponent::ReadState(Reader);
  if (auto* repository = dynamic_cast<TuiEditRepository*>(Reader->Parent())) SetRepository(repository);
}

// ---- Repository -----------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiEditRepository) {}

TuiEditRepository::TuiEditRepository(TComponent* AOwner) : TComponent(AOwner) {}

TuiEditRepository::~TuiEditRepository() {
  // Items owned by another component go too; each one leaves the list as it is freed.
  while (!items_.empty()) {
    TuiEditRepositoryItem* item = items_.back();
    FreeObject(item);
    if (!items_.empty() && items_.back() == item) items_.pop_back();
  }
}

TuiEditRepositoryItem* TuiEditRepository::CreateItemEx(TClass AItemClass, TComponent* AOwner) {
  auto* item = ObjectAs<TuiEditRepositoryItem>(TComponent::Create(AItemClass, AOwner));
  item->SetRepository(this);
  return item;
}

TuiEditRepositoryItem* TuiEditRepository::Items(Integer Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(Format("List index out of bounds (%d)", Index));
  return items_[static_cast<size_t>(Index)];
}

void TuiEditRepository::AddItem(TuiEditRepositoryItem* AItem) {
  if (std::find(items_.begin(), items_.end(), AItem) == items_.end()) items_.push_back(AItem);
}

void TuiEditRepository::RemoveItem(TuiEditRepositoryItem* AItem) { std::erase(items_, AItem); }

void TuiEditRepository::GetChildren(TGetChildProc Proc, TComponent* Root) {
  for (TuiEditRepositoryItem* item : items_)
    if (item->Owner() == Root) Proc(item);
}

// ---- Process-wide objects and the unit ------------------------------------------------------------------

TuiRegisteredClasses* GetEditPropertiesRegistry() {
  if (editPropertiesRegistry == nullptr) {
    editPropertiesRegistry = new TuiRegisteredClasses(false);
    editPropertiesRegistry->SetSorted(true);
  }
  return editPropertiesRegistry;
}

TuiEditRepository* GetDefaultEditRepository() {
  if (defaultEditRepository == nullptr) defaultEditRepository = new TuiEditRepository(nullptr);
  return defaultEditRepository;
}

TuiEditStyleController* GetDefaultEditStyleController() { return defaultEditStyleController; }

namespace k58::editors {

const std::vector<TuiCustomEditProperties*>& LivePropertiesList() {
  static const std::vector<TuiCustomEditProperties*> none;
  return livePropertiesList != nullptr ? *livePropertiesList : none;
}

void StartEditUnit() {
  if (editUnitCount++ > 0) return;
  if (HCURSOR handle = LoadCursorResource(HInstance, "UIEDIT_MOUSEWHEEL")) Screen->SetCursors(crEditMouseWheel, handle);
  defaultEditStyleController = new TuiEditStyleController(nullptr);
  SetDefaultStyleController(defaultEditStyleController);
  livePropertiesList = new std::vector<TuiCustomEditProperties*>;
  FilterResourceStringHook = &LocalizeText;
  GetEditPropertiesRegistry()->Register(TuiTextEditProperties::StaticClass(), uitexteditconsts::scxTextEditDescription);
  GetEditPropertiesRegistry()->Register(TuiMaskEditProperties::StaticClass(), uimaskeditconsts::SMaskEditDescription);
  GetEditPropertiesRegistry()->Register(TuiSpinEditProperties::StaticClass(), uispineditconsts::scxSpinEditDescription);
  GetEditPropertiesRegistry()->Register(TuiCurrencyEditProperties::StaticClass(),
                                        uicurrencyeditconsts::scxCurrencyEditDescription);
}

void StopEditUnit() {
  if (editUnitCount == 0 || --editUnitCount > 0) return;
  FreeAndNil(editPropertiesRegistry);
  FreeAndNil(defaultEditRepository);
  delete livePropertiesList;
  livePropertiesList = nullptr;
  SetDefaultStyleController(nullptr);
  FreeAndNil(defaultEditStyleController);
}

void StartUnits() {
  foundation::StartUnits();
  StartEditUnit();
}

void StopUnits() {
  StopEditUnit();
  foundation::StopUnits();
}

}  // namespace k58::editors
