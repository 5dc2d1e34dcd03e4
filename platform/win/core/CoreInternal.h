// Internal state of the window manager core: window classes, window records, per-thread message
// queues and the process-wide tables. Not for use outside platform/win/core.
//
// Locking: one process-wide mutex (Core().Lock) guards the window, class, queue and hook tables and
// every field of the records; each queue has its own mutex for its contents. A queue mutex may be
// taken while the process-wide mutex is held, never the other way round, and never two queue mutexes
// at once; the kernel-object lock may be taken under a queue mutex, never the other way round. No
// lock is held while a window procedure, hook or timer procedure runs.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/classes/Kernel.h"
#include "platform/win/core/Clock.h"
#include "platform/win/core/WinCoreExt.h"
#include "platform/win/core/WinUser.h"

namespace k58::wincore {

// ---- classes and windows --------------------------------------------------------------------------
struct WindowClass {
  std::string Name;
  ATOM Atom = 0;
  UINT Style = 0;
  WNDPROC Proc = nullptr;
  int ClassExtraBytes = 0;
  int WindowExtraBytes = 0;
  HINSTANCE Instance = nullptr;
  HICON Icon = nullptr;
  HICON IconSmall = nullptr;
  HCURSOR Cursor = nullptr;
  HBRUSH Background = nullptr;
  LPCSTR MenuName = nullptr;  // points into MenuNameText, or an integer resource id
  std::string MenuNameText;
  std::vector<BYTE> ClassExtra;
  int LiveWindows = 0;
};

class ThreadQueue;

struct Window {
  HWND Handle = nullptr;
  std::shared_ptr<WindowClass> Class;
  std::shared_ptr<ThreadQueue> Queue;  // of the owning thread; null for the desktop and message roots
  DWORD ThreadId = 0;
  WNDPROC Proc = nullptr;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  HWND Parent = nullptr;  // the desktop for top-level windows, the message root for message-only ones
  HWND Owner = nullptr;
  std::vector<HWND> Children;  // in z-order, topmost first
  UINT_PTR Id = 0;             // child id, or the menu of a top-level window
  HINSTANCE Instance = nullptr;
  LONG_PTR UserData = 0;
  std::string Text;
  std::vector<BYTE> Extra;
  std::vector<std::pair<std::string, HANDLE>> Props;
  std::shared_ptr<void> ExtData;
  bool Destroying = false;
};

// ---- queues ------------------------------------------------------------------------------------------
// A message sent from one thread to a window of another.
struct SentMessage {
  HWND Hwnd = nullptr;
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  std::shared_ptr<ThreadQueue> Sender;  // null for SendNotifyMessage
  // Guarded by the sender's queue mutex.
  bool Done = false;
  bool Failed = false;  // the window or its thread went away before handling it
  LRESULT Result = 0;
};

struct InputMessage {
  MSG Msg;
  int HitTest = HTCLIENT;
  ULONG_PTR ExtraInfo = 0;
  uint64_t Serial = 0;
};

struct TimerEntry {
  HWND Hwnd = nullptr;
  UINT_PTR Id = 0;
  UINT Interval = 0;
  TIMERPROC Proc = nullptr;
  uint64_t Due = 0;  // platform clock, ns
};

class ThreadQueue {
public:
  explicit ThreadQueue(DWORD ThreadId) : ThreadId(ThreadId) {}

  const DWORD ThreadId;
  std::mutex Lock;
  std::condition_variable Changed;

  // Everything below is guarded by Lock.
  bool Alive = true;
  std::atomic<uint64_t> Sequence{0};  // counts arrivals; a waiter sleeps while it stays the same
  UINT ChangeBits = 0;    // QS_* kinds that arrived since the thread last looked
  std::deque<std::shared_ptr<SentMessage>> Sent;
  std::deque<MSG> Posted;
  std::deque<InputMessage> Input;
  uint64_t NextInputSerial = 1;
  bool QuitPosted = false;
  int QuitCode = 0;
  std::vector<TimerEntry> Timers;
  bool SyncPending = false;  // synchronize calls wait for this (main) thread

  // Read by other threads to tell a busy thread from a hung one.
  std::atomic<uint64_t> LastLook{Clock().Now()};  // platform clock, when the thread last looked
  std::atomic<int> Waiting{0};                     // > 0 while the thread waits for messages
  // > 0 while the thread waits in the kernel-object layer (MsgWaitForMultipleObjects with handles),
  // which must then hear of arrivals too.
  std::atomic<int> KernelWaiters{0};

  // Records an arrival of the QS_* kind Bits and wakes the thread. Lock must be held.
  void Signal(UINT Bits) {
    ChangeBits |= Bits;
    ++Sequence;
    Changed.notify_all();
    if (KernelWaiters.load() > 0) k58::kernel::WaitableObject::NotifyStateChanged();
  }
};

// ---- the process-wide tables ---------------------------------------------------------------------
struct HookRecord {
  HHOOK Handle = nullptr;
  int Kind = 0;
  HOOKPROC Proc = nullptr;
  DWORD ThreadId = 0;  // 0: every thread
  bool Alive = true;   // guarded by CoreState::Lock
};

struct CoreState {
  std::mutex Lock;
  std::unordered_map<uintptr_t, std::shared_ptr<Window>> Windows;
  uintptr_t NextHandle = 0x10020;
  std::vector<std::shared_ptr<WindowClass>> Classes;
  ATOM NextAtom = 0xC000;
  std::unordered_map<DWORD, std::shared_ptr<ThreadQueue>> Queues;
  std::vector<std::shared_ptr<HookRecord>> Hooks;  // in order of installation
  uintptr_t NextHook = 0x20010;
  UINT_PTR NextThreadTimerId = 1;
  HWND Desktop = nullptr;
  HWND MessageRoot = nullptr;
};

CoreState& Core();
// The extension of the visual half, or null.
WindowSystemExtension* Extension();

// Table look-ups; Core().Lock must be held.
Window* FindWindowLocked(HWND Hwnd);
std::shared_ptr<WindowClass> FindClassLocked(LPCSTR Name);
bool IsTopLevelLocked(const Window& W);

// ---- per-thread state ----------------------------------------------------------------------------
// The calling thread's queue, created on first use.
std::shared_ptr<ThreadQueue> CurrentQueue();
// The queue of a thread, or null when it has none.
std::shared_ptr<ThreadQueue> QueueOfThread(DWORD ThreadId);
// Wakes every waiting thread (the clock moved or was replaced).
void WakeAllWaiters();

// Blocks on Queue.Changed until notified or until Deadline on the platform clock (UINT64_MAX: no
// deadline). Under a manual clock there is no real-time limit: moving the clock wakes the waiter.
void WaitQueue(ThreadQueue& Queue, std::unique_lock<std::mutex>& Lock, uint64_t Deadline);
inline constexpr uint64_t NoDeadline = UINT64_MAX;
uint64_t DeadlineAfter(DWORD Milliseconds);

// ---- message delivery ------------------------------------------------------------------------------
// Runs a message through the call-window-procedure hooks and the window's current procedure on the
// calling thread (the window's thread).
LRESULT DeliverMessage(HWND Hwnd, UINT Msg, WPARAM WParam, LPARAM LParam, bool FromCurrentThread);
// Handles every message sent to the calling thread from other threads, and pending synchronize
// calls on the main thread. Answers whether anything ran.
bool HandleIncomingSends(ThreadQueue& Queue);
// Runs the synchronize calls queued for the main thread by other threads.
void RunSynchronizeCalls();
// Connects the class library's wake-up of the main thread to the main thread's queue (once).
void InstallSynchronizeHook();
bool IsMainThread();
// Removes posted and input messages and timers of a window that is going away.
void PurgeWindowMessages(ThreadQueue& Queue, HWND Hwnd);

// ---- timers ---------------------------------------------------------------------------------------
// The first due timer matching the filter, as a WM_TIMER message; reschedules it when Remove.
// Queue.Lock must be held.
bool TakeDueTimer(ThreadQueue& Queue, HWND Filter, UINT Min, UINT Max, bool Remove, uint64_t Now, MSG& Out);
// When the next timer matching the filter and due later than After is due (NoDeadline: never).
// Queue.Lock must be held.
uint64_t NextTimerDue(const ThreadQueue& Queue, HWND Filter, UINT Min, UINT Max, uint64_t After);
// Whether a timer became due after the thread last looked. Queue.Lock must be held.
bool TimerBecameDue(const ThreadQueue& Queue, uint64_t Now);
// The procedure of a live timer of the calling thread, or null.
TIMERPROC TimerProcOf(HWND Hwnd, UINT_PTR Id);

// ---- hooks ----------------------------------------------------------------------------------------
bool HasHooks(int Kind);
// Calls the hook chain of Kind for the calling thread; 0 when there is none.
LRESULT CallHooks(int Kind, int Code, WPARAM WParam, LPARAM LParam);
// Drops the hooks installed for a thread that ends.
void RemoveThreadHooksLocked(DWORD ThreadId);

// ---- windows --------------------------------------------------------------------------------------
// Takes every window of a thread that ends out of the tables (with the windows below them), without
// messages. Called without locks.
void DiscardThreadWindows(DWORD ThreadId);
bool MessageMatches(const MSG& M, HWND Filter, UINT Min, UINT Max);
// Window filter of GetMessage/PeekMessage: null any, -1 thread messages only, else that window.
bool HwndMatches(HWND Hwnd, HWND Filter);
// Message range filter: 0, 0 is every message.
bool RangeHas(UINT Min, UINT Max, UINT Msg);
// The top-level windows that belong to a thread, in z-order.
std::vector<HWND> TopLevelWindows();
bool IsAtomName(LPCSTR Name);
// Copies Text into a caller buffer of Size bytes, NUL-terminated, never cutting a UTF-8 sequence.
int CopyText(const std::string& Text, LPSTR Buffer, int Size);

}  // namespace k58::wincore
