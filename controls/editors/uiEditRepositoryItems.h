// The repository items of the editor kinds, each holding a Properties object of its kind, and the
// default-item registry that maps a key to the repository item
// whose Properties describe the editor for that kind of value.
//
// Threads: GUI thread only.
// Ownership: an item owns its Properties object; the registry owns no item: it listens to each item it
// holds and drops the item's registrations when the item is freed; freeing the registry unsubscribes it
// from every item.
// Re-entrancy: Changed runs inside every registration change and may not change the registry.
#pragma once

#include <map>
#include <vector>

#include "controls/editors/uiBlobEdit.h"
#include "controls/editors/uiButtonEdit.h"
#include "controls/editors/uiCalcEdit.h"
#include "controls/editors/uiCheckBox.h"
#include "controls/editors/uiComboBox.h"
#include "controls/editors/uiCurrencyEdit.h"
#include "controls/editors/uiDateEdit.h"
#include "controls/editors/uiEdit.h"
#include "controls/editors/uiHyperLink.h"
#include "controls/editors/uiImage.h"
#include "controls/editors/uiImageComboBox.h"
#include "controls/editors/uiMRUEdit.h"
#include "controls/editors/uiMaskEditProperties.h"
#include "controls/editors/uiMemo.h"
#include "controls/editors/uiPopupEdit.h"
#include "controls/editors/uiRadioGroup.h"
#include "controls/editors/uiSpinEdit.h"
#include "controls/editors/uiTextEditProperties.h"
#include "controls/editors/uiTimeEdit.h"

// An item class whose Properties are of class PROPS: reading checks the class, writing copies the value.
#define K58_EDIT_REPOSITORY_ITEM(NAME, PROPS)                                                                   \
  class NAME : public TuiEditRepositoryItem {                                                                   \
    K58_CLASS(NAME, TuiEditRepositoryItem)                                                                      \
    explicit NAME(TComponent* AOwner) : TuiEditRepositoryItem(AOwner) { RecreateProperties(); }                 \
    TClass GetPropertiesClass() const override { return PROPS::StaticClass(); }                                 \
    PROPS* Properties() const { return ObjectAs<PROPS>(TuiEditRepositoryItem::Properties()); }                  \
    void SetProperties(PROPS* Value) { TuiEditRepositoryItem::SetProperties(Value); }                            \
  };

K58_EDIT_REPOSITORY_ITEM(TuiEditRepositoryTextItem, TuiTextEditProperties)
K58_EDIT_REPOSITORY_ITEM(TuiEditRepositoryButtonItem, TuiButtonEditProperties)
K58_EDIT_REPOSITORY_ITEM(TuiEditRepositoryImageItem, TuiImageProperties)
K58_EDIT_REPOSITORY_ITEM(TuiEditRepositoryComboBoxItem, TuiComboBoxProperties)
K58_EDIT_REPOSITORY_ITEM(TuiEditRepositoryMaskItem, TuiMaskEditProperties)
K58_EDIT_REPOSITORY_ITEM(TuiEditRepositoryPopupItem, TuiPopupEditProperties)
K58_EDIT_REPOSITORY_ITEM(TuiEditRepositoryCalcItem, TuiCalcEditProperties)
K58_EDIT_REPOSITORY_ITEM(TuiEditRepositoryDateItem, TuiDateEditProperties)
K58_EDIT_REPOSITORY_ITEM(TuiEditRepositoryCurrencyItem, TuiCurrencyEditProperties)
K58_EDIT_REPOSITORY_ITEM(TuiEditRepositorySpinItem, TuiSpinEditProperties)
K58_EDIT_REPOSITORY_ITEM(TuiEditRepositoryMemoItem, TuiMemoProperties)

// Its Properties refer to image lists that may go before the item.
class TuiEditRepositoryImageComboBoxItem : public TuiEditRepositoryItem {
  K58_CLASS(TuiEditRepositoryImageComboBoxItem, TuiEditRepositoryItem)
  explicit TuiEditRepositoryImageComboBoxItem(TComponent* AOwner) : TuiEditRepositoryItem(AOwner) {
    RecreateProperties();
  }
  TClass GetPropertiesClass() const override { return TuiImageComboBoxProperties::StaticClass(); }
  TuiImageComboBoxProperties* Properties() const {
    return ObjectAs<TuiImageComboBoxProperties>(TuiEditRepositoryItem::Properties());
  }
  void SetProperties(TuiImageComboBoxProperties* Value) { TuiEditRepositoryItem::SetProperties(Value); }

 protected:
  // A removed Images or LargeImages list is dropped from the Properties.
  void Notification(TComponent* AComponent, TOperation Operation) override;
};
K58_EDIT_REPOSITORY_ITEM(TuiEditRepositoryBlobItem, TuiBlobEditProperties)
K58_EDIT_REPOSITORY_ITEM(TuiEditRepositoryCheckBoxItem, TuiCheckBoxProperties)
K58_EDIT_REPOSITORY_ITEM(TuiEditRepositoryTimeItem, TuiTimeEditProperties)
K58_EDIT_REPOSITORY_ITEM(TuiEditRepositoryMRUItem, TuiMRUEditProperties)
K58_EDIT_REPOSITORY_ITEM(TuiEditRepositoryHyperLinkItem, TuiHyperLinkEditProperties)
K58_EDIT_REPOSITORY_ITEM(TuiEditRepositoryRadioGroupItem, TuiRadioGroupProperties)

// The key of a registration: wide enough for a class reference's identity.
using TuiEditRegistrationKey = intptr_t;
// In a search, a version that matches any version.
inline constexpr Integer AnyRegistrationVersion = 2147483647;

struct TuiEditRegisteredRepositoryItemsData {
  TuiEditRegistrationKey Key = 0;
  Integer Version = 0;
  TuiEditRepositoryItem* Item = nullptr;
};
// Kept sorted by Key and then Version, both descending; a (Key, Version) pair occurs once.
using TuiEditRegisteredRepositoryItemsDataArray = std::vector<TuiEditRegisteredRepositoryItemsData>;

class TuiEditRegisteredRepositoryItems : public TuiInterfacedPersistent, public IuiEditRepositoryItemListener {
  K58_CLASS(TuiEditRegisteredRepositoryItems, TuiInterfacedPersistent)

  explicit TuiEditRegisteredRepositoryItems(TPersistent* AOwner = nullptr) : TuiInterfacedPersistent(AOwner) {}
  ~TuiEditRegisteredRepositoryItems() override;

  // ---- Listener entries: an item freed drops all its registrations; a Properties change calls Changed ----
  void ItemRemoved(TuiEditRepositoryItem* Item) override;
  void ItemPropertiesChanged(TuiEditRepositoryItem* Item) override;

  // A new (Key, Version) record of Item at its sorted place, subscribed and announced; a pair registered
  // already keeps its item and answers its index.
  virtual Integer InsertRegistration(TuiEditRegisteredRepositoryItemsDataArray& ARegistrations,
                                     TuiEditRegistrationKey AKey, Integer AVersion, TuiEditRepositoryItem* AItem);
  // Runs once per inserted or deleted record and per Properties change; nothing here.
  virtual void Changed() {}
  // The default registration with the highest version; nil without one.
  virtual TuiEditRepositoryItem* GetDefaultItem();
  // The item of AKey under any version, else GetDefaultItem; key 0 always asks for the default.
  virtual TuiEditRepositoryItem* GetItem(TuiEditRegistrationKey AKey);
  virtual void RegisterDefaultItem(Integer AVersion, TuiEditRepositoryItem* AItem);
  virtual Integer RegisterItem(TuiEditRegistrationKey AKey, Integer AVersion, TuiEditRepositoryItem* AItem);
  // Nothing when the pair is not registered.
  virtual void UnregisterDefaultItem(Integer AVersion);
  virtual void UnregisterItem(TuiEditRegistrationKey AKey, Integer AVersion);

  // Binary search; AIndex is the record's place, or where the pair belongs when it is not found.
  // AnyRegistrationVersion compares keys only.
  static bool FindRegistration(const TuiEditRegisteredRepositoryItemsDataArray& ARegistrations,
                               TuiEditRegistrationKey AKey, Integer AVersion, Integer& AIndex);
  // Removes the record; the registry stops listening to its item when this was the item's last record.
  void DeleteRegistration(TuiEditRegisteredRepositoryItemsDataArray& ARegistrations, Integer AIndex);
  // The default registrations, then the keyed ones, each from its last record.
  void UnregisterAll();
  Integer ItemCount() const { return static_cast<Integer>(items_.size()); }
  Integer DefaultItemCount() const { return static_cast<Integer>(defaultItems_.size()); }
  const TuiEditRegisteredRepositoryItemsDataArray& Items() const { return items_; }
  const TuiEditRegisteredRepositoryItemsDataArray& DefaultItems() const { return defaultItems_; }
  bool Destroying() const { return destroying_; }

 protected:
  bool destroying_ = false;

 private:
  TuiEditRegisteredRepositoryItemsDataArray defaultItems_;
  TuiEditRegisteredRepositoryItemsDataArray items_;
  // Records per item across every array this registry manages: the item is listened to while it has one.
  std::map<TuiEditRepositoryItem*, Integer> recordCounts_;
};
