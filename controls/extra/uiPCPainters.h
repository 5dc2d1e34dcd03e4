// The tab painters: the standard base shared by every style (navigator buttons, tab sizes, the tab
// drawing sequence, the frame and the background), the classic notebook Tabs style with its themed
// drawing, and the Flat style. The unit registers its painter classes with the painters factory when the
// program starts and unregisters them when it ends.
//
// Contract: main thread only; painters draw only through their control's canvas, in client coordinates.
// Navigator button bounds are recalculated by every InitTabsRegionParameters.
#pragma once

#include <vector>

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

// Brightens a colour by a percentage of its brightness (hue and saturation kept).
TColor BrightenColor(TColor AColor, Integer APercent);

namespace k58::extra {
// The painter classes of this unit, in registration order.
const std::vector<TuiPCPainterClass>& StandardPainterClasses();
}  // namespace k58::extra
