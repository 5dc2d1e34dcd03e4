#include "GraphicsTesting.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Streams.h"
#include "platform/win/gdi/Gdi.h"

namespace forms_test {

void GraphicsTest::SetUp() {
  k58::gdi::PinnedFonts fonts;
  fonts.regular = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
  fonts.bold = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
  fonts.cjk = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc";
  k58::gdi::PinFonts(fonts);
  k58::gdi::ResetSystemTables();
}

void GraphicsTest::TearDown() { k58::gdi::ResetSystemTables(); }

TObjectPtr<TBitmap> MakeBitmap(int width, int height, TColor fill) {
  TObjectPtr<TBitmap> bitmap(new TBitmap());
  bitmap->SetPixelFormat(pf32bit);
  bitmap->SetSize(width, height);
  bitmap->Canvas()->Brush()->SetColor(fill);
  bitmap->Canvas()->FillRect(Rect(0, 0, width, height));
  return bitmap;
}

TColor At(TBitmap* bitmap, int x, int y) { return bitmap->Canvas()->Pixels(x, y); }

std::vector<std::string> Picture(TBitmap* bitmap, const std::map<TColor, char>& legend, int x, int y, int w, int h) {
  if (w < 0) w = bitmap->Width() - x;
  if (h < 0) h = bitmap->Height() - y;
  std::vector<std::string> rows;
  for (int j = 0; j < h; ++j) {
    std::string row;
    for (int i = 0; i < w; ++i) {
      auto it = legend.find(At(bitmap, x + i, y + j));
      row += it == legend.end() ? '?' : it->second;
    }
    rows.push_back(row);
  }
  return rows;
}

std::string Join(const std::vector<std::string>& rows) {
  std::string out;
  for (const auto& row : rows) out += row + "\n";
  return out;
}

int Count(TBitmap* bitmap, TColor color) {
  int n = 0;
  for (int y = 0; y < bitmap->Height(); ++y) {
    for (int x = 0; x < bitmap->Width(); ++x) n += At(bitmap, x, y) == color;
  }
  return n;
}

std::vector<uint8_t> StreamImage(TGraphic* graphic) {
  TMemoryStream stream;
  graphic->SaveToStream(&stream);
  const auto* p = static_cast<const uint8_t*>(stream.Memory());
  return std::vector<uint8_t>(p, p + stream.Size());
}

void LoadImage(TGraphic* graphic, const std::vector<uint8_t>& bytes) {
  TMemoryStream stream;
  if (!bytes.empty()) stream.WriteBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
  stream.SetPosition(0);
  graphic->LoadFromStream(&stream);
}

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "k58graphicsXXXXXX").string();
  char* made = mkdtemp(pattern.data());
  dir_ = made ? made : pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(dir_, ec);
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> BuildDib(const DibSpec& spec) {
  std::vector<uint8_t> out;
  if (spec.headerSize == 12) {
    Put32(out, 12);
    Put16(out, static_cast<uint32_t>(spec.width));
    Put16(out, static_cast<uint32_t>(spec.height));
    Put16(out, 1);
    Put16(out, static_cast<uint32_t>(spec.bitCount));
    for (uint32_t p : spec.palette) {
      out.push_back(static_cast<uint8_t>(p));
      out.push_back(static_cast<uint8_t>(p >> 8));
      out.push_back(static_cast<uint8_t>(p >> 16));
    }
  } else {
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(spec.width));
    Put32(out, static_cast<uint32_t>(spec.height));
    Put16(out, 1);
    Put16(out, static_cast<uint32_t>(spec.bitCount));
    Put32(out, spec.compression);
    Put32(out, static_cast<uint32_t>(spec.bits.size()));
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, static_cast<uint32_t>(spec.palette.size()));
    Put32(out, 0);
    for (uint32_t m : spec.masks) Put32(out, m);
    for (uint32_t p : spec.palette) Put32(out, p);
  }
  out.insert(out.end(), spec.bits.begin(), spec.bits.end());
  return out;
}

std::vector<uint8_t> BuildBmp(const DibSpec& spec) {
  std::vector<uint8_t> dib = BuildDib(spec);
  const uint32_t offBits = static_cast<uint32_t>(14 + dib.size() - spec.bits.size());
  std::vector<uint8_t> out = {'B', 'M'};
  Put32(out, static_cast<uint32_t>(14 + dib.size()));
  Put32(out, 0);
  Put32(out, offBits);
  out.insert(out.end(), dib.begin(), dib.end());
  return out;
}

}  // namespace forms_test

K58_IMPLEMENT_CLASS(TGraphicsHolder) {
  b.Prop("Brush", &TGraphicsHolder::Brush, &TGraphicsHolder::SetBrush);
  b.Prop("Color", &TGraphicsHolder::Color, &TGraphicsHolder::SetColor).Type("TColor").Default(clBtnFace);
  b.Prop("Font", &TGraphicsHolder::Font, &TGraphicsHolder::SetFont);
  b.Prop("Glyph", &TGraphicsHolder::Glyph, &TGraphicsHolder::SetGlyph);
  b.Prop("Pen", &TGraphicsHolder::Pen, &TGraphicsHolder::SetPen);
  b.Prop("Picture", &TGraphicsHolder::Picture, &TGraphicsHolder::SetPicture);
}

TGraphicsHolder::TGraphicsHolder(TComponent* AOwner)
    : TComponent(AOwner),
      font_(new TFont()),
      pen_(new TPen()),
      brush_(new TBrush()),
      picture_(new TPicture()),
      glyph_(new TBitmap()) {}

TGraphicsHolder::~TGraphicsHolder() {
  FreeObject(font_);
  FreeObject(pen_);
  FreeObject(brush_);
  FreeObject(picture_);
  FreeObject(glyph_);
}
