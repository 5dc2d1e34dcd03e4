// The list box window class ("ListBox") and its variant in the drop-down of a combo box
// ("ComboLBox"), with the messages by which a combo box drives its list.
#pragma once

#include "platform/win/builtin/CommCtrl.h"

namespace k58::builtin {

inline constexpr char WC_COMBOLBOX[] = "ComboLBox";

void RegisterListBoxClass();
void RegisterComboLBoxClass();

// A "ComboLBox" window is created with its combo box as the creation parameter (lpParam); its
// notifications go to the combo box, its owner-draw requests and colour queries to the combo box's
// parent, as the combo box's own.
//
// Private messages between a combo box and its list (the WM_USER range of the list box is free):
// LBX_SETDROPPED: wParam TRUE while the list shows as the drop-down (it holds the mouse capture): the
//   row under the mouse is highlighted; a button release over a row ends the drop-down with that row
//   chosen, a press outside the list ends it without (CBX_LISTCLOSE).
// CBX_LISTCLOSE, to the combo box: wParam TRUE when a row was chosen; lParam the screen point of a
//   press outside the list (MAKELPARAM), or -1 when the list lost the mouse capture.
inline constexpr UINT LBX_SETDROPPED = WM_USER + 0x201;
inline constexpr UINT CBX_LISTCLOSE = WM_USER + 0x210;


}  // namespace k58::builtin
