// The date editor: kept time of day, DateOnError by kind, range bounds, shown time, the empty texts,
// validation and the calendar's choice per kind, and the popup calendar inside the editor.
#include <gtest/gtest.h>

#include <cmath>

#include "controls/editors/uiDateEdit.h"
#include "tests/common/LocaleTesting.h"
#include "tests/common/RtlTesting.h"
#include "tests/controls/editors/EditorKindsTesting.h"

using namespace editors_test;

namespace date_edit_test {

constexpr TDateTime May5th2020 = 43956;

class DateEditTest : public EditorKindsTest {
 protected:
  DateEditTest() : Clock(45336.5), ShortDate({{LOCALE_SSHORTDATE, "yyyy-MM-dd"}}) {
    GetFormatController()->Refresh();
  }
  ~DateEditTest() override { GetFormatController()->Refresh(); }
  TuiDateEdit* NewDateEdit() {
    auto* edit = NewObject<TuiDateEdit>(Form);
    edit->SetBounds(10, 10, 160, 21);
    edit->SetParent(Form);
    edit->HandleNeeded();
    edit->PopupWindow()->SetModalLoop(false);
    Pump();
    return edit;
  }
  String Text(TuiCustomEdit* AEdit) {
    String s;
    AEdit->GetDisplayText(s);
    return s;
  }
  void Focus(TWinControl* AControl) {
    AControl->SetFocus();
    Pump();
  }
  void Type(const std::string& AText) {
    Display.Type(AText);
    Pump();
  }
  void Key(WORD AKey) {
    Display.Key(AKey);
    Pump();
  }
  void Chord(std::initializer_list<WORD> AModifiers, WORD AKey) {
    Display.Chord(AModifiers, AKey);
    Pump();
  }
  // Types AText over the whole text as the user would and validates it as on leaving.
  bool EnterText(TuiDateEdit* AEdit, const std::string& AText) {
    AEdit->SelectAll();
    if (AText.empty())
      Key(VK_DELETE);
    else
      Type(AText);
    return AEdit->ValidateEdit(false);
  }
  TFixedClock Clock;
  TLocaleInfoGuard ShortDate;
};


TEST_F(DateEditTest, TypedDateKeepsTheStoredTimeOfDay) {
  struct Case {
    bool SaveTime;
    TDateTime Stored;
    const char* Typed;
    TDateTime Expected;
  };
  const TDateTime at1430 = 14.5 / 24;
  const Case cases[] = {
      {true, May5th2020 + at1430, "2020-05-06", May5th2020 + 1 + at1430},
      {false, May5th2020 + at1430, "2020-05-06", May5th2020 + 1},
      // Before the epoch the time counts away from zero: 29 Dec 1899 18:00 is -1.75.
      {true, -1.75, "1899-12-28", -2.75},
      // A typed time replaces the kept one.
      {true, May5th2020 + at1430, "2020-05-06 08:00", May5th2020 + 1 + 8.0 / 24},
  };
  for (const Case& c : cases) {
    TuiDateEdit* edit = NewDateEdit();
    edit->Properties()->SetInputKind(ikStandard);
    edit->Properties()->SetSaveTime(c.SaveTime);
    edit->SetDate(c.Stored);
    Focus(edit);
    EXPECT_TRUE(EnterText(edit, c.Typed)) << c.Typed;
    EXPECT_NEAR(edit->Date(), c.Expected, 1e-6) << c.Typed << " SaveTime " << c.SaveTime;
  }
}

TEST_F(DateEditTest, ClearingTheTextGivesNoDateAndDropsTheKeptTime) {
  TuiDateEdit* edit = NewDateEdit();
  edit->Properties()->SetInputKind(ikStandard);
  edit->SetDate(May5th2020 + 0.25);
  ASSERT_NEAR(edit->SavedTime(), 0.25, 1e-9);
  Focus(edit);
  EXPECT_TRUE(EnterText(edit, ""));
  EXPECT_TRUE(VarIsNull(edit->EditValue())) << "not 30 Dec 1899 06:00";
  EXPECT_EQ(edit->Date(), NullDate);
  EXPECT_EQ(edit->SavedTime(), 0);
  // A date typed afterwards has no time left over.
  EXPECT_TRUE(EnterText(edit, "2020-05-06"));
  EXPECT_EQ(edit->Date(), May5th2020 + 1);
}

TEST_F(DateEditTest, UnconvertibleTextByDateOnErrorAndKind) {
  struct Case {
    TDateOnError OnError;
    TuiCalendarKind Kind;
    bool Valid;
    TDateTime Expected;  // the value after validation
  };
  const TDateTime before = May5th2020;
  const Case cases[] = {
      {deNoChange, ckDate, false, before},     {deNoChange, ckDateTime, false, before},
      {deToday, ckDate, true, 45336},          {deToday, ckDateTime, true, 45336.5},
      {deNull, ckDate, true, NullDate},        {deNull, ckDateTime, true, NullDate},
  };
  for (const Case& c : cases) {
    TuiDateEdit* edit = NewDateEdit();
    edit->Properties()->SetKind(c.Kind);
    edit->Properties()->SetInputKind(ikStandard);
    edit->Properties()->SetDateOnError(c.OnError);
    edit->SetDate(before);
    Focus(edit);
    EXPECT_EQ(EnterText(edit, "no date"), c.Valid) << c.OnError << "/" << c.Kind;
    EXPECT_NEAR(edit->Date(), c.Expected, 1e-9) << c.OnError << "/" << c.Kind;
    // Leaving an editor with an invalid text reports the error: this one goes without being left.
    FreeObject(edit);
    Pump();
  }
}

TEST_F(DateEditTest, RangeBoundsAndLimits) {
  constexpr TDateTime Jan1st2000 = 36526, Jan1st2030 = 47119;
  struct Case {
    TDateTime Min, Max;
    bool MinSet, MaxSet, Range;
  };
  const Case cases[] = {
      {0, 0, false, false, false},
      {Jan1st2000, 0, true, false, true},
      {0, Jan1st2030, false, true, true},
      {Jan1st2000, Jan1st2030, true, true, true},
      {Jan1st2030, Jan1st2000, false, false, false},  // crossed bounds are no range
  };
  for (const Case& c : cases) {
    TuiDateEdit* edit = NewDateEdit();
    TuiDateEditProperties* p = edit->Properties();
    p->SetMinDate(c.Min);
    p->SetMaxDate(c.Max);
    EXPECT_EQ(p->IsValueBoundSet(false), c.MinSet) << c.Min << ".." << c.Max;
    EXPECT_EQ(p->IsValueBoundSet(true), c.MaxSet) << c.Min << ".." << c.Max;
    EXPECT_EQ(p->HasValueRange(), c.Range) << c.Min << ".." << c.Max;
  }

  TuiDateEdit* edit = NewDateEdit();
  edit->Properties()->SetInputKind(ikStandard);
  edit->SetDate(May5th2020);
  edit->Properties()->SetMaxDate(Jan1st2000);
  EXPECT_EQ(edit->Date(), Jan1st2000) << "a new maximum pulls the value down";
  edit->Properties()->SetMaxDate(0);
  edit->Properties()->SetMinDate(Jan1st2000);
  Focus(edit);
  EXPECT_FALSE(EnterText(edit, "1999-12-31"));
  EXPECT_EQ(edit->Date(), Jan1st2000);
  EXPECT_TRUE(EnterText(edit, "2001-01-01"));
  EXPECT_EQ(edit->Date(), 36892);
}

TEST_F(DateEditTest, TimeShownByKindInputAndFocus) {
  struct Case {
    TuiCalendarKind Kind;
    TuiInputKind Input;
    bool ShowTime, Focused;
    TDateTime Value;
    bool Shown;
  };
  const TDateTime withTime = May5th2020 + 0.5;
  const Case cases[] = {
      {ckDateTime, ikMask, true, true, May5th2020, true},
      {ckDateTime, ikStandard, true, true, May5th2020, false},
      {ckDateTime, ikStandard, true, true, withTime, true},
      {ckDate, ikStandard, true, true, withTime, true},
      {ckDate, ikStandard, false, true, withTime, false},
      {ckDate, ikRegExpr, true, true, withTime, false},
      {ckDate, ikRegExpr, true, false, withTime, true},
      {ckDate, ikRegExpr, false, false, withTime, false},
      {ckDateTime, ikMask, false, false, withTime, true},
  };
  TuiDateEdit* edit = NewDateEdit();
  TuiDateEditProperties* p = edit->Properties();
  for (const Case& c : cases) {
    p->SetKind(c.Kind);
    p->SetInputKind(c.Input);
    p->SetShowTime(c.ShowTime);
    EXPECT_EQ(p->IsTimeShown(c.Focused, c.Value), c.Shown)
        << c.Kind << "/" << c.Input << " ShowTime " << c.ShowTime << " focused " << c.Focused << " " << c.Value;
  }
}

TEST_F(DateEditTest, ValuesThatAreNoDateShowEmptyWithoutRaising) {
  TuiDateEdit* edit = NewDateEdit();
  edit->Properties()->SetInputKind(ikStandard);
  struct Case {
    Variant Value;
    const char* Shown;  // a text that is no date shows as it is, never as a made-up date
  };
  for (const Case& v : {Case{Variant(String("garbage")), "garbage"}, Case{Variant(true), ""}, Case{Variant(1e300), ""}}) {
    EXPECT_NO_THROW(edit->SetEditValue(v.Value));
    Pump();
    EXPECT_EQ(Text(edit), v.Shown);
    EXPECT_EQ(edit->Date(), NullDate);
  }
  Variant display;
  EXPECT_NO_THROW(edit->Properties()->PrepareDisplayValue(Variant(String("31 Febtember")), display, false));
  EXPECT_EQ(VarToStr(display), "");
}

TEST_F(DateEditTest, EmptyMaskedDateTimeShowsZeroTime) {
  TuiDateEdit* edit = NewDateEdit();
  edit->Properties()->SetKind(ckDateTime);
  Focus(edit);
  EXPECT_EQ(Text(edit), "    -  -   00:00:00");
  // Typed digits go through the time-part rules: a 9 in the hour's first place becomes 09.
  edit->SelectAll();
  Type("20240219");
  edit->SetSelStart(11);
  Type("9");
  EXPECT_EQ(Text(edit), "2024-02-19 09:00:00");
  Type("30");
  EXPECT_TRUE(edit->ValidateEdit(false));
  EXPECT_NEAR(edit->Date(), 45341 + 9.5 / 24, 1e-6);

  struct Blank {
    Integer Position;
    const char* Expected;
  };
  for (const Blank& b : {Blank{1, " "}, Blank{11, " "}, Blank{12, "0"}, Blank{16, "0"}, Blank{19, "0"}})
    EXPECT_EQ(edit->Properties()->GetBlankAt(b.Position), b.Expected) << b.Position;
  edit->Properties()->SetKind(ckDate);
  EXPECT_EQ(edit->Properties()->GetBlankAt(12), " ") << "a date editor has no time parts";
}

TEST_F(DateEditTest, UnassignedButtonsAndInputKindFollowTheKind) {
  TuiDateEdit* edit = NewDateEdit();
  TuiDateEditProperties* p = edit->Properties();
  EXPECT_EQ(p->DateButtons(), TDateButtons().Include(btnClear).Include(btnToday));
  EXPECT_EQ(p->InputKind(), ikRegExpr);
  EXPECT_EQ(p->MaskKind(), emkRegExprEx);
  p->SetKind(ckDateTime);
  EXPECT_EQ(p->DateButtons(), TDateButtons().Include(btnClear).Include(btnNow));
  EXPECT_EQ(p->InputKind(), ikMask);
  EXPECT_EQ(p->MaskKind(), emkStandard);
  EXPECT_FALSE(p->IsDateButtonsStored());
  p->SetDateButtons(TDateButtons().Include(btnToday));
  p->SetInputKind(ikStandard);
  p->SetKind(ckDate);
  EXPECT_EQ(p->DateButtons(), TDateButtons().Include(btnToday)) << "assigned buttons stay";
  EXPECT_EQ(p->InputKind(), ikStandard);
  EXPECT_TRUE(p->EditMask().empty());
  EXPECT_TRUE(p->IsDateButtonsStored());

  TObjectPtr<TuiDateEditProperties> copy(
      static_cast<TuiDateEditProperties*>(TuiCustomEditProperties::CreateOfClass(TuiDateEditProperties::StaticClass(), nullptr)));
  copy->Assign(p);
  EXPECT_TRUE(copy->IsDateButtonsStored());
  EXPECT_EQ(copy->InputKind(), ikStandard);
  copy->AssignedValues()->RestoreDefaults();
  EXPECT_EQ(copy->InputKind(), ikRegExpr);

  TuiRegisteredClasses* registry = GetEditPropertiesRegistry();
  const Integer index = registry->IndexOfClass(TuiDateEditProperties::StaticClass());
  ASSERT_GE(index, 0);
  EXPECT_EQ(registry->GetHintText(index), "DateEdit|Represents an edit control with a dropdown calendar");
}

// ---- The popup calendar inside the editor ----

class DateEditPopupTest : public DateEditTest {
 protected:
  void Open(TuiDateEdit* AEdit) {
    Focus(AEdit);
    AEdit->SetDroppedDown(true);
    Pump();
    ASSERT_TRUE(AEdit->DroppedDown());
  }
};

TEST_F(DateEditPopupTest, ChosenDayByKind) {
  const TDateTime at1430 = 14.5 / 24;
  struct Case {
    TuiCalendarKind Kind;
    TDateTime Value, Chosen, Expected;
  };
  const Case cases[] = {
      {ckDate, May5th2020 + at1430, May5th2020 + 2, May5th2020 + 2 + at1430},
      {ckDate, -1.75, -3, -3.75},
      // The date-time kind takes the time part's time, which opened at the value's time.
      {ckDateTime, May5th2020 + at1430, May5th2020 + 2, May5th2020 + 2 + at1430},
  };
  for (const Case& c : cases) {
    TuiDateEdit* edit = NewDateEdit();
    edit->Properties()->SetKind(c.Kind);
    edit->SetDate(c.Value);
    Open(edit);
    EXPECT_EQ(edit->Calendar()->SelectDate(), std::trunc(c.Value));
    edit->Calendar()->SetSelectDate(c.Chosen);
    Key(VK_RETURN);
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_NEAR(edit->Date(), c.Expected, 1e-6) << c.Kind << " " << c.Chosen;
    EXPECT_TRUE(edit->ModifiedAfterEnter());
  }
}

TEST_F(DateEditPopupTest, CancelAndToggleKeysKeepTheValue) {
  TuiDateEdit* edit = NewDateEdit();
  edit->SetDate(May5th2020);
  for (const WORD key : {WORD(VK_ESCAPE), WORD(VK_F4)}) {
    Open(edit);
    edit->Calendar()->SetSelectDate(May5th2020 + 3);
    Key(key);
    EXPECT_FALSE(edit->DroppedDown()) << key;
    EXPECT_EQ(edit->Date(), May5th2020) << key;
  }
  Open(edit);
  Chord({VK_MENU}, VK_UP);
  EXPECT_FALSE(edit->DroppedDown());
  // Clear in the date kind empties the editor.
  Open(edit);
  edit->Calendar()->Button(2)->Click();
  Pump();
  EXPECT_FALSE(edit->DroppedDown());
  EXPECT_EQ(edit->Date(), NullDate);
}

}  // namespace date_edit_test
