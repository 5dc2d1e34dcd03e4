#include "app/ReadRadio.h"

#include <algorithm>

#include "app/AllClass.h"
#include "platform/win/core/WinBase.h"

TReadRadioProtocol::TReadRadioProtocol(IRadioDialog& Dialog, std::unique_ptr<IRadioPort> Port)
    : TRadioProtocol(Dialog, std::move(Port), 20, 51), ReTime(500, [this] { ReTimeTimer(); }) {}

TReadRadioProtocol::~TReadRadioProtocol() { ReTime.SetEnabled(false); }

void TReadRadioProtocol::DisarmTimers() {
  TRadioProtocol::DisarmTimers();
  ReTime.SetEnabled(false);
}

void TReadRadioProtocol::FormShow() {
  FDone = false;
  FRetryAllowed = true;
  FDialog.SetProgressMax(ProgressMax);
  k58::app::ClosePortQuietly(*FPort);
  if (!OpenRadioPort()) CloseTime.SetEnabled(true);
}

bool TReadRadioProtocol::OpenRadioPort() {
  try {
    FPort->SetOpen(false);
    ::Sleep(50);
    FPort->SetComNumber(PortNumber());
    FState = rsIdle;
    FPort->SetLine(RadioBaud, RadioDataBits, RadioStopBits);
    FPort->FlushInBuffer();
    FPort->FlushOutBuffer();
    FPort->SetOpen(true);
    return true;
  } catch (const std::exception&) {
    ShowErrorOnce(Language->LPortError);
    return false;
  }
}

void TReadRadioProtocol::btnOkClick() {
  FDialog.ClearLog();
  FDone = false;
  FState = rsIdle;
  FErrorShown = false;
  SetProgress(0);
  FDialog.SetOkEnabled(false);
  try {
    ::Sleep(450);
    FCount = 0;
    FPort->FlushInBuffer();
    FPort->FlushOutBuffer();
    ::Sleep(50);
    HeadTime.SetEnabled(true);
    SendHandshake();
  } catch (const std::exception&) {
    ShowErrorOnce(Language->LPortError);
  }
}

void TReadRadioProtocol::HandleReply() {
  switch (FState) {
    case rsHandshakeSent:
      if (!IsHandshakeAnswer()) return;
      HeadTime.SetEnabled(false);
      FState = rsIdentRequested;
      ::Sleep(5);
      SendByte(RadioIdentRequest, RadioIdentSize, true);
      HeadTime.SetEnabled(true);
      return;
    case rsIdentRequested:
      HeadTime.SetEnabled(false);
      if (CheckIdent()) {
        FState = rsTransferring;
        FAddress = -RadioBlockSize;
        FAreaCount = 0;
        SendAck();
      } else {
        // Leave the ident state before anything else, so that bytes still arriving while the box is
        // up answer nothing.
        FState = rsRefused;
        SendByte(RadioEnd, 0, false);
        ShowMessage(Language->ModError);
      }
      return;
    case rsTransferring:
      HandleBlock();
      return;
    default:
      return;
  }
}

bool TReadRadioProtocol::CheckIdent() {
  const String Code = IdentTypeCode();
  TMacType* Model = MacList->FindByTypeCode(Code);
  if (Model == nullptr) return false;
  FTypeCode = Code;
  FModel = Model;
  return true;
}

void TReadRadioProtocol::HandleBlock() {
  if (!FAwaitingAck) {
    if (!IsBlockReply()) {
      RejectReply();
      return;
    }
    TryTime.SetEnabled(false);
    const Integer Room = std::min(RadioBlockSize, AreaSize - FAreaCount);
    std::copy_n(FBuffer.begin() + BlockHeaderSize, Room, FArea.begin() + FAreaCount);
    FAreaCount += Room;
    SetProgress(FProgress + 1);
    SendAck();
    return;
  }
  if (FCount != 1 || FBuffer[0] != RadioAck) {
    RejectReply();
    return;
  }
  TryTime.SetEnabled(false);
  FAddress += RadioBlockSize;
  if (FAddress >= RadioEndAddress) {
    FAwaitingAck = false;
    SendByte(RadioEnd, 1, true);
    FState = rsIdle;
    SetProgress(ProgressMax);
    ShowMessage(Language->ReadOk);
    CopyReadData();
    ALL->SanitizeSettings();
    ALL->Modified = true;
    FDone = true;
    CloseTime.SetEnabled(true);
    return;
  }
  const Byte Frame[] = {RadioReadBlock, static_cast<Byte>(FAddress >> 8), static_cast<Byte>(FAddress & 0xFF),
                        RadioBlockSize};
  FAwaitingAck = false;
  SendFrame(Frame, sizeof Frame, BlockReplySize, true);
  TryTime.SetEnabled(true);
}

bool TReadRadioProtocol::IsBlockReply() const {
  return FCount == BlockReplySize && FBuffer[0] == RadioWriteBlock && FBuffer[1] == static_cast<Byte>(FAddress >> 8) &&
         FBuffer[2] == static_cast<Byte>(FAddress & 0xFF) && FBuffer[3] == RadioBlockSize;
}

void TReadRadioProtocol::RejectReply() {
  TryTime.SetEnabled(false);
  TryTimeTimer();
}

void TReadRadioProtocol::CopyReadData() {
  std::copy(FArea.begin(), FArea.end(), ALL->Image.begin() + ofsRadio);
  ALL->SelectModelByBand(FModel, ALL->Image[ofsBandCode], true);
}

void TReadRadioProtocol::TryTimeTimer() {
  FState = rsIdle;
  if (FErrorShown) return;
  FErrorShown = true;
  ShowMessage(Language->ComError);
  CloseTime.SetEnabled(true);
}

void TReadRadioProtocol::ReTimeTimer() {
  FDialog.SetOkEnabled(true);
  btnOkClick();
}

void TReadRadioProtocol::myPortTriggerLineError(TObject*, Word, bool) {
  k58::app::RunStepQuietly([this] {
    FPort->FlushInBuffer();
    FPort->FlushOutBuffer();
  });
  FState = rsIdle;
  if (FRetryAllowed) {
    FErrorShown = true;
    FRetryAllowed = false;
    ReTime.SetEnabled(true);
  } else {
    TryTime.SetEnabled(true);
  }
}

void TReadRadioProtocol::myPortTriggerTimer(TObject*, Word) { TryTime.SetEnabled(true); }
