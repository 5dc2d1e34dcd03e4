#include "FormsTestControls.h"

#include "platform/classes/ClassBuilder.h"
#include "platform/forms/ControlsPublish.h"
#include "platform/forms/Menus.h"

namespace forms_test {

TTestEdit::TTestEdit(TComponent* AOwner) : TCustomControl(AOwner) {
  SetTabStop(true);
  SetBounds(0, 0, 80, 20);
  SetColor(clWindow);
}

void TTestEdit::KeyPress(char& Key) {
  TCustomControl::KeyPress(Key);
  if (Key != 0) Typed += Key;
}

void TTestEdit::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_GETDLGCODE) {
    Message.Result = DLGC_WANTCHARS | DLGC_WANTARROWS;
    return;
  }
  TCustomControl::Dispatch(Message);
}

void TTestEdit::Paint() {
  Canvas()->Brush()->SetColor(Color());
  Canvas()->FillRect(ClientRect());
}

TTestButton::TTestButton(TComponent* AOwner) : TCustomControl(AOwner) {
  SetTabStop(true);
  SetBounds(0, 0, 75, 25);
}

void TTestButton::Click() {
  if (modalResult_ != mrNone) {
    if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(modalResult_);
  }
  TCustomControl::Click();
}

void TTestButton::CMDialogKey(TCMDialogKey& Message) {
  bool noShift = KeyDataToShiftState(Message.KeyData()).Empty();
  if (((Message.CharCode() == VK_RETURN && default_) || (Message.CharCode() == VK_ESCAPE && cancel_)) && noShift &&
      CanFocus()) {
    Click();
    Message.Result = 1;
    return;
  }
  TCustomControl::CMDialogKey(Message);
}

void TTestButton::CMDialogChar(TCMDialogChar& Message) {
  if (IsAccel(Message.CharCode(), Caption()) && CanFocus()) {
    Click();
    Message.Result = 1;
    return;
  }
  TCustomControl::CMDialogChar(Message);
}

void TTestButton::Paint() {
  Canvas()->Brush()->SetColor(clBtnFace);
  Canvas()->FillRect(ClientRect());
}

TTestLabel::TTestLabel(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 60, 15); }

void TTestLabel::Paint() {
  Canvas()->Brush()->SetColor(clYellow);
  Canvas()->FillRect(ClientRect());
}

K58_IMPLEMENT_CLASS(TTestEdit) {
  PublishControl(b, {"Align", "Color", "Enabled", "Font", "ParentColor", "ParentFont", "PopupMenu", "TabOrder", "TabStop",
                     "Text", "Visible", "OnClick", "OnEnter", "OnExit", "OnKeyDown",
                     "OnKeyPress", "OnKeyUp", "OnMouseDown"});
}

K58_IMPLEMENT_CLASS(TTestButton) {
  PublishControl(b, {"Caption", "Enabled", "TabOrder", "TabStop", "Visible", "OnClick", "OnEnter", "OnExit"});
  b.Prop("Default", &TTestButton::Default, &TTestButton::SetDefault).Default(false);
  b.Prop("Cancel", &TTestButton::Cancel, &TTestButton::SetCancel).Default(false);
  b.Prop("ModalResult", &TTestButton::ModalResult, &TTestButton::SetModalResult).Type(TModalResultTypeInfo()).Default(0);
}

K58_IMPLEMENT_CLASS(TTestLabel) { PublishControl(b, {"Caption", "Visible", "OnClick", "OnDblClick", "OnMouseDown"}); }

}  // namespace forms_test
