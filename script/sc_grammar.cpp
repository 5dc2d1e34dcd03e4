// A language grammar flattened into the element table the grammar-driven parser walks.
#include "script/sc_grammar.h"

#include <map>

#include "platform/classes/Streams.h"

namespace k58::script {
namespace {

TGrammarKind KindOf(const String& Name) {
  static const std::map<String, TGrammarKind> kinds = {
      {"char", TGrammarKind::Char},
      {"keyword", TGrammarKind::Keyword},
      {"ident", TGrammarKind::Ident},
      {"number", TGrammarKind::Number},
      {"string", TGrammarKind::String},
      {"frstring", TGrammarKind::FrString},
      {"eol", TGrammarKind::Eol},
      {"sequence", TGrammarKind::Sequence},
      {"switch", TGrammarKind::Switch},
      {"optionalswitch", TGrammarKind::OptionalSwitch},
      {"loop", TGrammarKind::Loop},
      {"optionalloop", TGrammarKind::OptionalLoop},
      {"optional", TGrammarKind::Optional},
  };
  const auto found = kinds.find(Name);
  return found == kinds.end() ? TGrammarKind::Reference : found->second;
}

const TscXMLItem* Child(const TscXMLItem* Item, const String& Name) {
  if (Item == nullptr) return nullptr;
  const Integer index = Item->Find(Name);
  return index < 0 ? nullptr : Item->Items(index);
}

}  // namespace

TscGrammar::TscGrammar(const String& Text) {
  TStringStream stream(Text);
  document_.LoadFromStream(&stream);
  const TscXMLItem* root = document_.Root();

  if (const TscXMLItem* parser = Child(root, "parser")) {
    for (Integer i = 0; i < parser->Count(); ++i) {
      const TscXMLItem* item = parser->Items(i);
      const String name = LowerCase(item->Name());
      if (name == "keywords") {
        for (Integer k = 0; k < item->Count(); ++k) keywords_.push_back(item->Items(k)->Name());
      } else if (name == "errors") {
        if (errors_ == nullptr) errors_ = item;
      } else {
        settings_.emplace_back(name, item->Prop("text"));
        if (name == "skiptail") skipsTail_ = item->Prop("text") == "1";
      }
    }
  }
  types_ = Child(root, "types");
  if (const TscXMLItem* err3 = Child(errors_, "err3")) statementExpected_ = err3->Prop("text");

  // Every top-level element is a rule; rule i is element i, so references resolve before their rules
  // are filled in.
  std::map<String, Integer> rules;
  for (Integer i = 0; i < root->Count(); ++i) rules.emplace(AnsiLowerCase(root->Items(i)->Name()), i);
  elements_.resize(static_cast<size_t>(root->Count()));
  struct Pending {
    const TscXMLItem* Item;
    Integer Index;
  };
  std::vector<Pending> work;
  for (Integer i = root->Count() - 1; i >= 0; --i) work.push_back({root->Items(i), i});
  while (!work.empty()) {
    const Pending next = work.back();
    work.pop_back();
    const TscXMLItem* item = next.Item;
    TGrammarElement e;
    e.IsRule = item->Parent() == root;
    e.Name = item->Name();
    const String kind = LowerCase(item->Name());
    e.Kind = e.IsRule ? TGrammarKind::Rule : KindOf(kind);
    if (e.Kind == TGrammarKind::Reference) {
      const auto target = rules.find(AnsiLowerCase(item->Name()));
      if (target != rules.end()) e.Target = target->second;
    }
    const String text = item->Prop("text");
    e.HasText = !text.empty();
    e.Text = LowerCase(text);
    e.Node = LowerCase(item->Prop("node"));
    e.UsesNode = e.Node == "uses";
    e.ExprNode = e.Node == "expr";
    e.Add = item->Prop("add");
    e.HasAdd = !e.Add.empty();
    e.AddText = item->Prop("addtext");
    e.HasAddText = !e.AddText.empty();
    const String err = item->Prop("err");
    e.HasErr = !err.empty();
    if (const TscXMLItem* message = e.HasErr ? Child(errors_, err) : nullptr) e.Error = message->Prop("text");
    e.Term = item->Prop("term") == "1";
    const String skip = item->Prop("skip");
    e.NoSpaces = e.Kind == TGrammarKind::Char && skip == "0";
    e.ClearsErrors = (e.Kind == TGrammarKind::Loop || e.Kind == TGrammarKind::OptionalLoop) && skip == "1";
    for (Integer c = 0; c < item->Count(); ++c) {
      e.Children.push_back(static_cast<Integer>(elements_.size()));
      elements_.emplace_back();
    }
    for (Integer c = item->Count() - 1; c >= 0; --c) work.push_back({item->Items(c), e.Children[static_cast<size_t>(c)]});
    elements_[static_cast<size_t>(next.Index)] = std::move(e);
  }
  const auto program = rules.find("program");
  if (program != rules.end()) programRule_ = program->second;
}

}  // namespace k58::script
