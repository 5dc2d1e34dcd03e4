// The port selection dialog as the port component's prompt for a missing port number. Kept apart from
// the dialog's class so that code seeing the port component need not see the class library's forms.
#pragma once

#include "platform/rtl/Types.h"

// Shows the "Select Port" dialog modally: the chosen port number, 0 when the user cancelled or there was
// nothing to choose.
Word ChooseComPort();

// Makes ChooseComPort the prompt of every port component opened without a port number.
void RegisterComSelectForm();
