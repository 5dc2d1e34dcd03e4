// The look-and-feel scroll bar: geometry, parameters, scrolling by code, mouse (auto-repeat and thumb
// dragging) and painting through the painters.
#include <algorithm>

#include "controls/foundation/uiControls.h"
#include "controls/foundation/uxUxTheme.h"
#include "platform/classes/ClassErrors.h"
#include "platform/win/gdi/WinRect.h"
#include "platform/forms/ControlsPublish.h"
#include "platform/rtl/RtlMath.h"

namespace {

// The visual-style gripper parts measured for the least thumb length of a vertical and a horizontal bar.
constexpr int kGripperVertPart = 8;
constexpr int kGripperHorzPart = 9;
constexpr Integer kMinThumbLength = 8;
constexpr Cardinal kFirstRepeatDelay = 400;
constexpr Cardinal kRepeatInterval = 60;
// How far the mouse may go from the bar while dragging the thumb before it snaps back.
constexpr Integer kTrackingAcross = 136;
constexpr Integer kTrackingAlong = 34;


bool Contains(const TRect& R, Integer X, Integer Y) { return X >= R.left && X < R.right && Y >= R.top && Y < R.bottom; }

}  // namespace

K58_IMPLEMENT_CLASS(TuiScrollBar) {
  using S = TuiScrollBar;
  PublishControl(b, {"Align",    "Anchors",       "Constraints",  "Ctl3D",     "DragCursor",  "DragKind",
                     "DragMode", "Enabled",       "ParentCtl3D",  "ParentShowHint", "PopupMenu", "ShowHint",
                     "Visible",  "OnContextPopup", "OnDragDrop", "OnDragOver", "OnEndDock",   "OnEndDrag",
                     "OnEnter",  "OnExit",        "OnKeyDown",   "OnKeyPress", "OnKeyUp",     "OnStartDock",
                     "OnStartDrag"});
  b.Prop("Kind", &S::Kind, &S::SetKind).Default(sbHorizontal);
  b.Prop("LargeChange", &S::LargeChange, &S::SetLargeChange).Default(1);
  b.Prop("LookAndFeel", &S::LookAndFeel, &S::SetLookAndFeel);
  b.Prop("Max", &S::Max, &S::SetMax).Default(100);
  b.Prop("Min", &S::Min, &S::SetMin).Default(0);
  b.Prop("PageSize", &S::PageSize, &S::SetPageSize).Default(0);
  b.Prop("Position", &S::Position, &S::SetPosition).Default(0);
  b.Prop("SmallChange", &S::SmallChange, &S::SetSmallChange).Default(1);
  b.Prop("UnlimitedTracking", &S::UnlimitedTracking, &S::SetUnlimitedTracking).Default(false);
  b.Prop("OnChange", &S::OnChange, &S::SetOnChange);
  b.Prop("OnScroll", &S::OnScroll, &S::SetOnScroll);
}

TuiScrollBar::TuiScrollBar(TComponent* AOwner) : TCustomControl(AOwner) {
  bitmap_ = std::make_unique<TBitmap>();
  canvas_ = std::make_unique<TuiCanvas>(bitmap_->Canvas());
  lookAndFeel_ = std::make_unique<TuiLookAndFeel>(this);
  lookAndFeel_->SetOnChanged([this](TuiLookAndFeel* Sender, TuiLookAndFeelValues Values) {
    LookAndFeelChanged(Sender, Values);
  });
  SetWidth(121);
  SetControlStyle(TControlStyle{csCaptureMouse, csFramed, csOpaque});
  SetHeight(GetSystemMetrics(SM_CYHSCROLL));
  themeNotificator_ = std::make_unique<TuxThemeChangedNotificator>();
  themeNotificator_->SetOnThemeChanged([this](TObject* Sender) { ThemeChanged(Sender); });
  repeatTimer_ = new TuiTimer(nullptr);
  repeatTimer_->SetEnabled(false);
  repeatTimer_->SetInterval(kFirstRepeatDelay);
  repeatTimer_->SetOnTimer([this](TObject* Sender) { RepeatStep(Sender); });
  CalculateMinThumbLength();
  CalculateGeometry();
}

TuiScrollBar::~TuiScrollBar() {
  delete repeatTimer_;
  repeatTimer_ = nullptr;
  themeNotificator_.reset();
  lookAndFeel_.reset();
  canvas_.reset();
  bitmap_.reset();
}

// ---- Parameters ----

void TuiScrollBar::SetKind(TScrollBarKind Value) {
  if (kind_ == Value) return;
  kind_ = Value;
  if (ComponentState().Contains(csLoading)) {
    CalculateGeometry();
  } else {
    SetBounds(Left(), Top(), Height(), Width());
  }
  Invalidate();
}

void TuiScrollBar::SetLookAndFeel(TuiLookAndFeel* Value) { lookAndFeel_->Assign(Value); }

void TuiScrollBar::SetScrollParams(Integer AMin, Integer AMax, Integer APosition, Integer APageSize, bool ARedraw) {
  if (AMax < AMin || AMax < APageSize)
    throw EInvalidOperation(uicontrolsconsts::scxScrollBarPropertyOutOfRange);
  const bool redraw = ARedraw && HandleAllocated();
  APosition = std::clamp(APosition, AMin, AMax);
  if (min_ == AMin && max_ == AMax && pageSize_ == APageSize && position_ == APosition) return;
  min_ = AMin;
  max_ = AMax;
  pageSize_ = APageSize;
  if (position_ == APosition) {
    CalculateThumb();
    if (redraw) RepaintBar();
    return;
  }
  SetEnabled(true);
  position_ = APosition;
  CalculateThumb();
  if (redraw) RepaintBar();
  Change();
}

void TuiScrollBar::Change() {
  Perform(CM_CHANGED, 0, reinterpret_cast<LPARAM>(this));
  onChange_(this);
}

void TuiScrollBar::DoScroll(TScrollCode AScrollCode, Integer& AScrollPos) { onScroll_(this, AScrollCode, AScrollPos); }

void TuiScrollBar::Scroll(TScrollCode ACode) {
  Integer pos = position_;
  switch (ACode) {
    case scLineUp: pos -= smallChange_; break;
    case scLineDown: pos += smallChange_; break;
    case scPageUp: pos -= largeChange_; break;
    case scPageDown: pos += largeChange_; break;
    case scTop: pos = min_; break;
    case scBottom: pos = max_; break;
    default: break;
  }
  pos = std::clamp(pos, min_, max_);
  DoScroll(ACode, pos);
  pos = std::clamp(pos, min_, max_);
  if (pos == position_) return;
  if (ACode == scTrack) {
    position_ = pos;
    RepaintBar();
  } else {
    SetPosition(pos);
  }
}

// ---- Geometry ----

void TuiScrollBar::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  const TRect before = BoundsRect();
  TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  const TRect after = BoundsRect();
  const bool changed = before.left != after.left || before.top != after.top || before.right != after.right ||
                       before.bottom != after.bottom;
  if (changed && Width() > 0 && Height() > 0) {
    bitmap_->SetSize(Width(), Height());
    CalculateGeometry();
  }
}

TuiLookAndFeelPainterClass TuiScrollBar::Painter() const {
  return lookAndFeel_->GetPainterClassForObject(totScrollBar);
}

void TuiScrollBar::CalculateMinThumbLength() {
  minThumbLength_ = kMinThumbLength;
  if (Painter() != PainterClass<TuiWinXPLookAndFeelPainter>()) return;
  HTHEME theme = OpenThemeObject(totScrollBar);
  if (theme == nullptr) return;
  const int part = kind_ == sbHorizontal ? kGripperHorzPart : kGripperVertPart;
  SIZE minSize{}, trueSize{};
  HDC dc = canvas_->GetDCHandle();
  const bool hasMin = SUCCEEDED(GetThemePartSize(theme, dc, part, 1, TS_MIN, minSize));
  const bool hasTrue = SUCCEEDED(GetThemePartSize(theme, dc, part, 1, TS_TRUE, trueSize));
  Integer length = 0;
  if (hasMin && hasTrue) {
    length = kind_ == sbHorizontal ? std::max<Integer>(minSize.cx, trueSize.cx + 4)
                                   : std::max<Integer>(minSize.cy, trueSize.cy + 4);
  } else if (hasMin) {
    length = kind_ == sbHorizontal ? minSize.cx : minSize.cy;
  }
  if (length >= kMinThumbLength) minThumbLength_ = length;
}

void TuiScrollBar::CalculateGeometry() {
  const bool vertical = kind_ == sbVertical;
  const Integer barLength = vertical ? Height() : Width();
  const Integer arrow =
      std::min<Integer>(GetSystemMetrics(vertical ? SM_CXVSCROLL : SM_CYHSCROLL), barLength / 2);
  if (vertical) {
    arrow1_ = TRect{0, 0, Width(), arrow};
    arrow2_ = TRect{0, Height() - arrow, Width(), Height()};
  } else {
    arrow1_ = TRect{0, 0, arrow, Height()};
    arrow2_ = TRect{Width() - arrow, 0, Width(), Height()};
  }
  CalculateThumb();
}

Integer TuiScrollBar::TrackStart() const { return kind_ == sbVertical ? arrow1_.bottom : arrow1_.right; }

Integer TuiScrollBar::TrackEnd() const { return kind_ == sbVertical ? arrow2_.top : arrow2_.left; }

void TuiScrollBar::CalculateThumb() {
  thumb_ = TRect{};
  if (Enabled()) {
    const Integer track = TrackEnd() - TrackStart();
    Integer length = 0;
    Integer offset = -1;
    if (pageSize_ != 0) {
      if (track >= minThumbLength_ && max_ != min_) {
        length = std::min(track, MulDiv(pageSize_, track, max_ - min_ + 1));
        length = std::max(length, minThumbLength_);
        const Integer d = max_ - min_ - pageSize_ + 1;
        // Nothing to move over when the page covers the range.
        offset = d <= 0 ? 0 : MulDiv(track - length, std::min(position_ - min_, d), d);
      }
    } else {
      length = GetSystemMetrics(kind_ == sbVertical ? SM_CYVTHUMB : SM_CXHTHUMB);
      if (track >= length) {
        offset = track - length <= 0 || max_ == min_ ? 0 : MulDiv(track - length, position_ - min_, max_ - min_);
      }
    }
    if (offset >= 0) {
      const Integer start = TrackStart() + offset;
      thumb_ = kind_ == sbVertical ? TRect{0, start, Width(), start + length}
                                   : TRect{start, 0, start + length, Height()};
    }
  }
  SetPageAreas();
}

void TuiScrollBar::SetPageAreas() {
  if (k58::gdi::RectEmpty(thumb_)) {
    page1_ = page2_ = TRect{};
  } else if (kind_ == sbVertical) {
    page1_ = TRect{0, TrackStart(), Width(), thumb_.top};
    page2_ = TRect{0, thumb_.bottom, Width(), TrackEnd()};
  } else {
    page1_ = TRect{TrackStart(), 0, thumb_.left, Height()};
    page2_ = TRect{thumb_.right, 0, TrackEnd(), Height()};
  }
}

Integer TuiScrollBar::PositionFromThumb() const {
  const Integer thumbLength = kind_ == sbVertical ? thumb_.bottom - thumb_.top : thumb_.right - thumb_.left;
  const Integer room = TrackEnd() - TrackStart() - thumbLength;
  if (room <= 0) return min_;
  Integer range = max_ - min_;
  if (pageSize_ > 0) range = range + 1 - pageSize_;
  const Integer offset = (kind_ == sbVertical ? thumb_.top : thumb_.left) - TrackStart();
  return std::clamp(min_ + MulDiv(range, offset, room), min_, max_);
}

TRect TuiScrollBar::PartBounds(TuiScrollBarPart APart) const {
  switch (APart) {
    case sbpLineUp: return arrow1_;
    case sbpLineDown: return arrow2_;
    case sbpThumbnail: return thumb_;
    case sbpPageUp: return page1_;
    case sbpPageDown: return page2_;
    default: return TRect{};
  }
}

TuiScrollBarPart TuiScrollBar::GetPartAt(Integer X, Integer Y) const {
  for (TuiScrollBarPart part : {sbpLineUp, sbpLineDown, sbpThumbnail, sbpPageUp, sbpPageDown})
    if (Contains(PartBounds(part), X, Y)) return part;
  return sbpNone;
}

// ---- Painting ----

TuiButtonState TuiScrollBar::PartState(TuiScrollBarPart APart) const {
  if (!Enabled()) return uibsDisabled;
  if (APart == sbpThumbnail && !Painter()->HasHotTrackedButtons()) return uibsNormal;
  if (pressedPart_ != sbpNone) return APart == pressedPart_ && APart == hotPart_ ? uibsPressed : uibsNormal;
  return APart == hotPart_ && !ComponentState().Contains(csDesigning) ? uibsHot : uibsNormal;
}

void TuiScrollBar::Paint() {
  const TuiLookAndFeelPainterClass painter = Painter();
  const bool horizontal = kind_ == sbHorizontal;
  if (k58::gdi::RectEmpty(thumb_)) {
    painter->PaintScrollBarPart(canvas_.get(), horizontal, ClientRect(), sbpPageUp, uibsNormal);
  } else {
    painter->PaintScrollBarPart(canvas_.get(), horizontal, thumb_, sbpThumbnail, PartState(sbpThumbnail));
  }
  painter->PaintScrollBarPart(canvas_.get(), horizontal, arrow1_, sbpLineUp, PartState(sbpLineUp));
  painter->PaintScrollBarPart(canvas_.get(), horizontal, arrow2_, sbpLineDown, PartState(sbpLineDown));
  if (!k58::gdi::RectEmpty(page1_))
    painter->PaintScrollBarPart(canvas_.get(), horizontal, page1_, sbpPageUp, PartState(sbpPageUp));
  if (!k58::gdi::RectEmpty(page2_))
    painter->PaintScrollBarPart(canvas_.get(), horizontal, page2_, sbpPageDown, PartState(sbpPageDown));
  TCustomControl::Canvas()->Draw(0, 0, bitmap_.get());
}

void TuiScrollBar::RepaintBar() {
  if (HandleAllocated()) Repaint();
}

void TuiScrollBar::WMEraseBkgnd(TWMEraseBkgnd& Message) { Message.Result = 1; }

// ---- Mouse ----

void TuiScrollBar::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  const TuiScrollBarPart part = GetPartAt(X, Y);
  if (part == sbpNone) return;
  if (part == sbpThumbnail) {
    mouseDownPoint_ = TPoint{X, Y};
    savedPosition_ = position_;
    savedThumbOrigin_ = TPoint{thumb_.left, thumb_.top};
    Scroll(scTrack);
  } else {
    ScrollStep(part);
    repeatTimer_->SetInterval(kFirstRepeatDelay);
    repeatTimer_->SetEnabled(true);
  }
  pressedPart_ = part;
  hotPart_ = part;
  RepaintBar();
}

void TuiScrollBar::ScrollStep(TuiScrollBarPart APart) {
  switch (APart) {
    case sbpLineUp: Scroll(scLineUp); break;
    case sbpLineDown: Scroll(scLineDown); break;
    case sbpPageUp: Scroll(scPageUp); break;
    case sbpPageDown: Scroll(scPageDown); break;
    default: break;
  }
}

void TuiScrollBar::RepeatStep(TObject*) {
  if (!MouseCapture() || pressedPart_ == sbpNone || pressedPart_ == sbpThumbnail) {
    StopScrolling();
    return;
  }
  repeatTimer_->SetInterval(kRepeatInterval);
  ScrollStep(pressedPart_);
  TPoint cursor{};
  ::GetCursorPos(&cursor);
  const TPoint p = ScreenToClient(cursor);
  repeatTimer_->SetEnabled(GetPartAt(p.x, p.y) == pressedPart_);
}

void TuiScrollBar::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  if (pressedPart_ == sbpThumbnail) {
    DragThumb(TPoint{X, Y});
    return;
  }
  const TuiScrollBarPart part = GetPartAt(X, Y);
  if (pressedPart_ != sbpNone) repeatTimer_->SetEnabled(part == pressedPart_);
  if (part == hotPart_) return;
  hotPart_ = part;
  if (Painter()->HasHotTrackedButtons()) RepaintBar();
}

void TuiScrollBar::DragThumb(const TPoint& P) {
  const bool vertical = kind_ == sbVertical;
  TRect area = ClientRect();
  if (vertical) {
    ::InflateRect(&area, kTrackingAcross, kTrackingAlong);
  } else {
    ::InflateRect(&area, kTrackingAlong, kTrackingAcross);
  }
  if (!unlimitedTracking_ && !Contains(area, P.x, P.y)) {
    SetPosition(savedPosition_);
    Scroll(scTrack);
    return;
  }
  Integer offset = vertical ? P.y - mouseDownPoint_.y : P.x - mouseDownPoint_.x;
  if (offset == 0) return;
  const Integer length = vertical ? thumb_.bottom - thumb_.top : thumb_.right - thumb_.left;
  const Integer origin = vertical ? savedThumbOrigin_.y : savedThumbOrigin_.x;
  const Integer start = std::clamp(origin + offset, TrackStart(), std::max(TrackStart(), TrackEnd() - length));
  thumb_ = vertical ? TRect{0, start, Width(), start + length} : TRect{start, 0, start + length, Height()};
  SetPageAreas();
  RepaintBar();
  const Integer pos = PositionFromThumb();
  if (pos != position_) {
    position_ = pos;
    Scroll(scTrack);
  }
}

void TuiScrollBar::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  StopScrolling();
  hotPart_ = GetPartAt(X, Y);
  TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TuiScrollBar::StopScrolling() {
  if (pressedPart_ == sbpNone) return;
  if (pressedPart_ == sbpThumbnail) {
    // The drag stored its positions without a change notice; the position it ends on is reported
    // once here, unless the drag ended where it began.
    const Integer pos = PositionFromThumb();
    if (pos == position_ && pos != savedPosition_) {
      Change();
    } else {
      SetPosition(pos);
    }
    Scroll(scPosition);
  }
  repeatTimer_->SetEnabled(false);
  pressedPart_ = sbpNone;
  hotPart_ = sbpNone;
  Scroll(scEndScroll);
  CalculateThumb();
  Invalidate();
}

// ---- Messages ----

void TuiScrollBar::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_HSCROLL:
    case CN_VSCROLL:
      Scroll(static_cast<TScrollCode>(static_cast<TWMScroll&>(Message).ScrollCode()));
      break;
    case CN_CTLCOLORSCROLLBAR:
      RefreshScrollBarHatchBitmaps();
      Message.Result = ::DefWindowProc(Handle(), Message.Msg, Message.WParam, Message.LParam);
      break;
    default: TCustomControl::Dispatch(Message); break;
  }
}

void TuiScrollBar::WMCancelMode(TWMNoParams& Message) {
  StopScrolling();
  TCustomControl::WMCancelMode(Message);
}

void TuiScrollBar::CMEnabledChanged(TMessage& Message) {
  TCustomControl::CMEnabledChanged(Message);
  CalculateGeometry();
  if (!Enabled()) StopScrolling();
  Invalidate();
}

void TuiScrollBar::CMVisibleChanged(TMessage& Message) {
  if (!Visible()) StopScrolling();
  TCustomControl::CMVisibleChanged(Message);
}

void TuiScrollBar::CMMouseEnter(TCMMouseEnter& Message) {
  TCustomControl::CMMouseEnter(Message);
  if (Painter()->HasHotTrackedButtons() || (pressedPart_ != sbpNone && pressedPart_ != sbpThumbnail)) RepaintBar();
}

void TuiScrollBar::CMMouseLeave(TCMMouseLeave& Message) {
  TCustomControl::CMMouseLeave(Message);
  if (pressedPart_ != sbpThumbnail) hotPart_ = sbpNone;
  if (Painter()->HasHotTrackedButtons() || (pressedPart_ != sbpNone && pressedPart_ != sbpThumbnail)) RepaintBar();
}

void TuiScrollBar::CMSysColorChange(TMessage& Message) {
  RefreshScrollBarHatchBitmaps();
  TCustomControl::CMSysColorChange(Message);
}

void TuiScrollBar::LookAndFeelChanged(TuiLookAndFeel*, TuiLookAndFeelValues) {
  CalculateMinThumbLength();
  CalculateGeometry();
  Invalidate();
}

void TuiScrollBar::ThemeChanged(TObject*) {
  CalculateMinThumbLength();
  CalculateGeometry();
  RefreshScrollBarHatchBitmaps();
  Invalidate();
  if (Parent() != nullptr) Parent()->Realign();
}
