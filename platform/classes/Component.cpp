#include "platform/classes/Component.h"

#include <algorithm>

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/ClassErrors.h"
#include "platform/classes/Filer.h"
#include "platform/rtl/SysUtils.h"

using namespace classesconsts;

K58_IMPLEMENT_CLASS(TComponent) {
  // The name is written in the object's header, not as a property.
  b.Prop("Name", &TComponent::Name, &TComponent::SetName).Stored(false);
  b.Prop("Tag", &TComponent::Tag, &TComponent::SetTag).Default(0);
}

TComponent* ClassInfo::CreateComponent(TComponent* owner) const {
  Describe();
  if (componentFactory_ == nullptr) throw EAbstractError(Format(SAbstractClass, name_));
  return componentFactory_(owner);
}

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner != nullptr) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
  Destroying();
  // Everyone linked by free notification hears of the end. The link is undone before the call, so
  // nothing keeps a pointer to this component even if a receiver does not pass the call on.
  while (!freeNotifies_.empty()) {
    TComponent* other = freeNotifies_.back();
    freeNotifies_.pop_back();
    other->RemoveNotification(this);
    other->Notification(this, opRemove);
  }
  DestroyComponents();
  if (owner_ != nullptr) owner_->RemoveComponent(this);
}

void TComponent::BeforeDestruction() {
  if (!state_.Contains(csDestroying)) Destroying();
}

TComponent* TComponent::Components(Integer Index) const {
  if (Index < 0 || Index >= ComponentCount()) throw EListError(Format(SListIndexError, Index));
  return components_[static_cast<size_t>(Index)];
}

Integer TComponent::ComponentIndex() const {
  if (owner_ == nullptr) return -1;
  auto& list = owner_->components_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<Integer>(it - list.begin());
}

void TComponent::SetComponentIndex(Integer Value) {
  if (owner_ == nullptr) return;
  auto& list = owner_->components_;
  Integer current = ComponentIndex();
  if (current < 0) return;
  Value = std::clamp<Integer>(Value, 0, static_cast<Integer>(list.size()) - 1);
  if (Value == current) return;
  list.erase(list.begin() + current);
  list.insert(list.begin() + Value, this);
}

void TComponent::SetName(const String& NewName) {
  if (name_ == NewName) return;
  if (!NewName.empty() && !IsValidIdent(NewName)) throw EComponentError(Format(SInvalidName, NewName));
  if (owner_ != nullptr) {
    owner_->ValidateRename(this, name_, NewName);
  } else {
    ValidateRename(nullptr, name_, NewName);
  }
  ChangeName(NewName);
}

void TComponent::ChangeName(const String& NewName) { name_ = NewName; }

TComponent* TComponent::FindComponent(const String& AName) const {
  if (AName.empty()) return nullptr;
  for (TComponent* c : components_) {
    if (SameText(c->name_, AName)) return c;
  }
  return nullptr;
}

void TComponent::InsertComponent(TComponent* AComponent) {
  if (AComponent == nullptr || AComponent->owner_ == this) return;
  AComponent->ValidateContainer(this);
  // Names stay unique among an owner's components, also for a component that arrives with a name.
  if (!AComponent->name_.empty() && FindComponent(AComponent->name_) != nullptr) {
    throw EComponentError(Format(SDuplicateName, AComponent->name_));
  }
  ValidateRename(AComponent, String(), AComponent->name_);
  // A component has one owner: it leaves the old one.
  if (AComponent->owner_ != nullptr) AComponent->owner_->RemoveComponent(AComponent);
  Insert(AComponent);
  if (state_.Contains(csDesigning)) AComponent->SetDesigning(true);
  Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
  if (AComponent == nullptr || AComponent->owner_ != this) return;
  ValidateRename(AComponent, AComponent->name_, String());
  Notification(AComponent, opRemove);
  Remove(AComponent);
}

void TComponent::Insert(TComponent* AComponent) {
  components_.push_back(AComponent);
  AComponent->owner_ = this;
}

void TComponent::Remove(TComponent* AComponent) {
  std::erase(components_, AComponent);
  AComponent->owner_ = nullptr;
}

void TComponent::DestroyComponents() {
  while (!components_.empty()) {
    TComponent* instance = components_.back();
    Remove(instance);
    FreeObject(instance);
  }
}

void TComponent::Destroying() {
  if (state_.Contains(csDestroying)) return;
  state_.Include(csDestroying);
  for (TComponent* c : components_) c->Destroying();
}

// Unlike the original, components with the same owner are linked as well: the owner's notification would
// reach them too, but not any more once one of them has left that owner.
void TComponent::FreeNotification(TComponent* AComponent) {
  if (AComponent == nullptr || AComponent == this) return;
  if (std::find(freeNotifies_.begin(), freeNotifies_.end(), AComponent) == freeNotifies_.end()) {
    freeNotifies_.push_back(AComponent);
    AComponent->FreeNotification(this);
  }
  state_.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
  if (AComponent == nullptr) return;
  RemoveNotification(AComponent);
  AComponent->RemoveNotification(this);
}

void TComponent::RemoveNotification(TComponent* AComponent) {
  std::erase(freeNotifies_, AComponent);
  if (freeNotifies_.empty()) state_.Exclude(csFreeNotification);
}

void TComponent::SetSubComponent(bool IsSubComponent) {
  if (IsSubComponent) {
    style_.Include(csSubComponent);
  } else {
    style_.Exclude(csSubComponent);
  }
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove && AComponent != nullptr) RemoveFreeNotification(AComponent);
  // Last to first; the list may shrink while the notification travels.
  Integer i = ComponentCount() - 1;
  while (i >= 0) {
    components_[static_cast<size_t>(i)]->Notification(AComponent, Operation);
    --i;
    if (i >= ComponentCount()) i = ComponentCount() - 1;
  }
}

void TComponent::ValidateRename(TComponent* AComponent, const String& CurName, const String& NewName) {
  if (AComponent != nullptr && !SameText(CurName, NewName) && AComponent->owner_ == this &&
      FindComponent(NewName) != nullptr) {
    throw EComponentError(Format(SDuplicateName, NewName));
  }
  if (state_.Contains(csDesigning) && owner_ != nullptr) owner_->ValidateRename(AComponent, CurName, NewName);
}

void TComponent::ValidateContainer(TComponent* AComponent) { AComponent->ValidateInsert(this); }

void TComponent::ValidateInsert(TComponent*) {}

void TComponent::Loaded() { state_.Exclude(csLoading); }

void TComponent::ReadState(TReader* Reader) { Reader->ReadData(this); }

void TComponent::WriteState(TWriter* Writer) { Writer->WriteData(this); }

void TComponent::GetChildren(TGetChildProc, TComponent*) {}

TComponent* TComponent::GetChildOwner() { return nullptr; }

TComponent* TComponent::GetChildParent() { return this; }

void TComponent::SetChildOrder(TComponent*, Integer) {}

bool TComponent::HasParent() const { return false; }

TComponent* TComponent::GetParentComponent() const { return nullptr; }

void TComponent::SetParentComponent(TComponent*) {}

void TComponent::Updating() { state_.Include(csUpdating); }

void TComponent::Updated() { state_.Exclude(csUpdating); }

void TComponent::SetDesigning(bool Value, bool SetChildren) {
  if (Value) {
    state_.Include(csDesigning);
  } else {
    state_.Exclude(csDesigning);
  }
  if (SetChildren) {
    for (TComponent* c : components_) c->SetDesigning(Value);
  }
}

void TComponent::SetAncestor(bool Value) {
  if (Value) {
    state_.Include(csAncestor);
  } else {
    state_.Exclude(csAncestor);
  }
  for (TComponent* c : components_) c->SetAncestor(Value);
}

void TComponent::SetInline(bool Value) {
  if (Value) {
    state_.Include(csInline);
  } else {
    state_.Exclude(csInline);
  }
}

void TComponent::SetLoading(bool Value) {
  if (Value) {
    state_.Include(csLoading);
  } else {
    state_.Exclude(csLoading);
  }
}

void TComponent::SetReading(bool Value) {
  if (Value) {
    state_.Include(csReading);
  } else {
    state_.Exclude(csReading);
  }
}

void TComponent::SetWriting(bool Value) {
  if (Value) {
    state_.Include(csWriting);
  } else {
    state_.Exclude(csWriting);
  }
}

String TComponent::GetNamePath() { return name_; }
