// Full repaint of a 1280 x 800 surface tiled with 64 cells of 160 x 100, each holding a button with a
// caption, a border, a header of two sections, two check boxes, two radio buttons and a vertical scroll
// bar (arrows, thumb, page areas), drawn by each look-and-feel painter. Prints the time per frame
// (target: under 4 ms on one core), beside the same tiles drawn with the platform's plain frame calls
// (DrawEdge, DrawFrameControl, DrawText) as the reference.
#include <chrono>
#include <cstdio>
#include <functional>

#include "controls/foundation/Foundation.h"

namespace {

constexpr Integer kWidth = 1280, kHeight = 800, kTileW = 160, kTileH = 100;
constexpr Integer kWarmUp = 5, kFrames = 100;

void PaintTile(TuiLookAndFeelPainterClass P, TuiCanvas* C, Integer X, Integer Y, Integer Frame, TFont* Font) {
  const TuiButtonState states[] = {uibsNormal, uibsHot, uibsPressed, uibsDefault, uibsDisabled};
  const TuiButtonState state = states[(X / kTileW + Y / kTileH + Frame) % 5];
  C->FillRectWithColor(TRect{X, Y, X + kTileW, Y + kTileH}, clBtnFace);
  P->PaintButton(C, TRect{X + 4, Y + 4, X + 84, Y + 28}, "&Apply", state);
  C->FillRectWithColor(TRect{X + 90, Y + 4, X + 136, Y + 28}, clWindow);
  P->PaintBorder(C, TRect{X + 90, Y + 4, X + 136, Y + 28});
  const TRect h1{X + 4, Y + 34, X + 64, Y + 52}, h2{X + 64, Y + 34, X + 124, Y + 52};
  P->PaintHeader(C, h1, h1, TuiBorders{bRight}, uiAllBorders, uibsNormal, taLeftJustify, vaCenter, false, true,
                 "Channel", Font, clBtnText, clBtnFace, TuiDrawBackgroundEvent());
  P->PaintHeader(C, h2, h2, TuiBorders{bLeft}, uiAllBorders, state, taCenter, vaCenter, false, true, "Tone", Font,
                 clBtnText, clBtnFace, TuiDrawBackgroundEvent(), true);
  P->PaintCheckButton(C, TRect{X + 4, Y + 60, X + 17, Y + 73}, state, true);
  P->PaintCheckButton(C, TRect{X + 22, Y + 60, X + 35, Y + 73}, uibsNormal, false);
  P->PaintRadioButton(C, X + 42, Y + 60, state, true, false, clDefault);
  P->PaintRadioButton(C, X + 60, Y + 60, uibsNormal, false, false, clDefault);
  const Integer sx = X + 140;
  P->PaintScrollBarPart(C, false, TRect{sx, Y + 4, sx + 16, Y + 20}, sbpLineUp, uibsNormal);
  P->PaintScrollBarPart(C, false, TRect{sx, Y + 20, sx + 16, Y + 36}, sbpPageUp, uibsNormal);
  P->PaintScrollBarPart(C, false, TRect{sx, Y + 36, sx + 16, Y + 60}, sbpThumbnail, state);
  P->PaintScrollBarPart(C, false, TRect{sx, Y + 60, sx + 16, Y + 80}, sbpPageDown, uibsPressed);
  P->PaintScrollBarPart(C, false, TRect{sx, Y + 80, sx + 16, Y + 96}, sbpLineDown, uibsHot);
}

// The same tiles with the platform's plain calls: the reference for what the painters add.
void PaintPlainTile(HDC DC, Integer X, Integer Y, Integer Frame) {
  RECT tile{X, Y, X + kTileW, Y + kTileH};
  FillRect(DC, &tile, GetSysColorBrush(COLOR_BTNFACE));
  RECT button{X + 4, Y + 4, X + 84, Y + 28};
  DrawFrameControl(DC, &button, DFC_BUTTON, DFCS_BUTTONPUSH | ((Frame % 2) ? DFCS_PUSHED : 0));
  SetBkMode(DC, TRANSPARENT);
  DrawText(DC, "&Apply", -1, &button, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  RECT border{X + 90, Y + 4, X + 136, Y + 28};
  FillRect(DC, &border, GetSysColorBrush(COLOR_WINDOW));
  DrawEdge(DC, &border, EDGE_SUNKEN, BF_RECT);
  for (Integer i = 0; i < 2; ++i) {
    RECT header{X + 4 + i * 60, Y + 34, X + 64 + i * 60, Y + 52};
    DrawEdge(DC, &header, BDR_RAISEDINNER, BF_RECT);
    DrawText(DC, i ? "Tone" : "Channel", -1, &header, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
  }
  RECT check1{X + 4, Y + 60, X + 17, Y + 73}, check2{X + 22, Y + 60, X + 35, Y + 73};
  DrawFrameControl(DC, &check1, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
  DrawFrameControl(DC, &check2, DFC_BUTTON, DFCS_BUTTONCHECK);
  RECT radio1{X + 42, Y + 60, X + 54, Y + 72}, radio2{X + 60, Y + 60, X + 72, Y + 72};
  DrawFrameControl(DC, &radio1, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED);
  DrawFrameControl(DC, &radio2, DFC_BUTTON, DFCS_BUTTONRADIO);
  RECT up{X + 140, Y + 4, X + 156, Y + 20}, down{X + 140, Y + 80, X + 156, Y + 96};
  DrawFrameControl(DC, &up, DFC_SCROLL, DFCS_SCROLLUP);
  DrawFrameControl(DC, &down, DFC_SCROLL, DFCS_SCROLLDOWN);
  RECT thumb{X + 140, Y + 36, X + 156, Y + 60};
  DrawFrameControl(DC, &thumb, DFC_BUTTON, DFCS_BUTTONPUSH);
}

double MillisecondsPerFrame(const std::function<void(Integer Frame)>& APaint) {
  for (Integer frame = 0; frame < kWarmUp; ++frame) APaint(frame);
  const auto start = std::chrono::steady_clock::now();
  for (Integer frame = 0; frame < kFrames; ++frame) APaint(frame);
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / kFrames;
}

}  // namespace

int main() {
  k58::foundation::StartUnits();
  TBitmap surface;
  surface.SetPixelFormat(pf32bit);
  surface.SetSize(kWidth, kHeight);
  TuiCanvas canvas(surface.Canvas());
  TFont font;
  font.SetName("Tahoma");
  font.SetSize(8);
  struct Look {
    const char* Name;
    TuiLookAndFeelPainterClass Painter;
  };
  std::printf("repaint of %d x %d tiled with %d cells of buttons, borders, headers, check and radio glyphs and "
              "scroll-bar parts (target 4 ms per frame)\n",
              kWidth, kHeight, (kWidth / kTileW) * (kHeight / kTileH));
  bool met = true;
  for (const Look& look : {Look{"standard", PainterClass<TuiStandardLookAndFeelPainter>()},
                           Look{"flat", PainterClass<TuiFlatLookAndFeelPainter>()},
                           Look{"ultra-flat", PainterClass<TuiUltraFlatLookAndFeelPainter>()},
                           Look{"Office11", PainterClass<TuiOffice11LookAndFeelPainter>()},
                           Look{"themed (no visual styles: falls back)", PainterClass<TuiWinXPLookAndFeelPainter>()}}) {
    const double ms = MillisecondsPerFrame([&](Integer Frame) {
      for (Integer y = 0; y < kHeight; y += kTileH)
        for (Integer x = 0; x < kWidth; x += kTileW) PaintTile(look.Painter, &canvas, x, y, Frame, &font);
    });
    met = met && ms < 4.0;
    std::printf("  %-40s %7.3f ms per frame\n", look.Name, ms);
  }
  const HDC dc = surface.Canvas()->Handle();
  const double plain = MillisecondsPerFrame([&](Integer Frame) {
    for (Integer y = 0; y < kHeight; y += kTileH)
      for (Integer x = 0; x < kWidth; x += kTileW) PaintPlainTile(dc, x, y, Frame);
  });
  std::printf("  %-40s %7.3f ms per frame (reference: the platform's plain frame calls)\n", "plain GDI", plain);
  std::printf("%s\n", met ? "every painter within the target" : "a painter is over the target");
  k58::foundation::StopUnits();
  return 0;
}
