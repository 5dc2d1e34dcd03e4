// The standard painter (classic three-dimensional look with two-pixel bevels) and the flat painter (the
// same elements with one-pixel bevels).
#include "controls/foundation/uiLookAndFeelPainters.h"

#include "platform/classes/ClassBuilder.h"
#include "platform/win/gdi/WinRect.h"

namespace {

TRect Inflated(TRect R, Integer D) {
  InflateRect(&R, D, D);
  return R;
}
bool IsEmpty(const TRect& R) { return R.right <= R.left || R.bottom <= R.top; }

void Frame(TuiCanvas* ACanvas, TRect& R, TColor ALeftTop, TColor ARightBottom) {
  ACanvas->DrawTwoColorFrame(R, ALeftTop, ARightBottom);
  R = Inflated(R, -1);
}

// The header border both looks share: a raised inner edge whose corner pixels blend into neighbours.
void PaintClassicHeaderBorder(TuiCanvas* ACanvas, const TRect& R, TuiBorders ANeighbors, TuiBorders ABorders) {
  ACanvas->DrawEdge3D(R, false, false, ABorders);
  if (ANeighbors.Contains(bLeft)) {
    ACanvas->SetPixel(R.left, R.top + 1, clBtnFace);
    ACanvas->SetPixel(R.left, R.bottom - 2, clBtnFace);
  }
  if (ANeighbors.Contains(bRight)) {
    ACanvas->SetPixel(R.right - 1, R.top, clBtnHighlight);
    ACanvas->SetPixel(R.right - 1, R.top + 1, clBtnFace);
    ACanvas->SetPixel(R.right - 1, R.bottom - 2, clBtnFace);
  }
}

void PaintClassicDropDownButton(const TuiCustomLookAndFeelPainter* APainter, TuiCanvas* ACanvas, const TRect& R,
                                TuiButtonState AState, bool AIsActive) {
  ACanvas->DrawEdge3D(R, AState == uibsPressed, AState == uibsPressed);
  const TRect inside = Inflated(R, -1);
  ACanvas->FillRectWithColor(inside, clBtnFace);
  APainter->PaintDropDownArrow(ACanvas, inside, AIsActive ? TColor(0xFF0000) : clBtnText);
}

void PaintClassicButtonMark(const TuiCustomLookAndFeelPainter* APainter, TuiCanvas* ACanvas, TRect R,
                            TuiButtonState AState) {
  --R.right;
  --R.bottom;
  if (AState == uibsPressed) OffsetRect(&R, 1, 1);
  APainter->TuiCustomLookAndFeelPainter::PaintButtonMark(ACanvas, R, AState);
}

void PaintClassicTabBorder(TuiCanvas* ACanvas, TRect R, TuiBorder ABorder, TuiBorders ABorders, bool AVertical) {
  TColor color = clBtnHighlight;
  if (AVertical) {
    if (ABorder == bLeft) {
      R.top += ABorders.Contains(bTop) ? 2 : 1;
      R.bottom -= ABorders.Contains(bBottom) ? 2 : 1;
      ACanvas->SetPixel(R.left + 1, R.top - 1, clBtnHighlight);
      ACanvas->SetPixel(R.left + 1, R.bottom, clBtnHighlight);
    } else if ((ABorder == bTop || ABorder == bBottom) && ABorders.Contains(bLeft)) {
      ++R.left;
    }
    if (ABorder == bBottom) color = clBtnShadow;
  } else {
    if (ABorder == bLeft || ABorder == bRight) {
      if (ABorders.Contains(bTop)) R.top += 2;
      if (ABorders.Contains(bBottom)) --R.bottom;
    } else if (ABorder == bTop) {
      ++R.left;
      --R.right;
      ACanvas->SetPixel(R.left - 1, R.top + 1, clBtnHighlight);
      ACanvas->SetPixel(R.right, R.top + 1, clBtnHighlight);
    }
    if (ABorder == bRight) color = clBtnShadow;
  }
  ACanvas->FillRectWithColor(R, color);
}

void PaintHatch(TuiCanvas* ACanvas, const TRect& R, bool APressed) {
  TBrush* brush = ACanvas->GetCanvasBrush();
  brush->SetBitmap(k58::foundation::ScrollBarHatchBitmap(APressed));
  ACanvas->FillRectangle(R, nullptr);
  brush->SetBitmap(nullptr);
  brush->SetStyle(bsSolid);
}

TuiArrowDirection ScrollArrowDirection(bool AHorizontal, TuiScrollBarPart APart) {
  if (AHorizontal) return APart == sbpLineUp ? adLeft : adRight;
  return APart == sbpLineUp ? adUp : adDown;
}

// A header with arrows whose arrow sides get a black frame line.
TRect FrameArrowSides(TuiCanvas* ACanvas, TRect R, TuiHeaderArrows AArrows) {
  TuiBorders sides;
  if (AArrows & uihaLeft) sides.Include(bLeft);
  if (AArrows & uihaRight) sides.Include(bRight);
  ACanvas->DrawBorderLines(R, clBlack, 1, sides);
  if (sides.Contains(bLeft)) ++R.left;
  if (sides.Contains(bRight)) --R.right;
  return R;
}

void PaintSplitterLines(TuiCanvas* ACanvas, TRect R, bool AHorizontal, const TColor* AColors, Integer ALines,
                        const TuiBackgroundParams& ABackground) {
  // AColors: pairs (top or left, bottom or right) from the outside in.
  for (Integer i = 0; i < ALines; ++i) {
    const TColor first = AColors[2 * i], second = AColors[2 * i + 1];
    if (AHorizontal) {
      ACanvas->FillRectWithColor(TRect{R.left, R.top, R.right, R.top + 1}, first);
      ACanvas->FillRectWithColor(TRect{R.left, R.bottom - 1, R.right, R.bottom}, second);
      ++R.top;
      --R.bottom;
    } else {
      ACanvas->FillRectWithColor(TRect{R.left, R.top, R.left + 1, R.bottom}, first);
      ACanvas->FillRectWithColor(TRect{R.right - 1, R.top, R.right, R.bottom}, second);
      ++R.left;
      --R.right;
    }
  }
  ACanvas->DrawFramedArea(R, ABackground, TuiBorders{}, clDefault, 0);
}

}  // namespace

// ---- Standard -----------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiStandardLookAndFeelPainter) {}

TuiLookAndFeelStyle TuiStandardLookAndFeelPainter::GetLookAndFeelStyle() const { return lfsStandard; }
Integer TuiStandardLookAndFeelPainter::GetBorderWidth() const { return 2; }
Integer TuiStandardLookAndFeelPainter::GetButtonBorderWidth(TuiButtonState AState) const {
  return AState == uibsDefault ? 3 : 2;
}
Integer TuiStandardLookAndFeelPainter::GetButtonTextOffset() const { return 1; }
Integer TuiStandardLookAndFeelPainter::GetButtonPressedShift() const { return 1; }
Integer TuiStandardLookAndFeelPainter::GetExpandButtonSize() const { return 12; }
bool TuiStandardLookAndFeelPainter::HasHotTrackedButtons() const { return false; }
Integer TuiStandardLookAndFeelPainter::GetHeaderBorderWidth() const { return 1; }
Integer TuiStandardLookAndFeelPainter::GetHeaderSectionBorderWidth(TuiButtonState AState) const {
  return AState == uibsPressed ? 1 : 2;
}
TPoint TuiStandardLookAndFeelPainter::GetSortMarkSize() const { return TPoint{8, 7}; }
Integer TuiStandardLookAndFeelPainter::GetFooterBorderWidth() const { return 1; }
Integer TuiStandardLookAndFeelPainter::GetFooterCellBorderWidth() const { return 1; }
Integer TuiStandardLookAndFeelPainter::GetFooterCellOffset() const { return 1; }
Integer TuiStandardLookAndFeelPainter::GetTabBorderWidth() const { return 1; }
TColor TuiStandardLookAndFeelPainter::InfoColor() const { return clWindow; }

void TuiStandardLookAndFeelPainter::PaintBorder(TuiCanvas* ACanvas, const TRect& R) const {
  TRect r = R;
  Frame(ACanvas, r, clBtnShadow, clBtnHighlight);
  Frame(ACanvas, r, cl3DDkShadow, cl3DLight);
}

void TuiStandardLookAndFeelPainter::PaintButtonBorder(TuiCanvas* ACanvas, const TRect& R,
                                                      TuiButtonState AState) const {
  TRect r = R;
  if (AState == uibsPressed) {
    Frame(ACanvas, r, clBlack, clBlack);
    Frame(ACanvas, r, clBtnShadow, clBtnShadow);
    return;
  }
  if (AState == uibsDefault) Frame(ACanvas, r, clBlack, clBlack);
  Frame(ACanvas, r, clBtnHighlight, cl3DDkShadow);
  Frame(ACanvas, r, cl3DLight, clBtnShadow);
}

void TuiStandardLookAndFeelPainter::PaintExpandButton(TuiCanvas* ACanvas, const TRect& R, bool AExpanded,
                                                      TColor AColor) const {
  ACanvas->DrawEdge3D(R, false, false, TuiBorders{bLeft, bTop});
  ACanvas->DrawEdge3D(R, false, true, TuiBorders{bRight, bBottom});
  TRect inside = Inflated(R, -1);
  ACanvas->DrawEdge3D(inside, false, false, TuiBorders{bRight, bBottom});
  --inside.right;
  --inside.bottom;
  ACanvas->FillRectWithColor(inside, AColor == clDefault ? clBtnFace : AColor);
  PaintExpandCross(ACanvas, inside, clBtnText, AExpanded);
  ACanvas->ExcludeClipRect(R);
}

void TuiStandardLookAndFeelPainter::PaintGroupExpandButton(TuiCanvas* ACanvas, const TRect& R, bool AExpanded,
                                                           TuiButtonState AState) const {
  PainterClass<TuiFlatLookAndFeelPainter>()->PaintGroupExpandButton(ACanvas, R, AExpanded, AState);
}

void TuiStandardLookAndFeelPainter::PaintCheckBorder(TuiCanvas* ACanvas, const TRect& R, TuiButtonState) const {
  ACanvas->DrawEdge3D(R, true, false);
  ACanvas->DrawEdge3D(Inflated(R, -1), true, true);
}

void TuiStandardLookAndFeelPainter::PaintHeaderBorder(TuiCanvas* ACanvas, const TRect& R, TuiBorders ANeighbors,
                                                      TuiBorders ABorders) const {
  PaintClassicHeaderBorder(ACanvas, R, ANeighbors, ABorders);
}

void TuiStandardLookAndFeelPainter::PaintHeaderSectionBorder(TuiCanvas* ACanvas, const TRect& R, TuiBorders ABorders,
                                                             TuiButtonState AState) const {
  if (AState == uibsPressed) {
    ACanvas->DrawTwoColorFrame(R, clBtnShadow, clBtnShadow, ABorders);
    return;
  }
  ACanvas->DrawTwoColorFrame(R, clBtnHighlight, cl3DDkShadow, ABorders);
  ACanvas->DrawTwoColorFrame(Inflated(R, -1), cl3DLight, clBtnShadow, ABorders);
}

void TuiStandardLookAndFeelPainter::PaintSortMark(TuiCanvas* ACanvas, const TRect& R, bool AAscending) const {
  PaintSortMarkTriangle(ACanvas, R, AAscending, clBtnHighlight, clBtnShadow);
}

void TuiStandardLookAndFeelPainter::PaintFooterBorder(TuiCanvas* ACanvas, const TRect& R) const {
  ACanvas->DrawEdge3D(R, false, false);
}

void TuiStandardLookAndFeelPainter::PaintFooterCellBorder(TuiCanvas* ACanvas, const TRect& R) const {
  ACanvas->DrawEdge3D(R, true, true);
}

void TuiStandardLookAndFeelPainter::PaintDropDownButton(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState,
                                                        bool AIsActive) const {
  PaintClassicDropDownButton(this, ACanvas, R, AState, AIsActive);
}

void TuiStandardLookAndFeelPainter::PaintButtonMark(TuiCanvas* ACanvas, TRect R, TuiButtonState AState) const {
  PaintClassicButtonMark(this, ACanvas, R, AState);
}

void TuiStandardLookAndFeelPainter::PaintTabsRoot(TuiCanvas* ACanvas, const TRect& R, TuiBorders ABorders,
                                                  bool) const {
  ACanvas->DrawEdge3D(R, false, false, ABorders);
}

void TuiStandardLookAndFeelPainter::PaintTabBorder(TuiCanvas* ACanvas, const TRect& R, TuiBorder ABorder,
                                                   TuiBorders ABorders, bool AVertical) const {
  PaintClassicTabBorder(ACanvas, R, ABorder, ABorders, AVertical);
}

void TuiStandardLookAndFeelPainter::PaintScrollBarPart(TuiCanvas* ACanvas, bool AHorizontal, const TRect& R,
                                                       TuiScrollBarPart APart, TuiButtonState AState) const {
  if (IsEmpty(R) || (APart == sbpThumbnail && AState == uibsDisabled)) return;
  if (AState == uibsHot) AState = uibsNormal;
  const bool pressed = AState == uibsPressed;
  switch (APart) {
    case sbpLineUp:
    case sbpLineDown: {
      static constexpr UINT kArrows[] = {DFCS_SCROLLUP, DFCS_SCROLLDOWN, DFCS_SCROLLLEFT, DFCS_SCROLLRIGHT};
      UINT state = kArrows[ScrollArrowDirection(AHorizontal, APart)];
      if (AState == uibsDisabled) state |= DFCS_INACTIVE;
      if (pressed) state |= DFCS_FLAT;
      TRect glyph = R;
      if (pressed) OffsetRect(&glyph, 1, 1);
      DrawFrameControl(ACanvas->GetDCHandle(), &glyph, DFC_SCROLL, state);
      TRect r = R;
      if (pressed) {
        Frame(ACanvas, r, clBtnShadow, clBtnShadow);
        Frame(ACanvas, r, clBtnFace, clBtnFace);
      } else {
        Frame(ACanvas, r, clBtnFace, cl3DDkShadow);
        Frame(ACanvas, r, clBtnHighlight, clBtnShadow);
      }
      break;
    }
    case sbpThumbnail: {
      TRect r = R;
      Frame(ACanvas, r, clBtnFace, cl3DDkShadow);
      Frame(ACanvas, r, clBtnHighlight, clBtnShadow);
      ACanvas->FillRectWithColor(Inflated(R, -GetButtonBorderWidth(uibsNormal)), clBtnFace);
      break;
    }
    case sbpPageUp:
    case sbpPageDown: PaintHatch(ACanvas, R, pressed); break;
    default: break;
  }
}

void TuiStandardLookAndFeelPainter::PaintHeaderWithArrows(TuiCanvas* ACanvas, const TRect& R, const String& AText,
                                                          TuiBorders ANeighbors, const TuiHeaderParams& AParams,
                                                          Integer AArrowMargin, TuiHeaderArrows AArrows,
                                                          const TuiDrawBackgroundEvent& AOnBackground) const {
  TuiCustomLookAndFeelPainter::PaintHeaderWithArrows(ACanvas, FrameArrowSides(ACanvas, R, AArrows), AText, ANeighbors,
                                                     AParams, AArrowMargin, AArrows, AOnBackground);
}

void TuiStandardLookAndFeelPainter::PaintSplitterBorder(TuiCanvas* ACanvas, const TRect& R, bool AHorizontal,
                                                        const TuiBackgroundParams& ABackground) const {
  static const TColor kLines[] = {clBtnFace, cl3DDkShadow, clBtnHighlight, clBtnShadow};
  PaintSplitterLines(ACanvas, R, AHorizontal, kLines, 2, ABackground);
}

// ---- Flat ---------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiFlatLookAndFeelPainter) {}

TuiLookAndFeelStyle TuiFlatLookAndFeelPainter::GetLookAndFeelStyle() const { return lfsFlat; }
Integer TuiFlatLookAndFeelPainter::GetBorderWidth() const { return 1; }
Integer TuiFlatLookAndFeelPainter::GetButtonBorderWidth(TuiButtonState AState) const {
  return AState == uibsDefault ? 2 : 1;
}
Integer TuiFlatLookAndFeelPainter::GetButtonTextOffset() const { return 1; }
Integer TuiFlatLookAndFeelPainter::GetButtonPressedShift() const { return 1; }
Integer TuiFlatLookAndFeelPainter::GetExpandButtonSize() const { return 11; }
bool TuiFlatLookAndFeelPainter::HasHotTrackedButtons() const { return false; }
Integer TuiFlatLookAndFeelPainter::GetHeaderBorderWidth() const { return 1; }
TPoint TuiFlatLookAndFeelPainter::GetSortMarkSize() const { return TPoint{8, 7}; }
Integer TuiFlatLookAndFeelPainter::GetFooterBorderWidth() const { return 1; }
Integer TuiFlatLookAndFeelPainter::GetFooterCellBorderWidth() const { return 1; }
Integer TuiFlatLookAndFeelPainter::GetFooterCellOffset() const { return 1; }
Integer TuiFlatLookAndFeelPainter::GetTabBorderWidth() const { return 1; }

void TuiFlatLookAndFeelPainter::PaintBorder(TuiCanvas* ACanvas, const TRect& R) const {
  ACanvas->DrawEdge3D(R, true, true);
}

void TuiFlatLookAndFeelPainter::PaintButtonBorder(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState) const {
  TRect r = R;
  if (AState == uibsPressed) {
    Frame(ACanvas, r, clBtnShadow, clBtnHighlight);
    return;
  }
  if (AState == uibsDefault) Frame(ACanvas, r, clBlack, clBlack);
  Frame(ACanvas, r, clBtnHighlight, clBtnShadow);
}

void TuiFlatLookAndFeelPainter::PaintExpandButton(TuiCanvas* ACanvas, const TRect& R, bool AExpanded,
                                                  TColor AColor) const {
  PaintButton(ACanvas, R, "", uibsNormal, true, AColor, clDefault);
  PaintExpandCross(ACanvas, Inflated(R, -1), clBtnText, AExpanded);
  ACanvas->ExcludeClipRect(R);
}

void TuiFlatLookAndFeelPainter::PaintCheckBorder(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState) const {
  ACanvas->DrawEdge3D(R, true, true);
  ACanvas->DrawBorderLines(Inflated(R, -1), GetCheckBackgroundColor(AState), 1, uiAllBorders);
}

void TuiFlatLookAndFeelPainter::PaintHeaderBorder(TuiCanvas* ACanvas, const TRect& R, TuiBorders ANeighbors,
                                                  TuiBorders ABorders) const {
  PaintClassicHeaderBorder(ACanvas, R, ANeighbors, ABorders);
}

void TuiFlatLookAndFeelPainter::PaintHeaderSectionBorder(TuiCanvas* ACanvas, const TRect& R, TuiBorders ABorders,
                                                         TuiButtonState AState) const {
  if (AState == uibsPressed)
    ACanvas->DrawTwoColorFrame(R, clBtnShadow, clBtnHighlight, ABorders);
  else
    ACanvas->DrawTwoColorFrame(R, clBtnHighlight, clBtnShadow, ABorders);
}

void TuiFlatLookAndFeelPainter::PaintSortMark(TuiCanvas* ACanvas, const TRect& R, bool AAscending) const {
  PaintSortMarkTriangle(ACanvas, R, AAscending, clBtnHighlight, clBtnShadow);
}

void TuiFlatLookAndFeelPainter::PaintFooterBorder(TuiCanvas* ACanvas, const TRect& R) const {
  ACanvas->DrawEdge3D(R, false, false);
}

void TuiFlatLookAndFeelPainter::PaintFooterCellBorder(TuiCanvas* ACanvas, const TRect& R) const {
  ACanvas->DrawEdge3D(R, true, true);
}

void TuiFlatLookAndFeelPainter::PaintDropDownButton(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState,
                                                    bool AIsActive) const {
  PaintClassicDropDownButton(this, ACanvas, R, AState, AIsActive);
}

void TuiFlatLookAndFeelPainter::PaintButtonMark(TuiCanvas* ACanvas, TRect R, TuiButtonState AState) const {
  PaintClassicButtonMark(this, ACanvas, R, AState);
}

void TuiFlatLookAndFeelPainter::PaintTabsRoot(TuiCanvas* ACanvas, const TRect& R, TuiBorders ABorders, bool) const {
  ACanvas->DrawEdge3D(R, false, false, ABorders);
}

void TuiFlatLookAndFeelPainter::PaintTabBorder(TuiCanvas* ACanvas, const TRect& R, TuiBorder ABorder,
                                               TuiBorders ABorders, bool AVertical) const {
  PaintClassicTabBorder(ACanvas, R, ABorder, ABorders, AVertical);
}

void TuiFlatLookAndFeelPainter::PaintScrollBarPart(TuiCanvas* ACanvas, bool AHorizontal, const TRect& R,
                                                   TuiScrollBarPart APart, TuiButtonState AState) const {
  if (IsEmpty(R) || (APart == sbpThumbnail && AState == uibsDisabled)) return;
  if (AState == uibsHot) AState = uibsNormal;
  switch (APart) {
    case sbpLineUp:
    case sbpLineDown:
    case sbpThumbnail: {
      PaintButton(ACanvas, R, "", AState, true, clDefault, clDefault);
      if (APart != sbpThumbnail)
        PaintArrowGlyph(ACanvas, Inflated(R, -GetButtonBorderWidth(uibsNormal)), AState,
                        ScrollArrowDirection(AHorizontal, APart));
      break;
    }
    case sbpPageUp:
    case sbpPageDown: PaintHatch(ACanvas, R, AState == uibsPressed); break;
    default: break;
  }
}

void TuiFlatLookAndFeelPainter::PaintHeaderWithArrows(TuiCanvas* ACanvas, const TRect& R, const String& AText,
                                                      TuiBorders ANeighbors, const TuiHeaderParams& AParams,
                                                      Integer AArrowMargin, TuiHeaderArrows AArrows,
                                                      const TuiDrawBackgroundEvent& AOnBackground) const {
  TuiCustomLookAndFeelPainter::PaintHeaderWithArrows(ACanvas, FrameArrowSides(ACanvas, R, AArrows), AText, ANeighbors,
                                                     AParams, AArrowMargin, AArrows, AOnBackground);
}

void TuiFlatLookAndFeelPainter::PaintSplitterBorder(TuiCanvas* ACanvas, const TRect& R, bool AHorizontal,
                                                    const TuiBackgroundParams& ABackground) const {
  static const TColor kLines[] = {clBtnHighlight, clBtnShadow};
  PaintSplitterLines(ACanvas, R, AHorizontal, kLines, 1, ABackground);
}
