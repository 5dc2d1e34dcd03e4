// What the built-in window classes share: class registration, notifications to the parent, the
// per-window state record kept in the window's extra bytes, fonts and colours.
#pragma once

#include <string>

#include "platform/win/builtin/CommCtrl.h"
#include "platform/win/core/WinBase.h"
#include "platform/win/gdi/WinGdi.h"
#include "platform/win/gdi/WinUserGdi.h"
#include "platform/win/ui/WinUserUi.h"

namespace wincontrols {

using gdi::InRect;

// Registration of each class (once per process; further calls do nothing).
void RegisterButtonClass();
void RegisterEditClass();
void RegisterStaticClass();
void RegisterScrollBarClass();
void RegisterUpDownClass();
void RegisterProgressClass();
void RegisterToolTipClass();

// Registers a global class whose windows keep a pointer to their state record in extra bytes 0..7.
void RegisterControlClass(LPCSTR Name, WNDPROC Proc, UINT Style, LPCSTR Cursor, HBRUSH Background = nullptr);

// The state record of a control window (null before WM_NCCREATE and after WM_NCDESTROY).
template <typename T>
T* StateOf(HWND Hwnd) {
  return reinterpret_cast<T*>(GetWindowLongPtr(Hwnd, 0));
}
template <typename T>
void SetState(HWND Hwnd, T* State) {
  SetWindowLongPtr(Hwnd, 0, reinterpret_cast<LONG_PTR>(State));
}

// The window notifications go to: the parent of a child window, the owner of a popup.
HWND NotifyTarget(HWND Hwnd);
// WM_COMMAND with the control's id and Code, as the standard controls notify.
void NotifyCommand(HWND Hwnd, WORD Code);
// WM_NOTIFY with the header filled in from the control; answers the parent's result.
LRESULT NotifyHeader(HWND Hwnd, NMHDR& Header, UINT Code);

// The font a control draws with when none was set (WM_SETFONT null).
HFONT DefaultControlFont();
// Text height and average character width of a font.
void FontMetrics(HFONT Font, int& Height, int& AveWidth);

// Asks the parent for the colours (WM_CTLCOLOR*): the DC gets its text and background colours and the
// answer is the background brush; the default colours when the parent gives none.
HBRUSH ControlColors(HWND Hwnd, UINT Msg, HDC Dc);

// Window text held by a control, read the way WM_GETTEXT answers.
std::string WindowTextOf(HWND Hwnd);
// Copies Text into a WM_GETTEXT buffer of Size bytes (zero-terminated, never splitting a character);
// answers the bytes copied without the terminator.
LRESULT CopyTextOut(const std::string& Text, WPARAM Size, LPARAM Buffer);

// Draws an icon (with its mask) at x, y; false for a handle that is not an icon.
bool DrawIconAt(HDC Dc, int X, int Y, HICON Icon);
// Size of a bitmap or icon image (false for an invalid handle).
bool ImageSize(HANDLE Image, UINT Type, SIZE& Size);
void DrawBitmapAt(HDC Dc, int X, int Y, HBITMAP Bitmap);

}  // namespace wincontrols
