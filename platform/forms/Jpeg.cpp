// JPEG pictures over libjpeg.
//
// libjpeg reports a fatal error through error_exit, which must not return. Ours jumps back (longjmp) to
// the function that started the work; those functions hold only plain C data, so nothing is skipped
// that needed destroying, and the C++ caller turns the failure into an exception after libjpeg has
// freed its memory. Warnings (a truncated file, a damaged stretch of data) are not errors: libjpeg
// decodes what it can, as other viewers do.
#include "platform/forms/Jpeg.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jerror.h>
#include <jpeglib.h>

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Streams.h"
#include "platform/forms/GraphicsInternal.h"
#include "platform/rtl/SysUtils.h"

using namespace jpegconsts;

namespace {

// ---- libjpeg glue (plain C data only) ----------------------------------------------------------------

struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  int code;
  char message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  err->code = cinfo->err->msg_code;
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

void OutputMessage(j_common_ptr) {}

void InitErrors(ErrorManager* err) {
  jpeg_std_error(&err->pub);
  err->pub.error_exit = ErrorExit;
  err->pub.output_message = OutputMessage;
  err->code = 0;
  err->message[0] = '\0';
}

// Source: the whole picture in memory; reading past its end gives an end-of-image marker.
const JOCTET kEndOfImage[2] = {0xFF, JPEG_EOI};

void InitSource(j_decompress_ptr) {}
boolean FillInputBuffer(j_decompress_ptr cinfo) {
  WARNMS(cinfo, JWRN_JPEG_EOF);
  cinfo->src->next_input_byte = kEndOfImage;
  cinfo->src->bytes_in_buffer = 2;
  return TRUE;
}
void SkipInputData(j_decompress_ptr cinfo, long count) {
  if (count <= 0) return;
  jpeg_source_mgr* src = cinfo->src;
  while (count > static_cast<long>(src->bytes_in_buffer)) {
    count -= static_cast<long>(src->bytes_in_buffer);
    FillInputBuffer(cinfo);
  }
  src->next_input_byte += count;
  src->bytes_in_buffer -= static_cast<size_t>(count);
}
void TermSource(j_decompress_ptr) {}

// Destination: a buffer that grows (malloc'ed; the caller frees it).
struct Destination {
  jpeg_destination_mgr pub;
  unsigned char* buffer;
  size_t capacity;
  size_t size;
};

void InitDestination(j_compress_ptr cinfo) {
  auto* dest = reinterpret_cast<Destination*>(cinfo->dest);
  dest->capacity = 65536;
  dest->buffer = static_cast<unsigned char*>(std::malloc(dest->capacity));
  if (!dest->buffer) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
  dest->pub.next_output_byte = dest->buffer;
  dest->pub.free_in_buffer = dest->capacity;
}
boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
  auto* dest = reinterpret_cast<Destination*>(cinfo->dest);
  const size_t used = dest->capacity;
  auto* grown = static_cast<unsigned char*>(std::realloc(dest->buffer, dest->capacity * 2));
  if (!grown) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 1);
  dest->buffer = grown;
  dest->capacity *= 2;
  dest->pub.next_output_byte = dest->buffer + used;
  dest->pub.free_in_buffer = dest->capacity - used;
  return TRUE;
}
void TermDestination(j_compress_ptr cinfo) {
  auto* dest = reinterpret_cast<Destination*>(cinfo->dest);
  dest->size = dest->capacity - dest->pub.free_in_buffer;
}

struct DecodeJob {
  // In.
  const uint8_t* data;
  size_t size;
  unsigned scaleDenom;
  bool grayscale;
  bool fast;
  bool smoothing;
  bool quantize;
  // Out.
  int imageWidth;
  int imageHeight;
  int width;
  int height;
  uint32_t* pixels;  // rows from the top, 0x00RRGGBB (malloc'ed)
  uint32_t palette[256];
  int paletteSize;
  bool tooLarge;
};

bool RunDecode(jpeg_decompress_struct* cinfo, ErrorManager* err, jpeg_source_mgr* src, DecodeJob* job) {
  if (setjmp(err->jump)) return false;
  jpeg_create_decompress(cinfo);
  src->init_source = InitSource;
  src->fill_input_buffer = FillInputBuffer;
  src->skip_input_data = SkipInputData;
  src->resync_to_restart = jpeg_resync_to_restart;
  src->term_source = TermSource;
  src->next_input_byte = job->data;
  src->bytes_in_buffer = job->size;
  cinfo->src = src;
  jpeg_read_header(cinfo, TRUE);
  job->imageWidth = static_cast<int>(cinfo->image_width);
  job->imageHeight = static_cast<int>(cinfo->image_height);

  cinfo->scale_num = 1;
  cinfo->scale_denom = job->scaleDenom;
  const bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
  if (job->grayscale) {
    cinfo->out_color_space = JCS_GRAYSCALE;
  } else if (cmyk) {
    cinfo->out_color_space = JCS_CMYK;
  } else {
    cinfo->out_color_space = JCS_RGB;
  }
  cinfo->dct_method = job->fast ? JDCT_IFAST : JDCT_ISLOW;
  cinfo->do_fancy_upsampling = job->fast ? FALSE : TRUE;
  cinfo->do_block_smoothing = job->smoothing ? TRUE : FALSE;
  if (job->quantize && !cmyk) {
    cinfo->quantize_colors = TRUE;
    cinfo->desired_number_of_colors = 256;
  }
  jpeg_calc_output_dimensions(cinfo);
  job->width = static_cast<int>(cinfo->output_width);
  job->height = static_cast<int>(cinfo->output_height);
  if (job->width <= 0 || job->height <= 0 || job->width > k58::forms::kMaxImageSide ||
      job->height > k58::forms::kMaxImageSide ||
      static_cast<int64_t>(job->width) * job->height > k58::forms::kMaxImagePixels) {
    job->tooLarge = true;
    return false;
  }
  job->pixels = static_cast<uint32_t*>(std::malloc(static_cast<size_t>(job->width) * job->height * 4));
  if (!job->pixels) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 2);

  jpeg_start_decompress(cinfo);
  const int components = cinfo->output_components;
  JSAMPARRAY row = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
                                               cinfo->output_width * static_cast<JDIMENSION>(components), 1);
  const bool indexed = cinfo->quantize_colors;
  if (indexed) {
    job->paletteSize = cinfo->actual_number_of_colors;
    for (int i = 0; i < job->paletteSize; ++i) {
      uint32_t r, g, b;
      if (cinfo->out_color_components == 1) {
        r = g = b = cinfo->colormap[0][i];
      } else {
        r = cinfo->colormap[0][i];
        g = cinfo->colormap[1][i];
        b = cinfo->colormap[2][i];
      }
      job->palette[i] = (r << 16) | (g << 8) | b;
    }
  }
  // Adobe writes CMYK inverted.
  const bool inverted = cinfo->saw_Adobe_marker;
  while (cinfo->output_scanline < cinfo->output_height) {
    const int y = static_cast<int>(cinfo->output_scanline);
    jpeg_read_scanlines(cinfo, row, 1);
    uint32_t* out = job->pixels + static_cast<size_t>(y) * job->width;
    const JSAMPLE* in = row[0];
    for (int x = 0; x < job->width; ++x) {
      uint32_t r, g, b;
      if (indexed) {
        out[x] = job->palette[in[x]];
        continue;
      }
      if (components == 1) {
        r = g = b = in[x];
      } else if (components == 4) {
        uint32_t c = in[4 * x], m = in[4 * x + 1], ye = in[4 * x + 2], k = in[4 * x + 3];
        if (!inverted) {
          c = 255 - c;
          m = 255 - m;
          ye = 255 - ye;
          k = 255 - k;
        }
        r = c * k / 255;
        g = m * k / 255;
        b = ye * k / 255;
      } else {
        r = in[3 * x];
        g = in[3 * x + 1];
        b = in[3 * x + 2];
      }
      out[x] = (r << 16) | (g << 8) | b;
    }
  }
  jpeg_finish_decompress(cinfo);
  return true;
}

struct EncodeJob {
  const uint32_t* const* rows;  // rows from the top, 0x00RRGGBB
  int width;
  int height;
  int quality;
  bool grayscale;
  bool progressive;
};

bool RunEncode(jpeg_compress_struct* cinfo, ErrorManager* err, Destination* dest, const EncodeJob* job) {
  if (setjmp(err->jump)) return false;
  jpeg_create_compress(cinfo);
  dest->pub.init_destination = InitDestination;
  dest->pub.empty_output_buffer = EmptyOutputBuffer;
  dest->pub.term_destination = TermDestination;
  cinfo->dest = &dest->pub;
  cinfo->image_width = static_cast<JDIMENSION>(job->width);
  cinfo->image_height = static_cast<JDIMENSION>(job->height);
  cinfo->input_components = 3;
  cinfo->in_color_space = JCS_RGB;
  jpeg_set_defaults(cinfo);
  jpeg_set_quality(cinfo, job->quality, TRUE);
  if (job->grayscale) jpeg_set_colorspace(cinfo, JCS_GRAYSCALE);
  if (job->progressive) jpeg_simple_progression(cinfo);
  jpeg_start_compress(cinfo, TRUE);
  JSAMPARRAY row = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
                                               static_cast<JDIMENSION>(job->width) * 3, 1);
  while (cinfo->next_scanline < cinfo->image_height) {
    const uint32_t* in = job->rows[cinfo->next_scanline];
    JSAMPLE* out = row[0];
    for (int x = 0; x < job->width; ++x) {
      out[3 * x] = static_cast<JSAMPLE>((in[x] >> 16) & 0xFF);
      out[3 * x + 1] = static_cast<JSAMPLE>((in[x] >> 8) & 0xFF);
      out[3 * x + 2] = static_cast<JSAMPLE>(in[x] & 0xFF);
    }
    jpeg_write_scanlines(cinfo, row, 1);
  }
  jpeg_finish_compress(cinfo);
  return true;
}

[[noreturn]] void RaiseJpegError(const ErrorManager& err) {
  throw EJPEG(Format(SJPEGError, err.code, String(err.message)));
}

unsigned ScaleDenominator(TJPEGScale scale) { return 1u << static_cast<unsigned>(scale); }

}  // namespace

// ---- TJPEGImage --------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TJPEGImage) {}

TJPEGImage::TJPEGImage() = default;

TJPEGImage::~TJPEGImage() = default;

bool TJPEGImage::Empty() const { return !data_ && (!bitmap_ || bitmap_->Empty()); }

Integer TJPEGImage::Width() const {
  if (bitmap_) return bitmap_->Width();
  if (!data_) return 0;
  const Integer denom = static_cast<Integer>(ScaleDenominator(scale_));
  return (imageWidth_ + denom - 1) / denom;
}

Integer TJPEGImage::Height() const {
  if (bitmap_) return bitmap_->Height();
  if (!data_) return 0;
  const Integer denom = static_cast<Integer>(ScaleDenominator(scale_));
  return (imageHeight_ + denom - 1) / denom;
}

void TJPEGImage::SetWidth(Integer) { throw EInvalidGraphicOperation(SChangeJPGSize); }

void TJPEGImage::SetHeight(Integer) { throw EInvalidGraphicOperation(SChangeJPGSize); }

TObjectPtr<TBitmap> TJPEGImage::Decode(const std::vector<uint8_t>& Bytes, Integer* ImageWidth,
                                       Integer* ImageHeight) const {
  jpeg_decompress_struct cinfo;
  ErrorManager err;
  jpeg_source_mgr src;
  DecodeJob job;
  std::memset(&cinfo, 0, sizeof(cinfo));
  std::memset(&src, 0, sizeof(src));
  std::memset(&job, 0, sizeof(job));
  InitErrors(&err);
  cinfo.err = &err.pub;
  job.data = Bytes.data();
  job.size = Bytes.size();
  job.scaleDenom = ScaleDenominator(scale_);
  job.grayscale = grayscale_;
  job.fast = performance_ == jpBestSpeed;
  job.smoothing = smoothing_;
  job.quantize = pixelFormat_ == jf8Bit;
  const bool ok = RunDecode(&cinfo, &err, &src, &job);
  jpeg_destroy_decompress(&cinfo);
  std::unique_ptr<uint32_t, decltype(&std::free)> pixels(job.pixels, &std::free);
  if (job.tooLarge) throw EJPEG(SJPEGImageTooLarge);
  if (!ok) RaiseJpegError(err);
  if (ImageWidth) *ImageWidth = job.imageWidth;
  if (ImageHeight) *ImageHeight = job.imageHeight;

  TObjectPtr<TBitmap> bitmap(new TBitmap());
  bitmap->SetPixelFormat(pf24bit);
  bitmap->SetSize(job.width, job.height);
  k58::gdi::SurfacePtr surface = k58::forms::BitmapAccess::SurfaceForWrite(bitmap.get());
  for (int y = 0; y < job.height; ++y) {
    std::memcpy(surface->Row(y), pixels.get() + static_cast<size_t>(y) * job.width, static_cast<size_t>(job.width) * 4);
  }
  if (job.paletteSize > 0) {
    // 256 colours chosen for the picture: the bitmap keeps them as its colour table.
    bitmap->SetPixelFormat(pf8bit);
  }
  return bitmap;
}

void TJPEGImage::LoadData(std::vector<uint8_t> Bytes) {
  if (Bytes.empty()) {
    data_.reset();
    bitmap_.reset();
    imageWidth_ = imageHeight_ = 0;
    Changed(this);
    return;
  }
  // Decoding the whole picture refuses damaged data now, and the bitmap is wanted for drawing anyway.
  Integer imageWidth = 0;
  Integer imageHeight = 0;
  TObjectPtr<TBitmap> bitmap = Decode(Bytes, &imageWidth, &imageHeight);
  imageWidth_ = imageWidth;
  imageHeight_ = imageHeight;
  data_ = std::make_shared<const std::vector<uint8_t>>(std::move(Bytes));
  bitmap_ = std::move(bitmap);
  Changed(this);
}

void TJPEGImage::LoadFromStream(TStream* Stream) { LoadData(k58::forms::ReadRest(Stream)); }

void TJPEGImage::SaveToStream(TStream* Stream) {
  JPEGNeeded();
  if (data_) k58::forms::WriteBytes(Stream, *data_);
}

void TJPEGImage::ReadData(TStream* Stream) {
  Integer size = 0;
  Stream->ReadBuffer(&size, sizeof(size));
  if (size < 0) throw EJPEG(Format(SJPEGError, 0, String("negative data size")));
  LoadData(k58::forms::ReadBytes(Stream, size));
}

void TJPEGImage::WriteData(TStream* Stream) {
  JPEGNeeded();
  Integer size = data_ ? static_cast<Integer>(data_->size()) : 0;
  Stream->WriteBuffer(&size, sizeof(size));
  if (data_) k58::forms::WriteBytes(Stream, *data_);
}

void TJPEGImage::Compress() {
  DIBNeeded();
  if (!bitmap_ || bitmap_->Empty()) return;
  // Compress from 32-bit pixels whatever the bitmap's own format.
  TBitmap pixels;
  pixels.Assign(bitmap_.get());
  pixels.SetPixelFormat(pf32bit);
  k58::gdi::SurfacePtr surface = k58::forms::BitmapAccess::Surface(&pixels);
  std::vector<const uint32_t*> rows(static_cast<size_t>(surface->Height()));
  for (int y = 0; y < surface->Height(); ++y) rows[y] = surface->Row(y);

  jpeg_compress_struct cinfo;
  ErrorManager err;
  Destination dest;
  EncodeJob job;
  std::memset(&cinfo, 0, sizeof(cinfo));
  std::memset(&dest, 0, sizeof(dest));
  InitErrors(&err);
  cinfo.err = &err.pub;
  job.rows = rows.data();
  job.width = surface->Width();
  job.height = surface->Height();
  job.quality = std::clamp(quality_, 1, 100);
  job.grayscale = grayscale_;
  job.progressive = progressiveEncoding_;
  const bool ok = RunEncode(&cinfo, &err, &dest, &job);
  jpeg_destroy_compress(&cinfo);
  std::unique_ptr<unsigned char, decltype(&std::free)> buffer(dest.buffer, &std::free);
  if (!ok) RaiseJpegError(err);
  data_ = std::make_shared<const std::vector<uint8_t>>(buffer.get(), buffer.get() + dest.size);
  imageWidth_ = job.width;
  imageHeight_ = job.height;
  Changed(this);
}

void TJPEGImage::DIBNeeded() {
  if (bitmap_ || !data_) return;
  bitmap_ = Decode(*data_, nullptr, nullptr);
}

void TJPEGImage::JPEGNeeded() {
  if (data_ || !bitmap_ || bitmap_->Empty()) return;
  Compress();
}

TBitmap* TJPEGImage::Bitmap() {
  DIBNeeded();
  if (!bitmap_) bitmap_.reset(new TBitmap());
  return bitmap_.get();
}

void TJPEGImage::DecodingChanged() {
  if (data_) bitmap_.reset();
  Changed(this);
}

void TJPEGImage::SetCompressionQuality(TJPEGQualityRange Value) { quality_ = std::clamp(Value, 1, 100); }

void TJPEGImage::SetGrayscale(bool Value) {
  if (Value == grayscale_) return;
  grayscale_ = Value;
  DecodingChanged();
}

void TJPEGImage::SetPerformance(TJPEGPerformance Value) {
  if (Value == performance_) return;
  performance_ = Value;
  DecodingChanged();
}

void TJPEGImage::SetPixelFormat(TJPEGPixelFormat Value) {
  if (Value == pixelFormat_) return;
  pixelFormat_ = Value;
  DecodingChanged();
}

void TJPEGImage::SetScale(TJPEGScale Value) {
  if (Value == scale_) return;
  scale_ = Value;
  DecodingChanged();
}

void TJPEGImage::SetSmoothing(bool Value) {
  if (Value == smoothing_) return;
  smoothing_ = Value;
  DecodingChanged();
}

void TJPEGImage::Assign(TPersistent* Source) {
  if (Source == this) return;
  if (Source == nullptr) {
    data_.reset();
    bitmap_.reset();
    imageWidth_ = imageHeight_ = 0;
    Changed(this);
    return;
  }
  if (auto* source = dynamic_cast<TJPEGImage*>(Source)) {
    quality_ = source->quality_;
    grayscale_ = source->grayscale_;
    progressiveEncoding_ = source->progressiveEncoding_;
    progressiveDisplay_ = source->progressiveDisplay_;
    performance_ = source->performance_;
    pixelFormat_ = source->pixelFormat_;
    scale_ = source->scale_;
    smoothing_ = source->smoothing_;
    data_ = source->data_;
    imageWidth_ = source->imageWidth_;
    imageHeight_ = source->imageHeight_;
    bitmap_.reset();
    if (source->bitmap_) {
      bitmap_.reset(new TBitmap());
      bitmap_->Assign(source->bitmap_.get());
    }
    Changed(this);
    return;
  }
  if (auto* source = dynamic_cast<TBitmap*>(Source)) {
    TObjectPtr<TBitmap> bitmap(new TBitmap());
    bitmap->Assign(source);
    bitmap->SetTransparent(false);
    data_.reset();
    bitmap_ = std::move(bitmap);
    imageWidth_ = bitmap_->Width();
    imageHeight_ = bitmap_->Height();
    Changed(this);
    return;
  }
  TGraphic::Assign(Source);
}

void TJPEGImage::AssignTo(TPersistent* Dest) {
  if (auto* bitmap = dynamic_cast<TBitmap*>(Dest)) {
    DIBNeeded();
    bitmap->Assign(bitmap_.get());
    return;
  }
  TGraphic::AssignTo(Dest);
}

void TJPEGImage::Draw(TCanvas* ACanvas, const TRect& Rect) {
  DIBNeeded();
  if (bitmap_) ACanvas->StretchDraw(Rect, bitmap_.get());
}
