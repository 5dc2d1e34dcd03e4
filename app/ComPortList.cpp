#include "app/AppUi.h"

#include "platform/classes/StringList.h"
#include "platform/comm/ComPorts.h"

void ListComPorts(TStrings* Strings) {
  if (Strings == nullptr) return;
  // The platform presents itself as the NT family, whose port list covers every number a name may carry;
  // ports from 10 on open only under their device name there.
  for (Integer N = 1; N <= kMaxComPort; ++N)
    if (ProbeComPort(N <= 9 ? ComPortName(N) : ComDeviceName(N), 0) == ERROR_SUCCESS) Strings->Add(ComPortName(N));
}
