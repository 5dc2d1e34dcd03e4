// The write dialog: writes the image into the radio over the communication port.
#pragma once

#include "app/RadioTransferForm.h"

class TfWriteRadio : public TRadioTransferForm<TWriteRadioProtocol> {
  // The shared base is no published class of its own: the class tree goes straight to TForm.
  K58_CLASS(TfWriteRadio, TForm)

  explicit TfWriteRadio(TComponent* AOwner) : TRadioTransferForm(AOwner) {}
};

extern TfWriteRadio* fWriteRadio;
