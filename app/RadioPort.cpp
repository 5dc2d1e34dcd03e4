#include "app/RadioPort.h"

#include "serial/SioPort.h"

TComRadioPort::TComRadioPort(TSioCustomComPort* Port, bool Owns) : FPort(Port), FOwns(Owns) {}

TComRadioPort::~TComRadioPort() {
  FPort->SetOnTrigger(nullptr);
  if (FOwns) delete FPort;
}

void TComRadioPort::SetComNumber(Word Number) { FPort->SetComNumber(Number); }

void TComRadioPort::SetLine(Integer Baud, Word DataBits, Word StopBits) {
  FPort->SetBaud(Baud);
  FPort->SetParity(pNone);
  FPort->SetDataBits(DataBits);
  FPort->SetStopBits(StopBits);
}

void TComRadioPort::SetOpen(bool Value) { FPort->SetOpen(Value); }

bool TComRadioPort::GetOpen() const { return FPort->GetOpen(); }

void TComRadioPort::FlushInBuffer() { FPort->FlushInBuffer(); }

void TComRadioPort::FlushOutBuffer() { FPort->FlushOutBuffer(); }

void TComRadioPort::PutBlock(const Byte* Data, Word Len) { FPort->PutBlock(Data, Len); }

bool TComRadioPort::CharReady() { return FPort->CharReady(); }

Byte TComRadioPort::GetChar() { return static_cast<Byte>(FPort->GetChar()); }

Cardinal TComRadioPort::OutBuffUsed() { return FPort->OutBuffUsed(); }

void TComRadioPort::SetOnTrigger(TTriggerHandler Handler) {
  FHandler = std::move(Handler);
  if (!FHandler) {
    FPort->SetOnTrigger(nullptr);
    return;
  }
  FPort->SetOnTrigger(TTriggerEvent::Bind(this, this, [this](TObject*, Word Msg, Word TriggerHandle, Word Data) {
    if (FHandler) FHandler(Msg, TriggerHandle, Data);
  }));
}

std::unique_ptr<IRadioPort> MakeComRadioPort() {
  auto* Port = new TSioComPort(nullptr);
  Port->SetBaud(9600);
  Port->SetBufferFull(3072);
  Port->SetBufferResume(1024);
  return std::make_unique<TComRadioPort>(Port, true);
}
