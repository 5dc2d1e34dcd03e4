// Test helpers of the editor framework: compiling a pattern from text, the error texts of a compilation
// and feeding a text to an engine character by character.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "controls/editors/uiRegExpr.h"
#include "platform/classes/Streams.h"
#include "platform/rtl/Strings.h"

namespace editors_test {

inline void Compile(TuiRegExpr& AEngine, const String& APattern) {
  TStringStream stream(APattern);
  AEngine.Compile(&stream);
}

// The texts of the errors of compiling APattern (empty when it compiled).
inline std::vector<String> CompileErrors(const String& APattern) {
  TuiRegExpr engine;
  std::vector<String> texts;
  try {
    Compile(engine, APattern);
  } catch (const EuiRegExprError& e) {
    for (Integer i = 0; i < e.Errors().Count(); ++i) texts.push_back(e.Errors().Items(i).Text());
  }
  return texts;
}

// Offers AText to the engine one character at a time; the number of characters taken before the first
// one refused.
inline Integer Feed(TuiRegExpr& AEngine, const String& AText) {
  Integer taken = 0;
  for (Integer i = 1; i <= Utf8Length(AText); ++i) {
    String ch = Utf8Copy(AText, i, 1);
    if (!AEngine.Advance(ch)) break;
    ++taken;
  }
  return taken;
}

}  // namespace editors_test
