#include "platform/classes/Kernel.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace k58::kernel {

namespace {

// One lock and one condition for all waitable state: waits on several objects stay simple and exact,
// and the number of threads in this system is small. Never destroyed: a thread still signalling its end
// while the program exits would otherwise use them after their destructors ran.
std::mutex& KernelLock() {
  static auto* lock = new std::mutex;
  return *lock;
}

std::condition_variable& KernelChanged() {
  static auto* changed = new std::condition_variable;
  return *changed;
}

struct HandleTable {
  std::mutex lock;
  std::unordered_map<uintptr_t, std::shared_ptr<KernelObject>> objects;
  uintptr_t next = 0x1000;
};

HandleTable& Handles() {
  static HandleTable table;
  return table;
}

thread_local DWORD lastError = ERROR_SUCCESS;

}  // namespace

void WaitableObject::SetSignaled(bool signaled) {
  {
    std::lock_guard<std::mutex> guard(KernelLock());
    signaled_ = signaled;
  }
  KernelChanged().notify_all();
}

bool WaitableObject::Signaled() const {
  std::lock_guard<std::mutex> guard(KernelLock());
  return IsSignaledLocked();
}

void WaitableObject::NotifyStateChanged() {
  // Taking the lock orders this change after any waiter's check, so no wake-up is lost.
  { std::lock_guard<std::mutex> guard(KernelLock()); }
  KernelChanged().notify_all();
}

EventObject::EventObject(bool manualReset, bool initialState) : manualReset_(manualReset) {
  signaled_ = initialState;
}

void EventObject::OnWaitSatisfiedLocked() {
  if (!manualReset_) signaled_ = false;
}

HANDLE InsertHandle(std::shared_ptr<KernelObject> object) {
  if (!object) return nullptr;
  HandleTable& table = Handles();
  std::lock_guard<std::mutex> guard(table.lock);
  uintptr_t value = table.next;
  table.next += 4;
  table.objects.emplace(value, std::move(object));
  return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<KernelObject> ReferenceHandle(HANDLE handle) {
  HandleTable& table = Handles();
  {
    std::lock_guard<std::mutex> guard(table.lock);
    auto it = table.objects.find(reinterpret_cast<uintptr_t>(handle));
    if (it != table.objects.end()) return it->second;
  }
  SetLastError(ERROR_INVALID_HANDLE);
  return nullptr;
}

DWORD WaitForObjects(std::span<WaitableObject* const> objects, bool waitAll, DWORD milliseconds) {
  if (objects.empty() || objects.size() > MAXIMUM_WAIT_OBJECTS) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return WAIT_FAILED;
  }
  for (size_t i = 0; i < objects.size(); ++i) {
    if (objects[i] == nullptr) {
      SetLastError(ERROR_INVALID_HANDLE);
      return WAIT_FAILED;
    }
    // Waiting for all of a list that names one object twice is refused, as the original API does.
    if (waitAll) {
      for (size_t j = 0; j < i; ++j) {
        if (objects[j] == objects[i]) {
          SetLastError(ERROR_INVALID_PARAMETER);
          return WAIT_FAILED;
        }
      }
    }
  }

  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
  std::unique_lock<std::mutex> lock(KernelLock());
  for (;;) {
    if (waitAll) {
      bool all = true;
      for (WaitableObject* object : objects) {
        if (!object->IsSignaledLocked()) {
          all = false;
          break;
        }
      }
      if (all) {
        for (WaitableObject* object : objects) object->OnWaitSatisfiedLocked();
        return WAIT_OBJECT_0;
      }
    } else {
      for (size_t i = 0; i < objects.size(); ++i) {
        if (objects[i]->IsSignaledLocked()) {
          objects[i]->OnWaitSatisfiedLocked();
          return WAIT_OBJECT_0 + static_cast<DWORD>(i);
        }
      }
    }
    if (milliseconds == 0) return WAIT_TIMEOUT;
    if (milliseconds == INFINITE) {
      KernelChanged().wait(lock);
    } else if (Clock::now() >= deadline) {
      return WAIT_TIMEOUT;
    } else {
      KernelChanged().wait_until(lock, deadline);
    }
  }
}

// The lock behind a critical section.
class CriticalSectionLock {
 public:
  std::recursive_mutex mutex;
};

}  // namespace k58::kernel

using namespace k58::kernel;

HANDLE CreateEvent(LPSECURITY_ATTRIBUTES, BOOL bManualReset, BOOL bInitialState, LPCSTR) {
  return InsertHandle(std::make_shared<EventObject>(bManualReset != FALSE, bInitialState != FALSE));
}

BOOL SetEvent(HANDLE hEvent) {
  auto event = ReferenceHandleAs<EventObject>(hEvent);
  if (!event) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  event->SetSignaled(true);
  return TRUE;
}

BOOL ResetEvent(HANDLE hEvent) {
  auto event = ReferenceHandleAs<EventObject>(hEvent);
  if (!event) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  event->SetSignaled(false);
  return TRUE;
}

DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
  return WaitForMultipleObjects(1, &hHandle, FALSE, dwMilliseconds);
}

DWORD WaitForMultipleObjects(DWORD nCount, const HANDLE* lpHandles, BOOL bWaitAll, DWORD dwMilliseconds) {
  if (nCount == 0 || nCount > MAXIMUM_WAIT_OBJECTS || lpHandles == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return WAIT_FAILED;
  }
  // The references keep the objects alive for the whole wait, even if another thread closes a handle.
  std::vector<std::shared_ptr<WaitableObject>> held;
  std::vector<WaitableObject*> objects;
  held.reserve(nCount);
  objects.reserve(nCount);
  for (DWORD i = 0; i < nCount; ++i) {
    auto object = ReferenceHandleAs<WaitableObject>(lpHandles[i]);
    if (!object) {
      SetLastError(ERROR_INVALID_HANDLE);
      return WAIT_FAILED;
    }
    objects.push_back(object.get());
    held.push_back(std::move(object));
  }
  return WaitForObjects(objects, bWaitAll != FALSE, dwMilliseconds);
}

BOOL CloseHandle(HANDLE hObject) {
  std::shared_ptr<KernelObject> object;
  {
    auto& table = Handles();
    std::lock_guard<std::mutex> guard(table.lock);
    auto it = table.objects.find(reinterpret_cast<uintptr_t>(hObject));
    if (it != table.objects.end()) {
      object = std::move(it->second);
      table.objects.erase(it);
    }
  }
  if (!object) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  object->OnClose();
  return TRUE;
}

DWORD GetLastError() { return lastError; }

void SetLastError(DWORD dwErrCode) { lastError = dwErrCode; }

DWORD GetCurrentThreadId() {
  thread_local const DWORD id = static_cast<DWORD>(::syscall(SYS_gettid));
  return id;
}

DWORD GetCurrentProcessId() { return static_cast<DWORD>(::getpid()); }

LONG InterlockedIncrement(LONG volatile* Addend) {
  return __atomic_add_fetch(Addend, 1, __ATOMIC_SEQ_CST);
}

LONG InterlockedDecrement(LONG volatile* Addend) {
  return __atomic_sub_fetch(Addend, 1, __ATOMIC_SEQ_CST);
}

LONG InterlockedExchange(LONG volatile* Target, LONG Value) {
  return __atomic_exchange_n(Target, Value, __ATOMIC_SEQ_CST);
}

LONG InterlockedExchangeAdd(LONG volatile* Addend, LONG Value) {
  return __atomic_fetch_add(Addend, Value, __ATOMIC_SEQ_CST);
}

LONG InterlockedCompareExchange(LONG volatile* Destination, LONG Exchange, LONG Comperand) {
  LONG expected = Comperand;
  __atomic_compare_exchange_n(Destination, &expected, Exchange, false, __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST);
  return expected;
}

void InitializeCriticalSection(LPCRITICAL_SECTION cs) {
  cs->Lock = new CriticalSectionLock();
  cs->OwningThread = 0;
  cs->RecursionCount = 0;
}

BOOL InitializeCriticalSectionAndSpinCount(LPCRITICAL_SECTION cs, DWORD) {
  InitializeCriticalSection(cs);
  return TRUE;
}

void DeleteCriticalSection(LPCRITICAL_SECTION cs) {
  delete cs->Lock;
  cs->Lock = nullptr;
  cs->OwningThread = 0;
  cs->RecursionCount = 0;
}

void EnterCriticalSection(LPCRITICAL_SECTION cs) {
  cs->Lock->mutex.lock();
  cs->OwningThread = GetCurrentThreadId();
  ++cs->RecursionCount;
}

BOOL TryEnterCriticalSection(LPCRITICAL_SECTION cs) {
  if (!cs->Lock->mutex.try_lock()) return FALSE;
  cs->OwningThread = GetCurrentThreadId();
  ++cs->RecursionCount;
  return TRUE;
}

void LeaveCriticalSection(LPCRITICAL_SECTION cs) {
  if (--cs->RecursionCount == 0) cs->OwningThread = 0;
  cs->Lock->mutex.unlock();
}
