// The button tab styles: three-dimensional buttons and flat buttons with etched separators.
#include <algorithm>

#include "controls/extra/uiPC.h"
#include "controls/extra/uiPCPainters.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/win/gdi/WinRect.h"

K58_IMPLEMENT_CLASS(TuiPCButtonedPainter) {}
K58_IMPLEMENT_CLASS(TuiPCButtonsPainter) {}
K58_IMPLEMENT_CLASS(TuiPCFlatButtonsPainter) {}

namespace {

struct ButtonsTraits : TuiPCPainterTraits {
  static constexpr Integer StyleID = 2;
  static constexpr const char* StyleName = "Buttons";
  static constexpr Integer StandardStyle = 1;
  static constexpr bool IsTabContentMirrored = false;
  static constexpr bool AllowMultiSelection = true;
  static constexpr bool IsButtonBehaviour = true;
};

struct FlatButtonsTraits : ButtonsTraits {
  static constexpr Integer StyleID = 3;
  static constexpr const char* StyleName = "FlatButtons";
  static constexpr Integer StandardStyle = 2;
};

// The space between flat buttons, in which their separator stands.
constexpr Integer kFlatButtonsGap = 10;

}  // namespace

TuiPCPainterClass k58::extra::ButtonsPainterClass() {
  static const TuiPCPainterClassOf<TuiPCButtonsPainter, ButtonsTraits> info;
  return &info;
}

TuiPCPainterClass k58::extra::FlatButtonsPainterClass() {
  static const TuiPCPainterClassOf<TuiPCFlatButtonsPainter, FlatButtonsTraits> info;
  return &info;
}

TuiPCPainterClass TuiPCButtonsPainter::PainterClass() const { return k58::extra::ButtonsPainterClass(); }
TuiPCPainterClass TuiPCFlatButtonsPainter::PainterClass() const { return k58::extra::FlatButtonsPainterClass(); }

// ---- Buttoned painter ----

void TuiPCButtonedPainter::GetFrameRectMargins(TRect& M) {
  TuiPCStandardPainter::GetFrameRectMargins(M);
  if (!ParentInfo()->HideTabs() && ParentInfo()->RowCount() >= 1) M.top += 2;
}

TColor TuiPCButtonedPainter::GetTabColor(Integer ATabVisibleIndex) {
  TuiTab* tab = ParentInfo()->GetTab(ATabVisibleIndex);
  if (tab->Highlighted()) return clHighlight;
  return tab->IsActive() ? clBtnHighlight : clBtnFace;
}

bool TuiPCButtonedPainter::IsTabPressed(Integer ATabVisibleIndex) {
  TuiTab* tab = ParentInfo()->GetTab(ATabVisibleIndex);
  return !tab->IsFocused() && (tab->IsPressed() || tab->Selected() || tab->IsActive());
}

// ---- Buttons ----

void TuiPCButtonsPainter::GetTabContentWOffset(Integer, Integer (&APair)[2]) {
  APair[0] = GetImageSize().cx > 0 ? 2 : 3;
  APair[1] = 3;
}

bool TuiPCButtonsPainter::IsTabPressed(Integer ATabVisibleIndex) {
  TuiTab* tab = ParentInfo()->GetTab(ATabVisibleIndex);
  return tab->IsFocused() || tab->IsPressed() || tab->Selected() || tab->IsActive();
}

void TuiPCButtonsPainter::DrawTabBackground(Integer ATabVisibleIndex) {
  TRect r;
  ParentInfo()->GetTab(ATabVisibleIndex)->GetFullRect(r);
  const bool down = IsTabPressed(ATabVisibleIndex);
  TuiCanvas* c = Canvas();
  c->DrawTwoColorFrame(r, down ? cl3DDkShadow : clBtnHighlight, down ? clBtnHighlight : cl3DDkShadow);
  InflateRect(&r, -1, -1);
  c->DrawTwoColorFrame(r, down ? clBtnShadow : cl3DLight, down ? cl3DLight : clBtnShadow);
  InflateRect(&r, -1, -1);
  c->FillRectWithColor(r, GetTabColor(ATabVisibleIndex));
  InflateRect(&r, 1, 1);
  DrawTabFocusRect(ATabVisibleIndex, r);
}

// ---- Flat buttons ----

void TuiPCFlatButtonsPainter::DrawTabBackground(Integer ATabVisibleIndex) {
  TuiTab* tab = ParentInfo()->GetTab(ATabVisibleIndex);
  TRect r;
  tab->GetFullRect(r);
  TuiCanvas* c = Canvas();
  if (!tab->IsFocused() && (tab->IsPressed() || tab->Selected() || tab->IsActive())) {
    Draw3DFrame(r, true);
    InflateRect(&r, -2, -2);
  } else if (tab->IsHotTracked() || tab->IsFocused()) {
    c->GetCanvasPen()->SetColor(clBtnHighlight);
    c->Polyline({{r.left, r.bottom - 2}, {r.left, r.top}, {r.right - 2, r.top}});
    c->GetCanvasPen()->SetColor(clBtnShadow);
    c->Polyline({{r.left, r.bottom - 1}, {r.right - 1, r.bottom - 1}, {r.right - 1, r.top}});
    InflateRect(&r, -1, -1);
  }
  c->FillRectWithColor(r, GetTabColor(ATabVisibleIndex));
  InflateRect(&r, 1, 1);
  DrawTabFocusRect(ATabVisibleIndex, r);
}

bool TuiPCFlatButtonsPainter::HasSeparatorAfter(Integer ATabVisibleIndex) {
  const TuiPCPainterParentInfo* info = ParentInfo();
  TuiTabs* tabs = ParentControl()->Tabs();
  TuiTab* tab = info->GetTab(ATabVisibleIndex);
  if (!info->Rotate()) {
    return ATabVisibleIndex + 1 < tabs->VisibleCount() &&
           info->GetTab(ATabVisibleIndex + 1)->Row == tab->Row;
  }
  // Turned captions stack the rows side by side: a separator stands between a tab and the tab of the next
  // row that starts where it starts.
  if (info->RowCount() <= 1 || tab->Row >= info->RowCount() - 1) return false;
  const bool vertical = RowsVertical();
  for (Integer i = 0; i < tabs->VisibleCount(); ++i) {
    TuiTab* other = info->GetTab(i);
    if (other->Row == tab->Row + 1 && (vertical ? other->Top == tab->Top : other->Left == tab->Left)) return true;
  }
  return false;
}

TRect TuiPCFlatButtonsPainter::SeparatorGap(Integer ATabVisibleIndex) {
  const TuiPCPainterParentInfo* info = ParentInfo();
  TRect r;
  info->GetTab(ATabVisibleIndex)->GetFullRect(r);
  const bool topToBottom = info->Options().Contains(pcoTopToBottomText);
  if (!ParentControl()->IsVerticalText()) {
    if (!RowsVertical() && info->Rotate() && topToBottom) return TRect{r.left - kFlatButtonsGap, r.top, r.left, r.bottom};
    return TRect{r.right, r.top, r.right + kFlatButtonsGap, r.bottom};
  }
  if (RowsVertical() && !info->Rotate() && !topToBottom) return TRect{r.left, r.top - kFlatButtonsGap, r.right, r.top};
  return TRect{r.left, r.bottom, r.right, r.bottom + kFlatButtonsGap};
}

void TuiPCFlatButtonsPainter::DrawTab(Integer ATabVisibleIndex) {
  TuiPCButtonedPainter::DrawTab(ATabVisibleIndex);
  if (!HasSeparatorAfter(ATabVisibleIndex)) return;
  const TRect gap = SeparatorGap(ATabVisibleIndex);
  TuiCanvas* c = Canvas();
  if (!RectVisible(c->GetDCHandle(), &gap)) return;
  constexpr Integer kIndent = (kFlatButtonsGap - 2) / 2;
  TRect shadow, light;
  if (!ParentControl()->IsVerticalText()) {
    const Integer x = gap.left + kIndent;
    shadow = TRect{x, gap.top + 1, x + 1, gap.bottom - 1};
    light = TRect{x + 1, gap.top + 1, x + 2, gap.bottom - 1};
  } else {
    const Integer y = gap.top + kIndent;
    shadow = TRect{gap.left + 1, y, gap.right - 1, y + 1};
    light = TRect{gap.left + 1, y + 1, gap.right - 1, y + 2};
  }
  c->FillRectWithColor(shadow, clBtnShadow);
  c->FillRectWithColor(light, clBtnHighlight);
  SaveClipRegion();
  c->ExcludeClipRect(shadow);
  c->ExcludeClipRect(light);
  c->FillRectWithColor(gap, ParentInfo()->Color());
  RestoreClipRegion();
  c->ExcludeClipRect(gap);
}
