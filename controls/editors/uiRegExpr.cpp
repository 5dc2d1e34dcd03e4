// The regular-expression engine: character tests, states, the parse tree, the lexer and parser of mask
// patterns, the automaton and the engine that compiles and runs them.
#include "controls/editors/uiRegExpr.h"

#include <algorithm>
#include <limits>

#include "controls/foundation/uiClasses.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/rtl/CodePages.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Numbers.h"
#include "platform/rtl/Strings.h"

using namespace uiregexprconsts;

namespace k58::editors {
namespace {

// The code point of the character at p (its length in ALength); U+FFFD for a byte that is not valid UTF-8.
char32_t DecodeChar(const char* p, const char* end, Integer& ALength) {
  const auto b = static_cast<unsigned char>(p[0]);
  if (b < 0x80) {
    ALength = 1;
    return b;
  }
  ALength = StrCharLength(p, end);
  const auto b1 = static_cast<unsigned char>(ALength > 1 ? p[1] : 0) & 0x3Fu;
  switch (ALength) {
    case 2:
      return static_cast<char32_t>(((b & 0x1Fu) << 6) | b1);
    case 3:
      return static_cast<char32_t>(((b & 0x0Fu) << 12) | (b1 << 6) | (static_cast<unsigned char>(p[2]) & 0x3Fu));
    case 4:
      return static_cast<char32_t>(((b & 0x07u) << 18) | (b1 << 12) | ((static_cast<unsigned char>(p[2]) & 0x3Fu) << 6) |
                                   (static_cast<unsigned char>(p[3]) & 0x3Fu));
    default:
      return 0xFFFD;
  }
}

// Limits that keep a pattern's automaton and the recursion over its parse tree bounded.
constexpr Integer kMaxItems = 20000;
constexpr Integer kMaxDepth = 1000;
constexpr size_t kMaxLinks = size_t{1} << 20;
// Entries of next closures kept for reuse; beyond it closures are computed again each time.
constexpr size_t kClosureBudget = size_t{1} << 20;
// Position storage above this many entries is given back by Restart.
constexpr size_t kKeptPositions = size_t{1} << 16;
// States a run of forced literals may hold in its positions, all together; auto-completion stops there.
constexpr size_t kForcedRunBudget = size_t{1} << 14;
// What a simple state's test is when it is not one literal character.
constexpr int64_t kNoLiteral = -1;
constexpr int64_t kDateSeparatorLiteral = -2;
constexpr int64_t kTimeSeparatorLiteral = -3;

String CharText(char32_t ACh) { return CodePointToUtf8(static_cast<uint32_t>(ACh)); }

// The locale's upper case of one character.
char32_t UpperChar(char32_t ACh) {
  if (ACh < 0x80) return (ACh >= 'a' && ACh <= 'z') ? ACh - 32 : ACh;
  const String upper = AnsiUpperCase(CharText(ACh));
  Integer length = 0;
  const char32_t result = upper.empty() ? ACh : DecodeChar(upper.data(), upper.data() + upper.size(), length);
  return length == static_cast<Integer>(upper.size()) ? result : ACh;
}

// White space between the elements of a pattern.
bool IsPatternSpace(char32_t ACh) {
  return ACh == ' ' || ACh == 0 || ACh == 9 || ACh == 10 || ACh == 12 || ACh == 13;
}

char32_t SeparatorChar(char ASeparator) { return static_cast<unsigned char>(ASeparator); }

String Message(const char* AText) { return LocalizeText(AText); }
String Message(const char* AText, const String& AArgument) { return Format(LocalizeText(AText), {AArgument}); }

}  // namespace
}  // namespace k58::editors

using k58::editors::CharText;
using k58::editors::DecodeChar;

// ---- Character tests ----------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiRegExprItem) {}
K58_IMPLEMENT_CLASS(TuiRegExprSymbol) {}
K58_IMPLEMENT_CLASS(TuiRegExprTimeSeparator) {}
K58_IMPLEMENT_CLASS(TuiRegExprDateSeparator) {}
K58_IMPLEMENT_CLASS(TuiRegExprSubrange) {}
K58_IMPLEMENT_CLASS(TuiRegExprEnumeration) {}
K58_IMPLEMENT_CLASS(TuiRegExprUserEnumeration) {}
K58_IMPLEMENT_CLASS(TuiRegExprDigit) {}
K58_IMPLEMENT_CLASS(TuiRegExprIdLetter) {}
K58_IMPLEMENT_CLASS(TuiRegExprSpace) {}
K58_IMPLEMENT_CLASS(TuiRegExprAll) {}

bool TuiRegExprSymbol::Matches(char32_t& ACh, bool ACaseInsensitive) const {
  if (ACh == ch_) return true;
  if (!ACaseInsensitive || k58::editors::UpperChar(ACh) != k58::editors::UpperChar(ch_)) return false;
  ACh = ch_;
  return true;
}

TObjectPtr<TuiRegExprItem> TuiRegExprSymbol::Copy() const { return TObjectPtr<TuiRegExprItem>(new TuiRegExprSymbol(ch_)); }

bool TuiRegExprTimeSeparator::Matches(char32_t& ACh, bool) const {
  return ACh == k58::editors::SeparatorChar(FormatSettings.TimeSeparator);
}

TObjectPtr<TuiRegExprItem> TuiRegExprTimeSeparator::Copy() const {
  return TObjectPtr<TuiRegExprItem>(new TuiRegExprTimeSeparator);
}

bool TuiRegExprDateSeparator::Matches(char32_t& ACh, bool) const {
  return ACh == k58::editors::SeparatorChar(FormatSettings.DateSeparator);
}

TObjectPtr<TuiRegExprItem> TuiRegExprDateSeparator::Copy() const {
  return TObjectPtr<TuiRegExprItem>(new TuiRegExprDateSeparator);
}

bool TuiRegExprSubrange::Matches(char32_t& ACh, bool) const { return first_ <= ACh && ACh <= last_; }

TObjectPtr<TuiRegExprItem> TuiRegExprSubrange::Copy() const {
  return TObjectPtr<TuiRegExprItem>(new TuiRegExprSubrange(first_, last_));
}

bool TuiRegExprEnumeration::Matches(char32_t& ACh, bool ACaseInsensitive) const {
  char32_t ch = ACh;
  const bool holds = Holds(ch, ACaseInsensitive);
  if (inverse_) return !holds;
  if (holds) ACh = ch;
  return holds;
}

bool TuiRegExprUserEnumeration::Holds(char32_t& ACh, bool ACaseInsensitive) const {
  for (const auto& item : items_)
    if (item->Matches(ACh, ACaseInsensitive)) return true;
  return false;
}

TObjectPtr<TuiRegExprItem> TuiRegExprUserEnumeration::Copy() const {
  auto* copy = new TuiRegExprUserEnumeration;
  copy->SetInverse(Inverse());
  for (const auto& item : items_) copy->Add(item->Copy());
  return TObjectPtr<TuiRegExprItem>(copy);
}

bool TuiRegExprDigit::Holds(char32_t& ACh, bool) const { return ACh >= '0' && ACh <= '9'; }

TObjectPtr<TuiRegExprItem> TuiRegExprDigit::Copy() const {
  auto* copy = new TuiRegExprDigit;
  copy->SetInverse(Inverse());
  return TObjectPtr<TuiRegExprItem>(copy);
}

bool TuiRegExprIdLetter::Holds(char32_t& ACh, bool) const {
  return (ACh >= 'a' && ACh <= 'z') || (ACh >= 'A' && ACh <= 'Z') || (ACh >= '0' && ACh <= '9') || ACh == '_';
}

TObjectPtr<TuiRegExprItem> TuiRegExprIdLetter::Copy() const {
  auto* copy = new TuiRegExprIdLetter;
  copy->SetInverse(Inverse());
  return TObjectPtr<TuiRegExprItem>(copy);
}

bool TuiRegExprSpace::Holds(char32_t& ACh, bool) const { return k58::editors::IsPatternSpace(ACh); }

TObjectPtr<TuiRegExprItem> TuiRegExprSpace::Copy() const {
  auto* copy = new TuiRegExprSpace;
  copy->SetInverse(Inverse());
  return TObjectPtr<TuiRegExprItem>(copy);
}

bool TuiRegExprAll::Matches(char32_t&, bool) const { return true; }

TObjectPtr<TuiRegExprItem> TuiRegExprAll::Copy() const { return TObjectPtr<TuiRegExprItem>(new TuiRegExprAll); }

// ---- States -------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiRegExprState) {}
K58_IMPLEMENT_CLASS(TuiRegExprSimpleState) {}
K58_IMPLEMENT_CLASS(TuiRegExprBlockState) {}

TObjectPtr<TuiRegExprState> TuiRegExprSimpleState::Copy() const {
  return TObjectPtr<TuiRegExprState>(new TuiRegExprSimpleState(test_ ? test_->Copy() : nullptr));
}

TObjectPtr<TuiRegExprState> TuiRegExprBlockState::Copy() const {
  return TObjectPtr<TuiRegExprState>(new TuiRegExprBlockState);
}

// ---- Quantifiers --------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiRegExprQuantifier) {}
K58_IMPLEMENT_CLASS(TuiRegExprSimpleQuantifier) {}
K58_IMPLEMENT_CLASS(TuiRegExprQuestionQuantifier) {}
K58_IMPLEMENT_CLASS(TuiRegExprStarQuantifier) {}
K58_IMPLEMENT_CLASS(TuiRegExprPlusQuantifier) {}

TObjectPtr<TuiRegExprQuantifier> TuiRegExprSimpleQuantifier::Copy() const {
  return TObjectPtr<TuiRegExprQuantifier>(new TuiRegExprSimpleQuantifier);
}

TObjectPtr<TuiRegExprQuantifier> TuiRegExprQuestionQuantifier::Copy() const {
  return TObjectPtr<TuiRegExprQuantifier>(new TuiRegExprQuestionQuantifier);
}

TObjectPtr<TuiRegExprQuantifier> TuiRegExprStarQuantifier::Copy() const {
  return TObjectPtr<TuiRegExprQuantifier>(new TuiRegExprStarQuantifier);
}

TObjectPtr<TuiRegExprQuantifier> TuiRegExprPlusQuantifier::Copy() const {
  return TObjectPtr<TuiRegExprQuantifier>(new TuiRegExprPlusQuantifier);
}

// ---- Parse tree ---------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiRegExprParserItem) {}
K58_IMPLEMENT_CLASS(TuiRegExprParserSimpleItem) {}
K58_IMPLEMENT_CLASS(TuiRegExprParserAlt) {}
K58_IMPLEMENT_CLASS(TuiRegExprParserAlts) {}
K58_IMPLEMENT_CLASS(TuiRegExprParserBlockItem) {}

namespace {
const char* const kLineBreak = "\r\n";
}  // namespace

TuiRegExprParserItem::TuiRegExprParserItem() : quantifier_(new TuiRegExprSimpleQuantifier) {}

bool TuiRegExprParserItem::HasNoQuantifier() const {
  return dynamic_cast<const TuiRegExprSimpleQuantifier*>(quantifier_.get()) != nullptr;
}

void TuiRegExprParserItem::ReplaceQuantifier(TObjectPtr<TuiRegExprQuantifier> AQuantifier) {
  if (AQuantifier) quantifier_ = std::move(AQuantifier);
}

TuiRegExprParserSimpleItem::TuiRegExprParserSimpleItem(TObjectPtr<TuiRegExprItem> ATest)
    : state_(new TuiRegExprSimpleState(std::move(ATest))) {}

TObjectPtr<TuiRegExprParserItem> TuiRegExprParserSimpleItem::Copy() const {
  auto* copy = new TuiRegExprParserSimpleItem(nullptr);
  copy->state_.reset(static_cast<TuiRegExprSimpleState*>(state_->Copy().release()));
  copy->ReplaceQuantifier(Quantifier()->Copy());
  return TObjectPtr<TuiRegExprParserItem>(copy);
}

String TuiRegExprParserSimpleItem::Describe() const { return "item --> " + Quantifier()->Describe() + kLineBreak; }

bool TuiRegExprParserAlt::AllOptional() const {
  return std::all_of(items_.begin(), items_.end(), [](const auto& item) { return item->AllowsAbsence(); });
}

bool TuiRegExprParserAlt::MayBeEmpty() const {
  return std::all_of(items_.begin(), items_.end(), [](const auto& item) { return item->MayBeEmpty(); });
}

TObjectPtr<TuiRegExprParserAlt> TuiRegExprParserAlt::Copy() const {
  TObjectPtr<TuiRegExprParserAlt> copy(new TuiRegExprParserAlt);
  for (const auto& item : items_) copy->items_.push_back(item->Copy());
  return copy;
}

String TuiRegExprParserAlt::Describe() const {
  String text = String("<Start_Alt>") + kLineBreak;
  for (const auto& item : items_) text += item->Describe();
  return text + "<Finish_Alt>" + kLineBreak;
}

void TuiRegExprParserAlt::MarkFinal() {
  for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
    (*it)->MarkFinal();
    if (!(*it)->AllowsAbsence()) break;
  }
}

bool TuiRegExprParserAlts::MayBeEmpty() const {
  return std::any_of(alts_.begin(), alts_.end(), [](const auto& alt) { return alt->MayBeEmpty(); });
}

TObjectPtr<TuiRegExprParserAlts> TuiRegExprParserAlts::Copy() const {
  TObjectPtr<TuiRegExprParserAlts> copy(new TuiRegExprParserAlts);
  for (const auto& alt : alts_) copy->alts_.push_back(alt->Copy());
  return copy;
}

String TuiRegExprParserAlts::Describe() const {
  String text;
  for (const auto& alt : alts_) text += alt->Describe();
  return text;
}

void TuiRegExprParserAlts::MarkFinal() {
  for (const auto& alt : alts_) alt->MarkFinal();
}

TuiRegExprParserBlockItem::TuiRegExprParserBlockItem()
    : entry_(new TuiRegExprBlockState), exit_(new TuiRegExprBlockState), alts_(new TuiRegExprParserAlts) {}

TObjectPtr<TuiRegExprParserItem> TuiRegExprParserBlockItem::Copy() const {
  auto* copy = new TuiRegExprParserBlockItem;
  copy->alts_ = alts_->Copy();
  copy->ReplaceQuantifier(Quantifier()->Copy());
  return TObjectPtr<TuiRegExprParserItem>(copy);
}

String TuiRegExprParserBlockItem::Describe() const {
  return String("<Start_Block>") + kLineBreak + alts_->Describe() + "<Finish_Block> --> " + Quantifier()->Describe() +
         kLineBreak;
}

// ---- Errors -------------------------------------------------------------------------------------------

String TuiRegExprError::Text() const {
  if (Line <= 0) return Message;
  String text = LocalizeText(SRegExprLine) + IntToStr(Line);
  if (CharPos > 0) text += ", " + LocalizeText(SRegExprChar) + IntToStr(CharPos);
  return text + ": " + Message;
}

void TuiRegExprErrors::Add(Integer ALine, Integer ACharPos, const String& AMessage) {
  // The same error twice in a row (one place found empty from both sides) is listed once.
  if (!items_.empty() && items_.back().Line == ALine && items_.back().CharPos == ACharPos &&
      items_.back().Message == AMessage)
    return;
  items_.push_back(TuiRegExprError{ALine, ACharPos, AMessage});
}

namespace {
String ErrorsText(const TuiRegExprErrors& AErrors) {
  String text;
  for (Integer i = 0; i < AErrors.Count(); ++i) {
    if (i > 0) text += kLineBreak;
    text += AErrors.Items(i).Text();
  }
  return text;
}
}  // namespace

EuiRegExprError::EuiRegExprError(const TuiRegExprErrors& AErrors) : Exception(ErrorsText(AErrors)), errors_(AErrors) {}

// ---- Lexer and parser ---------------------------------------------------------------------------------

namespace k58::editors {
namespace {

// Splits a pattern into lexems. Lines count at CR and at an LF that no CR precedes; the character position
// starts again after a line break.
class TuiRegExprLexer {
 public:
  TuiRegExprLexer(const String& ASource, TuiLexems& ALexems, TuiRegExprErrors& AErrors)
      : source_(ASource), lexems_(ALexems), errors_(AErrors) {}

  void Run() {
    char32_t ch;
    while (Next(ch)) {
      const Integer line = line_, pos = pos_;
      if (IsPatternSpace(ch)) continue;
      switch (ch) {
        case '(':
          ++opens_;
          Emit(lkOperator, ch, line, pos);
          break;
        case ')':
          ++closes_;
          Emit(lkOperator, ch, line, pos);
          break;
        case '*': case '+': case '?': case '|':
          Emit(lkOperator, ch, line, pos);
          break;
        case '.':
          Emit(lkAll, ch, line, pos);
          break;
        case '/':
          Emit(lkDateSeparator, ch, line, pos);
          break;
        case ':':
          Emit(lkTimeSeparator, ch, line, pos);
          break;
        case '\'':
          Quote();
          break;
        case '\\':
          Escape(line, pos);
          break;
        case '[':
          Set(line, pos);
          break;
        case '{':
          Count(line, pos);
          break;
        default:
          Emit(lkSymbol, ch, line, pos);
      }
    }
    if (opens_ > closes_) errors_.Add(0, 0, Message(SRegExprMissing, ")"));
    if (closes_ > opens_) errors_.Add(0, 0, Message(SRegExprUnnecessary, ")"));
  }

 private:
  bool Peek(char32_t& ACh) const {
    if (at_ >= source_.size()) return false;
    Integer length;
    ACh = DecodeChar(source_.data() + at_, source_.data() + source_.size(), length);
    return true;
  }

  bool Next(char32_t& ACh) {
    if (at_ >= source_.size()) return false;
    Integer length;
    ACh = DecodeChar(source_.data() + at_, source_.data() + source_.size(), length);
    at_ += static_cast<size_t>(length);
    if (ACh == '\n') {
      if (!afterCR_) ++line_;
      pos_ = 0;
    } else {
      if (ACh == '\r') ++line_;
      ++pos_;
    }
    afterCR_ = ACh == '\r';
    return true;
  }

  void SkipSpace() {
    char32_t ch;
    while (Peek(ch) && IsPatternSpace(ch)) Next(ch);
  }

  void Emit(Integer AKind, char32_t ACh, Integer ALine, Integer APos) {
    lexems_.push_back(TuiLexem{APos, AKind, ALine, CharText(ACh)});
  }

  // Up to the closing quote; two quotes in a row stand for one.
  void Quote() {
    char32_t ch;
    while (true) {
      if (!Next(ch)) {
        errors_.Add(line_, pos_ + 1, Message(SRegExprMissing, " ' "));
        return;
      }
      const Integer line = line_, pos = pos_;
      if (ch == '\'') {
        char32_t next;
        if (!Peek(next) || next != '\'') return;
        Next(next);
      }
      Emit(lkSymbol, ch, line, pos);
    }
  }

  // After a backslash at ALine, APos; a backslash at the end of the pattern is ignored.
  void Escape(Integer ALine, Integer APos) {
    char32_t ch;
    if (!Next(ch)) return;
    if (IsPatternSpace(ch)) {
      errors_.Add(line_, pos_, Message(SRegExprSpaceAfterBackslash));
      return;
    }
    switch (ch) {
      case '1': case '2': case '3': case '4': case '5': case '6': case '7': case '8': case '9':
        Emit(lkReference, ch, ALine, APos);
        return;
      case 'w': Emit(lkIdLetter, ch, ALine, APos); return;
      case 'W': Emit(lkNotIdLetter, ch, ALine, APos); return;
      case 'd': Emit(lkDigit, ch, ALine, APos); return;
      case 'D': Emit(lkNotDigit, ch, ALine, APos); return;
      case 's': Emit(lkSpace, ch, ALine, APos); return;
      case 'S': Emit(lkNotSpace, ch, ALine, APos); return;
      case 't': Emit(lkSymbol, 9, ALine, APos); return;
      case 'n': Emit(lkSymbol, 10, ALine, APos); return;
      case 'r': Emit(lkSymbol, 13, ALine, APos); return;
      case 'f': Emit(lkSymbol, 12, ALine, APos); return;
      case 'a': Emit(lkSymbol, 7, ALine, APos); return;
      case 'e': Emit(lkSymbol, 27, ALine, APos); return;
      case 'p': Emit(lkSymbol, SeparatorChar(FormatSettings.DecimalSeparator), ALine, APos); return;
      case 'x': {
        char32_t value = 0;
        for (int i = 0; i < 2; ++i) {
          char32_t digit;
          if (!Next(digit)) {
            errors_.Add(line_, pos_ + 1, Message(SRegExprHexNumberExpected));
            return;
          }
          const int v = HexValue(digit);
          if (v < 0) {
            errors_.Add(line_, pos_, Message(SRegExprHexNumberExpectedButFound, CharText(digit)));
            return;
          }
          value = value * 16 + static_cast<char32_t>(v);
        }
        Emit(lkSymbol, value, ALine, APos);
        return;
      }
      default:
        Emit(lkSymbol, ch, ALine, APos);
    }
  }

  static int HexValue(char32_t ACh) {
    if (ACh >= '0' && ACh <= '9') return static_cast<int>(ACh - '0');
    if (ACh >= 'a' && ACh <= 'f') return static_cast<int>(ACh - 'a' + 10);
    if (ACh >= 'A' && ACh <= 'F') return static_cast<int>(ACh - 'A' + 10);
    return -1;
  }

  // After '[': an optional ^, then elements up to ']'. A - makes a range except at the start and before ].
  void Set(Integer ALine, Integer APos) {
    Emit(lkOperator, '[', ALine, APos);
    char32_t ch;
    SkipSpace();
    if (Peek(ch) && ch == '^') {
      Next(ch);
      Emit(lkOperator, ch, line_, pos_);
    }
    bool first = true;
    while (true) {
      SkipSpace();
      if (!Next(ch)) {
        errors_.Add(line_, pos_ + 1, Message(SRegExprMissing, "]"));
        return;
      }
      const Integer line = line_, pos = pos_;
      switch (ch) {
        case ']':
          Emit(lkOperator, ch, line, pos);
          return;
        case '\\':
          Escape(line, pos);
          break;
        case '\'':
          Quote();
          break;
        case '/':
          Emit(lkDateSeparator, ch, line, pos);
          break;
        case ':':
          Emit(lkTimeSeparator, ch, line, pos);
          break;
        case '-': {
          char32_t next;
          SkipSpace();
          const bool literal = first || !Peek(next) || next == ']';
          Emit(literal ? lkSymbol : lkOperator, ch, line, pos);
          break;
        }
        default:
          Emit(lkSymbol, ch, line, pos);
      }
      first = false;
    }
  }

  // After '{': numbers, ',' and '}'.
  void Count(Integer ALine, Integer APos) {
    Emit(lkOperator, '{', ALine, APos);
    char32_t ch;
    while (true) {
      SkipSpace();
      if (!Next(ch)) {
        errors_.Add(line_, pos_ + 1, Message(SRegExprMissing, "}"));
        return;
      }
      const Integer line = line_, pos = pos_;
      if (ch >= '0' && ch <= '9') {
        String digits = CharText(ch);
        char32_t next;
        while (Peek(next) && next >= '0' && next <= '9') {
          Next(next);
          digits += CharText(next);
        }
        lexems_.push_back(TuiLexem{pos, lkInteger, line, digits});
      } else if (ch == ',') {
        Emit(lkOperator, ch, line, pos);
      } else if (ch == '}') {
        Emit(lkOperator, ch, line, pos);
        return;
      } else {
        errors_.Add(line, pos, Message(SRegExprIllegalSymbol, ch == '\'' ? String(" ' ") : CharText(ch)));
      }
    }
  }

  const String& source_;
  TuiLexems& lexems_;
  TuiRegExprErrors& errors_;
  size_t at_ = 0;
  Integer line_ = 1, pos_ = 0;
  bool afterCR_ = false;
  Integer opens_ = 0, closes_ = 0;
};

// Items and nesting levels of a parse-tree item.
struct TuiRegExprMeasure {
  Integer Items = 0;
  Integer Height = 0;
};

TuiRegExprMeasure Measure(const TuiRegExprParserItem& AItem) {
  const auto* block = dynamic_cast<const TuiRegExprParserBlockItem*>(&AItem);
  if (block == nullptr) return {1, 1};
  TuiRegExprMeasure result{1, 1};
  for (const auto& alt : block->Alts()->Items())
    for (const auto& item : alt->Items()) {
      const TuiRegExprMeasure inner = Measure(*item);
      result.Items += inner.Items;
      result.Height = std::max(result.Height, inner.Height + 1);
    }
  return result;
}

// The blocks of an item's subtree, the item included.
void CollectBlocks(const TuiRegExprParserItem& AItem, std::vector<const TuiRegExprParserItem*>& ABlocks) {
  const auto* block = dynamic_cast<const TuiRegExprParserBlockItem*>(&AItem);
  if (block == nullptr) return;
  ABlocks.push_back(block);
  for (const auto& alt : block->Alts()->Items())
    for (const auto& item : alt->Items()) CollectBlocks(*item, ABlocks);
}

bool IsOperator(const TuiLexem& ALexem, char AOperator) {
  return ALexem.Kind == lkOperator && ALexem.Text.size() == 1 && ALexem.Text[0] == AOperator;
}

char32_t LexemChar(const TuiLexem& ALexem) {
  Integer length;
  return ALexem.Text.empty() ? 0 : DecodeChar(ALexem.Text.data(), ALexem.Text.data() + ALexem.Text.size(), length);
}

TObjectPtr<TuiRegExprParserItem> SimpleItem(TuiRegExprItem* ATest) {
  return TObjectPtr<TuiRegExprParserItem>(new TuiRegExprParserSimpleItem(TObjectPtr<TuiRegExprItem>(ATest)));
}

template <class T>
TuiRegExprItem* Enumeration(bool AInverse) {
  auto* item = new T;
  item->SetInverse(AInverse);
  return item;
}

// The test of a lexem that stands for one character class (nil for other kinds).
TuiRegExprItem* ClassTest(const TuiLexem& ALexem) {
  switch (ALexem.Kind) {
    case lkSymbol: return new TuiRegExprSymbol(LexemChar(ALexem));
    case lkAll: return new TuiRegExprAll;
    case lkIdLetter: return Enumeration<TuiRegExprIdLetter>(false);
    case lkNotIdLetter: return Enumeration<TuiRegExprIdLetter>(true);
    case lkDigit: return Enumeration<TuiRegExprDigit>(false);
    case lkNotDigit: return Enumeration<TuiRegExprDigit>(true);
    case lkSpace: return Enumeration<TuiRegExprSpace>(false);
    case lkNotSpace: return Enumeration<TuiRegExprSpace>(true);
    case lkDateSeparator: return new TuiRegExprDateSeparator;
    case lkTimeSeparator: return new TuiRegExprTimeSeparator;
    default: return nullptr;
  }
}

// Reads the lexems into a parse tree, listing every error it finds; the blocks are numbered by their
// opening parenthesis for the back-references.
class TuiRegExprParser {
 public:
  TuiRegExprParser(const TuiLexems& ALexems, TuiRegExprErrors& AErrors) : lexems_(ALexems), errors_(AErrors) {}

  TObjectPtr<TuiRegExprParserAlts> Run() {
    TObjectPtr<TuiRegExprParserAlts> tree(new TuiRegExprParserAlts);
    ParseAlternatives(*tree, nullptr);
    if (errors_.Count() > 0) return nullptr;
    return tree;
  }

 private:
  bool AtEnd() const { return at_ >= lexems_.size(); }
  const TuiLexem& Current() const { return lexems_[at_]; }

  void Error(const TuiLexem& ALexem, const String& AMessage) { errors_.Add(ALexem.Line, ALexem.CharPos, AMessage); }

  // Reports the pattern as too complex, once.
  void TooComplex(const TuiLexem& ALexem) {
    if (!tooComplex_) Error(ALexem, Message(SRegExprTooComplex));
    tooComplex_ = true;
  }

  bool Fits(const TuiLexem& ALexem, Integer AMoreItems, Integer AHeight) {
    if (items_ + AMoreItems <= kMaxItems && depth_ + AHeight <= kMaxDepth) {
      items_ += AMoreItems;
      return true;
    }
    TooComplex(ALexem);
    return false;
  }

  // Alternatives up to the end, or up to the ')' of the block opened by AOpen (left for the caller).
  void ParseAlternatives(TuiRegExprParserAlts& AAlts, const TuiLexem* AOpen) {
    AAlts.Items().emplace_back(new TuiRegExprParserAlt);
    TuiRegExprParserAlt* alt = AAlts.Items().back().get();
    const TuiLexem* altStart = nullptr;
    size_t altLexems = 0;
    while (!AtEnd()) {
      const TuiLexem& lexem = Current();
      if (IsOperator(lexem, '|')) {
        if (altLexems == 0) Error(lexem, Message(SRegExprEmptyAlternative));
        ++at_;
        AAlts.Items().emplace_back(new TuiRegExprParserAlt);
        alt = AAlts.Items().back().get();
        altStart = &lexem;
        altLexems = 0;
        continue;
      }
      if (IsOperator(lexem, ')')) {
        if (AOpen != nullptr) break;
        Error(lexem, Message(SRegExprIllegalSymbol, ")"));
        ++at_;
        ++altLexems;
        continue;
      }
      ++altLexems;
      if (TObjectPtr<TuiRegExprParserItem> item = ParseElement()) {
        alt->Items().push_back(std::move(item));
        ParseQuantifiers(*alt);
      } else {
        SkipQuantifiers();
      }
    }
    if (altLexems > 0) return;
    if (altStart != nullptr) {
      Error(AtEnd() ? *altStart : Current(), Message(SRegExprEmptyAlternative));
    } else if (AOpen == nullptr) {
      // Nothing but quotes without text or a final backslash.
      errors_.Add(0, 0, Message(SRegExprEmptyAlternative));
    }
  }

  // One element; nil after an error (which is listed).
  TObjectPtr<TuiRegExprParserItem> ParseElement() {
    const TuiLexem& lexem = Current();
    ++at_;
    if (TuiRegExprItem* test = ClassTest(lexem)) {
      if (!Fits(lexem, 1, 1)) {
        FreeObject(test);
        return nullptr;
      }
      return SimpleItem(test);
    }
    switch (lexem.Kind) {
      case lkInteger:
        Error(lexem, Message(SRegExprIllegalIntegerValue));
        return nullptr;
      case lkReference:
        return Reference(lexem);
      default:
        break;
    }
    const char op = lexem.Text.empty() ? 0 : lexem.Text[0];
    switch (op) {
      case '(':
        return ParseBlock(lexem);
      case '[':
        return ParseSet(lexem);
      case '*': case '+': case '?':
        Error(lexem, Message(SRegExprIllegalQuantifier, lexem.Text));
        return nullptr;
      case '{':
        Error(lexem, Message(SRegExprIncorrectParameterQuantifier));
        return nullptr;
      default:
        Error(lexem, Message(SRegExprIllegalSymbol, lexem.Text));
        return nullptr;
    }
  }

  // A copy of the k-th block as it stands now, its quantifier included (see Expand for blocks replaced
  // by a count).
  TObjectPtr<TuiRegExprParserItem> Reference(const TuiLexem& ALexem) {
    const size_t number = static_cast<size_t>(ALexem.Text[0] - '0');
    if (number > blocks_.size()) {
      Error(ALexem, Message(SRegExprTooBigReferenceNumber));
      return nullptr;
    }
    const TuiRegExprParserItem& block = *blocks_[number - 1];
    const TuiRegExprMeasure size = Measure(block);
    if (!Fits(ALexem, size.Items, size.Height)) return nullptr;
    return block.Copy();
  }

  TObjectPtr<TuiRegExprParserItem> ParseBlock(const TuiLexem& AOpen) {
    if (!Fits(AOpen, 1, 1)) {
      SkipBlock();
      return nullptr;
    }
    auto* block = new TuiRegExprParserBlockItem;
    TObjectPtr<TuiRegExprParserItem> result(block);
    blocks_.push_back(block);
    ++depth_;
    const size_t first = at_;
    ParseAlternatives(*block->Alts(), &AOpen);
    --depth_;
    if (AtEnd()) {
      errors_.Add(0, 0, Message(SRegExprMissing, ")"));
    } else {
      if (at_ == first) Error(AOpen, Message(SRegExprEmptyBlock));
      ++at_;
    }
    return result;
  }

  // Skips to the ')' that closes a block that is not parsed.
  void SkipBlock() {
    for (Integer level = 1; !AtEnd(); ++at_) {
      if (IsOperator(Current(), '(')) ++level;
      if (IsOperator(Current(), ')') && --level == 0) {
        ++at_;
        return;
      }
    }
  }

  TObjectPtr<TuiRegExprParserItem> ParseSet(const TuiLexem& AOpen) {
    TObjectPtr<TuiRegExprUserEnumeration> set(new TuiRegExprUserEnumeration);
    if (!AtEnd() && IsOperator(Current(), '^')) {
      set->SetInverse(true);
      ++at_;
    }
    const Integer errorCount = errors_.Count();
    const TuiLexem* pending = nullptr;  // a literal that may start a range
    bool afterRange = false;
    auto flush = [&] {
      if (pending != nullptr) set->Add(TObjectPtr<TuiRegExprItem>(new TuiRegExprSymbol(LexemChar(*pending))));
      pending = nullptr;
    };
    while (!AtEnd()) {
      const TuiLexem& lexem = Current();
      ++at_;
      if (IsOperator(lexem, ']')) break;
      if (IsOperator(lexem, '-')) {
        if (pending == nullptr || afterRange || AtEnd() || Current().Kind != lkSymbol) {
          Error(lexem, Message(SRegExprIllegalSymbol, "-"));
          flush();
          continue;
        }
        const char32_t first = LexemChar(*pending), last = LexemChar(Current());
        if (first < last)
          set->Add(TObjectPtr<TuiRegExprItem>(new TuiRegExprSubrange(first, last)));
        else
          Error(*pending, Message(SRegExprSubrangeOrder));
        ++at_;
        pending = nullptr;
        afterRange = true;
        continue;
      }
      flush();
      afterRange = false;
      if (lexem.Kind == lkSymbol) {
        pending = &lexem;
      } else if (TuiRegExprItem* test = ClassTest(lexem)) {
        set->Add(TObjectPtr<TuiRegExprItem>(test));
      } else {
        Error(lexem, Message(SRegExprIllegalSymbol, lexem.Kind == lkReference ? "\\" + lexem.Text : lexem.Text));
      }
    }
    flush();
    if (set->Count() == 0 && errors_.Count() == errorCount) Error(AOpen, Message(SRegExprCantCreateEmptyEnum));
    if (!Fits(AOpen, 1, 1)) return nullptr;
    return TObjectPtr<TuiRegExprParserItem>(new TuiRegExprParserSimpleItem(std::move(set)));
  }

  static bool IsQuantifier(const TuiLexem& ALexem) {
    return IsOperator(ALexem, '*') || IsOperator(ALexem, '+') || IsOperator(ALexem, '?') || IsOperator(ALexem, '{');
  }

  // The quantifiers after an element that was not made (its error is listed already).
  void SkipQuantifiers() {
    while (!AtEnd() && IsQuantifier(Current())) {
      if (IsOperator(Current(), '{')) {
        SkipCount();
      } else {
        ++at_;
      }
    }
  }

  // Skips a count from its '{' to its '}'.
  void SkipCount() {
    ++at_;
    while (!AtEnd() && (Current().Kind == lkInteger || IsOperator(Current(), ','))) ++at_;
    if (!AtEnd() && IsOperator(Current(), '}')) ++at_;
  }

  // The quantifiers of the alternative's last item.
  void ParseQuantifiers(TuiRegExprParserAlt& AAlt) {
    while (!AtEnd() && IsQuantifier(Current())) {
      const TuiLexem& lexem = Current();
      TuiRegExprParserItem& item = *AAlt.Items().back();
      if (IsOperator(lexem, '{')) {
        ParseCount(AAlt, lexem);
        continue;
      }
      ++at_;
      TObjectPtr<TuiRegExprQuantifier> quantifier;
      if (IsOperator(lexem, '?')) {
        quantifier.reset(new TuiRegExprQuestionQuantifier);
      } else if (item.MayBeEmpty()) {
        Error(lexem, Message(IsOperator(lexem, '*') ? SRegExprCantUseStarQuantifier : SRegExprCantUsePlusQuantifier));
        continue;
      } else if (IsOperator(lexem, '*')) {
        quantifier.reset(new TuiRegExprStarQuantifier);
      } else {
        quantifier.reset(new TuiRegExprPlusQuantifier);
      }
      if (item.HasNoQuantifier())
        item.ReplaceQuantifier(std::move(quantifier));
      else
        Wrap(AAlt, std::move(quantifier), lexem);
    }
  }

  // Puts the alternative's last item into a new block that carries AQuantifier.
  bool Wrap(TuiRegExprParserAlt& AAlt, TObjectPtr<TuiRegExprQuantifier> AQuantifier, const TuiLexem& ALexem) {
    TObjectPtr<TuiRegExprParserItem>& slot = AAlt.Items().back();
    if (!Fits(ALexem, 1, Measure(*slot).Height + 1)) return false;
    auto* block = new TuiRegExprParserBlockItem;
    block->Alts()->Items().emplace_back(new TuiRegExprParserAlt);
    block->Alts()->Items().back()->Items().push_back(std::move(slot));
    block->ReplaceQuantifier(std::move(AQuantifier));
    slot.reset(block);
    return true;
  }

  // Reads a decimal number; false when it does not fit an Integer.
  static bool Number(const TuiLexem& ALexem, Integer& AValue) {
    Int64 value = 0;
    for (char digit : ALexem.Text) {
      value = value * 10 + (digit - '0');
      if (value > std::numeric_limits<Integer>::max()) return false;
    }
    AValue = static_cast<Integer>(value);
    return true;
  }

  // {n}, {n,} or {n,m} after the alternative's last item, at AOpen.
  void ParseCount(TuiRegExprParserAlt& AAlt, const TuiLexem& AOpen) {
    const size_t start = at_;
    ++at_;
    Integer low = 0, high = 0;
    bool unbounded = false, valid = false;
    if (!AtEnd() && Current().Kind == lkInteger && Number(Current(), low)) {
      ++at_;
      if (!AtEnd() && IsOperator(Current(), '}')) {
        high = low;
        valid = true;
      } else if (!AtEnd() && IsOperator(Current(), ',')) {
        ++at_;
        if (!AtEnd() && IsOperator(Current(), '}')) {
          unbounded = valid = true;
        } else if (!AtEnd() && Current().Kind == lkInteger && Number(Current(), high)) {
          ++at_;
          valid = !AtEnd() && IsOperator(Current(), '}') && high >= low;
        }
      }
    }
    if (!valid) {
      Error(AOpen, Message(SRegExprIncorrectParameterQuantifier));
      at_ = start;
      SkipCount();
      return;
    }
    ++at_;
    if (AAlt.Items().back()->AllowsAbsence()) {
      Error(AOpen, Message(SRegExprCantUseParameterQuantifier));
      return;
    }
    if (!AAlt.Items().back()->HasNoQuantifier() &&
        !Wrap(AAlt, TObjectPtr<TuiRegExprQuantifier>(new TuiRegExprSimpleQuantifier), AOpen))
      return;
    Expand(AAlt, low, unbounded ? -1 : high, AOpen);
  }

  // Replaces the alternative's last item X (without a quantifier) by its expansion for {ALow,AHigh}
  // (AHigh -1: no upper bound): ALow copies of X, then X* for no upper bound, or AHigh - ALow nested
  // optional copies ((X (X)?)?). X itself stays in the pattern as the first copy.
  //
  // A count from zero is itself optional: X{0,} is X*, X{0,m} the nested optional copies without a block
  // around them, and X{0} an empty optional block, so that a pattern ending in such a count is complete
  // without it, as with ? and *.
  //
  // A back-reference to a block that a count replaced repeats the counted item as a whole ((ab){2}\1 is
  // abababab), as it repeats any block with its quantifier. A block inside X stays in X, the first copy;
  // blocks inside an X dropped by {0} are referred to the empty block that replaced it.
  void Expand(TuiRegExprParserAlt& AAlt, Integer ALow, Integer AHigh, const TuiLexem& ALexem) {
    TObjectPtr<TuiRegExprParserItem>& slot = AAlt.Items().back();
    const TuiRegExprMeasure size = Measure(*slot);
    const Int64 copies = AHigh < 0 ? Int64{ALow} + 1 : Int64{AHigh};
    const Int64 levels = AHigh < 0 ? 0 : Int64{AHigh} - ALow;
    const Int64 items = (copies - 1) * size.Items + levels + 1;
    const Int64 height = size.Height + levels + 1;
    if (items > kMaxItems || height > kMaxDepth || !Fits(ALexem, static_cast<Integer>(items), static_cast<Integer>(height)))
      return TooComplex(ALexem);
    TuiRegExprParserItem* x = slot.get();
    TObjectPtr<TuiRegExprParserItem> replacement;
    if (AHigh == 0) {
      replacement = Optional(EmptyBlock());
      std::vector<const TuiRegExprParserItem*> dropped;
      CollectBlocks(*x, dropped);
      for (auto& block : blocks_)
        if (std::find(dropped.begin(), dropped.end(), block) != dropped.end())
          block = static_cast<TuiRegExprParserBlockItem*>(replacement.get());
      slot = std::move(replacement);
      return;
    }
    if (ALow == 0) {
      if (AHigh < 0) {
        slot->ReplaceQuantifier(TObjectPtr<TuiRegExprQuantifier>(new TuiRegExprStarQuantifier));
        return;
      }
      replacement = Levels(std::move(slot), *x, AHigh);
    } else {
      TObjectPtr<TuiRegExprParserItem> block = EmptyBlock();
      auto& items = static_cast<TuiRegExprParserBlockItem*>(block.get())->Alts()->Items().back()->Items();
      items.push_back(std::move(slot));
      for (Integer i = 1; i < ALow; ++i) items.push_back(x->Copy());
      if (AHigh < 0) {
        items.push_back(x->Copy());
        items.back()->ReplaceQuantifier(TObjectPtr<TuiRegExprQuantifier>(new TuiRegExprStarQuantifier));
      } else if (AHigh > ALow) {
        items.push_back(Levels(x->Copy(), *x, AHigh - ALow));
      }
      replacement = std::move(block);
    }
    for (auto& block : blocks_)
      if (block == x) block = static_cast<TuiRegExprParserBlockItem*>(replacement.get());
    slot = std::move(replacement);
  }

  static TObjectPtr<TuiRegExprParserItem> EmptyBlock() {
    auto* block = new TuiRegExprParserBlockItem;
    block->Alts()->Items().emplace_back(new TuiRegExprParserAlt);
    return TObjectPtr<TuiRegExprParserItem>(block);
  }

  static TObjectPtr<TuiRegExprParserItem> Optional(TObjectPtr<TuiRegExprParserItem> AItem) {
    AItem->ReplaceQuantifier(TObjectPtr<TuiRegExprQuantifier>(new TuiRegExprQuestionQuantifier));
    return AItem;
  }

  // ACount nested optional copies of AProto, AFirst being the first of them.
  static TObjectPtr<TuiRegExprParserItem> Levels(TObjectPtr<TuiRegExprParserItem> AFirst,
                                                 const TuiRegExprParserItem& AProto, Integer ACount) {
    if (ACount == 1) return Optional(std::move(AFirst));
    TObjectPtr<TuiRegExprParserItem> block = EmptyBlock();
    auto& items = static_cast<TuiRegExprParserBlockItem*>(block.get())->Alts()->Items().back()->Items();
    items.push_back(std::move(AFirst));
    items.push_back(Levels(AProto.Copy(), AProto, ACount - 1));
    return Optional(std::move(block));
  }

  const TuiLexems& lexems_;
  TuiRegExprErrors& errors_;
  size_t at_ = 0;
  std::vector<TuiRegExprParserBlockItem*> blocks_;
  Integer items_ = 0;
  Integer depth_ = 0;
  bool tooComplex_ = false;
};

}  // namespace
}  // namespace k58::editors

// ---- Automaton ----------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiRegExprAutomat) {}

TuiRegExprAutomat::TuiRegExprAutomat(TuiRegExpr* AOwner, TObjectPtr<TuiRegExprParserAlts> ATree)
    : owner_(AOwner), tree_(std::move(ATree)), start_(new TuiRegExprSimpleState(nullptr)) {}

TuiRegExprAutomat::~TuiRegExprAutomat() = default;

TObjectPtr<TuiRegExprAutomat> TuiRegExprAutomat::Build(TuiRegExpr* AOwner, TObjectPtr<TuiRegExprParserAlts> ATree) {
  TObjectPtr<TuiRegExprAutomat> automat(new TuiRegExprAutomat(AOwner, std::move(ATree)));
  if (!automat->BuildStates()) return nullptr;
  return automat;
}

namespace k58::editors {
namespace {

// Links the states of a parse tree as the automaton's rules say, counting the links.
class TuiRegExprLinker {
 public:
  bool Link(TuiRegExprState* AFrom, TuiRegExprState* ATo) {
    if (++links_ > kMaxLinks) return false;
    AFrom->Add(ATo);
    return true;
  }

  // AFrom to the entries of the alternative's items, up to the first that cannot be absent.
  bool LinkEntries(TuiRegExprState* AFrom, const TuiRegExprParserAlt& AAlt) {
    for (const auto& item : AAlt.Items()) {
      if (!Link(AFrom, item->Entry())) return false;
      if (!item->AllowsAbsence()) break;
    }
    return true;
  }

  // Each item's exit to the following items' entries and, when it repeats, to its own entry; then the
  // blocks inside.
  bool BuildAlt(const TuiRegExprParserAlt& AAlt) {
    const auto& items = AAlt.Items();
    for (size_t i = 0; i < items.size(); ++i) {
      TuiRegExprParserItem& item = *items[i];
      for (size_t j = i + 1; j < items.size(); ++j) {
        if (!Link(item.Exit(), items[j]->Entry())) return false;
        if (!items[j]->AllowsAbsence()) break;
      }
      if (item.AllowsRepetition() && !Link(item.Exit(), item.Entry())) return false;
      if (auto* block = dynamic_cast<TuiRegExprParserBlockItem*>(&item); block != nullptr && !BuildBlock(*block))
        return false;
    }
    return true;
  }

  bool BuildBlock(const TuiRegExprParserBlockItem& ABlock) {
    const auto& alts = ABlock.Alts()->Items();
    for (const auto& alt : alts)
      if (!LinkEntries(ABlock.Entry(), *alt)) return false;
    if (std::any_of(alts.begin(), alts.end(), [](const auto& alt) { return alt->AllOptional(); }) &&
        !Link(ABlock.Entry(), ABlock.Exit()))
      return false;
    for (const auto& alt : alts)
      if (!BuildAlt(*alt)) return false;
    for (const auto& alt : alts) {
      const auto& items = alt->Items();
      for (auto it = items.rbegin(); it != items.rend(); ++it) {
        if (!Link((*it)->Exit(), ABlock.Exit())) return false;
        if (!(*it)->AllowsAbsence()) break;
      }
    }
    return true;
  }

 private:
  size_t links_ = 0;
};

// Every state of a parse tree in order: a simple item's state; a block's entry, its contents, its exit.
template <class F>
void ForEachState(const TuiRegExprParserAlts& AAlts, F&& AVisit) {
  for (const auto& alt : AAlts.Items())
    for (const auto& item : alt->Items()) {
      if (auto* block = dynamic_cast<const TuiRegExprParserBlockItem*>(item.get())) {
        AVisit(block->Entry());
        ForEachState(*block->Alts(), AVisit);
        AVisit(block->Exit());
      } else {
        AVisit(item->Entry());
      }
    }
}

}  // namespace
}  // namespace k58::editors

bool TuiRegExprAutomat::BuildStates() {
  k58::editors::TuiRegExprLinker linker;
  const auto& alts = tree_->Items();
  for (const auto& alt : alts)
    if (!linker.LinkEntries(start_.get(), *alt)) return false;
  for (const auto& alt : alts)
    if (!linker.BuildAlt(*alt)) return false;
  start_->SetFinal(std::any_of(alts.begin(), alts.end(), [](const auto& alt) { return alt->AllOptional(); }));
  tree_->MarkFinal();

  Number(start_.get());
  k58::editors::ForEachState(*tree_, [this](TuiRegExprState* state) { Number(state); });
  // Flat tables of the links and literals, for the walks and the forced-literal test of every step.
  succBegin_.reserve(states_.size() + 1);
  literal_.assign(states_.size(), k58::editors::kNoLiteral);
  for (const TuiRegExprState* state : states_) {
    succBegin_.push_back(static_cast<Integer>(succ_.size()));
    for (const TuiRegExprState* next : state->Successors()) succ_.push_back(next->Index());
    const TuiRegExprSimpleState* simple = simple_[static_cast<size_t>(state->Index())];
    const TuiRegExprItem* test = simple != nullptr ? simple->Test() : nullptr;
    int64_t& literal = literal_[static_cast<size_t>(state->Index())];
    if (const auto* symbol = dynamic_cast<const TuiRegExprSymbol*>(test))
      literal = symbol->Ch();
    else if (dynamic_cast<const TuiRegExprTimeSeparator*>(test) != nullptr)
      literal = k58::editors::kTimeSeparatorLiteral;
    else if (dynamic_cast<const TuiRegExprDateSeparator*>(test) != nullptr)
      literal = k58::editors::kDateSeparatorLiteral;
  }
  succBegin_.push_back(static_cast<Integer>(succ_.size()));
  closureAt_.assign(states_.size(), -1);
  closureMarks_.assign(states_.size(), 0);
  ForgetSets();
  Restart();
  return true;
}

void TuiRegExprAutomat::Number(TuiRegExprState* AState) {
  AState->SetIndex(static_cast<Integer>(states_.size()));
  states_.push_back(AState);
  simple_.push_back(AState->IsSimple() ? static_cast<TuiRegExprSimpleState*>(AState) : nullptr);
}

uint32_t TuiRegExprAutomat::NewStamp(std::vector<uint32_t>& AMarks, uint32_t& AStamp) {
  if (++AStamp == 0) {
    std::fill(AMarks.begin(), AMarks.end(), 0);
    AStamp = 1;
  }
  return AStamp;
}

TuiRegExprAutomat::Span TuiRegExprAutomat::NextClosure(Integer AState) {
  const Integer at = closureAt_[static_cast<size_t>(AState)];
  if (at >= 0) return {&closurePool_[static_cast<size_t>(at) + 1], static_cast<size_t>(closurePool_[static_cast<size_t>(at)])};
  // Depth first through the block states, in successor order, each state once.
  const uint32_t stamp = NewStamp(closureMarks_, closureStamp_);
  scratch_.clear();
  stack_.clear();
  const auto push = [this](const TuiRegExprState* state) {
    const auto& successors = state->Successors();
    for (auto it = successors.rbegin(); it != successors.rend(); ++it) stack_.push_back((*it)->Index());
  };
  push(states_[static_cast<size_t>(AState)]);
  while (!stack_.empty()) {
    const Integer state = stack_.back();
    stack_.pop_back();
    uint32_t& mark = closureMarks_[static_cast<size_t>(state)];
    if (mark == stamp) continue;
    mark = stamp;
    if (simple_[static_cast<size_t>(state)] != nullptr)
      scratch_.push_back(state);
    else
      push(states_[static_cast<size_t>(state)]);
  }
  if (closurePool_.size() + scratch_.size() + 1 > k58::editors::kClosureBudget) return {scratch_.data(), scratch_.size()};
  closureAt_[static_cast<size_t>(AState)] = static_cast<Integer>(closurePool_.size());
  closurePool_.push_back(static_cast<Integer>(scratch_.size()));
  closurePool_.insert(closurePool_.end(), scratch_.begin(), scratch_.end());
  return {&closurePool_[closurePool_.size() - scratch_.size()], scratch_.size()};
}

namespace k58::editors {
namespace {
// Remembered steps: one table of the ASCII characters per set, for so many sets at most.
constexpr size_t kStepChars = 128;
constexpr size_t kMaxStepTables = 4096;
// Sets Restart keeps at most; more are forgotten (the positions of a long text need them until then).
constexpr size_t kKeptSets = 4096;
constexpr size_t kHashBuckets = 256;

size_t HashStates(const Integer* AStates, size_t ACount) {
  uint64_t hash = 1469598103934665603ull;
  for (size_t i = 0; i < ACount; ++i) hash = (hash ^ static_cast<uint32_t>(AStates[i])) * 1099511628211ull;
  return static_cast<size_t>(hash % kHashBuckets);
}
}  // namespace
}  // namespace k58::editors

Integer TuiRegExprAutomat::Intern(const std::vector<Integer>& AStates) {
  std::vector<Integer>& bucket = setsByHash_[k58::editors::HashStates(AStates.data(), AStates.size())];
  for (Integer id : bucket) {
    const StateSet& set = sets_[static_cast<size_t>(id)];
    if (static_cast<size_t>(set.Count) == AStates.size() && std::equal(AStates.begin(), AStates.end(), States(id)))
      return id;
  }
  bool final = false;
  for (Integer state : AStates) final = final || simple_[static_cast<size_t>(state)]->Final();
  const auto id = static_cast<Integer>(sets_.size());
  sets_.push_back(StateSet{setPool_.size(), static_cast<Integer>(AStates.size()), final});
  setPool_.insert(setPool_.end(), AStates.begin(), AStates.end());
  forcedStep_.push_back(-1);
  forcedChar_.push_back(0);
  if (sets_.size() <= k58::editors::kMaxStepTables) steps_.resize(sets_.size() * k58::editors::kStepChars, -1);
  bucket.push_back(id);
  return id;
}

void TuiRegExprAutomat::ForgetSets() {
  // Their storage goes too: a text that met thousands of sets leaves nothing behind.
  std::vector<StateSet>().swap(sets_);
  std::vector<Integer>().swap(setPool_);
  std::vector<int16_t>().swap(steps_);
  std::vector<Integer>().swap(forcedStep_);
  std::vector<char32_t>().swap(forcedChar_);
  setsByHash_.assign(k58::editors::kHashBuckets, {});
  // The start set is the first, always.
  Intern({start_->Index()});
}

void TuiRegExprAutomat::CheckSteps(bool ACaseInsensitive) {
  if (stepsCaseInsensitive_ == ACaseInsensitive && stepsDateSeparator_ == FormatSettings.DateSeparator &&
      stepsTimeSeparator_ == FormatSettings.TimeSeparator)
    return;
  stepsCaseInsensitive_ = ACaseInsensitive;
  stepsDateSeparator_ = FormatSettings.DateSeparator;
  stepsTimeSeparator_ = FormatSettings.TimeSeparator;
  std::fill(steps_.begin(), steps_.end(), -1);
}

int16_t* TuiRegExprAutomat::RememberedStep(Integer ASet, char32_t ACh) {
  const size_t at = static_cast<size_t>(ASet) * k58::editors::kStepChars + ACh;
  return ACh < k58::editors::kStepChars && at < steps_.size() ? &steps_[at] : nullptr;
}

bool TuiRegExprAutomat::ForcedChar(const Integer* AStates, size_t ACount, char32_t& ACh) const {
  if (ACount == 0) return false;
  for (size_t i = 0; i < ACount; ++i) {
    const int64_t literal = literal_[static_cast<size_t>(AStates[i])];
    char32_t ch;
    if (literal >= 0)
      ch = static_cast<char32_t>(literal);
    else if (literal == k58::editors::kTimeSeparatorLiteral)
      ch = k58::editors::SeparatorChar(FormatSettings.TimeSeparator);
    else if (literal == k58::editors::kDateSeparatorLiteral)
      ch = k58::editors::SeparatorChar(FormatSettings.DateSeparator);
    else
      return false;
    if (i > 0 && ch != ACh) return false;
    ACh = ch;
  }
  return true;
}

Integer TuiRegExprAutomat::ForcedStep(Integer ASet, char32_t& ACh) {
  if (forcedDateSeparator_ != FormatSettings.DateSeparator || forcedTimeSeparator_ != FormatSettings.TimeSeparator) {
    forcedDateSeparator_ = FormatSettings.DateSeparator;
    forcedTimeSeparator_ = FormatSettings.TimeSeparator;
    std::fill(forcedStep_.begin(), forcedStep_.end(), -1);
  }
  const auto set = static_cast<size_t>(ASet);
  if (forcedStep_[set] == -1) {
    NextClosureOf(ASet, next_);
    char32_t ch = 0;
    const Integer reached = ForcedChar(next_.data(), next_.size(), ch) ? Intern(next_) : -2;
    forcedStep_[set] = reached;
    forcedChar_[set] = ch;
  }
  ACh = forcedChar_[set];
  return forcedStep_[set];
}

bool TuiRegExprAutomat::Advance(char32_t& ACh, bool ACaseInsensitive) {
  CheckSteps(ACaseInsensitive);
  const Integer current = frames_.back();
  if (const int16_t* step = RememberedStep(current, ACh); step != nullptr && *step != -1) {
    if (*step < 0) return false;
    frames_.push_back(*step);
    return true;
  }
  // Every state the next closures reach is asked once, in path order; those that take the character stay.
  NextClosureOf(current, next_);
  char32_t handedBack = ACh;
  size_t kept = 0;
  for (const Integer state : next_) {
    char32_t ch = ACh;
    if (!simple_[static_cast<size_t>(state)]->Test()->Matches(ch, ACaseInsensitive)) continue;
    if (kept == 0) handedBack = ch;
    next_[kept++] = state;
  }
  next_.resize(kept);
  const Integer reached = next_.empty() ? -2 : Intern(next_);
  if (int16_t* step = RememberedStep(current, ACh);
      step != nullptr && handedBack == ACh && reached < static_cast<Integer>(k58::editors::kMaxStepTables))
    *step = static_cast<int16_t>(reached);
  if (reached < 0) return false;
  frames_.push_back(reached);
  ACh = handedBack;
  return true;
}

void TuiRegExprAutomat::Filter(const String& AText, bool ACaseInsensitive, String& AResult) {
  CheckSteps(ACaseInsensitive);
  AResult.clear();
  AResult.reserve(AText.size());
  frames_.reserve(frames_.size() + AText.size());
  const char* p = AText.data();
  const char* end = p + AText.size();
  Integer current = frames_.back();
  while (p < end) {
    // A remembered step with an ASCII character needs no more than a look-up.
    const size_t at = static_cast<size_t>(current) * k58::editors::kStepChars + static_cast<unsigned char>(*p);
    if (static_cast<unsigned char>(*p) < k58::editors::kStepChars && at < steps_.size() && steps_[at] != -1) {
      const Integer next = steps_[at];
      if (next >= 0) {
        frames_.push_back(next);
        AResult.push_back(*p);
        current = next;
      }
      ++p;
      continue;
    }
    Integer length;
    char32_t ch = k58::editors::DecodeChar(p, end, length);
    // A byte that is not UTF-8 goes in as the character it stands for, so that it cannot join a
    // following one.
    if (Advance(ch, ACaseInsensitive)) {
      if (length == 1 && ch == 0xFFFD)
        AResult += CharText(ch);
      else
        AResult.append(p, static_cast<size_t>(length));
      current = frames_.back();
    }
    p += length;
  }
}

bool TuiRegExprAutomat::StepBack() {
  if (frames_.size() <= 1) return false;
  frames_.pop_back();
  return true;
}

void TuiRegExprAutomat::Restart() {
  if (sets_.size() > k58::editors::kKeptSets || setPool_.size() > k58::editors::kKeptPositions) ForgetSets();
  frames_.clear();
  if (frames_.capacity() > k58::editors::kKeptPositions) frames_.shrink_to_fit();
  frames_.push_back(0);
}

void TuiRegExprAutomat::NextClosureOf(Integer ASet, std::vector<Integer>& AOut) {
  AOut.clear();
  const Integer count = sets_[static_cast<size_t>(ASet)].Count;
  if (count == 1) {
    const Span next = NextClosure(States(ASet)[0]);
    AOut.assign(next.Data, next.Data + next.Count);
    return;
  }
  // One walk for the whole set, depth first from each of its states in turn: a state an earlier walk
  // reached is not walked again, and everything after it was reached then too. So the order is that of the
  // closures one after another without repeats, and a step costs the states and links reached once, not
  // the sum of the closures (quadratic in a run of optional items, where each closure holds the rest).
  const uint32_t stamp = NewStamp(closureMarks_, closureStamp_);
  const Integer* begin = succBegin_.data();
  const Integer* succ = succ_.data();
  uint32_t* marks = closureMarks_.data();
  const Integer* states = States(ASet);
  for (Integer i = 0; i < count; ++i) {
    stack_.clear();
    const auto push = [&](Integer AState) {
      for (Integer at = begin[AState + 1]; at > begin[AState];) stack_.push_back(succ[--at]);
    };
    push(states[i]);
    while (!stack_.empty()) {
      const Integer state = stack_.back();
      stack_.pop_back();
      if (marks[state] == stamp) continue;
      marks[state] = stamp;
      if (simple_[static_cast<size_t>(state)] != nullptr)
        AOut.push_back(state);
      else
        push(state);
    }
  }
}

void TuiRegExprAutomat::InsertForcedChars() {
  // Every state can reach a final one, so a run of forced literals ends within as many steps as there are
  // states. Each step costs the states of its position, and where loops stay open (as in (a+aaa){999})
  // those grow with the run, so the run also ends when its positions hold kForcedRunBudget states in all:
  // the rest can still be typed. Each set answers its forced step once: a run met again (after a step
  // back) costs a look-up per character.
  size_t held = 0;
  for (size_t guard = states_.size() + 1; guard > 0 && !IsFinal() && held < k58::editors::kForcedRunBudget; --guard) {
    char32_t ch = 0;
    const Integer reached = ForcedStep(frames_.back(), ch);
    if (reached < 0) return;
    owner_->onAppendChar_(ch);
    frames_.push_back(reached);
    held += static_cast<size_t>(sets_[static_cast<size_t>(reached)].Count);
  }
}

void TuiRegExprAutomat::TakeBackForcedChars() {
  while (frames_.size() > 1) {
    // The last character goes when the previous position forced it. Then every state of the current
    // position tests that literal, as the position was reached from the previous one.
    const Integer current = frames_.back();
    if (literal_[static_cast<size_t>(States(current)[0])] == k58::editors::kNoLiteral) return;
    const Integer previous = frames_[frames_.size() - 2];
    if (sets_[static_cast<size_t>(previous)].Final) return;
    char32_t ch = 0;
    if (ForcedStep(previous, ch) < 0) return;
    owner_->onDeleteLastChar_();
    StepBack();
  }
}

size_t TuiRegExprAutomat::HeldBytes() const {
  size_t bytes = sizeof(*this) + states_.capacity() * sizeof(TuiRegExprState*) +
                 simple_.capacity() * sizeof(TuiRegExprSimpleState*);
  for (const TuiRegExprState* state : states_)
    bytes += sizeof(TuiRegExprSimpleState) + state->Successors().capacity() * sizeof(TuiRegExprState*);
  for (const std::vector<Integer>* list :
       {&frames_, &setPool_, &closureAt_, &closurePool_, &scratch_, &stack_, &next_, &succBegin_, &succ_, &forcedStep_})
    bytes += list->capacity() * sizeof(Integer);
  for (const std::vector<Integer>& bucket : setsByHash_) bytes += sizeof(bucket) + bucket.capacity() * sizeof(Integer);
  bytes += sets_.capacity() * sizeof(StateSet) + steps_.capacity() * sizeof(int16_t);
  bytes += closureMarks_.capacity() * sizeof(uint32_t) + literal_.capacity() * sizeof(int64_t) +
           forcedChar_.capacity() * sizeof(char32_t);
  return bytes;
}

// ---- The engine ---------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiRegExpr) {}

TuiRegExpr::TuiRegExpr() : source_(new TMemoryStream) {}

TuiRegExpr::~TuiRegExpr() = default;

void TuiRegExpr::Reset() {
  automat_.reset();
  source_.reset(new TMemoryStream);
  errors_.Clear();
  lexems_.clear();
  compiled_ = false;
}

void TuiRegExpr::Fail() { throw EuiRegExprError(errors_); }

void TuiRegExpr::Compile(TStream* AStream) {
  using k58::editors::Message;
  Reset();
  if (AStream == nullptr) {
    errors_.Add(0, 0, Message(SRegExprStreamNotAssigned));
    Fail();
  }
  try {
    source_->LoadFromStream(AStream);
  } catch (const Exception&) {
    // A stream that cannot be read counts as no stream.
    errors_.Add(0, 0, Message(SRegExprStreamNotAssigned));
    Fail();
  }
  const String text(static_cast<const char*>(source_->Memory()), static_cast<size_t>(source_->Size()));
  if (std::all_of(text.begin(), text.end(),
                  [](char ch) { return k58::editors::IsPatternSpace(static_cast<unsigned char>(ch)); })) {
    errors_.Add(0, 0, Message(SRegExprEmptySourceStream));
    Fail();
  }
  k58::editors::TuiRegExprLexer(text, lexems_, errors_).Run();
  if (errors_.Count() > 0) Fail();
  TObjectPtr<TuiRegExprParserAlts> tree = k58::editors::TuiRegExprParser(lexems_, errors_).Run();
  if (!tree) Fail();
  automat_ = TuiRegExprAutomat::Build(this, std::move(tree));
  if (!automat_) {
    errors_.Add(0, 0, Message(SRegExprTooComplex));
    Fail();
  }
  compiled_ = true;
  if (autoComplete_) automat_->InsertForcedChars();
}

TMemoryStream* TuiRegExpr::GetSource() const { return compiled_ ? source_.get() : nullptr; }

TuiRegExprAutomat& TuiRegExpr::Compiled() const {
  if (!compiled_) throw Exception(LocalizeText(SRegExprNotCompiled));
  return *automat_;
}

bool TuiRegExpr::IsFinal() const { return Compiled().IsFinal(); }

bool TuiRegExpr::IsAtStart() const { return Compiled().IsAtStart(); }

bool TuiRegExpr::Advance(char32_t& ACh) {
  TuiRegExprAutomat& automat = Compiled();
  if (!automat.Advance(ACh, caseInsensitive_)) return false;
  if (autoComplete_) automat.InsertForcedChars();
  return true;
}

bool TuiRegExpr::Advance(String& ACh) {
  Compiled();
  if (ACh.empty()) return false;
  Integer length;
  char32_t ch = DecodeChar(ACh.data(), ACh.data() + ACh.size(), length);
  if (static_cast<size_t>(length) != ACh.size()) return false;
  const char32_t typed = ch;
  if (!Advance(ch)) return false;
  if (ch != typed) ACh = CharText(ch);
  return true;
}

void TuiRegExpr::FilterText(const String& AText, String& AResult) {
  Compiled().Filter(AText, caseInsensitive_, AResult);
}

bool TuiRegExpr::StepBack() {
  TuiRegExprAutomat& automat = Compiled();
  if (autoComplete_) automat.TakeBackForcedChars();
  return automat.StepBack();
}

void TuiRegExpr::Restart() { Compiled().Restart(); }

void TuiRegExpr::SetAutoComplete(bool Value) {
  autoComplete_ = Value;
  if (compiled_ && Value) automat_->InsertForcedChars();
}
