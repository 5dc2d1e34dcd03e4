// Threads and calls that run on the main thread.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

#include "platform/classes/Classes.h"
#include "platform/classes/SyncObjs.h"

namespace classes_test {

namespace {

// A thread whose Execute is given by the test.
class TTestThread : public TThread {
 public:
  TTestThread(bool suspended, std::function<void(TTestThread&)> body) : TThread(suspended), body_(std::move(body)) {}
  using TThread::SetReturnValue;

 protected:
  void Execute() override { body_(*this); }

 private:
  std::function<void(TTestThread&)> body_;
};

TEST(TThreadTest, RunsExecuteAndAnswersItsReturnValue) {
  DWORD executedOn = 0;
  auto* thread = NewObject<TTestThread>(false, [&](TTestThread& t) {
    executedOn = GetCurrentThreadId();
    t.SetReturnValue(42);
  });
  EXPECT_EQ(thread->WaitFor(), 42u);
  EXPECT_TRUE(thread->Finished());
  EXPECT_EQ(executedOn, thread->ThreadID());
  EXPECT_NE(executedOn, MainThreadID);
  EXPECT_EQ(WaitForSingleObject(thread->Handle(), 0), WAIT_OBJECT_0);
  FreeObject(thread);
}

TEST(TThreadTest, TerminateAsksExecuteToStopAndFreeWaits) {
  std::atomic<int> rounds{0};
  TSimpleEvent running;
  auto* thread = NewObject<TTestThread>(true, [&](TTestThread& t) {
    while (!t.Terminated()) {
      ++rounds;
      running.SetEvent();
      std::this_thread::yield();
    }
  });
  EXPECT_TRUE(thread->Suspended());
  thread->Start();
  EXPECT_EQ(running.WaitFor(INFINITE), wrSignaled);
  FreeObject(thread);  // terminates and waits before the object goes
  EXPECT_GT(rounds.load(), 0);
}

TEST(TThreadTest, AnExceptionEndsTheThreadAndIsKept) {
  auto* thread = NewObject<TTestThread>(false, [](TTestThread&) { throw EListError("broken"); });
  thread->WaitFor();
  ASSERT_TRUE(thread->FatalException());
  try {
    std::rethrow_exception(thread->FatalException());
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message(), "broken");
  }
  FreeObject(thread);
}

TEST(TThreadTest, FreeOnTerminateFreesTheThreadWhenItEnds) {
  struct Watched : TTestThread {
    Watched(std::atomic<bool>& freed, TEvent& done)
        : TTestThread(true, [](TTestThread&) {}), freed_(freed), done_(done) {}
    ~Watched() override {
      freed_ = true;
      done_.SetEvent();
    }
    std::atomic<bool>& freed_;
    TEvent& done_;
  };
  std::atomic<bool> freed{false};
  TSimpleEvent done;
  auto* thread = NewObject<Watched>(freed, done);
  thread->SetFreeOnTerminate(true);
  thread->Start();
  EXPECT_EQ(done.WaitFor(INFINITE), wrSignaled);
  EXPECT_TRUE(freed);
}

TEST(TThreadTest, ANeverStartedThreadIsNotWaitedFor) {
  auto* thread = NewObject<TTestThread>(true, [](TTestThread&) { FAIL() << "must not run"; });
  EXPECT_EQ(thread->WaitFor(), 0u);
  FreeObject(thread);
}

TEST(SynchronizeTest, RunsOnTheMainThreadWhenTheLoopChecks) {
  std::atomic<int> wakes{0};
  SetWakeMainThread(TNotifyEvent([&](TObject*) { ++wakes; }));
  DWORD ranOn = 0;
  auto* thread = NewObject<TTestThread>(false, [&](TTestThread& t) {
    t.Synchronize([&] { ranOn = GetCurrentThreadId(); });
  });
  // The main loop's part: wait for work and run it.
  while (!CheckSynchronize(1000)) {
  }
  thread->WaitFor();
  EXPECT_EQ(ranOn, MainThreadID);
  EXPECT_GE(wakes.load(), 1);
  FreeObject(thread);
  SetWakeMainThread(TNotifyEvent());
}

TEST(SynchronizeTest, AnExceptionComesBackToTheCallingThread) {
  String caught;
  auto* thread = NewObject<TTestThread>(false, [&](TTestThread& t) {
    try {
      t.Synchronize([] { throw EConvertError("bad value"); });
    } catch (const EConvertError& e) {
      caught = e.Message();
    }
  });
  // WaitFor on the main thread runs the thread's synchronized calls meanwhile.
  thread->WaitFor();
  EXPECT_EQ(caught, "bad value");
  FreeObject(thread);
}

TEST(SynchronizeTest, QueueDoesNotWaitAndOnTerminateRunsOnTheMainThread) {
  std::vector<String> order;
  DWORD terminateOn = 0;
  TSimpleEvent queued;
  auto* thread = NewObject<TTestThread>(true, [&](TTestThread& t) {
    t.Queue([&] { order.push_back("queued"); });
    queued.SetEvent();
  });
  thread->SetOnTerminate(TNotifyEvent([&](TObject*) {
    order.push_back("terminate");
    terminateOn = GetCurrentThreadId();
  }));
  thread->Start();
  EXPECT_EQ(queued.WaitFor(INFINITE), wrSignaled);
  thread->WaitFor();
  CheckSynchronize(0);
  EXPECT_EQ(order, (std::vector<String>{"queued", "terminate"}));
  EXPECT_EQ(terminateOn, MainThreadID);
  FreeObject(thread);
}

TEST(SynchronizeTest, OnTheMainThreadCallsRunAtOnce) {
  int calls = 0;
  TThread::Synchronize(nullptr, [&] { ++calls; });
  TThread::Queue(nullptr, [&] { ++calls; });
  EXPECT_EQ(calls, 2);
  EXPECT_FALSE(CheckSynchronize(0));
  bool raised = false;
  std::thread([&] {
    try {
      CheckSynchronize(0);
    } catch (const EThread&) {
      raised = true;
    }
  }).join();
  EXPECT_TRUE(raised);
}

}  // namespace

}  // namespace classes_test
