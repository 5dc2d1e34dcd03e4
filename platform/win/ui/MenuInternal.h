// Internal state of menus: the menu objects behind HMENU handles, their layout, the menu loop, and the
// pieces shared by the menu files and MDI. Not for use outside platform/win/ui.
#pragma once

#include <string>
#include <vector>

#include "platform/win/ui/MenuApi.h"
#include "platform/win/ui/UiInternal.h"

namespace k58::winui::menus {

struct MenuItem {
  UINT Type = MFT_STRING;  // MFT_* bits
  UINT State = 0;          // MF_GRAYED, MF_DISABLED, MFS_CHECKED, MFS_HILITE, MFS_DEFAULT
  UINT Id = 0;
  HMENU Sub = nullptr;
  std::string Text;
  HBITMAP Bitmap = nullptr;  // MFT_BITMAP's picture or hbmpItem
  HBITMAP CheckedBmp = nullptr;
  HBITMAP UncheckedBmp = nullptr;
  ULONG_PTR Data = 0;
  // Commands of the item go as WM_SYSCOMMAND to this window (the merged buttons of a maximised MDI child).
  HWND SysTarget = nullptr;
  // Layout
  bool Measured = false;  // owner-drawn: WM_MEASUREITEM answered
  SIZE OwnerSize{};
  RECT Rect{};  // bar: relative to the bar's top-left corner; popup: client coordinates of the popup
};

struct Menu {
  bool Bar = false;  // made by CreateMenu
  std::vector<MenuItem> Items;
  HWND SysWindow = nullptr;    // the window whose system menu this is
  HWND BarWindow = nullptr;    // the window showing it as its menu bar
  HWND PopupWindow = nullptr;  // the open popup window showing it
  int BarWidth = -1;           // width of the last bar layout
  int BarHeight = 0;
  SIZE PopupSize{};  // client size of the last popup layout
};

// The menu of a handle (null when it is none or was destroyed).
Menu* Find(HMENU Handle);
// Item at a position (MF_BYPOSITION) or with a command id, looked for in submenus too; Owner gets the
// menu holding it. Null when there is none.
MenuItem* Locate(HMENU Handle, UINT Item, UINT Flags, HMENU* Owner = nullptr, int* Index = nullptr);
bool IsSeparator(const MenuItem& I);
bool IsEnabled(const MenuItem& I);
// The character after the item's single "&" (lower case for ASCII), 0 when it has none.
char32_t Mnemonic(const MenuItem& I);

// ---- layout and painting (MenuDraw.cpp) ----------------------------------------------------------------
HFONT MenuFont();
// Lays the bar out for a bar of Width pixels (WM_MEASUREITEM to Window for owner-drawn items); answers
// its height.
int LayoutBar(HWND Window, HMENU Handle, int Width);
// Lays a popup out (WM_MEASUREITEM to Owner); answers the client size.
SIZE LayoutPopup(HWND Owner, HMENU Handle);
void PaintBar(HWND Window, HMENU Handle, HDC Dc, const RECT& Bar);
// Repaints one bar item now (Hot: the mouse is over it outside the menu loop).
void RepaintBarItem(HWND Window, HMENU Handle, int Index);
// Paints popup items meeting Area (client coordinates) into a DC of the popup's client area.
void PaintPopup(HWND Popup, HWND Owner, HMENU Handle, HDC Dc, const RECT& Area, UINT Action);
// The bar's rectangle on the screen (false when Window shows no bar).
bool BarScreenRect(HWND Window, RECT& Rect);
int HotBarItem(HWND Window);
void SetHotBarItem(HWND Window, int Index);

// ---- popup windows and the menu loop (MenuLoop.cpp) ------------------------------------------------------
void RegisterPopupClass();
bool InMenuLoop();
// Starts the loop on Window's menu bar: with the item at Index selected (-1: the first), its popup open
// when Open; ByMouse for a click on the bar.
void TrackBar(HWND Window, int Index, bool Open, bool ByMouse);
// Opens the system menu of Window as a popup below its system icon (or at Where).
void TrackSystemMenu(HWND Window, bool ByMouse);
// The window receiving the notifications of the running loop (null outside it).
HWND LoopOwner();

// ---- system menus (MenuData.cpp) -------------------------------------------------------------------------
// Enables and disables the system menu's commands after the window's state.
void UpdateSystemMenu(HWND Window, HMENU SysMenu);
bool IsSystemMenu(HMENU Handle);
// Drops the window's system menu copy (the window is going away).
void ForgetWindow(HWND Window);
HWND SystemMenuWindow(HMENU Handle);

// The default handling of the menu messages (a DefWindowProc hook, MenuLoop.cpp).
bool MenuDefProc(HWND Hwnd, UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT& Result);

// Installs the menu bar provider and the DefWindowProc hook (idempotent).
void EnsureMenus();

}  // namespace k58::winui::menus
