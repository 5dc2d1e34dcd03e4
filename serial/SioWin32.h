// The dispatcher every port of this system uses: the device operations on the communications API.
#pragma once

#include "serial/SioUser.h"

class TSioWin32Dispatcher : public TSioBaseDispatcher {
  K58_CLASS(TSioWin32Dispatcher, TSioBaseDispatcher)

  explicit TSioWin32Dispatcher(TSioCustomComPort* Owner);
  ~TSioWin32Dispatcher() override;

  Integer EscapeFunction(DWORD Function) override;
  Integer PurgeDevice(bool Input) override;
  Integer ReadDeviceStatus(COMSTAT& Stat) override;
  Integer ReadFailed(Integer Code) override;
  Integer ReadLineBlock(DCB& Block) override;
  Integer ReadDevice(void* Buf, Cardinal Count) override;
  Integer WriteLineBlock(DCB& Block) override;
  Integer PutToRing(const void* Buf, Cardinal Len) override;
  bool WaitDeviceEvent(DWORD& Mask, OVERLAPPED& Ov) override;
  bool SetupDeviceQueues(Cardinal InSize, Cardinal OutSize) override;
  intptr_t OpenDevice(const char* Name, Cardinal InSize, Cardinal OutSize) override;
  Integer CloseDevice() override;
  Integer Idle() override;

protected:
  // Creates the read event and the second event; false (nothing left open) when one cannot be made.
  bool CreateDeviceEvents();
  void CloseDeviceEvents();

  std::atomic<HANDLE> readEvent_{nullptr};    // event of device reads, manual-reset
  std::atomic<HANDLE> secondEvent_{nullptr};  // made and closed with the device, used by nothing else
};

// A dispatcher on a device handle opened elsewhere.
class TSioTAPI32Dispatcher : public TSioWin32Dispatcher {
  K58_CLASS(TSioTAPI32Dispatcher, TSioWin32Dispatcher)

  TSioTAPI32Dispatcher(TSioCustomComPort* Owner, HANDLE DeviceHandle);
  intptr_t OpenDevice(const char* Name, Cardinal InSize, Cardinal OutSize) override;
};
