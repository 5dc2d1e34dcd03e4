// The visual half of the window manager with the standard names, types and numbers: window geometry
// and the window tree, showing and placing windows, the painting cycle, non-client areas and standard
// scroll bars, mouse and keyboard input, focus and activation, caret, cursors and monitors.
//
// Coordinates: a top-level window's rectangle is in screen coordinates, a child's in the client
// coordinates of its parent. Functions that take points in screen coordinates say so.
#pragma once

#include "platform/rtl/WinTypes.h"
#include "platform/win/core/WinUser.h"
#include "platform/win/gdi/WinGdi.h"
#include "platform/win/gdi/WinUserGdi.h"

// ---- Resources named by number -------------------------------------------------------------------
inline LPCSTR MAKEINTRESOURCEA(WORD Id) { return reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(Id)); }
inline LPCSTR MAKEINTRESOURCE(WORD Id) { return MAKEINTRESOURCEA(Id); }
inline bool IS_INTRESOURCE(LPCSTR Name) { return (reinterpret_cast<uintptr_t>(Name) >> 16) == 0; }

// ---- Window positions ------------------------------------------------------------------------------
// WINDOWPOS flags the layer adds for WM_WINDOWPOSCHANGED: the client area kept its size or place.
inline constexpr UINT SWP_NOCLIENTSIZE = 0x0800;
inline constexpr UINT SWP_NOCLIENTMOVE = 0x1000;

// lParam of WM_WINDOWPOSCHANGING and WM_WINDOWPOSCHANGED.
struct WINDOWPOS {
  HWND hwnd = nullptr;
  HWND hwndInsertAfter = nullptr;
  int x = 0;
  int y = 0;
  int cx = 0;
  int cy = 0;
  UINT flags = 0;
};
using PWINDOWPOS = WINDOWPOS*;
using LPWINDOWPOS = WINDOWPOS*;

// lParam of WM_NCCALCSIZE with wParam TRUE: rgrc[0] is the new window rectangle on entry and the new
// client rectangle on return; rgrc[1] and rgrc[2] are the old window and client rectangles.
struct NCCALCSIZE_PARAMS {
  RECT rgrc[3];
  PWINDOWPOS lppos = nullptr;
};

// lParam of WM_GETMINMAXINFO.
struct MINMAXINFO {
  POINT ptReserved;
  POINT ptMaxSize;
  POINT ptMaxPosition;
  POINT ptMinTrackSize;
  POINT ptMaxTrackSize;
};

struct WINDOWPLACEMENT {
  UINT length = sizeof(WINDOWPLACEMENT);
  UINT flags = 0;
  UINT showCmd = 0;
  POINT ptMinPosition;
  POINT ptMaxPosition;
  RECT rcNormalPosition;
};
inline constexpr UINT WPF_SETMINPOSITION = 0x0001;
inline constexpr UINT WPF_RESTORETOMAXIMIZED = 0x0002;

// WM_SIZING edges (wParam)
inline constexpr WPARAM WMSZ_LEFT = 1;
inline constexpr WPARAM WMSZ_RIGHT = 2;
inline constexpr WPARAM WMSZ_TOP = 3;
inline constexpr WPARAM WMSZ_TOPLEFT = 4;
inline constexpr WPARAM WMSZ_TOPRIGHT = 5;
inline constexpr WPARAM WMSZ_BOTTOM = 6;
inline constexpr WPARAM WMSZ_BOTTOMLEFT = 7;
inline constexpr WPARAM WMSZ_BOTTOMRIGHT = 8;

// ChildWindowFromPointEx flags
inline constexpr UINT CWP_ALL = 0x0000;
inline constexpr UINT CWP_SKIPINVISIBLE = 0x0001;
inline constexpr UINT CWP_SKIPDISABLED = 0x0002;
inline constexpr UINT CWP_SKIPTRANSPARENT = 0x0004;

// SetWindowRgn/GetWindowRgn answers
inline constexpr int ERROR_REGION = 0;  // the same value as ERROR for regions

// ---- Window tree, placement and state ---------------------------------------------------------------
// Makes Window a child of NewParent (null: top-level), keeping its position relative to the new parent's
// client area; answers the previous parent.
HWND SetParent(HWND hWndChild, HWND hWndNewParent);
HWND GetTopWindow(HWND hWnd);
inline HWND GetNextWindow(HWND hWnd, UINT wCmd) { return GetWindow(hWnd, wCmd); }
HWND GetLastActivePopup(HWND hWnd);

BOOL IsWindowVisible(HWND hWnd);
BOOL IsWindowEnabled(HWND hWnd);
// Sends WM_ENABLE when the state changes; disabling the focus window (or its ancestor) takes the focus
// away. Answers whether the window was disabled before.
BOOL EnableWindow(HWND hWnd, BOOL bEnable);
BOOL IsIconic(HWND hWnd);
BOOL IsZoomed(HWND hWnd);

// Answers whether the window was visible before.
BOOL ShowWindow(HWND hWnd, int nCmdShow);
BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags);
BOOL MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint);
BOOL BringWindowToTop(HWND hWnd);
BOOL GetWindowPlacement(HWND hWnd, WINDOWPLACEMENT* lpwndpl);
BOOL SetWindowPlacement(HWND hWnd, const WINDOWPLACEMENT* lpwndpl);

// Window rectangle in screen coordinates; client rectangle with its origin at (0,0).
BOOL GetWindowRect(HWND hWnd, LPRECT lpRect);
BOOL GetClientRect(HWND hWnd, LPRECT lpRect);
BOOL ClientToScreen(HWND hWnd, LPPOINT lpPoint);
BOOL ScreenToClient(HWND hWnd, LPPOINT lpPoint);
// Null stands for the screen. Answers the offset added (low word x, high word y).
int MapWindowPoints(HWND hWndFrom, HWND hWndTo, LPPOINT lpPoints, UINT cPoints);
// The window rectangle that gives the client rectangle *lpRect for these styles.
BOOL AdjustWindowRectEx(LPRECT lpRect, DWORD dwStyle, BOOL bMenu, DWORD dwExStyle);
inline BOOL AdjustWindowRect(LPRECT lpRect, DWORD dwStyle, BOOL bMenu) {
  return AdjustWindowRectEx(lpRect, dwStyle, bMenu, 0);
}

// The deepest visible, enabled window under a screen point, asking each candidate with WM_NCHITTEST:
// a window answering HTTRANSPARENT lets the windows below it answer.
HWND WindowFromPoint(POINT Point);
// The child of hWndParent under a point in its client coordinates (hWndParent itself when no child is
// there, null when the point is outside it).
HWND ChildWindowFromPoint(HWND hWndParent, POINT Point);
HWND ChildWindowFromPointEx(HWND hwnd, POINT pt, UINT flags);
HWND RealChildWindowFromPoint(HWND hwndParent, POINT ptParentClientCoords);

// Window regions (window coordinates). The window owns hRgn after a successful call; null removes the
// region. GetWindowRgn copies the region into hRgn and answers its complexity, ERROR without a region.
int SetWindowRgn(HWND hWnd, HRGN hRgn, BOOL bRedraw);
int GetWindowRgn(HWND hWnd, HRGN hRgn);
int GetWindowRgnBox(HWND hWnd, LPRECT lprc);

// ---- Monitors and system parameters ----------------------------------------------------------------
inline constexpr DWORD MONITOR_DEFAULTTONULL = 0;
inline constexpr DWORD MONITOR_DEFAULTTOPRIMARY = 1;
inline constexpr DWORD MONITOR_DEFAULTTONEAREST = 2;
inline constexpr DWORD MONITORINFOF_PRIMARY = 1;
inline constexpr int CCHDEVICENAME = 32;

// 40 bytes.
struct MONITORINFO {
  DWORD cbSize = sizeof(MONITORINFO);
  RECT rcMonitor;
  RECT rcWork;
  DWORD dwFlags = 0;
};
using LPMONITORINFO = MONITORINFO*;
struct MONITORINFOEXA {
  DWORD cbSize = sizeof(MONITORINFOEXA);
  RECT rcMonitor;
  RECT rcWork;
  DWORD dwFlags = 0;
  CHAR szDevice[CCHDEVICENAME] = {};
};

using MONITORENUMPROC = BOOL (*)(HMONITOR, HDC, LPRECT, LPARAM);

HMONITOR MonitorFromPoint(POINT pt, DWORD dwFlags);
HMONITOR MonitorFromRect(const RECT* lprc, DWORD dwFlags);
HMONITOR MonitorFromWindow(HWND hwnd, DWORD dwFlags);
// Accepts MONITORINFO and MONITORINFOEXA (told apart by cbSize).
BOOL GetMonitorInfo(HMONITOR hMonitor, LPMONITORINFO lpmi);
inline BOOL GetMonitorInfoA(HMONITOR hMonitor, LPMONITORINFO lpmi) { return GetMonitorInfo(hMonitor, lpmi); }
BOOL EnumDisplayMonitors(HDC hdc, const RECT* lprcClip, MONITORENUMPROC lpfnEnum, LPARAM dwData);

inline constexpr UINT SPI_GETBORDER = 0x0005;
inline constexpr UINT SPI_GETKEYBOARDSPEED = 0x000A;
inline constexpr UINT SPI_GETICONTITLELOGFONT = 0x001F;
inline constexpr UINT SPI_GETDRAGFULLWINDOWS = 0x0026;
inline constexpr UINT SPI_GETNONCLIENTMETRICS = 0x0029;
inline constexpr UINT SPI_SETNONCLIENTMETRICS = 0x002A;
inline constexpr UINT SPI_SETWORKAREA = 0x002F;
inline constexpr UINT SPI_GETWORKAREA = 0x0030;
inline constexpr UINT SPI_GETKEYBOARDDELAY = 0x0016;
inline constexpr UINT SPI_GETMOUSEHOVERWIDTH = 0x0062;
inline constexpr UINT SPI_GETMOUSEHOVERHEIGHT = 0x0064;
inline constexpr UINT SPI_GETMOUSEHOVERTIME = 0x0066;
inline constexpr UINT SPI_GETWHEELSCROLLLINES = 0x0068;
inline constexpr UINT SPI_GETMENUSHOWDELAY = 0x006A;
inline constexpr UINT SPI_GETWHEELSCROLLCHARS = 0x006C;
inline constexpr UINT SPI_GETGRADIENTCAPTIONS = 0x1008;
inline constexpr UINT SPI_GETKEYBOARDCUES = 0x100A;
inline constexpr UINT SPI_GETFLATMENU = 0x1022;
inline constexpr UINT SPIF_UPDATEINIFILE = 0x0001;
inline constexpr UINT SPIF_SENDCHANGE = 0x0002;
inline constexpr UINT SPIF_SENDWININICHANGE = SPIF_SENDCHANGE;

struct NONCLIENTMETRICSA {
  UINT cbSize = sizeof(NONCLIENTMETRICSA);
  int iBorderWidth = 0;
  int iScrollWidth = 0;
  int iScrollHeight = 0;
  int iCaptionWidth = 0;
  int iCaptionHeight = 0;
  LOGFONTA lfCaptionFont;
  int iSmCaptionWidth = 0;
  int iSmCaptionHeight = 0;
  LOGFONTA lfSmCaptionFont;
  int iMenuWidth = 0;
  int iMenuHeight = 0;
  LOGFONTA lfMenuFont;
  LOGFONTA lfStatusFont;
  LOGFONTA lfMessageFont;
};
using NONCLIENTMETRICS = NONCLIENTMETRICSA;

// The work area (SPI_GETWORKAREA, a RECT) is the primary monitor's; SPI_SETWORKAREA changes it. With
// SPIF_SENDCHANGE a change is broadcast as WM_SETTINGCHANGE (wParam the SPI code).
BOOL SystemParametersInfo(UINT uiAction, UINT uiParam, LPVOID pvParam, UINT fWinIni);
inline BOOL SystemParametersInfoA(UINT uiAction, UINT uiParam, LPVOID pvParam, UINT fWinIni) {
  return SystemParametersInfo(uiAction, uiParam, pvParam, fWinIni);
}

// ---- Painting ---------------------------------------------------------------------------------------
struct PAINTSTRUCT {
  HDC hdc = nullptr;
  BOOL fErase = FALSE;  // TRUE when the background still needs erasing (WM_ERASEBKGND answered 0)
  RECT rcPaint;         // client coordinates
  BOOL fRestore = FALSE;
  BOOL fIncUpdate = FALSE;
  BYTE rgbReserved[32] = {};
};
using LPPAINTSTRUCT = PAINTSTRUCT*;

inline constexpr UINT RDW_INVALIDATE = 0x0001;
inline constexpr UINT RDW_INTERNALPAINT = 0x0002;
inline constexpr UINT RDW_ERASE = 0x0004;
inline constexpr UINT RDW_VALIDATE = 0x0008;
inline constexpr UINT RDW_NOINTERNALPAINT = 0x0010;
inline constexpr UINT RDW_NOERASE = 0x0020;
inline constexpr UINT RDW_NOCHILDREN = 0x0040;
inline constexpr UINT RDW_ALLCHILDREN = 0x0080;
inline constexpr UINT RDW_UPDATENOW = 0x0100;
inline constexpr UINT RDW_ERASENOW = 0x0200;
inline constexpr UINT RDW_FRAME = 0x0400;
inline constexpr UINT RDW_NOFRAME = 0x0800;

inline constexpr DWORD DCX_WINDOW = 0x00000001;
inline constexpr DWORD DCX_CACHE = 0x00000002;
inline constexpr DWORD DCX_NORESETATTRS = 0x00000004;
inline constexpr DWORD DCX_CLIPCHILDREN = 0x00000008;
inline constexpr DWORD DCX_CLIPSIBLINGS = 0x00000010;
inline constexpr DWORD DCX_PARENTCLIP = 0x00000020;
inline constexpr DWORD DCX_EXCLUDERGN = 0x00000040;
inline constexpr DWORD DCX_INTERSECTRGN = 0x00000080;
inline constexpr DWORD DCX_EXCLUDEUPDATE = 0x00000100;
inline constexpr DWORD DCX_INTERSECTUPDATE = 0x00000200;
inline constexpr DWORD DCX_LOCKWINDOWUPDATE = 0x00000400;
inline constexpr DWORD DCX_VALIDATE = 0x00200000;

// Null hWnd stands for every top-level window.
BOOL InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase);
BOOL InvalidateRgn(HWND hWnd, HRGN hRgn, BOOL bErase);
BOOL ValidateRect(HWND hWnd, const RECT* lpRect);
BOOL ValidateRgn(HWND hWnd, HRGN hRgn);
// With bErase the background is erased first (WM_ERASEBKGND) when it is pending.
BOOL GetUpdateRect(HWND hWnd, LPRECT lpRect, BOOL bErase);
int GetUpdateRgn(HWND hWnd, HRGN hRgn, BOOL bErase);
// Paints the window now (WM_PAINT sent, not posted) when it has something to paint.
BOOL UpdateWindow(HWND hWnd);
BOOL RedrawWindow(HWND hWnd, const RECT* lprcUpdate, HRGN hrgnUpdate, UINT flags);

// BeginPaint sends WM_NCPAINT when the frame waits for painting and WM_ERASEBKGND when the background
// does, hides the caret and validates the update region; the DC is clipped to it.
HDC BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint);
BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint);

// DCs on the window's top-level surface, clipped to the visible part of the window (and of its
// children with WS_CLIPCHILDREN). Null hWnd: the screen. Release each with ReleaseDC.
HDC GetDC(HWND hWnd);
HDC GetDCEx(HWND hWnd, HRGN hrgnClip, DWORD flags);
HDC GetWindowDC(HWND hWnd);
int ReleaseDC(HWND hWnd, HDC hDC);
HWND WindowFromDC(HDC hDC);

// Scrolls the client area (or lprcScroll within it) by dx, dy, clipped to lprcClip; the uncovered part
// is invalidated (SW_INVALIDATE, SW_ERASE) or returned in hrgnUpdate/lprcUpdate. SW_SCROLLCHILDREN
// moves the children whose rectangles meet the scrolled area.
int ScrollWindowEx(HWND hWnd, int dx, int dy, const RECT* prcScroll, const RECT* prcClip, HRGN hrgnUpdate,
                   LPRECT prcUpdate, UINT flags);
// Scrolls the whole client area with its children (lpRect null) or a part without them, invalidating
// the uncovered part with erase.
BOOL ScrollWindow(HWND hWnd, int XAmount, int YAmount, const RECT* lpRect, const RECT* lpClipRect);
BOOL ScrollDC(HDC hDC, int dx, int dy, const RECT* lprcScroll, const RECT* lprcClip, HRGN hrgnUpdate,
              LPRECT lprcUpdate);

// ---- Standard scroll bars ---------------------------------------------------------------------------
inline constexpr int SB_HORZ = 0;
inline constexpr int SB_VERT = 1;
inline constexpr int SB_CTL = 2;
inline constexpr int SB_BOTH = 3;

inline constexpr UINT SIF_RANGE = 0x0001;
inline constexpr UINT SIF_PAGE = 0x0002;
inline constexpr UINT SIF_POS = 0x0004;
inline constexpr UINT SIF_DISABLENOSCROLL = 0x0008;
inline constexpr UINT SIF_TRACKPOS = 0x0010;
inline constexpr UINT SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;

inline constexpr UINT ESB_ENABLE_BOTH = 0x0000;
inline constexpr UINT ESB_DISABLE_BOTH = 0x0003;
inline constexpr UINT ESB_DISABLE_LEFT = 0x0001;
inline constexpr UINT ESB_DISABLE_RIGHT = 0x0002;
inline constexpr UINT ESB_DISABLE_UP = 0x0001;
inline constexpr UINT ESB_DISABLE_DOWN = 0x0002;
inline constexpr UINT ESB_DISABLE_LTUP = ESB_DISABLE_LEFT;
inline constexpr UINT ESB_DISABLE_RTDN = ESB_DISABLE_RIGHT;

inline constexpr LONG OBJID_WINDOW = 0;
inline constexpr LONG OBJID_SYSMENU = -1;
inline constexpr LONG OBJID_TITLEBAR = -2;
inline constexpr LONG OBJID_MENU = -3;
inline constexpr LONG OBJID_CLIENT = -4;
inline constexpr LONG OBJID_VSCROLL = -5;
inline constexpr LONG OBJID_HSCROLL = -6;
inline constexpr LONG OBJID_SIZEGRIP = -7;

inline constexpr DWORD STATE_SYSTEM_UNAVAILABLE = 0x00000001;
inline constexpr DWORD STATE_SYSTEM_PRESSED = 0x00000008;
inline constexpr DWORD STATE_SYSTEM_INVISIBLE = 0x00008000;
inline constexpr DWORD STATE_SYSTEM_OFFSCREEN = 0x00010000;

// Messages of scroll-bar controls (SB_CTL calls are forwarded to the control with these).
inline constexpr UINT SBM_SETPOS = 0x00E0;
inline constexpr UINT SBM_GETPOS = 0x00E1;
inline constexpr UINT SBM_SETRANGE = 0x00E2;
inline constexpr UINT SBM_GETRANGE = 0x00E3;
inline constexpr UINT SBM_ENABLE_ARROWS = 0x00E4;
inline constexpr UINT SBM_SETRANGEREDRAW = 0x00E6;
inline constexpr UINT SBM_SETSCROLLINFO = 0x00E9;
inline constexpr UINT SBM_GETSCROLLINFO = 0x00EA;
inline constexpr UINT SBM_GETSCROLLBARINFO = 0x00EB;

struct SCROLLINFO {
  UINT cbSize = sizeof(SCROLLINFO);
  UINT fMask = 0;
  int nMin = 0;
  int nMax = 0;
  UINT nPage = 0;
  int nPos = 0;
  int nTrackPos = 0;
};
using LPSCROLLINFO = SCROLLINFO*;
using LPCSCROLLINFO = const SCROLLINFO*;

// 60 bytes. rgstate: [0] the bar, [1] top/left arrow, [2] page area above/left, [3] thumb, [4] page
// area below/right, [5] bottom/right arrow.
struct SCROLLBARINFO {
  DWORD cbSize = sizeof(SCROLLBARINFO);
  RECT rcScrollBar;  // screen coordinates
  int dxyLineButton = 0;
  int xyThumbTop = 0;  // relative to rcScrollBar
  int xyThumbBottom = 0;
  int reserved = 0;
  DWORD rgstate[6] = {};
};
using PSCROLLBARINFO = SCROLLBARINFO*;

// The position is kept within [nMin, nMax - max(nPage - 1, 0)]. A bar whose range becomes empty (or
// whose page covers it) is hidden, or disabled with SIF_DISABLENOSCROLL. Answers the new position.
int SetScrollInfo(HWND hwnd, int nBar, LPCSCROLLINFO lpsi, BOOL redraw);
BOOL GetScrollInfo(HWND hwnd, int nBar, LPSCROLLINFO lpsi);
int SetScrollPos(HWND hWnd, int nBar, int nPos, BOOL bRedraw);
int GetScrollPos(HWND hWnd, int nBar);
BOOL SetScrollRange(HWND hWnd, int nBar, int nMinPos, int nMaxPos, BOOL bRedraw);
BOOL GetScrollRange(HWND hWnd, int nBar, LPINT lpMinPos, LPINT lpMaxPos);
BOOL ShowScrollBar(HWND hWnd, int wBar, BOOL bShow);
BOOL EnableScrollBar(HWND hWnd, UINT wSBflags, UINT wArrows);
// idObject: OBJID_HSCROLL, OBJID_VSCROLL (or OBJID_CLIENT for a scroll-bar control).
BOOL GetScrollBarInfo(HWND hwnd, LONG idObject, PSCROLLBARINFO psbi);

// ---- Mouse ------------------------------------------------------------------------------------------
inline constexpr DWORD TME_HOVER = 0x00000001;
inline constexpr DWORD TME_LEAVE = 0x00000002;
inline constexpr DWORD TME_NONCLIENT = 0x00000010;
inline constexpr DWORD TME_QUERY = 0x40000000;
inline constexpr DWORD TME_CANCEL = 0x80000000;
inline constexpr DWORD HOVER_DEFAULT = 0xFFFFFFFF;

struct TRACKMOUSEEVENT {
  DWORD cbSize = sizeof(TRACKMOUSEEVENT);
  DWORD dwFlags = 0;
  HWND hwndTrack = nullptr;
  DWORD dwHoverTime = 0;
};
using LPTRACKMOUSEEVENT = TRACKMOUSEEVENT*;

// WM_MOUSELEAVE (or WM_NCMOUSELEAVE with TME_NONCLIENT) is posted once when the pointer leaves the
// window's client (non-client) area; WM_MOUSEHOVER once when it rested there for the hover time.
BOOL TrackMouseEvent(LPTRACKMOUSEEVENT lpEventTrack);

// While a window has the capture, every mouse message goes to it (client coordinates), wherever the
// pointer is. The window losing the capture gets WM_CAPTURECHANGED with the new one in lParam.
HWND SetCapture(HWND hWnd);
BOOL ReleaseCapture();
HWND GetCapture();

BOOL GetCursorPos(LPPOINT lpPoint);
// Moves the pointer: the windows under it get WM_SETCURSOR and WM_MOUSEMOVE as for a real move.
BOOL SetCursorPos(int X, int Y);
UINT GetDoubleClickTime();
BOOL SetDoubleClickTime(UINT uInterval);
// Mouse points of mouse messages: 16-bit signed values.
inline int GET_WHEEL_DELTA_WPARAM(WPARAM w) { return static_cast<SHORT>(HIWORD(w)); }
inline WORD GET_KEYSTATE_WPARAM(WPARAM w) { return LOWORD(w); }

// ---- Cursors ----------------------------------------------------------------------------------------
#define IDC_ARROW MAKEINTRESOURCE(32512)
#define IDC_IBEAM MAKEINTRESOURCE(32513)
#define IDC_WAIT MAKEINTRESOURCE(32514)
#define IDC_CROSS MAKEINTRESOURCE(32515)
#define IDC_UPARROW MAKEINTRESOURCE(32516)
#define IDC_SIZE MAKEINTRESOURCE(32640)
#define IDC_ICON MAKEINTRESOURCE(32641)
#define IDC_SIZENWSE MAKEINTRESOURCE(32642)
#define IDC_SIZENESW MAKEINTRESOURCE(32643)
#define IDC_SIZEWE MAKEINTRESOURCE(32644)
#define IDC_SIZENS MAKEINTRESOURCE(32645)
#define IDC_SIZEALL MAKEINTRESOURCE(32646)
#define IDC_NO MAKEINTRESOURCE(32648)
#define IDC_HAND MAKEINTRESOURCE(32649)
#define IDC_APPSTARTING MAKEINTRESOURCE(32650)
#define IDC_HELP MAKEINTRESOURCE(32651)

struct ICONINFO {
  BOOL fIcon = FALSE;
  DWORD xHotspot = 0;
  DWORD yHotspot = 0;
  HBITMAP hbmMask = nullptr;   // AND mask (monochrome; twice the height when hbmColor is null)
  HBITMAP hbmColor = nullptr;  // colour image, or null for a monochrome cursor
};
using PICONINFO = ICONINFO*;

// With a null instance: the standard cursors (IDC_*), the same handle every time, never destroyed.
// With an instance: cursors registered under that name with winui::RegisterCursorResource.
HCURSOR LoadCursor(HINSTANCE hInstance, LPCSTR lpCursorName);
inline HCURSOR LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName) { return LoadCursor(hInstance, lpCursorName); }
// A monochrome cursor from AND and XOR masks (rows of 1-bit pixels, each row padded to 16 bits), at
// most 1024 pixels a side.
HCURSOR CreateCursor(HINSTANCE hInst, int xHotSpot, int yHotSpot, int nWidth, int nHeight, const void* pvANDPlane,
                     const void* pvXORPlane);
HICON CreateIconIndirect(PICONINFO piconinfo);
BOOL GetIconInfo(HICON hIcon, PICONINFO piconinfo);
BOOL DestroyCursor(HCURSOR hCursor);
BOOL DestroyIcon(HICON hIcon);
HCURSOR CopyCursor(HCURSOR hCursor);
// Answers the previous cursor.
HCURSOR SetCursor(HCURSOR hCursor);
HCURSOR GetCursor();
// The pointer shows while the display count is >= 0; answers the new count.
int ShowCursor(BOOL bShow);

// ---- Keyboard ---------------------------------------------------------------------------------------
// High bit: down; low bit: toggled (Caps Lock, Num Lock, Scroll Lock). As of the last message
// retrieved from the queue.
SHORT GetKeyState(int nVirtKey);
// High bit: down now.
SHORT GetAsyncKeyState(int vKey);
BOOL GetKeyboardState(BYTE* lpKeyState);
BOOL SetKeyboardState(BYTE* lpKeyState);

inline constexpr UINT MAPVK_VK_TO_VSC = 0;
inline constexpr UINT MAPVK_VSC_TO_VK = 1;
inline constexpr UINT MAPVK_VK_TO_CHAR = 2;
inline constexpr UINT MAPVK_VSC_TO_VK_EX = 3;
UINT MapVirtualKey(UINT uCode, UINT uMapType);
inline UINT MapVirtualKeyA(UINT uCode, UINT uMapType) { return MapVirtualKey(uCode, uMapType); }
// Low byte: virtual key; high byte: 1 Shift, 2 Ctrl, 4 Alt. -1 when no key types the character.
SHORT VkKeyScan(CHAR ch);
inline SHORT VkKeyScanA(CHAR ch) { return VkKeyScan(ch); }

// ---- Focus and activation ---------------------------------------------------------------------------
// Answers the previous focus window; fails (null) for a disabled or minimised window or one whose
// ancestor is.
HWND SetFocus(HWND hWnd);
HWND GetFocus();
HWND SetActiveWindow(HWND hWnd);
HWND GetActiveWindow();
BOOL SetForegroundWindow(HWND hWnd);
HWND GetForegroundWindow();

// ---- Caret ------------------------------------------------------------------------------------------
// hBitmap null: a solid caret; (HBITMAP)1: a grey one; otherwise its shape. Width 0: SM_CXBORDER.
// The caret starts hidden and blinks while shown, drawn by inverting the window's pixels.
BOOL CreateCaret(HWND hWnd, HBITMAP hBitmap, int nWidth, int nHeight);
BOOL DestroyCaret();
BOOL ShowCaret(HWND hWnd);
BOOL HideCaret(HWND hWnd);
BOOL SetCaretPos(int X, int Y);
BOOL GetCaretPos(LPPOINT lpPoint);
BOOL SetCaretBlinkTime(UINT uMSeconds);
UINT GetCaretBlinkTime();

// ---- Sound ------------------------------------------------------------------------------------------
inline constexpr UINT MB_OK = 0x00000000;
inline constexpr UINT MB_ICONHAND = 0x00000010;
inline constexpr UINT MB_ICONQUESTION = 0x00000020;
inline constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
inline constexpr UINT MB_ICONASTERISK = 0x00000040;
inline constexpr UINT MB_ICONERROR = MB_ICONHAND;
inline constexpr UINT MB_ICONSTOP = MB_ICONHAND;
inline constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
BOOL MessageBeep(UINT uType);
