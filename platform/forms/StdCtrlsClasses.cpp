// Type information of the standard controls: their published properties with the class library's type
// names and defaults, and the registration of every class of the standard, extra and common controls,
// masked edits and dialogs by name.
#include "platform/classes/ClassBuilder.h"
#include "platform/forms/ComCtrls.h"
#include "platform/forms/ControlsPublish.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "platform/forms/StdCtrlsPublish.h"

const TTypeInfo* TLeftRightTypeInfo() {
  static const TTypeInfo* info = MakeEnumTypeInfo("TLeftRight", "taLeftJustify, taRightJustify", {0, 1});
  return info;
}

// ---- Labels and buttons -------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TCustomLabel) {}

K58_IMPLEMENT_CLASS(TLabel) {
  PublishControl(b, {"Align", "Anchors", "Caption", "Color", "Constraints", "DragCursor", "DragKind", "DragMode",
                     "Enabled", "Font", "ParentColor", "ParentFont", "ParentShowHint", "PopupMenu", "ShowHint",
                     "Visible"});
  b.Prop("Alignment", &TCustomLabel::Alignment, &TCustomLabel::SetAlignment).Default(taLeftJustify);
  b.Prop("AutoSize", &TControl::AutoSize, &TCustomLabel::SetAutoSize).Default(true);
  b.Prop("FocusControl", &TCustomLabel::FocusControl, &TCustomLabel::SetFocusControl);
  b.Prop("Layout", &TCustomLabel::Layout, &TCustomLabel::SetLayout).Default(tlTop);
  b.Prop("ShowAccelChar", &TCustomLabel::ShowAccelChar, &TCustomLabel::SetShowAccelChar).Default(true);
  b.Prop("Transparent", &TCustomLabel::Transparent, &TCustomLabel::SetTransparent).Default(false);
  b.Prop("WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap).Default(false);
  k58::forms::PublishGraphicEvents(b);
}

K58_IMPLEMENT_CLASS(TButtonControl) {}

K58_IMPLEMENT_CLASS(TButton) {
  PublishControl(b, {"Align", "Anchors", "Caption", "Constraints", "DragCursor", "DragKind", "DragMode", "Enabled",
                     "Font", "ParentFont", "ParentShowHint", "PopupMenu", "ShowHint", "TabOrder", "Visible",
                     "OnClick", "OnContextPopup"});
  b.Prop("Cancel", &TButton::Cancel, &TButton::SetCancel).Default(false);
  b.Prop("Default", &TButton::Default, &TButton::SetDefault).Default(false);
  b.Prop("ModalResult", &TButton::ModalResult, &TButton::SetModalResult).Type(TModalResultTypeInfo()).Default(0);
  b.Prop("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(true);
  b.Prop("WordWrap", &TButtonControl::WordWrap, &TButtonControl::SetWordWrap).Default(false);
  k58::forms::PublishWindowedEvents(b);
}

K58_IMPLEMENT_CLASS(TCustomCheckBox) {}

K58_IMPLEMENT_CLASS(TCheckBox) {
  PublishControl(b, {"Anchors", "Caption", "Color", "Constraints", "Ctl3D", "DragCursor", "DragKind", "DragMode",
                     "Enabled", "Font", "ParentColor", "ParentCtl3D", "ParentFont", "ParentShowHint", "PopupMenu",
                     "ShowHint", "TabOrder", "Visible", "OnClick", "OnContextPopup"});
  b.Prop("Alignment", &TCustomCheckBox::Alignment, &TCustomCheckBox::SetAlignment)
      .Type(TLeftRightTypeInfo())
      .Default(taRightJustify);
  b.Prop("AllowGrayed", &TCustomCheckBox::AllowGrayed, &TCustomCheckBox::SetAllowGrayed).Default(false);
  b.Prop("Checked", &TCustomCheckBox::GetChecked, &TCustomCheckBox::SetChecked).Stored(false);
  b.Prop("State", &TCustomCheckBox::State, &TCustomCheckBox::SetState).Default(cbUnchecked);
  b.Prop("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(true);
  b.Prop("WordWrap", &TButtonControl::WordWrap, &TButtonControl::SetWordWrap).Default(false);
  k58::forms::PublishWindowedEvents(b);
}

K58_IMPLEMENT_CLASS(TRadioButton) {
  PublishControl(b, {"Anchors", "Caption", "Color", "Constraints", "Ctl3D", "DragCursor", "DragKind", "DragMode",
                     "Enabled", "Font", "ParentColor", "ParentCtl3D", "ParentFont", "ParentShowHint", "PopupMenu",
                     "ShowHint", "TabOrder", "TabStop", "Visible", "OnClick", "OnContextPopup", "OnDblClick"});
  b.Prop("Alignment", &TRadioButton::Alignment, &TRadioButton::SetAlignment)
      .Type(TLeftRightTypeInfo())
      .Default(taRightJustify);
  b.Prop("Checked", &TRadioButton::GetChecked, &TRadioButton::SetChecked).Default(false);
  b.Prop("WordWrap", &TButtonControl::WordWrap, &TButtonControl::SetWordWrap).Default(false);
  k58::forms::PublishWindowedEvents(b);
}

K58_IMPLEMENT_CLASS(TCustomGroupBox) {}

K58_IMPLEMENT_CLASS(TGroupBox) {
  PublishControl(b, {"Align", "Anchors", "Caption", "Color", "Constraints", "Ctl3D", "DockSite", "DragCursor",
                     "DragKind", "DragMode", "Enabled", "Font", "ParentBackground", "ParentColor", "ParentCtl3D",
                     "ParentFont", "ParentShowHint", "PopupMenu", "ShowHint", "TabOrder", "TabStop", "Visible",
                     "OnClick", "OnContextPopup", "OnDblClick", "OnDockDrop", "OnDockOver", "OnUnDock"});
  k58::forms::PublishWindowedEvents(b, false);
}

// ---- Edits --------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TCustomEdit) {}

K58_IMPLEMENT_CLASS(TEdit) {
  PublishControl(b, {"Anchors", "Constraints", "Ctl3D", "DragCursor", "DragKind", "DragMode", "Enabled", "Font",
                     "ParentCtl3D", "ParentFont", "ParentShowHint", "PopupMenu", "ShowHint", "TabOrder", "Text",
                     "Visible", "OnClick", "OnContextPopup", "OnDblClick"});
  k58::forms::PublishEditProperties(b);
  b.Prop("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect).Default(true);
  b.Prop("AutoSize", &TControl::AutoSize, &TCustomEdit::SetAutoSize).Default(true);
  b.Prop("CharCase", &TCustomEdit::CharCase, &TCustomEdit::SetCharCase).Default(ecNormal);
  b.Prop("PasswordChar", &TCustomEdit::PasswordChar, &TCustomEdit::SetPasswordChar).Default('\0');
  k58::forms::PublishWindowedEvents(b);
  b.Prop("OnChange", &TCustomEdit::OnChange, &TCustomEdit::SetOnChange);
}

K58_IMPLEMENT_CLASS(TMemoStrings) {}

K58_IMPLEMENT_CLASS(TCustomMemo) {}

K58_IMPLEMENT_CLASS(TMemo) {
  PublishControl(b, {"Align", "Anchors", "Constraints", "Ctl3D", "DragCursor", "DragKind", "DragMode", "Enabled",
                     "Font", "ParentCtl3D", "ParentFont", "ParentShowHint", "PopupMenu", "ShowHint", "TabOrder",
                     "Visible", "OnClick", "OnContextPopup", "OnDblClick"});
  k58::forms::PublishEditProperties(b);
  b.Prop("Alignment", &TCustomMemo::Alignment, &TCustomMemo::SetAlignment).Default(taLeftJustify);
  b.Prop("Lines", &TCustomMemo::Lines, &TCustomMemo::SetLines);
  b.Prop("ScrollBars", &TCustomMemo::ScrollBars, &TCustomMemo::SetScrollBars).Default(ssNone);
  b.Prop("WantReturns", &TCustomMemo::WantReturns, &TCustomMemo::SetWantReturns).Default(true);
  b.Prop("WantTabs", &TCustomMemo::WantTabs, &TCustomMemo::SetWantTabs).Default(false);
  b.Prop("WordWrap", &TCustomMemo::WordWrap, &TCustomMemo::SetWordWrap).Default(true);
  k58::forms::PublishWindowedEvents(b);
  b.Prop("OnChange", &TCustomEdit::OnChange, &TCustomEdit::SetOnChange);
}

// ---- Lists --------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TCustomListControlStrings) {}

K58_IMPLEMENT_CLASS(TListBoxStrings) {}

K58_IMPLEMENT_CLASS(TComboBoxStrings) {}

K58_IMPLEMENT_CLASS(TCustomListBox) {}

K58_IMPLEMENT_CLASS(TListBox) {
  PublishControl(b, {"Align", "Anchors", "Constraints", "Ctl3D", "DragCursor", "DragKind", "DragMode", "Enabled",
                     "Font", "ParentCtl3D", "ParentFont", "ParentShowHint", "PopupMenu", "ShowHint", "TabOrder",
                     "Visible", "OnClick", "OnContextPopup", "OnDblClick"});
  b.Prop("BorderStyle", &TCustomListBox::BorderStyle, &TCustomListBox::SetBorderStyle)
      .Type(TBorderStyleTypeInfo())
      .Default(bsSingle);
  b.Prop("Color", &TControl::Color, &TControl::SetColor).Type(TColorTypeInfo()).Default(clWindow);
  b.Prop("Columns", &TCustomListBox::Columns, &TCustomListBox::SetColumns).Default(0);
  b.Prop("ExtendedSelect", &TCustomListBox::ExtendedSelect, &TCustomListBox::SetExtendedSelect).Default(true);
  b.Prop("IntegralHeight", &TCustomListBox::IntegralHeight, &TCustomListBox::SetIntegralHeight).Default(false);
  b.Prop("ItemHeight", &TCustomListBox::ItemHeight, &TCustomListBox::SetItemHeight);
  b.Prop("Items", &TCustomListBox::Items, &TCustomListBox::SetItems);
  b.Prop("MultiSelect", &TCustomListBox::MultiSelect, &TCustomListBox::SetMultiSelect).Default(false);
  b.Prop("ParentColor", &TControl::ParentColor, &TControl::SetParentColor).Default(false);
  b.Prop("Sorted", &TCustomListBox::Sorted, &TCustomListBox::SetSorted).Default(false);
  b.Prop("Style", &TCustomListBox::Style, &TCustomListBox::SetStyle).Default(lbStandard);
  b.Prop("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(true);
  b.Prop("TabWidth", &TCustomListBox::TabWidth, &TCustomListBox::SetTabWidth).Default(0);
  k58::forms::PublishWindowedEvents(b);
  b.Prop("OnDrawItem", &TCustomListBox::OnDrawItem, &TCustomListBox::SetOnDrawItem);
  b.Prop("OnMeasureItem", &TCustomListBox::OnMeasureItem, &TCustomListBox::SetOnMeasureItem);
}

K58_IMPLEMENT_CLASS(TCustomComboBox) {}

K58_IMPLEMENT_CLASS(TComboBox) {
  PublishControl(b, {"Anchors", "Constraints", "Ctl3D", "DragCursor", "DragKind", "DragMode", "Enabled", "Font",
                     "ParentCtl3D", "ParentFont", "ParentShowHint", "PopupMenu", "ShowHint", "TabOrder", "Text",
                     "Visible", "OnClick", "OnContextPopup", "OnDblClick"});
  b.Prop("Style", &TCustomComboBox::Style, &TCustomComboBox::SetStyle).Default(csDropDown);
  b.Prop("CharCase", &TCustomComboBox::CharCase, &TCustomComboBox::SetCharCase).Default(ecNormal);
  b.Prop("Color", &TControl::Color, &TControl::SetColor).Type(TColorTypeInfo()).Default(clWindow);
  b.Prop("DropDownCount", &TCustomComboBox::DropDownCount, &TCustomComboBox::SetDropDownCount).Default(8);
  b.Prop("ItemHeight", &TCustomComboBox::ItemHeight, &TCustomComboBox::SetItemHeight);
  b.Prop("ItemIndex", &TCustomComboBox::ItemIndex, &TCustomComboBox::SetItemIndex).Default(-1);
  b.Prop("MaxLength", &TCustomComboBox::MaxLength, &TCustomComboBox::SetMaxLength).Default(0);
  b.Prop("ParentColor", &TControl::ParentColor, &TControl::SetParentColor).Default(false);
  b.Prop("Sorted", &TCustomComboBox::Sorted, &TCustomComboBox::SetSorted).Default(false);
  b.Prop("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(true);
  b.Prop("Items", &TCustomComboBox::Items, &TCustomComboBox::SetItems);
  k58::forms::PublishWindowedEvents(b);
  b.Prop("OnChange", &TCustomComboBox::OnChange, &TCustomComboBox::SetOnChange);
  b.Prop("OnCloseUp", &TCustomComboBox::OnCloseUp, &TCustomComboBox::SetOnCloseUp);
  b.Prop("OnDrawItem", &TCustomComboBox::OnDrawItem, &TCustomComboBox::SetOnDrawItem);
  b.Prop("OnDropDown", &TCustomComboBox::OnDropDown, &TCustomComboBox::SetOnDropDown);
  b.Prop("OnMeasureItem", &TCustomComboBox::OnMeasureItem, &TCustomComboBox::SetOnMeasureItem);
  b.Prop("OnSelect", &TCustomComboBox::OnSelect, &TCustomComboBox::SetOnSelect);
}

K58_IMPLEMENT_CLASS(TScrollBar) {
  PublishControl(b, {"Align", "Anchors", "Constraints", "Ctl3D", "DragCursor", "DragKind", "DragMode", "Enabled",
                     "ParentCtl3D", "ParentShowHint", "PopupMenu", "ShowHint", "TabOrder", "Visible",
                     "OnContextPopup"});
  b.Prop("Kind", &TScrollBar::Kind, &TScrollBar::SetKind).Default(sbHorizontal);
  b.Prop("LargeChange", &TScrollBar::LargeChange, &TScrollBar::SetLargeChange).Type("TScrollBarInc").Default(1);
  b.Prop("Max", &TScrollBar::Max, &TScrollBar::SetMax).Default(100);
  b.Prop("Min", &TScrollBar::Min, &TScrollBar::SetMin).Default(0);
  b.Prop("PageSize", &TScrollBar::PageSize, &TScrollBar::SetPageSize).Default(0);
  b.Prop("Position", &TScrollBar::Position, &TScrollBar::SetPosition).Default(0);
  b.Prop("SmallChange", &TScrollBar::SmallChange, &TScrollBar::SetSmallChange).Type("TScrollBarInc").Default(1);
  b.Prop("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(true);
  k58::forms::PublishWindowedEvents(b);
  b.Prop("OnChange", &TScrollBar::OnChange, &TScrollBar::SetOnChange);
  b.Prop("OnScroll", &TScrollBar::OnScroll, &TScrollBar::SetOnScroll);
}
