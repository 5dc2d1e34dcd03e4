// Hook chains and the points where the layer calls them.
#include <thread>

#include "WinCoreTestSupport.h"
#include "platform/win/core/WinCoreExt.h"

namespace wincore_test {
namespace {

// What the hooks of a test saw, and what they answer.
struct HookLog {
  std::vector<std::string> Calls;
  std::vector<CWPSTRUCT> Sent;
  std::vector<CWPRETSTRUCT> Returned;
  std::vector<MOUSEHOOKSTRUCT> Mouse;
  std::vector<int> Codes;
  UINT DiscardMessage = 0;
  bool ToNull = false;
};
HookLog* Hooks = nullptr;

class HookTest : public WinCoreTest {
protected:
  void SetUp() override {
    WinCoreTest::SetUp();
    Hooks = &Log_;
  }
  void TearDown() override {
    for (HHOOK H : Installed) UnhookWindowsHookEx(H);
    Hooks = nullptr;
    WinCoreTest::TearDown();
  }
  HHOOK Install(int Kind, HOOKPROC Proc, DWORD Thread) {
    HHOOK H = SetWindowsHookEx(Kind, Proc, nullptr, Thread);
    EXPECT_TRUE(H);
    Installed.push_back(H);
    return H;
  }
  HookLog Log_;
  std::vector<HHOOK> Installed;
};

LRESULT CALLBACK RecordSent(int Code, WPARAM W, LPARAM L) {
  if (Code == HC_ACTION) {
    Hooks->Sent.push_back(*reinterpret_cast<CWPSTRUCT*>(L));
    Hooks->Codes.push_back(static_cast<int>(W));
  }
  return CallNextHookEx(nullptr, Code, W, L);
}

LRESULT CALLBACK RecordReturned(int Code, WPARAM W, LPARAM L) {
  if (Code == HC_ACTION) Hooks->Returned.push_back(*reinterpret_cast<CWPRETSTRUCT*>(L));
  return CallNextHookEx(nullptr, Code, W, L);
}

TEST_F(HookTest, CallWindowProcedureHookSeesSentMessagesOnly) {
  HWND H = MakeWindow();
  Install(WH_CALLWNDPROC, RecordSent, GetCurrentThreadId());
  Install(WH_CALLWNDPROCRET, RecordReturned, GetCurrentThreadId());
  SetHandler([](HWND W, UINT Msg, WPARAM Wp, LPARAM L) -> LRESULT {
    return Msg == WM_APP ? 99 : DefWindowProc(W, Msg, Wp, L);
  });
  EXPECT_EQ(SendMessage(H, WM_APP, 1, 2), 99);
  PostMessage(H, WM_APP + 1, 0, 0);
  MSG M;
  while (PeekMessage(&M, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&M);
  CallWindowProc(TestWndProc, H, WM_APP + 2, 0, 0);
  DestroyWindow(H);

  std::vector<UINT> Seen;
  for (const CWPSTRUCT& S : Log_.Sent) Seen.push_back(S.message);
  // The messages the layer sends itself pass the hook too; posted and direct calls do not.
  EXPECT_EQ(Seen, (std::vector<UINT>{WM_APP, WM_DESTROY, WM_NCDESTROY}));
  EXPECT_EQ(Log_.Sent[0].hwnd, H);
  EXPECT_EQ(Log_.Sent[0].wParam, 1u);
  EXPECT_EQ(Log_.Sent[0].lParam, 2);
  EXPECT_EQ(Log_.Codes[0], 1);  // sent by this thread
  ASSERT_FALSE(Log_.Returned.empty());
  EXPECT_EQ(Log_.Returned[0].message, static_cast<UINT>(WM_APP));
  EXPECT_EQ(Log_.Returned[0].lResult, 99);
}

// Answers one WM_NCACTIVATE with 1 and puts the window's procedure back.
WNDPROC SavedProc = nullptr;
LRESULT CALLBACK SwallowOnce(HWND H, UINT Msg, WPARAM W, LPARAM L) {
  if (Msg == WM_NCACTIVATE) {
    SetWindowLongPtr(H, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SavedProc));
    return 1;
  }
  return CallWindowProc(SavedProc, H, Msg, W, L);
}

LRESULT CALLBACK ReplaceOnDeactivate(int Code, WPARAM W, LPARAM L) {
  auto* S = reinterpret_cast<CWPSTRUCT*>(L);
  if (Code == HC_ACTION && S->message == WM_NCACTIVATE && !S->wParam)
    SavedProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtr(S->hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SwallowOnce)));
  return CallNextHookEx(nullptr, Code, W, L);
}

TEST_F(HookTest, AProcedureInstalledByTheHookGetsThatSameMessage) {
  HWND H = MakeWindow();
  Install(WH_CALLWNDPROC, ReplaceOnDeactivate, GetCurrentThreadId());
  SetHandler([](HWND W, UINT Msg, WPARAM Wp, LPARAM L) -> LRESULT {
    return Msg == WM_NCACTIVATE ? 5 : DefWindowProc(W, Msg, Wp, L);
  });
  EXPECT_EQ(SendMessage(H, WM_NCACTIVATE, FALSE, 0), 1);
  EXPECT_EQ(Messages(H), std::vector<UINT>{});
  EXPECT_EQ(GetWindowLongPtr(H, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(TestWndProc));
  EXPECT_EQ(SendMessage(H, WM_NCACTIVATE, TRUE, 0), 5);
}

LRESULT CALLBACK NullSysKeys(int Code, WPARAM W, LPARAM L) {
  auto* M = reinterpret_cast<MSG*>(L);
  Hooks->Codes.push_back(static_cast<int>(W));
  if (Code == HC_ACTION && M->message == WM_SYSKEYDOWN && W == PM_REMOVE) M->message = WM_NULL;
  return CallNextHookEx(nullptr, Code, W, L);
}

TEST_F(HookTest, GetMessageHookMayChangeWhatTheLoopReceives) {
  HWND H = MakeWindow();
  Install(WH_GETMESSAGE, NullSysKeys, GetCurrentThreadId());
  MSG Key;
  Key.hwnd = H;
  Key.message = WM_SYSKEYDOWN;
  Key.wParam = 'F';
  k58::wincore::PostInputMessage(Key);
  MSG M;
  ASSERT_TRUE(PeekMessage(&M, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(M.message, static_cast<UINT>(WM_SYSKEYDOWN));
  ASSERT_EQ(GetMessage(&M, nullptr, 0, 0), TRUE);
  EXPECT_EQ(M.message, static_cast<UINT>(WM_NULL));
  EXPECT_EQ(M.hwnd, H);
  EXPECT_EQ(Log_.Codes, (std::vector<int>{PM_NOREMOVE, PM_REMOVE}));
}

LRESULT CALLBACK MouseFilter(int Code, WPARAM W, LPARAM L) {
  Hooks->Mouse.push_back(*reinterpret_cast<MOUSEHOOKSTRUCT*>(L));
  Hooks->Codes.push_back(Code);
  if (W == Hooks->DiscardMessage) return 1;
  return CallNextHookEx(nullptr, Code, W, L);
}

LRESULT CALLBACK KeyFilter(int Code, WPARAM W, LPARAM L) {
  Hooks->Calls.push_back("key " + std::to_string(W) + (Code == HC_NOREMOVE ? " peek" : ""));
  if (W == VK_F4) return 1;
  return CallNextHookEx(nullptr, Code, W, L);
}

TEST_F(HookTest, MouseAndKeyboardHooksCanDiscardInput) {
  HWND H = MakeWindow();
  Install(WH_MOUSE, MouseFilter, GetCurrentThreadId());
  Install(WH_KEYBOARD, KeyFilter, GetCurrentThreadId());
  Log_.DiscardMessage = WM_NCLBUTTONDOWN;
  auto Post = [H](UINT Msg, WPARAM W, int HitTest) {
    MSG M;
    M.hwnd = H;
    M.message = Msg;
    M.wParam = W;
    M.pt = POINT{40, 50};
    k58::wincore::PostInputMessage(M, HitTest, 7);
  };
  Post(WM_NCLBUTTONDOWN, HTCAPTION, HTCAPTION);
  Post(WM_KEYDOWN, VK_F4, 0);
  Post(WM_LBUTTONDOWN, MK_LBUTTON, HTCLIENT);
  Post(WM_KEYDOWN, VK_DOWN, 0);
  PostMessage(H, WM_CHAR, 'x', 0);

  std::vector<UINT> Delivered;
  MSG M;
  ASSERT_TRUE(PeekMessage(&M, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_NOREMOVE));
  while (PeekMessage(&M, nullptr, 0, 0, PM_REMOVE)) Delivered.push_back(M.message);
  EXPECT_EQ(Delivered, (std::vector<UINT>{WM_CHAR, WM_LBUTTONDOWN, WM_KEYDOWN}));

  ASSERT_EQ(Log_.Mouse.size(), 3u);
  EXPECT_EQ(Log_.Mouse[0].wHitTestCode, static_cast<UINT>(HTCLIENT));
  EXPECT_EQ(Log_.Codes[0], HC_NOREMOVE);
  EXPECT_EQ(Log_.Mouse[1].wHitTestCode, static_cast<UINT>(HTCAPTION));
  EXPECT_EQ(Log_.Mouse[1].hwnd, H);
  EXPECT_EQ(Log_.Mouse[1].pt.x, 40);
  EXPECT_EQ(Log_.Mouse[1].dwExtraInfo, 7u);
  EXPECT_EQ(Log_.Codes[1], HC_ACTION);
  EXPECT_EQ(Log_.Calls, (std::vector<std::string>{"key 115", "key 40"}));
}

// Each hook notes what the rest of the chain answered and adds its own part.
LRESULT PassOn(const char* Name, LRESULT Own, int Code, WPARAM W, LPARAM L) {
  LRESULT Rest = CallNextHookEx(nullptr, Code, W, L);
  Hooks->Calls.push_back(std::string(Name) + " got " + std::to_string(Rest));
  return Rest + Own;
}
LRESULT CALLBACK First(int Code, WPARAM W, LPARAM L) { return PassOn("thread-first", 1, Code, W, L); }
LRESULT CALLBACK Second(int Code, WPARAM W, LPARAM L) { return PassOn("thread-second", 10, Code, W, L); }
LRESULT CALLBACK Global(int Code, WPARAM W, LPARAM L) { return PassOn("global", 100, Code, W, L); }
HHOOK ToRemove = nullptr;
LRESULT CALLBACK Remover(int Code, WPARAM W, LPARAM L) {
  UnhookWindowsHookEx(ToRemove);
  return PassOn("remover", 0, Code, W, L);
}
LRESULT CALLBACK Stopper(int, WPARAM, LPARAM) {
  Hooks->Calls.push_back("stopper");
  return 0;
}

TEST_F(HookTest, ChainsRunLatestFirstThreadHooksBeforeGlobalOnes) {
  HWND H = MakeWindow();
  Install(WH_CALLWNDPROCRET, Global, 0);
  Install(WH_CALLWNDPROCRET, Second, GetCurrentThreadId());
  Install(WH_CALLWNDPROCRET, First, GetCurrentThreadId());
  SendMessage(H, WM_APP, 0, 0);
  EXPECT_EQ(Log_.Calls, (std::vector<std::string>{"global got 0", "thread-second got 100", "thread-first got 110"}));

  // A hook unhooked while its chain runs is skipped; one that does not pass on ends the chain.
  Log_.Calls.clear();
  ToRemove = Installed[1];
  Install(WH_CALLWNDPROCRET, Remover, GetCurrentThreadId());
  SendMessage(H, WM_APP, 0, 0);
  EXPECT_EQ(Log_.Calls, (std::vector<std::string>{"global got 0", "thread-first got 100", "remover got 101"}));
  Log_.Calls.clear();
  Install(WH_CALLWNDPROCRET, Stopper, GetCurrentThreadId());
  SendMessage(H, WM_APP, 0, 0);
  EXPECT_EQ(Log_.Calls, (std::vector<std::string>{"stopper"}));
}

TEST_F(HookTest, HooksForAnotherThreadDoNotSeeThisOne) {
  HWND H = MakeWindow();
  DWORD OtherThread = 0;
  std::thread Other([&] { OtherThread = GetCurrentThreadId(); });
  Other.join();
  Install(WH_CALLWNDPROC, RecordSent, OtherThread);
  SendMessage(H, WM_APP, 0, 0);
  EXPECT_TRUE(Log_.Sent.empty());
}

TEST_F(HookTest, UnsupportedOrUnknownHooksAreRefused) {
  SetLastError(0);
  EXPECT_FALSE(SetWindowsHookEx(WH_JOURNALRECORD, Stopper, nullptr, 0));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HOOK_FILTER);
  EXPECT_FALSE(SetWindowsHookEx(WH_MOUSE, nullptr, nullptr, 0));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_FILTER_PROC);
  HHOOK H = SetWindowsHookEx(WH_MOUSE, Stopper, nullptr, GetCurrentThreadId());
  EXPECT_TRUE(UnhookWindowsHookEx(H));
  EXPECT_FALSE(UnhookWindowsHookEx(H));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HOOK_HANDLE);
}

}  // namespace
}  // namespace wincore_test
