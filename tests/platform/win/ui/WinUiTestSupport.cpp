#include "WinUiTestSupport.h"

#include <map>

namespace winui_test {

namespace {

std::map<HWND, Handler>& Handlers() {
  static std::map<HWND, Handler> H;
  return H;
}

LRESULT CALLBACK SpyProc(HWND Hwnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  Log().Add(Hwnd, Msg, WParam, LParam);
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

}  // namespace

k58test::MessageLog& Log() {
  static k58test::MessageLog L;
  return L;
}

std::vector<std::string> Names(HWND Hwnd, const std::vector<UINT>& Filter) {
  if (!Filter.empty()) return Log().Names(Hwnd, Filter);
  std::vector<std::string> Out;
  for (const Message& M : Log().Of(Hwnd))
    if (M.Msg != WM_GETTEXT && M.Msg != WM_GETTEXTLENGTH && M.Msg != WM_NCHITTEST)
      Out.push_back(k58test::MessageName(M.Msg));
  return Out;
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
  D = std::make_unique<k58::winui::TestDisplay>(1280, 1024);
  static bool Registered = false;
  if (!Registered) {
    RegisterSpy(SpyClass, 0, reinterpret_cast<HBRUSH>(static_cast<intptr_t>(COLOR_WINDOW + 1)));
    RegisterSpy(SpyDblClass, CS_DBLCLKS, reinterpret_cast<HBRUSH>(static_cast<intptr_t>(COLOR_WINDOW + 1)));
    RegisterSpy(SpyBlankClass, 0, nullptr);
    Registered = true;
  }
  Log().Clear();
  Handlers().clear();
}

void WinUiTest::TearDown() {
  D.reset();
  Handlers().clear();
  Log().Clear();
}

}  // namespace winui_test
