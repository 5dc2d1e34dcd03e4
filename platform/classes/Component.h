// Components: objects with an owner, a name and owned components.
//
// An owner frees the components it owns; a component that is freed leaves its owner and sends
// Notification(opRemove) to its owner (which passes it on to every owned component) and to every component
// that asked for free notification. Names follow identifier rules and are unique among one owner's
// components, ignoring case.
#pragma once

#include <functional>
#include <vector>

#include "platform/classes/Persistent.h"
#include "platform/classes/TypInfo.h"

class TReader;
class TWriter;

enum TComponentStateItem {
  csLoading, csReading, csWriting, csDestroying, csDesigning, csAncestor, csUpdating, csFixups,
  csFreeNotification, csInline, csDesignInstance
};
K58_ENUM_TYPE(TComponentStateItem, csLoading, csReading, csWriting, csDestroying, csDesigning, csAncestor,
              csUpdating, csFixups, csFreeNotification, csInline, csDesignInstance)
K58_SET_TYPE(TComponentState, TComponentStateItem)

enum TComponentStyleItem { csInheritable, csCheckPropAvail, csSubComponent, csTransient };
K58_ENUM_TYPE(TComponentStyleItem, csInheritable, csCheckPropAvail, csSubComponent, csTransient)
K58_SET_TYPE(TComponentStyle, TComponentStyleItem)

enum TOperation { opInsert, opRemove };
K58_ENUM_TYPE(TOperation, opInsert, opRemove)

using TGetChildProc = std::function<void(TComponent* Child)>;

class TComponent : public TPersistent {
  K58_CLASS(TComponent, TPersistent)

  // With an owner, the owner takes the component into its list and frees it with itself.
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;
  void BeforeDestruction() override;

  TComponent* Owner() const { return owner_; }
  Integer ComponentCount() const { return static_cast<Integer>(components_.size()); }
  // Owned component by index; outside 0..ComponentCount-1 raises EListError.
  TComponent* Components(Integer Index) const;
  // Position in the owner's list (-1 without owner); setting it moves the component in that list.
  Integer ComponentIndex() const;
  void SetComponentIndex(Integer Value);

  const String& Name() const { return name_; }
  // Checks the name ("'x' is not a valid component name", "A component named x already exists") and
  // renames. Overridable: a control also changes its caption while it equals the name.
  virtual void SetName(const String& NewName);
  Integer Tag() const { return tag_; }
  void SetTag(Integer Value) { tag_ = Value; }

  TComponentState ComponentState() const { return state_; }
  TComponentStyle ComponentStyle() const { return style_; }

  // The owned component with the name (ignoring case), or nullptr; "" finds nothing.
  TComponent* FindComponent(const String& AName) const;
  void InsertComponent(TComponent* AComponent);
  void RemoveComponent(TComponent* AComponent);
  // Frees every owned component, last first.
  void DestroyComponents();
  // Marks this component and its owned ones as being destroyed (csDestroying).
  void Destroying();

  // Both components tell each other when one of them is freed (Notification with opRemove).
  void FreeNotification(TComponent* AComponent);
  void RemoveFreeNotification(TComponent* AComponent);

  // A component published as a sub-object of another (streamed inside its owner's properties).
  void SetSubComponent(bool IsSubComponent);

  // Streaming protocol.
  virtual void Loaded();
  virtual void ReadState(TReader* Reader);
  virtual void WriteState(TWriter* Writer);
  virtual void GetChildren(TGetChildProc Proc, TComponent* Root);
  virtual TComponent* GetChildOwner();
  virtual TComponent* GetChildParent();
  virtual void SetChildOrder(TComponent* Child, Integer Order);
  virtual bool HasParent() const;
  virtual TComponent* GetParentComponent() const;
  virtual void SetParentComponent(TComponent* Value);

  // Called on the owner (and passed on to every owned component) when a component is inserted or
  // removed, and on components that asked for free notification.
  virtual void Notification(TComponent* AComponent, TOperation Operation);
  virtual void ValidateRename(TComponent* AComponent, const String& CurName, const String& NewName);
  virtual void ValidateContainer(TComponent* AComponent);
  virtual void ValidateInsert(TComponent* AComponent);
  virtual void Updating();
  virtual void Updated();

  // State changes made by the streaming system and designers.
  void SetDesigning(bool Value, bool SetChildren = true);
  void SetAncestor(bool Value);
  void SetInline(bool Value);
  void SetLoading(bool Value);
  void SetReading(bool Value);
  void SetWriting(bool Value);

  String GetNamePath() override;
  TPersistent* GetOwner() override { return owner_; }

  // The virtual constructor through a class reference: an instance of cls owned by AOwner.
  static TComponent* Create(TClass cls, TComponent* AOwner) { return cls->CreateComponent(AOwner); }

 protected:
  // Applies a new name after validation.
  virtual void ChangeName(const String& NewName);

 private:
  void Insert(TComponent* AComponent);
  void Remove(TComponent* AComponent);
  void RemoveNotification(TComponent* AComponent);

  TComponent* owner_ = nullptr;
  String name_;
  Integer tag_ = 0;
  TComponentState state_;
  TComponentStyle style_{csInheritable};
  std::vector<TComponent*> components_;
  std::vector<TComponent*> freeNotifies_;
};
