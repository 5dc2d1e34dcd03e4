// Every class of this library, so that lookups by name find them even when no code of the program refers
// to a class directly (a static library links only the files that something uses).
#include "platform/classes/Classes.h"
#include "platform/classes/SyncObjs.h"

namespace k58::classes {

void RegisterCoreClasses() {
  const TClass classes[] = {
      TObject::StaticClass(),        TPersistent::StaticClass(),     TInterfacedPersistent::StaticClass(),
      TComponent::StaticClass(),     TList::StaticClass(),           TObjectList::StaticClass(),
      TThreadList::StaticClass(),    TInterfaceList::StaticClass(),  TCollectionItem::StaticClass(),
      TCollection::StaticClass(),    TOwnedCollection::StaticClass(), TStrings::StaticClass(),
      TStringList::StaticClass(),    TStream::StaticClass(),         THandleStream::StaticClass(),
      TFileStream::StaticClass(),    TCustomMemoryStream::StaticClass(), TMemoryStream::StaticClass(),
      TStringStream::StaticClass(),  TResourceStream::StaticClass(), TFiler::StaticClass(),
      TReader::StaticClass(),        TWriter::StaticClass(),         TCustomIniFile::StaticClass(),
      TIniFile::StaticClass(),       TThread::StaticClass(),         TSynchroObject::StaticClass(),
      THandleObject::StaticClass(),  TEvent::StaticClass(),          TSimpleEvent::StaticClass(),
      TCriticalSection::StaticClass(),
  };
  for (TClass cls : classes) RegisterClass(cls);
}

}  // namespace k58::classes
