#include "app/WriteRadioForm.h"

#include "app/AllClass.h"
#include "app/AppUi.h"
#include "app/WriteRadio.h"
#include "app/RadioDialogPort.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/forms/StdCtrls.h"
#include "platform/forms/ComCtrls.h"

static_assert(mbInformation == mbkInformation && mbQuestion == mbkQuestion &&
                  mbQuestionDefaultNo == mbkQuestionDefaultNo,
              "the protocol passes its message box kinds to the application's message box");

TfWriteRadio* fWriteRadio = nullptr;

K58_IMPLEMENT_CLASS(TfWriteRadio) {
  b.Field("btnOk", &TfWriteRadio::btnOk);
  b.Field("btnCancel", &TfWriteRadio::btnCancel);
  b.Field("pBar", &TfWriteRadio::pBar);
  b.Field("mmLog", &TfWriteRadio::mmLog);
  b.Field("myPort", &TfWriteRadio::myPort);
  b.Method("FormShow", &TfWriteRadio::FormShow);
  b.Method("FormClose", &TfWriteRadio::FormClose);
  b.Method("btnOkClick", &TfWriteRadio::btnOkClick);
  b.Method("btnCancelClick", &TfWriteRadio::btnCancelClick);
}

TfWriteRadio::TfWriteRadio(TComponent* AOwner) : TForm(AOwner) {}

TfWriteRadio::~TfWriteRadio() = default;

void TfWriteRadio::Loaded() {
  TForm::Loaded();
  FProtocol = std::make_unique<TWriteRadioProtocol>(*this, DialogRadioPort(this, "myPort"));
}

void TfWriteRadio::BeforeDestruction() {
  // The protocol closes the port and stops its timers while the port component still exists.
  FProtocol.reset();
  TForm::BeforeDestruction();
}

void TfWriteRadio::FormShow(TObject*) {
  if (ALL->LanguageIndex > 0) TranslateForm(this, ALL->LanguageName, false);
  FProtocol->FormShow();
}

void TfWriteRadio::FormClose(TObject*, TCloseAction&) {
  if (FProtocol) FProtocol->FormClose();
}

void TfWriteRadio::btnOkClick(TObject*) { FProtocol->btnOkClick(); }

void TfWriteRadio::btnCancelClick(TObject*) { FProtocol->btnCancelClick(); }

Integer TfWriteRadio::ShowMessageBox(const String& Caption, const String& Text, Integer Kind) {
  return ::ShowMessageBox(Caption, Text, Kind);
}

void TfWriteRadio::SetProgressMax(Integer Max) {
  pBar->SetMax(Max);
}

void TfWriteRadio::SetProgress(Integer Position) {
  pBar->SetPosition(Position);
}

void TfWriteRadio::SetOkEnabled(bool Enabled) { btnOk->SetEnabled(Enabled); }

void TfWriteRadio::CloseDialog() { Close(); }

void TfWriteRadio::ClearLog() { mmLog->Lines()->Clear(); }
