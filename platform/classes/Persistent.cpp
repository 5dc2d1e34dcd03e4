#include "platform/classes/Persistent.h"

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/ClassErrors.h"
#include "platform/rtl/SysUtils.h"

K58_IMPLEMENT_CLASS(TPersistent) {}

void TPersistent::Assign(TPersistent* Source) {
  if (Source != nullptr) {
    Source->AssignTo(this);
  } else {
    AssignError(nullptr);
  }
}

void TPersistent::AssignTo(TPersistent* Dest) { Dest->AssignError(this); }

void TPersistent::AssignError(TPersistent* Source) {
  String sourceName = Source != nullptr ? Source->ClassName() : String("nil");
  throw EConvertError(Format(classesconsts::SAssignError, sourceName, ClassName()));
}

void TPersistent::DefineProperties(TFiler*) {}

TPersistent* TPersistent::GetOwner() { return nullptr; }

String TPersistent::GetNamePath() {
  String result = ClassName();
  if (TPersistent* owner = GetOwner()) {
    String ownerPath = owner->GetNamePath();
    if (!ownerPath.empty()) result = ownerPath + "." + result;
  }
  return result;
}

// ---- TInterfacedPersistent ----

K58_IMPLEMENT_CLASS(TInterfacedPersistent) { b.Interface<IInterface>(IID_IInterface); }

HRESULT TInterfacedPersistent::QueryInterface(const TGUID& IID, void** Obj) {
  return GetInterface(IID, Obj) ? S_OK : E_NOINTERFACE;
}

Integer TInterfacedPersistent::_AddRef() {
  auto* owner = dynamic_cast<IInterface*>(GetOwner());
  return owner != nullptr ? owner->_AddRef() : -1;
}

Integer TInterfacedPersistent::_Release() {
  auto* owner = dynamic_cast<IInterface*>(GetOwner());
  return owner != nullptr ? owner->_Release() : -1;
}
