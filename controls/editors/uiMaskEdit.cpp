// The masked editor: key routing, paste and selection through the mask mode, and its Properties changes.
#include "controls/editors/uiMaskEdit.h"

#include "controls/foundation/uiClasses.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/forms/ControlsPublish.h"
#include "platform/rtl/Utf.h"
#include "platform/win/Windows.h"

K58_IMPLEMENT_CLASS(TuiCustomMaskEdit) {}

TuiCustomMaskEdit::TuiCustomMaskEdit(TComponent* AOwner) : TuiCustomTextEdit(AOwner) {}

TuiCustomMaskEdit::~TuiCustomMaskEdit() = default;

TClass TuiCustomMaskEdit::GetPropertiesClass() const { return TuiCustomMaskEditProperties::StaticClass(); }

void TuiCustomMaskEdit::Initialize() {
  TuiCustomTextEdit::Initialize();
  mode_ = ActiveProperties()->CreateMode(emkStandard, this);
  shiftFlag_ = false;
  RenewEmptyValue();
}

void TuiCustomMaskEdit::RenewEmptyValue() {
  String value;
  if (mode_ && IsMasked()) mode_->EmptyValue(value);
  ActiveProperties()->SetEmptyMaskText(value);
}

void TuiCustomMaskEdit::LoadModeMask(const String& AMask) {
  mode_->LoadMask(AMask);
  if (!IsBlankEditMask(AMask)) mode_->SyncWithEditValue();
  RenewEmptyValue();
}

bool TuiCustomMaskEdit::IsMasked() const { return Properties() != nullptr && const_cast<TuiCustomMaskEdit*>(this)->ActiveProperties()->IsMasked(); }

bool TuiCustomMaskEdit::IsUsable() const {
  return !IsLoadingOrDestroying() && const_cast<TuiCustomMaskEdit*>(this)->InnerTextEdit() != nullptr;
}

void TuiCustomMaskEdit::ContentChanged(TObject* Sender) {
  if (mode_ && IsMasked()) {
    String value;
    mode_->TextToValue(Text(), value);
    valueText_ = value;
  }
  TuiCustomTextEdit::ContentChanged(Sender);
}

// ---- Keys -------------------------------------------------------------------------------------------------

void TuiCustomMaskEdit::DoEditKeyDown(Word& Key, TShiftState Shift) {
  if (internalKey_) return;
  if (!mode_ || !IsMasked()) return TuiCustomTextEdit::DoEditKeyDown(Key, Shift);
  if (MaskEditKeyDown(*this, *mode_, Key, Shift))
    TuiCustomTextEdit::DoEditKeyDown(Key, Shift);
  else
    Key = 0;
}

void TuiCustomMaskEdit::DoEditKeyPress(char& Key) {
  if (internalKey_) return;
  if (!mode_ || !IsMasked()) return TuiCustomTextEdit::DoEditKeyPress(Key);
  String ch(1, Key);
  // A character of several bytes arrives one byte at a time; the mode sees it whole, at its last byte. The
  // bytes before it wait; clearing the last byte drops the whole character.
  const auto byte = static_cast<unsigned char>(Key);
  if (byte >= 0x80) {
    if (byte >= 0xC0) pendingCharBytes_.clear();
    pendingCharBytes_ += Key;
    const auto lead = static_cast<unsigned char>(pendingCharBytes_[0]);
    const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || pendingCharBytes_.size() > length) {
      pendingCharBytes_.clear();
      Key = 0;
      return;
    }
    if (pendingCharBytes_.size() < length) return;
    ch = std::move(pendingCharBytes_);
    pendingCharBytes_.clear();
  }
  const String typed = ch;
  if (!MaskEditKeyPress(*this, *mode_, ch)) {
    Key = 0;
    return;
  }
  if (ch == typed) return;
  if (ch.size() == 1 && typed.size() == 1) {
    Key = ch[0];
    return;
  }
  // The mode changed a character of another length (a case conversion): its bytes already passed on
  // cannot change, so the changed character goes to the inner edit in its place.
  Key = 0;
  for (char32_t c : k58::rtl::Utf8ToUtf32(ch)) SendInternalChar(c);
}

void TuiCustomMaskEdit::DoEditKeyUp(Word& Key, TShiftState Shift) {
  if (internalKey_) return;
  TuiCustomTextEdit::DoEditKeyUp(Key, Shift);
}

bool TuiCustomMaskEdit::CanProcessChar(String& ACh) {
  if (ACh.size() != 1) return true;
  char c = ACh[0];
  const bool result = TuiCustomTextEdit::CanProcessChar(c);
  ACh = String(1, c);
  return result && c != 0;
}

template <class F>
void TuiCustomMaskEdit::SendWithShift(TShiftState AShift, F ASend) {
  BYTE saved[256];
  GetKeyboardState(saved);
  BYTE state[256];
  std::copy(std::begin(saved), std::end(saved), std::begin(state));
  const auto set = [&](int AVk, bool ADown) { state[AVk] = ADown ? (state[AVk] | 0x80) : (state[AVk] & ~0x80); };
  set(VK_SHIFT, AShift.Contains(ssShift));
  set(VK_LSHIFT, AShift.Contains(ssShift));
  set(VK_RSHIFT, false);
  set(VK_CONTROL, AShift.Contains(ssCtrl));
  set(VK_LCONTROL, AShift.Contains(ssCtrl));
  set(VK_RCONTROL, false);
  set(VK_MENU, AShift.Contains(ssAlt));
  SetKeyboardState(state);
  internalKey_ = true;
  try {
    ASend();
  } catch (...) {
    internalKey_ = false;
    SetKeyboardState(saved);
    throw;
  }
  internalKey_ = false;
  SetKeyboardState(saved);
}

void TuiCustomMaskEdit::SendInternalKey(Word AKey, TShiftState AShift) {
  if (!HandleAllocated()) return;
  SendWithShift(AShift, [&] { SendKeyDownToEdit(this, AKey); });
}

void TuiCustomMaskEdit::SendInternalChar(char32_t ACh) {
  if (!HandleAllocated()) return;
  // A character message carries UTF-16 units: one, or the two of a surrogate pair.
  const std::u16string units = k58::rtl::Utf8ToUtf16(k58::rtl::Utf32ToUtf8(std::u32string(1, ACh)));
  SendWithShift(TShiftState{}, [&] {
    for (char16_t unit : units) SendMessage(Handle(), WM_CHAR, static_cast<WPARAM>(unit), 0);
  });
}

void TuiCustomMaskEdit::Beep() { MessageBeep(0); }

// ---- Text and selection -----------------------------------------------------------------------------------

String TuiCustomMaskEdit::Text() const {
  IuiInnerTextEdit* inner = const_cast<TuiCustomMaskEdit*>(this)->InnerTextEdit();
  if (inner == nullptr) return String();
  Variant value;
  inner->GetEditValue(value);
  return VarToStr(value);
}

Integer TuiCustomMaskEdit::SelStart() const { return const_cast<TuiCustomMaskEdit*>(this)->TuiCustomTextEdit::SelStart(); }
Integer TuiCustomMaskEdit::SelLength() const { return const_cast<TuiCustomMaskEdit*>(this)->TuiCustomTextEdit::SelLength(); }
Integer TuiCustomMaskEdit::GetCaretCharIndex() const {
  return const_cast<TuiCustomMaskEdit*>(this)->TuiCustomTextEdit::GetCaretCharIndex();
}

void TuiCustomMaskEdit::SetEditSel(Integer AStart, Integer AEnd) {
  if (IuiInnerTextEdit* inner = InnerTextEdit()) {
    inner->SetSelStart(AStart);
    inner->SetSelLength(AEnd - AStart);
  }
}

void TuiCustomMaskEdit::SetDisplayText(const String& AText) {
  if (IuiInnerTextEdit* inner = InnerTextEdit()) inner->SetEditValue(AText);
}

void TuiCustomMaskEdit::SetSelStart(Integer Value) {
  TuiCustomTextEdit::SetSelStart(Value);
  if (mode_) mode_->CaretMoved();
}

void TuiCustomMaskEdit::SetSelLength(Integer Value) {
  TuiCustomTextEdit::SetSelLength(Value);
  if (mode_) mode_->CaretMoved();
}

void TuiCustomMaskEdit::SetSelText(const String& AText) {
  if (!mode_ || !IsMasked()) return TuiCustomTextEdit::SetSelText(AText);
  mode_->SetPasteLength(static_cast<Integer>(k58::rtl::Utf8ToUtf32(AText).size()));
  mode_->PreparePaste();
  TuiCustomTextEdit::SetSelText(AText);
  mode_->FinishPaste();
}

void TuiCustomMaskEdit::CutToClipboard() {
  if (!mode_ || !IsMasked()) return TuiCustomTextEdit::CutToClipboard();
  if (SelLength() == 0) return;
  CopyToClipboard();
  if (mode_->KeyDelete()) SendInternalKey(VK_DELETE, TShiftState{});
}

void TuiCustomMaskEdit::PasteFromClipboard() {
  if (!mode_ || !IsMasked()) return TuiCustomTextEdit::PasteFromClipboard();
  String clip;
  if (InnerTextEdit() == nullptr || !ReadClipboardText(clip)) return;
  SetSelText(clip);
}

// ---- Values -----------------------------------------------------------------------------------------------

void TuiCustomMaskEdit::SetInternalDisplayValue(const Variant& AValue) {
  if (!mode_ || !IsMasked() || ComponentState().Contains(csLoading))
    return TuiCustomTextEdit::SetInternalDisplayValue(AValue);
  const String value = VarToStr(AValue);
  String text;
  if (IsEditFocused() || mode_->Kind() != emkStandard || ActiveProperties()->AlwaysShowBlanksAndLiterals())
    mode_->FormatText(value, text);
  else
    mode_->TextToValue(value, text);
  TuiCustomTextEdit::SetInternalDisplayValue(Variant(text));
  mode_->TextAssigned(text);
}

void TuiCustomMaskEdit::SynchronizeDisplayValue() {
  TuiCustomTextEdit::SynchronizeDisplayValue();
  if (mode_ && IsMasked()) mode_->TextAssigned(Text());
}

void TuiCustomMaskEdit::DisplayValueToEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool AEditFocused) {
  if (!mode_ || !IsMasked()) return TuiCustomTextEdit::DisplayValueToEditValue(ADisplayValue, AEditValue, AEditFocused);
  String value;
  mode_->TextToValue(VarToStr(ADisplayValue), value);
  AEditValue = Variant(value);
}

void TuiCustomMaskEdit::GetEditingText(String& AText) {
  if (!mode_ || !IsMasked()) return TuiCustomTextEdit::GetEditingText(AText);
  AText = valueText_;
}

bool TuiCustomMaskEdit::SetEditingValue(const String& AText) {
  if (!mode_ || !IsMasked()) return TuiCustomTextEdit::SetEditingValue(AText);
  InternalSetEditValue(Variant(AText));
  return true;
}

void TuiCustomMaskEdit::SetEditValue(const String& AValue) { TuiCustomTextEdit::SetEditValue(Variant(AValue)); }

bool TuiCustomMaskEdit::IsDisplayValueMaster() const { return IsUserAction() || ModifiedAfterEnter(); }

String TuiCustomMaskEdit::PrepareDisplayValue() {
  Variant display;
  TuiCustomTextEdit::PrepareDisplayValue(EditValue(), display, IsEditFocused());
  return VarToStr(display);
}

void TuiCustomMaskEdit::ReapplyText() { SetInternalDisplayValue(Variant(Text())); }

void TuiCustomMaskEdit::Loaded() {
  TuiCustomTextEdit::Loaded();
  if (mode_ && IsMasked()) {
    LockChangeEvents(true);
    try {
      ReapplyText();
    } catch (...) {
      LockChangeEvents(false);
      throw;
    }
    LockChangeEvents(false);
  }
}

void TuiCustomMaskEdit::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TuiCustomTextEdit::MouseDown(Button, Shift, X, Y);
  if (Button == mbLeft && mode_) mode_->CaretMoved();
}

// A drag with the left button selects as Shift does.
void TuiCustomMaskEdit::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TuiCustomTextEdit::MouseMove(Shift, X, Y);
  if (Shift.Contains(ssLeft) && mode_) {
    shiftFlag_ = true;
    mode_->CaretMoved();
  }
}

// Entering with AutoSelect: the mode prepares for the whole text being selected, and the whole text is
// selected again after the display value was brought up to date (which puts the caret at the start).
void TuiCustomMaskEdit::DoEnter() {
  TuiCustomTextEdit::DoEnter();
  if (!mode_ || !IsMasked() || !HandleAllocated() || !IsEditFocused()) return;
  if (IuiInnerTextEdit* inner = InnerTextEdit(); inner != nullptr && inner->GetAutoSelect()) {
    mode_->SelectForEntry();
    SelectAll();
  }
}

// With a mask, a character from the input method is a typed character: the mode places the caret itself,
// so the selection is not held back until the character is in (as the text editor's completion needs).
bool TuiCustomMaskEdit::ProcessInnerKeyMessage(TMessage& Message) {
  if (Message.Msg == WM_IME_CHAR && mode_ && IsMasked() && !internalKey_) {
    if (IuiInnerTextEdit* inner = InnerTextEdit(); inner != nullptr && inner->GetControl()->HandleAllocated()) {
      Message.Result = SendMessage(inner->GetControl()->Handle(), WM_CHAR, Message.WParam, Message.LParam);
      return true;
    }
  }
  return TuiCustomTextEdit::ProcessInnerKeyMessage(Message);
}

// ---- Properties changes -----------------------------------------------------------------------------------

void TuiCustomMaskEdit::PropertiesChanged(TObject* Sender) {
  if (Properties() == nullptr || !mode_) return TuiCustomTextEdit::PropertiesChanged(Sender);
  TuiCustomMaskEditProperties* properties = ActiveProperties();
  properties->LockChanged(true);
  bool kindChanged = false, maskChanged = false, caseChanged = false, echoChanged = false;
  Integer selStart = 0, selLength = 0;
  try {
    const String mask = properties->EditMask();
    const TuiEditMaskKind kind = properties->MaskKind();
    kindChanged = mode_->Kind() != kind;
    maskChanged = mode_->MaskText() != mask;
    caseChanged = mode_->CharCase() != properties->CharCase();
    echoChanged = echoMode_ != properties->EchoMode();
    bool maskCleared = false;
    if (kindChanged) {
      // A mask of one syntax means nothing in the other.
      if ((mode_->Kind() == emkStandard) != (kind == emkStandard)) {
        properties->SetEditMask(String());
        maskCleared = true;
      }
      mode_.reset();
      mode_ = properties->CreateMode(kind, this);
      LoadModeMask(properties->EditMask());
    }
    if (maskChanged) {
      properties->SetMaxLength(0);
      LoadModeMask(mask);
      if (maskCleared) {
        // The mask was cleared for the kind change only: the empty value follows the mask put back.
        properties->SetEditMask(mask);
        RenewEmptyValue();
      }
      if (IsBlankEditMask(mask) && mode_->Kind() == emkStandard && HandleAllocated() && SelLength() == 1)
        SetEditSel(SelStart(), SelStart());
    }
    if (caseChanged) {
      if (properties->CharCase() == ecNormal) {
        if (IuiInnerTextEdit* inner = InnerTextEdit()) inner->SetCharCase(ecNormal);
        mode_->SyncWithEditValue();
      }
      mode_->SetCharCase(properties->CharCase());
    }
    if (echoChanged && HandleAllocated()) {
      selStart = SelStart();
      selLength = SelLength();
    }
    const bool usable = IsUsable();
    if ((!usable || !VarIsNull(EditValue())) && IsMasked()) mode_->ApplyPendingValue();
  } catch (...) {
    properties->LockChanged(false);
    throw;
  }
  properties->LockChanged(false);
  if (auto* re = dynamic_cast<TuiMaskEditRegExprMode*>(mode_.get())) re->UpdateCaseInsensitive();
  TuiCustomTextEdit::PropertiesChanged(Sender);
  if (echoChanged) {
    if (HandleAllocated()) {
      SetSelStart(selStart);
      SetSelLength(selLength);
    }
    echoMode_ = properties->EchoMode();
  }
  if (kindChanged || maskChanged || caseChanged) {
    String value;
    mode_->TextToValue(Text(), value);
    valueText_ = value;
  }
}

// ---- TuiMaskEdit ------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiMaskEdit) {
  using S = TuiMaskEdit;
  PublishControl(b, {"Anchors",      "Constraints",  "DragCursor",     "DragKind",  "DragMode",    "Enabled",
                     "ParentColor",  "ParentFont", "ParentShowHint", "PopupMenu", "ShowHint",    "TabOrder",
                     "TabStop",      "Text",         "Visible",        "OnClick",   "OnContextPopup",
                     "OnDblClick",   "OnDragDrop",   "OnDragOver",     "OnEndDock", "OnEndDrag",   "OnEnter",
                     "OnExit",       "OnKeyDown",    "OnKeyPress",     "OnKeyUp",   "OnMouseDown", "OnMouseEnter",
                     "OnMouseLeave", "OnMouseMove",  "OnMouseUp",      "OnStartDock", "OnStartDrag"});
  b.Prop("ImeMode", &S::ImeMode, &S::SetImeMode).Default(imDontCare);
  b.Prop("ImeName", &S::ImeNameValue, &S::SetImeName);
  b.Prop("Properties", &S::Properties, &S::SetProperties);
}

TClass TuiMaskEdit::GetPropertiesClass() const { return TuiMaskEditProperties::StaticClass(); }
