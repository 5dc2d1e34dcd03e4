#include "MenuTestSupport.h"

#include <map>

#include "platform/win/gdi/Gdi.h"

namespace winui_test {

std::string MenuMessageName(UINT Msg) {
  static const std::map<UINT, const char*> T = {
      {WM_INITMENU, "WM_INITMENU"},           {WM_INITMENUPOPUP, "WM_INITMENUPOPUP"},
      {WM_MENUSELECT, "WM_MENUSELECT"},       {WM_MENUCHAR, "WM_MENUCHAR"},
      {WM_ENTERMENULOOP, "WM_ENTERMENULOOP"}, {WM_EXITMENULOOP, "WM_EXITMENULOOP"},
      {WM_UNINITMENUPOPUP, "WM_UNINITMENUPOPUP"}, {WM_COMMAND, "WM_COMMAND"},
      {WM_SYSCOMMAND, "WM_SYSCOMMAND"},       {WM_MEASUREITEM, "WM_MEASUREITEM"},
      {WM_DRAWITEM, "WM_DRAWITEM"},           {WM_MDIACTIVATE, "WM_MDIACTIVATE"},
      {WM_CHILDACTIVATE, "WM_CHILDACTIVATE"}, {WM_NCACTIVATE, "WM_NCACTIVATE"},
      {WM_SETFOCUS, "WM_SETFOCUS"},           {WM_KILLFOCUS, "WM_KILLFOCUS"},
      {WM_CANCELMODE, "WM_CANCELMODE"}};
  auto It = T.find(Msg);
  return It != T.end() ? It->second : NameOf(Msg);
}

std::vector<std::string> MenuNames(HWND Hwnd, const std::vector<UINT>& Filter) {
  std::vector<std::string> Out;
  for (const Seen& S : Log())
    if ((!Hwnd || S.Hwnd == Hwnd) && std::find(Filter.begin(), Filter.end(), S.Msg) != Filter.end())
      Out.push_back(MenuMessageName(S.Msg));
  return Out;
}

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
winui::TestDisplay* GDisplay = nullptr;

void RunStep(size_t K) {
  if (K >= GSteps.size()) return;
  std::function<void()> Step = GSteps[K];
  Step();
  GDisplay->Later([K] { RunStep(K + 1); });
}

}  // namespace

void Chain(winui::TestDisplay& D, std::vector<std::function<void()>> Steps) {
  GSteps = std::move(Steps);
  GDisplay = &D;
  D.Later([] { RunStep(0); });
}

int CountColour(winui::TestDisplay& D, const RECT& R, COLORREF C) {
  gdi::SurfacePtr S = D.Screen();
  int X0 = GetSystemMetrics(SM_XVIRTUALSCREEN), Y0 = GetSystemMetrics(SM_YVIRTUALSCREEN);
  int N = 0;
  for (int Y = R.top; Y < R.bottom; ++Y)
    for (int X = R.left; X < R.right; ++X)
      if (S->Contains(X - X0, Y - Y0) && gdi::PixelToColor(S->Get(X - X0, Y - Y0)) == C) ++N;
  return N;
}

HWND PopupOf(HMENU Menu) {
  for (HWND W = FindWindowEx(nullptr, nullptr, MENU_CLASS, nullptr); W;
       W = FindWindowEx(nullptr, W, MENU_CLASS, nullptr))
    if (reinterpret_cast<HMENU>(SendMessage(W, MN_GETHMENU, 0, 0)) == Menu && IsWindowVisible(W)) return W;
  return nullptr;
}

}  // namespace winui_test
