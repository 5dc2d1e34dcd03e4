#include "MenuTestSupport.h"

namespace winui_test {

RECT ItemRect(HWND Window, HMENU Menu, UINT Index) {
  RECT R{};
  EXPECT_TRUE(GetMenuItemRect(Window, Menu, Index, &R)) << "item " << Index;
  return R;
}

SampleMenu MakeSampleMenu() {
  SampleMenu M;
  M.Bar = CreateMenu();
  M.File = CreatePopupMenu();
  M.Recent = CreatePopupMenu();
  M.Edit = CreatePopupMenu();
  AppendMenu(M.Recent, MF_STRING, 11, "One");
  AppendMenu(M.Recent, MF_STRING, 12, "Two");
  AppendMenu(M.File, MF_STRING, 1, "&New\tCtrl+N");
  AppendMenu(M.File, MF_STRING, 2, "&Open");
  AppendMenu(M.File, MF_SEPARATOR, 0, nullptr);
  AppendMenu(M.File, MF_POPUP, reinterpret_cast<UINT_PTR>(M.Recent), "&Recent");
  AppendMenu(M.File, MF_STRING, 3, "E&xit");
  AppendMenu(M.Edit, MF_STRING | MF_GRAYED, 4, "&Undo");
  AppendMenu(M.Edit, MF_STRING, 5, "Cu&t");
  AppendMenu(M.Edit, MF_STRING | MF_CHECKED, 6, "&Copy");
  AppendMenu(M.Bar, MF_POPUP, reinterpret_cast<UINT_PTR>(M.File), "&File");
  AppendMenu(M.Bar, MF_POPUP, reinterpret_cast<UINT_PTR>(M.Edit), "&Edit");
  return M;
}

namespace {

std::vector<std::function<void()>> GSteps;
k58::winui::TestDisplay* GDisplay = nullptr;

void RunStep(size_t K) {
  if (K >= GSteps.size()) return;
  std::function<void()> Step = GSteps[K];
  Step();
  GDisplay->Later([K] { RunStep(K + 1); });
}

}  // namespace

void Chain(k58::winui::TestDisplay& D, std::vector<std::function<void()>> Steps) {
  GSteps = std::move(Steps);
  GDisplay = &D;
  D.Later([] { RunStep(0); });
}

HWND PopupOf(HMENU Menu) {
  for (HWND W = FindWindowEx(nullptr, nullptr, MENU_CLASS, nullptr); W;
       W = FindWindowEx(nullptr, W, MENU_CLASS, nullptr))
    if (reinterpret_cast<HMENU>(SendMessage(W, MN_GETHMENU, 0, 0)) == Menu && IsWindowVisible(W)) return W;
  return nullptr;
}

}  // namespace winui_test
