// Message texts of the script compiler and run time. The seventeen compiler texts are process-wide
// variables: a host may assign other texts (another interface language) before compiling; the engine
// reads them only when it builds a message.
#pragma once

#include "platform/rtl/Types.h"

namespace scconsts {
// Formatted with the language name.
inline String SLangNotFound = "Language '%s' not found";
// A grammar rule refers to a rule the grammar does not define.
inline String SInvalidLanguage = "Invalid language definition";
// Followed by the name in single quotes.
inline String SIdRedeclared = "Identifier redeclared: ";
inline String SUnknownType = "Unknown type: ";
// Alone for expressions; followed by ": 'target', 'source'" for assignments and arguments.
inline String SIncompatibleTypes = "Incompatible types";
inline String SIdUndeclared = "Undeclared identifier: ";
inline String SClassRequired = "Class type required";
inline String SIndexRequired = "Index required";
inline String SStringError = "Strings doesn't have properties or methods";
// Formatted with the class name.
inline String SClassError = "Class %s does not have a default property";
inline String SArrayRequired = "Array type required";
inline String SVarRequired = "Variable required";
inline String SNotEnoughParams = "Not enough actual parameters";
inline String STooManyParams = "Too many actual parameters";
inline String SLeftCantAssigned = "Left side cannot be assigned to";
inline String SForError = "For loop variable must be numeric variable";
inline String SEventError = "Event handler must be a procedure";

// Nesting deeper than the engine's limits (rules, units, script calls, the native stack).
inline String SStackOverflow = "Stack overflow";
// A member used on a nil object, and a value that is not of the class it is used as.
inline String SObjectNil = "Object reference is nil";
inline String SInvalidClassCast = "Invalid class typecast";
// A string index outside the string.
inline String SStringIndex = "String index out of range (%d)";
// Late-bound automation: "OLE error:" + code + ": " + member name, and the lines of the object's report.
inline constexpr const char* SOleError = "OLE error:";
inline constexpr const char* SOleSource = "Source        ::  ";
inline constexpr const char* SOleDescription = "Description ::  ";
inline constexpr const char* SOleHelpFile = "Help File     ::  ";
}  // namespace scconsts
