// The registry of filter edit helpers: which helper class edits filter values for the editors of a
// properties class. A pair is kept under the parent class of the properties class it is registered for (the
// registered class is a thin published descendant of a custom properties class), so any descendant of
// that custom class finds the helper of its nearest registered ancestor.
//
// Threads: GUI thread only. The controller lives from the unit's first start to its last end.
#pragma once

#include "controls/foundation/Foundation.h"

class TuiFilterEditsController : public TuiRegisteredClassList {
  K58_CLASS(TuiFilterEditsController, TuiRegisteredClassList)

  TuiFilterEditsController() = default;

  void Register(TClass APropertiesClass, TClass AFilterHelperClass) override;
  void Unregister(TClass APropertiesClass, TClass AFilterHelperClass) override;
  // The helper of the nearest registered ancestor of APropertiesClass, or nil.
  TClass FindHelper(TClass APropertiesClass) const { return FindClass(APropertiesClass); }
};

// The process-wide controller; nil while the unit is not running.
TuiFilterEditsController* GetFilterEditsController();

namespace k58::data {
// Counted: the first start makes the controller, the last end frees it.
void StartFilterControlUnit();
void StopFilterControlUnit();
}  // namespace k58::data
