// Starting and stopping the units of the editor kinds together.
#include "controls/editors/uiEditorKinds.h"

#include "controls/editors/uiCheckBox.h"

namespace k58::editors {
void StartEditorKindUnits() {
  StartUnits();
  StartCheckBoxUnit();
}

void StopEditorKindUnits() {
  StopCheckBoxUnit();
  StopUnits();
}
}  // namespace k58::editors
