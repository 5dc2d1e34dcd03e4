// Calls of other threads handed to the main thread run in the main thread's message loop.
#include <functional>
#include <stdexcept>
#include <vector>

#include "WinCoreTestSupport.h"
#include "platform/classes/Thread.h"

namespace wincore_test {
namespace {

class SynchronizeTest : public WinCoreTest {};

// A thread whose body the test gives.
class Worker : public TThread {
public:
  explicit Worker(std::function<void(Worker&)> Body) : TThread(true), body_(std::move(Body)) {}
  using TThread::Queue;
  using TThread::Synchronize;

protected:
  void Execute() override { body_(*this); }

private:
  std::function<void(Worker&)> body_;
};

TEST_F(SynchronizeTest, SynchronizeRunsOnTheMainThreadInsideItsMessageLoop) {
  HWND H = MakeWindow();
  const DWORD Main = GetCurrentThreadId();
  DWORD RanOn = 0;
  int Value = 0;
  Worker T([&](Worker& Self) {
    Self.Synchronize([&] {
      RanOn = GetCurrentThreadId();
      Value = 1;
    });
    // Synchronize returned only after the call ran.
    PostMessage(H, WM_APP, Value, 0);
  });
  T.Start();
  MSG M;
  ASSERT_EQ(GetMessage(&M, nullptr, 0, 0), TRUE);
  EXPECT_EQ(M.message, static_cast<UINT>(WM_APP));
  EXPECT_EQ(M.wParam, 1u);
  EXPECT_EQ(RanOn, Main);
  T.WaitFor();
}

TEST_F(SynchronizeTest, QueuedCallsRunInOrderAndAFailingOneReachesTheLoop) {
  std::vector<int> Ran;
  Worker T([&](Worker& Self) {
    Self.Queue([&] { Ran.push_back(1); });
    Self.Queue([&] { throw std::runtime_error("queued call failed"); });
    Self.Queue([&] { Ran.push_back(3); });
  });
  T.Start();
  // A kernel wait does not run the calls: they are all queued when the thread has ended.
  ASSERT_EQ(WaitForSingleObject(T.Handle(), INFINITE), WAIT_OBJECT_0);
  EXPECT_TRUE(Ran.empty());
  MSG M;
  EXPECT_THROW(PeekMessage(&M, nullptr, 0, 0, PM_REMOVE), std::runtime_error);
  EXPECT_EQ(Ran, std::vector<int>{1});
  // The call after the failing one runs at the next look.
  EXPECT_FALSE(PeekMessage(&M, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(Ran, (std::vector<int>{1, 3}));
  T.WaitFor();
}

TEST_F(SynchronizeTest, AWaitForAThreadEndRunsItsSynchronizeCalls) {
  int Value = 0;
  Worker T([&](Worker& Self) { Self.Synchronize([&] { Value = 5; }); });
  T.Start();
  // The stop pattern of the serial component: wait for the thread while its notifications still run.
  HANDLE Ended = T.Handle();
  EXPECT_EQ(MsgWaitForMultipleObjects(1, &Ended, FALSE, INFINITE, QS_POSTMESSAGE), WAIT_OBJECT_0);
  EXPECT_EQ(Value, 5);
  T.WaitFor();
}

}  // namespace
}  // namespace wincore_test
