// A language grammar in the form the grammar-driven parser walks: the grammar document with its rules
// flattened into an element table, references resolved and attributes decoded once.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "script/sc_xml.h"

namespace k58::script {

enum class TGrammarKind : uint8_t {
  Rule,  // a top-level element: its children in order
  Char,
  Keyword,
  Ident,
  Number,
  String,
  FrString,
  Eol,
  Sequence,
  Switch,
  OptionalSwitch,
  Loop,
  OptionalLoop,
  Optional,
  Reference,  // any other name: the rule so named
};

struct TGrammarElement {
  TGrammarKind Kind = TGrammarKind::Sequence;
  bool IsRule = false;
  bool HasText = false;
  bool NoSpaces = false;      // a char with skip "0": no blanks before it
  bool ClearsErrors = false;  // a loop with skip "1"
  bool Term = false;
  bool HasErr = false;
  bool HasAdd = false;
  bool HasAddText = false;
  bool UsesNode = false;  // node "uses": includes the units named by the lines it wraps
  bool ExprNode = false;  // node "expr": also carries the position after the expression
  Integer Target = -1;    // the rule a reference names; -1 when the grammar has none
  String Name;            // as written, for diagnostics
  String Text;            // lower case
  String Node;            // lower case
  String Add;
  String AddText;
  String Error;           // the message err names (empty when errors has none)
  std::vector<Integer> Children;
};

class TscGrammar {
 public:
  // Parses a grammar text; "Invalid file format" when it is no document.
  explicit TscGrammar(const String& Text);

  const TscXMLDocument& Document() const { return document_; }
  const std::vector<TGrammarElement>& Elements() const { return elements_; }
  // The start rule; -1 when the grammar has none (it then matches nothing).
  Integer ProgramRule() const { return programRule_; }
  // The reserved words and the scanner settings (element name in lower case, value) of the parser section.
  const std::vector<String>& Keywords() const { return keywords_; }
  const std::vector<std::pair<String, String>>& Settings() const { return settings_; }
  // The type-name mapping copied into every intermediate program (nullptr when the grammar has none).
  const TscXMLItem* Types() const { return types_; }
  // The message of err3, used for text after the program and for failures no element reported.
  const String& StatementExpected() const { return statementExpected_; }
  // True when text after what the program rule matched is not examined (setting skiptail "1").
  bool SkipsTail() const { return skipsTail_; }

 private:
  Integer AddElement(const TscXMLItem* Item, bool IsRule);

  TscXMLDocument document_;
  std::vector<TGrammarElement> elements_;
  Integer programRule_ = -1;
  std::vector<String> keywords_;
  std::vector<std::pair<String, String>> settings_;
  const TscXMLItem* types_ = nullptr;
  const TscXMLItem* errors_ = nullptr;
  String statementExpected_;
  bool skipsTail_ = false;
};

}  // namespace k58::script
