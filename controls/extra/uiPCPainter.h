// The tab painter interface, the read-only view of the control a painter works with, and the factory
// that registers painter classes by style id.
//
// Contract: main thread only. A painter belongs to one tab control, is made and released through the
// factory, measures and draws everything of the control and draws only through the control's canvas.
// Coordinates are the control's client coordinates. Indexes passed to a painter are visible indexes.
// The clip-region stack is balanced by its users: every SaveClipRegion or successful SetClipRect is
// followed by one RestoreClipRegion; regions left on the stack are deleted with the painter.
#pragma once

#include <memory>
#include <vector>

#include "controls/extra/uiPCGeometry.h"
#include "controls/foundation/uiGraphics.h"
#include "controls/foundation/uiLookAndFeels.h"

class TuiCustomTabControl;
class TuiPCCustomPainter;

// What a painter works out for the layout: the tabs rectangle (the control less the painter's indents
// and the navigator; the row areas reach out to it), the extra offsets of the row areas, the distance
// kept between the rows on both edges, the length of a row, and the row-start rectangle inside which the
// tabs are placed (the tabs rectangle less the margins a style keeps around its rows).
struct TuiPCTabsRegionParameters {
  TRect TabsRect{};
  Integer NearExtraOffset = 0;
  Integer FarExtraOffset = 0;
  Integer RowDistance = 0;
  Integer TabsLength = 0;
  TRect TabsRectCopy{};
};

// Navigator button states.
enum TuiPCNavigatorButtonState : Integer { nbsNormal = 0, nbsPressed = 1, nbsHot = 2, nbsDisabled = 3 };

// The class side of a painter: its style id and name and the answers that do not need an instance.
class TuiPCPainterClassInfo {
 public:
  virtual ~TuiPCPainterClassInfo() = default;
  virtual TuiPCCustomPainter* CreatePainter(TuiCustomTabControl* AParent) const = 0;
  virtual Integer GetStyleID() const { return -1; }
  virtual String GetStyleName() const { return String(); }
  virtual Integer GetStandardStyle() const { return 0; }
  virtual bool AllowRotate() const { return true; }
  // Whether the look-and-feel chooses this painter; whether it is the default of a native look-and-feel.
  virtual bool IsDefault(TuiLookAndFeel* /*ALookAndFeel*/) const { return false; }
  virtual bool IsNativeDefault(TuiLookAndFeel* /*ALookAndFeel*/) const { return false; }
  virtual bool IsTabContentMirrored() const { return true; }
  virtual bool AllowMultiSelection() const { return false; }
  virtual bool IsMainTabRowMovedToClient() const { return true; }
  virtual bool IsButtonBehaviour() const { return false; }
};
using TuiPCPainterClass = const TuiPCPainterClassInfo*;

// The class information of painter P: P supplies static answers where it differs from the base
// (StyleID, StyleName, AllowRotate, ...), found through the Traits type.
template <class P, class Traits>
class TuiPCPainterClassOf : public TuiPCPainterClassInfo {
 public:
  TuiPCCustomPainter* CreatePainter(TuiCustomTabControl* AParent) const override { return new P(AParent); }
  Integer GetStyleID() const override { return Traits::StyleID; }
  String GetStyleName() const override { return Traits::StyleName; }
  Integer GetStandardStyle() const override { return Traits::StandardStyle; }
  bool AllowRotate() const override { return Traits::AllowRotate; }
  bool IsDefault(TuiLookAndFeel* ALookAndFeel) const override { return Traits::IsDefault(ALookAndFeel); }
  bool IsNativeDefault(TuiLookAndFeel* ALookAndFeel) const override { return Traits::IsNativeDefault(ALookAndFeel); }
  bool IsTabContentMirrored() const override { return Traits::IsTabContentMirrored; }
  bool AllowMultiSelection() const override { return Traits::AllowMultiSelection; }
  bool IsMainTabRowMovedToClient() const override { return Traits::IsMainTabRowMovedToClient; }
  bool IsButtonBehaviour() const override { return Traits::IsButtonBehaviour; }
};

// Defaults for a Traits type; a painter's traits derive from it and hide what differs.
struct TuiPCPainterTraits {
  static constexpr Integer StandardStyle = 0;
  static constexpr bool AllowRotate = true;
  static constexpr bool IsTabContentMirrored = true;
  static constexpr bool AllowMultiSelection = false;
  static constexpr bool IsMainTabRowMovedToClient = true;
  static constexpr bool IsButtonBehaviour = false;
  static bool IsDefault(TuiLookAndFeel*) { return false; }
  static bool IsNativeDefault(TuiLookAndFeel*) { return false; }
};

// The control as a painter sees it.
class TuiPCPainterParentInfo : public TObject {
  K58_CLASS(TuiPCPainterParentInfo, TObject)

  explicit TuiPCPainterParentInfo(TuiCustomTabControl* AParent) : parent_(AParent) {}

  TuiCanvas* Canvas() const;
  TColor Color() const;
  TColor FontColor() const;
  Integer Width() const;
  Integer Height() const;
  bool HideTabs() const;
  Integer ImageBorder() const;
  bool MultiLine() const;
  bool RaggedRight() const;
  bool Rotate() const;
  bool ScrollOpposite() const;
  bool ShowFrame() const;
  Integer TabHeight() const;
  Integer TabWidth() const;
  TuiTabPosition TabPosition() const;
  TuiPCNavigatorPosition NavigatorPosition() const;
  TuiPCOptions Options() const;
  Integer ActiveTabVisibleIndex() const;
  TuiPCNavigatorButtons NavigatorButtons() const;
  TuiPCNavigatorButtonState NavigatorButtonState(TuiPCNavigatorButton Button) const;
  Integer RowCount() const;
  Integer SplitRow() const;
  TRect NearRowsArea() const;
  TRect FarRowsArea() const;
  // Rows lie on the edge opposite to TabPosition too.
  bool HasOppositeRows() const;
  TuiTab* GetTab(Integer VisibleIndex) const;
  TControl* GetPage(Integer VisibleIndex) const;
  // The page's colour, the control's without a page.
  TColor PageColor(Integer VisibleIndex) const;
  // The system hot-light colour.
  TColor HotColor() const;

 private:
  TuiCustomTabControl* parent_;
};

class TuiPCCustomPainter : public TObject {
  K58_CLASS(TuiPCCustomPainter, TObject)

  explicit TuiPCCustomPainter(TuiCustomTabControl* AParent);
  ~TuiPCCustomPainter() override;

  virtual TuiPCPainterClass PainterClass() const = 0;
  TuiCustomTabControl* ParentControl() const { return parent_; }
  TuiPCPainterParentInfo* ParentInfo() const { return parentInfo_.get(); }

  // ---- Class answers, through PainterClass ----
  bool AllowRotate() const { return PainterClass()->AllowRotate(); }
  bool AllowMultiSelection() const { return PainterClass()->AllowMultiSelection(); }
  bool IsMainTabRowMovedToClient() const { return PainterClass()->IsMainTabRowMovedToClient(); }
  bool IsButtonBehaviour() const { return PainterClass()->IsButtonBehaviour(); }
  bool IsTabContentMirrored() const { return PainterClass()->IsTabContentMirrored(); }
  String GetStyleName() const { return PainterClass()->GetStyleName(); }

  // ---- Measuring and layout ----
  virtual Integer CalculateTabNormalHeight() = 0;
  virtual Integer CalculateTabNormalWidth(TuiTab* ATab) = 0;
  virtual void GetTabCorrection(Integer /*ATabVisibleIndex*/, TRect& R) { R = TRect{}; }
  virtual Integer GetMinTabNormalWidth() = 0;
  // X between the tabs of a row, Y between rows.
  virtual TPoint GetTabsNormalDistance() { return TPoint{0, 0}; }
  virtual void InitTabsRegionParameters(TuiPCNavigatorButtons AButtons, TuiPCTabsRegionParameters& AParams) = 0;
  virtual Integer GetButtonsDistance(TuiPCNavigatorButton /*AButton1*/, TuiPCNavigatorButton /*AButton2*/) { return 0; }
  virtual Integer GetButtonsRegionTabsIndent() { return 0; }
  virtual Integer GetButtonsRegionSideOffset() { return 0; }
  virtual Integer GetButtonsRegionEndOffset() { return 0; }
  virtual void GetClientRectMargins(TRect& M);
  virtual void GetFrameRectMargins(TRect& M);
  virtual Integer GetFrameWidth() { return 0; }
  virtual bool HasFrame();
  virtual bool NeedsRedrawOnResize() { return IsNativePainting(); }
  virtual bool IsNativePainting() { return false; }

  // ---- Hit tests ----
  virtual bool GetButtonAtPoint(Integer X, Integer Y, TuiPCNavigatorButton& AButton) = 0;
  virtual bool PtInTab(Integer /*ATabVisibleIndex*/, Integer /*X*/, Integer /*Y*/) { return true; }
  virtual bool IsTabPressed(Integer ATabVisibleIndex) = 0;
  virtual bool IsTabTransparent(Integer /*ATabVisibleIndex*/) { return false; }
  // The go button's rectangle (client coordinates).
  virtual void GetGoDialogButtonBounds(TRect& R) = 0;

  // ---- Tab content ----
  // Margins (top-tab orientation) around the image and the caption; the gap between them; the spacing
  // before and after the content, whole and with a cut caption.
  virtual void GetTabImageAreaOffsets(Integer ATabVisibleIndex, TRect& R) = 0;
  virtual void GetTabTextAreaOffsets(Integer ATabVisibleIndex, TRect& R) = 0;
  virtual Integer GetImageTextDistance() = 0;
  virtual void GetTabContentWOffset(Integer ATabVisibleIndex, Integer (&APair)[2]) = 0;
  virtual void GetTruncatedTabContentWOffset(Integer ATabVisibleIndex, Integer (&APair)[2]) = 0;
  virtual void PrepareTabImageAndTextRects(Integer ATabVisibleIndex, const TRect& AImageRect,
                                           const TRect& ATextRect) = 0;
  virtual void GetTabNativePartAndState(Integer /*ATabVisibleIndex*/, Integer& PartId, Integer& StateId) {
    PartId = StateId = 0;
  }
  // A new region of the tab's visible rectangle (the caller frees it), and how it joins the clip.
  virtual HRGN GetTabClipRgn(Integer ATabVisibleIndex);
  virtual TuiRegionOperation GetTabClipRgnOperation(Integer /*ATabVisibleIndex*/) { return roIntersect; }
  virtual void DrawTabImageAndText(Integer ATabVisibleIndex);
  // The image and caption rectangles of a tab, in the canvas the content is drawn on.
  void CalculateTabImageAndTextRects(Integer ATabVisibleIndex, TRect& AImageRect, TRect& ATextRect);

  // ---- Colours ----
  virtual TColor GetClientColor();
  virtual TColor GetTabColor(Integer ATabVisibleIndex) = 0;

  // ---- Painting ----
  virtual void Paint() { DoPaint(); }
  virtual void DoPaint();
  virtual void DrawButtons() = 0;
  virtual void DrawTabs() = 0;
  virtual void DrawFrame() = 0;
  virtual void DrawFrameAndClientArea();
  virtual void DrawClientArea();
  virtual void DrawTabTextBackground(TBitmap* /*ABitmap*/, const TRect& /*ATextRect*/, Integer /*ATabVisibleIndex*/) {}

  // ---- Repaint requests ----
  virtual void RepaintButton(TuiPCNavigatorButton /*AButton*/, TuiPCNavigatorButtonState /*APreviousState*/) {}
  virtual void RepaintButtonsRegion() {}
  virtual void RepaintTab(Integer /*ATabVisibleIndex*/, Integer /*AChangeType*/) {}

  // ---- Services ----
  // The control bounds less the client or frame margins turned to the tabs' side, normalised.
  void CalculateClientRect(TRect& R);
  void CalculateFrameRect(TRect& R);
  void SaveClipRegion();
  void RestoreClipRegion();
  // False for an empty R, or (AIntersect) for one outside the visible part of the device; otherwise
  // saves the clip and intersects it with R (or replaces it by R).
  bool SetClipRect(const TRect& R, bool AIntersect = true);
  Integer ClipRegionDepth() const { return static_cast<Integer>(clipRegions_.size()); }
  bool IsOwnerDrawing();
  // Fires OnDrawTab; True when the handler drew the tab itself.
  bool IsTabCustomDrawn(Integer ATabVisibleIndex);
  void DoDrawTabEx(Integer ATabVisibleIndex, TFont* AFont);
  bool HasTabImage(Integer ATabVisibleIndex);
  TSize GetImageSize() const;
  TColor GetHighlightedTextColor(Integer ATabVisibleIndex);
  // Draws the points, given for a tab standing on the top side of R, turned to ASide, and the last pixel.
  void DrawPolyline(const TRect& R, const std::vector<TPoint>& APoints, TColor AColor, TuiTabSide ASide);
  static TPoint RotatePoint(const TRect& R, TPoint P, TuiTabSide ASide);
  // The surface the tab content is drawn on while painting natively (nil: the control canvas), and the
  // origin of that surface in control coordinates.
  TBitmap* ContentBitmap() const { return contentBitmap_; }
  // The visible index of the tab whose content is being drawn (-1 before the first).
  Integer DrawnTab() const { return drawnTab_; }
  // The tab's cached drawing of its turned caption (nil when none), and a fresh one in its place.
  TBitmap* GetTabCaptionBitmap(Integer ATabVisibleIndex);
  TBitmap* CreateTabCaptionBitmap(Integer ATabVisibleIndex);
  void InvalidateControlRect(const TRect& R);
  void InvalidateTabRect(Integer ATabVisibleIndex);
  void InvalidateRowsArea(Integer ATabVisibleIndex);

 protected:
  TuiCanvas* Canvas() const;
  void SetContentBitmap(TBitmap* ABitmap) { contentBitmap_ = ABitmap; }
  // The drawing data of the tab being drawn.
  Integer drawnTab_ = -1;
  TRect drawnImageRect_{};
  TRect drawnTextRect_{};

 private:
  void DrawCaption(Integer ATabVisibleIndex, const String& ACaption, const TRect& ATextRect);
  // Sized, filled with the tab colour, with the control canvas' font and pen, and the text background.
  void PrepareCaptionBitmap(Integer ATabVisibleIndex, TBitmap* ABitmap, Integer AWidth, Integer AHeight);
  void RenderCaption(Integer ATabVisibleIndex, const String& ACaption, TBitmap* ATarget, const TRect& R,
                     bool ANative);
  TBitmap* contentBitmap_ = nullptr;
  TuiCustomTabControl* parent_;
  std::unique_ptr<TuiPCPainterParentInfo> parentInfo_;
  // Saved clip regions; nullptr stands for a device context without clipping.
  std::vector<HRGN> clipRegions_;
};

// The registered painter classes, by style id.
class TuiPCPaintersFactory : public TObject {
  K58_CLASS(TuiPCPaintersFactory, TObject)

  static void RegisterPainterClass(TuiPCPainterClass AClass);
  static void UnregisterPainterClass(TuiPCPainterClass AClass);
  // The factory when one exists: made by the first registration, freed with the last class.
  static TuiPCPaintersFactory* Instance();

  TuiPCPainterClass GetPainterClass(Integer AStyleID) const;
  TuiPCCustomPainter* GetPainterInstance(TuiPCPainterClass AClass, TuiCustomTabControl* AParent) const;
  void ReleasePainterInstance(TuiPCCustomPainter* APainter) const { delete APainter; }
  // -1 when no class takes the look-and-feel.
  Integer GetStyleIDByLookAndFeel(TuiLookAndFeel* ALookAndFeel) const;
  Integer GetDefaultStyleID(TuiLookAndFeel* ALookAndFeel) const;
  const std::vector<TuiPCPainterClass>& Classes() const { return classes_; }

 private:
  std::vector<TuiPCPainterClass> classes_;
};

// The kind of the look-and-feel painter that serves tabs (0 flat, 1 standard, 2 ultra-flat, 3 native,
// 4 Office11), as the painters' IsDefault compares it.
Integer TabLookAndFeelKind(TuiLookAndFeel* ALookAndFeel);
