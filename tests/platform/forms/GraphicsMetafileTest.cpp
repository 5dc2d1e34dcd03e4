// Metafiles and the clipboard object: Windows and enhanced metafiles read, written back byte for byte
// and played into a rectangle; damaged files refused; pictures, bitmaps, metafiles and text through the
// clipboard.
#include <gtest/gtest.h>

#include "GraphicsTesting.h"
#include "platform/forms/Clipbrd.h"
#include "platform/forms/Graphics.h"
#include "platform/forms/Jpeg.h"

namespace forms_test {

namespace {

using MetafileTest = GraphicsTest;

// A Windows metafile record: size in words, function, parameters.
void WmfRecord(std::vector<uint8_t>& out, uint16_t function, const std::vector<uint16_t>& params) {
  Put32(out, static_cast<uint32_t>(3 + params.size()));
  Put16(out, function);
  for (uint16_t p : params) Put16(out, p);
}

// A red rectangle (red outline) over the left half of a 1000 x 500 logical frame; with `placeable`, the frame is the
// placeable header's box at 1000 units per inch, else the window extent.
std::vector<uint8_t> Wmf(bool placeable) {
  std::vector<uint8_t> records;
  if (!placeable) WmfRecord(records, 0x020C, {500, 1000});             // window extent y, x
  WmfRecord(records, 0x02FC, {0 /* BS_SOLID */, 0x00FF, 0x0000, 0});   // red brush
  WmfRecord(records, 0x012D, {0});                                      // select it
  WmfRecord(records, 0x02FA, {0 /* PS_SOLID */, 1, 0, 0x00FF, 0});      // red outline
  WmfRecord(records, 0x012D, {1});
  WmfRecord(records, 0x041B, {500, 500, 0, 0});                         // bottom, right, top, left
  WmfRecord(records, 0x0000, {});
  std::vector<uint8_t> out;
  if (placeable) {
    Put32(out, 0x9AC6CDD7);
    Put16(out, 0);
    for (uint16_t v : {0, 0, 1000, 500, 1000}) Put16(out, v);
    Put32(out, 0);
    Put16(out, 0);
  }
  Put16(out, 1);
  Put16(out, 9);
  Put16(out, 0x0300);
  Put32(out, static_cast<uint32_t>((18 + records.size()) / 2));
  Put16(out, 2);
  Put32(out, 7);
  Put16(out, 0);
  out.insert(out.end(), records.begin(), records.end());
  return out;
}

void EmfRecord(std::vector<uint8_t>& out, uint32_t type, const std::vector<uint32_t>& params) {
  Put32(out, type);
  Put32(out, static_cast<uint32_t>(8 + 4 * params.size()));
  for (uint32_t p : params) Put32(out, p);
}

// A 100 x 50 pixel enhanced metafile with a blue rectangle over its right half.
std::vector<uint8_t> Emf() {
  std::vector<uint8_t> out;
  EmfRecord(out, 1, {0, 0, 99, 49,            // bounds
                     0, 0, 2646, 1323,        // frame, hundredths of a millimetre
                     0x464D4520, 0x10000, 0, 0, 0, 0, 0, 0, 1024, 768, 320, 240});
  EmfRecord(out, 39, {1, 0 /* BS_SOLID */, 0xFF0000, 0});
  EmfRecord(out, 37, {1});
  EmfRecord(out, 38, {2, 0 /* PS_SOLID */, 1, 0, 0xFF0000});
  EmfRecord(out, 37, {2});
  EmfRecord(out, 43, {50, 0, 101, 51});
  EmfRecord(out, 14, {0, 16, 20});
  for (size_t i = 0; i < 4; ++i) out[48 + i] = static_cast<uint8_t>(out.size() >> (8 * i));  // nBytes
  out[52] = 7;                                                                                  // nRecords
  return out;
}

TEST_F(MetafileTest, MetafilesKeepTheirBytesSizeAndKind) {
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    bool enhanced;
    Integer width, height, inch;
  };
  for (const Case& c : {Case{"placeable", Wmf(true), false, 96, 48, 1000}, Case{"plain", Wmf(false), false, 1000, 500, 0},
                        Case{"enhanced", Emf(), true, 100, 50, 0}}) {
    SCOPED_TRACE(c.name);
    TMetafile metafile;
    LoadImage(&metafile, c.bytes);
    EXPECT_EQ(metafile.Enhanced(), c.enhanced);
    EXPECT_EQ(metafile.Width(), c.width);
    EXPECT_EQ(metafile.Height(), c.height);
    EXPECT_EQ(metafile.Inch(), c.inch);
    EXPECT_FALSE(metafile.Empty());
    EXPECT_EQ(StreamImage(&metafile), c.bytes);
    TMetafile copy;
    copy.Assign(&metafile);
    EXPECT_EQ(StreamImage(&copy), c.bytes);
  }
}

TEST_F(MetafileTest, PlayingScalesTheRecordsIntoTheRectangle) {
  const std::map<TColor, char> legend{{clWhite, '.'}, {clRed, 'R'}, {clBlue, 'B'}};
  TMetafile wmf;
  LoadImage(&wmf, Wmf(true));
  TObjectPtr<TBitmap> target = MakeBitmap(8, 4);
  target->Canvas()->StretchDraw(Rect(0, 0, 8, 4), &wmf);
  EXPECT_BITMAP(target.get(), legend, {"RRRR....", "RRRR....", "RRRR....", "RRRR...."});

  TMetafile emf;
  LoadImage(&emf, Emf());
  target = MakeBitmap(10, 4);
  target->Canvas()->StretchDraw(Rect(0, 0, 10, 4), &emf);
  EXPECT_BITMAP(target.get(), legend, {".....BBBBB", ".....BBBBB", ".....BBBBB", ".....BBBBB"});
}

TEST_F(MetafileTest, DamagedMetafilesAreRefusedAndLeaveTheMetafileAsItWas) {
  auto patched = [](std::vector<uint8_t> bytes, size_t at, std::vector<uint8_t> with) {
    std::copy(with.begin(), with.end(), bytes.begin() + static_cast<long>(at));
    return bytes;
  };
  std::vector<uint8_t> truncated = Wmf(false);
  truncated.resize(truncated.size() - 9);
  std::vector<uint8_t> emfCut = Emf();
  emfCut.resize(100);
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
  };
  const std::vector<Case> cases{
      {"garbage", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}},
      {"short header", {1, 0, 9, 0}},
      {"record cut off", truncated},
      {"record of size zero", patched(Wmf(false), 18, {0, 0, 0, 0})},
      {"record longer than the file", patched(Wmf(false), 18, {0xFF, 0xFF, 0xFF, 0x7F})},
      {"header size not 9", patched(Wmf(false), 2, {8, 0})},
      {"placeable with zero inch", patched(Wmf(true), 14, {0, 0})},
      {"placeable frame too large", patched(patched(Wmf(true), 10, {0xFF, 0x7F}), 14, {1, 0})},
      {"enhanced cut off", emfCut},
      {"enhanced record of odd size", patched(Emf(), 92, {23, 0, 0, 0})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TMetafile metafile;
    LoadImage(&metafile, Emf());
    EXPECT_THROW(LoadImage(&metafile, c.bytes), EInvalidGraphic);
    EXPECT_EQ(StreamImage(&metafile), Emf());
    TPicture picture;
    TempDir dir;
    WriteFile(dir.Path("x.wmf"), c.bytes);
    EXPECT_THROW(picture.LoadFromFile(dir.Path("x.wmf")), EInvalidGraphic);
    EXPECT_EQ(picture.Graphic(), nullptr);
  }
}

TEST_F(MetafileTest, AMetafileWithoutSizeIsEmpty) {
  std::vector<uint8_t> bytes;
  Put16(bytes, 1);
  Put16(bytes, 9);
  Put16(bytes, 0x0300);
  Put32(bytes, 12);
  Put16(bytes, 0);
  Put32(bytes, 3);
  Put16(bytes, 0);
  WmfRecord(bytes, 0, {});
  TMetafile metafile;
  LoadImage(&metafile, bytes);
  EXPECT_TRUE(metafile.Empty());
  EXPECT_EQ(StreamImage(&metafile), bytes);
}

using ClipboardTest = GraphicsTest;

TEST_F(ClipboardTest, TextAndFormatsGoThroughTheClipboard) {
  Clipboard()->SetAsText("Hello");
  EXPECT_TRUE(Clipboard()->HasFormat(CF_TEXT));
  EXPECT_FALSE(Clipboard()->HasFormat(CF_BITMAP));
  EXPECT_EQ(Clipboard()->AsText(), "Hello");

  TPicture picture;
  picture.Assign(MakeBitmap(3, 2, clRed).get());
  Clipboard()->Assign(&picture);
  EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT));
  EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
  EXPECT_TRUE(Clipboard()->HasFormat(CF_PICTURE));
  EXPECT_EQ(Clipboard()->AsText(), "");
  Clipboard()->Clear();
  EXPECT_FALSE(Clipboard()->HasFormat(CF_PICTURE));
  EXPECT_THROW(picture.Assign(Clipboard()), EClipboardException);
}

TEST_F(ClipboardTest, PicturesComeBackInTheirOwnClassAndBytes) {
  TJPEGImage jpeg;
  jpeg.Assign(MakeBitmap(8, 4, clRed).get());
  TMetafile wmf, emf;
  LoadImage(&wmf, Wmf(true));
  LoadImage(&emf, Emf());
  for (TGraphic* graphic : std::initializer_list<TGraphic*>{MakeBitmap(3, 2, clBlue).release(), &jpeg, &wmf, &emf}) {
    SCOPED_TRACE(graphic->ClassName());
    TPicture source, target;
    source.Assign(graphic);
    Clipboard()->Assign(&source);
    target.Assign(Clipboard());
    ASSERT_NE(target.Graphic(), nullptr);
    EXPECT_EQ(target.Graphic()->ClassType(), graphic->ClassType());
    EXPECT_EQ(StreamImage(target.Graphic()), StreamImage(graphic));
    if (dynamic_cast<TBitmap*>(graphic)) delete graphic;
  }
}

TEST_F(ClipboardTest, StandardFormatsAloneStillGiveAPicture) {
  // What another program would put there: a bare bitmap, a bare Windows metafile, a bare enhanced one.
  TObjectPtr<TBitmap> bitmap = MakeBitmap(3, 2, clBlue);
  TMetafile wmf, emf;
  LoadImage(&wmf, Wmf(true));
  LoadImage(&emf, Emf());
  struct Case {
    TGraphic* graphic;
    UINT format;
  };
  for (const Case& c : {Case{bitmap.get(), CF_BITMAP}, Case{&wmf, CF_METAFILEPICT}, Case{&emf, CF_ENHMETAFILE}}) {
    SCOPED_TRACE(c.graphic->ClassName());
    Clipboard()->Assign(c.graphic);
    ASSERT_TRUE(Clipboard()->HasFormat(c.format));
    // Read through the standard format, as data another program put there.
    if (c.format == CF_BITMAP) {
      TBitmap copy;
      copy.Assign(Clipboard());
      EXPECT_EQ(At(&copy, 1, 1), clBlue);
      EXPECT_EQ(copy.Width(), 3);
    } else {
      TMetafile copy;
      copy.Assign(Clipboard());
      // The clipboard holds the records: a placeable file comes back without its placeable header.
      EXPECT_EQ(copy.Enhanced(), c.format == CF_ENHMETAFILE);
      EXPECT_EQ(copy.Width(), c.graphic->Width());
      EXPECT_EQ(copy.Height(), c.graphic->Height());
      EXPECT_EQ(copy.Data(), static_cast<TMetafile*>(c.graphic)->RecordBytes());
    }
  }
}

}  // namespace

}  // namespace forms_test
