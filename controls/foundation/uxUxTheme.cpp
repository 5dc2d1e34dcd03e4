// The visual-style call overloads of the control library.
#include "controls/foundation/uxUxTheme.h"

#include "platform/rtl/CodePages.h"

bool IsWinXPOrNewer() { return true; }

HRESULT DrawThemeBackground(HTHEME Theme, HDC DC, int PartId, int StateId, const RECT& Rect, const RECT* ClipRect) {
  return DrawThemeBackground(Theme, DC, PartId, StateId, &Rect, ClipRect);
}

HRESULT DrawThemeBackground(HTHEME Theme, HDC DC, int PartId, int StateId, const RECT& Rect, const RECT& ClipRect) {
  return DrawThemeBackground(Theme, DC, PartId, StateId, &Rect, &ClipRect);
}

HRESULT DrawThemeText(HTHEME Theme, HDC DC, int PartId, int StateId, const String& Text, int CharCount,
                      DWORD TextFlags, DWORD TextFlags2, const RECT& Rect) {
  const WideString wide = Utf8ToWide(CharCount < 0 ? Text : Text.substr(0, static_cast<size_t>(CharCount)));
  return DrawThemeText(Theme, DC, PartId, StateId, wide.c_str(), static_cast<int>(wide.size()), TextFlags,
                       TextFlags2, &Rect);
}

HRESULT GetThemeBackgroundContentRect(HTHEME Theme, HDC DC, int PartId, int StateId, const RECT& BoundingRect,
                                      RECT& ContentRect) {
  return GetThemeBackgroundContentRect(Theme, DC, PartId, StateId, &BoundingRect, &ContentRect);
}

HRESULT GetThemePartSize(HTHEME Theme, HDC DC, int PartId, int StateId, const RECT& Rect, THEMESIZE SizeKind,
                         SIZE& Size) {
  return GetThemePartSize(Theme, DC, PartId, StateId, &Rect, SizeKind, &Size);
}

HRESULT GetThemePartSize(HTHEME Theme, HDC DC, int PartId, int StateId, THEMESIZE SizeKind, SIZE& Size) {
  return GetThemePartSize(Theme, DC, PartId, StateId, nullptr, SizeKind, &Size);
}

namespace k58::foundation {
// The calls are bound to whatever provider is installed when they are made: nothing to load or free.
void StartUxThemeUnit() {}
void StopUxThemeUnit() {}
}  // namespace k58::foundation
