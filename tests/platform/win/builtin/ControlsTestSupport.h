// Shared pieces of the control tests: a fresh headless display per test with the built-in classes
// registered, a visible top-level parent window that records what it receives (the notifications its
// controls send among it) and lets a test answer it.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/win/Windows.h"
#include "platform/win/builtin/CommCtrl.h"
#include "platform/win/testing/TestDisplay.h"
#include "platform/win/ui/WinClipboard.h"
#include "tests/common/Messages.h"

namespace builtin_test {

using k58test::Message;
using k58test::MessageSpy;

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
  std::vector<Message> NotesOf(UINT Msg) const { return Notes.Of(nullptr, {Msg}); }
  // The position a scroll notification carries in its high word.
  static int ScrollPos(const Message& M) { return static_cast<short>(HIWORD(M.WParam)); }
  POINT ScreenOf(HWND Hwnd, int X, int Y) const;
  // The control's text as GetWindowText reads it.
  static std::string Text(HWND Hwnd);
  // Clipboard text (UTF-8), empty when none.
  static std::string ClipboardText();
  static void SetClipboardText(const std::string& Text);

  std::unique_ptr<k58::winui::TestDisplay> D;
  HWND Parent = nullptr;
  // What the parent received.
  k58test::MessageLog Notes;
  // Runs before the parent's own handling of every message; true (with Result) answers it.
  std::function<bool(UINT, WPARAM, LPARAM, LRESULT&)> OnParent;
};

// Sends a key to a window as the program would (WM_KEYDOWN then WM_KEYUP) with the given modifiers
// held in the keyboard state.
void SendKey(HWND Hwnd, WORD Vk, bool Shift = false, bool Ctrl = false);
void SendChars(HWND Hwnd, const std::u16string& Chars);

}  // namespace builtin_test
