// The grammar-driven parser: the rule walker, node and add emission, units, and the intermediate program.
#include "script/sc_ilparser.h"

#include <algorithm>

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Streams.h"
#include "script/sc_const.h"
#include "script/sc_grammar.h"
#include "script/sc_languages.h"

K58_IMPLEMENT_CLASS(TscILParser) {}

using k58::script::TGrammarKind;

namespace {

// Ends a parse at once with an error at a position: nesting too deep, a number that does not fit, or a
// unit that failed.
struct TParseAbort {
  String Message;
  String Position;
  String UnitName;
};

constexpr const char* kSyntaxError = "Syntax error";

// The rule levels a nested unit counts for.
constexpr Integer UnitDepth = 64;

// Lone line feeds become carriage return + line feed, and a text gets a final line break, as a script's
// joined lines have.
String NormalizeLineEnds(const String& Text) {
  if (Text.empty()) return Text;
  String result;
  result.reserve(Text.size() + Text.size() / 16 + 2);
  for (size_t i = 0; i < Text.size(); ++i) {
    if (Text[i] == '\n' && (i == 0 || Text[i - 1] != '\r')) result += '\r';
    result += Text[i];
  }
  if (result.size() < 2 || result.compare(result.size() - 2, 2, "\r\n") != 0) result += "\r\n";
  return result;
}

// The unit name a file line of a uses clause carries: its text between the first and last single quote.
String UnitNameOf(const String& Line) {
  const size_t start = Line.find(" text=\"");
  if (start == String::npos) return String();
  const size_t end = Line.find('"', start + 7);
  const String value = DecodeXMLText(Line.substr(start + 7, end == String::npos ? String::npos : end - start - 7));
  const size_t first = value.find('\'');
  const size_t last = value.rfind('\'');
  if (first == String::npos || last == first) return value;
  return value.substr(first + 1, last - first - 1);
}

}  // namespace

TscILParser::TscILParser(TscScript* Program)
    : program_(Program),
      ilDocument_(std::make_unique<TscXMLDocument>()),
      scanner_(std::make_unique<TscParser>()),
      includedUnits_(std::make_unique<TStringList>()) {}

TscILParser::~TscILParser() = default;

const TscXMLDocument* TscILParser::Grammar() const { return grammar_ ? &grammar_->Document() : nullptr; }

void TscILParser::LoadGrammar(const String& LanguageName) {
  std::shared_ptr<const k58::script::TscGrammar> grammar = k58::script::FindGrammar(LanguageName);
  TscParser& s = *scanner_;
  s.ResetSettings();
  // A language switch starts from the defaults, not from what the previous language set.
  s.SetCommentLine2(String());
  s.SetCaseSensitive(false);
  declarationsRequired_ = true;
  languageName_ = LanguageName;
  grammar_ = std::move(grammar);
  for (const String& keyword : grammar_->Keywords()) s.Keywords()->Add(keyword);
  for (const auto& [name, value] : grammar_->Settings()) {
    if (name == "identchars") {
      s.SetWordChars(value);
    } else if (name == "commentline1") {
      s.SetCommentLine1(value);
    } else if (name == "commentline2") {
      s.SetCommentLine2(value);
    } else if (name == "commentblock1") {
      s.SetBlockComment1(value);
    } else if (name == "commentblock2") {
      s.SetBlockComment2(value);
    } else if (name == "stringquotes") {
      s.SetStringQuotes(value);
    } else if (name == "hexsequence") {
      s.SetHexSequence(value);
    } else if (name == "skipchar") {
      s.SetSkipChar(value);
    } else if (name == "declarevars") {
      if (value == "0") declarationsRequired_ = false;
    } else if (name == "skipeol") {
      if (value == "0") s.SetSkipEOL(false);
    } else if (name == "casesensitive") {
      if (value == "1") s.SetCaseSensitive(true);
    }
  }
  if (highCharIdentifiers_) s.AddWordChars(128, 255);
}

bool TscILParser::ParseText(const String& Text) {
  errorText_.clear();
  errorPosition_.clear();
  errorUnitName_.clear();
  errorTerm_ = false;
  lines_.clear();
  farthest_ = 0;
  depth_ = 0;
  ilDocument_->Root()->Clear();
  const String text = NormalizeLineEnds(Text);
  TscParser& s = *scanner_;
  s.LoadText(text);
  if (text.empty()) {
    BuildDocument();
    return true;
  }

  // "#language <name>" on the first line selects the language; the line stays, so lines count it.
  Integer start = 1;
  if (text[0] == '#') {
    s.SetCursor(2);
    if (SameText(s.ReadWord(), "language")) {
      const size_t from = static_cast<size_t>(s.Cursor() - 1);
      const size_t cr = text.find('\r', from);
      LoadGrammar(Trim(text.substr(from, cr == String::npos ? String::npos : cr - from)));
      if (cr == String::npos) {
        start = s.Size() + 1;
      } else {
        start = static_cast<Integer>(cr) + 2;
        if (start <= s.Size() && text[static_cast<size_t>(start - 1)] == '\n') ++start;
      }
    }
  }
  if (!grammar_) throw Exception(Format(scconsts::SLangNotFound, String()));
  s.SetCursor(start);

  try {
    const Integer program = grammar_->ProgramRule();
    const bool matched = program < 0 || MatchElement(program);
    if (errorText_.empty()) {
      String message = grammar_->StatementExpected().empty() ? String(kSyntaxError) : grammar_->StatementExpected();
      if (!matched) {
        // Nothing named the failure: report where the text stopped fitting.
        errorText_ = message;
        errorPosition_ = s.LineColText(std::max(farthest_, start));
      } else if (!grammar_->SkipsTail()) {
        // The program must be all of the text.
        s.SkipBlanks();
        if (s.Cursor() <= s.Size()) {
          errorText_ = message;
          errorPosition_ = s.LineColText();
        }
      }
    }
  } catch (const TParseAbort& abort) {
    errorText_ = abort.Message;
    errorPosition_ = abort.Position;
    errorUnitName_ = abort.UnitName;
  }
  if (!errorText_.empty()) return false;
  errorPosition_.clear();
  BuildDocument();
  return true;
}

// The walker recurses once per grammar level, so its own frames hold no strings: what needs them is in
// the helpers it calls.
bool TscILParser::MatchElement(Integer Index) {
  // The depth goes back down on every return; an exception ends the parse, which starts again at 0.
  if (depthBase_ + depth_ >= MaxRuleDepth) StackOverflow();
  ++depth_;
  const bool result = Match(Index);
  --depth_;
  return result;
}

bool TscILParser::Match(Integer Index) {
  const TElement& e = grammar_->Elements()[static_cast<size_t>(Index)];
  TscParser& s = *scanner_;
  const Integer startPos = s.Cursor();
  const size_t startCount = lines_.size();
  bool matched = true;
  switch (e.Kind) {
    case TGrammarKind::Switch:
    case TGrammarKind::OptionalSwitch:
      for (size_t i = 0; i < e.Children.size(); ++i) {
        if (MatchElement(e.Children[i])) return true;
      }
      if (e.Kind == TGrammarKind::OptionalSwitch) return true;
      RecordError(e, startPos);
      return false;
    case TGrammarKind::Loop:
    case TGrammarKind::OptionalLoop:
      return MatchLoop(e, startPos);
    case TGrammarKind::Optional:
      for (size_t i = 0; i < e.Children.size(); ++i) {
        if (!MatchElement(e.Children[i])) {
          s.SetCursor(startPos);
          break;
        }
      }
      return true;
    case TGrammarKind::Reference:
      if (e.Target < 0) InvalidLanguage();
      matched = MatchElement(e.Target);
      break;
    case TGrammarKind::Rule:
    case TGrammarKind::Sequence:
      break;
    default:
      matched = MatchToken(e);
      break;
  }

  bool result = matched;
  if (!matched) {
    RecordError(e, startPos);
  } else {
    if (!e.IsRule && !e.Node.empty()) EmitNode(e, startPos, startCount, true);
    if (e.HasAdd) EmitAdd(e);
    for (size_t i = 0; i < e.Children.size(); ++i) {
      if (!MatchElement(e.Children[i])) {
        result = false;
        break;
      }
    }
  }
  if (!result) s.SetCursor(startPos);
  if (e.IsRule && !e.Node.empty()) EmitNode(e, startPos, startCount, result);
  return result;
}

bool TscILParser::MatchToken(const TElement& E) {
  TscParser& s = *scanner_;
  token_.clear();
  switch (E.Kind) {
    case TGrammarKind::Char:
      if (!E.NoSpaces) s.SkipBlanks();
      token_ = s.ReadPunct();
      break;
    case TGrammarKind::Keyword:
      token_ = s.ReadWord();
      break;
    case TGrammarKind::Ident:
      token_ = s.ReadIdentifier();
      break;
    case TGrammarKind::Number:
      token_ = s.ReadNumber();
      break;
    case TGrammarKind::String:
      token_ = ReadString();
      break;
    case TGrammarKind::FrString:
      token_ = ReadFrString();
      break;
    case TGrammarKind::Eol:
      if (s.ReadLineEnd()) return true;
      NoteFailure(false);
      return false;
    default:
      return true;
  }
  const bool matched = !token_.empty() &&
                       (!E.HasText || (s.CaseSensitive() ? token_ == E.Text : SameText(token_, E.Text)));
  if (!matched) NoteFailure(E.NoSpaces);
  return matched;
}

bool TscILParser::MatchLoop(const TElement& E, Integer StartPos) {
  TscParser& s = *scanner_;
  Integer repetitions = 0;
  bool firstFailed = false;
  Integer after = StartPos;
  for (;;) {
    ++repetitions;
    const Integer before = s.Cursor();
    bool all = true;
    for (size_t i = 0; i < E.Children.size(); ++i) {
      if (!MatchElement(E.Children[i])) {
        all = false;
        break;
      }
    }
    after = s.Cursor();
    if (!all) {
      firstFailed = repetitions == 1;
      break;
    }
    if (E.HasText && !ReadSeparator(E)) {
      s.SetCursor(after);
      break;
    }
    if (s.Cursor() == before) break;
  }
  if (repetitions > 1) {
    if (E.ClearsErrors || errorTerm_) {
      errorText_.clear();
      errorPosition_.clear();
      errorTerm_ = false;
    }
    s.SetCursor(after);
    return true;
  }
  if (firstFailed) {
    if (E.Kind == TGrammarKind::Loop) return false;
    s.SetCursor(StartPos);
  }
  return true;
}

bool TscILParser::ReadSeparator(const TElement& E) {
  scanner_->SkipBlanks();
  return scanner_->ReadPunct() == E.Text;
}

void TscILParser::StackOverflow() {
  throw TParseAbort{scconsts::SStackOverflow, scanner_->LineColText(), String()};
}

void TscILParser::InvalidLanguage() { throw Exception(scconsts::SInvalidLanguage); }

String TscILParser::ReadString() {
  TscParser& s = *scanner_;
  try {
    return s.ReadStringConst();
  } catch (const EConvertError& error) {
    // A character code beyond 32 bits: a compile error where the string begins.
    throw TParseAbort{error.Message(), s.LineColText(s.TokenStart()), String()};
  }
}

String TscILParser::ReadFrString() {
  TscParser& s = *scanner_;
  const String raw = s.ReadBracketedText();
  const String pos = "pos=\"" + s.LineColText() + "\"";
  // A call of the host's function Get with the raw text.
  lines_.push_back("<dsgn " + pos + ">");
  lines_.push_back("<node text=\"Get\" " + pos + "/>");
  lines_.push_back("<expr " + pos + ">");
  lines_.push_back("<string text=\"'" + EncodeXMLText(raw) + "'\" " + pos + "/>");
  lines_.push_back("</expr>");
  lines_.push_back("</dsgn>");
  return raw;
}

void TscILParser::NoteFailure(bool NoSpaces) {
  const TscParser& s = *scanner_;
  farthest_ = std::max(farthest_, NoSpaces ? s.Cursor() : s.TokenStart());
}

void TscILParser::RecordError(const TElement& E, Integer StartPos) {
  if (!E.HasErr || !errorText_.empty()) return;
  errorPosition_ = FirstTokenPos(StartPos);
  errorText_ = E.Error;
  errorTerm_ = E.Term;
}

String TscILParser::FirstTokenPos(Integer StartPos) {
  TscParser& s = *scanner_;
  const Integer current = s.Cursor();
  s.SetCursor(StartPos);
  s.SkipBlanks();
  String pos = s.LineColText();
  s.SetCursor(current);
  return pos;
}

void TscILParser::EmitNode(const TElement& E, Integer StartPos, size_t StartCount, bool Matched) {
  if (!Matched) {
    lines_.resize(StartCount);
    return;
  }
  if (E.UsesNode) {
    IncludeUnits(StartCount);
    return;
  }
  String open = "<" + E.Node + " pos=\"" + FirstTokenPos(StartPos) + "\"";
  if (E.ExprNode) open += " pos1=\"" + scanner_->LineColText() + "\"";
  open += ">";
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(StartCount), std::move(open));
  lines_.push_back("</" + E.Node + ">");
}

void TscILParser::EmitAdd(const TElement& E) {
  // Only tokens carry their text; a reference or a line end carries none.
  const bool token = !E.IsRule && E.Kind >= TGrammarKind::Char && E.Kind <= TGrammarKind::FrString;
  const String& value = E.HasAddText ? E.AddText : token ? token_ : String();
  lines_.push_back("<" + E.Add + " text=\"" + EncodeXMLText(value) + "\" pos=\"" +
                   scanner_->LineColText() + "\"/>");
}

void TscILParser::IncludeUnits(size_t StartCount) {
  // The file lines of the clause give way to the units they name, taken from the last to the first.
  const std::vector<String> files(lines_.begin() + static_cast<std::ptrdiff_t>(StartCount), lines_.end());
  lines_.resize(StartCount);
  size_t at = StartCount;
  for (auto file = files.rbegin(); file != files.rend(); ++file) LoadUnit(UnitNameOf(*file), at);
}

void TscILParser::LoadUnit(const String& Name, size_t& At) {
  if (includedUnits_->IndexOf(Name) >= 0) return;
  includedUnits_->Add(Name);
  String text;
  if (onGetUnit_) {
    onGetUnit_(program_, Name, text);
  } else {
    TStringList file;
    file.LoadFromFile(Name);
    text = file.Text();
  }
  String programText;
  if (!text.empty()) {
    TscILParser unit(program_);
    unit.SetUnitName(Name);
    unit.SetOnGetUnit(onGetUnit_);
    unit.SetHighCharIdentifiers(highCharIdentifiers_);
    // A unit costs the native stack far more than one rule does.
    unit.depthBase_ = depthBase_ + depth_ + UnitDepth;
    unit.LoadGrammar(languageName_);
    unit.IncludedUnits()->Assign(includedUnits_.get());
    if (!unit.ParseText(text)) {
      throw TParseAbort{unit.ErrorText(), unit.ErrorPosition(),
                        unit.ErrorUnitName().empty() ? Name : unit.ErrorUnitName()};
    }
    includedUnits_->Assign(unit.IncludedUnits());
    TStringStream saved;
    unit.ILDocument()->SaveToStream(&saved);
    const String& xml = saved.DataString();
    const size_t header = xml.find("?>");
    programText = header == String::npos ? xml : xml.substr(header + 2);
  }
  const std::vector<String> block = {"<uses unit=\"" + EncodeXMLText(Name) + "\">", programText, "</uses>"};
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(At), block.begin(), block.end());
  At += block.size();
}

void TscILParser::BuildDocument() {
  size_t size = 64;
  for (const String& line : lines_) size += line.size() + 1;
  String xml;
  xml.reserve(size);
  xml += "<?xml version=\"1.0\"?>\n<program>\n";
  for (const String& line : lines_) {
    xml += line;
    xml += '\n';
  }
  xml += "</program>";
  lines_.clear();
  TStringStream stream(xml);
  ilDocument_->LoadFromStream(&stream);
  TscXMLItem* types = ilDocument_->Root()->Add();
  if (grammar_ && grammar_->Types() != nullptr) {
    types->CopyFrom(grammar_->Types());
  } else {
    types->SetName("types");
  }
}
