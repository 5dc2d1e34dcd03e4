// Embedded edit buttons and their view infos, the edit styles and their controller.
#include "controls/editors/uiEdit.h"
#include "platform/classes/ClassBuilder.h"

// ---- Buttons --------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiEditButton) {
  using S = TuiEditButton;
  b.Prop("Caption", &S::Caption, &S::SetCaption);
  b.Prop("Default", &S::Default, &S::SetDefault).Default(false);
  b.Prop("Enabled", &S::Enabled, &S::SetEnabled).Default(true);
  b.Prop("Glyph", &S::Glyph, &S::SetGlyph).Stored(&S::IsGlyphStored);
  b.Prop("Kind", &S::Kind, &S::SetKind).Default(bkDown);
  b.Prop("LeftAlignment", &S::LeftAlignment, &S::SetLeftAlignment).Default(false);
  b.Prop("Stretchable", &S::Stretchable, &S::SetStretchable).Default(true);
  b.Prop("Visible", &S::Visible, &S::SetVisible).Default(true);
  b.Prop("Width", &S::Width, &S::SetWidth).Default(0);
}

namespace {
// The collection reports a new item only once the item is complete: its update bracket opens before the
// base constructor joins the item to it and closes at the end of the button's constructor.
TCollection* OpenItemUpdate(TCollection* ACollection) {
  if (ACollection != nullptr) ACollection->BeginUpdate();
  return ACollection;
}
}  // namespace

TuiEditButton::TuiEditButton(TCollection* ACollection) : TCollectionItem(OpenItemUpdate(ACollection)) {
  // At design time the first button of a collection is the default one.
  if (ACollection != nullptr && ACollection->Count() == 1) {
    TPersistent* owner = ACollection;
    TComponent* component = nullptr;
    while (owner != nullptr && component == nullptr) {
      component = dynamic_cast<TComponent*>(owner);
      owner = GetPersistentOwner(owner);
    }
    if (component != nullptr && component->ComponentState().Contains(csDesigning) &&
        !component->ComponentState().Contains(csLoading))
      default_ = true;
  }
  if (ACollection != nullptr) ACollection->EndUpdate();
}

TuiEditButton::~TuiEditButton() = default;

void TuiEditButton::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TuiEditButton*>(Source);
  if (source == nullptr) return TCollectionItem::Assign(Source);
  TCollection* collection = Collection();
  if (collection != nullptr) collection->BeginUpdate();
  try {
    SetCaption(source->Caption());
    SetDefault(source->Default());
    SetEnabled(source->Enabled());
    SetGlyph(source->GlyphIfAny());
    SetKind(source->Kind());
    SetLeftAlignment(source->LeftAlignment());
    SetStretchable(source->Stretchable());
    SetTextColor(source->TextColor());
    SetVisible(source->Visible());
    SetWidth(source->Width());
  } catch (...) {
    if (collection != nullptr) collection->EndUpdate();
    throw;
  }
  if (collection != nullptr) collection->EndUpdate();
}

void TuiEditButton::SetCaption(const String& Value) {
  if (caption_ == Value) return;
  caption_ = Value;
  visibleCaption_ = StripAccelChars(Value);
  Changed(false);
}

void TuiEditButton::SetDefault(bool Value) {
  if (default_ == Value) return;
  if (Value && Collection() != nullptr)
    for (Integer i = 0; i < Collection()->Count(); ++i) static_cast<TuiEditButton*>(Collection()->Items(i))->default_ = false;
  default_ = Value;
  Changed(true);
}

void TuiEditButton::SetEnabled(bool Value) {
  if (enabled_ == Value) return;
  enabled_ = Value;
  Changed(false);
}

TBitmap* TuiEditButton::Glyph() {
  if (glyph_ == nullptr) {
    glyph_.reset(new TBitmap);
    glyph_->SetOnChange([this](TObject* Sender) { GlyphChanged(Sender); });
  }
  return glyph_.get();
}

void TuiEditButton::SetGlyph(TBitmap* Value) {
  if (Value == nullptr) {
    glyph_.reset();
  } else {
    Glyph()->Assign(Value);
  }
  Changed(false);
}

void TuiEditButton::GlyphChanged(TObject*) { Changed(false); }

void TuiEditButton::SetKind(TuiEditButtonKind Value) {
  if (kind_ == Value) return;
  kind_ = Value;
  Changed(false);
}

void TuiEditButton::SetLeftAlignment(bool Value) {
  if (leftAlignment_ == Value) return;
  leftAlignment_ = Value;
  Changed(false);
}

void TuiEditButton::SetStretchable(bool Value) {
  if (stretchable_ == Value) return;
  stretchable_ = Value;
  Changed(false);
}

void TuiEditButton::SetTextColor(TColor Value) {
  if (textColor_ == Value) return;
  textColor_ = Value;
  Changed(false);
}

void TuiEditButton::SetVisible(bool Value) {
  if (visible_ == Value) return;
  visible_ = Value;
  Changed(false);
}

void TuiEditButton::SetWidth(Integer Value) {
  if (Value < 0 || width_ == Value) return;
  width_ = Value;
  Changed(false);
}

K58_IMPLEMENT_CLASS(TuiEditButtons) {}

TuiEditButtons::TuiEditButtons(TPersistent* AOwner) : TCollection(TuiEditButton::StaticClass()), owner_(AOwner) {}

Integer TuiEditButtons::VisibleCount() const {
  Integer count = 0;
  for (Integer i = 0; i < Count(); ++i) count += Items(i)->Visible() ? 1 : 0;
  return count;
}

void TuiEditButtons::Update(TCollectionItem*) {
  if (onChange_.Assigned()) onChange_(this);
}

// ---- Button view info -----------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiEditButtonViewInfo) {}

void TuiEditButtonViewInfo::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TuiEditButtonViewInfo*>(Source);
  if (source == nullptr) return TPersistent::Assign(Source);
  Data.NativeState = source->Data.NativeState;
  Data.BackgroundColor = source->Data.BackgroundColor;
  Bounds = source->Bounds;
  Data.State = source->Data.State;
  Data.Rightmost = source->Data.Rightmost;
}

bool TuiEditButtonViewInfo::HasChanged(TuiEditButtonViewInfo* AOldViewInfo) const {
  return AOldViewInfo->Data.State != Data.State || AOldViewInfo->Data.Rightmost != Data.Rightmost ||
         AOldViewInfo->Data.BackgroundColor != Data.BackgroundColor ||
         AOldViewInfo->Data.NativeState != Data.NativeState;
}

std::unique_ptr<TuiRegion> TuiEditButtonViewInfo::GetChangedRegion(TuiEditButtonViewInfo* AOldViewInfo) {
  if (!HasChanged(AOldViewInfo)) return std::make_unique<TuiRegion>();
  return std::make_unique<TuiRegion>(Bounds);
}

bool TuiEditButtonViewInfo::RepaintIfChanged(TWinControl* AControl, TuiEditButtonViewInfo* AOldViewInfo,
                                             const TPoint& AOffset) {
  if (!HasChanged(AOldViewInfo)) return false;
  TRect r = Bounds;
  OffsetRect(&r, AOffset.x, AOffset.y);
  if (AControl->HandleAllocated()) InvalidateRect(AControl->Handle(), &r, HasBackground);
  return true;
}

// ---- Edit styles ----------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomEditStyle) {}

K58_IMPLEMENT_CLASS(TuiEditStyle) {
  using S = TuiEditStyle;
  b.Prop("AssignedValues", &S::ContainerAssignedValues, &S::SetContainerAssignedValues).Stored(true);
  b.Prop("BorderStyle", &S::BorderStyle, &S::SetBorderStyle).Stored(&S::IsEditBorderStyleStored);
  b.Prop("ButtonStyle", &S::ButtonStyle, &S::SetButtonStyle).Stored(&S::IsButtonStyleStored);
  b.Prop("ButtonTransparency", &S::ButtonTransparency, &S::SetButtonTransparency)
      .Stored(&S::IsButtonTransparencyStored);
  b.Prop("PopupBorderStyle", &S::PopupBorderStyle, &S::SetPopupBorderStyle).Stored(&S::IsPopupBorderStyleStored);
  b.Prop("StyleController", &S::EditStyleController, &S::SetEditStyleController)
      .Stored(&S::IsStyleControllerStored);
}

TuiCustomEditStyle::TuiCustomEditStyle(TPersistent* AOwner, bool ADirectAccessMode, TuiContainerStyle* AParentStyle,
                                       Byte AState)
    : TuiContainerStyle(AOwner, ADirectAccessMode, AParentStyle, AState) {}

TuiCustomEdit* TuiCustomEditStyle::GetEdit() const { return dynamic_cast<TuiCustomEdit*>(GetContainer()); }

void TuiCustomEditStyle::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TuiCustomEditStyle*>(Source);
  if (source == nullptr) return TuiContainerStyle::Assign(Source);
  BeginUpdate();
  try {
    buttonStyle_ = source->buttonStyle_;
    buttonTransparency_ = source->buttonTransparency_;
    gradientButtons_ = source->gradientButtons_;
    popupBorderStyle_ = source->popupBorderStyle_;
    popupCloseButton_ = source->popupCloseButton_;
    TuiContainerStyle::Assign(Source);
    Changed();
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

const TuiCustomEditStyle* TuiCustomEditStyle::FindEditValue(Integer AValue) const {
  if (DirectAccessMode()) return IsOwnValue(AValue) ? this : nullptr;
  return dynamic_cast<const TuiCustomEditStyle*>(Lookup(AValue));
}

TuiContainerStyleValues TuiCustomEditStyle::ContainerAssignedValues() const {
  TuiContainerStyleValues values;
  const TuiContainerStyleValues all = AssignedValues();
  for (Integer v = csvBorderColor; v <= csvTransparentBorder; ++v) {
    const auto value = static_cast<TuiContainerStyleValue>(v);
    if (all.Contains(value)) values.Include(value);
  }
  return values;
}

void TuiCustomEditStyle::SetContainerAssignedValues(TuiContainerStyleValues Value) {
  bool own[4];
  for (Integer v = svButtonStyle; v <= svGradientButtons; ++v) own[v - svButtonStyle] = IsOwnValue(v);
  SetAssignedValues(Value);
  for (Integer v = svButtonStyle; v <= svGradientButtons; ++v)
    if (own[v - svButtonStyle]) IncludeValue(v);
}

TuiEditButtonStyle TuiCustomEditStyle::ButtonStyle() const {
  const TuiCustomEditStyle* style = FindEditValue(svButtonStyle);
  return style != nullptr ? style->buttonStyle_ : GetDefaultButtonStyle();
}

TuiEditButtonTransparency TuiCustomEditStyle::ButtonTransparency() const {
  const TuiCustomEditStyle* style = FindEditValue(svButtonTransparency);
  return style != nullptr ? style->buttonTransparency_ : GetDefaultButtonTransparency();
}

TuiEditPopupBorderStyle TuiCustomEditStyle::PopupBorderStyle() const {
  const TuiCustomEditStyle* style = FindEditValue(svPopupBorderStyle);
  return style != nullptr ? style->popupBorderStyle_ : GetDefaultPopupBorderStyle();
}

bool TuiCustomEditStyle::GradientButtons() const {
  const TuiCustomEditStyle* style = FindEditValue(svGradientButtons);
  return style != nullptr ? style->gradientButtons_ : GetDefaultGradientButtons();
}

void TuiCustomEditStyle::SetButtonStyle(TuiEditButtonStyle Value) {
  if (IsOwnValue(svButtonStyle) && buttonStyle_ == Value) return;
  buttonStyle_ = Value;
  IncludeValue(svButtonStyle);
  Changed();
}

void TuiCustomEditStyle::SetButtonTransparency(TuiEditButtonTransparency Value) {
  if (!IsNormalStyle()) return NormalEditStyle()->SetButtonTransparency(Value);
  if (IsOwnValue(svButtonTransparency) && buttonTransparency_ == Value) return;
  buttonTransparency_ = Value;
  IncludeValue(svButtonTransparency);
  Changed();
}

void TuiCustomEditStyle::SetPopupBorderStyle(TuiEditPopupBorderStyle Value) {
  if (!IsNormalStyle()) return NormalEditStyle()->SetPopupBorderStyle(Value);
  if (IsOwnValue(svPopupBorderStyle) && popupBorderStyle_ == Value) return;
  popupBorderStyle_ = Value;
  IncludeValue(svPopupBorderStyle);
  Changed();
}

void TuiCustomEditStyle::SetGradientButtons(bool Value) {
  if (!IsNormalStyle()) return NormalEditStyle()->SetGradientButtons(Value);
  if (IsOwnValue(svGradientButtons) && gradientButtons_ == Value) return;
  gradientButtons_ = Value;
  IncludeValue(svGradientButtons);
  Changed();
}

bool TuiCustomEditStyle::PopupCloseButton() const { return NormalEditStyle()->popupCloseButton_; }

void TuiCustomEditStyle::SetPopupCloseButton(bool Value) {
  if (!IsNormalStyle()) return NormalEditStyle()->SetPopupCloseButton(Value);
  if (popupCloseButton_ == Value) return;
  popupCloseButton_ = Value;
  Changed();
}

TuiEditStyleController* TuiCustomEditStyle::EditStyleController() const {
  return dynamic_cast<TuiEditStyleController*>(StyleController());
}

void TuiCustomEditStyle::SetEditStyleController(TuiEditStyleController* Value) { SetStyleController(Value); }

TuiEditButtonStyle TuiCustomEditStyle::GetDefaultButtonStyle() const {
  return IsNormalStyle() ? btsDefault : NormalEditStyle()->ButtonStyle();
}

TuiEditButtonTransparency TuiCustomEditStyle::GetDefaultButtonTransparency() const {
  return IsNormalStyle() ? ebtNone : NormalEditStyle()->ButtonTransparency();
}

bool TuiCustomEditStyle::GetDefaultGradientButtons() const {
  return IsNormalStyle() ? false : NormalEditStyle()->GradientButtons();
}

TuiEditPopupBorderStyle TuiCustomEditStyle::GetDefaultPopupBorderStyle() const {
  return IsNormalStyle() ? epbsDefault : NormalEditStyle()->PopupBorderStyle();
}

bool TuiCustomEditStyle::GetValueName(Integer AValue, String& AName) const {
  static const char* const names[] = {"ButtonStyle", "ButtonTransparency", "PopupBorderStyle", "GradientButtons"};
  if (AValue >= svButtonStyle && AValue <= svGradientButtons) {
    AName = names[AValue - svButtonStyle];
    return true;
  }
  return TuiContainerStyle::GetValueName(AValue, AName);
}

bool TuiCustomEditStyle::IsValueAssigned(Integer AValue) const {
  if (AValue >= svButtonStyle && AValue <= svGradientButtons) return FindEditValue(AValue) != nullptr;
  return TuiContainerStyle::IsValueAssigned(AValue);
}

TuiContainerStyleValues TuiCustomEditStyle::GetNonStoredStateValues() const {
  TuiContainerStyleValues values = TuiContainerStyle::GetNonStoredStateValues();
  // The edit values have no members in the container's set; their bits are tested apart (0x3800).
  return values;
}

bool TuiCustomEditStyle::IsEditValueStored(Integer AValue, const char* AName) const {
  if (!IsOwnValue(AValue)) return false;
  // The button transparency, popup border style and gradient flag are kept by the normal style only.
  if (!IsNormalStyle() && AValue != svButtonStyle && AValue != csvBorderStyle) return false;
  if (TuiCustomEdit* edit = GetEdit()) return edit->IsStyleValueStored(AName, !IsNormalStyle());
  return true;
}

TuiStyleController* TuiCustomEditStyle::GetDefaultStyleController() const {
  if (DirectAccessMode()) return nullptr;
  if (TuiCustomEdit* edit = GetEdit())
    if (edit->IsInplace()) return nullptr;
  return GetDefaultEditStyleController();
}

// ---- Style controller -----------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiEditStyleController) {
  using S = TuiEditStyleController;
  b.Prop("Style", &S::Style, &S::SetStyle);
  b.Prop("StyleDisabled", &S::StyleDisabled, &S::SetStyleDisabled);
  b.Prop("StyleFocused", &S::StyleFocused, &S::SetStyleFocused);
  b.Prop("StyleHot", &S::StyleHot, &S::SetStyleHot);
}

TuiEditStyleController::TuiEditStyleController(TComponent* AOwner)
    : TuiStyleController(AOwner, StyleClassOf<TuiEditStyle>(), StylesClassOf<TuiContainerStyles>()) {}
