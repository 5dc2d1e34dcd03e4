// The visual-styles interface: the theme calls the control library makes, answered by an installed
// provider. The program installs none, so themes count as unavailable (every call fails, IsThemeActive
// is FALSE) and controls draw with their own painters; tests install a provider of their own.
//
// Threads: the GUI thread only. The provider is not owned; it must stay alive while installed.
// Installing or removing a provider sends WM_THEMECHANGED to every top-level window, as a switch of the
// visual style does, so theme handles opened before are reopened against the new provider.
#pragma once

#include "platform/rtl/Variants.h"
#include "platform/rtl/WinTypes.h"
#include "platform/win/gdi/WinGdi.h"

struct HTHEME__;
using HTHEME = HTHEME__*;

// The failure answer of every call without a provider.
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);

// Size kinds of GetThemePartSize.
enum THEMESIZE { TS_MIN = 0, TS_TRUE = 1, TS_DRAW = 2 };

// A source of themed drawing: the thirteen operations, with the meaning of the platform calls of the
// same names. Handles are the provider's own values; nullptr means "no theme for that class list".
class ThemeProvider {
 public:
  virtual ~ThemeProvider() = default;

  virtual HTHEME OpenThemeData(HWND Wnd, const WideString& ClassList) = 0;
  virtual HRESULT CloseThemeData(HTHEME Theme) = 0;
  virtual HRESULT DrawThemeBackground(HTHEME Theme, HDC DC, int PartId, int StateId, const RECT& Rect,
                                      const RECT* ClipRect) = 0;
  virtual HRESULT DrawThemeText(HTHEME Theme, HDC DC, int PartId, int StateId, const WideString& Text,
                                DWORD TextFlags, DWORD TextFlags2, const RECT& Rect) = 0;
  virtual HRESULT GetThemeBackgroundContentRect(HTHEME Theme, HDC DC, int PartId, int StateId,
                                                const RECT& BoundingRect, RECT& ContentRect) = 0;
  virtual HRESULT GetThemePartSize(HTHEME Theme, HDC DC, int PartId, int StateId, const RECT* Rect,
                                   THEMESIZE SizeKind, SIZE& Size) = 0;
  // The region is the caller's to delete.
  virtual HRESULT GetThemeBackgroundRegion(HTHEME Theme, HDC DC, int PartId, int StateId, const RECT& Rect,
                                           HRGN& Region) = 0;
  virtual HRESULT DrawThemeEdge(HTHEME Theme, HDC DC, int PartId, int StateId, const RECT& DestRect, UINT Edge,
                                UINT Flags, RECT* ContentRect) = 0;
  virtual BOOL IsThemeBackgroundPartiallyTransparent(HTHEME Theme, int PartId, int StateId) = 0;
  virtual HRESULT DrawThemeParentBackground(HWND Wnd, HDC DC, const RECT* Rect) = 0;
  virtual HRESULT GetThemeColor(HTHEME Theme, int PartId, int StateId, int PropId, COLORREF& Color) = 0;
  virtual BOOL IsThemeActive() = 0;
  virtual HRESULT GetCurrentThemeName(WideString& FileName, WideString& ColorName, WideString& SizeName) = 0;
};

// Installs Provider (nullptr removes the current one) and broadcasts WM_THEMECHANGED when that changes
// which provider is installed.
void InstallThemeProvider(ThemeProvider* Provider);
// The installed provider, or nullptr.
ThemeProvider* CurrentThemeProvider();

// ---- The theme calls. Without a provider they answer nullptr, E_FAIL or FALSE and change nothing. ----
HTHEME OpenThemeData(HWND Wnd, LPCWSTR ClassList);
HRESULT CloseThemeData(HTHEME Theme);
HRESULT DrawThemeBackground(HTHEME Theme, HDC DC, int PartId, int StateId, const RECT* Rect, const RECT* ClipRect);
// CharCount -1: the text ends at its terminating zero.
HRESULT DrawThemeText(HTHEME Theme, HDC DC, int PartId, int StateId, LPCWSTR Text, int CharCount, DWORD TextFlags,
                      DWORD TextFlags2, const RECT* Rect);
HRESULT GetThemeBackgroundContentRect(HTHEME Theme, HDC DC, int PartId, int StateId, const RECT* BoundingRect,
                                      RECT* ContentRect);
HRESULT GetThemePartSize(HTHEME Theme, HDC DC, int PartId, int StateId, const RECT* Rect, THEMESIZE SizeKind,
                         SIZE* Size);
HRESULT GetThemeBackgroundRegion(HTHEME Theme, HDC DC, int PartId, int StateId, const RECT* Rect, HRGN* Region);
HRESULT DrawThemeEdge(HTHEME Theme, HDC DC, int PartId, int StateId, const RECT* DestRect, UINT Edge, UINT Flags,
                      RECT* ContentRect);
BOOL IsThemeBackgroundPartiallyTransparent(HTHEME Theme, int PartId, int StateId);
// The DC keeps the font it had selected before the call.
HRESULT DrawThemeParentBackground(HWND Wnd, HDC DC, const RECT* Rect);
HRESULT GetThemeColor(HTHEME Theme, int PartId, int StateId, int PropId, COLORREF* Color);
BOOL IsThemeActive();
// Each name is copied into its buffer of the given size in characters, cut to fit and zero-terminated.
HRESULT GetCurrentThemeName(LPWSTR FileName, int MaxFileNameChars, LPWSTR ColorName, int MaxColorChars,
                            LPWSTR SizeName, int MaxSizeChars);
