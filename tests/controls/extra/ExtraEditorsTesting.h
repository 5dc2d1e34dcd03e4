// Test helpers of the bars: a fixture that runs the editors' units and the bars' own on the pinned test
// display with a shown form to put controls on.
#pragma once

#include <gtest/gtest.h>

#include "controls/editors/uiEdit.h"
#include "controls/extra/uiProgressBar.h"
#include "controls/extra/uiTrackBar.h"
#include "platform/forms/Forms.h"
#include "platform/win/testing/TestDisplay.h"
#include "platform/win/ui/UiInternal.h"
#include "tests/common/Display.h"

namespace extra_test {

class ExtraEditorsTest : public ::testing::Test {
 protected:
  k58::winui::TestDisplay Display;
  TForm* Form = nullptr;

  ExtraEditorsTest() {
    k58::editors::StartUnits();
    k58::extra::StartProgressBarUnit();
    k58::extra::StartTrackBarUnit();
    Form = NewObject<TForm>(nullptr, 0);
    Form->SetBounds(40, 40, 500, 400);
    Form->Show();
    Display.Pump();
  }
  ~ExtraEditorsTest() override {
    FreeObject(Form);
    k58::winui::ResetWindowSystemState();
    k58::extra::StopTrackBarUnit();
    k58::extra::StopProgressBarUnit();
    k58::editors::StopUnits();
  }

  template <class T>
  T* NewControl(Integer ALeft, Integer ATop) {
    T* control = NewObject<T>(Form);
    control->SetLeft(ALeft);
    control->SetTop(ATop);
    control->SetParent(Form);
    control->HandleNeeded();
    Display.Pump();
    return control;
  }
  // Paints the control now and reads its client pixels.
  k58test::PixelReader Paint(TWinControl* AControl) {
    AControl->Repaint();
    Display.Pump();
    return k58test::ClientPixels(Display, AControl->Handle());
  }
};

}  // namespace extra_test
