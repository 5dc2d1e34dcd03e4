// Container styles, style sets and style controllers: resolution of the ten values, change notification
// and the controller chains.
#include <algorithm>

#include "controls/foundation/uiContainer.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/RtlMath.h"

namespace {

TuiStyleController* defaultController = nullptr;

// A chain of controllers longer than this is broken somewhere; lookups stop rather than recurse forever.
constexpr int kMaxControllerDepth = 64;

constexpr const char* kValueNames[] = {"BorderColor", "BorderStyle", "Color",     "Edges",     "Font",
                                       "HotTrack",    "Shadow",      "TextColor", "TextStyle", "TransparentBorder"};


TuiContainerBorderStyle HotBorderStyle(TuiContainerBorderStyle AStyle) {
  switch (AStyle) {
    case cbsNone: return cbsFlat;
    case cbsSingle: return cbsThick;
    case cbsFlat: return cbs3D;
    default: return AStyle;
  }
}

}  // namespace

TuiStyleController* GetDefaultStyleController() { return defaultController; }
void SetDefaultStyleController(TuiStyleController* AController) { defaultController = AController; }

// ---- TuiContainerStyle ------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiContainerStyle) {
  using S = TuiContainerStyle;
  b.Prop("AssignedValues", &S::AssignedValues, &S::SetAssignedValues).Stored(true);
  b.Prop("BorderColor", &S::BorderColor, &S::SetBorderColor).Type("TColor").Stored(&S::IsBorderColorStored);
  b.Prop("BorderStyle", &S::BorderStyle, &S::SetBorderStyle).Stored(&S::IsBorderStyleStored);
  b.Prop("Color", &S::Color, &S::SetColor).Type("TColor").Stored(&S::IsColorStored);
  b.Prop("Edges", &S::Edges, &S::SetEdges).Stored(&S::IsEdgesStored);
  b.Prop("Font", &S::Font, &S::SetFont).Stored(&S::IsFontStored);
  b.Prop("HotTrack", &S::HotTrack, &S::SetHotTrack).Stored(&S::IsHotTrackStored);
  b.Prop("LookAndFeel", &S::LookAndFeel, &S::SetLookAndFeel).Stored(&S::IsLookAndFeelStored);
  b.Prop("Shadow", &S::Shadow, &S::SetShadow).Stored(&S::IsShadowStored);
  b.Prop("StyleController", &S::StyleController, &S::SetStyleController).Stored(&S::IsStyleControllerStored);
  b.Prop("TextColor", &S::TextColor, &S::SetTextColor).Type("TColor").Stored(&S::IsTextColorStored);
  b.Prop("TextStyle", &S::TextStyle, &S::SetTextStyle).Stored(&S::IsTextStyleStored);
  b.Prop("TransparentBorder", &S::TransparentBorder, &S::SetTransparentBorder)
      .Stored(&S::IsTransparentBorderStored);
}

TuiContainerStyle::TuiContainerStyle(TPersistent* AOwner, bool ADirectAccessMode, TuiContainerStyle* AParentStyle,
                                     Byte AState)
    : directAccessMode_(ADirectAccessMode), owner_(AOwner), state_(AState) {
  if (AState != csNormal) parentStyle_ = AParentStyle;
  if (directAccessMode_) {
    assignedValuesBits_ = (1u << csvColor) | (1u << csvFont) | (1u << csvTextColor) | (1u << csvTextStyle);
  } else if (IsNormalStyle()) {
    font_ = new TFont;
    ownsFont_ = true;
    font_->SetOnChange([this](TObject* Sender) { FontChanged(Sender); });
  }
  visibleFont_.reset(new TFont);
  if (IsNormalStyle()) {
    lookAndFeel_.reset(new TuiLookAndFeel(this));
    lookAndFeel_->SetOnChanged([this](TuiLookAndFeel*, TuiLookAndFeelValues) { Changed(); });
    SetStyleController(nullptr);
  }
}

TuiContainerStyle::~TuiContainerStyle() {
  destroying_ = true;
  if (IsNormalStyle() && controller_ != nullptr) controller_->RemoveListener(this);
  controller_ = nullptr;
  if (ownsFont_) {
    font_->SetOnChange(TNotifyEvent{});
    delete font_;
  }
}

void TuiContainerStyle::EndUpdate() {
  if (updateCount_ <= 0) return;
  if (--updateCount_ == 0 && modified_) DeliverChange();
}

void TuiContainerStyle::Changed() {
  modified_ = true;
  if (updateCount_ == 0) DeliverChange();
}

void TuiContainerStyle::DeliverChange() {
  modified_ = false;
  if (!destroying_ && !directAccessMode_ && onChanged_) onChanged_(this);
}

TuiContainer* TuiContainerStyle::GetContainer() const { return dynamic_cast<TuiContainer*>(owner_); }

const TuiContainerStyle* TuiContainerStyle::Lookup(Integer AValue) const {
  const TuiContainerStyle* style = this;
  for (int depth = 0; depth < kMaxControllerDepth && style != nullptr; ++depth) {
    if (style->IsOwnValue(AValue)) return style;
    TuiStyleController* controller = style->StoredController();
    if (controller == nullptr) return nullptr;
    style = controller->Styles()->GetStyleByState(state_);
  }
  return nullptr;
}

bool TuiContainerStyle::IsValueAssigned(Integer AValue) const {
  if (directAccessMode_) return AValue >= 0 && AValue < GetValueCount();
  return Lookup(AValue) != nullptr;
}

// ---- Getters ----

TuiContainerStyleValues TuiContainerStyle::AssignedValues() const {
  if (directAccessMode_) return TuiContainerStyleValues::FromBits((uint64_t(1) << GetValueCount()) - 1);
  return TuiContainerStyleValues::FromBits(assignedValuesBits_);
}

TColor TuiContainerStyle::BorderColor() const {
  if (directAccessMode_) return clDefault;
  const TuiContainerStyle* s = Lookup(csvBorderColor);
  return s != nullptr ? s->borderColor_ : GetDefaultBorderColor();
}

TuiContainerBorderStyle TuiContainerStyle::BorderStyle() const {
  if (directAccessMode_) return IsOwnValue(csvBorderStyle) ? borderStyle_ : GetDefaultBorderStyle();
  const TuiContainerStyle* s = Lookup(csvBorderStyle);
  return s != nullptr ? s->borderStyle_ : GetDefaultBorderStyle();
}

TColor TuiContainerStyle::GetColor() const {
  if (directAccessMode_) return color_;
  if (IsNormalStyle()) {
    TuiContainer* container = GetContainer();
    if (container != nullptr && container->ParentColor() && container->Parent() != nullptr)
      return container->Parent()->Color();
  }
  const TuiContainerStyle* s = Lookup(csvColor);
  return s != nullptr ? s->color_ : GetDefaultColor();
}

TColor TuiContainerStyle::GetColorForPainting() const {
  if (directAccessMode_) return color_;
  if (const TuiContainerStyle* s = Lookup(csvColor)) return s->color_;
  if (IsNormalStyle()) {
    TuiContainer* container = GetContainer();
    if (container != nullptr && !container->IsInplace() && container->ParentColor() && container->Parent() != nullptr)
      return container->Parent()->Color();
  }
  return GetDefaultColor();
}

TuiBorders TuiContainerStyle::Edges() const {
  if (directAccessMode_) return {};
  if (!IsNormalStyle()) return parentStyle_->Edges();
  const TuiContainerStyle* s = Lookup(csvEdges);
  return s != nullptr ? s->edges_ : GetDefaultEdges();
}

TFont* TuiContainerStyle::Font() const { return IsNormalStyle() || directAccessMode_ ? font_ : parentStyle_->Font(); }

bool TuiContainerStyle::HotTrack() const {
  if (directAccessMode_) return IsOwnValue(csvHotTrack) ? hotTrack_ : GetDefaultHotTrack();
  if (!IsNormalStyle()) return parentStyle_->HotTrack();
  const TuiContainerStyle* s = Lookup(csvHotTrack);
  return s != nullptr ? s->hotTrack_ : GetDefaultHotTrack();
}

bool TuiContainerStyle::Shadow() const {
  if (directAccessMode_) return false;
  if (!IsNormalStyle()) return parentStyle_->Shadow();
  const TuiContainerStyle* s = Lookup(csvShadow);
  return s != nullptr ? s->shadow_ : GetDefaultShadow();
}

TColor TuiContainerStyle::GetTextColor() const {
  if (directAccessMode_) return textColor_;
  const TuiContainerStyle* s = Lookup(csvTextColor);
  return s != nullptr ? s->textColor_ : GetDefaultTextColor();
}

TFontStyles TuiContainerStyle::GetTextStyle() const {
  if (directAccessMode_) return font_ != nullptr ? font_->Style() : TFontStyles{};
  const TuiContainerStyle* s = Lookup(csvTextStyle);
  return s != nullptr ? s->textStyle_ : GetDefaultTextStyle();
}

bool TuiContainerStyle::TransparentBorder() const {
  if (directAccessMode_) return true;
  if (!IsNormalStyle()) return parentStyle_->TransparentBorder();
  const TuiContainerStyle* s = Lookup(csvTransparentBorder);
  return s != nullptr ? s->transparentBorder_ : GetDefaultTransparentBorder();
}

TuiLookAndFeel* TuiContainerStyle::LookAndFeel() const { return GetMasterStyle()->lookAndFeel_.get(); }

void TuiContainerStyle::SetLookAndFeel(TuiLookAndFeel* Value) { LookAndFeel()->Assign(Value); }

TFont* TuiContainerStyle::GetVisibleFont() {
  if (TFont* font = Font()) visibleFont_->Assign(font);
  visibleFont_->SetColor(TextColor());
  visibleFont_->SetStyle(TextStyle());
  return visibleFont_.get();
}

// ---- Defaults ----

TColor TuiContainerStyle::GetDefaultBorderColor() const {
  switch (state_) {
    case csNormal: return clWindowFrame;
    case csDisabled: return clBtnShadow;
    default: return parentStyle_->BorderColor();
  }
}

TuiContainerBorderStyle TuiContainerStyle::GetDefaultBorderStyle() const {
  if (IsNormalStyle()) {
    switch (LookAndFeel()->Kind()) {
      case lfFlat: return cbsFlat;
      case lfStandard: return cbs3D;
      case lfOffice11: return cbsOffice11;
      default: return cbsUltraFlat;
    }
  }
  const TuiContainerBorderStyle normal = parentStyle_->BorderStyle();
  if (state_ == csDisabled || !HotTrack()) return normal;
  return HotBorderStyle(normal);
}

TColor TuiContainerStyle::GetDefaultColor() const {
  TuiContainer* container = GetMasterStyle()->GetContainer();
  const bool parentColored = container == nullptr || container->IsDefaultParentColor();
  switch (state_) {
    case csNormal: return parentColored ? clBtnFace : clWindow;
    case csDisabled: return parentColored ? parentStyle_->Color() : clBtnFace;
    default: return parentStyle_->Color();
  }
}

TuiBorders TuiContainerStyle::GetDefaultEdges() const { return uiAllBorders; }
bool TuiContainerStyle::GetDefaultHotTrack() const { return true; }
bool TuiContainerStyle::GetDefaultShadow() const { return false; }
bool TuiContainerStyle::GetDefaultTransparentBorder() const { return true; }

TColor TuiContainerStyle::GetDefaultTextColor() const {
  switch (state_) {
    case csNormal: return font_ != nullptr ? font_->Color() : clWindowText;
    case csDisabled: return clBtnShadow;
    default: return parentStyle_->TextColor();
  }
}

TFontStyles TuiContainerStyle::GetDefaultTextStyle() const {
  if (IsNormalStyle()) return font_ != nullptr ? font_->Style() : TFontStyles{};
  return parentStyle_->TextStyle();
}

// ---- Setters ----

void TuiContainerStyle::SetAssignedValues(TuiContainerStyleValues Value) {
  const auto bits = static_cast<uint32_t>(Value.Bits());
  if (bits == assignedValuesBits_) return;
  BeginUpdate();
  assignedValuesBits_ = bits;
  if (IsNormalStyle()) SynchronizeFont();
  Changed();
  EndUpdate();
}

void TuiContainerStyle::SetBorderColor(TColor Value) {
  if (IsOwnValue(csvBorderColor) && borderColor_ == Value) return;
  borderColor_ = Value;
  IncludeValue(csvBorderColor);
  Changed();
}

void TuiContainerStyle::SetBorderStyle(TuiContainerBorderStyle Value) {
  if (IsOwnValue(csvBorderStyle) && borderStyle_ == Value) return;
  borderStyle_ = Value;
  IncludeValue(csvBorderStyle);
  Changed();
}

void TuiContainerStyle::SetColor(TColor Value) {
  if (IsOwnValue(csvColor) && color_ == Value) return;
  color_ = Value;
  IncludeValue(csvColor);
  Changed();
}

void TuiContainerStyle::SetEdges(TuiBorders Value) {
  if (!IsNormalStyle()) return parentStyle_->SetEdges(Value);
  if (IsOwnValue(csvEdges) && edges_ == Value) return;
  edges_ = Value;
  IncludeValue(csvEdges);
  Changed();
}

void TuiContainerStyle::SetHotTrack(bool Value) {
  if (!IsNormalStyle()) return parentStyle_->SetHotTrack(Value);
  if (IsOwnValue(csvHotTrack) && hotTrack_ == Value) return;
  hotTrack_ = Value;
  IncludeValue(csvHotTrack);
  Changed();
}

void TuiContainerStyle::SetShadow(bool Value) {
  if (!IsNormalStyle()) return parentStyle_->SetShadow(Value);
  if (IsOwnValue(csvShadow) && shadow_ == Value) return;
  shadow_ = Value;
  IncludeValue(csvShadow);
  Changed();
}

void TuiContainerStyle::SetTransparentBorder(bool Value) {
  if (!IsNormalStyle()) return parentStyle_->SetTransparentBorder(Value);
  if (IsOwnValue(csvTransparentBorder) && transparentBorder_ == Value) return;
  transparentBorder_ = Value;
  IncludeValue(csvTransparentBorder);
  Changed();
}

void TuiContainerStyle::SetTextColor(TColor Value) {
  if (IsOwnValue(csvTextColor) && TextColor() == Value) return;
  textColor_ = Value;
  IncludeValue(csvTextColor);
  Changed();
}

void TuiContainerStyle::SetTextStyle(TFontStyles Value) {
  if (IsOwnValue(csvTextStyle) && TextStyle() == Value) return;
  textStyle_ = Value;
  IncludeValue(csvTextStyle);
  Changed();
}

void TuiContainerStyle::SetFont(TFont* Value) {
  if (directAccessMode_) {
    font_ = Value;
    return;
  }
  if (!IsNormalStyle()) return parentStyle_->SetFont(Value);
  // The font's own change callback would notify as well; one notice is enough.
  BeginUpdate();
  if (Value != nullptr) font_->Assign(Value);
  IncludeValue(csvFont);
  Changed();
  EndUpdate();
}

void TuiContainerStyle::FontChanged(TObject*) {
  if (fontAssignLock_ == 0) IncludeValue(csvFont);
  Changed();
}

void TuiContainerStyle::ResetFont() {
  TFont defaults;
  font_->Assign(&defaults);
}

void TuiContainerStyle::SynchronizeFont() {
  if (directAccessMode_ || !IsNormalStyle() || font_ == nullptr || IsOwnValue(csvFont)) return;
  ++fontAssignLock_;
  const TuiContainerStyle* supplier = Lookup(csvFont);
  TuiContainer* container = GetContainer();
  if (supplier != nullptr && supplier != this) {
    font_->Assign(supplier->Font());
  } else if (container == nullptr || !container->ParentFont()) {
    ResetFont();
  }
  --fontAssignLock_;
}

// ---- Style controller ----

TuiStyleController* TuiContainerStyle::GetDefaultStyleController() const { return ::GetDefaultStyleController(); }

TuiStyleController* TuiContainerStyle::StyleController() const {
  TuiStyleController* stored = StoredController();
  return stored == GetDefaultStyleController() ? nullptr : stored;
}

void TuiContainerStyle::SetStyleController(TuiStyleController* Value) {
  if (!IsNormalStyle()) return parentStyle_->SetStyleController(Value);
  TuiStyleController* defaultOne = GetDefaultStyleController();
  if (defaultOne != nullptr && owner_ == defaultOne) return;
  if (Value == nullptr) Value = defaultOne;
  // Refuse a controller whose chain leads back to this style.
  TuiStyleController* link = Value;
  for (int depth = 0; link != nullptr && depth < kMaxControllerDepth; ++depth) {
    TuiContainerStyle* linkStyle = link->Styles()->GetNormalStyle();
    if (linkStyle == this) return;
    link = linkStyle->StyleController();
    if (depth == kMaxControllerDepth - 1 && link != nullptr) return;
  }
  if (Value == controller_) return;
  if (controller_ != nullptr) controller_->RemoveListener(this);
  controller_ = Value;
  if (controller_ != nullptr) controller_->AddListener(this);
  ApplyControllerChange(controller_);
}

void TuiContainerStyle::ApplyControllerChange(TuiStyleController*) {
  BeginUpdate();
  SynchronizeFont();
  Changed();
  EndUpdate();
}

void TuiContainerStyle::ControllerFreeNotification(TuiStyleController* AController) {
  if (AController == nullptr || AController != controller_) return;
  // The controller is going: its list is not touched; this style follows the default one, unless the
  // default one is what is going.
  AController->RemoveListener(this);
  controller_ = nullptr;
  TuiStyleController* defaultOne = GetDefaultStyleController();
  if (defaultOne != nullptr && defaultOne != AController && owner_ != defaultOne) {
    controller_ = defaultOne;
    defaultOne->AddListener(this);
  }
  ApplyControllerChange(controller_);
}

// ---- Copying and defaults ----

void TuiContainerStyle::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TuiContainerStyle*>(Source);
  if (source == nullptr) {
    TPersistent::Assign(Source);
    return;
  }
  BeginUpdate();
  if (IsNormalStyle()) {
    SetStyleController(source->StyleController());
    SetLookAndFeel(source->LookAndFeel());
  }
  borderColor_ = source->borderColor_;
  borderStyle_ = source->borderStyle_;
  edges_ = source->edges_;
  hotTrack_ = source->hotTrack_;
  shadow_ = source->shadow_;
  transparentBorder_ = source->transparentBorder_;
  color_ = source->color_;
  if (directAccessMode_) {
    font_ = source->Font();
    textColor_ = source->TextColor();
  } else {
    if (font_ != nullptr && source->Font() != nullptr) {
      ++fontAssignLock_;
      font_->Assign(source->Font());
      if (source->directAccessMode_) font_->SetColor(source->TextColor());
      --fontAssignLock_;
    }
    textColor_ = source->TextColor();
    textStyle_ = source->TextStyle();
  }
  assignedValuesBits_ = source->assignedValuesBits_;
  Changed();
  EndUpdate();
}

void TuiContainerStyle::RestoreDefaults() {
  BeginUpdate();
  assignedValuesBits_ = 0;
  if (IsNormalStyle()) {
    LookAndFeel()->SetAssignedValues({});
    if (TuiContainer* container = GetContainer()) {
      container->SetParentColor(false);
      container->SetParentFont(true);
      if (container->IsDefaultParentColor()) {
        TuiStyleController* controller = StoredController();
        if (controller == nullptr || !controller->Style()->IsValueAssigned(csvColor)) container->SetParentColor(true);
      }
    } else if (!directAccessMode_ && font_ != nullptr) {
      ++fontAssignLock_;
      ResetFont();
      --fontAssignLock_;
    }
  }
  Changed();
  EndUpdate();
}

// ---- Names and storage ----

bool TuiContainerStyle::GetValueName(Integer AValue, String& AName) const {
  if (AValue < 0 || AValue >= 10) {
    AName = String();
    return false;
  }
  AName = kValueNames[AValue];
  return true;
}

Integer TuiContainerStyle::FindValueByName(const String& AName) const {
  for (Integer i = 0; i < GetValueCount(); ++i) {
    String name;
    if (GetValueName(i, name) && SameText(name, AName)) return i;
  }
  return -1;
}

TuiContainerStyleValues TuiContainerStyle::GetNonStoredStateValues() const {
  return {csvEdges, csvFont, csvHotTrack, csvShadow, csvTransparentBorder};
}

bool TuiContainerStyle::IsValueStored(Integer AValue) const {
  if (!IsOwnValue(AValue)) return false;
  if (!IsNormalStyle() && GetNonStoredStateValues().Contains(static_cast<TuiContainerStyleValue>(AValue)))
    return false;
  TuiContainer* container = GetMasterStyle()->GetContainer();
  String name;
  GetValueName(AValue, name);
  return container == nullptr || container->IsStyleValueStored(name, !IsNormalStyle());
}

// ---- TuiContainerStyles -----------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiContainerStyles) {}

TuiContainerStyles::TuiContainerStyles(TPersistent* AOwner, TuiContainerStyleClass AStyleClass) {
  styles_[csNormal] = AStyleClass(AOwner, false, nullptr, csNormal);
  for (Byte state = csFocused; state <= csHot; ++state) styles_[state] = AStyleClass(AOwner, false, styles_[csNormal], state);
}

TuiContainerStyles::~TuiContainerStyles() {
  for (int state = csHot; state >= csNormal; --state) FreeAndNil(styles_[state]);
}

void TuiContainerStyles::SetChangeHandler(const TNotifyEvent& AHandler) {
  for (TuiContainerStyle* style : styles_) style->SetOnChanged(AHandler);
}

// ---- TuiStyleController -----------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiStyleController) {
  using S = TuiStyleController;
  b.Prop("Style", &S::Style, &S::SetStyle);
  b.Prop("StyleDisabled", &S::StyleDisabled, &S::SetStyleDisabled);
  b.Prop("StyleFocused", &S::StyleFocused, &S::SetStyleFocused);
  b.Prop("StyleHot", &S::StyleHot, &S::SetStyleHot);
  b.Prop("OnStyleChanged", &S::OnStyleChanged, &S::SetOnStyleChanged);
}

TuiStyleController::TuiStyleController(TComponent* AOwner)
    : TuiStyleController(AOwner, StyleClassOf<TuiContainerStyle>(), StylesClassOf<TuiContainerStyles>()) {}

TuiStyleController::TuiStyleController(TComponent* AOwner, TuiContainerStyleClass AStyleClass,
                                       TuiContainerStylesClass AStylesClass)
    : TComponent(AOwner), styleClass_(AStyleClass), stylesClass_(AStylesClass) {
  styles_.reset(stylesClass_(this, styleClass_));
  styles_->SetChangeHandler([this](TObject*) { Changed(); });
}

TuiStyleController::~TuiStyleController() {
  destroying_ = true;
  // Each follower goes back to the default controller; the list keeps its length meanwhile.
  for (size_t i = 0; i < listeners_.size(); ++i) listeners_[i]->ControllerFreeNotification(this);
  listeners_.clear();
  styles_->SetChangeHandler(TNotifyEvent{});
  styles_.reset();
}

TuiContainerStyleClass TuiStyleController::GetStyleClass() const { return styleClass_; }
TuiContainerStylesClass TuiStyleController::GetStylesClass() const { return stylesClass_; }

void TuiStyleController::Loaded() {
  TComponent::Loaded();
  Changed();
}

void TuiStyleController::Changed() {
  if (onStyleChanged_) onStyleChanged_(this);
  if (destroying_) return;
  // A follower may leave while it is told; the index walk tolerates that.
  for (size_t i = 0; i < listeners_.size(); ++i) listeners_[i]->ApplyControllerChange(this);
}

void TuiStyleController::AddListener(TuiContainerStyle* AStyle) {
  if (AStyle == nullptr || std::find(listeners_.begin(), listeners_.end(), AStyle) != listeners_.end()) return;
  listeners_.push_back(AStyle);
  AStyle->LookAndFeel()->SetMaster(Style()->LookAndFeel());
}

void TuiStyleController::RemoveListener(TuiContainerStyle* AStyle) {
  auto it = std::find(listeners_.begin(), listeners_.end(), AStyle);
  if (it == listeners_.end()) return;
  if (!destroying_) listeners_.erase(it);
  AStyle->LookAndFeel()->SetMaster(nullptr);
}

void TuiStyleController::ScaleFont(Integer M, Integer D) {
  TuiContainerStyle* normal = Style();
  if (normal->AssignedValues().Contains(csvFont)) {
    if (fontScaled_) return;
    fontScaled_ = true;
    normal->Font()->SetSize(MulDiv(normal->Font()->Size(), M, D));
  } else if (TuiStyleController* next = normal->StyleController()) {
    next->ScaleFont(M, D);
  }
}
