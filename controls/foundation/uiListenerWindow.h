// Hidden top-level windows that hear the system broadcasts (colour, setting and theme changes), whose
// messages go to a callable. Message-only utility windows are not reached by broadcasts, so the
// listeners of the control library use these.
#pragma once

#include "platform/win/core/UtilWindow.h"

namespace k58::foundation {

// A utility window (AllocateHWnd) moved to the top level, hidden and never activated.
HWND AllocateListenerWindow(TUtilWindowProc Proc);
// Destroys it (nil is ignored); allowed from inside its own procedure.
inline void DeallocateListenerWindow(HWND Wnd) { DeallocateHWnd(Wnd); }

}  // namespace k58::foundation
