#include "WinUiTestSupport.h"

#include <map>

namespace winui_test {

namespace {

std::map<HWND, Handler>& Handlers() {
  static std::map<HWND, Handler> H;
  return H;
}

LRESULT CALLBACK SpyProc(HWND Hwnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  Log().push_back(Seen{Hwnd, Msg, WParam, LParam});
  auto It = Handlers().find(Hwnd);
  if (It != Handlers().end()) {
    LRESULT Result = 0;
    Handler H = It->second;
    if (H(Hwnd, Msg, WParam, LParam, Result)) return Result;
  }
  if (Msg == WM_NCDESTROY) Handlers().erase(Hwnd);
  return DefWindowProc(Hwnd, Msg, WParam, LParam);
}

void RegisterSpy(const char* Name, UINT Style, HBRUSH Background) {
  WNDCLASS C;
  C.style = Style;
  C.lpfnWndProc = SpyProc;
  C.hCursor = LoadCursor(nullptr, IDC_ARROW);
  C.hbrBackground = Background;
  C.lpszClassName = Name;
  RegisterClass(&C);
}

const std::map<UINT, const char*>& Table() {
  static const std::map<UINT, const char*> T = {
      {WM_CREATE, "WM_CREATE"}, {WM_DESTROY, "WM_DESTROY"}, {WM_MOVE, "WM_MOVE"}, {WM_SIZE, "WM_SIZE"},
      {WM_ACTIVATE, "WM_ACTIVATE"}, {WM_SETFOCUS, "WM_SETFOCUS"}, {WM_KILLFOCUS, "WM_KILLFOCUS"},
      {WM_ENABLE, "WM_ENABLE"}, {WM_SETTEXT, "WM_SETTEXT"}, {WM_PAINT, "WM_PAINT"}, {WM_CLOSE, "WM_CLOSE"},
      {WM_ERASEBKGND, "WM_ERASEBKGND"}, {WM_SHOWWINDOW, "WM_SHOWWINDOW"}, {WM_ACTIVATEAPP, "WM_ACTIVATEAPP"},
      {WM_CANCELMODE, "WM_CANCELMODE"}, {WM_SETCURSOR, "WM_SETCURSOR"}, {WM_MOUSEACTIVATE, "WM_MOUSEACTIVATE"},
      {WM_GETMINMAXINFO, "WM_GETMINMAXINFO"}, {WM_WINDOWPOSCHANGING, "WM_WINDOWPOSCHANGING"},
      {WM_WINDOWPOSCHANGED, "WM_WINDOWPOSCHANGED"}, {WM_NCCREATE, "WM_NCCREATE"}, {WM_NCDESTROY, "WM_NCDESTROY"},
      {WM_NCCALCSIZE, "WM_NCCALCSIZE"}, {WM_NCHITTEST, "WM_NCHITTEST"}, {WM_NCPAINT, "WM_NCPAINT"},
      {WM_NCACTIVATE, "WM_NCACTIVATE"}, {WM_NCMOUSEMOVE, "WM_NCMOUSEMOVE"}, {WM_NCLBUTTONDOWN, "WM_NCLBUTTONDOWN"},
      {WM_NCLBUTTONUP, "WM_NCLBUTTONUP"}, {WM_NCLBUTTONDBLCLK, "WM_NCLBUTTONDBLCLK"}, {WM_KEYDOWN, "WM_KEYDOWN"},
      {WM_KEYUP, "WM_KEYUP"}, {WM_CHAR, "WM_CHAR"}, {WM_DEADCHAR, "WM_DEADCHAR"}, {WM_SYSKEYDOWN, "WM_SYSKEYDOWN"},
      {WM_SYSKEYUP, "WM_SYSKEYUP"}, {WM_SYSCHAR, "WM_SYSCHAR"}, {WM_SYSCOMMAND, "WM_SYSCOMMAND"},
      {WM_TIMER, "WM_TIMER"}, {WM_HSCROLL, "WM_HSCROLL"}, {WM_VSCROLL, "WM_VSCROLL"},
      {WM_MOUSEMOVE, "WM_MOUSEMOVE"}, {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"}, {WM_LBUTTONUP, "WM_LBUTTONUP"},
      {WM_LBUTTONDBLCLK, "WM_LBUTTONDBLCLK"}, {WM_RBUTTONDOWN, "WM_RBUTTONDOWN"}, {WM_RBUTTONUP, "WM_RBUTTONUP"},
      {WM_MOUSEWHEEL, "WM_MOUSEWHEEL"}, {WM_PARENTNOTIFY, "WM_PARENTNOTIFY"}, {WM_CAPTURECHANGED, "WM_CAPTURECHANGED"},
      {WM_ENTERSIZEMOVE, "WM_ENTERSIZEMOVE"}, {WM_EXITSIZEMOVE, "WM_EXITSIZEMOVE"}, {WM_MOVING, "WM_MOVING"},
      {WM_SIZING, "WM_SIZING"}, {WM_IME_CHAR, "WM_IME_CHAR"}, {WM_MOUSELEAVE, "WM_MOUSELEAVE"},
      {WM_MOUSEHOVER, "WM_MOUSEHOVER"}, {WM_NCMOUSELEAVE, "WM_NCMOUSELEAVE"}, {WM_CONTEXTMENU, "WM_CONTEXTMENU"},
      {WM_SYSCOLORCHANGE, "WM_SYSCOLORCHANGE"}, {WM_SETTINGCHANGE, "WM_SETTINGCHANGE"},
      {WM_THEMECHANGED, "WM_THEMECHANGED"}, {WM_PRINTCLIENT, "WM_PRINTCLIENT"}, {WM_STYLECHANGING, "WM_STYLECHANGING"},
      {WM_STYLECHANGED, "WM_STYLECHANGED"}, {WM_GETTEXT, "WM_GETTEXT"}, {WM_GETTEXTLENGTH, "WM_GETTEXTLENGTH"},
      {WM_DISPLAYCHANGE, "WM_DISPLAYCHANGE"}};
  return T;
}

}  // namespace

std::vector<Seen>& Log() {
  static std::vector<Seen> L;
  return L;
}

std::string NameOf(UINT Msg) {
  auto It = Table().find(Msg);
  if (It != Table().end()) return It->second;
  char B[16];
  std::snprintf(B, sizeof B, "0x%04X", Msg);
  return B;
}

std::vector<std::string> Names(HWND Hwnd, const std::vector<UINT>& Filter) {
  std::vector<std::string> Out;
  for (const Seen& S : Log()) {
    if (Hwnd && S.Hwnd != Hwnd) continue;
    if (!Filter.empty() && std::find(Filter.begin(), Filter.end(), S.Msg) == Filter.end()) continue;
    // Text queries come and go with painting; they say nothing about the sequences tested.
    if (Filter.empty() && (S.Msg == WM_GETTEXT || S.Msg == WM_GETTEXTLENGTH || S.Msg == WM_NCHITTEST)) continue;
    Out.push_back(NameOf(S.Msg));
  }
  return Out;
}

Seen First(HWND Hwnd, UINT Msg) {
  for (const Seen& S : Log())
    if (S.Hwnd == Hwnd && S.Msg == Msg) return S;
  ADD_FAILURE() << "no " << NameOf(Msg);
  return Seen{};
}

int Count(HWND Hwnd, UINT Msg) {
  int N = 0;
  for (const Seen& S : Log())
    if ((!Hwnd || S.Hwnd == Hwnd) && S.Msg == Msg) ++N;
  return N;
}

void Handle(HWND Hwnd, Handler H) { Handlers()[Hwnd] = std::move(H); }

HWND Make(DWORD Style, int X, int Y, int W, int H, HWND Parent, DWORD ExStyle, const char* Class, const char* Title) {
  return CreateWindowEx(ExStyle, Class, Title, Style, X, Y, W, H, Parent, nullptr, nullptr, nullptr);
}

POINT ScreenOf(HWND Hwnd, int X, int Y) {
  POINT P{X, Y};
  ClientToScreen(Hwnd, &P);
  return P;
}

void WinUiTest::SetUp() {
  D = std::make_unique<winui::TestDisplay>(1280, 1024);
  static bool Registered = false;
  if (!Registered) {
    RegisterSpy(SpyClass, 0, reinterpret_cast<HBRUSH>(static_cast<intptr_t>(COLOR_WINDOW + 1)));
    RegisterSpy(SpyDblClass, CS_DBLCLKS, reinterpret_cast<HBRUSH>(static_cast<intptr_t>(COLOR_WINDOW + 1)));
    RegisterSpy(SpyBlankClass, 0, nullptr);
    Registered = true;
  }
  Log().clear();
  Handlers().clear();
}

void WinUiTest::TearDown() {
  if (HasFailure()) {
    const auto* Info = ::testing::UnitTest::GetInstance()->current_test_info();
    D->SavePng(std::string("/tmp/winui-") + Info->test_suite_name() + "-" + Info->name() + ".png");
  }
  D.reset();
  Handlers().clear();
  Log().clear();
}

}  // namespace winui_test
