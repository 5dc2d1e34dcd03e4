// The text hook of the data controller's filter captions: every filter text passes through
// TranslateFilterResourceString, which hands it to the routine installed in FilterResourceStringHook.
#pragma once

#include "platform/rtl/Types.h"

// A routine that translates a resource text.
using TuiFilterResourceStringHook = String (*)(const String& AText);

// Installed once by the editor framework's start-up; nil until then.
extern TuiFilterResourceStringHook FilterResourceStringHook;

// The hook's answer for AText, or AText itself while no hook is installed.
String TranslateFilterResourceString(const String& AText);
