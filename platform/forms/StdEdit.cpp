// Edits and memos over the "EDIT" window class.
#include <algorithm>

#include "platform/forms/Forms.h"
#include "platform/forms/StdCtrls.h"
#include "platform/forms/StdCtrlsInternal.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win/builtin/CommCtrl.h"

using namespace k58::forms::std_internal;

// ---- Edits ------------------------------------------------------------------------------------------

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
  SetControlStyle(TControlStyle{csClickEvents, csSetCaption, csDoubleClicks, csFixedHeight});
  SetBounds(Left(), Top(), 121, 25);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
  TControl::SetAutoSize(true);
}

void TCustomEdit::SetBorderStyle(TBorderStyle Value) {
  if (borderStyle_ == Value) return;
  borderStyle_ = Value;
  RecreateWnd();
  if (AutoSize()) AdjustSize();
}

void TCustomEdit::SetCharCase(TEditCharCase Value) {
  if (charCase_ == Value) return;
  charCase_ = Value;
  if (HandleAllocated()) {
    LONG_PTR style = ::GetWindowLongPtr(Handle(), GWL_STYLE) & ~static_cast<LONG_PTR>(ES_UPPERCASE | ES_LOWERCASE);
    if (Value == ecUpperCase) style |= ES_UPPERCASE;
    if (Value == ecLowerCase) style |= ES_LOWERCASE;
    ::SetWindowLongPtr(Handle(), GWL_STYLE, style);
    // The case applies to the text there is as well.
    String text = Text();
    if (Value == ecUpperCase) SetText(AnsiUpperCase(text));
    if (Value == ecLowerCase) SetText(AnsiLowerCase(text));
  }
}

void TCustomEdit::SetHideSelection(bool Value) {
  if (hideSelection_ == Value) return;
  hideSelection_ = Value;
  RecreateWnd();
}

Integer TCustomEdit::GetMaxLength() { return maxLength_; }

void TCustomEdit::SetMaxLength(Integer Value) {
  if (Value < 0) Value = 0;
  if (maxLength_ == Value) return;
  maxLength_ = Value;
  if (HandleAllocated()) ::SendMessage(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(Value), 0);
}

void TCustomEdit::SetOEMConvert(bool Value) {
  if (oemConvert_ == Value) return;
  oemConvert_ = Value;
  RecreateWnd();
}

void TCustomEdit::SetPasswordChar(char Value) {
  if (passwordChar_ == Value) return;
  passwordChar_ = Value;
  if (HandleAllocated()) {
    ::SendMessage(Handle(), EM_SETPASSWORDCHAR, static_cast<WPARAM>(static_cast<unsigned char>(Value)), 0);
    ::InvalidateRect(Handle(), nullptr, TRUE);
  }
}

void TCustomEdit::SetReadOnly(bool Value) {
  if (readOnly_ == Value) return;
  readOnly_ = Value;
  if (HandleAllocated()) ::SendMessage(Handle(), EM_SETREADONLY, Value ? TRUE : FALSE, 0);
}

bool TCustomEdit::Modified() {
  if (HandleAllocated()) return ::SendMessage(Handle(), EM_GETMODIFY, 0, 0) != 0;
  return modified_;
}

void TCustomEdit::SetModified(bool Value) {
  modified_ = Value;
  if (HandleAllocated()) ::SendMessage(Handle(), EM_SETMODIFY, Value ? TRUE : FALSE, 0);
}

bool TCustomEdit::CanUndo() {
  return HandleAllocated() && ::SendMessage(Handle(), EM_CANUNDO, 0, 0) != 0;
}

// ---- Selection ----

Integer TCustomEdit::GetSelStart() {
  if (!HandleAllocated()) return selStart_;
  DWORD start = 0, end = 0;
  ::SendMessage(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<Integer>(start);
}

void TCustomEdit::SetSelStart(Integer Value) { ApplySelection(Value, 0); }

Integer TCustomEdit::GetSelLength() {
  if (!HandleAllocated()) return selLength_;
  DWORD start = 0, end = 0;
  ::SendMessage(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<Integer>(end) - static_cast<Integer>(start);
}

void TCustomEdit::SetSelLength(Integer Value) { ApplySelection(GetSelStart(), Value); }

void TCustomEdit::ApplySelection(Integer Start, Integer Length) {
  Integer count = CharCount(TControl::GetText());
  Start = std::clamp(Start, 0, count);
  Integer end = std::clamp(Start + Length, 0, count);
  if (HandleAllocated()) {
    ::SendMessage(Handle(), EM_SETSEL, static_cast<WPARAM>(Start), static_cast<LPARAM>(end));
    ::SendMessage(Handle(), EM_SCROLLCARET, 0, 0);
  } else {
    selStart_ = std::min(Start, end);
    selLength_ = std::abs(end - Start);
  }
}

String TCustomEdit::GetSelText() { return CharCopy(TControl::GetText(), GetSelStart(), GetSelLength()); }

void TCustomEdit::SetSelText(const String& Value) {
  if (HandleAllocated()) {
    ::SendMessage(Handle(), EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(Value.c_str()));
    return;
  }
  String text = TControl::GetText();
  Integer start = GetSelStart(), length = GetSelLength();
  size_t from = ByteOffset(text, start), to = ByteOffset(text, start + length);
  text.replace(from, to - from, Value);
  SetText(text);
  selStart_ = start + CharCount(Value);
  selLength_ = 0;
}

Integer TCustomEdit::GetSelTextBuf(char* Buffer, Integer BufSize) {
  if (Buffer == nullptr || BufSize <= 0) return 0;
  String text = GetSelText();
  size_t n = std::min(text.size(), static_cast<size_t>(BufSize - 1));
  std::copy_n(text.data(), n, Buffer);
  Buffer[n] = '\0';
  return static_cast<Integer>(n);
}

// ---- Editing ----

void TCustomEdit::Clear() { SetText(String()); }

void TCustomEdit::ClearSelection() { ::SendMessage(Handle(), WM_CLEAR, 0, 0); }

void TCustomEdit::CopyToClipboard() { ::SendMessage(Handle(), WM_COPY, 0, 0); }

void TCustomEdit::CutToClipboard() { ::SendMessage(Handle(), WM_CUT, 0, 0); }

void TCustomEdit::PasteFromClipboard() { ::SendMessage(Handle(), WM_PASTE, 0, 0); }

void TCustomEdit::Undo() {
  if (HandleAllocated()) ::SendMessage(Handle(), WM_UNDO, 0, 0);
}

void TCustomEdit::ClearUndo() {
  if (HandleAllocated()) ::SendMessage(Handle(), EM_EMPTYUNDOBUFFER, 0, 0);
}

void TCustomEdit::SelectAll() { ApplySelection(0, CharCount(TControl::GetText())); }

void TCustomEdit::Change() {
  Perform(CM_CHANGED, 0, reinterpret_cast<LPARAM>(this));
  onChange_(this);
}

// ---- Size ----

Integer TCustomEdit::AutoHeight() {
  ScreenCanvas measure(Font());
  TEXTMETRICA metrics;
  ::GetTextMetrics(measure.DC(), &metrics);
  Integer border = 0;
  if (borderStyle_ == bsSingle) border = (Ctl3D() ? 8 : 6) * ::GetSystemMetrics(SM_CYBORDER);
  return metrics.tmHeight + border;
}

bool TCustomEdit::CanAutoSize(Integer& NewWidth, Integer& NewHeight) {
  (void)NewWidth;
  if (ComponentState().Contains(csLoading) || ComponentState().Contains(csReading)) return false;
  NewHeight = AutoHeight();
  return true;
}

void TCustomEdit::SetAutoSize(bool Value) {
  if (AutoSize() == Value) return;
  TWinControl::SetAutoSize(Value);
  TControlStyle style = ControlStyle();
  if (Value) {
    style.Include(csFixedHeight);
  } else {
    style.Exclude(csFixedHeight);
  }
  SetControlStyle(style);
}

// ---- Window ----

void TCustomEdit::CreateParams(TCreateParams& Params) {
  k58::forms::EnsureCommonControls();
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, WC_EDIT);
  Params.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL;
  if (borderStyle_ == bsSingle) Params.Style |= WS_BORDER;
  if (passwordChar_ != 0) Params.Style |= ES_PASSWORD;
  if (readOnly_) Params.Style |= ES_READONLY;
  if (charCase_ == ecUpperCase) Params.Style |= ES_UPPERCASE;
  if (charCase_ == ecLowerCase) Params.Style |= ES_LOWERCASE;
  if (!hideSelection_) Params.Style |= ES_NOHIDESEL;
  if (oemConvert_) Params.Style |= ES_OEMCONVERT;
  if (Ctl3D() && borderStyle_ == bsSingle) {
    Params.Style &= ~WS_BORDER;
    Params.ExStyle |= WS_EX_CLIENTEDGE;
  }
}

void TCustomEdit::CreateWnd() {
  creating_ = true;
  try {
    TWinControl::CreateWnd();
  } catch (...) {
    creating_ = false;
    throw;
  }
  creating_ = false;
  HWND wnd = Handle();
  ::SendMessage(wnd, EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
  if (passwordChar_ != 0) {
    ::SendMessage(wnd, EM_SETPASSWORDCHAR, static_cast<WPARAM>(static_cast<unsigned char>(passwordChar_)), 0);
  }
  ::SendMessage(wnd, EM_SETMODIFY, modified_ ? TRUE : FALSE, 0);
  Integer start = selStart_, length = selLength_;
  if (start != 0 || length != 0) {
    ::SendMessage(wnd, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(start + length));
  }
}

void TCustomEdit::DestroyWnd() {
  if (HandleAllocated()) {
    modified_ = ::SendMessage(Handle(), EM_GETMODIFY, 0, 0) != 0;
    DWORD start = 0, end = 0;
    ::SendMessage(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    selStart_ = static_cast<Integer>(start);
    selLength_ = static_cast<Integer>(end) - static_cast<Integer>(start);
  }
  TWinControl::DestroyWnd();
}

void TCustomEdit::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_COMMAND) {
    CNCommand(static_cast<TWMCommand&>(Message));
    return;
  }
  TWinControl::Dispatch(Message);
}

void TCustomEdit::CMEnter(TMessage& Message) {
  if (autoSelect_ && !ControlState().Contains(csLButtonDown) && HandleAllocated() &&
      (::GetWindowLongPtr(Handle(), GWL_STYLE) & ES_MULTILINE) == 0) {
    SelectAll();
  }
  TWinControl::CMEnter(Message);
}

void TCustomEdit::CMFontChanged(TMessage& Message) {
  TWinControl::CMFontChanged(Message);
  if (AutoSize() && !ComponentState().Contains(csLoading)) AdjustSize();
}

void TCustomEdit::CMCtl3DChanged(TMessage& Message) {
  RecreateWnd();
  TWinControl::CMCtl3DChanged(Message);
  if (AutoSize()) AdjustSize();
}

void TCustomEdit::CMTextChanged(TMessage& Message) {
  TWinControl::CMTextChanged(Message);
  // A single-line window reports its own change; a multi-line one and a control without a window do not.
  if (!HandleAllocated() || (::GetWindowLongPtr(Handle(), GWL_STYLE) & ES_MULTILINE) != 0) Change();
}

void TCustomEdit::CNCommand(TWMCommand& Message) {
  if (Message.NotifyCode() == EN_CHANGE && !creating_) Change();
}

// ---- Memos ------------------------------------------------------------------------------------------

TMemoStrings::TMemoStrings(TCustomMemo* Memo) : memo_(Memo) {}

namespace {

// Lines of a text with the character offset where each starts; a break after the last line starts an
// empty last line, which is not an entry of the list.
struct LineLayout {
  std::vector<String> Lines;
  std::vector<Integer> Starts;  // character offset of every line
  Integer Chars = 0;            // characters of the whole text
};

LineLayout LayoutOf(const String& Text) {
  LineLayout layout;
  size_t i = 0;
  Integer chars = 0;
  String line;
  layout.Starts.push_back(0);
  while (i < Text.size()) {
    char c = Text[i];
    if (c == '\r' || c == '\n') {
      size_t breakLen = (c == '\r' && i + 1 < Text.size() && Text[i + 1] == '\n') ? 2 : 1;
      layout.Lines.push_back(line);
      line.clear();
      i += breakLen;
      chars += static_cast<Integer>(breakLen);
      layout.Starts.push_back(chars);
      continue;
    }
    Integer len = StrCharLength(Text.data() + i, Text.data() + Text.size());
    line.append(Text, i, static_cast<size_t>(len));
    i += static_cast<size_t>(len);
    ++chars;
  }
  layout.Lines.push_back(line);
  layout.Chars = chars;
  return layout;
}

// Number of entries: the lines, without the empty one after a final break.
Integer EntryCount(const LineLayout& Layout) {
  Integer n = static_cast<Integer>(Layout.Lines.size());
  if (Layout.Lines.back().empty()) --n;
  return n;
}

}  // namespace

std::vector<String> TMemoStrings::Split() const {
  LineLayout layout = LayoutOf(memo_->Text());
  layout.Lines.resize(static_cast<size_t>(EntryCount(layout)));
  return layout.Lines;
}

void TMemoStrings::CheckIndex(Integer Index, Integer Limit) const {
  if (Index < 0 || Index >= Limit) Error(stdctrlsconsts::SListIndexError, Index);
}

Integer TMemoStrings::Count() const { return EntryCount(LayoutOf(memo_->Text())); }

String TMemoStrings::Get(Integer Index) const {
  std::vector<String> lines = Split();
  CheckIndex(Index, static_cast<Integer>(lines.size()));
  return lines[static_cast<size_t>(Index)];
}

namespace {
// Replaces the characters [Start, End) of the memo's text with Value, through the window when there is
// one (so the caret follows and the view scrolls to it).
void ReplaceRange(TCustomMemo* Memo, Integer Start, Integer End, const String& Value) {
  if (Memo->HandleAllocated()) {
    ::SendMessage(Memo->Handle(), EM_SETSEL, static_cast<WPARAM>(Start), static_cast<LPARAM>(End));
    ::SendMessage(Memo->Handle(), EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(Value.c_str()));
    return;
  }
  String text = Memo->Text();
  size_t from = ByteOffset(text, Start), to = ByteOffset(text, End);
  text.replace(from, to - from, Value);
  Memo->SetText(text);
}
}  // namespace

void TMemoStrings::Put(Integer Index, const String& S) {
  LineLayout layout = LayoutOf(memo_->Text());
  CheckIndex(Index, EntryCount(layout));
  Integer start = layout.Starts[static_cast<size_t>(Index)];
  ReplaceRange(memo_, start, start + CharCount(layout.Lines[static_cast<size_t>(Index)]), S);
}

void TMemoStrings::Insert(Integer Index, const String& S) {
  LineLayout layout = LayoutOf(memo_->Text());
  Integer count = EntryCount(layout);
  if (Index < 0 || Index > count) Error(stdctrlsconsts::SListIndexError, Index);
  if (Index < static_cast<Integer>(layout.Lines.size())) {
    Integer start = layout.Starts[static_cast<size_t>(Index)];
    ReplaceRange(memo_, start, start, S + sLineBreak);
  } else {
    // After a last line that has no break of its own.
    ReplaceRange(memo_, layout.Chars, layout.Chars, sLineBreak + S);
  }
}

void TMemoStrings::Delete(Integer Index) {
  LineLayout layout = LayoutOf(memo_->Text());
  CheckIndex(Index, EntryCount(layout));
  Integer start = layout.Starts[static_cast<size_t>(Index)];
  Integer end = static_cast<size_t>(Index) + 1 < layout.Starts.size() ? layout.Starts[static_cast<size_t>(Index) + 1]
                                                                        : layout.Chars;
  ReplaceRange(memo_, start, end, String());
}

void TMemoStrings::Clear() { memo_->Clear(); }

String TMemoStrings::GetText() const { return memo_->Text(); }

void TMemoStrings::SetText(const String& Value) {
  if (Value != memo_->Text()) memo_->SetText(Value);
}

void TMemoStrings::SetUpdateState(bool Updating) {
  if (!memo_->HandleAllocated()) return;
  ::SendMessage(memo_->Handle(), WM_SETREDRAW, Updating ? FALSE : TRUE, 0);
  if (!Updating) memo_->Invalidate();
}

TCustomMemo::TCustomMemo(TComponent* AOwner) : TCustomEdit(AOwner), lines_(new TMemoStrings(this)) {
  SetAutoSize(false);
  SetBounds(Left(), Top(), 185, 89);
}

TCustomMemo::~TCustomMemo() = default;

void TCustomMemo::SetAlignment(TAlignment Value) {
  if (alignment_ == Value) return;
  alignment_ = Value;
  RecreateWnd();
}

void TCustomMemo::SetScrollBars(TScrollStyle Value) {
  if (scrollBars_ == Value) return;
  scrollBars_ = Value;
  RecreateWnd();
}

void TCustomMemo::SetWordWrap(bool Value) {
  if (wordWrap_ == Value) return;
  wordWrap_ = Value;
  RecreateWnd();
}

TPoint TCustomMemo::CaretPos() {
  if (!HandleAllocated()) return TPoint{0, 0};
  DWORD start = 0, end = 0;
  ::SendMessage(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  Integer caret = static_cast<Integer>(::SendMessage(Handle(), EM_GETCARETINDEX, 0, 0));
  Integer line = static_cast<Integer>(::SendMessage(Handle(), EM_LINEFROMCHAR, static_cast<WPARAM>(caret), 0));
  Integer lineStart = static_cast<Integer>(::SendMessage(Handle(), EM_LINEINDEX, static_cast<WPARAM>(line), 0));
  return TPoint{caret - lineStart, line};
}

void TCustomMemo::SetCaretPos(const TPoint& Value) {
  Integer lineStart = static_cast<Integer>(::SendMessage(Handle(), EM_LINEINDEX, static_cast<WPARAM>(Value.y), 0));
  if (lineStart < 0) return;
  Integer lineLen = static_cast<Integer>(::SendMessage(Handle(), EM_LINELENGTH, static_cast<WPARAM>(lineStart), 0));
  Integer pos = lineStart + std::clamp<Integer>(Value.x, 0, lineLen);
  ::SendMessage(Handle(), EM_SETSEL, static_cast<WPARAM>(pos), static_cast<LPARAM>(pos));
}

void TCustomMemo::CreateParams(TCreateParams& Params) {
  static constexpr DWORD Alignments[] = {ES_LEFT, ES_RIGHT, ES_CENTER};
  static constexpr DWORD Bars[] = {0, WS_HSCROLL, WS_VSCROLL, WS_HSCROLL | WS_VSCROLL};
  TCustomEdit::CreateParams(Params);
  if (wordWrap_) Params.Style &= ~ES_AUTOHSCROLL;
  Params.Style |= ES_MULTILINE | Alignments[alignment_] | Bars[scrollBars_];
}

void TCustomMemo::KeyPress(char& Key) {
  TCustomEdit::KeyPress(Key);
  if (Key == '\r' && !wantReturns_) Key = 0;
}

bool TCustomMemo::CanAutoSize(Integer& NewWidth, Integer& NewHeight) {
  (void)NewWidth;
  (void)NewHeight;
  return false;
}

void TCustomMemo::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_GETDLGCODE) {
    TCustomEdit::Dispatch(Message);
    if (wantTabs_) {
      Message.Result |= DLGC_WANTTAB;
    } else {
      Message.Result &= ~static_cast<LRESULT>(DLGC_WANTTAB);
    }
    if (!wantReturns_) Message.Result &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS);
    return;
  }
  TCustomEdit::Dispatch(Message);
}
