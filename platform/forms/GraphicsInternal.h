// What the graphics files share among themselves: the shared GDI handles of fonts, pens and brushes,
// access to a bitmap's pixels, the .bmp codec and small stream helpers. Not for use outside
// platform/forms.
#pragma once

#include <compare>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/forms/Graphics.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/gdi/Surface.h"

namespace k58::forms {

// ---- Shared GDI handles ------------------------------------------------------------------------------
struct FontData {
  Integer Height = 0;
  Integer Orientation = 0;
  TFontPitch Pitch = fpDefault;
  uint32_t Style = 0;
  TFontCharset Charset = DEFAULT_CHARSET;
  String Name;
  HFONT Adopted = nullptr;  // a handle given by SetHandle
  auto operator<=>(const FontData&) const = default;
};

struct PenData {
  TColor Color = clBlack;
  Integer Width = 1;
  TPenStyle Style = psSolid;
  HPEN Adopted = nullptr;
  auto operator<=>(const PenData&) const = default;
};

struct BrushData {
  TColor Color = clWhite;
  TBrushStyle Style = bsSolid;
  TBitmap* Bitmap = nullptr;
  // Pattern brushes are not shared by the address of their bitmap (a freed bitmap's address may come
  // back): each SetBitmap makes a resource of its own.
  uint64_t Serial = 0;
  HBRUSH Adopted = nullptr;
  auto operator<=>(const BrushData&) const = default;
};

template <class Data>
struct Resource {
  Data data;
  HGDIOBJ handle = nullptr;
  int refs = 0;
};

struct FontResource : Resource<FontData> {};
struct PenResource : Resource<PenData> {};
struct BrushResource : Resource<BrushData> {};

// Resources with equal data are one resource; the handle goes with the last reference. Thread-safe.
template <class R>
class ResourceManager {
 public:
  using Data = decltype(R::data);

  R* Alloc(const Data& data) {
    std::lock_guard<std::mutex> guard(lock_);
    auto& slot = resources_[data];
    if (!slot) {
      slot = std::make_unique<R>();
      slot->data = data;
      slot->handle = AdoptedHandle(data);
    }
    ++slot->refs;
    return slot.get();
  }

  void Free(R* resource) {
    if (resource == nullptr) return;
    std::lock_guard<std::mutex> guard(lock_);
    if (--resource->refs > 0) return;
    if (resource->handle) DeleteObject(resource->handle);
    resources_.erase(resource->data);
  }

  // The handle, made by create(data) on first use.
  template <class Create>
  HGDIOBJ Handle(R* resource, Create create) {
    std::lock_guard<std::mutex> guard(lock_);
    if (!resource->handle) resource->handle = create(resource->data);
    return resource->handle;
  }

  size_t Count() {
    std::lock_guard<std::mutex> guard(lock_);
    return resources_.size();
  }

 private:
  static HGDIOBJ AdoptedHandle(const Data& data) { return data.Adopted; }

  std::mutex lock_;
  std::map<Data, std::unique_ptr<R>> resources_;
};

ResourceManager<FontResource>& FontManager();
ResourceManager<PenResource>& PenManager();
ResourceManager<BrushResource>& BrushManager();

// ---- Bitmap pixels -----------------------------------------------------------------------------------
struct BitmapAccess {
  // The pixels of the bitmap (nil when empty), to read. The caller must not change them.
  static gdi::SurfacePtr Surface(const TBitmap* Bitmap);
  // The pixels, to change: the bitmap counts as changed (call Changed afterwards to notify).
  static gdi::SurfacePtr SurfaceForWrite(TBitmap* Bitmap);
  static void Changed(TBitmap* Bitmap);
  static const std::vector<uint32_t>& Palette(const TBitmap* Bitmap) { return Bitmap->palette_; }
  // The GDI bitmap without counting as a change (nil when empty).
  static HBITMAP Handle(const TBitmap* Bitmap) { return Bitmap->handle_; }
  // Runs draw with a memory context holding the bitmap (the canvas's own when it has one).
  static void WithDC(const TBitmap* Bitmap, const std::function<void(HDC)>& draw);
};

// A new GDI bitmap of the size, 32-bit or monochrome, filled with white. Raises EOutOfResources when the
// system refuses it.
HBITMAP NewBitmapHandle(Integer Width, Integer Height, bool Monochrome);
// A GDI bitmap over a surface (shared, not copied).
HBITMAP HandleOnSurface(gdi::SurfacePtr Surface);
// Runs draw with a memory context holding the GDI bitmap (which must not be selected elsewhere).
void WithBitmapDC(HBITMAP Bitmap, const std::function<void(HDC)>& draw);

// ---- .bmp files --------------------------------------------------------------------------------------
inline constexpr int64_t kMaxImagePixels = int64_t{1} << 26;
inline constexpr int kMaxImageSide = 1 << 15;

struct DecodedDib {
  int width = 0;
  int height = 0;
  int bitCount = 0;
  TPixelFormat format = pf32bit;
  std::vector<uint32_t> palette;  // 1, 4 and 8 bits
  std::vector<uint32_t> pixels;   // rows from the top, 0x00RRGGBB
  bool hasAlpha = false;          // 32-bit images whose fourth byte is used
  std::vector<uint8_t> alpha;     // per pixel, when hasAlpha
  std::vector<uint8_t> andMask;   // icons: per pixel, 1 where transparent
};

// Decodes a device-independent bitmap: the header at data[0], the pixel bits at data[bitsOffset], or
// right after the colour table when bitsOffset is negative. An icon image counts its AND mask in the
// height and carries it after the colour bits. Malformed data raises EInvalidGraphic with Message.
DecodedDib DecodeDib(const uint8_t* data, size_t size, int64_t bitsOffset, bool icon, const char* Message);
// A .bmp file image (file header and all).
DecodedDib DecodeBmpFile(const uint8_t* data, size_t size);
// The .bmp file image of the surface in the format (pfDevice and pfCustom write 32 bits).
std::vector<uint8_t> EncodeBmpFile(const gdi::Surface& Surface, TPixelFormat Format,
                                   const std::vector<uint32_t>& Palette);

// The colour table a format holds for the pixels: every colour when they fit, else a standard table.
std::vector<uint32_t> MakePalette(const gdi::Surface& Surface, TPixelFormat Format);
// Index of the palette entry nearest to the pixel.
size_t NearestIndex(const std::vector<uint32_t>& Palette, uint32_t Pixel);
// The pixel as the format stores it (nearest palette colour, fewer bits per channel).
uint32_t QuantizePixel(uint32_t Pixel, TPixelFormat Format, const std::vector<uint32_t>& Palette);

// ---- Streams -----------------------------------------------------------------------------------------
// The bytes from the position to the end.
std::vector<uint8_t> ReadRest(TStream* Stream);
// Exactly Count bytes (EReadError otherwise).
std::vector<uint8_t> ReadBytes(TStream* Stream, int64_t Count);
void WriteBytes(TStream* Stream, const std::vector<uint8_t>& Bytes);

}  // namespace k58::forms
