// The language registry and the registration of the grammars embedded in the program.
#include "script/sc_languages.h"

#include <vector>

#include "platform/classes/Streams.h"
#include "script/sc_const.h"
#include "script/sc_grammar.h"

namespace k58::script {
namespace {

struct TLanguage {
  String Name;
  String Grammar;
  std::shared_ptr<const TscGrammar> Parsed;  // made on first use
};

std::vector<TLanguage>& Languages() {
  static std::vector<TLanguage> languages;
  return languages;
}

TLanguage& FindLanguage(const String& Name) {
  for (TLanguage& language : Languages()) {
    if (AnsiSameText(language.Name, Name)) return language;
  }
  throw Exception(Format(scconsts::SLangNotFound, Name));
}

}  // namespace

std::shared_ptr<const TscGrammar> FindGrammar(const String& Name) {
  TLanguage& language = FindLanguage(Name);
  if (!language.Parsed) language.Parsed = std::make_shared<const TscGrammar>(language.Grammar);
  return language.Parsed;
}

}  // namespace k58::script

using k58::script::TLanguage;

void AddLanguage(const String& Name, const String& GrammarText) {
  for (TLanguage& language : k58::script::Languages()) {
    if (AnsiSameText(language.Name, Name)) {
      language.Grammar = GrammarText;
      language.Parsed.reset();
      return;
    }
  }
  k58::script::Languages().push_back({Name, GrammarText, nullptr});
}

String LanguageGrammar(const String& Name) { return k58::script::FindLanguage(Name).Grammar; }

void RegisterScriptLanguages() {
  static const struct {
    const char* Name;
    const char* Resource;
  } grammars[] = {
      {"PascalScript", "PASCALSCRIPT"},
      {"C++Script", "CPPSCRIPT"},
      {"BasicScript", "BASICSCRIPT"},
      {"JScript", "JSCRIPT"},
  };
  for (const auto& grammar : grammars) {
    TResourceStream stream(HInstance, grammar.Resource, "GRAMMAR");
    String text(static_cast<size_t>(stream.Size()), '\0');
    stream.ReadBuffer(text.data(), static_cast<Integer>(text.size()));
    AddLanguage(grammar.Name, text);
  }
}
