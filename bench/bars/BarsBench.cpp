// One paint of a 600-pixel track bar over the whole 32-bit range with a tick per value, and of a
// 325-pixel progress bar in each bar style, each composed off screen and copied as the controls do.
// Prints the time per paint (target: under 1 ms each), beside a plain fill and text of the same size as
// the reference.
#include <chrono>
#include <cstdio>
#include <functional>

#include "controls/extra/uiProgressBar.h"
#include "controls/extra/uiTrackBar.h"
#include "platform/forms/Forms.h"

namespace {

constexpr int kWarmUp = 5, kPaints = 200;

double MillisecondsPerPaint(const std::function<void()>& APaint) {
  for (int i = 0; i < kWarmUp; ++i) APaint();
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kPaints; ++i) APaint();
  const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
  return elapsed.count() / kPaints;
}

}  // namespace

int main() {
  k58::editors::StartUnits();
  k58::extra::StartProgressBarUnit();
  k58::extra::StartTrackBarUnit();
  TForm* form = NewObject<TForm>(nullptr, 0);
  form->SetBounds(0, 0, 700, 300);
  TBitmap surface;
  surface.SetSize(700, 300);
  TuiCanvas canvas(surface.Canvas());
  bool met = true;

  auto* track = NewObject<TuiTrackBar>(form);
  track->SetBounds(0, 0, 600, 76);
  track->SetParent(form);
  track->HandleNeeded();
  track->Properties()->SetMin(-2147483647 - 1);
  track->Properties()->SetMax(2147483647);
  track->Properties()->SetFrequency(1);
  track->SetPosition(0);
  const double trackMs = MillisecondsPerPaint([&] { track->BarViewInfo()->Paint(&canvas); });
  std::printf("track bar 600 x 76, Min -2^31, Max 2^31-1, Frequency 1: %7.3f ms per paint\n", trackMs);
  met = met && trackMs < 1.0;

  auto* bar = NewObject<TuiProgressBar>(form);
  bar->SetAutoSize(false);
  bar->SetBounds(0, 100, 325, 21);
  bar->SetParent(form);
  bar->HandleNeeded();
  TBitmap image;
  image.SetSize(6, 6);
  image.Canvas()->Brush()->SetColor(clTeal);
  image.Canvas()->FillRect(TRect{0, 0, 6, 6});
  bar->Properties()->SetForegroundImage(&image);
  bar->SetPosition(73);
  const struct {
    TuiProgressBarBarStyle Style;
    const char* Name;
  } styles[] = {{uibsSolid, "solid"},       {uibsLEDs, "LEDs"},     {uibsGradient, "gradient"},
                {uibsGradientLEDs, "gradient LEDs"}, {uibsBitmap, "bitmap"}, {uibsBitmapLEDs, "bitmap LEDs"}};
  for (const auto& s : styles) {
    bar->Properties()->SetBarStyle(s.Style);
    const double ms = MillisecondsPerPaint([&] { bar->BarViewInfo()->Paint(&canvas); });
    std::printf("progress bar 325 x 21, %-14s                   %7.3f ms per paint\n", s.Name, ms);
    met = met && ms < 1.0;
  }

  const double plain = MillisecondsPerPaint([&] {
    surface.Canvas()->Brush()->SetColor(clBtnFace);
    surface.Canvas()->FillRect(TRect{0, 100, 325, 121});
    surface.Canvas()->TextOut(150, 103, "73 %");
  });
  std::printf("plain fill and text 325 x 21 (reference):               %7.3f ms per paint\n", plain);
  std::printf("%s\n", met ? "every bar within the target" : "a bar is over the target");
  FreeObject(form);
  k58::extra::StopTrackBarUnit();
  k58::extra::StopProgressBarUnit();
  k58::editors::StopUnits();
  return 0;
}
