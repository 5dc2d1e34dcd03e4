// The month calendar of the date editor and its month list: a header with the month and year between
// two or four scroll arrows, a row of day names and 6 x 7 day cells ordered by the locale's first day of
// the week, the "Today", "Now", "Clear" and "OK" buttons, and for the date-time kind an analog clock and
// a time editor; keys, mouse, wheel and arrow repeat move the shown month and the selected date within
// 1 January 100 .. 31 December 9999. TMonthListBox is the non-activating popup list of months that opens
// on the month title.
//
// Threads: GUI thread only.
// Ownership: the calendar owns and parents its buttons, clock and time editor, and owns its month list and
// arrow timer; the month list owns its scroll timer.
// Coordinates: client coordinates of the calendar (the month list's origin is a screen point).
// Time editor: the date-time kind shows a time editor below the clock. The calendar makes it through
// CalendarTimeEditFactory, which the time editor's unit installs; without it (unit not started) the date-time
// kind lays out a time editor of no size and takes the time from its clock alone. The factory answers a
// TuiCalendarTimeEdit: the control to parent, its Time, its preferred size and its change event.
#pragma once

#include <array>
#include <memory>

#include "controls/editors/uiButtons.h"
#include "controls/editors/uiClock.h"
#include "controls/editors/uiEdit.h"
#include "controls/editors/uiEditDateUtils.h"
#include "controls/editors/uiTimeEdit.h"
#include "controls/foundation/Foundation.h"

namespace uicalendarconsts {
inline constexpr const char* scxDatePopupToday = "Today";
inline constexpr const char* scxDatePopupNow = "Now";
inline constexpr const char* scxDatePopupClear = "Clear";
inline constexpr const char* scxDatePopupOK = "OK";
}  // namespace uicalendarconsts

enum TuiCalendarKind { ckDate, ckDateTime };
K58_ENUM_TYPE(TuiCalendarKind, ckDate, ckDateTime)
enum TDateButton { btnClear, btnNow, btnToday };
K58_ENUM_TYPE(TDateButton, btnClear, btnNow, btnToday)
K58_SET_TYPE(TDateButtons, TDateButton)

// The time part a date-time calendar shows (see the header comment).
class TuiCalendarTimeEdit {
 public:
  virtual ~TuiCalendarTimeEdit() = default;
  virtual TWinControl* Control() = 0;
  virtual TDateTime Time() = 0;
  virtual void SetTime(TDateTime AValue) = 0;
  // The size it needs to show midnight.
  virtual TSize PreferredSize() = 0;
  virtual void SetCircular(bool AValue) = 0;
  // Whether the user changed the time since it was last set.
  virtual bool IsModified() { return false; }
  virtual void SetOnChange(const TNotifyEvent& AEvent) = 0;
  virtual void SetSelStart(Integer AValue) = 0;
  // The calendar keeps its own copy of these and hands them on.
  virtual void SetTimeFormat(TuiTimeEditTimeFormat) {}
  virtual void SetUse24HourFormat(bool) {}
};
using TuiCalendarTimeEditFactory = std::unique_ptr<TuiCalendarTimeEdit> (*)(TComponent* AOwner);
extern TuiCalendarTimeEditFactory CalendarTimeEditFactory;

class TuiCustomCalendar;
class TuiCustomDateEdit;

class TMonthListBox : public TuiCustomPopupWindow {
  K58_CLASS(TMonthListBox, TuiCustomPopupWindow)

  explicit TMonthListBox(TuiCustomCalendar* ACalendar = nullptr);
  ~TMonthListBox() override;

  // With years: seven months around the shown one; without: January to December of the shown year.
  bool ShowsYears() const;
  Integer ItemCount() const { return itemCount_; }
  Integer ItemIndex() const { return itemIndex_; }
  Integer ItemHeight() const { return itemHeight_; }
  Integer TopOffset() const { return topOffset_; }
  TuiTimer* ScrollTimer() const { return timer_; }
  // The year and month of item AIndex (it may lie outside 100..9999).
  void GetItemMonth(Integer AIndex, Integer& AYear, Integer& AMonth) const;
  // The first day of the highlighted month, NullDate when none.
  TDateTime GetSelectedDate() const;
  void SetItemIndex(Integer AIndex);
  void SetTopOffset(Integer AValue);
  void CalculateSize();
  void ScrollTimerTick(TObject* Sender);

  Integer PopupForControl(TWinControl* AFocusedControl) override;
  void ClosePopup() override;
  void ComputePopupOrigin(TPoint& P) override { P = origin_; }
  void NotifyShowed() override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void Click() override;

 private:
  bool ItemInRange(Integer AIndex) const;
  TRect ItemRect(Integer AIndex);

  TuiCustomCalendar* calendar_;
  Integer currentMonth_ = 1;
  Integer currentYear_ = 2000;
  Integer itemCount_ = 7;
  Integer topOffset_ = 0;
  Integer itemIndex_ = -1;
  Integer itemHeight_ = 0;
  Integer scrollDirection_ = 1;
  TPoint origin_{};
  bool showsYearsAtCreation_ = true;
  TuiTimer* timer_ = nullptr;
};

class TuiCustomCalendar : public TuiControl, public IuiMouseTrackingCaller {
  K58_CLASS(TuiCustomCalendar, TuiControl)

  explicit TuiCustomCalendar(TComponent* AOwner);
  ~TuiCustomCalendar() override;

  // ---- Options ----
  bool ArrowsForYear() const { return arrowsForYear_; }
  void SetArrowsForYear(bool Value);
  TDateButtons DateButtons() const { return dateButtons_; }
  void SetDateButtons(TDateButtons Value);
  bool Flat() const { return flat_; }
  void SetFlat(bool Value);
  TuiCalendarKind Kind() const { return kind_; }
  void SetKind(TuiCalendarKind Value);
  // The time editor's format and hour form.
  TuiTimeEditTimeFormat TimeFormat() const { return timeFormat_; }
  void SetTimeFormat(TuiTimeEditTimeFormat Value);
  bool Use24HourFormat() const { return use24HourFormat_; }
  void SetUse24HourFormat(bool Value);
  bool YearsInMonthList() const { return yearsInMonthList_; }
  void SetYearsInMonthList(bool Value) { yearsInMonthList_ = Value; }
  const TNotifyEvent& OnDateChosen() const { return onDateChosen_; }
  void SetOnDateChosen(const TNotifyEvent& Value) { onDateChosen_ = Value; }

  // ---- Dates ----
  TDateTime FirstDate() const { return firstDate_; }
  TDateTime SelectDate() const { return selectDate_; }
  virtual void SetFirstDate(TDateTime Value);
  virtual void SetSelectDate(TDateTime Value);
  TDateTime GetCellDate(Integer ACol, Integer ARow) const;
  // Days from the first day of the week to D (0..6).
  static Integer GetDayOffset(TDateTime D);
  virtual TDateTime GetLastDate() const;
  virtual TDateTime GetFirstVisibleDate() const;
  virtual TDateTime GetLastVisibleDate() const;
  // The date of the day cell under P, NullDate elsewhere.
  virtual TDateTime GetDateAtPoint(const TPoint& P);
  // Arrow 0 a month back, 1 a month on, 2 a year back, 3 a year on; outside the range nothing happens.
  void StepByArrow(Integer AArrow);

  // ---- Layout (pixels, valid once the window exists) ----
  Integer ColWidth() const { return colWidth_; }
  Integer RowHeight() const { return rowHeight_; }
  Integer HeaderHeight() const { return headerHeight_; }
  Integer DayNamesHeight() const { return dayNamesHeight_; }
  Integer SideMargin() const { return sideMargin_; }
  Integer GridWidth() const { return gridWidth_; }
  Integer ButtonWidth() const { return buttonWidth_; }
  Integer ButtonHeight() const { return buttonHeight_; }
  Integer PanelHeight() const { return panelHeight_; }
  Integer ClockSize() const { return clockSize_; }
  // 1 or 3.
  Integer ArrowCount() const { return arrowCount_; }
  const TRect& ArrowRect(Integer AIndex) const { return arrows_[static_cast<size_t>(AIndex)]; }
  const TRect& GridRect() const { return grid_; }
  const TRect& HeaderRect() const { return header_; }
  const TRect& DateTimeLineRect() const { return dateTimeLine_; }
  const TRect& MonthTitleRect() const { return monthTitle_; }
  const TRect& YearTitleRect() const { return yearTitle_; }
  Integer HotPart() const { return hotPart_; }
  TMonthListBox* MonthList() const { return monthList_; }
  TuiTimer* ArrowTimer() const { return arrowTimer_; }
  TuiClock* Clock() const { return clock_; }
  TuiCalendarTimeEdit* TimeEdit() const { return timeEdit_.get(); }
  // Today 0, Now 1, Clear 2, OK 3.
  TuiButton* Button(Integer AIndex) const { return buttons_[static_cast<size_t>(AIndex)]; }

  virtual void LayoutChanged();
  virtual void UpdateHotTrack();
  virtual Integer GetBottomSpacing();
  virtual TPoint GetContentOffset();
  virtual TSize GetSize();
  virtual void HidePopup(TObject* Sender, Byte AReason);
  void ApplySize();
  void DoDateChosen();
  // The key handling of the calendar, for a popup window that previews keys meant for it.
  void HandleKeyDown(Word& Key, TShiftState Shift) { KeyDown(Key, Shift); }
  // The time of day of the time part (the time editor's, else the clock's).
  TDateTime ChosenTime() { return ClockTime(); }
  // The painter of the calendar's look (its OK button's).
  TuiLookAndFeelPainterClass CalendarPainter();

  bool CanResize(Integer& NewWidth, Integer& NewHeight) override;
  bool ErasesBackground() override;
  void AttachScrollBars() override;
  void MouseLeave() override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  bool DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) override;
  void DblClick() override;
  void ControlFontChanged() override;
  void MouseEntered(TControl* AControl) override;
  void MouseLeft(TControl* AControl) override;
  // Makes APart the hot header part, repainting both titles and keeping the screen cursor.
  void SetHotPart(Integer APart);
  // Selects ADate without moving the shown month; only the day rows repaint.
  void TrackSelectDate(TDateTime ADate);

 private:
  void CreateChildren();
  void CalculateRects();
  void PositionChildren();
  void ButtonClick(TObject* Sender);
  void TimeChanged(TObject* Sender);
  void ArrowTimerTick(TObject* Sender);
  bool IsOffice11();
  bool IsWinXP();
  bool IsButtonShown(TDateButton AButton) const;
  TRect TitleHitRect(const TRect& ATitle) const;
  TRect DayRowsRect() const;
  TColor HeaderColor();
  TDateTime ClockTime();
  void PaintDateTimeLine();
  void PaintHeader();
  void PaintDays();
  void PaintButtonPanel();

  bool arrowsForYear_ = true;
  Integer buttonHeight_ = 0;
  Integer buttonMargin_ = 0;
  Integer buttonWidth_ = 0;
  Integer panelHeight_ = 0;
  TDateButtons dateButtons_;
  std::array<TuiButton*, 4> buttons_{};
  TuiClock* clock_ = nullptr;
  Integer clockSize_ = 0;
  Integer colWidth_ = 0;
  Integer dayNamesHeight_ = 0;
  Integer gridWidth_ = 0;
  TDateTime firstDate_ = 0;
  bool flat_ = true;
  Integer headerHeight_ = 0;
  Integer hotPart_ = 0;
  TuiCalendarKind kind_ = ckDate;
  TMonthListBox* monthList_ = nullptr;
  TCursor savedCursor_ = crDefault;
  Integer rowHeight_ = 0;
  TDateTime selectDate_ = 0;
  Integer sideMargin_ = 0;
  std::unique_ptr<TuiCalendarTimeEdit> timeEdit_;
  TuiTimeEditTimeFormat timeFormat_ = tfHourMinSec;
  bool use24HourFormat_ = true;
  TuiTimer* arrowTimer_ = nullptr;
  std::array<TRect, 4> arrows_{};
  TRect grid_{};
  TRect dateTimeLine_{};
  TRect header_{};
  Integer arrowCount_ = 1;
  TRect monthTitle_{};
  TRect yearTitle_{};
  bool yearsInMonthList_ = true;
  TNotifyEvent onDateChosen_;
};

// The calendar of the date editor's drop-down window: closes with a reason (0..4) through OnHidePopup;
// Enter chooses, Esc cancels (or only closes an open twelve-month list), Alt+Up, Alt+Down and F4 toggle
// it closed.
class TuiPopupCalendar : public TuiCustomCalendar {
  K58_CLASS(TuiPopupCalendar, TuiCustomCalendar)

  explicit TuiPopupCalendar(TComponent* AOwner) : TuiCustomCalendar(AOwner) {}

  // The date editor whose popup shows the calendar.
  TuiCustomDateEdit* Edit() const { return edit_; }
  void SetEdit(TuiCustomDateEdit* Value) { edit_ = Value; }
  const TuiEditClosePopupEvent& OnHidePopup() const { return onHidePopup_; }
  void SetOnHidePopup(const TuiEditClosePopupEvent& Value) { onHidePopup_ = Value; }
  void HidePopup(TObject* Sender, Byte AReason) override;
  // Hot tracking only while the editor's popup shows.
  void UpdateHotTrack() override;

 protected:
  void KeyDown(Word& Key, TShiftState Shift) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;

 private:
  TuiCustomDateEdit* edit_ = nullptr;
  TuiEditClosePopupEvent onHidePopup_;
};

namespace k58::editors {
// The character of a short day name the day-name row shows: the last one for the Chinese and Arabic
// character sets (134, 136, 178), else the first; DEFAULT_CHARSET stands for the locale's own.
String CalendarDayNameLetter(const String& AShortDayName, Integer ACharset);
}  // namespace k58::editors
