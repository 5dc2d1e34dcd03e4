#include "app/FormResources.h"

#include "platform/classes/Streams.h"

namespace {

// The program's windows and the port component's selection dialog.
constexpr const char* FormNames[] = {"TfMaindb",   "TfMainFrm", "TfChInfo",      "TfReadRadio", "TfWriteRadio",
                                     "TfSetPort", "TfModel",   "TfSetLanguage", "TComSelectForm",
                                     "TfBInfoEdit", "TfBFunSet",
                                     "TfToneOption", "TfInfoMsg", "TfPassWord", "TfTestFrequency", "TfEmbeddedMessage",
                                     "TfFrmAbout"};

}  // namespace

void PrepareFormResources() {
  // The embedded bytes live as long as the program; a second registration keeps the first.
  for (const char* Name : FormNames)
    if (const TResourceData* Data = FindResourceData(HInstance, Name, "FORM"))
      RegisterResource("RCDATA", Name, Data->Data, Data->Size);
}
