// Hidden top-level listener windows.
#include "controls/foundation/uiListenerWindow.h"

#include "platform/win/ui/WinUserUi.h"

namespace k58::foundation {

HWND AllocateListenerWindow(TUtilWindowProc Proc) {
  HWND wnd = AllocateHWnd(std::move(Proc));
  if (wnd != nullptr) SetParent(wnd, nullptr);
  return wnd;
}

}  // namespace k58::foundation
