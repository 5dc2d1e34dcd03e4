// Theme handles per themed object type, the themes-active flag and the theme-switch notification.
#include "controls/foundation/uxThemeManager.h"

#include <array>

#include "platform/win/core/UtilWindow.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/rtl/Strings.h"
#include "platform/win/core/WinMessages.h"
#include "platform/win/core/WinUser.h"

namespace {

// One open handle per type and the class list it was opened with.
struct TuxThemeData {
  HTHEME Handle = nullptr;
  WideString ClassList;
};

std::array<TuxThemeData, ThemedObjectTypeCount> themeData;
bool themesActive = false;
TuxThemeChangedEventReceiver* receiver = nullptr;
TList* notificators = nullptr;

}  // namespace

const WideString& ThemedObjectClassName(TThemedObjectIndex AType) {
  static const WideString names[ThemedObjectTypeCount] = {
      u"Button",  u"Clock",    u"ComboBox", u"Edit",       u"ExplorerBar", u"Header",   u"ListView", u"Menu",
      u"Page",    u"Progress", u"Rebar",    u"ScrollBar",  u"Spin",        u"StartPanel", u"Status", u"Tab",
      u"TaskBand", u"TaskBar", u"ToolBar",  u"ToolTip",    u"TrackBar",    u"TrayNotify", u"TreeView", u"Window"};
  return names[static_cast<size_t>(AType)];
}

bool IsVisualStyleLibraryLoaded() { return CurrentThemeProvider() != nullptr; }

bool AreThemesUsableFor(TThemedObjectMask AObjectMask) {
  if (!themesActive || !IsVisualStyleLibraryLoaded()) return false;
  for (Integer i = 0; i < ThemedObjectTypeCount; ++i)
    if ((AObjectMask & (1u << i)) != 0 && OpenThemeObject(static_cast<TThemedObjectIndex>(i)) == nullptr)
      return false;
  return true;
}

bool IsThemedObjectUsable(TThemedObjectIndex AObjectType) {
  return themesActive && IsVisualStyleLibraryLoaded() && OpenThemeObject(AObjectType) != nullptr;
}

HTHEME OpenThemeObject(TThemedObjectIndex AObjectType, const WideChar* AClassList) {
  if (!AreThemesUsableFor(0)) return nullptr;
  TuxThemeData& data = themeData[static_cast<size_t>(AObjectType)];
  if (data.Handle != nullptr) {
    if (AClassList == nullptr) return data.Handle;
    if (WideUpperCase(AClassList) == WideUpperCase(data.ClassList)) return data.Handle;
    CloseThemeObject(AObjectType);
  }
  WideString classList;
  if (AClassList != nullptr)
    classList = AClassList;
  else if (!data.ClassList.empty())
    classList = data.ClassList;
  else
    classList = ThemedObjectClassName(AObjectType);
  data.Handle = OpenThemeData(nullptr, classList.c_str());
  if (data.Handle != nullptr)
    data.ClassList = classList;
  else
    data.ClassList.clear();
  return data.Handle;
}

HRESULT CloseThemeObject(TThemedObjectIndex AObjectType) {
  if (!AreThemesUsableFor(0)) return 1;
  TuxThemeData& data = themeData[static_cast<size_t>(AObjectType)];
  if (data.Handle == nullptr) return 0;
  const HRESULT result = CloseThemeData(data.Handle);
  data.Handle = nullptr;
  data.ClassList.clear();
  return result;
}

void CloseAllThemeObjects() {
  for (TuxThemeData& data : themeData) {
    if (data.Handle == nullptr) continue;
    CloseThemeData(data.Handle);
    data.Handle = nullptr;
  }
}

// ---- Notification of theme switches -------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuxThemeChangedNotificator) {}

TuxThemeChangedNotificator::TuxThemeChangedNotificator() {
  if (notificators != nullptr) notificators->Add(this);
}

TuxThemeChangedNotificator::~TuxThemeChangedNotificator() {
  if (notificators != nullptr) notificators->Remove(this);
}

K58_IMPLEMENT_CLASS(TuxThemeChangedEventReceiver) {}

TuxThemeChangedEventReceiver::TuxThemeChangedEventReceiver() {
  handle_ = AllocateHWnd(
      [this](HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) { return WndProc(Wnd, Msg, WParam, LParam); });
}

TuxThemeChangedEventReceiver::~TuxThemeChangedEventReceiver() {
  themesActive = false;
  DeallocateHWnd(handle_);
}

LRESULT TuxThemeChangedEventReceiver::WndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Msg != WM_THEMECHANGED) return DefWindowProc(Wnd, Msg, WParam, LParam);
  CloseAllThemeObjects();
  DefWindowProc(Wnd, Msg, WParam, LParam);
  themesActive = IsThemeActive() != FALSE;
  ThemeChanged();
  return 0;
}

void TuxThemeChangedEventReceiver::ThemeChanged() {
  if (notificators == nullptr) return;
  // A handler may free its own notificator: walk a copy and skip the ones gone meanwhile.
  const std::vector<Pointer> current = notificators->List();
  for (Pointer item : current) {
    if (notificators->IndexOf(item) < 0) continue;
    static_cast<TuxThemeChangedNotificator*>(item)->onThemeChanged_(static_cast<TObject*>(item));
  }
}

namespace k58::foundation {

// The receiver and the notificator list exist whether or not a provider is installed: one may be
// installed later, and its installation is announced as a theme switch.
void StartThemeManagerUnit() {
  themesActive = IsThemeActive() != FALSE;
  if (receiver == nullptr) receiver = new TuxThemeChangedEventReceiver;
  if (notificators == nullptr) notificators = new TList;
}

void StopThemeManagerUnit() {
  FreeAndNil(receiver);
  CloseAllThemeObjects();
  for (TuxThemeData& data : themeData) data.ClassList.clear();
  FreeAndNil(notificators);
}

}  // namespace k58::foundation
