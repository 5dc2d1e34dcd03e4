// The recording visual-styles provider of the tests.
#include "tests/platform/theme/RecordingThemeProvider.h"

#include <algorithm>
#include <cctype>

#include "platform/rtl/CodePages.h"
#include "platform/win/core/WinMessages.h"
#include "platform/win/core/WinUser.h"
#include "platform/win/gdi/WinUserGdi.h"

namespace k58test {

namespace {

std::string Upper(std::string S) {
  for (char& C : S) C = static_cast<char>(std::toupper(static_cast<unsigned char>(C)));
  return S;
}

}  // namespace

RecordingThemeProvider::RecordingThemeProvider(std::initializer_list<const char*> AClasses) {
  for (const char* name : AClasses) AddClass(name);
}

void RecordingThemeProvider::AddClass(const std::string& AClass) { classes_.insert(Upper(AClass)); }
void RecordingThemeProvider::RemoveClass(const std::string& AClass) { classes_.erase(Upper(AClass)); }

std::vector<ThemeCall> RecordingThemeProvider::CallsOf(const std::string& AOp, const std::string& AClass) const {
  std::vector<ThemeCall> result;
  for (const ThemeCall& call : Calls)
    if (call.Op == AOp && (AClass.empty() || Upper(call.Class) == Upper(AClass))) result.push_back(call);
  return result;
}

void RecordingThemeProvider::Switch() { SendMessage(HWND_BROADCAST, WM_THEMECHANGED, 0, 0); }

COLORREF RecordingThemeProvider::MarkerColor(int APart, int AState) {
  return RGB(static_cast<BYTE>(16 + APart * 9), static_cast<BYTE>(16 + AState * 13), 0xA0);
}

std::string RecordingThemeProvider::ClassOf(HTHEME Theme) const {
  auto it = handles_.find(Theme);
  return it == handles_.end() ? std::string() : it->second.first;
}

HTHEME RecordingThemeProvider::OpenThemeData(HWND, const WideString& ClassList) {
  // A class list names alternatives separated by ';': the first the theme knows is used.
  const std::string list = WideToUtf8(ClassList);
  size_t start = 0;
  while (start <= list.size()) {
    const size_t end = std::min(list.find(';', start), list.size());
    const std::string name = Upper(list.substr(start, end - start));
    if (classes_.count(name)) {
      ++Opens;
      auto handle = reinterpret_cast<HTHEME>(next_++);
      handles_[handle] = {name, list.substr(start, end - start)};
      return handle;
    }
    start = end + 1;
  }
  return nullptr;
}

HRESULT RecordingThemeProvider::CloseThemeData(HTHEME Theme) {
  if (!handles_.erase(Theme)) return E_FAIL;
  ++Closes;
  return S_OK;
}

HRESULT RecordingThemeProvider::DrawThemeBackground(HTHEME Theme, HDC DC, int PartId, int StateId, const RECT& Rect,
                                                    const RECT* ClipRect) {
  auto it = handles_.find(Theme);
  if (it == handles_.end()) return E_FAIL;
  ThemeCall call;
  call.Op = "Background";
  call.Class = it->second.second;
  call.Part = PartId;
  call.State = StateId;
  call.Rect = Rect;
  if (ClipRect) call.Clip = *ClipRect;
  Calls.push_back(call);
  if (PaintMarkers && DC) {
    RECT area = Rect;
    if (ClipRect) IntersectRect(&area, &Rect, ClipRect);
    const HBRUSH brush = CreateSolidBrush(MarkerColor(PartId, StateId));
    FillRect(DC, &area, brush);
    DeleteObject(brush);
  }
  return S_OK;
}

HRESULT RecordingThemeProvider::DrawThemeText(HTHEME Theme, HDC, int PartId, int StateId, const WideString& Text,
                                              DWORD TextFlags, DWORD TextFlags2, const RECT& Rect) {
  auto it = handles_.find(Theme);
  if (it == handles_.end()) return E_FAIL;
  ThemeCall call;
  call.Op = "Text";
  call.Class = it->second.second;
  call.Part = PartId;
  call.State = StateId;
  call.Rect = Rect;
  call.Text = WideToUtf8(Text);
  call.Flags = TextFlags;
  call.Flags2 = TextFlags2;
  Calls.push_back(call);
  return S_OK;
}

HRESULT RecordingThemeProvider::GetThemeBackgroundContentRect(HTHEME Theme, HDC, int PartId, int, const RECT& BoundingRect,
                                                              RECT& ContentRect) {
  const std::string name = ClassOf(Theme);
  if (name.empty()) return E_FAIL;
  auto it = Margins.find({name, PartId});
  const RECT m = it == Margins.end() ? DefaultMargins : it->second;
  ContentRect = RECT{BoundingRect.left + m.left, BoundingRect.top + m.top, BoundingRect.right - m.right,
                     BoundingRect.bottom - m.bottom};
  return S_OK;
}

HRESULT RecordingThemeProvider::GetThemePartSize(HTHEME Theme, HDC, int PartId, int, const RECT*, THEMESIZE, SIZE& Size) {
  const std::string name = ClassOf(Theme);
  if (name.empty()) return E_FAIL;
  auto it = Sizes.find({name, PartId});
  Size = it == Sizes.end() ? DefaultSize : it->second;
  return S_OK;
}

HRESULT RecordingThemeProvider::GetThemeBackgroundRegion(HTHEME Theme, HDC, int, int, const RECT& Rect, HRGN& Region) {
  if (ClassOf(Theme).empty()) return E_FAIL;
  // A region one pixel inside the rectangle, so a test can tell it from the rectangle.
  Region = CreateRectRgn(Rect.left + 1, Rect.top + 1, Rect.right - 1, Rect.bottom - 1);
  return S_OK;
}

HRESULT RecordingThemeProvider::DrawThemeEdge(HTHEME Theme, HDC, int PartId, int StateId, const RECT& DestRect,
                                              UINT Edge, UINT Flags, RECT*) {
  auto it = handles_.find(Theme);
  if (it == handles_.end()) return E_FAIL;
  ThemeCall call;
  call.Op = "Edge";
  call.Class = it->second.second;
  call.Part = PartId;
  call.State = StateId;
  call.Rect = DestRect;
  call.Edge = Edge;
  call.Flags = Flags;
  Calls.push_back(call);
  return S_OK;
}

BOOL RecordingThemeProvider::IsThemeBackgroundPartiallyTransparent(HTHEME Theme, int PartId, int) {
  return Transparent.count({ClassOf(Theme), PartId}) ? TRUE : FALSE;
}

HRESULT RecordingThemeProvider::DrawThemeParentBackground(HWND, HDC DC, const RECT* Rect) {
  ThemeCall call;
  call.Op = "ParentBackground";
  if (Rect) call.Rect = *Rect;
  Calls.push_back(call);
  // A parent paints with its own font.
  if (DC) SelectObject(DC, GetStockObject(SYSTEM_FONT));
  return S_OK;
}

HRESULT RecordingThemeProvider::GetThemeColor(HTHEME Theme, int PartId, int StateId, int PropId, COLORREF& Color) {
  auto it = Colors.find({ClassOf(Theme), PartId, StateId, PropId});
  if (it == Colors.end()) return E_FAIL;
  Color = it->second;
  return S_OK;
}

HRESULT RecordingThemeProvider::GetCurrentThemeName(WideString& FileName_, WideString& ColorName_,
                                                    WideString& SizeName) {
  if (NameFails) return E_FAIL;
  FileName_ = FileName;
  ColorName_ = ColorName;
  SizeName = u"NormalSize";
  return S_OK;
}

}  // namespace k58test
