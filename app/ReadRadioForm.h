// The read dialog: reads the radio's memory into the image over the communication port.
#pragma once

#include "app/RadioTransferForm.h"

class TfReadRadio : public TRadioTransferForm<TReadRadioProtocol> {
  // The shared base is no published class of its own: the class tree goes straight to TForm.
  K58_CLASS(TfReadRadio, TForm)

  explicit TfReadRadio(TComponent* AOwner) : TRadioTransferForm(AOwner) {}

  // The read completed; the caller then shows the new image.
  bool Done() const;
};

extern TfReadRadio* fReadRadio;
