#include "app/Program.h"

#include "app/FormResources.h"
#include "app/MainFrm.h"
#include "app/Maindb.h"
#include "controls/editors/uiEditorKinds.h"
#include "controls/foundation/Foundation.h"
#include "platform/classes/Streams.h"
#include "platform/forms/Forms.h"
#include "serial/SioSelComPrompt.h"

String ProgramFile;

void StartProgram() {
  Application->Initialize();
  k58::foundation::StartUnits();
  // The check marks, group frames and radio glyphs of the editing windows.
  k58::editors::StartEditorKindUnits();
  Application->SetTitle("K58");
  Application->Icon()->LoadFromResourceName(HInstance, "MAINICON");
  RegisterComSelectForm();
  PrepareFormResources();
  if (ProgramFile.empty()) ProgramFile = Application->ExeName();
  Application->CreateForm(fMaindb);
  Application->CreateForm(fMainFrm);
}
