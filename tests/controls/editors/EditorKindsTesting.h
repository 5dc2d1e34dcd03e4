// Test helpers of the editor kinds (check box, group box, radio button, radio group, push button): a
// fixture that runs their units on the pinned test display with a shown form, and an event log.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/editors/uiCheckBox.h"
#include "controls/editors/uiEditorKinds.h"
#include "tests/controls/editors/EditTesting.h"

namespace editors_test {

class EditorKindsTest : public EditUnitsTest {
 protected:
  EditorKindsTest() {
    k58::editors::StartEditorKindUnits();
    Form = NewObject<TForm>(nullptr, 0);
    Form->SetBounds(40, 40, 500, 400);
    Form->Show();
    Display.Pump();
  }
  ~EditorKindsTest() override {
    FreeObject(Form);
    k58::winui::ResetWindowSystemState();
    k58::editors::StopEditorKindUnits();
  }

  void Pump() { Display.Pump(); }
  static POINT At(TControl* AControl, Integer X, Integer Y) {
    const TPoint p = AControl->ClientToScreen(TPoint{X, Y});
    return POINT{p.x, p.y};
  }
  // The log's entries joined by ", ".
  std::string Joined() const {
    std::string s;
    for (const std::string& e : Log) s += (s.empty() ? "" : ", ") + e;
    return s;
  }
  COLORREF Pixel(TWinControl* AControl, Integer X, Integer Y) {
    AControl->Repaint();
    Pump();
    return Display.ClientPixel(AControl->Handle(), POINT{X, Y});
  }

  TForm* Form = nullptr;
  std::vector<std::string> Log;
};

}  // namespace editors_test
