// Late-bound automation: a recording dispatch object registered under a programmatic identifier shows the
// argument slots, the flags, the named arguments and the result slot of each call a script makes.
#include "platform/ole/ComObj.h"
#include "platform/rtl/CodePages.h"
#include "tests/script/ScriptTesting.h"

namespace script_test {
namespace {

// Each invocation as "Name flags [slot0, slot1, ...] named=<ids> result=<0|1>"; members named "Fail..." fail
// with an exception record, "Unknown" is not found, "Count" answers 42, "Self" answers the object itself.
class TRecorder : public TDispatchObject {
 public:
  explicit TRecorder(std::vector<String>& Log) : log_(Log) {}

  HRESULT GetIDsOfNames(const WideString& Name, DISPID& Id) override {
    const String name = WideToUtf8(Name);
    if (name == "Unknown") return DISP_E_UNKNOWNNAME;
    for (size_t i = 0; i < names_.size(); ++i) {
      if (names_[i] == name) {
        Id = static_cast<DISPID>(i + 1);
        return S_OK;
      }
    }
    names_.push_back(name);
    Id = static_cast<DISPID>(names_.size());
    return S_OK;
  }

  HRESULT Invoke(DISPID Id, WORD Flags, DISPPARAMS& Params, Variant* Result, EXCEPINFO* Info) override {
    const String& name = names_.at(static_cast<size_t>(Id - 1));
    String entry = name + " " + IntToStr(Flags) + " [";
    for (UINT i = 0; i < Params.cArgs; ++i) {
      if (i > 0) entry += ", ";
      entry += VarToStr(Params.rgvarg[i]);
    }
    entry += "] named=";
    for (UINT i = 0; i < Params.cNamedArgs; ++i) entry += IntToStr(Params.rgdispidNamedArgs[i]);
    entry += String(" result=") + (Result != nullptr ? "1" : "0");
    log_.push_back(entry);
    if (name == "FailDescription") {
      Info->bstrDescription = Utf8ToWide("disk full");
      return DISP_E_EXCEPTION;
    }
    if (name == "FailAll") {
      Info->bstrSource = Utf8ToWide("Recorder");
      Info->bstrDescription = Utf8ToWide("bad");
      Info->bstrHelpFile = Utf8ToWide("rec.hlp");
      return DISP_E_EXCEPTION;
    }
    if (Result != nullptr && name == "Count") *Result = Variant(Integer{42});
    if (Result != nullptr && name == "Self") *Result = Variant(static_cast<IDispatch*>(this));
    return S_OK;
  }

 private:
  std::vector<String>& log_;
  std::vector<String> names_;
};

class AutomationTest : public ::testing::Test {
 protected:
  AutomationTest() {
    RegisterOleObject("Test.Recorder", [this]() -> IDispatch* { return new TRecorder(log_); });
  }
  ~AutomationTest() override { UnregisterOleObject("Test.Recorder"); }

  std::vector<String> log_;
};

TEST_F(AutomationTest, CallsCarryTheirSlotsFlagsAndNamedArguments) {
  struct Case {
    const char* statement;
    const char* logged;
  };
  const Case cases[] = {
      // Arguments go last first.
      {"o.Method(1, 'a')", "Method 1 [a, 1] named= result=0"},
      // A property put names its value; an indexed put passes the value first.
      {"o.Prop := 5", "Prop 4 [5] named=-3 result=0"},
      {"o.Items(2) := 5", "Items 4 [5, 2] named=-3 result=0"},
      // Read in an expression: method or property, with a result slot; as a statement: a method without.
      {"x := o.Count; Emit(x)", "Count 3 [] named= result=1"},
      {"o.Refresh", "Refresh 1 [] named= result=0"},
      // A chain: each member invoked on what the one before answered.
      {"o.Self.Method(3)", "Self 3 [] named= result=1|Method 1 [3] named= result=0"},
  };
  for (const Case& c : cases) {
    log_.clear();
    TScriptHost host;
    const String trace =
        host.Run(String("var o, x: Variant; begin o := CreateOleObject('Test.Recorder'); ") + c.statement + " end.");
    String logged;
    for (const String& entry : log_) logged += (logged.empty() ? "" : "|") + entry;
    EXPECT_EQ(logged, c.logged) << c.statement;
    if (String(c.statement).find("Emit") != String::npos) { EXPECT_EQ(trace, "42"); }
  }
}

TEST_F(AutomationTest, FailuresRaiseTheOleErrorText) {
  const struct {
    const char* statement;
    const char* error;
  } cases[] = {
      {"o.FailDescription", "raise OLE error:80020009: FailDescription\r\nDescription ::  disk full"},
      {"o.FailAll(1)",
       "raise OLE error:80020009: FailAll\r\nSource        ::  Recorder\r\nDescription ::  bad\r\nHelp File     ::  rec.hlp"},
      // A name the object does not know fails at the lookup.
      {"o.Unknown", "raise OLE error:80020006: Unknown"},
  };
  for (const auto& c : cases) {
    TScriptHost host;
    EXPECT_EQ(host.Run(String("var o: Variant; begin o := CreateOleObject('Test.Recorder'); ") + c.statement + " end."),
              c.error);
  }
  // The errors reach try-except.
  EXPECT_EQ(RunScript("var o: Variant; begin o := CreateOleObject('Test.Recorder'); "
                     "try o.FailAll except Emit('caught') end end."),
            "caught");
}

TEST_F(AutomationTest, MembersOfANonObjectOrUnregisteredIdentifierRaise) {
  EXPECT_EQ(RunScript("var o: Variant; begin o := CreateOleObject('test.recorder'); o.Refresh; Emit('ok') end."), "ok");
  EXPECT_EQ(RunScript("var o: Variant; begin o := CreateOleObject('Other.Thing') end."), "raise Invalid class string");
  EXPECT_EQ(RunScript("var o: Variant; begin o := 5; o.Refresh end.").rfind("raise ", 0), 0u);
}

TEST_F(AutomationTest, AtMost64ArgumentsGoToOneCall) {
  const auto call = [](int Count) {
    String args;
    for (int i = 0; i < Count; ++i) args += (i == 0 ? "" : ", ") + IntToStr(i);
    return RunScript("var o: Variant; begin o := CreateOleObject('Test.Recorder'); o.Method(" + args + ") end.");
  };
  EXPECT_EQ(call(64), "");
  ASSERT_EQ(log_.size(), 1u);
  EXPECT_EQ(log_[0].rfind("Method 1 [63, 62, ", 0), 0u) << log_[0];
  EXPECT_NE(log_[0].find(", 1, 0] named= result=0"), String::npos) << log_[0];
  log_.clear();
  EXPECT_EQ(call(65), "raise Too many actual parameters");
  EXPECT_TRUE(log_.empty());
}

}  // namespace
}  // namespace script_test
