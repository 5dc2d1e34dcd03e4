// A visual-styles provider for tests: themes the classes it is told to, records every drawing call
// (class, part, state, rectangles, text, flags), optionally paints a marker colour that encodes part and
// state, and answers configured part sizes, content margins, colours, transparency and theme names.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "platform/theme/Theme.h"

namespace k58test {

struct ThemeCall {
  std::string Op;     // "Background", "Text", "Edge", "ParentBackground"
  std::string Class;  // the class list the handle was opened with, as given
  int Part = 0;
  int State = 0;
  RECT Rect{};
  std::optional<RECT> Clip;
  std::string Text;   // UTF-8
  DWORD Flags = 0;
  DWORD Flags2 = 0;
  UINT Edge = 0;
};

class RecordingThemeProvider : public ThemeProvider {
 public:
  // Themes AClasses (compared ignoring case); active by default.
  explicit RecordingThemeProvider(std::initializer_list<const char*> AClasses = {});

  // ---- what the provider answers ----
  void AddClass(const std::string& AClass);
  void RemoveClass(const std::string& AClass);
  bool Active = true;
  // The theme file and colour variant GetCurrentThemeName answers (it fails with NameFails).
  std::u16string FileName = u"C:\\Themes\\Luna\\Luna.msstyles";
  std::u16string ColorName = u"NormalColor";
  bool NameFails = false;
  // Content margins (left, top, right, bottom) of a part per class name (upper case) and part; others
  // have DefaultMargins.
  std::map<std::pair<std::string, int>, RECT> Margins;
  RECT DefaultMargins{2, 2, 2, 2};
  // True part sizes per class and part; others DefaultSize.
  std::map<std::pair<std::string, int>, SIZE> Sizes;
  SIZE DefaultSize{13, 13};
  // Colours per (class, part, state, property); a missing one fails.
  std::map<std::tuple<std::string, int, int, int>, COLORREF> Colors;
  // Parts that are partially transparent, per class and part.
  std::set<std::pair<std::string, int>> Transparent;
  // Fill the drawn rectangle (within the clip) with MarkerColor(part, state).
  bool PaintMarkers = true;

  // ---- what was asked ----
  int Opens = 0;
  int Closes = 0;
  int OpenHandles() const { return static_cast<int>(handles_.size()); }
  std::vector<ThemeCall> Calls;
  void ClearCalls() { Calls.clear(); }
  // The calls of one kind on one class.
  std::vector<ThemeCall> CallsOf(const std::string& AOp, const std::string& AClass = "") const;

  // Tells the windows that the theme changed (as a switch of the visual style does).
  void Switch();

  static COLORREF MarkerColor(int APart, int AState);

  // ThemeProvider
  HTHEME OpenThemeData(HWND Wnd, const WideString& ClassList) override;
  HRESULT CloseThemeData(HTHEME Theme) override;
  HRESULT DrawThemeBackground(HTHEME Theme, HDC DC, int PartId, int StateId, const RECT& Rect,
                              const RECT* ClipRect) override;
  HRESULT DrawThemeText(HTHEME Theme, HDC DC, int PartId, int StateId, const WideString& Text, DWORD TextFlags,
                        DWORD TextFlags2, const RECT& Rect) override;
  HRESULT GetThemeBackgroundContentRect(HTHEME Theme, HDC DC, int PartId, int StateId, const RECT& BoundingRect,
                                        RECT& ContentRect) override;
  HRESULT GetThemePartSize(HTHEME Theme, HDC DC, int PartId, int StateId, const RECT* Rect, THEMESIZE SizeKind,
                           SIZE& Size) override;
  HRESULT GetThemeBackgroundRegion(HTHEME Theme, HDC DC, int PartId, int StateId, const RECT& Rect,
                                   HRGN& Region) override;
  HRESULT DrawThemeEdge(HTHEME Theme, HDC DC, int PartId, int StateId, const RECT& DestRect, UINT Edge, UINT Flags,
                        RECT* ContentRect) override;
  BOOL IsThemeBackgroundPartiallyTransparent(HTHEME Theme, int PartId, int StateId) override;
  HRESULT DrawThemeParentBackground(HWND Wnd, HDC DC, const RECT* Rect) override;
  HRESULT GetThemeColor(HTHEME Theme, int PartId, int StateId, int PropId, COLORREF& Color) override;
  BOOL IsThemeActive() override { return Active ? TRUE : FALSE; }
  HRESULT GetCurrentThemeName(WideString& FileName, WideString& ColorName, WideString& SizeName) override;

 private:
  // The upper-case class name of a handle; empty for an unknown handle.
  std::string ClassOf(HTHEME Theme) const;

  std::set<std::string> classes_;
  std::map<HTHEME, std::pair<std::string, std::string>> handles_;  // handle -> (upper case, as opened)
  uintptr_t next_ = 1;
};

// Installs a provider for its lifetime.
class ScopedThemeProvider {
 public:
  explicit ScopedThemeProvider(ThemeProvider& AProvider) { InstallThemeProvider(&AProvider); }
  ~ScopedThemeProvider() { InstallThemeProvider(nullptr); }
  ScopedThemeProvider(const ScopedThemeProvider&) = delete;
  ScopedThemeProvider& operator=(const ScopedThemeProvider&) = delete;
};

}  // namespace k58test
