// The model dialog: a model from the model list and one of its bands. The caller applies a confirmed
// choice.
#pragma once

#include "platform/forms/Forms.h"

class TuiComboBox;

class TfModel : public TForm {
  K58_CLASS(TfModel, TForm)

  explicit TfModel(TComponent* AOwner);

  TuiComboBox* cbCopmut = nullptr;  // models
  TuiComboBox* cbPd = nullptr;      // bands of the chosen model

  // OK was pressed; the choice is in ModelText and BandText.
  bool Confirmed = false;
  String ModelText;
  String BandText;

  void FormShow(TObject* Sender);
  // Another model: its bands, with its default band chosen.
  void cbCopmutChange(TObject* Sender);
  void btnOkClick(TObject* Sender);
};

extern TfModel* fModel;
