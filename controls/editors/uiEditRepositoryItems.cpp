// The repository items of the editor kinds and the default-item registry.
#include "controls/editors/uiEditRepositoryItems.h"

#include <compare>

#include "platform/classes/ClassBuilder.h"

// Each item class publishes its Properties.
#define K58_IMPLEMENT_EDIT_REPOSITORY_ITEM(NAME) \
  K58_IMPLEMENT_CLASS(NAME) {                    \
    using S = NAME;                              \
    b.Prop("Properties", &S::Properties, &S::SetProperties); \
  }

K58_IMPLEMENT_EDIT_REPOSITORY_ITEM(TuiEditRepositoryTextItem)
K58_IMPLEMENT_EDIT_REPOSITORY_ITEM(TuiEditRepositoryButtonItem)
K58_IMPLEMENT_EDIT_REPOSITORY_ITEM(TuiEditRepositoryImageItem)
K58_IMPLEMENT_EDIT_REPOSITORY_ITEM(TuiEditRepositoryComboBoxItem)
K58_IMPLEMENT_EDIT_REPOSITORY_ITEM(TuiEditRepositoryMaskItem)
K58_IMPLEMENT_EDIT_REPOSITORY_ITEM(TuiEditRepositoryPopupItem)
K58_IMPLEMENT_EDIT_REPOSITORY_ITEM(TuiEditRepositoryCalcItem)
K58_IMPLEMENT_EDIT_REPOSITORY_ITEM(TuiEditRepositoryDateItem)
K58_IMPLEMENT_EDIT_REPOSITORY_ITEM(TuiEditRepositoryCurrencyItem)
K58_IMPLEMENT_EDIT_REPOSITORY_ITEM(TuiEditRepositorySpinItem)
K58_IMPLEMENT_EDIT_REPOSITORY_ITEM(TuiEditRepositoryMemoItem)
K58_IMPLEMENT_EDIT_REPOSITORY_ITEM(TuiEditRepositoryImageComboBoxItem)
K58_IMPLEMENT_EDIT_REPOSITORY_ITEM(TuiEditRepositoryBlobItem)
K58_IMPLEMENT_EDIT_REPOSITORY_ITEM(TuiEditRepositoryCheckBoxItem)
K58_IMPLEMENT_EDIT_REPOSITORY_ITEM(TuiEditRepositoryTimeItem)
K58_IMPLEMENT_EDIT_REPOSITORY_ITEM(TuiEditRepositoryMRUItem)
K58_IMPLEMENT_EDIT_REPOSITORY_ITEM(TuiEditRepositoryHyperLinkItem)
K58_IMPLEMENT_EDIT_REPOSITORY_ITEM(TuiEditRepositoryRadioGroupItem)

void TuiEditRepositoryImageComboBoxItem::Notification(TComponent* AComponent, TOperation Operation) {
  TuiEditRepositoryItem::Notification(AComponent, Operation);
  if (Operation != opRemove || ComponentState().Contains(csDestroying) || AComponent == nullptr) return;
  TuiImageComboBoxProperties* properties = Properties();
  if (AComponent == properties->Images()) properties->SetImages(nullptr);
  if (AComponent == properties->LargeImages()) properties->SetLargeImages(nullptr);
}

K58_IMPLEMENT_CLASS(TuiEditRegisteredRepositoryItems) {}

TuiEditRegisteredRepositoryItems::~TuiEditRegisteredRepositoryItems() {
  destroying_ = true;
  UnregisterAll();
}

bool TuiEditRegisteredRepositoryItems::FindRegistration(const TuiEditRegisteredRepositoryItemsDataArray& ARegistrations,
                                                        TuiEditRegistrationKey AKey, Integer AVersion,
                                                        Integer& AIndex) {
  // A three-way comparison: keys may be pointer identities, whose difference overflows.
  Integer lo = 0, hi = static_cast<Integer>(ARegistrations.size()) - 1;
  AIndex = 0;
  while (lo <= hi) {
    const Integer mid = (lo + hi) / 2;
    const TuiEditRegisteredRepositoryItemsData& r = ARegistrations[static_cast<size_t>(mid)];
    std::strong_ordering d = AKey <=> r.Key;
    if (d == 0 && AVersion != AnyRegistrationVersion) d = AVersion <=> r.Version;
    if (d == 0) {
      AIndex = mid;
      return true;
    }
    // Descending order: a smaller pair lies further on.
    if (d < 0)
      lo = mid + 1;
    else
      hi = mid - 1;
  }
  AIndex = lo;
  return false;
}

Integer TuiEditRegisteredRepositoryItems::InsertRegistration(TuiEditRegisteredRepositoryItemsDataArray& ARegistrations,
                                                             TuiEditRegistrationKey AKey, Integer AVersion,
                                                             TuiEditRepositoryItem* AItem) {
  Integer index = 0;
  if (FindRegistration(ARegistrations, AKey, AVersion, index)) return index;
  ARegistrations.insert(ARegistrations.begin() + index, TuiEditRegisteredRepositoryItemsData{AKey, AVersion, AItem});
  if (AItem != nullptr && recordCounts_[AItem]++ == 0) AItem->AddListener(this);
  Changed();
  return index;
}

void TuiEditRegisteredRepositoryItems::DeleteRegistration(TuiEditRegisteredRepositoryItemsDataArray& ARegistrations,
                                                          Integer AIndex) {
  if (AIndex < 0 || AIndex >= static_cast<Integer>(ARegistrations.size())) return;
  TuiEditRepositoryItem* item = ARegistrations[static_cast<size_t>(AIndex)].Item;
  // Listening goes on while another record holds the item, so that its end still reaches them all.
  if (item != nullptr) {
    auto it = recordCounts_.find(item);
    if (it != recordCounts_.end() && --it->second == 0) {
      recordCounts_.erase(it);
      item->RemoveListener(this);
    }
  }
  ARegistrations.erase(ARegistrations.begin() + AIndex);
  Changed();
}

void TuiEditRegisteredRepositoryItems::ItemRemoved(TuiEditRepositoryItem* Item) {
  for (auto* registrations : {&defaultItems_, &items_})
    for (Integer i = static_cast<Integer>(registrations->size()) - 1; i >= 0; --i)
      if ((*registrations)[static_cast<size_t>(i)].Item == Item) DeleteRegistration(*registrations, i);
}

void TuiEditRegisteredRepositoryItems::ItemPropertiesChanged(TuiEditRepositoryItem*) { Changed(); }

TuiEditRepositoryItem* TuiEditRegisteredRepositoryItems::GetDefaultItem() {
  return defaultItems_.empty() ? nullptr : defaultItems_.front().Item;
}

TuiEditRepositoryItem* TuiEditRegisteredRepositoryItems::GetItem(TuiEditRegistrationKey AKey) {
  Integer index = 0;
  if (AKey != 0 && FindRegistration(items_, AKey, AnyRegistrationVersion, index))
    return items_[static_cast<size_t>(index)].Item;
  return GetDefaultItem();
}

void TuiEditRegisteredRepositoryItems::RegisterDefaultItem(Integer AVersion, TuiEditRepositoryItem* AItem) {
  InsertRegistration(defaultItems_, 0, AVersion, AItem);
}

Integer TuiEditRegisteredRepositoryItems::RegisterItem(TuiEditRegistrationKey AKey, Integer AVersion,
                                                      TuiEditRepositoryItem* AItem) {
  return InsertRegistration(items_, AKey, AVersion, AItem);
}

void TuiEditRegisteredRepositoryItems::UnregisterDefaultItem(Integer AVersion) {
  Integer index = 0;
  if (FindRegistration(defaultItems_, 0, AVersion, index)) DeleteRegistration(defaultItems_, index);
}

void TuiEditRegisteredRepositoryItems::UnregisterItem(TuiEditRegistrationKey AKey, Integer AVersion) {
  Integer index = 0;
  if (FindRegistration(items_, AKey, AVersion, index)) DeleteRegistration(items_, index);
}

void TuiEditRegisteredRepositoryItems::UnregisterAll() {
  while (!defaultItems_.empty()) DeleteRegistration(defaultItems_, static_cast<Integer>(defaultItems_.size()) - 1);
  while (!items_.empty()) DeleteRegistration(items_, static_cast<Integer>(items_.size()) - 1);
}
