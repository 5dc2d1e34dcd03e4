// The editor framework: the editor base (uiEdit: the registry of properties classes, repositories, the
// properties base, embedded buttons, edit styles, layout and painting state, the editor control with its
// value life cycle and input) and the mask machinery under the masked editors, the regular-expression
// engine (uiRegExpr) and the standard edit mask (uiStandardMask).
// Units: k58::editors::StartUnits starts the foundation's units and then the editor base's; StopUnits
// undoes both.
//
// Threads: everything runs on the GUI thread; nothing here takes locks. The engine and the mask read the
// process-wide locale settings (FormatSettings) for the separators, at the moments their headers name, which
// is another reason to keep them on one thread.
// Ownership: an engine owns its source, its errors and its automaton, which owns the parse tree and with it
// every state and test; a mask owns its positions. Both are plain objects with one owner.
// Text: characters are the code points of UTF-8 text, and so are positions and lengths; a byte that is not
// valid UTF-8 stands for U+FFFD.
// Re-entrancy: the engine's OnAppendChar and OnDeleteLastChar are called from inside its operations and
// must not call back into the same engine.
#pragma once

#include "controls/editors/uiEdit.h"
#include "controls/editors/uiRegExpr.h"
#include "controls/editors/uiStandardMask.h"
