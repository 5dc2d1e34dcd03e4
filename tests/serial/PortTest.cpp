// The port component end to end: the simulated radio on a pseudo-terminal, attached as a COM port through
// the resolver's override, the component's threads, and its notifications handled on this (main) thread.
#include <sys/file.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Filer.h"
#include "platform/classes/Kernel.h"
#include "serial/SioPort.h"
#include "platform/win/core/UtilWindow.h"
#include "serial/SioWin32.h"
#include "tests/serial/SerialTestSupport.h"
#include "tests/sim/RadioSim.h"

using namespace serial_test;

namespace {

constexpr int kCom = 20;

// Collects what the port's data-available event delivers.
struct Receiver {
  Bytes bytes;
  std::vector<Word> counts;
  std::vector<DWORD> threads;
  int readLimit = -1;  // bytes to read per notification; -1 reads the announced count
  std::function<void(TSioCustomComPort&)> after;

  void Attach(TSioCustomComPort& port) {
    port.SetOnTrigger(TTriggerEvent([this, &port](TObject*, Word msg, Word handle, Word data) {
      if (msg != SIO_TRIGGERAVAIL) return;
      EXPECT_EQ(handle, data);
      counts.push_back(handle);
      threads.push_back(GetCurrentThreadId());
      const int n = readLimit < 0 ? handle : std::min<int>(readLimit, handle);
      for (int i = 0; i < n && port.CharReady(); ++i) bytes.push_back(static_cast<uint8_t>(port.GetChar()));
      if (after) after(port);
    }));
  }
};

class Port : public ::testing::Test {
protected:
  void SetUp() override {
    radio_ = std::make_unique<sim_test::RadioSim>();
    radio_->Attach(kCom);
    port_ = std::make_unique<TSioComPort>(nullptr);
    port_->SetComNumber(kCom);
    port_->SetBaud(2400);
    port_->SetStopBits(2);
    rx_.Attach(*port_);
  }
  void TearDown() override {
    port_.reset();
    radio_.reset();
  }

  void Send(const Bytes& b) { port_->PutBlock(b.data(), static_cast<Word>(b.size())); }
  // Tracing and logging on, into the files of those names.
  void TraceAndLogTo(const std::string& trace, const std::string& log) {
    port_->SetTraceName(trace);
    port_->SetLogName(log);
    port_->SetTracing(tlOn);
    port_->SetLogging(tlOn);
  }
  // A close asked for while the dispatch thread is delivering a notification finishes when that delivery
  // ends (the port stays in its closing state until then), so a test that checks the closed port waits.
  bool Closed(int ms = 3000) {
    return PumpUntil([&] { return !port_->Open(); }, ms);
  }
  bool WaitBytes(size_t n, int ms = 2000) {
    return PumpUntil([&] { return rx_.bytes.size() >= n; }, ms);
  }
  // Sends a request and returns the next `n` bytes of the reply.
  Bytes Exchange(const Bytes& request, size_t n) {
    const size_t from = rx_.bytes.size();
    Send(request);
    WaitBytes(from + n);
    return Bytes(rx_.bytes.begin() + static_cast<long>(from), rx_.bytes.end());
  }

  std::unique_ptr<sim_test::RadioSim> radio_;
  std::unique_ptr<TSioComPort> port_;
  Receiver rx_;
};

const Bytes kProgram = {'P', 'R', 'O', 'G', 'R', 'A', 'M'};

}  // namespace

TEST_F(Port, ReadsARadioBlockThroughTheProtocol) {
  port_->SetOpen(true);
  ASSERT_TRUE(port_->Open());
  EXPECT_EQ(radio_->CurrentLine(), sim_test::ExpectedLine()) << sim_test::Describe(radio_->CurrentLine());

  EXPECT_EQ(Exchange(kProgram, 1), Bytes{sim_test::kAck});
  const sim_test::Memory m = radio_->GetMemory();
  EXPECT_EQ(Exchange({0x02}, 16), Bytes(m.begin() + 0x140, m.begin() + 0x150));
  EXPECT_EQ(Exchange({sim_test::kAck}, 1), Bytes{sim_test::kAck});
  const Bytes block = Exchange({'R', 0x00, 0x10, 0x08}, 12);
  EXPECT_EQ(Bytes(block.begin() + 4, block.end()), Bytes(m.begin() + 0x10, m.begin() + 0x18));
  Send({'E'});
  EXPECT_TRUE(PumpUntil([&] { return !radio_->InSession(); }, 1000));
  EXPECT_EQ(radio_->LineErrors(), 0);

  // Every notification came to this thread and announced what was then unread.
  size_t announced = 0;
  for (Word c : rx_.counts) announced += c;
  EXPECT_EQ(announced, rx_.bytes.size());
  for (DWORD t : rx_.threads) EXPECT_EQ(t, GetCurrentThreadId());
  port_->SetOpen(false);
  EXPECT_TRUE(Closed());
  EXPECT_EQ(port_->Dispatcher(), nullptr);
}

TEST_F(Port, BytesWrittenArriveInOrder) {
  sim_test::Options o;
  o.checkLine = false;
  radio_ = std::make_unique<sim_test::RadioSim>(o);
  radio_->Attach(kCom);
  port_->SetOpen(true);
  // 20 kB through a 4 kB output ring, every byte value included.
  Bytes all;
  for (int i = 0; i < 20000; ++i) all.push_back(static_cast<uint8_t>((i * 7) % 256));
  size_t at = 0;
  while (at < all.size()) {
    const size_t n = std::min<size_t>(333, all.size() - at);
    if (port_->OutBuffUsed() + n > port_->OutSize()) {
      PumpFor(1);
      continue;
    }
    port_->PutBlock(all.data() + at, static_cast<Word>(n));
    at += n;
  }
  EXPECT_TRUE(PumpUntil([&] { return port_->OutBuffUsed() == 0; }, 5000));
  EXPECT_TRUE(radio_->WaitUntil([&] { return radio_->HostBytes().size() >= all.size(); }, 5000));
  EXPECT_EQ(radio_->HostBytes(), all);
}

TEST_F(Port, UnreadBytesStayUntilMoreArriveAndAreAnnouncedTogether) {
  // The radio's answer to the handshake carries nine more bytes.
  radio_->AddFault({sim_test::Step::Handshake, sim_test::FaultKind::Long, -1, 0, {1, 2, 3, 4, 5, 6, 7, 8, 9}});
  rx_.readLimit = 3;
  port_->SetOpen(true);
  Send(kProgram);
  ASSERT_TRUE(WaitBytes(3));
  PumpFor(200);
  ASSERT_EQ(rx_.counts, std::vector<Word>{10});  // no second notice for the 7 left unread
  EXPECT_EQ(port_->Dispatcher()->InputCount(), 7u);
  rx_.readLimit = -1;
  Send({0x02});  // the ident: 16 more bytes
  ASSERT_TRUE(WaitBytes(26));
  EXPECT_EQ(rx_.counts.back(), 23);
  const Bytes head = {sim_test::kAck, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  EXPECT_EQ(Bytes(rx_.bytes.begin(), rx_.bytes.begin() + 10), head);
}

TEST_F(Port, ClosingFromInsideAHandlerIsSafe) {
  const int fds = OpenDescriptors();
  port_->SetOpen(true);
  rx_.after = [](TSioCustomComPort& p) { p.SetOpen(false); };
  Send(kProgram);
  ASSERT_TRUE(PumpUntil([&] { return !port_->Open() && port_->Dispatcher() == nullptr; }, 3000));
  EXPECT_EQ(port_->LineState(), TLineState::Closed);
  EXPECT_EQ(OpenDescriptors(), fds);

  // Closed and opened again inside the handler: the port reopens once the close has finished.
  rx_.after = [](TSioCustomComPort& p) {
    p.SetOpen(false);
    p.SetOpen(true);
  };
  port_->SetOpen(true);
  Send(kProgram);
  ASSERT_TRUE(PumpUntil([&] { return port_->LineState() == TLineState::Open && !port_->ReopenPending(); }, 3000));
  rx_.after = nullptr;
  const size_t before = rx_.bytes.size();
  Send({0x02});
  EXPECT_TRUE(WaitBytes(before + 16));
}

TEST_F(Port, AnExceptionInAHandlerGoesToTheApplicationAndTheLineGoesOn) {
  std::vector<std::string> shown;
  TObject* sender = nullptr;
  ApplicationHandleException = [&](TObject* s) {
    sender = s;
    try {
      throw;
    } catch (const Exception& e) {
      shown.push_back(e.Message());
    }
  };
  rx_.after = [](TSioCustomComPort&) { throw EConvertError("bad reply"); };
  port_->SetOpen(true);
  Send(kProgram);
  ASSERT_TRUE(PumpUntil([&] { return !shown.empty(); }, 2000));
  EXPECT_EQ(shown[0], "bad reply");
  EXPECT_EQ(sender, port_.get());
  rx_.after = nullptr;
  const size_t before = rx_.bytes.size();
  Send({0x02});
  EXPECT_TRUE(WaitBytes(before + 16));
  ApplicationHandleException = nullptr;
}

TEST_F(Port, OpeningAMissingOrBusyPortFailsWithItsOwnError) {
  setenv("K58_COM17", "/nonexistent/ttyRADIO", 1);
  port_->SetComNumber(17);
  try {
    port_->SetOpen(true);
    FAIL() << "opened a missing port";
  } catch (const EBadId& e) {
    EXPECT_EQ(e.ErrorCode, ecBadId);
    EXPECT_EQ(e.Message(), "ie_BadId - Specified comport doesn't exist");
  }
  EXPECT_FALSE(port_->Open());
  EXPECT_EQ(port_->Dispatcher(), nullptr);
  unsetenv("K58_COM17");

  port_->SetComNumber(kCom);
  const int other = open(radio_->SlavePath().c_str(), O_RDWR | O_NOCTTY);
  ASSERT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
  try {
    port_->SetOpen(true);
    FAIL() << "opened a busy port";
  } catch (const EAlreadyOpen& e) {
    EXPECT_EQ(e.ErrorCode, ecAlreadyOpen);
    EXPECT_EQ(e.Message(), "ie_Open - device already open");
  }
  close(other);
  port_->SetOpen(true);
  EXPECT_TRUE(port_->Open());
}

TEST_F(Port, APortTheUserMayNotOpenSaysWhatIsNeeded) {
  if (geteuid() == 0) GTEST_SKIP() << "root opens any device node";
  chmod(radio_->SlavePath().c_str(), 0);
  try {
    port_->SetOpen(true);
    FAIL() << "opened a device without permission";
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.ErrorCode, 5);
    EXPECT_NE(e.Message().find("dialout"), String::npos) << e.Message();
  }
}

namespace {

// A device layer whose open fails with a chosen system error.
class RefusingDispatcher : public TSioWin32Dispatcher {
public:
  RefusingDispatcher(TSioCustomComPort* owner, DWORD error) : TSioWin32Dispatcher(owner), error_(error) {}
  intptr_t OpenDevice(const char*, Cardinal, Cardinal) override {
    SetLastError(error_);
    return -1;
  }

private:
  DWORD error_;
};

}  // namespace

TEST_F(Port, EachOpenFailureBecomesItsException) {
  const struct {
    DWORD error;
    const char* cls;
    const char* text;  // part of the message
  } rows[] = {{ERROR_FILE_NOT_FOUND, "EBadId", "ie_BadId"},
              {ERROR_PATH_NOT_FOUND, "EBadId", "ie_BadId"},
              {ERROR_SHARING_VIOLATION, "EAlreadyOpen", "ie_Open - device already open"},
              {ERROR_ACCESS_DENIED, "EInOutError", "membership of the dialout group"},
              {ERROR_GEN_FAILURE, "EInOutError", "not working"}};
  for (const auto& r : rows) {
    port_->DispatcherFactory = [&r](TSioCustomComPort* p) { return new RefusingDispatcher(p, r.error); };
    try {
      port_->SetOpen(true);
      ADD_FAILURE() << "opened with error " << r.error;
    } catch (const Exception& e) {
      EXPECT_STREQ(e.ClassName(), r.cls) << r.error;
      EXPECT_NE(e.Message().find(r.text), String::npos) << e.Message();
    }
    EXPECT_FALSE(port_->Open());
    EXPECT_EQ(port_->Dispatcher(), nullptr);
  }
}

TEST_F(Port, WithoutANumberOrAutoOpenTheCallerIsTold) {
  TSioComPort p(nullptr);
  p.SetPromptForPort(false);
  EXPECT_THROW(p.SetOpen(true), ENoPortSelected);
  p.SetAutoOpen(false);
  EXPECT_THROW(p.GetChar(), ECommNotOpen);
  EXPECT_THROW(p.FlushInBuffer(), ECommNotOpen);
  EXPECT_EQ(p.OutBuffUsed(), 0u);
  // With AutoOpen the first use opens the port.
  port_->SetOpen(false);
  EXPECT_FALSE(port_->CharReady());
  EXPECT_TRUE(port_->Open());
}

TEST_F(Port, AHundredOpensAndClosesLeaveNothingBehind) {
  port_->SetOpen(true);
  port_->SetOpen(false);
  // Threads whose bodies have ended may take a moment to leave the process: count once they have.
  int threads = Threads();
  for (int i = 0; i < 100; ++i) {
    PumpFor(10);
    const int now = Threads();
    if (now == threads) break;
    threads = now;
  }
  const int fds = OpenDescriptors();
  for (int i = 0; i < 100; ++i) {
    port_->SetOpen(true);
    ASSERT_TRUE(port_->Open());
    port_->SetOpen(false);
  }
  EXPECT_EQ(OpenDescriptors(), fds);
  EXPECT_TRUE(PumpUntil([&] { return Threads() <= threads; }, 1000)) << Threads() << " threads, " << threads
                                                                       << " before";
}

TEST_F(Port, TraceAndLogAreWrittenWhenThePortCloses) {
  TempDir dir;
  TraceAndLogTo(dir.File("SERL.TRC"), dir.File("SERL.LOG"));
  port_->SetOpen(true);
  EXPECT_EQ(port_->Tracing(), tlOn);
  EXPECT_EQ(Exchange(kProgram, 1), Bytes{sim_test::kAck});
  port_->SetOpen(false);
  EXPECT_EQ(port_->Tracing(), tlOff);
  EXPECT_EQ(port_->Logging(), tlOff);
  EXPECT_EQ(ReadText(dir.File("SERL.TRC")), "Transmit: \nPROGRAM\n\nReceive: \n[06]");
  const std::string log = ReadText(dir.File("SERL.LOG"));
  for (const char* s : {"SERL v4.05", "Device: COM20", "WriteCom      00000007  PROGRAM", "ReadCom       00000001  [06]",
                        "Avail         00000001", "Window"})
    EXPECT_NE(log.find(s), std::string::npos) << s << "\n" << log;
}

TEST_F(Port, ATraceThatCannotBeWrittenIsReportedAfterThePortIsClosed) {
  TempDir dir;
  TraceAndLogTo(dir.File("no such folder/SERL.TRC"), dir.File("SERL.LOG"));
  std::vector<String> events;
  port_->SetOnPortClose(TNotifyEvent([&](TObject*) { events.push_back("closed"); }));
  port_->SetOpen(true);
  EXPECT_EQ(Exchange(kProgram, 1), Bytes{sim_test::kAck});
  try {
    port_->SetOpen(false);
    ADD_FAILURE() << "no error";
  } catch (const Exception& e) {
    events.push_back("error");
  }
  // Closed first, then told; the log was still written, and both have ended as after a written dump.
  EXPECT_EQ(events, (std::vector<String>{"closed", "error"}));
  EXPECT_TRUE(Closed());
  EXPECT_EQ(port_->Tracing(), tlOff);
  EXPECT_EQ(port_->Logging(), tlOff);
  EXPECT_NE(ReadText(dir.File("SERL.LOG")).find("WriteCom      00000007  PROGRAM"), std::string::npos);
  // The device was let go: the port opens again and talks.
  port_->SetOpen(true);
  EXPECT_EQ(Exchange(kProgram, 1), Bytes{sim_test::kAck});
  port_->SetOpen(false);
}

// The main thread writing and asking for the output count while the port's threads take in a stream from
// the far end: both streams arrive whole and in order, and the threads share the line state meanwhile.
TEST(PortDuplex, BytesFlowBothWaysAtOnceWithoutLossOrReordering) {
  constexpr int kDuplexCom = 21;
  constexpr size_t kTotal = 16384;
  Pty pty;
  pty.Attach(kDuplexCom);
  Bytes toPort(kTotal), fromPort(kTotal);
  for (size_t i = 0; i < kTotal; ++i) {
    toPort[i] = static_cast<uint8_t>(i * 7 % 251);
    fromPort[i] = static_cast<uint8_t>(i * 13 % 241);
  }
  TSioComPort port(nullptr);
  port.SetComNumber(kDuplexCom);
  port.SetBaud(115200);
  port.SetOutSize(1000);
  Receiver rx;
  rx.Attach(port);
  port.SetOpen(true);
  ASSERT_TRUE(port.Open());

  Bytes farEnd;
  std::thread far([&] {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    size_t sent = 0;
    while ((sent < kTotal || farEnd.size() < kTotal) && std::chrono::steady_clock::now() < deadline) {
      if (sent < kTotal)
        sent += pty.Send(Bytes(toPort.begin() + static_cast<long>(sent),
                               toPort.begin() + static_cast<long>(std::min(sent + 256, kTotal))));
      const Bytes got = pty.Receive(1, 2);
      farEnd.insert(farEnd.end(), got.begin(), got.end());
    }
  });
  // Each time the writer has made room, the room is filled exactly: the ring is full at every point of its
  // cycle, also while its data wraps around the end.
  size_t put = 0;
  PumpUntil(
      [&] {
        const size_t room = std::min<size_t>(port.OutSize() - port.OutBuffUsed(), kTotal - put);
        if (room > 0) {
          port.PutBlock(fromPort.data() + put, static_cast<Word>(room));
          put += room;
        }
        return put == kTotal && rx.bytes.size() >= kTotal;
      },
      20000);
  far.join();
  port.SetOpen(false);
  EXPECT_EQ(put, kTotal);
  EXPECT_TRUE(rx.bytes == toPort) << rx.bytes.size() << " bytes received";
  EXPECT_TRUE(farEnd == fromPort) << farEnd.size() << " bytes sent";
}

TEST_F(Port, GarbageBurstsAndAVanishedDeviceNeitherCrashNorHang) {
  Bytes garbage;
  for (int i = 0; i < 20000; ++i) garbage.push_back(static_cast<uint8_t>(i * 13));
  radio_->AddFault({sim_test::Step::Handshake, sim_test::FaultKind::Long, -1, 0, garbage});
  port_->SetOpen(true);
  Send(kProgram);
  ASSERT_TRUE(WaitBytes(20001, 5000));
  EXPECT_EQ(Bytes(rx_.bytes.begin() + 1, rx_.bytes.end()), garbage);

  radio_->Disconnect();
  Send({0x02});  // accepted into the ring; the vanished line drops it
  EXPECT_TRUE(PumpUntil([&] { return port_->OutBuffUsed() == 0; }, 2000));
  const auto begin = std::chrono::steady_clock::now();
  port_->SetOpen(false);
  EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(2));
  // The device node is gone with the radio: the port no longer exists.
  EXPECT_THROW(port_->SetOpen(true), EBadId);
}

TEST_F(Port, SettersApplyToTheOpenLine) {
  port_->SetOpen(true);
  port_->SetBaud(9600);
  EXPECT_EQ(radio_->CurrentLine().baud, 9600u);
  port_->SetStopBits(1);
  EXPECT_EQ(radio_->CurrentLine().stopBits, 1);
  EXPECT_THROW(port_->SetDataBits(7), EInOutError);  // a pseudo-terminal keeps 8 data bits
  port_->SetDataBits(8);

  port_->SetBufferFull(5000);
  EXPECT_EQ(port_->BufferFull(), 3686);
  port_->SetHWFlowOptions(THWFlowOptionSet{hwfUseDTR});
  port_->SetDTR(false);
  EXPECT_TRUE(port_->DTR());  // DTR belongs to the flow control
  port_->SetHWFlowOptions(THWFlowOptionSet());
  port_->SetDTR(false);
  EXPECT_FALSE(port_->DTR());
  port_->SetRS485Mode(true);
  EXPECT_FALSE(port_->RTS());
}

TEST_F(Port, ANewNumberReopensOnTheNewPortWithTheSameTrigger) {
  sim_test::RadioSim second;
  second.Attach(kCom - 1);
  port_->SetAvailLength(2);
  port_->SetOpen(true);
  port_->SetComNumber(kCom - 1);
  ASSERT_TRUE(port_->Open());
  EXPECT_EQ(port_->Dispatcher()->DeviceTitle, "COM19");
  EXPECT_EQ(port_->Dispatcher()->AvailThreshold(), 2u);
  Send(kProgram);
  EXPECT_TRUE(second.WaitUntil([&] { return second.HostBytes().size() == 7; }, 2000));
  EXPECT_TRUE(radio_->HostBytes().empty());
}

TEST_F(Port, OpenedWhileLoadingOpensWhenLoaded) {
  port_->SetLoading(true);
  port_->SetOpen(true);
  EXPECT_EQ(port_->Dispatcher(), nullptr);
  port_->SetLoading(false);
  port_->Loaded();
  EXPECT_TRUE(port_->Open());
  EXPECT_NE(port_->Dispatcher(), nullptr);
}

namespace {

// A dialog that carries a port in its form text, as the application's read and write dialogs do.
class TPortTestDialog : public TComponent {
  K58_CLASS(TPortTestDialog, TComponent)
  explicit TPortTestDialog(TComponent* AOwner) : TComponent(AOwner) {}
  void myPortTrigger(TObject*, Word, Word Count, Word) { received += Count; }
  void GetChildren(TGetChildProc Proc, TComponent*) override {
    for (Integer i = 0; i < ComponentCount(); ++i) Proc(Components(i));
  }
  int received = 0;
};

}  // namespace

K58_IMPLEMENT_CLASS(TPortTestDialog) { b.Method("myPortTrigger", &TPortTestDialog::myPortTrigger); }

TEST_F(Port, StreamsFromAFormAndOpensOnceLoaded) {
  port_.reset();
  TPortTestDialog dialog(nullptr);
  ReadComponentFromText(R"(object fReadRadio: TPortTestDialog
  object myPort: TSioComPort
    Baud = 2400
    StopBits = 2
    Open = True
    BufferFull = 3072
    BufferResume = 1024
    TraceName = 'READ.TRC'
    ComNumber = 20
    OnTrigger = myPortTrigger
  end
end
)",
                        &dialog, "TFREADRADIO");
  auto* port = dynamic_cast<TSioComPort*>(dialog.FindComponent("myPort"));
  ASSERT_NE(port, nullptr);
  EXPECT_TRUE(port->Open());  // opened in Loaded, after the number was read
  EXPECT_EQ(port->BufferFull(), 3072);
  EXPECT_EQ(port->BufferResume(), 1024);
  EXPECT_EQ(port->TraceName(), "READ.TRC");
  EXPECT_TRUE(port->OnTrigger().SameAs(TTriggerEvent(&dialog, &TPortTestDialog::myPortTrigger)));
  port->PutBlock(kProgram.data(), 7);
  EXPECT_TRUE(PumpUntil([&] { return dialog.received == 1; }, 2000));
  const String text = WriteComponentToText(&dialog);
  EXPECT_NE(text.find("BufferFull = 3072"), String::npos) << text;
  EXPECT_EQ(text.find("InSize"), String::npos) << text;  // defaults are not written
}

TEST_F(Port, PublishesItsPropertiesWithTheirDefaults) {
  TClass cls = TSioComPort::StaticClass();
  const char* names[] = {"DeviceLayer", "ComNumber", "Baud", "PromptForPort", "Parity", "DataBits", "StopBits",
                         "InSize", "OutSize", "AutoOpen", "Open", "DTR", "RTS", "HWFlowOptions", "SWFlowOptions",
                         "XOnChar", "XOffChar", "BufferFull", "BufferResume", "Tracing", "TraceSize", "TraceName",
                         "TraceHex", "TraceAllHex", "Logging", "LogSize", "LogName", "LogHex", "LogAllHex",
                         "UseMSRShadow", "UseEventWord", "CommNotificationLevel", "TapiMode", "RS485Mode",
                         "OnPortClose", "OnPortOpen", "OnTrigger", "OnTriggerAvail", "OnTriggerData",
                         "OnTriggerStatus", "OnTriggerTimer", "OnTriggerLineError", "OnTriggerModemStatus",
                         "OnTriggerOutbuffFree", "OnTriggerOutbuffUsed", "OnTriggerOutSent", "Tag", "Version"};
  for (const char* n : names) EXPECT_NE(cls->FindProperty(n), nullptr) << n;
  TSioComPort p(nullptr);
  EXPECT_EQ(p.Baud(), 19200);
  EXPECT_EQ(p.TraceName(), "SERL.TRC");
  EXPECT_EQ(p.LogName(), "SERL.LOG");
  EXPECT_EQ(p.XOnChar(), 17);
  EXPECT_EQ(p.Version(), "v4.05");
  p.SetVersion("v9");
  EXPECT_EQ(p.Version(), "v4.05");
  p.SetUseMSRShadowProp(false);
  EXPECT_TRUE(p.UseMSRShadow());
}

TEST_F(Port, AssignCopiesTheSettingsButNotTheOpenState) {
  port_->SetOpen(true);
  port_->SetAvailLength(3);
  TSioComPort copy(nullptr);
  copy.Assign(port_.get());
  EXPECT_EQ(copy.ComNumber(), kCom);
  EXPECT_EQ(copy.Baud(), 2400);
  EXPECT_EQ(copy.StopBits(), 2);
  EXPECT_EQ(copy.AvailLength(), 3);
  EXPECT_FALSE(copy.Open());
  EXPECT_TRUE(copy.OnTrigger().SameAs(port_->OnTrigger()));
}
