// The multiple-document interface with the standard names, types and numbers: a frame window holds an
// "MDICLIENT" window (created with a CLIENTCREATESTRUCT), whose children are the documents (extended
// style WS_EX_MDICHILD).
//
// The client keeps one active child: activation sends WM_NCACTIVATE and WM_MDIACTIVATE (wParam the child
// losing, lParam the child gaining activation) to both children, WM_CHILDACTIVATE to the new one, and
// moves the focus into it. A maximised child has no frame of its own inside the client: its system menu
// and its minimise, restore and close buttons are merged into the frame's menu bar, and its title is
// shown in the frame's caption ("Frame - [Child]"). The "Window" menu (hWindowMenu) lists the visible
// children after a separator, numbered "&1 Title" ... with ids from idFirstChild in creation order, the
// active one checked (the first nine children).
//
// The frame's procedure passes unhandled messages to DefFrameProc, a child's to DefMDIChildProc; a message
// loop gives keys to TranslateMDISysAccel (Ctrl+F4 closes, Ctrl+F6 and Ctrl+Tab move to the next child).
#pragma once

#include "platform/rtl/WinTypes.h"
#include "platform/win/core/WinUser.h"

inline constexpr char MDICLIENT_CLASS[] = "MDICLIENT";

// Styles of the MDI client
inline constexpr DWORD MDIS_ALLCHILDSTYLES = 0x0001;

// WM_MDITILE flags
inline constexpr UINT MDITILE_VERTICAL = 0x0000;
inline constexpr UINT MDITILE_HORIZONTAL = 0x0001;
inline constexpr UINT MDITILE_SKIPDISABLED = 0x0002;
inline constexpr UINT MDITILE_ZORDER = 0x0004;

// lpParam of CreateWindowEx for the "MDICLIENT" window.
struct CLIENTCREATESTRUCT {
  HANDLE hWindowMenu = nullptr;  // the HMENU of the frame's "Window" menu (may be null)
  UINT idFirstChild = 0;
};
using LPCLIENTCREATESTRUCT = CLIENTCREATESTRUCT*;

// lParam of WM_MDICREATE; a child's WM_CREATE carries it in CREATESTRUCT::lpCreateParams.
struct MDICREATESTRUCTA {
  LPCSTR szClass = nullptr;
  LPCSTR szTitle = nullptr;
  HANDLE hOwner = nullptr;
  int x = 0;
  int y = 0;
  int cx = 0;
  int cy = 0;
  DWORD style = 0;
  LPARAM lParam = 0;
};
using MDICREATESTRUCT = MDICREATESTRUCTA;
using LPMDICREATESTRUCT = MDICREATESTRUCT*;

// Creates a child of the client hWndParent (as WM_MDICREATE does); CW_USEDEFAULT places it on the next
// cascade step and gives it a default size.
HWND CreateMDIWindow(LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X, int Y, int nWidth,
                     int nHeight, HWND hWndParent, HINSTANCE hInstance, LPARAM lParam);
inline HWND CreateMDIWindowA(LPCSTR c, LPCSTR n, DWORD s, int x, int y, int w, int h, HWND p, HINSTANCE i,
                             LPARAM l) {
  return CreateMDIWindow(c, n, s, x, y, w, h, p, i, l);
}

// Default handling of the frame's messages; hWndMDIClient is its "MDICLIENT" window (may be null).
// WM_COMMAND ids of the Window menu's list activate that child; other commands go to the active child;
// WM_SIZE sizes the client to the frame's client area; WM_SETFOCUS gives the focus to the client; system
// commands with a maximised child go to it when they came from its merged buttons.
LRESULT DefFrameProc(HWND hWnd, HWND hWndMDIClient, UINT uMsg, WPARAM wParam, LPARAM lParam);
inline LRESULT DefFrameProcA(HWND h, HWND c, UINT m, WPARAM w, LPARAM l) { return DefFrameProc(h, c, m, w, l); }
// Default handling of a child's messages: activation on click and focus, maximising, minimising and
// restoring inside the client, closing (SC_CLOSE sends WM_CLOSE; WM_CLOSE destroys through the client),
// the next-window commands, and the title shown in the frame while maximised.
LRESULT DefMDIChildProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
inline LRESULT DefMDIChildProcA(HWND h, UINT m, WPARAM w, LPARAM l) { return DefMDIChildProc(h, m, w, l); }
// Ctrl+F4, Ctrl+F6, Ctrl+Shift+F6 and Ctrl+Tab as WM_SYSCOMMAND to the active child; answers TRUE when
// the key was one of them.
BOOL TranslateMDISysAccel(HWND hWndClient, LPMSG lpMsg);
