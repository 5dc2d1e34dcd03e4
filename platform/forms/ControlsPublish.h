// Publishing the properties and events of controls in a class's type information.
//
// The control classes keep most of their properties unpublished; a class that shows a property in form
// resources and scripts publishes it, with the class library's type names and defaults:
//
//   K58_IMPLEMENT_CLASS(TButton) {
//     PublishControl(b, {"Align", "Anchors", "Caption", "Enabled", "Font", "OnClick", "OnEnter"});
//     ...
//   }
//
// An unknown name is a programming error and raises std::logic_error while the class is described.
#pragma once

#include <initializer_list>
#include <stdexcept>
#include <string_view>

#include "platform/classes/ClassBuilder.h"
#include "platform/forms/Controls.h"

const TTypeInfo* TTabOrderTypeInfo();
const TTypeInfo* TBorderWidthTypeInfo();

// TControl's and TWinControl's properties and events by name.
template <class C>
void PublishControl(ClassBuilder<C>& b, std::initializer_list<const char*> Names) {
  for (const char* name : Names) {
    std::string_view n(name);
    if (n == "Align") {
      b.Prop("Align", &TControl::Align, &TControl::SetAlign).Default(alNone);
    } else if (n == "Anchors") {
      b.Prop("Anchors", &TControl::Anchors, &TControl::SetAnchors).Default(TAnchors{akLeft, akTop});
    } else if (n == "AutoSize") {
      b.Prop("AutoSize", &TControl::AutoSize, &TControl::SetAutoSize).Default(false);
    } else if (n == "Caption") {
      b.Prop("Caption", &TControl::Caption, &TControl::SetCaption).Type("TCaption");
    } else if (n == "Text") {
      b.Prop("Text", &TControl::Text, &TControl::SetText).Type("TCaption");
    } else if (n == "Color") {
      b.Prop("Color", &TControl::Color, &TControl::SetColor).Type(TColorTypeInfo()).Stored(&TControl::IsColorStored);
    } else if (n == "Constraints") {
      b.Prop("Constraints", &TControl::Constraints, &TControl::SetConstraints);
    } else if (n == "DragCursor") {
      b.Prop("DragCursor", &TControl::DragCursor, &TControl::SetDragCursor).Type(TCursorTypeInfo()).Default(crDrag);
    } else if (n == "DragKind") {
      b.Prop("DragKind", &TControl::DragKind, &TControl::SetDragKind).Default(dkDrag);
    } else if (n == "DragMode") {
      b.Prop("DragMode", &TControl::DragMode, &TControl::SetDragMode).Default(dmManual);
    } else if (n == "Enabled") {
      b.Prop("Enabled", &TControl::GetEnabled, &TControl::SetEnabled).Default(true);
    } else if (n == "Font") {
      b.Prop("Font", &TControl::Font, &TControl::SetFont).Stored(&TControl::IsFontStored);
    } else if (n == "ParentColor") {
      b.Prop("ParentColor", &TControl::ParentColor, &TControl::SetParentColor).Default(true);
    } else if (n == "ParentFont") {
      b.Prop("ParentFont", &TControl::ParentFont, &TControl::SetParentFont).Default(true);
    } else if (n == "ParentShowHint") {
      b.Prop("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint).Default(true);
    } else if (n == "PopupMenu") {
      b.Prop("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu);
    } else if (n == "ShowHint") {
      b.Prop("ShowHint", &TControl::ShowHint, &TControl::SetShowHint).Stored(&TControl::IsShowHintStored);
    } else if (n == "Visible") {
      b.Prop("Visible", &TControl::Visible, &TControl::SetVisible).Default(true);
    } else if (n == "OnClick") {
      b.Prop("OnClick", &TControl::OnClick, &TControl::SetOnClick);
    } else if (n == "OnDblClick") {
      b.Prop("OnDblClick", &TControl::OnDblClick, &TControl::SetOnDblClick);
    } else if (n == "OnMouseDown") {
      b.Prop("OnMouseDown", &TControl::OnMouseDown, &TControl::SetOnMouseDown);
    } else if (n == "OnMouseMove") {
      b.Prop("OnMouseMove", &TControl::OnMouseMove, &TControl::SetOnMouseMove);
    } else if (n == "OnMouseUp") {
      b.Prop("OnMouseUp", &TControl::OnMouseUp, &TControl::SetOnMouseUp);
    } else if (n == "OnMouseWheel") {
      b.Prop("OnMouseWheel", &TControl::OnMouseWheel, &TControl::SetOnMouseWheel);
    } else if (n == "OnMouseWheelDown") {
      b.Prop("OnMouseWheelDown", &TControl::OnMouseWheelDown, &TControl::SetOnMouseWheelDown);
    } else if (n == "OnMouseWheelUp") {
      b.Prop("OnMouseWheelUp", &TControl::OnMouseWheelUp, &TControl::SetOnMouseWheelUp);
    } else if (n == "OnMouseEnter") {
      b.Prop("OnMouseEnter", &TControl::OnMouseEnter, &TControl::SetOnMouseEnter);
    } else if (n == "OnMouseLeave") {
      b.Prop("OnMouseLeave", &TControl::OnMouseLeave, &TControl::SetOnMouseLeave);
    } else if (n == "OnResize") {
      b.Prop("OnResize", &TControl::OnResize, &TControl::SetOnResize);
    } else if (n == "OnCanResize") {
      b.Prop("OnCanResize", &TControl::OnCanResize, &TControl::SetOnCanResize);
    } else if (n == "OnConstrainedResize") {
      b.Prop("OnConstrainedResize", &TControl::OnConstrainedResize, &TControl::SetOnConstrainedResize);
    } else if (n == "OnContextPopup") {
      b.Prop("OnContextPopup", &TControl::OnContextPopup, &TControl::SetOnContextPopup);
    } else if (n == "OnDragDrop") {
      b.Prop("OnDragDrop", &TControl::OnDragDrop, &TControl::SetOnDragDrop);
    } else if (n == "OnDragOver") {
      b.Prop("OnDragOver", &TControl::OnDragOver, &TControl::SetOnDragOver);
    } else if (n == "OnEndDrag") {
      b.Prop("OnEndDrag", &TControl::OnEndDrag, &TControl::SetOnEndDrag).Type("TEndDragEvent");
    } else if (n == "OnStartDrag") {
      b.Prop("OnStartDrag", &TControl::OnStartDrag, &TControl::SetOnStartDrag);
    } else if (n == "OnEndDock") {
      b.Prop("OnEndDock", &TControl::OnEndDock, &TControl::SetOnEndDock).Type("TEndDragEvent");
    } else if (n == "OnStartDock") {
      b.Prop("OnStartDock", &TControl::OnStartDock, &TControl::SetOnStartDock);
    } else if constexpr (std::is_base_of_v<TWinControl, C>) {
      if (n == "BorderWidth") {
        b.Prop("BorderWidth", &TWinControl::BorderWidth, &TWinControl::SetBorderWidth)
            .Type(TBorderWidthTypeInfo())
            .Default(0);
      } else if (n == "Ctl3D") {
        b.Prop("Ctl3D", &TWinControl::Ctl3D, &TWinControl::SetCtl3D).Stored(&TWinControl::IsCtl3DStored);
      } else if (n == "DockSite") {
        b.Prop("DockSite", &TWinControl::DockSite, &TWinControl::SetDockSite).Default(false);
      } else if (n == "ParentBackground") {
        b.Prop("ParentBackground", &TWinControl::ParentBackground, &TWinControl::SetParentBackground);
      } else if (n == "ParentCtl3D") {
        b.Prop("ParentCtl3D", &TWinControl::ParentCtl3D, &TWinControl::SetParentCtl3D).Default(true);
      } else if (n == "TabOrder") {
        b.Prop("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder).Type(TTabOrderTypeInfo()).Default(-1);
      } else if (n == "TabStop") {
        b.Prop("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(false);
      } else if (n == "OnEnter") {
        b.Prop("OnEnter", &TWinControl::OnEnter, &TWinControl::SetOnEnter);
      } else if (n == "OnExit") {
        b.Prop("OnExit", &TWinControl::OnExit, &TWinControl::SetOnExit);
      } else if (n == "OnKeyDown") {
        b.Prop("OnKeyDown", &TWinControl::OnKeyDown, &TWinControl::SetOnKeyDown);
      } else if (n == "OnKeyPress") {
        b.Prop("OnKeyPress", &TWinControl::OnKeyPress, &TWinControl::SetOnKeyPress);
      } else if (n == "OnKeyUp") {
        b.Prop("OnKeyUp", &TWinControl::OnKeyUp, &TWinControl::SetOnKeyUp);
      } else if (n == "OnDockDrop") {
        b.Prop("OnDockDrop", &TWinControl::OnDockDrop, &TWinControl::SetOnDockDrop);
      } else if (n == "OnDockOver") {
        b.Prop("OnDockOver", &TWinControl::OnDockOver, &TWinControl::SetOnDockOver);
      } else if (n == "OnUnDock") {
        b.Prop("OnUnDock", &TWinControl::OnUnDock, &TWinControl::SetOnUnDock);
      } else {
        throw std::logic_error(std::string("PublishControl: unknown property ") + name);
      }
    } else {
      throw std::logic_error(std::string("PublishControl: unknown property ") + name);
    }
  }
}
