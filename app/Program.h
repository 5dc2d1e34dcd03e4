// The program's start-up, shared by the program's entry and the end-to-end tests.
#pragma once

#include "platform/rtl/Types.h"

// The path the program directory (AppDir) is taken from: the program file itself unless set before
// start-up (tests run the program in a directory of their own).
extern String ProgramFile;

// Initialises the application object, starts the units of the control libraries, sets the title "K58",
// the program icon and the port component's selection dialog, then creates the data module, which
// starts the document side, and the main window. The message loop is the caller's, and so is stopping
// the units (k58::foundation::StopUnits) when the program ends.
void StartProgram();
