// The tree view window class ("SysTreeView32").
#pragma once

#include "platform/win/builtin/CommCtrl.h"

namespace wincontrols {

void RegisterTreeViewClass();

}  // namespace wincontrols
