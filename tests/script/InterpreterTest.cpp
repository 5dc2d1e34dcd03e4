// The run time: expressions and their operators, statements, compile messages with their places, run-time
// errors caught by scripts, run-line reports and the limits on nesting.
#include <utility>

#include "platform/rtl/SysUtils.h"
#include "script/sc_const.h"
#include "tests/script/ScriptTesting.h"

namespace script_test {
namespace {

struct RunCase {
  const char* text;
  const char* trace;
};

void ExpectTraces(const String& Language, std::initializer_list<RunCase> Cases) {
  for (const RunCase& c : Cases) {
    TScriptHost host(Language);
    EXPECT_EQ(host.Run(c.text), c.trace) << Language << ": " << c.text;
  }
}

TEST(InterpreterExpressions, EvaluateOperatorsWithTheirPrecedence) {
  ExpectTraces("PascalScript", {
      {"begin Emit(1 + 2 * 3); Emit((1 + 2) * 3); Emit(2 - 3 - 4); Emit(-2 * 3) end.", "7 9 -5 -6"},
      {"begin Emit(not true = false); Emit(7 / 2); Emit(7 div 2); Emit(7 mod 2) end.", "True 3.5 3 1"},
      {"begin Emit(1 shl 4); Emit(256 shr 4); Emit(6 xor 3); Emit(6 and 3); Emit(6 or 3) end.", "16 16 5 2 7"},
      {"var x: Integer; begin x := 4; Emit(x in [1, 3..5]); x := 2; Emit(x in [1, 3..5]) end.", "True False"},
      {"begin Emit('ab' + 'c'); Emit('a' < 'b'); Emit(1.5 + 1) end.", "abc True 2.5"},
  });
}

TEST(InterpreterExpressions, NullEmptyAndOverflow) {
  ExpectTraces("PascalScript", {
      // Null spreads through arithmetic and comparisons; a variable starts as Null.
      {"begin Emit(Null + 1); Emit(Null * 2) end.", "<null> <null>"},
      {"var v: Variant; begin Emit(v + 1); Emit(v = Null); Emit(VarType(v)) end.", "<null> True 1"},
      // Integer-only arithmetic wraps to 32 bits, the same written either way round and in place.
      {"var x: Integer; begin x := 2147483647; Emit(x + 1); Emit(1 + x) end.", "-2147483648 -2147483648"},
      {"var x: Integer; begin x := 2147483647; x := x + 1; Emit(x) end.", "-2147483648"},
      {"var x: Integer; begin x := 2147483647; x := 1 + x; Emit(x) end.", "-2147483648"},
      {"var x: Integer; begin x := -2147483647 - 1; x := x - 1; Emit(x) end.", "2147483647"},
      {"var x: Integer; begin x := 65536; x := x * 65536; Emit(x) end.", "0"},
      // Variants widen instead.
      {"var v: Variant; begin v := 2147483647; v := v + 1; Emit(v) end.", "2147483648"},
      // Zero divisors raise in the integer paths as in the Variant's.
      {"var x: Integer; begin x := 0; Emit(7 div x) end.", "raise Division by zero"},
      {"var x: Integer; begin x := 0; Emit(7 mod x) end.", "raise Division by zero"},
      {"var v: Variant; begin v := 0; Emit(7 div v) end.", "raise Division by zero"},
  });
}

TEST(InterpreterExpressions, EmptyCountsAsZeroOrTheEmptyString) {
  TScriptHost host;
  host.Script().AddVariable("E", "Variant", Variant());
  EXPECT_EQ(host.Run("begin Emit(E + 1); Emit(E + 'a'); Emit(VarType(E)); Emit(E = 0) end."), "1 a 0 True");
}

TEST(InterpreterExpressions, AndOrShortCircuitOnBooleans) {
  ExpectTraces("PascalScript", {
      {"function F: Boolean; begin Emit('F'); Result := True end; "
       "var b: Boolean; begin b := False; if b and F then Emit(1); b := True; if b or F then Emit(2) end.",
       "2"},
      {"function F: Boolean; begin Emit('F'); Result := True end; "
       "var b: Boolean; begin b := True; if b and F then Emit(1) end.",
       "F 1"},
  });
}

TEST(InterpreterExpressions, BasicConcatenation) {
  ExpectTraces("BasicScript", {
      {"Emit(\"a\" & \"b\")\r\nDim v\r\nv = \"a\"\r\nEmit(v & 1)\r\nEmit(1 & 2)", "ab a1 3"},
  });
}

TEST(InterpreterStatements, CountedForLoopsCompareLikeTheFullCondition) {
  ExpectTraces("JScript", {
      {"var i; for (i = 0; i < 3; i++) Emit(i); Emit(i);", "0 1 2 3"},
      {"var i; for (i = 0; i <= 2; i++) Emit(i);", "0 1 2"},
      {"var i; for (i = 5; i > 3; i--) Emit(i);", "5 4"},
      {"var i; for (i = 2; i >= 0; i--) Emit(i);", "2 1 0"},
      {"var i; for (i = 3; i < 3; i++) Emit(i); Emit(i);", "3"},
      // The variable leaves the integers inside the body: the comparison goes on with its value.
      {"var i; for (i = 0; i <= 2; i++) { Emit(i); if (i == 1) i = 0.5; } Emit(i);", "0 1 1.5 2.5"},
  });
}

TEST(InterpreterStatements, ControlFlowThroughTryAndLoops) {
  ExpectTraces("PascalScript", {
      // Exit in a try part still runs the finally part; break and continue pending in a try part do not
      // leak out of the finally part into the statements after the loop.
      {"procedure P; begin try Emit(1); exit; Emit(2) finally Emit(3) end; Emit(4) end; begin P; Emit(5) end.",
       "1 3 5"},
      {"var i: Integer; begin for i := 1 to 3 do try if i = 2 then break finally Emit(i) end; Emit('end') end.",
       "1 2 end"},
      {"var i: Integer; begin for i := 1 to 3 do try if i = 2 then continue; Emit('a') finally Emit(i) end end.",
       "a 1 2 a 3"},
      {"var i: Integer; begin i := 0; repeat i := i + 1 until i >= 3; Emit(i); while i > 0 do i := i - 1; Emit(i) end.",
       "3 0"},
      {"var i: Integer; begin for i := 3 downto 1 do Emit(i); case 2 of 1: Emit('one'); 2, 3: Emit('two') else Emit('x') end end.",
       "3 2 1 two"},
      // A failing call in try-except, then the statements after it.
      {"begin try StrToInt('x'); Emit('no') except Emit('caught') end; Emit('after') end.", "caught after"},
  });
}

TEST(InterpreterCalls, ParametersAndLocalsAcrossCalls) {
  ExpectTraces("PascalScript", {
      // A var parameter passed on through recursion reaches the outermost argument.
      {"procedure Add(var x: Integer; n: Integer); begin if n > 0 then begin x := x + 1; Add(x, n - 1) end end; "
       "var a: Integer; begin a := 0; Add(a, 3); Emit(a) end.",
       "3"},
      // Parameters updated in place; the caller's parameters and locals are back after a recursive call.
      {"function F(n: Integer): Integer; begin n := n + 1; n := n * 2; Result := n end; begin Emit(F(3)) end.", "8"},
      {"function S(n: Integer): Integer; var t: Integer; begin t := n * 10; "
       "if n > 0 then Result := S(n - 1) + t else Result := 0; Emit(t) end; begin Emit(S(3)) end.",
       "0 10 20 30 60"},
      // More locals than a call keeps beside it on the stack.
      {"function M(n: Integer): Integer; var a, b, c, d, e, f, g: Integer; "
       "begin a := n; b := n; c := n; d := n; e := n; f := n; g := n; "
       "if n > 0 then Result := M(n - 1) + a + b + c + d + e + f + g else Result := 0 end; begin Emit(M(3)) end.",
       "42"},
      // An argument that calls the same function, and a call whose value is dropped.
      {"function Next(n: Integer): Integer; begin Result := n + 1 end; begin Next(1); Emit(Next(Next(Next(0)))) end.",
       "3"},
      // Operands read in place keep their order: the left one is read before the right one runs.
      {"var x: Integer; function G: Integer; begin x := 10; Result := 1 end; "
       "begin x := 1; Emit(x + G); x := 1; Emit(G + x); x := 1; Emit(x < G); x := 1; Emit(G < x) end.",
       "2 11 False True"},
  });
  ExpectTraces("JScript", {
      {"function F(n) { n++; n += 2; return n; } Emit(F(1));", "4"},
      {"function Fib(n) { if (n < 2) return n; return Fib(n - 1) + Fib(n - 2); } Emit(Fib(15));", "610"},
  });
}

TEST(InterpreterStatements, RunTimeErrorsReachTryExcept) {
  const char* failing[] = {
      "StrToInt('x')",
      "StrToFloat('1.2.3')",
      "EncodeDate(2023, 2, 30)",
      "RaiseException('mine')",
      "x := 0; x := 1 div x",
      "s := 'abc'; s[7] := 'x'",
      "s := Chr(StrToInt('-'))",
      "v := CreateOleObject('No.Such.Object')",
      "DaysInMonth(2024, 13)",
  };
  for (const char* statement : failing) {
    TScriptHost host;
    const String text = String("var x: Integer; s: String; v: Variant; begin try ") + statement +
                        "; Emit('no') except Emit('caught') end end.";
    EXPECT_EQ(host.Run(text), "caught") << statement;
  }
  // Uncaught, the message leaves Execute whole.
  EXPECT_EQ(RunScript("begin RaiseException('mine') end."), "raise mine");
  EXPECT_EQ(RunScript("begin try RaiseException('inner') finally Emit('f') end end."), "f raise inner");
}

TEST(InterpreterLimits, DeepRecursionRaisesACatchableStackOverflow) {
  EXPECT_EQ(RunScript("function F(n: Integer): Integer; begin Result := F(n + 1) end; "
                     "begin try F(0) except Emit('caught') end; Emit('after') end."),
            "caught after");
  EXPECT_EQ(RunScript("function F(n: Integer): Integer; begin Result := F(n + 1) end; begin F(0) end."),
            "raise Stack overflow");
  // Recursion within the limit still runs, and the locals of each level are kept.
  EXPECT_EQ(RunScript("function F(n: Integer): Integer; var k: Integer; begin k := n; "
                     "if n = 0 then Result := 0 else Result := F(n - 1) + k end; begin Emit(F(500)) end."),
            "125250");
}

TEST(InterpreterLimits, DeeplyNestedExpressionsDoNotCrashTheCompiler) {
  TScriptHost host;
  String text = "begin Emit(";
  for (int i = 0; i < 20000; ++i) text += "(";
  text += "1";
  for (int i = 0; i < 20000; ++i) text += ")";
  text += ") end.";
  const String result = host.Run(text);
  EXPECT_TRUE(result == "1" || result.find("Stack overflow") != String::npos) << result.substr(0, 200);
}

TEST(InterpreterStrings, CountCodePoints) {
  ExpectTraces("PascalScript", {
      {"var s: String; begin s := 'héllo'; Emit(Length(s)); Emit(Copy(s, 2, 2)); Emit(Pos('l', s)); Emit(s[2]) end.",
       "5 él 3 é"},
      {"var s: String; begin s := 'aéb'; Delete(s, 2, 1); Emit(s); Insert('ü', s, 2); Emit(s); SetLength(s, 2); Emit(s) end.",
       "ab aüb aü"},
      {"begin Emit(Ord('é')); Emit(Chr(233)); Emit(Ord('')); Emit(Length(Chr(8364))) end.", "233 é 0 1"},
      {"var s: String; begin s := 'aé'; s[2] := 'x'; Emit(s); Emit(s[3]) end.", "ax raise String index out of range (3)"},
  });
}

// One bad script per message, with the place the message names.
struct CompileCase {
  const char* language;
  const char* text;
  const char* error;
};

TEST(InterpreterCompile, ReportsEachMessageWithItsPlace) {
  const CompileCase cases[] = {
      {"PascalScript", "var a: Integer;\r\nvar a: String;\r\nbegin end.", "error Identifier redeclared: 'a' @ 2:6"},
      {"PascalScript", "var a: TNoSuchType;\r\nbegin end.", "error Unknown type: 'TNoSuchType' @ 1:19"},
      {"PascalScript", "var a: Integer;\r\nbegin\r\n  a := 'x'\r\nend.",
       "error Incompatible types: 'Integer', 'String' @ 3:11"},
      {"PascalScript", "begin\r\n  Emit('a' + 1)\r\nend.", "error Incompatible types @ 2:13"},
      {"PascalScript", "begin\r\n  nothing := 1\r\nend.", "error Undeclared identifier: 'nothing' @ 2:10"},
      {"PascalScript", "var a: Integer;\r\nbegin\r\n  with a do Emit(1)\r\nend.", "error Class type required @ 3:8"},
      {"PascalScript", "var s: String;\r\nbegin\r\n  Emit(s.Length)\r\nend.",
       "error Strings doesn't have properties or methods @ 3:16"},
      {"PascalScript", "var a: Integer;\r\nbegin\r\n  Emit(a[1])\r\nend.", "error Array type required @ 3:10"},
      {"PascalScript", "begin\r\n  Emit()\r\nend.", "error Not enough actual parameters @ 2:7"},
      {"PascalScript", "begin\r\n  Emit(1, 2)\r\nend.", "error Too many actual parameters @ 2:7"},
      {"PascalScript", "begin\r\n  True := False\r\nend.", "error Left side cannot be assigned to @ 2:3"},
      {"PascalScript", "var s: String;\r\nbegin\r\n  for s := 1 to 2 do Emit(s)\r\nend.",
       "error For loop variable must be numeric variable @ 3:8"},
      {"C++Script", "int a;\r\nint a;\r\n{ }", "error Identifier redeclared: 'a' @ 2:6"},
      {"PascalScript", "begin\r\n  Emit(@Emit.x)\r\nend.", "error Variable required @ 2:9"},
      {"C++Script", "{\r\n  Emit(&Emit.x);\r\n}", "error Variable required @ 2:9"},
      {"C++Script", "{\r\n  nothing++;\r\n}", "error Undeclared identifier: 'nothing' @ 2:10"},
      {"BasicScript", "Dim a As Integer\r\na = \"x\"", "error Incompatible types: 'Integer', 'String' @ 2:8"},
      {"JScript", "Emit();", "error Not enough actual parameters @ 1:5"},
      {"JScript", "Emit(1, 2, 3);", "error Too many actual parameters @ 1:5"},
  };
  for (const CompileCase& c : cases) {
    TScriptHost host(c.language);
    EXPECT_EQ(host.Compile(c.text), c.error) << c.language << ": " << c.text;
    EXPECT_TRUE(host.Script().ErrorUnitName().empty());
  }
}

TEST(InterpreterCompile, NamesTheUnitOfABuildError) {
  TScriptHost host;
  host.Script().SetOnGetUnit([](TscScript*, const String& Name, String& Text) {
    if (SameText(Name, "Helpers")) Text = "procedure H;\r\nbegin\r\n  missing := 1\r\nend;\r\nbegin end.";
  });
  EXPECT_EQ(host.Compile("uses 'Helpers';\r\nbegin H end."), "error Undeclared identifier: 'missing' @ 3:10 in Helpers");
  // A good compile clears the place of the last error.
  EXPECT_EQ(host.Compile("begin end."), "");
  EXPECT_TRUE(host.Script().ErrorPosition().empty());
  EXPECT_TRUE(host.Script().ErrorUnitName().empty());
}

TEST(InterpreterCompile, MessagesAreReplaceable) {
  const String saved = scconsts::SIdUndeclared;
  scconsts::SIdUndeclared = "Nicht deklariert: ";
  TScriptHost host;
  const String error = host.Compile("begin x := 1 end.");
  scconsts::SIdUndeclared = saved;
  EXPECT_EQ(error, "error Nicht deklariert: 'x' @ 1:8");
}

TEST(InterpreterRunLine, ReportsStatementPositionsInOrder) {
  TScriptHost host;
  std::vector<String> lines;
  host.Script().SetOnRunLine(
      [&](TscScript*, const String& Unit, const String& Pos) { lines.push_back(Unit.empty() ? Pos : Unit + ":" + Pos); });
  EXPECT_EQ(host.Run("procedure P;\r\nbegin\r\n  Emit(1)\r\nend;\r\n\r\nvar i: Integer;\r\nbegin\r\n"
                     "  for i := 1 to 2 do\r\n    P;\r\n  Emit(2)\r\nend."),
            "1 1 2");
  const std::vector<String> expected = {"8:3", "9:5", "3:3", "9:5", "3:3", "10:3"};
  EXPECT_EQ(lines, expected);
}

// Handlers come and go with their scripts: a handler set, cleared or freed elsewhere does not change who
// is asked.
TEST(InterpreterRunLine, FollowsHandlersAsTheyAreSetClearedAndFreed) {
  int calls = 0;
  const TscRunLineEvent count = [&](TscScript*, const String&, const String&) { ++calls; };
  {
    TScriptHost freed;
    freed.Script().SetOnRunLine(count);
  }
  TScriptHost host;
  host.Script().SetOnRunLine(count);
  host.Script().SetOnRunLine(count);
  TScriptHost other;
  other.Script().SetOnRunLine(count);
  other.Script().SetOnRunLine(TscRunLineEvent());
  EXPECT_EQ(other.Run("begin Emit(1) end."), "1");
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(host.Run("begin Emit(1) end."), "1");
  EXPECT_EQ(calls, 1);
  host.Script().SetOnRunLine(TscRunLineEvent());
  host.Script().Execute();
  EXPECT_EQ(calls, 1);
  // A handler on the parent, set after the child was compiled.
  TscScript child(nullptr);
  child.SetParent(&other.Script());
  child.Lines()->SetText("begin end.");
  ASSERT_TRUE(child.Compile());
  other.Script().SetOnRunLine(count);
  child.Execute();
  EXPECT_EQ(calls, 1);
  child.Lines()->SetText("var i: Integer; begin i := 1 end.");
  child.Clear();
  ASSERT_TRUE(child.Compile());
  child.Execute();
  EXPECT_EQ(calls, 2);
}

}  // namespace
}  // namespace script_test
