// The BLOB editor: a popup editor that shows a large value (memo text, a picture, OLE or raw binary data) in
// one line as an icon or a short text, and edits memo text or a picture in its popup, which holds a memo
// or an image editor above OK and Cancel buttons.
//
// Threads: GUI thread only.
// Ownership: the editor owns its popup content (made on the first popup, kept while the kind keeps its
// content class) and the two buttons; the icon list lives while the unit runs.
// Value: the BLOB itself: a string (memo text, or a picture's file bytes as the image editor keeps them), or
// Null. It changes only when the popup closes with a save, or through the text editor base.
#pragma once

#include "controls/editors/uiButtons.h"
#include "controls/editors/uiImage.h"
#include "controls/editors/uiMemo.h"
#include "controls/editors/uiPopupEdit.h"

enum TuiBlobEditKind { bekAuto, bekMemo, bekPict, bekOle, bekBlob };
K58_ENUM_TYPE(TuiBlobEditKind, bekAuto, bekMemo, bekPict, bekOle, bekBlob)
// bpsDefault: a word such as "(MEMO)"; bpsIcon: an icon; bpsText: the memo's first line.
enum TuiBlobPaintStyle { bpsDefault, bpsIcon, bpsText };
K58_ENUM_TYPE(TuiBlobPaintStyle, bpsDefault, bpsIcon, bpsText)

namespace uiblobeditconsts {
inline constexpr const char* scxBlobEditDescription = "BlobEdit|Represents the BLOB editor";
inline constexpr const char* scxMemoNull = "(memo)";
inline constexpr const char* scxMemoValue = "(MEMO)";
inline constexpr const char* scxPictureNull = "(picture)";
inline constexpr const char* scxPictureValue = "(PICTURE)";
inline constexpr const char* scxOle = "OLE";
inline constexpr const char* scxBlob = "BLOB";
inline constexpr const char* scxButtonOK = "&OK";
inline constexpr const char* scxButtonCancel = "&Cancel";
inline constexpr const char* scxButtonClose = "&Close";
}  // namespace uiblobeditconsts

class TuiCustomBlobEdit;
class TuiCustomBlobEditProperties;

namespace k58::editors {

// What a key pressed inside the popup does: 0 nothing, 1 accept (save and close), 2 cancel. F4 (without
// Alt), Esc and Alt+Up/Down close (Esc always cancels, the others save only with AAlwaysSaveData); Enter
// accepts with ACloseOnEnter or Ctrl held. A non-zero result clears AKey.
Integer GetBlobPopupCloseResult(Word& AKey, TShiftState AShift, bool ACloseOnEnter, bool AAlwaysSaveData);
// Whether closing the popup saves its content: only a modified content, closed with OK, or closed neither
// with OK nor Cancel while AAlwaysSaveData is on.
bool IsBlobPopupValueSaved(bool AContentModified, TModalResult AModalResult, bool AAlwaysSaveData);
// The cell icon of a kind and value: 0 BLOB, 2 memo, 4 picture, 6 OLE, plus 1 unless the value is Null or
// an empty string; -1 for bekAuto.
Integer GetBlobIconIndex(TuiBlobEditKind AKind, const Variant& AValue);

// The place of the popup's buttons in the system panel.
struct TuiBlobPopupButtonsLayout {
  TRect Cancel{};  // left, top, width and height as SetBounds takes them (right = width, bottom = height)
  TRect OK{};
  TAnchors Anchors;
};
// APanel: the system panel (left, top, bottom used); AGripCorner 0 to 3; APanelHeight: its height;
// APopupWidth: the popup's width; W, H: a button's size.
TuiBlobPopupButtonsLayout CalculateBlobPopupButtons(const TRect& APanel, Byte AGripCorner, Integer APanelHeight,
                                                    Integer APopupWidth, Integer W, Integer H);

// The cell icons (18 x 16, index as GetBlobIconIndex), while the unit runs.
TCustomImageList* BlobEditImages();
void StartBlobEditUnit();
void StopBlobEditUnit();

}  // namespace k58::editors

// Display text after the kind is resolved: the whole memo with AFullText; else with bpsDefault "(memo)" or
// "(MEMO)", "(picture)" or "(PICTURE)" (empty for other kinds); with bpsText the memo up to its first line
// break; otherwise empty.
void GetBlobDisplayText(const Variant& AValue, TuiCustomBlobEditProperties* AProperties, bool AFullText, String& AText);

class TuiCustomBlobEditProperties : public TuiCustomPopupEditProperties {
  K58_CLASS(TuiCustomBlobEditProperties, TuiCustomPopupEditProperties)

  TuiCustomBlobEditProperties();
  void Assign(TPersistent* Source) override;
  void DefineProperties(TFiler* Filer) override;

  bool AlwaysSaveData() const { return alwaysSaveData_; }
  void SetAlwaysSaveData(bool Value) { alwaysSaveData_ = Value; }
  // Button 0 becomes a drop-down button for memo and picture, an ellipsis otherwise.
  TuiBlobEditKind BlobEditKind() const { return blobEditKind_; }
  void SetBlobEditKind(TuiBlobEditKind Value);
  // Button 0 as a kind asks for it.
  void SetDropDownButtonKindFor(TuiBlobEditKind AKind);
  TuiBlobPaintStyle BlobPaintStyle() const { return blobPaintStyle_; }
  void SetBlobPaintStyle(TuiBlobPaintStyle Value);
  bool MemoAutoReplace() const { return memoAutoReplace_; }
  void SetMemoAutoReplace(bool Value) { memoAutoReplace_ = Value; }
  TEditCharCase MemoCharCase() const { return memoCharCase_; }
  void SetMemoCharCase(TEditCharCase Value) { memoCharCase_ = Value; }
  Integer MemoMaxLength() const { return memoMaxLength_; }
  void SetMemoMaxLength(Integer Value) { memoMaxLength_ = Value; }
  bool MemoOEMConvert() const { return memoOEMConvert_; }
  void SetMemoOEMConvert(bool Value) { memoOEMConvert_ = Value; }
  TScrollStyle MemoScrollBars() const { return memoScrollBars_; }
  void SetMemoScrollBars(TScrollStyle Value) { memoScrollBars_ = Value; }
  bool MemoWantReturns() const { return memoWantReturns_; }
  void SetMemoWantReturns(bool Value) { memoWantReturns_ = Value; }
  bool MemoWantTabs() const { return memoWantTabs_; }
  void SetMemoWantTabs(bool Value) { memoWantTabs_ = Value; }
  bool MemoWordWrap() const { return memoWordWrap_; }
  void SetMemoWordWrap(bool Value) { memoWordWrap_ = Value; }
  bool PictureAutoSize() const { return pictureAutoSize_; }
  void SetPictureAutoSize(bool Value) { pictureAutoSize_ = Value; }
  const String& PictureFilter() const { return pictureFilter_; }
  void SetPictureFilter(const String& Value) { pictureFilter_ = Value; }
  TGraphicClass PictureGraphicClass() const { return pictureGraphicClass_; }
  void SetPictureGraphicClass(TGraphicClass Value);
  // The class name ("" for nil); an unregistered name changes nothing.
  String PictureGraphicClassName() const;
  void SetPictureGraphicClassName(const String& Value);
  bool IsPictureGraphicClassNameStored() const { return pictureGraphicClass_ != GetDefaultPictureGraphicClass(); }
  TuiImageTransparency PictureTransparency() const { return pictureTransparency_; }
  void SetPictureTransparency(TuiImageTransparency Value) { pictureTransparency_ = Value; }
  bool ShowExPopupItems() const { return showExPopupItems_; }
  void SetShowExPopupItems(bool Value) { showExPopupItems_ = Value; }
  bool ShowPicturePopup() const { return showPicturePopup_; }
  void SetShowPicturePopup(bool Value) { showPicturePopup_ = Value; }
  const TuiImageAssignPictureEvent& OnAssignPicture() const { return onAssignPicture_; }
  void SetOnAssignPicture(const TuiImageAssignPictureEvent& Value) { onAssignPicture_ = Value; }
  const TuiImageGraphicClassEvent& OnGetGraphicClass() const { return onGetGraphicClass_; }
  void SetOnGetGraphicClass(const TuiImageGraphicClassEvent& Value) { onGetGraphicClass_ = Value; }

  virtual TGraphicClass GetDefaultPictureGraphicClass() const;
  // PictureGraphicClass; a bitmap when pasting without one; then OnGetGraphicClass may change it.
  TGraphicClass GetPictureGraphicClass(TObject* AItem, Integer ARecordIndex, bool APastingFromClipboard = false);
  // The kind in use: BlobEditKind, or for bekAuto the kind last resolved from the data (bekAuto while
  // unresolved). BlobEditKind itself keeps bekAuto, so shared Properties follow each field they show.
  TuiBlobEditKind EffectiveBlobEditKind() const { return effectiveKind_; }
  // For bekAuto the effective kind becomes the one the default-values provider reports (bekBlob without a
  // provider; bekAuto while the provider has no data), without a change notification.
  void ResolveBlobEditKind();

  Byte GetDisplayFormatOptions() override { return 0; }
  TClass GetViewDataClass() const override;
  bool AreChangeEventsSeparate() override { return false; }
  TClass GetEditClass() const override;
  TClass GetViewInfoClass() const override;
  bool CompareDisplayValues(const Variant& AEditValue1, const Variant& AEditValue2) override;
  WideString GetDisplayText(const Variant& AEditValue, bool AFullText = false) override;
  Word GetEditCapabilities() override;
  bool IsEditValueValid(Variant&, bool) override { return true; }
  bool SupportsValueFormatting(bool AIsDisplayFormatting) override;
  bool OpensPopupOnClick() override { return true; }
  TClass GetPopupWindowClass() const override;

 private:
  bool IsPictureGraphicClassNameEmpty() const { return pictureGraphicClass_ == nullptr; }

  bool alwaysSaveData_ = true;
  TuiBlobEditKind blobEditKind_ = bekAuto;
  TuiBlobEditKind effectiveKind_ = bekAuto;
  TuiBlobPaintStyle blobPaintStyle_ = bpsIcon;
  bool memoAutoReplace_ = false;
  TEditCharCase memoCharCase_ = ecNormal;
  Integer memoMaxLength_ = 0;
  bool memoOEMConvert_ = false;
  TScrollStyle memoScrollBars_ = ssNone;
  bool memoWantReturns_ = true;
  bool memoWantTabs_ = true;
  bool memoWordWrap_ = true;
  bool pictureAutoSize_ = true;
  String pictureFilter_;
  TGraphicClass pictureGraphicClass_ = nullptr;
  TuiImageTransparency pictureTransparency_ = gtDefault;
  bool showExPopupItems_ = true;
  bool showPicturePopup_ = true;
  TuiImageAssignPictureEvent onAssignPicture_;
  TuiImageGraphicClassEvent onGetGraphicClass_;
};

class TuiBlobEditProperties : public TuiCustomBlobEditProperties {
  K58_CLASS(TuiBlobEditProperties, TuiCustomBlobEditProperties)
};

// The popup's memo: its keys may close the popup.
class TuiPopupMemo : public TuiMemo {
  K58_CLASS(TuiPopupMemo, TuiMemo)

  explicit TuiPopupMemo(TComponent* AOwner) : TuiMemo(AOwner) {}
  TuiCustomBlobEdit* BlobEdit = nullptr;

 protected:
  void KeyDown(Word& Key, TShiftState Shift) override;
};

// The popup's image editor: its keys may close the popup.
class TuiPopupImage : public TuiImage {
  K58_CLASS(TuiPopupImage, TuiImage)

  explicit TuiPopupImage(TComponent* AOwner) : TuiImage(AOwner) {}
  TuiCustomBlobEdit* BlobEdit = nullptr;

 protected:
  void KeyDown(Word& Key, TShiftState Shift) override;
};

class TuiBlobEditPopupWindow : public TuiPopupEditPopupWindow {
  K58_CLASS(TuiBlobEditPopupWindow, TuiPopupEditPopupWindow)

  explicit TuiBlobEditPopupWindow(TComponent* AOwnerControl = nullptr) : TuiPopupEditPopupWindow(AOwnerControl) {}
  // With MemoAutoReplace a typed character replaces a writable memo's text.
  void ForwardChar(char AChar) override;
};

class TuiBlobEditViewInfo : public TuiCustomTextEditViewInfo {
  K58_CLASS(TuiBlobEditViewInfo, TuiCustomTextEditViewInfo)

  TuiBlobEditViewInfo() = default;
  void Paint(TuiCanvas* ACanvas) override;
  void OffsetRects(Integer DX, Integer DY) override;
  bool NeedShowHint(TuiCanvas*, const TPoint&, String&) override { return false; }

  TRect ImageRect{};
  // -1: the text is shown.
  Integer ImageIndex = -1;
  bool TransparentBackground = false;
};

class TuiBlobEditViewData : public TuiCustomDropDownEditViewData {
  K58_CLASS(TuiBlobEditViewData, TuiCustomDropDownEditViewData)

  TuiBlobEditViewData() = default;
  void EditValueToDisplayText(const Variant& AEditValue, String& AText) override;
  void GetEditContentSize(TuiCanvas* ACanvas, const Variant& AEditValue, const TSize& AEditSizeProperties,
                          TSize& ASize) override;
  void Calculate(TuiCanvas* ACanvas, const TRect& ABounds, const TPoint& P, Byte AButton, TShiftState AShift,
                 TuiCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  void EditValueToDrawValue(TuiCanvas* ACanvas, const Variant& AEditValue, TuiCustomEditViewInfo* AViewInfo) override;
  TuiTextOutFlags GetDrawTextFlags() override;
};

class TuiCustomBlobEdit : public TuiCustomPopupEdit {
  K58_CLASS(TuiCustomBlobEdit, TuiCustomPopupEdit)

  explicit TuiCustomBlobEdit(TComponent* AOwner) : TuiCustomPopupEdit(AOwner) {}
  void BeforeDestruction() override;

  TuiCustomBlobEditProperties* ActiveProperties() {
    return static_cast<TuiCustomBlobEditProperties*>(TuiCustomEdit::ActiveProperties());
  }
  TuiCustomBlobEditProperties* Properties() const {
    return static_cast<TuiCustomBlobEditProperties*>(TuiCustomEdit::Properties());
  }
  void SetProperties(TuiCustomBlobEditProperties* Value) { TuiCustomEdit::SetProperties(Value); }

  // The popup's content (nil before the first popup or for kinds without one) and its buttons.
  TuiCustomEdit* PopupContent() const { return content_.get(); }
  TuiButton* OKButton() const { return okButton_.get(); }
  TuiButton* CancelButton() const { return cancelButton_.get(); }
  // The class of the graphic of the last picture saved from the popup (nil for none).
  TGraphicClass SavedGraphicClass() const { return savedGraphicClass_; }
  const TuiImageEditGraphicClassEvent& OnGetGraphicClass() const { return onGetGraphicClass_; }
  void SetOnGetGraphicClass(const TuiImageEditGraphicClassEvent& Value) { onGetGraphicClass_ = Value; }

  TGraphicClass GetPictureGraphicClass(bool APastingFromClipboard = false);
  virtual void SetupPopupContent();
  virtual void DestroyPopupContent();
  // The content may edit only while this editor may.
  void PopupContentEditing(TObject* Sender, bool& CanEdit);
  void SavePopupValue();
  void AssignPopupPicture();
  void PopupImageClosePopup(TObject* Sender, Byte AReason);
  // The content changed: OK is enabled and made the default button.
  void PopupContentChanged(TObject* Sender);

  void DoEditKeyPress(char& Key) override { TuiCustomEdit::DoEditKeyPress(Key); }
  void Initialize() override;
  void PropertiesChanged(TObject* Sender) override;
  void SynchronizeDisplayValue() override;
  void SynchronizeEditValue() override {}
  TClass GetPropertiesClass() const override;
  bool ShowsInnerEdit() override { return false; }
  void GetEditingText(String& AText) override;
  bool SetEditingValue(const String& AText) override;
  void SetEditingText(const String& AText) override;
  bool CanDropDown() override { return content_ != nullptr; }
  void DoInitPopup() override;
  TControl* GetPopupFocusedControl() override;
  void CalculatePopupContentSize(TSize& ASize) override;
  void PreparePopup() override;
  void PopupWindowClosed(TObject* Sender) override;

 protected:
  void ControlFontChanged() override;
  void ControlColorChanged() override;

 private:
  // The popup shows the memo of a memo kind.
  bool PopupShowsMemo();
  TuiButton* MakeButton(const String& ACaption, TModalResult AResult);
  TuiCustomEdit* ContentOf(TClass AClass);

  Integer buttonWidth_ = 0;
  Integer buttonHeight_ = 0;
  TObjectPtr<TuiButton> cancelButton_;
  TObjectPtr<TuiButton> okButton_;
  TGraphicClass savedGraphicClass_ = nullptr;
  TObjectPtr<TuiCustomEdit> content_;
  TuiImageEditGraphicClassEvent onGetGraphicClass_;
};

class TuiBlobEdit : public TuiCustomBlobEdit {
  K58_CLASS(TuiBlobEdit, TuiCustomBlobEdit)

  explicit TuiBlobEdit(TComponent* AOwner) : TuiCustomBlobEdit(AOwner) {}
  TClass GetPropertiesClass() const override;
  TuiBlobEditProperties* Properties() const { return static_cast<TuiBlobEditProperties*>(TuiCustomEdit::Properties()); }
  void SetProperties(TuiBlobEditProperties* Value) { TuiCustomEdit::SetProperties(Value); }
  TImeName ImeNameValue() const { return ImeName(); }
};
