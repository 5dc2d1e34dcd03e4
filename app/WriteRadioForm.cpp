#include "app/WriteRadioForm.h"

#include "platform/classes/ClassBuilder.h"
#include "platform/forms/ComCtrls.h"  // the published components
#include "platform/forms/StdCtrls.h"

TfWriteRadio* fWriteRadio = nullptr;

K58_IMPLEMENT_CLASS(TfWriteRadio) { TfWriteRadio::Describe(b); }
