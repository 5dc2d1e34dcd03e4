#include "app/ReadRadioForm.h"

#include "app/ReadRadio.h"
#include "controls/editors/uiButtons.h"  // the published components
#include "controls/extra/uiProgressBar.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/forms/StdCtrls.h"

TfReadRadio* fReadRadio = nullptr;

K58_IMPLEMENT_CLASS(TfReadRadio) { TfReadRadio::Describe(b); }

bool TfReadRadio::Done() const { return protocol_ && protocol_->Done(); }
