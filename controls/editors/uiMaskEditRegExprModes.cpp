// The regular-expression mask modes: head and tail around the caret, and the auto-completing mode's steps.
#include "controls/editors/uiMaskEditModes.h"

#include "controls/foundation/uiClasses.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/rtl/Utf.h"
#include "platform/win/Windows.h"

K58_IMPLEMENT_CLASS(TuiMaskEditRegExprMode) {}
K58_IMPLEMENT_CLASS(TuiMaskEditRegExprExMode) {}

namespace k58::editors {
namespace {

String Utf8(const std::u32string& AText) { return k58::rtl::Utf32ToUtf8(AText); }

bool StartsWith(const std::u32string& AText, const std::u32string& APrefix) {
  return AText.size() >= APrefix.size() && AText.compare(0, APrefix.size(), APrefix) == 0;
}

void CompilePattern(TuiRegExpr& AEngine, const String& APattern) {
  TStringStream source(APattern);
  try {
    AEngine.Compile(&source);
  } catch (const EuiRegExprError& error) {
    String message = LocalizeText(uimaskeditconsts::SMaskEditRegExprError);
    for (Integer i = 0; i < error.Errors().Count(); ++i) message += "\r\n" + error.Errors().Items(i).Text();
    throw EuiMaskEditError(message);
  }
}

}  // namespace
}  // namespace k58::editors

using k58::editors::CompilePattern;
using k58::editors::StartsWith;
using k58::editors::Utf8;

// ---- Regular-expression mode ---------------------------------------------------------------------------

TuiMaskEditRegExprMode::TuiMaskEditRegExprMode(IuiMaskEditHost* AEdit, IuiMaskEditModeSettings* AEditProperties)
    : TuiMaskEditCustomMode(AEdit, AEditProperties), engine_(TObjectPtr<TuiRegExpr>(NewObject<TuiRegExpr>())) {
  UpdateCaseInsensitive();
}

void TuiMaskEditRegExprMode::UpdateCaseInsensitive() {
  IuiMaskEditModeSettings* properties = Properties();
  engine_->SetCaseInsensitive(properties == nullptr || properties->CaseInsensitive());
}

String TuiMaskEditRegExprMode::Head() const { return Utf8(head_); }
String TuiMaskEditRegExprMode::Tail() const { return Utf8(tail_); }
std::u32string TuiMaskEditRegExprMode::EditText() const { return k58::rtl::Utf8ToUtf32(edit_->Text()); }
Integer TuiMaskEditRegExprMode::TextLength() const { return static_cast<Integer>(EditText().size()); }

void TuiMaskEditRegExprMode::LoadMask(const String& AMask) {
  // A new mask replaces the engine only once it compiled, so a bad one leaves the mode as it was.
  TObjectPtr<TuiRegExpr> engine = TObjectPtr<TuiRegExpr>(NewObject<TuiRegExpr>());
  engine->SetCaseInsensitive(engine_->CaseInsensitive());
  engine->SetOnAppendChar(engine_->OnAppendChar());
  engine->SetOnDeleteLastChar(engine_->OnDeleteLastChar());
  if (!IsBlankEditMask(AMask)) CompilePattern(*engine, AMask);
  engine_ = std::move(engine);
  maskText_ = AMask;
  head_.clear();
  tail_.clear();
  cut_.clear();
  resync_ = true;
}

TObjectPtr<TuiRegExpr> TuiMaskEditRegExprMode::NewCompiledEngine() const {
  if (!engine_->IsCompiled()) return nullptr;
  TObjectPtr<TuiRegExpr> engine = TObjectPtr<TuiRegExpr>(NewObject<TuiRegExpr>());
  IuiMaskEditModeSettings* properties = Properties();
  engine->SetCaseInsensitive(properties == nullptr || properties->CaseInsensitive());
  CompilePattern(*engine, maskText_);
  return engine;
}

void TuiMaskEditRegExprMode::FormatText(const String& AText, String& AResult) {
  AResult.clear();
  if (!EngineReady()) return;
  engine_->Restart();
  engine_->FilterText(AText, AResult);
  // The engine no longer stands at the head; the next key rebuilds both.
  head_.clear();
  tail_.clear();
  resync_ = true;
}

bool TuiMaskEditRegExprMode::IsTextValid(const String& AText) {
  if (AText.empty()) return true;
  TObjectPtr<TuiRegExpr> engine = NewCompiledEngine();
  if (!engine) return false;
  for (char32_t ch : k58::rtl::Utf8ToUtf32(AText))
    if (!engine->Advance(ch)) return false;
  IuiMaskEditModeSettings* properties = Properties();
  return (properties != nullptr && properties->IgnoreMaskBlank()) || engine->IsFinal();
}

bool TuiMaskEditRegExprMode::CaretAtFirst() { return edit_->SelStart() == 0; }
bool TuiMaskEditRegExprMode::CaretAtEnd() { return edit_->SelStart() == TextLength(); }

Integer TuiMaskEditRegExprMode::TakeFromTail(Integer ACount) {
  Integer moved = 0;
  while (moved < ACount && !tail_.empty()) {
    char32_t ch = tail_[0];
    if (!engine_->Advance(ch)) break;
    head_.push_back(tail_[0]);
    tail_.erase(0, 1);
    ++moved;
  }
  return moved;
}

void TuiMaskEditRegExprMode::ReturnToTail(Integer ACount) {
  for (; ACount > 0 && !head_.empty(); --ACount) {
    engine_->StepBack();
    tail_.insert(tail_.begin(), head_.back());
    head_.pop_back();
  }
}

void TuiMaskEditRegExprMode::Resync() {
  if (!EngineReady()) return;
  const std::u32string text = EditText();
  if (!(resync_ || (head_.empty() && tail_.empty() && !text.empty()))) return;
  resync_ = false;
  engine_->Restart();
  head_.clear();
  tail_ = text;
  const Integer caret = edit_->GetCaretCharIndex();
  if (TakeFromTail(caret) < caret) {
    // Text before the caret that the pattern refuses (a pasted text) cannot stand in the head: the caret
    // goes in front of the first refused character.
    const Integer at = static_cast<Integer>(head_.size());
    edit_->SetEditSel(at, at);
  }
}

bool TuiMaskEditRegExprMode::TailMatches() {
  Integer taken = 0;
  bool matches = true;
  for (char32_t ch : tail_) {
    if (!engine_->Advance(ch)) {
      matches = false;
      break;
    }
    ++taken;
  }
  for (; taken > 0; --taken) engine_->StepBack();
  return matches;
}

void TuiMaskEditRegExprMode::DropTail() {
  tail_.clear();
  edit_->SetDisplayText(Utf8(head_));
  const Integer end = static_cast<Integer>(head_.size());
  edit_->SetEditSel(end, end);
}

bool TuiMaskEditRegExprMode::KeepTailOrDrop() {
  if (TailMatches()) return true;
  DropTail();
  return false;
}

void TuiMaskEditRegExprMode::CutSelection() {
  cut_.clear();
  const size_t p = static_cast<size_t>(edit_->SelStart()), l = static_cast<size_t>(edit_->SelLength());
  if (p == head_.size()) {
    cut_ = tail_.substr(0, l);
    tail_.erase(0, cut_.size());
    cutFromTail_ = true;
  } else if (p + l == head_.size()) {
    cut_ = head_.substr(p);
    head_.resize(p);
    for (size_t i = 0; i < l; ++i) engine_->StepBack();
    cutFromTail_ = false;
  }
}

void TuiMaskEditRegExprMode::PutSelectionBack() {
  if (cutFromTail_) {
    tail_.insert(0, cut_);
  } else {
    tail_.insert(0, cut_);
    TakeFromTail(static_cast<Integer>(cut_.size()));
  }
  cut_.clear();
}

void TuiMaskEditRegExprMode::SelectForEntry() {
  Resync();
  if (!EngineReady()) return;
  TakeFromTail(static_cast<Integer>(tail_.size()));
  // The whole text gets selected; a refused rest is dealt with at the next key.
  if (!tail_.empty()) resync_ = true;
}

void TuiMaskEditRegExprMode::TextAssigned(const String& AText) {
  if (!EngineReady()) return;
  engine_->Restart();
  head_.clear();
  tail_ = k58::rtl::Utf8ToUtf32(AText);
  if (pasteLength_ > 0 && !tail_.empty()) {
    const Integer count = edit_->SelStart() + pasteLength_;
    if (TakeFromTail(count) < count) resync_ = true;
  }
  pasteLength_ = 0;
}

void TuiMaskEditRegExprMode::SyncWithEditValue() {
  TuiMaskEditCustomMode::SyncWithEditValue();
  if (!IsEditUsable() || !EngineReady()) return;
  const std::u32string text = EditText();
  engine_->Restart();
  head_.clear();
  tail_ = text;
  TakeFromTail(static_cast<Integer>(text.size()));
  // Whatever the pattern refuses of the display value goes.
  if (!tail_.empty()) DropTail();
  const Integer end = static_cast<Integer>(head_.size());
  edit_->SetEditSel(end, end);
  resync_ = false;
}

bool TuiMaskEditRegExprMode::KeyChar(String& ACh) {
  Resync();
  if (!EngineReady()) return true;
  const bool hadSelection = edit_->SelLength() > 0;
  if (hadSelection) CutSelection();
  std::u32string typed = k58::rtl::Utf8ToUtf32(ACh);
  char32_t ch = typed.empty() ? 0 : typed[0];
  if (typed.size() != 1 || !engine_->Advance(ch)) {
    if (hadSelection) PutSelectionBack();
    BeepOnError();
    return false;
  }
  ACh = k58::rtl::Utf32ToUtf8(std::u32string(1, ch));
  // The text up to the caret stays; the character goes in there, after the selection or the whole tail
  // went when the tail no longer fits behind it.
  if (!TailMatches()) DropTail();
  head_.push_back(ch);
  cut_.clear();
  return true;
}

bool TuiMaskEditRegExprMode::KeyBackspace() {
  Resync();
  if (!EngineReady()) return true;
  if (edit_->SelLength() > 0) {
    CutSelection();
    cut_.clear();
    return KeepTailOrDrop();
  }
  if (head_.empty()) return true;
  engine_->StepBack();
  head_.pop_back();
  return KeepTailOrDrop();
}

bool TuiMaskEditRegExprMode::KeyDelete() {
  Resync();
  if (!EngineReady()) return true;
  if (edit_->SelLength() > 0) {
    CutSelection();
    cut_.clear();
    return KeepTailOrDrop();
  }
  if (tail_.empty()) return true;
  tail_.erase(0, 1);
  return KeepTailOrDrop();
}

bool TuiMaskEditRegExprMode::KeyEnd() {
  Resync();
  if (!EngineReady()) return true;
  TakeFromTail(static_cast<Integer>(tail_.size()));
  if (tail_.empty()) return true;
  // A refused character stops the caret in front of it.
  const Integer at = static_cast<Integer>(head_.size());
  edit_->SetEditSel(at, at);
  return false;
}

bool TuiMaskEditRegExprMode::KeyHome() {
  Resync();
  if (!EngineReady()) return true;
  tail_.insert(0, head_);
  head_.clear();
  engine_->Restart();
  return true;
}

bool TuiMaskEditRegExprMode::KeyLeft() {
  Resync();
  if (!EngineReady() || head_.empty()) return true;
  const Integer p = edit_->SelStart(), l = edit_->SelLength();
  if (l > 0 && !edit_->ShiftFlag()) {
    // The text editor collapses the selection to its start.
    if (p + l == static_cast<Integer>(head_.size())) ReturnToTail(l);
    return true;
  }
  ReturnToTail(1);
  return true;
}

bool TuiMaskEditRegExprMode::KeyRight() {
  Resync();
  if (!EngineReady() || tail_.empty()) return true;
  const Integer p = edit_->SelStart(), l = edit_->SelLength();
  if (l > 0 && !edit_->ShiftFlag()) {
    // The text editor collapses the selection to its end.
    if (p == static_cast<Integer>(head_.size()) && TakeFromTail(l) < l) {
      const Integer at = static_cast<Integer>(head_.size());
      edit_->SetEditSel(at, at);
      return false;
    }
    return true;
  }
  return TakeFromTail(1) == 1;
}

// ---- Auto-completing mode -----------------------------------------------------------------------------

TuiMaskEditRegExprExMode::TuiMaskEditRegExprExMode(IuiMaskEditHost* AEdit, IuiMaskEditModeSettings* AEditProperties)
    : TuiMaskEditRegExprMode(AEdit, AEditProperties) {
  engine_->SetOnAppendChar([this](char32_t ACh) { forced_.push_back(ACh); });
  engine_->SetOnDeleteLastChar([this] { ++takenBack_; });
}

void TuiMaskEditRegExprExMode::LoadMask(const String& AMask) {
  TuiMaskEditRegExprMode::LoadMask(AMask);
  forced_.clear();
  takenBack_ = 0;
  if (!IsBlankEditMask(AMask) && !IsEditUsable()) valueUpdatePending_ = true;
}

bool TuiMaskEditRegExprExMode::TakeStep(char32_t& ACh, std::u32string& AForced) {
  AForced.clear();
  if (!engine_->Advance(ACh)) return false;
  forced_.clear();
  engine_->SetAutoComplete(true);
  engine_->SetAutoComplete(false);
  AForced = forced_;
  forced_.clear();
  return true;
}

Integer TuiMaskEditRegExprExMode::UntakeStep() {
  // Switching auto-completion on at the head's end types nothing there, except where a text from outside
  // stops inside a forced run: those characters are not in the head and do not count.
  forced_.clear();
  takenBack_ = 0;
  engine_->SetAutoComplete(true);
  const Integer ahead = static_cast<Integer>(forced_.size());
  engine_->StepBack();
  engine_->SetAutoComplete(false);
  const Integer takenBack = std::max<Integer>(0, takenBack_ - ahead);
  forced_.clear();
  takenBack_ = 0;
  return takenBack;
}

std::u32string TuiMaskEditRegExprExMode::ForcedHere() {
  forced_.clear();
  engine_->SetAutoComplete(true);
  engine_->SetAutoComplete(false);
  std::u32string forced = forced_;
  for (size_t i = 0; i < forced.size(); ++i) engine_->StepBack();
  forced_.clear();
  return forced;
}

void TuiMaskEditRegExprExMode::StartKey() {
  forced_.clear();
  takenBack_ = 0;
  if (!IsEditUsable() || !edit_->HandleAllocated() || !EngineReady()) return;
  // Head and tail are rebuilt from the text and the selection before every key, so that whatever moved the
  // caret or changed the text in between, the key starts on step boundaries.
  ResyncSteps();
}

void TuiMaskEditRegExprExMode::ResyncSteps() {
  resync_ = false;
  engine_->Restart();
  head_.clear();
  tail_ = EditText();
  const Integer start = edit_->SelStart(), end = start + edit_->SelLength();
  Integer selStart = -1;
  bool stopped = false;
  for (;;) {
    const Integer at = static_cast<Integer>(head_.size());
    if (selStart < 0 && at >= start) selStart = at;
    if (selStart >= 0 && (at >= end || start == end)) break;
    if (tail_.empty()) break;
    char32_t ch = tail_[0];
    std::u32string forced;
    if (!TakeStep(ch, forced)) {
      stopped = true;
      break;
    }
    const Integer size = 1 + static_cast<Integer>(forced.size());
    if (!StartsWith(tail_.substr(1), forced)) {
      // The text does not hold the characters the pattern forces here: it ends the steps.
      for (Integer i = 0; i < size; ++i) engine_->StepBack();
      stopped = true;
      break;
    }
    if (selStart < 0 && at + size > start) {
      // The selection starts inside this step: it starts in front of the step instead.
      selStart = at;
      if (start == end) {
        for (Integer i = 0; i < size; ++i) engine_->StepBack();
        break;
      }
    }
    head_.append(tail_, 0, static_cast<size_t>(size));
    tail_.erase(0, static_cast<size_t>(size));
  }
  const Integer headEnd = static_cast<Integer>(head_.size());
  if (selStart < 0 || stopped) selStart = std::min(selStart < 0 ? headEnd : selStart, headEnd);
  if (selStart == headEnd)
    edit_->SetEditSel(headEnd, headEnd);
  else
    edit_->SetEditSel(selStart, headEnd);
}

bool TuiMaskEditRegExprExMode::EnterPrefix() {
  if (!head_.empty()) return false;
  const std::u32string prefix = ForcedHere();
  if (prefix.empty()) return false;
  char32_t first = prefix[0];
  std::u32string rest;
  TakeStep(first, rest);
  if (StartsWith(tail_, prefix)) {
    tail_.erase(0, prefix.size());
    head_ = prefix;
    const Integer at = static_cast<Integer>(prefix.size());
    edit_->SetEditSel(at, at);
  } else {
    head_ = prefix;
    for (char32_t ch : prefix) edit_->SendInternalChar(ch);
  }
  return true;
}

void TuiMaskEditRegExprExMode::CutForKey() {
  const Integer p = edit_->SelStart();
  CutSelection();
  if (p != 0 || !head_.empty()) return;
  // A selection from the start keeps the forced prefix: the selection begins behind it.
  const std::u32string prefix = ForcedHere();
  if (prefix.empty() || !StartsWith(cut_, prefix)) return;
  tail_.insert(0, cut_);
  cut_.clear();
  const Integer end = p + edit_->SelLength();
  char32_t first = prefix[0];
  std::u32string rest;
  TakeStep(first, rest);
  head_ = prefix;
  tail_.erase(0, prefix.size());
  const Integer at = static_cast<Integer>(prefix.size());
  edit_->SetEditSel(at, std::max(at, end));
  if (edit_->SelLength() > 0) CutSelection();
}

void TuiMaskEditRegExprExMode::CompleteTail() {
  Integer taken = 0;
  bool matches = true;
  for (char32_t ch : tail_) {
    if (!engine_->Advance(ch)) {
      matches = false;
      break;
    }
    ++taken;
  }
  if (!matches) {
    for (; taken > 0; --taken) engine_->StepBack();
    DropTail();
    return;
  }
  forced_.clear();
  engine_->SetAutoComplete(true);
  engine_->SetAutoComplete(false);
  const std::u32string forced = forced_;
  forced_.clear();
  taken += static_cast<Integer>(forced.size());
  for (; taken > 0; --taken) engine_->StepBack();
  if (forced.empty()) return;
  const Integer length = static_cast<Integer>(head_.size() + tail_.size());
  edit_->SetEditSel(length, length);
  for (char32_t ch : forced) edit_->SendInternalChar(ch);
  tail_ += forced;
  const Integer at = static_cast<Integer>(head_.size());
  edit_->SetEditSel(at, at);
}

bool TuiMaskEditRegExprExMode::KeyChar(String& ACh) {
  StartKey();
  if (!EngineReady()) return true;
  const std::u32string typed = k58::rtl::Utf8ToUtf32(ACh);
  if (typed.size() != 1) {
    BeepOnError();
    return false;
  }
  const bool hadSelection = edit_->SelLength() > 0;
  if (hadSelection) CutForKey();
  char32_t ch = typed[0];
  std::u32string forced;
  bool taken = TakeStep(ch, forced);
  if (!taken && head_.empty() && edit_->SelStart() == 0 && EnterPrefix()) {
    ch = typed[0];
    taken = TakeStep(ch, forced);
  }
  if (!taken) {
    if (hadSelection && !cut_.empty()) PutSelectionBack();
    BeepOnError();
    return false;
  }
  const std::u32string step = ch + forced;
  head_ += step;
  cut_.clear();
  for (char32_t c : step) edit_->SendInternalChar(c);
  CompleteTail();
  return false;
}

bool TuiMaskEditRegExprExMode::KeyBackspace() {
  StartKey();
  if (!EngineReady()) return true;
  if (edit_->SelLength() > 0) {
    CutForKey();
    cut_.clear();
    if (edit_->SelLength() > 0) edit_->SendInternalChar(U'\b');
    CompleteTail();
    return false;
  }
  if (head_.empty()) return false;
  const Integer takenBack = UntakeStep();
  if (engine_->IsAtStart() && static_cast<Integer>(head_.size()) <= takenBack) {
    // Only the forced prefix lies before the caret: it stays.
    char32_t first = head_[0];
    std::u32string rest;
    TakeStep(first, rest);
    BeepOnError();
    return false;
  }
  const Integer count = std::min<Integer>(takenBack + 1, static_cast<Integer>(head_.size()));
  head_.resize(head_.size() - static_cast<size_t>(count));
  for (Integer i = 0; i < count; ++i) edit_->SendInternalChar(U'\b');
  CompleteTail();
  return false;
}

bool TuiMaskEditRegExprExMode::KeyDelete() {
  StartKey();
  if (!EngineReady()) return true;
  if (edit_->SelLength() > 0) return KeyBackspace();
  if (tail_.empty()) return false;
  if (head_.empty()) {
    const std::u32string prefix = ForcedHere();
    if (!prefix.empty() && StartsWith(tail_, prefix)) {
      BeepOnError();
      return false;
    }
  }
  char32_t ch = tail_[0];
  std::u32string forced;
  Integer count = 1;
  if (TakeStep(ch, forced)) {
    for (size_t i = 0; i <= forced.size(); ++i) engine_->StepBack();
    if (StartsWith(tail_.substr(1), forced)) count += static_cast<Integer>(forced.size());
  }
  tail_.erase(0, static_cast<size_t>(count));
  for (Integer i = 0; i < count; ++i) edit_->SendInternalKey(VK_DELETE, TShiftState{});
  CompleteTail();
  return false;
}

bool TuiMaskEditRegExprExMode::KeyHome() {
  StartKey();
  return TuiMaskEditRegExprMode::KeyHome();
}

bool TuiMaskEditRegExprExMode::KeyEnd() {
  StartKey();
  return TuiMaskEditRegExprMode::KeyEnd();
}

std::vector<Integer> TuiMaskEditRegExprExMode::StepBoundaries() const {
  std::vector<Integer> boundaries{0};
  TObjectPtr<TuiRegExpr> engine = NewCompiledEngine();
  if (!engine) return boundaries;
  std::u32string forced;
  engine->SetOnAppendChar([&forced](char32_t ACh) { forced.push_back(ACh); });
  const std::u32string text = EditText();
  size_t at = 0;
  while (at < text.size()) {
    char32_t ch = text[at];
    if (!engine->Advance(ch)) break;
    forced.clear();
    engine->SetAutoComplete(true);
    engine->SetAutoComplete(false);
    if (text.compare(at + 1, forced.size(), forced) != 0) break;
    at += 1 + forced.size();
    boundaries.push_back(static_cast<Integer>(at));
  }
  return boundaries;
}

bool TuiMaskEditRegExprExMode::KeyLeft() {
  StartKey();
  if (!EngineReady()) return true;
  const Integer l = edit_->SelLength();
  const bool shift = edit_->ShiftFlag();
  if (l > 0 && !shift) {
    // The text editor collapses the selection to its start, a step boundary.
    ReturnToTail(l);
    return true;
  }
  // The caret goes to the boundary in front of it: the text editor moves it over one character, internal
  // keys over the rest of the step.
  const Integer caret = edit_->GetCaretCharIndex();
  const std::vector<Integer> boundaries = StepBoundaries();
  Integer target = -1;
  for (Integer b : boundaries)
    if (b < caret) target = b;
  if (target < 0 || boundaries.back() < caret) return true;
  const TShiftState keys = shift ? TShiftState{ssShift} : TShiftState{};
  for (Integer i = target + 1; i < caret; ++i) edit_->SendInternalKey(VK_LEFT, keys);
  if (l == 0) ReturnToTail(caret - target);
  return true;
}

bool TuiMaskEditRegExprExMode::KeyRight() {
  StartKey();
  if (!EngineReady()) return true;
  const bool shift = edit_->ShiftFlag();
  // With a selection the head already stands at its end, where the text editor collapses it.
  if (edit_->SelLength() > 0 && !shift) return true;
  const Integer caret = edit_->GetCaretCharIndex();
  const std::vector<Integer> boundaries = StepBoundaries();
  Integer target = -1;
  for (auto b = boundaries.rbegin(); b != boundaries.rend(); ++b)
    if (*b > caret) target = *b;
  if (target < 0) return true;
  const TShiftState keys = shift ? TShiftState{ssShift} : TShiftState{};
  for (Integer i = caret + 1; i < target; ++i) edit_->SendInternalKey(VK_RIGHT, keys);
  if (edit_->SelLength() == 0) TakeFromTail(target - caret);
  return true;
}

void TuiMaskEditRegExprExMode::EmptyValue(String& AValue) {
  AValue.clear();
  TObjectPtr<TuiRegExpr> engine = NewCompiledEngine();
  if (!engine) return;
  std::u32string prefix;
  engine->SetOnAppendChar([&prefix](char32_t ACh) { prefix.push_back(ACh); });
  engine->SetAutoComplete(true);
  AValue = Utf8(prefix);
}

void TuiMaskEditRegExprExMode::FormatText(const String& AText, String& AResult) {
  TuiMaskEditRegExprMode::FormatText(AText, AResult);
  if (!EngineReady()) return;
  forced_.clear();
  engine_->SetAutoComplete(true);
  engine_->SetAutoComplete(false);
  AResult += Utf8(forced_);
  forced_.clear();
}

bool TuiMaskEditRegExprExMode::IsTextValid(const String& AText) {
  if (AText.empty()) return true;
  String prefix;
  EmptyValue(prefix);
  if (!prefix.empty() && AText == prefix) return true;
  return TuiMaskEditRegExprMode::IsTextValid(AText);
}

void TuiMaskEditRegExprExMode::TextAssigned(const String& AText) {
  TuiMaskEditRegExprMode::TextAssigned(AText);
  resync_ = true;
  if (IsEditUsable() && edit_->HandleAllocated() && EngineReady()) ResyncSteps();
}

void TuiMaskEditRegExprExMode::ApplyPendingValue() {
  if (!valueUpdatePending_) return;
  valueUpdatePending_ = false;
  if (edit_ == nullptr) return;
  String value;
  EmptyValue(value);
  edit_->SetEditValue(value);
}
