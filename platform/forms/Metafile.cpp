// Metafiles: reading and checking Windows and enhanced metafiles, keeping their file image, and playing a
// basic subset of their records onto a canvas.
//
// Every record is checked against the data before it is used: a record that claims more bytes than are
// left, fewer than its own header, or points that do not fit in it, makes the whole file invalid when
// read. Drawing therefore walks data that is known to be well formed, and clamps the coordinates it
// maps so that a huge shape cannot make the rasterizer walk millions of rows.
#include <algorithm>
#include <cstring>
#include <map>

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Streams.h"
#include "platform/forms/Graphics.h"
#include "platform/forms/GraphicsInternal.h"

using namespace graphicsconsts;

namespace {

uint16_t MfU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
int16_t MfS16(const uint8_t* p) { return static_cast<int16_t>(MfU16(p)); }
uint32_t MfU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}
int32_t MfS32(const uint8_t* p) { return static_cast<int32_t>(MfU32(p)); }

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr size_t kPlaceableSize = 22;
constexpr uint32_t kEmfSignature = 0x464D4520;  // " EMF"

// Windows metafile record functions that are played.
constexpr uint16_t META_EOF = 0x0000;
constexpr uint16_t META_SETWINDOWORG = 0x020B;
constexpr uint16_t META_SETWINDOWEXT = 0x020C;
constexpr uint16_t META_LINETO = 0x0213;
constexpr uint16_t META_MOVETO = 0x0214;
constexpr uint16_t META_SELECTOBJECT = 0x012D;
constexpr uint16_t META_DELETEOBJECT = 0x01F0;
constexpr uint16_t META_ELLIPSE = 0x0418;
constexpr uint16_t META_RECTANGLE = 0x041B;
constexpr uint16_t META_POLYGON = 0x0324;
constexpr uint16_t META_POLYLINE = 0x0325;
constexpr uint16_t META_CREATEPENINDIRECT = 0x02FA;
constexpr uint16_t META_CREATEBRUSHINDIRECT = 0x02FC;
// Records that create an object slot the player does not draw with (it keeps the slot numbers right).
constexpr uint16_t kWmfCreators[] = {0x00F7 /* palette */, 0x01F9 /* pattern brush */, 0x02FB /* font */,
                                     0x0142 /* DIB pattern brush */, 0x06FF /* region */};

// Enhanced metafile record types that are played.
constexpr uint32_t EMR_HEADER = 1;
constexpr uint32_t EMR_SETWINDOWEXTEX = 9;
constexpr uint32_t EMR_SETWINDOWORGEX = 10;
constexpr uint32_t EMR_EOF = 14;
constexpr uint32_t EMR_MOVETOEX = 27;
constexpr uint32_t EMR_SELECTOBJECT = 37;
constexpr uint32_t EMR_CREATEPEN = 38;
constexpr uint32_t EMR_CREATEBRUSHINDIRECT = 39;
constexpr uint32_t EMR_DELETEOBJECT = 40;
constexpr uint32_t EMR_ELLIPSE = 42;
constexpr uint32_t EMR_RECTANGLE = 43;
constexpr uint32_t EMR_LINETO = 54;
constexpr uint32_t EMR_POLYGON16 = 86;
constexpr uint32_t EMR_POLYLINE16 = 87;

struct MetafileInfo {
  bool enhanced = false;
  Integer inch = 0;
  Integer width = 0;
  Integer height = 0;
};

[[noreturn]] void BadMetafile() { throw EInvalidGraphic(SInvalidMetafile); }

// Logical size of a Windows metafile without a placeable header: its last window extent.
void ScanWindowExtent(const uint8_t* p, size_t size, MetafileInfo& info) {
  for (size_t at = 18; at + 6 <= size;) {
    const size_t bytes = static_cast<size_t>(MfU32(p + at)) * 2;
    const uint16_t function = MfU16(p + at + 4);
    if (function == META_SETWINDOWEXT && bytes >= 10) {
      info.height = std::abs(MfS16(p + at + 6));
      info.width = std::abs(MfS16(p + at + 8));
    }
    if (function == META_EOF) break;
    at += bytes;
  }
}

// Checks a Windows metafile (from its META_HEADER at `at`) record by record.
void CheckWmfRecords(const uint8_t* p, size_t size, size_t at) {
  if (size - at < 18) BadMetafile();
  const uint16_t type = MfU16(p + at);
  const uint16_t headerWords = MfU16(p + at + 2);
  if ((type != 1 && type != 2) || headerWords != 9) BadMetafile();
  for (at += 18; at < size;) {
    if (size - at < 6) BadMetafile();
    const uint64_t bytes = static_cast<uint64_t>(MfU32(p + at)) * 2;
    if (bytes < 6 || bytes > size - at) BadMetafile();
    if (MfU16(p + at + 4) == META_EOF) return;
    at += static_cast<size_t>(bytes);
  }
}

void CheckEmfRecords(const uint8_t* p, size_t size) {
  for (size_t at = 0; at < size;) {
    if (size - at < 8) BadMetafile();
    const uint32_t type = MfU32(p + at);
    const uint32_t bytes = MfU32(p + at + 4);
    if (bytes < 8 || bytes % 4 != 0 || bytes > size - at) BadMetafile();
    if ((at == 0) != (type == EMR_HEADER)) BadMetafile();
    if (type == EMR_EOF) return;
    at += bytes;
  }
}

MetafileInfo ReadMetafileInfo(const std::vector<uint8_t>& data) {
  const uint8_t* p = data.data();
  const size_t size = data.size();
  MetafileInfo info;
  if (size >= 88 && MfU32(p) == EMR_HEADER && MfU32(p + 40) == kEmfSignature) {
    if (MfU32(p + 4) < 88) BadMetafile();
    CheckEmfRecords(p, size);
    info.enhanced = true;
    // The picture frame in hundredths of a millimetre, else the bounds in device pixels (inclusive).
    const int64_t frameW = int64_t{MfS32(p + 32)} - MfS32(p + 24);
    const int64_t frameH = int64_t{MfS32(p + 36)} - MfS32(p + 28);
    if (frameW > 0 && frameH > 0) {
      info.width = static_cast<Integer>(std::min<int64_t>((frameW * 96 + 1270) / 2540, k58::forms::kMaxImageSide + 1));
      info.height = static_cast<Integer>(std::min<int64_t>((frameH * 96 + 1270) / 2540, k58::forms::kMaxImageSide + 1));
    } else {
      info.width = static_cast<Integer>(std::clamp<int64_t>(int64_t{MfS32(p + 16)} - MfS32(p + 8) + 1, 0,
                                                            k58::forms::kMaxImageSide + 1));
      info.height = static_cast<Integer>(std::clamp<int64_t>(int64_t{MfS32(p + 20)} - MfS32(p + 12) + 1, 0,
                                                             k58::forms::kMaxImageSide + 1));
    }
  } else if (size >= kPlaceableSize && MfU32(p) == kPlaceableKey) {
    CheckWmfRecords(p, size, kPlaceableSize);
    const Integer inch = MfU16(p + 14);
    if (inch == 0) BadMetafile();
    info.inch = inch;
    info.width = std::abs(MfS16(p + 10) - MfS16(p + 6)) * 96 / inch;
    info.height = std::abs(MfS16(p + 12) - MfS16(p + 8)) * 96 / inch;
  } else {
    CheckWmfRecords(p, size, 0);
    ScanWindowExtent(p, size, info);
  }
  if (info.width > k58::forms::kMaxImageSide || info.height > k58::forms::kMaxImageSide) BadMetafile();
  return info;
}

// Plays records onto a device context, mapping the logical window onto the target rectangle.
class MetafilePlayer {
 public:
  MetafilePlayer(HDC dc, const TRect& rect, Integer orgX, Integer orgY, Integer extX, Integer extY)
      : dc_(dc), rect_(rect), orgX_(orgX), orgY_(orgY), extX_(extX), extY_(extY) {
    oldPen_ = SelectObject(dc_, GetStockObject(BLACK_PEN));
    oldBrush_ = SelectObject(dc_, GetStockObject(WHITE_BRUSH));
  }
  ~MetafilePlayer() {
    SelectObject(dc_, oldPen_);
    SelectObject(dc_, oldBrush_);
    for (auto& [slot, object] : objects_) {
      if (object) DeleteObject(object);
    }
  }

  void SetOrigin(Integer x, Integer y) { orgX_ = x, orgY_ = y; }
  void SetExtent(Integer x, Integer y) {
    if (x != 0 && y != 0) extX_ = x, extY_ = y;
  }

  POINT Map(int64_t x, int64_t y) const {
    const int64_t w = rect_.right - rect_.left;
    const int64_t h = rect_.bottom - rect_.top;
    const int64_t limitX = std::max<int64_t>(w, 1) * 4;
    const int64_t limitY = std::max<int64_t>(h, 1) * 4;
    const int64_t dx = extX_ ? (x - orgX_) * w / extX_ : 0;
    const int64_t dy = extY_ ? (y - orgY_) * h / extY_ : 0;
    return POINT{static_cast<LONG>(rect_.left + std::clamp(dx, -limitX, limitX)),
                 static_cast<LONG>(rect_.top + std::clamp(dy, -limitY, limitY))};
  }

  // A created object takes the lowest free slot (Windows metafiles) or its own index (enhanced).
  void AddObject(HGDIOBJ object, int64_t slot = -1) {
    if (slot < 0) {
      slot = 0;
      while (objects_.count(slot)) ++slot;
    }
    if (objects_.size() >= 4096 && !objects_.count(slot)) {  // the tables of real files are far smaller
      if (object) DeleteObject(object);
      return;
    }
    if (auto found = objects_.find(slot); found != objects_.end() && found->second) {
      Deselect(found->second);
      DeleteObject(found->second);
    }
    objects_[slot] = object;
  }
  void Select(int64_t slot) {
    auto found = objects_.find(slot);
    if (found != objects_.end() && found->second) SelectObject(dc_, found->second);
  }
  void SelectStock(int index) {
    if (HGDIOBJ stock = GetStockObject(index)) SelectObject(dc_, stock);
  }
  void Delete(int64_t slot) {
    auto found = objects_.find(slot);
    if (found == objects_.end()) return;
    if (found->second) {
      Deselect(found->second);
      DeleteObject(found->second);
    }
    objects_.erase(found);
  }

  void Rectangle(int64_t l, int64_t t, int64_t r, int64_t b) {
    const POINT a = Map(l, t), c = Map(r, b);
    ::Rectangle(dc_, a.x, a.y, c.x, c.y);
  }
  void Ellipse(int64_t l, int64_t t, int64_t r, int64_t b) {
    const POINT a = Map(l, t), c = Map(r, b);
    ::Ellipse(dc_, a.x, a.y, c.x, c.y);
  }
  void MoveTo(int64_t x, int64_t y) {
    const POINT a = Map(x, y);
    MoveToEx(dc_, a.x, a.y, nullptr);
  }
  void LineTo(int64_t x, int64_t y) {
    const POINT a = Map(x, y);
    ::LineTo(dc_, a.x, a.y);
  }
  void Poly(const std::vector<POINT>& points, bool closed) {
    if (points.size() < 2) return;
    if (closed) {
      ::Polygon(dc_, points.data(), static_cast<int>(points.size()));
    } else {
      ::Polyline(dc_, points.data(), static_cast<int>(points.size()));
    }
  }

 private:
  void Deselect(HGDIOBJ object) {
    if (GetCurrentObject(dc_, OBJ_PEN) == object) SelectObject(dc_, GetStockObject(BLACK_PEN));
    if (GetCurrentObject(dc_, OBJ_BRUSH) == object) SelectObject(dc_, GetStockObject(WHITE_BRUSH));
  }

  HDC dc_;
  TRect rect_;
  Integer orgX_, orgY_, extX_, extY_;
  HGDIOBJ oldPen_ = nullptr;
  HGDIOBJ oldBrush_ = nullptr;
  std::map<int64_t, HGDIOBJ> objects_;
};

HPEN MakePen(uint32_t style, int64_t width, uint32_t color) {
  const int kind = static_cast<int>(style & 0x0F);
  return CreatePen(kind <= PS_NULL ? kind : PS_SOLID, static_cast<int>(std::clamp<int64_t>(width, 0, 16)),
                   color & 0xFFFFFF);
}

HBRUSH MakeBrush(uint32_t style, uint32_t color) {
  LOGBRUSH brush{};
  brush.lbStyle = style == BS_NULL ? BS_NULL : BS_SOLID;
  brush.lbColor = color & 0xFFFFFF;
  return CreateBrushIndirect(&brush);
}

void PlayWmf(HDC dc, const TRect& rect, const std::vector<uint8_t>& data, const MetafileInfo& info) {
  const uint8_t* p = data.data();
  const size_t size = data.size();
  size_t at = MfU32(p) == kPlaceableKey ? kPlaceableSize : 0;
  Integer orgX = 0, orgY = 0, extX = info.width, extY = info.height;
  if (at) {  // a placeable file's bounding box is its logical frame
    orgX = MfS16(p + 6);
    orgY = MfS16(p + 8);
    extX = MfS16(p + 10) - orgX;
    extY = MfS16(p + 12) - orgY;
  }
  MetafilePlayer player(dc, rect, orgX, orgY, extX, extY);
  for (at += 18; at + 6 <= size;) {
    const size_t bytes = static_cast<size_t>(MfU32(p + at)) * 2;
    const uint16_t function = MfU16(p + at + 4);
    const uint8_t* r = p + at + 6;  // parameters, in reverse order for the coordinate records
    const size_t n = bytes - 6;
    auto s16 = [&](size_t i) { return i * 2 + 2 <= n ? MfS16(r + i * 2) : int16_t{0}; };
    switch (function) {
      case META_SETWINDOWORG: player.SetOrigin(s16(1), s16(0)); break;
      case META_SETWINDOWEXT: player.SetExtent(s16(1), s16(0)); break;
      case META_MOVETO: player.MoveTo(s16(1), s16(0)); break;
      case META_LINETO: player.LineTo(s16(1), s16(0)); break;
      case META_RECTANGLE: player.Rectangle(s16(3), s16(2), s16(1), s16(0)); break;
      case META_ELLIPSE: player.Ellipse(s16(3), s16(2), s16(1), s16(0)); break;
      case META_POLYGON:
      case META_POLYLINE: {
        const size_t count = std::min<size_t>(static_cast<uint16_t>(s16(0)), n >= 2 ? (n - 2) / 4 : 0);
        std::vector<POINT> points;
        for (size_t i = 0; i < count; ++i) points.push_back(player.Map(s16(1 + 2 * i), s16(2 + 2 * i)));
        player.Poly(points, function == META_POLYGON);
        break;
      }
      case META_CREATEPENINDIRECT:
        player.AddObject(n >= 10 ? MakePen(MfU16(r), s16(1), MfU32(r + 6)) : nullptr);
        break;
      case META_CREATEBRUSHINDIRECT:
        player.AddObject(n >= 6 ? MakeBrush(MfU16(r), MfU32(r + 2)) : nullptr);
        break;
      case META_SELECTOBJECT: player.Select(static_cast<uint16_t>(s16(0))); break;
      case META_DELETEOBJECT: player.Delete(static_cast<uint16_t>(s16(0))); break;
      default:
        if (std::find(std::begin(kWmfCreators), std::end(kWmfCreators), function) != std::end(kWmfCreators)) {
          player.AddObject(nullptr);
        }
        break;
    }
    if (function == META_EOF) break;
    at += bytes;
  }
}

void PlayEmf(HDC dc, const TRect& rect, const std::vector<uint8_t>& data) {
  const uint8_t* p = data.data();
  const size_t size = data.size();
  // The bounds (device units) are the logical frame until the file sets a window.
  const Integer left = MfS32(p + 8), top = MfS32(p + 12);
  MetafilePlayer player(dc, rect, left, top, MfS32(p + 16) - left + 1, MfS32(p + 20) - top + 1);
  for (size_t at = 0; at + 8 <= size;) {
    const uint32_t type = MfU32(p + at);
    const size_t bytes = MfU32(p + at + 4);
    const uint8_t* r = p + at + 8;
    const size_t n = bytes - 8;
    auto s32 = [&](size_t i) { return i * 4 + 4 <= n ? MfS32(r + i * 4) : 0; };
    auto u32 = [&](size_t i) { return static_cast<uint32_t>(s32(i)); };
    switch (type) {
      case EMR_SETWINDOWORGEX: player.SetOrigin(s32(0), s32(1)); break;
      case EMR_SETWINDOWEXTEX: player.SetExtent(s32(0), s32(1)); break;
      case EMR_MOVETOEX: player.MoveTo(s32(0), s32(1)); break;
      case EMR_LINETO: player.LineTo(s32(0), s32(1)); break;
      case EMR_RECTANGLE: player.Rectangle(s32(0), s32(1), s32(2), s32(3)); break;
      case EMR_ELLIPSE: player.Ellipse(s32(0), s32(1), s32(2), s32(3)); break;
      case EMR_POLYGON16:
      case EMR_POLYLINE16: {
        // Bounds (4 longs), count, then 16-bit points.
        const size_t count = std::min<size_t>(u32(4), n >= 20 ? (n - 20) / 4 : 0);
        std::vector<POINT> points;
        for (size_t i = 0; i < count; ++i) {
          points.push_back(player.Map(MfS16(r + 20 + 4 * i), MfS16(r + 22 + 4 * i)));
        }
        player.Poly(points, type == EMR_POLYGON16);
        break;
      }
      case EMR_CREATEPEN:
        if (n >= 20) player.AddObject(MakePen(u32(1), s32(2), u32(4)), u32(0));
        break;
      case EMR_CREATEBRUSHINDIRECT:
        if (n >= 16) player.AddObject(MakeBrush(u32(1), u32(2)), u32(0));
        break;
      case EMR_SELECTOBJECT:
        if (u32(0) & 0x80000000u) {
          player.SelectStock(static_cast<int>(u32(0) & 0x7FFFFFFFu));
        } else {
          player.Select(u32(0));
        }
        break;
      case EMR_DELETEOBJECT: player.Delete(u32(0)); break;
      default: break;
    }
    if (type == EMR_EOF) break;
    at += bytes;
  }
}

}  // namespace

K58_IMPLEMENT_CLASS(TMetafile) {}

TMetafile::TMetafile() = default;

TMetafile::~TMetafile() = default;

void TMetafile::Clear() {
  data_.clear();
  enhanced_ = false;
  inch_ = width_ = height_ = 0;
}

void TMetafile::Assign(TPersistent* Source) {
  if (Source == this) return;
  if (Source == nullptr) {
    Clear();
    Changed(this);
    return;
  }
  if (auto* source = dynamic_cast<TMetafile*>(Source)) {
    data_ = source->data_;
    enhanced_ = source->enhanced_;
    inch_ = source->inch_;
    width_ = source->width_;
    height_ = source->height_;
    Changed(this);
    return;
  }
  TGraphic::Assign(Source);
}

void TMetafile::SetWidth(Integer Value) {
  if (Value == width_) return;
  width_ = std::clamp(Value, 0, k58::forms::kMaxImageSide);
  Changed(this);
}

void TMetafile::SetHeight(Integer Value) {
  if (Value == height_) return;
  height_ = std::clamp(Value, 0, k58::forms::kMaxImageSide);
  Changed(this);
}

void TMetafile::LoadFromStream(TStream* Stream) {
  std::vector<uint8_t> bytes = k58::forms::ReadRest(Stream);
  if (bytes.empty()) {
    Clear();
    Changed(this);
    return;
  }
  const MetafileInfo info = ReadMetafileInfo(bytes);
  data_ = std::move(bytes);
  enhanced_ = info.enhanced;
  inch_ = info.inch;
  width_ = info.width;
  height_ = info.height;
  Changed(this);
}

void TMetafile::SaveToStream(TStream* Stream) { k58::forms::WriteBytes(Stream, data_); }

std::vector<uint8_t> TMetafile::RecordBytes() const {
  if (!enhanced_ && data_.size() >= kPlaceableSize && MfU32(data_.data()) == kPlaceableKey) {
    return std::vector<uint8_t>(data_.begin() + kPlaceableSize, data_.end());
  }
  return data_;
}

void TMetafile::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (Empty()) return;
  HDC dc = ACanvas->Handle();
  const int savedDC = SaveDC(dc);
  SetBkMode(dc, TRANSPARENT);
  SetPolyFillMode(dc, ALTERNATE);
  if (enhanced_) {
    PlayEmf(dc, Rect, data_);
  } else {
    PlayWmf(dc, Rect, data_, MetafileInfo{false, inch_, width_, height_});
  }
  RestoreDC(dc, savedDC);
  ACanvas->Refresh();
}

void TMetafile::ReadData(TStream* Stream) {
  Integer size = 0;
  Stream->ReadBuffer(&size, sizeof(size));
  if (size < 0) throw EInvalidGraphic(SInvalidMetafile);
  std::vector<uint8_t> bytes = k58::forms::ReadBytes(Stream, size);
  TMemoryStream image;
  k58::forms::WriteBytes(&image, bytes);
  image.SetPosition(0);
  LoadFromStream(&image);
}

void TMetafile::WriteData(TStream* Stream) {
  Integer size = static_cast<Integer>(data_.size());
  Stream->WriteBuffer(&size, sizeof(size));
  k58::forms::WriteBytes(Stream, data_);
}
