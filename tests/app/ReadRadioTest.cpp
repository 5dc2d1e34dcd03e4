// The read protocol on a manual clock against the in-process radio: a complete read, and every fault
// the radio can inject.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/ReadRadio.h"
#include "tests/app/RadioLinkFakes.h"

using namespace app_test;
using sim_test::Fault;
using sim_test::FaultKind;
using sim_test::Step;

namespace {

class ReadRadioTest : public RadioProtocolTest {
protected:
  void SetUp() override {
    RadioProtocolTest::SetUp();
    // Settings the read keeps as they are, so the image can be compared with the radio's memory.
    Link.Memory[0x120 + 12] = 0x00;
  }

  TReadRadioProtocol& Read() { return static_cast<TReadRadioProtocol&>(*Proto); }

  // Shows the dialog, presses OK and runs until the dialog closes itself (or MaxMs pass).
  void RunRead(uint64_t MaxMs = 60000) {
    Make<TReadRadioProtocol>();
    Show();
    PressOk();
    RunUntilClosed(MaxMs);
  }

  // The radio's memory as the image holds it after a read.
  static TMemoryImage ImageOf(const sim_test::Memory& Memory, const TMemoryImage& Before) {
    TMemoryImage Image = Before;
    std::copy(Memory.begin(), Memory.end(), Image.begin() + ofsRadio);
    std::fill(Image.begin() + ofsRadioEnd, Image.begin() + 432, Byte{0});
    return Image;
  }
};

TEST_F(ReadRadioTest, ReadFillsTheImageAndSelectsModelAndBandFromTheBandCode) {
  Link.Memory[sim_test::kIdentAddress + 5] = 0xF2;  // "136 - 174MHz", a band of the VHF model
  Link.Memory[0x120 + 4] = 0x20;               // out of range: the read clamps it to 4
  ASSERT_EQ(ALL->ModelName, "K58(UHF)");
  ASSERT_FALSE(ALL->Modified);

  RunRead();

  ASSERT_TRUE(Closed);
  EXPECT_EQ(Link.HostBytes(), ReadSequence());
  TMemoryImage Expected = ImageOf(Link.Memory, Before);
  Expected[ofsFunction + 4] = 4;
  EXPECT_EQ(ALL->Image, Expected);
  EXPECT_EQ(ALL->ModelName, "K58(VHF)");
  EXPECT_EQ(ALL->BandText, "136 - 174MHz");
  EXPECT_DOUBLE_EQ(ALL->BandLow, 136.0);
  EXPECT_DOUBLE_EQ(ALL->BandHigh, 174.0);
  EXPECT_TRUE(ALL->Modified);
  EXPECT_TRUE(Read().Done());
  EXPECT_EQ(Read().TypeCode(), "ZRQX");

  EXPECT_EQ(Dialog.Texts(), std::vector<String>{Language->ReadOk});
  EXPECT_EQ(Dialog.Boxes[0].Caption, Language->Confirmation);
  // One step per received block, held at the maximum of 44 for the last two, then the maximum.
  std::vector<Integer> Progress{0};
  for (Integer I = 1; I <= 46; ++I) Progress.push_back(std::min(I, 44));
  Progress.push_back(44);
  EXPECT_EQ(Dialog.ProgressMax, 44);
  EXPECT_EQ(Dialog.Progress, Progress);

  EXPECT_EQ(Link.ComNumber, 3);
  EXPECT_EQ(Link.Baud, 2400);
  EXPECT_EQ(Link.DataBits, 8);
  EXPECT_EQ(Link.StopBits, 2);
  EXPECT_EQ(Link.LineErrors, 0);
  EXPECT_FALSE(Link.Open);
}

TEST_F(ReadRadioTest, BandCodeNoModelOffersKeepsTheCurrentModelAndRewritesTheCode) {
  Link.Memory[sim_test::kIdentAddress + 5] = 0xFD;
  RunRead();
  EXPECT_EQ(Dialog.Texts(), std::vector<String>{Language->ReadOk});
  EXPECT_EQ(ALL->ModelName, "K58(UHF)");
  EXPECT_EQ(ALL->BandText, "450 - 470MHz");
  EXPECT_EQ(ALL->Image[ofsBandCode], 0xF4);
  EXPECT_TRUE(ALL->Modified);
}

// What a faulty radio leads to.
struct TReadFaultCase {
  const char* Name;
  std::vector<Fault> Faults;
  enum { Success, ComError, ModError } Outcome;
  bool Echo = false;
  bool Instant = false;  // the line takes no time: a whole reply arrives with one notification
};

class ReadFaultTest : public ReadRadioTest, public ::testing::WithParamInterface<TReadFaultCase> {};

TEST_P(ReadFaultTest, EndsAsTheProtocolSays) {
  const TReadFaultCase& Case = GetParam();
  for (const Fault& F : Case.Faults) Link.AddFault(F);
  if (Case.Echo) Link.Options().Echo = true;
  if (Case.Instant) Link.Options().CharNs = 0;

  RunRead();

  switch (Case.Outcome) {
    case TReadFaultCase::Success:
      EXPECT_TRUE(Closed);
      EXPECT_EQ(Dialog.Texts(), std::vector<String>{Language->ReadOk});
      EXPECT_EQ(ALL->Image, ImageOf(Link.Memory, Before));
      EXPECT_TRUE(ALL->Modified);
      break;
    case TReadFaultCase::ComError:
      EXPECT_TRUE(Closed);
      EXPECT_EQ(Dialog.Texts(), std::vector<String>{Language->ComError});
      EXPECT_EQ(ALL->Image, Before);
      EXPECT_FALSE(ALL->Modified);
      EXPECT_FALSE(Read().Done());
      break;
    case TReadFaultCase::ModError:
      EXPECT_FALSE(Closed);
      EXPECT_EQ(Dialog.Texts(), std::vector<String>{Language->ModError});
      EXPECT_EQ(ALL->Image, Before);
      EXPECT_FALSE(Dialog.OkEnabled);
      Cancel();
      EXPECT_TRUE(Closed);
      break;
  }
  EXPECT_FALSE(Link.Open);
  EXPECT_FALSE(Proto->HeadTime.Enabled() || Proto->TryTime.Enabled() || Proto->CloseTime.Enabled());
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ReadFaultTest,
    ::testing::Values(
        TReadFaultCase{"SilenceAtHandshake", {Fault(Step::Handshake, FaultKind::Silence)}, TReadFaultCase::ComError},
        TReadFaultCase{"LateHandshakeAnswer", {Fault(Step::Handshake, FaultKind::Delay, -1, 600)}, TReadFaultCase::ComError},
        TReadFaultCase{"EveryAnswerNearTheLimit",
                       Always({Step::Handshake, Step::Ident, Step::Ready, Step::ReadBlock, Step::BlockAck},
                              FaultKind::Delay, 350),
                       TReadFaultCase::Success},
        TReadFaultCase{"StrayByteBeforeHandshakeAnswer", {Fault(Step::Handshake, FaultKind::Stray, -1, 0, {0x33})},
                       TReadFaultCase::Success},
        TReadFaultCase{"TwoStrayBytesBeforeHandshakeAnswer",
                       {Fault(Step::Handshake, FaultKind::Stray, -1, 0, {0x33, 0x44})}, TReadFaultCase::ComError},
        TReadFaultCase{"NakAtHandshake", {Fault(Step::Handshake, FaultKind::Nak)}, TReadFaultCase::ComError},
        TReadFaultCase{"SilenceAtIdent", {Fault(Step::Ident, FaultKind::Silence)}, TReadFaultCase::ComError},
        TReadFaultCase{"IdentOneByteShort", {Fault(Step::Ident, FaultKind::Short, -1, 1)}, TReadFaultCase::ComError},
        TReadFaultCase{"IdentWithADroppedByte", {Fault(Step::Ident, FaultKind::Drop, -1, 3)}, TReadFaultCase::ComError},
        TReadFaultCase{"IdentInTwoHalves", {Fault(Step::Ident, FaultKind::Split, -1, 100, {8, 8})},
                       TReadFaultCase::Success},
        TReadFaultCase{"UnknownModel", {Fault(Step::Ident, FaultKind::WrongModel, -1, 0, {'A', 'B', 'C', 'D'})},
                       TReadFaultCase::ModError},
        TReadFaultCase{"SilenceAtReady", {Fault(Step::Ready, FaultKind::Silence)}, TReadFaultCase::ComError},
        TReadFaultCase{"SilenceAtBlock", {Fault(Step::ReadBlock, FaultKind::Silence, 0x80)}, TReadFaultCase::ComError},
        TReadFaultCase{"BlockOneByteShort", {Fault(Step::ReadBlock, FaultKind::Short, 0x40, 1)}, TReadFaultCase::ComError},
        TReadFaultCase{"BlockOneAndEleven", {Fault(Step::ReadBlock, FaultKind::Split, 0x08, 30, {1, 11})},
                       TReadFaultCase::Success},
        TReadFaultCase{"BlockFourAndEight", {Fault(Step::ReadBlock, FaultKind::Split, 0x148, 30, {4, 8})},
                       TReadFaultCase::Success},
        TReadFaultCase{"BlockByteByByte",
                       {Fault(Step::ReadBlock, FaultKind::Split, -1, 10, {}, false)}, TReadFaultCase::Success},
        TReadFaultCase{"GarbageBeforeBlock", {Fault(Step::ReadBlock, FaultKind::Stray, 0x10, 0, {0x55})},
                       TReadFaultCase::ComError},
        TReadFaultCase{"BlockSentTwice", {Fault(Step::ReadBlock, FaultKind::Duplicate, 0x40)}, TReadFaultCase::ComError},
        TReadFaultCase{"NakOnBlockAcknowledge", {Fault(Step::BlockAck, FaultKind::Nak, 0x100)}, TReadFaultCase::ComError},
        TReadFaultCase{"LateBlockAcknowledge", {Fault(Step::BlockAck, FaultKind::Delay, 0x100, 500)},
                       TReadFaultCase::ComError},
        TReadFaultCase{"AnswerAfterEnd", {Fault(Step::End, FaultKind::Long, -1, 0, {0x06, 0x06})},
                       TReadFaultCase::Success},
        TReadFaultCase{"DisconnectAtBlock", {Fault(Step::ReadBlock, FaultKind::Disconnect, 0xA0)},
                       TReadFaultCase::ComError},
        TReadFaultCase{"EchoingCable", {}, TReadFaultCase::ComError, true},
        // Replies of the right length or more whose bytes are not the block asked for.
        TReadFaultCase{"BlockOneByteTooLong", {Fault(Step::ReadBlock, FaultKind::Long, 0x10, 0, {0x5A})},
                       TReadFaultCase::ComError},
        TReadFaultCase{"BlockOneByteTooLongAtOnce", {Fault(Step::ReadBlock, FaultKind::Long, 0x10, 0, {0x5A})},
                       TReadFaultCase::ComError, false, true},
        TReadFaultCase{"ByteInsideTheLastBlock", {Fault(Step::ReadBlock, FaultKind::Insert, 0x168, 6, {0x06})},
                       TReadFaultCase::ComError},
        TReadFaultCase{"ByteInsideABlockAtOnce", {Fault(Step::ReadBlock, FaultKind::Insert, 0x10, 6, {0x06})},
                       TReadFaultCase::ComError, false, true},
        TReadFaultCase{"BlockNamingAnotherAddress",
                       {Fault(Step::ReadBlock, FaultKind::Overwrite, 0x10, 1, {0x00, 0x00})}, TReadFaultCase::ComError},
        TReadFaultCase{"EveryBlockNamingAddressZero",
                       Always({Step::ReadBlock}, FaultKind::Overwrite, 1, {0x00, 0x00}), TReadFaultCase::ComError},
        TReadFaultCase{"BlockWithAnotherFirstByte", {Fault(Step::ReadBlock, FaultKind::Overwrite, 0x10, 0, {'R'})},
                       TReadFaultCase::ComError},
        TReadFaultCase{"BlockWithAnotherLength", {Fault(Step::ReadBlock, FaultKind::Overwrite, 0x10, 3, {0x10})},
                       TReadFaultCase::ComError},
        TReadFaultCase{"RunOfAcknowledgesAfterTheIdent",
                       Always({Step::Ready, Step::ReadBlock, Step::BlockAck}, FaultKind::Instead, 0, Bytes(16, 0x06)),
                       TReadFaultCase::ComError},
        TReadFaultCase{"RunOfAcknowledgesAtOnce",
                       Always({Step::Ready, Step::ReadBlock, Step::BlockAck}, FaultKind::Instead, 0, Bytes(16, 0x06)),
                       TReadFaultCase::ComError, false, true},
        TReadFaultCase{"TwoAcknowledgesAtOnce", {Fault(Step::BlockAck, FaultKind::Duplicate, 0x100)},
                       TReadFaultCase::ComError, false, true}),
    [](const ::testing::TestParamInfo<TReadFaultCase>& Info) { return std::string(Info.param.Name); });


TEST_F(ReadRadioTest, NoAnswerToTheHandshakeShowsComErrorAfterTheGuardAndThePause) {
  Link.AddFault(Fault(Step::Handshake, FaultKind::Silence));
  Make<TReadRadioProtocol>();
  Show();
  PressOk();
  ASSERT_TRUE(RunUntilClosed());

  const Bytes Program = {'P', 'R', 'O', 'G', 'R', 'A', 'M'};
  EXPECT_EQ(Link.HostBytes(), Program);
  ASSERT_EQ(Dialog.Texts(), std::vector<String>{Language->ComError});
  // 450 + 50 ms before the handshake (whose characters take 12 ms of the guard), the 500 ms guard,
  // then the 2500 ms pause.
  const uint64_t Shown = Dialog.Boxes[0].AtMs - OkAtMs;
  EXPECT_GE(Shown, 3500u);
  EXPECT_LE(Shown, 3502u);
  // The dialog closes 300 ms after the box is dismissed.
  EXPECT_EQ(ClosedAtMs - Dialog.Boxes[0].AtMs, Dialog.DwellMs + 300);
  EXPECT_EQ(ALL->Image, Before);
}

TEST_F(ReadRadioTest, NoBlockAnswerStopsTheTransferWithComErrorAndTheImageUnchanged) {
  Link.AddFault(Fault(Step::ReadBlock, FaultKind::Silence, 0x80));
  RunRead();

  ASSERT_EQ(Dialog.Texts(), std::vector<String>{Language->ComError});
  const sim_test::HostFrame& Last = Link.Frames.back();
  EXPECT_EQ(Last.step, Step::ReadBlock);
  EXPECT_EQ(Last.address, 0x80);
  // ComError follows the unanswered request by TryTime's 450 ms.
  const Bytes Host = Link.HostBytes();
  const Bytes Tail = {'R', 0x00, 0x80, 0x08};
  EXPECT_TRUE(std::equal(Tail.begin(), Tail.end(), Host.end() - 4));
  EXPECT_EQ(Dialog.Progress.back(), 0x80 / 8);
  EXPECT_EQ(ALL->Image, Before);
  EXPECT_FALSE(ALL->Modified);
  EXPECT_FALSE(Link.Open);
}

TEST_F(ReadRadioTest, UnknownModelEndsTheSessionAndWaitsForCancel) {
  Link.SetTypeCode("ABCD");
  Make<TReadRadioProtocol>();
  Show();
  PressOk();
  Run(5000);

  Bytes Expected = {'P', 'R', 'O', 'G', 'R', 'A', 'M', 0x02, 'E'};
  EXPECT_EQ(Link.HostBytes(), Expected);
  EXPECT_EQ(Dialog.Texts(), std::vector<String>{Language->ModError});
  EXPECT_FALSE(Closed);
  EXPECT_FALSE(Dialog.OkEnabled);
  EXPECT_EQ(ALL->Image, Before);
  Cancel();
  EXPECT_TRUE(Closed);
  EXPECT_FALSE(Link.Open);
}

// Bytes that keep coming while the model error is shown (the dispatcher stops waiting for the box after
// three seconds and notifies again from inside it) answer nothing: one "E", one box.
TEST_F(ReadRadioTest, BytesArrivingWhileTheModelErrorIsShownAreIgnored) {
  Link.SetTypeCode("ABCD");
  Dialog.DwellMs = 6000;
  Make<TReadRadioProtocol>();
  Show();
  PressOk();
  // The box is up from about 0.6 s to 6.6 s after OK; garbage comes 4.5 s and 5.5 s after OK.
  Link.SendFromRadio(Bytes(20, 0x41), 4500);
  Link.SendFromRadio(Bytes(20, 0x06), 5500);
  Run(10000);

  EXPECT_GE(Link.NestedNotifications, 1);
  EXPECT_EQ(Dialog.Texts(), std::vector<String>{Language->ModError});
  const Bytes Host = Link.HostBytes();
  EXPECT_EQ(std::count(Host.begin(), Host.end(), 'E'), 1);
  EXPECT_EQ(Host.back(), 'E');
  EXPECT_EQ(ALL->Image, Before);
}

// A notification that arrives late announces bytes that are gone; nothing is made up for them.
TEST_F(ReadRadioTest, LateNotificationWithoutBytesReadsNothing) {
  Make<TReadRadioProtocol>();
  Show();
  PressOk();
  Link.RunFor(2000, [&] { return Proto->State() == rsIdentRequested; });
  ASSERT_EQ(Proto->State(), rsIdentRequested);
  // The handshake's 0x06 was the last byte taken; sixteen copies of it would make an unknown ident.
  Link.InjectNotification(16);
  Link.Pump();
  EXPECT_EQ(Proto->State(), rsIdentRequested);
  RunUntilClosed();
  EXPECT_EQ(Dialog.Texts(), std::vector<String>{Language->ReadOk});
  EXPECT_EQ(ALL->Image, ImageOf(Link.Memory, Before));
}

TEST_F(ReadRadioTest, PortThatCannotBeOpenedShowsLPortErrorAndClosesTheDialog) {
  Link.OpenFailure = "ie_BadId - Specified comport doesn't exist";
  Make<TReadRadioProtocol>();
  Proto->FormShow();
  ASSERT_TRUE(RunUntilClosed(1000));
  EXPECT_EQ(Dialog.Texts(), std::vector<String>{Language->LPortError});
  EXPECT_EQ(ClosedAtMs - Dialog.Boxes[0].AtMs, Dialog.DwellMs + 300);
  EXPECT_TRUE(Link.HostBytes().empty());
  EXPECT_FALSE(Link.Open);
}

// A line error restarts the read once; a second one ends it through TryTime.
TEST_F(ReadRadioTest, LineErrorRestartsOnceThenGivesUp) {
  auto& Read = Make<TReadRadioProtocol>();
  Show();
  PressOk();
  Link.RunFor(2000, [&] { return Proto->State() == rsTransferring; });
  Read.myPortTriggerLineError(nullptr, 2, false);
  EXPECT_EQ(Proto->State(), rsIdle);
  EXPECT_TRUE(Read.ReTime.Enabled());
  Link.RunFor(3000, [&] { return Proto->State() == rsTransferring; });
  EXPECT_EQ(Proto->State(), rsTransferring);
  const Bytes Host = Link.HostBytes();
  EXPECT_EQ(std::search(Host.begin() + 1, Host.end(), Host.begin(), Host.begin() + 7) != Host.end(), true);

  Read.myPortTriggerLineError(nullptr, 2, false);
  EXPECT_FALSE(Read.ReTime.Enabled());
  RunUntilClosed();
  EXPECT_EQ(Dialog.Texts(), std::vector<String>{Language->ComError});
  EXPECT_EQ(ALL->Image, Before);
}

// With the whole reply in one notification, the receive buffer holds 48 bytes: an ident with 32 bytes
// more is still read, with one byte more the reply is never complete.
class ReadBufferTest : public ReadRadioTest, public ::testing::WithParamInterface<std::pair<size_t, bool>> {};

TEST_P(ReadBufferTest, ReceiveBufferHoldsFortyEightBytesOfOneReply) {
  const auto [Extra, Accepted] = GetParam();
  Link.Options().CharNs = 0;
  Link.AddFault(Fault(Step::Ident, FaultKind::Long, -1, 0, Bytes(Extra, 0x20)));
  RunRead();
  EXPECT_EQ(Dialog.Texts(), std::vector<String>{Accepted ? Language->ReadOk : Language->ComError});
}

INSTANTIATE_TEST_SUITE_P(TrailingBytes, ReadBufferTest,
                         ::testing::Values(std::make_pair(size_t{32}, true), std::make_pair(size_t{33}, false)));

}  // namespace
