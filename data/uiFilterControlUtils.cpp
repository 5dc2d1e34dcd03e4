// The registry of filter edit helpers and its unit.
#include "data/uiFilterControlUtils.h"

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
}

void StopFilterControlUnit() {
  if (filterControlUnitCount == 0 || --filterControlUnitCount > 0) return;
  FreeAndNil(filterEditsController);
}

}  // namespace k58::data
