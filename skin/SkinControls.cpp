// Which standard controls the walk selects (by the control's kind and its parent's), and the hand-over
// and restore hooks of the manager for subclassed controls.
#include "platform/forms/ComCtrls.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/StdCtrls.h"
#include "skin/SkinInternal.h"

namespace {

// The object's class or one of its ancestors has the name (for classes this layer may not have).
bool IsKindNamed(const TObject* Object, const char* Name) {
  for (TClass c = Object->ClassType(); c != nullptr; c = c->Parent()) {
    if (c->Name() == Name) return true;
  }
  return false;
}

bool IsCandidate(const TSkinMenu* S, const TControl* C) {
  const TSkinControls k = S->SkinControls();
  const String name = C->ClassName();
  return (IsKindNamed(C, "TCustomComboBox") && k.Contains(xcCombo)) ||
         (IsKindNamed(C, "TEdit") && k.Contains(xcEdit)) ||
         ((name == "TMaskEdit" || name == "TDBEdit") && k.Contains(xcMaskEdit)) ||
         (IsKindNamed(C, "TCustomMemo") && k.Contains(xcMemo)) ||
         (IsKindNamed(C, "TCustomCheckBox") && k.Contains(xcCheckBox)) ||
         (IsKindNamed(C, "TRadioButton") && k.Contains(xcRadioButton)) ||
         (name == "TBitBtn" && k.Contains(xcBitBtn)) ||
         ((name == "TButton" || name == "TDBNavigator" || name == "TDBLookupComboBox") && k.Contains(xcButton)) ||
         (name == "TUpDown" && k.Contains(xcUpDown)) ||
         (IsKindNamed(C, "TSpeedButton") && k.Contains(xcSpeedButton)) ||
         (IsKindNamed(C, "TCustomPanel") && k.Contains(xcPanel)) ||
         (IsKindNamed(C, "TCustomGroupBox") && k.Contains(xcGroupBox)) ||
         (IsKindNamed(C, "TCustomListBox") && k.Contains(xcListBox)) ||
         (IsKindNamed(C, "TCustomTreeView") && k.Contains(xcTreeView)) ||
         (IsKindNamed(C, "TProgressBar") && k.Contains(xcProgressBar));
}

bool ParentPasses(const TSkinMenu* S, const TWinControl* P) {
  if (P == nullptr) return false;
  const TSkinContainers k = S->SkinContainers();
  return (IsKindNamed(P, "TToolBar") && k.Contains(xccToolbar)) ||
         (IsKindNamed(P, "TCustomPanel") && k.Contains(xccPanel)) ||
         (IsKindNamed(P, "TScrollBox") && k.Contains(xccScrollBox)) ||
         (IsKindNamed(P, "TCustomGroupBox") && k.Contains(xccGroupBox)) ||
         ((IsKindNamed(P, "TTabSheet") || P->ClassName() == "TuxTabSheet") && k.Contains(xccTabSheet)) ||
         (P->ClassName() == "TDBCtrlPanel" && k.Contains(xccFrame)) ||
         (IsKindNamed(P, "TCustomForm") && k.Contains(xccForm));
}

}  // namespace

namespace k58::skin {

void StyleControl(TSkinMenu* SkinMenu, TControl* Control, bool /*Enable*/, bool Repaint) {
  if (!IsCandidate(SkinMenu, Control) || !ParentPasses(SkinMenu, Control->Parent())) return;
  if (Repaint) Control->Invalidate();
}

void ReleaseSubclasses(TSkinMenu*) {}
void HandOverSubclasses(TSkinMenu*, TSkinMenu*, TCustomForm*) {}
void RestoreSubclasses(TSkinMenu*, TWinControl*) {}

}  // namespace k58::skin
