// Fuzz target of the grammar-driven parser in each language: a text either parses into an intermediate
// program that is written and loads back, or fails with a message at a line:col inside the text; units
// come from a handler (never files). The first byte chooses the language.
#include <cstdint>
#include <cstdio>

#include "script/sc_ilparser.h"
#include "script/sc_languages.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

const char* const kLanguages[] = {"PascalScript", "C++Script", "BasicScript", "JScript"};

// Small units of each language; a unit whose name begins with "x" is the fuzzed text itself.
const char* const kUnits[] = {"procedure U; begin end;\r\nbegin end.", "int u() { return 1; } { }",
                              "sub U()\r\nend sub\r\n", "function u() { }"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  static const bool registered = (RegisterScriptLanguages(), true);
  (void)registered;
  if (Size < 1) return 0;
  const unsigned language = Data[0] % 4;
  const String text(reinterpret_cast<const char*>(Data) + 1, Size - 1);
  TscILParser parser(nullptr);
  parser.SetHighCharIdentifiers(Data[0] & 0x80);
  parser.SetOnGetUnit([&](TscScript*, const String& Name, String& UnitText) {
    UnitText = !Name.empty() && Name[0] == 'x' ? text : String(kUnits[language]);
  });
  parser.LoadGrammar(kLanguages[language]);
  bool parsed;
  try {
    parsed = parser.ParseText(text);
  } catch (const Exception& error) {
    // Only a first line naming a language that does not exist leaves the parse.
    K58_FUZZ_CHECK(error.Message().compare(0, 10, "Language '") == 0);
    return 0;
  }
  if (!parsed) {
    K58_FUZZ_CHECK(!parser.ErrorText().empty());
    Integer line = 0, column = 0;
    K58_FUZZ_CHECK(std::sscanf(parser.ErrorPosition().c_str(), "%d:%d", &line, &column) == 2);
    if (parser.ErrorUnitName().empty()) {
      const Integer position = parser.Scanner()->LineColToPosition(column, line);
      K58_FUZZ_CHECK(position >= 1 && position <= parser.Scanner()->Size() + 1);
    }
    return 0;
  }
  K58_FUZZ_CHECK(parser.ErrorText().empty() && parser.ErrorPosition().empty());
  TscXMLItem* root = parser.ILDocument()->Root();
  K58_FUZZ_CHECK(root->Name() == "program" && root->Count() > 0 && root->Items(root->Count() - 1)->Name() == "types");
  TStringStream saved;
  parser.ILDocument()->SaveToStream(&saved);
  TStringStream again(saved.DataString());
  TscXMLDocument reloaded;
  reloaded.LoadFromStream(&again);
  K58_FUZZ_CHECK(reloaded.Root()->Count() == root->Count());
  return 0;
}
