// Groups of published properties and events shared by the standard and common controls.
#pragma once

#include "platform/forms/ControlsPublish.h"
#include "platform/forms/StdCtrls.h"

namespace k58::forms {

// The mouse and drag events of a control drawn on its parent.
template <class C>
void PublishGraphicEvents(ClassBuilder<C>& b) {
  PublishControl(b, {"OnClick", "OnContextPopup", "OnDblClick", "OnDragDrop", "OnDragOver", "OnEndDock",
                     "OnEndDrag", "OnMouseDown", "OnMouseEnter", "OnMouseLeave", "OnMouseMove", "OnMouseUp",
                     "OnStartDock", "OnStartDrag"});
}

// The focus, mouse, drag and (with Keys) key events of a windowed control; OnClick, OnDblClick and
// OnContextPopup are published by each class as it has them.
template <class C>
void PublishWindowedEvents(ClassBuilder<C>& b, bool Keys = true) {
  PublishControl(b, {"OnDragDrop", "OnDragOver", "OnEndDock", "OnEndDrag", "OnEnter", "OnExit", "OnMouseDown",
                     "OnMouseMove", "OnMouseUp", "OnStartDock", "OnStartDrag"});
  if (Keys) PublishControl(b, {"OnKeyDown", "OnKeyPress", "OnKeyUp"});
}

// What edits and memos share.
template <class C>
void PublishEditProperties(ClassBuilder<C>& b) {
  b.Prop("BorderStyle", &TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle)
      .Type(TBorderStyleTypeInfo())
      .Default(bsSingle);
  b.Prop("Color", &TControl::Color, &TControl::SetColor).Type(TColorTypeInfo()).Default(clWindow);
  b.Prop("HideSelection", &TCustomEdit::HideSelection, &TCustomEdit::SetHideSelection).Default(true);
  b.Prop("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength).Default(0);
  b.Prop("OEMConvert", &TCustomEdit::OEMConvert, &TCustomEdit::SetOEMConvert).Default(false);
  b.Prop("ParentColor", &TControl::ParentColor, &TControl::SetParentColor).Default(false);
  b.Prop("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly).Default(false);
  b.Prop("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(true);
}

}  // namespace k58::forms
