// The dispatcher core over a pseudo-terminal, with the worker threads left out: each test runs the dispatch
// and writer passes itself, so ring, peek and trigger behaviour is exact.
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/classes/Streams.h"
#include "platform/win/core/Clock.h"
#include "platform/win/core/WinBase.h"
#include "serial/SioExcept.h"
#include "serial/SioWin32.h"
#include "tests/serial/SerialTestSupport.h"

using namespace serial_test;

namespace {

constexpr int kCom = 18;

// A dispatcher without threads.
class ManualDispatcher : public TSioWin32Dispatcher {
public:
  ManualDispatcher() : TSioWin32Dispatcher(nullptr) {}
  void StartThreads() override {}
  Integer WriteLineBlock(DCB& Block) override {
    ++lineWrites;
    return TSioWin32Dispatcher::WriteLineBlock(Block);
  }
  void SetLogTimeBase(Cardinal ms) { logTimeBase_ = ms; }
  // As after a write the device took only the first n bytes of.
  void WritePart(Cardinal n) {
    Guard out(outLock_);
    AdvanceOutput(n);
  }
  int lineWrites = 0;
};

// One window target: its handler runs a plan on every notification and records what it saw.
struct Target {
  std::function<void(TSioBaseDispatcher&, WPARAM)> plan;
  std::vector<WPARAM> counts;
  Bytes read;
  HWND window = nullptr;
};

TSioBaseDispatcher* g_dispatcher = nullptr;

LRESULT TargetProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg != SIO_TRIGGERAVAIL) return DefWindowProc(w, msg, wp, lp);
  auto* t = reinterpret_cast<Target*>(GetWindowLongPtr(w, GWLP_USERDATA));
  t->counts.push_back(wp);
  if (t->plan) t->plan(*g_dispatcher, wp);
  return 0;
}

// Reads n bytes through the dispatcher into the target's record.
std::function<void(TSioBaseDispatcher&, WPARAM)> ReadBytes(Target& t, int n) {
  return [&t, n](TSioBaseDispatcher& d, WPARAM) {
    for (int i = 0; i < n; ++i) {
      char c;
      if (d.ReadByte(c) != 0) break;
      t.read.push_back(static_cast<uint8_t>(c));
    }
  };
}

class Dispatcher : public ::testing::Test {
protected:
  void SetUp() override {
    pty_.Attach(kCom);
    static bool registered = false;
    if (!registered) {
      WNDCLASS wc;
      wc.lpfnWndProc = TargetProc;
      wc.hInstance = HInstance;
      wc.lpszClassName = "sioTestTarget";
      RegisterClass(&wc);
      registered = true;
    }
  }
  void TearDown() override {
    for (auto& t : targets_) {
      if (d_ && t->window) d_->RemoveWindowTarget(t->window);
      DestroyWindow(t->window);
    }
    if (d_) FreeObject(d_);
    g_dispatcher = nullptr;
  }

  void Open(Cardinal outSize = 4096) {
    d_ = new ManualDispatcher();
    g_dispatcher = d_;
    ASSERT_EQ(d_->OpenLine("\\\\.\\COM18", 2400, 0, 8, 2, 4096, outSize, kOptionDtrOn | kOptionRtsOn), 0);
    COMMTIMEOUTS t;
    t.ReadIntervalTimeout = MAXDWORD;
    SetCommTimeouts(d_->Device(), &t);
    d_->SetAvailThreshold(1);
    d_->SetTargetState(1);  // the port has a handler
  }

  Target& AddTarget() {
    targets_.push_back(std::make_unique<Target>());
    Target& t = *targets_.back();
    t.window = CreateWindowEx(0, "sioTestTarget", "", 0, 0, 0, 0, 0, nullptr, nullptr, HInstance, nullptr);
    SetWindowLongPtr(t.window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&t));
    d_->AddWindowTarget(t.window);
    return t;
  }

  // Sends bytes from the far end and runs one dispatch pass once they are in the device's queue.
  bool Arrive(const Bytes& bytes) {
    pty_.Send(bytes);
    return Pass(bytes.size());
  }
  bool Pass(size_t atLeast) {
    PumpUntil(
        [&] {
          COMSTAT s;
          ClearCommError(d_->Device(), nullptr, &s);
          return s.cbInQue >= atLeast;
        },
        1000);
    d_->FillInputRing();
    return d_->CheckAvail();
  }

  Pty pty_;
  ManualDispatcher* d_ = nullptr;
  std::vector<std::unique_ptr<Target>> targets_;
};

Bytes Text(const char* s) { return Bytes(s, s + std::string(s).size()); }

}  // namespace

TEST_F(Dispatcher, AHandlerOnlyPeeksAndTheRingAdvancesAfterwards) {
  Open();
  Target& t = AddTarget();
  std::vector<Cardinal> countdown;
  char first = 0;
  t.plan = [&](TSioBaseDispatcher& d, WPARAM n) {
    for (WPARAM i = 0; i < n; ++i) {
      char c;
      ASSERT_EQ(d.ReadByte(c), 0);
      t.read.push_back(static_cast<uint8_t>(c));
      countdown.push_back(d.InputCount());
    }
    EXPECT_FALSE(d.HasInput());
    d.PeekAt(1, first);  // the read position has not moved
  };
  EXPECT_TRUE(Arrive(Text("ABCDE")));
  EXPECT_EQ(t.counts, std::vector<WPARAM>{5});
  EXPECT_EQ(t.read, Text("ABCDE"));
  EXPECT_EQ(countdown, (std::vector<Cardinal>{4, 3, 2, 1, 0}));
  EXPECT_EQ(first, 'A');
  EXPECT_EQ(d_->InputCount(), 0u);
  EXPECT_FALSE(d_->HasInput());
  char c;
  EXPECT_EQ(d_->ReadByte(c), ecBufferIsEmpty);
}

TEST_F(Dispatcher, UnreadBytesWaitForNewInputAndAreAnnouncedWithIt) {
  Open();
  Target& t = AddTarget();
  t.plan = ReadBytes(t, 2);
  EXPECT_FALSE(Arrive(Text("ABCDE")));  // fewer read than announced
  EXPECT_EQ(d_->InputCount(), 3u);
  EXPECT_FALSE(d_->CheckAvail());  // nothing new: no second notification
  EXPECT_EQ(t.counts.size(), 1u);
  t.plan = ReadBytes(t, 5);
  EXPECT_TRUE(Arrive(Text("FG")));
  EXPECT_EQ(t.counts, (std::vector<WPARAM>{5, 5}));
  EXPECT_EQ(t.read, Text("ABCDEFG"));
}

TEST_F(Dispatcher, TwoTargetsAdvanceByTheLargerCount) {
  Open();
  Target& a = AddTarget();
  Target& b = AddTarget();
  a.plan = ReadBytes(a, 2);
  b.plan = ReadBytes(b, 4);
  Arrive(Text("ABCDEF"));
  EXPECT_EQ(a.read, Text("AB"));
  EXPECT_EQ(b.read, Text("ABCD"));  // each target reads from the same place
  EXPECT_EQ(d_->InputCount(), 2u);
  char c;
  ASSERT_EQ(d_->ReadByte(c), 0);
  EXPECT_EQ(c, 'E');
}

TEST_F(Dispatcher, PurgingInsideAHandlerCountsEverythingAsRead) {
  Open();
  Target& t = AddTarget();
  t.plan = [&](TSioBaseDispatcher& d, WPARAM) {
    ReadBytes(t, 1)(d, 0);
    d.PurgeInput();
  };
  Arrive(Text("ABCDEF"));
  EXPECT_EQ(d_->InputCount(), 0u);
  EXPECT_FALSE(d_->HasInput());
}

TEST_F(Dispatcher, NoThresholdNoNotification) {
  Open();
  Target& t = AddTarget();
  d_->SetAvailThreshold(0);
  EXPECT_FALSE(Arrive(Text("ABC")));
  EXPECT_TRUE(t.counts.empty());
  EXPECT_EQ(d_->InputCount(), 3u);
}

TEST_F(Dispatcher, AFullRingLeavesTheRestInTheDeviceAndKeepsOrder) {
  Open();
  d_->SetAvailThreshold(0);
  auto pattern = [](size_t i) { return static_cast<uint8_t>(i % 251); };
  size_t sent = 0;
  // Feed as the line takes it until the ring is full and more waits in the device.
  for (int i = 0; i < 2000 && !(d_->InputCount() == kInRingSize && sent >= kInRingSize + 100); ++i) {
    Bytes chunk;
    for (size_t k = 0; k < 512; ++k) chunk.push_back(pattern(sent + k));
    if (sent < kInRingSize + 100) sent += pty_.Send(chunk);
    PumpFor(1);
    d_->FillInputRing();
  }
  ASSERT_EQ(d_->InputCount(), kInRingSize);
  COMSTAT s;
  ASSERT_TRUE(PumpUntil(
      [&] {
        ClearCommError(d_->Device(), nullptr, &s);
        return s.cbInQue > 0;
      },
      1000));
  d_->FillInputRing();  // a full ring reads nothing more
  EXPECT_EQ(d_->InputCount(), kInRingSize);
  Bytes got;
  while (got.size() < sent) {
    char c;
    while (d_->ReadByte(c) == 0) got.push_back(static_cast<uint8_t>(c));
    if (got.size() < sent) {
      PumpFor(1);
      d_->FillInputRing();
    }
  }
  ASSERT_EQ(got.size(), sent);
  for (size_t i = 0; i < got.size(); ++i) ASSERT_EQ(got[i], pattern(i)) << "byte " << i;
}

TEST_F(Dispatcher, AnAbandonedHandlerNeverGetsABytesTwice) {
  Open();
  d_->NotifyTimeoutMs = 30;
  // The handler runs on another thread and is slower than the notification waits for it.
  Bytes read;
  std::atomic<bool> done{false};
  std::atomic<HWND> window{nullptr};
  std::thread owner([&] {
    Target t;
    t.plan = [&](TSioBaseDispatcher& d, WPARAM) {
      for (;;) {
        char c;
        if (d.ReadByte(c) != 0) break;
        read.push_back(static_cast<uint8_t>(c));
        std::this_thread::sleep_for(std::chrono::milliseconds(8));
      }
      done = true;
    };
    HWND w = CreateWindowEx(0, "sioTestTarget", "", 0, 0, 0, 0, 0, nullptr, nullptr, HInstance, nullptr);
    SetWindowLongPtr(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&t));
    window = w;
    PumpUntil([&] { return done.load(); }, 5000);
    DestroyWindow(w);
  });
  while (window.load() == nullptr) std::this_thread::yield();
  d_->AddWindowTarget(window);
  EXPECT_FALSE(Arrive(Text("0123456789")));  // abandoned before it read everything
  owner.join();
  d_->RemoveWindowTarget(window);
  EXPECT_EQ(read, Text("0123456789"));
  EXPECT_EQ(d_->InputCount(), 0u);
}

TEST_F(Dispatcher, OutputFillsTheRingExactlyAndNotOneByteMore) {
  Open(64);
  Bytes block(64);
  for (int i = 0; i < 64; ++i) block[i] = static_cast<uint8_t>(0x40 + i);
  EXPECT_EQ(d_->QueueOutput(block.data(), 64), 0);
  EXPECT_EQ(d_->OutputCount(), 64u);
  EXPECT_EQ(d_->OutputRoom(), 0u);
  const uint8_t one = 1;
  EXPECT_EQ(d_->QueueOutput(&one, 1), ecOutputBufferTooSmall);
  EXPECT_EQ(d_->OutputCount(), 64u);
  d_->WriteOutRing();
  EXPECT_EQ(d_->OutputCount(), 0u);
  EXPECT_EQ(pty_.Receive(64, 1000), block);
  EXPECT_EQ(d_->QueueOutput(&one, 0), 0);  // an empty block is nothing
}

// The ring filled to the last byte while its data starts part-way through it, as when the main thread fills
// the room a partial write has just made: the writer sends it all once, in order, and the ring is empty.
TEST_F(Dispatcher, AFullRingWhoseDataWrapsIsWrittenOnceAndWhole) {
  auto writesItOnce = [this] {
    Open(64);
    Bytes first(64), second(24);
    for (int i = 0; i < 64; ++i) first[i] = static_cast<uint8_t>(i);
    for (int i = 0; i < 24; ++i) second[i] = static_cast<uint8_t>(0x80 + i);
    bool ok = d_->QueueOutput(first.data(), 64) == 0;
    d_->WritePart(24);
    ok = ok && d_->QueueOutput(second.data(), 24) == 0 && d_->OutputRoom() == 0;
    d_->WriteOutRing();
    Bytes expected(first.begin() + 24, first.end());
    expected.insert(expected.end(), second.begin(), second.end());
    return ok && pty_.Receive(64, 1000) == expected && pty_.Receive(1, 100).empty() && d_->OutputCount() == 0;
  };
  // In a child, so that a writer going round for ever ends at the alarm instead of holding up the run.
  EXPECT_EXIT(
      {
        alarm(10);
        std::_Exit(writesItOnce() ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST_F(Dispatcher, PurgingOutputEmptiesTheRing) {
  Open(64);
  const Bytes block = Text("0123456789");
  d_->QueueOutput(block.data(), 10);
  EXPECT_EQ(d_->PurgeOutput(), 0);
  EXPECT_EQ(d_->OutputCount(), 0u);
  d_->WriteOutRing();
  EXPECT_TRUE(pty_.Receive(1, 50).empty());
  EXPECT_EQ(d_->PurgeOutput(), 0);  // nothing queued
}

TEST_F(Dispatcher, LineParametersWriteOnlyChangesAndDrainFirst) {
  k58::wincore::ScopedManualClock clock(1000);
  Open();
  // The line is 2400 8N2 now; the same values write nothing and do not wait.
  d_->lineWrites = 0;
  DWORD before = GetTickCount();
  EXPECT_EQ(d_->SetLineParams(2400, 0, 8, 2), 0);
  EXPECT_EQ(d_->lineWrites, 0);
  EXPECT_EQ(GetTickCount() - before, 0u);
  // A change waits 18 character times at the rate in use: ceil(4166 * 11 * 18 / 10000) = 83 ms.
  before = GetTickCount();
  EXPECT_EQ(d_->SetLineParams(9600, 0, 8, 2), 0);
  EXPECT_EQ(d_->lineWrites, 1);
  EXPECT_EQ(GetTickCount() - before, 83u);
  Integer baud, parity, bits, stop;
  d_->GetLineParams(baud, parity, bits, stop);
  EXPECT_EQ(baud, 9600);
  EXPECT_EQ(stop, 2);
  // "Keep" codes change nothing.
  d_->lineWrites = 0;
  EXPECT_EQ(d_->SetLineParams(0, 5, 9, 3), 0);
  EXPECT_EQ(d_->lineWrites, 0);
  // A rate the device refuses comes back as the negated system error.
  EXPECT_EQ(d_->SetLineParams(12345, 0, 8, 2), -87);
}

TEST_F(Dispatcher, OpeningOnALineAlreadySetWaitsAtItsRealRate) {
  k58::wincore::ScopedManualClock clock(1000);
  Open();  // sets 2400 8N2
  FreeObject(d_);
  d_ = nullptr;
  Open();  // the line already runs at 2400 8N2: nothing written
  EXPECT_EQ(d_->AppliedBaud(), 2400u);
  const DWORD before = GetTickCount();
  d_->SetLineParams(9600, 0, 8, 2);
  EXPECT_EQ(GetTickCount() - before, 83u);  // at 2400, not at a nominal 115200
}

TEST(DispatcherStatic, MapsBaudCodes) {
  const struct {
    Integer in, out;
  } rows[] = {{0xFEFF, 115200}, {0xFF10, 110},    {0xFF14, 2400}, {0xFF17, 14400}, {0xFF19, 0xFF19},
              {0xFF1F, 56000},  {0xFF27, 256000}, {2400, 2400},   {0xFF28, 0xFF28}};
  for (const auto& r : rows) EXPECT_EQ(TSioBaseDispatcher::MapBaudCode(r.in), r.out) << std::hex << r.in;
}

TEST_F(Dispatcher, LineFlowAndModemSettings) {
  Open();
  EXPECT_EQ(d_->SetHardwareFlow(100, 200, 1), ecBadArgument);  // full below resume
  EXPECT_EQ(d_->SetHardwareFlow(5000, 10, 1), ecBadArgument);  // full above the queue
  EXPECT_EQ(d_->SetHardwareFlow(3686, 409, 1 | 8), 0);
  Cardinal hw, sw;
  char on, off;
  d_->GetFlowState(hw, sw, on, off);
  EXPECT_EQ(hw, 1u | 8u);
  EXPECT_EQ(d_->SetDtrLine(false), 1);  // DTR is under flow control: unchanged
  EXPECT_EQ(d_->SetHardwareFlow(0, 0, 0), 0);
  EXPECT_EQ(d_->SetDtrLine(false), 0);
  EXPECT_EQ(d_->SetSoftwareFlow(3072, 1024, 3), 0);
  d_->GetFlowState(hw, sw, on, off);
  EXPECT_EQ(sw, 3u);
  EXPECT_EQ(on, 17);
  EXPECT_EQ(off, 19);
  EXPECT_EQ(d_->SetFlowChars(0x21, 0x23), 0);
  d_->GetFlowState(hw, sw, on, off);
  EXPECT_EQ(on, 0x21);
  EXPECT_EQ(d_->ClearSoftwareFlow(), 0);
  d_->GetFlowState(hw, sw, on, off);
  EXPECT_EQ(sw, 0u);
  EXPECT_EQ(d_->TakeLineError(), 0);
  EXPECT_FALSE(d_->TakeBreak());
}

TEST_F(Dispatcher, TriggersSurviveASnapshot) {
  Open();
  d_->SetAvailThreshold(12);
  TTriggerSnapshot snap;
  d_->SaveTrigs(snap);
  d_->ClearTrigs();
  EXPECT_EQ(d_->AvailThreshold(), 0u);
  d_->RestoreTrigs(snap);
  EXPECT_EQ(d_->AvailThreshold(), 12u);
}

// ---- Trace ----

namespace {

std::string DumpTrace(ManualDispatcher& d, const TempDir& dir, bool inHex, bool allHex = false) {
  const std::string file = dir.File("trace.txt");
  EXPECT_EQ(d.TraceDump(file, false, inHex, allHex), 0);
  return ReadText(file);
}

}  // namespace

TEST(Trace, DumpsSectionsOfReceivedAndSentBytes) {
  TempDir dir;
  ManualDispatcher d;
  ASSERT_EQ(d.TraceAlloc(100), 0);
  d.TraceAdd('R', 'A');
  d.TraceAdd('R', 'B');
  d.TraceAdd('T', 'C');
  EXPECT_EQ(DumpTrace(d, dir, true), "Receive: \nAB\n\nTransmit: \nC");
  EXPECT_FALSE(d.TraceOn());  // the dump ends the trace
}

TEST(Trace, ShowsBytesOutsideThePrintableRangeInBrackets) {
  TempDir dir;
  const struct {
    bool inHex, allHex;
    const char* shown;
  } rows[] = {{false, false, "a [13][0][255]~"}, {true, false, "a[20][0D][00][FF]~"},
              {true, true, "[61][20][0D][00][FF][7E]"}};
  for (const auto& r : rows) {
    ManualDispatcher d;
    d.TraceAlloc(100);
    for (Byte b : {Byte('a'), Byte(' '), Byte(13), Byte(0), Byte(255), Byte('~')}) d.TraceAdd('R', b);
    EXPECT_EQ(DumpTrace(d, dir, r.inHex, r.allHex), std::string("Receive: \n") + r.shown);
  }
}

TEST(Trace, KeepsTheLastEntriesOldestFirst) {
  TempDir dir;
  ManualDispatcher d;
  d.TraceAlloc(10);
  for (int i = 0; i < 25; ++i) d.TraceAdd('R', static_cast<Byte>('a' + i));
  EXPECT_EQ(DumpTrace(d, dir, true), "Receive: \npqrstuvwxy");
}

TEST(Trace, WrapsLinesAt78Columns) {
  TempDir dir;
  ManualDispatcher d;
  d.TraceAlloc(200);
  for (int i = 0; i < 100; ++i) d.TraceAdd('T', 'x');
  for (int i = 0; i < 20; ++i) d.TraceAdd('T', 0);  // 4 columns each
  const auto lines = Lines(DumpTrace(d, dir, true));
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[1], std::string(78, 'x'));
  EXPECT_EQ(lines[2].size(), 22u + 4 * 14);  // 22 x and as many [00] as fit in 78 columns
  EXPECT_EQ(lines[3], "[00][00][00][00][00][00]");
}

TEST(Trace, EmptyOrPausedTracesWriteNothing) {
  TempDir dir;
  ManualDispatcher d;
  d.TraceAlloc(10);
  EXPECT_EQ(d.TraceDump(dir.File("none.txt"), false, true, false), 0);
  EXPECT_FALSE(Exists(dir.File("none.txt")));
  d.TraceAlloc(10);
  d.TracePause();
  d.TraceAdd('R', 'x');
  d.TraceResume();
  d.TraceAdd('R', 'y');
  EXPECT_EQ(DumpTrace(d, dir, true), "Receive: \ny");
  EXPECT_EQ(d.TraceAlloc(4000001), ecBadArgument);
}

TEST(Trace, AppendsToAnExistingFileAndReportsAFileItCannotWrite) {
  TempDir dir;
  ManualDispatcher d;
  d.TraceAlloc(10);
  d.TraceAdd('R', 'a');
  d.TraceDump(dir.File("t.txt"), false, true, false);
  d.TraceAlloc(10);
  d.TraceAdd('T', 'b');
  EXPECT_EQ(d.TraceDump(dir.File("t.txt"), true, true, false), 0);
  EXPECT_EQ(ReadText(dir.File("t.txt")), "Receive: \naTransmit: \nb");
  d.TraceAlloc(10);
  d.TraceAdd('T', 'b');
  EXPECT_LT(d.TraceDump(dir.File("missing/t.txt"), false, true, false), 0);
}

// ---- Dispatch log ----

TEST(Log, DumpsTimeStampedRecords) {
  k58::wincore::ScopedManualClock clock(0);
  TempDir dir;
  ManualDispatcher d;
  d.DeviceTitle = "COM18";
  d.SetLogTimeBase(MsClock());
  d.LogAlloc(4096);
  clock->Advance(12345);
  d.LogAdd(1, 1, 3, "a\rb", 3);
  d.LogAdd(1, 2, 2, "OK", 2);
  d.LogAdd(2, 5, 7, nullptr, 0);
  d.LogAdd(7, 17, 0x1234, nullptr, 0);
  d.LogAdd(9, 16, 1, nullptr, 0);
  d.LogAdd(3, 4, 0x31, nullptr, 0);
  const Byte state = 3;
  d.LogAdd(5, 15, 0, &state, 1);
  const std::string file = dir.File("log.txt");
  ASSERT_EQ(d.LogDump(file, false, true, false), 0);
  const auto lines = Lines(ReadText(file));
  ASSERT_EQ(lines.size(), 14u);
  EXPECT_EQ(lines[0], "SERL v4.05");
  EXPECT_EQ(lines[1], "Compiler : Unknown");
  EXPECT_EQ(lines[2].rfind("Operating System : Unknown", 0), 0u) << lines[2];
  EXPECT_EQ(lines[3], "Device: COM18");
  EXPECT_EQ(lines[4].rfind("Date/time: ", 0), 0u);
  EXPECT_EQ(lines[5], "Time      Type      SubType       Data      OtherData");
  EXPECT_EQ(lines[6], "--------  --------  ------------  --------  ---------");
  EXPECT_EQ(lines[7], "0012.345  Dispatch  ReadCom       00000003  a[0D]b");
  EXPECT_EQ(lines[8], "0012.345  Dispatch  WriteCom      00000002  OK");
  EXPECT_EQ(lines[9], "0012.345  Trigger   Avail         00000007  ");
  EXPECT_EQ(lines[10], "0012.345  TrgHdAlc  Window        00001234  ");
  EXPECT_EQ(lines[11], "0012.345  TrDatChg  Avail         00000001  ");
  EXPECT_EQ(lines[12], "0012.345  Error                   00000031   (DCTS CTS DSR)");
  EXPECT_EQ(lines[13], "0012.345  TrigAllc                00000000  (Output buffer free)");
  EXPECT_FALSE(d.LogOn());
}

TEST(Log, RecordsAreStoredWholeOrNotAtAll) {
  TempDir dir;
  ManualDispatcher d;
  d.LogAlloc(100);
  const Bytes big(90, 'x');
  d.LogAdd(1, 1, 90, big.data(), 90);  // 16 + 90 does not fit: dropped whole
  const Bytes twenty(20, 'y');
  for (Cardinal n : {1u, 2u, 3u}) d.LogAdd(1, 2, n, twenty.data(), 20);  // 36 bytes each: the first goes
  const std::string file = dir.File("log.txt");
  ASSERT_EQ(d.LogDump(file, false, true, false), 0);
  const auto lines = Lines(ReadText(file));
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_NE(lines[7].find("00000002  yyyyyyyyyyyyyyyyyyyy"), std::string::npos) << lines[7];
  EXPECT_NE(lines[8].find("00000003  yyyyyyyyyyyyyyyyyyyy"), std::string::npos) << lines[8];
}

TEST(Log, ALargeReadIsDumpedInFullOnIndentedLines) {
  TempDir dir;
  ManualDispatcher d;
  d.LogAlloc(20000);
  const Bytes data(8000, 'z');  // larger than any queue size the dispatcher was given
  d.LogAdd(1, 1, 8000, data.data(), 8000);
  const std::string file = dir.File("log.txt");
  ASSERT_EQ(d.LogDump(file, false, true, false), 0);
  const auto lines = Lines(ReadText(file));
  size_t zs = 0;
  // The time column widens once the clock passes 10,000 s, so the first line is measured from its data.
  ASSERT_GT(lines.size(), 8u);
  const size_t firstData = lines[7].find('z');
  ASSERT_NE(firstData, std::string::npos);
  EXPECT_LE(lines[7].size() - firstData, 78u - 44u);
  for (size_t i = 7; i < lines.size(); ++i) {
    if (i > 7) {
      EXPECT_LE(lines[i].size(), 78u);
      EXPECT_EQ(lines[i].substr(0, 44), std::string(44, ' '));
    }
    zs += std::count(lines[i].begin(), lines[i].end(), 'z');
  }
  EXPECT_EQ(zs, 8000u);
}

TEST(Log, AnEmptyLogWritesNoFileAndAFailedDumpKeepsTheRecords) {
  TempDir dir;
  ManualDispatcher d;
  d.LogAlloc(100);
  EXPECT_EQ(d.LogDump(dir.File("none.txt"), false, true, false), 0);
  EXPECT_FALSE(Exists(dir.File("none.txt")));
  d.LogAlloc(200);
  d.LogAdd(9, 16, 5, nullptr, 0);
  EXPECT_LT(d.LogDump(dir.File("missing/log.txt"), false, true, false), 0);
  ASSERT_EQ(d.LogDump(dir.File("log.txt"), false, true, false), 0);
  EXPECT_NE(ReadText(dir.File("log.txt")).find("00000005"), std::string::npos);
}
