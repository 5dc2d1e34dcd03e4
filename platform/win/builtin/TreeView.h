// The tree view window class ("SysTreeView32").
#pragma once

#include "platform/win/builtin/CommCtrl.h"

namespace k58::builtin {

void RegisterTreeViewClass();

}  // namespace k58::builtin
