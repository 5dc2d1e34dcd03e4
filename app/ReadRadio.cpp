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
  done_ = false;
  retryAllowed_ = true;
  dialog_.SetProgressMax(ProgressMax);
  k58::app::ClosePortQuietly(*port_);
  if (!OpenRadioPort()) CloseTime.SetEnabled(true);
}

bool TReadRadioProtocol::OpenRadioPort() {
  try {
    port_->SetOpen(false);
    ::Sleep(50);
    port_->SetComNumber(PortNumber());
    state_ = rsIdle;
    port_->SetLine(RadioBaud, RadioDataBits, RadioStopBits);
    port_->FlushInBuffer();
    port_->FlushOutBuffer();
    port_->SetOpen(true);
    return true;
  } catch (const std::exception&) {
    ShowErrorOnce(Language->LPortError);
    return false;
  }
}

void TReadRadioProtocol::btnOkClick() {
  dialog_.ClearLog();
  done_ = false;
  state_ = rsIdle;
  errorShown_ = false;
  SetProgress(0);
  dialog_.SetOkEnabled(false);
  try {
    ::Sleep(450);
    count_ = 0;
    port_->FlushInBuffer();
    port_->FlushOutBuffer();
    ::Sleep(50);
    HeadTime.SetEnabled(true);
    SendHandshake();
  } catch (const std::exception&) {
    ShowErrorOnce(Language->LPortError);
  }
}

void TReadRadioProtocol::HandleReply() {
  switch (state_) {
    case rsHandshakeSent:
      if (!IsHandshakeAnswer()) return;
      HeadTime.SetEnabled(false);
      state_ = rsIdentRequested;
      ::Sleep(5);
      SendByte(RadioIdentRequest, RadioIdentSize, true);
      HeadTime.SetEnabled(true);
      return;
    case rsIdentRequested:
      HeadTime.SetEnabled(false);
      if (CheckIdent()) {
        state_ = rsTransferring;
        address_ = -RadioBlockSize;
        areaCount_ = 0;
        SendAck();
      } else {
        // Leave the ident state before anything else, so that bytes still arriving while the box is
        // up answer nothing.
        state_ = rsRefused;
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
  typeCode_ = Code;
  model_ = Model;
  return true;
}

void TReadRadioProtocol::HandleBlock() {
  if (!awaitingAck_) {
    if (!IsBlockReply()) {
      RejectReply();
      return;
    }
    TryTime.SetEnabled(false);
    const Integer Room = std::min(RadioBlockSize, AreaSize - areaCount_);
    std::copy_n(buffer_.begin() + BlockHeaderSize, Room, area_.begin() + areaCount_);
    areaCount_ += Room;
    SetProgress(progress_ + 1);
    SendAck();
    return;
  }
  if (count_ != 1 || buffer_[0] != RadioAck) {
    RejectReply();
    return;
  }
  TryTime.SetEnabled(false);
  address_ += RadioBlockSize;
  if (address_ >= RadioEndAddress) {
    awaitingAck_ = false;
    SendByte(RadioEnd, 1, true);
    state_ = rsIdle;
    SetProgress(ProgressMax);
    ShowMessage(Language->ReadOk);
    CopyReadData();
    ALL->SanitizeSettings();
    ALL->Modified = true;
    done_ = true;
    CloseTime.SetEnabled(true);
    return;
  }
  const Byte Frame[] = {RadioReadBlock, static_cast<Byte>(address_ >> 8), static_cast<Byte>(address_ & 0xFF),
                        RadioBlockSize};
  awaitingAck_ = false;
  SendFrame(Frame, sizeof Frame, BlockReplySize, true);
  TryTime.SetEnabled(true);
}

bool TReadRadioProtocol::IsBlockReply() const {
  return count_ == BlockReplySize && buffer_[0] == RadioWriteBlock && buffer_[1] == static_cast<Byte>(address_ >> 8) &&
         buffer_[2] == static_cast<Byte>(address_ & 0xFF) && buffer_[3] == RadioBlockSize;
}

void TReadRadioProtocol::RejectReply() {
  TryTime.SetEnabled(false);
  TryTimeTimer();
}

void TReadRadioProtocol::CopyReadData() {
  std::copy(area_.begin(), area_.end(), ALL->Image.begin() + ofsRadio);
  ALL->SelectModelByBand(model_, ALL->Image[ofsBandCode], true);
}

void TReadRadioProtocol::TryTimeTimer() {
  state_ = rsIdle;
  if (errorShown_) return;
  errorShown_ = true;
  ShowMessage(Language->ComError);
  CloseTime.SetEnabled(true);
}

void TReadRadioProtocol::ReTimeTimer() {
  dialog_.SetOkEnabled(true);
  btnOkClick();
}

void TReadRadioProtocol::myPortTriggerLineError(TObject*, Word, bool) {
  k58::app::RunStepQuietly([this] {
    port_->FlushInBuffer();
    port_->FlushOutBuffer();
  });
  state_ = rsIdle;
  if (retryAllowed_) {
    errorShown_ = true;
    retryAllowed_ = false;
    ReTime.SetEnabled(true);
  } else {
    TryTime.SetEnabled(true);
  }
}

void TReadRadioProtocol::myPortTriggerTimer(TObject*, Word) { TryTime.SetEnabled(true); }
