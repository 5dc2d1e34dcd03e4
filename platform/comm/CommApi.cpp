// Comm handles in the kernel's handle table, and the API calls on them.
#include "platform/comm/CommApi.h"

#include "platform/comm/ComPorts.h"
#include "platform/comm/SerialDevice.h"

namespace {

using k58::comm::SerialDevice;

class CommHandle : public k58::kernel::KernelObject {
public:
  CommHandle(std::shared_ptr<SerialDevice> device, bool overlapped)
      : device_(std::move(device)), overlapped_(overlapped) {}
  void OnClose() override { device_->Close(); }
  SerialDevice& Device() const { return *device_; }
  bool Overlapped() const { return overlapped_; }

private:
  std::shared_ptr<SerialDevice> device_;
  bool overlapped_;
};

void InstallHooks() {
  static const bool installed = [] {
    k58::comm::EventHooks hooks;
    hooks.set = [](HANDLE e) { SetEvent(e); };
    hooks.reset = [](HANDLE e) { ResetEvent(e); };
    k58::comm::SetEventHooks(hooks);
    return true;
  }();
  (void)installed;
}

// The comm object behind a handle; keeps it alive for the length of a call.
std::shared_ptr<CommHandle> Lookup(HANDLE h) {
  auto object = k58::kernel::ReferenceHandleAs<CommHandle>(h);
  if (!object) SetLastError(ERROR_INVALID_HANDLE);
  return object;
}

BOOL Done(DWORD error) {
  SetLastError(error);
  return error == ERROR_SUCCESS ? TRUE : FALSE;
}

// On a handle opened without FILE_FLAG_OVERLAPPED an operation given an OVERLAPPED still completes before
// the call returns.
DWORD Finish(const CommHandle& h, DWORD error, OVERLAPPED* ov, DWORD* transferred) {
  if (error != ERROR_IO_PENDING || h.Overlapped() || ov == nullptr) return error;
  DWORD n = 0;
  error = h.Device().Result(ov, true, n);
  if (transferred != nullptr) *transferred = n;
  return error;
}

bool StartsWithCom(const String& name) {
  size_t at = name.compare(0, 4, "\\\\.\\") == 0 ? 4 : 0;
  if (name.size() < at + 3) return false;
  for (int i = 0; i < 3; ++i)
    if ((name[at + i] & ~0x20) != "COM"[i]) return false;
  return true;
}

}  // namespace

HANDLE CreateFileA(LPCSTR name, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES security, DWORD disposition,
                   DWORD flags, HANDLE templateFile) {
  (void)access;
  (void)shareMode;  // comm devices are always opened exclusively
  (void)security;
  (void)templateFile;
  InstallHooks();
  const String text = name != nullptr ? name : "";
  const int n = ComPortNumber(text);
  if (n == 0) {
    SetLastError(StartsWithCom(text) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  if (disposition != OPEN_EXISTING) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  const String path = ComPortDevicePath(n);
  if (path.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  DWORD error = ERROR_SUCCESS;
  auto device = SerialDevice::Open(path, error);
  if (!device) {
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
  }
  HANDLE h = k58::kernel::InsertHandle(std::make_shared<CommHandle>(device, (flags & FILE_FLAG_OVERLAPPED) != 0));
  SetLastError(ERROR_SUCCESS);
  return h;
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read, LPOVERLAPPED overlapped) {
  auto h = Lookup(file);
  if (read != nullptr) *read = 0;
  if (!h) return FALSE;
  DWORD got = 0;
  const DWORD error = h->Device().Read(buffer, toRead, got, overlapped);
  if (read != nullptr) *read = got;
  return Done(error);
}

BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD toWrite, LPDWORD written, LPOVERLAPPED overlapped) {
  auto h = Lookup(file);
  if (written != nullptr) *written = 0;
  if (!h) return FALSE;
  DWORD n = 0;
  DWORD error = h->Device().Write(buffer, toWrite, n, overlapped);
  error = Finish(*h, error, overlapped, &n);
  if (written != nullptr) *written = n;
  return Done(error);
}

BOOL GetOverlappedResult(HANDLE file, LPOVERLAPPED overlapped, LPDWORD transferred, BOOL wait) {
  if (transferred != nullptr) *transferred = 0;
  if (overlapped == nullptr) return Done(ERROR_INVALID_PARAMETER);
  auto h = k58::kernel::ReferenceHandleAs<CommHandle>(file);
  DWORD n = 0;
  DWORD error;
  if (h) {
    error = h->Device().Result(overlapped, wait != FALSE, n);
  } else if (overlapped->Internal != STATUS_PENDING) {
    // Closing the handle completed everything that was pending on it.
    n = static_cast<DWORD>(overlapped->InternalHigh);
    error = static_cast<DWORD>(overlapped->Internal);
  } else {
    error = ERROR_INVALID_HANDLE;
  }
  if (transferred != nullptr) *transferred = n;
  return Done(error);
}

BOOL SetupComm(HANDLE file, DWORD inQueue, DWORD outQueue) {
  auto h = Lookup(file);
  return h ? Done(h->Device().Setup(inQueue, outQueue)) : FALSE;
}

BOOL GetCommState(HANDLE file, LPDCB dcb) {
  auto h = Lookup(file);
  if (!h) return FALSE;
  if (dcb == nullptr) return Done(ERROR_INVALID_PARAMETER);
  return Done(h->Device().GetState(*dcb));
}

BOOL SetCommState(HANDLE file, LPDCB dcb) {
  auto h = Lookup(file);
  if (!h) return FALSE;
  if (dcb == nullptr) return Done(ERROR_INVALID_PARAMETER);
  return Done(h->Device().SetState(*dcb));
}

BOOL GetCommTimeouts(HANDLE file, LPCOMMTIMEOUTS timeouts) {
  auto h = Lookup(file);
  if (!h) return FALSE;
  if (timeouts == nullptr) return Done(ERROR_INVALID_PARAMETER);
  return Done(h->Device().GetTimeouts(*timeouts));
}

BOOL SetCommTimeouts(HANDLE file, LPCOMMTIMEOUTS timeouts) {
  auto h = Lookup(file);
  if (!h) return FALSE;
  if (timeouts == nullptr) return Done(ERROR_INVALID_PARAMETER);
  return Done(h->Device().SetTimeouts(*timeouts));
}

BOOL GetCommMask(HANDLE file, LPDWORD mask) {
  auto h = Lookup(file);
  if (!h) return FALSE;
  if (mask == nullptr) return Done(ERROR_INVALID_PARAMETER);
  return Done(h->Device().GetMask(*mask));
}

BOOL SetCommMask(HANDLE file, DWORD mask) {
  auto h = Lookup(file);
  return h ? Done(h->Device().SetMask(mask)) : FALSE;
}

BOOL WaitCommEvent(HANDLE file, LPDWORD mask, LPOVERLAPPED overlapped) {
  auto h = Lookup(file);
  if (!h) return FALSE;
  if (mask == nullptr) return Done(ERROR_INVALID_PARAMETER);
  DWORD error = h->Device().WaitEvent(mask, overlapped);
  error = Finish(*h, error, overlapped, nullptr);
  return Done(error);
}

BOOL ClearCommError(HANDLE file, LPDWORD errors, LPCOMSTAT stat) {
  auto h = Lookup(file);
  if (!h) return FALSE;
  return Done(h->Device().ClearError(errors, stat));
}

BOOL PurgeComm(HANDLE file, DWORD flags) {
  auto h = Lookup(file);
  return h ? Done(h->Device().Purge(flags)) : FALSE;
}

BOOL EscapeCommFunction(HANDLE file, DWORD function) {
  auto h = Lookup(file);
  return h ? Done(h->Device().Escape(function)) : FALSE;
}

BOOL GetCommModemStatus(HANDLE file, LPDWORD status) {
  auto h = Lookup(file);
  if (!h) return FALSE;
  if (status == nullptr) return Done(ERROR_INVALID_PARAMETER);
  return Done(h->Device().ModemStatus(*status));
}

String CommErrorText(DWORD error) {
  switch (error) {
    case ERROR_SUCCESS: return "The operation completed successfully.";
    case ERROR_FILE_NOT_FOUND: return "The device does not exist.";
    case ERROR_PATH_NOT_FOUND: return "The name is not a serial port name.";
    case ERROR_ACCESS_DENIED: return "Access to the device is denied.";
    case ERROR_INVALID_HANDLE: return "The handle is invalid.";
    case ERROR_NOT_ENOUGH_MEMORY: return "Not enough memory is available to complete the operation.";
    case ERROR_GEN_FAILURE: return "The device is not working.";
    case ERROR_SHARING_VIOLATION: return "The device is in use by another program.";
    case ERROR_INVALID_PARAMETER: return "The parameter is incorrect.";
    case ERROR_OPERATION_ABORTED: return "The operation was aborted.";
    case ERROR_IO_INCOMPLETE: return "The operation has not completed yet.";
    case ERROR_IO_PENDING: return "The operation is in progress.";
    case ERROR_DEVICE_NOT_CONNECTED: return "The device is not connected.";
    default: return String();
  }
}

String CommOpenErrorText(LPCSTR name, DWORD error) {
  const String text = name != nullptr ? name : "";
  const int n = ComPortNumber(text);
  const String port = n > 0 ? ComPortName(n) : text;
  const String path = n > 0 ? ComPortDevicePath(n) : String();
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
      return path.empty() ? port + ": no device is assigned to this port."
                          : port + ": there is no serial device at " + path + ".";
    case ERROR_PATH_NOT_FOUND:
      return "\"" + text + "\" is not a serial port name.";
    case ERROR_SHARING_VIOLATION:
      return port + " (" + path + ") is in use by another program.";
    case ERROR_ACCESS_DENIED:
      return port + ": no permission to open " + path +
             ". You need read and write access to the device, for example membership of the dialout group.";
    default:
      return port + (path.empty() ? String() : " (" + path + ")") + ": " + CommErrorText(error);
  }
}
