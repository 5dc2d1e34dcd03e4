// The test helper over the headless display: installs a fresh virtual screen with pinned system
// colours, metrics and fonts and a manual clock, injects mouse and keyboard input at screen points,
// pumps the message queue until it is idle, and reads pixels of the screen or a window.
//
// One TestDisplay at a time, on the thread that owns the windows. Input is queued and routed while
// the queue is pumped, so a click followed by Pump() runs the whole press-release sequence, including
// modal loops started by the press (move, size, scroll-bar tracking). Later() queues a step (moving
// the clock, for example) in turn with the input, for what must happen inside such a loop.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/win/core/Clock.h"
#include "platform/win/core/WinBase.h"
#include "platform/win/gdi/Surface.h"
#include "platform/win/ui/Display.h"
#include "platform/win/ui/Headless.h"

namespace k58::winui {

class TestDisplay {
public:
  explicit TestDisplay(int Width = 1280, int Height = 1024);
  ~TestDisplay();
  TestDisplay(const TestDisplay&) = delete;
  TestDisplay& operator=(const TestDisplay&) = delete;

  // The display alive now, or null.
  static TestDisplay* Current();

  HeadlessDisplay& Headless() { return *display_; }
  wincore::ManualClock& Clock() { return **clock_; }

  // ---- mouse, at screen points ----
  void MoveTo(POINT P);
  void Press(POINT P, MouseButton B = MouseButton::Left);
  void Release(POINT P, MouseButton B = MouseButton::Left);
  void Click(POINT P, MouseButton B = MouseButton::Left);
  void DoubleClick(POINT P, MouseButton B = MouseButton::Left);
  // Press at From, move in Steps steps to To, release there.
  void Drag(POINT From, POINT To, int Steps = 4, MouseButton B = MouseButton::Left);
  void Wheel(POINT P, int Notches);

  // ---- keyboard ----
  void KeyDown(WORD Vk, WCHAR Char = 0);
  void KeyUp(WORD Vk);
  void Key(WORD Vk);
  // Holds the modifiers (VK_SHIFT, VK_CONTROL, VK_MENU) while pressing Vk.
  void Chord(std::initializer_list<WORD> Modifiers, WORD Vk);
  // Types UTF-8 text: what the US layout has keys for as key presses (with Shift where needed), the
  // rest as input-method text.
  void Type(const std::string& Text);
  void TypeIme(const std::u16string& Text);

  // ---- time and the queue ----
  // Moves the clock now (timers become due; nothing is dispatched).
  void Advance(DWORD Milliseconds);
  // Runs Step on the GUI thread when the queued input before it has been handled.
  void Later(std::function<void()> Step);
  void AdvanceLater(DWORD Milliseconds);
  // Retrieves, translates and dispatches until nothing is waiting (input, posted, paint, due timers);
  // answers how many messages were dispatched. Stops at WM_QUIT (QuitSeen) or after Limit messages.
  int Pump(int Limit = 100000);
  bool QuitSeen() const { return quit_; }

  // ---- pixels ----
  // The screen as a person would see it: the desktop colour, then every visible top-level window
  // from the bottom up (through its window region).
  gdi::SurfacePtr Screen();
  COLORREF ScreenPixel(POINT P);
  // A pixel of a top-level window's surface (window coordinates of Hwnd, which may be a child).
  COLORREF WindowPixel(HWND Hwnd, POINT P);
  COLORREF ClientPixel(HWND Hwnd, POINT P);
  // Writes the screen (Hwnd null) or a window's top-level surface as a PNG.
  bool SavePng(const std::string& Path, HWND Hwnd = nullptr);

private:
  std::unique_ptr<wincore::ScopedManualClock> clock_;
  HeadlessDisplay* display_ = nullptr;
  bool quit_ = false;
};

// Forgets the input, focus, activation and capture state (between tests).
void ResetWindowSystemState();

}  // namespace k58::winui
