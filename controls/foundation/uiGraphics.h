// The drawing surface of the control library: TuiCanvas over a class-library canvas with the frame, edge,
// text, clipping and bitmap operations every painter and control uses; TuiRegion, an owned GDI region;
// the library's text flags and their DrawText translation; colours derived from the system colours.
// Nothing here keeps global state. Coordinates are logical unless a routine says otherwise.
#pragma once

#include <memory>
#include <vector>

#include "platform/forms/Graphics.h"
#include "platform/forms/StdCtrls.h"

enum TuiBorder { bLeft, bTop, bRight, bBottom };
K58_ENUM_TYPE(TuiBorder, bLeft, bTop, bRight, bBottom)
K58_SET_TYPE(TuiBorders, TuiBorder)
inline constexpr TuiBorders uiAllBorders{bLeft, bTop, bRight, bBottom};

enum TuiGridLines { glBoth, glNone, glVertical, glHorizontal };
K58_ENUM_TYPE(TuiGridLines, glBoth, glNone, glVertical, glHorizontal)

// Vertical text alignment, in the order of the text flags (top, bottom, centre).
enum TuiVertAlignment { vaTop, vaBottom, vaCenter };
K58_ENUM_TYPE(TuiVertAlignment, vaTop, vaBottom, vaCenter)

// A background: a bitmap tiled over the area when given, else the colour.
struct TuiBackgroundParams {
  TBitmap* Bitmap = nullptr;
  TColor Color = clNone;
};

// ---- Canvas text flags --------------------------------------------------------------------------------
using TuiCanvasTextFlags = Word;
inline constexpr TuiCanvasTextFlags ctfAlignLeft = 0x0001;
inline constexpr TuiCanvasTextFlags ctfAlignRight = 0x0002;
inline constexpr TuiCanvasTextFlags ctfAlignHCenter = 0x0004;
inline constexpr TuiCanvasTextFlags ctfAlignTop = 0x0008;
inline constexpr TuiCanvasTextFlags ctfAlignBottom = 0x0010;
inline constexpr TuiCanvasTextFlags ctfAlignVCenter = 0x0020;
inline constexpr TuiCanvasTextFlags ctfSingleLine = 0x0040;
inline constexpr TuiCanvasTextFlags ctfNoClip = 0x0080;
inline constexpr TuiCanvasTextFlags ctfExpandTabs = 0x0100;
inline constexpr TuiCanvasTextFlags ctfShowPrefix = 0x0200;
inline constexpr TuiCanvasTextFlags ctfWordBreak = 0x0400;
inline constexpr TuiCanvasTextFlags ctfEndEllipsis = 0x0800;
inline constexpr TuiCanvasTextFlags ctfCalcOnly = 0x1000;
inline constexpr TuiCanvasTextFlags ctfPathEllipsis = 0x2000;
inline constexpr TuiCanvasTextFlags ctfNoCharBreak = 0x4000;

// DrawText flags for canvas text flags: DT_NOPREFIX unless ctfShowPrefix, the alignment and layout flags,
// DT_EDITCONTROL with a word break unless ctfNoCharBreak.
UINT CanvasTextFlagsToDrawTextFlags(TuiCanvasTextFlags Flags);

// ---- Region -------------------------------------------------------------------------------------------

// Combination of a region with another: copy, union, difference (this minus the other), intersection.
enum TuiRegionOperation { roSet, roAdd, roSubtract, roIntersect };

// A GDI region the object owns (deleted by the destructor).
class TuiRegion : public TObject {
  K58_CLASS(TuiRegion, TObject)

  // The empty region (0, 0, 0, 0).
  TuiRegion();
  // Takes ownership of ARegion.
  explicit TuiRegion(HRGN ARegion);
  explicit TuiRegion(const TRect& R);
  TuiRegion(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom);
  ~TuiRegion() override;

  static std::unique_ptr<TuiRegion> CreateFromHandle(HRGN ARegion) { return std::make_unique<TuiRegion>(ARegion); }
  static std::unique_ptr<TuiRegion> CreateFromRect(const TRect& R) { return std::make_unique<TuiRegion>(R); }
  static std::unique_ptr<TuiRegion> CreateFromCoords(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom) {
    return std::make_unique<TuiRegion>(ALeft, ATop, ARight, ABottom);
  }
  static std::unique_ptr<TuiRegion> CreateEmpty() { return std::make_unique<TuiRegion>(); }

  HRGN Handle() const { return handle_; }
  // Combines this region with ARegion; with ADestroyRegion ARegion is freed (it must then come from new).
  void CombineWith(TuiRegion* ARegion, TuiRegionOperation AOperation, bool ADestroyRegion = true);
  void Move(Integer DX, Integer DY);
  bool ContainsPoint(const TPoint& P) const { return PtInRegionXY(P.x, P.y); }
  bool PtInRegionXY(Integer X, Integer Y) const;
  bool IsEmpty() const;
  TRect BoundsRect() const;

 private:
  HRGN handle_ = nullptr;
};

// ---- Canvas -------------------------------------------------------------------------------------------

// The library's drawing surface over a class-library canvas (not owned).
class TuiCanvas : public TObject {
  K58_CLASS(TuiCanvas, TObject)

  explicit TuiCanvas(TCanvas* ACanvas) : canvas_(ACanvas) {}

  TCanvas* Canvas() const { return canvas_; }

  // Plain forwards.
  TBrush* GetCanvasBrush() const { return canvas_->Brush(); }
  TPen* GetCanvasPen() const { return canvas_->Pen(); }
  TFont* GetCanvasFont() const { return canvas_->Font(); }
  // The device context, made when needed, with the font, pen and brush selected.
  HDC GetDCHandle() const { return canvas_->Handle(); }
  void SetCanvasFont(TFont* AFont) { canvas_->SetFont(AFont); }
  void SetPixel(Integer X, Integer Y, TColor AColor) { canvas_->SetPixels(X, Y, AColor); }
  TColor GetPixel(Integer X, Integer Y) const { return canvas_->Pixels(X, Y); }
  void LineTo(Integer X, Integer Y) { canvas_->LineTo(X, Y); }
  void MoveTo(Integer X, Integer Y) { canvas_->MoveTo(X, Y); }
  void Polygon(const std::vector<TPoint>& Points) { canvas_->Polygon(Points); }
  void Polyline(const std::vector<TPoint>& Points) { canvas_->Polyline(Points); }
  void DrawGraphic(Integer X, Integer Y, TGraphic* AGraphic) { canvas_->Draw(X, Y, AGraphic); }
  // Copies (stretching) ASource of ACanvas into ADest with the canvas's copy mode.
  void CopyCanvasRect(const TRect& ADest, TCanvas* ACanvas, const TRect& ASource) {
    canvas_->CopyRect(ADest, ACanvas, ASource);
  }
  void BeginPath();
  void EndPath();
  void ExcludeClipRect(const TRect& R);
  void IntersectClipRect(const TRect& R);
  TPoint GetWindowOrigin() const;
  TPoint GetViewportOrigin() const;
  void SetWindowOrigin(const TPoint& P);
  // Viewport origin minus window origin: where logical (0, 0) lies on the device.
  TPoint GetDeviceOrigin() const;
  // Changes the brush colour only when it differs (no change notification for an equal colour).
  void SetBrushColor(TColor AColor);
  Integer SaveState();
  void RestoreState(Integer ASaved);

  // Measuring with the current font.
  void MeasureText(const String& AText, TSize& ASize);
  Integer MeasureTextWidth(const String& AText);
  Integer MeasureTextHeight(const String& AText);
  // Selects AFont and answers the height of "Qq".
  Integer MeasureFontHeight(TFont* AFont);

  // Frames and fills.
  // Nothing for an empty R; with no bitmap (or an empty one) the current brush fills R; else the bitmap is
  // tiled from multiples of its size in logical coordinates, each tile clipped to R.
  void FillRectangle(const TRect& R, TBitmap* ABitmap = nullptr);
  // Fills R with the colour (the brush takes it).
  void FillRectWithColor(const TRect& R, TColor AColor);
  // Strips ALineWidth wide along the sides in ABorders, never outside R; the brush takes AColor unless it
  // is clDefault.
  void DrawBorderLines(const TRect& R, TColor AColor, Integer ALineWidth, TuiBorders ABorders);
  // The border lines, then the rest of R filled with the background.
  void DrawFramedArea(TRect R, const TuiBackgroundParams& ABackground, TuiBorders ABorders, TColor ABorderColor,
                      Integer ALineWidth);
  // Strips inside R in the order left, top, right, bottom (later ones over the corners): left and top in
  // ALeftTopColor, right and bottom in ARightBottomColor.
  void DrawTwoColorFrame(const TRect& R, TColor ALeftTopColor, TColor ARightBottomColor,
                         TuiBorders ABorders = uiAllBorders, Integer ALineWidth = 1);
  // One-pixel 3-D edge: sunken outer clBtnShadow/clBtnHighlight, sunken inner cl3DDkShadow/cl3DLight, raised
  // outer cl3DLight/cl3DDkShadow, raised inner clBtnHighlight/clBtnShadow.
  void DrawEdge3D(const TRect& R, bool ASunken, bool AOuter, TuiBorders ABorders = uiAllBorders);
  // The dotted focus frame (inverting: drawn twice it restores the pixels).
  void DrawFocusRectangle(const TRect& R);
  // Inverts R (drawn twice it restores the pixels).
  void InvertRectangle(const TRect& R);

  // Text.
  void DrawCaptionText(const String& AText, TRect R, TuiCanvasTextFlags AFlags, bool AEnabled = true);
  // Measures the text and places the measured rectangle inside the R given by the alignment flags.
  void CalculateTextRect(const String& AText, TRect& R, TuiCanvasTextFlags AFlags);
  // Places multi-line text vertically by moving R.Top: AVertAlign 1 bottom, 2 centre, others nothing.
  void AlignMultilineTextVertically(TRect& R, const String& AText, Integer AVertAlign, bool AWordBreak,
                                    bool AShowPrefix, bool AEnabled = true, bool ANoCharBreak = false);

  // Clipping. The copy is the DC's clip region, or (0, 0, 30000, 30000) when it has none; with
  // AConsiderOrigin it is moved from device to logical coordinates.
  std::unique_ptr<TuiRegion> CopyClipRegion(bool AConsiderOrigin = true);
  // Selects ARegion as the clip region (roSet) or combines the current clip with it.
  void ChangeClipRegion(TuiRegion* ARegion, TuiRegionOperation AOperation, bool ADestroyRegion = true,
                        bool AConsiderOrigin = true);

  // Rearranges the 32-bit pixels of ABitmap: ARotation 0 none, 1 a quarter turn counter-clockwise, 2 a
  // quarter turn clockwise, 3 a half turn; AMirror turns the result upside down (rotation 0), transposes
  // (1), anti-transposes (2) or mirrors left to right (3). Rotations 1 and 2 swap width and height.
  static void RotateFlipBitmap(TBitmap* ABitmap, Integer ARotation, bool AMirror);

 private:
  TCanvas* canvas_;
};

// A canvas over the screen device context.
class TScreenCanvas : public TCanvas {
  K58_CLASS(TScreenCanvas, TCanvas)

  TScreenCanvas() = default;
  ~TScreenCanvas() override;

  void FreeHandle();

 protected:
  void CreateHandle() override;

 private:
  HDC dc_ = nullptr;
};

// A TuiCanvas over a screen canvas it owns.
class TuiScreenCanvas : public TuiCanvas {
  K58_CLASS(TuiScreenCanvas, TuiCanvas)

  TuiScreenCanvas();
  ~TuiScreenCanvas() override;
};

// ---- Free routines ------------------------------------------------------------------------------------

// Left and Top grow by the margins' Left and Top, Right and Bottom shrink by theirs; answers R.
TRect DeflateRectByMargins(TRect& R, const TRect& AMargins);
// The nearest colour the screen shows.
TColor GetNearestScreenColor(TColor AColor);
// Per component MulDiv(face, p1, 100) + MulDiv(highlight, p2, 100) + MulDiv(window, p3, 100) clamped to
// 0..255; the highlight colour when the button face is black or white.
TColor MixSystemColorsPercent(ShortInt ABtnFacePercent, ShortInt AHighlightPercent, ShortInt AWindowPercent);
TColor GetUltraFlatHotButtonColor();
TColor GetUltraFlatPressedButtonColor();

// The RGB value of a colour as a TColor (system colours resolved).
inline TColor ColorToRgbColor(TColor AColor) { return static_cast<TColor>(ColorToRGB(AColor)); }
