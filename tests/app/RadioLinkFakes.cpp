#include "tests/app/RadioLinkFakes.h"

#include <algorithm>
#include <iterator>

#include "platform/rtl/Exception.h"
#include "platform/win/core/WinUser.h"

namespace radiotest {

namespace {

constexpr uint64_t Ms = k58::wincore::NanosecondsPerMillisecond;
const uint8_t Program[] = {'P', 'R', 'O', 'G', 'R', 'A', 'M'};

uint64_t Now() { return k58::wincore::Clock().Now(); }

}  // namespace

// The port the protocol owns.
class TFakePort : public IRadioPort {
public:
  explicit TFakePort(TFakeLink& Link) : FLink(Link) {}

  void SetComNumber(Word Number) override { FLink.ComNumber = Number; }
  void SetLine(Integer Baud, Word DataBits, Word StopBits) override {
    FLink.Baud = Baud;
    FLink.DataBits = DataBits;
    FLink.StopBits = StopBits;
  }
  void SetOpen(bool Value) override {
    FLink.Sync();
    if (Value == FLink.Open) return;
    if (Value) {
      if (FLink.OpenFailure) throw Exception(*FLink.OpenFailure);
      FLink.Open = true;
      ++FLink.OpenCount;
      return;
    }
    FLink.Open = false;
    FLink.FDevice.clear();
    FLink.FInput.clear();
    FLink.FPending.reset();
    FLink.FNewInput = false;
  }
  bool GetOpen() const override { return FLink.Open; }
  void FlushInBuffer() override {
    FLink.EnsureOpen();
    FLink.Sync();
    FLink.FDevice.clear();
    FLink.FInput.clear();
    FLink.FNewInput = false;
  }
  void FlushOutBuffer() override {
    FLink.EnsureOpen();
    FLink.Sync();
    // Output still on its way never reaches the radio.
    std::vector<TFakeLink::TEvent> Keep;
    while (!FLink.FEvents.empty()) {
      if (FLink.FEvents.top().Kind != TFakeLink::TEventKind::HostByte) Keep.push_back(FLink.FEvents.top());
      FLink.FEvents.pop();
    }
    for (auto& E : Keep) FLink.FEvents.push(E);
    FLink.FHostLineFree = std::min(FLink.FHostLineFree, Now());
  }
  void PutBlock(const Byte* Data, Word Len) override {
    FLink.EnsureOpen();
    FLink.Sync();
    FLink.HostSend(Data, Len);
  }
  bool CharReady() override {
    FLink.EnsureOpen();
    return !FLink.FInput.empty();
  }
  Byte GetChar() override {
    FLink.EnsureOpen();
    if (FLink.FInput.empty()) throw Exception("Buffer is empty");
    const Byte Value = FLink.FInput.front();
    FLink.FInput.pop_front();
    return Value;
  }
  Cardinal OutBuffUsed() override {
    FLink.Sync();
    return FLink.Open ? FLink.HostPending() : 0;
  }
  void SetOnTrigger(TTriggerHandler Handler) override { FLink.FOnTrigger = std::move(Handler); }

private:
  TFakeLink& FLink;
};

TFakeLink::TFakeLink(const TLinkOptions& Options) : Memory(sim::RadioSim::DefaultMemory()), FOptions(Options) {}

std::unique_ptr<IRadioPort> TFakeLink::MakePort() { return std::make_unique<TFakePort>(*this); }

void TFakeLink::SetTypeCode(const std::string& Code) {
  for (size_t I = 0; I < 4; ++I) Memory[sim::kIdentAddress + 1 + I] = I < Code.size() ? Code[I] : ' ';
}

Bytes TFakeLink::HostBytes() const {
  Bytes Out;
  for (const auto& L : FLog)
    if (L.FromHost) Out.push_back(L.Value);
  return Out;
}

Bytes TFakeLink::RadioBytes() const {
  Bytes Out;
  for (const auto& L : FLog)
    if (!L.FromHost) Out.push_back(L.Value);
  return Out;
}

uint64_t TFakeLink::NowMs() const { return Now() / Ms; }

void TFakeLink::EnsureOpen() {
  // The component opens itself when its buffers are used while it is closed.
  if (!Open) TFakePort(*this).SetOpen(true);
}

void TFakeLink::Schedule(uint64_t At, TEventKind Kind, uint8_t Value) { FEvents.push({At, FSeq++, Kind, Value}); }

void TFakeLink::HostSend(const Byte* Data, Word Len) {
  for (Word I = 0; I < Len; ++I) {
    const uint64_t Start = std::max(Now(), FHostLineFree);
    FHostLineFree = Start + FOptions.CharNs;
    Schedule(FHostLineFree, TEventKind::HostByte, Data[I]);
  }
}

Cardinal TFakeLink::HostPending() const {
  // Host bytes still on the line are the events of that kind not processed yet.
  auto Copy = FEvents;
  Cardinal N = 0;
  for (; !Copy.empty(); Copy.pop())
    if (Copy.top().Kind == TEventKind::HostByte) ++N;
  return N;
}

void TFakeLink::RadioSend(const Bytes& Reply, uint64_t At) {
  if (FDisconnected) return;
  for (uint8_t Value : Reply) {
    const uint64_t Start = std::max(At, FRadioLineFree);
    FRadioLineFree = Start + FOptions.CharNs;
    Schedule(FRadioLineFree, TEventKind::RadioByte, Value);
  }
}

void TFakeLink::SendFromRadio(const Bytes& Reply, uint64_t AfterMs) {
  // Outside the radio's own sequence of answers: the line's order of bytes is left alone.
  uint64_t At = Now() + AfterMs * Ms;
  for (uint8_t Value : Reply) Schedule(At += FOptions.CharNs, TEventKind::RadioByte, Value);
}

void TFakeLink::Sync() {
  const uint64_t T = Now();
  while (!FEvents.empty() && FEvents.top().At <= T) {
    const TEvent E = FEvents.top();
    FEvents.pop();
    if (E.Kind == TEventKind::HostByte) {
      if (!Open || FDisconnected) continue;
      FLog.push_back({true, E.Value, E.At});
      if (Baud != RadioBaud || DataBits != RadioDataBits || StopBits != RadioStopBits) {
        ++LineErrors;
        continue;
      }
      OnRadioByte(E.Value, E.At);
    } else {
      FLog.push_back({false, E.Value, E.At});
      if (!Open) continue;
      FDevice.push_back(E.Value);
    }
  }
}

bool TFakeLink::DispatcherFree() const {
  // The dispatcher waits for a notification to be handled, but gives up after three seconds.
  return FTriggerDepth == 0 || Now() - FTriggerStart >= 3000 * Ms;
}

void TFakeLink::Pump() {
  Sync();
  if (Open && DispatcherFree() && !FPending) {
    if (!FDevice.empty()) {
      FInput.insert(FInput.end(), FDevice.begin(), FDevice.end());
      FDevice.clear();
      FNewInput = true;
    }
    if (FNewInput && !FInput.empty()) FPending = static_cast<Word>(FInput.size());
    FNewInput = false;
  }
  if (FPending && Open && FOnTrigger && !HoldNotifications) {
    const Word Count = *FPending;
    FPending.reset();
    ++Notifications;
    if (FTriggerDepth > 0) ++NestedNotifications;
    const uint64_t OuterStart = FTriggerStart;
    ++FTriggerDepth;
    FTriggerStart = Now();
    auto Handler = FOnTrigger;
    Handler(DataAvailableMessage, Count, Count);
    --FTriggerDepth;
    FTriggerStart = OuterStart;
  }
  MSG Message;
  while (::PeekMessage(&Message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessage(&Message);
}

void TFakeLink::RunFor(uint64_t DurationMs, const std::function<bool()>& Until) {
  const uint64_t End = Now() + DurationMs * Ms;
  for (;;) {
    Pump();
    if (Until && Until()) return;
    if (Now() >= End) return;
    static_cast<k58::wincore::ManualClock&>(k58::wincore::Clock()).Advance(1);
  }
}

// --- the radio, answering like the simulated one ---

bool TFakeLink::TakeFault(sim::Step Step, int Address, sim::Fault& Out) {
  for (auto It = FFaults.begin(); It != FFaults.end(); ++It) {
    if (It->step != Step || (It->address >= 0 && It->address != Address)) continue;
    Out = *It;
    if (It->once) FFaults.erase(It);
    return true;
  }
  return false;
}

void TFakeLink::OnRadioByte(uint8_t Value, uint64_t At) {
  if (FOptions.Echo) RadioSend({Value}, At);
  if (At - FLastInput > static_cast<uint64_t>(FOptions.IdleTimeoutMs) * Ms) {
    FState = TRadioState::Idle;
    FFrame.clear();
  }
  FLastInput = At;
  FWindow.push_back(Value);
  if (FWindow.size() > sizeof Program) FWindow.erase(FWindow.begin());
  if (FWindow.size() == sizeof Program && std::equal(FWindow.begin(), FWindow.end(), Program)) {
    FWindow.clear();
    FFrame.clear();
    FState = TRadioState::Handshaken;
    Frames.push_back({sim::Step::Handshake, -1, Bytes(std::begin(Program), std::end(Program))});
    Answer(sim::Step::Handshake, -1, {sim::kAck}, At);
    return;
  }
  switch (FState) {
    case TRadioState::Idle:
      return;
    case TRadioState::Handshaken:
      if (Value == 0x02) {
        Frames.push_back({sim::Step::Ident, -1, {Value}});
        FState = TRadioState::Idented;
        Answer(sim::Step::Ident, -1, Bytes(Memory.begin() + sim::kIdentAddress, Memory.begin() + sim::kIdentAddress + 16),
               At);
      }
      return;
    case TRadioState::Idented:
      if (Value == sim::kAck) {
        Frames.push_back({sim::Step::Ready, -1, {Value}});
        FState = TRadioState::Ready;
        FLastBlock = -1;
        Answer(sim::Step::Ready, -1, {sim::kAck}, At);
      }
      return;
    case TRadioState::Ready:
      if (!FFrame.empty()) {
        FFrame.push_back(Value);
        const size_t Want = FFrame[0] == 'R' ? 4 : 12;
        if (FFrame.size() == Want) {
          Bytes Frame;
          Frame.swap(FFrame);
          const int Address = (Frame[1] << 8) | Frame[2];
          const sim::Step Kind = Frame[0] == 'R' ? sim::Step::ReadBlock : sim::Step::WriteBlock;
          HandleFrame(Kind, Address, std::move(Frame), At);
        }
      } else if (Value == 'R' || Value == 'W') {
        FFrame.push_back(Value);
      } else if (Value == sim::kAck) {
        Frames.push_back({sim::Step::BlockAck, FLastBlock, {Value}});
        Answer(sim::Step::BlockAck, FLastBlock, {sim::kAck}, At);
      } else if (Value == 'E') {
        Frames.push_back({sim::Step::End, -1, {Value}});
        FState = TRadioState::Idle;
        Answer(sim::Step::End, -1, {}, At);
      }
      return;
  }
}

void TFakeLink::HandleFrame(sim::Step Step, int Address, Bytes Frame, uint64_t At) {
  Frames.push_back({Step, Address, Frame});
  if (Frame[3] != 0x08 || Address % 8 != 0 || Address > sim::kLastBlock) return;
  FLastBlock = Address;
  if (Step == sim::Step::ReadBlock) {
    Bytes Reply = {'W', Frame[1], Frame[2], 0x08};
    Reply.insert(Reply.end(), Memory.begin() + Address, Memory.begin() + Address + 8);
    Answer(Step, Address, Reply, At);
    return;
  }
  sim::Fault Fault;
  const bool Faulty = TakeFault(Step, Address, Fault);
  if (Faulty && (Fault.kind == sim::FaultKind::Silence || Fault.kind == sim::FaultKind::Disconnect)) {
    if (Fault.kind == sim::FaultKind::Disconnect) FDisconnected = true;
    return;  // not stored
  }
  std::copy(Frame.begin() + 4, Frame.end(), Memory.begin() + Address);
  Answer(Step, Address, {sim::kAck}, At + FOptions.WriteDelayMs * Ms, Faulty ? &Fault : nullptr);
}

void TFakeLink::Answer(sim::Step Step, int Address, Bytes Reply, uint64_t At, const sim::Fault* Taken) {
  sim::Fault Fault;
  const bool Faulty = Taken ? (Fault = *Taken, true) : TakeFault(Step, Address, Fault);
  At += FOptions.ReplyDelayMs * Ms;
  if (!Faulty) {
    RadioSend(Reply, At);
    return;
  }
  using sim::FaultKind;
  switch (Fault.kind) {
    case FaultKind::Silence:
      return;
    case FaultKind::Disconnect:
      FDisconnected = true;
      return;
    case FaultKind::Delay:
      At += Fault.value * Ms;
      break;
    case FaultKind::Split: {
      size_t Pos = 0;
      for (size_t Piece = 0; Pos < Reply.size(); ++Piece) {
        size_t N = Piece < Fault.bytes.size() ? std::max<size_t>(Fault.bytes[Piece], 1) : 1;
        N = std::min(N, Reply.size() - Pos);
        if (Pos > 0) At = std::max(At, FRadioLineFree) + Fault.value * Ms;
        RadioSend(Bytes(Reply.begin() + Pos, Reply.begin() + Pos + N), At);
        Pos += N;
      }
      return;
    }
    case FaultKind::Duplicate:
      RadioSend(Reply, At);
      break;
    default:
      sim::ChangeAnswer(Fault, Step, Reply);
      break;
  }
  RadioSend(Reply, At);
}

// --- the dialog ---

Integer TFakeDialog::ShowMessageBox(const String& Caption, const String& Text, Integer Kind) {
  Boxes.push_back({Caption, Text, Kind, FLink.NowMs()});
  // The box's own message loop: notifications and timers go on while the user reads it.
  FLink.RunFor(DwellMs);
  return Kind == mbQuestion || Kind == mbQuestionDefaultNo ? Answer : 1;
}

std::vector<String> TFakeDialog::Texts() const {
  std::vector<String> Out;
  for (const auto& B : Boxes) Out.push_back(B.Text);
  return Out;
}

// --- sequences and fixture ---

Bytes ReadSequence() {
  Bytes Out(std::begin(Program), std::end(Program));
  Out.push_back(0x02);
  Out.push_back(0x06);
  for (int A = 0; A <= sim::kLastBlock; A += 8) {
    Out.insert(Out.end(), {'R', static_cast<uint8_t>(A >> 8), static_cast<uint8_t>(A & 0xFF), 0x08});
    Out.push_back(0x06);
  }
  Out.push_back('E');
  return Out;
}

Bytes WriteSequence(const TMemoryImage& Image) {
  Bytes Out(std::begin(Program), std::end(Program));
  Out.push_back(0x02);
  Out.push_back(0x06);
  for (int A = 0; A <= sim::kLastBlock; A += 8) {
    Out.insert(Out.end(), {'W', static_cast<uint8_t>(A >> 8), static_cast<uint8_t>(A & 0xFF), 0x08});
    Out.insert(Out.end(), Image.begin() + ofsRadio + A, Image.begin() + ofsRadio + A + 8);
  }
  Out.push_back('E');
  return Out;
}

void RadioProtocolTest::SetUp() {
  DocumentTest::SetUp();
  SelectDefaultModelAndNewImage();
  ALL->PortName = "COM3";
  Before = ALL->Image;
}

void RadioProtocolTest::TearDown() {
  Proto.reset();
  DocumentTest::TearDown();
}

void RadioProtocolTest::Show() {
  Proto->FormShow();
  Run(100);
}

void RadioProtocolTest::PressOk() {
  OkAtMs = Link.NowMs();
  Proto->btnOkClick();
}

bool RadioProtocolTest::RunUntilClosed(uint64_t MaxMs) {
  if (!Closed) Link.RunFor(MaxMs, [this] { return Dialog.CloseRequested; });
  if (Dialog.CloseRequested && !Closed) {
    // The modal loop ends; the form's close event follows.
    Closed = true;
    ClosedAtMs = Link.NowMs();
    Proto->FormClose();
  }
  return Closed;
}

void RadioProtocolTest::Cancel() {
  Proto->btnCancelClick();
  RunUntilClosed(0);
}

}  // namespace radiotest
