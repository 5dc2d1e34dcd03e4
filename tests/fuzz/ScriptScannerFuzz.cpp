// Fuzz target of the lexical scanner's readers under each language's settings: every reader stops within
// the text, positions map to line:col and back exactly, and the tokens have their shape. The first byte
// chooses the settings (and identifier bytes 128-255), the second the order the readers are tried in.
#include <cstdint>
#include <cstdio>

#include "script/sc_ilparser.h"
#include "script/sc_languages.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

const char* const kLanguages[] = {"", "PascalScript", "C++Script", "BasicScript", "JScript"};

void CheckPosition(const TscParser& S) {
  K58_FUZZ_CHECK(S.Cursor() >= 1 && S.Cursor() <= S.Size() + 1);
  K58_FUZZ_CHECK(S.TokenStart() >= 1 && S.TokenStart() <= S.Cursor());
  Integer line = 0, column = 0;
  K58_FUZZ_CHECK(std::sscanf(S.LineColText().c_str(), "%d:%d", &line, &column) == 2);
  K58_FUZZ_CHECK(S.LineColToPosition(column, line) == S.Cursor());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  static const bool registered = (RegisterScriptLanguages(), true);
  (void)registered;
  if (Size < 2) return 0;
  TscILParser parser(nullptr);
  const char* language = kLanguages[Data[0] % 5];
  parser.SetHighCharIdentifiers(Data[0] & 0x80);
  if (*language != '\0') parser.LoadGrammar(language);
  TscParser& s = *parser.Scanner();
  s.LoadText(String(reinterpret_cast<const char*>(Data) + 2, Size - 2));
  const unsigned order = Data[1];
  // Every step either reads something or moves on one byte, so the loop ends.
  for (Integer step = 0; s.Cursor() <= s.Size(); ++step) {
    const Integer before = s.Cursor();
    bool read = false;
    for (unsigned k = 0; k < 8 && !read; ++k) {
      s.SetCursor(before);
      String token;
      try {
        switch ((order + step + k) % 8) {
          case 0:
            s.SkipBlanks();
            break;
          case 1:
            read = s.ReadLineEnd();
            break;
          case 2:
            token = s.ReadPunct();
            K58_FUZZ_CHECK(token.size() <= 1);
            break;
          case 3:
            token = s.ReadWord();
            break;
          case 4:
            token = s.ReadIdentifier();
            K58_FUZZ_CHECK(token.empty() || !s.IsReserved(token));
            break;
          case 5:
            token = s.ReadNumber();
            K58_FUZZ_CHECK(token.empty() || (token[0] >= '0' && token[0] <= '9') || token[0] == '$');
            break;
          case 6:
            token = s.ReadStringConst();
            K58_FUZZ_CHECK(token.empty() || (token.size() >= 2 && token.front() == '\'' && token.back() == '\''));
            break;
          case 7:
            token = s.ReadBracketedText();
            break;
        }
      } catch (const EConvertError&) {
        // A character code beyond 32 bits.
        s.SetCursor(before);
      }
      CheckPosition(s);
      read = read || !token.empty() || s.Cursor() > before;
    }
    if (!read || s.Cursor() <= before) s.SetCursor(before + 1);
  }
  return 0;
}
