// The base painter: the neutral answers of every operation and the look-independent drawing routines
// (arrow triangles, buttons with captions, content with aligned text, check marks, expand crosses, the
// close cross, the four-way mark, header arrows and the sort mark).
#include "controls/foundation/uiLookAndFeelPainters.h"

#include "platform/classes/ClassBuilder.h"
#include "platform/rtl/RtlMath.h"
#include "platform/win/gdi/WinRect.h"

namespace {

TRect Inflated(TRect R, Integer D) {
  InflateRect(&R, D, D);
  return R;
}
bool IsEmpty(const TRect& R) { return R.right <= R.left || R.bottom <= R.top; }
Integer Width(const TRect& R) { return R.right - R.left; }
Integer Height(const TRect& R) { return R.bottom - R.top; }

// A line with its last pixel.
void Line(TuiCanvas* ACanvas, Integer X1, Integer Y1, Integer X2, Integer Y2, TColor AColor) {
  ACanvas->GetCanvasPen()->SetColor(AColor);
  ACanvas->MoveTo(X1, Y1);
  ACanvas->LineTo(X2, Y2);
  ACanvas->SetPixel(X2, Y2, AColor);
}

}  // namespace

TuiLookAndFeelKind LookAndFeelStyleToKind(TuiLookAndFeelStyle AStyle) {
  switch (AStyle) {
    case lfsFlat: return lfFlat;
    case lfsUltraFlat: return lfUltraFlat;
    case lfsOffice11: return lfOffice11;
    default: return lfStandard;
  }
}

TuiLookAndFeelPainterClass PainterClassOf(TClass AClass) {
  if (AClass == nullptr || !AClass->InheritsFrom(TuiCustomLookAndFeelPainter::StaticClass())) return nullptr;
  return static_cast<TuiLookAndFeelPainterClass>(ClassObjectOf(AClass));
}

K58_IMPLEMENT_CLASS(TuiCustomLookAndFeelPainter) {}

// ---- Helpers ------------------------------------------------------------------------------------------

void TuiCustomLookAndFeelPainter::FillTriangle(TuiCanvas* ACanvas, const TPoint& P0, const TPoint& P1,
                                               const TPoint& P2, TColor AColor) {
  ACanvas->GetCanvasBrush()->SetStyle(bsSolid);
  ACanvas->SetBrushColor(AColor);
  ACanvas->GetCanvasPen()->SetColor(AColor);
  ACanvas->Polygon({P0, P1, P2});
}

TuiCanvasTextFlags TuiCustomLookAndFeelPainter::TextFlags(TAlignment AHAlign, TuiVertAlignment AVAlign,
                                                          bool AMultiLine, bool AEndEllipsis) {
  static constexpr TuiCanvasTextFlags kHorizontal[] = {ctfAlignLeft, ctfAlignRight, ctfAlignHCenter};
  static constexpr TuiCanvasTextFlags kVertical[] = {ctfAlignTop, ctfAlignBottom, ctfAlignVCenter};
  TuiCanvasTextFlags flags = kHorizontal[AHAlign] | kVertical[AVAlign];
  flags |= AMultiLine ? ctfWordBreak : ctfSingleLine;
  if (AEndEllipsis) flags |= ctfEndEllipsis;
  return flags;
}

// ---- General and content ------------------------------------------------------------------------------

void TuiCustomLookAndFeelPainter::PaintDropDownArrow(TuiCanvas* ACanvas, const TRect& R, TColor AColor) const {
  Integer x = Width(R) / 2;
  if (x % 2 == 0) ++x;
  const Integer y = x / 2 + 1;
  const TPoint p0{(R.left + R.right - x) / 2, MulDiv(R.top + R.bottom - y, 1, 2)};
  FillTriangle(ACanvas, p0, TPoint{p0.x + x - 1, p0.y}, TPoint{p0.x + x / 2, p0.y + y - 1}, AColor);
}

void TuiCustomLookAndFeelPainter::PaintContent(TuiCanvas* ACanvas, const TRect& R, const TRect& ATextRect,
                                               TuiButtonState, TAlignment AHAlign, TuiVertAlignment AVAlign,
                                               bool AMultiLine, bool AEndEllipsis, const String& AText, TFont* AFont,
                                               TColor ATextColor, TColor ABkColor,
                                               const TuiDrawBackgroundEvent& AOnBackground, bool) const {
  if (!AOnBackground || !AOnBackground(ACanvas, R)) ACanvas->FillRectWithColor(R, ABkColor);
  if (AText.empty()) return;
  ACanvas->GetCanvasBrush()->SetStyle(bsClear);
  if (AFont != nullptr) ACanvas->SetCanvasFont(AFont);
  ACanvas->GetCanvasFont()->SetColor(ATextColor);
  ACanvas->DrawCaptionText(AText, ATextRect, TextFlags(AHAlign, AVAlign, AMultiLine, AEndEllipsis), true);
  ACanvas->GetCanvasBrush()->SetStyle(bsSolid);
}

TRect TuiCustomLookAndFeelPainter::GetFooterCellContentBounds(const TRect& R) const {
  return Inflated(R, -GetFooterCellBorderWidth());
}

TRect TuiCustomLookAndFeelPainter::GetFooterCellTextBounds(const TRect& R) const {
  return Inflated(GetFooterCellContentBounds(R), -2);
}

TuiLookAndFeelStyle TuiCustomLookAndFeelPainter::GetLookAndFeelStyle() const { return lfsStandard; }

// ---- Colour queries -----------------------------------------------------------------------------------

TColor TuiCustomLookAndFeelPainter::BlackColorA() const { return clBlack; }
TColor TuiCustomLookAndFeelPainter::BlackColorB() const { return clBlack; }
TColor TuiCustomLookAndFeelPainter::BlackColorC() const { return clBlack; }
TColor TuiCustomLookAndFeelPainter::GrayColor() const { return 0xCFD0CF; }
TColor TuiCustomLookAndFeelPainter::WhiteColorA() const { return clWhite; }
TColor TuiCustomLookAndFeelPainter::ShadowColorA() const { return clBtnShadow; }
TColor TuiCustomLookAndFeelPainter::SkyBlueColor() const { return 0xF0CAA6; }
TColor TuiCustomLookAndFeelPainter::NavyColor() const { return 0x800000; }
TColor TuiCustomLookAndFeelPainter::BlueColorA() const { return 0xFF0000; }
TColor TuiCustomLookAndFeelPainter::ShadowColorB() const { return clBtnShadow; }
TColor TuiCustomLookAndFeelPainter::WindowTextColorA() const { return clWindowText; }
TColor TuiCustomLookAndFeelPainter::WindowTextColorB() const { return clWindowText; }
TColor TuiCustomLookAndFeelPainter::WindowTextColorC() const { return clWindowText; }
TColor TuiCustomLookAndFeelPainter::WindowColorA() const { return clWindow; }
TColor TuiCustomLookAndFeelPainter::WindowColorB() const { return clWindow; }
TColor TuiCustomLookAndFeelPainter::WindowColorC() const { return clWindow; }
TColor TuiCustomLookAndFeelPainter::WindowTextColorD() const { return clWindowText; }
TColor TuiCustomLookAndFeelPainter::WindowColorD() const { return clWindow; }
TColor TuiCustomLookAndFeelPainter::WindowTextColorE() const { return clWindowText; }
TColor TuiCustomLookAndFeelPainter::ShadowColorC() const { return clBtnShadow; }
TColor TuiCustomLookAndFeelPainter::HighlightColorA() const { return clBtnHighlight; }
TColor TuiCustomLookAndFeelPainter::FaceTextColorA() const { return clBtnText; }
TColor TuiCustomLookAndFeelPainter::FaceColorA() const { return clBtnFace; }
TColor TuiCustomLookAndFeelPainter::FaceTextColorB() const { return clBtnText; }
TColor TuiCustomLookAndFeelPainter::ShadowColorD() const { return clBtnShadow; }
TColor TuiCustomLookAndFeelPainter::FaceColorB() const { return clBtnFace; }
TColor TuiCustomLookAndFeelPainter::FaceTextColorC() const { return clBtnText; }
TColor TuiCustomLookAndFeelPainter::ShadowColorE() const { return clBtnShadow; }
TColor TuiCustomLookAndFeelPainter::FaceColorC() const { return clBtnFace; }
TColor TuiCustomLookAndFeelPainter::FaceColorD() const { return clBtnFace; }
TColor TuiCustomLookAndFeelPainter::FaceTextColorD() const { return clBtnText; }
TColor TuiCustomLookAndFeelPainter::ShadowColorF() const { return clBtnShadow; }
TColor TuiCustomLookAndFeelPainter::FaceColorE() const { return clBtnFace; }
TColor TuiCustomLookAndFeelPainter::FaceColorF() const { return clBtnFace; }
TColor TuiCustomLookAndFeelPainter::FaceTextColorE() const { return clBtnText; }
TColor TuiCustomLookAndFeelPainter::BlueColorB() const { return 0xFF0000; }
TColor TuiCustomLookAndFeelPainter::LinkedShadowColor() const { return ShadowColorD(); }
TColor TuiCustomLookAndFeelPainter::PanelBackgroundColor() const { return clBtnFace; }
TColor TuiCustomLookAndFeelPainter::SelectionColorA() const { return clHighlight; }
TColor TuiCustomLookAndFeelPainter::SelectionTextColorA() const { return clHighlightText; }
TColor TuiCustomLookAndFeelPainter::WindowColorE() const { return clWindow; }
TColor TuiCustomLookAndFeelPainter::WindowTextColorF() const { return clWindowText; }
TColor TuiCustomLookAndFeelPainter::FrameColor() const { return 0x0000FF; }
TColor TuiCustomLookAndFeelPainter::FaceColorG() const { return clBtnFace; }
TColor TuiCustomLookAndFeelPainter::InfoColor() const { return 0xD5FFFF; }
TColor TuiCustomLookAndFeelPainter::WindowTextColorG() const { return clWindowText; }
TColor TuiCustomLookAndFeelPainter::SelectionColorB() const { return clHighlight; }
TColor TuiCustomLookAndFeelPainter::SelectionTextColorB() const { return clHighlightText; }
TColor TuiCustomLookAndFeelPainter::FaceColorH() const { return clBtnFace; }
TColor TuiCustomLookAndFeelPainter::FaceColorI() const { return clBtnFace; }
TColor TuiCustomLookAndFeelPainter::FaceTextColorF() const { return clBtnText; }
TColor TuiCustomLookAndFeelPainter::FaceColorJ() const { return clBtnFace; }
TColor TuiCustomLookAndFeelPainter::WhiteColorB() const { return clWhite; }
TColor TuiCustomLookAndFeelPainter::BlackColorD() const { return clBlack; }
TColor TuiCustomLookAndFeelPainter::FaceColorK() const { return clBtnFace; }
TColor TuiCustomLookAndFeelPainter::FaceTextColorG() const { return clBtnText; }
TColor TuiCustomLookAndFeelPainter::WhiteColorC() const { return clWhite; }

// ---- Arrows -------------------------------------------------------------------------------------------

void TuiCustomLookAndFeelPainter::CalculateArrowPoints(TRect R, TPoint& P0, TPoint& P1, TPoint& P2,
                                                       TuiArrowDirection ADirection, bool AProportional) {
  if (AProportional) {
    const Integer d = Width(R) - Height(R);
    if (d > 0) {
      R.left += d / 2;
      R.right -= d / 2;
    } else {
      R.top += -d / 2;
      R.bottom -= -d / 2;
    }
  }
  Integer x, y;
  if (ADirection == adUp || ADirection == adDown) {
    x = (Width(R) - 1) / 2;
    if (x % 2 == 0) ++x;
    y = x / 2 + 1;
  } else {
    y = (Height(R) - 1) / 2;
    if (y % 2 == 0) ++y;
    x = y / 2 + 1;
  }
  const Integer l = R.left, t = R.top, rt = R.right, b = R.bottom;
  switch (ADirection) {
    case adUp:
      P0 = TPoint{(l + rt - 1) / 2, MulDiv(t + b - y, 1, 2)};
      P1 = TPoint{(l + rt - x) / 2, P0.y + y - 1};
      P2 = TPoint{P1.x + x - 1, P1.y};
      break;
    case adDown:
      P0 = TPoint{(l + rt - x) / 2, MulDiv(t + b - y, 1, 2)};
      P1 = TPoint{P0.x + x - 1, P0.y};
      P2 = TPoint{(l + rt - 1) / 2, P0.y + y - 1};
      break;
    case adLeft:
      P0 = TPoint{(l + rt - x) / 2, (t + b) / 2};
      P1 = TPoint{P0.x + x - 1, MulDiv(t + b - y, 1, 2)};
      P2 = TPoint{P1.x, P1.y + y - 1};
      break;
    case adRight:
      P0 = TPoint{(l + rt - x) / 2, MulDiv(t + b - y, 1, 2)};
      P1 = TPoint{P0.x + x - 1, (t + b) / 2};
      P2 = TPoint{P0.x, P0.y + y - 1};
      break;
  }
}

void TuiCustomLookAndFeelPainter::PaintArrowTriangle(TuiCanvas* ACanvas, const TRect& R, TuiArrowDirection ADirection,
                                                     TColor AColor, bool AProportional) const {
  TPoint p0, p1, p2;
  CalculateArrowPoints(R, p0, p1, p2, ADirection, AProportional);
  FillTriangle(ACanvas, p0, p1, p2, AColor);
}

void TuiCustomLookAndFeelPainter::PaintArrow(TuiCanvas* ACanvas, const TRect& R, TuiArrowDirection ADirection,
                                             TColor AColor) const {
  PaintArrowTriangle(ACanvas, R, ADirection, AColor, true);
}

void TuiCustomLookAndFeelPainter::PaintArrowButton(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState,
                                                   TuiArrowDirection ADirection, bool AIsButton) const {
  if (AIsButton)
    PaintButtonBackground(ACanvas, R, AState);
  else
    ACanvas->FillRectWithColor(R, GetButtonFaceColor(AState));
  PaintArrowTriangle(ACanvas, R, ADirection, GetButtonSymbolColor(AState), false);
}

void TuiCustomLookAndFeelPainter::PaintButtonBackground(TuiCanvas* ACanvas, const TRect& R,
                                                        TuiButtonState AState) const {
  ACanvas->FillRectWithColor(R, GetButtonFaceColor(AState));
  PaintButtonBorder(ACanvas, R, AState);
}

void TuiCustomLookAndFeelPainter::PaintArrowGlyph(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState,
                                                  TuiArrowDirection ADirection) const {
  TRect r = R;
  if (AState == uibsPressed) OffsetRect(&r, GetButtonPressedShift(), GetButtonPressedShift());
  if (AState == uibsDisabled) {
    TRect embossed = r;
    OffsetRect(&embossed, 1, 1);
    PaintArrowTriangle(ACanvas, embossed, ADirection, clBtnHighlight, true);
    PaintArrowTriangle(ACanvas, r, ADirection, clBtnShadow, true);
  } else {
    PaintArrowTriangle(ACanvas, r, ADirection, GetButtonSymbolColor(AState, clDefault), true);
  }
}

// ---- Borders and buttons ------------------------------------------------------------------------------

Integer TuiCustomLookAndFeelPainter::GetBorderWidth() const { return 0; }
void TuiCustomLookAndFeelPainter::PaintBorder(TuiCanvas*, const TRect&) const {}

TRect TuiCustomLookAndFeelPainter::AdjustGroupButtonBounds(const TRect& R, Integer, Integer) const { return R; }

Integer TuiCustomLookAndFeelPainter::GetButtonBorderWidth(TuiButtonState) const { return 0; }
TColor TuiCustomLookAndFeelPainter::GetButtonFaceColor(TuiButtonState) const { return clBtnFace; }

TRect TuiCustomLookAndFeelPainter::GetButtonFocusBounds(TuiCanvas*, const TRect& R) const {
  const TRect focus = Inflated(R, -4);
  return IsEmpty(focus) ? R : focus;
}

TRect TuiCustomLookAndFeelPainter::GetButtonGroupBorders(Integer, Integer) const {
  const Integer w = GetButtonBorderWidth(uibsNormal);
  return TRect{w, w, w, w};
}

Integer TuiCustomLookAndFeelPainter::GetButtonTextOffset() const { return 0; }
Integer TuiCustomLookAndFeelPainter::GetButtonPressedShift() const { return 0; }

TColor TuiCustomLookAndFeelPainter::GetButtonSymbolColor(TuiButtonState AState, TColor ADefaultColor) const {
  if (AState == uibsDisabled) return clBtnShadow;
  return ADefaultColor == clDefault ? clBtnText : ADefaultColor;
}

TuiButtonState TuiCustomLookAndFeelPainter::GetButtonSymbolState(TuiButtonState AState) const { return AState; }

void TuiCustomLookAndFeelPainter::PaintButton(TuiCanvas* ACanvas, TRect R, const String& ACaption,
                                              TuiButtonState AState, bool AWithBorder, TColor AFaceColor,
                                              TColor ATextColor) const {
  if (AWithBorder) {
    PaintButtonBorder(ACanvas, R, AState);
    InflateRect(&R, -GetButtonBorderWidth(AState), -GetButtonBorderWidth(AState));
  }
  ACanvas->FillRectWithColor(R, AFaceColor == clDefault ? GetButtonFaceColor(AState) : AFaceColor);
  ACanvas->GetCanvasFont()->SetColor(ATextColor == clDefault ? GetButtonSymbolColor(AState, clDefault) : ATextColor);
  ACanvas->GetCanvasBrush()->SetStyle(bsClear);
  if (Height(R) % 2 != 0) {
    --R.bottom;
    if (Height(R) < 18) --R.top;
  }
  if (AState == uibsPressed) OffsetRect(&R, GetButtonPressedShift(), GetButtonPressedShift());
  if (!ACaption.empty())
    ACanvas->DrawCaptionText(ACaption, R, ctfAlignHCenter | ctfAlignVCenter | ctfSingleLine | ctfShowPrefix,
                             AState != uibsDisabled);
  ACanvas->GetCanvasBrush()->SetStyle(bsSolid);
}

void TuiCustomLookAndFeelPainter::PaintGroupButton(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState, Integer,
                                                   Integer, TColor) const {
  PaintButton(ACanvas, R, "", AState, true, clDefault, clDefault);
}

void TuiCustomLookAndFeelPainter::PaintButtonBorder(TuiCanvas*, const TRect&, TuiButtonState) const {}
void TuiCustomLookAndFeelPainter::PaintButtonGroupBorder(TuiCanvas*, const TRect&, bool, bool) const {}

// ---- Expand buttons, check boxes, radio buttons -------------------------------------------------------

void TuiCustomLookAndFeelPainter::PaintExpandCross(TuiCanvas* ACanvas, const TRect& R, TColor AColor, bool AExpanded) {
  const Integer cx = GetRangeCenter(R.left, R.right), cy = GetRangeCenter(R.top, R.bottom);
  const Integer h = (Width(R) - 4) / 2;
  ACanvas->FillRectWithColor(TRect{cx - h, cy, cx + h + 1, cy + 1}, AColor);
  if (!AExpanded) ACanvas->FillRectWithColor(TRect{cx, cy - h, cx + 1, cy + h + 1}, AColor);
}

void TuiCustomLookAndFeelPainter::PaintExpandButton(TuiCanvas*, const TRect&, bool, TColor) const {}
bool TuiCustomLookAndFeelPainter::IsExpandButtonPaintedFirst() const { return true; }

void TuiCustomLookAndFeelPainter::PaintGroupExpandMark(TuiCanvas* ACanvas, const TRect& R, bool AExpanded,
                                                       TuiButtonState AState) const {
  // Two chevrons with arms of three pixels, one pixel apart, each two pixels thick.
  const TColor color = GetButtonSymbolColor(AState, clDefault);
  const Integer cx = (R.left + R.right) / 2;
  const Integer top = (R.top + R.bottom) / 2 - 4;
  for (Integer chevron = 0; chevron < 2; ++chevron) {
    for (Integer thickness = 0; thickness < 2; ++thickness) {
      const Integer row = top + chevron * 4 + thickness;
      // Pointing up: the centre at the top row; pointing down: at the bottom row.
      const Integer apex = AExpanded ? row : row + 3;
      const Integer ends = AExpanded ? row + 3 : row;
      Line(ACanvas, cx, apex, cx - 3, ends, color);
      Line(ACanvas, cx, apex, cx + 3, ends, color);
      ACanvas->SetPixel(cx, apex, color);
    }
  }
}

void TuiCustomLookAndFeelPainter::PaintGroupExpandButton(TuiCanvas* ACanvas, const TRect& R, bool AExpanded,
                                                         TuiButtonState AState) const {
  PaintButton(ACanvas, R, "", AState, true, clDefault, clDefault);
  PaintGroupExpandMark(ACanvas, R, AExpanded, AState);
}

void TuiCustomLookAndFeelPainter::PaintSmallExpandButton(TuiCanvas* ACanvas, const TRect& R, bool AExpanded,
                                                         TColor AFrameColor, TColor AFillColor) const {
  ACanvas->DrawBorderLines(R, AFrameColor, 1, uiAllBorders);
  if (AFillColor != clDefault) ACanvas->FillRectWithColor(Inflated(R, -1), AFillColor);
  PaintExpandCross(ACanvas, R, clBtnText, AExpanded);
}

Integer TuiCustomLookAndFeelPainter::GetExpandButtonSize() const { return 0; }
Integer TuiCustomLookAndFeelPainter::GetGroupExpandButtonSize() const { return 15; }
bool TuiCustomLookAndFeelPainter::HasHotTrackedButtons() const { return false; }

bool TuiCustomLookAndFeelPainter::IsPointOverExpandButton(const TRect& R, const TPoint& P) const {
  return PtInRect(&R, P) != FALSE;
}

Integer TuiCustomLookAndFeelPainter::GetSmallExpandButtonSize() const { return 9; }
Integer TuiCustomLookAndFeelPainter::GetCheckBorderWidth() const { return 2; }

TColor TuiCustomLookAndFeelPainter::GetCheckBackgroundColor(TuiButtonState AState) const {
  return AState == uibsPressed || AState == uibsDisabled ? clBtnFace : clWindow;
}

void TuiCustomLookAndFeelPainter::PaintCheckMark(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState,
                                                 bool AChecked, TColor ACheckColor) const {
  ACanvas->FillRectWithColor(R, GetCheckBackgroundColor(AState));
  if (!AChecked) return;
  const Integer w = Width(R) - 2, h = Height(R) - 4;
  const Integer cx = (R.left + R.right) / 2 - 1;
  ACanvas->GetCanvasPen()->SetColor(ACheckColor);
  for (Integer d = 0; d < 3; ++d) {
    const Integer y = (R.top + R.bottom + h) / 2 - 2 + d;
    ACanvas->MoveTo(cx - w / 2 + 1, y - h / 2);
    ACanvas->LineTo(cx, y);
    ACanvas->LineTo(cx + w / 2 + 2, y - h);
  }
}

void TuiCustomLookAndFeelPainter::PaintCheckBorder(TuiCanvas*, const TRect&, TuiButtonState) const {}

void TuiCustomLookAndFeelPainter::PaintCheckButton(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState,
                                                   bool AChecked) const {
  PaintCheckBorder(ACanvas, R, AState);
  PaintCheckMark(ACanvas, Inflated(R, -GetCheckBorderWidth()), AState, AChecked,
                 AState == uibsDisabled ? clGrayText : clBtnText);
}

void TuiCustomLookAndFeelPainter::PaintRadioButton(TuiCanvas* ACanvas, Integer X, Integer Y, TuiButtonState AState,
                                                   bool AChecked, bool AFocused, TColor ABackgroundColor,
                                                   bool AIsDesigning) const {
  SharedRadioButtonImages()->Draw(ACanvas, X, Y, ABackgroundColor, LookAndFeelStyleToKind(GetLookAndFeelStyle()),
                                  AState, AChecked, AFocused, AIsDesigning);
}

// ---- Headers ------------------------------------------------------------------------------------------

void TuiCustomLookAndFeelPainter::PaintHeader(TuiCanvas* ACanvas, const TRect& R, const TRect& ATextRect,
                                              TuiBorders ANeighbors, TuiBorders ABorders, TuiButtonState AState,
                                              TAlignment AHAlign, TuiVertAlignment AVAlign, bool AMultiLine,
                                              bool AEndEllipsis, const String& AText, TFont* AFont,
                                              TColor ATextColor, TColor ABkColor,
                                              const TuiDrawBackgroundEvent& AOnBackground, bool) const {
  PaintHeaderBorder(ACanvas, R, ANeighbors, ABorders);
  PaintContent(ACanvas, GetHeaderContentBounds(R, ABorders), ATextRect, AState, AHAlign, AVAlign, AMultiLine,
               AEndEllipsis, AText, AFont, ATextColor, ABkColor, AOnBackground, false);
}

void TuiCustomLookAndFeelPainter::PaintHeaderSimple(TuiCanvas* ACanvas, const TRect& R, const TRect& ATextRect,
                                                    TuiBorders ANeighbors, TuiBorders ABorders, TuiButtonState AState,
                                                    TAlignment AHAlign, TuiVertAlignment AVAlign, bool AMultiLine,
                                                    bool AEndEllipsis, const String& AText, TFont* AFont,
                                                    TColor ATextColor, TColor ABkColor,
                                                    const TuiDrawBackgroundEvent& AOnBackground) const {
  PaintHeader(ACanvas, R, ATextRect, ANeighbors, ABorders, AState, AHAlign, AVAlign, AMultiLine, AEndEllipsis, AText,
              AFont, ATextColor, ABkColor, AOnBackground, false);
}

void TuiCustomLookAndFeelPainter::PaintHeaderBorder(TuiCanvas*, const TRect&, TuiBorders, TuiBorders) const {}

void TuiCustomLookAndFeelPainter::InvertHeaderArea(TuiCanvas* ACanvas, const TRect& R) const {
  ACanvas->InvertRectangle(R);
}

void TuiCustomLookAndFeelPainter::PaintHeaderSection(TuiCanvas* ACanvas, const TRect& R, const TRect& ATextRect,
                                                     TuiBorders, TuiBorders ABorders, TuiButtonState AState,
                                                     TAlignment AHAlign, TuiVertAlignment AVAlign, bool AMultiLine,
                                                     bool AEndEllipsis, const String& AText, TFont* AFont,
                                                     TColor ATextColor, TColor ABkColor) const {
  PaintHeaderSectionBorder(ACanvas, R, ABorders, AState);
  PaintHeaderSectionContent(ACanvas, GetHeaderSectionContentBounds(R, AState), ATextRect, AState, AHAlign, AVAlign,
                            AMultiLine, AEndEllipsis, AText, AFont, ATextColor, ABkColor);
}

void TuiCustomLookAndFeelPainter::PaintHeaderSectionBorder(TuiCanvas*, const TRect&, TuiBorders,
                                                           TuiButtonState) const {}

void TuiCustomLookAndFeelPainter::PaintHeaderSectionContent(TuiCanvas* ACanvas, const TRect& R,
                                                            const TRect& ATextRect, TuiButtonState AState,
                                                            TAlignment AHAlign, TuiVertAlignment AVAlign,
                                                            bool AMultiLine, bool AEndEllipsis, const String& AText,
                                                            TFont* AFont, TColor ATextColor, TColor ABkColor) const {
  ACanvas->FillRectWithColor(R, ABkColor);
  PaintHeaderSectionText(ACanvas, GetHeaderSectionTextBounds(ATextRect, AState), AState, AHAlign, AVAlign,
                         AMultiLine, AEndEllipsis, AText, AFont, ATextColor);
}

void TuiCustomLookAndFeelPainter::PaintHeaderSectionText(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState,
                                                         TAlignment AHAlign, TuiVertAlignment AVAlign,
                                                         bool AMultiLine, bool AEndEllipsis, const String& AText,
                                                         TFont* AFont, TColor ATextColor) const {
  if (AText.empty()) return;
  ACanvas->GetCanvasBrush()->SetStyle(bsClear);
  if (AFont != nullptr) ACanvas->SetCanvasFont(AFont);
  ACanvas->GetCanvasFont()->SetColor(ATextColor);
  ACanvas->DrawCaptionText(AText, R, TextFlags(AHAlign, AVAlign, AMultiLine, AEndEllipsis), AState != uibsDisabled);
  ACanvas->GetCanvasBrush()->SetStyle(bsSolid);
}

void TuiCustomLookAndFeelPainter::PaintSortMark(TuiCanvas*, const TRect&, bool) const {}

void TuiCustomLookAndFeelPainter::PaintSortMarkTriangle(TuiCanvas* ACanvas, const TRect& R, bool AAscending,
                                                        TColor ALightColor, TColor ADarkColor) const {
  const TPoint size = GetSortMarkSize();
  if (size.x <= 0 || size.y <= 0) return;
  const Integer left = R.left + (Width(R) - size.x) / 2;
  const Integer top = R.top + (Height(R) - size.y) / 2;
  const Integer right = left + size.x - 1, bottom = top + size.y - 1;
  const Integer apexX = left + size.x / 2;
  if (AAscending) {
    Line(ACanvas, apexX, top, left, bottom, ADarkColor);
    Line(ACanvas, apexX, top, right, bottom, ALightColor);
    Line(ACanvas, left, bottom, right, bottom, ALightColor);
  } else {
    Line(ACanvas, apexX, bottom, left, top, ADarkColor);
    Line(ACanvas, apexX, bottom, right, top, ALightColor);
    Line(ACanvas, left, top, right, top, ADarkColor);
  }
}

TuiBorders TuiCustomLookAndFeelPainter::GetHeaderBorders(TuiBorders) const { return uiAllBorders; }
Integer TuiCustomLookAndFeelPainter::GetHeaderBorderWidth() const { return 0; }

TRect TuiCustomLookAndFeelPainter::GetHeaderOuterBounds(const TRect& R, TuiBorders ANeighbors,
                                                        TuiBorders ABorders) const {
  const TuiBorders grown = ABorders - GetHeaderBorders(ANeighbors);
  const Integer w = GetHeaderBorderWidth();
  TRect result = R;
  if (grown.Contains(bLeft)) result.left -= w;
  if (grown.Contains(bTop)) result.top -= w;
  if (grown.Contains(bRight)) result.right += w;
  if (grown.Contains(bBottom)) result.bottom += w;
  return result;
}

TRect TuiCustomLookAndFeelPainter::GetHeaderContentBounds(const TRect& R, TuiBorders ABorders) const {
  const Integer w = GetHeaderBorderWidth();
  TRect result = R;
  if (ABorders.Contains(bLeft)) result.left += w;
  if (ABorders.Contains(bTop)) result.top += w;
  if (ABorders.Contains(bRight)) result.right -= w;
  if (ABorders.Contains(bBottom)) result.bottom -= w;
  return result;
}

bool TuiCustomLookAndFeelPainter::HeaderStyleFlag() const { return true; }

Integer TuiCustomLookAndFeelPainter::GetHeaderHeight(Integer AFontHeight) const {
  return AFontHeight + 2 * GetHeaderBorderWidth() + 4;
}

Integer TuiCustomLookAndFeelPainter::GetHeaderSectionBorderWidth(TuiButtonState) const { return 1; }

TRect TuiCustomLookAndFeelPainter::GetHeaderSectionTextBounds(const TRect& R, TuiButtonState AState) const {
  TRect result = R;
  if (AState == uibsPressed) OffsetRect(&result, 1, 1);
  return result;
}

TRect TuiCustomLookAndFeelPainter::GetHeaderSectionContentBounds(const TRect& R, TuiButtonState AState) const {
  return Inflated(R, -GetHeaderSectionBorderWidth(AState));
}

Integer TuiCustomLookAndFeelPainter::GetHeaderWidth(TuiCanvas* ACanvas, TuiBorders ABorders, TFont* AFont,
                                                   const String& AText) const {
  if (AFont != nullptr) ACanvas->SetCanvasFont(AFont);
  Integer result = ACanvas->MeasureTextWidth(AText) + 4;
  if (ABorders.Contains(bLeft)) result += GetHeaderBorderWidth();
  if (ABorders.Contains(bRight)) result -= GetHeaderBorderWidth();
  return result;
}

bool TuiCustomLookAndFeelPainter::SupportsHeaderHotTracking() const { return false; }
TPoint TuiCustomLookAndFeelPainter::GetSortMarkAreaSize() const { return TPoint{16, GetSortMarkSize().y}; }
TPoint TuiCustomLookAndFeelPainter::GetSortMarkSize() const { return TPoint{0, 0}; }
TColor TuiCustomLookAndFeelPainter::HeaderColor() const { return clBtnFace; }
TColor TuiCustomLookAndFeelPainter::HeaderTextColor() const { return clBtnText; }

// ---- Footers ------------------------------------------------------------------------------------------

void TuiCustomLookAndFeelPainter::PaintFooterCell(TuiCanvas* ACanvas, const TRect& R, TAlignment AHAlign,
                                                  TuiVertAlignment AVAlign, bool AMultiLine, const String& AText,
                                                  TFont* AFont, TColor ATextColor, TColor ABkColor,
                                                  const TuiDrawBackgroundEvent& AOnBackground) const {
  PaintFooterCellBorder(ACanvas, R);
  PaintContent(ACanvas, GetFooterCellContentBounds(R), GetFooterCellTextBounds(R), uibsDefault, AHAlign, AVAlign,
               AMultiLine, false, AText, AFont, ATextColor, ABkColor, AOnBackground, true);
}

TuiBorders TuiCustomLookAndFeelPainter::GetFooterBorders() const { return uiAllBorders; }
Integer TuiCustomLookAndFeelPainter::GetFooterBorderWidth() const { return 0; }
Integer TuiCustomLookAndFeelPainter::GetFooterCellBorderWidth() const { return 0; }
Integer TuiCustomLookAndFeelPainter::GetFooterCellOffset() const { return 0; }
bool TuiCustomLookAndFeelPainter::FooterStyleFlag() const { return true; }
TColor TuiCustomLookAndFeelPainter::GetFooterSeparatorColor() const { return clBtnShadow; }
Integer TuiCustomLookAndFeelPainter::GetFooterSeparatorWidth() const { return 1; }
void TuiCustomLookAndFeelPainter::PaintFooterBorder(TuiCanvas*, const TRect&) const {}
void TuiCustomLookAndFeelPainter::PaintFooterCellBorder(TuiCanvas*, const TRect&) const {}

void TuiCustomLookAndFeelPainter::PaintFooterSeparator(TuiCanvas* ACanvas, const TRect& R) const {
  ACanvas->FillRectWithColor(R, GetFooterSeparatorColor());
}

// ---- Small buttons ------------------------------------------------------------------------------------

void TuiCustomLookAndFeelPainter::PaintSmallCheckButton(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState,
                                                        bool AChecked) const {
  PaintCheckButton(ACanvas, R, AState, AChecked);
}

void TuiCustomLookAndFeelPainter::PaintCloseCross(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState) const {
  Integer s = GetCloseButtonSize().x / 2;
  if (s % 2 == 0) --s;
  const Integer shift = GetButtonSymbolState(AState) == uibsPressed ? 1 : 0;
  ACanvas->GetCanvasPen()->SetColor(GetButtonSymbolColor(AState, clDefault));
  for (Integer k = 0; k < 2; ++k) {
    const Integer x0 = k + (R.left + R.right - s) / 2 + shift;
    const Integer y0 = (R.top + R.bottom - s) / 2 + shift;
    ACanvas->MoveTo(x0, y0);
    ACanvas->LineTo(x0 + s, y0 + s);
    ACanvas->MoveTo(x0, y0 + s - 1);
    ACanvas->LineTo(x0 + s, y0 - 1);
  }
}

void TuiCustomLookAndFeelPainter::PaintCloseButton(TuiCanvas* ACanvas, TRect R, TuiButtonState AState) const {
  PaintButtonBorder(ACanvas, R, AState);
  R = Inflated(R, -GetButtonBorderWidth(uibsNormal));
  ACanvas->FillRectWithColor(R, GetButtonFaceColor(AState));
  PaintCloseCross(ACanvas, R, AState);
}

void TuiCustomLookAndFeelPainter::PaintDropDownButton(TuiCanvas*, const TRect&, TuiButtonState, bool) const {}
TPoint TuiCustomLookAndFeelPainter::GetSmallCheckButtonSize() const { return TPoint{13, 13}; }
TPoint TuiCustomLookAndFeelPainter::GetCloseButtonSize() const { return TPoint{16, 14}; }
TPoint TuiCustomLookAndFeelPainter::GetDropDownButtonSize() const { return TPoint{15, 0}; }
bool TuiCustomLookAndFeelPainter::DropDownStyleFlag() const { return true; }
TPoint TuiCustomLookAndFeelPainter::GetButtonSizeA() const { return TPoint{16, 14}; }
TPoint TuiCustomLookAndFeelPainter::GetButtonSizeB() const { return TPoint{16, 14}; }
TPoint TuiCustomLookAndFeelPainter::GetSmallButtonSize() const { return TPoint{13, 13}; }
TPoint TuiCustomLookAndFeelPainter::GetButtonSizeC() const { return TPoint{16, 14}; }
TPoint TuiCustomLookAndFeelPainter::GetButtonSizeD() const { return TPoint{16, 14}; }

void TuiCustomLookAndFeelPainter::PaintMarkButton(TuiCanvas* ACanvas, TRect R, TuiButtonState AState) const {
  PaintButtonBorder(ACanvas, R, AState);
  R = Inflated(R, -GetButtonBorderWidth(uibsNormal));
  ACanvas->FillRectWithColor(R, GetButtonFaceColor(AState));
  PaintButtonMark(ACanvas, R, AState);
}

void TuiCustomLookAndFeelPainter::PaintButtonMark(TuiCanvas* ACanvas, TRect R, TuiButtonState AState) const {
  const bool disabled = AState == uibsDisabled;
  const TColor light = disabled ? clBtnHighlight : WindowTextColorB();
  const TColor dark = disabled ? clBtnShadow : WindowTextColorB();
  auto middleX = [&] { return R.left + Width(R) / 2 - 1; };
  auto middleY = [&] { return R.top + Height(R) / 2 - 1; };
  auto cross = [&](TColor AColor) {
    ACanvas->GetCanvasPen()->SetColor(AColor);
    ACanvas->MoveTo(R.left, middleY());
    ACanvas->LineTo(R.right - 1, middleY());
    ACanvas->MoveTo(middleX(), R.top);
    ACanvas->LineTo(middleX(), R.bottom - 1);
  };
  R = Inflated(R, -1);
  OffsetRect(&R, 1, 1);
  cross(light);
  ACanvas->SetPixel(R.left - 1, middleY(), light);
  ACanvas->SetPixel(middleX(), R.top - 1, light);
  OffsetRect(&R, -1, -1);
  cross(dark);
  ACanvas->SetPixel(R.right - 1, middleY(), light);
  ACanvas->SetPixel(middleX(), R.bottom - 1, light);
}

void TuiCustomLookAndFeelPainter::PaintImageButton(TuiCanvas* ACanvas, TRect R, TuiButtonState AState,
                                                   Integer AImageIndex, TColor) const {
  PaintButtonBorder(ACanvas, R, AState);
  R = Inflated(R, -GetButtonBorderWidth(uibsNormal));
  ACanvas->FillRectWithColor(R, GetButtonFaceColor(AState));
  TBitmap* image = k58::foundation::AutoHideBitmap(AImageIndex);
  if (image == nullptr) return;
  Integer x = (R.left + R.right - image->Width()) / 2, y = (R.top + R.bottom - image->Height()) / 2;
  if (AState == uibsPressed) {
    ++x;
    ++y;
  }
  ACanvas->DrawGraphic(x, y, image);
}

// ---- Tabs, indicator, scroll bar, splitter ------------------------------------------------------------

void TuiCustomLookAndFeelPainter::PaintTab(TuiCanvas*, const TRect&, TuiBorders, const String&, TuiButtonState, bool,
                                           TFont*, TColor, TColor, bool) const {}
void TuiCustomLookAndFeelPainter::PaintTabBorder(TuiCanvas*, const TRect&, TuiBorder, TuiBorders, bool) const {}
void TuiCustomLookAndFeelPainter::PaintTabsRoot(TuiCanvas*, const TRect&, TuiBorders, bool) const {}
Integer TuiCustomLookAndFeelPainter::GetTabOverlapA() const { return 0; }
Integer TuiCustomLookAndFeelPainter::GetTabOverlapB() const { return 0; }
Integer TuiCustomLookAndFeelPainter::GetTabBorderWidth() const { return 0; }

void TuiCustomLookAndFeelPainter::PaintIndicatorImage(TuiCanvas* ACanvas, const TRect& R, TuiIndicatorKind AKind) {
  TCustomImageList* images = k58::foundation::IndicatorImages();
  if (AKind == ikNone || images == nullptr) return;
  images->Draw(ACanvas->Canvas(), (R.left + R.right - images->Width()) / 2, (R.top + R.bottom - images->Height()) / 2,
               static_cast<Integer>(AKind) - 1);
}

void TuiCustomLookAndFeelPainter::PaintIndicatorItem(TuiCanvas* ACanvas, const TRect& R, TuiIndicatorKind AKind,
                                                     TColor ABkColor,
                                                     const TuiDrawBackgroundEvent& AOnBackground) const {
  PaintHeader(ACanvas, R, R, TuiBorders{}, GetHeaderBorders(TuiBorders{bTop, bBottom}), uibsNormal, taLeftJustify,
              vaTop, false, false, "", nullptr, clNone, ABkColor, AOnBackground, false);
  PaintIndicatorImage(ACanvas, R, AKind);
}

void TuiCustomLookAndFeelPainter::PaintIndicatorItemEx(TuiCanvas* ACanvas, const TRect& R, TuiIndicatorKind AKind,
                                                       TColor ABkColor,
                                                       const TuiDrawBackgroundEvent& AOnBackground) const {
  PaintHeaderSimple(ACanvas, R, R, TuiBorders{}, uiAllBorders, uibsNormal, taLeftJustify, vaTop, false, false, "",
                    nullptr, clNone, ABkColor, AOnBackground);
  PaintIndicatorImage(ACanvas, R, AKind);
}

bool TuiCustomLookAndFeelPainter::IndicatorStyleFlag() const { return true; }

void TuiCustomLookAndFeelPainter::PaintScrollBarPart(TuiCanvas*, bool, const TRect&, TuiScrollBarPart,
                                                     TuiButtonState) const {}

void TuiCustomLookAndFeelPainter::PaintHeaderArrows(TuiCanvas* ACanvas, TRect R, Integer ABorderWidth,
                                                    Integer AArrowMargin, TuiHeaderArrows AArrows) {
  R.top += ABorderWidth;
  ++R.top;
  --R.bottom;
  Integer c = Height(R) / 2;
  if (c % 2 == 0) ++c;
  const Integer depth = c / 2 + 1;
  const Integer cy = (R.top + R.bottom) / 2;
  if (AArrows & uihaLeft) {
    const Integer x = R.left + AArrowMargin;
    FillTriangle(ACanvas, TPoint{x, cy}, TPoint{x + depth - 1, cy - c / 2}, TPoint{x + depth - 1, cy + c / 2},
                 clWindowText);
  }
  if (AArrows & uihaRight) {
    const Integer x = R.right - 1 - AArrowMargin;
    FillTriangle(ACanvas, TPoint{x, cy}, TPoint{x - depth + 1, cy - c / 2}, TPoint{x - depth + 1, cy + c / 2},
                 clWindowText);
  }
}

void TuiCustomLookAndFeelPainter::PaintHeaderWithArrows(TuiCanvas* ACanvas, const TRect& R, const String& AText,
                                                        TuiBorders ANeighbors, const TuiHeaderParams& AParams,
                                                        Integer AArrowMargin, TuiHeaderArrows AArrows,
                                                        const TuiDrawBackgroundEvent& AOnBackground) const {
  PaintHeader(ACanvas, R, R, ANeighbors, GetHeaderBorders(ANeighbors), uibsNormal, taCenter, vaCenter, false, false,
              AText, AParams.Font, AParams.TextColor, AParams.Color, AOnBackground, false);
  PaintHeaderArrows(ACanvas, R, GetBorderWidth(), AArrowMargin, AArrows);
}

void TuiCustomLookAndFeelPainter::PaintFrame(TuiCanvas* ACanvas, const TRect& R) const { PaintBorder(ACanvas, R); }

void TuiCustomLookAndFeelPainter::PaintSplitterButton(TuiCanvas* ACanvas, const TRect& R,
                                                      TuiButtonState AState) const {
  PaintButton(ACanvas, R, "", AState, true, clDefault, clDefault);
}

void TuiCustomLookAndFeelPainter::PaintSplitterBorder(TuiCanvas*, const TRect&, bool,
                                                      const TuiBackgroundParams&) const {}
