#include "app/ReadRadioForm.h"

#include "app/AllClass.h"
#include "app/AppUi.h"
#include "app/ReadRadio.h"
#include "app/RadioDialogPort.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/forms/StdCtrls.h"
#include "platform/forms/ComCtrls.h"

TfReadRadio* fReadRadio = nullptr;

K58_IMPLEMENT_CLASS(TfReadRadio) {
  b.Field("btnOk", &TfReadRadio::btnOk);
  b.Field("btnCancel", &TfReadRadio::btnCancel);
  b.Field("pBar", &TfReadRadio::pBar);
  b.Field("mmLog", &TfReadRadio::mmLog);
  b.Field("myPort", &TfReadRadio::myPort);
  b.Method("FormShow", &TfReadRadio::FormShow);
  b.Method("FormClose", &TfReadRadio::FormClose);
  b.Method("btnOkClick", &TfReadRadio::btnOkClick);
  b.Method("btnCancelClick", &TfReadRadio::btnCancelClick);
}

TfReadRadio::TfReadRadio(TComponent* AOwner) : TForm(AOwner) {}

TfReadRadio::~TfReadRadio() = default;

void TfReadRadio::Loaded() {
  TForm::Loaded();
  FProtocol = std::make_unique<TReadRadioProtocol>(*this, DialogRadioPort(this, "myPort"));
}

void TfReadRadio::BeforeDestruction() {
  // The protocol closes the port and stops its timers while the port component still exists.
  FProtocol.reset();
  TForm::BeforeDestruction();
}

void TfReadRadio::FormShow(TObject*) {
  if (ALL->LanguageIndex > 0) TranslateForm(this, ALL->LanguageName, false);
  FProtocol->FormShow();
}

void TfReadRadio::FormClose(TObject*, TCloseAction&) {
  if (FProtocol) FProtocol->FormClose();
}

void TfReadRadio::btnOkClick(TObject*) { FProtocol->btnOkClick(); }

void TfReadRadio::btnCancelClick(TObject*) { FProtocol->btnCancelClick(); }

Integer TfReadRadio::ShowMessageBox(const String& Caption, const String& Text, Integer Kind) {
  return ::ShowMessageBox(Caption, Text, Kind);
}

void TfReadRadio::SetProgressMax(Integer Max) {
  pBar->SetMax(Max);
}

void TfReadRadio::SetProgress(Integer Position) {
  pBar->SetPosition(Position);
}

void TfReadRadio::SetOkEnabled(bool Enabled) { btnOk->SetEnabled(Enabled); }

void TfReadRadio::CloseDialog() { Close(); }

void TfReadRadio::ClearLog() { mmLog->Lines()->Clear(); }

bool TfReadRadio::Done() const { return FProtocol && FProtocol->Done(); }
