// GDI objects behind the handles: pens, brushes, fonts, bitmaps, regions and device contexts, and the
// handle table that maps handles to them.
//
// A handle is an index into the table plus a generation, so a stale handle (its object deleted) is
// refused instead of reaching freed memory. Objects are shared: a DC keeps what it has selected alive,
// so deleting a pen or brush that is still selected frees it when the DC lets go of it.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/win/gdi/Region.h"
#include "platform/win/gdi/Surface.h"
#include "platform/win/gdi/WinGdi.h"

namespace k58::gdi {

class RealizedFont;

enum class Kind { Pen, Brush, Font, Bitmap, Region, DC };

class Object {
public:
  explicit Object(Kind k) : kind(k) {}
  virtual ~Object() = default;
  const Kind kind;
  HGDIOBJ handle = nullptr;
  bool stock = false;
};
using ObjectPtr = std::shared_ptr<Object>;

class PenObject : public Object {
public:
  PenObject() : Object(Kind::Pen) {}
  int style = PS_SOLID;  // PS_SOLID ... PS_ALTERNATE
  int width = 0;         // pixels; 0 and 1 are one-pixel lines
  COLORREF color = 0;
  bool geometric = false;
  bool extended = false;  // made by ExtCreatePen (answers OBJ_EXTPEN)
  int endCap = PS_ENDCAP_ROUND;
  int join = PS_JOIN_ROUND;
  DWORD rawStyle = 0;
  std::vector<DWORD> userStyle;
  // Pixels drawn by a one-pixel pen: a geometric pen wider than one pixel is filled as an outline.
  bool IsWide() const { return geometric && width > 1; }
};

class BrushObject : public Object {
public:
  BrushObject() : Object(Kind::Brush) {}
  UINT style = BS_SOLID;
  COLORREF color = 0;
  int hatch = 0;
  SurfacePtr pattern;  // a private copy of the pattern bitmap
  int sysColor = -1;   // system colour brushes follow the current system colour
  COLORREF Color() const;
};

class FontObject : public Object {
public:
  FontObject() : Object(Kind::Font) {}
  LOGFONTA lf;
  std::shared_ptr<RealizedFont> Realized();

private:
  std::shared_ptr<RealizedFont> realized_;
};

class DeviceContext;

class BitmapObject : public Object {
public:
  BitmapObject() : Object(Kind::Bitmap) {}
  SurfacePtr surface;
  bool dibSection = false;
  DeviceContext* selectedInto = nullptr;
};

class RegionObject : public Object {
public:
  RegionObject() : Object(Kind::Region) {}
  Region rgn;
};

using PenPtr = std::shared_ptr<PenObject>;
using BrushPtr = std::shared_ptr<BrushObject>;
using FontPtr = std::shared_ptr<FontObject>;
using BitmapPtr = std::shared_ptr<BitmapObject>;
using RegionPtr = std::shared_ptr<RegionObject>;

// ---- Handle table ------------------------------------------------------------------------------------
HGDIOBJ InsertObject(ObjectPtr obj);
ObjectPtr FindObject(HGDIOBJ h);
// Removes the handle; false for an unknown handle.
bool EraseObject(HGDIOBJ h);

template <class T>
std::shared_ptr<T> FindAs(HGDIOBJ h, Kind k) {
  ObjectPtr o = FindObject(h);
  if (!o || o->kind != k) return nullptr;
  return std::static_pointer_cast<T>(o);
}
inline PenPtr FindPen(HPEN h) { return FindAs<PenObject>(h, Kind::Pen); }
BrushPtr FindBrush(HBRUSH h);  // also accepts (HBRUSH)(COLOR_xxx + 1)
inline FontPtr FindFont(HFONT h) { return FindAs<FontObject>(h, Kind::Font); }
inline BitmapPtr FindBitmap(HBITMAP h) { return FindAs<BitmapObject>(h, Kind::Bitmap); }
inline RegionPtr FindRegion(HRGN h) { return FindAs<RegionObject>(h, Kind::Region); }

HRGN InsertRegion(Region rgn);
BrushPtr SysColorBrush(int index);
// Stock objects as objects (created on first use).
ObjectPtr StockObject(int index);
BitmapPtr DefaultBitmap();  // the 1x1 monochrome bitmap of a new memory DC

// ---- Device contexts ---------------------------------------------------------------------------------
struct DeviceCaps {
  int bitsPixel = 32;
  int horzRes = 0;
  int vertRes = 0;
  int logPixels = 96;
  int technology = DT_RASDISPLAY;
};

struct DcState {
  PenPtr pen;
  BrushPtr brush;
  FontPtr font;
  BitmapPtr bitmap;  // memory DCs
  COLORREF textColor = RGB(0, 0, 0);
  COLORREF bkColor = RGB(255, 255, 255);
  int bkMode = OPAQUE;
  int rop2 = R2_COPYPEN;
  int stretchMode = BLACKONWHITE;
  int polyFillMode = ALTERNATE;
  int arcDirection = AD_COUNTERCLOCKWISE;
  UINT textAlign = TA_LEFT | TA_TOP | TA_NOUPDATECP;
  int charExtra = 0;
  int justExtra = 0;
  int justCount = 0;
  POINT windowOrg;
  POINT viewportOrg;
  POINT brushOrg;
  POINT curPos;
  bool hasClip = false;
  Region clip;  // device coordinates, relative to the DC origin
};

struct PathFigure {
  std::vector<POINT> points;  // device coordinates
  bool closed = false;
};

class DeviceContext : public Object {
public:
  enum class Type { Memory, Surface };
  explicit DeviceContext(Type t) : Object(Kind::DC), type(t) {}
  ~DeviceContext() override;

  const Type type;
  DcState st;
  std::vector<DcState> saved;
  SurfacePtr fixedSurface;  // Surface DCs
  POINT origin;             // the DC's device (0,0) on the surface
  bool hasVisible = false;
  Region visible;  // surface coordinates
  DeviceCaps caps;
  void* tag = nullptr;
  long long styleCounter = 0;  // position in the dash pattern of the current line run

  // Path being recorded (device coordinates).
  bool pathOpen = false;
  bool pathReady = false;
  std::vector<PathFigure> path;

  Surface* Target() const;
  SurfacePtr TargetPtr() const;
  // The pixels drawing may touch, in surface coordinates: surface bounds, visible region, clip region.
  const Region& Clip();
  void InvalidateClip() { clipValid_ = false; }
  // The device area in device coordinates (what "no clip region" stands for in clip operations).
  RECT DeviceArea() const;

  // Logical -> surface coordinates.
  int OffX() const { return st.viewportOrg.x - st.windowOrg.x + origin.x; }
  int OffY() const { return st.viewportOrg.y - st.windowOrg.y + origin.y; }
  // Logical -> device coordinates. Results are kept within +-2^27 so that no later sum overflows;
  // nothing that far out is ever on a surface.
  static int Clamp(long long v) { return static_cast<int>(v < -(1LL << 27) ? -(1LL << 27) : v > (1LL << 27) ? (1LL << 27) : v); }
  int DevX(int x) const { return Clamp(static_cast<long long>(x) - st.windowOrg.x + st.viewportOrg.x); }
  int DevY(int y) const { return Clamp(static_cast<long long>(y) - st.windowOrg.y + st.viewportOrg.y); }
  int SurfX(int x) const { return Clamp(static_cast<long long>(x) + OffX()); }
  int SurfY(int y) const { return Clamp(static_cast<long long>(y) + OffY()); }
  RECT ToSurface(const RECT& r) const { return RECT{SurfX(r.left), SurfY(r.top), SurfX(r.right), SurfY(r.bottom)}; }

  void SelectBitmap(const BitmapPtr& bmp);
  // Text colour, background colour as device pixels of the current target.
  uint32_t Pixel(COLORREF c) const;

private:
  Region clipCache_;
  bool clipValid_ = false;
};
using DcPtr = std::shared_ptr<DeviceContext>;

DcPtr FindDC(HDC h);
inline HDC ToHDC(HGDIOBJ h) { return reinterpret_cast<HDC>(h); }
inline HGDIOBJ FromHDC(HDC h) { return reinterpret_cast<HGDIOBJ>(h); }

}  // namespace k58::gdi
