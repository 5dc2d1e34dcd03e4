// Keyboard input, key translation, input-method text, focus moves, activation order and the modal
// loop.
#include "WinUiTestSupport.h"

namespace winui_test {
namespace {

using ::testing::ElementsAre;
using KeyboardTest = WinUiTest;
using FocusTest = WinUiTest;

const std::vector<UINT> kKeys = {WM_KEYDOWN, WM_KEYUP, WM_CHAR, WM_SYSKEYDOWN, WM_SYSKEYUP, WM_SYSCHAR, WM_DEADCHAR};

std::u16string Chars(HWND W) {
  std::u16string S;
  for (const Message& M : Log())
    if (M.Hwnd == W && M.Msg == WM_CHAR) S.push_back(static_cast<char16_t>(M.WParam));
  return S;
}

TEST_F(KeyboardTest, KeysReachTheFocusWindowWithTheirFlags) {
  HWND W = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  HWND Edit = Make(WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, W);
  SetFocus(Edit);
  Log().Clear();
  D->KeyDown('A');
  D->KeyDown('A');  // held: a repeat
  D->KeyUp('A');
  D->Key(VK_DELETE);
  D->Pump();
  EXPECT_THAT(Names(Edit, kKeys), ElementsAre("WM_KEYDOWN", "WM_CHAR", "WM_KEYDOWN", "WM_CHAR", "WM_KEYUP",
                                              "WM_KEYDOWN", "WM_KEYUP"));
  std::vector<LPARAM> L;
  for (const Message& M : Log())
    if (M.Hwnd == Edit && (M.Msg == WM_KEYDOWN || M.Msg == WM_KEYUP)) L.push_back(M.LParam);
  ASSERT_EQ(L.size(), 5u);
  EXPECT_EQ(L[0], static_cast<LPARAM>(0x001E0001));  // scan code 0x1E, one repeat
  EXPECT_EQ(L[1], static_cast<LPARAM>(0x401E0001));  // was down before
  EXPECT_EQ(static_cast<DWORD>(L[2]), 0xC01E0001u);  // released
  EXPECT_EQ(L[3], static_cast<LPARAM>(0x01530001));  // extended key
  EXPECT_EQ(Chars(Edit), u"aa");
  EXPECT_EQ(Log().Count(WM_KEYDOWN, W), 0);
}

TEST_F(KeyboardTest, TranslationFollowsShiftCapsLockAndControl) {
  HWND W = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  D->Type("aB1!?");
  D->Chord({VK_CONTROL}, 'C');
  D->Key(VK_RETURN);
  D->Key(VK_BACK);
  D->Key(VK_CAPITAL);
  D->Type("x");
  D->Pump();
  EXPECT_EQ(Chars(W), std::u16string(u"aB1!?\x03\r\bX"));
  EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, 1);
  EXPECT_FALSE(GetKeyState(VK_SHIFT) & 0x8000);
  D->KeyDown(VK_SHIFT);
  D->Pump();
  EXPECT_TRUE(GetKeyState(VK_SHIFT) & 0x8000);
  EXPECT_TRUE(GetAsyncKeyState(VK_SHIFT) & 0x8000);
  BYTE State[256];
  GetKeyboardState(State);
  EXPECT_TRUE(State[VK_SHIFT] & 0x80);
  D->KeyUp(VK_SHIFT);
  D->Pump();
}

TEST_F(KeyboardTest, AltCombinationsAndF10AreSystemKeys) {
  HWND W = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  Log().Clear();
  D->Chord({VK_MENU}, 'F');
  D->Key(VK_F10);
  D->Pump();
  EXPECT_THAT(Names(W, kKeys), ElementsAre("WM_SYSKEYDOWN", "WM_SYSKEYDOWN", "WM_SYSCHAR", "WM_SYSKEYUP",
                                           "WM_SYSKEYUP", "WM_SYSKEYDOWN", "WM_SYSKEYUP"));
  EXPECT_EQ(Log().First(W, WM_SYSCHAR).WParam, static_cast<WPARAM>('f'));
  EXPECT_TRUE(Log().First(W, WM_SYSCHAR).LParam & (LPARAM{1} << 29));  // Alt was down
  // F10, or Alt let go with no other key, asks for the menu; Alt+letter with the letter.
  std::vector<WPARAM> Commands;
  for (const Message& M : Log())
    if (M.Hwnd == W && M.Msg == WM_SYSCOMMAND) Commands.push_back(M.WParam & 0xFFF0);
  EXPECT_THAT(Commands, ElementsAre(SC_KEYMENU, SC_KEYMENU));
  EXPECT_EQ(Log().First(W, WM_SYSCOMMAND).LParam, static_cast<LPARAM>('f'));
  D->Key(VK_MENU);
  D->Pump();
  EXPECT_EQ(Log().Count(WM_SYSCOMMAND, W), 3);
}

TEST_F(KeyboardTest, InputMethodTextArrivesAsUtf16UnitsAndDeadKeysCompose) {
  HWND W = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  D->TypeIme(u"\u4E2D\U0001F600");
  D->Type("\xC3\xA9");  // no key for it: through the input method
  D->Pump();
  EXPECT_EQ(Log().Count(WM_IME_CHAR, W), 4);
  EXPECT_EQ(Chars(W), u"\u4E2D\U0001F600\u00E9");
  Log().Clear();
  // A display that knows the layout gives the characters: a dead acute, then e, then a dead acute and x.
  k58::winui::InjectKey(VK_OEM_7, 0x28, true, false, 0, u'\u00B4', true);
  k58::winui::InjectKey(VK_OEM_7, 0x28, false);
  D->Key('E');
  k58::winui::InjectKey(VK_OEM_7, 0x28, true, false, 0, u'\u00B4', true);
  D->Key('X');
  D->Pump();
  EXPECT_EQ(Log().Count(WM_DEADCHAR, W), 2);
  EXPECT_EQ(Chars(W), u"\u00E9\u00B4x");
}

TEST_F(KeyboardTest, FilteredPeeksTakeACharacterTrailOrWaitingSystemKeys) {
  HWND W = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  // A key handler takes the character its key produces: the window never gets it as WM_CHAR.
  WPARAM Taken = 0;
  Handle(W, [&Taken](HWND H, UINT M, WPARAM, LPARAM, LRESULT&) {
    if (M != WM_KEYDOWN) return false;
    MSG C;
    if (PeekMessage(&C, H, WM_CHAR, WM_CHAR, PM_REMOVE)) Taken = C.wParam;
    return false;
  });
  Log().Clear();
  D->Key('Q');
  D->Pump();
  EXPECT_EQ(Taken, static_cast<WPARAM>('q'));
  EXPECT_EQ(Log().Count(WM_CHAR, W), 0);
  // System keys waiting in the queue are removed by a peek for them alone; other keys stay.
  Handle(W, [](HWND, UINT, WPARAM, LPARAM, LRESULT&) { return false; });
  Log().Clear();
  D->Chord({VK_MENU}, 'X');
  D->Key('Y');
  MSG M;
  int Removed = 0;
  while (PeekMessage(&M, nullptr, WM_SYSKEYDOWN, WM_SYSKEYDOWN, PM_REMOVE)) ++Removed;
  D->Pump();
  EXPECT_EQ(Removed, 2);  // Alt and X
  EXPECT_EQ(Log().Count(WM_SYSKEYDOWN, W), 0);
  EXPECT_EQ(Chars(W), u"y");
}

HHOOK KeyHook = nullptr;
LRESULT CALLBACK SwallowF2(int Code, WPARAM WParam, LPARAM LParam) {
  if (Code == HC_ACTION && WParam == VK_F2) return 1;
  return CallNextHookEx(KeyHook, Code, WParam, LParam);
}

TEST_F(KeyboardTest, TheKeyboardHookCanDiscardKeys) {
  HWND W = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  KeyHook = SetWindowsHookEx(WH_KEYBOARD, SwallowF2, nullptr, GetCurrentThreadId());
  Log().Clear();
  D->Key(VK_F2);
  D->Key(VK_F3);
  D->Pump();
  UnhookWindowsHookEx(KeyHook);
  EXPECT_THAT(Names(W, kKeys), ElementsAre("WM_KEYDOWN", "WM_KEYUP"));
  EXPECT_EQ(Log().First(W, WM_KEYDOWN).WParam, static_cast<WPARAM>(VK_F3));
}

TEST_F(FocusTest, FocusMovesCarryTheOtherWindow) {
  HWND W = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  HWND A = Make(WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, W);
  HWND B = Make(WS_CHILD | WS_VISIBLE, 20, 0, 10, 10, W);
  EXPECT_EQ(SetFocus(A), W);
  Log().Clear();
  EXPECT_EQ(SetFocus(B), A);
  EXPECT_THAT(Names(), ElementsAre("WM_KILLFOCUS", "WM_SETFOCUS"));
  EXPECT_EQ(Log()[0].WParam, reinterpret_cast<WPARAM>(B));
  EXPECT_EQ(Log()[1].WParam, reinterpret_cast<WPARAM>(A));
  // A handler that moves the focus on while losing it wins; the first move does not finish.
  HWND C = Make(WS_CHILD | WS_VISIBLE, 40, 0, 10, 10, W);
  Handle(B, [C](HWND, UINT M, WPARAM, LPARAM, LRESULT&) {
    if (M == WM_KILLFOCUS) SetFocus(C);
    return false;
  });
  Log().Clear();
  SetFocus(A);
  EXPECT_EQ(GetFocus(), C);
  EXPECT_EQ(Log().Count(WM_SETFOCUS, A), 0);
  EXPECT_EQ(Log().Count(WM_SETFOCUS, C), 1);
}

TEST_F(FocusTest, ActivationMovesInThePlatformsOrder) {
  HWND A = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  HWND B = Make(WS_POPUP, 200, 0, 100, 100);
  Log().Clear();
  ShowWindow(B, SW_SHOW);
  std::vector<std::string> Order;
  for (const Message& S : Log()) {
    if (S.Msg != WM_NCACTIVATE && S.Msg != WM_ACTIVATE && S.Msg != WM_KILLFOCUS && S.Msg != WM_SETFOCUS) continue;
    Order.push_back((S.Hwnd == A ? "A " : "B ") + k58test::MessageName(S.Msg));
  }
  EXPECT_THAT(Order, ElementsAre("A WM_NCACTIVATE", "A WM_ACTIVATE", "B WM_NCACTIVATE", "B WM_ACTIVATE",
                                 "A WM_KILLFOCUS", "B WM_SETFOCUS"));
  EXPECT_EQ(Log().First(A, WM_ACTIVATE).WParam, static_cast<WPARAM>(WA_INACTIVE));
  EXPECT_EQ(Log().First(A, WM_ACTIVATE).LParam, reinterpret_cast<LPARAM>(B));
  EXPECT_EQ(Log().First(B, WM_ACTIVATE).LParam, reinterpret_cast<LPARAM>(A));
  EXPECT_EQ(Log().Count(WM_ACTIVATEAPP, A), 0);  // the application stayed active
  // The application losing and regaining activation tells every top-level window.
  Log().Clear();
  k58::winui::HostActivated(nullptr);
  D->Pump();
  EXPECT_EQ(GetActiveWindow(), nullptr);
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_EQ(Log().First(A, WM_ACTIVATEAPP).WParam, static_cast<WPARAM>(FALSE));
  EXPECT_EQ(Log().First(B, WM_ACTIVATEAPP).WParam, static_cast<WPARAM>(FALSE));
  k58::winui::HostActivated(A);
  D->Pump();
  EXPECT_EQ(GetActiveWindow(), A);
  EXPECT_EQ(Log().Count(WM_ACTIVATEAPP, B), 2);
}

TEST_F(FocusTest, HidingOrDestroyingTheActiveWindowActivatesItsOwner) {
  HWND Owner = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  HWND Other = Make(WS_POPUP | WS_VISIBLE, 300, 0, 100, 100);
  HWND Popup = Make(WS_POPUP | WS_VISIBLE, 0, 200, 100, 100, Owner);
  ASSERT_EQ(GetActiveWindow(), Popup);
  ShowWindow(Popup, SW_HIDE);
  EXPECT_EQ(GetActiveWindow(), Owner);
  ShowWindow(Popup, SW_SHOW);
  DestroyWindow(Popup);
  EXPECT_EQ(GetActiveWindow(), Owner);
  EXPECT_EQ(GetFocus(), Owner);
  // Never-activating windows are passed over, and SWP_NOACTIVATE leaves activation alone.
  HWND Tool = Make(WS_POPUP, 0, 0, 10, 10, nullptr, WS_EX_NOACTIVATE);
  ShowWindow(Tool, SW_SHOW);
  EXPECT_EQ(GetActiveWindow(), Owner);
  SetWindowPos(Other, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(GetActiveWindow(), Owner);
  ShowWindow(Other, SW_HIDE);
  ShowWindow(Other, SW_SHOWNOACTIVATE);
  EXPECT_EQ(GetActiveWindow(), Owner);
  EXPECT_FALSE(SetActiveWindow(Tool));
}

TEST_F(FocusTest, AParentlessChildWindowTakesFocusAndClicksButNeverActivation) {
  HWND Form = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 300);
  HWND Popup = Make(WS_CHILD | WS_VISIBLE | WS_BORDER, 400, 0, 100, 100, GetDesktopWindow());
  HWND Inner = Make(WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, Popup);
  ASSERT_TRUE(k58::winui::TopLevelSurface(Popup));
  EXPECT_EQ(GetActiveWindow(), Form);
  D->Click(Pt(420, 20));
  D->Pump();
  EXPECT_EQ(Log().Count(WM_LBUTTONDOWN, Inner), 1);
  EXPECT_EQ(GetActiveWindow(), Form);
  EXPECT_EQ(SetFocus(Inner), Form);
  EXPECT_EQ(GetFocus(), Inner);
  EXPECT_EQ(GetActiveWindow(), Form);
  Log().Clear();
  D->Key('Q');
  D->Pump();
  EXPECT_EQ(Log().Count(WM_CHAR, Inner), 1);
  EXPECT_EQ(Log().Count(WM_NCACTIVATE, Form), 0);
}

TEST_F(FocusTest, ASwallowedDeactivationKeepsTheOwnersCaptionActiveOnce) {
  HWND Form = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200);
  HWND Popup = Make(WS_POPUP, 400, 0, 100, 100, Form);
  D->Pump();
  k58::winui::SwallowNextNcDeactivate(Form);
  Log().Clear();
  ShowWindow(Popup, SW_SHOW);
  D->Pump();
  EXPECT_EQ(GetActiveWindow(), Popup);
  EXPECT_EQ(Log().Count(WM_NCACTIVATE, Form), 0);
  EXPECT_EQ(Log().Count(WM_ACTIVATE, Form), 1);
  EXPECT_EQ(D->WindowPixel(Form, Pt(150, 6)), kActiveCaption);
  // Only once: the next deactivation arrives.
  SetActiveWindow(Form);
  SetActiveWindow(Popup);
  EXPECT_EQ(D->WindowPixel(Form, Pt(150, 6)), kInactiveCaption);
}

TEST_F(FocusTest, LosingActivationCancelsTheCaptureHoldersMode) {
  HWND A = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  HWND B = Make(WS_POPUP | WS_VISIBLE, 200, 0, 100, 100);
  SetActiveWindow(A);
  SetCapture(A);
  Log().Clear();
  SetActiveWindow(B);
  EXPECT_THAT(Names(A, {WM_CANCELMODE, WM_CAPTURECHANGED, WM_NCACTIVATE}),
              ElementsAre("WM_CANCELMODE", "WM_CAPTURECHANGED", "WM_NCACTIVATE"));
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(FocusTest, AModalLoopDisablesTheOwnerUntilItEnds) {
  HWND Owner = Make(WS_POPUP | WS_VISIBLE, 0, 0, 300, 300);
  HWND Dialog = Make(WS_POPUP, 50, 50, 100, 100, Owner);
  bool Done = false;
  Handle(Dialog, [&Done](HWND, UINT M, WPARAM, LPARAM, LRESULT&) {
    if (M == WM_LBUTTONUP) Done = true;
    return false;
  });
  D->Click(Pt(250, 250));  // on the owner: ignored while the loop runs
  D->Click(Pt(100, 100));  // on the dialog: ends the loop
  bool InLoopOwnerEnabled = true;
  Handle(Owner, [&InLoopOwnerEnabled](HWND H, UINT M, WPARAM, LPARAM, LRESULT&) {
    if (M == WM_SETCURSOR) InLoopOwnerEnabled = IsWindowEnabled(H);
    return false;
  });
  EXPECT_TRUE(k58::winui::RunModalLoop(Dialog, Owner, [&Done] { return Done; }));
  EXPECT_FALSE(InLoopOwnerEnabled);
  EXPECT_EQ(Log().Count(WM_LBUTTONDOWN, Owner), 0);
  EXPECT_TRUE(IsWindowEnabled(Owner));
  EXPECT_EQ(k58::winui::ModalDepth(), 0);
  // WM_QUIT ends the loop and stays for the outer loop.
  PostQuitMessage(3);
  EXPECT_FALSE(k58::winui::RunModalLoop(Dialog, Owner, [] { return false; }));
  MSG M;
  ASSERT_TRUE(PeekMessage(&M, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(M.message, WM_QUIT);
  EXPECT_EQ(M.wParam, 3u);
}

}  // namespace
}  // namespace winui_test
