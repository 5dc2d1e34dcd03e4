// Pictures: loading by extension through the registered formats (a damaged JPEG included), the graphic
// kept as a copy, forcing a bitmap, change notification, and the registry's filters.
#include <gtest/gtest.h>

#include "GraphicsTesting.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/forms/Graphics.h"
#include "platform/forms/Jpeg.h"

namespace forms_test {

namespace {

using forms_test::GraphicsTest;
using forms_test::MakeBitmap;
using forms_test::StreamImage;
using forms_test::TempDir;
using forms_test::WriteFile;

using PictureTest = GraphicsTest;

std::vector<uint8_t> BitmapFile(TColor color) { return StreamImage(MakeBitmap(2, 3, color).get()); }

std::vector<uint8_t> JpegFile() {
  TJPEGImage jpeg;
  jpeg.Assign(MakeBitmap(8, 4, clRed).get());
  return StreamImage(&jpeg);
}

TEST_F(PictureTest, FilesLoadThroughTheClassRegisteredForTheirExtension) {
  TempDir dir;
  WriteFile(dir.Path("a.bmp"), BitmapFile(clRed));
  WriteFile(dir.Path("b.JPG"), JpegFile());
  WriteFile(dir.Path("c.jpeg"), JpegFile());
  WriteFile(dir.Path("d.ico"), {});
  struct Case {
    const char* file;
    TClass cls;
    Integer width;
  };
  TPicture picture;
  for (const Case& c : {Case{"a.bmp", TBitmap::StaticClass(), 2}, Case{"b.JPG", TJPEGImage::StaticClass(), 8},
                        Case{"c.jpeg", TJPEGImage::StaticClass(), 8}, Case{"d.ico", TIcon::StaticClass(), 0}}) {
    SCOPED_TRACE(c.file);
    picture.LoadFromFile(dir.Path(c.file));
    ASSERT_NE(picture.Graphic(), nullptr);
    EXPECT_EQ(picture.Graphic()->ClassType(), c.cls);
    EXPECT_EQ(picture.Width(), c.width);
  }

  WriteFile(dir.Path("e.xyz"), BitmapFile(clRed));
  try {
    picture.LoadFromFile(dir.Path("e.xyz"));
    FAIL() << "read";
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(e.Message(), "Unknown picture file extension (.xyz)");
  }
  EXPECT_THROW(picture.LoadFromFile(dir.Path("missing.bmp")), EFOpenError);
}

TEST_F(PictureTest, ADamagedJpegRaisesAndThePictureKeepsWhatItHad) {
  TempDir dir;
  WriteFile(dir.Path("good.bmp"), BitmapFile(clBlue));
  std::vector<uint8_t> damaged = JpegFile();
  damaged.resize(30);
  WriteFile(dir.Path("bad.jpg"), damaged);
  WriteFile(dir.Path("notjpeg.jpg"), BitmapFile(clRed));

  TPicture picture;
  int changes = 0;
  picture.SetOnChange(TNotifyEvent([&](TObject*) { ++changes; }));
  picture.LoadFromFile(dir.Path("good.bmp"));
  EXPECT_EQ(changes, 1);
  for (const char* name : {"bad.jpg", "notjpeg.jpg"}) {
    SCOPED_TRACE(name);
    EXPECT_THROW(picture.LoadFromFile(dir.Path(name)), EJPEG);
    ASSERT_NE(dynamic_cast<TBitmap*>(picture.Graphic()), nullptr);
    EXPECT_EQ(forms_test::At(picture.Bitmap(), 0, 0), clBlue);
  }
  EXPECT_EQ(changes, 1);
  // Nothing is left behind: the next good file loads.
  WriteFile(dir.Path("fine.jpg"), JpegFile());
  picture.LoadFromFile(dir.Path("fine.jpg"));
  EXPECT_EQ(picture.Width(), 8);
}

TEST_F(PictureTest, TheGraphicIsACopyAndChangesOfItReachThePicture) {
  TObjectPtr<TBitmap> bitmap = MakeBitmap(3, 3, clRed);
  TPicture picture;
  int changes = 0;
  picture.SetOnChange(TNotifyEvent([&](TObject*) { ++changes; }));
  picture.SetGraphic(bitmap.get());
  EXPECT_NE(picture.Graphic(), bitmap.get());
  EXPECT_EQ(changes, 1);
  picture.Bitmap()->Canvas()->SetPixels(0, 0, clBlue);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(forms_test::At(bitmap.get(), 0, 0), clRed);

  // Asking for the bitmap of an icon picture gives an empty bitmap instead.
  TPicture icons;
  icons.Icon();
  EXPECT_NE(dynamic_cast<TIcon*>(icons.Graphic()), nullptr);
  EXPECT_TRUE(icons.Bitmap()->Empty());
  EXPECT_NE(dynamic_cast<TBitmap*>(icons.Graphic()), nullptr);

  TPicture copy;
  copy.Assign(&picture);
  EXPECT_TRUE(copy.Graphic()->Equals(picture.Graphic()));
  copy.Assign(nullptr);
  EXPECT_EQ(copy.Graphic(), nullptr);
  EXPECT_EQ(copy.Width(), 0);
  EXPECT_THROW(copy.Assign(bitmap->Canvas()->Font()), EConvertError);
}

TEST_F(PictureTest, SavingWritesTheGraphicsOwnFormat) {
  TempDir dir;
  TPicture picture;
  WriteFile(dir.Path("in.jpg"), JpegFile());
  picture.LoadFromFile(dir.Path("in.jpg"));
  picture.SaveToFile(dir.Path("out.jpg"));
  TPicture again;
  again.LoadFromFile(dir.Path("out.jpg"));
  EXPECT_TRUE(again.Graphic()->Equals(picture.Graphic()));
}

// A graphic class of a library above, registered for its own extension.
class TTestGraphic : public TBitmap {
  K58_CLASS(TTestGraphic, TBitmap)
  TTestGraphic() = default;
};
K58_IMPLEMENT_CLASS(TTestGraphic) {}

TEST_F(PictureTest, TheRegistryGivesFiltersExtensionsAndClassesByExtension) {
  EXPECT_EQ(GraphicFilter(TGraphic::StaticClass()),
            "All (*.bmp;*.ico;*.emf;*.wmf;*.jpg;*.jpeg)|*.bmp;*.ico;*.emf;*.wmf;*.jpg;*.jpeg|Bitmaps (*.bmp)|*.bmp|"
            "Icons (*.ico)|*.ico|Enhanced Metafiles (*.emf)|*.emf|Metafiles (*.wmf)|*.wmf|"
            "JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg");
  EXPECT_EQ(GraphicFilter(TMetafile::StaticClass()),
            "All (*.emf;*.wmf)|*.emf;*.wmf|Enhanced Metafiles (*.emf)|*.emf|Metafiles (*.wmf)|*.wmf");
  EXPECT_EQ(GraphicExtension(TMetafile::StaticClass()), "emf");
  EXPECT_EQ(GraphicFilter(TBitmap::StaticClass()), "All (*.bmp)|*.bmp|Bitmaps (*.bmp)|*.bmp");
  EXPECT_EQ(GraphicFileMask(TJPEGImage::StaticClass()), "*.jpg;*.jpeg");
  EXPECT_EQ(GraphicExtension(TIcon::StaticClass()), "ico");
  EXPECT_EQ(GraphicExtension(TJPEGImage::StaticClass()), "jpg");

  TPicture::RegisterFileFormat("TST", "Test pictures", TTestGraphic::StaticClass());
  EXPECT_EQ(TPicture::FindGraphicClass("tst"), TTestGraphic::StaticClass());
  EXPECT_EQ(TPicture::FindGraphicClass(".TST"), TTestGraphic::StaticClass());
  EXPECT_EQ(GraphicFileMask(TBitmap::StaticClass()), "*.bmp;*.tst");
  TempDir dir;
  WriteFile(dir.Path("x.tst"), BitmapFile(clRed));
  TPicture picture;
  picture.LoadFromFile(dir.Path("x.tst"));
  EXPECT_EQ(picture.Graphic()->ClassType(), TTestGraphic::StaticClass());

  TPicture::UnregisterGraphicClass(TTestGraphic::StaticClass());
  EXPECT_EQ(TPicture::FindGraphicClass("tst"), nullptr);
  EXPECT_EQ(TPicture::FindGraphicClass("bmp"), TBitmap::StaticClass());
  EXPECT_THROW(TPicture::RegisterFileFormat("abc", "Fonts", TFont::StaticClass()), EInvalidGraphic);
}

}  // namespace

}  // namespace forms_test
