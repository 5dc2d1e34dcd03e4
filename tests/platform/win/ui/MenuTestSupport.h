// Shared pieces of the menu, MDI and message-box tests: a window with a small menu bar, and steps run
// inside the menu loops.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "WinUiTestSupport.h"
#include "tests/common/Display.h"

namespace winui_test {

inline int Width(const RECT& R) { return R.right - R.left; }
inline int Height(const RECT& R) { return R.bottom - R.top; }
inline POINT Centre(const RECT& R) { return POINT{(R.left + R.right) / 2, (R.top + R.bottom) / 2}; }

// The screen rectangle of an item of a bar or an open popup.
RECT ItemRect(HWND Window, HMENU Menu, UINT Index);

// "&File" (New 1, Open 2, separator, Recent > (One 11, Two 12), E&xit 3) and "&Edit" (&Undo 4 grayed,
// Cu&t 5, &Copy 6 checked) on a bar.
struct SampleMenu {
  HMENU Bar = nullptr;
  HMENU File = nullptr;
  HMENU Recent = nullptr;
  HMENU Edit = nullptr;
};
SampleMenu MakeSampleMenu();

// Runs the steps one after the other inside the loops of the queue: each step runs once the input the
// step before it injected has been handled.
void Chain(k58::winui::TestDisplay& D, std::vector<std::function<void()>> Steps);

// The popup window showing a menu now (null when none is open).
HWND PopupOf(HMENU Menu);

}  // namespace winui_test
