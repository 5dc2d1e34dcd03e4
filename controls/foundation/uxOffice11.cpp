// The Office11 colour set, its scheme detection, colour arithmetic and gradient fills.
#include "controls/foundation/uxOffice11.h"

#include <algorithm>
#include <array>
#include <memory>

#include "controls/foundation/uiGraphics.h"
#include "controls/foundation/uxThemeManager.h"
#include "platform/rtl/RtlMath.h"
#include "platform/rtl/Strings.h"

namespace {

constexpr TColor Rgb(Byte R, Byte G, Byte B) { return static_cast<TColor>(R | (G << 8) | (B << 16)); }

// The scheme colours per role (blue, olive, silver); o11DarkShade is mixed from two further entries.
struct SchemeRow {
  TuiOffice11Color Role;
  TColor Colors[3];
};
constexpr SchemeRow kSchemeTable[] = {
    {o11BarLight, {Rgb(221, 236, 254), Rgb(244, 247, 222), Rgb(243, 244, 250)}},
    {o11BarDark, {Rgb(129, 169, 226), Rgb(183, 198, 145), Rgb(153, 151, 181)}},
    {o11Background, {Rgb(158, 190, 245), Rgb(217, 217, 167), Rgb(215, 215, 229)}},
    {o11BackgroundLight, {Rgb(195, 218, 249), Rgb(242, 240, 228), Rgb(243, 243, 247)}},
    {o11HeaderDark, {Rgb(106, 140, 203), Rgb(96, 128, 88), Rgb(110, 109, 143)}},
    {o11HeaderLight, {Rgb(241, 249, 255), Rgb(244, 247, 222), Rgb(255, 255, 255)}},
    {o11GroupText, {Rgb(42, 102, 201), Rgb(116, 134, 94), Rgb(122, 121, 153)}},
    {o11ControlBorder, {Rgb(0, 45, 150), Rgb(117, 141, 94), Rgb(124, 124, 148)}},
    {o11SelectionFrame, {Rgb(0, 0, 128), Rgb(63, 93, 56), Rgb(75, 75, 111)}},
    {o11HotLight, {Rgb(255, 244, 204), Rgb(255, 244, 204), Rgb(255, 244, 204)}},
    {o11HotDark, {Rgb(255, 208, 145), Rgb(255, 208, 145), Rgb(255, 208, 145)}},
    {o11PressedLight, {Rgb(255, 211, 142), Rgb(255, 211, 142), Rgb(255, 211, 142)}},
    {o11PressedDark, {Rgb(254, 145, 78), Rgb(254, 145, 78), Rgb(254, 145, 78)}},
    {o11SymbolText, {Rgb(0, 0, 0), Rgb(0, 0, 0), Rgb(0, 0, 0)}},
    {o11DisabledText, {Rgb(141, 141, 141), Rgb(141, 141, 141), Rgb(141, 141, 141)}},
    {o11ContentBackground, {Rgb(190, 218, 251), Rgb(175, 186, 145), Rgb(229, 229, 235)}},
    {o11Marker, {Rgb(251, 230, 148), Rgb(251, 230, 148), Rgb(251, 230, 148)}},
    {o11PanelLight, {Rgb(196, 218, 250), Rgb(242, 241, 228), Rgb(243, 243, 247)}},
    {o11PanelBorder, {Rgb(0, 45, 150), Rgb(96, 128, 88), Rgb(124, 124, 148)}},
    {o11Highlight, {Rgb(255, 255, 255), Rgb(255, 255, 255), Rgb(255, 255, 255)}},
};
constexpr TColor kDarkShadeA[3] = {Rgb(0, 53, 145), Rgb(96, 119, 107), Rgb(118, 116, 146)};
constexpr TColor kDarkShadeB[3] = {Rgb(123, 164, 224), Rgb(181, 196, 143), Rgb(147, 145, 176)};

std::array<TColor, Office11ColorCount> colors{};
bool computed = false;
Byte scheme = 0;
bool schemeInUse = false;
Integer users = 0;
std::unique_ptr<TBitmap> expandMinus, expandPlus;

Byte DetectScheme() {
  if (!AreThemesUsableFor(0)) return 0;
  WideChar file[1024] = {}, color[1024] = {}, size[1024] = {};
  if (FAILED(GetCurrentThemeName(file, 1024, color, 1024, size, 1024))) return 0;
  WideString name(file);
  const size_t slash = name.find_last_of(u"\\/");
  if (slash != WideString::npos) name = name.substr(slash + 1);
  if (WideUpperCase(name) != u"LUNA.MSSTYLES") return 0;
  const WideString variant = WideUpperCase(WideString(color));
  if (variant == u"NORMALCOLOR") return 1;
  if (variant == u"HOMESTEAD") return 2;
  if (variant == u"METALLIC") return 3;
  return 0;
}

void Set(TuiOffice11Color ARole, TColor AColor) { colors[static_cast<size_t>(ARole)] = ColorToRgbColor(AColor); }

void Compute() {
  scheme = DetectScheme();
  schemeInUse = AreThemesUsableFor(0) && scheme != 0;
  computed = true;
  if (schemeInUse) {
    for (const SchemeRow& row : kSchemeTable) Set(row.Role, row.Colors[scheme - 1]);
    Set(o11DarkShade, MixColors(kDarkShadeA[scheme - 1], kDarkShadeB[scheme - 1], 50));
    return;
  }
  Set(o11BarLight, MixColors(clBtnFace, clWindow, 22));
  Set(o11BarDark, MixColors(clBtnFace, clWindow, 96));
  Set(o11Background, clBtnFace);
  Set(o11BackgroundLight, MixColors(clBtnFace, clWindow, 20));
  Set(o11HeaderDark, MixColors(clBtnShadow, clWindow, 70));
  Set(o11HeaderLight, clWhite);
  Set(o11GroupText, clBtnShadow);
  Set(o11ControlBorder, clBtnShadow);
  Set(o11SelectionFrame, clHighlight);
  Set(o11HotLight, NearestDisplayColor(MixSysColors(-2, 30, 72)));
  Set(o11HotDark, Office11Color(o11HotLight));
  Set(o11PressedLight, NearestDisplayColor(MixSysColors(14, 44, 40)));
  Set(o11PressedDark, Office11Color(o11PressedLight));
  Set(o11SymbolText, clBtnText);
  Set(o11DisabledText, clGrayText);
  Set(o11ContentBackground, clBtnFace);
  Set(o11Marker, MixSysColors(41, 11, 48));
  Set(o11PanelLight, Office11Color(o11Background));
  Set(o11PanelBorder, clBtnShadow);
  Set(o11Highlight, clBtnHighlight);
  Set(o11DarkShade, MixColors(clBtnShadow, clBtnFace, 50));
}

void CreateResources() {
  expandMinus = std::make_unique<TBitmap>();
  expandMinus->LoadFromResourceName(HInstance, "UXEXPANDBUTTON_MINUS");
  expandPlus = std::make_unique<TBitmap>();
  expandPlus->LoadFromResourceName(HInstance, "UXEXPANDBUTTON_PLUS");
}

void DestroyResources() {
  expandMinus.reset();
  expandPlus.reset();
}

}  // namespace

TColor Office11Color(TuiOffice11Color ARole) {
  if (!computed) Compute();
  return colors[static_cast<size_t>(ARole)];
}

Byte CurrentOffice11ColorScheme() { return scheme; }

bool IsOffice11SchemeInUse() { return schemeInUse; }

void AcquireOffice11Colors() {
  if (users++ == 0) {
    Compute();
    CreateResources();
  }
}

void UpdateOffice11Colors() {
  Compute();
  if (users > 0) {
    DestroyResources();
    CreateResources();
  }
}

void DropOffice11Colors() {
  if (users == 0) return;
  if (--users == 0) DestroyResources();
}

TBitmap* Office11ExpandButtonBitmap(bool AExpanded) { return AExpanded ? expandMinus.get() : expandPlus.get(); }

TColor MixColors(TColor AColor1, TColor AColor2, Integer APercent) {
  const COLORREF c1 = ColorToRGB(AColor1), c2 = ColorToRGB(AColor2);
  COLORREF result = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int c = MulDiv(static_cast<int>((c1 >> shift) & 0xFF), APercent, 100) +
                  MulDiv(static_cast<int>((c2 >> shift) & 0xFF), 100 - APercent, 100);
    result |= static_cast<COLORREF>(std::min(c, 255)) << shift;
  }
  return NearestDisplayColor(static_cast<TColor>(result));
}

TColor ScaleColorPercent(TColor AColor, Byte APercent) {
  const COLORREF c = ColorToRGB(AColor);
  COLORREF result = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int v = MulDiv(static_cast<int>((c >> shift) & 0xFF), APercent, 100);
    result |= static_cast<COLORREF>(std::clamp(v, 0, 255)) << shift;
  }
  return static_cast<TColor>(result);
}

TColor MixSysColors(ShortInt AFacePercent, ShortInt AHighlightPercent, ShortInt AWindowPercent) {
  return MixSystemColorsPercent(AFacePercent, AHighlightPercent, AWindowPercent);
}

TColor NearestDisplayColor(TColor AColor) { return GetNearestScreenColor(AColor); }

void FillRectSolid(HDC DC, const TRect& R, TColor AColor) {
  const HBRUSH brush = CreateSolidBrush(ColorToRGB(AColor));
  FillRect(DC, &R, brush);
  DeleteObject(brush);
}

void FillGradientRect(HDC DC, const TRect& R, TColor AFromColor, TColor AToColor, bool AHorizontal) {
  const COLORREF from = ColorToRGB(AFromColor), to = ColorToRGB(AToColor);
  if (from == to) {
    FillRectSolid(DC, R, static_cast<TColor>(from));
    return;
  }
  const Integer extent = AHorizontal ? R.right - R.left : R.bottom - R.top;
  const Integer bands = std::min(extent, 256);
  if (bands <= 0) return;
  const Integer origin = AHorizontal ? R.left : R.top;
  const Integer last = AHorizontal ? R.right : R.bottom;
  Integer start = origin;
  for (Integer i = 0; i < bands; ++i) {
    const Integer end = origin + MulDiv(i + 1, extent, bands);
    COLORREF color = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
      const int f = static_cast<int>((from >> shift) & 0xFF), t = static_cast<int>((to >> shift) & 0xFF);
      // One band is the start colour (the division by bands - 1 has nothing to divide by).
      const int c = bands == 1 ? f : f + MulDiv(i, t - f, bands - 1);
      color |= static_cast<COLORREF>(std::clamp(c, 0, 255)) << shift;
    }
    if (end > start) {
      const TRect band = AHorizontal ? TRect{start, R.top, end, R.bottom} : TRect{R.left, start, R.right, end};
      FillRectSolid(DC, band, static_cast<TColor>(color));
    }
    start = end;
    if (end >= last) break;
  }
}

namespace k58::foundation {
// The colour set is acquired by the palette listener of the look-and-feel unit.
void StartOffice11Unit() {}
void StopOffice11Unit() {
  users = 0;
  DestroyResources();
  computed = false;
}
}  // namespace k58::foundation
