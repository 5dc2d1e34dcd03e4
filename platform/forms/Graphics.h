// The class library's graphics: colours, fonts, pens and brushes, the canvas over a device context, and
// the graphic classes (bitmaps, icons, pictures with registered file formats).
//
// Fonts, pens and brushes share their GDI handles: objects with equal attributes use one handle, created
// on first use and deleted with the last object that uses it. Changing an attribute moves the object to
// another shared handle and fires OnChange.
//
// A canvas selects its font, pen and brush into its device context only when a drawing call needs them
// and drops them from the context as soon as they change, so a change is always seen by the next call.
//
// Bitmaps hold their pixels in a GDI bitmap: 32-bit for every colour format (the format is what the bitmap
// is saved as: a pf8bit bitmap keeps a colour table and writes 8-bit files), or 1-bit for monochrome
// bitmaps. A bitmap loaded from a stream saves the very bytes it was loaded from until it is changed.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/classes/Persistent.h"
#include "platform/classes/TypInfo.h"
#include "platform/rtl/WinTypes.h"
#include "platform/win/gdi/WinGdi.h"
#include "platform/win/gdi/WinUserGdi.h"

class TStream;
class TCanvas;
class TGraphic;
class TBitmap;
class TIcon;
class TPicture;

K58_DECLARE_EXCEPTION(EInvalidGraphic, Exception);
K58_DECLARE_EXCEPTION(EInvalidGraphicOperation, Exception);
// A GDI object could not be made (a timer, a device context, a bitmap too large for the system).
K58_DECLARE_EXCEPTION(EOutOfResources, EOutOfMemory);

namespace graphicsconsts {
inline constexpr const char* SInvalidBitmap = "Bitmap image is not valid";
inline constexpr const char* SInvalidIcon = "Icon image is not valid";
inline constexpr const char* SChangeIconSize = "Cannot change the size of an icon";
inline constexpr const char* SScanLine = "Scan line index out of range";
inline constexpr const char* SScanLineFormat = "Scan lines are available for 32-bit bitmaps only";
inline constexpr const char* SNoCanvas = "Canvas does not allow drawing";
inline constexpr const char* SUnknownExtension = "Unknown picture file extension (.%s)";
inline constexpr const char* SUnknownGraphicClass = "Unknown picture format %s";
inline constexpr const char* SOutOfResources = "Out of system resources";
inline constexpr const char* SInvalidPixelFormat = "Invalid pixel format";
inline constexpr const char* SVBitmaps = "Bitmaps";
inline constexpr const char* SVIcons = "Icons";
inline constexpr const char* SVMetafiles = "Metafiles";
inline constexpr const char* SVEnhMetafiles = "Enhanced Metafiles";
inline constexpr const char* SInvalidMetafile = "Metafile is not valid";
inline constexpr const char* SDefaultFilter = "All";
}  // namespace graphicsconsts

// ---- Colours -----------------------------------------------------------------------------------------
// $00BBGGRR, or a system colour: clSystemColor with the COLOR_xxx index in the low byte.
using TColor = Integer;

inline constexpr TColor clSystemColor = static_cast<TColor>(0xFF000000u);

inline constexpr TColor clScrollBar = clSystemColor | COLOR_SCROLLBAR;
inline constexpr TColor clBackground = clSystemColor | COLOR_BACKGROUND;
inline constexpr TColor clActiveCaption = clSystemColor | COLOR_ACTIVECAPTION;
inline constexpr TColor clInactiveCaption = clSystemColor | COLOR_INACTIVECAPTION;
inline constexpr TColor clMenu = clSystemColor | COLOR_MENU;
inline constexpr TColor clWindow = clSystemColor | COLOR_WINDOW;
inline constexpr TColor clWindowFrame = clSystemColor | COLOR_WINDOWFRAME;
inline constexpr TColor clMenuText = clSystemColor | COLOR_MENUTEXT;
inline constexpr TColor clWindowText = clSystemColor | COLOR_WINDOWTEXT;
inline constexpr TColor clCaptionText = clSystemColor | COLOR_CAPTIONTEXT;
inline constexpr TColor clActiveBorder = clSystemColor | COLOR_ACTIVEBORDER;
inline constexpr TColor clInactiveBorder = clSystemColor | COLOR_INACTIVEBORDER;
inline constexpr TColor clAppWorkSpace = clSystemColor | COLOR_APPWORKSPACE;
inline constexpr TColor clHighlight = clSystemColor | COLOR_HIGHLIGHT;
inline constexpr TColor clHighlightText = clSystemColor | COLOR_HIGHLIGHTTEXT;
inline constexpr TColor clBtnFace = clSystemColor | COLOR_BTNFACE;
inline constexpr TColor clBtnShadow = clSystemColor | COLOR_BTNSHADOW;
inline constexpr TColor clGrayText = clSystemColor | COLOR_GRAYTEXT;
inline constexpr TColor clBtnText = clSystemColor | COLOR_BTNTEXT;
inline constexpr TColor clInactiveCaptionText = clSystemColor | COLOR_INACTIVECAPTIONTEXT;
inline constexpr TColor clBtnHighlight = clSystemColor | COLOR_BTNHIGHLIGHT;
inline constexpr TColor cl3DDkShadow = clSystemColor | COLOR_3DDKSHADOW;
inline constexpr TColor cl3DLight = clSystemColor | COLOR_3DLIGHT;
inline constexpr TColor clInfoText = clSystemColor | COLOR_INFOTEXT;
inline constexpr TColor clInfoBk = clSystemColor | COLOR_INFOBK;
inline constexpr TColor clHotLight = clSystemColor | COLOR_HOTLIGHT;
inline constexpr TColor clGradientActiveCaption = clSystemColor | COLOR_GRADIENTACTIVECAPTION;
inline constexpr TColor clGradientInactiveCaption = clSystemColor | COLOR_GRADIENTINACTIVECAPTION;
inline constexpr TColor clMenuHighlight = clSystemColor | COLOR_MENUHILIGHT;
inline constexpr TColor clMenuBar = clSystemColor | COLOR_MENUBAR;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clLtGray = 0xC0C0C0;
inline constexpr TColor clDkGray = 0x808080;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clMoneyGreen = 0xC0DCC0;
inline constexpr TColor clSkyBlue = 0xF0CAA6;
inline constexpr TColor clCream = 0xF0FBFF;
inline constexpr TColor clMedGray = 0xA4A0A0;

inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;

// The RGB value of a colour; a system colour is looked up in the current system colour table.
COLORREF ColorToRGB(TColor Color);
// "clRed", or "$00BBGGRR" for a colour without a name.
String ColorToString(TColor Color);
// A colour name or a number ("$0000FF", "255"); anything else raises EConvertError.
TColor StringToColor(const String& S);
bool ColorToIdent(Integer Color, String& Ident);
bool IdentToColor(const String& Ident, Integer& Color);
// Calls Proc with every colour name, in the class library's order.
void GetColorValues(const std::function<void(const String& Name)>& Proc);

// Character sets by name, for TFontCharset properties ("GB2312_CHARSET").
bool CharsetToIdent(Integer Charset, String& Ident);
bool IdentToCharset(const String& Ident, Integer& Charset);

// Type information of the integer and string types of the graphics properties, with their names; the
// colour and character set types know their value names, so form resources may say "clBtnFace".
const TTypeInfo* TColorTypeInfo();
const TTypeInfo* TFontCharsetTypeInfo();
const TTypeInfo* TFontNameTypeInfo();

// ---- Screen device context ---------------------------------------------------------------------------
// A memory device context compatible with the display, for measuring text and making bitmaps in the
// display's format without a window. One per process, never deleted; use it on the GUI thread.
HDC ScreenDC();
// Pixels per logical inch of the display (the base of point sizes).
Integer ScreenLogPixels();

// ---- Fonts, pens and brushes -------------------------------------------------------------------------
enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
K58_ENUM_TYPE(TFontStyle, fsBold, fsItalic, fsUnderline, fsStrikeOut)
K58_SET_TYPE(TFontStyles, TFontStyle)

enum TFontPitch { fpDefault, fpVariable, fpFixed };
K58_ENUM_TYPE(TFontPitch, fpDefault, fpVariable, fpFixed)

using TFontName = String;
using TFontCharset = Byte;

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame, psUserStyle, psAlternate };
K58_ENUM_TYPE(TPenStyle, psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame, psUserStyle,
              psAlternate)

enum TPenMode {
  pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot, pmMergeNotPen, pmMaskNotPen,
  pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};
K58_ENUM_TYPE(TPenMode, pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
              pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor)

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
K58_ENUM_TYPE(TBrushStyle, bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross,
              bsDiagCross)

namespace k58::forms {
struct FontResource;
struct PenResource;
struct BrushResource;
struct BitmapAccess;
}  // namespace k58::forms

// Base of fonts, pens and brushes: an attribute change fires OnChange.
class TGraphicsObject : public TPersistent {
  K58_CLASS(TGraphicsObject, TPersistent)

  const TNotifyEvent& OnChange() const { return onChange_; }
  void SetOnChange(const TNotifyEvent& Value) { onChange_ = Value; }

 protected:
  TGraphicsObject() = default;
  virtual void Changed();

 private:
  TNotifyEvent onChange_;
};

class TFont : public TGraphicsObject {
  K58_CLASS(TFont, TGraphicsObject)

  // "MS Sans Serif", 8 points, no style, the default character set, clWindowText.
  TFont();
  ~TFont() override;
  void Assign(TPersistent* Source) override;

  // The GDI font, created on first use; fonts with equal attributes share it.
  HFONT Handle();
  // Takes over a font: the attributes are read from it, and it is deleted with the last font using it.
  void SetHandle(HFONT Value);

  TFontCharset Charset() const;
  void SetCharset(TFontCharset Value);
  TColor Color() const { return color_; }
  void SetColor(TColor Value);
  // Character height in pixels; negative values measure the characters without internal leading.
  Integer Height() const;
  void SetHeight(Integer Value);
  TFontName Name() const;
  void SetName(const TFontName& Value);
  // Angle of the text in tenths of a degree.
  Integer Orientation() const;
  void SetOrientation(Integer Value);
  TFontPitch Pitch() const;
  void SetPitch(TFontPitch Value);
  // Size in points, through PixelsPerInch: Height = -Size * PixelsPerInch / 72.
  Integer Size() const;
  void SetSize(Integer Value);
  TFontStyles Style() const;
  void SetStyle(TFontStyles Value);
  Integer PixelsPerInch() const { return pixelsPerInch_; }
  void SetPixelsPerInch(Integer Value);

 private:
  friend class TCanvas;
  template <class Change>
  void Modify(Change change);

  k58::forms::FontResource* resource_ = nullptr;
  TColor color_ = clWindowText;
  Integer pixelsPerInch_ = 96;
};

class TPen : public TGraphicsObject {
  K58_CLASS(TPen, TGraphicsObject)

  // A solid black pen one pixel wide, copy mode.
  TPen();
  ~TPen() override;
  void Assign(TPersistent* Source) override;

  HPEN Handle();
  // Takes over a pen (for example a geometric pen made with ExtCreatePen).
  void SetHandle(HPEN Value);

  TColor Color() const;
  void SetColor(TColor Value);
  TPenMode Mode() const { return mode_; }
  void SetMode(TPenMode Value);
  TPenStyle Style() const;
  void SetStyle(TPenStyle Value);
  Integer Width() const;
  void SetWidth(Integer Value);

 private:
  template <class Change>
  void Modify(Change change);

  k58::forms::PenResource* resource_ = nullptr;
  TPenMode mode_ = pmCopy;
};

class TBrush : public TGraphicsObject {
  K58_CLASS(TBrush, TGraphicsObject)

  // A solid white brush.
  TBrush();
  ~TBrush() override;
  void Assign(TPersistent* Source) override;

  HBRUSH Handle();
  void SetHandle(HBRUSH Value);

  // A pattern brush from the bitmap (tiled from the device origin). The bitmap is not copied until the
  // handle is made and is not owned: it must outlive its use by the brush.
  TBitmap* Bitmap() const;
  void SetBitmap(TBitmap* Value);
  TColor Color() const;
  void SetColor(TColor Value);
  TBrushStyle Style() const;
  void SetStyle(TBrushStyle Value);

 private:
  template <class Change>
  void Modify(Change change);

  k58::forms::BrushResource* resource_ = nullptr;
};

// ---- Canvas ------------------------------------------------------------------------------------------
enum TCanvasStates { csHandleValid, csFontValid, csPenValid, csBrushValid };
K58_ENUM_TYPE(TCanvasStates, csHandleValid, csFontValid, csPenValid, csBrushValid)
K58_SET_TYPE(TCanvasState, TCanvasStates)
inline constexpr TCanvasState csAllValid{csHandleValid, csFontValid, csPenValid, csBrushValid};

// The raster operation of CopyRect and of drawing bitmaps.
using TCopyMode = Integer;
inline constexpr TCopyMode cmBlackness = BLACKNESS;
inline constexpr TCopyMode cmDstInvert = DSTINVERT;
inline constexpr TCopyMode cmMergeCopy = MERGECOPY;
inline constexpr TCopyMode cmMergePaint = MERGEPAINT;
inline constexpr TCopyMode cmNotSrcCopy = NOTSRCCOPY;
inline constexpr TCopyMode cmNotSrcErase = NOTSRCERASE;
inline constexpr TCopyMode cmPatCopy = PATCOPY;
inline constexpr TCopyMode cmPatInvert = PATINVERT;
inline constexpr TCopyMode cmPatPaint = PATPAINT;
inline constexpr TCopyMode cmSrcAnd = SRCAND;
inline constexpr TCopyMode cmSrcCopy = SRCCOPY;
inline constexpr TCopyMode cmSrcErase = SRCERASE;
inline constexpr TCopyMode cmSrcInvert = SRCINVERT;
inline constexpr TCopyMode cmSrcPaint = SRCPAINT;
inline constexpr TCopyMode cmWhiteness = WHITENESS;

using TSize = SIZE;

inline TRect Rect(Integer Left, Integer Top, Integer Right, Integer Bottom) { return TRect{Left, Top, Right, Bottom}; }
inline TRect Bounds(Integer Left, Integer Top, Integer Width, Integer Height) {
  return TRect{Left, Top, Left + Width, Top + Height};
}
inline TPoint Point(Integer X, Integer Y) { return TPoint{X, Y}; }

// Drawing on a device context with a font, a pen and a brush. A canvas without a context asks
// CreateHandle for one (a bitmap's canvas makes a memory context); the plain canvas has none to make
// and raises EInvalidOperation "Canvas does not allow drawing" until one is given with SetHandle.
// Every drawing call fires OnChanging before and OnChange after it draws.
class TCanvas : public TPersistent {
  K58_CLASS(TCanvas, TPersistent)

  TCanvas();
  ~TCanvas() override;

  void Arc(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3, Integer X4, Integer Y4);
  // Copies Source of Bitmap to Dest, drawing the pixels of colour Color with the canvas's brush.
  void BrushCopy(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Color);
  void Chord(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3, Integer X4, Integer Y4);
  // Copies (stretching when the sizes differ) with CopyMode.
  void CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source);
  // Draws the graphic at its own size; nothing for nil or an empty graphic.
  void Draw(Integer X, Integer Y, TGraphic* Graphic);
  void DrawFocusRect(const TRect& Rect);
  void Ellipse(Integer X1, Integer Y1, Integer X2, Integer Y2);
  void Ellipse(const TRect& Rect) { Ellipse(Rect.left, Rect.top, Rect.right, Rect.bottom); }
  void FillRect(const TRect& Rect);
  void FrameRect(const TRect& Rect);
  void LineTo(Integer X, Integer Y);
  void MoveTo(Integer X, Integer Y);
  void Pie(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3, Integer X4, Integer Y4);
  void Polygon(const std::vector<TPoint>& Points);
  void Polyline(const std::vector<TPoint>& Points);
  void Rectangle(Integer X1, Integer Y1, Integer X2, Integer Y2);
  void Rectangle(const TRect& Rect) { Rectangle(Rect.left, Rect.top, Rect.right, Rect.bottom); }
  void RoundRect(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3);
  void StretchDraw(const TRect& Rect, TGraphic* Graphic);
  TSize TextExtent(const String& Text);
  Integer TextHeight(const String& Text) { return TextExtent(Text).cy; }
  Integer TextWidth(const String& Text) { return TextExtent(Text).cx; }
  // Writes the text with its top left corner at (X, Y), on the brush colour unless the brush is clear,
  // and moves the pen position to the end of the text.
  void TextOut(Integer X, Integer Y, const String& Text);
  // Writes the text at (X, Y) clipped to Rect, filling Rect with the brush unless the brush is clear.
  void TextRect(const TRect& Rect, Integer X, Integer Y, const String& Text);
  // Drops the font, pen and brush from the context so the next call selects them again.
  void Refresh();

  // Serialises drawing from several threads; Lock may be taken again by the thread that holds it.
  void Lock();
  void Unlock();
  bool TryLock();
  Integer LockCount() const { return lockCount_; }

  // The clipping box in logical coordinates.
  TRect ClipRect();
  // The context with the font, pen and brush selected (made by CreateHandle when needed).
  HDC Handle();
  // Hands the canvas a context it draws on but does not own (nil: none).
  void SetHandle(HDC Value);
  bool HandleAllocated() const { return handle_ != nullptr; }
  TPoint PenPos();
  void SetPenPos(const TPoint& Value) { MoveTo(Value.x, Value.y); }
  // clNone for a pixel outside the surface or the clipping region.
  TColor Pixels(Integer X, Integer Y);
  void SetPixels(Integer X, Integer Y, TColor Value);
  // ExtTextOut options of TextOut and TextRect (ETO_RTLREADING...).
  Integer TextFlags() const { return textFlags_; }
  void SetTextFlags(Integer Value) { textFlags_ = Value; }
  TCopyMode CopyMode() const { return copyMode_; }
  void SetCopyMode(TCopyMode Value) { copyMode_ = Value; }

  TFont* Font() const { return font_.get(); }
  void SetFont(TFont* Value) { font_->Assign(Value); }
  TPen* Pen() const { return pen_.get(); }
  void SetPen(TPen* Value) { pen_->Assign(Value); }
  TBrush* Brush() const { return brush_.get(); }
  void SetBrush(TBrush* Value) { brush_->Assign(Value); }

  const TNotifyEvent& OnChange() const { return onChange_; }
  void SetOnChange(const TNotifyEvent& Value) { onChange_ = Value; }
  const TNotifyEvent& OnChanging() const { return onChanging_; }
  void SetOnChanging(const TNotifyEvent& Value) { onChanging_ = Value; }

  TCanvasState State() const { return state_; }

 protected:
  virtual void Changing();
  virtual void Changed();
  // Called when a drawing call needs a context and the canvas has none; the default makes none.
  virtual void CreateHandle() {}
  // Makes sure the context exists and the font, pen and brush named are selected in it.
  void RequiredState(TCanvasState ReqState);
  // Deselects the font, pen and brush (before the context goes away).
  void DeselectHandles();

 private:
  void FontChanged(TObject* Sender);
  void PenChanged(TObject* Sender);
  void BrushChanged(TObject* Sender);
  void SelectFont();
  void SelectPen();
  void SelectBrush();

  HDC handle_ = nullptr;
  TCanvasState state_;
  TObjectPtr<TFont> font_;
  TObjectPtr<TPen> pen_;
  TObjectPtr<TBrush> brush_;
  TCopyMode copyMode_ = cmSrcCopy;
  Integer textFlags_ = 0;
  TNotifyEvent onChange_;
  TNotifyEvent onChanging_;
  std::recursive_mutex lock_;
  Integer lockCount_ = 0;
};

// ---- Graphics ----------------------------------------------------------------------------------------
// A picture that can draw itself on a canvas and be read from and written to streams and files. Form
// resources keep it in the defined property "Data".
class TGraphic : public TPersistent {
  K58_CLASS(TGraphic, TPersistent)

  virtual bool Empty() const = 0;
  virtual Integer Width() const = 0;
  virtual Integer Height() const = 0;
  virtual void SetWidth(Integer Value) = 0;
  virtual void SetHeight(Integer Value) = 0;
  virtual bool Transparent() const { return transparent_; }
  virtual void SetTransparent(bool Value);
  bool Modified() const { return modified_; }
  // Setting it fires OnChange.
  void SetModified(bool Value);

  // Reads the rest of the stream; data the graphic cannot read raises EInvalidGraphic and leaves the
  // graphic as it was.
  virtual void LoadFromStream(TStream* Stream) = 0;
  virtual void SaveToStream(TStream* Stream) = 0;
  virtual void LoadFromFile(const String& FileName);
  // The graphic is encoded before the file is opened, so a graphic that cannot be written leaves an
  // existing file as it was.
  virtual void SaveToFile(const String& FileName);
  // Same class and same stream image.
  virtual bool Equals(TGraphic* Graphic);

  const TNotifyEvent& OnChange() const { return onChange_; }
  void SetOnChange(const TNotifyEvent& Value) { onChange_ = Value; }

 protected:
  friend class TCanvas;
  friend class TPicture;

  TGraphic() = default;
  // Draws the graphic into Rect (stretched to its size).
  virtual void Draw(TCanvas* ACanvas, const TRect& Rect) = 0;
  virtual void Changed(TObject* Sender);
  void DefineProperties(TFiler* Filer) override;
  // The form resource image: by default the stream image.
  virtual void ReadData(TStream* Stream);
  virtual void WriteData(TStream* Stream);

 private:
  TNotifyEvent onChange_;
  bool transparent_ = false;
  bool modified_ = false;
};

using TGraphicClass = TClass;

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
K58_ENUM_TYPE(TPixelFormat, pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom)

enum TTransparentMode { tmAuto, tmFixed };
K58_ENUM_TYPE(TTransparentMode, tmAuto, tmFixed)

enum TBitmapHandleType { bmDIB, bmDDB };
K58_ENUM_TYPE(TBitmapHandleType, bmDIB, bmDDB)

// A bitmap: device format (the display's, 32 bits), 32-bit or monochrome in memory, written to .bmp
// files in its pixel format (1, 4, 8, 16, 24 or 32 bits per pixel). New areas are white. Reads .bmp files
// of every depth, BI_RGB, BI_BITFIELDS and RLE-compressed, top-down and bottom-up.
class TBitmap : public TGraphic {
  K58_CLASS(TBitmap, TGraphic)

  TBitmap();
  ~TBitmap() override;

  // A bitmap copies the other's pixels, format and transparency; another graphic is drawn on a white
  // bitmap of its size; nil empties the bitmap.
  void Assign(TPersistent* Source) override;

  bool Empty() const override { return handle_ == nullptr; }
  Integer Width() const override { return width_; }
  Integer Height() const override { return height_; }
  void SetWidth(Integer Value) override { SetSize(Value, height_); }
  void SetHeight(Integer Value) override { SetSize(width_, Value); }
  // Keeps the pixels that remain inside; new ones are white. A size beyond what the system allows
  // raises EOutOfResources and leaves the bitmap as it was.
  void SetSize(Integer AWidth, Integer AHeight);

  // A canvas drawing on the bitmap; drawing fires the bitmap's OnChange.
  TCanvas* Canvas();
  bool HandleAllocated() const { return handle_ != nullptr; }
  // The GDI bitmap (nil while the bitmap is empty). Code may draw on it: the bitmap then counts as
  // changed.
  HBITMAP Handle();
  // Takes over a GDI bitmap (32-bit or monochrome), which the bitmap deletes when it is done with it.
  void SetHandle(HBITMAP Value);
  // Gives up the GDI bitmap to the caller and leaves the bitmap empty.
  HBITMAP ReleaseHandle();
  TBitmapHandleType HandleType() const { return pixelFormat_ == pfDevice ? bmDDB : bmDIB; }
  void SetHandleType(TBitmapHandleType Value);

  bool Monochrome() const;
  void SetMonochrome(bool Value);
  // Converting to a format with fewer colours maps every pixel to the nearest colour the format holds.
  TPixelFormat PixelFormat() const { return pixelFormat_; }
  void SetPixelFormat(TPixelFormat Value);
  // Row Row of a 32-bit bitmap (pf32bit, pfDevice): Width pixels of 4 bytes, blue, green, red, unused.
  void* ScanLine(Integer Row);

  // With Transparent, drawing leaves the pixels of this colour out. tmAuto takes the bottom-left pixel.
  TColor TransparentColor() const;
  void SetTransparentColor(TColor Value);
  TTransparentMode TransparentMode() const { return transparentMode_; }
  void SetTransparentMode(TTransparentMode Value);

  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;
  // A bitmap resource (type BITMAP) of the program: a .bmp file, with or without its file header.
  void LoadFromResourceName(HINSTANCE Instance, const String& ResName);
  void LoadFromResourceID(HINSTANCE Instance, Integer ResID);

 protected:
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;
  // Form resources hold the stream image preceded by its length (32 bits).
  void ReadData(TStream* Stream) override;
  void WriteData(TStream* Stream) override;

 private:
  friend class TBitmapCanvas;
  friend struct k58::forms::BitmapAccess;

  // Before any change of the pixels: the stream image read last no longer describes the bitmap.
  void Changing();
  void Replace(HBITMAP Handle, TPixelFormat Format, std::vector<uint32_t> Palette);
  void FreeContext();

  HBITMAP handle_ = nullptr;
  Integer width_ = 0;
  Integer height_ = 0;
  TPixelFormat pixelFormat_ = pfDevice;
  // Colour table of pf1bit, pf4bit and pf8bit bitmaps (pixels 0x00RRGGBB).
  std::vector<uint32_t> palette_;
  TColor transparentColor_ = clDefault;
  TTransparentMode transparentMode_ = tmAuto;
  // The bytes the bitmap was last read from, written back unchanged while the bitmap is unchanged.
  std::vector<uint8_t> streamImage_;
  TObjectPtr<TCanvas> canvas_;
};

// The canvas of a bitmap: a memory context with the bitmap selected, made on first use.
class TBitmapCanvas : public TCanvas {
  K58_CLASS(TBitmapCanvas, TCanvas)

  explicit TBitmapCanvas(TBitmap* Bitmap);
  ~TBitmapCanvas() override;

  // Deletes the memory context (the bitmap changes its GDI bitmap); the next call makes a new one.
  void FreeContext();
  // The memory context, or nil while none was made.
  HDC Context() const { return dc_; }

 protected:
  void CreateHandle() override;
  void Changing() override;
  void Changed() override;

 private:
  TBitmap* bitmap_;
  HDC dc_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
};

// An icon read from an .ico file or resource: the image nearest the system icon size, drawn through its
// mask. Icons are always transparent and cannot be resized. The file image is written back as it was
// read.
class TIcon : public TGraphic {
  K58_CLASS(TIcon, TGraphic)

  TIcon();
  ~TIcon() override;
  void Assign(TPersistent* Source) override;

  bool Empty() const override { return image_ == nullptr; }
  Integer Width() const override { return width_; }
  Integer Height() const override { return height_; }
  // An icon has the size of its image: both raise EInvalidGraphicOperation.
  void SetWidth(Integer Value) override;
  void SetHeight(Integer Value) override;
  bool Transparent() const override { return true; }

  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;
  // An icon resource (type ICON) of the program holding an .ico file.
  void LoadFromResourceName(HINSTANCE Instance, const String& ResName);

  // The colour image and the monochrome mask (white: transparent) of the icon, or nil when empty. They
  // belong to the icon.
  HBITMAP ImageHandle() const { return image_; }
  HBITMAP MaskHandle() const { return mask_; }

 protected:
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;

 private:
  void Clear();

  HBITMAP image_ = nullptr;
  HBITMAP mask_ = nullptr;
  Integer width_ = 0;
  Integer height_ = 0;
  std::vector<uint8_t> fileImage_;
};

// A Windows metafile (.wmf, with or without the placeable header) or an enhanced metafile (.emf). The
// file image is kept as read and written back byte for byte. Drawing plays a basic subset of the
// records (window origin and extent, pens, brushes, lines, rectangles, ellipses, polygons) scaled into
// the target rectangle; other records are skipped. Data that is not a well-formed metafile raises
// EInvalidGraphic and leaves the metafile as it was. A metafile of zero width or height is empty.
class TMetafile : public TGraphic {
  K58_CLASS(TMetafile, TGraphic)

  TMetafile();
  ~TMetafile() override;
  // Another metafile is copied; nil empties the metafile.
  void Assign(TPersistent* Source) override;

  bool Empty() const override { return data_.empty() || Width() <= 0 || Height() <= 0; }
  // Screen pixels (96 per inch) of the picture frame, unless set.
  Integer Width() const override { return width_; }
  Integer Height() const override { return height_; }
  // The size reported and drawn; the file image is not changed.
  void SetWidth(Integer Value) override;
  void SetHeight(Integer Value) override;
  // Size in hundredths of a millimetre.
  Integer MMWidth() const { return width_ * 2540 / 96; }
  Integer MMHeight() const { return height_ * 2540 / 96; }
  // True for an enhanced metafile.
  bool Enhanced() const { return enhanced_; }
  // Logical units per inch of a placeable metafile (0 otherwise).
  Integer Inch() const { return inch_; }
  void Clear();

  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;
  // The file image as read.
  const std::vector<uint8_t>& Data() const { return data_; }
  // The records of a Windows metafile without the placeable header (what the clipboard holds), or
  // the whole enhanced metafile.
  std::vector<uint8_t> RecordBytes() const;

 protected:
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;
  // Form resources hold the file image preceded by its length (32 bits).
  void ReadData(TStream* Stream) override;
  void WriteData(TStream* Stream) override;

 private:
  std::vector<uint8_t> data_;
  bool enhanced_ = false;
  Integer inch_ = 0;
  Integer width_ = 0;
  Integer height_ = 0;
};

// ---- Pictures ----------------------------------------------------------------------------------------
// Holds one graphic of any registered class. Graphic classes are registered with the extension of their
// files and a description, for loading by extension and for the filters of file dialogs; bitmaps
// ("bmp"), icons ("ico"), metafiles ("emf", "wmf") and JPEG pictures ("jpg", "jpeg") are registered from
// the start.
class TPicture : public TPersistent {
  K58_CLASS(TPicture, TPersistent)

  TPicture();
  ~TPicture() override;

  // A picture or a graphic is copied; nil empties the picture.
  void Assign(TPersistent* Source) override;

  // The graphic, owned by the picture (nil when empty).
  TGraphic* Graphic() const { return graphic_.get(); }
  // Stores a copy of Value (a new graphic of the same class); nil empties the picture.
  void SetGraphic(TGraphic* Value);
  // The graphic as a bitmap: a graphic of another class is replaced by an empty bitmap.
  TBitmap* Bitmap();
  void SetBitmap(TBitmap* Value) { SetGraphic(Value); }
  TIcon* Icon();
  void SetIcon(TIcon* Value) { SetGraphic(Value); }
  Integer Width() const;
  Integer Height() const;

  // A new graphic of the class registered for the file's extension reads the file. An unknown
  // extension raises EInvalidGraphic; an error while reading leaves the picture as it was.
  void LoadFromFile(const String& FileName);
  void SaveToFile(const String& FileName);

  const TNotifyEvent& OnChange() const { return onChange_; }
  void SetOnChange(const TNotifyEvent& Value) { onChange_ = Value; }

  // Extension without the dot ("png"), compared ignoring case; a later registration of an extension
  // replaces the earlier one.
  static void RegisterFileFormat(const String& Extension, const String& Description, TGraphicClass GraphicClass);
  static void UnregisterGraphicClass(TGraphicClass GraphicClass);
  // The registered class for the extension (without the dot), or nil.
  static TGraphicClass FindGraphicClass(const String& Extension);

 protected:
  virtual void Changed(TObject* Sender);
  void DefineProperties(TFiler* Filer) override;
  // Form resources hold the class name (a length byte and the name) and the graphic's own data.
  void ReadData(TStream* Stream);
  void WriteData(TStream* Stream);

 private:
  template <class T>
  T* ForceType();
  void Take(TGraphic* Graphic);

  TObjectPtr<TGraphic> graphic_;
  TNotifyEvent onChange_;
};

// "All (*.bmp;*.ico)|*.bmp;*.ico|Bitmaps (*.bmp)|*.bmp|..." for the registered classes that inherit from
// GraphicClass.
String GraphicFilter(TGraphicClass GraphicClass);
// The first registered extension of the class ("bmp"), or "".
String GraphicExtension(TGraphicClass GraphicClass);
// "*.bmp;*.ico" for the registered classes that inherit from GraphicClass.
String GraphicFileMask(TGraphicClass GraphicClass);
