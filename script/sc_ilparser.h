// The script engine's front end: TscILParser turns script text into the intermediate program, an XML
// document of declarations, statements, expressions and designators with their source positions, by
// walking the language's grammar (script/sc_languages.h) against the lexical scanner (sc_parser.h).
//
// Contract of the script library:
// - Threads: none of it creates a thread or takes a lock. The language registry is process-wide and is
//   filled at start-up (RegisterScriptLanguages) before any script is parsed; a parser, its documents and
//   its scanner belong to the one thread that uses them.
// - Ownership: a parser owns its scanner, its intermediate program and its lists; grammars are shared
//   with the registry, which keeps a parsed grammar until its language is registered again (a parser
//   keeps the grammar it loaded). The script being compiled (Program) is not owned.
// - Positions: texts are UTF-8; positions are 1-based byte indexes and columns count bytes, written
//   "line:col". A bare line feed is taken as carriage return + line feed before parsing, and a text that
//   does not end in a line break gets one, as a script's joined lines have; positions are those of that
//   text (columns are unchanged by it).
// - Re-entry: ParseText calls OnGetUnit for each unit a script includes and parses the unit in a nested
//   parser; the handler must not use this parser. Syntax errors are not exceptions (ParseText returns
//   false with ErrorText and ErrorPosition); exceptions leave ParseText for an unregistered language,
//   a grammar referring to a rule it lacks, a unit file that cannot be opened, and whatever OnGetUnit
//   raises.
// - Limits: grammar rules nest at most MaxRuleDepth deep, a used unit counting for 64 levels; deeper
//   text fails with "Stack overflow" at the place it was reached, so no script text can exhaust the
//   native stack.
#pragma once

#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/classes/Delegate.h"
#include "platform/classes/StringList.h"
#include "platform/classes/TypInfo.h"
#include "script/sc_parser.h"
#include "script/sc_xml.h"

class TscScript;
class TscStatement;
class TscCustomVariable;
class TscDesignator;
class TscDesignatorItem;
class TscExpression;
class TscSetExpression;
class TscProcVariable;
class TscClassVariable;
class TscWithStmt;
enum TscTypeCode : uint8_t;  // sc_interpreter.h

namespace k58::script {
class TscGrammar;
struct TGrammarElement;
}  // namespace k58::script

// Supplies the source text (or the intermediate program) of a used unit.
K58_EVENT_TYPE(TscGetUnitEvent, void(TscScript* Sender, const String& UnitName, String& UnitText))

// How a designator is built: as written, after "new" (the class's constructor is called), after
// "delete" (the object's Free is called).
enum TscDesignatorMode { dmNormal, dmConstructor, dmDelete };

// Deepest nesting of grammar rules in one parse, units included; kept below the XML reader's limit so
// that every intermediate program written loads back.
inline constexpr Integer MaxRuleDepth = MaxXMLDepth - 64;

class TscILParser : public TObject {
  K58_CLASS(TscILParser, TObject)

  explicit TscILParser(TscScript* Program);
  ~TscILParser() override;

  // Selects the language: the scanner gets the grammar's settings and keywords (starting from the
  // defaults, declarations required), and identifier characters 128-255 with HighCharIdentifiers.
  // "Language '%s' not found" for a name that is not registered.
  void LoadGrammar(const String& LanguageName);
  // Parses Text into the intermediate program. A first line "#language <name>" selects that language
  // first. False, with ErrorText and ErrorPosition set, at the first syntax error; an empty text is an
  // empty program.
  bool ParseText(const String& Text);

  TscScript* Program() const { return program_; }
  TscParser* Scanner() const { return scanner_.get(); }
  // The intermediate program of the last successful ParseText.
  TscXMLDocument* ILDocument() const { return ilDocument_.get(); }
  // The loaded grammar's document (nullptr before LoadGrammar).
  const TscXMLDocument* Grammar() const;
  const String& LanguageName() const { return languageName_; }
  // False when the grammar lets undeclared identifiers be declared implicitly.
  bool DeclarationsRequired() const { return declarationsRequired_; }
  // The unit this parser parses; empty for the main text.
  const String& UnitName() const { return unitName_; }
  void SetUnitName(const String& Value) { unitName_ = Value; }
  // Units already included (ignoring case); each is included once.
  TStringList* IncludedUnits() const { return includedUnits_.get(); }
  // Supplies unit texts; without it a unit is read from the file of that name.
  const TscGetUnitEvent& OnGetUnit() const { return onGetUnit_; }
  void SetOnGetUnit(const TscGetUnitEvent& Value) { onGetUnit_ = Value; }
  // Bytes 128-255 form identifiers; applied by LoadGrammar.
  bool HighCharIdentifiers() const { return highCharIdentifiers_; }
  void SetHighCharIdentifiers(bool Value) { highCharIdentifiers_ = Value; }

  // The outcome of the last ParseText or BuildProgram: the first error's message and "line:col", and the
  // unit it was in (empty for the main text). All empty after a success.
  const String& ErrorText() const { return errorText_; }
  const String& ErrorPosition() const { return errorPosition_; }
  const String& ErrorUnitName() const { return errorUnitName_; }

  // ---- Building the program tree (sc_builder.cpp) ----
  // Builds the intermediate program of the last successful ParseText into Program: declarations become
  // items of it (or of procedure scripts), statements go to its main statement. At the first error
  // (every exception of the class library's tree) false, with ErrorText, ErrorPosition (the element being
  // built) and ErrorUnitName; what was built before the error stays.
  bool BuildProgram();
  // A designator from a dsgn element, in Script; the caller owns it. Raises the builder's errors.
  TscDesignator* BuildDesignator(const TscXMLItem* Element, TscScript* Script, TscDesignatorMode Mode);
  // An expression from an expr element (children in place for nested ones); the caller owns it.
  TscExpression* BuildExpression(const TscXMLItem* Element, TscScript* Script);
  TscSetExpression* BuildSet(const TscXMLItem* Element, TscScript* Script);

 private:
  using TElement = k58::script::TGrammarElement;

  bool MatchElement(Integer Index);
  bool Match(Integer Index);
  bool MatchToken(const TElement& E);
  bool MatchLoop(const TElement& E, Integer StartPos);
  bool ReadSeparator(const TElement& E);
  [[noreturn]] void StackOverflow();
  [[noreturn]] void InvalidLanguage();
  String ReadString();
  String ReadFrString();
  void NoteFailure(bool NoSpaces);
  void RecordError(const TElement& E, Integer StartPos);
  void EmitNode(const TElement& E, Integer StartPos, size_t StartCount, bool Matched);
  void EmitAdd(const TElement& E);
  void IncludeUnits(size_t StartCount);
  void LoadUnit(const String& Name, size_t& At);
  void BuildDocument();
  String FirstTokenPos(Integer StartPos);

  // The builder.
  enum class TWithResult { NotFound, Found, Deferred };
  struct TWithClause {
    String Name;
    TscCustomVariable* Variable;
    TscWithStmt* Statement;
  };
  [[noreturn]] void BuildError(const String& Message);
  void ProcessProgram(const TscXMLItem* Element, TscScript* Script);
  void DeclareIn(const TscXMLItem* Element, TscScript* Script);
  TscProcVariable* DeclareProcedure(const TscXMLItem* Element, TscScript* Script);
  TscProcVariable* DeclareFunction(const TscXMLItem* Element, TscScript* Script);
  void DeclareParameters(const TscXMLItem* Element, TscProcVariable* Proc);
  void ProcessStatement(const TscXMLItem* Element, TscScript* Script, TscStatement* List);
  void Append(TscStatement* List, TscStatement* Statement);
  void BuildAssignment(const TscXMLItem* Element, TscScript* Script, TscStatement* List);
  void BuildCall(const TscXMLItem* Element, TscScript* Script, TscStatement* List, TscDesignatorMode Mode);
  void BuildIf(const TscXMLItem* Element, TscScript* Script, TscStatement* List);
  void BuildCase(const TscXMLItem* Element, TscScript* Script, TscStatement* List);
  void BuildFor(const TscXMLItem* Element, TscScript* Script, TscStatement* List, bool Basic);
  void BuildCppFor(const TscXMLItem* Element, TscScript* Script, TscStatement* List);
  void BuildWhile(const TscXMLItem* Element, TscScript* Script, TscStatement* List);
  void BuildRepeat(const TscXMLItem* Element, TscScript* Script, TscStatement* List);
  void BuildTry(const TscXMLItem* Element, TscScript* Script, TscStatement* List);
  void BuildReturn(const TscXMLItem* Element, TscScript* Script, TscStatement* List);
  void BuildWith(const TscXMLItem* Element, TscScript* Script, TscStatement* List);
  void BuildUses(const TscXMLItem* Element, TscScript* Script);
  void DeclareVariables(const TscXMLItem* Element, TscScript* Script, TscStatement* List);
  void DeclareConstant(const TscXMLItem* Element, TscScript* Script);
  void BuildBody(const TscXMLItem* Element, TscScript* Script);
  TscCustomVariable* CreateVariable(const TscXMLItem* Element, TscScript* Script, bool ByRef, bool AsParameter,
                                    TscStatement* List, const String& Name);
  void MakeArray(const TscXMLItem* Element, TscCustomVariable* Variable, TscScript* Script);
  Variant EvalInit(const TscXMLItem* Element, TscScript* Script, TscCustomVariable* Variable);
  void AddExpressionChildren(const TscXMLItem* Element, TscExpression* Expression, TscScript* Script);
  String SourceTextOf(const TscXMLItem* Element) const;
  TWithResult WithLookup(const TscXMLItem* Element, TscScript* Script, const String& Name, TscDesignator* Designator,
                         TscDesignatorItem* Item);
  bool AddMemberItem(const TscXMLItem* Element, Integer Index, TscScript* Script, TscDesignator* Designator);
  void AddLateBoundItems(const TscXMLItem* Element, Integer From, TscScript* Script, TscDesignator* Designator);
  void CheckArguments(TscDesignator* Designator);
  TscDesignator* SpecializeDesignator(TscDesignator* Designator);
  TscExpression* ConstantExpression(const Variant& Value, TscScript* Script);
  TscTypeCode ResolveType(String& Name);
  TscClassVariable* FindClassOrFail(const String& Name, const TscScript* Script);
  TscCustomVariable* FindVariable(TscScript* Script, const String& Name);
  void CheckRedeclared(TscScript* Script, const String& Name);
  void CheckTypes(const TscCustomVariable* Variable, const TscCustomVariable* Expression);

  TscScript* program_;
  std::shared_ptr<const k58::script::TscGrammar> grammar_;
  std::unique_ptr<TscXMLDocument> ilDocument_;
  String languageName_;
  bool declarationsRequired_ = true;
  std::unique_ptr<TscParser> scanner_;
  String unitName_;
  std::unique_ptr<TStringList> includedUnits_;
  TscGetUnitEvent onGetUnit_;
  bool highCharIdentifiers_ = false;

  // The walk.
  String errorText_;
  String errorPosition_;
  String errorUnitName_;
  bool errorTerm_ = false;
  std::vector<String> lines_;
  String token_;            // the token an element just read
  Integer farthest_ = 0;    // the furthest place a token was looked for and not found
  Integer depth_ = 0;       // rules entered and not left
  Integer depthBase_ = 0;   // the including parser's depth, for a unit

  // The build.
  String errorPos_;                                // the pos of the element being built
  const TscXMLItem* programElement_ = nullptr;     // the program element whose types apply
  String buildUnit_;                               // the unit being built; empty for the main text
  std::vector<TWithClause> withList_;              // open with clauses, innermost last
  std::unordered_map<const TscXMLItem*, TscProcVariable*> declared_;  // procedures by their element
};
