#include "serial/SioWin32.h"

#include <cstring>

#include "platform/classes/ClassBuilder.h"
#include "platform/win/core/WinBase.h"
#include "serial/SioExcept.h"

K58_IMPLEMENT_CLASS(TSioWin32Dispatcher) {}
K58_IMPLEMENT_CLASS(TSioTAPI32Dispatcher) {}

TSioWin32Dispatcher::TSioWin32Dispatcher(TSioCustomComPort* Owner) : TSioBaseDispatcher(Owner) {}

TSioWin32Dispatcher::~TSioWin32Dispatcher() {
  // Close while the device operations still exist.
  if (closeDuringNotify_)
    ReleasePort();
  else
    CloseLine();
  WaitThreadsEnded(true);
  CloseDeviceEvents();
}

bool TSioWin32Dispatcher::CreateDeviceEvents() {
  readEvent_ = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  secondEvent_ = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  if (readEvent_.load() != nullptr && secondEvent_.load() != nullptr) return true;
  CloseDeviceEvents();
  return false;
}

void TSioWin32Dispatcher::CloseDeviceEvents() {
  if (HANDLE e = readEvent_.exchange(nullptr)) CloseHandle(e);
  if (HANDLE e = secondEvent_.exchange(nullptr)) CloseHandle(e);
}

Integer TSioWin32Dispatcher::EscapeFunction(DWORD Function) {
  EscapeCommFunction(device_, Function);
  return 0;
}

Integer TSioWin32Dispatcher::PurgeDevice(bool Input) {
  BOOL ok;
  if (Input) {
    ok = PurgeComm(device_, PURGE_RXABORT | PURGE_RXCLEAR);
  } else {
    if (outThreadRef_ && !(outThread_ && outThread_->IsCurrent())) {
      // The writer abandons a pending write and acknowledges.
      SetEvent(flushRequest_);
      WaitForSingleObject(threadAck_, 5000);
    }
    {
      Guard out(outLock_);
      outFull_ = false;
      outInsert_ = outRemove_ = 0;
    }
    ok = PurgeComm(device_, PURGE_TXABORT | PURGE_TXCLEAR);
  }
  return ok ? 0 : -static_cast<Integer>(GetLastError());
}

Integer TSioWin32Dispatcher::ReadDeviceStatus(COMSTAT& Stat) {
  DWORD errors = 0;
  COMSTAT stat;
  const Integer result = ClearCommError(device_, &errors, &stat) ? static_cast<Integer>(errors) : 0;
  Guard out(outLock_);
  // The output count is the ring's: bytes whose write has not completed.
  stat.cbOutQue = OutCountLocked();
  Stat = stat;
  return result;
}

Integer TSioWin32Dispatcher::ReadFailed(Integer) { return 0; }

Integer TSioWin32Dispatcher::ReadLineBlock(DCB& Block) { return GetCommState(device_, &Block) ? 0 : -1; }

Integer TSioWin32Dispatcher::ReadDevice(void* Buf, Cardinal Count) {
  DWORD n = 0;
  OVERLAPPED ov;
  ov.hEvent = readEvent_.load();
  if (!ReadFile(device_, Buf, Count, &n, &ov)) {
    if (GetLastError() != ERROR_IO_PENDING) return 0;  // a failed read reports nothing read
    if (!GetOverlappedResult(device_, &ov, &n, TRUE)) return 0;
    ResetEvent(ov.hEvent);
  }
  return static_cast<Integer>(n);
}

Integer TSioWin32Dispatcher::WriteLineBlock(DCB& Block) {
  return SetCommState(device_, &Block) ? 0 : -static_cast<Integer>(GetLastError());
}

Integer TSioWin32Dispatcher::PutToRing(const void* Buf, Cardinal Len) {
  {
    Guard out(outLock_);
    const Byte* src = static_cast<const Byte*>(Buf);
    Byte* ring = outRing_.data();
    const Cardinal n = outRingSize_ - outInsert_;
    if (Len > n) {
      std::memcpy(ring + outInsert_, src, n);
      std::memcpy(ring, src + n, Len - n);
      outInsert_ = Len - n;
    } else {
      std::memcpy(ring + outInsert_, src, Len);
      outInsert_ = Len == n ? 0 : outInsert_ + Len;
    }
  }
  SetEvent(outputReady_);
  return static_cast<Integer>(Len);
}

bool TSioWin32Dispatcher::WaitDeviceEvent(DWORD& Mask, OVERLAPPED& Ov) {
  return WaitCommEvent(device_, &Mask, &Ov) != FALSE;
}

bool TSioWin32Dispatcher::SetupDeviceQueues(Cardinal InSize, Cardinal OutSize) {
  return SetupComm(device_, InSize, OutSize) != FALSE;
}

intptr_t TSioWin32Dispatcher::OpenDevice(const char* Name, Cardinal, Cardinal) {
  HANDLE h = CreateFileA(Name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                         FILE_FLAG_OVERLAPPED | FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return -1;
  device_ = h;
  if (CreateDeviceEvents()) return reinterpret_cast<intptr_t>(h);
  CloseHandle(h);
  device_ = INVALID_HANDLE_VALUE;
  return -8;
}

Integer TSioWin32Dispatcher::CloseDevice() {
  CloseDeviceEvents();
  if (threadsRunning_) {
    stopFlag_ = true;
    SetCommMask(device_, 0);  // a pending event wait returns
    SetEvent(dispatchDone_);
    ResetEvent(threadAck_);
  }
  if (!CloseHandle(device_)) return -1;
  device_ = INVALID_HANDLE_VALUE;
  return 0;
}

Integer TSioWin32Dispatcher::Idle() {
  Sleep(0);
  return 0;
}

TSioTAPI32Dispatcher::TSioTAPI32Dispatcher(TSioCustomComPort* Owner, HANDLE DeviceHandle)
    : TSioWin32Dispatcher(Owner) {
  device_ = DeviceHandle;
}

intptr_t TSioTAPI32Dispatcher::OpenDevice(const char*, Cardinal, Cardinal) {
  if (!CreateDeviceEvents()) {
    CloseDevice();
    return -1;
  }
  if (device_ != nullptr && device_ != INVALID_HANDLE_VALUE) return reinterpret_cast<intptr_t>(device_.load());
  SetLastError(-ecCommNotOpen);
  return ecCommNotOpen;
}
