// The lookup data of text editors (the current key among the lookup items, prefix search while typing,
// navigation by keys and wheel, the list shown in a popup) and the list box of that popup, whose rows hold
// no text of their own.
//
// Threads: GUI thread only.
// Ownership: a text editor owns its lookup data; the list box is created on the first Initialize and owned
// by the component given there (the popup window).
// Keys: in this base class a key is an item index, -1 for none. The current key is the editor's value; the
// item index is the list's selection, which may run ahead of it while the list is open.
#pragma once

#include "controls/editors/uiTextEditProperties.h"
#include "controls/foundation/uiInnerListBox.h"

class TuiCustomEditListBox;
class TuiCustomTextEditLookupData;

// Lookup navigation directions (Navigate).
enum TuiLookupDataGoDirection : Byte { ldFirst, ldLast, ldNext, ldPrevious, ldPageUp, ldPageDown };

// What the lookup data needs of the text editor that owns it, beyond the editor base.
class IuiTextEditLookupDataOwner {
 public:
  // The text the editor shows now.
  virtual String GetLookupOwnerText() = 0;
  // True while the editor's OnEditing handler runs.
  virtual bool IsLookupOwnerEditingEventRunning() = 0;
  // The editor's key-from-lookup flag: set while the lookup data moves the editor's value.
  virtual void SetLookupOwnerKeyFromLookup(bool Value) = 0;

 protected:
  ~IuiTextEditLookupDataOwner() = default;
};

// The lookup-data interface a text editor talks to.
class IuiTextEditLookupData {
 public:
  virtual bool CanResizeVisualArea(TSize& ANewSize, Integer AMaxHeight, Integer AMaxWidth) = 0;
  virtual void SyncListToCurrentKey() = 0;
  virtual TuiCustomTextEditLookupData* GetInstance() = 0;
  virtual void ClosePopupHook() = 0;
  virtual void DropDownHook() = 0;
  virtual bool IsKnownText(const String& AText) = 0;
  virtual TWinControl* GetActiveControl() = 0;
  virtual Variant GetCurrentKey() = 0;
  virtual void GetDisplayText(const Variant& AKey, String& AText) = 0;
  virtual const TNotifyEvent& GetOnCurrentKeyChanged() = 0;
  virtual const TNotifyEvent& GetOnSelectItem() = 0;
  virtual TSize GetVisualAreaPreferredSize(Integer AMaxHeight, Integer AWidth) = 0;
  virtual void Navigate(TuiLookupDataGoDirection ADirection, bool ACircular) = 0;
  virtual void Initialize(TWinControl* AVisualControlsParent) = 0;
  virtual bool IsEmpty() = 0;
  virtual bool IsMouseOverList(const TPoint& P) = 0;
  virtual bool Locate(String& AText, String& ATail, bool ANext) = 0;
  virtual void PositionVisualArea(const TRect& ARect) = 0;
  virtual void PropertiesChanged() = 0;
  virtual void SelectItem() = 0;
  virtual void SetCurrentKey(const Variant& AKey) = 0;
  virtual void SetOnCurrentKeyChanged(const TNotifyEvent& Value) = 0;
  virtual void SetOnSelectItem(const TNotifyEvent& Value) = 0;
  virtual void TextChanged() = 0;

 protected:
  ~IuiTextEditLookupData() = default;
};

class TuiCustomTextEditLookupData : public TuiInterfacedPersistent, public IuiTextEditLookupData {
  K58_CLASS(TuiCustomTextEditLookupData, TuiInterfacedPersistent)

  TuiCustomTextEditLookupData();
  ~TuiCustomTextEditLookupData() override;
  // An object of AClass (a descendant of this class) owned by the editor AOwner.
  static TuiCustomTextEditLookupData* CreateOfClass(TClass AClass, TuiCustomEdit* AOwner);

  TPersistent* GetOwner() override;
  TuiCustomEdit* GetOwnerEdit() const { return owner_; }
  void SetOwnerEdit(TuiCustomEdit* AOwner) { owner_ = AOwner; }
  // The editor's active properties.
  TuiCustomTextEditProperties* GetEditProperties() const;
  Integer CurrentKey() const { return currentKey_; }
  Integer ItemIndex() const { return itemIndex_; }
  TuiCustomEditListBox* List() const { return list_; }

  // Index of the first item equal to AText ignoring case; -1 when none.
  Integer IndexOf(const String& AText);
  void SetItemIndex(Integer AIndex);
  void SetCurrentKeyInternal(Integer AKey);

  // ---- IuiTextEditLookupData ----
  bool CanResizeVisualArea(TSize& ANewSize, Integer AMaxHeight, Integer AMaxWidth) override;
  void SyncListToCurrentKey() override { SetItemIndex(currentKey_); }
  TuiCustomTextEditLookupData* GetInstance() override { return this; }
  void ClosePopupHook() override {}
  void DropDownHook() override {}
  bool IsKnownText(const String& AText) override { return IndexOf(AText) != -1; }
  TWinControl* GetActiveControl() override;
  Variant GetCurrentKey() override;
  void GetDisplayText(const Variant& AKey, String& AText) override;
  const TNotifyEvent& GetOnCurrentKeyChanged() override { return onCurrentKeyChanged_; }
  const TNotifyEvent& GetOnSelectItem() override { return onSelectItem_; }
  TSize GetVisualAreaPreferredSize(Integer AMaxHeight, Integer AWidth) override;
  void Navigate(TuiLookupDataGoDirection ADirection, bool ACircular) override;
  void Initialize(TWinControl* AVisualControlsParent) override;
  bool IsEmpty() override { return GetItemCount() == 0; }
  bool IsMouseOverList(const TPoint& P) override;
  bool Locate(String& AText, String& ATail, bool ANext) override { return Locate(AText, ATail, ANext, false); }
  void PositionVisualArea(const TRect& ARect) override;
  void PropertiesChanged() override { ItemsChanged(); }
  void SelectItem() override;
  void SetCurrentKey(const Variant& AKey) override;
  void SetOnCurrentKeyChanged(const TNotifyEvent& Value) override { onCurrentKeyChanged_ = Value; }
  void SetOnSelectItem(const TNotifyEvent& Value) override { onSelectItem_ = Value; }
  void TextChanged() override;

  // ---- Operations of descendants ----
  virtual void GetItem(Integer AIndex, String& AText);
  virtual Integer GetItemCount();
  // The class of the popup list; nullptr in this base class, which therefore never makes a list.
  virtual TClass GetListBoxClass() const { return nullptr; }
  // The list's selection changed.
  virtual void ListSelectionChanged(TObject* Sender);
  // Prefix search from the start (or after the item index with ANext); AWholeItem asks for a whole-item
  // match in MRU-list mode. On success AText takes the item's letter case and ATail the rest of the item.
  virtual bool Locate(String& AText, String& ATail, bool ANext, bool AWholeItem);
  virtual void ItemsChanged();
  // The popup of a focus-taking drop-down editor showed while the text matched an item: AText is the
  // display text up to the caret.
  virtual void PopupShownHook(const String& /*AText*/) {}

 private:
  friend class TuiCustomEditListBox;
  void DoSelectItem();
  // The current key becomes AKey; OnSelectItem when the key changed, the editor's text is not the item's,
  // or the item was chosen (AChosen), once in each case.
  void ChangeCurrentKey(Integer AKey, bool AChosen);
  Byte OwnerTextMode() const;
  String OwnerText() const;

  Integer currentKey_ = -1;
  Integer itemIndex_ = -1;
  TuiCustomEditListBox* list_ = nullptr;
  TuiCustomEdit* owner_ = nullptr;
  TNotifyEvent onCurrentKeyChanged_;
  TNotifyEvent onSelectItem_;
};

// The lookup data a text editor's key answers to: the index of the item equal to the edit value's text
// (ignoring case), as an integer; -1 for none, for Null and without lookup data.
Variant EditValueToLookupKey(IuiTextEditLookupData* ALookupData, const Variant& AEditValue);

// ---- Popup list -----------------------------------------------------------------------------------------

class TuiCustomEditListBox : public TuiCustomInnerListBox {
  K58_CLASS(TuiCustomEditListBox, TuiCustomInnerListBox)

  explicit TuiCustomEditListBox(TComponent* AOwner);
  // The lookup data forgets a list its owner frees.
  ~TuiCustomEditListBox() override;

  // The lookup data the rows are drawn from (set by it).
  TuiCustomTextEditLookupData* LookupData() const { return lookupData_; }
  void SetLookupData(TuiCustomTextEditLookupData* Value) { lookupData_ = Value; }
  bool HotTrack() const { return hotTrack_; }
  void SetHotTrack(bool Value) { hotTrack_ = Value; }
  const TNotifyEvent& OnSelectItem() const { return onSelectItem_; }
  void SetOnSelectItem(const TNotifyEvent& Value) { onSelectItem_ = Value; }

  // The inherited setter, then OnSelectItem.
  virtual void SetItemIndex(Integer Value);
  bool IsVisible();
  // Adds or deletes placeholder rows until there are ACount.
  void SetItemCount(Integer ACount);
  void RecreateListWindow();

  virtual Integer GetHeightForRows(Integer ARowCount) { return ARowCount * GetItemHeight(-1); }
  // Every row is as high as "Wg" in the list's font.
  virtual Integer GetItemHeight(Integer AIndex);
  virtual Integer GetItemWidth(Integer AIndex);
  virtual bool DrawItemByOwner(Integer, const TRect&, TOwnerDrawState) { return false; }
  virtual void GetItemText(Integer AIndex, String& AText);
  virtual void UpdateItemMetrics() {}
  // The owning editor is in text mode 2 or 3 (the list then draws its selection as focused).
  bool IsOwnerTextModeFixed();

 protected:
  void CreateParams(TCreateParams& Params) override;
  void DrawItem(Integer Index, TRect Rect, TOwnerDrawState State) override;
  void MeasureItem(Integer Index, Integer& Height) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void Click() override;
  bool DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) override;
  void WndProc(TMessage& Message) override;

 private:
  bool hotTrack_ = true;
  TuiCustomTextEditLookupData* lookupData_ = nullptr;
  TNotifyEvent onSelectItem_;
};
