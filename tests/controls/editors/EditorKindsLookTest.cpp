// The editor kinds drawn with a visual style (a recording provider) and, without one, with the painter of
// each look-and-feel kind; and a form text holding every kind.
#include <gtest/gtest.h>

#include "controls/editors/uiButtons.h"
#include "controls/editors/uiGroupBox.h"
#include "controls/editors/uiRadioGroup.h"
#include "platform/classes/Filer.h"
#include "tests/controls/editors/EditorKindsTesting.h"
#include "tests/platform/theme/RecordingThemeProvider.h"

using namespace editors_test;

namespace {

class EditorKindsLookTest : public EditorKindsTest {
 protected:
  struct Controls {
    TuiCheckBox* Check;
    TuiGroupBox* Group;
    TuiRadioButton* Radio;
    TuiRadioGroup* Radios;
    TuiButton* Button;
  };
  Controls Build(bool ANative, TuiLookAndFeelKind AKind) {
    Controls c{};
    c.Group = NewObject<TuiGroupBox>(Form);
    c.Group->SetCaption("Port");
    c.Group->SetBounds(10, 10, 200, 100);
    c.Group->Style()->LookAndFeel()->SetNativeStyle(ANative);
    c.Group->Style()->LookAndFeel()->SetKind(AKind);
    c.Group->SetParent(Form);
    c.Radio = NewObject<TuiRadioButton>(Form);
    c.Radio->SetCaption("COM1");
    c.Radio->SetBounds(10, 30, 65, 17);
    c.Radio->LookAndFeel()->SetNativeStyle(ANative);
    c.Radio->LookAndFeel()->SetKind(AKind);
    c.Radio->SetParent(c.Group);
    c.Radio->SetChecked(true);
    c.Check = NewObject<TuiCheckBox>(Form);
    c.Check->SetCaption("Beep");
    c.Check->SetBounds(220, 10, 100, 21);
    c.Check->Style()->LookAndFeel()->SetNativeStyle(ANative);
    c.Check->Style()->LookAndFeel()->SetKind(AKind);
    c.Check->SetParent(Form);
    c.Check->SetChecked(true);
    c.Radios = NewObject<TuiRadioGroup>(Form);
    c.Radios->SetBounds(220, 40, 200, 80);
    c.Radios->Style()->LookAndFeel()->SetNativeStyle(ANative);
    c.Radios->Style()->LookAndFeel()->SetKind(AKind);
    for (const char* caption : {"High", "Low"}) c.Radios->Properties()->Items()->Add()->SetCaption(caption);
    c.Radios->SetParent(Form);
    c.Radios->SetItemIndex(0);
    c.Button = NewObject<TuiButton>(Form);
    c.Button->SetCaption("OK");
    c.Button->SetBounds(10, 130, 75, 25);
    c.Button->LookAndFeel()->SetNativeStyle(ANative);
    c.Button->LookAndFeel()->SetKind(AKind);
    c.Button->SetParent(Form);
    RepaintAll(c);
    return c;
  }
  void RepaintAll(const Controls& c) {
    for (TWinControl* control : std::initializer_list<TWinControl*>{c.Check, c.Group, c.Radio, c.Radios, c.Button})
      control->Repaint();
    for (Integer i = 0; i < c.Radios->ButtonCount(); ++i) c.Radios->Buttons(i)->Repaint();
    Pump();
  }
};

TEST_F(EditorKindsLookTest, NativeStyleDrawsTheButtonThemeParts) {
  k58test::RecordingThemeProvider provider({"Button", "Edit"});
  k58test::ScopedThemeProvider scope(provider);
  Controls c = Build(true, lfUltraFlat);
  provider.ClearCalls();
  RepaintAll(c);
  auto drawn = [&](int APart, int AState) {
    for (const k58test::ThemeCall& call : provider.CallsOf("Background"))
      if (call.Part == APart && call.State == AState) return true;
    return false;
  };
  EXPECT_TRUE(drawn(BP_CHECKBOX, 5)) << "checked, normal " << CanUseNativeButtonTheme(c.Check->Style()->LookAndFeel()) << " " << provider.Calls.size() << " " << IsThemedObjectUsable(totButton) << " " << c.Check->Style()->LookAndFeel()->NativeStyle();
  EXPECT_TRUE(drawn(BP_RADIOBUTTON, 5)) << "checked, normal";
  EXPECT_TRUE(drawn(BP_GROUPBOX, 1)) << "enabled";
  c.Check->SetEnabled(false);
  c.Group->SetEnabled(false);
  provider.ClearCalls();
  RepaintAll(c);
  EXPECT_TRUE(drawn(BP_CHECKBOX, 8)) << "checked, disabled";
  EXPECT_TRUE(drawn(BP_GROUPBOX, 2)) << "disabled";
  c.Check->SetEnabled(true);
  c.Check->SetEditValue(Null());
  provider.ClearCalls();
  RepaintAll(c);
  EXPECT_TRUE(drawn(BP_CHECKBOX, 9)) << "mixed, normal";
}

// Without visual styles every kind draws with its painter: the themed parts are never asked for, and the
// kinds differ somewhere on screen.
TEST_F(EditorKindsLookTest, EachKindDrawsWithItsPainter) {
  std::vector<std::vector<COLORREF>> looks;
  for (TuiLookAndFeelKind kind : {lfFlat, lfStandard, lfUltraFlat, lfOffice11}) {
    Controls c = Build(true, kind);
    std::vector<COLORREF> pixels;
    for (TWinControl* control : std::initializer_list<TWinControl*>{c.Check, c.Group, c.Radio, c.Radios, c.Button}) {
      for (Integer y = 0; y < control->Height(); y += 3)
        for (Integer x = 0; x < std::min<Integer>(control->Width(), 40); x += 3)
          pixels.push_back(Display.ClientPixel(control->Handle(), POINT{x, y}));
    }
    looks.push_back(pixels);
    for (TWinControl* control : std::initializer_list<TWinControl*>{c.Check, c.Radios, c.Button, c.Group})
      FreeObject(control);
  }
  EXPECT_NE(looks[0], looks[2]) << "flat and ultra-flat";
  EXPECT_NE(looks[1], looks[2]) << "standard and ultra-flat";
}

TEST_F(EditorKindsLookTest, FormTextWithEveryKindLoadsAndWritesBack) {
  const String text =
      "object Settings: TForm\n"
      "  object PortBox: TuiGroupBox\n"
      "    Left = 8\n"
      "    Top = 8\n"
      "    Caption = 'Port'\n"
      "    Alignment = alLeftCenter\n"
      "    object Com1: TuiRadioButton\n"
      "      Left = 20\n"
      "      Top = 20\n"
      "      Caption = 'COM1'\n"
      "      Checked = True\n"
      "    end\n"
      "  end\n"
      "  object Beep: TuiCheckBox\n"
      "    Left = 200\n"
      "    Top = 8\n"
      "    Caption = 'Beep'\n"
      "    State = cbsGrayed\n"
      "    Properties.AllowGrayed = True\n"
      "  end\n"
      "  object Power: TuiRadioGroup\n"
      "    Left = 200\n"
      "    Top = 40\n"
      "    Caption = 'Power'\n"
      "    Properties.Columns = 2\n"
      "    Properties.Items = <\n"
      "      item\n"
      "        Caption = 'High'\n"
      "        Value = 1\n"
      "      end\n"
      "      item\n"
      "        Caption = 'Low'\n"
      "        Value = 0\n"
      "      end>\n"
      "    ItemIndex = 1\n"
      "  end\n"
      "  object Ok: TuiButton\n"
      "    Left = 8\n"
      "    Top = 150\n"
      "    Caption = 'OK'\n"
      "    Default = True\n"
      "    ModalResult = 1\n"
      "    Kind = uibkDropDownButton\n"
      "  end\n"
      "end\n";
  TObjectPtr<TForm> form(NewObject<TForm>(nullptr, 0));
  ReadComponentFromText(text, form.get(), "settings");
  auto* box = dynamic_cast<TuiGroupBox*>(form->FindComponent("PortBox"));
  auto* radio = dynamic_cast<TuiRadioButton*>(form->FindComponent("Com1"));
  auto* check = dynamic_cast<TuiCheckBox*>(form->FindComponent("Beep"));
  auto* group = dynamic_cast<TuiRadioGroup*>(form->FindComponent("Power"));
  auto* ok = dynamic_cast<TuiButton*>(form->FindComponent("Ok"));
  ASSERT_TRUE(box && radio && check && group && ok);
  EXPECT_EQ(box->Alignment(), alLeftCenter);
  EXPECT_EQ(radio->Parent(), box);
  EXPECT_TRUE(radio->Checked());
  EXPECT_EQ(check->State(), cbsGrayed);
  EXPECT_EQ(group->ItemIndex(), 1);
  EXPECT_TRUE(TuiCustomEdit::VarEqualsSameType(group->EditValue(), Variant(0)));
  EXPECT_EQ(ok->Kind(), uibkDropDownButton);
  EXPECT_TRUE(ok->Default());

  // Every line the kinds write of their own comes back unchanged (the style's font lines are the
  // container's, see the note of the check box's form text test).
  const String written = WriteComponentToText(form.get());
  TObjectPtr<TForm> again(NewObject<TForm>(nullptr, 0));
  ReadComponentFromText(written, again.get(), "settings");
  const String rewritten = WriteComponentToText(again.get());
  for (const char* line : {"Alignment = alLeftCenter", "Checked = True", "State = cbsGrayed",
                           "Properties.AllowGrayed = True", "Properties.Columns = 2", "Value = 1", "Value = 0",
                           "ItemIndex = 1", "Kind = uibkDropDownButton", "Default = True", "ModalResult = 1"}) {
    EXPECT_NE(written.find(line), String::npos) << line << "\n" << written;
    EXPECT_NE(rewritten.find(line), String::npos) << line << "\n" << rewritten;
  }
  EXPECT_EQ(written.find("TuiCustomRadioGroupButton"), String::npos) << written;
}

}  // namespace
