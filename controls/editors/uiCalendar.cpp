// The month calendar: children, layout, date arithmetic, keys, mouse, wheel, arrow repeat and painting.
#include "controls/editors/uiCalendar.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "controls/editors/uiDateEdit.h"
#include "platform/rtl/Numbers.h"
#include "platform/rtl/RtlMath.h"
#include "platform/rtl/Utf.h"
#include "platform/win/gdi/WinRect.h"

K58_IMPLEMENT_CLASS(TuiCustomCalendar) {}
K58_IMPLEMENT_CLASS(TuiPopupCalendar) {}

TuiCalendarTimeEditFactory CalendarTimeEditFactory = nullptr;

namespace k58::editors {

String CalendarDayNameLetter(const String& AShortDayName, Integer ACharset) {
  if (AShortDayName.empty()) return String();
  if (ACharset == DEFAULT_CHARSET) {
    // The locale's own character set: Chinese and Arabic locales take the last character.
    const char* names[] = {"LC_ALL", "LC_TIME", "LANG"};
    String locale;
    for (const char* name : names)
      if (const char* value = std::getenv(name); value != nullptr && *value != '\0') {
        locale = value;
        break;
      }
    ACharset = locale.rfind("zh_TW", 0) == 0 || locale.rfind("zh_HK", 0) == 0 ? 136
               : locale.rfind("zh", 0) == 0                                  ? 134
               : locale.rfind("ar", 0) == 0                                  ? 178
                                                                             : 0;
  }
  // Whole characters, never a byte of one.
  const std::u32string letters = k58::rtl::Utf8ToUtf32(AShortDayName);
  if (letters.empty()) return String();
  const bool last = ACharset == 134 || ACharset == 136 || ACharset == 178;
  return k58::rtl::Utf32ToUtf8(std::u32string(1, last ? letters.back() : letters.front()));
}

}  // namespace k58::editors

namespace {

TDateTime FirstOfMonth(TDateTime ADate) {
  Word y = 0, m = 0, d = 0;
  DecodeDate(ADate, y, m, d);
  return EncodeDate(y, m, 1);
}

// The day rows' height: six weeks.
constexpr Integer CalendarWeekRows = 6;

}  // namespace

// ---- Creation -------------------------------------------------------------------------------------------

TuiCustomCalendar::TuiCustomCalendar(TComponent* AOwner) : TuiControl(AOwner) {
  TControlStyle style;
  style.Include(csCaptureMouse).Include(csOpaque);
  SetControlStyle(style);
  selectDate_ = Date();
  firstDate_ = FirstOfMonth(selectDate_);
  SetBounds(Left(), Top(), 20, 20);
  arrowTimer_ = new TuiTimer(nullptr);
  arrowTimer_->SetEnabled(false);
  arrowTimer_->SetInterval(200);
  arrowTimer_->SetOnTimer([this](TObject* Sender) { ArrowTimerTick(Sender); });
  monthList_ = new TMonthListBox(this);
  SetWantedKeys(TuiWantedKeys().Include(wkAllKeys).Include(wkArrows).Include(wkChars).Include(wkTab));
  CreateChildren();
  SetDateButtons(TDateButtons().Include(btnClear).Include(btnToday));
}

TuiCustomCalendar::~TuiCustomCalendar() {
  if (arrowTimer_ != nullptr) FreeTimerAfterTick(arrowTimer_);
  arrowTimer_ = nullptr;
  StopMouseLeaveTracking(this);
  if (monthList_ != nullptr) FreeObject(monthList_);
  monthList_ = nullptr;
}

void TuiCustomCalendar::CreateChildren() {
  struct Child {
    const char* Caption;
    Integer Tag;
    Integer TabOrder;
  };
  const Child children[4] = {{uicalendarconsts::scxDatePopupToday, 2, 1},
                             {uicalendarconsts::scxDatePopupNow, 1, 2},
                             {uicalendarconsts::scxDatePopupClear, 0, 3},
                             {uicalendarconsts::scxDatePopupOK, 3, 4}};
  for (size_t i = 0; i < 4; ++i) {
    auto* button = new TuiButton(this);
    button->SetUseSystemPaint(false);
    button->SetCaption(LocalizeText(children[i].Caption));
    button->SetTag(children[i].Tag);
    button->SetTabOrder(children[i].TabOrder);
    button->SetDefault(i == 3);
    button->SetOnClick([this](TObject* Sender) { ButtonClick(Sender); });
    buttons_[i] = button;
  }
  if (CalendarTimeEditFactory != nullptr) {
    timeEdit_ = CalendarTimeEditFactory(this);
    if (timeEdit_ != nullptr) {
      timeEdit_->SetCircular(true);
      timeEdit_->SetOnChange([this](TObject* Sender) { TimeChanged(Sender); });
      timeEdit_->Control()->SetTabOrder(0);
    }
  }
  clock_ = new TuiClock(this);
  clock_->SetTabStop(false);
}

void TuiCustomCalendar::AttachScrollBars() {
  TuiControl::AttachScrollBars();
  for (TuiButton* button : buttons_) button->SetParent(this);
  clock_->SetParent(this);
  if (timeEdit_ != nullptr) timeEdit_->Control()->SetParent(this);
  ControlFontChanged();
}

// ---- Options --------------------------------------------------------------------------------------------

void TuiCustomCalendar::SetArrowsForYear(bool Value) {
  if (arrowsForYear_ == Value) return;
  arrowsForYear_ = Value;
  LayoutChanged();
}

void TuiCustomCalendar::SetDateButtons(TDateButtons Value) {
  if (dateButtons_ == Value && buttons_[2]->Visible() == Value.Contains(btnClear)) return;
  dateButtons_ = Value;
  buttons_[2]->SetVisible(Value.Contains(btnClear));
  buttons_[1]->SetVisible(Value.Contains(btnNow));
  buttons_[0]->SetVisible(Value.Contains(btnToday));
  LayoutChanged();
}

void TuiCustomCalendar::SetFlat(bool Value) {
  if (flat_ == Value) return;
  flat_ = Value;
  LayoutChanged();
}

void TuiCustomCalendar::SetTimeFormat(TuiTimeEditTimeFormat Value) {
  if (timeFormat_ == Value) return;
  timeFormat_ = Value;
  if (timeEdit_ != nullptr) timeEdit_->SetTimeFormat(Value);
  LayoutChanged();
}

void TuiCustomCalendar::SetUse24HourFormat(bool Value) {
  if (use24HourFormat_ == Value) return;
  use24HourFormat_ = Value;
  if (timeEdit_ != nullptr) timeEdit_->SetUse24HourFormat(Value);
  LayoutChanged();
}

void TuiCustomCalendar::SetKind(TuiCalendarKind Value) {
  if (kind_ == Value) return;
  kind_ = Value;
  TControlStyle style = ControlStyle();
  if (kind_ == ckDateTime)
    style.Include(csClickEvents).Include(csDoubleClicks);
  else
    style.Exclude(csClickEvents).Exclude(csDoubleClicks);
  SetControlStyle(style);
  LayoutChanged();
}

void TuiCustomCalendar::CreateParams(TCreateParams& Params) {
  TuiControl::CreateParams(Params);
  // The kind may change after the window exists: double clicks always reach it, and without
  // csDoubleClicks (the date kind) they count as a second press.
  Params.WindowClass.style |= CS_DBLCLKS;
}

bool TuiCustomCalendar::IsButtonShown(TDateButton AButton) const {
  switch (AButton) {
    case btnClear: return dateButtons_.Contains(btnClear);
    case btnNow: return kind_ == ckDateTime && dateButtons_.Contains(btnNow);
    case btnToday: return dateButtons_.Contains(btnToday);
  }
  return false;
}

TuiLookAndFeelPainterClass TuiCustomCalendar::CalendarPainter() {
  return buttons_[3]->LookAndFeel()->GetPainterClass();
}

bool TuiCustomCalendar::IsOffice11() { return CalendarPainter()->GetLookAndFeelStyle() == lfsOffice11; }

bool TuiCustomCalendar::IsWinXP() { return CalendarPainter()->GetLookAndFeelStyle() == lfsWinXP; }

bool TuiCustomCalendar::ErasesBackground() {
  return buttons_[3]->LookAndFeel()->NativeStyle() && IsWinXP();
}

// ---- Dates ----------------------------------------------------------------------------------------------

void TuiCustomCalendar::SetFirstDate(TDateTime Value) {
  if (!IsDateInRange(Value)) return;
  const TDateTime first = FirstOfMonth(Value);
  if (first == firstDate_) return;
  firstDate_ = first;
  Invalidate();
}

void TuiCustomCalendar::SetSelectDate(TDateTime Value) {
  if (Value == selectDate_ || (Value != NullDate && !IsDateInRange(Value))) return;
  selectDate_ = Value;
  if (Value != NullDate) SetFirstDate(std::trunc(Value));
  Invalidate();
}

Integer TuiCustomCalendar::GetDayOffset(TDateTime D) {
  const Integer d = DayOfWeek(D) - GetFormatController()->StartOfWeek();
  return d > 0 ? d - 1 : d + 6;
}

TDateTime TuiCustomCalendar::GetCellDate(Integer ACol, Integer ARow) const {
  const Integer offset = GetDayOffset(firstDate_);
  TDateTime date = firstDate_ - offset + 7 * ARow + ACol;
  // A month starting a week shows the whole week before it, except at the first date there is.
  if (offset == 0 && firstDate_ > GetMinimumDate()) date -= 7;
  return date;
}

TDateTime TuiCustomCalendar::GetLastDate() const {
  Word y = 0, m = 0, d = 0;
  DecodeDate(firstDate_, y, m, d);
  return firstDate_ + GetDaysInMonth(y, m) - 1;
}

// The first and last cells of the grid (at 1 January 100 the grid does not go back a week, and neither
// does the visible range).
TDateTime TuiCustomCalendar::GetFirstVisibleDate() const { return GetCellDate(0, 0); }

TDateTime TuiCustomCalendar::GetLastVisibleDate() const { return GetCellDate(6, CalendarWeekRows - 1); }

TRect TuiCustomCalendar::DayRowsRect() const {
  const Integer top = grid_.top + dayNamesHeight_;
  return TRect{grid_.left + sideMargin_, top, grid_.right - sideMargin_, top + CalendarWeekRows * rowHeight_};
}

TDateTime TuiCustomCalendar::GetDateAtPoint(const TPoint& P) {
  const TRect client = ClientRect();
  const TRect days = DayRowsRect();
  if (!PtInRect(&client, P) || !PtInRect(&days, P) || colWidth_ <= 0 || rowHeight_ <= 0) return NullDate;
  return GetCellDate((P.x - days.left) / colWidth_, (P.y - days.top) / rowHeight_);
}

void TuiCustomCalendar::StepByArrow(Integer AArrow) {
  Word y = 0, m = 0, d = 0;
  DecodeDate(firstDate_, y, m, d);
  SmallInt year = static_cast<SmallInt>(y);
  switch (AArrow) {
    case 0: ShiftMonth(year, m, -1); break;
    case 1: ShiftMonth(year, m, 1); break;
    case 2: --year; break;
    case 3: ++year; break;
    default: return;
  }
  SetFirstDate(EncodeDateChecked(year, m, 1));
}

void TuiCustomCalendar::DoDateChosen() {
  if (onDateChosen_.Assigned()) onDateChosen_(this);
}

void TuiCustomCalendar::HidePopup(TObject*, Byte) {
  arrowTimer_->SetEnabled(false);
  monthList_->ScrollTimer()->SetEnabled(false);
  if (monthList_->IsShown()) monthList_->ClosePopup();
}

TDateTime TuiCustomCalendar::ClockTime() { return clock_->Time(); }

void TuiCustomCalendar::ButtonClick(TObject* Sender) {
  TDateTime value = NullDate;
  switch (static_cast<TComponent*>(Sender)->Tag()) {
    case 0: value = NullDate; break;
    case 1: value = Now(); break;
    case 2: value = Date() + DateSign(Date()) * ClockTime(); break;
    case 3: value = selectDate_ + DateSign(selectDate_) * ClockTime(); break;
    default: return;
  }
  clock_->SetTime(Frac(value));
  if (timeEdit_ != nullptr) timeEdit_->SetTime(clock_->Time());
  SetSelectDate(value);
  DoDateChosen();
  HidePopup(this, 4);
}

void TuiCustomCalendar::TimeChanged(TObject*) {
  if (timeEdit_ != nullptr) clock_->SetTime(timeEdit_->Time());
  TRect r{0, 0, Width(), headerHeight_ - 1};
  if (!flat_) InflateRect(&r, -1, -1);
  InvalidateArea(r, false);
}

void TuiCustomCalendar::ArrowTimerTick(TObject*) {
  TPoint p{};
  uiGetCursorPos(p);
  p = ScreenToClient(p);
  for (Integer i = 0; i <= arrowCount_; ++i)
    if (PtInRect(&arrows_[static_cast<size_t>(i)], p)) StepByArrow(i);
}

// ---- Layout ---------------------------------------------------------------------------------------------

void TuiCustomCalendar::ControlFontChanged() {
  TuiControl::ControlFontChanged();
  LayoutChanged();
}

Integer TuiCustomCalendar::GetBottomSpacing() { return Font()->Size() / 2; }

TPoint TuiCustomCalendar::GetContentOffset() {
  const Integer offset = MulDiv(Font()->Size(), 3, 4);
  return TPoint{offset, offset};
}

void TuiCustomCalendar::LayoutChanged() {
  if (!HandleAllocated()) return;
  const bool dateTime = kind_ == ckDateTime;
  for (TuiButton* button : buttons_) button->SetTabStop(dateTime);
  if (timeEdit_ != nullptr) {
    timeEdit_->Control()->SetTabStop(dateTime);
    timeEdit_->Control()->SetTabOrder(0);
  }
  for (size_t i = 0; i < 4; ++i) buttons_[i]->SetTabOrder(static_cast<Integer>(i + 1));
  TuiWantedKeys keys = WantedKeys();
  if (dateTime)
    keys.Exclude(wkTab);
  else
    keys.Include(wkTab);
  SetWantedKeys(keys);

  TuiCanvas* canvas = Canvas();
  canvas->SetCanvasFont(Font());
  const Integer zeroWidth = canvas->MeasureTextWidth("0"), zeroHeight = canvas->MeasureTextHeight("0");
  colWidth_ = 3 * zeroWidth;
  sideMargin_ = 2 * zeroWidth;
  rowHeight_ = zeroHeight + 2;
  headerHeight_ = zeroHeight + 5 - (!dateTime && IsOffice11() ? 1 : 0);
  dayNamesHeight_ = rowHeight_ + 1;

  buttonWidth_ = 0;
  const TDateButton kinds[3] = {btnToday, btnNow, btnClear};
  for (size_t i = 0; i < 3; ++i)
    if (IsButtonShown(kinds[i])) buttonWidth_ = std::max(buttonWidth_, canvas->MeasureTextWidth(buttons_[i]->Caption()));
  if (dateTime) buttonWidth_ = std::max(buttonWidth_, canvas->MeasureTextWidth(buttons_[3]->Caption()));
  buttonWidth_ += colWidth_;
  buttonMargin_ = Font()->Size() / 2;
  buttonHeight_ = MulDiv(canvas->MeasureTextHeight("Wg"), 20, 13) + 1;
  if (dateTime) {
    const Integer e = MulDiv(Font()->Size(), 5, 4);
    panelHeight_ = e + 1 + (e % 2 != 0 ? 1 : 0) + buttonHeight_;
  } else {
    panelHeight_ = MulDiv(Font()->Size(), 3, 4) + (buttonHeight_ - 1) + buttonMargin_;
  }
  ApplySize();
  CalculateRects();
  Invalidate();
}

TSize TuiCustomCalendar::GetSize() {
  const bool dateTime = kind_ == ckDateTime;
  const Integer frameTop = !dateTime && IsOffice11() ? 2 : 0;
  const TPoint offset = GetContentOffset();
  Integer height = dayNamesHeight_ + CalendarWeekRows * rowHeight_ + headerHeight_ + 1;
  if (dateTime || IsButtonShown(btnToday) || IsButtonShown(btnClear)) height += panelHeight_;
  height += dateTime ? offset.y + headerHeight_ + GetBottomSpacing() : 1;
  height += frameTop;
  gridWidth_ = 2 * sideMargin_ + 7 * colWidth_;
  Integer width = gridWidth_;
  if (dateTime) {
    const Integer b = (panelHeight_ - buttonHeight_ - 1) / 2;
    TSize timeSize{0, 0};
    if (timeEdit_ != nullptr) {
      timeSize = timeEdit_->PreferredSize();
      timeSize.cx += Canvas()->MeasureTextWidth("0");
    }
    clockSize_ = height - (headerHeight_ + offset.y + panelHeight_ + timeSize.cy + 3 * b);
    width = 2 * offset.x + gridWidth_ + colWidth_ + 2 * b + std::max<Integer>(clockSize_, timeSize.cx);
  }
  return TSize{width, height};
}

void TuiCustomCalendar::ApplySize() {
  const TSize size = GetSize();
  SetBounds(Left(), Top(), size.cx, size.cy);
  PositionChildren();
}

bool TuiCustomCalendar::CanResize(Integer& NewWidth, Integer& NewHeight) {
  if (HandleAllocated() && colWidth_ > 0) {
    const TSize size = GetSize();
    NewWidth = size.cx;
    NewHeight = size.cy;
  }
  return true;
}

void TuiCustomCalendar::CalculateRects() {
  const bool dateTime = kind_ == ckDateTime;
  const bool office11 = IsOffice11();
  const TRect fr = !dateTime && office11 ? TRect{2, 2, 2, 0} : TRect{0, 0, 0, 0};
  const Integer ofs = dateTime ? 1 : (flat_ ? 0 : 1);
  dateTimeLine_ = TRect{};
  if (dateTime) {
    dateTimeLine_ = TRect{0, 0, Width(), headerHeight_};
    if (office11) dateTimeLine_ = TRect{2, 2, Width() - 2, headerHeight_};
  }
  arrows_.fill(TRect{});
  yearTitle_ = TRect{};
  const TRect first{fr.left + ofs, fr.top + ofs, fr.left + ofs + colWidth_ - 2, fr.top + headerHeight_ - 1};
  const TRect last{gridWidth_ - colWidth_ - ofs - fr.right + 2, fr.top + ofs, gridWidth_ - ofs - fr.right,
                   fr.top + headerHeight_ - 1};
  if (!arrowsForYear_) {
    arrowCount_ = 1;
    arrows_[0] = first;
    arrows_[1] = last;
    monthTitle_ = TRect{arrows_[0].right, fr.top, arrows_[1].left, fr.top + headerHeight_};
  } else {
    arrowCount_ = 3;
    TuiCanvas* canvas = Canvas();
    Integer m = 0;
    for (const String& name : FormatSettings.LongMonthNames) m = std::max(m, canvas->MeasureTextWidth(name));
    const Integer y = canvas->MeasureTextWidth("9999");
    const Integer free = gridWidth_ - 2 * ofs - fr.left - fr.right - m - y - 4 * colWidth_ + 8;
    arrows_[0] = first;
    arrows_[3] = last;
    const Integer left1 = arrows_[0].right + m + (m + y != 0 ? m * free / (m + y) : 0);
    arrows_[1] = TRect{left1, first.top, left1 + colWidth_ - 2, first.bottom};
    arrows_[2] = arrows_[1];
    OffsetRect(&arrows_[2], colWidth_ - 2, 0);
    monthTitle_ = TRect{arrows_[0].right, fr.top, arrows_[1].left, fr.top + headerHeight_};
    yearTitle_ = TRect{arrows_[2].right, fr.top, arrows_[3].left, fr.top + headerHeight_};
  }
  header_ = TRect{0, monthTitle_.top, gridWidth_, monthTitle_.bottom};
  grid_ = TRect{0, monthTitle_.bottom + 1, gridWidth_,
                monthTitle_.bottom + 1 + dayNamesHeight_ + CalendarWeekRows * rowHeight_ + 1};
  if (dateTime) {
    TPoint offset = GetContentOffset();
    offset.y += dateTimeLine_.bottom;
    for (TRect* r : {&arrows_[0], &arrows_[1], &arrows_[2], &arrows_[3], &monthTitle_, &yearTitle_, &header_, &grid_})
      if (!IsRectEmpty(r) || r == &monthTitle_ || r == &header_ || r == &grid_) OffsetRect(r, offset.x, offset.y);
  }
}

void TuiCustomCalendar::PositionChildren() {
  if (!HandleAllocated()) return;
  const bool dateTime = kind_ == ckDateTime;
  buttons_[2]->SetVisible(dateButtons_.Contains(btnClear));
  buttons_[1]->SetVisible(IsButtonShown(btnNow));
  buttons_[3]->SetVisible(dateTime);
  buttons_[0]->SetVisible(dateButtons_.Contains(btnToday));
  clock_->SetVisible(dateTime);
  if (timeEdit_ != nullptr) timeEdit_->Control()->SetVisible(dateTime);
  if (dateTime) {
    const Integer d = MulDiv(Font()->Size(), 5, 4);
    const Integer top = Height() - panelHeight_ + 1 + (panelHeight_ - buttonHeight_ - 1) / 2;
    std::vector<TuiButton*> shown;
    for (TuiButton* button : buttons_)
      if (button->Visible()) shown.push_back(button);
    const Integer okLeft = Width() - d - buttonWidth_ - 1;
    for (size_t i = 0; i < shown.size(); ++i) {
      Integer left = 0;
      if (i + 1 == shown.size())
        left = okLeft;
      else if (shown.size() == 2)
        left = okLeft - d - buttonWidth_ - 1;
      else
        left = d + static_cast<Integer>(i) * (d + buttonWidth_ + 1);
      shown[i]->SetBounds(left, top, buttonWidth_ + 1, buttonHeight_);
    }
    const Integer b = (panelHeight_ - buttonHeight_ - 1) / 2;
    const TPoint offset = GetContentOffset();
    if (timeEdit_ != nullptr) {
      TSize size = timeEdit_->PreferredSize();
      size.cx += Canvas()->MeasureTextWidth("0");
      timeEdit_->Control()->SetBounds(
          Width() + (clockSize_ + 2 * b - size.cx) / 2 - offset.x - clockSize_ - 2 * b,
          Height() - panelHeight_ - size.cy - b, size.cx, size.cy);
      timeEdit_->SetSelStart(0);
    }
    clock_->SetBounds(Width() - offset.x - b - clockSize_, offset.y + headerHeight_ + b, clockSize_, clockSize_);
  } else {
    const bool clear = buttons_[2]->Visible(), today = buttons_[0]->Visible();
    const Integer parts = clear ? 3 : 2;
    const Integer top = ClientHeight() + buttonMargin_ - panelHeight_;
    buttons_[0]->SetBounds((gridWidth_ - buttonWidth_ - buttonWidth_ * (clear ? 1 : 0)) / parts, top, buttonWidth_ + 1,
                           buttonHeight_);
    const Integer clearParts = today ? 3 : 2;
    buttons_[2]->SetBounds(
        gridWidth_ - buttonWidth_ - (gridWidth_ - buttonWidth_ * (today ? 1 : 0) - buttonWidth_) / clearParts, top,
        buttonWidth_ + 1, buttonHeight_);
  }
}

// ---- Hot tracking and mouse -----------------------------------------------------------------------------

TRect TuiCustomCalendar::TitleHitRect(const TRect& ATitle) const {
  const Integer ofs = kind_ == ckDateTime ? 1 : (flat_ ? 0 : 1);
  return TRect{ATitle.left, ATitle.top + ofs, ATitle.right, ATitle.bottom - 1};
}

void TuiCustomCalendar::UpdateHotTrack() {
  Integer part = 0;
  if (!monthList_->IsShown() && GetCapture() == nullptr && HandleAllocated()) {
    TPoint p{};
    uiGetCursorPos(p);
    p = ScreenToClient(p);
    if (PtInRect(&monthTitle_, p))
      part = 1;
    else if (PtInRect(&yearTitle_, p))
      part = 2;
  }
  SetHotPart(part);
}

void TuiCustomCalendar::SetHotPart(Integer part) {
  if (part == hotPart_) return;
  auto titleOf = [this](Integer APart) { return APart == 1 ? monthTitle_ : yearTitle_; };
  if (hotPart_ != 0) InvalidateArea(titleOf(hotPart_), false);
  if (part != 0) InvalidateArea(titleOf(part), false);
  if (hotPart_ == 0 && part != 0) savedCursor_ = Screen->Cursor();
  if (part == 0) Screen->SetCursor(savedCursor_);
  hotPart_ = part;
}

void TuiCustomCalendar::MouseLeave() {
  UpdateHotTrack();
  StopMouseLeaveTracking(this);
}

void TuiCustomCalendar::MouseEntered(TControl* AControl) {
  TuiControl::MouseEntered(AControl);
  UpdateHotTrack();
  StartMouseLeaveTracking(this, ClientRect(), this);
}

void TuiCustomCalendar::MouseLeft(TControl* AControl) {
  TuiControl::MouseLeft(AControl);
  UpdateHotTrack();
  StopMouseLeaveTracking(this);
}

void TuiCustomCalendar::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TuiControl::MouseDown(Button, Shift, X, Y);
  UpdateHotTrack();
  if (Button != mbLeft) return;
  const TPoint p{X, Y};
  const TDateTime date = GetDateAtPoint(p);
  if (date != NullDate) {
    SetSelectDate(date);
    return;
  }
  for (Integer i = 0; i <= arrowCount_; ++i) {
    if (PtInRect(&arrows_[static_cast<size_t>(i)], p)) {
      StepByArrow(i);
      arrowTimer_->SetEnabled(true);
      return;
    }
  }
  const TRect title = TitleHitRect(monthTitle_);
  if (PtInRect(&title, p)) monthList_->PopupForControl(this);
}

void TuiCustomCalendar::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TuiControl::MouseMove(Shift, X, Y);
  UpdateHotTrack();
  StartMouseLeaveTracking(this, ClientRect(), this);
  if (arrowTimer_->Enabled()) return;
  if (!Shift.Contains(ssLeft)) return;
  const TDateTime date = GetDateAtPoint(TPoint{X, Y});
  if (date != NullDate && IsDateInRange(date)) TrackSelectDate(date);
}

void TuiCustomCalendar::TrackSelectDate(TDateTime ADate) {
  if (ADate == selectDate_) return;
  selectDate_ = ADate;
  InvalidateArea(DayRowsRect(), false);
}

void TuiCustomCalendar::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TuiControl::MouseUp(Button, Shift, X, Y);
  UpdateHotTrack();
  if (arrowTimer_->Enabled()) {
    arrowTimer_->SetEnabled(false);
    return;
  }
  if (kind_ == ckDateTime) return;
  const TPoint p{X, Y};
  const TRect client = ClientRect();
  if (PtInRect(&client, p) && !PtInRect(&monthTitle_, p) && !PtInRect(&yearTitle_, p)) {
    const TDateTime date = GetDateAtPoint(p);
    HidePopup(this, 4);
    if (date != NullDate) DoDateChosen();
  }
}

void TuiCustomCalendar::DblClick() {
  TuiControl::DblClick();
  if (kind_ != ckDateTime) return;
  TPoint p{};
  uiGetCursorPos(p);
  const TDateTime date = GetDateAtPoint(ScreenToClient(p));
  if (date == NullDate) return;
  SetSelectDate(date);
  HidePopup(this, 4);
  DoDateChosen();
}

bool TuiCustomCalendar::DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) {
  if (TuiControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  if (monthList_->IsShown()) return false;
  const TPoint p = ScreenToClient(MousePos);
  const bool overYear = PtInRect(&yearTitle_, p) != FALSE;
  if (!overYear && !PtInRect(&monthTitle_, p)) return false;
  // Wheel forward goes back in time.
  StepByArrow(2 * (overYear ? 1 : 0) + (WheelDelta < 0 ? 1 : 0));
  return true;
}

// ---- Keyboard -------------------------------------------------------------------------------------------

void TuiCustomCalendar::KeyDown(Word& Key, TShiftState Shift) {
  const TDateTime d = selectDate_;
  const bool exactlyCtrl = Shift == TShiftState().Include(ssCtrl);
  const bool exactlyAlt = Shift == TShiftState().Include(ssAlt);
  Word y = 0, m = 0, day = 0;
  if (d != NullDate) DecodeDate(d, y, m, day);
  auto monthStep = [&](Integer ADelta) {
    Integer year = y, month = static_cast<Integer>(m) + ADelta;
    if (month < 1) month = 12, --year;
    if (month > 12) month = 1, ++year;
    return EncodeDateChecked(year, month, ClampDay(year, month, day));
  };
  if (d != NullDate) {
    switch (Key) {
      case VK_PRIOR: SetSelectDate(monthStep(-1)); break;
      case VK_NEXT: SetSelectDate(monthStep(1)); break;
      case VK_END:
        SetSelectDate(exactlyCtrl ? EncodeDateChecked(y, m, GetDaysInMonth(y, m)) : d + 6 - GetDayOffset(d));
        break;
      case VK_HOME: SetSelectDate(exactlyCtrl ? EncodeDateChecked(y, m, 1) : d - GetDayOffset(d)); break;
      case VK_LEFT: SetSelectDate(d - 1); break;
      case VK_RIGHT: SetSelectDate(d + 1); break;
      case VK_UP:
        if (!exactlyAlt) SetSelectDate(d - 7);
        break;
      case VK_DOWN:
        if (!exactlyAlt) SetSelectDate(d + 7);
        break;
      default: break;
    }
  }
  TuiControl::KeyDown(Key, Shift);
}

void TuiPopupCalendar::HidePopup(TObject* Sender, Byte AReason) {
  TuiCustomCalendar::HidePopup(Sender, AReason);
  if (onHidePopup_.Assigned()) onHidePopup_(Sender, AReason);
}

void TuiPopupCalendar::UpdateHotTrack() {
  TuiCustomEditPopupWindow* popup = edit_ != nullptr ? edit_->PopupWindow() : nullptr;
  if (popup != nullptr && popup->IsShown())
    TuiCustomCalendar::UpdateHotTrack();
  else
    SetHotPart(0);
}

void TuiPopupCalendar::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TuiCustomCalendar::MouseMove(Shift, X, Y);
  // Dragging out of the calendar takes the selection back to the editor's date.
  const TRect client = ClientRect();
  const TPoint p{X, Y};
  if (edit_ != nullptr && Shift.Contains(ssLeft) && !ArrowTimer()->Enabled() && !PtInRect(&client, p))
    TrackSelectDate(edit_->Date());
}

void TuiPopupCalendar::KeyDown(Word& Key, TShiftState Shift) {
  TuiCustomCalendar::KeyDown(Key, Shift);
  const bool exactlyAlt = Shift == TShiftState().Include(ssAlt);
  switch (Key) {
    case VK_TAB:
      if (edit_ == nullptr || edit_->ActiveProperties()->Kind() == ckDateTime) break;
      if (edit_->ActiveProperties()->PostPopupValueOnTab()) DoDateChosen();
      edit_->DoEditKeyDown(Key, Shift);
      break;
    case VK_RETURN:
      if (!MonthList()->IsShown()) {
        HidePopup(this, 4);
        DoDateChosen();
      }
      break;
    case VK_ESCAPE:
      if (MonthList()->ShowsYears() || !MonthList()->IsShown())
        HidePopup(this, 3);
      else
        MonthList()->ClosePopup();
      break;
    case VK_UP:
    case VK_DOWN:
      if (exactlyAlt) HidePopup(this, 2);
      break;
    case VK_F4:
      if (!Shift.Contains(ssAlt)) HidePopup(this, 2);
      break;
    default: break;
  }
}

// ---- Painting -------------------------------------------------------------------------------------------

TColor TuiCustomCalendar::HeaderColor() { return IsOffice11() ? CalendarPainter()->PanelBackgroundColor() : clBtnFace; }

void TuiCustomCalendar::PaintDateTimeLine() {
  TuiCanvas* canvas = Canvas();
  TRect r = dateTimeLine_;
  if (!IsOffice11() && !IsWinXP()) {
    if (flat_) {
      canvas->FillRectWithColor(TRect{r.left, r.bottom - 1, r.right, r.bottom}, clBtnText);
    } else {
      canvas->DrawEdge3D(r, false, true);
      InflateRect(&r, -1, -1);
    }
    r.bottom -= 1;
  }
  canvas->FillRectWithColor(r, HeaderColor());
  // The selected day with the time part's time (a selected value that carries a time already keeps only
  // its day, so the time is not counted twice).
  const TDateTime day = GetDatePart(selectDate_);
  const TDateTime value = selectDate_ == NullDate ? NullDate : day + DateSign(selectDate_) * ClockTime();
  canvas->SetCanvasFont(Font());
  canvas->GetCanvasFont()->SetColor(clBtnText);
  canvas->GetCanvasBrush()->SetStyle(bsClear);
  canvas->DrawCaptionText(DateTimeToLocaleText(false, value), r, ctfAlignHCenter | ctfAlignVCenter | ctfSingleLine);
  canvas->GetCanvasBrush()->SetStyle(bsSolid);
  canvas->ExcludeClipRect(dateTimeLine_);
}

void TuiCustomCalendar::PaintHeader() {
  TuiCanvas* canvas = Canvas();
  const TuiLookAndFeelPainterClass painter = GetPainterClassOfKind(lfUltraFlat);
  const TColor headerColor = HeaderColor();
  const bool dateTime = kind_ == ckDateTime;
  const bool winXP = IsWinXP(), office11 = IsOffice11();
  for (Integer i = 0; i <= arrowCount_; ++i) {
    TRect r = arrows_[static_cast<size_t>(i)];
    if (!winXP) {
      canvas->FillRectWithColor(TRect{r.left, r.bottom - 1, r.right, r.bottom}, headerColor);
      if (flat_ && !dateTime) canvas->FillRectWithColor(TRect{r.left, r.top, r.right, r.top + 1}, headerColor);
      r.bottom -= 1;
      if (flat_ && !dateTime && !office11) r.top += 1;
      canvas->FillRectWithColor(r, headerColor);
    }
    TPoint p0{}, p1{}, p2{};
    painter->CalculateArrowPoints(r, p0, p1, p2, i % 2 == 0 ? adLeft : adRight, true);
    canvas->GetCanvasBrush()->SetColor(clBtnText);
    canvas->GetCanvasPen()->SetColor(clBtnText);
    canvas->Polygon({p0, p1, p2});
    canvas->ExcludeClipRect(arrows_[static_cast<size_t>(i)]);
  }
  Word y = 0, m = 0, d = 0;
  DecodeDate(firstDate_, y, m, d);
  const String month = FormatSettings.LongMonthNames[static_cast<size_t>(m - 1)];
  canvas->SetCanvasFont(Font());
  auto drawTitle = [&](const TRect& ATitle, const String& AText, Integer APart) {
    const TRect r = TitleHitRect(ATitle);
    if (!winXP) canvas->FillRectWithColor(ATitle, headerColor);
    canvas->GetCanvasFont()->SetColor(hotPart_ == APart ? GetHotLightColor() : clBtnText);
    canvas->GetCanvasBrush()->SetStyle(bsClear);
    canvas->DrawCaptionText(AText, r, ctfAlignHCenter | ctfAlignVCenter | ctfSingleLine);
    canvas->GetCanvasBrush()->SetStyle(bsSolid);
  };
  if (arrowsForYear_) {
    drawTitle(monthTitle_, month, 1);
    drawTitle(yearTitle_, IntToStr(y), 2);
  } else {
    drawTitle(monthTitle_, month + " " + IntToStr(y), 1);
  }
  if (!winXP) {
    TRect r = header_;
    if (!flat_) {
      canvas->DrawEdge3D(r, false, true);
    } else if (dateTime) {
      canvas->DrawBorderLines(r, office11 ? Color() : clBtnShadow, 1, uiAllBorders);
    } else if (office11) {
      r.top -= 2;
      r.bottom += 1;
      canvas->DrawBorderLines(r, Color(), 2, uiAllBorders);
    } else {
      canvas->FillRectWithColor(TRect{r.left, r.bottom - 1, r.right, r.bottom}, clBtnText);
    }
  }
  canvas->ExcludeClipRect(header_);
}

void TuiCustomCalendar::PaintDays() {
  TuiCanvas* canvas = Canvas();
  const TColor color = Color();
  const Integer gridTop = grid_.top;
  canvas->FillRectWithColor(TRect{grid_.left, gridTop, grid_.left + sideMargin_, gridTop + dayNamesHeight_}, color);
  canvas->FillRectWithColor(TRect{grid_.right - sideMargin_, gridTop, grid_.right, gridTop + dayNamesHeight_}, color);
  canvas->FillRectWithColor(TRect{grid_.left + sideMargin_, gridTop + dayNamesHeight_ - 2,
                                  grid_.right - sideMargin_ - 1, gridTop + dayNamesHeight_ - 1},
                            clBtnShadow);
  canvas->FillRectWithColor(TRect{grid_.left + sideMargin_, gridTop + dayNamesHeight_ - 1,
                                  grid_.right - sideMargin_ - 1, gridTop + dayNamesHeight_},
                            clWindow);
  // The day names.
  canvas->SetCanvasFont(Font());
  canvas->GetCanvasFont()->SetColor(clBtnText);
  const Integer start = GetFormatController()->StartOfWeek();
  for (Integer i = 0; i < 7; ++i) {
    Integer day = start + i + 1;
    if (day > 7) day -= 7;
    const String letter =
        k58::editors::CalendarDayNameLetter(FormatSettings.ShortDayNames[static_cast<size_t>(day - 1)], Font()->Charset());
    const TRect r{grid_.left + sideMargin_ + colWidth_ * i, gridTop, grid_.left + sideMargin_ + colWidth_ * (i + 1) - 3,
                  gridTop + dayNamesHeight_ - 2};
    canvas->FillRectWithColor(TRect{r.left, r.top, r.right + 3, r.bottom}, color);
    canvas->GetCanvasBrush()->SetStyle(bsClear);
    canvas->DrawCaptionText(letter, r, ctfAlignRight | ctfAlignVCenter | ctfSingleLine);
    canvas->GetCanvasBrush()->SetStyle(bsSolid);
  }
  // The cells.
  const TDateTime today = Date();
  const TDateTime last = GetLastDate();
  const TDateTime selectedDay = selectDate_ == NullDate ? NullDate : GetDatePart(selectDate_);
  const TuiLookAndFeelPainterClass painter = CalendarPainter();
  const TRect days = DayRowsRect();
  for (Integer row = 0; row < CalendarWeekRows; ++row) {
    for (Integer col = 0; col < 7; ++col) {
      const TDateTime date = GetCellDate(col, row);
      TRect cell{days.left + colWidth_ * col, days.top + rowHeight_ * row, days.left + colWidth_ * (col + 1),
                 days.top + rowHeight_ * (row + 1)};
      // A selected value with a time of day selects its day.
      const bool selected = date == selectedDay || (selectDate_ == NullDate && date == today);
      const TColor background = selected ? painter->SelectionColorA() : color;
      if (date == today) {
        canvas->DrawBorderLines(cell, clMaroon, 1, uiAllBorders);
        InflateRect(&cell, -1, -1);
      }
      TColor textColor = clWindowText;
      if (selected)
        textColor = painter->SelectionTextColorA();
      else if (date < firstDate_ || date > last)
        textColor = clGrayText;
      canvas->FillRectWithColor(cell, background);
      if (IsDateInRange(date)) {
        Word y = 0, m = 0, d = 0;
        DecodeDate(date, y, m, d);
        canvas->GetCanvasFont()->SetColor(textColor);
        canvas->GetCanvasBrush()->SetStyle(bsClear);
        TRect text = cell;
        text.right = days.left + colWidth_ * (col + 1) - 3;
        canvas->DrawCaptionText(IntToStr(d), text, ctfAlignRight | ctfAlignVCenter | ctfSingleLine);
        canvas->GetCanvasBrush()->SetStyle(bsSolid);
      }
    }
  }
  canvas->ExcludeClipRect(TRect{grid_.left + sideMargin_, gridTop, grid_.right - sideMargin_, days.bottom});
  if (kind_ == ckDate && (IsButtonShown(btnToday) || IsButtonShown(btnClear))) {
    const Integer y = ClientHeight() - panelHeight_ - 1;
    const TRect separator{grid_.left + sideMargin_, y, grid_.right - sideMargin_, y + 1};
    canvas->FillRectWithColor(separator, clBtnShadow);
    canvas->ExcludeClipRect(separator);
  }
}

void TuiCustomCalendar::PaintButtonPanel() {
  TuiCanvas* canvas = Canvas();
  TRect panel{0, Height() - panelHeight_, Width(), Height()};
  canvas->FillRectWithColor(TRect{panel.left, panel.top, panel.right, panel.top + 1}, clBtnText);
  TRect rest{panel.left, panel.top + 1, panel.right, panel.bottom};
  if (!flat_) {
    canvas->DrawEdge3D(rest, false, true);
    InflateRect(&rest, -1, -1);
  }
  canvas->FillRectWithColor(rest, Color());
  canvas->ExcludeClipRect(panel);
}

void TuiCustomCalendar::Paint() {
  if (!HandleAllocated() || colWidth_ == 0) return;
  TuiCanvas* canvas = Canvas();
  const Integer saved = canvas->SaveState();
  if (kind_ == ckDateTime) PaintDateTimeLine();
  PaintHeader();
  PaintDays();
  if (kind_ == ckDateTime) PaintButtonPanel();
  canvas->FillRectWithColor(ClientRect(), Color());
  if (kind_ == ckDateTime) {
    const Integer x = grid_.right + colWidth_ / 2;
    const Integer bottom = timeEdit_ != nullptr ? timeEdit_->Control()->Top() + timeEdit_->Control()->Height() - 1
                                                : Height() - panelHeight_;
    canvas->FillRectWithColor(TRect{x, grid_.top, x + 1, bottom}, clBtnShadow);
  }
  canvas->RestoreState(saved);
}

// ---- Month list -----------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TMonthListBox) {}

TMonthListBox::TMonthListBox(TuiCustomCalendar* ACalendar) : TuiCustomPopupWindow(ACalendar), calendar_(ACalendar) {
  showsYearsAtCreation_ = ShowsYears();
  TControlStyle style = ControlStyle();
  style.Include(csCaptureMouse).Include(csOpaque);
  if (!showsYearsAtCreation_) style.Include(csClickEvents);
  SetControlStyle(style);
  timer_ = new TuiTimer(nullptr);
  timer_->SetEnabled(false);
  timer_->SetInterval(200);
  timer_->SetOnTimer([this](TObject* Sender) { ScrollTimerTick(Sender); });
  SetAdjustable(false);
  SetPopupBorderStyle(2);
  SetTakeFocus(false);
  SetTopmost(true);
  if (calendar_ != nullptr) SetOwnerParent(calendar_);
}

TMonthListBox::~TMonthListBox() {
  if (timer_ != nullptr) FreeTimerAfterTick(timer_);
  timer_ = nullptr;
}

bool TMonthListBox::ShowsYears() const {
  return calendar_ == nullptr || !calendar_->ArrowsForYear() || calendar_->YearsInMonthList();
}

void TMonthListBox::CreateParams(TCreateParams& Params) {
  TuiCustomPopupWindow::CreateParams(Params);
  Params.WindowClass.style |= CS_SAVEBITS;
}

void TMonthListBox::GetItemMonth(Integer AIndex, Integer& AYear, Integer& AMonth) const {
  SmallInt year = static_cast<SmallInt>(currentYear_);
  Word month = static_cast<Word>(currentMonth_);
  ShiftMonth(year, month, topOffset_ + AIndex);
  AYear = year;
  AMonth = month;
}

bool TMonthListBox::ItemInRange(Integer AIndex) const {
  Integer year = 0, month = 0;
  GetItemMonth(AIndex, year, month);
  return year >= 100 && year <= 9999;
}

TDateTime TMonthListBox::GetSelectedDate() const {
  if (itemIndex_ < 0) return NullDate;
  Integer year = 0, month = 0;
  GetItemMonth(itemIndex_, year, month);
  return EncodeDateChecked(year, month, 1);
}

void TMonthListBox::CalculateSize() {
  itemHeight_ = calendar_->HeaderHeight() - 2;
  SetBounds(Left(), Top(), 6 * calendar_->ColWidth() + 2, itemCount_ * itemHeight_ + 2);
}

TRect TMonthListBox::ItemRect(Integer AIndex) {
  const Integer top = BorderOffset(bTop) + AIndex * itemHeight_;
  return TRect{BorderOffset(bLeft), top, Width() - BorderOffset(bRight), top + itemHeight_};
}

void TMonthListBox::SetItemIndex(Integer AIndex) {
  if (!HandleAllocated() || AIndex == itemIndex_) return;
  if (AIndex >= 0 && (AIndex >= itemCount_ || !ItemInRange(AIndex))) AIndex = -1;
  if (AIndex == itemIndex_) return;
  const Integer old = itemIndex_;
  itemIndex_ = AIndex;
  for (Integer index : {old, AIndex}) {
    if (index < 0) continue;
    const TRect r = ItemRect(index);
    ::InvalidateRect(Handle(), &r, FALSE);
  }
}

void TMonthListBox::SetTopOffset(Integer AValue) {
  if (topOffset_ == AValue) return;
  topOffset_ = AValue;
  Repaint();
}

Integer TMonthListBox::PopupForControl(TWinControl* AFocusedControl) {
  itemCount_ = ShowsYears() ? 7 : 12;
  SetFont(calendar_->Font());
  CalculateSize();
  Word y = 0, m = 0, d = 0;
  DecodeDate(calendar_->FirstDate(), y, m, d);
  currentYear_ = y;
  currentMonth_ = m;
  topOffset_ = 0;
  SetTopOffset(ShowsYears() ? -3 : 1 - currentMonth_);
  TRect title = calendar_->MonthTitleRect();
  const TPoint topLeft = calendar_->ClientToScreen(TPoint{title.left, title.top});
  OffsetRect(&title, topLeft.x - title.left, topLeft.y - title.top);
  origin_ = TPoint{title.left + (title.right - title.left - Width()) / 2, (title.top + title.bottom) / 2 - Height() / 2};
  itemIndex_ = -1;
  return TuiCustomPopupWindow::PopupForControl(AFocusedControl);
}

void TMonthListBox::NotifyShowed() {
  TuiCustomPopupWindow::NotifyShowed();
  if (ShowsYears())
    SetMouseCapture(true);
  else
    ReleaseCapture();
}

void TMonthListBox::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TuiCustomPopupWindow::MouseMove(Shift, X, Y);
  const TRect client = ClientRect();
  if (PtInRect(&client, TPoint{X, Y})) {
    timer_->SetEnabled(false);
    SetItemIndex(itemHeight_ > 0 ? Y / itemHeight_ : -1);
    return;
  }
  SetItemIndex(-1);
  if (Y >= 0 && Y < ClientHeight()) {
    timer_->SetEnabled(false);
    return;
  }
  Integer distance = 0;
  if (Y < 0) {
    distance = -Y;
    scrollDirection_ = -1;
  } else {
    distance = Y + 1 - ClientHeight();
    scrollDirection_ = 1;
  }
  // The farther from the list, the faster it scrolls.
  const Cardinal intervals[4] = {500, 250, 100, 50};
  const Integer step = std::min(itemHeight_ > 0 ? distance / itemHeight_ : 3, 3);
  const Cardinal interval = intervals[step];
  if (timer_->Enabled() && timer_->Interval() == interval) return;
  timer_->SetInterval(interval);
  timer_->SetEnabled(true);
}

void TMonthListBox::ScrollTimerTick(TObject*) {
  Integer year = 0, month = 0;
  if (scrollDirection_ < 0) {
    GetItemMonth(-1, year, month);
    if (year >= 100) SetTopOffset(topOffset_ - 1);
  } else {
    GetItemMonth(itemCount_, year, month);
    if (year <= 9999) SetTopOffset(topOffset_ + 1);
  }
}

void TMonthListBox::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TuiCustomPopupWindow::MouseUp(Button, Shift, X, Y);
  if (ShowsYears()) ClosePopup();
}

void TMonthListBox::Click() {
  TuiCustomPopupWindow::Click();
  ClosePopup();
  if (itemIndex_ >= 0) calendar_->SetFirstDate(EncodeDateChecked(currentYear_, itemIndex_ + 1, 1));
}

void TMonthListBox::ClosePopup() {
  if (GetCapture() == Handle() && HandleAllocated()) ReleaseCapture();
  if (!Visible()) return;
  TuiCustomPopupWindow::ClosePopup();
  timer_->SetEnabled(false);
  if (ShowsYears() && GetSelectedDate() != NullDate) calendar_->SetFirstDate(GetSelectedDate());
}

void TMonthListBox::Paint() {
  TuiCanvas& ui = *PopupCanvas();
  const TRect client = ClientRect();
  ui.DrawBorderLines(client, clBlack, 1, uiAllBorders);
  TRect row{1, 1, Width() - 1, itemHeight_ + 1};
  for (Integer k = 0; k < itemCount_; ++k) {
    Integer year = 0, month = 0;
    GetItemMonth(k, year, month);
    const bool highlighted = k == itemIndex_;
    ui.FillRectWithColor(row, highlighted ? clWindowText : clWindow);
    if (year >= 100 && year <= 9999) {
      String text = FormatSettings.LongMonthNames[static_cast<size_t>(month - 1)];
      if (ShowsYears()) text += " " + IntToStr(year);
      ui.SetCanvasFont(Font());
      ui.GetCanvasFont()->SetColor(highlighted ? clWindow : clWindowText);
      ui.GetCanvasBrush()->SetStyle(bsClear);
      ui.DrawCaptionText(text, row, ctfAlignHCenter | ctfAlignVCenter | ctfSingleLine);
      ui.GetCanvasBrush()->SetStyle(bsSolid);
    }
    OffsetRect(&row, 0, itemHeight_);
  }
}
