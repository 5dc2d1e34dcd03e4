// The tab control window class ("SysTabControl32").
#pragma once

#include "platform/win/controls/CommCtrl.h"

namespace wincontrols {

void RegisterTabCtrlClass();

}  // namespace wincontrols
