// The analog clock face.
#include "controls/editors/uiClock.h"

#include <cmath>
#include <numbers>

#include "platform/rtl/RtlMath.h"

K58_IMPLEMENT_CLASS(TuiClock) {
  using S = TuiClock;
  b.Prop("MinuteDotColor", &S::MinuteDotColor, &S::SetMinuteDotColor).Default(clWindow);
  b.Prop("Time", &S::Time, &S::SetTime);
}

namespace {

constexpr double ClockPi = std::numbers::pi;

Integer RoundClockCoord(double AValue) { return static_cast<Integer>(std::lround(AValue)); }

// One hand: a filled quadrilateral from the tip over the two sides (half the width from the centre) and
// the tail, with the tip pixel set first.
void PaintClockHand(TuiCanvas* ACanvas, double ACx, double ACy, double AAngle, double AWidth, double ATipX,
                    double ATipY, double ATailX, double ATailY) {
  const TPoint tip{RoundClockCoord(ACx + ATipX * std::cos(AAngle)), RoundClockCoord(ACy + ATipY * std::sin(AAngle))};
  ACanvas->SetPixel(tip.x, tip.y, clTeal);
  const double half = AWidth / 2;
  const std::vector<TPoint> points = {
      tip,
      {RoundClockCoord(ACx + half * std::cos(AAngle + ClockPi / 2)),
       RoundClockCoord(ACy + half * std::sin(AAngle + ClockPi / 2))},
      {RoundClockCoord(ACx + ATailX * std::cos(AAngle + ClockPi)),
       RoundClockCoord(ACy + ATailY * std::sin(AAngle + ClockPi))},
      {RoundClockCoord(ACx + half * std::cos(AAngle + 3 * ClockPi / 2)),
       RoundClockCoord(ACy + half * std::sin(AAngle + 3 * ClockPi / 2))},
  };
  ACanvas->Polygon(points);
}

}  // namespace

TuiClock::TuiClock(TComponent* AOwner) : TuiControl(AOwner) {}

void TuiClock::SetTime(TDateTime Value) {
  const TDateTime time = std::fabs(static_cast<double>(Frac(Value)));
  if (time == time_) return;
  time_ = time;
  Invalidate();
}

void TuiClock::SetMinuteDotColor(TColor Value) {
  if (minuteDotColor_ == Value) return;
  minuteDotColor_ = Value;
  Invalidate();
}

void TuiClock::Paint() {
  TuiCanvas* canvas = Canvas();
  const Integer cx = Width() / 2, cy = Height() / 2;
  const double rx = Width() / 2.0 - 2, ry = Height() / 2.0 - 2;
  // The twelve hour marks, excluded from clipping so that the hands never cover them.
  for (Integer i = 0; i < 60; i += 5) {
    const double a = i * 2 * ClockPi / 60;
    const Integer x = RoundClockCoord(cx + rx * std::cos(a)), y = RoundClockCoord(cy + ry * std::sin(a));
    canvas->SetPixel(x, y, clTeal);
    canvas->GetCanvasPen()->SetColor(clAqua);
    canvas->Polyline({{x - 1, y + 1}, {x - 1, y - 1}, {x, y - 1}});
    canvas->SetPixel(x, y - 1, clAqua);
    canvas->GetCanvasPen()->SetColor(clBtnText);
    canvas->Polyline({{x, y + 1}, {x + 1, y + 1}, {x + 1, y - 1}});
    canvas->SetPixel(x + 1, y - 1, clBtnText);
    canvas->ExcludeClipRect(TRect{x - 1, y - 1, x + 2, y + 2});
  }
  canvas->FillRectWithColor(ClientRect(), Color());

  Word h = 0, m = 0, s = 0, ms = 0;
  DecodeTime(time_, h, m, s, ms);
  canvas->GetCanvasBrush()->SetColor(clTeal);
  canvas->GetCanvasPen()->SetColor(clTeal);
  const double hourAngle = ((h % 12) * 3600.0 + m * 60.0 + s - 10800) * 2 * ClockPi / 43200;
  PaintClockHand(canvas, cx, cy, hourAngle, 9, 0.75 * rx, 0.75 * ry, 0.15 * rx, 0.15 * ry);
  const double minuteAngle = (m * 60.0 + s - 900) * 2 * ClockPi / 3600;
  PaintClockHand(canvas, cx, cy, minuteAngle, 7, 0.85 * rx, 0.85 * ry, 0.2 * rx, 0.2 * ry);
  const double secondAngle = (s - 15.0) * 2 * ClockPi / 60;
  canvas->GetCanvasPen()->SetColor(clRed);
  canvas->MoveTo(cx, cy);
  canvas->LineTo(RoundClockCoord(cx + 0.9 * rx * std::cos(secondAngle)),
                 RoundClockCoord(cy + 0.9 * ry * std::sin(secondAngle)));
}
