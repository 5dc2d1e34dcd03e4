#include "platform/classes/Thread.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>
#include <thread>

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/ClassErrors.h"
#include "platform/rtl/SysUtils.h"

using namespace classesconsts;
using k58::kernel::EventObject;
using k58::kernel::WaitableObject;

DWORD MainThreadID = GetCurrentThreadId();

K58_IMPLEMENT_CLASS(TThread) {}

namespace {

struct SyncEntry {
  TThread* Thread = nullptr;
  TThreadMethod Method;
  bool Wait = false;
  bool Done = false;
  std::exception_ptr Error;
};

// The calls waiting for the main thread. Pending is signaled while the queue is not empty, so a thread
// waiting on the main thread can also wait for calls to run.
struct SyncQueue {
  std::mutex lock;
  std::condition_variable done;
  std::condition_variable queued;
  std::deque<std::shared_ptr<SyncEntry>> entries;
  std::shared_ptr<EventObject> pending = std::make_shared<EventObject>(true, false);
  TNotifyEvent wake;
};

SyncQueue& Sync() {
  static SyncQueue queue;
  return queue;
}

bool OnMainThread() { return GetCurrentThreadId() == MainThreadID; }

void Enqueue(const std::shared_ptr<SyncEntry>& entry) {
  SyncQueue& sync = Sync();
  TNotifyEvent wake;
  {
    std::lock_guard<std::mutex> guard(sync.lock);
    sync.entries.push_back(entry);
    sync.pending->SetSignaled(true);
    wake = sync.wake;
  }
  sync.queued.notify_all();
  wake(entry->Thread);
}

}  // namespace

void SetWakeMainThread(const TNotifyEvent& Hook) {
  std::lock_guard<std::mutex> guard(Sync().lock);
  Sync().wake = Hook;
}

TNotifyEvent GetWakeMainThread() {
  std::lock_guard<std::mutex> guard(Sync().lock);
  return Sync().wake;
}

bool CheckSynchronize(Integer Timeout) {
  if (!OnMainThread()) throw EThread(Format(SCheckSynchronizeError, static_cast<Integer>(GetCurrentThreadId())));
  SyncQueue& sync = Sync();
  std::deque<std::shared_ptr<SyncEntry>> work;
  {
    std::unique_lock<std::mutex> lock(sync.lock);
    if (sync.entries.empty() && Timeout > 0) {
      sync.queued.wait_for(lock, std::chrono::milliseconds(Timeout), [&] { return !sync.entries.empty(); });
    }
    work.swap(sync.entries);
    sync.pending->SetSignaled(false);
  }
  if (work.empty()) return false;
  while (!work.empty()) {
    std::shared_ptr<SyncEntry> entry = work.front();
    work.pop_front();
    if (entry->Wait) {
      try {
        entry->Method();
      } catch (...) {
        entry->Error = std::current_exception();
      }
      {
        std::lock_guard<std::mutex> guard(sync.lock);
        entry->Done = true;
      }
      sync.done.notify_all();
    } else {
      try {
        entry->Method();
      } catch (...) {
        // The calls not yet run stay queued for the next round; the exception goes to the main loop.
        std::lock_guard<std::mutex> guard(sync.lock);
        sync.entries.insert(sync.entries.begin(), work.begin(), work.end());
        if (!sync.entries.empty()) sync.pending->SetSignaled(true);
        throw;
      }
    }
  }
  return true;
}

// ---- TThread ----

TThread::TThread(bool CreateSuspended)
    : createSuspended_(CreateSuspended), ended_(std::make_shared<EventObject>(true, false)) {
  handle_ = k58::kernel::InsertHandle(ended_);
}

TThread::~TThread() {
  if (!deletingItself_) WaitUntilFinished();
  RemoveQueuedEvents(this);
  CloseHandle(handle_);
}

void TThread::AfterConstruction() {
  if (!createSuspended_) Start();
}

void TThread::BeforeDestruction() {
  if (!deletingItself_) WaitUntilFinished();
}

void TThread::WaitUntilFinished() {
  if (started_ && !finished_ && threadId_ != GetCurrentThreadId()) {
    Terminate();
    WaitFor();
  }
}

void TThread::Start() {
  if (started_.exchange(true)) return;
  // ThreadID is known when Start returns.
  std::promise<void> running;
  std::future<void> ready = running.get_future();
  try {
    std::thread([this, &running] {
      threadId_ = GetCurrentThreadId();
      running.set_value();
      Run(this);
    }).detach();
  } catch (const std::system_error& e) {
    started_ = false;
    throw EThread(Format(SThreadError, String(e.what()), static_cast<Integer>(e.code().value())));
  }
  ready.wait();
}

void TThread::Run(TThread* thread) {
  try {
    if (!thread->terminated_) thread->Execute();
  } catch (...) {
    thread->fatalException_ = std::current_exception();
  }
  const bool freeItself = thread->freeOnTerminate_;
  try {
    thread->DoTerminate();
  } catch (...) {
    if (!thread->fatalException_) thread->fatalException_ = std::current_exception();
  }
  if (freeItself) {
    thread->finished_ = true;
    thread->ended_->SetSignaled(true);
    thread->deletingItself_ = true;
    FreeObject(thread);
    return;
  }
  // Nothing may touch the object after this: a waiting thread may free it at once.
  std::shared_ptr<EventObject> ended = thread->ended_;
  thread->finished_ = true;
  ended->SetSignaled(true);
}

void TThread::DoTerminate() {
  if (onTerminate_) Synchronize([this] { onTerminate_(this); });
}

DWORD TThread::WaitFor() {
  if (threadId_ != 0 && threadId_ == GetCurrentThreadId()) throw EThread(SThreadWaitSelf);
  if (!started_) return static_cast<DWORD>(returnValue_);
  std::shared_ptr<EventObject> ended = ended_;
  if (OnMainThread()) {
    // The thread may be waiting in Synchronize for the main thread; run its calls meanwhile.
    std::shared_ptr<EventObject> pending = Sync().pending;
    WaitableObject* objects[2] = {ended.get(), pending.get()};
    while (k58::kernel::WaitForObjects(objects, false, INFINITE) != WAIT_OBJECT_0) CheckSynchronize(0);
  } else {
    WaitableObject* objects[1] = {ended.get()};
    k58::kernel::WaitForObjects(objects, false, INFINITE);
  }
  return static_cast<DWORD>(returnValue_);
}

void TThread::Synchronize(TThread* AThread, const TThreadMethod& Method) {
  if (OnMainThread()) {
    Method();
    return;
  }
  auto entry = std::make_shared<SyncEntry>();
  entry->Thread = AThread;
  entry->Method = Method;
  entry->Wait = true;
  Enqueue(entry);
  SyncQueue& sync = Sync();
  {
    std::unique_lock<std::mutex> lock(sync.lock);
    sync.done.wait(lock, [&] { return entry->Done; });
  }
  if (entry->Error) std::rethrow_exception(entry->Error);
}

void TThread::Queue(TThread* AThread, const TThreadMethod& Method) {
  if (OnMainThread()) {
    Method();
    return;
  }
  auto entry = std::make_shared<SyncEntry>();
  entry->Thread = AThread;
  entry->Method = Method;
  Enqueue(entry);
}

void TThread::RemoveQueuedEvents(TThread* AThread) {
  SyncQueue& sync = Sync();
  std::lock_guard<std::mutex> guard(sync.lock);
  std::erase_if(sync.entries, [AThread](const std::shared_ptr<SyncEntry>& e) { return !e->Wait && e->Thread == AThread; });
  if (sync.entries.empty()) sync.pending->SetSignaled(false);
}
