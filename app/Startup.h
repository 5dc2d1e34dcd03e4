// Start-up of the document side: the process-wide objects, the model and band tables, the settings and
// the messages of the chosen language. The data module runs it when it is created, before the main
// window exists.
#pragma once

#include "platform/rtl/Types.h"

// Creates the model list, ALL, the band table and Language (in that order), takes AppDir from
// ProgramPath (the program file's path), builds the tables, reads "SysInfo.Ini" and loads the messages.
void CreateDocumentObjects(const String& ProgramPath);
