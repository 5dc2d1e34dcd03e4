// System colours and system metrics: fixed tables that tests can pin and the display can change.
#include <array>
#include <functional>

#include "platform/win/gdi/Gdi.h"
#include "platform/win/gdi/Objects.h"
#include "platform/win/gdi/WinUserGdi.h"

namespace k58::gdi {

namespace {

// The classic grey scheme.
constexpr std::array<COLORREF, K58_SYSCOLOR_COUNT> kDefaultColors = {
    RGB(212, 208, 200),  // COLOR_SCROLLBAR
    RGB(58, 110, 165),   // COLOR_BACKGROUND
    RGB(10, 36, 106),    // COLOR_ACTIVECAPTION
    RGB(128, 128, 128),  // COLOR_INACTIVECAPTION
    RGB(212, 208, 200),  // COLOR_MENU
    RGB(255, 255, 255),  // COLOR_WINDOW
    RGB(0, 0, 0),        // COLOR_WINDOWFRAME
    RGB(0, 0, 0),        // COLOR_MENUTEXT
    RGB(0, 0, 0),        // COLOR_WINDOWTEXT
    RGB(255, 255, 255),  // COLOR_CAPTIONTEXT
    RGB(212, 208, 200),  // COLOR_ACTIVEBORDER
    RGB(212, 208, 200),  // COLOR_INACTIVEBORDER
    RGB(128, 128, 128),  // COLOR_APPWORKSPACE
    RGB(10, 36, 106),    // COLOR_HIGHLIGHT
    RGB(255, 255, 255),  // COLOR_HIGHLIGHTTEXT
    RGB(212, 208, 200),  // COLOR_BTNFACE
    RGB(128, 128, 128),  // COLOR_BTNSHADOW
    RGB(128, 128, 128),  // COLOR_GRAYTEXT
    RGB(0, 0, 0),        // COLOR_BTNTEXT
    RGB(212, 208, 200),  // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255),  // COLOR_BTNHIGHLIGHT
    RGB(64, 64, 64),     // COLOR_3DDKSHADOW
    RGB(212, 208, 200),  // COLOR_3DLIGHT
    RGB(0, 0, 0),        // COLOR_INFOTEXT
    RGB(255, 255, 225),  // COLOR_INFOBK
    RGB(181, 181, 181),  // 25 (unused)
    RGB(0, 0, 128),      // COLOR_HOTLIGHT
    RGB(166, 202, 240),  // COLOR_GRADIENTACTIVECAPTION
    RGB(192, 192, 192),  // COLOR_GRADIENTINACTIVECAPTION
    RGB(49, 106, 197),   // COLOR_MENUHILIGHT
    RGB(212, 208, 200),  // COLOR_MENUBAR
};

constexpr int kMetricCount = 100;

std::array<int, kMetricCount> DefaultMetrics() {
  std::array<int, kMetricCount> m{};
  m[SM_CXSCREEN] = 1280;
  m[SM_CYSCREEN] = 800;
  m[SM_CXVSCROLL] = 16;
  m[SM_CYHSCROLL] = 16;
  m[SM_CYCAPTION] = 19;
  m[SM_CXBORDER] = 1;
  m[SM_CYBORDER] = 1;
  m[SM_CXDLGFRAME] = 3;
  m[SM_CYDLGFRAME] = 3;
  m[SM_CYVTHUMB] = 16;
  m[SM_CXHTHUMB] = 16;
  m[SM_CXICON] = 32;
  m[SM_CYICON] = 32;
  m[SM_CXCURSOR] = 32;
  m[SM_CYCURSOR] = 32;
  m[SM_CYMENU] = 19;
  m[SM_CXFULLSCREEN] = 1280;
  m[SM_CYFULLSCREEN] = 800 - 19;
  m[SM_MOUSEPRESENT] = 1;
  m[SM_CYVSCROLL] = 16;
  m[SM_CXHSCROLL] = 16;
  m[SM_CXMIN] = 112;
  m[SM_CYMIN] = 27;
  m[SM_CXSIZE] = 18;
  m[SM_CYSIZE] = 18;
  m[SM_CXFRAME] = 4;
  m[SM_CYFRAME] = 4;
  m[SM_CXMINTRACK] = 112;
  m[SM_CYMINTRACK] = 27;
  m[SM_CXDOUBLECLK] = 4;
  m[SM_CYDOUBLECLK] = 4;
  m[SM_CXICONSPACING] = 75;
  m[SM_CYICONSPACING] = 75;
  m[SM_CMOUSEBUTTONS] = 3;
  m[SM_CXEDGE] = 2;
  m[SM_CYEDGE] = 2;
  m[SM_CXMINSPACING] = 160;
  m[SM_CYMINSPACING] = 24;
  m[SM_CXSMICON] = 16;
  m[SM_CYSMICON] = 16;
  m[SM_CYSMCAPTION] = 15;
  m[SM_CXSMSIZE] = 12;
  m[SM_CYSMSIZE] = 14;
  m[SM_CXMENUSIZE] = 18;
  m[SM_CYMENUSIZE] = 18;
  m[SM_CXMINIMIZED] = 160;
  m[SM_CYMINIMIZED] = 24;
  m[SM_CXMAXTRACK] = 1292;
  m[SM_CYMAXTRACK] = 812;
  m[SM_CXMAXIMIZED] = 1288;
  m[SM_CYMAXIMIZED] = 808;
  m[SM_NETWORK] = 3;
  m[SM_CXDRAG] = 4;
  m[SM_CYDRAG] = 4;
  m[SM_CXMENUCHECK] = 13;
  m[SM_CYMENUCHECK] = 13;
  m[SM_MOUSEWHEELPRESENT] = 1;
  m[SM_CXVIRTUALSCREEN] = 1280;
  m[SM_CYVIRTUALSCREEN] = 800;
  m[SM_CMONITORS] = 1;
  m[SM_SAMEDISPLAYFORMAT] = 1;
  m[SM_CXFOCUSBORDER] = 1;
  m[SM_CYFOCUSBORDER] = 1;
  return m;
}

std::array<COLORREF, K58_SYSCOLOR_COUNT> g_colors = kDefaultColors;
std::array<int, kMetricCount> g_metrics = DefaultMetrics();
std::function<void()> g_colorsChanged;

}  // namespace

void ResetSystemTables() {
  g_colors = kDefaultColors;
  g_metrics = DefaultMetrics();
}

void SetSystemMetric(int index, int value) {
  if (index >= 0 && index < kMetricCount) g_metrics[index] = value;
}

void SetSysColorsChangedHandler(std::function<void()> handler) { g_colorsChanged = std::move(handler); }

}  // namespace k58::gdi

DWORD GetSysColor(int index) {
  if (index < 0 || index >= K58_SYSCOLOR_COUNT) return 0;
  return k58::gdi::g_colors[index];
}

HBRUSH GetSysColorBrush(int index) {
  auto brush = k58::gdi::SysColorBrush(index);
  return brush ? reinterpret_cast<HBRUSH>(brush->handle) : nullptr;
}

BOOL SetSysColors(int count, const INT* indexes, const COLORREF* colors) {
  if (count < 0 || (count > 0 && (!indexes || !colors))) return FALSE;
  for (int i = 0; i < count; ++i)
    if (indexes[i] >= 0 && indexes[i] < K58_SYSCOLOR_COUNT) k58::gdi::g_colors[indexes[i]] = colors[i] & 0x00FFFFFF;
  if (k58::gdi::g_colorsChanged) k58::gdi::g_colorsChanged();
  return TRUE;
}

int GetSystemMetrics(int index) {
  if (index < 0 || index >= k58::gdi::kMetricCount) return 0;
  return k58::gdi::g_metrics[index];
}
