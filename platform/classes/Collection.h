// Collections: owned lists of items of one class, streamed as "< item ... end >" in form resources.
#pragma once

#include <vector>

#include "platform/classes/Persistent.h"
#include "platform/classes/TypInfo.h"

class TCollection;

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

class TCollectionItem : public TPersistent {
  K58_CLASS(TCollectionItem, TPersistent)

  // Joins Collection (when not nil) as its last item.
  explicit TCollectionItem(TCollection* Collection);
  // Leaves its collection.
  ~TCollectionItem() override;

  TCollection* Collection() const { return collection_; }
  // Moves the item to another collection (nil: none).
  virtual void SetCollection(TCollection* Value);
  Integer ID() const { return id_; }
  Integer Index() const;
  virtual void SetIndex(Integer Value);
  // The name shown for the item; the class name by default.
  virtual String GetDisplayName();
  virtual void SetDisplayName(const String& Value);
  // "<collection path>[index]".
  String GetNamePath() override;

 protected:
  TPersistent* GetOwner() override;
  // Tells the collection that this item (or, with AllItems, every item) changed.
  void Changed(bool AllItems);

 private:
  friend class TCollection;
  TCollection* collection_ = nullptr;
  Integer id_ = 0;
};

class TCollection : public TPersistent {
  K58_CLASS(TCollection, TPersistent)

  // Items are made of ItemClass (a TCollectionItem class with a (TCollection*) constructor).
  explicit TCollection(TClass ItemClass);
  ~TCollection() override;

  TCollectionItem* Add();
  TCollectionItem* Insert(Integer Index);
  void Delete(Integer Index);
  void Clear();
  Integer Count() const { return static_cast<Integer>(items_.size()); }
  // Outside 0..Count-1 raises EListError "List index out of bounds (%d)".
  TCollectionItem* GetItem(Integer Index) const;
  TCollectionItem* Items(Integer Index) const { return GetItem(Index); }
  // Assigns Value to the item at Index.
  void SetItem(Integer Index, TCollectionItem* Value);
  TCollectionItem* FindItemID(Integer ID) const;
  TClass ItemClass() const { return itemClass_; }

  // Changes between BeginUpdate and the last EndUpdate are reported once, by EndUpdate.
  virtual void BeginUpdate();
  virtual void EndUpdate();
  Integer UpdateCount() const { return updateCount_; }

  // Copies the items of another collection (items assigned one by one).
  void Assign(TPersistent* Source) override;
  // "<owner path>.<property name>" when the owner publishes this collection, else the class name.
  String GetNamePath() override;

 protected:
  // Called when Item changed, or all items (Item nil) changed; not while updating.
  virtual void Update(TCollectionItem* Item);
  virtual void Notify(TCollectionItem* Item, TCollectionNotification Action);
  virtual void SetItemName(TCollectionItem* Item);
  void Changed();

 private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* Item);
  void RemoveItem(TCollectionItem* Item);

  TClass itemClass_;
  std::vector<TCollectionItem*> items_;
  Integer updateCount_ = 0;
  Integer nextId_ = 0;
};

// A collection with an owner, which names it in paths and designers.
class TOwnedCollection : public TCollection {
  K58_CLASS(TOwnedCollection, TCollection)

  TOwnedCollection(TPersistent* AOwner, TClass ItemClass) : TCollection(ItemClass), owner_(AOwner) {}

 protected:
  TPersistent* GetOwner() override { return owner_; }

 private:
  TPersistent* owner_;
};
