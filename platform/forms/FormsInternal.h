// What the forms need of the window system's menus and multiple-document windows, in one place: the
// menu bar of a form, owner-drawn menu items, the MDI client window and the default procedures of MDI
// frames and children.
#pragma once

#include "platform/forms/Forms.h"
#include "platform/forms/Menus.h"

namespace k58::forms {

// Shows Bar (null: none) as the form's menu bar.
void SetWindowMenuBar(TCustomForm* Form, HMENU Bar);
// Redraws the menu bar of a window after its items changed.
void RedrawMenuBar(HWND Window);

// The MDI client window of a frame, with the frame's "Window" submenu for the list of children; null
// when the window system offers none.
HWND CreateMDIClientWindow(HWND Frame, const TRect& Rect, HMENU WindowMenu);
// A child window in the MDI client.
HWND CreateMDIChildWindow(HWND Client, const TCreateParams& Params);
LRESULT DefFrameProcFor(HWND Frame, HWND Client, UINT Msg, WPARAM WParam, LPARAM LParam);
LRESULT DefMDIChildProcFor(HWND Child, UINT Msg, WPARAM WParam, LPARAM LParam);
// Gives the MDI client the frame's menu and its "Window" submenu.
void SetMDIMenu(HWND Client, HMENU Bar, HMENU WindowMenu);

// Owner-drawn menu items of the form's menus (WM_DRAWITEM / WM_MEASUREITEM for menus); false when the
// message is not about a menu item.
bool MenuDrawItem(TCustomForm* Form, TWMDrawItem& Message);
bool MenuMeasureItem(TCustomForm* Form, TWMMeasureItem& Message);
bool PopupMenuDrawItem(TPopupMenu* Menu, TMessage& Message);
bool PopupMenuMeasureItem(TPopupMenu* Menu, TMessage& Message);

}  // namespace k58::forms

namespace k58::forms {

// One item of a window-system menu as the menus build it.
struct NativeMenuItem {
  String Text;             // caption, then a tab and the short cut's text
  UINT Id = 0;             // command number (items without a submenu)
  HMENU SubMenu = nullptr;
  bool Separator = false;
  bool Checked = false;
  bool RadioCheck = false;
  bool Enabled = true;
  bool Default = false;
  bool OwnerDraw = false;
  TMenuBreak Break = mbNone;
  ULONG_PTR Data = 0;      // the TMenuItem
};

HMENU NativeCreateMenu(bool Popup);
void NativeDestroyMenu(HMENU Menu);
// Takes every item out of the menu, leaving their submenus alone.
void NativeClearMenu(HMENU Menu);
void NativeAppendItem(HMENU Menu, const NativeMenuItem& Item);
// Shows a popup menu at the screen point and runs the menu loop; the command is posted to Owner.
void NativeTrackPopupMenu(HMENU Menu, UINT Flags, Integer X, Integer Y, HWND Owner);

}  // namespace k58::forms
