// The theme calls, forwarded to the installed visual-styles provider.
#include "platform/theme/Theme.h"

#include <algorithm>

#include "platform/win/core/WinMessages.h"
#include "platform/win/core/WinUser.h"

namespace {

ThemeProvider* installed = nullptr;

WideString TextOf(LPCWSTR Text, int Count) {
  if (Text == nullptr) return WideString();
  if (Count < 0) return WideString(Text);
  return WideString(Text, static_cast<size_t>(Count));
}

void CopyName(const WideString& Name, LPWSTR Buffer, int Size) {
  if (Buffer == nullptr || Size <= 0) return;
  const size_t n = std::min(Name.size(), static_cast<size_t>(Size - 1));
  std::copy_n(Name.begin(), n, Buffer);
  Buffer[n] = 0;
}

}  // namespace

void InstallThemeProvider(ThemeProvider* Provider) {
  if (Provider == installed) return;
  installed = Provider;
  SendMessage(HWND_BROADCAST, WM_THEMECHANGED, 0, 0);
}

ThemeProvider* CurrentThemeProvider() { return installed; }

HTHEME OpenThemeData(HWND Wnd, LPCWSTR ClassList) {
  if (!installed || ClassList == nullptr) return nullptr;
  return installed->OpenThemeData(Wnd, WideString(ClassList));
}

HRESULT CloseThemeData(HTHEME Theme) {
  if (!installed || !Theme) return E_FAIL;
  return installed->CloseThemeData(Theme);
}

HRESULT DrawThemeBackground(HTHEME Theme, HDC DC, int PartId, int StateId, const RECT* Rect, const RECT* ClipRect) {
  if (!installed || !Theme || !Rect) return E_FAIL;
  return installed->DrawThemeBackground(Theme, DC, PartId, StateId, *Rect, ClipRect);
}

HRESULT DrawThemeText(HTHEME Theme, HDC DC, int PartId, int StateId, LPCWSTR Text, int CharCount, DWORD TextFlags,
                      DWORD TextFlags2, const RECT* Rect) {
  if (!installed || !Theme || !Rect) return E_FAIL;
  return installed->DrawThemeText(Theme, DC, PartId, StateId, TextOf(Text, CharCount), TextFlags, TextFlags2, *Rect);
}

HRESULT GetThemeBackgroundContentRect(HTHEME Theme, HDC DC, int PartId, int StateId, const RECT* BoundingRect,
                                      RECT* ContentRect) {
  if (!installed || !Theme || !BoundingRect || !ContentRect) return E_FAIL;
  return installed->GetThemeBackgroundContentRect(Theme, DC, PartId, StateId, *BoundingRect, *ContentRect);
}

HRESULT GetThemePartSize(HTHEME Theme, HDC DC, int PartId, int StateId, const RECT* Rect, THEMESIZE SizeKind,
                         SIZE* Size) {
  if (!installed || !Theme || !Size) return E_FAIL;
  return installed->GetThemePartSize(Theme, DC, PartId, StateId, Rect, SizeKind, *Size);
}

HRESULT GetThemeBackgroundRegion(HTHEME Theme, HDC DC, int PartId, int StateId, const RECT* Rect, HRGN* Region) {
  if (!installed || !Theme || !Rect || !Region) return E_FAIL;
  return installed->GetThemeBackgroundRegion(Theme, DC, PartId, StateId, *Rect, *Region);
}

HRESULT DrawThemeEdge(HTHEME Theme, HDC DC, int PartId, int StateId, const RECT* DestRect, UINT Edge, UINT Flags,
                      RECT* ContentRect) {
  if (!installed || !Theme || !DestRect) return E_FAIL;
  return installed->DrawThemeEdge(Theme, DC, PartId, StateId, *DestRect, Edge, Flags, ContentRect);
}

BOOL IsThemeBackgroundPartiallyTransparent(HTHEME Theme, int PartId, int StateId) {
  if (!installed || !Theme) return FALSE;
  return installed->IsThemeBackgroundPartiallyTransparent(Theme, PartId, StateId);
}

HRESULT DrawThemeParentBackground(HWND Wnd, HDC DC, const RECT* Rect) {
  if (!installed) return E_FAIL;
  // The parent paints into DC with its own font; the caller's selection is put back.
  const HGDIOBJ font = GetCurrentObject(DC, OBJ_FONT);
  const HRESULT result = installed->DrawThemeParentBackground(Wnd, DC, Rect);
  if (font != nullptr) SelectObject(DC, font);
  return result;
}

HRESULT GetThemeColor(HTHEME Theme, int PartId, int StateId, int PropId, COLORREF* Color) {
  if (!installed || !Theme || !Color) return E_FAIL;
  return installed->GetThemeColor(Theme, PartId, StateId, PropId, *Color);
}

BOOL IsThemeActive() { return installed ? installed->IsThemeActive() : FALSE; }

HRESULT GetCurrentThemeName(LPWSTR FileName, int MaxFileNameChars, LPWSTR ColorName, int MaxColorChars,
                            LPWSTR SizeName, int MaxSizeChars) {
  if (!installed) return E_FAIL;
  WideString file, color, size;
  const HRESULT result = installed->GetCurrentThemeName(file, color, size);
  if (FAILED(result)) return result;
  CopyName(file, FileName, MaxFileNameChars);
  CopyName(color, ColorName, MaxColorChars);
  CopyName(size, SizeName, MaxSizeChars);
  return result;
}
