#include "platform/comm/ComPorts.h"

#include <cstdlib>

#include "platform/comm/CommApi.h"

String ComPortName(int n) { return "COM" + std::to_string(n); }

String ComDeviceName(int n) { return "\\\\.\\" + ComPortName(n); }

int ComPortNumber(const String& name) {
  size_t at = 0;
  if (name.compare(0, 4, "\\\\.\\") == 0) at = 4;
  if (name.size() < at + 4) return 0;
  for (int i = 0; i < 3; ++i) {
    const char c = static_cast<char>(name[at + i] & ~0x20);  // upper case for letters
    if (c != "COM"[i]) return 0;
  }
  at += 3;
  // 1..3 decimal digits without a leading zero and nothing after them.
  if (name.size() - at > 3 || name[at] == '0') return 0;
  int n = 0;
  for (; at < name.size(); ++at) {
    if (name[at] < '0' || name[at] > '9') return 0;
    n = n * 10 + (name[at] - '0');
  }
  return n >= 1 && n <= kMaxComPort ? n : 0;
}

String ComPortDevicePath(int n) {
  if (n < 1 || n > kMaxComPort) return String();
  const String var = "K58_COM" + std::to_string(n);
  if (const char* path = std::getenv(var.c_str()); path != nullptr && *path != '\0') return path;
  if (n <= 4) return "/dev/ttyS" + std::to_string(n - 1);
  if (n <= 12) return "/dev/ttyUSB" + std::to_string(n - 5);
  if (n <= 20) return "/dev/ttyACM" + std::to_string(n - 13);
  return String();
}

DWORD ProbeComPort(const String& name, DWORD flags) {
  HANDLE h = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, flags, nullptr);
  if (h == INVALID_HANDLE_VALUE || h == nullptr) return GetLastError();
  CloseHandle(h);
  return ERROR_SUCCESS;
}
