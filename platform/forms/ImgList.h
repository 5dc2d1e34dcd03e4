// Image lists: numbered images of one size, each with an optional mask, drawn transparently, greyed or
// blended; change links tell the controls that show them when the list changes.
#pragma once

#include <memory>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/forms/Graphics.h"

class TCustomImageList;
namespace k58::gdi {
class Surface;
}

namespace imglistconsts {
inline constexpr const char* SImageIndexError = "Invalid ImageList Index";
inline constexpr const char* SInvalidImageSize = "Invalid image size";
inline constexpr const char* SInvalidImageList = "Invalid image list";
}  // namespace imglistconsts

enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
K58_ENUM_TYPE(TDrawingStyle, dsFocus, dsSelected, dsNormal, dsTransparent)

enum TImageType { itImage, itMask };
K58_ENUM_TYPE(TImageType, itImage, itMask)

// A control's connection to an image list: OnChange runs whenever the list changes. A link unregisters
// itself when freed; a list that is freed leaves its links with no sender.
class TChangeLink : public TObject {
  K58_CLASS(TChangeLink, TObject)

  TChangeLink() = default;
  ~TChangeLink() override;

  TCustomImageList* Sender() const { return sender_; }
  void SetSender(TCustomImageList* Value) { sender_ = Value; }
  const TNotifyEvent& OnChange() const { return onChange_; }
  void SetOnChange(const TNotifyEvent& Value) { onChange_ = Value; }

  virtual void Change();

 private:
  TCustomImageList* sender_ = nullptr;
  TNotifyEvent onChange_;
};

class TCustomImageList : public TComponent {
  K58_CLASS(TCustomImageList, TComponent)

  explicit TCustomImageList(TComponent* AOwner);
  TCustomImageList(Integer AWidth, Integer AHeight);
  ~TCustomImageList() override;

  // Copies the images and settings of another image list; nil clears the list.
  void Assign(TPersistent* Source) override;

  // Adds the images of a bitmap laid side by side (as many of Width as it holds), with the matching part
  // of Mask (white: transparent; nil: opaque). Answers the index of the first one, -1 for nil. A bitmap
  // narrower or lower than one image raises EInvalidOperation "Invalid image size".
  Integer Add(TBitmap* Image, TBitmap* Mask);
  // The same with the mask made of the pixels of MaskColor (clDefault: the bitmap's bottom-left pixel;
  // clNone: no mask).
  Integer AddMasked(TBitmap* Image, TColor MaskColor);
  // The icon (stretched to the list's size) with its mask.
  Integer AddIcon(TIcon* Image);
  void AddImages(TCustomImageList* Value);
  void Insert(Integer Index, TBitmap* Image, TBitmap* Mask);
  void InsertMasked(Integer Index, TBitmap* Image, TColor MaskColor);
  void InsertIcon(Integer Index, TIcon* Image);
  // Replaces one image by the first image of the bitmap.
  void Replace(Integer Index, TBitmap* Image, TBitmap* Mask);
  void ReplaceMasked(Integer Index, TBitmap* NewImage, TColor MaskColor);
  void ReplaceIcon(Integer Index, TIcon* Image);
  // Indexes outside 0..Count-1 raise EInvalidOperation "Invalid ImageList Index".
  void Delete(Integer Index);
  void Move(Integer CurIndex, Integer NewIndex);
  void Clear();

  // Draws image Index with the list's drawing style and image type. Disabled images are drawn greyed:
  // their dark pixels embossed in the button highlight and shadow colours. An index outside the list
  // draws nothing.
  void Draw(TCanvas* Canvas, Integer X, Integer Y, Integer Index, bool Enabled = true);
  // dsTransparent draws through the mask; dsNormal too when BkColor is clNone, else on BkColor;
  // dsFocus and dsSelected blend the image 25% and 50% with BlendColor (clNone, clDefault: the
  // highlight colour). itMask draws the mask in black and white.
  void Draw(TCanvas* Canvas, Integer X, Integer Y, Integer Index, TDrawingStyle ADrawingStyle, TImageType AImageType,
            bool Enabled = true);
  // Draws image Index onto the bitmap, sized to the list's images (its own pixels stay where the image is
  // transparent).
  void GetBitmap(Integer Index, TBitmap* Image);

  Integer Count() const { return static_cast<Integer>(images_.size()); }
  Integer Width() const { return width_; }
  // Changing the size clears the list.
  void SetWidth(Integer Value);
  Integer Height() const { return height_; }
  void SetHeight(Integer Value);
  void SetSize(Integer AWidth, Integer AHeight);
  bool Masked() const { return masked_; }
  void SetMasked(bool Value);
  TColor BkColor() const { return bkColor_; }
  void SetBkColor(TColor Value);
  TColor BlendColor() const { return blendColor_; }
  void SetBlendColor(TColor Value);
  TDrawingStyle DrawingStyle() const { return drawingStyle_; }
  void SetDrawingStyle(TDrawingStyle Value);
  TImageType ImageType() const { return imageType_; }
  void SetImageType(TImageType Value);
  Integer AllocBy() const { return allocBy_; }
  void SetAllocBy(Integer Value) { allocBy_ = Value; }
  bool ShareImages() const { return shareImages_; }
  void SetShareImages(bool Value) { shareImages_ = Value; }

  void RegisterChanges(TChangeLink* Value);
  void UnRegisterChanges(TChangeLink* Value);
  // Changes in between are reported once, by EndUpdate.
  void BeginUpdate();
  void EndUpdate();

  const TNotifyEvent& OnChange() const { return onChange_; }
  void SetOnChange(const TNotifyEvent& Value) { onChange_ = Value; }

 protected:
  virtual void Change();
  // Changes made while the list was read are reported once it is read.
  void Loaded() override;
  void DefineProperties(TFiler* Filer) override;
  // Form resources hold the images as a 32-bit strip and the masks as a 1-bit strip (.bmp images).
  void ReadData(TStream* Stream);
  void WriteData(TStream* Stream);

 private:
  // One image: 32-bit colours, and the mask (1-bit, white where transparent) or nil for none.
  struct Image {
    std::shared_ptr<k58::gdi::Surface> Color;
    std::shared_ptr<k58::gdi::Surface> Mask;
  };
  std::vector<Image> MakeImages(TBitmap* Image, TBitmap* Mask, TColor MaskColor, bool ByColor, bool First);
  Image IconImage(TIcon* Icon);
  void CheckIndex(Integer Index, Integer Limit) const;

  std::vector<Image> images_;
  std::vector<TChangeLink*> clients_;
  Integer width_ = 16;
  Integer height_ = 16;
  bool masked_ = true;
  TColor bkColor_ = clNone;
  TColor blendColor_ = clNone;
  TDrawingStyle drawingStyle_ = dsNormal;
  TImageType imageType_ = itImage;
  Integer allocBy_ = 4;
  bool shareImages_ = false;
  Integer updateCount_ = 0;
  bool changed_ = false;
  TNotifyEvent onChange_;
};

class TImageList : public TCustomImageList {
  K58_CLASS(TImageList, TCustomImageList)

  explicit TImageList(TComponent* AOwner) : TCustomImageList(AOwner) {}
  TImageList(Integer AWidth, Integer AHeight) : TCustomImageList(AWidth, AHeight) {}
};
