// The read and write protocols through the serial port component against the simulated radio on a
// pseudo-terminal, in real time: a few strong cases (the full fault table runs on the manual clock).
#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "app/AllClass.h"
#include "app/RadioPort.h"
#include "app/ReadRadio.h"
#include "app/WriteRadio.h"
#include "platform/win/core/WinUser.h"
#include "tests/app/AppTestSupport.h"
#include "tests/sim/RadioSim.h"

namespace {

using Bytes = std::vector<uint8_t>;
using sim_test::Fault;
using sim_test::FaultKind;
using sim_test::Step;

constexpr int Com = 20;

// Handles the test thread's messages (the port's notifications and the timers) until Until() holds or Ms
// pass; returns Until().
bool PumpUntil(const std::function<bool()>& Until, int Ms) {
  const auto Deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(Ms);
  for (;;) {
    MSG Message;
    while (::PeekMessage(&Message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessage(&Message);
    if (Until && Until()) return true;
    if (std::chrono::steady_clock::now() >= Deadline) return Until && Until();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

// A dialog whose message boxes run a short message loop, as a user who answers at once.
class TPtyDialog : public IRadioDialog {
public:
  Integer ShowMessageBox(const String&, const String& Text, Integer Kind) override {
    Texts.push_back(Text);
    PumpUntil(nullptr, 50);
    return Kind == mbQuestion || Kind == mbQuestionDefaultNo ? 6 : 1;
  }
  void SetProgressMax(Integer) override {}
  void SetProgress(Integer Position) override { Progress = Position; }
  void SetOkEnabled(bool Enabled) override { OkEnabled = Enabled; }
  void CloseDialog() override { CloseRequested = true; }
  void ClearLog() override {}

  std::vector<String> Texts;
  Integer Progress = -1;
  bool OkEnabled = true;
  bool CloseRequested = false;
};

class RadioLinkPtyTest : public app_test::DocumentTest {
protected:
  void SetUp() override {
    DocumentTest::SetUp();
    SelectDefaultModelAndNewImage();
    ALL->PortName = "COM" + std::to_string(Com);
    Radio = std::make_unique<sim_test::RadioSim>();
    Radio->Attach(Com);
    // Settings a read keeps as they are, so the image compares with the radio's memory.
    sim_test::Memory Memory = Radio->GetMemory();
    Memory[0x120 + 12] = 0x00;
    Radio->SetMemory(Memory);
  }
  void TearDown() override {
    Proto.reset();
    Radio.reset();
    ::unsetenv(("K58_COM" + std::to_string(Com)).c_str());
    DocumentTest::TearDown();
  }

  template <class TProtocol>
  TProtocol& Start() {
    auto Made = std::make_unique<TProtocol>(Dialog, MakeComRadioPort());
    TProtocol& Result = *Made;
    Proto = std::move(Made);
    Proto->FormShow();
    PumpUntil(nullptr, 50);
    Proto->btnOkClick();
    return Result;
  }

  // Runs the dialog's loop until it closes itself (FormClose then runs) or Ms pass.
  bool RunUntilClosed(int Ms = 15000) {
    if (!PumpUntil([&] { return Dialog.CloseRequested; }, Ms)) return false;
    Proto->FormClose();
    return true;
  }

  bool PortOpen() { return Proto->Port().Open(); }

  Bytes ReadSequence() const {
    Bytes Out = {'P', 'R', 'O', 'G', 'R', 'A', 'M', 0x02, 0x06};
    for (int A = 0; A <= sim_test::kLastBlock; A += 8) {
      Out.insert(Out.end(), {'R', static_cast<uint8_t>(A >> 8), static_cast<uint8_t>(A & 0xFF), 0x08, 0x06});
    }
    Out.push_back('E');
    return Out;
  }

  TPtyDialog Dialog;
  std::unique_ptr<sim_test::RadioSim> Radio;
  std::unique_ptr<TRadioProtocol> Proto;
};

TEST_F(RadioLinkPtyTest, ReadsTheRadioWithABlockArrivingByteByByte) {
  Radio->AddFault(Fault(Step::ReadBlock, FaultKind::Split, 0x48, 10));
  const TMemoryImage Before = ALL->Image;
  auto& Read = Start<TReadRadioProtocol>();
  ASSERT_TRUE(RunUntilClosed());

  EXPECT_EQ(Dialog.Texts, std::vector<String>{Language->ReadOk});
  EXPECT_TRUE(Read.Done());
  const sim_test::Memory Memory = Radio->GetMemory();
  EXPECT_TRUE(std::equal(Memory.begin(), Memory.end(), ALL->Image.begin() + ofsRadio));
  EXPECT_TRUE(std::all_of(ALL->Image.begin() + ofsRadioEnd, ALL->Image.begin() + 432, [](Byte B) { return B == 0; }));
  EXPECT_TRUE(std::equal(Before.begin() + 432, Before.end(), ALL->Image.begin() + 432));
  EXPECT_TRUE(std::equal(Before.begin(), Before.begin() + ofsRadio, ALL->Image.begin()));
  EXPECT_EQ(ALL->ModelName, "K58(UHF)");
  EXPECT_EQ(ALL->BandText, "450 - 470MHz");
  EXPECT_TRUE(ALL->Modified);
  EXPECT_EQ(Dialog.Progress, 44);

  EXPECT_EQ(Radio->HostBytes(), ReadSequence());
  EXPECT_EQ(Radio->LastLine(), sim_test::ExpectedLine()) << sim_test::Describe(Radio->LastLine());
  EXPECT_EQ(Radio->LineErrors(), 0);
  EXPECT_FALSE(PortOpen());
}

TEST_F(RadioLinkPtyTest, WritesTheImageWithTheScrambledNewPassword) {
  ALL->NewPasswordOn = true;
  std::copy_n("OLDPASS NEWPASS ", 16, ALL->Image.begin());
  ALL->SetChannelField(1, cfRxFrequency, "462.5625");
  for (int I = ofsRadioEnd; I < ImageSize; ++I) ALL->Image[I] = static_cast<Byte>(I);
  Start<TWriteRadioProtocol>();
  ASSERT_TRUE(PumpUntil([&] { return !Dialog.Texts.empty(); }, 15000));
  PumpUntil(nullptr, 100);

  EXPECT_EQ(Dialog.Texts, std::vector<String>{Language->WriteOk});
  sim_test::Memory Expected;
  std::copy(ALL->Image.begin() + ofsRadio, ALL->Image.begin() + ofsRadioEnd, Expected.begin());
  const auto Scrambled = ScramblePassword(&ALL->Image[ofsNewPassword]);
  std::copy(Scrambled.begin(), Scrambled.end(), Expected.begin() + 0x148);
  EXPECT_EQ(Radio->GetMemory(), Expected);

  // Every block went as one 'W' frame; nothing followed the 'E'.
  const auto Frames = Radio->Frames();
  int Blocks = 0;
  for (const auto& F : Frames)
    if (F.step == Step::WriteBlock) {
      EXPECT_EQ(F.address, Blocks * 8);
      ++Blocks;
    }
  EXPECT_EQ(Blocks, 46);
  EXPECT_EQ(Frames.back().step, Step::End);
  EXPECT_EQ(Radio->HostBytes().back(), 'E');
  EXPECT_TRUE(Dialog.OkEnabled);
  EXPECT_FALSE(ALL->Modified);
  Proto->btnCancelClick();
  ASSERT_TRUE(RunUntilClosed(100));
  EXPECT_FALSE(PortOpen());
}

TEST_F(RadioLinkPtyTest, UnansweredBlockEndsTheReadWithTheImageUnchanged) {
  Radio->AddFault(Fault(Step::ReadBlock, FaultKind::Silence, 0x20));
  const TMemoryImage Before = ALL->Image;
  Start<TReadRadioProtocol>();
  ASSERT_TRUE(RunUntilClosed());
  EXPECT_EQ(Dialog.Texts, std::vector<String>{Language->ComError});
  EXPECT_EQ(ALL->Image, Before);
  EXPECT_FALSE(ALL->Modified);
  EXPECT_EQ(Radio->Frames().back().address, 0x20);
  EXPECT_FALSE(PortOpen());
}

// Replies that are not the block asked for end the read; none of their bytes reach the image.
class RadioLinkPtyBadReplyTest : public RadioLinkPtyTest,
                                 public ::testing::WithParamInterface<std::pair<const char*, std::vector<Fault>>> {};

TEST_P(RadioLinkPtyBadReplyTest, EndsTheReadWithComErrorAndTheImageUnchanged) {
  for (const Fault& F : GetParam().second) Radio->AddFault(F);
  const TMemoryImage Before = ALL->Image;
  auto& Read = Start<TReadRadioProtocol>();
  ASSERT_TRUE(RunUntilClosed());
  EXPECT_EQ(Dialog.Texts, std::vector<String>{Language->ComError});
  EXPECT_FALSE(Read.Done());
  EXPECT_EQ(ALL->Image, Before);
  EXPECT_FALSE(ALL->Modified);
  EXPECT_FALSE(PortOpen());
}

INSTANTIATE_TEST_SUITE_P(
    Replies, RadioLinkPtyBadReplyTest,
    ::testing::Values(
        std::make_pair("ByteInsideABlock",
                       std::vector<Fault>{Fault(Step::ReadBlock, FaultKind::Insert, 0x10, 6, {0x06})}),
        std::make_pair("AnotherAddress",
                       std::vector<Fault>{Fault(Step::ReadBlock, FaultKind::Overwrite, -1, 1, {0x00, 0x00}, false)}),
        std::make_pair("RunOfAcknowledges",
                       std::vector<Fault>{Fault(Step::Ready, FaultKind::Instead, -1, 0, Bytes(16, 0x06), false),
                                          Fault(Step::ReadBlock, FaultKind::Instead, -1, 0, Bytes(16, 0x06), false),
                                          Fault(Step::BlockAck, FaultKind::Instead, -1, 0, Bytes(16, 0x06), false)})),
    [](const auto& Info) { return std::string(Info.param.first); });

TEST_F(RadioLinkPtyTest, UnknownModelIsRefusedUntilCancel) {
  Radio->SetTypeCode("ABCD");
  const TMemoryImage Before = ALL->Image;
  Start<TReadRadioProtocol>();
  EXPECT_FALSE(RunUntilClosed(800));
  EXPECT_EQ(Dialog.Texts, std::vector<String>{Language->ModError});
  const Bytes Expected = {'P', 'R', 'O', 'G', 'R', 'A', 'M', 0x02, 'E'};
  EXPECT_EQ(Radio->HostBytes(), Expected);
  EXPECT_EQ(ALL->Image, Before);
  Proto->btnCancelClick();
  ASSERT_TRUE(RunUntilClosed(100));
  EXPECT_FALSE(PortOpen());
}

// The radio vanishes in the middle of a write: ComError, the port closes, and a radio that appears on
// the same port number later is written normally.
TEST_F(RadioLinkPtyTest, VanishedRadioEndsTheWriteAndALaterOneIsWritten) {
  Radio->AddFault(Fault(Step::WriteBlock, FaultKind::Disconnect, 0x20));
  Start<TWriteRadioProtocol>();
  ASSERT_TRUE(RunUntilClosed());
  EXPECT_EQ(Dialog.Texts, std::vector<String>{Language->ComError});
  EXPECT_FALSE(PortOpen());
  Proto.reset();

  Radio = std::make_unique<sim_test::RadioSim>();
  Radio->Attach(Com);
  Dialog = TPtyDialog();
  Start<TWriteRadioProtocol>();
  ASSERT_TRUE(PumpUntil([&] { return !Dialog.Texts.empty(); }, 15000));
  EXPECT_EQ(Dialog.Texts, std::vector<String>{Language->WriteOk});
  EXPECT_TRUE(std::equal(ALL->Image.begin() + ofsRadio, ALL->Image.begin() + ofsRadioEnd, Radio->GetMemory().begin()));
}

TEST_F(RadioLinkPtyTest, MissingPortShowsLPortErrorAndClosesTheDialog) {
  ::setenv(("K58_COM" + std::to_string(Com)).c_str(), "/dev/k58-no-such-port", 1);
  Proto = std::make_unique<TReadRadioProtocol>(Dialog, MakeComRadioPort());
  Proto->FormShow();
  ASSERT_TRUE(RunUntilClosed(2000));
  EXPECT_EQ(Dialog.Texts, std::vector<String>{Language->LPortError});
  EXPECT_FALSE(PortOpen());
}

}  // namespace
