// Support of the script engine's tests: the registered languages, parsing to compact intermediate
// programs, and tree dumps.
#pragma once

#include <gtest/gtest.h>

#include "script/sc_ilparser.h"
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

}  // namespace script_test
