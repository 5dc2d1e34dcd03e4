// Type information of the common controls: their published properties with the class library's type names
// and defaults.
#include "platform/classes/ClassBuilder.h"
#include "platform/forms/ComCtrls.h"
#include "platform/forms/ControlsPublish.h"
#include "platform/forms/StdCtrlsPublish.h"

K58_IMPLEMENT_CLASS(TStatusPanel) {
  b.Prop("Alignment", &TStatusPanel::Alignment, &TStatusPanel::SetAlignment).Default(taLeftJustify);
  b.Prop("Bevel", &TStatusPanel::Bevel, &TStatusPanel::SetBevel).Default(pbLowered);
  b.Prop("Style", &TStatusPanel::Style, &TStatusPanel::SetStyle).Default(psText);
  b.Prop("Text", &TStatusPanel::Text, &TStatusPanel::SetText);
  b.Prop("Width", &TStatusPanel::Width, &TStatusPanel::SetWidth);
}

K58_IMPLEMENT_CLASS(TStatusPanels) {}

K58_IMPLEMENT_CLASS(TStatusBar) {
  PublishControl(b, {"Align", "Anchors", "Color", "Constraints", "DragCursor", "DragKind", "DragMode", "Enabled",
                     "Font", "ParentColor", "ParentFont", "ParentShowHint", "PopupMenu", "ShowHint", "Visible"});
  b.Prop("Panels", &TStatusBar::Panels, &TStatusBar::SetPanels);
  b.Prop("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel).Default(false);
  b.Prop("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText);
  b.Prop("SizeGrip", &TStatusBar::SizeGrip, &TStatusBar::SetSizeGrip).Default(true);
  b.Prop("UseSystemFont", &TStatusBar::UseSystemFont, &TStatusBar::SetUseSystemFont).Default(true);
  PublishControl(b, {"OnClick", "OnContextPopup", "OnDblClick", "OnDragDrop", "OnDragOver", "OnEndDock",
                     "OnEndDrag", "OnMouseDown", "OnMouseMove", "OnMouseUp", "OnResize", "OnStartDock",
                     "OnStartDrag"});
  b.Prop("OnDrawPanel", &TStatusBar::OnDrawPanel, &TStatusBar::SetOnDrawPanel);
}

K58_IMPLEMENT_CLASS(TProgressBar) {
  PublishControl(b, {"Align", "Anchors", "BorderWidth", "Constraints", "DragCursor", "DragKind", "DragMode",
                     "Enabled", "ParentShowHint", "PopupMenu", "ShowHint", "TabOrder", "TabStop", "Visible"});
  b.Prop("Max", &TProgressBar::Max, &TProgressBar::SetMax).Default(100);
  b.Prop("Min", &TProgressBar::Min, &TProgressBar::SetMin).Default(0);
  b.Prop("Orientation", &TProgressBar::Orientation, &TProgressBar::SetOrientation).Default(pbHorizontal);
  b.Prop("Position", &TProgressBar::Position, &TProgressBar::SetPosition).Default(0);
  b.Prop("Smooth", &TProgressBar::Smooth, &TProgressBar::SetSmooth).Default(false);
  b.Prop("Step", &TProgressBar::Step, &TProgressBar::SetStep).Default(10);
  PublishControl(b, {"OnContextPopup", "OnDragDrop", "OnDragOver", "OnEndDock", "OnEndDrag", "OnEnter", "OnExit",
                     "OnMouseDown", "OnMouseMove", "OnMouseUp", "OnStartDock", "OnStartDrag"});
}

K58_IMPLEMENT_CLASS(TTreeNode) {}

K58_IMPLEMENT_CLASS(TTreeNodes) {}

K58_IMPLEMENT_CLASS(TCustomTreeView) {}

K58_IMPLEMENT_CLASS(TTreeView) {
  PublishControl(b, {"Align", "Anchors", "BorderWidth", "Color", "Constraints", "Ctl3D", "DragCursor", "DragKind",
                     "DragMode", "Enabled", "Font", "ParentColor", "ParentCtl3D", "ParentFont", "ParentShowHint",
                     "PopupMenu", "ShowHint", "TabOrder", "Visible"});
  b.Prop("AutoExpand", &TCustomTreeView::AutoExpand, &TCustomTreeView::SetAutoExpand).Default(false);
  b.Prop("BorderStyle", &TCustomTreeView::BorderStyle, &TCustomTreeView::SetBorderStyle)
      .Type(TBorderStyleTypeInfo())
      .Default(bsSingle);
  b.Prop("HideSelection", &TCustomTreeView::HideSelection, &TCustomTreeView::SetHideSelection).Default(true);
  b.Prop("Images", &TCustomTreeView::Images, &TCustomTreeView::SetImages);
  b.Prop("Indent", &TCustomTreeView::Indent, &TCustomTreeView::SetIndent);
  b.Prop("Items", &TCustomTreeView::Items, &TCustomTreeView::SetItems).Stored(false);
  b.Prop("ReadOnly", &TCustomTreeView::ReadOnly, &TCustomTreeView::SetReadOnly).Default(false);
  b.Prop("RowSelect", &TCustomTreeView::RowSelect, &TCustomTreeView::SetRowSelect).Default(false);
  b.Prop("ShowButtons", &TCustomTreeView::ShowButtons, &TCustomTreeView::SetShowButtons).Default(true);
  b.Prop("ShowLines", &TCustomTreeView::ShowLines, &TCustomTreeView::SetShowLines).Default(true);
  b.Prop("ShowRoot", &TCustomTreeView::ShowRoot, &TCustomTreeView::SetShowRoot).Default(true);
  b.Prop("StateImages", &TCustomTreeView::StateImages, &TCustomTreeView::SetStateImages);
  b.Prop("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(true);
  k58::forms::PublishWindowedEvents(b);
  PublishControl(b, {"OnClick", "OnContextPopup", "OnDblClick"});
  b.Prop("OnChange", &TCustomTreeView::OnChange, &TCustomTreeView::SetOnChange);
  b.Prop("OnChanging", &TCustomTreeView::OnChanging, &TCustomTreeView::SetOnChanging);
  b.Prop("OnCollapsed", &TCustomTreeView::OnCollapsed, &TCustomTreeView::SetOnCollapsed).Type("TTVExpandedEvent");
  b.Prop("OnCollapsing", &TCustomTreeView::OnCollapsing, &TCustomTreeView::SetOnCollapsing)
      .Type("TTVCollapsingEvent");
  b.Prop("OnCompare", &TCustomTreeView::OnCompare, &TCustomTreeView::SetOnCompare);
  b.Prop("OnCustomDrawItem", &TCustomTreeView::OnCustomDrawItem, &TCustomTreeView::SetOnCustomDrawItem);
  b.Prop("OnDeletion", &TCustomTreeView::OnDeletion, &TCustomTreeView::SetOnDeletion).Type("TTVExpandedEvent");
  b.Prop("OnExpanded", &TCustomTreeView::OnExpanded, &TCustomTreeView::SetOnExpanded).Type("TTVExpandedEvent");
  b.Prop("OnExpanding", &TCustomTreeView::OnExpanding, &TCustomTreeView::SetOnExpanding)
      .Type("TTVExpandingEvent");
}

K58_IMPLEMENT_CLASS(TToolButton) {
  PublishControl(b, {"AutoSize", "Caption", "DragCursor", "DragKind", "DragMode", "Enabled", "ParentShowHint",
                     "PopupMenu", "ShowHint", "Visible"});
  b.Prop("AllowAllUp", &TToolButton::AllowAllUp, &TToolButton::SetAllowAllUp).Default(false);
  b.Prop("Down", &TToolButton::Down, &TToolButton::SetDown).Default(false);
  b.Prop("DropdownMenu", &TToolButton::DropdownMenu, &TToolButton::SetDropdownMenu);
  b.Prop("Grouped", &TToolButton::Grouped, &TToolButton::SetGrouped).Default(false);
  b.Prop("ImageIndex", &TToolButton::ImageIndex, &TToolButton::SetImageIndex).Type("TImageIndex").Default(-1);
  b.Prop("Indeterminate", &TToolButton::Indeterminate, &TToolButton::SetIndeterminate).Default(false);
  b.Prop("Marked", &TToolButton::Marked, &TToolButton::SetMarked).Default(false);
  b.Prop("MenuItem", &TToolButton::MenuItem, &TToolButton::SetMenuItem);
  b.Prop("Style", &TToolButton::Style, &TToolButton::SetStyle).Default(tbsButton);
  b.Prop("Wrap", &TToolButton::Wrap, &TToolButton::SetWrap).Default(false);
  PublishControl(b, {"OnClick", "OnContextPopup", "OnDragDrop", "OnDragOver", "OnEndDock", "OnEndDrag",
                     "OnMouseDown", "OnMouseMove", "OnMouseUp", "OnStartDock", "OnStartDrag"});
}

K58_IMPLEMENT_CLASS(TToolBar) {
  PublishControl(b, {"Align", "Anchors", "AutoSize", "BorderWidth", "Caption", "Color", "Constraints", "DockSite",
                     "DragCursor", "DragKind", "DragMode", "Enabled", "Font", "ParentColor", "ParentFont",
                     "ParentShowHint", "PopupMenu", "ShowHint", "TabOrder", "TabStop", "Visible"});
  b.Prop("ButtonHeight", &TToolBar::ButtonHeight, &TToolBar::SetButtonHeight).Default(22);
  b.Prop("ButtonWidth", &TToolBar::ButtonWidth, &TToolBar::SetButtonWidth).Default(23);
  b.Prop("DisabledImages", &TToolBar::DisabledImages, &TToolBar::SetDisabledImages);
  b.Prop("EdgeBorders", &TToolBar::EdgeBorders, &TToolBar::SetEdgeBorders).Default(TEdgeBorders{ebTop});
  b.Prop("EdgeInner", &TToolBar::EdgeInner, &TToolBar::SetEdgeInner).Default(esRaised);
  b.Prop("EdgeOuter", &TToolBar::EdgeOuter, &TToolBar::SetEdgeOuter).Default(esLowered);
  b.Prop("Flat", &TToolBar::Flat, &TToolBar::SetFlat).Default(false);
  b.Prop("HotImages", &TToolBar::HotImages, &TToolBar::SetHotImages);
  b.Prop("Images", &TToolBar::Images, &TToolBar::SetImages);
  b.Prop("Indent", &TToolBar::Indent, &TToolBar::SetIndent).Default(0);
  b.Prop("List", &TToolBar::List, &TToolBar::SetList).Default(false);
  b.Prop("ShowCaptions", &TToolBar::ShowCaptions, &TToolBar::SetShowCaptions).Default(false);
  b.Prop("Transparent", &TToolBar::Transparent, &TToolBar::SetTransparent).Default(false);
  b.Prop("Wrapable", &TToolBar::Wrapable, &TToolBar::SetWrapable).Default(true);
  PublishControl(b, {"OnClick", "OnContextPopup", "OnDblClick", "OnDockDrop", "OnDockOver", "OnDragDrop",
                     "OnDragOver", "OnEndDock", "OnEndDrag", "OnEnter", "OnExit", "OnMouseDown", "OnMouseMove",
                     "OnMouseUp", "OnResize", "OnStartDock", "OnStartDrag", "OnUnDock"});
  b.Prop("OnCustomDraw", &TToolBar::OnCustomDraw, &TToolBar::SetOnCustomDraw);
  b.Prop("OnCustomDrawButton", &TToolBar::OnCustomDrawButton, &TToolBar::SetOnCustomDrawButton);
}

K58_IMPLEMENT_CLASS(TTabSheet) {
  PublishControl(b, {"BorderWidth", "Caption", "DragMode", "Enabled", "Font", "ParentFont", "ParentShowHint",
                     "PopupMenu", "ShowHint", "Visible"});
  b.Prop("ImageIndex", &TTabSheet::ImageIndex, &TTabSheet::SetImageIndex).Type("TImageIndex").Default(0);
  b.Prop("PageIndex", &TTabSheet::PageIndex, &TTabSheet::SetPageIndex).Stored(false);
  b.Prop("TabVisible", &TTabSheet::TabVisible, &TTabSheet::SetTabVisible).Default(true);
  PublishControl(b, {"OnContextPopup", "OnDragDrop", "OnDragOver", "OnEndDrag", "OnEnter", "OnExit", "OnMouseDown",
                     "OnMouseMove", "OnMouseUp", "OnResize", "OnStartDrag"});
  b.Prop("OnHide", &TTabSheet::OnHide, &TTabSheet::SetOnHide);
  b.Prop("OnShow", &TTabSheet::OnShow, &TTabSheet::SetOnShow);
}

K58_IMPLEMENT_CLASS(TPageControl) {
  b.Prop("ActivePage", &TPageControl::ActivePage, &TPageControl::SetActivePage);
  PublishControl(b, {"Align", "Anchors", "Constraints", "DockSite", "DragCursor", "DragKind", "DragMode", "Enabled",
                     "Font", "ParentFont", "ParentShowHint", "PopupMenu", "ShowHint", "TabOrder", "TabStop",
                     "Visible"});
  b.Prop("Images", &TPageControl::Images, &TPageControl::SetImages);
  b.Prop("MultiLine", &TPageControl::MultiLine, &TPageControl::SetMultiLine).Default(false);
  PublishControl(b, {"OnContextPopup", "OnDockDrop", "OnDockOver", "OnDragDrop", "OnDragOver", "OnEndDock",
                     "OnEndDrag", "OnEnter", "OnExit", "OnMouseDown", "OnMouseMove", "OnMouseUp", "OnResize",
                     "OnStartDock", "OnStartDrag", "OnUnDock"});
  b.Prop("OnChange", &TPageControl::OnChange, &TPageControl::SetOnChange);
  b.Prop("OnChanging", &TPageControl::OnChanging, &TPageControl::SetOnChanging).Type("TTabChangingEvent");
}

K58_IMPLEMENT_CLASS(TUpDown) {
  PublishControl(b, {"Anchors", "Constraints", "Enabled", "ParentShowHint", "PopupMenu", "ShowHint", "TabOrder",
                     "TabStop", "Visible"});
  b.Prop("AlignButton", &TUpDown::AlignButton, &TUpDown::SetAlignButton).Default(udRight);
  b.Prop("ArrowKeys", &TUpDown::ArrowKeys, &TUpDown::SetArrowKeys).Default(true);
  b.Prop("Associate", &TUpDown::Associate, &TUpDown::SetAssociate);
  b.Prop("Increment", &TUpDown::Increment, &TUpDown::SetIncrement).Default(1);
  b.Prop("Max", &TUpDown::Max, &TUpDown::SetMax).Default(100);
  b.Prop("Min", &TUpDown::Min, &TUpDown::SetMin).Default(0);
  b.Prop("Orientation", &TUpDown::Orientation, &TUpDown::SetOrientation).Default(udVertical);
  b.Prop("Position", &TUpDown::Position, &TUpDown::SetPosition).Default(0);
  b.Prop("Thousands", &TUpDown::Thousands, &TUpDown::SetThousands).Default(true);
  b.Prop("Wrap", &TUpDown::Wrap, &TUpDown::SetWrap).Default(false);
  PublishControl(b, {"OnContextPopup", "OnEnter", "OnExit", "OnMouseDown", "OnMouseMove", "OnMouseUp"});
  b.Prop("OnChanging", &TUpDown::OnChanging, &TUpDown::SetOnChanging).Type("TUDChangingEvent");
  b.Prop("OnClick", &TUpDown::OnClick, &TUpDown::SetOnClick);
}
