// Shared pieces of the menu, MDI and message-box tests: names of the menu and MDI messages, and a
// window with a small menu bar.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "WinUiTestSupport.h"

namespace winui_test {

// The owner's messages among Filter, by name (menu and MDI messages have names here).
std::vector<std::string> MenuNames(HWND Hwnd, const std::vector<UINT>& Filter);
std::string MenuMessageName(UINT Msg);

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
void Chain(winui::TestDisplay& D, std::vector<std::function<void()>> Steps);

// Pixels of the screen in a rectangle (screen coordinates) that have a colour, from one picture.
int CountColour(winui::TestDisplay& D, const RECT& R, COLORREF C);

// The popup window showing a menu now (null when none is open).
HWND PopupOf(HMENU Menu);

}  // namespace winui_test
