// Full repaint of a 1280 x 800 window holding a grid of 16 x 12 cells with text and frames, the way
// the channel grid paints: cell backgrounds, grid lines with a geometric pen, raised cell edges,
// one line of text per cell and a focus rectangle. Prints the time per frame.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win/gdi/Gdi.h"
#include "platform/win/gdi/WinGdi.h"
#include "platform/win/gdi/WinUserGdi.h"

namespace {

constexpr int kWidth = 1280, kHeight = 800, kCols = 16, kRows = 12;

void Paint(HDC dc, HFONT font, HPEN gridPen, const std::vector<std::string>& texts, int frame) {
  RECT all{0, 0, kWidth, kHeight};
  FillRect(dc, &all, GetSysColorBrush(COLOR_WINDOW));
  int cw = kWidth / kCols, ch = kHeight / kRows;
  HGDIOBJ oldFont = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  HBRUSH fixed = GetSysColorBrush(COLOR_BTNFACE);
  for (int r = 0; r < kRows; ++r)
    for (int c = 0; c < kCols; ++c) {
      RECT cell{c * cw, r * ch, c * cw + cw - 1, r * ch + ch - 1};
      bool header = r == 0 || c == 0;
      if (header) {
        FillRect(dc, &cell, fixed);
        DrawEdge(dc, &cell, BDR_RAISEDINNER, BF_RECT);
      }
      SetTextColor(dc, GetSysColor(header ? COLOR_BTNTEXT : COLOR_WINDOWTEXT));
      RECT text{cell.left + 2, cell.top + 1, cell.right - 2, cell.bottom - 1};
      const std::string& s = texts[static_cast<size_t>(r * kCols + c)];
      DrawText(dc, s.c_str(), static_cast<int>(s.size()), &text,
               DT_SINGLELINE | DT_VCENTER | (header ? DT_CENTER : DT_LEFT) | DT_NOPREFIX);
    }
  // Grid lines: one poly-polyline for all vertical and horizontal lines.
  std::vector<POINT> pts;
  std::vector<DWORD> counts;
  for (int c = 1; c <= kCols; ++c) {
    pts.push_back(POINT{c * cw - 1, 0});
    pts.push_back(POINT{c * cw - 1, kHeight});
    counts.push_back(2);
  }
  for (int r = 1; r <= kRows; ++r) {
    pts.push_back(POINT{0, r * ch - 1});
    pts.push_back(POINT{kWidth, r * ch - 1});
    counts.push_back(2);
  }
  HGDIOBJ oldPen = SelectObject(dc, gridPen);
  PolyPolyline(dc, pts.data(), counts.data(), static_cast<DWORD>(counts.size()));
  SelectObject(dc, oldPen);
  int fc = 1 + frame % (kCols - 1), fr = 1 + frame % (kRows - 1);
  RECT focus{fc * cw + 1, fr * ch + 1, fc * cw + cw - 3, fr * ch + ch - 3};
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkColor(dc, RGB(255, 255, 255));
  DrawFocusRect(dc, &focus);
  SelectObject(dc, oldFont);
}

}  // namespace

int main(int argc, char** argv) {
  int frames = argc > 1 ? std::atoi(argv[1]) : 300;
  BITMAPINFO bi;
  bi.bmiHeader.biWidth = kWidth;
  bi.bmiHeader.biHeight = -kHeight;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP surface = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, surface);
  LOGFONT lf;
  lf.lfHeight = -11;
  std::strcpy(lf.lfFaceName, "Tahoma");
  HFONT font = CreateFontIndirect(&lf);
  LOGBRUSH lb{BS_SOLID, GetSysColor(COLOR_BTNSHADOW), 0};
  HPEN gridPen = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT | PS_JOIN_MITER, 1, &lb, 0, nullptr);
  std::vector<std::string> texts;
  for (int r = 0; r < kRows; ++r)
    for (int c = 0; c < kCols; ++c) {
      char buf[64];
      if (r == 0)
        std::snprintf(buf, sizeof buf, "Column %d", c);
      else if (c == 0)
        std::snprintf(buf, sizeof buf, "CH %02d", r);
      else
        std::snprintf(buf, sizeof buf, "%03d.%04d \xE4\xB8\xAD", 400 + r * 3 + c, (r * 137 + c * 71) % 10000);
      texts.push_back(buf);
    }
  Paint(dc, font, gridPen, texts, 0);  // warm the glyph cache
  auto start = std::chrono::steady_clock::now();
  for (int f = 0; f < frames; ++f) Paint(dc, font, gridPen, texts, f);
  double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  std::printf("gdi_bench: full repaint %dx%d, %dx%d cells: %.3f ms per frame (%d frames)\n", kWidth, kHeight, kCols,
              kRows, ms / frames, frames);
  if (argc > 2) k58::gdi::WriteBitmapPng(surface, argv[2]);
  DeleteObject(gridPen);
  DeleteObject(font);
  DeleteDC(dc);
  DeleteObject(surface);
  return 0;
}
