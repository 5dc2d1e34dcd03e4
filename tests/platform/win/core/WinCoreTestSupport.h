// Shared pieces of the window-manager core tests: a window class whose procedure forwards to a
// per-test handler and logs what it receives, and a fixture that runs every test under a manual
// clock and leaves the thread's queue and windows empty afterwards.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/win/core/Clock.h"
#include "platform/win/core/WinUser.h"
#include "tests/common/Messages.h"

namespace wincore_test {

using k58test::Message;

// Messages received by windows of the test class, in order (any thread).
k58test::MessageLog& Log();
// The message numbers received by one window (all windows when Hwnd is null), without the creation
// messages and text queries unless asked for.
std::vector<UINT> Messages(HWND Hwnd = nullptr, bool SkipCreation = true);

// What the test class's procedure does after logging; DefWindowProc when empty.
using Handler = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;
void SetHandler(Handler H);

LRESULT CALLBACK TestWndProc(HWND Hwnd, UINT Msg, WPARAM WParam, LPARAM LParam);

inline constexpr const char* TestClass = "WinCoreTestWindow";

// A window of the test class (top-level unless Parent is given with WS_CHILD); the fixture destroys
// the ones still alive after the test.
std::vector<HWND>& Made();
HWND MakeWindow(HWND Parent = nullptr, DWORD Style = 0, const char* Title = "", UINT_PTR Id = 0);

class WinCoreTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;
  // Removes everything waiting in the calling thread's queue without dispatching it.
  static void DrainQueue();

  k58::wincore::ScopedManualClock Clock{1000};
};

}  // namespace wincore_test
