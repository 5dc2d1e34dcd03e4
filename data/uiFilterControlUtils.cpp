// The registry of filter edit helpers and its unit.
#include "data/uiFilterControlUtils.h"

#include "controls/editors/uiDropDownEdit.h"
#include "controls/editors/uiSpinEdit.h"
#include "controls/extra/uiProgressBar.h"
#include "controls/extra/uiTrackBar.h"
#include "data/uiFilterBarHelpers.h"
#include "platform/classes/ClassBuilder.h"

namespace {

TuiFilterEditsController* filterEditsController = nullptr;
Integer filterControlUnitCount = 0;

// The class a pair is kept under: the registered class's parent, or the class itself at the root.
TClass KeyClassOf(TClass APropertiesClass) {
  return APropertiesClass != nullptr && APropertiesClass->Parent() != nullptr ? APropertiesClass->Parent()
                                                                              : APropertiesClass;
}

}  // namespace

K58_IMPLEMENT_CLASS(TuiFilterEditsController) {}
K58_IMPLEMENT_CLASS(TuiCustomFilterEditHelper) {}
K58_IMPLEMENT_CLASS(TuiFilterSpinEditHelper) {}

TObjectPtr<TuiCustomFilterEditHelper> TuiCustomFilterEditHelper::Of(TClass AHelperClass) {
  if (AHelperClass == nullptr || !AHelperClass->InheritsFrom(TuiCustomFilterEditHelper::StaticClass())) return {};
  return TObjectPtr<TuiCustomFilterEditHelper>(static_cast<TuiCustomFilterEditHelper*>(AHelperClass->Create().release()));
}

void TuiCustomFilterEditHelper::ClearPropertiesEvents(TuiCustomEditProperties* AProperties) {
  AProperties->SetOnButtonClick({});
  AProperties->SetOnChange({});
  AProperties->SetOnEditValueChanged({});
  AProperties->SetOnValidate({});
}

void TuiCustomFilterEditHelper::InitializeEdit(TuiCustomEdit* AEdit, TuiCustomEditProperties* ASourceProperties) {
  TuiCustomEditProperties* properties = AEdit->ActiveProperties();
  InitializeProperties(properties, ASourceProperties, KeepsButtons(properties));
}

bool TuiCustomFilterEditHelper::KeepsButtons(TuiCustomEditProperties* AProperties) {
  return AProperties != nullptr && (AProperties->InheritsFrom(TuiCustomDropDownEditProperties::StaticClass()) ||
                                    AProperties->InheritsFrom(TuiCustomSpinEditProperties::StaticClass()));
}

void TuiCustomFilterEditHelper::GetFilterValue(TuiCustomEdit* AEdit, TuiCustomEditProperties* AEditProperties,
                                               Variant& AValue, WideString& ADisplayText) {
  AValue = AEdit->EditValue();
  ADisplayText = AEditProperties->GetDisplayText(AValue);
}

void TuiCustomFilterEditHelper::InitializeProperties(TuiCustomEditProperties* AProperties,
                                                     TuiCustomEditProperties* ASourceProperties, bool AKeepButtons) {
  if (ASourceProperties != nullptr) AProperties->Assign(ASourceProperties);
  TuiEditAlignment* alignment = AProperties->Alignment();
  alignment->SetHorz(taLeftJustify);
  alignment->SetVert(taTopJustify);
  AProperties->SetBeepOnError(false);
  if (!AKeepButtons) AProperties->Buttons()->Clear();
  AProperties->SetReadOnly(false);
  AProperties->SetValidateOnEnter(true);
  if (!KeepsDefaultValuesProvider(ASourceProperties)) AProperties->SetDefaultValuesProvider(nullptr);
  ClearPropertiesEvents(AProperties);
}

TClass TuiFilterSpinEditHelper::GetFilterEditClass() const { return TuiSpinEdit::StaticClass(); }

void TuiFilterSpinEditHelper::InitializeProperties(TuiCustomEditProperties* AProperties,
                                                   TuiCustomEditProperties* ASourceProperties, bool AKeepButtons) {
  TuiCustomFilterEditHelper::InitializeProperties(AProperties, ASourceProperties, AKeepButtons);
  auto* spin = dynamic_cast<TuiCustomSpinEditProperties*>(AProperties);
  if (spin == nullptr) return;
  // As a text editor: select all on entry, keep the selection hidden, plain view.
  spin->SetHideSelection(true);
  spin->SetViewStyle(TuiTextEditViewStyle::vsNormal);
  // As a mask editor: a plain regular expression mask takes the extended kind; auto-select only unmasked.
  auto* sourceMask = dynamic_cast<TuiCustomMaskEditProperties*>(ASourceProperties);
  if (sourceMask != nullptr && sourceMask->MaskKind() == emkRegExpr) spin->SetMaskKind(emkRegExprEx);
  spin->SetAutoSelect(!spin->IsMasked());
  spin->SetCanEdit(true);
}

void TuiFilterEditsController::Register(TClass APropertiesClass, TClass AFilterHelperClass) {
  TuiRegisteredClassList::Register(KeyClassOf(APropertiesClass), AFilterHelperClass);
}

void TuiFilterEditsController::Unregister(TClass APropertiesClass, TClass AFilterHelperClass) {
  TuiRegisteredClassList::Unregister(KeyClassOf(APropertiesClass), AFilterHelperClass);
}

TuiFilterEditsController* GetFilterEditsController() { return filterEditsController; }

namespace k58::data {

void StartFilterControlUnit() {
  if (filterControlUnitCount++ > 0) return;
  filterEditsController = new TuiFilterEditsController;
  filterEditsController->Register(TuiSpinEditProperties::StaticClass(), TuiFilterSpinEditHelper::StaticClass());
  filterEditsController->Register(TuiProgressBarProperties::StaticClass(), TuiFilterProgressBarHelper::StaticClass());
  filterEditsController->Register(TuiTrackBarProperties::StaticClass(), TuiFilterTrackBarHelper::StaticClass());
}

void StopFilterControlUnit() {
  if (filterControlUnitCount == 0 || --filterControlUnitCount > 0) return;
  filterEditsController->Unregister(TuiTrackBarProperties::StaticClass(), TuiFilterTrackBarHelper::StaticClass());
  filterEditsController->Unregister(TuiProgressBarProperties::StaticClass(),
                                    TuiFilterProgressBarHelper::StaticClass());
  filterEditsController->Unregister(TuiSpinEditProperties::StaticClass(), TuiFilterSpinEditHelper::StaticClass());
  FreeAndNil(filterEditsController);
}

}  // namespace k58::data
