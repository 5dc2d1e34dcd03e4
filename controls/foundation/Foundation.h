// The control foundation: class registries and shared utilities (uiClasses), the canvas, regions and
// colour helpers (uiGraphics), visual-style access and the theme manager (uxUxTheme, uxThemeManager), the
// Office11 colour set (uxOffice11), the look-and-feel painters with their glyph cache (uiLookAndFeelPainters),
// the look-and-feel settings (uiLookAndFeels), and the base control with its timers, scroll bars, drag and
// drop and screen cursors (uiControls); the solid brush cache (uiEditPaintUtils), the filter captions' text
// hook (uiFilterConsts), the editors' text layout (uiEditTextLayout) and drawing routines (uiEditUtils);
// variant order and streams (uiVariants), value types and the record storage (uiDataStorage), date
// utilities (uiDateUtils) and the format controller (uiFormats).
//
// Threads: everything runs on the GUI thread; nothing here takes locks or is meant to be called from
// another thread.
// Units: the units hold process-wide state (registries, the root look-and-feel, the palette and theme
// listener windows, the painters' images). They start and stop explicitly, in order, through StartUnits
// and StopUnits, called from the program's start-up and from test fixtures; nothing starts by itself. The
// window system must be running (a display back-end) before StartUnits.
// Ownership: painters are stateless class objects (ClassObjectOf) that live to the end of the program;
// canvases wrap canvases they do not own; a TuiRegion owns its region; look-and-feels are owned by their
// controls and styles, the root by its unit.
// Coordinates: painter and canvas operations take logical coordinates of the canvas; clip regions are
// converted to and from device coordinates by the canvas's origin where a routine says so.
// Re-entrancy: a look-and-feel's listeners may leave or join the list while they are told of a change,
// and palette and theme notifiers may be freed by another one's handler; both are handled.
#pragma once

#include <initializer_list>

#include "controls/foundation/uiClasses.h"
#include "controls/foundation/uiContainer.h"
#include "controls/foundation/uiControls.h"
#include "controls/foundation/uiDataStorage.h"
#include "controls/foundation/uiDateUtils.h"
#include "controls/foundation/uiEditPaintUtils.h"
#include "controls/foundation/uiEditTextLayout.h"
#include "controls/foundation/uiEditUtils.h"
#include "controls/foundation/uiFilterConsts.h"
#include "controls/foundation/uiFormats.h"
#include "controls/foundation/uiGraphics.h"
#include "controls/foundation/uiLookAndFeelPainters.h"
#include "controls/foundation/uiLookAndFeels.h"
#include "controls/foundation/uiPopupWindow.h"
#include "controls/foundation/uiVariants.h"
#include "controls/foundation/uxOffice11.h"
#include "controls/foundation/uxThemeManager.h"
#include "controls/foundation/uxUxTheme.h"

namespace k58::foundation {

// A unit: its start and its end.
struct TUnit {
  const char* Name;
  void (*Start)();
  void (*Stop)();
};

// Starts the units in the order given, after those started before; a library above this one starts its
// own units this way once the foundation's are running.
void StartUnits(std::initializer_list<TUnit> Units);
// Starts the foundation's units (class registration and utilities first, the painters before the
// look-and-feels). A second call only counts; each call is matched by one StopUnits.
void StartUnits();
// The last matching call stops every started unit, the last started first.
void StopUnits();
// Whether the foundation's units are running.
bool UnitsStarted();

}  // namespace k58::foundation
