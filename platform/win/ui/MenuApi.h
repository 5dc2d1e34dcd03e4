// Menus and accelerators with the standard names, types and numbers: menu objects and their items,
// the menu bar of a top-level window, the system menu, popup menus tracked by TrackPopupMenu(Ex), and
// accelerator tables.
//
// A menu is an object of the GUI thread: a list of items, each a string, a bitmap, a separator or an
// owner-drawn item, with an id or a submenu, a state (checked, grayed, disabled, default, hilited) and
// item data. A menu given to SetMenu (or to CreateWindowEx's hMenu for a top-level window) shows as the
// window's menu bar below the caption. Open popup menus are windows of class "#32768" (MENU_CLASS);
// their window procedure may be replaced, and MN_GETHMENU answers the menu they show.
//
// Owner drawing: for an item of type MFT_OWNERDRAW the owner window gets WM_MEASUREITEM once before the
// menu is first laid out (again after the item changed), then WM_DRAWITEM (ODT_MENU, hwndItem = the
// HMENU) whenever the item is painted. Bar items' rectangles are in window coordinates of the bar's
// window (origin at its outer top-left corner); popup items' rectangles are in the client coordinates of
// the popup window, whose DC is passed. A popup item's rectangle starts 4 pixels right of the popup's
// client edge, so that the strip left of it is part of what the DC paints. The menu draws the submenu
// arrow after the owner draw. Popup windows keep a 3-pixel frame (a 1-pixel border and a 2-pixel gap) in
// their non-client area.
//
// The menu loop (a click on the bar, Alt or F10, Alt with a mnemonic, TrackPopupMenu) sends the owner
// WM_ENTERMENULOOP, WM_INITMENU, then for each popup that opens WM_INITMENUPOPUP before it shows and
// WM_UNINITMENUPOPUP when it closes, WM_MENUSELECT on every selection change (and with flags 0xFFFF and
// no menu when the loop ends), WM_MENUCHAR for a key that is no mnemonic, and WM_EXITMENULOOP. The chosen
// command is posted after the loop: WM_COMMAND (wParam id), or WM_SYSCOMMAND for items of a system menu.
#pragma once

#include "platform/rtl/WinTypes.h"
#include "platform/win/core/WinUser.h"

// ---- Item flags of AppendMenu/InsertMenu/ModifyMenu and GetMenuState -------------------------------------
inline constexpr UINT MF_INSERT = 0x00000000;
inline constexpr UINT MF_CHANGE = 0x00000080;
inline constexpr UINT MF_APPEND = 0x00000100;
inline constexpr UINT MF_DELETE = 0x00000200;
inline constexpr UINT MF_REMOVE = 0x00001000;
inline constexpr UINT MF_BYCOMMAND = 0x00000000;
inline constexpr UINT MF_BYPOSITION = 0x00000400;
inline constexpr UINT MF_SEPARATOR = 0x00000800;
inline constexpr UINT MF_ENABLED = 0x00000000;
inline constexpr UINT MF_GRAYED = 0x00000001;
inline constexpr UINT MF_DISABLED = 0x00000002;
inline constexpr UINT MF_UNCHECKED = 0x00000000;
inline constexpr UINT MF_CHECKED = 0x00000008;
inline constexpr UINT MF_USECHECKBITMAPS = 0x00000200;
inline constexpr UINT MF_STRING = 0x00000000;
inline constexpr UINT MF_BITMAP = 0x00000004;
inline constexpr UINT MF_OWNERDRAW = 0x00000100;
inline constexpr UINT MF_POPUP = 0x00000010;
inline constexpr UINT MF_MENUBARBREAK = 0x00000020;
inline constexpr UINT MF_MENUBREAK = 0x00000040;
inline constexpr UINT MF_UNHILITE = 0x00000000;
inline constexpr UINT MF_HILITE = 0x00000080;
inline constexpr UINT MF_DEFAULT = 0x00001000;
inline constexpr UINT MF_SYSMENU = 0x00002000;
inline constexpr UINT MF_HELP = 0x00004000;
inline constexpr UINT MF_RIGHTJUSTIFY = 0x00004000;
inline constexpr UINT MF_MOUSESELECT = 0x00008000;

// ---- MENUITEMINFO types, states and masks ---------------------------------------------------------------
inline constexpr UINT MFT_STRING = MF_STRING;
inline constexpr UINT MFT_BITMAP = MF_BITMAP;
inline constexpr UINT MFT_MENUBARBREAK = MF_MENUBARBREAK;
inline constexpr UINT MFT_MENUBREAK = MF_MENUBREAK;
inline constexpr UINT MFT_OWNERDRAW = MF_OWNERDRAW;
inline constexpr UINT MFT_RADIOCHECK = 0x00000200;
inline constexpr UINT MFT_SEPARATOR = MF_SEPARATOR;
inline constexpr UINT MFT_RIGHTORDER = 0x00002000;
inline constexpr UINT MFT_RIGHTJUSTIFY = MF_RIGHTJUSTIFY;

inline constexpr UINT MFS_GRAYED = 0x00000003;
inline constexpr UINT MFS_DISABLED = MFS_GRAYED;
inline constexpr UINT MFS_CHECKED = MF_CHECKED;
inline constexpr UINT MFS_HILITE = MF_HILITE;
inline constexpr UINT MFS_ENABLED = MF_ENABLED;
inline constexpr UINT MFS_UNCHECKED = MF_UNCHECKED;
inline constexpr UINT MFS_UNHILITE = MF_UNHILITE;
inline constexpr UINT MFS_DEFAULT = MF_DEFAULT;

inline constexpr UINT MIIM_STATE = 0x00000001;
inline constexpr UINT MIIM_ID = 0x00000002;
inline constexpr UINT MIIM_SUBMENU = 0x00000004;
inline constexpr UINT MIIM_CHECKMARKS = 0x00000008;
inline constexpr UINT MIIM_TYPE = 0x00000010;
inline constexpr UINT MIIM_DATA = 0x00000020;
inline constexpr UINT MIIM_STRING = 0x00000040;
inline constexpr UINT MIIM_BITMAP = 0x00000080;
inline constexpr UINT MIIM_FTYPE = 0x00000100;

// Predefined item bitmaps (hbmpItem, or the "new item" of MF_BITMAP): the system menu of a maximised MDI
// child and its caption buttons merged into the frame's menu bar.
#define HBMMENU_CALLBACK (reinterpret_cast<HBITMAP>(static_cast<intptr_t>(-1)))
#define HBMMENU_SYSTEM (reinterpret_cast<HBITMAP>(static_cast<intptr_t>(1)))
#define HBMMENU_MBAR_RESTORE (reinterpret_cast<HBITMAP>(static_cast<intptr_t>(2)))
#define HBMMENU_MBAR_MINIMIZE (reinterpret_cast<HBITMAP>(static_cast<intptr_t>(3)))
#define HBMMENU_MBAR_CLOSE (reinterpret_cast<HBITMAP>(static_cast<intptr_t>(5)))
#define HBMMENU_MBAR_CLOSE_D (reinterpret_cast<HBITMAP>(static_cast<intptr_t>(6)))
#define HBMMENU_MBAR_MINIMIZE_D (reinterpret_cast<HBITMAP>(static_cast<intptr_t>(7)))

struct MENUITEMINFOA {
  UINT cbSize = sizeof(MENUITEMINFOA);
  UINT fMask = 0;
  UINT fType = 0;
  UINT fState = 0;
  UINT wID = 0;
  HMENU hSubMenu = nullptr;
  HBITMAP hbmpChecked = nullptr;
  HBITMAP hbmpUnchecked = nullptr;
  ULONG_PTR dwItemData = 0;
  LPSTR dwTypeData = nullptr;  // the text (UTF-8); with MFT_BITMAP the bitmap's handle
  UINT cch = 0;                // buffer size in bytes on input of GetMenuItemInfo; the text's length on output
  HBITMAP hbmpItem = nullptr;
};
using MENUITEMINFO = MENUITEMINFOA;
using LPMENUITEMINFOA = MENUITEMINFOA*;
using LPMENUITEMINFO = MENUITEMINFO*;
using LPCMENUITEMINFOA = const MENUITEMINFOA*;
using LPCMENUITEMINFO = const MENUITEMINFO*;

// ---- Popup menus -------------------------------------------------------------------------------------
inline constexpr char MENU_CLASS[] = "#32768";

inline constexpr UINT TPM_LEFTBUTTON = 0x0000;
inline constexpr UINT TPM_RIGHTBUTTON = 0x0002;
inline constexpr UINT TPM_LEFTALIGN = 0x0000;
inline constexpr UINT TPM_CENTERALIGN = 0x0004;
inline constexpr UINT TPM_RIGHTALIGN = 0x0008;
inline constexpr UINT TPM_TOPALIGN = 0x0000;
inline constexpr UINT TPM_VCENTERALIGN = 0x0010;
inline constexpr UINT TPM_BOTTOMALIGN = 0x0020;
inline constexpr UINT TPM_HORIZONTAL = 0x0000;
inline constexpr UINT TPM_VERTICAL = 0x0040;
inline constexpr UINT TPM_NONOTIFY = 0x0080;
inline constexpr UINT TPM_RETURNCMD = 0x0100;
inline constexpr UINT TPM_RECURSE = 0x0001;
inline constexpr UINT TPM_HORPOSANIMATION = 0x0400;
inline constexpr UINT TPM_HORNEGANIMATION = 0x0800;
inline constexpr UINT TPM_VERPOSANIMATION = 0x1000;
inline constexpr UINT TPM_VERNEGANIMATION = 0x2000;
inline constexpr UINT TPM_NOANIMATION = 0x4000;
inline constexpr UINT TPM_LAYOUTRTL = 0x8000;

struct TPMPARAMS {
  UINT cbSize = sizeof(TPMPARAMS);
  RECT rcExclude;  // screen coordinates: the popup avoids covering it
};
using LPTPMPARAMS = TPMPARAMS*;

// WM_MENUCHAR answers (high word; the low word is the item's position)
inline constexpr WORD MNC_IGNORE = 0;
inline constexpr WORD MNC_CLOSE = 1;
inline constexpr WORD MNC_EXECUTE = 2;
inline constexpr WORD MNC_SELECT = 3;
inline LRESULT MAKELRESULT(WORD Low, WORD High) { return static_cast<LRESULT>(MAKELONG(Low, High)); }

// Last-error codes of the menu calls
inline constexpr DWORD ERROR_INVALID_MENU_HANDLE = 1401;
inline constexpr DWORD ERROR_MENU_ITEM_NOT_FOUND = 1456;

// GetMenuDefaultItem flags (accepted; a disabled default item is answered as well)
inline constexpr UINT GMDI_USEDISABLED = 0x0001;
inline constexpr UINT GMDI_GOINTOPOPUPS = 0x0002;

// ---- Menus and items ----------------------------------------------------------------------------------
// A menu bar (CreateMenu) lays its items out in a row; a popup menu (CreatePopupMenu) in a column.
HMENU CreateMenu();
HMENU CreatePopupMenu();
// Destroys the menu and its submenus.
BOOL DestroyMenu(HMENU hMenu);
BOOL IsMenu(HMENU hMenu);

// uFlags: MF_BYCOMMAND or MF_BYPOSITION for uPosition; the kind (MF_STRING, MF_BITMAP, MF_OWNERDRAW,
// MF_SEPARATOR), MF_POPUP (uIDNewItem is then the submenu's HMENU), states and breaks. lpNewItem is the
// text (UTF-8), the HBITMAP (MF_BITMAP) or the item data (MF_OWNERDRAW). By command, the item is looked
// for in the submenus too. An item position past the end (or -1) appends.
BOOL AppendMenu(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem);
BOOL InsertMenu(HMENU hMenu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem);
BOOL ModifyMenu(HMENU hMnu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem);
// Takes the item out; its submenu is kept (RemoveMenu) or destroyed (DeleteMenu).
BOOL RemoveMenu(HMENU hMenu, UINT uPosition, UINT uFlags);
BOOL DeleteMenu(HMENU hMenu, UINT uPosition, UINT uFlags);
BOOL InsertMenuItem(HMENU hmenu, UINT item, BOOL fByPosition, LPCMENUITEMINFO lpmi);
BOOL SetMenuItemInfo(HMENU hmenu, UINT item, BOOL fByPositon, LPCMENUITEMINFO lpmii);
BOOL GetMenuItemInfo(HMENU hmenu, UINT item, BOOL fByPosition, LPMENUITEMINFO lpmii);
BOOL SetMenuItemBitmaps(HMENU hMenu, UINT uPosition, UINT uFlags, HBITMAP hBitmapUnchecked,
                        HBITMAP hBitmapChecked);

// -1 for a handle that is no menu.
int GetMenuItemCount(HMENU hMenu);
// The id of the item at nPos; -1 (as UINT) for an item with a submenu or a bad position.
UINT GetMenuItemID(HMENU hMenu, int nPos);
HMENU GetSubMenu(HMENU hMenu, int nPos);
// MF_* flags of the item (for an item with a submenu the high byte holds the submenu's item count);
// -1 (as UINT) when there is no such item.
UINT GetMenuState(HMENU hMenu, UINT uId, UINT uFlags);
// Copies the text (at most cchMax - 1 bytes and a terminating zero) and answers its length in bytes;
// lpString null answers the length only.
int GetMenuString(HMENU hMenu, UINT uIDItem, LPSTR lpString, int cchMax, UINT flags);
// Answer the previous state (MF_CHECKED or MF_UNCHECKED; MF_ENABLED, MF_GRAYED or MF_DISABLED), -1 when
// there is no such item.
DWORD CheckMenuItem(HMENU hMenu, UINT uIDCheckItem, UINT uCheck);
BOOL EnableMenuItem(HMENU hMenu, UINT uIDEnableItem, UINT uEnable);
// Checks idCheck with a radio mark (MFT_RADIOCHECK) and unchecks the others of idFirst..idLast.
BOOL CheckMenuRadioItem(HMENU hmenu, UINT first, UINT last, UINT check, UINT flags);
BOOL HiliteMenuItem(HWND hWnd, HMENU hMenu, UINT uIDHiliteItem, UINT uHilite);
// uItem -1 clears the default item.
BOOL SetMenuDefaultItem(HMENU hMenu, UINT uItem, UINT fByPos);
UINT GetMenuDefaultItem(HMENU hMenu, UINT fByPos, UINT gmdiFlags);

// ---- Menu bars -------------------------------------------------------------------------------------------
// Gives a top-level window its menu bar (null removes it); the window's frame is recalculated. The
// menu bar a window has when it is destroyed is destroyed with it.
BOOL SetMenu(HWND hWnd, HMENU hMenu);
HMENU GetMenu(HWND hWnd);
// Lays out and repaints the menu bar after its items changed.
BOOL DrawMenuBar(HWND hWnd);
// The item's rectangle in screen coordinates, for an item of a menu bar (hWnd may be null: the window
// showing the bar) or of an open popup menu.
BOOL GetMenuItemRect(HWND hWnd, HMENU hMenu, UINT uItem, LPRECT lprcItem);
// The position of the item under a screen point, -1 when there is none.
int MenuItemFromPoint(HWND hWnd, HMENU hMenu, POINT ptScreen);
// The window's copy of the system menu, made on first use (bRevert TRUE drops the copy; answers null).
HMENU GetSystemMenu(HWND hWnd, BOOL bRevert);

// ---- Popup menus -----------------------------------------------------------------------------------------
// Shows hMenu at (x, y) (screen coordinates, aligned by the TPM_ flags) and runs the menu loop until a
// command is chosen or the menu is cancelled. With TPM_RETURNCMD the command's id is answered (0 when
// cancelled) and nothing is posted; otherwise WM_COMMAND is posted to hWnd and TRUE answered. With
// TPM_NONOTIFY no notification messages reach hWnd. Fails while another menu loop runs (unless
// TPM_RECURSE).
BOOL TrackPopupMenu(HMENU hMenu, UINT uFlags, int x, int y, int nReserved, HWND hWnd, const RECT* prcRect);
BOOL TrackPopupMenuEx(HMENU hMenu, UINT uFlags, int x, int y, HWND hwnd, LPTPMPARAMS lptpm);
// Ends the menu loop of the calling thread (cancelled).
BOOL EndMenu();

// ---- Accelerators ----------------------------------------------------------------------------------------
struct HACCEL__;
using HACCEL = HACCEL__*;

inline constexpr BYTE FVIRTKEY = 0x01;  // key is a virtual key; otherwise a character
inline constexpr BYTE FNOINVERT = 0x02;
inline constexpr BYTE FSHIFT = 0x04;
inline constexpr BYTE FCONTROL = 0x08;
inline constexpr BYTE FALT = 0x10;

struct ACCEL {
  BYTE fVirt = 0;
  WORD key = 0;
  WORD cmd = 0;
};
using LPACCEL = ACCEL*;

HACCEL CreateAcceleratorTable(LPACCEL paccel, int cAccel);
BOOL DestroyAcceleratorTable(HACCEL hAccel);
// Copies up to cAccelEntries entries; with lpAccelDst null answers the number of entries.
int CopyAcceleratorTable(HACCEL hAccelSrc, LPACCEL lpAccelDst, int cAccelEntries);
// For WM_KEYDOWN/WM_SYSKEYDOWN (virtual-key entries, with exactly the modifiers of the entry held) and
// WM_CHAR/WM_SYSCHAR (character entries): sends WM_COMMAND (wParam MAKEWPARAM(cmd, 1)) to hWnd and
// answers TRUE. An entry whose command is a grayed or disabled item of hWnd's menu bar sends nothing but
// still consumes the key. WM_INITMENU goes first when the window has a menu bar.
int TranslateAccelerator(HWND hWnd, HACCEL hAccTable, LPMSG lpMsg);

// ---- "A" names -------------------------------------------------------------------------------------------
inline BOOL AppendMenuA(HMENU m, UINT f, UINT_PTR id, LPCSTR s) { return AppendMenu(m, f, id, s); }
inline BOOL InsertMenuA(HMENU m, UINT p, UINT f, UINT_PTR id, LPCSTR s) { return InsertMenu(m, p, f, id, s); }
inline BOOL ModifyMenuA(HMENU m, UINT p, UINT f, UINT_PTR id, LPCSTR s) { return ModifyMenu(m, p, f, id, s); }
inline BOOL InsertMenuItemA(HMENU m, UINT i, BOOL b, LPCMENUITEMINFOA p) { return InsertMenuItem(m, i, b, p); }
inline BOOL SetMenuItemInfoA(HMENU m, UINT i, BOOL b, LPCMENUITEMINFOA p) { return SetMenuItemInfo(m, i, b, p); }
inline BOOL GetMenuItemInfoA(HMENU m, UINT i, BOOL b, LPMENUITEMINFOA p) { return GetMenuItemInfo(m, i, b, p); }
inline int GetMenuStringA(HMENU m, UINT i, LPSTR s, int n, UINT f) { return GetMenuString(m, i, s, n, f); }
inline HACCEL CreateAcceleratorTableA(LPACCEL a, int n) { return CreateAcceleratorTable(a, n); }
inline int CopyAcceleratorTableA(HACCEL h, LPACCEL a, int n) { return CopyAcceleratorTable(h, a, n); }
inline int TranslateAcceleratorA(HWND h, HACCEL a, LPMSG m) { return TranslateAccelerator(h, a, m); }
