// The grammar-driven parser with the four grammars: intermediate programs, errors, units and limits.
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

#include "platform/classes/ClassErrors.h"
#include "tests/script/ScriptTesting.h"

namespace script_test {
namespace {

struct ParseCase {
  const char* Language;
  const char* Text;
  const char* Expected;
};

using TscILParserTest = ScriptTest;

void ExpectShapes(const std::vector<ParseCase>& Cases) {
  for (const ParseCase& c : Cases) {
    SCOPED_TRACE(String(c.Language) + ": " + c.Text);
    EXPECT_EQ(Shape(c.Language, c.Text), c.Expected);
  }
}

TEST_F(TscILParserTest, BuildsPascalScriptConstructs) {
  ExpectShapes({
      {"PascalScript", "begin end.", "compoundstmt"},
      {"PascalScript", "program p; begin x := 1 end.", "compoundstmt(assignstmt(dsgn(node[x]),expr(number[1])))"},
      {"PascalScript", "const a = 1; b = 'x'; begin end.",
       "const(ident[a],expr(number[1])),const(ident[b],expr(string['x'])),compoundstmt"},
      {"PascalScript", "var a, b: Integer = 2; c: array[1..3, 0..n] of String; d: array of Byte; begin end.",
       "var(ident[a],ident[b],type[Integer],init(expr(number[2]))),"
       "var(ident[c],array(dim(expr(number[1]),expr(number[3])),dim(expr(number[0]),expr(dsgn(node[n])))),"
       "type[String]),var(ident[d],array,type[Byte]),compoundstmt"},
      {"PascalScript",
       "procedure P(var a, b: Integer; const c: String; d: Byte); var x: Integer; begin end; begin end.",
       "procedure(name[P],parameters(varparams,var(ident[a],ident[b],type[Integer]),var(ident[c],type[String]),"
       "var(ident[d],type[Byte])),var(ident[x],type[Integer]),compoundstmt),compoundstmt"},
      {"PascalScript", "function F(x: Integer): Integer; begin Result := x end; begin end.",
       "function(name[F],parameters(var(ident[x],type[Integer])),type[Integer],"
       "compoundstmt(assignstmt(dsgn(node[Result]),expr(dsgn(node[x]))))),compoundstmt"},
      {"PascalScript", "begin a.b[1, 2](3).c := @d; e; f(); break; continue; exit end.",
       "compoundstmt(assignstmt(dsgn(node[a],node[b],node[[],expr(number[1]),expr(number[2]),expr(number[3]),"
       "node[c]),expr(dsgn(addr[@],node[d]))),callstmt(dsgn(node[e])),callstmt(dsgn(node[f])),break,continue,"
       "exit)"},
      {"PascalScript", "begin if a then b else c; if a then else b end.",
       "compoundstmt(ifstmt(expr(dsgn(node[a])),thenstmt(callstmt(dsgn(node[b]))),"
       "elsestmt(callstmt(dsgn(node[c])))),ifstmt(expr(dsgn(node[a])),thenstmt,elsestmt(callstmt(dsgn(node[b])))))"},
      // A ";" before the "end" of a case is accepted.
      {"PascalScript", "begin case x of 1, 2..3: a; 4: ; else b; end end.",
       "compoundstmt(casestmt(expr(dsgn(node[x])),caseselector(set(expr(number[1]),expr(number[2]),range[.],"
       "expr(number[3])),callstmt(dsgn(node[a]))),caseselector(set(expr(number[4]))),callstmt(dsgn(node[b]))))"},
      {"PascalScript", "begin case x of 1: a; end end.",
       "compoundstmt(casestmt(expr(dsgn(node[x])),caseselector(set(expr(number[1])),callstmt(dsgn(node[a])))))"},
      {"PascalScript", "begin repeat a; b until c; while a do b; for i := 1 to 2 do a; for i := 2 downto 1 do end.",
       "compoundstmt(repeatstmt(callstmt(dsgn(node[a])),callstmt(dsgn(node[b])),expr(dsgn(node[c]))),"
       "whilestmt(expr(dsgn(node[a])),callstmt(dsgn(node[b]))),forstmt(ident[i],expr(number[1]),expr(number[2]),"
       "callstmt(dsgn(node[a]))),forstmt(ident[i],expr(number[2]),downto[downto],expr(number[1])))"},
      {"PascalScript", "begin try a finally b end; try a except b; c end end.",
       "compoundstmt(trystmt(callstmt(dsgn(node[a])),finallystmt(callstmt(dsgn(node[b])))),"
       "trystmt(callstmt(dsgn(node[a])),exceptstmt(callstmt(dsgn(node[b])),callstmt(dsgn(node[c])))))"},
      {"PascalScript", "begin with a, b.c do d end.",
       "compoundstmt(with(dsgn(node[a]),dsgn(node[b],node[c]),callstmt(dsgn(node[d]))))"},
      {"PascalScript", "begin x := -a + b * c div d mod e and f shl g shr h or i xor j / k - l end.",
       "compoundstmt(assignstmt(dsgn(node[x]),expr(op[unminus],dsgn(node[a]),op[+],dsgn(node[b]),op[*],"
       "dsgn(node[c]),op[div],dsgn(node[d]),op[mod],dsgn(node[e]),op[and],dsgn(node[f]),op[shl],dsgn(node[g]),"
       "op[shr],dsgn(node[h]),op[or],dsgn(node[i]),op[xor],dsgn(node[j]),op[/],dsgn(node[k]),op[-],"
       "dsgn(node[l]))))"},
      {"PascalScript", "begin x := (a > b) = (c >= d) <> (e <= f) < g; y := not a in [1, 2..3] is b end.",
       "compoundstmt(assignstmt(dsgn(node[x]),expr(op[(],expr(dsgn(node[a]),op[>],dsgn(node[b])),op[)],op[=],"
       "op[(],expr(dsgn(node[c]),op[>=],dsgn(node[d])),op[)],op[<>],op[(],expr(dsgn(node[e]),op[<=],"
       "dsgn(node[f])),op[)],op[<],dsgn(node[g]))),assignstmt(dsgn(node[y]),expr(op[not],dsgn(node[a]),op[in],"
       "set(expr(number[1]),expr(number[2]),range[.],expr(number[3])),op[is],dsgn(node[b]))))"},
      // Raw text in "<" ... ">" is a call of the host's Get.
      {"PascalScript", "begin x := 'it''s' + #65 + $1F + 1.5e3 + <Order.\"Date\"> end.",
       "compoundstmt(assignstmt(dsgn(node[x]),expr(string['it's'],op[+],string['A'],op[+],number[$1F],op[+],"
       "number[1.5e3],op[+],dsgn(node[Get],expr(string['Order.\"Date\"'])))))"},
      // A string that looks like an escape arrives as it was written.
      {"PascalScript", "begin x := '&#65; &quot; <&>' end.",
       "compoundstmt(assignstmt(dsgn(node[x]),expr(string['&#65; &quot; <&>'])))"},
      // Text after the final "." is not examined.
      {"PascalScript", "begin end. this is } not { read", "compoundstmt"},
      // A constant section ends at the identifier that meets "var": that failure is no error.
      {"PascalScript", "const a = 1; var b: Integer; begin end.",
       "const(ident[a],expr(number[1])),var(ident[b],type[Integer]),compoundstmt"},
  });
}

TEST_F(TscILParserTest, BuildsCppScriptConstructs) {
  ExpectShapes({
      {"C++Script", "{ }", "compoundstmt"},
      {"C++Script", "#define max 10 int x, y[3][2, 1] = 0; { }",
       "const(ident[max],expr(number[10])),var(type[int],ident[x],ident[y],array(dim(expr(number[3])),"
       "dim(expr(number[2])),dim(expr(number[1]))),init(expr(number[0]))),compoundstmt"},
      // A function's type comes before its name; "void" is one of the type names.
      {"C++Script", "void f(int a, string &b, int c = 1) { return; } int g() { return a + 1; } { f(1, s); }",
       "function(type[void],name[f],parameters(var(type[int],ident[a]),var(type[string],varparam[&],ident[b]),"
       "var(type[int],ident[c],init(expr(number[1])))),compoundstmt(return)),function(type[int],name[g],"
       "parameters,compoundstmt(return(expr(dsgn(node[a]),op[+],number[1])))),compoundstmt(callstmt(dsgn(node[f],"
       "expr(number[1]),expr(dsgn(node[s])))))"},
      {"C++Script", "{ x = 1; x += 1; x -= 2; x *= 3; x /= 4; x++; x--; f(); ; }",
       "compoundstmt(assignstmt(dsgn(node[x]),expr(number[1])),assignstmt(dsgn(node[x]),modificator[+],"
       "expr(number[1])),assignstmt(dsgn(node[x]),modificator[-],expr(number[2])),assignstmt(dsgn(node[x]),"
       "modificator[*],expr(number[3])),assignstmt(dsgn(node[x]),modificator[/],expr(number[4])),"
       "callstmt(dsgn(node[x]),modificator[+]),callstmt(dsgn(node[x]),modificator[-]),callstmt(dsgn(node[f])),"
       "empty)"},
      {"C++Script", "{ if (a) b; else { c; } if (a) { } }",
       "compoundstmt(ifstmt(expr(dsgn(node[a])),thenstmt(callstmt(dsgn(node[b]))),elsestmt(compoundstmt("
       "callstmt(dsgn(node[c]))))),ifstmt(expr(dsgn(node[a])),thenstmt(compoundstmt)))"},
      {"C++Script", "{ switch (x) { case 1, 2..3: a; case 4: { b; } default: c; } }",
       "compoundstmt(casestmt(expr(dsgn(node[x])),caseselector(set(expr(number[1]),expr(number[2]),range[.],"
       "expr(number[3])),callstmt(dsgn(node[a]))),caseselector(set(expr(number[4])),compoundstmt(callstmt("
       "dsgn(node[b])))),callstmt(dsgn(node[c]))))"},
      {"C++Script", "{ do a; while (b); do { a; } while (b); while (a) b; }",
       "compoundstmt(repeatstmt(callstmt(dsgn(node[a])),expr(dsgn(node[b])),inverse),repeatstmt(compoundstmt("
       "callstmt(dsgn(node[a]))),expr(dsgn(node[b])),inverse),whilestmt(expr(dsgn(node[a])),callstmt("
       "dsgn(node[b]))))"},
      {"C++Script", "{ for (i = 0, j = 1; i < 10; i++) a; for (int k = 0; k != 1; ) ; }",
       "compoundstmt(cppforstmt(compoundstmt(assignstmt(dsgn(node[i]),expr(number[0])),assignstmt(dsgn(node[j]),"
       "expr(number[1]))),expr(dsgn(node[i]),op[<],number[10]),compoundstmt(callstmt(dsgn(node[i]),"
       "modificator[+])),callstmt(dsgn(node[a]))),cppforstmt(compoundstmt(var(type[int],ident[k],init(expr("
       "number[0])))),expr(dsgn(node[k]),op[<>],number[1]),compoundstmt(empty),empty))"},
      {"C++Script", "{ try { a; } finally { b; } try { a; } except { b; } }",
       "compoundstmt(trystmt(compoundstmt(callstmt(dsgn(node[a]))),finallystmt(compoundstmt(callstmt("
       "dsgn(node[b]))))),trystmt(compoundstmt(callstmt(dsgn(node[a]))),exceptstmt(compoundstmt(callstmt("
       "dsgn(node[b]))))))"},
      // "exit" fits the keyword element though it is no reserved word; "If" is no keyword.
      {"C++Script", "{ break; continue; exit; return x; delete p; q = new TList; r = &s; If(x); }",
       "compoundstmt(break,continue,exit,return(expr(dsgn(node[x]))),delete(dsgn(node[p])),assignstmt("
       "dsgn(node[q]),expr(new(dsgn(node[TList])))),assignstmt(dsgn(node[r]),expr(dsgn(addr[&],node[s]))),"
       "callstmt(dsgn(node[If],expr(dsgn(node[x])))))"},
      {"C++Script", "{ x = !a && b || c ^ d % e << f >> g == h; y = a != b <= c >= d; }",
       "compoundstmt(assignstmt(dsgn(node[x]),expr(op[not],dsgn(node[a]),op[and],dsgn(node[b]),op[or],"
       "dsgn(node[c]),op[xor],dsgn(node[d]),op[mod],dsgn(node[e]),op[shl],dsgn(node[f]),op[shr],dsgn(node[g]),"
       "op[=],dsgn(node[h]))),assignstmt(dsgn(node[y]),expr(dsgn(node[a]),op[<>],dsgn(node[b]),op[<=],"
       "dsgn(node[c]),op[>=],dsgn(node[d]))))"},
      {"C++Script", "{ x = \"a\\n\" + 0x1F + [1..2] + a[1][2]; }",
       "compoundstmt(assignstmt(dsgn(node[x]),expr(string['a\n'],op[+],number[$1F],op[+],set(expr(number[1]),"
       "range[.],expr(number[2])),op[+],dsgn(node[a],node[[],expr(number[1]),expr(number[2])))))"},
  });
}

TEST_F(TscILParserTest, BuildsBasicScriptConstructs) {
  ExpectShapes({
      {"BasicScript", "dim a as integer, b[2, 3], c = 1\r\n",
       "compoundstmt(var(ident[a],type[integer]),var(ident[b],array(dim(expr(number[2])),dim(expr(number[3])))),"
       "var(ident[c],init(expr(number[1]))))"},
      {"BasicScript",
       "sub P(byref a, byval b as string, c = 1)\r\n  x = a\r\nend sub\r\nfunction F() as integer\r\n"
       "  return 1\r\nend function\r\n",
       "compoundstmt(procedure(name[P],parameters(varparams,var(ident[a]),var(ident[b],type[string]),var(ident[c],"
       "init(expr(number[1])))),compoundstmt(assignstmt(dsgn(node[x]),expr(dsgn(node[a]))))),function(name[F],"
       "parameters,type[integer],compoundstmt(return(expr(number[1])))))"},
      {"BasicScript", "x = 1 : y += 2 : z -= 3 : w *= 4 : v /= 5 : i++ : j--\r\nset o = new TList\r\n",
       "compoundstmt(assignstmt(dsgn(node[x]),expr(number[1])),assignstmt(dsgn(node[y]),modificator[+],"
       "expr(number[2])),assignstmt(dsgn(node[z]),modificator[-],expr(number[3])),assignstmt(dsgn(node[w]),"
       "modificator[*],expr(number[4])),assignstmt(dsgn(node[v]),modificator[/],expr(number[5])),"
       "callstmt(dsgn(node[i]),modificator[+]),callstmt(dsgn(node[j]),modificator[-]),assignstmt(dsgn(node[o]),"
       "expr(new(dsgn(node[TList])))))"},
      {"BasicScript", "if a then b = 1 : c = 2\r\n",
       "compoundstmt(ifstmt(expr(dsgn(node[a])),thenstmt(assignstmt(dsgn(node[b]),expr(number[1])),"
       "assignstmt(dsgn(node[c]),expr(number[2])))))"},
      // A block branch is an if inside the else branch per "elseif"; an empty branch has no element.
      {"BasicScript", "if a then\r\n  b\r\nelseif c then\r\n  d\r\nelse\r\n  e\r\nend if\r\nif f then\r\nend if\r\n",
       "compoundstmt(ifstmt(expr(dsgn(node[a])),thenstmt(compoundstmt(callstmt(dsgn(node[b])))),"
       "elsestmt(ifstmt(expr(dsgn(node[c])),thenstmt(compoundstmt(callstmt(dsgn(node[d])))),"
       "elsestmt(compoundstmt(callstmt(dsgn(node[e]))))))),ifstmt(expr(dsgn(node[f]))))"},
      {"BasicScript", "select case x\r\ncase 1, 2:\r\n  a\r\ncase 3: b\r\ncase else: c\r\nend select\r\n",
       "compoundstmt(casestmt(expr(dsgn(node[x])),caseselector(set(expr(number[1]),expr(number[2])),"
       "compoundstmt(callstmt(dsgn(node[a])))),caseselector(set(expr(number[3])),compoundstmt(callstmt("
       "dsgn(node[b])))),compoundstmt(callstmt(dsgn(node[c])))))"},
      {"BasicScript", "do\r\n  a\r\nloop until b\r\ndo\r\nloop while c\r\nwhile a\r\n  b\r\nwend\r\n",
       "compoundstmt(repeatstmt(compoundstmt(callstmt(dsgn(node[a]))),expr(dsgn(node[b]))),repeatstmt("
       "compoundstmt,expr(dsgn(node[c])),inverse),whilestmt(expr(dsgn(node[a])),compoundstmt(callstmt("
       "dsgn(node[b])))))"},
      {"BasicScript", "for i = 1 to 10 step 2\r\n  a\r\nnext\r\nfor j = 1 to 2\r\nnext\r\n",
       "compoundstmt(vbforstmt(ident[i],expr(number[1]),expr(number[10]),expr(number[2]),compoundstmt(callstmt("
       "dsgn(node[a])))),vbforstmt(ident[j],expr(number[1]),expr(number[2])))"},
      {"BasicScript", "try\r\n  a\r\ncatch\r\n  b\r\nend try\r\ntry\r\nfinally\r\nend try\r\n",
       "compoundstmt(trystmt(compoundstmt(callstmt(dsgn(node[a]))),exceptstmt(compoundstmt(callstmt("
       "dsgn(node[b]))))),trystmt(compoundstmt,finallystmt(compoundstmt)))"},
      {"BasicScript", "with a.b\r\n  c\r\nend with\r\nbreak : continue : exit : delete p : return\r\n",
       "compoundstmt(with(dsgn(node[a],node[b]),compoundstmt(callstmt(dsgn(node[c])))),break,continue,exit,"
       "delete(dsgn(node[p])),return)"},
      {"BasicScript", "x = a & \"s\" + b \\ c mod d and not e or f xor g <> h\r\ny = addressof z\r\n",
       "compoundstmt(assignstmt(dsgn(node[x]),expr(dsgn(node[a]),op[strcat],string['s'],op[+],dsgn(node[b]),"
       "op[div],dsgn(node[c]),op[mod],dsgn(node[d]),op[and],op[not],dsgn(node[e]),op[or],dsgn(node[f]),op[xor],"
       "dsgn(node[g]),op[<>],dsgn(node[h]))),assignstmt(dsgn(node[y]),expr(dsgn(addr[addressof],node[z]))))"},
      // Comments: "'" and the whole word "rem" in any case, also after a statement; continuation lines.
      {"BasicScript", "x = 1 ' one\r\nREM two\r\nremaining = 2 rem three\r\ny = a + _\r\n  b\r\n",
       "compoundstmt(assignstmt(dsgn(node[x]),expr(number[1])),assignstmt(dsgn(node[remaining]),"
       "expr(number[2])),assignstmt(dsgn(node[y]),expr(dsgn(node[a]),op[+],dsgn(node[b]))))"},
      // Lines of a text that ends without a line break, and lines ended by line feeds alone.
      {"BasicScript", "x = 1\ny = 2",
       "compoundstmt(assignstmt(dsgn(node[x]),expr(number[1])),assignstmt(dsgn(node[y]),expr(number[2])))"},
  });
}

TEST_F(TscILParserTest, BuildsJScriptConstructs) {
  ExpectShapes({
      {"JScript", "", ""},
      {"JScript", "var a = 1, b[2, 3], c;",
       "compoundstmt(var(ident[a],init(expr(number[1]))),var(ident[b],array(dim(expr(number[2])),dim(expr("
       "number[3])))),var(ident[c]))"},
      // A function has no type.
      {"JScript", "function f(a, &b) { return a; } f(1, x);",
       "compoundstmt(function(name[f],parameters(var(ident[a]),var(varparam[&],ident[b])),compoundstmt(return("
       "expr(dsgn(node[a]))))),callstmt(dsgn(node[f],expr(number[1]),expr(dsgn(node[x])))))"},
      {"JScript", "x = 1; x += 1; x -= 2; x *= 3; x /= 4; x++; x--; f()",
       "compoundstmt(assignstmt(dsgn(node[x]),expr(number[1])),assignstmt(dsgn(node[x]),modificator[+],"
       "expr(number[1])),assignstmt(dsgn(node[x]),modificator[-],expr(number[2])),assignstmt(dsgn(node[x]),"
       "modificator[*],expr(number[3])),assignstmt(dsgn(node[x]),modificator[/],expr(number[4])),"
       "callstmt(dsgn(node[x]),modificator[+]),callstmt(dsgn(node[x]),modificator[-]),callstmt(dsgn(node[f])))"},
      {"JScript", "if (a) b; else { c; } if (a) b",
       "compoundstmt(ifstmt(expr(dsgn(node[a])),thenstmt(callstmt(dsgn(node[b]))),elsestmt(compoundstmt("
       "callstmt(dsgn(node[c]))))),ifstmt(expr(dsgn(node[a])),thenstmt(callstmt(dsgn(node[b])))))"},
      {"JScript", "switch (x) { case 1, 2..3: a; case 4: { b; } default: c; }",
       "compoundstmt(casestmt(expr(dsgn(node[x])),caseselector(set(expr(number[1]),expr(number[2]),range[.],"
       "expr(number[3])),callstmt(dsgn(node[a]))),caseselector(set(expr(number[4])),compoundstmt(callstmt("
       "dsgn(node[b])))),callstmt(dsgn(node[c]))))"},
      {"JScript", "do a; while (b); while (a) b; for (i = 0; i < 10; i++) a; for (var k = 0; k != 1; ) { }",
       "compoundstmt(repeatstmt(callstmt(dsgn(node[a])),expr(dsgn(node[b])),inverse),whilestmt(expr("
       "dsgn(node[a])),callstmt(dsgn(node[b]))),cppforstmt(assignstmt(dsgn(node[i]),expr(number[0])),expr("
       "dsgn(node[i]),op[<],number[10]),callstmt(dsgn(node[i]),modificator[+]),callstmt(dsgn(node[a]))),"
       "cppforstmt(var(ident[k],init(expr(number[0]))),expr(dsgn(node[k]),op[<>],number[1]),empty,"
       "compoundstmt))"},
      {"JScript", "try { a; } finally { b; } try a; except b;",
       "compoundstmt(trystmt(compoundstmt(callstmt(dsgn(node[a]))),finallystmt(compoundstmt(callstmt("
       "dsgn(node[b]))))),trystmt(callstmt(dsgn(node[a])),exceptstmt(callstmt(dsgn(node[b])))))"},
      {"JScript", "with (a.b) c; break; continue; delete p; q = new TList; return;",
       "compoundstmt(with(dsgn(node[a],node[b]),callstmt(dsgn(node[c]))),break,continue,delete(dsgn(node[p])),"
       "assignstmt(dsgn(node[q]),expr(new(dsgn(node[TList])))),return)"},
      {"JScript", "x = !a && b || c ^ d % e << f >> g == h != i;",
       "compoundstmt(assignstmt(dsgn(node[x]),expr(op[not],dsgn(node[a]),op[and],dsgn(node[b]),op[or],"
       "dsgn(node[c]),op[xor],dsgn(node[d]),op[mod],dsgn(node[e]),op[shl],dsgn(node[f]),op[shr],dsgn(node[g]),"
       "op[=],dsgn(node[h]),op[<>],dsgn(node[i]))))"},
  });
}

TEST_F(TscILParserTest, WritesPositionsAndTypes) {
  // Elements made by a node carry the place of their first token; added ones the place after their
  // token; an expression also the place after it. Columns count bytes.
  EXPECT_EQ(ParseToText("C++Script", "int x = 1; { x = x + 1; if (x == 2) y++; }"),
            "<program><var pos=\"1:1\"><type text=\"int\" pos=\"1:4\"/><ident text=\"x\" pos=\"1:6\"/>"
            "<init pos=\"1:7\"><expr pos=\"1:9\" pos1=\"1:10\"><number text=\"1\" pos=\"1:10\"/></expr></init>"
            "</var><compoundstmt pos=\"1:12\"><assignstmt pos=\"1:14\"><dsgn pos=\"1:14\"><node text=\"x\" "
            "pos=\"1:15\"/></dsgn><expr pos=\"1:18\" pos1=\"1:23\"><dsgn pos=\"1:18\"><node text=\"x\" "
            "pos=\"1:19\"/></dsgn><op text=\"+\" pos=\"1:21\"/><number text=\"1\" pos=\"1:23\"/></expr>"
            "</assignstmt><ifstmt pos=\"1:25\"><expr pos=\"1:29\" pos1=\"1:35\"><dsgn pos=\"1:29\"><node "
            "text=\"x\" pos=\"1:30\"/></dsgn><op text=\"=\" pos=\"1:33\"/><number text=\"2\" pos=\"1:35\"/>"
            "</expr><thenstmt pos=\"1:37\"><callstmt pos=\"1:37\"><dsgn pos=\"1:37\"><node text=\"y\" "
            "pos=\"1:38\"/></dsgn><modificator text=\"+\" pos=\"1:40\"/></callstmt></thenstmt></ifstmt>"
            "</compoundstmt></program>");
  EXPECT_EQ(ParseToText("PascalScript", "{\xC3\xA9} begin\n  s := <a>\nend."),
            "<program><compoundstmt pos=\"1:6\"><assignstmt pos=\"2:3\"><dsgn pos=\"2:3\"><node text=\"s\" "
            "pos=\"2:4\"/></dsgn><expr pos=\"2:8\" pos1=\"2:11\"><dsgn pos=\"2:10\"><node text=\"Get\" "
            "pos=\"2:10\"/><expr pos=\"2:10\"><string text=\"'a'\" pos=\"2:10\"/></expr></dsgn></expr>"
            "</assignstmt></compoundstmt></program>");
  // Every program ends with its language's type names.
  const std::map<String, String> types = {
      {"PascalScript", "types"},
      {"C++Script",
       "types(int[type=\"integer\"],long[type=\"integer\"],void[type=\"integer\"],bool[type=\"boolean\"],"
       "float[type=\"extended\"])"},
      {"BasicScript", "types(decimal[type=\"extended\"])"},
      {"JScript", "types"},
  };
  const std::map<String, String> programs = {
      {"PascalScript", "begin end."}, {"C++Script", "{}"}, {"BasicScript", "\r\n"}, {"JScript", ""}};
  for (const auto& [language, text] : programs) {
    SCOPED_TRACE(language);
    TscILParser parser(nullptr);
    parser.LoadGrammar(language);
    ASSERT_TRUE(parser.ParseText(text));
    const TscXMLItem* root = parser.ILDocument()->Root();
    EXPECT_EQ(root->Name(), "program");
    EXPECT_EQ(Dump(root->Items(root->Count() - 1)), types.at(language));
  }
}

struct ErrorCase {
  const char* Language;
  const char* Text;
  const char* Error;
};

// Every error message each grammar can report, with where.
TEST_F(TscILParserTest, ReportsTheFirstErrorWithItsPlace) {
  const ErrorCase cases[] = {
      {"PascalScript", "program ; begin end.", "Identifier expected @ 1:9"},
      {"PascalScript", "uses 1; begin end.", "Identifier expected @ 1:6"},
      {"PascalScript", "const 1 = 2; begin end.", "Identifier expected @ 1:7"},
      {"PascalScript", "const var a: Integer; begin end.", "Identifier expected @ 1:7"},
      {"PascalScript", "var a: ; begin end.", "Identifier expected @ 1:8"},
      {"PascalScript", "begin a.1 := 2 end.", "Identifier expected @ 1:9"},
      {"PascalScript", "begin for := 1 to 2 do end.", "Identifier expected @ 1:11"},
      {"PascalScript", "function F: ; begin end; begin end.", "Identifier expected @ 1:13"},
      {"PascalScript", "begin a := end.", "Expression expected @ 1:12"},
      {"PascalScript", "var a Integer; begin end.", "':' expected @ 1:7"},
      {"PascalScript", "begin for i = 1 to 2 do end.", "':' expected @ 1:13"},
      {"PascalScript", "var a: Integer begin end.", "';' expected @ 1:16"},
      // A missing "end" of a block is "';' expected"; at the end of the text, on the line after it.
      {"PascalScript", "begin a := 1", "';' expected @ 2:1"},
      {"PascalScript", "begin try a finally b end.", "';' expected @ 1:26"},
      {"PascalScript", "begin end", "'.' expected @ 2:1"},
      {"PascalScript", "begin a := [1. 2] end.", "'.' expected @ 1:16"},
      {"PascalScript", "begin a := (1 end.", "')' expected @ 1:15"},
      {"PascalScript", "begin x := f(1 end.", "')' expected @ 1:16"},
      {"PascalScript", "procedure P(a: Integer; begin end; begin end.", "')' expected @ 1:25"},
      {"PascalScript", "begin a := [1 end.", "']' expected @ 1:15"},
      {"PascalScript", "begin a := b[1 end.", "']' expected @ 1:16"},
      {"PascalScript", "var a: array[1..2 of Integer; begin end.", "']' expected @ 1:19"},
      {"PascalScript", "begin a :- 1 end.", "'=' expected @ 1:10"},
      {"PascalScript", "const a 1; begin end.", "'=' expected @ 1:9"},
      {"PascalScript", "a := 1", "'BEGIN' expected @ 1:1"},
      {"PascalScript", "begin case a of 1: b; x end end.", "'END' expected @ 1:23"},
      {"PascalScript", "begin case a 1: b end end.", "'OF' expected @ 1:14"},
      {"PascalScript", "var a: array[1..2] Integer; begin end.", "'OF' expected @ 1:20"},
      {"PascalScript", "begin if a x := 1 end.", "'THEN' expected @ 1:12"},
      // ">" and "=" apart are no ">=".
      {"PascalScript", "begin if a > = b then end.", "'THEN' expected @ 1:12"},
      {"PascalScript", "begin repeat a end.", "'UNTIL' expected @ 1:16"},
      {"PascalScript", "begin for i := 1 up 2 do a end.", "'TO' or 'DOWNTO' expected @ 1:18"},
      {"PascalScript", "begin while a b end.", "'DO' expected @ 1:15"},
      {"PascalScript", "begin with a b end.", "'DO' expected @ 1:14"},
      {"PascalScript", "begin try a end.", "'FINALLY' or 'EXCEPT' expected @ 1:13"},
      {"PascalScript", "begin a := <abc end.", "'>' expected @ 2:1"},
      {"C++Script", "#include 1 { }", "Identifier expected @ 1:10"},
      {"C++Script", "#define 1 2 { }", "Identifier expected @ 1:9"},
      {"C++Script", "int f(int &) { } { }", "Identifier expected @ 1:12"},
      {"C++Script", "{ x = ; }", "Expression expected @ 1:7"},
      {"C++Script", "{ } int f() { }", "Statement expected @ 1:5"},
      {"C++Script", "{ switch (a) { case 1 b; } }", "':' expected @ 1:23"},
      {"C++Script", "{ switch (a) { case 1: b; default b; } }", "':' expected @ 1:35"},
      {"C++Script", "{ x = 1 }", "';' expected @ 1:9"},
      {"C++Script", "int x { }", "';' expected @ 1:7"},
      {"C++Script", "{ for (i = 0; i < 1) a; }", "';' expected @ 1:20"},
      {"C++Script", "{ do a; while (b) }", "';' expected @ 1:19"},
      {"C++Script", "{ x = (1; }", "')' expected @ 1:9"},
      {"C++Script", "{ if (a b; }", "')' expected @ 1:9"},
      {"C++Script", "{ x = a[1; }", "']' expected @ 1:10"},
      {"C++Script", "x = 1;", "'{' expected @ 1:1"},
      {"C++Script", "{ switch (a) case 1: b; }", "'{' expected @ 1:14"},
      {"C++Script", "{ x = 1;", "'}' expected @ 2:1"},
      {"C++Script", "{ if a) b; }", "'(' expected @ 1:6"},
      {"C++Script", "#foo { }", "'DEFINE' expected @ 1:2"},
      {"C++Script", "{ do a; b; }", "'WHILE' expected @ 1:9"},
      {"C++Script", "{ try { a; } b; }", "'FINALLY' or 'EXCEPT' expected @ 1:14"},
      {"C++Script", "{ x = <abc; }", "'>' expected @ 2:1"},
      {"BasicScript", "dim 1\r\n", "Identifier expected @ 1:5"},
      {"BasicScript", "dim a as\r\n", "Identifier expected @ 1:9"},
      {"BasicScript", "sub ()\r\nend sub\r\n", "Identifier expected @ 1:5"},
      {"BasicScript", "x = \r\n", "Expression expected @ 1:5"},
      {"BasicScript", "x = 1 y\r\n", "End of line expected @ 1:7"},
      {"BasicScript", "\"abc\"\r\n", "End of line expected @ 1:1"},
      {"BasicScript", "select case a\r\ncase 1 b\r\nend select\r\n", "':' expected @ 2:8"},
      {"BasicScript", "x = (1\r\n", "')' expected @ 1:7"},
      {"BasicScript", "x = f(1\r\n", "')' expected @ 1:8"},
      {"BasicScript", "x = a[1\r\n", "']' expected @ 1:8"},
      {"BasicScript", "for i 1 to 2\r\nnext\r\n", "'=' expected @ 1:7"},
      {"BasicScript", "for i = 1 2\r\nnext\r\n", "'TO' expected @ 1:11"},
      {"BasicScript", "if a then\r\n", "'END' expected @ 2:1"},
      {"BasicScript", "if a\r\nend if\r\n", "'THEN' expected @ 1:5"},
      {"BasicScript", "do\r\nloop x\r\n", "'WHILE' expected @ 2:6"},
      {"BasicScript", "select a\r\n", "'CASE' expected @ 1:8"},
      {"BasicScript", "select case a\r\ncase 1: b\r\nend\r\n", "'SELECT' expected @ 3:4"},
      {"BasicScript", "try\r\nend try\r\n", "'FINALLY' or 'CATCH' expected @ 2:1"},
      {"BasicScript", "x = <abc\r\n", "'>' expected @ 2:1"},
      {"BasicScript", "while a\r\n", "'WEND' expected @ 2:1"},
      {"BasicScript", "for i = 1 to 2\r\n", "'NEXT' expected @ 2:1"},
      {"BasicScript", "with a\r\n  b\r\nend\r\n", "'WITH' expected @ 3:4"},
      {"BasicScript", "try\r\nfinally\r\nend\r\n", "'TRY' expected @ 3:4"},
      {"BasicScript", "sub P\r\nend\r\n", "'SUB' expected @ 2:4"},
      {"BasicScript", "function F\r\nend\r\n", "'FUNCTION' expected @ 2:4"},
      {"BasicScript", "select case a\r\ncase 1: b\r\ncase : c\r\nend select\r\n", "'ELSE' expected @ 3:6"},
      {"BasicScript", "if a then\r\nend\r\n", "'IF' expected @ 2:4"},
      {"JScript", "import 1;", "Identifier expected @ 1:8"},
      {"JScript", "function (x) { }", "Identifier expected @ 1:10"},
      {"JScript", "x = ;", "Expression expected @ 1:5"},
      {"JScript", "}", "Statement expected @ 1:1"},
      {"JScript", "switch (a) { case 1 b; }", "':' expected @ 1:21"},
      {"JScript", "do a; while (b)", "';' expected @ 2:1"},
      {"JScript", "for (i = 0; i < 1) a;", "';' expected @ 1:18"},
      {"JScript", "x = (1;", "')' expected @ 1:7"},
      {"JScript", "x = f(1;", "')' expected @ 1:8"},
      {"JScript", "x = a[1;", "']' expected @ 1:8"},
      {"JScript", "switch (a) case 1: b;", "'{' expected @ 1:12"},
      {"JScript", "{ x = 1;", "'}' expected @ 2:1"},
      {"JScript", "if a) b;", "'(' expected @ 1:4"},
      {"JScript", "do a; b;", "'WHILE' expected @ 1:7"},
      {"JScript", "try { a; } b;", "'FINALLY' or 'EXCEPT' expected @ 1:12"},
      {"JScript", "x = <abc;", "'>' expected @ 2:1"},
  };
  for (const ErrorCase& c : cases) {
    SCOPED_TRACE(String(c.Language) + ": " + c.Text);
    EXPECT_EQ(ParseToText(c.Language, c.Text), String("error ") + c.Error);
  }
}

TEST_F(TscILParserTest, ParsesAllOfTheText) {
  // What the program rule leaves is an error where it begins (PascalScript stops at its final ".").
  const ErrorCase cases[] = {
      {"BasicScript", "x = 1\r\nEnd If\r\n", "End of line expected @ 2:1"},
      {"BasicScript", "x = 1\r\n123\r\n", "End of line expected @ 2:1"},
      {"BasicScript", "end if\r\n", "End of line expected @ 1:1"},
      {"JScript", "a = 1; }", "Statement expected @ 1:8"},
      {"JScript", "a = 1;;", "Statement expected @ 1:7"},
      {"C++Script", "{ } f();", "Statement expected @ 1:5"},
  };
  for (const ErrorCase& c : cases) {
    SCOPED_TRACE(String(c.Language) + ": " + c.Text);
    EXPECT_EQ(ParseToText(c.Language, c.Text), String("error ") + c.Error);
  }
}

TEST_F(TscILParserTest, ReportsCodesThatDoNotFitAtTheirString) {
  EXPECT_EQ(ParseToText("PascalScript", "begin\r\n  x := 'a'#99999999999\r\nend."),
            "error '99999999999' is not a valid integer value @ 2:8");
  EXPECT_EQ(ParseToText("JScript", "x = 1;\ny = \"\\x1FFFFFFFF\";"),
            "error '$1FFFFFFFF' is not a valid integer value @ 2:5");
}

TEST_F(TscILParserTest, SelectsTheLanguageOfTheFirstLine) {
  TscILParser parser(nullptr);
  parser.LoadGrammar("PascalScript");
  // The language line stays in the text: lines count it.
  EXPECT_EQ(Shape("", "#language JScript\r\nvar a = 1;", &parser), "compoundstmt(var(ident[a],init(expr(number[1]))))");
  EXPECT_EQ(parser.LanguageName(), "JScript");
  EXPECT_EQ(ParseToText("", "#Language BasicScript \nx = \n", &parser), "error Expression expected @ 2:5");
  EXPECT_FALSE(parser.DeclarationsRequired());
  // A switch starts from the defaults: nothing of BasicScript ("rem", optional declarations) remains.
  EXPECT_EQ(Shape("", "#language PascalScript\r\nbegin rem := 1 end.", &parser),
            "compoundstmt(assignstmt(dsgn(node[rem]),expr(number[1])))");
  EXPECT_TRUE(parser.DeclarationsRequired());
  parser.LoadGrammar("C++Script");
  EXPECT_EQ(Shape("", "#language PascalScript\r\nBEGIN END.", &parser), "compoundstmt");
  // Other first lines are no language line.
  parser.LoadGrammar("C++Script");
  EXPECT_EQ(Shape("", "#define a 1\r\n{ }", &parser), "const(ident[a],expr(number[1])),compoundstmt");
  EXPECT_EQ(ParseToText("", "#languages X\r\n{ }", &parser), "error 'DEFINE' expected @ 1:2");
  try {
    parser.ParseText("#language Nope\r\nbegin end.");
    ADD_FAILURE() << "parsed";
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), "Language 'Nope' not found");
  }
}

// Unit texts by name, and the names asked for.
class TUnits {
 public:
  explicit TUnits(std::map<String, String> Texts) : texts_(std::move(Texts)) {}
  TscGetUnitEvent Handler() {
    return [this](TscScript*, const String& Name, String& Text) {
      asked_ += asked_.empty() ? Name : "," + Name;
      const auto found = texts_.find(Name);
      if (found != texts_.end()) Text = found->second;
    };
  }
  const String& Asked() const { return asked_; }

 private:
  std::map<String, String> texts_;
  String asked_;
};

TEST_F(TscILParserTest, IncludesUnitsOnce) {
  TUnits units({{"a", "uses 'b';\nprocedure A; begin end;\nbegin end."},
                {"b", "procedure B; begin end;\nbegin end."},
                {"e", ""}});
  TscILParser parser(nullptr);
  parser.SetOnGetUnit(units.Handler());
  // The units of one clause stand in the reverse order of their names; each is included once (names
  // ignoring case), also when another unit included it first.
  EXPECT_EQ(Shape("PascalScript", "uses 'e', 'A', 'b', 'a';\nbegin end.", &parser),
            "uses[a](program(uses[b](program(procedure(name[B],compoundstmt),compoundstmt,types)),"
            "procedure(name[A],compoundstmt),compoundstmt,types)),uses[e],compoundstmt");
  EXPECT_EQ(units.Asked(), "a,b,e");
  EXPECT_EQ(parser.IncludedUnits()->CommaText(), "a,b,e");
}

TEST_F(TscILParserTest, NamesTheUnitThatFailed) {
  TUnits units({{"a", "uses 'c';\nbegin end."}, {"c", "begin\n  x := \nend."}, {"d", "begin end"}});
  TscILParser parser(nullptr);
  parser.SetOnGetUnit(units.Handler());
  EXPECT_EQ(ParseToText("PascalScript", "uses 'a';\nbegin end.", &parser), "error Expression expected @ 3:1 in c");
  EXPECT_EQ(ParseToText("PascalScript", "uses 'd';\nbegin end.", &parser), "error '.' expected @ 2:1 in d");
  // The next parse starts afresh.
  EXPECT_EQ(ParseToText("PascalScript", "begin end.", &parser), "<program><compoundstmt pos=\"1:1\"/></program>");
  EXPECT_EQ(parser.ErrorUnitName(), "");
}

TEST_F(TscILParserTest, ReadsUnitFilesWithoutAHandler) {
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("k58_script_unit_" + std::to_string(::getpid()) + ".vbs");
  std::ofstream(file) << "sub U()\nend sub\n";
  const String name = file.string();
  EXPECT_EQ(Shape("BasicScript", "imports \"" + name + "\"\r\nU()\r\n"),
            "compoundstmt(uses[" + name + "](program(compoundstmt(procedure(name[U],parameters)),types(decimal))),"
            "callstmt(dsgn(node[U])))");
  std::filesystem::remove(file);
  EXPECT_THROW(Shape("BasicScript", "imports \"" + name + "\"\r\n"), EFOpenError);
}

TEST_F(TscILParserTest, StopsNestingAtTheLimit) {
  // Parentheses, blocks and units nested too deep end in a compile error where the limit was reached.
  String shallow = "begin x := ", deep = shallow;
  for (Integer i = 0; i < 50; ++i) shallow += "(";
  shallow += "1";
  for (Integer i = 0; i < 50; ++i) shallow += ")";
  EXPECT_EQ(ParseToText("PascalScript", shallow + " end.").compare(0, 9, "<program>"), 0);
  for (Integer i = 0; i < 10000; ++i) deep += "(";
  const String error = ParseToText("PascalScript", deep + "1 end.");
  EXPECT_EQ(error.substr(0, 25), "error Stack overflow @ 1:");
  String blocks;
  for (Integer i = 0; i < 20000; ++i) blocks += "{";
  EXPECT_EQ(ParseToText("JScript", blocks).substr(0, 25), "error Stack overflow @ 1:");

  // A chain of units each using the next from inside nested blocks.
  TscILParser parser(nullptr);
  parser.SetOnGetUnit([](TscScript*, const String& Name, String& Text) {
    for (Integer i = 0; i < 40; ++i) Text += "if a then\r\n";
    Text += "imports \"" + Name + "x\"\r\n";
    for (Integer i = 0; i < 40; ++i) Text += "end if\r\n";
  });
  parser.LoadGrammar("BasicScript");
  EXPECT_FALSE(parser.ParseText("imports \"u\"\r\n"));
  EXPECT_EQ(parser.ErrorText(), "Stack overflow");
  EXPECT_EQ(parser.ErrorUnitName().substr(0, 2), "ux");
}

TEST_F(TscILParserTest, ChecksItsGrammars) {
  const struct {
    const char* Language;
    Integer Keywords;
    const char* Errors;
  } languages[] = {
      {"PascalScript", 40, "err1-err20"},
      {"C++Script", 19, "err1-err14,err17-err20"},
      {"BasicScript", 40, "err1-err28"},
      {"JScript", 22, "err1-err12,err14,err17-err20"},
  };
  for (const auto& language : languages) {
    SCOPED_TRACE(language.Language);
    TscXMLDocument grammar;
    TStringStream text(LanguageGrammar(language.Language));
    grammar.LoadFromStream(&text);
    TscXMLItem* root = grammar.Root();
    ASSERT_EQ(root->Name(), "language");
    EXPECT_EQ(root->Prop("text"), language.Language);
    // The sections in their order.
    ASSERT_GE(root->Count(), 4);
    EXPECT_EQ(root->Items(0)->Name(), "parser");
    EXPECT_EQ(root->Items(1)->Name(), "types");
    EXPECT_EQ(root->Items(2)->Name(), "empty");
    EXPECT_EQ(root->Items(3)->Name(), "program");
    TscXMLItem* parser = root->Items(0);
    EXPECT_EQ(parser->FindItem("keywords")->Count(), language.Keywords);
    TscXMLItem* errors = parser->FindItem("errors");
    for (Integer i = 0; i < errors->Count(); ++i) {
      EXPECT_FALSE(errors->Items(i)->Prop("text").empty()) << errors->Items(i)->Name();
    }
    // The error codes, written as ranges.
    std::vector<Integer> numbers;
    for (Integer i = 0; i < errors->Count(); ++i) numbers.push_back(StrToInt(errors->Items(i)->Name().substr(3)));
    String ranges;
    for (size_t i = 0; i < numbers.size();) {
      size_t j = i;
      while (j + 1 < numbers.size() && numbers[j + 1] == numbers[j] + 1) ++j;
      ranges += (ranges.empty() ? "err" : ",err") + IntToStr(numbers[i]);
      if (j > i) ranges += "-err" + IntToStr(numbers[j]);
      i = j + 1;
    }
    EXPECT_EQ(ranges, language.Errors);
    // Every element of every rule: a reference names a rule, an error name has a message.
    std::vector<const TscXMLItem*> work;
    for (Integer i = 2; i < root->Count(); ++i) work.push_back(root->Items(i));
    static const char* const kinds[] = {"char",   "keyword", "ident",          "number", "string",
                                        "frstring", "eol",   "sequence",       "switch", "optionalswitch",
                                        "loop",   "optionalloop", "optional"};
    while (!work.empty()) {
      const TscXMLItem* item = work.back();
      work.pop_back();
      const bool kind = std::find_if(std::begin(kinds), std::end(kinds), [&](const char* k) {
                          return item->Name() == k;
                        }) != std::end(kinds);
      if (item->Parent() != root && !kind) {
        EXPECT_GE(root->Find(item->Name()), 0) << item->Name();
      }
      const String err = item->Prop("err");
      if (!err.empty()) {
        EXPECT_GE(errors->Find(err), 0) << item->Name() << " " << err;
      }
      for (Integer i = 0; i < item->Count(); ++i) work.push_back(item->Items(i));
    }
  }
}

// A tiny grammar: a list of numbers.
constexpr const char* kNumbers =
    "<?xml version=\"1.0\"?><language text=\"Numbers\"><parser><errors><err1 text=\"Number expected\"/>"
    "</errors></parser><types/><empty/><program><loop text=\",\"><number add=\"n\" err=\"err1\"/></loop>"
    "</program></language>";

TEST_F(TscILParserTest, KeepsTheRegistry) {
  AddLanguage("Numbers", kNumbers);
  EXPECT_EQ(LanguageGrammar("NUMBERS"), kNumbers);
  EXPECT_EQ(Shape("numbers", "1, 2"), "n[1],n[2]");
  EXPECT_EQ(ParseToText("Numbers", "1, x"), "error Number expected @ 1:4");
  // Registering a name again replaces its grammar, also for the next parse.
  AddLanguage("NUMBERS", StringReplace(kNumbers, "add=\"n\"", "add=\"m\"", 0));
  EXPECT_EQ(Shape("Numbers", "3"), "m[3]");
  try {
    LanguageGrammar("Nope");
    ADD_FAILURE() << "found";
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), "Language 'Nope' not found");
  }
  // A rule that names no rule fails when the parse reaches it, not before.
  AddLanguage("Broken", "<?xml version=\"1.0\"?><language><program><optional><char text=\"!\"/><missing/>"
                        "</optional></program></language>");
  EXPECT_EQ(Shape("Broken", ""), "");
  try {
    Shape("Broken", "!");
    ADD_FAILURE() << "parsed";
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), "Invalid language definition");
  }
  // A grammar without err3 still names every failure.
  EXPECT_EQ(ParseToText("Numbers", "1 2"), "error Syntax error @ 1:3");
}

}  // namespace
}  // namespace script_test
