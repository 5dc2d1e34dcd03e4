// The flat tab styles: single-pixel tabs on a band along the whole row, plain, with dark lines only, and
// filled with the gradients of the current colour scheme.
#include <algorithm>

#include "controls/extra/uiPC.h"
#include "controls/extra/uiPCPainters.h"
#include "controls/foundation/uxOffice11.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/win/gdi/WinRect.h"

K58_IMPLEMENT_CLASS(TuiPCExtraFlatPainter) {}
K58_IMPLEMENT_CLASS(TuiPCUltraFlatPainter) {}
K58_IMPLEMENT_CLASS(TuiPCOffice11Painter) {}

namespace {

struct ExtraFlatTraits : TuiPCPainterTraits {
  static constexpr Integer StyleID = 5;
  static constexpr const char* StyleName = "ExtraFlat";
};

struct UltraFlatTraits : TuiPCPainterTraits {
  static constexpr Integer StyleID = 6;
  static constexpr const char* StyleName = "UltraFlat";
  static bool IsDefault(TuiLookAndFeel* ALookAndFeel) { return TabLookAndFeelKind(ALookAndFeel) == lfsUltraFlat; }
};

struct Office11Traits : TuiPCPainterTraits {
  static constexpr Integer StyleID = 8;
  static constexpr const char* StyleName = "Office11";
  static bool IsDefault(TuiLookAndFeel* ALookAndFeel) { return TabLookAndFeelKind(ALookAndFeel) == lfsOffice11; }
};

// Moves one side of R (0 left, 1 top, 2 right, 3 bottom) outward by N pixels (inward for a negative N).
void GrowSide(TRect& R, Integer ASide, Integer N) {
  switch (ASide) {
    case 0: R.left -= N; break;
    case 1: R.top -= N; break;
    case 2: R.right += N; break;
    default: R.bottom += N; break;
  }
}

TuiTabSide SideOfPosition(TuiTabPosition APosition) { return static_cast<TuiTabSide>(APosition); }

bool IsFarSide(TuiTabSide ASide) { return ASide == tsBottom || ASide == tsRight; }

}  // namespace

TuiPCPainterClass k58::extra::ExtraFlatPainterClass() {
  static const TuiPCPainterClassOf<TuiPCExtraFlatPainter, ExtraFlatTraits> info;
  return &info;
}
TuiPCPainterClass k58::extra::UltraFlatPainterClass() {
  static const TuiPCPainterClassOf<TuiPCUltraFlatPainter, UltraFlatTraits> info;
  return &info;
}
TuiPCPainterClass k58::extra::Office11PainterClass() {
  static const TuiPCPainterClassOf<TuiPCOffice11Painter, Office11Traits> info;
  return &info;
}

TuiPCPainterClass TuiPCExtraFlatPainter::PainterClass() const { return k58::extra::ExtraFlatPainterClass(); }
TuiPCPainterClass TuiPCUltraFlatPainter::PainterClass() const { return k58::extra::UltraFlatPainterClass(); }
TuiPCPainterClass TuiPCOffice11Painter::PainterClass() const { return k58::extra::Office11PainterClass(); }

TColor LightButtonFace() {
  // Taken once: the shared face keeps its value for the life of the program.
  static const TColor face = [] {
    const COLORREF c = ColorToRGB(clBtnFace);
    auto up = [](int v) { return static_cast<BYTE>(std::min(v + 20, 255)); };
    return static_cast<TColor>(RGB(up(GetRValue(c)), up(GetGValue(c)), up(GetBValue(c))));
  }();
  return face;
}

// ---- ExtraFlat: sizes ----

Integer TuiPCExtraFlatPainter::CalculateTabNormalWidth(TuiTab* ATab) {
  Integer width = ParentInfo()->TabWidth();
  if (width <= 0) {
    const TSize image = GetImageSize();
    const Integer imagePart = image.cx > 0 ? image.cx + 2 * ParentInfo()->ImageBorder() + 4 : 0;
    const Integer caption = CaptionTextWidth(ATab->Caption());
    width = imagePart + (ATab->Caption().empty() ? 12 : caption + 9);
  }
  return std::max(width, GetMinTabNormalWidth());
}

Integer TuiPCExtraFlatPainter::GetMinTabNormalWidth() {
  const TSize image = GetImageSize();
  return image.cx > 0 ? image.cx + 2 * ParentInfo()->ImageBorder() + 4 : 0;
}

Integer TuiPCExtraFlatPainter::CalculateTabNormalHeight() {
  return std::max({GetTabNormalHeightByContent(), GetTabMinHeight(), ParentInfo()->TabHeight() - 4});
}

void TuiPCExtraFlatPainter::GetTabCorrection(Integer ATabVisibleIndex, TRect& R) {
  R = ATabVisibleIndex == ParentInfo()->ActiveTabVisibleIndex() ? TRect{-1, -1, 1, 1} : TRect{};
}

void TuiPCExtraFlatPainter::GetTabImageAreaOffsets(Integer ATabVisibleIndex, TRect& R) {
  R = TRect{ATabVisibleIndex == ParentInfo()->ActiveTabVisibleIndex() ? 3 : 2, 0, 0, 0};
}

void TuiPCExtraFlatPainter::GetTabTextAreaOffsets(Integer ATabVisibleIndex, TRect& R) {
  const bool active = ATabVisibleIndex == ParentInfo()->ActiveTabVisibleIndex();
  R = TRect{active ? 6 : 5, 2, 3, 0};
  const Integer code = ParentInfo()->GetTab(ATabVisibleIndex)->GetOrientationCode(ParentControl()->GetTextMode());
  if (code == 5 || code == 7 || code == 10) R.top = R.bottom = 0;
  if (GetImageSize().cx > 0) R.left += active ? 1 : 2;
}

void TuiPCExtraFlatPainter::GetTabContentWOffset(Integer ATabVisibleIndex, Integer (&APair)[2]) {
  APair[0] = APair[1] = ATabVisibleIndex == ParentInfo()->ActiveTabVisibleIndex() ? 3 : 2;
}

TPoint TuiPCExtraFlatPainter::GetTabsNormalDistance() {
  const TPoint d{GetTabSeparatorWidth(), GetTabsRowBorderWidth() + 3};
  return ParentInfo()->Rotate() ? TPoint{d.y, d.x} : d;
}

Integer TuiPCExtraFlatPainter::GetButtonsDistance(TuiPCNavigatorButton AButton1, TuiPCNavigatorButton AButton2) {
  const bool go = AButton1 == nbGoDialog || AButton2 == nbGoDialog;
  const bool close = AButton1 == nbClose || AButton2 == nbClose;
  return go && !close ? 0 : 3;
}

Integer TuiPCExtraFlatPainter::GetButtonsRegionEndOffset() {
  return 1 + (IsFrameAroundTabs() ? GetFrameWidth() : 0);
}

TColor TuiPCExtraFlatPainter::GetClientColor() {
  const Integer active = ParentInfo()->ActiveTabVisibleIndex();
  return active == -1 ? clBtnFace : ParentInfo()->PageColor(active);
}

void TuiPCExtraFlatPainter::GetClientRectMargins(TRect& M) {
  TuiPCStandardPainter::GetClientRectMargins(M);
  if (!ParentInfo()->HideTabs() && ParentInfo()->RowCount() >= 1) M.top += 2;
  AdjustClientRectMargins(M);
}

void TuiPCExtraFlatPainter::AdjustClientRectMargins(TRect& M) {
  if (HasFrame() && !ParentInfo()->HideTabs() && ParentInfo()->RowCount() >= 1) --M.top;
}

void TuiPCExtraFlatPainter::GetFrameRectMargins(TRect& M) {
  TuiPCStandardPainter::GetFrameRectMargins(M);
  if (!ParentInfo()->HideTabs() && ParentInfo()->HasOppositeRows()) M.bottom += 3;
}

TColor TuiPCExtraFlatPainter::GetTabColor(Integer ATabVisibleIndex) {
  TuiTab* tab = ParentInfo()->GetTab(ATabVisibleIndex);
  if (tab->Highlighted()) return clHighlight;
  return tab->IsActive() ? clBtnFace : LightButtonFace();
}

void TuiPCExtraFlatPainter::InitTabsRegionParameters(TuiPCNavigatorButtons AButtons,
                                                     TuiPCTabsRegionParameters& AParams) {
  const Integer reserved = GetButtonsRegionLength(AButtons);
  const TuiPCPainterParentInfo* info = ParentInfo();
  const TuiTabPosition position = info->TabPosition();
  TRect margins{6, 3, 6, 0};
  if (IsFrameAroundTabs()) {
    margins.top += GetFrameWidth();
    margins.bottom += GetFrameWidth();
  }
  TRect start = DeflateRectByRotatedMargins(TRect{0, 0, info->Width(), info->Height()}, margins, position);
  const TuiPCNavigatorPosition n = info->NavigatorPosition();
  if (!RowsVertical()) {
    AParams.TabsLength = info->Width() - 12 - reserved;
    if (n == npLeftTop || n == npLeftBottom)
      start.left += reserved;
    else
      start.right -= reserved;
  } else {
    AParams.TabsLength = info->Height() - 12 - reserved;
    if (n == npLeftTop || n == npRightTop)
      start.top += reserved;
    else
      start.bottom -= reserved;
  }
  AParams.TabsRectCopy = start;
  AParams.TabsRect = DeflateRectByRotatedMargins(start, TRect{-1, -1, -1, 0}, position);
  const bool near = position == tpTop || position == tpLeft;
  AParams.NearExtraOffset = near ? 1 : 0;
  AParams.FarExtraOffset = near ? 0 : -1;
  AParams.RowDistance = GetTabsNormalDistance().y - 1;
  CalculateButtonsPositions(AButtons);
}

// ---- ExtraFlat: navigator ----

void TuiPCExtraFlatPainter::GetButtonGlyphInfo(TuiPCNavigatorButton AButton, TuiPCButtonGlyphInfo& AInfo) {
  const TuiPCNavigatorButtonState state = ParentInfo()->NavigatorButtonState(AButton);
  AInfo.BrushColor = AInfo.PenColor = GetButtonArrowColor(state);
  AInfo.Enabled = true;
  AInfo.Thin = AButton == nbClose;
  if (AButton == nbClose || state == nbsDisabled || !ParentControl()->Enabled()) AInfo.BrushColor = LightButtonFace();
}

TColor TuiPCExtraFlatPainter::GetButtonColor(TuiPCNavigatorButtonState AState) {
  return AState == nbsPressed || AState == nbsHot ? clBtnFace : LightButtonFace();
}

TColor TuiPCExtraFlatPainter::GetButtonArrowColor(TuiPCNavigatorButtonState AState) {
  if (AState == nbsDisabled || !ParentControl()->Enabled()) return clBtnShadow;
  return AState == nbsPressed ? clBtnHighlight : clBtnText;
}

TPoint TuiPCExtraFlatPainter::GetButtonGlyphOffset(TuiPCNavigatorButton AButton) {
  if (AButton == nbGoDialog)
    return TPoint{3, ParentInfo()->NavigatorButtonState(AButton) == nbsPressed ? 5 : 4};
  if (AButton == nbClose) return RowsVertical() ? TPoint{3, 2} : TPoint{2, 3};
  switch (ArrowDirection(AButton)) {
    case adUp: return TPoint{2, 5};
    case adDown: return TPoint{2, 3};
    case adLeft: return TPoint{5, 2};
    default: return TPoint{3, 2};
  }
}

void TuiPCExtraFlatPainter::DrawButtonFrame(TRect& R, TuiPCNavigatorButtonState AState) {
  if (AState != nbsPressed && AState != nbsHot) return;
  Draw3DFrame(R, AState == nbsPressed, true);
  InflateRect(&R, -1, -1);
}

// ---- ExtraFlat: painting ----

Integer TuiPCExtraFlatPainter::ClientSideCode(TuiTabSide ASide) {
  static constexpr Integer kCodes[4] = {3, 1, 2, 0};
  return kCodes[ASide];
}

Integer TuiPCExtraFlatPainter::OuterSideCode(TuiTabSide ASide) {
  static constexpr Integer kCodes[4] = {1, 3, 0, 2};
  return kCodes[ASide];
}

void TuiPCExtraFlatPainter::DrawSideLines(TRect& R, std::initializer_list<std::pair<Integer, TColor>> ALines,
                                          bool AExclude) {
  const TRect outer = R;
  TuiCanvas* c = Canvas();
  for (const auto& [side, colour] : ALines) {
    switch (side) {
      case 0: c->FillRectWithColor(TRect{R.left, R.top, R.left + 1, R.bottom}, colour); ++R.left; break;
      case 1: c->FillRectWithColor(TRect{R.left, R.top, R.right, R.top + 1}, colour); ++R.top; break;
      case 2: c->FillRectWithColor(TRect{R.right - 1, R.top, R.right, R.bottom}, colour); --R.right; break;
      default: c->FillRectWithColor(TRect{R.left, R.bottom - 1, R.right, R.bottom}, colour); --R.bottom; break;
    }
  }
  if (!AExclude) return;
  HDC dc = c->GetDCHandle();
  HRGN ring = CreateRectRgnIndirect(&outer);
  HRGN inner = CreateRectRgnIndirect(&R);
  CombineRgn(ring, ring, inner, RGN_DIFF);
  ExtSelectClipRgn(dc, ring, RGN_DIFF);
  DeleteObject(inner);
  DeleteObject(ring);
}

void TuiPCExtraFlatPainter::DoPaint() {
  DrawFrameAndClientArea();
  if (!ParentInfo()->HideTabs()) {
    DrawButtons();
    DrawTabs();
  }
}

void TuiPCExtraFlatPainter::GetTabsStripRect(TRect& R) {
  R = TRect{};
  if (ParentInfo()->HideTabs() || ParentInfo()->RowCount() == 0) return;
  TRect client;
  CalculateClientRect(client);
  R = client;
  switch (ParentInfo()->TabPosition()) {
    case tpTop: R.bottom = R.top; R.top -= 2; break;
    case tpBottom: R.top = R.bottom; R.bottom += 2; break;
    case tpLeft: R.right = R.left; R.left -= 2; break;
    case tpRight: R.left = R.right; R.right += 2; break;
  }
}

void TuiPCExtraFlatPainter::DrawFrameAndClientArea() {
  TRect strip;
  GetTabsStripRect(strip);
  if (!IsRectEmpty(&strip)) Canvas()->FillRectWithColor(strip, GetTabsStripColor());
  TuiPCStandardPainter::DrawFrameAndClientArea();
}

void TuiPCExtraFlatPainter::DrawOpenFrame(TColor first, TColor second) {
  TRect r;
  CalculateFrameRect(r);
  if (ParentInfo()->HideTabs() || ParentInfo()->RowCount() == 0) {
    Canvas()->DrawTwoColorFrame(r, first, second);
    return;
  }
  switch (ParentInfo()->TabPosition()) {
    case tpTop: DrawSideLines(r, {{2, second}, {3, second}, {0, first}}); break;
    case tpBottom: DrawSideLines(r, {{2, second}, {1, first}, {0, first}}); break;
    case tpLeft: DrawSideLines(r, {{3, second}, {2, second}, {1, first}}); break;
    case tpRight: DrawSideLines(r, {{3, second}, {0, first}, {1, first}}); break;
  }
}

void TuiPCExtraFlatPainter::GetTabBackgroundRect(Integer ATabVisibleIndex, bool AAsInactive, TRect& R) {
  TuiTab* tab = ParentInfo()->GetTab(ATabVisibleIndex);
  if (AAsInactive || !tab->IsActive()) {
    tab->GetNormalRect(R);
    const TuiTabSide side = SideOfPosition(ParentInfo()->TabPosition());
    GrowSide(R, OuterSideCode(side), 3);
    GrowSide(R, ClientSideCode(side), GetTabsRowBorderWidth());
    return;
  }
  tab->GetFullRect(R);
  const Integer client = ClientSideCode(tab->GetSide());
  for (Integer s = 0; s < 4; ++s)
    if (s != client) GrowSide(R, s, -1);
}

void TuiPCExtraFlatPainter::FillTabBackground(TuiCanvas* ACanvas, const TRect& R, Integer ATabVisibleIndex) {
  ACanvas->FillRectWithColor(R, ATabVisibleIndex == -1 ? LightButtonFace() : GetTabColor(ATabVisibleIndex));
}

void TuiPCExtraFlatPainter::GetTabSeparatorIndents(Integer (&APair)[2]) {
  const TuiTabPosition p = ParentInfo()->TabPosition();
  if (p == tpBottom || p == tpRight) {
    APair[0] = 2;
    APair[1] = 0;
  } else {
    APair[0] = APair[1] = 1;
  }
}

void TuiPCExtraFlatPainter::DrawTabSeparator(const TRect& R) {
  Canvas()->FillRectWithColor(R, clBtnShadow);
  Canvas()->ExcludeClipRect(R);
}

void TuiPCExtraFlatPainter::DrawTabsRowBorder(TRect& R, Integer ARow) {
  const Integer first = ParentControl()->GetLineIndexBounds()[static_cast<size_t>(ARow)].first;
  const TuiTabSide side = ParentInfo()->GetTab(first)->GetSide();
  const Integer code = ClientSideCode(side);
  DrawSideLines(R, {{code, clBtnFace}, {code, clBtnFace}, {code, IsFarSide(side) ? clBlack : clWhite}}, true);
}

Integer TuiPCExtraFlatPainter::ActiveRow() {
  const Integer active = ParentInfo()->ActiveTabVisibleIndex();
  if (active != -1) return ParentInfo()->GetTab(active)->DisplayRow;
  const TuiTabPosition p = ParentInfo()->TabPosition();
  return p == tpBottom || p == tpRight ? 0 : ParentInfo()->RowCount() - 1;
}

TRect TuiPCExtraFlatPainter::SeparatorRect(Integer ATabVisibleIndex) {
  const TuiPCPainterParentInfo* info = ParentInfo();
  if (ATabVisibleIndex + 1 >= ParentControl()->Tabs()->VisibleCount()) return TRect{};
  TuiTab* tab = info->GetTab(ATabVisibleIndex);
  TuiTab* next = info->GetTab(ATabVisibleIndex + 1);
  if (tab->IsActive() || next->IsActive() || tab->DisplayRow != next->DisplayRow) return TRect{};
  TRect full;
  tab->GetFullRect(full);
  const Integer width = GetTabSeparatorWidth();
  Integer indents[2];
  GetTabSeparatorIndents(indents);
  const bool reversed = ParentControl()->IsReversedRow();
  if (!RowsVertical()) {
    const Integer x = reversed ? full.left - width : full.right;
    return TRect{x, full.top + indents[0], x + width, full.bottom - indents[1]};
  }
  const Integer y = reversed ? full.top - width : full.bottom;
  return TRect{full.left + indents[0], y, full.right - indents[1], y + width};
}

void TuiPCExtraFlatPainter::DrawTabs() {
  const auto rows = ParentControl()->GetLineIndexBounds();
  TuiCanvas* c = Canvas();
  for (size_t row = 0; row < rows.size(); ++row) {
    if (rows[row].first == -1) continue;
    SaveClipRegion();
    TRect band;
    try {
      for (Integer i = rows[row].first; i <= rows[row].last; ++i) {
        DrawTab(i);
        const TRect separator = SeparatorRect(i);
        if (!IsRectEmpty(&separator)) DrawTabSeparator(separator);
      }
      GetTabBackgroundRect(rows[row].first, true, band);
      const Integer inset = IsFrameAroundTabs() ? 1 : 0;
      if (!RowsVertical()) {
        band.left = inset;
        band.right = ParentInfo()->Width() - inset;
      } else {
        band.top = inset;
        band.bottom = ParentInfo()->Height() - inset;
      }
      TRect rest = band;
      DrawTabsRowBorder(rest, static_cast<Integer>(row));
      FillTabBackground(c, rest, -1);
    } catch (...) {
      RestoreClipRegion();
      throw;
    }
    RestoreClipRegion();
    c->ExcludeClipRect(band);
  }
}

void TuiPCExtraFlatPainter::DrawActiveTabBorderIn(TRect& R, TColor ALight, TColor ADark) {
  const Integer active = ParentInfo()->ActiveTabVisibleIndex();
  const TuiTabSide side = active == -1 ? SideOfPosition(ParentInfo()->TabPosition())
                                       : ParentInfo()->GetTab(active)->GetSide();
  switch (side) {
    case tsTop: DrawSideLines(R, {{0, ALight}, {1, ALight}, {2, ADark}}); break;
    case tsBottom:
      DrawSideLines(R, {{0, ALight}, {3, ADark}, {2, ADark}});
      Canvas()->SetPixel(R.left - 1, R.top, ADark);
      break;
    case tsLeft: DrawSideLines(R, {{1, ALight}, {0, ALight}, {3, ADark}}); break;
    case tsRight:
      DrawSideLines(R, {{1, ALight}, {2, ADark}, {3, ADark}});
      Canvas()->SetPixel(R.left, R.top - 1, ADark);
      break;
  }
}

void TuiPCExtraFlatPainter::DrawActiveTabBorder(TRect& R) { DrawActiveTabBorderIn(R, clWhite, clBlack); }

void TuiPCExtraFlatPainter::GetActiveTabFocusRect(TRect& R) {
  const Integer active = ParentInfo()->ActiveTabVisibleIndex();
  TuiTab* tab = ParentInfo()->GetTab(active);
  tab->GetFullRect(R);
  static constexpr TRect kCorrections[4] = {{0, 0, -1, 1}, {1, -1, -1, -1}, {0, 0, 1, -1}, {-1, 1, -1, -1}};
  const TRect& k = kCorrections[tab->GetSide()];
  R = TRect{R.left + k.left, R.top + k.top, R.right + k.right, R.bottom + k.bottom};
}

void TuiPCExtraFlatPainter::DrawTabBackground(Integer ATabVisibleIndex) {
  TuiTab* tab = ParentInfo()->GetTab(ATabVisibleIndex);
  TRect r;
  tab->GetFullRect(r);
  const bool active = tab->IsActive();
  if (active) DrawActiveTabBorder(r);
  if (!IsTabTransparent(ATabVisibleIndex)) FillTabBackground(Canvas(), r, ATabVisibleIndex);
  if (active) {
    TRect focus;
    GetActiveTabFocusRect(focus);
    DrawTabFocusRect(ATabVisibleIndex, focus);
  }
}

void TuiPCExtraFlatPainter::RepaintTab(Integer ATabVisibleIndex, Integer AChangeType) {
  if (ATabVisibleIndex < 0 || ATabVisibleIndex >= ParentControl()->Tabs()->VisibleCount()) return;
  if (AChangeType == tcActive && !ParentInfo()->GetTab(ATabVisibleIndex)->IsActive()) {
    if (ParentControl()->GetPainterTextMode() != 0) ParentInfo()->GetTab(ATabVisibleIndex)->FreeCaptionBitmap();
    InvalidateRowsArea(ATabVisibleIndex);
  } else {
    TuiPCStandardPainter::RepaintTab(ATabVisibleIndex, AChangeType);
  }
}

// ---- UltraFlat ----

Integer TuiPCUltraFlatPainter::GetButtonsDistance(TuiPCNavigatorButton AButton1, TuiPCNavigatorButton AButton2) {
  return AButton1 == nbClose || AButton2 == nbClose ? 3 : 1;
}

void TuiPCUltraFlatPainter::GetButtonGlyphInfo(TuiPCNavigatorButton AButton, TuiPCButtonGlyphInfo& AInfo) {
  const TuiPCNavigatorButtonState state = ParentInfo()->NavigatorButtonState(AButton);
  AInfo.BrushColor = AInfo.PenColor = GetButtonArrowColor(state);
  AInfo.Enabled = ParentControl()->Enabled();
  AInfo.Thin = AButton == nbClose;
}

TColor TuiPCUltraFlatPainter::GetButtonColor(TuiPCNavigatorButtonState AState) {
  if (AState == nbsHot) return clBtnFace;
  return AState == nbsPressed ? clBtnShadow : LightButtonFace();
}

Integer TuiPCUltraFlatPainter::GetButtonWidth(TuiPCNavigatorButton AButton) {
  switch (AButton) {
    case nbGoDialog: return 11;
    case nbClose: return 14;
    default: return 15;
  }
}

void TuiPCUltraFlatPainter::DrawButtonFrame(TRect& R, TuiPCNavigatorButtonState AState) {
  const TColor colour = AState == nbsPressed || AState == nbsHot ? clBlack : clBtnShadow;
  Canvas()->DrawTwoColorFrame(R, colour, colour);
  InflateRect(&R, -1, -1);
}

void TuiPCUltraFlatPainter::GetActiveTabFocusRect(TRect& R) {
  TuiTab* tab = ParentInfo()->GetTab(ParentInfo()->ActiveTabVisibleIndex());
  tab->GetFullRect(R);
  const Integer client = ClientSideCode(tab->GetSide());
  for (Integer s = 0; s < 4; ++s)
    if (s != client) GrowSide(R, s, -1);
}

void TuiPCUltraFlatPainter::DrawTabsRowBorder(TRect& R, Integer ARow) {
  const Integer first = ParentControl()->GetLineIndexBounds()[static_cast<size_t>(ARow)].first;
  const Integer code = ClientSideCode(ParentInfo()->GetTab(first)->GetSide());
  if (ARow == ActiveRow())
    DrawSideLines(R, {{code, clBtnFace}, {code, clBtnFace}, {code, clBlack}}, true);
  else
    DrawSideLines(R, {{code, clBtnFace}, {code, clBlack}, {code, clBtnFace}}, true);
}

// ---- Office11 ----

TColor TuiPCOffice11Painter::GetFrameColor() { return Office11Color(o11SelectionFrame); }

void TuiPCOffice11Painter::GradientOrMix(TColor& AFrom, TColor& ATo, bool AGradient) {
  if (!AGradient) AFrom = ATo = MixColors(AFrom, ATo, 50);
}

void TuiPCOffice11Painter::GetTabGradientPair(Integer ATabVisibleIndex, TColor& AFrom, TColor& ATo) {
  if (ATabVisibleIndex != -1 && ATabVisibleIndex == ParentInfo()->ActiveTabVisibleIndex()) {
    AFrom = Office11Color(o11HotLight);
    ATo = Office11Color(o11HotDark);
  } else if (ATabVisibleIndex != -1 && ParentInfo()->GetTab(ATabVisibleIndex)->Highlighted()) {
    AFrom = ATo = clHighlight;
  } else {
    AFrom = Office11Color(o11BarLight);
    ATo = Office11Color(o11BarDark);
  }
  GradientOrMix(AFrom, ATo, ParentInfo()->Options().Contains(pcoGradient));
}

void TuiPCOffice11Painter::FillTabBackground(TuiCanvas* ACanvas, const TRect& R, Integer ATabVisibleIndex) {
  TColor from, to;
  GetTabGradientPair(ATabVisibleIndex, from, to);
  FillGradientRect(ACanvas->GetDCHandle(), R, from, to, RowsVertical());
}

void TuiPCOffice11Painter::GetClientRectMargins(TRect& M) {
  TuiPCExtraFlatPainter::GetClientRectMargins(M);
  if (!HasFrame() && ParentInfo()->HasOppositeRows()) ++M.bottom;
}

bool TuiPCOffice11Painter::IsTabTransparent(Integer ATabVisibleIndex) {
  TuiTab* tab = ParentInfo()->GetTab(ATabVisibleIndex);
  return !tab->IsActive() && !tab->Highlighted();
}

bool TuiPCOffice11Painter::NeedsRedrawOnResize() {
  const TuiPCOptions o = ParentInfo()->Options();
  return o.Contains(pcoGradient) && o.Contains(pcoGradientClientArea);
}

void TuiPCOffice11Painter::DrawClientArea() {
  TRect r;
  CalculateClientRect(r);
  const Integer active = ParentInfo()->ActiveTabVisibleIndex();
  TControl* page = active == -1 ? nullptr : ParentInfo()->GetPage(active);
  if (page != nullptr && !page->ParentColor()) {
    Canvas()->FillRectWithColor(r, page->Color());
    return;
  }
  TColor from = Office11Color(o11BarLight), to = Office11Color(o11BarDark);
  const TuiPCOptions o = ParentInfo()->Options();
  GradientOrMix(from, to, o.Contains(pcoGradient) && o.Contains(pcoGradientClientArea));
  FillGradientRect(Canvas()->GetDCHandle(), r, from, to, RowsVertical());
}

void TuiPCOffice11Painter::DrawFrameAndClientArea() {
  if (!HasFrame() && !ParentInfo()->HideTabs() && ParentInfo()->HasOppositeRows()) {
    TRect client;
    CalculateClientRect(client);
    TRect line;
    switch (ParentInfo()->TabPosition()) {
      case tpTop: line = TRect{client.left, client.bottom, client.right, client.bottom + 1}; break;
      case tpBottom: line = TRect{client.left, client.top - 1, client.right, client.top}; break;
      case tpLeft: line = TRect{client.right, client.top, client.right + 1, client.bottom}; break;
      case tpRight: line = TRect{client.left - 1, client.top, client.left, client.bottom}; break;
    }
    Canvas()->FillRectWithColor(line, GetFrameColor());
  }
  TuiPCExtraFlatPainter::DrawFrameAndClientArea();
}

void TuiPCOffice11Painter::DrawFrame() {
  TRect r;
  CalculateClientRect(r);
  InflateRect(&r, 1, 1);
  Canvas()->DrawTwoColorFrame(r, GetFrameColor(), GetFrameColor());
}

void TuiPCOffice11Painter::GetTabsStripRect(TRect& R) {
  R = TRect{};
  if (ParentInfo()->HideTabs() || ParentInfo()->RowCount() == 0) return;
  CalculateFrameRect(R);
  switch (ParentInfo()->TabPosition()) {
    case tpTop: R.bottom = R.top + 2; break;
    case tpBottom: R.top = R.bottom - 2; break;
    case tpLeft: R.right = R.left + 2; break;
    case tpRight: R.left = R.right - 2; break;
  }
}

TColor TuiPCOffice11Painter::GetTabsStripColor() {
  const TuiTabPosition p = ParentInfo()->TabPosition();
  return Office11Color(p == tpBottom || p == tpRight ? o11HotLight : o11HotDark);
}

void TuiPCOffice11Painter::GetTabSeparatorIndents(Integer (&APair)[2]) {
  const TuiTabPosition p = ParentInfo()->TabPosition();
  if (p == tpBottom || p == tpRight) {
    APair[0] = 3;
    APair[1] = -1;
  } else {
    APair[0] = 0;
    APair[1] = 2;
  }
}

void TuiPCOffice11Painter::DrawTabSeparator(const TRect& R) {
  TRect first{R.left, R.top, R.right - 1, R.bottom - 1};
  Canvas()->FillRectWithColor(first, Office11Color(o11HeaderDark));
  Canvas()->ExcludeClipRect(first);
  OffsetRect(&first, 1, 1);
  Canvas()->FillRectWithColor(first, Office11Color(o11HeaderLight));
  Canvas()->ExcludeClipRect(first);
}

void TuiPCOffice11Painter::DrawTabsRowBorder(TRect& R, Integer ARow) {
  const Integer first = ParentControl()->GetLineIndexBounds()[static_cast<size_t>(ARow)].first;
  DrawSideLines(R, {{ClientSideCode(ParentInfo()->GetTab(first)->GetSide()), GetFrameColor()}}, true);
}

TColor TuiPCOffice11Painter::GetButtonArrowColor(TuiPCNavigatorButtonState AState) {
  return Office11Color(AState == nbsDisabled ? o11DisabledText : o11SymbolText);
}

void TuiPCOffice11Painter::DrawButtonFrame(TRect& R, TuiPCNavigatorButtonState AState) {
  const bool disabled = AState == nbsDisabled || !ParentControl()->Enabled();
  const TColor colour = disabled ? Office11Color(o11DisabledText) : GetFrameColor();
  Canvas()->DrawTwoColorFrame(R, colour, colour);
  InflateRect(&R, -1, -1);
}

void TuiPCOffice11Painter::DrawButtonBackground(const TRect& R, TuiPCNavigatorButtonState AState) {
  // The shading spans the first tab row, so the buttons continue the band's gradient.
  TRect span = R;
  if (ParentControl()->Tabs()->VisibleCount() > 0) {
    GetTabBackgroundRect(0, true, span);
    if (!RowsVertical()) {
      span.left = 0;
      span.right = ParentInfo()->Width();
    } else {
      span.top = 0;
      span.bottom = ParentInfo()->Height();
    }
  }
  if (!SetClipRect(R)) return;
  if (AState == nbsPressed || AState == nbsHot) {
    const bool pressed = AState == nbsPressed;
    TColor from = Office11Color(pressed ? o11PressedLight : o11HotLight);
    TColor to = Office11Color(pressed ? o11PressedDark : o11HotDark);
    FillGradientRect(Canvas()->GetDCHandle(), span, from, to, RowsVertical());
  } else {
    FillTabBackground(Canvas(), span, -1);
  }
  RestoreClipRegion();
}

void TuiPCOffice11Painter::DrawTabTextBackground(TBitmap* ABitmap, const TRect& /*ATextRect*/,
                                                 Integer ATabVisibleIndex) {
  const TuiPCPainterParentInfo* info = ParentInfo();
  TRect r;
  GetTabBackgroundRect(ATabVisibleIndex, false, r);
  GrowSide(r, ClientSideCode(SideOfPosition(info->TabPosition())), -GetTabsRowBorderWidth());
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
  TColor from, to;
  GetTabGradientPair(ATabVisibleIndex, from, to);
  if ((!rotate && mode == 2) || (rotate && mode == 1)) std::swap(from, to);
  FillGradientRect(ABitmap->Canvas()->Handle(), r, from, to, rotate);
}
