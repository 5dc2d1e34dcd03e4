#include "app/Maindb.h"

#include "app/Program.h"
#include "app/Startup.h"
#include "platform/classes/ClassBuilder.h"

TfMaindb* fMaindb = nullptr;

K58_IMPLEMENT_CLASS(TfMaindb) { b.Method("DataModuleCreate", &TfMaindb::DataModuleCreate); }

TfMaindb::TfMaindb(TComponent* AOwner) : TDataModule(AOwner) {}

void TfMaindb::DataModuleCreate(TObject*) {
  CreateDocumentObjects(ProgramFile.empty() ? Application->ExeName() : ProgramFile);
}
