// The editors' text layout against the platform's DrawText doing the same in the same run: (a) a 40-character
// editor line cut with an end ellipsis (target under 20 us per call), (b) a 2,000-character text wrapped at
// 300 pixels (target under 500 us per call). Both lay out and draw into a 32-bit bitmap with an 8-point font.
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "controls/foundation/Foundation.h"

namespace {

double MicrosecondsPerCall(Integer ACalls, const std::function<void()>& ACall) {
  for (Integer i = 0; i < ACalls / 10 + 1; ++i) ACall();
  const auto start = std::chrono::steady_clock::now();
  for (Integer i = 0; i < ACalls; ++i) ACall();
  return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count() / ACalls;
}

// Words of 2 to 9 letters, separated by single spaces, with a line break now and then.
std::string Paragraphs(size_t ALength) {
  std::string text;
  unsigned seed = 12345;
  while (text.size() < ALength) {
    seed = seed * 1103515245 + 12345;
    const unsigned letters = 2 + (seed >> 16) % 8;
    for (unsigned i = 0; i < letters && text.size() < ALength; ++i) text += static_cast<char>('a' + (seed >> (i + 3)) % 26);
    if (text.size() < ALength) text += (seed >> 8) % 23 == 0 ? '\n' : ' ';
  }
  return text;
}

}  // namespace

int main() {
  k58::foundation::StartUnits();
  TBitmap surface;
  surface.SetPixelFormat(pf32bit);
  surface.SetSize(400, 2400);
  TCanvas* canvas = surface.Canvas();
  canvas->Font()->SetName("Tahoma");
  canvas->Font()->SetSize(8);
  const HDC dc = canvas->Handle();
  SetBkMode(dc, TRANSPARENT);

  const std::string line = "Channel 16: 462.5625 MHz, CTCSS 88.5 Hz";  // 40 characters
  const std::string text = Paragraphs(2000);
  const TRect lineRect{4, 4, 154, 24};
  const TRect textRect{4, 30, 304, 2390};
  struct Row {
    const char* Name;
    Integer Calls;
    double Target;
    std::function<void()> Layout;
    std::function<void()> Platform;
  };
  const Row rows[] = {
      {"(a) 40-character line, end ellipsis", 20000, 20.0,
       [&] {
         TRect r = lineRect;
         LayoutAndDrawText(dc, line, r, 0, 0, 0, clNone, clNone, 0, 0,
                           tofSingleLine | tofAlignVCenter | tofEndEllipsis);
       },
       [&] {
         RECT r = lineRect;
         DrawText(dc, line.data(), static_cast<int>(line.size()), &r,
                  DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
       }},
      {"(b) 2,000 characters wrapped at 300 px", 300, 500.0,
       [&] {
         TRect r = textRect;
         LayoutAndDrawText(dc, text, r, 0, 0, 0, clNone, clNone, 0, 0, tofWordBreak);
       },
       [&] {
         RECT r = textRect;
         DrawText(dc, text.data(), static_cast<int>(text.size()), &r, DT_WORDBREAK | DT_NOPREFIX);
       }},
  };
  bool met = true;
  std::printf("text layout and drawing, microseconds per call (the platform's DrawText doing the same beside it)\n");
  for (const Row& row : rows) {
    const double layout = MicrosecondsPerCall(row.Calls, row.Layout);
    const double platform = MicrosecondsPerCall(row.Calls, row.Platform);
    met = met && layout < row.Target;
    std::printf("  %-42s layout %8.2f us (target %5.0f)   DrawText %8.2f us   ratio %.2f\n", row.Name, layout,
                row.Target, platform, layout / platform);
  }
  std::printf("%s\n", met ? "every case within its target" : "a case is over its target");
  k58::foundation::StopUnits();
  return 0;
}
