// JPEG pictures: compressing a bitmap and reading it back, the data written as read, decoding settings,
// and damaged data refused with an exception.
#include <gtest/gtest.h>

#include <cstdlib>

#include "GraphicsTesting.h"
#include "platform/forms/Jpeg.h"

namespace forms_test {

namespace {

using forms_test::At;
using forms_test::GraphicsTest;
using forms_test::LoadImage;
using forms_test::MakeBitmap;
using forms_test::StreamImage;

// 32 x 16: left half red, right half blue, a white bar across the bottom four rows.
TObjectPtr<TBitmap> Scene() {
  TObjectPtr<TBitmap> bitmap = MakeBitmap(32, 16, clRed);
  bitmap->Canvas()->Brush()->SetColor(clBlue);
  bitmap->Canvas()->FillRect(Rect(16, 0, 32, 12));
  bitmap->Canvas()->Brush()->SetColor(clWhite);
  bitmap->Canvas()->FillRect(Rect(0, 12, 32, 16));
  return bitmap;
}

std::vector<uint8_t> SceneJpeg(int quality = 90, bool progressive = false) {
  TObjectPtr<TBitmap> scene = Scene();
  TJPEGImage jpeg;
  jpeg.SetCompressionQuality(quality);
  jpeg.SetProgressiveEncoding(progressive);
  jpeg.Assign(scene.get());
  return StreamImage(&jpeg);
}

bool Near(TColor actual, TColor expected) {
  const int tolerance = 24;
  const COLORREF a = static_cast<COLORREF>(actual);
  const COLORREF e = static_cast<COLORREF>(expected);
  return std::abs(GetRValue(a) - GetRValue(e)) <= tolerance && std::abs(GetGValue(a) - GetGValue(e)) <= tolerance &&
         std::abs(GetBValue(a) - GetBValue(e)) <= tolerance;
}

using JpegTest = GraphicsTest;

TEST_F(JpegTest, ABitmapCompressesAndReadsBackClose) {
  const std::vector<uint8_t> data = SceneJpeg();
  ASSERT_GT(data.size(), 4u);
  EXPECT_EQ(data[0], 0xFF);
  EXPECT_EQ(data[1], 0xD8);

  TJPEGImage jpeg;
  int changes = 0;
  jpeg.SetOnChange(TNotifyEvent([&](TObject*) { ++changes; }));
  LoadImage(&jpeg, data);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(jpeg.Width(), 32);
  EXPECT_EQ(jpeg.Height(), 16);
  // The data as read is what is written.
  EXPECT_EQ(StreamImage(&jpeg), data);

  TObjectPtr<TBitmap> drawn = MakeBitmap(32, 16, clBlack);
  drawn->Canvas()->Draw(0, 0, &jpeg);
  EXPECT_PRED2(Near, At(drawn.get(), 4, 4), clRed);
  EXPECT_PRED2(Near, At(drawn.get(), 27, 4), clBlue);
  EXPECT_PRED2(Near, At(drawn.get(), 10, 15), clWhite);

  TBitmap bitmap;
  bitmap.Assign(&jpeg);
  EXPECT_EQ(bitmap.Width(), 32);
  EXPECT_PRED2(Near, At(&bitmap, 27, 4), clBlue);
}

TEST_F(JpegTest, QualityProgressionAndGreyCompressionShowInTheData) {
  const std::vector<uint8_t> low = SceneJpeg(5);
  const std::vector<uint8_t> high = SceneJpeg(100);
  EXPECT_LT(low.size(), high.size());

  auto hasMarker = [](const std::vector<uint8_t>& d, uint8_t marker) {
    for (size_t i = 0; i + 1 < d.size(); ++i) {
      if (d[i] == 0xFF && d[i + 1] == marker) return true;
    }
    return false;
  };
  EXPECT_TRUE(hasMarker(SceneJpeg(90, true), 0xC2));   // progressive frame
  EXPECT_FALSE(hasMarker(SceneJpeg(90, false), 0xC2));

  TObjectPtr<TBitmap> scene = Scene();
  TJPEGImage grey;
  grey.SetGrayscale(true);
  grey.Assign(scene.get());
  grey.Compress();
  TJPEGImage read;
  LoadImage(&read, StreamImage(&grey));
  const COLORREF c = static_cast<COLORREF>(At(read.Bitmap(), 4, 4));
  EXPECT_NEAR(GetRValue(c), GetGValue(c), 2);
  EXPECT_NEAR(GetGValue(c), GetBValue(c), 2);
}

TEST_F(JpegTest, DecodingSettingsApplyToTheNextDecoding) {
  TJPEGImage jpeg;
  LoadImage(&jpeg, SceneJpeg());
  jpeg.SetScale(jsHalf);
  EXPECT_EQ(jpeg.Width(), 16);
  EXPECT_EQ(jpeg.Height(), 8);
  EXPECT_EQ(jpeg.Bitmap()->Width(), 16);
  jpeg.SetScale(jsEighth);
  EXPECT_EQ(jpeg.Width(), 4);

  jpeg.SetScale(jsFullSize);
  jpeg.SetGrayscale(true);
  const COLORREF c = static_cast<COLORREF>(At(jpeg.Bitmap(), 27, 4));
  EXPECT_EQ(GetRValue(c), GetBValue(c));

  jpeg.SetGrayscale(false);
  jpeg.SetPixelFormat(jf8Bit);
  EXPECT_EQ(jpeg.Bitmap()->PixelFormat(), pf8bit);
  EXPECT_PRED2(Near, At(jpeg.Bitmap(), 27, 4), clBlue);

  EXPECT_THROW(jpeg.SetWidth(10), EInvalidGraphicOperation);
  EXPECT_THROW(jpeg.SetHeight(10), EInvalidGraphicOperation);
}

TEST_F(JpegTest, DamagedDataRaisesAndLeavesThePictureAsItWas) {
  const std::vector<uint8_t> good = SceneJpeg();
  struct Case {
    const char* name;
    std::vector<uint8_t> data;
  };
  std::vector<Case> cases;
  cases.push_back({"start of image only", {0xFF, 0xD8}});
  cases.push_back({"not a JPEG", {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0}});
  cases.push_back({"cut inside the header", std::vector<uint8_t>(good.begin(), good.begin() + 40)});
  {
    std::vector<uint8_t> data = good;
    // Frame header with no components.
    for (size_t i = 0; i + 9 < data.size(); ++i) {
      if (data[i] == 0xFF && data[i + 1] == 0xC0) {
        data[i + 9] = 0;
        break;
      }
    }
    cases.push_back({"frame without components", data});
  }
  {
    std::vector<uint8_t> data(200);
    srand(58);
    for (auto& b : data) b = static_cast<uint8_t>(rand());
    data[0] = 0xFF;
    data[1] = 0xD8;
    cases.push_back({"noise after the start", data});
  }

  TJPEGImage jpeg;
  LoadImage(&jpeg, good);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      LoadImage(&jpeg, c.data);
      ADD_FAILURE() << "read";
    } catch (const EJPEG& e) {
      EXPECT_EQ(e.Message().rfind("JPEG error #", 0), 0u) << e.Message();
    }
    EXPECT_EQ(jpeg.Width(), 32);
    EXPECT_EQ(StreamImage(&jpeg), good);
  }
  // A picture cut inside its pixel data is shown as far as it goes, as viewers do.
  TJPEGImage cut;
  LoadImage(&cut, std::vector<uint8_t>(good.begin(), good.end() - 20));
  EXPECT_EQ(cut.Width(), 32);
}

TEST_F(JpegTest, AssignSharesDataAndAnEmptyPictureWritesNothing) {
  TJPEGImage source;
  LoadImage(&source, SceneJpeg());
  source.SetCompressionQuality(40);
  TJPEGImage copy;
  copy.Assign(&source);
  EXPECT_EQ(copy.CompressionQuality(), 40);
  EXPECT_TRUE(copy.Equals(&source));

  TJPEGImage empty;
  EXPECT_TRUE(empty.Empty());
  EXPECT_TRUE(StreamImage(&empty).empty());
  copy.Assign(nullptr);
  EXPECT_TRUE(copy.Empty());
  // Recompressing at another quality gives other data.
  const std::vector<uint8_t> before = StreamImage(&source);
  source.Compress();
  EXPECT_NE(StreamImage(&source), before);
}

}  // namespace

}  // namespace forms_test
