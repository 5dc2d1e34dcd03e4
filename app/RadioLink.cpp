#include "app/RadioLink.h"

#include <map>

#include "app/AllClass.h"
#include "platform/comm/ComPorts.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win/core/WinBase.h"
#include "platform/win/core/WinUser.h"

namespace {

// Armed timers by their thread-timer id (main thread only).
std::map<UINT_PTR, TRadioTimer*>& ArmedTimers() {
  static std::map<UINT_PTR, TRadioTimer*> Timers;
  return Timers;
}

const Byte Handshake[] = {'P', 'R', 'O', 'G', 'R', 'A', 'M'};

}  // namespace

void k58::app::RunStepQuietly(const std::function<void()>& Step) {
  try {
    Step();
  } catch (const std::exception&) {
    // Dropped: see the declaration.
  }
}

void k58::app::ClosePortQuietly(IRadioPort& Port) {
  RunStepQuietly([&Port] { Port.SetOpen(false); });
}

// --- TRadioTimer ---

TRadioTimer::TRadioTimer(UINT Interval, std::function<void()> OnTimer)
    : interval_(Interval), onTimer_(std::move(OnTimer)) {}

TRadioTimer::~TRadioTimer() { SetEnabled(false); }

void TRadioTimer::SetEnabled(bool Value) {
  if (Value == Enabled()) return;
  if (Value) {
    id_ = ::SetTimer(nullptr, 0, interval_, &TRadioTimer::TimerProc);
    if (id_ != 0) ArmedTimers()[id_] = this;
  } else {
    ::KillTimer(nullptr, id_);
    ArmedTimers().erase(id_);
    id_ = 0;
  }
}

void TRadioTimer::TimerProc(HWND, UINT, UINT_PTR Id, DWORD) {
  auto It = ArmedTimers().find(Id);
  if (It == ArmedTimers().end()) return;
  TRadioTimer* Timer = It->second;
  Timer->SetEnabled(false);
  if (Timer->onTimer_) k58::app::RunStepQuietly(Timer->onTimer_);
}

// --- TRadioProtocol ---

TRadioProtocol::TRadioProtocol(IRadioDialog& Dialog, std::unique_ptr<IRadioPort> Port, DWORD PollInterval,
                               Integer MaxPolls)
    : HeadTime(500, [this] { HeadTimeTimer(); }),
      TryTime(450, [this] { TryTimeTimer(); }),
      CloseTime(300, [this] { CloseTimeTimer(); }),
      dialog_(Dialog),
      port_(std::move(Port)),
      pollInterval_(PollInterval),
      maxPolls_(MaxPolls) {
  port_->SetOnTrigger([this](Word Msg, Word TriggerHandle, Word Data) {
    myPortTrigger(nullptr, Msg, TriggerHandle, Data);
  });
}

TRadioProtocol::~TRadioProtocol() {
  DisarmTimers();
  port_->SetOnTrigger(nullptr);
  k58::app::ClosePortQuietly(*port_);
}

void TRadioProtocol::FormClose() {
  DisarmTimers();
  k58::app::ClosePortQuietly(*port_);
}

void TRadioProtocol::btnCancelClick() { dialog_.CloseDialog(); }

void TRadioProtocol::HeadTimeTimer() {
  state_ = rsIdle;
  if (errorShown_) return;
  ::Sleep(2500);
  errorShown_ = true;
  ShowMessage(Language->ComError);
  CloseTime.SetEnabled(true);
}

void TRadioProtocol::CloseTimeTimer() { dialog_.CloseDialog(); }

void TRadioProtocol::myPortTrigger(TObject*, Word Msg, Word TriggerHandle, Word) {
  if (Msg != DataAvailableMessage) return;
  // A notification that arrives while a handler runs (from the nested loop of a message box) is
  // dropped: its bytes stay unread and nothing is answered twice.
  if (inTrigger_) return;
  inTrigger_ = true;
  k58::app::RunStepQuietly([&] {
    // Only bytes actually read count: a late notification may announce bytes that are gone.
    bool Took = false;
    for (Integer I = 0; I < TriggerHandle && port_->CharReady(); ++I) {
      const Byte Value = port_->GetChar();
      Took = true;
      if (count_ <= BufferSize - 1) buffer_[count_++] = Value;
    }
    if (Took && count_ >= expected_ && count_ <= BufferSize - 1) HandleReply();
  });
  inTrigger_ = false;
}

Word TRadioProtocol::PortNumber() {
  // A setting that names no port fails the open, as a port that cannot be opened does.
  const Integer Number = ComPortNumber(ALL->PortName);
  if (Number == 0) throw EConvertError("'" + ALL->PortName + "' is not a port name");
  return static_cast<Word>(Number);
}

void TRadioProtocol::SendHandshake() {
  state_ = rsHandshakeSent;
  expected_ = 1;
  count_ = 0;
  for (size_t I = 0; I < sizeof Handshake; ++I) {
    port_->PutBlock(&Handshake[I], 1);
    if (I + 1 < sizeof Handshake) ::Sleep(2);
  }
}

void TRadioProtocol::SendFrame(const Byte* Data, Word Len, Integer Expected, bool Drain) {
  expected_ = Expected;
  count_ = 0;
  port_->PutBlock(Data, Len);
  if (Drain) WaitOutputDrained();
}

void TRadioProtocol::WaitOutputDrained() {
  for (Integer Poll = 0; Poll < maxPolls_; ++Poll) {
    if (port_->OutBuffUsed() == 0) return;
    ::Sleep(pollInterval_);
  }
}

void TRadioProtocol::SendAck() {
  awaitingAck_ = true;
  SendByte(RadioAck, 1, true);
  TryTime.SetEnabled(true);
}

bool TRadioProtocol::IsHandshakeAnswer() const {
  // The second byte counts only when it was received for this reply.
  return (count_ >= 1 && buffer_[0] == RadioAck) || (count_ >= 2 && buffer_[1] == RadioAck);
}

String TRadioProtocol::IdentTypeCode() const {
  return String(reinterpret_cast<const char*>(&buffer_[1]), 4);
}

void TRadioProtocol::SetProgress(Integer Position) {
  if (Position < 0) Position = 0;
  if (Position > ProgressMax) Position = ProgressMax;
  progress_ = Position;
  dialog_.SetProgress(Position);
}

Integer TRadioProtocol::ShowMessage(const String& Text, Integer Kind) {
  return dialog_.ShowMessageBox(Language->Confirmation, Text, Kind);
}

void TRadioProtocol::ShowErrorOnce(const String& Text) {
  if (errorShown_) return;
  errorShown_ = true;
  ShowMessage(Text);
}

void TRadioProtocol::DisarmTimers() {
  HeadTime.SetEnabled(false);
  TryTime.SetEnabled(false);
  CloseTime.SetEnabled(false);
}
