// The X11 display back-end: one X window per top-level window (popups without a caption are
// override-redirect), surfaces shown with XPutImage or XShmPutImage, X events and the input method
// turned into device input, window-manager hints, X cursors and the CLIPBOARD selection for text.
//
// X events are read by a thread of the back-end that sleeps in poll() on the X connection and a wake-up
// descriptor; it hands what it reads to the window layer through the Inject* and Host* calls, which
// wake the GUI thread's message loop. No X header is needed to use it.
#pragma once

#include <memory>
#include <string>

#include "platform/win/ui/Display.h"

namespace k58::winui {

struct X11Options {
  // Display name as XOpenDisplay takes it; empty: the DISPLAY variable.
  std::string DisplayName;
  // Present through the MIT shared-memory extension when the server offers it and shares memory with
  // this process (a local server).
  bool UseSharedMemory = true;
};

// Opens the display; null when it cannot be opened (no server, no permission).
std::unique_ptr<DisplayBackend> CreateX11Display(const X11Options& Options = {});

// Registers CreateX11Display as the "x11" display factory, so that a program started with DISPLAY set
// shows its windows there (see SetDisplayBackend). Idempotent.
void RegisterX11Display();

// The X window showing a top-level window, 0 when the X11 back-end is not installed or the window has
// none.
unsigned long X11WindowOf(HWND Window);

// Whether the installed back-end presents through shared memory (false for other back-ends).
bool X11UsesSharedMemory();

}  // namespace k58::winui
