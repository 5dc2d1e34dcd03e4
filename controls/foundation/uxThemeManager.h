// The theme manager: one open theme handle per themed object type, whether visual styles are usable,
// reopening after a theme switch (WM_THEMECHANGED), and the notificators told of such a switch.
//
// Handles are opened lazily by OpenThemeObject and kept per type with the class list they were opened
// with; a theme switch closes them all and the next request reopens against the new theme.
#pragma once

#include "controls/foundation/uxUxTheme.h"
#include "platform/classes/Classes.h"

// The themed object types; bit i of an object mask stands for type i.
enum TThemedObjectIndex {
  totButton, totClock, totComboBox, totEdit, totExplorerBar, totHeader, totListView, totMenu, totPage, totProgress,
  totRebar, totScrollBar, totSpin, totStartPanel, totStatus, totTab, totTaskBand, totTaskBar, totToolBar, totToolTip,
  totTrackBar, totTrayNotify, totTreeView, totWindow
};
inline constexpr Integer ThemedObjectTypeCount = 24;
using TThemedObjectMask = Cardinal;
constexpr TThemedObjectMask ThemedObjectMask(TThemedObjectIndex AType) { return 1u << static_cast<unsigned>(AType); }

// The default visual-style class name of a type ("Button" ... "Window").
const WideString& ThemedObjectClassName(TThemedObjectIndex AType);

bool IsVisualStyleLibraryLoaded();
// Visual styles active and a provider installed; for a non-zero mask also a theme handle for every type
// in it.
bool AreThemesUsableFor(TThemedObjectMask AObjectMask);
bool IsThemedObjectUsable(TThemedObjectIndex AObjectType);
// The type's theme handle, opened with AClassList (nil: the class list it was opened with last, else
// its default class name); nullptr when visual styles are not usable or the class list is unknown.
// Class lists compare ignoring case.
HTHEME OpenThemeObject(TThemedObjectIndex AObjectType, const WideChar* AClassList = nullptr);
// 1 when themes are not usable; else the close result of an open handle, 0 when none was open.
HRESULT CloseThemeObject(TThemedObjectIndex AObjectType);
// Closes every open handle; the remembered class lists stay.
void CloseAllThemeObjects();

// Tells its owner of every theme switch.
class TuxThemeChangedNotificator : public TObject {
  K58_CLASS(TuxThemeChangedNotificator, TObject)

  TuxThemeChangedNotificator();
  ~TuxThemeChangedNotificator() override;

  const TNotifyEvent& OnThemeChanged() const { return onThemeChanged_; }
  void SetOnThemeChanged(const TNotifyEvent& Value) { onThemeChanged_ = Value; }

 private:
  friend class TuxThemeChangedEventReceiver;
  TNotifyEvent onThemeChanged_;
};

// The hidden window that receives WM_THEMECHANGED.
class TuxThemeChangedEventReceiver : public TObject {
  K58_CLASS(TuxThemeChangedEventReceiver, TObject)

  TuxThemeChangedEventReceiver();
  ~TuxThemeChangedEventReceiver() override;

  HWND Handle() const { return handle_; }

 private:
  LRESULT WndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
  void ThemeChanged();

  HWND handle_ = nullptr;
};

namespace k58::foundation {
void StartThemeManagerUnit();
void StopThemeManagerUnit();
}  // namespace k58::foundation
