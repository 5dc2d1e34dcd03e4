#include "platform/classes/Lists.h"

#include <algorithm>

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/ClassErrors.h"
#include "platform/rtl/SysUtils.h"

using namespace classesconsts;

namespace {
// The class library's largest list.
constexpr Integer MaxListSize = 0x7FFFFFFF / 16;
}  // namespace

K58_IMPLEMENT_CLASS(TList) {}
K58_IMPLEMENT_CLASS(TObjectList) {}
K58_IMPLEMENT_CLASS(TThreadList) {}
K58_IMPLEMENT_CLASS(TInterfaceList) {}

TList::~TList() { Clear(); }

void TList::Error(const char* Msg, Integer Data) { throw EListError(Format(Msg, Data)); }

void TList::CheckIndex(Integer Index) const {
  if (Index < 0 || Index >= Count()) Error(SListIndexError, Index);
}

Integer TList::Add(Pointer Item) {
  Integer result = Count();
  if (result == capacity_) Grow();
  items_.push_back(Item);
  if (Item != nullptr) Notify(Item, lnAdded);
  return result;
}

void TList::Insert(Integer Index, Pointer Item) {
  if (Index < 0 || Index > Count()) Error(SListIndexError, Index);
  if (Count() == capacity_) Grow();
  items_.insert(items_.begin() + Index, Item);
  if (Item != nullptr) Notify(Item, lnAdded);
}

void TList::Delete(Integer Index) {
  CheckIndex(Index);
  Pointer item = items_[static_cast<size_t>(Index)];
  items_.erase(items_.begin() + Index);
  if (item != nullptr) Notify(item, lnDeleted);
}

Integer TList::Remove(Pointer Item) {
  Integer index = IndexOf(Item);
  if (index >= 0) Delete(index);
  return index;
}

Pointer TList::Extract(Pointer Item) {
  Integer index = IndexOf(Item);
  if (index < 0) return nullptr;
  items_.erase(items_.begin() + index);
  Notify(Item, lnExtracted);
  return Item;
}

void TList::Clear() {
  SetCount(0);
  SetCapacity(0);
}

Integer TList::IndexOf(Pointer Item) const {
  auto it = std::find(items_.begin(), items_.end(), Item);
  return it == items_.end() ? -1 : static_cast<Integer>(it - items_.begin());
}

void TList::Exchange(Integer Index1, Integer Index2) {
  CheckIndex(Index1);
  CheckIndex(Index2);
  std::swap(items_[static_cast<size_t>(Index1)], items_[static_cast<size_t>(Index2)]);
}

void TList::Move(Integer CurIndex, Integer NewIndex) {
  if (CurIndex == NewIndex) return;
  CheckIndex(CurIndex);
  if (NewIndex < 0 || NewIndex >= Count()) Error(SListIndexError, NewIndex);
  Pointer item = items_[static_cast<size_t>(CurIndex)];
  items_.erase(items_.begin() + CurIndex);
  items_.insert(items_.begin() + NewIndex, item);
}

void TList::Pack() { std::erase(items_, nullptr); }

void TList::Sort(const TListSortCompare& Compare) {
  std::stable_sort(items_.begin(), items_.end(), [&](Pointer a, Pointer b) { return Compare(a, b) < 0; });
}

TList* TList::Expand() {
  if (Count() == capacity_) Grow();
  return this;
}

Pointer TList::First() const { return Get(0); }

Pointer TList::Last() const { return Get(Count() - 1); }

void TList::Assign(TList* Source) {
  Clear();
  if (Source == nullptr) return;
  SetCapacity(Source->Capacity());
  for (Pointer item : Source->items_) Add(item);
}

void TList::SetCount(Integer NewCount) {
  if (NewCount < 0 || NewCount > MaxListSize) Error(SListCountError, NewCount);
  if (NewCount > capacity_) SetCapacity(NewCount);
  if (NewCount > Count()) {
    items_.resize(static_cast<size_t>(NewCount), nullptr);
  } else {
    for (Integer i = Count() - 1; i >= NewCount; --i) Delete(i);
  }
}

void TList::SetCapacity(Integer NewCapacity) {
  if (NewCapacity < Count() || NewCapacity > MaxListSize) Error(SListCapacityError, NewCapacity);
  if (NewCapacity != capacity_) {
    if (NewCapacity < capacity_) {
      items_.shrink_to_fit();
    } else {
      items_.reserve(static_cast<size_t>(NewCapacity));
    }
    capacity_ = NewCapacity;
  }
}

Pointer TList::Get(Integer Index) const {
  CheckIndex(Index);
  return items_[static_cast<size_t>(Index)];
}

void TList::Put(Integer Index, Pointer Item) {
  CheckIndex(Index);
  Pointer old = items_[static_cast<size_t>(Index)];
  if (old == Item) return;
  items_[static_cast<size_t>(Index)] = Item;
  if (old != nullptr) Notify(old, lnDeleted);
  if (Item != nullptr) Notify(Item, lnAdded);
}

void TList::Notify(Pointer, TListNotification) {}

void TList::Grow() {
  Integer delta = capacity_ > 64 ? capacity_ / 4 : (capacity_ > 8 ? 16 : 4);
  SetCapacity(capacity_ + delta);
}

// ---- TObjectList ----

TObjectList::~TObjectList() { Clear(); }

void TObjectList::Notify(Pointer Ptr, TListNotification Action) {
  if (ownsObjects_ && Action == lnDeleted) FreeObject(static_cast<TObject*>(Ptr));
  TList::Notify(Ptr, Action);
}

Integer TObjectList::FindInstanceOf(TClass AClass, bool AExact, Integer AStartAt) const {
  for (Integer i = std::max<Integer>(AStartAt, 0); i < Count(); ++i) {
    TObject* object = Get(i);
    if (object == nullptr) continue;
    if (AExact ? object->ClassType() == AClass : object->InheritsFrom(AClass)) return i;
  }
  return -1;
}

// ---- TThreadList ----

void TThreadList::Add(Pointer Item) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  if (duplicates_ == dupAccept || list_.IndexOf(Item) < 0) {
    list_.Add(Item);
  } else if (duplicates_ == dupError) {
    TList::Error(SDuplicateItem, static_cast<Integer>(reinterpret_cast<intptr_t>(Item) & 0x7FFFFFFF));
  }
}

void TThreadList::Clear() {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  list_.Clear();
}

void TThreadList::Remove(Pointer Item) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  list_.Remove(Item);
}

TList* TThreadList::LockList() {
  lock_.lock();
  return &list_;
}

void TThreadList::UnlockList() { lock_.unlock(); }

// ---- TInterfaceList ----

TInterfaceList::~TInterfaceList() { Clear(); }

void TInterfaceList::CheckIndex(Integer Index) const {
  if (Index < 0 || Index >= static_cast<Integer>(items_.size())) TList::Error(SListIndexError, Index);
}

Integer TInterfaceList::Add(IInterface* Item) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  if (Item != nullptr) Item->_AddRef();
  items_.push_back(Item);
  return static_cast<Integer>(items_.size()) - 1;
}

void TInterfaceList::Insert(Integer Index, IInterface* Item) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  if (Index < 0 || Index > static_cast<Integer>(items_.size())) TList::Error(SListIndexError, Index);
  if (Item != nullptr) Item->_AddRef();
  items_.insert(items_.begin() + Index, Item);
}

void TInterfaceList::Delete(Integer Index) {
  IInterface* item = nullptr;
  {
    std::lock_guard<std::recursive_mutex> guard(lock_);
    CheckIndex(Index);
    item = items_[static_cast<size_t>(Index)];
    items_.erase(items_.begin() + Index);
  }
  if (item != nullptr) item->_Release();
}

Integer TInterfaceList::Remove(IInterface* Item) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  Integer index = IndexOf(Item);
  if (index >= 0) Delete(index);
  return index;
}

Integer TInterfaceList::IndexOf(IInterface* Item) const {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  auto it = std::find(items_.begin(), items_.end(), Item);
  return it == items_.end() ? -1 : static_cast<Integer>(it - items_.begin());
}

void TInterfaceList::Clear() {
  std::vector<IInterface*> items;
  {
    std::lock_guard<std::recursive_mutex> guard(lock_);
    items.swap(items_);
  }
  for (IInterface* item : items) {
    if (item != nullptr) item->_Release();
  }
}

void TInterfaceList::Exchange(Integer Index1, Integer Index2) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  CheckIndex(Index1);
  CheckIndex(Index2);
  std::swap(items_[static_cast<size_t>(Index1)], items_[static_cast<size_t>(Index2)]);
}

Integer TInterfaceList::Count() const {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  return static_cast<Integer>(items_.size());
}

IInterface* TInterfaceList::Get(Integer Index) const {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  CheckIndex(Index);
  return items_[static_cast<size_t>(Index)];
}

void TInterfaceList::Put(Integer Index, IInterface* Item) {
  IInterface* old = nullptr;
  {
    std::lock_guard<std::recursive_mutex> guard(lock_);
    CheckIndex(Index);
    if (Item != nullptr) Item->_AddRef();
    old = items_[static_cast<size_t>(Index)];
    items_[static_cast<size_t>(Index)] = Item;
  }
  if (old != nullptr) old->_Release();
}
