// The registry of filter edit helpers: which helper class edits filter values for the editors of a
// properties class. A pair is kept under the parent class of the properties class it is registered for (the
// registered class is a thin published descendant of a custom properties class), so any descendant of
// that custom class finds the helper of its nearest registered ancestor.
//
// The filter edit helpers: which editor a filter row creates for a value and how that editor is set up from
// the column editor's properties. Helpers hold no state; their class is what is registered, and an
// operation is called on a throwaway instance made from that class (TuiCustomFilterEditHelper::Of).
//
// Threads: GUI thread only. The controller lives from the unit's first start to its last end; while it
// lives the spin editor, progress bar and track bar helpers are registered in it.
#pragma once

#include "controls/editors/uiEdit.h"
#include "controls/foundation/Foundation.h"

class TuiCustomFilterEditHelper : public TObject {
  K58_CLASS(TuiCustomFilterEditHelper, TObject)

  TuiCustomFilterEditHelper() = default;

  // A helper of AHelperClass, or nil when AHelperClass is nil or no helper class.
  static TObjectPtr<TuiCustomFilterEditHelper> Of(TClass AHelperClass);

  // Clears OnButtonClick, OnChange, OnEditValueChanged and OnValidate.
  virtual void ClearPropertiesEvents(TuiCustomEditProperties* AProperties);
  // Prepares the active properties of AEdit (a filter editor) from the column's ASourceProperties.
  virtual void InitializeEdit(TuiCustomEdit* AEdit, TuiCustomEditProperties* ASourceProperties);
  virtual bool KeepsDefaultValuesProvider(TuiCustomEditProperties*) { return true; }
  // Drop-down and spin editors keep their embedded buttons.
  virtual bool KeepsButtons(TuiCustomEditProperties* AProperties);
  // The editor class to create for filter values; nil when the helper has none.
  virtual TClass GetFilterEditClass() const { return nullptr; }
  // Reads the filter editor back: its edit value and the properties' display text of it.
  virtual void GetFilterValue(TuiCustomEdit* AEdit, TuiCustomEditProperties* AEditProperties, Variant& AValue,
                              WideString& ADisplayText);
  // Copies ASourceProperties, then aligns left and top, turns beeping and read-only off, validates on
  // Enter, clears the buttons unless AKeepButtons and clears the events.
  virtual void InitializeProperties(TuiCustomEditProperties* AProperties, TuiCustomEditProperties* ASourceProperties,
                                    bool AKeepButtons);
  // Shows a condition value in the filter editor.
  virtual void ApplyFilterValue(TuiCustomEdit*, TuiCustomEditProperties*, const Variant&) {}
  virtual bool ShowsDisplayValue() const { return false; }
};

// Filter values of spin editors are typed into a spin editor that can always be edited; the text editor's
// selection and view settings and the mask editor's mask rules apply to it.
class TuiFilterSpinEditHelper : public TuiCustomFilterEditHelper {
  K58_CLASS(TuiFilterSpinEditHelper, TuiCustomFilterEditHelper)

  TuiFilterSpinEditHelper() = default;

  TClass GetFilterEditClass() const override;
  void InitializeProperties(TuiCustomEditProperties* AProperties, TuiCustomEditProperties* ASourceProperties,
                            bool AKeepButtons) override;
};

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
