// Editors read from a form text and written again write back what they read, font settings included.
#include <gtest/gtest.h>

#include <functional>

#include "controls/editors/uiGroupBox.h"
#include "controls/editors/uiTextEdit.h"
#include "platform/classes/Filer.h"
#include "tests/controls/editors/EditorKindsTesting.h"

using namespace editors_test;

namespace {

class EditorFormTextRoundTripTest : public EditorKindsTest {
 protected:
  String ReadAndWrite(const String& AText) {
    TObjectPtr<TForm> copy(NewObject<TForm>(nullptr, 0));
    ReadComponentFromText(AText, copy.get(), "form");
    return WriteComponentToText(copy.get());
  }
};

TEST_F(EditorFormTextRoundTripTest, ReadWriteTwiceGivesTheSameText) {
  struct Case {
    const char* name;
    std::function<TuiCustomEdit*(TForm*)> make;
  };
  const Case cases[] = {
      {"check box", [](TForm* f) -> TuiCustomEdit* { return NewObject<TuiCheckBox>(f); }},
      {"text editor", [](TForm* f) -> TuiCustomEdit* { return NewObject<TuiTextEdit>(f); }},
  };
  for (const Case& c : cases) {
    for (bool parentFont : {true, false}) {
      SCOPED_TRACE(String(c.name) + (parentFont ? " parent font" : " own font"));
      TuiCustomEdit* edit = c.make(Form);
      edit->SetName("Ed");
      edit->SetParent(Form);
      if (!parentFont) edit->Style()->Font()->SetSize(14);
      const String first = ReadAndWrite(WriteComponentToText(Form));
      const String second = ReadAndWrite(first);
      EXPECT_EQ(first, second);
      EXPECT_EQ(ReadAndWrite(second), second);
      FreeObject(edit);
    }
  }
}

TEST_F(EditorFormTextRoundTripTest, GroupBoxReadWriteTwiceGivesTheSameText) {
  for (bool parentFont : {true, false}) {
    SCOPED_TRACE(parentFont ? "parent font" : "own font");
    auto* box = NewObject<TuiGroupBox>(Form);
    box->SetName("Grp");
    box->SetParent(Form);
    if (!parentFont) box->Style()->Font()->SetSize(14);
    const String first = ReadAndWrite(WriteComponentToText(Form));
    const String second = ReadAndWrite(first);
    EXPECT_EQ(first, second);
    EXPECT_EQ(ReadAndWrite(second), second);
    FreeObject(box);
  }
}

}  // namespace

namespace {

TEST_F(EditorFormTextRoundTripTest, CheckBoxWithParentFontOffKeepsItsText) {
  const String text =
      "object F: TForm\n"
      "  object Ed: TuiCheckBox\n"
      "    ParentFont = False\n"
      "  end\n"
      "end\n";
  const String first = ReadAndWrite(text);
  const String second = ReadAndWrite(first);
  EXPECT_EQ(first, second);
}

}  // namespace
