// Masked edits over the standard edit.
#include "platform/forms/Mask.h"

#include <algorithm>

#include "platform/classes/ClassBuilder.h"
#include "platform/forms/ControlsPublish.h"
#include "platform/forms/StdCtrlsPublish.h"
#include "platform/rtl/CodePages.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/Utf.h"
#include "platform/win/builtin/CommCtrl.h"
#include "platform/win/ui/WinClipboard.h"

namespace k58::forms {

std::vector<String> SplitChars(const String& Text) {
  std::vector<String> chars;
  const char* p = Text.data();
  const char* end = p + Text.size();
  while (p < end) {
    Integer len = std::max<Integer>(1, StrCharLength(p, end));
    len = std::min<Integer>(len, static_cast<Integer>(end - p));
    chars.emplace_back(p, static_cast<size_t>(len));
    p += len;
  }
  return chars;
}

namespace {

String Joined(const std::vector<String>& Chars) {
  String text;
  for (const String& c : Chars) text += c;
  return text;
}

bool IsAsciiDigit(const String& C) { return C.size() == 1 && C[0] >= '0' && C[0] <= '9'; }
// Letters: ASCII letters and every character outside ASCII (the scripts the program shows).
bool IsLetter(const String& C) {
  if (C.size() != 1) return !C.empty();
  unsigned char ch = static_cast<unsigned char>(C[0]);
  return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z');
}

}  // namespace

EditMaskLayout::EditMaskLayout(const String& EditMask) {
  std::vector<String> chars = SplitChars(EditMask);
  // The fields: the mask up to the second-last unescaped ";" (or all of it), then the two options.
  std::vector<size_t> separators;
  for (size_t i = 0; i < chars.size(); ++i) {
    if (chars[i] == "\\") {
      ++i;
    } else if (chars[i] == ";") {
      separators.push_back(i);
    }
  }
  size_t maskEnd = chars.size();
  if (separators.size() >= 2) {
    size_t sep1 = separators[separators.size() - 2], sep2 = separators.back();
    maskEnd = sep1;
    if (sep2 == sep1 + 1 || chars[sep1 + 1] != "0") {
      saveLiterals_ = true;
    } else {
      saveLiterals_ = false;
    }
    if (sep2 + 1 < chars.size()) blank_ = chars[sep2 + 1];
  } else if (separators.size() == 1) {
    maskEnd = separators[0];
    saveLiterals_ = !(maskEnd + 1 < chars.size() && chars[maskEnd + 1] == "0");
  }

  CaseMode mode = CaseMode::None;
  auto literal = [&](const String& c) {
    Position p;
    p.Literal = true;
    p.Char = c;
    positions_.push_back(p);
  };
  for (size_t i = 0; i < maskEnd; ++i) {
    const String& c = chars[i];
    if (c == "!") {
      leadingBlanks_ = true;
    } else if (c == ">") {
      if (i + 1 < maskEnd && chars[i + 1] == "<") {
        mode = CaseMode::None;
        ++i;
      } else {
        mode = CaseMode::Upper;
      }
    } else if (c == "<") {
      mode = CaseMode::Lower;
    } else if (c == "\\") {
      if (i + 1 < maskEnd) literal(chars[++i]);
    } else if (c.size() == 1 && String("LlAaCc09#").find(c[0]) != String::npos) {
      Position p;
      p.Kind = c[0];
      p.Case = mode;
      positions_.push_back(p);
    } else if (c == ":") {
      literal(String(1, FormatSettings.TimeSeparator));
    } else if (c == "/") {
      literal(String(1, FormatSettings.DateSeparator));
    } else if (c == "_") {
      literal(" ");
    } else {
      literal(c);
    }
  }
}

String EditMaskLayout::Accept(Integer Index, const String& Char) const {
  if (Index < 0 || Index >= Length() || Char.empty()) return String();
  const Position& p = positions_[static_cast<size_t>(Index)];
  if (p.Literal) return String();
  if (Char == " " && !p.Required()) return Char;
  bool ok = false;
  switch (p.Kind) {
    case 'L': case 'l': ok = IsLetter(Char); break;
    case 'A': case 'a': ok = IsLetter(Char) || IsAsciiDigit(Char); break;
    case 'C': case 'c': ok = Char != "\r" && Char != "\n" && static_cast<unsigned char>(Char[0]) >= 32; break;
    case '0': case '9': ok = IsAsciiDigit(Char); break;
    case '#': ok = IsAsciiDigit(Char) || Char == "+" || Char == "-"; break;
    default: break;
  }
  if (!ok) return String();
  if (p.Case == CaseMode::Upper) return AnsiUpperCase(Char);
  if (p.Case == CaseMode::Lower) return AnsiLowerCase(Char);
  return Char;
}

String EditMaskLayout::Format(const String& Value, bool WithLiterals) const {
  std::vector<String> in = SplitChars(Value);
  std::vector<String> out;
  out.reserve(positions_.size());
  if (WithLiterals) {
    size_t v = 0;
    for (Integer i = 0; i < Length(); ++i) {
      const Position& p = positions_[static_cast<size_t>(i)];
      if (p.Literal) {
        out.push_back(p.Char);
        if (v < in.size()) {
          Integer next = NextInput(i);
          bool punctuation = !IsLetter(in[v]) && !IsAsciiDigit(in[v]);
          if (in[v] == p.Char || (punctuation && (next < 0 || Accept(next, in[v]).empty()))) ++v;
        }
        continue;
      }
      String taken = v < in.size() ? Accept(i, in[v++]) : String();
      out.push_back(taken.empty() || taken == " " ? blank_ : taken);
    }
    return Joined(out);
  }
  Integer inputs = 0;
  for (const Position& p : positions_) inputs += p.Literal ? 0 : 1;
  // Right-aligned with "!": the value's first character goes where it ends at the last input position.
  Integer skip = leadingBlanks_ ? std::max<Integer>(0, inputs - static_cast<Integer>(in.size())) : 0;
  if (!leadingBlanks_ && static_cast<Integer>(in.size()) > inputs) in.resize(static_cast<size_t>(inputs));
  if (leadingBlanks_ && static_cast<Integer>(in.size()) > inputs) in.erase(in.begin(), in.end() - inputs);
  size_t v = 0;
  Integer k = 0;
  for (Integer i = 0; i < Length(); ++i) {
    const Position& p = positions_[static_cast<size_t>(i)];
    if (p.Literal) {
      out.push_back(p.Char);
      continue;
    }
    String taken;
    if (k++ >= skip && v < in.size()) taken = Accept(i, in[v++]);
    out.push_back(taken.empty() || taken == " " ? blank_ : taken);
  }
  return Joined(out);
}

String EditMaskLayout::Value(const String& EditText) const {
  std::vector<String> shown = SplitChars(EditText);
  String value;
  for (Integer i = 0; i < Length(); ++i) {
    const Position& p = positions_[static_cast<size_t>(i)];
    String c = i < static_cast<Integer>(shown.size()) ? shown[static_cast<size_t>(i)] : blank_;
    if (p.Literal) {
      if (saveLiterals_) value += p.Char;
      continue;
    }
    value += c == blank_ ? String(" ") : c;
  }
  if (saveLiterals_) return value;
  // Without literals the blanks of the unfilled positions are dropped at the end (in front with "!").
  if (leadingBlanks_) {
    size_t first = value.find_first_not_of(' ');
    return first == String::npos ? String() : value.substr(first);
  }
  size_t last = value.find_last_not_of(' ');
  return last == String::npos ? String() : value.substr(0, last + 1);
}

Integer EditMaskLayout::FirstInvalid(const String& EditText) const {
  std::vector<String> shown = SplitChars(EditText);
  for (Integer i = 0; i < Length(); ++i) {
    const Position& p = positions_[static_cast<size_t>(i)];
    if (p.Literal) continue;
    String c = i < static_cast<Integer>(shown.size()) ? shown[static_cast<size_t>(i)] : blank_;
    bool blank = c == blank_ || c == " ";
    if (blank ? p.Required() : Accept(i, c).empty()) return i;
  }
  return -1;
}

Integer EditMaskLayout::NextInput(Integer Index) const {
  for (Integer i = std::max<Integer>(0, Index); i < Length(); ++i) {
    if (!positions_[static_cast<size_t>(i)].Literal) return i;
  }
  return -1;
}

Integer EditMaskLayout::PriorInput(Integer Index) const {
  for (Integer i = std::min(Index, Length()) - 1; i >= 0; --i) {
    if (!positions_[static_cast<size_t>(i)].Literal) return i;
  }
  return -1;
}

}  // namespace k58::forms

using k58::forms::SplitChars;

// ---- TCustomMaskEdit ------------------------------------------------------------------------------------

TCustomMaskEdit::TCustomMaskEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}

String TCustomMaskEdit::GetText() {
  String shown = TCustomEdit::GetText();
  if (!IsMasked()) return shown;
  return layout_.Value(shown);
}

String TCustomMaskEdit::EditText() { return TCustomEdit::GetText(); }

std::vector<String> TCustomMaskEdit::Shown() {
  std::vector<String> chars = SplitChars(EditText());
  chars.resize(static_cast<size_t>(layout_.Length()), layout_.Blank());
  return chars;
}

void TCustomMaskEdit::SetEditMask(const String& Value) {
  if (Value == editMask_) return;
  String value = Text();
  editMask_ = Value;
  layout_ = k58::forms::EditMaskLayout(Value);
  if (HandleAllocated()) {
    ::SendMessage(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(GetMaxLength()), 0);
  }
  if (IsMasked()) {
    Store(SplitChars(layout_.Format(value, layout_.SaveLiterals())), 0, false);
  } else {
    storing_ = true;
    try {
      SetTextBuf(value.c_str());
    } catch (...) {
      storing_ = false;
      throw;
    }
    storing_ = false;
  }
  savedText_ = EditText();
}

void TCustomMaskEdit::SetEditText(const String& Value) {
  if (!IsMasked()) {
    SetText(Value);
    return;
  }
  Store(SplitChars(layout_.Format(Value, true)), 0, false);
  savedText_ = EditText();
}

Integer TCustomMaskEdit::GetMaxLength() {
  return IsMasked() ? layout_.Length() : TCustomEdit::GetMaxLength();
}

void TCustomMaskEdit::SetMaxLength(Integer Value) {
  plainMaxLength_ = std::max<Integer>(0, Value);
  TCustomEdit::SetMaxLength(Value);
  if (IsMasked() && HandleAllocated()) {
    ::SendMessage(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(layout_.Length()), 0);
  }
}

void TCustomMaskEdit::CreateWnd() {
  TCustomEdit::CreateWnd();
  if (IsMasked()) ::SendMessage(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(layout_.Length()), 0);
}

void TCustomMaskEdit::Store(const std::vector<String>& Chars, Integer Caret, bool ByUser) {
  String text;
  for (const String& c : Chars) text += c;
  storing_ = true;
  try {
    if (text != EditText()) SetTextBuf(text.c_str());
  } catch (...) {
    storing_ = false;
    throw;
  }
  storing_ = false;
  if (ByUser) SetModified(true);
  ApplySelection(Caret, 0);
}

bool TCustomMaskEdit::EditCanModify() { return !ReadOnly(); }

void TCustomMaskEdit::Reset() {
  if (!IsMasked()) return;
  Store(SplitChars(savedText_), 0, false);
  SetModified(false);
}

void TCustomMaskEdit::Clear() {
  if (!IsMasked()) {
    TCustomEdit::Clear();
    return;
  }
  Store(SplitChars(layout_.Format(String(), false)), 0, false);
}

void TCustomMaskEdit::SetSelText(const String& Value) {
  if (!IsMasked()) {
    TCustomEdit::SetSelText(Value);
    return;
  }
  BlankSelection(false);
  for (const String& c : SplitChars(Value)) {
    if (!TypeChar(c)) break;
  }
}

// ---- Editing with a mask ----

bool TCustomMaskEdit::TypeChar(const String& Char) {
  std::vector<String> chars = Shown();
  Integer start = GetSelStart(), length = GetSelLength();
  if (length > 0) {
    for (Integer i = start; i < start + length && i < layout_.Length(); ++i) {
      if (!layout_.Positions()[static_cast<size_t>(i)].Literal) chars[static_cast<size_t>(i)] = layout_.Blank();
    }
  }
  // A literal typed where it stands just steps over it.
  if (start < layout_.Length() && layout_.Positions()[static_cast<size_t>(start)].Literal &&
      layout_.Positions()[static_cast<size_t>(start)].Char == Char) {
    Store(chars, start + 1, length > 0);
    return true;
  }
  Integer at = layout_.NextInput(start);
  String taken = at < 0 ? String() : layout_.Accept(at, Char);
  if (taken.empty()) {
    if (length > 0) Store(chars, start, true);
    ::MessageBeep(0);
    return false;
  }
  chars[static_cast<size_t>(at)] = taken == " " ? layout_.Blank() : taken;
  Integer next = layout_.NextInput(at + 1);
  Store(chars, next < 0 ? at + 1 : next, true);
  return true;
}

void TCustomMaskEdit::BlankSelection(bool Backward) {
  std::vector<String> chars = Shown();
  Integer start = GetSelStart(), length = GetSelLength();
  if (length == 0) {
    Integer at = Backward ? layout_.PriorInput(start) : layout_.NextInput(start);
    if (at < 0) return;
    chars[static_cast<size_t>(at)] = layout_.Blank();
    Store(chars, Backward ? at : start, true);
    return;
  }
  for (Integer i = start; i < start + length && i < layout_.Length(); ++i) {
    if (!layout_.Positions()[static_cast<size_t>(i)].Literal) chars[static_cast<size_t>(i)] = layout_.Blank();
  }
  Store(chars, start, true);
}

void TCustomMaskEdit::PasteText() {
  if (!HandleAllocated() || !::IsClipboardFormatAvailable(CF_TEXT) || !::OpenClipboard(Handle())) return;
  String clip;
  if (HANDLE data = ::GetClipboardData(CF_TEXT)) {
    if (const char* p = static_cast<const char*>(::GlobalLock(data))) {
      clip = p;
      ::GlobalUnlock(data);
    }
  }
  ::CloseClipboard();
  SetSelText(clip);
}

void TCustomMaskEdit::KeyDown(Word& Key, TShiftState Shift) {
  TCustomEdit::KeyDown(Key, Shift);
  if (!IsMasked() || Key == 0) return;
  if (Key == VK_ESCAPE && Shift.Empty() && Modified()) {
    Reset();
    Key = 0;
  } else if (Key == VK_DELETE && Shift.Empty()) {
    if (EditCanModify()) {
      BlankSelection(false);
    } else {
      ::MessageBeep(0);
    }
    Key = 0;
  }
}

void TCustomMaskEdit::WMChar(TWMKey& Message) {
  if (!IsMasked()) {
    TCustomEdit::WMChar(Message);
    return;
  }
  if (DoKeyPress(Message)) return;
  char32_t cp;
  if (!k58::rtl::JoinTypedUnit(pendingHigh_, Message.CharCode(), cp)) return;
  switch (cp) {
    case 3:   // Ctrl+C
    case 22:  // Ctrl+V
    case 24:  // Ctrl+X
      DefaultHandler(Message);  // the window turns them into the clipboard messages
      return;
    case 8:
      if (EditCanModify()) {
        BlankSelection(true);
      } else {
        ::MessageBeep(0);
      }
      return;
    default: break;
  }
  if (cp < 32) return;  // Enter, Esc, Tab and other control characters change nothing
  if (!EditCanModify()) {
    ::MessageBeep(0);
    return;
  }
  TypeChar(CodePointToUtf8(static_cast<uint32_t>(cp)));
}

void TCustomMaskEdit::Dispatch(TMessage& Message) {
  if (IsMasked()) {
    switch (Message.Msg) {
      case WM_SETTEXT:
        // Text set in code is formatted into the mask.
        if (!storing_) {
          const char* value = reinterpret_cast<const char*>(Message.LParam);
          String shown = layout_.Format(value != nullptr ? String(value) : String(), layout_.SaveLiterals());
          Message.LParam = reinterpret_cast<LPARAM>(shown.c_str());
          TCustomEdit::Dispatch(Message);
          savedText_ = shown;
          return;
        }
        break;
      case WM_CUT:
        if (EditCanModify()) {
          TMessage copy{WM_COPY, 0, 0, 0};
          DefaultHandler(copy);
          BlankSelection(false);
        }
        return;
      case WM_CLEAR:
        if (EditCanModify()) BlankSelection(false);
        return;
      case WM_PASTE:
        if (EditCanModify()) PasteText();
        return;
      default: break;
    }
  }
  TCustomEdit::Dispatch(Message);
}

void TCustomMaskEdit::CMEnter(TMessage& Message) {
  if (IsMasked()) savedText_ = EditText();
  TCustomEdit::CMEnter(Message);
}

void TCustomMaskEdit::CMExit(TMessage& Message) {
  if (IsMasked() && Modified() && !ComponentState().Contains(csDesigning)) {
    ValidateEdit();
  }
  TCustomEdit::CMExit(Message);
}

void TCustomMaskEdit::ValidateEdit() {
  if (!IsMasked()) return;
  Integer bad = layout_.FirstInvalid(EditText());
  if (bad < 0) return;
  if (HandleAllocated() && CanFocus() && !Focused()) SetFocus();
  ApplySelection(bad, 0);
  ValidateError();
}

void TCustomMaskEdit::ValidateError() {
  ::MessageBeep(0);
  throw EDBEditError(maskconsts::SMaskEditErr);
}

// ---- Type information ----

K58_IMPLEMENT_CLASS(TCustomMaskEdit) {}

K58_IMPLEMENT_CLASS(TMaskEdit) {
  PublishControl(b, {"Anchors", "Constraints", "Ctl3D", "DragCursor", "DragKind", "DragMode", "Enabled", "Font",
                     "ParentCtl3D", "ParentFont", "ParentShowHint", "PopupMenu", "ShowHint", "TabOrder",
                     "Visible", "OnClick", "OnContextPopup", "OnDblClick"});
  k58::forms::PublishEditProperties(b);
  b.Prop("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect).Default(true);
  b.Prop("AutoSize", &TControl::AutoSize, &TCustomEdit::SetAutoSize).Default(true);
  b.Prop("CharCase", &TCustomEdit::CharCase, &TCustomEdit::SetCharCase).Default(ecNormal);
  b.Prop("EditMask", &TCustomMaskEdit::EditMask, &TCustomMaskEdit::SetEditMask);
  b.Prop("PasswordChar", &TCustomEdit::PasswordChar, &TCustomEdit::SetPasswordChar).Default('\0');
  PublishControl(b, {"Text"});
  k58::forms::PublishWindowedEvents(b);
  b.Prop("OnChange", &TCustomEdit::OnChange, &TCustomEdit::SetOnChange);
}
