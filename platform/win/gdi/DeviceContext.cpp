// Device contexts: creation, selected objects, attributes, coordinates, save/restore and clipping.
#include <algorithm>
#include <cstring>

#include "platform/win/gdi/Gdi.h"
#include "platform/win/gdi/Objects.h"
#include "platform/win/gdi/WinUserGdi.h"

namespace k58::gdi {

namespace {

// Coordinates far outside any surface still fit in 32 bits after offsets.
constexpr int kCoordLimit = 1 << 27;

int ClampCoord(long long v) { return static_cast<int>(std::clamp<long long>(v, -kCoordLimit, kCoordLimit)); }

RECT ClampRect(long long l, long long t, long long r, long long b) {
  return RECT{ClampCoord(l), ClampCoord(t), ClampCoord(r), ClampCoord(b)};
}

void InitState(DcState& st) {
  st.pen = std::static_pointer_cast<PenObject>(StockObject(BLACK_PEN));
  st.brush = std::static_pointer_cast<BrushObject>(StockObject(WHITE_BRUSH));
  st.font = std::static_pointer_cast<FontObject>(StockObject(SYSTEM_FONT));
}

DeviceCaps DisplayCaps() {
  DeviceCaps c;
  c.horzRes = GetSystemMetrics(SM_CXSCREEN);
  c.vertRes = GetSystemMetrics(SM_CYSCREEN);
  return c;
}

HDC Register(const DcPtr& dc) { return ToHDC(InsertObject(dc)); }

}  // namespace

DeviceContext::~DeviceContext() {
  if (st.bitmap && st.bitmap->selectedInto == this) st.bitmap->selectedInto = nullptr;
}

DcPtr FindDC(HDC h) { return FindAs<DeviceContext>(FromHDC(h), Kind::DC); }

Surface* DeviceContext::Target() const {
  if (type == Type::Surface) return fixedSurface.get();
  return st.bitmap ? st.bitmap->surface.get() : nullptr;
}

SurfacePtr DeviceContext::TargetPtr() const {
  if (type == Type::Surface) return fixedSurface;
  return st.bitmap ? st.bitmap->surface : nullptr;
}

uint32_t DeviceContext::Pixel(COLORREF c) const {
  Surface* s = Target();
  return s ? s->PixelOf(c) : ColorToPixel(c);
}

const Region& DeviceContext::Clip() {
  if (clipValid_) return clipCache_;
  Surface* s = Target();
  clipCache_ = s ? Region(s->Bounds()) : Region();
  if (hasVisible) clipCache_ = Region::Combine(clipCache_, visible, RGN_AND);
  if (st.hasClip) {
    Region c = st.clip;
    c.Offset(origin.x, origin.y);
    clipCache_ = Region::Combine(clipCache_, c, RGN_AND);
  }
  clipValid_ = true;
  return clipCache_;
}

RECT DeviceContext::DeviceArea() const {
  if (hasVisible) {
    RECT b = visible.Bounds();
    return RECT{b.left - origin.x, b.top - origin.y, b.right - origin.x, b.bottom - origin.y};
  }
  Surface* s = Target();
  if (!s) return RECT{0, 0, 0, 0};
  return RECT{-origin.x, -origin.y, s->Width() - origin.x, s->Height() - origin.y};
}

void DeviceContext::SelectBitmap(const BitmapPtr& bmp) {
  if (st.bitmap && st.bitmap->selectedInto == this) st.bitmap->selectedInto = nullptr;
  st.bitmap = bmp;
  if (bmp && !bmp->stock) bmp->selectedInto = this;
  InvalidateClip();
}

// ---- Surface DCs for the window layer --------------------------------------------------------------

HDC CreateSurfaceDC(SurfacePtr surface, POINT origin, const Region* visible) {
  if (!surface) return nullptr;
  auto dc = std::make_shared<DeviceContext>(DeviceContext::Type::Surface);
  InitState(dc->st);
  dc->fixedSurface = std::move(surface);
  dc->origin = origin;
  dc->hasVisible = visible != nullptr;
  if (visible) dc->visible = *visible;
  dc->caps = DisplayCaps();
  dc->caps.bitsPixel = dc->fixedSurface->BitsPerPixel();
  return Register(dc);
}

BOOL SetSurfaceDCOrigin(HDC hdc, POINT origin) {
  auto dc = FindDC(hdc);
  if (!dc) return FALSE;
  dc->origin = origin;
  dc->InvalidateClip();
  return TRUE;
}

BOOL SetSurfaceDCVisible(HDC hdc, const Region* visible) {
  auto dc = FindDC(hdc);
  if (!dc) return FALSE;
  dc->hasVisible = visible != nullptr;
  dc->visible = visible ? *visible : Region();
  dc->InvalidateClip();
  return TRUE;
}

BOOL SetDCTag(HDC hdc, void* tag) {
  auto dc = FindDC(hdc);
  if (!dc) return FALSE;
  dc->tag = tag;
  return TRUE;
}

void* GetDCTag(HDC hdc) {
  auto dc = FindDC(hdc);
  return dc ? dc->tag : nullptr;
}

SurfacePtr SurfaceOfDC(HDC hdc) {
  auto dc = FindDC(hdc);
  return dc ? dc->TargetPtr() : nullptr;
}

SurfacePtr DesktopSurface() {
  static SurfacePtr* desktop = nullptr;
  if (!desktop)
    desktop = new SurfacePtr(
        std::make_shared<Surface>(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), 32));
  return *desktop;
}

}  // namespace k58::gdi

using namespace k58::gdi;

// ---- Creation ----------------------------------------------------------------------------------------

HDC CreateDC(LPCSTR driver, LPCSTR, LPCSTR, const void*) {
  if (!driver || std::strcmp(driver, "DISPLAY") != 0) return nullptr;
  return CreateSurfaceDC(DesktopSurface(), POINT{0, 0}, nullptr);
}

HDC CreateCompatibleDC(HDC hdc) {
  DeviceCaps caps = DisplayCaps();
  if (hdc) {
    auto ref = FindDC(hdc);
    if (!ref) return nullptr;
    caps = ref->caps;
  }
  auto dc = std::make_shared<DeviceContext>(DeviceContext::Type::Memory);
  InitState(dc->st);
  dc->caps = caps;
  dc->SelectBitmap(DefaultBitmap());
  return Register(dc);
}

BOOL DeleteDC(HDC hdc) {
  auto dc = FindDC(hdc);
  if (!dc) return FALSE;
  if (dc->st.bitmap && dc->st.bitmap->selectedInto == dc.get()) dc->st.bitmap->selectedInto = nullptr;
  for (auto& s : dc->saved)
    if (s.bitmap && s.bitmap->selectedInto == dc.get()) s.bitmap->selectedInto = nullptr;
  return EraseObject(FromHDC(hdc)) ? TRUE : FALSE;
}

int GetDeviceCaps(HDC hdc, int index) {
  auto dc = FindDC(hdc);
  if (!dc) return 0;
  const DeviceCaps& c = dc->caps;
  switch (index) {
    case DRIVERVERSION: return 0x4000;
    case TECHNOLOGY: return c.technology;
    case HORZSIZE: return c.horzRes * 254 / (c.logPixels * 10);
    case VERTSIZE: return c.vertRes * 254 / (c.logPixels * 10);
    case HORZRES:
    case DESKTOPHORZRES: return c.horzRes;
    case VERTRES:
    case DESKTOPVERTRES: return c.vertRes;
    case BITSPIXEL: return c.bitsPixel;
    case PLANES: return 1;
    case NUMCOLORS: return c.bitsPixel == 1 ? 2 : -1;
    case ASPECTX:
    case ASPECTY: return 36;
    case ASPECTXY: return 51;
    case LOGPIXELSX:
    case LOGPIXELSY: return c.logPixels;
    case RASTERCAPS: return RC_BITBLT | RC_BITMAP64 | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB;
    case COLORRES: return c.bitsPixel == 1 ? 1 : 24;
    case VREFRESH: return 60;
    default: return 0;
  }
}

// ---- Selection ---------------------------------------------------------------------------------------

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ obj) {
  auto dc = FindDC(hdc);
  ObjectPtr o = FindObject(obj);
  if (!dc || !o) {
    // A system colour brush index is not a selectable object.
    return nullptr;
  }
  switch (o->kind) {
    case Kind::Pen: {
      HGDIOBJ old = dc->st.pen->handle;
      dc->st.pen = std::static_pointer_cast<PenObject>(o);
      return old;
    }
    case Kind::Brush: {
      HGDIOBJ old = dc->st.brush->handle;
      dc->st.brush = std::static_pointer_cast<BrushObject>(o);
      return old;
    }
    case Kind::Font: {
      HGDIOBJ old = dc->st.font->handle;
      dc->st.font = std::static_pointer_cast<FontObject>(o);
      return old;
    }
    case Kind::Bitmap: {
      if (dc->type != DeviceContext::Type::Memory) return nullptr;
      auto bmp = std::static_pointer_cast<BitmapObject>(o);
      if (bmp->selectedInto && bmp->selectedInto != dc.get()) return nullptr;  // one DC at a time
      HGDIOBJ old = dc->st.bitmap ? dc->st.bitmap->handle : nullptr;
      dc->SelectBitmap(bmp);
      return old;
    }
    case Kind::Region: {
      int r = SelectClipRgn(hdc, reinterpret_cast<HRGN>(obj));
      return reinterpret_cast<HGDIOBJ>(static_cast<intptr_t>(r));
    }
    default: return nullptr;
  }
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
  auto dc = FindDC(hdc);
  if (!dc) return nullptr;
  switch (type) {
    case OBJ_PEN:
    case OBJ_EXTPEN: return dc->st.pen->handle;
    case OBJ_BRUSH: return dc->st.brush->handle;
    case OBJ_FONT: return dc->st.font->handle;
    case OBJ_BITMAP: return dc->st.bitmap ? dc->st.bitmap->handle : nullptr;
    default: return nullptr;
  }
}

// ---- Attributes --------------------------------------------------------------------------------------

#define K58_DC_ATTRIBUTE(SetName, GetName, Type, field, invalid, check)  \
  Type SetName(HDC hdc, Type value) {                                   \
    auto dc = FindDC(hdc);                                              \
    if (!dc || !(check)) return invalid;                                \
    Type old = dc->st.field;                                            \
    dc->st.field = value;                                               \
    return old;                                                         \
  }                                                                     \
  Type GetName(HDC hdc) {                                               \
    auto dc = FindDC(hdc);                                              \
    return dc ? dc->st.field : invalid;                                 \
  }

K58_DC_ATTRIBUTE(SetTextColor, GetTextColor, COLORREF, textColor, CLR_INVALID, true)
K58_DC_ATTRIBUTE(SetBkColor, GetBkColor, COLORREF, bkColor, CLR_INVALID, true)
K58_DC_ATTRIBUTE(SetBkMode, GetBkMode, int, bkMode, 0, value == TRANSPARENT || value == OPAQUE)
K58_DC_ATTRIBUTE(SetROP2, GetROP2, int, rop2, 0, value >= R2_BLACK && value <= R2_WHITE)
K58_DC_ATTRIBUTE(SetStretchBltMode, GetStretchBltMode, int, stretchMode, 0, value >= BLACKONWHITE && value <= HALFTONE)
K58_DC_ATTRIBUTE(SetPolyFillMode, GetPolyFillMode, int, polyFillMode, 0, value == ALTERNATE || value == WINDING)
K58_DC_ATTRIBUTE(SetArcDirection, GetArcDirection, int, arcDirection, 0,
                 value == AD_COUNTERCLOCKWISE || value == AD_CLOCKWISE)
K58_DC_ATTRIBUTE(SetTextCharacterExtra, GetTextCharacterExtra, int, charExtra, static_cast<int>(0x80000000), true)
#undef K58_DC_ATTRIBUTE

UINT SetTextAlign(HDC hdc, UINT align) {
  auto dc = FindDC(hdc);
  if (!dc) return GDI_ERROR;
  UINT old = dc->st.textAlign;
  dc->st.textAlign = align;
  return old;
}

UINT GetTextAlign(HDC hdc) {
  auto dc = FindDC(hdc);
  return dc ? dc->st.textAlign : GDI_ERROR;
}

BOOL SetTextJustification(HDC hdc, int extra, int breakCount) {
  auto dc = FindDC(hdc);
  if (!dc) return FALSE;
  dc->st.justExtra = breakCount > 0 ? extra : 0;
  dc->st.justCount = breakCount > 0 ? breakCount : 0;
  return TRUE;
}

int SetMapMode(HDC hdc, int mode) {
  auto dc = FindDC(hdc);
  if (!dc || mode != MM_TEXT) return 0;
  return MM_TEXT;
}

int GetMapMode(HDC hdc) { return FindDC(hdc) ? MM_TEXT : 0; }

COLORREF GetNearestColor(HDC hdc, COLORREF color) {
  auto dc = FindDC(hdc);
  if (!dc) return CLR_INVALID;
  return PixelToColor(dc->Pixel(color & 0x00FFFFFF));
}

// ---- Origins -----------------------------------------------------------------------------------------

namespace {

BOOL SetPoint(HDC hdc, POINT DcState::*field, int x, int y, LPPOINT previous, bool offset) {
  auto dc = FindDC(hdc);
  if (!dc) return FALSE;
  POINT& p = dc->st.*field;
  if (previous) *previous = p;
  if (offset) {
    p.x = ClampCoord(static_cast<long long>(p.x) + x);
    p.y = ClampCoord(static_cast<long long>(p.y) + y);
  } else {
    p.x = ClampCoord(x);
    p.y = ClampCoord(y);
  }
  return TRUE;
}

BOOL GetPoint(HDC hdc, POINT DcState::*field, LPPOINT out) {
  auto dc = FindDC(hdc);
  if (!dc || !out) return FALSE;
  *out = dc->st.*field;
  return TRUE;
}

}  // namespace

BOOL SetBrushOrgEx(HDC hdc, int x, int y, LPPOINT previous) {
  return SetPoint(hdc, &DcState::brushOrg, x, y, previous, false);
}
BOOL GetBrushOrgEx(HDC hdc, LPPOINT origin) { return GetPoint(hdc, &DcState::brushOrg, origin); }
BOOL SetWindowOrgEx(HDC hdc, int x, int y, LPPOINT previous) {
  return SetPoint(hdc, &DcState::windowOrg, x, y, previous, false);
}
BOOL GetWindowOrgEx(HDC hdc, LPPOINT origin) { return GetPoint(hdc, &DcState::windowOrg, origin); }
BOOL OffsetWindowOrgEx(HDC hdc, int dx, int dy, LPPOINT previous) {
  return SetPoint(hdc, &DcState::windowOrg, dx, dy, previous, true);
}
BOOL SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT previous) {
  return SetPoint(hdc, &DcState::viewportOrg, x, y, previous, false);
}
BOOL GetViewportOrgEx(HDC hdc, LPPOINT origin) { return GetPoint(hdc, &DcState::viewportOrg, origin); }
BOOL OffsetViewportOrgEx(HDC hdc, int dx, int dy, LPPOINT previous) {
  return SetPoint(hdc, &DcState::viewportOrg, dx, dy, previous, true);
}

BOOL GetDCOrgEx(HDC hdc, LPPOINT origin) {
  auto dc = FindDC(hdc);
  if (!dc || !origin) return FALSE;
  *origin = dc->origin;
  return TRUE;
}

BOOL LPtoDP(HDC hdc, LPPOINT points, int count) {
  auto dc = FindDC(hdc);
  if (!dc || (count > 0 && !points)) return FALSE;
  for (int i = 0; i < count; ++i) points[i] = POINT{dc->DevX(points[i].x), dc->DevY(points[i].y)};
  return TRUE;
}

BOOL DPtoLP(HDC hdc, LPPOINT points, int count) {
  auto dc = FindDC(hdc);
  if (!dc || (count > 0 && !points)) return FALSE;
  for (int i = 0; i < count; ++i)
    points[i] = POINT{points[i].x - dc->st.viewportOrg.x + dc->st.windowOrg.x,
                      points[i].y - dc->st.viewportOrg.y + dc->st.windowOrg.y};
  return TRUE;
}

// ---- Save and restore --------------------------------------------------------------------------------

int SaveDC(HDC hdc) {
  auto dc = FindDC(hdc);
  if (!dc) return 0;
  dc->saved.push_back(dc->st);
  return static_cast<int>(dc->saved.size());
}

BOOL RestoreDC(HDC hdc, int savedDC) {
  auto dc = FindDC(hdc);
  if (!dc) return FALSE;
  int depth = static_cast<int>(dc->saved.size());
  int level = savedDC < 0 ? depth + 1 + savedDC : savedDC;
  if (savedDC == 0 || level < 1 || level > depth) return FALSE;
  DcState restored = dc->saved[static_cast<size_t>(level - 1)];
  dc->saved.resize(static_cast<size_t>(level - 1));
  BitmapPtr bmp = restored.bitmap;
  if (dc->type == DeviceContext::Type::Memory && bmp != dc->st.bitmap) {
    if (bmp && bmp->selectedInto && bmp->selectedInto != dc.get()) bmp = dc->st.bitmap;  // taken meanwhile
    restored.bitmap = dc->st.bitmap;
    dc->st = restored;
    dc->SelectBitmap(bmp);
  } else {
    dc->st = restored;
  }
  dc->InvalidateClip();
  return TRUE;
}

// ---- Clipping ----------------------------------------------------------------------------------------

namespace {

int ClipComplexity(DeviceContext& dc) {
  const Region& c = dc.Clip();
  return c.Complexity();
}

// Current clip as a region in device coordinates, "no clip" standing for the device area.
Region CurrentOrDeviceClip(DeviceContext& dc) {
  if (dc.st.hasClip) return dc.st.clip;
  return Region(dc.DeviceArea());
}

int SetClip(DeviceContext& dc, Region r) {
  dc.st.hasClip = true;
  dc.st.clip = std::move(r);
  dc.InvalidateClip();
  return ClipComplexity(dc);
}

RECT LogicalToDevice(DeviceContext& dc, int l, int t, int r, int b) {
  RECT rc = ClampRect(static_cast<long long>(l) - dc.st.windowOrg.x + dc.st.viewportOrg.x,
                      static_cast<long long>(t) - dc.st.windowOrg.y + dc.st.viewportOrg.y,
                      static_cast<long long>(r) - dc.st.windowOrg.x + dc.st.viewportOrg.x,
                      static_cast<long long>(b) - dc.st.windowOrg.y + dc.st.viewportOrg.y);
  if (rc.left > rc.right) std::swap(rc.left, rc.right);
  if (rc.top > rc.bottom) std::swap(rc.top, rc.bottom);
  return rc;
}

}  // namespace

int GetClipRgn(HDC hdc, HRGN rgn) {
  auto dc = FindDC(hdc);
  auto r = FindRegion(rgn);
  if (!dc || !r) return -1;
  if (!dc->st.hasClip) return 0;
  r->rgn = dc->st.clip;
  return 1;
}

int SelectClipRgn(HDC hdc, HRGN rgn) { return ExtSelectClipRgn(hdc, rgn, RGN_COPY); }

int ExtSelectClipRgn(HDC hdc, HRGN rgn, int mode) {
  auto dc = FindDC(hdc);
  if (!dc || mode < RGN_AND || mode > RGN_COPY) return ERROR;
  if (!rgn) {
    if (mode != RGN_COPY) return ERROR;
    dc->st.hasClip = false;
    dc->st.clip.SetEmpty();
    dc->InvalidateClip();
    return ClipComplexity(*dc);
  }
  auto r = FindRegion(rgn);
  if (!r) return ERROR;
  if (mode == RGN_COPY) return SetClip(*dc, r->rgn);
  return SetClip(*dc, Region::Combine(CurrentOrDeviceClip(*dc), r->rgn, mode));
}

int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom) {
  auto dc = FindDC(hdc);
  if (!dc) return ERROR;
  Region ex(LogicalToDevice(*dc, left, top, right, bottom));
  return SetClip(*dc, Region::Combine(CurrentOrDeviceClip(*dc), ex, RGN_DIFF));
}

int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
  auto dc = FindDC(hdc);
  if (!dc) return ERROR;
  Region in(LogicalToDevice(*dc, left, top, right, bottom));
  return SetClip(*dc, Region::Combine(CurrentOrDeviceClip(*dc), in, RGN_AND));
}

int OffsetClipRgn(HDC hdc, int dx, int dy) {
  auto dc = FindDC(hdc);
  if (!dc) return ERROR;
  if (dc->st.hasClip) {
    dc->st.clip.Offset(dx, dy);
    dc->InvalidateClip();
  }
  return ClipComplexity(*dc);
}

int GetClipBox(HDC hdc, LPRECT rect) {
  auto dc = FindDC(hdc);
  if (!dc || !rect) return ERROR;
  const Region& c = dc->Clip();
  if (c.IsEmpty()) {
    *rect = RECT{0, 0, 0, 0};
    return NULLREGION;
  }
  RECT b = c.Bounds();
  *rect = RECT{b.left - dc->OffX(), b.top - dc->OffY(), b.right - dc->OffX(), b.bottom - dc->OffY()};
  return c.Complexity();
}

BOOL RectVisible(HDC hdc, const RECT* rect) {
  auto dc = FindDC(hdc);
  if (!dc || !rect) return FALSE;
  RECT r = *rect;
  if (r.left > r.right) std::swap(r.left, r.right);
  if (r.top > r.bottom) std::swap(r.top, r.bottom);
  return dc->Clip().Intersects(dc->ToSurface(r)) ? TRUE : FALSE;
}

BOOL PtVisible(HDC hdc, int x, int y) {
  auto dc = FindDC(hdc);
  if (!dc) return FALSE;
  return dc->Clip().Contains(dc->SurfX(x), dc->SurfY(y)) ? TRUE : FALSE;
}
