// The ultra-flat painter (one-pixel frames lit in the highlight colour when hot, faces mixed from the
// system colours) and the Office11 painter (colours of the Office11 colour set, gradient backgrounds,
// bitmap expand buttons, themed or standard scroll-bar parts).
#include "controls/foundation/uiLookAndFeelPainters.h"
#include "controls/foundation/uxOffice11.h"
#include "controls/foundation/uxThemeManager.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/win/gdi/WinRect.h"

namespace {

TRect Inflated(TRect R, Integer D) {
  InflateRect(&R, D, D);
  return R;
}
bool IsEmpty(const TRect& R) { return R.right <= R.left || R.bottom <= R.top; }

void FrameRect1(TuiCanvas* ACanvas, const TRect& R, TColor AColor) {
  ACanvas->DrawBorderLines(R, AColor, 1, uiAllBorders);
}

TColor O11(TuiOffice11Color ARole) { return Office11Color(ARole); }

}  // namespace

// ---- Ultra-flat ---------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiUltraFlatLookAndFeelPainter) {}

TuiLookAndFeelStyle TuiUltraFlatLookAndFeelPainter::GetLookAndFeelStyle() const { return lfsUltraFlat; }
Integer TuiUltraFlatLookAndFeelPainter::GetBorderWidth() const { return 1; }
Integer TuiUltraFlatLookAndFeelPainter::GetButtonBorderWidth(TuiButtonState AState) const {
  return AState == uibsDefault ? 2 : 1;
}

TColor TuiUltraFlatLookAndFeelPainter::GetButtonFaceColor(TuiButtonState AState) const {
  switch (AState) {
    case uibsHot: return GetUltraFlatHotButtonColor();
    case uibsPressed: return GetUltraFlatPressedButtonColor();
    default: return clBtnFace;
  }
}

TRect TuiUltraFlatLookAndFeelPainter::GetButtonFocusBounds(TuiCanvas*, const TRect& R) const {
  const TRect focus = Inflated(R, -3);
  return IsEmpty(focus) ? R : focus;
}

TRect TuiUltraFlatLookAndFeelPainter::GetButtonGroupBorders(Integer AButtonCount, Integer AButtonIndex) const {
  TRect result{1, 2, 1, 2};
  if (AButtonIndex == 0) result.left = 2;
  if (AButtonCount > 1 && AButtonIndex == AButtonCount - 1) result.right = 2;
  return result;
}

TColor TuiUltraFlatLookAndFeelPainter::GetButtonSymbolColor(TuiButtonState AState, TColor ADefaultColor) const {
  if (AState == uibsPressed) return clHighlightText;
  return TuiCustomLookAndFeelPainter::GetButtonSymbolColor(AState, ADefaultColor);
}

TuiButtonState TuiUltraFlatLookAndFeelPainter::GetButtonSymbolState(TuiButtonState) const { return uibsNormal; }
Integer TuiUltraFlatLookAndFeelPainter::GetButtonTextOffset() const { return 2; }
Integer TuiUltraFlatLookAndFeelPainter::GetButtonPressedShift() const { return 0; }
Integer TuiUltraFlatLookAndFeelPainter::GetExpandButtonSize() const { return 11; }
bool TuiUltraFlatLookAndFeelPainter::HasHotTrackedButtons() const { return true; }

TuiBorders TuiUltraFlatLookAndFeelPainter::GetHeaderBorders(TuiBorders ANeighbors) const {
  TuiBorders result = uiAllBorders;
  if (ANeighbors.Contains(bLeft)) result.Exclude(bLeft);
  if (ANeighbors.Contains(bTop)) result.Exclude(bTop);
  return result;
}

Integer TuiUltraFlatLookAndFeelPainter::GetHeaderBorderWidth() const { return 1; }
TPoint TuiUltraFlatLookAndFeelPainter::GetSortMarkSize() const { return TPoint{7, 8}; }
TPoint TuiUltraFlatLookAndFeelPainter::GetSmallButtonSize() const { return TPoint{12, 12}; }
TPoint TuiUltraFlatLookAndFeelPainter::GetCloseButtonSize() const { return TPoint{16, 15}; }
TuiBorders TuiUltraFlatLookAndFeelPainter::GetFooterBorders() const { return TuiBorders{bRight, bBottom}; }
Integer TuiUltraFlatLookAndFeelPainter::GetFooterBorderWidth() const { return 1; }
Integer TuiUltraFlatLookAndFeelPainter::GetFooterCellBorderWidth() const { return 1; }
Integer TuiUltraFlatLookAndFeelPainter::GetFooterCellOffset() const { return 2; }
Integer TuiUltraFlatLookAndFeelPainter::GetTabBorderWidth() const { return 1; }
TColor TuiUltraFlatLookAndFeelPainter::WindowTextColorB() const { return 0x800000; }
TColor TuiUltraFlatLookAndFeelPainter::FrameColor() const { return clBtnShadow; }

TColor TuiUltraFlatLookAndFeelPainter::GetButtonBorderColor(TuiButtonState AState) const {
  return AState == uibsNormal ? clBtnShadow : clHighlight;
}
TColor TuiUltraFlatLookAndFeelPainter::GetSeparatorColor() const { return clBtnShadow; }
TColor TuiUltraFlatLookAndFeelPainter::GetSymbolLineColor() const { return clBtnText; }
TColor TuiUltraFlatLookAndFeelPainter::GetHotBorderColor() const { return clHighlight; }

void TuiUltraFlatLookAndFeelPainter::PaintBorder(TuiCanvas* ACanvas, const TRect& R) const {
  FrameRect1(ACanvas, R, clBtnShadow);
}

void TuiUltraFlatLookAndFeelPainter::PaintButtonBorder(TuiCanvas* ACanvas, const TRect& R,
                                                       TuiButtonState AState) const {
  switch (AState) {
    case uibsDefault:
      FrameRect1(ACanvas, R, clWindowFrame);
      FrameRect1(ACanvas, Inflated(R, -1), clWindowFrame);
      break;
    case uibsNormal: FrameRect1(ACanvas, R, clBtnText); break;
    case uibsDisabled: FrameRect1(ACanvas, R, clBtnShadow); break;
    default: FrameRect1(ACanvas, R, clHighlight); break;
  }
}

void TuiUltraFlatLookAndFeelPainter::PaintGroupButton(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState,
                                                      Integer AButtonCount, Integer AButtonIndex,
                                                      TColor ABorderColor) const {
  const bool first = AButtonIndex == 0, last = AButtonIndex == AButtonCount - 1;
  TRect r = R;
  ++r.top;
  --r.bottom;
  if (first) ++r.left;
  if (last) --r.right;
  if (AState == uibsNormal || AState == uibsDisabled) {
    FrameRect1(ACanvas, r, ABorderColor);
    r = Inflated(r, -1);
  } else {
    if (!first) {
      ACanvas->FillRectWithColor(TRect{r.left, r.top, r.left + 1, r.bottom}, GetHotBorderColor());
      ++r.left;
    }
    if (!last) {
      ACanvas->FillRectWithColor(TRect{r.right - 1, r.top, r.right, r.bottom}, GetHotBorderColor());
      --r.right;
    }
  }
  ACanvas->FillRectWithColor(r, GetButtonFaceColor(AState));
}

void TuiUltraFlatLookAndFeelPainter::PaintButtonGroupBorder(TuiCanvas* ACanvas, const TRect& R, bool AEmphasised,
                                                            bool AHot) const {
  FrameRect1(ACanvas, R, AEmphasised ? clBtnText : AHot ? GetHotBorderColor() : clBtnShadow);
}

void TuiUltraFlatLookAndFeelPainter::PaintExpandButton(TuiCanvas* ACanvas, const TRect& R, bool AExpanded,
                                                       TColor AColor) const {
  FrameRect1(ACanvas, R, clBtnShadow);
  const TRect inside = Inflated(R, -1);
  ACanvas->FillRectWithColor(inside, AColor == clDefault ? clBtnFace : AColor);
  PaintExpandCross(ACanvas, inside, clBtnText, AExpanded);
  ACanvas->ExcludeClipRect(R);
}

void TuiUltraFlatLookAndFeelPainter::PaintCheckBorder(TuiCanvas* ACanvas, const TRect& R,
                                                      TuiButtonState AState) const {
  FrameRect1(ACanvas, R, clBtnText);
  FrameRect1(ACanvas, Inflated(R, -1), GetCheckBackgroundColor(AState));
}

void TuiUltraFlatLookAndFeelPainter::PaintHeaderBorder(TuiCanvas* ACanvas, const TRect& R, TuiBorders,
                                                       TuiBorders ABorders) const {
  TuiBorders lines{bRight, bBottom};
  if (ABorders.Contains(bLeft)) lines.Include(bLeft);
  if (ABorders.Contains(bTop)) lines.Include(bTop);
  ACanvas->DrawBorderLines(R, clBtnText, 1, lines);
}

void TuiUltraFlatLookAndFeelPainter::PaintHeaderSimple(TuiCanvas* ACanvas, const TRect& R, const TRect& ATextRect,
                                                       TuiBorders ANeighbors, TuiBorders ABorders,
                                                       TuiButtonState AState, TAlignment AHAlign,
                                                       TuiVertAlignment AVAlign, bool AMultiLine, bool AEndEllipsis,
                                                       const String& AText, TFont* AFont, TColor ATextColor,
                                                       TColor ABkColor,
                                                       const TuiDrawBackgroundEvent& AOnBackground) const {
  PaintContent(ACanvas, R, Inflated(ATextRect, -1), AState, AHAlign, AVAlign, AMultiLine, AEndEllipsis, AText, AFont,
               ATextColor, ABkColor, AOnBackground, false);
  PaintHeaderBorder(ACanvas, Inflated(R, -1), ANeighbors, ABorders);
}

void TuiUltraFlatLookAndFeelPainter::PaintHeaderSectionBorder(TuiCanvas* ACanvas, const TRect& R,
                                                              TuiBorders ABorders, TuiButtonState AState) const {
  const TColor color = AState == uibsDisabled ? clBtnShadow : clBlack;
  ACanvas->DrawTwoColorFrame(R, color, color, ABorders);
}

void TuiUltraFlatLookAndFeelPainter::PaintHeaderSectionContent(TuiCanvas* ACanvas, const TRect& R,
                                                               const TRect& ATextRect, TuiButtonState AState,
                                                               TAlignment AHAlign, TuiVertAlignment AVAlign,
                                                               bool AMultiLine, bool AEndEllipsis,
                                                               const String& AText, TFont* AFont, TColor ATextColor,
                                                               TColor ABkColor) const {
  if (AState == uibsHot || AState == uibsPressed || AState == uibsDisabled) ABkColor = GetButtonFaceColor(AState);
  TuiCustomLookAndFeelPainter::PaintHeaderSectionContent(ACanvas, R, ATextRect, AState, AHAlign, AVAlign, AMultiLine,
                                                         AEndEllipsis, AText, AFont, ATextColor, ABkColor);
}

void TuiUltraFlatLookAndFeelPainter::PaintSortMark(TuiCanvas* ACanvas, const TRect& R, bool AAscending) const {
  PaintSortMarkTriangle(ACanvas, R, AAscending, clBtnShadow, clBtnShadow);
}

void TuiUltraFlatLookAndFeelPainter::PaintFooterBorder(TuiCanvas* ACanvas, const TRect& R) const {
  ACanvas->DrawBorderLines(R, GetFooterSeparatorColor(), 1, TuiBorders{bRight, bBottom});
}

void TuiUltraFlatLookAndFeelPainter::PaintFooterCellBorder(TuiCanvas* ACanvas, const TRect& R) const {
  FrameRect1(ACanvas, R, GetFooterSeparatorColor());
}

void TuiUltraFlatLookAndFeelPainter::PaintDropDownButton(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState,
                                                         bool AIsActive) const {
  FrameRect1(ACanvas, R, GetButtonBorderColor(AState));
  const TRect inside = Inflated(R, -1);
  ACanvas->FillRectWithColor(inside, GetButtonFaceColor(AState));
  PaintDropDownArrow(ACanvas, inside, AIsActive ? TColor(0xFF0000) : GetButtonSymbolColor(AState, clDefault));
}

void TuiUltraFlatLookAndFeelPainter::PaintTabBorder(TuiCanvas* ACanvas, const TRect& R, TuiBorder ABorder,
                                                    TuiBorders, bool AVertical) const {
  TRect r = R;
  const bool away = AVertical ? ABorder == bBottom : ABorder == bRight;
  if (away && !AVertical) r.bottom -= GetTabBorderWidth();
  ACanvas->FillRectWithColor(r, away ? GetSymbolLineColor() : GetSeparatorColor());
}

void TuiUltraFlatLookAndFeelPainter::PaintTabsRoot(TuiCanvas* ACanvas, const TRect& R, TuiBorders ABorders,
                                                   bool) const {
  ACanvas->DrawTwoColorFrame(R, GetSeparatorColor(), GetSeparatorColor(), ABorders, GetTabBorderWidth());
}

void TuiUltraFlatLookAndFeelPainter::PaintScrollBarPart(TuiCanvas* ACanvas, bool AHorizontal, const TRect& R,
                                                        TuiScrollBarPart APart, TuiButtonState AState) const {
  if (IsEmpty(R) || (APart == sbpThumbnail && AState == uibsDisabled)) return;
  switch (APart) {
    case sbpLineUp:
    case sbpLineDown:
    case sbpThumbnail:
      PaintButton(ACanvas, R, "", AState, true, clDefault, clDefault);
      if (APart != sbpThumbnail) {
        const TuiArrowDirection direction =
            AHorizontal ? (APart == sbpLineUp ? adLeft : adRight) : (APart == sbpLineUp ? adUp : adDown);
        PaintArrowGlyph(ACanvas, R, AState, direction);
      }
      break;
    case sbpPageUp:
    case sbpPageDown: {
      TBrush* brush = ACanvas->GetCanvasBrush();
      brush->SetBitmap(k58::foundation::ScrollBarHatchBitmap(AState == uibsPressed));
      ACanvas->FillRectangle(R, nullptr);
      brush->SetBitmap(nullptr);
      brush->SetStyle(bsSolid);
      break;
    }
    default: break;
  }
}

void TuiUltraFlatLookAndFeelPainter::PaintSplitterButton(TuiCanvas* ACanvas, const TRect& R,
                                                         TuiButtonState AState) const {
  PaintButton(ACanvas, R, "", AState, AState == uibsHot || AState == uibsPressed, clDefault, clDefault);
}

void TuiUltraFlatLookAndFeelPainter::PaintSplitterBorder(TuiCanvas* ACanvas, const TRect& R, bool AHorizontal,
                                                         const TuiBackgroundParams& ABackground) const {
  ACanvas->DrawFramedArea(R, ABackground, AHorizontal ? TuiBorders{bTop, bBottom} : TuiBorders{bLeft, bRight},
                          FrameColor(), 1);
}

// ---- Office11 -----------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiOffice11LookAndFeelPainter) {}

TuiLookAndFeelStyle TuiOffice11LookAndFeelPainter::GetLookAndFeelStyle() const { return lfsOffice11; }

TColor TuiOffice11LookAndFeelPainter::GetButtonFaceColor(TuiButtonState AState) const {
  switch (AState) {
    case uibsHot: return O11(o11HotLight);
    case uibsPressed: return O11(o11PressedLight);
    case uibsDisabled: return clBtnFace;
    default: return O11(o11Background);
  }
}

TColor TuiOffice11LookAndFeelPainter::GetButtonSymbolColor(TuiButtonState AState, TColor) const {
  if (AState == uibsPressed && !IsOffice11SchemeInUse()) return clHighlightText;
  if (AState == uibsDisabled) return O11(o11DisabledText);
  return O11(o11SymbolText);
}

Integer TuiOffice11LookAndFeelPainter::GetSmallExpandButtonSize() const { return 11; }
bool TuiOffice11LookAndFeelPainter::IsExpandButtonPaintedFirst() const { return false; }

TColor TuiOffice11LookAndFeelPainter::GetCheckBackgroundColor(TuiButtonState AState) const {
  if (AState == uibsHot || AState == uibsPressed || AState == uibsDisabled) return GetButtonFaceColor(AState);
  return TuiCustomLookAndFeelPainter::GetCheckBackgroundColor(AState);
}

TuiBorders TuiOffice11LookAndFeelPainter::GetHeaderBorders(TuiBorders) const { return uiAllBorders; }
bool TuiOffice11LookAndFeelPainter::SupportsHeaderHotTracking() const { return true; }
TColor TuiOffice11LookAndFeelPainter::GetFooterSeparatorColor() const { return GetHeaderDarkLineColor(); }
TColor TuiOffice11LookAndFeelPainter::FrameColor() const { return O11(o11PanelBorder); }

TColor TuiOffice11LookAndFeelPainter::ShadowColorB() const { return O11(o11DarkShade); }
TColor TuiOffice11LookAndFeelPainter::ShadowColorC() const { return O11(o11GroupText); }
TColor TuiOffice11LookAndFeelPainter::HighlightColorA() const { return O11(o11Highlight); }
TColor TuiOffice11LookAndFeelPainter::FaceColorA() const { return FaceColorD(); }
TColor TuiOffice11LookAndFeelPainter::FaceTextColorB() const { return FaceTextColorD(); }
TColor TuiOffice11LookAndFeelPainter::FaceColorB() const { return O11(o11ContentBackground); }
TColor TuiOffice11LookAndFeelPainter::ShadowColorE() const { return O11(o11DarkShade); }
TColor TuiOffice11LookAndFeelPainter::FaceColorC() const { return O11(o11BarLight); }
TColor TuiOffice11LookAndFeelPainter::FaceColorD() const { return O11(o11Background); }
TColor TuiOffice11LookAndFeelPainter::ShadowColorF() const { return ShadowColorE(); }
TColor TuiOffice11LookAndFeelPainter::PanelBackgroundColor() const { return O11(o11Background); }
TColor TuiOffice11LookAndFeelPainter::SelectionColorA() const { return O11(o11Marker); }
TColor TuiOffice11LookAndFeelPainter::SelectionTextColorA() const { return clWindowText; }
TColor TuiOffice11LookAndFeelPainter::FaceColorG() const { return O11(o11PanelLight); }
TColor TuiOffice11LookAndFeelPainter::FaceColorI() const { return O11(o11BackgroundLight); }
TColor TuiOffice11LookAndFeelPainter::FaceColorJ() const { return FaceColorI(); }
TColor TuiOffice11LookAndFeelPainter::FaceColorK() const { return O11(o11Background); }
TColor TuiOffice11LookAndFeelPainter::WhiteColorC() const { return FaceColorG(); }

TColor TuiOffice11LookAndFeelPainter::GetButtonBorderColor(TuiButtonState AState) const {
  return AState == uibsNormal ? GetHeaderDarkLineColor() : O11(o11SelectionFrame);
}
TColor TuiOffice11LookAndFeelPainter::GetSeparatorColor() const { return GetHeaderDarkLineColor(); }
TColor TuiOffice11LookAndFeelPainter::GetHotBorderColor() const { return O11(o11SelectionFrame); }
TColor TuiOffice11LookAndFeelPainter::GetBarDarkColor() const { return O11(o11BarDark); }
TColor TuiOffice11LookAndFeelPainter::GetHeaderDarkLineColor() const { return O11(o11HeaderDark); }
TColor TuiOffice11LookAndFeelPainter::GetHeaderLightLineColor() const { return O11(o11HeaderLight); }
TColor TuiOffice11LookAndFeelPainter::GetBarMidColor() const { return MixColors(O11(o11BarLight), O11(o11BarDark), 50); }

void TuiOffice11LookAndFeelPainter::PaintContent(TuiCanvas* ACanvas, const TRect& R, const TRect& ATextRect,
                                                 TuiButtonState AState, TAlignment AHAlign, TuiVertAlignment AVAlign,
                                                 bool AMultiLine, bool AEndEllipsis, const String& AText,
                                                 TFont* AFont, TColor ATextColor, TColor,
                                                 const TuiDrawBackgroundEvent& AOnBackground,
                                                 bool ASingleColor) const {
  const bool hot = AState == uibsHot;
  if (!AOnBackground || !AOnBackground(ACanvas, R)) {
    const TColor light = hot ? O11(o11BarLight) : GetBarMidColor();
    const TColor dark = hot ? light : GetBarDarkColor();
    if (ASingleColor) {
      ACanvas->FillRectWithColor(R, light);
    } else {
      ACanvas->FillRectWithColor(TRect{R.left, R.top, R.right, R.bottom - 3}, light);
      FillGradientRect(ACanvas->GetDCHandle(), TRect{R.left, R.bottom - 4, R.right, R.bottom}, light, dark, false);
    }
  }
  TuiCustomLookAndFeelPainter::PaintContent(ACanvas, R, ATextRect, AState, AHAlign, AVAlign, AMultiLine, AEndEllipsis,
                                            AText, AFont, ATextColor, clNone,
                                            [](TuiCanvas*, const TRect&) { return true; }, ASingleColor);
  if (hot)
    FillGradientRect(ACanvas->GetDCHandle(), TRect{R.left - 1, R.bottom - 2, R.right, R.bottom + 1},
                     O11(o11HotLight), O11(o11HotDark), false);
}

void TuiOffice11LookAndFeelPainter::PaintBorder(TuiCanvas* ACanvas, const TRect& R) const {
  FrameRect1(ACanvas, R, O11(o11ControlBorder));
}

void TuiOffice11LookAndFeelPainter::PaintButtonBorder(TuiCanvas* ACanvas, const TRect& R,
                                                      TuiButtonState AState) const {
  switch (AState) {
    case uibsDefault: TuiUltraFlatLookAndFeelPainter::PaintButtonBorder(ACanvas, R, AState); break;
    case uibsNormal: FrameRect1(ACanvas, R, clBtnText); break;
    case uibsDisabled: FrameRect1(ACanvas, R, O11(o11DisabledText)); break;
    default: FrameRect1(ACanvas, R, O11(o11SelectionFrame)); break;
  }
}

void TuiOffice11LookAndFeelPainter::PaintExpandButton(TuiCanvas* ACanvas, const TRect& R, bool AExpanded,
                                                      TColor) const {
  TBitmap* source = Office11ExpandButtonBitmap(AExpanded);
  if (source == nullptr) return;
  // The corners take the colour of what lies under each of them, so the rounded look blends in.
  TBitmap bitmap;
  bitmap.Assign(source);
  const Integer w = bitmap.Width(), h = bitmap.Height();
  TCanvas* canvas = bitmap.Canvas();
  canvas->SetPixels(0, 0, MixColors(0xBFAE9E, ACanvas->GetPixel(R.left, R.top), 25));
  canvas->SetPixels(w - 1, 0, MixColors(0x5F462E, ACanvas->GetPixel(R.left + w - 1, R.top), 25));
  canvas->SetPixels(0, h - 1, MixColors(0x5F462E, ACanvas->GetPixel(R.left, R.top + h - 1), 25));
  canvas->SetPixels(w - 1, h - 1, MixColors(0x5F462E, ACanvas->GetPixel(R.left + w - 1, R.top + h - 1), 25));
  ACanvas->DrawGraphic(R.left, R.top, &bitmap);
}

void TuiOffice11LookAndFeelPainter::PaintSmallExpandButton(TuiCanvas* ACanvas, const TRect& R, bool AExpanded,
                                                           TColor, TColor) const {
  PaintExpandButton(ACanvas, R, AExpanded, clDefault);
}

void TuiOffice11LookAndFeelPainter::PaintHeader(TuiCanvas* ACanvas, const TRect& R, const TRect& ATextRect,
                                                TuiBorders ANeighbors, TuiBorders ABorders, TuiButtonState AState,
                                                TAlignment AHAlign, TuiVertAlignment AVAlign, bool AMultiLine,
                                                bool AEndEllipsis, const String& AText, TFont* AFont,
                                                TColor ATextColor, TColor ABkColor, const TuiDrawBackgroundEvent&,
                                                bool AIsLast) const {
  TuiUltraFlatLookAndFeelPainter::PaintHeader(ACanvas, R, ATextRect, ANeighbors, ABorders, AState, AHAlign, AVAlign,
                                              AMultiLine, AEndEllipsis, AText, AFont, ATextColor, ABkColor,
                                              TuiDrawBackgroundEvent(), AIsLast);
}

void TuiOffice11LookAndFeelPainter::PaintHeaderBorder(TuiCanvas* ACanvas, const TRect& R, TuiBorders ANeighbors,
                                                      TuiBorders ABorders) const {
  const TColor mid = GetBarMidColor(), barDark = GetBarDarkColor();
  const TColor dark = GetHeaderDarkLineColor(), light = GetHeaderLightLineColor();
  auto column = [&](Integer x, Integer from, Integer to, TColor c) {
    ACanvas->FillRectWithColor(TRect{x, from, x + 1, to}, c);
  };
  if (ABorders.Contains(bTop)) ACanvas->FillRectWithColor(TRect{R.left, R.top, R.right, R.top + 1}, mid);
  if (ABorders.Contains(bBottom)) ACanvas->FillRectWithColor(TRect{R.left, R.bottom - 1, R.right, R.bottom}, dark);
  // The columns first, then the corner pixels over them.
  if (ABorders.Contains(bLeft)) {
    if (ANeighbors.Contains(bLeft)) {
      column(R.left, R.top + 2, R.bottom - 3, light);
      ACanvas->SetPixel(R.left, R.top + 2, mid);
      ACanvas->SetPixel(R.left, R.bottom - 3, MixColors(mid, barDark, 25));
    } else {
      column(R.left, R.top + 1, R.bottom - 2, light);
    }
    ACanvas->SetPixel(R.left, R.top + 1, mid);
    ACanvas->SetPixel(R.left, R.bottom - 2, barDark);
  }
  if (ABorders.Contains(bRight)) {
    const Integer x = R.right - 1;
    if (ANeighbors.Contains(bRight)) {
      column(x, R.top + 2, R.bottom - 3, dark);
      ACanvas->SetPixel(x, R.top + 1, mid);
      ACanvas->SetPixel(x, R.top + 2, mid);
      ACanvas->SetPixel(x, R.bottom - 3, MixColors(mid, barDark, 25));
      ACanvas->SetPixel(x, R.bottom - 2, barDark);
    } else {
      column(x, R.top + 1, R.bottom - 2, dark);
      ACanvas->SetPixel(x, R.top, MixColors(mid, dark, 50));
      ACanvas->SetPixel(x, R.bottom - 2, MixColors(barDark, dark, 50));
    }
  }
}

void TuiOffice11LookAndFeelPainter::PaintHeaderSection(TuiCanvas* ACanvas, const TRect& R, const TRect& ATextRect,
                                                       TuiBorders ANeighbors, TuiBorders ABorders,
                                                       TuiButtonState AState, TAlignment AHAlign,
                                                       TuiVertAlignment AVAlign, bool AMultiLine, bool AEndEllipsis,
                                                       const String& AText, TFont* AFont, TColor ATextColor,
                                                       TColor ABkColor) const {
  TuiUltraFlatLookAndFeelPainter::PaintHeaderSection(ACanvas, R, ATextRect, ANeighbors, ABorders, AState, AHAlign,
                                                     AVAlign, AMultiLine, AEndEllipsis, AText, AFont, ATextColor,
                                                     ABkColor);
  if (AState == uibsPressed) InvertHeaderArea(ACanvas, R);
}

void TuiOffice11LookAndFeelPainter::PaintSortMark(TuiCanvas* ACanvas, const TRect& R, bool AAscending) const {
  PaintSortMarkTriangle(ACanvas, R, AAscending, GetHeaderLightLineColor(), GetHeaderDarkLineColor());
}

void TuiOffice11LookAndFeelPainter::PaintScrollBarPart(TuiCanvas* ACanvas, bool AHorizontal, const TRect& R,
                                                       TuiScrollBarPart APart, TuiButtonState AState) const {
  if (AreThemesUsableFor(ThemedObjectMask(totScrollBar)))
    PainterClass<TuiWinXPLookAndFeelPainter>()->PaintScrollBarPart(ACanvas, AHorizontal, R, APart, AState);
  else
    PainterClass<TuiStandardLookAndFeelPainter>()->PaintScrollBarPart(ACanvas, AHorizontal, R, APart, AState);
}

void TuiOffice11LookAndFeelPainter::PaintHeaderWithArrows(TuiCanvas* ACanvas, const TRect& R, const String& AText,
                                                          TuiBorders, const TuiHeaderParams& AParams,
                                                          Integer AArrowMargin, TuiHeaderArrows AArrows,
                                                          const TuiDrawBackgroundEvent& AOnBackground) const {
  const TRect r = Inflated(R, -1);
  if (!AOnBackground || !AOnBackground(ACanvas, r)) ACanvas->FillRectWithColor(r, AParams.Color);
  if (!AText.empty()) {
    ACanvas->GetCanvasBrush()->SetStyle(bsClear);
    if (AParams.Font != nullptr) ACanvas->SetCanvasFont(AParams.Font);
    ACanvas->GetCanvasFont()->SetColor(AParams.TextColor);
    ACanvas->DrawCaptionText(AText, r, ctfAlignHCenter | ctfAlignVCenter | ctfSingleLine, true);
    ACanvas->GetCanvasBrush()->SetStyle(bsSolid);
  }
  PaintHeaderArrows(ACanvas, r, GetBorderWidth(), AArrowMargin, AArrows);
}

void TuiOffice11LookAndFeelPainter::PaintFrame(TuiCanvas* ACanvas, const TRect& R) const {
  FrameRect1(ACanvas, R, FrameColor());
}

void TuiOffice11LookAndFeelPainter::PaintSplitterButton(TuiCanvas* ACanvas, const TRect& R,
                                                        TuiButtonState AState) const {
  PainterClass<TuiWinXPLookAndFeelPainter>()->PaintSplitterButton(ACanvas, R, AState);
}
