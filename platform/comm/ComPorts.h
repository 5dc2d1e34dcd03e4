// "COMn" names and the device node behind each number.
#pragma once

#include "platform/rtl/Types.h"

// Highest port number a name may carry (the port list probes 1..256).
inline constexpr int kMaxComPort = 256;

// The number in "\\.\COMn" or "COMn" (letters in any case), 1..256; 0 when the name is not a COM port name.
int ComPortNumber(const String& name);

// The device node of port n: the environment variable K58_COMn when set and not empty, else COM1-4
// /dev/ttyS0-3, COM5-12 /dev/ttyUSB0-7, COM13-20 /dev/ttyACM0-7; "" when the number has no device.
String ComPortDevicePath(int n);
