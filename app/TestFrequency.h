// The test frequency dialog: a table of receive and transmit frequencies for the sixteen channels, checked
// against the model and band as they are typed. The table is kept nowhere; closing after a change says so.
#pragma once

#include "platform/forms/Forms.h"

class TCellGrid;
class TLabel;

class TfTestFrequency : public TForm {
  K58_CLASS(TfTestFrequency, TForm)

  explicit TfTestFrequency(TComponent* AOwner);
  ~TfTestFrequency() override;

  TCellGrid* gvData = nullptr;
  TLabel* Label1 = nullptr;  // the text shown on closing after a change

  // A frequency was typed since the dialog opened.
  bool Changed = false;

  void FormShow(TObject* Sender);
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  void gvDataSetForeText(TObject* Sender, Integer ACol, Integer ARow, String& Value);
};

extern TfTestFrequency* fTestFrequency;

// Runs the test frequency dialog modally over the main window.
void ShowTestFrequency();
