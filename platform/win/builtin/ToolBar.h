// The tool bar window class ("ToolbarWindow32").
#pragma once

#include "platform/win/builtin/CommCtrl.h"

namespace k58::builtin {

// Registers "ToolbarWindow32" and the tool-tip class its TBSTYLE_TOOLTIPS bars use.
void RegisterToolBarClass();

}  // namespace k58::builtin
