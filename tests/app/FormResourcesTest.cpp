// The shipped forms: each is a resource of the program and loads into its class with all its components.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/classes/FormText.h"
#include "platform/classes/Streams.h"
#include "platform/forms/Forms.h"
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

}  // namespace
