// The tab control window class ("SysTabControl32").
#pragma once

#include "platform/win/builtin/CommCtrl.h"

namespace k58::builtin {

void RegisterTabCtrlClass();

}  // namespace k58::builtin
