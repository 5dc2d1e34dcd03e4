// Support of the script engine's tests: the registered languages, parsing to compact intermediate
// programs, and tree dumps.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "script/sc_ilparser.h"
#include "script/sc_interpreter.h"
#include "script/sc_languages.h"
#include "script/sc_xml.h"

namespace script_test {

// Tests that parse: the four languages are registered before the suite runs.
class ScriptTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { RegisterScriptLanguages(); }
};

// A document saved without its header.
String SaveBody(const TscXMLDocument& Document);
// The intermediate program of Text in Language (none: as Parser has it), without header and types, or "error <message> @
// <line:col>" (with " in <unit>" for an error in a unit).
String ParseToText(const String& Language, const String& Text, TscILParser* Parser = nullptr);
// name[text](children...) for an item and its subtree.
String Dump(const TscXMLItem* Item);
// The intermediate program of Text without positions and types: each element as its name, its text or
// unit value in brackets, and its children in parentheses; or the error as ParseToText gives it.
String Shape(const String& Language, const String& Text, TscILParser* Parser = nullptr);

// A script with the binding modules and a host procedure "procedure Emit(v: Variant)" that records the text
// of each value it gets (VarToStr; "<null>" for Null).
class TScriptHost {
 public:
  explicit TScriptHost(const String& Language = "PascalScript");
  ~TScriptHost();

  TscScript& Script() { return *script_; }
  // Compiles Text: "" on success, else "error <message> @ <line:col>" (" in <unit>" for a unit).
  String Compile(const String& Text);
  // Compiles and runs Text: the values emitted, joined by " "; a compile error as Compile gives it; an
  // error of the run as "raise <message>" after what was emitted.
  String Run(const String& Text);
  // The values emitted since the last Run.
  const std::vector<String>& Trace() const { return trace_; }

 private:
  Variant Emit(TObject* Instance, TClass ClassRef, const String& MethodName, TscMethodHelper* Caller);

  std::unique_ptr<TscScript> script_;
  std::vector<String> trace_;
};

// Text run in a new host (a script keeps what it compiled, so each program gets its own).
String RunScript(const String& Text, const String& Language = "PascalScript");

}  // namespace script_test
