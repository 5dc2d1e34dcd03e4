// Calls that other threads hand to the main thread (TThread.Synchronize and Queue) run inside the
// main thread's message loop: the class library's wake-up hook marks the main thread's queue, and
// the queue runs the calls wherever it handles messages sent from other threads (GetMessage,
// PeekMessage, WaitMessage, MsgWaitForMultipleObjects and while waiting for a send of its own).
#include <mutex>

#include "platform/classes/Thread.h"
#include "platform/win/core/CoreInternal.h"

namespace k58::wincore {

namespace {

void MarkMainQueue() {
  if (std::shared_ptr<ThreadQueue> Q = QueueOfThread(MainThreadID)) {
    std::lock_guard<std::mutex> Guard(Q->Lock);
    Q->SyncPending = true;
    Q->Signal(0);
  }
}

// Installed when the program starts, and again on first use of a queue in case the program's start-up
// order put this library's initialisation first.
[[maybe_unused]] const bool Installed = (InstallSynchronizeHook(), true);

}  // namespace

void InstallSynchronizeHook() {
  static std::once_flag Once;
  std::call_once(Once, [] { SetWakeMainThread(TNotifyEvent([](TObject*) { MarkMainQueue(); })); });
}

bool IsMainThread() { return GetCurrentThreadId() == MainThreadID; }

void RunSynchronizeCalls() {
  try {
    CheckSynchronize(0);
  } catch (...) {
    // Calls not run yet stay queued; look again at the next chance.
    MarkMainQueue();
    throw;
  }
}

}  // namespace k58::wincore
