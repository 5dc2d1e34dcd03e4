// Building blocks of the control library: the persistent and component bases that know their owner, an
// owning object list, the class registries, the proportional width distributor, object links that tell
// a control it was destroyed during its own message handling, the free-notification relay, the text hook
// of every library resource text, and the one immutable object of a class whose class-level operations
// are virtual.
#pragma once

#include <memory>
#include <vector>

#include "platform/classes/Classes.h"
#include "platform/classes/StringList.h"

// ---- Class objects ------------------------------------------------------------------------------------
// A class whose class-level operations are virtual (the look-and-feel painters, the value types) is used
// through one immutable instance per class: its class reference is a pointer to that instance, and a call
// made by a base routine reaches the descendant's override. The instance of a class is made on first use
// with the class's default constructor and lives to the end of the program.
//
// The instance of AClass; nil for nil. A class that cannot make instances raises EAbstractError.
const TObject* ClassObjectOf(TClass AClass);
template <class T>
const T* ClassObjectOf() {
  return static_cast<const T*>(ClassObjectOf(T::StaticClass()));
}

// ---- Persistent and component bases -------------------------------------------------------------------

// A persistent object that implements interfaces and answers its owner to the owner query, so name paths
// of nested settings objects (editor properties, look-and-feel objects) resolve through it.
class TuiInterfacedPersistent : public TInterfacedPersistent {
  K58_CLASS(TuiInterfacedPersistent, TInterfacedPersistent)

  explicit TuiInterfacedPersistent(TPersistent* AOwner) : owner_(AOwner) {}

  TPersistent* GetOwner() override { return owner_; }
  TPersistent* Owner() const { return owner_; }

 private:
  TPersistent* owner_;
};

// A component that clears the object links pointing at it when it is destroyed. At design time it lists
// the components it refers to in three unstored published links.
class TuiComponent : public TComponent {
  K58_CLASS(TuiComponent, TComponent)

  explicit TuiComponent(TComponent* AOwner) : TComponent(AOwner) {}
  ~TuiComponent() override;

  void BeforeDestruction() override;

  TComponent* FakeComponentLink1() const { return fakeLinks_[0]; }
  void SetFakeComponentLink1(TComponent*) {}
  TComponent* FakeComponentLink2() const { return fakeLinks_[1]; }
  void SetFakeComponentLink2(TComponent*) {}
  TComponent* FakeComponentLink3() const { return fakeLinks_[2]; }
  void SetFakeComponentLink3(TComponent*) {}

 protected:
  void Loaded() override;
  // Adds the components this one refers to; nothing in the base.
  virtual void ListLinkedComponents(TList* AList);

 private:
  TComponent* fakeLinks_[3] = {nullptr, nullptr, nullptr};
};

// A list that owns its items: Clear (and the destructor) frees them first to last.
class TuiObjectList : public TList {
  K58_CLASS(TuiObjectList, TList)

  TuiObjectList() = default;
  ~TuiObjectList() override;

  void Clear() override;
  TObject* GetItem(Integer Index) const { return static_cast<TObject*>(Get(Index)); }
};

// ---- Class registries ---------------------------------------------------------------------------------

// One pair of a class map: an item class and the class registered for it.
class TuiRegisteredClassListItemData : public TObject {
  K58_CLASS(TuiRegisteredClassListItemData, TObject)

  TuiRegisteredClassListItemData() = default;
  TuiRegisteredClassListItemData(TClass AItemClass, TClass ARegisteredClass)
      : ItemClass(AItemClass), RegisteredClass(ARegisteredClass) {}

  TClass ItemClass = nullptr;
  TClass RegisteredClass = nullptr;
};

// Maps item classes to registered classes along the inheritance tree: the pairs are kept so that every
// class comes after its registered ancestors, and the class registered for the nearest ancestor is found
// by scanning backwards.
class TuiRegisteredClassList : public TObject {
  K58_CLASS(TuiRegisteredClassList, TObject)

  TuiRegisteredClassList() = default;
  ~TuiRegisteredClassList() override;

  // Scans from the last pair to the first: True with the first pair whose item class is AClass or an
  // ancestor of it. A pair whose item class descends from AClass sets Index on the way, so with False
  // Index is the lowest such pair, or untouched when there was none.
  virtual bool FindNearestIndex(TClass AClass, Integer& Index) const;
  // Adds the pair right after the nearest registered ancestor's, else before the first registered
  // descendant's, else at the end.
  virtual void Register(TClass AItemClass, TClass ARegisteredClass);
  // Frees every pair equal to both classes, scanning from the last to the first.
  virtual void Unregister(TClass AItemClass, TClass ARegisteredClass);

  // The class registered for the nearest ancestor of AItemClass (or AItemClass itself), nil when none.
  TClass FindClass(TClass AItemClass) const;
  // Raises EListError for an index out of range.
  TuiRegisteredClassListItemData* GetItem(Integer Index) const;
  Integer Count() const { return items_.Count(); }
  void Clear();

 private:
  TList items_;
};

class TuiRegisteredClasses;

// The description list of a registry: each string a description, each object a registered class.
class TuiRegisteredClassesStringList : public TStringList {
  K58_CLASS(TuiRegisteredClassesStringList, TStringList)

  explicit TuiRegisteredClassesStringList(TuiRegisteredClasses* ARegisteredClasses)
      : registeredClasses_(ARegisteredClasses) {}

  TuiRegisteredClasses* RegisteredClasses() const { return registeredClasses_; }
  TClass ClassOf(Integer Index) const;
  Integer AddClass(const String& ADescription, TClass AClass);
  Integer IndexOfClass(TClass AClass) const;

 private:
  TuiRegisteredClasses* registeredClasses_;
};

// Classes with descriptions "Caption|Hint" (the first description registered for a class wins),
// optionally sorted by caption and optionally registered with the class registry for streaming.
class TuiRegisteredClasses : public TObject {
  K58_CLASS(TuiRegisteredClasses, TObject)

  explicit TuiRegisteredClasses(bool ARegisterClasses = false);
  ~TuiRegisteredClasses() override;

  void Register(TClass AClass, const String& ADescription);
  void Unregister(TClass AClass);
  Integer IndexOfClass(TClass AClass) const { return items_->IndexOfClass(AClass); }
  Integer Count() const { return items_->Count(); }
  // The caption part of entry Index's description; EStringListError out of range.
  String GetDescription(Integer Index) const;
  // The class of entry Index; EStringListError out of range.
  TClass GetItem(Integer Index) const;
  // The whole description of entry Index (caption and hint).
  String GetHintText(Integer Index) const;
  bool Sorted() const { return sorted_; }
  void SetSorted(bool Value);
  bool RegisterClasses() const { return registerClasses_; }
  void Clear();

  // Locale-aware, case-insensitive comparison of the captions of two entries.
  virtual Integer CompareItems(Integer Index1, Integer Index2) const;
  virtual void Sort();

 private:
  std::unique_ptr<TuiRegisteredClassesStringList> items_;
  bool registerClasses_;
  bool sorted_ = false;
};

// The text before the first "|", or AText when it has none.
String ExtractDescriptionCaption(const String& AText);

// ---- Proportional widths ------------------------------------------------------------------------------

// One item of a width distribution: the caller sets MinWidth, Width and Fixed; Calculate fills AutoWidth.
class TuiAutoWidthItem : public TObject {
  K58_CLASS(TuiAutoWidthItem, TObject)

  Integer MinWidth = 0;
  Integer Width = 0;
  bool Fixed = false;
  Integer AutoWidth = -1;  // -1 until computed
};

// Shares an available width among items in proportion to their requested widths: fixed items keep
// theirs, no free item gets less than its minimum. Calculate is meant to run once per object.
class TuiAutoWidthObject : public TObject {
  K58_CLASS(TuiAutoWidthObject, TObject)

  explicit TuiAutoWidthObject(Integer ACount = 0);
  ~TuiAutoWidthObject() override;

  TuiAutoWidthItem* AppendItem();
  // Raises EListError for an index out of range.
  TuiAutoWidthItem* GetWidthItem(Integer Index) const;
  Integer ItemCount() const { return items_.Count(); }
  // The sum of the requested widths of all items.
  Integer GetTotalWidth() const;
  void Calculate();

  Integer AvailableWidth() const { return availableWidth_; }
  void SetAvailableWidth(Integer Value) { availableWidth_ = Value; }

 private:
  Integer availableWidth_ = 0;
  TList items_;
};

// ---- Object links -------------------------------------------------------------------------------------

// A reference that is set to nil when its object is destroyed (by ClearObjectLinks). A control takes one
// on itself around its message handling and tests it afterwards: nil means it was destroyed meanwhile.
class TuiObjectLink : public TObject {
  K58_CLASS(TuiObjectLink, TObject)

  explicit TuiObjectLink(TObject* AObject = nullptr) : Ref(AObject) {}

  TObject* Ref;
};

// The live links; it exists from the first AddObjectLink to the RemoveObjectLink that ends the last use.
class TuiObjectLinkController : public TObject {
  K58_CLASS(TuiObjectLinkController, TObject)

  TuiObjectLinkController() = default;

  TuiObjectLink* AddLink(TObject* AObject);
  void RemoveLink(TuiObjectLink* ALink);
  void ClearLinks(TObject* AObject);
  Integer LinkCount() const { return links_.Count(); }

 private:
  TList links_;
};

// A new link to AObject, owned by the caller and given back with RemoveObjectLink.
TuiObjectLink* AddObjectLink(TObject* AObject);
// Frees ALink (nil is ignored).
void RemoveObjectLink(TuiObjectLink* ALink);
// Sets every link to AObject to nil and drops it from the live links (the holders still free them).
void ClearObjectLinks(TObject* AObject);

// ---- Free notification relay --------------------------------------------------------------------------

using TuiComponentFreedEvent = Delegate<void(TObject* Sender, TComponent* AComponent)>;

// Watches components and reports each one that is freed through OnComponentFreed.
class TuiFreeNotificator : public TComponent {
  K58_CLASS(TuiFreeNotificator, TComponent)

  explicit TuiFreeNotificator(TComponent* AOwner = nullptr) : TComponent(AOwner) {}

  // Nothing for nil.
  void AddSender(TComponent* AComponent);
  void RemoveSender(TComponent* AComponent);

  const TuiComponentFreedEvent& OnComponentFreed() const { return onComponentFreed_; }
  void SetOnComponentFreed(const TuiComponentFreedEvent& Value) { onComponentFreed_ = Value; }

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  TuiComponentFreedEvent onComponentFreed_;
};

// ---- Small routines -----------------------------------------------------------------------------------

TPersistent* GetPersistentOwner(TPersistent* APersistent);
TPoint MakePoint(Integer X, Integer Y);
// floor((A + B) / 2), also for negative sums.
Integer GetRangeCenter(Integer A, Integer B);

// Every library resource text passes here before it is shown: the text itself, or its translation when a
// translation pair is installed and lists it.
String LocalizeText(const String& AText);
// Installs the pair of source and translated texts (taken over; nil, nil removes it).
void SetLocalizeTextLists(TStrings* ASource, TStrings* ATranslated);

namespace k58::foundation {
// Unit start and end of the class registration and utilities.
void StartClassesUnit();
void StopClassesUnit();
}  // namespace k58::foundation
