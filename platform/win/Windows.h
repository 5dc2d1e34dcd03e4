// The Win32-shaped platform API in one include: window manager core, GDI, windows on screen,
// clipboard and shell, menus, MDI and message boxes.
#pragma once

#include "platform/win/core/WinBase.h"
#include "platform/win/core/WinUser.h"
#include "platform/win/core/WinVersion.h"
#include "platform/win/gdi/WinGdi.h"
#include "platform/win/gdi/WinUserGdi.h"
#include "platform/win/ui/MdiApi.h"
#include "platform/win/ui/MenuApi.h"
#include "platform/win/ui/MessageBox.h"
#include "platform/win/ui/UiExt.h"
#include "platform/win/ui/WinClipboard.h"
#include "platform/win/ui/WinShell.h"
#include "platform/win/ui/WinUserUi.h"
