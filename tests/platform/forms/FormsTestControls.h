// Small controls for the tests of forms: an edit-like control that takes characters and arrows, and a
// button with Default, Cancel and ModalResult, as form resources name them.
#pragma once

#include <string>
#include <vector>

#include "platform/forms/Forms.h"

namespace forms_test {

class TTestEdit : public TCustomControl {
  K58_CLASS(TTestEdit, TCustomControl)

  explicit TTestEdit(TComponent* AOwner);
  // Characters typed (after OnKeyPress).
  std::string Typed;
  void KeyPress(char& Key) override;
  void Dispatch(TMessage& Message) override;
  void Paint() override;
};

class TTestButton : public TCustomControl {
  K58_CLASS(TTestButton, TCustomControl)

  explicit TTestButton(TComponent* AOwner);
  bool Default() const { return default_; }
  void SetDefault(bool Value) { default_ = Value; }
  bool Cancel() const { return cancel_; }
  void SetCancel(bool Value) { cancel_ = Value; }
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult Value) { modalResult_ = Value; }

  void Click() override;
  void CMDialogKey(TCMDialogKey& Message) override;
  void CMDialogChar(TCMDialogChar& Message) override;
  void Paint() override;

 private:
  bool default_ = false;
  bool cancel_ = false;
  TModalResult modalResult_ = mrNone;
};

// A label-like graphic control.
class TTestLabel : public TGraphicControl {
  K58_CLASS(TTestLabel, TGraphicControl)

  explicit TTestLabel(TComponent* AOwner);
  void Paint() override;
};

}  // namespace forms_test
