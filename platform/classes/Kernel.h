// Kernel objects with the Win32 API's shape: a process-wide handle table, events, waits on one or several
// objects, critical sections, interlocked counters, the per-thread last-error value and thread ids.
//
// Other layers add their own handle kinds through the extension point in namespace k58::kernel: derive
// from KernelObject (CloseHandle reaches OnClose) or from WaitableObject (WaitForSingleObject and
// WaitForMultipleObjects can wait on it), and put the object in the table with InsertHandle.
#pragma once

#include <memory>
#include <span>

#include "platform/rtl/WinTypes.h"

// Win32 error codes (GetLastError) used by the kernel, file and communications layers.
inline constexpr DWORD ERROR_SUCCESS = 0;
inline constexpr DWORD NO_ERROR = 0;
inline constexpr DWORD ERROR_INVALID_FUNCTION = 1;
inline constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
inline constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
inline constexpr DWORD ERROR_TOO_MANY_OPEN_FILES = 4;
inline constexpr DWORD ERROR_ACCESS_DENIED = 5;
inline constexpr DWORD ERROR_INVALID_HANDLE = 6;
inline constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr DWORD ERROR_INVALID_DATA = 13;
inline constexpr DWORD ERROR_OUTOFMEMORY = 14;
inline constexpr DWORD ERROR_NOT_READY = 21;
inline constexpr DWORD ERROR_BAD_COMMAND = 22;
inline constexpr DWORD ERROR_GEN_FAILURE = 31;
inline constexpr DWORD ERROR_SHARING_VIOLATION = 32;
inline constexpr DWORD ERROR_LOCK_VIOLATION = 33;
inline constexpr DWORD ERROR_HANDLE_EOF = 38;
inline constexpr DWORD ERROR_NOT_SUPPORTED = 50;
inline constexpr DWORD ERROR_FILE_EXISTS = 80;
inline constexpr DWORD ERROR_INVALID_PARAMETER = 87;
inline constexpr DWORD ERROR_BROKEN_PIPE = 109;
inline constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
inline constexpr DWORD ERROR_INVALID_NAME = 123;
inline constexpr DWORD ERROR_ALREADY_EXISTS = 183;
inline constexpr DWORD ERROR_MORE_DATA = 234;
inline constexpr DWORD ERROR_OPERATION_ABORTED = 995;
inline constexpr DWORD ERROR_IO_INCOMPLETE = 996;
inline constexpr DWORD ERROR_IO_PENDING = 997;
inline constexpr DWORD ERROR_NOACCESS = 998;
inline constexpr DWORD ERROR_DEVICE_NOT_CONNECTED = 1167;
inline constexpr DWORD ERROR_NOT_FOUND = 1168;
inline constexpr DWORD ERROR_TIMEOUT = 1460;

// Results of the wait functions.
inline constexpr DWORD WAIT_OBJECT_0 = 0;
inline constexpr DWORD WAIT_ABANDONED_0 = 0x80;
inline constexpr DWORD WAIT_IO_COMPLETION = 0xC0;
inline constexpr DWORD WAIT_TIMEOUT = 258;
inline constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;
inline constexpr DWORD MAXIMUM_WAIT_OBJECTS = 64;

struct SECURITY_ATTRIBUTES {
  DWORD nLength = sizeof(SECURITY_ATTRIBUTES);
  LPVOID lpSecurityDescriptor = nullptr;
  BOOL bInheritHandle = FALSE;
};
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;

// Events. The name is accepted for the API's shape; named events are not shared between calls.
HANDLE CreateEvent(LPSECURITY_ATTRIBUTES lpEventAttributes, BOOL bManualReset, BOOL bInitialState,
                   LPCSTR lpName);
inline HANDLE CreateEventA(LPSECURITY_ATTRIBUTES a, BOOL manualReset, BOOL initialState, LPCSTR name) {
  return CreateEvent(a, manualReset, initialState, name);
}
BOOL SetEvent(HANDLE hEvent);
BOOL ResetEvent(HANDLE hEvent);

// Waits. Timeouts are in milliseconds of real time; INFINITE waits without a limit.
DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds);
DWORD WaitForMultipleObjects(DWORD nCount, const HANDLE* lpHandles, BOOL bWaitAll, DWORD dwMilliseconds);

// Removes the handle from the table; the object goes when its last user lets go of it.
BOOL CloseHandle(HANDLE hObject);

// Last error of the calling thread.
DWORD GetLastError();
void SetLastError(DWORD dwErrCode);

// Operating-system id of the calling thread, and of the process.
DWORD GetCurrentThreadId();
DWORD GetCurrentProcessId();

// Interlocked operations on 32-bit values shared between threads.
LONG InterlockedIncrement(LONG volatile* Addend);
LONG InterlockedDecrement(LONG volatile* Addend);
LONG InterlockedExchange(LONG volatile* Target, LONG Value);
LONG InterlockedExchangeAdd(LONG volatile* Addend, LONG Value);
LONG InterlockedCompareExchange(LONG volatile* Destination, LONG Exchange, LONG Comperand);

// Critical sections: re-entrant locks, held per thread.
namespace k58::kernel {
class CriticalSectionLock;
}
struct CRITICAL_SECTION {
  k58::kernel::CriticalSectionLock* Lock = nullptr;
  DWORD OwningThread = 0;
  LONG RecursionCount = 0;
};
using LPCRITICAL_SECTION = CRITICAL_SECTION*;
using TRTLCriticalSection = CRITICAL_SECTION;

void InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
BOOL InitializeCriticalSectionAndSpinCount(LPCRITICAL_SECTION lpCriticalSection, DWORD dwSpinCount);
void DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
void EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
BOOL TryEnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
void LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection);

namespace k58::kernel {

// Anything a HANDLE can stand for. CloseHandle removes the handle and calls OnClose once.
class KernelObject {
 public:
  KernelObject() = default;
  KernelObject(const KernelObject&) = delete;
  KernelObject& operator=(const KernelObject&) = delete;
  virtual ~KernelObject() = default;

  // Called by CloseHandle after the handle left the table. Waits already running keep the object alive.
  virtual void OnClose() {}
};

// A kernel object that can be waited on. All waitable state lives under one process-wide kernel lock;
// every change wakes the waiters, which check their objects again.
class WaitableObject : public KernelObject {
 public:
  // Sets the stored signal state and wakes waiters. Takes the kernel lock.
  void SetSignaled(bool signaled);
  bool Signaled() const;

  // For objects whose IsSignaledLocked reads state of their own: call after that state changed, without
  // holding any lock that IsSignaledLocked takes, so that waiters look again.
  static void NotifyStateChanged();

 protected:
  friend DWORD WaitForObjects(std::span<WaitableObject* const> objects, bool waitAll, DWORD milliseconds);

  // Called with the kernel lock held. The default reads the stored state.
  virtual bool IsSignaledLocked() const { return signaled_; }
  // Called with the kernel lock held when a wait was satisfied by this object (auto-reset events clear
  // themselves here).
  virtual void OnWaitSatisfiedLocked() {}

  bool signaled_ = false;
};

// Puts an object in the handle table. Handles are never reused, so a stale handle stays invalid.
HANDLE InsertHandle(std::shared_ptr<KernelObject> object);

// The object behind a handle, or null (and ERROR_INVALID_HANDLE as last error) when the handle is unknown.
std::shared_ptr<KernelObject> ReferenceHandle(HANDLE handle);

template <class T>
std::shared_ptr<T> ReferenceHandleAs(HANDLE handle) {
  return std::dynamic_pointer_cast<T>(ReferenceHandle(handle));
}

// The wait behind WaitForMultipleObjects, on objects rather than handles, so that a layer can add an
// object of its own (the window layer adds the thread's message queue). Returns WAIT_OBJECT_0 + index,
// WAIT_TIMEOUT or WAIT_FAILED.
DWORD WaitForObjects(std::span<WaitableObject* const> objects, bool waitAll, DWORD milliseconds);

// The event object behind CreateEvent, for layers that want one without a handle.
class EventObject : public WaitableObject {
 public:
  EventObject(bool manualReset, bool initialState);
  bool ManualReset() const { return manualReset_; }

 protected:
  void OnWaitSatisfiedLocked() override;

 private:
  bool manualReset_;
};

}  // namespace k58::kernel
