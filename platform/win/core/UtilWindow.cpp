// Utility windows: a window class of hidden top-level windows whose instances carry their procedure.
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

void FreeRecord(UtilWindow* Window) {
  if (Window->Depth > 0) {
    Window->Doomed = true;
  } else {
    delete Window;
  }
}

LRESULT CALLBACK UtilWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  auto* window = reinterpret_cast<UtilWindow*>(GetWindowLongPtr(Wnd, GWLP_USERDATA));
  if (window != nullptr && Msg == WM_NCDESTROY) {
    // Destroyed by someone else than DeallocateHWnd (all windows of a display going away): the record
    // goes with the window.
    SetWindowLongPtr(Wnd, GWLP_USERDATA, 0);
    FreeRecord(window);
    return DefWindowProc(Wnd, Msg, WParam, LParam);
  }
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
  // Top-level, so broadcasts reach it; hidden, not activatable and a tool window, so it shows nowhere.
  HWND wnd = CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr,
                            nullptr, nullptr, nullptr);
  if (wnd == nullptr) return nullptr;
  auto* window = new UtilWindow;
  window->Proc = std::move(Proc);
  SetWindowLongPtr(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
  return wnd;
}

void DeallocateHWnd(HWND Wnd) {
  if (Wnd == nullptr) return;
  if (!IsWindow(Wnd)) return;
  auto* window = reinterpret_cast<UtilWindow*>(GetWindowLongPtr(Wnd, GWLP_USERDATA));
  SetWindowLongPtr(Wnd, GWLP_USERDATA, 0);
  DestroyWindow(Wnd);
  if (window != nullptr) FreeRecord(window);
}
