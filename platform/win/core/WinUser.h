// The window-manager half of the Win32-shaped API: window classes, windows and their procedures,
// message queues and message loops, timers and hooks, with the standard names, types and numbers.
//
// Threads: a window belongs to the thread that created it and its procedure always runs on that
// thread. Any thread has a message queue once it calls one of the queue functions (a PeekMessage
// with PM_NOREMOVE is the usual way to create it). A message sent to a window of another thread waits
// in that thread's queue until the thread looks at its queue (GetMessage, PeekMessage, WaitMessage,
// MsgWaitForMultipleObjects, or while it waits for a send of its own) and is handled there.
//
// Text is UTF-8; the functions that carry text also exist with the "A" suffix. Failures leave their
// reason in GetLastError (kernel-object layer), for example ERROR_TIMEOUT from SendMessageTimeout.
#pragma once

#include "platform/classes/Kernel.h"
#include "platform/rtl/WinTypes.h"
#include "platform/win/core/WinKeys.h"
#include "platform/win/core/WinMessages.h"
#include "platform/win/core/WinStyles.h"

#ifndef CALLBACK
#define CALLBACK
#endif
#ifndef WINAPI
#define WINAPI
#endif

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);
using HOOKPROC = LRESULT (*)(int, WPARAM, LPARAM);
using WNDENUMPROC = BOOL (*)(HWND, LPARAM);

struct MSG {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  DWORD time = 0;
  POINT pt;
};
using LPMSG = MSG*;
using PMSG = MSG*;

struct WNDCLASSA {
  UINT style = 0;
  WNDPROC lpfnWndProc = nullptr;
  int cbClsExtra = 0;
  int cbWndExtra = 0;
  HINSTANCE hInstance = nullptr;
  HICON hIcon = nullptr;
  HCURSOR hCursor = nullptr;
  HBRUSH hbrBackground = nullptr;
  LPCSTR lpszMenuName = nullptr;
  LPCSTR lpszClassName = nullptr;
};
using WNDCLASS = WNDCLASSA;

struct WNDCLASSEXA {
  UINT cbSize = sizeof(WNDCLASSEXA);
  UINT style = 0;
  WNDPROC lpfnWndProc = nullptr;
  int cbClsExtra = 0;
  int cbWndExtra = 0;
  HINSTANCE hInstance = nullptr;
  HICON hIcon = nullptr;
  HCURSOR hCursor = nullptr;
  HBRUSH hbrBackground = nullptr;
  LPCSTR lpszMenuName = nullptr;
  LPCSTR lpszClassName = nullptr;
  HICON hIconSm = nullptr;
};
using WNDCLASSEX = WNDCLASSEXA;

// lParam of WM_NCCREATE and WM_CREATE.
struct CREATESTRUCTA {
  LPVOID lpCreateParams = nullptr;
  HINSTANCE hInstance = nullptr;
  HMENU hMenu = nullptr;
  HWND hwndParent = nullptr;
  int cy = 0;
  int cx = 0;
  int y = 0;
  int x = 0;
  LONG style = 0;
  LPCSTR lpszName = nullptr;
  LPCSTR lpszClass = nullptr;
  DWORD dwExStyle = 0;
};
using CREATESTRUCT = CREATESTRUCTA;
using LPCREATESTRUCT = CREATESTRUCT*;

// lParam of WM_STYLECHANGING and WM_STYLECHANGED.
struct STYLESTRUCT {
  DWORD styleOld = 0;
  DWORD styleNew = 0;
};

// Hook records: WH_CALLWNDPROC, WH_CALLWNDPROCRET and WH_MOUSE.
struct CWPSTRUCT {
  LPARAM lParam = 0;
  WPARAM wParam = 0;
  UINT message = 0;
  HWND hwnd = nullptr;
};
struct CWPRETSTRUCT {
  LRESULT lResult = 0;
  LPARAM lParam = 0;
  WPARAM wParam = 0;
  UINT message = 0;
  HWND hwnd = nullptr;
};
struct MOUSEHOOKSTRUCT {
  POINT pt;
  HWND hwnd = nullptr;
  UINT wHitTestCode = 0;
  ULONG_PTR dwExtraInfo = 0;
};

// Special window handles (macros, so that they are usable during static initialisation)
#define HWND_DESKTOP (static_cast<HWND>(nullptr))
#define HWND_BROADCAST (reinterpret_cast<HWND>(static_cast<uintptr_t>(0xFFFF)))
#define HWND_MESSAGE (reinterpret_cast<HWND>(static_cast<intptr_t>(-3)))
#define HWND_TOP (static_cast<HWND>(nullptr))
#define HWND_BOTTOM (reinterpret_cast<HWND>(static_cast<intptr_t>(1)))
#define HWND_TOPMOST (reinterpret_cast<HWND>(static_cast<intptr_t>(-1)))
#define HWND_NOTOPMOST (reinterpret_cast<HWND>(static_cast<intptr_t>(-2)))

// Owner drawing (WM_DRAWITEM's lParam)
inline constexpr UINT ODT_MENU = 1;
inline constexpr UINT ODT_LISTBOX = 2;
inline constexpr UINT ODT_COMBOBOX = 3;
inline constexpr UINT ODT_BUTTON = 4;
inline constexpr UINT ODT_STATIC = 5;
inline constexpr UINT ODA_DRAWENTIRE = 0x0001;
inline constexpr UINT ODA_SELECT = 0x0002;
inline constexpr UINT ODA_FOCUS = 0x0004;
inline constexpr UINT ODS_SELECTED = 0x0001;
inline constexpr UINT ODS_GRAYED = 0x0002;
inline constexpr UINT ODS_DISABLED = 0x0004;
inline constexpr UINT ODS_CHECKED = 0x0008;
inline constexpr UINT ODS_FOCUS = 0x0010;
inline constexpr UINT ODS_DEFAULT = 0x0020;
inline constexpr UINT ODS_HOTLIGHT = 0x0040;
inline constexpr UINT ODS_INACTIVE = 0x0080;
inline constexpr UINT ODS_NOACCEL = 0x0100;
inline constexpr UINT ODS_NOFOCUSRECT = 0x0200;
inline constexpr UINT ODS_COMBOBOXEDIT = 0x1000;

struct DRAWITEMSTRUCT {
  UINT CtlType = 0;
  UINT CtlID = 0;
  UINT itemID = 0;
  UINT itemAction = 0;
  UINT itemState = 0;
  HWND hwndItem = nullptr;
  HDC hDC = nullptr;
  RECT rcItem;
  ULONG_PTR itemData = 0;
};
using LPDRAWITEMSTRUCT = DRAWITEMSTRUCT*;

// WM_MEASUREITEM's lParam (owner-drawn list and combo boxes, menus).
struct MEASUREITEMSTRUCT {
  UINT CtlType = 0;
  UINT CtlID = 0;
  UINT itemID = 0;
  UINT itemWidth = 0;
  UINT itemHeight = 0;
  ULONG_PTR itemData = 0;
};
using LPMEASUREITEMSTRUCT = MEASUREITEMSTRUCT*;

// WM_COMPAREITEM's lParam: sorted owner-drawn lists without strings ask their parent for the order
// (answer -1, 0 or 1: item 1 before, equal to or after item 2).
struct COMPAREITEMSTRUCT {
  UINT CtlType = 0;
  UINT CtlID = 0;
  HWND hwndItem = nullptr;
  UINT itemID1 = 0;
  ULONG_PTR itemData1 = 0;
  UINT itemID2 = 0;
  ULONG_PTR itemData2 = 0;
  DWORD dwLocaleId = 0;
};
using LPCOMPAREITEMSTRUCT = COMPAREITEMSTRUCT*;

// A class name given by its atom.
inline LPCSTR MAKEINTATOM(ATOM Atom) { return reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(Atom)); }

// GetWindowLongPtr/SetWindowLongPtr indexes. Pointer-sized slots (procedure, instance, parent, user
// data) are only reachable through the Ptr functions, so no pointer is ever cut to 32 bits.
inline constexpr int GWLP_WNDPROC = -4;
inline constexpr int GWLP_HINSTANCE = -6;
inline constexpr int GWLP_HWNDPARENT = -8;
inline constexpr int GWLP_ID = -12;
inline constexpr int GWL_ID = -12;
inline constexpr int GWL_STYLE = -16;
inline constexpr int GWL_EXSTYLE = -20;
inline constexpr int GWLP_USERDATA = -21;

// GetClassLongPtr/SetClassLongPtr indexes
inline constexpr int GCLP_MENUNAME = -8;
inline constexpr int GCLP_HBRBACKGROUND = -10;
inline constexpr int GCLP_HCURSOR = -12;
inline constexpr int GCLP_HICON = -14;
inline constexpr int GCLP_HMODULE = -16;
inline constexpr int GCL_CBWNDEXTRA = -18;
inline constexpr int GCL_CBCLSEXTRA = -20;
inline constexpr int GCLP_WNDPROC = -24;
inline constexpr int GCL_STYLE = -26;
inline constexpr int GCW_ATOM = -32;
inline constexpr int GCLP_HICONSM = -34;

// GetWindow relations
inline constexpr UINT GW_HWNDFIRST = 0;
inline constexpr UINT GW_HWNDLAST = 1;
inline constexpr UINT GW_HWNDNEXT = 2;
inline constexpr UINT GW_HWNDPREV = 3;
inline constexpr UINT GW_OWNER = 4;
inline constexpr UINT GW_CHILD = 5;
inline constexpr UINT GW_ENABLEDPOPUP = 6;

// GetAncestor relations
inline constexpr UINT GA_PARENT = 1;
inline constexpr UINT GA_ROOT = 2;
inline constexpr UINT GA_ROOTOWNER = 3;

// PeekMessage flags
inline constexpr UINT PM_NOREMOVE = 0x0000;
inline constexpr UINT PM_REMOVE = 0x0001;
inline constexpr UINT PM_NOYIELD = 0x0002;

// Queue status bits (GetQueueStatus, MsgWaitForMultipleObjects wake masks)
inline constexpr UINT QS_KEY = 0x0001;
inline constexpr UINT QS_MOUSEMOVE = 0x0002;
inline constexpr UINT QS_MOUSEBUTTON = 0x0004;
inline constexpr UINT QS_POSTMESSAGE = 0x0008;
inline constexpr UINT QS_TIMER = 0x0010;
inline constexpr UINT QS_PAINT = 0x0020;
inline constexpr UINT QS_SENDMESSAGE = 0x0040;
inline constexpr UINT QS_HOTKEY = 0x0080;
inline constexpr UINT QS_ALLPOSTMESSAGE = 0x0100;
inline constexpr UINT QS_RAWINPUT = 0x0400;
inline constexpr UINT QS_MOUSE = QS_MOUSEMOVE | QS_MOUSEBUTTON;
inline constexpr UINT QS_INPUT = QS_MOUSE | QS_KEY | QS_RAWINPUT;
inline constexpr UINT QS_ALLEVENTS = QS_INPUT | QS_POSTMESSAGE | QS_TIMER | QS_PAINT | QS_HOTKEY;
inline constexpr UINT QS_ALLINPUT = QS_INPUT | QS_POSTMESSAGE | QS_TIMER | QS_PAINT | QS_HOTKEY | QS_SENDMESSAGE;

// PeekMessage kind filters (high word of the flags)
inline constexpr UINT PM_QS_INPUT = QS_INPUT << 16;
inline constexpr UINT PM_QS_POSTMESSAGE = (QS_POSTMESSAGE | QS_HOTKEY | QS_TIMER) << 16;
inline constexpr UINT PM_QS_PAINT = QS_PAINT << 16;
inline constexpr UINT PM_QS_SENDMESSAGE = QS_SENDMESSAGE << 16;

// MsgWaitForMultipleObjectsEx flags
inline constexpr DWORD MWMO_WAITALL = 0x0001;
inline constexpr DWORD MWMO_ALERTABLE = 0x0002;
inline constexpr DWORD MWMO_INPUTAVAILABLE = 0x0004;

// SendMessageTimeout flags
inline constexpr UINT SMTO_NORMAL = 0x0000;
inline constexpr UINT SMTO_BLOCK = 0x0001;
inline constexpr UINT SMTO_ABORTIFHUNG = 0x0002;
inline constexpr UINT SMTO_NOTIMEOUTIFNOTHUNG = 0x0008;
inline constexpr UINT SMTO_ERRORONEXIT = 0x0020;

// InSendMessageEx answers
inline constexpr DWORD ISMEX_NOSEND = 0x00000000;
inline constexpr DWORD ISMEX_SEND = 0x00000001;
inline constexpr DWORD ISMEX_NOTIFY = 0x00000002;
inline constexpr DWORD ISMEX_CALLBACK = 0x00000004;
inline constexpr DWORD ISMEX_REPLIED = 0x00000008;

// Timer limits: shorter intervals run at the minimum, longer ones at the maximum.
inline constexpr UINT USER_TIMER_MINIMUM = 0x0000000A;
inline constexpr UINT USER_TIMER_MAXIMUM = 0x7FFFFFFF;

// Hook kinds and codes
inline constexpr int WH_MSGFILTER = -1;
inline constexpr int WH_JOURNALRECORD = 0;
inline constexpr int WH_JOURNALPLAYBACK = 1;
inline constexpr int WH_KEYBOARD = 2;
inline constexpr int WH_GETMESSAGE = 3;
inline constexpr int WH_CALLWNDPROC = 4;
inline constexpr int WH_CBT = 5;
inline constexpr int WH_SYSMSGFILTER = 6;
inline constexpr int WH_MOUSE = 7;
inline constexpr int WH_HARDWARE = 8;
inline constexpr int WH_DEBUG = 9;
inline constexpr int WH_SHELL = 10;
inline constexpr int WH_FOREGROUNDIDLE = 11;
inline constexpr int WH_CALLWNDPROCRET = 12;
inline constexpr int WH_KEYBOARD_LL = 13;
inline constexpr int WH_MOUSE_LL = 14;
inline constexpr int HC_ACTION = 0;
inline constexpr int HC_GETNEXT = 1;
inline constexpr int HC_SKIP = 2;
inline constexpr int HC_NOREMOVE = 3;
inline constexpr int HC_NOREM = HC_NOREMOVE;

// Last-error codes of the window manager
inline constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;
inline constexpr DWORD ERROR_INVALID_HOOK_HANDLE = 1404;
inline constexpr DWORD ERROR_TLW_WITH_WSCHILD = 1406;
inline constexpr DWORD ERROR_CANNOT_FIND_WND_CLASS = 1407;
inline constexpr DWORD ERROR_WINDOW_OF_OTHER_THREAD = 1408;
inline constexpr DWORD ERROR_CLASS_ALREADY_EXISTS = 1410;
inline constexpr DWORD ERROR_CLASS_DOES_NOT_EXIST = 1411;
inline constexpr DWORD ERROR_CLASS_HAS_WINDOWS = 1412;
inline constexpr DWORD ERROR_INVALID_INDEX = 1413;
inline constexpr DWORD ERROR_INVALID_HOOK_FILTER = 1426;
inline constexpr DWORD ERROR_INVALID_FILTER_PROC = 1427;
inline constexpr DWORD ERROR_INVALID_THREAD_ID = 1444;
inline constexpr DWORD ERROR_NOT_ENOUGH_QUOTA = 1816;

// Window classes
ATOM RegisterClass(const WNDCLASS* lpWndClass);
ATOM RegisterClassEx(const WNDCLASSEX* lpWndClass);
BOOL UnregisterClass(LPCSTR lpClassName, HINSTANCE hInstance);
BOOL GetClassInfo(HINSTANCE hInstance, LPCSTR lpClassName, WNDCLASS* lpWndClass);
BOOL GetClassInfoEx(HINSTANCE hInstance, LPCSTR lpszClass, WNDCLASSEX* lpwcx);
int GetClassName(HWND hWnd, LPSTR lpClassName, int nMaxCount);
ULONG_PTR GetClassLongPtr(HWND hWnd, int nIndex);
ULONG_PTR SetClassLongPtr(HWND hWnd, int nIndex, LONG_PTR dwNewLong);

// Windows. hWndParent: HWND_MESSAGE makes a message-only window (no broadcasts, found only by
// FindWindowEx(HWND_MESSAGE, ...)); a window without WS_CHILD given another window becomes a top-level
// window owned by that window's root; WS_CHILD needs a parent, which may be the desktop window
// (GetDesktopWindow) for a top-level child window. Messages during creation: WM_NCCREATE (FALSE
// refuses), WM_CREATE (-1 refuses), then WM_PARENTNOTIFY to the ancestors of a child window.
HWND CreateWindowEx(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X, int Y,
                    int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance, LPVOID lpParam);
inline HWND CreateWindow(LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X, int Y, int nWidth,
                         int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance, LPVOID lpParam) {
  return CreateWindowEx(0, lpClassName, lpWindowName, dwStyle, X, Y, nWidth, nHeight, hWndParent, hMenu, hInstance,
                        lpParam);
}
// Only the window's own thread destroys it. Owned windows go first; then WM_DESTROY reaches the window
// and after it its children (which still exist meanwhile), and WM_NCDESTROY the children before the
// window. Posted messages and timers of a destroyed window are dropped.
BOOL DestroyWindow(HWND hWnd);
BOOL IsWindow(HWND hWnd);
DWORD GetWindowThreadProcessId(HWND hWnd, LPDWORD lpdwProcessId);

LONG_PTR GetWindowLongPtr(HWND hWnd, int nIndex);
LONG_PTR SetWindowLongPtr(HWND hWnd, int nIndex, LONG_PTR dwNewLong);
LONG GetWindowLong(HWND hWnd, int nIndex);
LONG SetWindowLong(HWND hWnd, int nIndex, LONG dwNewLong);
LRESULT CallWindowProc(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
// The default handling of a message; the visual layer extends it (see WinCoreExt.h).
LRESULT DefWindowProc(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);

// Window properties; names are case-insensitive and may be atoms.
BOOL SetProp(HWND hWnd, LPCSTR lpString, HANDLE hData);
HANDLE GetProp(HWND hWnd, LPCSTR lpString);
HANDLE RemoveProp(HWND hWnd, LPCSTR lpString);

int GetWindowText(HWND hWnd, LPSTR lpString, int nMaxCount);
int GetWindowTextLength(HWND hWnd);
BOOL SetWindowText(HWND hWnd, LPCSTR lpString);

// The window tree. Top-level windows are children of the desktop window, message-only windows of
// the message-only root (HWND_MESSAGE).
HWND GetDesktopWindow();
HWND GetParent(HWND hWnd);
HWND GetAncestor(HWND hwnd, UINT gaFlags);
BOOL IsChild(HWND hWndParent, HWND hWnd);
HWND GetWindow(HWND hWnd, UINT uCmd);
BOOL EnumWindows(WNDENUMPROC lpEnumFunc, LPARAM lParam);
BOOL EnumChildWindows(HWND hWndParent, WNDENUMPROC lpEnumFunc, LPARAM lParam);
BOOL EnumThreadWindows(DWORD dwThreadId, WNDENUMPROC lpfn, LPARAM lParam);
// Class and title comparisons ignore case; a null argument matches every window.
HWND FindWindow(LPCSTR lpClassName, LPCSTR lpWindowName);
HWND FindWindowEx(HWND hWndParent, HWND hWndChildAfter, LPCSTR lpszClass, LPCSTR lpszWindow);

// Messages
BOOL PostMessage(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
BOOL PostThreadMessage(DWORD idThread, UINT Msg, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int nExitCode);
LRESULT SendMessage(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
// Fails with ERROR_TIMEOUT when the window's thread has not handled the message within uTimeout
// milliseconds; the message stays queued and is still handled later, its result discarded.
LRESULT SendMessageTimeout(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam, UINT fuFlags, UINT uTimeout,
                           DWORD_PTR* lpdwResult);
// Within the thread: handled at once. To another thread: queued there, and the caller goes on.
BOOL SendNotifyMessage(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
// Messages sent from other threads are handled first and never returned. Then, in this order: posted
// messages, input, WM_QUIT (which passes every filter), WM_PAINT, WM_TIMER. Filters: hWnd null for
// every message of the thread, (HWND)-1 for thread messages only, else that window's; a range of 0, 0
// takes every number; PM_QS_* flags restrict the kinds looked at. GetMessage answers 0 for WM_QUIT
// and -1 for bad arguments, and waits without limit while nothing is there.
BOOL GetMessage(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax);
BOOL PeekMessage(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg);
BOOL TranslateMessage(const MSG* lpMsg);
LRESULT DispatchMessage(const MSG* lpMsg);
// Waits until something arrives that the thread has not looked at yet.
BOOL WaitMessage();
// High word: kinds waiting now; low word: kinds that arrived since the thread last looked.
DWORD GetQueueStatus(UINT flags);
// Answers WAIT_OBJECT_0 + nCount for new input of a kind in the wake mask (any waiting input with
// MWMO_INPUTAVAILABLE). Messages sent from other threads wake the caller when the mask asks for
// QS_SENDMESSAGE, and are handled inside the wait otherwise. MWMO_WAITALL is not offered with handles.
DWORD MsgWaitForMultipleObjects(DWORD nCount, const HANDLE* pHandles, BOOL fWaitAll, DWORD dwMilliseconds,
                                DWORD dwWakeMask);
DWORD MsgWaitForMultipleObjectsEx(DWORD nCount, const HANDLE* pHandles, DWORD dwMilliseconds, DWORD dwWakeMask,
                                  DWORD dwFlags);
BOOL InSendMessage();
DWORD InSendMessageEx(LPVOID lpReserved);
BOOL ReplyMessage(LRESULT lResult);
LONG GetMessageTime();
DWORD GetMessagePos();
LPARAM GetMessageExtraInfo();

// Timers of the calling thread's windows, or of the thread itself (hWnd null: a new id is returned).
// A due timer produces one WM_TIMER when nothing else is waiting, however late; a timer procedure
// is called by DispatchMessage instead of the window procedure.
UINT_PTR SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc);
BOOL KillTimer(HWND hWnd, UINT_PTR uIDEvent);

// Hooks: WH_CALLWNDPROC and WH_CALLWNDPROCRET around every sent message (including those the layer
// sends itself), WH_GETMESSAGE when GetMessage/PeekMessage return a message (it may change it),
// WH_MOUSE and WH_KEYBOARD when input is retrieved (a non-zero answer discards the input). The
// thread's own hooks run before those for every thread, the latest installed first in each group.
// dwThreadId 0 installs the hook for every thread; hMod is not used.
HHOOK SetWindowsHookEx(int idHook, HOOKPROC lpfn, HINSTANCE hmod, DWORD dwThreadId);
BOOL UnhookWindowsHookEx(HHOOK hhk);
LRESULT CallNextHookEx(HHOOK hhk, int nCode, WPARAM wParam, LPARAM lParam);

// "A" names of the calls that carry text or message data
inline ATOM RegisterClassA(const WNDCLASSA* c) { return RegisterClass(c); }
inline ATOM RegisterClassExA(const WNDCLASSEXA* c) { return RegisterClassEx(c); }
inline BOOL UnregisterClassA(LPCSTR n, HINSTANCE i) { return UnregisterClass(n, i); }
inline BOOL GetClassInfoA(HINSTANCE i, LPCSTR n, WNDCLASSA* c) { return GetClassInfo(i, n, c); }
inline BOOL GetClassInfoExA(HINSTANCE i, LPCSTR n, WNDCLASSEXA* c) { return GetClassInfoEx(i, n, c); }
inline int GetClassNameA(HWND h, LPSTR s, int n) { return GetClassName(h, s, n); }
inline ULONG_PTR GetClassLongPtrA(HWND h, int i) { return GetClassLongPtr(h, i); }
inline ULONG_PTR SetClassLongPtrA(HWND h, int i, LONG_PTR v) { return SetClassLongPtr(h, i, v); }
inline HWND CreateWindowExA(DWORD ex, LPCSTR c, LPCSTR n, DWORD s, int x, int y, int w, int h, HWND p, HMENU m,
                            HINSTANCE i, LPVOID lp) {
  return CreateWindowEx(ex, c, n, s, x, y, w, h, p, m, i, lp);
}
inline LONG_PTR GetWindowLongPtrA(HWND h, int i) { return GetWindowLongPtr(h, i); }
inline LONG_PTR SetWindowLongPtrA(HWND h, int i, LONG_PTR v) { return SetWindowLongPtr(h, i, v); }
inline LONG GetWindowLongA(HWND h, int i) { return GetWindowLong(h, i); }
inline LONG SetWindowLongA(HWND h, int i, LONG v) { return SetWindowLong(h, i, v); }
inline LRESULT CallWindowProcA(WNDPROC p, HWND h, UINT m, WPARAM w, LPARAM l) { return CallWindowProc(p, h, m, w, l); }
inline LRESULT DefWindowProcA(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProc(h, m, w, l); }
inline BOOL SetPropA(HWND h, LPCSTR n, HANDLE d) { return SetProp(h, n, d); }
inline HANDLE GetPropA(HWND h, LPCSTR n) { return GetProp(h, n); }
inline HANDLE RemovePropA(HWND h, LPCSTR n) { return RemoveProp(h, n); }
inline int GetWindowTextA(HWND h, LPSTR s, int n) { return GetWindowText(h, s, n); }
inline int GetWindowTextLengthA(HWND h) { return GetWindowTextLength(h); }
inline BOOL SetWindowTextA(HWND h, LPCSTR s) { return SetWindowText(h, s); }
inline HWND FindWindowA(LPCSTR c, LPCSTR n) { return FindWindow(c, n); }
inline HWND FindWindowExA(HWND p, HWND a, LPCSTR c, LPCSTR n) { return FindWindowEx(p, a, c, n); }
inline BOOL PostMessageA(HWND h, UINT m, WPARAM w, LPARAM l) { return PostMessage(h, m, w, l); }
inline BOOL PostThreadMessageA(DWORD t, UINT m, WPARAM w, LPARAM l) { return PostThreadMessage(t, m, w, l); }
inline LRESULT SendMessageA(HWND h, UINT m, WPARAM w, LPARAM l) { return SendMessage(h, m, w, l); }
inline LRESULT SendMessageTimeoutA(HWND h, UINT m, WPARAM w, LPARAM l, UINT f, UINT t, DWORD_PTR* r) {
  return SendMessageTimeout(h, m, w, l, f, t, r);
}
inline BOOL SendNotifyMessageA(HWND h, UINT m, WPARAM w, LPARAM l) { return SendNotifyMessage(h, m, w, l); }
inline BOOL GetMessageA(LPMSG m, HWND h, UINT a, UINT b) { return GetMessage(m, h, a, b); }
inline BOOL PeekMessageA(LPMSG m, HWND h, UINT a, UINT b, UINT r) { return PeekMessage(m, h, a, b, r); }
inline LRESULT DispatchMessageA(const MSG* m) { return DispatchMessage(m); }
inline HHOOK SetWindowsHookExA(int id, HOOKPROC p, HINSTANCE m, DWORD t) { return SetWindowsHookEx(id, p, m, t); }
