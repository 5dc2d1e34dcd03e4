// The language registry: the grammar text of every script language by name, and the registration of the
// four languages whose grammars are embedded in the program.
#pragma once

#include <memory>

#include "platform/rtl/SysUtils.h"

// Registers GrammarText under Name, replacing a grammar registered under that name (ignoring case).
void AddLanguage(const String& Name, const String& GrammarText);
// The grammar text registered under Name (ignoring case); "Language '%s' not found" when there is none.
String LanguageGrammar(const String& Name);

// Registers "PascalScript", "C++Script", "BasicScript" and "JScript" from the grammars embedded in the
// program. The program calls it once at start-up, test fixtures before they parse; calling it again
// registers them again.
void RegisterScriptLanguages();

namespace k58::script {

class TscGrammar;

// The grammar of a registered language, parsed on first use and kept until the language is registered
// again; raises like LanguageGrammar, and "Invalid file format" for a grammar text that is no document.
std::shared_ptr<const TscGrammar> FindGrammar(const String& Name);

}  // namespace k58::script
