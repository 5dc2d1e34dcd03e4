// Cursors of the program's resources: .cur files embedded as CURSOR resources, made into cursors of the
// window layer the first time they are asked for.
#pragma once

#include "platform/win/core/WinUser.h"

// The cursor of the CURSOR resource Name of Instance (a monochrome .cur file: one image with its colour
// and mask planes), registered under that name so that later loads and LoadCursor(Instance, Name) find
// the same cursor. Nil when the resource is missing or is not such a file.
HCURSOR LoadCursorResource(HINSTANCE Instance, const char* Name);
