// TextOut, ExtTextOut, text extents and metrics, tabbed text.
#include "platform/win/gdi/Text.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/win/gdi/Raster.h"
#include "platform/win/gdi/Scan.h"
#include "platform/win/gdi/WinUserGdi.h"
#include "platform/rtl/Utf.h"

namespace k58::gdi {

namespace {

template <typename Unit, typename Decode>
DecodedText DecodeUnits(const Unit* text, int count, Decode decode) {
  DecodedText out;
  if (!text || count <= 0) return out;
  const std::basic_string_view<Unit> s(text, static_cast<size_t>(count));
  out.cps.reserve(s.size());
  out.units.reserve(s.size());
  for (size_t pos = 0; pos < s.size();) {
    const size_t at = pos;
    out.cps.push_back(decode(s, pos));
    out.units.push_back(static_cast<int>(pos - at));
  }
  return out;
}

}  // namespace

DecodedText DecodeUtf8(const char* text, int count) {
  return DecodeUnits(text, count, [](std::string_view s, size_t& pos) { return k58::rtl::DecodeUtf8(s, pos); });
}

DecodedText DecodeUtf16(const WCHAR* text, int count) {
  return DecodeUnits(text, count, [](std::u16string_view s, size_t& pos) {
    const char32_t cp = k58::rtl::DecodeUtf16(s, pos);
    return cp >= 0xD800 && cp <= 0xDFFF ? k58::rtl::kReplacementChar : cp;
  });
}

RealizedFont& FontOf(DeviceContext& dc) { return *dc.st.font->Realized(); }

std::vector<int> RunAdvances(DeviceContext& dc, const std::vector<char32_t>& cps, bool applyJustification) {
  RealizedFont& f = FontOf(dc);
  std::vector<int> adv(cps.size());
  for (size_t i = 0; i < cps.size(); ++i) adv[i] = f.Advance(cps[i]) + dc.st.charExtra;
  if (applyJustification && dc.st.justCount > 0 && dc.st.justExtra != 0) {
    int per = dc.st.justExtra / dc.st.justCount, rest = dc.st.justExtra % dc.st.justCount;
    int seen = 0;
    for (size_t i = 0; i < cps.size(); ++i) {
      if (cps[i] != U' ') continue;
      adv[i] += per + (seen < std::abs(rest) ? (rest > 0 ? 1 : -1) : 0);
      ++seen;
    }
  }
  return adv;
}

namespace {

// A quadrilateral along the baseline from `along0` to `along1`, between `down0` and `down1` pixels
// below it, in surface coordinates (a rectangle when the text is not rotated).
Region BandRegion(double ox, double oy, double cs, double sn, double along0, double along1, double down0,
                  double down1) {
  auto pt = [&](double a, double d) { return PointD{ox + a * cs + d * sn, oy - a * sn + d * cs}; };
  if (sn == 0 && cs > 0) {
    auto l = static_cast<int>(std::lround(ox + along0)), r = static_cast<int>(std::lround(ox + along1));
    auto t = static_cast<int>(std::lround(oy + down0)), b = static_cast<int>(std::lround(oy + down1));
    return Region(RECT{std::min(l, r), t, std::max(l, r), b});
  }
  return PolygonRegion({{pt(along0, down0), pt(along1, down0), pt(along1, down1), pt(along0, down1)}}, WINDING);
}

void BlitGlyph(DeviceContext& dc, const Glyph& g, int px, int py, uint32_t pixel, const RECT& area) {
  if (g.width == 0 || g.height == 0) return;
  Surface* s = dc.Target();
  RECT box{px + g.left, py - g.top, px + g.left + g.width, py - g.top + g.height};
  RECT b{std::max(box.left, area.left), std::max(box.top, area.top), std::min(box.right, area.right),
         std::min(box.bottom, area.bottom)};
  if (RectEmpty(b)) return;
  dc.Clip().ForEachIn(b, [&](const RECT& c) {
    for (int y = c.top; y < c.bottom; ++y) {
      uint32_t* row = s->Row(y);
      int gy = y - box.top;
      const uint8_t* bits = &g.bits[static_cast<size_t>(gy) * g.pitch];
      for (int x = c.left; x < c.right; ++x) {
        int gx = x - box.left;
        if ((bits[gx >> 3] >> (7 - (gx & 7))) & 1) row[x] = pixel;
      }
    }
  });
}

}  // namespace

int DrawRun(DeviceContext& dc, const std::vector<char32_t>& cps, const std::vector<int>& advances, const RunOptions& o) {
  RealizedFont& f = FontOf(dc);
  Surface* s = dc.Target();
  int width = 0;
  for (int a : advances) width += a;
  if (!s) return width;
  double cs = std::cos(f.angle), sn = std::sin(f.angle);
  if (!f.rotated) {
    cs = 1;
    sn = 0;
  }
  // Baseline start in surface coordinates.
  double rx = o.refX + dc.OffX(), ry = o.refY + dc.OffY();
  double along = 0;
  switch (o.align & TA_CENTER) {
    case TA_RIGHT: along = -width; break;
    case TA_CENTER: along = f.rotated ? -width / 2.0 : -(width / 2); break;
    default: break;
  }
  double down = 0;  // baseline below the reference point
  if ((o.align & TA_BASELINE) == TA_BASELINE)
    down = 0;
  else if (o.align & TA_BOTTOM)
    down = -f.descent;
  else
    down = f.ascent;
  double ox = rx + along * cs + down * sn, oy = ry - along * sn + down * cs;

  RECT area{INT32_MIN / 2, INT32_MIN / 2, INT32_MAX / 2, INT32_MAX / 2};
  if (o.clip) {
    RECT c = dc.ToSurface(*o.clip);
    area = RECT{std::min(c.left, c.right), std::min(c.top, c.bottom), std::max(c.left, c.right),
                std::max(c.top, c.bottom)};
  }
  auto clipped = [&](Region r) { return o.clip ? r.Intersected(area) : r; };
  uint32_t back = dc.Pixel(dc.st.bkColor), fore = dc.Pixel(dc.st.textColor);
  if (o.opaque) {
    RECT r = dc.ToSurface(*o.opaque);
    FillRegion(dc, clipped(Region(RECT{std::min(r.left, r.right), std::min(r.top, r.bottom),
                                       std::max(r.left, r.right), std::max(r.top, r.bottom)})),
               SolidPaint(back, R2_COPYPEN));
  }
  if (o.fillCells && width != 0)
    FillRegion(dc, clipped(BandRegion(ox, oy, cs, sn, 0, width, -f.ascent, f.descent)), SolidPaint(back, R2_COPYPEN));

  Paint line = SolidPaint(fore, R2_COPYPEN);
  double pen = 0;
  for (size_t i = 0; i < cps.size(); ++i) {
    if (!o.underlinesOnly) {
      const Glyph& g = f.GetGlyph(cps[i]);
      auto px = static_cast<int>(std::lround(ox + pen * cs)), py = static_cast<int>(std::lround(oy - pen * sn));
      BlitGlyph(dc, g, px, py, fore, area);
    }
    pen += advances[i];
  }
  // Underlines of single characters (prefixes), then of the whole run.
  if (!o.underlined.empty()) {
    double at = 0;
    size_t next = 0;
    std::vector<size_t> idx = o.underlined;
    std::sort(idx.begin(), idx.end());
    for (size_t i = 0; i < cps.size() && next < idx.size(); ++i) {
      if (idx[next] == i) {
        FillRegion(dc, clipped(BandRegion(ox, oy, cs, sn, at, at + advances[i], f.underlineTop,
                                          f.underlineTop + f.underlineThickness)),
                   line);
        ++next;
      }
      at += advances[i];
    }
  }
  if (!o.underlinesOnly && width != 0) {
    if (f.lf.lfUnderline)
      FillRegion(dc, clipped(BandRegion(ox, oy, cs, sn, 0, width, f.underlineTop, f.underlineTop + f.underlineThickness)),
                 line);
    if (f.lf.lfStrikeOut)
      FillRegion(dc, clipped(BandRegion(ox, oy, cs, sn, 0, width, -f.strikeTop, -f.strikeTop + f.strikeThickness)),
                 line);
  }
  return width;
}

}  // namespace k58::gdi

using namespace k58::gdi;

namespace {

// Advances from a per-unit lpDx: a character takes the sum of its units' entries.
std::vector<int> AdvancesFromDx(const DecodedText& t, const INT* dx) {
  std::vector<int> adv(t.cps.size());
  size_t u = 0;
  for (size_t i = 0; i < t.cps.size(); ++i) {
    int sum = 0;
    for (int k = 0; k < t.units[i]; ++k) sum += dx[u++];
    adv[i] = sum;
  }
  return adv;
}

BOOL ExtTextOutDecoded(HDC hdc, int x, int y, UINT options, const RECT* rect, const DecodedText& t, const INT* dx) {
  auto dc = FindDC(hdc);
  if (!dc) return FALSE;
  std::vector<int> adv = dx ? AdvancesFromDx(t, dx) : RunAdvances(*dc, t.cps);
  RunOptions o;
  bool updateCp = (dc->st.textAlign & TA_UPDATECP) != 0;
  o.refX = updateCp ? dc->st.curPos.x : x;
  o.refY = updateCp ? dc->st.curPos.y : y;
  o.align = dc->st.textAlign;
  o.clip = rect && (options & ETO_CLIPPED) ? rect : nullptr;
  o.opaque = rect && (options & ETO_OPAQUE) ? rect : nullptr;
  o.fillCells = dc->st.bkMode == OPAQUE;
  int width = DrawRun(*dc, t.cps, adv, o);
  if (updateCp) {
    switch (dc->st.textAlign & TA_CENTER) {
      case TA_RIGHT: dc->st.curPos.x -= width; break;
      case TA_CENTER: break;
      default: dc->st.curPos.x += width; break;
    }
  }
  return TRUE;
}

BOOL ExtentOf(HDC hdc, const DecodedText& t, LPSIZE size) {
  auto dc = FindDC(hdc);
  if (!dc || !size) return FALSE;
  int w = 0;
  for (int a : RunAdvances(*dc, t.cps)) w += a;
  size->cx = w;
  size->cy = FontOf(*dc).height;
  return TRUE;
}

BOOL ExtentEx(HDC hdc, const DecodedText& t, int maxExtent, LPINT fit, LPINT dx, LPSIZE size) {
  auto dc = FindDC(hdc);
  if (!dc || !size) return FALSE;
  std::vector<int> adv = RunAdvances(*dc, t.cps);
  int total = 0, fitUnits = 0;
  bool fitting = true;
  size_t u = 0;
  for (size_t i = 0; i < t.cps.size(); ++i) {
    total += adv[i];
    if (fitting && total <= maxExtent)
      fitUnits += t.units[i];
    else
      fitting = false;
    for (int k = 0; k < t.units[i]; ++k, ++u)
      if (dx) dx[u] = total;
  }
  if (fit) *fit = fitUnits;
  size->cx = total;
  size->cy = FontOf(*dc).height;
  return TRUE;
}


}  // namespace

BOOL TextOut(HDC hdc, int x, int y, LPCSTR text, int count) {
  if (count < 0 || (count > 0 && !text)) return FALSE;
  return ExtTextOutDecoded(hdc, x, y, 0, nullptr, DecodeUtf8(text, count), nullptr);
}

BOOL TextOutW(HDC hdc, int x, int y, LPCWSTR text, int count) {
  if (count < 0 || (count > 0 && !text)) return FALSE;
  return ExtTextOutDecoded(hdc, x, y, 0, nullptr, DecodeUtf16(text, count), nullptr);
}

BOOL ExtTextOut(HDC hdc, int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT count, const INT* dx) {
  if (count > 0 && !text) return FALSE;
  return ExtTextOutDecoded(hdc, x, y, options, rect, DecodeUtf8(text, static_cast<int>(std::min<UINT>(count, 1u << 30))), dx);
}

BOOL ExtTextOutW(HDC hdc, int x, int y, UINT options, const RECT* rect, LPCWSTR text, UINT count, const INT* dx) {
  if (count > 0 && !text) return FALSE;
  return ExtTextOutDecoded(hdc, x, y, options, rect, DecodeUtf16(text, static_cast<int>(std::min<UINT>(count, 1u << 30))), dx);
}

BOOL GetTextExtentPoint32(HDC hdc, LPCSTR text, int count, LPSIZE size) {
  if (count < 0 || (count > 0 && !text)) return FALSE;
  return ExtentOf(hdc, DecodeUtf8(text, count), size);
}

BOOL GetTextExtentPoint32W(HDC hdc, LPCWSTR text, int count, LPSIZE size) {
  if (count < 0 || (count > 0 && !text)) return FALSE;
  return ExtentOf(hdc, DecodeUtf16(text, count), size);
}

BOOL GetTextExtentExPoint(HDC hdc, LPCSTR text, int count, int maxExtent, LPINT fit, LPINT dx, LPSIZE size) {
  if (count < 0 || (count > 0 && !text)) return FALSE;
  return ExtentEx(hdc, DecodeUtf8(text, count), maxExtent, fit, dx, size);
}

BOOL GetTextExtentExPointW(HDC hdc, LPCWSTR text, int count, int maxExtent, LPINT fit, LPINT dx, LPSIZE size) {
  if (count < 0 || (count > 0 && !text)) return FALSE;
  return ExtentEx(hdc, DecodeUtf16(text, count), maxExtent, fit, dx, size);
}

namespace {

template <class TM>
BOOL FillMetrics(HDC hdc, TM* tm, bool wide) {
  auto dc = FindDC(hdc);
  if (!dc || !tm) return FALSE;
  RealizedFont& f = FontOf(*dc);
  *tm = TM{};
  tm->tmHeight = f.height;
  tm->tmAscent = f.ascent;
  tm->tmDescent = f.descent;
  tm->tmInternalLeading = f.internalLeading;
  tm->tmExternalLeading = f.externalLeading;
  tm->tmAveCharWidth = f.aveCharWidth;
  tm->tmMaxCharWidth = f.maxCharWidth;
  tm->tmWeight = f.weight;
  tm->tmDigitizedAspectX = 96;
  tm->tmDigitizedAspectY = 96;
  tm->tmFirstChar = 0x20;
  tm->tmLastChar = wide ? 0xFFFC : 0xFF;
  tm->tmDefaultChar = wide ? 0x1F : 0x1F;
  tm->tmBreakChar = 0x20;
  tm->tmItalic = f.lf.lfItalic ? 1 : 0;
  tm->tmUnderlined = f.lf.lfUnderline ? 1 : 0;
  tm->tmStruckOut = f.lf.lfStrikeOut ? 1 : 0;
  // TMPF_FIXED_PITCH set means a variable-pitch font.
  BYTE family = f.lf.lfPitchAndFamily & 0xF0;
  tm->tmPitchAndFamily = static_cast<BYTE>(family | TMPF_TRUETYPE | TMPF_VECTOR | (f.fixedPitch ? 0 : TMPF_FIXED_PITCH));
  tm->tmCharSet = f.lf.lfCharSet == DEFAULT_CHARSET ? ANSI_CHARSET : f.lf.lfCharSet;
  return TRUE;
}

}  // namespace

BOOL GetTextMetrics(HDC hdc, TEXTMETRICA* metrics) { return FillMetrics(hdc, metrics, false); }
BOOL GetTextMetricsW(HDC hdc, TEXTMETRICW* metrics) { return FillMetrics(hdc, metrics, true); }

BOOL GetCharWidth32(HDC hdc, UINT first, UINT last, LPINT widths) {
  auto dc = FindDC(hdc);
  if (!dc || !widths || last < first || last > 0x10FFFF) return FALSE;
  RealizedFont& f = FontOf(*dc);
  for (UINT c = first; c <= last; ++c) widths[c - first] = f.Advance(c);
  return TRUE;
}

int GetTextFace(HDC hdc, int count, LPSTR face) {
  auto dc = FindDC(hdc);
  if (!dc) return 0;
  const char* name = dc->st.font->lf.lfFaceName;
  int len = static_cast<int>(std::strlen(name));
  if (!face) return len + 1;
  if (count <= 0) return 0;
  int n = std::min(len, count - 1);
  std::memcpy(face, name, static_cast<size_t>(n));
  face[n] = 0;
  return n;
}

// ---- Tabbed text -------------------------------------------------------------------------------------

namespace {

// Advances with tabs expanded; x is where the text starts, relative to the tab origin.
std::vector<int> TabbedAdvances(DeviceContext& dc, const std::vector<char32_t>& cps, int x, int tabCount,
                                const INT* stops) {
  std::vector<int> adv = RunAdvances(dc, cps);
  RealizedFont& f = FontOf(dc);
  int interval = 8 * f.aveCharWidth;
  if (tabCount == 1 && stops && stops[0] > 0) interval = stops[0];
  int pos = x;
  for (size_t i = 0; i < cps.size(); ++i) {
    if (cps[i] == U'\t') {
      int next;
      if (tabCount > 1 && stops) {
        next = -1;
        for (int k = 0; k < tabCount; ++k)
          if (stops[k] > pos) {
            next = stops[k];
            break;
          }
        if (next < 0) next = pos + f.Advance(U' ');
      } else {
        next = interval > 0 ? (pos / interval + 1) * interval : pos;
      }
      adv[i] = next - pos;
    }
    pos += adv[i];
  }
  return adv;
}

}  // namespace

LONG TabbedTextOut(HDC hdc, int x, int y, LPCSTR text, int count, int tabCount, const INT* tabStops, int tabOrigin) {
  auto dc = FindDC(hdc);
  if (!dc || count < 0 || (count > 0 && !text)) return 0;
  DecodedText t = DecodeUtf8(text, count);
  std::vector<int> adv = TabbedAdvances(*dc, t.cps, x - tabOrigin, tabCount, tabStops);
  RunOptions o;
  o.refX = x;
  o.refY = y;
  o.align = dc->st.textAlign & ~TA_UPDATECP;
  o.fillCells = dc->st.bkMode == OPAQUE;
  int w = DrawRun(*dc, t.cps, adv, o);
  return MAKELONG(static_cast<WORD>(w), static_cast<WORD>(FontOf(*dc).height));
}

DWORD GetTabbedTextExtent(HDC hdc, LPCSTR text, int count, int tabCount, const INT* tabStops) {
  auto dc = FindDC(hdc);
  if (!dc || count < 0 || (count > 0 && !text)) return 0;
  DecodedText t = DecodeUtf8(text, count);
  int w = 0;
  for (int a : TabbedAdvances(*dc, t.cps, 0, tabCount, tabStops)) w += a;
  return static_cast<DWORD>(MAKELONG(static_cast<WORD>(w), static_cast<WORD>(FontOf(*dc).height)));
}
