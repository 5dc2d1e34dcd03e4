// The base of the mask modes, the standard mask's mode and the masked editor's key routing.
#include "controls/editors/uiMaskEditModes.h"

#include "platform/classes/ClassBuilder.h"
#include "platform/forms/Mask.h"
#include "platform/win/Windows.h"

K58_IMPLEMENT_CLASS(TuiMaskEditCustomMode) {}
K58_IMPLEMENT_CLASS(TuiMaskEditStandardMode) {}

bool IsBlankEditMask(const String& AMask) {
  for (char c : AMask)
    if (c != ' ' && c != '\0' && c != '\t' && c != '\n' && c != '\f' && c != '\r') return false;
  return true;
}

// ---- Base ---------------------------------------------------------------------------------------------

TuiMaskEditCustomMode::TuiMaskEditCustomMode(IuiMaskEditHost* AEdit, IuiMaskEditModeSettings* AEditProperties)
    : properties_(AEdit == nullptr ? AEditProperties : nullptr), edit_(AEdit) {}

IuiMaskEditModeSettings* TuiMaskEditCustomMode::Properties() const {
  return edit_ != nullptr ? edit_->MaskSettings() : properties_;
}

void TuiMaskEditCustomMode::BeepOnError() {
  IuiMaskEditModeSettings* properties = Properties();
  if (edit_ != nullptr && properties != nullptr && properties->BeepOnError()) edit_->Beep();
}

void TuiMaskEditCustomMode::SyncWithEditValue() {
  if (!IsEditUsable()) return;
  String display;
  if (edit_->IsDisplayValueMaster())
    FormatText(edit_->Text(), display);
  else
    display = edit_->PrepareDisplayValue();
  edit_->SetDisplayText(display);
}

// ---- Standard mode ------------------------------------------------------------------------------------

namespace k58::editors {
namespace {

String JoinChars(const std::vector<String>& AChars) {
  String text;
  for (const String& ch : AChars) text += ch;
  return text;
}

Integer CharCount(const String& AText) { return static_cast<Integer>(k58::forms::SplitChars(AText).size()); }

}  // namespace
}  // namespace k58::editors

using k58::editors::CharCount;
using k58::editors::JoinChars;

TuiMaskEditStandardMode::TuiMaskEditStandardMode(IuiMaskEditHost* AEdit, IuiMaskEditModeSettings* AEditProperties)
    : TuiMaskEditCustomMode(AEdit, AEditProperties) {}

String TuiMaskEditStandardMode::BlankChar() const { return mask_.BlankChar(); }

String TuiMaskEditStandardMode::GetBlank(Integer) const { return BlankChar(); }

bool TuiMaskEditStandardMode::IsLiteral(Integer APosition) const {
  return APosition >= 0 && APosition < mask_.Count() &&
         dynamic_cast<TuiStandardMaskLiteralItem*>(mask_.Items(APosition)) != nullptr;
}

void TuiMaskEditStandardMode::LoadMask(const String& AMask) {
  maskText_ = AMask;
  // A blank mask leaves no positions behind, so nothing of an earlier mask stays in force.
  mask_.SetMask(IsBlankEditMask(AMask) ? String() : AMask);
  if (!IsBlankEditMask(AMask) && !IsEditUsable()) valueUpdatePending_ = true;
}

void TuiMaskEditStandardMode::EmptyValue(String& AValue) { AValue = mask_.EmptyValue(); }

void TuiMaskEditStandardMode::FormatText(const String& AText, String& AResult) {
  AResult = AText;
  if (mask_.Count() > 0) mask_.ApplyToText(AResult, true);
}

void TuiMaskEditStandardMode::TextToValue(const String& AText, String& AValue) {
  AValue = AText;
  if (mask_.Count() == 0) return;
  IuiMaskEditModeSettings* properties = Properties();
  mask_.ApplyToText(AValue, properties == nullptr || properties->CharCase() == ecNormal);
  mask_.ExtractValue(AValue);
}

bool TuiMaskEditStandardMode::IsTextValid(const String& AText) {
  String text = AText;
  if (mask_.IsTextValid(text)) return true;
  IuiMaskEditModeSettings* properties = Properties();
  if (properties == nullptr || !properties->IgnoreMaskBlank()) return false;
  String empty, formatted;
  EmptyValue(empty);
  FormatText(empty, formatted);
  return AText == formatted;
}

void TuiMaskEditStandardMode::ShowBlock() {
  if (edit_ == nullptr || !edit_->HandleAllocated() || !edit_->IsMasked() || edit_->SelLength() != 0) return;
  // At the end of the text there is no character to select; asking again would only come back here.
  if (edit_->SelStart() >= CharCount(edit_->Text())) return;
  edit_->SetSelLength(1);
}

void TuiMaskEditStandardMode::CaretMoved() { ShowBlock(); }

void TuiMaskEditStandardMode::TextAssigned(const String&) { ShowBlock(); }

void TuiMaskEditStandardMode::SyncWithEditValue() {
  TuiMaskEditCustomMode::SyncWithEditValue();
  ShowBlock();
}

void TuiMaskEditStandardMode::ApplyPendingValue() {
  if (!valueUpdatePending_) return;
  valueUpdatePending_ = false;
  if (edit_ == nullptr) return;
  String value;
  EmptyValue(value);
  edit_->SetEditValue(value);
}

bool TuiMaskEditStandardMode::CaretAtFirst() {
  Integer first = 0;
  while (IsLiteral(first)) ++first;
  const Integer p = edit_->SelStart();
  return p <= first && (edit_->SelLength() < 2 || edit_->GetCaretCharIndex() == p);
}

bool TuiMaskEditStandardMode::CaretAtEnd() { return edit_->SelStart() == CharCount(edit_->Text()); }

void TuiMaskEditStandardMode::MoveLeft() {
  Integer p = edit_->SelStart() - 1;
  while (p >= 0 && IsLiteral(p)) --p;
  if (p >= 0) edit_->SetSelStart(p);
}

void TuiMaskEditStandardMode::MoveRight() {
  const Integer length = CharCount(edit_->Text());
  Integer p = edit_->SelStart() + 1;
  while (p < length && IsLiteral(p)) ++p;
  if (p <= length) edit_->SetSelStart(p);
}

bool TuiMaskEditStandardMode::KeyChar(String& ACh) {
  for (;;) {
    std::vector<String> chars = k58::forms::SplitChars(edit_->Text());
    const Integer p = edit_->SelStart();
    if (chars.empty() || p >= static_cast<Integer>(chars.size())) return false;
    if (IsLiteral(p)) {
      edit_->SetShiftFlag(false);
      if (edit_->SelLength() > 1) KeyDelete();
      MoveRight();
      if (edit_->SelStart() == p) return false;
      continue;
    }
    if (p >= mask_.Count()) return false;
    String ch = ACh;
    if (!mask_.Items(p)->Accepts(ch)) return false;
    if (!edit_->IsCharAllowed(ch, p + 1)) return false;
    if (ch.empty()) {
      BeepOnError();
      return false;
    }
    if (edit_->SelLength() > 1) {
      KeyDelete();
      chars = k58::forms::SplitChars(edit_->Text());
    }
    chars[static_cast<size_t>(p)] = ch;
    edit_->SetDisplayText(JoinChars(chars));
    edit_->SetSelStart(p);
    edit_->SetShiftFlag(false);
    MoveRight();
    return false;
  }
}

bool TuiMaskEditStandardMode::KeyBackspace() {
  // Backspace never extends a selection, Shift or not.
  if (edit_->SelLength() <= 1) MoveLeft();
  KeyDelete();
  return false;
}

bool TuiMaskEditStandardMode::KeyDelete() {
  std::vector<String> chars = k58::forms::SplitChars(edit_->Text());
  const Integer p = edit_->SelStart();
  const Integer end = std::min(p + edit_->SelLength(), static_cast<Integer>(chars.size()));
  bool changed = false;
  for (Integer i = p; i < end; ++i) {
    if (IsLiteral(i)) continue;
    const String blank = GetBlank(i);
    if (blank.empty() || chars[static_cast<size_t>(i)] == blank) continue;
    chars[static_cast<size_t>(i)] = blank;
    changed = true;
  }
  if (changed) edit_->SetDisplayText(JoinChars(chars));
  edit_->SetSelStart(p);
  return false;
}

bool TuiMaskEditStandardMode::KeyHome() {
  if (edit_->ShiftFlag()) return true;
  edit_->SetSelStart(0);
  if (IsLiteral(0)) MoveRight();
  return false;
}

bool TuiMaskEditStandardMode::KeyEnd() {
  if (edit_->ShiftFlag()) return true;
  edit_->SetSelStart(CharCount(edit_->Text()));
  return false;
}

bool TuiMaskEditStandardMode::KeyLeft() {
  const Integer p = edit_->SelStart(), l = edit_->SelLength();
  if (edit_->ShiftFlag()) {
    if (l == 1) {
      // The anchor goes behind the block and the caret in front of it; the text editor's Shift+Left then
      // takes in the character before.
      edit_->SetEditSel(p + 1, p + 1);
      edit_->SendInternalKey(VK_LEFT, TShiftState{ssShift});
    }
    return true;
  }
  if (l >= 2) {
    Integer target = p;
    while (target < p + l && IsLiteral(target)) ++target;
    if (target == p + l) target = p;
    edit_->SetSelStart(0);
    edit_->SetSelStart(target);
  } else {
    MoveLeft();
  }
  return false;
}

bool TuiMaskEditStandardMode::KeyRight() {
  const Integer p = edit_->SelStart(), l = edit_->SelLength();
  if (edit_->ShiftFlag()) {
    // A block selected from its right end shrinks back to a plain caret, which the text editor's
    // Shift+Right then turns into the block again.
    if (l == 1 && edit_->GetCaretCharIndex() == p) edit_->SetEditSel(p, p);
    return true;
  }
  if (l < 2) {
    MoveRight();
    return false;
  }
  const Integer length = CharCount(edit_->Text());
  if (p + l >= length) {
    edit_->SetSelStart(length);
    return false;
  }
  Integer target = p + l - 1;
  while (target > p && IsLiteral(target)) --target;
  edit_->SetSelStart(target);
  return false;
}

void TuiMaskEditStandardMode::PreparePaste() {
  pasteStart_ = edit_->SelStart();
  edit_->SetEditSel(pasteStart_, pasteStart_ + pasteLength_);
}

void TuiMaskEditStandardMode::FinishPaste() {
  const Integer length = CharCount(edit_->Text());
  const Integer p = std::max<Integer>(0, std::min(pasteStart_ + pasteLength_, length - 1));
  edit_->SetSelStart(p);
  if (IsLiteral(p)) {
    edit_->SetShiftFlag(false);
    MoveRight();
  }
}

// ---- Key routing --------------------------------------------------------------------------------------

bool MaskEditKeyDown(IuiMaskEditHost& AEdit, TuiMaskEditCustomMode& AMode, Word AKey, TShiftState AShift) {
  if (!AEdit.CanProcessKey(AKey, AShift)) {
    AEdit.DoAfterKeyDown(AKey, AShift);
    return false;
  }
  if (AKey == VK_TAB) return true;
  AEdit.SetShiftFlag(AShift.Contains(ssShift));
  switch (AKey) {
    case VK_UP:
    case VK_DOWN:
      if (AEdit.HasPopupWindow()) return true;
      AEdit.DoAfterKeyDown(AKey, AShift);
      return false;
    case VK_LEFT:
    case VK_RIGHT: {
      const bool left = AKey == VK_LEFT;
      if (AShift.Contains(ssCtrl)) {
        AEdit.SendInternalKey(left ? VK_HOME : VK_END, TShiftState{});
        return left ? AMode.KeyHome() : AMode.KeyEnd();
      }
      const bool atLimit = left ? AMode.CaretAtFirst() : AMode.CaretAtEnd();
      if (left ? AMode.KeyLeft() : AMode.KeyRight()) return true;
      // At the first or last place the key is offered on (a grid moves to the next cell).
      if (atLimit) AEdit.DoAfterKeyDown(AKey, AShift);
      return false;
    }
    case VK_DELETE:
      if (!AShift.Contains(ssShift)) return AMode.KeyDelete();
      if (AEdit.SelLength() != 0) return true;
      // Shift+Delete without a selection is Backspace; what the mode leaves to the inner edit is a
      // Backspace too, not the cut that Shift+Delete would be there.
      if (AMode.KeyBackspace()) AEdit.SendInternalChar(U'\b');
      return false;
    case VK_HOME:
      return AMode.KeyHome();
    case VK_END:
      return AMode.KeyEnd();
    default:
      return true;
  }
}

bool MaskEditKeyPress(IuiMaskEditHost& AEdit, TuiMaskEditCustomMode& AMode, String& ACh) {
  if (ACh == "\t" || ACh == "\x1B" || !AEdit.CanProcessChar(ACh)) return false;
  if (ACh == "\r" || ACh == "\x03" || ACh == "\x16" || ACh == "\x18") return true;
  if (ACh == "\b") return AMode.KeyBackspace();
  return AMode.KeyChar(ACh);
}
