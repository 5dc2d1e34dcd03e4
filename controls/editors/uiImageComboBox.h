// The image combo box: a combo box whose items carry a value, a description and an image index. The edit
// value is the chosen item's Value; the editor shows that item's image and (optionally) its description,
// and the drop-down list shows every item with its image, on one or several lines.
//
// Threads: GUI thread only.
// Ownership: the Properties own their items; the image lists belong to their owners and are only
// referenced: a freed list is forgotten through the Properties' free notificator.
#pragma once

#include "controls/editors/uiComboBox.h"
#include "platform/forms/ImgList.h"

class TuiCustomImageComboBoxProperties;

namespace uiimagecomboboxconsts {
inline constexpr const char* scxImageComboBoxDescription =
    "ImageComboBox|Represents an editor displaying the list of images and text strings within the dropdown window";
}

enum TuiImageAlign { iaLeft, iaRight };
K58_ENUM_TYPE(TuiImageAlign, iaLeft, iaRight)

class TuiImageComboBoxItem : public TCollectionItem {
  K58_CLASS(TuiImageComboBoxItem, TCollectionItem)

  // A new item shows the image of its own index while the Properties' Images has that many images.
  explicit TuiImageComboBoxItem(TCollection* ACollection);
  void Assign(TPersistent* Source) override;

  const String& Description() const { return description_; }
  void SetDescription(const String& Value);
  Integer ImageIndex() const { return imageIndex_; }
  void SetImageIndex(Integer Value);
  Integer Tag() const { return tag_; }
  void SetTag(Integer Value) { tag_ = Value; }
  bool IsTagStored() const { return tag_ != 0; }
  const Variant& Value() const { return value_; }
  // A value of another type counts as a change.
  void SetValue(Variant Value);
  bool IsValueStored() const { return !VarIsNull(value_); }

 private:
  String description_;
  Integer imageIndex_ = -1;
  Integer tag_ = 0;
  Variant value_ = Null();
};

class TuiImageComboBoxItems : public TOwnedCollection {
  K58_CLASS(TuiImageComboBoxItems, TOwnedCollection)

  explicit TuiImageComboBoxItems(TuiCustomImageComboBoxProperties* AOwner);
  TuiImageComboBoxItem* Items(Integer Index) const { return static_cast<TuiImageComboBoxItem*>(GetItem(Index)); }
  TuiImageComboBoxItem* Add() { return static_cast<TuiImageComboBoxItem*>(TCollection::Add()); }
  TuiCustomImageComboBoxProperties* Properties() const { return properties_; }
  // A new item is complete: its addition is reported now.
  void ItemConstructed();

 protected:
  // Any change of the items is a change of the Properties (an item joining is reported once complete).
  void Update(TCollectionItem* Item) override;
  void Notify(TCollectionItem* Item, TCollectionNotification Action) override;

 private:
  TuiCustomImageComboBoxProperties* properties_;
  bool adding_ = false;
};

class TuiCustomImageComboBoxProperties : public TuiCustomComboBoxProperties {
  K58_CLASS(TuiCustomImageComboBoxProperties, TuiCustomComboBoxProperties)

  TuiCustomImageComboBoxProperties();
  ~TuiCustomImageComboBoxProperties() override;
  void Assign(TPersistent* Source) override;
  void FreeNotification(TComponent* AComponent) override;

  const String& DefaultDescription() const { return defaultDescription_; }
  void SetDefaultDescription(const String& Value);
  Integer DefaultImageIndex() const { return defaultImageIndex_; }
  void SetDefaultImageIndex(Integer Value);
  TuiImageAlign ImageAlign() const { return imageAlign_; }
  void SetImageAlign(TuiImageAlign Value);
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* Value);
  TuiImageComboBoxItems* Items() const { return items_.get(); }
  void SetItems(TuiImageComboBoxItems* Value);
  TCustomImageList* LargeImages() const { return largeImages_; }
  void SetLargeImages(TCustomImageList* Value);
  bool MultiLineText() const { return multiLineText_; }
  void SetMultiLineText(bool Value);
  bool ShowDescriptions() const { return showDescriptions_; }
  void SetShowDescriptions(bool Value);

  // The first item whose value is the same as AValue (Booleans by their text); nil for none.
  TuiImageComboBoxItem* FindItemByValue(const Variant& AValue) const;
  // The first item with the description AText ignoring case; nil without descriptions shown.
  TuiImageComboBoxItem* FindItemByDescription(const String& AText) const;
  // What shows for AItem (nil: the defaults).
  void GetItemDisplay(TuiImageComboBoxItem* AItem, String& AText, Integer& AImageIndex) const;
  // The images of the drop-down list: LargeImages when set, else Images.
  TCustomImageList* ListImages() const { return largeImages_ != nullptr ? largeImages_ : images_; }

  Byte GetDisplayFormatOptions() override { return 0; }
  TClass GetViewDataClass() const override;
  TClass GetEditClass() const override;
  TClass GetViewInfoClass() const override;
  TClass GetLookupDataClass() const override;
  bool CompareDisplayValues(const Variant& AEditValue1, const Variant& AEditValue2) override;
  WideString GetDisplayText(const Variant& AEditValue, bool AFullText = false) override;
  Word GetEditCapabilities() override;
  bool IsEditValueValid(Variant&, bool) override { return true; }
  void PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool AEditFocused) override;
  bool SupportsValueFormatting(bool) override { return false; }
  bool IsLookupText(const String& AText) override;

 private:
  void SetImageList(TCustomImageList*& AField, TChangeLink* ALink, TCustomImageList* Value);

  String defaultDescription_;
  Integer defaultImageIndex_ = -1;
  TuiImageAlign imageAlign_ = iaLeft;
  TCustomImageList* images_ = nullptr;
  TObjectPtr<TChangeLink> imagesLink_;
  TObjectPtr<TuiImageComboBoxItems> items_;
  TCustomImageList* largeImages_ = nullptr;
  TObjectPtr<TChangeLink> largeImagesLink_;
  bool multiLineText_ = false;
  bool showDescriptions_ = true;
};

class TuiImageComboBoxProperties : public TuiCustomImageComboBoxProperties {
  K58_CLASS(TuiImageComboBoxProperties, TuiCustomImageComboBoxProperties)
};

class TuiImageComboBoxViewInfo : public TuiCustomTextEditViewInfo {
  K58_CLASS(TuiImageComboBoxViewInfo, TuiCustomTextEditViewInfo)

  TuiImageComboBoxViewInfo() = default;
  void Paint(TuiCanvas* ACanvas) override;
  void OffsetRects(Integer DX, Integer DY) override;

  TRect ImageRect{};
  bool ShowDescriptions = true;
  TuiImageAlign ImageAlign = iaLeft;
  Integer ImageIndex = -1;
  TCustomImageList* Images = nullptr;
  bool TransparentBackground = false;
};

class TuiImageComboBoxViewData : public TuiCustomDropDownEditViewData {
  K58_CLASS(TuiImageComboBoxViewData, TuiCustomDropDownEditViewData)

  TuiImageComboBoxViewData() = default;
  void EditValueToDisplayText(const Variant& AEditValue, String& AText) override;
  void GetButtonsSizeCorrection(TuiCanvas* ACanvas, TuiCustomEditViewInfo* AViewInfo, TSize& AConstantPartSize,
                                TSize& AMinContentSize) override;
  void GetEditContentSize(TuiCanvas* ACanvas, const Variant& AEditValue, const TSize& AEditSizeProperties,
                          TSize& ASize) override;
  void Calculate(TuiCanvas* ACanvas, const TRect& ABounds, const TPoint& P, Byte AButton, TShiftState AShift,
                 TuiCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  void EditValueToDrawValue(TuiCanvas* ACanvas, const Variant& AEditValue, TuiCustomEditViewInfo* AViewInfo) override;
  void DisplayValueToDrawValue(const Variant& AValue, TuiCustomTextEditViewInfo* AViewInfo) override;

 private:
  TuiCustomImageComboBoxProperties* ImageProperties() const {
    return static_cast<TuiCustomImageComboBoxProperties*>(Properties);
  }
};

class TuiImageComboBoxLookupData : public TuiComboBoxLookupData {
  K58_CLASS(TuiImageComboBoxLookupData, TuiComboBoxLookupData)

  TuiImageComboBoxLookupData() = default;
  // Descriptions are the item texts.
  void GetItem(Integer AIndex, String& AText) override;
  Integer GetItemCount() override;
  TClass GetListBoxClass() const override;
  TSize GetVisualAreaPreferredSize(Integer AMaxHeight, Integer AWidth) override;
  // The current key becomes the item of the editor's value (-1 for none).
  void SelectItemOfEditValue();
};

class TuiImageComboBoxListBox : public TuiComboBoxListBox {
  K58_CLASS(TuiImageComboBoxListBox, TuiComboBoxListBox)

  explicit TuiImageComboBoxListBox(TComponent* AOwner);

  TuiCustomImageComboBoxProperties* ImageProperties() const;
  // The widest description plus the image (and the scroll bar when not every item shows).
  Integer GetMaxItemWidth();
  Integer GetItemHeight(Integer AIndex) override;
  Integer GetHeightForRows(Integer ARowCount) override;
  bool DrawItemByOwner(Integer AIndex, const TRect& ARect, TOwnerDrawState AState) override;
  void UpdateItemMetrics() override;

 private:
  // The width text is measured in for multi-line items (0: single lines).
  Integer measureWidth_ = 0;
};

class TuiCustomImageComboBox : public TuiCustomComboBox {
  K58_CLASS(TuiCustomImageComboBox, TuiCustomComboBox)

  explicit TuiCustomImageComboBox(TComponent* AOwner) : TuiCustomComboBox(AOwner) {}
  TuiCustomImageComboBoxProperties* ActiveProperties() {
    return static_cast<TuiCustomImageComboBoxProperties*>(TuiCustomEdit::ActiveProperties());
  }
  TuiCustomImageComboBoxProperties* Properties() const {
    return static_cast<TuiCustomImageComboBoxProperties*>(TuiCustomEdit::Properties());
  }

  bool IsValidChar(char AChar) override;
  void SynchronizeDisplayValue() override;
  void UpdateDrawValue() override;
  TClass GetPropertiesClass() const override;
  void DisplayValueToEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool AEditFocused) override;
  void LookupKeyToEditValue(const Variant& AKey, Variant& AEditValue) override;
  void CalculatePopupContentSize(TSize& ASize) override;
};

class TuiImageComboBox : public TuiCustomImageComboBox {
  K58_CLASS(TuiImageComboBox, TuiCustomImageComboBox)

  explicit TuiImageComboBox(TComponent* AOwner) : TuiCustomImageComboBox(AOwner) {}
  TClass GetPropertiesClass() const override;
  TuiImageComboBoxProperties* Properties() const {
    return static_cast<TuiImageComboBoxProperties*>(TuiCustomEdit::Properties());
  }
  void SetProperties(TuiImageComboBoxProperties* Value) { TuiCustomEdit::SetProperties(Value); }
  TImeName ImeNameValue() const { return ImeName(); }
};

namespace k58::editors {
void StartImageComboBoxUnit();
void StopImageComboBoxUnit();
}  // namespace k58::editors
