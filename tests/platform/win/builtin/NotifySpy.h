// A top-level host window for control tests: it records what it receives (the notifications,
// owner-draw requests and item queries its children send among it), can answer it through a handler,
// and maps client points of a child to the screen points the test display clicks at.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/win/Windows.h"
#include "platform/win/builtin/CommCtrl.h"
#include "platform/win/testing/TestDisplay.h"
#include "tests/common/Messages.h"

namespace builtin_test {

class Host {
public:
  using Handler = std::function<std::optional<LRESULT>(UINT Msg, WPARAM WParam, LPARAM LParam)>;

  explicit Host(int Width = 480, int Height = 360) {
    static bool Registered = false;
    if (!Registered) {
      WNDCLASSEX Wc;
      Wc.lpfnWndProc = &Host::Proc;
      Wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
      Wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
      Wc.lpszClassName = "CtlTestHost";
      RegisterClassEx(&Wc);
      Registered = true;
    }
    Hwnd = CreateWindowEx(0, "CtlTestHost", "Host", WS_OVERLAPPED | WS_CAPTION | WS_CLIPCHILDREN, 40, 40, Width,
                          Height, nullptr, nullptr, nullptr, this);
    ShowWindow(Hwnd, SW_SHOW);
    SetActiveWindow(Hwnd);
  }
  ~Host() {
    if (IsWindow(Hwnd)) DestroyWindow(Hwnd);
  }
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  HWND Child(const char* Class, DWORD Style, RECT R, int Id = 100, const char* Text = "", DWORD ExStyle = 0) {
    return CreateWindowEx(ExStyle, Class, Text, WS_CHILD | WS_VISIBLE | Style, R.left, R.top, R.right - R.left,
                          R.bottom - R.top, Hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(Id)), nullptr,
                          nullptr);
  }

  // Notification codes of WM_COMMAND (or WM_NOTIFY) from a control, in order.
  std::vector<UINT> Commands(HWND From = nullptr) const { return Events.Codes(WM_COMMAND, From); }
  std::vector<UINT> Notifies(HWND From = nullptr) const { return Events.Codes(WM_NOTIFY, From); }
  std::vector<k58test::Message> Of(UINT Msg) const { return Events.Of(nullptr, {Msg}); }
  void Clear() { Events.Clear(); }

  HWND Hwnd = nullptr;
  k58test::MessageLog Events;
  Handler OnMessage;

private:
  static LRESULT Proc(HWND Hwnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == WM_NCCREATE) {
      auto* Cs = reinterpret_cast<CREATESTRUCT*>(LParam);
      SetWindowLongPtr(Hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(Cs->lpCreateParams));
    }
    auto* Self = reinterpret_cast<Host*>(GetWindowLongPtr(Hwnd, GWLP_USERDATA));
    if (!Self) return DefWindowProc(Hwnd, Msg, WParam, LParam);
    Self->Events.Add(Hwnd, Msg, WParam, LParam);
    if (Self->OnMessage)
      if (std::optional<LRESULT> R = Self->OnMessage(Msg, WParam, LParam)) return *R;
    if (Msg == WM_VKEYTOITEM || Msg == WM_CHARTOITEM) return -1;
    if (Msg == WM_NCDESTROY) SetWindowLongPtr(Hwnd, GWLP_USERDATA, 0);
    return DefWindowProc(Hwnd, Msg, WParam, LParam);
  }
};

// The screen point of a client point of a window.
inline POINT At(HWND Hwnd, int X, int Y) {
  POINT P{X, Y};
  ClientToScreen(Hwnd, &P);
  return P;
}

inline std::string TextOf(HWND Hwnd) {
  char Buffer[512] = {};
  GetWindowText(Hwnd, Buffer, sizeof Buffer);
  return Buffer;
}

}  // namespace builtin_test
