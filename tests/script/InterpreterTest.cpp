// Smoke.
#include "tests/script/ScriptTesting.h"

namespace script_test {
namespace {

TEST(InterpreterSmoke, Runs) {
  TScriptHost host;
  EXPECT_EQ(host.Run("var i: Integer; begin for i := 1 to 3 do Emit(i * 2); Emit('x' + IntToStr(5)) end."), "2 4 6 x5");
}

}  // namespace
}  // namespace script_test
