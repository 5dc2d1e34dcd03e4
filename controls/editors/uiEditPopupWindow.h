// The popup window of drop-down editors: a library popup with a border in one of four styles, an optional
// client edge and 3-pixel drop shadow, an optional system panel with a close button and a size grip whose
// corner follows where the popup landed next to its editor, user resizing with an outline, and keys typed
// while it opens forwarded to the focused window inside it.
//
// Threads: GUI thread only. Ownership: the editor owns its popup window; the popup reaches the editor
// through IuiEditPopupWindowOwner (found on its owner control), which may be absent (then the popup sizes
// from its own fields and never closes through an editor). Coordinates: the view info works in window
// coordinates of the popup; owner bounds come from the editor in its parent's client coordinates.
// Resizing state (one resize at a time) and the outline window are process-wide.
#pragma once

#include "controls/editors/uiEdit.h"
#include "controls/editors/uiLookupData.h"
#include "controls/foundation/uiPopupWindow.h"

// Why an editor's popup closed.
enum TuiPopupCloseReason : Byte { pcrClose, pcrTab, pcrToggle, pcrCancel, pcrAccept };

// Posted by an editor to its opening popup: WParam's low byte is a character typed meanwhile.
inline constexpr UINT PopupForwardCharMessage = 0x806B;

// What the popup window needs of the drop-down editor that owns it.
class IuiEditPopupWindowOwner {
 public:
  // The rectangle the popup opens against, in the client coordinates of the popup's owner parent.
  virtual void GetPopupOwnerBounds(TRect& R) = 0;
  // The size the popup's content needs.
  virtual void CalculatePopupContentSize(TSize& ASize) = 0;
  virtual bool IsPopupLimitedToWorkArea() = 0;
  virtual TuiLookAndFeelKind GetPopupLookAndFeelKind() = 0;
  virtual void CloseUp(TuiPopupCloseReason AReason) = 0;
  // The user gave the popup a new size: the editor remembers it for the next opening.
  virtual void PopupWindowResized() = 0;
  // Whether the user resized the popup during this showing (or before, for a size the editor keeps).
  virtual bool IsPopupResized() = 0;
  // The lookup data whose list the popup shows, or nil.
  virtual IuiTextEditLookupData* GetPopupLookupData() = 0;
  // The user's resizing gave the popup a new client rectangle (popup window coordinates).
  virtual void PopupContentResized(const TRect& /*AClientRect*/) {}

 protected:
  ~IuiEditPopupWindowOwner() = default;
};

namespace k58::editors {
// Border and client-edge widths of a popup border style (native style: 1 and 2).
Integer EditPopupBorderWidth(TuiEditPopupBorderStyle AStyle, bool ANativeStyle);
Integer EditPopupClientEdgeWidth(TuiEditPopupBorderStyle AStyle, bool ANativeStyle);
// The size-grip corner (0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right) of a popup whose origin P
// was computed against AOwner (screen coordinates) with the horizontal alignment AHorz.
Byte EditPopupGripCorner(const TPoint& P, Integer AWidth, const TRect& AOwner, const TRect& AWorkArea,
                         TuiPopupAlignment AHorz);
// The sizing cursor of edge directions.
TCursor EditPopupSizingCursor(Integer DX, Integer DY);
// The resize outline on the screen (empty when none is shown).
TRect EditPopupOutlineRect();
HWND EditPopupOutlineWindow();
}  // namespace k58::editors

class TuiCustomEditPopupWindowViewInfo : public TuiContainerViewInfo {
  K58_CLASS(TuiCustomEditPopupWindowViewInfo, TuiContainerViewInfo)

  TuiCustomEditPopupWindowViewInfo() = default;

  TuiEditPopupBorderStyle PopupBorderStyle = epbsDefault;
  bool ClientEdge = false;
  bool CloseButton = false;
  TRect CloseButtonRect{};
  TuiLookAndFeelKind CloseButtonLookAndFeelKind = lfStandard;
  Integer CloseButtonNativeState = 0;
  // 1 normal, 2 hot, 3 pressed.
  Byte CloseButtonState = 1;
  // 0 = none.
  Integer MinSysPanelHeight = 0;
  bool Sizeable = false;
  Byte SizeGripCorner = 3;
  TRect SizeGripRect{};
  TRect SizeGripSizingRect{};
  TRect SizingRegionBounds{};
  Integer SizingOffset = 0;
  Integer SysPanelHeight = 0;
  bool SysPanelStyle = false;
  // The popup edit draws its 3-D frame with a face-coloured innermost line.
  bool FaceColoredFrame3D = false;

  // Client rectangle, sizing region, grip and close button from Bounds and the settings.
  virtual void Calculate();
  // Draws the border on R and leaves R inside it.
  virtual void DrawBorder(TuiCanvas* ACanvas, TRect& R);
  // What the border, client edge, shadow and system panel take from each side.
  virtual TRect GetBorderExtent();
  virtual Integer GetSysPanelHeight();
  // Edge directions of a resize started at P (window coordinates); False where no resizing starts.
  virtual bool GetSizingHitTest(const TPoint& P, Integer& DX, Integer& DY);
  void Paint(TuiCanvas* ACanvas) override;

  Integer GetBorderWidth() const { return k58::editors::EditPopupBorderWidth(PopupBorderStyle, NativeStyle); }
  Integer GetClientEdgeWidth() const {
    return ClientEdge ? k58::editors::EditPopupClientEdgeWidth(PopupBorderStyle, NativeStyle) : 0;
  }
  // The system panel's default height: scroll bar, caption button and themed part heights.
  Integer GetDefaultSysPanelHeight();
  bool IsThemedSysPanel();
  bool IsGripAtTop() const { return SizeGripCorner < 2; }
  bool IsGripAtLeft() const { return SizeGripCorner == 0 || SizeGripCorner == 2; }

 private:
  void CalculateSizeGrip();
  void CalculateCloseButton();
  void DrawSizeGrip(TuiCanvas* ACanvas);
  void DrawCloseButton(TuiCanvas* ACanvas);
};

class TuiCustomEditPopupWindow : public TuiCustomPopupWindow {
  K58_CLASS(TuiCustomEditPopupWindow, TuiCustomPopupWindow)

  // AOwnerControl: the editor (a control); a component constructor, so descendants are made by class.
  explicit TuiCustomEditPopupWindow(TComponent* AOwnerControl = nullptr);
  ~TuiCustomEditPopupWindow() override;

  // The editor (owner control) and its popup interface (nil when it has none).
  TControl* Edit() const { return OwnerControl(); }
  IuiEditPopupWindowOwner* EditOwner() const { return dynamic_cast<IuiEditPopupWindowOwner*>(OwnerControl()); }
  TuiCustomEditPopupWindowViewInfo* ViewInfo() const {
    return static_cast<TuiCustomEditPopupWindowViewInfo*>(TuiCustomPopupWindow::ViewInfo());
  }

  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool Value) { autoSize_ = Value; }
  TuiEditPopupBorderStyle PopupBorderStyle() const { return popupBorderStyle_; }
  void SetPopupBorderStyle(TuiEditPopupBorderStyle Value);
  bool ClientEdge() const { return clientEdge_; }
  void SetClientEdge(bool Value);
  bool CloseButton() const { return closeButton_; }
  void SetCloseButton(bool Value);
  Integer MinHeight() const { return minHeight_; }
  void SetMinHeight(Integer Value) { minHeight_ = Value; }
  Integer MinWidth() const { return minWidth_; }
  void SetMinWidth(Integer Value) { minWidth_ = Value; }
  bool NativeStyle() const { return nativeStyle_; }
  void SetNativeStyle(bool Value);
  Integer PopupHeight() const { return popupHeight_; }
  void SetPopupHeight(Integer Value) { popupHeight_ = Value; }
  // 0 = as wide as the editor.
  Integer PopupWidth() const { return popupWidth_; }
  void SetPopupWidth(Integer Value) { popupWidth_ = Value; }
  bool Shadow() const { return shadow_; }
  void SetShadow(bool Value);
  bool Sizeable() const { return sizeable_; }
  void SetSizeable(bool Value);
  bool SysPanelStyle() const { return sysPanelStyle_; }
  void SetSysPanelStyle(bool Value);
  Integer MinSysPanelHeight() const;
  void SetMinSysPanelHeight(Integer Value);

  // Sends AChar as WM_CHAR to the focused window.
  virtual void ForwardChar(char AChar);
  // The control that takes the focus when a posted ShowPopupMessage shows the popup.
  void SetShowFocusedControl(TWinControl* Value) { showFocusedControl_ = Value; }
  virtual void GetMinSize(TSize& ASize);
  // The editor's popup owner bounds on the screen (the base's owner bounds without an editor).
  TRect GetOwnerScreenBounds();

  TuiContainerViewInfoClass GetViewInfoClass() override;
  bool LimitsToWorkArea() override;
  void NotifyClosed() override;
  void NotifyClosing() override;
  void CloseOnModalResult() override;
  void ComputePopupOrigin(TPoint& P) override;
  void FitToContent() override;
  bool CanResize(Integer& NewWidth, Integer& NewHeight) override;

 protected:
  void UpdateViewInfo() override;
  void Resize() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseLeft() override;
  void WndProc(TMessage& Message) override;
  // Rounds off a resize: the window takes ARect and refreshes its content.
  virtual void ApplyUserSize(const TRect& ARect);

 private:
  void UpdateWindowRegion();
  void SetCloseButtonState(Byte AState);
  void ShowSizingCursor(Integer DX, Integer DY);
  void SizeTo(Integer X, Integer Y);

  bool autoSize_ = true;
  TuiEditPopupBorderStyle popupBorderStyle_ = epbsDefault;
  bool clientEdge_ = false;
  bool closeButton_ = false;
  Integer minHeight_ = 0;
  Integer minWidth_ = 0;
  bool nativeStyle_ = false;
  Integer popupHeight_ = 0;
  Integer popupWidth_ = 0;
  bool shadow_ = false;
  bool sizeable_ = false;
  bool sysPanelStyle_ = false;
  TWinControl* showFocusedControl_ = nullptr;
};
