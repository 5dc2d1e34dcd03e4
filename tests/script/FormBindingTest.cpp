// Controls and forms seen from scripts on the headless display: properties through the type information
// and through callbacks, the eight event bridges, the re-entry guard, the modal functions answered by
// test procedures, the lifetime of objects and bridges, and every published property's type.
#include <functional>

#include "platform/classes/LiveObjects.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/StdCtrls.h"
#include "platform/win/builtin/CommDlg.h"
#include "platform/win/testing/TestDisplay.h"
#include "platform/win/ui/MessageBox.h"
#include "script/sc_events.h"
#include "tests/script/ScriptTesting.h"

namespace script_test {
namespace {

class FormScriptTest : public ::testing::Test {
 protected:
  FormScriptTest() : savedInputQuery_(k58::forms::InputQueryProc()) {
    TApplication::MessageBoxProc() = [this](HWND, const String& Text, const String& Caption, UINT) -> Integer {
      boxes_.push_back(Caption + "|" + Text);
      return boxAnswer_;
    };
    form_ = NewObject<TForm>(nullptr, 0);
    form_->SetName("Form1");
    form_->SetBounds(10, 10, 300, 200);
    button_ = Make<TButton>("Button1", 10, 10);
    edit_ = Make<TEdit>("Edit1", 10, 50);
    memo_ = Make<TMemo>("Memo1", 10, 90);
  }
  ~FormScriptTest() override {
    host_.reset();
    FreeObject(form_);
    TApplication::MessageBoxProc() = nullptr;
    k58::forms::InputQueryProc() = savedInputQuery_;
  }

  template <class T>
  T* Make(const char* Name, Integer Left, Integer Top) {
    T* control = new T(form_);
    control->SetName(Name);
    control->SetParent(form_);
    control->SetBounds(Left, Top, 80, 25);
    return control;
  }
  void Register(TScriptHost& Host) {
    TscScript& s = Host.Script();
    for (TComponent* c : std::initializer_list<TComponent*>{form_, button_, edit_, memo_}) {
      if (c != nullptr) s.AddObject(c->Name(), c);
    }
    s.AddMethod("procedure ClickButton", TscMethodCallback(this, &FormScriptTest::ClickButton));
  }
  Variant ClickButton(TObject*, TClass, const String&, TscMethodHelper*) {
    button_->Click();
    return Variant();
  }
  // Runs Text in a new script (the one before goes, and its bridges with it).
  String Run(const String& Text) {
    host_ = std::make_unique<TScriptHost>();
    Register(*host_);
    return host_->Run(Text);
  }
  String Trace() const {
    String result;
    for (const String& value : host_->Trace()) result += (result.empty() ? "" : " ") + value;
    return result;
  }
  void ShowForm() {
    form_->Show();
    display_.Pump();
  }
  POINT At(TControl* Control, int X = 5, int Y = 5) {
    const TPoint p = Control->ClientToScreen(TPoint{X, Y});
    return POINT{p.x, p.y};
  }

  k58::winui::TestDisplay display_;
  k58::forms::TInputQueryProc savedInputQuery_;
  std::vector<String> boxes_;
  Integer boxAnswer_ = IDOK;
  TForm* form_;
  TButton* button_;
  TEdit* edit_;
  TMemo* memo_;
  std::unique_ptr<TScriptHost> host_;
};

TEST_F(FormScriptTest, PropertiesThroughTypeInformationAndCallbacks) {
  EXPECT_EQ(Run("begin Button1.Caption := 'Go'; Button1.Left := 20; Emit(Button1.Caption); Emit(Button1.Left); "
                "Button1.Hide; Emit(Button1.Visible); Button1.Show; Emit(Button1.Visible); "
                "Button1.SetBounds(5, 6, 70, 30); Emit(Button1.Height); Emit(Button1.Parent.Name); "
                "Memo1.Lines.Clear; Memo1.Lines.Add('one'); Memo1.Lines.Add('two'); Emit(Memo1.Lines.Count); Emit(Memo1.Lines[1]); "
                "Button1.Font.Style := [fsBold, fsUnderline]; Emit(Button1.Font.Style); "
                "Edit1.Text := 'abc'; Edit1.PasswordChar := '*'; Emit(Edit1.PasswordChar); "
                "Edit1.Parent := nil; Form1.ModalResult := mrYes; "
                "Emit(Form1.ModalResult); Emit(Form1.Canvas.ClassName) end."),
            "Go 20 False True 30 Form1 2 two 5 * 6 TControlCanvas");
  EXPECT_EQ(button_->Caption(), "Go");
  EXPECT_EQ(button_->Width(), 70);
  EXPECT_EQ(button_->Font()->Style(), (TFontStyles{fsBold, fsUnderline}));
  EXPECT_EQ(edit_->Text(), "abc");
  EXPECT_EQ(edit_->Parent(), nullptr);
  EXPECT_EQ(memo_->Lines()->Count(), 2);
}

// Each event signature fired on a control reaches the script procedure with its arguments, and the var
// arguments come back.
TEST_F(FormScriptTest, EachEventSignatureReachesTheProcedure) {
  struct Case {
    const char* handler;  // a procedure named H, assigned to the event below
    const char* event;
    std::function<String(TObject* Target)> fire;  // fires the event; answers what came back
    const char* trace;
  };
  const auto method = [](TObject* Target, const char* Event) { return GetMethodProp(Target, Event); };
  const Case cases[] = {
      {"procedure H(Sender: TObject); begin Emit(TControl(Sender).Name) end;", "OnClick",
       [&](TObject* t) {
         (*method(t, "OnClick").As<TNotifyEvent>())(t);
         return String();
       },
       "Button1"},
      {"procedure H(Sender: TObject; Button: Integer; Shift: Integer; X, Y: Integer); "
       "begin Emit(Button); Emit(Shift); Emit(X); Emit(Y) end;",
       "OnMouseDown",
       [&](TObject* t) {
         (*method(t, "OnMouseDown").As<TMouseEvent>())(t, mbLeft, TShiftState{ssShift, ssLeft}, 3, 4);
         return String();
       },
       "0 9 3 4"},
      {"procedure H(Sender: TObject; Shift: TShiftState; X, Y: Integer); begin Emit(Shift); Emit(X + Y) end;",
       "OnMouseMove",
       [&](TObject* t) {
         (*method(t, "OnMouseMove").As<TMouseMoveEvent>())(t, TShiftState{ssCtrl}, 5, 6);
         return String();
       },
       "4 11"},
      {"procedure H(Sender: TObject; var Key: Word; Shift: TShiftState); begin Emit(Key); Key := 0 end;",
       "OnKeyDown",
       [&](TObject* t) {
         Word key = VK_F1;
         (*method(t, "OnKeyDown").As<TKeyEvent>())(t, key, TShiftState{});
         return IntToStr(key);
       },
       "112 | 0"},
      {"procedure H(Sender: TObject; var Key: Char); begin Emit(Key); Key := 'b' end;", "OnKeyPress",
       [&](TObject* t) {
         char key = 'a';
         (*method(t, "OnKeyPress").As<TKeyPressEvent>())(t, key);
         return String(1, key);
       },
       "a | b"},
      {"procedure H(Sender: TObject; var Key: Char); begin Key := '' end;", "OnKeyPress",
       [&](TObject* t) {
         char key = 'a';
         (*method(t, "OnKeyPress").As<TKeyPressEvent>())(t, key);
         return IntToStr(static_cast<Integer>(key));
       },
       "| 0"},
      {"procedure H(Sender: TObject; var Action: TCloseAction); begin Emit(Action); Action := caFree end;",
       "OnClose",
       [&](TObject* t) {
         TCloseAction action = caHide;
         (*method(t, "OnClose").As<TCloseEvent>())(t, action);
         return IntToStr(action);
       },
       "1 | 2"},
      {"procedure H(Sender: TObject; var CanClose: Boolean); begin Emit(CanClose); CanClose := False end;",
       "OnCloseQuery",
       [&](TObject* t) {
         bool canClose = true;
         (*method(t, "OnCloseQuery").As<TCloseQueryEvent>())(t, canClose);
         return String(canClose ? "True" : "False");
       },
       "True | False"},
      {"procedure H(Sender: TObject; var NewWidth, NewHeight: Integer; var Resize: Boolean); "
       "begin Emit(NewWidth); NewWidth := NewWidth * 2; NewHeight := 7; Resize := False end;",
       "OnCanResize",
       [&](TObject* t) {
         Integer width = 40;
         Integer height = 30;
         bool resize = true;
         (*method(t, "OnCanResize").As<TCanResizeEvent>())(t, width, height, resize);
         return IntToStr(width) + "," + IntToStr(height) + "," + (resize ? "True" : "False");
       },
       "40 | 80,7,False"},
      // A procedure that declares fewer parameters gets what it declares; the var arguments stay.
      {"procedure H(Sender: TObject); begin Emit('short') end;", "OnKeyDown",
       [&](TObject* t) {
         Word key = 65;
         (*method(t, "OnKeyDown").As<TKeyEvent>())(t, key, TShiftState{});
         return IntToStr(key);
       },
       "short | 65"},
  };
  for (const Case& c : cases) {
    const bool onForm = String(c.event).starts_with("OnClose") || String(c.event) == "OnCanResize";
    TObject* target = onForm ? static_cast<TObject*>(form_) : static_cast<TObject*>(button_);
    const String name = onForm ? "Form1" : "Button1";
    TScriptHost host;
    Register(host);
    ASSERT_EQ(host.Run(String(c.handler) + " begin " + name + "." + c.event + " := 'H' end."), "") << c.handler;
    const String back = c.fire(target);
    String trace;
    for (const String& value : host.Trace()) trace += value + " ";
    EXPECT_EQ(trace + "|" + (back.empty() ? "" : " " + back), String(c.trace) + (back.empty() ? " |" : ""))
        << c.handler;
  }
}

TEST_F(FormScriptTest, AHandlerIsNotReenteredByTheEventItCauses) {
  ASSERT_EQ(Run("var n: Integer; procedure Click1(Sender: TObject); begin n := n + 1; Emit(n); ClickButton end; "
                "begin n := 0; Button1.OnClick := 'Click1' end."),
            "");
  button_->Click();
  button_->Click();
  EXPECT_EQ(Trace(), "1 2");
}

TEST_F(FormScriptTest, CloseQueryKeepsTheFormOpenAndKeyPressReplacesTheKey) {
  ASSERT_EQ(Run("procedure Ask(Sender: TObject; var CanClose: Boolean); begin CanClose := False end; "
                "procedure Upper(Sender: TObject; var Key: Char); begin if Key = 'a' then Key := 'X' end; "
                "begin Form1.OnCloseQuery := 'Ask'; Edit1.OnKeyPress := 'Upper' end."),
            "");
  ShowForm();
  form_->Close();
  display_.Pump();
  EXPECT_TRUE(form_->Visible());
  edit_->SetFocus();
  display_.Type("abc");
  display_.Pump();
  EXPECT_EQ(edit_->Text(), "Xbc");
  // The script goes, and its handlers with it: the form closes.
  host_.reset();
  EXPECT_FALSE(GetMethodProp(form_, "OnCloseQuery").Assigned());
  form_->Close();
  display_.Pump();
  EXPECT_FALSE(form_->Visible());
}

TEST_F(FormScriptTest, EventAssignmentsThatCannotWork) {
  const std::vector<std::pair<String, String>> cases = {
      {"begin Button1.OnClick := 'Nothing' end.", "raise Event handler must be a procedure"},
      {"var x: Integer; begin Button1.OnClick := 'x' end.", "raise Event handler must be a procedure"},
      {"procedure P(Sender: TObject; a, b: Integer); begin end; begin Button1.OnClick := 'P' end.",
       "raise Not enough actual parameters"},
      {"procedure P(Sender: TObject; a: Integer = 1); begin Emit(a) end; begin Button1.OnClick := 'P'; "
       "ClickButton end.",
       "1"},
      // A class that does not publish the event.
      {"procedure P(Sender: TObject); begin end; begin Form1.OnDropDown := 'P' end.",
       "error Undeclared identifier: 'OnDropDown' @ 1:64"},
      {"procedure P(Sender: TObject); begin Emit('p') end; begin Button1.OnClick := 'P'; Button1.OnClick := nil; "
       "ClickButton; Emit('none') end.",
       "none"},
  };
  for (const auto& c : cases) {
    TScriptHost host;
    Register(host);
    EXPECT_EQ(host.Run(c.first), c.second) << c.first;
  }
}

TEST_F(FormScriptTest, ModalFunctionsAnsweredByTheTestProcedures) {
  boxAnswer_ = IDYES;
  k58::forms::InputQueryProc() = [](const String& Caption, const String& Prompt, String& Value) {
    if (Caption == "cancel") return false;
    Value = Prompt + "!";
    return true;
  };
  EXPECT_EQ(Run("var s: String; begin Emit(MessageDlg('Sure?', mtConfirmation, [mbYes, mbNo], 0)); "
                "Emit(InputBox('c', 'typed', 'default')); Emit(InputBox('cancel', 'p', 'default')); "
                "s := 'kept'; Emit(InputQuery('cancel', 'p', s)); Emit(s); Emit(InputQuery('c', 'new', s)); "
                "Emit(s) end."),
            "6 typed! default False kept True new!");
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0], "Confirm|Sure?");
  // The common dialogs run modally too.
  k58::builtin::SetCommonDialogHandler([](const k58::builtin::CommonDialogInfo&) { return IDOK; });
  EXPECT_EQ(Run("var d: TColorDialog; begin d := TColorDialog.Create(nil); d.Color := clRed; Emit(d.Execute); "
                "Emit(d.Color); d.Free end."),
            "True 255");
  k58::builtin::SetCommonDialogHandler(nullptr);
  // ShowModal returns what ends the modal loop.
  display_.Later([this] { form_->SetModalResult(mrRetry); });
  EXPECT_EQ(Run("begin Emit(Form1.ShowModal) end."), "4");
}

TEST_F(FormScriptTest, FreedObjectsAndClearedScriptsNeverCrash) {
  // Freed by the script, then used.
  EXPECT_EQ(Run("var b: TButton; begin b := TButton.Create(Form1); b.Parent := Form1; b.Free; b.Caption := 'x' end."),
            "raise Object reference is no longer valid");
  // Freed by its owner, then used by a procedure of the script.
  TForm* other = NewObject<TForm>(nullptr, 0);
  host_ = std::make_unique<TScriptHost>();
  host_->Script().AddObject("Form2", other);
  ASSERT_EQ(host_->Run("var b: TButton; procedure Use; begin b.Caption := 'y' end; "
                       "begin b := TButton.Create(Form2) end."),
            "");
  FreeObject(other);
  Variant result;
  EXPECT_THROW(host_->Script().CallFunction("Use", VarArrayOf({}), result), EAccessViolation);
  // Freed by the host, then used.
  ASSERT_EQ(Run("var e: TEdit; procedure Use; begin e.Text := 'z' end; begin e := Edit1 end."), "");
  FreeAndNil(edit_);
  EXPECT_THROW(host_->Script().CallFunction("Use", VarArrayOf({}), result), EAccessViolation);
  // Sub-objects that others own cannot be freed.
  EXPECT_EQ(Run("begin Memo1.Lines.Free end."), "raise The TMemoStrings is owned by another object and cannot be freed");
  EXPECT_EQ(Run("begin Button1.Font.Free end."), "raise The TFont is owned by another object and cannot be freed");

  // A script cleared, then its event fired: the event was emptied with the bridge.
  ASSERT_EQ(Run("procedure P(Sender: TObject); begin Emit('p') end; begin Button1.OnClick := 'P' end."), "");
  host_->Script().Clear();
  EXPECT_FALSE(GetMethodProp(button_, "OnClick").Assigned());
  button_->Click();
  EXPECT_EQ(Trace(), "");
  // A handler the host set again meanwhile is left alone.
  ASSERT_EQ(Run("procedure P(Sender: TObject); begin Emit('p') end; begin Button1.OnClick := 'P' end."), "");
  button_->SetOnClick([](TObject*) {});
  host_->Script().Clear();
  EXPECT_TRUE(GetMethodProp(button_, "OnClick").Assigned());

  // A handler may not free the object whose event runs it, nor what holds that object.
  for (const char* victim : {"Sender", "Form1"}) {
    ASSERT_EQ(Run(String("procedure P(Sender: TObject); begin ") + victim + ".Free end; "
                  "begin Button1.OnClick := 'P' end."),
              "");
    EXPECT_THROW(button_->Click(), EInvalidOperation) << victim;
  }
  EXPECT_EQ(button_->Parent(), form_);

  // An object freed, then its script cleared: the bridge does not touch it.
  ASSERT_EQ(Run("procedure P(Sender: TObject); begin end; begin Memo1.OnClick := 'P' end."), "");
  FreeAndNil(memo_);
  host_.reset();
}

// Every published property of every class the modules register has a type the script knows.
TEST_F(FormScriptTest, EveryPublishedPropertyHasAKnownType) {
  TScriptHost host;
  TscScript& s = host.Script();
  std::vector<String> unknown;
  for (Integer i = 0; i < s.Count(); ++i) {
    auto* cls = dynamic_cast<TscClassVariable*>(s.Items(i));
    if (cls == nullptr || !cls->ClassRef()->HasPublishedInfo()) continue;
    for (const TPropInfo* prop : cls->ClassRef()->Properties()) {
      const TTypeInfo* type = prop->PropType;
      String name;
      if (type->Kind == tkSet || (type->Kind == tkEnumeration && !SameText(type->Name(), "Boolean"))) {
        name = type->Name();
        if (s.Find(name) != nullptr) continue;
      } else if (type->Kind == tkClass) {
        if (type->ClassType() != nullptr && s.FindClass(type->ClassType()->Name()) != nullptr) continue;
        name = type->ClassType() != nullptr ? type->ClassType()->Name() : type->Name();
      } else if (type->Kind == tkMethod) {
        // Events: bound through the members the modules register.
        continue;
      } else {
        continue;
      }
      const String entry = name + " (" + cls->Name() + "." + prop->Name + ")";
      if (std::none_of(unknown.begin(), unknown.end(), [&](const String& u) { return u.starts_with(name + " "); })) {
        unknown.push_back(entry);
      }
    }
  }
  for (const String& u : unknown) ADD_FAILURE() << "unknown type " << u;
}

}  // namespace
}  // namespace script_test

namespace script_test {
namespace {

// A script in each language builds a form at run time with a button whose OnClick runs a script
// procedure; a click on the button runs it.
struct RuntimeFormCase {
  const char* language;
  const char* text;
};

class RuntimeFormTest : public ::testing::TestWithParam<RuntimeFormCase> {};

TEST_P(RuntimeFormTest, TheButtonOfAFormMadeByTheScriptRunsItsHandler) {
  k58::winui::TestDisplay display;
  TScriptHost host(GetParam().language);
  ASSERT_EQ(host.Run(GetParam().text), "shown");
  display.Pump();
  TCustomForm* form = nullptr;
  for (Integer i = 0; i < Screen->FormCount(); ++i) {
    if (Screen->Forms(i)->Caption() == "Script form") form = Screen->Forms(i);
  }
  ASSERT_NE(form, nullptr);
  EXPECT_TRUE(form->Visible());
  ASSERT_EQ(form->ControlCount(), 1);
  TControl* button = form->Controls(0);
  EXPECT_EQ(button->ClassName(), "TButton");
  const TPoint p = button->ClientToScreen(TPoint{10, 10});
  display.Click(POINT{p.x, p.y});
  display.Pump();
  ASSERT_EQ(host.Trace().size(), 2u);
  EXPECT_EQ(host.Trace()[1], "clicked Press");
  // The handler renamed the form.
  EXPECT_EQ(form->Caption(), "Clicked");
  FreeObject(form);
}

const RuntimeFormCase kRuntimeForms[] = {
    {"PascalScript",
     "var f: TForm; b: TButton;\r\n"
     "procedure ButtonClick(Sender: TObject);\r\n"
     "begin\r\n"
     "  Emit('clicked ' + TButton(Sender).Caption);\r\n"
     "  f.Caption := 'Clicked'\r\n"
     "end;\r\n"
     "begin\r\n"
     "  f := TForm.Create(Application);\r\n"
     "  f.Caption := 'Script form';\r\n"
     "  f.SetBounds(100, 100, 240, 140);\r\n"
     "  b := TButton.Create(f);\r\n"
     "  b.Parent := f;\r\n"
     "  b.Caption := 'Press';\r\n"
     "  b.SetBounds(20, 20, 100, 30);\r\n"
     "  b.OnClick := 'ButtonClick';\r\n"
     "  f.Show;\r\n"
     "  Emit('shown')\r\n"
     "end."},
    {"C++Script",
     "TForm f;\r\n"
     "TButton b;\r\n"
     "void ButtonClick(TObject Sender) {\r\n"
     "  Emit(\"clicked \" + TButton(Sender).Caption);\r\n"
     "  f.Caption = \"Clicked\";\r\n"
     "}\r\n"
     "{\r\n"
     "  f = TForm.Create(Application);\r\n"
     "  f.Caption = \"Script form\";\r\n"
     "  f.SetBounds(100, 100, 240, 140);\r\n"
     "  b = TButton.Create(f);\r\n"
     "  b.Parent = f;\r\n"
     "  b.Caption = \"Press\";\r\n"
     "  b.SetBounds(20, 20, 100, 30);\r\n"
     "  b.OnClick = \"ButtonClick\";\r\n"
     "  f.Show;\r\n"
     "  Emit(\"shown\");\r\n"
     "}\r\n"},
    {"BasicScript",
     "dim f, b\r\n"
     "sub ButtonClick(Sender)\r\n"
     "  Emit(\"clicked \" + TButton(Sender).Caption)\r\n"
     "  f.Caption = \"Clicked\"\r\n"
     "end sub\r\n"
     "f = TForm.Create(Application)\r\n"
     "f.Caption = \"Script form\"\r\n"
     "f.SetBounds(100, 100, 240, 140)\r\n"
     "b = TButton.Create(f)\r\n"
     "b.Parent = f\r\n"
     "b.Caption = \"Press\"\r\n"
     "b.SetBounds(20, 20, 100, 30)\r\n"
     "b.OnClick = \"ButtonClick\"\r\n"
     "f.Show\r\n"
     "Emit(\"shown\")\r\n"},
    {"JScript",
     "var f, b;\r\n"
     "function ButtonClick(Sender) {\r\n"
     "  Emit(\"clicked \" + TButton(Sender).Caption);\r\n"
     "  f.Caption = \"Clicked\";\r\n"
     "}\r\n"
     "f = TForm.Create(Application);\r\n"
     "f.Caption = \"Script form\";\r\n"
     "f.SetBounds(100, 100, 240, 140);\r\n"
     "b = TButton.Create(f);\r\n"
     "b.Parent = f;\r\n"
     "b.Caption = \"Press\";\r\n"
     "b.SetBounds(20, 20, 100, 30);\r\n"
     "b.OnClick = \"ButtonClick\";\r\n"
     "f.Show;\r\n"
     "Emit(\"shown\");\r\n"},
};

INSTANTIATE_TEST_SUITE_P(Languages, RuntimeFormTest, ::testing::ValuesIn(kRuntimeForms),
                         [](const ::testing::TestParamInfo<RuntimeFormCase>& Info) {
                           String name = Info.param.language;
                           return name == "C++Script" ? String("CppScript") : name;
                         });

}  // namespace
}  // namespace script_test
