// Message texts of the script compiler; a host may assign other texts (another interface language)
// before compiling.
#pragma once

#include "platform/rtl/Types.h"

namespace scconsts {
// Formatted with the language name.
inline String SLangNotFound = "Language '%s' not found";
// A grammar rule refers to a rule the grammar does not define.
inline String SInvalidLanguage = "Invalid language definition";
// Nesting deeper than the engine's limits (rules, units, calls).
inline String SStackOverflow = "Stack overflow";
}  // namespace scconsts
