// The status bar window class ("msctls_statusbar32").
#pragma once

#include "platform/win/builtin/CommCtrl.h"

namespace k58::builtin {

void RegisterStatusBarClass();

}  // namespace k58::builtin
