#include "WinCoreTestSupport.h"

#include <mutex>

namespace wincore_test {

namespace {
std::mutex HandlerLock;
Handler CurrentHandler;

bool IsCreationMessage(UINT M) {
  return M == WM_NCCREATE || M == WM_CREATE || M == WM_GETTEXT || M == WM_GETTEXTLENGTH;
}
}  // namespace

std::vector<UINT> Messages(HWND Hwnd, bool SkipCreation) {
  std::vector<UINT> Out;
  for (const Message& M : Log().Of(Hwnd))
    if (!(SkipCreation && IsCreationMessage(M.Msg))) Out.push_back(M.Msg);
  return Out;
}

k58test::MessageLog& Log() {
  static k58test::MessageLog L;
  return L;
}

void SetHandler(Handler H) {
  std::lock_guard<std::mutex> G(HandlerLock);
  CurrentHandler = std::move(H);
}

LRESULT CALLBACK TestWndProc(HWND Hwnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  Log().Add(Hwnd, Msg, WParam, LParam);
  Handler H;
  {
    std::lock_guard<std::mutex> G(HandlerLock);
    H = CurrentHandler;
  }
  return H ? H(Hwnd, Msg, WParam, LParam) : DefWindowProc(Hwnd, Msg, WParam, LParam);
}

std::vector<HWND>& Made() {
  static std::vector<HWND> Windows;
  return Windows;
}

HWND MakeWindow(HWND Parent, DWORD Style, const char* Title, UINT_PTR Id) {
  HWND H = CreateWindowEx(0, TestClass, Title, Style, 0, 0, 100, 100, Parent, reinterpret_cast<HMENU>(Id), nullptr,
                          nullptr);
  if (H) Made().push_back(H);
  return H;
}

void WinCoreTest::SetUp() {
  static bool Registered = [] {
    WNDCLASS C;
    C.lpfnWndProc = TestWndProc;
    C.cbWndExtra = 2 * sizeof(LONG_PTR);
    C.lpszClassName = TestClass;
    return RegisterClass(&C) != 0;
  }();
  ASSERT_TRUE(Registered);
  DrainQueue();
  Log().Clear();
  SetHandler(nullptr);
}

void WinCoreTest::TearDown() {
  SetHandler(nullptr);
  for (HWND H : Made())
    if (IsWindow(H)) DestroyWindow(H);
  Made().clear();
  DrainQueue();
}

void WinCoreTest::DrainQueue() {
  MSG M;
  while (PeekMessage(&M, nullptr, 0, 0, PM_REMOVE)) {
  }
}

}  // namespace wincore_test
