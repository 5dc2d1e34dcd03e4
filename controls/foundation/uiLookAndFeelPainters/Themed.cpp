// The themed painter: every element drawn with the visual styles through the theme manager. An operation
// whose theme class gives no handle does what the standard painter does, so a look that cannot be themed
// degrades element by element to the standard look.
#include "controls/foundation/uiLookAndFeelPainters.h"
#include "controls/foundation/uxOffice11.h"
#include "controls/foundation/uxThemeManager.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/win/gdi/WinRect.h"

namespace {

// Part numbers of the visual-style classes.
constexpr int BP_PUSHBUTTON = 1, BP_RADIOBUTTON = 2, BP_CHECKBOX = 3;
constexpr int HP_HEADERITEM = 1, HP_HEADERITEMRIGHT = 3;
constexpr int SBP_ARROWBTN = 1, SBP_THUMBBTNHORZ = 2, SBP_THUMBBTNVERT = 3, SBP_LOWERTRACKHORZ = 4,
              SBP_UPPERTRACKHORZ = 5, SBP_LOWERTRACKVERT = 6, SBP_UPPERTRACKVERT = 7, SBP_GRIPPERHORZ = 8,
              SBP_GRIPPERVERT = 9;
constexpr int TVP_GLYPH = 2;
constexpr int LVP_LISTDETAIL = 5;
constexpr int EBP_IEBARMENU = 3, EBP_NORMALGROUPCOLLAPSE = 6, EBP_NORMALGROUPEXPAND = 7;
constexpr int WP_SMALLCLOSEBUTTON = 19;
constexpr int CP_DROPDOWNBUTTON = 1;
constexpr int TP_BUTTON = 1;
constexpr int TKP_TRACK = 1;
constexpr int TABP_TABITEM = 1, TABP_PANE = 9;
constexpr int TMT_FILLCOLOR = 204, TMT_BORDERCOLOR = 3801, TMT_TEXTCOLOR = 3803;

constexpr RECT kMeasureRect{0, 0, 100, 100};

int PushState(TuiButtonState S) {
  static constexpr int k[] = {5, 1, 2, 3, 4};
  return k[S];
}
int CheckState(bool AChecked, TuiButtonState S) {
  static constexpr int unchecked[] = {1, 1, 2, 3, 4}, checked[] = {5, 5, 6, 7, 8};
  return AChecked ? checked[S] : unchecked[S];
}
int HeaderState(TuiButtonState S) {
  static constexpr int k[] = {1, 1, 2, 3, 1};
  return k[S];
}
// Close button, drop-down button, tab, scroll-bar thumb and tracks.
int PlainState(TuiButtonState S) {
  static constexpr int k[] = {1, 1, 2, 3, 4};
  return k[S];
}
int PinState(TuiButtonState S) { return HeaderState(S); }
int ArrowState(TuiButtonState S, TuiArrowDirection D) {
  if (D < adUp || D > adRight) return 0;
  return 4 * static_cast<int>(D) + PlainState(S);
}
int SplitterState(TuiButtonState S) {
  static constexpr int k[] = {2, 2, 5, 3, 4};
  return k[S];
}
// The group-expand parts know normal, hot and pressed only: the default and disabled buttons look normal.
int GroupExpandState(TuiButtonState S) {
  static constexpr int k[] = {1, 1, 2, 3, 1};
  return k[S];
}

TRect Inflated(TRect R, Integer D) {
  InflateRect(&R, D, D);
  return R;
}
bool IsEmpty(const TRect& R) { return R.right <= R.left || R.bottom <= R.top; }

const TuiCustomLookAndFeelPainter* Standard() { return PainterClass<TuiStandardLookAndFeelPainter>(); }

HTHEME Theme(TThemedObjectIndex AType) { return OpenThemeObject(AType); }

// The content rectangle of a part laid on (0, 0, 100, 100): how wide its borders are.
bool ContentMargins(HTHEME ATheme, HDC DC, int APart, int AState, RECT& AContent) {
  return SUCCEEDED(GetThemeBackgroundContentRect(ATheme, DC, APart, AState, kMeasureRect, AContent));
}

TPoint PartSize(HTHEME ATheme, HDC DC, int APart, int AState) {
  SIZE size{};
  GetThemePartSize(ATheme, DC, APart, AState, TS_TRUE, size);
  return TPoint{size.cx, size.cy};
}

}  // namespace

K58_IMPLEMENT_CLASS(TuiWinXPLookAndFeelPainter) {}

// ---- Values and colours -------------------------------------------------------------------------------

TuiLookAndFeelStyle TuiWinXPLookAndFeelPainter::GetLookAndFeelStyle() const { return lfsWinXP; }
TColor TuiWinXPLookAndFeelPainter::WindowTextColorB() const { return 0x800000; }
TColor TuiWinXPLookAndFeelPainter::InfoColor() const { return 0xD5FFFF; }

TColor TuiWinXPLookAndFeelPainter::FrameColor() const {
  COLORREF color = 0;
  if (HTHEME theme = Theme(totComboBox); theme && SUCCEEDED(GetThemeColor(theme, 1, 1, TMT_BORDERCOLOR, &color)))
    return static_cast<TColor>(color);
  return TuiStandardLookAndFeelPainter::FrameColor();
}

Integer TuiWinXPLookAndFeelPainter::GetBorderWidth() const { return Theme(totListView) ? 1 : 2; }

Integer TuiWinXPLookAndFeelPainter::GetButtonBorderWidth(TuiButtonState AState) const {
  RECT content{};
  if (HTHEME theme = Theme(totButton); theme && ContentMargins(theme, nullptr, BP_PUSHBUTTON, PushState(AState), content))
    return content.left;
  return 2;
}

TColor TuiWinXPLookAndFeelPainter::GetButtonFaceColor(TuiButtonState AState) const {
  COLORREF color = 0;
  if (HTHEME theme = Theme(totButton);
      theme && SUCCEEDED(GetThemeColor(theme, BP_PUSHBUTTON, PushState(AState), TMT_FILLCOLOR, &color)))
    return static_cast<TColor>(color);
  return clBtnFace;
}

TColor TuiWinXPLookAndFeelPainter::GetButtonSymbolColor(TuiButtonState AState, TColor ADefaultColor) const {
  COLORREF color = 0;
  if (HTHEME theme = Theme(totButton);
      theme && SUCCEEDED(GetThemeColor(theme, BP_PUSHBUTTON, PushState(AState), TMT_TEXTCOLOR, &color)))
    return static_cast<TColor>(color);
  return TuiStandardLookAndFeelPainter::GetButtonSymbolColor(AState, ADefaultColor);
}

TRect TuiWinXPLookAndFeelPainter::GetButtonFocusBounds(TuiCanvas* ACanvas, const TRect& R) const {
  RECT content{};
  if (HTHEME theme = Theme(totButton);
      theme && SUCCEEDED(GetThemeBackgroundContentRect(theme, nullptr, BP_PUSHBUTTON, 1, R, content)))
    return content;
  return TuiCustomLookAndFeelPainter::GetButtonFocusBounds(ACanvas, R);
}

TRect TuiWinXPLookAndFeelPainter::GetButtonGroupBorders(Integer AButtonCount, Integer AButtonIndex) const {
  HTHEME theme = Theme(totButton);
  RECT content{};
  if (!theme || !ContentMargins(theme, ScreenDC(), BP_PUSHBUTTON, 1, content))
    return Standard()->GetButtonGroupBorders(AButtonCount, AButtonIndex);
  TRect result{content.left, content.top, 100 - content.right, 100 - content.bottom};
  if (IsThemeBackgroundPartiallyTransparent(theme, BP_PUSHBUTTON, 1)) {
    --result.left;
    --result.top;
    ++result.right;
    ++result.bottom;
  }
  return result;
}

TRect TuiWinXPLookAndFeelPainter::AdjustGroupButtonBounds(const TRect& R, Integer, Integer) const {
  HTHEME theme = Theme(totButton);
  if (theme && IsThemeBackgroundPartiallyTransparent(theme, BP_PUSHBUTTON, 1)) return Inflated(R, 1);
  return R;
}

Integer TuiWinXPLookAndFeelPainter::GetButtonTextOffset() const { return 2; }
Integer TuiWinXPLookAndFeelPainter::GetButtonPressedShift() const { return 0; }

Integer TuiWinXPLookAndFeelPainter::GetExpandButtonSize() const {
  if (HTHEME theme = Theme(totTreeView)) return PartSize(theme, nullptr, TVP_GLYPH, 2).x;
  return 12;
}

Integer TuiWinXPLookAndFeelPainter::GetGroupExpandButtonSize() const {
  if (HTHEME theme = Theme(totExplorerBar)) return PartSize(theme, nullptr, EBP_NORMALGROUPEXPAND, 1).x;
  return 15;
}

Integer TuiWinXPLookAndFeelPainter::GetSmallExpandButtonSize() const {
  return Theme(totTreeView) ? GetExpandButtonSize() : 9;
}

bool TuiWinXPLookAndFeelPainter::IsExpandButtonPaintedFirst() const { return false; }
bool TuiWinXPLookAndFeelPainter::HasHotTrackedButtons() const { return true; }

bool TuiWinXPLookAndFeelPainter::IsPointOverExpandButton(const TRect& R, const TPoint& P) const {
  HRGN region = nullptr;
  if (HTHEME theme = Theme(totExplorerBar);
      theme && SUCCEEDED(GetThemeBackgroundRegion(theme, nullptr, EBP_NORMALGROUPEXPAND, 1, &R, &region)) && region) {
    const bool inside = PtInRegion(region, P.x, P.y) != FALSE;
    DeleteObject(region);
    return inside;
  }
  return PtInRect(&R, P) != FALSE;
}

Integer TuiWinXPLookAndFeelPainter::GetCheckBorderWidth() const { return Theme(totButton) ? 0 : 2; }

Integer TuiWinXPLookAndFeelPainter::GetHeaderBorderWidth() const {
  RECT content{};
  if (HTHEME theme = Theme(totHeader); theme && ContentMargins(theme, nullptr, HP_HEADERITEM, 1, content))
    return (content.left + content.top) / 2;
  return 1;
}

Integer TuiWinXPLookAndFeelPainter::GetHeaderSectionBorderWidth(TuiButtonState) const { return GetHeaderBorderWidth(); }

TRect TuiWinXPLookAndFeelPainter::GetHeaderSectionContentBounds(const TRect& R, TuiButtonState AState) const {
  return Inflated(R, -GetHeaderSectionBorderWidth(AState));
}

bool TuiWinXPLookAndFeelPainter::HeaderStyleFlag() const { return false; }
bool TuiWinXPLookAndFeelPainter::SupportsHeaderHotTracking() const { return true; }
TPoint TuiWinXPLookAndFeelPainter::GetSortMarkSize() const { return TPoint{7, 8}; }
Integer TuiWinXPLookAndFeelPainter::GetFooterBorderWidth() const { return 1; }

Integer TuiWinXPLookAndFeelPainter::GetFooterCellBorderWidth() const {
  RECT content{};
  if (HTHEME theme = Theme(totTrackBar); theme && ContentMargins(theme, nullptr, TKP_TRACK, 1, content))
    return content.left;
  return 1;
}

Integer TuiWinXPLookAndFeelPainter::GetFooterCellOffset() const { return 1; }
bool TuiWinXPLookAndFeelPainter::FooterStyleFlag() const { return false; }

TPoint TuiWinXPLookAndFeelPainter::GetSmallCheckButtonSize() const {
  if (HTHEME theme = Theme(totButton)) return PartSize(theme, nullptr, BP_CHECKBOX, 5);
  return TPoint{13, 13};
}

TPoint TuiWinXPLookAndFeelPainter::GetCloseButtonSize() const {
  if (HTHEME theme = Theme(totWindow)) {
    const TPoint size = PartSize(theme, nullptr, WP_SMALLCLOSEBUTTON, 1);
    return TPoint{size.x + 4, size.y + 4};
  }
  return TPoint{16, 14};
}

TPoint TuiWinXPLookAndFeelPainter::GetSmallButtonSize() const { return TPoint{15, 15}; }

TPoint TuiWinXPLookAndFeelPainter::GetButtonSizeC() const {
  if (HTHEME theme = Theme(totExplorerBar)) return PartSize(theme, nullptr, EBP_IEBARMENU, 1);
  return TPoint{16, 14};
}

Integer TuiWinXPLookAndFeelPainter::GetTabOverlapA() const { return Theme(totTab) ? 1 : 0; }
Integer TuiWinXPLookAndFeelPainter::GetTabOverlapB() const { return Theme(totTab) ? 1 : 0; }
Integer TuiWinXPLookAndFeelPainter::GetTabBorderWidth() const { return 1; }

// ---- Drawing ------------------------------------------------------------------------------------------

void TuiWinXPLookAndFeelPainter::PaintArrowButton(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState,
                                                  TuiArrowDirection ADirection, bool AIsButton) const {
  if (HTHEME theme = Theme(totScrollBar))
    DrawThemeBackground(theme, ACanvas->GetDCHandle(), SBP_ARROWBTN, ArrowState(AState, ADirection), R);
  else
    Standard()->PaintArrowButton(ACanvas, R, AState, ADirection, AIsButton);
}

void TuiWinXPLookAndFeelPainter::PaintButtonBackground(TuiCanvas* ACanvas, const TRect& R,
                                                       TuiButtonState AState) const {
  if (HTHEME theme = Theme(totButton))
    DrawThemeBackground(theme, ACanvas->GetDCHandle(), BP_PUSHBUTTON, PushState(AState), R);
  else
    Standard()->PaintButtonBackground(ACanvas, R, AState);
}

void TuiWinXPLookAndFeelPainter::PaintButton(TuiCanvas* ACanvas, TRect R, const String& ACaption,
                                             TuiButtonState AState, bool AWithBorder, TColor AFaceColor,
                                             TColor ATextColor) const {
  HTHEME theme = Theme(totButton);
  if (!theme) {
    Standard()->PaintButton(ACanvas, R, ACaption, AState, AWithBorder, AFaceColor, ATextColor);
    return;
  }
  const HDC dc = ACanvas->GetDCHandle();
  DrawThemeBackground(theme, dc, BP_PUSHBUTTON, PushState(AState), R);
  if (!ACaption.empty()) DrawThemeText(theme, dc, BP_PUSHBUTTON, PushState(AState), ACaption, -1, 0x25, 0, R);
}

void TuiWinXPLookAndFeelPainter::PaintBorder(TuiCanvas* ACanvas, const TRect& R) const {
  HTHEME theme = Theme(totListView);
  if (!theme) {
    Standard()->PaintBorder(ACanvas, R);
    return;
  }
  // Only the outer one-pixel frame of the list view's background shows.
  const Integer saved = ACanvas->SaveState();
  ACanvas->ExcludeClipRect(Inflated(R, -1));
  DrawThemeBackground(theme, ACanvas->GetDCHandle(), LVP_LISTDETAIL, 0, R);
  ACanvas->RestoreState(saved);
}

void TuiWinXPLookAndFeelPainter::PaintExpandButton(TuiCanvas* ACanvas, const TRect& R, bool AExpanded,
                                                   TColor AColor) const {
  HTHEME theme = Theme(totTreeView);
  if (!theme) {
    Standard()->PaintExpandButton(ACanvas, R, AExpanded, AColor);
    return;
  }
  DrawThemeBackground(theme, ACanvas->GetDCHandle(), TVP_GLYPH, AExpanded ? 2 : 1, R);
  ACanvas->ExcludeClipRect(R);
}

void TuiWinXPLookAndFeelPainter::PaintGroupExpandButton(TuiCanvas* ACanvas, const TRect& R, bool AExpanded,
                                                        TuiButtonState AState) const {
  if (HTHEME theme = Theme(totExplorerBar))
    DrawThemeBackground(theme, ACanvas->GetDCHandle(), AExpanded ? EBP_NORMALGROUPCOLLAPSE : EBP_NORMALGROUPEXPAND,
                        GroupExpandState(AState), R);
  else
    Standard()->PaintGroupExpandButton(ACanvas, R, AExpanded, AState);
}

void TuiWinXPLookAndFeelPainter::PaintSmallExpandButton(TuiCanvas* ACanvas, const TRect& R, bool AExpanded,
                                                        TColor AFrameColor, TColor AFillColor) const {
  if (Theme(totTreeView))
    PaintExpandButton(ACanvas, R, AExpanded, clDefault);
  else
    Standard()->PaintSmallExpandButton(ACanvas, R, AExpanded, AFrameColor, AFillColor);
}

void TuiWinXPLookAndFeelPainter::PaintCheckMark(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState,
                                                bool AChecked, TColor ACheckColor) const {
  if (HTHEME theme = Theme(totButton))
    DrawThemeBackground(theme, ACanvas->GetDCHandle(), BP_CHECKBOX, CheckState(AChecked, AState), R);
  else
    Standard()->PaintCheckMark(ACanvas, R, AState, AChecked, ACheckColor);
}

void TuiWinXPLookAndFeelPainter::PaintCheckBorder(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState) const {
  if (!Theme(totButton)) Standard()->PaintCheckBorder(ACanvas, R, AState);
}

void TuiWinXPLookAndFeelPainter::PaintRadioButton(TuiCanvas* ACanvas, Integer X, Integer Y, TuiButtonState AState,
                                                  bool AChecked, bool AFocused, TColor ABackgroundColor,
                                                  bool AIsDesigning) const {
  HTHEME theme = Theme(totButton);
  if (!theme) {
    Standard()->PaintRadioButton(ACanvas, X, Y, AState, AChecked, AFocused, ABackgroundColor, AIsDesigning);
    return;
  }
  const HDC dc = ACanvas->GetDCHandle();
  const int state = CheckState(AChecked, AState);
  const TPoint size = PartSize(theme, dc, BP_RADIOBUTTON, state);
  DrawThemeBackground(theme, dc, BP_RADIOBUTTON, state, TRect{X, Y, X + size.x, Y + size.y});
}

void TuiWinXPLookAndFeelPainter::PaintHeader(TuiCanvas* ACanvas, const TRect& R, const TRect& ATextRect,
                                             TuiBorders ANeighbors, TuiBorders ABorders, TuiButtonState AState,
                                             TAlignment AHAlign, TuiVertAlignment AVAlign, bool AMultiLine,
                                             bool AEndEllipsis, const String& AText, TFont* AFont, TColor ATextColor,
                                             TColor ABkColor, const TuiDrawBackgroundEvent& AOnBackground,
                                             bool AIsLast) const {
  HTHEME theme = Theme(totHeader);
  if (!theme) {
    Standard()->PaintHeader(ACanvas, R, ATextRect, ANeighbors, ABorders, AState, AHAlign, AVAlign, AMultiLine,
                            AEndEllipsis, AText, AFont, ATextColor, ABkColor, AOnBackground, AIsLast);
    return;
  }
  const int state = HeaderState(AState);
  const Byte scheme = CurrentOffice11ColorScheme();
  const int part = AIsLast && state == 1 && (scheme == 1 || scheme == 2) ? HP_HEADERITEMRIGHT : HP_HEADERITEM;
  DrawThemeBackground(theme, ACanvas->GetDCHandle(), part, state, R);
  TRect text = ATextRect;
  if (AState == uibsPressed) OffsetRect(&text, 1, 1);
  PaintThemedHeaderContent(ACanvas, theme, part, state, R, text, AHAlign, AVAlign, AMultiLine, AEndEllipsis, false,
                           AText, AFont, ATextColor, ABkColor);
}

void TuiWinXPLookAndFeelPainter::InvertHeaderArea(TuiCanvas*, const TRect&) const {}

void TuiWinXPLookAndFeelPainter::PaintHeaderSection(TuiCanvas* ACanvas, const TRect& R, const TRect& ATextRect,
                                                    TuiBorders ANeighbors, TuiBorders ABorders, TuiButtonState AState,
                                                    TAlignment AHAlign, TuiVertAlignment AVAlign, bool AMultiLine,
                                                    bool AEndEllipsis, const String& AText, TFont* AFont,
                                                    TColor ATextColor, TColor ABkColor) const {
  ACanvas->FillRectWithColor(R, clBtnFace);
  PaintHeader(ACanvas, R, ATextRect, ANeighbors, ABorders, AState, AHAlign, AVAlign, AMultiLine, AEndEllipsis, AText,
              AFont, ATextColor, ABkColor, TuiDrawBackgroundEvent(), false);
}

void TuiWinXPLookAndFeelPainter::PaintSortMark(TuiCanvas* ACanvas, const TRect& R, bool AAscending) const {
  PainterClass<TuiUltraFlatLookAndFeelPainter>()->PaintSortMark(ACanvas, R, AAscending);
}

void TuiWinXPLookAndFeelPainter::PaintHeaderWithArrows(TuiCanvas* ACanvas, const TRect& R, const String& AText,
                                                       TuiBorders ANeighbors, const TuiHeaderParams& AParams,
                                                       Integer AArrowMargin, TuiHeaderArrows AArrows,
                                                       const TuiDrawBackgroundEvent& AOnBackground) const {
  PaintHeader(ACanvas, R, R, ANeighbors, uiAllBorders, uibsNormal, taCenter, vaCenter, false, false, AText,
              AParams.Font, AParams.TextColor, AParams.Color, AOnBackground, !ANeighbors.Contains(bRight));
  PaintHeaderArrows(ACanvas, R, GetBorderWidth(), AArrowMargin, AArrows);
}

void TuiWinXPLookAndFeelPainter::PaintFooterBorder(TuiCanvas* ACanvas, const TRect& R) const {
  if (HTHEME theme = Theme(totEdit))
    DrawThemeEdge(theme, ACanvas->GetDCHandle(), 0, 0, &R, BDR_RAISEDINNER, BF_RECT, nullptr);
  else
    Standard()->PaintFooterBorder(ACanvas, R);
}

void TuiWinXPLookAndFeelPainter::PaintFooterCell(TuiCanvas* ACanvas, const TRect& R, TAlignment AHAlign,
                                                 TuiVertAlignment AVAlign, bool AMultiLine, const String& AText,
                                                 TFont* AFont, TColor ATextColor, TColor ABkColor,
                                                 const TuiDrawBackgroundEvent& AOnBackground) const {
  HTHEME theme = Theme(totTrackBar);
  if (!theme) {
    Standard()->PaintFooterCell(ACanvas, R, AHAlign, AVAlign, AMultiLine, AText, AFont, ATextColor, ABkColor,
                                AOnBackground);
    return;
  }
  DrawThemeBackground(theme, ACanvas->GetDCHandle(), TKP_TRACK, 1, R);
  PaintThemedHeaderContent(ACanvas, theme, TKP_TRACK, 1, R, GetFooterCellTextBounds(R), AHAlign, AVAlign, AMultiLine,
                           false, false, AText, AFont, ATextColor, ABkColor);
}

void TuiWinXPLookAndFeelPainter::PaintCloseButton(TuiCanvas* ACanvas, TRect R, TuiButtonState AState) const {
  if (HTHEME theme = Theme(totWindow))
    DrawThemeBackground(theme, ACanvas->GetDCHandle(), WP_SMALLCLOSEBUTTON, PlainState(AState), R);
  else
    Standard()->PaintCloseButton(ACanvas, R, AState);
}

void TuiWinXPLookAndFeelPainter::PaintDropDownButton(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState,
                                                     bool AIsActive) const {
  if (HTHEME theme = Theme(totComboBox))
    DrawThemeBackground(theme, ACanvas->GetDCHandle(), CP_DROPDOWNBUTTON, PlainState(AState), R);
  else
    Standard()->PaintDropDownButton(ACanvas, R, AState, AIsActive);
}

void TuiWinXPLookAndFeelPainter::PaintMarkButton(TuiCanvas* ACanvas, TRect R, TuiButtonState AState) const {
  HTHEME theme = Theme(totButton);
  if (!theme) {
    Standard()->PaintMarkButton(ACanvas, R, AState);
    return;
  }
  DrawThemeBackground(theme, ACanvas->GetDCHandle(), BP_PUSHBUTTON, PushState(AState), R);
  R = Inflated(R, -2);
  if (AState == uibsDisabled) OffsetRect(&R, 1, 1);
  Standard()->PaintButtonMark(ACanvas, R, AState);
}

void TuiWinXPLookAndFeelPainter::PaintImageButton(TuiCanvas* ACanvas, TRect R, TuiButtonState AState,
                                                  Integer AImageIndex, TColor ABackgroundColor) const {
  HTHEME theme = Theme(totExplorerBar);
  if (!theme) {
    Standard()->PaintImageButton(ACanvas, R, AState, AImageIndex, ABackgroundColor);
    return;
  }
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf32bit);
  bitmap.SetSize(R.right - R.left, R.bottom - R.top);
  bitmap.Canvas()->Brush()->SetColor(ABackgroundColor);
  bitmap.Canvas()->FillRect(TRect{0, 0, bitmap.Width(), bitmap.Height()});
  DrawThemeBackground(theme, bitmap.Canvas()->Handle(), EBP_IEBARMENU, PinState(AState),
                      TRect{0, 0, bitmap.Width(), bitmap.Height()});
  if (AImageIndex == 0) TuiCanvas::RotateFlipBitmap(&bitmap, 1, false);
  ACanvas->DrawGraphic(R.left, R.top, &bitmap);
}

void TuiWinXPLookAndFeelPainter::PaintTab(TuiCanvas* ACanvas, const TRect& R, TuiBorders ABorders,
                                          const String& AText, TuiButtonState AState, bool AVertical, TFont* AFont,
                                          TColor ATextColor, TColor ABkColor, bool AShowPrefix) const {
  HTHEME theme = Theme(totTab);
  if (!theme) return;
  const bool pressed = AState == uibsPressed;
  const int state = PlainState(AState);
  auto transpose = [](TRect& X) {
    std::swap(X.right, X.bottom);
  };
  TRect clip = R;
  std::unique_ptr<TBitmap> surface;
  HDC dc = ACanvas->GetDCHandle();
  if (AVertical) {
    clip = TRect{0, 0, R.right - R.left, R.bottom - R.top};
    transpose(clip);
    surface = std::make_unique<TBitmap>();
    surface->SetPixelFormat(pf32bit);
    surface->SetSize(clip.right, clip.bottom);
    dc = surface->Canvas()->Handle();
  }
  TRect draw = clip;
  const bool first = AVertical ? ABorders.Contains(bTop) : ABorders.Contains(bLeft);
  const bool last = AVertical ? ABorders.Contains(bBottom) : ABorders.Contains(bRight);
  if (!first) draw.left -= 2;
  if (!last) draw.right += 2;
  if (pressed)
    ++draw.bottom;
  else
    --clip.bottom;
  DrawThemeBackground(theme, dc, TABP_TABITEM, state, draw, clip);
  if (AVertical) {
    TuiCanvas::RotateFlipBitmap(surface.get(), 1, true);
    transpose(clip);
    transpose(draw);
    ACanvas->CopyCanvasRect(TRect{R.left, R.top, R.left + clip.right - clip.left, R.top + clip.bottom - clip.top},
                            surface->Canvas(), clip);
    surface.reset();
    OffsetRect(&clip, R.left, R.top);
    OffsetRect(&draw, R.left, R.top);
  }
  if (pressed) {
    if (AVertical)
      draw.right -= 2;
    else
      draw.bottom -= 2;
  }
  PaintThemedHeaderContent(ACanvas, theme, TABP_TABITEM, state, clip, draw, taCenter, vaCenter, false, false,
                           AShowPrefix, AText, AFont, ATextColor, ABkColor);
}

void TuiWinXPLookAndFeelPainter::PaintTabBorder(TuiCanvas* ACanvas, const TRect& R, TuiBorder ABorder,
                                                TuiBorders ABorders, bool AVertical) const {
  if (!Theme(totTab)) Standard()->PaintTabBorder(ACanvas, R, ABorder, ABorders, AVertical);
}

void TuiWinXPLookAndFeelPainter::PaintTabsRoot(TuiCanvas* ACanvas, const TRect& R, TuiBorders ABorders,
                                               bool AVertical) const {
  HTHEME theme = Theme(totTab);
  if (!theme) {
    Standard()->PaintTabsRoot(ACanvas, R, ABorders, AVertical);
    return;
  }
  const HDC dc = ACanvas->GetDCHandle();
  RECT content = R;
  GetThemeBackgroundContentRect(theme, dc, TABP_PANE, 0, R, content);
  TRect draw = R;
  if (AVertical) {
    draw.right += 10;
    draw.bottom += (R.bottom - content.bottom) - (content.top - R.top);
  } else {
    draw.bottom += 10;
    draw.right += (R.right - content.right) - (content.left - R.left);
  }
  DrawThemeBackground(theme, dc, TABP_PANE, 0, draw, R);
}

void TuiWinXPLookAndFeelPainter::PaintIndicatorItem(TuiCanvas* ACanvas, const TRect& R, TuiIndicatorKind AKind,
                                                    TColor ABkColor,
                                                    const TuiDrawBackgroundEvent& AOnBackground) const {
  PainterClass<TuiFlatLookAndFeelPainter>()->PaintIndicatorItem(ACanvas, R, AKind, ABkColor, AOnBackground);
}

void TuiWinXPLookAndFeelPainter::PaintScrollBarPart(TuiCanvas* ACanvas, bool AHorizontal, const TRect& R,
                                                    TuiScrollBarPart APart, TuiButtonState AState) const {
  if (IsEmpty(R)) return;
  HTHEME theme = Theme(totScrollBar);
  if (!theme) {
    Standard()->PaintScrollBarPart(ACanvas, AHorizontal, R, APart, AState);
    return;
  }
  const HDC dc = ACanvas->GetDCHandle();
  switch (APart) {
    case sbpLineUp:
    case sbpLineDown: {
      const TuiArrowDirection direction =
          AHorizontal ? (APart == sbpLineUp ? adLeft : adRight) : (APart == sbpLineUp ? adUp : adDown);
      PaintArrowButton(ACanvas, R, AState, direction, true);
      break;
    }
    case sbpThumbnail:
      DrawThemeBackground(theme, dc, AHorizontal ? SBP_THUMBBTNHORZ : SBP_THUMBBTNVERT, PlainState(AState), R);
      DrawThemeBackground(theme, dc, AHorizontal ? SBP_GRIPPERHORZ : SBP_GRIPPERVERT, 0, R);
      break;
    case sbpPageUp:
      DrawThemeBackground(theme, dc, AHorizontal ? SBP_LOWERTRACKHORZ : SBP_LOWERTRACKVERT, PlainState(AState), R);
      break;
    case sbpPageDown:
      DrawThemeBackground(theme, dc, AHorizontal ? SBP_UPPERTRACKHORZ : SBP_UPPERTRACKVERT, PlainState(AState), R);
      break;
    default: break;
  }
}

void TuiWinXPLookAndFeelPainter::PaintSplitterButton(TuiCanvas* ACanvas, const TRect& R,
                                                     TuiButtonState AState) const {
  if (HTHEME theme = Theme(totToolBar))
    DrawThemeBackground(theme, ACanvas->GetDCHandle(), TP_BUTTON, SplitterState(AState), R);
  else
    Standard()->PaintSplitterButton(ACanvas, R, AState);
}

void TuiWinXPLookAndFeelPainter::PaintSplitterBorder(TuiCanvas* ACanvas, const TRect& R, bool AHorizontal,
                                                     const TuiBackgroundParams& ABackground) const {
  HTHEME comboBox = Theme(totComboBox);
  COLORREF border = 0;
  if (!comboBox || !Theme(totListView) || FAILED(GetThemeColor(comboBox, 1, 1, TMT_BORDERCOLOR, &border))) {
    Standard()->PaintSplitterBorder(ACanvas, R, AHorizontal, ABackground);
    return;
  }
  TRect r = R;
  const TColor color = static_cast<TColor>(border);
  if (AHorizontal) {
    ACanvas->FillRectWithColor(TRect{r.left, r.top, r.right, r.top + 1}, color);
    ACanvas->FillRectWithColor(TRect{r.left, r.bottom - 1, r.right, r.bottom}, color);
    InflateRect(&r, 1, -1);
  } else {
    ACanvas->FillRectWithColor(TRect{r.left, r.top, r.left + 1, r.bottom}, color);
    ACanvas->FillRectWithColor(TRect{r.right - 1, r.top, r.right, r.bottom}, color);
    InflateRect(&r, -1, 1);
  }
  ACanvas->DrawFramedArea(r, ABackground, TuiBorders{}, clDefault, 0);
}

void TuiWinXPLookAndFeelPainter::PaintThemedHeaderContent(TuiCanvas* ACanvas, HTHEME ATheme, Integer APartId,
                                                          Integer AStateId, const TRect&, TRect ATextRect,
                                                          TAlignment AHAlign, TuiVertAlignment AVAlign,
                                                          bool AMultiLine, bool AEndEllipsis, bool AShowPrefix,
                                                          const String& AText, TFont* AFont, TColor ATextColor,
                                                          TColor) const {
  if (AText.empty()) return;
  if (AFont != nullptr) ACanvas->SetCanvasFont(AFont);
  ACanvas->GetCanvasFont()->SetColor(ATextColor);
  if (AMultiLine)
    ACanvas->AlignMultilineTextVertically(ATextRect, AText, static_cast<Integer>(AVAlign), true, AShowPrefix, true,
                                          false);
  static constexpr DWORD kHorizontal[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  static constexpr DWORD kVertical[] = {DT_TOP, DT_BOTTOM, DT_VCENTER};
  DWORD flags = DT_EDITCONTROL | kHorizontal[AHAlign] | kVertical[AVAlign];
  flags |= AMultiLine ? DT_WORDBREAK : DT_SINGLELINE;
  if (AEndEllipsis) flags |= DT_END_ELLIPSIS;
  if (!AShowPrefix) flags |= DT_NOPREFIX;
  DrawThemeText(ATheme, ACanvas->GetDCHandle(), APartId, AStateId, AText, -1, flags, 0, ATextRect);
}
