// The slanted tab styles: tabs as polygons with cut or slanted ends that may overlap their neighbours, and
// notebook-divider tabs coloured by their pages.
#include <algorithm>

#include "controls/extra/uiPC.h"
#include "controls/extra/uiPCPainters.h"
#include "controls/foundation/uxOffice11.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/win/gdi/WinRect.h"

K58_IMPLEMENT_CLASS(TuiPCSlantedPainter) {}
K58_IMPLEMENT_CLASS(TuiPCOneNotePainter) {}

namespace {

struct SlantedTraits : TuiPCPainterTraits {
  static constexpr Integer StyleID = 9;
  static constexpr const char* StyleName = "Slanted";
};

struct OneNoteTraits : TuiPCPainterTraits {
  static constexpr Integer StyleID = 10;
  static constexpr const char* StyleName = "OneNote";
  static constexpr bool AllowRotate = false;
};

// How an end of a slanted tab is shaped.
enum class TabEnd { FullSlant, Cut, Square };

// Line positions turned from a tab standing on its bottom edge to the tab's side.
TLinePosition TurnPosition(TLinePosition P, TuiTabSide ASide) {
  switch (ASide) {
    case tsBottom:
      switch (P) {
        case lpLT: return lpLB;
        case lpT: return lpB;
        case lpRT: return lpRB;
        default: return P;
      }
    case tsLeft:
      switch (P) {
        case lpL: return lpB;
        case lpLT: return lpLB;
        case lpT: return lpL;
        case lpRT: return lpLT;
        case lpR: return lpT;
        default: return P;
      }
    case tsRight:
      switch (P) {
        case lpL: return lpB;
        case lpLT: return lpRB;
        case lpT: return lpR;
        case lpR: return lpT;
        default: return P;
      }
    default: return P;
  }
}

// One pixel onward along a segment of the position.
TPoint StepOnward(TLinePosition P) {
  static constexpr TPoint kSteps[8] = {{0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}};
  return kSteps[P];
}

HRGN PolygonRegion(const std::vector<TPoint>& APoints) {
  std::vector<POINT> points(APoints.begin(), APoints.end());
  return CreatePolygonRgn(points.data(), static_cast<int>(points.size()), WINDING);
}

}  // namespace

TuiPCPainterClass k58::extra::SlantedPainterClass() {
  static const TuiPCPainterClassOf<TuiPCSlantedPainter, SlantedTraits> info;
  return &info;
}
TuiPCPainterClass k58::extra::OneNotePainterClass() {
  static const TuiPCPainterClassOf<TuiPCOneNotePainter, OneNoteTraits> info;
  return &info;
}

TuiPCPainterClass TuiPCSlantedPainter::PainterClass() const { return k58::extra::SlantedPainterClass(); }
TuiPCPainterClass TuiPCOneNotePainter::PainterClass() const { return k58::extra::OneNotePainterClass(); }

TColor OneNoteColor(Integer AIndex) {
  static const TColor kColors[6][4] = {
      {clBtnShadow, static_cast<TColor>(0x9C613B), static_cast<TColor>(0x588060), static_cast<TColor>(0x947C7C)},
      {clBtnShadow, static_cast<TColor>(0x9A3500), static_cast<TColor>(0x6B7760), static_cast<TColor>(0x927476)},
      {clWhite, clWhite, clWhite, clWhite},
      {static_cast<TColor>(0x6A240A), static_cast<TColor>(0x800000), static_cast<TColor>(0x385D3F),
       static_cast<TColor>(0x6F4B4B)},
      {clBtnFace, clWhite, clWhite, clWhite},
      {clBtnFace, static_cast<TColor>(0xF1A675), static_cast<TColor>(0x8CC2B0), static_cast<TColor>(0xCEB9BA)},
  };
  // The scheme is that of the colour set's last computation, which follows system colour changes.
  Office11Color(o11BarLight);
  const Integer scheme = std::min<Integer>(CurrentOffice11ColorScheme(), 3);
  return kColors[std::clamp<Integer>(AIndex, 0, 5)][scheme];
}

// ---- Outlines ----

bool TuiPCOutline::Has(TLinePosition P) const {
  return std::find(Positions.begin(), Positions.end(), P) != Positions.end();
}

HRGN CreateOutlineRegion(const TuiPCOutline& AOutline, bool AInner) {
  const TuiPCOutline& o = AOutline;
  std::vector<TPoint> polygon;
  for (size_t i = 0; i + 1 < o.Points.size() && i < o.Positions.size(); ++i) {
    TPoint a = o.Points[i], b = o.Points[i + 1];
    switch (o.Positions[i]) {
      case lpL:
        if (!AInner) break;
        ++a.x, ++b.x;
        if (o.Has(lpLB)) ++a.y;
        if (o.Has(lpLT)) --b.y;
        break;
      case lpLT:
        if (!AInner) break;
        (o.Has(lpL) ? a.y : a.x) += 1;
        (o.Has(lpT) ? b.x : b.y) += 1;
        break;
      case lpT:
        if (!AInner) break;
        ++a.y, ++b.y;
        if (o.Has(lpLT)) --a.x;
        if (o.Has(lpRT)) ++b.x;
        break;
      case lpLB:
        if (!AInner) break;
        if (o.Has(lpB)) ++a.x; else --a.y;
        if (o.Has(lpL)) --b.y; else ++b.x;
        break;
      case lpRT:
        if (AInner) break;
        if (o.Has(lpT)) ++a.x; else --a.y;
        if (o.Has(lpR)) --b.y; else ++b.x;
        break;
      case lpR:
        if (AInner) break;
        ++a.x, ++b.x;
        if (o.Has(lpRT)) ++a.y;
        if (o.Has(lpRB)) --b.y;
        break;
      case lpRB:
        if (AInner) break;
        if (o.Has(lpR)) ++a.y; else ++a.x;
        if (o.Has(lpB)) ++b.x; else ++b.y;
        break;
      case lpB:
        if (AInner) break;
        ++a.y, ++b.y;
        if (o.Has(lpRB)) --a.x;
        if (o.Has(lpLB)) ++b.x;
        break;
    }
    polygon.push_back(a);
    polygon.push_back(b);
  }
  return PolygonRegion(polygon);
}

// ---- Slanted: geometry ----

void TuiPCSlantedPainter::StandingFrame(const TRect& R, TuiTabSide ASide, Integer& L, Integer& B, Integer& W,
                                        Integer& H) const {
  L = R.left;
  B = R.bottom;
  const bool vertical = ASide == tsLeft || ASide == tsRight;
  W = vertical ? R.bottom - R.top : R.right - R.left;
  H = vertical ? R.right - R.left : R.bottom - R.top;
}

TuiPCOutline TuiPCSlantedPainter::StandingOutline(const TRect& R, TuiTabSide ASide) {
  const TuiTabSlants* slants = ParentControl()->TabSlants();
  const bool rotate = ParentInfo()->Rotate();
  const bool cutKind = slants->Kind() == skCutCorner;
  const TuiTabSlantPositions positions = slants->Positions();
  auto endOf = [&](TuiTabSlantPosition AEnd, Integer& ACut) {
    ACut = 2;
    if (!cutKind && positions.Contains(AEnd) && !rotate) return TabEnd::FullSlant;
    if (cutKind && positions.Contains(AEnd)) {
      ACut = 6;
      return TabEnd::Cut;
    }
    if (cutKind && !positions.Empty()) return TabEnd::Square;
    return TabEnd::Cut;
  };
  Integer L, B, W, H;
  StandingFrame(R, ASide, L, B, W, H);
  TuiPCOutline o;
  Integer a;
  switch (endOf(spLeft, a)) {
    case TabEnd::FullSlant:
      o.Points = {{L, B - 1}, {L + H - 1, B - H}};
      o.Positions = {lpLT};
      break;
    case TabEnd::Cut:
      o.Points = {{L, B - 1}, {L, B - H + a}, {L + a, B - H}};
      o.Positions = {lpL, lpLT};
      break;
    case TabEnd::Square:
      o.Points = {{L, B - 1}, {L, B - H}};
      o.Positions = {lpL};
      break;
  }
  switch (endOf(spRight, a)) {
    case TabEnd::FullSlant:
      o.Points.insert(o.Points.end(), {{L + W - H, B - H}, {L + W - 1, B - 1}});
      o.Positions.insert(o.Positions.end(), {lpT, lpRT});
      break;
    case TabEnd::Cut:
      o.Points.insert(o.Points.end(), {{L + W - 1 - a, B - H}, {L + W - 1, B - H + a}, {L + W - 1, B - 1}});
      o.Positions.insert(o.Positions.end(), {lpT, lpRT, lpR});
      break;
    case TabEnd::Square:
      o.Points.insert(o.Points.end(), {{L + W - 1, B - H}, {L + W - 1, B - 1}});
      o.Positions.insert(o.Positions.end(), {lpT, lpR});
      break;
  }
  return o;
}

TuiPCOutline TuiPCSlantedPainter::TabOutline(Integer ATabVisibleIndex) {
  TuiTab* tab = ParentInfo()->GetTab(ATabVisibleIndex);
  TRect r;
  tab->GetFullRect(r);
  const TuiTabSide side = tab->GetSide();
  TuiPCOutline o = StandingOutline(r, side);
  for (TPoint& p : o.Points) p = RotatePoint(r, p, side);
  for (TLinePosition& p : o.Positions) p = TurnPosition(p, side);
  if (side == tsBottom || side == tsRight) {
    std::reverse(o.Points.begin(), o.Points.end());
    std::reverse(o.Positions.begin(), o.Positions.end());
  }
  return o;
}

HRGN TuiPCSlantedPainter::GetTabShapeRegion(Integer ATabVisibleIndex, bool AInner) {
  TuiPCOutline o = TabOutline(ATabVisibleIndex);
  if (o.Points.empty()) return CreateRectRgn(0, 0, 0, 0);
  const TPoint step = StepOnward(o.Positions.back());
  o.Points.back().x += step.x;
  o.Points.back().y += step.y;
  if (ParentInfo()->GetTab(ATabVisibleIndex)->GetSide() == tsLeft && o.Positions.front() == lpLB) {
    ++o.Points.front().x;
    ++o.Points.front().y;
  }
  return CreateOutlineRegion(o, AInner);
}

// The one-pixel strip between a tab and the client area.
static TRect ClientStripOf(const TRect& R, TuiTabSide ASide) {
  switch (ASide) {
    case tsTop: return TRect{R.left, R.bottom, R.right, R.bottom + 1};
    case tsBottom: return TRect{R.left, R.top - 1, R.right, R.top};
    case tsLeft: return TRect{R.right, R.top, R.right + 1, R.bottom};
    default: return TRect{R.left - 1, R.top, R.left, R.bottom};
  }
}

HRGN TuiPCSlantedPainter::GetTabClipRgn(Integer ATabVisibleIndex) {
  TuiTab* tab = ParentInfo()->GetTab(ATabVisibleIndex);
  HRGN shape = GetTabShapeRegion(ATabVisibleIndex, false);
  TRect visible;
  tab->GetVisibleRect(visible);
  HRGN bounds = CreateRectRgnIndirect(&visible);
  CombineRgn(shape, shape, bounds, RGN_AND);
  DeleteObject(bounds);
  if (tab->IsActive()) {
    TRect full;
    tab->GetFullRect(full);
    const TRect strip = ClientStripOf(full, tab->GetSide());
    HRGN extra = CreateRectRgnIndirect(&strip);
    CombineRgn(shape, shape, extra, RGN_OR);
    DeleteObject(extra);
  }
  return shape;
}

bool TuiPCSlantedPainter::PtInTab(Integer ATabVisibleIndex, Integer X, Integer Y) {
  HRGN region = GetTabClipRgn(ATabVisibleIndex);
  bool inside = PtInRegion(region, X, Y) != 0;
  DeleteObject(region);
  if (!inside) return false;
  // The active tab is drawn over its neighbours: the overlap belongs to it.
  const Integer next = ATabVisibleIndex + 1;
  if (next < ParentControl()->Tabs()->VisibleCount() && next == ParentInfo()->ActiveTabVisibleIndex()) {
    HRGN active = GetTabClipRgn(next);
    inside = PtInRegion(active, X, Y) == 0;
    DeleteObject(active);
  }
  return inside;
}

// ---- Slanted: sizes ----

TuiTabSlantPositions TuiPCSlantedPainter::GetRowSlantPositions() {
  const TuiTabSlants* slants = ParentControl()->TabSlants();
  if (slants->Kind() == skSlant && !ParentInfo()->Rotate()) return slants->Positions();
  return TuiTabSlantPositions();
}

static Integer CountPositions(TuiTabSlantPositions APositions) {
  return (APositions.Contains(spLeft) ? 1 : 0) + (APositions.Contains(spRight) ? 1 : 0);
}

Integer TuiPCSlantedPainter::GetSlantSize() {
  return ParentControl()->TabSlants()->Kind() == skSlant ? CalculateTabNormalHeight() - 1 : 6;
}

Integer TuiPCSlantedPainter::GetMinTabWidthBySlants() {
  if (ParentInfo()->Rotate()) return 0;
  const TuiTabSlants* slants = ParentControl()->TabSlants();
  const Integer n = CountPositions(slants->Positions());
  if (n == 0) return 8;
  if (slants->Kind() == skSlant) return n * (GetSlantSize() - 2) + 8;
  return n * GetSlantSize() + (2 - n) * GetFrameWidth() + 4;
}

void TuiPCSlantedPainter::GetImageAreaSize(Integer (&APair)[2]) {
  const TSize image = GetImageSize();
  if (image.cx <= 0) {
    APair[0] = APair[1] = 0;
    return;
  }
  APair[0] = image.cx + 2 * ParentInfo()->ImageBorder();
  APair[1] = image.cy + 2 * ParentInfo()->ImageBorder();
}

void TuiPCSlantedPainter::GetTabContentWOffset(Integer ATabVisibleIndex, Integer (&APair)[2]) {
  const TuiPCPainterParentInfo* info = ParentInfo();
  const TuiTabSlants* slants = ParentControl()->TabSlants();
  const Integer mode = ParentControl()->GetTextMode();
  bool exchange;
  if (!info->Rotate()) {
    APair[0] = APair[1] = GetFrameWidth() + 2;
    const Integer end = slants->Kind() == skCutCorner ? 6 : GetSlantSize();
    if (slants->Positions().Contains(spLeft)) APair[0] = end;
    if (slants->Positions().Contains(spRight)) APair[1] = end;
    exchange = mode == 2;
  } else {
    APair[0] = 2;
    APair[1] = GetFrameWidth() + 5 + (slants->Kind() == skCutCorner && !slants->Positions().Empty() ? 1 : 0);
    const TuiTabPosition p = info->TabPosition();
    exchange = (p == tpTop && mode == 2) || (p == tpBottom && mode == 1) || p == tpLeft;
  }
  (void)ATabVisibleIndex;
  if (exchange) std::swap(APair[0], APair[1]);
}

Integer TuiPCSlantedPainter::GetTabContentWidth(Integer ATabVisibleIndex) {
  Integer offsets[2];
  GetTabContentWOffset(ATabVisibleIndex, offsets);
  Integer image[2];
  GetImageAreaSize(image);
  const Integer content = offsets[0] + offsets[1] + (HasTabImage(ATabVisibleIndex) ? image[0] : 0);
  return std::max(content, GetMinTabWidthBySlants());
}

Integer TuiPCSlantedPainter::CalculateTabNormalWidth(TuiTab* ATab) {
  if (!ATab->Visible()) return 0;
  const Integer index = ATab->GetVisibleIndex();
  if (index < 0) return 0;
  const Integer content = GetTabContentWidth(index);
  if (ParentInfo()->TabWidth() > 0) return std::max(content, ParentInfo()->TabWidth());
  if (ATab->Caption().empty()) return content;
  return content + CaptionTextWidth(ATab->Caption()) + (HasTabImage(index) ? GetImageTextDistance() : 0);
}

Integer TuiPCSlantedPainter::GetTabNormalHeightByContent() {
  TuiScreenCanvas screen;
  const Integer fontHeight = screen.MeasureFontHeight(ParentControl()->Font());
  TRect text, image;
  GetTabTextAreaOffsets(0, text);
  GetTabImageAreaOffsets(0, image);
  Integer area[2];
  GetImageAreaSize(area);
  return std::max(fontHeight + text.top + text.bottom, area[1] + image.top + image.bottom);
}

void TuiPCSlantedPainter::GetTabImageAreaOffsets(Integer, TRect& R) {
  if (!ParentInfo()->Rotate()) {
    R = TRect{0, 4, 0, 1};
    return;
  }
  const TuiTabSlants* slants = ParentControl()->TabSlants();
  R = slants->Kind() == skCutCorner && !slants->Positions().Empty() ? TRect{0, 3, 0, 3} : TRect{0, 2, 0, 2};
}

void TuiPCSlantedPainter::GetTabTextAreaOffsets(Integer, TRect& R) {
  R = ParentInfo()->Rotate() ? TRect{0, 4, 0, 2} : TRect{0, 5, 0, 1};
}

TPoint TuiPCSlantedPainter::GetTabsNormalDistance() {
  const Integer ends = CountPositions(GetRowSlantPositions());
  const TPoint d{ends > 0 ? -(GetSlantSize() / 2) * ends : 1, -3};
  return ParentInfo()->Rotate() ? TPoint{d.y, d.x} : d;
}

TRect TuiPCSlantedPainter::GetTabsRegionIndents() {
  const TuiTabSlantPositions p = GetRowSlantPositions();
  const Integer first = p.Contains(spLeft) ? 1 : 0, second = p.Contains(spRight) ? 1 : 0;
  return RowsVertical() ? TRect{0, second, 0, first} : TRect{first, 0, second, 0};
}

void TuiPCSlantedPainter::GetClientRectMargins(TRect& M) {
  TuiPCStandardPainter::GetClientRectMargins(M);
  if (HasFrame() || ParentInfo()->HideTabs() || ParentInfo()->RowCount() < 1) return;
  ++M.top;
  if (ParentInfo()->HasOppositeRows()) ++M.bottom;
}

TColor TuiPCSlantedPainter::GetTabColor(Integer ATabVisibleIndex) { return ParentInfo()->PageColor(ATabVisibleIndex); }

// ---- Slanted: navigator ----

Integer TuiPCSlantedPainter::GetButtonsDistance(TuiPCNavigatorButton AButton1, TuiPCNavigatorButton AButton2) {
  return AButton1 == nbClose || AButton2 == nbClose ? 3 : 1;
}

Integer TuiPCSlantedPainter::GetButtonWidth(TuiPCNavigatorButton AButton) {
  switch (AButton) {
    case nbGoDialog: return 13;
    case nbClose: return 16;
    default: return 17;
  }
}

void TuiPCSlantedPainter::GetButtonGlyphInfo(TuiPCNavigatorButton AButton, TuiPCButtonGlyphInfo& AInfo) {
  AInfo.BrushColor = AInfo.PenColor = GetButtonArrowColor(ParentInfo()->NavigatorButtonState(AButton));
  AInfo.Enabled = true;
  AInfo.Thin = AButton == nbClose;
}

TColor TuiPCSlantedPainter::GetButtonColor(TuiPCNavigatorButtonState AState) {
  const TColor color = ParentInfo()->Color();
  if (AState == nbsHot) return MixColors(color, clWhite, 35);
  return AState == nbsPressed ? MixColors(color, clBlack, 90) : color;
}

TColor TuiPCSlantedPainter::GetButtonArrowColor(TuiPCNavigatorButtonState AState) {
  if (AState == nbsDisabled || !ParentControl()->Enabled()) return clBtnShadow;
  return AState == nbsPressed ? MixColors(ParentInfo()->Color(), clWhite, 10) : clBtnText;
}

void TuiPCSlantedPainter::DrawButtonFrame(TRect& R, TuiPCNavigatorButtonState AState) {
  const TColor colour = AState == nbsPressed || AState == nbsHot ? clBlack : clBtnShadow;
  Canvas()->DrawTwoColorFrame(R, colour, colour);
  InflateRect(&R, -1, -1);
}

// ---- Slanted: painting ----

void TuiPCSlantedPainter::DrawFrame() {
  TRect r;
  CalculateClientRect(r);
  InflateRect(&r, 1, 1);
  Canvas()->DrawTwoColorFrame(r, GetFrameColor(), GetFrameColor());
}

void TuiPCSlantedPainter::GetTabGradientColors(Integer ATabVisibleIndex, TColor& C1, TColor& C2) {
  const TColor color = GetTabColor(ATabVisibleIndex);
  if (ParentInfo()->GetTab(ATabVisibleIndex)->IsHotTracked()) {
    C1 = BrightenColor(color, 20);
    C2 = color;
  } else {
    C1 = BrightenColor(color, 13);
    C2 = ScaleColorPercent(color, 90);
  }
}

void TuiPCSlantedPainter::FillTabGradient(TuiCanvas* ACanvas, const TRect& R, bool AMirror, bool AHorizontal,
                                          Integer ATabVisibleIndex) {
  TuiTab* tab = ParentInfo()->GetTab(ATabVisibleIndex);
  const bool active = tab->IsActive(), hot = tab->IsHotTracked();
  TColor c1 = GetTabColor(ATabVisibleIndex), c2 = c1;
  if (!(active && !(IsActiveTabHotTracked() && hot)) && ParentInfo()->Options().Contains(pcoGradient))
    GetTabGradientColors(ATabVisibleIndex, c1, c2);
  const TuiTabSide side = tab->GetSide();
  if ((active && hot && (side == tsBottom || side == tsRight)) || AMirror) std::swap(c1, c2);
  FillGradientRect(ACanvas->GetDCHandle(), R, c1, c2, AHorizontal);
}

void TuiPCSlantedPainter::DrawTabShapeBorder(Integer ATabVisibleIndex, const TRect& R) {
  TuiTab* tab = ParentInfo()->GetTab(ATabVisibleIndex);
  DrawPolyline(R, StandingOutline(R, tab->GetSide()).Points, GetFrameColor(), tab->GetSide());
}

void TuiPCSlantedPainter::DrawTabHighlightBar(Integer ATabVisibleIndex) {
  TuiTab* tab = ParentInfo()->GetTab(ATabVisibleIndex);
  if (!tab->IsHotTracked() && !tab->IsActive()) return;
  TRect r;
  tab->GetFullRect(r);
  const Integer n = GetFrameWidth() + 3;
  switch (tab->GetSide()) {
    case tsTop: r.bottom = r.top + n; break;
    case tsBottom: r.top = r.bottom - n; break;
    case tsLeft: r.right = r.left + n; break;
    case tsRight: r.left = r.right - n; break;
  }
  Canvas()->FillRectWithColor(r, clHighlight);
  Canvas()->ExcludeClipRect(r);
}

void TuiPCSlantedPainter::DrawActiveTabBase(Integer ATabVisibleIndex) {
  TuiTab* tab = ParentInfo()->GetTab(ATabVisibleIndex);
  TRect r;
  tab->GetFullRect(r);
  const TuiTabSide side = tab->GetSide();
  Canvas()->FillRectWithColor(ClientStripOf(r, side), GetTabColor(ATabVisibleIndex));
  Integer L, B, W, H;
  StandingFrame(r, side, L, B, W, H);
  const TuiTabSlantPositions slanted = GetRowSlantPositions();
  if (!slanted.Contains(spLeft)) {
    const TPoint p = RotatePoint(r, TPoint{L, B}, side);
    Canvas()->SetPixel(p.x, p.y, GetFrameColor());
  }
  if (!slanted.Contains(spRight)) {
    const TPoint p = RotatePoint(r, TPoint{L + W - 1, B}, side);
    Canvas()->SetPixel(p.x, p.y, GetFrameColor());
  }
}

void TuiPCSlantedPainter::DrawTabBackground(Integer ATabVisibleIndex) {
  TuiTab* tab = ParentInfo()->GetTab(ATabVisibleIndex);
  TRect r;
  tab->GetFullRect(r);
  const TuiTabSide side = tab->GetSide();
  SaveClipRegion();
  try {
    DrawTabShapeBorder(ATabVisibleIndex, r);
    HRGN inner = GetTabShapeRegion(ATabVisibleIndex, true);
    ExtSelectClipRgn(Canvas()->GetDCHandle(), inner, RGN_AND);
    DeleteObject(inner);
    DrawTabHighlightBar(ATabVisibleIndex);
    FillTabGradient(Canvas(), r, false, side == tsLeft || side == tsRight, ATabVisibleIndex);
  } catch (...) {
    RestoreClipRegion();
    throw;
  }
  RestoreClipRegion();
  if (tab->IsActive()) DrawActiveTabBase(ATabVisibleIndex);
  if (drawnTab_ == ATabVisibleIndex && !IsRectEmpty(&drawnTextRect_)) {
    TRect focus = drawnTextRect_;
    if (ParentControl()->IsVerticalText())
      InflateRect(&focus, 2, 3);
    else
      InflateRect(&focus, 3, 2);
    Canvas()->GetCanvasBrush()->SetColor(GetTabColor(ATabVisibleIndex));
    DrawTabFocusRect(ATabVisibleIndex, focus);
  }
}

void TuiPCSlantedPainter::DrawTabTextBackground(TBitmap* ABitmap, const TRect& /*ATextRect*/,
                                                Integer ATabVisibleIndex) {
  const TuiPCPainterParentInfo* info = ParentInfo();
  TRect r;
  info->GetTab(ATabVisibleIndex)->GetFullRect(r);
  TPoint p{drawnTextRect_.left, drawnTextRect_.top};
  const Integer mode = ParentControl()->GetTextMode();
  if (mode != 0) {
    r = TRect{r.top, r.left, r.bottom, r.right};
    std::swap(p.x, p.y);
  }
  const bool rotate = info->Rotate();
  if (rotate && mode == 1)
    OffsetRect(&r, ABitmap->Width() + p.x - r.left - r.right, -p.y);
  else if (!rotate && mode == 2)
    OffsetRect(&r, -p.x, p.y + ABitmap->Height() - r.top - r.bottom);
  else
    OffsetRect(&r, -p.x, -p.y);
  TuiCanvas canvas(ABitmap->Canvas());
  FillTabGradient(&canvas, r, (!rotate && mode == 2) || (rotate && mode == 1), rotate, ATabVisibleIndex);
}

void TuiPCSlantedPainter::DrawRowBorder(Integer ARow, Integer AFirst, Integer ALast) {
  const TuiPCPainterParentInfo* info = ParentInfo();
  TuiTab* first = info->GetTab(AFirst);
  TRect r, last;
  first->GetFullRect(r);
  info->GetTab(ALast)->GetFullRect(last);
  UnionRect(&r, &r, &last);
  const TuiTabSide side = first->GetSide();
  const bool vertical = RowsVertical();
  const Integer split = info->SplitRow();
  const bool nextToClient = ARow == split - 1 || ARow == split;
  const bool outermost = ARow == 0 || ARow == info->RowCount() - 1;
  const TuiTabSlantPositions slanted = GetRowSlantPositions();
  // The row's left end is its bottom end for tabs at the left or right.
  const bool stretchStart = nextToClient || slanted.Contains(vertical ? spRight : spLeft);
  const bool stretchEnd = nextToClient || slanted.Contains(vertical ? spLeft : spRight);
  if (!vertical) {
    if (stretchStart) r.left = 0;
    if (stretchEnd) r.right = info->Width();
  } else {
    if (stretchStart) r.top = 0;
    if (stretchEnd) r.bottom = info->Height();
  }
  const Integer inward = -GetTabsNormalDistance().y;
  switch (side) {
    case tsTop: r.top += inward; ++r.bottom; break;
    case tsBottom: r.bottom -= inward; --r.top; break;
    case tsLeft: r.left += inward; ++r.right; break;
    case tsRight: r.right -= inward; --r.left; break;
  }
  TuiCanvas* c = Canvas();
  const TColor colour = GetFrameColor();
  auto line = [&](const TRect& ALine) {
    c->FillRectWithColor(ALine, colour);
    c->ExcludeClipRect(ALine);
  };
  if (!outermost && slanted.Contains(spLeft))
    line(vertical ? TRect{r.left, r.bottom - 1, r.right, r.bottom} : TRect{r.left, r.top, r.left + 1, r.bottom});
  if (!outermost && slanted.Contains(spRight))
    line(vertical ? TRect{r.left, r.top, r.right, r.top + 1} : TRect{r.right - 1, r.top, r.right, r.bottom});
  switch (side) {
    case tsTop: line(TRect{r.left, r.bottom - 1, r.right, r.bottom}); break;
    case tsBottom: line(TRect{r.left, r.top, r.right, r.top + 1}); break;
    case tsLeft: line(TRect{r.right - 1, r.top, r.right, r.bottom}); break;
    case tsRight: line(TRect{r.left, r.top, r.left + 1, r.bottom}); break;
  }
}

void TuiPCSlantedPainter::DrawTabs() {
  Integer first, last;
  ParentControl()->GetVisibleTabRange(first, last);
  const Integer active = ParentInfo()->ActiveTabVisibleIndex();
  if (active != -1 && active >= first && active <= last) DrawTab(active);
  const auto rows = ParentControl()->GetLineIndexBounds();
  const Integer count = static_cast<Integer>(rows.size());
  const Integer split = std::clamp(ParentInfo()->SplitRow(), 0, count);
  std::vector<Integer> order;
  for (Integer r = split - 1; r >= 0; --r) order.push_back(r);
  for (Integer r = split; r < count; ++r) order.push_back(r);
  for (Integer row : order) {
    const auto& b = rows[static_cast<size_t>(row)];
    if (b.first == -1) continue;
    for (Integer i = b.first; i <= b.last; ++i)
      if (i != active) DrawTab(i);
    DrawRowBorder(row, b.first, b.last);
  }
}

// ---- OneNote ----

void TuiPCOneNotePainter::GetTabContentWOffset(Integer, Integer (&APair)[2]) {
  APair[0] = GetSlantSize();
  APair[1] = 4;
  if (ParentControl()->GetTextMode() == 2) std::swap(APair[0], APair[1]);
}

TPoint TuiPCOneNotePainter::GetTabsNormalDistance() { return TPoint{5 - GetSlantSize(), -3}; }

TRect TuiPCOneNotePainter::GetTabsRegionIndents() { return RowsVertical() ? TRect{0, 4, 0, 4} : TRect{4, 0, 4, 0}; }

Integer TuiPCOneNotePainter::GetSlantSize() { return CalculateTabNormalHeight() + 2; }

TColor TuiPCOneNotePainter::GetFrameColor() { return OneNoteColor(0); }

TColor TuiPCOneNotePainter::BackgroundAt(Integer X, Integer Y) {
  const Integer index = ParentControl()->GetTabAt(X, Y);
  if (index != -1) {
    const Integer visible = ParentControl()->Tabs()->GetTab(index)->GetVisibleIndex();
    if (visible != -1) return ParentInfo()->PageColor(visible);
  }
  return ParentInfo()->Color();
}

void TuiPCOneNotePainter::DrawTabShapeBorder(Integer ATabVisibleIndex, const TRect& R) {
  TuiTab* tab = ParentInfo()->GetTab(ATabVisibleIndex);
  const TuiTabSide side = tab->GetSide();
  const TColor tabColor = GetTabColor(ATabVisibleIndex);
  TColor outer, inner, third;
  if (tab->IsHotTracked()) {
    outer = inner = third = OneNoteColor(3);
  } else if (tab->IsActive()) {
    outer = OneNoteColor(0);
    inner = MixColors(clWhite, tabColor, 60);
    third = MixColors(inner, tabColor, 70);
  } else {
    outer = OneNoteColor(1);
    inner = MixColors(MixColors(clWhite, OneNoteColor(5), 50), tabColor, 50);
    third = MixColors(OneNoteColor(5), tabColor, 50);
  }
  Integer L, B, W, H;
  StandingFrame(R, side, L, B, W, H);
  const TPoint corner = RotatePoint(R, TPoint{L, B - 1}, side), cornerBeside = RotatePoint(R, TPoint{L - 1, B - 1}, side);
  Canvas()->SetPixel(corner.x, corner.y, MixColors(outer, BackgroundAt(cornerBeside.x, cornerBeside.y), 25));
  DrawPolyline(R, {{L + 1, B - 1}, {L + H - 3, B - H + 3}, {L + H + 2, B - H}, {L + W - 3, B - H}, {L + W - 1, B - H + 2},
                   {L + W - 1, B - 1}},
               outer, side);
  const TPoint top = RotatePoint(R, TPoint{L + H + 2, B - H}, side), topBeside = RotatePoint(R, TPoint{L + H + 1, B - H}, side);
  Canvas()->SetPixel(top.x, top.y, MixColors(outer, BackgroundAt(topBeside.x, topBeside.y), 60));
  DrawPolyline(R, {{L + 2, B - 1}, {L + H - 3, B - H + 4}, {L + H + 2, B - H + 1}, {L + W - 4, B - H + 1}}, inner, side);
  DrawPolyline(R, {{L + W - 3, B - H + 1}, {L + W - 2, B - H + 2}, {L + W - 2, B - 1}}, third, side);
}

HRGN TuiPCOneNotePainter::GetTabShapeRegion(Integer ATabVisibleIndex, bool AInner) {
  TuiTab* tab = ParentInfo()->GetTab(ATabVisibleIndex);
  const TuiTabSide side = tab->GetSide();
  TRect r;
  tab->GetFullRect(r);
  std::vector<TPoint> points;
  Integer L, B, W, H;
  if (AInner) {
    switch (side) {
      case tsTop: OffsetRect(&r, 0, 1); break;
      case tsBottom: ++r.left; break;
      case tsLeft: ++r.top, ++r.left, ++r.right; break;
      case tsRight: ++r.top; break;
    }
    StandingFrame(r, side, L, B, W, H);
    static constexpr Integer kK[4] = {-2, -3, -2, -1};
    const Integer k = kK[side], j = side == tsBottom ? 1 : 0;
    const bool vertical = side == tsLeft || side == tsRight;
    const TPoint third = vertical ? TPoint{L + H + k + 4, B - H + 1} : TPoint{L + H + 2, B - H + 1};
    points = {{L + 2, B - 1}, {L + H + k, B - H + 3 + j}, third, {L + W - 2, B - H + 1}, {L + W - 2, B - 1}};
  } else {
    InflateRect(&r, 1, 1);
    StandingFrame(r, side, L, B, W, H);
    if (side == tsRight) {
      points = {{L - 1, B - 1}, {L - 1, B - 3}, {L + 2, B - 3},     {L + H - 2, B - H + 2},
                {L + H + 2, B - H}, {L + W - 4, B - H}, {L + W - 1, B - H + 3}, {L + W - 1, B - 1}};
    } else {
      const Integer m = side == tsLeft ? 5 : 4, n = side == tsLeft ? 4 : 3;
      points = {{L, B - 2},         {L + 1, B - 2},     {L + H - 3, B - H + 3}, {L + H + 2, B - H},
                {L + W - m, B - H}, {L + W - 1, B - H + n}, {L + W - 1, B - 1}};
    }
  }
  for (TPoint& p : points) p = RotatePoint(r, p, side);
  return PolygonRegion(points);
}

void TuiPCOneNotePainter::DrawActiveTabBase(Integer ATabVisibleIndex) {
  TuiTab* tab = ParentInfo()->GetTab(ATabVisibleIndex);
  TRect r;
  tab->GetFullRect(r);
  const TuiTabSide side = tab->GetSide();
  const TColor page = GetTabColor(ATabVisibleIndex);
  Integer L, B, W, H;
  StandingFrame(r, side, L, B, W, H);
  const TPoint corner = RotatePoint(r, TPoint{L, B}, side);
  Canvas()->SetPixel(corner.x, corner.y, MixColors(GetFrameColor(), page, 50));
  const TPoint a = RotatePoint(r, TPoint{L + 1, B}, side), b = RotatePoint(r, TPoint{L + W - 1, B}, side);
  Canvas()->FillRectWithColor(TRect{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x) + 1, std::max(a.y, b.y) + 1},
                              page);
}
