// Test helpers of the spin and currency editors: a shown form on the pinned test display with editors
// placed on it, screen points inside an editor, and reading pixels of an editor's client area.
#pragma once

#include "controls/editors/uiCurrencyEdit.h"
#include "controls/editors/uiSpinEdit.h"
#include "platform/win/ui/Headless.h"
#include "tests/controls/editors/TextEditTesting.h"

namespace editors_test {

class SpinFormTest : public TextEditFormTest {
 protected:
  // A spin editor of the application's kind: limits in force, value type left unassigned.
  TuiSpinEdit* NewSpin(Integer AMin, Integer AMax, Integer ATop = 10) {
    auto* spin = NewEdit<TuiSpinEdit>(10, ATop, 120);
    spin->Properties()->SetMinValue(AMin);
    spin->Properties()->SetMaxValue(AMax);
    spin->SetValue(Variant(AMin));
    Pump();
    return spin;
  }
  static POINT At(TControl* AControl, Integer X, Integer Y) {
    const TPoint p = AControl->ClientToScreen(TPoint{X, Y});
    return POINT{p.x, p.y};
  }
  // The centre of the button with properties index AIndex.
  static POINT ButtonCentre(TuiCustomEdit* AEdit, Integer AIndex) {
    for (TuiEditButtonViewInfo* b : AEdit->EditViewInfo()->Buttons)
      if (b->ButtonIndex == AIndex) return At(AEdit, (b->Bounds.left + b->Bounds.right) / 2, (b->Bounds.top + b->Bounds.bottom) / 2);
    return POINT{-1, -1};
  }
  static TRect ButtonBounds(TuiCustomEdit* AEdit, Integer AIndex) {
    for (TuiEditButtonViewInfo* b : AEdit->EditViewInfo()->Buttons)
      if (b->ButtonIndex == AIndex) return b->Bounds;
    return TRect{};
  }
  static Byte ButtonState(TuiCustomEdit* AEdit, Integer AIndex) {
    for (TuiEditButtonViewInfo* b : AEdit->EditViewInfo()->Buttons)
      if (b->ButtonIndex == AIndex) return b->Data.State;
    return 255;
  }
  COLORREF Pixel(TWinControl* AControl, Integer X, Integer Y) {
    AControl->Repaint();
    Pump();
    return Display.ClientPixel(AControl->Handle(), POINT{X, Y});
  }
  // Selects the whole text of the editor holding the focus.
  void SelectAllFocused() {
    TWinControl* c = FindControl(GetFocus());
    while (c != nullptr && dynamic_cast<TuiCustomEdit*>(c) == nullptr) c = c->Parent();
    if (c != nullptr) static_cast<TuiCustomEdit*>(c)->SelectAll();
    Pump();
  }
  int Beeps() { return Display.Headless().BeepCount(); }
  // The focus goes to another control, so the editor validates and shows its unfocused text.
  void LeaveTo(TWinControl* AOther) { Focus(AOther); }
};

}  // namespace editors_test
