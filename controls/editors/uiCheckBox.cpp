// The check box editor: its properties, layout, painting, state and input.
#include "controls/editors/uiCheckBox.h"

#include <algorithm>

#include "controls/foundation/uiEditUtils.h"
#include "controls/foundation/uxThemeManager.h"
#include "controls/foundation/uxUxTheme.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/forms/ControlsMessages.h"
#include "platform/forms/StdCtrlsPublish.h"
#include "platform/rtl/CodePages.h"
#include "platform/forms/Menus.h"

Integer CheckMarkWidth = 0;
Integer CheckMarkHeight = 0;

namespace {
TBitmap* checkMarkMask = nullptr;
Integer checkBoxUnitCount = 0;

const char* const CheckedText = "True";
const char* const UncheckedText = "False";

bool AreExactlySame(const Variant& A, const Variant& B) { return TuiCustomEdit::VarEqualsSameType(A, B) || (VarIsNull(A) && VarIsNull(B)); }

// The check mark: the pixels of the checked cell that differ from the unchecked one.
void BuildCheckMark() {
  HBITMAP system = LoadBitmap(0, reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(OBM_CHECKBOXES)));
  BITMAP info{};
  GetObject(system, sizeof(info), &info);
  CheckMarkWidth = info.bmWidth / 4;
  CheckMarkHeight = info.bmHeight / 3;
  checkMarkMask = new TBitmap;
  checkMarkMask->SetMonochrome(true);
  checkMarkMask->SetSize(CheckMarkWidth, CheckMarkHeight);
  HDC dc = CreateCompatibleDC(0);
  HGDIOBJ old = SelectObject(dc, system);
  TCanvas* mask = checkMarkMask->Canvas();
  for (Integer y = 0; y < CheckMarkHeight; ++y)
    for (Integer x = 0; x < CheckMarkWidth; ++x)
      mask->SetPixels(x, y, GetPixel(dc, x, y) == GetPixel(dc, x + CheckMarkWidth, y) ? clWhite : clBlack);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(system);
}
}  // namespace

TBitmap* CheckMarkMask() { return checkMarkMask; }

bool CanUseNativeButtonTheme(TuiLookAndFeel* ALookAndFeel) {
  return ALookAndFeel != nullptr && ALookAndFeel->NativeStyle() && IsThemedObjectUsable(totButton);
}

TSize GetButtonThemePartSize(Integer APart, Integer AState) {
  SIZE size{0, 0};
  HTHEME theme = OpenThemeObject(totButton);
  if (theme == nullptr) return TSize{0, 0};
  GetThemePartSize(theme, 0, APart, AState, TS_TRUE, size);
  return TSize{size.cx, size.cy};
}

// ---- Properties -----------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomCheckBoxProperties) {}

K58_IMPLEMENT_CLASS(TuiCheckBoxProperties) {
  using S = TuiCheckBoxProperties;
  b.Prop("AllowGrayed", &S::AllowGrayed, &S::SetAllowGrayed).Default(false);
  b.Prop("Alignment", &S::HorzAlignment, &S::SetHorzAlignment).Stored(&S::IsHorzAlignmentStored);
  b.Prop("AssignedValues", &S::AssignedValues, &S::SetAssignedValues);
  // Read from older form texts; never written.
  b.Prop("Caption", &S::Caption, &S::SetCaption).Stored(false);
  b.Prop("DisplayChecked", &S::DisplayChecked, &S::SetDisplayChecked).Stored(&S::IsDisplayCheckedStored);
  b.Prop("DisplayGrayed", &S::DisplayGrayed, &S::SetDisplayGrayed).Stored(&S::IsDisplayGrayedStored);
  b.Prop("DisplayUnchecked", &S::DisplayUnchecked, &S::SetDisplayUnchecked).Stored(&S::IsDisplayUncheckedStored);
  b.Prop("FullFocusRect", &S::FullFocusRect, &S::SetFullFocusRect).Default(false);
  b.Prop("Glyph", &S::Glyph, &S::SetGlyph).Stored(&S::IsGlyphStored);
  b.Prop("GlyphCount", &S::GlyphCount, &S::SetGlyphCount).Default(6);
  b.Prop("ImmediatePost", &S::ImmediatePost, &S::SetImmediatePost).Default(false);
  b.Prop("MultiLine", &S::MultiLine, &S::SetMultiLine).Default(false);
  b.Prop("NullStyle", &S::NullStyle, &S::SetNullStyle).Default(nssGrayedChecked);
  b.Prop("ReadOnly", &S::ReadOnly, &S::SetReadOnly).Stored(&S::IsReadOnlyStored);
  b.Prop("UseAlignmentWhenInplace", &S::UseAlignmentWhenInplace, &S::SetUseAlignmentWhenInplace).Default(false);
  b.Prop("ValueChecked", &S::ValueChecked, &S::SetValueChecked).Stored(&S::IsValueCheckedStored);
  b.Prop("ValueGrayed", &S::ValueGrayed, &S::SetValueGrayed).Stored(&S::IsValueGrayedStored);
  b.Prop("ValueUnchecked", &S::ValueUnchecked, &S::SetValueUnchecked).Stored(&S::IsValueUncheckedStored);
  b.Prop("OnChange", &S::OnChange, &S::SetOnChange);
  b.Prop("OnEditValueChanged", &S::OnEditValueChanged, &S::SetOnEditValueChanged);
}

TuiCustomCheckBoxProperties::TuiCustomCheckBoxProperties()
    : displayChecked_(LocalizeText(CheckedText)),
      displayGrayed_(LocalizeText("")),
      displayUnchecked_(LocalizeText(UncheckedText)) {}

TuiCustomCheckBoxProperties::~TuiCustomCheckBoxProperties() = default;

bool TuiCustomCheckBoxProperties::IsDisplayCheckedStored() const { return displayChecked_ != LocalizeText(CheckedText); }
bool TuiCustomCheckBoxProperties::IsDisplayGrayedStored() const { return displayGrayed_ != LocalizeText(""); }
bool TuiCustomCheckBoxProperties::IsDisplayUncheckedStored() const {
  return displayUnchecked_ != LocalizeText(UncheckedText);
}
bool TuiCustomCheckBoxProperties::IsValueCheckedStored() const { return !AreExactlySame(valueChecked_, Variant(true)); }
bool TuiCustomCheckBoxProperties::IsValueUncheckedStored() const {
  return !AreExactlySame(valueUnchecked_, Variant(false));
}

void TuiCustomCheckBoxProperties::SetCaption(const String& Value) {
  captionAssigned_ = true;
  if (caption_ == Value) return;
  caption_ = Value;
  Changed();
}

void TuiCustomCheckBoxProperties::SetFullFocusRect(bool Value) {
  if (fullFocusRect_ == Value) return;
  fullFocusRect_ = Value;
  Changed();
}

void TuiCustomCheckBoxProperties::SetMultiLine(bool Value) {
  if (multiLine_ == Value) return;
  multiLine_ = Value;
  Changed();
}

void TuiCustomCheckBoxProperties::SetNullStyle(TuiCheckBoxNullValueShowingStyle Value) {
  if (nullStyle_ == Value) return;
  nullStyle_ = Value;
  Changed();
}

void TuiCustomCheckBoxProperties::SetUseAlignmentWhenInplace(bool Value) {
  if (useAlignmentWhenInplace_ == Value) return;
  useAlignmentWhenInplace_ = Value;
  Changed();
}

void TuiCustomCheckBoxProperties::SetGlyphCount(Integer Value) {
  if (glyphCount_ == Value) return;
  glyphCount_ = Value;
  if (glyph_ != nullptr) Changed();
}

TBitmap* TuiCustomCheckBoxProperties::ProvideGlyph() {
  if (glyph_ == nullptr) {
    glyph_.reset(new TBitmap);
    glyph_->SetOnChange([this](TObject* Sender) { GlyphChanged(Sender); });
  }
  return glyph_.get();
}

void TuiCustomCheckBoxProperties::SetGlyph(TBitmap* Value) {
  if (Value == nullptr)
    glyph_.reset();
  else
    ProvideGlyph()->Assign(Value);
  Changed();
}

bool TuiCustomCheckBoxProperties::IsOneOfValues(const Variant& Value) const {
  return AreExactlySame(Value, valueChecked_) || AreExactlySame(Value, valueGrayed_) ||
         AreExactlySame(Value, valueUnchecked_);
}

void TuiCustomCheckBoxProperties::SetValueChecked(Variant Value) {
  if (VarIsNull(Value) || IsOneOfValues(Value)) return;
  valueChecked_ = Value;
  Changed();
}

void TuiCustomCheckBoxProperties::SetValueGrayed(Variant Value) {
  if (IsOneOfValues(Value)) return;
  valueGrayed_ = Value;
  Changed();
}

void TuiCustomCheckBoxProperties::SetValueUnchecked(Variant Value) {
  if (VarIsNull(Value) || IsOneOfValues(Value)) return;
  valueUnchecked_ = Value;
  Changed();
}

void TuiCustomCheckBoxProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TuiCustomCheckBoxProperties*>(Source);
  if (source == nullptr) return TuiCustomEditProperties::Assign(Source);
  BeginUpdate();
  try {
    TuiCustomEditProperties::Assign(Source);
    allowGrayed_ = source->allowGrayed_;
    displayChecked_ = source->displayChecked_;
    displayGrayed_ = source->displayGrayed_;
    displayUnchecked_ = source->displayUnchecked_;
    SetFullFocusRect(source->fullFocusRect_);
    SetGlyph(source->glyph_.get());
    SetGlyphCount(source->glyphCount_);
    SetMultiLine(source->multiLine_);
    SetNullStyle(source->nullStyle_);
    SetUseAlignmentWhenInplace(source->useAlignmentWhenInplace_);
    // The three values are copied as a set: one by one, a value equal to an old one would be refused.
    valueChecked_ = source->valueChecked_;
    valueGrayed_ = source->valueGrayed_;
    valueUnchecked_ = source->valueUnchecked_;
    Changed();
  } catch (...) {
    EndUpdate(true);
    throw;
  }
  EndUpdate(true);
}

TuiCheckBoxState TuiCustomCheckBoxProperties::GetState(const Variant& AEditValue) const {
  if (AreVariantsSame(AEditValue, valueChecked_)) return cbsChecked;
  if (AreVariantsSame(AEditValue, valueUnchecked_)) return cbsUnchecked;
  return cbsGrayed;
}

Variant TuiCustomCheckBoxProperties::GetValueOfState(Integer AState) const {
  switch (AState) {
    case cbsUnchecked: return valueUnchecked_;
    case cbsChecked: return valueChecked_;
    case cbsGrayed: return valueGrayed_;
    default: return Variant();
  }
}

TClass TuiCustomCheckBoxProperties::GetViewDataClass() const { return TuiCustomCheckBoxViewData::StaticClass(); }
TClass TuiCustomCheckBoxProperties::GetEditClass() const { return TuiCheckBox::StaticClass(); }
TClass TuiCustomCheckBoxProperties::GetStyleClass() const { return TuiCheckBoxStyle::StaticClass(); }
TClass TuiCustomCheckBoxProperties::GetViewInfoClass() const { return TuiCustomCheckBoxViewInfo::StaticClass(); }

bool TuiCustomCheckBoxProperties::CompareDisplayValues(const Variant& AEditValue1, const Variant& AEditValue2) {
  return GetState(AEditValue1) == GetState(AEditValue2);
}

TuiCustomEditViewData* TuiCustomCheckBoxProperties::CreateViewData(TuiEditStyle* AStyle, bool AIsInplace,
                                                                    bool ALockedState) {
  auto* viewData = new TuiCustomCheckBoxViewData(this, AStyle, AIsInplace);
  viewData->ApplyProperties();
  viewData->EmptyDrawValue = ALockedState;
  return viewData;
}

WideString TuiCustomCheckBoxProperties::GetDisplayText(const Variant& AEditValue, bool) {
  switch (GetState(AEditValue)) {
    case cbsChecked: return Utf8ToWide(displayChecked_);
    case cbsUnchecked: return Utf8ToWide(displayUnchecked_);
    default: return Utf8ToWide(displayGrayed_);
  }
}

bool TuiCustomCheckBoxProperties::IsEditValueValid(Variant& AEditValue, bool AEditFocused) {
  if (!TuiCustomEditProperties::IsEditValueValid(AEditValue, AEditFocused)) return false;
  return IsOneOfValues(AEditValue);
}

void TuiCustomCheckBoxProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool) {
  ADisplayValue = Variant(static_cast<Integer>(GetState(AEditValue)));
}

// ---- Style ----------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCheckBoxStyle) {}

// ---- View info ------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomCheckBoxViewInfo) {}

bool TuiCustomCheckBoxViewInfo::Assign(TuiContainerViewInfo* AViewInfo) {
  if (auto* source = dynamic_cast<TuiCustomCheckBoxViewInfo*>(AViewInfo)) {
    MarkButtonState = source->MarkButtonState;
    MarkThemeState = source->MarkThemeState;
    MarkRect = source->MarkRect;
    State = source->State;
    FocusRect = source->FocusRect;
  }
  return TuiCustomEditViewInfo::Assign(AViewInfo);
}

TuiRegion* TuiCustomCheckBoxViewInfo::CreateRegionToRepaint(TuiContainerViewInfo* AOldViewInfo) {
  TuiRegion* region = TuiCustomEditViewInfo::CreateRegionToRepaint(AOldViewInfo);
  auto* old = dynamic_cast<TuiCustomCheckBoxViewInfo*>(AOldViewInfo);
  if (old == nullptr || old->MarkButtonState != MarkButtonState || old->MarkThemeState != MarkThemeState)
    region->CombineWith(new TuiRegion(MarkRect), roAdd, true);
  return region;
}

void TuiCustomCheckBoxViewInfo::OffsetRects(Integer DX, Integer DY) {
  TuiCustomEditViewInfo::OffsetRects(DX, DY);
  OffsetRect(&MarkRect, DX, DY);
  OffsetRect(&FocusRect, DX, DY);
  OffsetRect(&TextRect, DX, DY);
}

bool TuiCustomCheckBoxViewInfo::RepaintChanges(TWinControl* AControl, const TRect& AInnerEditRect,
                                               TuiContainerViewInfo* AOldViewInfo) {
  bool result = TuiCustomEditViewInfo::RepaintChanges(AControl, AInnerEditRect, AOldViewInfo);
  auto* old = dynamic_cast<TuiCustomCheckBoxViewInfo*>(AOldViewInfo);
  if (AControl == nullptr || !AControl->HandleAllocated() || old == nullptr) return result;
  if (old->MarkButtonState != MarkButtonState || old->MarkThemeState != MarkThemeState || old->State != State ||
      !EqualRect(&old->FocusRect, &FocusRect)) {
    TRect r = MarkRect;
    OffsetRect(&r, PaintOffset.x, PaintOffset.y);
    InvalidateRect(AControl->Handle(), &r, FALSE);
    if (!EqualRect(&old->FocusRect, &FocusRect)) {
      TRect f = old->FocusRect;
      UnionRect(&f, &f, &FocusRect);
      InflateRect(&f, 1, 1);
      InvalidateRect(AControl->Handle(), &f, FALSE);
    }
    result = true;
  }
  return result;
}

void TuiCustomCheckBoxViewInfo::DrawMark(TuiCanvas* ACanvas, TuiCheckBoxState AState, TRect R,
                                         TColor ABackgroundColor) {
  if (AState == cbsGrayed && NullStyle == nssUnchecked) AState = cbsUnchecked;
  const bool opaque = ABackgroundColor != clNone;
  if (IsGlyphUsable) {
    const Integer cellWidth = Glyph->Width() / GlyphCount;
    Integer index = static_cast<Integer>(AState) + (MarkButtonState == cbmsPressed ? 3 : 0);
    if (index >= GlyphCount && index > 2) index %= 3;
    const Integer w = R.right - R.left, h = R.bottom - R.top;
    TObjectPtr<TBitmap> cell(new TBitmap);
    cell->SetSize(w, h);
    const Integer top = (Glyph->Height() - h) / 2;
    cell->Canvas()->CopyRect(TRect{0, 0, w, h}, Glyph->Canvas(),
                             TRect{index * cellWidth, top, index * cellWidth + w, top + h});
    cell->SetTransparentColor(Glyph->TransparentColor());
    DrawGlyph(ACanvas, R.left, R.top, cell.get(), opaque ? ABackgroundColor : clNone, MarkButtonState != cbmsDisabled);
    return;
  }
  if (NativeStyle) {
    Integer drawState = static_cast<Integer>(AState);
    const Integer themeState = drawState * 4 + MarkButtonState + 1;
    if (HTHEME theme = OpenThemeObject(totButton)) DrawThemeBackground(theme, ACanvas->GetDCHandle(), BP_CHECKBOX, themeState, R);
    return;
  }
  // A border thinner than 2 pixels leaves a ring that the background fills.
  const TRect initial = R;
  const Integer ring = MarkBorderWidth;
  if (opaque && ring > 0) {
    for (Integer i = 0; i < ring; ++i) {
      TRect frame = R;
      InflateRect(&frame, -i, -i);
      ACanvas->DrawBorderLines(frame, ABackgroundColor, 1, uiAllBorders);
    }
  }
  if (ring > 0) InflateRect(&R, -ring, -ring);
  const bool office11 = MarkBorderStyle == ebsOffice11;
  switch (MarkBorderStyle) {
    case ebsNone: return;
    case ebsSingle: ACanvas->DrawBorderLines(R, BorderColor, 1, uiAllBorders); break;
    case ebsThick: ACanvas->DrawBorderLines(R, BorderColor, 2, uiAllBorders); break;
    case ebsFlat: {
      ACanvas->DrawEdge3D(R, true, true);
      TRect inner = R;
      InflateRect(&inner, -1, -1);
      ACanvas->DrawBorderLines(inner, clBtnFace, 1, uiAllBorders);
      break;
    }
    case ebs3D: {
      ACanvas->DrawEdge3D(R, true, true);
      TRect inner = R;
      InflateRect(&inner, -1, -1);
      ACanvas->DrawTwoColorFrame(inner, cl3DDkShadow, cl3DLight);
      break;
    }
    case ebsUltraFlat:
    case ebsOffice11: {
      TColor color = clBtnShadow;
      if (MarkButtonState == cbmsHot || MarkButtonState == cbmsPressed ||
          (IsDesigning && MarkButtonState != cbmsDisabled) || (MarkButtonState == cbmsNormal && Focused))
        color = GetHighlightColor(office11);
      else if (office11 && MarkButtonState == cbmsNormal)
        color = clBtnText;
      ACanvas->DrawBorderLines(R, color, 1, uiAllBorders);
      break;
    }
  }
  TRect interior = initial;
  InflateRect(&interior, -2, -2);
  const bool grayed = AState == cbsGrayed;
  if (MarkBorderStyle == ebsUltraFlat || MarkBorderStyle == ebsOffice11) {
    TColor fill = clWindow;
    if (MarkButtonState == cbmsHot || MarkButtonState == cbmsPressed)
      fill = GetFlatButtonColor(MarkButtonState == cbmsPressed, office11);
    else if (MarkButtonState == cbmsDisabled || (grayed && NullStyle == nssInactive))
      fill = clBtnFace;
    ACanvas->FillRectWithColor(interior, fill);
    const bool marked = AState == cbsChecked || (grayed && NullStyle == nssGrayedChecked);
    if (!marked || checkMarkMask == nullptr) return;
    const Integer saved = ACanvas->SaveState();
    ACanvas->IntersectClipRect(interior);
    HDC dc = ACanvas->GetDCHandle();
    HBRUSH brush = CreateSolidBrush(ColorToRGB(MarkButtonState == cbmsDisabled || grayed ? clBtnShadow : clBtnText));
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    const COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
    BitBlt(dc, interior.left - 2, interior.top - 2, CheckMarkWidth, CheckMarkHeight, checkMarkMask->Canvas()->Handle(), 0,
           0, 0xB8074A);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
    SelectObject(dc, oldBrush);
    DeleteObject(brush);
    ACanvas->RestoreState(saved);
    return;
  }
  UINT flags = 0;
  const bool disabled = MarkButtonState == cbmsDisabled;
  if (!disabled) {
    if (AState == cbsChecked) flags = DFCS_CHECKED;
    if (grayed) flags = NullStyle == nssInactive ? DFCS_INACTIVE | DFCS_BUTTON3STATE : DFCS_CHECKED | DFCS_BUTTON3STATE;
    if (MarkButtonState == cbmsPressed) flags |= DFCS_PUSHED;
  } else if (AState == cbsUnchecked || (grayed && NullStyle != nssGrayedChecked)) {
    flags = DFCS_INACTIVE | DFCS_PUSHED | DFCS_BUTTON3STATE;
  } else {
    flags = DFCS_CHECKED | DFCS_PUSHED | DFCS_BUTTON3STATE;
  }
  if (MarkBorderStyle != ebs3D) flags |= DFCS_FLAT;
  const Integer saved = ACanvas->SaveState();
  ACanvas->IntersectClipRect(interior);
  TRect box = interior;
  InflateRect(&box, 2, 2);
  DrawFrameControl(ACanvas->GetDCHandle(), &box, DFC_BUTTON, DFCS_BUTTONCHECK | flags);
  ACanvas->RestoreState(saved);
}

void TuiCustomCheckBoxViewInfo::Paint(TuiCanvas* ACanvas) {
  const Integer saved = ACanvas->SaveState();
  TRect inner = MarkRect;
  InflateRect(&inner, -MarkBorderWidth, -MarkBorderWidth);
  bool markTransparent = Transparent;
  if (!markTransparent && (Transparent || IsBackgroundEventAssigned())) markTransparent = IsGlyphUsable;
  if (!markTransparent && NativeStyle && (Transparent || IsBackgroundEventAssigned()))
    if (HTHEME theme = OpenThemeObject(totButton))
      markTransparent = IsThemeBackgroundPartiallyTransparent(theme, BP_CHECKBOX, MarkThemeState) != FALSE;
  if (!markTransparent) ACanvas->ExcludeClipRect(inner);
  bool opaque = false;
  if (!IsInplace && EditControl != nullptr && EditControl->NeedsParentBackground()) {
    DrawThemeParentBackground(EditControl->Handle(), ACanvas->GetDCHandle(), &Bounds);
  } else if (!IsInplace && Transparent && EditControl != nullptr) {
    PaintParentImage(reinterpret_cast<TControl*>(EditControl), ACanvas, Bounds);
  } else if (IsInplace) {
    if (!Transparent && !CustomDrawInplaceBackground(ACanvas)) {
      ACanvas->FillRectWithColor(Bounds, BackgroundColor);
      opaque = true;
    }
  } else if (NativeStyle) {
    ACanvas->FillRectWithColor(Bounds, BackgroundColor);
    opaque = true;
  } else {
    DrawEditButtons(ACanvas, this, true, 0);
    opaque = true;
  }
  ACanvas->RestoreState(saved);
  DrawMark(ACanvas, State, MarkRect, opaque ? BackgroundColor : clNone);
  if (Alignment != 2 && !Text.empty()) {
    ACanvas->SetCanvasFont(Font);
    ACanvas->GetCanvasFont()->SetColor(TextColor);
    ACanvas->GetCanvasBrush()->SetStyle(bsClear);
    ACanvas->DrawCaptionText(Text, TextRect, DrawTextFlags, Enabled || NativeStyle || IsTextColorAssigned);
  }
  if (!IsRectEmpty(&FocusRect)) ACanvas->DrawFocusRectangle(FocusRect);
}

// ---- View data ------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomCheckBoxViewData) {}

TuiCanvasTextFlags TuiCustomCheckBoxViewData::GetDrawTextFlags() {
  TuiCustomCheckBoxProperties* p = CheckProperties();
  TuiCanvasTextFlags flags = p->HorzAlignment() == taCenter ? ctfAlignHCenter : ctfAlignLeft;
  flags |= ctfShowPrefix;
  flags |= p->MultiLine() ? (ctfWordBreak | ctfNoClip) : ctfSingleLine;
  flags |= (IsInplace || !p->MultiLine()) ? ctfAlignVCenter : ctfAlignTop;
  return flags;
}

Integer TuiCustomCheckBoxViewData::GetMarkButtonState(const TRect& ABounds, const TPoint& P, Byte AButton,
                                                      TShiftState AShift, Integer AOldState) const {
  if (!Enabled) return cbmsDisabled;
  if (SpacePressed) return cbmsPressed;
  if (IsDesigning || !PtInRect(&ABounds, P)) return cbmsNormal;
  const bool nothingHeld = !AShift.Contains(ssLeft) && !AShift.Contains(ssRight) && !AShift.Contains(ssMiddle) &&
                           !AShift.Contains(ssShift) && !AShift.Contains(ssCtrl) && !AShift.Contains(ssAlt);
  if (nothingHeld) return cbmsHot;
  const bool onlyLeft = AShift.Contains(ssLeft) && !AShift.Contains(ssRight) && !AShift.Contains(ssMiddle) &&
                        !AShift.Contains(ssShift) && !AShift.Contains(ssCtrl) && !AShift.Contains(ssAlt);
  if (onlyLeft && (AButton == 1 || AOldState == cbmsPressed)) return cbmsPressed;
  return cbmsNormal;
}

void TuiCustomCheckBoxViewData::Calculate(TuiCanvas* ACanvas, const TRect& ABounds, const TPoint& P, Byte AButton,
                                          TShiftState AShift, TuiCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  const Integer oldMarkState = static_cast<TuiCustomCheckBoxViewInfo*>(AViewInfo)->MarkButtonState;
  TuiCustomEditViewData::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  auto& vi = *static_cast<TuiCustomCheckBoxViewInfo*>(AViewInfo);
  TuiCustomCheckBoxProperties* p = CheckProperties();
  auto* edit = dynamic_cast<TuiCustomCheckBox*>(Edit);
  vi.DrawTextFlags = GetDrawTextFlags();
  if (edit != nullptr) vi.Text = edit->Caption();
  const bool showsCaption = !IsInplace || p->ShowsInplaceCaption();
  if (IsInplace && !showsCaption && !p->UseAlignmentWhenInplace() && vi.Text.empty())
    vi.Alignment = 2;
  else
    vi.Alignment = p->HorzAlignment() == taRightJustify ? 1 : p->HorzAlignment() == taCenter ? 2 : 0;

  // The mark's border follows the style, one step heavier while hot-tracked.
  vi.MarkBorderStyle = style_->EditBorderStyle();
  const bool hotTracked = style_->HotTrack() && !IsInplace && !IsDesigning && PtInRect(&ABounds, P);
  if (hotTracked) {
    if (vi.MarkBorderStyle == ebsNone) vi.MarkBorderStyle = ebsFlat;
    else if (vi.MarkBorderStyle == ebsSingle) vi.MarkBorderStyle = ebsThick;
    else if (vi.MarkBorderStyle == ebsFlat) vi.MarkBorderStyle = ebs3D;
  }
  vi.Glyph = p->GlyphIfAny();
  vi.GlyphCount = p->GlyphCount();
  vi.NullStyle = p->NullStyle();
  vi.IsGlyphUsable = vi.GlyphCount > 0 && IsBitmapUsable(vi.Glyph);
  const bool native = CanUseNativeButtonTheme(style_->LookAndFeel());
  vi.NativeStyle = native;
  vi.MarkBorderWidth = vi.IsGlyphUsable || native
                           ? 0
                           : 2 - GetContainerBorderWidth(static_cast<TuiContainerBorderStyle>(vi.MarkBorderStyle));
  TSize mark{CheckMarkWidth, CheckMarkHeight};
  if (vi.IsGlyphUsable)
    mark = TSize{vi.Glyph->Width() / vi.GlyphCount, vi.Glyph->Height()};
  else if (native)
    mark = GetButtonThemePartSize(BP_CHECKBOX, 5);

  // Mark and caption.
  const TRect c = vi.ClientRect;
  TRect t = c;
  TRect m = c;
  if (IsInplace) {
    if (vi.Alignment == 0) t.right -= 2, m.left += 2;
    if (vi.Alignment == 1) t.left += 2, m.right -= 2;
    TRect offsets;
    GetContentOffsets(offsets);
    t.top += offsets.top;
    t.bottom -= offsets.bottom;
  } else {
    InflateRect(&t, -2, -2);
    t.top -= 1;
  }
  if (!IsInplace && !native) InflateRect(&m, -2, -2);
  TRect markRect = m;
  if (mark.cy < m.bottom - m.top) {
    markRect.top = m.top + (m.bottom - m.top - mark.cy) / 2;
    markRect.bottom = markRect.top + mark.cy;
  }
  if (mark.cx < m.right - m.left) {
    if (vi.Alignment == 2) {
      markRect.left = m.left + (m.right - m.left - mark.cx) / 2;
    } else if (vi.Alignment == 1) {
      markRect.left = m.right - mark.cx;
      t.right = m.right - mark.cx - 3;
    } else {
      markRect.left = m.left;
      t.left = m.left + mark.cx + 3;
    }
    markRect.right = markRect.left + mark.cx;
  } else {
    t.right = t.left;
  }
  if (!Enabled) t.right += 1, t.bottom += 1;
  vi.MarkRect = markRect;
  vi.TextRect = t;

  vi.MarkButtonState = GetMarkButtonState(ABounds, P, AButton, AShift, oldMarkState);
  if (edit != nullptr) vi.State = edit->State();
  vi.EditControl = edit;
  vi.Transparent = edit != nullptr && edit->Transparent() && !IsInplace;
  if (native) {
    Integer state = static_cast<Integer>(vi.State);
    if (vi.State == cbsGrayed && vi.NullStyle == nssUnchecked) state = 0;
    vi.MarkThemeState = (vi.State == cbsGrayed && vi.NullStyle == nssInactive) ? 4 : state * 4 + vi.MarkButtonState + 1;
  } else {
    vi.MarkThemeState = 0;
  }
  if (IsInplace && vi.EditBorderStyle == ebsSingle)
    vi.BorderColor = (vi.MarkButtonState == cbmsHot || (IsDesigning && vi.MarkButtonState != cbmsDisabled))
                         ? clHighlight
                         : clBtnShadow;
  vi.IsTextColorAssigned = style_->IsValueAssigned(csvTextColor);

  // The focus rectangle.
  vi.FocusRect = TRect{};
  if (Focused) {
    if (vi.Alignment == 2) {
      // Only an in-place host asks for a frame around a centred mark.
    } else if (!vi.Text.empty() && showsCaption) {
      TRect f = t;
      if (!p->FullFocusRect() && ACanvas != nullptr) {
        ACanvas->SetCanvasFont(vi.Font);
        ACanvas->CalculateTextRect(vi.Text, f, vi.DrawTextFlags);
      }
      InflateRect(&f, 1, 1);
      vi.FocusRect = f;
    }
  }
}

void TuiCustomCheckBoxViewData::EditValueToDrawValue(TuiCanvas*, const Variant& AEditValue,
                                                     TuiCustomEditViewInfo* AViewInfo) {
  auto& vi = *static_cast<TuiCustomCheckBoxViewInfo*>(AViewInfo);
  vi.State = CheckProperties()->GetState(AEditValue);
  if (IsInplace && !CheckProperties()->ShowsInplaceCaption()) vi.Text.clear();
}

void TuiCustomCheckBoxViewData::GetEditConstantPartSize(TuiCanvas* ACanvas, const TSize&, TSize& AMinContentSize,
                                                        TSize& AConstantPartSize, TuiCustomEditViewInfo* AViewInfo) {
  std::unique_ptr<TuiCustomCheckBoxViewInfo, TObjectDeleter> temporary;
  auto* vi = dynamic_cast<TuiCustomCheckBoxViewInfo*>(AViewInfo);
  if (vi == nullptr) {
    temporary.reset(new TuiCustomCheckBoxViewInfo);
    vi = temporary.get();
    Calculate(ACanvas, TRect{0, 0, 300, 300}, TPoint{-1, -1}, 0, TShiftState{}, vi, false);
  }
  AMinContentSize = TSize{0, 0};
  const Integer markWidth = vi->MarkRect.right - vi->MarkRect.left;
  Integer markHeight = vi->MarkRect.bottom - vi->MarkRect.top;
  if (IsInplace)
    markHeight += 2 * (1 - vi->MarkBorderWidth);
  else if (!vi->NativeStyle)
    markHeight += 4;
  ACanvas->SetCanvasFont(style_->GetVisibleFont());
  const String sample = (vi->Alignment == 2 || IsInplace) ? String("Gg") : StripAccelChars(vi->Text);
  TRect r{0, 0, std::max<Integer>(1, vi->TextRect.right - vi->TextRect.left), 0};
  ACanvas->CalculateTextRect(sample.empty() ? String("Gg") : sample, r, vi->DrawTextFlags & ~ctfAlignVCenter);
  const Integer textHeight = r.bottom - r.top + (IsInplace ? 0 : 3);
  AConstantPartSize = TSize{markWidth, std::max(markHeight, textHeight)};
}

// ---- Editor ---------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomCheckBox) {}

K58_IMPLEMENT_CLASS(TuiCheckBox) {
  using S = TuiCheckBox;
  PublishControl(b, {"Anchors", "Constraints", "DragCursor", "DragKind", "DragMode", "Enabled",
                     "ParentBackground", "ParentColor", "ParentFont", "ParentShowHint", "PopupMenu", "ShowHint",
                     "TabOrder", "TabStop", "Visible", "OnClick", "OnContextPopup", "OnMouseEnter", "OnMouseLeave"});
  k58::forms::PublishWindowedEvents(b);
  b.Prop("Caption", &S::Caption, &S::SetCaption);
  b.Prop("Checked", &S::Checked, &S::SetChecked).Stored(false);
  b.Prop("Properties", &S::Properties, &S::SetProperties);
  b.Prop("State", &S::State, &S::SetState).Stored(&S::IsStateStored);
}

TuiCustomCheckBox::TuiCustomCheckBox(TComponent* AOwner) : TuiCustomEdit(AOwner) {}

TClass TuiCustomCheckBox::GetPropertiesClass() const { return TuiCustomCheckBoxProperties::StaticClass(); }
TClass TuiCheckBox::GetPropertiesClass() const { return TuiCheckBoxProperties::StaticClass(); }

TuiContainerStyleValues TuiCustomCheckBox::GetUnusedStyleValues() {
  TuiContainerStyleValues values = TuiCustomEdit::GetUnusedStyleValues();
  values.Include(csvEdges);
  return values;
}

void TuiCustomCheckBox::Initialize() {
  TuiCustomEdit::Initialize();
  TControlStyle style = ControlStyle();
  style.Exclude(csDoubleClicks);
  SetControlStyle(style);
  SetWidth(121);
  Variant value;
  DisplayValueToEditValue(Variant(static_cast<Integer>(cbsUnchecked)), value, false);
  InternalSetEditValue(value, false);
}

void TuiCustomCheckBox::InitializeViewData(TuiCustomEditViewData* AViewData) {
  TuiCustomEdit::InitializeViewData(AViewData);
  if (auto* viewData = dynamic_cast<TuiCustomCheckBoxViewData*>(AViewData)) viewData->SpacePressed = spacePressed_;
}

TuiCheckBoxState TuiCustomCheckBox::State() {
  if (ComponentState().Contains(csLoading) && stateAssignedWhileLoading_) return loadedState_;
  return ActiveCheckProperties()->GetState(EditValue());
}

void TuiCustomCheckBox::SetState(TuiCheckBoxState Value) {
  if (ComponentState().Contains(csLoading)) {
    loadedState_ = Value;
    stateAssignedWhileLoading_ = true;
    return;
  }
  if (State() == Value) return;
  Variant value;
  DisplayValueToEditValue(Variant(static_cast<Integer>(Value)), value, IsEditFocused());
  InternalSetEditValue(value, false);
}

bool TuiCustomCheckBox::IsStateStored() const {
  // Actions are not linked to editors yet: the state alone decides.
  return const_cast<TuiCustomCheckBox*>(this)->State() != cbsUnchecked;
}

void TuiCustomCheckBox::DisplayValueToEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool) {
  AEditValue = ActiveCheckProperties()->GetValueOfState(VarIsNull(ADisplayValue) || ADisplayValue.IsEmpty()
                                                            ? -1
                                                            : ADisplayValue.AsInteger());
}

void TuiCustomCheckBox::StoreEditValue(const Variant& AValue, bool AValidateEditValue) {
  const TuiCheckBoxState before = ActiveCheckProperties()->GetState(StoredEditValue());
  TuiCustomEdit::StoreEditValue(AValue, AValidateEditValue);
  const TuiCheckBoxState after = ActiveCheckProperties()->GetState(StoredEditValue());
  if (before != after) {
    CheckViewInfo()->State = after;
    Click();
    NotifyChange();
  }
  UpdateAtCursorPos(false);
  if (HandleAllocated()) Invalidate();
}

void TuiCustomCheckBox::Toggle() {
  LockChangeEvents(true, true);
  try {
    // The store goes through DoEditing: a read-only editor or an OnEditing handler may refuse.
    const bool savedUserAction = IsUserAction();
    SetUserAction(true);
    try {
      switch (State()) {
        case cbsUnchecked: SetState(ActiveCheckProperties()->AllowGrayed() ? cbsGrayed : cbsChecked); break;
        case cbsChecked: SetState(cbsUnchecked); break;
        case cbsGrayed: SetState(cbsChecked); break;
      }
    } catch (...) {
      SetUserAction(savedUserAction);
      throw;
    }
    SetUserAction(savedUserAction);
    if (ActiveProperties()->ImmediatePost() && CanPostEditValue() && ValidateEdit(true)) PostEditValue(false);
  } catch (...) {
    LockChangeEvents(false, true);
    throw;
  }
  LockChangeEvents(false, true);
}

void TuiCustomCheckBox::PropertiesChanged(TObject* Sender) {
  TuiCustomCheckBoxProperties* p = ActiveCheckProperties();
  if (p->IsCaptionAssigned()) {
    SetText(p->Caption());
    p->ClearCaptionAssigned();
  }
  const TuiCheckBoxState state = State();
  if (CheckViewInfo()->State != state) {
    CheckViewInfo()->State = state;
    if (HandleAllocated()) InvalidateRect(Handle(), &CheckViewInfo()->MarkRect, FALSE);
    if (!AreChangeEventsLocked()) {
      Click();
      NotifyChange();
    }
  }
  TuiCustomEdit::PropertiesChanged(Sender);
}

void TuiCustomCheckBox::ReadState(TReader* Reader) {
  stateAssignedWhileLoading_ = false;
  TuiCustomEdit::ReadState(Reader);
}

void TuiCustomCheckBox::Loaded() {
  k58::editors::TScopedFlag inLoaded(inLoaded_, true);
  LockChangeEvents(true);
  LockClick(true);
  try {
    TuiCustomEdit::Loaded();
    if (stateAssignedWhileLoading_) {
      stateAssignedWhileLoading_ = false;
      SetState(loadedState_);
    } else if (!IsDataBound()) {
      SetState(cbsUnchecked);
    }
  } catch (...) {
    LockClick(false);
    LockChangeEvents(false, false);
    throw;
  }
  LockClick(false);
  LockChangeEvents(false, false);
}

void TuiCustomCheckBox::DoEditKeyDown(Word& Key, TShiftState Shift) {
  TuiCustomEdit::DoEditKeyDown(Key, Shift);
  if (Key != VK_SPACE) return;
  const Integer mark = CheckViewInfo()->MarkButtonState;
  if (mark == cbmsPressed || mark == cbmsDisabled) return;
  spacePressed_ = true;
  UpdateAtCursorPos();
  Key = 0;
}

void TuiCustomCheckBox::DoEditKeyPress(char& Key) {
  TuiCustomEdit::DoEditKeyPress(Key);
  if (IsInplace() && Key == ' ' && CheckViewInfo()->MarkButtonState == cbmsNormal) {
    Toggle();
    Key = 0;
  }
}

void TuiCustomCheckBox::DoEditKeyUp(Word& Key, TShiftState Shift) {
  TuiCustomEdit::DoEditKeyUp(Key, Shift);
  if (Key != VK_SPACE || !spacePressed_) return;
  spacePressed_ = false;
  UpdateAtCursorPos();
  if (HandleAllocated()) InvalidateRect(Handle(), &CheckViewInfo()->MarkRect, FALSE);
  Toggle();
}

void TuiCustomCheckBox::DoExit() {
  spacePressed_ = false;
  TuiCustomEdit::DoExit();
  UpdateAtCursorPos();
}

void TuiCustomCheckBox::InitEditSizeProperties(TSize& ASizeProperties) {
  ASizeProperties = TSize{CheckViewInfo()->TextRect.right - CheckViewInfo()->TextRect.left,
                          ActiveCheckProperties()->MultiLine() ? 0 : 1};
}

bool TuiCustomCheckBox::NeedsParentBackground() {
  return !IsInplace() && CanUseNativeButtonTheme(Style()->LookAndFeel()) && ParentBackground() && !Transparent();
}

void TuiCustomCheckBox::ViewInfoChanged(TuiCustomEditViewInfo* AOldViewInfo) {
  TuiCustomEdit::ViewInfoChanged(AOldViewInfo);
  auto* old = static_cast<TuiCustomCheckBoxViewInfo*>(AOldViewInfo);
  // The left button released over the editor after it was pressed on it.
  if (old->MarkButtonState == cbmsPressed && CheckViewInfo()->MarkButtonState == cbmsHot && !spacePressed_) Toggle();
}

void TuiCustomCheckBox::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_LBUTTONUP: {
      // Clicks come only from state changes.
      TControlState state = ControlState();
      state.Exclude(csClicked);
      SetControlState(state);
      break;
    }
    case CM_DIALOGCHAR: {
      auto& m = reinterpret_cast<TCMDialogChar&>(Message);
      if (IsAccel(m.CharCode(), Caption()) && CanFocus()) {
        SetFocus();
        if (Focused()) Toggle();
        Message.Result = 1;
        return;
      }
      break;
    }
    case CM_PARENTCOLORCHANGED:
      TuiCustomEdit::WndProc(Message);
      if (CanUseNativeButtonTheme(Style()->LookAndFeel()) && ParentBackground()) Invalidate();
      return;
    case CM_TEXTCHANGED:
      TuiCustomEdit::WndProc(Message);
      CheckViewInfo()->Text = Caption();
      UpdateAtCursorPos();
      Invalidate();
      return;
    default: break;
  }
  TuiCustomEdit::WndProc(Message);
}

// ---- Unit -----------------------------------------------------------------------------------------------

namespace k58::editors {
void StartCheckBoxUnit() {
  if (checkBoxUnitCount++ > 0) return;
  GetEditPropertiesRegistry()->Register(TuiCheckBoxProperties::StaticClass(),
                                        "CheckBox|Represents a check box control that allows selecting an option");
  BuildCheckMark();
}

void StopCheckBoxUnit() {
  if (checkBoxUnitCount == 0 || --checkBoxUnitCount > 0) return;
  GetEditPropertiesRegistry()->Unregister(TuiCheckBoxProperties::StaticClass());
  delete checkMarkMask;
  checkMarkMask = nullptr;
}
}  // namespace k58::editors
