// Class objects, the persistent and component bases, registries, width distribution, object links, the
// free-notification relay and the text hook.
#include "controls/foundation/uiClasses.h"

#include <map>
#include <mutex>

#include "platform/classes/ClassBuilder.h"
#include "platform/rtl/RtlMath.h"
#include "platform/rtl/Strings.h"

// ---- Class objects ------------------------------------------------------------------------------------

const TObject* ClassObjectOf(TClass AClass) {
  if (AClass == nullptr) return nullptr;
  static std::mutex lock;
  static std::map<TClass, TObjectPtr<TObject>> objects;
  std::lock_guard<std::mutex> guard(lock);
  TObjectPtr<TObject>& slot = objects[AClass];
  if (!slot) slot = AClass->Create();
  return slot.get();
}

// ---- TuiComponent -------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiInterfacedPersistent) {}

K58_IMPLEMENT_CLASS(TuiComponent) {
  b.Prop("FakeComponentLink1", &TuiComponent::FakeComponentLink1, &TuiComponent::SetFakeComponentLink1).Stored(false);
  b.Prop("FakeComponentLink2", &TuiComponent::FakeComponentLink2, &TuiComponent::SetFakeComponentLink2).Stored(false);
  b.Prop("FakeComponentLink3", &TuiComponent::FakeComponentLink3, &TuiComponent::SetFakeComponentLink3).Stored(false);
}

TuiComponent::~TuiComponent() { ClearObjectLinks(this); }

void TuiComponent::BeforeDestruction() {
  if (!ComponentState().Contains(csDestroying)) Destroying();
  TComponent::BeforeDestruction();
}

void TuiComponent::Loaded() {
  TComponent::Loaded();
  const TComponentState state = ComponentState();
  if (!state.Contains(csDesigning) || state.Contains(csDestroying) || Owner() == nullptr) return;
  TList linked;
  ListLinkedComponents(&linked);
  for (Integer i = 0; i < 3; ++i)
    fakeLinks_[i] = i < linked.Count() ? static_cast<TComponent*>(linked.Get(i)) : nullptr;
}

void TuiComponent::ListLinkedComponents(TList*) {}

// ---- TuiObjectList ------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiObjectList) {}

TuiObjectList::~TuiObjectList() { Clear(); }

void TuiObjectList::Clear() {
  for (Integer i = 0; i < Count(); ++i) FreeObject(GetItem(i));
  TList::Clear();
}

// ---- TuiRegisteredClassList ---------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiRegisteredClassListItemData) {}
K58_IMPLEMENT_CLASS(TuiRegisteredClassList) {}

TuiRegisteredClassList::~TuiRegisteredClassList() { Clear(); }

TuiRegisteredClassListItemData* TuiRegisteredClassList::GetItem(Integer Index) const {
  return static_cast<TuiRegisteredClassListItemData*>(items_.Get(Index));
}

void TuiRegisteredClassList::Clear() {
  for (Integer i = 0; i < items_.Count(); ++i) FreeObject(GetItem(i));
  items_.Clear();
}

bool TuiRegisteredClassList::FindNearestIndex(TClass AClass, Integer& Index) const {
  if (AClass == nullptr) return false;
  for (Integer i = Count() - 1; i >= 0; --i) {
    const TClass itemClass = GetItem(i)->ItemClass;
    if (AClass->InheritsFrom(itemClass)) {
      Index = i;
      return true;
    }
    if (itemClass->InheritsFrom(AClass)) Index = i;
  }
  return false;
}

void TuiRegisteredClassList::Register(TClass AItemClass, TClass ARegisteredClass) {
  auto* pair = new TuiRegisteredClassListItemData(AItemClass, ARegisteredClass);
  Integer index = -1;
  if (FindNearestIndex(AItemClass, index))
    items_.Insert(index + 1, pair);
  else if (index == -1)
    items_.Add(pair);
  else
    items_.Insert(index, pair);
}

void TuiRegisteredClassList::Unregister(TClass AItemClass, TClass ARegisteredClass) {
  for (Integer i = Count() - 1; i >= 0; --i) {
    TuiRegisteredClassListItemData* pair = GetItem(i);
    if (pair->ItemClass == AItemClass && pair->RegisteredClass == ARegisteredClass) {
      items_.Delete(i);
      FreeObject(pair);
    }
  }
}

TClass TuiRegisteredClassList::FindClass(TClass AItemClass) const {
  Integer index = -1;
  return FindNearestIndex(AItemClass, index) ? GetItem(index)->RegisteredClass : nullptr;
}

// ---- TuiRegisteredClasses -----------------------------------------------------------------------------

namespace {
// The description list keeps each class in its entry's object slot; the slot is never dereferenced.
TObject* ClassAsObject(TClass AClass) { return reinterpret_cast<TObject*>(const_cast<ClassInfo*>(AClass)); }
TClass ObjectAsClass(TObject* AObject) { return reinterpret_cast<TClass>(AObject); }
}  // namespace

K58_IMPLEMENT_CLASS(TuiRegisteredClassesStringList) {}
K58_IMPLEMENT_CLASS(TuiRegisteredClasses) {}

TClass TuiRegisteredClassesStringList::ClassOf(Integer Index) const { return ObjectAsClass(GetObject(Index)); }

Integer TuiRegisteredClassesStringList::AddClass(const String& ADescription, TClass AClass) {
  return AddObject(ADescription, ClassAsObject(AClass));
}

Integer TuiRegisteredClassesStringList::IndexOfClass(TClass AClass) const {
  return IndexOfObject(ClassAsObject(AClass));
}

TuiRegisteredClasses::TuiRegisteredClasses(bool ARegisterClasses)
    : items_(std::make_unique<TuiRegisteredClassesStringList>(this)), registerClasses_(ARegisterClasses) {}

TuiRegisteredClasses::~TuiRegisteredClasses() { Clear(); }

void TuiRegisteredClasses::Clear() { items_->Clear(); }

void TuiRegisteredClasses::Register(TClass AClass, const String& ADescription) {
  if (IndexOfClass(AClass) != -1) return;
  items_->AddClass(ADescription, AClass);
  if (sorted_) Sort();
  if (registerClasses_) ::RegisterClass(AClass);
}

void TuiRegisteredClasses::Unregister(TClass AClass) {
  const Integer index = IndexOfClass(AClass);
  if (index != -1) items_->Delete(index);
}

String TuiRegisteredClasses::GetDescription(Integer Index) const {
  return ExtractDescriptionCaption(items_->Get(Index));
}

String TuiRegisteredClasses::GetHintText(Integer Index) const { return items_->Get(Index); }

TClass TuiRegisteredClasses::GetItem(Integer Index) const { return items_->ClassOf(Index); }

void TuiRegisteredClasses::SetSorted(bool Value) {
  if (sorted_ == Value) return;
  sorted_ = Value;
  if (sorted_) Sort();
}

Integer TuiRegisteredClasses::CompareItems(Integer Index1, Integer Index2) const {
  return AnsiCompareText(GetDescription(Index1), GetDescription(Index2));
}

void TuiRegisteredClasses::Sort() {
  items_->CustomSort([](TStringList* List, Integer Index1, Integer Index2) {
    return static_cast<TuiRegisteredClassesStringList*>(List)->RegisteredClasses()->CompareItems(Index1, Index2);
  });
}

String ExtractDescriptionCaption(const String& AText) {
  const size_t bar = AText.find('|');
  return bar == String::npos ? AText : AText.substr(0, bar);
}

// ---- TuiAutoWidthObject -------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiAutoWidthItem) {}
K58_IMPLEMENT_CLASS(TuiAutoWidthObject) {}

TuiAutoWidthObject::TuiAutoWidthObject(Integer ACount) { items_.SetCapacity(ACount); }

TuiAutoWidthObject::~TuiAutoWidthObject() {
  for (Integer i = items_.Count() - 1; i >= 0; --i) FreeObject(GetWidthItem(i));
}

TuiAutoWidthItem* TuiAutoWidthObject::AppendItem() {
  auto* item = new TuiAutoWidthItem;
  items_.Add(item);
  return item;
}

TuiAutoWidthItem* TuiAutoWidthObject::GetWidthItem(Integer Index) const {
  return static_cast<TuiAutoWidthItem*>(items_.Get(Index));
}

Integer TuiAutoWidthObject::GetTotalWidth() const {
  Integer total = 0;
  for (Integer i = 0; i < ItemCount(); ++i) total += GetWidthItem(i)->Width;
  return total;
}

void TuiAutoWidthObject::Calculate() {
  Integer availLeft = availableWidth_;
  Integer widthLeft = GetTotalWidth();
  for (Integer i = 0; i < ItemCount(); ++i) {
    TuiAutoWidthItem* item = GetWidthItem(i);
    if (!item->Fixed) continue;
    item->AutoWidth = item->Width;
    availLeft -= item->AutoWidth;
    widthLeft -= item->Width;
  }
  // Shares are taken cumulatively, so the shares of one pass add up to the width available in it. Items
  // whose share falls to their minimum are pinned there and the rest is shared again; a pass that pins
  // nothing is followed by one final pass that assigns the shares.
  bool finalPass = false;
  bool changed;
  do {
    const Integer avail = availLeft;
    const Integer total = widthLeft;
    Integer acc = 0;
    changed = false;
    for (Integer i = 0; i < ItemCount(); ++i) {
      TuiAutoWidthItem* item = GetWidthItem(i);
      if (item->AutoWidth != -1) continue;
      const Integer share = MulDiv(acc + item->Width, avail, total) - MulDiv(acc, avail, total);
      if (finalPass) {
        item->AutoWidth = share;
      } else if (item->MinWidth >= share) {
        item->AutoWidth = item->MinWidth;
        availLeft -= item->AutoWidth;
        widthLeft -= item->Width;
        changed = true;
      }
      acc += item->Width;
    }
    if (!changed) finalPass = !finalPass;
  } while (widthLeft != 0 && (changed || finalPass));
}

// ---- Object links -------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiObjectLink) {}
K58_IMPLEMENT_CLASS(TuiObjectLinkController) {}

namespace {
TuiObjectLinkController* linkController = nullptr;
Integer linkControllerUsers = 0;
}  // namespace

TuiObjectLink* TuiObjectLinkController::AddLink(TObject* AObject) {
  auto* link = new TuiObjectLink(AObject);
  links_.Add(link);
  return link;
}

void TuiObjectLinkController::RemoveLink(TuiObjectLink* ALink) {
  if (ALink->Ref != nullptr) links_.Remove(ALink);
}

void TuiObjectLinkController::ClearLinks(TObject* AObject) {
  for (Integer i = links_.Count() - 1; i >= 0; --i) {
    auto* link = static_cast<TuiObjectLink*>(links_.Get(i));
    if (link->Ref != AObject) continue;
    link->Ref = nullptr;
    links_.Delete(i);
  }
}

TuiObjectLink* AddObjectLink(TObject* AObject) {
  if (linkController == nullptr) linkController = new TuiObjectLinkController;
  ++linkControllerUsers;
  return linkController->AddLink(AObject);
}

void RemoveObjectLink(TuiObjectLink* ALink) {
  if (ALink == nullptr) return;
  if (linkController != nullptr) linkController->RemoveLink(ALink);
  FreeObject(ALink);
  if (--linkControllerUsers == 0) FreeAndNil(linkController);
}

void ClearObjectLinks(TObject* AObject) {
  if (linkController != nullptr) linkController->ClearLinks(AObject);
}

// ---- TuiFreeNotificator -------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiFreeNotificator) {}

void TuiFreeNotificator::AddSender(TComponent* AComponent) {
  if (AComponent != nullptr) AComponent->FreeNotification(this);
}

void TuiFreeNotificator::RemoveSender(TComponent* AComponent) {
  if (AComponent != nullptr) AComponent->RemoveFreeNotification(this);
}

void TuiFreeNotificator::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove) onComponentFreed_(this, AComponent);
}

// ---- Small routines -----------------------------------------------------------------------------------

TPersistent* GetPersistentOwner(TPersistent* APersistent) {
  return APersistent != nullptr ? APersistent->GetOwner() : nullptr;
}

TPoint MakePoint(Integer X, Integer Y) { return TPoint{X, Y}; }

Integer GetRangeCenter(Integer A, Integer B) {
  const Int64 sum = static_cast<Int64>(A) + B;
  return static_cast<Integer>(sum >= 0 ? sum / 2 : -((-sum + 1) / 2));
}

namespace {
TStrings* localizeSource = nullptr;
TStrings* localizeTranslated = nullptr;
}  // namespace

String LocalizeText(const String& AText) {
  if (localizeSource == nullptr || localizeTranslated == nullptr) return AText;
  const Integer index = localizeSource->IndexOf(AText);
  if (index < 0 || index >= localizeTranslated->Count()) return AText;
  return localizeTranslated->Get(index);
}

void SetLocalizeTextLists(TStrings* ASource, TStrings* ATranslated) {
  if (localizeSource != ASource) FreeObject(localizeSource);
  if (localizeTranslated != ATranslated) FreeObject(localizeTranslated);
  localizeSource = ASource;
  localizeTranslated = ATranslated;
}

namespace k58::foundation {

void StartClassesUnit() {}

void StopClassesUnit() { SetLocalizeTextLists(nullptr, nullptr); }

}  // namespace k58::foundation
