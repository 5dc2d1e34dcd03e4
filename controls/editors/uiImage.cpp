// The image editor: graphic classes and picture values, the popup menu layout, the properties, the view
// data and view info that place and draw the picture, and the editor with its scrolling, context menu,
// clipboard and file dialogs.
#include "controls/editors/uiImage.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "platform/classes/Filer.h"
#include "platform/classes/Streams.h"
#include "platform/forms/Clipbrd.h"
#include "platform/forms/ControlsPublish.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/Jpeg.h"
#include "platform/forms/StdCtrlsPublish.h"
#include "platform/rtl/CodePages.h"
#include "platform/rtl/SysUtils.h"

using namespace uiimageconsts;
using k58::editors::TScopedFlag;

namespace {

Integer imageUnitCount = 0;
TCustomImageList* imageMenuImages = nullptr;

// The header a graphic field puts before the file image: count 1, type 0x0100, size of the rest.
bool HasGraphicFieldHeader(const String& AValue) {
  if (AValue.size() < 8) return false;
  const auto* p = reinterpret_cast<const uint8_t*>(AValue.data());
  const uint32_t size = static_cast<uint32_t>(p[4]) | (static_cast<uint32_t>(p[5]) << 8) |
                        (static_cast<uint32_t>(p[6]) << 16) | (static_cast<uint32_t>(p[7]) << 24);
  return p[0] == 1 && p[1] == 0 && p[2] == 0 && p[3] == 1 && size == AValue.size() - 8;
}

TGraphic* NewGraphicOf(TGraphicClass AClass) {
  TObjectPtr<TObject> object = AClass->Create();
  auto* graphic = dynamic_cast<TGraphic*>(object.get());
  if (graphic != nullptr) object.release();
  return graphic;
}

// The transparency the properties ask for, set on the picture's graphic without a change notification.
void ApplyGraphicTransparency(TPicture* APicture, TuiImageTransparency ATransparency) {
  if (ATransparency == gtDefault || IsPictureEmpty(APicture)) return;
  const TNotifyEvent saved = APicture->OnChange();
  APicture->SetOnChange(TNotifyEvent());
  APicture->Graphic()->SetTransparent(ATransparency == gtTransparent);
  APicture->SetOnChange(saved);
}

TRect Intersected(const TRect& A, const TRect& B) {
  TRect r{std::max(A.left, B.left), std::max(A.top, B.top), std::min(A.right, B.right), std::min(A.bottom, B.bottom)};
  if (r.right <= r.left || r.bottom <= r.top) return TRect{};
  return r;
}

}  // namespace

// ---- Graphic classes and picture values ---------------------------------------------------------------

const std::vector<TGraphicClass>& GetRegisteredGraphicClasses() {
  static const std::vector<TGraphicClass> classes{TBitmap::StaticClass(), TIcon::StaticClass(),
                                                  TMetafile::StaticClass(), TJPEGImage::StaticClass()};
  return classes;
}

TGraphicClass FindRegisteredGraphicClass(const String& AName) {
  for (TGraphicClass graphicClass : GetRegisteredGraphicClasses()) {
    if (AreStringsEqual(graphicClass->Name(), AName, false)) return graphicClass;
  }
  return nullptr;
}

bool IsPictureEmpty(TPicture* APicture) {
  if (APicture == nullptr || APicture->Graphic() == nullptr) return true;
  TGraphic* graphic = APicture->Graphic();
  return graphic->Empty() || graphic->Width() <= 0 || graphic->Height() <= 0;
}

void LoadPictureFromValue(TPicture* APicture, TGraphicClass AGraphicClass, const Variant& AValue) {
  // A wide string is text, never a picture's bytes.
  if (!AValue.IsString() || AValue.StringRef().size() < 8) {
    APicture->Assign(nullptr);
    return;
  }
  const String& bytes = AValue.StringRef();
  const size_t offset = HasGraphicFieldHeader(bytes) ? 8 : 0;
  if (bytes.size() == offset) {
    APicture->Assign(nullptr);
    return;
  }
  TMemoryStream stream;
  stream.WriteBuffer(bytes.data() + offset, static_cast<Integer>(bytes.size() - offset));
  stream.SetPosition(0);
  try {
    TGraphicClass graphicClass = AGraphicClass != nullptr ? AGraphicClass : TBitmap::StaticClass();
    TObjectPtr<TGraphic> graphic(NewGraphicOf(graphicClass));
    if (!graphic) throw EInvalidGraphic(Format(graphicsconsts::SUnknownGraphicClass, graphicClass->Name()));
    graphic->LoadFromStream(&stream);
    APicture->SetGraphic(graphic.get());
  } catch (const Exception&) {
    // Unreadable bytes, or bytes of another format: the value shows as no picture.
    APicture->Assign(nullptr);
  } catch (const std::bad_alloc&) {
    // A picture too large for the memory left: shown as no picture as well, never the end of the program.
    APicture->Assign(nullptr);
  }
}

Variant SavePictureToValue(TPicture* APicture) {
  if (APicture == nullptr || APicture->Graphic() == nullptr) return Null();
  TMemoryStream stream;
  APicture->Graphic()->SaveToStream(&stream);
  String bytes(static_cast<size_t>(stream.Size()), '\0');
  stream.SetPosition(0);
  if (!bytes.empty()) stream.ReadBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
  return Variant(std::move(bytes));
}

TRect FitRectProportionally(const TRect& R, Integer W, Integer H) {
  const Integer rw = R.right - R.left;
  const Integer rh = R.bottom - R.top;
  if (rw <= 0 || rh <= 0 || W <= 0 || H <= 0) return R;
  TRect result{R.left, R.top, R.right, R.bottom};
  if (static_cast<double>(rw) / rh >= static_cast<double>(W) / H) {
    result.right = R.left + static_cast<Integer>(int64_t{rh} * W / H);
  } else {
    result.bottom = R.top + static_cast<Integer>(int64_t{rw} * H / W);
  }
  return result;
}

// ---- Popup menu layout --------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiPopupMenuLayout) {
  using S = TuiPopupMenuLayout;
  b.Prop("MenuItems", &S::MenuItems, &S::SetMenuItems).Stored(&S::IsMenuItemsStored);
  b.Prop("CustomMenuItemCaption", &S::CustomMenuItemCaption, &S::SetCustomMenuItemCaption);
  b.Prop("CustomMenuItemGlyph", &S::CustomMenuItemGlyph, &S::SetCustomMenuItemGlyph).Stored(&S::IsGlyphStored);
}

TuiPopupMenuLayout::TuiPopupMenuLayout(TuiCustomImage* AImage) : image_(AImage) {}

TuiPopupMenuLayout::~TuiPopupMenuLayout() = default;

bool TuiPopupMenuLayout::IsMenuItemsStored() const {
  return menuItems_ != TuiPopupMenuItems{pmiCut, pmiCopy, pmiPaste, pmiDelete, pmiLoad, pmiSave};
}

TBitmap* TuiPopupMenuLayout::CustomMenuItemGlyph() {
  if (!glyph_) glyph_.reset(new TBitmap);
  return glyph_.get();
}

void TuiPopupMenuLayout::SetCustomMenuItemGlyph(TBitmap* Value) {
  if (Value == nullptr) {
    glyph_.reset();
    return;
  }
  CustomMenuItemGlyph()->Assign(Value);
}

void TuiPopupMenuLayout::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TuiPopupMenuLayout*>(Source)) {
    if (source == this) return;
    menuItems_ = source->menuItems_;
    customMenuItemCaption_ = source->customMenuItemCaption_;
    SetCustomMenuItemGlyph(source->glyph_.get());
    return;
  }
  TPersistent::Assign(Source);
}

// ---- Properties -----------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomImageProperties) {}

K58_IMPLEMENT_CLASS(TuiImageProperties) {
  using S = TuiImageProperties;
  b.Prop("AssignedValues", &S::AssignedValues, &S::SetAssignedValues);
  b.Prop("Caption", &S::Caption, &S::SetCaption);
  b.Prop("Center", &S::Center, &S::SetCenter).Default(true);
  b.Prop("CustomFilter", &S::CustomFilter, &S::SetCustomFilter);
  b.Prop("GraphicClassName", &S::GraphicClassName, &S::SetGraphicClassName).Stored(&S::IsGraphicClassNameStored);
  b.Prop("GraphicTransparency", &S::GraphicTransparency, &S::SetGraphicTransparency).Default(gtDefault);
  b.Prop("ImmediatePost", &S::ImmediatePost, &S::SetImmediatePost).Default(false);
  b.Prop("PopupMenuLayout", &S::PopupMenuLayout, &S::SetPopupMenuLayout);
  b.Prop("ReadOnly", &S::ReadOnly, &S::SetReadOnly).Stored(&S::IsReadOnlyStored);
  b.Prop("ShowFocusRect", &S::ShowFocusRect, &S::SetShowFocusRect).Default(true);
  b.Prop("Stretch", &S::Stretch, &S::SetStretch).Default(false);
  b.Prop("OnAssignPicture", &S::OnAssignPicture, &S::SetOnAssignPicture);
  b.Prop("OnChange", &S::OnChange, &S::SetOnChange);
  b.Prop("OnCustomClick", &S::OnCustomClick, &S::SetOnCustomClick);
  b.Prop("OnEditValueChanged", &S::OnEditValueChanged, &S::SetOnEditValueChanged);
  b.Prop("OnGetGraphicClass", &S::OnGetGraphicClass, &S::SetOnGetGraphicClass);
}

TuiCustomImageProperties::TuiCustomImageProperties()
    : graphicClass_(GetDefaultGraphicClass()), popupMenuLayout_(new TuiPopupMenuLayout(nullptr)) {}

TuiCustomImageProperties::~TuiCustomImageProperties() = default;

TGraphicClass TuiCustomImageProperties::GetDefaultGraphicClass() const { return GetRegisteredGraphicClasses()[0]; }

void TuiCustomImageProperties::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TuiCustomImageProperties*>(Source)) {
    BeginUpdate();
    try {
      TuiCustomEditProperties::Assign(Source);
      caption_ = source->caption_;
      center_ = source->center_;
      customFilter_ = source->customFilter_;
      graphicClass_ = source->graphicClass_;
      graphicTransparency_ = source->graphicTransparency_;
      popupMenuLayout_->Assign(source->popupMenuLayout_.get());
      showFocusRect_ = source->showFocusRect_;
      stretch_ = source->stretch_;
      onAssignPicture_ = source->onAssignPicture_;
      onCustomClick_ = source->onCustomClick_;
      onGetGraphicClass_ = source->onGetGraphicClass_;
    } catch (...) {
      EndUpdate();
      throw;
    }
    EndUpdate();
    return;
  }
  TuiCustomEditProperties::Assign(Source);
}

void TuiCustomImageProperties::DefineProperties(TFiler* Filer) {
  TuiCustomEditProperties::DefineProperties(Filer);
  // A nil class is not the default, but an empty name is never written: this flag says so.
  Filer->DefineProperty(
      "IsGraphicClassNameEmpty", [this](TReader* R) { SetIsGraphicClassNameEmpty(R->ReadBoolean()); },
      [](TWriter* W) { W->WriteBoolean(true); }, IsGraphicClassNameEmpty());
}

void TuiCustomImageProperties::SetIsGraphicClassNameEmpty(bool Value) {
  if (Value) SetGraphicClassName("");
}

void TuiCustomImageProperties::SetCaption(const String& Value) {
  if (caption_ == Value) return;
  caption_ = Value;
  Changed();
}

void TuiCustomImageProperties::SetCenter(bool Value) {
  if (center_ == Value) return;
  center_ = Value;
  Changed();
}

void TuiCustomImageProperties::SetGraphicClass(TGraphicClass Value) {
  if (graphicClass_ == Value) return;
  graphicClass_ = Value;
  Changed();
}

String TuiCustomImageProperties::GraphicClassName() const {
  return graphicClass_ != nullptr ? graphicClass_->Name() : String();
}

void TuiCustomImageProperties::SetGraphicClassName(const String& Value) {
  if (Value.empty()) {
    SetGraphicClass(nullptr);
  } else if (TGraphicClass found = FindRegisteredGraphicClass(Value)) {
    SetGraphicClass(found);
  }
}

void TuiCustomImageProperties::SetGraphicTransparency(TuiImageTransparency Value) {
  if (graphicTransparency_ == Value) return;
  graphicTransparency_ = Value;
  Changed();
}

void TuiCustomImageProperties::SetShowFocusRect(bool Value) {
  if (showFocusRect_ == Value) return;
  showFocusRect_ = Value;
  Changed();
}

void TuiCustomImageProperties::SetStretch(bool Value) {
  if (stretch_ == Value) return;
  stretch_ = Value;
  Changed();
}

TGraphicClass TuiCustomImageProperties::GetGraphicClass(TObject* AItem, Integer ARecordIndex,
                                                        bool APastingFromClipboard) {
  TGraphicClass result = graphicClass_;
  if (result == nullptr && APastingFromClipboard) result = TBitmap::StaticClass();
  if (onGetGraphicClass_.Assigned()) onGetGraphicClass_(AItem, ARecordIndex, APastingFromClipboard, result);
  return result;
}

TClass TuiCustomImageProperties::GetViewDataClass() const { return TuiImageViewData::StaticClass(); }
TClass TuiCustomImageProperties::GetEditClass() const { return TuiImage::StaticClass(); }
TClass TuiCustomImageProperties::GetViewInfoClass() const { return TuiImageViewInfo::StaticClass(); }

WideString TuiCustomImageProperties::GetDisplayText(const Variant& AEditValue, bool) {
  if (VarIsNull(AEditValue)) return WideString();
  return Utf8ToWide(caption_);
}

void TuiCustomImageProperties::ValidateDisplayValue(Variant&, String&, bool&, TuiCustomEdit* AEdit) {
  auto* image = dynamic_cast<TuiCustomImage*>(AEdit);
  if (image == nullptr) return;
  image->LockDataBindingEdit(true);
  try {
    image->DoAssignPicture();
    image->SaveModified();
    try {
      image->SetModifiedAfterEnter(false);
      image->DoEditing();
    } catch (...) {
      image->RestoreModified();
      throw;
    }
    image->RestoreModified();
  } catch (...) {
    image->LockDataBindingEdit(false);
    throw;
  }
  image->LockDataBindingEdit(false);
}

// ---- View info ----------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiImageViewInfo) {}

TuiImageViewInfo::~TuiImageViewInfo() { ClearOwnPicture(); }

void TuiImageViewInfo::SetPicture(TPicture* APicture) {
  if (picture_ == APicture) return;
  ClearOwnPicture();
  picture_ = APicture;
}

TPicture* TuiImageViewInfo::ProvideOwnPicture() {
  if (!ownsPicture_) {
    picture_ = new TPicture;
    ownsPicture_ = true;
  }
  return picture_;
}

void TuiImageViewInfo::ClearOwnPicture() {
  if (ownsPicture_) delete picture_;
  if (ownsPicture_) picture_ = nullptr;
  ownsPicture_ = false;
}

bool TuiImageViewInfo::IsRepaintOnStateChange() { return IsPictureEmpty(picture_) && !Caption.empty(); }

TRect TuiImageViewInfo::PictureRect() const {
  const TRect& r = ClientRect;
  if (IsPictureEmpty(picture_)) return TRect{};
  const Integer w = picture_->Width();
  const Integer h = picture_->Height();
  const Integer rw = r.right - r.left;
  const Integer rh = r.bottom - r.top;
  TRect p;
  if (Stretch) {
    p = FitRectProportionally(r, w, h);
    if (Center) OffsetRect(&p, (rw - (p.right - p.left)) / 2, (rh - (p.bottom - p.top)) / 2);
  } else {
    p = TRect{r.left, r.top, r.left + w, r.top + h};
    if (Center) {
      OffsetRect(&p, (rw - w) / 2, (rh - h) / 2);
    } else {
      OffsetRect(&p, -TopLeftX, -TopLeftY);
    }
  }
  return p;
}

void TuiImageViewInfo::Paint(TuiCanvas* ACanvas) {
  const TRect r = ClientRect;
  TCanvas* canvas = ACanvas->Canvas();
  auto drawFocusFrame = [&] {
    canvas->Brush()->SetStyle(bsClear);
    canvas->Pen()->SetColor(TextColor);
    canvas->Pen()->SetStyle(psSolid);
    canvas->Rectangle(r);
    canvas->Brush()->SetStyle(bsSolid);
  };
  if (IsPictureEmpty(picture_)) {
    TuiCustomEditViewInfo::Paint(ACanvas);
    if (!Caption.empty()) {
      if (Font != nullptr) canvas->SetFont(Font);
      canvas->Font()->SetColor(TextColor);
      canvas->Brush()->SetStyle(bsClear);
      ACanvas->DrawCaptionText(Caption, r, ctfAlignHCenter | ctfAlignVCenter | ctfSingleLine, Enabled);
      canvas->Brush()->SetStyle(bsSolid);
    }
    if (ShowFocusRect) drawFocusFrame();
    return;
  }
  const TRect p = PictureRect();
  Integer saved = ACanvas->SaveState();
  ACanvas->ExcludeClipRect(r);
  TuiCustomEditViewInfo::Paint(ACanvas);
  ACanvas->RestoreState(saved);

  saved = ACanvas->SaveState();
  TRect clip = r;
  if (ShowFocusRect) {
    drawFocusFrame();
    InflateRect(&clip, -1, -1);
  }
  ACanvas->IntersectClipRect(clip);
  TGraphic* graphic = picture_->Graphic();
  if (TransparentBackground || !graphic->Transparent()) {
    canvas->StretchDraw(p, graphic);
  } else {
    DrawTransparent(ACanvas, p, r, graphic);
  }
  const TRect shown = Intersected(p, r);
  if (!TransparentBackground && !EqualRect(&shown, &r)) FillRectFrame(canvas, r, shown, BackgroundColor);
  ACanvas->RestoreState(saved);
}

void TuiImageViewInfo::DrawTransparent(TuiCanvas* ACanvas, const TRect& P, const TRect& R, TGraphic* AGraphic) {
  TCanvas* canvas = ACanvas->Canvas();
  const Integer w = P.right - P.left;
  const Integer h = P.bottom - P.top;
  try {
    if (!buffer_) buffer_.reset(new TBitmap);
    buffer_->SetSize(w, h);
    buffer_->Canvas()->Brush()->SetColor(BackgroundColor);
    buffer_->Canvas()->FillRect(TRect{0, 0, w, h});
    buffer_->Canvas()->StretchDraw(TRect{0, 0, w, h}, AGraphic);
    canvas->Draw(P.left, P.top, buffer_.get());
  } catch (const EOutOfResources&) {
    // No memory for the off-screen copy: draw straight onto the background instead.
    canvas->Brush()->SetColor(BackgroundColor);
    canvas->FillRect(R);
    canvas->StretchDraw(P, AGraphic);
  }
}

// ---- View data ----------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiImageViewData) {}

void TuiImageViewData::Calculate(TuiCanvas* ACanvas, const TRect& ABounds, const TPoint& P, Byte AButton,
                                 TShiftState AShift, TuiCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  TuiCustomEditViewData::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  if (ABounds.right <= ABounds.left || ABounds.bottom <= ABounds.top) return;
  auto& vi = static_cast<TuiImageViewInfo&>(*AViewInfo);
  auto* properties = static_cast<TuiCustomImageProperties*>(Properties);
  vi.Caption = properties->Caption();
  vi.Center = properties->Center();
  vi.Stretch = properties->Stretch();
  vi.ShowFocusRect = properties->ShowFocusRect() && Focused && !IsInplace;
  vi.TransparentBackground = Edit != nullptr && Edit->IsTransparent();
  if (auto* image = dynamic_cast<TuiCustomImage*>(Edit)) {
    if (vi.Picture() == nullptr) vi.SetPicture(image->Picture());
    vi.TopLeftX = image->ScrollOffsetX();
    vi.TopLeftY = image->ScrollOffsetY();
    // The client area ends where the shown scroll bars begin.
    if (!IsInplace) {
      if (image->IsVScrollBarVisible()) vi.ClientRect.right -= image->VScrollBar()->Width();
      if (image->IsHScrollBarVisible()) vi.ClientRect.bottom -= image->HScrollBar()->Height();
      vi.ClientRect.right = std::max(vi.ClientRect.right, vi.ClientRect.left);
      vi.ClientRect.bottom = std::max(vi.ClientRect.bottom, vi.ClientRect.top);
    }
  }
  if (vi.Center || vi.Stretch) vi.TopLeftX = vi.TopLeftY = 0;
}

void TuiImageViewData::EditValueToDrawValue(TuiCanvas*, const Variant& AEditValue, TuiCustomEditViewInfo* AViewInfo) {
  auto& vi = static_cast<TuiImageViewInfo&>(*AViewInfo);
  auto* properties = static_cast<TuiCustomImageProperties*>(Properties);
  if (AEditValue.IsString() && !AEditValue.StringRef().empty()) {
    TPicture* picture = vi.ProvideOwnPicture();
    LoadPictureFromValue(picture, properties->GetGraphicClass(nullptr, -1, false), AEditValue);
    ApplyGraphicTransparency(picture, properties->GraphicTransparency());
  } else if (vi.Picture() != nullptr) {
    vi.ClearOwnPicture();
  }
}

void TuiImageViewData::GetEditValueSize(TuiCanvas* ACanvas, const Variant& AEditValue,
                                        const TSize& AEditSizeProperties, TSize& ASize) {
  auto* properties = static_cast<TuiCustomImageProperties*>(Properties);
  if (!IsInplace) {
    auto* image = dynamic_cast<TuiCustomImage*>(Edit);
    ASize = image != nullptr ? TSize{image->Picture()->Width(), image->Picture()->Height()} : TSize{0, 0};
    return;
  }
  if (Edit != nullptr) {
    TRect extent;
    GetBorderExtent(extent);
    ASize = TSize{Edit->Width() - extent.left - extent.right, Edit->Height() - extent.top - extent.bottom};
    return;
  }
  ASize = TSize{0, properties->DefaultContentHeight()};
  if (AEditValue.IsString()) {
    TPicture picture;
    LoadPictureFromValue(&picture, properties->GetGraphicClass(nullptr, -1, false), AEditValue);
    ASize = TSize{picture.Width(), picture.Height()};
    const Integer available = AEditSizeProperties.cx;
    if (properties->Stretch() && available > 0 && picture.Width() > 0) {
      ASize = TSize{available, static_cast<Integer>(std::lround(double(picture.Height()) * available / picture.Width()))};
    }
  } else if (!properties->Caption().empty()) {
    ACanvas->SetCanvasFont(style_->GetVisibleFont());
    ASize = ACanvas->Canvas()->TextExtent(properties->Caption());
  }
}

// ---- Editor -------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomImage) {}

K58_IMPLEMENT_CLASS(TuiImage) {
  using S = TuiImage;
  PublishControl(b, {"Align", "Anchors", "Constraints", "DragCursor", "DragKind", "DragMode", "Enabled",
                     "ParentColor", "ParentFont", "ParentShowHint", "PopupMenu", "TabOrder", "TabStop", "Visible", "OnClick",
                     "OnContextPopup", "OnDblClick", "OnDragDrop", "OnDragOver", "OnEndDock", "OnEndDrag",
                     "OnEnter", "OnExit", "OnKeyDown", "OnKeyPress", "OnKeyUp", "OnMouseDown", "OnMouseMove",
                     "OnMouseUp", "OnStartDock", "OnStartDrag"});
  b.Prop("AutoSize", &S::AutoSize, &S::SetAutoSize).Default(false);
  b.Prop("Picture", &S::Picture, &S::SetPicture);
  b.Prop("Properties", &S::Properties, &S::SetProperties);
  b.Prop("OnGetGraphicClass", &S::OnGetGraphicClass, &S::SetOnGetGraphicClass);
}

TuiCustomImage::TuiCustomImage(TComponent* AOwner) : TuiCustomEdit(AOwner) {}

TuiCustomImage::~TuiCustomImage() {
  // The view info points at the picture; it goes first.
  if (auto* vi = dynamic_cast<TuiImageViewInfo*>(EditViewInfo())) {
    if (vi->Picture() == picture_.get()) vi->SetPicture(nullptr);
  }
  if (picture_) picture_->SetOnChange(TNotifyEvent());
}

TClass TuiCustomImage::GetPropertiesClass() const { return TuiCustomImageProperties::StaticClass(); }
TClass TuiImage::GetPropertiesClass() const { return TuiImageProperties::StaticClass(); }

void TuiCustomImage::Initialize() {
  TuiCustomEdit::Initialize();
  SetAutoSize(false);
  SetWidth(140);
  SetHeight(100);
  clipboardFormat_ = CF_PICTURE;
  picture_.reset(new TPicture);
  picture_->SetOnChange(TNotifyEvent(this, &TuiCustomImage::PictureChanged));
  if (auto* vi = dynamic_cast<TuiImageViewInfo*>(EditViewInfo())) vi->SetPicture(picture_.get());
}

bool TuiCustomImage::IsAutoSizeActive() { return TuiCustomEdit::IsAutoSizeActive() && !IsPictureEmpty(picture_.get()); }

bool TuiCustomImage::IsFocused() { return dialogShown_ || TuiCustomEdit::IsFocused(); }

void TuiCustomImage::GetEditValue(Variant& AValue) {
  AValue = IsPictureEmpty(picture_.get()) ? Null() : SavePictureToValue(picture_.get());
}

void TuiCustomImage::StoreEditValue(const Variant& AValue, bool) {
  if (!picture_) return;
  {
    TScopedFlag storing(storing_, true);
    if (AValue.IsString()) {
      LoadPictureFromValue(picture_.get(), GetGraphicClass(false), AValue);
    } else {
      picture_->Assign(nullptr);
    }
  }
  SetModifiedAfterEnter(false);
  SetModified(false);
}

TGraphicClass TuiCustomImage::GetGraphicClass(bool APastingFromClipboard) {
  if (IsInplace()) return ActiveImageProperties()->GetGraphicClass(nullptr, -1, APastingFromClipboard);
  TGraphicClass result = ActiveImageProperties()->GraphicClass();
  if (result == nullptr && APastingFromClipboard) result = TBitmap::StaticClass();
  if (onGetGraphicClass_.Assigned()) onGetGraphicClass_(this, APastingFromClipboard, result);
  return result;
}

void TuiCustomImage::DoAssignPicture() {
  if (Properties()->OnAssignPicture().Assigned()) Properties()->OnAssignPicture()(this, picture_.get());
  if (RepositoryItem() != nullptr && ActiveImageProperties()->OnAssignPicture().Assigned())
    ActiveImageProperties()->OnAssignPicture()(this, picture_.get());
}

void TuiCustomImage::PictureChanged(TObject*) { ProcessPictureChange(); }

void TuiCustomImage::ProcessPictureChange() {
  LockChangeEvents(true);
  try {
    ApplyGraphicTransparency(picture_.get(), ActiveImageProperties()->GraphicTransparency());
    if (!ComponentState().Contains(csLoading)) {
      scrollX_ = scrollY_ = 0;
      for (TuiControlScrollBar* bar : {HScrollBar(), VScrollBar()}) {
        if (bar == nullptr) continue;
        bar->Data.Position = 0;
        bar->SetPosition(bar->Min());
      }
      RefreshOffsets();
      AdjustInnerControlBounds();
    }
    if (!storing_) {
      if (IsUserAction()) SetModified(true);
      NotifyChange();
      UpdateAtCursorPos(false);
    }
    if (ActiveProperties()->ImmediatePost() && CanPostEditValue() && ValidateEdit(true)) PostEditValue();
  } catch (...) {
    LockChangeEvents(false);
    throw;
  }
  LockChangeEvents(false);
  RecalculateScrollBars();
}

void TuiCustomImage::PropertiesChanged(TObject* Sender) {
  // Transparency, scrolling, size and the change events follow the new settings as after a new picture.
  if (picture_ && !IsLoadingOrDestroying()) ProcessPictureChange();
  TuiCustomEdit::PropertiesChanged(Sender);
}

// ---- Scrolling ----------------------------------------------------------------------------------------

void TuiCustomImage::CalculateScrollData() {
  if (IsInplace() || IsAutoSizeActive() || IsPictureEmpty(picture_.get())) return;
  if (ActiveImageProperties()->Center() || ActiveImageProperties()->Stretch()) return;
  auto* vi = static_cast<TuiImageViewInfo*>(EditViewInfo());
  // The client area as the bars being decided leave it.
  TRect client = vi->ClientRect;
  if (VScrollBar()->IsControlVisible()) client.right += VScrollBar()->Width();
  if (HScrollBar()->IsControlVisible()) client.bottom += HScrollBar()->Height();
  if (VScrollBar()->Data.Visible) client.right -= VScrollBar()->Width();
  if (HScrollBar()->Data.Visible) client.bottom -= HScrollBar()->Height();
  const Integer cw = client.right - client.left;
  const Integer ch = client.bottom - client.top;
  if (cw <= 0 || ch <= 0) return;
  SetScrollBarInfo(sbHorizontal, 0, picture_->Width() - 1, 8, cw, scrollX_, true, true);
  SetScrollBarInfo(sbVertical, 0, picture_->Height() - 1, 8, ch, scrollY_, true, true);
}

void TuiCustomImage::ScrollContent(TScrollBarKind AKind, TScrollCode AScrollCode, Integer& AScrollPos) {
  TuiControlScrollBar* bar = AKind == sbHorizontal ? HScrollBar() : VScrollBar();
  if (bar == nullptr) return;
  if (AScrollCode == scLineUp) AScrollPos -= 8;
  if (AScrollCode == scLineDown) AScrollPos += 8;
  const Integer extent = AKind == sbHorizontal ? picture_->Width() : picture_->Height();
  AScrollPos = std::min(AScrollPos, extent - bar->PageSize());
  bar->SetPosition(AScrollPos);
  AScrollPos = bar->Position();
  bar->Data.Position = AScrollPos;
  RefreshOffsets();
}

void TuiCustomImage::RefreshOffsets() {
  if (!HandleAllocated()) return;
  scrollX_ = IsHScrollBarVisible() ? HScrollBar()->Position() : 0;
  scrollY_ = IsVScrollBarVisible() ? VScrollBar()->Position() : 0;
  CalculateViewInfoAtCursorPos();
  InvalidateRect(Handle(), nullptr, FALSE);
}

void TuiCustomImage::RecalculateScrollBars() {
  TuiCustomEdit::RecalculateScrollBars();
  RefreshOffsets();
}

// ---- Clipboard ----------------------------------------------------------------------------------------

bool TuiCustomImage::CanPasteFromClipboard() {
  const TGraphicClass graphicClass = ActiveImageProperties()->GraphicClass();
  if (graphicClass == TBitmap::StaticClass() || graphicClass == TJPEGImage::StaticClass())
    return Clipboard()->HasFormat(CF_BITMAP);
  // Both metafile formats hold a metafile: an enhanced one must paste as well as a Windows one.
  if (graphicClass == TMetafile::StaticClass())
    return Clipboard()->HasFormat(CF_METAFILEPICT) || Clipboard()->HasFormat(CF_ENHMETAFILE);
  if (graphicClass == TIcon::StaticClass()) return false;
  return Clipboard()->HasFormat(clipboardFormat_);
}

void TuiCustomImage::ClearValue() {
  if (DoEditing()) picture_->Assign(nullptr);
}

void TuiCustomImage::CopyToClipboard() {
  if (picture_->Graphic() != nullptr) Clipboard()->Assign(picture_.get());
}

void TuiCustomImage::CutToClipboard() {
  CopyToClipboard();
  ClearValue();
}

void TuiCustomImage::PasteFromClipboard() {
  if (!CanPasteFromClipboard() || !DoEditing()) return;
  if (!Clipboard()->HasFormat(CF_BITMAP)) {
    picture_->Assign(Clipboard());
    return;
  }
  TBitmap bitmap;
  bitmap.Assign(Clipboard());
  if (GetGraphicClass(true) == TJPEGImage::StaticClass()) {
    TJPEGImage jpeg;
    jpeg.Assign(&bitmap);
    jpeg.Compress();
    picture_->SetGraphic(&jpeg);
  } else {
    picture_->SetGraphic(&bitmap);
  }
}

// ---- Menu, dialogs, keys --------------------------------------------------------------------------------

void TuiCustomImage::DoCustomClick() {
  if (Properties()->OnCustomClick().Assigned()) Properties()->OnCustomClick()(this);
  if (RepositoryItem() != nullptr && ActiveImageProperties()->OnCustomClick().Assigned())
    ActiveImageProperties()->OnCustomClick()(this);
}

void TuiCustomImage::UpdatePopupMenu() {
  if (!popupMenu_) {
    popupMenu_.reset(new TPopupMenu(nullptr));
    popupMenu_->SetImages(k58::editors::ImageMenuImages());
    const Integer tags[] = {0, 1, 2, 3, -1, 4, 5, -1, 6};
    for (Integer tag : tags) {
      auto* item = new TMenuItem(popupMenu_.get());
      item->SetTag(tag);
      if (tag < 0) {
        item->SetCaption("-");
      } else {
        if (tag != 6) item->SetImageIndex(tag);
        item->SetOnClick(TNotifyEvent(this, &TuiCustomImage::MenuItemClick));
      }
      popupMenu_->Items()->Add(item);
    }
  }
  TMenuItem* items = popupMenu_->Items();
  const char* captions[] = {scxMenuCut, scxMenuCopy, scxMenuPaste, scxMenuDelete, nullptr, scxMenuLoad, scxMenuSave};
  for (Integer i = 0; i < 7; ++i) {
    if (captions[i] != nullptr) items->Items(i)->SetCaption(LocalizeText(captions[i]));
  }
  TuiPopupMenuLayout* layout = ActiveImageProperties()->PopupMenuLayout();
  const TuiPopupMenuItems shown = layout->MenuItems();
  const TuiPopupMenuItem kinds[] = {pmiCut, pmiCopy, pmiPaste, pmiDelete, pmiCut, pmiLoad, pmiSave, pmiCut, pmiCustom};
  for (Integer i : {0, 1, 2, 3, 5, 6, 8}) items->Items(i)->SetVisible(shown.Contains(kinds[i]));
  items->Items(4)->SetVisible(shown.Contains(pmiLoad) || shown.Contains(pmiSave));
  items->Items(7)->SetVisible(shown.Contains(pmiCustom));
  TMenuItem* custom = items->Items(8);
  custom->SetCaption(layout->CustomMenuItemCaption());
  if (TBitmap* glyph = layout->CustomMenuItemGlyphIfAny(); glyph != nullptr && !glyph->Empty()) {
    glyph->SetTransparent(true);
    custom->SetBitmap(glyph);
  } else {
    custom->SetBitmap(nullptr);
  }
  const bool empty = IsPictureEmpty(picture_.get());
  const bool icon = ActiveImageProperties()->GraphicClass() == TIcon::StaticClass();
  const bool modify = CanModify();
  items->Items(0)->SetEnabled(modify && !empty && !icon);
  items->Items(1)->SetEnabled(!empty && !icon);
  items->Items(2)->SetEnabled(modify && CanPasteFromClipboard());
  items->Items(3)->SetEnabled(modify && !empty);
  items->Items(5)->SetEnabled(modify);
  items->Items(6)->SetEnabled(!empty);
  custom->SetEnabled(true);
}

void TuiCustomImage::MenuItemClick(TObject* Sender) {
  if (auto* item = dynamic_cast<TMenuItem*>(Sender)) ExecuteMenuCommand(item->Tag());
}

void TuiCustomImage::ExecuteMenuCommand(Integer ATag) {
  const bool saved = IsUserAction();
  SetUserAction(true);
  try {
    switch (ATag) {
      case 0: CutToClipboard(); break;
      case 1: CopyToClipboard(); break;
      case 2: PasteFromClipboard(); break;
      case 3: ClearValue(); break;
      case 4: LoadFromFileDialog(); break;
      case 5: SaveToFileDialog(); break;
      case 6: DoCustomClick(); break;
      default: break;
    }
  } catch (...) {
    SetUserAction(saved);
    throw;
  }
  SetUserAction(saved);
}

void TuiCustomImage::LoadFromFileDialog() {
  if (!CanModify()) return;
  // Made and freed per use.
  TObjectPtr<TOpenDialog> dialog(new TOpenDialog(nullptr));
  const String& custom = ActiveImageProperties()->CustomFilter();
  dialog->SetFilter(!custom.empty() ? custom : GraphicFilter(ActiveImageProperties()->GraphicClass()));
  bool executed;
  {
    TScopedFlag shown(dialogShown_, true);
    executed = dialog->Execute();
  }
  if (executed && DoEditing()) {
    picture_->LoadFromFile(dialog->FileName());
    DoClosePopup(4);
  } else {
    DoClosePopup(3);
  }
}

void TuiCustomImage::SaveToFileDialog() {
  TGraphic* graphic = picture_->Graphic();
  if (graphic == nullptr) return;
  TObjectPtr<TSaveDialog> dialog(new TSaveDialog(nullptr));
  const String& custom = ActiveImageProperties()->CustomFilter();
  dialog->SetFilter(!custom.empty() ? custom : GraphicFilter(graphic->ClassType()));
  dialog->SetDefaultExt(GraphicExtension(graphic->ClassType()));
  bool executed;
  {
    TScopedFlag shown(dialogShown_, true);
    executed = dialog->Execute();
  }
  if (executed) picture_->SaveToFile(dialog->FileName());
}

void TuiCustomImage::KeyDown(Word& Key, TShiftState Shift) {
  TuiCustomEdit::KeyDown(Key, Shift);
  const bool saved = IsUserAction();
  SetUserAction(true);
  try {
    // Shift is asked first: Ctrl+Shift+Insert pastes.
    if (Key == VK_INSERT && Shift.Contains(ssShift)) {
      PasteFromClipboard();
    } else if (Key == VK_INSERT && Shift.Contains(ssCtrl)) {
      CopyToClipboard();
    } else if (Key == VK_DELETE && Shift.Contains(ssShift)) {
      CutToClipboard();
    }
  } catch (...) {
    SetUserAction(saved);
    throw;
  }
  SetUserAction(saved);
}

void TuiCustomImage::KeyPress(char& Key) {
  TuiCustomEdit::KeyPress(Key);
  const bool saved = IsUserAction();
  SetUserAction(true);
  try {
    switch (Key) {
      case 3: CopyToClipboard(); break;
      case 22: PasteFromClipboard(); break;
      case 24: CutToClipboard(); break;
      default: break;
    }
  } catch (...) {
    SetUserAction(saved);
    throw;
  }
  SetUserAction(saved);
}

void TuiCustomImage::DoContextPopup(TPoint MousePos, bool& Handled) {
  if (PopupMenu() != nullptr || ActiveImageProperties()->PopupMenuLayout()->MenuItems().Empty()) {
    TuiCustomEdit::DoContextPopup(MousePos, Handled);
    return;
  }
  Handled = true;
  const TPoint p = MousePos.x == -1 && MousePos.y == -1 ? TPoint{10, 10} : MousePos;
  UpdatePopupMenu();
  popupMenu_->SetPopupComponent(this);
  const TPoint screen = ClientToScreen(p);
  popupMenu_->Popup(screen.x, screen.y);
}

// ---- Unit -----------------------------------------------------------------------------------------------

namespace k58::editors {
void StartImageUnit() {
  if (imageUnitCount++ > 0) return;
  const char* names[] = {"UIMENUIMAGE_CUT",    "UIMENUIMAGE_COPY", "UIMENUIMAGE_PASTE",
                         "UIMENUIMAGE_DELETE", "UIMENUIMAGE_LOAD", "UIMENUIMAGE_SAVE"};
  for (const char* name : names) {
    TBitmap bitmap;
    bitmap.LoadFromResourceName(HInstance, name);
    if (imageMenuImages == nullptr) imageMenuImages = new TImageList(bitmap.Width(), bitmap.Height());
    imageMenuImages->AddMasked(&bitmap, clDefault);
  }
  GetEditPropertiesRegistry()->Register(TuiImageProperties::StaticClass(), scxImageDescription);
}

void StopImageUnit() {
  if (imageUnitCount == 0 || --imageUnitCount > 0) return;
  GetEditPropertiesRegistry()->Unregister(TuiImageProperties::StaticClass());
  delete imageMenuImages;
  imageMenuImages = nullptr;
}

TCustomImageList* ImageMenuImages() { return imageMenuImages; }
}  // namespace k58::editors
