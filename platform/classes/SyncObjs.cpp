#include "platform/classes/SyncObjs.h"

#include "platform/classes/ClassBuilder.h"

K58_IMPLEMENT_CLASS(TSynchroObject) {}
K58_IMPLEMENT_CLASS(THandleObject) {}
K58_IMPLEMENT_CLASS(TEvent) {}
K58_IMPLEMENT_CLASS(TSimpleEvent) {}
K58_IMPLEMENT_CLASS(TCriticalSection) {}

THandleObject::~THandleObject() {
  if (handle_ != nullptr) CloseHandle(handle_);
}

TEvent::TEvent() : TEvent(nullptr, true, false, String()) {}

TEvent::TEvent(LPSECURITY_ATTRIBUTES EventAttributes, bool ManualReset, bool InitialState, const String& Name) {
  handle_ = CreateEvent(EventAttributes, ManualReset ? TRUE : FALSE, InitialState ? TRUE : FALSE,
                        Name.empty() ? nullptr : Name.c_str());
}

TWaitResult TEvent::WaitFor(DWORD Timeout) {
  switch (WaitForSingleObject(handle_, Timeout)) {
    case WAIT_OBJECT_0:
      return wrSignaled;
    case WAIT_TIMEOUT:
      return wrTimeout;
    case WAIT_ABANDONED_0:
      return wrAbandoned;
    default:
      lastError_ = static_cast<Integer>(GetLastError());
      return wrError;
  }
}

void TEvent::SetEvent() { ::SetEvent(handle_); }

void TEvent::ResetEvent() { ::ResetEvent(handle_); }

TCriticalSection::TCriticalSection() { InitializeCriticalSection(&section_); }

TCriticalSection::~TCriticalSection() { DeleteCriticalSection(&section_); }

void TCriticalSection::Acquire() { EnterCriticalSection(&section_); }

void TCriticalSection::Release() { LeaveCriticalSection(&section_); }

bool TCriticalSection::TryEnter() { return TryEnterCriticalSection(&section_) != FALSE; }
