// Shared pieces of the tests of the standard and common controls: a headless display with forms made on
// it, input at control points, a message loop through the application (so dialog keys, accelerators and
// modal loops behave as in the program), and event recorders.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/forms/Forms.h"
#include "platform/forms/StdCtrls.h"
#include "platform/win/testing/TestDisplay.h"

namespace forms_test {

class FormTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A form without a resource, placed at (100, 100) with the client size given; freed by the fixture.
  TForm* NewForm(int ClientWidth = 400, int ClientHeight = 300);
  // A control owned by the parent's form (or the parent) on the parent.
  template <class T>
  T* Make(TWinControl* Parent, int X, int Y, int W = -1, int H = -1) {
    TComponent* owner = GetParentForm(Parent);
    if (owner == nullptr) owner = Parent;
    T* control = new T(owner);
    control->SetParent(Parent);
    control->SetBounds(X, Y, W < 0 ? control->Width() : W, H < 0 ? control->Height() : H);
    return control;
  }
  // Shows the form, makes it active and lets it paint.
  void ShowForm(TForm* Form);
  // Runs the application's message loop until nothing is waiting.
  void Pump();

  // Screen point of a control's client point (the centre by default).
  POINT At(TControl* Control, int X = -1, int Y = -1);
  void Click(TControl* Control, int X = -1, int Y = -1);
  void Key(WORD Vk);
  void Chord(std::initializer_list<WORD> Modifiers, WORD Vk);
  void Type(const std::string& Text);
  // A pixel of a control's client area as shown.
  TColor Pixel(TControl* Control, int X, int Y);

  // Runs ShowModal with the step run inside its loop (after the form shows). A loop that idles without
  // ending ends with mrAbort after a while, so a broken test fails instead of hanging.
  Integer RunModal(TForm* Form, std::function<void()> Step);

  std::unique_ptr<k58::winui::TestDisplay> D;
  std::vector<TObjectPtr<TForm>> forms_;
};

// Counts the calls of a notify event and remembers the senders.
struct Recorder {
  std::vector<std::string> Calls;
  TNotifyEvent Note(const std::string& Name) {
    return TNotifyEvent([this, Name](TObject*) { Calls.push_back(Name); });
  }
  int Count(const std::string& Name) const;
  std::string Joined() const;
};

}  // namespace forms_test
