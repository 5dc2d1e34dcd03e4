// The filter captions' text hook.
#include "controls/foundation/uiFilterConsts.h"

TuiFilterResourceStringHook FilterResourceStringHook = nullptr;

String TranslateFilterResourceString(const String& AText) {
  return FilterResourceStringHook != nullptr ? FilterResourceStringHook(AText) : AText;
}
