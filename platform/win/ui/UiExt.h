// What the parts built on the window layer plug into it (menus, MDI, dialogs, message boxes): hooks
// ahead of DefWindowProc, the menu bar in the non-client area, and the modal message loop.
#pragma once

#include <functional>
#include <vector>

#include "platform/rtl/WinTypes.h"
#include "platform/win/core/WinUser.h"

namespace k58::winui {

// A hook that handles a message before the layer's default handling in DefWindowProc; answers true
// (with Result set) when it handled the message. Hooks run latest added first.
using DefWindowProcHook = bool (*)(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT& Result);
void AddDefWindowProcHook(DefWindowProcHook Hook);
void RemoveDefWindowProcHook(DefWindowProcHook Hook);

// The menu bar of a top-level window (one whose menu handle, GetWindowLongPtr(GWLP_ID), is not null)
// sits below the caption; the provider decides its height and paints it. A press on it arrives as
// WM_NCLBUTTONDOWN with HTMENU, which DefWindowProc turns into WM_SYSCOMMAND SC_MOUSEMENU + HTMENU
// (SC_MOUSEMENU + HTSYSMENU for the caption's system-menu square); Alt or F10 come as WM_SYSCOMMAND
// SC_KEYMENU (lParam: the character of Alt+letter). A DefWindowProcHook takes them.
class MenuBarProvider {
public:
  virtual ~MenuBarProvider() = default;
  // Height of the bar of Menu for a window of the given width (0: no bar).
  virtual int MenuBarHeight(HWND Window, HMENU Menu, int Width) = 0;
  // Paints the bar; Bar is in window coordinates, Dc a window DC.
  virtual void PaintMenuBar(HWND Window, HMENU Menu, HDC Dc, const RECT& Bar) = 0;
};
void SetMenuBarProvider(MenuBarProvider* Provider);
// The bar's rectangle in window coordinates (false when the window shows no bar).
bool GetMenuBarRect(HWND Window, RECT& Bar);
// Repaints the non-client area after the bar's contents or height changed.
void MenuBarChanged(HWND Window);

// The next WM_NCACTIVATE(FALSE) the layer would send to Window is not delivered, so its caption stays
// active (a popup that takes the focus from its owner form). Swallow false withdraws the request.
void SwallowNextNcDeactivate(HWND Window, bool Swallow = true);

// Runs a modal message loop for Window: Owner (when given) is disabled for the duration, Window
// shown and activated; messages are retrieved, translated and dispatched until Done answers true,
// Window is destroyed, or WM_QUIT arrives (posted again, so that the outer loop ends too). The owner is
// enabled again and activated before the call returns. Answers false when WM_QUIT ended the loop.
bool RunModalLoop(HWND Window, HWND Owner, const std::function<bool()>& Done);
// How many modal loops are running on this thread.
int ModalDepth();

// Registers a cursor under a name, so that LoadCursor(Instance, Name) finds it (cursor resources of
// the program). The layer keeps the cursor for the process's lifetime.
void RegisterCursorResource(HINSTANCE Instance, LPCSTR Name, HCURSOR Cursor);

// What a cursor looks like, for a display back-end: a standard cursor (StandardId = the IDC_ number)
// or a shape of Width x Height pixels with masks of one byte per pixel (And 1: screen shows through;
// Xor 1: inverted or white).
struct CursorShape {
  WORD StandardId = 0;
  int Width = 0;
  int Height = 0;
  POINT Hotspot;
  std::vector<BYTE> And;
  std::vector<BYTE> Xor;
  std::vector<DWORD> Color;  // 0x00RRGGBB per pixel for colour cursors, else empty
};
bool GetCursorShape(HCURSOR Cursor, CursorShape& Shape);

}  // namespace k58::winui
