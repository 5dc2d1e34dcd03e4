// What the visual half of the window manager (window geometry, painting, input, focus, display
// back-ends) plugs into the core: creation and destruction steps, the default handling of the visual
// messages, the paint source of the queues, key translation, and the calls that feed input into the
// queues and change the window tree without messages.
#pragma once

#include <memory>
#include <vector>

#include "platform/win/core/WinUser.h"

namespace k58::wincore {

class WindowSystemExtension {
public:
  virtual ~WindowSystemExtension() = default;

  // Creation, in this order: WindowCreating (the record exists, nothing was sent yet; the place to
  // settle default positions and send WM_GETMINMAXINFO; Create may be changed), WM_NCCREATE,
  // WindowNcCreated (WM_NCCALCSIZE), WM_CREATE, WM_PARENTNOTIFY to the ancestors, WindowCreated
  // (size, move and show of a window created visible).
  virtual void WindowCreating(HWND /*Window*/, CREATESTRUCT& /*Create*/) {}
  virtual void WindowNcCreated(HWND /*Window*/, const CREATESTRUCT& /*Create*/) {}
  virtual void WindowCreated(HWND /*Window*/, const CREATESTRUCT& /*Create*/) {}
  // Destruction: WindowDestroying runs first, before any message (hide, drop focus and capture);
  // WindowDestroyed runs after WM_NCDESTROY of the window, just before its record goes away. The
  // windows of a thread that ends go without messages; WindowDestroyed still runs for each of them
  // (children first), on the ending thread, while the records exist.
  virtual void WindowDestroying(HWND /*Window*/) {}
  virtual void WindowDestroyed(HWND /*Window*/) {}

  // Default handling of messages the core has none for (painting, hit-testing, activation, ...).
  // Answers True with Result set when it handled the message.
  virtual bool DefWindowProc(HWND /*Window*/, UINT /*Msg*/, WPARAM /*WParam*/, LPARAM /*LParam*/,
                             LRESULT& /*Result*/) {
    return false;
  }

  // A window of the calling thread that waits for WM_PAINT, restricted to Filter when it is not
  // null; null when none. WM_PAINT is generated from it after posted and input messages.
  virtual HWND FindPaintWindow(HWND /*Filter*/) { return nullptr; }

  // The characters TranslateMessage posts for a WM_KEYDOWN or WM_SYSKEYDOWN (as WM_CHAR or
  // WM_SYSCHAR wParams).
  virtual void TranslateKey(const MSG& /*Key*/, std::vector<WPARAM>& /*Chars*/) {}

  // The cursor position stamped on posted messages; called from any thread that posts.
  virtual POINT CursorPos() { return POINT{}; }

  // Called on a thread that looks for input while its input queue is empty, before it decides that
  // there is none; the place to route one pending device event to its window (with PostInputMessage),
  // so that each event is routed only after the ones before it were handled.
  virtual void ProcessRawInput() {}
};

// Installs the extension (the caller keeps it alive; nullptr removes it).
void SetWindowSystemExtension(WindowSystemExtension* Extension);
WindowSystemExtension* GetWindowSystemExtension();

// Puts an input message (mouse or keyboard) into the queue of the thread of Message.hwnd. It is
// retrieved after posted messages; the mouse or keyboard hook sees it then and can discard it.
// Message.time 0 is stamped with the current tick count. HitTest and ExtraInfo are what the mouse
// hook and GetMessageExtraInfo report.
BOOL PostInputMessage(const MSG& Message, int HitTest = HTCLIENT, ULONG_PTR ExtraInfo = 0);

// Tells the queue of ThreadId that something changed for it (QS_PAINT when a window became invalid),
// so that a waiting message loop looks again.
void WakeQueue(DWORD ThreadId, UINT QueueStatusBits);

// Changes the style bits stored in the window record without sending WM_STYLECHANGING/CHANGED
// (ShowWindow, EnableWindow and the like keep WS_VISIBLE and WS_DISABLED there).
BOOL SetWindowStyleBits(HWND Window, DWORD Style, DWORD ExStyle);

// Moves Window under NewParent (null: the desktop) at the bottom of its siblings' order and returns
// the previous parent; the caller does the repositioning and painting.
HWND LinkWindowParent(HWND Window, HWND NewParent);
// Places Window among its siblings: HWND_TOP, HWND_BOTTOM or after the sibling InsertAfter.
BOOL LinkWindowOrder(HWND Window, HWND InsertAfter);

// Data the visual half keeps with a window; released with the window record.
void SetWindowExtData(HWND Window, std::shared_ptr<void> Data);
std::shared_ptr<void> GetWindowExtData(HWND Window);

}  // namespace k58::wincore
