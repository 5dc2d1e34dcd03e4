// The image combo box: its items, Properties with image lists, the editor's image and text, the drop-down
// list of images and (multi-line) descriptions, and its registration.
#include "controls/editors/uiImageComboBox.h"

#include <algorithm>

#include "controls/editors/uiButtonEdit.h"
#include "controls/editors/uiEditPopupWindow.h"
#include "controls/foundation/uiClasses.h"
#include "controls/foundation/uiVariants.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/forms/ControlsPublish.h"
#include "platform/rtl/CodePages.h"

namespace {
Integer imageComboBoxUnitCount = 0;
}  // namespace

// ---- Items ----------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiImageComboBoxItem) {
  using S = TuiImageComboBoxItem;
  b.Prop("Description", &S::Description, &S::SetDescription);
  b.Prop("ImageIndex", &S::ImageIndex, &S::SetImageIndex).Default(-1);
  b.Prop("Tag", &S::Tag, &S::SetTag).Stored(&S::IsTagStored);
  b.Prop("Value", &S::Value, &S::SetValue).Stored(&S::IsValueStored);
}

TuiImageComboBoxItem::TuiImageComboBoxItem(TCollection* ACollection) : TCollectionItem(ACollection) {
  auto* items = dynamic_cast<TuiImageComboBoxItems*>(ACollection);
  TCustomImageList* images = items != nullptr && items->Properties() != nullptr ? items->Properties()->Images() : nullptr;
  if (images != nullptr && images->Count() >= items->Count()) imageIndex_ = Index();
  if (items != nullptr) items->ItemConstructed();
}

void TuiImageComboBoxItem::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TuiImageComboBoxItem*>(Source);
  if (source == nullptr) return TCollectionItem::Assign(Source);
  description_ = source->description_;
  imageIndex_ = source->imageIndex_;
  tag_ = source->tag_;
  value_ = source->value_;
  Changed(false);
}

void TuiImageComboBoxItem::SetDescription(const String& Value) {
  if (description_ == Value) return;
  description_ = Value;
  Changed(false);
}

void TuiImageComboBoxItem::SetImageIndex(Integer Value) {
  if (imageIndex_ == Value) return;
  imageIndex_ = Value;
  Changed(false);
}

void TuiImageComboBoxItem::SetValue(Variant Value) {
  if (TuiCustomEdit::VarEqualsSameType(value_, Value)) return;
  value_ = Value;
  Changed(false);
}

K58_IMPLEMENT_CLASS(TuiImageComboBoxItems) {}

TuiImageComboBoxItems::TuiImageComboBoxItems(TuiCustomImageComboBoxProperties* AOwner)
    : TOwnedCollection(AOwner, TuiImageComboBoxItem::StaticClass()), properties_(AOwner) {}

void TuiImageComboBoxItems::Notify(TCollectionItem* Item, TCollectionNotification Action) {
  TOwnedCollection::Notify(Item, Action);
  if (Action == cnAdded) adding_ = true;
}

void TuiImageComboBoxItems::ItemConstructed() {
  if (!adding_) return;
  adding_ = false;
  if (UpdateCount() == 0) Update(nullptr);
}

void TuiImageComboBoxItems::Update(TCollectionItem*) {
  if (!adding_ && properties_ != nullptr) properties_->Changed();
}

// ---- Properties -----------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomImageComboBoxProperties) {}

K58_IMPLEMENT_CLASS(TuiImageComboBoxProperties) {
  using S = TuiImageComboBoxProperties;
  b.Prop("Alignment", &S::Alignment, &S::SetAlignment);
  b.Prop("AssignedValues", &S::AssignedValues, &S::SetAssignedValues);
  b.Prop("ButtonGlyph", &S::ButtonGlyph, &S::SetButtonGlyph).Stored(&S::IsButtonGlyphStored);
  b.Prop("DefaultDescription", &S::DefaultDescription, &S::SetDefaultDescription);
  b.Prop("DefaultImageIndex", &S::DefaultImageIndex, &S::SetDefaultImageIndex).Default(-1);
  b.Prop("DropDownRows", &S::DropDownRows, &S::SetDropDownRows).Default(8);
  b.Prop("ImageAlign", &S::ImageAlign, &S::SetImageAlign).Default(iaLeft);
  b.Prop("Images", &S::Images, &S::SetImages);
  b.Prop("ImeMode", &S::ImeMode, &S::SetImeMode).Default(imDontCare);
  b.Prop("ImeName", &S::ImeName, &S::SetImeName).Type("TImeName");
  b.Prop("ImmediateDropDown", &S::ImmediateDropDown, &S::SetImmediateDropDown).Default(true);
  b.Prop("ImmediatePost", &S::ImmediatePost, &S::SetImmediatePost).Default(false);
  b.Prop("Items", &S::Items, &S::SetItems);
  b.Prop("LargeImages", &S::LargeImages, &S::SetLargeImages);
  b.Prop("MultiLineText", &S::MultiLineText, &S::SetMultiLineText).Default(false);
  b.Prop("PopupAlignment", &S::PopupAlignment, &S::SetPopupAlignment).Default(taLeftJustify);
  b.Prop("PostPopupValueOnTab", &S::PostPopupValueOnTab, &S::SetPostPopupValueOnTab).Default(false);
  b.Prop("ReadOnly", &S::ReadOnly, &S::SetReadOnly).Stored(&S::IsReadOnlyStored);
  b.Prop("Revertable", &S::Revertable, &S::SetRevertable).Default(false);
  b.Prop("ShowDescriptions", &S::ShowDescriptions, &S::SetShowDescriptions).Default(true);
  b.Prop("ValidateOnEnter", &S::ValidateOnEnter, &S::SetValidateOnEnter).Default(true);
  b.Prop("OnButtonClick", &S::OnButtonClick, &S::SetOnButtonClick);
  b.Prop("OnChange", &S::OnChange, &S::SetOnChange);
  b.Prop("OnCloseQuery", &S::OnCloseQuery, &S::SetOnCloseQuery);
  b.Prop("OnCloseUp", &S::OnCloseUp, &S::SetOnCloseUp);
  b.Prop("OnEditValueChanged", &S::OnEditValueChanged, &S::SetOnEditValueChanged);
  b.Prop("OnInitPopup", &S::OnInitPopup, &S::SetOnInitPopup);
  b.Prop("OnPopup", &S::OnPopup, &S::SetOnPopup);
  b.Prop("OnValidate", &S::OnValidate, &S::SetOnValidate);
}

TuiCustomImageComboBoxProperties::TuiCustomImageComboBoxProperties()
    : imagesLink_(new TChangeLink), items_(new TuiImageComboBoxItems(this)), largeImagesLink_(new TChangeLink) {
  imagesLink_->SetOnChange([this](TObject*) { Changed(); });
  largeImagesLink_->SetOnChange([this](TObject*) { Changed(); });
  SetDropDownListStyle(lsFixedList);
  SetValidateOnEnter(true);
}

TuiCustomImageComboBoxProperties::~TuiCustomImageComboBoxProperties() {
  SetImageList(images_, imagesLink_.get(), nullptr);
  SetImageList(largeImages_, largeImagesLink_.get(), nullptr);
}

void TuiCustomImageComboBoxProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TuiCustomImageComboBoxProperties*>(Source);
  if (source == nullptr) return TuiCustomComboBoxProperties::Assign(Source);
  BeginUpdate();
  try {
    TuiCustomComboBoxProperties::Assign(Source);
    SetDefaultDescription(source->defaultDescription_);
    SetDefaultImageIndex(source->defaultImageIndex_);
    SetImageAlign(source->imageAlign_);
    SetImages(source->images_);
    SetItems(source->items_.get());
    SetLargeImages(source->largeImages_);
    SetMultiLineText(source->multiLineText_);
    SetShowDescriptions(source->showDescriptions_);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TuiCustomImageComboBoxProperties::FreeNotification(TComponent* AComponent) {
  TuiCustomComboBoxProperties::FreeNotification(AComponent);
  // A freed list is forgotten quietly: its change link went with it.
  if (AComponent == nullptr) return;
  if (AComponent == images_) images_ = nullptr;
  if (AComponent == largeImages_) largeImages_ = nullptr;
}

void TuiCustomImageComboBoxProperties::SetImageList(TCustomImageList*& AField, TChangeLink* ALink,
                                                    TCustomImageList* Value) {
  if (AField == Value) return;
  if (AField != nullptr) {
    AField->UnRegisterChanges(ALink);
    // The other field may still hold the same list.
    if (images_ != largeImages_) FreeNotificator()->RemoveSender(AField);
  }
  AField = Value;
  if (AField != nullptr) {
    AField->RegisterChanges(ALink);
    FreeNotificator()->AddSender(AField);
  }
}

void TuiCustomImageComboBoxProperties::SetImages(TCustomImageList* Value) {
  if (images_ == Value) return;
  SetImageList(images_, imagesLink_.get(), Value);
  Changed();
}

void TuiCustomImageComboBoxProperties::SetLargeImages(TCustomImageList* Value) {
  if (largeImages_ == Value) return;
  SetImageList(largeImages_, largeImagesLink_.get(), Value);
  Changed();
}

void TuiCustomImageComboBoxProperties::SetItems(TuiImageComboBoxItems* Value) {
  items_->Assign(Value);
  Changed();
}

void TuiCustomImageComboBoxProperties::SetDefaultDescription(const String& Value) {
  if (defaultDescription_ == Value) return;
  defaultDescription_ = Value;
  Changed();
}

void TuiCustomImageComboBoxProperties::SetDefaultImageIndex(Integer Value) {
  if (defaultImageIndex_ == Value) return;
  defaultImageIndex_ = Value;
  Changed();
}

void TuiCustomImageComboBoxProperties::SetImageAlign(TuiImageAlign Value) {
  if (imageAlign_ == Value) return;
  imageAlign_ = Value;
  Changed();
}

void TuiCustomImageComboBoxProperties::SetMultiLineText(bool Value) {
  if (multiLineText_ == Value) return;
  multiLineText_ = Value;
  Changed();
}

void TuiCustomImageComboBoxProperties::SetShowDescriptions(bool Value) {
  if (showDescriptions_ == Value) return;
  showDescriptions_ = Value;
  Changed();
}

TuiImageComboBoxItem* TuiCustomImageComboBoxProperties::FindItemByValue(const Variant& AValue) const {
  for (Integer i = 0; i < items_->Count(); ++i)
    if (AreVariantsSame(items_->Items(i)->Value(), AValue)) return items_->Items(i);
  return nullptr;
}

TuiImageComboBoxItem* TuiCustomImageComboBoxProperties::FindItemByDescription(const String& AText) const {
  if (!showDescriptions_) return nullptr;
  for (Integer i = 0; i < items_->Count(); ++i)
    if (AreStringsEqual(items_->Items(i)->Description(), AText, false)) return items_->Items(i);
  return nullptr;
}

void TuiCustomImageComboBoxProperties::GetItemDisplay(TuiImageComboBoxItem* AItem, String& AText,
                                                      Integer& AImageIndex) const {
  AText = !showDescriptions_ ? String() : AItem != nullptr ? AItem->Description() : defaultDescription_;
  AImageIndex = AItem != nullptr ? AItem->ImageIndex() : defaultImageIndex_;
}

TClass TuiCustomImageComboBoxProperties::GetViewDataClass() const { return TuiImageComboBoxViewData::StaticClass(); }
TClass TuiCustomImageComboBoxProperties::GetEditClass() const { return TuiImageComboBox::StaticClass(); }
TClass TuiCustomImageComboBoxProperties::GetViewInfoClass() const { return TuiImageComboBoxViewInfo::StaticClass(); }
TClass TuiCustomImageComboBoxProperties::GetLookupDataClass() const {
  return TuiImageComboBoxLookupData::StaticClass();
}

bool TuiCustomImageComboBoxProperties::CompareDisplayValues(const Variant& AEditValue1, const Variant& AEditValue2) {
  String text1, text2;
  Integer image1 = -1, image2 = -1;
  GetItemDisplay(FindItemByValue(AEditValue1), text1, image1);
  GetItemDisplay(FindItemByValue(AEditValue2), text2, image2);
  return text1 == text2 && (images_ == nullptr || image1 == image2);
}

void TuiCustomImageComboBoxProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool) {
  TuiImageComboBoxItem* item = FindItemByValue(AEditValue);
  ADisplayValue = Variant(item != nullptr ? item->Description() : defaultDescription_);
}

WideString TuiCustomImageComboBoxProperties::GetDisplayText(const Variant& AEditValue, bool) {
  Variant display;
  PrepareDisplayValue(AEditValue, display, false);
  return Utf8ToWide(VarToStr(display));
}

Word TuiCustomImageComboBoxProperties::GetEditCapabilities() {
  Word result = Buttons()->Count() > 0 ? 0x183C : 0x181C;
  if (showDescriptions_) result |= 0x40;
  return result;
}

bool TuiCustomImageComboBoxProperties::IsLookupText(const String& AText) {
  return FindItemByDescription(AText) != nullptr;
}

// ---- View -----------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiImageComboBoxViewInfo) {}
K58_IMPLEMENT_CLASS(TuiImageComboBoxViewData) {}

void TuiImageComboBoxViewInfo::OffsetRects(Integer DX, Integer DY) {
  TuiCustomTextEditViewInfo::OffsetRects(DX, DY);
  OffsetRect(&ImageRect, DX, DY);
}

void TuiImageComboBoxViewInfo::Paint(TuiCanvas* ACanvas) {
  TCanvas* canvas = ACanvas->Canvas();
  if (!RectVisible(canvas->Handle(), &Bounds)) return;
  if (Images != nullptr && ImageIndex >= 0 && ImageIndex < Images->Count()) {
    const Integer saved = ACanvas->SaveState();
    TRect clip{};
    IntersectRect(&clip, &ImageRect, &BorderRect);
    ACanvas->IntersectClipRect(clip);
    if (!TransparentBackground) ACanvas->FillRectWithColor(ImageRect, BackgroundColor);
    Images->Draw(canvas, ImageRect.left, ImageRect.top, ImageIndex, Enabled);
    ACanvas->RestoreState(saved);
    if (!TransparentBackground) ACanvas->ExcludeClipRect(ImageRect);
  }
  TuiCustomTextEditViewInfo::Paint(ACanvas);
}

void TuiImageComboBoxViewData::Calculate(TuiCanvas* ACanvas, const TRect& ABounds, const TPoint& P, Byte AButton,
                                         TShiftState AShift, TuiCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  TuiCustomDropDownEditViewData::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  auto* view = static_cast<TuiImageComboBoxViewInfo*>(AViewInfo);
  TuiCustomImageComboBoxProperties* properties = ImageProperties();
  view->ImageAlign = properties->ImageAlign();
  view->Images = properties->Images();
  view->ShowDescriptions = properties->ShowDescriptions();
  view->TransparentBackground = Edit != nullptr && Edit->IsTransparent();
  const TRect c = view->ClientRect;
  TRect t = c;
  view->ImageRect = TRect{};
  if (TCustomImageList* images = view->Images) {
    const Integer w = images->Width(), h = images->Height();
    TRect& r = view->ImageRect;
    if (!view->ShowDescriptions) {
      r.left = c.left + (c.right - c.left - w) / 2;
    } else if (view->ImageAlign == iaRight) {
      r.left = c.right - 2 - w;
      t.right = r.left - 2;
    } else {
      r.left = c.left + 2;
      t.left = c.left + w + 4;
    }
    r.right = r.left + w;
    r.top = c.top + (c.bottom - c.top - h) / 2;
    r.bottom = r.top + h;
  }
  if (!IsInplace) view->ClientRect = t;
  view->TextRect = t;
  InflateRect(&view->TextRect, -2, -1);
  if (!view->ShowDescriptions) view->Text.clear();
}

void TuiImageComboBoxViewData::EditValueToDrawValue(TuiCanvas*, const Variant& AEditValue,
                                                    TuiCustomEditViewInfo* AViewInfo) {
  auto* view = static_cast<TuiImageComboBoxViewInfo*>(AViewInfo);
  String text;
  ImageProperties()->GetItemDisplay(ImageProperties()->FindItemByValue(AEditValue), text, view->ImageIndex);
  if (OnGetDisplayText.Assigned()) OnGetDisplayText(Edit, text);
  view->Text = text;
}

void TuiImageComboBoxViewData::DisplayValueToDrawValue(const Variant& AValue, TuiCustomTextEditViewInfo* AViewInfo) {
  auto* view = static_cast<TuiImageComboBoxViewInfo*>(AViewInfo);
  auto* combo = dynamic_cast<TuiCustomImageComboBox*>(Edit);
  if (combo == nullptr) return TuiCustomDropDownEditViewData::DisplayValueToDrawValue(AValue, AViewInfo);
  TuiCustomImageComboBoxProperties* properties = ImageProperties();
  TuiCustomTextEditLookupData* lookup = combo->GetLookupDataObject();
  const Integer key = lookup != nullptr ? lookup->CurrentKey() : -1;
  TuiImageComboBoxItem* item = key >= 0 && key < properties->Items()->Count() ? properties->Items()->Items(key)
                                                                              : properties->FindItemByValue(combo->EditValue());
  String text;
  properties->GetItemDisplay(item, text, view->ImageIndex);
  view->Text = text;
}

void TuiImageComboBoxViewData::EditValueToDisplayText(const Variant& AEditValue, String& AText) {
  Integer image = -1;
  ImageProperties()->GetItemDisplay(ImageProperties()->FindItemByValue(AEditValue), AText, image);
}

void TuiImageComboBoxViewData::GetEditContentSize(TuiCanvas* ACanvas, const Variant& AEditValue,
                                                  const TSize& AEditSizeProperties, TSize& ASize) {
  TuiCustomDropDownEditViewData::GetEditContentSize(ACanvas, AEditValue, AEditSizeProperties, ASize);
  TCustomImageList* images = ImageProperties()->Images();
  ASize.cx += images != nullptr ? images->Width() + 5 : 1;
}

void TuiImageComboBoxViewData::GetButtonsSizeCorrection(TuiCanvas* ACanvas, TuiCustomEditViewInfo* AViewInfo,
                                                        TSize& AConstantPartSize, TSize& AMinContentSize) {
  TuiCustomDropDownEditViewData::GetButtonsSizeCorrection(ACanvas, AViewInfo, AConstantPartSize, AMinContentSize);
  if (TCustomImageList* images = ImageProperties()->Images())
    AMinContentSize.cy = std::max(AMinContentSize.cy, images->Height());
}

// ---- Lookup data and list -------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiImageComboBoxLookupData) {}

void TuiImageComboBoxLookupData::GetItem(Integer AIndex, String& AText) {
  auto* properties = dynamic_cast<TuiCustomImageComboBoxProperties*>(GetEditProperties());
  AText.clear();
  if (properties != nullptr && AIndex >= 0 && AIndex < properties->Items()->Count())
    AText = properties->Items()->Items(AIndex)->Description();
}

Integer TuiImageComboBoxLookupData::GetItemCount() {
  auto* properties = dynamic_cast<TuiCustomImageComboBoxProperties*>(GetEditProperties());
  return properties != nullptr ? properties->Items()->Count() : 0;
}

TClass TuiImageComboBoxLookupData::GetListBoxClass() const { return TuiImageComboBoxListBox::StaticClass(); }

void TuiImageComboBoxLookupData::SelectItemOfEditValue() {
  auto* properties = dynamic_cast<TuiCustomImageComboBoxProperties*>(GetEditProperties());
  if (properties == nullptr || GetOwnerEdit() == nullptr) return;
  TuiImageComboBoxItem* item = properties->FindItemByValue(GetOwnerEdit()->EditValue());
  SetCurrentKeyInternal(item != nullptr ? item->Index() : -1);
  SyncListToCurrentKey();
}

TSize TuiImageComboBoxLookupData::GetVisualAreaPreferredSize(Integer AMaxHeight, Integer AWidth) {
  TSize size = TuiComboBoxLookupData::GetVisualAreaPreferredSize(AMaxHeight, AWidth);
  if (auto* list = dynamic_cast<TuiImageComboBoxListBox*>(List())) {
    auto* properties = list->ImageProperties();
    if (properties != nullptr && !properties->MultiLineText()) size.cx = std::max(size.cx, list->GetMaxItemWidth());
  }
  return size;
}

K58_IMPLEMENT_CLASS(TuiImageComboBoxListBox) {}

TuiImageComboBoxListBox::TuiImageComboBoxListBox(TComponent* AOwner) : TuiComboBoxListBox(AOwner) {
  SetStyle(lbOwnerDrawVariable);
}

TuiCustomImageComboBoxProperties* TuiImageComboBoxListBox::ImageProperties() const {
  return LookupData() != nullptr ? dynamic_cast<TuiCustomImageComboBoxProperties*>(LookupData()->GetEditProperties())
                                 : nullptr;
}

void TuiImageComboBoxListBox::UpdateItemMetrics() {
  // Rows are measured one by one: the image and wrapped descriptions decide each height.
  SetStyle(lbOwnerDrawVariable);
  RecreateListWindow();
}

Integer TuiImageComboBoxListBox::GetItemHeight(Integer AIndex) {
  TuiCustomImageComboBoxProperties* properties = ImageProperties();
  if (properties == nullptr) return TuiComboBoxListBox::GetItemHeight(AIndex);
  TCustomImageList* images = properties->ListImages();
  Integer width = (measureWidth_ > 0 ? measureWidth_ : ClientWidth()) - 2;
  Integer minimum = 0;
  if (images != nullptr) {
    width -= images->Width() + 4;
    minimum = images->Height() + 2;
  }
  Canvas()->SetFont(Font());
  if (properties->MultiLineText() && width > 0 && AIndex >= 0 && AIndex < properties->Items()->Count()) {
    const String& text = properties->Items()->Items(AIndex)->Description();
    TRect r{0, 0, width, 0};
    DrawText(Canvas()->Handle(), text.c_str(), static_cast<int>(text.size()), &r,
             DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
    return std::max(minimum, static_cast<Integer>(r.bottom - r.top) + 2);
  }
  return std::max(Canvas()->TextHeight("Wg") + 2, minimum);
}

Integer TuiImageComboBoxListBox::GetHeightForRows(Integer ARowCount) {
  TuiCustomImageComboBoxProperties* properties = ImageProperties();
  if (properties == nullptr || !properties->MultiLineText()) {
    measureWidth_ = 0;
    return TuiComboBoxListBox::GetHeightForRows(ARowCount);
  }
  // Multi-line rows are measured in the popup's width; a scroll bar takes its share when they do not all fit.
  measureWidth_ = 0;
  if (TuiCustomEdit* edit = LookupData()->GetOwnerEdit()) {
    auto* dropDown = dynamic_cast<TuiCustomDropDownEdit*>(edit);
    if (dropDown != nullptr && dropDown->PopupWindow() != nullptr) {
      const TRect e = dropDown->PopupWindow()->ViewInfo()->GetBorderExtent();
      measureWidth_ = std::max(dropDown->PopupWindow()->Width(), edit->Width()) - e.left - e.right;
    }
  }
  auto sum = [&] {
    Integer h = 0;
    for (Integer i = 0; i < ARowCount; ++i) h += GetItemHeight(i);
    return h;
  };
  Integer height = sum();
  if (measureWidth_ > 0 && (ARowCount < properties->Items()->Count())) {
    measureWidth_ -= GetSystemMetrics(SM_CXVSCROLL);
    height = sum();
  }
  // The list window measures its rows in its own client width.
  measureWidth_ = 0;
  return height;
}

Integer TuiImageComboBoxListBox::GetMaxItemWidth() {
  TuiCustomImageComboBoxProperties* properties = ImageProperties();
  if (properties == nullptr) return 0;
  Canvas()->SetFont(Font());
  Integer width = 0;
  for (Integer i = 0; i < properties->Items()->Count(); ++i)
    width = std::max(width, Canvas()->TextWidth(properties->Items()->Items(i)->Description()));
  TCustomImageList* images = properties->ListImages();
  width += images != nullptr ? images->Width() + 8 : 4;
  if (properties->DropDownRows() < properties->Items()->Count()) width += GetSystemMetrics(SM_CXVSCROLL);
  return width;
}

bool TuiImageComboBoxListBox::DrawItemByOwner(Integer AIndex, const TRect& ARect, TOwnerDrawState AState) {
  if (TuiComboBoxListBox::DrawItemByOwner(AIndex, ARect, AState)) return true;
  TuiCustomImageComboBoxProperties* properties = ImageProperties();
  if (properties == nullptr) return false;
  TCanvas* canvas = Canvas();
  canvas->FillRect(ARect);
  if (AIndex < 0 || AIndex >= properties->Items()->Count()) return true;
  TuiImageComboBoxItem* item = properties->Items()->Items(AIndex);
  UINT flags = properties->MultiLineText() ? DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX
                                           : DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
  TRect r = ARect;
  const bool rtl = IsRightToLeft();
  if (rtl) {
    flags |= DT_RIGHT | DT_RTLREADING;
    r.right -= 2;
  } else {
    r.left += 2;
  }
  TRect textRect = r;
  if (TCustomImageList* images = properties->ListImages()) {
    const Integer partWidth = images->Width() + 4;
    TRect part = r;
    if (properties->ImageAlign() == iaRight) {
      part.left = r.right - partWidth;
      textRect.right = part.left;
    } else {
      part.right = r.left + partWidth;
      textRect.left = part.right;
    }
    if (item->ImageIndex() >= 0 && item->ImageIndex() < images->Count())
      images->Draw(canvas, part.left + 1, part.top + (part.bottom - part.top - images->Height()) / 2,
                   item->ImageIndex(), Enabled());
  }
  if (!IsRectEmpty(&textRect)) {
    const String& text = item->Description();
    SetBkMode(canvas->Handle(), TRANSPARENT);
    DrawText(canvas->Handle(), text.c_str(), static_cast<int>(text.size()), &textRect, flags);
  }
  return true;
}

// ---- Editor ---------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomImageComboBox) {}

K58_IMPLEMENT_CLASS(TuiImageComboBox) {
  using S = TuiImageComboBox;
  PublishControl(b, {"Anchors",     "Constraints", "DragCursor",  "DragKind", "DragMode",   "Enabled",
                     "ParentColor", "ParentFont",  "ParentShowHint", "PopupMenu", "ShowHint", "TabOrder",
                     "TabStop",     "Visible",     "OnClick",     "OnContextPopup", "OnEnter", "OnExit",
                     "OnKeyDown",   "OnKeyPress",  "OnKeyUp",     "OnMouseDown", "OnMouseMove", "OnMouseUp"});
  b.Prop("ImeMode", &S::ImeMode, &S::SetImeMode).Default(imDontCare);
  b.Prop("ImeName", &S::ImeNameValue, &S::SetImeName);
  b.Prop("Properties", &S::Properties, &S::SetProperties);
}

TClass TuiCustomImageComboBox::GetPropertiesClass() const { return TuiCustomImageComboBoxProperties::StaticClass(); }
TClass TuiImageComboBox::GetPropertiesClass() const { return TuiImageComboBoxProperties::StaticClass(); }

bool TuiCustomImageComboBox::IsValidChar(char AChar) { return IsTextChar(AChar); }

void TuiCustomImageComboBox::DisplayValueToEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool) {
  // While typing, the text can be ahead of the current key: a text that is another item's description
  // stands for that item.
  TuiCustomTextEditLookupData* lookup = GetLookupDataObject();
  TuiImageComboBoxItems* items = ActiveProperties()->Items();
  const Integer key = lookup != nullptr ? lookup->CurrentKey() : -1;
  const String text = VarToStr(ADisplayValue);
  const bool keyShowsText = key >= 0 && key < items->Count() && AreStringsEqual(items->Items(key)->Description(), text, false);
  if (lookup != nullptr && !keyShowsText && ActiveProperties()->ShowDescriptions()) {
    if (TuiImageComboBoxItem* item = ActiveProperties()->FindItemByDescription(text)) {
      AEditValue = item->Value();
      return;
    }
  }
  LookupKeyToEditValue(Variant(), AEditValue);
}

void TuiCustomImageComboBox::LookupKeyToEditValue(const Variant&, Variant& AEditValue) {
  // The current item decides; the text itself is not read.
  TuiCustomTextEditLookupData* lookup = GetLookupDataObject();
  const Integer key = lookup != nullptr ? lookup->CurrentKey() : -1;
  TuiImageComboBoxItems* items = ActiveProperties()->Items();
  AEditValue = key >= 0 && key < items->Count() ? items->Items(key)->Value() : Null();
}

void TuiCustomImageComboBox::SynchronizeDisplayValue() {
  SaveModified();
  try {
    auto* lookup = dynamic_cast<TuiImageComboBoxLookupData*>(GetLookupDataObject());
    const Integer old = lookup != nullptr ? lookup->CurrentKey() : -1;
    if (lookup != nullptr) {
      LockClick(true);
      try {
        lookup->SelectItemOfEditValue();
      } catch (...) {
        LockClick(false);
        throw;
      }
      LockClick(false);
    }
    if (lookup != nullptr && lookup->CurrentKey() != old) SetModifiedAndClick();
  } catch (...) {
    RestoreModified();
    throw;
  }
  RestoreModified();
  TuiCustomComboBox::SynchronizeDisplayValue();
}

void TuiCustomImageComboBox::UpdateDrawValue() {
  TuiCustomComboBox::UpdateDrawValue();
  if (auto* view = dynamic_cast<TuiCustomTextEditViewInfo*>(EditViewInfo())) AssignDisplayValue(Variant(view->Text));
}

void TuiCustomImageComboBox::CalculatePopupContentSize(TSize& ASize) {
  TuiCustomComboBox::CalculatePopupContentSize(ASize);
  if (ActiveProperties()->MultiLineText()) ASize.cx = 0;
}

namespace k58::editors {
void StartImageComboBoxUnit() {
  if (imageComboBoxUnitCount++ > 0) return;
  GetEditPropertiesRegistry()->Register(TuiImageComboBoxProperties::StaticClass(),
                                        LocalizeText(uiimagecomboboxconsts::scxImageComboBoxDescription));
}

void StopImageComboBoxUnit() {
  if (imageComboBoxUnitCount == 0 || --imageComboBoxUnitCount > 0) return;
  GetEditPropertiesRegistry()->Unregister(TuiImageComboBoxProperties::StaticClass());
}
}  // namespace k58::editors
