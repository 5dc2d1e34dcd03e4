// Window timers. A timer is never queued: when a thread looks at its queue and finds nothing else,
// a due timer turns into one WM_TIMER, however many intervals have passed, and the timer moves on
// to its next interval boundary once that message is removed.
#include <algorithm>

#include "platform/win/core/CoreInternal.h"
#include "platform/win/core/WinBase.h"

namespace k58::wincore {

namespace {

uint64_t IntervalNs(const TimerEntry& T) { return uint64_t{T.Interval} * NanosecondsPerMillisecond; }

// The queue holding the timers of Hwnd (the calling thread's when Hwnd is null), checking that the
// window belongs to the calling thread.
std::shared_ptr<ThreadQueue> TimerQueue(HWND Hwnd) {
  if (!Hwnd) return CurrentQueue();
  std::lock_guard<std::mutex> Guard(Core().Lock);
  Window* W = FindWindowLocked(Hwnd);
  if (!W || !W->Queue) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  if (W->ThreadId != GetCurrentThreadId()) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  return W->Queue;
}

}  // namespace

bool HwndMatches(HWND Hwnd, HWND Filter) {
  if (!Filter) return true;
  if (Filter == reinterpret_cast<HWND>(static_cast<intptr_t>(-1))) return Hwnd == nullptr;
  return Hwnd == Filter;
}

bool RangeHas(UINT Min, UINT Max, UINT Msg) { return (Min == 0 && Max == 0) || (Msg >= Min && Msg <= Max); }

bool MessageMatches(const MSG& M, HWND Filter, UINT Min, UINT Max) {
  return HwndMatches(M.hwnd, Filter) && RangeHas(Min, Max, M.message);
}

bool TakeDueTimer(ThreadQueue& Queue, HWND Filter, UINT Min, UINT Max, bool Remove, uint64_t Now, MSG& Out) {
  if (!RangeHas(Min, Max, WM_TIMER)) return false;
  TimerEntry* Best = nullptr;
  for (auto& T : Queue.Timers)
    if (HwndMatches(T.Hwnd, Filter) && T.Due <= Now && (!Best || T.Due < Best->Due)) Best = &T;
  if (!Best) return false;
  Out = MSG{};
  Out.hwnd = Best->Hwnd;
  Out.message = WM_TIMER;
  Out.wParam = Best->Id;
  Out.lParam = reinterpret_cast<LPARAM>(Best->Proc);
  Out.time = static_cast<DWORD>(Now / NanosecondsPerMillisecond);
  if (Remove) {
    // Keep the timer's rhythm: the next message is due at the first boundary after now.
    uint64_t Step = IntervalNs(*Best);
    Best->Due += ((Now - Best->Due) / Step + 1) * Step;
  }
  return true;
}

uint64_t NextTimerDue(const ThreadQueue& Queue, HWND Filter, UINT Min, UINT Max, uint64_t After) {
  uint64_t Next = NoDeadline;
  if (!RangeHas(Min, Max, WM_TIMER)) return Next;
  for (auto& T : Queue.Timers)
    if (HwndMatches(T.Hwnd, Filter) && T.Due > After) Next = std::min(Next, T.Due);
  return Next;
}

bool TimerBecameDue(const ThreadQueue& Queue, uint64_t Now) {
  return std::any_of(Queue.Timers.begin(), Queue.Timers.end(),
                     [&](const TimerEntry& T) { return T.Due > Queue.LastLook && T.Due <= Now; });
}

TIMERPROC TimerProcOf(HWND Hwnd, UINT_PTR Id) {
  std::shared_ptr<ThreadQueue> Q = CurrentQueue();
  std::lock_guard<std::mutex> Guard(Q->Lock);
  for (auto& T : Q->Timers)
    if (T.Hwnd == Hwnd && T.Id == Id) return T.Proc;
  return nullptr;
}

}  // namespace k58::wincore

using namespace k58::wincore;

UINT_PTR SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc) {
  std::shared_ptr<ThreadQueue> Q = TimerQueue(hWnd);
  if (!Q) return 0;
  uElapse = std::clamp(uElapse, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
  uint64_t Due = Clock().Now() + uint64_t{uElapse} * NanosecondsPerMillisecond;

  // A thread timer (no window) whose id is not one of the thread's gets a new id.
  UINT_PTR Id = nIDEvent;
  if (!hWnd) {
    bool Known = false;
    if (Id != 0) {
      std::lock_guard<std::mutex> Guard(Q->Lock);
      Known = std::any_of(Q->Timers.begin(), Q->Timers.end(),
                          [Id](const TimerEntry& T) { return !T.Hwnd && T.Id == Id; });
    }
    if (!Known) {
      std::lock_guard<std::mutex> Guard(Core().Lock);
      Id = Core().NextThreadTimerId++;
    }
  }

  std::lock_guard<std::mutex> Guard(Q->Lock);
  auto It = std::find_if(Q->Timers.begin(), Q->Timers.end(),
                         [&](const TimerEntry& T) { return T.Hwnd == hWnd && T.Id == Id; });
  if (It == Q->Timers.end()) It = Q->Timers.insert(Q->Timers.end(), TimerEntry{hWnd, Id, 0, nullptr, 0});
  It->Interval = uElapse;
  It->Proc = lpTimerFunc;
  It->Due = Due;
  // A thread waiting with an earlier idea of its next timer looks again.
  Q->Signal(0);
  return hWnd ? (Id ? Id : 1) : Id;
}

BOOL KillTimer(HWND hWnd, UINT_PTR uIDEvent) {
  std::shared_ptr<ThreadQueue> Q = TimerQueue(hWnd);
  if (!Q) return FALSE;
  std::lock_guard<std::mutex> Guard(Q->Lock);
  auto It = std::find_if(Q->Timers.begin(), Q->Timers.end(),
                         [&](const TimerEntry& T) { return T.Hwnd == hWnd && T.Id == uIDEvent; });
  if (It == Q->Timers.end()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  Q->Timers.erase(It);
  return TRUE;
}
