// Colours and their names, the screen context, and fonts, pens and brushes over shared GDI handles.
#include "platform/forms/Graphics.h"

#include <atomic>
#include <cstring>

#include "platform/classes/ClassBuilder.h"
#include "platform/forms/GraphicsInternal.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Utf.h"

using namespace graphicsconsts;
using k58::forms::BrushData;
using k58::forms::FontData;
using k58::forms::PenData;

// ---- Colours -----------------------------------------------------------------------------------------

namespace {

struct NamedValue {
  Integer Value;
  const char* Name;
};

// In the class library's order: the 16 standard colours and the extra ones, then the system colours.
const NamedValue kColors[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clSkyBlue, "clSkyBlue"},
    {clCream, "clCream"},
    {clMedGray, "clMedGray"},
    {clActiveBorder, "clActiveBorder"},
    {clActiveCaption, "clActiveCaption"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clBackground, "clBackground"},
    {clBtnFace, "clBtnFace"},
    {clBtnHighlight, "clBtnHighlight"},
    {clBtnShadow, "clBtnShadow"},
    {clBtnText, "clBtnText"},
    {clCaptionText, "clCaptionText"},
    {clDefault, "clDefault"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clGrayText, "clGrayText"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clHotLight, "clHotLight"},
    {clInactiveBorder, "clInactiveBorder"},
    {clInactiveCaption, "clInactiveCaption"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clInfoBk, "clInfoBk"},
    {clInfoText, "clInfoText"},
    {clMenu, "clMenu"},
    {clMenuBar, "clMenuBar"},
    {clMenuHighlight, "clMenuHighlight"},
    {clMenuText, "clMenuText"},
    {clNone, "clNone"},
    {clScrollBar, "clScrollBar"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clWindowText, "clWindowText"},
};

const NamedValue kCharsets[] = {
    {0, "ANSI_CHARSET"},         {1, "DEFAULT_CHARSET"},     {2, "SYMBOL_CHARSET"},
    {77, "MAC_CHARSET"},         {128, "SHIFTJIS_CHARSET"},  {129, "HANGEUL_CHARSET"},
    {130, "JOHAB_CHARSET"},      {134, "GB2312_CHARSET"},    {136, "CHINESEBIG5_CHARSET"},
    {161, "GREEK_CHARSET"},      {162, "TURKISH_CHARSET"},   {163, "VIETNAMESE_CHARSET"},
    {177, "HEBREW_CHARSET"},     {178, "ARABIC_CHARSET"},    {186, "BALTIC_CHARSET"},
    {204, "RUSSIAN_CHARSET"},    {222, "THAI_CHARSET"},      {238, "EASTEUROPE_CHARSET"},
    {255, "OEM_CHARSET"},
};

template <size_t N>
bool ValueToName(const NamedValue (&table)[N], Integer value, String& name) {
  for (const NamedValue& entry : table) {
    if (entry.Value == value) {
      name = entry.Name;
      return true;
    }
  }
  return false;
}

template <size_t N>
bool NameToValue(const NamedValue (&table)[N], const String& name, Integer& value) {
  for (const NamedValue& entry : table) {
    if (SameText(name, entry.Name)) {
      value = entry.Value;
      return true;
    }
  }
  return false;
}

}  // namespace

COLORREF ColorToRGB(TColor Color) {
  if (Color < 0) return GetSysColor(Color & 0xFF);
  return static_cast<COLORREF>(Color);
}

bool ColorToIdent(Integer Color, String& Ident) { return ValueToName(kColors, Color, Ident); }

bool IdentToColor(const String& Ident, Integer& Color) { return NameToValue(kColors, Ident, Color); }

String ColorToString(TColor Color) {
  String name;
  if (ColorToIdent(Color, name)) return name;
  return "$" + IntToHex(Color, 8);
}

TColor StringToColor(const String& S) {
  Integer color = 0;
  if (IdentToColor(S, color)) return color;
  return StrToInt(S);
}

void GetColorValues(const std::function<void(const String& Name)>& Proc) {
  for (const NamedValue& entry : kColors) Proc(entry.Name);
}

bool CharsetToIdent(Integer Charset, String& Ident) { return ValueToName(kCharsets, Charset, Ident); }

bool IdentToCharset(const String& Ident, Integer& Charset) { return NameToValue(kCharsets, Ident, Charset); }

const TTypeInfo* TColorTypeInfo() {
  static const TTypeInfo* info = [] {
    const TTypeInfo* type = AliasTypeInfo(TypeInfoOf<Integer>(), "TColor");
    RegisterIntegerConsts(type, IdentToColor, ColorToIdent);
    return type;
  }();
  return info;
}

const TTypeInfo* TFontCharsetTypeInfo() {
  static const TTypeInfo* info = [] {
    const TTypeInfo* type = AliasTypeInfo(TypeInfoOf<TFontCharset>(), "TFontCharset");
    RegisterIntegerConsts(type, IdentToCharset, CharsetToIdent);
    return type;
  }();
  return info;
}

const TTypeInfo* TFontNameTypeInfo() {
  static const TTypeInfo* info = AliasTypeInfo(TypeInfoOf<String>(), "TFontName");
  return info;
}

namespace {
// Properties declared elsewhere as .Type("TColor") find the value names from the start.
struct ConstsRegistrar {
  ConstsRegistrar() {
    TColorTypeInfo();
    TFontCharsetTypeInfo();
  }
} constsRegistrar;
}  // namespace

// ---- Screen context ----------------------------------------------------------------------------------

HDC ScreenDC() {
  static HDC dc = CreateCompatibleDC(nullptr);
  return dc;
}

Integer ScreenLogPixels() {
  Integer pixels = GetDeviceCaps(ScreenDC(), LOGPIXELSY);
  return pixels > 0 ? pixels : 96;
}

// ---- Shared handles ----------------------------------------------------------------------------------

namespace k58::forms {

// Never destroyed: fonts in static objects may be freed after any other static object.
ResourceManager<FontResource>& FontManager() {
  static auto& manager = *new ResourceManager<FontResource>();
  return manager;
}
ResourceManager<PenResource>& PenManager() {
  static auto& manager = *new ResourceManager<PenResource>();
  return manager;
}
ResourceManager<BrushResource>& BrushManager() {
  static auto& manager = *new ResourceManager<BrushResource>();
  return manager;
}

}  // namespace k58::forms

using k58::forms::BrushManager;
using k58::forms::FontManager;
using k58::forms::PenManager;

namespace {

constexpr const char* kDefaultFontName = "MS Sans Serif";

FontData DefaultFontData() {
  FontData data;
  data.Height = -MulDiv(8, ScreenLogPixels(), 72);
  data.Name = kDefaultFontName;
  data.Charset = DEFAULT_CHARSET;
  return data;
}

HGDIOBJ CreateFontHandle(const FontData& data) {
  LOGFONTA lf;
  lf.lfHeight = data.Height;
  lf.lfEscapement = data.Orientation;
  lf.lfOrientation = data.Orientation;
  const TFontStyles style = TFontStyles::FromBits(data.Style);
  lf.lfWeight = style.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = style.Contains(fsItalic) ? 1 : 0;
  lf.lfUnderline = style.Contains(fsUnderline) ? 1 : 0;
  lf.lfStrikeOut = style.Contains(fsStrikeOut) ? 1 : 0;
  lf.lfCharSet = data.Charset;
  String face = SameText(data.Name, "Default") ? String(kDefaultFontName) : data.Name;
  const size_t length = k58::rtl::Utf8Fit(face, LF_FACESIZE - 1);
  std::memcpy(lf.lfFaceName, face.data(), length);
  lf.lfFaceName[length] = '\0';
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  switch (data.Pitch) {
    case fpVariable: lf.lfPitchAndFamily = VARIABLE_PITCH; break;
    case fpFixed: lf.lfPitchAndFamily = FIXED_PITCH; break;
    default: lf.lfPitchAndFamily = DEFAULT_PITCH; break;
  }
  HFONT font = CreateFontIndirect(&lf);
  if (!font) throw EOutOfResources(SOutOfResources);
  return font;
}

constexpr int kPenStyles[] = {PS_SOLID,   PS_DASH,        PS_DOT,         PS_DASHDOT,  PS_DASHDOTDOT,
                              PS_NULL,    PS_INSIDEFRAME, PS_USERSTYLE,   PS_ALTERNATE};

HGDIOBJ CreatePenHandle(const PenData& data) {
  HPEN pen = CreatePen(kPenStyles[data.Style], data.Width, ColorToRGB(data.Color));
  if (!pen) throw EOutOfResources(SOutOfResources);
  return pen;
}

HGDIOBJ CreateBrushHandle(const BrushData& data) {
  HBRUSH brush = nullptr;
  if (HBITMAP pattern = data.Bitmap ? k58::forms::BitmapAccess::Handle(data.Bitmap) : nullptr) {
    brush = CreatePatternBrush(pattern);
  } else if (data.Style == bsSolid) {
    brush = CreateSolidBrush(ColorToRGB(data.Color));
  } else if (data.Style == bsClear) {
    brush = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  } else {
    brush = CreateHatchBrush(static_cast<int>(data.Style) - bsHorizontal + HS_HORIZONTAL, ColorToRGB(data.Color));
  }
  if (!brush) throw EOutOfResources(SOutOfResources);
  return brush;
}

}  // namespace

// ---- TGraphicsObject ---------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TGraphicsObject) {}

void TGraphicsObject::Changed() { onChange_(this); }

// ---- TFont -------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TFont) {
  b.Prop("Charset", &TFont::Charset, &TFont::SetCharset).Type(TFontCharsetTypeInfo());
  b.Prop("Color", &TFont::Color, &TFont::SetColor).Type(TColorTypeInfo());
  b.Prop("Height", &TFont::Height, &TFont::SetHeight);
  b.Prop("Name", &TFont::Name, &TFont::SetName).Type(TFontNameTypeInfo());
  b.Prop("Pitch", &TFont::Pitch, &TFont::SetPitch).Default(fpDefault);
  b.Prop("Size", &TFont::Size, &TFont::SetSize).Stored(false);
  b.Prop("Style", &TFont::Style, &TFont::SetStyle);
}

TFont::TFont() : pixelsPerInch_(ScreenLogPixels()) { resource_ = FontManager().Alloc(DefaultFontData()); }

TFont::~TFont() { FontManager().Free(resource_); }

template <class Change>
void TFont::Modify(Change change) {
  FontData data = resource_->data;
  change(data);
  if (data == resource_->data) return;
  // Any attribute of its own ends the use of a font handle taken over.
  data.Adopted = nullptr;
  auto* next = FontManager().Alloc(data);
  FontManager().Free(resource_);
  resource_ = next;
  Changed();
}

void TFont::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TFont*>(Source);
  if (source == nullptr) {
    TPersistent::Assign(Source);
    return;
  }
  if (source == this) return;
  FontData data = source->resource_->data;
  // The same size in points at this font's resolution.
  if (source->pixelsPerInch_ != pixelsPerInch_ && data.Adopted == nullptr) {
    data.Height = -MulDiv(source->Size(), pixelsPerInch_, 72);
  }
  auto* next = FontManager().Alloc(data);
  FontManager().Free(resource_);
  resource_ = next;
  color_ = source->color_;
  Changed();
}

HFONT TFont::Handle() { return static_cast<HFONT>(FontManager().Handle(resource_, CreateFontHandle)); }

void TFont::SetHandle(HFONT Value) {
  LOGFONTA lf;
  if (Value == nullptr || GetObject(Value, sizeof(lf), &lf) != sizeof(lf)) {
    throw EInvalidGraphicOperation("Invalid font handle");
  }
  FontData data;
  data.Height = lf.lfHeight;
  data.Orientation = lf.lfEscapement;
  TFontStyles style;
  if (lf.lfWeight >= FW_BOLD) style.Include(fsBold);
  if (lf.lfItalic) style.Include(fsItalic);
  if (lf.lfUnderline) style.Include(fsUnderline);
  if (lf.lfStrikeOut) style.Include(fsStrikeOut);
  data.Style = style.Bits();
  data.Charset = lf.lfCharSet;
  data.Name = String(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE));
  switch (lf.lfPitchAndFamily & 0x03) {
    case VARIABLE_PITCH: data.Pitch = fpVariable; break;
    case FIXED_PITCH: data.Pitch = fpFixed; break;
    default: data.Pitch = fpDefault; break;
  }
  data.Adopted = Value;
  auto* next = FontManager().Alloc(data);
  FontManager().Free(resource_);
  resource_ = next;
  Changed();
}

TFontCharset TFont::Charset() const { return resource_->data.Charset; }
void TFont::SetCharset(TFontCharset Value) {
  Modify([&](FontData& d) { d.Charset = Value; });
}

void TFont::SetColor(TColor Value) {
  if (Value == color_) return;
  color_ = Value;
  Changed();
}

Integer TFont::Height() const { return resource_->data.Height; }
void TFont::SetHeight(Integer Value) {
  Modify([&](FontData& d) { d.Height = Value; });
}

TFontName TFont::Name() const { return resource_->data.Name; }
void TFont::SetName(const TFontName& Value) {
  if (Value.empty()) return;
  Modify([&](FontData& d) { d.Name = Value; });
}

Integer TFont::Orientation() const { return resource_->data.Orientation; }
void TFont::SetOrientation(Integer Value) {
  Modify([&](FontData& d) { d.Orientation = Value; });
}

TFontPitch TFont::Pitch() const { return resource_->data.Pitch; }
void TFont::SetPitch(TFontPitch Value) {
  Modify([&](FontData& d) { d.Pitch = Value; });
}

Integer TFont::Size() const { return -MulDiv(Height(), 72, pixelsPerInch_); }
void TFont::SetSize(Integer Value) { SetHeight(-MulDiv(Value, pixelsPerInch_, 72)); }

TFontStyles TFont::Style() const { return TFontStyles::FromBits(resource_->data.Style); }
void TFont::SetStyle(TFontStyles Value) {
  Modify([&](FontData& d) { d.Style = Value.Bits(); });
}

void TFont::SetPixelsPerInch(Integer Value) {
  if (Value > 0) pixelsPerInch_ = Value;
}

// ---- TPen --------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TPen) {
  b.Prop("Color", &TPen::Color, &TPen::SetColor).Type(TColorTypeInfo()).Default(clBlack);
  b.Prop("Mode", &TPen::Mode, &TPen::SetMode).Default(pmCopy);
  b.Prop("Style", &TPen::Style, &TPen::SetStyle).Default(psSolid);
  b.Prop("Width", &TPen::Width, &TPen::SetWidth).Default(1);
}

TPen::TPen() { resource_ = PenManager().Alloc(PenData()); }

TPen::~TPen() { PenManager().Free(resource_); }

template <class Change>
void TPen::Modify(Change change) {
  PenData data = resource_->data;
  change(data);
  if (data == resource_->data) return;
  data.Adopted = nullptr;
  auto* next = PenManager().Alloc(data);
  PenManager().Free(resource_);
  resource_ = next;
  Changed();
}

void TPen::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TPen*>(Source);
  if (source == nullptr) {
    TPersistent::Assign(Source);
    return;
  }
  if (source == this) return;
  auto* next = PenManager().Alloc(source->resource_->data);
  PenManager().Free(resource_);
  resource_ = next;
  mode_ = source->mode_;
  Changed();
}

HPEN TPen::Handle() { return static_cast<HPEN>(PenManager().Handle(resource_, CreatePenHandle)); }

void TPen::SetHandle(HPEN Value) {
  PenData data;
  LOGPEN lp;
  EXTLOGPEN ext;
  if (Value != nullptr && GetObject(Value, sizeof(lp), &lp) == sizeof(lp)) {
    data.Color = static_cast<TColor>(lp.lopnColor);
    data.Width = lp.lopnWidth.x;
    data.Style = static_cast<TPenStyle>(std::min<UINT>(lp.lopnStyle & PS_STYLE_MASK, psAlternate));
  } else if (Value != nullptr && GetObject(Value, sizeof(ext), &ext) > 0) {
    data.Color = static_cast<TColor>(ext.elpColor);
    data.Width = static_cast<Integer>(ext.elpWidth);
    data.Style = static_cast<TPenStyle>(std::min<DWORD>(ext.elpPenStyle & PS_STYLE_MASK, psAlternate));
  } else {
    throw EInvalidGraphicOperation("Invalid pen handle");
  }
  data.Adopted = Value;
  auto* next = PenManager().Alloc(data);
  PenManager().Free(resource_);
  resource_ = next;
  Changed();
}

TColor TPen::Color() const { return resource_->data.Color; }
void TPen::SetColor(TColor Value) {
  Modify([&](PenData& d) { d.Color = Value; });
}

void TPen::SetMode(TPenMode Value) {
  if (Value == mode_) return;
  mode_ = Value;
  Changed();
}

TPenStyle TPen::Style() const { return resource_->data.Style; }
void TPen::SetStyle(TPenStyle Value) {
  Modify([&](PenData& d) { d.Style = Value; });
}

Integer TPen::Width() const { return resource_->data.Width; }
void TPen::SetWidth(Integer Value) {
  if (Value < 0) return;
  Modify([&](PenData& d) { d.Width = Value; });
}

// ---- TBrush ------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TBrush) {
  b.Prop("Color", &TBrush::Color, &TBrush::SetColor).Type(TColorTypeInfo()).Default(clWhite);
  b.Prop("Style", &TBrush::Style, &TBrush::SetStyle).Default(bsSolid);
}

TBrush::TBrush() { resource_ = BrushManager().Alloc(BrushData()); }

TBrush::~TBrush() { BrushManager().Free(resource_); }

template <class Change>
void TBrush::Modify(Change change) {
  BrushData data = resource_->data;
  change(data);
  if (data == resource_->data) return;
  data.Adopted = nullptr;
  auto* next = BrushManager().Alloc(data);
  BrushManager().Free(resource_);
  resource_ = next;
  Changed();
}

void TBrush::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TBrush*>(Source);
  if (source == nullptr) {
    TPersistent::Assign(Source);
    return;
  }
  if (source == this) return;
  auto* next = BrushManager().Alloc(source->resource_->data);
  BrushManager().Free(resource_);
  resource_ = next;
  Changed();
}

HBRUSH TBrush::Handle() { return static_cast<HBRUSH>(BrushManager().Handle(resource_, CreateBrushHandle)); }

void TBrush::SetHandle(HBRUSH Value) {
  LOGBRUSH lb;
  if (Value == nullptr || GetObject(Value, sizeof(lb), &lb) != sizeof(lb)) {
    throw EInvalidGraphicOperation("Invalid brush handle");
  }
  BrushData data;
  data.Color = static_cast<TColor>(lb.lbColor);
  switch (lb.lbStyle) {
    case BS_NULL: data.Style = bsClear; break;
    case BS_HATCHED:
      data.Style = static_cast<TBrushStyle>(bsHorizontal + std::min<ULONG_PTR>(lb.lbHatch, HS_DIAGCROSS));
      break;
    default: data.Style = bsSolid; break;
  }
  data.Adopted = Value;
  auto* next = BrushManager().Alloc(data);
  BrushManager().Free(resource_);
  resource_ = next;
  Changed();
}

TBitmap* TBrush::Bitmap() const { return resource_->data.Bitmap; }
void TBrush::SetBitmap(TBitmap* Value) {
  static std::atomic<uint64_t> serial{0};
  Modify([&](BrushData& d) {
    d.Bitmap = Value;
    d.Serial = Value ? ++serial : 0;
  });
}

TColor TBrush::Color() const { return resource_->data.Color; }
void TBrush::SetColor(TColor Value) {
  Modify([&](BrushData& d) {
    d.Color = Value;
    // A colour makes a clear brush solid again, as setting it in a designer does.
    if (d.Style == bsClear) d.Style = bsSolid;
  });
}

TBrushStyle TBrush::Style() const { return resource_->data.Style; }
void TBrush::SetStyle(TBrushStyle Value) {
  Modify([&](BrushData& d) { d.Style = Value; });
}
