// The whole program with the simulated radio on port 1 and no other port.
#pragma once

#include <memory>
#include <set>

#include "app/BFunSet.h"
#include "app/BInfoEdit.h"
#include "app/MainFrm.h"
#include "tests/app/PortFixtures.h"
#include "tests/app/ProgramFixture.h"
#include "tests/sim/RadioSim.h"

namespace e2e_test {

class RadioRunTest : public app_test::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    Ports = std::make_unique<app_test::TFakePorts>(std::set<int>{});
    Radio = std::make_unique<sim_test::RadioSim>();
    Radio->Attach(1);
  }
  void TearDown() override {
    // The combo boxes' popup windows are forms of their own: the windows go first, with their boxes.
    if (fBInfoEdit != nullptr) FreeObject(fBInfoEdit);
    if (fBFunSet != nullptr) FreeObject(fBFunSet);
    TfMainFrm::FileNamePrompt() = nullptr;
    ProgramTest::TearDown();
    Radio.reset();
    Ports.reset();
  }

  std::unique_ptr<app_test::TFakePorts> Ports;
  std::unique_ptr<sim_test::RadioSim> Radio;
};

}  // namespace e2e_test
