#include "app/RadioPort.h"

#include "serial/SioPort.h"

TComRadioPort::TComRadioPort(TSioCustomComPort* Port, bool Owns) : port_(Port), owns_(Owns) {}

TComRadioPort::~TComRadioPort() {
  port_->SetOnTrigger(nullptr);
  if (owns_) delete port_;
}

void TComRadioPort::SetComNumber(Word Number) { port_->SetComNumber(Number); }

void TComRadioPort::SetLine(Integer Baud, Word DataBits, Word StopBits) {
  port_->SetBaud(Baud);
  port_->SetParity(pNone);
  port_->SetDataBits(DataBits);
  port_->SetStopBits(StopBits);
}

void TComRadioPort::SetOpen(bool Value) { port_->SetOpen(Value); }

bool TComRadioPort::Open() const { return port_->Open(); }

void TComRadioPort::FlushInBuffer() { port_->FlushInBuffer(); }

void TComRadioPort::FlushOutBuffer() { port_->FlushOutBuffer(); }

void TComRadioPort::PutBlock(const Byte* Data, Word Len) { port_->PutBlock(Data, Len); }

bool TComRadioPort::CharReady() { return port_->CharReady(); }

Byte TComRadioPort::GetChar() { return static_cast<Byte>(port_->GetChar()); }

Cardinal TComRadioPort::OutBuffUsed() { return port_->OutBuffUsed(); }

void TComRadioPort::SetOnTrigger(TTriggerHandler Handler) {
  handler_ = std::move(Handler);
  if (!handler_) {
    port_->SetOnTrigger(nullptr);
    return;
  }
  port_->SetOnTrigger(TTriggerEvent::Bind(this, this, [this](TObject*, Word Msg, Word TriggerHandle, Word Data) {
    if (handler_) handler_(Msg, TriggerHandle, Data);
  }));
}

std::unique_ptr<IRadioPort> MakeComRadioPort() {
  auto* Port = new TSioComPort(nullptr);
  Port->SetBaud(9600);
  Port->SetBufferFull(3072);
  Port->SetBufferResume(1024);
  return std::make_unique<TComRadioPort>(Port, true);
}
