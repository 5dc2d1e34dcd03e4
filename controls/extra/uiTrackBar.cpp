// The track bar: settings and value conversion, keys, mouse and dragging, the layout of track, thumb,
// selection and ticks, and its off-screen painting.
#include "controls/extra/uiTrackBar.h"

#include <algorithm>
#include <cmath>

#include "controls/foundation/uxThemeManager.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/rtl/Numbers.h"
#include "platform/rtl/RtlMath.h"
#include "platform/rtl/Utf.h"

namespace {

Integer trackBarUnitCount = 0;

// Track bar part numbers of the visual style.
constexpr int TKP_TRACK = 1, TKP_TRACKVERT = 2, TKP_THUMB = 3, TKP_THUMBBOTTOM = 4, TKP_THUMBTOP = 5,
              TKP_THUMBVERT = 6, TKP_THUMBLEFT = 7, TKP_THUMBRIGHT = 8;

bool IsTrackBarThemeUsable(TuiLookAndFeel* ALookAndFeel) {
  return ALookAndFeel != nullptr && ALookAndFeel->NativeStyle() && AreThemesUsableFor(ThemedObjectMask(totTrackBar));
}

// The range in 64 bits: Max - Min of two 32-bit values does not wrap.
Int64 TrackRange(const TuiCustomTrackBarProperties* P) {
  const Int64 range = Int64{P->Max()} - P->Min();
  return range == 0 ? 1 : range;
}

}  // namespace

// ---- Properties -------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomTrackBarProperties) {}

K58_IMPLEMENT_CLASS(TuiTrackBarProperties) {
  using S = TuiTrackBarProperties;
  b.Prop("AutoSize", &S::AutoSize, &S::SetAutoSize).Default(true);
  b.Prop("BorderWidth", &S::BorderWidth, &S::SetBorderWidth).Default(0);
  b.Prop("Frequency", &S::Frequency, &S::SetFrequency).Default(1);
  b.Prop("Min", &S::Min, &S::SetMin).Default(0);
  b.Prop("Max", &S::Max, &S::SetMax).Default(10);
  b.Prop("Orientation", &S::Orientation, &S::SetOrientation).Default(tboHorizontal);
  b.Prop("TextOrientation", &S::TextOrientation, &S::SetTextOrientation).Default(tbtoHorizontal);
  b.Prop("PageSize", &S::PageSize, &S::SetPageSize).Default(1);
  b.Prop("SelectionStart", &S::SelectionStart, &S::SetSelectionStart).Default(0);
  b.Prop("SelectionEnd", &S::SelectionEnd, &S::SetSelectionEnd).Default(0);
  b.Prop("SelectionColor", &S::SelectionColor, &S::SetSelectionColor).Type("TColor").Default(clHighlight);
  b.Prop("ShowTicks", &S::ShowTicks, &S::SetShowTicks).Default(true);
  b.Prop("ThumbType", &S::ThumbType, &S::SetThumbType).Default(uittRegular);
  b.Prop("ShowTrack", &S::ShowTrack, &S::SetShowTrack).Default(true);
  b.Prop("TickColor", &S::TickColor, &S::SetTickColor).Type("TColor").Default(clWindowText);
  b.Prop("TickType", &S::TickType, &S::SetTickType).Default(tbttTicks);
  b.Prop("TickMarks", &S::TickMarks, &S::SetTickMarks).Default(uitmBottomRight);
  b.Prop("TickSize", &S::TickSize, &S::SetTickSize).Default(3);
  b.Prop("TrackColor", &S::TrackColor, &S::SetTrackColor).Type("TColor").Default(clWindow);
  b.Prop("TrackSize", &S::TrackSize, &S::SetTrackSize).Default(5);
  b.Prop("ThumbHeight", &S::ThumbHeight, &S::SetThumbHeight).Default(12);
  b.Prop("ThumbWidth", &S::ThumbWidth, &S::SetThumbWidth).Default(7);
  b.Prop("ThumbColor", &S::ThumbColor, &S::SetThumbColor).Type("TColor").Default(clBtnFace);
  b.Prop("ThumbHighlightColor", &S::ThumbHighlightColor, &S::SetThumbHighlightColor).Type("TColor").Default(0xC0C0C0);
  b.Prop("ThumbStep", &S::ThumbStep, &S::SetThumbStep).Default(uitsNormal);
  b.Prop("OnGetThumbRect", &S::OnGetThumbRect, &S::SetOnGetThumbRect);
  b.Prop("OnDrawThumb", &S::OnDrawThumb, &S::SetOnDrawThumb);
  b.Prop("OnChange", &S::OnChange, &S::SetOnChange);
}

void TuiCustomTrackBarProperties::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TuiCustomTrackBarProperties*>(Source);
  if (s == nullptr) return TuiCustomEditProperties::Assign(Source);
  BeginUpdate();
  try {
    TuiCustomEditProperties::Assign(Source);
    SetAutoSize(s->AutoSize());
    SetBorderWidth(s->BorderWidth());
    SetFrequency(s->Frequency());
    SetMin(s->Min());
    SetMax(s->Max());
    SetOrientation(s->Orientation());
    SetTextOrientation(s->TextOrientation());
    SetPageSize(s->PageSize());
    SetSelectionStart(s->SelectionStart());
    SetSelectionEnd(s->SelectionEnd());
    SetSelectionColor(s->SelectionColor());
    SetShowTicks(s->ShowTicks());
    SetThumbType(s->ThumbType());
    SetShowTrack(s->ShowTrack());
    SetTickColor(s->TickColor());
    SetTickType(s->TickType());
    SetTickMarks(s->TickMarks());
    SetTickSize(s->TickSize());
    SetTrackColor(s->TrackColor());
    SetTrackSize(s->TrackSize());
    SetThumbHeight(s->ThumbHeight());
    SetThumbWidth(s->ThumbWidth());
    SetThumbColor(s->ThumbColor());
    SetThumbHighlightColor(s->ThumbHighlightColor());
    SetThumbStep(s->ThumbStep());
    onGetThumbRect_ = s->onGetThumbRect_;
    onDrawThumb_ = s->onDrawThumb_;
  } catch (...) {
    EndUpdate(true);
    throw;
  }
  EndUpdate(true);
}

void TuiCustomTrackBarProperties::SetMin(Integer Value) {
  if (min_ == Value) return;
  min_ = Value;
  if (max_ < min_) max_ = min_;
  Changed();
}

void TuiCustomTrackBarProperties::SetMax(Integer Value) {
  if (max_ == Value) return;
  max_ = Value;
  if (min_ > max_) min_ = max_;
  Changed();
}

Integer TuiCustomTrackBarProperties::ClampValue(Int64 AValue) const {
  return static_cast<Integer>(std::clamp<Int64>(AValue, min_, std::max(min_, max_)));
}

Integer TuiCustomTrackBarProperties::EditValueToPosition(const Variant& AValue) const {
  if (VarIsOrdinal(AValue)) return static_cast<Integer>(std::clamp<Int64>(AValue.AsInt64(), INT32_MIN, INT32_MAX));
  // A text the integer test accepts converts the same way, so "$1A" is 26.
  if (VarIsStr(AValue)) {
    const String text = VarToStr(AValue);
    return IsIntegerText(text) ? IntegerTextValue(text) : min_;
  }
  return min_;
}

TClass TuiCustomTrackBarProperties::GetViewDataClass() const { return TuiCustomTrackBarViewData::StaticClass(); }
TClass TuiCustomTrackBarProperties::GetEditClass() const { return TuiTrackBar::StaticClass(); }
TClass TuiCustomTrackBarProperties::GetStyleClass() const { return TuiTrackBarStyle::StaticClass(); }
TClass TuiCustomTrackBarProperties::GetViewInfoClass() const { return TuiCustomTrackBarViewInfo::StaticClass(); }

TuiCustomEditViewData* TuiCustomTrackBarProperties::CreateViewData(TuiEditStyle* AStyle, bool AIsInplace,
                                                                   bool ALockedState) {
  auto* viewData = new TuiCustomTrackBarViewData(this, AStyle, AIsInplace);
  viewData->ApplyProperties();
  viewData->EmptyDrawValue = ALockedState;
  return viewData;
}

WideString TuiCustomTrackBarProperties::GetDisplayText(const Variant& AEditValue, bool) {
  Variant value;
  PrepareDisplayValue(AEditValue, value, false);
  return k58::rtl::Utf8ToUtf16(VarToStr(value));
}

void TuiCustomTrackBarProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool) {
  LockChanged(true);
  ADisplayValue = Variant(ClampValue(EditValueToPosition(AEditValue)));
  LockChanged(false);
}

// ---- Style --------------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiTrackBarStyle) {}

TuiContainerBorderStyle TuiTrackBarStyle::GetDefaultBorderStyle() const {
  return IsNormalStyle() ? cbsNone : TuiEditStyle::GetDefaultBorderStyle();
}

// ---- View info ----------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomTrackBarViewInfo) {}

TuiCustomTrackBarViewInfo::TuiCustomTrackBarViewInfo() : LookAndFeel(new TuiLookAndFeel(nullptr)), bitmap_(new TBitmap) {}

TuiCustomTrackBarViewInfo::~TuiCustomTrackBarViewInfo() = default;

bool TuiCustomTrackBarViewInfo::Assign(TuiContainerViewInfo* AViewInfo) {
  if (auto* s = dynamic_cast<TuiCustomTrackBarViewInfo*>(AViewInfo)) {
    LookAndFeel->Assign(s->LookAndFeel.get());
    Position = s->Position;
    TrackSize = s->TrackSize;
    ThumbWidth = s->ThumbWidth;
    ThumbHeight = s->ThumbHeight;
    BorderWidthValue = s->BorderWidthValue;
    ThumbState = s->ThumbState;
    SelectionStart = s->SelectionStart;
    SelectionEnd = s->SelectionEnd;
    // What the repaint compares.
    ThumbRect = s->ThumbRect;
    TrackRect = s->TrackRect;
    SelectionRect = s->SelectionRect;
    HasSelection = s->HasSelection;
    TickColor = s->TickColor;
    MouseState = s->MouseState;
  }
  return TuiCustomEditViewInfo::Assign(AViewInfo);
}

bool TuiCustomTrackBarViewInfo::RepaintChanges(TWinControl* AControl, const TRect& AInnerEditRect,
                                               TuiContainerViewInfo* AOldViewInfo) {
  bool result = TuiCustomEditViewInfo::RepaintChanges(AControl, AInnerEditRect, AOldViewInfo);
  auto* old = dynamic_cast<TuiCustomTrackBarViewInfo*>(AOldViewInfo);
  const bool same = old != nullptr && old->Position == Position && old->ThumbState == ThumbState &&
                    EqualRect(&old->ThumbRect, &ThumbRect) && EqualRect(&old->TrackRect, &TrackRect) &&
                    EqualRect(&old->SelectionRect, &SelectionRect) && old->HasSelection == HasSelection &&
                    old->TickColor == TickColor;
  if (!same && AControl->HandleAllocated()) {
    TRect r = Bounds;
    OffsetRect(&r, PaintOffset.x, PaintOffset.y);
    InvalidateRect(AControl->Handle(), &r, FALSE);
    result = true;
  }
  return result;
}

void TuiCustomTrackBarViewInfo::OffsetRects(Integer DX, Integer DY) {
  TuiCustomEditViewInfo::OffsetRects(DX, DY);
  OffsetRect(&ClientArea, DX, DY);
}

std::vector<std::pair<Int64, Integer>> TuiCustomTrackBarViewInfo::TickPositions() const {
  std::vector<std::pair<Int64, Integer>> ticks;
  if (BarProperties == nullptr) return ticks;
  const Int64 min = BarProperties->Min(), max = std::max(BarProperties->Min(), BarProperties->Max());
  const bool horizontal = BarProperties->Orientation() == tboHorizontal;
  const Integer start = (horizontal ? TrackRect.left : TrackRect.top) + ThumbAlong / 2;
  const auto position = [&](Int64 v) {
    return static_cast<Integer>(std::clamp<double>(std::trunc(double(v - min) * PixelsPerUnit), -1e9, 1e9)) + start;
  };
  ticks.emplace_back(min, position(min));
  const Int64 frequency = BarProperties->Frequency();
  if (frequency > 0 && PixelsPerUnit > 0) {
    // The first multiple of the frequency above Min; then each next one that lands on a new pixel.
    Int64 v = (min >= 0 ? min / frequency : -((-min + frequency - 1) / frequency)) * frequency;
    if (v <= min) v += frequency;
    Integer last = ticks.back().second;
    while (v < max) {
      const Integer p = position(v);
      if (p > last) {
        ticks.emplace_back(v, p);
        last = p;
        v += frequency;
        continue;
      }
      // Jump to the first value whose pixel lies past the last drawn one.
      const Int64 needed = min + static_cast<Int64>(std::ceil((last + 1 - start) / PixelsPerUnit));
      Int64 next = needed <= v ? v + frequency : needed;
      next = ((next - 1) / frequency + (next > 0 ? 1 : 0)) * frequency;
      if (next <= v) next = v + frequency;
      v = next;
    }
  }
  if (max != min) ticks.emplace_back(max, position(max));
  return ticks;
}

void TuiCustomTrackBarViewInfo::DrawTrack(TuiCanvas* ACanvas) {
  if (Themed) {
    if (HTHEME theme = OpenThemeObject(totTrackBar)) {
      const bool horizontal = BarProperties->Orientation() == tboHorizontal;
      DrawThemeBackground(theme, ACanvas->GetDCHandle(), horizontal ? TKP_TRACK : TKP_TRACKVERT, ThumbState, TrackRect);
      return;
    }
  }
  ACanvas->FillRectWithColor(TrackRect, BarProperties->TrackColor());
  TRect r = TrackRect;
  r.right -= 1;
  switch (LookAndFeel->Kind()) {
    case lfFlat:
      DrawFrame3D(ACanvas, DrawFrame3D(ACanvas, r, clBtnShadow, clBtnHighlight), clBtnFace, clBtnFace);
      break;
    case lfStandard:
      DrawFrame3D(ACanvas, DrawFrame3D(ACanvas, r, clBtnShadow, clBtnHighlight), cl3DDkShadow, cl3DLight);
      break;
    default: DrawFrame3D(ACanvas, r, clWindowFrame, clWindowFrame); break;
  }
}

void TuiCustomTrackBarViewInfo::DrawSelection(TuiCanvas* ACanvas) {
  ACanvas->FillRectWithColor(SelectionRect, BarProperties->SelectionColor());
}

void TuiCustomTrackBarViewInfo::DrawTicks(TuiCanvas* ACanvas) {
  TCanvas* c = ACanvas->Canvas();
  if (Font != nullptr) c->SetFont(Font);
  c->Font()->SetColor(TextColor);
  c->Pen()->SetColor(TickColor);
  c->Brush()->SetColor(clBtnFace);
  const bool verticalText = BarProperties->TextOrientation() == tbtoVertical;
  if (verticalText) c->Font()->SetOrientation(900);
  const bool horizontal = BarProperties->Orientation() == tboHorizontal;
  const TuiTrackBarTickMarks marks = BarProperties->TickMarks();
  const bool bottomRight = marks != uitmTopLeft, topLeft = marks != uitmBottomRight;
  const Int64 min = BarProperties->Min(), max = BarProperties->Max();
  const Integer size = BarProperties->TickSize();
  for (const auto& [v, tick] : TickPositions()) {
    const bool end = v == min || v == max;
    const Integer length = end ? size + size / 2 : size;
    const TuiTrackBarTickType type = BarProperties->TickType();
    const bool number = type == tbttNumbers || (type == tbttValueNumber && (end || v == Position));
    if (!number) {
      if (horizontal) {
        if (bottomRight) DrawLine(c, TickColor, {tick, ThumbRect.bottom + 2}, {tick, ThumbRect.bottom + 2 + length});
        if (topLeft) DrawLine(c, TickColor, {tick, ThumbRect.top - length - 1}, {tick, ThumbRect.top - 1});
      } else {
        if (bottomRight) DrawLine(c, TickColor, {ThumbRect.right + 2, tick}, {ThumbRect.right + 2 + length, tick});
        if (topLeft) DrawLine(c, TickColor, {ThumbRect.left - length - 1, tick}, {ThumbRect.left - 1, tick});
      }
      continue;
    }
    const String text = IntToStr(v);
    const Integer tw = c->TextWidth(text), th = c->TextHeight(text);
    c->Brush()->SetStyle(bsClear);
    const auto out = [&](Integer ALeft, Integer ATop) { c->TextOut(ALeft, ATop, text); };
    if (horizontal) {
      const Integer left = tick - (verticalText ? th : tw) / 2;
      if (bottomRight) out(left, ThumbRect.bottom + 1 + (verticalText ? tw : 0));
      if (topLeft) out(left, verticalText ? ThumbRect.top - 1 : ThumbRect.top - th - 1);
    } else {
      const Integer top = tick - th / 2 + (verticalText ? tw / 2 : 0);
      if (bottomRight) out(ThumbRect.right + 2, top);
      if (topLeft) out(ThumbRect.left - (verticalText ? th : tw) - 1, top);
    }
    c->Brush()->SetStyle(bsSolid);
  }
  if (verticalText) c->Font()->SetOrientation(0);
}

Integer TuiCustomTrackBarViewInfo::GetThumbThemePart() {
  const bool horizontal = BarProperties->Orientation() == tboHorizontal;
  switch (BarProperties->TickMarks()) {
    case uitmBoth: return horizontal ? TKP_THUMB : TKP_THUMBVERT;
    case uitmTopLeft: return horizontal ? TKP_THUMBTOP : TKP_THUMBLEFT;
    default: return horizontal ? TKP_THUMBBOTTOM : TKP_THUMBRIGHT;
  }
}

TRect TuiCustomTrackBarViewInfo::GetThumbHitRect() {
  TRect r = ThumbRect;
  SIZE size{};
  HTHEME theme = Themed ? OpenThemeObject(totTrackBar) : nullptr;
  if (theme != nullptr && SUCCEEDED(GetThemePartSize(theme, 0, GetThumbThemePart(), ThumbState, TS_DRAW, size))) {
    const Integer cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    r = TRect{cx - size.cx / 2, cy - size.cy / 2, cx - size.cx / 2 + size.cx, cy - size.cy / 2 + size.cy};
  } else {
    r.right += 1;
    r.bottom += 1;
  }
  // The layout's rectangles are in the editor's bounds, which begin at the control's origin.
  OffsetRect(&r, Bounds.left, Bounds.top);
  return r;
}

namespace {

struct TThumbShape {
  std::vector<TPoint> Fill, E1, E2, E3;
};

// The pointed thumbs: 0 down, 1 right, 2 up, 3 left.
TThumbShape PointedThumbShape(int AShape, const TRect& R, Integer c) {
  const Integer L = R.left, T = R.top, Rr = R.right, B = R.bottom;
  switch (AShape) {
    case 0:
      return {{{Rr - 1, T + 1}, {L + 1, T + 1}, {L + 1, B - c}, {L + c - 1, B - 1}, {L + c, B - 1}, {Rr - 1, B - c}},
              {{Rr, T}, {L, T}, {L, B - c}, {L + c, B}},
              {{L + c, B - 1}, {Rr - 1, B - c}, {Rr - 1, T + 1}},
              {{L + c, B}, {Rr, B - c}, {Rr, T}}};
    case 1:
      return {{{L + 1, B}, {L + 1, T + 1}, {Rr - c, T + 1}, {Rr - 1, T + c}, {Rr - 1, T + c + 1}, {Rr - c, B}},
              {{L, B}, {L, T}, {Rr - c, T}, {Rr, T + c}},
              {{L + 1, B}, {Rr - c, B}, {Rr - 1, B - c + 1}},
              {{L, B + 1}, {Rr - c, B + 1}, {Rr, B - c + 1}}};
    case 2:
      return {{{Rr - 1, B - 2}, {L + 1, B - 2}, {L + 1, T + c}, {L + c - 1, T + 2}, {L + c, T + 2}, {Rr - 1, T + c}},
              {{L, B}, {L, T + c}, {L + c, T}},
              {{L + c, T + 1}, {Rr - 1, T + c}, {Rr - 1, B - 1}, {L, B - 1}},
              {{L + c, T}, {Rr, T + c}, {Rr, B}, {L, B}}};
    default:
      return {{{Rr - 2, B}, {Rr - 2, T + 1}, {L + c, T + 1}, {L + 1, T + c}, {L + 1, T + c + 1}, {L + c, B}},
              {{Rr, T}, {L + c, T}, {L, T + c}},
              {{Rr - 1, T + 1}, {Rr - 1, B}, {L + c, B}, {L + 1, B - c + 1}},
              {{Rr, T}, {Rr, B + 1}, {L + c, B + 1}, {L, B - c + 1}}};
  }
}

}  // namespace

void TuiCustomTrackBarViewInfo::DrawThumb(TuiCanvas* ACanvas) {
  if (Themed) {
    if (HTHEME theme = OpenThemeObject(totTrackBar)) {
      DrawThemeBackground(theme, ACanvas->GetDCHandle(), GetThumbThemePart(), ThumbState, ThumbRect);
      return;
    }
  }
  const TuiLookAndFeelKind kind = LookAndFeel->Kind();
  const bool flatKind = kind == lfUltraFlat || kind == lfOffice11;
  TColor color = BarProperties->ThumbColor();
  if (ThumbState == tbsHot || ThumbState == tbsPressed)
    color = flatKind ? GetFlatButtonColor(ThumbState == tbsPressed, kind == lfOffice11)
                     : BarProperties->ThumbHighlightColor();
  else if (ThumbState == tbsDisabled)
    color = clBtnShadow;
  const TuiTrackBarTickMarks marks = BarProperties->TickMarks();
  if (marks == uitmBoth) {
    TRect r = ThumbRect;
    if (kind == lfFlat)
      r = DrawFrame3D(ACanvas, r, clWindow, clBtnShadow);
    else if (kind == lfStandard)
      r = DrawFrame3D(ACanvas, DrawFrame3D(ACanvas, r, clWindow, clWindowFrame), clBtnFace, clBtnShadow);
    else
      r = DrawFrame3D(ACanvas, r, clWindowFrame, clWindowFrame);
    r.right += 1;
    r.bottom += 1;
    ACanvas->FillRectWithColor(r, color);
    return;
  }
  const bool horizontal = BarProperties->Orientation() == tboHorizontal;
  const int shape = marks == uitmBottomRight ? (horizontal ? 0 : 1) : (horizontal ? 2 : 3);
  const TThumbShape s = PointedThumbShape(shape, ThumbRect, ThumbAlong / 2);
  if (shape <= 1) {
    DrawPolyLine(ACanvas, s.E1, clWindow);
    DrawPolyLine(ACanvas, s.E2, clBtnShadow);
    DrawPolyLine(ACanvas, s.E3, clWindowText);
  }
  TCanvas* c = ACanvas->Canvas();
  c->Pen()->SetColor(color);
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(color);
  c->Polygon(s.Fill);
  switch (kind) {
    case lfFlat:
      DrawPolyLine(ACanvas, s.E1, clBtnHighlight);
      DrawPolyLine(ACanvas, s.E3, clBtnShadow);
      break;
    case lfStandard:
      DrawPolyLine(ACanvas, s.E1, clBtnHighlight);
      DrawPolyLine(ACanvas, s.E2, clBtnShadow);
      DrawPolyLine(ACanvas, s.E3, cl3DDkShadow);
      break;
    default:
      DrawPolyLine(ACanvas, s.E1, clWindowText);
      DrawPolyLine(ACanvas, s.E3, clWindowText);
      break;
  }
}

void TuiCustomTrackBarViewInfo::DrawContent(TuiCanvas* ACanvas) {
  if (BarProperties->ShowTrack()) {
    DrawTrack(ACanvas);
    if (HasSelection) DrawSelection(ACanvas);
  }
  if (BarProperties->ShowTicks()) DrawTicks(ACanvas);
  switch (BarProperties->ThumbType()) {
    case uittRegular: DrawThumb(ACanvas); break;
    case uittCustom:
      if (BarProperties->OnDrawThumb().Assigned()) BarProperties->OnDrawThumb()(BarProperties, ACanvas, ThumbRect);
      break;
    case uittNone: break;
  }
}

void TuiCustomTrackBarViewInfo::Paint(TuiCanvas* ACanvas) {
  if (BarProperties == nullptr) return TuiCustomEditViewInfo::Paint(ACanvas);
  const Integer w = RectWidth(Bounds), h = RectHeight(Bounds);
  if (w <= 0 || h <= 0) return;
  bitmap_->SetSize(w, h);
  TuiCanvas canvas(bitmap_->Canvas());
  const bool transparent = Control != nullptr && static_cast<TuiCustomEdit*>(Control)->Transparent();
  if (!IsInplace) {
    if (transparent || Themed) {
      PaintParentImage(Control, &canvas, TRect{0, 0, w, h});
    } else {
      canvas.SetWindowOrigin(TPoint{Bounds.left, Bounds.top});
      DrawEditButtons(&canvas, this, true, 0);
      canvas.SetWindowOrigin(TPoint{0, 0});
    }
  } else if (transparent) {
    BitBlt(bitmap_->Canvas()->Handle(), 0, 0, w, h, ACanvas->GetDCHandle(), Bounds.left, Bounds.top, SRCCOPY);
  } else {
    canvas.SetWindowOrigin(TPoint{Bounds.left, Bounds.top});
    if (!CustomDrawInplaceBackground(&canvas)) canvas.FillRectWithColor(Bounds, BackgroundColor);
    canvas.SetWindowOrigin(TPoint{0, 0});
  }
  const Integer saved = canvas.SaveState();
  try {
    canvas.IntersectClipRect(ContentArea);
    DrawContent(&canvas);
  } catch (...) {
    canvas.RestoreState(saved);
    throw;
  }
  canvas.RestoreState(saved);
  BitBlt(ACanvas->GetDCHandle(), Bounds.left, Bounds.top, w, h, bitmap_->Canvas()->Handle(), 0, 0, SRCCOPY);
}

// ---- View data ----------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomTrackBarViewData) {}

bool TuiCustomTrackBarViewData::CustomThumbRect(TRect& R) const {
  TuiCustomTrackBarProperties* p = BarProperties();
  if (p->ThumbType() != uittCustom || !p->OnGetThumbRect().Assigned()) return false;
  R = TRect{};
  p->OnGetThumbRect()(p, R);
  return true;
}

void TuiCustomTrackBarViewData::Calculate(TuiCanvas* ACanvas, const TRect& ABounds, const TPoint& P, Byte AButton,
                                          TShiftState AShift, TuiCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  TuiCustomEditViewData::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  auto* vi = dynamic_cast<TuiCustomTrackBarViewInfo*>(AViewInfo);
  if (vi == nullptr) return;
  vi->LookAndFeel->Assign(style_->LookAndFeel());
  vi->ThumbState = !Enabled                                   ? tbsDisabled
                   : (vi->MouseState & tbmsDragging) != 0 ? tbsPressed
                   : (vi->MouseState & tbmsThumbHot) != 0 ? tbsHot
                                                              : tbsNormal;
  if (Edit != nullptr) {
    Variant value;
    Properties->PrepareDisplayValue(Edit->EditValue(), value, Focused);
    vi->Position = value.AsInteger();
  }
  ApplyPropertiesToViewInfo(vi);
  vi->SetBackgroundColor(style_->Color());
  CalculateLayout(ACanvas, vi);
  vi->Control = Edit;
}

void TuiCustomTrackBarViewData::EditValueToDrawValue(TuiCanvas*, const Variant& AEditValue,
                                                     TuiCustomEditViewInfo* AViewInfo) {
  if (auto* vi = dynamic_cast<TuiCustomTrackBarViewInfo*>(AViewInfo)) {
    Variant value;
    Properties->PrepareDisplayValue(AEditValue, value, false);
    vi->Position = value.AsInteger();
  }
}

void TuiCustomTrackBarViewData::GetButtonsSizeCorrection(TuiCanvas* ACanvas, TuiCustomEditViewInfo* AViewInfo,
                                                         TSize& AConstantPartSize, TSize& AMinContentSize) {
  TuiCustomEditViewData::GetButtonsSizeCorrection(ACanvas, AViewInfo, AConstantPartSize, AMinContentSize);
  if (auto* vi = dynamic_cast<TuiCustomTrackBarViewInfo*>(AViewInfo)) AMinContentSize.cx += RectWidth(vi->ThumbRect);
  AMinContentSize.cy += ACanvas->MeasureTextHeight("Wg");
}

void TuiCustomTrackBarViewData::ApplyPropertiesToViewInfo(TuiCustomTrackBarViewInfo* AViewInfo) {
  TuiCustomTrackBarProperties* p = BarProperties();
  AViewInfo->BarProperties = p;
  AViewInfo->BorderWidthValue = p->BorderWidth();
  AViewInfo->TrackSize = p->TrackSize();
  AViewInfo->SelectionStart = p->SelectionStart();
  AViewInfo->SelectionEnd = p->SelectionEnd();
  AViewInfo->ThumbHeight = p->ThumbHeight();
  AViewInfo->ThumbWidth = p->ThumbWidth();
  AViewInfo->TickColor = Enabled ? p->TickColor() : clBtnShadow;
}

void TuiCustomTrackBarViewData::CalculateLayout(TuiCanvas* ACanvas, TuiCustomTrackBarViewInfo* AViewInfo) {
  AViewInfo->Themed = IsTrackBarThemeUsable(style_->LookAndFeel());
  CalculateContentArea(AViewInfo);
  CalculateTrackArea(ACanvas, AViewInfo);
  CalculateTrackRect(AViewInfo);
  CalculateScale(AViewInfo);
  CalculateThumbRect(AViewInfo);
  CalculateSelectionRect(AViewInfo);
}

void TuiCustomTrackBarViewData::CalculateContentArea(TuiCustomTrackBarViewInfo* AViewInfo) {
  AViewInfo->ClientArea = AViewInfo->ClientRect;
  TRect c = AViewInfo->ClientRect;
  OffsetRect(&c, -AViewInfo->Bounds.left, -AViewInfo->Bounds.top);
  AViewInfo->ContentArea = c;
  AViewInfo->BorderWidthValue = std::min({AViewInfo->BorderWidthValue, RectWidth(c) / 2, RectHeight(c) / 2});
}

Integer TuiCustomTrackBarViewData::GetTickSpace(TuiCanvas* ACanvas, TuiCustomTrackBarViewInfo* AViewInfo,
                                                bool ASideTopLeft) {
  TuiCustomTrackBarProperties* p = BarProperties();
  const bool drawn = ASideTopLeft ? p->TickMarks() != uitmBottomRight : p->TickMarks() != uitmTopLeft;
  if (!drawn) return 0;
  Integer space;
  if (p->TickType() == tbttTicks) {
    space = p->TickSize() + 1;
  } else {
    if (AViewInfo->Font != nullptr) ACanvas->SetCanvasFont(AViewInfo->Font);
    const bool across = (p->Orientation() == tboHorizontal) == (p->TextOrientation() == tbtoVertical);
    const String minText = IntToStr(p->Min()), maxText = IntToStr(p->Max());
    if (across)
      space = ACanvas->MeasureTextWidth(minText.size() > maxText.size() ? minText : maxText);
    else
      space = ACanvas->MeasureTextHeight(minText);
  }
  return space + (AViewInfo->BorderWidthValue == 0 ? 1 : 0);
}

void TuiCustomTrackBarViewData::CalculateTrackArea(TuiCanvas* ACanvas, TuiCustomTrackBarViewInfo* AViewInfo) {
  TuiCustomTrackBarProperties* p = BarProperties();
  const TRect& c = AViewInfo->ContentArea;
  const bool horizontal = p->Orientation() == tboHorizontal;
  const Integer before = GetTickSpace(ACanvas, AViewInfo, true), after = GetTickSpace(ACanvas, AViewInfo, false);
  const Integer s = (horizontal ? RectHeight(c) : RectWidth(c)) - before - after;
  Integer t = std::clamp<Integer>(s, 10, 21);
  TRect custom;
  if (CustomThumbRect(custom)) t = std::max(t, horizontal ? RectHeight(custom) : RectWidth(custom));
  AViewInfo->EndMargin = 7;
  if (p->AutoSize()) AViewInfo->TrackSize = t / 2;
  const Integer bw = AViewInfo->BorderWidthValue;
  if (horizontal) {
    const Integer top = c.top + (s - t) / 2 + before;
    AViewInfo->TrackArea = TRect{c.left + bw + 7, top, c.right - bw - 7, top + t};
  } else {
    const Integer left = c.left + (s - t) / 2 + before;
    AViewInfo->TrackArea = TRect{left, c.top + bw + 7, left + t, c.bottom - bw - 7};
  }
}

void TuiCustomTrackBarViewData::CalculateTrackRect(TuiCustomTrackBarViewInfo* AViewInfo) {
  const TRect& a = AViewInfo->TrackArea;
  const Integer size = AViewInfo->TrackSize;
  if (BarProperties()->Orientation() == tboHorizontal) {
    const Integer top = a.top + (RectHeight(a) - size) / 2;
    AViewInfo->TrackRect = TRect{a.left, top, a.right, top + size};
  } else {
    const Integer left = a.left + (RectWidth(a) - size) / 2;
    AViewInfo->TrackRect = TRect{left, a.top, left + size, a.bottom};
  }
  BarProperties()->TrackRect = AViewInfo->TrackRect;
}

void TuiCustomTrackBarViewData::CalculateScale(TuiCustomTrackBarViewInfo* AViewInfo) {
  TuiCustomTrackBarProperties* p = BarProperties();
  const bool horizontal = p->Orientation() == tboHorizontal;
  AViewInfo->PointedThumb = p->TickMarks() != uitmBoth;
  TRect custom;
  Integer along, across;
  if (CustomThumbRect(custom)) {
    along = horizontal ? RectWidth(custom) : RectHeight(custom);
    across = horizontal ? RectHeight(custom) : RectWidth(custom);
  } else if (p->AutoSize()) {
    const Integer size = AViewInfo->TrackSize;
    along = size % 2 == 0 ? size : (horizontal ? size + 1 : size - 1);
    across = 2 * along - 1;
  } else {
    along = p->ThumbWidth();
    across = p->ThumbHeight() - 1;
  }
  AViewInfo->ThumbAlong = along;
  AViewInfo->ThumbAcross = across;
  const Integer length = horizontal ? RectWidth(AViewInfo->TrackRect) : RectHeight(AViewInfo->TrackRect);
  AViewInfo->PixelsPerUnit = double(length - along) / double(TrackRange(p));
  p->PixelsPerUnit = AViewInfo->PixelsPerUnit;
}

void TuiCustomTrackBarViewData::CalculateThumbRect(TuiCustomTrackBarViewInfo* AViewInfo) {
  TuiCustomTrackBarProperties* p = BarProperties();
  const TRect& t = AViewInfo->TrackRect;
  const Integer a = AViewInfo->ThumbAlong, q = AViewInfo->ThumbAcross, size = AViewInfo->TrackSize;
  const double offset = double(Int64{AViewInfo->Position} - p->Min()) * AViewInfo->PixelsPerUnit;
  TRect& r = AViewInfo->ThumbRect;
  if (p->Orientation() == tboHorizontal) {
    r.left = static_cast<Integer>(std::trunc(offset + t.left));
    r.right = r.left + 2 * (a / 2);
    r.top = t.top + size / 2 - q / 2;
    r.bottom = r.top + q;
  } else {
    const Integer e = p->TickMarks() == uitmTopLeft ? -1 : 0;
    r.top = static_cast<Integer>(std::trunc(offset + t.top));
    r.bottom = r.top + 2 * (a / 2);
    r.left = t.left + size / 2 - q / 2 + e;
    r.right = r.left + q + e;
  }
  if (AViewInfo->Themed) {
    if (p->Orientation() == tboHorizontal)
      OffsetRect(&r, 1, 0);
    else
      OffsetRect(&r, 0, 1);
  }
  p->ThumbHitRect = AViewInfo->GetThumbHitRect();
}

void TuiCustomTrackBarViewData::CalculateSelectionRect(TuiCustomTrackBarViewInfo* AViewInfo) {
  TuiCustomTrackBarProperties* p = BarProperties();
  AViewInfo->SelectionStart = p->ClampValue(AViewInfo->SelectionStart);
  AViewInfo->SelectionEnd = p->ClampValue(AViewInfo->SelectionEnd);
  AViewInfo->HasSelection = AViewInfo->SelectionStart < AViewInfo->SelectionEnd;
  if (!AViewInfo->HasSelection) {
    AViewInfo->SelectionRect = TRect{};
    return;
  }
  const TRect& t = AViewInfo->TrackRect;
  const bool horizontal = p->Orientation() == tboHorizontal;
  const Integer start = horizontal ? t.left : t.top, half = AViewInfo->ThumbAlong / 2;
  const auto at = [&](Integer v) {
    return static_cast<Integer>(std::trunc(double(Int64{v} - p->Min()) * AViewInfo->PixelsPerUnit + start)) + half;
  };
  const Integer from = at(AViewInfo->SelectionStart), to = at(AViewInfo->SelectionEnd) + 1;
  AViewInfo->SelectionRect = horizontal ? TRect{from, t.top + 2, to, t.bottom - 2 + 1} : TRect{t.left + 2, from, t.right - 2, to};
}

// ---- Control ----------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomTrackBar) {}

K58_IMPLEMENT_CLASS(TuiTrackBar) {
  using S = TuiTrackBar;
  b.Prop("Position", &S::Position, &S::SetPosition).Default(0);
  b.Prop("Properties", &S::Properties, &S::SetProperties);
}

TuiCustomTrackBar::TuiCustomTrackBar(TComponent* AOwner) : TuiCustomEdit(AOwner, StyleClassOf<TuiTrackBarStyle>()) {}

TClass TuiCustomTrackBar::GetPropertiesClass() const { return TuiCustomTrackBarProperties::StaticClass(); }
TClass TuiTrackBar::GetPropertiesClass() const { return TuiTrackBarProperties::StaticClass(); }

void TuiCustomTrackBar::Initialize() {
  TuiCustomEdit::Initialize();
  SetEditValueForStreaming(Variant(Integer{0}));
  selectionMode_ = false;
  SetAutoSize(false);
  TControlStyle style = ControlStyle();
  for (TControlStyleItem item : {csAcceptsControls, csClickEvents, csDoubleClicks}) style.Exclude(item);
  SetControlStyle(style);
  SetWidth(196);
  SetHeight(76);
}

void TuiCustomTrackBar::InitEditSizeProperties(TSize& ASizeProperties) {
  ASizeProperties = TSize{RectWidth(EditViewInfo()->ClientRect), 1};
}

Integer TuiCustomTrackBar::CurrentPosition() {
  TuiCustomTrackBarProperties* p = ActiveBarProperties();
  return p->ClampValue(p->EditValueToPosition(EditValue()));
}

void TuiCustomTrackBar::ChangePosition(Int64 AValue) {
  TuiCustomTrackBarProperties* p = ActiveBarProperties();
  const Integer value = p->ClampValue(AValue);
  if (value == CurrentPosition() || !DoEditing()) return;
  InternalSetEditValue(Variant(value));
  p->Changed();
  SetModified(true);
  PostEditValue(false);
}

void TuiCustomTrackBar::UpdateSelection(Integer AValue) {
  TuiCustomTrackBarProperties* p = ActiveBarProperties();
  // Written directly: a selection made by the user is no settings change.
  const Integer start = AValue < selectionAnchor_ ? AValue : selectionAnchor_;
  const Integer end = AValue < selectionAnchor_ ? selectionAnchor_ : AValue;
  p->LockChanged(true);
  p->SetSelectionStart(start);
  p->SetSelectionEnd(end);
  p->LockChanged(false);
}

void TuiCustomTrackBar::KeyDown(Word& Key, TShiftState Shift) {
  TuiCustomEdit::KeyDown(Key, Shift);
  if (Key == 0) return;
  TuiCustomTrackBarProperties* p = ActiveBarProperties();
  const Int64 position = CurrentPosition();
  Int64 value = position;
  switch (Key) {
    case VK_SHIFT:
      if (!IsInplace() && !selectionMode_) {
        selectionMode_ = true;
        selectionAnchor_ = CurrentPosition();
      }
      return;
    case VK_PRIOR: value = position - p->PageSize(); break;
    case VK_NEXT: value = position + p->PageSize(); break;
    case VK_END: value = p->Max(); break;
    case VK_HOME: value = p->Min(); break;
    case VK_LEFT:
    case VK_UP: value = position - 1; break;
    case VK_RIGHT:
    case VK_DOWN: value = position + 1; break;
    default: return;
  }
  value = p->ClampValue(value);
  if (value == position) return;
  if (selectionMode_) UpdateSelection(static_cast<Integer>(value));
  ChangePosition(value);
}

void TuiCustomTrackBar::KeyUp(Word& Key, TShiftState Shift) {
  TuiCustomEdit::KeyUp(Key, Shift);
  if (Key == VK_SHIFT && !IsInplace()) selectionMode_ = false;
}

void TuiCustomTrackBar::SetMouseBit(Byte ABit, bool AValue) {
  Byte& state = BarViewInfo()->MouseState;
  const Byte before = state;
  state = static_cast<Byte>(AValue ? state | ABit : state & ~ABit);
  if (state != before) UpdateAtCursorPos(false);
}

void TuiCustomTrackBar::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TuiCustomEdit::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  TuiCustomTrackBarProperties* p = ActiveBarProperties();
  const TPoint point{X, Y};
  if (PtInRect(&p->ThumbHitRect, point)) {
    BarViewInfo()->MouseState |= tbmsDragging;
    if (Shift.Contains(ssCtrl)) {
      selectionMode_ = false;
      p->LockChanged(true);
      p->SetSelectionStart(0);
      p->SetSelectionEnd(0);
      p->LockChanged(false);
    }
    UpdateAtCursorPos(false);
    return;
  }
  const Int64 position = CurrentPosition();
  const bool horizontal = p->Orientation() == tboHorizontal;
  Int64 value = position;
  if (p->ThumbStep() == uitsJump) {
    // A track shorter than the thumb has no scale: the click answers Min.
    if (p->PixelsPerUnit <= 0) {
      value = p->Min();
    } else {
      const Integer offset = horizontal ? X - p->TrackRect.left : Y - p->TrackRect.top;
      value = static_cast<Int64>(std::trunc(std::clamp(offset / p->PixelsPerUnit, -1e12, 1e12))) + p->Min();
    }
  } else if (horizontal) {
    if (X > p->ThumbHitRect.right) value = position + 1;
    if (X < p->ThumbHitRect.left) value = position - 1;
  } else {
    if (Y > p->ThumbHitRect.bottom) value = position + 1;
    if (Y < p->ThumbHitRect.top) value = position - 1;
  }
  value = p->ClampValue(value);
  if (value != position) ChangePosition(value);
}

void TuiCustomTrackBar::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TuiCustomEdit::MouseMove(Shift, X, Y);
  TuiCustomTrackBarProperties* p = ActiveBarProperties();
  const TShiftState keys = KeyboardStateToShiftState();
  const bool dragging = (BarViewInfo()->MouseState & tbmsDragging) != 0 && keys.Contains(ssLeft);
  if (!dragging) {
    SetMouseBit(tbmsThumbHot, PtInRect(&p->ThumbHitRect, TPoint{X, Y}));
    return;
  }
  const TRect& hit = p->ThumbHitRect;
  const bool horizontal = p->Orientation() == tboHorizontal;
  const double span = double(Int64{p->Max()} - p->Min());
  const double extent = std::max<Integer>(horizontal ? Width() : Height(), 1);
  const Integer centre = horizontal ? hit.left + (hit.right - hit.left) / 2 : hit.top + (hit.bottom - hit.top) / 2;
  const Integer point = horizontal ? X : Y;
  const Int64 position = CurrentPosition();
  const Int64 value = p->ClampValue(Round(span / extent * (point - centre)) + position);
  if (value == position) return;
  if (keys.Contains(ssShift) && selectionMode_) UpdateSelection(static_cast<Integer>(value));
  ChangePosition(value);
}

void TuiCustomTrackBar::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TuiCustomEdit::MouseUp(Button, Shift, X, Y);
  Byte& state = BarViewInfo()->MouseState;
  const Byte before = state;
  state = static_cast<Byte>(state & ~tbmsDragging);
  if (PtInRect(&ActiveBarProperties()->ThumbHitRect, TPoint{X, Y}))
    state |= tbmsThumbHot;
  else
    state = static_cast<Byte>(state & ~tbmsThumbHot);
  if (state != before) UpdateAtCursorPos(false);
  if (GetCapture() == Handle()) ReleaseCapture();
}

void TuiCustomTrackBar::MouseEntered(TControl* AControl) {
  TuiCustomEdit::MouseEntered(AControl);
  Byte& state = BarViewInfo()->MouseState;
  state |= tbmsInside;
  if ((state & tbmsDragging) != 0 && !KeyboardStateToShiftState().Contains(ssLeft))
    state = static_cast<Byte>(state & ~(tbmsDragging | tbmsThumbHot));
}

void TuiCustomTrackBar::MouseLeft(TControl* AControl) {
  BarViewInfo()->MouseState = static_cast<Byte>(BarViewInfo()->MouseState & ~(tbmsInside | tbmsThumbHot));
  TuiCustomEdit::MouseLeft(AControl);
  UpdateAtCursorPos(false);
}

void TuiCustomTrackBar::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_LBUTTONUP: {
      // Releasing the button is no click.
      TControlState state = ControlState();
      state.Exclude(csClicked);
      SetControlState(state);
      break;
    }
    case WM_GETDLGCODE:
      Message.Result = DLGC_WANTARROWS | (IsInplace() ? DLGC_WANTTAB : 0);
      return;
  }
  TuiCustomEdit::WndProc(Message);
}

void TuiTrackBar::SetPosition(Integer Value) {
  TuiCustomTrackBarProperties* p = ActiveBarProperties();
  if (!IsComponentLoading(this)) Value = p->ClampValue(Value);
  if (Value == CurrentPosition() && !IsComponentLoading(this)) return;
  InternalSetEditValue(Variant(Value));
}

namespace k58::extra {

void StartTrackBarUnit() {
  if (trackBarUnitCount++ > 0) return;
  GetEditPropertiesRegistry()->Register(TuiTrackBarProperties::StaticClass(), "TrackBar|Represents a TrackBar");
}

void StopTrackBarUnit() {
  if (trackBarUnitCount == 0 || --trackBarUnitCount > 0) return;
  GetEditPropertiesRegistry()->Unregister(TuiTrackBarProperties::StaticClass());
}

}  // namespace k58::extra
