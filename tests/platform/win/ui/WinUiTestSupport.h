// Shared pieces of the window tests: a spy window class that records what its windows receive in one
// message log and lets a test answer messages, and a fixture running every test on a fresh headless
// display.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/win/Windows.h"
#include "platform/win/testing/TestDisplay.h"
#include "tests/common/Messages.h"

namespace winui_test {

using k58test::Message;

// Messages received by spy windows, in order.
k58test::MessageLog& Log();
// Message names of one window's log (all windows when null), only those in Filter when given. Without
// a filter, text queries and hit tests are left out: they come and go with painting and say nothing
// about the sequences tested.
std::vector<std::string> Names(HWND Hwnd = nullptr, const std::vector<UINT>& Filter = {});

// A test's answer to a message of one window: true when handled (with Result set).
using Handler = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT&)>;
void Handle(HWND Hwnd, Handler H);

inline constexpr const char* SpyClass = "WinUiSpy";
inline constexpr const char* SpyDblClass = "WinUiSpyDbl";  // with CS_DBLCLKS
inline constexpr const char* SpyBlankClass = "WinUiSpyBlank";  // no background brush

HWND Make(DWORD Style, int X, int Y, int W, int H, HWND Parent = nullptr, DWORD ExStyle = 0,
          const char* Class = SpyClass, const char* Title = "");

inline POINT Pt(int X, int Y) { return POINT{X, Y}; }
// Screen point of a client point of a window.
POINT ScreenOf(HWND Hwnd, int X, int Y);

inline constexpr COLORREF kFace = RGB(212, 208, 200);  // COLOR_BTNFACE, COLOR_SCROLLBAR
inline constexpr COLORREF kWhite = RGB(255, 255, 255);
inline constexpr COLORREF kBlack = RGB(0, 0, 0);
inline constexpr COLORREF kActiveCaption = RGB(10, 36, 106);
inline constexpr COLORREF kInactiveCaption = RGB(128, 128, 128);

class WinUiTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;
  std::unique_ptr<k58::winui::TestDisplay> D;
};

}  // namespace winui_test
