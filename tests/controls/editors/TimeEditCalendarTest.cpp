// The date-time calendar with its real time editor: made circular and first in the tab order, typed
// times driving the clock and OK, and the time format and hour form handed on.
#include <gtest/gtest.h>

#include "controls/editors/uiCalendar.h"
#include "controls/editors/uiTimeEdit.h"
#include "tests/common/RtlTesting.h"
#include "tests/controls/editors/EditorKindsTesting.h"

using namespace editors_test;

namespace {

class TimeEditCalendarTest : public EditorKindsTest {
 protected:
  TuiPopupCalendar* NewDateTimeCalendar() {
    auto* calendar = NewObject<TuiPopupCalendar>(Form);
    calendar->SetLeft(10);
    calendar->SetTop(10);
    calendar->SetParent(Form);
    calendar->SetKind(ckDateTime);
    Pump();
    return calendar;
  }
  static TuiTimeEdit* TimeEditOf(TuiCustomCalendar* ACalendar) {
    return ACalendar->TimeEdit() != nullptr ? dynamic_cast<TuiTimeEdit*>(ACalendar->TimeEdit()->Control()) : nullptr;
  }
};

TEST_F(TimeEditCalendarTest, TheTimeEditorDrivesTheClockAndTheChosenValue) {
  TuiPopupCalendar* calendar = NewDateTimeCalendar();
  TuiTimeEdit* edit = TimeEditOf(calendar);
  ASSERT_NE(edit, nullptr);
  EXPECT_TRUE(edit->Properties()->Circular());
  EXPECT_EQ(edit->TabOrder(), 0);
  EXPECT_TRUE(edit->TabStop());
  EXPECT_TRUE(edit->Visible());
  EXPECT_GE(edit->Top(), calendar->Clock()->Top() + calendar->Clock()->Height());
  EXPECT_GT(edit->Width(), 0);

  calendar->SetSelectDate(45336);
  edit->SetFocus();
  Pump();
  edit->SetSelStart(0);
  Display.Type("1830");
  Pump();
  EXPECT_EQ(edit->Text(), "18:30:00");
  EXPECT_NEAR(calendar->Clock()->Time(), 18.5 / 24, 1e-6) << "a typed time moves the clock";
  // Circular: an hour up from 23:xx is 00:xx.
  edit->SetTime(23.5 / 24);
  edit->SetSelStart(0);
  Display.Key(VK_UP);
  Pump();
  EXPECT_EQ(edit->Text(), "00:30:00");
  EXPECT_NEAR(calendar->Clock()->Time(), 0.5 / 24, 1e-6);
  calendar->Button(3)->Click();  // OK
  EXPECT_NEAR(calendar->SelectDate(), 45336 + 0.5 / 24, 1e-6);
}

TEST_F(TimeEditCalendarTest, TimeFormatAndHourFormReachTheTimeEditor) {
  TuiPopupCalendar* calendar = NewDateTimeCalendar();
  TuiTimeEdit* edit = TimeEditOf(calendar);
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(calendar->TimeFormat(), tfHourMinSec);
  EXPECT_TRUE(calendar->Use24HourFormat());
  const Integer wide = edit->Width();
  calendar->SetTimeFormat(tfHourMin);
  Pump();
  EXPECT_EQ(edit->Properties()->TimeFormat(), tfHourMin);
  EXPECT_LT(edit->Width(), wide) << "laid out again for the shorter text";
  calendar->SetUse24HourFormat(false);
  Pump();
  EXPECT_FALSE(edit->Properties()->Use24HourFormat());
  EXPECT_EQ(edit->Properties()->EditMask(), "00:00 cc;1;0");
  edit->SetTime(13.25 / 24);
  EXPECT_EQ(edit->Text(), "01:15 PM");
}

}  // namespace
