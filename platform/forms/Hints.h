// The hint window: the small window the application shows under the mouse with a control's hint.
#pragma once

#include "platform/forms/Controls.h"

class THintWindow : public TCustomControl {
  K58_CLASS(THintWindow, TCustomControl)

  explicit THintWindow(TComponent* AOwner);

  // Shows the hint in Rect (screen coordinates) without taking the focus.
  virtual void ActivateHint(const TRect& Rect, const String& AHint);
  virtual void ActivateHintData(const TRect& Rect, const String& AHint, void* AData);
  // The size the hint needs (origin 0, 0), lines broken at MaxWidth.
  virtual TRect CalcHintRect(Integer MaxWidth, const String& AHint, void* AData);
  // Hides the window.
  void ReleaseHandle();
  bool IsHintMsg(const MSG& Msg);

  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void Dispatch(TMessage& Message) override;
};
