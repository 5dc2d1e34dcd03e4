// The BLOB editor: its Properties, the popup with a memo or an image editor and OK/Cancel buttons, the cell
// drawing (icon or text), and its registration.
#include "controls/editors/uiBlobEdit.h"

#include <algorithm>

#include "controls/editors/uiButtonEdit.h"

#include "controls/foundation/uiClasses.h"
#include "controls/foundation/uiVariants.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/forms/ControlsPublish.h"
#include "platform/rtl/CodePages.h"
#include "platform/rtl/RtlMath.h"

using namespace uiblobeditconsts;

namespace {

Integer blobEditUnitCount = 0;
TCustomImageList* blobEditImages = nullptr;

bool IsStringValue(const Variant& AValue) { return VarIsStr(AValue); }

}  // namespace

namespace k58::editors {

Integer GetBlobPopupCloseResult(Word& AKey, TShiftState AShift, bool ACloseOnEnter, bool AAlwaysSaveData) {
  Integer result = 0;
  const bool alt = AShift.Contains(ssAlt);
  if ((AKey == VK_F4 && !alt) || AKey == VK_ESCAPE || ((AKey == VK_UP || AKey == VK_DOWN) && alt))
    result = AKey == VK_ESCAPE || !AAlwaysSaveData ? 2 : 1;
  else if (AKey == VK_RETURN && (ACloseOnEnter || AShift.Contains(ssCtrl)))
    result = 1;
  if (result != 0) AKey = 0;
  return result;
}

bool IsBlobPopupValueSaved(bool AContentModified, TModalResult AModalResult, bool AAlwaysSaveData) {
  return AContentModified && (AModalResult == mrOk || (AModalResult != mrCancel && AAlwaysSaveData));
}

Integer GetBlobIconIndex(TuiBlobEditKind AKind, const Variant& AValue) {
  Integer index = 0;
  switch (AKind) {
    case bekAuto: return -1;
    case bekMemo: index = 2; break;
    case bekPict: index = 4; break;
    case bekOle: index = 6; break;
    case bekBlob: index = 0; break;
  }
  return IsNullOrEmptyTextVariant(AValue) ? index : index + 1;
}

TuiBlobPopupButtonsLayout CalculateBlobPopupButtons(const TRect& APanel, Byte AGripCorner, Integer APanelHeight,
                                                    Integer APopupWidth, Integer W, Integer H) {
  TuiBlobPopupButtonsLayout layout;
  Integer x = W;
  if (AGripCorner == 1 || AGripCorner == 3) {
    x += H / 6 + APopupWidth - APanel.left;
  } else {
    x += (H / 6) * 2;
    if (x - W < APanel.left) x = APanel.left + W;
  }
  Integer top;
  if (AGripCorner > 1) {
    top = APanel.bottom - H - (APanelHeight - H) / 2 + 2;
    layout.Anchors = TAnchors{akRight, akBottom};
  } else {
    top = APanel.top + (APanelHeight - H) / 2 - 2;
    layout.Anchors = TAnchors{akTop, akRight};
  }
  layout.Cancel = TRect{APopupWidth - x, top, W, H};
  layout.OK = TRect{layout.Cancel.left - H / 3 - W, top, W, H};
  return layout;
}

TCustomImageList* BlobEditImages() { return blobEditImages; }

void StartBlobEditUnit() {
  if (blobEditUnitCount++ > 0) return;
  const char* names[] = {"UIBMBLOB_BLOB_NULL", "UIBMBLOB_BLOB", "UIBMBLOB_MEMO_NULL", "UIBMBLOB_MEMO",
                         "UIBMBLOB_PICT_NULL", "UIBMBLOB_PICT", "UIBMBLOB_OLE_NULL",  "UIBMBLOB_OLE"};
  for (const char* name : names) {
    TBitmap bitmap;
    bitmap.LoadFromResourceName(HInstance, name);
    if (blobEditImages == nullptr) blobEditImages = new TImageList(bitmap.Width(), bitmap.Height());
    blobEditImages->AddMasked(&bitmap, static_cast<TColor>(0x008080));
  }
  GetEditPropertiesRegistry()->Register(TuiBlobEditProperties::StaticClass(), LocalizeText(scxBlobEditDescription));
}

void StopBlobEditUnit() {
  if (blobEditUnitCount == 0 || --blobEditUnitCount > 0) return;
  GetEditPropertiesRegistry()->Unregister(TuiBlobEditProperties::StaticClass());
  delete blobEditImages;
  blobEditImages = nullptr;
}

}  // namespace k58::editors

void GetBlobDisplayText(const Variant& AValue, TuiCustomBlobEditProperties* AProperties, bool AFullText,
                        String& AText) {
  const TuiBlobEditKind kind = AProperties->EffectiveBlobEditKind();
  AText.clear();
  if (AFullText && kind == bekMemo && IsStringValue(AValue)) {
    AText = VarToStr(AValue);
  } else if (AProperties->BlobPaintStyle() == bpsDefault) {
    const bool null = VarIsNull(AValue);
    if (kind == bekMemo) AText = LocalizeText(null ? scxMemoNull : scxMemoValue);
    if (kind == bekPict) AText = LocalizeText(null ? scxPictureNull : scxPictureValue);
  } else if (AProperties->BlobPaintStyle() == bpsText && kind == bekMemo && IsStringValue(AValue)) {
    const String text = VarToStr(AValue);
    AText = text.substr(0, text.find_first_of("\r\n"));
  }
}

// ---- Properties -----------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomBlobEditProperties) {}

K58_IMPLEMENT_CLASS(TuiBlobEditProperties) {
  using S = TuiBlobEditProperties;
  b.Prop("AlwaysSaveData", &S::AlwaysSaveData, &S::SetAlwaysSaveData).Default(true);
  b.Prop("AssignedValues", &S::AssignedValues, &S::SetAssignedValues);
  b.Prop("BlobEditKind", &S::BlobEditKind, &S::SetBlobEditKind).Default(bekAuto);
  b.Prop("BlobPaintStyle", &S::BlobPaintStyle, &S::SetBlobPaintStyle).Default(bpsIcon);
  b.Prop("ImeMode", &S::ImeMode, &S::SetImeMode).Default(imDontCare);
  b.Prop("ImeName", &S::ImeName, &S::SetImeName).Type("TImeName");
  b.Prop("ImmediatePopup", &S::ImmediatePopup, &S::SetImmediatePopup).Default(true);
  b.Prop("ImmediatePost", &S::ImmediatePost, &S::SetImmediatePost).Default(false);
  b.Prop("MemoAutoReplace", &S::MemoAutoReplace, &S::SetMemoAutoReplace).Default(false);
  b.Prop("MemoCharCase", &S::MemoCharCase, &S::SetMemoCharCase).Default(ecNormal);
  b.Prop("MemoMaxLength", &S::MemoMaxLength, &S::SetMemoMaxLength).Default(0);
  b.Prop("MemoOEMConvert", &S::MemoOEMConvert, &S::SetMemoOEMConvert).Default(false);
  b.Prop("MemoScrollBars", &S::MemoScrollBars, &S::SetMemoScrollBars).Default(ssNone);
  b.Prop("MemoWantReturns", &S::MemoWantReturns, &S::SetMemoWantReturns).Default(true);
  b.Prop("MemoWantTabs", &S::MemoWantTabs, &S::SetMemoWantTabs).Default(true);
  b.Prop("MemoWordWrap", &S::MemoWordWrap, &S::SetMemoWordWrap).Default(true);
  b.Prop("PictureAutoSize", &S::PictureAutoSize, &S::SetPictureAutoSize).Default(true);
  b.Prop("PictureFilter", &S::PictureFilter, &S::SetPictureFilter);
  b.Prop("PictureGraphicClassName", &S::PictureGraphicClassName, &S::SetPictureGraphicClassName)
      .Stored(&S::IsPictureGraphicClassNameStored);
  b.Prop("PictureTransparency", &S::PictureTransparency, &S::SetPictureTransparency).Default(gtDefault);
  b.Prop("PopupHeight", &S::PopupHeight, &S::SetPopupHeight).Default(200);
  b.Prop("PopupWidth", &S::PopupWidth, &S::SetPopupWidth).Default(250);
  b.Prop("ReadOnly", &S::ReadOnly, &S::SetReadOnly).Stored(&S::IsReadOnlyStored);
  b.Prop("ShowExPopupItems", &S::ShowExPopupItems, &S::SetShowExPopupItems).Default(true);
  b.Prop("ShowPicturePopup", &S::ShowPicturePopup, &S::SetShowPicturePopup).Default(true);
  b.Prop("OnAssignPicture", &S::OnAssignPicture, &S::SetOnAssignPicture);
  b.Prop("OnButtonClick", &S::OnButtonClick, &S::SetOnButtonClick);
  b.Prop("OnChange", &S::OnChange, &S::SetOnChange);
  b.Prop("OnCloseQuery", &S::OnCloseQuery, &S::SetOnCloseQuery);
  b.Prop("OnCloseUp", &S::OnCloseUp, &S::SetOnCloseUp);
  b.Prop("OnEditValueChanged", &S::OnEditValueChanged, &S::SetOnEditValueChanged);
  b.Prop("OnGetGraphicClass", &S::OnGetGraphicClass, &S::SetOnGetGraphicClass);
  b.Prop("OnInitPopup", &S::OnInitPopup, &S::SetOnInitPopup);
  b.Prop("OnPopup", &S::OnPopup, &S::SetOnPopup);
  b.Prop("OnValidate", &S::OnValidate, &S::SetOnValidate);
}

TuiCustomBlobEditProperties::TuiCustomBlobEditProperties() : pictureGraphicClass_(GetDefaultPictureGraphicClass()) {
  SetImmediatePopup(true);
  SetPopupMinWidth(160);
  SetPopupMinHeight(140);
  SetPopupHeight(200);
  SetPopupWidth(250);
}

TGraphicClass TuiCustomBlobEditProperties::GetDefaultPictureGraphicClass() const {
  return GetRegisteredGraphicClasses()[0];
}

void TuiCustomBlobEditProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TuiCustomBlobEditProperties*>(Source);
  if (source == nullptr) return TuiCustomPopupEditProperties::Assign(Source);
  BeginUpdate();
  try {
    TuiCustomPopupEditProperties::Assign(Source);
    alwaysSaveData_ = source->alwaysSaveData_;
    SetBlobEditKind(source->blobEditKind_);
    SetBlobPaintStyle(source->blobPaintStyle_);
    memoAutoReplace_ = source->memoAutoReplace_;
    memoCharCase_ = source->memoCharCase_;
    memoMaxLength_ = source->memoMaxLength_;
    memoOEMConvert_ = source->memoOEMConvert_;
    memoScrollBars_ = source->memoScrollBars_;
    memoWantReturns_ = source->memoWantReturns_;
    memoWantTabs_ = source->memoWantTabs_;
    memoWordWrap_ = source->memoWordWrap_;
    pictureAutoSize_ = source->pictureAutoSize_;
    pictureFilter_ = source->pictureFilter_;
    SetPictureGraphicClass(source->pictureGraphicClass_);
    pictureTransparency_ = source->pictureTransparency_;
    showExPopupItems_ = source->showExPopupItems_;
    showPicturePopup_ = source->showPicturePopup_;
    onAssignPicture_ = source->onAssignPicture_;
    onGetGraphicClass_ = source->onGetGraphicClass_;
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TuiCustomBlobEditProperties::DefineProperties(TFiler* Filer) {
  TuiCustomPopupEditProperties::DefineProperties(Filer);
  // A nil class is not the default, but an empty name is never written: this flag says so.
  Filer->DefineProperty(
      "IsPictureGraphicClassNameEmpty",
      [this](TReader* R) {
        if (R->ReadBoolean()) SetPictureGraphicClass(nullptr);
      },
      [](TWriter* W) { W->WriteBoolean(true); }, IsPictureGraphicClassNameEmpty());
}

void TuiCustomBlobEditProperties::SetDropDownButtonKindFor(TuiBlobEditKind AKind) {
  if (Buttons()->Count() > 0) Buttons()->Items(0)->SetKind(AKind == bekMemo || AKind == bekPict ? bkDown : bkEllipsis);
}

void TuiCustomBlobEditProperties::SetBlobEditKind(TuiBlobEditKind Value) {
  if (blobEditKind_ == Value) return;
  blobEditKind_ = Value;
  effectiveKind_ = Value;
  SetDropDownButtonKindFor(Value);
  Changed();
}

void TuiCustomBlobEditProperties::SetBlobPaintStyle(TuiBlobPaintStyle Value) {
  if (blobPaintStyle_ == Value) return;
  blobPaintStyle_ = Value;
  Changed();
}

void TuiCustomBlobEditProperties::SetPictureGraphicClass(TGraphicClass Value) {
  if (pictureGraphicClass_ == Value) return;
  pictureGraphicClass_ = Value;
  Changed();
}

String TuiCustomBlobEditProperties::PictureGraphicClassName() const {
  return pictureGraphicClass_ != nullptr ? pictureGraphicClass_->Name() : String();
}

void TuiCustomBlobEditProperties::SetPictureGraphicClassName(const String& Value) {
  if (Value.empty()) {
    SetPictureGraphicClass(nullptr);
  } else if (TGraphicClass found = FindRegisteredGraphicClass(Value)) {
    SetPictureGraphicClass(found);
  }
}

TGraphicClass TuiCustomBlobEditProperties::GetPictureGraphicClass(TObject* AItem, Integer ARecordIndex,
                                                                 bool APastingFromClipboard) {
  TGraphicClass result = pictureGraphicClass_;
  if (result == nullptr && APastingFromClipboard) result = TBitmap::StaticClass();
  if (onGetGraphicClass_.Assigned()) onGetGraphicClass_(AItem, ARecordIndex, APastingFromClipboard, result);
  return result;
}

void TuiCustomBlobEditProperties::ResolveBlobEditKind() {
  if (blobEditKind_ != bekAuto) {
    effectiveKind_ = blobEditKind_;
    return;
  }
  IuiEditDefaultValuesProvider* provider = DefaultValuesProvider();
  TuiBlobEditKind kind = bekBlob;
  if (provider != nullptr) {
    if (!provider->IsDataAvailable()) {
      kind = bekAuto;
    } else {
      switch (provider->DefaultBlobKind()) {
        case 2: kind = bekPict; break;
        case 3: kind = bekMemo; break;
        case 4: kind = bekOle; break;
        default: kind = bekBlob; break;
      }
    }
  }
  if (kind == effectiveKind_) return;
  effectiveKind_ = kind;
  if (kind == bekAuto) return;
  const bool wasLocked = IsChangeLocked();
  LockChanged(true);
  try {
    SetDropDownButtonKindFor(kind);
  } catch (...) {
    LockChanged(wasLocked);
    throw;
  }
  LockChanged(wasLocked);
}

TClass TuiCustomBlobEditProperties::GetViewDataClass() const { return TuiBlobEditViewData::StaticClass(); }
TClass TuiCustomBlobEditProperties::GetEditClass() const { return TuiBlobEdit::StaticClass(); }
TClass TuiCustomBlobEditProperties::GetViewInfoClass() const { return TuiBlobEditViewInfo::StaticClass(); }
TClass TuiCustomBlobEditProperties::GetPopupWindowClass() const { return TuiBlobEditPopupWindow::StaticClass(); }

bool TuiCustomBlobEditProperties::CompareDisplayValues(const Variant& AEditValue1, const Variant& AEditValue2) {
  ResolveBlobEditKind();
  return blobPaintStyle_ == bpsText && effectiveKind_ == bekMemo && IsStringValue(AEditValue1) &&
         IsStringValue(AEditValue2) && VarToStr(AEditValue1) == VarToStr(AEditValue2);
}

WideString TuiCustomBlobEditProperties::GetDisplayText(const Variant& AEditValue, bool AFullText) {
  if (VarIsNull(AEditValue)) return WideString();
  String text;
  switch (effectiveKind_) {
    case bekMemo: GetBlobDisplayText(AEditValue, this, AFullText, text); break;
    case bekPict: text = LocalizeText(scxPictureValue); break;
    case bekOle: text = LocalizeText(scxOle); break;
    case bekBlob: text = LocalizeText(scxBlob); break;
    case bekAuto: break;
  }
  return Utf8ToWide(text);
}

Word TuiCustomBlobEditProperties::GetEditCapabilities() { return Buttons()->Count() > 0 ? 36 : 4; }

bool TuiCustomBlobEditProperties::SupportsValueFormatting(bool) {
  ResolveBlobEditKind();
  IuiEditDefaultValuesProvider* provider = DefaultValuesProvider();
  return effectiveKind_ == bekMemo && (provider == nullptr || !provider->IsBlobField());
}

// ---- Popup content --------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiPopupMemo) {}
K58_IMPLEMENT_CLASS(TuiPopupImage) {}

namespace {

// Writes a key's close result as the popup's modal result; a non-zero one closes the popup.
void ApplyBlobPopupKey(TuiCustomBlobEdit* AEdit, Word& Key, TShiftState Shift, bool ACloseOnEnter) {
  if (AEdit == nullptr || AEdit->PopupWindow() == nullptr) return;
  const Integer result =
      k58::editors::GetBlobPopupCloseResult(Key, Shift, ACloseOnEnter, AEdit->ActiveProperties()->AlwaysSaveData());
  if (result != 0) AEdit->PopupWindow()->SetModalResult(result == 1 ? mrOk : mrCancel);
}

}  // namespace

void TuiPopupMemo::KeyDown(Word& Key, TShiftState Shift) {
  if (BlobEdit != nullptr) ApplyBlobPopupKey(BlobEdit, Key, Shift, !BlobEdit->ActiveProperties()->MemoWantReturns());
  if (Key != 0) TuiMemo::KeyDown(Key, Shift);
}

void TuiPopupImage::KeyDown(Word& Key, TShiftState Shift) {
  ApplyBlobPopupKey(BlobEdit, Key, Shift, true);
  if (Key != 0) TuiImage::KeyDown(Key, Shift);
}

K58_IMPLEMENT_CLASS(TuiBlobEditPopupWindow) {}

void TuiBlobEditPopupWindow::ForwardChar(char AChar) {
  auto* edit = dynamic_cast<TuiCustomBlobEdit*>(Edit());
  auto* memo = edit != nullptr ? dynamic_cast<TuiPopupMemo*>(edit->PopupContent()) : nullptr;
  if (memo != nullptr && !memo->ActiveProperties()->ReadOnly() && edit->ActiveProperties()->MemoAutoReplace()) {
    memo->SetEditValue(Variant(String(1, AChar)));
    memo->SetSelStart(1);
    memo->SetModifiedAfterEnter(true);
    memo->SetModified(true);
    edit->PopupContentChanged(memo);
    return;
  }
  TuiPopupEditPopupWindow::ForwardChar(AChar);
}

// ---- View -----------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiBlobEditViewInfo) {}
K58_IMPLEMENT_CLASS(TuiBlobEditViewData) {}

void TuiBlobEditViewInfo::OffsetRects(Integer DX, Integer DY) {
  TuiCustomTextEditViewInfo::OffsetRects(DX, DY);
  OffsetRect(&ImageRect, DX, DY);
}

void TuiBlobEditViewInfo::Paint(TuiCanvas* ACanvas) {
  TCanvas* canvas = ACanvas->Canvas();
  if (!RectVisible(canvas->Handle(), &Bounds)) return;
  TCustomImageList* images = k58::editors::BlobEditImages();
  if (ImageIndex < 0 || images == nullptr || ImageIndex >= images->Count()) {
    TuiCustomTextEditViewInfo::Paint(ACanvas);
  } else {
    const bool transparent = TransparentBackground;
    Integer saved = ACanvas->SaveState();
    TRect clip{};
    IntersectRect(&clip, &ImageRect, &ClientRect);
    ACanvas->IntersectClipRect(clip);
    if (!transparent) ACanvas->FillRectWithColor(ImageRect, BackgroundColor);
    images->Draw(canvas, ImageRect.left, ImageRect.top, ImageIndex, Enabled);
    ACanvas->RestoreState(saved);
    saved = ACanvas->SaveState();
    if (!transparent) ACanvas->ExcludeClipRect(ImageRect);
    const String text = Text;
    Text.clear();
    TuiCustomTextEditViewInfo::Paint(ACanvas);
    Text = text;
    ACanvas->RestoreState(saved);
  }
}

void TuiBlobEditViewData::Calculate(TuiCanvas* ACanvas, const TRect& ABounds, const TPoint& P, Byte AButton,
                                    TShiftState AShift, TuiCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  TuiCustomDropDownEditViewData::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  auto* view = static_cast<TuiBlobEditViewInfo*>(AViewInfo);
  TCustomImageList* images = k58::editors::BlobEditImages();
  const Integer w = images != nullptr ? images->Width() : 0, h = images != nullptr ? images->Height() : 0;
  const TRect& c = view->ClientRect;
  view->ImageRect.left = c.left + (c.right - c.left - w) / 2;
  view->ImageRect.top = c.top + (c.bottom - c.top - h) / 2;
  view->ImageRect.right = view->ImageRect.left + w;
  view->ImageRect.bottom = view->ImageRect.top + h;
  view->TransparentBackground = Edit != nullptr && Edit->IsTransparent();
  if (Edit != nullptr) EditValueToDrawValue(ACanvas, Edit->EditValue(), AViewInfo);
  view->DrawTextFlags = GetDrawTextFlags();
}

void TuiBlobEditViewData::EditValueToDrawValue(TuiCanvas* ACanvas, const Variant& AEditValue,
                                               TuiCustomEditViewInfo* AViewInfo) {
  auto* properties = static_cast<TuiCustomBlobEditProperties*>(Properties);
  auto* view = static_cast<TuiBlobEditViewInfo*>(AViewInfo);
  properties->ResolveBlobEditKind();
  if (properties->BlobPaintStyle() == bpsIcon) {
    view->Text.clear();
    // A kind still unresolved (a provider without data) shows no icon.
    view->ImageIndex = k58::editors::GetBlobIconIndex(properties->EffectiveBlobEditKind(), AEditValue);
  } else {
    TuiCustomDropDownEditViewData::EditValueToDrawValue(ACanvas, AEditValue, AViewInfo);
    view->ImageIndex = -1;
  }
}

void TuiBlobEditViewData::EditValueToDisplayText(const Variant& AEditValue, String& AText) {
  GetBlobDisplayText(AEditValue, static_cast<TuiCustomBlobEditProperties*>(Properties), false, AText);
}

void TuiBlobEditViewData::GetEditContentSize(TuiCanvas* ACanvas, const Variant& AEditValue,
                                             const TSize& AEditSizeProperties, TSize& ASize) {
  TuiCustomDropDownEditViewData::GetEditContentSize(ACanvas, AEditValue, AEditSizeProperties, ASize);
  TCustomImageList* images = k58::editors::BlobEditImages();
  if (static_cast<TuiCustomBlobEditProperties*>(Properties)->BlobPaintStyle() == bpsIcon && images != nullptr)
    ASize.cx += images->Width();
}

TuiTextOutFlags TuiBlobEditViewData::GetDrawTextFlags() {
  // Single line, vertically centred, with an end ellipsis outside cells or when asked for.
  return IsInplace && (State.Flag & tevfEndEllipsis) == 0 ? 0x210 : 0xA10;
}

// ---- Editor ---------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomBlobEdit) {}

K58_IMPLEMENT_CLASS(TuiBlobEdit) {
  using S = TuiBlobEdit;
  PublishControl(b, {"Anchors",     "Constraints", "DragCursor", "DragKind",       "DragMode",
                     "Enabled",     "ParentColor", "ParentFont", "ParentShowHint", "PopupMenu",
                     "ShowHint",    "TabOrder",    "TabStop",     "Text",       "Visible",        "OnClick",
                     "OnContextPopup", "OnDblClick", "OnDragDrop", "OnDragOver", "OnEndDock",     "OnEndDrag",
                     "OnEnter",     "OnExit",      "OnKeyDown",   "OnKeyPress", "OnKeyUp",        "OnMouseDown",
                     "OnMouseMove", "OnMouseUp",   "OnStartDock", "OnStartDrag"});
  b.Prop("ImeMode", &S::ImeMode, &S::SetImeMode).Default(imDontCare);
  b.Prop("ImeName", &S::ImeNameValue, &S::SetImeName);
  b.Prop("Properties", &S::Properties, &S::SetProperties);
}

TClass TuiCustomBlobEdit::GetPropertiesClass() const { return TuiCustomBlobEditProperties::StaticClass(); }
TClass TuiBlobEdit::GetPropertiesClass() const { return TuiBlobEditProperties::StaticClass(); }

void TuiCustomBlobEdit::BeforeDestruction() {
  DestroyPopupContent();
  TuiCustomPopupEdit::BeforeDestruction();
}

void TuiCustomBlobEdit::Initialize() {
  TuiCustomPopupEdit::Initialize();
  SetControlStyle(ControlStyle() - TControlStyle{csSetCaption});
  SetTabStop(true);
}

TGraphicClass TuiCustomBlobEdit::GetPictureGraphicClass(bool APastingFromClipboard) {
  if (IsInplace()) return ActiveProperties()->GetPictureGraphicClass(nullptr, -1, APastingFromClipboard);
  TGraphicClass result = ActiveProperties()->PictureGraphicClass();
  if (result == nullptr && APastingFromClipboard) result = TBitmap::StaticClass();
  if (onGetGraphicClass_.Assigned()) onGetGraphicClass_(this, APastingFromClipboard, result);
  return result;
}

void TuiCustomBlobEdit::PopupContentEditing(TObject*, bool& CanEdit) { CanEdit = CanModify(); }

void TuiCustomBlobEdit::PopupContentChanged(TObject*) {
  if (okButton_ == nullptr) return;
  okButton_->SetEnabled(true);
  okButton_->SetDefault(true);
}

TuiCustomEdit* TuiCustomBlobEdit::ContentOf(TClass AClass) {
  if (content_ != nullptr && content_->ClassType() != AClass) DestroyPopupContent();
  if (content_ == nullptr) {
    if (AClass == TuiPopupMemo::StaticClass()) {
      auto* memo = NewObject<TuiPopupMemo>(nullptr);
      memo->BlobEdit = this;
      content_.reset(memo);
    } else {
      auto* image = NewObject<TuiPopupImage>(nullptr);
      image->BlobEdit = this;
      content_.reset(image);
    }
    content_->SetOnEditing([this](TObject* Sender, bool& CanEdit) { PopupContentEditing(Sender, CanEdit); });
    content_->Style()->SetBorderStyle(static_cast<TuiContainerBorderStyle>(ebsNone));
    content_->Properties()->SetOnChange([this](TObject* Sender) { PopupContentChanged(Sender); });
  }
  return content_.get();
}

TuiButton* TuiCustomBlobEdit::MakeButton(const String& ACaption, TModalResult AResult) {
  auto* button = NewObject<TuiButton>(nullptr);
  button->SetUseSystemPaint(false);
  button->Font()->Assign(ActiveEditStyle()->GetVisibleFont());
  button->LookAndFeel()->Assign(PopupControlsLookAndFeel());
  button->SetCaption(ACaption);
  button->SetParent(PopupWindow());
  button->SetBounds(0, 0, buttonWidth_, buttonHeight_);
  button->SetModalResult(AResult);
  return button;
}

void TuiCustomBlobEdit::SetupPopupContent() {
  TuiCustomBlobEditProperties* properties = ActiveProperties();
  const TuiBlobEditKind kind = properties->EffectiveBlobEditKind();
  if (kind != bekMemo && kind != bekPict) return;
  TuiCustomEdit* content = ContentOf(kind == bekMemo ? TuiPopupMemo::StaticClass() : TuiPopupImage::StaticClass());
  const bool readOnly = ActiveProperties()->ReadOnly() || !IsDataAvailable();
  content->Properties()->SetReadOnly(readOnly);
  properties->SetPopupControl(content);
  properties->SetPopupSysPanelStyle(true);
  content->SetParent(PopupWindow());
  if (kind == bekMemo) {
    auto* memo = static_cast<TuiPopupMemo*>(content);
    TuiCustomMemoProperties* m = memo->Properties();
    m->SetCharCase(properties->MemoCharCase());
    m->SetImeMode(properties->ImeMode());
    m->SetImeName(properties->ImeName());
    m->SetMaxLength(properties->MemoMaxLength());
    m->SetOEMConvert(properties->MemoOEMConvert());
    m->SetScrollBars(properties->MemoScrollBars());
    m->SetWantReturns(properties->MemoWantReturns());
    m->SetWantTabs(properties->MemoWantTabs());
    m->SetWordWrap(properties->MemoWordWrap());
    properties->SetPopupAutoSize(false);
    memo->SetEditValue(EditValue());
    memo->Style()->LookAndFeel()->Assign(Style()->LookAndFeel());
    memo->Style()->SetFont(ActiveEditStyle()->GetVisibleFont());
    memo->Style()->SetColor(ActiveEditStyle()->Color());
  } else {
    auto* image = static_cast<TuiPopupImage*>(content);
    TuiCustomImageProperties* p = image->Properties();
    p->SetShowFocusRect(false);
    p->SetStretch(true);
    p->SetCustomFilter(properties->PictureFilter());
    p->SetGraphicTransparency(properties->PictureTransparency());
    p->SetOnClosePopup([this](TObject* Sender, Byte AReason) { PopupImageClosePopup(Sender, AReason); });
    TuiPopupMenuItems items = p->PopupMenuLayout()->MenuItems();
    if (!properties->ShowPicturePopup()) {
      items = TuiPopupMenuItems{};
    } else if (!properties->ShowExPopupItems()) {
      items = items - TuiPopupMenuItems{pmiLoad, pmiSave};
    }
    p->PopupMenuLayout()->SetMenuItems(items);
    p->SetGraphicClass(properties->PictureGraphicClass());
    image->SetOnGetGraphicClass([this](TObject*, bool APasting, TGraphicClass& AClass) {
      AClass = GetPictureGraphicClass(APasting);
    });
    p->SetOnGetGraphicClass([this](TObject*, Integer, bool APasting, TGraphicClass& AClass) {
      AClass = GetPictureGraphicClass(APasting);
    });
    LoadPictureFromValue(image->Picture(), GetPictureGraphicClass(false), EditValue());
    image->SetModifiedAfterEnter(false);
    image->SetModified(false);
    image->Style()->LookAndFeel()->Assign(Style()->LookAndFeel());
    properties->SetPopupAutoSize(properties->PictureAutoSize());
  }

  // The buttons: Close alone for a value that cannot be changed, else OK and Cancel.
  const String cancelCaption = LocalizeText(readOnly ? scxButtonClose : scxButtonCancel);
  const String okCaption = LocalizeText(scxButtonOK);
  TCanvas* canvas = Canvas()->Canvas();
  canvas->SetFont(ActiveEditStyle()->GetVisibleFont());
  buttonWidth_ = std::max(canvas->TextWidth(okCaption + "00"), canvas->TextWidth(cancelCaption + "00"));
  buttonHeight_ = MulDiv(canvas->TextHeight("Wg"), 20, 13);
  if (cancelButton_ == nullptr) cancelButton_.reset(MakeButton(cancelCaption, mrCancel));
  cancelButton_->SetCaption(cancelCaption);
  cancelButton_->SetCancel(true);
  cancelButton_->SetBounds(cancelButton_->Left(), cancelButton_->Top(), buttonWidth_, buttonHeight_);
  if (!readOnly) {
    if (okButton_ == nullptr) okButton_.reset(MakeButton(okCaption, mrOk));
    okButton_->SetBounds(okButton_->Left(), okButton_->Top(), buttonWidth_, buttonHeight_);
    okButton_->SetEnabled(content->ModifiedAfterEnter());
    okButton_->SetDefault(false);
  } else {
    okButton_.reset();
  }
  const Integer h = buttonHeight_;
  PopupWindow()->SetMinSysPanelHeight(h + h / 3);
  const Integer perButton = h / 3 + buttonWidth_;
  properties->SetPopupMinWidth(GetSystemMetrics(SM_CXVSCROLL) + (okButton_ != nullptr ? 2 * perButton : perButton) +
                               h / 2);
}

void TuiCustomBlobEdit::DestroyPopupContent() {
  if (Properties() != nullptr && ActiveProperties()->PopupControl() == content_.get())
    ActiveProperties()->SetPopupControl(nullptr);
  okButton_.reset();
  cancelButton_.reset();
  content_.reset();
}

void TuiCustomBlobEdit::DoInitPopup() {
  ActiveProperties()->ResolveBlobEditKind();
  SetupPopupContent();
  TuiCustomPopupEdit::DoInitPopup();
}

TControl* TuiCustomBlobEdit::GetPopupFocusedControl() { return content_.get(); }

void TuiCustomBlobEdit::CalculatePopupContentSize(TSize& ASize) {
  auto* image = dynamic_cast<TuiPopupImage*>(content_.get());
  if (image != nullptr && ActiveProperties()->EffectiveBlobEditKind() == bekPict && ActiveProperties()->PictureAutoSize()) {
    TGraphic* graphic = image->Picture()->Graphic();
    ASize = graphic != nullptr ? TSize{graphic->Width() + 4, graphic->Height() + 4} : TSize{4, 4};
    return;
  }
  TuiCustomPopupEdit::CalculatePopupContentSize(ASize);
}

void TuiCustomBlobEdit::PreparePopup() {
  TuiCustomPopupEdit::PreparePopup();
  if (cancelButton_ == nullptr || PopupWindow() == nullptr) return;
  TuiCustomEditPopupWindowViewInfo* view = PopupWindow()->ViewInfo();
  // The system panel: the band on the grip's side, between the grip (when it is at the right) and the
  // left border.
  const Integer s = view->SysPanelHeight;
  const TRect& region = view->SizingRegionBounds;
  TRect panel = region;
  if (view->IsGripAtTop())
    panel.bottom = panel.top + s;
  else
    panel.top = panel.bottom - s;
  if (!view->IsGripAtLeft()) panel.left = view->Sizeable ? view->SizeGripRect.left : region.right;
  const k58::editors::TuiBlobPopupButtonsLayout layout = k58::editors::CalculateBlobPopupButtons(
      panel, view->SizeGripCorner, s, PopupWindow()->Width(), buttonWidth_, buttonHeight_);
  cancelButton_->SetBounds(layout.Cancel.left, layout.Cancel.top, layout.Cancel.right, layout.Cancel.bottom);
  cancelButton_->SetAnchors(layout.Anchors);
  if (okButton_ != nullptr) {
    okButton_->SetBounds(layout.OK.left, layout.OK.top, layout.OK.right, layout.OK.bottom);
    okButton_->SetAnchors(layout.Anchors);
  }
}

void TuiCustomBlobEdit::SavePopupValue() {
  Variant value;
  if (auto* memo = dynamic_cast<TuiPopupMemo*>(content_.get())) {
    value = Variant(memo->Lines()->GetText());
  } else if (auto* image = dynamic_cast<TuiPopupImage*>(content_.get())) {
    value = image->EditValue();
    TGraphic* graphic = image->Picture()->Graphic();
    savedGraphicClass_ = graphic != nullptr ? static_cast<TGraphicClass>(graphic->ClassType()) : nullptr;
  } else {
    return;
  }
  InternalSetEditValue(value, true);
  SetModified(true);
}

void TuiCustomBlobEdit::AssignPopupPicture() {
  auto* image = dynamic_cast<TuiPopupImage*>(content_.get());
  if (image == nullptr) return;
  LockDataBindingEdit(true);
  try {
    if (Properties()->OnAssignPicture().Assigned()) Properties()->OnAssignPicture()(this, image->Picture());
    if (RepositoryItem() != nullptr && ActiveProperties()->OnAssignPicture().Assigned())
      ActiveProperties()->OnAssignPicture()(this, image->Picture());
  } catch (...) {
    LockDataBindingEdit(false);
    throw;
  }
  LockDataBindingEdit(false);
  const bool modified = Modified();
  SetModifiedAfterEnter(false);
  DoEditing();
  SetModified(modified);
}

void TuiCustomBlobEdit::PopupImageClosePopup(TObject*, Byte AReason) {
  if (PopupWindow() != nullptr && PopupWindow()->IsShown()) return;
  if (AReason == pcrAccept) {
    SavePopupValue();
    AssignPopupPicture();
  }
  DoClosePopup(AReason);
}

void TuiCustomBlobEdit::PopupWindowClosed(TObject* Sender) {
  auto alive = AliveToken();
  LockChangeEvents(true);
  try {
    const TModalResult result = PopupWindow() != nullptr ? PopupWindow()->ModalResult() : mrNone;
    if (content_ != nullptr &&
        k58::editors::IsBlobPopupValueSaved(content_->ModifiedAfterEnter(), result,
                                            ActiveProperties()->AlwaysSaveData()) &&
        DoEditing()) {
      SavePopupValue();
      AssignPopupPicture();
      if (ActiveProperties()->ImmediatePost() && CanPostEditValue() && ValidateEdit(true)) PostEditValue(false);
    }
    if (alive.expired()) return;
    TuiCustomPopupEdit::PopupWindowClosed(Sender);
  } catch (...) {
    if (!alive.expired()) LockChangeEvents(false);
    throw;
  }
  if (alive.expired()) return;
  LockChangeEvents(false);
  if (!alive.expired()) UpdateAtCursorPos(false);
}

void TuiCustomBlobEdit::PropertiesChanged(TObject* Sender) {
  if (ComponentState().Contains(csDestroying)) return;
  TuiCustomPopupEdit::PropertiesChanged(Sender);
  UpdateAtCursorPos(false);
  if (auto* image = dynamic_cast<TuiPopupImage*>(content_.get())) {
    image->Properties()->SetGraphicClass(ActiveProperties()->PictureGraphicClass());
  } else if (auto* memo = dynamic_cast<TuiPopupMemo*>(content_.get())) {
    memo->Properties()->SetImeMode(ActiveProperties()->ImeMode());
    memo->Properties()->SetImeName(ActiveProperties()->ImeName());
  }
}

void TuiCustomBlobEdit::SynchronizeDisplayValue() { UpdateAtCursorPos(false); }

void TuiCustomBlobEdit::ControlFontChanged() {
  TuiCustomPopupEdit::ControlFontChanged();
  if (content_ == nullptr) return;
  TFont* font = ActiveEditStyle()->GetVisibleFont();
  if (dynamic_cast<TuiPopupMemo*>(content_.get()) != nullptr) content_->Style()->SetFont(font);
  if (okButton_ != nullptr) okButton_->Font()->Assign(font);
  if (cancelButton_ != nullptr) cancelButton_->Font()->Assign(font);
}

void TuiCustomBlobEdit::ControlColorChanged() {
  TuiCustomPopupEdit::ControlColorChanged();
  if (dynamic_cast<TuiPopupMemo*>(content_.get()) != nullptr) content_->Style()->SetColor(ActiveEditStyle()->Color());
}

bool TuiCustomBlobEdit::PopupShowsMemo() {
  return ActiveProperties()->EffectiveBlobEditKind() == bekMemo && dynamic_cast<TuiPopupMemo*>(content_.get()) != nullptr &&
         HasPopupWindow();
}

void TuiCustomBlobEdit::GetEditingText(String& AText) {
  AText.clear();
  const Variant value = EditValue();
  if (ComponentState().Contains(csDesigning)) {
    AText = VarToStr(value);
  } else if (ActiveProperties()->EffectiveBlobEditKind() == bekMemo) {
    if (PopupShowsMemo())
      AText = static_cast<TuiPopupMemo*>(content_.get())->Lines()->GetText();
    else if (IsStringValue(value))
      AText = VarToStr(value);
  }
}

bool TuiCustomBlobEdit::SetEditingValue(const String& AText) {
  if (ComponentState().Contains(csDesigning)) {
    InternalSetEditValue(Variant(AText), true);
    return true;
  }
  if (ActiveProperties()->EffectiveBlobEditKind() != bekMemo) return false;
  if (PopupShowsMemo())
    static_cast<TuiPopupMemo*>(content_.get())->SetEditingText(AText);
  else
    InternalSetEditValue(Variant(AText), true);
  return true;
}

void TuiCustomBlobEdit::SetEditingText(const String& AText) {
  if (ActiveProperties()->EffectiveBlobEditKind() != bekMemo) return;
  if (PopupShowsMemo())
    static_cast<TuiPopupMemo*>(content_.get())->SetText(AText);
  else
    TuiCustomPopupEdit::SetEditingText(AText);
}
