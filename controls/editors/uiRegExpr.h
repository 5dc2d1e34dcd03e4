// The regular-expression engine of the masked editors: a mask pattern compiled into an automaton of
// single-character tests that is run one character at a time from the start of a text, steps back through
// its history and inserts the characters the pattern forces.
//
// Pattern syntax (white space outside quotes is ignored, also inside [ ] and { }):
//   'text'        literal text; '' inside the quotes is one quote
//   .             any character            / and :   the date and time separators (read when matching)
//   \d \D \w \W \s \S   digit, identifier character (ASCII letters, digits, _), white space, and their negations
//   \t \n \r \f \a \e   control characters      \p  the decimal separator (read when compiling)
//   \xHH          the character HH          \1..\9   a copy of the n-th parenthesised block with its quantifier
//   \c            any other character c itself (\0 is the digit 0)
//   [abc] [^a-z]  sets of characters, ranges and classes; ( | )  blocks and alternatives
//   * + ? {n} {n,} {n,m}   quantifiers; a second quantifier applies to the quantified item as a whole
// Characters are the code points of UTF-8 text; a byte that is not valid UTF-8 stands for U+FFFD.
// A text matches when it is taken from its first character to its last; nothing is searched.
//
// The engine keeps the set of automaton states a text can have reached, each state once, and a history of
// those sets, one per character taken, until Restart. OnAppendChar and OnDeleteLastChar are called from
// inside Compile, SetAutoComplete, Advance and StepBack; they must not call back into the engine.
#pragma once

#include <vector>

#include "platform/classes/Delegate.h"
#include "platform/classes/Object.h"
#include "platform/classes/Streams.h"
#include "platform/rtl/Exception.h"

namespace uiregexprconsts {
inline constexpr const char* SRegExprMissing = "Missing '%s'";
inline constexpr const char* SRegExprUnnecessary = "Unnecessary '%s'";
inline constexpr const char* SRegExprIllegalSymbol = "Illegal '%s'";
inline constexpr const char* SRegExprIllegalQuantifier = "Illegal quantifier '%s'";
inline constexpr const char* SRegExprIllegalIntegerValue = "Illegal integer value";
inline constexpr const char* SRegExprIncorrectParameterQuantifier = "Incorrect parameter quantifier";
inline constexpr const char* SRegExprCantUseParameterQuantifier = "The parameter quantifier cannot be applied here";
inline constexpr const char* SRegExprCantUsePlusQuantifier = "The '+' quantifier cannot be applied here";
inline constexpr const char* SRegExprCantUseStarQuantifier = "The '*' quantifier cannot be applied here";
inline constexpr const char* SRegExprEmptyAlternative = "The alternative should not be empty";
inline constexpr const char* SRegExprEmptyBlock = "The block should not be empty";
inline constexpr const char* SRegExprTooBigReferenceNumber = "Too big reference number";
inline constexpr const char* SRegExprCantCreateEmptyEnum = "Can't create empty enumeration";
inline constexpr const char* SRegExprSubrangeOrder =
    "The starting character of the subrange must be less than the finishing one";
inline constexpr const char* SRegExprHexNumberExpected = "Hexadecimal number expected";
inline constexpr const char* SRegExprHexNumberExpectedButFound = "Hexadecimal number expected but '%s' found";
inline constexpr const char* SRegExprSpaceAfterBackslash = "The space character is not allowed after '\\'";
inline constexpr const char* SRegExprStreamNotAssigned = "The source stream is not assigned";
inline constexpr const char* SRegExprEmptySourceStream = "The source stream is empty";
// A pattern whose automaton would pass the engine's size limits (see TuiRegExpr).
inline constexpr const char* SRegExprTooComplex = "The regular expression is too complex";
inline constexpr const char* SRegExprNotCompiled = "Regular expression is not compiled";
inline constexpr const char* SRegExprLine = "Line";
inline constexpr const char* SRegExprChar = "Char";
}  // namespace uiregexprconsts

class TuiRegExpr;

// ---- Character tests ----------------------------------------------------------------------------------

// A test of one character. Matches answers whether ACh passes; a literal that takes ACh case-insensitively
// hands its own character back in ACh.
class TuiRegExprItem : public TObject {
  K58_CLASS(TuiRegExprItem, TObject)

  virtual bool Matches(char32_t& ACh, bool ACaseInsensitive) const = 0;
  virtual TObjectPtr<TuiRegExprItem> Copy() const = 0;
};

// One character; case-insensitively both sides are compared in the locale's upper case.
class TuiRegExprSymbol : public TuiRegExprItem {
  K58_CLASS(TuiRegExprSymbol, TuiRegExprItem)

  explicit TuiRegExprSymbol(char32_t ACh) : ch_(ACh) {}
  char32_t Ch() const { return ch_; }
  bool Matches(char32_t& ACh, bool ACaseInsensitive) const override;
  TObjectPtr<TuiRegExprItem> Copy() const override;

 private:
  char32_t ch_;
};

// The locale's time separator at the moment of the test.
class TuiRegExprTimeSeparator : public TuiRegExprItem {
  K58_CLASS(TuiRegExprTimeSeparator, TuiRegExprItem)

  bool Matches(char32_t& ACh, bool ACaseInsensitive) const override;
  TObjectPtr<TuiRegExprItem> Copy() const override;
};

// The locale's date separator at the moment of the test.
class TuiRegExprDateSeparator : public TuiRegExprItem {
  K58_CLASS(TuiRegExprDateSeparator, TuiRegExprItem)

  bool Matches(char32_t& ACh, bool ACaseInsensitive) const override;
  TObjectPtr<TuiRegExprItem> Copy() const override;
};

// First <= ACh <= Last by code point, always case-sensitive.
class TuiRegExprSubrange : public TuiRegExprItem {
  K58_CLASS(TuiRegExprSubrange, TuiRegExprItem)

  TuiRegExprSubrange(char32_t AFirst, char32_t ALast) : first_(AFirst), last_(ALast) {}
  char32_t First() const { return first_; }
  char32_t Last() const { return last_; }
  bool Matches(char32_t& ACh, bool ACaseInsensitive) const override;
  TObjectPtr<TuiRegExprItem> Copy() const override;

 private:
  char32_t first_, last_;
};

// A class of characters, inverted when Inverse is set.
class TuiRegExprEnumeration : public TuiRegExprItem {
  K58_CLASS(TuiRegExprEnumeration, TuiRegExprItem)

  bool Inverse() const { return inverse_; }
  void SetInverse(bool Value) { inverse_ = Value; }
  bool Matches(char32_t& ACh, bool ACaseInsensitive) const override;

 protected:
  // Whether the class holds ACh (before inversion); may hand back a literal's own character.
  virtual bool Holds(char32_t& ACh, bool ACaseInsensitive) const = 0;

 private:
  bool inverse_ = false;
};

// A set written in [ ]: its items asked in order, the first that takes the character decides.
class TuiRegExprUserEnumeration : public TuiRegExprEnumeration {
  K58_CLASS(TuiRegExprUserEnumeration, TuiRegExprEnumeration)

  void Add(TObjectPtr<TuiRegExprItem> AItem) { items_.push_back(std::move(AItem)); }
  Integer Count() const { return static_cast<Integer>(items_.size()); }
  TObjectPtr<TuiRegExprItem> Copy() const override;

 protected:
  bool Holds(char32_t& ACh, bool ACaseInsensitive) const override;

 private:
  std::vector<TObjectPtr<TuiRegExprItem>> items_;
};

// '0' to '9'.
class TuiRegExprDigit : public TuiRegExprEnumeration {
  K58_CLASS(TuiRegExprDigit, TuiRegExprEnumeration)

  TObjectPtr<TuiRegExprItem> Copy() const override;

 protected:
  bool Holds(char32_t& ACh, bool ACaseInsensitive) const override;
};

// ASCII letters, digits and '_'.
class TuiRegExprIdLetter : public TuiRegExprEnumeration {
  K58_CLASS(TuiRegExprIdLetter, TuiRegExprEnumeration)

  TObjectPtr<TuiRegExprItem> Copy() const override;

 protected:
  bool Holds(char32_t& ACh, bool ACaseInsensitive) const override;
};

// Space, #0, #9, #10, #12 and #13 (not #11).
class TuiRegExprSpace : public TuiRegExprEnumeration {
  K58_CLASS(TuiRegExprSpace, TuiRegExprEnumeration)

  TObjectPtr<TuiRegExprItem> Copy() const override;

 protected:
  bool Holds(char32_t& ACh, bool ACaseInsensitive) const override;
};

// Every character.
class TuiRegExprAll : public TuiRegExprItem {
  K58_CLASS(TuiRegExprAll, TuiRegExprItem)

  bool Matches(char32_t& ACh, bool ACaseInsensitive) const override;
  TObjectPtr<TuiRegExprItem> Copy() const override;
};

// ---- Automaton states ---------------------------------------------------------------------------------

// A state with its successors (not owned). Index is its place in the automaton's table.
class TuiRegExprState : public TObject {
  K58_CLASS(TuiRegExprState, TObject)

  // A new state of the same class with the same test and no successors.
  virtual TObjectPtr<TuiRegExprState> Copy() const = 0;

  void Add(TuiRegExprState* AState) { successors_.push_back(AState); }
  const std::vector<TuiRegExprState*>& Successors() const { return successors_; }
  bool IsSimple() const { return simple_; }
  Integer Index() const { return index_; }
  void SetIndex(Integer Value) { index_ = Value; }

 protected:
  explicit TuiRegExprState(bool ASimple) : simple_(ASimple) {}

 private:
  std::vector<TuiRegExprState*> successors_;
  Integer index_ = -1;
  bool simple_;
};

// A state that consumes one character through its test; a position stands here when that character has
// just been taken. The automaton's start state is the only one without a test.
class TuiRegExprSimpleState : public TuiRegExprState {
  K58_CLASS(TuiRegExprSimpleState, TuiRegExprState)

  explicit TuiRegExprSimpleState(TObjectPtr<TuiRegExprItem> ATest) : TuiRegExprState(true), test_(std::move(ATest)) {}
  TObjectPtr<TuiRegExprState> Copy() const override;

  bool Final() const { return final_; }
  void SetFinal(bool Value) { final_ = Value; }
  const TuiRegExprItem* Test() const { return test_.get(); }

 private:
  TObjectPtr<TuiRegExprItem> test_;
  bool final_ = false;
};

// A pass-through node at the entry or exit of a block.
class TuiRegExprBlockState : public TuiRegExprState {
  K58_CLASS(TuiRegExprBlockState, TuiRegExprState)

  TuiRegExprBlockState() : TuiRegExprState(false) {}
  TObjectPtr<TuiRegExprState> Copy() const override;
};

// ---- Quantifiers --------------------------------------------------------------------------------------

class TuiRegExprQuantifier : public TObject {
  K58_CLASS(TuiRegExprQuantifier, TObject)

  virtual bool AllowsAbsence() const = 0;
  virtual bool AllowsRepetition() const = 0;
  virtual TObjectPtr<TuiRegExprQuantifier> Copy() const = 0;
  virtual String Describe() const = 0;
};

// No quantifier written: exactly once.
class TuiRegExprSimpleQuantifier : public TuiRegExprQuantifier {
  K58_CLASS(TuiRegExprSimpleQuantifier, TuiRegExprQuantifier)

  bool AllowsAbsence() const override { return false; }
  bool AllowsRepetition() const override { return false; }
  TObjectPtr<TuiRegExprQuantifier> Copy() const override;
  String Describe() const override { return String(); }
};

class TuiRegExprQuestionQuantifier : public TuiRegExprQuantifier {
  K58_CLASS(TuiRegExprQuestionQuantifier, TuiRegExprQuantifier)

  bool AllowsAbsence() const override { return true; }
  bool AllowsRepetition() const override { return false; }
  TObjectPtr<TuiRegExprQuantifier> Copy() const override;
  String Describe() const override { return "?"; }
};

class TuiRegExprStarQuantifier : public TuiRegExprQuantifier {
  K58_CLASS(TuiRegExprStarQuantifier, TuiRegExprQuantifier)

  bool AllowsAbsence() const override { return true; }
  bool AllowsRepetition() const override { return true; }
  TObjectPtr<TuiRegExprQuantifier> Copy() const override;
  String Describe() const override { return "*"; }
};

class TuiRegExprPlusQuantifier : public TuiRegExprQuantifier {
  K58_CLASS(TuiRegExprPlusQuantifier, TuiRegExprQuantifier)

  bool AllowsAbsence() const override { return false; }
  bool AllowsRepetition() const override { return true; }
  TObjectPtr<TuiRegExprQuantifier> Copy() const override;
  String Describe() const override { return "+"; }
};

// ---- Parse tree ---------------------------------------------------------------------------------------

class TuiRegExprParserAlts;

// An item of an alternative with its quantifier. The item counts as optional only through its own
// quantifier (? or *).
class TuiRegExprParserItem : public TObject {
  K58_CLASS(TuiRegExprParserItem, TObject)

  bool AllowsAbsence() const { return quantifier_->AllowsAbsence(); }
  bool AllowsRepetition() const { return quantifier_->AllowsRepetition(); }
  bool HasNoQuantifier() const;
  const TuiRegExprQuantifier* Quantifier() const { return quantifier_.get(); }
  // Nil keeps the quantifier there is.
  void ReplaceQuantifier(TObjectPtr<TuiRegExprQuantifier> AQuantifier);

  virtual bool MayBeEmpty() const = 0;
  virtual TObjectPtr<TuiRegExprParserItem> Copy() const = 0;
  // A text of the item's structure, for tracing.
  virtual String Describe() const = 0;
  virtual void MarkFinal() = 0;
  // The states where a path enters and leaves the item.
  virtual TuiRegExprState* Entry() const = 0;
  virtual TuiRegExprState* Exit() const = 0;

 protected:
  TuiRegExprParserItem();

 private:
  TObjectPtr<TuiRegExprQuantifier> quantifier_;
};

class TuiRegExprParserSimpleItem : public TuiRegExprParserItem {
  K58_CLASS(TuiRegExprParserSimpleItem, TuiRegExprParserItem)

  explicit TuiRegExprParserSimpleItem(TObjectPtr<TuiRegExprItem> ATest);
  bool MayBeEmpty() const override { return AllowsAbsence(); }
  TObjectPtr<TuiRegExprParserItem> Copy() const override;
  String Describe() const override;
  void MarkFinal() override { state_->SetFinal(true); }
  TuiRegExprState* Entry() const override { return state_.get(); }
  TuiRegExprState* Exit() const override { return state_.get(); }
  TuiRegExprSimpleState* State() const { return state_.get(); }

 private:
  TObjectPtr<TuiRegExprSimpleState> state_;
};

// One alternative: its items in order.
class TuiRegExprParserAlt : public TObject {
  K58_CLASS(TuiRegExprParserAlt, TObject)

  std::vector<TObjectPtr<TuiRegExprParserItem>>& Items() { return items_; }
  const std::vector<TObjectPtr<TuiRegExprParserItem>>& Items() const { return items_; }
  // Every item's quantifier allows its absence (true for no items).
  bool AllOptional() const;
  bool MayBeEmpty() const;
  TObjectPtr<TuiRegExprParserAlt> Copy() const;
  String Describe() const;
  // Marks the items from the last backwards up to and including the first that cannot be absent.
  void MarkFinal();

 private:
  std::vector<TObjectPtr<TuiRegExprParserItem>> items_;
};

class TuiRegExprParserAlts : public TObject {
  K58_CLASS(TuiRegExprParserAlts, TObject)

  std::vector<TObjectPtr<TuiRegExprParserAlt>>& Items() { return alts_; }
  const std::vector<TObjectPtr<TuiRegExprParserAlt>>& Items() const { return alts_; }
  bool MayBeEmpty() const;
  TObjectPtr<TuiRegExprParserAlts> Copy() const;
  String Describe() const;
  void MarkFinal();

 private:
  std::vector<TObjectPtr<TuiRegExprParserAlt>> alts_;
};

// A parenthesised block (or a block made by a second quantifier or a count), with its entry and exit.
class TuiRegExprParserBlockItem : public TuiRegExprParserItem {
  K58_CLASS(TuiRegExprParserBlockItem, TuiRegExprParserItem)

  TuiRegExprParserBlockItem();
  bool MayBeEmpty() const override { return AllowsAbsence() || alts_->MayBeEmpty(); }
  TObjectPtr<TuiRegExprParserItem> Copy() const override;
  String Describe() const override;
  void MarkFinal() override { alts_->MarkFinal(); }
  TuiRegExprState* Entry() const override { return entry_.get(); }
  TuiRegExprState* Exit() const override { return exit_.get(); }
  TuiRegExprParserAlts* Alts() const { return alts_.get(); }

 private:
  TObjectPtr<TuiRegExprBlockState> entry_, exit_;
  TObjectPtr<TuiRegExprParserAlts> alts_;
};

// ---- Lexems and errors --------------------------------------------------------------------------------

// Kinds of lexems.
enum TuiLexemKind : Integer {
  lkSymbol = 0,          // a literal character
  lkOperator = 1,        // ( ) * + ? | [ ] { } , - ^ where they act as operators
  lkInteger = 2,         // decimal digits inside { }
  lkAll = 3,             // .
  lkIdLetter = 4,        // \w
  lkNotIdLetter = 5,     // \W
  lkDigit = 6,           // \d
  lkNotDigit = 7,        // \D
  lkSpace = 8,           // \s
  lkNotSpace = 9,        // \S
  lkReference = 10,      // \1 .. \9
  lkDateSeparator = 11,  // /
  lkTimeSeparator = 12   // :
};

struct TuiLexem {
  Integer CharPos = 0;
  Integer Kind = lkSymbol;
  Integer Line = 0;
  // The lexem's text: one character for most kinds, the digits of a number.
  String Text;
};
using TuiLexems = std::vector<TuiLexem>;

// A compile error at a line and character (line 0: no position).
struct TuiRegExprError {
  Integer Line = 0;
  Integer CharPos = 0;
  String Message;
  // "Line1, Char5: message"; the message alone at line 0.
  String Text() const;
};

class TuiRegExprErrors {
 public:
  void Add(Integer ALine, Integer ACharPos, const String& AMessage);
  void Clear() { items_.clear(); }
  Integer Count() const { return static_cast<Integer>(items_.size()); }
  const TuiRegExprError& Items(Integer AIndex) const { return items_.at(static_cast<size_t>(AIndex)); }

 private:
  std::vector<TuiRegExprError> items_;
};

// A pattern that did not compile. It carries the errors of that compilation; its message lists their texts,
// one a line.
class EuiRegExprError : public Exception {
 public:
  explicit EuiRegExprError(const TuiRegExprErrors& AErrors);
  const char* ClassName() const noexcept override { return "EuiRegExprError"; }
  const TuiRegExprErrors& Errors() const { return errors_; }

 private:
  TuiRegExprErrors errors_;
};

// ---- Automaton ----------------------------------------------------------------------------------------

using TuiRegExprAppendCharEvent = Delegate<void(char32_t ACh)>;
using TuiRegExprDeleteLastCharEvent = Delegate<void()>;

// The states of a compiled pattern and the positions of the text run through them. A position is the set
// of simple states the text so far can stand in, each once, in the order the paths reach them; the
// history keeps every position since Restart. Sets are kept once each and the step from a set with an
// ASCII character is remembered, so a text that runs over known ground costs a look-up per character;
// what is remembered is forgotten when the case flag or the locale's separators change, and the sets when
// Restart finds them too many.
class TuiRegExprAutomat : public TObject {
  K58_CLASS(TuiRegExprAutomat, TObject)

  // Builds the automaton of a parsed pattern (taken over). Returns nil when it would need more links
  // between states than the engine allows.
  static TObjectPtr<TuiRegExprAutomat> Build(TuiRegExpr* AOwner, TObjectPtr<TuiRegExprParserAlts> ATree);
  ~TuiRegExprAutomat() override;

  bool IsFinal() const { return sets_[static_cast<size_t>(frames_.back())].Final; }
  bool IsAtStart() const { return frames_.size() == 1; }
  // Takes ACh from the current position; false (and unchanged) when no path takes it. ACh comes back as
  // the first test that took it saw it (a case-insensitive literal hands back its own character).
  bool Advance(char32_t& ACh, bool ACaseInsensitive);
  // Offers every character of AText in turn; AResult gets those taken, as AText holds them.
  void Filter(const String& AText, bool ACaseInsensitive, String& AResult);
  // Returns to the previous position; false at the start.
  bool StepBack();
  void Restart();
  // While the position is not final and every path continues with the same literal: tells the owner's
  // OnAppendChar and moves on over it (within a budget of states held by the run's positions).
  void InsertForcedChars();
  // Before stepping back: while the last character was such a forced literal, tells the owner's
  // OnDeleteLastChar and steps back over it.
  void TakeBackForcedChars();

  const TuiRegExprParserAlts* Tree() const { return tree_.get(); }
  // Figures for tests and benchmarks: states of the automaton, states at the current position, positions
  // held, and the bytes the matching structures hold.
  Integer StateCount() const { return static_cast<Integer>(states_.size()); }
  Integer CurrentCount() const { return sets_[static_cast<size_t>(frames_.back())].Count; }
  Integer PositionCount() const { return static_cast<Integer>(frames_.size()); }
  size_t HeldBytes() const;

 private:
  struct Span {
    const Integer* Data;
    size_t Count;
  };
  // A set of states kept once: its states in setPool_ and whether one is final. The first sets have a
  // table of remembered steps each, at their number times the number of ASCII characters in steps_: the
  // set reached (-1 unknown, -2 refused). A step that hands back another character is not remembered.
  struct StateSet {
    size_t Begin;
    Integer Count;
    bool Final;
  };

  TuiRegExprAutomat(TuiRegExpr* AOwner, TObjectPtr<TuiRegExprParserAlts> ATree);
  bool BuildStates();
  void Number(TuiRegExprState* AState);
  // The simple states reachable from AState's successors through block states, each once.
  Span NextClosure(Integer AState);
  // The union of the next closures of the states of set ASet, in path order, each state once, into AOut.
  void NextClosureOf(Integer ASet, std::vector<Integer>& AOut);
  const Integer* States(Integer ASet) const { return setPool_.data() + sets_[static_cast<size_t>(ASet)].Begin; }
  // The set with these states, added when new.
  Integer Intern(const std::vector<Integer>& AStates);
  void ForgetSets();
  // Forgets the remembered steps when the case flag or a separator differs from when they were taken.
  void CheckSteps(bool ACaseInsensitive);
  int16_t* RememberedStep(Integer ASet, char32_t ACh);
  // True when every state tests for one and the same literal (separators by their current value).
  bool ForcedChar(const Integer* AStates, size_t ACount, char32_t& ACh) const;
  // The set a forced literal leads to from set ASet (its character in ACh), or -2 when ASet's next
  // states are not one literal. Answered once per set and remembered (until the separators change).
  Integer ForcedStep(Integer ASet, char32_t& ACh);
  uint32_t NewStamp(std::vector<uint32_t>& AMarks, uint32_t& AStamp);

  TuiRegExpr* owner_;
  TObjectPtr<TuiRegExprParserAlts> tree_;
  TObjectPtr<TuiRegExprSimpleState> start_;
  std::vector<TuiRegExprState*> states_;
  std::vector<TuiRegExprSimpleState*> simple_;  // by index; nil for block states
  // The successors of each state by index: those of state i are succ_[succBegin_[i] .. succBegin_[i + 1]).
  std::vector<Integer> succBegin_, succ_;
  // The literal each simple state tests for: its character, or one of the codes kNoLiteral,
  // kDateSeparatorLiteral and kTimeSeparatorLiteral (uiRegExpr.cpp).
  std::vector<int64_t> literal_;
  // The sets met so far, and by the hash of their states.
  std::vector<StateSet> sets_;
  std::vector<Integer> setPool_;
  std::vector<std::vector<Integer>> setsByHash_;
  std::vector<int16_t> steps_;
  bool stepsCaseInsensitive_ = false;
  char stepsDateSeparator_ = 0, stepsTimeSeparator_ = 0;
  // Per set: the set its forced literal leads to (-1 not known yet, -2 none) and that literal, as taken
  // with these separators.
  std::vector<Integer> forcedStep_;
  std::vector<char32_t> forcedChar_;
  char forcedDateSeparator_ = 0, forcedTimeSeparator_ = 0;
  // The positions since Restart, as sets; the last one is the current position.
  std::vector<Integer> frames_;
  // Next closures computed so far: closureAt_ is -1 until a state's closure is in closurePool_ (its count,
  // then its states); a closure that does not fit the pool's budget is computed again each time.
  std::vector<Integer> closureAt_;
  std::vector<Integer> closurePool_;
  std::vector<Integer> scratch_, stack_, next_;
  std::vector<uint32_t> closureMarks_;
  uint32_t closureStamp_ = 0;
};

// ---- The engine ---------------------------------------------------------------------------------------

// A compiled pattern and its matcher. Compile may be called again at any time; every matching operation
// raises "Regular expression is not compiled" until a compilation succeeded.
//
// Size limits: a pattern whose parse tree would hold more than 20,000 items, nest deeper than 1,000
// levels or whose automaton would need more than 2^20 links between states does not compile ("The regular
// expression is too complex"); counts and back-references multiply a pattern's size. Auto-completion
// stops once the forced characters of one step hold 2^14 states in their positions (only patterns that
// keep many loops open over a long forced run, such as (a+aaa){999}, get there); the rest can be typed.
class TuiRegExpr : public TObject {
  K58_CLASS(TuiRegExpr, TObject)

  TuiRegExpr();
  ~TuiRegExpr() override;

  // Compiles the whole of AStream (UTF-8 text). Raises EuiRegExprError with the errors, which stay
  // readable in Errors until the next compilation.
  void Compile(TStream* AStream);
  bool IsCompiled() const { return compiled_; }
  const TuiRegExprErrors& Errors() const { return errors_; }
  // The pattern's text when compiled, else nil.
  TMemoryStream* GetSource() const;

  // The text so far matches the whole pattern.
  bool IsFinal() const;
  bool IsAtStart() const;
  // Offers one character: true and moved on when some path takes it (ACh may come back in the pattern's
  // case), false and unchanged otherwise. With AutoComplete the forced characters follow.
  bool Advance(char32_t& ACh);
  // The same for one character of UTF-8 text; false for a string that is not one character.
  bool Advance(String& ACh);
  // Offers every character of AText in turn; AResult gets those taken, as AText holds them. Neither
  // restarts nor completes.
  void FilterText(const String& AText, String& AResult);
  // Returns to the previous position (with AutoComplete, first over the forced characters before it);
  // false when there is none.
  bool StepBack();
  // Back to the start; the history is emptied.
  void Restart();

  bool AutoComplete() const { return autoComplete_; }
  // Switching it on inserts the forced characters from the current position.
  void SetAutoComplete(bool Value);
  bool CaseInsensitive() const { return caseInsensitive_; }
  void SetCaseInsensitive(bool Value) { caseInsensitive_ = Value; }

  const TuiRegExprAppendCharEvent& OnAppendChar() const { return onAppendChar_; }
  void SetOnAppendChar(const TuiRegExprAppendCharEvent& Value) { onAppendChar_ = Value; }
  const TuiRegExprDeleteLastCharEvent& OnDeleteLastChar() const { return onDeleteLastChar_; }
  void SetOnDeleteLastChar(const TuiRegExprDeleteLastCharEvent& Value) { onDeleteLastChar_ = Value; }

  // The automaton of the compiled pattern (nil until compiled).
  const TuiRegExprAutomat* Automat() const { return automat_.get(); }

 private:
  friend class TuiRegExprAutomat;

  TuiRegExprAutomat& Compiled() const;
  void Reset();
  [[noreturn]] void Fail();

  TObjectPtr<TuiRegExprAutomat> automat_;
  TObjectPtr<TMemoryStream> source_;
  TuiRegExprErrors errors_;
  TuiLexems lexems_;
  TuiRegExprAppendCharEvent onAppendChar_;
  TuiRegExprDeleteLastCharEvent onDeleteLastChar_;
  bool compiled_ = false;
  bool caseInsensitive_ = false;
  bool autoComplete_ = false;
};
