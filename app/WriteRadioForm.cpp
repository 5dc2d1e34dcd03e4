#include "app/WriteRadioForm.h"

#include "controls/editors/uiButtons.h"  // the published components
#include "controls/extra/uiProgressBar.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/forms/StdCtrls.h"

TfWriteRadio* fWriteRadio = nullptr;

K58_IMPLEMENT_CLASS(TfWriteRadio) { TfWriteRadio::Describe(b); }
