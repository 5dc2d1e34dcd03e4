// The data module: created before the main window, its creation starts the document side of the
// program (the global objects, the model and band tables, the settings and the messages).
#pragma once

#include "platform/forms/Forms.h"

class TfMaindb : public TDataModule {
  K58_CLASS(TfMaindb, TDataModule)

  explicit TfMaindb(TComponent* AOwner);

  void DataModuleCreate(TObject* Sender);
};

extern TfMaindb* fMaindb;
