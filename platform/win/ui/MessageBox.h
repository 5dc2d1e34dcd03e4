// Message boxes with the standard names and numbers: a dialog of the text, an icon and a row of buttons,
// centred on its owner (on the work area without one) and modal to the application. While it is shown
// its owner (or, with MB_TASKMODAL or no owner, every enabled top-level window of the thread) is
// disabled and a nested message loop runs, so timers and messages sent from other threads are still
// handled. Enter presses the default button, Esc answers IDCANCEL when there is a Cancel button (IDOK for
// a box with only OK), a button's underlined letter presses it, Tab and the arrows move between buttons.
#pragma once

#include <functional>
#include <string>

#include "platform/rtl/WinTypes.h"
#include "platform/win/core/WinUser.h"
#include "platform/win/ui/WinUserUi.h"  // MB_OK and the icon flags, MessageBeep

// Buttons (MB_TYPEMASK)
inline constexpr UINT MB_OKCANCEL = 0x00000001;
inline constexpr UINT MB_ABORTRETRYIGNORE = 0x00000002;
inline constexpr UINT MB_YESNOCANCEL = 0x00000003;
inline constexpr UINT MB_YESNO = 0x00000004;
inline constexpr UINT MB_RETRYCANCEL = 0x00000005;
inline constexpr UINT MB_TYPEMASK = 0x0000000F;
inline constexpr UINT MB_ICONMASK = 0x000000F0;
// Default button
inline constexpr UINT MB_DEFBUTTON1 = 0x00000000;
inline constexpr UINT MB_DEFBUTTON2 = 0x00000100;
inline constexpr UINT MB_DEFBUTTON3 = 0x00000200;
inline constexpr UINT MB_DEFMASK = 0x00000F00;
// Modality
inline constexpr UINT MB_APPLMODAL = 0x00000000;
inline constexpr UINT MB_SYSTEMMODAL = 0x00001000;
inline constexpr UINT MB_TASKMODAL = 0x00002000;
inline constexpr UINT MB_MODEMASK = 0x00003000;
inline constexpr UINT MB_SETFOREGROUND = 0x00010000;
inline constexpr UINT MB_TOPMOST = 0x00040000;

// Answers (also the control ids of the box's buttons)
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// Answers the button pressed (IDOK ...), 0 when the box could not be shown (bad flags) or WM_QUIT ended
// its loop (the quit message is posted again for the outer loop).
int MessageBox(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType);
inline int MessageBoxA(HWND h, LPCSTR t, LPCSTR c, UINT u) { return MessageBox(h, t, c, u); }

namespace k58::winui {

// Window class of message boxes and of their buttons (children with the answer as control id).
inline constexpr char MessageBoxClass[] = "#32770";

struct MessageBoxInfo {
  HWND Box = nullptr;  // the shown box
  HWND Owner = nullptr;
  std::string Text;
  std::string Caption;
  UINT Type = 0;
};

// A test seam: called once the box is shown, inside its loop. Answering an id (IDOK ...) closes the box
// with it as if the button were pressed; 0 leaves the box to the input (clicks, keys) that follows. The
// handler stays installed until replaced; an empty one removes it.
using MessageBoxHandler = std::function<int(const MessageBoxInfo&)>;
void SetMessageBoxHandler(MessageBoxHandler Handler);

// The button of a shown box that answers Id (null when it has none).
HWND MessageBoxButton(HWND Box, int Id);

}  // namespace k58::winui
