// The communications API of the Win32-shaped platform layer: serial ports named "COMn" over termios.
//
// CreateFile opens "\\.\COMn" or "COMn" (n = 1..256). The number is resolved to a device node by
// ComPortDevicePath (platform/comm/ComPorts.h): an override K58_COMn=/path in the environment first, else
// COM1-4 /dev/ttyS0-3, COM5-12 /dev/ttyUSB0-7, COM13-20 /dev/ttyACM0-7. The port is opened exclusively (an
// advisory lock that also holds against root) and switched to raw binary mode: no byte is translated,
// swallowed or echoed.
//
// Overlapped I/O works as on the original platform: an operation that cannot complete at once fails with
// ERROR_IO_PENDING, its OVERLAPPED's event is reset, and it is completed later by the device's own service
// thread, which stores the result in the OVERLAPPED and sets the event. GetOverlappedResult reads (or waits
// for) that result. Reads never pend: the only read mode the system uses (ReadIntervalTimeout = MAXDWORD,
// the two read totals 0) returns at once with whatever is queued.
//
// Errors are Win32 numbers through SetLastError/GetLastError. Opening a port fails with
//   ERROR_FILE_NOT_FOUND     no device behind the number (or the node is not a serial device),
//   ERROR_PATH_NOT_FOUND     the name is not a COM port name,
//   ERROR_SHARING_VIOLATION  the port is held by another program (or another handle of this one),
//   ERROR_ACCESS_DENIED      the user may not open the device node (CommOpenErrorText explains what to do).
#pragma once

#include "platform/classes/Kernel.h"
#include "platform/rtl/Types.h"
#include "platform/rtl/WinTypes.h"

// CreateFile arguments.
inline constexpr DWORD GENERIC_READ = 0x80000000u;
inline constexpr DWORD GENERIC_WRITE = 0x40000000u;
inline constexpr DWORD OPEN_EXISTING = 3;
inline constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
inline constexpr DWORD FILE_FLAG_OVERLAPPED = 0x40000000u;

struct OVERLAPPED {
  ULONG_PTR Internal = 0;      // completion status: 0, a Win32 error, or STATUS_PENDING while pending
  ULONG_PTR InternalHigh = 0;  // bytes transferred
  union {
    struct {
      DWORD Offset;
      DWORD OffsetHigh;
    };
    LPVOID Pointer;
  };
  HANDLE hEvent = nullptr;
  OVERLAPPED() : Offset(0), OffsetHigh(0) {}
};
using LPOVERLAPPED = OVERLAPPED*;
inline constexpr ULONG_PTR STATUS_PENDING = 0x103;

// Device control block.
struct DCB {
  DWORD DCBlength = sizeof(DCB);
  DWORD BaudRate = 0;
  DWORD fBinary : 1;
  DWORD fParity : 1;
  DWORD fOutxCtsFlow : 1;
  DWORD fOutxDsrFlow : 1;
  DWORD fDtrControl : 2;
  DWORD fDsrSensitivity : 1;
  DWORD fTXContinueOnXoff : 1;
  DWORD fOutX : 1;
  DWORD fInX : 1;
  DWORD fErrorChar : 1;
  DWORD fNull : 1;
  DWORD fRtsControl : 2;
  DWORD fAbortOnError : 1;
  DWORD fDummy2 : 17;
  WORD wReserved = 0;
  WORD XonLim = 0;
  WORD XoffLim = 0;
  BYTE ByteSize = 0;
  BYTE Parity = 0;
  BYTE StopBits = 0;
  char XonChar = 0;
  char XoffChar = 0;
  char ErrorChar = 0;
  char EofChar = 0;
  char EvtChar = 0;
  WORD wReserved1 = 0;
  DCB()
      : fBinary(0), fParity(0), fOutxCtsFlow(0), fOutxDsrFlow(0), fDtrControl(0), fDsrSensitivity(0),
        fTXContinueOnXoff(0), fOutX(0), fInX(0), fErrorChar(0), fNull(0), fRtsControl(0), fAbortOnError(0),
        fDummy2(0) {}
};
using LPDCB = DCB*;

inline constexpr BYTE NOPARITY = 0;
inline constexpr BYTE ODDPARITY = 1;
inline constexpr BYTE EVENPARITY = 2;
inline constexpr BYTE MARKPARITY = 3;
inline constexpr BYTE SPACEPARITY = 4;
inline constexpr BYTE ONESTOPBIT = 0;
inline constexpr BYTE ONE5STOPBITS = 1;
inline constexpr BYTE TWOSTOPBITS = 2;
inline constexpr DWORD DTR_CONTROL_DISABLE = 0;
inline constexpr DWORD DTR_CONTROL_ENABLE = 1;
inline constexpr DWORD DTR_CONTROL_HANDSHAKE = 2;
inline constexpr DWORD RTS_CONTROL_DISABLE = 0;
inline constexpr DWORD RTS_CONTROL_ENABLE = 1;
inline constexpr DWORD RTS_CONTROL_HANDSHAKE = 2;
inline constexpr DWORD RTS_CONTROL_TOGGLE = 3;

struct COMMTIMEOUTS {
  DWORD ReadIntervalTimeout = 0;
  DWORD ReadTotalTimeoutMultiplier = 0;
  DWORD ReadTotalTimeoutConstant = 0;
  DWORD WriteTotalTimeoutMultiplier = 0;
  DWORD WriteTotalTimeoutConstant = 0;
};
using LPCOMMTIMEOUTS = COMMTIMEOUTS*;
inline constexpr DWORD MAXDWORD = 0xFFFFFFFFu;

struct COMSTAT {
  DWORD fCtsHold : 1;
  DWORD fDsrHold : 1;
  DWORD fRlsdHold : 1;
  DWORD fXoffHold : 1;
  DWORD fXoffSent : 1;
  DWORD fEof : 1;
  DWORD fTxim : 1;
  DWORD fReserved : 25;
  DWORD cbInQue = 0;
  DWORD cbOutQue = 0;
  COMSTAT() : fCtsHold(0), fDsrHold(0), fRlsdHold(0), fXoffHold(0), fXoffSent(0), fEof(0), fTxim(0), fReserved(0) {}
};
using LPCOMSTAT = COMSTAT*;

// Comm events (SetCommMask, WaitCommEvent).
inline constexpr DWORD EV_RXCHAR = 0x0001;
inline constexpr DWORD EV_RXFLAG = 0x0002;
inline constexpr DWORD EV_TXEMPTY = 0x0004;
inline constexpr DWORD EV_CTS = 0x0008;
inline constexpr DWORD EV_DSR = 0x0010;
inline constexpr DWORD EV_RLSD = 0x0020;
inline constexpr DWORD EV_BREAK = 0x0040;
inline constexpr DWORD EV_ERR = 0x0080;
inline constexpr DWORD EV_RING = 0x0100;

// Line errors (ClearCommError).
inline constexpr DWORD CE_RXOVER = 0x0001;
inline constexpr DWORD CE_OVERRUN = 0x0002;
inline constexpr DWORD CE_RXPARITY = 0x0004;
inline constexpr DWORD CE_FRAME = 0x0008;
inline constexpr DWORD CE_BREAK = 0x0010;

// PurgeComm flags.
inline constexpr DWORD PURGE_TXABORT = 0x0001;
inline constexpr DWORD PURGE_RXABORT = 0x0002;
inline constexpr DWORD PURGE_TXCLEAR = 0x0004;
inline constexpr DWORD PURGE_RXCLEAR = 0x0008;

// EscapeCommFunction codes.
inline constexpr DWORD SETXOFF = 1;
inline constexpr DWORD SETXON = 2;
inline constexpr DWORD SETRTS = 3;
inline constexpr DWORD CLRRTS = 4;
inline constexpr DWORD SETDTR = 5;
inline constexpr DWORD CLRDTR = 6;
inline constexpr DWORD SETBREAK = 8;
inline constexpr DWORD CLRBREAK = 9;

// Modem status (GetCommModemStatus).
inline constexpr DWORD MS_CTS_ON = 0x0010;
inline constexpr DWORD MS_DSR_ON = 0x0020;
inline constexpr DWORD MS_RING_ON = 0x0040;
inline constexpr DWORD MS_RLSD_ON = 0x0080;

HANDLE CreateFileA(LPCSTR name, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES security, DWORD disposition,
                   DWORD flags, HANDLE templateFile);
inline HANDLE CreateFile(LPCSTR name, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES security,
                         DWORD disposition, DWORD flags, HANDLE templateFile) {
  return CreateFileA(name, access, shareMode, security, disposition, flags, templateFile);
}
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read, LPOVERLAPPED overlapped);
BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD toWrite, LPDWORD written, LPOVERLAPPED overlapped);
BOOL GetOverlappedResult(HANDLE file, LPOVERLAPPED overlapped, LPDWORD transferred, BOOL wait);
BOOL SetupComm(HANDLE file, DWORD inQueue, DWORD outQueue);
BOOL GetCommState(HANDLE file, LPDCB dcb);
BOOL SetCommState(HANDLE file, LPDCB dcb);
BOOL GetCommTimeouts(HANDLE file, LPCOMMTIMEOUTS timeouts);
BOOL SetCommTimeouts(HANDLE file, LPCOMMTIMEOUTS timeouts);
BOOL GetCommMask(HANDLE file, LPDWORD mask);
BOOL SetCommMask(HANDLE file, DWORD mask);
BOOL WaitCommEvent(HANDLE file, LPDWORD mask, LPOVERLAPPED overlapped);
BOOL ClearCommError(HANDLE file, LPDWORD errors, LPCOMSTAT stat);
BOOL PurgeComm(HANDLE file, DWORD flags);
BOOL EscapeCommFunction(HANDLE file, DWORD function);
BOOL GetCommModemStatus(HANDLE file, LPDWORD status);

// The system's message for an error number this layer produces, "" for others.
String CommErrorText(DWORD error);
// A message for a failed open of `name`, naming the port and its device node; for ERROR_ACCESS_DENIED it
// tells the user that read and write access to the device is needed (for example membership of the
// dialout group).
String CommOpenErrorText(LPCSTR name, DWORD error);
