// The read and write dialogs' common window: a progress bar, OK to start, Cancel to close, a hidden log and
// the port component. The protocol (TReadRadioProtocol or TWriteRadioProtocol) runs behind the dialog's
// events; the dialog shows its message boxes and progress and closes when the protocol asks.
#pragma once

#include <memory>

#include "app/RadioLink.h"
#include "platform/forms/Forms.h"

class TMemo;
class TuiButton;
class TuiProgressBar;
template <class C>
class ClassBuilder;

template <class TProtocol>
class TRadioTransferForm : public TForm, public IRadioDialog {
 public:
  explicit TRadioTransferForm(TComponent* AOwner);
  ~TRadioTransferForm() override;

  TuiButton* btnOk = nullptr;
  TuiButton* btnCancel = nullptr;
  TuiProgressBar* pBar = nullptr;
  TMemo* mmLog = nullptr;        // hidden log
  TComponent* myPort = nullptr;  // the port component (TSioComPort)

  void FormShow(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void btnOkClick(TObject* Sender);
  void btnCancelClick(TObject* Sender);

  TProtocol& Protocol() { return *protocol_; }

  // ---- What the protocol asks of the dialog ----
  Integer ShowMessageBox(const String& Caption, const String& Text, Integer Kind) override;
  void SetProgressMax(Integer Max) override;
  void SetProgress(Integer Position) override;
  void SetOkEnabled(bool Enabled) override;
  void CloseDialog() override;
  void ClearLog() override;

  // The components and handlers the form resource names, for the class description of Form (which sees
  // the component classes).
  template <class Form>
  static void Describe(ClassBuilder<Form>& b);

 protected:
  void Loaded() override;
  void BeforeDestruction() override;

  std::unique_ptr<TProtocol> protocol_;
};

class TReadRadioProtocol;
class TWriteRadioProtocol;
extern template class TRadioTransferForm<TReadRadioProtocol>;
extern template class TRadioTransferForm<TWriteRadioProtocol>;

template <class TProtocol>
template <class Form>
void TRadioTransferForm<TProtocol>::Describe(ClassBuilder<Form>& b) {
  b.Field("btnOk", &Form::btnOk);
  b.Field("btnCancel", &Form::btnCancel);
  b.Field("pBar", &Form::pBar);
  b.Field("mmLog", &Form::mmLog);
  b.Field("myPort", &Form::myPort);
  b.Method("FormShow", &Form::FormShow);
  b.Method("FormClose", &Form::FormClose);
  b.Method("btnOkClick", &Form::btnOkClick);
  b.Method("btnCancelClick", &Form::btnCancelClick);
}
