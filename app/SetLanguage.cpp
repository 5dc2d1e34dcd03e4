#include "app/SetLanguage.h"

#include "app/AllClass.h"
#include "app/AppUi.h"
#include "controls/editors/uiComboBox.h"
#include "app/SysInfo.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/forms/StdCtrls.h"

TfSetLanguage* fSetLanguage = nullptr;

K58_IMPLEMENT_CLASS(TfSetLanguage) {
  b.Field("cbLanguage", &TfSetLanguage::cbLanguage);
  b.Field("Language", &TfSetLanguage::LanguageList);
  b.Method("FormShow", &TfSetLanguage::FormShow);
  b.Method("btnOkClick", &TfSetLanguage::btnOkClick);
}

TfSetLanguage::TfSetLanguage(TComponent* AOwner) : TForm(AOwner) {}

void TfSetLanguage::FormShow(TObject*) {
  cbLanguage->Properties()->Items()->Clear();
  LanguageList->Items()->Clear();
  LoadLanguageList(cbLanguage->Properties()->Items(), LanguageList->Items());
  if (ALL->LanguageIndex > 0) TranslateForm(this, ALL->LanguageName, false);
  cbLanguage->SetItemIndex(ALL->LanguageIndex < cbLanguage->Properties()->Items()->Count() ? ALL->LanguageIndex : -1);
  Changed = false;
}

void TfSetLanguage::btnOkClick(TObject*) {
  const Integer Index = cbLanguage->ItemIndex();
  if (Index < 0 || Index == ALL->LanguageIndex || Index >= LanguageList->Items()->Count()) return;
  Changed = true;
  ALL->LanguageName = LanguageList->Items()->Strings(Index);
  ALL->LanguageIndex = Index;
}
