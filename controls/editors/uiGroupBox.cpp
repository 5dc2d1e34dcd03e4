// The group box and the button group: caption places and font, frame painting, child area, items and
// their buttons, the button layout and the keyboard between buttons.
#include "controls/editors/uiGroupBox.h"

#include <algorithm>

#include "controls/editors/uiCheckBox.h"
#include "controls/foundation/uiEditUtils.h"
#include "controls/foundation/uxThemeManager.h"
#include "controls/foundation/uxUxTheme.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/forms/ControlsMessages.h"
#include "platform/forms/Menus.h"
#include "platform/forms/StdCtrlsPublish.h"

namespace {
Integer groupBoxUnitCount = 0;
}  // namespace

TuiCaptionSide CaptionSideOf(TuiCaptionAlignment AAlignment) {
  if (AAlignment <= alTopRight) return csTop;
  if (AAlignment <= alBottomRight) return csBottom;
  if (AAlignment <= alLeftBottom) return csLeft;
  if (AAlignment <= alRightBottom) return csRight;
  return csCenter;
}

TRect CalculateGroupBoxCaptionRect(TuiCaptionAlignment AAlignment, Integer W, Integer H, Integer L, Integer T,
                                   bool AShadow) {
  const Integer s = AShadow ? 3 : 0;
  TRect r{8, 0, 8 + L, T};
  switch (CaptionSideOf(AAlignment)) {
    case csTop:
    case csBottom:
    case csCenter: {
      if (AAlignment == alTopCenter || AAlignment == alBottomCenter || AAlignment == alCenterCenter)
        r.left = (W - s - L) / 2;
      else if (AAlignment == alTopRight || AAlignment == alBottomRight)
        r.left = W - 8 - s - L;
      r.right = r.left + L;
      if (CaptionSideOf(AAlignment) == csBottom) {
        r.top = H - T - 2;
        r.bottom = H - 2;
      } else if (AAlignment == alCenterCenter) {
        r.top = (H - s - T) / 2;
        r.bottom = r.top + T;
      }
      return r;
    }
    case csLeft: {
      if (AAlignment == alLeftTop) return TRect{-1, 8, T - 1, 8 + L};
      const Integer b = AAlignment == alLeftCenter ? H - s - (H - s - L) / 2 : H - s - 8;
      return TRect{-1, b - L, T - 1, b};
    }
    case csRight: {
      if (AAlignment == alRightTop) return TRect{W - T + 1, 8, W + 1, 8 + L};
      if (AAlignment == alRightCenter) {
        const Integer top = (H - L) / 2;
        return TRect{W - T + 1, top, W + 1, top + L};
      }
      return TRect{W - T + 1, H - 8 - L, W + 1, H - 8};
    }
  }
  return r;
}

// ---- Properties -----------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomGroupBoxProperties) {}

TClass TuiCustomGroupBoxProperties::GetViewDataClass() const { return TuiGroupBoxViewData::StaticClass(); }
TClass TuiCustomGroupBoxProperties::GetEditClass() const { return TuiCustomGroupBox::StaticClass(); }
TClass TuiCustomGroupBoxProperties::GetViewInfoClass() const { return TuiGroupBoxViewInfo::StaticClass(); }

TuiCustomEditViewData* TuiCustomGroupBoxProperties::CreateViewData(TuiEditStyle* AStyle, bool AIsInplace,
                                                                    bool ALockedState) {
  TuiCustomEditViewData* viewData = nullptr;
  TClass cls = GetViewDataClass();
  if (cls == TuiGroupBoxViewData::StaticClass()) viewData = new TuiGroupBoxViewData(this, AStyle, AIsInplace);
  if (viewData == nullptr) return TuiCustomEditProperties::CreateViewData(AStyle, AIsInplace, ALockedState);
  viewData->ApplyProperties();
  viewData->EmptyDrawValue = ALockedState;
  return viewData;
}

// ---- View data ------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiGroupBoxViewData) {}

TuiCustomGroupBox* TuiGroupBoxViewData::GroupBox() const {
  return IsInplace ? nullptr : dynamic_cast<TuiCustomGroupBox*>(Edit);
}

Integer TuiGroupBoxViewData::CaptionHeight() const {
  TuiCustomGroupBox* box = GroupBox();
  if (box == nullptr || box->CaptionFont() == nullptr) return 0;
  TuiScreenCanvas canvas;
  TObjectPtr<TFont> flat(new TFont);
  flat->Assign(box->CaptionFont());
  flat->SetOrientation(0);
  return canvas.MeasureFontHeight(flat.get());
}

bool TuiGroupBoxViewData::HasShadow() {
  TuiCustomGroupBox* box = GroupBox();
  if (box != nullptr) {
    const TuiCaptionSide side = CaptionSideOf(box->Alignment());
    if (side != csTop && side != csLeft && side != csCenter) return false;
  }
  return TuiCustomEditViewData::HasShadow();
}

TColor TuiGroupBoxViewData::GetBorderColor() {
  const TuiEditBorderStyle style = style_->EditBorderStyle();
  if (style == ebsUltraFlat || style == ebsOffice11) return Enabled ? GetHighlightColor(style == ebsOffice11) : clBtnShadow;
  return style_->BorderColor();
}

void TuiGroupBoxViewData::GetBorderExtent(TRect& R) {
  TuiCustomEditViewData::GetBorderExtent(R);
  TuiCustomGroupBox* box = GroupBox();
  if (box == nullptr || box->Alignment() == alCenterCenter) return;
  const Integer h = CaptionHeight();
  switch (CaptionSideOf(box->Alignment())) {
    case csTop: R.top = h / 2 + 1; break;
    case csBottom: R.bottom = h / 2 + 1; break;
    case csLeft: R.left = h / 2; break;
    case csRight: R.right = h / 2; break;
    default: break;
  }
}

void TuiGroupBoxViewData::CalculateClientRect(TuiCanvas*, TuiCustomEditViewInfo*, TRect& R) {
  TuiCustomEditViewData::GetBorderExtent(R);
  TuiCustomGroupBox* box = GroupBox();
  if (box == nullptr || box->Alignment() == alCenterCenter) return;
  const Integer h = CaptionHeight() + 3;
  switch (CaptionSideOf(box->Alignment())) {
    case csTop: R.top = h; break;
    case csBottom: R.bottom = h; break;
    case csLeft: R.left = h; break;
    case csRight: R.right = h; break;
    default: break;
  }
}

void TuiGroupBoxViewData::GetEditConstantPartSize(TuiCanvas* ACanvas, const TSize& AEditSizeProperties,
                                                  TSize& AMinContentSize, TSize& AConstantPartSize,
                                                  TuiCustomEditViewInfo* AViewInfo) {
  std::unique_ptr<TuiGroupBoxViewInfo, TObjectDeleter> temporary;
  if (dynamic_cast<TuiGroupBoxViewInfo*>(AViewInfo) == nullptr) {
    temporary.reset(new TuiGroupBoxViewInfo);
    AViewInfo = temporary.get();
    Calculate(ACanvas, TRect{0, 0, 300, 300}, TPoint{-1, -1}, 0, TShiftState{}, AViewInfo, false);
  }
  TuiCustomEditViewData::GetEditConstantPartSize(ACanvas, AEditSizeProperties, AMinContentSize, AConstantPartSize,
                                                 AViewInfo);
}

void TuiGroupBoxViewData::Calculate(TuiCanvas* ACanvas, const TRect& ABounds, const TPoint& P, Byte AButton,
                                    TShiftState AShift, TuiCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  TuiCustomEditViewData::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  auto& vi = *static_cast<TuiGroupBoxViewInfo*>(AViewInfo);
  TuiCustomGroupBox* box = GroupBox();
  vi.EditControl = box;
  vi.IsDesign = IsDesigning;
  vi.NativeStyle = !IsInplace && CanUseNativeButtonTheme(style_->LookAndFeel());
  vi.CaptionRect = TRect{};
  if (box == nullptr) return;
  vi.Caption = box->DisplayCaption();
  vi.Alignment = box->Alignment();
  vi.CaptionFont = box->CaptionFont();
  vi.CaptionHeight = CaptionHeight();
  vi.Transparent = box->Transparent();
  if (vi.Caption.empty()) return;
  // Measured with the unturned font: the extent along the baseline and the height.
  TObjectPtr<TFont> flat(new TFont);
  flat->Assign(box->CaptionFont());
  flat->SetOrientation(0);
  ACanvas->SetCanvasFont(flat.get());
  TRect r{8, 0, 0, vi.CaptionHeight};
  UINT flags = DT_CALCRECT | DT_SINGLELINE | (IsVerticalCaption(vi.Alignment) ? DT_NOPREFIX : 0);
  DrawTextA(ACanvas->GetDCHandle(), vi.Caption.c_str(), -1, &r, flags);
  vi.CaptionRect = CalculateGroupBoxCaptionRect(vi.Alignment, ABounds.right - ABounds.left,
                                                ABounds.bottom - ABounds.top, r.right - r.left, r.bottom - r.top,
                                                vi.Shadow);
}

// ---- View info ------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiGroupBoxViewInfo) {}

void TuiGroupBoxViewInfo::OffsetRects(Integer DX, Integer DY) {
  TuiCustomEditViewInfo::OffsetRects(DX, DY);
  OffsetRect(&CaptionRect, DX, DY);
}

void TuiGroupBoxViewInfo::DrawFrame(TuiCanvas* ACanvas, bool AClearBrush) {
  const Integer W = Bounds.right - Bounds.left, H = Bounds.bottom - Bounds.top;
  const TuiCaptionSide side = CaptionSideOf(Alignment);
  const Integer h = CaptionHeight;
  if (NativeStyle) {
    const RECT all{0, 0, W, H};
    if (Transparent && EditControl != nullptr)
      PaintParentImage(EditControl, ACanvas, Bounds);
    else if (EditControl != nullptr && EditControl->NeedsParentBackground())
      DrawThemeParentBackground(EditControl->Handle(), ACanvas->GetDCHandle(), &all);
    else
      ACanvas->FillRectWithColor(Bounds, BackgroundColor);
    if (EditBorderStyle == ebsNone) return;
    TRect frame = Bounds;
    switch (side) {
      case csTop: frame.top += h / 2; break;
      case csBottom: frame.bottom -= h / 2; break;
      case csLeft: frame.left += h / 2; break;
      case csRight: frame.right -= h / 2; break;
      default: break;
    }
    const Integer saved = ACanvas->SaveState();
    if (side != csCenter && !IsRectEmpty(&CaptionRect)) ACanvas->ExcludeClipRect(CaptionRect);
    if (HTHEME theme = OpenThemeObject(totButton))
      DrawThemeBackground(theme, ACanvas->GetDCHandle(), BP_GROUPBOX, Enabled ? 1 : 2, frame);
    ACanvas->RestoreState(saved);
    return;
  }
  const bool clear = AClearBrush || Transparent;
  if (clear && EditControl != nullptr) PaintParentImage(EditControl, ACanvas, Bounds);
  // The frame rectangle: the caption side takes a neighbouring side's inset.
  TRect f = BorderRect;
  switch (side) {
    case csTop: f.top = f.left; break;
    case csBottom: f.bottom = Bounds.bottom - (Bounds.right - f.right); break;
    case csLeft: f.left = f.top; break;
    case csRight: f.right = Bounds.right - (Bounds.bottom - f.bottom); break;
    default: break;
  }
  const Integer b = BorderWidth;
  InflateRect(&f, b, b);
  TRect outer = f;
  const Integer c = side == csCenter ? b : h / 2 - b + 1;
  auto fill = [&](const TRect& R) {
    if (!clear) ACanvas->FillRectWithColor(R, BackgroundColor);
  };
  switch (side) {
    case csTop: fill(TRect{outer.left, 0, outer.right, c}); f.top = c; break;
    case csBottom: fill(TRect{outer.left, H - c, outer.right, H}); f.bottom = H - c; break;
    case csLeft: fill(TRect{0, outer.top, c - 1, outer.bottom}); f.left = c - 1; break;
    case csRight: fill(TRect{W - c + 1, outer.top, W, outer.bottom}); f.right = W - c + 1; break;
    default: break;
  }
  const TuiBorders edges = Edges;
  switch (EditBorderStyle) {
    case ebsNone: break;
    case ebsSingle: ACanvas->DrawBorderLines(f, BorderColor, 1, edges); break;
    case ebsThick: ACanvas->DrawBorderLines(f, BorderColor, 2, edges); break;
    case ebsFlat: {
      ACanvas->DrawBorderLines(f, clBtnShadow, 1, edges);
      TRect inner = f;
      InflateRect(&inner, -1, -1);
      ACanvas->DrawBorderLines(inner, clBtnHighlight, 1, edges);
      break;
    }
    case ebs3D: {
      // Etched: the highlight one pixel right and down, the shadow over it.
      TRect light = f;
      OffsetRect(&light, 1, 1);
      light.right = std::min(light.right, f.right);
      light.bottom = std::min(light.bottom, f.bottom);
      ACanvas->DrawBorderLines(light, clBtnHighlight, 1, edges);
      TRect dark = f;
      dark.right -= 1;
      dark.bottom -= 1;
      ACanvas->DrawBorderLines(dark, clBtnShadow, 1, edges);
      if (!clear) {
        ACanvas->SetPixel(f.right - 1, f.top, BackgroundColor);
        ACanvas->SetPixel(f.left, f.bottom - 1, BackgroundColor);
      }
      break;
    }
    case ebsUltraFlat:
    case ebsOffice11: ACanvas->DrawBorderLines(f, BorderColor, 1, edges); break;
  }
  TRect inside = f;
  InflateRect(&inside, -b, -b);
  DeflateRectAtMissingEdges(inside, -b, edges);
  if (Shadow) {
    DrawContainerShadow(ACanvas, f);
  }
  if (!clear) ACanvas->FillRectWithColor(inside, BackgroundColor);
}

void TuiGroupBoxViewInfo::DrawCaption(TuiCanvas* ACanvas) {
  HDC dc = ACanvas->GetDCHandle();
  TColor color = TextColor;
  if (NativeStyle)
    if (HTHEME theme = OpenThemeObject(totButton)) {
      COLORREF themed = 0;
      if (GetThemeColor(theme, BP_GROUPBOX, Enabled ? 1 : 2, 3803, &themed) == S_OK) color = static_cast<TColor>(themed);
    }
  if (Transparent && EditControl != nullptr) {
    // The second pass: what lies under the caption continues the frame's background.
    const Integer saved = ACanvas->SaveState();
    ACanvas->IntersectClipRect(CaptionRect);
    DrawFrame(ACanvas, true);
    ACanvas->RestoreState(saved);
  }
  ACanvas->SetCanvasFont(CaptionFont);
  ACanvas->GetCanvasFont()->SetColor(color);
  if (Transparent) {
    ACanvas->GetCanvasBrush()->SetStyle(bsClear);
  } else {
    ACanvas->GetCanvasBrush()->SetStyle(bsSolid);
    ACanvas->GetCanvasBrush()->SetColor(BackgroundColor);
  }
  dc = ACanvas->GetDCHandle();
  if (!IsVerticalCaption(Alignment)) {
    if (!Transparent) ACanvas->FillRectWithColor(CaptionRect, BackgroundColor);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(color));
    TRect r = CaptionRect;
    DrawTextA(dc, Caption.c_str(), -1, &r, DT_SINGLELINE);
    return;
  }
  SetTextColor(dc, ColorToRGB(color));
  SetBkColor(dc, ColorToRGB(BackgroundColor));
  SetBkMode(dc, Transparent ? TRANSPARENT : OPAQUE);
  const bool left = CaptionSideOf(Alignment) == csLeft;
  const Integer x = left ? CaptionRect.left : CaptionRect.right;
  const Integer y = left ? CaptionRect.bottom - 1 : CaptionRect.top + 1;
  const UINT options = ETO_CLIPPED | (Transparent ? 0 : ETO_OPAQUE);
  ExtTextOutA(dc, x, y, options, &CaptionRect, Caption.c_str(), static_cast<UINT>(Caption.size()), nullptr);
}

void TuiGroupBoxViewInfo::Paint(TuiCanvas* ACanvas) {
  if (IsInplace) {
    if (EditControl != nullptr || true) ACanvas->FillRectWithColor(Bounds, BackgroundColor);
    return;
  }
  if (Caption.empty() || IsRectEmpty(&CaptionRect)) return DrawFrame(ACanvas, false);
  const Integer saved = ACanvas->SaveState();
  ACanvas->ExcludeClipRect(CaptionRect);
  DrawFrame(ACanvas, false);
  ACanvas->RestoreState(saved);
  DrawCaption(ACanvas);
}

// ---- Group box ------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomGroupBox) {}

K58_IMPLEMENT_CLASS(TuiGroupBox) {
  using S = TuiGroupBox;
  PublishControl(b, {"Align", "Anchors", "Constraints", "Ctl3D", "DragCursor", "DragKind", "DragMode",
                     "Enabled", "ParentBackground", "ParentColor", "ParentCtl3D", "ParentFont",
                     "ParentShowHint", "PopupMenu", "ShowHint", "TabOrder", "TabStop", "Visible", "OnClick",
                     "OnContextPopup"});
  k58::forms::PublishWindowedEvents(b, false);
  b.Prop("Alignment", &S::Alignment, &S::SetAlignment).Default(alTopLeft);
  b.Prop("Caption", &S::Caption, &S::SetCaption);
  b.Prop("CaptionBkColor", &S::CaptionBkColor, &S::SetCaptionBkColor).Stored(false);
  b.Prop("Color", &S::StyleColor, &S::SetStyleColor).Stored(false);
  b.Prop("Font", &S::StyleFont, &S::SetStyleFont).Stored(false);
}

TuiCustomGroupBox::TuiCustomGroupBox(TComponent* AOwner) : TuiCustomEdit(AOwner) {}

TuiCustomGroupBox::~TuiCustomGroupBox() = default;

TClass TuiCustomGroupBox::GetPropertiesClass() const { return TuiCustomGroupBoxProperties::StaticClass(); }

void TuiCustomGroupBox::Initialize() {
  TuiCustomEdit::Initialize();
  TControlStyle style = ControlStyle();
  style.Include(csAcceptsControls);
  style.Include(csCaptureMouse);
  style.Include(csClickEvents);
  SetControlStyle(style);
  SetAutoSize(false);
  SetBounds(Left(), Top(), 185, 105);
  captionFont_.reset(new TFont);
  BuildCaptionFont();
  SetTabStop(false);
}

void TuiCustomGroupBox::BuildCaptionFont() {
  if (captionFont_ == nullptr || IsInplace()) return;
  captionFont_->Assign(static_cast<TuiEditStyle*>(GetActiveStyle())->GetVisibleFont());
  if (!IsVerticalCaption(alignment_)) return;
  // Every outline font turns; the escapement says which way.
  const LONG wanted = CaptionSideOf(alignment_) == csLeft ? 900 : 2700;
  LOGFONTA lf{};
  GetObject(captionFont_->Handle(), sizeof(lf), &lf);
  if (lf.lfEscapement == wanted) return;
  lf.lfEscapement = wanted;
  lf.lfOrientation = wanted;
  lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  captionFont_->SetHandle(CreateFontIndirectA(&lf));
}

void TuiCustomGroupBox::UpdateDisplayCaption() {
  displayCaption_ = IsVerticalCaption(alignment_) ? StripAccelChars(Text()) : Text();
}

void TuiCustomGroupBox::SetAlignment(TuiCaptionAlignment Value) {
  if (alignment_ == Value) return;
  alignment_ = Value;
  BuildCaptionFont();
  UpdateDisplayCaption();
  UpdateAtCursorPos();
  if (HandleAllocated()) Invalidate();
  Realign();
}

void TuiCustomGroupBox::StyleChanged(TObject* Sender) {
  TuiCustomEdit::StyleChanged(Sender);
  BuildCaptionFont();
}

TRect TuiCustomGroupBox::GetChildMargins() {
  std::unique_ptr<TuiCustomEditViewData, TObjectDeleter> viewData(CreateViewData());
  InitializeViewData(viewData.get());
  TRect margins{};
  viewData->CalculateClientRect(nullptr, EditViewInfo(), margins);
  return margins;
}

void TuiCustomGroupBox::AdjustClientRect(TRect& Rect) {
  const TRect m = GetChildMargins();
  Rect = TRect{m.left, m.top, Width() - m.right, Height() - m.bottom};
}

void TuiCustomGroupBox::GetShapeRect(TRect& R) {
  TuiCustomEdit::GetShapeRect(R);
  switch (CaptionSideOf(alignment_)) {
    case csTop: R.top = 0; break;
    case csBottom: R.bottom = Height(); break;
    case csLeft: R.left = 0; break;
    case csRight: R.right = Width(); break;
    default: break;
  }
}

bool TuiCustomGroupBox::NeedsParentBackground() {
  return !IsInplace() && CanUseNativeButtonTheme(Style()->LookAndFeel()) && ParentBackground() && !Transparent();
}

void TuiCustomGroupBox::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case CM_DIALOGCHAR: {
      auto& m = reinterpret_cast<TCMDialogChar&>(Message);
      if (IsAccel(m.CharCode(), Text()) && CanFocus()) {
        k58::editors::TScopedFlag selecting(selectingFirst_, true);
        SelectFirst();
        Message.Result = 1;
        return;
      }
      break;
    }
    case CM_TEXTCHANGED:
      TuiCustomEdit::WndProc(Message);
      UpdateDisplayCaption();
      UpdateAtCursorPos();
      if (HandleAllocated()) Invalidate();
      return;
    case CM_FONTCHANGED:
      TuiCustomEdit::WndProc(Message);
      Realign();
      return;
    default: break;
  }
  TuiCustomEdit::WndProc(Message);
}

// ---- Items ----------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiButtonGroupItem) {
  using S = TuiButtonGroupItem;
  b.Prop("Caption", &S::Caption, &S::SetCaption);
  b.Prop("Tag", &S::Tag, &S::SetTag).Default(0);
}

TuiButtonGroupItem::TuiButtonGroupItem(TCollection* ACollection) : TCollectionItem(ACollection) {
  NotifyAddedWhenComplete(StaticClass());
}

void TuiButtonGroupItem::NotifyAddedWhenComplete(TClass AConstructedClass) {
  // Only the constructor of the collection's item class sees the item complete.
  if (Collection() != nullptr && Collection()->ItemClass() == AConstructedClass) Notify(bgnAdded);
}

TuiButtonGroupItem::~TuiButtonGroupItem() {
  auto* items = dynamic_cast<TuiButtonGroupItems*>(Collection());
  if (items == nullptr) return;
  const Integer index = Index();
  items->BeginUpdate();
  SetCollection(nullptr);
  items->NotifyItem(index, bgnDeleted);
  items->EndUpdate();
}

void TuiButtonGroupItem::Notify(TuiButtonGroupNotification AKind) {
  auto* items = dynamic_cast<TuiButtonGroupItems*>(Collection());
  if (items == nullptr) return;
  items->BeginUpdate();
  items->NotifyItem(Index(), AKind);
  items->EndUpdate();
}

void TuiButtonGroupItem::SetCaption(const String& Value) {
  if (caption_ == Value) return;
  caption_ = Value;
  Notify(bgnChanged);
}

void TuiButtonGroupItem::SetEnabled(bool Value) {
  if (enabled_ == Value) return;
  enabled_ = Value;
  Notify(bgnChanged);
}

void TuiButtonGroupItem::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TuiButtonGroupItem*>(Source);
  if (source == nullptr) return TCollectionItem::Assign(Source);
  SetCaption(source->caption_);
  SetEnabled(source->enabled_);
  tag_ = source->tag_;
}

K58_IMPLEMENT_CLASS(TuiButtonGroupItems) {}

void TuiButtonGroupItems::NotifyItem(Integer AIndex, TuiButtonGroupNotification AKind) {
  Notification.Index = AIndex;
  Notification.Kind = AKind;
  k58::editors::TScopedFlag running(Notification.Running, true);
  if (auto* properties = dynamic_cast<TuiCustomEditProperties*>(GetOwner())) properties->Changed();
}

void TuiButtonGroupItems::Update(TCollectionItem*) {
  // An item still being built is announced by its own constructor once it is complete.
  for (Integer i = Count() - 1; i >= 0; --i)
    if (GetItem(i)->ClassType() != ItemClass()) return;
  if (auto* properties = dynamic_cast<TuiCustomEditProperties*>(GetOwner())) properties->Changed();
}

// ---- Button group properties ----------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomButtonGroupProperties) {}

TuiCustomButtonGroupProperties::TuiCustomButtonGroupProperties() { items_ = CreateItems(); }

void TuiCustomButtonGroupProperties::RecreateItems() {
  TuiButtonGroupItems* items = CreateItems();
  FreeObject(items_);
  items_ = items;
}

TuiCustomButtonGroupProperties::~TuiCustomButtonGroupProperties() {
  BeginUpdate();
  FreeObject(items_);
  items_ = nullptr;
  EndUpdate(false);
}

TuiButtonGroupItems* TuiCustomButtonGroupProperties::CreateItems() {
  return new TuiButtonGroupItems(this, TuiButtonGroupItem::StaticClass());
}

void TuiCustomButtonGroupProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TuiCustomButtonGroupProperties*>(Source);
  if (source == nullptr) return TuiCustomGroupBoxProperties::Assign(Source);
  BeginUpdate();
  try {
    TuiCustomGroupBoxProperties::Assign(Source);
    SetColumns(source->columns_);
    items_->Assign(source->items_);
    SetWordWrap(source->wordWrap_);
  } catch (...) {
    EndUpdate(true);
    throw;
  }
  EndUpdate(true);
}

void TuiCustomButtonGroupProperties::SetColumns(Integer Value) {
  Value = std::max<Integer>(1, Value);
  if (columns_ == Value) return;
  columns_ = Value;
  Changed();
}

void TuiCustomButtonGroupProperties::SetWordWrap(bool Value) {
  if (wordWrap_ == Value) return;
  wordWrap_ = Value;
  Changed();
}

Integer TuiCustomButtonGroupProperties::GetColumnCount() {
  const Integer count = items_->Count();
  if (count == 0) return 0;
  const Integer c = std::min(columns_, count);
  const Integer rows = (count + c - 1) / c;
  return (count + rows - 1) / rows;
}

Integer TuiCustomButtonGroupProperties::GetRowCount() {
  const Integer columns = GetColumnCount();
  const Integer count = items_->Count();
  return columns == 0 ? 0 : (count + columns - 1) / columns;
}

TClass TuiCustomButtonGroupProperties::GetViewDataClass() const { return TuiButtonGroupViewData::StaticClass(); }
TClass TuiCustomButtonGroupProperties::GetEditClass() const { return TuiCustomButtonGroup::StaticClass(); }
TClass TuiCustomButtonGroupProperties::GetViewInfoClass() const { return TuiButtonGroupViewInfo::StaticClass(); }

TuiCustomEditProperties* TuiCustomButtonGroupProperties::CreateOfSameClass() {
  auto* properties = static_cast<TuiCustomButtonGroupProperties*>(CreateOfClass(ClassType(), nullptr));
  for (const char* caption : {"A", "B", "C"}) properties->Items()->Add()->SetCaption(caption);
  properties->SetColumns(3);
  return properties;
}

// ---- Button group view data -----------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiButtonGroupViewData) {}
K58_IMPLEMENT_CLASS(TuiButtonGroupViewInfo) {}

bool TuiButtonGroupViewData::IsButtonNativeStyle() { return CanUseNativeButtonTheme(style_->LookAndFeel()); }

TuiCanvasTextFlags TuiButtonGroupViewData::GetDrawTextFlags() {
  if (GroupProperties()->WordWrap() && MeasuredWithLimit)
    return ctfAlignLeft | ctfAlignVCenter | ctfNoClip | ctfShowPrefix | ctfWordBreak;
  return ctfAlignLeft | ctfAlignVCenter | ctfSingleLine | ctfShowPrefix;
}

void TuiButtonGroupViewData::Calculate(TuiCanvas* ACanvas, const TRect& ABounds, const TPoint& P, Byte AButton,
                                       TShiftState AShift, TuiCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  TuiGroupBoxViewData::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  static_cast<TuiButtonGroupViewInfo*>(AViewInfo)->CaptionTextFlags = GetDrawTextFlags();
  // The buttons were laid out before the client area was known; now it is.
  if (GroupProperties()->Items()->Count() > 0) CalculateButtonPositions(ACanvas, AViewInfo);
}

void TuiButtonGroupViewData::CalculateButtonsViewInfo(TuiCanvas*, const TRect&, TuiCustomEditViewInfo* AViewInfo,
                                                      Byte, TShiftState, const TPoint&, bool) {
  // Without items there is nothing to lay out (and no row to divide by).
  const Integer count = GroupProperties()->Items()->Count();
  AViewInfo->SetButtonCount(count);
  if (count == 0) return;
  CalculateButtonViewInfos(AViewInfo);
  for (Integer i = 0; i < count; ++i) {
    TuiEditButtonViewInfo* button = AViewInfo->Buttons[static_cast<size_t>(i)];
    button->ButtonIndex = i;
    button->Data.NativeStyle = IsButtonNativeStyle();
    button->Data.Transparent = false;
    button->Data.BackgroundColor = style_->Color();
    button->Data.State = Enabled ? ebsNormalState : ebsDisabledState;
    SetupButtonViewInfo(AViewInfo, i);
  }
}

void TuiButtonGroupViewData::CalculateButtonViewInfos(TuiCustomEditViewInfo* AViewInfo) {
  TuiCustomButtonGroupProperties* p = GroupProperties();
  const Integer rows = p->GetRowCount();
  for (Integer i = 0; i < p->Items()->Count(); ++i) {
    TuiEditButtonViewInfo* button = AViewInfo->Buttons[static_cast<size_t>(i)];
    button->Data.Caption = p->Items()->Items(i)->Caption();
    // Column in Bounds.left's place until the positions are known.
    button->Bounds = TRect{i / rows, i % rows, 0, 0};
    TuiEditButtonStyle style;
    if (IsInplace) {
      switch (style_->LookAndFeel()->Kind()) {
        case lfFlat: style = btsFlat; break;
        case lfUltraFlat: style = btsUltraFlat; break;
        case lfOffice11: style = btsOffice11; break;
        default: style = bts3D; break;
      }
    } else {
      switch (style_->EditBorderStyle()) {
        case ebsUltraFlat: style = btsUltraFlat; break;
        case ebsOffice11: style = btsOffice11; break;
        case ebsSingle:
        case ebsThick:
        case ebsFlat: style = btsFlat; break;
        default: style = bts3D; break;
      }
    }
    button->Data.Style = style;
  }
}

void TuiButtonGroupViewData::CalculateButtonPositions(TuiCanvas*, TuiCustomEditViewInfo* AViewInfo) {
  TuiCustomButtonGroupProperties* p = GroupProperties();
  const Integer count = p->Items()->Count();
  if (count == 0) return;
  const Integer columns = p->GetColumnCount();
  const Integer rows = p->GetRowCount();
  if (columns <= 0 || rows <= 0) return;
  TuiButtonGroupButtonMetrics metrics;
  GetButtonMetrics(nullptr, metrics);
  TRect m{};
  CalculateClientRect(nullptr, AViewInfo, m);
  const TRect c = AViewInfo->Bounds;
  const Integer columnWidth =
      (c.right - c.left - m.left - m.right + metrics.ExtraWidth - (columns - 1) * metrics.ColumnSpacing) / columns;
  const Integer usable = c.bottom - c.top - m.top - m.bottom;
  const Integer rowHeight = usable / rows;
  const Integer firstTop = c.top + m.top + (usable % rows) / 2;
  for (Integer i = 0; i < count; ++i) {
    const Integer column = i / rows, row = i % rows;
    TRect& r = AViewInfo->Buttons[static_cast<size_t>(i)]->Bounds;
    r.left = c.left + m.left + (columnWidth + metrics.ColumnSpacing) * column + metrics.LeftOffset;
    r.top = firstTop + rowHeight * row;
    r.right = r.left + columnWidth;
    r.bottom = r.top + rowHeight;
    AViewInfo->Buttons[static_cast<size_t>(i)]->VisibleBounds = r;
  }
}

void TuiButtonGroupViewData::GetEditConstantPartSize(TuiCanvas* ACanvas, const TSize& AEditSizeProperties,
                                                     TSize& AMinContentSize, TSize& AConstantPartSize,
                                                     TuiCustomEditViewInfo*) {
  TuiCustomButtonGroupProperties* p = GroupProperties();
  ACanvas->SetCanvasFont(style_->GetVisibleFont());
  TuiButtonGroupButtonMetrics metrics;
  GetButtonMetrics(ACanvas, metrics);
  TSize offsets{};
  GetContentOffsetsExtent(offsets);
  const Integer v = offsets.cy;
  const Integer z = ACanvas->MeasureTextHeight("Zg") + v;
  const Integer count = p->Items()->Count();
  const Integer columns = p->GetColumnCount();
  const Integer rows = count == 0 ? 0 : p->GetRowCount();
  AMinContentSize = TSize{0, 0};
  if (AEditSizeProperties.cx < 0) {
    if (count == 0) {
      AConstantPartSize = TSize{0, z};
      return;
    }
    Integer widest = 0;
    for (Integer i = 0; i < count; ++i)
      widest = std::max(widest, ACanvas->MeasureTextWidth(StripAccelChars(p->Items()->Items(i)->Caption())));
    AConstantPartSize = TSize{(widest + metrics.ImageAllowance + metrics.ImageWidth) * columns +
                                  (columns - 1) * metrics.ColumnSpacing + metrics.LeftMargin,
                              std::max(metrics.ImageHeight, z) * rows};
    return;
  }
  if (count == 0) {
    AConstantPartSize = TSize{AEditSizeProperties.cx, z};
    return;
  }
  TRect extent{};
  GetBorderExtent(extent);
  const Integer wrap = std::max<Integer>(
      1, (AEditSizeProperties.cx - extent.left - extent.right + metrics.WrapWidthCorrection -
          (columns - 1) * metrics.ColumnSpacing) / columns - metrics.ImageWidth - metrics.WrapGap);
  MeasuredWithLimit = true;
  Integer rowHeight = z;
  if (p->WordWrap()) {
    const TuiCanvasTextFlags flags = (GetDrawTextFlags() & ~ctfAlignVCenter) | ctfAlignTop;
    for (Integer i = 0; i < count; ++i) {
      const String& caption = p->Items()->Items(i)->Caption();
      if (caption.empty()) continue;
      TRect r{0, 0, wrap, 30000};
      ACanvas->CalculateTextRect(caption, r, flags);
      rowHeight = std::max(rowHeight, r.bottom - r.top + v);
    }
  }
  AConstantPartSize = TSize{AEditSizeProperties.cx, rowHeight * rows};
}

// ---- Button group ---------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomButtonGroup) {}

TuiCustomButtonGroup::TuiCustomButtonGroup(TComponent* AOwner) : TuiCustomGroupBox(AOwner) {}

TuiCustomButtonGroup::~TuiCustomButtonGroup() {
  destroyingButtons_ = true;
  for (TWinControl* button : std::vector<TWinControl*>(buttons_)) FreeObject(button);
  buttons_.clear();
}

TClass TuiCustomButtonGroup::GetPropertiesClass() const { return TuiCustomButtonGroupProperties::StaticClass(); }

void TuiCustomButtonGroup::Initialize() {
  TuiCustomGroupBox::Initialize();
  SetTabStop(true);
}

Integer TuiCustomButtonGroup::IndexOfButton(TWinControl* AButton) const {
  auto it = std::find(buttons_.begin(), buttons_.end(), AButton);
  return it == buttons_.end() ? -1 : static_cast<Integer>(it - buttons_.begin());
}

Integer TuiCustomButtonGroup::FocusedButtonIndex() const {
  for (size_t i = 0; i < buttons_.size(); ++i)
    if (buttons_[i]->HandleAllocated() && buttons_[i]->Focused()) return static_cast<Integer>(i);
  return -1;
}

void TuiCustomButtonGroup::RemoveButtonFromList(TWinControl* AButton) {
  auto it = std::find(buttons_.begin(), buttons_.end(), AButton);
  if (it != buttons_.end()) buttons_.erase(it);
}

void TuiCustomButtonGroup::InitButton(TWinControl* AButton) {
  AButton->SetParentShowHint(false);
  AButton->SetParent(this);
  AButton->SetOnKeyDown([this](TObject*, Word& Key, TShiftState Shift) { KeyDown(Key, Shift); });
  AButton->SetOnKeyPress([this](TObject*, char& Key) { KeyPress(Key); });
  AButton->SetOnKeyUp([this](TObject*, Word& Key, TShiftState Shift) { KeyUp(Key, Shift); });
  AButton->SetOnMouseDown([this, AButton](TObject*, TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
    k58::editors::TScopedFlag fromButton(mouseDownFromButton_, true);
    MouseDown(Button, Shift, X + AButton->Left(), Y + AButton->Top());
  });
  AButton->SetOnMouseMove([this, AButton](TObject*, TShiftState Shift, Integer X, Integer Y) {
    MouseMove(Shift, X + AButton->Left(), Y + AButton->Top());
  });
  AButton->SetOnMouseUp([this, AButton](TObject*, TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
    MouseUp(Button, Shift, X + AButton->Left(), Y + AButton->Top());
  });
}

void TuiCustomButtonGroup::SyncButtonCount(Integer ACount) {
  TuiButtonGroupItems* items = ActiveGroupProperties()->Items();
  if (items->Notification.Running && items->Notification.Kind != bgnChanged) {
    if (items->Notification.Kind == bgnAdded) {
      TWinControl* button = CreateButton();
      InitButton(button);
    } else {
      const Integer index = items->Notification.Index;
      if (index >= 0 && index < ButtonCount()) FreeObject(buttons_[static_cast<size_t>(index)]);
    }
    return;
  }
  while (ButtonCount() > ACount) FreeObject(buttons_.back());
  while (ButtonCount() < ACount) InitButton(CreateButton());
}

void TuiCustomButtonGroup::UpdateButtons() {
  if (destroyingButtons_ || IsLoadingOrDestroying()) return;
  TuiButtonGroupItems* items = ActiveGroupProperties()->Items();
  SyncButtonCount(items->Count());
  for (Integer i = 0; i < ButtonCount() && i < items->Count(); ++i)
    buttons_[static_cast<size_t>(i)]->SetEnabled(Enabled() && items->Items(i)->Enabled());
  UpdateAtCursorPos();
  for (TWinControl* button : buttons_) button->SetCursor(Cursor());
}

void TuiCustomButtonGroup::SetButtonsBounds() {
  TuiCustomEditViewInfo* vi = EditViewInfo();
  for (Integer i = 0; i < ButtonCount() && i < vi->ButtonCount(); ++i) {
    const TRect& r = vi->Buttons[static_cast<size_t>(i)]->Bounds;
    buttons_[static_cast<size_t>(i)]->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
  }
}

void TuiCustomButtonGroup::UpdateButtonsStyle() {
  auto* style = static_cast<TuiEditStyle*>(GetActiveStyle());
  for (TWinControl* button : buttons_) {
    button->SetColor(style->Color());
    TObjectPtr<TFont> font(new TFont);
    font->Assign(style->GetVisibleFont());
    font->SetColor(style->TextColor());
    button->SetFont(font.get());
  }
}

bool TuiCustomButtonGroup::RefreshAtPoint(const TPoint& P, Byte AButton, TShiftState AShift, bool AIsMouseEvent) {
  const bool result = TuiCustomGroupBox::RefreshAtPoint(P, AButton, AShift, AIsMouseEvent);
  if (!destroyingButtons_ && HandleAllocated()) {
    SetButtonsBounds();
    UpdateButtonsStyle();
  }
  return result;
}

void TuiCustomButtonGroup::PropertiesChanged(TObject* Sender) {
  TuiCustomGroupBox::PropertiesChanged(Sender);
  if (!ComponentState().Contains(csReading)) UpdateButtons();
}

void TuiCustomButtonGroup::StyleChanged(TObject* Sender) {
  TuiCustomGroupBox::StyleChanged(Sender);
  UpdateButtons();
}

void TuiCustomButtonGroup::Loaded() {
  TuiCustomGroupBox::Loaded();
  UpdateButtons();
}

void TuiCustomButtonGroup::CreateWnd() {
  TuiCustomGroupBox::CreateWnd();
  UpdateButtons();
}

void TuiCustomButtonGroup::DoEditKeyDown(Word& Key, TShiftState Shift) {
  const Integer focused = FocusedButtonIndex();
  if (focused < 0) return;
  const Integer rows = ActiveGroupProperties()->GetRowCount();
  const Integer count = ButtonCount();
  const Integer column = focused / rows, row = focused % rows;
  Integer target = -1;
  switch (Key) {
    case VK_LEFT:
      if (column > 0) target = focused - rows;
      break;
    case VK_RIGHT:
      if (focused + rows < count) target = focused + rows;
      break;
    case VK_UP:
      if (row > 0) target = focused - 1;
      break;
    case VK_DOWN:
      if (row + 1 < rows && focused + 1 < count) target = focused + 1;
      break;
    default: break;
  }
  if (target >= 0) {
    TWinControl* button = buttons_[static_cast<size_t>(target)];
    if (button->CanFocus()) button->SetFocus();
    Key = 0;
  }
  TuiCustomGroupBox::DoEditKeyDown(Key, Shift);
}

void TuiCustomButtonGroup::GetTabOrderList(std::vector<TWinControl*>& List) {
  TuiCustomGroupBox::GetTabOrderList(List);
  // The group is one tab stop: its buttons are reached with the arrow keys.
  List.erase(std::remove_if(List.begin(), List.end(), [this](TWinControl* C) { return IndexOfButton(C) >= 0; }),
             List.end());
}

void TuiCustomButtonGroup::WndProc(TMessage& Message) {
  TuiCustomGroupBox::WndProc(Message);
  if (Message.Msg == WM_WINDOWPOSCHANGED && Transparent() && !IsLoadingOrDestroying() && HandleAllocated())
    RedrawWindow(Handle(), nullptr, 0, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

// ---- Unit -----------------------------------------------------------------------------------------------

namespace k58::editors {
void StartGroupBoxUnit() { ++groupBoxUnitCount; }
void StopGroupBoxUnit() {
  if (groupBoxUnitCount > 0) --groupBoxUnitCount;
}
}  // namespace k58::editors
