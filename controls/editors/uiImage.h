// The image editor: a picture whose edit value is its file image as a byte string, shown centred,
// stretched to fit or scrolled, with a caption when empty, a context menu (cut, copy, paste, delete,
// load, save and a custom command), the clipboard and picture file dialogs.
//
// Threads: GUI thread only.
// Ownership: the editor owns its picture and its popup menu; the properties own their popup menu layout,
// which owns its custom glyph; a view info owns the picture it creates to draw a value and its off-screen
// bitmap. The unit owns the menu images (made by StartImageUnit, freed by the last StopImageUnit).
// Coordinates: the view data and view info work in the editor's client coordinates; the scroll offsets
// are picture pixels hidden at the left and top.
// Re-entrancy: the picture's OnChange runs PictureChanged, which fires the change events and may post the
// value; the menu commands and the file dialogs run with the user-action flag set.
#pragma once

#include <vector>

#include "controls/editors/uiEdit.h"
#include "platform/forms/Graphics.h"
#include "platform/forms/ImgList.h"

enum TuiImageTransparency { gtDefault, gtOpaque, gtTransparent };
K58_ENUM_TYPE(TuiImageTransparency, gtDefault, gtOpaque, gtTransparent)

enum TuiPopupMenuItem { pmiCut, pmiCopy, pmiPaste, pmiDelete, pmiLoad, pmiSave, pmiCustom };
K58_ENUM_TYPE(TuiPopupMenuItem, pmiCut, pmiCopy, pmiPaste, pmiDelete, pmiLoad, pmiSave, pmiCustom)
K58_SET_TYPE(TuiPopupMenuItems, TuiPopupMenuItem)

K58_EVENT_TYPE(TuiImageAssignPictureEvent, void(TObject* Sender, TPicture* Picture))
K58_EVENT_TYPE(TuiImageGraphicClassEvent,
               void(TObject* AItem, Integer ARecordIndex, bool APastingFromClipboard, TGraphicClass& AGraphicClass))
K58_EVENT_TYPE(TuiImageEditGraphicClassEvent,
               void(TObject* Sender, bool APastingFromClipboard, TGraphicClass& AGraphicClass))

namespace uiimageconsts {
inline constexpr const char* scxMenuCut = "Cu&t";
inline constexpr const char* scxMenuCopy = "&Copy";
inline constexpr const char* scxMenuPaste = "&Paste";
inline constexpr const char* scxMenuDelete = "&Delete";
inline constexpr const char* scxMenuLoad = "&Load...";
inline constexpr const char* scxMenuSave = "Save &As...";
inline constexpr const char* scxImageDescription = "Image|Represents an image editor";
}  // namespace uiimageconsts

// The graphic classes an image value may be read with, in order: bitmap, icon, metafile, JPEG picture.
const std::vector<TGraphicClass>& GetRegisteredGraphicClasses();
// The first of them whose class name is AName, ignoring case; nil for none.
TGraphicClass FindRegisteredGraphicClass(const String& AName);
// Reads a byte-string value (optionally led by the 8-byte header of a graphic field) into the picture
// with a new graphic of AGraphicClass, or as a bitmap without a class. Anything else, a value of fewer than
// 8 bytes, and data the graphic cannot read leave the picture empty; nothing is raised.
void LoadPictureFromValue(TPicture* APicture, TGraphicClass AGraphicClass, const Variant& AValue);
// The graphic's file image as a byte string.
Variant SavePictureToValue(TPicture* APicture);
// No graphic, an empty graphic, or one without width or height.
bool IsPictureEmpty(TPicture* APicture);
// The largest rectangle of W:H at R's top left that fits in R; an empty R (or no size) comes back as it is.
TRect FitRectProportionally(const TRect& R, Integer W, Integer H);

class TuiCustomImage;

// Which context-menu commands an image editor offers, and the custom command's caption and glyph.
class TuiPopupMenuLayout : public TPersistent {
  K58_CLASS(TuiPopupMenuLayout, TPersistent)

  explicit TuiPopupMenuLayout(TuiCustomImage* AImage = nullptr);
  ~TuiPopupMenuLayout() override;
  void Assign(TPersistent* Source) override;

  TuiPopupMenuItems MenuItems() const { return menuItems_; }
  void SetMenuItems(TuiPopupMenuItems Value) { menuItems_ = Value; }
  bool IsMenuItemsStored() const;
  const String& CustomMenuItemCaption() const { return customMenuItemCaption_; }
  void SetCustomMenuItemCaption(const String& Value) { customMenuItemCaption_ = Value; }
  // Made (empty) on first read.
  virtual TBitmap* CustomMenuItemGlyph();
  TBitmap* CustomMenuItemGlyphIfAny() const { return glyph_.get(); }
  // Copies Value; nil frees the glyph.
  void SetCustomMenuItemGlyph(TBitmap* Value);
  bool IsGlyphStored() const { return glyph_ != nullptr && !glyph_->Empty(); }
  TuiCustomImage* Image() const { return image_; }

 private:
  String customMenuItemCaption_;
  TObjectPtr<TBitmap> glyph_;
  TuiCustomImage* image_;
  TuiPopupMenuItems menuItems_{pmiCut, pmiCopy, pmiPaste, pmiDelete, pmiLoad, pmiSave};
};

class TuiCustomImageProperties : public TuiCustomEditProperties {
  K58_CLASS(TuiCustomImageProperties, TuiCustomEditProperties)

  TuiCustomImageProperties();
  ~TuiCustomImageProperties() override;
  void Assign(TPersistent* Source) override;
  void DefineProperties(TFiler* Filer) override;

  const String& Caption() const { return caption_; }
  void SetCaption(const String& Value);
  bool Center() const { return center_; }
  void SetCenter(bool Value);
  const String& CustomFilter() const { return customFilter_; }
  void SetCustomFilter(const String& Value) { customFilter_ = Value; }
  TGraphicClass GraphicClass() const { return graphicClass_; }
  void SetGraphicClass(TGraphicClass Value);
  // The class name ("" for nil). An unregistered name changes nothing.
  String GraphicClassName() const;
  void SetGraphicClassName(const String& Value);
  bool IsGraphicClassNameStored() const { return graphicClass_ != GetDefaultGraphicClass(); }
  TuiImageTransparency GraphicTransparency() const { return graphicTransparency_; }
  void SetGraphicTransparency(TuiImageTransparency Value);
  TuiPopupMenuLayout* PopupMenuLayout() const { return popupMenuLayout_.get(); }
  void SetPopupMenuLayout(TuiPopupMenuLayout* Value) { popupMenuLayout_->Assign(Value); }
  bool ShowFocusRect() const { return showFocusRect_; }
  void SetShowFocusRect(bool Value);
  bool Stretch() const { return stretch_; }
  void SetStretch(bool Value);
  Integer DefaultContentHeight() const { return defaultHeight_; }

  const TuiImageAssignPictureEvent& OnAssignPicture() const { return onAssignPicture_; }
  void SetOnAssignPicture(const TuiImageAssignPictureEvent& Value) { onAssignPicture_ = Value; }
  const TNotifyEvent& OnCustomClick() const { return onCustomClick_; }
  void SetOnCustomClick(const TNotifyEvent& Value) { onCustomClick_ = Value; }
  const TuiImageGraphicClassEvent& OnGetGraphicClass() const { return onGetGraphicClass_; }
  void SetOnGetGraphicClass(const TuiImageGraphicClassEvent& Value) { onGetGraphicClass_ = Value; }

  virtual TGraphicClass GetDefaultGraphicClass() const;
  // GraphicClass when set; else a bitmap when pasting, or nil; then OnGetGraphicClass may change it.
  virtual TGraphicClass GetGraphicClass(TObject* AItem, Integer ARecordIndex, bool APastingFromClipboard = false);

  bool CanValidate() override { return true; }
  TClass GetViewDataClass() const override;
  TClass GetEditClass() const override;
  TClass GetViewInfoClass() const override;
  WideString GetDisplayText(const Variant& AEditValue, bool AFullText = false) override;
  Word GetEditCapabilities() override { return TuiCustomEditProperties::GetEditCapabilities() | 0x2 | 0x4; }
  bool CanRevertValue() override { return true; }
  void ValidateDisplayValue(Variant& ADisplayValue, String& AErrorText, bool& AError, TuiCustomEdit* AEdit) override;
  bool SupportsValueFormatting(bool) override { return false; }

 private:
  bool IsGraphicClassNameEmpty() const { return graphicClass_ == nullptr; }
  void SetIsGraphicClassNameEmpty(bool Value);

  String caption_;
  bool center_ = true;
  String customFilter_;
  Integer defaultHeight_ = 15;
  TGraphicClass graphicClass_ = nullptr;
  TuiImageTransparency graphicTransparency_ = gtDefault;
  TObjectPtr<TuiPopupMenuLayout> popupMenuLayout_;
  bool showFocusRect_ = true;
  bool stretch_ = false;
  TuiImageAssignPictureEvent onAssignPicture_;
  TNotifyEvent onCustomClick_;
  TuiImageGraphicClassEvent onGetGraphicClass_;
};

class TuiImageProperties : public TuiCustomImageProperties {
  K58_CLASS(TuiImageProperties, TuiCustomImageProperties)

  TuiImageProperties() = default;
};

class TuiImageViewInfo : public TuiCustomEditViewInfo {
  K58_CLASS(TuiImageViewInfo, TuiCustomEditViewInfo)

  TuiImageViewInfo() = default;
  ~TuiImageViewInfo() override;

  void Paint(TuiCanvas* ACanvas) override;
  bool IsRepaintOnStateChange() override;

  // The picture drawn: the editor's own, or one made to draw a value (then owned).
  TPicture* Picture() const { return picture_; }
  void SetPicture(TPicture* APicture);
  // Made and owned on first use.
  TPicture* ProvideOwnPicture();
  void ClearOwnPicture();
  // The rectangle the picture is drawn in (client coordinates).
  TRect PictureRect() const;

  String Caption;
  bool Center = true;
  bool Stretch = false;
  bool ShowFocusRect = false;
  bool TransparentBackground = false;
  Integer TopLeftX = 0;
  Integer TopLeftY = 0;

 private:
  void DrawTransparent(TuiCanvas* ACanvas, const TRect& P, const TRect& R, TGraphic* AGraphic);

  TPicture* picture_ = nullptr;
  bool ownsPicture_ = false;
  TObjectPtr<TBitmap> buffer_;
};

class TuiImageViewData : public TuiCustomEditViewData {
  K58_CLASS(TuiImageViewData, TuiCustomEditViewData)

  TuiImageViewData() = default;

  void Calculate(TuiCanvas* ACanvas, const TRect& ABounds, const TPoint& P, Byte AButton, TShiftState AShift,
                 TuiCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  void EditValueToDrawValue(TuiCanvas* ACanvas, const Variant& AEditValue, TuiCustomEditViewInfo* AViewInfo) override;
  void GetEditValueSize(TuiCanvas* ACanvas, const Variant& AEditValue, const TSize& AEditSizeProperties,
                        TSize& ASize) override;
};

class TuiCustomImage : public TuiCustomEdit {
  K58_CLASS(TuiCustomImage, TuiCustomEdit)

  explicit TuiCustomImage(TComponent* AOwner);
  ~TuiCustomImage() override;

  TuiCustomImageProperties* ActiveImageProperties() { return static_cast<TuiCustomImageProperties*>(ActiveProperties()); }
  TuiCustomImageProperties* Properties() const { return static_cast<TuiCustomImageProperties*>(TuiCustomEdit::Properties()); }
  void SetProperties(TuiCustomImageProperties* Value) { TuiCustomEdit::SetProperties(Value); }

  TPicture* Picture() const { return picture_.get(); }
  void SetPicture(TPicture* Value) { picture_->Assign(Value); }
  // The context menu, once made (nil before the first context popup).
  TPopupMenu* ImagePopupMenu() const { return popupMenu_.get(); }
  UINT ClipboardFormat() const { return clipboardFormat_; }

  const TuiImageEditGraphicClassEvent& OnGetGraphicClass() const { return onGetGraphicClass_; }
  void SetOnGetGraphicClass(const TuiImageEditGraphicClassEvent& Value) { onGetGraphicClass_ = Value; }

  virtual bool CanPasteFromClipboard();
  virtual void DoCustomClick();
  // OnAssignPicture of the own properties, then of the repository item's.
  void DoAssignPicture();
  // Picture pixels scrolled out at the left and top.
  Integer ScrollOffsetX() const { return scrollX_; }
  Integer ScrollOffsetY() const { return scrollY_; }
  virtual TGraphicClass GetGraphicClass(bool APastingFromClipboard = false);
  // Builds the menu on first use and sets its items' captions, visibility and enabled state.
  void UpdatePopupMenu();
  // Runs a menu command by its number (0 cut ... 6 custom) as the user's action.
  void ExecuteMenuCommand(Integer ATag);
  void LoadFromFileDialog();
  void SaveToFileDialog();

  void CopyToClipboard() override;
  void CutToClipboard() override;
  void PasteFromClipboard() override;
  void ClearValue() override;
  bool IsAutoSizeActive() override;
  bool AreButtonsAutoWidth() override { return true; }
  void GetEditValue(Variant& AValue) override;
  bool IsFocused() override;
  TClass GetPropertiesClass() const override;
  bool HasScrollBars() override { return true; }
  void CalculateScrollData() override;
  void ScrollContent(TScrollBarKind AKind, TScrollCode AScrollCode, Integer& AScrollPos) override;
  void RecalculateScrollBars() override;

 protected:
  void Initialize() override;
  void StoreEditValue(const Variant& AValue, bool AValidateEditValue) override;
  void PropertiesChanged(TObject* Sender) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void DoContextPopup(TPoint MousePos, bool& Handled) override;

 private:
  void PictureChanged(TObject* Sender);
  // The picture change processing (steps shared with a properties change).
  void ProcessPictureChange();
  void RefreshOffsets();
  void MenuItemClick(TObject* Sender);

  UINT clipboardFormat_ = 0;
  TObjectPtr<TPopupMenu> popupMenu_;
  bool dialogShown_ = false;
  TObjectPtr<TPicture> picture_;
  bool storing_ = false;
  Integer scrollX_ = 0;
  Integer scrollY_ = 0;
  TuiImageEditGraphicClassEvent onGetGraphicClass_;
};

class TuiImage : public TuiCustomImage {
  K58_CLASS(TuiImage, TuiCustomImage)

  explicit TuiImage(TComponent* AOwner) : TuiCustomImage(AOwner) {}

  TuiImageProperties* Properties() const { return static_cast<TuiImageProperties*>(TuiCustomImage::Properties()); }
  void SetProperties(TuiImageProperties* Value) { TuiCustomImage::SetProperties(Value); }
  TClass GetPropertiesClass() const override;
};

namespace k58::editors {
// Unit start: the menu images and the registration of the image properties; counted.
void StartImageUnit();
void StopImageUnit();
// The menu images (16 x 16; index = command number), while the unit runs.
TCustomImageList* ImageMenuImages();
}  // namespace k58::editors
