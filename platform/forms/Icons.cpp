// Icons: .ico files, their image and mask, and drawing through the mask.
//
// The window layer has no icon handles yet, so an icon keeps its image as a 32-bit bitmap and its mask
// as a monochrome bitmap (white where transparent), and draws them the way icons are drawn: the mask
// ANDed into the destination, then the image XORed over it.
#include <cstdlib>
#include <cstring>

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Streams.h"
#include "platform/forms/Graphics.h"
#include "platform/forms/GraphicsInternal.h"

using namespace graphicsconsts;

namespace {

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

struct IconEntry {
  int width = 0;
  int height = 0;
  int bitCount = 0;
  size_t offset = 0;
  size_t size = 0;
};

// The directory entries whose image is a device-independent bitmap (entries holding PNG data are
// left out). A malformed directory raises EInvalidGraphic.
std::vector<IconEntry> ReadDirectory(const std::vector<uint8_t>& bytes) {
  if (bytes.size() < 6 || Le16(bytes.data()) != 0) throw EInvalidGraphic(SInvalidIcon);
  const uint16_t type = Le16(bytes.data() + 2);
  const uint16_t count = Le16(bytes.data() + 4);
  if ((type != 1 && type != 2) || count == 0 || 6u + 16u * count > bytes.size()) throw EInvalidGraphic(SInvalidIcon);
  std::vector<IconEntry> entries;
  for (uint16_t i = 0; i < count; ++i) {
    const uint8_t* e = bytes.data() + 6 + 16 * i;
    IconEntry entry;
    entry.size = Le32(e + 8);
    entry.offset = Le32(e + 12);
    if (entry.offset >= bytes.size() || entry.size == 0) continue;
    entry.size = std::min(entry.size, bytes.size() - entry.offset);
    const uint8_t* image = bytes.data() + entry.offset;
    // PNG data (not read here) or a header no bitmap has.
    if (entry.size < 40 || (image[0] == 0x89 && image[1] == 'P' && image[2] == 'N' && image[3] == 'G')) continue;
    if (Le32(image) < 40 || Le32(image) > 124) continue;
    entry.width = static_cast<int32_t>(Le32(image + 4));
    entry.height = static_cast<int32_t>(Le32(image + 8)) / 2;
    entry.bitCount = Le16(image + 14);
    if (entry.width <= 0 || entry.height <= 0) continue;
    entries.push_back(entry);
  }
  if (entries.empty()) throw EInvalidGraphic(SInvalidIcon);
  return entries;
}

// The image nearest the system icon size; of equal sizes the one with the most colours.
const IconEntry& ChooseEntry(const std::vector<IconEntry>& entries) {
  const int cx = GetSystemMetrics(SM_CXICON) > 0 ? GetSystemMetrics(SM_CXICON) : 32;
  const int cy = GetSystemMetrics(SM_CYICON) > 0 ? GetSystemMetrics(SM_CYICON) : 32;
  const IconEntry* best = &entries[0];
  auto distance = [&](const IconEntry& e) { return std::abs(e.width - cx) + std::abs(e.height - cy); };
  for (const IconEntry& e : entries) {
    const int d = distance(e);
    const int bestD = distance(*best);
    if (d < bestD || (d == bestD && e.bitCount > best->bitCount)) best = &e;
  }
  return *best;
}

}  // namespace

K58_IMPLEMENT_CLASS(TIcon) {}

TIcon::TIcon() = default;

TIcon::~TIcon() { Clear(); }

void TIcon::Clear() {
  if (image_) DeleteObject(image_);
  if (mask_) DeleteObject(mask_);
  image_ = mask_ = nullptr;
  width_ = height_ = 0;
  fileImage_.clear();
}

void TIcon::Assign(TPersistent* Source) {
  if (Source == this) return;
  if (Source == nullptr) {
    Clear();
    Changed(this);
    return;
  }
  if (auto* source = dynamic_cast<TIcon*>(Source)) {
    TMemoryStream image;
    source->SaveToStream(&image);
    image.SetPosition(0);
    LoadFromStream(&image);
    return;
  }
  TGraphic::Assign(Source);
}

void TIcon::SetWidth(Integer) { throw EInvalidGraphicOperation(SChangeIconSize); }

void TIcon::SetHeight(Integer) { throw EInvalidGraphicOperation(SChangeIconSize); }

void TIcon::LoadFromStream(TStream* Stream) {
  std::vector<uint8_t> bytes = k58::forms::ReadRest(Stream);
  if (bytes.empty()) {
    Clear();
    Changed(this);
    return;
  }
  const IconEntry entry = ChooseEntry(ReadDirectory(bytes));
  k58::forms::DecodedDib dib =
      k58::forms::DecodeDib(bytes.data() + entry.offset, entry.size, -1, true, SInvalidIcon);

  HBITMAP image = k58::forms::NewBitmapHandle(dib.width, dib.height, false);
  HBITMAP mask = nullptr;
  try {
    mask = k58::forms::NewBitmapHandle(dib.width, dib.height, true);
  } catch (...) {
    DeleteObject(image);
    throw;
  }
  k58::gdi::SurfacePtr imageSurface = k58::gdi::SurfaceOfBitmap(image);
  k58::gdi::SurfacePtr maskSurface = k58::gdi::SurfaceOfBitmap(mask);
  for (int y = 0; y < dib.height; ++y) {
    for (int x = 0; x < dib.width; ++x) {
      const size_t i = static_cast<size_t>(y) * dib.width + x;
      uint32_t pixel = dib.pixels[i];
      bool transparent = dib.andMask[i] != 0;
      // Images with an alpha channel carry their transparency there.
      if (dib.hasAlpha) {
        transparent = dib.alpha[i] < 128;
        if (transparent) pixel = 0;
      }
      imageSurface->Set(x, y, pixel);
      maskSurface->Set(x, y, transparent ? k58::gdi::kWhitePixel : 0);
    }
  }
  Clear();
  image_ = image;
  mask_ = mask;
  width_ = dib.width;
  height_ = dib.height;
  fileImage_ = std::move(bytes);
  Changed(this);
}

void TIcon::SaveToStream(TStream* Stream) { k58::forms::WriteBytes(Stream, fileImage_); }

void TIcon::LoadFromResourceName(HINSTANCE Instance, const String& ResName) {
  TResourceStream stream(Instance, ResName, ResTypeIcon);
  LoadFromStream(&stream);
}

void TIcon::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (!image_) return;
  HDC dest = ACanvas->Handle();
  const int w = Rect.right - Rect.left;
  const int h = Rect.bottom - Rect.top;
  const COLORREF oldText = SetTextColor(dest, RGB(0, 0, 0));
  const COLORREF oldBack = SetBkColor(dest, RGB(255, 255, 255));
  const int oldMode = SetStretchBltMode(dest, COLORONCOLOR);
  k58::forms::WithBitmapDC(mask_, [&](HDC src) {
    StretchBlt(dest, Rect.left, Rect.top, w, h, src, 0, 0, width_, height_, SRCAND);
  });
  k58::forms::WithBitmapDC(image_, [&](HDC src) {
    StretchBlt(dest, Rect.left, Rect.top, w, h, src, 0, 0, width_, height_, SRCINVERT);
  });
  SetStretchBltMode(dest, oldMode);
  SetTextColor(dest, oldText);
  SetBkColor(dest, oldBack);
}
