// The month calendar: its date grid by first weekday and at 1 January 100, keys with the range ends,
// wheel and arrows (with repeat), header rectangles for two and four arrows, buttons, spot pixels; the
// month list with and without years at both ends of the range and its scroll speeds; the clock's hands.
#include <gtest/gtest.h>

#include "controls/editors/uiCalendar.h"
#include "platform/forms/StdCtrls.h"
#include "platform/rtl/RtlMath.h"
#include "tests/common/LocaleTesting.h"
#include "tests/common/RtlTesting.h"
#include "tests/controls/editors/EditorKindsTesting.h"

using namespace editors_test;

namespace calendar_test {

constexpr TDateTime Feb14th2024 = 45336;  // a Wednesday
constexpr TDateTime Jan1st100 = -657434;  // a Friday

class CalendarTest : public EditorKindsTest {
 protected:
  CalendarTest() : Today(Feb14th2024 + 0.5), Sunday({{LOCALE_IFIRSTDAYOFWEEK, "6"}}) {
    GetFormatController()->Refresh();
  }
  ~CalendarTest() override { GetFormatController()->Refresh(); }
  // A first weekday, 0 = Sunday .. 6, for the rest of the test.
  void StartWeekOn(Integer ADay) {
    const char* days[] = {"6", "0", "1", "2", "3", "4", "5"};
    SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IFIRSTDAYOFWEEK, days[ADay]);
    GetFormatController()->Refresh();
  }
  TuiPopupCalendar* NewCalendar() {
    auto* calendar = NewObject<TuiPopupCalendar>(Form);
    calendar->SetLeft(10);
    calendar->SetTop(10);
    calendar->SetParent(Form);
    Pump();
    return calendar;
  }
  POINT Middle(TControl* AControl, const TRect& R) { return At(AControl, (R.left + R.right) / 2, (R.top + R.bottom) / 2); }
  // The client point of a day cell's middle.
  POINT CellPoint(TuiCustomCalendar* ACalendar, Integer ACol, Integer ARow) {
    const TRect& g = ACalendar->GridRect();
    const Integer x = g.left + ACalendar->SideMargin() + ACol * ACalendar->ColWidth() + ACalendar->ColWidth() / 2;
    const Integer y = g.top + ACalendar->DayNamesHeight() + ARow * ACalendar->RowHeight() + ACalendar->RowHeight() / 2;
    return At(ACalendar, x, y);
  }

  TFixedClock Today;
  TLocaleInfoGuard Sunday;
};

TEST_F(CalendarTest, GridAndVisibleRangeByFirstWeekday) {
  struct Case {
    TDateTime Month;
    Integer StartOfWeek;
    TDateTime FirstCell, LastCell;
  };
  const Case cases[] = {
      {45323, 0, 45319, 45360},           // February 2024 starts on a Thursday
      {45323, 1, 45320, 45361},
      {45536, 0, 45529, 45570},           // September 2024 starts on a Sunday: a whole week before it
      {45536, 1, 45530, 45571},
      {Jan1st100, 5, Jan1st100, Jan1st100 + 41},  // ... but never before 1 January 100
      {Jan1st100, 0, Jan1st100 - 5, Jan1st100 + 36},
  };
  for (const Case& c : cases) {
    StartWeekOn(c.StartOfWeek);
    TuiCustomCalendar calendar(nullptr);
    calendar.SetFirstDate(c.Month);
    EXPECT_EQ(c.FirstCell, calendar.GetCellDate(0, 0)) << c.Month << "/" << c.StartOfWeek;
    EXPECT_EQ(c.FirstCell + 8, calendar.GetCellDate(1, 1)) << c.Month << "/" << c.StartOfWeek;
    EXPECT_EQ(c.LastCell, calendar.GetCellDate(6, 5)) << c.Month << "/" << c.StartOfWeek;
    EXPECT_EQ(c.FirstCell, calendar.GetFirstVisibleDate()) << c.Month << "/" << c.StartOfWeek;
    EXPECT_EQ(c.LastCell, calendar.GetLastVisibleDate()) << c.Month << "/" << c.StartOfWeek;
  }
}

TEST_F(CalendarTest, DatesStayInRange) {
  TuiCustomCalendar calendar(nullptr);
  EXPECT_EQ(Feb14th2024, calendar.SelectDate());
  EXPECT_EQ(45323, calendar.FirstDate());
  calendar.SetSelectDate(45382.75);  // 31 March 2024, evening: its month is shown
  EXPECT_EQ(45382.75, calendar.SelectDate());
  EXPECT_EQ(45352, calendar.FirstDate());
  calendar.SetSelectDate(NullDate);
  EXPECT_EQ(NullDate, calendar.SelectDate());
  EXPECT_EQ(45352, calendar.FirstDate());
  for (TDateTime outside : {Jan1st100 - 1, 2958466.0, InvalidEditDate}) {
    calendar.SetSelectDate(outside);
    calendar.SetFirstDate(outside);
    EXPECT_EQ(NullDate, calendar.SelectDate()) << outside;
    EXPECT_EQ(45352, calendar.FirstDate()) << outside;
  }
  calendar.SetFirstDate(2958465);
  EXPECT_EQ(2958435, calendar.FirstDate());  // 1 December 9999
  for (Integer arrow : {1, 3}) calendar.StepByArrow(arrow);
  EXPECT_EQ(2958435, calendar.FirstDate());
  calendar.SetFirstDate(Jan1st100 + 20);
  for (Integer arrow : {0, 2}) calendar.StepByArrow(arrow);
  EXPECT_EQ(Jan1st100, calendar.FirstDate());
}

TEST_F(CalendarTest, KeysMoveTheSelectedDate) {
  TuiPopupCalendar* calendar = NewCalendar();
  calendar->SetFocus();
  Pump();
  struct Case {
    TDateTime From;
    WORD Modifier;  // 0 none
    WORD Key;
    TDateTime To;
  };
  const Case cases[] = {
      {45322, 0, VK_NEXT, 45351},            // 31 Jan 2024 -> 29 Feb
      {44957, 0, VK_NEXT, 44985},            // 31 Jan 2023 -> 28 Feb
      {45382, 0, VK_PRIOR, 45351},           // 31 Mar 2024 -> 29 Feb
      {Feb14th2024, 0, VK_END, 45339},       // Saturday of the week
      {Feb14th2024, VK_CONTROL, VK_END, 45351},
      {Feb14th2024, 0, VK_HOME, 45333},      // Sunday of the week
      {Feb14th2024, VK_CONTROL, VK_HOME, 45323},
      {Feb14th2024, VK_SHIFT, VK_HOME, 45333},
      {Feb14th2024, 0, VK_LEFT, 45335},
      {Feb14th2024, 0, VK_RIGHT, 45337},
      {Feb14th2024, 0, VK_UP, 45329},
      {Feb14th2024, VK_SHIFT, VK_DOWN, 45343},
      {Feb14th2024, VK_MENU, VK_DOWN, Feb14th2024},  // Alt+Down closes instead
      {2958465, 0, VK_RIGHT, 2958465},       // 31 Dec 9999 is the last day
      {2958449, 0, VK_NEXT, 2958449},
      {2958449, 0, VK_DOWN, 2958456},
      {Jan1st100, 0, VK_LEFT, Jan1st100},
      {-657420, 0, VK_PRIOR, -657420},
      {-657420, 0, VK_UP, -657427},
  };
  for (const Case& c : cases) {
    calendar->SetSelectDate(c.From);
    if (c.Modifier != 0)
      Display.Chord({c.Modifier}, c.Key);
    else
      Display.Key(c.Key);
    Pump();
    EXPECT_EQ(c.To, calendar->SelectDate()) << c.From << " key " << c.Key << " with " << c.Modifier;
  }
  // With Sunday second to Monday the week runs Monday to Sunday.
  StartWeekOn(1);
  calendar->SetSelectDate(Feb14th2024);
  Display.Key(VK_END);
  Pump();
  EXPECT_EQ(45340, calendar->SelectDate());
}

TEST_F(CalendarTest, PopupKeysCloseWithTheirReason) {
  TuiPopupCalendar* calendar = NewCalendar();
  std::vector<int> reasons;
  int chosen = 0;
  calendar->SetOnHidePopup([&](TObject*, Byte AReason) { reasons.push_back(AReason); });
  calendar->SetOnDateChosen([&](TObject*) { ++chosen; });
  calendar->SetFocus();
  Pump();
  Display.Key(VK_RETURN);
  Display.Key(VK_ESCAPE);
  Display.Chord({VK_MENU}, VK_UP);
  Display.Key(VK_F4);
  Pump();
  EXPECT_EQ((std::vector<int>{4, 3, 2, 2}), reasons);
  EXPECT_EQ(1, chosen);
}

TEST_F(CalendarTest, WheelAndArrowsStepMonthsAndYears) {
  TuiPopupCalendar* calendar = NewCalendar();
  ASSERT_EQ(3, calendar->ArrowCount());
  calendar->SetFocus();
  Pump();
  struct Case {
    bool OverYear;
    int Notches;
    TDateTime FirstDate;
  };
  // Wheel forward (away from the user) goes back in time.
  const Case wheels[] = {{true, 1, 44958}, {true, -1, 45323}, {false, -1, 45352}, {false, 1, 45323}};
  for (const Case& c : wheels) {
    Display.Wheel(Middle(calendar, c.OverYear ? calendar->YearTitleRect() : calendar->MonthTitleRect()), c.Notches);
    Pump();
    EXPECT_EQ(c.FirstDate, calendar->FirstDate()) << c.OverYear << " " << c.Notches;
  }
  // Arrows 0..3: month back, month on, year back, year on.
  const TDateTime arrows[] = {45292, 45323, 44958, 45323};
  for (Integer i = 0; i < 4; ++i) {
    Display.Click(Middle(calendar, calendar->ArrowRect(i)));
    Pump();
    EXPECT_EQ(arrows[i], calendar->FirstDate()) << i;
  }
  // Held, an arrow repeats every 200 ms until it is released.
  Display.Press(Middle(calendar, calendar->ArrowRect(1)));
  Pump();
  EXPECT_EQ(45352, calendar->FirstDate());
  EXPECT_TRUE(calendar->ArrowTimer()->Enabled());
  Display.Advance(200);
  Pump();
  EXPECT_EQ(45383, calendar->FirstDate());
  Display.Advance(200);
  Pump();
  EXPECT_EQ(45413, calendar->FirstDate());
  Display.Release(Middle(calendar, calendar->ArrowRect(1)));
  Pump();
  EXPECT_FALSE(calendar->ArrowTimer()->Enabled());
  Display.Advance(400);
  Pump();
  EXPECT_EQ(45413, calendar->FirstDate());
}

TEST_F(CalendarTest, HeaderRectanglesForTwoAndFourArrows) {
  TuiPopupCalendar* calendar = NewCalendar();
  const Integer col = calendar->ColWidth(), header = calendar->HeaderHeight(), grid = calendar->GridWidth();
  ASSERT_GT(col, 0);
  EXPECT_EQ(2 * calendar->SideMargin() + 7 * col, grid);
  EXPECT_EQ(grid, calendar->Width());
  auto same = [](const TRect& A, const TRect& B) { return EqualRect(&A, &B) != FALSE; };
  // Flat date kind: arrows from the top edge, one pixel short of the header's bottom.
  EXPECT_TRUE(same(TRect{0, 0, col - 2, header - 1}, calendar->ArrowRect(0)));
  EXPECT_TRUE(same(TRect{grid - col + 2, 0, grid, header - 1}, calendar->ArrowRect(3)));
  const TRect a1 = calendar->ArrowRect(1), a2 = calendar->ArrowRect(2);
  EXPECT_EQ(col - 2, a1.right - a1.left);
  EXPECT_EQ(a1.right, a2.left);
  EXPECT_TRUE(same(TRect{col - 2, 0, a1.left, header}, calendar->MonthTitleRect()));
  EXPECT_TRUE(same(TRect{a2.right, 0, grid - col + 2, header}, calendar->YearTitleRect()));
  EXPECT_TRUE(same(TRect{0, header + 1, grid, header + 1 + calendar->DayNamesHeight() + 6 * calendar->RowHeight() + 1},
                   calendar->GridRect()));

  calendar->SetArrowsForYear(false);
  Pump();
  EXPECT_EQ(1, calendar->ArrowCount());
  EXPECT_TRUE(same(TRect{grid - col + 2, 0, grid, header - 1}, calendar->ArrowRect(1)));
  EXPECT_TRUE(same(TRect{col - 2, 0, grid - col + 2, header}, calendar->MonthTitleRect()));
  EXPECT_TRUE(IsRectEmpty(&calendar->YearTitleRect()));

  // Not flat: one pixel in.
  calendar->SetFlat(false);
  Pump();
  EXPECT_TRUE(same(TRect{1, 1, col - 1, header - 1}, calendar->ArrowRect(0)));
}

TEST_F(CalendarTest, ButtonsOfTheDateKind) {
  TuiPopupCalendar* calendar = NewCalendar();
  TuiButton *today = calendar->Button(0), *clear = calendar->Button(2);
  EXPECT_TRUE(today->Visible());
  EXPECT_TRUE(clear->Visible());
  EXPECT_FALSE(calendar->Button(1)->Visible());
  EXPECT_FALSE(calendar->Button(3)->Visible());
  const Integer grid = calendar->GridWidth(), bw = calendar->ButtonWidth();
  // Two buttons split the width in thirds.
  EXPECT_EQ((grid - 2 * bw) / 3, today->Left());
  EXPECT_EQ(grid - bw - (grid - 2 * bw) / 3, clear->Left());
  EXPECT_EQ(calendar->ClientHeight() + calendar->Font()->Size() / 2 - calendar->PanelHeight(), today->Top());
  // One alone is centred.
  calendar->SetDateButtons(TDateButtons().Include(btnToday));
  Pump();
  EXPECT_FALSE(clear->Visible());
  EXPECT_EQ((grid - bw) / 2, today->Left());
  const Integer withButtons = calendar->Height();
  calendar->SetDateButtons(TDateButtons());
  Pump();
  EXPECT_EQ(withButtons - calendar->PanelHeight(), calendar->Height());

  // Today chooses today; Clear chooses no date.
  calendar->SetDateButtons(TDateButtons().Include(btnToday).Include(btnClear));
  Pump();
  std::vector<int> reasons;
  int chosen = 0;
  calendar->SetOnHidePopup([&](TObject*, Byte AReason) { reasons.push_back(AReason); });
  calendar->SetOnDateChosen([&](TObject*) { ++chosen; });
  calendar->SetSelectDate(45000);
  today->Click();
  EXPECT_EQ(Feb14th2024, calendar->SelectDate());
  clear->Click();
  EXPECT_EQ(NullDate, calendar->SelectDate());
  EXPECT_EQ(2, chosen);
  EXPECT_EQ((std::vector<int>{4, 4}), reasons);
}

TEST_F(CalendarTest, MouseChoosesADay) {
  TuiPopupCalendar* calendar = NewCalendar();
  int chosen = 0;
  calendar->SetOnDateChosen([&](TObject*) { ++chosen; });
  // February 2024 with Sunday first: cell (0, 0) is 28 January.
  Display.Click(CellPoint(calendar, 3, 2));
  Pump();
  EXPECT_EQ(45319 + 17, calendar->SelectDate());
  EXPECT_EQ(1, chosen);
  // Dragging selects the day under the mouse without choosing until the release.
  Display.Drag(CellPoint(calendar, 1, 1), CellPoint(calendar, 5, 3));
  Pump();
  EXPECT_EQ(45319 + 26, calendar->SelectDate());
  EXPECT_EQ(2, chosen);
}

TEST_F(CalendarTest, CellsShowSelectionAndToday) {
  TuiPopupCalendar* calendar = NewCalendar();
  auto pixel = [&](Integer ACol, Integer ARow, Integer DX, Integer DY) {
    calendar->Repaint();
    Pump();
    const TRect& g = calendar->GridRect();
    const Integer x = g.left + calendar->SideMargin() + ACol * calendar->ColWidth() + DX;
    const Integer y = g.top + calendar->DayNamesHeight() + ARow * calendar->RowHeight() + DY;
    return Display.ClientPixel(calendar->Handle(), POINT{x, y});
  };
  const COLORREF highlight = ColorToRGB(clHighlight), maroon = ColorToRGB(clMaroon), window = ColorToRGB(calendar->Color());
  // Today (Wednesday 14th, cell 3, 2) is selected: its frame and its inside.
  EXPECT_EQ(maroon, pixel(3, 2, 0, 0));
  EXPECT_EQ(highlight, pixel(3, 2, 1, 1));
  calendar->SetSelectDate(45337);
  EXPECT_EQ(maroon, pixel(3, 2, 0, 0));
  EXPECT_EQ(window, pixel(3, 2, 1, 1));
  EXPECT_EQ(highlight, pixel(4, 2, 1, 1));
  // No date: today's cell is drawn selected.
  calendar->SetSelectDate(NullDate);
  EXPECT_EQ(highlight, pixel(3, 2, 1, 1));
  EXPECT_EQ(window, pixel(4, 2, 1, 1));
  // A selected value with a time of day selects its day.
  calendar->SetSelectDate(45337.75);
  EXPECT_EQ(highlight, pixel(4, 2, 1, 1));
}

TEST_F(CalendarTest, DayNameLetters) {
  struct Case {
    const char* Name;
    Integer Charset;
    const char* Letter;
  };
  const Case cases[] = {{"Mon", 0, "M"}, {"星期一", 134, "一"}, {"週一", 136, "一"},
                        {"星期一", 0, "星"}, {"", 134, ""},     {"ن", 178, "ن"}};
  for (const Case& c : cases)
    EXPECT_EQ(c.Letter, k58::editors::CalendarDayNameLetter(c.Name, c.Charset)) << c.Name << " " << c.Charset;
}

// A time part for the date-time kind, as the time editor's unit will install one.
class TFakeTimeEdit : public TuiCalendarTimeEdit {
 public:
  explicit TFakeTimeEdit(TComponent* AOwner) : edit_(new TEdit(AOwner)) {}
  TWinControl* Control() override { return edit_; }
  TDateTime Time() override { return time_; }
  void SetTime(TDateTime AValue) override { time_ = AValue; }
  TSize PreferredSize() override { return TSize{60, 21}; }
  void SetCircular(bool AValue) override { circular_ = AValue; }
  void SetOnChange(const TNotifyEvent& AEvent) override { onChange_ = AEvent; }
  void SetSelStart(Integer) override {}
  // The user changed the time.
  void Type(TDateTime AValue) {
    time_ = AValue;
    onChange_(edit_);
  }
  bool Circular() const { return circular_; }

 private:
  TEdit* edit_;
  TDateTime time_ = 0;
  bool circular_ = false;
  TNotifyEvent onChange_;
};

class DateTimeCalendarTest : public CalendarTest {
 protected:
  DateTimeCalendarTest() {
    CalendarTimeEditFactory = [](TComponent* AOwner) -> std::unique_ptr<TuiCalendarTimeEdit> {
      return std::make_unique<TFakeTimeEdit>(AOwner);
    };
  }
  ~DateTimeCalendarTest() override { CalendarTimeEditFactory = nullptr; }
};

TEST_F(DateTimeCalendarTest, TimePartBesideTheGrid) {
  TuiPopupCalendar* calendar = NewCalendar();
  auto* time = static_cast<TFakeTimeEdit*>(calendar->TimeEdit());
  ASSERT_NE(nullptr, time);
  EXPECT_TRUE(time->Circular());
  EXPECT_FALSE(calendar->Clock()->Visible());
  const Integer dateWidth = calendar->Width();
  calendar->SetKind(ckDateTime);
  Pump();
  EXPECT_TRUE(calendar->Clock()->Visible());
  EXPECT_TRUE(time->Control()->Visible());
  EXPECT_TRUE(calendar->Button(3)->Visible());   // OK
  EXPECT_FALSE(calendar->Button(1)->Visible());  // Now only when asked for
  EXPECT_GT(calendar->Width(), dateWidth);

  // Everything below the date-time line moves by the content offset.
  const Integer offset = MulDiv(calendar->Font()->Size(), 3, 4);
  const Integer header = calendar->HeaderHeight();
  const TRect& line = calendar->DateTimeLineRect();
  const TRect expectedLine{0, 0, calendar->Width(), header};
  EXPECT_TRUE(EqualRect(&line, &expectedLine));
  EXPECT_EQ(1 + offset, calendar->ArrowRect(0).left);
  EXPECT_EQ(1 + offset + header, calendar->ArrowRect(0).top);
  EXPECT_EQ(offset + header + 1 + header, calendar->GridRect().top);
  // The clock is square, right of the grid, and the time editor sits below it.
  const TuiClock* clock = calendar->Clock();
  EXPECT_EQ(clock->Width(), clock->Height());
  EXPECT_EQ(calendar->ClockSize(), clock->Width());
  EXPECT_GT(clock->Left(), calendar->GridRect().right);
  EXPECT_GE(time->Control()->Top(), clock->Top() + clock->Height());
  // The panel's last button is OK at the right.
  const Integer d = MulDiv(calendar->Font()->Size(), 5, 4);
  EXPECT_EQ(calendar->Width() - d - calendar->ButtonWidth() - 1, calendar->Button(3)->Left());
  // The separator between grid and clock.
  const Integer x = calendar->GridRect().right + calendar->ColWidth() / 2;
  EXPECT_EQ(ColorToRGB(clBtnShadow), Pixel(calendar, x, calendar->GridRect().top + 2));

  // A time typed goes to the clock; OK adds it to the selected date on the date's own side of the epoch.
  std::vector<int> reasons;
  calendar->SetOnHidePopup([&](TObject*, Byte AReason) { reasons.push_back(AReason); });
  time->Type(0.75);
  EXPECT_DOUBLE_EQ(0.75, calendar->Clock()->Time());
  calendar->Button(3)->Click();
  EXPECT_DOUBLE_EQ(Feb14th2024 + 0.75, calendar->SelectDate());
  calendar->SetSelectDate(-1);
  time->Type(0.75);
  calendar->Button(3)->Click();
  EXPECT_DOUBLE_EQ(-1.75, calendar->SelectDate());
  EXPECT_DOUBLE_EQ(0.75, time->Time());
  EXPECT_EQ((std::vector<int>{4, 4}), reasons);

  // Now takes the moment; a click on a day only selects it, a double click chooses it.
  calendar->SetDateButtons(TDateButtons().Include(btnNow).Include(btnToday));
  Pump();
  ASSERT_TRUE(calendar->Button(1)->Visible());
  calendar->Button(1)->Click();
  EXPECT_DOUBLE_EQ(Feb14th2024 + 0.5, calendar->SelectDate());
  EXPECT_DOUBLE_EQ(0.5, time->Time());
  reasons.clear();
  Display.Click(CellPoint(calendar, 4, 2));
  Pump();
  EXPECT_EQ(Feb14th2024 + 1, calendar->SelectDate());
  EXPECT_TRUE(reasons.empty());
  Display.DoubleClick(CellPoint(calendar, 5, 2));
  Pump();
  EXPECT_EQ(Feb14th2024 + 2, calendar->SelectDate());
  EXPECT_EQ((std::vector<int>{4}), reasons);
}

// ---- Month list ---------------------------------------------------------------------------------------

class MonthListTest : public CalendarTest {
 protected:
  TMonthListBox* Open(TuiCustomCalendar* ACalendar) {
    ACalendar->MonthList()->PopupForControl(ACalendar);
    Pump();
    return ACalendar->MonthList();
  }
  POINT ListPoint(TMonthListBox* AList, Integer X, Integer Y) { return At(AList, X, Y); }
};

TEST_F(MonthListTest, ItemsAtTheEndsOfTheRange) {
  TuiPopupCalendar* calendar = NewCalendar();
  calendar->SetFirstDate(Jan1st100);
  TMonthListBox* list = Open(calendar);
  ASSERT_TRUE(list->IsShown());
  EXPECT_EQ(7, list->ItemCount());
  EXPECT_EQ(-3, list->TopOffset());
  Integer year = 0, month = 0;
  list->GetItemMonth(3, year, month);
  EXPECT_EQ(100, year);
  EXPECT_EQ(1, month);
  // The three rows above January 100 stay blank and cannot be highlighted.
  list->SetItemIndex(1);
  EXPECT_EQ(-1, list->ItemIndex());
  EXPECT_EQ(NullDate, list->GetSelectedDate());
  list->SetItemIndex(5);
  EXPECT_EQ(Jan1st100 + 31 + 28, list->GetSelectedDate());
  list->ClosePopup();

  calendar->SetFirstDate(2958435);  // December 9999
  list = Open(calendar);
  list->GetItemMonth(6, year, month);
  EXPECT_EQ(10000, year);
  list->SetItemIndex(6);
  EXPECT_EQ(-1, list->ItemIndex());
  list->ClosePopup();
  EXPECT_EQ(2958435, calendar->FirstDate());

  // Without years: January to December of the shown year, whatever month is shown.
  calendar->SetYearsInMonthList(false);
  calendar->SetFirstDate(45536);
  list = Open(calendar);
  EXPECT_FALSE(list->ShowsYears());
  EXPECT_EQ(12, list->ItemCount());
  EXPECT_EQ(-8, list->TopOffset());
  list->GetItemMonth(0, year, month);
  EXPECT_EQ(2024, year);
  EXPECT_EQ(1, month);
  list->ClosePopup();
}

TEST_F(MonthListTest, HoldingTheMouseOutsideScrollsFasterFartherAway) {
  TuiPopupCalendar* calendar = NewCalendar();
  calendar->SetFirstDate(Jan1st100 + 31);  // February 100
  Display.Press(Middle(calendar, calendar->MonthTitleRect()));
  Pump();
  TMonthListBox* list = calendar->MonthList();
  ASSERT_TRUE(list->IsShown());
  const Integer h = list->ItemHeight(), height = list->ClientHeight();
  ASSERT_GT(h, 0);
  struct Case {
    Integer Y;
    Cardinal Interval;
  };
  const Case below[] = {{height + h / 2, 500}, {height + h + 1, 250}, {height + 2 * h + 1, 100}, {height + 5 * h, 50}};
  for (const Case& c : below) {
    Display.MoveTo(ListPoint(list, 5, c.Y));
    Pump();
    EXPECT_TRUE(list->ScrollTimer()->Enabled()) << c.Y;
    EXPECT_EQ(c.Interval, list->ScrollTimer()->Interval()) << c.Y;
    EXPECT_EQ(-1, list->ItemIndex());
  }
  // Scrolling down one month per tick.
  const Integer top = list->TopOffset();
  Display.Advance(50);
  Pump();
  EXPECT_EQ(top + 1, list->TopOffset());
  // Back inside: scrolling stops, the item under the mouse is highlighted.
  Display.MoveTo(ListPoint(list, 5, h + h / 2));
  Pump();
  EXPECT_FALSE(list->ScrollTimer()->Enabled());
  EXPECT_EQ(1, list->ItemIndex());
  // Sideways out at the height of an item: no highlight, no scrolling.
  Display.MoveTo(ListPoint(list, list->ClientWidth() + 10, h + h / 2));
  Pump();
  EXPECT_EQ(-1, list->ItemIndex());
  EXPECT_FALSE(list->ScrollTimer()->Enabled());
  // Upwards the first row may not go before January 100: December 99 is the first item now, and stays.
  Display.MoveTo(ListPoint(list, 5, -5 * h));
  Pump();
  for (int i = 0; i < 5; ++i) {
    Display.Advance(50);
    Pump();
  }
  EXPECT_EQ(top + 1, list->TopOffset());
  // Released over an item: that month is shown.
  Display.MoveTo(ListPoint(list, 5, 3 * h + h / 2));
  Display.Release(ListPoint(list, 5, 3 * h + h / 2));
  Pump();
  EXPECT_FALSE(list->IsShown());
  EXPECT_EQ(Jan1st100 + 31 + 28, calendar->FirstDate());  // March 100
}

TEST_F(MonthListTest, TwelveMonthsChooseByClickAndEscClosesOnlyTheList) {
  TuiPopupCalendar* calendar = NewCalendar();
  calendar->SetYearsInMonthList(false);
  std::vector<int> reasons;
  calendar->SetOnHidePopup([&](TObject*, Byte AReason) { reasons.push_back(AReason); });
  calendar->SetFocus();
  Display.Click(Middle(calendar, calendar->MonthTitleRect()));
  Pump();
  TMonthListBox* list = calendar->MonthList();
  ASSERT_TRUE(list->IsShown());
  EXPECT_EQ(GetFocus(), calendar->Handle());  // the list never takes the focus
  Display.Key(VK_ESCAPE);
  Pump();
  EXPECT_FALSE(list->IsShown());
  EXPECT_TRUE(reasons.empty());

  Display.Click(Middle(calendar, calendar->MonthTitleRect()));
  Pump();
  ASSERT_TRUE(list->IsShown());
  const Integer h = list->ItemHeight();
  Display.MoveTo(At(list, 5, 4 * h + h / 2));
  Display.Click(At(list, 5, 4 * h + h / 2));
  Pump();
  EXPECT_FALSE(list->IsShown());
  EXPECT_EQ(45413, calendar->FirstDate());  // May 2024
}

TEST_F(MonthListTest, TitlesTrackTheMouse) {
  // A drop-down calendar tracks only while its editor's popup shows; without an editor, never.
  TuiPopupCalendar* popup = NewCalendar();
  Display.MoveTo(Middle(popup, popup->MonthTitleRect()));
  Pump();
  EXPECT_EQ(0, popup->HotPart());
  FreeObject(popup);
  Pump();

  auto* calendar = NewObject<TuiCustomCalendar>(Form);
  calendar->SetLeft(10);
  calendar->SetTop(10);
  calendar->SetParent(Form);
  Pump();
  Display.MoveTo(Middle(calendar, calendar->MonthTitleRect()));
  Pump();
  EXPECT_EQ(1, calendar->HotPart());
  Display.MoveTo(Middle(calendar, calendar->YearTitleRect()));
  Pump();
  EXPECT_EQ(2, calendar->HotPart());
  Display.MoveTo(CellPoint(calendar, 2, 2));
  Pump();
  EXPECT_EQ(0, calendar->HotPart());
  // The hot title is drawn in the hot-light colour.
  Display.MoveTo(Middle(calendar, calendar->YearTitleRect()));
  Pump();
  calendar->Repaint();
  Pump();
  const TRect& r = calendar->YearTitleRect();
  bool hot = false;
  for (Integer y = r.top; y < r.bottom && !hot; ++y)
    for (Integer x = r.left; x < r.right && !hot; ++x)
      hot = Display.ClientPixel(calendar->Handle(), POINT{x, y}) == ColorToRGB(GetHotLightColor());
  EXPECT_TRUE(hot);
}

// ---- Clock --------------------------------------------------------------------------------------------

class ClockTest : public EditorKindsTest {
 protected:
  TuiClock* NewClock() {
    auto* clock = NewObject<TuiClock>(Form);
    clock->SetBounds(10, 10, 100, 100);
    clock->SetColor(clWhite);
    clock->SetParent(Form);
    Pump();
    return clock;
  }
  COLORREF PixelAt(TuiClock* AClock, Integer X, Integer Y) { return Pixel(AClock, X, Y); }
};

TEST_F(ClockTest, HandsPointWhereTheTimeSays) {
  TuiClock* clock = NewClock();
  const COLORREF teal = ColorToRGB(clTeal), red = ColorToRGB(clRed);
  struct Spot {
    Integer X, Y;
    bool Teal;
  };
  struct Case {
    TDateTime Time;
    std::vector<Spot> Spots;
  };
  // Centre (50, 50), radii 48: hour tip 36 out, minute tip 40.8 out; at 0 seconds the red second hand
  // covers the column above the centre, so the upward hands are probed just beside it.
  const Case cases[] = {
      {EncodeTime(3, 0, 0, 0), {{86, 50, true}, {75, 50, true}, {51, 30, true}, {15, 50, false}, {50, 80, false}}},
      {EncodeTime(12, 0, 0, 0), {{51, 30, true}, {51, 40, true}, {80, 50, false}, {20, 50, false}, {50, 80, false}}},
      {EncodeTime(6, 0, 0, 0), {{50, 86, true}, {50, 75, true}, {80, 50, false}, {20, 50, false}}},
  };
  for (const Case& c : cases) {
    clock->SetTime(c.Time);
    for (const Spot& s : c.Spots)
      EXPECT_EQ(s.Teal, PixelAt(clock, s.X, s.Y) == teal) << c.Time << " at " << s.X << "," << s.Y;
  }
  // The second hand: red towards 3 o'clock at 15 seconds.
  clock->SetTime(EncodeTime(0, 0, 15, 0));
  EXPECT_EQ(red, PixelAt(clock, 70, 50));
  EXPECT_EQ(red, PixelAt(clock, 92, 50));
  EXPECT_NE(red, PixelAt(clock, 50, 70));
  // The hour mark at 3 o'clock.
  EXPECT_EQ(teal, PixelAt(clock, 98, 50));
  EXPECT_EQ(ColorToRGB(clAqua), PixelAt(clock, 97, 49));
}

TEST_F(ClockTest, KeepsOnlyTheTimeOfDay) {
  TuiClock clock(nullptr);
  clock.SetTime(45336.25);
  EXPECT_DOUBLE_EQ(0.25, clock.Time());
  clock.SetTime(-1.75);  // 29 December 1899, 18:00
  EXPECT_DOUBLE_EQ(0.75, clock.Time());
}

}  // namespace calendar_test
