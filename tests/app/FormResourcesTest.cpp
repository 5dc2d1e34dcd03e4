// The shipped forms: each is a resource of the program and loads into its class with all its components.
#include <gtest/gtest.h>

#include <filesystem>
#include <utility>

#include "platform/classes/FormText.h"
#include "platform/classes/IniFiles.h"
#include "platform/classes/Streams.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Menus.h"
#include "tests/app/PortFixtures.h"
#include "tests/app/ProgramFixture.h"

namespace {

using k58::formtext::Object;

// Every component the text of Node names below it is in Form under that name and of that class.
void ExpectComponents(TComponent* Form, const Object& Node) {
  for (const Object& Child : Node.Children) {
    TComponent* Found = Form->FindComponent(Child.Name);
    EXPECT_NE(Found, nullptr) << Child.Name << " (line " << Child.Line << ")";
    if (Found != nullptr) {
      EXPECT_EQ(Found->ClassName(), Child.ClassName) << Child.Name;
    }
    ExpectComponents(Form, Child);
  }
}

// The form of class ClassName the program made at start-up, or nullptr.
TComponent* StartedForm(const String& ClassName) {
  for (Integer I = 0; I < Application->ComponentCount(); ++I)
    if (Application->Components(I)->ClassName() == ClassName) return Application->Components(I);
  return nullptr;
}

class FormResourcesTest : public app_test::ProgramTest {};

// While it lives, the form resource Name holds Text instead of its shipped bytes.
class TReplacedResource {
public:
  TReplacedResource(const String& Name, String Text) : FText(std::move(Text)) {
    FData = const_cast<TResourceData*>(FindResourceData(HInstance, Name, "RCDATA"));
    if (FData == nullptr) throw EResNotFound(Name);
    FSaved = *FData;
    *FData = TResourceData{reinterpret_cast<const Byte*>(FText.data()), FText.size()};
  }
  ~TReplacedResource() { *FData = FSaved; }
  TReplacedResource(const TReplacedResource&) = delete;
  TReplacedResource& operator=(const TReplacedResource&) = delete;

private:
  String FText;
  TResourceData* FData;
  TResourceData FSaved;
};

String ResourceText(const String& Name) {
  const TResourceData* Data = FindResourceData(HInstance, Name, "RCDATA");
  if (Data == nullptr) throw EResNotFound(Name);
  return String(reinterpret_cast<const char*>(Data->Data), Data->Size);
}

// The reader's message when the form of class ClassName is made, or "" when it was made.
String CreationError(const String& ClassName) {
  try {
    TObjectPtr<TComponent> Form(GetClass(ClassName)->CreateComponent(nullptr));
  } catch (const EReadError& E) {
    return E.Message();
  }
  return String();
}

TEST_F(FormResourcesTest, EveryShippedFormLoadsIntoItsClassWithEveryComponentItNames) {
  app_test::TFakePorts Ports({1});  // the port selection dialog lists ports when it is made
  StartProgram();
  std::vector<String> Names;
  for (const auto& Entry : std::filesystem::directory_iterator(app_test::ResourceFile("forms")))
    if (Entry.path().extension() == ".form") Names.push_back(Entry.path().stem().string());
  ASSERT_FALSE(Names.empty());
  for (const String& Name : Names) {
    SCOPED_TRACE(Name);
    const TResourceData* Data = FindResourceData(HInstance, Name, "RCDATA");
    ASSERT_NE(Data, nullptr) << "not a resource of the program";
    const Object Text = k58::formtext::Parse(String(reinterpret_cast<const char*>(Data->Data), Data->Size), Name);
    EXPECT_EQ(Text.ClassName, Name);
    TComponent* Form = StartedForm(Text.ClassName);
    TObjectPtr<TComponent> Made;
    if (Form == nullptr) {
      TClass Class = GetClass(Text.ClassName);
      ASSERT_NE(Class, nullptr);
      Made.reset(Class->CreateComponent(nullptr));
      Form = Made.get();
    }
    EXPECT_EQ(Form->ClassName(), Text.ClassName);
    ExpectComponents(Form, Text);
  }
}

// File > Exit takes its mnemonic from E, in the form and in each language file.
TEST_F(FormResourcesTest, TheFileMenuEndsWithExitUnderE) {
  StartProgram();
  auto* Exit = dynamic_cast<TMenuItem*>(StartedForm("TfMainFrm")->FindComponent("mnExit"));
  ASSERT_NE(Exit, nullptr);
  EXPECT_EQ(Exit->Caption(), "&Exit");
  EXPECT_EQ(TIniFile(app_test::ResourceFile("English.Ini")).ReadString("fMainFrm", "mnExit.Caption", ""), "&Exit");
  EXPECT_EQ(TIniFile(app_test::ResourceFile("Chinese.Ini")).ReadString("fMainFrm", "mnExit.Caption", ""),
            "\xE9\x80\x80\xE5\x87\xBA(&E)");
}

// Broken copies of shipped forms are refused by the reader before any of the form's code runs.
TEST_F(FormResourcesTest, ABrokenFormIsRefusedWithTheReadersErrorAtItsLine) {
  app_test::TFakePorts Ports({1});
  StartProgram();
  const struct {
    const char* ClassName;
    const char* Copy;
    const char* Message;
  } Cases[] = {
      // Without the list its code fills, the port selection dialog would touch a missing control.
      {"TComSelectForm", "PortDialogWithoutList",
       "resource TCOMSELECTFORM, line 1: Component 'PortsComboBox' not found for the TComboBox field of "
       "TComSelectForm"},
      // An object of its own class inside would read the resource again for ever.
      {"TfWriteRadio", "WriteDialogHoldingItself",
       "resource TFWRITERADIO, line 69: Error creating Inner: Resource TFWRITERADIO is already being read: a form "
       "cannot hold an object of its own class"},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.ClassName);
    TReplacedResource Broken(C.ClassName, ResourceText(C.Copy));
    EXPECT_EQ(CreationError(C.ClassName), C.Message);
  }
  // The shipped forms are made as before.
  EXPECT_EQ(CreationError("TComSelectForm"), "");
  EXPECT_EQ(CreationError("TfWriteRadio"), "");
}

}  // namespace
