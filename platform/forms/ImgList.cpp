// Image lists: images and masks as pixel surfaces, drawing through GDI, change links and the form
// resource image of the list.
#include "platform/forms/ImgList.h"

#include <algorithm>
#include <cstring>

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Filer.h"
#include "platform/classes/Streams.h"
#include "platform/forms/GraphicsInternal.h"

using namespace imglistconsts;
using k58::forms::BitmapAccess;

namespace {

// Where the mask is white the destination stays, elsewhere the image is copied.
constexpr DWORD kDestination = 0x00AA0029;
constexpr DWORD kMaskedCopy = MAKEROP4(kDestination, SRCCOPY);
// Pattern where the source is black, destination where it is white.
constexpr DWORD kPatternThroughBlack = 0x00B8074A;

uint32_t Blend(uint32_t pixel, uint32_t with, int percent) {
  auto mix = [&](int shift) {
    const uint32_t a = (pixel >> shift) & 0xFF;
    const uint32_t b = (with >> shift) & 0xFF;
    return ((a * (100 - percent) + b * percent + 50) / 100) << shift;
  };
  return mix(16) | mix(8) | mix(0);
}

// Runs draw with a memory context on the surface.
void WithSurfaceDC(const k58::gdi::SurfacePtr& surface, const std::function<void(HDC)>& draw) {
  HBITMAP handle = k58::forms::HandleOnSurface(surface);
  try {
    k58::forms::WithBitmapDC(handle, draw);
  } catch (...) {
    DeleteObject(handle);
    throw;
  }
  DeleteObject(handle);
}

const char kMagic[4] = {'I', 'L', 'S', 'T'};

}  // namespace

// ---- TChangeLink -------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TChangeLink) {}

TChangeLink::~TChangeLink() {
  if (sender_) sender_->UnRegisterChanges(this);
}

void TChangeLink::Change() {
  if (sender_) onChange_(sender_);
}

// ---- TCustomImageList --------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TCustomImageList) {}

K58_IMPLEMENT_CLASS(TImageList) {
  b.Prop("AllocBy", &TImageList::AllocBy, &TImageList::SetAllocBy).Default(4);
  b.Prop("BlendColor", &TImageList::BlendColor, &TImageList::SetBlendColor).Type(TColorTypeInfo()).Default(clNone);
  b.Prop("BkColor", &TImageList::BkColor, &TImageList::SetBkColor).Type(TColorTypeInfo()).Default(clNone);
  b.Prop("DrawingStyle", &TImageList::DrawingStyle, &TImageList::SetDrawingStyle).Default(dsNormal);
  b.Prop("Height", &TImageList::Height, &TImageList::SetHeight).Default(16);
  b.Prop("ImageType", &TImageList::ImageType, &TImageList::SetImageType).Default(itImage);
  b.Prop("Masked", &TImageList::Masked, &TImageList::SetMasked).Default(true);
  b.Prop("OnChange", &TImageList::OnChange, &TImageList::SetOnChange);
  b.Prop("ShareImages", &TImageList::ShareImages, &TImageList::SetShareImages).Default(false);
  b.Prop("Width", &TImageList::Width, &TImageList::SetWidth).Default(16);
}

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomImageList::TCustomImageList(Integer AWidth, Integer AHeight) : TComponent(nullptr) {
  width_ = std::max(AWidth, 1);
  height_ = std::max(AHeight, 1);
}

TCustomImageList::~TCustomImageList() {
  while (!clients_.empty()) UnRegisterChanges(clients_.back());
}

void TCustomImageList::CheckIndex(Integer Index, Integer Limit) const {
  if (Index < 0 || Index >= Limit) throw EInvalidOperation(SImageIndexError);
}

std::vector<TCustomImageList::Image> TCustomImageList::MakeImages(TBitmap* Source, TBitmap* Mask, TColor MaskColor,
                                                                  bool ByColor, bool First) {
  k58::gdi::SurfacePtr src = BitmapAccess::Surface(Source);
  if (!src || src->Width() < width_ || src->Height() < height_) throw EInvalidOperation(SInvalidImageSize);
  k58::gdi::SurfacePtr mask = Mask ? BitmapAccess::Surface(Mask) : nullptr;
  bool withMask = masked_ && (mask != nullptr || (ByColor && MaskColor != clNone));
  uint32_t maskPixel = 0;
  if (ByColor && withMask) {
    maskPixel = MaskColor == clDefault ? src->Get(0, src->Height() - 1) & k58::gdi::kPixelMask
                                       : k58::gdi::ColorToPixel(ColorToRGB(MaskColor));
  }
  const int count = First ? 1 : src->Width() / width_;
  std::vector<Image> images;
  for (int i = 0; i < count; ++i) {
    Image image;
    image.Color = std::make_shared<k58::gdi::Surface>(width_, height_, 32);
    if (withMask) image.Mask = std::make_shared<k58::gdi::Surface>(width_, height_, 1);
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) {
        const int sx = i * width_ + x;
        const uint32_t pixel = src->Get(sx, y) & k58::gdi::kPixelMask;
        image.Color->Set(x, y, pixel);
        if (!withMask) continue;
        bool transparent = false;
        if (ByColor) {
          transparent = pixel == maskPixel;
        } else if (mask->Contains(sx, y)) {
          transparent = k58::gdi::MonoPixelOf(k58::gdi::PixelToColor(mask->Get(sx, y))) != 0;
        }
        image.Mask->Set(x, y, transparent ? k58::gdi::kWhitePixel : 0);
      }
    }
    images.push_back(std::move(image));
  }
  return images;
}

TCustomImageList::Image TCustomImageList::IconImage(TIcon* Icon) {
  if (Icon == nullptr || Icon->Empty()) throw EInvalidOperation(SInvalidImageSize);
  Image image;
  image.Color = std::make_shared<k58::gdi::Surface>(width_, height_, 32);
  image.Mask = std::make_shared<k58::gdi::Surface>(width_, height_, 1);
  // Stretched to the list's size; transparent pixels of the image are black, as the icon keeps them.
  for (const auto& pair : {std::pair{Icon->ImageHandle(), image.Color}, std::pair{Icon->MaskHandle(), image.Mask}}) {
    const auto& from = pair.first;  // not a structured binding: clang 14 lambdas cannot capture those
    WithSurfaceDC(pair.second, [&](HDC dest) {
      k58::forms::WithBitmapDC(from, [&](HDC src) {
        SetStretchBltMode(dest, COLORONCOLOR);
        StretchBlt(dest, 0, 0, width_, height_, src, 0, 0, Icon->Width(), Icon->Height(), SRCCOPY);
      });
    });
  }
  if (!masked_) image.Mask.reset();
  return image;
}

Integer TCustomImageList::Add(TBitmap* Image, TBitmap* Mask) {
  if (Image == nullptr) return -1;
  std::vector<TCustomImageList::Image> added = MakeImages(Image, Mask, clNone, false, false);
  const Integer first = Count();
  images_.insert(images_.end(), added.begin(), added.end());
  Change();
  return first;
}

Integer TCustomImageList::AddMasked(TBitmap* Image, TColor MaskColor) {
  if (Image == nullptr) return -1;
  std::vector<TCustomImageList::Image> added = MakeImages(Image, nullptr, MaskColor, true, false);
  const Integer first = Count();
  images_.insert(images_.end(), added.begin(), added.end());
  Change();
  return first;
}

Integer TCustomImageList::AddIcon(TIcon* Image) {
  if (Image == nullptr) return -1;
  images_.push_back(IconImage(Image));
  Change();
  return Count() - 1;
}

void TCustomImageList::AddImages(TCustomImageList* Value) {
  if (Value == nullptr || Value == this) return;
  if (Value->width_ != width_ || Value->height_ != height_) throw EInvalidOperation(SInvalidImageSize);
  images_.insert(images_.end(), Value->images_.begin(), Value->images_.end());
  Change();
}

void TCustomImageList::Insert(Integer Index, TBitmap* Image, TBitmap* Mask) {
  CheckIndex(Index, Count() + 1);
  if (Image == nullptr) return;
  std::vector<TCustomImageList::Image> added = MakeImages(Image, Mask, clNone, false, false);
  images_.insert(images_.begin() + Index, added.begin(), added.end());
  Change();
}

void TCustomImageList::InsertMasked(Integer Index, TBitmap* Image, TColor MaskColor) {
  CheckIndex(Index, Count() + 1);
  if (Image == nullptr) return;
  std::vector<TCustomImageList::Image> added = MakeImages(Image, nullptr, MaskColor, true, false);
  images_.insert(images_.begin() + Index, added.begin(), added.end());
  Change();
}

void TCustomImageList::InsertIcon(Integer Index, TIcon* Image) {
  CheckIndex(Index, Count() + 1);
  images_.insert(images_.begin() + Index, IconImage(Image));
  Change();
}

void TCustomImageList::Replace(Integer Index, TBitmap* Image, TBitmap* Mask) {
  CheckIndex(Index, Count());
  if (Image == nullptr) return;
  images_[Index] = MakeImages(Image, Mask, clNone, false, true).front();
  Change();
}

void TCustomImageList::ReplaceMasked(Integer Index, TBitmap* NewImage, TColor MaskColor) {
  CheckIndex(Index, Count());
  if (NewImage == nullptr) return;
  images_[Index] = MakeImages(NewImage, nullptr, MaskColor, true, true).front();
  Change();
}

void TCustomImageList::ReplaceIcon(Integer Index, TIcon* Image) {
  CheckIndex(Index, Count());
  images_[Index] = IconImage(Image);
  Change();
}

void TCustomImageList::Delete(Integer Index) {
  CheckIndex(Index, Count());
  images_.erase(images_.begin() + Index);
  Change();
}

void TCustomImageList::Move(Integer CurIndex, Integer NewIndex) {
  CheckIndex(CurIndex, Count());
  CheckIndex(NewIndex, Count());
  if (CurIndex == NewIndex) return;
  Image image = images_[CurIndex];
  images_.erase(images_.begin() + CurIndex);
  images_.insert(images_.begin() + NewIndex, image);
  Change();
}

void TCustomImageList::Clear() {
  images_.clear();
  Change();
}

void TCustomImageList::Assign(TPersistent* Source) {
  if (Source == this) return;
  if (Source == nullptr) {
    Clear();
    return;
  }
  auto* source = dynamic_cast<TCustomImageList*>(Source);
  if (source == nullptr) {
    TComponent::Assign(Source);
    return;
  }
  BeginUpdate();
  width_ = source->width_;
  height_ = source->height_;
  masked_ = source->masked_;
  bkColor_ = source->bkColor_;
  blendColor_ = source->blendColor_;
  drawingStyle_ = source->drawingStyle_;
  imageType_ = source->imageType_;
  allocBy_ = source->allocBy_;
  // Surfaces are never changed in place, so the lists may share them.
  images_ = source->images_;
  Change();
  EndUpdate();
}

// ---- Settings ----------------------------------------------------------------------------------------

void TCustomImageList::SetSize(Integer AWidth, Integer AHeight) {
  AWidth = std::max(AWidth, 1);
  AHeight = std::max(AHeight, 1);
  if (AWidth == width_ && AHeight == height_) return;
  width_ = AWidth;
  height_ = AHeight;
  images_.clear();
  Change();
}

void TCustomImageList::SetWidth(Integer Value) { SetSize(Value, height_); }

void TCustomImageList::SetHeight(Integer Value) { SetSize(width_, Value); }

void TCustomImageList::SetMasked(bool Value) {
  if (Value == masked_) return;
  masked_ = Value;
  Change();
}

void TCustomImageList::SetBkColor(TColor Value) {
  if (Value == bkColor_) return;
  bkColor_ = Value;
  Change();
}

void TCustomImageList::SetBlendColor(TColor Value) {
  if (Value == blendColor_) return;
  blendColor_ = Value;
  Change();
}

void TCustomImageList::SetDrawingStyle(TDrawingStyle Value) {
  if (Value == drawingStyle_) return;
  drawingStyle_ = Value;
  Change();
}

void TCustomImageList::SetImageType(TImageType Value) {
  if (Value == imageType_) return;
  imageType_ = Value;
  Change();
}

// ---- Change notification -----------------------------------------------------------------------------

void TCustomImageList::RegisterChanges(TChangeLink* Value) {
  if (Value == nullptr) return;
  if (Value->Sender() && Value->Sender() != this) Value->Sender()->UnRegisterChanges(Value);
  Value->SetSender(this);
  if (std::find(clients_.begin(), clients_.end(), Value) == clients_.end()) clients_.push_back(Value);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* Value) {
  auto it = std::find(clients_.begin(), clients_.end(), Value);
  if (it == clients_.end()) return;
  clients_.erase(it);
  Value->SetSender(nullptr);
}

void TCustomImageList::BeginUpdate() { ++updateCount_; }

void TCustomImageList::EndUpdate() {
  if (updateCount_ > 0 && --updateCount_ == 0 && changed_) Change();
}

void TCustomImageList::Loaded() {
  TComponent::Loaded();
  if (changed_) Change();
}

void TCustomImageList::Change() {
  changed_ = true;
  if (updateCount_ > 0 || ComponentState().Contains(csLoading)) return;
  changed_ = false;
  // A link may unregister itself (or others) from its handler.
  const std::vector<TChangeLink*> links = clients_;
  for (TChangeLink* link : links) {
    if (std::find(clients_.begin(), clients_.end(), link) != clients_.end()) link->Change();
  }
  onChange_(this);
}

// ---- Drawing -----------------------------------------------------------------------------------------

void TCustomImageList::Draw(TCanvas* Canvas, Integer X, Integer Y, Integer Index, bool Enabled) {
  Draw(Canvas, X, Y, Index, drawingStyle_, imageType_, Enabled);
}

void TCustomImageList::Draw(TCanvas* Canvas, Integer X, Integer Y, Integer Index, TDrawingStyle ADrawingStyle,
                            TImageType AImageType, bool Enabled) {
  if (Canvas == nullptr || Index < 0 || Index >= Count()) return;
  const Image& image = images_[Index];
  const bool withMask = masked_ && image.Mask != nullptr;
  HDC dc = Canvas->Handle();
  const int saved = SaveDC(dc);
  HBRUSH brushes[2] = {nullptr, nullptr};
  try {
    if (!Enabled) {
      // The dark opaque pixels, embossed: highlight one pixel down and right, shadow on top.
      auto shape = std::make_shared<k58::gdi::Surface>(width_, height_, 1);
      for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
          const bool opaque = !withMask || image.Mask->Get(x, y) == 0;
          const bool dark = k58::gdi::MonoPixelOf(k58::gdi::PixelToColor(image.Color->Get(x, y))) == 0;
          shape->Set(x, y, opaque && dark ? 0 : k58::gdi::kWhitePixel);
        }
      }
      brushes[0] = CreateSolidBrush(ColorToRGB(clBtnHighlight));
      brushes[1] = CreateSolidBrush(ColorToRGB(clBtnShadow));
      SetTextColor(dc, RGB(0, 0, 0));
      ::SetBkColor(dc, RGB(255, 255, 255));
      WithSurfaceDC(shape, [&](HDC src) {
        SelectObject(dc, brushes[0]);
        BitBlt(dc, X + 1, Y + 1, width_, height_, src, 0, 0, kPatternThroughBlack);
        SelectObject(dc, brushes[1]);
        BitBlt(dc, X, Y, width_, height_, src, 0, 0, kPatternThroughBlack);
      });
    } else if (AImageType == itMask) {
      k58::gdi::SurfacePtr mask = image.Mask;
      if (!withMask) mask = std::make_shared<k58::gdi::Surface>(width_, height_, 1);
      SetTextColor(dc, RGB(0, 0, 0));
      ::SetBkColor(dc, RGB(255, 255, 255));
      WithSurfaceDC(mask, [&](HDC src) { BitBlt(dc, X, Y, width_, height_, src, 0, 0, SRCCOPY); });
    } else {
      k58::gdi::SurfacePtr color = image.Color;
      if (ADrawingStyle == dsFocus || ADrawingStyle == dsSelected) {
        const TColor with = blendColor_ == clNone || blendColor_ == clDefault ? clHighlight : blendColor_;
        const uint32_t withPixel = k58::gdi::ColorToPixel(ColorToRGB(with));
        const int percent = ADrawingStyle == dsFocus ? 25 : 50;
        color = std::make_shared<k58::gdi::Surface>(width_, height_, 32);
        for (int y = 0; y < height_; ++y) {
          for (int x = 0; x < width_; ++x) color->Set(x, y, Blend(image.Color->Get(x, y), withPixel, percent));
        }
      }
      const bool transparent = ADrawingStyle == dsTransparent || bkColor_ == clNone;
      if (withMask && !transparent) {
        // On the background colour.
        const uint32_t back = k58::gdi::ColorToPixel(ColorToRGB(bkColor_));
        auto composed = std::make_shared<k58::gdi::Surface>(width_, height_, 32);
        for (int y = 0; y < height_; ++y) {
          for (int x = 0; x < width_; ++x) composed->Set(x, y, image.Mask->Get(x, y) ? back : color->Get(x, y));
        }
        color = composed;
      }
      WithSurfaceDC(color, [&](HDC src) {
        if (withMask && transparent) {
          HBITMAP mask = k58::forms::HandleOnSurface(image.Mask);
          MaskBlt(dc, X, Y, width_, height_, src, 0, 0, mask, 0, 0, kMaskedCopy);
          DeleteObject(mask);
        } else {
          BitBlt(dc, X, Y, width_, height_, src, 0, 0, SRCCOPY);
        }
      });
    }
  } catch (...) {
    RestoreDC(dc, saved);
    for (HBRUSH brush : brushes) {
      if (brush) DeleteObject(brush);
    }
    throw;
  }
  RestoreDC(dc, saved);
  for (HBRUSH brush : brushes) {
    if (brush) DeleteObject(brush);
  }
}

void TCustomImageList::GetBitmap(Integer Index, TBitmap* Image) {
  if (Image == nullptr || Index < 0 || Index >= Count()) return;
  Image->SetSize(width_, height_);
  Draw(Image->Canvas(), 0, 0, Index);
}

// ---- Form resources ----------------------------------------------------------------------------------

void TCustomImageList::DefineProperties(TFiler* Filer) {
  TComponent::DefineProperties(Filer);
  Filer->DefineBinaryProperty(
      "Bitmap", [this](TStream* Stream) { ReadData(Stream); }, [this](TStream* Stream) { WriteData(Stream); },
      Count() > 0);
}

void TCustomImageList::WriteData(TStream* Stream) {
  const Integer count = Count();
  bool anyMask = false;
  for (const Image& image : images_) anyMask = anyMask || image.Mask != nullptr;
  k58::gdi::Surface strip(width_ * std::max(count, 1), height_, 32);
  k58::gdi::Surface masks(width_ * std::max(count, 1), height_, 1);
  for (Integer i = 0; i < count; ++i) {
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) {
        strip.Set(i * width_ + x, y, images_[i].Color->Get(x, y));
        masks.Set(i * width_ + x, y, images_[i].Mask ? images_[i].Mask->Get(x, y) : 0);
      }
    }
  }
  Stream->WriteBuffer(kMagic, 4);
  const Integer header[4] = {1, count, width_, height_};
  Stream->WriteBuffer(header, sizeof(header));
  const uint8_t flags = anyMask ? 1 : 0;
  Stream->WriteBuffer(&flags, 1);
  auto writeImage = [&](const std::vector<uint8_t>& bytes) {
    const Integer size = static_cast<Integer>(bytes.size());
    Stream->WriteBuffer(&size, sizeof(size));
    k58::forms::WriteBytes(Stream, bytes);
  };
  writeImage(k58::forms::EncodeBmpFile(strip, pf32bit, {}));
  if (anyMask) writeImage(k58::forms::EncodeBmpFile(masks, pf1bit, {0, k58::gdi::kWhitePixel}));
}

void TCustomImageList::ReadData(TStream* Stream) {
  char magic[4];
  Integer header[4];
  uint8_t flags = 0;
  Stream->ReadBuffer(magic, 4);
  Stream->ReadBuffer(header, sizeof(header));
  Stream->ReadBuffer(&flags, 1);
  const Integer count = header[1];
  const Integer width = header[2];
  const Integer height = header[3];
  if (std::memcmp(magic, kMagic, 4) != 0 || header[0] != 1 || count < 0 || width <= 0 || height <= 0 ||
      width > k58::forms::kMaxImageSide || height > k58::forms::kMaxImageSide) {
    throw EReadError(SInvalidImageList);
  }
  auto readImage = [&]() {
    Integer size = 0;
    Stream->ReadBuffer(&size, sizeof(size));
    std::vector<uint8_t> bytes = k58::forms::ReadBytes(Stream, size);
    k58::forms::DecodedDib dib = k58::forms::DecodeBmpFile(bytes.data(), bytes.size());
    if (dib.width != width * std::max(count, 1) || dib.height != height) throw EReadError(SInvalidImageList);
    return dib;
  };
  k58::forms::DecodedDib strip = readImage();
  k58::forms::DecodedDib masks;
  if (flags & 1) masks = readImage();
  std::vector<Image> images;
  for (Integer i = 0; i < count; ++i) {
    Image image;
    image.Color = std::make_shared<k58::gdi::Surface>(width, height, 32);
    if (flags & 1) image.Mask = std::make_shared<k58::gdi::Surface>(width, height, 1);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const size_t at = static_cast<size_t>(y) * strip.width + i * width + x;
        image.Color->Set(x, y, strip.pixels[at]);
        if (image.Mask) image.Mask->Set(x, y, masks.pixels[at] ? k58::gdi::kWhitePixel : 0);
      }
    }
    images.push_back(std::move(image));
  }
  width_ = width;
  height_ = height;
  images_ = std::move(images);
  Change();
}
