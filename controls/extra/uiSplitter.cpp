// Hot-zone styles of a splitter: zone geometry, the four looks and their registry.
#include "controls/extra/uiSplitter.h"

#include <algorithm>
#include <initializer_list>

#include "platform/classes/ClassBuilder.h"

namespace {

TuiRegisteredClasses* hotZoneStyleRegistry = nullptr;
Integer splitterUnitCount = 0;

struct TZoneSegment {
  TPoint From, To;
};

void DrawSegments(TuiCanvas* ACanvas, TColor AColor, std::initializer_list<TZoneSegment> ASegments) {
  for (const TZoneSegment& s : ASegments) DrawLine(ACanvas->Canvas(), AColor, s.From, s.To);
}

void FillWithColor(TuiCanvas* ACanvas, const TRect& R, TColor AColor) {
  ACanvas->Canvas()->Brush()->SetColor(AColor);
  ACanvas->Canvas()->FillRect(R);
}

// Holds the canvas lock for a scope.
class TCanvasLock {
 public:
  explicit TCanvasLock(TCanvas* ACanvas) : canvas_(ACanvas) { canvas_->Lock(); }
  ~TCanvasLock() { canvas_->Unlock(); }
  TCanvasLock(const TCanvasLock&) = delete;
  TCanvasLock& operator=(const TCanvasLock&) = delete;

 private:
  TCanvas* canvas_;
};

}  // namespace

// ---- Base ---------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiHotZoneStyle) {
  using S = TuiHotZoneStyle;
  b.Prop("SizePercent", &S::SizePercent, &S::SetSizePercent).Default(30);
  b.Prop("Visible", &S::Visible, &S::SetVisible).Default(true);
}

void TuiHotZoneStyle::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TuiHotZoneStyle*>(Source)) {
    SetSizePercent(source->SizePercent());
    SetVisible(source->Visible());
  } else {
    TPersistent::Assign(Source);
  }
}

void TuiHotZoneStyle::SetSizePercent(TuiNaturalNumber Value) {
  if (sizePercent_ == Value) return;
  sizePercent_ = Value;
  Changed();
}

void TuiHotZoneStyle::SetVisible(bool Value) {
  if (visible_ == Value) return;
  visible_ = Value;
  Changed();
}

void TuiHotZoneStyle::SetColorValue(TColor& AField, TColor AValue) {
  if (AField == AValue) return;
  AField = AValue;
  Changed();
}

void TuiHotZoneStyle::Changed() {
  if (owner_ != nullptr) owner_->HotZoneStyleChanged();
}

Byte TuiHotZoneStyle::GetDirection() { return owner_ != nullptr ? owner_->HotZoneDirection() : 0; }

TColor TuiHotZoneStyle::OwnerColor() { return owner_ != nullptr ? owner_->HotZoneOwnerColor() : clBtnFace; }

TRect TuiHotZoneStyle::CalculateZoneRect(const TRect& ABounds) {
  const bool upright = IsUpright();
  const Integer size = upright ? ABounds.bottom - ABounds.top : ABounds.right - ABounds.left;
  // In 64 bits and within the splitter: a large percentage fills the whole length.
  const Int64 product = static_cast<Int64>(sizePercent_) * size / 100;
  const Integer length = static_cast<Integer>(std::clamp<Int64>(product, 0, std::max<Integer>(size, 0)));
  const Integer start = size / 2 - length / 2;
  zoneRect_ = upright ? TRect{ABounds.left, start, ABounds.left + 7, start + length}
                      : TRect{start, ABounds.top, start + length, ABounds.top + 7};
  return zoneRect_;
}

TRect TuiHotZoneStyle::DrawZone(TuiCanvas* ACanvas, const TRect& ABounds, bool AHighlighted, bool APressed) {
  const TRect result = CalculateZoneRect(ABounds);
  TCanvasLock lock(ACanvas->Canvas());
  ACanvas->Canvas()->Brush()->SetColor(OwnerColor());
  DrawZoneBackground(ACanvas, zoneRect_, AHighlighted, APressed);
  DrawZoneMarks(ACanvas, AHighlighted, APressed);
  return result;
}

// ---- Marks ----------------------------------------------------------------------------------------------

void DrawZoneArrow(TuiCanvas* ACanvas, const TRect& ABox, bool AHighlighted, Byte ADirection,
                   TColor AHighlightColor, TColor AColor, bool APressed) {
  const TColor color = AHighlighted && !APressed ? AHighlightColor : AColor;
  Integer size = ADirection <= 1 ? ABox.bottom - ABox.top : ABox.right - ABox.left;
  if (size % 2 != 0) --size;
  const Integer e = size / 2 + 1;
  const Integer l = ABox.left, t = ABox.top;
  for (Integer i = 0; i <= 3; ++i) {
    const Integer k = i == 3 ? 1 : 0;
    for (const Integer side : {e - i, e + i}) {
      switch (ADirection) {
        case 0: DrawLine(ACanvas->Canvas(), color, {l + 4 - i + k, t + side}, {l + 6 - i, t + side}); break;
        case 1: DrawLine(ACanvas->Canvas(), color, {l + 2 + i, t + side}, {l + 3 + i + (1 - k), t + side}); break;
        case 2: DrawLine(ACanvas->Canvas(), color, {l + side, t + 4 - i + k}, {l + side, t + 6 - i}); break;
        default: DrawLine(ACanvas->Canvas(), color, {l + side, t + 2 + i}, {l + side, t + 3 + i + (1 - k)}); break;
      }
    }
  }
}

void DrawDotRun(TuiCanvas* ACanvas, const TRect& ARect, bool AInverted, Integer AAcross, Integer AStep,
                Byte ADirection, TColor AShadowColor, TColor ALightColor, bool AFromStart) {
  const bool upright = ADirection <= 1;
  const Integer start = upright ? ARect.top : ARect.left;
  const Integer end = upright ? ARect.bottom : ARect.right;
  const auto dot = [&](Integer p) {
    const Integer x = upright ? ARect.left + AAcross : p;
    const Integer y = upright ? p : ARect.top + AAcross;
    const TRect outer{x, y, x + 2, y + 2}, inner{x + 1, y + 1, x + 3, y + 3};
    FillWithColor(ACanvas, AInverted ? inner : outer, ALightColor);
    FillWithColor(ACanvas, AInverted ? outer : inner, AShadowColor);
  };
  if (AFromStart) {
    for (Integer p = start + AStep; p + AStep <= end; p += AStep + 2) dot(p);
  } else {
    for (Integer p = end - 2 * AStep; p >= start; p -= AStep + 2) dot(p);
  }
}

// ---- Media player 9 -------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiMediaPlayer9Style) {
  using S = TuiMediaPlayer9Style;
  b.Prop("ArrowColor", &S::ArrowColor, &S::SetArrowColor).Type("TColor").Default(clWindowText);
  b.Prop("ArrowHighlightColor", &S::ArrowHighlightColor, &S::SetArrowHighlightColor).Type("TColor").Default(0xFF0000);
  b.Prop("LightColor", &S::LightColor, &S::SetLightColor).Type("TColor").Default(clWindow);
  b.Prop("BorderColor", &S::BorderColor, &S::SetBorderColor).Type("TColor").Default(clBtnShadow);
  b.Prop("ShadowStartColor", &S::ShadowStartColor, &S::SetShadowStartColor).Type("TColor").Default(0xF5E6CD);
  b.Prop("ShadowHighlightStartColor", &S::ShadowHighlightStartColor, &S::SetShadowHighlightStartColor)
      .Type("TColor")
      .Default(0xAFF5C3);
}

void TuiMediaPlayer9Style::Assign(TPersistent* Source) {
  TuiHotZoneStyle::Assign(Source);
  if (auto* source = dynamic_cast<TuiMediaPlayer9Style*>(Source)) {
    SetArrowColor(source->ArrowColor());
    SetArrowHighlightColor(source->ArrowHighlightColor());
    SetLightColor(source->LightColor());
    SetBorderColor(source->BorderColor());
    SetShadowStartColor(source->ShadowStartColor());
    SetShadowHighlightStartColor(source->ShadowHighlightStartColor());
  }
}

TRect TuiMediaPlayer9Style::CalculateZoneRect(const TRect& ABounds) {
  const TRect z = TuiHotZoneStyle::CalculateZoneRect(ABounds);
  if (IsUpright()) {
    const Integer middle = z.top + (z.bottom - z.top) / 2;
    arrowBox_ = TRect{z.left, middle - 7, z.left + 7, middle + 7};
  } else {
    const Integer middle = z.left + (z.right - z.left) / 2;
    arrowBox_ = TRect{middle - 7, z.top, middle + 7, z.top + 7};
  }
  return z;
}

void TuiMediaPlayer9Style::DrawZoneBackground(TuiCanvas* ACanvas, const TRect& ARect, bool AHighlighted,
                                              bool APressed) {
  const bool upright = IsUpright();
  TRect f = ARect;
  if (upright)
    ExtendRect(f, 0, 1, 0, -1);
  else
    ExtendRect(f, 1, 0, -1, 0);
  TCanvas* canvas = ACanvas->Canvas();
  canvas->Pen()->SetColor(borderColor_);
  FillWithColor(ACanvas, f, lightColor_);
  DrawFrame3D(ACanvas, f, borderColor_, borderColor_);

  const TColor start = AHighlighted ? shadowHighlightStartColor_ : shadowStartColor_;
  const Integer o1 = APressed ? 1 : 4, o2 = APressed ? 0 : 2;
  const Integer firstShade = APressed ? -60 : 0, step = APressed ? 30 : -30;
  const auto shade = [&](Integer n) {
    const Integer d = firstShade + n * step;
    return LightenColor(start, d, d, d);
  };
  const Integer l = ARect.left, t = ARect.top, r = ARect.right, b = ARect.bottom;
  if (upright) {
    DrawSegments(ACanvas, lightColor_, {{{l + 2, t + 1}, {r - 1, t + 1}}});
    DrawSegments(ACanvas, borderColor_, {{{l + 1, t}, {r, t}}});
    DrawSegments(ACanvas, lightColor_, {{{l + 2, b - 1}, {r - 1, b - 1}}});
    DrawSegments(ACanvas, borderColor_, {{{l + 1, b}, {r, b}}});
    DrawSegments(ACanvas, shade(0), {{{l + o1, t + o2}, {l + o1, b + o2 - 2}}});
    DrawSegments(ACanvas, shade(1), {{{l + o1 + 1, t + o2 + 1}, {l + o1 + 1, b + o2 - 2}}});
    DrawSegments(ACanvas, shade(2), {{{l + o1 + 2, t + o2 + 1}, {l + o1 + 2, b + o2 - 3}}});
  } else {
    DrawSegments(ACanvas, lightColor_, {{{l + 1, t + 2}, {l + 1, b - 1}}});
    DrawSegments(ACanvas, borderColor_, {{{l, t + 1}, {l, b}}});
    DrawSegments(ACanvas, lightColor_, {{{r - 1, t + 2}, {r - 1, b - 1}}});
    DrawSegments(ACanvas, borderColor_, {{{r, t + 1}, {r, b}}});
    DrawSegments(ACanvas, shade(0), {{{l + o2, t + o1}, {r + o2 - 2, t + o1}}});
    DrawSegments(ACanvas, shade(1), {{{l + o2 + 1, t + o1 + 1}, {r + o2 - 2, t + o1 + 1}}});
    DrawSegments(ACanvas, shade(2), {{{l + o2 + 1, t + o1 + 2}, {r + o2 - 3, t + o1 + 2}}});
  }
  canvas->Pen()->SetColor(OwnerColor());
  canvas->Brush()->SetColor(OwnerColor());
}

void TuiMediaPlayer9Style::DrawZoneMarks(TuiCanvas* ACanvas, bool AHighlighted, bool APressed) {
  DrawZoneArrow(ACanvas, arrowBox_, AHighlighted, GetDirection(), arrowHighlightColor_, arrowColor_, APressed);
}

// ---- Media player 8 -------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiMediaPlayer8Style) {
  using S = TuiMediaPlayer8Style;
  b.Prop("ArrowColor", &S::ArrowColor, &S::SetArrowColor).Type("TColor").Default(clWindowText);
  b.Prop("ArrowHighlightColor", &S::ArrowHighlightColor, &S::SetArrowHighlightColor).Type("TColor").Default(clWindow);
  b.Prop("LightColor", &S::LightColor, &S::SetLightColor).Type("TColor").Default(clWindow);
  b.Prop("ShadowColor", &S::ShadowColor, &S::SetShadowColor).Type("TColor").Default(clBtnShadow);
}

void TuiMediaPlayer8Style::Assign(TPersistent* Source) {
  TuiHotZoneStyle::Assign(Source);
  if (auto* source = dynamic_cast<TuiMediaPlayer8Style*>(Source)) {
    SetArrowColor(source->ArrowColor());
    SetArrowHighlightColor(source->ArrowHighlightColor());
    SetLightColor(source->LightColor());
    SetShadowColor(source->ShadowColor());
  }
}

TRect TuiMediaPlayer8Style::CalculateZoneRect(const TRect& ABounds) {
  const TRect z = TuiHotZoneStyle::CalculateZoneRect(ABounds);
  if (IsUpright()) {
    const Integer h = ((z.bottom - z.top) - 27) / 2;
    leadingDotsRect_ = TRect{z.left, z.top + 4, z.right, z.top + h + 4};
    trailingDotsRect_ = TRect{z.left, z.bottom - h - 4, z.right, z.bottom - 4};
    arrowBox_ = TRect{z.left, z.top + h + 4, z.left + 7, z.top + h + 23};
  } else {
    const Integer h = ((z.right - z.left) - 27) / 2;
    leadingDotsRect_ = TRect{z.left + 4, z.top, z.left + h + 4, z.bottom};
    trailingDotsRect_ = TRect{z.right - h - 4, z.top, z.right - 4, z.bottom};
    arrowBox_ = TRect{z.left + h + 4, z.top, z.left + h + 23, z.top + 7};
  }
  return z;
}

void TuiMediaPlayer8Style::DrawZoneBackground(TuiCanvas* ACanvas, const TRect& ARect, bool, bool APressed) {
  const TColor owner = OwnerColor();
  ACanvas->Canvas()->Pen()->SetColor(owner);
  FillWithColor(ACanvas, ARect, owner);
  const Integer L = ARect.left, T = ARect.top, R = ARect.right, B = ARect.bottom;
  switch (GetDirection()) {
    case 0:
      DrawSegments(ACanvas, shadowColor_,
                   {{{L, B - 4}, {L, T + 3}}, {{R, B}, {R, T}}, {{L + 1, B - 2}, {L + 1, B - 4}},
                    {{L + 1, T + 2}, {L + 1, T + 4}}, {{L + 2, B - 1}, {L + 4, B - 1}}, {{L + 2, T + 1}, {L + 4, T + 1}},
                    {{L + 4, B}, {R, B}}, {{L + 4, T}, {R + 1, T}}});
      if (!APressed)
        DrawSegments(ACanvas, lightColor_,
                     {{{L + 1, B - 4}, {L + 1, T + 3}}, {{L + 2, T + 2}, {L + 2, T + 4}}, {{L + 2, T + 2}, {L + 4, T + 2}},
                      {{L + 4, T + 1}, {R, T + 1}}, {{L + 2, B - 2}, {L + 2, B - 4}}, {{L + 2, B - 2}, {L + 4, B - 2}},
                      {{L + 4, B - 1}, {L + 5, B - 1}}});
      else
        DrawSegments(ACanvas, lightColor_,
                     {{{R - 1, B - 1}, {R - 1, T + 1}}, {{L + 2, B - 2}, {L + 4, B - 2}}, {{L + 4, B - 1}, {L + 7, B - 1}}});
      break;
    case 1:
      DrawSegments(ACanvas, shadowColor_,
                   {{{R, B - 4}, {R, T + 3}}, {{L, B}, {L, T}}, {{R - 1, B - 2}, {R - 1, B - 4}},
                    {{R - 1, T + 2}, {R - 1, T + 4}}, {{R - 2, B - 1}, {R - 4, B - 1}}, {{R - 2, T + 1}, {R - 4, T + 1}},
                    {{R - 4, B}, {L, B}}, {{R - 3, T}, {L - 1, T}}});
      if (!APressed)
        DrawSegments(ACanvas, lightColor_,
                     {{{L + 1, B - 1}, {L + 1, T + 1}}, {{L + 1, T + 1}, {L + 4, T + 1}}, {{L + 4, T + 2}, {L + 6, T + 2}}});
      else
        DrawSegments(ACanvas, lightColor_,
                     {{{L + 3, T + 1}, {L + 4, T + 1}}, {{L + 4, T + 2}, {L + 6, T + 2}}, {{L + 5, T + 2}, {L + 5, T + 4}},
                      {{L + 6, T + 4}, {L + 6, B - 3}}, {{L + 1, B - 1}, {L + 4, B - 1}}, {{L + 4, B - 2}, {L + 6, B - 2}},
                      {{L + 5, B - 2}, {L + 5, B - 4}}});
      break;
    case 2:
      DrawSegments(ACanvas, shadowColor_,
                   {{{L + 4, T}, {R - 3, T}}, {{L, B}, {R, B}}, {{L + 2, T + 1}, {L + 4, T + 1}},
                    {{R - 2, T + 1}, {R - 4, T + 1}}, {{L + 1, T + 2}, {L + 1, T + 4}}, {{R - 1, T + 2}, {R - 1, T + 4}},
                    {{L, T + 4}, {L, B}}, {{R, T + 4}, {R, B + 1}}});
      if (!APressed)
        DrawSegments(ACanvas, lightColor_,
                     {{{L + 4, T + 1}, {R - 3, T + 1}}, {{R - 2, T + 2}, {R - 4, T + 2}}, {{R - 2, T + 2}, {R - 2, T + 4}},
                      {{R - 1, T + 4}, {R - 1, B}}, {{L + 2, T + 2}, {L + 4, T + 2}}, {{L + 2, T + 2}, {L + 2, T + 4}},
                      {{L + 1, T + 4}, {L + 1, T + 5}}});
      else
        DrawSegments(ACanvas, lightColor_,
                     {{{L + 1, B - 1}, {R - 1, B - 1}}, {{L + 2, T + 2}, {L + 2, T + 4}}, {{L + 1, T + 4}, {L + 1, T + 7}}});
      break;
    default:
      DrawSegments(ACanvas, shadowColor_,
                   {{{L + 4, B}, {R - 3, B}}, {{L, T}, {R, T}}, {{L + 2, B - 1}, {L + 4, B - 1}},
                    {{R - 2, B - 1}, {R - 4, B - 1}}, {{L + 1, B - 2}, {L + 1, B - 4}}, {{R - 1, B - 2}, {R - 1, B - 4}},
                    {{L, B - 4}, {L, T}}, {{R, B - 3}, {R, T - 1}}});
      if (!APressed)
        DrawSegments(ACanvas, lightColor_,
                     {{{L + 1, T + 1}, {R - 1, T + 1}}, {{L + 2, B - 2}, {L + 2, B - 4}}, {{L + 1, B - 4}, {L + 1, B - 7}}});
      else
        DrawSegments(ACanvas, lightColor_,
                     {{{L + 4, B - 1}, {R - 3, B - 1}}, {{R - 2, B - 2}, {R - 4, B - 2}}, {{R - 2, B - 2}, {R - 2, B - 4}},
                      {{R - 1, B - 4}, {R - 1, T}}, {{L + 2, B - 2}, {L + 4, B - 2}}, {{L + 2, B - 2}, {L + 2, B - 4}},
                      {{L + 1, B - 4}, {L + 1, B - 5}}});
      break;
  }
}

void TuiMediaPlayer8Style::DrawZoneMarks(TuiCanvas* ACanvas, bool AHighlighted, bool APressed) {
  const Byte direction = GetDirection();
  DrawDotRun(ACanvas, leadingDotsRect_, APressed, 3, 3, direction, shadowColor_, lightColor_, false);
  DrawDotRun(ACanvas, trailingDotsRect_, APressed, 3, 3, direction, shadowColor_, lightColor_, true);
  FillWithColor(ACanvas, arrowBox_, OwnerColor());
  if (APressed)
    DrawFrame3D(ACanvas, arrowBox_, lightColor_, shadowColor_);
  else
    DrawFrame3D(ACanvas, arrowBox_, shadowColor_, lightColor_);
  DrawZoneArrow(ACanvas, arrowBox_, AHighlighted, direction, arrowHighlightColor_, arrowColor_, APressed);
}

// ---- Task bar ---------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiXPTaskBarStyle) {
  using S = TuiXPTaskBarStyle;
  b.Prop("LightColor", &S::LightColor, &S::SetLightColor).Type("TColor").Default(clWindow);
  b.Prop("ShadowColor", &S::ShadowColor, &S::SetShadowColor).Type("TColor").Default(clBtnShadow);
}

void TuiXPTaskBarStyle::Assign(TPersistent* Source) {
  TuiHotZoneStyle::Assign(Source);
  if (auto* source = dynamic_cast<TuiXPTaskBarStyle*>(Source)) {
    SetLightColor(source->LightColor());
    SetShadowColor(source->ShadowColor());
  }
}

TRect TuiXPTaskBarStyle::CalculateZoneRect(const TRect& ABounds) {
  const TRect z = TuiHotZoneStyle::CalculateZoneRect(ABounds);
  // Halving the far edge itself gives the middle of the thickness, since the zone begins at 0 across.
  if (IsUpright()) {
    leadingDotsRect_ = TRect{z.left + 1, z.top, z.right / 2, z.bottom};
    trailingDotsRect_ = TRect{z.right / 2 + 1, z.top + 3, z.right, z.bottom};
  } else {
    leadingDotsRect_ = TRect{z.left, z.top + 1, z.right, z.bottom / 2};
    trailingDotsRect_ = TRect{z.left + 3, z.bottom / 2 + 1, z.right, z.bottom};
  }
  return z;
}

void TuiXPTaskBarStyle::DrawZoneBackground(TuiCanvas* ACanvas, const TRect& ARect, bool, bool) {
  ACanvas->Canvas()->Pen()->SetColor(OwnerColor());
  FillWithColor(ACanvas, ARect, OwnerColor());
}

void TuiXPTaskBarStyle::DrawZoneMarks(TuiCanvas* ACanvas, bool, bool APressed) {
  const Byte direction = GetDirection();
  DrawDotRun(ACanvas, leadingDotsRect_, !APressed, 0, 4, direction, shadowColor_, lightColor_, true);
  DrawDotRun(ACanvas, trailingDotsRect_, !APressed, 0, 4, direction, shadowColor_, lightColor_, true);
}

// ---- Simple -----------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiSimpleStyle) {
  using S = TuiSimpleStyle;
  b.Prop("ArrowColor", &S::ArrowColor, &S::SetArrowColor).Type("TColor").Default(clWindowText);
  b.Prop("ArrowHighlightColor", &S::ArrowHighlightColor, &S::SetArrowHighlightColor).Type("TColor").Default(clWindow);
  b.Prop("LightColor", &S::LightColor, &S::SetLightColor).Type("TColor").Default(clWindow);
  b.Prop("ShadowColor", &S::ShadowColor, &S::SetShadowColor).Type("TColor").Default(clBtnShadow);
  b.Prop("DotsColor", &S::DotsColor, &S::SetDotsColor).Type("TColor").Default(clHighlight);
  b.Prop("DotsShadowColor", &S::DotsShadowColor, &S::SetDotsShadowColor).Type("TColor").Default(clWindow);
}

void TuiSimpleStyle::Assign(TPersistent* Source) {
  TuiHotZoneStyle::Assign(Source);
  if (auto* source = dynamic_cast<TuiSimpleStyle*>(Source)) {
    SetArrowColor(source->ArrowColor());
    SetArrowHighlightColor(source->ArrowHighlightColor());
    SetLightColor(source->LightColor());
    SetShadowColor(source->ShadowColor());
    SetDotsColor(source->DotsColor());
    SetDotsShadowColor(source->DotsShadowColor());
  }
}

TRect TuiSimpleStyle::CalculateZoneRect(const TRect& ABounds) {
  const TRect z = TuiHotZoneStyle::CalculateZoneRect(ABounds);
  if (IsUpright()) {
    leadingArrowBox_ = TRect{z.left, z.top + 5, z.right, z.top + 12};
    trailingArrowBox_ = TRect{z.left, z.bottom - 12, z.right, z.bottom - 5};
  } else {
    leadingArrowBox_ = TRect{z.left + 5, z.top, z.left + 12, z.bottom};
    trailingArrowBox_ = TRect{z.right - 12, z.top, z.right - 5, z.bottom};
  }
  return z;
}

void TuiSimpleStyle::DrawZoneBackground(TuiCanvas* ACanvas, const TRect& ARect, bool, bool APressed) {
  const TColor owner = OwnerColor();
  const TRect inner = DrawFrame3D(ACanvas, ARect, shadowColor_, shadowColor_);
  FillWithColor(ACanvas, inner, owner);
  if (APressed)
    DrawFrame3D(ACanvas, inner, owner, lightColor_);
  else
    DrawFrame3D(ACanvas, inner, lightColor_, owner);
  ACanvas->Canvas()->Pen()->SetColor(clHighlight);
  ACanvas->Canvas()->Brush()->SetColor(clHighlight);
  const TColor first = APressed ? dotsColor_ : dotsShadowColor_;
  const TColor second = APressed ? dotsShadowColor_ : dotsColor_;
  const Integer L = ARect.left, T = ARect.top, R = ARect.right, B = ARect.bottom;
  // Integer division truncates toward zero: lengths 30 and 31 still give one pair.
  if (!IsUpright()) {
    const Integer cy = T + (B - T) / 2, n = (R - L - 32) / 3;
    for (Integer j = 0; n >= 0 && j <= n; ++j) {
      ACanvas->SetPixel(L + 15 + 3 * j, cy, first);
      ACanvas->SetPixel(L + 16 + 3 * j, cy + 1, second);
    }
  } else {
    const Integer cx = L + (R - L) / 2, n = (B - T - 32) / 3;
    for (Integer j = 0; n >= 0 && j <= n; ++j) {
      ACanvas->SetPixel(cx, T + 15 + 3 * j, first);
      ACanvas->SetPixel(cx + 1, T + 16 + 3 * j, second);
    }
  }
}

void TuiSimpleStyle::DrawZoneMarks(TuiCanvas* ACanvas, bool AHighlighted, bool APressed) {
  const Byte direction = GetDirection();
  DrawZoneArrow(ACanvas, leadingArrowBox_, AHighlighted, direction, arrowHighlightColor_, arrowColor_, APressed);
  DrawZoneArrow(ACanvas, trailingArrowBox_, AHighlighted, direction, arrowHighlightColor_, arrowColor_, APressed);
}

// ---- Registry ---------------------------------------------------------------------------------------------

TuiHotZoneStyle* CreateHotZoneStyle(TClass AClass, IuiHotZoneStyleOwner* AOwner) {
  TObjectPtr<TObject> object = AClass->Create();
  auto* style = dynamic_cast<TuiHotZoneStyle*>(object.get());
  if (style == nullptr) RaiseInvalidCast();
  object.release();
  style->SetOwner(AOwner);
  return style;
}

TuiRegisteredClasses* GetHotZoneStyleRegistry() {
  // Never sorted: the order is the order of registration.
  if (hotZoneStyleRegistry == nullptr) hotZoneStyleRegistry = new TuiRegisteredClasses(false);
  return hotZoneStyleRegistry;
}

namespace k58::extra {

namespace {
const std::pair<TClass (*)(), const char*> kHotZoneStyles[] = {
    {&TuiMediaPlayer8Style::StaticClass, "MediaPlayer8"},
    {&TuiMediaPlayer9Style::StaticClass, "MediaPlayer9"},
    {&TuiXPTaskBarStyle::StaticClass, "XPTaskBar"},
    {&TuiSimpleStyle::StaticClass, "Simple"},
};
}  // namespace

void StartSplitterUnit() {
  if (splitterUnitCount++ > 0) return;
  for (const auto& [cls, name] : kHotZoneStyles) GetHotZoneStyleRegistry()->Register(cls(), name);
}

void StopSplitterUnit() {
  if (splitterUnitCount == 0 || --splitterUnitCount > 0) return;
  for (const auto& [cls, name] : kHotZoneStyles) GetHotZoneStyleRegistry()->Unregister(cls());
  FreeAndNil(hotZoneStyleRegistry);
}

}  // namespace k58::extra
