// Device-independent bitmaps and .bmp files: decoding every depth and compression a file may hold,
// encoding in a bitmap's pixel format, and the colour tables of the paletted formats.
#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "platform/forms/GraphicsInternal.h"

namespace k58::forms {

namespace {

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

int Shift(uint32_t mask) {
  int shift = 0;
  while (mask && !(mask & 1)) {
    mask >>= 1;
    ++shift;
  }
  return shift;
}
int Bits(uint32_t mask) {
  int bits = 0;
  for (mask >>= Shift(mask); mask & 1; mask >>= 1) ++bits;
  return bits;
}

// One colour channel of a masked value, widened to 8 bits so that narrowing it again gives it back.
struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  int bits = 0;
  explicit Channel(uint32_t m) : mask(m), shift(Shift(m)), bits(Bits(m)) {}
  uint32_t Get(uint32_t v) const {
    if (bits == 0) return 0;
    uint32_t raw = (v & mask) >> shift;
    if (bits >= 8) return raw >> (bits - 8);
    const uint32_t max = (1u << bits) - 1;
    return (raw * 255 + max / 2) / max;
  }
};

uint32_t Pixel(uint32_t r, uint32_t g, uint32_t b) { return (r << 16) | (g << 8) | b; }

// Run-length encoded rows (bottom-up) into palette indexes; runs that leave the image are cut.
void DecodeRle(const uint8_t* p, const uint8_t* end, int width, int height, bool four, std::vector<uint8_t>& idx) {
  int x = 0;
  int y = height - 1;
  auto put = [&](uint8_t value) {
    if (x >= 0 && x < width && y >= 0 && y < height) idx[static_cast<size_t>(y) * width + x] = value;
    ++x;
  };
  while (p + 1 < end && y >= 0) {
    const uint8_t count = p[0];
    const uint8_t value = p[1];
    p += 2;
    if (count > 0) {
      for (int i = 0; i < count; ++i) put(four ? ((i & 1) ? value & 0x0F : value >> 4) : value);
      continue;
    }
    switch (value) {
      case 0:  // end of line
        x = 0;
        --y;
        break;
      case 1:  // end of bitmap
        return;
      case 2:  // delta
        if (p + 1 >= end) return;
        x += p[0];
        y -= p[1];
        p += 2;
        break;
      default: {  // absolute run of `value` pixels, padded to a 16-bit boundary
        const int n = value;
        const int bytes = four ? (n + 1) / 2 : n;
        if (end - p < bytes) return;
        for (int i = 0; i < n; ++i) put(four ? ((i & 1) ? p[i / 2] & 0x0F : p[i / 2] >> 4) : p[i]);
        p += bytes + (bytes & 1);
        break;
      }
    }
  }
}

const uint32_t kVga16[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
                             0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

}  // namespace

DecodedDib DecodeDib(const uint8_t* data, size_t size, int64_t bitsOffset, bool icon, const char* Message) {
  auto fail = [&]() -> void { throw EInvalidGraphic(Message); };
  if (size < 12) fail();
  const uint32_t headerSize = Le32(data);
  int64_t width = 0;
  int64_t height = 0;
  int bitCount = 0;
  uint32_t compression = BI_RGB;
  uint32_t imageSize = 0;
  uint32_t colorsUsed = 0;
  uint32_t masks[4] = {0, 0, 0, 0};
  size_t tableOffset = headerSize;
  size_t entrySize = 4;
  if (headerSize == 12) {
    width = Le16(data + 4);
    height = static_cast<int16_t>(Le16(data + 6));
    bitCount = Le16(data + 10);
    entrySize = 3;
  } else if (headerSize >= 40 && headerSize <= size) {
    width = static_cast<int32_t>(Le32(data + 4));
    height = static_cast<int32_t>(Le32(data + 8));
    bitCount = Le16(data + 14);
    compression = Le32(data + 16);
    imageSize = Le32(data + 20);
    colorsUsed = Le32(data + 32);
    if (compression == BI_BITFIELDS || compression == 6 /* alpha bit fields */) {
      const int count = compression == 6 ? 4 : 3;
      if (headerSize >= 40u + 4u * count) {
        for (int i = 0; i < count; ++i) masks[i] = Le32(data + 40 + 4 * i);
      } else {
        if (size < headerSize + 4u * count) fail();
        for (int i = 0; i < count; ++i) masks[i] = Le32(data + headerSize + 4 * i);
        tableOffset += 4u * count;
      }
      compression = BI_BITFIELDS;
    } else if (headerSize >= 56) {
      masks[3] = Le32(data + 52);
    }
  } else {
    fail();
  }

  if (icon) height /= 2;
  const bool topDown = height < 0;
  if (topDown) height = -height;
  if (width <= 0 || height <= 0 || width > kMaxImageSide || height > kMaxImageSide) fail();
  if (width * height > kMaxImagePixels) fail();
  switch (bitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: fail();
  }
  const bool rle = compression == BI_RLE8 || compression == BI_RLE4;
  if (compression == BI_RLE8 && bitCount != 8) fail();
  if (compression == BI_RLE4 && bitCount != 4) fail();
  if (compression == BI_BITFIELDS && bitCount != 16 && bitCount != 32) fail();
  if (compression != BI_RGB && !rle && compression != BI_BITFIELDS) fail();
  if (rle && (topDown || icon)) fail();

  DecodedDib dib;
  dib.width = static_cast<int>(width);
  dib.height = static_cast<int>(height);
  dib.bitCount = bitCount;

  // Colour table: all entries the depth allows unless fewer are used; a table given for a deeper
  // image is an optimisation hint and is skipped.
  size_t tableEntries = 0;
  if (bitCount <= 8) {
    const uint32_t full = 1u << bitCount;
    if (colorsUsed > 256) fail();
    tableEntries = colorsUsed ? colorsUsed : full;
  } else {
    if (colorsUsed > 256) fail();
    tableEntries = colorsUsed;
  }
  // Files often hold a shorter table than the depth allows without saying so: the pixels start where
  // the file header says.
  if (bitsOffset >= 0 && colorsUsed == 0 && static_cast<uint64_t>(bitsOffset) >= tableOffset) {
    tableEntries = std::min(tableEntries, (static_cast<size_t>(bitsOffset) - tableOffset) / entrySize);
  }
  if (tableOffset + tableEntries * entrySize > size) fail();
  if (bitCount <= 8) {
    for (size_t i = 0; i < tableEntries && i < (1u << bitCount); ++i) {
      const uint8_t* e = data + tableOffset + i * entrySize;
      dib.palette.push_back(Pixel(e[2], e[1], e[0]));
    }
  }
  const int64_t offset = bitsOffset >= 0 ? bitsOffset : static_cast<int64_t>(tableOffset + tableEntries * entrySize);
  if (offset < 0 || static_cast<uint64_t>(offset) > size) fail();
  const uint8_t* bits = data + offset;
  const size_t available = size - static_cast<size_t>(offset);

  const int w = dib.width;
  const int h = dib.height;
  dib.pixels.assign(static_cast<size_t>(w) * h, 0);
  auto color = [&](uint32_t index) { return index < dib.palette.size() ? dib.palette[index] : 0u; };
  switch (bitCount) {
    case 1: dib.format = pf1bit; break;
    case 4: dib.format = pf4bit; break;
    case 8: dib.format = pf8bit; break;
    case 24: dib.format = pf24bit; break;
    case 32: dib.format = pf32bit; break;
    default: break;
  }

  const size_t stride = ((static_cast<size_t>(w) * bitCount + 31) / 32) * 4;
  if (rle) {
    std::vector<uint8_t> idx(static_cast<size_t>(w) * h, 0);
    size_t length = imageSize && imageSize <= available ? imageSize : available;
    DecodeRle(bits, bits + length, w, h, compression == BI_RLE4, idx);
    for (size_t i = 0; i < idx.size(); ++i) dib.pixels[i] = color(idx[i]);
    return dib;
  }

  const size_t rowBytes = (static_cast<size_t>(w) * bitCount + 7) / 8;
  if (stride * (h - 1) + rowBytes > available) fail();
  Channel r(0), g(0), b(0), a(0);
  if (bitCount == 16 || bitCount == 32) {
    if (compression != BI_BITFIELDS) {
      masks[0] = bitCount == 16 ? 0x7C00 : 0xFF0000;
      masks[1] = bitCount == 16 ? 0x03E0 : 0x00FF00;
      masks[2] = bitCount == 16 ? 0x001F : 0x0000FF;
      if (bitCount == 32) masks[3] = 0xFF000000;
    }
    r = Channel(masks[0]);
    g = Channel(masks[1]);
    b = Channel(masks[2]);
    a = Channel(masks[3]);
    if (bitCount == 16) dib.format = masks[1] == 0x07E0 ? pf16bit : pf15bit;
  }
  bool anyAlpha = false;
  std::vector<uint8_t> alpha;
  if (bitCount == 32 && a.bits) alpha.assign(static_cast<size_t>(w) * h, 0);
  for (int row = 0; row < h; ++row) {
    const uint8_t* src = bits + stride * row;
    const int y = topDown ? row : h - 1 - row;
    uint32_t* out = dib.pixels.data() + static_cast<size_t>(y) * w;
    for (int x = 0; x < w; ++x) {
      switch (bitCount) {
        case 1: out[x] = color((src[x >> 3] >> (7 - (x & 7))) & 1); break;
        case 4: out[x] = color((x & 1) ? src[x >> 1] & 0x0F : src[x >> 1] >> 4); break;
        case 8: out[x] = color(src[x]); break;
        case 16: {
          const uint32_t v = Le16(src + 2 * x);
          out[x] = Pixel(r.Get(v), g.Get(v), b.Get(v));
          break;
        }
        case 24: out[x] = Pixel(src[3 * x + 2], src[3 * x + 1], src[3 * x]); break;
        case 32: {
          const uint32_t v = Le32(src + 4 * x);
          out[x] = Pixel(r.Get(v), g.Get(v), b.Get(v));
          if (!alpha.empty()) {
            const uint8_t av = static_cast<uint8_t>(a.Get(v));
            alpha[static_cast<size_t>(y) * w + x] = av;
            anyAlpha = anyAlpha || av != 0;
          }
          break;
        }
        default: break;
      }
    }
  }
  if (anyAlpha) {
    dib.hasAlpha = true;
    dib.alpha = std::move(alpha);
  }

  if (icon) {
    // The AND mask follows the colour bits; an icon without one is opaque.
    const size_t maskStride = ((static_cast<size_t>(w) + 31) / 32) * 4;
    const size_t maskStart = stride * h;
    dib.andMask.assign(static_cast<size_t>(w) * h, 0);
    if (maskStart + maskStride * (h - 1) + (w + 7) / 8 <= available) {
      for (int row = 0; row < h; ++row) {
        const uint8_t* src = bits + maskStart + maskStride * row;
        const int y = h - 1 - row;
        for (int x = 0; x < w; ++x) dib.andMask[static_cast<size_t>(y) * w + x] = (src[x >> 3] >> (7 - (x & 7))) & 1;
      }
    }
  }
  return dib;
}

DecodedDib DecodeBmpFile(const uint8_t* data, size_t size) {
  const char* message = graphicsconsts::SInvalidBitmap;
  if (size < 14 + 12 || data[0] != 'B' || data[1] != 'M') throw EInvalidGraphic(message);
  const uint32_t offBits = Le32(data + 10);
  const int64_t bitsOffset = offBits == 0 ? -1 : static_cast<int64_t>(offBits) - 14;
  if (offBits != 0 && (offBits < 14 + 12 || offBits > size)) throw EInvalidGraphic(message);
  return DecodeDib(data + 14, size - 14, bitsOffset, false, message);
}

// ---- Colour tables -----------------------------------------------------------------------------------

std::vector<uint32_t> MakePalette(const gdi::Surface& Surface, TPixelFormat Format) {
  size_t limit = 0;
  switch (Format) {
    case pf1bit: return {0, gdi::kWhitePixel};
    case pf4bit: limit = 16; break;
    case pf8bit: limit = 256; break;
    default: return {};
  }
  // Every colour of the image when they fit, in the order they appear.
  std::vector<uint32_t> colors;
  std::unordered_map<uint32_t, bool> seen;
  for (int y = 0; y < Surface.Height() && colors.size() <= limit; ++y) {
    const uint32_t* row = Surface.Row(y);
    for (int x = 0; x < Surface.Width(); ++x) {
      const uint32_t p = row[x] & gdi::kPixelMask;
      if (seen.emplace(p, true).second) {
        colors.push_back(p);
        if (colors.size() > limit) break;
      }
    }
  }
  if (colors.size() <= limit) return colors;
  if (Format == pf4bit) return std::vector<uint32_t>(std::begin(kVga16), std::end(kVga16));
  // 6 x 6 x 6 colour cube and 40 greys.
  colors.clear();
  for (uint32_t r = 0; r < 6; ++r) {
    for (uint32_t g = 0; g < 6; ++g) {
      for (uint32_t b = 0; b < 6; ++b) colors.push_back(Pixel(r * 51, g * 51, b * 51));
    }
  }
  for (uint32_t i = 1; i <= 40; ++i) {
    const uint32_t v = (i * 255 + 20) / 41;
    colors.push_back(Pixel(v, v, v));
  }
  return colors;
}

size_t NearestIndex(const std::vector<uint32_t>& Palette, uint32_t Pixel) {
  size_t best = 0;
  long long bestDistance = -1;
  const int r = (Pixel >> 16) & 0xFF;
  const int g = (Pixel >> 8) & 0xFF;
  const int b = Pixel & 0xFF;
  for (size_t i = 0; i < Palette.size(); ++i) {
    const int dr = r - static_cast<int>((Palette[i] >> 16) & 0xFF);
    const int dg = g - static_cast<int>((Palette[i] >> 8) & 0xFF);
    const int db = b - static_cast<int>(Palette[i] & 0xFF);
    const long long d = 1LL * dr * dr * 3 + 1LL * dg * dg * 4 + 1LL * db * db * 2;
    if (bestDistance < 0 || d < bestDistance) {
      bestDistance = d;
      best = i;
      if (d == 0) break;
    }
  }
  return best;
}

uint32_t QuantizePixel(uint32_t Pixel, TPixelFormat Format, const std::vector<uint32_t>& Palette) {
  switch (Format) {
    case pf1bit:
    case pf4bit:
    case pf8bit:
      return Palette.empty() ? Pixel : Palette[NearestIndex(Palette, Pixel)];
    case pf15bit:
    case pf16bit: {
      const Channel r(Format == pf16bit ? 0xF800 : 0x7C00);
      const Channel g(Format == pf16bit ? 0x07E0 : 0x03E0);
      const Channel b(0x001F);
      const uint32_t v = (((Pixel >> 16) & 0xFF) >> (8 - r.bits) << r.shift) |
                         (((Pixel >> 8) & 0xFF) >> (8 - g.bits) << g.shift) | ((Pixel & 0xFF) >> 3);
      return k58::forms::Pixel(r.Get(v), g.Get(v), b.Get(v));
    }
    default:
      return Pixel;
  }
}

// ---- Encoding ----------------------------------------------------------------------------------------

std::vector<uint8_t> EncodeBmpFile(const gdi::Surface& Surface, TPixelFormat Format,
                                   const std::vector<uint32_t>& Palette) {
  int bitCount = 32;
  switch (Format) {
    case pf1bit: bitCount = 1; break;
    case pf4bit: bitCount = 4; break;
    case pf8bit: bitCount = 8; break;
    case pf15bit:
    case pf16bit: bitCount = 16; break;
    case pf24bit: bitCount = 24; break;
    default: bitCount = 32; break;
  }
  std::vector<uint32_t> palette;
  if (bitCount <= 8) {
    palette = Palette.empty() || Palette.size() > (1u << bitCount) ? MakePalette(Surface, Format) : Palette;
    // Colours drawn since the table was made join it while there is room; the rest take the nearest.
    std::unordered_map<uint32_t, bool> known;
    for (uint32_t p : palette) known.emplace(p, true);
    std::vector<uint32_t> added;
    for (int y = 0; y < Surface.Height() && palette.size() + added.size() <= (1u << bitCount); ++y) {
      const uint32_t* row = Surface.Row(y);
      for (int x = 0; x < Surface.Width(); ++x) {
        const uint32_t p = row[x] & gdi::kPixelMask;
        if (known.emplace(p, true).second) added.push_back(p);
      }
    }
    if (palette.size() + added.size() <= (1u << bitCount)) palette.insert(palette.end(), added.begin(), added.end());
  }
  const bool bitfields = Format == pf16bit;
  const int w = Surface.Width();
  const int h = Surface.Height();
  const size_t stride = ((static_cast<size_t>(w) * bitCount + 31) / 32) * 4;
  const uint32_t tableBytes = static_cast<uint32_t>(palette.size() * 4 + (bitfields ? 12 : 0));
  const uint32_t offBits = 14 + 40 + tableBytes;
  const size_t imageBytes = stride * h;

  std::vector<uint8_t> out;
  out.reserve(offBits + imageBytes);
  out.push_back('B');
  out.push_back('M');
  Put32(out, static_cast<uint32_t>(offBits + imageBytes));
  Put32(out, 0);
  Put32(out, offBits);
  Put32(out, 40);
  Put32(out, static_cast<uint32_t>(w));
  Put32(out, static_cast<uint32_t>(h));
  Put16(out, 1);
  Put16(out, static_cast<uint32_t>(bitCount));
  Put32(out, bitfields ? BI_BITFIELDS : BI_RGB);
  Put32(out, static_cast<uint32_t>(imageBytes));
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, bitCount <= 8 && palette.size() < (1u << bitCount) ? static_cast<uint32_t>(palette.size()) : 0);
  Put32(out, 0);
  if (bitfields) {
    Put32(out, 0xF800);
    Put32(out, 0x07E0);
    Put32(out, 0x001F);
  }
  for (uint32_t p : palette) Put32(out, p);

  std::unordered_map<uint32_t, uint8_t> indexes;
  for (size_t i = palette.size(); i-- > 0;) indexes[palette[i]] = static_cast<uint8_t>(i);
  auto index = [&](uint32_t p) -> uint32_t {
    auto it = indexes.find(p);
    if (it != indexes.end()) return it->second;
    const uint8_t i = static_cast<uint8_t>(NearestIndex(palette, p));
    indexes.emplace(p, i);
    return i;
  };
  std::vector<uint8_t> row(stride);
  for (int y = h - 1; y >= 0; --y) {
    std::fill(row.begin(), row.end(), 0);
    const uint32_t* src = Surface.Row(y);
    for (int x = 0; x < w; ++x) {
      const uint32_t p = src[x] & gdi::kPixelMask;
      const uint32_t r = (p >> 16) & 0xFF;
      const uint32_t g = (p >> 8) & 0xFF;
      const uint32_t b = p & 0xFF;
      switch (bitCount) {
        case 1: row[x >> 3] |= static_cast<uint8_t>(index(p) << (7 - (x & 7))); break;
        case 4: row[x >> 1] |= static_cast<uint8_t>((x & 1) ? index(p) : index(p) << 4); break;
        case 8: row[x] = static_cast<uint8_t>(index(p)); break;
        case 16: {
          const uint32_t v = bitfields ? ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3)
                                       : ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
          row[2 * x] = static_cast<uint8_t>(v);
          row[2 * x + 1] = static_cast<uint8_t>(v >> 8);
          break;
        }
        case 24:
          row[3 * x] = static_cast<uint8_t>(b);
          row[3 * x + 1] = static_cast<uint8_t>(g);
          row[3 * x + 2] = static_cast<uint8_t>(r);
          break;
        default:
          row[4 * x] = static_cast<uint8_t>(b);
          row[4 * x + 1] = static_cast<uint8_t>(g);
          row[4 * x + 2] = static_cast<uint8_t>(r);
          break;
      }
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

}  // namespace k58::forms
