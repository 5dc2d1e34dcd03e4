// The hyperlink edit: its Properties (prefix, start key, link colour), the link style, the view that
// underlines data cells, the editor's start triggers and hand cursor, the opener and the registration.
#include "controls/editors/uiHyperLink.h"

#include <utility>

#include "controls/foundation/uiClasses.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/forms/ControlsPublish.h"
#include "platform/forms/Menus.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/Utf.h"
#include "platform/win/Windows.h"

namespace {

Integer hyperLinkUnitCount = 0;

bool OpenWithShell(const String& AAddress) {
  const HINSTANCE result = ShellExecuteA(0, "OPEN", AAddress.c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
  return reinterpret_cast<intptr_t>(result) > 32;
}

k58::editors::THyperLinkOpener& Opener() {
  static k58::editors::THyperLinkOpener opener = OpenWithShell;
  return opener;
}

String DefaultPrefix() { return LocalizeText(uihyperlinkconsts::SHyperLinkPrefix); }

// Starts AText with APrefix, compared without regard to case?
bool StartsWithText(const String& AText, const String& APrefix) {
  return AnsiSameText(Utf8Copy(AText, 1, Utf8Length(APrefix)), APrefix);
}

}  // namespace

// ---- Properties -------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomHyperLinkEditProperties) {}

K58_IMPLEMENT_CLASS(TuiHyperLinkEditProperties) {
  using S = TuiHyperLinkEditProperties;
  b.Prop("Alignment", &S::Alignment, &S::SetAlignment);
  b.Prop("AssignedValues", &S::AssignedValues, &S::SetAssignedValues);
  b.Prop("AutoComplete", &S::AutoComplete, &S::SetAutoComplete).Default(true);
  b.Prop("AutoSelect", &S::AutoSelect, &S::SetAutoSelect).Default(false);
  b.Prop("ImeMode", &S::ImeMode, &S::SetImeMode).Default(imDontCare);
  b.Prop("ImeName", &S::ImeName, &S::SetImeName).Type("TImeName");
  b.Prop("IncrementalSearch", &S::IncrementalSearch, &S::SetIncrementalSearch).Default(true);
  b.Prop("LinkColor", &S::LinkColor, &S::SetLinkColor).Type(TColorTypeInfo()).Default(clBlue);
  b.Prop("LookupItems", &S::LookupItems, &S::SetLookupItems);
  b.Prop("LookupItemsSorted", &S::LookupItemsSorted, &S::SetLookupItemsSorted).Default(false);
  b.Prop("ReadOnly", &S::ReadOnly, &S::SetReadOnly).Stored(&S::IsReadOnlyStored);
  b.Prop("SingleClick", &S::SingleClick, &S::SetSingleClick).Default(false);
  b.Prop("StartKey", &S::StartKey, &S::SetStartKey).Default(TShortCut{0x400D});
  b.Prop("UseLeftAlignmentOnEditing", &S::UseLeftAlignmentOnEditing, &S::SetUseLeftAlignmentOnEditing)
      .Stored(&S::IsUseLeftAlignmentStored);
  b.Prop("ValidateOnEnter", &S::ValidateOnEnter, &S::SetValidateOnEnter).Default(false);
  b.Prop("OnChange", &S::OnChange, &S::SetOnChange);
  b.Prop("OnEditValueChanged", &S::OnEditValueChanged, &S::SetOnEditValueChanged);
  b.Prop("OnStartClick", &S::OnStartClick, &S::SetOnStartClick);
  b.Prop("OnValidate", &S::OnValidate, &S::SetOnValidate);
}

TuiCustomHyperLinkEditProperties::TuiCustomHyperLinkEditProperties() : prefix_(DefaultPrefix()) {
  SetAutoSelect(false);
}

void TuiCustomHyperLinkEditProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TuiCustomHyperLinkEditProperties*>(Source);
  if (source == nullptr) return TuiCustomTextEditProperties::Assign(Source);
  BeginUpdate();
  try {
    TuiCustomTextEditProperties::Assign(Source);
    autoComplete_ = source->autoComplete_;
    SetLinkColor(source->linkColor_);
    prefix_ = source->prefix_;
    SetSingleClick(source->singleClick_);
    startKey_ = source->startKey_;
    onStartClick_ = source->onStartClick_;
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TuiCustomHyperLinkEditProperties::DefineProperties(TFiler* Filer) {
  TuiCustomTextEditProperties::DefineProperties(Filer);
  Filer->DefineProperty(
      "Prefix", [this](TReader* R) { prefix_ = R->ReadString(); }, [this](TWriter* W) { W->WriteString(prefix_); },
      prefix_ != DefaultPrefix());
}

void TuiCustomHyperLinkEditProperties::SetLinkColor(TColor Value) {
  if (linkColor_ == Value) return;
  linkColor_ = Value;
  Changed();
}

void TuiCustomHyperLinkEditProperties::SetSingleClick(bool Value) {
  if (singleClick_ == Value) return;
  singleClick_ = Value;
  Changed();
}

void TuiCustomHyperLinkEditProperties::AddPrefix(const String& AText, String& AResult) const {
  AResult = AText;
  const String trimmed = Trim(AText);
  if (prefix_.empty() || trimmed.empty() || StartsWithText(trimmed, prefix_)) return;
  AResult = prefix_ + trimmed;
}

TClass TuiCustomHyperLinkEditProperties::GetViewDataClass() const { return TuiHyperLinkEditViewData::StaticClass(); }
TClass TuiCustomHyperLinkEditProperties::GetEditClass() const { return TuiHyperLinkEdit::StaticClass(); }
TClass TuiCustomHyperLinkEditProperties::GetStyleClass() const { return TuiHyperLinkStyle::StaticClass(); }
TClass TuiCustomHyperLinkEditProperties::GetViewInfoClass() const { return TuiHyperLinkEditViewInfo::StaticClass(); }

Word TuiCustomHyperLinkEditProperties::GetEditCapabilities() {
  Word capabilities = TuiCustomTextEditProperties::GetEditCapabilities();
  if (singleClick_) capabilities |= 0x1;
  return capabilities;
}

void TuiCustomHyperLinkEditProperties::ValidateDisplayValue(Variant& ADisplayValue, String& AErrorText, bool& AError,
                                                            TuiCustomEdit* AEdit) {
  if (autoComplete_) ADisplayValue = Variant(AddPrefix(VarToStr(ADisplayValue)));
  TuiCustomTextEditProperties::ValidateDisplayValue(ADisplayValue, AErrorText, AError, AEdit);
}

// ---- Style and view ---------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiHyperLinkStyle) {}

TColor TuiHyperLinkStyle::GetTextColor() const {
  if (DirectAccessMode()) return TuiEditStyle::GetTextColor();
  if (auto* edit = dynamic_cast<TuiCustomHyperLinkEdit*>(GetEdit()))
    if (edit->Properties() != nullptr) return edit->ActiveProperties()->LinkColor();
  return clBlue;
}

TFontStyles TuiHyperLinkStyle::GetTextStyle() const {
  TFontStyles style = TuiEditStyle::GetTextStyle();
  style.Include(fsUnderline);
  return style;
}

K58_IMPLEMENT_CLASS(TuiHyperLinkEditViewInfo) {}

namespace {
bool IsSingleClick(TuiCustomEditProperties* AProperties) {
  auto* properties = dynamic_cast<TuiCustomHyperLinkEditProperties*>(AProperties);
  return properties != nullptr && properties->SingleClick();
}
}  // namespace

bool TuiHyperLinkEditViewInfo::HasHotButton() const {
  return TuiCustomTextEditViewInfo::HasHotButton() || IsSingleClick(EditProperties);
}

// With SingleClick the whole editor is hot.
bool TuiHyperLinkEditViewInfo::IsHotTrackPoint(const TPoint&) const { return HasHotButton(); }

void TuiHyperLinkEditViewInfo::PrepareCanvasFont(TCanvas* ACanvas) {
  TuiCustomTextEditViewInfo::PrepareCanvasFont(ACanvas);
  if (Edit != nullptr) return;
  TFontStyles style = ACanvas->Font()->Style();
  style.Include(fsUnderline);
  ACanvas->Font()->SetStyle(style);
  auto* properties = dynamic_cast<TuiCustomHyperLinkEditProperties*>(EditProperties);
  ACanvas->Font()->SetColor(Selected || properties == nullptr ? TextColor : properties->LinkColor());
}

K58_IMPLEMENT_CLASS(TuiHyperLinkEditViewData) {}

void TuiHyperLinkEditViewData::Calculate(TuiCanvas* ACanvas, const TRect& ABounds, const TPoint& P, Byte AButton,
                                         TShiftState AShift, TuiCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  TuiCustomTextEditViewData::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  if (auto* viewInfo = dynamic_cast<TuiHyperLinkEditViewInfo*>(AViewInfo)) {
    viewInfo->Edit = dynamic_cast<TuiCustomHyperLinkEdit*>(Edit);
    viewInfo->Selected = Selected;
  }
}

// ---- Editor -----------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomHyperLinkEdit) {}

TuiCustomHyperLinkEdit::TuiCustomHyperLinkEdit(TComponent* AOwner)
    : TuiCustomTextEdit(AOwner, StyleClassOf<TuiHyperLinkStyle>()) {}

TClass TuiCustomHyperLinkEdit::GetPropertiesClass() const {
  return TuiCustomHyperLinkEditProperties::StaticClass();
}

bool TuiCustomHyperLinkEdit::DoStartClick() {
  const TNotifyEvent own = Properties()->OnStartClick();
  const bool fromRepository = RepositoryItem() != nullptr && ActiveProperties()->OnStartClick().Assigned();
  const TNotifyEvent repository = fromRepository ? ActiveProperties()->OnStartClick() : TNotifyEvent{};
  if (own.Assigned()) own(this);
  if (fromRepository) repository(this);
  return own.Assigned() || fromRepository;
}

void TuiCustomHyperLinkEdit::DoStart() {
  if (DoStartClick()) return;
  String text;
  GetDisplayText(text);
  if (Trim(text).empty()) return;
  const String address = Trim(ActiveProperties()->AddPrefix(text));
  // A text starting with "-" would reach the opener as one of its options.
  const bool started = address[0] != '-' && Opener()(address);
  if (!started) MessageBeep(MB_OK);
}

void TuiCustomHyperLinkEdit::PropertiesChanged(TObject* Sender) {
  TuiCustomTextEdit::PropertiesChanged(Sender);
  if (Properties() != nullptr) StyleChanged(Style());
}

void TuiCustomHyperLinkEdit::ShowHandCursor() {
  if (Cursor() == crHandPoint) return;
  savedCursor_ = Cursor();
  cursorSaved_ = true;
  SetCursor(crHandPoint);
  if (TWinControl* inner = InnerControlOfEdit()) inner->SetCursor(crHandPoint);
}

void TuiCustomHyperLinkEdit::RestoreCursor() {
  if (!cursorSaved_) return;
  cursorSaved_ = false;
  SetCursor(savedCursor_);
  if (TWinControl* inner = InnerControlOfEdit()) inner->SetCursor(savedCursor_);
}

void TuiCustomHyperLinkEdit::ActivateByMouse(TShiftState Shift, Integer X, Integer Y, TuiCustomEditData*& AEditData) {
  if (IsInplace() && ActiveProperties()->SingleClick() && Cursor() != crHandPoint) {
    ShowHandCursor();
    Screen->SetCursor(crHandPoint);
  }
  TuiCustomTextEdit::ActivateByMouse(Shift, X, Y, AEditData);
}

// A click on an in-place single-click link starts it instead of selecting.
void TuiCustomHyperLinkEdit::SelectAll() {
  if (IsInplace() && ActiveProperties()->SingleClick()) return;
  TuiCustomTextEdit::SelectAll();
}

void TuiCustomHyperLinkEdit::MouseEntered(TControl* AControl) {
  TuiCustomTextEdit::MouseEntered(AControl);
  if (ActiveProperties()->SingleClick()) ShowHandCursor();
}

void TuiCustomHyperLinkEdit::MouseLeft(TControl* AControl) {
  TuiCustomTextEdit::MouseLeft(AControl);
  RestoreCursor();
}

void TuiCustomHyperLinkEdit::KeyDown(Word& Key, TShiftState Shift) {
  const TShortCut startKey = ActiveProperties()->StartKey();
  if (Key != 0 && startKey != 0 && ShortCut(Key, Shift) == startKey) {
    Key = 0;
    // The key's character (Ctrl+Enter gives a line feed) is not typed.
    RemoveCharMessage();
    DoStart();
    return;
  }
  TuiCustomTextEdit::KeyDown(Key, Shift);
}

void TuiCustomHyperLinkEdit::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  auto alive = AliveToken();
  TuiCustomTextEdit::MouseDown(Button, Shift, X, Y);
  if (alive.expired()) return;
  const TPoint p{X, Y};
  if (Button == mbLeft && !ActiveProperties()->SingleClick() && Shift.Contains(ssDouble) &&
      PtInRect(&EditViewInfo()->ClientRect, p))
    DoStart();
}

void TuiCustomHyperLinkEdit::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  auto alive = AliveToken();
  TuiCustomTextEdit::MouseUp(Button, Shift, X, Y);
  if (alive.expired()) return;
  const TPoint p{X, Y};
  if (Button == mbLeft && ActiveProperties()->SingleClick() && SelLength() == 0 &&
      PtInRect(&EditViewInfo()->ClientRect, p))
    DoStart();
}

K58_IMPLEMENT_CLASS(TuiHyperLinkEdit) {
  using S = TuiHyperLinkEdit;
  // The drag events and OnMouseEnter / OnMouseLeave stay unpublished; BiDiMode has no effect here.
  PublishControl(b, {"Anchors",   "Constraints", "DragCursor", "DragKind",       "DragMode",   "Enabled",
                     "ParentColor", "ParentFont", "ParentShowHint", "PopupMenu", "ShowHint",   "TabOrder",
                     "TabStop",   "Text",        "Visible",    "OnClick",        "OnContextPopup", "OnDblClick",
                     "OnEndDock", "OnEnter",     "OnExit",     "OnKeyDown",      "OnKeyPress", "OnKeyUp",
                     "OnMouseDown", "OnMouseMove", "OnMouseUp", "OnStartDock"});
  b.Prop("ImeMode", &S::ImeMode, &S::SetImeMode).Default(imDontCare);
  b.Prop("ImeName", &S::ImeNameValue, &S::SetImeName);
  b.Prop("Properties", &S::Properties, &S::SetProperties);
}

TClass TuiHyperLinkEdit::GetPropertiesClass() const { return TuiHyperLinkEditProperties::StaticClass(); }

namespace k58::editors {
THyperLinkOpener SetHyperLinkOpener(THyperLinkOpener AOpener) {
  THyperLinkOpener previous = std::move(Opener());
  Opener() = AOpener ? std::move(AOpener) : THyperLinkOpener(OpenWithShell);
  return previous;
}

void StartHyperLinkUnit() {
  if (hyperLinkUnitCount++ > 0) return;
  GetEditPropertiesRegistry()->Register(TuiHyperLinkEditProperties::StaticClass(),
                                        LocalizeText(uihyperlinkconsts::SHyperLinkDescription));
}

void StopHyperLinkUnit() {
  if (hyperLinkUnitCount == 0 || --hyperLinkUnitCount > 0) return;
  GetEditPropertiesRegistry()->Unregister(TuiHyperLinkEditProperties::StaticClass());
}
}  // namespace k58::editors
