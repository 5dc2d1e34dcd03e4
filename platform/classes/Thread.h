// Threads: TThread over std::thread, and running code on the main thread (Synchronize, Queue).
//
// Synchronize and Queue put the call in a process-wide queue and call the WakeMainThread hook, which the
// window layer sets so that its message loop wakes up and calls CheckSynchronize. On the main thread they
// run the call at once.
//
// A C++ object is complete only after its most derived constructor, so a thread does not start in
// TThread's constructor: with CreateSuspended false it starts in AfterConstruction (NewObject and the class
// factories call it), or call Start yourself. Free a running thread with FreeObject (or Terminate and
// WaitFor before deleting it), so that Execute never outlives the object's derived parts.
#pragma once

#include <atomic>
#include <exception>
#include <functional>
#include <memory>

#include "platform/classes/Kernel.h"
#include "platform/classes/Object.h"
#include "platform/classes/TypInfo.h"

enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };
K58_ENUM_TYPE(TThreadPriority, tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical)

using TThreadMethod = std::function<void()>;

// Id of the thread that started the program (recorded at start-up).
extern DWORD MainThreadID;

namespace k58::kernel {
class EventObject;
}

class TThread : public TObject {
  K58_CLASS(TThread, TObject)

  explicit TThread(bool CreateSuspended);
  ~TThread() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;

  // Starts a thread created suspended; Resume is the class library's older name.
  void Start();
  void Resume() { Start(); }
  // Asks Execute to stop; it has to check Terminated.
  void Terminate() { terminated_ = true; }
  bool Terminated() const { return terminated_; }
  // Waits until Execute has ended and answers ReturnValue. On the main thread, synchronized calls of the
  // thread run meanwhile. A thread that was never started is not waited for; waiting for oneself raises.
  DWORD WaitFor();

  bool FreeOnTerminate() const { return freeOnTerminate_; }
  void SetFreeOnTerminate(bool Value) { freeOnTerminate_ = Value; }
  // Kept only: Linux gives no priorities to ordinary programs.
  TThreadPriority Priority() const { return priority_; }
  void SetPriority(TThreadPriority Value) { priority_ = Value; }
  bool Suspended() const { return !started_; }
  bool Finished() const { return finished_; }
  DWORD ThreadID() const { return threadId_; }
  // A kernel handle that becomes signaled when the thread has ended.
  HANDLE Handle() const { return handle_; }
  Integer ReturnValue() const { return returnValue_; }
  // The exception that ended Execute, if any.
  std::exception_ptr FatalException() const { return fatalException_; }

  // Runs on the main thread (through Synchronize) after Execute ended.
  const TNotifyEvent& OnTerminate() const { return onTerminate_; }
  void SetOnTerminate(const TNotifyEvent& Value) { onTerminate_ = Value; }

  // Runs Method on the main thread and waits for it; an exception it raises comes back here.
  void Synchronize(const TThreadMethod& Method) { Synchronize(this, Method); }
  static void Synchronize(TThread* AThread, const TThreadMethod& Method);
  // Runs Method on the main thread later, without waiting.
  void Queue(const TThreadMethod& Method) { Queue(this, Method); }
  static void Queue(TThread* AThread, const TThreadMethod& Method);
  // Drops the calls AThread queued that have not run yet.
  static void RemoveQueuedEvents(TThread* AThread);

 protected:
  virtual void Execute() = 0;
  virtual void DoTerminate();
  void SetReturnValue(Integer Value) { returnValue_ = Value; }

 private:
  static void Run(TThread* thread);
  void WaitUntilFinished();

  bool createSuspended_;
  std::atomic<bool> terminated_{false};
  std::atomic<bool> started_{false};
  std::atomic<bool> finished_{false};
  std::atomic<bool> freeOnTerminate_{false};
  bool deletingItself_ = false;
  TThreadPriority priority_ = tpNormal;
  std::atomic<DWORD> threadId_{0};
  HANDLE handle_ = nullptr;
  std::shared_ptr<k58::kernel::EventObject> ended_;
  Integer returnValue_ = 0;
  std::exception_ptr fatalException_;
  TNotifyEvent onTerminate_;
};

// Runs the calls waiting for the main thread; with Timeout (ms) it first waits that long for one to arrive.
// Answers whether any ran. Raises EThread when called from another thread.
bool CheckSynchronize(Integer Timeout = 0);

// The hook that tells the main thread's message loop that calls wait (Sender is the calling thread, or
// nil). Set by the window layer at start-up.
void SetWakeMainThread(const TNotifyEvent& Hook);
TNotifyEvent GetWakeMainThread();
