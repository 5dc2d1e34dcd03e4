// The password window: the password and the new password as the image holds them, and the switch that
// makes the next write send the new password to the radio. Edits go into the image at once.
#pragma once

#include "platform/forms/Forms.h"

class TuiCheckBox;
class TuiTextEdit;

class TfPassWord : public TForm {
  K58_CLASS(TfPassWord, TForm)

  explicit TfPassWord(TComponent* AOwner);

  TuiTextEdit* uioPasd = nullptr;  // image bytes 0-7
  TuiCheckBox* cbNps = nullptr;    // the new-password switch
  TuiTextEdit* uinPasd = nullptr;  // image bytes 8-15, editable while the switch is on

  void FormShow(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void FormDestroy(TObject* Sender);
  void btnOkClick(TObject* Sender);
  void btnCancelClick(TObject* Sender);
  void cbNpsPropertiesEditValueChanged(TObject* Sender);
  void uioPasdPropertiesChange(TObject* Sender);
  void uinPasdPropertiesChange(TObject* Sender);

  // Both texts into the image (the new one only while the switch is on); the unsaved-changes flag stays.
  void StorePassword();
};

extern TfPassWord* fPassWord;

// Opens the password window, or brings the open one forward.
void ShowPassword();
