// Starting and stopping the units of the editor kinds together.
#include "controls/editors/uiEditorKinds.h"

#include "controls/editors/uiBlobEdit.h"
#include "controls/editors/uiButtonEdit.h"
#include "controls/editors/uiCalcEdit.h"
#include "controls/editors/uiCheckBox.h"
#include "controls/editors/uiDateEdit.h"
#include "controls/editors/uiGroupBox.h"
#include "controls/editors/uiHyperLink.h"
#include "controls/editors/uiImage.h"
#include "controls/editors/uiImageComboBox.h"
#include "controls/editors/uiMRUEdit.h"
#include "controls/editors/uiMemo.h"
#include "controls/editors/uiPopupEdit.h"
#include "controls/editors/uiRadioButton.h"
#include "controls/editors/uiRadioGroup.h"
#include "controls/editors/uiTimeEdit.h"

namespace k58::editors {
void StartEditorKindUnits() {
  StartUnits();
  StartCheckBoxUnit();
  StartGroupBoxUnit();
  StartRadioButtonUnit();
  StartRadioGroupUnit();
  StartImageUnit();
  StartPopupEditUnit();
  StartMemoUnit();
  StartButtonEditUnit();
  StartHyperLinkUnit();
  StartMRUEditUnit();
  StartCalcEditUnit();
  StartDateEditUnit();
  StartTimeEditUnit();
  StartBlobEditUnit();
  StartImageComboBoxUnit();
}

void StopEditorKindUnits() {
  StopImageComboBoxUnit();
  StopBlobEditUnit();
  StopTimeEditUnit();
  StopDateEditUnit();
  StopCalcEditUnit();
  StopMRUEditUnit();
  StopHyperLinkUnit();
  StopButtonEditUnit();
  StopMemoUnit();
  StopPopupEditUnit();
  StopImageUnit();
  StopRadioGroupUnit();
  StopRadioButtonUnit();
  StopGroupBoxUnit();
  StopCheckBoxUnit();
  StopUnits();
}
}  // namespace k58::editors
