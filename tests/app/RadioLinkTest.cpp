// The parts both protocols share: the one-shot timers, the handling of data-available notifications and
// the port number.
#include <gtest/gtest.h>

#include "app/ReadRadio.h"
#include "app/WriteRadio.h"
#include "platform/win/core/WinUser.h"
#include "tests/app/RadioLinkFakes.h"

using namespace app_test;

namespace {

void PumpMessages() {
  MSG Message;
  while (::PeekMessage(&Message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessage(&Message);
}

TEST(RadioTimerTest, FiresOnceFromTheMessageLoopAndIsDisabledWhenItsHandlerRuns) {
  k58::wincore::ScopedManualClock Clock(1000);
  int Fired = 0;
  bool EnabledInHandler = true;
  TRadioTimer* Self = nullptr;
  TRadioTimer Timer(500, [&] {
    ++Fired;
    EnabledInHandler = Self->Enabled();
  });
  Self = &Timer;

  Timer.SetEnabled(true);
  Clock->Advance(300);
  Timer.SetEnabled(true);  // already armed: the time is not restarted
  Clock->Advance(199);
  PumpMessages();
  EXPECT_EQ(Fired, 0);
  Clock->Advance(1);
  EXPECT_EQ(Fired, 0);  // only a message loop runs timers
  PumpMessages();
  EXPECT_EQ(Fired, 1);
  EXPECT_FALSE(EnabledInHandler);
  Clock->Advance(2000);
  PumpMessages();
  EXPECT_EQ(Fired, 1);

  // Disarmed before it is due: never fires; armed again: counts from then.
  Timer.SetEnabled(true);
  Clock->Advance(400);
  Timer.SetEnabled(false);
  Timer.SetEnabled(true);
  Clock->Advance(400);
  PumpMessages();
  EXPECT_EQ(Fired, 1);
  Clock->Advance(100);
  PumpMessages();
  EXPECT_EQ(Fired, 2);
}

TEST(RadioTimerTest, ATimerFreedWhileArmedNeverFires) {
  k58::wincore::ScopedManualClock Clock(1000);
  int Fired = 0;
  {
    TRadioTimer Timer(100, [&] { ++Fired; });
    Timer.SetEnabled(true);
  }
  Clock->Advance(500);
  PumpMessages();
  EXPECT_EQ(Fired, 0);
}

class RadioLinkTest : public RadioProtocolTest {};

// The port number is the text after "COM"; text that is no number ends in LPortError, not in a port.
TEST_F(RadioLinkTest, PortNumberComesFromThePortName) {
  struct {
    const char* Name;
    int Number;  // 0: refused
  } Cases[] = {{"COM3", 3}, {"COM12", 12}, {"Com7", 7}, {"COM", 0}, {"COMx", 0}, {"COM70000", 0}};
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    ALL->PortName = Case.Name;
    TFakeLink CaseLink;
    TFakeDialog CaseDialog(CaseLink);
    CaseDialog.DwellMs = 0;
    TReadRadioProtocol Read(CaseDialog, CaseLink.MakePort());
    Read.FormShow();
    if (Case.Number != 0) {
      EXPECT_EQ(CaseLink.ComNumber, Case.Number);
      EXPECT_TRUE(CaseLink.Open);
      EXPECT_TRUE(CaseDialog.Boxes.empty());
    } else {
      EXPECT_FALSE(CaseLink.Open);
      EXPECT_EQ(CaseDialog.Texts(), std::vector<String>{Language->LPortError});
      EXPECT_TRUE(Read.CloseTime.Enabled());
    }
  }
}

// Only data-available notifications count, and a failing port never lets an exception out of the
// handler.
TEST_F(RadioLinkTest, TriggerHandlerTakesOnlyDataNotificationsAndSwallowsPortErrors) {
  Make<TReadRadioProtocol>();
  Show();
  Link.HoldNotifications = true;
  PressOk();
  Link.RunFor(100);
  ASSERT_TRUE(Proto->Port().CharReady());  // the handshake's answer
  Proto->myPortTrigger(nullptr, 0x7E02, 1, 1);
  EXPECT_EQ(Proto->State(), rsHandshakeSent);
  Proto->myPortTrigger(nullptr, DataAvailableMessage, 1, 1);
  EXPECT_EQ(Proto->State(), rsIdentRequested);

  Link.Open = false;
  Link.OpenFailure = "ie_NOpen - device not open";
  EXPECT_NO_THROW(Proto->myPortTrigger(nullptr, DataAvailableMessage, 16, 16));
  EXPECT_EQ(Proto->State(), rsIdentRequested);
}

}  // namespace
