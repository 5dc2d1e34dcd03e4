// Utility windows: a message-only window class whose instances carry their procedure.
#include "platform/win/core/UtilWindow.h"

#include <cstdio>
#include <exception>
#include <memory>
#include <mutex>

#include "platform/rtl/Exception.h"

std::function<void(TObject* Sender)> ApplicationHandleException;

namespace {

constexpr const char* kClassName = "TPUtilWindow";

// What a window carries. A window may be deallocated from inside its own procedure (a timer freed by
// its handler): the record then lives until that call returns.
struct UtilWindow {
  TUtilWindowProc Proc;
  int Depth = 0;
  bool Doomed = false;
};

LRESULT CALLBACK UtilWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  auto* window = reinterpret_cast<UtilWindow*>(GetWindowLongPtr(Wnd, GWLP_USERDATA));
  if (window == nullptr || window->Doomed || !window->Proc) return DefWindowProc(Wnd, Msg, WParam, LParam);
  LRESULT result = 0;
  ++window->Depth;
  try {
    result = window->Proc(Wnd, Msg, WParam, LParam);
  } catch (...) {
    HandleUtilWindowException(nullptr);
  }
  if (--window->Depth == 0 && window->Doomed) delete window;
  return result;
}

void RegisterUtilClass() {
  WNDCLASS cls;
  if (GetClassInfo(nullptr, kClassName, &cls)) return;
  cls = WNDCLASS();
  cls.lpfnWndProc = UtilWindowProc;
  cls.lpszClassName = kClassName;
  RegisterClass(&cls);
}

}  // namespace

void HandleUtilWindowException(TObject* Sender) {
  if (ApplicationHandleException) {
    ApplicationHandleException(Sender);
    return;
  }
  try {
    throw;
  } catch (const Exception& e) {
    std::fprintf(stderr, "%s: %s\n", e.ClassName(), e.Message().c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
  } catch (...) {
    std::fprintf(stderr, "Unknown exception\n");
  }
}

HWND AllocateHWnd(TUtilWindowProc Proc) {
  static std::once_flag registered;
  std::call_once(registered, RegisterUtilClass);
  HWND wnd = CreateWindowEx(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  if (wnd == nullptr) return nullptr;
  auto* window = new UtilWindow;
  window->Proc = std::move(Proc);
  SetWindowLongPtr(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
  return wnd;
}

void DeallocateHWnd(HWND Wnd) {
  if (Wnd == nullptr) return;
  auto* window = reinterpret_cast<UtilWindow*>(GetWindowLongPtr(Wnd, GWLP_USERDATA));
  SetWindowLongPtr(Wnd, GWLP_USERDATA, 0);
  DestroyWindow(Wnd);
  if (window == nullptr) return;
  if (window->Depth > 0) {
    window->Doomed = true;
  } else {
    delete window;
  }
}
