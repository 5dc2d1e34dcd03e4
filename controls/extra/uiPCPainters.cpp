// The standard tab painter base, the Tabs and Flat painters, and their registration.
#include "controls/extra/uiPCPainters.h"

#include <algorithm>

#include "controls/extra/uiPC.h"
#include "controls/foundation/uxThemeManager.h"
#include "controls/foundation/uxUxTheme.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/win/gdi/WinRect.h"

K58_IMPLEMENT_CLASS(TuiPCStandardPainter) {}
K58_IMPLEMENT_CLASS(TuiPCTabsPainter) {}
K58_IMPLEMENT_CLASS(TuiPCFlatPainter) {}

namespace {

struct TabsTraits : TuiPCPainterTraits {
  static constexpr Integer StyleID = 1;
  static constexpr const char* StyleName = "Tabs";
  static bool IsDefault(TuiLookAndFeel* ALookAndFeel) {
    const Integer kind = TabLookAndFeelKind(ALookAndFeel);
    return kind == lfsStandard || kind == lfsWinXP;
  }
  static bool IsNativeDefault(TuiLookAndFeel* ALookAndFeel) { return ALookAndFeel->NativeStyle(); }
};

struct FlatTraits : TabsTraits {
  static constexpr Integer StyleID = 7;
  static constexpr const char* StyleName = "Flat";
  static bool IsDefault(TuiLookAndFeel* ALookAndFeel) { return TabLookAndFeelKind(ALookAndFeel) == lfsFlat; }
};

const TuiPCPainterClassOf<TuiPCTabsPainter, TabsTraits> TabsPainterClass;
const TuiPCPainterClassOf<TuiPCFlatPainter, FlatTraits> FlatPainterClass;

// Registers the unit's painters for the lifetime of the program.
struct PainterRegistration {
  PainterRegistration() {
    for (TuiPCPainterClass c : k58::extra::StandardPainterClasses()) TuiPCPaintersFactory::RegisterPainterClass(c);
  }
  ~PainterRegistration() {
    for (TuiPCPainterClass c : k58::extra::StandardPainterClasses()) TuiPCPaintersFactory::UnregisterPainterClass(c);
  }
};
const PainterRegistration registration;

// Content margins by pressed state and standard look (tabs, buttons, flat buttons).
constexpr TRect kImageAreaOffsets[2][3] = {{{6, 1, 0, 0}, {6, -1, 0, 1}, {6, -1, 0, 1}},
                                           {{8, 1, 0, 3}, {7, -1, 0, 1}, {7, -1, 0, 1}}};
constexpr TRect kTextAreaOffsets[2][3] = {{{5, 1, 5, -1}, {6, 0, 4, 1}, {6, 0, 4, 1}},
                                          {{5, 1, 5, 2}, {6, 0, 4, 1}, {6, 0, 4, 1}}};
constexpr Integer kTabDistance[3] = {0, 3, 10};
constexpr Integer kRowDistance[3] = {0, 3, 3};
constexpr Integer kTabMinHeight[3] = {18, 20, 20};

bool IsOneOf(Integer AValue, std::initializer_list<Integer> AValues) {
  return std::find(AValues.begin(), AValues.end(), AValue) != AValues.end();
}

Integer CaptionWidth(TuiCanvas* ACanvas, const String& ACaption) {
  if (ACaption.empty()) return 0;
  RECT r{0, 0, 0, 0};
  DrawText(ACanvas->GetDCHandle(), ACaption.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE);
  return r.right - r.left;
}

}  // namespace

namespace k58::extra {
const std::vector<TuiPCPainterClass>& StandardPainterClasses() {
  static const std::vector<TuiPCPainterClass> classes{
      &TabsPainterClass,       ButtonsPainterClass(),   FlatButtonsPainterClass(),
      ExtraFlatPainterClass(), UltraFlatPainterClass(), &FlatPainterClass,
      Office11PainterClass(),  SlantedPainterClass(),   OneNotePainterClass()};
  return classes;
}
}  // namespace k58::extra

TuiPCPainterClass TuiPCTabsPainter::PainterClass() const { return &TabsPainterClass; }
TuiPCPainterClass TuiPCFlatPainter::PainterClass() const { return &FlatPainterClass; }

// ---- Colour routine ----

TColor BrightenColor(TColor AColor, Integer APercent) {
  const COLORREF rgb = ColorToRGB(AColor);
  const double r = GetRValue(rgb), g = GetGValue(rgb), b = GetBValue(rgb);
  const double maxC = std::max({r, g, b}), minC = std::min({r, g, b});
  double brightness = maxC * 100 / 255;
  const double saturation = maxC == 0 ? 0 : 100 - minC * 100 / maxC;
  double hue = 0;
  if (maxC != minC) {
    const double d = maxC - minC;
    if (maxC == r)
      hue = 60 * (g - b) / d;
    else if (maxC == g)
      hue = 60 * (b - r) / d + 120;
    else
      hue = 60 * (r - g) / d + 240;
    if (hue < 0) hue += 360;
  }
  brightness = std::min(100.0, brightness * (100 + APercent) / 100);
  const double v = brightness * 255 / 100, s = saturation / 100;
  const int sector = static_cast<int>(hue / 60) % 6;
  const double f = hue / 60 - static_cast<int>(hue / 60);
  const double p = v * (1 - s), q = v * (1 - s * f), t = v * (1 - s * (1 - f));
  double rr = v, gg = t, bb = p;
  switch (sector) {
    case 1: rr = q, gg = v, bb = p; break;
    case 2: rr = p, gg = v, bb = t; break;
    case 3: rr = p, gg = q, bb = v; break;
    case 4: rr = t, gg = p, bb = v; break;
    case 5: rr = v, gg = p, bb = q; break;
    default: break;
  }
  auto byte = [](double x) { return static_cast<BYTE>(std::clamp(static_cast<int>(x + 0.5), 0, 255)); };
  return static_cast<TColor>(RGB(byte(rr), byte(gg), byte(bb)));
}

// ---- Standard painter: sizes ----

Integer TuiPCStandardPainter::CaptionTextWidth(const String& ACaption) { return CaptionWidth(Canvas(), ACaption); }

bool TuiPCStandardPainter::RowsVertical() const {
  const TuiTabPosition p = ParentInfo()->TabPosition();
  return p == tpLeft || p == tpRight;
}

Integer TuiPCStandardPainter::CalculateTabNormalWidth(TuiTab* ATab) {
  if (ParentInfo()->TabWidth() > 0) return ParentInfo()->TabWidth();
  const TSize image = GetImageSize();
  const Integer imagePart = image.cx > 0 ? image.cx + 2 * ParentInfo()->ImageBorder() + 6 : 0;
  return std::max(GetMinTabNormalWidth(), imagePart + 12 + CaptionWidth(Canvas(), ATab->Caption()));
}

Integer TuiPCStandardPainter::GetMinTabNormalWidth() {
  const TSize image = GetImageSize();
  return std::max(GetMinTabWidth(), 12 + (image.cx > 0 ? image.cx + 2 * ParentInfo()->ImageBorder() + 6 : 0));
}

Integer TuiPCStandardPainter::GetTabNormalHeightByContent() {
  TuiScreenCanvas screen;
  const Integer fontHeight = screen.MeasureFontHeight(ParentControl()->Font());
  const TSize image = GetImageSize();
  const Integer imagePart = image.cy > 0 ? image.cy + 2 * ParentInfo()->ImageBorder() + 6 : 0;
  return std::max(fontHeight + 8, imagePart);
}

Integer TuiPCStandardPainter::CalculateTabNormalHeight() {
  return std::max({GetTabNormalHeightByContent(), GetTabMinHeight(), ParentInfo()->TabHeight()});
}

Integer TuiPCStandardPainter::GetTabMinHeight() { return kTabMinHeight[StandardStyle()]; }

void TuiPCStandardPainter::GetTabImageAreaOffsets(Integer ATabVisibleIndex, TRect& R) {
  R = kImageAreaOffsets[IsTabPressed(ATabVisibleIndex) ? 1 : 0][StandardStyle()];
}

void TuiPCStandardPainter::GetTabTextAreaOffsets(Integer ATabVisibleIndex, TRect& R) {
  R = kTextAreaOffsets[IsTabPressed(ATabVisibleIndex) ? 1 : 0][StandardStyle()];
}

TPoint TuiPCStandardPainter::GetTabsNormalDistance() {
  return TPoint{kTabDistance[StandardStyle()], kRowDistance[StandardStyle()]};
}

bool TuiPCStandardPainter::IsTabPressed(Integer ATabVisibleIndex) {
  return ATabVisibleIndex == ParentInfo()->ActiveTabVisibleIndex();
}

TColor TuiPCStandardPainter::GetBackgroundColor() { return ParentInfo()->Color(); }

void TuiPCStandardPainter::PrepareTabImageAndTextRects(Integer ATabVisibleIndex, const TRect& AImageRect,
                                                       const TRect& ATextRect) {
  TFont saved;
  saved.Assign(Canvas()->GetCanvasFont());
  DoDrawTabEx(ATabVisibleIndex, Canvas()->GetCanvasFont());
  drawnTab_ = ATabVisibleIndex;
  drawnImageRect_ = AImageRect;
  drawnTextRect_ = ATextRect;
  Canvas()->GetCanvasFont()->Assign(&saved);
}

// ---- Standard painter: navigator ----

bool TuiPCStandardPainter::NavigatorAtRowStart() const {
  const TuiPCNavigatorPosition n = ParentInfo()->NavigatorPosition();
  return RowsVertical() ? n == npLeftTop || n == npRightTop : n == npLeftTop || n == npLeftBottom;
}

void TuiPCStandardPainter::GetButtonsOrder(TuiPCNavigatorButtons AButtons, std::vector<TuiPCNavigatorButton>& AOrder) {
  AOrder.clear();
  const TuiPCNavigatorButton atStart[4] = {nbClose, nbTopLeft, nbBottomRight, nbGoDialog};
  const TuiPCNavigatorButton atEnd[4] = {nbGoDialog, nbTopLeft, nbBottomRight, nbClose};
  for (TuiPCNavigatorButton b : NavigatorAtRowStart() ? atStart : atEnd)
    if (AButtons.Contains(b)) AOrder.push_back(b);
}

Integer TuiPCStandardPainter::GetButtonWidth(TuiPCNavigatorButton AButton) {
  if (AButton == nbGoDialog) return RowsVertical() ? 13 : 12;
  return 20;
}

Integer TuiPCStandardPainter::GetButtonsRegionLength(TuiPCNavigatorButtons AButtons) {
  std::vector<TuiPCNavigatorButton> order;
  GetButtonsOrder(AButtons, order);
  if (order.empty()) return 0;
  Integer length = 0;
  for (size_t i = 0; i < order.size(); ++i) {
    length += GetButtonWidth(order[i]);
    if (i + 1 < order.size()) length += GetButtonsDistance(order[i], order[i + 1]);
  }
  return length + GetButtonsRegionEndOffset() + GetButtonsRegionTabsIndent();
}

void TuiPCStandardPainter::CalculateButtonsRegion(TuiPCNavigatorButtons AButtons) {
  std::vector<TuiPCNavigatorButton> order;
  GetButtonsOrder(AButtons, order);
  const Integer thickness = GetButtonHeight();
  Integer length = 0;
  for (size_t i = 0; i < order.size(); ++i) {
    length += GetButtonWidth(order[i]);
    if (i + 1 < order.size()) length += GetButtonsDistance(order[i], order[i + 1]);
  }
  const TuiPCPainterParentInfo* info = ParentInfo();
  const TuiPCNavigatorPosition n = info->NavigatorPosition();
  if (!RowsVertical()) {
    const Integer left = n == npLeftTop || n == npLeftBottom ? GetButtonsRegionEndOffset()
                                                             : info->Width() - length - GetButtonsRegionEndOffset();
    const Integer top = info->TabPosition() == tpTop ? GetButtonsRegionSideOffset()
                                                     : info->Height() - thickness - GetButtonsRegionSideOffset();
    navigatorRegion_ = TRect{left, top, left + length, top + thickness};
  } else {
    const Integer left = info->TabPosition() == tpLeft ? GetButtonsRegionSideOffset()
                                                       : info->Width() - thickness - GetButtonsRegionSideOffset();
    const Integer top = n == npLeftTop || n == npRightTop ? GetButtonsRegionEndOffset()
                                                          : info->Height() - length - GetButtonsRegionEndOffset();
    navigatorRegion_ = TRect{left, top, left + thickness, top + length};
  }
}

void TuiPCStandardPainter::CalculateButtonsPositions(TuiPCNavigatorButtons AButtons) {
  std::vector<TuiPCNavigatorButton> order;
  GetButtonsOrder(AButtons, order);
  buttons_.clear();
  if (order.empty()) {
    navigatorRegion_ = TRect{};
    return;
  }
  CalculateButtonsRegion(AButtons);
  const bool vertical = RowsVertical();
  Integer x = navigatorRegion_.left, y = navigatorRegion_.top;
  for (size_t i = 0; i < order.size(); ++i) {
    const Integer w = GetButtonWidth(order[i]), h = GetButtonHeight();
    const TRect bounds = vertical ? TRect{x, y, x + h, y + w} : TRect{x, y, x + w, y + h};
    buttons_.push_back({order[i], bounds});
    const Integer gap = i + 1 < order.size() ? GetButtonsDistance(order[i], order[i + 1]) : 0;
    (vertical ? y : x) += w + gap;
  }
}

bool TuiPCStandardPainter::GetButtonAtPoint(Integer X, Integer Y, TuiPCNavigatorButton& AButton) {
  const TPoint p{X, Y};
  for (const TuiPCNavigatorButtonPosition& b : buttons_) {
    if (PtInRect(&b.Bounds, p)) {
      AButton = b.Button;
      return true;
    }
  }
  return false;
}

void TuiPCStandardPainter::GetGoDialogButtonBounds(TRect& R) {
  R = TRect{};
  for (const TuiPCNavigatorButtonPosition& b : buttons_)
    if (b.Button == nbGoDialog) R = b.Bounds;
}

void TuiPCStandardPainter::GetGoDialogPosition(const TSize& AMenuSize, TPoint& P) {
  TRect r;
  GetGoDialogButtonBounds(r);
  if (IsRectEmpty(&r)) return;
  const TuiTabPosition t = ParentInfo()->TabPosition();
  const TuiPCNavigatorPosition n = ParentInfo()->NavigatorPosition();
  const bool toLeft = (!RowsVertical() && (n == npRightTop || n == npRightBottom)) || t == tpRight;
  const bool upward = t == tpBottom || (RowsVertical() && (n == npLeftBottom || n == npRightBottom));
  P.x = toLeft ? r.right - AMenuSize.cx : r.left;
  P.y = upward ? r.top - AMenuSize.cy : r.bottom;
}

void TuiPCStandardPainter::InitTabsRegionParameters(TuiPCNavigatorButtons AButtons,
                                                    TuiPCTabsRegionParameters& AParams) {
  const Integer reserved = GetButtonsRegionLength(AButtons);
  const TuiPCPainterParentInfo* info = ParentInfo();
  const TRect indents = GetTabsRegionIndents();
  TRect rows{indents.left, indents.top, info->Width() - indents.right, info->Height() - indents.bottom};
  const TuiPCNavigatorPosition n = info->NavigatorPosition();
  if (RowsVertical()) {
    if (n == npLeftBottom || n == npRightBottom)
      rows.bottom -= reserved;
    else
      rows.top += reserved;
    AParams.TabsLength = rows.bottom - rows.top;
  } else {
    if (n == npRightTop || n == npRightBottom)
      rows.right -= reserved;
    else
      rows.left += reserved;
    AParams.TabsLength = rows.right - rows.left;
  }
  AParams.TabsRect = rows;
  AParams.TabsRectCopy = rows;
  AParams.NearExtraOffset = AParams.FarExtraOffset = 0;
  AParams.RowDistance = GetTabsNormalDistance().y;
  CalculateButtonsPositions(AButtons);
}

TColor TuiPCStandardPainter::GetButtonArrowColor(TuiPCNavigatorButtonState AState) {
  return AState == nbsHot ? ParentInfo()->HotColor() : clBtnText;
}

void TuiPCStandardPainter::GetButtonGlyphInfo(TuiPCNavigatorButton AButton, TuiPCButtonGlyphInfo& AInfo) {
  const TuiPCNavigatorButtonState state = ParentInfo()->NavigatorButtonState(AButton);
  AInfo.BrushColor = AInfo.PenColor = GetButtonArrowColor(state);
  AInfo.Enabled = ParentControl()->Enabled() && state != nbsDisabled;
  AInfo.Thin = false;
}

TuiArrowDirection TuiPCStandardPainter::ArrowDirection(TuiPCNavigatorButton AButton) const {
  if (AButton == nbGoDialog) return adDown;
  if (RowsVertical()) return AButton == nbTopLeft ? adUp : adDown;
  return AButton == nbTopLeft ? adLeft : adRight;
}

TPoint TuiPCStandardPainter::GetTableGlyphOffset(TuiPCNavigatorButton AButton) {
  TPoint p;
  if (AButton == nbClose) {
    p = TPoint{5, 5};
  } else if (AButton == nbGoDialog) {
    p = RowsVertical() ? TPoint{6, 4} : TPoint{2, 8};
  } else {
    switch (ArrowDirection(AButton)) {
      case adLeft: p = TPoint{6, 5}; break;
      case adRight: p = TPoint{8, 5}; break;
      default: p = TPoint{5, 7}; break;
    }
  }
  if (ParentInfo()->NavigatorButtonState(AButton) == nbsPressed) {
    ++p.x;
    ++p.y;
  }
  return p;
}

TPoint TuiPCStandardPainter::GetButtonGlyphOffset(TuiPCNavigatorButton AButton) {
  TSize glyph = AButton == nbClose ? TSize{8, 7} : AButton == nbGoDialog ? TSize{7, 4} : TSize{5, 9};
  TSize button{GetButtonWidth(AButton), GetButtonHeight()};
  if (RowsVertical()) {
    if (AButton != nbGoDialog) std::swap(glyph.cx, glyph.cy);
    std::swap(button.cx, button.cy);
  }
  TPoint p{(button.cx - glyph.cx) / 2, (button.cy - glyph.cy) / 2};
  if (AButton == nbGoDialog) ++p.y;
  if (ParentInfo()->NavigatorButtonState(AButton) == nbsPressed) {
    ++p.y;
    if (AButton != nbGoDialog) ++p.x;
  }
  return p;
}

void TuiPCStandardPainter::DrawGlyph(TuiPCNavigatorButton AButton, const TPoint& AOrigin,
                                     const TuiPCButtonGlyphInfo& AInfo) {
  TuiCanvas* canvas = Canvas();
  auto draw = [&](TPoint o, TColor ABrush, TColor APen) {
    canvas->GetCanvasPen()->SetColor(APen);
    canvas->GetCanvasBrush()->SetStyle(bsSolid);
    canvas->GetCanvasBrush()->SetColor(ABrush);
    if (AButton == nbClose) {
      const Integer x = o.x, y = o.y;
      std::vector<std::pair<TPoint, TPoint>> lines;
      if (!AInfo.Thin)
        lines = {{{x + 1, y}, {x + 8, y + 7}}, {{x, y}, {x + 8, y + 8}}, {{x, y + 1}, {x + 7, y + 8}},
                 {{x, y + 7}, {x + 7, y}},     {{x, y + 8}, {x + 8, y}}, {{x + 1, y + 8}, {x + 8, y + 1}}};
      else if (RowsVertical())
        lines = {{{x, y}, {x + 6, y + 6}}, {{x, y + 1}, {x + 6, y + 7}}, {{x, y + 6}, {x + 6, y}}, {{x, y + 7}, {x + 6, y + 1}}};
      else
        lines = {{{x + 1, y}, {x + 7, y + 6}}, {{x, y}, {x + 6, y + 6}}, {{x, y + 6}, {x + 6, y}}, {{x + 1, y + 6}, {x + 7, y}}};
      for (const auto& [from, to] : lines) {
        canvas->MoveTo(from.x, from.y);
        canvas->LineTo(to.x, to.y);
      }
      return;
    }
    static constexpr TPoint kUnits[4][3] = {{{0, 1}, {1, 0}, {2, 1}}, {{0, 0}, {2, 0}, {1, 1}},
                                            {{0, 1}, {1, 0}, {1, 2}}, {{0, 0}, {1, 1}, {0, 2}}};
    const Integer scale = AButton == nbGoDialog ? 3 : 4;
    std::vector<TPoint> points;
    for (const TPoint& u : kUnits[ArrowDirection(AButton)]) points.push_back(TPoint{o.x + u.x * scale, o.y + u.y * scale});
    canvas->Polygon(points);
  };
  if (AInfo.Enabled) {
    draw(AOrigin, AInfo.BrushColor, AInfo.PenColor);
  } else {
    draw(TPoint{AOrigin.x + 1, AOrigin.y + 1}, clBtnHighlight, clBtnHighlight);
    draw(AOrigin, clBtnShadow, clBtnShadow);
  }
  canvas->GetCanvasBrush()->SetStyle(bsSolid);
}

void TuiPCStandardPainter::Draw3DFrame(const TRect& R, bool APressed, bool AFlat) {
  TuiCanvas* c = Canvas();
  auto line = [c](std::initializer_list<TPoint> APoints, TColor AColor) {
    c->GetCanvasPen()->SetColor(AColor);
    c->Polyline(std::vector<TPoint>(APoints));
  };
  const TColor outerLT = AFlat ? (APressed ? cl3DDkShadow : cl3DLight) : (APressed ? clBtnShadow : cl3DLight);
  const TColor outerRB = AFlat ? (APressed ? cl3DLight : cl3DDkShadow) : (APressed ? clBtnHighlight : cl3DDkShadow);
  line({{R.left, R.bottom - 2}, {R.left, R.top}, {R.right - 2, R.top}}, outerLT);
  line({{R.left, R.bottom - 1}, {R.right - 1, R.bottom - 1}, {R.right - 1, R.top}}, outerRB);
  if (AFlat) return;
  line({{R.left + 1, R.bottom - 3}, {R.left + 1, R.top + 1}, {R.right - 3, R.top + 1}},
       APressed ? cl3DDkShadow : clBtnHighlight);
  line({{R.left + 1, R.bottom - 2}, {R.right - 2, R.bottom - 2}, {R.right - 2, R.top + 1}},
       APressed ? cl3DLight : clBtnShadow);
}

void TuiPCStandardPainter::DrawButtonFrame(TRect& R, TuiPCNavigatorButtonState AState) {
  Draw3DFrame(R, AState == nbsPressed);
  InflateRect(&R, -2, -2);
}

void TuiPCStandardPainter::DrawButtonBackground(const TRect& R, TuiPCNavigatorButtonState AState) {
  Canvas()->FillRectWithColor(R, GetButtonColor(AState));
}

void TuiPCStandardPainter::DrawButton(TuiPCNavigatorButton AButton, TRect R) {
  const TuiPCNavigatorButtonState state = ParentInfo()->NavigatorButtonState(AButton);
  const TPoint origin{R.left, R.top};
  DrawButtonFrame(R, state);
  DrawButtonBackground(R, state);
  TuiPCButtonGlyphInfo info;
  GetButtonGlyphInfo(AButton, info);
  const TPoint offset = GetButtonGlyphOffset(AButton);
  DrawGlyph(AButton, TPoint{origin.x + offset.x, origin.y + offset.y}, info);
}

void TuiPCStandardPainter::DrawButtons() {
  if (ParentInfo()->NavigatorButtons().Empty()) return;
  for (const TuiPCNavigatorButtonPosition& b : buttons_) {
    if (!RectVisible(Canvas()->GetDCHandle(), &b.Bounds)) continue;
    if (!SetClipRect(b.Bounds)) continue;
    try {
      DrawButton(b.Button, b.Bounds);
    } catch (...) {
      RestoreClipRegion();
      throw;
    }
    RestoreClipRegion();
    Canvas()->ExcludeClipRect(b.Bounds);
  }
}

void TuiPCStandardPainter::RepaintButton(TuiPCNavigatorButton AButton, TuiPCNavigatorButtonState) {
  for (const TuiPCNavigatorButtonPosition& b : buttons_)
    if (b.Button == AButton) InvalidateControlRect(b.Bounds);
}

void TuiPCStandardPainter::RepaintButtonsRegion() {
  if (!buttons_.empty()) InvalidateControlRect(navigatorRegion_);
}

void TuiPCStandardPainter::RepaintTab(Integer ATabVisibleIndex, Integer) {
  if (ATabVisibleIndex < 0 || ATabVisibleIndex >= ParentControl()->Tabs()->VisibleCount()) return;
  // The turned caption carries the tab's colours: any change may alter it.
  if (ParentControl()->GetPainterTextMode() != 0) ParentInfo()->GetTab(ATabVisibleIndex)->FreeCaptionBitmap();
  InvalidateTabRect(ATabVisibleIndex);
}

// ---- Standard painter: frame, tabs, background ----

void TuiPCStandardPainter::HLine(Integer X1, Integer X2, Integer Y, TColor AColor) {
  Canvas()->FillRectWithColor(TRect{std::min(X1, X2), Y, std::max(X1, X2) + 1, Y + 1}, AColor);
}

void TuiPCStandardPainter::VLine(Integer X, Integer Y1, Integer Y2, TColor AColor) {
  Canvas()->FillRectWithColor(TRect{X, std::min(Y1, Y2), X + 1, std::max(Y1, Y2) + 1}, AColor);
}

void TuiPCStandardPainter::DrawFrame() {
  TRect r;
  CalculateFrameRect(r);
  if (IsRectEmpty(&r)) return;
  Canvas()->DrawTwoColorFrame(r, clBtnHighlight, cl3DDkShadow);
  InflateRect(&r, -1, -1);
  Canvas()->DrawTwoColorFrame(r, cl3DLight, clBtnShadow);
}

void TuiPCStandardPainter::DrawTabFocusRect(Integer ATabVisibleIndex, const TRect& R) {
  TuiTab* tab = ParentInfo()->GetTab(ATabVisibleIndex);
  if (!tab->IsEnabledForUser() || !tab->IsActive() || !ParentControl()->Focused()) return;
  TRect visible;
  tab->GetVisibleRect(visible);
  if (!SetClipRect(visible, false)) return;
  TRect r = R;
  InflateRect(&r, -1, -1);
  Canvas()->GetCanvasPen()->SetColor(ParentControl()->Font()->Color());
  Canvas()->DrawFocusRectangle(r);
  RestoreClipRegion();
}

void TuiPCStandardPainter::DrawTab(Integer ATabVisibleIndex) {
  HRGN region = GetTabClipRgn(ATabVisibleIndex);
  const TuiRegionOperation operation = GetTabClipRgnOperation(ATabVisibleIndex);
  SaveClipRegion();
  HDC dc = Canvas()->GetDCHandle();
  try {
    if (operation == roSet)
      SelectClipRgn(dc, region);
    else
      ExtSelectClipRgn(dc, region, RGN_AND);
    if (!(IsOwnerDrawing() && IsTabCustomDrawn(ATabVisibleIndex))) {
      if (IsNativePainting()) DrawNativeTab(ATabVisibleIndex);
      DrawTabImageAndText(ATabVisibleIndex);
      DrawTabBackground(ATabVisibleIndex);
    }
  } catch (...) {
    RestoreClipRegion();
    DeleteObject(region);
    throw;
  }
  RestoreClipRegion();
  if (IsTabTransparent(ATabVisibleIndex)) {
    TRect both;
    UnionRect(&both, &drawnImageRect_, &drawnTextRect_);
    HRGN content = CreateRectRgnIndirect(&both);
    CombineRgn(content, content, region, RGN_AND);
    ExtSelectClipRgn(dc, content, RGN_DIFF);
    DeleteObject(content);
  } else {
    ExtSelectClipRgn(dc, region, RGN_DIFF);
  }
  DeleteObject(region);
}

void TuiPCStandardPainter::DrawTabs() {
  Integer first, last;
  ParentControl()->GetVisibleTabRange(first, last);
  for (Integer i = first; i <= last; ++i) DrawTab(i);
}

void TuiPCStandardPainter::Paint() {
  TuiPCCustomPainter::Paint();
  const TRect all{0, 0, ParentInfo()->Width(), ParentInfo()->Height()};
  if (IsNativePainting())
    DrawThemeParentBackground(ParentControl()->Handle(), Canvas()->GetDCHandle(), &all);
  else
    Canvas()->FillRectWithColor(all, GetBackgroundColor());
}

// ---- Tabs painter ----

TuiPCTabsPainter::~TuiPCTabsPainter() { ReleasePaintDC(); }

bool TuiPCTabsPainter::IsNativePainting() {
  TuiCustomTabControl* parent = ParentControl();
  return !parent->ComponentState().Contains(csDestroying) && parent->LookAndFeel()->NativeStyle() &&
         AreThemesUsableFor(0) && OpenThemeObject(totTab) != nullptr;
}

void TuiPCTabsPainter::GetTabCorrection(Integer ATabVisibleIndex, TRect& R) {
  R = TRect{};
  if (ATabVisibleIndex != ParentInfo()->ActiveTabVisibleIndex()) return;
  switch (ParentInfo()->GetTab(ATabVisibleIndex)->GetSide()) {
    case tsTop: R = TRect{-2, -2, 2, 1}; break;
    case tsBottom: R = TRect{-2, -1, 2, 2}; break;
    case tsLeft: R = TRect{-2, -2, 1, 2}; break;
    case tsRight: R = TRect{-1, -2, 2, 2}; break;
  }
}

void TuiPCTabsPainter::GetFrameRectMargins(TRect& M) {
  TuiPCStandardPainter::GetFrameRectMargins(M);
  if (!ParentInfo()->HideTabs() && ParentInfo()->RowCount() >= 1) --M.top;
}

void TuiPCTabsPainter::GetClientRectMargins(TRect& M) {
  TuiPCStandardPainter::GetClientRectMargins(M);
  if (!IsNativePainting()) return;
  const RECT bounds{0, 0, 100, 100};
  RECT content = bounds;
  GetThemeBackgroundContentRect(OpenThemeObject(totTab), Canvas()->GetDCHandle(), 9, 0, bounds, content);
  const TRect real{content.left - bounds.left, content.top - bounds.top, bounds.right - content.right,
                   bounds.bottom - content.bottom};
  // Real-side margins turned back into top-tab orientation.
  TuiTabPosition inverse = ParentInfo()->TabPosition();
  if (inverse == tpLeft)
    inverse = tpRight;
  else if (inverse == tpRight)
    inverse = tpLeft;
  const TRect theme = RotateMargins(real, inverse);
  M = TRect{M.left - 2 + theme.left, M.top - 2 + theme.top, M.right - 2 + theme.right, M.bottom - 2 + theme.bottom};
}

void TuiPCTabsPainter::GetTabImageAreaOffsets(Integer ATabVisibleIndex, TRect& R) {
  TuiPCStandardPainter::GetTabImageAreaOffsets(ATabVisibleIndex, R);
  const Integer code = ParentInfo()->GetTab(ATabVisibleIndex)->GetOrientationCode(ParentControl()->GetTextMode());
  if (IsOneOf(code, {5, 7, 10})) ++R.bottom;
}

void TuiPCTabsPainter::GetTabTextAreaOffsets(Integer ATabVisibleIndex, TRect& R) {
  TuiPCStandardPainter::GetTabTextAreaOffsets(ATabVisibleIndex, R);
  const Integer code = ParentInfo()->GetTab(ATabVisibleIndex)->GetOrientationCode(ParentControl()->GetTextMode());
  if (IsOneOf(code, {5, 7, 10})) ++R.bottom;
  if (ATabVisibleIndex == ParentInfo()->ActiveTabVisibleIndex() && GetImageSize().cx == 0) R.left += 2;
}

TColor TuiPCTabsPainter::GetTabColor(Integer ATabVisibleIndex) {
  TuiTab* tab = ParentInfo()->GetTab(ATabVisibleIndex);
  return tab->IsEnabledForUser() && tab->Highlighted() ? clHighlight : clBtnFace;
}

HRGN TuiPCTabsPainter::GetTabClipRgn(Integer ATabVisibleIndex) {
  TuiTab* tab = ParentInfo()->GetTab(ATabVisibleIndex);
  TRect r;
  tab->GetVisibleRect(r);
  if (ATabVisibleIndex == ParentInfo()->ActiveTabVisibleIndex()) {
    switch (tab->GetSide()) {
      case tsTop: ++r.bottom; break;
      case tsBottom: --r.top; break;
      case tsLeft: ++r.right; break;
      case tsRight: --r.left; break;
    }
  }
  return CreateRectRgnIndirect(&r);
}

TuiRegionOperation TuiPCTabsPainter::GetTabClipRgnOperation(Integer ATabVisibleIndex) {
  return ATabVisibleIndex == ParentInfo()->ActiveTabVisibleIndex() ? roSet : roIntersect;
}

void TuiPCTabsPainter::GetTabContentWOffset(Integer ATabVisibleIndex, Integer (&APair)[2]) {
  if (ATabVisibleIndex == ParentInfo()->ActiveTabVisibleIndex()) {
    APair[0] = ParentInfo()->Rotate() ? 3 : 4;
    APair[1] = 4;
  } else {
    APair[0] = APair[1] = 2;
  }
  const Integer code = ParentInfo()->GetTab(ATabVisibleIndex)->GetOrientationCode(ParentControl()->GetTextMode());
  if (IsOneOf(code, {3, 6, 11})) std::swap(APair[0], APair[1]);
}

void TuiPCTabsPainter::GetTruncatedTabContentWOffset(Integer ATabVisibleIndex, Integer (&APair)[2]) {
  GetTabContentWOffset(ATabVisibleIndex, APair);
}

void TuiPCTabsPainter::GetTabNativePartAndState(Integer ATabVisibleIndex, Integer& PartId, Integer& StateId) {
  const TuiPCPainterParentInfo* info = ParentInfo();
  TuiCustomTabControl* control = ParentControl();
  TuiTab* tab = info->GetTab(ATabVisibleIndex);
  Integer rowFirst = ATabVisibleIndex, rowLast = ATabVisibleIndex;
  const auto bounds = control->GetLineIndexBounds();
  if (tab->DisplayRow >= 0 && tab->DisplayRow < static_cast<Integer>(bounds.size())) {
    rowFirst = bounds[static_cast<size_t>(tab->DisplayRow)].first;
    rowLast = bounds[static_cast<size_t>(tab->DisplayRow)].last;
  }
  enum { kLeft, kMiddle, kRight } place = kMiddle;
  const bool stretched = info->MultiLine() && !info->RaggedRight();
  if (stretched) {
    if (ATabVisibleIndex == rowLast)
      place = kRight;
    else if (ATabVisibleIndex == rowFirst)
      place = kLeft;
  } else {
    if (ATabVisibleIndex == rowFirst)
      place = kLeft;
    else if (ATabVisibleIndex == control->Tabs()->VisibleCount() - 1)
      place = kRight;
  }
  const bool active = tab->IsActive();
  if (active && place == kRight && (!info->MultiLine() || info->RaggedRight())) place = kMiddle;
  const Integer code = active ? 3 : tab->IsHotTracked() ? 1 : 2;
  static constexpr Integer kParts[2][3] = {{2, 1, 3}, {6, 5, 7}};
  PartId = kParts[active ? 1 : 0][place];
  StateId = code == 1 ? 2 : code == 2 ? 1 : 3;
}

void TuiPCTabsPainter::InitTabsRegionParameters(TuiPCNavigatorButtons AButtons, TuiPCTabsRegionParameters& AParams) {
  const Integer reserved = GetButtonsRegionLength(AButtons);
  const TuiPCPainterParentInfo* info = ParentInfo();
  const Integer width = info->Width(), height = info->Height();
  TRect rows{0, 0, width, height};
  const TuiTabPosition position = info->TabPosition();
  TRect margins = RotateMargins(TRect{0, 2, 0, 0}, position);
  const TuiPCNavigatorPosition n = info->NavigatorPosition();
  const bool rotate = info->Rotate(), topToBottom = info->Options().Contains(pcoTopToBottomText);
  Integer length;
  if (!RowsVertical()) {
    if (info->MultiLine()) {
      length = width - 4;
      margins.left = margins.right = 2;
    } else {
      margins.left = rotate && topToBottom ? 0 : 2;
      if (n == npLeftTop || n == npLeftBottom) {
        margins.left += reserved;
        rows.left = reserved;
      } else {
        rows.right -= reserved;
      }
      length = width - reserved - 2;
      margins.right = width - length - margins.left;
    }
  } else {
    if (info->MultiLine()) {
      length = height - 4;
      margins.top = margins.bottom = 2;
    } else {
      margins.top = !rotate && !topToBottom ? 0 : 2;
      if (n == npLeftTop || n == npRightTop) {
        margins.top += reserved;
        rows.top = reserved;
      } else {
        rows.bottom -= reserved;
      }
      length = height - reserved - 2;
      margins.bottom = height - length - margins.top;
    }
  }
  TRect start{0, 0, width, height};
  start = TRect{start.left + margins.left, start.top + margins.top, start.right - margins.right,
                start.bottom - margins.bottom};
  AParams.TabsRect = rows;
  AParams.TabsRectCopy = start;
  AParams.TabsLength = length;
  const bool near = position == tpTop || position == tpLeft;
  AParams.NearExtraOffset = near ? 1 : 0;
  AParams.FarExtraOffset = near ? 0 : -1;
  AParams.RowDistance = 0;
  CalculateButtonsPositions(AButtons);
}

void TuiPCTabsPainter::PrepareTabImageAndTextRects(Integer ATabVisibleIndex, const TRect& AImageRect,
                                                   const TRect& ATextRect) {
  TRect image = AImageRect, text = ATextRect;
  TuiTab* tab = ParentInfo()->GetTab(ATabVisibleIndex);
  if (IsNativePainting() && tab->IsActive() && IsOneOf(tab->GetOrientationCode(ParentControl()->GetTextMode()), {5, 7, 10})) {
    OffsetRect(&image, 0, 1);
    OffsetRect(&text, 0, 1);
  }
  TuiPCStandardPainter::PrepareTabImageAndTextRects(ATabVisibleIndex, image, text);
}

void TuiPCTabsPainter::DrawTabs() {
  Integer first, last;
  ParentControl()->GetVisibleTabRange(first, last);
  const Integer active = ParentInfo()->ActiveTabVisibleIndex();
  if (active >= first && active <= last) DrawTab(active);
  for (Integer i = first; i <= last; ++i)
    if (i != active) DrawTab(i);
}

void TuiPCTabsPainter::RepaintTab(Integer ATabVisibleIndex, Integer AChangeType) {
  if (ATabVisibleIndex < 0 || ATabVisibleIndex >= ParentControl()->Tabs()->VisibleCount()) return;
  if (AChangeType == tcActive && !ParentInfo()->GetTab(ATabVisibleIndex)->IsActive())
    InvalidateRowsArea(ATabVisibleIndex);
  else
    TuiPCStandardPainter::RepaintTab(ATabVisibleIndex, AChangeType);
}

Integer TuiPCTabsPainter::GetButtonHeight() { return IsNativePainting() ? 17 : 20; }

Integer TuiPCTabsPainter::GetButtonWidth(TuiPCNavigatorButton AButton) {
  if (!IsNativePainting()) return TuiPCStandardPainter::GetButtonWidth(AButton);
  if (AButton == nbGoDialog) {
    SIZE size{0, 0};
    if (GetThemePartSize(OpenThemeObject(totSpin), Canvas()->GetDCHandle(), 2, 1, TS_TRUE, size) == S_OK && size.cx > 0)
      return size.cx;
  }
  return 17;
}

TRect TuiPCTabsPainter::NativeTabRect(Integer ATabVisibleIndex) {
  TuiTab* tab = ParentInfo()->GetTab(ATabVisibleIndex);
  TRect r;
  tab->GetFullRect(r);
  if (tab->IsActive()) {
    switch (tab->GetSide()) {
      case tsTop: ++r.bottom; break;
      case tsBottom: --r.top; break;
      case tsLeft: ++r.right; break;
      case tsRight: --r.left; break;
    }
  }
  return r;
}

void TuiPCTabsPainter::ReleasePaintDC() {
  if (paintDC_ == nullptr) return;
  SelectObject(paintDC_, previousBitmap_);
  DeleteObject(paintBitmap_);
  DeleteDC(paintDC_);
  paintDC_ = nullptr;
  paintBitmap_ = nullptr;
  previousBitmap_ = nullptr;
}

void TuiPCTabsPainter::DrawNativePane(HDC DC, bool AOnControl) {
  HTHEME theme = OpenThemeObject(totTab);
  TRect frame;
  CalculateFrameRect(frame);
  if (AOnControl && IsThemeBackgroundPartiallyTransparent(theme, 9, 0))
    DrawThemeParentBackground(ParentControl()->Handle(), DC, &frame);
  DrawThemeBackground(theme, DC, 9, 0, frame);
  if (AOnControl) Canvas()->ExcludeClipRect(frame);
}

void TuiPCTabsPainter::Paint() {
  if (!IsNativePainting()) {
    TuiPCStandardPainter::Paint();
    return;
  }
  HDC dc = Canvas()->GetDCHandle();
  const Integer width = ParentInfo()->Width(), height = ParentInfo()->Height();
  paintDC_ = CreateCompatibleDC(dc);
  paintBitmap_ = CreateCompatibleBitmap(dc, width, height);
  previousBitmap_ = SelectObject(paintDC_, paintBitmap_);
  try {
    const RECT all{0, 0, width, height};
    DrawThemeParentBackground(ParentControl()->Handle(), paintDC_, &all);
    DrawNativePane(paintDC_, false);
    TuiPCStandardPainter::Paint();
  } catch (...) {
    // A tab interrupted between its background and its copy to the screen still holds its surface.
    if (TBitmap* drawing = ContentBitmap()) {
      SetContentBitmap(nullptr);
      TuiTabs* tabs = ParentControl()->Tabs();
      for (Integer i = 0; i < tabs->Count(); ++i)
        if (tabs->GetTab(i)->Bitmap() == drawing) tabs->GetTab(i)->FreeBitmap();
    }
    ReleasePaintDC();
    throw;
  }
  ReleasePaintDC();
}

void TuiPCTabsPainter::DrawFrameAndClientArea() {
  if (IsNativePainting())
    DrawNativePane(Canvas()->GetDCHandle(), true);
  else
    TuiPCStandardPainter::DrawFrameAndClientArea();
}

void TuiPCTabsPainter::DrawNativeTab(Integer ATabVisibleIndex) {
  const TuiPCPainterParentInfo* info = ParentInfo();
  TuiTab* tab = info->GetTab(ATabVisibleIndex);
  const TRect r = NativeTabRect(ATabVisibleIndex);
  Integer w = r.right - r.left, h = r.bottom - r.top;
  if (RowsVertical()) std::swap(w, h);
  TBitmap* bitmap = tab->PrepareBitmap();
  bitmap->SetSize(w, h);
  HDC bitmapDC = bitmap->Canvas()->Handle();
  if (info->TabPosition() == tpTop && !(info->MultiLine() && info->ScrollOpposite()) && paintDC_ != nullptr) {
    BitBlt(bitmapDC, 0, 0, w, h, paintDC_, r.left, r.top, SRCCOPY);
  } else {
    TWinControl* parent = ParentControl()->Parent();
    bitmap->Canvas()->Brush()->SetStyle(bsSolid);
    bitmap->Canvas()->Brush()->SetColor(parent != nullptr ? parent->Color() : info->Color());
    bitmap->Canvas()->FillRect(TRect{0, 0, w, h});
  }
  Integer part, state;
  GetTabNativePartAndState(ATabVisibleIndex, part, state);
  DrawThemeBackground(OpenThemeObject(totTab), bitmapDC, part, state, RECT{0, 0, w, h});
  const Integer code = tab->GetOrientationCode(ParentControl()->GetTextMode());
  struct Turn {
    Integer rotation;
    bool mirror;
  };
  Turn turn{-1, false};
  switch (code) {
    case 2: case 9: turn = {2, false}; break;
    case 3: turn = {1, false}; break;
    case 4: turn = {3, true}; break;
    case 5: case 10: turn = {0, true}; break;
    case 6: case 11: turn = {1, true}; break;
    case 7: turn = {3, false}; break;
    case 12: turn = {2, true}; break;
    default: break;
  }
  if (turn.rotation != -1) TuiCanvas::RotateFlipBitmap(bitmap, turn.rotation, turn.mirror);
  SetContentBitmap(bitmap);
}

void TuiPCTabsPainter::DrawTabBackground(Integer ATabVisibleIndex) {
  TuiTab* tab = ParentInfo()->GetTab(ATabVisibleIndex);
  if (IsNativePainting() && tab->Bitmap() != nullptr) {
    TBitmap* bitmap = tab->Bitmap();
    const Integer code = tab->GetOrientationCode(ParentControl()->GetTextMode());
    if (IsOneOf(code, {2, 4, 7, 11}))
      TuiCanvas::RotateFlipBitmap(bitmap, 1, false);
    else if (IsOneOf(code, {3, 5, 8, 12}))
      TuiCanvas::RotateFlipBitmap(bitmap, 2, false);
    TRect r = NativeTabRect(ATabVisibleIndex);
    Canvas()->DrawGraphic(r.left, r.top, bitmap);
    SetContentBitmap(nullptr);
    tab->FreeBitmap();
    InflateRect(&r, -2, -2);
    DrawTabFocusRect(ATabVisibleIndex, r);
    return;
  }
  TRect full;
  tab->GetFullRect(full);
  TRect r = full;
  InflateRect(&r, -2, -2);
  const bool active = tab->IsActive();
  const TuiTabSide side = tab->GetSide();
  TRect strip{};
  switch (side) {
    case tsTop:
      if (active) r.bottom = full.bottom;
      strip = TRect{r.left, r.bottom, r.right, full.bottom};
      break;
    case tsBottom:
      if (active) r.top = full.top;
      strip = TRect{r.left, full.top, r.right, r.top};
      break;
    case tsLeft:
      if (active) r.right = full.right;
      strip = TRect{r.right, r.top, full.right, r.bottom};
      break;
    case tsRight:
      if (active) r.left = full.left;
      strip = TRect{full.left, r.top, r.left, r.bottom};
      break;
  }
  Canvas()->FillRectWithColor(r, GetTabColor(ATabVisibleIndex));
  if (active) {
    TRect focus = r;
    switch (side) {
      case tsTop: --focus.bottom; break;
      case tsBottom: ++focus.top; break;
      case tsLeft: --focus.right; break;
      case tsRight: ++focus.left; break;
    }
    DrawTabFocusRect(ATabVisibleIndex, focus);
  } else {
    Canvas()->FillRectWithColor(strip, ParentInfo()->Color());
  }
  DrawTabBorder(ATabVisibleIndex);
}

namespace {

// A polyline through the points, its end point included.
void Poly(TuiCanvas* ACanvas, std::initializer_list<TPoint> APoints, TColor AColor) {
  std::vector<TPoint> points(APoints);
  if (points.size() == 1) {
    ACanvas->SetPixel(points[0].x, points[0].y, AColor);
    return;
  }
  ACanvas->GetCanvasPen()->SetColor(AColor);
  ACanvas->Polyline(points);
  ACanvas->SetPixel(points.back().x, points.back().y, AColor);
}

}  // namespace

void TuiPCTabsPainter::DrawTabBorder(Integer ATabVisibleIndex) {
  TuiTab* tab = ParentInfo()->GetTab(ATabVisibleIndex);
  TRect full;
  tab->GetFullRect(full);
  const Integer L = full.left, T = full.top, Rt = full.right, B = full.bottom;
  const Integer W = ParentInfo()->Width(), H = ParentInfo()->Height();
  TuiCanvas* c = Canvas();
  const bool active = tab->IsActive();
  switch (tab->GetSide()) {
    case tsTop:
      Poly(c, {{L, B - 1}, {L, T + 2}, {L + 2, T}, {Rt - 3, T}}, clBtnHighlight);
      Poly(c, {{L + 1, B - 1}, {L + 1, T + 2}, {L + 2, T + 1}, {Rt - 3, T + 1}}, cl3DLight);
      Poly(c, {{Rt - 1, B - 1}, {Rt - 1, T + 2}, {Rt - 2, T + 1}}, cl3DDkShadow);
      Poly(c, {{Rt - 2, B - 1}, {Rt - 2, T + 2}}, clBtnShadow);
      if (active) {
        Integer start = L;
        if (L == 0) {
          Poly(c, {{0, B}}, clBtnHighlight);
          start = L + 1;
        }
        Poly(c, {{start, B}, {L + 1, B}}, cl3DLight);
        if (Rt == W) {
          Poly(c, {{L + 2, B}, {Rt - 3, B}}, clBtnFace);
          Poly(c, {{Rt - 2, B}}, clBtnShadow);
          Poly(c, {{Rt - 1, B}}, cl3DDkShadow);
        } else {
          Poly(c, {{L + 2, B}, {Rt - 1, B}}, clBtnFace);
        }
      }
      break;
    case tsBottom:
      Poly(c, {{L, T}, {L, B - 3}, {L + 1, B - 2}}, clBtnHighlight);
      Poly(c, {{L + 1, T}, {L + 1, B - 3}}, cl3DLight);
      Poly(c, {{L + 2, B - 1}, {Rt - 3, B - 1}, {Rt - 1, B - 3}, {Rt - 1, T}}, cl3DDkShadow);
      Poly(c, {{L + 2, B - 2}, {Rt - 3, B - 2}, {Rt - 2, B - 3}, {Rt - 2, T}}, clBtnShadow);
      if (active) {
        Integer start = L;
        if (L == 0) {
          Poly(c, {{0, T - 1}}, clBtnHighlight);
          Poly(c, {{1, T - 1}}, cl3DLight);
          start = L + 2;
        }
        Poly(c, {{start, T - 1}, {Rt - 3, T - 1}}, clBtnFace);
        if (Rt == W) {
          Poly(c, {{Rt - 2, T - 1}}, clBtnShadow);
          Poly(c, {{Rt - 1, T - 1}}, cl3DDkShadow);
        } else {
          Poly(c, {{Rt - 2, T - 1}, {Rt - 1, T - 1}}, clBtnShadow);
        }
      }
      break;
    case tsLeft:
      Poly(c, {{L, B - 3}, {L, T + 2}, {L + 2, T}, {Rt - 1, T}}, clBtnHighlight);
      Poly(c, {{L + 1, B - 3}, {L + 1, T + 2}, {L + 2, T + 1}, {Rt - 1, T + 1}}, cl3DLight);
      Poly(c, {{L + 2, B - 2}, {L + 3, B - 1}, {Rt - 1, B - 1}}, cl3DDkShadow);
      Poly(c, {{L + 1, B - 2}, {L + 2, B - 1}, {L + 3, B - 2}, {Rt - 1, B - 2}}, clBtnShadow);
      if (active) {
        Integer start = T;
        if (T == 0) {
          Poly(c, {{Rt, 0}}, clBtnHighlight);
          start = T + 1;
        }
        Poly(c, {{Rt, start}, {Rt, T + 1}}, cl3DLight);
        if (B == H) {
          Poly(c, {{Rt, T + 2}, {Rt, B - 3}}, clBtnFace);
          Poly(c, {{Rt, B - 2}}, clBtnShadow);
          Poly(c, {{Rt, B - 1}}, cl3DDkShadow);
        } else {
          Poly(c, {{Rt, T + 2}, {Rt, B - 1}}, clBtnFace);
        }
      }
      break;
    case tsRight:
      Poly(c, {{L, T}, {Rt - 3, T}, {Rt - 2, T + 1}}, clBtnHighlight);
      Poly(c, {{L, T + 1}, {Rt - 3, T + 1}}, cl3DLight);
      Poly(c, {{L, B - 1}, {Rt - 3, B - 1}, {Rt - 1, B - 3}, {Rt - 1, T + 2}}, cl3DDkShadow);
      Poly(c, {{L, B - 2}, {Rt - 3, B - 2}, {Rt - 2, B - 3}, {Rt - 2, T + 2}}, clBtnShadow);
      if (active) {
        Integer start = T;
        if (T == 0) {
          Poly(c, {{L - 1, 0}}, clBtnHighlight);
          Poly(c, {{L - 1, 1}}, cl3DLight);
          start = T + 2;
        }
        Poly(c, {{L - 1, start}, {L - 1, B - 3}}, clBtnFace);
        if (B == H) {
          Poly(c, {{L - 1, B - 2}}, clBtnShadow);
          Poly(c, {{L - 1, B - 1}}, cl3DDkShadow);
        } else {
          Poly(c, {{L - 1, B - 2}, {L - 1, B - 1}}, clBtnShadow);
        }
      }
      break;
  }
  DrawTabCorners(ATabVisibleIndex);
}

void TuiPCTabsPainter::DrawTabCorners(Integer ATabVisibleIndex) {
  TuiTab* tab = ParentInfo()->GetTab(ATabVisibleIndex);
  TRect full;
  tab->GetFullRect(full);
  const Integer L = full.left, T = full.top, Rt = full.right, B = full.bottom;
  const TColor color = GetTabCornerColor();
  const TuiTabSide side = tab->GetSide();
  auto pixels = [&](std::initializer_list<TPoint> APoints) {
    for (const TPoint& p : APoints) Canvas()->SetPixel(p.x, p.y, color);
  };
  if (side == tsTop || side == tsLeft) pixels({{L, T + 1}, {L, T}, {L + 1, T}});
  if (side == tsBottom || side == tsLeft) pixels({{L, B - 2}, {L, B - 1}, {L + 1, B - 1}});
  if (side == tsTop || side == tsRight) pixels({{Rt - 2, T}, {Rt - 1, T}, {Rt - 1, T + 1}});
  if (side == tsBottom || side == tsRight) pixels({{Rt - 2, B - 1}, {Rt - 1, B - 1}, {Rt - 1, B - 2}});
}

void TuiPCTabsPainter::DrawButton(TuiPCNavigatorButton AButton, TRect R) {
  if (!IsNativePainting()) {
    TuiPCStandardPainter::DrawButton(AButton, R);
    return;
  }
  HTHEME theme;
  Integer part;
  if (AButton == nbClose) {
    theme = OpenThemeObject(totWindow);
    part = 19;
  } else {
    theme = OpenThemeObject(totSpin);
    static constexpr Integer kSpinParts[4] = {1, 2, 4, 3};  // up, down, left, right
    part = kSpinParts[ArrowDirection(AButton)];
  }
  static constexpr Integer kStates[4] = {1, 3, 2, 4};  // normal, pressed, hot, disabled
  const Integer state = kStates[ParentInfo()->NavigatorButtonState(AButton)];
  HDC dc = Canvas()->GetDCHandle();
  if (IsThemeBackgroundPartiallyTransparent(theme, part, state)) DrawThemeParentBackground(ParentControl()->Handle(), dc, &R);
  DrawThemeBackground(theme, dc, part, state, R);
}

// ---- Flat painter ----

void TuiPCFlatPainter::DrawFrame() {
  TRect r;
  CalculateFrameRect(r);
  if (!IsRectEmpty(&r)) Canvas()->DrawTwoColorFrame(r, clBtnHighlight, clBtnShadow);
}

TPoint TuiPCFlatPainter::GetButtonGlyphOffset(TuiPCNavigatorButton AButton) {
  const TPoint p = TuiPCTabsPainter::GetButtonGlyphOffset(AButton);
  return TPoint{p.x - 1, p.y - 1};
}

void TuiPCFlatPainter::DrawButtonFrame(TRect& R, TuiPCNavigatorButtonState AState) {
  const bool pressed = AState == nbsPressed;
  Canvas()->DrawTwoColorFrame(R, pressed ? clBtnShadow : clBtnHighlight, pressed ? clBtnHighlight : clBtnShadow);
  InflateRect(&R, -1, -1);
}

TColor TuiPCFlatPainter::GetTabCornerColor() { return ParentInfo()->Color(); }

void TuiPCFlatPainter::DrawTabBorder(Integer ATabVisibleIndex) {
  TuiTab* tab = ParentInfo()->GetTab(ATabVisibleIndex);
  TRect full;
  tab->GetFullRect(full);
  const Integer L = full.left, T = full.top, Rt = full.right, B = full.bottom;
  const TColor light = BrightenColor(GetTabColor(ATabVisibleIndex), 85);
  TuiCanvas* c = Canvas();
  switch (tab->GetSide()) {
    case tsTop:
      Poly(c, {{L, B - 1}, {L, T + 2}, {L + 2, T}, {Rt - 3, T}, {Rt - 2, T + 1}}, clBtnHighlight);
      Poly(c, {{Rt - 1, T + 2}, {Rt - 1, B - 1}}, clBtnShadow);
      Poly(c, {{L + 1, B - 1}, {L + 1, T + 2}, {L + 2, T + 1}, {Rt - 3, T + 1}, {Rt - 2, T + 2}, {Rt - 2, B - 1}}, light);
      break;
    case tsBottom:
      Poly(c, {{L, T}, {L, B - 3}, {L + 1, B - 2}}, clBtnHighlight);
      Poly(c, {{L + 2, B - 1}, {Rt - 3, B - 1}, {Rt - 1, B - 3}, {Rt - 1, T}}, clBtnShadow);
      Poly(c, {{L + 1, T}, {L + 1, B - 3}}, light);
      Poly(c, {{L + 2, B - 2}, {Rt - 3, B - 2}, {Rt - 2, B - 3}, {Rt - 2, T}}, clBtnFace);
      break;
    case tsLeft:
      Poly(c, {{Rt - 1, B - 1}, {L + 2, B - 1}}, clBtnShadow);
      Poly(c, {{L + 1, B - 2}, {L, B - 3}, {L, T + 2}, {L + 2, T}, {Rt - 1, T}}, clBtnHighlight);
      Poly(c, {{Rt - 1, B - 2}, {L + 2, B - 2}, {L + 1, B - 3}, {L + 1, T + 2}, {L + 2, T + 1}, {Rt - 1, T + 1}}, light);
      break;
    case tsRight:
      Poly(c, {{L, T}, {Rt - 3, T}, {Rt - 2, T + 1}}, clBtnHighlight);
      Poly(c, {{Rt - 1, T + 2}, {Rt - 1, B - 3}, {Rt - 3, B - 1}, {L, B - 1}}, clBtnShadow);
      Poly(c, {{L, T + 1}, {Rt - 3, T + 1}}, light);
      Poly(c, {{Rt - 2, T + 2}, {Rt - 2, B - 3}, {Rt - 3, B - 2}, {L, B - 2}}, clBtnFace);
      break;
  }
  DrawTabCorners(ATabVisibleIndex);
}
