// The button edit's default ellipsis button and the buttons a form text gives it, the registration of the
// editor kinds, and a form holding the memo, button, hyperlink and MRU edits read and written back unchanged.
#include <gtest/gtest.h>

#include "controls/editors/uiButtonEdit.h"
#include "controls/editors/uiHyperLink.h"
#include "controls/editors/uiMRUEdit.h"
#include "controls/editors/uiMemo.h"
#include "platform/classes/Filer.h"
#include "tests/controls/editors/EditorKindsTesting.h"

using namespace editors_test;

namespace {

class ButtonEditTest : public EditorKindsTest {
 protected:
  TuiButtonEdit* Read(const String& AText) {
    ReadComponentFromText(AText, Form, "form");
    return dynamic_cast<TuiButtonEdit*>(Form->FindComponent("Btn"));
  }
  static String Kinds(TuiButtonEdit* AEdit) {
    String s;
    TuiEditButtons* buttons = AEdit->Properties()->Buttons();
    for (Integer i = 0; i < buttons->Count(); ++i)
      s += String(s.empty() ? "" : ",") + (buttons->Items(i)->Kind() == bkEllipsis ? "ellipsis" : "other");
    return s;
  }
};

TEST_F(ButtonEditTest, ACodeMadeEditorHasOneEllipsisButton) {
  auto* edit = NewObject<TuiButtonEdit>(Form);
  edit->SetParent(Form);
  EXPECT_EQ(Kinds(edit), "ellipsis");
}

TEST_F(ButtonEditTest, EachKindIsRegisteredWithItsDescription) {
  struct Case {
    TClass cls;
    const char* text;
  };
  const Case cases[] = {
      {TuiMemoProperties::StaticClass(), "Memo|Represents an edit control that allows editing memo data"},
      {TuiButtonEditProperties::StaticClass(), "ButtonEdit|Represents an edit control with embedded buttons"},
      {TuiHyperLinkEditProperties::StaticClass(), "HyperLink|Represents a text editor with hyperlink functionality"},
      {TuiMRUEditProperties::StaticClass(),
       "MRUEdit|Represents a text editor displaying the list of most recently used items (MRU) within a dropdown "
       "window"},
  };
  TuiRegisteredClasses* registry = GetEditPropertiesRegistry();
  for (const Case& c : cases) {
    const Integer index = registry->IndexOfClass(c.cls);
    ASSERT_GE(index, 0) << c.text;
    EXPECT_EQ(registry->GetHintText(index), c.text);
  }
}

TEST_F(ButtonEditTest, AFormTextHoldsTheCompleteButtonList) {
  struct Case {
    const char* name;
    const char* buttons;
    const char* kinds;
  };
  const Case cases[] = {
      {"two buttons",
       "    Properties.Buttons = <\n"
       "      item\n"
       "        Kind = bkEllipsis\n"
       "      end\n"
       "      item\n"
       "        Caption = 'Go'\n"
       "        Kind = bkText\n"
       "      end>\n",
       "ellipsis,other"},
      {"no Buttons entry", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const String text = String("object F: TForm\n  object Btn: TuiButtonEdit\n") + c.buttons + "  end\nend\n";
    TuiButtonEdit* edit = Read(text);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(Kinds(edit), c.kinds);
    // Written and read again, the list stays as it was read.
    const String written = WriteComponentToText(Form);
    FreeObject(edit);
    EXPECT_EQ(Kinds(Read(written)), c.kinds);
    FreeObject(Form->FindComponent("Btn"));
  }
}

TEST_F(ButtonEditTest, AFormWithEachEditorWritesBackWhatItRead) {
  const String text =
      "object F: TForm\n"
      "  object Notes: TuiMemo\n"
      "    Lines.Strings = (\n"
      "      'first line'\n"
      "      'second line')\n"
      "    Properties.ScrollBars = ssVertical\n"
      "    Properties.WantTabs = True\n"
      "    Properties.WordWrap = False\n"
      "  end\n"
      "  object Btn: TuiButtonEdit\n"
      "    Properties.Buttons = <\n"
      "      item\n"
      "        Kind = bkEllipsis\n"
      "      end\n"
      "      item\n"
      "        Caption = 'Go'\n"
      "        Kind = bkText\n"
      "      end>\n"
      "    Text = 'abc'\n"
      "  end\n"
      "  object Link: TuiHyperLinkEdit\n"
      "    Properties.Prefix = 'ftp://'\n"
      "    Properties.SingleClick = True\n"
      "    Properties.LinkColor = clRed\n"
      "    Text = 'ftp://host'\n"
      "  end\n"
      "  object Recent: TuiMRUEdit\n"
      "    Properties.LookupItems.Strings = (\n"
      "      'one'\n"
      "      'two')\n"
      "    Properties.MaxItemCount = 5\n"
      "    Properties.ShowEllipsis = False\n"
      "  end\n"
      "end\n";
  auto readAndWrite = [](const String& AText) {
    TObjectPtr<TForm> form(NewObject<TForm>(nullptr, 0));
    ReadComponentFromText(AText, form.get(), "form");
    return WriteComponentToText(form.get());
  };
  const String first = readAndWrite(text);
  for (const char* expected : {"'second line'", "ScrollBars = ssVertical", "Caption = 'Go'", "Prefix = 'ftp://'",
                               "LinkColor = clRed", "MaxItemCount = 5",
                               "ShowEllipsis = False"})
    EXPECT_NE(first.find(expected), String::npos) << expected << "\n" << first;
  EXPECT_EQ(readAndWrite(first), first);

  // Lines alone give the memo its edit value.
  ReadComponentFromText(
      "object F: TForm\n  object Notes: TuiMemo\n    Lines.Strings = (\n      'a'\n      'b')\n  end\nend\n", Form,
      "form");
  auto* memo = dynamic_cast<TuiMemo*>(Form->FindComponent("Notes"));
  ASSERT_NE(memo, nullptr);
  EXPECT_EQ(VarToStr(memo->EditValue()), "a\r\nb\r\n");
}

}  // namespace
