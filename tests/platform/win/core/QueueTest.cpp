// One thread's message queue: order, priorities, filters, WM_QUIT, nested loops and dispatching.
#include <algorithm>
#include <set>

#include "WinCoreTestSupport.h"
#include "platform/win/core/WinCoreExt.h"

namespace wincore_test {
namespace {

using QueueTest = WinCoreTest;

// Stands in for the visual half: windows waiting for WM_PAINT until the test validates them, and a
// keyboard that types lower-case letters.
class FakeScreen : public k58::wincore::WindowSystemExtension {
public:
  FakeScreen() { k58::wincore::SetWindowSystemExtension(this); }
  ~FakeScreen() override { k58::wincore::SetWindowSystemExtension(nullptr); }

  std::set<HWND> Invalid;
  HWND FindPaintWindow(HWND Filter) override {
    for (HWND H : Invalid)
      if (!Filter || H == Filter) return H;
    return nullptr;
  }
  void TranslateKey(const MSG& Key, std::vector<WPARAM>& Chars) override {
    if (Key.wParam >= 'A' && Key.wParam <= 'Z') Chars.push_back(Key.wParam - 'A' + 'a');
  }
  POINT CursorPos() override { return POINT{12, 34}; }
};

MSG Input(HWND H, UINT Msg, WPARAM W = 0, LPARAM L = 0) {
  MSG M;
  M.hwnd = H;
  M.message = Msg;
  M.wParam = W;
  M.lParam = L;
  return M;
}

// Every message retrievable now, removed in order.
std::vector<UINT> Drain(HWND Filter = nullptr, UINT Min = 0, UINT Max = 0, UINT Flags = PM_REMOVE) {
  std::vector<UINT> Out;
  MSG M;
  while (PeekMessage(&M, Filter, Min, Max, Flags)) {
    Out.push_back(M.message);
    if (Out.size() > 50) break;
  }
  return Out;
}

TEST_F(QueueTest, PostedMessagesKeepTheirOrder) {
  HWND A = MakeWindow();
  HWND B = MakeWindow();
  std::vector<std::pair<HWND, WPARAM>> Expected;
  for (WPARAM I = 0; I < 200; ++I) {
    HWND To = I % 3 == 0 ? B : I % 3 == 1 ? A : nullptr;
    ASSERT_TRUE(PostMessage(To, WM_APP, I, 0));
    Expected.emplace_back(To, I);
  }
  std::vector<std::pair<HWND, WPARAM>> Got;
  MSG M;
  while (PeekMessage(&M, nullptr, 0, 0, PM_REMOVE)) Got.emplace_back(M.hwnd, M.wParam);
  EXPECT_EQ(Got, Expected);
}

TEST_F(QueueTest, RetrievalOrderIsPostedInputQuitPaintTimer) {
  FakeScreen Screen;
  HWND H = MakeWindow();
  SetTimer(H, 1, 100, nullptr);
  Clock->Advance(100);
  Screen.Invalid.insert(H);
  PostQuitMessage(3);
  k58::wincore::PostInputMessage(Input(H, WM_LBUTTONDOWN));
  PostMessage(H, WM_APP, 0, 0);
  PostMessage(H, WM_APP + 1, 0, 0);

  std::vector<UINT> Order;
  MSG M;
  while (PeekMessage(&M, nullptr, 0, 0, PM_REMOVE)) {
    Order.push_back(M.message);
    // WM_PAINT stays until the window is painted.
    if (M.message == WM_PAINT) Screen.Invalid.clear();
  }
  EXPECT_EQ(Order, (std::vector<UINT>{WM_APP, WM_APP + 1, WM_LBUTTONDOWN, WM_QUIT, WM_PAINT, WM_TIMER}));
}

TEST_F(QueueTest, PeekMessageFilters) {
  HWND A = MakeWindow();
  HWND B = MakeWindow();
  struct Case {
    const char* What;
    HWND Filter;
    UINT Min, Max, Flags;
    std::vector<UINT> Expected;
  };
  const HWND ThreadOnly = reinterpret_cast<HWND>(static_cast<intptr_t>(-1));
  const std::vector<Case> Cases = {
      {"everything", nullptr, 0, 0, PM_REMOVE, {WM_APP, WM_USER, WM_APP + 2, WM_KEYDOWN, WM_MOUSEMOVE}},
      {"one window", A, 0, 0, PM_REMOVE, {WM_APP, WM_KEYDOWN}},
      {"thread messages", ThreadOnly, 0, 0, PM_REMOVE, {WM_APP + 2}},
      {"range", nullptr, WM_USER, WM_USER + 10, PM_REMOVE, {WM_USER}},
      {"key range", nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE, {WM_KEYDOWN}},
      {"posted only", nullptr, 0, 0, PM_REMOVE | PM_QS_POSTMESSAGE, {WM_APP, WM_USER, WM_APP + 2}},
      {"input only", nullptr, 0, 0, PM_REMOVE | PM_QS_INPUT, {WM_KEYDOWN, WM_MOUSEMOVE}},
  };
  for (const Case& C : Cases) {
    DrainQueue();
    PostMessage(A, WM_APP, 0, 0);
    PostMessage(B, WM_USER, 0, 0);
    PostMessage(nullptr, WM_APP + 2, 0, 0);
    k58::wincore::PostInputMessage(Input(A, WM_KEYDOWN, 'A'));
    k58::wincore::PostInputMessage(Input(B, WM_MOUSEMOVE));
    EXPECT_EQ(Drain(C.Filter, C.Min, C.Max, C.Flags), C.Expected) << C.What;
  }
}

TEST_F(QueueTest, NoRemoveLeavesTheMessageInPlace) {
  HWND H = MakeWindow();
  PostMessage(H, WM_APP, 1, 0);
  PostMessage(H, WM_APP, 2, 0);
  MSG M;
  ASSERT_TRUE(PeekMessage(&M, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(M.wParam, 1u);
  ASSERT_TRUE(PeekMessage(&M, nullptr, 0, 0, PM_REMOVE | PM_NOYIELD));
  EXPECT_EQ(M.wParam, 1u);
  ASSERT_TRUE(PeekMessage(&M, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(M.wParam, 2u);
  EXPECT_FALSE(PeekMessage(&M, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(QueueTest, QuitComesWhenTheQueueIsOtherwiseEmptyAndPassesEveryFilter) {
  HWND H = MakeWindow();
  PostQuitMessage(7);
  PostMessage(H, WM_APP, 0, 0);
  MSG M;
  ASSERT_EQ(GetMessage(&M, nullptr, 0, 0), TRUE);
  EXPECT_EQ(M.message, WM_APP);
  // A filtered look still sees the quit request, and GetMessage ends the loop with it.
  ASSERT_TRUE(PeekMessage(&M, H, WM_CHAR, WM_CHAR, PM_NOREMOVE));
  EXPECT_EQ(M.message, WM_QUIT);
  EXPECT_EQ(GetMessage(&M, H, WM_CHAR, WM_CHAR), FALSE);
  EXPECT_EQ(M.wParam, 7u);
  EXPECT_FALSE(PeekMessage(&M, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(QueueTest, ALoopThatTakesQuitCanHandItBackToTheMainLoop) {
  PostQuitMessage(4);
  // A nested loop that stops on WM_QUIT posts it again so that the outer loop ends too.
  MSG M;
  ASSERT_TRUE(PeekMessage(&M, nullptr, 0, 0, PM_REMOVE));
  ASSERT_EQ(M.message, WM_QUIT);
  PostQuitMessage(static_cast<int>(M.wParam));
  EXPECT_EQ(GetMessage(&M, nullptr, 0, 0), FALSE);
  EXPECT_EQ(M.wParam, 4u);
}

TEST_F(QueueTest, GetMessageRejectsBadArguments) {
  MSG M;
  SetLastError(0);
  EXPECT_EQ(GetMessage(&M, reinterpret_cast<HWND>(0x5554440), 0, 0), -1);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
  EXPECT_EQ(GetMessage(nullptr, nullptr, 0, 0), -1);
  EXPECT_FALSE(PeekMessage(nullptr, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(QueueTest, NestedLoopsHandleMessagesPostedFromInside) {
  HWND H = MakeWindow();
  std::vector<std::string> Events;
  SetHandler([&](HWND W, UINT Msg, WPARAM Wp, LPARAM L) -> LRESULT {
    if (Msg == WM_APP) {
      Events.push_back("modal start");
      PostMessage(W, WM_APP + 1, 0, 0);
      PostMessage(W, WM_APP + 2, 0, 0);
      MSG M;
      while (GetMessage(&M, nullptr, 0, 0) > 0) {
        DispatchMessage(&M);
        if (M.message == WM_APP + 2) break;
      }
      Events.push_back("modal end");
    } else if (Msg == WM_APP + 1 || Msg == WM_APP + 2 || Msg == WM_APP + 3) {
      Events.push_back("msg " + std::to_string(Msg - WM_APP));
    }
    return DefWindowProc(W, Msg, Wp, L);
  });
  PostMessage(H, WM_APP, 0, 0);
  PostMessage(H, WM_APP + 3, 0, 0);
  PostQuitMessage(0);
  MSG M;
  while (GetMessage(&M, nullptr, 0, 0) > 0) DispatchMessage(&M);
  EXPECT_EQ(Events, (std::vector<std::string>{"modal start", "msg 3", "msg 1", "msg 2", "modal end"}));
}

TEST_F(QueueTest, DestroyedWindowsLeaveNothingBehind) {
  HWND Gone = MakeWindow();
  HWND Stays = MakeWindow();
  PostMessage(Gone, WM_APP, 0, 0);
  PostMessage(Stays, WM_APP, 1, 0);
  k58::wincore::PostInputMessage(Input(Gone, WM_KEYDOWN, 'A'));
  SetTimer(Gone, 1, 10, nullptr);
  DestroyWindow(Gone);
  Clock->Advance(100);
  MSG M;
  ASSERT_TRUE(PeekMessage(&M, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(M.hwnd, Stays);
  EXPECT_FALSE(PeekMessage(&M, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(QueueTest, AFullQueueRefusesFurtherMessagesAndKeepsTheOthers) {
  HWND H = MakeWindow();
  int Accepted = 0;
  while (PostMessage(H, WM_APP, static_cast<WPARAM>(Accepted), 0)) ++Accepted;
  EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_QUOTA);
  EXPECT_EQ(Accepted, 10000);
  MSG M;
  int Read = 0;
  while (PeekMessage(&M, nullptr, 0, 0, PM_REMOVE)) EXPECT_EQ(M.wParam, static_cast<WPARAM>(Read++));
  EXPECT_EQ(Read, Accepted);
}

TEST_F(QueueTest, DispatchMessageGoesToTheWindowProcedureOnly) {
  HWND H = MakeWindow();
  MSG M = Input(H, WM_APP, 5, 6);
  SetHandler([](HWND W, UINT Msg, WPARAM Wp, LPARAM L) -> LRESULT {
    return Msg == WM_APP ? static_cast<LRESULT>(Wp + L) : DefWindowProc(W, Msg, Wp, L);
  });
  EXPECT_EQ(DispatchMessage(&M), 11);
  // Thread messages and dead windows reach no procedure.
  Log().Clear();
  M.hwnd = nullptr;
  EXPECT_EQ(DispatchMessage(&M), 0);
  M.hwnd = reinterpret_cast<HWND>(0x123450);
  EXPECT_EQ(DispatchMessage(&M), 0);
  EXPECT_TRUE(Log().Items().empty());
}

TEST_F(QueueTest, TranslatedCharactersArriveBeforeTheNextKey) {
  FakeScreen Screen;
  HWND H = MakeWindow();
  k58::wincore::PostInputMessage(Input(H, WM_KEYDOWN, 'Q', 0x10001));
  k58::wincore::PostInputMessage(Input(H, WM_KEYUP, 'Q', 0xC0010001));
  std::vector<std::pair<UINT, WPARAM>> Seen;
  MSG M;
  while (PeekMessage(&M, nullptr, 0, 0, PM_REMOVE)) {
    Seen.emplace_back(M.message, M.wParam);
    EXPECT_EQ(TranslateMessage(&M), M.message == WM_KEYDOWN || M.message == WM_KEYUP);
  }
  EXPECT_EQ(Seen, (std::vector<std::pair<UINT, WPARAM>>{{WM_KEYDOWN, 'Q'}, {WM_CHAR, 'q'}, {WM_KEYUP, 'Q'}}));
}

TEST_F(QueueTest, RetrievedMessagesCarryTimeAndPosition) {
  FakeScreen Screen;
  HWND H = MakeWindow();
  Clock->Advance(250);
  PostMessage(H, WM_APP, 0, 0);
  MSG In = Input(H, WM_LBUTTONDOWN);
  In.pt = POINT{5, -6};
  k58::wincore::PostInputMessage(In, HTCLIENT, 99);
  MSG M;
  ASSERT_TRUE(PeekMessage(&M, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(M.time, 1250u);
  EXPECT_EQ(M.pt.x, 12);
  EXPECT_EQ(GetMessageTime(), 1250);
  ASSERT_TRUE(PeekMessage(&M, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(GET_X_LPARAM(static_cast<LPARAM>(GetMessagePos())), 5);
  EXPECT_EQ(GET_Y_LPARAM(static_cast<LPARAM>(GetMessagePos())), -6);
  EXPECT_EQ(GetMessageExtraInfo(), 99);
}

TEST_F(QueueTest, QueueStatusReportsWhatIsWaitingAndWhatIsNew) {
  HWND H = MakeWindow();
  MSG M;
  PeekMessage(&M, nullptr, 0, 0, PM_NOREMOVE);
  PostMessage(H, WM_APP, 0, 0);
  DWORD Status = GetQueueStatus(QS_ALLINPUT);
  EXPECT_EQ(HIWORD(Status), QS_POSTMESSAGE);
  EXPECT_EQ(LOWORD(Status), QS_POSTMESSAGE);
  // Looked at once, the message is no longer new but still there.
  Status = GetQueueStatus(QS_ALLINPUT);
  EXPECT_EQ(HIWORD(Status), QS_POSTMESSAGE);
  EXPECT_EQ(LOWORD(Status), 0u);
}

}  // namespace
}  // namespace wincore_test

namespace wincore_test {
namespace {

TEST_F(QueueTest, BroadcastsReachTopLevelWindowsButNotMessageOnlyOnes) {
  HWND A = MakeWindow();
  HWND B = MakeWindow(nullptr, WS_POPUP);
  HWND Child = MakeWindow(A, WS_CHILD);
  HWND Sink = CreateWindowEx(0, TestClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  Made().push_back(Sink);
  Log().Clear();
  SendMessage(HWND_BROADCAST, WM_SETTINGCHANGE, 42, 0);
  PostMessage(HWND_BROADCAST, WM_SYSCOLORCHANGE, 0, 0);
  MSG M;
  while (PeekMessage(&M, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&M);
  for (HWND H : {A, B}) EXPECT_EQ(Messages(H), (std::vector<UINT>{WM_SETTINGCHANGE, WM_SYSCOLORCHANGE}));
  EXPECT_TRUE(Messages(Child).empty());
  EXPECT_TRUE(Messages(Sink).empty());
}

}  // namespace
}  // namespace wincore_test

namespace wincore_test {
namespace {

TEST_F(QueueTest, DeviceEventsAreRoutedOneAtATimeWhenInputIsNeeded) {
  struct Devices : FakeScreen {
    HWND Target = nullptr;
    std::vector<UINT> Pending;
    int Calls = 0;
    void ProcessRawInput() override {
      ++Calls;
      if (Pending.empty()) return;
      MSG M = Input(Target, Pending.front());
      Pending.erase(Pending.begin());
      k58::wincore::PostInputMessage(M);
    }
  } Screen;
  HWND H = MakeWindow();
  Screen.Target = H;
  Screen.Pending = {WM_LBUTTONDOWN, WM_LBUTTONUP};
  PostMessage(H, WM_APP, 0, 0);
  MSG M;
  // A look that finds no input waiting routes one event; the next waits until that one was taken.
  ASSERT_TRUE(PeekMessage(&M, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(M.message, static_cast<UINT>(WM_APP));
  ASSERT_TRUE(PeekMessage(&M, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_NOREMOVE));
  EXPECT_EQ(M.message, static_cast<UINT>(WM_LBUTTONDOWN));
  ASSERT_TRUE(PeekMessage(&M, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(M.message, static_cast<UINT>(WM_LBUTTONDOWN));
  EXPECT_EQ(Screen.Pending.size(), 1u);
  ASSERT_TRUE(PeekMessage(&M, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(M.message, static_cast<UINT>(WM_LBUTTONUP));
  EXPECT_FALSE(PeekMessage(&M, nullptr, 0, 0, PM_REMOVE));
  // A look at posted messages only leaves the devices alone.
  int Before = Screen.Calls;
  PeekMessage(&M, nullptr, 0, 0, PM_REMOVE | PM_QS_POSTMESSAGE);
  EXPECT_EQ(Screen.Calls, Before);
}

}  // namespace
}  // namespace wincore_test
