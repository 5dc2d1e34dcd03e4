// The write protocol on a manual clock against the in-process radio: a complete write, the model check,
// and every fault the radio can inject.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/WriteRadio.h"
#include "tests/app/RadioLinkFakes.h"

using namespace app_test;
using sim_test::Fault;
using sim_test::FaultKind;
using sim_test::Step;

namespace {

constexpr Integer IdYes = 6;
constexpr Integer IdNo = 7;
constexpr int PasswordBlock = 0x148;
constexpr int TimeBlock = 0x160;

class WriteRadioTest : public RadioProtocolTest {
protected:
  void SetUp() override {
    RadioProtocolTest::SetUp();
    // An image that differs from the radio everywhere it matters: a channel, the password texts, the
    // radio's own password block, the serial number and the file-only tail.
    ALL->SetChannelField(1, cfRxFrequency, "462.5625");
    ALL->SetChannelField(1, cfRxTone, "D754I");
    std::copy_n("OLDPASS NEWPASS ", 16, ALL->Image.begin());
    for (int I = 0; I < 8; ++I) ALL->Image[ofsPasswordBlock + I] = static_cast<Byte>(0xA0 + I);
    std::copy_n("SERIAL0123456789", 16, ALL->Image.begin() + ofsSerial);
    for (int I = ofsRadioEnd; I < ImageSize; ++I) ALL->Image[I] = static_cast<Byte>(I);
    ALL->Modified = false;
    Before = ALL->Image;
  }

  TWriteRadioProtocol& Write() { return static_cast<TWriteRadioProtocol&>(*Proto); }

  // Shows the dialog, presses OK and runs until the write ends (a box was shown and the loop went on
  // for a second) or the dialog closes itself.
  void RunWrite(uint64_t MaxMs = 60000) {
    Make<TWriteRadioProtocol>();
    Show();
    PressOk();
    Link.RunFor(MaxMs, [&] { return Dialog.CloseRequested || (!Dialog.Boxes.empty() && Proto->State() != rsTransferring); });
    Run(1000);
  }

  // The image as the radio should hold it after a complete write.
  static sim_test::Memory RadioOf(const TMemoryImage& Image, bool NewPassword) {
    sim_test::Memory Memory;
    std::copy(Image.begin() + ofsRadio, Image.begin() + ofsRadioEnd, Memory.begin());
    if (NewPassword) {
      const auto Scrambled = ScramblePassword(&Image[ofsNewPassword]);
      std::copy(Scrambled.begin(), Scrambled.end(), Memory.begin() + PasswordBlock);
    }
    return Memory;
  }

  app_test::TFixedClock FixedNow;  // 2026-03-07 09:05:01
};

const Byte Stamp[7] = {0xEA, 0x07, 3, 7, 9, 5, 1};

// A complete write with the new-password switch off and on.
class WriteRadioPasswordTest : public WriteRadioTest, public ::testing::WithParamInterface<bool> {};

TEST_P(WriteRadioPasswordTest, WritesEveryBlockOfTheImageWithTheNewWriteTime) {
  const bool NewPassword = GetParam();
  ALL->NewPasswordOn = NewPassword;
  RunWrite();

  // The image gets its ident and the write time, nothing else.
  EXPECT_TRUE(std::equal(Stamp, Stamp + 7, ALL->Image.begin() + ofsWriteTime));
  TMemoryImage Expected = Before;
  std::copy(Stamp, Stamp + 7, Expected.begin() + ofsWriteTime);
  std::copy(ALL->Image.begin() + ofsIdent, ALL->Image.begin() + ofsIdent + 8, Expected.begin() + ofsIdent);
  EXPECT_EQ(ALL->Image, Expected);
  EXPECT_EQ(ALL->Image[ofsIdent], 'P');
  EXPECT_EQ(ALL->Image[ofsBandCode], 0xF4);

  // What went over the line: exactly the image's blocks, the password block per the switch.
  const sim_test::Memory Radio = RadioOf(ALL->Image, NewPassword);
  Bytes Expect = {'P', 'R', 'O', 'G', 'R', 'A', 'M', 0x02, 0x06};
  for (int A = 0; A <= sim_test::kLastBlock; A += 8) {
    Expect.insert(Expect.end(), {'W', static_cast<uint8_t>(A >> 8), static_cast<uint8_t>(A & 0xFF), 0x08});
    Expect.insert(Expect.end(), Radio.begin() + A, Radio.begin() + A + 8);
  }
  Expect.push_back('E');
  EXPECT_EQ(Link.HostBytes(), Expect);
  EXPECT_EQ(Link.Memory, Radio);
  if (NewPassword) {
    // First byte XOR 0x6B, every further byte XOR the first password character.
    const Byte Scrambled[8] = {'N' ^ 0x6B, 'E' ^ 'N', 'W' ^ 'N', 'P' ^ 'N', 'A' ^ 'N', 'S' ^ 'N', 'S' ^ 'N', ' ' ^ 'N'};
    EXPECT_TRUE(std::equal(Scrambled, Scrambled + 8, Link.Memory.begin() + PasswordBlock));
  } else {
    EXPECT_TRUE(std::equal(Before.begin() + ofsPasswordBlock, Before.begin() + ofsPasswordBlock + 8,
                           Link.Memory.begin() + PasswordBlock));
  }
  EXPECT_TRUE(std::equal(Stamp, Stamp + 7, Link.Memory.begin() + TimeBlock));

  EXPECT_EQ(Dialog.Texts(), std::vector<String>{Language->WriteOk});
  std::vector<Integer> Progress{0};
  for (Integer I = 1; I <= 46; ++I) Progress.push_back(std::min(I, 44));
  Progress.push_back(44);
  Progress.push_back(0);
  EXPECT_EQ(Dialog.Progress, Progress);
  EXPECT_EQ(Write().BlockCount(), 46);
  // The dialog stays open for another write.
  EXPECT_FALSE(Closed);
  EXPECT_TRUE(Dialog.OkEnabled);
  EXPECT_TRUE(Link.Open);
  EXPECT_FALSE(ALL->Modified);
  EXPECT_EQ(Link.Baud, 2400);
  EXPECT_EQ(Link.StopBits, 2);
  Cancel();
  EXPECT_FALSE(Link.Open);
}

INSTANTIATE_TEST_SUITE_P(NewPassword, WriteRadioPasswordTest, ::testing::Bool());

// The radio's type code against the current model, with models added for the cases the program's own
// table cannot show (both of its models share one type code).
struct TIdentCase {
  const char* Name;
  const char* TypeCode;
  Integer Answer;  // to the force question
  bool Written;
  std::vector<String TLanguage::*> Boxes;
};

class WriteIdentTest : public WriteRadioTest, public ::testing::WithParamInterface<TIdentCase> {};

TEST_P(WriteIdentTest, ComparesTheRadioWithTheCurrentModel) {
  const TIdentCase& Case = GetParam();
  auto* Eight = new TMacType("ABCD", 8, "K58(8)");
  Eight->AddBand("450 - 470MHz");
  MacList->Add(Eight);
  auto* Sixteen = new TMacType("WXYZ", 16, "K58(16)");
  Sixteen->AddBand("450 - 470MHz");
  MacList->Add(Sixteen);
  Link.SetTypeCode(Case.TypeCode);
  Link.Options().IdleTimeoutMs = 60000;  // the radio waits while the user decides
  Dialog.Answer = Case.Answer;
  const sim_test::Memory RadioBefore = Link.Memory;

  RunWrite();

  std::vector<String> Texts;
  for (auto Text : Case.Boxes) Texts.push_back(Language->*Text);
  EXPECT_EQ(Dialog.Texts(), Texts);
  if (Texts[0] == Language->Modforce) {
    EXPECT_EQ(Dialog.Boxes[0].Kind, mbQuestionDefaultNo);
  }
  if (Case.Written) {
    EXPECT_EQ(Link.Memory, RadioOf(ALL->Image, false));
    return;
  }
  // Nothing is sent after the ident request and nothing stamped; the dialog waits for Cancel with OK
  // disabled.
  const Bytes UpToIdent = {'P', 'R', 'O', 'G', 'R', 'A', 'M', 0x02};
  EXPECT_EQ(Link.HostBytes(), UpToIdent);
  EXPECT_EQ(Link.Memory, RadioBefore);
  EXPECT_EQ(Proto->State(), rsRefused);
  EXPECT_FALSE(Closed);
  EXPECT_FALSE(Dialog.OkEnabled);
  EXPECT_TRUE(std::equal(Before.begin() + ofsWriteTime, Before.begin() + ofsWriteTime + 7,
                         ALL->Image.begin() + ofsWriteTime));
  Cancel();
  EXPECT_FALSE(Link.Open);
}

INSTANTIATE_TEST_SUITE_P(
    Models, WriteIdentTest,
    ::testing::Values(
        TIdentCase{"SameTypeCode", "ZRQX", IdNo, true, {&TLanguage::WriteOk}},
        TIdentCase{"OtherChannelCount", "ABCD", IdYes, false, {&TLanguage::ModError}},
        TIdentCase{"SameChannelCountForced", "WXYZ", IdYes, true, {&TLanguage::Modforce, &TLanguage::WriteOk}},
        TIdentCase{"SameChannelCountDeclined", "WXYZ", IdNo, false, {&TLanguage::Modforce}},
        TIdentCase{"UnknownForced", "QQQQ", IdYes, true, {&TLanguage::Modforce, &TLanguage::WriteOk}},
        TIdentCase{"UnknownDeclined", "QQQQ", IdNo, false, {&TLanguage::Modforce}}),
    [](const ::testing::TestParamInfo<TIdentCase>& Info) { return std::string(Info.param.Name); });

// Bytes arriving while the force question is up (the dispatcher notifies again from inside the box
// after three seconds) ask nothing twice; a late Yes still writes the radio.
TEST_F(WriteRadioTest, BytesArrivingWhileTheForceQuestionIsUpAskNothingTwice) {
  Link.SetTypeCode("QQQQ");
  Link.Options().IdleTimeoutMs = 60000;
  Dialog.DwellMs = 6000;
  Make<TWriteRadioProtocol>();
  Show();
  PressOk();
  Link.SendFromRadio(Bytes(20, 0x20), 4500);
  Link.SendFromRadio(Bytes(20, 0x06), 5500);
  Link.RunFor(60000, [&] { return Dialog.Boxes.size() >= 2; });

  EXPECT_GE(Link.NestedNotifications, 1);
  const std::vector<String> Expected{Language->Modforce, Language->WriteOk};
  EXPECT_EQ(Dialog.Texts(), Expected);
  EXPECT_EQ(Link.Memory, RadioOf(ALL->Image, false));
}

// What a faulty radio leads to.
struct TWriteFaultCase {
  const char* Name;
  std::vector<Fault> Faults;
  bool Success;
  bool Echo = false;
};

class WriteFaultTest : public WriteRadioTest, public ::testing::WithParamInterface<TWriteFaultCase> {};

TEST_P(WriteFaultTest, EndsAsTheProtocolSays) {
  const TWriteFaultCase& Case = GetParam();
  for (const Fault& F : Case.Faults) Link.AddFault(F);
  if (Case.Echo) Link.Options().Echo = true;

  RunWrite();
  RunUntilClosed(3000);

  if (Case.Success) {
    EXPECT_EQ(Dialog.Texts(), std::vector<String>{Language->WriteOk});
    EXPECT_EQ(Link.Memory, RadioOf(ALL->Image, false));
    EXPECT_FALSE(Closed);
    Cancel();
  } else {
    EXPECT_EQ(Dialog.Texts(), std::vector<String>{Language->ComError});
    EXPECT_TRUE(Closed);
  }
  EXPECT_FALSE(ALL->Modified);
  EXPECT_FALSE(Link.Open);
  EXPECT_FALSE(Proto->HeadTime.Enabled() || Proto->TryTime.Enabled() || Proto->CloseTime.Enabled());
}

INSTANTIATE_TEST_SUITE_P(
    Faults, WriteFaultTest,
    ::testing::Values(
        TWriteFaultCase{"SilenceAtHandshake", {Fault(Step::Handshake, FaultKind::Silence)}, false},
        TWriteFaultCase{"LateHandshakeAnswer", {Fault(Step::Handshake, FaultKind::Delay, -1, 600)}, false},
        TWriteFaultCase{"EveryAnswerNearTheLimit",
                        Always({Step::Handshake, Step::Ident, Step::Ready, Step::WriteBlock}, FaultKind::Delay, 350),
                        true},
        TWriteFaultCase{"StrayByteBeforeHandshakeAnswer", {Fault(Step::Handshake, FaultKind::Stray, -1, 0, {0x33})},
                        true},
        TWriteFaultCase{"TwoStrayBytesBeforeHandshakeAnswer",
                        {Fault(Step::Handshake, FaultKind::Stray, -1, 0, {0x33, 0x44})}, false},
        TWriteFaultCase{"NakAtHandshake", {Fault(Step::Handshake, FaultKind::Nak)}, false},
        TWriteFaultCase{"SilenceAtIdent", {Fault(Step::Ident, FaultKind::Silence)}, false},
        TWriteFaultCase{"IdentOneByteShort", {Fault(Step::Ident, FaultKind::Short, -1, 1)}, false},
        TWriteFaultCase{"IdentInTwoHalves", {Fault(Step::Ident, FaultKind::Split, -1, 100, {8, 8})}, true},
        TWriteFaultCase{"SilenceAtReady", {Fault(Step::Ready, FaultKind::Silence)}, false},
        TWriteFaultCase{"NakOnBlock", {Fault(Step::WriteBlock, FaultKind::Nak, 0x100)}, false},
        TWriteFaultCase{"LateBlockAcknowledge", {Fault(Step::WriteBlock, FaultKind::Delay, 0x100, 500)}, false},
        TWriteFaultCase{"AnswerAfterEnd", {Fault(Step::End, FaultKind::Long, -1, 0, {0x06, 0x06})}, true},
        TWriteFaultCase{"DisconnectAtBlock", {Fault(Step::WriteBlock, FaultKind::Disconnect, 0xA0)}, false},
        TWriteFaultCase{"EchoingCable", {}, false, true}),
    [](const ::testing::TestParamInfo<TWriteFaultCase>& Info) { return std::string(Info.param.Name); });

// A block the radio does not answer ends the write: the radio keeps the blocks before it new and the
// rest old, the image keeps its new write time, OK can be pressed again until the dialog closes.
TEST_F(WriteRadioTest, UnansweredBlockLeavesARadioWrittenUpToIt) {
  Link.AddFault(Fault(Step::WriteBlock, FaultKind::Silence, 0x80));
  const sim_test::Memory RadioBefore = Link.Memory;
  RunWrite();

  EXPECT_EQ(Dialog.Texts(), std::vector<String>{Language->ComError});
  const sim_test::Memory Written = RadioOf(ALL->Image, false);
  EXPECT_TRUE(std::equal(Written.begin(), Written.begin() + 0x80, Link.Memory.begin()));
  EXPECT_TRUE(std::equal(RadioBefore.begin() + 0x80, RadioBefore.end(), Link.Memory.begin() + 0x80));
  EXPECT_TRUE(std::equal(Stamp, Stamp + 7, ALL->Image.begin() + ofsWriteTime));
  EXPECT_EQ(Write().BlockCount(), 0x80 / 8 + 1);
  EXPECT_TRUE(Dialog.OkEnabled);
  EXPECT_TRUE(RunUntilClosed(1000));
  EXPECT_FALSE(Link.Open);
}

TEST_F(WriteRadioTest, PortThatCannotBeOpenedShowsLPortErrorAndClosesTheDialog) {
  Link.OpenFailure = "ie_Open - device already open";
  Make<TWriteRadioProtocol>();
  Proto->FormShow();
  ASSERT_TRUE(RunUntilClosed(2000));
  EXPECT_EQ(Dialog.Texts(), std::vector<String>{Language->LPortError});
  EXPECT_TRUE(Link.HostBytes().empty());
}

// After a complete write OK starts another one; the second write stamps and sends again.
TEST_F(WriteRadioTest, OkAfterACompleteWriteWritesAgain) {
  RunWrite();
  ASSERT_EQ(Dialog.Texts(), std::vector<String>{Language->WriteOk});
  std::fill(Link.Memory.begin(), Link.Memory.begin() + sim_test::kIdentAddress, 0);
  PressOk();
  Link.RunFor(60000, [&] { return Dialog.Boxes.size() >= 2; });
  EXPECT_EQ(Dialog.Texts().back(), Language->WriteOk);
  EXPECT_EQ(Link.Memory, RadioOf(ALL->Image, false));
}

TEST_F(WriteRadioTest, LineErrorShowsComErrorOnce) {
  auto& Write = Make<TWriteRadioProtocol>();
  Show();
  PressOk();
  Link.RunFor(2000, [&] { return Proto->State() == rsTransferring; });
  Write.myPortTriggerLineError(nullptr, 2, false);
  Write.myPortTriggerLineError(nullptr, 2, false);
  EXPECT_EQ(Proto->State(), rsIdle);
  Run(3000);
  EXPECT_EQ(Dialog.Texts(), std::vector<String>{Language->ComError});
}

}  // namespace
