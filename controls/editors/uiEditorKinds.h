// The editor kinds of the collection built so far, started and stopped together: check box, group box and
// button group, radio button, radio group, push button, image, combo box, popup edit, memo, button edit,
// hyperlink edit and most-recently-used edit.
#pragma once

namespace k58::editors {
// Starts the editor framework's units and then each kind's unit (registration, shared bitmaps); counted.
void StartEditorKindUnits();
void StopEditorKindUnits();
}  // namespace k58::editors
