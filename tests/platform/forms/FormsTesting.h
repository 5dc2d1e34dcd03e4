// Shared pieces of the tests of controls, forms, the application and menus: a headless display for each
// test, a message pump through the application's loop, and forms that free themselves.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/forms/Forms.h"
#include "platform/forms/Menus.h"
#include "platform/win/testing/TestDisplay.h"
#include "tests/common/Messages.h"

namespace forms_test {

class FormsTest : public ::testing::Test {
 protected:
  FormsTest();
  ~FormsTest() override;

  // Handles every waiting message (and the queued input) through the application's message loop.
  void Pump();
  // The screen point of a point in a control's client area.
  static POINT At(TControl* Control, int X, int Y);
  void Click(TControl* Control, int X, int Y);
  void Key(WORD Vk);
  void Chord(std::initializer_list<WORD> Modifiers, WORD Vk);

  k58::winui::TestDisplay display;
  // Message boxes shown through the application: their text and caption, answered with IDOK.
  std::vector<std::string> messageBoxes;
};

// A form made without a resource, freed at the end of the test.
TForm* NewForm(TComponent* Owner = nullptr);

// Registers text as the form resource (RCDATA) of the name; the text lives for the whole run.
void RegisterFormResource(const char* Name, const char* Text);

// Records the messages a control's WindowProc sees, for checking message order; the entries name no
// window.
class ControlSpy {
 public:
  explicit ControlSpy(TControl* Control);
  ~ControlSpy();
  k58test::MessageLog Log;

 private:
  void Hook(TMessage& Message);
  TControl* control_;
  TWndMethod saved_;
};

}  // namespace forms_test
