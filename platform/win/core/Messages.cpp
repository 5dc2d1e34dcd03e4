// Message queues: posting, sending within and across threads, retrieving with filters, dispatching,
// and waiting for messages.
//
// Retrieval order: messages sent from other threads are handled first (they never reach the
// caller), then posted messages, then input, then WM_QUIT (once nothing of those is left), then
// WM_PAINT, and WM_TIMER last.
#include <algorithm>
#include <chrono>

#include "platform/win/core/CoreInternal.h"
#include "platform/win/core/WinBase.h"

namespace k58::wincore {

namespace {

constexpr size_t PostedQuota = 10000;
constexpr uint64_t HungAfter = 5000 * NanosecondsPerMillisecond;
const HWND ThreadMessagesOnly = reinterpret_cast<HWND>(static_cast<intptr_t>(-1));

// The message a window procedure of this thread is handling, innermost last: a record for a
// message sent from another thread, none for the thread's own messages.
struct SendFrame {
  std::shared_ptr<SentMessage> Record;
  bool Replied = false;
};

void EndQueue(const std::shared_ptr<ThreadQueue>& Queue);

struct ThreadState {
  std::shared_ptr<ThreadQueue> Queue;
  std::vector<SendFrame*> Sends;
  LONG LastTime = 0;
  DWORD LastPos = 0;
  LPARAM LastExtraInfo = 0;
  ~ThreadState() {
    if (Queue) EndQueue(Queue);
  }
};

thread_local ThreadState TLS;

struct SendScope {
  SendFrame Frame;
  explicit SendScope(std::shared_ptr<SentMessage> Record = nullptr) {
    Frame.Record = std::move(Record);
    TLS.Sends.push_back(&Frame);
  }
  ~SendScope() { TLS.Sends.pop_back(); }
  SendScope(const SendScope&) = delete;
  SendScope& operator=(const SendScope&) = delete;
};

struct WaitingScope {
  ThreadQueue& Q;
  explicit WaitingScope(ThreadQueue& Q) : Q(Q) { ++Q.Waiting; }
  ~WaitingScope() { --Q.Waiting; }
};

// Releases the sender of a cross-thread message with its result.
void Complete(SentMessage& R, LRESULT Result, bool Failed) {
  if (!R.Sender) return;
  std::lock_guard<std::mutex> Guard(R.Sender->Lock);
  if (R.Done) return;
  R.Done = true;
  R.Failed = Failed;
  R.Result = Result;
  R.Sender->Changed.notify_all();
}

void EndQueue(const std::shared_ptr<ThreadQueue>& Queue) {
  DiscardThreadWindows(Queue->ThreadId);
  {
    CoreState& S = Core();
    std::lock_guard<std::mutex> Guard(S.Lock);
    auto It = S.Queues.find(Queue->ThreadId);
    if (It != S.Queues.end() && It->second == Queue) S.Queues.erase(It);
    RemoveThreadHooksLocked(Queue->ThreadId);
  }
  std::deque<std::shared_ptr<SentMessage>> Pending;
  {
    std::lock_guard<std::mutex> Guard(Queue->Lock);
    Queue->Alive = false;
    Pending.swap(Queue->Sent);
    Queue->Posted.clear();
    Queue->Input.clear();
    Queue->Timers.clear();
  }
  // Senders waiting for this thread learn that it is gone.
  for (auto& R : Pending) Complete(*R, 0, true);
}

bool IsMouseMessage(UINT M) {
  return (M >= WM_MOUSEFIRST && M <= WM_MOUSELAST) || (M >= WM_NCMOUSEMOVE && M <= WM_NCXBUTTONDBLCLK);
}

bool IsKeyMessage(UINT M) { return M == WM_KEYDOWN || M == WM_KEYUP || M == WM_SYSKEYDOWN || M == WM_SYSKEYUP; }

UINT InputKind(UINT M) {
  if (M == WM_MOUSEMOVE || M == WM_NCMOUSEMOVE) return QS_MOUSEMOVE;
  if (IsMouseMessage(M)) return QS_MOUSEBUTTON;
  return QS_KEY;
}

bool IsHung(ThreadQueue& Q) {
  uint64_t Now = Clock().Now();
  uint64_t Last = Q.LastLook.load();
  return Q.Waiting.load() == 0 && Now > Last && Now - Last > HungAfter;
}

bool ValidFilter(HWND Filter) { return !Filter || Filter == ThreadMessagesOnly || IsWindow(Filter); }

// The mouse and keyboard hooks see an input message as it is retrieved; a non-zero answer discards it.
bool InputHookDiscards(const InputMessage& In, bool Remove) {
  int Code = Remove ? HC_ACTION : HC_NOREMOVE;
  UINT M = In.Msg.message;
  if (IsMouseMessage(M) && HasHooks(WH_MOUSE)) {
    MOUSEHOOKSTRUCT Info;
    Info.pt = In.Msg.pt;
    Info.hwnd = In.Msg.hwnd;
    Info.wHitTestCode = static_cast<UINT>(In.HitTest);
    Info.dwExtraInfo = In.ExtraInfo;
    return CallHooks(WH_MOUSE, Code, M, reinterpret_cast<LPARAM>(&Info)) != 0;
  }
  if (IsKeyMessage(M) && HasHooks(WH_KEYBOARD))
    return CallHooks(WH_KEYBOARD, Code, In.Msg.wParam, In.Msg.lParam) != 0;
  return false;
}

POINT CursorPos() {
  WindowSystemExtension* X = Extension();
  return X ? X->CursorPos() : POINT{};
}

BOOL PostToQueue(ThreadQueue& Q, MSG M, DWORD ErrorWhenGone) {
  {
    std::lock_guard<std::mutex> Guard(Q.Lock);
    if (!Q.Alive) {
      SetLastError(ErrorWhenGone);
      return FALSE;
    }
    if (Q.Posted.size() >= PostedQuota) {
      SetLastError(ERROR_NOT_ENOUGH_QUOTA);
      return FALSE;
    }
    Q.Posted.push_back(M);
    Q.Signal(QS_POSTMESSAGE | QS_ALLPOSTMESSAGE);
  }
  return TRUE;
}

MSG MakeMessage(HWND Hwnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  MSG M;
  M.hwnd = Hwnd;
  M.message = Msg;
  M.wParam = WParam;
  M.lParam = LParam;
  M.time = GetTickCount();
  M.pt = CursorPos();
  return M;
}

bool PeekImpl(ThreadQueue& Q, MSG& Out, HWND Filter, UINT Min, UINT Max, UINT Flags) {
  UINT Kinds = Flags >> 16;
  if (Kinds == 0) Kinds = QS_ALLINPUT | QS_ALLPOSTMESSAGE;
  const bool Remove = (Flags & PM_REMOVE) != 0;
  if (Kinds & QS_SENDMESSAGE) HandleIncomingSends(Q);

  MSG M;
  bool Found = false;
  bool Generated = false;
  LPARAM ExtraInfo = 0;
  WindowSystemExtension* Ext = Extension();
  for (;;) {
    InputMessage Candidate;
    bool HaveInput = false;
    if (Ext && (Kinds & QS_INPUT)) {
      bool InputEmpty;
      {
        std::lock_guard<std::mutex> Guard(Q.Lock);
        InputEmpty = Q.Input.empty();
      }
      if (InputEmpty) Ext->ProcessRawInput();
    }
    {
      std::lock_guard<std::mutex> Guard(Q.Lock);
      uint64_t Now = Clock().Now();
      Q.ChangeBits = 0;
      Q.LastLook = Now;
      if (Kinds & QS_POSTMESSAGE) {
        auto It = std::find_if(Q.Posted.begin(), Q.Posted.end(),
                               [&](const MSG& P) { return MessageMatches(P, Filter, Min, Max); });
        if (It != Q.Posted.end()) {
          M = *It;
          if (Remove) Q.Posted.erase(It);
          Found = true;
        }
      }
      if (!Found && (Kinds & QS_INPUT)) {
        auto It = std::find_if(Q.Input.begin(), Q.Input.end(),
                               [&](const InputMessage& I) { return MessageMatches(I.Msg, Filter, Min, Max); });
        if (It != Q.Input.end()) {
          Candidate = *It;
          if (Remove) Q.Input.erase(It);
          HaveInput = true;
        }
      }
      // WM_QUIT passes every filter.
      if (!Found && !HaveInput && (Kinds & QS_POSTMESSAGE) && Q.QuitPosted) {
        M = MSG{};
        M.message = WM_QUIT;
        M.wParam = static_cast<WPARAM>(Q.QuitCode);
        M.time = static_cast<DWORD>(Now / NanosecondsPerMillisecond);
        if (Remove) Q.QuitPosted = false;
        Found = Generated = true;
      }
    }
    if (HaveInput) {
      if (InputHookDiscards(Candidate, Remove)) {
        if (!Remove) {
          std::lock_guard<std::mutex> Guard(Q.Lock);
          auto& In = Q.Input;
          In.erase(std::remove_if(In.begin(), In.end(),
                                  [&](const InputMessage& I) { return I.Serial == Candidate.Serial; }),
                   In.end());
        }
        continue;
      }
      M = Candidate.Msg;
      ExtraInfo = static_cast<LPARAM>(Candidate.ExtraInfo);
      Found = true;
    }
    break;
  }
  if (!Found && (Kinds & QS_PAINT) && RangeHas(Min, Max, WM_PAINT) && Filter != ThreadMessagesOnly) {
    if (WindowSystemExtension* X = Extension()) {
      HWND Paint = X->FindPaintWindow(Filter);
      if (Paint && HwndMatches(Paint, Filter)) {
        M = MSG{};
        M.hwnd = Paint;
        M.message = WM_PAINT;
        M.time = GetTickCount();
        Found = Generated = true;
      }
    }
  }
  if (!Found && (Kinds & QS_TIMER)) {
    std::lock_guard<std::mutex> Guard(Q.Lock);
    Found = Generated = TakeDueTimer(Q, Filter, Min, Max, Remove, Clock().Now(), M);
  }
  if (!Found) return false;
  if (Generated) M.pt = CursorPos();

  TLS.LastTime = static_cast<LONG>(M.time);
  TLS.LastPos = static_cast<DWORD>(MAKELONG(static_cast<WORD>(M.pt.x), static_cast<WORD>(M.pt.y)));
  TLS.LastExtraInfo = ExtraInfo;
  // The get-message hook may change the message; the caller gets what the hook left.
  if (HasHooks(WH_GETMESSAGE))
    CallHooks(WH_GETMESSAGE, HC_ACTION, Remove ? PM_REMOVE : PM_NOREMOVE, reinterpret_cast<LPARAM>(&M));
  Out = M;
  return true;
}

void ReceiveSent(const std::shared_ptr<SentMessage>& R) {
  // Whatever happens in the handler, the sender is not left waiting.
  struct Release {
    SentMessage& R;
    ~Release() { Complete(R, 0, false); }
  } Guard{*R};
  bool Exists;
  {
    std::lock_guard<std::mutex> Lock(Core().Lock);
    Window* W = FindWindowLocked(R->Hwnd);
    Exists = W && W->ThreadId == GetCurrentThreadId();
  }
  if (!Exists) {
    Complete(*R, 0, true);
    return;
  }
  SendScope Scope(R);
  LRESULT Result = DeliverMessage(R->Hwnd, R->Msg, R->WParam, R->LParam, false);
  Complete(*R, Result, false);
}

// Sends to one window and waits for the answer; false when the message was not handled in time.
bool SendTo(HWND Hwnd, UINT Msg, WPARAM WParam, LPARAM LParam, UINT Flags, DWORD Timeout, LRESULT& Result) {
  Result = 0;
  std::shared_ptr<ThreadQueue> Target;
  DWORD ThreadId;
  {
    std::lock_guard<std::mutex> Guard(Core().Lock);
    Window* W = FindWindowLocked(Hwnd);
    if (!W) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return false;
    }
    Target = W->Queue;
    ThreadId = W->ThreadId;
  }
  if (!Target) return true;  // the roots of the tree answer nothing
  if (ThreadId == GetCurrentThreadId()) {
    SendScope Scope;
    Result = DeliverMessage(Hwnd, Msg, WParam, LParam, true);
    return true;
  }

  std::shared_ptr<ThreadQueue> Me = CurrentQueue();
  if ((Flags & SMTO_ABORTIFHUNG) && IsHung(*Target)) {
    SetLastError(ERROR_TIMEOUT);
    return false;
  }
  // The time-out counts from the call.
  uint64_t Deadline = DeadlineAfter(Timeout);
  auto R = std::make_shared<SentMessage>();
  R->Hwnd = Hwnd;
  R->Msg = Msg;
  R->WParam = WParam;
  R->LParam = LParam;
  R->Sender = Me;
  {
    std::lock_guard<std::mutex> Guard(Target->Lock);
    if (!Target->Alive) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return false;
    }
    Target->Sent.push_back(R);
    Target->Signal(QS_SENDMESSAGE);
  }

  // While waiting, the thread handles what other threads send to it (unless told not to), so that
  // two threads sending to each other do not wait forever. On time-out the message stays queued.
  WaitingScope Waiting(*Me);
  std::unique_lock<std::mutex> Lock(Me->Lock);
  for (;;) {
    if (R->Done) {
      Result = R->Result;
      if (R->Failed) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
      }
      return true;
    }
    if (!(Flags & SMTO_BLOCK) && (!Me->Sent.empty() || Me->SyncPending)) {
      Lock.unlock();
      HandleIncomingSends(*Me);
      Lock.lock();
      continue;
    }
    if (Clock().Now() >= Deadline) {
      if (Flags & SMTO_NOTIMEOUTIFNOTHUNG) {
        Lock.unlock();
        bool Hung = IsHung(*Target);
        Lock.lock();
        if (!Hung) {
          Deadline = DeadlineAfter(Timeout);
          continue;
        }
      }
      SetLastError(ERROR_TIMEOUT);
      return false;
    }
    WaitQueue(*Me, Lock, Deadline);
  }
}

}  // namespace

std::shared_ptr<ThreadQueue> CurrentQueue() {
  if (!TLS.Queue) {
    InstallSynchronizeHook();
    auto Q = std::make_shared<ThreadQueue>(GetCurrentThreadId());
    // Calls handed to the main thread before it had a queue run at its first look.
    Q->SyncPending = IsMainThread();
    {
      std::lock_guard<std::mutex> Guard(Core().Lock);
      Core().Queues[Q->ThreadId] = Q;
    }
    TLS.Queue = Q;
  }
  return TLS.Queue;
}

std::shared_ptr<ThreadQueue> QueueOfThread(DWORD ThreadId) {
  std::lock_guard<std::mutex> Guard(Core().Lock);
  auto It = Core().Queues.find(ThreadId);
  return It == Core().Queues.end() ? nullptr : It->second;
}

void WakeAllWaiters() {
  k58::kernel::WaitableObject::NotifyStateChanged();
  std::vector<std::shared_ptr<ThreadQueue>> All;
  {
    std::lock_guard<std::mutex> Guard(Core().Lock);
    for (auto& [Id, Q] : Core().Queues) All.push_back(Q);
  }
  for (auto& Q : All) {
    std::lock_guard<std::mutex> Guard(Q->Lock);
    Q->Changed.notify_all();
  }
}

void WaitQueue(ThreadQueue& Queue, std::unique_lock<std::mutex>& Lock, uint64_t Deadline) {
  PlatformClock& C = Clock();
  if (Deadline == NoDeadline || C.IsManual()) {
    Queue.Changed.wait(Lock);
    return;
  }
  uint64_t Now = C.Now();
  if (Now >= Deadline) return;
  Queue.Changed.wait_for(Lock, std::chrono::nanoseconds(Deadline - Now));
}

uint64_t DeadlineAfter(DWORD Milliseconds) {
  if (Milliseconds == INFINITE) return NoDeadline;
  return Clock().Now() + uint64_t{Milliseconds} * NanosecondsPerMillisecond;
}

LRESULT DeliverMessage(HWND Hwnd, UINT Msg, WPARAM WParam, LPARAM LParam, bool FromCurrentThread) {
  if (HasHooks(WH_CALLWNDPROC)) {
    CWPSTRUCT Info;
    Info.lParam = LParam;
    Info.wParam = WParam;
    Info.message = Msg;
    Info.hwnd = Hwnd;
    CallHooks(WH_CALLWNDPROC, HC_ACTION, FromCurrentThread ? 1 : 0, reinterpret_cast<LPARAM>(&Info));
  }
  // Looked up after the hooks: a procedure a hook installs already gets this message.
  WNDPROC Proc;
  {
    std::lock_guard<std::mutex> Guard(Core().Lock);
    Window* W = FindWindowLocked(Hwnd);
    if (!W || !W->Proc) return 0;
    Proc = W->Proc;
  }
  LRESULT Result = Proc(Hwnd, Msg, WParam, LParam);
  if (HasHooks(WH_CALLWNDPROCRET)) {
    CWPRETSTRUCT Info;
    Info.lResult = Result;
    Info.lParam = LParam;
    Info.wParam = WParam;
    Info.message = Msg;
    Info.hwnd = Hwnd;
    CallHooks(WH_CALLWNDPROCRET, HC_ACTION, FromCurrentThread ? 1 : 0, reinterpret_cast<LPARAM>(&Info));
  }
  return Result;
}

bool HandleIncomingSends(ThreadQueue& Q) {
  bool Any = false;
  for (;;) {
    std::shared_ptr<SentMessage> R;
    bool Sync = false;
    {
      std::lock_guard<std::mutex> Guard(Q.Lock);
      if (!Q.Sent.empty()) {
        R = Q.Sent.front();
        Q.Sent.pop_front();
      } else if (Q.SyncPending) {
        Q.SyncPending = false;
        Sync = true;
      } else {
        break;
      }
    }
    Any = true;
    if (R)
      ReceiveSent(R);
    else if (Sync)
      RunSynchronizeCalls();
  }
  return Any;
}

void PurgeWindowMessages(ThreadQueue& Q, HWND Hwnd) {
  std::lock_guard<std::mutex> Guard(Q.Lock);
  Q.Posted.erase(std::remove_if(Q.Posted.begin(), Q.Posted.end(), [Hwnd](const MSG& M) { return M.hwnd == Hwnd; }),
                 Q.Posted.end());
  Q.Input.erase(std::remove_if(Q.Input.begin(), Q.Input.end(),
                               [Hwnd](const InputMessage& I) { return I.Msg.hwnd == Hwnd; }),
                Q.Input.end());
  Q.Timers.erase(std::remove_if(Q.Timers.begin(), Q.Timers.end(),
                                [Hwnd](const TimerEntry& T) { return T.Hwnd == Hwnd; }),
                 Q.Timers.end());
}

BOOL PostInputMessage(const MSG& Message, int HitTest, ULONG_PTR ExtraInfo) {
  std::shared_ptr<ThreadQueue> Q;
  if (Message.hwnd) {
    std::lock_guard<std::mutex> Guard(Core().Lock);
    Window* W = FindWindowLocked(Message.hwnd);
    if (!W || !W->Queue) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return FALSE;
    }
    Q = W->Queue;
  } else {
    Q = CurrentQueue();
  }
  InputMessage In;
  In.Msg = Message;
  if (In.Msg.time == 0) In.Msg.time = GetTickCount();
  In.HitTest = HitTest;
  In.ExtraInfo = ExtraInfo;
  std::lock_guard<std::mutex> Guard(Q->Lock);
  if (!Q->Alive) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  In.Serial = Q->NextInputSerial++;
  Q->Input.push_back(In);
  Q->Signal(InputKind(Message.message));
  return TRUE;
}

void WakeQueue(DWORD ThreadId, UINT QueueStatusBits) {
  if (std::shared_ptr<ThreadQueue> Q = QueueOfThread(ThreadId)) {
    std::lock_guard<std::mutex> Guard(Q->Lock);
    Q->Signal(QueueStatusBits);
  }
}

}  // namespace k58::wincore

using namespace k58::wincore;

BOOL PostMessage(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (!hWnd) return PostThreadMessage(GetCurrentThreadId(), Msg, wParam, lParam);
  if (hWnd == HWND_BROADCAST) {
    for (HWND H : TopLevelWindows()) PostMessage(H, Msg, wParam, lParam);
    return TRUE;
  }
  std::shared_ptr<ThreadQueue> Q;
  {
    std::lock_guard<std::mutex> Guard(Core().Lock);
    Window* W = FindWindowLocked(hWnd);
    if (!W || !W->Queue) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return FALSE;
    }
    Q = W->Queue;
  }
  return PostToQueue(*Q, MakeMessage(hWnd, Msg, wParam, lParam), ERROR_INVALID_WINDOW_HANDLE);
}

BOOL PostThreadMessage(DWORD idThread, UINT Msg, WPARAM wParam, LPARAM lParam) {
  std::shared_ptr<ThreadQueue> Q = idThread == GetCurrentThreadId() ? CurrentQueue() : QueueOfThread(idThread);
  if (!Q) {
    SetLastError(ERROR_INVALID_THREAD_ID);
    return FALSE;
  }
  return PostToQueue(*Q, MakeMessage(nullptr, Msg, wParam, lParam), ERROR_INVALID_THREAD_ID);
}

void PostQuitMessage(int nExitCode) {
  std::shared_ptr<ThreadQueue> Q = CurrentQueue();
  std::lock_guard<std::mutex> Guard(Q->Lock);
  Q->QuitPosted = true;
  Q->QuitCode = nExitCode;
  Q->Signal(QS_POSTMESSAGE | QS_ALLPOSTMESSAGE);
}

LRESULT SendMessage(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (hWnd == HWND_BROADCAST) {
    for (HWND H : TopLevelWindows()) SendMessage(H, Msg, wParam, lParam);
    return 0;
  }
  LRESULT Result = 0;
  SendTo(hWnd, Msg, wParam, lParam, SMTO_NORMAL, INFINITE, Result);
  return Result;
}

LRESULT SendMessageTimeout(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam, UINT fuFlags, UINT uTimeout,
                           DWORD_PTR* lpdwResult) {
  if (lpdwResult) *lpdwResult = 0;
  if (hWnd == HWND_BROADCAST) {
    for (HWND H : TopLevelWindows()) SendMessageTimeout(H, Msg, wParam, lParam, fuFlags, uTimeout, nullptr);
    return TRUE;
  }
  LRESULT Result = 0;
  if (!SendTo(hWnd, Msg, wParam, lParam, fuFlags, uTimeout, Result)) return 0;
  if (lpdwResult) *lpdwResult = static_cast<DWORD_PTR>(Result);
  return TRUE;
}

BOOL SendNotifyMessage(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (hWnd == HWND_BROADCAST) {
    for (HWND H : TopLevelWindows()) SendNotifyMessage(H, Msg, wParam, lParam);
    return TRUE;
  }
  std::shared_ptr<ThreadQueue> Target;
  DWORD ThreadId;
  {
    std::lock_guard<std::mutex> Guard(Core().Lock);
    Window* W = FindWindowLocked(hWnd);
    if (!W) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return FALSE;
    }
    Target = W->Queue;
    ThreadId = W->ThreadId;
  }
  if (!Target) return TRUE;
  if (ThreadId == GetCurrentThreadId()) {
    SendScope Scope;
    DeliverMessage(hWnd, Msg, wParam, lParam, true);
    return TRUE;
  }
  auto R = std::make_shared<SentMessage>();
  R->Hwnd = hWnd;
  R->Msg = Msg;
  R->WParam = wParam;
  R->LParam = lParam;
  std::lock_guard<std::mutex> Guard(Target->Lock);
  if (!Target->Alive) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  Target->Sent.push_back(R);
  Target->Signal(QS_SENDMESSAGE);
  return TRUE;
}

BOOL PeekMessage(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg) {
  if (!lpMsg) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!ValidFilter(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  return PeekImpl(*CurrentQueue(), *lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, wRemoveMsg) ? TRUE : FALSE;
}

BOOL GetMessage(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax) {
  if (!lpMsg) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  if (!ValidFilter(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return -1;
  }
  std::shared_ptr<ThreadQueue> Q = CurrentQueue();
  for (;;) {
    uint64_t Seen;
    {
      std::lock_guard<std::mutex> Guard(Q->Lock);
      Seen = Q->Sequence;
    }
    if (PeekImpl(*Q, *lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, PM_REMOVE)) return lpMsg->message != WM_QUIT;
    WaitingScope Waiting(*Q);
    std::unique_lock<std::mutex> Lock(Q->Lock);
    uint64_t Deadline = NextTimerDue(*Q, hWnd, wMsgFilterMin, wMsgFilterMax, 0);
    while (Q->Sequence == Seen && Clock().Now() < Deadline) WaitQueue(*Q, Lock, Deadline);
  }
}

BOOL TranslateMessage(const MSG* lpMsg) {
  if (!lpMsg) return FALSE;
  UINT M = lpMsg->message;
  if (M == WM_KEYUP || M == WM_SYSKEYUP) return TRUE;
  if (M != WM_KEYDOWN && M != WM_SYSKEYDOWN) return FALSE;
  std::vector<WPARAM> Chars;
  if (WindowSystemExtension* X = Extension()) X->TranslateKey(*lpMsg, Chars);
  for (WPARAM C : Chars) {
    MSG Char = *lpMsg;
    Char.message = M == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
    Char.wParam = C;
    std::shared_ptr<ThreadQueue> Q;
    if (Char.hwnd) {
      std::lock_guard<std::mutex> Guard(Core().Lock);
      Window* W = FindWindowLocked(Char.hwnd);
      if (W) Q = W->Queue;
    } else {
      Q = CurrentQueue();
    }
    if (Q) PostToQueue(*Q, Char, ERROR_INVALID_WINDOW_HANDLE);
  }
  return TRUE;
}

LRESULT DispatchMessage(const MSG* lpMsg) {
  if (!lpMsg) return 0;
  if (lpMsg->message == WM_TIMER && lpMsg->lParam) {
    // Only the procedure of a live timer is called; a stray lParam is never taken for code.
    TIMERPROC Proc = TimerProcOf(lpMsg->hwnd, lpMsg->wParam);
    if (Proc && reinterpret_cast<LPARAM>(Proc) == lpMsg->lParam) {
      SendScope Scope;
      Proc(lpMsg->hwnd, WM_TIMER, lpMsg->wParam, GetTickCount());
    }
    return 0;
  }
  if (!lpMsg->hwnd) return 0;
  WNDPROC Proc;
  {
    std::lock_guard<std::mutex> Guard(Core().Lock);
    Window* W = FindWindowLocked(lpMsg->hwnd);
    if (!W) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return 0;
    }
    if (!W->Queue) return 0;
    if (W->ThreadId != GetCurrentThreadId()) {
      SetLastError(ERROR_WINDOW_OF_OTHER_THREAD);
      return 0;
    }
    Proc = W->Proc;
  }
  SendScope Scope;
  return Proc(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

BOOL WaitMessage() {
  std::shared_ptr<ThreadQueue> Q = CurrentQueue();
  WaitingScope Waiting(*Q);
  for (;;) {
    HandleIncomingSends(*Q);
    std::unique_lock<std::mutex> Lock(Q->Lock);
    uint64_t Now = Clock().Now();
    // Only what arrived since the thread last looked at its queue counts.
    if ((Q->ChangeBits & ~QS_SENDMESSAGE) || TimerBecameDue(*Q, Now)) return TRUE;
    if (!Q->Sent.empty() || Q->SyncPending) continue;
    uint64_t Seen = Q->Sequence;
    uint64_t Deadline = NextTimerDue(*Q, nullptr, 0, 0, Q->LastLook.load());
    while (Q->Sequence == Seen && Now < Deadline) {
      WaitQueue(*Q, Lock, Deadline);
      Now = Clock().Now();
    }
  }
}

DWORD GetQueueStatus(UINT flags) {
  std::shared_ptr<ThreadQueue> Q = CurrentQueue();
  WindowSystemExtension* X = Extension();
  bool Paint = (flags & QS_PAINT) && X && X->FindPaintWindow(nullptr);
  std::lock_guard<std::mutex> Guard(Q->Lock);
  uint64_t Now = Clock().Now();
  UINT Present = 0;
  if (!Q->Posted.empty() || Q->QuitPosted) Present |= QS_POSTMESSAGE | QS_ALLPOSTMESSAGE;
  for (auto& I : Q->Input) Present |= InputKind(I.Msg.message);
  if (!Q->Sent.empty()) Present |= QS_SENDMESSAGE;
  if (std::any_of(Q->Timers.begin(), Q->Timers.end(), [Now](const TimerEntry& T) { return T.Due <= Now; }))
    Present |= QS_TIMER;
  if (Paint) Present |= QS_PAINT;
  UINT Changed = Q->ChangeBits;
  if (TimerBecameDue(*Q, Now)) Changed |= QS_TIMER;
  Changed &= Present & flags;
  Q->ChangeBits &= ~flags;
  if (flags & QS_TIMER) Q->LastLook = Now;
  return static_cast<DWORD>(MAKELONG(static_cast<WORD>(Changed), static_cast<WORD>(Present & flags)));
}

DWORD MsgWaitForMultipleObjects(DWORD nCount, const HANDLE* pHandles, BOOL fWaitAll, DWORD dwMilliseconds,
                                DWORD dwWakeMask) {
  return MsgWaitForMultipleObjectsEx(nCount, pHandles, dwMilliseconds, dwWakeMask, fWaitAll ? MWMO_WAITALL : 0);
}

BOOL InSendMessage() { return !TLS.Sends.empty() && TLS.Sends.back()->Record != nullptr; }

DWORD InSendMessageEx(LPVOID /*lpReserved*/) {
  if (TLS.Sends.empty() || !TLS.Sends.back()->Record) return ISMEX_NOSEND;
  SendFrame& F = *TLS.Sends.back();
  if (!F.Record->Sender) return ISMEX_NOTIFY;
  return ISMEX_SEND | (F.Replied ? ISMEX_REPLIED : 0);
}

BOOL ReplyMessage(LRESULT lResult) {
  if (TLS.Sends.empty()) return FALSE;
  SendFrame& F = *TLS.Sends.back();
  if (!F.Record || !F.Record->Sender || F.Replied) return FALSE;
  Complete(*F.Record, lResult, false);
  F.Replied = true;
  return TRUE;
}

LONG GetMessageTime() { return TLS.LastTime; }

DWORD GetMessagePos() { return TLS.LastPos; }

LPARAM GetMessageExtraInfo() { return TLS.LastExtraInfo; }

namespace {

// The message queue as one more object of a kernel wait: signalled once something arrived after the
// caller looked, or when the caller's own time limit (a timer or the time-out) is reached.
class QueueArrival final : public k58::kernel::WaitableObject {
public:
  QueueArrival(const ThreadQueue& Queue, uint64_t Seen, uint64_t Until) : queue_(Queue), seen_(Seen), until_(Until) {}

protected:
  bool IsSignaledLocked() const override {
    return queue_.Sequence.load() != seen_ || (until_ != NoDeadline && Clock().Now() >= until_);
  }

private:
  const ThreadQueue& queue_;
  uint64_t seen_;
  uint64_t until_;
};

// Milliseconds of real time a kernel wait may last to reach Until on the platform clock.
DWORD KernelTimeout(uint64_t Until) {
  if (Until == NoDeadline || Clock().IsManual()) return INFINITE;
  uint64_t Now = Clock().Now();
  if (Now >= Until) return 0;
  uint64_t Ms = (Until - Now + NanosecondsPerMillisecond - 1) / NanosecondsPerMillisecond;
  return Ms >= INFINITE ? INFINITE - 1 : static_cast<DWORD>(Ms);
}

}  // namespace

// Waits for any of the handles or for input of the kinds in the wake mask. Waiting for all handles
// together with input (MWMO_WAITALL with handles) is not offered.
DWORD MsgWaitForMultipleObjectsEx(DWORD nCount, const HANDLE* pHandles, DWORD dwMilliseconds, DWORD dwWakeMask,
                                  DWORD dwFlags) {
  if (nCount >= MAXIMUM_WAIT_OBJECTS || (nCount > 0 && !pHandles)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return WAIT_FAILED;
  }
  if (nCount > 0 && (dwFlags & MWMO_WAITALL)) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return WAIT_FAILED;
  }
  // The references keep the objects alive for the whole wait.
  std::vector<std::shared_ptr<k58::kernel::WaitableObject>> Held;
  for (DWORD I = 0; I < nCount; ++I) {
    auto Object = k58::kernel::ReferenceHandleAs<k58::kernel::WaitableObject>(pHandles[I]);
    if (!Object) {
      SetLastError(ERROR_INVALID_HANDLE);
      return WAIT_FAILED;
    }
    Held.push_back(std::move(Object));
  }

  std::shared_ptr<ThreadQueue> Q = CurrentQueue();
  const bool Available = (dwFlags & MWMO_INPUTAVAILABLE) != 0;
  const uint64_t Deadline = DeadlineAfter(dwMilliseconds);
  WaitingScope Waiting(*Q);
  for (;;) {
    // Messages sent by other threads: a caller that asked for them (QS_SENDMESSAGE) is woken and
    // handles them in its own loop; otherwise they are handled here, so their senders never wait
    // on a thread that waits for something else.
    const bool OwnSends = !(dwWakeMask & QS_SENDMESSAGE);
    if (OwnSends) HandleIncomingSends(*Q);
    WindowSystemExtension* X = Extension();
    bool Paint = Available && (dwWakeMask & QS_PAINT) && X && X->FindPaintWindow(nullptr);
    std::unique_lock<std::mutex> Lock(Q->Lock);
    uint64_t Now = Clock().Now();
    UINT Bits = Q->ChangeBits;
    if (TimerBecameDue(*Q, Now)) Bits |= QS_TIMER;
    if (Available) {
      if (!Q->Posted.empty() || Q->QuitPosted) Bits |= QS_POSTMESSAGE | QS_ALLPOSTMESSAGE;
      for (auto& I : Q->Input) Bits |= InputKind(I.Msg.message);
      if (std::any_of(Q->Timers.begin(), Q->Timers.end(), [Now](const TimerEntry& T) { return T.Due <= Now; }))
        Bits |= QS_TIMER;
      if (Paint) Bits |= QS_PAINT;
    }
    const bool SendsWaiting = !Q->Sent.empty() || Q->SyncPending;
    if (SendsWaiting && !OwnSends) return WAIT_OBJECT_0 + nCount;
    if (Bits & dwWakeMask & ~QS_SENDMESSAGE) return WAIT_OBJECT_0 + nCount;
    if (SendsWaiting) continue;
    uint64_t Seen = Q->Sequence;
    uint64_t Until = Deadline;
    if (dwWakeMask & QS_TIMER) Until = std::min(Until, NextTimerDue(*Q, nullptr, 0, 0, Q->LastLook.load()));

    if (nCount == 0) {
      if (Now >= Deadline) return WAIT_TIMEOUT;
      while (Q->Sequence == Seen && Now < Until) {
        WaitQueue(*Q, Lock, Until);
        Now = Clock().Now();
      }
      continue;
    }

    Lock.unlock();
    // The handles come first, so a signalled handle wins over new input, as its index is lower.
    QueueArrival Arrival(*Q, Seen, Until);
    std::vector<k58::kernel::WaitableObject*> Objects;
    for (auto& O : Held) Objects.push_back(O.get());
    Objects.push_back(&Arrival);
    ++Q->KernelWaiters;
    DWORD Result = k58::kernel::WaitForObjects(Objects, false, Now >= Deadline ? 0 : KernelTimeout(Until));
    --Q->KernelWaiters;
    if (Result < nCount || Result == WAIT_FAILED) return Result;
    // With the time-out reached, that was the last look at the handles.
    if (Now >= Deadline) return WAIT_TIMEOUT;
  }
}
