// The three worker threads of a dispatcher, starting and stopping them, and the delivery of notifications
// to the main thread.
#include <algorithm>
#include <atomic>
#include <cstring>
#include <thread>

#include "platform/classes/ClassBuilder.h"
#include "platform/win/core/UtilWindow.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win/core/WinBase.h"
#include "platform/win/core/WinUser.h"
#include "serial/SioUser.h"

// ---------------------------------------------------------------------------------------------------------
// Thread objects

K58_IMPLEMENT_CLASS(TSioDispatcherThread) {}
K58_IMPLEMENT_CLASS(TComThread) {}
K58_IMPLEMENT_CLASS(TDispThread) {}
K58_IMPLEMENT_CLASS(TOutThread) {}

TSioDispatcherThread::TSioDispatcherThread(TSioBaseDispatcher* Owner) : TThread(true), OwnerDispatcher(Owner) {}

bool TSioDispatcherThread::IsCurrent() const { return ThreadID() != 0 && ThreadID() == GetCurrentThreadId(); }

void TSioDispatcherThread::SetRelativePriority(Integer Relative) {
  SetPriority(static_cast<TThreadPriority>(std::clamp<Integer>(tpNormal + Relative, tpIdle, tpTimeCritical)));
}

void TSioDispatcherThread::DoTerminate() {
  if (std::exception_ptr e = FatalException()) {
    // Shown on the main thread by the application's display of exceptions.
    TThread::Queue(nullptr, [e] {
      try {
        std::rethrow_exception(e);
      } catch (...) {
        HandleUtilWindowException(nullptr);
      }
    });
  }
  inherited::DoTerminate();
  // The last step of every thread: its dispatcher stops counting it.
  OwnerDispatcher->ThreadEnded(this);
}

// ---------------------------------------------------------------------------------------------------------
// Starting and stopping

void TSioBaseDispatcher::StartThreads() {
  Guard main(mainLock_);
  if (threadsRunning_) throw Exception("Dispatcher already started");
  threadsRunning_ = true;
  stopFlag_ = false;
  auto start = [this](TObjectPtr<TSioDispatcherThread>& slot, std::atomic<bool>& ref,
                      TSioDispatcherThread* thread, Integer priority) {
    slot.reset(thread);
    ref = true;
    ++liveThreads_;
    thread->SetRelativePriority(priority);
    thread->Start();
    // A thread that does not acknowledge in time is not an error: the start goes on.
    WaitForSingleObject(threadAck_, 3000);
  };
  start(commThread_, commThreadRef_, new TComThread(this), priorityBoost_);
  start(dispThread_, dispThreadRef_, new TDispThread(this), priorityBoost_);
  start(outThread_, outThreadRef_, new TOutThread(this), priorityBoost_ + (rs485On_ ? 1 : 0));
}

namespace {

// Waits, handling the calling thread's messages, until done() holds or the tick timer expires (never when
// ticks is 0). Messages let a dispatch thread that is blocked in a send to this thread finish its pass.
template <class F>
bool PumpUntil(F done, Integer ticks) {
  TTickTimer timer;
  NewTimer(timer, ticks);
  while (!done()) {
    if (ticks > 0 && TimerExpired(timer)) return false;
    PumpMessage();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

}  // namespace

void TSioBaseDispatcher::StopThreads() {
  {
    Guard main(mainLock_);
    if (!threadsRunning_) return;
    stopFlag_ = true;
  }
  // No lock is held while waiting: a thread in the middle of a pass may need any of them to finish it.
  if (outThreadRef_) {
    SetEvent(flushRequest_);
    PumpUntil([this] { return !outThreadRef_; }, 0);
  }
  if (commThreadRef_) {
    if (device_ != INVALID_HANDLE_VALUE) SetCommMask(device_, 0);
    SetEvent(dispatchDone_);
    ResetEvent(threadAck_);
    PumpUntil([this] { return !commThreadRef_; }, 0);
  }
  const bool self = dispThread_ && dispThread_->IsCurrent();
  if (dispThreadRef_ && !self) {
    SetEvent(commSignal_);  // ends its wait for the next pass at once
    if (!PumpUntil([this] { return !dispThreadRef_; }, 36)) {
      SetEvent(commSignal_);
      if (!PumpUntil([this] { return !dispThreadRef_; }, 36))
        // A running thread is never freed: wait for it to leave its pass.
        PumpUntil([this] { return !dispThreadRef_; }, 0);
    }
  }
  if (commThread_ && !commThread_->IsCurrent()) commThread_->WaitFor();
  if (outThread_ && !outThread_->IsCurrent()) outThread_->WaitFor();
  if (dispThread_ && !self) dispThread_->WaitFor();
  CloseEvents();
}

void TSioBaseDispatcher::WaitThreadsEnded(bool PumpWhileWaiting) {
  if (PumpWhileWaiting)
    PumpUntil([this] { return liveThreads_.load() == 0; }, 0);
  for (auto* t : {commThread_.get(), dispThread_.get(), outThread_.get()})
    if (t != nullptr && !t->IsCurrent()) t->WaitFor();
}

void TSioBaseDispatcher::ThreadEnded(TSioDispatcherThread* Thread) {
  if (Thread == commThread_.get()) commThreadRef_ = false;
  if (Thread == outThread_.get()) outThreadRef_ = false;
  if (Thread == dispThread_.get()) {
    // Cleared first: a StopThreads waiting on the main thread only waits for the reference.
    dispThreadRef_ = false;
    if (releaseAtExit_.exchange(false)) ReleasePort();
  }
  if (--liveThreads_ == 0) threadsRunning_ = false;
}

void TSioBaseDispatcher::SetPriorityBoost(Byte Boost) {
  if (Boost == priorityBoost_) return;
  priorityBoost_ = Boost;
  if (commThread_ && commThreadRef_) commThread_->SetRelativePriority(Boost);
  if (dispThread_ && dispThreadRef_) dispThread_->SetRelativePriority(Boost);
  if (outThread_ && outThreadRef_) outThread_->SetRelativePriority(Boost + (rs485On_ ? 1 : 0));
}

// ---------------------------------------------------------------------------------------------------------
// Comm-event thread

void TComThread::Execute() {
  TSioBaseDispatcher& d = *OwnerDispatcher;
  HANDLE event = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  // This platform is of the NT family: no trailing-edge ring event.
  const DWORD mask = EV_RXCHAR | EV_CTS | EV_DSR | EV_RLSD | EV_BREAK | EV_ERR | EV_RING;
  SetCommMask(d.device_, mask);
  COMMTIMEOUTS timeouts;
  timeouts.ReadIntervalTimeout = MAXDWORD;  // reads return at once with what is queued
  SetCommTimeouts(d.device_, &timeouts);
  SetEvent(d.threadAck_);
  auto finish = [&] {
    SetEvent(d.threadAck_);
    CloseHandle(event);
  };
  do {
    OVERLAPPED ov;
    ov.hEvent = event;
    DWORD eventMask = 0;  // written when the wait completes, which happens before this iteration ends
    if (!d.WaitDeviceEvent(eventMask, ov)) {
      if (GetLastError() != ERROR_IO_PENDING) {
        // A device that refuses the wait (it vanished) ends the thread instead of spinning.
        finish();
        return;
      }
      DWORD n = 0;
      if (!GetOverlappedResult(d.device_, &ov, &n, TRUE)) {
        finish();
        return;
      }
      if (eventMask & EV_RING) d.ringEdge_ = true;
      ResetEvent(event);
    }
    d.lastEventMask_ = eventMask;
    if (d.stopFlag_) break;
    SetEvent(d.commSignal_);
    WaitForSingleObject(d.dispatchDone_, INFINITE);
  } while (!d.stopFlag_);
  finish();
}

// ---------------------------------------------------------------------------------------------------------
// Dispatch thread

void TDispThread::Execute() {
  TSioBaseDispatcher& d = *OwnerDispatcher;
  // Closed from inside a notification: nobody else releases the rings and the other threads, so the end of
  // this thread does (in ThreadEnded).
  struct ReleaseOnExit {
    TSioBaseDispatcher& d;
    ~ReleaseOnExit() {
      std::lock_guard<std::recursive_mutex> main(d.mainLock_);
      d.releaseAtExit_ = d.closeDuringNotify_.load();
    }
  } release{d};
  SetEvent(d.threadAck_);
  do {
    WaitForSingleObject(d.commSignal_, 50);  // a time-out counts like a signal
    if (d.stopFlag_) return;
    d.ProcessComEvent();
    d.ProcessTimers();
  } while (!d.stopFlag_ && !d.closeDuringNotify_);
  SetEvent(d.threadAck_);
}

void TSioBaseDispatcher::ProcessComEvent() {
  const DWORD mask = lastEventMask_;
  auto statusStep = [this]() -> bool {
    if (inNotify_) return true;
    while (CheckStatusTrigs())
      if (closeDuringNotify_) return false;
    if (statusFired_) ResetStatusHits();
    return true;
  };
  if (mask & (EV_CTS | EV_DSR | EV_RLSD | EV_RING)) {
    RefreshModem();
    if (!statusStep()) return;
  }
  if (mask & (EV_BREAK | EV_ERR)) {
    RefreshErrors();
    if (!statusStep()) return;
  }
  FillInputRing();
  if (!inNotify_) {
    while (CheckStatusTrigs())
      if (closeDuringNotify_) return;
    while (CheckAvail())
      if (closeDuringNotify_) return;
    if (closeDuringNotify_) return;
  }
  if (statusFired_) ResetStatusHits();
  SetEvent(dispatchDone_);
}

void TSioBaseDispatcher::ProcessTimers() {
  if (closeDuringNotify_ || inNotify_) return;
  statusFired_ = false;
  while ((CheckStatusTrigs() || CheckTimerTrigs()) && !closeDuringNotify_) {
  }
  if (statusFired_) ResetStatusHits();
}

bool TSioBaseDispatcher::NotifyTargets(UINT Msg, WPARAM WParam, Word Data) {
  {
    Guard main(mainLock_);
    if (!mustNotify_) return true;
    inNotify_ = true;
  }
  bool result = true;
  bool closed = false;
  {
    Guard in(inLock_);
    peekMax_ = 0;
    peekMode_ = Msg == SIO_TRIGGERAVAIL || Msg == SIO_TRIGGERDATA;
  }
  const LPARAM lParam = static_cast<LPARAM>(Data) + static_cast<LPARAM>(tableIndex_) * 65536;
  auto startTarget = [this] {
    Guard in(inLock_);
    peekCount_ = 0;
  };
  auto endTarget = [this, &result, &closed]() -> bool {
    if (closeDuringNotify_) {
      result = false;
      closed = true;
      return false;
    }
    Guard in(inLock_);
    peekMax_ = std::max(peekMax_, peekCount_);
    return true;
  };
  // The lists are walked by index: a handler may add a target (appended) or remove one (marked only).
  for (size_t i = 0; !closed; ++i) {
    TSioMethodTarget target;
    {
      Guard main(mainLock_);
      if (i >= methodTargets_.size()) break;
      target = methodTargets_[i];
    }
    startTarget();
    if (!target.Deleted) {
      if (target.Synchronized && dispThread_)
        TThread::Synchronize(dispThread_.get(), [&] { target.Method(Msg, WParam, lParam); });
      else
        target.Method(Msg, WParam, lParam);
    }
    if (!endTarget()) break;
  }
  for (size_t i = 0; !closed; ++i) {
    TSioProcTarget target;
    {
      Guard main(mainLock_);
      if (i >= procTargets_.size()) break;
      target = procTargets_[i];
    }
    startTarget();
    if (!target.Deleted && target.Proc != nullptr) target.Proc(Msg, WParam, lParam);
    if (!endTarget()) break;
  }
  bool windows;
  {
    Guard main(mainLock_);
    windows = windowTargets_.size() > 1 || portHasEvents_;
  }
  for (size_t i = 0; windows && !closed; ++i) {
    TSioWindowTarget target;
    {
      Guard main(mainLock_);
      if (i >= windowTargets_.size()) break;
      target = windowTargets_[i];
    }
    startTarget();
    if (!target.Deleted) {
      DWORD_PTR answer = 0;
      // A handler that does not answer in time is abandoned; its message is still handled later.
      SendMessageTimeout(target.Window, Msg, WParam, lParam, SMTO_BLOCK, NotifyTimeoutMs, &answer);
    }
    if (!endTarget()) break;
  }
  if (!closed) {
    Guard in(inLock_);
    if (peekMode_) {
      // Count what an abandoned handler read after its time ran out, in the same step that ends peeking,
      // so that no byte is delivered twice.
      Cardinal consumed = std::min(std::max(peekMax_, peekCount_), UnreadCount());
      peekMode_ = false;
      inRemove_ = (inRemove_ + consumed) % kInRingSize;
      if (consumed > 0) inFull_ = false;
      peekCount_ = 0;
      if (Msg == SIO_TRIGGERAVAIL && consumed != WParam) result = false;
    }
  }
  {
    Guard main(mainLock_);
    inNotify_ = false;
    if (targetsDirty_) {
      auto gone = [](const auto& t) { return t.Deleted; };
      windowTargets_.erase(std::remove_if(windowTargets_.begin(), windowTargets_.end(), gone), windowTargets_.end());
      procTargets_.erase(std::remove_if(procTargets_.begin(), procTargets_.end(), gone), procTargets_.end());
      methodTargets_.erase(std::remove_if(methodTargets_.begin(), methodTargets_.end(), gone), methodTargets_.end());
      targetsDirty_ = false;
      SetTargetState(0);
    }
  }
  if (!closed) {
    Guard in(inLock_);
    peekCount_ = 0;
  }
  return result;
}

// ---------------------------------------------------------------------------------------------------------
// Writer thread

void TOutThread::Execute() {
  TSioBaseDispatcher& d = *OwnerDispatcher;
  SetEvent(d.threadAck_);
  do {
    const DWORD w = WaitForMultipleObjects(2, d.outWait_, FALSE, INFINITE);
    if (w == WAIT_OBJECT_0) {
      if (d.stopFlag_) break;
      d.WriteOutRing();
    } else if (w == WAIT_OBJECT_0 + 1) {
      SetEvent(d.threadAck_);
    } else {
      break;  // the events are gone
    }
  } while (!d.stopFlag_ && !d.closeDuringNotify_);
}

void TSioBaseDispatcher::WriteOutRing() {
  for (;;) {
    const Byte* start;
    Cardinal len;
    {
      Guard out(outLock_);
      if (outRing_.empty() || !(outFull_ || outInsert_ != outRemove_)) return;
      Byte* ring = outRing_.data();
      if (outRemove_ < outInsert_) {
        start = ring + outRemove_;
        len = outInsert_ - outRemove_;
      } else if (outInsert_ > 0) {
        // The data wraps: make it one stretch at the ring's start. A full ring stays full, its end at its
        // start, so that writing it all empties it.
        const Cardinal count = outRingSize_ - outRemove_ + outInsert_;
        std::vector<Byte> lead(ring, ring + outInsert_);
        std::memmove(ring, ring + outRemove_, outRingSize_ - outRemove_);
        std::memcpy(ring + (outRingSize_ - outRemove_), lead.data(), lead.size());
        outInsert_ = count == outRingSize_ ? 0 : count;
        outRemove_ = 0;
        start = ring;
        len = count;
      } else {
        start = ring + outRemove_;
        len = outRingSize_ - outRemove_;
      }
    }
    // The record outlives an abandoned write: the device completes it when the write is purged.
    OVERLAPPED& ov = writeOv_;
    ov = OVERLAPPED();
    ov.hEvent = writeComplete_;
    DWORD n = 0;
    if (WriteFile(device_, start, len, &n, &ov)) {
      Guard out(outLock_);
      AdvanceOutput(n);
    } else if (GetLastError() == ERROR_IO_PENDING) {
      const DWORD w = WaitForMultipleObjects(2, writeWait_, FALSE, INFINITE);
      if (w == WAIT_OBJECT_0) {
        if (GetOverlappedResult(device_, &ov, &n, FALSE)) {
          Guard out(outLock_);
          AdvanceOutput(n);
          ResetEvent(writeComplete_);
        }
        // On failure nothing advances and the same stretch is written again.
      } else {
        SetEvent(threadAck_);  // a flush abandons the write
        return;
      }
    } else {
      Guard out(outLock_);
      AdvanceOutput(len);  // the device refused the bytes: they are dropped
    }
  }
}
