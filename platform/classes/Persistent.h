// Persistent objects: assignable from one another and streamable through their published properties
// plus the extra properties they define for the filer.
#pragma once

#include "platform/classes/Object.h"

class TFiler;

class TPersistent : public TObject {
  K58_CLASS(TPersistent, TObject)

  TPersistent() = default;

  // Copies Source into this object. The default asks Source to assign itself to this object
  // (AssignTo) and raises EConvertError "Cannot assign a X to a Y" when neither knows how.
  virtual void Assign(TPersistent* Source);
  // Name of the object for messages and designers: the owner's path, a dot, the class name.
  virtual String GetNamePath();

  // Copies this object into Dest; the default raises the assignment error.
  virtual void AssignTo(TPersistent* Dest);
  // Declares properties that are streamed without being published (TFiler::DefineProperty).
  virtual void DefineProperties(TFiler* Filer);
  // The object that owns this one (a collection for its items, a control for its font), or nullptr.
  virtual TPersistent* GetOwner();

 protected:
  [[noreturn]] void AssignError(TPersistent* Source);
};

// A persistent object that is reached through interfaces but never freed by reference counting: the
// counts go to its owner when the owner counts references, otherwise they answer -1.
class TInterfacedPersistent : public TPersistent, public IInterface {
  K58_CLASS(TInterfacedPersistent, TPersistent)

  TInterfacedPersistent() = default;

  HRESULT QueryInterface(const TGUID& IID, void** Obj) override;
  Integer _AddRef() override;
  Integer _Release() override;
};
