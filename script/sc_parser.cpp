// The script engine's lexical scanner.
#include "script/sc_parser.h"

#include <algorithm>
#include <cstdio>

#include "platform/classes/ClassBuilder.h"
#include "platform/rtl/CodePages.h"

K58_IMPLEMENT_CLASS(TscParser) {}

namespace {

bool IsDigit(char C) { return C >= '0' && C <= '9'; }
bool IsHexDigit(char C) { return IsDigit(C) || (C >= 'A' && C <= 'F') || (C >= 'a' && C <= 'f'); }
bool IsLineEnd(char C) { return C == '\n' || C == '\r'; }
char AsciiLower(char C) { return C >= 'A' && C <= 'Z' ? static_cast<char>(C - 'A' + 'a') : C; }

// Lower case as the list's comparison ignores case: ASCII words the quick way.
String FoldCase(const String& S) {
  for (char c : S) {
    if (static_cast<Byte>(c) >= 0x80) return AnsiLowerCase(S);
  }
  String result(S);
  for (char& c : result) c = AsciiLower(c);
  return result;
}

bool IsPunct(char C) {
  return (C >= '!' && C <= '/') || (C >= ':' && C <= '@') || (C >= '[' && C <= '`') || (C >= '{' && C <= '~');
}

// "open,close" split as comma text.
void SplitDelimiters(const String& Value, String& Open, String& Close) {
  TStringList parts;
  parts.SetCommaText(Value);
  Open = parts.Count() > 0 ? parts.Get(0) : String();
  Close = parts.Count() > 1 ? parts.Get(1) : String();
}

}  // namespace

TscParser::TscParser() : keywords_(std::make_unique<TStringList>()) {
  keywords_->SetSorted(true);
  keywords_->SetDuplicates(dupIgnore);
  keywords_->SetOnChange([this](TObject*) { keywordsChanged_ = true; });
  ResetSettings();
}

TscParser::~TscParser() = default;

void TscParser::ResetSettings() {
  keywords_->Clear();
  SetCommentLine1("//");
  SetBlockComment1("{,}");
  SetBlockComment2("(*,*)");
  SetHexSequence("$");
  SetWordChars("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ_abcdefghijklmnopqrstuvwxyz");
  SetSkipChar("");
  SetSkipEOL(true);
  SetStringQuotes("'");
  skipSpaces_ = true;
}

void TscParser::LoadText(const String& Text) {
  text_ = Text;
  size_ = static_cast<Integer>(text_.size());
  position_ = tokenStart_ = 1;
  lineStarts_.assign(1, 0);
  for (Integer i = 0; i < size_; ++i) {
    if (text_[static_cast<size_t>(i)] == '\n') lineStarts_.push_back(i + 1);
  }
  SettingsChanged();
}

void TscParser::SetCursor(Integer Value) { position_ = tokenStart_ = std::clamp(Value, 1, size_ + 1); }

void TscParser::SetCommentLine1(const String& Value) {
  commentLine1_ = Value;
  SettingsChanged();
}

void TscParser::SetCommentLine2(const String& Value) {
  commentLine2_ = Value;
  SettingsChanged();
}

void TscParser::SetBlockComment1(const String& Value) {
  blockComment1_ = Value;
  SplitDelimiters(Value, blockOpen1_, blockClose1_);
  SettingsChanged();
}

void TscParser::SetBlockComment2(const String& Value) {
  blockComment2_ = Value;
  SplitDelimiters(Value, blockOpen2_, blockClose2_);
  SettingsChanged();
}

void TscParser::SetHexSequence(const String& Value) { hexSequence_ = Value; }

void TscParser::SetSkipChar(const String& Value) {
  skipChar_ = Value;
  SettingsChanged();
}

void TscParser::SetSkipEOL(bool Value) {
  skipEOL_ = Value;
  SettingsChanged();
}

void TscParser::SetStringQuotes(const String& Value) { stringQuotes_ = Value; }

void TscParser::SetCaseSensitive(bool Value) {
  caseSensitive_ = Value;
  SettingsChanged();
}

void TscParser::SetWordChars(const String& Chars) {
  wordChars_.reset();
  for (char c : Chars) wordChars_.set(static_cast<Byte>(c));
  SettingsChanged();
}

void TscParser::AddWordChars(Byte First, Byte Last) {
  for (Integer c = First; c <= Last; ++c) wordChars_.set(static_cast<size_t>(c));
  SettingsChanged();
}

bool TscParser::StartsWith(Integer Position, const String& S) const {
  return !S.empty() && static_cast<size_t>(size_ - Position + 1) >= S.size() &&
         text_.compare(static_cast<size_t>(Position - 1), S.size(), S) == 0;
}

bool TscParser::AtLineComment(const String& Opener) const {
  if (Opener.empty()) return false;
  if (!IsWordChar(Opener.back())) return StartsWith(position_, Opener);
  // A word opener: the whole word only, in the language's case.
  const size_t n = Opener.size();
  if (static_cast<size_t>(size_ - position_ + 1) < n) return false;
  for (size_t i = 0; i < n; ++i) {
    const char c = At(position_ + static_cast<Integer>(i));
    if (caseSensitive_ ? c != Opener[i] : AsciiLower(c) != AsciiLower(Opener[i])) return false;
  }
  const Integer after = position_ + static_cast<Integer>(n);
  return after > size_ || !IsWordChar(At(after));
}

void TscParser::SkipBlanks() {
  if (skipFrom_ == position_) {
    position_ = tokenStart_ = skipTo_;
    return;
  }
  const Integer from = position_;
  // Continuation characters seen whose line end is still to be taken.
  Integer continuations = 0;
  for (;;) {
    while (position_ <= size_) {
      const auto c = static_cast<Byte>(At(position_));
      if (c > ' ' || (c == '\r' && !skipEOL_)) break;
      ++position_;
    }
    if (position_ > size_) break;
    const char c = At(position_);
    if (!skipChar_.empty() && c == skipChar_[0]) {
      ++position_;
      ++continuations;
      continue;
    }
    if (position_ < size_ && (AtLineComment(commentLine1_) || AtLineComment(commentLine2_))) {
      // The comment ends before the line end, so a statement before it still finds its line end.
      while (position_ <= size_ && !IsLineEnd(At(position_))) ++position_;
      continue;
    }
    const bool block1 = StartsWith(position_, blockOpen1_);
    if (block1 || StartsWith(position_, blockOpen2_)) {
      const String& close = block1 ? blockClose1_ : blockClose2_;
      position_ += static_cast<Integer>((block1 ? blockOpen1_ : blockOpen2_).size());
      while (position_ <= size_ && !StartsWith(position_, close)) {
        if (close.empty()) break;
        ++position_;
      }
      position_ = std::min(position_ + static_cast<Integer>(close.size()), size_ + 1);
      continue;
    }
    if (continuations > 0 && IsLineEnd(c)) {
      while (position_ <= size_ && IsLineEnd(At(position_))) ++position_;
      --continuations;
      continue;
    }
    break;
  }
  tokenStart_ = position_;
  skipFrom_ = from;
  skipTo_ = position_;
}

bool TscParser::ReadLineEnd() {
  SkipBlanks();
  if (position_ > size_ || !IsLineEnd(At(position_))) return false;
  while (position_ <= size_ && IsLineEnd(At(position_))) ++position_;
  return true;
}

String TscParser::ReadPunct() {
  if (position_ > size_ || !IsPunct(At(position_))) return String();
  return String(1, At(position_++));
}

String TscParser::ReadWord() {
  SkipBlanks();
  if (position_ > size_) return String();
  const char first = At(position_);
  if (!IsWordChar(first) || IsDigit(first)) return String();
  while (position_ <= size_ && IsWordChar(At(position_))) ++position_;
  return text_.substr(static_cast<size_t>(tokenStart_ - 1), static_cast<size_t>(position_ - tokenStart_));
}

String TscParser::ReadIdentifier() {
  String word = ReadWord();
  if (!word.empty() && IsReserved(word)) return String();
  return word;
}

bool TscParser::IsReserved(const String& Word) const {
  // The keyword list is looked up through a set rebuilt after the list changed.
  if (keywordsChanged_) {
    exactKeywords_.clear();
    foldedKeywords_.clear();
    for (Integer i = 0; i < keywords_->Count(); ++i) {
      exactKeywords_.insert(keywords_->Get(i));
      foldedKeywords_.insert(FoldCase(keywords_->Get(i)));
    }
    keywordsChanged_ = false;
  }
  return caseSensitive_ ? exactKeywords_.count(Word) > 0 : foldedKeywords_.count(FoldCase(Word)) > 0;
}

bool TscParser::ReadIntegerPart(bool& Hex) {
  Hex = StartsWith(position_, hexSequence_);
  const Integer start = position_;
  if (Hex) position_ += static_cast<Integer>(hexSequence_.size());
  const Integer digits = position_;
  while (position_ <= size_ && (Hex ? IsHexDigit(At(position_)) : IsDigit(At(position_)))) ++position_;
  if (position_ > digits) return true;
  position_ = start;
  return false;
}

String TscParser::ReadNumber() {
  SkipBlanks();
  const Integer start = position_;
  bool hex;
  if (!ReadIntegerPart(hex)) return String();
  (void)hex;
  // The real form: a "." must bring digits, else the number is the integer part alone.
  bool real = true;
  if (position_ <= size_ && At(position_) == '.') {
    if (position_ + 1 <= size_ && IsDigit(At(position_ + 1))) {
      position_ += 2;
      while (position_ <= size_ && IsDigit(At(position_))) ++position_;
    } else {
      real = false;
    }
  }
  if (real && position_ <= size_ && (At(position_) == 'E' || At(position_) == 'e')) {
    const Integer mark = position_;
    ++position_;
    if (position_ <= size_ && (At(position_) == '+' || At(position_) == '-')) ++position_;
    const Integer digits = position_;
    while (position_ <= size_ && IsDigit(At(position_))) ++position_;
    if (position_ == digits) position_ = mark;
  }
  String result = text_.substr(static_cast<size_t>(start - 1), static_cast<size_t>(position_ - start));
  if (hexSequence_ != "$" && !hexSequence_.empty()) result = StringReplace(result, hexSequence_, "$", rfReplaceAll);
  return result;
}

bool TscParser::ReadQuotedPart(String& Content) {
  if (stringQuotes_.empty() || position_ > size_ || At(position_) != stringQuotes_[0]) return false;
  const char quote = stringQuotes_[0];
  const bool escapes = quote == '"';
  const Integer start = position_;
  String part;
  ++position_;
  auto stops = [this](Integer Position) {
    if (Position > size_) return true;
    const auto c = static_cast<Byte>(At(Position));
    return c < ' ' && c != '\t';
  };
  while (!stops(position_)) {
    const char c = At(position_);
    if (escapes && c == '\\') {
      if (stops(position_ + 1)) break;
      const char e = At(position_ + 1);
      position_ += 2;
      switch (AsciiLower(e)) {
        case 'n':
          part += '\n';
          break;
        case 'r':
          part += '\r';
          break;
        case 'x': {
          const Integer digits = position_;
          while (position_ <= size_ && IsHexDigit(At(position_))) ++position_;
          if (position_ > digits) {
            String hex = "$";
            hex.append(text_, static_cast<size_t>(digits - 1), static_cast<size_t>(position_ - digits));
            part += CodePointToUtf8(static_cast<uint32_t>(StrToInt(hex)) & 0xFF);
          }
          break;
        }
        default:
          part += e;
      }
      continue;
    }
    ++position_;
    if (c == quote) {
      if (!escapes && position_ <= size_ && At(position_) == quote) {
        part += quote;
        ++position_;
        continue;
      }
      Content += part;
      return true;
    }
    part += c;
  }
  position_ = start;
  return false;
}

bool TscParser::ReadCharCode(String& Content) {
  if (position_ > size_ || At(position_) != '#') return false;
  const Integer start = position_;
  ++position_;
  bool hex;
  const Integer digits = position_;
  if (!ReadIntegerPart(hex)) {
    position_ = start;
    return false;
  }
  String number;
  size_t from = static_cast<size_t>(digits - 1);
  if (hex) {
    number = "$";
    from += hexSequence_.size();
  }
  number.append(text_, from, static_cast<size_t>(position_ - 1) - from);
  Content += CodePointToUtf8(static_cast<uint32_t>(StrToInt(number)));
  return true;
}

String TscParser::ReadStringConst() {
  SkipBlanks();
  String content;
  bool any = false;
  while (ReadQuotedPart(content) || ReadCharCode(content)) any = true;
  return any ? "'" + content + "'" : String();
}

String TscParser::ReadBracketedText() {
  const Integer start = position_;
  Integer depth = 1;
  bool inDouble = false, inSingle = false;
  while (position_ <= size_) {
    const char c = At(position_);
    if (c == '"' && !inSingle) {
      inDouble = !inDouble;
    } else if (c == '\'' && !inDouble) {
      inSingle = !inSingle;
    } else if (!inDouble && !inSingle) {
      if (c == '<' || c == '[') {
        ++depth;
      } else if ((c == '>' || c == ']') && --depth == 0) {
        break;
      }
    }
    ++position_;
  }
  return text_.substr(static_cast<size_t>(start - 1), static_cast<size_t>(position_ - start));
}

String TscParser::LineColText(Integer Position) const {
  // Line starts hold 0 and every line feed; those before Position give the line.
  const auto line = std::lower_bound(lineStarts_.begin(), lineStarts_.end(), Position) - lineStarts_.begin();
  const Integer column = Position - lineStarts_[static_cast<size_t>(line - 1)];
  char text[32];
  const int length = std::snprintf(text, sizeof text, "%d:%d", static_cast<Integer>(line), column);
  return String(text, static_cast<size_t>(length));
}

Integer TscParser::LineColToPosition(Integer Column, Integer Line) const {
  if (Line < 1 || Line > static_cast<Integer>(lineStarts_.size())) return -1;
  return lineStarts_[static_cast<size_t>(Line - 1)] + Column;
}
