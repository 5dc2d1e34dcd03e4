// The radio button drawn by its owner with the look-and-feel painters or the button theme: hot tracking,
// transparency over its parent, and a popup menu that may be any popup-menu component.
//
// Threads: GUI thread only.
// Ownership: the button owns its look-and-feel and canvases; the popup menu is another component's and
// is forgotten when that component goes.
// Coordinates: the button rectangle is in client coordinates.
// Re-entrancy: OnClick runs from inside the check-state change (SetChecked) and from focus entry.
#pragma once

#include <memory>

#include "controls/foundation/Foundation.h"
#include "platform/forms/Menus.h"
#include "platform/forms/StdCtrls.h"

// The round button's size in the system radio image.
extern Integer RadioImageWidth;
extern Integer RadioImageHeight;

// States of the round button.
inline constexpr Integer rbsDisabled = 0;
inline constexpr Integer rbsHot = 1;
inline constexpr Integer rbsNormal = 2;
inline constexpr Integer rbsPressed = 3;

class TuiRadioButton : public TRadioButton, public IuiMouseTrackingCaller {
  K58_CLASS(TuiRadioButton, TRadioButton)

  explicit TuiRadioButton(TComponent* AOwner);
  ~TuiRadioButton() override;

  TuiLookAndFeel* LookAndFeel() const { return lookAndFeel_.get(); }
  void SetLookAndFeel(TuiLookAndFeel* Value) { lookAndFeel_->Assign(Value); }
  // nil, a TPopupMenu or a component offering IuiPopupMenu; anything else is taken as nil.
  TComponent* PopupMenuComponent() const { return popupMenu_; }
  void SetPopupMenuComponent(TComponent* Value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool Value);
  Integer ButtonState() const { return buttonState_; }
  const TRect& ButtonRect() const { return buttonRect_; }

  // The margins of the caption rectangle.
  virtual TRect GetContentRect(const TRect& R, bool ANative);
  virtual bool DoShowPopupMenu(TComponent* AMenu, Integer X, Integer Y);
  virtual bool IsNativeBackground() { return false; }
  virtual bool NeedsParentBackground();
  virtual bool IsNativeStyle();
  virtual bool IsTransparentDrawn();
  bool HasBackgroundToDraw() { return NeedsParentBackground() || IsTransparentDrawn(); }
  void Repaint() override { Invalidate(); }
  void Invalidate() override;
  virtual void Paint(TuiCanvas* ACanvas);
  virtual void UpdateButtonState(TMouseButton AButton, TShiftState AShift, const TPoint& AMousePos);
  // The state at the cursor position with the keyboard's shift state.
  void UpdateButtonStateAtCursor();

  // Both the control's mouse-leave (from CM_MOUSELEAVE) and the end of mouse-leave tracking come here.
  void MouseLeave() override {
    TRadioButton::MouseLeave();
    MouseLeave(nullptr);
  }

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Dispatch(TMessage& Message) override;
  void DoEnter() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  virtual void EnabledChanged();
  virtual void MouseEnter(TControl* AControl);
  virtual void MouseLeave(TControl* AControl);
  // Whether the control is an inner control of a container (its caption then never embosses).
  virtual bool IsInnerControl() { return false; }
  void DrawCaption(TuiCanvas* ACanvas, bool ANative);
  void LayoutButton(Integer W, Integer H, bool ANative);
  bool Destroying() const { return destroying_; }

 private:
  TObjectPtr<TuiLookAndFeel> lookAndFeel_;
  TComponent* popupMenu_ = nullptr;
  bool transparent_ = false;
  Integer buttonState_ = rbsNormal;
  TRect buttonRect_{};
  bool destroying_ = false;
};

namespace k58::editors {
// Measures the system radio image; counted.
void StartRadioButtonUnit();
void StopRadioButtonUnit();
}  // namespace k58::editors
