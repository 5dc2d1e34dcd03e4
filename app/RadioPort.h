// The radio port over the serial port component: what the read and write protocols drive in the program.
#pragma once

#include <memory>

#include "app/RadioLink.h"

class TSioCustomComPort;

class TComRadioPort : public IRadioPort {
public:
  // Drives Port (a dialog's own component); with Owns the port is freed with this object.
  TComRadioPort(TSioCustomComPort* Port, bool Owns);
  ~TComRadioPort() override;

  void SetComNumber(Word Number) override;
  void SetLine(Integer Baud, Word DataBits, Word StopBits) override;
  void SetOpen(bool Value) override;
  bool Open() const override;
  void FlushInBuffer() override;
  void FlushOutBuffer() override;
  void PutBlock(const Byte* Data, Word Len) override;
  bool CharReady() override;
  Byte GetChar() override;
  Cardinal OutBuffUsed() override;
  void SetOnTrigger(TTriggerHandler Handler) override;

  TSioCustomComPort& Component() { return *port_; }

private:
  TSioCustomComPort* port_;
  bool owns_;
  TTriggerHandler handler_;
};

// A port component set up as the read and write dialogs place it (9600 baud until the protocol sets the
// radio's line, buffer limits 3072 and 1024), owned by the returned object.
std::unique_ptr<IRadioPort> MakeComRadioPort();
