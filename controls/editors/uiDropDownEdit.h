// The drop-down editor, base of every editor with a popup (combo box, popup edit): the masked editor with a
// drop-down button, one popup window per editor, when the popup opens and closes and what closing does to
// the value, the lookup list inside the popup, and the look-and-feel of the controls in the popup.
//
// Threads: GUI thread only.
// Ownership: the editor owns its popup window (made once, outside design state) and the popup's
// look-and-feel; the lookup list lives in the popup window.
// Opening is deferred: DroppedDown := True posts ShowPopupMessage to the popup window, which shows itself
// when it handles it, so two requests in one message cycle open once. Closing goes through CloseUp, whose
// reason decides whether the list's selection becomes the value.
#pragma once

#include "controls/editors/uiEditPopupWindow.h"
#include "controls/editors/uiMaskEdit.h"

class TuiCustomDropDownEdit;

// Posted by the editor to itself after a paste changed its text while the popup shows.
inline constexpr UINT DropDownLookupSyncMessage = 0x806C;

class TuiCustomDropDownEditProperties : public TuiCustomMaskEditProperties {
  K58_CLASS(TuiCustomDropDownEditProperties, TuiCustomMaskEditProperties)

  TuiCustomDropDownEditProperties();

  void Assign(TPersistent* Source) override;
  void Changed() override;

  // The glyph of the drop-down button (nil without that button); a non-empty glyph makes it bkGlyph.
  TBitmap* ButtonGlyph() const;
  void SetButtonGlyph(TBitmap* Value);
  bool IsButtonGlyphStored() const;
  Integer DropDownButtonIndex() const { return dropDownButtonIndex_; }
  void SetDropDownButtonIndex(Integer Value);
  bool ImmediateDropDown() const { return immediateDropDown_; }
  void SetImmediateDropDown(bool Value) { immediateDropDown_ = Value; }
  bool ImmediatePopup() const { return immediatePopup_; }
  void SetImmediatePopup(bool Value) { immediatePopup_ = Value; }
  bool PressedButtonWhenOpen() const { return pressedButton_; }
  void SetPressedButtonWhenOpen(bool Value);
  TAlignment PopupAlignment() const;
  void SetPopupAlignment(TAlignment Value);
  bool PopupAutoSize() const { return popupAutoSize_; }
  void SetPopupAutoSize(bool Value) { popupAutoSize_ = Value; }
  bool PopupClientEdge() const { return popupClientEdge_; }
  void SetPopupClientEdge(bool Value);
  TuiPopupDirection PopupDirection() const { return popupDirection_; }
  void SetPopupDirection(TuiPopupDirection Value) { popupDirection_ = Value; }
  Integer PopupHeight() const { return popupHeight_; }
  void SetPopupHeight(Integer Value);
  TuiPopupAlignment PopupHorzAlignment() const { return popupHorzAlignment_; }
  Integer PopupMinHeight() const { return popupMinHeight_; }
  void SetPopupMinHeight(Integer Value);
  Integer PopupMinWidth() const { return popupMinWidth_; }
  void SetPopupMinWidth(Integer Value);
  bool PopupSizeable() const { return popupSizeable_; }
  void SetPopupSizeable(bool Value);
  bool PopupSysPanelStyle() const { return popupSysPanelStyle_; }
  void SetPopupSysPanelStyle(bool Value);
  TuiPopupAlignment PopupVertAlignment() const { return popupVertAlignment_; }
  void SetPopupVertAlignment(TuiPopupAlignment Value) { popupVertAlignment_ = Value; }
  // 0: as wide as the editor.
  Integer PopupWidth() const { return popupWidth_; }
  void SetPopupWidth(Integer Value);
  bool PostPopupValueOnTab() const { return postPopupValueOnTab_; }
  void SetPostPopupValueOnTab(bool Value) { postPopupValueOnTab_ = Value; }

  const TCloseQueryEvent& OnCloseQuery() const { return onCloseQuery_; }
  void SetOnCloseQuery(const TCloseQueryEvent& Value) { onCloseQuery_ = Value; }
  const TNotifyEvent& OnCloseUp() const { return onCloseUp_; }
  void SetOnCloseUp(const TNotifyEvent& Value) { onCloseUp_ = Value; }
  const TNotifyEvent& OnInitPopup() const { return onInitPopup_; }
  void SetOnInitPopup(const TNotifyEvent& Value) { onInitPopup_ = Value; }
  const TNotifyEvent& OnPopup() const { return onPopup_; }
  void SetOnPopup(const TNotifyEvent& Value) { onPopup_ = Value; }

  virtual Integer GetDefaultDropDownButtonIndex() { return 0; }
  // A left click in the text area opens the popup.
  virtual bool OpensPopupOnClick() { return false; }
  // Closing posts the value with ImmediatePost (editors whose popup edits the value).
  virtual bool IsPopupValueEditor() { return false; }
  virtual TClass GetPopupWindowClass() const;
  virtual bool IsPopupLimitedToWorkArea() { return true; }
  // The popup takes the keyboard focus.
  virtual bool IsPopupFocused() { return false; }

  TClass GetEditClass() const override;
  TClass GetViewDataClass() const override;
  bool ShowsLookupListInPopup() override { return true; }

 private:
  void CorrectDropDownButtonKind();

  Integer dropDownButtonIndex_ = 0;
  bool immediateDropDown_ = true;
  bool immediatePopup_ = false;
  bool pressedButton_ = false;
  bool popupAutoSize_ = true;
  bool popupClientEdge_ = false;
  TuiPopupDirection popupDirection_ = pdVertical;
  Integer popupHeight_ = 0;
  TuiPopupAlignment popupHorzAlignment_ = palBefore;
  Integer popupMinHeight_ = 0;
  Integer popupMinWidth_ = 0;
  bool popupSizeable_ = false;
  bool popupSysPanelStyle_ = false;
  TuiPopupAlignment popupVertAlignment_ = palAfter;
  Integer popupWidth_ = 0;
  bool postPopupValueOnTab_ = false;
  bool changing_ = false;
  TCloseQueryEvent onCloseQuery_;
  TNotifyEvent onCloseUp_;
  TNotifyEvent onInitPopup_;
  TNotifyEvent onPopup_;
};

// The edit data of in-place use: the popup size the user gave, kept between activations.
class TuiCustomDropDownEditData : public TuiCustomEditData {
  K58_CLASS(TuiCustomDropDownEditData, TuiCustomEditData)

  explicit TuiCustomDropDownEditData(TuiCustomEdit* AEdit) : TuiCustomEditData(AEdit) {}
  bool SizeKept = false;
  Integer PopupWidth = 0;
  Integer PopupHeight = 0;
};

// The look-and-feel of the controls in the popup: the kind follows the editor's buttons (in-place: the
// editor style's kind), the native style the editor's.
class TuiEditPopupControlLookAndFeel : public TuiLookAndFeel {
  K58_CLASS(TuiEditPopupControlLookAndFeel, TuiLookAndFeel)

  explicit TuiEditPopupControlLookAndFeel(TuiCustomDropDownEdit* AEdit);
  // Takes the editor's values; listeners hear of the changed ones.
  void Refresh();
  // The kind of a button painting style.
  static TuiLookAndFeelKind KindOfButtonStyle(TuiEditButtonStyle AStyle);

 private:
  TuiCustomDropDownEdit* edit_;
};

// Shows no hint while the popup is open.
class TuiCustomDropDownInnerEdit : public TuiCustomInnerTextEdit {
  K58_CLASS(TuiCustomDropDownInnerEdit, TuiCustomInnerTextEdit)

  explicit TuiCustomDropDownInnerEdit(TComponent* AOwner) : TuiCustomInnerTextEdit(AOwner) {}

 protected:
  void WndProc(TMessage& Message) override;
};

class TuiCustomDropDownEditViewData : public TuiCustomTextEditViewData {
  K58_CLASS(TuiCustomDropDownEditViewData, TuiCustomTextEditViewData)

  TuiCustomDropDownEditViewData() = default;

  void Calculate(TuiCanvas* ACanvas, const TRect& ABounds, const TPoint& P, Byte AButton, TShiftState AShift,
                 TuiCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  bool IsButtonPressedByEditor(TuiCustomEditViewInfo* AViewInfo, Integer AIndex) override;

  // Filled by the editor.
  bool PopupShown = false;
  bool HotPopup = false;
};

class TuiCustomDropDownEdit : public TuiCustomMaskEdit, public IuiEditPopupWindowOwner {
  K58_CLASS(TuiCustomDropDownEdit, TuiCustomMaskEdit)

  explicit TuiCustomDropDownEdit(TComponent* AOwner);
  ~TuiCustomDropDownEdit() override;
  void BeforeDestruction() override;

  TuiCustomDropDownEditProperties* ActiveProperties() {
    return static_cast<TuiCustomDropDownEditProperties*>(TuiCustomEdit::ActiveProperties());
  }
  TuiCustomDropDownEditProperties* Properties() const {
    return static_cast<TuiCustomDropDownEditProperties*>(TuiCustomEdit::Properties());
  }
  void SetProperties(TuiCustomDropDownEditProperties* Value) { TuiCustomEdit::SetProperties(Value); }
  TuiCustomEditPopupWindow* PopupWindow() const { return popupWindow_.get(); }
  TuiEditPopupControlLookAndFeel* PopupControlsLookAndFeel() const { return popupLookAndFeel_.get(); }
  TuiPopupCloseReason CloseReason() const { return closeReason_; }
  bool IsHotPopup() const { return hotPopup_; }
  // The combo box's flag: the list ignores its next mouse move.
  bool IgnoreNextListMove() const { return ignoreNextListMove_; }
  void SetIgnoreNextListMove(bool Value) { ignoreNextListMove_ = Value; }

  bool DroppedDown();
  void SetDroppedDown(bool Value);
  // A show request (ShowPopupMessage) waits in the popup window's queue.
  bool IsPopupShowPending();

  // ---- New virtual operations ----
  virtual bool CanDropDown() { return false; }
  virtual void CreatePopupWindow();
  virtual void DoInitPopup();
  virtual void DoPopup();
  virtual void DropDown();
  virtual void PopupHook() {}
  virtual TControl* GetPopupFocusedControl();
  virtual void AttachLookupListToPopup();
  virtual void SetupPopupWindow();
  virtual void PopupLookAndFeelChanged() {}
  virtual void PositionPopupContent(const TRect& AClientRect);
  virtual void PreparePopup();
  // Popup window events.
  virtual void PopupWindowCloseQuery(TObject* Sender, bool& CanClose);
  virtual void PopupWindowClosed(TObject* Sender);
  virtual void PopupWindowShowed(TObject* Sender);

  // ---- IuiEditPopupWindowOwner ----
  void GetPopupOwnerBounds(TRect& R) override;
  // Every descendant gives the size its content needs (none here).
  void CalculatePopupContentSize(TSize& ASize) override;
  bool IsPopupLimitedToWorkArea() override { return ActiveProperties()->IsPopupLimitedToWorkArea(); }
  TuiLookAndFeelKind GetPopupLookAndFeelKind() override;
  void CloseUp(TuiPopupCloseReason AReason) override;
  void PopupWindowResized() override { resized_ = true; }
  bool IsPopupResized() override { return resized_; }
  IuiTextEditLookupData* GetPopupLookupData() override;
  void PopupContentResized(const TRect& AClientRect) override { PositionPopupContent(AClientRect); }

  // ---- Overrides ----
  TClass GetPropertiesClass() const override;
  bool HasPopupWindow() override;
  bool HasPopupWindow() const override { return const_cast<TuiCustomDropDownEdit*>(this)->HasPopupWindow(); }
  bool IsFocused() override;
  void DoEditKeyDown(Word& Key, TShiftState Shift) override;
  void DoEditKeyPress(char& Key) override;
  void Activate(TuiCustomEditData*& AEditData) override;
  void ActivateByKey(char AKey, TuiCustomEditData*& AEditData) override;
  void ActivateByMouse(TShiftState Shift, Integer X, Integer Y, TuiCustomEditData*& AEditData) override;
  bool Deactivate() override;
  bool IsKeyForEditor(char AKey) override;
  bool IsClickKey(Word Key, TShiftState Shift) override;
  void BeforeTabNavigation(TShiftState Shift) override;
  void DoButtonDown(Integer AButtonIndex) override;
  void ClearEditData() override;
  TuiCustomEditData* CreateEditData() override { return new TuiCustomDropDownEditData(this); }
  IuiCustomInnerEdit* CreateInnerEdit() override;
  TuiContainerStyleValues GetUnusedStyleValues() override { return {}; }
  void Initialize() override;
  void PropertiesChanged(TObject* Sender) override;
  void PasteFromClipboard() override;
  bool CanUseLookupList(bool AForMouseWheel) override;
  bool DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) override;
  bool RefreshAtPoint(const TPoint& P, Byte AButton, TShiftState AShift, bool AIsMouseEvent) override;
  void StyleChanged(TObject* Sender) override;
  TuiCustomEditViewData* CreateViewData() override;

 protected:
  void FocusStateChanged() override;
  void DoExit() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void WndProc(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void SetCloseReason(TuiPopupCloseReason AReason) { closeReason_ = AReason; }
  // The lookup data's list in the popup follows the text after a paste.
  void SynchronizeLookupAfterPaste();
  // A pending show request is withdrawn (as if the popup had opened and closed).
  void WithdrawPendingShow();

 private:
  bool mouseActivation_ = false;
  bool hotPopup_ = false;
  TObjectPtr<TuiEditPopupControlLookAndFeel> popupLookAndFeel_;
  bool ignoreNextListMove_ = false;
  bool rememberSize_ = false;
  bool resized_ = false;
  bool initialized_ = false;
  TuiPopupCloseReason closeReason_ = pcrClose;
  TObjectPtr<TuiCustomEditPopupWindow> popupWindow_;
};
