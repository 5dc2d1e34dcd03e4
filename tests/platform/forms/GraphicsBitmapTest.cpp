// Bitmaps: sizes, pixel formats, .bmp streams of every depth and compression, damaged files,
// transparency, monochrome drawing, scan lines, resources and files.
#include <gtest/gtest.h>

#include <cstring>

#include "GraphicsTesting.h"
#include "platform/classes/Streams.h"
#include "platform/forms/Graphics.h"
#include "platform/forms/GraphicsInternal.h"

namespace forms_test {

namespace {

using forms_test::At;
using forms_test::BuildBmp;
using forms_test::BuildDib;
using forms_test::DibSpec;
using forms_test::GraphicsTest;
using forms_test::LoadImage;
using forms_test::MakeBitmap;
using forms_test::StreamImage;

const std::map<TColor, char> kLegend{{clWhite, 'W'}, {clBlack, 'K'}, {clRed, 'R'}, {clBlue, 'B'}, {clLime, 'G'},
                                     {clYellow, 'Y'}, {clFuchsia, 'F'}};

constexpr uint32_t R = 0xFF0000, G = 0x00FF00, B = 0x0000FF, W = 0xFFFFFF, K = 0x000000, Y = 0xFFFF00;

using BitmapTest = GraphicsTest;

TEST_F(BitmapTest, NewPixelsAreWhiteAndResizingKeepsThePixelsInside) {
  TBitmap bitmap;
  EXPECT_TRUE(bitmap.Empty());
  bitmap.SetWidth(3);
  EXPECT_TRUE(bitmap.Empty());
  bitmap.SetHeight(2);
  EXPECT_FALSE(bitmap.Empty());
  bitmap.Canvas()->SetPixels(0, 0, clRed);
  bitmap.Canvas()->SetPixels(2, 1, clBlue);
  bitmap.SetSize(4, 3);
  EXPECT_BITMAP(&bitmap, kLegend, {"RWWW", "WWBW", "WWWW"});
  bitmap.SetSize(1, 1);
  EXPECT_BITMAP(&bitmap, kLegend, {"R"});
  bitmap.SetSize(0, 5);
  EXPECT_TRUE(bitmap.Empty());
  EXPECT_EQ(bitmap.Height(), 5);
  // More than the system allows: refused, nothing changed.
  bitmap.SetSize(2, 2);
  EXPECT_THROW(bitmap.SetSize(1 << 20, 2), EOutOfResources);
  EXPECT_EQ(bitmap.Width(), 2);
}

TEST_F(BitmapTest, EachPixelFormatIsWrittenInItsDepthAndReadBack) {
  struct Case {
    TPixelFormat format;
    int bitCount;
    uint32_t compression;
    TPixelFormat readAs;
  };
  for (const Case& c : {Case{pf1bit, 1, BI_RGB, pf1bit}, Case{pf4bit, 4, BI_RGB, pf4bit},
                        Case{pf8bit, 8, BI_RGB, pf8bit}, Case{pf15bit, 16, BI_RGB, pf15bit},
                        Case{pf16bit, 16, BI_BITFIELDS, pf16bit}, Case{pf24bit, 24, BI_RGB, pf24bit},
                        Case{pf32bit, 32, BI_RGB, pf32bit}, Case{pfDevice, 32, BI_RGB, pf32bit}}) {
    SCOPED_TRACE(c.bitCount);
    TObjectPtr<TBitmap> bitmap = MakeBitmap(5, 3);
    bitmap->Canvas()->SetPixels(0, 0, clBlack);
    bitmap->Canvas()->SetPixels(4, 2, clBlack);
    if (c.format != pf1bit) {
      bitmap->Canvas()->SetPixels(1, 0, clRed);
      bitmap->Canvas()->SetPixels(2, 1, clBlue);
      bitmap->Canvas()->SetPixels(3, 2, clYellow);
    }
    bitmap->SetPixelFormat(c.format);
    EXPECT_EQ(bitmap->Monochrome(), c.format == pf1bit);
    const std::vector<std::string> picture = forms_test::Picture(bitmap.get(), kLegend);

    const std::vector<uint8_t> bytes = StreamImage(bitmap.get());
    ASSERT_GT(bytes.size(), 54u);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[28], c.bitCount);
    EXPECT_EQ(bytes[30], c.compression);

    TBitmap read;
    LoadImage(&read, bytes);
    EXPECT_EQ(read.PixelFormat(), c.readAs);
    EXPECT_EQ(read.Width(), 5);
    EXPECT_EQ(read.Height(), 3);
    EXPECT_EQ(forms_test::Join(forms_test::Picture(&read, kLegend)), forms_test::Join(picture));
    EXPECT_EQ(StreamImage(&read), bytes);
  }
}

TEST_F(BitmapTest, FewerColoursMapEveryPixelToTheNearestOneTheFormatHolds) {
  TObjectPtr<TBitmap> bitmap = MakeBitmap(2, 1);
  bitmap->Canvas()->SetPixels(0, 0, static_cast<TColor>(RGB(250, 10, 5)));
  bitmap->Canvas()->SetPixels(1, 0, static_cast<TColor>(RGB(100, 100, 100)));
  bitmap->SetPixelFormat(pf15bit);
  EXPECT_EQ(At(bitmap.get(), 0, 0), static_cast<TColor>(RGB(255, 8, 0)));
  // 17 colours do not fit 16: the standard 16 colours are used.
  TObjectPtr<TBitmap> many = MakeBitmap(17, 1);
  for (int x = 0; x < 17; ++x) many->Canvas()->SetPixels(x, 0, static_cast<TColor>(RGB(x * 15, 0, 0)));
  many->SetPixelFormat(pf4bit);
  EXPECT_EQ(At(many.get(), 0, 0), clBlack);
  EXPECT_EQ(At(many.get(), 16, 0), static_cast<TColor>(RGB(255, 0, 0)));
  EXPECT_EQ(At(many.get(), 9, 0), static_cast<TColor>(RGB(128, 0, 0)));
  // Monochrome by brightness.
  TObjectPtr<TBitmap> grey = MakeBitmap(2, 1);
  grey->Canvas()->SetPixels(0, 0, static_cast<TColor>(RGB(200, 200, 200)));
  grey->Canvas()->SetPixels(1, 0, static_cast<TColor>(RGB(60, 60, 60)));
  grey->SetMonochrome(true);
  EXPECT_EQ(grey->PixelFormat(), pf1bit);
  EXPECT_BITMAP(grey.get(), kLegend, {"WK"});
}

// A 3 x 2 picture, top row red, green, blue; bottom row white, black, yellow; in the depths and
// compressions a file may hold it.
struct FileCase {
  const char* name;
  DibSpec spec;
  TPixelFormat format;
};

std::vector<FileCase> PictureFiles() {
  const std::vector<uint32_t> palette{R, G, B, W, K, Y};
  std::vector<FileCase> cases;
  cases.push_back({"24 bits, bottom-up",
                   {3, 2, 24, BI_RGB, {}, {},
                    {0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0,  // bottom row, padded to 12
                     0, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0, 0, 0, 0}},
                   pf24bit});
  cases.push_back({"24 bits, top-down",
                   {3, -2, 24, BI_RGB, {}, {},
                    {0, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0, 0, 0, 0,
                     0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0}},
                   pf24bit});
  cases.push_back({"8 bits", {3, 2, 8, BI_RGB, palette, {}, {3, 4, 5, 0, 0, 1, 2, 0}}, pf8bit});
  cases.push_back({"4 bits", {3, 2, 4, BI_RGB, palette, {}, {0x34, 0x50, 0, 0, 0x01, 0x20, 0, 0}}, pf4bit});
  cases.push_back({"8 bits, run-length encoded",
                   {3, 2, 8, BI_RLE8, palette, {},
                    {0x00, 0x03, 3, 4, 5, 0x00,  // absolute run, padded
                     0x00, 0x00,                 // end of line
                     0x01, 0, 0x01, 1, 0x01, 2,  // runs of one
                     0x00, 0x01}},               // end of bitmap
                   pf8bit});
  cases.push_back({"4 bits, run-length encoded",
                   {3, 2, 4, BI_RLE4, palette, {},
                    {0x00, 0x03, 0x34, 0x50, 0x00, 0x00, 0x01, 0x00, 0x02, 0x12, 0x00, 0x01}},
                   pf4bit});
  cases.push_back({"16 bits, 5-6-5 bit fields",
                   {3, 2, 16, BI_BITFIELDS, {}, {0xF800, 0x07E0, 0x001F},
                    {0xFF, 0xFF, 0x00, 0x00, 0xE0, 0xFF, 0, 0, 0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0, 0}},
                   pf16bit});
  cases.push_back({"16 bits, 5-5-5",
                   {3, 2, 16, BI_RGB, {}, {},
                    {0xFF, 0x7F, 0x00, 0x00, 0xE0, 0x7F, 0, 0, 0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0, 0}},
                   pf15bit});
  cases.push_back({"32 bits, red in the low byte",
                   {3, 2, 32, BI_BITFIELDS, {}, {0x000000FF, 0x0000FF00, 0x00FF0000},
                    {0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0, 0,
                     0xFF, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0xFF, 0}},
                   pf32bit});
  DibSpec core{3, 2, 8, BI_RGB, palette, {}, {3, 4, 5, 0, 0, 1, 2, 0}};
  core.headerSize = 12;
  cases.push_back({"8 bits, old core header", core, pf8bit});
  return cases;
}

TEST_F(BitmapTest, FilesOfEveryDepthAndCompressionReadAndWriteBackUnchanged) {
  for (const FileCase& c : PictureFiles()) {
    SCOPED_TRACE(c.name);
    const std::vector<uint8_t> file = BuildBmp(c.spec);
    TBitmap bitmap;
    LoadImage(&bitmap, file);
    EXPECT_EQ(bitmap.PixelFormat(), c.format);
    EXPECT_BITMAP(&bitmap, kLegend, {"RGB", "WKY"});
    EXPECT_EQ(StreamImage(&bitmap), file);
  }
}

TEST_F(BitmapTest, AChangedBitmapIsWrittenAnewInItsFormat) {
  const std::vector<uint8_t> file = BuildBmp(PictureFiles()[4].spec);  // run-length encoded
  TBitmap bitmap;
  LoadImage(&bitmap, file);
  bitmap.Canvas()->SetPixels(0, 0, clYellow);
  const std::vector<uint8_t> written = StreamImage(&bitmap);
  EXPECT_NE(written, file);
  EXPECT_EQ(written[28], 8);
  EXPECT_EQ(written[30], BI_RGB);
  TBitmap read;
  LoadImage(&read, written);
  EXPECT_BITMAP(&read, kLegend, {"YGB", "WKY"});
}

TEST_F(BitmapTest, ATwoColourFileKeepsItsColours) {
  DibSpec spec{4, 1, 1, BI_RGB, {R, B}, {}, {0x50, 0, 0, 0}};
  TBitmap bitmap;
  LoadImage(&bitmap, BuildBmp(spec));
  EXPECT_EQ(bitmap.PixelFormat(), pf1bit);
  EXPECT_FALSE(bitmap.Monochrome());
  EXPECT_BITMAP(&bitmap, kLegend, {"RBRB"});
  // Black and white in either order is monochrome.
  DibSpec inverted{4, 1, 1, BI_RGB, {W, K}, {}, {0x50, 0, 0, 0}};
  LoadImage(&bitmap, BuildBmp(inverted));
  EXPECT_TRUE(bitmap.Monochrome());
  EXPECT_BITMAP(&bitmap, kLegend, {"WKWK"});
  bitmap.Canvas()->SetPixels(0, 0, clBlack);
  TBitmap read;
  LoadImage(&read, StreamImage(&bitmap));
  EXPECT_BITMAP(&read, kLegend, {"KKWK"});
}

TEST_F(BitmapTest, DamagedFilesAreRefusedAndTheBitmapStaysAsItWas) {
  auto valid = [] { return DibSpec{2, 2, 24, BI_RGB, {}, {}, std::vector<uint8_t>(16, 0)}; };
  struct Case {
    const char* name;
    std::vector<uint8_t> file;
  };
  std::vector<Case> cases;
  {
    std::vector<uint8_t> f = BuildBmp(valid());
    f[0] = 'X';
    cases.push_back({"not a bitmap", f});
  }
  {
    std::vector<uint8_t> f = BuildBmp(valid());
    f.resize(f.size() - 6);
    cases.push_back({"pixels cut short", f});
  }
  {
    DibSpec s = valid();
    s.bitCount = 7;
    cases.push_back({"seven bits per pixel", BuildBmp(s)});
  }
  {
    DibSpec s = valid();
    s.width = 0;
    cases.push_back({"no width", BuildBmp(s)});
  }
  {
    DibSpec s = valid();
    s.width = 30000;
    s.height = 30000;
    cases.push_back({"huge size, few bytes", BuildBmp(s)});
  }
  {
    std::vector<uint8_t> f = BuildBmp(valid());
    f[10] = 0xFF;
    f[11] = 0xFF;
    cases.push_back({"pixels beyond the end", f});
  }
  {
    DibSpec s{2, -2, 8, BI_RLE8, {R}, {}, {0, 1}};
    cases.push_back({"top-down run-length", BuildBmp(s)});
  }
  {
    DibSpec s = valid();
    s.compression = 4;
    cases.push_back({"JPEG inside", BuildBmp(s)});
  }
  {
    std::vector<uint8_t> f = BuildBmp(DibSpec{2, 2, 8, BI_RGB, {R}, {}, std::vector<uint8_t>(8, 0)});
    f[14 + 32] = 0x2C;  // 300 colours used
    f[14 + 33] = 0x01;
    cases.push_back({"too many colours", f});
  }
  cases.push_back({"only a header", {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 40, 0}});

  TObjectPtr<TBitmap> bitmap = MakeBitmap(1, 1, clRed);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      LoadImage(bitmap.get(), c.file);
      ADD_FAILURE() << "read";
    } catch (const EInvalidGraphic& e) {
      EXPECT_EQ(e.Message(), "Bitmap image is not valid");
    }
    EXPECT_EQ(bitmap->Width(), 1);
    EXPECT_EQ(At(bitmap.get(), 0, 0), clRed);
  }
  // An empty stream gives an empty bitmap, as an empty bitmap writes nothing.
  LoadImage(bitmap.get(), {});
  EXPECT_TRUE(bitmap->Empty());
  EXPECT_TRUE(StreamImage(bitmap.get()).empty());
}

TEST_F(BitmapTest, TransparentBitmapsLeaveTheirTransparentColourOut) {
  TObjectPtr<TBitmap> sprite = MakeBitmap(3, 2, clFuchsia);
  sprite->Canvas()->SetPixels(1, 0, clRed);
  sprite->Canvas()->SetPixels(2, 0, clBlue);
  sprite->SetTransparent(true);
  // Automatic: the bottom-left pixel.
  EXPECT_EQ(sprite->TransparentMode(), tmAuto);
  EXPECT_EQ(sprite->TransparentColor(), clFuchsia);
  TObjectPtr<TBitmap> target = MakeBitmap(4, 3, clLime);
  target->Canvas()->Draw(1, 1, sprite.get());
  EXPECT_BITMAP(target.get(), kLegend, {"GGGG", "GGRB", "GGGG"});

  // Fixed: another colour, the mode follows the colour.
  sprite->SetTransparentColor(clBlue);
  EXPECT_EQ(sprite->TransparentMode(), tmFixed);
  target = MakeBitmap(4, 3, clLime);
  target->Canvas()->Draw(1, 1, sprite.get());
  EXPECT_BITMAP(target.get(), kLegend, {"GGGG", "GFRG", "GFFF"});
  sprite->SetTransparentMode(tmAuto);
  EXPECT_EQ(sprite->TransparentColor(), clFuchsia);

  // Not transparent: everything is copied.
  sprite->SetTransparent(false);
  target = MakeBitmap(4, 3, clLime);
  target->Canvas()->Draw(1, 1, sprite.get());
  EXPECT_BITMAP(target.get(), kLegend, {"GGGG", "GFRB", "GFFF"});
}

TEST_F(BitmapTest, MonochromeBitmapsDrawInBlackAndWhite) {
  TObjectPtr<TBitmap> mono = MakeBitmap(2, 1, clWhite);
  mono->Canvas()->SetPixels(0, 0, clBlack);
  mono->SetMonochrome(true);
  TObjectPtr<TBitmap> target = MakeBitmap(2, 1, clLime);
  target->Canvas()->Font()->SetColor(clRed);
  target->Canvas()->Brush()->SetColor(clBlue);
  target->Canvas()->Draw(0, 0, mono.get());
  EXPECT_BITMAP(target.get(), kLegend, {"KW"});
  mono->SetMonochrome(false);
  EXPECT_EQ(mono->PixelFormat(), pfDevice);
  EXPECT_BITMAP(mono.get(), kLegend, {"KW"});
}

TEST_F(BitmapTest, ScanLinesOfThirtyTwoBitBitmapsAreThePixels) {
  TObjectPtr<TBitmap> bitmap = MakeBitmap(3, 2);
  auto* row = static_cast<uint8_t*>(bitmap->ScanLine(1));
  // Blue, green, red, unused.
  row[4] = 0;
  row[5] = 0;
  row[6] = 0xFF;
  EXPECT_EQ(At(bitmap.get(), 1, 1), clRed);
  EXPECT_THROW(bitmap->ScanLine(2), EInvalidGraphicOperation);
  EXPECT_THROW(bitmap->ScanLine(-1), EInvalidGraphicOperation);
  bitmap->SetPixelFormat(pf24bit);
  EXPECT_THROW(bitmap->ScanLine(0), EInvalidGraphicOperation);
}

TEST_F(BitmapTest, BitmapResourcesReadWithOrWithoutTheirFileHeader) {
  static const std::vector<uint8_t> file = BuildBmp(PictureFiles()[2].spec);
  static const std::vector<uint8_t> bare = BuildDib(PictureFiles()[3].spec);
  RegisterResource(ResTypeBitmap, "GRAPHICSTESTFILE", file.data(), file.size());
  RegisterResource(ResTypeBitmap, "GRAPHICSTESTBARE", bare.data(), bare.size());
  TBitmap bitmap;
  bitmap.LoadFromResourceName(HInstance, "GraphicsTestFile");
  EXPECT_BITMAP(&bitmap, kLegend, {"RGB", "WKY"});
  bitmap.LoadFromResourceName(HInstance, "GRAPHICSTESTBARE");
  EXPECT_EQ(bitmap.PixelFormat(), pf4bit);
  EXPECT_BITMAP(&bitmap, kLegend, {"RGB", "WKY"});
  EXPECT_THROW(bitmap.LoadFromResourceName(HInstance, "NOSUCHBITMAP"), EResNotFound);
}

TEST_F(BitmapTest, FilesAreWrittenAndReadAndFailuresRaise) {
  forms_test::TempDir dir;
  TObjectPtr<TBitmap> bitmap = MakeBitmap(2, 2, clYellow);
  bitmap->SaveToFile(dir.Path("a.bmp"));
  TBitmap read;
  read.LoadFromFile(dir.Path("a.bmp"));
  EXPECT_BITMAP(&read, kLegend, {"YY", "YY"});
  EXPECT_TRUE(read.Equals(bitmap.get()));
  EXPECT_THROW(read.LoadFromFile(dir.Path("missing.bmp")), EFOpenError);
  EXPECT_THROW(bitmap->SaveToFile(dir.Path("no/such/dir.bmp")), EFCreateError);
}

TEST_F(BitmapTest, AssignCopiesBitmapsAndDrawsOtherGraphics) {
  TObjectPtr<TBitmap> source = MakeBitmap(2, 1, clRed);
  source->SetPixelFormat(pf8bit);
  source->SetTransparent(true);
  source->SetTransparentColor(clBlue);
  TBitmap copy;
  int changes = 0;
  copy.SetOnChange(TNotifyEvent([&](TObject*) { ++changes; }));
  copy.Assign(source.get());
  EXPECT_GE(changes, 1);
  EXPECT_EQ(copy.PixelFormat(), pf8bit);
  EXPECT_TRUE(copy.Transparent());
  EXPECT_EQ(copy.TransparentColor(), clBlue);
  EXPECT_TRUE(copy.Equals(source.get()));
  // The copy is a copy.
  copy.Canvas()->SetPixels(0, 0, clLime);
  EXPECT_EQ(At(source.get(), 0, 0), clRed);
  EXPECT_FALSE(copy.Equals(source.get()));
  copy.Assign(nullptr);
  EXPECT_TRUE(copy.Empty());
  EXPECT_THROW(copy.Assign(copy.Canvas()->Font()), EConvertError);
}

}  // namespace

}  // namespace forms_test
