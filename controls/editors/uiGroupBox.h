// The group box (a container editor with a frame and a caption at one of thirteen places, captions on the
// sides drawn turned) and the button group (a group box with one child button per item, in columns).
//
// Threads: GUI thread only.
// Ownership: the group box owns its caption font; the view info owns nothing. A button group's item
// buttons are components of the group and children of it; the group frees them with its items or itself.
// Coordinates: rectangles of the view data and view info are in the control's client coordinates.
// Re-entrancy: item notifications run the properties' change notification, which creates or frees one
// button; handlers of the buttons' events reach the group's events (OnMouseDown, OnKeyDown, ...).
#pragma once

#include <vector>

#include "controls/editors/uiEdit.h"

enum TuiCaptionAlignment {
  alTopLeft, alTopCenter, alTopRight, alBottomLeft, alBottomCenter, alBottomRight, alLeftTop, alLeftCenter,
  alLeftBottom, alRightTop, alRightCenter, alRightBottom, alCenterCenter
};
K58_ENUM_TYPE(TuiCaptionAlignment, alTopLeft, alTopCenter, alTopRight, alBottomLeft, alBottomCenter, alBottomRight,
              alLeftTop, alLeftCenter, alLeftBottom, alRightTop, alRightCenter, alRightBottom, alCenterCenter)

// The side of the box a caption alignment puts the caption on.
enum TuiCaptionSide { csTop, csBottom, csLeft, csRight, csCenter };
TuiCaptionSide CaptionSideOf(TuiCaptionAlignment AAlignment);
inline bool IsVerticalCaption(TuiCaptionAlignment AAlignment) {
  return AAlignment >= alLeftTop && AAlignment <= alRightBottom;
}

// The caption rectangle of a box W x H: L is the caption's extent along its baseline, T its height,
// AShadow whether the frame has a shadow.
TRect CalculateGroupBoxCaptionRect(TuiCaptionAlignment AAlignment, Integer W, Integer H, Integer L, Integer T,
                                   bool AShadow);

class TuiCustomGroupBox;

class TuiCustomGroupBoxProperties : public TuiCustomEditProperties {
  K58_CLASS(TuiCustomGroupBoxProperties, TuiCustomEditProperties)

  TuiCustomGroupBoxProperties() = default;
  TClass GetViewDataClass() const override;
  TClass GetEditClass() const override;
  TClass GetViewInfoClass() const override;
  TuiCustomEditViewData* CreateViewData(TuiEditStyle* AStyle, bool AIsInplace, bool ALockedState) override;
};

class TuiGroupBoxViewInfo : public TuiCustomEditViewInfo {
  K58_CLASS(TuiGroupBoxViewInfo, TuiCustomEditViewInfo)

  TuiGroupBoxViewInfo() = default;
  void Paint(TuiCanvas* ACanvas) override;
  void OffsetRects(Integer DX, Integer DY) override;

  TRect CaptionRect{};
  TuiCustomGroupBox* EditControl = nullptr;
  bool IsDesign = false;
  String Caption;
  TuiCaptionAlignment Alignment = alTopLeft;
  TFont* CaptionFont = nullptr;
  // Height of "Qq" in the caption font.
  Integer CaptionHeight = 0;
  bool Transparent = false;

 protected:
  void DrawFrame(TuiCanvas* ACanvas, bool AClearBrush);
  void DrawCaption(TuiCanvas* ACanvas);
};

class TuiGroupBoxViewData : public TuiCustomEditViewData {
  K58_CLASS(TuiGroupBoxViewData, TuiCustomEditViewData)

  using TuiCustomEditViewData::TuiCustomEditViewData;
  void Calculate(TuiCanvas* ACanvas, const TRect& ABounds, const TPoint& P, Byte AButton, TShiftState AShift,
                 TuiCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  TColor GetBorderColor() override;
  void GetBorderExtent(TRect& R) override;
  void CalculateClientRect(TuiCanvas* ACanvas, TuiCustomEditViewInfo* AViewInfo, TRect& R) override;
  bool HasShadow() override;
  void GetEditConstantPartSize(TuiCanvas* ACanvas, const TSize& AEditSizeProperties, TSize& AMinContentSize,
                               TSize& AConstantPartSize, TuiCustomEditViewInfo* AViewInfo = nullptr) override;
  // The group box of the view data, or nil (in place).
  TuiCustomGroupBox* GroupBox() const;
  // Height of "Qq" in the caption font (0 without a group box).
  Integer CaptionHeight() const;
};

class TuiCustomGroupBox : public TuiCustomEdit {
  K58_CLASS(TuiCustomGroupBox, TuiCustomEdit)

  explicit TuiCustomGroupBox(TComponent* AOwner);
  ~TuiCustomGroupBox() override;

  TuiCaptionAlignment Alignment() const { return alignment_; }
  void SetAlignment(TuiCaptionAlignment Value);
  TColor CaptionBkColor() const { return captionBkColor_; }
  void SetCaptionBkColor(TColor Value) { captionBkColor_ = Value; }
  String Caption() { return Text(); }
  void SetCaption(const String& Value) { SetText(Value); }
  TColor StyleColor() const { return Style()->Color(); }
  void SetStyleColor(TColor Value) { Style()->SetColor(Value); }
  TFont* StyleFont() const { return Style()->GetVisibleFont(); }
  void SetStyleFont(TFont* Value) { Style()->SetFont(Value); }
  TFont* CaptionFont() const { return captionFont_.get(); }
  // The caption as drawn: accelerator marks removed on the sides.
  const String& DisplayCaption() const { return displayCaption_; }
  bool IsSelectingFirst() const { return selectingFirst_; }
  TuiGroupBoxViewInfo* GroupViewInfo() const { return static_cast<TuiGroupBoxViewInfo*>(EditViewInfo()); }

  // The child-area margins (left, top, right, bottom).
  TRect GetChildMargins();

  void Initialize() override;
  void AdjustClientRect(TRect& Rect) override;
  void GetShapeRect(TRect& R) override;
  bool NeedsParentBackground() override;
  bool IsDefaultParentColor() override { return true; }
  // A click on the frame leaves the focus where it is.
  bool TakesFocusOnClick() override { return false; }
  void AdjustInnerControlBounds() override {}
  TClass GetPropertiesClass() const override;
  void StyleChanged(TObject* Sender) override;
  // Rebuilds the caption font from the active style (turned for the side captions).
  void BuildCaptionFont();

 protected:
  void WndProc(TMessage& Message) override;
  void UpdateDisplayCaption();

 private:
  TuiCaptionAlignment alignment_ = alTopLeft;
  TColor captionBkColor_ = clBtnFace;
  TObjectPtr<TFont> captionFont_;
  bool selectingFirst_ = false;
  String displayCaption_;
};

class TuiGroupBox : public TuiCustomGroupBox {
  K58_CLASS(TuiGroupBox, TuiCustomGroupBox)
  explicit TuiGroupBox(TComponent* AOwner) : TuiCustomGroupBox(AOwner) {}
};

// ---- Button group -------------------------------------------------------------------------------------

enum TuiButtonGroupNotification { bgnAdded, bgnDeleted, bgnChanged };

class TuiButtonGroupItems;

class TuiButtonGroupItem : public TCollectionItem {
  K58_CLASS(TuiButtonGroupItem, TCollectionItem)

  explicit TuiButtonGroupItem(TCollection* ACollection);
  ~TuiButtonGroupItem() override;
  void Assign(TPersistent* Source) override;

  const String& Caption() const { return caption_; }
  void SetCaption(const String& Value);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool Value);
  Integer Tag() const { return tag_; }
  void SetTag(Integer Value) { tag_ = Value; }

 protected:
  void Notify(TuiButtonGroupNotification AKind);
  // Notifies "added" when AConstructedClass is the collection's item class (called by each constructor).
  void NotifyAddedWhenComplete(TClass AConstructedClass);

 private:
  String caption_;
  bool enabled_ = true;
  Integer tag_ = 0;
};

// The item captions as a list, for the filter helpers.
class IuiItemCaptionList {
 public:
  virtual Integer GetItemCount() = 0;
  virtual String GetItemCaption(Integer AIndex) = 0;

 protected:
  ~IuiItemCaptionList() = default;
};

class TuiButtonGroupItems : public TOwnedCollection, public IuiItemCaptionList {
  K58_CLASS(TuiButtonGroupItems, TOwnedCollection)

  TuiButtonGroupItems(TPersistent* AOwner, TClass AItemClass) : TOwnedCollection(AOwner, AItemClass) {}
  TuiButtonGroupItem* Items(Integer Index) const { return static_cast<TuiButtonGroupItem*>(GetItem(Index)); }
  TuiButtonGroupItem* Add() { return static_cast<TuiButtonGroupItem*>(TCollection::Add()); }

  Integer GetItemCount() override { return Count(); }
  String GetItemCaption(Integer AIndex) override { return Items(AIndex)->Caption(); }

  // The notification running now (Running is set only while it runs).
  struct TNotification {
    Integer Index = -1;
    TuiButtonGroupNotification Kind = bgnChanged;
    bool Running = false;
  } Notification;
  void NotifyItem(Integer AIndex, TuiButtonGroupNotification AKind);

 protected:
  void Update(TCollectionItem* Item) override;
};

// Layout numbers of the item buttons, supplied by the kind of button group.
struct TuiButtonGroupButtonMetrics {
  Integer WrapGap = 0;
  Integer WrapWidthCorrection = 0;
  Integer ImageAllowance = 0;
  Integer LeftMargin = 0;
  Integer LeftOffset = 0;
  Integer ExtraWidth = 0;
  Integer ColumnSpacing = 0;
  Integer ImageWidth = 0;
  Integer ImageHeight = 0;
};

class TuiCustomButtonGroupProperties : public TuiCustomGroupBoxProperties {
  K58_CLASS(TuiCustomButtonGroupProperties, TuiCustomGroupBoxProperties)

  TuiCustomButtonGroupProperties();
  ~TuiCustomButtonGroupProperties() override;
  void Assign(TPersistent* Source) override;

  Integer Columns() const { return columns_; }
  void SetColumns(Integer Value);
  TuiButtonGroupItems* Items() const { return items_; }
  void SetItems(TuiButtonGroupItems* Value) { items_->Assign(Value); }
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool Value);

  // The columns really used: none stays empty.
  virtual Integer GetColumnCount();
  Integer GetRowCount();
  virtual TuiButtonGroupItems* CreateItems();

  TClass GetViewDataClass() const override;
  TClass GetEditClass() const override;
  TClass GetViewInfoClass() const override;
  TuiCustomEditProperties* CreateOfSameClass() override;
  Word GetEditCapabilities() override { return items_->Count() == 0 ? 0x88F : 0x8AF; }

 protected:
  // Descendants with their own items class call it from their constructor.
  void RecreateItems();

 private:
  Integer columns_ = 1;
  TuiButtonGroupItems* items_ = nullptr;
  bool wordWrap_ = false;
};

class TuiButtonGroupViewInfo : public TuiGroupBoxViewInfo {
  K58_CLASS(TuiButtonGroupViewInfo, TuiGroupBoxViewInfo)
  TuiButtonGroupViewInfo() = default;
  TRect EmptyRect{};
  TuiCanvasTextFlags CaptionTextFlags = 0;
};

class TuiButtonGroupViewData : public TuiGroupBoxViewData {
  K58_CLASS(TuiButtonGroupViewData, TuiGroupBoxViewData)

  using TuiGroupBoxViewData::TuiGroupBoxViewData;
  TuiCustomButtonGroupProperties* GroupProperties() const {
    return static_cast<TuiCustomButtonGroupProperties*>(Properties);
  }
  void Calculate(TuiCanvas* ACanvas, const TRect& ABounds, const TPoint& P, Byte AButton, TShiftState AShift,
                 TuiCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  void CalculateButtonsViewInfo(TuiCanvas* ACanvas, const TRect& ABounds, TuiCustomEditViewInfo* AViewInfo,
                                Byte AButton, TShiftState AShift, const TPoint& P, bool AIsMouseEvent) override;
  void GetEditConstantPartSize(TuiCanvas* ACanvas, const TSize& AEditSizeProperties, TSize& AMinContentSize,
                               TSize& AConstantPartSize, TuiCustomEditViewInfo* AViewInfo = nullptr) override;
  virtual void CalculateButtonPositions(TuiCanvas* ACanvas, TuiCustomEditViewInfo* AViewInfo);
  virtual void CalculateButtonViewInfos(TuiCustomEditViewInfo* AViewInfo);
  virtual TuiCanvasTextFlags GetDrawTextFlags();
  // Without a canvas only the left offset, extra width and column spacing are filled.
  virtual void GetButtonMetrics(TuiCanvas* ACanvas, TuiButtonGroupButtonMetrics& AMetrics) = 0;
  virtual TRect GetFocusRect() { return TRect{}; }
  virtual void SetupButtonViewInfo(TuiCustomEditViewInfo* AViewInfo, Integer AIndex) = 0;
  bool IsButtonNativeStyle();

  // Set once the content was measured with a width limit (captions then wrap).
  bool MeasuredWithLimit = false;
};

class TuiCustomButtonGroup : public TuiCustomGroupBox {
  K58_CLASS(TuiCustomButtonGroup, TuiCustomGroupBox)

  explicit TuiCustomButtonGroup(TComponent* AOwner);
  ~TuiCustomButtonGroup() override;

  TuiCustomButtonGroupProperties* GroupProperties() const {
    return static_cast<TuiCustomButtonGroupProperties*>(TuiCustomEdit::Properties());
  }
  TuiCustomButtonGroupProperties* ActiveGroupProperties() {
    return static_cast<TuiCustomButtonGroupProperties*>(ActiveProperties());
  }
  Integer ButtonCount() const { return static_cast<Integer>(buttons_.size()); }
  TWinControl* Buttons(Integer AIndex) const { return buttons_[static_cast<size_t>(AIndex)]; }
  Integer IndexOfButton(TWinControl* AButton) const;
  // The button that has the focus, or -1.
  Integer FocusedButtonIndex() const;

  virtual void SetButtonsBounds();
  virtual TWinControl* CreateButton() = 0;
  virtual void InitButton(TWinControl* AButton);
  virtual void SyncButtonCount(Integer ACount);
  virtual void UpdateButtonsStyle();
  virtual void UpdateButtons();
  virtual bool IsButtonCanvasHandle(HDC) { return false; }

  void Initialize() override;
  void PropertiesChanged(TObject* Sender) override;
  void DoEditKeyDown(Word& Key, TShiftState Shift) override;
  bool RefreshAtPoint(const TPoint& P, Byte AButton, TShiftState AShift, bool AIsMouseEvent) override;
  void StyleChanged(TObject* Sender) override;
  void GetTabOrderList(std::vector<TWinControl*>& List) override;
  TClass GetPropertiesClass() const override;
  bool IsMouseDownFromButton() const { return mouseDownFromButton_; }

 protected:
  void Loaded() override;
  void CreateWnd() override;
  void WndProc(TMessage& Message) override;
  void AddButtonToList(TWinControl* AButton) { buttons_.push_back(AButton); }
  void RemoveButtonFromList(TWinControl* AButton);

 private:
  std::vector<TWinControl*> buttons_;
  bool mouseDownFromButton_ = false;
  bool destroyingButtons_ = false;
};

namespace k58::editors {
void StartGroupBoxUnit();
void StopGroupBoxUnit();
}  // namespace k58::editors
