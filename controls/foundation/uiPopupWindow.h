// Popup windows: where a popup of a given size goes next to an owner rectangle, preferring the side
// with more room on the monitor nearest to it and kept inside that monitor's work area; the borderless
// stay-on-top form that places itself there, sizes itself to its children and draws a frame; and the
// popup of library controls with an owner control, a container look, and the process-wide list of shown
// popups that three thread hooks close on outside clicks, activation changes and owner-form changes.
//
// Focus-taking popups are owned popup windows that take the focus and run their own message loop while
// shown (PopupForControl returns when they close); non-activating popups are parentless child-style tool
// windows that never become active, so the owner keeps the focus. A popup leaves the shown list before
// its closing notifications run, so closing it again from them does nothing. GUI thread only.
#pragma once

#include <memory>
#include <vector>

#include "controls/foundation/uiContainer.h"
#include "platform/forms/Forms.h"

// Which side of the owner rectangle a popup opens on.
enum TuiPopupDirection : Byte { pdHorizontal, pdVertical };
// Alignment along an axis: before (left or above), centred, after (right or below).
enum TuiPopupAlignment : Byte { palBefore, palCenter, palAfter };

namespace k58::foundation {

// The placement request: the owner rectangle in screen coordinates and the popup's size.
struct TuiPopupPlacement {
  TRect OwnerRect{};
  Integer Width = 0;
  Integer Height = 0;
  TuiPopupDirection Direction = pdVertical;
  TuiPopupAlignment HorzAlignment = palBefore;
  TuiPopupAlignment VertAlignment = palAfter;
};

// The popup's top-left corner in screen coordinates. Vertically placed popups open below or above the
// owner (beside it when horizontal), flipping to the other side when they do not fit and that side has
// more room; the result is then clamped to the work area across the opening direction.
TPoint ComputePopupOrigin(const TuiPopupPlacement& APlacement);
// The work area of the monitor nearest to a screen point.
TRect WorkAreaNear(const TPoint& P);

}  // namespace k58::foundation

// 0 none, 1 single line, 2 raised, 3 double raised.
using TuiPopupBorderStyle = Byte;

class TuiPopupWindow : public TForm {
  K58_CLASS(TuiPopupWindow, TForm)

  // A form without owner or resource, hidden until Popup.
  explicit TuiPopupWindow(TComponent* AOwner = nullptr);
  ~TuiPopupWindow() override;

  bool Adjustable() const { return adjustable_; }
  void SetAdjustable(bool Value) { adjustable_ = Value; }
  TuiPopupAlignment AlignHorz() const { return alignHorz_; }
  void SetAlignHorz(TuiPopupAlignment Value) { alignHorz_ = Value; }
  TuiPopupAlignment AlignVert() const { return alignVert_; }
  void SetAlignVert(TuiPopupAlignment Value) { alignVert_ = Value; }
  Integer BorderSpace() const { return borderSpace_; }
  void SetBorderSpace(Integer Value) { borderSpace_ = Value; }
  TuiPopupBorderStyle PopupBorderStyle() const { return popupBorderStyle_; }
  // The children first move back by the current border offsets.
  void SetPopupBorderStyle(TuiPopupBorderStyle Value);
  TuiPopupDirection Direction() const { return direction_; }
  void SetDirection(TuiPopupDirection Value) { direction_ = Value; }
  TColor FrameColor() const { return frameColor_; }
  void SetFrameColor(TColor Value) { frameColor_ = Value; }
  // The owner's rectangle in the client coordinates of the owner parent.
  const TRect& OwnerBounds() const { return ownerBounds_; }
  void SetOwnerBounds(const TRect& Value) { ownerBounds_ = Value; }
  TControl* OwnerParent() const { return ownerParent_; }
  void SetOwnerParent(TControl* Value) { ownerParent_ = Value; }
  TuiCanvas* PopupCanvas() const { return canvas_.get(); }

  // The origin next to the owner rectangle (screen coordinates).
  virtual void ComputePopupOrigin(TPoint& P);
  // Moves the children inside the frame and sizes the window around them (when adjustable).
  virtual void FitToContent();
  virtual Integer BorderOffset(TuiBorder ASide) { return BorderWidthFor(ASide) + borderSpace_; }
  virtual Integer BorderWidthFor(TuiBorder ASide);
  virtual void InheritOwnerFont();
  virtual void DrawPopupFrame();
  virtual void ClosePopup() { Hide(); }
  virtual void Popup();

 protected:
  void Paint() override;
  void Deactivate() override;
  void WndProc(TMessage& Message) override;
  // Called after the visibility changed.
  virtual void VisibleChanged() {}

 private:
  HWND previousActiveWindow_ = nullptr;
  bool adjustable_ = true;
  TuiPopupAlignment alignHorz_ = palBefore;
  TuiPopupAlignment alignVert_ = palAfter;
  Integer borderSpace_ = 0;
  TuiPopupBorderStyle popupBorderStyle_ = 0;
  std::unique_ptr<TuiCanvas> canvas_;
  TuiPopupDirection direction_ = pdVertical;
  TColor frameColor_ = clWindowText;
  TRect ownerBounds_{};
  TControl* ownerParent_ = nullptr;
};

// Popup messages: close through the message queue; show again for the remembered focused control.
inline constexpr UINT ClosePopupMessage = 0x8065;
inline constexpr UINT ShowPopupMessage = 0x8066;

using TuiContainerViewInfoClass = TuiContainerViewInfo* (*)();

class TuiCustomPopupWindow : public TuiPopupWindow {
  K58_CLASS(TuiCustomPopupWindow, TuiPopupWindow)

  explicit TuiCustomPopupWindow(TControl* AOwnerControl = nullptr);
  ~TuiCustomPopupWindow() override;
  void AfterConstruction() override;

  // Whether a form is a shown popup.
  static bool IsPopupShown(TCustomForm* AForm);
  bool IsShown() { return IsPopupShown(this); }
  void PostCloseMessage();
  // Shows the popup beside its owner; for a focus-taking popup with the modal loop, returns once it has
  // closed. Answers the list position (from 1) when it was shown already, else 0.
  virtual Integer PopupForControl(TWinControl* AFocusedControl);
  // Leaves the shown list, tells OnClosing, hides, tells OnClosed; nothing for a popup not shown.
  void ClosePopup() override;
  virtual void AdjustBoundsToWorkArea(TPoint& P);
  virtual bool LimitsToWorkArea() { return false; }
  virtual void NotifyClosed() { onClosed_(this); }
  virtual void NotifyClosing() { onClosing_(this); }
  virtual void NotifyShowed() { onShowed_(this); }
  virtual bool ErasesBackground() { return false; }
  virtual void CloseOnModalResult() { ClosePopup(); }
  virtual void StyleChanged() {}
  // Page Up/Down, End, Home, the arrows and F4: keys that reach the owner with Alt held.
  virtual bool IsPopupNavigationKey(Word AKey) { return (AKey >= 33 && AKey <= 40) || AKey == 115; }
  virtual TuiContainerStyleClass GetStyleClass() { return StyleClassOf<TuiContainerStyle>(); }
  virtual TuiContainerViewInfoClass GetViewInfoClass();
  // True for a shown focus-taking popup holding the focus (in itself or inside).
  bool IsPopupFocused();
  bool CanFocus() override { return Visible(); }

  bool TakeFocus() const { return takeFocus_; }
  void SetTakeFocus(bool Value);
  bool Topmost() const { return topmost_; }
  void SetTopmost(bool Value);
  bool ModalLoop() const { return modalLoop_; }
  void SetModalLoop(bool Value) { modalLoop_ = Value; }
  TControl* OwnerControl() const { return ownerControl_; }
  void SetOwnerControl(TControl* Value) { ownerControl_ = Value; }
  TWinControl* FocusedControl() const { return focusedControl_; }
  bool ClosedByOwnerClick() const { return closedByOwnerClick_; }
  void SetClosedByOwnerClick(bool Value) { closedByOwnerClick_ = Value; }
  bool ClosingByMessage() const { return closingByMessage_; }
  void SetClosingByMessage(bool Value) { closingByMessage_ = Value; }
  TuiContainerStyle* Style() const { return style_.get(); }
  TuiContainerViewInfo* ViewInfo() const { return viewInfo_.get(); }

  const TNotifyEvent& OnClosed() const { return onClosed_; }
  void SetOnClosed(const TNotifyEvent& Value) { onClosed_ = Value; }
  const TNotifyEvent& OnClosing() const { return onClosing_; }
  void SetOnClosing(const TNotifyEvent& Value) { onClosing_ = Value; }
  const TNotifyEvent& OnShowed() const { return onShowed_; }
  void SetOnShowed(const TNotifyEvent& Value) { onShowed_ = Value; }
  const TNotifyEvent& OnShowing() const { return onShowing_; }
  void SetOnShowing(const TNotifyEvent& Value) { onShowing_ = Value; }

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Paint() override;
  void Resize() override;
  void AdjustClientRect(TRect& Rect) override;
  void WndProc(TMessage& Message) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void Deactivate() override;
  void VisibleChanged() override;
  virtual void MouseEntered() {}
  virtual void MouseLeft() {}
  // The frame and background come from the style: the view follows the window's size.
  virtual void UpdateViewInfo();

 private:
  void RunModalLoop();
  bool takeFocus_ = true;
  TWinControl* focusedControl_ = nullptr;
  bool closingByMessage_ = false;
  bool topmost_ = false;
  bool closedByOwnerClick_ = false;
  bool modalLoop_ = true;
  TControl* ownerControl_;
  TNotifyEvent onClosed_, onClosing_, onShowed_, onShowing_;
  TObjectPtr<TuiContainerStyle> style_;
  TObjectPtr<TuiContainerViewInfo> viewInfo_;
};

// Whether AWnd is a window inside AControl: a child window, a windowed child control's window or inside
// one, or for a popup, the window of a shown popup whose owner sits on it. False for AControl's own window.
bool IsWindowInsideControl(TControl* AControl, HWND AWnd);
// Whether AWnd is AControl's form window or inside it (or in the window tree a parented form sits in).
bool IsWindowInForm(TControl* AControl, HWND AWnd);

namespace k58::foundation {
// The shown popups in showing order.
const std::vector<TuiCustomPopupWindow*>& ShownPopups();
// Installs the three hooks for the GUI thread (and removes them).
void StartPopupsUnit();
void StopPopupsUnit();
}  // namespace k58::foundation
