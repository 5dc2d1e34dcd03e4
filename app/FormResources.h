// The form resources of the program's windows. They are embedded as type "FORM" and registered as RCDATA,
// where the forms read them. A form naming a class the program does not have fails to load, with an error
// naming the resource, the line and the class.
#pragma once

// Registers the form resources that are not registered yet. Call before the first window is made.
void PrepareFormResources();
