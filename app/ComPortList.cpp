#include "app/AppUi.h"

#include "platform/classes/StringList.h"
#include "platform/comm/CommApi.h"
#include "platform/rtl/SysUtils.h"

namespace {

// The platform presents itself as the NT family, whose port list covers 256 numbers.
constexpr Integer PortsProbed = 256;

}  // namespace

void ListComPorts(TStrings* Strings) {
  if (Strings == nullptr) return;
  for (Integer N = 1; N <= PortsProbed; ++N) {
    const String Device = N <= 9 ? "COM" + IntToStr(N) : "\\\\.\\COM" + IntToStr(N);
    HANDLE Handle = CreateFileA(Device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (Handle != INVALID_HANDLE_VALUE && Handle != nullptr) {
      Strings->Add("COM" + IntToStr(N));
      CloseHandle(Handle);
    }
  }
}
