// The graphic base class and bitmaps: pixels in a GDI bitmap, pixel formats, transparency, .bmp streams
// and resources, and the bitmap's canvas.
#include <algorithm>
#include <climits>
#include <cstring>

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Filer.h"
#include "platform/classes/Streams.h"
#include "platform/forms/Graphics.h"
#include "platform/forms/GraphicsInternal.h"
#include "platform/rtl/SysUtils.h"

using namespace graphicsconsts;
using k58::forms::BitmapAccess;

// ---- Helpers -----------------------------------------------------------------------------------------

namespace k58::forms {

std::vector<uint8_t> ReadBytes(TStream* Stream, int64_t Count) {
  if (Count < 0) throw EReadError(classesconsts::SReadError);
  std::vector<uint8_t> bytes(static_cast<size_t>(Count));
  size_t done = 0;
  while (done < bytes.size()) {
    Integer chunk = static_cast<Integer>(std::min<size_t>(bytes.size() - done, INT_MAX));
    Stream->ReadBuffer(bytes.data() + done, chunk);
    done += static_cast<size_t>(chunk);
  }
  return bytes;
}

std::vector<uint8_t> ReadRest(TStream* Stream) {
  int64_t rest = Stream->Size() - Stream->Position();
  return ReadBytes(Stream, std::max<int64_t>(rest, 0));
}

void WriteBytes(TStream* Stream, const std::vector<uint8_t>& Bytes) {
  size_t done = 0;
  while (done < Bytes.size()) {
    Integer chunk = static_cast<Integer>(std::min<size_t>(Bytes.size() - done, INT_MAX));
    Stream->WriteBuffer(Bytes.data() + done, chunk);
    done += static_cast<size_t>(chunk);
  }
}

HBITMAP NewBitmapHandle(Integer Width, Integer Height, bool Monochrome) {
  if (Width <= 0 || Height <= 0 || Width > kMaxImageSide || Height > kMaxImageSide) {
    throw EOutOfResources(SOutOfResources);
  }
  HBITMAP handle = CreateBitmap(Width, Height, 1, Monochrome ? 1 : 32, nullptr);
  k58::gdi::SurfacePtr surface = handle ? k58::gdi::SurfaceOfBitmap(handle) : nullptr;
  if (!surface) {
    if (handle) DeleteObject(handle);
    throw EOutOfResources(SOutOfResources);
  }
  surface->Fill(k58::gdi::kWhitePixel);
  return handle;
}

HBITMAP HandleOnSurface(k58::gdi::SurfacePtr Surface) {
  HBITMAP handle = k58::gdi::CreateBitmapOnSurface(std::move(Surface));
  if (!handle) throw EOutOfResources(SOutOfResources);
  return handle;
}

void WithBitmapDC(HBITMAP Bitmap, const std::function<void(HDC)>& draw) {
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) throw EOutOfResources(SOutOfResources);
  HGDIOBJ old = SelectObject(dc, Bitmap);
  if (!old) {
    DeleteDC(dc);
    throw EInvalidGraphicOperation("The bitmap is in use by another device context");
  }
  try {
    draw(dc);
  } catch (...) {
    SelectObject(dc, old);
    DeleteDC(dc);
    throw;
  }
  SelectObject(dc, old);
  DeleteDC(dc);
}

k58::gdi::SurfacePtr BitmapAccess::Surface(const TBitmap* Bitmap) {
  return Bitmap->handle_ ? k58::gdi::SurfaceOfBitmap(Bitmap->handle_) : nullptr;
}

k58::gdi::SurfacePtr BitmapAccess::SurfaceForWrite(TBitmap* Bitmap) {
  Bitmap->Changing();
  return Surface(Bitmap);
}

void BitmapAccess::Changed(TBitmap* Bitmap) { Bitmap->Changed(Bitmap); }

void BitmapAccess::WithDC(const TBitmap* Bitmap, const std::function<void(HDC)>& draw) {
  if (!Bitmap->handle_) return;
  // A bitmap is selected in one context at a time: the canvas's, when it has made one.
  if (auto* canvas = static_cast<TBitmapCanvas*>(Bitmap->canvas_.get()); canvas && canvas->Context()) {
    draw(canvas->Context());
    return;
  }
  WithBitmapDC(Bitmap->handle_, draw);
}

}  // namespace k58::forms

using k58::forms::NewBitmapHandle;
using k58::forms::WithBitmapDC;

// ---- TGraphic ----------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TGraphic) {}

void TGraphic::SetTransparent(bool Value) {
  if (Value == transparent_) return;
  transparent_ = Value;
  Changed(this);
}

void TGraphic::SetModified(bool Value) {
  if (Value) {
    Changed(this);
  } else {
    modified_ = false;
  }
}

void TGraphic::Changed(TObject*) {
  modified_ = true;
  onChange_(this);
}

void TGraphic::LoadFromFile(const String& FileName) {
  TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&stream);
}

void TGraphic::SaveToFile(const String& FileName) {
  TMemoryStream image;
  SaveToStream(&image);
  TFileStream stream(FileName, fmCreate);
  image.SaveToStream(&stream);
}

bool TGraphic::Equals(TGraphic* Graphic) {
  if (Graphic == nullptr || Graphic->ClassType() != ClassType()) return false;
  if (Empty() || Graphic->Empty()) return Empty() && Graphic->Empty();
  TMemoryStream mine;
  TMemoryStream theirs;
  SaveToStream(&mine);
  Graphic->SaveToStream(&theirs);
  return mine.Size() == theirs.Size() &&
         std::memcmp(mine.Memory(), theirs.Memory(), static_cast<size_t>(mine.Size())) == 0;
}

void TGraphic::DefineProperties(TFiler* Filer) {
  Filer->DefineBinaryProperty(
      "Data", [this](TStream* Stream) { ReadData(Stream); }, [this](TStream* Stream) { WriteData(Stream); },
      !Empty());
}

void TGraphic::ReadData(TStream* Stream) { LoadFromStream(Stream); }

void TGraphic::WriteData(TStream* Stream) { SaveToStream(Stream); }

// ---- TBitmapCanvas -----------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TBitmapCanvas) {}

TBitmapCanvas::TBitmapCanvas(TBitmap* Bitmap) : bitmap_(Bitmap) {}

TBitmapCanvas::~TBitmapCanvas() { FreeContext(); }

void TBitmapCanvas::FreeContext() {
  if (dc_ == nullptr) return;
  Lock();
  SetHandle(nullptr);
  if (oldBitmap_) SelectObject(dc_, oldBitmap_);
  DeleteDC(dc_);
  dc_ = nullptr;
  oldBitmap_ = nullptr;
  Unlock();
}

void TBitmapCanvas::CreateHandle() {
  if (dc_ != nullptr) return;
  HDC dc = CreateCompatibleDC(nullptr);
  if (dc == nullptr) throw EOutOfResources(SOutOfResources);
  oldBitmap_ = bitmap_->handle_ ? SelectObject(dc, bitmap_->handle_) : nullptr;
  dc_ = dc;
  SetHandle(dc);
}

void TBitmapCanvas::Changing() {
  bitmap_->Changing();
  TCanvas::Changing();
}

void TBitmapCanvas::Changed() {
  bitmap_->Changed(bitmap_);
  TCanvas::Changed();
}

// ---- TBitmap -----------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TBitmap) {}

namespace {

bool IsBlackAndWhite(const std::vector<uint32_t>& palette) {
  if (palette.empty()) return true;
  if (palette.size() != 2) return false;
  return (palette[0] == 0 && palette[1] == k58::gdi::kWhitePixel) || (palette[0] == k58::gdi::kWhitePixel && palette[1] == 0);
}

// The bitmap a decoded image becomes, with its pixel format and colour table.
HBITMAP HandleFromDib(const k58::forms::DecodedDib& dib, bool& monochrome) {
  monochrome = dib.bitCount == 1 && IsBlackAndWhite(dib.palette);
  HBITMAP handle = NewBitmapHandle(dib.width, dib.height, monochrome);
  k58::gdi::SurfacePtr surface = k58::gdi::SurfaceOfBitmap(handle);
  for (int y = 0; y < dib.height; ++y) {
    std::memcpy(surface->Row(y), dib.pixels.data() + static_cast<size_t>(y) * dib.width,
                static_cast<size_t>(dib.width) * 4);
  }
  if (monochrome) surface->NormalizeMono();
  return handle;
}

}  // namespace

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() {
  canvas_.reset();
  if (handle_) DeleteObject(handle_);
}

void TBitmap::Changing() { streamImage_.clear(); }

void TBitmap::FreeContext() {
  if (canvas_) static_cast<TBitmapCanvas*>(canvas_.get())->FreeContext();
}

void TBitmap::Replace(HBITMAP Handle, TPixelFormat Format, std::vector<uint32_t> Palette) {
  FreeContext();
  if (handle_) DeleteObject(handle_);
  handle_ = Handle;
  if (k58::gdi::SurfacePtr surface = handle_ ? k58::gdi::SurfaceOfBitmap(handle_) : nullptr) {
    width_ = surface->Width();
    height_ = surface->Height();
  }
  pixelFormat_ = Format;
  palette_ = std::move(Palette);
}

TCanvas* TBitmap::Canvas() {
  if (!canvas_) canvas_.reset(new TBitmapCanvas(this));
  return canvas_.get();
}

HBITMAP TBitmap::Handle() {
  Changing();
  return handle_;
}

void TBitmap::SetHandle(HBITMAP Value) {
  if (Value == handle_) return;
  k58::gdi::SurfacePtr surface = Value ? k58::gdi::SurfaceOfBitmap(Value) : nullptr;
  if (Value && !surface) throw EInvalidGraphic(SInvalidBitmap);
  Changing();
  if (surface) {
    Replace(Value, surface->IsMono() ? pf1bit : pfDevice, surface->IsMono() ? std::vector<uint32_t>{0, k58::gdi::kWhitePixel}
                                                                             : std::vector<uint32_t>{});
  } else {
    Replace(nullptr, pixelFormat_, {});
    width_ = height_ = 0;
  }
  Changed(this);
}

HBITMAP TBitmap::ReleaseHandle() {
  Changing();
  FreeContext();
  HBITMAP handle = handle_;
  handle_ = nullptr;
  width_ = height_ = 0;
  Changed(this);
  return handle;
}

void TBitmap::SetSize(Integer AWidth, Integer AHeight) {
  AWidth = std::max(AWidth, 0);
  AHeight = std::max(AHeight, 0);
  if (AWidth == width_ && AHeight == height_) return;
  HBITMAP handle = nullptr;
  const bool mono = pixelFormat_ == pf1bit && IsBlackAndWhite(palette_);
  if (AWidth > 0 && AHeight > 0) {
    handle = NewBitmapHandle(AWidth, AHeight, mono);
    if (k58::gdi::SurfacePtr old = BitmapAccess::Surface(this)) {
      k58::gdi::SurfacePtr surface = k58::gdi::SurfaceOfBitmap(handle);
      const int w = std::min(old->Width(), AWidth);
      const int h = std::min(old->Height(), AHeight);
      for (int y = 0; y < h; ++y) std::memcpy(surface->Row(y), old->Row(y), static_cast<size_t>(w) * 4);
    }
  }
  Changing();
  Replace(handle, pixelFormat_, palette_);
  width_ = AWidth;
  height_ = AHeight;
  Changed(this);
}

bool TBitmap::Monochrome() const {
  k58::gdi::SurfacePtr surface = BitmapAccess::Surface(this);
  return surface ? surface->IsMono() : pixelFormat_ == pf1bit;
}

void TBitmap::SetMonochrome(bool Value) {
  if (Value == Monochrome()) return;
  if (!Value) {
    SetPixelFormat(pfDevice);
    return;
  }
  // Black and white, also for a 1-bit bitmap with a colour table of other colours.
  Changing();
  HBITMAP handle = nullptr;
  if (k58::gdi::SurfacePtr old = BitmapAccess::Surface(this)) {
    handle = NewBitmapHandle(width_, height_, true);
    k58::gdi::SurfacePtr surface = k58::gdi::SurfaceOfBitmap(handle);
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) surface->Set(x, y, k58::gdi::MonoPixelOf(k58::gdi::PixelToColor(old->Get(x, y))));
    }
  }
  const Integer w = width_;
  const Integer h = height_;
  Replace(handle, pf1bit, {0, k58::gdi::kWhitePixel});
  width_ = w;
  height_ = h;
  Changed(this);
}

void TBitmap::SetPixelFormat(TPixelFormat Value) {
  if (Value == pixelFormat_) return;
  if (Value == pfCustom) throw EInvalidGraphic(SInvalidPixelFormat);
  if (Value == pf1bit) {
    SetMonochrome(true);
    pixelFormat_ = pf1bit;
    return;
  }
  Changing();
  HBITMAP handle = nullptr;
  std::vector<uint32_t> palette;
  if (k58::gdi::SurfacePtr old = BitmapAccess::Surface(this)) {
    handle = NewBitmapHandle(width_, height_, false);
    k58::gdi::SurfacePtr surface = k58::gdi::SurfaceOfBitmap(handle);
    for (int y = 0; y < height_; ++y) std::memcpy(surface->Row(y), old->Row(y), static_cast<size_t>(width_) * 4);
    palette = k58::forms::MakePalette(*surface, Value);
    if (Value == pf4bit || Value == pf8bit || Value == pf15bit || Value == pf16bit) {
      for (int y = 0; y < height_; ++y) {
        uint32_t* row = surface->Row(y);
        for (int x = 0; x < width_; ++x) row[x] = k58::forms::QuantizePixel(row[x] & k58::gdi::kPixelMask, Value, palette);
      }
    }
  }
  const Integer w = width_;
  const Integer h = height_;
  Replace(handle, Value, std::move(palette));
  width_ = w;
  height_ = h;
  Changed(this);
}

void TBitmap::SetHandleType(TBitmapHandleType Value) {
  if (Value == HandleType()) return;
  SetPixelFormat(Value == bmDDB ? pfDevice : pf32bit);
}

void* TBitmap::ScanLine(Integer Row) {
  if (Row < 0 || Row >= height_ || !handle_) throw EInvalidGraphicOperation(SScanLine);
  k58::gdi::SurfacePtr surface = BitmapAccess::Surface(this);
  if (surface->IsMono() || (pixelFormat_ != pf32bit && pixelFormat_ != pfDevice)) {
    throw EInvalidGraphicOperation(SScanLineFormat);
  }
  Changing();
  return surface->Row(Row);
}

TColor TBitmap::TransparentColor() const {
  if (transparentMode_ == tmFixed && transparentColor_ != clDefault) return transparentColor_;
  k58::gdi::SurfacePtr surface = BitmapAccess::Surface(this);
  if (!surface) return clDefault;
  return static_cast<TColor>(k58::gdi::PixelToColor(surface->Get(0, surface->Height() - 1) & k58::gdi::kPixelMask));
}

void TBitmap::SetTransparentColor(TColor Value) {
  if (Value == transparentColor_ && (Value == clDefault) == (transparentMode_ == tmAuto)) return;
  transparentColor_ = Value;
  transparentMode_ = Value == clDefault ? tmAuto : tmFixed;
  Changed(this);
}

void TBitmap::SetTransparentMode(TTransparentMode Value) {
  if (Value == transparentMode_) return;
  if (Value == tmAuto) {
    SetTransparentColor(clDefault);
  } else {
    // Fixes the colour the bitmap has now.
    SetTransparentColor(TransparentColor());
  }
}

void TBitmap::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (!handle_) return;
  HDC dest = ACanvas->Handle();
  const int w = Rect.right - Rect.left;
  const int h = Rect.bottom - Rect.top;
  BitmapAccess::WithDC(this, [&](HDC src) {
    if (Transparent()) {
      TransparentBlt(dest, Rect.left, Rect.top, w, h, src, 0, 0, width_, height_, ColorToRGB(TransparentColor()));
      return;
    }
    const bool mono = Monochrome();
    COLORREF oldText = 0;
    COLORREF oldBack = 0;
    if (mono) {
      oldText = SetTextColor(dest, RGB(0, 0, 0));
      oldBack = SetBkColor(dest, RGB(255, 255, 255));
    }
    int oldMode = SetStretchBltMode(dest, COLORONCOLOR);
    StretchBlt(dest, Rect.left, Rect.top, w, h, src, 0, 0, width_, height_, static_cast<DWORD>(ACanvas->CopyMode()));
    SetStretchBltMode(dest, oldMode);
    if (mono) {
      SetTextColor(dest, oldText);
      SetBkColor(dest, oldBack);
    }
  });
}

void TBitmap::Assign(TPersistent* Source) {
  if (Source == this) return;
  if (Source == nullptr) {
    Changing();
    Replace(nullptr, pixelFormat_, {});
    width_ = height_ = 0;
    Changed(this);
    return;
  }
  if (auto* source = dynamic_cast<TBitmap*>(Source)) {
    HBITMAP handle = nullptr;
    if (k58::gdi::SurfacePtr from = BitmapAccess::Surface(source)) {
      handle = NewBitmapHandle(source->width_, source->height_, from->IsMono());
      k58::gdi::SurfacePtr surface = k58::gdi::SurfaceOfBitmap(handle);
      for (int y = 0; y < source->height_; ++y) {
        std::memcpy(surface->Row(y), from->Row(y), static_cast<size_t>(source->width_) * 4);
      }
    }
    Replace(handle, source->pixelFormat_, source->palette_);
    width_ = source->width_;
    height_ = source->height_;
    transparentColor_ = source->transparentColor_;
    transparentMode_ = source->transparentMode_;
    streamImage_ = source->streamImage_;
    TGraphic::SetTransparent(source->Transparent());
    Changed(this);
    return;
  }
  if (auto* graphic = dynamic_cast<TGraphic*>(Source)) {
    Changing();
    Replace(nullptr, pfDevice, {});
    width_ = height_ = 0;
    SetSize(graphic->Width(), graphic->Height());
    Canvas()->Draw(0, 0, graphic);
    return;
  }
  TGraphic::Assign(Source);
}

// ---- Streams -----------------------------------------------------------------------------------------

void TBitmap::LoadFromStream(TStream* Stream) {
  std::vector<uint8_t> bytes = k58::forms::ReadRest(Stream);
  if (bytes.empty()) {
    Assign(nullptr);
    return;
  }
  k58::forms::DecodedDib dib = k58::forms::DecodeBmpFile(bytes.data(), bytes.size());
  bool mono = false;
  HBITMAP handle = HandleFromDib(dib, mono);
  Replace(handle, dib.format, mono && dib.palette.empty() ? std::vector<uint32_t>{0, k58::gdi::kWhitePixel} : dib.palette);
  width_ = dib.width;
  height_ = dib.height;
  streamImage_ = std::move(bytes);
  Changed(this);
}

void TBitmap::SaveToStream(TStream* Stream) {
  if (!handle_) return;
  if (!streamImage_.empty()) {
    k58::forms::WriteBytes(Stream, streamImage_);
    return;
  }
  k58::forms::WriteBytes(Stream, k58::forms::EncodeBmpFile(*BitmapAccess::Surface(this), pixelFormat_, palette_));
}

void TBitmap::LoadFromResourceName(HINSTANCE Instance, const String& ResName) {
  TResourceStream stream(Instance, ResName, ResTypeBitmap);
  std::vector<uint8_t> bytes = k58::forms::ReadRest(&stream);
  if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') {
    TMemoryStream image;
    k58::forms::WriteBytes(&image, bytes);
    image.SetPosition(0);
    LoadFromStream(&image);
    return;
  }
  // A bare device-independent bitmap, as resource compilers store them.
  k58::forms::DecodedDib dib = k58::forms::DecodeDib(bytes.data(), bytes.size(), -1, false, SInvalidBitmap);
  bool mono = false;
  HBITMAP handle = HandleFromDib(dib, mono);
  Changing();
  Replace(handle, dib.format, mono && dib.palette.empty() ? std::vector<uint32_t>{0, k58::gdi::kWhitePixel} : dib.palette);
  width_ = dib.width;
  height_ = dib.height;
  Changed(this);
}

void TBitmap::LoadFromResourceID(HINSTANCE Instance, Integer ResID) {
  LoadFromResourceName(Instance, ResourceKey(ResID));
}

void TBitmap::ReadData(TStream* Stream) {
  Integer size = 0;
  Stream->ReadBuffer(&size, sizeof(size));
  if (size < 0) throw EInvalidGraphic(SInvalidBitmap);
  std::vector<uint8_t> bytes = k58::forms::ReadBytes(Stream, size);
  TMemoryStream image;
  k58::forms::WriteBytes(&image, bytes);
  image.SetPosition(0);
  LoadFromStream(&image);
}

void TBitmap::WriteData(TStream* Stream) {
  TMemoryStream image;
  SaveToStream(&image);
  Integer size = static_cast<Integer>(image.Size());
  Stream->WriteBuffer(&size, sizeof(size));
  image.SaveToStream(Stream);
}
