// Editors read from a form text and written again write back what they read, font settings included.
#include <gtest/gtest.h>

#include <functional>

#include "controls/editors/uiButtons.h"
#include "controls/editors/uiGroupBox.h"
#include "controls/editors/uiRadioButton.h"
#include "controls/editors/uiRadioGroup.h"
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

namespace {

// How a control of the form text below gets its font.
enum class FontSource { Parent, OffWithoutFont, Own };

struct FormKind {
  const char* name;
  const char* className;
  bool container;  // the font lives in the style
  const char* body;
};

const FormKind kFormKinds[] = {
    {"Check", "TuiCheckBox", true, "Caption = 'Beep'\nState = cbsChecked\n"},
    {"Edit", "TuiTextEdit", true, "Text = '145.000'\n"},
    {"Box", "TuiGroupBox", true, "Caption = 'Port'\nAlignment = alLeftCenter\n"},
    {"Power", "TuiRadioGroup", true,
     "Caption = 'Power'\nProperties.Items = <\nitem\nCaption = 'High'\nValue = 1\nend\nitem\nCaption = 'Low'\n"
     "Value = 0\nend>\nItemIndex = 1\n"},
    {"Com", "TuiRadioButton", false, "Caption = 'COM1'\n"},
    {"Ok", "TuiButton", false, "Caption = 'OK'\nDefault = True\n"},
};

String FontLines(const FormKind& AKind, FontSource ASource) {
  switch (ASource) {
    case FontSource::Parent: return "";
    case FontSource::OffWithoutFont: return "ParentFont = False\n";
    case FontSource::Own: return String(AKind.container ? "Style.Font.Height = -19\n" : "Font.Height = -19\n") +
                                 "ParentFont = False\n";
  }
  return "";
}

String KindObject(const FormKind& AKind, const String& ASuffix, FontSource ASource) {
  return String("object ") + AKind.name + ASuffix + ": " + AKind.className + "\n" + AKind.body +
         FontLines(AKind, ASource) + "end\n";
}

// A form with a font of its own holding every kind twice: on the form and inside a group box that
// follows the form's font.
String EveryKindForm(FontSource ASource) {
  String text = "object F: TForm\nFont.Height = -16\nParentFont = False\n";
  for (const FormKind& kind : kFormKinds) text += KindObject(kind, "Top", ASource);
  text += "object Holder: TuiGroupBox\nCaption = 'Holder'\n";
  for (const FormKind& kind : kFormKinds) text += KindObject(kind, "In", ASource);
  return text + "end\nend\n";
}

TEST_F(EditorFormTextRoundTripTest, EveryKindWritesBackWhatItReadWhateverItsFontSource) {
  const struct {
    const char* name;
    FontSource source;
  } cases[] = {{"parent font", FontSource::Parent},
               {"ParentFont off without font lines", FontSource::OffWithoutFont},
               {"own font", FontSource::Own}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const String first = ReadAndWrite(EveryKindForm(c.source));
    const String second = ReadAndWrite(first);
    EXPECT_EQ(first, second);

    // What was written still means what was read.
    TObjectPtr<TForm> form(NewObject<TForm>(nullptr, 0));
    ReadComponentFromText(first, form.get(), "form");
    for (const FormKind& kind : kFormKinds) {
      for (const char* suffix : {"Top", "In"}) {
        const String name = String(kind.name) + suffix;
        SCOPED_TRACE(name);
        auto* control = dynamic_cast<TControl*>(form->FindComponent(name));
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->ParentFont(), c.source == FontSource::Parent);
        if (c.source != FontSource::OffWithoutFont || kind.container) {
          EXPECT_EQ(control->Font()->Height(), c.source == FontSource::Own ? -19 : -16);
        }
        if (auto* container = dynamic_cast<TuiContainer*>(control)) {
          EXPECT_EQ(container->Style()->AssignedValues().Contains(csvFont), c.source != FontSource::Parent);
        }
      }
    }
  }
}

// An editor that follows its parent's font keeps following it after loading.
TEST_F(EditorFormTextRoundTripTest, LoadedEditorFollowsLaterFontChangesOfItsParent) {
  TObjectPtr<TForm> form(NewObject<TForm>(nullptr, 0));
  ReadComponentFromText(EveryKindForm(FontSource::Parent), form.get(), "form");
  form->Font()->SetHeight(-21);
  for (const FormKind& kind : kFormKinds) {
    SCOPED_TRACE(kind.name);
    auto* inner = dynamic_cast<TControl*>(form->FindComponent(String(kind.name) + "In"));
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(inner->Font()->Height(), -21);
  }
}

}  // namespace
