#include "ControlsTestSupport.h"

#include <algorithm>

namespace builtin_test {

namespace {

ControlsTest* Current = nullptr;
constexpr char ParentClass[] = "CtlTestParent";

LRESULT CALLBACK ParentProc(HWND Hwnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Current && Current->Parent == Hwnd) {
    // Recorded first, so that a test's handler sees its own message in the list.
    auto* Self = Current;
    Self->Notes.Add(Hwnd, Msg, WParam, LParam);
    LRESULT Result = 0;
    if (Self->OnParent && Self->OnParent(Msg, WParam, LParam, Result)) return Result;
  }
  return DefWindowProc(Hwnd, Msg, WParam, LParam);
}

}  // namespace

void ControlsTest::SetUp() {
  D = std::make_unique<k58::winui::TestDisplay>(1280, 1024);
  InitCommonControls();
  WNDCLASS C;
  C.lpfnWndProc = ParentProc;
  C.hCursor = LoadCursor(nullptr, IDC_ARROW);
  C.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<intptr_t>(COLOR_BTNFACE + 1));
  C.lpszClassName = ParentClass;
  RegisterClass(&C);
  Current = this;
  Parent = CreateWindowEx(0, ParentClass, "Parent", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 50, 50, 500, 400,
                          nullptr, nullptr, nullptr, nullptr);
  D->Pump();
}

void ControlsTest::TearDown() {
  OnParent = nullptr;
  if (IsWindow(Parent)) DestroyWindow(Parent);
  D->Pump();
  Current = nullptr;
  D.reset();
}

HWND ControlsTest::Child(const char* Class, const char* Text, DWORD Style, int X, int Y, int W, int H, int Id,
                         DWORD ExStyle) {
  HWND H2 = CreateWindowEx(ExStyle, Class, Text, Style | WS_CHILD | WS_VISIBLE, X, Y, W, H, Parent,
                           reinterpret_cast<HMENU>(static_cast<intptr_t>(Id)), nullptr, nullptr);
  EXPECT_NE(H2, nullptr) << Class;
  return H2;
}

std::vector<UINT> ControlsTest::Commands(HWND From) const { return Notes.Codes(WM_COMMAND, From); }

int ControlsTest::CommandCount(HWND From, UINT Code) const {
  std::vector<UINT> Codes = Commands(From);
  return static_cast<int>(std::count(Codes.begin(), Codes.end(), Code));
}

POINT ControlsTest::ScreenOf(HWND Hwnd, int X, int Y) const {
  POINT P{X, Y};
  ClientToScreen(Hwnd, &P);
  return P;
}

std::string ControlsTest::Text(HWND Hwnd) {
  char Buf[4096];
  int N = GetWindowText(Hwnd, Buf, sizeof Buf);
  return std::string(Buf, static_cast<size_t>(N > 0 ? N : 0));
}

std::string ControlsTest::ClipboardText() {
  std::string Out;
  if (!OpenClipboard(nullptr)) return Out;
  if (HANDLE H = GetClipboardData(CF_TEXT)) {
    if (auto* P = static_cast<const char*>(GlobalLock(H))) {
      Out = P;
      GlobalUnlock(H);
    }
  }
  CloseClipboard();
  return Out;
}

void ControlsTest::SetClipboardText(const std::string& Text) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL H = GlobalAlloc(GMEM_MOVEABLE, Text.size() + 1);
  auto* P = static_cast<char*>(GlobalLock(H));
  std::copy(Text.begin(), Text.end(), P);
  P[Text.size()] = 0;
  GlobalUnlock(H);
  SetClipboardData(CF_TEXT, H);
  CloseClipboard();
}

void SendKey(HWND Hwnd, WORD Vk, bool Shift, bool Ctrl) {
  BYTE Keys[256];
  GetKeyboardState(Keys);
  BYTE Saved[256];
  std::copy(Keys, Keys + 256, Saved);
  Keys[VK_SHIFT] = Shift ? 0x80 : 0;
  Keys[VK_CONTROL] = Ctrl ? 0x80 : 0;
  SetKeyboardState(Keys);
  SendMessage(Hwnd, WM_KEYDOWN, Vk, 1);
  SendMessage(Hwnd, WM_KEYUP, Vk, static_cast<LPARAM>(0xC0000001u));
  SetKeyboardState(Saved);
}

void SendChars(HWND Hwnd, const std::u16string& Chars) {
  for (char16_t C : Chars) SendMessage(Hwnd, WM_CHAR, C, 1);
}

}  // namespace builtin_test
