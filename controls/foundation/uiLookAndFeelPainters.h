// The look-and-feel painters: stateless classes whose virtual class operations draw borders, buttons,
// arrows, check and radio glyphs, expand buttons, headers, footers, small buttons, tabs, indicators,
// scroll-bar parts and splitters in one look, and answer sizes and colours. A control asks its
// look-and-feel for the painter class and calls these operations on it with its canvas.
//
// A painter class reference (TuiLookAndFeelPainterClass) points to the one immutable instance of the
// class (ClassObjectOf), so a base routine that calls another operation reaches the descendant's version.
// Class tree: TuiCustomLookAndFeelPainter (neutral behaviour) -> TuiStandardLookAndFeelPainter ->
// TuiWinXPLookAndFeelPainter (visual styles, falling back element by element); -> TuiFlatLookAndFeelPainter;
// -> TuiUltraFlatLookAndFeelPainter -> TuiOffice11LookAndFeelPainter.
//
// Colours are class-library colours; clDefault asks for the painter's own colour for the state. Every
// operation draws in logical coordinates of the canvas and leaves its brush solid.
#pragma once

#include <memory>

#include "controls/foundation/uiClasses.h"
#include "controls/foundation/uiGraphics.h"
#include "platform/forms/ImgList.h"
#include "platform/theme/Theme.h"

// The state argument of every button-like operation.
enum TuiButtonState { uibsDefault, uibsNormal, uibsHot, uibsPressed, uibsDisabled };
K58_ENUM_TYPE(TuiButtonState, uibsDefault, uibsNormal, uibsHot, uibsPressed, uibsDisabled)

enum TuiCheckBoxState { cbsUnchecked, cbsChecked, cbsGrayed };
K58_ENUM_TYPE(TuiCheckBoxState, cbsUnchecked, cbsChecked, cbsGrayed)

enum TuiArrowDirection { adUp, adDown, adLeft, adRight };

// The painter's style code.
enum TuiLookAndFeelStyle { lfsFlat, lfsStandard, lfsUltraFlat, lfsWinXP, lfsOffice11 };

enum TuiLookAndFeelKind { lfFlat, lfStandard, lfUltraFlat, lfOffice11 };
K58_ENUM_TYPE(TuiLookAndFeelKind, lfFlat, lfStandard, lfUltraFlat, lfOffice11)

// Flat, UltraFlat and Office11 map to their kinds, every other code to lfStandard.
TuiLookAndFeelKind LookAndFeelStyleToKind(TuiLookAndFeelStyle AStyle);

// The parts of a scroll bar.
enum TuiScrollBarPart { sbpNone, sbpLineUp, sbpLineDown, sbpThumbnail, sbpPageUp, sbpPageDown };

// The images of an indicator cell (kind k shows image k - 1).
enum TuiIndicatorKind { ikNone, ikArrow, ikEdit, ikInsert, ikMultiDot, ikMultiArrow };

// Which arrows a header with arrows shows.
using TuiHeaderArrows = Integer;
inline constexpr TuiHeaderArrows uihaLeft = 1;
inline constexpr TuiHeaderArrows uihaRight = 2;

// Colours and font of a header.
struct TuiHeaderParams {
  TColor Color = clBtnFace;
  TFont* Font = nullptr;
  TColor TextColor = clBtnText;
};

// A custom background for content: answers true when it painted R.
using TuiDrawBackgroundEvent = Delegate<bool(TuiCanvas* ACanvas, const TRect& R)>;

class TuiCustomLookAndFeelPainter;
using TuiLookAndFeelPainterClass = const TuiCustomLookAndFeelPainter*;

// The painter class of a class reference (the class's one instance); nil for a class that is no painter.
TuiLookAndFeelPainterClass PainterClassOf(TClass AClass);
template <class T>
TuiLookAndFeelPainterClass PainterClass() {
  return ClassObjectOf<T>();
}

class TuiCustomLookAndFeelPainter : public TObject {
  K58_CLASS(TuiCustomLookAndFeelPainter, TObject)

  TuiCustomLookAndFeelPainter() = default;

  // ---- General and content ----
  virtual void PaintDropDownArrow(TuiCanvas* ACanvas, const TRect& R, TColor AColor) const;
  // The background (the event, when it reports it painted, else a fill in ABkColor), then the text.
  virtual void PaintContent(TuiCanvas* ACanvas, const TRect& R, const TRect& ATextRect, TuiButtonState AState,
                            TAlignment AHAlign, TuiVertAlignment AVAlign, bool AMultiLine, bool AEndEllipsis,
                            const String& AText, TFont* AFont, TColor ATextColor, TColor ABkColor,
                            const TuiDrawBackgroundEvent& AOnBackground, bool ASingleColor = false) const;
  virtual TRect GetFooterCellContentBounds(const TRect& R) const;
  virtual TRect GetFooterCellTextBounds(const TRect& R) const;
  virtual TuiLookAndFeelStyle GetLookAndFeelStyle() const;

  // ---- Colour queries ----
  virtual TColor BlackColorA() const;
  virtual TColor BlackColorB() const;
  virtual TColor BlackColorC() const;
  virtual TColor GrayColor() const;
  virtual TColor WhiteColorA() const;
  virtual TColor ShadowColorA() const;
  virtual TColor SkyBlueColor() const;
  virtual TColor NavyColor() const;
  virtual TColor BlueColorA() const;
  virtual TColor ShadowColorB() const;
  virtual TColor WindowTextColorA() const;
  virtual TColor WindowTextColorB() const;
  virtual TColor WindowTextColorC() const;
  virtual TColor WindowColorA() const;
  virtual TColor WindowColorB() const;
  virtual TColor WindowColorC() const;
  virtual TColor WindowTextColorD() const;
  virtual TColor WindowColorD() const;
  virtual TColor WindowTextColorE() const;
  virtual TColor ShadowColorC() const;
  virtual TColor HighlightColorA() const;
  virtual TColor FaceTextColorA() const;
  virtual TColor FaceColorA() const;
  virtual TColor FaceTextColorB() const;
  virtual TColor ShadowColorD() const;
  virtual TColor FaceColorB() const;
  virtual TColor FaceTextColorC() const;
  virtual TColor ShadowColorE() const;
  virtual TColor FaceColorC() const;
  virtual TColor FaceColorD() const;
  virtual TColor FaceTextColorD() const;
  virtual TColor ShadowColorF() const;
  virtual TColor FaceColorE() const;
  virtual TColor FaceColorF() const;
  virtual TColor FaceTextColorE() const;
  virtual TColor BlueColorB() const;
  virtual TColor LinkedShadowColor() const;
  virtual TColor PanelBackgroundColor() const;
  virtual TColor SelectionColorA() const;
  virtual TColor SelectionTextColorA() const;
  virtual TColor WindowColorE() const;
  virtual TColor WindowTextColorF() const;
  virtual TColor FrameColor() const;
  virtual TColor FaceColorG() const;
  virtual TColor InfoColor() const;
  virtual TColor WindowTextColorG() const;
  virtual TColor SelectionColorB() const;
  virtual TColor SelectionTextColorB() const;
  virtual TColor FaceColorH() const;
  virtual TColor FaceColorI() const;
  virtual TColor FaceTextColorF() const;
  virtual TColor FaceColorJ() const;
  virtual TColor WhiteColorB() const;
  virtual TColor BlackColorD() const;
  virtual TColor FaceColorK() const;
  virtual TColor FaceTextColorG() const;
  virtual TColor WhiteColorC() const;

  // ---- Arrows, borders and buttons ----
  virtual void PaintArrow(TuiCanvas* ACanvas, const TRect& R, TuiArrowDirection ADirection, TColor AColor) const;
  virtual void PaintArrowButton(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState,
                                TuiArrowDirection ADirection, bool AIsButton = true) const;
  virtual void PaintButtonBackground(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState) const;
  virtual void PaintArrowGlyph(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState,
                               TuiArrowDirection ADirection) const;
  virtual Integer GetBorderWidth() const;
  virtual void PaintBorder(TuiCanvas* ACanvas, const TRect& R) const;
  virtual TRect AdjustGroupButtonBounds(const TRect& R, Integer AButtonCount, Integer AButtonIndex) const;
  virtual Integer GetButtonBorderWidth(TuiButtonState AState = uibsNormal) const;
  virtual TColor GetButtonFaceColor(TuiButtonState AState) const;
  virtual TRect GetButtonFocusBounds(TuiCanvas* ACanvas, const TRect& R) const;
  // The border widths of a button in a group (left, top, right, bottom).
  virtual TRect GetButtonGroupBorders(Integer AButtonCount, Integer AButtonIndex) const;
  virtual Integer GetButtonTextOffset() const;
  virtual Integer GetButtonPressedShift() const;
  virtual TColor GetButtonSymbolColor(TuiButtonState AState, TColor ADefaultColor = clDefault) const;
  virtual TuiButtonState GetButtonSymbolState(TuiButtonState AState) const;
  virtual void PaintButton(TuiCanvas* ACanvas, TRect R, const String& ACaption, TuiButtonState AState,
                           bool AWithBorder = true, TColor AFaceColor = clDefault, TColor ATextColor = clDefault) const;
  virtual void PaintGroupButton(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState, Integer AButtonCount,
                                Integer AButtonIndex, TColor ABorderColor) const;
  virtual void PaintButtonBorder(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState) const;
  virtual void PaintButtonGroupBorder(TuiCanvas* ACanvas, const TRect& R, bool AEmphasised, bool AHot) const;

  // ---- Expand buttons, check boxes, radio buttons ----
  virtual void PaintExpandButton(TuiCanvas* ACanvas, const TRect& R, bool AExpanded, TColor AColor = clDefault) const;
  virtual bool IsExpandButtonPaintedFirst() const;
  virtual void PaintGroupExpandButton(TuiCanvas* ACanvas, const TRect& R, bool AExpanded, TuiButtonState AState) const;
  virtual void PaintSmallExpandButton(TuiCanvas* ACanvas, const TRect& R, bool AExpanded, TColor AFrameColor,
                                      TColor AFillColor = clDefault) const;
  virtual Integer GetExpandButtonSize() const;
  virtual Integer GetGroupExpandButtonSize() const;
  virtual bool HasHotTrackedButtons() const;
  virtual bool IsPointOverExpandButton(const TRect& R, const TPoint& P) const;
  virtual Integer GetSmallExpandButtonSize() const;
  virtual Integer GetCheckBorderWidth() const;
  virtual TColor GetCheckBackgroundColor(TuiButtonState AState) const;
  virtual void PaintCheckMark(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState, bool AChecked,
                              TColor ACheckColor) const;
  virtual void PaintCheckBorder(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState) const;
  virtual void PaintCheckButton(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState, bool AChecked) const;
  virtual void PaintRadioButton(TuiCanvas* ACanvas, Integer X, Integer Y, TuiButtonState AState, bool AChecked,
                                bool AFocused, TColor ABackgroundColor, bool AIsDesigning = false) const;

  // ---- Headers ----
  virtual void PaintHeader(TuiCanvas* ACanvas, const TRect& R, const TRect& ATextRect, TuiBorders ANeighbors,
                           TuiBorders ABorders, TuiButtonState AState, TAlignment AHAlign, TuiVertAlignment AVAlign,
                           bool AMultiLine, bool AEndEllipsis, const String& AText, TFont* AFont, TColor ATextColor,
                           TColor ABkColor, const TuiDrawBackgroundEvent& AOnBackground, bool AIsLast = false) const;
  virtual void PaintHeaderSimple(TuiCanvas* ACanvas, const TRect& R, const TRect& ATextRect, TuiBorders ANeighbors,
                                 TuiBorders ABorders, TuiButtonState AState, TAlignment AHAlign,
                                 TuiVertAlignment AVAlign, bool AMultiLine, bool AEndEllipsis, const String& AText,
                                 TFont* AFont, TColor ATextColor, TColor ABkColor,
                                 const TuiDrawBackgroundEvent& AOnBackground) const;
  virtual void PaintHeaderBorder(TuiCanvas* ACanvas, const TRect& R, TuiBorders ANeighbors, TuiBorders ABorders) const;
  virtual void InvertHeaderArea(TuiCanvas* ACanvas, const TRect& R) const;
  virtual void PaintHeaderSection(TuiCanvas* ACanvas, const TRect& R, const TRect& ATextRect, TuiBorders ANeighbors,
                                  TuiBorders ABorders, TuiButtonState AState, TAlignment AHAlign,
                                  TuiVertAlignment AVAlign, bool AMultiLine, bool AEndEllipsis, const String& AText,
                                  TFont* AFont, TColor ATextColor, TColor ABkColor) const;
  virtual void PaintHeaderSectionBorder(TuiCanvas* ACanvas, const TRect& R, TuiBorders ABorders,
                                        TuiButtonState AState) const;
  virtual void PaintHeaderSectionContent(TuiCanvas* ACanvas, const TRect& R, const TRect& ATextRect,
                                         TuiButtonState AState, TAlignment AHAlign, TuiVertAlignment AVAlign,
                                         bool AMultiLine, bool AEndEllipsis, const String& AText, TFont* AFont,
                                         TColor ATextColor, TColor ABkColor) const;
  virtual void PaintHeaderSectionText(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState, TAlignment AHAlign,
                                      TuiVertAlignment AVAlign, bool AMultiLine, bool AEndEllipsis,
                                      const String& AText, TFont* AFont, TColor ATextColor) const;
  virtual void PaintSortMark(TuiCanvas* ACanvas, const TRect& R, bool AAscending) const;
  virtual TuiBorders GetHeaderBorders(TuiBorders ANeighbors) const;
  virtual Integer GetHeaderBorderWidth() const;
  virtual TRect GetHeaderOuterBounds(const TRect& R, TuiBorders ANeighbors, TuiBorders ABorders) const;
  virtual TRect GetHeaderContentBounds(const TRect& R, TuiBorders ABorders) const;
  virtual bool HeaderStyleFlag() const;
  virtual Integer GetHeaderHeight(Integer AFontHeight) const;
  virtual Integer GetHeaderSectionBorderWidth(TuiButtonState AState) const;
  virtual TRect GetHeaderSectionTextBounds(const TRect& R, TuiButtonState AState) const;
  virtual TRect GetHeaderSectionContentBounds(const TRect& R, TuiButtonState AState) const;
  virtual Integer GetHeaderWidth(TuiCanvas* ACanvas, TuiBorders ABorders, TFont* AFont, const String& AText) const;
  virtual bool SupportsHeaderHotTracking() const;
  virtual TPoint GetSortMarkAreaSize() const;
  virtual TPoint GetSortMarkSize() const;
  // The background and text colours of a header.
  virtual TColor HeaderColor() const;
  virtual TColor HeaderTextColor() const;

  // ---- Footers ----
  virtual void PaintFooterCell(TuiCanvas* ACanvas, const TRect& R, TAlignment AHAlign, TuiVertAlignment AVAlign,
                               bool AMultiLine, const String& AText, TFont* AFont, TColor ATextColor, TColor ABkColor,
                               const TuiDrawBackgroundEvent& AOnBackground) const;
  virtual TuiBorders GetFooterBorders() const;
  virtual Integer GetFooterBorderWidth() const;
  virtual Integer GetFooterCellBorderWidth() const;
  virtual Integer GetFooterCellOffset() const;
  virtual bool FooterStyleFlag() const;
  virtual TColor GetFooterSeparatorColor() const;
  virtual Integer GetFooterSeparatorWidth() const;
  virtual void PaintFooterBorder(TuiCanvas* ACanvas, const TRect& R) const;
  virtual void PaintFooterCellBorder(TuiCanvas* ACanvas, const TRect& R) const;
  virtual void PaintFooterSeparator(TuiCanvas* ACanvas, const TRect& R) const;

  // ---- Small check, close, drop-down and image buttons ----
  virtual void PaintSmallCheckButton(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState, bool AChecked) const;
  virtual void PaintCloseButton(TuiCanvas* ACanvas, TRect R, TuiButtonState AState) const;
  virtual void PaintDropDownButton(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState, bool AIsActive) const;
  virtual TPoint GetSmallCheckButtonSize() const;
  virtual TPoint GetCloseButtonSize() const;
  virtual TPoint GetDropDownButtonSize() const;
  virtual bool DropDownStyleFlag() const;
  virtual TPoint GetButtonSizeA() const;
  virtual TPoint GetButtonSizeB() const;
  virtual TPoint GetSmallButtonSize() const;
  virtual TPoint GetButtonSizeC() const;
  virtual TPoint GetButtonSizeD() const;
  virtual void PaintMarkButton(TuiCanvas* ACanvas, TRect R, TuiButtonState AState) const;
  virtual void PaintButtonMark(TuiCanvas* ACanvas, TRect R, TuiButtonState AState) const;
  // The auto-hide pin: image 0 pinned, 1 unpinned.
  virtual void PaintImageButton(TuiCanvas* ACanvas, TRect R, TuiButtonState AState, Integer AImageIndex,
                                TColor ABackgroundColor) const;

  // ---- Tabs, indicator, scroll bar, splitter ----
  virtual void PaintTab(TuiCanvas* ACanvas, const TRect& R, TuiBorders ABorders, const String& AText,
                        TuiButtonState AState, bool AVertical, TFont* AFont, TColor ATextColor, TColor ABkColor,
                        bool AShowPrefix = false) const;
  virtual void PaintTabBorder(TuiCanvas* ACanvas, const TRect& R, TuiBorder ABorder, TuiBorders ABorders,
                              bool AVertical) const;
  virtual void PaintTabsRoot(TuiCanvas* ACanvas, const TRect& R, TuiBorders ABorders, bool AVertical) const;
  virtual Integer GetTabOverlapA() const;
  virtual Integer GetTabOverlapB() const;
  virtual Integer GetTabBorderWidth() const;
  virtual void PaintIndicatorItem(TuiCanvas* ACanvas, const TRect& R, TuiIndicatorKind AKind, TColor ABkColor,
                                  const TuiDrawBackgroundEvent& AOnBackground) const;
  virtual void PaintIndicatorItemEx(TuiCanvas* ACanvas, const TRect& R, TuiIndicatorKind AKind, TColor ABkColor,
                                    const TuiDrawBackgroundEvent& AOnBackground) const;
  virtual bool IndicatorStyleFlag() const;
  virtual void PaintScrollBarPart(TuiCanvas* ACanvas, bool AHorizontal, const TRect& R, TuiScrollBarPart APart,
                                  TuiButtonState AState) const;
  virtual void PaintHeaderWithArrows(TuiCanvas* ACanvas, const TRect& R, const String& AText, TuiBorders ANeighbors,
                                     const TuiHeaderParams& AParams, Integer AArrowMargin, TuiHeaderArrows AArrows,
                                     const TuiDrawBackgroundEvent& AOnBackground) const;
  virtual void PaintFrame(TuiCanvas* ACanvas, const TRect& R) const;
  virtual void PaintSplitterButton(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState) const;
  virtual void PaintSplitterBorder(TuiCanvas* ACanvas, const TRect& R, bool AHorizontal,
                                   const TuiBackgroundParams& ABackground) const;

  // ---- Shared drawing routines of the looks ----
  // The corners of the arrow triangle for R (Proportional: R made square about its centre first).
  static void CalculateArrowPoints(TRect R, TPoint& P0, TPoint& P1, TPoint& P2, TuiArrowDirection ADirection,
                                   bool AProportional);
  // The plus (or, expanded, minus) cross of an expand button centred in R.
  static void PaintExpandCross(TuiCanvas* ACanvas, const TRect& R, TColor AColor, bool AExpanded);
  // The sort triangle of GetSortMarkSize centred in R.
  void PaintSortMarkTriangle(TuiCanvas* ACanvas, const TRect& R, bool AAscending, TColor ALightColor,
                             TColor ADarkColor) const;

 protected:
  static void FillTriangle(TuiCanvas* ACanvas, const TPoint& P0, const TPoint& P1, const TPoint& P2, TColor AColor);
  void PaintArrowTriangle(TuiCanvas* ACanvas, const TRect& R, TuiArrowDirection ADirection, TColor AColor,
                          bool AProportional) const;
  void PaintCloseCross(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState) const;
  void PaintGroupExpandMark(TuiCanvas* ACanvas, const TRect& R, bool AExpanded, TuiButtonState AState) const;
  static void PaintHeaderArrows(TuiCanvas* ACanvas, TRect R, Integer ABorderWidth, Integer AArrowMargin,
                                TuiHeaderArrows AArrows);
  static void PaintIndicatorImage(TuiCanvas* ACanvas, const TRect& R, TuiIndicatorKind AKind);
  // The canvas text flags of an alignment.
  static TuiCanvasTextFlags TextFlags(TAlignment AHAlign, TuiVertAlignment AVAlign, bool AMultiLine,
                                      bool AEndEllipsis);
};

class TuiStandardLookAndFeelPainter : public TuiCustomLookAndFeelPainter {
  K58_CLASS(TuiStandardLookAndFeelPainter, TuiCustomLookAndFeelPainter)

  TuiStandardLookAndFeelPainter() = default;

  TuiLookAndFeelStyle GetLookAndFeelStyle() const override;
  Integer GetBorderWidth() const override;
  Integer GetButtonBorderWidth(TuiButtonState AState) const override;
  Integer GetButtonTextOffset() const override;
  Integer GetButtonPressedShift() const override;
  Integer GetExpandButtonSize() const override;
  bool HasHotTrackedButtons() const override;
  Integer GetHeaderBorderWidth() const override;
  Integer GetHeaderSectionBorderWidth(TuiButtonState AState) const override;
  TPoint GetSortMarkSize() const override;
  Integer GetFooterBorderWidth() const override;
  Integer GetFooterCellBorderWidth() const override;
  Integer GetFooterCellOffset() const override;
  Integer GetTabBorderWidth() const override;
  TColor InfoColor() const override;

  void PaintBorder(TuiCanvas* ACanvas, const TRect& R) const override;
  void PaintButtonBorder(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState) const override;
  void PaintExpandButton(TuiCanvas* ACanvas, const TRect& R, bool AExpanded, TColor AColor) const override;
  void PaintGroupExpandButton(TuiCanvas* ACanvas, const TRect& R, bool AExpanded, TuiButtonState AState) const override;
  void PaintCheckBorder(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState) const override;
  void PaintHeaderBorder(TuiCanvas* ACanvas, const TRect& R, TuiBorders ANeighbors, TuiBorders ABorders) const override;
  void PaintHeaderSectionBorder(TuiCanvas* ACanvas, const TRect& R, TuiBorders ABorders,
                                TuiButtonState AState) const override;
  void PaintSortMark(TuiCanvas* ACanvas, const TRect& R, bool AAscending) const override;
  void PaintFooterBorder(TuiCanvas* ACanvas, const TRect& R) const override;
  void PaintFooterCellBorder(TuiCanvas* ACanvas, const TRect& R) const override;
  void PaintDropDownButton(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState, bool AIsActive) const override;
  void PaintButtonMark(TuiCanvas* ACanvas, TRect R, TuiButtonState AState) const override;
  void PaintTabsRoot(TuiCanvas* ACanvas, const TRect& R, TuiBorders ABorders, bool AVertical) const override;
  void PaintTabBorder(TuiCanvas* ACanvas, const TRect& R, TuiBorder ABorder, TuiBorders ABorders,
                      bool AVertical) const override;
  void PaintScrollBarPart(TuiCanvas* ACanvas, bool AHorizontal, const TRect& R, TuiScrollBarPart APart,
                          TuiButtonState AState) const override;
  void PaintHeaderWithArrows(TuiCanvas* ACanvas, const TRect& R, const String& AText, TuiBorders ANeighbors,
                             const TuiHeaderParams& AParams, Integer AArrowMargin, TuiHeaderArrows AArrows,
                             const TuiDrawBackgroundEvent& AOnBackground) const override;
  void PaintSplitterBorder(TuiCanvas* ACanvas, const TRect& R, bool AHorizontal,
                           const TuiBackgroundParams& ABackground) const override;
};

class TuiFlatLookAndFeelPainter : public TuiCustomLookAndFeelPainter {
  K58_CLASS(TuiFlatLookAndFeelPainter, TuiCustomLookAndFeelPainter)

  TuiFlatLookAndFeelPainter() = default;

  TuiLookAndFeelStyle GetLookAndFeelStyle() const override;
  Integer GetBorderWidth() const override;
  Integer GetButtonBorderWidth(TuiButtonState AState) const override;
  Integer GetButtonTextOffset() const override;
  Integer GetButtonPressedShift() const override;
  Integer GetExpandButtonSize() const override;
  bool HasHotTrackedButtons() const override;
  Integer GetHeaderBorderWidth() const override;
  TPoint GetSortMarkSize() const override;
  Integer GetFooterBorderWidth() const override;
  Integer GetFooterCellBorderWidth() const override;
  Integer GetFooterCellOffset() const override;
  Integer GetTabBorderWidth() const override;

  void PaintBorder(TuiCanvas* ACanvas, const TRect& R) const override;
  void PaintButtonBorder(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState) const override;
  void PaintExpandButton(TuiCanvas* ACanvas, const TRect& R, bool AExpanded, TColor AColor) const override;
  void PaintCheckBorder(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState) const override;
  void PaintHeaderBorder(TuiCanvas* ACanvas, const TRect& R, TuiBorders ANeighbors, TuiBorders ABorders) const override;
  void PaintHeaderSectionBorder(TuiCanvas* ACanvas, const TRect& R, TuiBorders ABorders,
                                TuiButtonState AState) const override;
  void PaintSortMark(TuiCanvas* ACanvas, const TRect& R, bool AAscending) const override;
  void PaintFooterBorder(TuiCanvas* ACanvas, const TRect& R) const override;
  void PaintFooterCellBorder(TuiCanvas* ACanvas, const TRect& R) const override;
  void PaintDropDownButton(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState, bool AIsActive) const override;
  void PaintButtonMark(TuiCanvas* ACanvas, TRect R, TuiButtonState AState) const override;
  void PaintTabsRoot(TuiCanvas* ACanvas, const TRect& R, TuiBorders ABorders, bool AVertical) const override;
  void PaintTabBorder(TuiCanvas* ACanvas, const TRect& R, TuiBorder ABorder, TuiBorders ABorders,
                      bool AVertical) const override;
  void PaintScrollBarPart(TuiCanvas* ACanvas, bool AHorizontal, const TRect& R, TuiScrollBarPart APart,
                          TuiButtonState AState) const override;
  void PaintHeaderWithArrows(TuiCanvas* ACanvas, const TRect& R, const String& AText, TuiBorders ANeighbors,
                             const TuiHeaderParams& AParams, Integer AArrowMargin, TuiHeaderArrows AArrows,
                             const TuiDrawBackgroundEvent& AOnBackground) const override;
  void PaintSplitterBorder(TuiCanvas* ACanvas, const TRect& R, bool AHorizontal,
                           const TuiBackgroundParams& ABackground) const override;
};

class TuiUltraFlatLookAndFeelPainter : public TuiCustomLookAndFeelPainter {
  K58_CLASS(TuiUltraFlatLookAndFeelPainter, TuiCustomLookAndFeelPainter)

  TuiUltraFlatLookAndFeelPainter() = default;

  TuiLookAndFeelStyle GetLookAndFeelStyle() const override;
  Integer GetBorderWidth() const override;
  Integer GetButtonBorderWidth(TuiButtonState AState) const override;
  TColor GetButtonFaceColor(TuiButtonState AState) const override;
  TRect GetButtonFocusBounds(TuiCanvas* ACanvas, const TRect& R) const override;
  TRect GetButtonGroupBorders(Integer AButtonCount, Integer AButtonIndex) const override;
  TColor GetButtonSymbolColor(TuiButtonState AState, TColor ADefaultColor) const override;
  TuiButtonState GetButtonSymbolState(TuiButtonState AState) const override;
  Integer GetButtonTextOffset() const override;
  Integer GetButtonPressedShift() const override;
  Integer GetExpandButtonSize() const override;
  bool HasHotTrackedButtons() const override;
  TuiBorders GetHeaderBorders(TuiBorders ANeighbors) const override;
  Integer GetHeaderBorderWidth() const override;
  TPoint GetSortMarkSize() const override;
  TPoint GetSmallButtonSize() const override;
  TPoint GetCloseButtonSize() const override;
  TuiBorders GetFooterBorders() const override;
  Integer GetFooterBorderWidth() const override;
  Integer GetFooterCellBorderWidth() const override;
  Integer GetFooterCellOffset() const override;
  Integer GetTabBorderWidth() const override;
  TColor WindowTextColorB() const override;
  TColor FrameColor() const override;

  void PaintBorder(TuiCanvas* ACanvas, const TRect& R) const override;
  void PaintButtonBorder(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState) const override;
  void PaintGroupButton(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState, Integer AButtonCount,
                        Integer AButtonIndex, TColor ABorderColor) const override;
  void PaintButtonGroupBorder(TuiCanvas* ACanvas, const TRect& R, bool AEmphasised, bool AHot) const override;
  void PaintExpandButton(TuiCanvas* ACanvas, const TRect& R, bool AExpanded, TColor AColor) const override;
  void PaintCheckBorder(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState) const override;
  void PaintHeaderBorder(TuiCanvas* ACanvas, const TRect& R, TuiBorders ANeighbors, TuiBorders ABorders) const override;
  void PaintHeaderSimple(TuiCanvas* ACanvas, const TRect& R, const TRect& ATextRect, TuiBorders ANeighbors,
                         TuiBorders ABorders, TuiButtonState AState, TAlignment AHAlign, TuiVertAlignment AVAlign,
                         bool AMultiLine, bool AEndEllipsis, const String& AText, TFont* AFont, TColor ATextColor,
                         TColor ABkColor, const TuiDrawBackgroundEvent& AOnBackground) const override;
  void PaintHeaderSectionBorder(TuiCanvas* ACanvas, const TRect& R, TuiBorders ABorders,
                                TuiButtonState AState) const override;
  void PaintHeaderSectionContent(TuiCanvas* ACanvas, const TRect& R, const TRect& ATextRect, TuiButtonState AState,
                                 TAlignment AHAlign, TuiVertAlignment AVAlign, bool AMultiLine, bool AEndEllipsis,
                                 const String& AText, TFont* AFont, TColor ATextColor, TColor ABkColor) const override;
  void PaintSortMark(TuiCanvas* ACanvas, const TRect& R, bool AAscending) const override;
  void PaintFooterBorder(TuiCanvas* ACanvas, const TRect& R) const override;
  void PaintFooterCellBorder(TuiCanvas* ACanvas, const TRect& R) const override;
  void PaintDropDownButton(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState, bool AIsActive) const override;
  void PaintTabBorder(TuiCanvas* ACanvas, const TRect& R, TuiBorder ABorder, TuiBorders ABorders,
                      bool AVertical) const override;
  void PaintTabsRoot(TuiCanvas* ACanvas, const TRect& R, TuiBorders ABorders, bool AVertical) const override;
  void PaintScrollBarPart(TuiCanvas* ACanvas, bool AHorizontal, const TRect& R, TuiScrollBarPart APart,
                          TuiButtonState AState) const override;
  void PaintSplitterButton(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState) const override;
  void PaintSplitterBorder(TuiCanvas* ACanvas, const TRect& R, bool AHorizontal,
                           const TuiBackgroundParams& ABackground) const override;

  virtual TColor GetButtonBorderColor(TuiButtonState AState) const;
  virtual TColor GetSeparatorColor() const;
  virtual TColor GetSymbolLineColor() const;
  virtual TColor GetHotBorderColor() const;
};

class TuiOffice11LookAndFeelPainter : public TuiUltraFlatLookAndFeelPainter {
  K58_CLASS(TuiOffice11LookAndFeelPainter, TuiUltraFlatLookAndFeelPainter)

  TuiOffice11LookAndFeelPainter() = default;

  TuiLookAndFeelStyle GetLookAndFeelStyle() const override;
  TColor GetButtonFaceColor(TuiButtonState AState) const override;
  TColor GetButtonSymbolColor(TuiButtonState AState, TColor ADefaultColor) const override;
  Integer GetSmallExpandButtonSize() const override;
  bool IsExpandButtonPaintedFirst() const override;
  TColor GetCheckBackgroundColor(TuiButtonState AState) const override;
  TuiBorders GetHeaderBorders(TuiBorders ANeighbors) const override;
  bool SupportsHeaderHotTracking() const override;
  TColor GetFooterSeparatorColor() const override;
  TColor FrameColor() const override;

  TColor ShadowColorB() const override;
  TColor ShadowColorC() const override;
  TColor HighlightColorA() const override;
  TColor FaceColorA() const override;
  TColor FaceTextColorB() const override;
  TColor FaceColorB() const override;
  TColor ShadowColorE() const override;
  TColor FaceColorC() const override;
  TColor FaceColorD() const override;
  TColor ShadowColorF() const override;
  TColor PanelBackgroundColor() const override;
  TColor SelectionColorA() const override;
  TColor SelectionTextColorA() const override;
  TColor FaceColorG() const override;
  TColor FaceColorI() const override;
  TColor FaceColorJ() const override;
  TColor FaceColorK() const override;
  TColor WhiteColorC() const override;

  void PaintContent(TuiCanvas* ACanvas, const TRect& R, const TRect& ATextRect, TuiButtonState AState,
                    TAlignment AHAlign, TuiVertAlignment AVAlign, bool AMultiLine, bool AEndEllipsis,
                    const String& AText, TFont* AFont, TColor ATextColor, TColor ABkColor,
                    const TuiDrawBackgroundEvent& AOnBackground, bool ASingleColor) const override;
  void PaintBorder(TuiCanvas* ACanvas, const TRect& R) const override;
  void PaintButtonBorder(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState) const override;
  void PaintExpandButton(TuiCanvas* ACanvas, const TRect& R, bool AExpanded, TColor AColor) const override;
  void PaintSmallExpandButton(TuiCanvas* ACanvas, const TRect& R, bool AExpanded, TColor AFrameColor,
                              TColor AFillColor) const override;
  void PaintHeader(TuiCanvas* ACanvas, const TRect& R, const TRect& ATextRect, TuiBorders ANeighbors,
                   TuiBorders ABorders, TuiButtonState AState, TAlignment AHAlign, TuiVertAlignment AVAlign,
                   bool AMultiLine, bool AEndEllipsis, const String& AText, TFont* AFont, TColor ATextColor,
                   TColor ABkColor, const TuiDrawBackgroundEvent& AOnBackground, bool AIsLast) const override;
  void PaintHeaderBorder(TuiCanvas* ACanvas, const TRect& R, TuiBorders ANeighbors, TuiBorders ABorders) const override;
  void PaintHeaderSection(TuiCanvas* ACanvas, const TRect& R, const TRect& ATextRect, TuiBorders ANeighbors,
                          TuiBorders ABorders, TuiButtonState AState, TAlignment AHAlign, TuiVertAlignment AVAlign,
                          bool AMultiLine, bool AEndEllipsis, const String& AText, TFont* AFont, TColor ATextColor,
                          TColor ABkColor) const override;
  void PaintSortMark(TuiCanvas* ACanvas, const TRect& R, bool AAscending) const override;
  void PaintScrollBarPart(TuiCanvas* ACanvas, bool AHorizontal, const TRect& R, TuiScrollBarPart APart,
                          TuiButtonState AState) const override;
  void PaintHeaderWithArrows(TuiCanvas* ACanvas, const TRect& R, const String& AText, TuiBorders ANeighbors,
                             const TuiHeaderParams& AParams, Integer AArrowMargin, TuiHeaderArrows AArrows,
                             const TuiDrawBackgroundEvent& AOnBackground) const override;
  void PaintFrame(TuiCanvas* ACanvas, const TRect& R) const override;
  void PaintSplitterButton(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState) const override;

  TColor GetButtonBorderColor(TuiButtonState AState) const override;
  TColor GetSeparatorColor() const override;
  TColor GetHotBorderColor() const override;

  virtual TColor GetBarDarkColor() const;
  virtual TColor GetHeaderDarkLineColor() const;
  virtual TColor GetHeaderLightLineColor() const;
  virtual TColor GetBarMidColor() const;
};

// Draws every element with the visual styles through the theme manager; each operation whose theme class
// does not open does what the standard painter (or the base) does.
class TuiWinXPLookAndFeelPainter : public TuiStandardLookAndFeelPainter {
  K58_CLASS(TuiWinXPLookAndFeelPainter, TuiStandardLookAndFeelPainter)

  TuiWinXPLookAndFeelPainter() = default;

  TuiLookAndFeelStyle GetLookAndFeelStyle() const override;
  TColor WindowTextColorB() const override;
  TColor InfoColor() const override;
  TColor FrameColor() const override;
  Integer GetBorderWidth() const override;
  Integer GetButtonBorderWidth(TuiButtonState AState) const override;
  TColor GetButtonFaceColor(TuiButtonState AState) const override;
  TColor GetButtonSymbolColor(TuiButtonState AState, TColor ADefaultColor) const override;
  TRect GetButtonFocusBounds(TuiCanvas* ACanvas, const TRect& R) const override;
  TRect GetButtonGroupBorders(Integer AButtonCount, Integer AButtonIndex) const override;
  TRect AdjustGroupButtonBounds(const TRect& R, Integer AButtonCount, Integer AButtonIndex) const override;
  Integer GetButtonTextOffset() const override;
  Integer GetButtonPressedShift() const override;
  Integer GetExpandButtonSize() const override;
  Integer GetGroupExpandButtonSize() const override;
  Integer GetSmallExpandButtonSize() const override;
  bool IsExpandButtonPaintedFirst() const override;
  bool HasHotTrackedButtons() const override;
  bool IsPointOverExpandButton(const TRect& R, const TPoint& P) const override;
  Integer GetCheckBorderWidth() const override;
  Integer GetHeaderBorderWidth() const override;
  Integer GetHeaderSectionBorderWidth(TuiButtonState AState) const override;
  TRect GetHeaderSectionContentBounds(const TRect& R, TuiButtonState AState) const override;
  bool HeaderStyleFlag() const override;
  bool SupportsHeaderHotTracking() const override;
  TPoint GetSortMarkSize() const override;
  Integer GetFooterBorderWidth() const override;
  Integer GetFooterCellBorderWidth() const override;
  Integer GetFooterCellOffset() const override;
  bool FooterStyleFlag() const override;
  TPoint GetSmallCheckButtonSize() const override;
  TPoint GetCloseButtonSize() const override;
  TPoint GetSmallButtonSize() const override;
  TPoint GetButtonSizeC() const override;
  Integer GetTabOverlapA() const override;
  Integer GetTabOverlapB() const override;
  Integer GetTabBorderWidth() const override;

  void PaintArrowButton(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState, TuiArrowDirection ADirection,
                        bool AIsButton) const override;
  void PaintButtonBackground(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState) const override;
  void PaintButton(TuiCanvas* ACanvas, TRect R, const String& ACaption, TuiButtonState AState, bool AWithBorder,
                   TColor AFaceColor, TColor ATextColor) const override;
  void PaintBorder(TuiCanvas* ACanvas, const TRect& R) const override;
  void PaintExpandButton(TuiCanvas* ACanvas, const TRect& R, bool AExpanded, TColor AColor) const override;
  void PaintGroupExpandButton(TuiCanvas* ACanvas, const TRect& R, bool AExpanded, TuiButtonState AState) const override;
  void PaintSmallExpandButton(TuiCanvas* ACanvas, const TRect& R, bool AExpanded, TColor AFrameColor,
                              TColor AFillColor) const override;
  void PaintCheckMark(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState, bool AChecked,
                      TColor ACheckColor) const override;
  void PaintCheckBorder(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState) const override;
  void PaintRadioButton(TuiCanvas* ACanvas, Integer X, Integer Y, TuiButtonState AState, bool AChecked, bool AFocused,
                        TColor ABackgroundColor, bool AIsDesigning) const override;
  void PaintHeader(TuiCanvas* ACanvas, const TRect& R, const TRect& ATextRect, TuiBorders ANeighbors,
                   TuiBorders ABorders, TuiButtonState AState, TAlignment AHAlign, TuiVertAlignment AVAlign,
                   bool AMultiLine, bool AEndEllipsis, const String& AText, TFont* AFont, TColor ATextColor,
                   TColor ABkColor, const TuiDrawBackgroundEvent& AOnBackground, bool AIsLast) const override;
  void InvertHeaderArea(TuiCanvas* ACanvas, const TRect& R) const override;
  void PaintHeaderSection(TuiCanvas* ACanvas, const TRect& R, const TRect& ATextRect, TuiBorders ANeighbors,
                          TuiBorders ABorders, TuiButtonState AState, TAlignment AHAlign, TuiVertAlignment AVAlign,
                          bool AMultiLine, bool AEndEllipsis, const String& AText, TFont* AFont, TColor ATextColor,
                          TColor ABkColor) const override;
  void PaintSortMark(TuiCanvas* ACanvas, const TRect& R, bool AAscending) const override;
  void PaintHeaderWithArrows(TuiCanvas* ACanvas, const TRect& R, const String& AText, TuiBorders ANeighbors,
                             const TuiHeaderParams& AParams, Integer AArrowMargin, TuiHeaderArrows AArrows,
                             const TuiDrawBackgroundEvent& AOnBackground) const override;
  void PaintFooterBorder(TuiCanvas* ACanvas, const TRect& R) const override;
  void PaintFooterCell(TuiCanvas* ACanvas, const TRect& R, TAlignment AHAlign, TuiVertAlignment AVAlign,
                       bool AMultiLine, const String& AText, TFont* AFont, TColor ATextColor, TColor ABkColor,
                       const TuiDrawBackgroundEvent& AOnBackground) const override;
  void PaintCloseButton(TuiCanvas* ACanvas, TRect R, TuiButtonState AState) const override;
  void PaintDropDownButton(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState, bool AIsActive) const override;
  void PaintMarkButton(TuiCanvas* ACanvas, TRect R, TuiButtonState AState) const override;
  void PaintImageButton(TuiCanvas* ACanvas, TRect R, TuiButtonState AState, Integer AImageIndex,
                        TColor ABackgroundColor) const override;
  void PaintTab(TuiCanvas* ACanvas, const TRect& R, TuiBorders ABorders, const String& AText, TuiButtonState AState,
                bool AVertical, TFont* AFont, TColor ATextColor, TColor ABkColor, bool AShowPrefix) const override;
  void PaintTabBorder(TuiCanvas* ACanvas, const TRect& R, TuiBorder ABorder, TuiBorders ABorders,
                      bool AVertical) const override;
  void PaintTabsRoot(TuiCanvas* ACanvas, const TRect& R, TuiBorders ABorders, bool AVertical) const override;
  void PaintIndicatorItem(TuiCanvas* ACanvas, const TRect& R, TuiIndicatorKind AKind, TColor ABkColor,
                          const TuiDrawBackgroundEvent& AOnBackground) const override;
  void PaintScrollBarPart(TuiCanvas* ACanvas, bool AHorizontal, const TRect& R, TuiScrollBarPart APart,
                          TuiButtonState AState) const override;
  void PaintSplitterButton(TuiCanvas* ACanvas, const TRect& R, TuiButtonState AState) const override;
  void PaintSplitterBorder(TuiCanvas* ACanvas, const TRect& R, bool AHorizontal,
                           const TuiBackgroundParams& ABackground) const override;

  // Themed text of headers, footer cells and tabs in ATextRect; nothing without a text. R and ABkColor
  // are not used.
  virtual void PaintThemedHeaderContent(TuiCanvas* ACanvas, HTHEME ATheme, Integer APartId, Integer AStateId,
                                        const TRect& R, TRect ATextRect, TAlignment AHAlign,
                                        TuiVertAlignment AVAlign, bool AMultiLine, bool AEndEllipsis,
                                        bool AShowPrefix, const String& AText, TFont* AFont, TColor ATextColor,
                                        TColor ABkColor) const;
};

// ---- Radio-button glyphs and the painters' bitmaps ----------------------------------------------------

// The radio glyphs of the non-themed painters: one image per look-and-feel kind, state (normal to
// disabled), checked flag, focus and design mode, rendered from a pixel pattern measured on the system's
// own radio glyph.
class TuiRadioButtonImageList : public TObject {
  K58_CLASS(TuiRadioButtonImageList, TObject)

  TuiRadioButtonImageList();
  ~TuiRadioButtonImageList() override;

  // Renders the 128 images when the list is empty.
  void Prepare();
  // Empties the list and renders it again with the current colours.
  void Reset();
  // The image of a combination; the default state counts as the normal one.
  Integer GetImageIndex(TuiLookAndFeelKind AKind, TuiButtonState AState, bool AChecked, bool AFocused,
                        bool AIsDesigning) const;
  // Draws the glyph at (X, Y): through its mask when ABackgroundColor is clDefault, else on that colour.
  void Draw(TuiCanvas* ACanvas, Integer X, Integer Y, TColor ABackgroundColor, TuiLookAndFeelKind AKind,
            TuiButtonState AState, bool AChecked, bool AFocused, bool AIsDesigning);

  Integer Width() const { return width_; }
  Integer Height() const { return height_; }
  Integer Count() const;
  // The dot rectangle measured on the system glyph, in glyph coordinates.
  TRect DotRect() const { return dot_; }
  // The pixel class of a glyph cell: 0 outside, 1 and 2 outer ring (top-left, bottom-right), 3 and 4
  // inner ring, 5 body, 6 dot.
  Integer PixelClass(Integer X, Integer Y) const { return pattern_[static_cast<size_t>(Y) * width_ + X]; }

 private:
  void Measure();
  void BuildPattern();
  void Classify(Integer X, Integer Y);

  Integer width_ = 0;
  Integer height_ = 0;
  TRect dot_{};
  std::vector<Byte> pattern_;
  std::vector<Integer> indexMap_;
  std::unique_ptr<TCustomImageList> images_;
  std::unique_ptr<TBitmap> mask_;
};

// The process-wide glyph list, created and prepared on first use.
TuiRadioButtonImageList* SharedRadioButtonImages();
// Repaints the two 8 x 8 scroll-bar hatch bitmaps with the current system colours.
void RefreshScrollBarHatchBitmaps();

namespace k58::foundation {
// The hatch of a scroll-bar page area (the darker one when pressed).
TBitmap* ScrollBarHatchBitmap(bool APressed);
// The indicator images and the auto-hide pin bitmaps (0 pinned, 1 unpinned).
TCustomImageList* IndicatorImages();
TBitmap* AutoHideBitmap(Integer AIndex);
// Whether the glyph list exists (a palette change before the first radio button does nothing).
bool RadioButtonImagesCreated();

void StartPaintersUnit();
void StopPaintersUnit();
}  // namespace k58::foundation
