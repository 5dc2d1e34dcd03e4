// Type information of the controls, forms, application and menus: their published properties with the
// class library's type names, and the registration of every class by name.
#include "platform/classes/ClassBuilder.h"
#include "platform/forms/ControlsPublish.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Hints.h"
#include "platform/forms/Menus.h"

// ---- Renamed scalar types ------------------------------------------------------------------------------------

const TTypeInfo* TBorderStyleTypeInfo() {
  static const TTypeInfo* info = MakeEnumTypeInfo("TBorderStyle", "bsNone, bsSingle", {0, 1});
  return info;
}

const TTypeInfo* TCursorTypeInfo() {
  static const TTypeInfo* info = [] {
    const TTypeInfo* t = AliasTypeInfo(TypeInfoOf<SmallInt>(), "TCursor");
    RegisterIntegerConsts(t, IdentToCursor, CursorToIdent);
    return t;
  }();
  return info;
}

const TTypeInfo* TModalResultTypeInfo() {
  static const TTypeInfo* info = AliasTypeInfo(TypeInfoOf<Integer>(), "TModalResult");
  return info;
}

const TTypeInfo* TTabOrderTypeInfo() {
  static const TTypeInfo* info = AliasTypeInfo(TypeInfoOf<Integer>(), "TTabOrder");
  return info;
}

const TTypeInfo* TBorderWidthTypeInfo() {
  static const TTypeInfo* info = AliasTypeInfo(TypeInfoOf<Integer>(), "TBorderWidth");
  return info;
}

const TTypeInfo* TShortCutTypeInfo() {
  static const TTypeInfo* info = AliasTypeInfo(TypeInfoOf<Word>(), "TShortCut");
  return info;
}

namespace {
const TTypeInfo* TImageIndexTypeInfo() {
  static const TTypeInfo* info = AliasTypeInfo(TypeInfoOf<Integer>(), "TImageIndex");
  return info;
}
}  // namespace

// ---- Controls ------------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TSizeConstraints) {
  b.Prop("MaxHeight", &TSizeConstraints::MaxHeight, &TSizeConstraints::SetMaxHeight).Type("TConstraintSize").Default(0);
  b.Prop("MaxWidth", &TSizeConstraints::MaxWidth, &TSizeConstraints::SetMaxWidth).Type("TConstraintSize").Default(0);
  b.Prop("MinHeight", &TSizeConstraints::MinHeight, &TSizeConstraints::SetMinHeight).Type("TConstraintSize").Default(0);
  b.Prop("MinWidth", &TSizeConstraints::MinWidth, &TSizeConstraints::SetMinWidth).Type("TConstraintSize").Default(0);
}

K58_IMPLEMENT_CLASS(TControl) {
  b.Prop("Left", &TControl::Left, &TControl::SetLeft);
  b.Prop("Top", &TControl::Top, &TControl::SetTop);
  b.Prop("Width", &TControl::Width, &TControl::SetWidth);
  b.Prop("Height", &TControl::Height, &TControl::SetHeight);
  b.Prop("Cursor", &TControl::Cursor, &TControl::SetCursor).Type(TCursorTypeInfo()).Default(crDefault);
  b.Prop("Hint", &TControl::Hint, &TControl::SetHint);
  b.Prop("HelpContext", &TControl::HelpContext, &TControl::SetHelpContext).Type("THelpContext").Default(0);
}

K58_IMPLEMENT_CLASS(TWinControl) {}

K58_IMPLEMENT_CLASS(TGraphicControl) {}

K58_IMPLEMENT_CLASS(TCustomControl) {}

K58_IMPLEMENT_CLASS(TControlCanvas) {}

K58_IMPLEMENT_CLASS(TDragImageList) {}

K58_IMPLEMENT_CLASS(TDragObject) {}

K58_IMPLEMENT_CLASS(TBaseDragControlObject) {}

K58_IMPLEMENT_CLASS(TDragControlObject) {}

K58_IMPLEMENT_CLASS(TDragDockObject) {}

K58_IMPLEMENT_CLASS(TMouse) {}

K58_IMPLEMENT_CLASS(THintWindow) {}

// ---- Forms ----------------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TControlScrollBar) {
  b.Prop("Increment", &TControlScrollBar::Increment, &TControlScrollBar::SetIncrement).Type("TScrollBarInc").Default(8);
  b.Prop("Margin", &TControlScrollBar::Margin, &TControlScrollBar::SetMargin).Default(0);
  b.Prop("Range", &TControlScrollBar::Range, &TControlScrollBar::SetRange).Default(0);
  b.Prop("Position", &TControlScrollBar::Position, &TControlScrollBar::SetPosition).Default(0);
  b.Prop("Tracking", &TControlScrollBar::Tracking, &TControlScrollBar::SetTracking).Default(false);
  b.Prop("Visible", &TControlScrollBar::Visible, &TControlScrollBar::SetVisible).Default(true);
}

K58_IMPLEMENT_CLASS(TScrollingWinControl) {}

K58_IMPLEMENT_CLASS(TCustomForm) {}

K58_IMPLEMENT_CLASS(TForm) {
  PublishControl(b, {"Align", "Anchors", "AutoSize", "BorderWidth", "Caption", "Color", "Constraints", "Ctl3D",
                     "DockSite", "DragKind", "DragMode", "Enabled", "Font", "ParentFont", "PopupMenu", "ShowHint",
                     "OnCanResize", "OnClick", "OnConstrainedResize", "OnContextPopup", "OnDblClick", "OnDockDrop",
                     "OnDockOver", "OnDragDrop", "OnDragOver", "OnEndDock", "OnKeyDown", "OnKeyPress", "OnKeyUp",
                     "OnMouseDown", "OnMouseMove", "OnMouseUp", "OnMouseWheel", "OnMouseWheelDown",
                     "OnMouseWheelUp", "OnResize", "OnStartDock", "OnUnDock"});
  b.Prop("ActiveControl", &TCustomForm::ActiveControl, &TCustomForm::SetActiveControl);
  b.Prop("AlphaBlend", &TCustomForm::AlphaBlend, &TCustomForm::SetAlphaBlend).Default(false);
  b.Prop("AlphaBlendValue", &TCustomForm::AlphaBlendValue, &TCustomForm::SetAlphaBlendValue).Default(255);
  b.Prop("AutoScroll", &TScrollingWinControl::AutoScroll, &TScrollingWinControl::SetAutoScroll).Default(true);
  b.Prop("BorderIcons", &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons)
      .Default(TBorderIcons{biSystemMenu, biMinimize, biMaximize});
  b.Prop("BorderStyle", &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle).Default(bsSizeable);
  b.Prop("ClientHeight", &TCustomForm::FormClientHeight, &TCustomForm::SetFormClientHeight)
      .Stored(&TCustomForm::IsClientSizeStored);
  b.Prop("ClientWidth", &TCustomForm::FormClientWidth, &TCustomForm::SetFormClientWidth)
      .Stored(&TCustomForm::IsClientSizeStored);
  b.Prop("DefaultMonitor", &TCustomForm::DefaultMonitor, &TCustomForm::SetDefaultMonitor).Default(dmActiveForm);
  b.Prop("FormStyle", &TCustomForm::FormStyle, &TCustomForm::SetFormStyle).Default(fsNormal);
  b.Prop("HorzScrollBar", &TScrollingWinControl::HorzScrollBar, &TScrollingWinControl::SetHorzScrollBar);
  b.Prop("Icon", &TCustomForm::Icon, &TCustomForm::SetIcon);
  b.Prop("KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview).Default(false);
  b.Prop("Menu", &TCustomForm::Menu, &TCustomForm::SetMenu);
  b.Prop("OldCreateOrder", &TCustomForm::OldCreateOrder, &TCustomForm::SetOldCreateOrder).Default(false);
  b.Prop("PixelsPerInch", &TCustomForm::PixelsPerInch, &TCustomForm::SetPixelsPerInch).Stored(false);
  b.Prop("Position", &TCustomForm::Position, &TCustomForm::SetPosition).Default(poDesigned);
  b.Prop("Scaled", &TCustomForm::Scaled, &TCustomForm::SetScaled).Default(true);
  b.Prop("TransparentColor", &TCustomForm::TransparentColor, &TCustomForm::SetTransparentColor).Default(false);
  b.Prop("TransparentColorValue", &TCustomForm::TransparentColorValue, &TCustomForm::SetTransparentColorValue)
      .Type(TColorTypeInfo())
      .Default(0);
  b.Prop("VertScrollBar", &TScrollingWinControl::VertScrollBar, &TScrollingWinControl::SetVertScrollBar);
  b.Prop("Visible", &TControl::Visible, &TControl::SetVisible).Default(false);
  b.Prop("WindowMenu", &TCustomForm::WindowMenu, &TCustomForm::SetWindowMenu);
  b.Prop("WindowState", &TCustomForm::WindowState, &TCustomForm::SetWindowState).Default(wsNormal);
  b.Prop("OnActivate", &TCustomForm::OnActivate, &TCustomForm::SetOnActivate);
  b.Prop("OnClose", &TCustomForm::OnClose, &TCustomForm::SetOnClose);
  b.Prop("OnCloseQuery", &TCustomForm::OnCloseQuery, &TCustomForm::SetOnCloseQuery);
  b.Prop("OnCreate", &TCustomForm::OnCreate, &TCustomForm::SetOnCreate);
  b.Prop("OnDeactivate", &TCustomForm::OnDeactivate, &TCustomForm::SetOnDeactivate);
  b.Prop("OnDestroy", &TCustomForm::OnDestroy, &TCustomForm::SetOnDestroy);
  b.Prop("OnHide", &TCustomForm::OnHide, &TCustomForm::SetOnHide);
  b.Prop("OnPaint", &TCustomForm::OnPaint, &TCustomForm::SetOnPaint);
  b.Prop("OnShortCut", &TCustomForm::OnShortCut, &TCustomForm::SetOnShortCut);
  b.Prop("OnShow", &TCustomForm::OnShow, &TCustomForm::SetOnShow);
}

K58_IMPLEMENT_CLASS(TDataModule) {
  b.Prop("OldCreateOrder", &TDataModule::OldCreateOrder, &TDataModule::SetOldCreateOrder).Default(false);
  b.Prop("OnCreate", &TDataModule::OnCreate, &TDataModule::SetOnCreate);
  b.Prop("OnDestroy", &TDataModule::OnDestroy, &TDataModule::SetOnDestroy);
}

K58_IMPLEMENT_CLASS(TMonitor) {}

K58_IMPLEMENT_CLASS(TScreen) {}

K58_IMPLEMENT_CLASS(TApplication) {}

// ---- Menus -----------------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TMenuItem) {
  b.Prop("AutoCheck", &TMenuItem::AutoCheck, &TMenuItem::SetAutoCheck).Default(false);
  b.Prop("Bitmap", &TMenuItem::Bitmap, &TMenuItem::SetBitmap).Stored(&TMenuItem::HasBitmap);
  b.Prop("Break", &TMenuItem::Break, &TMenuItem::SetBreak).Default(mbNone);
  b.Prop("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption).Type("TCaption");
  b.Prop("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked).Default(false);
  b.Prop("Default", &TMenuItem::Default, &TMenuItem::SetDefault).Default(false);
  b.Prop("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled).Default(true);
  b.Prop("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex).Default(0);
  b.Prop("HelpContext", &TMenuItem::HelpContext, &TMenuItem::SetHelpContext).Type("THelpContext").Default(0);
  b.Prop("Hint", &TMenuItem::Hint, &TMenuItem::SetHint);
  b.Prop("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex).Type(TImageIndexTypeInfo()).Default(-1);
  b.Prop("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem).Default(false);
  b.Prop("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut).Type(TShortCutTypeInfo()).Default(0);
  b.Prop("SubMenuImages", &TMenuItem::SubMenuImages, &TMenuItem::SetSubMenuImages);
  b.Prop("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible).Default(true);
  b.Prop("OnClick", &TMenuItem::OnClick, &TMenuItem::SetOnClick);
  b.Prop("OnDrawItem", &TMenuItem::OnDrawItem, &TMenuItem::SetOnDrawItem);
  b.Prop("OnAdvancedDrawItem", &TMenuItem::OnAdvancedDrawItem, &TMenuItem::SetOnAdvancedDrawItem);
  b.Prop("OnMeasureItem", &TMenuItem::OnMeasureItem, &TMenuItem::SetOnMeasureItem);
}

K58_IMPLEMENT_CLASS(TMenu) {
  b.Prop("Images", &TMenu::Images, &TMenu::SetImages);
  b.Prop("OwnerDraw", &TMenu::OwnerDraw, &TMenu::SetOwnerDraw).Default(false);
}

K58_IMPLEMENT_CLASS(TMainMenu) {
  b.Prop("AutoMerge", &TMainMenu::AutoMerge, &TMainMenu::SetAutoMerge).Default(false);
  b.Prop("OnChange", &TMenu::OnChange, &TMenu::SetOnChange);
}

K58_IMPLEMENT_CLASS(TPopupMenu) {
  b.Prop("Alignment", &TPopupMenu::Alignment, &TPopupMenu::SetAlignment).Default(paLeft);
  b.Prop("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup).Default(true);
  b.Prop("TrackButton", &TPopupMenu::TrackButton, &TPopupMenu::SetTrackButton).Default(tbRightButton);
  b.Prop("OnChange", &TMenu::OnChange, &TMenu::SetOnChange);
  b.Prop("OnPopup", &TPopupMenu::OnPopup, &TPopupMenu::SetOnPopup);
}
