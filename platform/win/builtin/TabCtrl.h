// The tab control window class ("SysTabControl32").
#pragma once

#include "platform/win/builtin/CommCtrl.h"

namespace wincontrols {

void RegisterTabCtrlClass();

}  // namespace wincontrols
