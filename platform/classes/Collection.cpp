#include "platform/classes/Collection.h"

#include <algorithm>

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/ClassErrors.h"
#include "platform/rtl/SysUtils.h"

using namespace classesconsts;

K58_IMPLEMENT_CLASS(TCollectionItem) {}
K58_IMPLEMENT_CLASS(TCollection) {}
K58_IMPLEMENT_CLASS(TOwnedCollection) {}

TCollectionItem* ClassInfo::CreateItem(TCollection* collection) const {
  Describe();
  if (itemFactory_ == nullptr) throw EAbstractError(Format(SAbstractClass, name_));
  return itemFactory_(collection);
}

// ---- TCollectionItem ----

TCollectionItem::TCollectionItem(TCollection* Collection) { SetCollection(Collection); }

TCollectionItem::~TCollectionItem() {
  if (collection_ != nullptr) collection_->RemoveItem(this);
}

void TCollectionItem::SetCollection(TCollection* Value) {
  if (collection_ == Value) return;
  if (collection_ != nullptr) collection_->RemoveItem(this);
  if (Value != nullptr) Value->InsertItem(this);
}

Integer TCollectionItem::Index() const {
  if (collection_ == nullptr) return -1;
  auto& items = collection_->items_;
  auto it = std::find(items.begin(), items.end(), this);
  return it == items.end() ? -1 : static_cast<Integer>(it - items.begin());
}

void TCollectionItem::SetIndex(Integer Value) {
  Integer current = Index();
  if (current < 0 || current == Value) return;
  auto& items = collection_->items_;
  Value = std::clamp<Integer>(Value, 0, static_cast<Integer>(items.size()) - 1);
  items.erase(items.begin() + current);
  items.insert(items.begin() + Value, this);
  Changed(true);
}

String TCollectionItem::GetDisplayName() { return ClassName(); }

void TCollectionItem::SetDisplayName(const String&) { Changed(false); }

String TCollectionItem::GetNamePath() {
  if (collection_ == nullptr) return ClassName();
  return Format("%s[%d]", collection_->GetNamePath(), Index());
}

TPersistent* TCollectionItem::GetOwner() { return collection_; }

void TCollectionItem::Changed(bool AllItems) {
  if (collection_ != nullptr && collection_->updateCount_ == 0) {
    collection_->Update(AllItems ? nullptr : this);
  }
}

// ---- TCollection ----

TCollection::TCollection(TClass ItemClass) : itemClass_(ItemClass) {}

TCollection::~TCollection() {
  updateCount_ = 1;  // no change reports while going
  while (!items_.empty()) FreeObject(items_.back());
}

TCollectionItem* TCollection::Add() {
  if (itemClass_ == nullptr) throw EListError(SInvalidCollectionItem);
  return itemClass_->CreateItem(this);
}

TCollectionItem* TCollection::Insert(Integer Index) {
  if (Index < 0 || Index > Count()) throw EListError(Format(SListIndexError, Index));
  TCollectionItem* item = Add();
  item->SetIndex(Index);
  return item;
}

void TCollection::Delete(Integer Index) {
  TCollectionItem* item = GetItem(Index);
  Notify(item, cnDeleting);
  FreeObject(item);
}

void TCollection::Clear() {
  if (items_.empty()) return;
  BeginUpdate();
  try {
    while (!items_.empty()) FreeObject(items_.back());
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

TCollectionItem* TCollection::GetItem(Integer Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(Format(SListIndexError, Index));
  return items_[static_cast<size_t>(Index)];
}

void TCollection::SetItem(Integer Index, TCollectionItem* Value) { GetItem(Index)->Assign(Value); }

TCollectionItem* TCollection::FindItemID(Integer ID) const {
  for (TCollectionItem* item : items_) {
    if (item->id_ == ID) return item;
  }
  return nullptr;
}

void TCollection::BeginUpdate() { ++updateCount_; }

void TCollection::EndUpdate() {
  if (updateCount_ > 0) --updateCount_;
  Changed();
}

void TCollection::Changed() {
  if (updateCount_ == 0) Update(nullptr);
}

void TCollection::Update(TCollectionItem*) {}

void TCollection::Notify(TCollectionItem*, TCollectionNotification) {}

void TCollection::SetItemName(TCollectionItem*) {}

// The item's class is not checked here: an item joins during its own construction, when its class
// information is not yet that of its final class. Add makes items of the item class.
void TCollection::InsertItem(TCollectionItem* Item) {
  items_.push_back(Item);
  Item->collection_ = this;
  Item->id_ = nextId_++;
  SetItemName(Item);
  Notify(Item, cnAdded);
  Changed();
}

void TCollection::RemoveItem(TCollectionItem* Item) {
  Notify(Item, cnExtracting);
  std::erase(items_, Item);
  Item->collection_ = nullptr;
  Changed();
}

void TCollection::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TCollection*>(Source)) {
    if (source == this) return;
    BeginUpdate();
    try {
      Clear();
      for (TCollectionItem* item : source->items_) Add()->Assign(item);
    } catch (...) {
      EndUpdate();
      throw;
    }
    EndUpdate();
    return;
  }
  TPersistent::Assign(Source);
}

String TCollection::GetNamePath() {
  TPersistent* owner = GetOwner();
  if (owner == nullptr) return ClassName();
  String ownerPath = owner->GetNamePath();
  if (ownerPath.empty()) return ClassName();
  // The name of the owner's published property that holds this collection.
  for (const TPropInfo* prop : owner->ClassType()->Properties()) {
    if (prop->Kind() == tkClass && prop->GetObj && prop->GetObj(owner) == this) {
      return ownerPath + "." + prop->Name;
    }
  }
  return ClassName();
}
