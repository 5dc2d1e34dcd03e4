// Pointer lists and object lists.
#pragma once

#include <functional>
#include <mutex>
#include <vector>

#include "platform/classes/Interfaces.h"
#include "platform/classes/Object.h"
#include "platform/classes/TypInfo.h"

using Pointer = void*;

enum TListNotification { lnAdded, lnExtracted, lnDeleted };
// Three-way comparison for Sort: < 0, 0, > 0.
using TListSortCompare = std::function<Integer(Pointer Item1, Pointer Item2)>;

// A list of untyped pointers. Index errors raise EListError "List index out of bounds (%d)".
class TList : public TObject {
  K58_CLASS(TList, TObject)

  TList() = default;
  ~TList() override;

  Integer Add(Pointer Item);
  void Insert(Integer Index, Pointer Item);
  void Delete(Integer Index);
  // Index of the removed item, -1 when it was not in the list.
  Integer Remove(Pointer Item);
  // Takes the item out without the deletion notification (lnExtracted); nullptr when absent.
  Pointer Extract(Pointer Item);
  virtual void Clear();
  Integer IndexOf(Pointer Item) const;
  void Exchange(Integer Index1, Integer Index2);
  void Move(Integer CurIndex, Integer NewIndex);
  // Removes nil entries.
  void Pack();
  void Sort(const TListSortCompare& Compare);
  TList* Expand();
  Pointer First() const;
  Pointer Last() const;
  void Assign(TList* Source);

  Integer Count() const { return static_cast<Integer>(items_.size()); }
  // Growing fills with nil; shrinking deletes the items past the new count.
  void SetCount(Integer NewCount);
  Integer Capacity() const { return capacity_; }
  // Below Count, or negative, raises EListError "List capacity out of bounds (%d)".
  void SetCapacity(Integer NewCapacity);
  Pointer Get(Integer Index) const;
  void Put(Integer Index, Pointer Item);
  Pointer Items(Integer Index) const { return Get(Index); }
  const std::vector<Pointer>& List() const { return items_; }

  [[noreturn]] static void Error(const char* Msg, Integer Data);

 protected:
  virtual void Notify(Pointer Ptr, TListNotification Action);
  virtual void Grow();

 private:
  void CheckIndex(Integer Index) const;

  std::vector<Pointer> items_;
  Integer capacity_ = 0;
};

// A list of objects that frees them on removal while OwnsObjects is set (the default).
class TObjectList : public TList {
  K58_CLASS(TObjectList, TList)

  TObjectList() = default;
  explicit TObjectList(bool AOwnsObjects) : ownsObjects_(AOwnsObjects) {}
  ~TObjectList() override;

  Integer Add(TObject* AObject) { return TList::Add(AObject); }
  void Insert(Integer Index, TObject* AObject) { TList::Insert(Index, AObject); }
  Integer Remove(TObject* AObject) { return TList::Remove(AObject); }
  TObject* Extract(TObject* Item) { return static_cast<TObject*>(TList::Extract(Item)); }
  Integer IndexOf(TObject* AObject) const { return TList::IndexOf(AObject); }
  // Index of the first object of class AClass (exactly, or a descendant when not AExact) from AStartAt.
  Integer FindInstanceOf(TClass AClass, bool AExact = true, Integer AStartAt = 0) const;
  TObject* Get(Integer Index) const { return static_cast<TObject*>(TList::Get(Index)); }
  TObject* Items(Integer Index) const { return Get(Index); }
  void Put(Integer Index, TObject* AObject) { TList::Put(Index, AObject); }
  TObject* First() const { return static_cast<TObject*>(TList::First()); }
  TObject* Last() const { return static_cast<TObject*>(TList::Last()); }

  bool OwnsObjects() const { return ownsObjects_; }
  void SetOwnsObjects(bool Value) { ownsObjects_ = Value; }

 protected:
  void Notify(Pointer Ptr, TListNotification Action) override;

 private:
  bool ownsObjects_ = true;
};

enum TDuplicates { dupIgnore, dupAccept, dupError };
K58_ENUM_TYPE(TDuplicates, dupIgnore, dupAccept, dupError)

// A list shared between threads: LockList gives the list under the lock, UnlockList releases it.
class TThreadList : public TObject {
  K58_CLASS(TThreadList, TObject)

  TThreadList() = default;
  void Add(Pointer Item);
  void Clear();
  void Remove(Pointer Item);
  TList* LockList();
  void UnlockList();
  TDuplicates Duplicates() const { return duplicates_; }
  void SetDuplicates(TDuplicates Value) { duplicates_ = Value; }

 private:
  std::recursive_mutex lock_;
  TList list_;
  TDuplicates duplicates_ = dupIgnore;
};

// A list of interfaces that holds a reference to each (_AddRef on entry, _Release on removal). It may be
// used from several threads; Lock and Unlock group several calls.
class TInterfaceList : public TObject {
  K58_CLASS(TInterfaceList, TObject)

  TInterfaceList() = default;
  ~TInterfaceList() override;

  Integer Add(IInterface* Item);
  void Insert(Integer Index, IInterface* Item);
  void Delete(Integer Index);
  Integer Remove(IInterface* Item);
  Integer IndexOf(IInterface* Item) const;
  void Clear();
  void Exchange(Integer Index1, Integer Index2);
  IInterface* First() const { return Get(0); }
  IInterface* Last() const { return Get(Count() - 1); }
  Integer Count() const;
  IInterface* Get(Integer Index) const;
  IInterface* Items(Integer Index) const { return Get(Index); }
  void Put(Integer Index, IInterface* Item);
  void Lock() { lock_.lock(); }
  void Unlock() { lock_.unlock(); }

 private:
  void CheckIndex(Integer Index) const;

  mutable std::recursive_mutex lock_;
  std::vector<IInterface*> items_;
};
