// Hidden windows that deliver messages to a callable (the timer's window, for example), and the hook
// through which the application shows exceptions that escape event handlers run from them.
#pragma once

#include <functional>

#include "platform/classes/Object.h"
#include "platform/win/core/WinUser.h"

// The procedure of a utility window: every message of the window, the default handling left to
// DefWindowProc by the callable itself.
using TUtilWindowProc = std::function<LRESULT(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)>;

// A message-only window of the calling thread whose messages go to Proc. It receives posted, sent and
// timer messages while that thread runs a message loop (nested loops included).
HWND AllocateHWnd(TUtilWindowProc Proc);
// Destroys a window made by AllocateHWnd; nil is ignored.
void DeallocateHWnd(HWND Wnd);

// Called, inside the catch block, for an exception that escapes the procedure of a utility window, so
// that it never unwinds through the message loop. The application installs its default display of
// exceptions here; without one the message is written to the standard error stream.
extern std::function<void(TObject* Sender)> ApplicationHandleException;
// What a utility window does with an exception escaping its procedure (call inside the catch block).
void HandleUtilWindowException(TObject* Sender);
