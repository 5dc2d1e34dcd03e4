// Shared pieces of the control tests: a fresh headless display per test with the built-in classes
// registered, a visible top-level parent window that records the notifications its controls send
// (WM_COMMAND, WM_NOTIFY, WM_HSCROLL/WM_VSCROLL, WM_DRAWITEM) and lets a test answer them.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/win/Windows.h"
#include "platform/win/controls/CommCtrl.h"
#include "platform/win/ui/TestDisplay.h"
#include "platform/win/ui/WinClipboard.h"

namespace controls_test {

// A message the parent received from a control.
struct Note {
  UINT Msg = 0;
  HWND From = nullptr;  // the control (lParam of WM_COMMAND and the scroll messages, hwndFrom)
  UINT Code = 0;        // WM_COMMAND: the notification code; WM_NOTIFY: NMHDR.code; scroll: SB_ code
  int Pos = 0;          // scroll messages: the position in the high word
  UINT ItemState = 0;   // WM_DRAWITEM
};

class ControlsTest : public ::testing::Test {
public:
  void SetUp() override;
  void TearDown() override;

  // A child control of the parent window (client coordinates), with id Id.
  HWND Child(const char* Class, const char* Text, DWORD Style, int X, int Y, int W, int H, int Id = 100,
             DWORD ExStyle = 0);
  // WM_COMMAND notification codes from a control, in order.
  std::vector<UINT> Commands(HWND From) const;
  int CommandCount(HWND From, UINT Code) const;
  std::vector<Note> NotesOf(UINT Msg) const;
  POINT ScreenOf(HWND Hwnd, int X, int Y) const;
  // The control's text as GetWindowText reads it.
  static std::string Text(HWND Hwnd);
  // Clipboard text (UTF-8), empty when none.
  static std::string ClipboardText();
  static void SetClipboardText(const std::string& Text);

  std::unique_ptr<winui::TestDisplay> D;
  HWND Parent = nullptr;
  std::vector<Note> Notes;
  // Runs before the parent's own handling of every message; true (with Result) answers it.
  std::function<bool(UINT, WPARAM, LPARAM, LRESULT&)> OnParent;
};

// Replaces a window's procedure with one that records what reaches it and then calls the original.
class MessageSpy {
public:
  explicit MessageSpy(HWND Hwnd);
  ~MessageSpy();
  std::vector<UINT> Seen;
  int Count(UINT Msg) const;

private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
  HWND FHwnd;
  WNDPROC FOld;
};

// Sends a key to a window as the program would (WM_KEYDOWN then WM_KEYUP) with the given modifiers
// held in the keyboard state.
void SendKey(HWND Hwnd, WORD Vk, bool Shift = false, bool Ctrl = false);
void SendChars(HWND Hwnd, const std::u16string& Chars);

}  // namespace controls_test
