// The visual-style calls as the control library makes them: the platform's theme calls (platform/theme)
// plus the overloads taking rectangles by reference, 8-bit text, or no rectangle, and the version flag.
// "The library is loaded" means a visual-styles provider is installed.
#pragma once

#include "platform/rtl/Types.h"
#include "platform/theme/Theme.h"

// The platform counts as version 5.1 or later: true.
bool IsWinXPOrNewer();

HRESULT DrawThemeBackground(HTHEME Theme, HDC DC, int PartId, int StateId, const RECT& Rect,
                            const RECT* ClipRect = nullptr);
HRESULT DrawThemeBackground(HTHEME Theme, HDC DC, int PartId, int StateId, const RECT& Rect, const RECT& ClipRect);
// 8-bit text, converted to wide text; CharCount -1 for the whole text.
HRESULT DrawThemeText(HTHEME Theme, HDC DC, int PartId, int StateId, const String& Text, int CharCount,
                      DWORD TextFlags, DWORD TextFlags2, const RECT& Rect);
HRESULT GetThemeBackgroundContentRect(HTHEME Theme, HDC DC, int PartId, int StateId, const RECT& BoundingRect,
                                      RECT& ContentRect);
HRESULT GetThemePartSize(HTHEME Theme, HDC DC, int PartId, int StateId, const RECT& Rect, THEMESIZE SizeKind,
                         SIZE& Size);
HRESULT GetThemePartSize(HTHEME Theme, HDC DC, int PartId, int StateId, THEMESIZE SizeKind, SIZE& Size);

namespace k58::foundation {
void StartUxThemeUnit();
void StopUxThemeUnit();
}  // namespace k58::foundation
