// A text editor with properties, lookup items and a style written to form text and read back, and the
// text editor's entry in the registry of properties classes.
#include <gtest/gtest.h>

#include "platform/classes/Filer.h"
#include "tests/controls/editors/TextEditTesting.h"

using namespace editors_test;

namespace {

class TextEditStreamingTest : public EditUnitsTest {};

TEST_F(TextEditStreamingTest, PropertiesStyleAndTextRoundTripThroughAForm) {
  TObjectPtr<TForm> form(NewObject<TForm>(nullptr, 0));
  form->SetName("PasswordForm");
  auto* edit = NewObject<TuiTextEdit>(form.get());
  edit->SetName("Password");
  edit->SetParent(form.get());
  edit->SetBounds(8, 8, 140, 21);
  edit->SetBeepOnEnter(false);
  edit->Properties()->SetMaxLength(6);
  edit->Properties()->SetEchoMode(eemPassword);
  edit->Properties()->SetReadOnly(true);
  edit->Properties()->Alignment()->SetHorz(taRightJustify);
  edit->Properties()->LookupItems()->Add("alpha");
  edit->Properties()->LookupItems()->Add("beta");
  edit->Style()->SetColor(clYellow);
  edit->Style()->SetButtonStyle(btsUltraFlat);
  edit->SetText("123456");

  const String text = WriteComponentToText(form.get());
  for (const char* expected : {"object Password: TuiTextEdit", "Properties.MaxLength = 6",
                               "Properties.EchoMode = eemPassword", "Style.Color = clYellow", "BeepOnEnter = False"})
    EXPECT_NE(text.find(expected), String::npos) << expected << "\n" << text;

  TObjectPtr<TForm> copy(NewObject<TForm>(nullptr, 0));
  ReadComponentFromText(text, copy.get(), "form");
  auto* read = dynamic_cast<TuiTextEdit*>(copy->FindComponent("Password"));
  ASSERT_NE(read, nullptr);
  EXPECT_FALSE(read->BeepOnEnter());
  EXPECT_EQ(read->Properties()->MaxLength(), 6);
  EXPECT_EQ(read->Properties()->EchoMode(), eemPassword);
  EXPECT_TRUE(read->Properties()->ReadOnly());
  EXPECT_EQ(read->Properties()->Alignment()->Horz(), taRightJustify);
  EXPECT_EQ(read->Properties()->LookupItems()->Text(), edit->Properties()->LookupItems()->Text());
  EXPECT_EQ(read->Style()->Color(), clYellow);
  EXPECT_EQ(read->Style()->ButtonStyle(), btsUltraFlat);
  EXPECT_EQ(read->Text(), "123456");
  EXPECT_EQ(WriteComponentToText(copy.get()), text) << "written again, the same text";
}

TEST_F(TextEditStreamingTest, TheTextEditorIsRegisteredWithItsDescription) {
  TuiRegisteredClasses* registry = GetEditPropertiesRegistry();
  const Integer index = registry->IndexOfClass(TuiTextEditProperties::StaticClass());
  ASSERT_GE(index, 0);
  EXPECT_EQ(registry->GetHintText(index), "TextEdit|Represents a single line text editor");
  EXPECT_EQ(TuiTextEditProperties().GetEditClass(), TuiTextEdit::StaticClass());
}

}  // namespace
