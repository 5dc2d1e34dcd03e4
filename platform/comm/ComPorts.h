// "COMn" names and the device node behind each number: the one place that knows how a port number is
// written, read back and resolved.
#pragma once

#include "platform/classes/Kernel.h"  // DWORD, ERROR_* codes
#include "platform/rtl/Types.h"

// Highest port number a name may carry (the port list probes 1..256).
inline constexpr int kMaxComPort = 256;

// "COMn", the name a port goes by in settings, lists and messages.
String ComPortName(int n);

// "\\.\COMn", the device name that opens port n whatever its number.
String ComDeviceName(int n);

// The number in "\\.\COMn" or "COMn" (letters in any case), 1..256; 0 when the name is not a COM port name.
int ComPortNumber(const String& name);

// The device node of port n: the environment variable K58_COMn when set and not empty, else COM1-4
// /dev/ttyS0-3, COM5-12 /dev/ttyUSB0-7, COM13-20 /dev/ttyACM0-7; "" when the number has no device.
String ComPortDevicePath(int n);

// Opens the port named name for reading and writing (flags as CreateFile takes them) and closes it again:
// ERROR_SUCCESS when it opened, else the open's error (ERROR_SHARING_VIOLATION for a port held elsewhere).
DWORD ProbeComPort(const String& name, DWORD flags);
