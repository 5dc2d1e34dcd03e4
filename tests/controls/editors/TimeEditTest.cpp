// The time editor on the pinned test display: typed digits and designators, spinning the part under the
// caret with and without Circular, the selection after a step, the text read as seconds, the date part
// kept, locales without and with long designators, the registry entry and a form text read back.
#include <functional>

#include "controls/editors/uiTimeEdit.h"
#include "platform/classes/Filer.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/FormatSettings.h"
#include "tests/common/RtlTesting.h"
#include "tests/controls/editors/SpinEditTesting.h"

using namespace k58::editors;

namespace editors_test {
namespace {

constexpr double OneSecond = 1.0 / 86400;

class TimeEditTest : public SpinFormTest {
 protected:
  TimeEditTest() { StartTimeEditUnit(); }
  ~TimeEditTest() override { StopTimeEditUnit(); }

  TuiTimeEdit* NewTime(bool AUse24, TuiTimeEditTimeFormat AFormat = tfHourMinSec) {
    auto* edit = NewEdit<TuiTimeEdit>(10, 10, 150);
    edit->Properties()->SetUse24HourFormat(AUse24);
    edit->Properties()->SetTimeFormat(AFormat);
    Pump();
    return edit;
  }
  static double Seconds(TuiTimeEdit* AEdit) { return AEdit->Value().AsDouble(); }
};

TEST_F(TimeEditTest, TypedDigitsAndDesignatorsAreCorrectedInTheEditor) {
  struct Case {
    bool use24;
    double time;
    Integer caret;
    const char* typed;
    const char* text;
  };
  const Case cases[] = {
      {true, 15.5 / 24, 0, "7", "07:30:00"},     // 7 cannot start an hour: it lands in the second place
      {true, 15.5 / 24, 0, "3", "03:30:00"},
      {true, 15.5 / 24, 0, "2", "20:30:00"},
      {true, 15.5 / 24, 0, "1", "15:30:00"},
      {true, 15.5 / 24, 0, "1945", "19:45:00"},
      {true, 15.5 / 24, 0, "915", "09:15:00"},   // 9 then 15: the caret goes on over the colon
      {true, 15.5 / 24, 3, "8", "15:08:00"},
      {true, 15.5 / 24, 6, "77", "15:30:07"},    // the second 7 is refused: no third place
      {false, 10.5 / 24, 0, "0", "01:30:00 AM"},  // 00 is no hour: the 1 moves right
      {false, 5.5 / 24, 0, "1", "10:30:00 AM"},
      {false, 5.5 / 24, 1, "0", "05:30:00 AM"},   // refused
      {false, 11.5 / 24, 9, "p", "11:30:00 PM"},
      {false, 23.5 / 24, 9, "a", "11:30:00 AM"},
      {false, 23.5 / 24, 9, "x", "11:30:00 PM"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.use24 << " " << c.typed << " at " << c.caret);
    TuiTimeEdit* edit = NewTime(c.use24);
    edit->SetTime(c.time);
    Focus(edit);
    edit->SetSelStart(c.caret);
    Pump();
    const int beeps = Beeps();
    Type(c.typed);
    EXPECT_EQ(edit->Text(), c.text);
    EXPECT_EQ(Beeps(), beeps) << "keys the rules take or refuse do not beep";
    FreeObject(edit);
  }
}

TEST_F(TimeEditTest, SpinStepsThePartUnderTheCaret) {
  struct Case {
    bool use24;
    bool circular;
    const char* start;
    Integer caret;
    WORD key;
    const char* text;
    Integer selStart, selLength;
  };
  const Case cases[] = {
      {true, false, "10:20:30", 0, VK_UP, "11:20:30", 1, 1},
      {true, false, "10:20:30", 4, VK_UP, "10:21:30", 4, 1},
      {true, false, "10:20:30", 7, VK_DOWN, "10:20:29", 7, 1},
      {true, false, "10:20:30", 4, VK_PRIOR, "10:30:30", 4, 1},  // fast: ten minutes
      {true, false, "10:20:30", 7, VK_NEXT, "10:20:20", 7, 1},
      {true, false, "23:30:00", 0, VK_UP, "23:30:00", 1, 1},     // past midnight: refused, not clamped
      {true, false, "22:59:59", 0, VK_UP, "23:59:59", 1, 1},
      {true, false, "00:00:00", 7, VK_DOWN, "00:00:00", 7, 1},
      {true, true, "23:30:00", 0, VK_UP, "00:30:00", 1, 1},
      {true, true, "00:00:00", 7, VK_DOWN, "23:59:59", 7, 1},
      {true, true, "23:59:59", 7, VK_UP, "00:00:00", 7, 1},
      // The designator toggles with either direction and is selected afterwards.
      {false, false, "11:30:00 AM", 9, VK_UP, "11:30:00 PM", 9, 2},
      {false, false, "11:30:00 AM", 9, VK_DOWN, "11:30:00 PM", 9, 2},
      {false, false, "11:30:00 PM", 10, VK_DOWN, "11:30:00 AM", 9, 2},
      {false, false, "11:30:00 PM", 0, VK_UP, "11:30:00 PM", 1, 1},  // 24:30 would pass midnight
      {false, true, "11:30:00 PM", 0, VK_UP, "12:30:00 AM", 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.start << " caret " << c.caret << " key " << c.key);
    TuiTimeEdit* edit = NewTime(c.use24);
    edit->Properties()->SetCircular(c.circular);
    edit->SetTime(StrToTime(c.start));
    Focus(edit);
    ASSERT_EQ(edit->Text(), c.start);
    edit->SetSelStart(c.caret);
    Pump();
    Key(c.key);
    EXPECT_EQ(edit->Text(), c.text);
    EXPECT_EQ(edit->SelStart(), c.selStart);
    EXPECT_EQ(edit->SelLength(), c.selLength);
    FreeObject(edit);
  }
}

TEST_F(TimeEditTest, TextIsReadAsSecondsAndTheDateIsKept) {
  TuiTimeEdit* edit = NewTime(false);
  auto* other = NewEdit<TuiTextEdit>(10, 100);
  edit->SetTime(23.5 / 24);
  Focus(edit);
  EXPECT_EQ(edit->Text(), "11:30:00 PM");
  EXPECT_EQ(Seconds(edit), 84600);
  edit->SetSelStart(9);
  Type("a");
  EXPECT_EQ(Seconds(edit), 41400);
  LeaveTo(other);
  EXPECT_NEAR(edit->Time(), 11.5 / 24, OneSecond / 10);

  // 5 May 2020 08:00 set to 14:00 stays on 5 May; so does a value typed while focused.
  const TDateTime may5 = EncodeDate(2020, 5, 5);
  edit->SetEditValue(Variant::FromDateTime(may5 + 8.0 / 24));
  edit->SetTime(14.0 / 24);
  EXPECT_NEAR(edit->EditValue().AsDouble(), may5 + 14.0 / 24, OneSecond / 10);
  Focus(edit);
  edit->SetSelStart(0);
  Type("09");
  LeaveTo(other);
  EXPECT_EQ(edit->Text(), "09:00:00 PM");
  EXPECT_NEAR(edit->EditValue().AsDouble(), may5 + 21.0 / 24, OneSecond / 10);

  // Before the epoch the time counts away from it.
  edit->SetEditValue(Variant::FromDateTime(-1));
  edit->SetTime(0.75);
  EXPECT_DOUBLE_EQ(edit->EditValue().AsDouble(), -1.75);
  EXPECT_DOUBLE_EQ(edit->Time(), 0.75);
}

TEST_F(TimeEditTest, EmptyAndUnreadableValues) {
  auto* other = NewEdit<TuiTextEdit>(10, 100);
  for (const bool use24 : {true, false}) {
    SCOPED_TRACE(use24);
    TuiTimeEdit* edit = NewTime(use24);
    edit->SetEditValue(Variant());
    Focus(edit);
    EXPECT_EQ(edit->Text(), use24 ? "00:00:00" : "12:00:00 AM");
    LeaveTo(other);
    // A text that is no time shows as it is, never as some other time.
    edit->SetEditValue(Variant(String("not a time")));
    EXPECT_EQ(edit->Text(), "not a time");
    Variant display;
    edit->Properties()->PrepareDisplayValue(Variant(String("not a time")), display, false);
    EXPECT_EQ(VarToStr(display), "");
    FreeObject(edit);
  }
  Variant value(String("25:99"));
  EXPECT_FALSE(TuiTimeEditProperties().IsEditValueValid(value, false));
}

TEST_F(TimeEditTest, TwelveHourMasksFollowTheLocaleDesignators) {
  struct Case {
    const char* am;
    const char* pm;
    const char* mask;    // for hours, minutes and seconds
    const char* pmText;  // 23:30 shown
  };
  const Case cases[] = {
      {"AM", "PM", "00:00:00 cc;1;0", "11:30:00 PM"},
      {"", "", "00:00:00 cc;1;0", "11:30:00 PM"},  // no designators: AM and PM, the afternoon is kept
      {"a.m.", "p.m.", "00:00:00 cccc;1;0", "11:30:00 p.m."},
      {"vorm.", "nachm.", "00:00:00 cccccc;1;0", "11:30:00 nachm."},
  };
  auto* other = NewEdit<TuiTextEdit>(10, 100);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pm);
    TFormatSettings fs = InvariantFormatSettings();
    fs.TimeAMString = c.am;
    fs.TimePMString = c.pm;
    TFormatSettingsGuard guard(fs);
    GetFormatController()->NotifyFormatChanged();
    EXPECT_EQ(TwelveHourMask(tfHourMinSec), c.mask);
    TuiTimeEdit* edit = NewTime(false);
    EXPECT_EQ(edit->Properties()->EditMask(), c.mask);
    edit->SetTime(23.5 / 24);
    Focus(edit);
    EXPECT_EQ(edit->Text(), c.pmText);
    EXPECT_EQ(Seconds(edit), 84600);
    LeaveTo(other);
    EXPECT_NEAR(edit->Time(), 23.5 / 24, OneSecond / 10);
    FreeObject(edit);
  }
  GetFormatController()->NotifyFormatChanged();
  EXPECT_EQ(TwelveHourMask(tfHourMin), "00:00 cc;1;0");
  EXPECT_EQ(TwelveHourMask(tfHour), "00 cc;1;0");
}

TEST_F(TimeEditTest, ShorterFormatsAndTheUnfocusedText) {
  auto* other = NewEdit<TuiTextEdit>(10, 100);
  TuiTimeEdit* edit = NewTime(true, tfHourMin);
  edit->SetEditValue(Variant::FromDateTime(EncodeDate(2024, 3, 5) + 13.75 / 24));
  EXPECT_EQ(edit->Text(), "13:45");
  edit->Properties()->SetShowDate(true);
  EXPECT_EQ(edit->Text(), "2024-03-05 13:45:00");
  edit->Properties()->SetShowDate(false);
  edit->Properties()->SetUseTimeFormatWhenUnfocused(false);
  EXPECT_EQ(edit->Text(), "13:45:00");  // the locale's long time
  edit->Properties()->SetTimeFormat(tfHour);
  Focus(edit);
  EXPECT_EQ(edit->Text(), "13");
  edit->SetSelStart(0);
  Key(VK_UP);
  EXPECT_EQ(edit->Text(), "14");
  LeaveTo(other);
  EXPECT_NEAR(edit->Time(), 14.0 / 24, OneSecond / 10);
}

TEST_F(TimeEditTest, RegisteredAndReadFromAFormText) {
  TuiRegisteredClasses* registry = GetEditPropertiesRegistry();
  const Integer index = registry->IndexOfClass(TuiTimeEditProperties::StaticClass());
  ASSERT_GE(index, 0);
  EXPECT_EQ(registry->GetHintText(index), "TimeEdit|Represents an editor displaying time values");
  EXPECT_EQ(TuiTimeEditProperties().GetEditClass(), TuiTimeEdit::StaticClass());

  const char* const text =
      "object TimeForm: TForm\n"
      "  Left = 0\n"
      "  Top = 0\n"
      "  Width = 200\n"
      "  Height = 100\n"
      "  Caption = 'Scan'\n"
      "  object teDwell: TuiTimeEdit\n"
      "    Left = 8\n"
      "    Top = 8\n"
      "    Properties.Circular = True\n"
      "    Properties.TimeFormat = tfHourMin\n"
      "    Properties.Use24HourFormat = False\n"
      "    TabOrder = 0\n"
      "    Width = 100\n"
      "  end\n"
      "end\n";
  TObjectPtr<TForm> form(NewObject<TForm>(nullptr, 0));
  ReadComponentFromText(text, form.get(), "form");
  auto* edit = dynamic_cast<TuiTimeEdit*>(form->FindComponent("teDwell"));
  ASSERT_NE(edit, nullptr);
  EXPECT_TRUE(edit->Properties()->Circular());
  EXPECT_EQ(edit->Properties()->TimeFormat(), tfHourMin);
  EXPECT_FALSE(edit->Properties()->Use24HourFormat());
  EXPECT_EQ(edit->Properties()->EditMask(), "00:00 cc;1;0");
  const String written = WriteComponentToText(form.get());
  EXPECT_NE(written.find("Properties.TimeFormat = tfHourMin"), String::npos) << written;
  EXPECT_NE(written.find("Properties.Use24HourFormat = False"), String::npos) << written;
  EXPECT_EQ(written.find("Time ="), String::npos) << "the time is not stored";

  // Assign copies every setting.
  TObjectPtr<TuiCustomEditProperties> source(
      TuiCustomEditProperties::CreateOfClass(TuiTimeEditProperties::StaticClass(), nullptr));
  auto* copy = static_cast<TuiTimeEditProperties*>(source.get());
  copy->SetAutoCorrectHours(false);
  copy->SetShowDate(true);
  edit->Properties()->Assign(copy);
  EXPECT_FALSE(edit->Properties()->AutoCorrectHours());
  EXPECT_TRUE(edit->Properties()->ShowDate());
  EXPECT_EQ(edit->Properties()->TimeFormat(), tfHourMinSec);
  EXPECT_TRUE(edit->Properties()->Use24HourFormat());
}

}  // namespace
}  // namespace editors_test
