// The regular-expression engine against PCRE2: random patterns over a small alphabet, written in the mask
// syntax and translated for PCRE2, times texts made from them. A complete text must be an anchored full
// match, every character taken a viable prefix (hard partial match), and a character the engine inserts by
// itself the only one PCRE2 keeps viable. A failing case prints its seed.
//
// The patterns keep to what both engines mean alike: a back-reference \k is PCRE2's subroutine call (?k)
// followed by the quantifiers the k-th block carries, it refers to a block already closed, and a block whose
// contents may be empty carries a ? of its own (the engine decides optionality by an item's own quantifier).
#include <gtest/gtest.h>

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <random>
#include <set>

#include "controls/editors/uiRegExpr.h"
#include "platform/rtl/FormatSettings.h"
#include "tests/controls/editors/EditorsTesting.h"

namespace editors_test {
namespace {

constexpr uint32_t kFirstSeed = 5141;

// Characters the texts are made of (code points below 256, one byte each for PCRE2).
const std::vector<int> kTextAlphabet = {'a', 'b', 'c', 'A', 'B', '0', '1', '9', 'x', '-', ':', '.',
                                        ' ', '_', '\t', '\'', '\\', 0, 0xE9};

String Hex(int ACh) {
  char text[16];
  std::snprintf(text, sizeof text, "\\x{%x}", ACh);
  return text;
}

struct Quant {
  char Kind;  // ? * + {
  int Low = 0, High = 0;  // for {: High -1 without upper bound
};

struct Node {
  enum Kind { Leaf, Group, Ref } kind = Leaf;
  String Ours, Pcre;                   // a leaf's text in both syntaxes
  std::function<bool(int)> Holds;      // a leaf's characters
  std::vector<std::vector<std::unique_ptr<Node>>> Alts;  // a group's alternatives
  int Number = 0;                      // a group's number, or the group a reference copies
  std::vector<Quant> Quants;
  std::vector<Quant> RefQuants;        // a reference: the quantifiers the copied block carries
  // Item state as the engine sees it after the quantifiers.
  bool MayBeEmpty = false, AllowsAbsence = false, HasQuant = false;
};

// A closed block as a back-reference copies it.
struct GroupInfo {
  const Node* Group;
  std::vector<Quant> EntryQuants;
  bool MayBeEmpty, AllowsAbsence, HasQuant;
};

class Generator {
 public:
  Generator(uint32_t ASeed, bool ACaseInsensitive) : rng_(ASeed), caseInsensitive_(ACaseInsensitive) {}

  int Next(int ACount) { return static_cast<int>(rng_() % static_cast<uint32_t>(ACount)); }
  bool Chance(int APercent) { return Next(100) < APercent; }

  std::vector<std::vector<std::unique_ptr<Node>>> Pattern() { return Alternatives(0); }

  std::mt19937& Rng() { return rng_; }
  const std::vector<GroupInfo>& Groups() const { return groups_; }

 private:
  String Space() { return Chance(15) ? " " : ""; }

  std::vector<std::vector<std::unique_ptr<Node>>> Alternatives(int ADepth) {
    std::vector<std::vector<std::unique_ptr<Node>>> alts(static_cast<size_t>(1 + (Chance(30) ? Next(2) + 1 : 0)));
    for (auto& alt : alts) {
      const int count = 1 + Next(ADepth == 0 ? 4 : 3);
      for (int i = 0; i < count; ++i) alt.push_back(Item(ADepth));
    }
    return alts;
  }

  std::unique_ptr<Node> Item(int ADepth) {
    std::unique_ptr<Node> node;
    const int choice = Next(100);
    if (choice < 14 && ADepth < 2) {
      node = Group(ADepth);
    } else if (choice < 24 && !closed_.empty()) {
      node = Reference();
    } else {
      node = LeafNode();
    }
    const int quantifiers = Chance(45) ? 0 : (Chance(75) ? 1 : 2);
    for (int i = 0; i < quantifiers || (i == 0 && node->kind == Node::Group && node->MayBeEmpty); ++i) Quantify(*node);
    if (node->kind == Node::Group) Close(*node);
    return node;
  }

  std::unique_ptr<Node> Group(int ADepth) {
    auto node = std::make_unique<Node>();
    node->kind = Node::Group;
    node->Number = ++opened_;
    node->Alts = Alternatives(ADepth + 1);
    for (const auto& alt : node->Alts) {
      bool empty = true;
      for (const auto& item : alt) empty = empty && item->MayBeEmpty;
      node->MayBeEmpty = node->MayBeEmpty || empty;
    }
    return node;
  }

  // Records a closed block and the quantifiers its back-references copy: those applied while the block
  // was still the item itself (a count's replacement counts as the block).
  void Close(const Node& AGroup) {
    GroupInfo info{&AGroup, {}, AGroup.MayBeEmpty, false, false};
    bool contentEmpty = AGroup.MayBeEmpty;
    bool quantified = false;
    for (const Quant& q : AGroup.Quants) {
      if (quantified) break;
      info.EntryQuants.push_back(q);
      if (q.Kind == '{') {
        if (q.Low == 0) {
          quantified = true;
          info.AllowsAbsence = true;
        } else {
          contentEmpty = false;
        }
      } else {
        quantified = true;
        info.AllowsAbsence = q.Kind != '+';
      }
    }
    info.HasQuant = quantified;
    info.MayBeEmpty = info.AllowsAbsence || contentEmpty;
    groups_.push_back(info);
    if (AGroup.Number <= 9) closed_.push_back(static_cast<int>(groups_.size()) - 1);
  }

  std::unique_ptr<Node> Reference() {
    const GroupInfo& info = groups_[static_cast<size_t>(closed_[static_cast<size_t>(Next(static_cast<int>(closed_.size())))])];
    auto node = std::make_unique<Node>();
    node->kind = Node::Ref;
    node->Number = info.Group->Number;
    node->RefQuants = info.EntryQuants;
    node->MayBeEmpty = info.MayBeEmpty;
    node->AllowsAbsence = info.AllowsAbsence;
    node->HasQuant = info.HasQuant;
    return node;
  }

  // Applies a quantifier the engine allows here; the first one of a block that may be empty is ?.
  void Quantify(Node& ANode) {
    std::vector<char> allowed = {'?'};
    if (!(ANode.kind == Node::Group && ANode.MayBeEmpty && ANode.Quants.empty())) {
      if (!ANode.MayBeEmpty) allowed.insert(allowed.end(), {'*', '+', '{', '{'});
    }
    Quant q{allowed[static_cast<size_t>(Next(static_cast<int>(allowed.size())))]};
    if (q.Kind == '{') {
      q.Low = Next(4);
      q.High = Chance(25) ? -1 : q.Low + Next(3) + (q.Low == 0 ? 1 : 0);
      if (q.Low == 0) {
        ANode.MayBeEmpty = ANode.AllowsAbsence = ANode.HasQuant = true;
      } else {
        ANode.MayBeEmpty = ANode.AllowsAbsence = ANode.HasQuant = false;
      }
    } else {
      ANode.AllowsAbsence = q.Kind != '+';
      ANode.MayBeEmpty = ANode.AllowsAbsence;
      ANode.HasQuant = true;
    }
    ANode.Quants.push_back(q);
  }

  std::unique_ptr<Node> Literal(int ACh, const String& AOurs) {
    auto node = std::make_unique<Node>();
    node->Ours = AOurs;
    node->Pcre = Hex(ACh);
    node->Holds = [ACh](int c) { return c == ACh; };
    return node;
  }

  std::unique_ptr<Node> LeafNode() {
    static const char kLiterals[] = "abc01x";
    const int ch = kLiterals[Next(6)];
    switch (Next(12)) {
      case 0: return Literal(ch, "'" + String(1, static_cast<char>(ch)) + "'");
      case 1: return Chance(50) ? Literal('\'', "''''") : Literal(' ', "' '");
      case 2: {
        char text[8];
        std::snprintf(text, sizeof text, "\\x%02X", ch);
        return Literal(ch, text);
      }
      case 3: {
        static const std::pair<int, const char*> kEscapes[] = {{'.', "\\."}, {'\\', "\\\\"}, {'\t', "\\t"},
                                                               {'0', "\\0"}, {'-', "\\-"}, {'\'', "\\'"}};
        const auto& e = kEscapes[Next(6)];
        return Literal(e.first, e.second);
      }
      case 4: {
        auto node = std::make_unique<Node>();
        node->Ours = ".";
        // Not PCRE2's dot with the dot-all option: its partial matching misses texts shorter than a
        // counted dot.
        node->Pcre = "[\\x{0}-\\x{ff}]";
        node->Holds = [](int) { return true; };
        return node;
      }
      case 5: return ClassLeaf();
      case 6: {
        const bool date = Chance(50);
        const int sep = static_cast<unsigned char>(date ? FormatSettings.DateSeparator : FormatSettings.TimeSeparator);
        return Literal(sep, date ? "/" : ":");
      }
      case 7: case 8: return SetLeaf();
      default: return Literal(ch, String(1, static_cast<char>(ch)));
    }
  }

  struct ClassDef {
    const char* Ours;
    const char* Pcre;  // as a whole
    const char* InSet;  // inside a set (nil: not used there)
    std::function<bool(int)> Holds;
  };

  static const std::vector<ClassDef>& Classes() {
    static const auto digit = [](int c) { return c >= '0' && c <= '9'; };
    static const auto word = [](int c) {
      return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    };
    static const auto space = [](int c) { return c == ' ' || c == 0 || c == 9 || c == 10 || c == 12 || c == 13; };
    static const std::vector<ClassDef> classes = {
        {"\\d", "[0-9]", "0-9", digit},
        {"\\D", "[^0-9]", "\\D", [](int c) { return !digit(c); }},
        {"\\w", "[A-Za-z0-9_]", "A-Za-z0-9_", word},
        {"\\W", "[^A-Za-z0-9_]", "\\W", [](int c) { return !word(c); }},
        {"\\s", "[ \\x{0}\\t\\n\\f\\r]", " \\x{0}\\t\\n\\f\\r", space},
        {"\\S", "[^ \\x{0}\\t\\n\\f\\r]", nullptr, [](int c) { return !space(c); }},
    };
    return classes;
  }

  std::unique_ptr<Node> ClassLeaf() {
    const ClassDef& def = Classes()[static_cast<size_t>(Next(6))];
    auto node = std::make_unique<Node>();
    node->Ours = def.Ours;
    node->Pcre = def.Pcre;
    node->Holds = def.Holds;
    return node;
  }

  std::unique_ptr<Node> SetLeaf() {
    static const char kLiterals[] = "abc01x.";
    auto node = std::make_unique<Node>();
    std::vector<std::function<bool(int)>> parts;
    String ours = "[", pcre = "[";
    const bool inverse = Chance(30);
    if (inverse) {
      ours += "^";
      pcre += "^";
    }
    const int count = 1 + Next(3);
    for (int i = 0; i < count; ++i) {
      ours += Space();
      const int kind = Next(caseInsensitive_ ? 2 : 3);
      if (kind == 0) {
        const int ch = kLiterals[Next(7)];
        ours += String(1, static_cast<char>(ch));
        pcre += Hex(ch);
        parts.push_back([ch](int c) { return c == ch; });
      } else if (kind == 1) {
        const ClassDef* def;
        do def = &Classes()[static_cast<size_t>(Next(6))];
        while (def->InSet == nullptr);
        ours += def->Ours;
        pcre += def->InSet;
        parts.push_back(def->Holds);
      } else {
        static const std::pair<int, int> kRanges[] = {{'a', 'c'}, {'0', '1'}, {'a', 'b'}, {'A', 'C'}};
        const auto range = kRanges[Next(4)];
        ours += String(1, static_cast<char>(range.first)) + Space() + "-" + Space() + String(1, static_cast<char>(range.second));
        pcre += Hex(range.first) + "-" + Hex(range.second);
        parts.push_back([range](int c) { return c >= range.first && c <= range.second; });
      }
    }
    node->Ours = ours + Space() + "]";
    node->Pcre = pcre + "]";
    node->Holds = [parts, inverse](int c) {
      bool in = false;
      for (const auto& part : parts) in = in || part(c);
      return in != inverse;
    };
    return node;
  }

  std::mt19937 rng_;
  bool caseInsensitive_;
  int opened_ = 0;
  std::vector<GroupInfo> groups_;
  std::vector<int> closed_;  // indexes into groups_ of blocks a reference may copy
};

// ---- Rendering ----

String QuantText(const Quant& AQuant) {
  if (AQuant.Kind != '{') return String(1, AQuant.Kind);
  String text = "{" + std::to_string(AQuant.Low);
  if (AQuant.High < 0) return text + ",}";
  return text + "," + std::to_string(AQuant.High) + "}";
}

// PCRE2 has no "quantifier on a quantified item"; each further quantifier wraps the item.
String PcreQuantified(String AAtom, const std::vector<Quant>& AQuants) {
  bool quantified = false;
  for (const Quant& q : AQuants) {
    if (quantified) AAtom = "(?:" + AAtom + ")";
    AAtom += QuantText(q);
    quantified = true;
  }
  return AAtom;
}

String RenderAlts(const std::vector<std::vector<std::unique_ptr<Node>>>& AAlts, bool AOurs, std::mt19937& ARng);

String Render(const Node& ANode, bool AOurs, std::mt19937& ARng) {
  String atom;
  switch (ANode.kind) {
    case Node::Leaf: atom = AOurs ? ANode.Ours : ANode.Pcre; break;
    case Node::Group: atom = "(" + RenderAlts(ANode.Alts, AOurs, ARng) + ")"; break;
    case Node::Ref:
      atom = AOurs ? "\\" + std::to_string(ANode.Number) : PcreQuantified("(?" + std::to_string(ANode.Number) + ")", ANode.RefQuants);
      break;
  }
  if (!AOurs) return ANode.kind == Node::Ref && !ANode.Quants.empty() ? PcreQuantified("(?:" + atom + ")", ANode.Quants)
                                                                      : PcreQuantified(atom, ANode.Quants);
  for (const Quant& q : ANode.Quants) atom += (ARng() % 5 == 0 ? " " : "") + QuantText(q);
  return atom;
}

String RenderAlts(const std::vector<std::vector<std::unique_ptr<Node>>>& AAlts, bool AOurs, std::mt19937& ARng) {
  String text;
  for (size_t a = 0; a < AAlts.size(); ++a) {
    if (a > 0) text += "|";
    for (const auto& item : AAlts[a]) {
      const String next = Render(*item, AOurs, ARng);
      // Two quoted texts in a row would read as one with a quote inside.
      const bool quotes = AOurs && !text.empty() && text.back() == '\'' && next.front() == '\'';
      text += (quotes || (AOurs && ARng() % 6 == 0) ? " " : "") + next;
    }
  }
  return text;
}

// ---- Texts: a random walk through the pattern, then a small change ----

class Walker {
 public:
  Walker(std::mt19937& ARng, const std::vector<GroupInfo>& AGroups) : rng_(ARng), groups_(AGroups) {}

  void Alts(const std::vector<std::vector<std::unique_ptr<Node>>>& AAlts, std::vector<int>& AText) {
    const auto& alt = AAlts[rng_() % AAlts.size()];
    for (const auto& item : alt) Item(*item, AText);
  }

 private:
  void Item(const Node& ANode, std::vector<int>& AText) {
    Quantified(ANode, ANode.Quants, ANode.Quants.size(), AText);
  }

  // The atom with its first ACount quantifiers.
  void Quantified(const Node& ANode, const std::vector<Quant>& AQuants, size_t ACount, std::vector<int>& AText) {
    if (ACount == 0) return Atom(ANode, AText);
    const Quant& q = AQuants[ACount - 1];
    int times = 1;
    switch (q.Kind) {
      case '?': times = static_cast<int>(rng_() % 2); break;
      case '*': times = static_cast<int>(rng_() % 3); break;
      case '+': times = 1 + static_cast<int>(rng_() % 2); break;
      default: times = q.Low + static_cast<int>(rng_() % static_cast<uint32_t>((q.High < 0 ? 2 : q.High - q.Low) + 1));
    }
    for (int i = 0; i < times; ++i) Quantified(ANode, AQuants, ACount - 1, AText);
  }

  void Atom(const Node& ANode, std::vector<int>& AText) {
    switch (ANode.kind) {
      case Node::Leaf: {
        std::vector<int> members;
        for (int c : kTextAlphabet)
          if (ANode.Holds(c)) members.push_back(c);
        if (!members.empty()) AText.push_back(members[rng_() % members.size()]);
        return;
      }
      case Node::Group: return Alts(ANode.Alts, AText);
      case Node::Ref:
        for (const GroupInfo& info : groups_)
          if (info.Group->Number == ANode.Number) return Quantified(*info.Group, ANode.RefQuants, ANode.RefQuants.size(), AText);
    }
  }

  std::mt19937& rng_;
  const std::vector<GroupInfo>& groups_;
};

String Printable(const std::vector<int>& AText) {
  String text;
  for (int c : AText) {
    if (c >= 32 && c < 127 && c != '\\') {
      text += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      text += hex;
    }
  }
  return text;
}

// ---- PCRE2 ----

class Pcre {
 public:
  // The pattern must end at the end of the subject: \z rather than the end-anchored option, which
  // partial matching does not take.
  Pcre(const String& APattern, bool ACaseInsensitive) {
    const String pattern = "(?:" + APattern + ")\\z";
    int error = 0;
    PCRE2_SIZE offset = 0;
    code_ = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                          PCRE2_NO_START_OPTIMIZE | (ACaseInsensitive ? PCRE2_CASELESS : 0), &error,
                          &offset, nullptr);
    if (code_ == nullptr) {
      PCRE2_UCHAR message[256];
      pcre2_get_error_message(error, message, sizeof message);
      error_ = reinterpret_cast<const char*>(message);
      return;
    }
    data_ = pcre2_match_data_create_from_pattern(code_, nullptr);
    context_ = pcre2_match_context_create(nullptr);
    pcre2_set_match_limit(context_, 3000);
  }
  ~Pcre() {
    pcre2_match_context_free(context_);
    pcre2_match_data_free(data_);
    pcre2_code_free(code_);
  }

  const String& Error() const { return error_; }
  static inline int GaveUp = 0;

  // 1 yes, 0 no, -1 PCRE2 gave up.
  int Matches(const std::vector<int>& AText, size_t ALength, bool APartial) {
    String subject;
    for (size_t i = 0; i < ALength; ++i) subject += static_cast<char>(AText[i]);
    const uint32_t options = PCRE2_ANCHORED | (APartial ? PCRE2_PARTIAL_HARD : 0);
    const int rc = pcre2_match(code_, reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(), 0, options, data_, context_);
    if (rc == PCRE2_ERROR_MATCHLIMIT) {
      ++GaveUp;
      return -1;
    }
    return rc >= 0 || (APartial && rc == PCRE2_ERROR_PARTIAL) ? 1 : 0;
  }

 private:
  pcre2_code* code_ = nullptr;
  pcre2_match_data* data_ = nullptr;
  pcre2_match_context* context_ = nullptr;
  String error_;
};

struct OracleRun {
  int Patterns = 0, Texts = 0, Forced = 0;
};

// One pattern with its texts; false after a reported mismatch.
bool CheckSeed(uint32_t ASeed, bool ACaseInsensitive, OracleRun& ARun) {
  Generator generator(ASeed, ACaseInsensitive);
  const auto alts = generator.Pattern();
  std::mt19937 layout(ASeed);
  const String ours = RenderAlts(alts, true, layout);
  const String pcreText = RenderAlts(alts, false, layout);
  const String where = "seed " + std::to_string(ASeed) + (ACaseInsensitive ? " (case-insensitive)" : "") +
                       ": pattern " + ours + "  PCRE2: " + pcreText;
  Pcre pcre(pcreText, ACaseInsensitive);
  if (!pcre.Error().empty()) {
    ADD_FAILURE() << where << ": PCRE2 refuses it: " << pcre.Error();
    return false;
  }
  TuiRegExpr engine;
  engine.SetCaseInsensitive(ACaseInsensitive);
  try {
    Compile(engine, ours);
  } catch (const EuiRegExprError& e) {
    ADD_FAILURE() << where << ": does not compile: " << e.Message();
    return false;
  }
  ++ARun.Patterns;

  TuiRegExpr completing;
  std::vector<int> inserted;
  completing.SetOnAppendChar([&](char32_t ch) { inserted.push_back(static_cast<int>(ch)); });
  completing.SetCaseInsensitive(ACaseInsensitive);
  Compile(completing, ours);

  std::set<std::vector<int>> askedAfter;
  Walker walker(generator.Rng(), generator.Groups());
  for (int t = 0; t < 6; ++t) {
    std::vector<int> text;
    walker.Alts(alts, text);
    auto& rng = generator.Rng();
    const int change = static_cast<int>(rng() % 4);
    const int any = kTextAlphabet[rng() % kTextAlphabet.size()];
    if (change == 1 && !text.empty()) text[rng() % text.size()] = any;
    if (change == 2) text.insert(text.begin() + static_cast<std::ptrdiff_t>(rng() % (text.size() + 1)), any);
    if (change == 3 && !text.empty()) text.resize(rng() % text.size());
    if (text.size() > 16) text.resize(16);
    ++ARun.Texts;
    const String at = where + "  text " + Printable(text);

    engine.Restart();
    for (size_t i = 0;; ++i) {
      const int full = pcre.Matches(text, i, false);
      if (full >= 0 && engine.IsFinal() != (full == 1)) {
        ADD_FAILURE() << at << ": complete after " << i << " characters: engine " << engine.IsFinal() << ", PCRE2 " << full;
        return false;
      }
      if (i == text.size()) break;
      char32_t ch = static_cast<char32_t>(text[i]);
      const bool taken = engine.Advance(ch);
      const int viable = pcre.Matches(text, i + 1, true);
      if (viable >= 0 && taken != (viable == 1)) {
        ADD_FAILURE() << at << ": character " << i << " taken: engine " << taken << ", PCRE2 " << viable;
        return false;
      }
      if (!taken) break;
    }

    if (ACaseInsensitive) continue;
    // Each inserted character must be the only one PCRE2 lets follow the text before it.
    completing.Restart();
    inserted.clear();
    completing.SetAutoComplete(true);
    std::vector<int> shown(inserted);
    size_t checked = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
      for (; checked < inserted.size(); ++checked) {
        std::vector<int> next(shown.begin(), shown.end() - static_cast<std::ptrdiff_t>(inserted.size() - checked));
        // The texts of a pattern share their beginnings: each place is asked once.
        if (!askedAfter.insert(next).second) {
          ++ARun.Forced;
          continue;
        }
        next.push_back(0);
        for (int c = 0; c < 256; ++c) {
          next.back() = c;
          const int viable = pcre.Matches(next, next.size(), true);
          if (viable >= 0 && (viable == 1) != (c == inserted[checked])) {
            ADD_FAILURE() << at << ": inserted " << Printable({inserted[checked]}) << " after "
                          << Printable(std::vector<int>(next.begin(), next.end() - 1)) << ", PCRE2 says "
                          << Printable({c}) << (viable == 1 ? " may follow" : " may not follow");
            return false;
          }
        }
        ++ARun.Forced;
      }
      if (i == text.size()) break;
      char32_t ch = static_cast<char32_t>(text[i]);
      const size_t before = inserted.size();
      if (!completing.Advance(ch)) break;
      shown.push_back(static_cast<int>(ch));
      shown.insert(shown.end(), inserted.begin() + static_cast<std::ptrdiff_t>(before), inserted.end());
    }
    completing.SetAutoComplete(false);
  }
  return true;
}

TEST(RegExprOracle, AgreesWithPcre2) {
  OracleRun run;
  for (uint32_t seed = kFirstSeed; seed < kFirstSeed + 1000; ++seed)
    if (!CheckSeed(seed, false, run)) break;
  for (uint32_t seed = kFirstSeed; seed < kFirstSeed + 300; ++seed)
    if (!CheckSeed(seed, true, run)) break;
  RecordProperty("patterns", run.Patterns);
  RecordProperty("texts", run.Texts);
  RecordProperty("inserted", run.Forced);
  RecordProperty("gaveup", Pcre::GaveUp);
}

}  // namespace
}  // namespace editors_test
