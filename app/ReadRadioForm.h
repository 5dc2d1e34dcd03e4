// The read dialog: reads the radio's memory into the image over the communication port, with a progress bar, OK to start and
// Cancel to close. The protocol runs behind the dialog's events; the dialog shows its message boxes and
// progress and closes when the protocol asks.
#pragma once

#include <memory>

#include "app/RadioLink.h"
#include "platform/forms/Forms.h"

class TButton;
class TMemo;
class TProgressBar;
class TReadRadioProtocol;

class TfReadRadio : public TForm, public IRadioDialog {
  K58_CLASS(TfReadRadio, TForm)

  explicit TfReadRadio(TComponent* AOwner);
  ~TfReadRadio() override;

  TButton* btnOk = nullptr;
  TButton* btnCancel = nullptr;
  TProgressBar* pBar = nullptr;
  TMemo* mmLog = nullptr;  // hidden log
  TComponent* myPort = nullptr;  // the port component (TSioComPort)

  void FormShow(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void btnOkClick(TObject* Sender);
  void btnCancelClick(TObject* Sender);

  // The read completed; the caller then shows the new image.
  bool Done() const;

  TReadRadioProtocol& Protocol() { return *FProtocol; }

  // ---- What the protocol asks of the dialog ----
  Integer ShowMessageBox(const String& Caption, const String& Text, Integer Kind) override;
  void SetProgressMax(Integer Max) override;
  void SetProgress(Integer Position) override;
  void SetOkEnabled(bool Enabled) override;
  void CloseDialog() override;
  void ClearLog() override;

 protected:
  void Loaded() override;
  void BeforeDestruction() override;

 private:
  std::unique_ptr<TReadRadioProtocol> FProtocol;
};

extern TfReadRadio* fReadRadio;
