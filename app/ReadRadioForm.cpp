#include "app/ReadRadioForm.h"

#include "app/ReadRadio.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/forms/ComCtrls.h"  // the published components
#include "platform/forms/StdCtrls.h"

TfReadRadio* fReadRadio = nullptr;

K58_IMPLEMENT_CLASS(TfReadRadio) { TfReadRadio::Describe(b); }

bool TfReadRadio::Done() const { return protocol_ && protocol_->Done(); }
