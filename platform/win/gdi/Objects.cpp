#include "platform/win/gdi/Objects.h"

#include <algorithm>
#include <cstring>

#include "platform/win/gdi/Font.h"
#include "platform/win/gdi/WinUserGdi.h"
#include "platform/rtl/Utf.h"

namespace k58::gdi {

// ---- Handle table ------------------------------------------------------------------------------------

namespace {

struct Slot {
  ObjectPtr obj;
  uint32_t generation = 0;
};

struct Table {
  std::mutex mutex;
  std::vector<Slot> slots;
  std::vector<uint32_t> freeList;
};

Table& TheTable() {
  static Table* table = new Table();  // never destroyed: objects may outlive static destruction order
  return *table;
}

// Handle value: generation in the high half, slot index + 1 shifted clear of the small values that
// stand for system colours in FillRect.
uintptr_t Encode(uint32_t index, uint32_t generation) {
  return (static_cast<uintptr_t>(generation & 0x7FFFFFFF) << 32) | (static_cast<uintptr_t>(index + 1) << 8);
}

bool Decode(HGDIOBJ h, uint32_t& index, uint32_t& generation) {
  auto v = reinterpret_cast<uintptr_t>(h);
  if ((v & 0xFF) != 0) return false;
  uintptr_t idx = (v >> 8) & 0xFFFFFF;
  if (idx == 0) return false;
  index = static_cast<uint32_t>(idx - 1);
  generation = static_cast<uint32_t>(v >> 32);
  return true;
}

}  // namespace

HGDIOBJ InsertObject(ObjectPtr obj) {
  Table& t = TheTable();
  std::lock_guard<std::mutex> lock(t.mutex);
  uint32_t index;
  if (!t.freeList.empty()) {
    index = t.freeList.back();
    t.freeList.pop_back();
  } else {
    if (t.slots.size() >= 0xFFFFFF) return nullptr;
    index = static_cast<uint32_t>(t.slots.size());
    t.slots.emplace_back();
  }
  Slot& s = t.slots[index];
  s.generation = (s.generation + 1) & 0x7FFFFFFF;
  if (s.generation == 0) s.generation = 1;
  s.obj = obj;
  obj->handle = reinterpret_cast<HGDIOBJ>(Encode(index, s.generation));
  return obj->handle;
}

ObjectPtr FindObject(HGDIOBJ h) {
  uint32_t index, generation;
  if (!Decode(h, index, generation)) return nullptr;
  Table& t = TheTable();
  std::lock_guard<std::mutex> lock(t.mutex);
  if (index >= t.slots.size() || t.slots[index].generation != generation) return nullptr;
  return t.slots[index].obj;
}

bool EraseObject(HGDIOBJ h) {
  uint32_t index, generation;
  if (!Decode(h, index, generation)) return false;
  ObjectPtr dying;  // released outside the lock
  Table& t = TheTable();
  {
    std::lock_guard<std::mutex> lock(t.mutex);
    if (index >= t.slots.size() || t.slots[index].generation != generation || !t.slots[index].obj) return false;
    dying = std::move(t.slots[index].obj);
    t.slots[index].obj.reset();
    t.freeList.push_back(index);
  }
  return true;
}

// ---- Brushes, stock objects --------------------------------------------------------------------------

COLORREF BrushObject::Color() const { return sysColor >= 0 ? GetSysColor(sysColor) : color; }

BrushPtr SysColorBrush(int index) {
  static std::once_flag once;
  static std::vector<BrushPtr>* brushes = nullptr;
  std::call_once(once, [] {
    brushes = new std::vector<BrushPtr>();
    for (int i = 0; i < K58_SYSCOLOR_COUNT; ++i) {
      auto b = std::make_shared<BrushObject>();
      b->style = BS_SOLID;
      b->sysColor = i;
      b->stock = true;
      InsertObject(b);
      brushes->push_back(b);
    }
  });
  if (index < 0 || index >= K58_SYSCOLOR_COUNT) return nullptr;
  return (*brushes)[index];
}

BrushPtr FindBrush(HBRUSH h) {
  auto v = reinterpret_cast<uintptr_t>(h);
  if (v >= 1 && v <= static_cast<uintptr_t>(K58_SYSCOLOR_COUNT)) return SysColorBrush(static_cast<int>(v) - 1);
  return FindAs<BrushObject>(h, Kind::Brush);
}

namespace {

ObjectPtr MakeStockBrush(UINT style, COLORREF color) {
  auto b = std::make_shared<BrushObject>();
  b->style = style;
  b->color = color;
  return b;
}

ObjectPtr MakeStockPen(int style, COLORREF color) {
  auto p = std::make_shared<PenObject>();
  p->style = style;
  p->color = color;
  p->rawStyle = static_cast<DWORD>(style);
  return p;
}

ObjectPtr MakeStockFont(LONG height, LONG weight, const char* face, BYTE pitchAndFamily) {
  auto f = std::make_shared<FontObject>();
  f->lf.lfHeight = height;
  f->lf.lfWeight = weight;
  f->lf.lfCharSet = DEFAULT_CHARSET;
  f->lf.lfPitchAndFamily = pitchAndFamily;
  std::strncpy(f->lf.lfFaceName, face, LF_FACESIZE - 1);
  return f;
}

}  // namespace

ObjectPtr StockObject(int index) {
  static std::once_flag once;
  static std::vector<ObjectPtr>* stock = nullptr;
  std::call_once(once, [] {
    stock = new std::vector<ObjectPtr>(DEFAULT_GUI_FONT + 1);
    auto& s = *stock;
    s[WHITE_BRUSH] = MakeStockBrush(BS_SOLID, RGB(255, 255, 255));
    s[LTGRAY_BRUSH] = MakeStockBrush(BS_SOLID, RGB(192, 192, 192));
    s[GRAY_BRUSH] = MakeStockBrush(BS_SOLID, RGB(128, 128, 128));
    s[DKGRAY_BRUSH] = MakeStockBrush(BS_SOLID, RGB(64, 64, 64));
    s[BLACK_BRUSH] = MakeStockBrush(BS_SOLID, RGB(0, 0, 0));
    s[NULL_BRUSH] = MakeStockBrush(BS_NULL, 0);
    s[WHITE_PEN] = MakeStockPen(PS_SOLID, RGB(255, 255, 255));
    s[BLACK_PEN] = MakeStockPen(PS_SOLID, RGB(0, 0, 0));
    s[NULL_PEN] = MakeStockPen(PS_NULL, 0);
    s[OEM_FIXED_FONT] = MakeStockFont(12, FW_NORMAL, "Terminal", FIXED_PITCH | FF_MODERN);
    s[ANSI_FIXED_FONT] = MakeStockFont(12, FW_NORMAL, "Courier", FIXED_PITCH | FF_MODERN);
    s[ANSI_VAR_FONT] = MakeStockFont(12, FW_NORMAL, "MS Sans Serif", VARIABLE_PITCH | FF_SWISS);
    s[SYSTEM_FONT] = MakeStockFont(16, FW_BOLD, "System", VARIABLE_PITCH | FF_SWISS);
    s[DEVICE_DEFAULT_FONT] = MakeStockFont(16, FW_BOLD, "System", VARIABLE_PITCH | FF_SWISS);
    s[SYSTEM_FIXED_FONT] = MakeStockFont(16, FW_NORMAL, "Fixedsys", FIXED_PITCH | FF_MODERN);
    s[DEFAULT_GUI_FONT] = MakeStockFont(-11, FW_NORMAL, "MS Shell Dlg", VARIABLE_PITCH | FF_SWISS);
    for (auto& o : s) {
      if (!o) continue;
      o->stock = true;
      InsertObject(o);
    }
  });
  if (index < 0 || index >= static_cast<int>(stock->size())) return nullptr;
  return (*stock)[index];
}

BitmapPtr DefaultBitmap() {
  static std::once_flag once;
  static BitmapPtr* bitmap = nullptr;
  std::call_once(once, [] {
    auto b = std::make_shared<BitmapObject>();
    b->surface = std::make_shared<Surface>(1, 1, 1);
    b->stock = true;
    InsertObject(b);
    bitmap = new BitmapPtr(b);
  });
  return *bitmap;
}

std::shared_ptr<RealizedFont> FontObject::Realized() {
  if (!realized_ || realized_->generation != FontGeneration()) realized_ = RealizeFont(lf);
  return realized_;
}

HRGN InsertRegion(Region rgn) {
  auto r = std::make_shared<RegionObject>();
  r->rgn = std::move(rgn);
  return reinterpret_cast<HRGN>(InsertObject(r));
}

}  // namespace k58::gdi

using namespace k58::gdi;

// ---- Creation ----------------------------------------------------------------------------------------

HPEN CreatePen(int style, int width, COLORREF color) {
  if (style < PS_SOLID || style > PS_INSIDEFRAME) return nullptr;
  auto p = std::make_shared<PenObject>();
  p->rawStyle = static_cast<DWORD>(style);
  p->width = std::max(0, width);
  p->color = color & 0x00FFFFFF;
  // A pen wider than one pixel is geometric with round ends and joins; its dash styles draw solid.
  if (p->width > 1) {
    p->geometric = true;
    p->style = (style == PS_NULL || style == PS_INSIDEFRAME) ? style : PS_SOLID;
  } else {
    p->style = style;
  }
  return reinterpret_cast<HPEN>(InsertObject(p));
}

HPEN CreatePenIndirect(const LOGPEN* pen) {
  if (!pen) return nullptr;
  return CreatePen(static_cast<int>(pen->lopnStyle), pen->lopnWidth.x, pen->lopnColor);
}

HPEN ExtCreatePen(DWORD style, DWORD width, const LOGBRUSH* brush, DWORD styleCount, const DWORD* styles) {
  if (!brush) return nullptr;
  int kind = static_cast<int>(style & PS_STYLE_MASK);
  if (kind > PS_ALTERNATE) return nullptr;
  bool geometric = (style & PS_TYPE_MASK) == PS_GEOMETRIC;
  if (!geometric && (width != 1 || kind == PS_INSIDEFRAME)) return nullptr;  // cosmetic pens are one pixel
  if (kind == PS_ALTERNATE && geometric) return nullptr;
  if (kind == PS_USERSTYLE && (styleCount == 0 || styleCount > 16 || !styles)) return nullptr;
  if (brush->lbStyle != BS_SOLID && brush->lbStyle != BS_NULL) return nullptr;
  auto p = std::make_shared<PenObject>();
  p->extended = true;
  p->rawStyle = style;
  p->geometric = geometric;
  p->width = static_cast<int>(std::min<DWORD>(width, 0x7FFF));
  p->color = brush->lbColor & 0x00FFFFFF;
  p->style = brush->lbStyle == BS_NULL ? PS_NULL : kind;
  p->endCap = static_cast<int>(style & PS_ENDCAP_MASK);
  p->join = static_cast<int>(style & PS_JOIN_MASK);
  if (kind == PS_USERSTYLE) p->userStyle.assign(styles, styles + styleCount);
  // Dashes of wide geometric pens are drawn solid.
  if (p->IsWide() && p->style != PS_NULL && p->style != PS_INSIDEFRAME) p->style = PS_SOLID;
  return reinterpret_cast<HPEN>(InsertObject(p));
}

HBRUSH CreateSolidBrush(COLORREF color) {
  auto b = std::make_shared<BrushObject>();
  b->style = BS_SOLID;
  b->color = color & 0x00FFFFFF;
  return reinterpret_cast<HBRUSH>(InsertObject(b));
}

HBRUSH CreateHatchBrush(int hatch, COLORREF color) {
  if (hatch < HS_HORIZONTAL || hatch > HS_DIAGCROSS) return nullptr;
  auto b = std::make_shared<BrushObject>();
  b->style = BS_HATCHED;
  b->hatch = hatch;
  b->color = color & 0x00FFFFFF;
  return reinterpret_cast<HBRUSH>(InsertObject(b));
}

HBRUSH CreatePatternBrush(HBITMAP bitmap) {
  auto bmp = FindBitmap(bitmap);
  if (!bmp || !bmp->surface || bmp->surface->Width() == 0 || bmp->surface->Height() == 0) return nullptr;
  // The brush keeps its own copy: later changes to the bitmap do not affect it.
  const Surface& src = *bmp->surface;
  auto copy = std::make_shared<Surface>(src.Width(), src.Height(), src.BitsPerPixel());
  for (int y = 0; y < src.Height(); ++y) std::copy_n(src.Row(y), src.Width(), copy->Row(y));
  auto b = std::make_shared<BrushObject>();
  b->style = BS_PATTERN;
  b->pattern = copy;
  return reinterpret_cast<HBRUSH>(InsertObject(b));
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* brush) {
  if (!brush) return nullptr;
  switch (brush->lbStyle) {
    case BS_SOLID: return CreateSolidBrush(brush->lbColor);
    case BS_NULL: return reinterpret_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    case BS_HATCHED: return CreateHatchBrush(static_cast<int>(brush->lbHatch), brush->lbColor);
    case BS_PATTERN: return CreatePatternBrush(reinterpret_cast<HBITMAP>(brush->lbHatch));
    default: return nullptr;
  }
}

HFONT CreateFontIndirect(const LOGFONTA* font) {
  if (!font) return nullptr;
  auto f = std::make_shared<FontObject>();
  f->lf = *font;
  f->lf.lfFaceName[LF_FACESIZE - 1] = 0;
  return reinterpret_cast<HFONT>(InsertObject(f));
}

HFONT CreateFontIndirectW(const LOGFONTW* font) {
  if (!font) return nullptr;
  LOGFONTA a;
  std::memcpy(static_cast<void*>(&a), font, offsetof(LOGFONTA, lfFaceName));
  int n = 0;
  while (n < LF_FACESIZE && font->lfFaceName[n]) ++n;
  std::string face = k58::rtl::Utf16ToUtf8(std::u16string_view(font->lfFaceName, static_cast<size_t>(n)));
  const size_t len = k58::rtl::Utf8Fit(face, LF_FACESIZE - 1);
  std::memcpy(a.lfFaceName, face.data(), len);
  a.lfFaceName[len] = 0;
  return CreateFontIndirect(&a);
}

HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                 DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                 DWORD quality, DWORD pitchAndFamily, LPCSTR face) {
  LOGFONTA lf;
  lf.lfHeight = height;
  lf.lfWidth = width;
  lf.lfEscapement = escapement;
  lf.lfOrientation = orientation;
  lf.lfWeight = weight;
  lf.lfItalic = static_cast<BYTE>(italic != 0);
  lf.lfUnderline = static_cast<BYTE>(underline != 0);
  lf.lfStrikeOut = static_cast<BYTE>(strikeOut != 0);
  lf.lfCharSet = static_cast<BYTE>(charSet);
  lf.lfOutPrecision = static_cast<BYTE>(outPrecision);
  lf.lfClipPrecision = static_cast<BYTE>(clipPrecision);
  lf.lfQuality = static_cast<BYTE>(quality);
  lf.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
  if (face) std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  return CreateFontIndirect(&lf);
}

HGDIOBJ GetStockObject(int index) {
  ObjectPtr o = StockObject(index);
  return o ? o->handle : nullptr;
}

// ---- Deletion and queries ----------------------------------------------------------------------------

BOOL DeleteObject(HGDIOBJ obj) {
  ObjectPtr o = FindObject(obj);
  if (!o || o->kind == Kind::DC) return FALSE;
  if (o->stock) return TRUE;
  if (o->kind == Kind::Bitmap && static_cast<BitmapObject*>(o.get())->selectedInto) return FALSE;
  return EraseObject(obj) ? TRUE : FALSE;
}

DWORD GetObjectType(HGDIOBJ obj) {
  ObjectPtr o = FindObject(obj);
  if (!o) return 0;
  switch (o->kind) {
    case Kind::Pen: return static_cast<PenObject*>(o.get())->extended ? OBJ_EXTPEN : OBJ_PEN;
    case Kind::Brush: return OBJ_BRUSH;
    case Kind::Font: return OBJ_FONT;
    case Kind::Bitmap: return OBJ_BITMAP;
    case Kind::Region: return OBJ_REGION;
    case Kind::DC:
      return static_cast<DeviceContext*>(o.get())->type == DeviceContext::Type::Memory ? OBJ_MEMDC : OBJ_DC;
  }
  return 0;
}

namespace {

template <class T>
int CopyOut(const T& value, int size, LPVOID buffer) {
  if (!buffer) return static_cast<int>(sizeof(T));
  int n = std::min<int>(size, static_cast<int>(sizeof(T)));
  if (n <= 0) return 0;
  std::memcpy(buffer, &value, static_cast<size_t>(n));
  return n;
}

BITMAP BitmapInfoOf(const BitmapObject& b) {
  BITMAP bm;
  const Surface& s = *b.surface;
  bm.bmWidth = s.Width();
  bm.bmHeight = s.Height();
  bm.bmPlanes = 1;
  bm.bmBitsPixel = static_cast<WORD>(s.BitsPerPixel());
  bm.bmWidthBytes = s.IsMono() ? ((s.Width() + 15) / 16) * 2 : s.Width() * 4;
  bm.bmBits = b.dibSection ? b.surface->Bits() : nullptr;
  return bm;
}

}  // namespace

int GetObject(HGDIOBJ obj, int size, LPVOID buffer) {
  ObjectPtr o = FindObject(obj);
  if (!o) return 0;
  switch (o->kind) {
    case Kind::Pen: {
      auto* p = static_cast<PenObject*>(o.get());
      if (p->extended) {
        EXTLOGPEN e;
        e.elpPenStyle = p->rawStyle;
        e.elpWidth = static_cast<DWORD>(p->width);
        e.elpBrushStyle = p->style == PS_NULL ? BS_NULL : BS_SOLID;
        e.elpColor = p->color;
        e.elpNumEntries = static_cast<DWORD>(p->userStyle.size());
        e.elpStyleEntry[0] = p->userStyle.empty() ? 0 : p->userStyle[0];
        return CopyOut(e, size, buffer);
      }
      LOGPEN lp;
      lp.lopnStyle = p->rawStyle;
      lp.lopnWidth.x = p->width;
      lp.lopnColor = p->color;
      return CopyOut(lp, size, buffer);
    }
    case Kind::Brush: {
      auto* b = static_cast<BrushObject*>(o.get());
      LOGBRUSH lb;
      lb.lbStyle = b->style;
      lb.lbColor = b->Color();
      lb.lbHatch = b->style == BS_HATCHED ? static_cast<ULONG_PTR>(b->hatch) : 0;
      return CopyOut(lb, size, buffer);
    }
    case Kind::Font: return CopyOut(static_cast<FontObject*>(o.get())->lf, size, buffer);
    case Kind::Bitmap: {
      auto* b = static_cast<BitmapObject*>(o.get());
      if (b->dibSection && buffer && size >= static_cast<int>(sizeof(DIBSECTION))) {
        DIBSECTION ds;
        ds.dsBm = BitmapInfoOf(*b);
        ds.dsBmih.biWidth = b->surface->Width();
        ds.dsBmih.biHeight = b->surface->BottomUp() ? b->surface->Height() : -b->surface->Height();
        ds.dsBmih.biBitCount = 32;
        ds.dsBmih.biSizeImage = static_cast<DWORD>(b->surface->ByteSize());
        return CopyOut(ds, size, buffer);
      }
      return CopyOut(BitmapInfoOf(*b), size, buffer);
    }
    default: return 0;
  }
}

int GetObjectW(HGDIOBJ obj, int size, LPVOID buffer) {
  auto f = FindFont(reinterpret_cast<HFONT>(obj));
  if (!f) return GetObject(obj, size, buffer);
  LOGFONTW w;
  std::memcpy(static_cast<void*>(&w), &f->lf, offsetof(LOGFONTW, lfFaceName));
  std::u16string face = k58::rtl::Utf8ToUtf16(f->lf.lfFaceName);
  size_t n = std::min<size_t>(face.size(), LF_FACESIZE - 1);
  std::copy_n(face.begin(), n, w.lfFaceName);
  w.lfFaceName[n] = 0;
  return CopyOut(w, size, buffer);
}
