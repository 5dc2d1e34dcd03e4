// The form resources of the program's windows. They are embedded as type "FORM" and registered as RCDATA
// (where the forms read them) once the program knows which control classes it has: a component whose
// class the program does not have yet is left out, and its children of known classes move to the nearest
// parent kept, hidden. So a window still opens, without that part, while the class library grows.
#pragma once

#include <vector>

#include "platform/rtl/Types.h"

// Registers the form resources that are not registered yet. Call before the first window is made.
void PrepareFormResources();

// The form text Text (its resource named Source) without the components whose classes are not
// registered; Left receives their names.
String FormTextWithKnownClasses(const String& Text, const String& Source, std::vector<String>* Left = nullptr);
