// Synchronisation objects as classes: events and critical sections over the kernel objects of Kernel.h.
#pragma once

#include "platform/classes/Kernel.h"
#include "platform/classes/Object.h"

enum TWaitResult { wrSignaled, wrTimeout, wrAbandoned, wrError };

class TSynchroObject : public TObject {
  K58_CLASS(TSynchroObject, TObject)

  virtual void Acquire() {}
  virtual void Release() {}
};

// An object with a kernel handle, closed with the object.
class THandleObject : public TSynchroObject {
  K58_CLASS(THandleObject, TSynchroObject)

  ~THandleObject() override;
  HANDLE Handle() const { return handle_; }
  // The last error of the last wait that failed.
  Integer LastError() const { return lastError_; }

 protected:
  THandleObject() = default;
  HANDLE handle_ = nullptr;
  Integer lastError_ = 0;
};

class TEvent : public THandleObject {
  K58_CLASS(TEvent, THandleObject)

  // A manual-reset event, initially not signaled.
  TEvent();
  // The name is accepted for the class library's shape; events are not shared by name.
  TEvent(LPSECURITY_ATTRIBUTES EventAttributes, bool ManualReset, bool InitialState, const String& Name);

  // Timeout in milliseconds (INFINITE: no limit).
  TWaitResult WaitFor(DWORD Timeout);
  void SetEvent();
  void ResetEvent();
};

// A manual-reset event, initially not signaled.
class TSimpleEvent : public TEvent {
  K58_CLASS(TSimpleEvent, TEvent)

  TSimpleEvent() = default;
};

// A re-entrant lock.
class TCriticalSection : public TSynchroObject {
  K58_CLASS(TCriticalSection, TSynchroObject)

  TCriticalSection();
  ~TCriticalSection() override;

  void Acquire() override;
  void Release() override;
  bool TryEnter();
  void Enter() { Acquire(); }
  void Leave() { Release(); }

 private:
  CRITICAL_SECTION section_;
};
