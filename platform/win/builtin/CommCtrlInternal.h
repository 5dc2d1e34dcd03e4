// What the built-in window classes share: class registration, notifications to the parent, the
// per-window state record kept in the window's extra bytes, fonts and colours.
#pragma once

#include <string>

#include "platform/win/builtin/CommCtrl.h"
#include "platform/win/core/WinBase.h"
#include "platform/win/gdi/WinGdi.h"
#include "platform/win/gdi/WinUserGdi.h"
#include "platform/win/ui/WinUserUi.h"

namespace k58::builtin {

using gdi::InRect;

// Registration of each class (once per process; further calls do nothing).
void RegisterButtonClass();
void RegisterEditClass();
void RegisterStaticClass();
void RegisterScrollBarClass();
void RegisterUpDownClass();
void RegisterProgressClass();
void RegisterToolTipClass();

// ---- One shape for every built-in window class ---------------------------------------------------
//
// A class is its state record T, one per window, derived from ControlState. ControlProc<T> is its
// window procedure:
//   WM_NCCREATE     makes the record: T(HWND, const CREATESTRUCT&) (the window knows its styles);
//   WM_NCDESTROY    reaches T::Handle (for what must go with the window), then the record is unlinked and
//                   deleted once the outermost message of the window in progress returns;
//   WM_ERASEBKGND   answers 1: T::Paint covers the whole client area;
//   WM_PAINT, WM_PRINTCLIENT  call T::Paint(HDC), or T::Paint(HDC, const RECT& Update) (the update
//                   rectangle; the client area for a DC passed in wParam);
//   WM_SETFONT, WM_GETFONT    when T has an HFONT Font: stored and answered; then T::FontSet(bool Redraw)
//                   when T has one, else the control is redrawn when lParam asks for it;
//   every other message goes to T::Handle(UINT, WPARAM, LPARAM), which passes what it leaves to
//   DefWindowProc.
class ControlState {
public:
  explicit ControlState(HWND Window) : Hwnd(Window) {}
  virtual ~ControlState() = default;
  ControlState(const ControlState&) = delete;
  ControlState& operator=(const ControlState&) = delete;

  const HWND Hwnd;

  // False once the window is gone: a notification, SetFocus or any message sent on the way may let
  // the parent destroy the control. The record itself stays valid until the message in hand returns,
  // so a handler checks this after such calls and returns at once when it is false.
  bool StillAlive() const { return !destroyed_; }

private:
  friend class ControlHold;
  template <class T>
  friend LRESULT CALLBACK ControlProc(HWND, UINT, WPARAM, LPARAM);
  int holds_ = 0;
  bool destroyed_ = false;
};

// Keeps a control's record alive while code works on it: ControlProc holds it for every message, and
// code that reaches the record from outside its procedure (a hook, a subclassed buddy) holds it too.
class ControlHold {
public:
  explicit ControlHold(ControlState& State) : state_(State) { ++state_.holds_; }
  ~ControlHold() {
    if (--state_.holds_ == 0 && state_.destroyed_) delete &state_;
  }
  ControlHold(const ControlHold&) = delete;
  ControlHold& operator=(const ControlHold&) = delete;

private:
  ControlState& state_;
};

// The state record of a control window (null before WM_NCCREATE and after WM_NCDESTROY).
template <typename T>
T* StateOf(HWND Hwnd) {
  return reinterpret_cast<T*>(GetWindowLongPtr(Hwnd, 0));
}

template <class T>
LRESULT CALLBACK ControlProc(HWND Hwnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  T* S = StateOf<T>(Hwnd);
  if (!S) {
    if (Msg == WM_NCCREATE) {
      const auto* Create = reinterpret_cast<const CREATESTRUCT*>(LParam);
      SetWindowLongPtr(Hwnd, 0, reinterpret_cast<LONG_PTR>(new T(Hwnd, Create ? *Create : CREATESTRUCT{})));
    }
    return DefWindowProc(Hwnd, Msg, WParam, LParam);
  }
  ControlHold Hold(*S);
  switch (Msg) {
    case WM_NCDESTROY: {
      LRESULT R = S->Handle(Msg, WParam, LParam);
      SetWindowLongPtr(Hwnd, 0, 0);
      S->destroyed_ = true;
      return R;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT: {
      PAINTSTRUCT Ps;
      HDC Dc = reinterpret_cast<HDC>(WParam);
      const bool Begin = !Dc && Msg == WM_PAINT;
      if (Begin) Dc = BeginPaint(Hwnd, &Ps);
      if (Dc) {
        if constexpr (requires(T& X, const RECT& R) { X.Paint(Dc, R); }) {
          RECT Update;
          if (Begin) {
            Update = Ps.rcPaint;
          } else {
            GetClientRect(Hwnd, &Update);
          }
          S->Paint(Dc, Update);
        } else {
          S->Paint(Dc);
        }
      }
      if (Begin) EndPaint(Hwnd, &Ps);
      return 0;
    }
    default:
      break;
  }
  if constexpr (requires(T& X) { X.Font = HFONT{}; }) {
    if (Msg == WM_GETFONT) return reinterpret_cast<LRESULT>(S->Font);
    if (Msg == WM_SETFONT) {
      S->Font = reinterpret_cast<HFONT>(WParam);
      if constexpr (requires(T& X) { X.FontSet(true); }) {
        S->FontSet(LOWORD(LParam) != 0);
      } else if (LOWORD(LParam)) {
        InvalidateRect(Hwnd, nullptr, TRUE);
      }
      return 0;
    }
  }
  return S->Handle(Msg, WParam, LParam);
}

// Registers a global class whose windows keep a pointer to their state record in extra bytes 0..7.
void RegisterControlClass(LPCSTR Name, WNDPROC Proc, UINT Style, LPCSTR Cursor, HBRUSH Background = nullptr);
template <class T>
void RegisterControl(LPCSTR Name, UINT Style, LPCSTR Cursor) {
  RegisterControlClass(Name, ControlProc<T>, Style, Cursor);
}

// The window notifications go to: the parent of a child window, the owner of a popup.
HWND NotifyTarget(HWND Hwnd);
// WM_COMMAND with the control's id and Code, as the standard controls notify.
void NotifyCommand(HWND Hwnd, WORD Code);
// WM_NOTIFY with the header filled in from the control; answers the parent's result.
LRESULT NotifyHeader(HWND Hwnd, NMHDR& Header, UINT Code);

// The font a control draws with when none was set (WM_SETFONT null).
HFONT DefaultControlFont();
// Text height and average character width of a font.
void FontMetrics(HFONT Font, int& Height, int& AveWidth);
// Width of one line of text in a font (the default control font for null).
int TextWidth(HFONT Font, const std::string& Text);

// Asks the parent for the colours (WM_CTLCOLOR*): the DC gets its text and background colours and the
// answer is the background brush; the default colours when the parent gives none.
HBRUSH ControlColors(HWND Hwnd, UINT Msg, HDC Dc);

// Window text held by a control, read the way WM_GETTEXT answers.
std::string WindowTextOf(HWND Hwnd);
// Copies Text into a WM_GETTEXT buffer of Size bytes (zero-terminated, never splitting a character);
// answers the bytes copied without the terminator.
LRESULT CopyTextOut(const std::string& Text, WPARAM Size, LPARAM Buffer);

// Draws an icon (with its mask) at x, y; false for a handle that is not an icon.
bool DrawIconAt(HDC Dc, int X, int Y, HICON Icon);
// Size of a bitmap or icon image (false for an invalid handle).
bool ImageSize(HANDLE Image, UINT Type, SIZE& Size);
void DrawBitmapAt(HDC Dc, int X, int Y, HBITMAP Bitmap);

}  // namespace k58::builtin
