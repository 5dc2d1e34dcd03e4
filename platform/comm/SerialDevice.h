// One open serial device: the Linux side of a comm handle.
//
// The device keeps the node open exclusively in raw mode and emulates what the communications API expects of
// a driver: a device control block over termios with the fields termios cannot hold kept in a shadow, comm
// events synthesised from the input queue, the modem lines and the line-error counters, read-and-clear line
// errors, and overlapped writes and event waits completed by a service thread. Every member is safe to call
// from any thread.
#pragma once

#include <termios.h>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/comm/CommApi.h"

namespace k58::comm {

// How a completed overlapped operation reaches its event; installed by the handle layer.
struct EventHooks {
  void (*set)(HANDLE event) = nullptr;
  void (*reset)(HANDLE event) = nullptr;
};
void SetEventHooks(const EventHooks& hooks);

// errno of a failed open/tcgetattr/lock to the Win32 number the port layer expects.
DWORD OpenErrorFromErrno(int error);

// The device control block's line settings in termios and back (raw mode always). DcbToTermios refuses
// (false) a rate, byte size, parity or stop-bit setting the API does not allow; TermiosToDcb fills the fields
// termios holds and keeps the others of `dcb`.
bool DcbToTermios(const DCB& dcb, termios& t);
void TermiosToDcb(const termios& t, DCB& dcb);

class SerialDevice {
public:
  // Opens `path` exclusively in raw mode; on failure returns null and sets `error` (Win32 number).
  static std::shared_ptr<SerialDevice> Open(const String& path, DWORD& error);
  ~SerialDevice();
  SerialDevice(const SerialDevice&) = delete;
  SerialDevice& operator=(const SerialDevice&) = delete;

  const String& Path() const { return path_; }

  // Aborts pending operations, ends the service thread and closes the node (releasing the lock).
  void Close();

  // Each returns 0 or a Win32 error number; ERROR_IO_PENDING means the operation continues in the background.
  DWORD Read(void* buffer, DWORD count, DWORD& got, OVERLAPPED* ov);
  DWORD Write(const void* buffer, DWORD count, DWORD& written, OVERLAPPED* ov);
  DWORD WaitEvent(DWORD* mask, OVERLAPPED* ov);
  DWORD Result(OVERLAPPED* ov, bool wait, DWORD& transferred);
  DWORD SetMask(DWORD mask);
  DWORD GetMask(DWORD& mask);
  DWORD GetState(DCB& dcb);
  DWORD SetState(const DCB& dcb);
  DWORD GetTimeouts(COMMTIMEOUTS& t);
  DWORD SetTimeouts(const COMMTIMEOUTS& t);
  DWORD Setup(DWORD inQueue, DWORD outQueue);
  DWORD ClearError(DWORD* errors, COMSTAT* stat);
  DWORD Purge(DWORD flags);
  DWORD Escape(DWORD function);
  DWORD ModemStatus(DWORD& status);

private:
  struct WriteOp {
    OVERLAPPED* ov = nullptr;
    std::vector<uint8_t> data;
    size_t done = 0;
  };

  SerialDevice() = default;

  void StartService();  // under mutex_
  void Service();
  void Wake();
  // Samples the input queue, modem lines, error counters and hang-up; adds events to the history.
  void Sample();
  void CompleteWait(std::unique_lock<std::mutex>& lock, DWORD events, DWORD error);
  void CompleteWrite(std::unique_lock<std::mutex>& lock, DWORD error);
  void Signal(std::unique_lock<std::mutex>& lock, OVERLAPPED* ov);
  void Begin(OVERLAPPED* ov);
  DWORD ReadBlocking(void* buffer, DWORD count, DWORD& got, std::unique_lock<std::mutex>& lock);
  int OutQueue() const;  // bytes the driver still holds for sending
  void SetModemLine(int line, bool on);

  String path_;
  int fd_ = -1;
  int serviceWake_ = -1;  // eventfd: something for the service thread to look at
  int closing_ = -1;      // eventfd: set once at close, wakes every blocking call

  mutable std::mutex mutex_;
  std::condition_variable done_;
  std::thread service_;
  bool closed_ = false;
  int inFlight_ = 0;  // blocking calls using fd_ outside the lock
  OVERLAPPED* signalling_ = nullptr;

  DWORD mask_ = 0;
  DWORD history_ = 0;  // events seen and not yet reported
  DWORD errors_ = 0;   // CE_ bits not yet taken by ClearCommError
  bool hungUp_ = false;
  int rxBaseline_ = 0;  // input queue length last reported
  bool modemOk_ = false;
  int modem_ = 0;
  bool icountOk_ = false;
  int icount_[5] = {};  // frame, parity, overrun, buffer overrun, break

  OVERLAPPED* waitOv_ = nullptr;
  DWORD* waitMask_ = nullptr;
  std::deque<WriteOp> writes_;

  DCB shadow_;
  COMMTIMEOUTS timeouts_;
  DWORD inQueue_ = 0, outQueue_ = 0;
};

}  // namespace k58::comm
