// The status bar window class ("msctls_statusbar32").
#pragma once

#include "platform/win/builtin/CommCtrl.h"

namespace wincontrols {

void RegisterStatusBarClass();

}  // namespace wincontrols
