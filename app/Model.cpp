#include "app/Model.h"

#include "app/AllClass.h"
#include "app/AppUi.h"
#include "controls/editors/uiComboBox.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/forms/StdCtrls.h"

TfModel* fModel = nullptr;

K58_IMPLEMENT_CLASS(TfModel) {
  b.Field("cbCopmut", &TfModel::cbCopmut);
  b.Field("cbPd", &TfModel::cbPd);
  b.Method("FormShow", &TfModel::FormShow);
  b.Method("cbCopmutChange", &TfModel::cbCopmutChange);
  b.Method("btnOkClick", &TfModel::btnOkClick);
}

namespace {

// Selects the item Text, or item 0 when the list does not hold it.
void SelectText(TuiComboBox* Box, const String& Text) {
  const Integer Index = Box->Properties()->Items()->IndexOf(Text);
  Box->SetItemIndex(Index >= 0 ? Index : (Box->Properties()->Items()->Count() > 0 ? 0 : -1));
}

}  // namespace

TfModel::TfModel(TComponent* AOwner) : TForm(AOwner) {}

void TfModel::FormShow(TObject*) {
  if (ALL->LanguageIndex > 0) TranslateForm(this, ALL->LanguageName, false);
  MacList->GetNames(cbCopmut->Properties()->Items());
  SelectText(cbCopmut, ALL->ModelName);
  cbCopmutChange(cbCopmut);
  SelectText(cbPd, ALL->BandText);
  Confirmed = false;
}

void TfModel::cbCopmutChange(TObject*) {
  cbPd->Properties()->Items()->Clear();
  TMacType* Model = MacList->FindByName(cbCopmut->Text());
  if (Model == nullptr) return;
  cbPd->Properties()->Items()->Assign(Model->Bands);
  SelectText(cbPd, Model->DefaultBand);
}

void TfModel::btnOkClick(TObject*) {
  Confirmed = true;
  ModelText = cbCopmut->Text();
  BandText = cbPd->Text();
}
