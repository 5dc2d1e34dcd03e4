// Parses a program of 5,000 lines in each script language into its intermediate program and prints the
// lines parsed per second (target: at least 50,000), beside Lua 5.4 compiling a program of the same
// shape and size in the same run (luaL_loadbuffer, no run).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "script/sc_ilparser.h"
#include "script/sc_languages.h"

#ifdef K58_BENCH_LUA
#include <lua.hpp>
#endif

namespace {

constexpr int kLines = 5000;
constexpr int kRuns = 7;

// One block of ten statement lines per language; the programs repeat it.
struct TLanguageProgram {
  const char* Name;
  const char* Head;
  const char* Block[10];
  const char* Tail;
};

const TLanguageProgram kPrograms[] = {
    {"PascalScript",
     "var a, b, c, i, s, x, y, z: Variant;\r\nbegin\r\n",
     {"  x := a + b * (c - 1) div 2;",
      "  if x > 10 then y := 'big' else y := 'small';",
      "  for i := 1 to 10 do s := s + IntToStr(i);",
      "  while x > 0 do x := x - 1;",
      "  case x of 1: a := 1; 2, 3: a := 2; else a := 3 end;",
      "  { a comment } // and another",
      "  z := Copy(s, 1, 2) + <Order.\"Date\">;",
      "  repeat x := x + 1 until (x >= 5) and not (y = 'a');",
      "  try a := b / c except a := 0 end;",
      "  Memo1.Lines.Add('line ' + IntToStr(x) + #13#10);"},
     "end.\r\n"},
    {"C++Script",
     "int a, b, c, i, s, x, y, z;\r\n{\r\n",
     {"  x = a + b * (c - 1) / 2;",
      "  if (x > 10) y = \"big\"; else y = \"small\";",
      "  for (i = 1; i <= 10; i++) s += IntToStr(i);",
      "  while (x > 0) x--;",
      "  switch (x) { case 1: a = 1; case 2, 3: a = 2; default: a = 3; }",
      "  /* a comment */ // and another",
      "  z = Copy(s, 1, 2) + <Order.\"Date\">;",
      "  do x++; while ((x < 5) && !(y == \"a\"));",
      "  try { a = b / c; } except { a = 0; }",
      "  Memo1.Lines.Add(\"line \" + IntToStr(x) + \"\\r\\n\");"},
     "}\r\n"},
    {"BasicScript",
     "dim a, b, c, i, s, x, y, z\r\n",
     {"x = a + b * (c - 1) \\ 2",
      "if x > 10 then y = \"big\" : z = 1",
      "for i = 1 to 10 step 1",
      "  s = s & IntToStr(i) ' a comment",
      "next",
      "select case x",
      "case 1, 2: a = 1",
      "case else: a = 3",
      "end select",
      "Memo1.Lines.Add(\"line \" + Copy(s, 1, 2) + <Order.\"Date\">) rem and another"},
     ""},
    {"JScript",
     "var a, b, c, i, s, x, y, z;\r\n",
     {"x = a + b * (c - 1) / 2;",
      "if (x > 10) y = \"big\"; else y = \"small\";",
      "for (i = 1; i <= 10; i++) s += IntToStr(i);",
      "while (x > 0) x--;",
      "switch (x) { case 1: a = 1; case 2, 3: a = 2; default: a = 3; }",
      "/* a comment */ // and another",
      "z = Copy(s, 1, 2) + <Order.\"Date\">;",
      "do x++; while ((x < 5) && !(y == \"a\"));",
      "try { a = b / c; } except { a = 0; }",
      "Memo1.Lines.Add(\"line \" + IntToStr(x) + \"\\r\\n\");"},
     ""},
};

std::string Program(const TLanguageProgram& P) {
  std::string text = P.Head;
  for (int line = 0; line < kLines; ++line) {
    text += P.Block[line % 10];
    text += "\r\n";
  }
  return text + P.Tail;
}

// The best of kRuns runs, in seconds.
double Best(const std::function<void()>& Run) {
  double best = 1e30;
  for (int run = 0; run < kRuns; ++run) {
    const auto start = std::chrono::steady_clock::now();
    Run();
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

#ifdef K58_BENCH_LUA
std::string LuaProgram() {
  static const char* const block[10] = {
      "x = a + b * (c - 1) // 2",
      "if x > 10 then y = 'big' else y = 'small' end",
      "for i = 1, 10 do s = s .. tostring(i) end",
      "while x > 0 do x = x - 1 end",
      "if x == 1 then a = 1 elseif x == 2 or x == 3 then a = 2 else a = 3 end",
      "-- a comment",
      "z = string.sub(s, 1, 2) .. Get('Order.\"Date\"')",
      "repeat x = x + 1 until (x >= 5) and not (y == 'a')",
      "ok = pcall(function() a = b / c end) if not ok then a = 0 end",
      "Memo1.Lines:Add('line ' .. tostring(x) .. '\\r\\n')"};
  std::string text = "local a, b, c, i, s, x, y, z\n";
  for (int line = 0; line < kLines; ++line) {
    text += block[line % 10];
    text += "\n";
  }
  return text;
}
#endif

}  // namespace

int main() {
  RegisterScriptLanguages();
  double slowest = 1e30;
  for (const TLanguageProgram& p : kPrograms) {
    const std::string text = Program(p);
    bool ok = true;
    String error;
    const double seconds = Best([&] {
      TscILParser parser(nullptr);
      parser.LoadGrammar(p.Name);
      ok = parser.ParseText(text);
      if (!ok) error = parser.ErrorText() + " at " + parser.ErrorPosition();
    });
    if (!ok) {
      std::printf("%s: the program does not parse: %s\n", p.Name, error.c_str());
      return 1;
    }
    const double rate = kLines / seconds;
    slowest = std::min(slowest, rate);
    std::printf("%-12s %d lines (%zu bytes) in %.2f ms: %.0f lines/s\n", p.Name, kLines, text.size(),
                seconds * 1000, rate);
  }
  std::printf("slowest language: %.0f lines/s (target 50000): %s\n", slowest,
              slowest >= 50000 ? "met" : "NOT met");
#ifdef K58_BENCH_LUA
  const std::string lua = LuaProgram();
  lua_State* state = luaL_newstate();
  const double seconds = Best([&] {
    if (luaL_loadbuffer(state, lua.data(), lua.size(), "bench") != LUA_OK) std::printf("lua: %s\n", lua_tostring(state, -1));
    lua_settop(state, 0);
  });
  lua_close(state);
  std::printf("Lua 5.4 compiling %d lines: %.2f ms: %.0f lines/s (slowest script language at %.2f of it)\n",
              kLines, seconds * 1000, kLines / seconds, slowest / (kLines / seconds));
#else
  std::printf("Lua 5.4 is not installed (liblua5.4-dev): no peer figure\n");
#endif
  return 0;
}
