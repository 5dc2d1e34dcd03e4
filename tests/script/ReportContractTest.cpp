// What the report engine does with scripts, replayed on a small fake report: binding its objects and
// functions, compiling its script, evaluating expressions through a cache of one-function scripts in each
// language, macro functions that evaluate their argument texts in the running script, event handlers by
// name, stopping a run, and what each clearing of a script frees.
#include <map>

#include "platform/classes/ClassBuilder.h"
#include "script/sc_statements.h"
#include "tests/script/ScriptTesting.h"

namespace script_test {
namespace {

// Counts the host objects alive, so a test sees that scripts never free what the host owns.
int liveBands = 0;

}  // namespace

// A report object the script reaches by name, with published properties.
class TFakeBand : public TComponent {
  K58_CLASS(TFakeBand, TComponent)

  explicit TFakeBand(TComponent* AOwner) : TComponent(AOwner) { ++liveBands; }
  ~TFakeBand() override { --liveBands; }

  Integer Height() const { return height_; }
  void SetHeight(Integer Value) { height_ = Value; }
  const String& Caption() const { return caption_; }
  void SetCaption(const String& Value) { caption_ = Value; }

 private:
  Integer height_ = 10;
  String caption_;
};

K58_IMPLEMENT_CLASS(TFakeBand) {
  b.Prop("Height", &TFakeBand::Height, &TFakeBand::SetHeight);
  b.Prop("Caption", &TFakeBand::Caption, &TFakeBand::SetCaption);
}

namespace {

// The report's binding module: registers its classes into every script that adds the modules.
class TFakeReportModule : public TscRTTIModule {
 public:
  explicit TFakeReportModule(TscScript* AScript) : TscRTTIModule(AScript) {
    AScript->AddClass(TComponent::StaticClass(), "");
    AScript->AddClass(TFakeBand::StaticClass(), "TComponent");
  }
};

// Expressions compiled once into functions "rudf<n>" of a private script, in the report's language.
class TExpressionCache {
 public:
  explicit TExpressionCache(TscScript* Main) : main_(Main), script_(std::make_unique<TscScript>(nullptr)) {
    script_->SetHighCharIdentifiers(true);
  }

  void Clear(const String& Language) {
    compiled_.clear();
    script_->Clear();
    language_ = Language;
  }

  // The value of Expr with the names of Script; ErrorText set when it does not compile.
  Variant Calc(const String& Expr, String& ErrorText, TscScript* Script) {
    ErrorText.clear();
    script_->SetParent(Script);
    TscCustomVariable* function = nullptr;
    const auto found = compiled_.find(AnsiUpperCase(Expr));
    if (found != compiled_.end()) {
      function = found->second;
    } else {
      const String name = "rudf" + IntToStr(static_cast<Integer>(compiled_.size()));
      script_->SetSyntaxType(language_);
      script_->Lines()->SetText(Wrapper(name, Expr));
      if (!script_->Compile()) {
        ErrorText = "Expression error '" + Expr + "': " + script_->ErrorText();
        return Null();
      }
      function = script_->FindLocal(name);
      compiled_[AnsiUpperCase(Expr)] = function;
    }
    main_->SetIsMainProgram(false);
    struct Restore {
      TscScript* Main;
      ~Restore() { Main->SetIsMainProgram(true); }
    } restore{main_};
    return function->ReadValue();
  }

  TscScript& Script() { return *script_; }
  Integer Count() const { return static_cast<Integer>(compiled_.size()); }

  // The one-function text of an expression in each language.
  String Wrapper(const String& Name, const String& Expr) const {
    if (SameText(language_, "C++Script")) return "Variant " + Name + "() { return " + Expr + "; } {}";
    if (SameText(language_, "BasicScript")) return "function " + Name + "\r\nreturn " + Expr + "\r\nend function";
    if (SameText(language_, "JScript")) return "function " + Name + "() { return " + Expr + "; }";
    return "function " + Name + ": Variant; begin Result := " + Expr + " end; begin end.";
  }

 private:
  TscScript* main_;
  std::unique_ptr<TscScript> script_;
  std::map<String, TscCustomVariable*> compiled_;
  String language_;
};

// The report: its objects, variables, functions, script and expression cache.
class TFakeReport : public TComponent {
 public:
  TFakeReport() : TComponent(nullptr), main_(std::make_unique<TscScript>(nullptr)), cache_(main_.get()) {
    main_->SetHighCharIdentifiers(true);
    main_->AddRTTI();
    band_ = new TFakeBand(this);
    band_->SetName("MasterData1");
  }

  TscScript& Main() { return *main_; }
  TExpressionCache& Cache() { return cache_; }
  TFakeBand* Band() const { return band_; }

  TStringList ScriptText;
  String ScriptLanguage = "PascalScript";
  std::map<String, Variant> Variables;
  std::vector<String> BuildErrors;
  std::vector<String> Emitted;

  bool BindScript() {
    cache_.Clear(ScriptLanguage);
    main_->ClearItems(this);
    main_->SetOwnerTag(this);
    main_->SetIsMainProgram(true);
    struct Untag {
      TscScript* Script;
      ~Untag() { Script->SetOwnerTag(otNone); }
    } untag{main_.get()};
    main_->AddObject(band_->Name(), band_);
    main_->AddObject("Report", this);
    main_->AddVariable("Value", "Variant", Null());
    const TscParamArrayCallback call(this, &TFakeReport::Call);
    for (const char* syntax :
         {"function Get(Name: String): Variant", "procedure Set(Name: String; Value: Variant)",
          "macrofunction IIF(Expr: Boolean; TrueValue, FalseValue: Variant): Variant",
          "macrofunction SUM(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
          "procedure Emit(v: Variant)"}) {
      main_->AddMethodWithParamArray(syntax, call);
    }
    valueVariable_ = main_->Find("Value");
    main_->SetLines(&ScriptText);
    main_->SetSyntaxType(ScriptLanguage);
    if (main_->Compile()) return true;
    BuildErrors.push_back(main_->ErrorPosition() + ": " + main_->ErrorText());
    return false;
  }

  Variant Calc(const String& Expr, TscScript* Script = nullptr) {
    const auto variable = Variables.find(Expr);
    if (variable != Variables.end()) return variable->second;
    String error;
    Variant value = cache_.Calc(Expr, error, Script != nullptr ? Script : main_.get());
    if (!error.empty()) {
      BuildErrors.push_back(error);
      throw Exception(error);
    }
    return value;
  }

  // The script in which macro arguments are evaluated: the innermost procedure running, or the main one.
  TscScript* RunningScript() const {
    return main_->CurrentScope() != nullptr ? main_->CurrentScope() : main_.get();
  }

  Variant RunScriptHandler(const String& Name, TObject* Sender) {
    Variant result;
    main_->CallFunction(Name, VarArrayOf({Variant::FromObject(Sender)}), result);
    return result;
  }

  TscCustomVariable* ValueVariable() const { return valueVariable_; }

 private:
  Variant Call(TObject*, TClass, const String& Name, Variant& Args) {
    auto arg = [&Args](Integer i) { return VarArrayGet(Args, {i}); };
    if (Name == "GET") return Calc(arg(0).AsString());
    if (Name == "SET") {
      Variables[arg(0).AsString()] = arg(1);
      return Variant();
    }
    if (Name == "IIF") {
      // Each argument is the text of an expression; only the chosen branch is evaluated.
      TscScript* running = RunningScript();
      const Variant condition = Calc(arg(0).AsString(), running);
      return Calc((condition == Variant(true) ? arg(1) : arg(2)).AsString(), running);
    }
    if (Name == "SUM") return "SUM(" + arg(0).AsString() + "|" + arg(1).AsString() + "|" + arg(2).AsString() + ")";
    if (Name == "EMIT") {
      Emitted.push_back(VarToStr(arg(0)));
      return Variant();
    }
    return Variant();
  }

  std::unique_ptr<TscScript> main_;
  TExpressionCache cache_;
  TFakeBand* band_;
  TscCustomVariable* valueVariable_ = nullptr;
};

class ReportContractTest : public ScriptTest {
 protected:
  static void SetUpTestSuite() {
    ScriptTest::SetUpTestSuite();
    RegisterRTTIModule(&CreateRTTIModule<TFakeReportModule>);
  }
};

TEST_F(ReportContractTest, BindsObjectsAndFunctionsAndCompilesTheScript) {
  TFakeReport report;
  report.ScriptText.SetText(
      "procedure Band1OnBeforePrint(Sender: TFakeBand);\r\n"
      "begin\r\n"
      "  Sender.Height := Sender.Height + 5;\r\n"
      "  Set('seen', Sender.Caption)\r\n"
      "end;\r\n"
      "begin\r\n"
      "  MasterData1.Caption := 'Master';\r\n"
      "  Value := Report.Name;\r\n"
      "end.");
  ASSERT_TRUE(report.BindScript()) << report.BuildErrors.front();
  EXPECT_EQ(report.ValueVariable(), report.Main().Find("Value"));
  // The main block holds statements, so the report runs it.
  EXPECT_GT(report.Main().MainStatement()->GetCount(), 0);
  report.Main().Execute();
  EXPECT_EQ(report.Band()->Caption(), "Master");
  report.RunScriptHandler("Band1OnBeforePrint", report.Band());
  EXPECT_EQ(report.Band()->Height(), 15);
  EXPECT_EQ(VarToStr(report.Variables["seen"]), "Master");
  // A name that is no procedure of the script answers Null.
  EXPECT_TRUE(report.RunScriptHandler("NoSuchHandler", report.Band()).IsNull());

  // A script that does not compile: the error with its position, and no build.
  report.ScriptText.SetText("begin x := end.");
  EXPECT_FALSE(report.BindScript());
  EXPECT_EQ(report.BuildErrors.back(), "1:12: Expression expected");
}

TEST_F(ReportContractTest, EvaluatesExpressionsThroughOneFunctionPerTextInEachLanguage) {
  for (const char* language : {"PascalScript", "C++Script", "BasicScript", "JScript"}) {
    SCOPED_TRACE(language);
    TFakeReport report;
    report.ScriptLanguage = language;
    report.ScriptText.SetText(SameText(language, "PascalScript") ? "begin end."
                              : SameText(language, "C++Script")  ? "{ }"
                                                                 : "");
    ASSERT_TRUE(report.BindScript()) << report.BuildErrors.front();
    report.Band()->SetHeight(7);
    EXPECT_EQ(report.Calc("2 + 3").AsInteger(), 5);
    EXPECT_EQ(report.Calc("MasterData1.Height * 2").AsInteger(), 14);
    EXPECT_EQ(report.Cache().Count(), 2);
    // The same text again runs the function compiled first, which sees the new value.
    report.Band()->SetHeight(8);
    EXPECT_EQ(report.Calc("MasterData1.Height * 2").AsInteger(), 16);
    EXPECT_EQ(report.Cache().Count(), 2);
    // Functions compiled earlier stay callable after the private script compiled new text.
    Variant first;
    report.Cache().Script().CallFunction("rudf0", Null(), first);
    EXPECT_EQ(first.AsInteger(), 5);
    // A macro function gets the texts of its arguments; an argument left out has no text.
    EXPECT_EQ(VarToStr(report.Calc("SUM(MasterData1.Height + 1, MasterData1)")), "SUM(MasterData1.Height + 1|MasterData1|)");
    EXPECT_THROW(report.Calc("2 +"), Exception);
    EXPECT_EQ(report.BuildErrors.back().compare(0, 22, "Expression error '2 +'"), 0) << report.BuildErrors.back();
  }
}

TEST_F(ReportContractTest, NestedCallsOfAMacroFunctionKeepTheirOwnArguments) {
  TFakeReport report;
  report.ScriptText.SetText("var a: Boolean; begin end.");
  ASSERT_TRUE(report.BindScript());
  report.Main().Find("a")->SetValue(true);
  EXPECT_EQ(VarToStr(report.Calc("IIF(IIF(a, 1, 0) = 1, 'x', 'y')")), "x");
  report.Main().Find("a")->SetValue(false);
  EXPECT_EQ(VarToStr(report.Calc("IIF(IIF(a, 1, 0) = 1, 'x', 'y')")), "y");
}

TEST_F(ReportContractTest, MacroArgumentsAreEvaluatedInTheRunningProcedure) {
  TFakeReport report;
  report.ScriptText.SetText(
      "procedure Show(n: Integer);\r\n"
      "var Local: Integer;\r\n"
      "begin\r\n"
      "  Local := n * 10;\r\n"
      "  Emit(IIF(Local > 15, 'big ' + IntToStr(Local), 'small'))\r\n"
      "end;\r\n"
      "begin\r\n"
      "  Show(1);\r\n"
      "  Show(2)\r\n"
      "end.");
  ASSERT_TRUE(report.BindScript()) << report.BuildErrors.front();
  report.Main().Execute();
  EXPECT_EQ(report.Emitted, (std::vector<String>{"small", "big 20"}));
  // Outside any procedure the running script is the main one again.
  EXPECT_EQ(report.RunningScript(), &report.Main());
}

TEST_F(ReportContractTest, TerminateFromTheRunLineHandlerStopsTheRun) {
  TFakeReport report;
  report.ScriptText.SetText(
      "var i: Integer;\r\n"
      "procedure Step;\r\n"
      "begin\r\n"
      "  i := i + 1\r\n"
      "end;\r\n"
      "begin\r\n"
      "  i := 0;\r\n"
      "  while True do Step\r\n"
      "end.");
  ASSERT_TRUE(report.BindScript());
  Integer lines = 0;
  report.Main().SetOnRunLine([&](TscScript*, const String&, const String&) {
    if (++lines == 50) report.Main().Terminate();
  });
  report.Main().Execute();
  const Integer first = report.Main().Find("i")->ReadValue().AsInteger();
  EXPECT_GT(first, 10);
  EXPECT_LT(first, 50);
  EXPECT_FALSE(report.Main().Terminated());
  // The next run starts from the beginning.
  lines = 0;
  report.Main().Execute();
  EXPECT_EQ(report.Main().Find("i")->ReadValue().AsInteger(), first);
}

TEST_F(ReportContractTest, EachClearingFreesItsOwnItems) {
  {
    TFakeReport report;
    TscScript& main = report.Main();
    const Integer modules = main.Count();
    ASSERT_NE(main.Find("IntToStr"), nullptr);
    ASSERT_NE(main.FindClass("TFakeBand"), nullptr);
    // An item the program registers outside a binding, with no owner.
    main.AddVariable("Outside", "Integer", 1);
    report.ScriptText.SetText("var Declared: Integer; procedure P; begin end; begin Declared := 1 end.");
    ASSERT_TRUE(report.BindScript());
    ASSERT_NE(main.Find("Declared"), nullptr);
    ASSERT_NE(main.Find("MasterData1"), nullptr);

    // The host's own items (its objects, functions and what its compile declared) go; the rest stays.
    main.ClearItems(&report);
    EXPECT_EQ(main.Find("MasterData1"), nullptr);
    EXPECT_EQ(main.Find("Get"), nullptr);
    EXPECT_EQ(main.Find("Declared"), nullptr);
    EXPECT_NE(main.Find("Outside"), nullptr);
    EXPECT_NE(main.Find("IntToStr"), nullptr);
    EXPECT_EQ(main.MainStatement()->GetCount(), 0);
    EXPECT_EQ(liveBands, 1);

    // Clear keeps only what the modules registered.
    ASSERT_TRUE(report.BindScript());
    main.Clear();
    EXPECT_EQ(main.Find("Outside"), nullptr);
    EXPECT_EQ(main.Find("MasterData1"), nullptr);
    EXPECT_NE(main.Find("IntToStr"), nullptr);
    EXPECT_NE(main.FindClass("TFakeBand"), nullptr);
    EXPECT_EQ(main.Count(), modules);
    EXPECT_TRUE(main.ErrorText().empty());

    // ClearRTTI frees the modules and their items; AddRTTI brings them back once.
    main.ClearRTTI();
    EXPECT_EQ(main.Count(), 0);
    EXPECT_FALSE(main.RTTIAdded());
    main.AddRTTI();
    main.AddRTTI();
    EXPECT_EQ(main.Count(), modules);
    EXPECT_EQ(liveBands, 1);
  }
  // The report freed its band; no script ever did.
  EXPECT_EQ(liveBands, 0);
}

}  // namespace
}  // namespace script_test
