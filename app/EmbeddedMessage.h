// The embedded message dialog: two lines of text of at most 32 characters, letters, digits, blanks and
// the decimal separator only. Nothing is stored.
#pragma once

#include "platform/forms/Forms.h"

class TuiTextEdit;

class TfEmbeddedMessage : public TForm {
  K58_CLASS(TfEmbeddedMessage, TForm)

  explicit TfEmbeddedMessage(TComponent* AOwner);
  ~TfEmbeddedMessage() override;

  TuiTextEdit* edEMA = nullptr;
  TuiTextEdit* edEMB = nullptr;

  void FormShow(TObject* Sender);
  // Both editors: "," and "." become the decimal separator; other keys than the accepted ones are dropped.
  void edEMAKeyPress(TObject* Sender, char& Key);
};

extern TfEmbeddedMessage* fEmbeddedMessage;

// The key an embedded-message editor takes for Key: Key itself, the decimal separator for "," and ".",
// or 0 when the key is refused.
char FilterMessageKey(char Key);

// Runs the embedded message dialog modally over the main window.
void ShowEmbeddedMessage();
