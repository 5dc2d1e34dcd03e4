// Runs small programs in each script language and prints their execution times beside Lua 5.4 running the
// same programs in the same run (compiling is not timed): recursive fib(25), nested loops over integers,
// array elements and string building. Target: at most 5 times Lua's time. Also the time to compile the
// one-expression function the report compiles for each expression, per language (target: under 0.1 ms).
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "script/sc_interpreter.h"
#include "script/sc_languages.h"

#ifdef K58_BENCH_LUA
#include <lua.hpp>
#endif

namespace {

constexpr int kRuns = 15;

// The best of kRuns runs, in seconds.
double Best(const std::function<void()>& Run, int Runs = kRuns) {
  double best = 1e30;
  for (int run = 0; run < Runs; ++run) {
    const auto start = std::chrono::steady_clock::now();
    Run();
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

struct TTask {
  const char* Name;
  const char* Expected;  // the value of "Check" after a run
  const char* Pascal;
  const char* Cpp;
  const char* Basic;
  const char* JScript;
  const char* Lua;  // sets the global Check
};

const TTask kTasks[] = {
    {"fib(25)", "75025",
     "var Check: Integer;\r\n"
     "function Fib(n: Integer): Integer;\r\n"
     "begin if n < 2 then Result := n else Result := Fib(n - 1) + Fib(n - 2) end;\r\n"
     "begin Check := Fib(25) end.",
     "int Check;\r\n"
     "int Fib(int n) { if (n < 2) return n; return Fib(n - 1) + Fib(n - 2); }\r\n"
     "{ Check = Fib(25); }",
     "dim Check\r\n"
     "function Fib(n)\r\n  if n < 2 then\r\n    return n\r\n  end if\r\n  return Fib(n - 1) + Fib(n - 2)\r\nend function\r\n"
     "Check = Fib(25)\r\n",
     "var Check;\r\n"
     "function Fib(n) { if (n < 2) return n; return Fib(n - 1) + Fib(n - 2); }\r\n"
     "Check = Fib(25);",
     "local function fib(n) if n < 2 then return n end return fib(n - 1) + fib(n - 2) end\n"
     "Check = fib(25)"},
    {"nested integer loops 1000x1000", "499500000",
     "var Check, i, j: Integer;\r\n"
     "begin Check := 0; for i := 0 to 999 do for j := 0 to 999 do Check := Check + i end.",
     "int Check, i, j;\r\n"
     "{ Check = 0; for (i = 0; i < 1000; i++) for (j = 0; j < 1000; j++) Check = Check + i; }",
     "dim Check as integer, i as integer, j as integer\r\n"
     "Check = 0\r\nfor i = 0 to 999\r\n  for j = 0 to 999\r\n    Check = Check + i\r\n  next\r\nnext\r\n",
     "var Check, i, j;\r\n"
     "Check = 0; for (i = 0; i < 1000; i++) for (j = 0; j < 1000; j++) Check = Check + i;",
     "local c = 0 for i = 0, 999 do for j = 0, 999 do c = c + i end end Check = c"},
    {"array elements 1000 x 200 passes", "99900000",
     "var Check, i, k: Integer; a: array[0..999] of Integer;\r\n"
     "begin for i := 0 to 999 do a[i] := i; Check := 0;\r\n"
     "  for k := 1 to 200 do for i := 0 to 999 do Check := Check + a[i] end.",
     "int Check, i, k; int a[1000];\r\n"
     "{ for (i = 0; i < 1000; i++) a[i] = i; Check = 0;\r\n"
     "  for (k = 1; k <= 200; k++) for (i = 0; i < 1000; i++) Check = Check + a[i]; }",
     "dim Check as integer, i as integer, k as integer\r\ndim a[1000]\r\n"
     "for i = 0 to 999\r\n  a[i] = i\r\nnext\r\nCheck = 0\r\n"
     "for k = 1 to 200\r\n  for i = 0 to 999\r\n    Check = Check + a[i]\r\n  next\r\nnext\r\n",
     "var Check, i, k, a[1000];\r\n"
     "for (i = 0; i < 1000; i++) a[i] = i; Check = 0;\r\n"
     "for (k = 1; k <= 200; k++) for (i = 0; i < 1000; i++) Check = Check + a[i];",
     "local a = {} for i = 0, 999 do a[i] = i end local c = 0\n"
     "for k = 1, 200 do for i = 0, 999 do c = c + a[i] end end Check = c"},
    {"string building 20000 x 20 characters", "400000",
     "var Check, i, j: Integer; s: String;\r\n"
     "begin Check := 0; for i := 1 to 20000 do begin s := ''; for j := 1 to 20 do s := s + Chr(64 + j);\r\n"
     "  Check := Check + Length(s) end end.",
     "int Check, i, j; string s;\r\n"
     "{ Check = 0; for (i = 1; i <= 20000; i++) { s = \"\"; for (j = 1; j <= 20; j++) s = s + Chr(64 + j);\r\n"
     "  Check = Check + Length(s); } }",
     "dim Check as integer, i as integer, j as integer, s as string\r\n"
     "Check = 0\r\nfor i = 1 to 20000\r\n  s = \"\"\r\n  for j = 1 to 20\r\n    s = s & Chr(64 + j)\r\n  next\r\n"
     "  Check = Check + Length(s)\r\nnext\r\n",
     "var Check, i, j, s;\r\n"
     "Check = 0; for (i = 1; i <= 20000; i++) { s = \"\"; for (j = 1; j <= 20; j++) s = s + Chr(64 + j);\r\n"
     "  Check = Check + Length(s); }",
     "local c = 0 for i = 1, 20000 do local s = '' for j = 1, 20 do s = s .. string.char(64 + j) end\n"
     "c = c + #s end Check = c"},
};

const char* const kLanguages[] = {"PascalScript", "C++Script", "BasicScript", "JScript"};

const char* TextOf(const TTask& Task, int Language) {
  switch (Language) {
    case 0: return Task.Pascal;
    case 1: return Task.Cpp;
    case 2: return Task.Basic;
    default: return Task.JScript;
  }
}

// A task compiled in a language, ready to run.
struct TCompiled {
  std::unique_ptr<TscScript> Script;
  bool Ok = false;
};

TCompiled CompileScript(const TTask& Task, int Language) {
  TCompiled compiled;
  compiled.Script = std::make_unique<TscScript>(nullptr);
  TscScript& script = *compiled.Script;
  script.AddRTTI();
  script.SetSyntaxType(kLanguages[Language]);
  script.Lines()->SetText(TextOf(Task, Language));
  compiled.Ok = script.Compile();
  if (!compiled.Ok) {
    std::printf("  %s: %s at %s\n", kLanguages[Language], script.ErrorText().c_str(), script.ErrorPosition().c_str());
  }
  return compiled;
}

// One run's time, or a negative value when the result is wrong.
double RunScript(TCompiled& Compiled, const TTask& Task, int Language) {
  if (!Compiled.Ok) return -1;
  const double seconds = Best([&] { Compiled.Script->Execute(); }, 1);
  const String check = VarToStr(Compiled.Script->Find("Check")->ReadValue());
  if (check != Task.Expected) {
    std::printf("  %s: Check is %s, not %s\n", kLanguages[Language], check.c_str(), Task.Expected);
    return -1;
  }
  return seconds;
}

#ifdef K58_BENCH_LUA
struct TLua {
  lua_State* State = luaL_newstate();
  bool Ok = false;
  explicit TLua(const TTask& Task) {
    luaL_openlibs(State);
    Ok = luaL_loadstring(State, Task.Lua) == LUA_OK;
    if (Ok) lua_setglobal(State, "task");
  }
  ~TLua() { lua_close(State); }
  double Run(const TTask& Task) {
    if (!Ok) return -1;
    const double seconds = Best(
        [&] {
          lua_getglobal(State, "task");
          if (lua_pcall(State, 0, 0, 0) != LUA_OK) std::printf("  lua: %s\n", lua_tostring(State, -1));
          lua_settop(State, 0);
        },
        1);
    lua_getglobal(State, "Check");
    const long long check = lua_tointeger(State, -1);
    lua_settop(State, 0);
    return std::to_string(check) == Task.Expected ? seconds : -1;
  }
};
#endif

// The report's one-expression function, as Part of every expression it evaluates.
const char* const kWrappers[] = {
    "function rudf0: Variant; begin Result := Value * 2 + 1 end; begin end.",
    "Variant rudf0() { return Value * 2 + 1; } {}",
    "function rudf0\r\nreturn Value * 2 + 1\r\nend function",
    "function rudf0() { return Value * 2 + 1; }",
};

}  // namespace

// With arguments TASK and LANGUAGE (indexes), runs that one program only (for profiling), kRuns times or
// as often as a third argument says. With "--repeat N", every figure is the best of N times as many runs
// (steadier on a busy machine).
int main(int argc, char** argv) {
  RegisterScriptLanguages();
  int rounds = kRuns;
  if (argc == 3 && std::string(argv[1]) == "--repeat") {
    rounds = kRuns * std::max(1, std::atoi(argv[2]));
  } else if (argc == 3 || argc == 4) {
    const TTask& task = kTasks[std::atoi(argv[1])];
    TCompiled compiled = CompileScript(task, std::atoi(argv[2]));
    const int runs = argc == 4 ? std::max(1, std::atoi(argv[3])) : kRuns;
    double best = 1e30;
    for (int run = 0; run < runs; ++run) best = std::min(best, RunScript(compiled, task, std::atoi(argv[2])));
    std::printf("%.2f ms\n", best * 1000);
    return best < 0;
  }
  // Each run times Lua and every language in turn, and each keeps its best run, so a machine busy with
  // other work at one moment weighs on all of them alike.
  bool allMet = true;
  for (const TTask& task : kTasks) {
    std::vector<TCompiled> compiled;
    for (int language = 0; language < 4; ++language) compiled.push_back(CompileScript(task, language));
    double lua = 1e30;
    double best[4] = {1e30, 1e30, 1e30, 1e30};
#ifdef K58_BENCH_LUA
    TLua peer(task);
#endif
    for (int run = 0; run < rounds; ++run) {
#ifdef K58_BENCH_LUA
      const double luaRun = peer.Run(task);
      lua = luaRun < 0 ? -1 : std::min(lua, luaRun);
#else
      lua = -1;
#endif
      for (int language = 0; language < 4; ++language) {
        const double seconds = RunScript(compiled[static_cast<size_t>(language)], task, language);
        best[language] = seconds < 0 || best[language] < 0 ? -1 : std::min(best[language], seconds);
      }
    }
    if (lua > 0) {
      std::printf("%s: Lua 5.4 %.2f ms\n", task.Name, lua * 1000);
    } else {
      std::printf("%s: no Lua 5.4 figure (liblua5.4-dev missing or wrong result)\n", task.Name);
    }
    for (int language = 0; language < 4; ++language) {
      const double seconds = best[language];
      if (seconds < 0) {
        allMet = false;
        std::printf("  %-12s failed\n", kLanguages[language]);
        continue;
      }
      if (lua > 0) {
        const double ratio = seconds / lua;
        allMet = allMet && ratio <= 5;
        std::printf("  %-12s %8.2f ms  %5.2fx Lua %s\n", kLanguages[language], seconds * 1000, ratio,
                    ratio <= 5 ? "" : "(over 5x)");
      } else {
        std::printf("  %-12s %8.2f ms\n", kLanguages[language], seconds * 1000);
      }
    }
  }
  std::printf("execution target (at most 5x Lua): %s\n", allMet ? "met" : "NOT met");

  // Compiling the report's one-expression function into a script that has the system library and the
  // variable the expression uses (the parent), as the report's expression cache does.
  TscScript main(nullptr);
  main.AddRTTI();
  main.AddVariable("Value", "Variant", 20);
  bool compileMet = true;
  for (int language = 0; language < 4; ++language) {
    constexpr int kCompiles = 2000;
    TscScript cache(nullptr);
    cache.SetParent(&main);
    cache.SetSyntaxType(kLanguages[language]);
    cache.Lines()->SetText(kWrappers[language]);
    const double seconds = Best(
        [&] {
          for (int i = 0; i < kCompiles; ++i) {
            cache.Clear();
            if (!cache.Compile()) std::printf("  %s: %s\n", kLanguages[language], cache.ErrorText().c_str());
          }
        },
        3);
    const double each = seconds / kCompiles * 1000;
    compileMet = compileMet && each < 0.1;
    Variant value;
    cache.CallFunction("rudf0", Null(), value);
    std::printf("compile of the expression function, %-12s %.4f ms (value %s)\n", kLanguages[language], each,
                VarToStr(value).c_str());
  }
  std::printf("compile target (under 0.1 ms): %s\n", compileMet ? "met" : "NOT met");
  return 0;
}
