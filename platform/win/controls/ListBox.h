// The list box window class ("ListBox") and its variant in the drop-down of a combo box
// ("ComboLBox"), with what the combo box and the dialogs share of it: item text comparison without
// regard to case, and the messages by which a combo box drives its list.
#pragma once

#include <string>

#include "platform/win/controls/CommCtrl.h"

namespace wincontrols {

inline constexpr char WC_COMBOLBOX[] = "ComboLBox";

void RegisterListBoxClass();
void RegisterComboLBoxClass();

// Private messages of a combo box's list (the WM_USER range of the list box is free).
// LBX_SETCOMBO: wParam the combo box the list belongs to; its notifications and owner-draw requests
//   go there instead of the parent.
// LBX_SETDROPPED: wParam TRUE while the list shows as the drop-down: the item under the mouse is
//   highlighted, and a button release over an item, or a press outside the list, ends the drop-down
//   (CBX_LISTCLOSE to the combo box, wParam TRUE when an item was chosen).
inline constexpr UINT LBX_SETCOMBO = WM_USER + 0x200;
inline constexpr UINT LBX_SETDROPPED = WM_USER + 0x201;
// Sent by the list to its combo box.
inline constexpr UINT CBX_LISTCLOSE = WM_USER + 0x210;

// Compares UTF-8 texts code point by code point with letters folded to lower case (Latin, Greek and
// Cyrillic letters); answers <0, 0 or >0.
int CompareTextNoCase(const std::string& A, const std::string& B);
// Whether Text begins with Prefix, compared as above.
bool StartsWithNoCase(const std::string& Text, const std::string& Prefix);
char32_t FoldCase(char32_t C);

}  // namespace wincontrols
