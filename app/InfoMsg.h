// The radio information window: model, band, serial number and the time of the last write, as the image
// holds them. The serial number can be edited only when the settings allow it; an edit goes into the
// image at once.
#pragma once

#include "platform/forms/Forms.h"

class TuiTextEdit;

// The loading marker both small windows keep in the Tag of their first editor: typing stores only once
// the window has filled its editors.
constexpr Integer tagWindowLoading = 1;
constexpr Integer tagWindowLoaded = 2;

class TfInfoMsg : public TForm {
  K58_CLASS(TfInfoMsg, TForm)

  explicit TfInfoMsg(TComponent* AOwner);

  TuiTextEdit* uiModel = nullptr;
  TuiTextEdit* uiFreq = nullptr;
  TuiTextEdit* uiSerial = nullptr;
  TuiTextEdit* uiRadioTime = nullptr;

  void FormShow(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void FormDestroy(TObject* Sender);
  void btnOkClick(TObject* Sender);
  void btnCancelClick(TObject* Sender);
  void uiSerialPropertiesChange(TObject* Sender);

  // Translates the window and fills it from the image.
  void LoadRadioInfo();
  // The serial text into image bytes 352-367, blank-padded; only when the serial is editable.
  void StoreSerial();
};

extern TfInfoMsg* fInfoMsg;

// Count image bytes from Offset as text, each through PrintableChar.
String ImageText(Integer Offset, Integer Count);
// Writes the first Count characters of Text into the image at Offset, padded with blanks. A character
// outside ASCII becomes one blank, so no byte holds part of a character.
void StoreImageText(const String& Text, Integer Offset, Integer Count);

// Opens the radio information window, or brings the open one forward.
void ShowRadioInfo();
