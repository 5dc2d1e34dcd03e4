// The application's spin and frequency editors read from a form text in the "." and "," locales: a channel
// spin 1..16, a level spin 1..9 and receive and transmit frequency editors with five decimals, typed,
// stepped, shown unfocused, read back through Value, and written back as they were read; and the two
// editor kinds' entries in the registry.
#include "platform/classes/Filer.h"
#include "platform/rtl/FormatSettings.h"
#include "tests/common/RtlTesting.h"
#include "tests/controls/editors/SpinEditTesting.h"

namespace editors_test {
namespace {

const char* const ChannelFormText =
    "object ChannelForm: TForm\n"
    "  Left = 0\n"
    "  Top = 0\n"
    "  Width = 308\n"
    "  Height = 227\n"
    "  Caption = 'Channel'\n"
    "  Color = clBtnFace\n"
    "  Font.Charset = DEFAULT_CHARSET\n"
    "  Font.Color = clWindowText\n"
    "  Font.Height = -11\n"
    "  Font.Name = 'MS Sans Serif'\n"
    "  Font.Style = []\n"
    "  ParentFont = False\n"
    "  ShowHint = False\n"
    "  ClientHeight = 200\n"
    "  ClientWidth = 300\n"
    "  HorzScrollBar.Range = 128\n"
    "  VertScrollBar.Range = 125\n"
    "  object sexd: TuiSpinEdit\n"
    "    Left = 8\n"
    "    Top = 8\n"
    "    Style.AssignedValues = []\n"
    "    StyleDisabled.AssignedValues = []\n"
    "    StyleFocused.AssignedValues = []\n"
    "    StyleHot.AssignedValues = []\n"
    "    ParentColor = False\n"
    "    TabOrder = 0\n"
    "    TabStop = True\n"
    "    Properties.MaxValue = 16.0\n"
    "    Properties.MinValue = 1.0\n"
    "    Value = 1.0\n"
    "    Width = 60\n"
    "  end\n"
    "  object seLevel: TuiSpinEdit\n"
    "    Left = 8\n"
    "    Top = 40\n"
    "    Style.AssignedValues = []\n"
    "    StyleDisabled.AssignedValues = []\n"
    "    StyleFocused.AssignedValues = []\n"
    "    StyleHot.AssignedValues = []\n"
    "    ParentColor = False\n"
    "    TabOrder = 1\n"
    "    TabStop = True\n"
    "    Properties.MaxValue = 9.0\n"
    "    Properties.MinValue = 1.0\n"
    "    Properties.SpinButtons.Position = sbpHorzRight\n"
    "    Value = 5.0\n"
    "    Width = 60\n"
    "  end\n"
    "  object eRx: TuiCurrencyEdit\n"
    "    Left = 8\n"
    "    Top = 72\n"
    "    EditValue = 0.0\n"
    "    Style.AssignedValues = []\n"
    "    StyleDisabled.AssignedValues = []\n"
    "    StyleFocused.AssignedValues = []\n"
    "    StyleHot.AssignedValues = []\n"
    "    ParentColor = False\n"
    "    TabOrder = 2\n"
    "    TabStop = True\n"
    "    Properties.DecimalPlaces = 5\n"
    "    Properties.DisplayFormat = '0.00000'\n"
    "    Width = 120\n"
    "  end\n"
    "  object eTX: TuiCurrencyEdit\n"
    "    Left = 8\n"
    "    Top = 104\n"
    "    EditValue = 0.0\n"
    "    Style.AssignedValues = []\n"
    "    StyleDisabled.AssignedValues = []\n"
    "    StyleFocused.AssignedValues = []\n"
    "    StyleHot.AssignedValues = []\n"
    "    ParentColor = False\n"
    "    TabOrder = 3\n"
    "    TabStop = True\n"
    "    Properties.DecimalPlaces = 5\n"
    "    Properties.DisplayFormat = '0.00000'\n"
    "    Width = 120\n"
    "  end\n"
    "end\n";

class SpinEditFormTest : public SpinFormTest {
 protected:
  TForm* Load() {
    auto* form = NewObject<TForm>(nullptr, 0);
    ReadComponentFromText(ChannelFormText, form, "form");
    form->Show();
    Pump();
    return form;
  }
};

TEST_F(SpinEditFormTest, TheChannelFormReadsBackWhatItWasGiven) {
  for (const char decimal : {'.', ','}) {
    SCOPED_TRACE(decimal);
    TFormatSettingsGuard guard(decimal == ',' ? CommaDecimalSettings() : WithDecimal('.', ','));
    TObjectPtr<TForm> form(NewObject<TForm>(nullptr, 0));
    ReadComponentFromText(ChannelFormText, form.get(), "form");
    EXPECT_EQ(WriteComponentToText(form.get()), ChannelFormText);
  }
}

TEST_F(SpinEditFormTest, TheApplicationsEditorsTypeStepShowAndReadBack) {
  for (const char decimal : {'.', ','}) {
    SCOPED_TRACE(decimal);
    TFormatSettingsGuard guard(decimal == ',' ? CommaDecimalSettings() : WithDecimal('.', ','));
    const String sep(1, decimal);
    TObjectPtr<TForm> form(Load());
    auto* channel = dynamic_cast<TuiSpinEdit*>(form->FindComponent("sexd"));
    auto* level = dynamic_cast<TuiSpinEdit*>(form->FindComponent("seLevel"));
    auto* rx = dynamic_cast<TuiCurrencyEdit*>(form->FindComponent("eRx"));
    auto* tx = dynamic_cast<TuiCurrencyEdit*>(form->FindComponent("eTX"));
    ASSERT_TRUE(channel && level && rx && tx);
    EXPECT_EQ(channel->Text(), "1");
    EXPECT_EQ(level->Text(), "5");
    EXPECT_EQ(rx->Text(), "0" + sep + "00000");

    // Channel: stepped past its end, then typed.
    Focus(channel);
    Key(VK_DOWN);
    EXPECT_EQ(channel->Text(), "1") << "the minimum holds";
    for (int i = 0; i < 20; ++i) Key(VK_UP);
    EXPECT_EQ(channel->Text(), "16") << "the maximum holds";
    EXPECT_EQ(channel->Value().AsDouble(), 16) << "read while focused";
    SelectAllFocused();
    Type("12");
    Focus(level);
    EXPECT_EQ(channel->Text(), "12");
    EXPECT_EQ(channel->Value().AsDouble(), 12);

    // Level: Page Up clamps to 9; the wheel steps down.
    Key(VK_PRIOR);
    EXPECT_EQ(level->Text(), "9");
    Display.Wheel(At(level, 10, 8), -1);
    Pump();
    EXPECT_EQ(level->Text(), "8");

    // Frequencies: typed with either separator key, five decimals at most, shown with the format.
    Focus(rx);
    SelectAllFocused();
    Type("462.5625");
    Type("01");
    EXPECT_EQ(rx->Text(), "462" + sep + "56250") << "the sixth decimal is refused";
    Focus(tx);
    EXPECT_EQ(rx->Text(), "462" + sep + "56250");
    EXPECT_DOUBLE_EQ(rx->Value(), 462.5625);
    SelectAllFocused();
    Type("467,5");
    Focus(channel);
    EXPECT_EQ(tx->Text(), "467" + sep + "50000");
    EXPECT_DOUBLE_EQ(tx->Value(), 467.5);
    EXPECT_EQ(level->Value().AsDouble(), 8);
  }
}

TEST_F(SpinEditFormTest, BothKindsAreRegisteredWithTheirDescriptions) {
  TuiRegisteredClasses* registry = GetEditPropertiesRegistry();
  const Integer spin = registry->IndexOfClass(TuiSpinEditProperties::StaticClass());
  const Integer currency = registry->IndexOfClass(TuiCurrencyEditProperties::StaticClass());
  ASSERT_GE(spin, 0);
  ASSERT_GE(currency, 0);
  EXPECT_EQ(registry->GetHintText(spin), "SpinEdit|Represents a spin editor");
  EXPECT_EQ(registry->GetHintText(currency), "CurrencyEdit|Represents an editor enabling editing currency data");
  EXPECT_EQ(TuiSpinEditProperties().GetEditClass(), TuiSpinEdit::StaticClass());
  EXPECT_EQ(TuiCurrencyEditProperties().GetEditClass(), TuiCurrencyEdit::StaticClass());
}

}  // namespace
}  // namespace editors_test
