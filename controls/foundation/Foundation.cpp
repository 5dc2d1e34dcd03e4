// The start and end of the control foundation's units, in their order.
#include "controls/foundation/Foundation.h"

#include <vector>

namespace k58::foundation {

namespace {

std::vector<TUnit> started;
Integer startCount = 0;

}  // namespace

void StartUnits(std::initializer_list<TUnit> Units) {
  for (const TUnit& unit : Units) {
    unit.Start();
    started.push_back(unit);
  }
}

void StartUnits() {
  if (startCount++ > 0) return;
  StartUnits({
      {"uiClasses", StartClassesUnit, StopClassesUnit},
      {"uxUxTheme", StartUxThemeUnit, StopUxThemeUnit},
      {"uxThemeManager", StartThemeManagerUnit, StopThemeManagerUnit},
      {"uxOffice11", StartOffice11Unit, StopOffice11Unit},
      {"uiLookAndFeelPainters", StartPaintersUnit, StopPaintersUnit},
      {"uiLookAndFeels", StartLookAndFeelsUnit, StopLookAndFeelsUnit},
      {"uiEditPaintUtils", StartEditPaintUtilsUnit, StopEditPaintUtilsUnit},
      {"uiEditUtils", StartEditUtilsUnit, StopEditUtilsUnit},
      {"uiControls", StartControlsUnit, StopControlsUnit},
      {"uiPopupWindow", StartPopupsUnit, StopPopupsUnit},
      {"uiDataStorage", StartDataStorageUnit, StopDataStorageUnit},
      {"uiFormats", StartFormatsUnit, StopFormatsUnit},
  });
}

void StopUnits() {
  if (startCount == 0 || --startCount > 0) return;
  while (!started.empty()) {
    const TUnit unit = started.back();
    started.pop_back();
    unit.Stop();
  }
}

bool UnitsStarted() { return startCount > 0; }

}  // namespace k58::foundation
