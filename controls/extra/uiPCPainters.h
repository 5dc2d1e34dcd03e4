// The tab painters: the standard base shared by every style (navigator buttons, tab sizes, the tab
// drawing sequence, the frame and the background), the classic notebook Tabs style with its themed
// drawing, the Flat style, the two button styles, the three flat styles standing on a row band and the two
// slanted styles. The unit registers its nine painter classes with the painters factory when the program
// starts and unregisters them when it ends.
//
// Contract: main thread only; painters draw only through their control's canvas, in client coordinates.
// Navigator button bounds are recalculated by every InitTabsRegionParameters.
#pragma once

#include <initializer_list>
#include <utility>
#include <vector>

#include "controls/extra/uiPCGoDialog.h"
#include "controls/extra/uiPCPainter.h"

struct TuiPCNavigatorButtonPosition {
  TuiPCNavigatorButton Button;
  TRect Bounds;
};
using TuiPCNavigatorButtonPositions = std::vector<TuiPCNavigatorButtonPosition>;

// How a navigator glyph is drawn.
struct TuiPCButtonGlyphInfo {
  TColor BrushColor = clBtnText;
  TColor PenColor = clBtnText;
  bool Enabled = true;
  bool Thin = false;
};

class TuiPCStandardPainter : public TuiPCCustomPainter {
  K58_CLASS(TuiPCStandardPainter, TuiPCCustomPainter)

  explicit TuiPCStandardPainter(TuiCustomTabControl* AParent) : TuiPCCustomPainter(AParent) {}

  // 0 tabs, 1 buttons, 2 flat buttons.
  Integer StandardStyle() const { return PainterClass()->GetStandardStyle(); }

  Integer CalculateTabNormalWidth(TuiTab* ATab) override;
  Integer CalculateTabNormalHeight() override;
  void GetTabImageAreaOffsets(Integer ATabVisibleIndex, TRect& R) override;
  void GetTabTextAreaOffsets(Integer ATabVisibleIndex, TRect& R) override;
  Integer GetFrameWidth() override { return 2; }
  Integer GetImageTextDistance() override { return 6; }
  Integer GetMinTabNormalWidth() override;
  TPoint GetTabsContainerOffsets() { return TPoint{4, 4}; }
  TPoint GetTabsNormalDistance() override;
  void InitTabsRegionParameters(TuiPCNavigatorButtons AButtons, TuiPCTabsRegionParameters& AParams) override;
  void PrepareTabImageAndTextRects(Integer ATabVisibleIndex, const TRect& AImageRect, const TRect& ATextRect) override;
  bool GetButtonAtPoint(Integer X, Integer Y, TuiPCNavigatorButton& AButton) override;
  bool IsTabPressed(Integer ATabVisibleIndex) override;
  void GetGoDialogButtonBounds(TRect& R) override;
  // Where a popup of AMenuSize opens at the go button; P unchanged without one.
  void GetGoDialogPosition(const TSize& AMenuSize, TPoint& P);
  void Paint() override;
  void DrawButtons() override;
  void DrawFrame() override;
  void DrawTabs() override;
  void RepaintButton(TuiPCNavigatorButton AButton, TuiPCNavigatorButtonState APreviousState) override;
  void RepaintButtonsRegion() override;
  void RepaintTab(Integer ATabVisibleIndex, Integer AChangeType) override;

  // ---- New operations ----
  virtual void DrawTab(Integer ATabVisibleIndex);
  virtual void GetButtonGlyphInfo(TuiPCNavigatorButton AButton, TuiPCButtonGlyphInfo& AInfo);
  virtual void CalculateButtonsRegion(TuiPCNavigatorButtons AButtons);
  virtual void CalculateButtonsPositions(TuiPCNavigatorButtons AButtons);
  virtual Integer GetButtonsRegionLength(TuiPCNavigatorButtons AButtons);
  virtual TColor GetButtonColor(TuiPCNavigatorButtonState /*AState*/) { return clBtnFace; }
  virtual TColor GetButtonArrowColor(TuiPCNavigatorButtonState AState);
  virtual TPoint GetButtonGlyphOffset(TuiPCNavigatorButton AButton);
  virtual Integer GetButtonHeight() { return 20; }
  virtual Integer GetButtonWidth(TuiPCNavigatorButton AButton);
  virtual Integer GetTabMinHeight();
  virtual Integer GetMinTabWidth() { return 42; }
  virtual TColor GetBackgroundColor();
  virtual TRect GetTabsRegionIndents() { return TRect{}; }
  virtual Integer GetTabNormalHeightByContent();
  virtual void DrawButton(TuiPCNavigatorButton AButton, TRect R);
  virtual void DrawButtonBackground(const TRect& R, TuiPCNavigatorButtonState AState);
  virtual void DrawButtonFrame(TRect& R, TuiPCNavigatorButtonState AState);
  virtual void DrawTabBackground(Integer ATabVisibleIndex) = 0;
  virtual void DrawNativeTab(Integer /*ATabVisibleIndex*/) {}
  virtual void GetButtonsOrder(TuiPCNavigatorButtons AButtons, std::vector<TuiPCNavigatorButton>& AOrder);

  // ---- Geometry and drawing helpers ----
  // The caption's width on the control canvas (0 without caption).
  Integer CaptionTextWidth(const String& ACaption);
  const TuiPCNavigatorButtonPositions& ButtonPositions() const { return buttons_; }
  TRect NavigatorRegion() const { return navigatorRegion_; }
  // The glyph offsets of the classic styles (Tabs, Buttons, FlatButtons).
  TPoint GetTableGlyphOffset(TuiPCNavigatorButton AButton);
  TuiArrowDirection ArrowDirection(TuiPCNavigatorButton AButton) const;
  // A two-pixel raised or pressed frame along R (R itself unchanged); Flat draws only the outer lines.
  void Draw3DFrame(const TRect& R, bool APressed, bool AFlat = false);
  // The focus rectangle inside R for the active tab of a focused control.
  void DrawTabFocusRect(Integer ATabVisibleIndex, const TRect& R);
  void DrawGlyph(TuiPCNavigatorButton AButton, const TPoint& AOrigin, const TuiPCButtonGlyphInfo& AInfo);
  void HLine(Integer X1, Integer X2, Integer Y, TColor AColor);
  void VLine(Integer X, Integer Y1, Integer Y2, TColor AColor);
  bool RowsVertical() const;

 protected:
  bool NavigatorAtRowStart() const;

 private:
  TRect navigatorRegion_{};
  TuiPCNavigatorButtonPositions buttons_;
};

// The classic notebook tabs (style 1), drawn with the theme when the look-and-feel asks for the native
// style and visual styles are usable.
class TuiPCTabsPainter : public TuiPCStandardPainter {
  K58_CLASS(TuiPCTabsPainter, TuiPCStandardPainter)

  explicit TuiPCTabsPainter(TuiCustomTabControl* AParent) : TuiPCStandardPainter(AParent) {}
  ~TuiPCTabsPainter() override;

  TuiPCPainterClass PainterClass() const override;
  void GetTabCorrection(Integer ATabVisibleIndex, TRect& R) override;
  void GetClientRectMargins(TRect& M) override;
  void GetFrameRectMargins(TRect& M) override;
  void GetTabImageAreaOffsets(Integer ATabVisibleIndex, TRect& R) override;
  void GetTabTextAreaOffsets(Integer ATabVisibleIndex, TRect& R) override;
  TColor GetTabColor(Integer ATabVisibleIndex) override;
  HRGN GetTabClipRgn(Integer ATabVisibleIndex) override;
  TuiRegionOperation GetTabClipRgnOperation(Integer ATabVisibleIndex) override;
  void GetTabContentWOffset(Integer ATabVisibleIndex, Integer (&APair)[2]) override;
  void GetTruncatedTabContentWOffset(Integer ATabVisibleIndex, Integer (&APair)[2]) override;
  void GetTabNativePartAndState(Integer ATabVisibleIndex, Integer& PartId, Integer& StateId) override;
  void InitTabsRegionParameters(TuiPCNavigatorButtons AButtons, TuiPCTabsRegionParameters& AParams) override;
  void PrepareTabImageAndTextRects(Integer ATabVisibleIndex, const TRect& AImageRect, const TRect& ATextRect) override;
  bool IsNativePainting() override;
  bool HasFrame() override { return true; }
  void Paint() override;
  void DrawFrameAndClientArea() override;
  void DrawTabs() override;
  void RepaintTab(Integer ATabVisibleIndex, Integer AChangeType) override;
  TPoint GetButtonGlyphOffset(TuiPCNavigatorButton AButton) override { return GetTableGlyphOffset(AButton); }
  Integer GetButtonHeight() override;
  Integer GetButtonWidth(TuiPCNavigatorButton AButton) override;
  Integer GetTabNormalHeightByContent() override { return TuiPCStandardPainter::GetTabNormalHeightByContent() - 3; }
  void DrawButton(TuiPCNavigatorButton AButton, TRect R) override;
  void DrawTabBackground(Integer ATabVisibleIndex) override;
  void DrawNativeTab(Integer ATabVisibleIndex) override;
  virtual TColor GetTabCornerColor() { return clBtnFace; }
  virtual void DrawTabCorners(Integer ATabVisibleIndex);
  virtual void DrawTabBorder(Integer ATabVisibleIndex);

 protected:
  // The tab's full rectangle, for the active tab reaching one pixel further toward the client.
  TRect NativeTabRect(Integer ATabVisibleIndex);
  void DrawNativePane(HDC DC, bool AOnControl);

 private:
  void ReleasePaintDC();
  HDC paintDC_ = nullptr;
  HBITMAP paintBitmap_ = nullptr;
  HGDIOBJ previousBitmap_ = nullptr;
};

// Tabs geometry with single-pixel borders (style 7).
class TuiPCFlatPainter : public TuiPCTabsPainter {
  K58_CLASS(TuiPCFlatPainter, TuiPCTabsPainter)

  explicit TuiPCFlatPainter(TuiCustomTabControl* AParent) : TuiPCTabsPainter(AParent) {}

  TuiPCPainterClass PainterClass() const override;
  Integer GetFrameWidth() override { return 1; }
  HRGN GetTabClipRgn(Integer ATabVisibleIndex) override { return TuiPCCustomPainter::GetTabClipRgn(ATabVisibleIndex); }
  TuiRegionOperation GetTabClipRgnOperation(Integer) override { return roIntersect; }
  void DrawFrame() override;
  TPoint GetButtonGlyphOffset(TuiPCNavigatorButton AButton) override;
  Integer GetButtonHeight() override { return TuiPCTabsPainter::GetButtonHeight() - 2; }
  Integer GetButtonWidth(TuiPCNavigatorButton AButton) override {
    return TuiPCTabsPainter::GetButtonWidth(AButton) - 2;
  }
  void DrawButtonFrame(TRect& R, TuiPCNavigatorButtonState AState) override;
  TColor GetTabCornerColor() override;
  void DrawTabBorder(Integer ATabVisibleIndex) override;
};

// ---- Button styles ----

// Tabs that behave as push buttons: pressed while the mouse is down on them, several may be selected,
// and they stand 2 pixels away from the page frame.
class TuiPCButtonedPainter : public TuiPCStandardPainter {
  K58_CLASS(TuiPCButtonedPainter, TuiPCStandardPainter)

  explicit TuiPCButtonedPainter(TuiCustomTabControl* AParent) : TuiPCStandardPainter(AParent) {}

  void GetFrameRectMargins(TRect& M) override;
  TColor GetTabColor(Integer ATabVisibleIndex) override;
  bool IsTabPressed(Integer ATabVisibleIndex) override;
  TPoint GetButtonGlyphOffset(TuiPCNavigatorButton AButton) override { return GetTableGlyphOffset(AButton); }
};

// Three-dimensional buttons (style 2).
class TuiPCButtonsPainter : public TuiPCButtonedPainter {
  K58_CLASS(TuiPCButtonsPainter, TuiPCButtonedPainter)

  explicit TuiPCButtonsPainter(TuiCustomTabControl* AParent) : TuiPCButtonedPainter(AParent) {}

  TuiPCPainterClass PainterClass() const override;
  void GetTabContentWOffset(Integer ATabVisibleIndex, Integer (&APair)[2]) override;
  void GetTruncatedTabContentWOffset(Integer ATabVisibleIndex, Integer (&APair)[2]) override {
    GetTabContentWOffset(ATabVisibleIndex, APair);
  }
  bool IsTabPressed(Integer ATabVisibleIndex) override;
  void DrawTabBackground(Integer ATabVisibleIndex) override;
};

// Flat buttons that rise under the mouse, with etched separators between them (style 3).
class TuiPCFlatButtonsPainter : public TuiPCButtonedPainter {
  K58_CLASS(TuiPCFlatButtonsPainter, TuiPCButtonedPainter)

  explicit TuiPCFlatButtonsPainter(TuiCustomTabControl* AParent) : TuiPCButtonedPainter(AParent) {}

  TuiPCPainterClass PainterClass() const override;
  void GetTabContentWOffset(Integer /*ATabVisibleIndex*/, Integer (&APair)[2]) override {
    APair[0] = 2;
    APair[1] = 3;
  }
  void GetTruncatedTabContentWOffset(Integer ATabVisibleIndex, Integer (&APair)[2]) override {
    GetTabContentWOffset(ATabVisibleIndex, APair);
  }
  void DrawTab(Integer ATabVisibleIndex) override;
  void DrawTabBackground(Integer ATabVisibleIndex) override;
  // Whether a separator follows the tab, and the gap it is drawn in.
  bool HasSeparatorAfter(Integer ATabVisibleIndex);
  TRect SeparatorGap(Integer ATabVisibleIndex);
};

// ---- Flat styles ----

// Single-pixel tabs standing on a band along the whole tab row (style 5).
class TuiPCExtraFlatPainter : public TuiPCStandardPainter {
  K58_CLASS(TuiPCExtraFlatPainter, TuiPCStandardPainter)

  explicit TuiPCExtraFlatPainter(TuiCustomTabControl* AParent) : TuiPCStandardPainter(AParent) {}

  TuiPCPainterClass PainterClass() const override;
  Integer CalculateTabNormalWidth(TuiTab* ATab) override;
  void GetTabCorrection(Integer ATabVisibleIndex, TRect& R) override;
  Integer GetButtonsDistance(TuiPCNavigatorButton AButton1, TuiPCNavigatorButton AButton2) override;
  Integer GetButtonsRegionSideOffset() override { return 6; }
  Integer GetButtonsRegionEndOffset() override;
  TColor GetClientColor() override;
  void GetClientRectMargins(TRect& M) override;
  void GetFrameRectMargins(TRect& M) override;
  void GetTabImageAreaOffsets(Integer ATabVisibleIndex, TRect& R) override;
  void GetTabTextAreaOffsets(Integer ATabVisibleIndex, TRect& R) override;
  Integer GetFrameWidth() override { return 1; }
  Integer GetImageTextDistance() override { return 6; }
  Integer GetMinTabNormalWidth() override;
  TColor GetTabColor(Integer ATabVisibleIndex) override;
  void GetTabContentWOffset(Integer ATabVisibleIndex, Integer (&APair)[2]) override;
  void GetTruncatedTabContentWOffset(Integer ATabVisibleIndex, Integer (&APair)[2]) override {
    GetTabContentWOffset(ATabVisibleIndex, APair);
  }
  TPoint GetTabsNormalDistance() override;
  void InitTabsRegionParameters(TuiPCNavigatorButtons AButtons, TuiPCTabsRegionParameters& AParams) override;
  void DoPaint() override;
  void DrawFrameAndClientArea() override;
  void DrawFrame() override { DrawOpenFrame(clBtnHighlight, clBtnShadow); }
  void DrawTabs() override;
  void RepaintTab(Integer ATabVisibleIndex, Integer AChangeType) override;
  Integer CalculateTabNormalHeight() override;
  void GetButtonGlyphInfo(TuiPCNavigatorButton AButton, TuiPCButtonGlyphInfo& AInfo) override;
  TColor GetButtonColor(TuiPCNavigatorButtonState AState) override;
  TColor GetButtonArrowColor(TuiPCNavigatorButtonState AState) override;
  TPoint GetButtonGlyphOffset(TuiPCNavigatorButton AButton) override;
  Integer GetButtonHeight() override { return 13; }
  Integer GetButtonWidth(TuiPCNavigatorButton /*AButton*/) override { return 13; }
  Integer GetTabMinHeight() override { return 17; }
  TColor GetBackgroundColor() override { return clBtnFace; }
  Integer GetTabNormalHeightByContent() override { return TuiPCStandardPainter::GetTabNormalHeightByContent() - 3; }
  void DrawButtonFrame(TRect& R, TuiPCNavigatorButtonState AState) override;
  void DrawTabBackground(Integer ATabVisibleIndex) override;

  // ---- New operations ----
  virtual Integer GetTabsRowBorderWidth() { return 3; }
  virtual void GetActiveTabFocusRect(TRect& R);
  virtual void GetTabSeparatorIndents(Integer (&APair)[2]);
  virtual void FillTabBackground(TuiCanvas* ACanvas, const TRect& R, Integer ATabVisibleIndex);
  virtual void AdjustClientRectMargins(TRect& M);
  virtual TColor GetTabsStripColor() { return clBtnFace; }
  virtual void GetTabsStripRect(TRect& R);
  virtual void GetTabBackgroundRect(Integer ATabVisibleIndex, bool AAsInactive, TRect& R);
  virtual Integer GetTabSeparatorWidth() { return 1; }
  virtual bool IsFrameAroundTabs() { return false; }
  virtual void DrawActiveTabBorder(TRect& R);
  virtual void DrawTabSeparator(const TRect& R);
  virtual void DrawTabsRowBorder(TRect& R, Integer ARow);

  // The row of the active tab, or the row next to the client area without one.
  Integer ActiveRow();
  // The separator drawn after a tab of a row (empty when none).
  TRect SeparatorRect(Integer ATabVisibleIndex);

 protected:
  // One-pixel lines inside R along the sides (0 left, 1 top, 2 right, 3 bottom), each moving that side in.
  void DrawSideLines(TRect& R, std::initializer_list<std::pair<Integer, TColor>> ALines, bool AExclude = false);
  // The side codes of DrawSideLines for a tab side: its client edge and its outer edge.
  static Integer ClientSideCode(TuiTabSide ASide);
  static Integer OuterSideCode(TuiTabSide ASide);
  void DrawActiveTabBorderIn(TRect& R, TColor ALight, TColor ADark);
  // The frame open on the tab side: three side lines, or a closed frame without tabs.
  void DrawOpenFrame(TColor AFirst, TColor ASecond);
};

// The flat tabs on a band with darker lines only (style 6, the ultra-flat look-and-feel's default).
class TuiPCUltraFlatPainter : public TuiPCExtraFlatPainter {
  K58_CLASS(TuiPCUltraFlatPainter, TuiPCExtraFlatPainter)

  explicit TuiPCUltraFlatPainter(TuiCustomTabControl* AParent) : TuiPCExtraFlatPainter(AParent) {}

  TuiPCPainterClass PainterClass() const override;
  Integer GetButtonsDistance(TuiPCNavigatorButton AButton1, TuiPCNavigatorButton AButton2) override;
  Integer GetButtonsRegionSideOffset() override { return 3; }
  void DrawFrame() override { DrawOpenFrame(clBtnShadow, clBtnShadow); }
  void GetButtonGlyphInfo(TuiPCNavigatorButton AButton, TuiPCButtonGlyphInfo& AInfo) override;
  TColor GetButtonColor(TuiPCNavigatorButtonState AState) override;
  TPoint GetButtonGlyphOffset(TuiPCNavigatorButton AButton) override {
    return TuiPCStandardPainter::GetButtonGlyphOffset(AButton);
  }
  Integer GetButtonHeight() override { return 15; }
  Integer GetButtonWidth(TuiPCNavigatorButton AButton) override;
  void DrawButtonFrame(TRect& R, TuiPCNavigatorButtonState AState) override;
  void GetActiveTabFocusRect(TRect& R) override;
  void GetTabSeparatorIndents(Integer (&APair)[2]) override { APair[0] = APair[1] = 2; }
  void DrawActiveTabBorder(TRect& R) override { DrawActiveTabBorderIn(R, clBlack, clBlack); }
  void DrawTabsRowBorder(TRect& R, Integer ARow) override;
};

// The flat tabs filled with the gradients of the current colour scheme (style 8).
class TuiPCOffice11Painter : public TuiPCUltraFlatPainter {
  K58_CLASS(TuiPCOffice11Painter, TuiPCUltraFlatPainter)

  explicit TuiPCOffice11Painter(TuiCustomTabControl* AParent) : TuiPCUltraFlatPainter(AParent) {}

  TuiPCPainterClass PainterClass() const override;
  void DrawClientArea() override;
  void GetClientRectMargins(TRect& M) override;
  bool IsTabTransparent(Integer ATabVisibleIndex) override;
  bool NeedsRedrawOnResize() override;
  void DrawFrameAndClientArea() override;
  void DrawFrame() override;
  void DrawTabTextBackground(TBitmap* ABitmap, const TRect& ATextRect, Integer ATabVisibleIndex) override;
  TColor GetButtonArrowColor(TuiPCNavigatorButtonState AState) override;
  TColor GetBackgroundColor() override { return GetFrameColor(); }
  void DrawButtonBackground(const TRect& R, TuiPCNavigatorButtonState AState) override;
  void DrawButtonFrame(TRect& R, TuiPCNavigatorButtonState AState) override;
  Integer GetTabsRowBorderWidth() override { return 1; }
  void GetTabSeparatorIndents(Integer (&APair)[2]) override;
  void FillTabBackground(TuiCanvas* ACanvas, const TRect& R, Integer ATabVisibleIndex) override;
  void AdjustClientRectMargins(TRect& /*M*/) override {}
  TColor GetTabsStripColor() override;
  void GetTabsStripRect(TRect& R) override;
  Integer GetTabSeparatorWidth() override { return 2; }
  bool IsFrameAroundTabs() override { return HasFrame(); }
  void DrawActiveTabBorder(TRect& R) override { DrawActiveTabBorderIn(R, GetFrameColor(), GetFrameColor()); }
  void DrawTabSeparator(const TRect& R) override;
  void DrawTabsRowBorder(TRect& R, Integer ARow) override;

  virtual TColor GetFrameColor();
  // The gradient pair of a tab (-1: the row band); solid mixes without pcoGradient.
  void GetTabGradientPair(Integer ATabVisibleIndex, TColor& AFrom, TColor& ATo);
  // Both colours of a pair, or their even mix twice without gradients.
  void GradientOrMix(TColor& AFrom, TColor& ATo, bool AGradient);
};

// ---- Slanted styles ----

enum TLinePosition { lpL, lpLT, lpT, lpRT, lpR, lpRB, lpB, lpLB };
using TLinePositions = std::vector<TLinePosition>;
using TPoints = std::vector<TPoint>;

// An outline: points and, for each segment (point i to i + 1), the side or corner it belongs to.
struct TuiPCOutline {
  TPoints Points;
  TLinePositions Positions;
  bool Has(TLinePosition P) const;
};
// The polygon region of an outline: the inside (AInner) or the whole tab with its outline.
HRGN CreateOutlineRegion(const TuiPCOutline& AOutline, bool AInner);

// Tabs with cut or slanted ends that may overlap their neighbours (style 9).
class TuiPCSlantedPainter : public TuiPCStandardPainter {
  K58_CLASS(TuiPCSlantedPainter, TuiPCStandardPainter)

  explicit TuiPCSlantedPainter(TuiCustomTabControl* AParent) : TuiPCStandardPainter(AParent) {}

  TuiPCPainterClass PainterClass() const override;
  Integer CalculateTabNormalWidth(TuiTab* ATab) override;
  Integer GetButtonsDistance(TuiPCNavigatorButton AButton1, TuiPCNavigatorButton AButton2) override;
  Integer GetButtonsRegionTabsIndent() override { return 1; }
  Integer GetButtonsRegionSideOffset() override { return 1; }
  void GetClientRectMargins(TRect& M) override;
  void GetTabImageAreaOffsets(Integer ATabVisibleIndex, TRect& R) override;
  void GetTabTextAreaOffsets(Integer ATabVisibleIndex, TRect& R) override;
  Integer GetFrameWidth() override { return 1; }
  Integer GetImageTextDistance() override { return 3; }
  TColor GetTabColor(Integer ATabVisibleIndex) override;
  HRGN GetTabClipRgn(Integer ATabVisibleIndex) override;
  void GetTabContentWOffset(Integer ATabVisibleIndex, Integer (&APair)[2]) override;
  void GetTruncatedTabContentWOffset(Integer ATabVisibleIndex, Integer (&APair)[2]) override {
    GetTabContentWOffset(ATabVisibleIndex, APair);
  }
  TPoint GetTabsNormalDistance() override;
  bool PtInTab(Integer ATabVisibleIndex, Integer X, Integer Y) override;
  bool IsTabPressed(Integer /*ATabVisibleIndex*/) override { return false; }
  void DrawFrame() override;
  void DrawTabs() override;
  void DrawTabTextBackground(TBitmap* ABitmap, const TRect& ATextRect, Integer ATabVisibleIndex) override;
  void GetButtonGlyphInfo(TuiPCNavigatorButton AButton, TuiPCButtonGlyphInfo& AInfo) override;
  TColor GetButtonColor(TuiPCNavigatorButtonState AState) override;
  TColor GetButtonArrowColor(TuiPCNavigatorButtonState AState) override;
  Integer GetButtonHeight() override { return 17; }
  Integer GetButtonWidth(TuiPCNavigatorButton AButton) override;
  Integer GetTabMinHeight() override { return 0; }
  TRect GetTabsRegionIndents() override;
  Integer GetTabNormalHeightByContent() override;
  void DrawButtonFrame(TRect& R, TuiPCNavigatorButtonState AState) override;
  void DrawTabBackground(Integer ATabVisibleIndex) override;

  // ---- New operations ----
  virtual bool IsActiveTabHotTracked() { return false; }
  virtual void FillTabGradient(TuiCanvas* ACanvas, const TRect& R, bool AMirror, bool AHorizontal,
                               Integer ATabVisibleIndex);
  virtual void DrawActiveTabBase(Integer ATabVisibleIndex);
  virtual void GetTabGradientColors(Integer ATabVisibleIndex, TColor& C1, TColor& C2);
  virtual Integer GetSlantSize();
  virtual Integer GetMinTabWidthBySlants();
  virtual TColor GetFrameColor() { return clBtnShadow; }
  virtual Integer GetTabContentWidth(Integer ATabVisibleIndex);
  virtual TuiTabSlantPositions GetRowSlantPositions();
  virtual void GetImageAreaSize(Integer (&APair)[2]);
  virtual HRGN GetTabShapeRegion(Integer ATabVisibleIndex, bool AInner);
  virtual void DrawTabShapeBorder(Integer ATabVisibleIndex, const TRect& R);
  virtual void DrawTabHighlightBar(Integer ATabVisibleIndex);

  // The outline of a tab standing on its bottom edge in R (W along the row, H across it), not yet turned.
  TuiPCOutline StandingOutline(const TRect& R, TuiTabSide ASide);
  // The standing outline turned to the tab's side, with the line positions turned and the order reversed
  // for tabs at the bottom or right.
  TuiPCOutline TabOutline(Integer ATabVisibleIndex);

 protected:
  // The tab's full rectangle as W (long side), H (short side), L and B in standing orientation.
  void StandingFrame(const TRect& R, TuiTabSide ASide, Integer& L, Integer& B, Integer& W, Integer& H) const;
  void DrawRowBorder(Integer ARow, Integer AFirst, Integer ALast);
};

// Notebook-divider tabs with a long slanted left edge (style 10).
class TuiPCOneNotePainter : public TuiPCSlantedPainter {
  K58_CLASS(TuiPCOneNotePainter, TuiPCSlantedPainter)

  explicit TuiPCOneNotePainter(TuiCustomTabControl* AParent) : TuiPCSlantedPainter(AParent) {}

  TuiPCPainterClass PainterClass() const override;
  Integer GetButtonsRegionSideOffset() override { return 0; }
  void GetTabImageAreaOffsets(Integer /*ATabVisibleIndex*/, TRect& R) override { R = TRect{0, 3, 0, 1}; }
  void GetTabTextAreaOffsets(Integer /*ATabVisibleIndex*/, TRect& R) override { R = TRect{0, 4, 0, 1}; }
  void GetTabContentWOffset(Integer ATabVisibleIndex, Integer (&APair)[2]) override;
  TPoint GetTabsNormalDistance() override;
  TRect GetTabsRegionIndents() override;
  bool IsActiveTabHotTracked() override { return true; }
  void DrawActiveTabBase(Integer ATabVisibleIndex) override;
  Integer GetSlantSize() override;
  Integer GetMinTabWidthBySlants() override { return GetSlantSize() + 4; }
  TColor GetFrameColor() override;
  TuiTabSlantPositions GetRowSlantPositions() override { return TuiTabSlantPositions().Include(spLeft); }
  HRGN GetTabShapeRegion(Integer ATabVisibleIndex, bool AInner) override;
  void DrawTabShapeBorder(Integer ATabVisibleIndex, const TRect& R) override;
  void DrawTabHighlightBar(Integer /*ATabVisibleIndex*/) override {}

 private:
  // The colour behind a control point: the page colour of the tab there, or the control's.
  TColor BackgroundAt(Integer X, Integer Y);
};

// The colours of the OneNote style (index 0 to 5), for the current colour scheme.
TColor OneNoteColor(Integer AIndex);
// clBtnFace with each component raised by 20.
TColor LightButtonFace();

// Brightens a colour by a percentage of its brightness (hue and saturation kept).
TColor BrightenColor(TColor AColor, Integer APercent);

namespace k58::extra {
// The painter classes of this unit, in registration order.
const std::vector<TuiPCPainterClass>& StandardPainterClasses();
// The classes of each family of styles.
TuiPCPainterClass ButtonsPainterClass();
TuiPCPainterClass FlatButtonsPainterClass();
TuiPCPainterClass ExtraFlatPainterClass();
TuiPCPainterClass UltraFlatPainterClass();
TuiPCPainterClass Office11PainterClass();
TuiPCPainterClass SlantedPainterClass();
TuiPCPainterClass OneNotePainterClass();
}  // namespace k58::extra
