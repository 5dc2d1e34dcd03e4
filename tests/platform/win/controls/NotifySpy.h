// A top-level host window for control tests: it records the notifications, owner-draw requests and
// item queries its children send, can answer them through a handler, and maps client points of a
// child to the screen points the test display clicks at.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/win/Windows.h"
#include "platform/win/controls/CommCtrl.h"
#include "platform/win/ui/TestDisplay.h"

namespace ctltest {

struct Event {
  UINT Msg = 0;
  HWND From = nullptr;  // the control that sent it
  UINT Code = 0;        // notification code (WM_COMMAND high word, NMHDR code)
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  // Copies of the records that do not outlive the call.
  DRAWITEMSTRUCT Draw{};
  MEASUREITEMSTRUCT Measure{};
};

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
  std::vector<UINT> Codes(UINT Msg, HWND From = nullptr) const {
    std::vector<UINT> R;
    for (const Event& E : Events)
      if (E.Msg == Msg && (!From || E.From == From)) R.push_back(E.Code);
    return R;
  }
  std::vector<UINT> Commands(HWND From = nullptr) const { return Codes(WM_COMMAND, From); }
  std::vector<UINT> Notifies(HWND From = nullptr) const { return Codes(WM_NOTIFY, From); }
  std::vector<Event> Of(UINT Msg) const {
    std::vector<Event> R;
    for (const Event& E : Events)
      if (E.Msg == Msg) R.push_back(E);
    return R;
  }
  void Clear() { Events.clear(); }

  HWND Hwnd = nullptr;
  std::vector<Event> Events;
  Handler OnMessage;

private:
  static LRESULT Proc(HWND Hwnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == WM_NCCREATE) {
      auto* Cs = reinterpret_cast<CREATESTRUCT*>(LParam);
      SetWindowLongPtr(Hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(Cs->lpCreateParams));
    }
    auto* Self = reinterpret_cast<Host*>(GetWindowLongPtr(Hwnd, GWLP_USERDATA));
    if (!Self) return DefWindowProc(Hwnd, Msg, WParam, LParam);
    Event E;
    E.Msg = Msg;
    E.WParam = WParam;
    E.LParam = LParam;
    bool Record = true;
    switch (Msg) {
      case WM_COMMAND:
        E.From = reinterpret_cast<HWND>(LParam);
        E.Code = HIWORD(WParam);
        break;
      case WM_NOTIFY: {
        auto* H = reinterpret_cast<NMHDR*>(LParam);
        E.From = H->hwndFrom;
        E.Code = H->code;
        break;
      }
      case WM_DRAWITEM:
        E.Draw = *reinterpret_cast<DRAWITEMSTRUCT*>(LParam);
        E.From = E.Draw.hwndItem;
        break;
      case WM_MEASUREITEM:
        E.Measure = *reinterpret_cast<MEASUREITEMSTRUCT*>(LParam);
        break;
      case WM_COMPAREITEM:
      case WM_VKEYTOITEM:
      case WM_CHARTOITEM:
      case WM_HSCROLL:
      case WM_VSCROLL:
        E.From = reinterpret_cast<HWND>(LParam);
        break;
      default: Record = false;
    }
    if (Record) Self->Events.push_back(E);
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

// The colours of a client row of a window, as a set-like string of distinct colours for quick checks.
inline bool RowHas(winui::TestDisplay& D, HWND Hwnd, int Y, int X0, int X1, COLORREF C) {
  for (int X = X0; X < X1; ++X)
    if (D.ClientPixel(Hwnd, POINT{X, Y}) == C) return true;
  return false;
}

}  // namespace ctltest
