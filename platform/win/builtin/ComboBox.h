// The combo box window class ("ComboBox"): a selection field (an edit control or a drawn field) over a
// list box ("ComboLBox"), shown below it or dropped down.
#pragma once

#include "platform/win/builtin/CommCtrl.h"

namespace k58::builtin {

// Registers "ComboBox" together with "ListBox" and "ComboLBox", which it is built of.
void RegisterComboBoxClass();

}  // namespace k58::builtin
