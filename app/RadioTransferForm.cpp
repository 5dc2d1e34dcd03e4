#include "app/RadioTransferForm.h"

#include "app/AllClass.h"
#include "app/AppUi.h"
#include "app/RadioDialogPort.h"
#include "app/ReadRadio.h"
#include "app/WriteRadio.h"
#include "controls/editors/uiButtons.h"
#include "controls/extra/uiProgressBar.h"
#include "platform/forms/StdCtrls.h"

static_assert(mbInformation == mbkInformation && mbQuestion == mbkQuestion &&
                  mbQuestionDefaultNo == mbkQuestionDefaultNo,
              "the protocol passes its message box kinds to the application's message box");

template <class TProtocol>
TRadioTransferForm<TProtocol>::TRadioTransferForm(TComponent* AOwner) : TForm(AOwner) {}

template <class TProtocol>
TRadioTransferForm<TProtocol>::~TRadioTransferForm() = default;

template <class TProtocol>
void TRadioTransferForm<TProtocol>::Loaded() {
  TForm::Loaded();
  protocol_ = std::make_unique<TProtocol>(*this, DialogRadioPort(this, "myPort"));
}

template <class TProtocol>
void TRadioTransferForm<TProtocol>::BeforeDestruction() {
  // The protocol closes the port and stops its timers while the port component still exists.
  protocol_.reset();
  TForm::BeforeDestruction();
}

template <class TProtocol>
void TRadioTransferForm<TProtocol>::FormShow(TObject*) {
  if (ALL->LanguageIndex > 0) TranslateForm(this, ALL->LanguageName, false);
  protocol_->FormShow();
}

template <class TProtocol>
void TRadioTransferForm<TProtocol>::FormClose(TObject*, TCloseAction&) {
  if (protocol_) protocol_->FormClose();
}

template <class TProtocol>
void TRadioTransferForm<TProtocol>::btnOkClick(TObject*) {
  protocol_->btnOkClick();
}

template <class TProtocol>
void TRadioTransferForm<TProtocol>::btnCancelClick(TObject*) {
  protocol_->btnCancelClick();
}

template <class TProtocol>
Integer TRadioTransferForm<TProtocol>::ShowMessageBox(const String& Caption, const String& Text, Integer Kind) {
  return ::ShowMessageBox(Caption, Text, Kind);
}

template <class TProtocol>
void TRadioTransferForm<TProtocol>::SetProgressMax(Integer Max) {
  pBar->Properties()->SetMax(Max);
}

template <class TProtocol>
void TRadioTransferForm<TProtocol>::SetProgress(Integer Position) {
  pBar->SetPosition(Position);
}

template <class TProtocol>
void TRadioTransferForm<TProtocol>::SetOkEnabled(bool Enabled) {
  btnOk->SetEnabled(Enabled);
}

template <class TProtocol>
void TRadioTransferForm<TProtocol>::CloseDialog() {
  Close();
}

template <class TProtocol>
void TRadioTransferForm<TProtocol>::ClearLog() {
  mmLog->Lines()->Clear();
}

template class TRadioTransferForm<TReadRadioProtocol>;
template class TRadioTransferForm<TWriteRadioProtocol>;
