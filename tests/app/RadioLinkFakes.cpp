#include "tests/app/RadioLinkFakes.h"

#include <algorithm>
#include <iterator>

#include "platform/rtl/Exception.h"
#include "platform/win/core/WinUser.h"

namespace app_test {

namespace {

constexpr uint64_t Ms = k58::wincore::NanosecondsPerMillisecond;
const uint8_t Program[] = {'P', 'R', 'O', 'G', 'R', 'A', 'M'};

uint64_t Now() { return k58::wincore::Clock().Now(); }

}  // namespace

// The port the protocol owns.
class TFakePort : public IRadioPort {
public:
  explicit TFakePort(TFakeLink& Link) : link_(Link) {}

  void SetComNumber(Word Number) override { link_.ComNumber = Number; }
  void SetLine(Integer Baud, Word DataBits, Word StopBits) override {
    link_.Baud = Baud;
    link_.DataBits = DataBits;
    link_.StopBits = StopBits;
  }
  void SetOpen(bool Value) override {
    link_.Sync();
    if (Value == link_.Open) return;
    if (Value) {
      if (link_.OpenFailure) throw Exception(*link_.OpenFailure);
      link_.Open = true;
      ++link_.OpenCount;
      return;
    }
    link_.Open = false;
    link_.device_.clear();
    link_.input_.clear();
    link_.pending_.reset();
    link_.newInput_ = false;
  }
  bool Open() const override { return link_.Open; }
  void FlushInBuffer() override {
    link_.EnsureOpen();
    link_.Sync();
    link_.device_.clear();
    link_.input_.clear();
    link_.newInput_ = false;
  }
  void FlushOutBuffer() override {
    link_.EnsureOpen();
    link_.Sync();
    // Output still on its way never reaches the radio.
    std::vector<TFakeLink::TEvent> Keep;
    while (!link_.events_.empty()) {
      if (link_.events_.top().Kind != TFakeLink::TEventKind::HostByte) Keep.push_back(link_.events_.top());
      link_.events_.pop();
    }
    for (auto& E : Keep) link_.events_.push(E);
    link_.hostLineFree_ = std::min(link_.hostLineFree_, Now());
  }
  void PutBlock(const Byte* Data, Word Len) override {
    link_.EnsureOpen();
    link_.Sync();
    link_.HostSend(Data, Len);
  }
  bool CharReady() override {
    link_.EnsureOpen();
    return !link_.input_.empty();
  }
  Byte GetChar() override {
    link_.EnsureOpen();
    if (link_.input_.empty()) throw Exception("Buffer is empty");
    const Byte Value = link_.input_.front();
    link_.input_.pop_front();
    return Value;
  }
  Cardinal OutBuffUsed() override {
    link_.Sync();
    return link_.Open ? link_.HostPending() : 0;
  }
  void SetOnTrigger(TTriggerHandler Handler) override { link_.onTrigger_ = std::move(Handler); }

private:
  TFakeLink& link_;
};

TFakeLink::TFakeLink(const TLinkOptions& Options) : Memory(sim_test::RadioSim::DefaultMemory()), options_(Options) {}

std::unique_ptr<IRadioPort> TFakeLink::MakePort() { return std::make_unique<TFakePort>(*this); }

void TFakeLink::SetTypeCode(const std::string& Code) {
  for (size_t I = 0; I < 4; ++I) Memory[sim_test::kIdentAddress + 1 + I] = I < Code.size() ? Code[I] : ' ';
}

Bytes TFakeLink::HostBytes() const {
  Bytes Out;
  for (const auto& L : log_)
    if (L.FromHost) Out.push_back(L.Value);
  return Out;
}

Bytes TFakeLink::RadioBytes() const {
  Bytes Out;
  for (const auto& L : log_)
    if (!L.FromHost) Out.push_back(L.Value);
  return Out;
}

uint64_t TFakeLink::NowMs() const { return Now() / Ms; }

void TFakeLink::EnsureOpen() {
  // The component opens itself when its buffers are used while it is closed.
  if (!Open) TFakePort(*this).SetOpen(true);
}

void TFakeLink::Schedule(uint64_t At, TEventKind Kind, uint8_t Value) { events_.push({At, seq_++, Kind, Value}); }

void TFakeLink::HostSend(const Byte* Data, Word Len) {
  for (Word I = 0; I < Len; ++I) {
    const uint64_t Start = std::max(Now(), hostLineFree_);
    hostLineFree_ = Start + options_.CharNs;
    Schedule(hostLineFree_, TEventKind::HostByte, Data[I]);
  }
}

Cardinal TFakeLink::HostPending() const {
  // Host bytes still on the line are the events of that kind not processed yet.
  auto Copy = events_;
  Cardinal N = 0;
  for (; !Copy.empty(); Copy.pop())
    if (Copy.top().Kind == TEventKind::HostByte) ++N;
  return N;
}

void TFakeLink::RadioSend(const Bytes& Reply, uint64_t At) {
  if (disconnected_) return;
  for (uint8_t Value : Reply) {
    const uint64_t Start = std::max(At, radioLineFree_);
    radioLineFree_ = Start + options_.CharNs;
    Schedule(radioLineFree_, TEventKind::RadioByte, Value);
  }
}

void TFakeLink::SendFromRadio(const Bytes& Reply, uint64_t AfterMs) {
  // Outside the radio's own sequence of answers: the line's order of bytes is left alone.
  uint64_t At = Now() + AfterMs * Ms;
  for (uint8_t Value : Reply) Schedule(At += options_.CharNs, TEventKind::RadioByte, Value);
}

void TFakeLink::Sync() {
  const uint64_t T = Now();
  while (!events_.empty() && events_.top().At <= T) {
    const TEvent E = events_.top();
    events_.pop();
    if (E.Kind == TEventKind::HostByte) {
      if (!Open || disconnected_) continue;
      log_.push_back({true, E.Value, E.At});
      if (Baud != RadioBaud || DataBits != RadioDataBits || StopBits != RadioStopBits) {
        ++LineErrors;
        continue;
      }
      OnRadioByte(E.Value, E.At);
    } else {
      log_.push_back({false, E.Value, E.At});
      if (!Open) continue;
      device_.push_back(E.Value);
    }
  }
}

bool TFakeLink::DispatcherFree() const {
  // The dispatcher waits for a notification to be handled, but gives up after three seconds.
  return triggerDepth_ == 0 || Now() - triggerStart_ >= 3000 * Ms;
}

void TFakeLink::Pump() {
  Sync();
  if (Open && DispatcherFree() && !pending_) {
    if (!device_.empty()) {
      input_.insert(input_.end(), device_.begin(), device_.end());
      device_.clear();
      newInput_ = true;
    }
    if (newInput_ && !input_.empty()) pending_ = static_cast<Word>(input_.size());
    newInput_ = false;
  }
  if (pending_ && Open && onTrigger_ && !HoldNotifications) {
    const Word Count = *pending_;
    pending_.reset();
    ++Notifications;
    if (triggerDepth_ > 0) ++NestedNotifications;
    const uint64_t OuterStart = triggerStart_;
    ++triggerDepth_;
    triggerStart_ = Now();
    auto Handler = onTrigger_;
    Handler(DataAvailableMessage, Count, Count);
    --triggerDepth_;
    triggerStart_ = OuterStart;
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

bool TFakeLink::TakeFault(sim_test::Step Step, int Address, sim_test::Fault& Out) {
  for (auto It = faults_.begin(); It != faults_.end(); ++It) {
    if (It->step != Step || (It->address >= 0 && It->address != Address)) continue;
    Out = *It;
    if (It->once) faults_.erase(It);
    return true;
  }
  return false;
}

void TFakeLink::OnRadioByte(uint8_t Value, uint64_t At) {
  if (options_.Echo) RadioSend({Value}, At);
  if (At - lastInput_ > static_cast<uint64_t>(options_.IdleTimeoutMs) * Ms) {
    state_ = TRadioState::Idle;
    frame_.clear();
  }
  lastInput_ = At;
  window_.push_back(Value);
  if (window_.size() > sizeof Program) window_.erase(window_.begin());
  if (window_.size() == sizeof Program && std::equal(window_.begin(), window_.end(), Program)) {
    window_.clear();
    frame_.clear();
    state_ = TRadioState::Handshaken;
    Frames.push_back({sim_test::Step::Handshake, -1, Bytes(std::begin(Program), std::end(Program))});
    Answer(sim_test::Step::Handshake, -1, {sim_test::kAck}, At);
    return;
  }
  switch (state_) {
    case TRadioState::Idle:
      return;
    case TRadioState::Handshaken:
      if (Value == 0x02) {
        Frames.push_back({sim_test::Step::Ident, -1, {Value}});
        state_ = TRadioState::Idented;
        Answer(sim_test::Step::Ident, -1, Bytes(Memory.begin() + sim_test::kIdentAddress, Memory.begin() + sim_test::kIdentAddress + 16),
               At);
      }
      return;
    case TRadioState::Idented:
      if (Value == sim_test::kAck) {
        Frames.push_back({sim_test::Step::Ready, -1, {Value}});
        state_ = TRadioState::Ready;
        lastBlock_ = -1;
        Answer(sim_test::Step::Ready, -1, {sim_test::kAck}, At);
      }
      return;
    case TRadioState::Ready:
      if (!frame_.empty()) {
        frame_.push_back(Value);
        const size_t Want = frame_[0] == 'R' ? 4 : 12;
        if (frame_.size() == Want) {
          Bytes Frame;
          Frame.swap(frame_);
          const int Address = (Frame[1] << 8) | Frame[2];
          const sim_test::Step Kind = Frame[0] == 'R' ? sim_test::Step::ReadBlock : sim_test::Step::WriteBlock;
          HandleFrame(Kind, Address, std::move(Frame), At);
        }
      } else if (Value == 'R' || Value == 'W') {
        frame_.push_back(Value);
      } else if (Value == sim_test::kAck) {
        Frames.push_back({sim_test::Step::BlockAck, lastBlock_, {Value}});
        Answer(sim_test::Step::BlockAck, lastBlock_, {sim_test::kAck}, At);
      } else if (Value == 'E') {
        Frames.push_back({sim_test::Step::End, -1, {Value}});
        state_ = TRadioState::Idle;
        Answer(sim_test::Step::End, -1, {}, At);
      }
      return;
  }
}

void TFakeLink::HandleFrame(sim_test::Step Step, int Address, Bytes Frame, uint64_t At) {
  Frames.push_back({Step, Address, Frame});
  if (Frame[3] != 0x08 || Address % 8 != 0 || Address > sim_test::kLastBlock) return;
  lastBlock_ = Address;
  if (Step == sim_test::Step::ReadBlock) {
    Bytes Reply = {'W', Frame[1], Frame[2], 0x08};
    Reply.insert(Reply.end(), Memory.begin() + Address, Memory.begin() + Address + 8);
    Answer(Step, Address, Reply, At);
    return;
  }
  sim_test::Fault Fault;
  const bool Faulty = TakeFault(Step, Address, Fault);
  if (Faulty && (Fault.kind == sim_test::FaultKind::Silence || Fault.kind == sim_test::FaultKind::Disconnect)) {
    if (Fault.kind == sim_test::FaultKind::Disconnect) disconnected_ = true;
    return;  // not stored
  }
  std::copy(Frame.begin() + 4, Frame.end(), Memory.begin() + Address);
  Answer(Step, Address, {sim_test::kAck}, At + options_.WriteDelayMs * Ms, Faulty ? &Fault : nullptr);
}

void TFakeLink::Answer(sim_test::Step Step, int Address, Bytes Reply, uint64_t At, const sim_test::Fault* Taken) {
  sim_test::Fault Fault;
  const bool Faulty = Taken ? (Fault = *Taken, true) : TakeFault(Step, Address, Fault);
  At += options_.ReplyDelayMs * Ms;
  if (!Faulty) {
    RadioSend(Reply, At);
    return;
  }
  using sim_test::FaultKind;
  switch (Fault.kind) {
    case FaultKind::Silence:
      return;
    case FaultKind::Disconnect:
      disconnected_ = true;
      return;
    case FaultKind::Delay:
      At += Fault.value * Ms;
      break;
    case FaultKind::Split: {
      size_t Pos = 0;
      for (size_t Piece = 0; Pos < Reply.size(); ++Piece) {
        size_t N = Piece < Fault.bytes.size() ? std::max<size_t>(Fault.bytes[Piece], 1) : 1;
        N = std::min(N, Reply.size() - Pos);
        if (Pos > 0) At = std::max(At, radioLineFree_) + Fault.value * Ms;
        RadioSend(Bytes(Reply.begin() + Pos, Reply.begin() + Pos + N), At);
        Pos += N;
      }
      return;
    }
    case FaultKind::Duplicate:
      RadioSend(Reply, At);
      break;
    default:
      sim_test::ChangeAnswer(Fault, Step, Reply);
      break;
  }
  RadioSend(Reply, At);
}

// --- the dialog ---

Integer TFakeDialog::ShowMessageBox(const String& Caption, const String& Text, Integer Kind) {
  Boxes.push_back({Caption, Text, Kind, link_.NowMs()});
  // The box's own message loop: notifications and timers go on while the user reads it.
  link_.RunFor(DwellMs);
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
  for (int A = 0; A <= sim_test::kLastBlock; A += 8) {
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
  for (int A = 0; A <= sim_test::kLastBlock; A += 8) {
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

std::vector<sim_test::Fault> Always(std::initializer_list<sim_test::Step> Steps, sim_test::FaultKind Kind,
                                    int Value, Bytes With) {
  std::vector<sim_test::Fault> Out;
  for (sim_test::Step S : Steps) Out.emplace_back(S, Kind, -1, Value, With, false);
  return Out;
}

}  // namespace app_test
