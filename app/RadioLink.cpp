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
    : FInterval(Interval), FOnTimer(std::move(OnTimer)) {}

TRadioTimer::~TRadioTimer() { SetEnabled(false); }

void TRadioTimer::SetEnabled(bool Value) {
  if (Value == GetEnabled()) return;
  if (Value) {
    FId = ::SetTimer(nullptr, 0, FInterval, &TRadioTimer::TimerProc);
    if (FId != 0) ArmedTimers()[FId] = this;
  } else {
    ::KillTimer(nullptr, FId);
    ArmedTimers().erase(FId);
    FId = 0;
  }
}

void TRadioTimer::TimerProc(HWND, UINT, UINT_PTR Id, DWORD) {
  auto It = ArmedTimers().find(Id);
  if (It == ArmedTimers().end()) return;
  TRadioTimer* Timer = It->second;
  Timer->SetEnabled(false);
  if (Timer->FOnTimer) k58::app::RunStepQuietly(Timer->FOnTimer);
}

// --- TRadioProtocol ---

TRadioProtocol::TRadioProtocol(IRadioDialog& Dialog, std::unique_ptr<IRadioPort> Port, DWORD PollInterval,
                               Integer MaxPolls)
    : HeadTime(500, [this] { HeadTimeTimer(); }),
      TryTime(450, [this] { TryTimeTimer(); }),
      CloseTime(300, [this] { CloseTimeTimer(); }),
      FDialog(Dialog),
      FPort(std::move(Port)),
      FPollInterval(PollInterval),
      FMaxPolls(MaxPolls) {
  FPort->SetOnTrigger([this](Word Msg, Word TriggerHandle, Word Data) {
    myPortTrigger(nullptr, Msg, TriggerHandle, Data);
  });
}

TRadioProtocol::~TRadioProtocol() {
  DisarmTimers();
  FPort->SetOnTrigger(nullptr);
  k58::app::ClosePortQuietly(*FPort);
}

void TRadioProtocol::FormClose() {
  DisarmTimers();
  k58::app::ClosePortQuietly(*FPort);
}

void TRadioProtocol::btnCancelClick() { FDialog.CloseDialog(); }

void TRadioProtocol::HeadTimeTimer() {
  FState = rsIdle;
  if (FErrorShown) return;
  ::Sleep(2500);
  FErrorShown = true;
  ShowMessage(Language->ComError);
  CloseTime.SetEnabled(true);
}

void TRadioProtocol::CloseTimeTimer() { FDialog.CloseDialog(); }

void TRadioProtocol::myPortTrigger(TObject*, Word Msg, Word TriggerHandle, Word) {
  if (Msg != DataAvailableMessage) return;
  // A notification that arrives while a handler runs (from the nested loop of a message box) is
  // dropped: its bytes stay unread and nothing is answered twice.
  if (FInTrigger) return;
  FInTrigger = true;
  k58::app::RunStepQuietly([&] {
    // Only bytes actually read count: a late notification may announce bytes that are gone.
    bool Took = false;
    for (Integer I = 0; I < TriggerHandle && FPort->CharReady(); ++I) {
      const Byte Value = FPort->GetChar();
      Took = true;
      if (FCount <= BufferSize - 1) FBuffer[FCount++] = Value;
    }
    if (Took && FCount >= FExpected && FCount <= BufferSize - 1) HandleReply();
  });
  FInTrigger = false;
}

Word TRadioProtocol::PortNumber() {
  // A setting that names no port fails the open, as a port that cannot be opened does.
  const Integer Number = ComPortNumber(ALL->PortName);
  if (Number == 0) throw EConvertError("'" + ALL->PortName + "' is not a port name");
  return static_cast<Word>(Number);
}

void TRadioProtocol::SendHandshake() {
  FState = rsHandshakeSent;
  FExpected = 1;
  FCount = 0;
  for (size_t I = 0; I < sizeof Handshake; ++I) {
    FPort->PutBlock(&Handshake[I], 1);
    if (I + 1 < sizeof Handshake) ::Sleep(2);
  }
}

void TRadioProtocol::SendFrame(const Byte* Data, Word Len, Integer Expected, bool Drain) {
  FExpected = Expected;
  FCount = 0;
  FPort->PutBlock(Data, Len);
  if (Drain) WaitOutputDrained();
}

void TRadioProtocol::WaitOutputDrained() {
  for (Integer Poll = 0; Poll < FMaxPolls; ++Poll) {
    if (FPort->OutBuffUsed() == 0) return;
    ::Sleep(FPollInterval);
  }
}

void TRadioProtocol::SendAck() {
  FAwaitingAck = true;
  SendByte(RadioAck, 1, true);
  TryTime.SetEnabled(true);
}

bool TRadioProtocol::IsHandshakeAnswer() const {
  // The second byte counts only when it was received for this reply.
  return (FCount >= 1 && FBuffer[0] == RadioAck) || (FCount >= 2 && FBuffer[1] == RadioAck);
}

String TRadioProtocol::IdentTypeCode() const {
  return String(reinterpret_cast<const char*>(&FBuffer[1]), 4);
}

void TRadioProtocol::SetProgress(Integer Position) {
  if (Position < 0) Position = 0;
  if (Position > ProgressMax) Position = ProgressMax;
  FProgress = Position;
  FDialog.SetProgress(Position);
}

Integer TRadioProtocol::ShowMessage(const String& Text, Integer Kind) {
  return FDialog.ShowMessageBox(Language->Confirmation, Text, Kind);
}

void TRadioProtocol::ShowErrorOnce(const String& Text) {
  if (FErrorShown) return;
  FErrorShown = true;
  ShowMessage(Text);
}

void TRadioProtocol::DisarmTimers() {
  HeadTime.SetEnabled(false);
  TryTime.SetEnabled(false);
  CloseTime.SetEnabled(false);
}
