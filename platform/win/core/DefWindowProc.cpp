// The default window procedure: the window-manager defaults of the core; the visual half answers
// the rest through its extension.
#include "platform/win/core/CoreInternal.h"

using namespace k58::wincore;

namespace {

void StoreText(HWND Hwnd, LPCSTR Text) {
  std::lock_guard<std::mutex> Guard(Core().Lock);
  if (Window* W = FindWindowLocked(Hwnd)) W->Text = (Text && !IsAtomName(Text)) ? Text : "";
}

}  // namespace

LRESULT DefWindowProc(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (WindowSystemExtension* X = Extension()) {
    LRESULT Result = 0;
    if (X->DefWindowProc(hWnd, Msg, wParam, lParam, Result)) return Result;
  }
  switch (Msg) {
    case WM_NCCREATE: {
      auto* Create = reinterpret_cast<const CREATESTRUCT*>(lParam);
      if (Create) StoreText(hWnd, Create->lpszName);
      return TRUE;
    }
    case WM_SETTEXT:
      StoreText(hWnd, reinterpret_cast<LPCSTR>(lParam));
      return TRUE;
    case WM_GETTEXT: {
      std::lock_guard<std::mutex> Guard(Core().Lock);
      Window* W = FindWindowLocked(hWnd);
      if (!W || wParam == 0) return 0;
      int Size = wParam > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(wParam);
      return CopyText(W->Text, reinterpret_cast<LPSTR>(lParam), Size);
    }
    case WM_GETTEXTLENGTH: {
      std::lock_guard<std::mutex> Guard(Core().Lock);
      Window* W = FindWindowLocked(hWnd);
      return W ? static_cast<LRESULT>(W->Text.size()) : 0;
    }
    case WM_CLOSE:
      DestroyWindow(hWnd);
      return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) SendMessage(hWnd, WM_CLOSE, 0, 0);
      return 0;
    case WM_QUERYENDSESSION:
    case WM_QUERYOPEN:
    case WM_NCACTIVATE:
      return TRUE;
    default:
      return 0;
  }
}
