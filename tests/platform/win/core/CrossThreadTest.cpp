// Messages between threads: sends that block their sender, time-outs, replies, waits on handles and
// the queue together, and threads that end.
#include <atomic>
#include <future>
#include <thread>

#include "WinCoreTestSupport.h"
#include "platform/win/core/WinCoreExt.h"

namespace wincore_test {
namespace {

using CrossThreadTest = WinCoreTest;

constexpr UINT DataAvailable = 0x7E01;

// Waits on the calling thread until a message sent from another thread is waiting, without
// handling it.
void WaitForIncomingSend() {
  ASSERT_EQ(MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE), WAIT_OBJECT_0);
}

// Runs a message loop until a WM_APP + 9 arrives.
void PumpUntilDone() {
  MSG M;
  while (GetMessage(&M, nullptr, 0, 0) > 0) {
    if (M.message == WM_APP + 9) return;
    DispatchMessage(&M);
  }
}

HWND MakeMessageWindow() {
  HWND H = CreateWindowEx(0, TestClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  Made().push_back(H);
  return H;
}

TEST_F(CrossThreadTest, ASendFromAnotherThreadRunsOnTheWindowsThreadAndReturnsItsResult) {
  HWND Sink = MakeMessageWindow();
  const DWORD WindowThread = GetCurrentThreadId();
  DWORD HandlerThread = 0;
  SetHandler([&](HWND W, UINT Msg, WPARAM Wp, LPARAM L) -> LRESULT {
    if (Msg != DataAvailable) return DefWindowProc(W, Msg, Wp, L);
    HandlerThread = GetCurrentThreadId();
    EXPECT_TRUE(InSendMessage());
    return static_cast<LRESULT>(Wp) + HIWORD(static_cast<DWORD>(L));
  });
  LRESULT Returned = 0;
  DWORD_PTR Result = 0;
  std::thread Dispatcher([&] {
    Returned = SendMessageTimeout(Sink, DataAvailable, 40, MAKELPARAM(0, 2), SMTO_BLOCK, 3000, &Result);
    PostMessage(Sink, WM_APP + 9, 0, 0);
  });
  PumpUntilDone();
  Dispatcher.join();
  EXPECT_TRUE(Returned);
  EXPECT_EQ(Result, 42u);
  EXPECT_EQ(HandlerThread, WindowThread);
}

TEST_F(CrossThreadTest, ASendThatTimesOutFailsForTheSenderAndIsStillHandledLater) {
  HWND Sink = MakeMessageWindow();
  int Handled = 0;
  SetHandler([&](HWND W, UINT Msg, WPARAM Wp, LPARAM L) -> LRESULT {
    if (Msg == DataAvailable) ++Handled;
    return Msg == DataAvailable ? 1 : DefWindowProc(W, Msg, Wp, L);
  });
  LRESULT Returned = 1;
  DWORD Error = 0;
  DWORD_PTR Result = 77;
  std::thread Dispatcher([&] {
    Returned = SendMessageTimeout(Sink, DataAvailable, 3, 0, SMTO_BLOCK, 3000, &Result);
    Error = GetLastError();
  });
  // The window's thread is busy elsewhere while 3000 ms pass on the clock.
  WaitForIncomingSend();
  Clock->Advance(2999);
  EXPECT_EQ(Handled, 0);
  Clock->Advance(1);
  Dispatcher.join();
  EXPECT_FALSE(Returned);
  EXPECT_EQ(Error, ERROR_TIMEOUT);
  EXPECT_EQ(Result, 0u);
  EXPECT_EQ(Handled, 0);

  // The late message is handled as soon as the thread looks at its queue; its answer goes nowhere.
  MSG M;
  EXPECT_FALSE(PeekMessage(&M, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(Handled, 1);
  EXPECT_EQ(Log().Items().back(), (Message{Sink, DataAvailable, 3, 0}));
}

TEST_F(CrossThreadTest, SentMessagesAreHandledBeforePostedOnes) {
  HWND H = MakeWindow();
  PostMessage(H, WM_APP, 0, 0);
  std::thread Sender([&] { SendMessage(H, WM_APP + 1, 0, 0); });
  WaitForIncomingSend();
  MSG M;
  ASSERT_TRUE(PeekMessage(&M, nullptr, 0, 0, PM_REMOVE));
  Sender.join();
  EXPECT_EQ(M.message, static_cast<UINT>(WM_APP));
  EXPECT_EQ(Messages(H), std::vector<UINT>{WM_APP + 1});
}

TEST_F(CrossThreadTest, TwoThreadsSendingToEachOtherDoNotDeadlock) {
  HWND Main = MakeWindow();
  std::promise<HWND> WorkerWindow;
  std::vector<std::string> Events;
  SetHandler([&](HWND W, UINT Msg, WPARAM Wp, LPARAM L) -> LRESULT {
    if (Msg == WM_APP && W == Main) {
      // While the worker waits for this answer, it must take a send of ours.
      LRESULT Inner = SendMessage(reinterpret_cast<HWND>(L), WM_APP + 1, 0, 0);
      return Inner + 1;
    }
    if (Msg == WM_APP + 1) return 10;
    return DefWindowProc(W, Msg, Wp, L);
  });
  LRESULT Answer = 0;
  std::thread Worker([&] {
    HWND Mine = CreateWindowEx(0, TestClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    Answer = SendMessage(Main, WM_APP, 0, reinterpret_cast<LPARAM>(Mine));
    DestroyWindow(Mine);
    PostMessage(Main, WM_APP + 9, 0, 0);
  });
  PumpUntilDone();
  Worker.join();
  EXPECT_EQ(Answer, 11);
}

TEST_F(CrossThreadTest, ReplyMessageReleasesTheSenderBeforeTheHandlerEnds) {
  HWND H = MakeWindow();
  std::promise<LRESULT> SenderGot;
  std::future<LRESULT> Got = SenderGot.get_future();
  bool SenderReleasedEarly = false;
  DWORD StateAfterReply = 0;
  SetHandler([&](HWND W, UINT Msg, WPARAM Wp, LPARAM L) -> LRESULT {
    if (Msg != WM_APP) return DefWindowProc(W, Msg, Wp, L);
    EXPECT_EQ(InSendMessageEx(nullptr), ISMEX_SEND);
    EXPECT_TRUE(ReplyMessage(42));
    StateAfterReply = InSendMessageEx(nullptr);
    EXPECT_FALSE(ReplyMessage(43));
    SenderReleasedEarly = Got.wait_for(std::chrono::seconds(30)) == std::future_status::ready;
    return 7;
  });
  std::thread Sender([&] {
    SenderGot.set_value(SendMessage(H, WM_APP, 0, 0));
    PostMessage(H, WM_APP + 9, 0, 0);
  });
  PumpUntilDone();
  Sender.join();
  EXPECT_TRUE(SenderReleasedEarly);
  EXPECT_EQ(StateAfterReply, ISMEX_SEND | ISMEX_REPLIED);
  EXPECT_EQ(Got.get(), 42);

  // Within the thread there is no sender to reply to.
  SetHandler([&](HWND W, UINT Msg, WPARAM Wp, LPARAM L) -> LRESULT {
    if (Msg == WM_APP) {
      EXPECT_FALSE(InSendMessage());
      EXPECT_EQ(InSendMessageEx(nullptr), ISMEX_NOSEND);
      EXPECT_FALSE(ReplyMessage(1));
    }
    return DefWindowProc(W, Msg, Wp, L);
  });
  SendMessage(H, WM_APP, 0, 0);
}

TEST_F(CrossThreadTest, NotificationsDoNotWaitForTheWindowsThread) {
  HWND H = MakeWindow();
  DWORD Kind = 0;
  SetHandler([&](HWND W, UINT Msg, WPARAM Wp, LPARAM L) -> LRESULT {
    if (Msg == WM_APP) Kind = InSendMessageEx(nullptr);
    return DefWindowProc(W, Msg, Wp, L);
  });
  BOOL Sent = FALSE;
  std::thread Notifier([&] { Sent = SendNotifyMessage(H, WM_APP, 0, 0); });
  Notifier.join();
  EXPECT_TRUE(Sent);
  MSG M;
  PeekMessage(&M, nullptr, 0, 0, PM_REMOVE);
  EXPECT_EQ(Kind, ISMEX_NOTIFY);
}

TEST_F(CrossThreadTest, ASenderIsReleasedWhenTheWindowsThreadEnds) {
  std::promise<HWND> Created;
  std::thread Owner([&] {
    HWND H = CreateWindowEx(0, TestClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    Created.set_value(H);
    // Ends as soon as the message is there, without ever handling it.
    WaitForIncomingSend();
  });
  HWND H = Created.get_future().get();
  SetLastError(0);
  DWORD_PTR Result = 5;
  EXPECT_FALSE(SendMessageTimeout(H, WM_APP, 0, 0, SMTO_NORMAL, INFINITE, &Result));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
  Owner.join();
  // The windows of an ended thread are gone.
  EXPECT_FALSE(IsWindow(H));
  EXPECT_TRUE(Log().Items().empty() || Log().Items().back().Msg != WM_APP);
}

TEST_F(CrossThreadTest, AThreadThatHasNotLookedForFiveSecondsCountsAsHung) {
  std::promise<HWND> Created;
  std::promise<void> Release;
  std::thread Owner([&] {
    HWND H = CreateWindowEx(0, TestClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    Created.set_value(H);
    Release.get_future().wait();
    DestroyWindow(H);
  });
  HWND H = Created.get_future().get();
  Clock->Advance(5001);
  DWORD_PTR Result;
  EXPECT_FALSE(SendMessageTimeout(H, WM_APP, 0, 0, SMTO_ABORTIFHUNG, 1000, &Result));
  EXPECT_EQ(GetLastError(), ERROR_TIMEOUT);
  Release.set_value();
  Owner.join();
}

TEST_F(CrossThreadTest, ThreadMessagesNeedAQueue) {
  std::promise<DWORD> Ready;
  std::promise<void> Posted;
  MSG Received;
  std::thread Worker([&] {
    MSG M;
    PeekMessage(&M, nullptr, 0, 0, PM_NOREMOVE);  // creates the queue
    Ready.set_value(GetCurrentThreadId());
    GetMessage(&Received, nullptr, 0, 0);
  });
  DWORD Id = Ready.get_future().get();
  EXPECT_TRUE(PostThreadMessage(Id, WM_APP, 5, 6));
  Worker.join();
  EXPECT_EQ(Received.hwnd, nullptr);
  EXPECT_EQ(Received.message, static_cast<UINT>(WM_APP));
  EXPECT_EQ(Received.wParam, 5u);

  // The thread has ended, and with it its queue.
  EXPECT_FALSE(PostThreadMessage(Id, WM_APP, 0, 0));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_THREAD_ID);
}

TEST_F(CrossThreadTest, OtherThreadsReadButDoNotDestroyOrDispatch) {
  HWND H = MakeWindow(nullptr, 0, "Radio");
  BOOL Destroyed = TRUE;
  DWORD DestroyError = 0, DispatchError = 0;
  char Title[16] = "";
  std::thread Other([&] {
    Destroyed = DestroyWindow(H);
    DestroyError = GetLastError();
    MSG M;
    M.hwnd = H;
    M.message = WM_APP;
    DispatchMessage(&M);
    DispatchError = GetLastError();
    // Read from the record: this thread does not wait for the busy window thread.
    GetWindowText(H, Title, sizeof Title);
  });
  Other.join();
  EXPECT_FALSE(Destroyed);
  EXPECT_EQ(DestroyError, ERROR_ACCESS_DENIED);
  EXPECT_EQ(DispatchError, ERROR_WINDOW_OF_OTHER_THREAD);
  EXPECT_STREQ(Title, "Radio");
  EXPECT_TRUE(IsWindow(H));
  EXPECT_TRUE(Messages(H).empty());
}

TEST_F(CrossThreadTest, MsgWaitReturnsForAHandleForInputOrAtTheTimeOut) {
  HANDLE Event = CreateEvent(nullptr, FALSE, FALSE, nullptr);
  HWND H = MakeWindow();

  // A handle signalled by another thread.
  std::thread Setter([&] { SetEvent(Event); });
  EXPECT_EQ(MsgWaitForMultipleObjects(1, &Event, FALSE, INFINITE, QS_ALLINPUT), WAIT_OBJECT_0);
  Setter.join();

  // A message posted by another thread.
  std::thread Poster([&] { PostMessage(H, WM_APP, 0, 0); });
  EXPECT_EQ(MsgWaitForMultipleObjects(1, &Event, FALSE, INFINITE, QS_POSTMESSAGE), WAIT_OBJECT_0 + 1);
  Poster.join();
  // Input that is already waiting and was looked at counts only when asked for.
  MSG M;
  PeekMessage(&M, nullptr, 0, 0, PM_NOREMOVE);
  EXPECT_EQ(MsgWaitForMultipleObjectsEx(1, &Event, 0, QS_POSTMESSAGE, 0), WAIT_TIMEOUT);
  EXPECT_EQ(MsgWaitForMultipleObjectsEx(1, &Event, 0, QS_POSTMESSAGE, MWMO_INPUTAVAILABLE), WAIT_OBJECT_0 + 1);
  DrainQueue();

  // A timer reached while waiting, when the clock moves.
  SetTimer(H, 1, 250, nullptr);
  std::thread Mover([&] { Clock->Advance(250); });
  EXPECT_EQ(MsgWaitForMultipleObjects(1, &Event, FALSE, INFINITE, QS_TIMER), WAIT_OBJECT_0 + 1);
  Mover.join();
  KillTimer(H, 1);

  // The time-out: at once, and after real time on the system clock.
  EXPECT_EQ(MsgWaitForMultipleObjects(1, &Event, FALSE, 0, QS_ALLINPUT), WAIT_TIMEOUT);
  k58::wincore::SetClock(nullptr);
  EXPECT_EQ(MsgWaitForMultipleObjects(1, &Event, FALSE, 20, QS_ALLINPUT), WAIT_TIMEOUT);
  EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT), WAIT_TIMEOUT);
  k58::wincore::SetClock(&*Clock);

  HANDLE Bad = reinterpret_cast<HANDLE>(0x3);
  EXPECT_EQ(MsgWaitForMultipleObjects(1, &Bad, FALSE, 0, QS_ALLINPUT), WAIT_FAILED);
  CloseHandle(Event);
}

TEST_F(CrossThreadTest, WaitMessageAnswersSendsAndReturnsForAPost) {
  HWND H = MakeWindow();
  SetHandler([](HWND W, UINT Msg, WPARAM Wp, LPARAM L) -> LRESULT {
    return Msg == WM_APP ? 3 : DefWindowProc(W, Msg, Wp, L);
  });
  LRESULT Answer = 0;
  std::thread Other([&] {
    Answer = SendMessage(H, WM_APP, 0, 0);
    PostMessage(H, WM_APP + 1, 0, 0);
  });
  // The send is answered inside the wait, which ends only with the post.
  EXPECT_TRUE(WaitMessage());
  Other.join();
  EXPECT_EQ(Answer, 3);
  MSG M;
  ASSERT_TRUE(PeekMessage(&M, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(M.message, static_cast<UINT>(WM_APP + 1));
}

TEST_F(CrossThreadTest, MsgWaitHandlesSendsItWasNotAskedToReturnFor) {
  HWND H = MakeWindow();
  HANDLE Done = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  SetHandler([](HWND W, UINT Msg, WPARAM Wp, LPARAM L) -> LRESULT {
    return Msg == WM_APP ? 8 : DefWindowProc(W, Msg, Wp, L);
  });
  LRESULT Answer = 0;
  std::thread Sender([&] {
    Answer = SendMessage(H, WM_APP, 0, 0);
    SetEvent(Done);
  });
  // Waiting only for the event: the send is answered meanwhile, so the sender can set it.
  EXPECT_EQ(MsgWaitForMultipleObjects(1, &Done, FALSE, INFINITE, QS_POSTMESSAGE), WAIT_OBJECT_0);
  Sender.join();
  EXPECT_EQ(Answer, 8);
  CloseHandle(Done);
}

}  // namespace
}  // namespace wincore_test

namespace wincore_test {
namespace {

TEST_F(CrossThreadTest, TheVisualLayerHearsOfTheWindowsOfAnEndedThread) {
  struct Watcher : k58::wincore::WindowSystemExtension {
    std::mutex Lock;
    std::vector<std::pair<HWND, bool>> Gone;  // window, its data still there
    void WindowDestroyed(HWND H) override {
      std::lock_guard<std::mutex> G(Lock);
      Gone.emplace_back(H, k58::wincore::GetWindowExtData(H) != nullptr);
    }
  } Ext;
  k58::wincore::SetWindowSystemExtension(&Ext);
  HWND Top = nullptr, Child = nullptr;
  std::thread Owner([&] {
    Top = CreateWindowEx(0, TestClass, "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    Child = CreateWindowEx(0, TestClass, "", WS_CHILD, 0, 0, 0, 0, Top, nullptr, nullptr, nullptr);
    k58::wincore::SetWindowExtData(Top, std::make_shared<int>(1));
    k58::wincore::SetWindowExtData(Child, std::make_shared<int>(2));
    Log().Clear();
  });
  Owner.join();
  k58::wincore::SetWindowSystemExtension(nullptr);
  EXPECT_FALSE(IsWindow(Top));
  EXPECT_FALSE(IsWindow(Child));
  EXPECT_EQ(Ext.Gone, (std::vector<std::pair<HWND, bool>>{{Child, true}, {Top, true}}));
  // No message reached them as their thread was gone.
  EXPECT_TRUE(Log().Items().empty());
}

}  // namespace
}  // namespace wincore_test
