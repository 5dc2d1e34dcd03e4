// JPEG pictures through libjpeg: the compressed data as read (written back unchanged) and the decoded
// bitmap, each made from the other when needed.
//
// Data libjpeg cannot read raises EJPEG with libjpeg's message; the library's error handler never ends
// the process. A picture is decoded completely when it is read, so a damaged file is refused at once
// and not at the first paint.
#pragma once

#include <memory>
#include <vector>

#include "platform/forms/Graphics.h"

K58_DECLARE_EXCEPTION(EJPEG, EInvalidGraphic);

namespace jpegconsts {
inline constexpr const char* SJPEGImageFile = "JPEG Image File";
inline constexpr const char* SJPEGError = "JPEG error #%d: %s";
inline constexpr const char* SChangeJPGSize = "Cannot change the size of a JPEG image";
inline constexpr const char* SJPEGImageTooLarge = "JPEG image is too large";
}  // namespace jpegconsts

// 1 (smallest files) to 100 (best pictures).
using TJPEGQualityRange = Integer;

enum TJPEGPerformance { jpBestQuality, jpBestSpeed };
K58_ENUM_TYPE(TJPEGPerformance, jpBestQuality, jpBestSpeed)

// Decoding at 1/1, 1/2, 1/4 or 1/8 of the size.
enum TJPEGScale { jsFullSize, jsHalf, jsQuarter, jsEighth };
K58_ENUM_TYPE(TJPEGScale, jsFullSize, jsHalf, jsQuarter, jsEighth)

// Decoded to 24-bit colour, or to 256 colours chosen for the picture.
enum TJPEGPixelFormat { jf24Bit, jf8Bit };
K58_ENUM_TYPE(TJPEGPixelFormat, jf24Bit, jf8Bit)

class TJPEGImage : public TGraphic {
  K58_CLASS(TJPEGImage, TGraphic)

  // Quality 90, baseline, full size, 24-bit, best quality.
  TJPEGImage();
  ~TJPEGImage() override;

  // Another JPEG picture shares its data; a bitmap is taken as the picture to compress (on Compress or
  // when the picture is saved); nil empties the picture.
  void Assign(TPersistent* Source) override;

  bool Empty() const override;
  // The size of the decoded picture (after Scale).
  Integer Width() const override;
  Integer Height() const override;
  // A JPEG picture has the size of its data: both raise EInvalidGraphicOperation.
  void SetWidth(Integer Value) override;
  void SetHeight(Integer Value) override;

  void LoadFromStream(TStream* Stream) override;
  // Writes the data as read, or the compressed bitmap.
  void SaveToStream(TStream* Stream) override;

  // Compresses the bitmap with the current settings (decoding the data first when there is no bitmap).
  void Compress();
  // Makes the bitmap from the data when there is none.
  void DIBNeeded();
  // Makes the data from the bitmap when there is none.
  void JPEGNeeded();

  TJPEGQualityRange CompressionQuality() const { return quality_; }
  void SetCompressionQuality(TJPEGQualityRange Value);
  bool Grayscale() const { return grayscale_; }
  void SetGrayscale(bool Value);
  bool ProgressiveEncoding() const { return progressiveEncoding_; }
  void SetProgressiveEncoding(bool Value) { progressiveEncoding_ = Value; }
  // Kept for the class library's shape: pictures are always shown when decoded completely.
  bool ProgressiveDisplay() const { return progressiveDisplay_; }
  void SetProgressiveDisplay(bool Value) { progressiveDisplay_ = Value; }
  TJPEGPerformance Performance() const { return performance_; }
  void SetPerformance(TJPEGPerformance Value);
  TJPEGPixelFormat PixelFormat() const { return pixelFormat_; }
  void SetPixelFormat(TJPEGPixelFormat Value);
  TJPEGScale Scale() const { return scale_; }
  void SetScale(TJPEGScale Value);
  bool Smoothing() const { return smoothing_; }
  void SetSmoothing(bool Value);

  // The decoded picture (made on first use); it belongs to the JPEG picture. What is drawn on it is
  // drawn with the picture at once, and saved once Compress has made the data from it.
  TBitmap* Bitmap();

 protected:
  void AssignTo(TPersistent* Dest) override;
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;
  // Form resources hold the data preceded by its length (32 bits).
  void ReadData(TStream* Stream) override;
  void WriteData(TStream* Stream) override;

 private:
  using Data = std::shared_ptr<const std::vector<uint8_t>>;

  void LoadData(std::vector<uint8_t> Bytes);
  // Drops the bitmap decoded from the data, so that new decoding settings take effect.
  void DecodingChanged();
  // The picture in the bytes with the current decoding settings, and its size before scaling.
  TObjectPtr<TBitmap> Decode(const std::vector<uint8_t>& Bytes, Integer* ImageWidth, Integer* ImageHeight) const;

  Data data_;
  TObjectPtr<TBitmap> bitmap_;
  Integer imageWidth_ = 0;
  Integer imageHeight_ = 0;
  TJPEGQualityRange quality_ = 90;
  bool grayscale_ = false;
  bool progressiveEncoding_ = false;
  bool progressiveDisplay_ = false;
  TJPEGPerformance performance_ = jpBestQuality;
  TJPEGPixelFormat pixelFormat_ = jf24Bit;
  TJPEGScale scale_ = jsFullSize;
  bool smoothing_ = true;
};
