// The radio group: a button group of radio buttons whose edit value is the value of the checked item.
//
// Threads: GUI thread only.
// Ownership: the group's item buttons are its components and children; each refers back to the group.
// Coordinates: client coordinates of the group.
// Re-entrancy: a button's check change stores the group's value, which fires the group's events; the
// group keeps its change events locked while a button's focus entry checks it.
#pragma once

#include "controls/editors/uiGroupBox.h"
#include "controls/editors/uiRadioButton.h"

class TuiRadioGroupItem : public TuiButtonGroupItem {
  K58_CLASS(TuiRadioGroupItem, TuiButtonGroupItem)

  explicit TuiRadioGroupItem(TCollection* ACollection) : TuiButtonGroupItem(ACollection) {
    NotifyAddedWhenComplete(StaticClass());
  }
  void Assign(TPersistent* Source) override;

  const Variant& Value() const { return value_; }
  void SetValue(Variant AValue);
  bool IsValueStored() const { return !VarIsNull(value_); }

 private:
  Variant value_ = Null();
};

class TuiRadioGroupItems : public TuiButtonGroupItems {
  K58_CLASS(TuiRadioGroupItems, TuiButtonGroupItems)

  TuiRadioGroupItems(TPersistent* AOwner, TClass AItemClass) : TuiButtonGroupItems(AOwner, AItemClass) {}
  // Outside 0..Count-1 raises the list index error.
  TuiRadioGroupItem* GetItem(Integer Index) const { return static_cast<TuiRadioGroupItem*>(TCollection::GetItem(Index)); }
  TuiRadioGroupItem* Items(Integer Index) const { return GetItem(Index); }
  TuiRadioGroupItem* Add() { return static_cast<TuiRadioGroupItem*>(TCollection::Add()); }
};

class TuiCustomRadioGroupProperties : public TuiCustomButtonGroupProperties {
  K58_CLASS(TuiCustomRadioGroupProperties, TuiCustomButtonGroupProperties)

  TuiCustomRadioGroupProperties();
  void Assign(TPersistent* Source) override;

  TuiRadioGroupItems* Items() const { return static_cast<TuiRadioGroupItems*>(TuiCustomButtonGroupProperties::Items()); }
  void SetItems(TuiRadioGroupItems* Value) { TuiCustomButtonGroupProperties::SetItems(Value); }
  const String& DefaultCaption() const { return defaultCaption_; }
  void SetDefaultCaption(const String& Value) { defaultCaption_ = Value; }
  bool IsDefaultCaptionStored() const;
  const Variant& DefaultValue() const { return defaultValue_; }
  void SetDefaultValue(Variant Value);
  bool IsDefaultValueStored() const { return !VarIsNull(defaultValue_); }

  // The first item whose value (or, without a value, whose caption) matches; -1 when none.
  Integer GetItemIndexByValue(const Variant& AEditValue);
  // The edit value of an item index (-1: the default value).
  Variant GetValueOfIndex(Integer AIndex);

  TuiButtonGroupItems* CreateItems() override;
  Integer GetColumnCount() override;
  TClass GetViewDataClass() const override;
  TClass GetEditClass() const override;
  TClass GetViewInfoClass() const override;
  TuiCustomEditViewData* CreateViewData(TuiEditStyle* AStyle, bool AIsInplace, bool ALockedState) override;
  bool AreChangeEventsSeparate() override { return true; }
  bool IsValueChangeTrackedByStore() override { return true; }
  bool CompareDisplayValues(const Variant& AEditValue1, const Variant& AEditValue2) override;
  WideString GetDisplayText(const Variant& AEditValue, bool AFullText = false) override;
  Word GetEditCapabilities() override { return TuiCustomButtonGroupProperties::GetEditCapabilities() | 0x1010; }
  bool CanRevertValue() override { return true; }
  void PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool AEditFocused) override;

 private:
  String defaultCaption_;
  Variant defaultValue_ = Null();
};

class TuiRadioGroupProperties : public TuiCustomRadioGroupProperties {
  K58_CLASS(TuiRadioGroupProperties, TuiCustomRadioGroupProperties)
  TuiRadioGroupProperties() = default;
};

class TuiCustomRadioGroupViewInfo : public TuiButtonGroupViewInfo {
  K58_CLASS(TuiCustomRadioGroupViewInfo, TuiButtonGroupViewInfo)

  TuiCustomRadioGroupViewInfo();
  void Paint(TuiCanvas* ACanvas) override;
  // Paints one item image and caption without a window.
  void DrawButton(TuiCanvas* ACanvas, Integer AIndex) override;

  Integer CheckedIndex = -1;
  TSize ImageSize{};
};

class TuiCustomRadioGroupViewData : public TuiButtonGroupViewData {
  K58_CLASS(TuiCustomRadioGroupViewData, TuiButtonGroupViewData)

  using TuiButtonGroupViewData::TuiButtonGroupViewData;
  TuiCustomRadioGroupProperties* RadioProperties() const { return static_cast<TuiCustomRadioGroupProperties*>(Properties); }
  void Calculate(TuiCanvas* ACanvas, const TRect& ABounds, const TPoint& P, Byte AButton, TShiftState AShift,
                 TuiCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  void EditValueToDrawValue(TuiCanvas* ACanvas, const Variant& AEditValue, TuiCustomEditViewInfo* AViewInfo) override;
  void GetButtonMetrics(TuiCanvas* ACanvas, TuiButtonGroupButtonMetrics& AMetrics) override;
  void SetupButtonViewInfo(TuiCustomEditViewInfo* AViewInfo, Integer AIndex) override;
};

class TuiCustomRadioGroup;

// An item button: focus, keys and clicks go through its group.
class TuiCustomRadioGroupButton : public TuiRadioButton, public IuiContainerInnerControl {
  K58_CLASS(TuiCustomRadioGroupButton, TuiRadioButton)

  explicit TuiCustomRadioGroupButton(TuiCustomRadioGroup* AGroup);
  ~TuiCustomRadioGroupButton() override;

  TuiCustomRadioGroup* Group() const { return group_; }
  TuiContainer* GetControlContainer() override;

  bool IsNativeBackground() override;
  bool NeedsParentBackground() override;
  bool IsNativeStyle() override;
  bool IsTransparentDrawn() override;
  bool CanFocus() override;
  void Click() override;

 protected:
  bool IsInnerControl() override { return true; }
  void DoEnter() override;
  void DoExit() override;
  void KeyPress(char& Key) override;
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;

 private:
  TuiCustomRadioGroup* group_;
  bool inCommand_ = false;
};

// Gives the focus to the item button of the index in WParam.
inline constexpr UINT UM_RADIOGROUP_FOCUSBUTTON = 0x806A;

class TuiCustomRadioGroup : public TuiCustomButtonGroup {
  K58_CLASS(TuiCustomRadioGroup, TuiCustomButtonGroup)

  explicit TuiCustomRadioGroup(TComponent* AOwner);

  TuiCustomRadioGroupProperties* RadioProperties() const {
    return static_cast<TuiCustomRadioGroupProperties*>(TuiCustomEdit::Properties());
  }
  TuiCustomRadioGroupProperties* ActiveRadioProperties() {
    return static_cast<TuiCustomRadioGroupProperties*>(ActiveProperties());
  }
  TuiCustomRadioGroupButton* RadioButtons(Integer AIndex) const {
    return static_cast<TuiCustomRadioGroupButton*>(Buttons(AIndex));
  }

  Integer ItemIndex();
  void SetItemIndex(Integer Value);
  bool IsItemIndexStored() const { return const_cast<TuiCustomRadioGroup*>(this)->ItemIndex() != -1; }

  void Initialize() override;
  void StoreEditValue(const Variant& AValue, bool AValidateEditValue) override;
  void ClearValue() override { SetItemIndex(-1); }
  TClass GetPropertiesClass() const override;
  void DisplayValueToEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool AEditFocused) override;
  TWinControl* CreateButton() override;
  void UpdateButtonsStyle() override;
  void UpdateButtons() override;
  bool IsButtonCanvasHandle(HDC ADC) override;
  bool HasFocus() override;
  void GetTabOrderList(std::vector<TWinControl*>& List) override;
  bool HandlesTabKey() override { return IsInplace(); }
  void Activate(TuiCustomEditData*& AEditData) override;

 protected:
  friend class TuiCustomRadioGroupButton;
  void Loaded() override;
  void ReadState(TReader* Reader) override;
  void WndProc(TMessage& Message) override;
  // Stores the value of an item index and checks its button.
  void InternalSetItemIndex(Integer AIndex, const Variant& AValue);
  void CheckButton(Integer AIndex);
  void ButtonAdded(TuiCustomRadioGroupButton* AButton) { AddButtonToList(AButton); }
  void ButtonRemoved(TuiCustomRadioGroupButton* AButton) { RemoveButtonFromList(AButton); }

 private:
  Integer loadedItemIndex_ = -1;
};

class TuiRadioGroup : public TuiCustomRadioGroup {
  K58_CLASS(TuiRadioGroup, TuiCustomRadioGroup)

  explicit TuiRadioGroup(TComponent* AOwner) : TuiCustomRadioGroup(AOwner) {}
  TuiRadioGroupProperties* Properties() const { return static_cast<TuiRadioGroupProperties*>(RadioProperties()); }
  void SetProperties(TuiRadioGroupProperties* Value) { TuiCustomEdit::SetProperties(Value); }
  TClass GetPropertiesClass() const override;
};

namespace k58::editors {
void StartRadioGroupUnit();
void StopRadioGroupUnit();
}  // namespace k58::editors
