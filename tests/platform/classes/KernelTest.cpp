// Kernel objects: events, waits, handles, critical sections, interlocked counters, the last error.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/classes/Kernel.h"
#include "platform/classes/SyncObjs.h"

namespace classes_test {

namespace {

TEST(KernelEventTest, ManualAndAutoReset) {
  HANDLE manual = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  HANDLE automatic = CreateEvent(nullptr, FALSE, TRUE, nullptr);
  ASSERT_NE(manual, nullptr);
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_TIMEOUT);
  SetEvent(manual);
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);  // stays signaled
  ResetEvent(manual);
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_TIMEOUT);

  EXPECT_EQ(WaitForSingleObject(automatic, 0), WAIT_OBJECT_0);  // initially signaled
  EXPECT_EQ(WaitForSingleObject(automatic, 0), WAIT_TIMEOUT);   // the wait reset it
  CloseHandle(manual);
  CloseHandle(automatic);
}

TEST(KernelEventTest, WaitForAnyAnswersTheLowestSignaledIndex) {
  HANDLE events[3];
  for (HANDLE& h : events) h = CreateEvent(nullptr, FALSE, FALSE, nullptr);
  EXPECT_EQ(WaitForMultipleObjects(3, events, FALSE, 0), WAIT_TIMEOUT);
  SetEvent(events[2]);
  SetEvent(events[1]);
  EXPECT_EQ(WaitForMultipleObjects(3, events, FALSE, 0), WAIT_OBJECT_0 + 1);
  // Only the event that satisfied the wait was reset.
  EXPECT_EQ(WaitForMultipleObjects(3, events, FALSE, 0), WAIT_OBJECT_0 + 2);
  for (HANDLE h : events) CloseHandle(h);
}

TEST(KernelEventTest, WaitForAllNeedsAllAtOnceAndTakesNothingOtherwise) {
  HANDLE a = CreateEvent(nullptr, FALSE, TRUE, nullptr);
  HANDLE b = CreateEvent(nullptr, FALSE, FALSE, nullptr);
  HANDLE both[2] = {a, b};
  EXPECT_EQ(WaitForMultipleObjects(2, both, TRUE, 10), WAIT_TIMEOUT);
  EXPECT_EQ(WaitForSingleObject(a, 0), WAIT_OBJECT_0);  // a was not consumed by the failed wait
  SetEvent(a);
  SetEvent(b);
  EXPECT_EQ(WaitForMultipleObjects(2, both, TRUE, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(a, 0), WAIT_TIMEOUT);
  EXPECT_EQ(WaitForSingleObject(b, 0), WAIT_TIMEOUT);
  HANDLE twice[2] = {a, a};
  EXPECT_EQ(WaitForMultipleObjects(2, twice, TRUE, 0), WAIT_FAILED);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  CloseHandle(a);
  CloseHandle(b);
}

TEST(KernelEventTest, AWaitEndsWhenAnotherThreadSignals) {
  HANDLE event = CreateEvent(nullptr, FALSE, FALSE, nullptr);
  std::thread signaller([event] { SetEvent(event); });
  EXPECT_EQ(WaitForSingleObject(event, INFINITE), WAIT_OBJECT_0);
  signaller.join();
  CloseHandle(event);
}

TEST(KernelHandleTest, BadHandlesFailWithTheLastError) {
  HANDLE event = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  EXPECT_TRUE(CloseHandle(event));
  SetLastError(0);
  EXPECT_FALSE(CloseHandle(event));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_FALSE(SetEvent(event));
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_FAILED);
  EXPECT_EQ(WaitForSingleObject(INVALID_HANDLE_VALUE, 0), WAIT_FAILED);
  HANDLE none[1] = {nullptr};
  EXPECT_EQ(WaitForMultipleObjects(0, none, FALSE, 0), WAIT_FAILED);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(KernelHandleTest, TheLastErrorBelongsToEachThread) {
  SetLastError(5);
  DWORD other = 1;
  std::thread([&] { other = GetLastError(); }).join();
  EXPECT_EQ(other, 0u);
  EXPECT_EQ(GetLastError(), 5u);
  EXPECT_NE(GetCurrentThreadId(), 0u);
}

// A handle kind of another layer: CloseHandle reaches it, waits see its state.
class TestDevice : public k58::kernel::WaitableObject {
 public:
  explicit TestDevice(std::atomic<int>& closes) : closes_(closes) {}
  void OnClose() override { ++closes_; }
  // A state of its own, read under the kernel lock.
  std::atomic<bool> ready{false};

 protected:
  bool IsSignaledLocked() const override { return ready; }

 private:
  std::atomic<int>& closes_;
};

TEST(KernelHandleTest, OtherLayersAddHandleKinds) {
  std::atomic<int> closes{0};
  auto device = std::make_shared<TestDevice>(closes);
  HANDLE h = k58::kernel::InsertHandle(device);
  EXPECT_EQ(k58::kernel::ReferenceHandleAs<TestDevice>(h), device);
  EXPECT_EQ(WaitForSingleObject(h, 0), WAIT_TIMEOUT);
  std::thread setter([&] {
    device->ready = true;
    k58::kernel::WaitableObject::NotifyStateChanged();
  });
  EXPECT_EQ(WaitForSingleObject(h, INFINITE), WAIT_OBJECT_0);
  setter.join();

  // An object without a handle joins a wait with handles (as a message queue does).
  HANDLE event = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  auto eventObject = k58::kernel::ReferenceHandleAs<k58::kernel::WaitableObject>(event);
  k58::kernel::EventObject extra(true, true);
  k58::kernel::WaitableObject* objects[2] = {eventObject.get(), &extra};
  EXPECT_EQ(k58::kernel::WaitForObjects(objects, false, 0), WAIT_OBJECT_0 + 1);

  EXPECT_TRUE(CloseHandle(h));
  EXPECT_EQ(closes, 1);
  EXPECT_EQ(k58::kernel::ReferenceHandle(h), nullptr);
  CloseHandle(event);
}

TEST(KernelSyncTest, CriticalSectionsAreReentrantAndExclusive) {
  CRITICAL_SECTION cs;
  InitializeCriticalSection(&cs);
  EnterCriticalSection(&cs);
  EnterCriticalSection(&cs);
  EXPECT_EQ(cs.RecursionCount, 2);
  bool otherGotIt = true;
  std::thread([&] { otherGotIt = TryEnterCriticalSection(&cs) != FALSE; }).join();
  EXPECT_FALSE(otherGotIt);
  LeaveCriticalSection(&cs);
  LeaveCriticalSection(&cs);
  std::thread([&] {
    otherGotIt = TryEnterCriticalSection(&cs) != FALSE;
    if (otherGotIt) LeaveCriticalSection(&cs);
  }).join();
  EXPECT_TRUE(otherGotIt);
  DeleteCriticalSection(&cs);
}

TEST(KernelSyncTest, InterlockedCountersAddUpAcrossThreads) {
  LONG counter = 0;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 10000; ++i) {
        InterlockedIncrement(&counter);
        InterlockedIncrement(&counter);
        InterlockedDecrement(&counter);
      }
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(counter, 40000);
  EXPECT_EQ(InterlockedExchange(&counter, 7), 40000);
  EXPECT_EQ(InterlockedCompareExchange(&counter, 9, 8), 7);  // no match: unchanged
  EXPECT_EQ(InterlockedCompareExchange(&counter, 9, 7), 7);
  EXPECT_EQ(counter, 9);
  EXPECT_EQ(InterlockedExchangeAdd(&counter, 3), 9);
  EXPECT_EQ(InterlockedDecrement(&counter), 11);
}

TEST(SyncObjsTest, EventAndCriticalSectionClasses) {
  TEvent event(nullptr, false, false, "");
  EXPECT_EQ(event.WaitFor(0), wrTimeout);
  event.SetEvent();
  EXPECT_EQ(event.WaitFor(INFINITE), wrSignaled);
  EXPECT_EQ(event.WaitFor(0), wrTimeout);
  TSimpleEvent simple;
  simple.SetEvent();
  EXPECT_EQ(simple.WaitFor(0), wrSignaled);
  EXPECT_EQ(simple.WaitFor(0), wrSignaled);
  simple.ResetEvent();
  EXPECT_EQ(simple.WaitFor(5), wrTimeout);

  TCriticalSection section;
  section.Enter();
  EXPECT_TRUE(section.TryEnter());
  section.Leave();
  section.Leave();
}

}  // namespace

}  // namespace classes_test
